#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/Commands.h"
#include "cli/LoadProgram.h"
#include "nc/PathList.h"
#include "settings/LiveSettings.h"
#include "settings/StartSettings.h"
#include "settings/TRegManager.h"
#include "view/picture/PathPicture.h"
#include "view/core/HitList.h"
#include "view/core/RenderOptions.h"
#include "view/core/ViewTransform.h"

namespace kelvan::cli {

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;

void DropQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Drawing needs no screen; without a display the offscreen platform stands in, so that
// render works in batch jobs and tests. The platform's start-up notes (a missing runtime
// folder and the like) would mix into the result line that scripts read from stderr.
std::unique_ptr<QGuiApplication> MakeApplication() {
  if (QCoreApplication::instance()) return nullptr;
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "kelvan-cli";
  static char* argv[] = {name, nullptr};
  const QtMessageHandler previous = qInstallMessageHandler(DropQtMessage);
  auto app = std::make_unique<QGuiApplication>(argc, argv);
  qInstallMessageHandler(previous);
  return app;
}

view::ViewTransform MakeView(const CliOptions& o, int width, int height, const nc::MachineState& state,
                             const settings::StartSettings& start) {
  view::ViewTransform view;
  view.GridPitch = view::ViewTransform::GridPitchFromSetting(start.GridSize);
  view.ResizeView(width, height);
  view.SelectTab(o.View.value_or(0));
  if (o.Scale) view.ViewScale = *o.Scale;
  if (o.Pan) {
    view.PanX = o.Pan->first;
    view.PanY = o.Pan->second;
  }
  // --fit decides scale and pan, whatever --scale and --pan said.
  if (o.Fit) view.Fit(state);
  return view;
}

}  // namespace

int RunRender(const CliOptions& options) {
  if (options.Positional.size() != 1 || !options.Output) {
    std::fputs(
        "usage: kelvan-cli render [options] FILE -o OUT.png [--view 0..3] [--size WxH] [--scale S]\n"
        "                         [--pan X,Y] [--white] [--fit]\n",
        stderr);
    return 2;
  }
  const std::shared_ptr<const nc::NcText> text = LoadProgramText(options.Positional[0]);
  if (!text) return 2;
  const EffectiveSettings settings = ResolveSettings(options);
  CliBench cli(text, settings);
  // A failed analysis keeps the items before the fault, and they are drawn as the window
  // would draw them.
  const nc::AnalysisResult result = cli.Analyse();
  const nc::PathList& path = cli.Bench().Path();
  const nc::MachineState& state = cli.Bench().Machine();

  const std::unique_ptr<QGuiApplication> app = MakeApplication();
  const int width = options.Size ? options.Size->first : kDefaultWidth;
  const int height = options.Size ? options.Size->second : kDefaultHeight;
  view::PathPicture picture(QSize(width, height));
  if (picture.TempBox().isNull()) {
    std::fprintf(stderr, "kelvan-cli: no memory for a picture of %dx%d\n", width, height);
    return 2;
  }
  // The display settings of the store, so that the picture is the window's.
  const settings::TRegManager store;
  settings::LiveSettings live;
  live.Load(store);
  const view::ViewTransform view = MakeView(options, width, height, state, settings::StartSettings::Load(store));
  view::RenderOptions render;
  render.ShowG00 = live.ShowG00;
  render.ShowArrow = live.ShowArrow;
  render.HoleDisp = live.HoleDisp;
  render.WhiteMode = options.White;
  render.WorkHeight = settings.WorkHeight;
  view::HitList hits(view::HitList::CapacityForPath(path.Capacity));
  picture.Render(path, state, view, render, hits, -1, QSize(width, height));

  const QString out = QString::fromLocal8Bit(options.Output->c_str());
  if (!picture.TempBox().save(out, "PNG")) {
    std::fprintf(stderr, "kelvan-cli: cannot write %s\n", options.Output->c_str());
    return 2;
  }
  if (result.Ok()) return 0;
  std::fprintf(stderr, "%s\n", AnalysisErrorText(result).c_str());
  return 1;
}

}  // namespace kelvan::cli
