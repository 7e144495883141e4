#include "view/core/RenderPath.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

#include "nc/PathList.h"
#include "view/core/DrawItem.h"
#include "view/core/DrawViewFrame.h"
#include "view/core/HitList.h"
#include "view/core/RasterLineSink.h"
#include "view/core/RenderOptions.h"

namespace kelvan::view {

namespace {

// Fewer items are not worth a thread.
constexpr int32_t kItemsPerThread = 50000;

// Items [from, to) of the path, the readout of the last one that set it.
void DrawItems(const nc::PathList& path, const ViewTransform& view, const RenderOptions& options, LineSink& sink,
               HitList* hits, int32_t from, int32_t to, PositionReadout& readout) {
  DrawContext ctx{view, sink, options, ModeColors::For(options.WhiteMode), hits, readout};
  const int32_t stride = std::max(options.Stride, 1);
  for (int32_t i = (from + stride - 1) / stride * stride; i < to; i += stride) DrawItem(ctx, i, path[i]);
}

// The other program of a compare, under the path, every line in its one colour; no
// arrows, no hits, no readout.
void DrawUnderlay(const ViewTransform& view, const RenderOptions& options, LineSink& sink) {
  if (options.Underlay == nullptr) return;
  RenderOptions o = options;
  o.Tracking = false;
  o.ShowArrow = false;
  o.HoleDisp = false;
  ModeColors colors = ModeColors::For(options.WhiteMode);
  colors.Rapid = colors.Cutting = colors.RefReturn = colors.DrillRapid = colors.Hole = options.UnderlayColor;
  PositionReadout ignored;
  DrawContext ctx{view, sink, o, colors, nullptr, ignored};
  const nc::PathList& under = *options.Underlay;
  const int32_t stride = std::max(options.Stride, 1);
  for (int32_t i = 0; i < under.Count; i += stride) DrawItem(ctx, i, under[i]);
}

// The last readout wins, as if one pass had drawn every item.
void Combine(PositionReadout& into, const PositionReadout& later) {
  if (later.HasPosition) into.SetPosition(later.X, later.Y, later.Z);
  if (later.HasUV) into.SetUV(later.U, later.V);
}

}  // namespace

RenderResult RenderPath(const nc::PathList& path, const nc::MachineState& state, const ViewTransform& view,
                        const RenderOptions& options, LineSink& sink, HitList& hits, int32_t execIndex,
                        int32_t showBoxHeight) {
  RenderResult result;
  hits.Clear();
  DrawViewFrame(view, sink, state, options.WhiteMode, showBoxHeight);
  DrawUnderlay(view, options, sink);

  DrawContext ctx{view, sink, options, ModeColors::For(options.WhiteMode),
                  options.Tracking ? &hits : nullptr, result.Readout};
  const int32_t stride = std::max(options.Stride, 1);
  int32_t i = 0;
  for (; i < path.Count; ++i) {
    if (execIndex != -1 && execIndex < i) break;
    if (i % stride == 0) DrawItem(ctx, i, path[i]);
  }
  result.Stop = i;
  result.EndsExecution = i >= path.Count - 1;
  result.CapacityText = CapacityText(path.Count, path.Capacity, hits.Count(), hits.Capacity());
  return result;
}

RenderResult RenderRaster(const nc::PathList& path, const nc::MachineState& state, const ViewTransform& view,
                          const RenderOptions& options, const RasterImage& image,
                          std::vector<std::vector<uint32_t>>& layers, HitList& hits, int32_t execIndex,
                          int32_t showBoxHeight, int threads) {
  RasterLineSink sink(image);
  // Items 0 to execIndex, all of them for -1.
  const int32_t stop = execIndex == -1 ? path.Count : std::clamp(execIndex + 1, 0, path.Count);
  threads = std::clamp(std::min(threads, stop / kItemsPerThread), 1, 16);
  if (threads == 1 || options.Tracking || !sink.CanDraw()) {
    return RenderPath(path, state, view, options, sink, hits, execIndex, showBoxHeight);
  }
  RenderResult result;
  hits.Clear();
  DrawViewFrame(view, sink, state, options.WhiteMode, showBoxHeight);
  DrawUnderlay(view, options, sink);
  const size_t pixels = static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height);
  layers.resize(static_cast<size_t>(threads - 1));
  std::vector<PositionReadout> readouts(static_cast<size_t>(threads));
  std::vector<std::thread> workers;
  auto bounds = [&](int t) { return static_cast<int32_t>(static_cast<int64_t>(stop) * t / threads); };
  for (int t = 1; t < threads; ++t) {
    workers.emplace_back([&, t] {
      // 0 is no pixel the sink writes (those are opaque): it marks what the layer left.
      std::vector<uint32_t>& layer = layers[static_cast<size_t>(t - 1)];
      layer.assign(pixels, 0);
      RasterLineSink layerSink(RasterImage{layer.data(), image.Width, image.Width, image.Height});
      DrawItems(path, view, options, layerSink, nullptr, bounds(t), bounds(t + 1), readouts[static_cast<size_t>(t)]);
    });
  }
  DrawItems(path, view, options, sink, nullptr, 0, bounds(1), readouts[0]);
  for (std::thread& w : workers) w.join();
  for (int t = 1; t < threads; ++t) {
    const uint32_t* from = layers[static_cast<size_t>(t - 1)].data();
    for (int32_t y = 0; y < image.Height; ++y) {
      uint32_t* row = image.Bits + static_cast<int64_t>(y) * image.Stride;
      const uint32_t* src = from + static_cast<size_t>(y) * static_cast<size_t>(image.Width);
      for (int32_t x = 0; x < image.Width; ++x)
        if (src[x] != 0) row[x] = src[x];
    }
    Combine(readouts[0], readouts[static_cast<size_t>(t)]);
  }
  result.Readout = readouts[0];
  result.Stop = stop;
  result.EndsExecution = stop >= path.Count - 1;
  result.CapacityText = CapacityText(path.Count, path.Capacity, hits.Count(), hits.Capacity());
  return result;
}

std::string CapacityText(int32_t count, int32_t capacity, int32_t hitCount, int32_t hitCapacity) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "D:%d/%d P:%d/%d", count, capacity, hitCount, hitCapacity);
  return buf;
}

}  // namespace kelvan::view
