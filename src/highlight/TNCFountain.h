#pragma once

#include <Qsci/qscilexercustom.h>

#include <QColor>

#include <array>

#include "highlight/ScanNcLine.h"

class QsciScintillaBase;

namespace kelvan::highlight {

// The NC colouring scheme shared by the program editor, the work buffer and the report
// editor: address letters, numbers, signs, "%" tape marks and parenthesised remarks each
// in their own colour. Every line is styled on its own (see ScanNcLine), so an edit
// restyles only the lines Scintilla asks for.
//
// One scheme serves several editors at once. QsciLexerCustom would answer the style
// requests of the one editor attached last, so the scheme answers none by itself: whoever
// shows it connects each view's SCN_STYLENEEDED to StyleNeeded (NcEditor does so for
// each of its views).
//
// Colours: an invalid QColor stands for "none", the editor's default text colour.
class TNCFountain : public QsciLexerCustom {
  Q_OBJECT
  Q_PROPERTY(QColor Ank READ Ank WRITE SetAnk)
  Q_PROPERTY(QColor Comment READ Comment WRITE SetComment)
  Q_PROPERTY(QColor DBCS READ DBCS WRITE SetDBCS)
  Q_PROPERTY(QColor Int READ Int WRITE SetInt)
  Q_PROPERTY(QColor Str READ Str WRITE SetStr)
  Q_PROPERTY(QColor Symbol READ Symbol WRITE SetSymbol)
  Q_PROPERTY(QColor Reserve READ Reserve WRITE SetReserve)
  Q_PROPERTY(QColor Bracket READ Bracket WRITE SetBracket)

 public:
  // Style numbers in the editor; Default covers spaces, tabs and line ends.
  enum Style : int {
    StyleDefault = 0,
    StyleComment,
    StyleAnk,
    StyleInt,
    StyleSymbol,
    StyleReserve,
    StyleStr,
    StyleDbcs,
    StyleBracket,
    StyleCount
  };

  explicit TNCFountain(QObject* parent = nullptr);

  static int StyleOf(NcTokenClass cls);

  const char* language() const override;
  QString description(int style) const override;
  QColor defaultColor(int style) const override;
  void styleText(int start, int end) override;
  // Records the editor without connecting to its style requests (see above).
  void setEditor(QsciScintilla* editor) override;

  // Styles the whole lines of view's document that hold [start, end).
  void StyleLines(QsciScintillaBase* view, int start, int end);
  // Answers view's request (SCN_STYLENEEDED) to have its text styled up to pos.
  void StyleNeeded(QsciScintillaBase* view, int pos);

  QColor Ank() const { return colors_[StyleAnk]; }
  QColor Comment() const { return colors_[StyleComment]; }
  QColor DBCS() const { return colors_[StyleDbcs]; }
  QColor Int() const { return colors_[StyleInt]; }
  QColor Str() const { return colors_[StyleStr]; }
  QColor Symbol() const { return colors_[StyleSymbol]; }
  QColor Reserve() const { return colors_[StyleReserve]; }
  QColor Bracket() const { return colors_[StyleBracket]; }
  void SetAnk(const QColor& c) { SetClassColor(StyleAnk, c); }
  void SetComment(const QColor& c) { SetClassColor(StyleComment, c); }
  void SetDBCS(const QColor& c) { SetClassColor(StyleDbcs, c); }
  void SetInt(const QColor& c) { SetClassColor(StyleInt, c); }
  void SetStr(const QColor& c) { SetClassColor(StyleStr, c); }
  void SetSymbol(const QColor& c) { SetClassColor(StyleSymbol, c); }
  void SetReserve(const QColor& c) { SetClassColor(StyleReserve, c); }
  void SetBracket(const QColor& c) { SetClassColor(StyleBracket, c); }

 private:
  void SetClassColor(int style, const QColor& c);

  std::array<QColor, StyleCount> colors_;
};

}  // namespace kelvan::highlight
