#include "script/MathUnit.h"

#include <cmath>

#include "nc/Geometry.h"

namespace kelvan::script {

namespace {

using scriptengine::CallContext;
using scriptengine::HostFunction;
using scriptengine::HostParam;
using scriptengine::HostType;

constexpr double kDeg = nc::Pi / 180.0;

HostParam F(const char* name) { return {name, HostType::Float, false}; }
HostParam Out(const char* name) { return {name, HostType::Float, true}; }

HostFunction Fn(const char* name, std::vector<HostParam> params, HostType result,
                std::function<void(CallContext&)> handler) {
  HostFunction f;
  f.Name = name;
  f.Params = std::move(params);
  f.HasResult = true;
  f.Result = result;
  f.Handler = std::move(handler);
  return f;
}

HostFunction Unary(const char* name, double (*fn)(double)) {
  return Fn(name, {F("x")}, HostType::Float, [fn](CallContext& c) { c.SetFloat("Result", fn(c.Float("x"))); });
}

void AddTrigonometry(std::vector<HostFunction>& u) {
  u.push_back(Unary("Sin", [](double x) { return std::sin(x * kDeg); }));
  u.push_back(Unary("Cos", [](double x) { return std::cos(x * kDeg); }));
  u.push_back(Unary("Tan", [](double x) { return std::tan(x * kDeg); }));
  u.push_back(Unary("ArcSin", [](double x) { return std::asin(x) / kDeg; }));
  u.push_back(Unary("ArcCos", [](double x) { return std::acos(x) / kDeg; }));
  u.push_back(Unary("ArcTan", [](double x) { return std::atan(x) / kDeg; }));
  u.push_back(Fn("Distance", {F("x1"), F("y1"), F("x2"), F("y2")}, HostType::Float, [](CallContext& c) {
    c.SetFloat("Result", nc::Distance(c.Float("x1"), c.Float("y1"), c.Float("x2"), c.Float("y2")));
  }));
  u.push_back(Fn("PosToAngl", {F("cx"), F("cy"), F("px"), F("py")}, HostType::Float, [](CallContext& c) {
    c.SetFloat("Result", nc::PosToAngl(c.Float("cx"), c.Float("cy"), c.Float("px"), c.Float("py")) / kDeg);
  }));
  HostFunction check = Fn("AnglCheck", {Out("sa"), Out("ea")}, HostType::Float, [](CallContext& c) {
    double sa = c.Float("sa"), ea = c.Float("ea");
    AnglCheckDegrees(sa, ea);
    c.SetFloat("sa", sa);
    c.SetFloat("ea", ea);
  });
  check.HasResult = false;
  u.push_back(check);
}

void SetPoints(CallContext& c, double p1x, double p1y, double p2x, double p2y) {
  c.SetFloat("p1x", p1x);
  c.SetFloat("p1y", p1y);
  c.SetFloat("p2x", p2x);
  c.SetFloat("p2y", p2y);
}

void AddCrossings(std::vector<HostFunction>& u) {
  u.push_back(Fn("LineLineCross",
                 {F("x1"), F("y1"), F("x2"), F("y2"), F("x3"), F("y3"), F("x4"), F("y4"), Out("px"), Out("py")},
                 HostType::Boolean, [](CallContext& c) {
                   double px = 0, py = 0;
                   const int n = nc::LineLineCross(c.Float("x1"), c.Float("y1"), c.Float("x2"), c.Float("y2"),
                                                   c.Float("x3"), c.Float("y3"), c.Float("x4"), c.Float("y4"), px, py);
                   c.SetFloat("px", px);
                   c.SetFloat("py", py);
                   c.SetBoolean("Result", n != 0);
                 }));
  u.push_back(Fn("LineArcCross",
                 {F("x1"), F("y1"), F("x2"), F("y2"), F("cx"), F("cy"), F("cr"), Out("p1x"), Out("p1y"), Out("p2x"),
                  Out("p2y")},
                 HostType::Integer, [](CallContext& c) {
                   double p[4] = {};
                   const int n = nc::LineArcCross(c.Float("x1"), c.Float("y1"), c.Float("x2"), c.Float("y2"),
                                                  c.Float("cx"), c.Float("cy"), c.Float("cr"), p[0], p[1], p[2], p[3]);
                   SetPoints(c, p[0], p[1], p[2], p[3]);
                   c.SetInteger("Result", n);
                 }));
  u.push_back(Fn("ArcArcCross",
                 {F("c1x"), F("c1y"), F("c1r"), F("c2x"), F("c2y"), F("c2r"), Out("p1x"), Out("p1y"), Out("p2x"),
                  Out("p2y")},
                 HostType::Integer, [](CallContext& c) {
                   double p[4] = {};
                   const int n = ArcArcCrossLeftFirst(c.Float("c1x"), c.Float("c1y"), c.Float("c1r"), c.Float("c2x"),
                                                      c.Float("c2y"), c.Float("c2r"), p[0], p[1], p[2], p[3]);
                   SetPoints(c, p[0], p[1], p[2], p[3]);
                   c.SetInteger("Result", n);
                 }));
}

}  // namespace

void AnglCheckDegrees(double& sa, double& ea) {
  double s = sa * kDeg, e = ea * kDeg;
  if (s > e) {
    s -= nc::TwoPi;
    if (s < -nc::TwoPi) {
      s += nc::TwoPi;
      e += nc::TwoPi;
    }
  }
  if (std::fabs(s - e) > nc::TwoPi) s += nc::TwoPi;
  sa = s / kDeg;
  ea = e / kDeg;
}

int ArcArcCrossLeftFirst(double c1x, double c1y, double c1r, double c2x, double c2y, double c2r, double& p1x,
                         double& p1y, double& p2x, double& p2y) {
  const double dx = c2x - c1x, dy = c2y - c1y;
  const double g = dx * dx + dy * dy;
  const double m = c2r * c2r - c1r * c1r;
  const double l = 2 * g * (c1r * c1r + c2r * c2r) - g * g - m * m;
  p1x = p1y = p2x = p2y = 0;
  if (g < 0.0005 || l < -0.0005) return 0;
  const double k = 0.5 - m / (2 * g);
  const double fx = c1x + k * dx, fy = c1y + k * dy;
  if (l < 0.0005) {
    p1x = p2x = fx;
    p1y = p2y = fy;
    return 1;
  }
  const double h = std::sqrt(l) / (2 * g);
  p1x = fx - dy * h;
  p1y = fy + dx * h;
  p2x = fx + dy * h;
  p2y = fy - dx * h;
  return 2;
}

scriptengine::HostUnit MakeMathUnit() {
  scriptengine::HostUnit unit;
  unit.Name = "Math";
  AddTrigonometry(unit.Functions);
  AddCrossings(unit.Functions);
  return unit;
}

}  // namespace kelvan::script
