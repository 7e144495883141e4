#include "nc/Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvan::nc {

namespace {

// Lines snap to the axes and to tangency within this.
constexpr double LineTolerance = 0.00005;
// The two-circle test works on fourth powers of lengths and is ten times looser.
constexpr double CircleTolerance = 0.0005;

// tan(phi / 2) for t = tan(phi), phi in [0, pi/2]. Written as t / (sqrt(t^2 + 1) + 1) rather
// than (sqrt(t^2 + 1) - 1) / t: the same value, without the cancellation that loses every
// digit for small t, and without the overflow of t^2 for steep directions.
double HalfAngleTangent(double t) {
  if (std::isinf(t)) return 1.0;
  return t / (std::hypot(t, 1.0) + 1.0);
}

void ClearPoints(double& p1x, double& p1y, double& p2x, double& p2y) {
  p1x = p1y = p2x = p2y = 0.0;
}

void SetSinglePoint(double x, double y, double& p1x, double& p1y, double& p2x, double& p2y) {
  p1x = p2x = x;
  p1y = p2y = y;
}

// Whether the counter-clockwise sweep of the given size from start reaches the direction
// angle; start may be any angle, it is taken modulo a full turn.
bool SweepPasses(double start, double sweep, double angle) {
  double offset = std::fmod(angle - start, TwoPi);
  if (offset < 0.0) offset += TwoPi;
  return offset <= sweep;
}

void IncludePoint(double x, double y, double& minX, double& minY, double& maxX, double& maxY) {
  minX = std::min(minX, x);
  minY = std::min(minY, y);
  maxX = std::max(maxX, x);
  maxY = std::max(maxY, y);
}

}  // namespace

double Distance(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  return std::sqrt(dx * dx + dy * dy);
}

double UnitVector(double x1, double y1, double x2, double y2, double& ux, double& uy) {
  double length = Distance(x1, y1, x2, y2);
  if (length == 0.0) length = ZeroLengthSubstitute;
  ux = (x2 - x1) / length;
  uy = (y2 - y1) / length;
  return length;
}

double PointSegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax;
  const double dy = by - ay;
  const double length2 = dx * dx + dy * dy;
  if (length2 < LineTolerance) return DegenerateSegmentDistance;
  const double t = ((px - ax) * dx + (py - ay) * dy) / length2;
  if (t < 0.0) return Distance(px, py, ax, ay);
  if (t > 1.0) return Distance(px, py, bx, by);
  return Distance(px, py, ax + t * dx, ay + t * dy);
}

bool LineEquation(double x1, double y1, double x2, double y2, double& a, double& b, double& c) {
  a = b = c = 0.0;
  const double length = Distance(x1, y1, x2, y2);
  // A zero length also comes from points so close that the squares underflow; either way
  // the normal has no direction.
  if (!(length > 0.0) || !std::isfinite(length)) return false;
  const double na = -(y2 - y1) / length;
  const double nb = (x2 - x1) / length;
  const double nc = (x1 * y2 - x2 * y1) / length;
  if (!std::isfinite(na) || !std::isfinite(nb) || !std::isfinite(nc)) return false;
  a = na;
  b = nb;
  c = nc;
  return true;
}

int LineLineCross(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                  double y4, double& px, double& py) {
  px = py = 0.0;
  double a1, b1, c1, a2, b2, c2;
  if (!LineEquation(x1, y1, x2, y2, a1, b1, c1)) return 0;
  if (!LineEquation(x3, y3, x4, y4, a2, b2, c2)) return 0;
  // Both normals are unit vectors, so det is the sine of the angle between the lines.
  const double det = a1 * b2 - a2 * b1;
  if (std::fabs(det) < LineTolerance) return 0;
  px = (b1 * c2 - b2 * c1) / det;
  py = (a2 * c1 - a1 * c2) / det;
  return 1;
}

int LineArcCross(double x1, double y1, double x2, double y2, double cx, double cy, double r,
                 double& p1x, double& p1y, double& p2x, double& p2y) {
  ClearPoints(p1x, p1y, p2x, p2y);
  double a, b, c;
  if (!LineEquation(x1, y1, x2, y2, a, b, c)) return 0;
  // (b, -a) is the unit direction from the first point toward the second; F = -c * (a, b)
  // is the foot of the perpendicular from the origin, and F . u = 0.
  const double ux = b;
  const double uy = -a;
  const double fx = -c * a;
  const double fy = -c * b;
  const double s = a * cx + b * cy + c;
  const double w = cx * ux + cy * uy;
  const double d = r * r - s * s;
  if (!std::isfinite(d) || d < -LineTolerance) return 0;
  if (d < LineTolerance) {
    SetSinglePoint(fx + w * ux, fy + w * uy, p1x, p1y, p2x, p2y);
    return 1;
  }
  const double root = std::sqrt(d);
  p1x = fx + (w - root) * ux;
  p1y = fy + (w - root) * uy;
  p2x = fx + (w + root) * ux;
  p2y = fy + (w + root) * uy;
  return 2;
}

int ArcArcCross(double c1x, double c1y, double r1, double c2x, double c2y, double r2, double& p1x,
                double& p1y, double& p2x, double& p2y) {
  ClearPoints(p1x, p1y, p2x, p2y);
  const double dx = c1x - c2x;
  const double dy = c1y - c2y;
  const double g = dx * dx + dy * dy;
  if (g < CircleTolerance) return 0;
  const double m = r1 * r1 - r2 * r2;
  // l = 4 g r1^2 - (g + m)^2: 4 g times the square of the half chord.
  const double l = g * 2.0 * (r1 * r1 + r2 * r2) - g * g - m * m;
  if (!std::isfinite(l) || l < -CircleTolerance) return 0;
  const double k = 0.5 - m / (2.0 * g);
  const double mx = c2x + dx * k;
  const double my = c2y + dy * k;
  if (l < CircleTolerance) {
    SetSinglePoint(mx, my, p1x, p1y, p2x, p2y);
    return 1;
  }
  const double h = std::sqrt(l) / (2.0 * g);
  p1x = mx - dy * h;
  p1y = my + dx * h;
  p2x = mx + dy * h;
  p2y = my - dx * h;
  return 2;
}

double PseudoAngle(double dx, double dy) {
  if (dx >= 0.0 && dy >= 0.0) {
    if (dx <= LineTolerance) return 1.0;
    return HalfAngleTangent(dy / dx);
  }
  if (dx <= 0.0 && dy >= 0.0) {
    if (dy <= LineTolerance) return 2.0;
    return 1.0 + HalfAngleTangent(-dx / dy);
  }
  if (dx > 0.0 && dy < 0.0) {
    if (dy >= -LineTolerance) return 4.0;
    return 3.0 + HalfAngleTangent(-dx / dy);
  }
  if (dx <= 0.0 && dy < 0.0) {
    if (dx >= -LineTolerance) return 3.0;
    return 2.0 + HalfAngleTangent(dy / dx);
  }
  return std::numeric_limits<double>::quiet_NaN();
}

double PseudoAngleToRadians(double p) {
  // Checked in double before truncating: converting NaN or a huge value to an integer
  // would be undefined.
  if (!(p >= 0.0 && p < 4.0)) return 0.0;
  const double quadrant = std::trunc(p);
  return 2.0 * std::atan(p - quadrant) + quadrant * (Pi / 2.0);
}

double PosToAngl(double cx, double cy, double px, double py) {
  return PseudoAngleToRadians(PseudoAngle(px - cx, py - cy));
}

void AnglCheck(double& start, double& end) {
  if (start > end) {
    start -= TwoPi;
    if (start < -TwoPi) {
      start += TwoPi;
      end += TwoPi;
    }
  }
  if (std::fabs(start - end) > TwoPi) start += TwoPi;
}

void ArcBoundingBox(double cx, double cy, double r, double start, double end, double& minX,
                    double& minY, double& maxX, double& maxY) {
  const double sx = cx + r * std::cos(start);
  const double sy = cy + r * std::sin(start);
  minX = maxX = sx;
  minY = maxY = sy;
  IncludePoint(cx + r * std::cos(end), cy + r * std::sin(end), minX, minY, maxX, maxY);

  double sweep = end - start;
  if (sweep < 0.0) sweep = std::fmod(sweep, TwoPi) + TwoPi;
  struct AxisPoint {
    double angle, x, y;
  };
  const AxisPoint axes[] = {
      {0.0, cx + r, cy}, {Pi / 2.0, cx, cy + r}, {Pi, cx - r, cy}, {3.0 * Pi / 2.0, cx, cy - r}};
  for (const AxisPoint& axis : axes) {
    if (sweep >= TwoPi || SweepPasses(start, sweep, axis.angle))
      IncludePoint(axis.x, axis.y, minX, minY, maxX, maxY);
  }
}

}  // namespace kelvan::nc
