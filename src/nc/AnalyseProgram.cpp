#include "nc/AnalyseProgram.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "nc/FindProgramLine.h"
#include "nc/Geometry.h"
#include "nc/LineSource.h"
#include "nc/PathList.h"
#include "nc/RowMarks.h"
#include "nc/TEasyCalc.h"
#include "nc/TokenizeBlock.h"

namespace kelvan::nc {

namespace {

// A full circle is kept just short of a whole turn so that its sweep stays ordered.
constexpr double kFullCircleSweep = TwoPi - 0.01;

// How an analysis goes on after a block.
enum class Flow { Next, End, Fail };

// A box of points, empty until the first.
struct Box {
  double MinX = 0, MinY = 0, MinZ = 0, MaxX = 0, MaxY = 0, MaxZ = 0;
  bool Empty = true;
  void Add(double x, double y, double z) {
    if (Empty) {
      MinX = MaxX = x;
      MinY = MaxY = y;
      MinZ = MaxZ = z;
      Empty = false;
      return;
    }
    MinX = std::min(MinX, x), MaxX = std::max(MaxX, x);
    MinY = std::min(MinY, y), MaxY = std::max(MaxY, y);
    MinZ = std::min(MinZ, z), MaxZ = std::max(MaxZ, z);
  }
};

// Everything the analysis of the next block depends on: a subprogram pass that starts
// from the same inputs does the same again.
struct Inputs {
  double X = 0, Y = 0, Z = 0;
  bool Absolute = true, RangeArmed = false;
  double PrevU = 0, PrevV = 0;
  double WX = 0, WY = 0, WZ = 0, WU = 0, WV = 0, WP = 0, WO = 0;
  int32_t MotionMode = 0, CycleMode = 80;
  double Feed = 0, ToolRadius = 0, WorkHeight = 0, CycleRLevel = 0, CycleBottom = 0;
  uint64_t CalcChanges = 0;

  // Equal but for the position and the cycle levels, which an incremental pass moves.
  bool SameBesidesPosition(const Inputs& o) const {
    return Absolute == o.Absolute && RangeArmed == o.RangeArmed && PrevU == o.PrevU && PrevV == o.PrevV &&
           WX == o.WX && WY == o.WY && WZ == o.WZ && WU == o.WU && WV == o.WV && WP == o.WP && WO == o.WO &&
           MotionMode == o.MotionMode && CycleMode == o.CycleMode && Feed == o.Feed &&
           ToolRadius == o.ToolRadius && WorkHeight == o.WorkHeight && CalcChanges == o.CalcChanges;
  }
};

// What a pass changed of the position and the cycle levels.
struct Delta {
  double X = 0, Y = 0, Z = 0, R = 0, Bottom = 0;
  static Delta Between(const Inputs& from, const Inputs& to) {
    return {to.X - from.X, to.Y - from.Y, to.Z - from.Z, to.CycleRLevel - from.CycleRLevel,
            to.CycleBottom - from.CycleBottom};
  }
  bool Zero() const { return X == 0 && Y == 0 && Z == 0 && R == 0 && Bottom == 0; }
  // Equal but for the rounding of the differences.
  bool Near(const Delta& o) const {
    auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-9 * (1 + std::fabs(a)); };
    return near(X, o.X) && near(Y, o.Y) && near(Z, o.Z) && near(R, o.R) && near(Bottom, o.Bottom);
  }
};

// One pass of a called subprogram: what it started from and what it did, so that passes
// whose items would all be dropped can be settled without running them.
struct Pass {
  Inputs Start;
  int32_t CountAtStart = 0;  // path items stored before the pass
  Box Range;                 // the points the pass added to the machining range
  double MaxCutZ = -HUGE_VAL;
  bool HasDelta = false;     // the pass before moved by Moved and changed nothing else
  Delta Moved;
};

class Analyser {
 public:
  Analyser(const LineSource& lines, const AnalyseOptions& options, TEasyCalc& calc, PathList& path,
           MachineState& state, RowMarks& marks)
      : lines_(lines), opt_(options), calc_(calc), path_(path), st_(state), marks_(marks),
        finder_(lines, options.Tokenize, calc) {}

  AnalysisResult Run();

 private:
  // Working values of one block.
  struct Block {
    bool x = false, y = false, z = false, i = false, j = false, k = false, l = false, r = false, uv = false;
    double I = 0, J = 0, K = 0, L = 0, R = 0;
    bool cycleCodeSeen = false;
    bool callPending = false;
  };

  Flow AnalyseLine();
  Flow WordLoop();
  Flow ApplyM(int m);
  Flow MakeCall();
  Flow Move();
  void SetPosition();
  void ReferenceReturn();
  void CycleBlock();
  void HoleRow();
  Flow Arc(double tx, double ty, double tz);

  Inputs InputsNow() const;
  void StartPass(Pass& pass);
  bool SettlePasses(SubFrame& frame, Pass& pass);
  // The machining range and the highest cut Z, through the passes being watched.
  void Range(double x, double y, double z) {
    UpdateRange(st_, x, y, z);
    for (int32_t d = 1; d <= st_.SubDepth; ++d) passes_[d].Range.Add(x, y, z);
  }
  void CutZ(double z) {
    if (st_.MaxCutZ < z) st_.MaxCutZ = z;
    for (int32_t d = 1; d <= st_.SubDepth; ++d) passes_[d].MaxCutZ = std::max(passes_[d].MaxCutZ, z);
  }

  void Add(PathKind kind, double v0 = 0, double v1 = 0, double v2 = 0, double v3 = 0,
           double v4 = 0, double v5 = 0, double v6 = 0, double v7 = 0) {
    const float v[8] = {static_cast<float>(v0), static_cast<float>(v1), static_cast<float>(v2),
                        static_cast<float>(v3), static_cast<float>(v4), static_cast<float>(v5),
                        static_cast<float>(v6), static_cast<float>(v7)};
    AddPathItem(path_, st_.Feed, line_, kind, v);
  }
  void AddDrill(double holeX, double holeY) {
    Add(PathKind::pkDrill, x_, y_, z_, holeX, holeY, st_.CycleRLevel, st_.CycleBottom, st_.ToolRadius);
  }
  // A fault belongs to the block that raised it, also when an M99 earlier in the block has
  // moved the current line away: the caret goes to that block and its column.
  Flow Fail(int code, int32_t column) {
    result_ = {code, blockLine_, column};
    return Flow::Fail;
  }
  // Faults of a call point at the line's first "P".
  int32_t ColumnOfP() const {
    const size_t p = text_.find('P');
    return p == std::string_view::npos ? 0 : static_cast<int32_t>(p);
  }
  bool ListFull() const { return path_.Count >= path_.Capacity; }

  const LineSource& lines_;
  const AnalyseOptions& opt_;
  TEasyCalc& calc_;
  PathList& path_;
  MachineState& st_;
  RowMarks& marks_;
  ProgramLineFinder finder_;

  AnalysisResult result_;
  int32_t line_ = 0;
  int32_t blockLine_ = 0;  // the line of the block being analysed
  std::string_view text_;
  NcWordTable words_;
  TokenizeError error_;
  BlockAttributes attrs_;
  Block b_;

  double x_ = 0, y_ = 0, z_ = 0;  // the tool position after the previous block
  bool absolute_ = true;
  bool rangeArmed_ = false;       // whether G00 end points count for the machining range
  double prevU_ = 0, prevV_ = 0;  // offsets of the last taper move
  // Last values read; they keep their value across blocks.
  double wX_ = 0, wY_ = 0, wZ_ = 0, wU_ = 0, wV_ = 0, wP_ = 0, wO_ = 0;
  Pass passes_[MaxSubDepth + 1];  // the pass running at each depth, 1..10
};

AnalysisResult Analyser::Run() {
  st_.ResetForAnalysis(opt_.WorkHeight);
  st_.ValueUnit = opt_.Tokenize.ValueUnit;
  st_.AtcHeight = opt_.AtcHeight;
  path_.Count = 0;
  marks_.Reset(lines_.LineCount());
  z_ = st_.AtcHeight;
  const int64_t maxBlocks =
      opt_.BlockLimit > 0 ? opt_.BlockLimit : MaxBlocksAnalysed(lines_.LineCount(), path_.Capacity);
  int64_t blocks = 0;
  for (line_ = 0; line_ < lines_.LineCount(); ++line_) {
    // A program that would run longer than the bound is cut here, and says so: what
    // follows was not analysed.
    if (++blocks > maxBlocks) {
      blockLine_ = line_;
      Fail(ErrAnalysisCut, 0);
      return result_;
    }
    const Flow f = AnalyseLine();
    if (f == Flow::Fail) return result_;
    if (f == Flow::End) break;
  }
  return AnalysisResult{};
}

Flow Analyser::AnalyseLine() {
  blockLine_ = line_;
  b_ = Block{};
  text_ = lines_.Line(line_);
  TokenizeBlock(text_, opt_.Tokenize, calc_, st_, words_, error_, attrs_);
  if (error_.Failed) return Fail(ErrSyntax, error_.Column);
  if (attrs_.Has(BlockAttr::BlockSkip)) {
    Add(PathKind::pkNone);
    if (opt_.Tokenize.BlockSkipOn) {
      marks_.Set(line_, MarkBlockSkip);
      return Flow::Next;
    }
  }
  if (attrs_.Has(BlockAttr::PercentLine) || attrs_.Has(BlockAttr::CommentLine) ||
      attrs_.Has(BlockAttr::EmptyLine)) {
    const bool tool = text_.find("(T") != std::string_view::npos;
    Add(tool ? PathKind::pkToolComment : PathKind::pkNone);
    return Flow::Next;
  }
  if (attrs_.Has(BlockAttr::AssignmentLine)) {
    Add(PathKind::pkNone);
    return Flow::Next;
  }
  if (attrs_.Has(BlockAttr::ProgramEndM02)) {
    Add(PathKind::pkNone);
    return Flow::End;
  }
  if (Flow f = WordLoop(); f != Flow::Next) return f;
  if (b_.callPending) return MakeCall();
  return Move();
}

Flow Analyser::WordLoop() {
  for (int w = 0; w < words_.WordCount; ++w) {
    const double v = words_.Words[w].Value;
    switch (words_.Words[w].Letter) {
      case 'F': st_.Feed = v; break;
      case 'G': {
        const int g = TruncToInt(v);
        if (g == 0) { st_.MotionMode = 0; st_.CycleMode = 80; }  // G00 also cancels a cycle
        else if (g >= 1 && g <= 4) st_.MotionMode = g;
        else if ((g >= 73 && g <= 76) || (g >= 81 && g <= 89)) { st_.CycleMode = g; b_.cycleCodeSeen = true; }
        else if (g == 80) st_.CycleMode = 80;
        else if (g == 90) absolute_ = true;
        else if (g == 91) absolute_ = false;
        break;
      }
      case 'I': b_.I = v; b_.i = true; break;
      case 'J': b_.J = v; b_.j = true; break;
      case 'K': b_.K = v; b_.k = true; break;
      case 'L': b_.L = v; b_.l = true; break;
      case 'R': b_.R = v; b_.r = true; break;
      case 'M':
        if (Flow f = ApplyM(TruncToInt(v)); f != Flow::Next) return f;
        break;
      case 'O': wO_ = v; break;
      case 'P': wP_ = v; break;
      case 'U': wU_ = v; b_.uv = true; break;
      case 'V': wV_ = v; b_.uv = true; break;
      case 'X': wX_ = v; b_.x = true; break;
      case 'Y': wY_ = v; b_.y = true; break;
      case 'Z': wZ_ = v; b_.z = true; break;
      default: break;
    }
  }
  return Flow::Next;
}

Flow Analyser::ApplyM(int m) {
  switch (m) {
    case 0: marks_.Set(line_, MarkM00); break;
    case 1: marks_.Set(line_, MarkM01); break;
    case 2:  // M2 written with a fraction; M2 itself ends before the word loop
      Add(PathKind::pkNone);
      return Flow::End;
    case 30:
      if (st_.SubDepth > 0) return Fail(ErrM30InSub, 0);
      Add(PathKind::pkNone);
      return Flow::End;
    case 5: Add(PathKind::pkNone); break;
    case 98:
      if (st_.SubDepth >= MaxSubDepth) return Fail(ErrNestTooDeep, ColumnOfP());
      if (!attrs_.Has(BlockAttr::HasP)) return Fail(ErrUnknownProgram, 0);
      b_.callPending = true;
      break;
    case 99: {
      if (st_.SubDepth < 1) return Fail(ErrM99InMain, 0);
      SubFrame& top = st_.SubStack[st_.SubDepth];
      Pass& pass = passes_[st_.SubDepth];
      if (top.RepeatsLeft >= 1 && SettlePasses(top, pass)) top.RepeatsLeft = 0;
      if (top.RepeatsLeft < 1) {
        line_ = top.ReturnLine;
        --st_.SubDepth;
      } else {
        line_ = top.StartLine;
        --top.RepeatsLeft;
        StartPass(pass);
      }
      break;
    }
    default: break;
  }
  return Flow::Next;
}

Flow Analyser::MakeCall() {
  const double n = std::trunc(wP_);
  const int32_t o = finder_.Find(n, st_);
  if (o < 0) return Fail(ErrUnknownProgram, ColumnOfP());
  SubFrame& f = st_.SubStack[++st_.SubDepth];
  f.ProgramNo = TruncToInt(n);
  f.ReturnLine = line_;
  f.StartLine = o - 1;
  f.RepeatsLeft = 0;
  if (attrs_.Has(BlockAttr::HasL)) f.RepeatsLeft = TruncToInt(b_.L) - 1;
  if (attrs_.Has(BlockAttr::HasK)) f.RepeatsLeft = TruncToInt(b_.K) - 1;
  line_ = o - 1;  // the loop goes on with the O line itself
  passes_[st_.SubDepth] = Pass{};
  StartPass(passes_[st_.SubDepth]);
  return Flow::Next;
}

Inputs Analyser::InputsNow() const {
  Inputs in;
  in.X = x_, in.Y = y_, in.Z = z_;
  in.Absolute = absolute_, in.RangeArmed = rangeArmed_;
  in.PrevU = prevU_, in.PrevV = prevV_;
  in.WX = wX_, in.WY = wY_, in.WZ = wZ_, in.WU = wU_, in.WV = wV_, in.WP = wP_, in.WO = wO_;
  in.MotionMode = st_.MotionMode, in.CycleMode = st_.CycleMode;
  in.Feed = st_.Feed, in.ToolRadius = st_.ToolRadius, in.WorkHeight = st_.WorkHeight;
  in.CycleRLevel = st_.CycleRLevel, in.CycleBottom = st_.CycleBottom;
  in.CalcChanges = calc_.Changes();
  return in;
}

void Analyser::StartPass(Pass& pass) {
  pass.Start = InputsNow();
  pass.CountAtStart = path_.Count;
  pass.Range = Box{};
  pass.MaxCutZ = -HUGE_VAL;
}

// At the M99 of a pass with passes still to run. When this pass stored no item (the list
// is full, or the pass makes none), the remaining ones would store none either, and are
// settled here where that is exact:
//  - the pass left every input as it found it: the next ones do the same, to no effect;
//  - the pass, like the one before it, moved the tool by the same offset and changed
//    nothing else (an incremental subprogram): pass k + j is pass k moved by j offsets,
//    so the first and the last of them bound the range, as in an incremental hole row.
// Otherwise the passes run (and the block bound may cut the analysis). True when settled.
bool Analyser::SettlePasses(SubFrame& frame, Pass& pass) {
  const Inputs now = InputsNow();
  const bool same = now.SameBesidesPosition(pass.Start);
  const Delta d = Delta::Between(pass.Start, now);
  const bool storedNone = path_.Count == pass.CountAtStart;
  if (storedNone && same && d.Zero()) return true;
  if (storedNone && same && pass.HasDelta && d.Near(pass.Moved)) {
    const double n = frame.RepeatsLeft;
    if (!pass.Range.Empty) {
      const Box b = pass.Range;  // a copy: Range() below widens the pass's own box too
      for (const double k : {1.0, n}) {
        Range(b.MinX + k * d.X, b.MinY + k * d.Y, b.MinZ + k * d.Z);
        Range(b.MaxX + k * d.X, b.MaxY + k * d.Y, b.MaxZ + k * d.Z);
      }
    }
    if (pass.MaxCutZ != -HUGE_VAL) CutZ(pass.MaxCutZ + std::max(d.Z, n * d.Z));
    x_ += n * d.X;
    y_ += n * d.Y;
    z_ += n * d.Z;
    st_.CycleRLevel += n * d.R;
    st_.CycleBottom += n * d.Bottom;
    return true;
  }
  pass.HasDelta = same;
  pass.Moved = d;
  return false;
}

Flow Analyser::Move() {
  if (attrs_.Has(BlockAttr::G92Given)) {
    SetPosition();
  } else if (attrs_.Has(BlockAttr::RefReturn)) {
    ReferenceReturn();
  } else if (b_.cycleCodeSeen) {
    CycleBlock();
  } else if (st_.CycleMode != 80 && (b_.x || b_.y)) {
    HoleRow();
  } else if (b_.x || b_.y || b_.z || b_.i || b_.j) {
    const double tx = b_.x ? (absolute_ ? wX_ : x_ + wX_) : x_;
    const double ty = b_.y ? (absolute_ ? wY_ : y_ + wY_) : y_;
    const double tz = b_.z ? (absolute_ ? wZ_ : z_ + wZ_) : z_;
    if (attrs_.Has(BlockAttr::G43Given)) {
      Add(PathKind::pkRapid, x_, y_, z_, tx, ty, tz);
      if (b_.z) rangeArmed_ = true;
    } else {
      switch (st_.MotionMode) {
        case 0:
          Add(PathKind::pkRapid, x_, y_, z_, tx, ty, tz);
          if (rangeArmed_) Range(tx, ty, tz);
          break;
        case 1:
          if (b_.uv) {
            Add(PathKind::pkTaper, x_, y_, tx, ty, x_ + prevU_, y_ + prevV_, tx + wU_, ty + wV_);
            Range(tx, ty, st_.WorkHeight);
            prevU_ = wU_;
            prevV_ = wV_;
          } else {
            Add(PathKind::pkLinear, x_, y_, z_, tx, ty, tz);
            Range(tx, ty, tz);
            if (b_.z) CutZ(tz);
          }
          break;
        case 2:
        case 3:
          if (Arc(tx, ty, tz) == Flow::Fail) return Flow::Fail;
          break;
        default:  // G04: a dwell moves nothing
          return Flow::Next;
      }
    }
    x_ = tx;
    y_ = ty;
    z_ = tz;
  } else {
    Add(PathKind::pkNone);
  }
  return Flow::Next;
}

void Analyser::SetPosition() {
  if (b_.x) x_ = wX_;
  if (b_.y) y_ = wY_;
  z_ = b_.z ? wZ_ : 0;
  Range(x_, y_, z_);
  Add(PathKind::pkSetPosition, x_, y_, z_);
}

void Analyser::ReferenceReturn() {
  Add(PathKind::pkRefReturn, x_, y_, z_, x_, y_, st_.AtcHeight);
  if (attrs_.Has(BlockAttr::HasX)) x_ = 0;
  if (attrs_.Has(BlockAttr::HasY)) y_ = 0;
  if (attrs_.Has(BlockAttr::HasZ)) z_ = st_.AtcHeight;
  rangeArmed_ = false;
}

void Analyser::CycleBlock() {
  if (absolute_) {
    st_.CycleRLevel = b_.R;
    st_.CycleBottom = wZ_;  // the block's Z, else the last Z read
  } else {
    st_.CycleRLevel = z_ + b_.R;
    st_.CycleBottom = st_.CycleRLevel + wZ_;
  }
  if (b_.l && b_.L == 0) {
    Add(PathKind::pkNone);
    return;
  }
  if (b_.x || b_.y) {
    // The control brings the tool over the block's X and Y before it drills, so the
    // holes are where the block says, as for the blocks that follow in the cycle.
    const double hx = b_.x ? (absolute_ ? wX_ : x_ + wX_) : x_;
    const double hy = b_.y ? (absolute_ ? wY_ : y_ + wY_) : y_;
    Range(hx, hy, st_.CycleBottom);
    HoleRow();
    return;
  }
  // One hole where the tool stands; the tool returns to its level.
  Range(x_, y_, st_.CycleBottom);
  AddDrill(x_, y_);
}

void Analyser::HoleRow() {
  int64_t count = 1;
  const bool repeat = b_.k || b_.l;
  // Repeat counts round halves to even, like the control.
  auto rounded = [](double v) { return static_cast<int64_t>(std::clamp(std::nearbyint(v), -1.0, 4.0e18)); };
  if (b_.k) count = rounded(b_.K);
  if (b_.l) count = rounded(b_.L);
  if (absolute_ || !repeat) {
    const double hx = b_.x ? (absolute_ ? wX_ : x_ + wX_) : x_;
    const double hy = b_.y ? (absolute_ ? wY_ : y_ + wY_) : y_;
    Range(hx, hy, z_);
    AddDrill(hx, hy);
    x_ = hx;
    y_ = hy;
    return;
  }
  const double dx = b_.x ? wX_ : 0;
  const double dy = b_.y ? wY_ : 0;
  for (int64_t k = 0; k < count; ++k) {
    if (ListFull()) {
      // The remaining holes lie on one line: the first and the last bound the range, and
      // the tool ends on the last. No need to walk a row of two billion holes.
      const double left = static_cast<double>(count - k);
      Range(x_ + dx, y_ + dy, z_);
      x_ += left * dx;
      y_ += left * dy;
      Range(x_, y_, z_);
      return;
    }
    const double hx = x_ + dx;
    const double hy = y_ + dy;
    Range(hx, hy, z_);
    AddDrill(hx, hy);
    x_ = hx;
    y_ = hy;
  }
}

Flow Analyser::Arc(double tx, double ty, double tz) {
  const bool cw = st_.MotionMode == 2;
  double cx = 0, cy = 0, radius = 0, start = 0, end = 0;
  bool heightAtTarget = false;
  if (tx != x_ || ty != y_) {
    if (b_.r) {
      const double r = std::fabs(b_.R);
      const double chord = Distance(x_, y_, tx, ty);
      if (std::fabs(chord - 2 * r) < HalfCircleTolerance) {
        double ux = 0, uy = 0;
        UnitVector(x_, y_, tx, ty, ux, uy);
        cx = x_ + chord / 2 * ux;
        cy = y_ + chord / 2 * uy;
        heightAtTarget = true;
      } else {
        if (chord < MinRChord) return Fail(ErrArcRadius, 0);
        double p1x, p1y, p2x, p2y;
        const int n = ArcArcCross(tx, ty, r, x_, y_, r, p1x, p1y, p2x, p2y);
        if (n == 0) return Fail(ErrArcRadius, 0);
        // P1 lies left of the chord, P2 right: a positive R takes the short way round.
        const bool second = n == 2 && (cw ? b_.R > 0 : b_.R < 0);
        cx = second ? p2x : p1x;
        cy = second ? p2y : p1y;
      }
      radius = r;
    } else {
      cx = x_ + b_.I;
      cy = y_ + b_.J;
      radius = std::sqrt(b_.I * b_.I + b_.J * b_.J);
      heightAtTarget = !cw;
    }
    const double aS = PosToAngl(cx, cy, x_, y_);
    const double aE = PosToAngl(cx, cy, tx, ty);
    start = cw ? aE : aS;
    end = cw ? aS : aE;
    AnglCheck(start, end);
    double minX, minY, maxX, maxY;
    ArcBoundingBox(cx, cy, radius, start, end, minX, minY, maxX, maxY);
    Range(minX, minY, z_);
    Range(maxX, maxY, z_);
  } else {
    // End on the start: a full circle by I and J; R says nothing here.
    cx = x_ + b_.I;
    cy = y_ + b_.J;
    radius = std::sqrt(b_.I * b_.I + b_.J * b_.J);
    const double aS = PosToAngl(cx, cy, x_, y_);
    start = cw ? aS : aS - kFullCircleSweep;
    end = cw ? aS + kFullCircleSweep : aS;
    AnglCheck(start, end);
    Range(cx - radius, cy - radius, z_);
    Range(cx + radius, cy + radius, z_);
    heightAtTarget = !cw;
  }
  Add(cw ? PathKind::pkArcCW : PathKind::pkArcCCW, cx, cy, heightAtTarget ? tz : z_, radius, start, end);
  return Flow::Next;
}

}  // namespace

int64_t MaxBlocksAnalysed(int32_t lineCount, int32_t capacity) {
  return 4 * (static_cast<int64_t>(lineCount) + capacity);
}

AnalysisResult AnalyseProgram(const LineSource& lines, const AnalyseOptions& options, TEasyCalc& calc,
                              PathList& path, MachineState& state, RowMarks& marks) {
  Analyser a(lines, options, calc, path, state, marks);
  return a.Run();
}

std::string_view AnalysisMessage(int code) {
  switch (code) {
    case ErrSyntax: return "構文エラー";
    case ErrArcRadius: return "円弧半径エラー";
    case ErrNestTooDeep: return "サブプロのネストが深すぎる";
    case ErrM99InMain: return "メインプログラム内で M99 に遭遇";
    case ErrM30InSub: return "サブプログラム内で M30 に遭遇";
    case ErrUnknownProgram: return "指定のプログラムＮｏが不明";
    case ErrAnalysisCut: return "解析を打ち切りました";
    default: return {};
  }
}

}  // namespace kelvan::nc
