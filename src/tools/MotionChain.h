#pragma once
// A path list as the chain of motions the tool makes: lines (rapid or feed), arcs at their
// height, each drill hole as its four moves, and a jump wherever an item starts elsewhere
// than the last one ended (G92, the return of G28, the height of a helical arc). The path
// comparison walks two of these.
//
// The chain is continuous, so a motion keeps only where it ends: it starts where the one
// before it ended. Arcs and taper moves keep the rest of their geometry in tables of their
// own. A million-line program makes about 1.6 million motions; they are read in order,
// again and again, so they are kept small.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "nc/PathList.h"

namespace kelvan::tools {

enum class MoveKind : uint8_t { Rapid, Feed, Jump };

struct Motion {
  float X, Y, Z;      // where it ends
  int32_t Line;
  int32_t Arc;        // index into the arcs, or -1
  int32_t Taper;      // index into the taper offsets, or -1
  MoveKind Kind;
};

// A point on a chain, with where it lies along it.
struct Sample {
  double X = 0, Y = 0, Z = 0, U = 0, V = 0;
  double S = 0;          // length along the chain
  int32_t Motion = 0;
  bool Interior = false; // inside its motion, not at an end
  MoveKind Kind = MoveKind::Rapid;
};

class MotionChain {
 public:
  MotionChain() = default;
  explicit MotionChain(const nc::PathList& path);

  bool Empty() const { return m_.empty(); }
  // Whether every coordinate is a number within a billion units, and every length a number
  // (a program can move beyond that, and then there is nothing to measure to a tolerance).
  bool Finite() const { return finite_; }
  int32_t Size() const { return static_cast<int32_t>(m_.size()); }
  const Motion& operator[](int32_t i) const { return m_[static_cast<size_t>(i)]; }
  const Motion& Front() const { return m_.front(); }
  const Motion& Back() const { return m_.back(); }

  // Points taken on motion i after its start: 2 on a line (middle, end), two per quarter
  // turn or less on an arc.
  int Samples(int32_t i) const;
  // The point at fraction f of motion i.
  void PointAt(int32_t i, double f, Sample& s) const;
  // Distance from the point to motion i (its upper offsets included), and the fraction t of
  // the motion where the nearest point lies.
  double Distance(int32_t i, const Sample& x, double& t) const;
  // A cheap bound below that distance (from the box around the motion).
#if defined(__GNUC__)
  __attribute__((always_inline))
#endif
  double DistanceAtLeast(int32_t i, const Sample& x) const {
    const Motion& m = m_[static_cast<size_t>(i)];
    double x0, x1, y0, y1, z0, z1;
    if (m.Arc >= 0) {
      const ArcGeometry& a = arcs_[static_cast<size_t>(m.Arc)];
      x0 = a.Cx - a.R, x1 = a.Cx + a.R, y0 = a.Cy - a.R, y1 = a.Cy + a.R, z0 = z1 = m.Z;
    } else {
      double sx, sy, sz;
      Start(i, sx, sy, sz);
      x0 = std::min<double>(sx, m.X), x1 = std::max<double>(sx, m.X);
      y0 = std::min<double>(sy, m.Y), y1 = std::max<double>(sy, m.Y);
      z0 = std::min<double>(sz, m.Z), z1 = std::max<double>(sz, m.Z);
    }
    const double dx = std::max(std::max(x0 - x.X, x.X - x1), 0.0);
    const double dy = std::max(std::max(y0 - x.Y, x.Y - y1), 0.0);
    const double dz = std::max(std::max(z0 - x.Z, x.Z - z1), 0.0);
    return std::max(std::max(dx, dy), dz);
  }
  double LengthAt(int32_t i, double t) const {
    return cum_[static_cast<size_t>(i)] + t * (cum_[static_cast<size_t>(i) + 1] - cum_[static_cast<size_t>(i)]);
  }
  double LengthOf(int32_t i) const { return cum_[static_cast<size_t>(i) + 1] - cum_[static_cast<size_t>(i)]; }
  // The motion in which the length along the chain falls (clamped to the chain). The search
  // starts at `hint` and leaves the result there: walks ask near where they asked last.
  int32_t IndexAtLength(double s, int32_t& hint) const;
  // The first motion from `from` on within tol of the point, or -1 (d, t of it). Each
  // motion looked at costs one of the budget.
  int32_t FirstNear(const Sample& x, int32_t from, double tol, double& d, double& t, int64_t& budget) const;

 private:
  struct ArcGeometry {
    float Cx, Cy, R, A0, Sweep;  // centre, radius, start angle, signed sweep (+ CCW)
  };
  struct TaperOffsets {
    float U0, V0, U1, V1;        // upper contour offsets at start and end
  };

  // Where motion i starts.
  void Start(int32_t i, double& x, double& y, double& z) const {
    if (i == 0) {
      x = x0_, y = y0_, z = z0_;
      return;
    }
    const Motion& p = m_[static_cast<size_t>(i) - 1];
    x = p.X, y = p.Y, z = p.Z;
  }
  void Line(double x0, double y0, double z0, double x1, double y1, double z1, MoveKind kind, int32_t line,
            int32_t taper = -1);
  void Push(const Motion& m, double length);
  void BuildGrid() const;
  template <class F>
  void ForCells(int32_t i, F&& f) const;

  std::vector<Motion> m_;
  std::vector<ArcGeometry> arcs_;
  std::vector<TaperOffsets> tapers_;
  std::vector<double> cum_{0.0};
  double x0_ = 0, y0_ = 0, z0_ = 0;  // where the first motion starts
  bool have_ = false;
  bool finite_ = true;
  double x_ = 0, y_ = 0, z_ = 0;     // where the last item ended, while building

  // A grid over the plane for the search far ahead, built when it is first needed.
  struct Grid {
    bool Built = false;
    double MinX = 0, MinY = 0, Cell = 1;
    int32_t Nx = 1, Ny = 1;
    std::vector<int32_t> Start, Items;  // motions of cell c: Items[Start[c] .. Start[c+1])
  };
  mutable Grid grid_;
};

// Walks over the points of a chain in order: the start of the first motion, then the
// points of each motion.
class Sampler {
 public:
  explicit Sampler(const MotionChain& c) : c_(&c) {}
  bool Next(Sample& s) {
    if (!started_) {
      started_ = true;
      if (c_->Empty()) return false;
      c_->PointAt(0, 0, s);
      s.Interior = false;
      n_ = c_->Samples(0);
      return true;
    }
    if (i_ >= c_->Size()) return false;
    if (++j_ > n_) {
      if (++i_ >= c_->Size()) return false;
      j_ = 1;
      n_ = c_->Samples(i_);
    }
    c_->PointAt(i_, static_cast<double>(j_) / n_, s);
    s.Interior = j_ < n_;
    return true;
  }

 private:
  const MotionChain* c_;
  bool started_ = false;
  int32_t i_ = 0;
  int j_ = 0, n_ = 0;
};

struct CompareOptions;
struct CompareResult;
CompareResult CompareChains(const MotionChain& a, const MotionChain& b, const CompareOptions& options);

}  // namespace kelvan::tools
