#include "print/PrintProgram.h"

#include <string>
#include <vector>

#include "print/TPrintDlg.h"
#include "print/TStringsPrinter.h"
#include "report/BuildEconomyLines.h"

namespace kelvan::print {

QStringList ProgramPrintLines(const QStringList& editorLines, const EconomyPrint& economy) {
  if (!economy.On) return editorLines;
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(editorLines.size()));
  for (const QString& l : editorLines) lines.push_back(l.toStdString());
  QStringList out;
  for (const std::string& l : report::BuildEconomyLines(lines, economy.Rows, economy.Width))
    out.push_back(QString::fromStdString(l));
  return out;
}

bool PrintProgram(TStringsPrinter& printer, TPrintDlg& dialog, const QStringList& editorLines,
                  const QString& fileName, const EconomyPrint& economy) {
  printer.SetTitle(fileName);
  return dialog.Execute(printer, ProgramPrintLines(editorLines, economy));
}

bool PrintReport(TStringsPrinter& printer, TPrintDlg& dialog, const QStringList& reportLines) {
  printer.SetTitle(QStringLiteral("印刷"));
  return dialog.Execute(printer, reportLines);
}

}  // namespace kelvan::print
