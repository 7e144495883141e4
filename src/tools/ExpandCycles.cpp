// Canned-cycle expansion: G81, G73 and G83 become the G00/G01 Z moves they stand for.

#include <cmath>
#include <string>

#include "tools/Tools.h"

namespace kelvan::tools {

namespace {

using nc::BlockAttr;

// A hole of more pecks than this is refused: its expansion would not fit the editor.
constexpr int64_t kMaxPecks = 100000;
constexpr double kRetract = 0.5;
constexpr double kStartInitialLevel = 100.0;

class Expander {
 public:
  Expander(const ToolOptions& options, ToolOutput& out) : opt_(options), out_(out) {}

  // Rebuilds one block and appends it and its expansion; false when a hole would take
  // more pecks than can be written.
  bool Block(const tools::Block& b, int32_t line, ToolError& error) {
    std::string text, positioning, sequence;
    bool positionFlag = false;
    bool cycleBlock = b.Attrs.Has(BlockAttr::CycleCode);
    const bool cancelBlock = b.Attrs.Has(BlockAttr::CycleCancel);
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const nc::NcWord& word = b.Words.Words[w];
      const double v = word.Value;
      switch (word.Letter) {
        case 'F':
          feed_ = Code(v);
          break;
        case 'G':
          if (cycleBlock) {
            active_ = Code(v);
            if (active_ == 73 || active_ == 81 || active_ == 83 || active_ == 98 || active_ == 99) {
              positionFlag = true;
              continue;  // written by the expansion, not here
            }
            // Another code ends the cycle: what follows is an ordinary block.
            positionFlag = false;
            active_ = 0;
            cycleBlock = false;
          } else if (cancelBlock) {
            // The G80 goes with the cycles it cancels; a motion code beside it stays, or
            // "G80 G01 Z-1." would become a rapid move.
            active_ = 0;
            if (Code(v) == 80) continue;
          }
          break;
        case 'N': AppendWord(sequence, 'N', v, opt_.Decimals); break;
        case 'Q': peck_ = v; break;
        case 'R':
          if (cycleBlock) rLevel_ = v;
          break;
        case 'X':
        case 'Y':
          positionFlag = true;
          AppendWord(positioning, word.Letter, v, opt_.Decimals);
          break;
        case 'Z':
          bottom_ = v;
          if (b.Attrs.Has(BlockAttr::G43Given)) initial_ = v;
          break;
        default: break;
      }
      AppendWord(text, word.Letter, v, opt_.Decimals);
    }
    block_ = &b;
    commentDue_ = true;
    // The cycle block is not written itself: its sequence number goes with its first line.
    sequence_ = cycleBlock ? std::move(sequence) : std::string();
    if (!cycleBlock) {
      Add(text);
    } else if (!positioning.empty()) {
      // The cycle block itself is not written; without this line its hole would be drilled
      // wherever the tool stood.
      Add("G00" + positioning);
    }
    if (active_ > 0 && positionFlag && !Expand(line, error)) return false;
    // A block that wrote no line of its own still keeps its comment.
    if (commentDue_ && b.Text.find('(') != std::string_view::npos) Add("");
    return true;
  }

 private:
  // The lines made from a block-skip block keep its "/", its expansion included; the
  // block's comment goes with the first of them.
  void Add(std::string_view text) {
    if (commentDue_ && !sequence_.empty()) {
      AddLine(out_, *block_, sequence_ + std::string(text), true);
    } else {
      AddLine(out_, *block_, text, commentDue_);
    }
    commentDue_ = false;
  }

  std::string Z(double v) const {
    std::string s;
    AppendValue(s, 'Z', v, opt_.Decimals);
    return s;
  }
  std::string Feed() const { return "F" + std::to_string(feed_); }

  bool Expand(int32_t line, ToolError& error) {
    switch (active_) {
      case 81:
        Add("G00" + Z(rLevel_));
        Add("G01" + Z(bottom_) + Feed());
        Add("G00" + Z(initial_));
        return true;
      case 73:
      case 83:
        return Pecks(line, error);
      default:
        return true;  // 98, 99: no cycle of their own
    }
  }

  // G73 retracts by 0.5 after each peck; G83 returns to the R level and comes back to 0.5
  // above the last depth.
  bool Pecks(int32_t line, ToolError& error) {
    // Counted from 0.0 when the hole goes below it, as the control does; a hole above 0.0
    // would be drilled by nothing that way, so it starts at the R level.
    const double start = bottom_ < 0 ? 0.0 : rLevel_;
    const bool plunge = !(peck_ > 0);  // no peck depth: one stroke to the bottom
    if (!plunge && start > bottom_ && (start - bottom_) / peck_ > kMaxPecks) {
      error = {true, line, 0, "ペック回数が多すぎます"};
      return false;
    }
    Add("G00" + Z(rLevel_));
    Add(Feed());
    double depth = start;
    while (depth > bottom_) {
      depth = plunge ? bottom_ : depth - peck_;
      if (depth < bottom_) depth = bottom_;
      Add("G01" + Z(depth));
      if (active_ == 73) {
        Add("G00" + Z(depth + kRetract));
      } else {
        Add("G00" + Z(rLevel_));
        if (depth > bottom_) Add(Z(depth + kRetract));
      }
    }
    Add("G00" + Z(initial_));
    return true;
  }

  const ToolOptions& opt_;
  ToolOutput& out_;
  const tools::Block* block_ = nullptr;  // the block being rebuilt
  bool commentDue_ = false;               // its comment is not written yet
  std::string sequence_;                  // the sequence number of a cycle block
  int active_ = 0;
  double rLevel_ = 0, bottom_ = 0, initial_ = kStartInitialLevel, peck_ = 0;
  int feed_ = 0;
};

}  // namespace

ToolResult ExpandCycles(const nc::LineSource& lines, const ToolOptions& options, const Progress& progress) {
  ToolResult r(options);
  Expander expander(options, r.Output);
  // A few cycles grow into many lines.
  RewriteBlocks(
      lines, options, progress, r, [&](const Block& b, int32_t line) { return expander.Block(b, line, r.Error); },
      1.5);
  return r;
}

}  // namespace kelvan::tools
