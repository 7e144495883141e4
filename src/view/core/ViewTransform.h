#pragma once
// The view state of the path view: angles, scale, pan, centre and clip rectangle, with the
// projection of a program point to a pixel and the clipping of lines to the view.

#include <cstdint>
#include <optional>

#include "view/core/ViewTypes.h"

namespace kelvan::nc {
struct MachineState;
}

namespace kelvan::view {

// The outcode bits of a pixel outside the clip rectangle.
enum ClipBits : uint8_t {
  ClipLeftBit = 1,
  ClipRightBit = 2,
  ClipTopBit = 4,
  ClipBottomBit = 8,
};

// Where a zoom step comes from; each has its own limit and step.
enum class ZoomGesture {
  Action,  // the zoom and unzoom commands (F2, Shift+F2)
  Wheel,   // the mouse wheel
  Drag,    // Shift with mouse movement
};

// The four view tabs: oblique, top, front, side.
inline constexpr int ViewTabCount = 4;

class ViewTransform {
 public:
  ViewTransform();

  // Turn about the model Y axis (beta, applied first) and tilt about the screen's
  // horizontal axis (alpha, applied second), radians. The angles are set together so that
  // their sines and cosines are worked out once and not for every projected point.
  void SetAngles(double alpha, double beta);
  double Alpha() const { return alpha_; }
  double Beta() const { return beta_; }

  double ViewScale = 1.0;   // pixels per program unit
  double ZoomFactor = 2.0;  // factor of one zoom step
  double GridPitch = 50.0;  // spacing of the grid lines, program units
  int32_t PanX = 0, PanY = 0;        // pixel offset of the origin from the view centre
  int32_t CenterX = 0, CenterY = 0;  // pixel position of the view centre
  int32_t ClipLeft = 0, ClipTop = 0, ClipRight = 0, ClipBottom = 0;  // inclusive

  ViewPoint ProjectPoint(double x, double y, double z) const {
    const double u = x * cosBeta_ + z * sinBeta_;
    const double w = z * cosBeta_ - x * sinBeta_;
    return {u, y * cosAlpha_ - w * sinAlpha_};
  }
  ViewPoint ProjectPoint(const ModelPoint& p) const { return ProjectPoint(p.X, p.Y, p.Z); }

  // Scaled, truncated toward zero, then moved by centre and pan. Screen Y grows downward.
  PixelPoint ToPixel(ViewPoint p) const {
    return {ScaledToInt(p.U * ViewScale) + CenterX + PanX,
            ScaledToInt(-p.V * ViewScale) + CenterY + PanY};
  }

  uint8_t Outcode(PixelPoint p) const;

  // Cohen-Sutherland in integer pixels. Returns the visible part, or nothing when the line
  // lies wholly outside the clip rectangle.
  std::optional<PixelSegment> ClipLine(PixelPoint a, PixelPoint b) const;

  // Sets the angles of tab 0..3; any other index changes nothing. Scale and pan stay.
  void SelectTab(int tab);

  // One zoom step in or out about the origin. The limit is tested before the step, so
  // the scale can end one step beyond it. False when the step is refused (the window
  // beeps) and nothing changed.
  bool ZoomIn(ZoomGesture gesture = ZoomGesture::Action);
  bool ZoomOut(ZoomGesture gesture = ZoomGesture::Action);

  // Back to the home position: the origin at the view centre; angles and scale stay.
  void Home();

  // The view (or the splitter beside it) changed size: the clip rectangle becomes the
  // view less a one-pixel border, the centre the middle of the view.
  void ResizeView(int32_t width, int32_t height);
  // The tab control changed size: the right and bottom clip edges follow the view, the
  // centre becomes the middle of the clip rectangle.
  void ResizeTab(int32_t width, int32_t height);

  // Scale and pan that show the machining range of state in the current angles, with
  // a margin of marginFraction of the view on each side. The clip rectangle must be set.
  void Fit(const nc::MachineState& state, double marginFraction = 0.05);

  // The settings "ScaleFac" and "GridSize" as the view takes them.
  static double ZoomFactorFromSetting(double value);
  static double GridPitchFromSetting(double value);

  // Pixels beyond this distance are pulled in to it before the conversion to an integer:
  // the conversion of a larger double is undefined, and a pixel 2^52 away is as good as
  // infinitely far for a view of a few thousand pixels.
  static constexpr double PixelLimit = 4503599627370496.0;  // 2^52

  // Two views draw alike when every field agrees.
  bool operator==(const ViewTransform&) const = default;

  static int64_t ScaledToInt(double v) {
    if (!(v == v)) return 0;  // NaN
    if (v > PixelLimit) v = PixelLimit;
    if (v < -PixelLimit) v = -PixelLimit;
    return static_cast<int64_t>(v);  // truncates toward zero
  }

 private:
  double alpha_ = 0, beta_ = 0;
  double cosAlpha_ = 1, sinAlpha_ = 0, cosBeta_ = 1, sinBeta_ = 0;
};

// Degrees to radians as the view takes them: deg * pi / 180.
double DegToRad(double deg);

}  // namespace kelvan::view
