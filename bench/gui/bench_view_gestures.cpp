// The mouse on the path view of a 1,000,000-line program in the whole window: pictures per
// second while a left drag turns the view and while the wheel zooms (the lighter picture
// of a gesture), the full picture that follows, and the time to pick the item under the
// pointer in the reference mode. Prints the figures; runs offscreen with a store of its own.

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "OffscreenApp.h"
#include "ProgramGenerator.h"
#include "editor/NcEditor.h"
#include "nc/PathList.h"
#include "view/TPathView.h"
#include "view/TViewForm.h"
#include "workbench/Workbench.h"

using namespace kelvan;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

void Send(QWidget& box, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(at), QPointF(box.mapToGlobal(at)), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(&box, &e);
}

void Wheel(QWidget& box, int delta) {
  const QPoint at(box.width() / 2, box.height() / 2);
  QWheelEvent e(QPointF(at), QPointF(box.mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(&box, &e);
}

}  // namespace

int main(int argc, char** argv) {
  bench::OffscreenApp app(argc, argv);
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("big.nc"));
  const std::string program = bench::GenerateProgram(argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000, 11);
  { std::ofstream(file.toStdString(), std::ios::binary) << program; }

  view::TViewForm form;
  form.resize(1280, 800);
  form.show();
  QApplication::processEvents();
  form.OpenAtStart(file);
  QApplication::processEvents();
  view::TPathView& box = form.ShowBox();
  std::printf("program: %d lines, %d path items, view %dx%d\n", form.Editor().LineCount(), form.Path().Count,
              box.width(), box.height());

  auto full = Clock::now();
  form.Redraw();
  std::printf("full picture                 %7.1f ms\n", Seconds(full) * 1000);

  // A left drag: each move turns the view by a pixel and draws the lighter picture.
  const QPoint centre(box.width() / 2, box.height() / 2);
  const int moves = 60;
  Send(box, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
  auto t0 = Clock::now();
  for (int i = 1; i <= moves; ++i) Send(box, QEvent::MouseMove, centre + QPoint(i, i / 2), Qt::NoButton, Qt::LeftButton);
  const double turn = Seconds(t0);
  t0 = Clock::now();
  Send(box, QEvent::MouseButtonRelease, centre + QPoint(moves, moves / 2), Qt::LeftButton, Qt::NoButton);
  const double rest = Seconds(t0);
  std::printf("turning by a drag            %7.1f pictures/s  (%d moves, %.1f ms each; full picture on release %.1f ms)\n",
              moves / turn, moves, turn / moves * 1000, rest * 1000);

  // The wheel: every second notch zooms, in and out again.
  int zooms = 0;
  t0 = Clock::now();
  for (int i = 0; i < 20; ++i) {
    Wheel(box, i < 10 ? 120 : -120);
    zooms += i % 2;
  }
  const double wheel = Seconds(t0);
  std::printf("zooming by the wheel         %7.1f pictures/s  (%d zooms)\n", zooms / wheel, zooms);
  form.Redraw();

  // The reference mode: the picture records its segments, then the pointer picks.
  t0 = Clock::now();
  form.Action(view::Command::InfoBtn)->trigger();
  std::printf("reference mode on (picture)  %7.1f ms\n", Seconds(t0) * 1000);
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> x(0, box.width() - 1), y(0, box.height() - 1);
  t0 = Clock::now();
  Send(box, QEvent::MouseMove, {x(rng), y(rng)}, Qt::NoButton, Qt::NoButton);
  std::printf("first pick (sorts the hits)  %7.1f ms\n", Seconds(t0) * 1000);
  double worst = 0, total = 0;
  const int picks = 2000;
  for (int i = 0; i < picks; ++i) {
    t0 = Clock::now();
    Send(box, QEvent::MouseMove, {x(rng), y(rng)}, Qt::NoButton, Qt::NoButton);
    const double s = Seconds(t0);
    worst = std::max(worst, s);
    total += s;
  }
  std::printf("pick under the pointer       %7.3f ms mean, %.3f ms worst (%d picks, with highlight and caret)\n",
              total / picks * 1000, worst * 1000, picks);
  form.Editor().SetModified(false);
  return 0;
}
