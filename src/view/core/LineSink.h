#pragma once
// Where the drawing rules send their lines: a canvas in the windows, a recorder in tests.

#include <cstdint>

namespace kelvan::view {

// The pen styles of a canvas. Line types 0, 1 and 2 select them; any other type keeps
// the style the canvas has.
enum class PenStyle : uint8_t { Solid = 0, Dotted = 1, DashDot = 2 };

class LineSink {
 public:
  virtual ~LineSink() = default;
  // The pen colour as $BBGGRR. It stays until changed.
  virtual void SetPenColor(uint32_t bgr) = 0;
  virtual void SetPenStyle(PenStyle style) = 0;
  // A line from the first end to the second, without the end pixel (move-to, line-to).
  // Both ends lie inside the clip rectangle.
  virtual void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
};

}  // namespace kelvan::view
