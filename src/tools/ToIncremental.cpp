// Incremental conversion: absolute coordinates become distances from the last position.

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/Tools.h"

namespace kelvan::tools {

namespace {

using nc::BlockAttr;

class Incrementer {
 public:
  Incrementer(const ToolOptions& options, ToolOutput& out) : opt_(options), out_(out) {}

  // False when the block cannot be converted: a distance beyond the range of numbers, or
  // values the text order cannot give (Fault says which).
  bool Block(const tools::Block& b) {
    overflow_ = false;
    fault_ = {};
    if (calls_.StartsSubprogram(b)) Forget();
    // The block's words change the mode in their order (Convert); what the block ends in
    // decides whether it can be converted at all.
    const int mode = ModeOf(b);
    const bool absoluteHere = mode != 0 ? mode == 90 : absolute_;
    if (mode != 0) modeKnown_ = true;
    const bool moves = b.Attrs.Has(BlockAttr::HasX) || b.Attrs.Has(BlockAttr::HasY) || b.Attrs.Has(BlockAttr::HasZ) ||
                       (b.Attrs.Has(BlockAttr::HasR) && b.Attrs.Has(BlockAttr::CycleCode));
    if (moves && !modeKnown_) {
      fault_ = kUnknownMode;
      return false;
    }
    bool done = false;
    if (b.Attrs.Has(BlockAttr::G92Given)) {
      SetPosition(b);
      done = true;
    } else if (moves && absoluteHere && NeedsUnknown(b)) {
      if (!KeepAbsolute(b)) return false;
      done = true;
    }
    if (done) absolute_ = absoluteHere;
    else if (!Convert(b)) return false;
    After(b);
    return true;
  }

  std::string_view Fault() const { return fault_; }

 private:
  bool Convert(const tools::Block& b) {
    steps_ = Steps(b, cycle_);
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

  // What the block leaves unknown: everything after a call; the axes a reference return
  // names (it ends at a point the program does not give).
  void After(const tools::Block& b) {
    // G80 ends a cycle, and so does G00, as the analysis has it.
    if (b.Attrs.Has(BlockAttr::CycleCode)) cycle_ = true;
    else if (b.Attrs.Has(BlockAttr::CycleCancel) || HasWord(b, 'G', 0)) cycle_ = false;
    if (CallBoundaries::Calls(b)) Forget();
    if (b.Attrs.Has(BlockAttr::RefReturn) && !b.Attrs.Has(BlockAttr::G92Given)) {
      if (b.Attrs.Has(BlockAttr::HasX)) knownX_ = false;
      if (b.Attrs.Has(BlockAttr::HasY)) knownY_ = false;
      if (b.Attrs.Has(BlockAttr::HasZ)) knownZ_ = false;
    }
  }

  void Forget() {
    knownX_ = knownY_ = knownZ_ = false;
    modeKnown_ = false;
    // The converted program's own mode there is unknown too: the next move says G91.
    modeGiven_ = false;
  }

  // Whether an absolute block names a position the conversion does not know the last of
  // (or a cycle's R level measured from an unknown height).
  bool NeedsUnknown(const tools::Block& b) const {
    const bool cycleR = b.Attrs.Has(BlockAttr::HasR) && b.Attrs.Has(BlockAttr::CycleCode);
    return (b.Attrs.Has(BlockAttr::HasX) && !knownX_) || (b.Attrs.Has(BlockAttr::HasY) && !knownY_) ||
           ((b.Attrs.Has(BlockAttr::HasZ) || cycleR) && !knownZ_);
  }

  // A block whose distance cannot be known stays a position: written as it is, after a
  // G90, and the next move says G91 again. Inside a canned cycle that would change what
  // the cycle's R and Z mean for the holes after it: the conversion stops there.
  bool KeepAbsolute(const tools::Block& b) {
    if (cycle_ || b.Attrs.Has(BlockAttr::CycleCode)) {
      fault_ = kUnknownPosition;
      return false;
    }
    std::string text;
    if (ModeOf(b) != 90) {
      if (b.Words.WordCount >= nc::MaxWordsPerBlock) out_.Add("G90");
      else text += "G90";
    }
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const char letter = b.Words.Words[w].Letter;
      const double v = b.Words.Words[w].Value;
      if (letter == 'X' || letter == 'Y' || letter == 'Z') AppendValue(text, letter, v, opt_.Decimals);
      else AppendWord(text, letter, v, opt_.Decimals);
      if (letter == 'X') x_ = v, knownX_ = true;
      if (letter == 'Y') y_ = v, knownY_ = true;
      if (letter == 'Z') z_ = v, knownZ_ = true;
    }
    AddLine(out_, b, text);
    modeGiven_ = false;
    return true;
  }

  // G92 names the position, whatever the mode: its values stay as they are. Z without a
  // value is 0 there, as the analysis takes it.
  void SetPosition(const tools::Block& b) {
    std::string text;
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const char letter = b.Words.Words[w].Letter;
      const double v = b.Words.Words[w].Value;
      if (letter == 'G') AppendWord(text, 'G', Code(v) == 90 ? 91 : Code(v), opt_.Decimals);
      else if (letter == 'X' || letter == 'Y' || letter == 'Z') AppendValue(text, letter, v, opt_.Decimals);
      else AppendWord(text, letter, v, opt_.Decimals);
      if (letter == 'X') x_ = v, knownX_ = true;
      if (letter == 'Y') y_ = v, knownY_ = true;
    }
    z_ = 0;
    knownZ_ = true;
    for (int w = 0; w < b.Words.WordCount; ++w)
      if (b.Words.Words[w].Letter == 'Z') z_ = b.Words.Words[w].Value;
    if (ModeOf(b) != 0) modeGiven_ = true;
    AddLine(out_, b, text);
  }

  // 90 or 91 when the block gives one (the last of them), else 0.
  static int ModeOf(const tools::Block& b) {
    int mode = 0;
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const nc::NcWord& word = b.Words.Words[w];
      if (word.Letter == 'G' && (Code(word.Value) == 90 || Code(word.Value) == 91)) mode = Code(word.Value);
    }
    return mode;
  }

  void Axis(std::string& text, char letter, double v, double& last) {
    if (absolute_) {
      Computed(text, letter, v - last);
      last = v;
    } else {
      AppendValue(text, letter, v, opt_.Decimals);
      last += v * steps_;
    }
  }

  // How many times an incremental move of the block is made: a row of holes in a canned
  // cycle repeats it K (or L) times, the count rounded as the control rounds it; "L0" with
  // a cycle code only sets the cycle up. The position goes on as far.
  static double Steps(const tools::Block& b, bool cycle) {
    const bool cycleCode = b.Attrs.Has(BlockAttr::CycleCode);
    if (!cycle && !cycleCode) return 1;
    double count = 1;
    bool given = false;
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const nc::NcWord& word = b.Words.Words[w];
      if (word.Letter == 'K' && !given) count = word.Value;
      if (word.Letter == 'L') count = word.Value, given = true;
    }
    if (given && cycleCode && count == 0) return 0;
    return std::clamp(std::nearbyint(count), 0.0, 4.0e18);
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
  CallBoundaries calls_;
  std::string_view fault_;
  bool knownX_ = true, knownY_ = true, knownZ_ = true;  // the text order gives the last position
  bool modeKnown_ = true;   // and the program's G90/G91
  bool cycle_ = false;      // a canned cycle is in force
  double steps_ = 1;        // times the block's incremental move is made
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
    r.Error = incrementer.Fault().empty() ? OutOfRange(line) : ToolError{true, line, 0, std::string(incrementer.Fault())};
    return false;
  });
  return r;
}

}  // namespace kelvan::tools
