// The mouse gestures of the path view without a window: turning, zoom direction, the
// wheel's second notch, the lighter picture's stride and picking the item under the
// pointer.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "nc/Geometry.h"
#include "view/core/HitList.h"
#include "view/core/ViewGestures.h"
#include "view/core/ViewTransform.h"

namespace kelvan::view {
namespace {

constexpr double kDeg = 180.0 / 3.14159265358979323846;

TEST(ViewGestures, DragTurnsHalfADegreePerPixelAndStopsShortOfARightAngle) {
  ViewTransform view;  // the start view: tilted -30, turned 30
  RotateByDrag(view, 0, 180);
  EXPECT_NEAR(view.Alpha() * kDeg, 60.0, 1e-9);
  EXPECT_NEAR(view.Beta() * kDeg, 30.0, 1e-9);
  RotateByDrag(view, 0, 80);
  EXPECT_EQ(view.Alpha(), kAngleLimit);
  EXPECT_NEAR(view.Alpha() * kDeg, 89.997, 0.0005);
  EXPECT_EQ(AngleText("α", view.Alpha()), "α90.0");
  RotateByDrag(view, -1000, -1000);
  EXPECT_EQ(view.Alpha(), -kAngleLimit);
  EXPECT_EQ(view.Beta(), -kAngleLimit);
  EXPECT_EQ(AngleText("β", -0.5236), "β-30.0");
}

TEST(ViewGestures, ShiftDragZoomDirection) {
  const struct { int dx, dy; bool in; } cases[] = {
      {5, 1, true},  {-5, 1, false},  // sideways: right in, left out
      {1, -5, true}, {1, 5, false},   // up in, down out
      {3, 3, false}, {0, 0, false},   // a tie or no move zooms out
      {-3, -3, true},
  };
  for (const auto& c : cases) EXPECT_EQ(DragZoomsIn(c.dx, c.dy), c.in) << c.dx << "," << c.dy;
}

TEST(ViewGestures, EverySecondWheelNotchActs) {
  WheelToggle toggle;
  EXPECT_FALSE(toggle.Notch());
  EXPECT_TRUE(toggle.Notch());
  EXPECT_FALSE(toggle.Notch());
  EXPECT_TRUE(toggle.Notch());
}

TEST(ViewGestures, DraftStrideKeepsTheLighterPictureSmall) {
  EXPECT_EQ(DraftStride(0), 1);
  EXPECT_EQ(DraftStride(kDraftItems), 1);
  EXPECT_EQ(DraftStride(kDraftItems + 1), 2);
  EXPECT_EQ(DraftStride(1000000), 7);
  EXPECT_LE(int64_t{1000000} / DraftStride(1000000), kDraftItems);
}

HitList Hits(std::initializer_list<HitSegment> segments) {
  HitList hits(1000);
  for (const HitSegment& s : segments) hits.Add(s.Index, {s.X1, s.Y1, s.X2, s.Y2});
  return hits;
}

TEST(HitIndex, PicksNearerThanTenPixelsAndTheFirstOfEquals) {
  const HitList hits = Hits({
      {7, 100, 100, 200, 100},  // horizontal at y 100
      {8, 100, 116, 200, 116},  // horizontal at y 116: as far from y 108 as item 7
      {9, 300, 300, 300, 300},  // a point: never near
      {4, 390, 50, 390, 150},   // vertical at x 390
  });
  HitIndex index;
  index.Build(hits, 640, 480);
  const struct { int x, y, item; } cases[] = {
      {150, 100, 7}, {150, 107, 7}, {150, 108, 7},  // equally near 7 and 8: the first recorded
      {150, 109, 8}, {150, 125, 8}, {150, 126, -1}, // exactly 10 away is not near
      {300, 300, -1}, {301, 301, -1},               // zero-length segment
      {381, 100, 4}, {399, 100, 4}, {380, 100, -1}, {390, 40, -1},  // across a cell edge; beyond the end
      {-50, -50, -1}, {2000, 2000, -1},             // outside the picture
  };
  for (const auto& c : cases) EXPECT_EQ(index.Find(hits, c.x, c.y), c.item) << c.x << "," << c.y;
}

TEST(HitIndex, HoverAtNinePointNineSelectsAtTenDoesNot) {
  // A slanted segment, so that the distance is not a whole pixel count.
  HitList hits(10);
  hits.Add(1, {0, 0, 1000, 0});
  HitIndex index;
  index.Build(hits, 1000, 100);
  EXPECT_EQ(index.Find(hits, 500, 9), 1);
  EXPECT_EQ(index.Find(hits, 500, 10), -1);
  EXPECT_LT(nc::PointSegmentDistance(500, 9.9, 0, 0, 1000, 0), HitIndex::kPickDistance);
}

// The cells must answer exactly what a walk over the whole list answers, for any mix of
// short, long and degenerate segments and any pointer.
TEST(HitIndex, AgreesWithAWalkOverEveryHit) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> coord(0, 639), shortStep(-20, 20);
  HitList hits(20000);
  for (int i = 0; i < 5000; ++i) {
    const int x = coord(rng), y = coord(rng) * 3 / 4;
    const bool longLine = i % 50 == 0;
    hits.Add(i / 2, {x, y, longLine ? coord(rng) : x + shortStep(rng), longLine ? coord(rng) * 3 / 4 : y + shortStep(rng)});
  }
  HitIndex index;
  index.Build(hits, 640, 480);
  for (int probe = 0; probe < 3000; ++probe) {
    const int x = coord(rng), y = coord(rng) * 3 / 4;
    double best = HitIndex::kPickDistance;
    int32_t expected = -1;
    for (const HitSegment& s : hits) {
      const double d = nc::PointSegmentDistance(x, y, s.X1, s.Y1, s.X2, s.Y2);
      if (d < best) {
        best = d;
        expected = s.Index;
      }
    }
    ASSERT_EQ(index.Find(hits, x, y), expected) << x << "," << y;
  }
}

}  // namespace
}  // namespace kelvan::view
