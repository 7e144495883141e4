#pragma once
// What the drawing rules read besides the path and the view: the display settings and the
// window's button states. The window fills it afresh for every drawing, so that a change
// in the settings dialog shows at the next one.

#include <cstdint>

namespace kelvan::nc {
class PathList;
}

namespace kelvan::view {

struct RenderOptions {
  bool ShowG00 = true;     // rapid moves, reference returns, rapid legs of drilling cycles
  bool ShowArrow = true;   // Z arrows of vertical rapid moves and reference returns
  bool HoleDisp = false;   // hole cylinders of drilling cycles
  bool ShowPos = true;     // position readouts in the status bar
  bool UVMode = false;     // the UV button: upper contours of taper moves and the U/V readout
  bool Tracking = false;   // the reference button: record drawn segments in the hit list
  double WorkHeight = 0;   // height of the upper contour
  bool WhiteMode = false;  // the clipboard copy's colours
  // The lighter picture of a gesture in progress draws every Stride-th item only.
  int32_t Stride = 1;
  // Another program's path drawn under this one in one colour ($BBGGRR), as the program
  // compare shows it; null for none. The caller keeps it alive while drawing.
  const nc::PathList* Underlay = nullptr;
  uint32_t UnderlayColor = 0x808080;

  bool operator==(const RenderOptions&) const = default;
};

}  // namespace kelvan::view
