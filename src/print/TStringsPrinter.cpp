#include "print/TStringsPrinter.h"

#include <QPainter>
#include <QPrinter>

#include <vector>

#include "print/StringsPageLayout.h"

namespace kelvan::print {

TStringsPrinter::TStringsPrinter()
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

TStringsPrinter::~TStringsPrinter() = default;

int TStringsPrinter::Print(const QStringList& lines) {
  return PrintTo(*printer_, settings_, lines);
}

int TStringsPrinter::PrintTo(QPrinter& printer, const StringsPrinterSettings& settings,
                             const QStringList& lines, const QDateTime& now) {
  // The margins are ours, measured from the paper's edge; the printer's own page
  // margins would add to them.
  printer.setFullPage(true);
  printer.setDocName(settings.Title);
  const StringsPageLayout layout(printer, settings, lines);
  std::vector<int> pages;
  for (int i = 0; i < layout.PageCount(); ++i) {
    const int number = layout.PageNumber(i);
    if (number >= settings.FirstPage && number <= settings.LastPage) pages.push_back(i);
  }
  // Opening the printer already starts a page, so nothing is opened for an empty range.
  if (pages.empty()) return 0;
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  int printed = 0;
  for (int index : pages) {
    if (printed > 0 && !printer.newPage()) break;
    layout.PaintPage(painter, index, now);
    ++printed;
  }
  painter.end();
  return printed;
}

}  // namespace kelvan::print
