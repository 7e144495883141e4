#include "tools/ComparePaths.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>

#include "nc/Geometry.h"
#include "nc/RowMarks.h"
#include "nc/TEasyCalc.h"
#include "tools/MotionChain.h"
#include "tools/Restart.h"

namespace kelvan::tools {

namespace {

// Motions searched ahead of the pointer (at first, and when nothing near is found), behind
// it, and around the place the length along the path points to.
constexpr int32_t kAhead = 16;
constexpr int32_t kFirst = 4;
constexpr int32_t kBehind = 4;
constexpr int32_t kBehindByLength = 2;
constexpr int32_t kAheadByLength = 5;
// A point within this (or 100 tolerances) of one motion of the other path, and that much
// nearer it than any other, runs beside it; the pointer follows.
constexpr double kFar = 0.01;
// A point farther than this (or 1000 tolerances) from the other path near the pointer
// looks for it further on: the other program may have more on its way.
constexpr double kLost = 1.0;
// Points after a far match that must agree too before the pointer jumps there.
constexpr int kConfirm = 2;
// Points in a row that must agree again before a stretch of differing ones ends.
constexpr int kSettle = 3;

struct Hit {
  double D = std::numeric_limits<double>::infinity();
  int32_t K = -1;
  double T = 0;
};

// The differing points of one walk, gathered into stretches.
struct Gather {
  bool Open = false;
  int32_t FirstP = 0, LastP = 0;    // lines of this program
  int32_t After = -1;               // the other path's motion the last agreeing point lay on
  int32_t NearLo = 0, NearHi = 0;   // the other path's motions nearest the points
  double Largest = 0;
  bool RapidFeed = false;
  int Agreeing = 0;                 // points in a row that agree again
  int32_t AgreesAt = 0;             // the other path's motion where the first of them lay
};

class Walk {
 public:
  Walk(const MotionChain& p, const MotionChain& q, double tol, bool aIsP, CompareResult& out,
       std::vector<PathDifference>& stretches)
      : p_(p), q_(q), tol_(tol), far_(std::max(100 * tol, kFar)), lost_(std::max(1000 * tol, kLost)), aIsP_(aIsP),
        out_(out), stretches_(stretches) {}

  void Run() {
    if (p_.Empty()) return;
    if (q_.Empty()) {
      // Nothing to agree with: the whole path differs, by as far as it reaches from its start.
      Sampler s(p_);
      Sample x, first;
      double largest = 0;
      s.Next(first);
      while (s.Next(x)) largest = std::max(largest, std::hypot(x.X - first.X, x.Y - first.Y, x.Z - first.Z));
      Emit(p_.Front().Line, p_.Back().Line, -1, -1, largest, false);
      Record(largest, p_.Front().Line, -1);
      return;
    }
    Sampler s(p_);
    Sample x;
    while (s.Next(x)) Step(x, s);
    End(run_.Agreeing > 0 ? run_.AgreesAt : q_.Size());
  }

 private:
  struct Found {
    Hit Match;           // within the tolerance, where the pointer goes
    Hit Best;            // the nearest of the motions that may be the point's place
    Hit Second;          // the next nearest
    double Expected = 0; // the length along the other path where the point is expected
    bool SameKind = false;    // a motion where the point is expected is of its kind
    bool Trusted = true;      // the match tells where the point lies along the other path
    bool Judged = true;       // it is the point's place: rapid against feed counts there
    bool Placed = false;      // the match lies where the point is expected
  };

  struct Scanned {
    Hit H;
    double Disagreement;  // its length along the other path against the expected one
    bool Back;            // behind the pointer
  };

  void Step(const Sample& x, const Sampler& s) {
    Found f;
    f.Expected = x.S + offset_;
    const int32_t n = q_.Size();
    // Most points lie on a motion at or just after the pointer, where they are expected.
    scanned_.clear();
    covered_ = 0;
    Cover(x, jm_, std::min(n, jm_ + kFirst), f, true);
    if (f.Match.K < 0) {
      // Else what is near: a little way back (a motion of the other program may pass the
      // point again soon after), and where the same length along the other path lies;
      // when nothing there is near either (or the point may lie on more than one), further
      // ahead.
      Cover(x, std::max(0, jm_ - kBehind), jm_, f, false);
      const int32_t j = q_.IndexAtLength(f.Expected, lengthHint_);
      Cover(x, std::max(0, j - kBehindByLength), std::min(n, j + kAheadByLength), f, false);
      if (f.Best.K < 0 || f.Best.D > lost_ || !scanned_.empty()) Cover(x, jm_, std::min(n, jm_ + kAhead), f, false);
      Choose(x, s, f);
    }
    if (f.Best.K < 0) {
      // The pointer has passed the end: measure against the last motion.
      f.Best.K = n - 1;
      f.Best.D = q_.Distance(f.Best.K, x, f.Best.T);
    }
    if (f.Match.K < 0 && f.Best.D > lost_ && Resync(x, s, f.Match)) f.SameKind = Alike(x, f.Match.K);
    if (f.Match.K < 0) Follow(x, f);
    if (f.Match.K >= 0) {
      Agreed(x, f);
      return;
    }
    if (f.Best.D <= tol_) {
      // On the other path near the pointer, but not where the pointer may go: agrees, and
      // the pointer stays.
      Record(f.Best.D, p_[x.Motion].Line, q_[f.Best.K].Line);
      Close(f.Best.K);
      return;
    }
    Differs(x, f.Best, false);
  }

  // A point that lies off the other path, but plainly beside one motion ahead (the paths
  // run side by side, as after a rotation): the pointer and the length follow it. Not
  // where another motion lies about as near (a drilled hole, down and up the same line).
  void Follow(const Sample& x, const Found& f) {
    if (f.Best.K < jm_ || f.Best.D > far_ || f.Second.D <= f.Best.D + far_) return;
    const double along = q_.LengthAt(f.Best.K, f.Best.T);
    if (std::fabs(along - f.Expected) > Near(x, f.Best.K)) return;
    jm_ = f.Best.K;
    lastT_ = f.Best.T;
    offset_ = along - x.S;
  }

  // Both rapid, or both feed (a jump is either).
  bool Alike(const Sample& x, int32_t k) const {
    const MoveKind kind = q_[k].Kind;
    return kind == x.Kind || kind == MoveKind::Jump || x.Kind == MoveKind::Jump;
  }

  static void Nearest(Found& f, const Hit& h) {
    if (h.K == f.Best.K) return;
    if (h.D < f.Best.D) {
      f.Second = f.Best;
      f.Best = h;
    } else if (h.D < f.Second.D) {
      f.Second = h;
    }
  }

  // Ten tolerances along the path: where points that agree may lie apart in length.
  double Room() const { return 10 * tol_ + 1e-4; }
  // How far in length a match on motion k may lie from where the point is expected and be
  // its place (the expectation is set again at every such match): the room, but less than
  // either motion is long, or short motions going back and forth would all be it.
  double Slack(const Sample& x, int32_t k) const {
    return std::min(Room(), 0.25 * std::min(p_.LengthOf(x.Motion), q_.LengthOf(k)) + 1e-9);
  }
  // How far in length a motion may lie from where it is expected and still be near it:
  // within the two motions' lengths.
  double Near(const Sample& x, int32_t k) const { return Room() + p_.LengthOf(x.Motion) + q_.LengthOf(k); }

  // Scan over from..to, leaving out what this point has been scanned against already.
  void Cover(const Sample& x, int32_t from, int32_t to, Found& f, bool forward) {
    for (int i = 0; i < covered_; ++i) {
      const auto [a, b] = cover_[i];
      if (from >= a && from < b) from = b;
      if (to > a && to <= b) to = a;
    }
    if (from >= to) return;
    for (int i = 0; i < covered_; ++i) {
      const auto [a, b] = cover_[i];
      if (a > from && b < to) {
        // A scanned stretch inside: the parts on either side.
        Cover(x, from, a, f, forward);
        Cover(x, b, to, f, forward);
        return;
      }
    }
    if (covered_ < kCovers) cover_[covered_++] = {from, to};
    Scan(x, from, to, f, forward);
  }

  // The motions from..to: the nearest two, and those within the tolerance that may be the
  // point's place. Over the first motions ahead (`forward`), a match on the point right
  // where it is expected ends the scan: that is how most points of agreeing programs go.
  void Scan(const Sample& x, int32_t from, int32_t to, Found& f, bool forward) {
    // Farther than the nearest by more than `far` a motion is neither the point's place nor
    // a second one near it.
    double bound = std::max(tol_, std::min(f.Second.D, f.Best.D + far_));
    for (int32_t k = from; k < to; ++k) {
      if (q_.DistanceAtLeast(k, x) > bound) continue;
      double t = 0;
      const double d = q_.Distance(k, x, t);
      if (d > tol_) {
        Nearest(f, {d, k, t});
        bound = std::max(tol_, std::min(f.Second.D, f.Best.D + far_));
        continue;
      }
      const double disagreement = q_.LengthAt(k, t) - f.Expected;
      if (forward && d <= 0.1 * tol_ && std::fabs(disagreement) <= Slack(x, k) && scanned_.empty() && Alike(x, k)) {
        f.Match = f.Best = {d, k, t};
        f.Placed = f.SameKind = true;
        return;
      }
      // Behind the pointer only near where the point is expected, back along the pointer's
      // motion only right there: else the point passes again where the other program has
      // been, which is no agreement, and no measure of it either.
      const bool back = k < jm_ || (k == jm_ && matched_ && t < lastT_ - 1e-9);
      if (back && std::fabs(disagreement) > (k < jm_ ? Near(x, k) : Slack(x, k))) continue;
      Nearest(f, {d, k, t});
      bound = std::max(tol_, std::min(f.Second.D, f.Best.D + far_));
      scanned_.push_back({{d, k, t}, disagreement, back});
    }
  }

  // Where the pointer goes: where the point is expected; else the place ahead, near in
  // length, that the point lies on most nearly; else a place further ahead, when the points
  // after it agree there too (the other program has more on its way). Else the other path
  // only passes here (or the point passes again where it has been): the pointer stays.
  void Choose(const Sample& x, const Sampler& s, Found& f) {
    const Scanned* placed = nullptr;
    const Scanned* near = nullptr;
    for (const Scanned& c : scanned_) {
      const double off = std::fabs(c.Disagreement);
      if (off <= Slack(x, c.H.K) && (!placed || off < std::fabs(placed->Disagreement))) placed = &c;
      // Of those ahead, the one the point lies on most nearly (then the one closest in
      // length): where motions cross or run back and forth, the point's own.
      if (!c.Back && c.Disagreement <= Near(x, c.H.K) &&
          (!near || c.H.D < near->H.D || (c.H.D == near->H.D && off < std::fabs(near->Disagreement))))
        near = &c;
    }
    if (placed) {
      f.Match = placed->H;
      f.Placed = true;
      // Rapid against feed is judged where the point is expected: any motion there alike,
      // on the scale of the tolerance (motions shorter than that are one place).
      for (const Scanned& c : scanned_) f.SameKind |= std::fabs(c.Disagreement) <= Room() && Alike(x, c.H.K);
      return;
    }
    if (near) {
      f.Match = near->H;
      // Where the point lies on it, the length along the other path follows; a point only
      // near it says too little. Either way it may be a crossing: no rapid against feed.
      f.Trusted = near->H.D <= 0.1 * tol_;
      f.Judged = false;
      return;
    }
    std::sort(scanned_.begin(), scanned_.end(), [](const Scanned& a, const Scanned& b) { return a.H.K < b.H.K; });
    for (const Scanned& c : scanned_) {
      if (!c.Back && Confirmed(s, c.H.K, c.Disagreement + offset_)) {
        f.Match = c.H;
        f.SameKind = Alike(x, c.H.K);
        return;
      }
    }
  }

  // Whether the points after the current one agree at or just after motion k, where the
  // match puts them along the other path.
  bool Confirmed(const Sampler& s, int32_t k, double offset) const {
    Sampler ahead = s;
    Sample y;
    for (int i = 0; i < kConfirm && ahead.Next(y); ++i) {
      bool near = false;
      for (int32_t j = std::max(0, k - kBehind); j < std::min(q_.Size(), k + kAhead) && !near; ++j) {
        double t = 0;
        near = q_.Distance(j, y, t) <= tol_ && std::fabs(q_.LengthAt(j, t) - (y.S + offset)) <= Near(y, j);
      }
      if (!near) return false;
    }
    return true;
  }

  void Agreed(const Sample& x, const Found& f) {
    const Hit& h = f.Match;
    // Rapid against feed in the middle of a motion (at its ends the neighbours meet), where
    // the match is the point's place and not a crossing.
    const bool kindDiffers = x.Interior && f.Judged && !f.SameKind;
    jm_ = h.K;
    if (f.Trusted) offset_ = q_.LengthAt(h.K, h.T) - x.S;
    lastT_ = h.T;
    matched_ = true;
    Record(h.D, p_[x.Motion].Line, q_[h.K].Line);
    if (kindDiffers) {
      Differs(x, h, true);
      return;
    }
    Close(h.K);
    misses_ = 0;
  }

  void Differs(const Sample& x, const Hit& h, bool kind) {
    Record(h.D, p_[x.Motion].Line, q_[h.K].Line);
    const int32_t line = p_[x.Motion].Line;
    if (!run_.Open) {
      run_ = {};
      run_.Open = true;
      run_.FirstP = run_.LastP = line;
      run_.After = matched_ ? jm_ : -1;
      run_.NearLo = run_.NearHi = h.K;
    }
    run_.Agreeing = 0;
    run_.FirstP = std::min(run_.FirstP, line);
    run_.LastP = std::max(run_.LastP, line);
    run_.NearLo = std::min(run_.NearLo, h.K);
    run_.NearHi = std::max(run_.NearHi, h.K);
    run_.Largest = std::max(run_.Largest, h.D);
    run_.RapidFeed |= kind;
    if (kind) {
      // A rapid/feed difference lies where it is: the point itself agrees.
      Close(h.K);
    }
  }

  // A point agrees again, on the other path's motion k: after a few in a row the open
  // stretch ends (where the first of them lay), so that a point that only happens to lie
  // on the other path does not cut a stretch in two.
  void Close(int32_t k) {
    if (!run_.Open) return;
    if (run_.Agreeing++ == 0) run_.AgreesAt = k;
    if (run_.Agreeing >= kSettle) End(run_.AgreesAt);
  }

  // Ends the open stretch at the other path's motion k. Its lines there: those of every
  // motion between the last agreeing point and k (what the other program has more), and of
  // the motions nearest the differing points, as far as they lie between those two.
  void End(int32_t k) {
    if (!run_.Open) return;
    run_.Open = false;
    const int32_t n = q_.Size();
    const int32_t from = std::max(run_.After, 0), to = std::min(k, n - 1);
    int32_t first = std::min(std::clamp(run_.NearLo, from, to), std::max(run_.After + 1, 0));
    int32_t last = std::max(std::clamp(run_.NearHi, from, to), std::min(k, n) - 1);
    first = std::clamp(first, 0, n - 1);
    last = std::clamp(last, first, n - 1);
    int32_t lo = q_[first].Line, hi = lo;
    for (int32_t j = first; j <= last; ++j) lo = std::min(lo, q_[j].Line), hi = std::max(hi, q_[j].Line);
    Emit(run_.FirstP, run_.LastP, lo, hi, run_.Largest, run_.RapidFeed);
  }

  // After a miss, a match further on (the other program has more on its way), taken when the
  // next points agree there too. Tried at the 1st, 2nd, 4th, 8th... miss in a row.
  bool Resync(const Sample& x, const Sampler& s, Hit& h) {
    ++misses_;
    if ((misses_ & (misses_ - 1)) != 0 || searchBudget_ <= 0) return false;
    double d = 0, t = 0;
    const int32_t k = q_.FirstNear(x, jm_ + 1, tol_, d, t, searchBudget_);
    if (k < 0 || !Confirmed(s, k, q_.LengthAt(k, t) - x.S)) return false;
    h = {d, k, t};
    return true;
  }

  void Record(double d, int32_t lineP, int32_t lineQ) {
    if (d <= out_.Largest && out_.LineA >= 0) return;
    out_.Largest = d;
    out_.LineA = aIsP_ ? lineP : lineQ;
    out_.LineB = aIsP_ ? lineQ : lineP;
  }

  void Emit(int32_t p0, int32_t p1, int32_t q0, int32_t q1, double largest, bool kind) {
    PathDifference d;
    if (aIsP_) d = {p0, p1, q0, q1, largest, kind};
    else d = {q0, q1, p0, p1, largest, kind};
    stretches_.push_back(d);
  }

  const MotionChain& p_;
  const MotionChain& q_;
  const double tol_;
  const double far_;   // a point within this of one motion, and this nearer it than others, is beside it
  const double lost_;  // a point this far from the other path near the pointer is lost there
  const bool aIsP_;
  CompareResult& out_;
  std::vector<PathDifference>& stretches_;
  int32_t jm_ = 0;       // the motion of q the last agreeing point lay on
  double lastT_ = 0;     // and where on it
  bool matched_ = false;
  double offset_ = 0;    // length along q minus length along p at that point
  int64_t misses_ = 0;
  int32_t lengthHint_ = 0;  // where the last search by length ended
  // Motions the searches far ahead may still look at: they stay a fraction of the walk.
  int64_t searchBudget_ = 32 * (int64_t{q_.Size()} + 1024);
  std::vector<Scanned> scanned_;  // the matches one point found
  // The stretches of motions the point was scanned against (a few; more are scanned again).
  static constexpr int kCovers = 8;
  std::pair<int32_t, int32_t> cover_[kCovers];
  int covered_ = 0;
  Gather run_;
};

bool Touch(int32_t a0, int32_t a1, int32_t b0, int32_t b1) { return a0 <= b1 + 1 && b0 <= a1 + 1; }

// The stretches of both walks, those that meet in both programs joined, in A's order.
std::vector<PathDifference> Merge(std::vector<PathDifference> all) {
  std::sort(all.begin(), all.end(), [](const PathDifference& x, const PathDifference& y) {
    return x.FirstLineA != y.FirstLineA ? x.FirstLineA < y.FirstLineA : x.FirstLineB < y.FirstLineB;
  });
  std::vector<PathDifference> out;
  for (const PathDifference& d : all) {
    bool joined = false;
    // A stretch meets one of the last few (both walks report the same places).
    for (size_t i = out.size(); i-- > 0 && i + 4 >= out.size();) {
      PathDifference& o = out[i];
      const bool noA = d.FirstLineA < 0 || o.FirstLineA < 0;
      const bool noB = d.FirstLineB < 0 || o.FirstLineB < 0;
      if ((noA || Touch(o.FirstLineA, o.LastLineA, d.FirstLineA, d.LastLineA)) &&
          (noB || Touch(o.FirstLineB, o.LastLineB, d.FirstLineB, d.LastLineB))) {
        if (!noA) o.FirstLineA = std::min(o.FirstLineA, d.FirstLineA), o.LastLineA = std::max(o.LastLineA, d.LastLineA);
        if (!noB) o.FirstLineB = std::min(o.FirstLineB, d.FirstLineB), o.LastLineB = std::max(o.LastLineB, d.LastLineB);
        o.Largest = std::max(o.Largest, d.Largest);
        o.RapidFeed |= d.RapidFeed;
        joined = true;
        break;
      }
    }
    if (!joined) out.push_back(d);
  }
  return out;
}

struct Analysed {
  explicit Analysed(int32_t capacity) : Path(capacity) {}
  nc::TEasyCalc Calc;
  nc::PathList Path;
  nc::MachineState State;
  nc::RowMarks Marks;
  nc::AnalysisResult Result;
  MotionChain Chain;
  std::exception_ptr Error;
  void Run(const nc::LineSource& lines, const nc::AnalyseOptions& options) {
    try {
      Result = nc::AnalyseProgram(lines, options, Calc, Path, State, Marks);
      if (Result.Ok() && Path.Count < Path.Capacity) Chain = MotionChain(Path);
    } catch (...) {
      Error = std::current_exception();
    }
  }
};

}  // namespace

CompareResult ComparePaths(const nc::PathList& a, const nc::PathList& b, const CompareOptions& options) {
  return CompareChains(MotionChain(a), MotionChain(b), options);
}

CompareResult CompareChains(const MotionChain& a, const MotionChain& b, const CompareOptions& options) {
  CompareResult r;
  if (!a.Finite() || !b.Finite()) {
    // A path beyond the range of numbers: nothing of it can be measured, all of it differs.
    r.Largest = std::numeric_limits<double>::infinity();
    r.LineA = a.Empty() ? -1 : a.Front().Line;
    r.LineB = b.Empty() ? -1 : b.Front().Line;
    r.Stretches.push_back({r.LineA, a.Empty() ? -1 : a.Back().Line, r.LineB, b.Empty() ? -1 : b.Back().Line,
                           r.Largest, false});
    return r;
  }
  const double tol = std::max(options.Tolerance, 0.0);
  // The two walks share nothing but what they read: the second runs on a thread of its own.
  CompareResult other;
  std::vector<PathDifference> stretches, otherStretches;
  Walk back(b, a, tol, false, other, otherStretches);
  std::thread second;
  try {
    second = std::thread([&back] { back.Run(); });
  } catch (const std::system_error&) {
    back.Run();
  }
  Walk(a, b, tol, true, r, stretches).Run();
  if (second.joinable()) second.join();
  if (other.LineA >= 0 && (r.LineA < 0 || other.Largest > r.Largest)) {
    r.Largest = other.Largest;
    r.LineA = other.LineA;
    r.LineB = other.LineB;
  }
  stretches.insert(stretches.end(), otherStretches.begin(), otherStretches.end());
  r.Stretches = Merge(std::move(stretches));
  return r;
}

ProgramComparison ComparePrograms(const nc::LineSource& a, const nc::AnalyseOptions& optionsA,
                                  const nc::LineSource& b, const nc::AnalyseOptions& optionsB, int32_t capacity,
                                  const CompareOptions& compare) {
  auto x = std::make_unique<Analysed>(PathCapacityFor(a.LineCount(), capacity));
  auto y = std::make_unique<Analysed>(PathCapacityFor(b.LineCount(), capacity));
  std::thread second;
  try {
    second = std::thread([&] { y->Run(b, optionsB); });
  } catch (const std::system_error&) {
    y->Run(b, optionsB);
  }
  x->Run(a, optionsA);
  if (second.joinable()) second.join();
  if (x->Error) std::rethrow_exception(x->Error);
  if (y->Error) std::rethrow_exception(y->Error);
  ProgramComparison c;
  for (int i = 0; i < 2; ++i) {
    const Analysed& z = i == 0 ? *x : *y;
    if (!z.Result.Ok() || z.Path.Count >= z.Path.Capacity || !z.Chain.Finite()) {
      c.Failed = i + 1;
      c.Error = z.Result;
      c.ListFull = z.Result.Ok() && z.Path.Count >= z.Path.Capacity;
      c.OutOfRange = z.Result.Ok() && !c.ListFull;
      return c;
    }
  }
  c.Result = CompareChains(x->Chain, y->Chain, compare);
  return c;
}

}  // namespace kelvan::tools
