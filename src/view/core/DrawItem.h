#pragma once
// The drawing rules of the path items, one per kind.

#include <cstdint>

#include "view/core/ModeColors.h"

namespace kelvan::nc {
struct PathItem;
}

namespace kelvan::view {

class HitList;
class LineSink;
class ViewTransform;
struct PositionReadout;
struct RenderOptions;

// What one drawing pass draws with. Hits is where tracked lines are recorded; null draws
// plain lines (the run's incremental drawing, and the full picture while the reference
// button is up).
struct DrawContext {
  const ViewTransform& View;
  LineSink& Sink;
  const RenderOptions& Options;
  ModeColors Colors;
  HitList* Hits;
  PositionReadout& Readout;
};

// Arcs and hole circles are drawn as chords of this angle: 5 degrees.
inline constexpr double ChordStep = 0.0872664626;

// Draws item `index` by its kind. Kinds that do not move draw nothing.
void DrawItem(DrawContext& ctx, int32_t index, const nc::PathItem& item);

// The arrowhead of a vertical move with its tip at (x, y, z), in the current pen, lines
// of type 0, never tracked. Its base lies 2 units above the tip when it points down, 2
// below when it points up.
void DrawZArrow(DrawContext& ctx, bool down, double x, double y, double z);

// Circles of radius r about (x, y) at heights z1 and z2 and four lines joining them; teal.
void DrawHoleCylinder(DrawContext& ctx, double x, double y, double z1, double z2, double r);

}  // namespace kelvan::view
