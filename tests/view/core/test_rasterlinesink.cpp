// The raster sink over plain memory: its patterns, its cutting at the image's edges and
// its writes, with wild ends, against guard words around the image. The comparison with
// the toolkit's painter lives with the window tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "view/core/RasterLineSink.h"

using namespace kelvan::view;

namespace {

using Pixels = std::set<std::pair<int, int>>;
constexpr uint32_t kBlack = 0xFF000000u;

struct Line {
  int X1, Y1, X2, Y2;
};

// An image over a vector of its own; the stride may exceed the width.
struct Canvas {
  int W, H, Stride;
  std::vector<uint32_t> Memory;
  Canvas(int w, int h, int stride = 0) : W(w), H(h), Stride(stride ? stride : w), Memory(size_t(Stride) * h, kBlack) {}
  RasterImage Image() { return {Memory.data(), Stride, W, H}; }
  Pixels Lit() const {
    Pixels lit;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (Memory[size_t(y) * Stride + x] != kBlack) lit.insert({x, y});
    return lit;
  }
};

Pixels Draw(int w, int h, Line l, PenStyle style) {
  Canvas c(w, h);
  RasterLineSink sink(c.Image());
  sink.SetPenColor(0xFFFFFF);
  sink.SetPenStyle(style);
  sink.Line(l.X1, l.Y1, l.X2, l.Y2);
  return c.Lit();
}

bool XMajor(Line l) { return std::abs(l.X2 - l.X1) >= std::abs(l.Y2 - l.Y1); }

std::vector<Line> OctantLines(int cx, int cy) {
  const std::pair<int, int> steps[] = {{10, 0}, {10, 3}, {10, 4}, {10, 5}, {10, 7}, {10, 10}, {7, 10}, {4, 10},
                                       {0, 10}, {1, 0},  {1, 1},  {2, 1},  {3, 1},  {45, 27}, {27, 45}, {44, 43}};
  std::vector<Line> lines;
  for (const auto& [dx, dy] : steps)
    for (const auto& [sx, sy] : {std::pair{1, 1}, {1, -1}, {-1, 1}, {-1, -1}})
      lines.push_back({cx, cy, cx + sx * dx, cy + sy * dy});
  return lines;
}

}  // namespace

TEST(RasterLineSink, PatternsRunFromTheFirstEnd) {
  for (const Line line : OctantLines(60, 60)) {
    const Pixels solid = Draw(200, 200, line, PenStyle::Solid);
    // The solid pixels in drawing order: by distance from the first end along the major axis.
    std::vector<std::pair<int, std::pair<int, int>>> order;
    for (const auto& p : solid)
      order.push_back({std::abs(XMajor(line) ? p.first - line.X1 : p.second - line.Y1), p});
    std::sort(order.begin(), order.end());
    for (const auto& [style, period] : {std::pair{PenStyle::Dotted, std::string("#..")},
                                        std::pair{PenStyle::DashDot, std::string("####..#..")}}) {
      const Pixels lit = Draw(200, 200, line, style);
      std::string got, want;
      for (size_t k = 0; k < order.size(); ++k) {
        got += lit.count(order[k].second) ? '#' : '.';
        want += period[k % period.size()];
      }
      EXPECT_EQ(got, want) << line.X1 << "," << line.Y1 << " -> " << line.X2 << "," << line.Y2;
      EXPECT_TRUE(std::includes(solid.begin(), solid.end(), lit.begin(), lit.end()));
    }
  }
}

TEST(RasterLineSink, PartsOutsideTheImageAreCutWithoutMovingPixels) {
  // A 60 x 40 image against a crop of a canvas that holds the whole line.
  const Line lines[] = {{-70, -10, 120, 50}, {30, 140, 10, -90}, {-33, 25, 17, 20},
                        {20, 20, 95, -60},   {-5, 45, 65, -25},  {-40, -5, 100, -3}};
  const int shift = 100;
  for (const Line l : lines)
    for (const PenStyle style : {PenStyle::Solid, PenStyle::DashDot}) {
      Pixels crop;
      for (const auto& [x, y] : Draw(300, 300, {l.X1 + shift, l.Y1 + shift, l.X2 + shift, l.Y2 + shift}, style))
        if (x >= shift && x < shift + 60 && y >= shift && y < shift + 40) crop.insert({x - shift, y - shift});
      EXPECT_EQ(Draw(60, 40, l, style), crop) << l.X1 << "," << l.Y1 << " -> " << l.X2 << "," << l.Y2;
    }
}

TEST(RasterLineSink, ExtremeEndsSetOnlyTheirPixelsInside) {
  Pixels row, diagonal;
  for (int x = 0; x < 50; ++x) row.insert({x, 7});
  for (int k = 0; k < 30; ++k) diagonal.insert({k, k});
  EXPECT_EQ(Draw(50, 30, {INT_MIN, 7, INT_MAX, 7}, PenStyle::Solid), row);
  EXPECT_EQ(Draw(50, 30, {INT_MAX, 7, INT_MIN, 7}, PenStyle::Solid), row);
  EXPECT_EQ(Draw(50, 30, {-1000000000, -1000000000, 1000000000, 1000000000}, PenStyle::Solid), diagonal);
  EXPECT_EQ(Draw(50, 30, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, PenStyle::Solid).size(), size_t{30});
  EXPECT_TRUE(Draw(50, 30, {5, 5, 5, 5}, PenStyle::Solid).empty());  // zero length sets nothing
}

TEST(RasterLineSink, NeverWritesOutsideTheImageRows) {
  // Guard words around the image, and a stride wider than the image.
  constexpr int kW = 13, kH = 9, kStride = 16, kGuard = 64;
  constexpr uint32_t kSentinel = 0x12345678u;
  std::vector<uint32_t> memory(kGuard * 2 + kStride * kH, kSentinel);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) memory[kGuard + y * kStride + x] = kBlack;
  RasterLineSink sink(RasterImage{memory.data() + kGuard, kStride, kW, kH});
  sink.SetPenColor(0x123456);  // $BBGGRR
  const int wild[] = {INT_MIN, -100, -1, 0, 6, 12, 13, 100, INT_MAX};
  for (const int a : wild)
    for (const int b : wild)
      for (const PenStyle style : {PenStyle::Solid, PenStyle::Dotted, PenStyle::DashDot}) {
        sink.SetPenStyle(style);
        sink.Line(a, b, b, a);
        sink.Line(a, 4, b, 5);
        sink.Line(6, a, 2, b);
      }
  int lit = 0;
  for (int i = 0; i < int(memory.size()); ++i) {
    const int offset = i - kGuard;
    if (offset >= 0 && offset < kStride * kH && offset % kStride < kW) {
      EXPECT_TRUE(memory[i] == kBlack || memory[i] == 0xFF563412u) << i;
      lit += memory[i] != kBlack;
    } else {
      ASSERT_EQ(memory[i], kSentinel) << "written outside the image at " << offset;
    }
  }
  EXPECT_GT(lit, 50);
}

TEST(RasterLineSink, ImagesWithoutMemoryOrAreaDrawNothing) {
  std::vector<uint32_t> memory(64, kBlack);
  const RasterImage images[] = {{nullptr, 8, 8, 8}, {memory.data(), 8, 0, 8}, {memory.data(), 8, 8, -1},
                                {memory.data(), 4, 8, 8}};  // a stride below the width
  for (const RasterImage& image : images) {
    RasterLineSink sink(image);
    EXPECT_FALSE(sink.CanDraw());
    sink.SetPenColor(0xFFFFFF);
    sink.Line(0, 0, 7, 7);
  }
  EXPECT_TRUE(std::all_of(memory.begin(), memory.end(), [](uint32_t p) { return p == kBlack; }));
}

// A chain of points gives the pixels of its lines drawn one by one, short chords (the
// usual arc of a large picture) included.
TEST(RasterLineSink, PolylineDrawsWhatItsLinesDraw) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> step(-2, 2), wide(-12, 12), at(20, 60);
  for (int round = 0; round < 300; ++round) {
    std::vector<int32_t> xy{at(rng), at(rng)};
    const bool shortOnes = round % 2 == 0;
    for (int i = 0; i < 20; ++i) {
      xy.push_back(std::clamp(xy[xy.size() - 2] + (shortOnes ? step(rng) : wide(rng)), 0, 79));
      xy.push_back(std::clamp(xy[xy.size() - 2] + (shortOnes ? step(rng) : wide(rng)), 0, 79));
    }
    for (const PenStyle style : {PenStyle::Solid, PenStyle::Dotted}) {
      Canvas chain(80, 80), lines(80, 80);
      RasterLineSink a(chain.Image()), b(lines.Image());
      a.SetPenColor(0xFFFFFF);
      b.SetPenColor(0xFFFFFF);
      a.Polyline(xy.data(), xy.size() / 2, style);
      b.SetPenStyle(style);
      for (size_t i = 2; i + 1 < xy.size(); i += 2) b.Line(xy[i - 2], xy[i - 1], xy[i], xy[i + 1]);
      ASSERT_EQ(chain.Lit(), lines.Lit()) << "round " << round;
    }
  }
}
