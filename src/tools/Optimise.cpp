// Path optimisation: a motion code that repeats the one in force and an X or Y equal to the
// last one written are dropped.

#include <string>

#include "tools/Tools.h"

namespace kelvan::tools {

namespace {

using nc::BlockAttr;

// What no coordinate is: the first X and Y are always written.
constexpr double kNoneWritten = 9999999.0;

class Optimiser {
 public:
  Optimiser(const ToolOptions& options, ToolOutput& out) : opt_(options), out_(out), z_(options.AtcHeight) {}

  void Block(const tools::Block& b) {
    // A program number starts a subprogram, which runs from wherever it is called, with
    // whatever motion code is then in force: nothing written before it holds there.
    if (HasWord(b, 'O', -1)) Forget();
    std::string text;
    // Pass 1: G words, and the coordinates read.
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const nc::NcWord& word = b.Words.Words[w];
      switch (word.Letter) {
        case 'G': G(Code(word.Value), text); break;
        case 'X': x_ = word.Value; break;
        case 'Y': y_ = word.Value; break;
        case 'Z': z_ = word.Value; break;
        default: break;
      }
    }
    // Pass 2: the coordinates. A repeated incremental X is a real move, and dropping an
    // arc's X and Y would turn it into a full circle: neither is dropped.
    const bool keep = incremental_ || motion_ == 2 || motion_ == 3;
    if (b.Attrs.Has(BlockAttr::HasX) && (keep || x_ != writtenX_)) {
      AppendValue(text, 'X', x_, opt_.Decimals);
      if (!incremental_) writtenX_ = x_;
    }
    if (b.Attrs.Has(BlockAttr::HasY) && (keep || y_ != writtenY_)) {
      AppendValue(text, 'Y', y_, opt_.Decimals);
      if (!incremental_) writtenY_ = y_;
    }
    if (b.Attrs.Has(BlockAttr::HasZ)) AppendValue(text, 'Z', z_, opt_.Decimals);
    // Pass 3: every other word.
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const nc::NcWord& word = b.Words.Words[w];
      if (word.Letter == 'G' || word.Letter == 'X' || word.Letter == 'Y' || word.Letter == 'Z') continue;
      AppendWord(text, word.Letter, word.Value, opt_.Decimals);
    }
    AddLine(out_, b, text);
    // After a call the subprogram has left its own position and motion code.
    if (HasWord(b, 'M', 98)) Forget();
  }

 private:
  void Forget() {
    lastMotion_ = -1;
    writtenX_ = writtenY_ = kNoneWritten;
  }

  void G(int g, std::string& text) {
    if (g >= 0 && g <= 3) {
      motion_ = g;
      if (g == lastMotion_) return;
      lastMotion_ = g;
    } else if (g == 91) {
      // Incremental values say nothing about the absolute ones that follow a later G90.
      incremental_ = true;
      writtenX_ = writtenY_ = kNoneWritten;
    } else if (g == 90) {
      incremental_ = false;
    }
    AppendWord(text, 'G', g, opt_.Decimals);
  }

  const ToolOptions& opt_;
  ToolOutput& out_;
  int lastMotion_ = -1;  // the motion code last written
  int motion_ = -1;      // the motion code in force
  bool incremental_ = false;
  double x_ = 0, y_ = 0, z_;
  double writtenX_ = kNoneWritten, writtenY_ = kNoneWritten;
};

}  // namespace

ToolResult Optimise(const nc::LineSource& lines, const ToolOptions& options, const Progress& progress) {
  ToolResult r(options);
  Optimiser optimiser(options, r.Output);
  RewriteBlocks(lines, options, progress, r, [&](const Block& b, int32_t) {
    optimiser.Block(b);
    return true;
  });
  return r;
}

}  // namespace kelvan::tools
