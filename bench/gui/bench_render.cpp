// Drawing rate of the path view: full pictures of large paths into a screen-sized image.
// Prints items per second; the paths are built directly, without the analyser, so that
// only the drawing is measured.

#include <QGuiApplication>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>

#include "nc/PathList.h"
#include "view/picture/PathPicture.h"
#include "view/core/HitList.h"
#include "view/core/RenderOptions.h"
#include "view/core/ViewTransform.h"

using namespace kelvan;

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

void AddItem(nc::PathList& path, nc::MachineState& state, nc::PathKind kind, const float (&v)[8]) {
  nc::AddPathItem(path, 1000, path.Count, kind, v);
  nc::UpdateRange(state, v[0], v[1], v[2]);
}

// A random walk of short feed moves, as a finely sampled 3D surface finish produces.
void ShortMoves(nc::PathList& path, nc::MachineState& state, int count) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> step(-1.5, 1.5);
  double x = 0, y = 0, z = 0;
  for (int i = 0; i < count; ++i) {
    const double nx = std::clamp(x + step(rng), -400.0, 400.0);
    const double ny = std::clamp(y + step(rng), -250.0, 250.0);
    const double nz = std::clamp(z + step(rng) / 10, -20.0, 0.0);
    const float v[8] = {float(x), float(y), float(z), float(nx), float(ny), float(nz), 0, 0};
    AddItem(path, state, nc::PathKind::pkLinear, v);
    x = nx, y = ny, z = nz;
  }
}

// Full circles, each drawn as 72 chords of 5 degrees.
void FullCircles(nc::PathList& path, nc::MachineState& state, int count) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> at(-350, 350), radius(5, 60);
  const float sweep = float(2 * std::numbers::pi - 0.01);
  for (int i = 0; i < count; ++i) {
    const float v[8] = {float(at(rng)), float(at(rng) / 2), 0, float(radius(rng)), 0, sweep, 0, 0};
    AddItem(path, state, nc::PathKind::pkArcCCW, v);
  }
}

void Measure(const char* name, const nc::PathList& path, const nc::MachineState& state, int linesPerItem) {
  view::PathPicture picture(QSize(kWidth, kHeight));
  view::ViewTransform view;
  view.ResizeView(kWidth, kHeight);
  view.Fit(state);
  const view::RenderOptions options;
  view::HitList hits(view::HitList::CapacityForPath(path.Capacity));
  double best = 1e300, total = 0;
  const int rounds = 5;
  for (int r = 0; r < rounds; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    picture.Render(path, state, view, options, hits, -1, QSize(kWidth, kHeight));
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    best = std::min(best, s);
    total += s;
  }
  std::printf("%-34s %9d items  best %7.3f s  mean %7.3f s  %11.0f items/s  %11.0f lines/s\n", name,
              path.Count, best, total / rounds, path.Count / best, double(path.Count) * linesPerItem / best);
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  {
    nc::PathList path(1000000);
    nc::MachineState state;
    ShortMoves(path, state, 1000000);
    Measure("short G01 moves, 1920x1080", path, state, 1);
  }
  {
    nc::PathList path(100000);
    nc::MachineState state;
    FullCircles(path, state, 100000);
    Measure("full circles in 5-degree chords", path, state, 72);
  }
  return 0;
}
