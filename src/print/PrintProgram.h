#pragma once

#include <QString>
#include <QStringList>

namespace kelvan::print {

class TPrintDlg;
class TStringsPrinter;

// Economy printing as the settings store holds it ("EconoPrint", "EconoPrintRow",
// "EconoPrintCol"); the caller reads it from the store at each print.
struct EconomyPrint {
  bool On = false;
  int Rows = 80;   // lines in each printed column
  int Width = 45;  // width of the left column in Shift-JIS bytes
};

// The lines to print for a program: its own lines, or with economy printing on two
// lines side by side on each printed line.
QStringList ProgramPrintLines(const QStringList& editorLines, const EconomyPrint& economy);

// Prints the NC program of the main editor: the title becomes the document's path and
// the print dialog opens on the program's lines. Neither editor is touched; the economy
// lines are built apart from them. True when something was printed.
bool PrintProgram(TStringsPrinter& printer, TPrintDlg& dialog, const QStringList& editorLines,
                  const QString& fileName, const EconomyPrint& economy);

// Prints a report: the title "印刷" (which a "%F" header shows) and the report's lines.
bool PrintReport(TStringsPrinter& printer, TPrintDlg& dialog, const QStringList& reportLines);

}  // namespace kelvan::print
