// Opening a large program in the whole window: from the open command until the full path
// is drawn (read, analysis, editor, picture), the picture alone, what a keystroke costs,
// and what the live re-analysis costs the user-interface thread. Prints seconds; runs
// offscreen with a store of its own.

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <vector>

#include "OffscreenApp.h"
#include "ProgramGenerator.h"
#include "editor/NcEditor.h"
#include "nc/PathList.h"
#include "view/TPathView.h"
#include "view/TViewForm.h"
#include "view/core/HitList.h"
#include "view/core/RenderOptions.h"
#include "view/picture/PathPicture.h"
#include "workbench/Workbench.h"
#include "Stopwatch.h"

using namespace kelvan;
using bench::Seconds;

namespace {

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

void Key(QWidget* view) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(view, &press);
  QApplication::sendEvent(view, &release);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  bench::OffscreenApp app(argc, argv);
  const size_t lines = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("big.nc"));
  const size_t bytes = WriteProgram(file, lines);

  view::TViewForm form;
  form.resize(1280, 800);
  form.show();
  QApplication::processEvents();
  workbench::Workbench& bench = form.Bench();
  const double open = Seconds([&] { form.OpenAtStart(file); });
  std::printf("program: %d lines, %.1f MB, %d path items, analysed: %s\n", form.Editor().LineCount(),
              bytes / 1048576.0, form.Path().Count, bench.IsAnalysed() ? "yes" : "no");
  std::printf("open until the full path is drawn:     %7.3f s\n", open);
  std::vector<double> pictures;
  for (int i = 0; i < 5; ++i) pictures.push_back(Seconds([&] { form.Redraw(); }));
  std::printf("the picture alone (median of 5):       %7.3f s\n", Median(pictures));
  form.Live().ShowG00 = false;
  std::printf("  without rapid moves:                 %7.3f s\n", Seconds([&] { form.Redraw(); }));
  form.Live().ShowG00 = true;
  {
    // The renderer alone on the same path and view, into a picture of the view's size.
    const QSize size = form.ShowBox().ShowBoxSize();
    view::PathPicture picture(size);
    view::HitList hits(view::HitList::CapacityForPath(form.Path().Capacity));
    const view::RenderOptions options;
    std::vector<double> renders;
    for (int i = 0; i < 5; ++i)
      renders.push_back(Seconds([&] { picture.Render(form.Path(), form.Machine(), form.View(), options, hits, -1, size); }));
    std::printf("  of which the renderer (median of 5): %7.3f s (view %dx%d, scale %.3g)\n", Median(renders),
                size.width(), size.height(), form.View().ViewScale);
  }

  QsciScintilla* view = form.Editor().Widget();
  view->setFocus();
  form.Editor().SetCaret(10, 0);
  // Keystrokes faster than the live delay: no re-analysis comes between them.
  std::vector<double> keys;
  for (int i = 0; i < 20; ++i) keys.push_back(Seconds([&] {
    Key(view);
    QApplication::processEvents();
  }));
  std::printf("a keystroke with its repaint (median): %7.4f s, worst %.4f s (key %d)\n", Median(keys),
              *std::max_element(keys.begin(), keys.end()),
              int(std::max_element(keys.begin(), keys.end()) - keys.begin()));

  // A keystroke far from the last one: the editor moves its buffer's gap there.
  form.Editor().SetCaret(form.Editor().LineCount() - 10, 0);
  QApplication::processEvents();
  std::printf("a keystroke 1,000,000 lines further:   %7.4f s (the lines before it are coloured first)\n", Seconds([&] {
    Key(view);
    QApplication::processEvents();
  }));
  form.Editor().SetCaret(10, 0);
  QApplication::processEvents();

  // The live re-analysis: what the user-interface thread spends on each event while it
  // goes, and how long until the picture follows the text.
  QElapsedTimer sinceEdit;
  sinceEdit.start();
  std::vector<double> events;
  while (!bench.IsAnalysed() && sinceEdit.elapsed() < 20000) {
    events.push_back(Seconds([] { QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5); }));
  }
  double worstEvent = 0;
  for (double e : events) worstEvent = std::max(worstEvent, e);
  std::printf("live picture after the last key:       %7.3f s (300 ms of it the rest delay)\n",
              sinceEdit.elapsed() / 1000.0);
  std::printf("  longest the user-interface thread was busy meanwhile: %.3f s\n", worstEvent);
  std::vector<double> during;
  bench.TextChanged();  // once more, and type while the worker analyses
  QElapsedTimer again;
  again.start();
  while (!bench.WorkerRunning() && again.elapsed() < 2000) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  const bool workerBusy = bench.WorkerRunning();
  for (int i = 0; i < 10 && bench.WorkerRunning(); ++i) during.push_back(Seconds([&] {
    Key(view);
    QApplication::processEvents();
  }));
  std::printf("a keystroke while the worker analyses:  %7.4f s (%zu keys, worker busy: %s)\n", Median(during),
              during.size(), workerBusy ? "yes" : "no");

  // Where the opening time goes.
  QString error;
  const double load = Seconds([&] { form.Editor().LoadFile(file, error); });
  const double analyse = Seconds([&] { bench.AnalyseProgram(); });
  std::printf("  parts on one thread: editor load %.3f s, analysis %.3f s\n", load, analyse);
  form.Editor().SetModified(false);
  return 0;
}
