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

  // False when a value computed for the block is beyond the range of numbers.
  bool Block(const tools::Block& b) {
    overflow_ = false;
    // A subprogram runs with whatever motion code its call leaves, and a call returns with
    // whatever motion code the subprogram leaves: the first motion code after either is
    // written even when the text before it had the same.
    if (HasWord(b, 'O', -1)) lastMotion_ = -1;
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
    if (HasWord(b, 'M', 98)) lastMotion_ = -1;
    return true;
  }

 protected:
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
  double x_ = 0, y_ = 0;
  mutable bool overflow_ = false;

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
  int lastMotion_ = -1;
  double z_;
};

class Rotator : public Transformer {
 public:
  Rotator(const ToolOptions& options, ToolOutput& out, double degrees)
      : Transformer(options, out), c_(std::cos(degrees * std::numbers::pi / 180)),
        s_(std::sin(degrees * std::numbers::pi / 180)) {}

 private:
  void Coordinates(const nc::BlockAttributes& attrs, std::string& text) override {
    if (!attrs.Has(BlockAttr::HasX) && !attrs.Has(BlockAttr::HasY)) return;
    // From the current X and Y, so a block that gave one of them gets both.
    Computed(text, 'X', x_ * c_ - y_ * s_);
    Computed(text, 'Y', x_ * s_ + y_ * c_);
  }
  bool TurnsArcVector() const override { return true; }
  void ArcVector(double& i, double& j) const override {
    const double ri = i * c_ - j * s_, rj = i * s_ + j * c_;
    i = ri;
    j = rj;
  }

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
    r.Error = OutOfRange(line);
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
