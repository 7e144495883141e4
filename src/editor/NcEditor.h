#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "nc/DecodedText.h"
#include "nc/LineSource.h"
#include "nc/NcText.h"
#include "nc/RowMarks.h"

class QsciScintilla;
class QsciLexer;
class QWidget;
class QFont;

namespace kelvan::editor {

// Search options, a bit set as the find and replace dialogs pass it.
enum SearchOption : int { SearchCaseSensitive = 1, SearchRegExp = 2, SearchFuzzy = 4 };

// The text editor of Kelvan over QScintilla: the document of an NC program (or a report)
// with its lines, row marks, caret, selection, undo history and file encoding. The rest
// of the program sees only these operations.
//
// Text: the editor holds UTF-8; files are read and written through NcText with a
// byte-exact round trip (the file's encoding and line ends are remembered).
// Positions: rows are 0-based lines, columns 0-based byte offsets into the line's UTF-8
// text (the analyser's columns for ASCII text).
class NcEditor : public QObject {
  Q_OBJECT
 public:
  explicit NcEditor(QWidget* parent);
  ~NcEditor() override;

  // The widget to place in a layout (the main view).
  QsciScintilla* Widget() const;

  // --- files ---------------------------------------------------------------------------
  // Loads the file (the text, its encoding and line ends). False with a message on error;
  // the editor is then unchanged. Clears the undo history and the modified flag.
  bool LoadFile(const QString& path, QString& error);
  // Takes a decoded file as the text, as LoadFile does after reading it.
  void LoadDecoded(const nc::DecodedText& text);
  // Writes the text in the encoding and line ends it was loaded with (new text: CP932,
  // CR LF), atomically. `lossy` tells that some characters could not be written in the
  // file's encoding (they became "?"). Does not touch the modified flag.
  bool SaveFile(const QString& path, QString& error, bool* lossy = nullptr) const;
  // The encoding the text is saved in (detected on load; CP932 for a new text).
  nc::TextEncoding Encoding() const;

  // --- lines -----------------------------------------------------------------------------
  int LineCount() const;
  QString Line(int row) const;                       // without its line end
  void SetLine(int row, const QString& text);        // replace one line
  void InsertLine(int row, const QString& text);     // before row; row == LineCount appends
  void DeleteLine(int row);
  void SetLines(const QStringList& lines);           // replace the whole text, one undo step
  QStringList Lines() const;
  void Clear();
  QString Text() const;
  void SetText(const QString& text);
  void InsertText(int row, const QString& text);     // at the start of row (may span lines)
  // Replaces the whole text with UTF-8 bytes, in one step that Undo takes back. The bytes'
  // line ends are taken as they are.
  void ReplaceTextUtf8(std::string_view utf8);
  // The whole text as UTF-8 bytes, straight out of the buffer (valid until the next edit).
  std::string_view TextUtf8() const;
  // Replaces the text without an undo record, as a work buffer takes a result; the text is
  // then unmodified. It is not an edit: TextChanged stays quiet.
  void SetWorkText(std::string_view utf8);
  // The line end new lines get ("\r\n", "\n" or "\r"), and whether the text ends with one.
  std::string LineEnd() const;
  bool EndsWithLineEnd() const;

  // The analysis reads the lines through this source without copying the text; its
  // lines are UTF-8 bytes, valid until the text changes.
  const nc::LineSource& Source() const;
  // A copy of the whole text (UTF-8 lines, split as the editor splits them) that later
  // edits do not touch: what an analysis on another thread reads. One copy of the bytes;
  // the editor's buffer stays where it is, so typing does not pay for moving it back.
  std::shared_ptr<const nc::NcText> Snapshot() const;

  // --- row marks (10 block skipped, 11 M00, 12 M01), shown as 12 x 12 images ----------
  // Row marks are Scintilla markers 10, 11 and 12; they live in the document, so every
  // view on it shows them.
  static constexpr int kRowMarkMask = (1 << nc::MarkBlockSkip) | (1 << nc::MarkM00) | (1 << nc::MarkM01);
  void SetRowMark(int row, nc::RowMark mark);        // rows outside the text are ignored
  void ClearRowMarks(int row);
  bool HasRowMark(int row, nc::RowMark mark) const;
  // Shows the marks of an analysis instead of every row mark shown so far. The marks
  // must belong to the text as it is now.
  void ApplyRowMarks(const nc::RowMarks& marks);

  // --- caret and selection ---------------------------------------------------------------
  int CaretRow() const;
  int CaretCol() const;
  void SetCaret(int row, int col);                   // clamps to the text; scrolls it into view
  bool HasSelection() const;
  QString SelectedText() const;
  void ClearSelection();
  void SelectWordAtCaret();

  // --- state -----------------------------------------------------------------------------
  bool IsModified() const;
  void SetModified(bool modified);
  bool IsOverwrite() const;
  void SetOverwrite(bool overwrite);
  void SetReadOnly(bool readOnly);

  // --- commands --------------------------------------------------------------------------
  void Undo();
  void Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  void Cut();
  void Copy();
  void Paste();
  void ScrollLines(int lines);                       // +1 down, -1 up
  void SetFocus();

  // --- look ------------------------------------------------------------------------------
  void SetLexer(QsciLexer* lexer);                   // the editor does not own it
  void SetFont(const QFont& font);
  void SetLineNumbers(bool on);
  void SetHorizontalScrollBar(bool on);
  void SetCaretLineUnderline(bool on);

  // --- split view ------------------------------------------------------------------------
  // A second view on the same document (same text, undo history, marks); nullptr when
  // none. The caller places it in its layout. Removing it deletes the widget.
  QsciScintilla* CreateSecondView(QWidget* parent);
  void RemoveSecondView();
  QsciScintilla* SecondView() const;
  // The view that had the focus last (the main view or the second view).
  QsciScintilla* FocusedView() const;

  // --- search ----------------------------------------------------------------------------
  // Searches from the caret of the focused view; selects and shows the match. False when
  // nothing was found. Options: SearchOption bits. Each search remembers its text and
  // options as the editor's search (what FindAgain repeats).
  bool FindNext(const QString& text, int options, bool forward = true);
  // Repeats the editor's search from the caret; false when there is none or nothing is found.
  bool FindAgain(bool forward);
  QString SearchText() const;
  int SearchOptions() const;
  // Replaces the selection when it is a match of text, then finds the next match.
  bool ReplaceAndFindNext(const QString& text, const QString& replacement, int options);
  // Replaces every match from the caret (fromCaret) or from the top; returns the count.
  // The matches are those of the text as it was (a replacement is never searched again),
  // and the whole replace-all is one undo step. `keepGoing` is asked after each match (the
  // window processes events there, so that Escape can stop a long replace-all); returning
  // false stops, and the matches found so far are replaced.
  int ReplaceAll(const QString& text, const QString& replacement, int options, bool fromCaret,
                 const std::function<bool()>& keepGoing = {});

 signals:
  void TextChanged();                                 // any change of the text
  void CaretMoved(int row, int col);                  // the focused view's caret
  void ModificationChanged(bool modified);
  void DoubleClicked();

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace kelvan::editor
