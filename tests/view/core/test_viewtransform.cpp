#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "nc/PathList.h"
#include "view/core/ViewTransform.h"

using namespace kelvan::view;

namespace {

ViewTransform ViewOf(int tab, int width = 801, int height = 601) {
  ViewTransform v;
  v.SelectTab(tab);
  v.ResizeView(width, height);
  return v;
}

TEST(ViewTransform, ProjectsThePointsOfEachTab) {
  const double c = std::cos(DegToRad(30)), s = 0.5;
  struct Case {
    int tab;
    ModelPoint p;
    double u, v;
  } cases[] = {
      {1, {3, 4, 5}, 3, 4},    // X right, Y up
      {2, {3, 4, 5}, 3, 5},    // X right, Z up
      {3, {3, 4, 5}, -5, 4},   // Z to the left, Y up
      {0, {1, 0, 0}, c, -s * s},      // X turns toward the viewer, then tilts down
      {0, {0, 1, 0}, 0, c},
      {0, {0, 0, 1}, s, c * s},
  };
  for (const Case& k : cases) {
    const ViewPoint p = ViewOf(k.tab).ProjectPoint(k.p);
    EXPECT_NEAR(p.U, k.u, 1e-12) << "tab " << k.tab;
    EXPECT_NEAR(p.V, k.v, 1e-12) << "tab " << k.tab;
  }
}

TEST(ViewTransform, PixelsTruncateTowardZero) {
  ViewTransform v = ViewOf(1, 201, 101);  // centre (100, 50)
  v.PanX = 3;
  v.PanY = -2;
  struct Case {
    double u, v, scale;
    int64_t x, y;
  } cases[] = {
      {2.7, -2.7, 1, 105, 50},    // 2 and 2 (v down is +Y)
      {-2.7, 2.7, 1, 101, 46},    // -2 and -2, not -3
      {-0.9, 0.9, 1, 103, 48},    // both truncate to 0
      {-1.25, 1.25, 2, 101, 46},  // scaled first: -2.5 -> -2
  };
  for (const Case& k : cases) {
    v.ViewScale = k.scale;
    const PixelPoint p = v.ToPixel({k.u, k.v});
    EXPECT_EQ(p.X, k.x) << k.u;
    EXPECT_EQ(p.Y, k.y) << k.v;
  }
}

TEST(ViewTransform, PixelsFarBeyondThirtyTwoBitsStayFinite) {
  ViewTransform v = ViewOf(1);
  v.ViewScale = 2000;
  const PixelPoint far = v.ToPixel({1e38, -1e38});
  EXPECT_GT(far.X, int64_t{1} << 40);
  EXPECT_GT(far.Y, int64_t{1} << 40);
  EXPECT_EQ(v.ToPixel({INFINITY, 0}).X, far.X);
  const PixelPoint nan = v.ToPixel({NAN, NAN});
  EXPECT_EQ(nan.X, v.CenterX);
}

TEST(ViewTransform, OutcodesMarkTheSidesOutside) {
  ViewTransform v = ViewOf(1, 100, 50);  // clip 1..99 x 1..49
  struct Case {
    int64_t x, y;
    uint8_t code;
  } cases[] = {
      {50, 25, 0}, {1, 1, 0}, {99, 49, 0},
      {0, 25, ClipLeftBit}, {100, 25, ClipRightBit},
      {50, 0, ClipTopBit}, {50, 50, ClipBottomBit},
      {0, 0, ClipLeftBit | ClipTopBit}, {200, 60, ClipRightBit | ClipBottomBit},
  };
  for (const Case& k : cases) EXPECT_EQ(v.Outcode({k.x, k.y}), k.code) << k.x << "," << k.y;

  // Left and right exclude each other, the right side tested first.
  v.ClipLeft = 10;
  v.ClipRight = 5;
  EXPECT_EQ(v.Outcode({7, 25}), ClipRightBit);
}

TEST(ViewTransform, ClipsLinesToTheRectangle) {
  ViewTransform v = ViewOf(1, 100, 50);  // clip 1..99 x 1..49
  struct Case {
    PixelPoint a, b;
    bool visible;
    PixelSegment s;
  } cases[] = {
      {{10, 10}, {20, 30}, true, {10, 10, 20, 30}},
      {{-1000000, 25}, {1000000, 25}, true, {1, 25, 99, 25}},  // far left to far right
      {{50, -500}, {50, 500}, true, {50, 1, 50, 49}},
      {{-100, -100}, {200, 200}, true, {1, 1, 49, 49}},
      {{-10, 5}, {-20, 40}, false, {}},  // both left
      {{-10, 5}, {5, -10}, false, {}},   // passes outside the corner: rejected after one move
  };
  for (const Case& k : cases) {
    const auto s = v.ClipLine(k.a, k.b);
    ASSERT_EQ(s.has_value(), k.visible) << k.a.X << "," << k.a.Y;
    if (!s) continue;
    EXPECT_EQ(s->X1, k.s.X1);
    EXPECT_EQ(s->Y1, k.s.Y1);
    EXPECT_EQ(s->X2, k.s.X2);
    EXPECT_EQ(s->Y2, k.s.Y2);
  }
}

TEST(ViewTransform, ClippingDividesTowardZero) {
  ViewTransform v;
  v.ClipLeft = v.ClipTop = 0;
  v.ClipRight = v.ClipBottom = 5;
  // (10,3) moves onto x = 5: Y = 3 + (5-10)(0-3) div (0-10) = 3 + 15 div -10 = 3 - 1.
  const auto s = v.ClipLine({0, 0}, {10, 3});
  ASSERT_TRUE(s);
  EXPECT_EQ(s->X2, 5);
  EXPECT_EQ(s->Y2, 2);
}

TEST(ViewTransform, ClipsHugeLinesWithoutOverflow) {
  ViewTransform v = ViewOf(1, 801, 601);  // centre (400, 300)
  // Products of these differences need far more than 64 bits.
  const int64_t d = int64_t{4} << 50;
  const PixelPoint a{400 - 4 * d, 300 - 3 * d}, b{400 + 4 * d, 300 + 3 * d};
  const auto s = v.ClipLine(a, b);
  ASSERT_TRUE(s);
  for (auto [x, y] : {std::pair{s->X1, s->Y1}, std::pair{s->X2, s->Y2}}) {
    EXPECT_GE(x, v.ClipLeft);
    EXPECT_LE(x, v.ClipRight);
    EXPECT_GE(y, v.ClipTop);
    EXPECT_LE(y, v.ClipBottom);
    EXPECT_NEAR(y, 300 + (x - 400) * 0.75, 1.0);  // still on the line through the centre
  }

  // A model line through the origin at a scale that throws its ends far past 2^52.
  v.ViewScale = 2000;
  const auto m = v.ClipLine(v.ToPixel({-1e30, -1e30}), v.ToPixel({1e30, 1e30}));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->X1 + m->Y1, 700);  // the screen diagonal through (400, 300)
  EXPECT_EQ(m->X2 + m->Y2, 700);
}

TEST(ViewTransform, TabsSetOnlyTheAngles) {
  ViewTransform v = ViewOf(0);
  v.SetAngles(1.234, 0.5);  // as a mouse rotation leaves them
  v.ViewScale = 3;
  v.PanX = 5;
  v.PanY = -6;
  v.SelectTab(2);
  EXPECT_EQ(v.Alpha(), DegToRad(-90));
  EXPECT_EQ(v.Beta(), 0.0);
  EXPECT_EQ(v.ViewScale, 3);
  EXPECT_EQ(v.PanX, 5);
  EXPECT_EQ(v.PanY, -6);
  for (int other : {-1, 4, 99}) {
    v.SelectTab(other);
    EXPECT_EQ(v.Alpha(), DegToRad(-90));
  }
  v.Home();  // the pan only
  EXPECT_EQ(v.PanX, 0);
  EXPECT_EQ(v.PanY, 0);
  EXPECT_EQ(v.ViewScale, 3);
  EXPECT_EQ(v.Alpha(), DegToRad(-90));
}

TEST(ViewTransform, ZoomStepsStopBeyondTheirLimits) {
  struct Case {
    double scale;
    bool in;
    ZoomGesture gesture;
    bool accepted;
    double after;
  } cases[] = {
      {64, true, ZoomGesture::Action, true, 128},
      {128, true, ZoomGesture::Action, false, 128},   // tested before the step: > 100
      {100, true, ZoomGesture::Action, true, 200},    // the limit itself still steps
      {128, true, ZoomGesture::Wheel, true, 256},
      {1024, true, ZoomGesture::Wheel, false, 1024},
      {0.02, false, ZoomGesture::Action, true, 0.01},
      {0.005, false, ZoomGesture::Action, false, 0.005},
      {0.005, false, ZoomGesture::Wheel, false, 0.005},
      {8, true, ZoomGesture::Drag, true, 10},          // / (0.4 * 2)
      {8, false, ZoomGesture::Drag, true, 6.4},        // * (0.4 * 2)
      {1001, true, ZoomGesture::Drag, false, 1001},
  };
  for (const Case& k : cases) {
    ViewTransform v;
    v.ViewScale = k.scale;
    const bool ok = k.in ? v.ZoomIn(k.gesture) : v.ZoomOut(k.gesture);
    EXPECT_EQ(ok, k.accepted) << k.scale;
    EXPECT_DOUBLE_EQ(v.ViewScale, k.after) << k.scale;
  }
}

TEST(ViewTransform, ResizeRules) {
  ViewTransform v;
  v.ResizeTab(800, 600);  // before any view resize the left and top edges are 0
  EXPECT_EQ(v.ClipRight, 799);
  EXPECT_EQ(v.CenterX, 399);
  EXPECT_EQ(v.CenterY, 299);
  v.ResizeView(801, 601);
  EXPECT_EQ(v.ClipLeft, 1);
  EXPECT_EQ(v.ClipTop, 1);
  EXPECT_EQ(v.ClipRight, 800);
  EXPECT_EQ(v.ClipBottom, 600);
  EXPECT_EQ(v.CenterX, 400);
  EXPECT_EQ(v.CenterY, 300);
  v.ResizeTab(1001, 501);
  EXPECT_EQ(v.ClipLeft, 1);
  EXPECT_EQ(v.CenterX, 500);
  EXPECT_EQ(v.CenterY, 250);
}

TEST(ViewTransform, FitShowsTheWholeRangeInTheView) {
  kelvan::nc::MachineState s;
  s.RangeMinX = -50;
  s.RangeMaxX = 150;
  s.RangeMinY = -40;
  s.RangeMaxY = 40;
  s.RangeMinZ = -15;
  s.RangeMaxZ = 50;
  for (int tab = 0; tab < ViewTabCount; ++tab) {
    ViewTransform v = ViewOf(tab, 800, 600);
    v.Fit(s);
    int64_t minX = INT64_MAX, maxX = INT64_MIN, minY = INT64_MAX, maxY = INT64_MIN;
    for (double x : {s.RangeMinX, s.RangeMaxX})
      for (double y : {s.RangeMinY, s.RangeMaxY})
        for (double z : {s.RangeMinZ, s.RangeMaxZ}) {
          const PixelPoint p = v.ToPixel(v.ProjectPoint(x, y, z));
          minX = std::min(minX, p.X), maxX = std::max(maxX, p.X);
          minY = std::min(minY, p.Y), maxY = std::max(maxY, p.Y);
        }
    EXPECT_GT(minX, v.ClipLeft + 10) << tab;
    EXPECT_LT(maxX, v.ClipRight - 10) << tab;
    EXPECT_GT(minY, v.ClipTop + 10) << tab;
    EXPECT_LT(maxY, v.ClipBottom - 10) << tab;
    // One direction fills the view but for the margin.
    EXPECT_TRUE(maxX - minX > 0.85 * 798 || maxY - minY > 0.85 * 598) << tab;
    EXPECT_NEAR((minX + maxX) / 2.0, 400, 2) << tab;
    EXPECT_NEAR((minY + maxY) / 2.0, 300, 2) << tab;
  }
}

TEST(ViewTransform, FitOfAnEmptyRangeKeepsTheScale) {
  kelvan::nc::MachineState s;  // all zero
  ViewTransform v = ViewOf(0, 800, 600);
  v.ViewScale = 3;
  v.PanX = 77;
  v.Fit(s);
  EXPECT_EQ(v.ViewScale, 3);
  EXPECT_EQ(v.PanX, 0);
  EXPECT_EQ(v.PanY, 0);
}

TEST(ViewTransform, SettingsOutsideTheirRangeFallBack) {
  struct Case {
    double setting, zoom, grid;
  } cases[] = {
      {0.5, 2.0, 1.0}, {1.0, 1.0, 1.0}, {1.5, 1.5, 1.5}, {2.0, 2.0, 2.0}, {2.5, 2.0, 2.5},
      {50, 2.0, 50}, {NAN, 2.0, 1.0},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(ViewTransform::ZoomFactorFromSetting(k.setting), k.zoom) << k.setting;
    EXPECT_EQ(ViewTransform::GridPitchFromSetting(k.setting), k.grid) << k.setting;
  }
}

}  // namespace
