#include "view/TPathView.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include "nc/PathList.h"
#include "view/core/RasterLineSink.h"
#include "view/picture/ImageRaster.h"
#include "view/core/DrawItem.h"
#include "view/core/RenderOptions.h"

namespace kelvan::view {

TPathView::TPathView(QWidget* parent) : QWidget(parent) {
  // The picture covers the whole view; what it does not cover is painted black.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Moves without a button pressed reach the window too (the reference mode picks).
  setMouseTracking(true);
  // A click gives the view the keys of its own (全体表示 on Home).
  setFocusPolicy(Qt::ClickFocus);
}

void TPathView::ShowPicture(const QImage& tempBox) {
  // Pixels beyond the picture come out black, like the panel behind the view. The run
  // draws into the copy through the raster sink, which needs 32-bit pixels.
  shown_ = tempBox.copy(0, 0, width(), height()).convertToFormat(QImage::Format_RGB32);
  update();
}

PositionReadout TPathView::DrawRunItem(const nc::PathList& path, int32_t index, const ViewTransform& view,
                                       const RenderOptions& options) {
  PositionReadout readout;
  if (shown_.isNull() || index < 0 || index >= path.Count) return readout;
  RenderOptions live = options;
  live.WhiteMode = false;
  live.Tracking = false;
  RasterLineSink sink(RasterOf(shown_));
  DrawContext ctx{view, sink, live, ModeColors::For(false), nullptr, readout};
  DrawItem(ctx, index, path[index]);
  update();
  return readout;
}

PositionReadout TPathView::DrawItemHighlight(const nc::PathList& path, int32_t index, const ViewTransform& view,
                                             const RenderOptions& options, bool on) {
  PositionReadout readout;
  if (shown_.isNull() || index < 0 || index >= path.Count) return readout;
  RenderOptions o = options;
  o.WhiteMode = false;
  o.Tracking = false;
  o.ShowArrow = false;
  ModeColors colors = ModeColors::For(false);
  if (on) colors.Rapid = colors.Cutting = colors.RefReturn = colors.DrillRapid = kHighlight;
  RasterLineSink sink(RasterOf(shown_));
  DrawContext ctx{view, sink, o, colors, nullptr, readout};
  DrawItem(ctx, index, path[index]);
  update();
  return readout;
}

void TPathView::mousePressEvent(QMouseEvent* event) { emit MousePressed(event); }
void TPathView::mouseMoveEvent(QMouseEvent* event) { emit MouseMoved(event); }
void TPathView::mouseReleaseEvent(QMouseEvent* event) { emit MouseReleased(event); }
void TPathView::wheelEvent(QWheelEvent* event) {
  emit Wheeled(event);
  event->accept();
}
void TPathView::contextMenuEvent(QContextMenuEvent* event) { emit ContextMenuRequested(event->globalPos()); }

void TPathView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  painter.fillRect(area, Qt::black);
  if (!shown_.isNull()) painter.drawImage(area.topLeft(), shown_, area);
}

void TPathView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  emit Resized(event->size());
}

}  // namespace kelvan::view
