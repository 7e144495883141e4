#include "view/core/DrawItem.h"

#include <cmath>
#include <numbers>

#include "nc/PathList.h"
#include "view/core/DrawLine.h"
#include "view/core/HitList.h"
#include "view/core/LineSink.h"
#include "view/core/PositionReadout.h"
#include "view/core/RenderOptions.h"
#include "view/core/ViewTransform.h"

namespace kelvan::view {

namespace {

using nc::PathItem;
using nc::PathKind;

constexpr double kArrowBaseOffset = 2.0;
constexpr double kArrowHalfWidth = 0.7;
constexpr int kHoleChords = 72;
// An arc sweeps at most a full turn: 72 chords and a clamped remainder. A longer sweep
// (a list not made by the analyser) would only retrace the circle; the bound also ends
// the loop when the angles are so large that a step no longer changes them.
constexpr int kMaxArcChords = kHoleChords + 1;

void Tracked(DrawContext& ctx, int32_t index, int lineType, const ModelPoint& a, const ModelPoint& b) {
  const auto s = DrawLine3D(ctx.View, ctx.Sink, lineType, a, b);
  if (s && ctx.Hits) ctx.Hits->Add(index, *s);
}

void Plain(DrawContext& ctx, int lineType, const ModelPoint& a, const ModelPoint& b) {
  DrawLine3D(ctx.View, ctx.Sink, lineType, a, b);
}

void Readout(DrawContext& ctx, double x, double y, double z) {
  if (ctx.Options.ShowPos) ctx.Readout.SetPosition(x, y, z);
}

ModelPoint Start(const PathItem& it) { return {it.Values[0], it.Values[1], it.Values[2]}; }
ModelPoint End(const PathItem& it) { return {it.Values[3], it.Values[4], it.Values[5]}; }

// The stored (single) values decide, exactly as they were written.
bool SameXY(const PathItem& it) { return it.Values[0] == it.Values[3] && it.Values[1] == it.Values[4]; }

void DrawRapid(DrawContext& ctx, int32_t index, const PathItem& it) {
  if (!ctx.Options.ShowG00) return;
  const ModelPoint e = End(it);
  Readout(ctx, e.X, e.Y, e.Z);
  ctx.Sink.SetPenColor(ctx.Colors.Rapid);
  if (SameXY(it) && ctx.Options.ShowArrow) DrawZArrow(ctx, it.Values[2] > it.Values[5], e.X, e.Y, e.Z);
  Tracked(ctx, index, LineDotted, Start(it), e);
}

void DrawLinear(DrawContext& ctx, int32_t index, const PathItem& it) {
  const ModelPoint e = End(it);
  Readout(ctx, e.X, e.Y, e.Z);
  ctx.Sink.SetPenColor(ctx.Colors.Cutting);
  // A plunge at feed is what crashes tools, so its arrow does not depend on the setting.
  if (SameXY(it) && it.Values[2] > it.Values[5]) DrawZArrow(ctx, true, e.X, e.Y, e.Z);
  Tracked(ctx, index, LineSolid, Start(it), e);
}

ModelPoint ArcPoint(const PathItem& it, double t) {
  return {it.Values[0] + it.Values[3] * std::cos(t), it.Values[1] + it.Values[3] * std::sin(t),
          it.Values[2]};
}

// cos and sin of k chord steps, k = 0 .. kMaxArcChords: a chord's end at from + k steps
// is then one rotation of the start, not a sine and a cosine of its own. The two differ
// by a few units in the last place, far below a pixel.
struct ChordTable {
  double Cos[kMaxArcChords + 1], Sin[kMaxArcChords + 1];
  ChordTable() {
    for (int k = 0; k <= kMaxArcChords; ++k) {
      Cos[k] = std::cos(ChordStep * k);
      Sin[k] = std::sin(ChordStep * k);
    }
  }
};
const ChordTable kChords;

// Where the item's circle can show: it projects into a disc of its radius about its
// projected centre. The margin covers truncation to pixels and rounding.
struct CircleOnScreen {
  double X, Y, R;
  explicit CircleOnScreen(const ViewTransform& view, const PathItem& it) {
    const ViewPoint c = view.ProjectPoint(it.Values[0], it.Values[1], it.Values[2]);
    R = std::fabs(double(it.Values[3])) * view.ViewScale + 2;
    X = c.U * view.ViewScale + view.CenterX + view.PanX;
    Y = -c.V * view.ViewScale + view.CenterY + view.PanY;
  }
  bool Outside(const ViewTransform& v) const {
    return X + R < v.ClipLeft || X - R > v.ClipRight || Y + R < v.ClipTop || Y - R > v.ClipBottom;
  }
  // False for a circle that is no number.
  bool Inside(const ViewTransform& v) const {
    return X - R >= v.ClipLeft && X + R <= v.ClipRight && Y - R >= v.ClipTop && Y + R <= v.ClipBottom;
  }
};

// A point of the chain: its pixel, unless its projection is no number.
struct ChainPoint {
  PixelPoint Pixel;
  bool Valid;
};

ChainPoint MapPoint(const ViewTransform& view, double x, double y, double z) {
  const ViewPoint v = view.ProjectPoint(x, y, z);
  if (std::isnan(v.U) || std::isnan(v.V)) return {{}, false};
  return {view.ToPixel(v), true};
}

// The angle of chord end k from `from`, by the angle sum, and the last one, clamped to
// `to`, exactly.
struct ChordAngles {
  double From, To, Dir, C0, S0;
  ChordAngles(double from, double to, double dir)
      : From(from), To(to), Dir(dir), C0(std::cos(from)), S0(std::sin(from)) {}
  // False once the chords have reached `to`; else the end point's cos and sin.
  bool Next(int k, double& t, double& c, double& s) const {
    if (k > kMaxArcChords || !(Dir * (To - t) > 0)) return false;
    t = From + Dir * ChordStep * k;
    if (Dir * (t - To) > 0) {
      t = To;
      c = std::cos(t);
      s = std::sin(t);
    } else {
      c = C0 * kChords.Cos[k] - Dir * S0 * kChords.Sin[k];
      s = S0 * kChords.Cos[k] + Dir * C0 * kChords.Sin[k];
    }
    return true;
  }
};

// Chords from angle `from` toward `to` in 5-degree steps, downward when dir is -1, the
// last one clamped to `to`. Nothing unless `to` lies beyond `from` in that direction.
// Each point is mapped once and serves as the end of one chord and the start of the
// next. An arc wholly inside the view (the usual case) goes to the sink as one chain
// with no clipping; otherwise each chord is clipped, and a chord whose ends fall on one
// pixel is skipped unless it is to be tracked.
void DrawArcChords(DrawContext& ctx, int32_t index, const PathItem& it, double from, double to, double dir) {
  if (!(dir * (to - from) > 0)) return;
  const CircleOnScreen disc(ctx.View, it);
  if (disc.Outside(ctx.View)) return;
  const double cx = it.Values[0], cy = it.Values[1], z = it.Values[2], r = it.Values[3];
  const ChordAngles angles(from, to, dir);
  double t = from, c = angles.C0, s = angles.S0;
  if (ctx.Hits == nullptr && disc.Inside(ctx.View)) {
    // The chord ends first, as angles only; then their points in one straight loop.
    int ends = 0;
    bool clamped = false;
    for (int k = 1; k <= kMaxArcChords && dir * (to - t) > 0; ++k) {
      t = from + dir * ChordStep * k;
      ends = k;
      if (dir * (t - to) > 0) {
        clamped = true;
        break;
      }
    }
    const int unclamped = clamped ? ends - 1 : ends;
    int32_t xy[2 * (kMaxArcChords + 1)];
    const ViewTransform& view = ctx.View;
    auto put = [&](int i, double cc, double ss) {
      const PixelPoint p = view.ToPixel(view.ProjectPoint(cx + r * cc, cy + r * ss, z));
      xy[2 * i] = static_cast<int32_t>(p.X);
      xy[2 * i + 1] = static_cast<int32_t>(p.Y);
    };
    const double c0 = angles.C0, s0 = angles.S0, ds = dir * s0, dc = dir * c0;
    for (int k = 0; k <= unclamped; ++k) put(k, c0 * kChords.Cos[k] - ds * kChords.Sin[k], s0 * kChords.Cos[k] + dc * kChords.Sin[k]);
    if (clamped) put(ends, std::cos(to), std::sin(to));
    ctx.Sink.Polyline(xy, static_cast<size_t>(ends) + 1, PenStyle::Solid);
    return;
  }
  ChainPoint prev = MapPoint(ctx.View, cx + r * c, cy + r * s, z);
  for (int k = 1; angles.Next(k, t, c, s); ++k) {
    const ChainPoint p = MapPoint(ctx.View, cx + r * c, cy + r * s, z);
    const bool samePixel = p.Pixel.X == prev.Pixel.X && p.Pixel.Y == prev.Pixel.Y;
    if (prev.Valid && p.Valid && (!samePixel || ctx.Hits)) {
      const auto seg = DrawPixelSegment(ctx.View, ctx.Sink, LineSolid, prev.Pixel, p.Pixel);
      if (seg && ctx.Hits) ctx.Hits->Add(index, *seg);
    }
    prev = p;
  }
}

// Both directions keep a counter-clockwise sweep from [4] up to [5]: a clockwise arc runs
// from its start angle [5] down to its end angle [4] and reads out the point at [4].
void DrawArc(DrawContext& ctx, int32_t index, const PathItem& it, bool clockwise) {
  ctx.Sink.SetPenColor(ctx.Colors.Cutting);
  const double low = it.Values[4], high = it.Values[5];
  if (clockwise) DrawArcChords(ctx, index, it, high, low, -1.0);
  else DrawArcChords(ctx, index, it, low, high, 1.0);
  const ModelPoint e = ArcPoint(it, clockwise ? low : high);
  Readout(ctx, e.X, e.Y, e.Z);
}

void DrawRefReturn(DrawContext& ctx, int32_t index, const PathItem& it) {
  if (!ctx.Options.ShowG00) return;
  const ModelPoint e = End(it);
  Readout(ctx, e.X, e.Y, e.Z);
  ctx.Sink.SetPenColor(ctx.Colors.RefReturn);
  if (ctx.Options.ShowArrow) DrawZArrow(ctx, false, e.X, e.Y, e.Z);
  Tracked(ctx, index, LineDotted, Start(it), e);
}

void DrawTaper(DrawContext& ctx, int32_t index, const PathItem& it) {
  const float* v = it.Values;
  Readout(ctx, v[2], v[3], 0);
  ctx.Sink.SetPenColor(ctx.Colors.Cutting);
  Tracked(ctx, index, LineSolid, {v[0], v[1], 0}, {v[2], v[3], 0});
  if (!ctx.Options.UVMode) return;
  if (ctx.Options.ShowPos) ctx.Readout.SetUV(double(v[6]) - v[2], double(v[7]) - v[3]);
  const double h = ctx.Options.WorkHeight;
  Plain(ctx, LineSolid, {v[0], v[1], 0}, {v[4], v[5], h});
  Plain(ctx, LineSolid, {v[4], v[5], h}, {v[6], v[7], h});
}

void DrawDrill(DrawContext& ctx, int32_t index, const PathItem& it) {
  const float* v = it.Values;
  if (ctx.Options.ShowG00) {
    ctx.Sink.SetPenColor(ctx.Colors.DrillRapid);
    Tracked(ctx, index, LineDotted, {v[0], v[1], v[2]}, {v[3], v[4], v[2]});
    Tracked(ctx, index, LineDotted, {v[3], v[4], v[2]}, {v[3], v[4], v[5]});
  }
  ctx.Sink.SetPenColor(ctx.Colors.Cutting);
  Tracked(ctx, index, LineSolid, {v[3], v[4], v[5]}, {v[3], v[4], v[6]});
  Readout(ctx, v[3], v[4], v[2]);
  if (ctx.Options.HoleDisp && v[7] > 0) DrawHoleCylinder(ctx, v[3], v[4], v[5], v[6], v[7]);
}

}  // namespace

void DrawZArrow(DrawContext& ctx, bool down, double x, double y, double z) {
  const double b = down ? z + kArrowBaseOffset : z - kArrowBaseOffset;
  const double d = kArrowHalfWidth;
  const ModelPoint tip{x, y, z};
  const ModelPoint c[4] = {{x + d, y, b}, {x, y + d, b}, {x - d, y, b}, {x, y - d, b}};
  for (int i = 0; i < 4; ++i) {
    Plain(ctx, LineSolid, c[i], tip);
    Plain(ctx, LineSolid, c[i], c[(i + 1) % 4]);
  }
}

void DrawHoleCylinder(DrawContext& ctx, double x, double y, double z1, double z2, double r) {
  ctx.Sink.SetPenColor(ctx.Colors.Hole);
  const double heights[2] = {z1, z2};
  for (double z : heights) {
    ModelPoint prev{x + r, y, z};
    for (int k = 1; k <= kHoleChords; ++k) {
      const double t = 2 * std::numbers::pi * k / kHoleChords;
      const ModelPoint p{x + r * std::cos(t), y + r * std::sin(t), z};
      Plain(ctx, LineSolid, prev, p);
      prev = p;
    }
  }
  const double dx[4] = {r, 0, -r, 0}, dy[4] = {0, r, 0, -r};
  for (int i = 0; i < 4; ++i) Plain(ctx, LineSolid, {x + dx[i], y + dy[i], z1}, {x + dx[i], y + dy[i], z2});
}

void DrawItem(DrawContext& ctx, int32_t index, const nc::PathItem& item) {
  switch (item.Kind) {
    case PathKind::pkRapid: DrawRapid(ctx, index, item); break;
    case PathKind::pkLinear: DrawLinear(ctx, index, item); break;
    case PathKind::pkArcCW: DrawArc(ctx, index, item, true); break;
    case PathKind::pkArcCCW: DrawArc(ctx, index, item, false); break;
    case PathKind::pkRefReturn: DrawRefReturn(ctx, index, item); break;
    case PathKind::pkTaper: DrawTaper(ctx, index, item); break;
    case PathKind::pkDrill: DrawDrill(ctx, index, item); break;
    case PathKind::pkSetPosition: Readout(ctx, item.Values[0], item.Values[1], item.Values[2]); break;
    default: break;
  }
}

}  // namespace kelvan::view
