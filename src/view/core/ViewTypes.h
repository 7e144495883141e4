#pragma once
// The small value types that projection, clipping and drawing pass around.

#include <cstdint>

namespace kelvan::view {

// A point of the program, in program length units.
struct ModelPoint {
  double X = 0, Y = 0, Z = 0;
};

// A projected point before scaling: U to the right, V up, in program length units.
struct ViewPoint {
  double U = 0, V = 0;
};

// A pixel before clipping. Far outside the view a pixel does not fit 32 bits (a large part
// at a large scale), so it stays 64-bit until clipping has brought it into the view.
struct PixelPoint {
  int64_t X = 0, Y = 0;
};

// A line that survived clipping; both ends lie inside the clip rectangle.
struct PixelSegment {
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

}  // namespace kelvan::view
