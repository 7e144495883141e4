// Incremental conversion: absolute coordinates become distances from the last position.

#include <cmath>
#include <string>

#include "tools/Tools.h"

namespace kelvan::tools {

namespace {

using nc::BlockAttr;

class Incrementer {
 public:
  Incrementer(const ToolOptions& options, ToolOutput& out) : opt_(options), out_(out) {}

  // False when a distance computed for the block is beyond the range of numbers.
  bool Block(const tools::Block& b) {
    overflow_ = false;
    const bool cycle = b.Attrs.Has(BlockAttr::CycleCode);
    const bool hasR = b.Attrs.Has(BlockAttr::HasR);
    // The R level of a cycle block measures its Z, wherever the R word stands.
    double blockR = 0;
    for (int w = 0; w < b.Words.WordCount; ++w)
      if (b.Words.Words[w].Letter == 'R') blockR = b.Words.Words[w].Value;
    std::string text;
    // A program that moves before it says G90 or G91 relies on the control's absolute
    // default; its distances need a G91 in front, or they would run as positions.
    if (!modeGiven_ && !GivesMode(b) &&
        (b.Attrs.Has(BlockAttr::HasX) || b.Attrs.Has(BlockAttr::HasY) || b.Attrs.Has(BlockAttr::HasZ))) {
      // A block with a full word table has no room for it: it stands on a line of its own.
      if (b.Words.WordCount >= nc::MaxWordsPerBlock) out_.Add("G91");
      else text += "G91";
      modeGiven_ = true;
    }
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const char letter = b.Words.Words[w].Letter;
      const double v = b.Words.Words[w].Value;
      switch (letter) {
        case 'G': {
          const int g = Code(v);
          if (g == 90) absolute_ = true;
          if (g == 91) absolute_ = false;
          if (g == 90 || g == 91) modeGiven_ = true;
          AppendWord(text, 'G', g == 90 ? 91 : g, opt_.Decimals);
          break;
        }
        case 'X': Axis(text, 'X', v, x_); break;
        case 'Y': Axis(text, 'Y', v, y_); break;
        case 'Z': Z(text, v, cycle, hasR, blockR); break;
        case 'R':
          if (cycle && absolute_) {
            Computed(text, 'R', v - z_);  // from the level the cycle starts at
          } else {
            AppendValue(text, 'R', v, opt_.Decimals);
          }
          break;
        default: AppendWord(text, letter, v, opt_.Decimals); break;
      }
    }
    if (overflow_) return false;
    AddLine(out_, b, text);
    return true;
  }

 private:
  void Axis(std::string& text, char letter, double v, double& last) {
    if (absolute_) {
      Computed(text, letter, v - last);
      last = v;
    } else {
      AppendValue(text, letter, v, opt_.Decimals);
      last += v;
    }
  }

  void Z(std::string& text, double v, bool cycle, bool hasR, double blockR) {
    if (!absolute_) {
      AppendValue(text, 'Z', v, opt_.Decimals);
      z_ += v;
    } else if (cycle && hasR) {
      // From the R level to the hole bottom; the cycle returns to where it started.
      Computed(text, 'Z', v - blockR);
    } else if (cycle) {
      text += "(R NOT FOUND)";  // left for the user to correct
    } else {
      Computed(text, 'Z', v - z_);
      z_ = v;
    }
  }

  // Writes a computed distance, noting one that is no finite number (an incremental
  // position summed beyond the range makes every later distance one).
  void Computed(std::string& text, char letter, double v) {
    if (!std::isfinite(v)) overflow_ = true;
    AppendValue(text, letter, v, opt_.Decimals);
  }

  static bool GivesMode(const tools::Block& b) {
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const nc::NcWord& word = b.Words.Words[w];
      if (word.Letter == 'G' && (Code(word.Value) == 90 || Code(word.Value) == 91)) return true;
    }
    return false;
  }

  const ToolOptions& opt_;
  ToolOutput& out_;
  bool overflow_ = false;
  bool modeGiven_ = false;  // a G90 or G91 was written
  bool absolute_ = true;
  double x_ = 0, y_ = 0, z_ = 0;  // the absolute position reached; the program starts at 0
};

}  // namespace

ToolResult ToIncremental(const nc::LineSource& lines, const ToolOptions& options, const Progress& progress) {
  ToolResult r(options);
  Incrementer incrementer(options, r.Output);
  RewriteBlocks(lines, options, progress, r, [&](const Block& b, int32_t line) {
    if (incrementer.Block(b)) return true;
    r.Error = OutOfRange(line);
    return false;
  });
  return r;
}

}  // namespace kelvan::tools
