#include "view/core/ViewGestures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "nc/Geometry.h"
#include "view/core/HitList.h"
#include "view/core/ViewTransform.h"

namespace kelvan::view {

namespace {

double ClampAngle(double a) { return std::clamp(a, -kAngleLimit, kAngleLimit); }

}  // namespace

void RotateByDrag(ViewTransform& view, int32_t dx, int32_t dy) {
  view.SetAngles(ClampAngle(view.Alpha() + DegToRad(dy / 2.0)), ClampAngle(view.Beta() + DegToRad(dx / 2.0)));
}

std::string AngleText(const char* prefix, double radians) {
  char text[64];
  std::snprintf(text, sizeof text, "%s%.1f", prefix, radians * 180.0 / std::numbers::pi);
  return text;
}

bool DragZoomsIn(int32_t dx, int32_t dy) {
  if (std::abs(int64_t{dx}) > std::abs(int64_t{dy})) return dx > 0;
  return dy < 0;
}

int32_t DraftStride(int32_t itemCount) {
  if (itemCount <= kDraftItems) return 1;
  return static_cast<int32_t>((int64_t{itemCount} + kDraftItems - 1) / kDraftItems);
}

void HitIndex::Clear() {
  start_.clear();
  entries_.clear();
  columns_ = rows_ = 0;
  built_ = linear_ = false;
}

void HitIndex::Build(const HitList& hits, int32_t width, int32_t height) {
  Clear();
  columns_ = std::max(1, (width + kCell - 1) / kCell);
  rows_ = std::max(1, (height + kCell - 1) / kCell);
  const size_t cells = size_t(columns_) * size_t(rows_);
  auto cellRange = [&](const HitSegment& s, int32_t& c0, int32_t& c1, int32_t& r0, int32_t& r1) {
    c0 = std::clamp(std::min(s.X1, s.X2) / kCell, 0, columns_ - 1);
    c1 = std::clamp(std::max(s.X1, s.X2) / kCell, 0, columns_ - 1);
    r0 = std::clamp(std::min(s.Y1, s.Y2) / kCell, 0, rows_ - 1);
    r1 = std::clamp(std::max(s.Y1, s.Y2) / kCell, 0, rows_ - 1);
  };
  // Many long lines across the view would fill every cell: then the pointer walks the
  // whole list instead (a few milliseconds), rather than the index taking gigabytes.
  int64_t total = 0;
  for (const HitSegment& s : hits) {
    int32_t c0, c1, r0, r1;
    cellRange(s, c0, c1, r0, r1);
    total += int64_t(c1 - c0 + 1) * (r1 - r0 + 1);
  }
  linear_ = total > kMaxEntries;
  built_ = true;
  if (linear_) return;
  // Two passes, counting then filling, keep the entries of a cell in recording order.
  std::vector<int32_t> count(cells + 1, 0);
  for (const HitSegment& s : hits) {
    int32_t c0, c1, r0, r1;
    cellRange(s, c0, c1, r0, r1);
    for (int32_t r = r0; r <= r1; ++r)
      for (int32_t c = c0; c <= c1; ++c) ++count[size_t(r) * size_t(columns_) + size_t(c)];
  }
  start_.assign(cells + 1, 0);
  for (size_t i = 0; i < cells; ++i) start_[i + 1] = start_[i] + count[i];
  entries_.resize(size_t(start_[cells]));
  std::vector<int32_t> fill(start_.begin(), start_.end() - 1);
  for (int32_t h = 0; h < hits.Count(); ++h) {
    int32_t c0, c1, r0, r1;
    cellRange(hits[h], c0, c1, r0, r1);
    for (int32_t r = r0; r <= r1; ++r)
      for (int32_t c = c0; c <= c1; ++c) entries_[size_t(fill[size_t(r) * size_t(columns_) + size_t(c)]++)] = h;
  }
}

int32_t HitIndex::Find(const HitList& hits, int32_t x, int32_t y) const {
  if (!built_) return -1;
  if (linear_) {
    double best = kPickDistance;
    int32_t found = -1;
    for (const HitSegment& s : hits) {
      const double d = nc::PointSegmentDistance(x, y, s.X1, s.Y1, s.X2, s.Y2);
      if (d < best) {
        best = d;
        found = s.Index;
      }
    }
    return found;
  }
  // The cells the pick circle touches; a segment in several of them is met more than once,
  // and the earliest recorded segment wins ties, as a walk over the whole list would.
  const int32_t reach = static_cast<int32_t>(kPickDistance);
  const int32_t c0 = std::clamp((x - reach) / kCell, 0, columns_ - 1), c1 = std::clamp((x + reach) / kCell, 0, columns_ - 1);
  const int32_t r0 = std::clamp((y - reach) / kCell, 0, rows_ - 1), r1 = std::clamp((y + reach) / kCell, 0, rows_ - 1);
  if (x + reach < 0 || y + reach < 0) return -1;
  double best = kPickDistance;
  int32_t bestHit = -1;
  for (int32_t r = r0; r <= r1; ++r) {
    for (int32_t c = c0; c <= c1; ++c) {
      const size_t cell = size_t(r) * size_t(columns_) + size_t(c);
      for (int32_t e = start_[cell]; e < start_[cell + 1]; ++e) {
        const int32_t h = entries_[size_t(e)];
        const HitSegment& s = hits[h];
        const double d = nc::PointSegmentDistance(x, y, s.X1, s.Y1, s.X2, s.Y2);
        if (d < best || (d == best && bestHit >= 0 && h < bestHit)) {
          best = d;
          bestHit = h;
        }
      }
    }
  }
  return bestHit < 0 ? -1 : hits[bestHit].Index;
}

}  // namespace kelvan::view
