#include "view/core/ViewTransform.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "nc/PathList.h"

namespace kelvan::view {

namespace {

struct TabAngles {
  double AlphaDeg, BetaDeg;
};
constexpr TabAngles kTabAngles[ViewTabCount] = {{-30, 30}, {0, 0}, {-90, 0}, {0, -90}};

// Zoom limits, tested before the step.
constexpr double kActionZoomInLimit = 100;
constexpr double kGestureZoomInLimit = 1000;
constexpr double kZoomOutLimit = 0.01;
// A drag zooms by a fraction of the zoom factor per mouse event, so it feels continuous.
constexpr double kDragStepFraction = 0.4;

// Fit keeps to the scales the zoom gestures can reach.
constexpr double kMinFitScale = 0.01;
constexpr double kMaxFitScale = 1000;

// The product of two pixel differences: pixels reach 2^52 and more after the pan, so the
// product needs more than 64 bits.
using Wide = __int128;

// from + boundaryDelta * otherDelta / delta, the product before the division, truncating
// toward zero. The moved end lies between the two ends, so the result fits 64 bits again.
int64_t MoveAlong(int64_t from, int64_t boundaryDelta, int64_t otherDelta, int64_t delta) {
  return from + static_cast<int64_t>(static_cast<Wide>(boundaryDelta) * otherDelta / delta);
}

int32_t ClampToInt32(double v) {
  const int64_t i = ViewTransform::ScaledToInt(v);
  return static_cast<int32_t>(std::clamp<int64_t>(i, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

double DegToRad(double deg) { return deg * std::numbers::pi / 180.0; }

ViewTransform::ViewTransform() { SelectTab(0); }

void ViewTransform::SetAngles(double alpha, double beta) {
  alpha_ = alpha;
  beta_ = beta;
  cosAlpha_ = std::cos(alpha);
  sinAlpha_ = std::sin(alpha);
  cosBeta_ = std::cos(beta);
  sinBeta_ = std::sin(beta);
}

uint8_t ViewTransform::Outcode(PixelPoint p) const {
  uint8_t code = 0;
  if (p.X > ClipRight) code = ClipRightBit;
  else if (p.X < ClipLeft) code = ClipLeftBit;
  if (p.Y < ClipTop) code |= ClipTopBit;
  else if (p.Y > ClipBottom) code |= ClipBottomBit;
  return code;
}

std::optional<PixelSegment> ViewTransform::ClipLine(PixelPoint a, PixelPoint b) const {
  // Every pass puts one end exactly on a boundary it was outside of, and the moved end
  // stays between the two ends, so a bit once cleared stays clear: four passes per end
  // at most.
  for (int pass = 0; pass < 8; ++pass) {
    const uint8_t ca = Outcode(a), cb = Outcode(b);
    if ((ca | cb) == 0) {
      return PixelSegment{static_cast<int32_t>(a.X), static_cast<int32_t>(a.Y),
                          static_cast<int32_t>(b.X), static_cast<int32_t>(b.Y)};
    }
    if (ca & cb) return std::nullopt;
    const bool moveA = ca != 0;
    PixelPoint& p = moveA ? a : b;
    const PixelPoint& o = moveA ? b : a;
    const uint8_t code = moveA ? ca : cb;
    if (code & (ClipLeftBit | ClipRightBit)) {
      const int64_t xb = (code & ClipLeftBit) ? ClipLeft : ClipRight;
      p.Y = MoveAlong(p.Y, xb - p.X, o.Y - p.Y, o.X - p.X);
      p.X = xb;
    } else {
      const int64_t yb = (code & ClipTopBit) ? ClipTop : ClipBottom;
      p.X = MoveAlong(p.X, yb - p.Y, o.X - p.X, o.Y - p.Y);
      p.Y = yb;
    }
  }
  return std::nullopt;
}

void ViewTransform::SelectTab(int tab) {
  if (tab < 0 || tab >= ViewTabCount) return;
  SetAngles(DegToRad(kTabAngles[tab].AlphaDeg), DegToRad(kTabAngles[tab].BetaDeg));
}

bool ViewTransform::ZoomIn(ZoomGesture gesture) {
  const double limit = gesture == ZoomGesture::Action ? kActionZoomInLimit : kGestureZoomInLimit;
  if (ViewScale > limit) return false;
  if (gesture == ZoomGesture::Drag) ViewScale /= kDragStepFraction * ZoomFactor;
  else ViewScale *= ZoomFactor;
  return true;
}

bool ViewTransform::ZoomOut(ZoomGesture gesture) {
  if (ViewScale < kZoomOutLimit) return false;
  if (gesture == ZoomGesture::Drag) ViewScale *= kDragStepFraction * ZoomFactor;
  else ViewScale /= ZoomFactor;
  return true;
}

void ViewTransform::Home() {
  PanX = 0;
  PanY = 0;
}

void ViewTransform::ResizeView(int32_t width, int32_t height) {
  ClipLeft = 1;
  ClipTop = 1;
  ClipRight = width - 1;
  ClipBottom = height - 1;
  CenterX = width / 2;
  CenterY = height / 2;
}

void ViewTransform::ResizeTab(int32_t width, int32_t height) {
  ClipRight = width - 1;
  ClipBottom = height - 1;
  CenterX = static_cast<int32_t>((int64_t{ClipRight} + ClipLeft) / 2);
  CenterY = static_cast<int32_t>((int64_t{ClipBottom} + ClipTop) / 2);
}

void ViewTransform::Fit(const nc::MachineState& s, double marginFraction) {
  const double xs[2] = {s.RangeMinX, s.RangeMaxX};
  const double ys[2] = {s.RangeMinY, s.RangeMaxY};
  const double zs[2] = {s.RangeMinZ, s.RangeMaxZ};
  double minU = INFINITY, maxU = -INFINITY, minV = INFINITY, maxV = -INFINITY;
  for (double x : xs)
    for (double y : ys)
      for (double z : zs) {
        const ViewPoint p = ProjectPoint(x, y, z);
        minU = std::min(minU, p.U);
        maxU = std::max(maxU, p.U);
        minV = std::min(minV, p.V);
        maxV = std::max(maxV, p.V);
      }
  if (!std::isfinite(maxU - minU) || !std::isfinite(maxV - minV)) return;

  const double keep = std::clamp(1.0 - 2.0 * marginFraction, 0.1, 1.0);
  const double width = std::max<double>(1.0, double(ClipRight) - ClipLeft) * keep;
  const double height = std::max<double>(1.0, double(ClipBottom) - ClipTop) * keep;
  double scale = INFINITY;
  if (maxU > minU) scale = width / (maxU - minU);
  if (maxV > minV) scale = std::min(scale, height / (maxV - minV));
  // A range without extent (no motion) keeps the scale and only centres the origin.
  if (std::isfinite(scale)) ViewScale = std::clamp(scale, kMinFitScale, kMaxFitScale);

  const double midU = (minU + maxU) / 2, midV = (minV + maxV) / 2;
  const int64_t midX = (int64_t{ClipLeft} + ClipRight) / 2;
  const int64_t midY = (int64_t{ClipTop} + ClipBottom) / 2;
  PanX = ClampToInt32(double(midX - CenterX) - std::trunc(midU * ViewScale));
  PanY = ClampToInt32(double(midY - CenterY) - std::trunc(-midV * ViewScale));
}

double ViewTransform::ZoomFactorFromSetting(double value) {
  return (value >= 1.0 && value <= 2.0) ? value : 2.0;
}

double ViewTransform::GridPitchFromSetting(double value) {
  return (value >= 1.0 && std::isfinite(value)) ? value : 1.0;
}

}  // namespace kelvan::view
