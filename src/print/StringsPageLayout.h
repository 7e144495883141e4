#pragma once

#include <QDateTime>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

#include "print/StringsPrinterSettings.h"

class QPainter;
class QPrinter;

namespace kelvan::print {

// Lays lines of text out on the pages of a printer: margins, header and footer lines,
// 1 to 3 columns, optional line numbers. A line wider than its column continues on the
// next row rather than being cut off, so that nothing of a program is lost on paper.
// All measures are device pixels of the printer, whose full paper is the page.
class StringsPageLayout {
 public:
  StringsPageLayout(QPrinter& printer, const StringsPrinterSettings& settings,
                    const QStringList& lines);

  int PageCount() const { return pageCount_; }
  // Paints page `index` (0-based); its printed number is index + 1 + PageNumberStart.
  void PaintPage(QPainter& painter, int index, const QDateTime& now) const;
  // The number printed on page `index`.
  int PageNumber(int index) const { return index + 1 + settings_.PageNumberStart; }

 private:
  struct Row {
    QString Text;
    int LineNumber = -1;  // -1 on the continuation rows of a wrapped line
  };

  void Measure(QPrinter& printer);
  void AddRows(QPrinter& printer, const QString& line, int lineNumber);
  void PaintHeader(QPainter& painter, const QString& pattern, HeaderAlignment align, qreal y,
                   int pageNumber, const QDateTime& now) const;

  StringsPrinterSettings settings_;
  QFont font_;
  qreal lineHeight_ = 0;
  qreal ascent_ = 0;
  QRectF body_;            // the rows' area
  qreal headerTop_ = 0, footerTop_ = 0;
  qreal columnWidth_ = 0, columnStep_ = 0;
  qreal gutter_ = 0;       // width of the line numbers and a space, 0 without them
  qreal numberWidth_ = 0;  // the numbers are right-aligned in this width
  qreal textWidth_ = 0;    // columnWidth_ - gutter_
  int columns_ = 1;
  int rowsPerColumn_ = 1;
  int pageCount_ = 1;
  std::vector<Row> rows_;
};

}  // namespace kelvan::print
