#include "view/core/DrawViewFrame.h"

#include <cmath>

#include "nc/PathList.h"
#include "view/core/DrawLine.h"
#include "view/core/LineSink.h"
#include "view/core/ModeColors.h"
#include "view/core/ViewTransform.h"

namespace kelvan::view {

namespace {

constexpr double kAxisHalfLength = 1000;
constexpr double kGlyphShaft = 40;
constexpr double kGlyphHeadBase = 25;
constexpr double kGlyphHeadHalfWidth = 5;

// Grid lines at multiples of the pitch from the first multiple at or inside the low end
// to the last at or inside the high end; the first is always drawn. `line` draws one.
template <typename DrawOne>
void GridLines(double low, double high, double pitch, DrawOne line) {
  const double first = pitch * std::trunc(low / pitch);
  const double last = pitch * std::trunc(high / pitch);
  if (!std::isfinite(first) || !std::isfinite(last)) return;
  const double span = std::floor((last - first) / pitch + 1e-9);
  const int64_t count = span > 0 ? static_cast<int64_t>(std::fmin(span, 1e15)) : 0;
  const int64_t stride = count / MaxGridLines + 1;
  line(first);
  for (int64_t k = stride; k <= count; k += stride) line(first + pitch * static_cast<double>(k));
}

void DrawGrid(const ViewTransform& view, LineSink& sink, const nc::MachineState& s) {
  const double z = s.RangeMinZ;
  GridLines(s.RangeMinX, s.RangeMaxX, view.GridPitch, [&](double x) {
    DrawLine3D(view, sink, LineSolid, {x, s.RangeMinY, z}, {x, s.RangeMaxY, z});
  });
  GridLines(s.RangeMinY, s.RangeMaxY, view.GridPitch, [&](double y) {
    DrawLine3D(view, sink, LineSolid, {s.RangeMinX, y, z}, {s.RangeMaxX, y, z});
  });
}

void DrawExtentBox(const ViewTransform& view, LineSink& sink, const nc::MachineState& s) {
  const double x0 = s.RangeMinX, x1 = s.RangeMaxX, y0 = s.RangeMinY, y1 = s.RangeMaxY;
  const double zs[2] = {s.RangeMinZ, s.RangeMaxZ};
  for (double z : zs) {  // bottom edges, then top edges
    DrawLine3D(view, sink, LineSolid, {x0, y0, z}, {x1, y0, z});
    DrawLine3D(view, sink, LineSolid, {x1, y0, z}, {x1, y1, z});
    DrawLine3D(view, sink, LineSolid, {x1, y1, z}, {x0, y1, z});
    DrawLine3D(view, sink, LineSolid, {x0, y1, z}, {x0, y0, z});
  }
  const double xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
  for (int i = 0; i < 4; ++i)
    DrawLine3D(view, sink, LineSolid, {xs[i], ys[i], zs[0]}, {xs[i], ys[i], zs[1]});
}

// A point `along` the axis and `off1`, `off2` along the two other axes, in order.
ModelPoint AxisPoint(int axis, double along, double off1, double off2) {
  double c[3];
  c[axis] = along;
  c[(axis + 1) % 3] = off1;
  c[(axis + 2) % 3] = off2;
  return {c[0], c[1], c[2]};
}

constexpr uint32_t kAxisColors[3] = {bgr::Blue, bgr::Green, bgr::Red};

void DrawAxes(const ViewTransform& view, LineSink& sink) {
  for (int axis = 0; axis < 3; ++axis) {
    sink.SetPenColor(kAxisColors[axis]);
    DrawLine3D(view, sink, LineDashDot, AxisPoint(axis, -kAxisHalfLength, 0, 0),
               AxisPoint(axis, kAxisHalfLength, 0, 0));
  }
}

void DrawAxisGlyph(const ViewTransform& view, LineSink& sink, int32_t showBoxHeight) {
  const int32_t x0 = GlyphInset, y0 = showBoxHeight - GlyphInset;
  auto line = [&](const ModelPoint& a, const ModelPoint& b) {
    DrawPixelLine(view, sink, LineSolid, x0, y0, view.ProjectPoint(a), view.ProjectPoint(b));
  };
  const double w = kGlyphHeadHalfWidth;
  for (int axis = 0; axis < 3; ++axis) {
    sink.SetPenColor(kAxisColors[axis]);
    const ModelPoint tip = AxisPoint(axis, kGlyphShaft, 0, 0);
    line(AxisPoint(axis, 0, 0, 0), tip);
    // Base points in turn around the axis, so that neighbours in the list are adjacent.
    const ModelPoint base[4] = {AxisPoint(axis, kGlyphHeadBase, w, 0), AxisPoint(axis, kGlyphHeadBase, 0, w),
                                AxisPoint(axis, kGlyphHeadBase, -w, 0), AxisPoint(axis, kGlyphHeadBase, 0, -w)};
    for (int i = 0; i < 4; ++i) {
      line(base[i], tip);
      line(base[i], base[(i + 1) % 4]);
    }
  }
}

}  // namespace

void DrawViewFrame(const ViewTransform& view, LineSink& sink, const nc::MachineState& state,
                   bool whiteMode, int32_t showBoxHeight) {
  sink.SetPenColor(ModeColors::For(whiteMode).Frame);
  DrawGrid(view, sink, state);
  DrawExtentBox(view, sink, state);
  DrawAxes(view, sink);
  DrawAxisGlyph(view, sink, showBoxHeight);
}

}  // namespace kelvan::view
