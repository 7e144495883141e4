#pragma once

// Plane geometry shared by the path list (lengths), the analyser (arc centres, sweeps,
// ranges), the view (picking) and the script library. Everything is double precision and
// stateless. Angles are radians, counter-clockwise from +X.
//
// The tolerances below are part of the behaviour: programs that were checked against them
// must keep analysing the same way, so they are not tuned to the size of the input.

namespace kelvan::nc {

inline constexpr double Pi = 3.14159265358979323846;
inline constexpr double TwoPi = 2.0 * Pi;

// The length that UnitVector reports, and divides by, for a zero vector.
inline constexpr double ZeroLengthSubstitute = 0.00001;
// What PointSegmentDistance reports for a segment too short to pick: far from anything.
inline constexpr double DegenerateSegmentDistance = 1000.0;
// R arcs: a chord shorter than this leaves the centre undefined (an arc radius error), and
// a chord within this of the diameter is a half circle.
inline constexpr double MinRChord = 0.02;
inline constexpr double HalfCircleTolerance = 0.001;

// The integer part of a word's value, for G and M codes and counts; values beyond the range
// of int (NaN too) give a code no program uses.
inline int TruncToInt(double v) {
  if (!(v > -2.0e9 && v < 2.0e9)) return v > 0 ? 2000000000 : -2000000000;
  return static_cast<int>(v);
}

double Distance(double x1, double y1, double x2, double y2);

// Length of (x2 - x1, y2 - y1) and that vector divided by it. A zero vector gives (0, 0) and
// the length ZeroLengthSubstitute, so callers that divide by the result stay finite.
double UnitVector(double x1, double y1, double x2, double y2, double& ux, double& uy);

// Distance from P to the segment A-B; DegenerateSegmentDistance when |B - A|^2 < 0.00005.
double PointSegmentDistance(double px, double py, double ax, double ay, double bx, double by);

// The line through both points as a*x + b*y + c = 0 with (a, b) the unit normal, pointing
// to the left of the direction from the first point to the second. False, with a = b = c = 0,
// when the points coincide or the result would not be finite: there is no usable line.
bool LineEquation(double x1, double y1, double x2, double y2, double& a, double& b, double& c);

// Crossing of the infinite lines (1)-(2) and (3)-(4). 0 when they are parallel (the sine of
// the angle between them below 0.00005) or either line is degenerate; then px, py are 0.
int LineLineCross(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                  double y4, double& px, double& py);

// Crossings of the infinite line (1)-(2) with the circle (c, r): 0, 1 (tangent, within
// r^2 - s^2 < 0.00005 for the centre's distance s) or 2. With 2, P1 is the point met first
// when travelling from (1) toward (2). Points the result does not count: a single point is
// written to both P1 and P2; with none all four are 0.
int LineArcCross(double x1, double y1, double x2, double y2, double cx, double cy, double r,
                 double& p1x, double& p1y, double& p2x, double& p2y);

// Crossings of two circles: 0 (also for centres closer than sqrt(0.0005)), 1 or 2. With 2,
// P1 lies to the left of the direction from C2 to C1 and P2 to the right. The analyser passes
// an arc's end point as C1 and its start point as C2. Unused outputs as for LineArcCross.
int ArcArcCross(double c1x, double c1y, double r1, double c2x, double c2y, double r2, double& p1x,
                double& p1y, double& p2x, double& p2y);

// A number in [0, 4] that grows with the direction's angle: the quadrant plus the tangent of
// half the angle inside it. Directions within 0.00005 of an axis snap to it; the zero vector
// gives 1 (straight up). NaN for a NaN component.
double PseudoAngle(double dx, double dy);

// The angle in [0, 2*pi) that a pseudo-angle stands for; 4, and anything outside [0, 4)
// including NaN, gives 0.
double PseudoAngleToRadians(double p);

// The angle of P seen from C, in [0, 2*pi), through the pseudo-angle.
double PosToAngl(double cx, double cy, double px, double py);

// Brings a counter-clockwise sweep into the form start <= end, end - start <= 2*pi for the
// inputs the analyser gives: two angles in [0, 2*pi), or a full circle built from one angle
// and that angle +/- (2*pi - 0.01). start may come out negative.
void AnglCheck(double& start, double& end);

// Bounding box of the counter-clockwise arc around (cx, cy) from angle start to angle end.
// A sweep of 2*pi or more is the whole circle; an end below start is reached by going on
// counter-clockwise past a full turn.
void ArcBoundingBox(double cx, double cy, double r, double start, double end, double& minX,
                    double& minY, double& maxX, double& maxY);

}  // namespace kelvan::nc
