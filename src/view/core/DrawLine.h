#pragma once
// Drawing one line of the path view: map, clip, set the pen style, draw.

#include <cstdint>
#include <optional>

#include "view/core/ViewTypes.h"

namespace kelvan::view {

class LineSink;
class ViewTransform;

// Line types: 0 solid, 1 dotted, 2 dash-dot; any other keeps the sink's style.
inline constexpr int LineSolid = 0;
inline constexpr int LineDotted = 1;
inline constexpr int LineDashDot = 2;

// Maps both ends with ToPixel, clips, and draws what is left. Only a line that survives
// clipping sets the pen style. Returns the drawn segment, if any.
std::optional<PixelSegment> DrawLine(const ViewTransform& view, LineSink& sink, int lineType,
                                     ViewPoint a, ViewPoint b);

// Clips two mapped pixels and draws what is left: DrawLine after its mapping, for callers
// that map each point of a chain once.
std::optional<PixelSegment> DrawPixelSegment(const ViewTransform& view, LineSink& sink, int lineType,
                                             PixelPoint a, PixelPoint b);

// Projects two program points and draws the line between them.
std::optional<PixelSegment> DrawLine3D(const ViewTransform& view, LineSink& sink, int lineType,
                                       const ModelPoint& a, const ModelPoint& b);

// Like DrawLine without scale and pan: X = trunc(u) + x0, Y = trunc(-v) + y0. For the
// axis glyph, which keeps its place and size whatever the zoom.
std::optional<PixelSegment> DrawPixelLine(const ViewTransform& view, LineSink& sink, int lineType,
                                          int32_t x0, int32_t y0, ViewPoint a, ViewPoint b);

}  // namespace kelvan::view
