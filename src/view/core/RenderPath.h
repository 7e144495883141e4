#pragma once
// The path part of a full redraw: frame, items up to the execution index, capacity line.
// Filling the background, analysing and showing the picture stay with the window.

#include <cstdint>
#include <string>
#include <vector>

#include "view/core/PositionReadout.h"

namespace kelvan::nc {
class PathList;
struct MachineState;
}  // namespace kelvan::nc

namespace kelvan::view {

class HitList;
class LineSink;
struct RasterImage;
class ViewTransform;
struct RenderOptions;

struct RenderResult {
  // Where the drawing stopped: the first item not drawn, Count when all were drawn.
  int32_t Stop = 0;
  // The run has reached the end of the path (Stop >= Count - 1): the caller sets its
  // execution index to -1.
  bool EndsExecution = false;
  PositionReadout Readout;   // what panels 4..8 show now
  std::string CapacityText;  // status panel 11, "D:120/100000 P:95/200000"
};

// Clears the hit list, draws the view frame, then items 0 up to execIndex (all of them
// when execIndex is -1) in the colours of the mode; tracked lines go to hits while
// options.Tracking is set. showBoxHeight anchors the axis glyph.
RenderResult RenderPath(const nc::PathList& path, const nc::MachineState& state, const ViewTransform& view,
                        const RenderOptions& options, LineSink& sink, HitList& hits, int32_t execIndex,
                        int32_t showBoxHeight);

// RenderPath into raster memory, sharing the items among up to `threads` threads: the
// first draws the frame and the first items into `image`, each other one the items that
// follow into a layer of its own (kept in `layers` between calls), and the layers are
// laid over the image in item order, so the picture is exactly the one RenderPath draws.
// A small path, and a path whose drawn lines are to be tracked, is drawn by one thread.
RenderResult RenderRaster(const nc::PathList& path, const nc::MachineState& state, const ViewTransform& view,
                          const RenderOptions& options, const RasterImage& image,
                          std::vector<std::vector<uint32_t>>& layers, HitList& hits, int32_t execIndex,
                          int32_t showBoxHeight, int threads);

// Status panel 11: path count and capacity, hit count and capacity.
std::string CapacityText(int32_t count, int32_t capacity, int32_t hitCount, int32_t hitCapacity);

}  // namespace kelvan::view
