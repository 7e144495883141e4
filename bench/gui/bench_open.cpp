// Opening a large program in the whole window: from the open command until the full path
// is drawn (load, analysis, picture), and what a keystroke costs afterwards. Prints
// seconds; runs offscreen with a store of its own.

#include <QApplication>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <Qsci/qsciscintilla.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>

#include "ProgramGenerator.h"
#include "editor/NcEditor.h"
#include "nc/PathList.h"
#include "view/TViewForm.h"
#include "workbench/Workbench.h"

using namespace kelvan;

namespace {

double Seconds(const std::function<void()>& work) {
  const auto t0 = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// A program of about `lines` blocks whose blocks carry sequence numbers and comments so
// that it weighs about 40 bytes a line, as CAM output does.
size_t WriteProgram(const QString& path, size_t lines) {
  bench::ProgramOptions options;
  options.crLf = true;
  const std::string program = bench::GenerateProgram(lines, 3, options);
  std::ofstream out(path.toStdString(), std::ios::binary);
  size_t bytes = 0, n = 0, start = 0;
  while (start < program.size()) {
    size_t end = program.find('\n', start);
    if (end == std::string::npos) end = program.size();
    std::string line = program.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() < 30 && line.find('(') == std::string::npos && line.find('%') == std::string::npos)
      line += " (P" + std::to_string(++n % 1000) + ")";
    line += "\r\n";
    out << line;
    bytes += line.size();
    start = end + 1;
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  QApplication app(argc, argv);
  const size_t lines = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("big.nc"));
  const size_t bytes = WriteProgram(file, lines);

  view::TViewForm form;
  form.resize(1280, 800);
  form.show();
  QApplication::processEvents();
  const double open = Seconds([&] { form.OpenAtStart(file); });
  std::printf("program: %d lines, %.1f MB, %d path items\n", form.Editor().LineCount(), bytes / 1048576.0,
              form.Path().Count);
  std::printf("open until the full path is drawn:   %7.3f s\n", open);

  QsciScintilla* view = form.Editor().Widget();
  view->setFocus();
  form.Editor().SetCaret(10, 0);
  const int keys = 20;
  const double typing = Seconds([&] {
    for (int i = 0; i < keys; ++i) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
      QApplication::sendEvent(view, &press);
      QApplication::sendEvent(view, &release);
      QApplication::processEvents();
    }
  });
  std::printf("a keystroke (with its repaint):      %7.4f s, analysed again: %s\n", typing / keys,
              form.IsAnalysed() ? "yes" : "no");
  const double redraw = Seconds([&] { form.Redraw(); });
  std::printf("the next redraw (analysis + picture): %6.3f s\n", redraw);
  // Where the opening time goes.
  QString error;
  const double load = Seconds([&] { form.Editor().LoadFile(file, error); });
  const double analyse = Seconds([&] { form.Bench().AnalyseProgram(); });
  const double picture = Seconds([&] { form.Redraw(); });
  std::printf("  of which: editor load %.3f s, analysis %.3f s, picture %.3f s\n", load, analyse, picture);
  form.Live().ShowG00 = false;
  std::printf("  the picture without rapid moves: %.3f s\n", Seconds([&] { form.Redraw(); }));
  form.Live().ShowG00 = true;
  form.Editor().SetModified(false);
  return 0;
}
