#pragma once
// The path view (ShowBox): shows a copy of the off-screen picture, and during a run the
// items drawn onto that copy one by one.

#include <QImage>
#include <QWidget>
#include <cstdint>

#include "view/core/PositionReadout.h"

namespace kelvan::nc {
class PathList;
}

namespace kelvan::view {

class ViewTransform;
struct RenderOptions;

class TPathView : public QWidget {
  Q_OBJECT
 public:
  explicit TPathView(QWidget* parent = nullptr);

  // The size the picture is drawn for.
  QSize ShowBoxSize() const { return size(); }

  // Shows the area of the view's size from the top-left of the finished picture.
  void ShowPicture(const QImage& tempBox);
  const QImage& ShownImage() const { return shown_; }

  // Draws item `index` of path straight onto the shown picture, in normal colours and
  // without recording hits: the run's incremental drawing. Returns the item's readout.
  PositionReadout DrawRunItem(const nc::PathList& path, int32_t index, const ViewTransform& view,
                              const RenderOptions& options);
  // Draws item `index` again over the shown picture: every line orange when `on`, else in
  // its normal colours; no arrows, no hits. The reference mode's highlight.
  PositionReadout DrawItemHighlight(const nc::PathList& path, int32_t index, const ViewTransform& view,
                                    const RenderOptions& options, bool on);

  // The highlight's pen, $BBGGRR.
  static constexpr uint32_t kHighlight = 0x00A5FF;

 signals:
  // The view changed size; the window applies its resize rule and redraws.
  void Resized(QSize size);
  // The pointer over the view: the window turns, moves, zooms or picks.
  void MousePressed(QMouseEvent* event);
  void MouseMoved(QMouseEvent* event);
  void MouseReleased(QMouseEvent* event);
  void Wheeled(QWheelEvent* event);
  void ContextMenuRequested(const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QImage shown_;
};

}  // namespace kelvan::view
