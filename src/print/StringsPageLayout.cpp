#include "print/StringsPageLayout.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>

#include "print/ExpandHeaderText.h"
#include "print/PrintFont.h"

namespace kelvan::print {

namespace {

constexpr int kTabWidth = 8;

// Tabs become spaces up to the next multiple of eight characters: a printed row is drawn
// in one piece, and tab stops measured in device pixels would not line up with the
// columns the program was written in.
QString ExpandTabs(const QString& line) {
  if (!line.contains(u'\t')) return line;
  QString out;
  for (QChar c : line) {
    if (c == u'\t') out += QString(kTabWidth - out.size() % kTabWidth, u' ');
    else out += c;
  }
  return out;
}

qreal MmToPixels(double mm, int resolution) { return std::max(0.0, mm) * resolution / 25.4; }

}  // namespace

StringsPageLayout::StringsPageLayout(QPrinter& printer, const StringsPrinterSettings& settings,
                                     const QStringList& lines)
    : settings_(settings), font_(PrintFont(settings)) {
  columns_ = std::clamp(settings.Columns, 1, 3);
  rows_.reserve(static_cast<size_t>(lines.size()));
  Measure(printer);
  const int digits =
      static_cast<int>(QString::number(lines.size() + settings.LineNumberStart).size());
  if (settings.LineNumbers) {
    const QFontMetricsF fm(font_, &printer);
    numberWidth_ = fm.horizontalAdvance(QString(digits, u'9'));
    gutter_ = fm.horizontalAdvance(QString(digits + 1, u'9'));
  }
  // At least one character fits, whatever the margins say, so that wrapping advances.
  textWidth_ = std::max(columnWidth_ - gutter_, QFontMetricsF(font_, &printer).maxWidth());
  for (qsizetype i = 0; i < lines.size(); ++i)
    AddRows(printer, ExpandTabs(lines[i]), static_cast<int>(i) + 1 + settings.LineNumberStart);
  const size_t perPage = static_cast<size_t>(rowsPerColumn_) * static_cast<size_t>(columns_);
  pageCount_ = std::max<int>(1, static_cast<int>((rows_.size() + perPage - 1) / perPage));
}

void StringsPageLayout::Measure(QPrinter& printer) {
  const QFontMetricsF fm(font_, &printer);
  lineHeight_ = fm.lineSpacing();
  ascent_ = fm.ascent();
  const int dpi = printer.resolution();
  const QRectF paper = printer.pageLayout().fullRectPixels(dpi);
  QRectF area(MmToPixels(settings_.MarginLeft, dpi), MmToPixels(settings_.MarginTop, dpi), 0, 0);
  area.setRight(paper.width() - MmToPixels(settings_.MarginRight, dpi));
  area.setBottom(paper.height() - MmToPixels(settings_.MarginBottom, dpi));
  if (area.width() <= 0) area.setWidth(paper.width() / 2);
  if (area.height() <= 0) area.setHeight(paper.height() / 2);
  // Header and footer keep half a line of space from the rows.
  headerTop_ = area.top();
  footerTop_ = area.bottom() - lineHeight_;
  body_ = area;
  if (settings_.HeaderAlign != HeaderAlignment::None) body_.setTop(area.top() + 1.5 * lineHeight_);
  if (settings_.FooterAlign != HeaderAlignment::None)
    body_.setBottom(area.bottom() - 1.5 * lineHeight_);
  rowsPerColumn_ = std::max(1, static_cast<int>(std::floor(body_.height() / lineHeight_)));
  const qreal spacing = MmToPixels(settings_.ColumnSpacing, dpi);
  columnWidth_ = std::max<qreal>(1, (body_.width() - (columns_ - 1) * spacing) / columns_);
  columnStep_ = columnWidth_ + spacing;
}

void StringsPageLayout::AddRows(QPrinter& printer, const QString& line, int lineNumber) {
  const QFontMetricsF fm(font_, &printer);
  if (fm.horizontalAdvance(line) <= textWidth_) {
    rows_.push_back({line, lineNumber});
    return;
  }
  QTextLayout layout(line, font_, &printer);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.beginLayout();
  int number = lineNumber;
  for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
    l.setLineWidth(textWidth_);
    rows_.push_back({line.mid(l.textStart(), l.textLength()), number});
    number = -1;
  }
  layout.endLayout();
  if (number == lineNumber) rows_.push_back({line, lineNumber});
}

void StringsPageLayout::PaintHeader(QPainter& painter, const QString& pattern,
                                    HeaderAlignment align, qreal y, int pageNumber,
                                    const QDateTime& now) const {
  if (align == HeaderAlignment::None) return;
  const Qt::Alignment h = align == HeaderAlignment::Left     ? Qt::AlignLeft
                          : align == HeaderAlignment::Centre ? Qt::AlignHCenter
                                                             : Qt::AlignRight;
  const QRectF rect(body_.left(), y, body_.width(), lineHeight_);
  painter.drawText(rect, static_cast<int>(h | Qt::AlignTop | Qt::TextSingleLine),
                   ExpandHeaderText(pattern, settings_.Title, pageNumber, now));
}

void StringsPageLayout::PaintPage(QPainter& painter, int index, const QDateTime& now) const {
  painter.setFont(font_);
  painter.setPen(settings_.FontColor);
  const int number = PageNumber(index);
  PaintHeader(painter, settings_.Header, settings_.HeaderAlign, headerTop_, number, now);
  PaintHeader(painter, settings_.Footer, settings_.FooterAlign, footerTop_, number, now);
  const size_t perPage = static_cast<size_t>(rowsPerColumn_) * static_cast<size_t>(columns_);
  const size_t first = static_cast<size_t>(index) * perPage;
  for (size_t k = 0; k < perPage && first + k < rows_.size(); ++k) {
    const Row& row = rows_[first + k];
    const qreal x = body_.left() + static_cast<qreal>(k / rowsPerColumn_) * columnStep_;
    const qreal y = body_.top() + static_cast<qreal>(k % rowsPerColumn_) * lineHeight_;
    if (gutter_ > 0 && row.LineNumber >= 0) {
      const QRectF numberRect(x, y, numberWidth_, lineHeight_);
      painter.drawText(numberRect, static_cast<int>(Qt::AlignRight | Qt::AlignTop),
                       QString::number(row.LineNumber));
    }
    painter.drawText(QPointF(x + gutter_, y + ascent_), row.Text);
  }
}

}  // namespace kelvan::print
