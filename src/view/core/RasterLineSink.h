#pragma once
// A line sink that writes the pixels of a 32-bit image itself. A painter spends several
// nanoseconds a pixel on cosmetic pens (more on patterned ones); an integer line walk
// into the image's memory spends about one, and a full picture of a large program is
// mostly long lines.
//
// The pixels follow the toolkit's aliased cosmetic pen, so that pictures look as they
// did when a painter drew them:
//  - the pixels of a line do not depend on its direction: the walk runs along the major
//    axis (x when |dx| >= |dy|) from the lower end, one pixel a step, and the minor
//    coordinate is the line's, rounded down, taken at the middle of the step when it
//    rises (a line exactly on a pixel border takes the smaller coordinate) and at the
//    step itself when it falls;
//  - the line is drawn from its first end and leaves out its end pixel, as move-to,
//    line-to does; a zero-length line sets nothing. (The painter leaves out the pixel of
//    the higher major end instead, so a line drawn backwards differs from the painter's
//    in its two end pixels.)
//  - dotted is 1 on, 2 off; dash-dot 4 on, 2 off, 1 on, 2 off; counted in pixels along
//    the major axis and restarting with the first pixel of every line.

#include <cstdint>

#include "view/core/LineSink.h"

namespace kelvan::view {

// Memory of 32-bit pixels (0xAARRGGBB, as the toolkit's RGB32 and ARGB32 formats): row y
// starts at Bits + y * Stride. An image without memory or without area draws nothing.
struct RasterImage {
  uint32_t* Bits = nullptr;
  int64_t Stride = 0;  // pixels from one row to the next, at least Width
  int32_t Width = 0, Height = 0;
};

class RasterLineSink final : public LineSink {
 public:
  // Draws into image, whose memory must outlive the sink. An image whose stride is less
  // than its width, or whose sizes are negative, draws nothing.
  explicit RasterLineSink(const RasterImage& image);

  void SetPenColor(uint32_t bgr) override;
  void SetPenStyle(PenStyle style) override;
  // Ends may lie anywhere: only the pixels of the line that fall inside the image are set.
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void Polyline(const int32_t* xy, size_t count, PenStyle style) override;

  bool CanDraw() const { return bits_ != nullptr; }
  // An opaque pixel of the 32-bit formats from $BBGGRR.
  static uint32_t ToPixel(uint32_t bgr) {
    return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
  }

  // A pen pattern: bit i of Mask says whether pixel i of a period is set.
  struct Pattern {
    uint32_t Mask;
    int32_t Period;
  };
  static Pattern PatternOf(PenStyle style);

 private:
  uint32_t* bits_ = nullptr;
  int64_t stride_ = 0;  // pixels from one row to the next
  int32_t width_ = 0, height_ = 0;
  uint32_t pixel_ = ToPixel(0);
  PenStyle style_ = PenStyle::Solid;

  // Line, kept out of Polyline's loop.
  [[gnu::noinline]] void LongLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

  bool Inside(int32_t x, int32_t y) const {
    return static_cast<uint32_t>(x) < static_cast<uint32_t>(width_) &&
           static_cast<uint32_t>(y) < static_cast<uint32_t>(height_);
  }
};

}  // namespace kelvan::view
