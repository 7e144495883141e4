#include "view/core/DrawLine.h"

#include <cmath>

#include "view/core/LineSink.h"
#include "view/core/ViewTransform.h"

namespace kelvan::view {

namespace {

std::optional<PixelSegment> ClipAndDraw(const ViewTransform& view, LineSink& sink, int lineType,
                                        PixelPoint a, PixelPoint b) {
  const std::optional<PixelSegment> s = view.ClipLine(a, b);
  if (!s) return s;
  if (lineType >= LineSolid && lineType <= LineDashDot)
    sink.SetPenStyle(static_cast<PenStyle>(lineType));
  sink.Line(s->X1, s->Y1, s->X2, s->Y2);
  return s;
}

// A point that is not a number (from an infinite coordinate met by a zero sine) has no
// place in the view; its line is left out rather than drawn to an invented pixel.
bool IsNumber(ViewPoint p) { return !std::isnan(p.U) && !std::isnan(p.V); }

}  // namespace

std::optional<PixelSegment> DrawLine(const ViewTransform& view, LineSink& sink, int lineType,
                                     ViewPoint a, ViewPoint b) {
  if (!IsNumber(a) || !IsNumber(b)) return std::nullopt;
  return ClipAndDraw(view, sink, lineType, view.ToPixel(a), view.ToPixel(b));
}

std::optional<PixelSegment> DrawPixelSegment(const ViewTransform& view, LineSink& sink, int lineType,
                                             PixelPoint a, PixelPoint b) {
  return ClipAndDraw(view, sink, lineType, a, b);
}

std::optional<PixelSegment> DrawLine3D(const ViewTransform& view, LineSink& sink, int lineType,
                                       const ModelPoint& a, const ModelPoint& b) {
  return DrawLine(view, sink, lineType, view.ProjectPoint(a), view.ProjectPoint(b));
}

std::optional<PixelSegment> DrawPixelLine(const ViewTransform& view, LineSink& sink, int lineType,
                                          int32_t x0, int32_t y0, ViewPoint a, ViewPoint b) {
  if (!IsNumber(a) || !IsNumber(b)) return std::nullopt;
  const PixelPoint pa{ViewTransform::ScaledToInt(a.U) + x0, ViewTransform::ScaledToInt(-a.V) + y0};
  const PixelPoint pb{ViewTransform::ScaledToInt(b.U) + x0, ViewTransform::ScaledToInt(-b.V) + y0};
  return ClipAndDraw(view, sink, lineType, pa, pb);
}

}  // namespace kelvan::view
