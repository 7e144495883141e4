#include "view/core/HitList.h"

namespace kelvan::view {

HitList::HitList(int32_t capacity) : capacity_(capacity < 0 ? 0 : capacity) {}

int32_t HitList::CapacityForPath(int32_t pathCapacity) {
  const int64_t twice = 2 * static_cast<int64_t>(pathCapacity < 0 ? 0 : pathCapacity);
  return twice > INT32_MAX ? INT32_MAX : static_cast<int32_t>(twice);
}

void HitList::Add(int32_t index, const PixelSegment& s) {
  if (Count() >= capacity_ - 1) return;
  items_.push_back({index, s.X1, s.Y1, s.X2, s.Y2});
}

}  // namespace kelvan::view
