#include "tools/RestartPreamble.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

#include "nc/FormatWordValue.h"

namespace kelvan::tools {

namespace {

// Refusal reasons, as the status bar and kelvan-cli show them.
constexpr std::string_view kCompensationPlane = "G18/G19 平面の工具径補正中からは再開できません";
constexpr std::string_view kCyclePlane = "G18/G19 平面の固定サイクル中からは再開できません";
constexpr std::string_view kCycleCompensation = "工具径補正中の固定サイクルからは再開できません";
constexpr std::string_view kCompensationDirection = "工具径補正の向きが決まらないため再開できません";
constexpr std::string_view kOutOfRange = "位置が数値の範囲を超えます";

// A word that is usually a whole number (T, H, D, S, F, P) in its letter's format; one with
// a fraction keeps it, since "F150" would not be the feed the program runs at.
void AppendCode(std::string& out, char letter, double value, int decimals) {
  if (value == std::trunc(value) && std::fabs(value) < 2.0e9) {
    nc::AppendWord(out, nc::NcWord{letter, value}, decimals);
    return;
  }
  AppendExactValue(out, std::string_view(&letter, 1), value, decimals);
}

// Writes moves in the preamble's own G90/G91 state and keeps the position they reach.
class Writer {
 public:
  Writer(std::vector<std::string>& lines, int decimals) : lines_(lines), decimals_(decimals) {}

  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void At(double x, double y, double z) { x_ = x, y_ = y, z_ = z; }

  // One block: the motion code when it changes, `before`, the axes given (targets in the
  // current coordinates, written as positions or as distances), then `after`.
  void Move(std::string_view before, int g, std::optional<double> x, std::optional<double> y,
            std::optional<double> z, std::string_view after = {}, bool exact = true) {
    exact_ = exact;
    std::string t;
    if (g >= 0 && g != motion_) {
      nc::AppendWord(t, nc::NcWord{'G', static_cast<double>(g)}, decimals_);
      motion_ = g;
    }
    t += before;
    Axis(t, 'X', x, x_);
    Axis(t, 'Y', y, y_);
    Axis(t, 'Z', z, z_);
    t += after;
    Add(std::move(t));
  }

  // The feed word, once: the first feed move carries it.
  std::string Feed(const ModalState& s) {
    std::string t;
    if (s.FeedGiven && !feedWritten_) AppendCode(t, 'F', s.Feed, decimals_);
    feedWritten_ = true;
    return t;
  }
  bool FeedWritten() const { return feedWritten_; }

  bool absolute = true;
  double x() const { return x_; }
  double y() const { return y_; }
  double z() const { return z_; }
  int Motion() const { return motion_; }
  void SetMotion(int g) { motion_ = g; }
  bool Finite() const { return finite_; }
  int Decimals() const { return decimals_; }

 private:
  void Axis(std::string& t, char letter, std::optional<double> v, double& current) {
    if (!v) return;
    double written = absolute ? *v : *v - current;
    if (!exact_) {
      // A point only passed over is written in the program's own decimals.
      const double unit = std::pow(10.0, decimals_);
      written = std::round(written * unit) / unit;
    }
    if (!AppendExactValue(t, std::string_view(&letter, 1), written, decimals_)) finite_ = false;
    current = absolute ? written : current + written;
  }

  std::vector<std::string>& lines_;
  int decimals_;
  double x_ = 0, y_ = 0, z_ = 0;
  int motion_ = -1;  // none written yet
  bool feedWritten_ = false;
  bool finite_ = true;
  bool exact_ = true;
};

class Preamble {
 public:
  Preamble(const ModalState& s, const PreambleSettings& p) : s_(s), p_(p), w_(r_.Lines, p.Decimals) {}

  PreambleResult Build() {
    if (!Check()) return std::move(r_);
    w_.Add(RestartComment(p_.Line));
    SafeStart();
    Coordinates();
    Tool();
    SpindleAndCoolant();
    if (s_.Moved) Approach();
    else if (s_.Length == 43 || s_.Length == 44) w_.Add(LengthCompensation());
    Taper();
    ModalWords();
    Compensation();
    Cycle();
    if (!w_.Finite()) Refuse(RestartRefusal::OutOfRange, kOutOfRange);
    if (r_.Refusal != RestartRefusal::None) r_.Lines.clear();
    return std::move(r_);
  }

 private:
  bool Refuse(RestartRefusal why, std::string_view message) {
    r_.Refusal = why;
    r_.Message = message;
    return false;
  }

  // What this preamble cannot restore exactly. The approach starts cutter compensation in
  // the XY plane, and drills along Z, as the analysis does.
  bool Check() {
    const bool comp = s_.Comp == 41 || s_.Comp == 42 || s_.CompVector != 0;
    const bool otherPlane = s_.Plane == 18 || s_.Plane == 19;
    if (comp && otherPlane) return Refuse(RestartRefusal::CompensationPlane, kCompensationPlane);
    if (s_.Cycle != 80 && otherPlane) return Refuse(RestartRefusal::CyclePlane, kCyclePlane);
    if (s_.Cycle != 80 && comp) return Refuse(RestartRefusal::CycleCompensation, kCycleCompensation);
    if (s_.CompVector != 0 && s_.Moved && !s_.HasDirection)
      return Refuse(RestartRefusal::CompensationDirection, kCompensationDirection);
    return true;
  }

  std::string G(int g) const {
    std::string t;
    nc::AppendWord(t, nc::NcWord{'G', static_cast<double>(g)}, p_.Decimals);
    return t;
  }

  // Whatever the interrupted run left in force goes first: compensation, cycles, G91.
  void SafeStart() { w_.Add(G(s_.Plane != 0 ? s_.Plane : 17) + G(40) + G(49) + G(80) + G(90)); }

  // With a G92 in force the coordinates are set where the program starts, as the program
  // itself set them from there.
  void Coordinates() {
    const double x = s_.OffX, y = s_.OffY, z = p_.AtcHeight + s_.OffZ;
    if (s_.G92Given) {
      std::string t = G(92);
      bool ok = AppendExactValue(t, "X", x, p_.Decimals);
      ok = AppendExactValue(t, "Y", y, p_.Decimals) && ok;
      ok = AppendExactValue(t, "Z", z, p_.Decimals) && ok;
      if (!ok) Refuse(RestartRefusal::OutOfRange, kOutOfRange);
      w_.Add(std::move(t));
    }
    w_.At(x, y, z);
  }

  // The tool in the spindle, the next one if another was called, and the tool comment that
  // gives the analysis its radius.
  void Tool() {
    if (s_.ToolChanged) {
      std::string t;
      if (s_.ToolInSpindle) AppendCode(t, 'T', *s_.ToolInSpindle, p_.Decimals);
      nc::AppendWord(t, nc::NcWord{'M', 6}, p_.Decimals);
      w_.Add(std::move(t));
    }
    if (s_.T && (!s_.ToolChanged || !s_.ToolInSpindle || *s_.ToolInSpindle != *s_.T)) {
      std::string t;
      AppendCode(t, 'T', *s_.T, p_.Decimals);
      w_.Add(std::move(t));
    }
    if (!s_.ToolComment.empty() && s_.ToolCommentRadius == s_.ToolRadius) {
      w_.Add(s_.ToolComment);  // the program's own, when it gave the radius in force
    } else if (s_.ToolRadius != 0 || p_.ToolCommentAbove) {
      // '(T<n>-<diameter>)': the diameter halved is the radius again.
      std::string t = "(T";
      const std::optional<double> n = s_.ToolInSpindle ? s_.ToolInSpindle : s_.T;
      if (n && *n >= 0 && *n == std::trunc(*n) && *n < 1e9) t += std::to_string(static_cast<long>(*n));
      AppendExactValue(t, "-", std::fabs(s_.ToolRadius) * 2, p_.Decimals);
      t += ")";
      w_.Add(std::move(t));
    }
  }

  // The spindle turns and the coolant flows before the tool goes down.
  void SpindleAndCoolant() {
    std::string t;
    if (s_.S) AppendCode(t, 'S', *s_.S, p_.Decimals);
    if (s_.Spindle != 0) nc::AppendWord(t, nc::NcWord{'M', static_cast<double>(s_.Spindle)}, p_.Decimals);
    if (!t.empty()) w_.Add(std::move(t));
    if (s_.Mist) w_.Add("M07");
    if (s_.Flood) w_.Add("M08");
    if (s_.CoolantOff && !s_.Mist && !s_.Flood) w_.Add("M09");
  }

  std::string LengthCompensation() const {
    std::string t = G(s_.Length);
    if (s_.H) AppendCode(t, 'H', *s_.H, p_.Decimals);
    return t;
  }

  // Up at rapid (with the length compensation on this first Z move), across at that height,
  // and down over the block's start.
  void Approach() {
    const double safe = std::max(w_.z(), s_.Z);
    w_.Move((s_.Length == 43 || s_.Length == 44) ? LengthCompensation() : std::string(), 0, {}, {}, safe);
    if (s_.CompVector != 0) {
      // The compensation starts in the air, along the direction the program last moved in
      // the plane, so that the vector the tool comes down with is the one it had there.
      w_.Move({}, -1, s_.X - p_.LeadIn * s_.DirX, s_.Y - p_.LeadIn * s_.DirY, {}, {}, false);
      std::string comp = G(s_.CompVector);
      if (s_.DVector) AppendCode(comp, 'D', *s_.DVector, p_.Decimals);
      w_.Move(comp, -1, s_.X, s_.Y, {});
    } else {
      w_.Move({}, -1, s_.X, s_.Y, {});
    }
    Descend();
  }

  // Rapid to a clearance above the start Z (the R level, or the start Z itself when that is
  // the cycle's initial level above it), then at feed to the start Z. Without a feed in
  // force the program had made no feed move yet: the way down is a rapid, as the program's.
  void Descend() {
    struct Step {
      int g;
      double z;
    };
    Step steps[2];
    int n = 0;
    const double z = s_.Z, from = w_.z();
    if (z < from) {
      const double stop = s_.Cycle != 80 ? s_.CycleR : z + p_.Clearance;
      if (s_.Cycle != 80 && z >= s_.CycleR) {
        steps[n++] = {0, z};
      } else if (!s_.FeedGiven) {
        steps[n++] = {0, z};
      } else {
        if (stop < from && stop > z) steps[n++] = {0, stop};
        steps[n++] = {1, z};
      }
    }
    for (int i = 0; i < n; ++i) {
      // The last move down restores G91 itself, so that no block without motion in the
      // plane is added between the compensation start-up and the block.
      std::string before;
      if (i == n - 1 && !s_.Absolute) {
        before = G(91);
        w_.absolute = false;
      }
      const std::string feed = steps[i].g == 1 ? w_.Feed(s_) : std::string();
      w_.Move(before, steps[i].g, {}, {}, steps[i].z, feed);
    }
  }

  // The upper contour offsets of the last taper move, by a taper move of no length, and the
  // U and V words read after it.
  void Taper() {
    if (!s_.UVGiven) return;
    if (s_.PrevU != 0 || s_.PrevV != 0) {
      std::string uv;
      AppendExactValue(uv, "U", s_.PrevU, p_.Decimals);
      AppendExactValue(uv, "V", s_.PrevV, p_.Decimals);
      w_.Move({}, 1, s_.X, s_.Y, {}, uv + w_.Feed(s_));
    }
    if (s_.WU != s_.PrevU || s_.WV != s_.PrevV) {
      std::string uv;
      AppendExactValue(uv, "U", s_.WU, p_.Decimals);
      AppendExactValue(uv, "V", s_.WV, p_.Decimals);
      w_.Add(std::move(uv));
    }
  }

  // G91, the motion mode and the feed, where the approach did not leave them so.
  void ModalWords() {
    std::string t;
    if (!s_.Absolute && w_.absolute) {
      t += G(91);
      w_.absolute = false;
    }
    if (s_.Motion != w_.Motion() && !(w_.Motion() < 0 && s_.Motion == 0) && !p_.BlockSetsMotion) {
      t += G(s_.Motion);
      w_.SetMotion(s_.Motion);
    }
    // A cycle to come carries the feed itself.
    if (s_.FeedGiven && !w_.FeedWritten() && s_.Cycle == 80) t += w_.Feed(s_);
    if (!t.empty()) w_.Add(std::move(t));
  }

  // A compensation the program had given but not yet started (or cancelled but not yet
  // moved off) is left for the block to start (or end), as in the program.
  void Compensation() {
    if (s_.Comp == 41 || s_.Comp == 42) {
      if (s_.CompVector == s_.Comp && s_.DVector == s_.D) return;
      std::string t = G(s_.Comp);
      if (s_.D) AppendCode(t, 'D', *s_.D, p_.Decimals);
      w_.Add(std::move(t));
    } else if (s_.CompVector != 0) {
      w_.Add(G(40));
    }
  }

  // The cycle in force, stored without drilling (L0): the block drills the next hole.
  void Cycle() {
    if (s_.Cycle == 80) return;
    std::string t;
    if (s_.ReturnLevel != 0) t += G(s_.ReturnLevel);
    t += G(s_.Cycle);
    bool ok = true;
    if (w_.absolute) {
      ok = AppendExactValue(t, "Z", s_.CycleBottom, p_.Decimals) && ok;
      ok = AppendExactValue(t, "R", s_.CycleR, p_.Decimals) && ok;
    } else {
      // Incremental: R from the level the cycle starts at, Z from the R level.
      ok = AppendExactValue(t, "Z", s_.CycleBottom - s_.CycleR, p_.Decimals) && ok;
      ok = AppendExactValue(t, "R", s_.CycleR - w_.z(), p_.Decimals) && ok;
    }
    if (s_.CycleQ) ok = AppendExactValue(t, "Q", *s_.CycleQ, p_.Decimals) && ok;
    if (s_.CycleP) AppendCode(t, 'P', *s_.CycleP, p_.Decimals);
    t += w_.Feed(s_);
    t += "L0";
    if (!ok) Refuse(RestartRefusal::OutOfRange, kOutOfRange);
    w_.Add(std::move(t));
  }

  const ModalState& s_;
  const PreambleSettings& p_;
  PreambleResult r_;
  Writer w_;
};

}  // namespace

bool AppendExactValue(std::string& out, std::string_view letter, double value, int decimals) {
  if (!std::isfinite(value)) {
    nc::AppendWordValue(out, letter, true, value, decimals);
    return false;
  }
  const size_t start = out.size() + letter.size();
  for (int d = std::clamp(decimals, 0, 9);; ++d) {
    out.resize(start - letter.size());
    nc::AppendWordValue(out, letter, true, value, d);
    double back = 0;
    const auto [ptr, ec] = std::from_chars(out.data() + start, out.data() + out.size(), back);
    if (d >= 9 || (ec == std::errc() && std::fabs(back - value) <= 1e-9 * std::max(1.0, std::fabs(value))))
      return true;
  }
}

std::string RestartComment(int32_t line) { return "(RESTART FROM LINE " + std::to_string(int64_t{line} + 1) + ")"; }

PreambleResult BuildPreamble(const ModalState& state, const PreambleSettings& settings) {
  Preamble p(state, settings);
  return p.Build();
}

}  // namespace kelvan::tools
