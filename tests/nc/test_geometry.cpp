#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "nc/Geometry.h"

namespace kelvan::nc {
namespace {

constexpr double Eps = 1e-9;
constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

double Deg(double degrees) { return degrees * Pi / 180.0; }

// Two points, or a box, as four numbers.
void ExpectNear4(const double (&got)[4], const double (&want)[4], const char* what) {
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], Eps) << what << ", output " << i;
}

TEST(GeometryAngle, PosToAnglSnapsAndQuadrants) {
  struct Case {
    double cx, cy, px, py, expected;
  } const cases[] = {
      {0, 0, 1, 1, Pi / 4},
      {0, 0, -1, 0, Pi},
      {0, 0, 0, -1, 3 * Pi / 2},
      {0, 0, 1, -0.00001, 0},  // just below +X snaps back to 0, not to 2 pi
      {0, 0, 0, 0, Pi / 2},    // no direction: straight up
      {2, 3, 3, 4, Pi / 4},    // measured from the centre, not the origin
      {0, 0, -1, -1, 5 * Pi / 4},
      {0, 0, 0.00005, 1, Pi / 2},  // the snap bands include their limit
      {0, 0, -1, 0.00005, Pi},
      {0, 0, -0.00005, -1, 3 * Pi / 2},
      {0, 0, 1, -0.00005, 0},
      {0, 0, 0.00005, 0.00005, Pi / 2},  // the band is absolute: a tiny 45 degree vector
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(PosToAngl(c.cx, c.cy, c.px, c.py), c.expected, Eps)
        << "C(" << c.cx << "," << c.cy << ") P(" << c.px << "," << c.py << ")";
  }
  // Just outside the band the true direction shows again.
  EXPECT_NEAR(PosToAngl(0, 0, 0.00006, 1), std::atan2(1.0, 0.00006), Eps);
  EXPECT_NEAR(PosToAngl(0, 0, 1, -0.00006), TwoPi + std::atan2(-0.00006, 1.0), Eps);
}

TEST(GeometryAngle, PseudoAngleAxesAndRoundTrip) {
  struct Case {
    double dx, dy, expected;
  } const axes[] = {{1, 0, 0}, {0, 1, 1}, {-1, 0, 2}, {0, -1, 3}, {1, -1e-9, 4}};
  for (const Case& c : axes) EXPECT_EQ(PseudoAngle(c.dx, c.dy), c.expected) << c.dx << "," << c.dy;

  // Off the snap bands the pseudo-angle must grow with the angle and convert back to it.
  double previous = -1;
  for (int degrees = 1; degrees < 360; ++degrees) {
    if (degrees % 90 == 0) continue;
    const double a = Deg(degrees);
    const double p = PseudoAngle(100 * std::cos(a), 100 * std::sin(a));
    EXPECT_GT(p, previous) << degrees;
    EXPECT_NEAR(PseudoAngleToRadians(p), a, 1e-12) << degrees;
    previous = p;
  }
  // A steep direction whose slope squared overflows still lands next to the axis.
  EXPECT_NEAR(PseudoAngle(1e-4, 1e300), 1.0, Eps);

  for (double p : {4.0, -0.5, 1e300, Inf, Nan}) EXPECT_EQ(PseudoAngleToRadians(p), 0.0) << p;
}

TEST(GeometryAngle, AnglCheckNormalisesSweeps) {
  const double a = 5.0;
  struct Case {
    double start, end, expStart, expEnd;
  } const cases[] = {
      {3 * Pi / 2, Pi / 2, -Pi / 2, Pi / 2},  // 180 degrees through 0
      {Deg(350), Deg(10), Deg(-10), Deg(10)},
      {Deg(-400), Deg(-500), Deg(-400), Deg(-140)},
      {-0.5, -1, -0.5, -1 + TwoPi},
      {0, 7, TwoPi, 7},
      // Full circles as the analyser builds them must stay (almost) a full turn.
      {a, a + TwoPi - 0.01, a, a + TwoPi - 0.01},
      {a - TwoPi + 0.01, a, a - TwoPi + 0.01, a},
  };
  for (const Case& c : cases) {
    double start = c.start, end = c.end;
    AnglCheck(start, end);
    EXPECT_NEAR(start, c.expStart, Eps) << c.start << " " << c.end;
    EXPECT_NEAR(end, c.expEnd, Eps) << c.start << " " << c.end;
  }
}

TEST(GeometryDistance, UnitVectorAndPointSegment) {
  double ux = 9, uy = 9;
  EXPECT_DOUBLE_EQ(UnitVector(1, 1, 4, 5, ux, uy), 5.0);
  EXPECT_TRUE(ux == 0.6 && uy == 0.8) << ux << "," << uy;
  EXPECT_DOUBLE_EQ(UnitVector(2, 2, 2, 2, ux, uy), 0.00001);
  EXPECT_TRUE(ux == 0 && uy == 0);

  struct Case {
    double px, py, ax, ay, bx, by, expected;
  } const cases[] = {
      {5, 5, 1, 1, 1, 1, 1000},      // A = B
      {0, 0, 0, 0, 0.007, 0, 1000},  // |d|^2 = 0.000049: too short to pick
      {-3, 4, 0, 0, 10, 0, 5},       // before A
      {13, -4, 0, 0, 10, 0, 5},      // beyond B
      {4, 3, 0, 0, 10, 0, 3},        // beside the segment
      {4, 0, 0, 0, 10, 0, 0},        // on it
  };
  for (const Case& c : cases)
    EXPECT_NEAR(PointSegmentDistance(c.px, c.py, c.ax, c.ay, c.bx, c.by), c.expected, Eps)
        << c.px << "," << c.py;
}

TEST(GeometryLine, LineEquation) {
  double a = 9, b = 9, c = 9;
  EXPECT_FALSE(LineEquation(3, 4, 3, 4, a, b, c));
  EXPECT_TRUE(a == 0 && b == 0 && c == 0);
  EXPECT_FALSE(LineEquation(Nan, 0, 1, 1, a, b, c));

  ASSERT_TRUE(LineEquation(1, 2, 4, 6, a, b, c));
  EXPECT_DOUBLE_EQ(a, -0.8);  // the normal points to the left of the direction
  EXPECT_DOUBLE_EQ(b, 0.6);
  EXPECT_NEAR(a * 1 + b * 2 + c, 0, Eps);
  EXPECT_NEAR(a * 4 + b * 6 + c, 0, Eps);
}

TEST(GeometryLine, LineLineCross) {
  struct Case {
    double x1, y1, x2, y2, x3, y3, x4, y4;
    int count;
    double px, py;
  } const cases[] = {
      {0, 0, 4, 2, 0, 3, 3, 0, 1, 2, 1},
      {-5, 1, 5, 1, 2, -7, 2, 9, 1, 2, 1},         // horizontal against vertical
      {0, 0, 1, 1, 5, 0, 6, 1, 0, 0, 0},           // parallel
      {0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0},           // the same line
      {0, 0, 1000, 0, 0, 1, 1000, 1.04, 0, 0, 0},  // sine 0.00004: taken as parallel
      {0, 0, 1000, 0, 0, 1, 1000, 0.94, 1, 16666.6667, 0},
      {2, 2, 2, 2, 0, 3, 3, 0, 0, 0, 0},  // degenerate first line
      {0, 3, 3, 0, 1, 1, 1, 1, 0, 0, 0},  // degenerate second line
  };
  for (const Case& c : cases) {
    double px = 9, py = 9;
    EXPECT_EQ(LineLineCross(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, c.x4, c.y4, px, py), c.count)
        << c.x1 << "," << c.y1 << " " << c.x3 << "," << c.y3;
    EXPECT_NEAR(px, c.px, 1e-3);
    EXPECT_NEAR(py, c.py, 1e-3);
  }
}

TEST(GeometryCircle, LineArcCross) {
  struct Case {
    double x1, y1, x2, y2, cx, cy, r;
    int count;
    double p[4];
  } const cases[] = {
      {-10, 0, 10, 0, 0, 0, 5, 2, {-5, 0, 5, 0}},
      {5, 0, -5, 0, 0, 0, 2, 2, {2, 0, -2, 0}},  // reversed travel, reversed order
      {-5, 2, 5, 2, 0, 0, 2, 1, {0, 2, 0, 2}},   // tangent
      {-5, 2.00001, 5, 2.00001, 0, 0, 2, 1, {0, 2.00001, 0, 2.00001}},  // within tolerance
      {-5, 3, 5, 3, 0, 0, 2, 0, {0, 0, 0, 0}},                          // misses
      {10, 10, 10, 20, 10, 10, 5, 2, {10, 5, 10, 15}},  // centre off the origin, on the line
      {1, 1, 1, 1, 0, 0, 5, 0, {0, 0, 0, 0}},           // degenerate line
      {-10, 0, 10, 0, 0, 0, Nan, 0, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    double p[4] = {9, 9, 9, 9};
    EXPECT_EQ(LineArcCross(c.x1, c.y1, c.x2, c.y2, c.cx, c.cy, c.r, p[0], p[1], p[2], p[3]),
              c.count)
        << c.x1 << "," << c.y1 << " r " << c.r;
    ExpectNear4(p, c.p, "line-arc");
  }
  // A slanted line: both points on the line and the circle, met in travel order.
  double p1x, p1y, p2x, p2y;
  ASSERT_EQ(LineArcCross(-3, -7, 9, 2, 1, -2, 4, p1x, p1y, p2x, p2y), 2);
  for (auto [x, y] : {std::pair{p1x, p1y}, std::pair{p2x, p2y}}) {
    EXPECT_NEAR(Distance(1, -2, x, y), 4, Eps);
    EXPECT_NEAR((x + 3) * 9 - (y + 7) * 12, 0, Eps);
  }
  EXPECT_LT(Distance(-3, -7, p1x, p1y), Distance(-3, -7, p2x, p2y));
}

TEST(GeometryCircle, ArcArcCross) {
  const double s3 = std::sqrt(3.0);
  struct Case {
    double c1x, c1y, r1, c2x, c2y, r2;
    int count;
    double p[4];
  } const cases[] = {
      {0, 0, 5, 8, 0, 5, 2, {4, -3, 4, 3}},  // P1 left of C2 -> C1
      {0, 0, 2, 2, 0, 2, 2, {1, -s3, 1, s3}},
      {0, 0, 5, 10, 0, 5, 1, {5, 0, 5, 0}},    // touching outside
      {0, 0, 5, 3, 0, 2, 1, {5, 0, 5, 0}},     // touching inside
      {0, 0, 5, 20, 0, 5, 0, {0, 0, 0, 0}},    // apart
      {0, 0, 5, 1, 0, 1, 0, {0, 0, 0, 0}},     // one inside the other
      {0, 0, 5, 0.02, 0, 5, 0, {0, 0, 0, 0}},  // centres within the concentric band
      {0, 0, Nan, 8, 0, 5, 0, {0, 0, 0, 0}},
      {0, 0, 1e200, 8, 0, 1e200, 0, {0, 0, 0, 0}},  // overflow is no crossing, not NaN points
  };
  for (const Case& c : cases) {
    double p[4] = {9, 9, 9, 9};
    EXPECT_EQ(ArcArcCross(c.c1x, c.c1y, c.r1, c.c2x, c.c2y, c.r2, p[0], p[1], p[2], p[3]), c.count)
        << "C1(" << c.c1x << "," << c.c1y << ") C2(" << c.c2x << "," << c.c2y << ")";
    ExpectNear4(p, c.p, "arc-arc");
  }
  // As the analyser finds an arc centre: C1 = end E, C2 = start S, both radius |R|.
  const double sx = 1, sy = 2, ex = 7, ey = -3, r = 6;
  double p1x, p1y, p2x, p2y;
  ASSERT_EQ(ArcArcCross(ex, ey, r, sx, sy, r, p1x, p1y, p2x, p2y), 2);
  auto side = [&](double x, double y) { return (ex - sx) * (y - sy) - (ey - sy) * (x - sx); };
  EXPECT_GT(side(p1x, p1y), 0);  // left of S -> E
  EXPECT_LT(side(p2x, p2y), 0);
  for (auto [x, y] : {std::pair{p1x, p1y}, std::pair{p2x, p2y}}) {
    EXPECT_NEAR(Distance(sx, sy, x, y), r, Eps);
    EXPECT_NEAR(Distance(ex, ey, x, y), r, Eps);
  }
}

TEST(GeometryCircle, ArcBoundingBox) {
  const double h = 10 * std::sqrt(0.5);
  struct Case {
    double cx, cy, r, start, end, box[4];  // minX minY maxX maxY
  } const cases[] = {
      {0, 0, 10, 0, Pi / 2, {0, 0, 10, 10}},
      {0, 0, 10, Pi / 4, 3 * Pi / 4, {-h, h, h, 10}},
      {0, 0, 10, -Pi / 4, Pi / 4, {h, -h, 10, h}},           // negative start through 0
      {0, 0, 10, 5 * Pi / 4, 7 * Pi / 4, {-h, -10, h, -h}},  // across 3 pi / 2
      {5, -2, 3, Pi / 2, Pi, {2, -2, 5, 1}},                 // off the origin
      // A full circle as the analyser stores it, with 0 inside its 0.01 gap.
      {0, 0, 10, 0.005, 0.005 + TwoPi - 0.01, {-10, -10, 10 * std::cos(0.005), 10}},
      {0, 0, 10, 1, 1 + TwoPi, {-10, -10, 10, 10}},
      {0, 0, 10, 3 * Pi / 2, Pi / 2, {0, -10, 10, 10}},  // end below start: goes on past 0
  };
  for (const Case& c : cases) {
    double box[4];
    ArcBoundingBox(c.cx, c.cy, c.r, c.start, c.end, box[0], box[1], box[2], box[3]);
    ExpectNear4(box, c.box, "bounding box");
  }
}

}  // namespace
}  // namespace kelvan::nc
