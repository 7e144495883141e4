#include "view/core/RasterLineSink.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace kelvan::view {

namespace {

// A line as a walk along its major axis from its lower end: step j (0 to Du) sets the
// pixel at major coordinate U0 + j and minor coordinate V0 + VSign * floor((A*j + B) / D).
// With A = 2|dv| and D = 2du the minor coordinate moves by at most one a step, which
// keeps the walk to one addition and one comparison.
struct Walk {
  int64_t U0 = 0, V0 = 0, Du = 0;
  int64_t A = 0, B = 0, D = 1;
  int64_t VSign = 1;
  bool XMajor = true;
  bool Backward = false;  // drawn from the higher end toward U0
  int64_t First = 0, Last = 0;  // the steps drawn, [First, Last)
};

// The ends are 32-bit, so every difference and every A*j + B below fits 64 bits except
// the product at a far-away first step, which is formed in 128 bits.
Walk MakeWalk(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1;
  Walk w;
  w.XMajor = std::llabs(dx) >= std::llabs(dy);
  int64_t u1 = w.XMajor ? x1 : y1, v1 = w.XMajor ? y1 : x1;
  int64_t u2 = w.XMajor ? x2 : y2, v2 = w.XMajor ? y2 : x2;
  w.Backward = u1 > u2;
  if (w.Backward) {
    std::swap(u1, u2);
    std::swap(v1, v2);
  }
  const int64_t dv = v2 - v1;
  w.U0 = u1;
  w.V0 = v1;
  w.Du = u2 - u1;
  w.A = 2 * std::llabs(dv);
  w.D = 2 * w.Du;
  // Rising: floor(dv * (j + 1/2) / du), one less on an exact border. Falling:
  // -ceil(|dv| * j / du), which is the line's value at the step rounded down.
  w.B = dv > 0 ? dv - 1 : w.D - 1;
  w.VSign = dv > 0 ? 1 : -1;
  // From the first end, without the end pixel.
  w.First = w.Backward ? 1 : 0;
  w.Last = w.Backward ? w.Du + 1 : w.Du;
  return w;
}

struct Target {
  uint32_t* Bits;
  int64_t Stride;
  int32_t Width, Height;
};

// Keeps the steps whose major coordinate lies inside the image, so that no line costs
// more steps than the image is wide or high however far its ends lie.
bool ClampToImage(Walk& w, const Target& t) {
  const int64_t extent = w.XMajor ? t.Width : t.Height;
  w.First = std::max(w.First, -w.U0);
  w.Last = std::min(w.Last, extent - w.U0);
  return w.First < w.Last;
}

// floor((A*First + B) / D) and its remainder: the minor steps taken before the first
// pixel drawn.
struct Start {
  int64_t Steps, Rem;
};
Start StartOf(const Walk& w) {
  if (w.First <= 1) {
    // A line that starts inside, the usual case: B < D and A <= D, so no division.
    const int64_t n = w.A * w.First + w.B;
    return n >= w.D ? Start{1, n - w.D} : Start{0, n};
  }
  const __int128 n = static_cast<__int128>(w.A) * w.First + w.B;
  return {static_cast<int64_t>(n / w.D), static_cast<int64_t>(n % w.D)};
}

// kChecked: the line may leave the image across its minor axis, so each pixel's minor
// coordinate is tested. A line whose two ends lie inside the image stays inside it (its
// pixels lie between its ends), and goes without the test.
template <bool kPatterned, bool kChecked>
void Plot(const Walk& w, const Target& t, uint32_t pixel, RasterLineSink::Pattern pattern) {
  const int64_t majorStep = w.XMajor ? 1 : t.Stride;
  const int64_t minorStep = (w.XMajor ? t.Stride : 1) * w.VSign;
  const uint64_t minorExtent = static_cast<uint64_t>(w.XMajor ? t.Height : t.Width);
  const Start start = StartOf(w);
  int64_t rem = start.Rem;
  int64_t v = w.V0 + w.VSign * start.Steps;
  const int64_t u = w.U0 + w.First;
  // An index rather than a pointer: the row of a pixel outside the image is never formed.
  int64_t at = w.XMajor ? v * t.Stride + u : u * t.Stride + v;
  // The pattern counts pixels in drawing order, which runs against j on a backward line.
  int32_t phase = 0, phaseStep = 1;
  if constexpr (kPatterned) {
    phase = static_cast<int32_t>((w.Backward ? w.Du - w.First : w.First) % pattern.Period);
    phaseStep = w.Backward ? pattern.Period - 1 : 1;
  }
  if constexpr (kPatterned && !kChecked) {
    if (pattern.Mask == 1u && pattern.Period == 3) {
      // Dotted, the rapid moves: only every third pixel is set, so the walk goes three
      // steps at a time from the first one that is, rather than testing each.
      const int64_t a = w.A, d = w.D;
      auto step = [&] {
        rem += a;
        const int64_t minor = -static_cast<int64_t>(rem >= d);
        rem -= d & minor;
        at += majorStep + (minorStep & minor);
      };
      int64_t j = w.First;
      for (; j < w.Last && phase != 0; ++j) {
        step();
        phase += phaseStep;
        if (phase >= pattern.Period) phase -= pattern.Period;
      }
      // Three steps at once: A <= D, so they take 0 to 3 minor steps.
      const int64_t major3 = 3 * majorStep;
      for (; j < w.Last; j += 3) {
        t.Bits[at] = pixel;
        rem += 3 * a;
        const int64_t minors = static_cast<int64_t>(rem >= d) + static_cast<int64_t>(rem >= 2 * d) +
                               static_cast<int64_t>(rem >= 3 * d);
        rem -= minors * d;
        at += major3 + minors * minorStep;
      }
      return;
    }
  }
  if constexpr (!kPatterned && !kChecked) {
    // The common case, a solid line inside the image: the minor step is taken by a mask
    // rather than a branch, which a line of any slope but the steepest and the flattest
    // would mispredict every few pixels.
    uint32_t* bits = t.Bits;
    const int64_t a = w.A, d = w.D;
    for (int64_t j = w.First; j < w.Last; ++j) {
      bits[at] = pixel;
      rem += a;
      const int64_t step = -static_cast<int64_t>(rem >= d);  // all ones or zero
      rem -= d & step;
      at += majorStep + (minorStep & step);
    }
    return;
  }
  for (int64_t j = w.First; j < w.Last; ++j) {
    const bool on = !kPatterned || ((pattern.Mask >> phase) & 1u) != 0;
    if (on && (!kChecked || static_cast<uint64_t>(v) < minorExtent)) t.Bits[at] = pixel;
    if constexpr (kPatterned) {
      phase += phaseStep;
      if (phase >= pattern.Period) phase -= pattern.Period;
    }
    at += majorStep;
    rem += w.A;
    if (rem >= w.D) {
      rem -= w.D;
      v += w.VSign;
      at += minorStep;
    }
  }
}

}  // namespace

RasterLineSink::RasterLineSink(const RasterImage& image) {
  if (image.Bits == nullptr || image.Width <= 0 || image.Height <= 0 || image.Stride < image.Width) return;
  bits_ = image.Bits;
  stride_ = image.Stride;
  width_ = image.Width;
  height_ = image.Height;
}

RasterLineSink::Pattern RasterLineSink::PatternOf(PenStyle style) {
  switch (style) {
    case PenStyle::Dotted: return {0b001u, 3};        // 1 on, 2 off
    case PenStyle::DashDot: return {0b001001111u, 9};  // 4 on, 2 off, 1 on, 2 off
    case PenStyle::Solid: break;
  }
  return {1u, 1};
}

void RasterLineSink::SetPenColor(uint32_t bgr) { pixel_ = ToPixel(bgr); }

void RasterLineSink::SetPenStyle(PenStyle style) { style_ = style; }

void RasterLineSink::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (bits_ == nullptr || (x1 == x2 && y1 == y2)) return;
  Walk w = MakeWalk(x1, y1, x2, y2);
  const Target target{bits_, stride_, width_, height_};
  if (Inside(x1, y1) && Inside(x2, y2)) {
    if (style_ == PenStyle::Solid)
      Plot<false, false>(w, target, pixel_, {});
    else
      Plot<true, false>(w, target, pixel_, PatternOf(style_));
    return;
  }
  if (!ClampToImage(w, target)) return;
  if (style_ == PenStyle::Solid)
    Plot<false, true>(w, target, pixel_, {});
  else
    Plot<true, true>(w, target, pixel_, PatternOf(style_));
}

void RasterLineSink::Polyline(const int32_t* xy, size_t count, PenStyle style) {
  if (count < 2 || bits_ == nullptr) return;
  SetPenStyle(style);
  const bool solid = style_ == PenStyle::Solid;
  for (size_t i = 1; i < count; ++i) {
    const int32_t x1 = xy[2 * i - 2], y1 = xy[2 * i - 1], x2 = xy[2 * i], y2 = xy[2 * i + 1];
    // Most chords of a large picture are a pixel long, and a line one step long sets its
    // first end's pixel only (in every direction, by the rules above).
    const uint32_t dx = static_cast<uint32_t>(x2 - x1 + 1), dy = static_cast<uint32_t>(y2 - y1 + 1);
    if (solid && dx <= 2 && dy <= 2 && Inside(x1, y1)) {
      if (dx != 1 || dy != 1) bits_[static_cast<int64_t>(y1) * stride_ + x1] = pixel_;
    } else {
      LongLine(x1, y1, x2, y2);
    }
  }
}

void RasterLineSink::LongLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { Line(x1, y1, x2, y2); }

}  // namespace kelvan::view
