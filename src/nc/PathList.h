#pragma once

#include <cstdint>
#include <memory>

namespace kelvan::nc {

// What one path item stands for. The numeric codes are shown to users in the dump and
// stored nowhere else; keep them as they are.
enum class PathKind : int8_t {
  pkNone = -1,          // analysed, does not move
  pkRapid = 0,          // G00, and every move of a block with G43
  pkLinear = 1,         // G01 without U or V
  pkArcCW = 2,          // G02
  pkArcCCW = 3,         // G03
  pkRefReturn = 10,     // G28/G29/G30: rapid rise to the ATC height
  pkTaper = 11,         // G01 with U or V (upper contour offset)
  pkDrill = 81,         // one hole of a canned cycle
  pkSetPosition = 92,   // G92
  pkToolComment = 100,  // non-moving line that holds "(T"
};

// Values[0..7] by kind:
//   pkRapid, pkLinear, pkRefReturn  X1 Y1 Z1 X2 Y2 Z2 0 0
//   pkArcCW, pkArcCCW               centreX centreY height radius sweepStart sweepEnd 0 0
//                                   (counter-clockwise sweep, start <= end, end - start <= 2 pi)
//   pkTaper                         X1 Y1 X2 Y2 X1+U1 Y1+V1 X2+U2 Y2+V2
//   pkDrill                         X1 Y1 Z1 holeX holeY RLevel bottomZ toolRadius
//   pkSetPosition                   X Y Z 0 0 0 0 0
// Geometry is computed in double and stored in single precision.
struct PathItem {
  int32_t Line;  // 0-based editor line that produced the item
  PathKind Kind;
  float Values[8];
  float CutLength;    // travelled at feed
  float RapidLength;  // travelled at rapid rate
  float Time;         // minutes
};

// The smallest capacity a path list gets, whatever "BufSize" says.
inline constexpr int32_t MinPathCapacity = 100000;
// The largest: 50 million items are 2.6 GB; a larger "BufSize" is a typing error, and
// honouring it would make the allocation at start-up fail.
inline constexpr int32_t MaxPathCapacity = 50000000;
// Rapid moves are timed at this fixed rate (length units per minute); it is no setting.
inline constexpr double RapidRate = 6000.0;

// The capacity that the setting "BufSize" gives: it can enlarge the list, never shrink it
// below MinPathCapacity.
int32_t CapacityFromBufSize(int64_t bufSize);

// A fixed-capacity array of path items, allocated once; every analysis refills it from
// Count = 0. Items past the capacity are dropped silently.
class PathList {
 public:
  explicit PathList(int32_t capacity);
  PathList(const PathList&) = delete;
  PathList& operator=(const PathList&) = delete;

  int32_t Count = 0;
  const int32_t Capacity;

  PathItem& operator[](int32_t i) { return items_[i]; }
  const PathItem& operator[](int32_t i) const { return items_[i]; }
  const PathItem* begin() const { return items_.get(); }
  const PathItem* end() const { return items_.get() + Count; }

  // Exchanges the items with a list of the same capacity, so that an analysis made into a
  // second list replaces this one without copying, and references to this list stay
  // valid. Lists of other capacities are left alone (false).
  bool Swap(PathList& other);

 private:
  // Default-initialised on purpose: the pages of a large list are only touched as items
  // are written, so a list of a million items costs memory only as far as it is used.
  std::unique_ptr<PathItem[]> items_;
};

// One active subprogram call.
struct SubFrame {
  int32_t ProgramNo = 0;    // the called program number
  int32_t ReturnLine = 0;   // index of the calling M98 line
  int32_t StartLine = 0;    // index of the line before the subprogram's O line
  int32_t RepeatsLeft = 0;  // further passes still to run
};

inline constexpr int32_t MaxSubDepth = 10;

// The modal state the analyser carries from block to block and the results it leaves.
struct MachineState {
  int32_t MotionMode = 0;   // 0 G00, 1 G01, 2 G02, 3 G03, 4 G04
  int32_t CycleMode = 80;   // 80: no canned cycle
  double Feed = 1.0;
  double RangeMinX = 0, RangeMinY = 0, RangeMaxX = 0, RangeMaxY = 0, RangeMinZ = 0, RangeMaxZ = 0;
  double MaxCutZ = -1000;   // highest Z given in a G01 block
  double ToolRadius = 0;    // half the diameter of the last tool comment
  double WorkHeight = 0;    // height of the upper (U/V) contour plane
  // Not reset by an analysis:
  double ValueUnit = 0.001;
  double AtcHeight = 500;
  double CycleRLevel = 0;
  double CycleBottom = 0;
  int32_t SubDepth = 0;
  SubFrame SubStack[MaxSubDepth + 1];  // frames 1..10; index 0 unused

  // The fields every analysis starts from; ValueUnit, AtcHeight, CycleRLevel and
  // CycleBottom keep their values.
  void ResetForAnalysis(double workHeight);
};

// Appends an item with its lengths and time, computed from the stored single values and
// the current feed. A cutting item while Feed is 0 (after F0) is timed 0 rather than
// dividing by zero. Nothing happens when the list is full.
void AddPathItem(PathList& list, double feed, int32_t line, PathKind kind, const float (&values)[8]);

// Widens the machining range so that the point lies inside it.
void UpdateRange(MachineState& state, double x, double y, double z);

// The numeric code of a kind, as the dump shows it.
inline int KindCode(PathKind kind) { return static_cast<int>(kind); }

}  // namespace kelvan::nc
