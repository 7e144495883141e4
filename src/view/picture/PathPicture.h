#pragma once
// The off-screen picture of the path view (TempBox): the full picture is built here and
// then copied to the view in one operation.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <vector>

#include "view/core/RenderPath.h"

namespace kelvan::nc {
class PathList;
struct MachineState;
}  // namespace kelvan::nc

namespace kelvan::view {

class HitList;
class ViewTransform;
struct RenderOptions;

class PathPicture {
 public:
  // As large as the primary screen at start-up, which is what the view assumes it never
  // outgrows.
  PathPicture();
  explicit PathPicture(QSize size);

  // Format_RGB32: the raster line sink writes its pixels directly.
  const QImage& TempBox() const { return tempBox_; }

  // Fills the whole picture with the mode's background and draws frame and path (items 0
  // to execIndex, all for -1), a large path on every core. showBoxSize is the view's
  // size, which anchors the axis glyph. The caller applies the result's end of execution
  // and readouts.
  RenderResult Render(const nc::PathList& path, const nc::MachineState& state, const ViewTransform& view,
                      const RenderOptions& options, HitList& hits, int32_t execIndex, QSize showBoxSize);

  // The primary screen's size, or 1920 x 1080 where there is no screen.
  static QSize ScreenSize();

  // How many threads draw a large path; 1 draws on the caller's thread alone.
  void SetThreads(int threads) { threads_ = threads < 1 ? 1 : threads; }
  int Threads() const { return threads_; }

 private:
  QImage tempBox_;
  std::vector<std::vector<uint32_t>> layers_;  // the other threads' layers, kept for reuse
  int threads_;
};

}  // namespace kelvan::view
