#include "view/core/RenderPath.h"

#include <cstdio>

#include "nc/PathList.h"
#include "view/core/DrawItem.h"
#include "view/core/DrawViewFrame.h"
#include "view/core/HitList.h"
#include "view/core/RenderOptions.h"

namespace kelvan::view {

RenderResult RenderPath(const nc::PathList& path, const nc::MachineState& state, const ViewTransform& view,
                        const RenderOptions& options, LineSink& sink, HitList& hits, int32_t execIndex,
                        int32_t showBoxHeight) {
  RenderResult result;
  hits.Clear();
  DrawViewFrame(view, sink, state, options.WhiteMode, showBoxHeight);

  DrawContext ctx{view, sink, options, ModeColors::For(options.WhiteMode),
                  options.Tracking ? &hits : nullptr, result.Readout};
  int32_t i = 0;
  for (; i < path.Count; ++i) {
    if (execIndex != -1 && execIndex < i) break;
    DrawItem(ctx, i, path[i]);
  }
  result.Stop = i;
  result.EndsExecution = i >= path.Count - 1;
  result.CapacityText = CapacityText(path.Count, path.Capacity, hits.Count(), hits.Capacity());
  return result;
}

std::string CapacityText(int32_t count, int32_t capacity, int32_t hitCount, int32_t hitCapacity) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "D:%d/%d P:%d/%d", count, capacity, hitCount, hitCapacity);
  return buf;
}

}  // namespace kelvan::view
