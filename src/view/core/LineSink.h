#pragma once
// Where the drawing rules send their lines: a canvas in the windows, a recorder in tests.

#include <cstddef>
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
  // A chain of lines in one style through `count` points, xy holding x and y of each in
  // turn: point 0 to 1, 1 to 2, and so on, each as Line draws it. Every point lies inside
  // the clip rectangle. Arcs come this way, many short chords at a time; a sink that
  // draws pixels itself does them without a call per chord.
  virtual void Polyline(const int32_t* xy, size_t count, PenStyle style) {
    if (count < 2) return;
    SetPenStyle(style);
    for (size_t i = 1; i < count; ++i) Line(xy[2 * i - 2], xy[2 * i - 1], xy[2 * i], xy[2 * i + 1]);
  }
};

}  // namespace kelvan::view
