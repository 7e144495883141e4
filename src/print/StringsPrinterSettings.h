#pragma once

#include <QColor>
#include <QString>

namespace kelvan::print {

// Where a header or footer stands on the page; None leaves it out.
enum class HeaderAlignment { None, Left, Centre, Right };

// What the strings printer prints with: the values the main window sets from the
// settings store and the user changes in the print dialog. A plain value, so that the
// print dialog can work on a copy and give it back only on OK.
struct StringsPrinterSettings {
  QString Title;                 // the document's path; "%F" and "%f" show it
  double MarginTop = 10;         // millimetres
  double MarginBottom = 10;
  double MarginLeft = 20;
  double MarginRight = 10;
  QString FontName = QStringLiteral("IPAGothic");
  double FontSize = 11;          // points
  QColor FontColor = Qt::black;
  QString Header = QStringLiteral("%F");
  QString Footer = QStringLiteral("%p");
  HeaderAlignment HeaderAlign = HeaderAlignment::None;
  HeaderAlignment FooterAlign = HeaderAlignment::None;
  int Columns = 1;               // 1 to 3 columns of lines side by side
  double ColumnSpacing = 4;      // millimetres between columns
  bool LineNumbers = false;
  // Printed page numbers are counted from 1 + PageNumberStart, line numbers from
  // 1 + LineNumberStart; the page range is given in printed page numbers.
  int PageNumberStart = 0;
  int LineNumberStart = 0;
  int FirstPage = 1;
  int LastPage = 999999;

  bool operator==(const StringsPrinterSettings&) const = default;
};

// The family the printer falls back to for glyphs the chosen font lacks: NC programs
// carry Japanese comments, and a Western font would print them as empty boxes.
inline constexpr const char* kJapaneseFallbackFont = "IPAGothic";

}  // namespace kelvan::print
