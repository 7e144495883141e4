#include "tools/ModalTracker.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "nc/FindProgramLine.h"
#include "nc/Geometry.h"
#include "nc/PathList.h"
#include "nc/TEasyCalc.h"
#include "nc/TokenizeBlock.h"

namespace kelvan::tools {

namespace {

using nc::BlockAttr;


enum class Flow { Next, End, Stop };

struct Frame {
  int32_t ReturnLine = 0, StartLine = 0, RepeatsLeft = 0;
};

class Tracker {
 public:
  Tracker(const nc::LineSource& lines, int32_t target, const nc::AnalyseOptions& options, int64_t maxBlocks)
      : lines_(lines), target_(target), opt_(options), maxBlocks_(maxBlocks),
        finder_(lines, options.Tokenize, calc_) {}

  TrackResult Run();

 private:
  // What one block gives besides the modal words.
  struct Block {
    bool x = false, y = false, z = false, i = false, j = false, k = false, l = false, r = false, uv = false;
    double I = 0, J = 0, K = 0, L = 0, R = 0;
    bool cycleCodeSeen = false, callPending = false, m6 = false;
    bool q = false, p = false;
    double Q = 0, P = 0;
  };

  Flow Line();
  Flow WordLoop();
  void ApplyG(int g);
  Flow ApplyM(int m);
  Flow Call();
  Flow Move();
  void CycleBlock();
  void HoleRow();
  Flow Motion(double tx, double ty, double tz);
  Flow ArcDirection(double tx, double ty);
  void XYMotion();
  void SetDirection(double dx, double dy);

  Flow Fail(int code, int32_t column) {
    result_.Outcome = TrackResult::Fault;
    result_.Code = code;
    result_.Line = blockLine_;
    result_.Column = column;
    return Flow::Stop;
  }
  int32_t ColumnOfP() const {
    const size_t p = text_.find('P');
    return p == std::string_view::npos ? 0 : static_cast<int32_t>(p);
  }
  // Saturating: a row of holes may count up to 4e18 (the caller refuses any count beyond a
  // path list anyway).
  void Items(int64_t n) { items_ = n > kManyItems - items_ ? kManyItems : items_ + n; }
  static constexpr int64_t kManyItems = int64_t{1} << 62;

  const nc::LineSource& lines_;
  const int32_t target_;
  const nc::AnalyseOptions& opt_;
  const int64_t maxBlocks_;
  nc::TEasyCalc calc_;
  nc::MachineState machine_;  // the tokenizer and the program search keep the tool radius here
  nc::ProgramLineFinder finder_;

  TrackResult result_;
  ModalState s_;
  int64_t items_ = 0;
  int32_t line_ = 0, blockLine_ = 0;
  std::string_view text_;
  nc::NcWordTable words_;
  nc::TokenizeError error_;
  nc::BlockAttributes attrs_;
  Block b_;
  double wX_ = 0, wY_ = 0, wP_ = 0;  // last X, Y and P words (Z, U, V live in the state)
  int32_t depth_ = 0;
  Frame frames_[nc::MaxSubDepth + 1];
};

TrackResult Tracker::Run() {
  s_.Z = opt_.AtcHeight;
  int64_t blocks = 0;
  for (line_ = 0; line_ < lines_.LineCount(); ++line_) {
    if (line_ == target_) {
      if (depth_ > 0) {
        result_.Outcome = TrackResult::InSubprogram;
        result_.Line = frames_[1].ReturnLine;
        return result_;
      }
      result_.Outcome = TrackResult::Reached;
      s_.ToolRadius = machine_.ToolRadius;
      result_.State = s_;
      result_.ItemsBefore = items_;
      return result_;
    }
    if (++blocks > maxBlocks_) {
      result_.Outcome = TrackResult::TooLong;
      result_.Line = line_;
      return result_;
    }
    const Flow f = Line();
    if (f == Flow::Stop) return result_;
    if (f == Flow::End) break;
  }
  result_.Outcome = TrackResult::NotExecuted;
  return result_;
}

Flow Tracker::Line() {
  blockLine_ = line_;
  b_ = Block{};
  text_ = lines_.Line(line_);
  nc::TokenizeBlock(text_, opt_.Tokenize, calc_, machine_, words_, error_, attrs_);
  if (error_.Failed) return Fail(nc::ErrSyntax, error_.Column);
  if (attrs_.Has(BlockAttr::ToolComment)) {
    // From "(T" to the end of that comment.
    const size_t from = text_.find("(T");
    const size_t close = text_.find(')', from);
    s_.ToolComment = std::string(text_.substr(from, close == std::string_view::npos ? close : close + 1 - from));
    s_.ToolCommentRadius = machine_.ToolRadius;
  }
  if (attrs_.Has(BlockAttr::BlockSkip)) {
    Items(1);
    if (opt_.Tokenize.BlockSkipOn) return Flow::Next;
  }
  if (attrs_.Has(BlockAttr::PercentLine) || attrs_.Has(BlockAttr::CommentLine) ||
      attrs_.Has(BlockAttr::EmptyLine) || attrs_.Has(BlockAttr::AssignmentLine)) {
    Items(1);
    return Flow::Next;
  }
  if (attrs_.Has(BlockAttr::ProgramEndM02)) {
    Items(1);
    return Flow::End;
  }
  if (Flow f = WordLoop(); f != Flow::Next) return f;
  // Cycle words stay with the cycle until it is cancelled.
  if (s_.Cycle == 80) {
    s_.CycleQ.reset();
    s_.CycleP.reset();
  } else {
    if (b_.q) s_.CycleQ = b_.Q;
    if (b_.p && !b_.callPending) s_.CycleP = b_.P;
  }
  if (b_.m6) {
    s_.ToolChanged = true;
    s_.ToolInSpindle = s_.T;
  }
  if (b_.callPending) return Call();
  return Move();
}

Flow Tracker::WordLoop() {
  for (int w = 0; w < words_.WordCount; ++w) {
    const double v = words_.Words[w].Value;
    switch (words_.Words[w].Letter) {
      case 'D': s_.D = v; break;
      case 'F': s_.Feed = v; s_.FeedGiven = true; break;
      case 'G': ApplyG(nc::TruncToInt(v)); break;
      case 'H': s_.H = v; break;
      case 'I': b_.I = v; b_.i = true; break;
      case 'J': b_.J = v; b_.j = true; break;
      case 'K': b_.K = v; b_.k = true; break;
      case 'L': b_.L = v; b_.l = true; break;
      case 'R': b_.R = v; b_.r = true; break;
      case 'M':
        if (Flow f = ApplyM(nc::TruncToInt(v)); f != Flow::Next) return f;
        break;
      case 'P': wP_ = v; b_.P = v; b_.p = true; break;
      case 'Q': b_.Q = v; b_.q = true; break;
      case 'S': s_.S = v; break;
      case 'T': s_.T = v; break;
      case 'U': s_.WU = v; b_.uv = true; s_.UVGiven = true; break;
      case 'V': s_.WV = v; b_.uv = true; s_.UVGiven = true; break;
      case 'X': wX_ = v; b_.x = true; break;
      case 'Y': wY_ = v; b_.y = true; break;
      case 'Z': s_.WZ = v; b_.z = true; break;
      default: break;
    }
  }
  return Flow::Next;
}

void Tracker::ApplyG(int g) {
  if (g == 0) {
    s_.Motion = 0;
    s_.Cycle = 80;  // G00 also cancels a cycle
  } else if (g >= 1 && g <= 4) {
    s_.Motion = g;
  } else if ((g >= 73 && g <= 76) || (g >= 81 && g <= 89)) {
    if (g != s_.Cycle) s_.CycleQ.reset(), s_.CycleP.reset();  // another cycle: its own words
    s_.Cycle = g;
    b_.cycleCodeSeen = true;
  } else if (g == 80) {
    s_.Cycle = 80;
  } else if (g == 90 || g == 91) {
    s_.Absolute = g == 90;
  } else if (g >= 17 && g <= 19) {
    s_.Plane = g;
  } else if (g >= 40 && g <= 42) {
    s_.Comp = g;
  } else if (g == 43 || g == 44 || g == 49) {
    s_.Length = g;
  } else if (g == 98 || g == 99) {
    s_.ReturnLevel = g;
  }
}

Flow Tracker::ApplyM(int m) {
  switch (m) {
    case 2: Items(1); return Flow::End;  // M2 written with a fraction
    case 30:
      if (depth_ > 0) return Fail(nc::ErrM30InSub, 0);
      Items(1);
      return Flow::End;
    case 3: case 4: s_.Spindle = m; break;
    case 5: Items(1); s_.Spindle = 5; break;
    case 6: b_.m6 = true; break;
    case 7: s_.Mist = true; s_.CoolantOff = false; break;
    case 8: s_.Flood = true; s_.CoolantOff = false; break;
    case 9: s_.Mist = s_.Flood = false; s_.CoolantOff = true; break;
    case 98:
      if (depth_ >= nc::MaxSubDepth) return Fail(nc::ErrNestTooDeep, ColumnOfP());
      if (!attrs_.Has(BlockAttr::HasP)) return Fail(nc::ErrUnknownProgram, 0);
      b_.callPending = true;
      break;
    case 99: {
      if (depth_ < 1) return Fail(nc::ErrM99InMain, 0);
      Frame& top = frames_[depth_];
      if (top.RepeatsLeft < 1) {
        line_ = top.ReturnLine;
        --depth_;
      } else {
        line_ = top.StartLine;
        --top.RepeatsLeft;
      }
      break;
    }
    default: break;
  }
  return Flow::Next;
}

Flow Tracker::Call() {
  const double n = std::trunc(wP_);
  const int32_t o = finder_.Find(n, machine_);
  if (o < 0) return Fail(nc::ErrUnknownProgram, ColumnOfP());
  Frame& f = frames_[++depth_];
  f.ReturnLine = line_;
  f.StartLine = o - 1;
  f.RepeatsLeft = 0;
  if (attrs_.Has(BlockAttr::HasL)) f.RepeatsLeft = nc::TruncToInt(b_.L) - 1;
  if (attrs_.Has(BlockAttr::HasK)) f.RepeatsLeft = nc::TruncToInt(b_.K) - 1;
  line_ = o - 1;
  return Flow::Next;
}

Flow Tracker::Move() {
  if (attrs_.Has(BlockAttr::G92Given)) {
    const double x = b_.x ? wX_ : s_.X, y = b_.y ? wY_ : s_.Y, z = b_.z ? s_.WZ : 0;
    s_.OffX += x - s_.X, s_.OffY += y - s_.Y, s_.OffZ += z - s_.Z;
    s_.X = x, s_.Y = y, s_.Z = z;
    s_.G92Given = true;
    Items(1);
  } else if (attrs_.Has(BlockAttr::RefReturn)) {
    Items(1);
    if (attrs_.Has(BlockAttr::HasX)) s_.X = 0;
    if (attrs_.Has(BlockAttr::HasY)) s_.Y = 0;
    if (attrs_.Has(BlockAttr::HasZ)) s_.Z = opt_.AtcHeight;
    s_.Moved = true;
  } else if (b_.cycleCodeSeen) {
    CycleBlock();
  } else if (s_.Cycle != 80 && (b_.x || b_.y)) {
    HoleRow();
  } else if (b_.x || b_.y || b_.z || b_.i || b_.j) {
    const double tx = b_.x ? (s_.Absolute ? wX_ : s_.X + wX_) : s_.X;
    const double ty = b_.y ? (s_.Absolute ? wY_ : s_.Y + wY_) : s_.Y;
    const double tz = b_.z ? (s_.Absolute ? s_.WZ : s_.Z + s_.WZ) : s_.Z;
    return Motion(tx, ty, tz);
  } else {
    Items(1);
  }
  return Flow::Next;
}

Flow Tracker::Motion(double tx, double ty, double tz) {
  if (!attrs_.Has(BlockAttr::G43Given)) {
    if (s_.Motion == 4) return Flow::Next;  // a dwell moves nothing
    if (s_.Motion == 1 && b_.uv) {
      s_.PrevU = s_.WU;
      s_.PrevV = s_.WV;
    }
    if (s_.Motion == 2 || s_.Motion == 3) {
      if (ArcDirection(tx, ty) == Flow::Stop) return Flow::Stop;
    } else if (tx != s_.X || ty != s_.Y) {
      SetDirection(tx - s_.X, ty - s_.Y);
    }
  } else if (tx != s_.X || ty != s_.Y) {
    SetDirection(tx - s_.X, ty - s_.Y);
  }
  Items(1);
  if (tx != s_.X || ty != s_.Y || s_.Motion == 2 || s_.Motion == 3) XYMotion();
  s_.X = tx, s_.Y = ty, s_.Z = tz;
  s_.Moved = true;
  return Flow::Next;
}

// A move in the plane sets up, changes or cancels the compensation vector.
void Tracker::XYMotion() {
  s_.CompVector = (s_.Comp == 41 || s_.Comp == 42) ? s_.Comp : 0;
  if (s_.CompVector != 0) s_.DVector = s_.D;
}

void Tracker::SetDirection(double dx, double dy) {
  const double length = std::hypot(dx, dy);
  if (!(length > 0) || !std::isfinite(length)) return;
  s_.HasDirection = true;
  s_.DirX = dx / length;
  s_.DirY = dy / length;
}

// The centre of an arc as the analyser finds it, for the direction at its end; an arc the
// analyser rejects stops the tracker at the same block.
Flow Tracker::ArcDirection(double tx, double ty) {
  const bool cw = s_.Motion == 2;
  double cx = s_.X + b_.I, cy = s_.Y + b_.J;
  if ((tx != s_.X || ty != s_.Y) && b_.r) {
    const double r = std::fabs(b_.R);
    const double chord = nc::Distance(s_.X, s_.Y, tx, ty);
    if (std::fabs(chord - 2 * r) < nc::HalfCircleTolerance) {
      double ux = 0, uy = 0;
      nc::UnitVector(s_.X, s_.Y, tx, ty, ux, uy);
      cx = s_.X + chord / 2 * ux;
      cy = s_.Y + chord / 2 * uy;
    } else {
      if (chord < nc::MinRChord) return Fail(nc::ErrArcRadius, 0);
      double p1x, p1y, p2x, p2y;
      const int n = nc::ArcArcCross(tx, ty, r, s_.X, s_.Y, r, p1x, p1y, p2x, p2y);
      if (n == 0) return Fail(nc::ErrArcRadius, 0);
      const bool second = n == 2 && (cw ? b_.R > 0 : b_.R < 0);
      cx = second ? p2x : p1x;
      cy = second ? p2y : p1y;
    }
  }
  const double rx = tx - cx, ry = ty - cy;
  if (cw) SetDirection(ry, -rx);
  else SetDirection(-ry, rx);
  return Flow::Next;
}

void Tracker::CycleBlock() {
  if (s_.Absolute) {
    s_.CycleR = b_.R;
    s_.CycleBottom = s_.WZ;
  } else {
    s_.CycleR = s_.Z + b_.R;
    s_.CycleBottom = s_.CycleR + s_.WZ;
  }
  if (b_.l && b_.L == 0) {
    Items(1);
    return;
  }
  s_.Moved = true;
  if (b_.x || b_.y) {
    HoleRow();
    return;
  }
  Items(1);  // one hole where the tool stands
}

void Tracker::HoleRow() {
  s_.Moved = true;
  int64_t count = 1;
  const bool repeat = b_.k || b_.l;
  auto rounded = [](double v) { return static_cast<int64_t>(std::clamp(std::nearbyint(v), -1.0, 4.0e18)); };
  if (b_.k) count = rounded(b_.K);
  if (b_.l) count = rounded(b_.L);
  if (s_.Absolute || !repeat) {
    const double hx = b_.x ? (s_.Absolute ? wX_ : s_.X + wX_) : s_.X;
    const double hy = b_.y ? (s_.Absolute ? wY_ : s_.Y + wY_) : s_.Y;
    if (hx != s_.X || hy != s_.Y) SetDirection(hx - s_.X, hy - s_.Y);
    Items(1);
    s_.X = hx, s_.Y = hy;
    return;
  }
  if (count < 1) return;
  const double dx = b_.x ? wX_ : 0;
  const double dy = b_.y ? wY_ : 0;
  if (dx != 0 || dy != 0) SetDirection(dx, dy);
  // The analyser adds the offset hole by hole; so does this, for the same last digit. A row
  // longer than any path list is settled at once: the caller refuses it as too long anyway.
  Items(count);
  if (count > nc::MaxPathCapacity) {
    s_.X += static_cast<double>(count) * dx;
    s_.Y += static_cast<double>(count) * dy;
    return;
  }
  for (int64_t k = 0; k < count; ++k) {
    s_.X += dx;
    s_.Y += dy;
  }
}

}  // namespace

TrackResult TrackToLine(const nc::LineSource& lines, int32_t line, const nc::AnalyseOptions& options,
                        int64_t maxBlocks) {
  Tracker t(lines, line, options, maxBlocks);
  return t.Run();
}

}  // namespace kelvan::tools
