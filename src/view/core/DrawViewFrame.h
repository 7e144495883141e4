#pragma once
// The frame drawn behind every path: grid, extent box, axes and axis glyph.

#include <cstdint>

namespace kelvan::nc {
struct MachineState;
}

namespace kelvan::view {

class LineSink;
class ViewTransform;

// Where the axis glyph sits: this far from the left and from the bottom of the view.
inline constexpr int32_t GlyphInset = 50;

// More grid lines than this in one direction would fill the view solid (and a huge range
// with a small pitch would take minutes to draw), so the grid then takes every n-th line.
inline constexpr int64_t MaxGridLines = 2000;

// Draws the frame for the machining range of state; showBoxHeight anchors the glyph.
void DrawViewFrame(const ViewTransform& view, LineSink& sink, const nc::MachineState& state,
                   bool whiteMode, int32_t showBoxHeight);

}  // namespace kelvan::view
