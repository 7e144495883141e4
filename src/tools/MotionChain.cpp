#include "tools/MotionChain.h"

#include <algorithm>
#include <cmath>

#include "nc/Geometry.h"

namespace kelvan::tools {

namespace {

using nc::PathKind;

// Items that end and start this close are joined without a jump (single precision).
constexpr double kJoined = 1e-4;
// At most this much of an arc between two of its points.
constexpr double kArcStep = nc::Pi / 2;
// An arc of a larger radius is taken as its chord: double precision cannot measure a
// distance to its circle finer than a tolerance.
constexpr double kLargestRadius = 1e9;
// Beyond this (a thousand kilometres in millimetres) a coordinate leaves no digits for a
// tolerance, and the chain is no measure.
constexpr double kLargestCoordinate = 1e9;
// The grid has about one cell per motion, and never more than this many.
constexpr int64_t kMaxCells = 4000000;

// An angle brought into [0, 2 pi).
double Turn(double a) {
  a = std::fmod(a, nc::TwoPi);
  return a < 0 ? a + nc::TwoPi : a;
}

double Length3(double dx, double dy, double dz) { return std::sqrt(dx * dx + dy * dy + dz * dz); }

}  // namespace

MotionChain::MotionChain(const nc::PathList& path) {
  size_t motions = 0;
  for (const nc::PathItem& it : path) motions += it.Kind == PathKind::pkDrill ? 4 : 1;
  m_.reserve(motions + motions / 4);
  cum_.reserve(m_.capacity() + 1);
  for (const nc::PathItem& it : path) {
    const float* v = it.Values;
    switch (it.Kind) {
      case PathKind::pkRapid:
      case PathKind::pkLinear:
        Line(v[0], v[1], v[2], v[3], v[4], v[5], it.Kind == PathKind::pkRapid ? MoveKind::Rapid : MoveKind::Feed,
             it.Line);
        break;
      case PathKind::pkRefReturn:
        Line(v[0], v[1], v[2], v[3], v[4], v[5], MoveKind::Rapid, it.Line);
        break;
      case PathKind::pkArcCW:
      case PathKind::pkArcCCW: {
        if (v[3] == 0) break;  // no circle: the next item starts where the tool is
        // The item keeps a counter-clockwise sweep; a clockwise arc runs it backwards.
        const bool cw = it.Kind == PathKind::pkArcCW;
        const double a0 = cw ? v[5] : v[4];
        const double sweep = cw ? -(double(v[5]) - v[4]) : double(v[5]) - v[4];
        const double r = v[3];
        const double sx = v[0] + r * std::cos(a0), sy = v[1] + r * std::sin(a0);
        if (r > kLargestRadius) {
          // Distances to it would be lost in the rounding of its radius: as straight as it is.
          Line(sx, sy, v[2], v[0] + r * std::cos(a0 + sweep), v[1] + r * std::sin(a0 + sweep), v[2], MoveKind::Feed,
               it.Line);
          break;
        }
        if (!have_) {
          have_ = true;
          x0_ = x_ = static_cast<float>(sx), y0_ = y_ = static_cast<float>(sy), z0_ = z_ = v[2];
        }
        Line(x_, y_, z_, sx, sy, v[2], MoveKind::Jump, it.Line);
        arcs_.push_back({v[0], v[1], v[3], static_cast<float>(a0), static_cast<float>(sweep)});
        const double end = a0 + sweep;
        Motion m{static_cast<float>(v[0] + r * std::cos(end)), static_cast<float>(v[1] + r * std::sin(end)), v[2],
                 it.Line, static_cast<int32_t>(arcs_.size() - 1), -1, MoveKind::Feed};
        Push(m, r * std::fabs(sweep));
        break;
      }
      case PathKind::pkTaper: {
        const double z = have_ ? z_ : 0;
        tapers_.push_back({v[4] - v[0], v[5] - v[1], v[6] - v[2], v[7] - v[3]});
        Line(v[0], v[1], z, v[2], v[3], z, MoveKind::Feed, it.Line, static_cast<int32_t>(tapers_.size() - 1));
        break;
      }
      case PathKind::pkDrill:
        // Over the hole at the initial level, down to R at rapid, to the bottom at feed, back.
        Line(v[0], v[1], v[2], v[3], v[4], v[2], MoveKind::Rapid, it.Line);
        Line(v[3], v[4], v[2], v[3], v[4], v[5], MoveKind::Rapid, it.Line);
        Line(v[3], v[4], v[5], v[3], v[4], v[6], MoveKind::Feed, it.Line);
        Line(v[3], v[4], v[6], v[3], v[4], v[2], MoveKind::Rapid, it.Line);
        break;
      default:  // G92 and blocks that do not move: the next motion starts where it starts
        break;
    }
  }
}

// A straight motion; a jump first when it starts elsewhere than the chain ends. A motion of
// no length is none (both programs may have them or not).
void MotionChain::Line(double x0, double y0, double z0, double x1, double y1, double z1, MoveKind kind,
                       int32_t line, int32_t taper) {
  if (!have_) {
    have_ = true;
    x0_ = x_ = static_cast<float>(x0), y0_ = y_ = static_cast<float>(y0), z0_ = z_ = static_cast<float>(z0);
  }
  if (kind != MoveKind::Jump) {
    const double gap = std::max({std::fabs(x0 - x_), std::fabs(y0 - y_), std::fabs(z0 - z_)});
    if (gap > kJoined * (1 + std::max({std::fabs(x_), std::fabs(y_), std::fabs(z_)}) * 1e-3))
      Line(x_, y_, z_, x0, y0, z0, MoveKind::Jump, line);
  } else if (std::max({std::fabs(x1 - x_), std::fabs(y1 - y_), std::fabs(z1 - z_)}) <=
             kJoined * (1 + std::max({std::fabs(x_), std::fabs(y_), std::fabs(z_)}) * 1e-3)) {
    return;  // a jump over nothing
  }
  const float ex = static_cast<float>(x1), ey = static_cast<float>(y1), ez = static_cast<float>(z1);
  const TaperOffsets* o = taper >= 0 ? &tapers_[static_cast<size_t>(taper)] : nullptr;
  const bool offsets = o && (o->U0 != o->U1 || o->V0 != o->V1);
  // An item that does not move is none, even where the chain ends a rounding away from it.
  auto at = [&](double x, double y, double z) {
    return ex == static_cast<float>(x) && ey == static_cast<float>(y) && ez == static_cast<float>(z);
  };
  if ((at(x0, y0, z0) || at(x_, y_, z_)) && !offsets) return;
  Push({ex, ey, ez, line, -1, taper, kind}, Length3(double(ex) - x_, double(ey) - y_, double(ez) - z_));
}

void MotionChain::Push(const Motion& m, double length) {
  // NaN fails the comparison too.
  auto in = [](double v) { return std::fabs(v) <= kLargestCoordinate; };
  finite_ = finite_ && in(m.X) && in(m.Y) && in(m.Z) && std::isfinite(length) && std::isfinite(cum_.back() + length);
  if (m.Arc >= 0) {
    const ArcGeometry& a = arcs_[static_cast<size_t>(m.Arc)];
    finite_ = finite_ && in(a.Cx) && in(a.Cy) && std::isfinite(a.A0) && std::isfinite(a.Sweep);
  }
  if (m.Taper >= 0) {
    const TaperOffsets& o = tapers_[static_cast<size_t>(m.Taper)];
    finite_ = finite_ && in(o.U0) && in(o.V0) && in(o.U1) && in(o.V1);
  }
  m_.push_back(m);
  cum_.push_back(cum_.back() + length);
  x_ = m.X, y_ = m.Y, z_ = m.Z;
}

int MotionChain::Samples(int32_t i) const {
  const Motion& m = (*this)[i];
  if (m.Arc < 0) return 2;
  const double sweep = std::fabs(double(arcs_[static_cast<size_t>(m.Arc)].Sweep));
  return 2 * std::max(1, static_cast<int>(std::ceil(sweep / kArcStep - 1e-9)));
}

void MotionChain::PointAt(int32_t i, double f, Sample& s) const {
  const Motion& m = (*this)[i];
  s.Motion = i;
  s.Kind = m.Kind;
  s.S = LengthAt(i, f);
  if (m.Arc >= 0) {
    const ArcGeometry& a = arcs_[static_cast<size_t>(m.Arc)];
    const double angle = double(a.A0) + f * a.Sweep;
    s.X = a.Cx + double(a.R) * std::cos(angle);
    s.Y = a.Cy + double(a.R) * std::sin(angle);
    s.Z = m.Z;
    s.U = s.V = 0;
    return;
  }
  double x0, y0, z0;
  Start(i, x0, y0, z0);
  s.X = x0 + f * (m.X - x0);
  s.Y = y0 + f * (m.Y - y0);
  s.Z = z0 + f * (m.Z - z0);
  s.U = s.V = 0;
  if (m.Taper >= 0) {
    const TaperOffsets& o = tapers_[static_cast<size_t>(m.Taper)];
    s.U = o.U0 + f * (double(o.U1) - o.U0);
    s.V = o.V0 + f * (double(o.V1) - o.V0);
  }
}

double MotionChain::Distance(int32_t i, const Sample& x, double& t) const {
  const Motion& m = (*this)[i];
  if (m.Arc >= 0) {
    const ArcGeometry& a = arcs_[static_cast<size_t>(m.Arc)];
    const double dx = x.X - a.Cx, dy = x.Y - a.Cy;
    const double span = std::fabs(double(a.Sweep));
    const double theta = std::atan2(dy, dx);
    const double along = Turn(a.Sweep >= 0 ? theta - a.A0 : double(a.A0) - theta);
    double d;
    if (along <= span) {
      t = span > 0 ? along / span : 0;
      const double radial = std::sqrt(dx * dx + dy * dy) - a.R, dz = x.Z - m.Z;
      d = std::sqrt(radial * radial + dz * dz);
    } else {
      double x0, y0, z0;
      Start(i, x0, y0, z0);
      const double d0 = Length3(x.X - x0, x.Y - y0, x.Z - z0);
      const double d1 = Length3(x.X - m.X, x.Y - m.Y, x.Z - m.Z);
      t = d0 <= d1 ? 0 : 1;
      d = std::min(d0, d1);
    }
    return (x.U == 0 && x.V == 0) ? d : std::max(d, std::hypot(x.U, x.V));
  }
  double x0, y0, z0;
  Start(i, x0, y0, z0);
  const double ex = m.X - x0, ey = m.Y - y0, ez = m.Z - z0;
  const double px = x.X - x0, py = x.Y - y0, pz = x.Z - z0;
  const double ee = ex * ex + ey * ey + ez * ez;
  t = ee > 0 ? std::clamp((px * ex + py * ey + pz * ez) / ee, 0.0, 1.0) : 0.0;
  double u = 0, v = 0;
  if (m.Taper >= 0) {
    const TaperOffsets& o = tapers_[static_cast<size_t>(m.Taper)];
    const double eu = double(o.U1) - o.U0, ev = double(o.V1) - o.V0;
    // A taper move that only turns the upper contour: along it by the offsets.
    if (ee == 0 && eu * eu + ev * ev > 0)
      t = std::clamp(((x.U - o.U0) * eu + (x.V - o.V0) * ev) / (eu * eu + ev * ev), 0.0, 1.0);
    u = o.U0 + t * eu;
    v = o.V0 + t * ev;
  }
  const double d = Length3(px - t * ex, py - t * ey, pz - t * ez);
  if (x.U == u && x.V == v) return d;
  return std::max(d, std::hypot(x.U - u, x.V - v));
}


int32_t MotionChain::IndexAtLength(double s, int32_t& hint) const {
  const int32_t n = Size();
  int32_t i = std::clamp(hint, 0, std::max(n - 1, 0));
  // Galloping from the hint: a few steps when the length moved little.
  int32_t step = 1;
  auto at = [&](int32_t k) { return cum_[static_cast<size_t>(k)]; };
  int32_t lo, hi;
  if (at(i) <= s) {
    lo = i, hi = i + 1;
    while (hi < n && at(hi) <= s) lo = hi, hi = std::min(n, hi + (step *= 2));
  } else {
    hi = i, lo = i - 1;
    while (lo > 0 && at(lo) > s) hi = lo, lo = std::max(0, lo - (step *= 2));
    if (lo < 0) lo = 0;
  }
  // Now cum_[lo] <= s (or lo is 0) and hi is past it (or the end).
  while (hi - lo > 1) {
    const int32_t mid = lo + (hi - lo) / 2;
    if (at(mid) <= s) lo = mid;
    else hi = mid;
  }
  hint = lo;
  return std::clamp(lo, 0, std::max(n - 1, 0));
}

// Calls f(cell) for the cells a motion passes, at steps of half a cell (a query looks at
// the neighbouring cells too, so none is missed).
template <class F>
void MotionChain::ForCells(int32_t i, F&& f) const {
  const Grid& g = grid_;
  const double step = g.Cell * 0.5;
  auto cell = [&](double x, double y) {
    const auto cx = std::clamp(static_cast<int32_t>((x - g.MinX) / g.Cell), 0, g.Nx - 1);
    const auto cy = std::clamp(static_cast<int32_t>((y - g.MinY) / g.Cell), 0, g.Ny - 1);
    return cy * g.Nx + cx;
  };
  int32_t last = -1;
  int64_t n = 1;
  n = static_cast<int64_t>(std::ceil(LengthOf(i) / step));
  n = std::clamp<int64_t>(n, 1, 2 * (int64_t{g.Nx} + g.Ny));
  for (int64_t k = 0; k <= n; ++k) {
    Sample s;
    PointAt(i, static_cast<double>(k) / n, s);
    const int32_t c = cell(s.X, s.Y);
    if (c != last) f(c);
    last = c;
  }
}

void MotionChain::BuildGrid() const {
  Grid& g = grid_;
  g.Built = true;
  double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL, plane = 0;
  for (int32_t i = 0; i < Size(); ++i) {
    const Motion& m = m_[static_cast<size_t>(i)];
    double sx, sy, sz;
    Start(i, sx, sy, sz);
    double x0 = std::min<double>(sx, m.X), x1 = std::max<double>(sx, m.X);
    double y0 = std::min<double>(sy, m.Y), y1 = std::max<double>(sy, m.Y);
    if (m.Arc >= 0) {
      const ArcGeometry& a = arcs_[static_cast<size_t>(m.Arc)];
      x0 = std::min<double>(x0, a.Cx - a.R), x1 = std::max<double>(x1, a.Cx + a.R);
      y0 = std::min<double>(y0, a.Cy - a.R), y1 = std::max<double>(y1, a.Cy + a.R);
      plane += double(a.R) * std::fabs(double(a.Sweep));
    } else {
      plane += std::hypot(m.X - sx, m.Y - sy);
    }
    minX = std::min(minX, x0), maxX = std::max(maxX, x1), minY = std::min(minY, y0), maxY = std::max(maxY, y1);
  }
  const double w = std::max(maxX - minX, 1e-6), h = std::max(maxY - minY, 1e-6);
  const double cells = static_cast<double>(std::min<int64_t>(std::max<int64_t>(Size(), 1), kMaxCells));
  // About one cell per motion, but no smaller than it takes for the motions to pass a few
  // cells each on the average: long moves would fill the grid otherwise.
  g.Cell = std::max({std::sqrt(w * h / cells), std::max(w, h) / cells, plane / (2 * cells)});
  g.MinX = minX, g.MinY = minY;
  g.Nx = static_cast<int32_t>(std::min(w / g.Cell + 1, 1e7));
  g.Ny = static_cast<int32_t>(std::min(h / g.Cell + 1, 1e7));
  const size_t total = static_cast<size_t>(g.Nx) * static_cast<size_t>(g.Ny);
  std::vector<int32_t> lastIn(total, -1);
  g.Start.assign(total + 1, 0);
  for (int32_t i = 0; i < Size(); ++i) ForCells(i, [&](int32_t c) {
      const auto cell = static_cast<size_t>(c);
      if (lastIn[cell] != i) lastIn[cell] = i, ++g.Start[cell + 1];
    });
  for (size_t c = 0; c < total; ++c) g.Start[c + 1] += g.Start[c];
  g.Items.resize(static_cast<size_t>(g.Start[total]));
  std::vector<int32_t> fill(g.Start.begin(), g.Start.end() - 1);
  std::fill(lastIn.begin(), lastIn.end(), -1);
  for (int32_t i = 0; i < Size(); ++i) ForCells(i, [&](int32_t c) {
      if (lastIn[static_cast<size_t>(c)] != i)
        lastIn[static_cast<size_t>(c)] = i, g.Items[static_cast<size_t>(fill[static_cast<size_t>(c)]++)] = i;
    });
}

int32_t MotionChain::FirstNear(const Sample& x, int32_t from, double tol, double& d, double& t, int64_t& budget) const {
  if (from >= Size()) return -1;
  if (!grid_.Built) BuildGrid();
  const Grid& g = grid_;
  const int32_t reach = 1 + static_cast<int32_t>(std::min(tol / g.Cell, 8.0));
  const auto cx = static_cast<int32_t>(std::floor((x.X - g.MinX) / g.Cell));
  const auto cy = static_cast<int32_t>(std::floor((x.Y - g.MinY) / g.Cell));
  int32_t best = -1;
  for (int32_t y = std::max(cy - reach, 0); y <= std::min(cy + reach, g.Ny - 1); ++y) {
    for (int32_t xx = std::max(cx - reach, 0); xx <= std::min(cx + reach, g.Nx - 1); ++xx) {
      const size_t c = static_cast<size_t>(y) * g.Nx + xx;
      const auto first = g.Items.begin() + g.Start[c], last = g.Items.begin() + g.Start[c + 1];
      for (auto it = std::lower_bound(first, last, from); it != last && (best < 0 || *it < best); ++it) {
        if (--budget < 0) return best;
        double tk = 0;
        const double dk = Distance(*it, x, tk);
        if (dk <= tol) {
          best = *it, d = dk, t = tk;
          break;
        }
      }
    }
  }
  return best;
}

}  // namespace kelvan::tools
