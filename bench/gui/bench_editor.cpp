// The editor's share of opening a large program: loading a 1,000,000-line file into the
// editor, one analysis pass over its lines, clearing the row marks of every line and
// styling the first screen; then the costs a user meets later (typing at the top, a jump
// to the end, the split view, saving). Prints seconds; runs offscreen.

#include <Qsci/qsciscintilla.h>
#include <unistd.h>

#include <QApplication>
#include <QFont>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "ProgramGenerator.h"
#include "editor/NcEditor.h"
#include "highlight/TNCFountain.h"
#include "Stopwatch.h"

using namespace kelvan;
using bench::Seconds;
using Sci = QsciScintillaBase;

namespace {

void Print(const char* what, double seconds) { std::printf("  %-44s %8.3f s\n", what, seconds); }

void Run(const char* name, const QString& path, size_t bytes) {
  highlight::TNCFountain fountain;
  editor::NcEditor edit(nullptr);
  QsciScintilla* view = edit.Widget();
  QFont font(QStringLiteral("IPAGothic"));
  font.setPixelSize(15);
  edit.SetFont(font);
  edit.SetLexer(&fountain);
  edit.SetLineNumbers(true);
  view->resize(800, 1000);
  view->show();
  QApplication::processEvents();

  std::printf("%s: %.1f MB\n", name, bytes / 1048576.0);
  QString error;
  bool loaded = false;
  const double load = Seconds([&] { loaded = edit.LoadFile(path, error); });
  if (!loaded) {
    std::printf("  load failed: %s\n", qPrintable(error));
    return;
  }
  const nc::LineSource& source = edit.Source();
  std::printf("  %d lines\n", source.LineCount());
  size_t sum = 0;
  const double pass = Seconds([&] {
    const int32_t n = source.LineCount();
    for (int32_t i = 0; i < n; ++i) sum += source.Line(i).size();
  });
  nc::RowMarks marks;
  marks.Reset(source.LineCount());
  const double clear = Seconds([&] { edit.ApplyRowMarks(marks); });
  for (int32_t i = 0; i < source.LineCount(); i += 100) marks.Set(i, nc::MarkM01);
  const double clearMarked = Seconds([&] { edit.ApplyRowMarks(marks); });
  const double firstScreen = Seconds([&] { view->viewport()->repaint(); });
  const long styled = view->SendScintilla(Sci::SCI_GETENDSTYLED);

  Print("LoadFile", load);
  Print("one pass of Source() over all lines", pass);
  Print("ApplyRowMarks (none set)", clear);
  Print("ApplyRowMarks (1 in 100 lines)", clearMarked);
  Print("styling and painting the first screen", firstScreen);
  Print("editor's share of opening (sum of the above)", load + pass + clear + firstScreen);
  std::printf("  (first screen styled up to byte %ld; %zu bytes of lines read)\n", styled, sum);

  const double typing = Seconds([&] {
    for (int k = 0; k < 20; ++k) {
      edit.SetCaret(2, 0);
      edit.InsertText(2, QStringLiteral("X"));
      view->viewport()->repaint();
    }
  });
  Print("typing at the top, per key with repaint", typing / 20);
  const double toEnd = Seconds([&] {
    edit.SetCaret(source.LineCount(), 0);
    view->viewport()->repaint();
  });
  Print("jump to the end (styles the whole text)", toEnd);
  const double split = Seconds([&] {
    QsciScintilla* second = edit.CreateSecondView(nullptr);
    second->resize(800, 500);
    second->show();
    second->viewport()->repaint();
  });
  Print("second view created and painted", split);
  QTemporaryDir dir;
  const double save = Seconds([&] {
    if (!edit.SaveFile(dir.filePath(QStringLiteral("out.nc")), error)) std::printf("  save failed\n");
  });
  Print("SaveFile", save);
  edit.RemoveSecondView();
}

void Case(const char* name, size_t blocks, const bench::ProgramOptions& options) {
  const std::string program = bench::GenerateProgram(blocks, 1, options);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("big.nc"));
  std::ofstream(path.toStdString(), std::ios::binary).write(program.data(), static_cast<std::streamsize>(program.size()));
  Run(name, path, program.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  Case("1,000,000 blocks, ASCII, LF", 1000000, {});
  bench::ProgramOptions japanese;
  japanese.crLf = true;
  japanese.japaneseComments = true;
  Case("1,000,000 blocks, Shift-JIS comments, CR LF", 1000000, japanese);
  // The generator's blocks are short; this is the size of program the 3-second budget names.
  Case("40 MB, Shift-JIS comments, CR LF", 1500000, japanese);
  return 0;
}
