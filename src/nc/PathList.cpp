#include "nc/PathList.h"

#include <algorithm>
#include <cmath>

namespace kelvan::nc {

int32_t CapacityFromBufSize(int64_t bufSize) {
  return static_cast<int32_t>(std::clamp<int64_t>(bufSize, MinPathCapacity, MaxPathCapacity));
}

PathList::PathList(int32_t capacity)
    : Capacity(std::max(capacity, 1)), items_(new PathItem[static_cast<size_t>(std::max(capacity, 1))]) {}

bool PathList::Swap(PathList& other) {
  if (other.Capacity != Capacity) return false;
  std::swap(items_, other.items_);
  std::swap(Count, other.Count);
  return true;
}

void MachineState::ResetForAnalysis(double workHeight) {
  MotionMode = 0;
  CycleMode = 80;
  Feed = 1.0;
  RangeMinX = RangeMinY = RangeMaxX = RangeMaxY = RangeMinZ = RangeMaxZ = 0;
  MaxCutZ = -1000;
  ToolRadius = 0;
  SubDepth = 0;
  WorkHeight = workHeight;
}

namespace {

double XYDistance(double x1, double y1, double x2, double y2) {
  return std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
}

// Time of a length travelled at feed. F0 would divide by zero; such a move is timed 0.
double FeedTime(double length, double feed) { return feed == 0.0 ? 0.0 : length / feed; }

}  // namespace

void AddPathItem(PathList& list, double feed, int32_t line, PathKind kind, const float (&values)[8]) {
  if (list.Count >= list.Capacity) return;
  PathItem& item = list[list.Count++];
  item.Line = line;
  item.Kind = kind;
  std::copy(std::begin(values), std::end(values), std::begin(item.Values));
  const float* v = item.Values;
  double cut = 0, rapid = 0, time = 0;
  switch (kind) {
    case PathKind::pkRapid:
    case PathKind::pkRefReturn:
      rapid = XYDistance(v[0], v[1], v[3], v[4]);
      time = rapid / RapidRate;
      break;
    case PathKind::pkLinear:
      cut = XYDistance(v[0], v[1], v[3], v[4]);
      time = FeedTime(cut, feed);
      break;
    case PathKind::pkArcCW:
    case PathKind::pkArcCCW:
      cut = static_cast<double>(v[3]) * (static_cast<double>(v[5]) - v[4]);
      time = FeedTime(cut, feed);
      break;
    case PathKind::pkDrill: {
      const double approach = XYDistance(v[0], v[1], v[3], v[4]) + std::fabs(static_cast<double>(v[5]) - v[2]);
      const double plunge = std::fabs(static_cast<double>(v[6]) - v[5]);
      cut = approach + plunge;
      time = approach / RapidRate + FeedTime(plunge, feed);
      break;
    }
    case PathKind::pkTaper:
      // The lower contour is what the tool's tip travels.
      cut = XYDistance(v[0], v[1], v[2], v[3]);
      time = FeedTime(cut, feed);
      break;
    default:
      break;
  }
  item.CutLength = static_cast<float>(cut);
  item.RapidLength = static_cast<float>(rapid);
  item.Time = static_cast<float>(time);
}

void UpdateRange(MachineState& s, double x, double y, double z) {
  if (x < s.RangeMinX) s.RangeMinX = x;
  if (x > s.RangeMaxX) s.RangeMaxX = x;
  if (y < s.RangeMinY) s.RangeMinY = y;
  if (y > s.RangeMaxY) s.RangeMaxY = y;
  if (z < s.RangeMinZ) s.RangeMinZ = z;
  if (z > s.RangeMaxZ) s.RangeMaxZ = z;
}

}  // namespace kelvan::nc
