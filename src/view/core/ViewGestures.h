#pragma once
// What the mouse does to the path view, apart from the window: turning by a drag, the
// zoom direction of a Shift drag, the wheel's every-second-notch rule, the angle readouts,
// the lighter picture drawn while a gesture goes on, and picking the path item under the
// pointer in the reference mode.

#include <cstdint>
#include <string>
#include <vector>

namespace kelvan::view {

class HitList;
class ViewTransform;

// The tilt and turn stop just short of a right angle, so the view never looks straight
// along an axis it projects away.
inline constexpr double kAngleLimit = 1.5707463267948967;

// A left drag of (dx, dy) pixels: each pixel down tilts half a degree (alpha), each
// pixel right turns half a degree (beta), both clamped to +-kAngleLimit.
void RotateByDrag(ViewTransform& view, int32_t dx, int32_t dy);

// The readout of an angle in radians as the status bar shows it: the prefix and the
// angle in degrees with one decimal ("α90.0").
std::string AngleText(const char* prefix, double radians);

// A Shift drag zooms in when it moves right (sideways moves) or up; otherwise out.
bool DragZoomsIn(int32_t dx, int32_t dy);

// One wheel direction: only every second notch acts.
class WheelToggle {
 public:
  // True on the notch that acts.
  bool Notch() {
    flipped_ = !flipped_;
    return !flipped_;
  }
  bool Flipped() const { return flipped_; }

 private:
  bool flipped_ = false;
};

// While the mouse turns, moves or zooms the view, a large path is drawn thinned to about
// this many items; the full picture follows when the gesture rests.
inline constexpr int32_t kDraftItems = 150000;
// Every how many items the lighter picture draws one (1: all).
int32_t DraftStride(int32_t itemCount);

// The hit segments of one picture sorted into square cells, so that the segment under
// the pointer is found by looking at a few cells instead of every segment drawn.
class HitIndex {
 public:
  // The pointer picks a segment nearer than this, in pixels.
  static constexpr double kPickDistance = 10.0;

  // Sorts the hits of a picture of the given size (pixels outside it are clamped in).
  void Build(const HitList& hits, int32_t width, int32_t height);
  void Clear();
  bool Built() const { return built_; }

  // The item of the segment nearest to (x, y) and nearer than kPickDistance, the one
  // recorded first among equals; -1 when none. A segment of zero length is never near.
  int32_t Find(const HitList& hits, int32_t x, int32_t y) const;

 private:
  static constexpr int32_t kCell = 32;
  static constexpr int64_t kMaxEntries = int64_t{16} << 20;
  int32_t columns_ = 0, rows_ = 0;
  std::vector<int32_t> start_;     // per cell: first entry in entries_, and one past the last cell
  std::vector<int32_t> entries_;   // hit positions, ascending within a cell
  bool built_ = false;
  bool linear_ = false;  // too many cell entries: Find walks the list
};

}  // namespace kelvan::view
