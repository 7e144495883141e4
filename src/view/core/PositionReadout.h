#pragma once
// The position readouts of the status bar: the point the last drawn item ended at, and
// the U/V offset of the last taper move.

#include <array>
#include <optional>
#include <string>

namespace kelvan::view {

// Status panels 4 to 8 ("X", "Y", "Z", "U", "V").
inline constexpr int FirstReadoutPanel = 4;
inline constexpr int ReadoutPanelCount = 5;

// Fixed notation with `digits` decimals and at most `precision` significant digits: the
// digits past the precision are shown as zeros, and a number with more integer digits than
// the precision turns to scientific notation. "-0.000" reads as "0.000".
std::string FormatFixed(double value, int precision, int digits);

// Every drawn item overwrites the readout, so only the last point matters; it is kept as
// numbers and turned into text once, when the panels are written.
struct PositionReadout {
  bool HasPosition = false;
  double X = 0, Y = 0, Z = 0;
  bool HasUV = false;
  double U = 0, V = 0;

  void SetPosition(double x, double y, double z) {
    HasPosition = true;
    X = x;
    Y = y;
    Z = z;
  }
  void SetUV(double u, double v) {
    HasUV = true;
    U = u;
    V = v;
  }

  // The texts of panels 4..8; a panel without a text keeps what it shows.
  std::array<std::optional<std::string>, ReadoutPanelCount> PanelTexts() const;
};

}  // namespace kelvan::view
