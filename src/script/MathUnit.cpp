#include "script/MathUnit.h"

#include <cmath>

#include "nc/Geometry.h"
#include "script/HostFunctions.h"

namespace kelvan::script {

namespace {

using namespace host;

constexpr double kDeg = nc::Pi / 180.0;


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
  u.push_back(Proc("AnglCheck", {VarF("sa"), VarF("ea")}, [](CallContext& c) {
    double sa = c.Float("sa"), ea = c.Float("ea");
    AnglCheckDegrees(sa, ea);
    c.SetFloat("sa", sa);
    c.SetFloat("ea", ea);
  }));
}

void SetPoints(CallContext& c, double p1x, double p1y, double p2x, double p2y) {
  c.SetFloat("p1x", p1x);
  c.SetFloat("p1y", p1y);
  c.SetFloat("p2x", p2x);
  c.SetFloat("p2y", p2y);
}

void AddCrossings(std::vector<HostFunction>& u) {
  u.push_back(Fn("LineLineCross",
                 {F("x1"), F("y1"), F("x2"), F("y2"), F("x3"), F("y3"), F("x4"), F("y4"), VarF("px"), VarF("py")},
                 HostType::Boolean, [](CallContext& c) {
                   double px = 0, py = 0;
                   const int n = nc::LineLineCross(c.Float("x1"), c.Float("y1"), c.Float("x2"), c.Float("y2"),
                                                   c.Float("x3"), c.Float("y3"), c.Float("x4"), c.Float("y4"), px, py);
                   c.SetFloat("px", px);
                   c.SetFloat("py", py);
                   c.SetBoolean("Result", n != 0);
                 }));
  u.push_back(Fn("LineArcCross",
                 {F("x1"), F("y1"), F("x2"), F("y2"), F("cx"), F("cy"), F("cr"), VarF("p1x"), VarF("p1y"), VarF("p2x"),
                  VarF("p2y")},
                 HostType::Integer, [](CallContext& c) {
                   double p[4] = {};
                   const int n = nc::LineArcCross(c.Float("x1"), c.Float("y1"), c.Float("x2"), c.Float("y2"),
                                                  c.Float("cx"), c.Float("cy"), c.Float("cr"), p[0], p[1], p[2], p[3]);
                   SetPoints(c, p[0], p[1], p[2], p[3]);
                   c.SetInteger("Result", n);
                 }));
  u.push_back(Fn("ArcArcCross",
                 {F("c1x"), F("c1y"), F("c1r"), F("c2x"), F("c2y"), F("c2r"), VarF("p1x"), VarF("p1y"), VarF("p2x"),
                  VarF("p2y")},
                 HostType::Integer, [](CallContext& c) {
                   double p[4] = {};
                   // The shared helper puts P1 left of the direction from its second centre
                   // to its first; scripts have it left of the way from the first to the
                   // second, so the centres go in the other way round.
                   const int n = nc::ArcArcCross(c.Float("c2x"), c.Float("c2y"), c.Float("c2r"), c.Float("c1x"),
                                                 c.Float("c1y"), c.Float("c1r"), p[0], p[1], p[2], p[3]);
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

scriptengine::HostUnit MakeMathUnit() {
  scriptengine::HostUnit unit;
  unit.Name = "Math";
  AddTrigonometry(unit.Functions);
  AddCrossings(unit.Functions);
  return unit;
}

}  // namespace kelvan::script
