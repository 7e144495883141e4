#pragma once
// The segments drawn for each path item while the reference button is down, so that a
// mouse position can be traced back to the item under it.

#include <cstdint>
#include <vector>

#include "view/core/ViewTypes.h"

namespace kelvan::view {

struct HitSegment {
  int32_t Index = 0;  // path item
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

class HitList {
 public:
  // Twice the path capacity: most items draw one tracked line, a few draw more.
  explicit HitList(int32_t capacity);
  // The capacity that goes with a path list of pathCapacity items.
  static int32_t CapacityForPath(int32_t pathCapacity);

  // Records a segment while the count is below Capacity - 1; a full list silently stops
  // recording. The records grow with use, so a list that is never filled costs nothing.
  void Add(int32_t index, const PixelSegment& s);
  void Clear() { items_.clear(); }

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  int32_t Capacity() const { return capacity_; }
  const HitSegment& operator[](int32_t i) const { return items_[i]; }
  const HitSegment* begin() const { return items_.data(); }
  const HitSegment* end() const { return items_.data() + items_.size(); }

 private:
  int32_t capacity_;
  std::vector<HitSegment> items_;
};

}  // namespace kelvan::view
