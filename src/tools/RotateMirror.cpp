// Rotation about Z through the origin, and mirroring in X or Y.

#include <cmath>
#include <numbers>
#include <string>

#include "tools/Tools.h"

namespace kelvan::tools {

namespace {

using nc::BlockAttr;

// What the two tools share: the G words with repeated motion codes dropped, then the
// coordinates in the tool's own way, then every other word.
class Transformer {
 public:
  Transformer(const ToolOptions& options, ToolOutput& out) : opt_(options), out_(out), z_(options.AtcHeight) {}
  virtual ~Transformer() = default;

  // False when the block cannot be converted: a value beyond the range of numbers, or one
  // the text order cannot give (Fault says which).
  bool Block(const tools::Block& b) {
    overflow_ = false;
    fault_ = {};
    // A subprogram runs with whatever motion code its call leaves, and a call returns with
    // whatever motion code the subprogram leaves: the first motion code after either is
    // written even when the text before it had the same.
    if (HasWord(b, 'O', -1)) lastMotion_ = -1;
    if (calls_.StartsSubprogram(b)) Forget();
    int mode = 0;
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const nc::NcWord& word = b.Words.Words[w];
      if (word.Letter == 'G' && (Code(word.Value) == 90 || Code(word.Value) == 91)) mode = Code(word.Value);
    }
    if (mode != 0) absolute_ = mode == 90, modeKnown_ = true;
    if (!Check(b.Attrs)) return false;
    std::string text;
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const nc::NcWord& word = b.Words.Words[w];
      switch (word.Letter) {
        case 'G': G(MotionCode(Code(word.Value)), text); break;
        case 'X': x_ = word.Value; break;
        case 'Y': y_ = word.Value; break;
        case 'Z': z_ = word.Value; break;
        default: break;
      }
    }
    Coordinates(b.Attrs, text);
    if (b.Attrs.Has(BlockAttr::HasZ)) AppendValue(text, 'Z', z_, opt_.Decimals);
    OtherWords(b, text);
    if (overflow_) return false;
    AddLine(out_, b, text);
    After(b);
    return true;
  }

  std::string_view Fault() const { return fault_; }

 protected:
  // Whether the tool can convert the block; else it sets the fault.
  virtual bool Check(const nc::BlockAttributes&) { return true; }

  // Positions the text order gives: an absolute X or Y (or G92) names one; an incremental
  // move, a reference return, a call and a subprogram's start leave it unknown.
  void After(const tools::Block& b) {
    const bool g92 = b.Attrs.Has(BlockAttr::G92Given);
    if (b.Attrs.Has(BlockAttr::HasX)) knownX_ = (absolute_ || g92), posX_ = x_;
    if (b.Attrs.Has(BlockAttr::HasY)) knownY_ = (absolute_ || g92), posY_ = y_;
    if (b.Attrs.Has(BlockAttr::RefReturn) && !g92) {
      if (b.Attrs.Has(BlockAttr::HasX)) knownX_ = false;
      if (b.Attrs.Has(BlockAttr::HasY)) knownY_ = false;
    }
    if (CallBoundaries::Calls(b)) {
      lastMotion_ = -1;
      Forget();
    }
  }
  void Forget() {
    knownX_ = knownY_ = false;
    modeKnown_ = false;
  }

  virtual int MotionCode(int g) const { return g; }
  virtual void Coordinates(const nc::BlockAttributes& attrs, std::string& text) = 0;
  // I and J are a vector to an arc's centre: (i, j) as the tool turns it, the missing one
  // of them counting 0.
  virtual void ArcVector(double& i, double& j) const = 0;
  // Whether the tool turns the vector, so that a block with I or J gets both.
  virtual bool TurnsArcVector() const { return false; }

  // Writes a computed value, noting one that is no finite number.
  void Computed(std::string& text, char letter, double v) const {
    if (!std::isfinite(v)) overflow_ = true;
    AppendValue(text, letter, v, opt_.Decimals);
  }

  const ToolOptions& opt_;
  double x_ = 0, y_ = 0;  // the last X and Y words
  mutable bool overflow_ = false;
  std::string_view fault_;
  bool absolute_ = true, modeKnown_ = true;  // the program's G90/G91, as far as the text tells
  bool knownX_ = true, knownY_ = true;       // whether the position on the axis is known
  double posX_ = 0, posY_ = 0;               // and what it is

 private:
  void G(int g, std::string& text) {
    if (g >= 0 && g <= 3) {
      if (g == lastMotion_) return;
      lastMotion_ = g;
    }
    AppendWord(text, 'G', g, opt_.Decimals);
  }

  void OtherWords(const tools::Block& b, std::string& text) const {
    double i = 0, j = 0;
    for (int w = 0; w < b.Words.WordCount; ++w) {
      if (b.Words.Words[w].Letter == 'I') i = b.Words.Words[w].Value;
      if (b.Words.Words[w].Letter == 'J') j = b.Words.Words[w].Value;
    }
    const bool both = TurnsArcVector();
    ArcVector(i, j);
    bool arcWritten = false;
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const nc::NcWord& word = b.Words.Words[w];
      switch (word.Letter) {
        case 'G': case 'X': case 'Y': case 'Z': break;
        case 'I':
        case 'J':
          if (!both) {
            Computed(text, word.Letter, word.Letter == 'I' ? i : j);
          } else if (!arcWritten) {
            // A turned vector has both parts, written where the first of them stood.
            Computed(text, 'I', i);
            Computed(text, 'J', j);
            arcWritten = true;
          }
          break;
        default: AppendWord(text, word.Letter, word.Value, opt_.Decimals); break;
      }
    }
  }

  ToolOutput& out_;
  CallBoundaries calls_;
  int lastMotion_ = -1;
  double z_;
};

class Rotator : public Transformer {
 public:
  Rotator(const ToolOptions& options, ToolOutput& out, double degrees)
      : Transformer(options, out), c_(std::cos(degrees * std::numbers::pi / 180)),
        s_(std::sin(degrees * std::numbers::pi / 180)) {}

 private:
  // A block that gives one of X and Y gets both: the other one is the position on that
  // axis (absolute) or no move on it (incremental). Where the text order does not give
  // that position (a subprogram's start, after a call, a reference return or an
  // incremental move), the rotation stops at the block rather than guess.
  bool Check(const nc::BlockAttributes& attrs) override {
    const bool x = attrs.Has(BlockAttr::HasX), y = attrs.Has(BlockAttr::HasY);
    // A half or whole turn keeps the axes apart: the given one is turned alone.
    if (x == y || HalfTurns()) return true;
    if (!modeKnown_) fault_ = kUnknownMode;
    else if (absolute_ && !(x ? knownY_ : knownX_)) fault_ = kUnknownPosition;
    return fault_.empty();
  }
  void Coordinates(const nc::BlockAttributes& attrs, std::string& text) override {
    const bool hasX = attrs.Has(BlockAttr::HasX), hasY = attrs.Has(BlockAttr::HasY);
    if (!hasX && !hasY) return;
    if (hasX != hasY && HalfTurns() && !(hasX ? knownY_ && modeKnown_ : knownX_ && modeKnown_)) {
      if (hasX) Computed(text, 'X', x_ * c_);
      else Computed(text, 'Y', y_ * c_);
      return;
    }
    const double x = hasX ? x_ : absolute_ ? posX_ : 0;
    const double y = hasY ? y_ : absolute_ ? posY_ : 0;
    Computed(text, 'X', x * c_ - y * s_);
    Computed(text, 'Y', x * s_ + y * c_);
  }
  bool TurnsArcVector() const override { return true; }
  void ArcVector(double& i, double& j) const override {
    const double ri = i * c_ - j * s_, rj = i * s_ + j * c_;
    i = ri;
    j = rj;
  }

  // Whether the angle is a whole number of half turns (its sine is zero but for rounding).
  bool HalfTurns() const { return std::fabs(s_) < 1e-12; }

  double c_, s_;
};

class Mirrorer : public Transformer {
 public:
  Mirrorer(const ToolOptions& options, ToolOutput& out, Axis axis) : Transformer(options, out), axis_(axis) {}

 private:
  // A mirror image runs the other way round: G02 and G03 change places.
  int MotionCode(int g) const override { return g == 2 ? 3 : g == 3 ? 2 : g; }
  void Coordinates(const nc::BlockAttributes& attrs, std::string& text) override {
    if (attrs.Has(BlockAttr::HasX)) AppendValue(text, 'X', axis_ == Axis::X ? -x_ : x_, opt_.Decimals);
    if (attrs.Has(BlockAttr::HasY)) AppendValue(text, 'Y', axis_ == Axis::Y ? -y_ : y_, opt_.Decimals);
  }
  void ArcVector(double& i, double& j) const override {
    if (axis_ == Axis::X) i = -i;
    else j = -j;
  }

  Axis axis_;
};

ToolResult Transform(const nc::LineSource& lines, const ToolOptions& options, Transformer& t, ToolResult& r,
                     const Progress& progress) {
  RewriteBlocks(lines, options, progress, r, [&](const Block& b, int32_t line) {
    if (t.Block(b)) return true;
    r.Error = t.Fault().empty() ? OutOfRange(line) : ToolError{true, line, 0, std::string(t.Fault())};
    return false;
  });
  return std::move(r);
}

}  // namespace

ToolResult Rotate(const nc::LineSource& lines, const ToolOptions& options, double degrees, const Progress& progress) {
  ToolResult r(options);
  Rotator rotator(options, r.Output, degrees);
  return Transform(lines, options, rotator, r, progress);
}

ToolResult Mirror(const nc::LineSource& lines, const ToolOptions& options, Axis axis, const Progress& progress) {
  ToolResult r(options);
  Mirrorer mirrorer(options, r.Output, axis);
  return Transform(lines, options, mirrorer, r, progress);
}

}  // namespace kelvan::tools
