#include "view/picture/PathPicture.h"

#include <QGuiApplication>
#include <QScreen>

#include <thread>

#include "view/core/RasterLineSink.h"
#include "view/picture/ImageRaster.h"
#include "view/core/ModeColors.h"
#include "view/core/RenderOptions.h"

namespace kelvan::view {

PathPicture::PathPicture() : PathPicture(ScreenSize()) {}

PathPicture::PathPicture(QSize size)
    : tempBox_(size, QImage::Format_RGB32), threads_(static_cast<int>(std::thread::hardware_concurrency())) {
  tempBox_.fill(Qt::black);
  if (threads_ < 1) threads_ = 1;
}

QSize PathPicture::ScreenSize() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QSize s = screen->size();
      if (!s.isEmpty()) return s;
    }
  }
  return {1920, 1080};
}

RenderResult PathPicture::Render(const nc::PathList& path, const nc::MachineState& state,
                                 const ViewTransform& view, const RenderOptions& options, HitList& hits,
                                 int32_t execIndex, QSize showBoxSize) {
  tempBox_.fill(RasterLineSink::ToPixel(ModeColors::For(options.WhiteMode).Background));
  return RenderRaster(path, state, view, options, RasterOf(tempBox_), layers_, hits, execIndex, showBoxSize.height(),
                      threads_);
}

}  // namespace kelvan::view
