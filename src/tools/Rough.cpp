// Simple roughing: the program replayed at Z levels from a start height down to an end
// height, every Z below a pass's level raised to it.

#include <cmath>
#include <string>

#include "tools/Tools.h"

namespace kelvan::tools {

namespace {

using nc::BlockAttr;

class Rougher {
 public:
  Rougher(const ToolOptions& options, ToolOutput& out) : opt_(options), out_(out), z_(options.AtcHeight) {}

  void Block(const tools::Block& b, double level, bool firstPass) {
    std::string text;
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const nc::NcWord& word = b.Words.Words[w];
      switch (word.Letter) {
        case 'G': G(Code(word.Value), firstPass, text); break;
        case 'X': x_ = word.Value; break;
        case 'Y': y_ = word.Value; break;
        case 'Z': z_ = word.Value; break;
        default: break;
      }
    }
    if (b.Attrs.Has(BlockAttr::HasX)) AppendValue(text, 'X', x_, opt_.Decimals);
    if (b.Attrs.Has(BlockAttr::HasY)) AppendValue(text, 'Y', y_, opt_.Decimals);
    if (b.Attrs.Has(BlockAttr::HasZ)) {
      if (z_ < level) z_ = level;
      AppendValue(text, 'Z', z_, opt_.Decimals);
    }
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const nc::NcWord& word = b.Words.Words[w];
      if (word.Letter == 'G' || word.Letter == 'X' || word.Letter == 'Y' || word.Letter == 'Z') continue;
      // The program's ends go: the roughing program ends once, after its last pass.
      if (word.Letter == 'M' && (word.Value == 2 || word.Value == 30)) continue;
      AppendWord(text, word.Letter, word.Value, opt_.Decimals);
    }
    AddLine(out_, b, text);
  }

 private:
  void G(int g, bool firstPass, std::string& text) {
    if (g >= 0 && g <= 3) {
      if (g == lastMotion_) return;
      lastMotion_ = g;
    } else if (g == 92 && !firstPass) {
      // Setting the position again would shift every later pass: a rapid move instead.
      g = 0;
      lastMotion_ = 0;
    }
    AppendWord(text, 'G', g, opt_.Decimals);
  }

  const ToolOptions& opt_;
  ToolOutput& out_;
  int lastMotion_ = -1;  // kept from pass to pass
  double x_ = 0, y_ = 0, z_;
};

// The levels of the passes, from start down to end by step, the last clamped to end.
template <class F>
void ForEachLevel(const RoughParameters& p, F&& f) {
  double level = p.Start;
  for (bool first = true;; first = false) {
    if (level < p.End) level = p.End;
    if (!f(level, first)) return;
    if (level == p.End) return;
    level -= p.Step;
  }
}

}  // namespace

int64_t RoughPasses(const RoughParameters& p) {
  if (!(p.Start >= p.End) || !(p.Step >= 1.0) || !std::isfinite(p.Start) || !std::isfinite(p.End) ||
      !std::isfinite(p.Step))
    return 0;
  // Counted the way the passes run, up to one more than could ever be written (a step
  // too small to change a large start would never reach the end).
  int64_t passes = 0;
  ForEachLevel(p, [&](double, bool) { return ++passes <= kMaxOutputLines; });
  return passes;
}

ToolResult Rough(const nc::LineSource& lines, const ToolOptions& options, const RoughParameters& parameters,
                 const Progress& progress) {
  ToolResult r(options);
  const int64_t passes = RoughPasses(parameters);
  if (passes == 0) {
    r.Error = {true, 0, 0, "開始高さ・終了高さ・ステップ量が正しくありません"};
    return r;
  }
  if (passes > kMaxOutputLines / std::max<int64_t>(1, lines.LineCount() + 1)) {
    r.Error = {true, 0, 0, "パス数が多すぎます"};
    return r;
  }
  ProgressCounter counter(progress);
  LineWalk walk(lines, options, counter);
  walk.ReserveAbout(r.Output, 1.1 * static_cast<double>(passes));
  Rougher rougher(options, r.Output);
  r.Output.Add("%");
  bool ok = true;
  ForEachLevel(parameters, [&](double level, bool first) {
    ok = walk.Run(
        r.Error,
        [&](std::string_view text, const nc::BlockAttributes& attrs) {
          if (!attrs.Has(BlockAttr::PercentLine)) r.Output.Add(text);  // one "%" pair for all
        },
        [&](const Block& b, int32_t) {
          rougher.Block(b, level, first);
          return true;
        });
    return ok;
  });
  counter.Finish();
  if (!ok) return r;
  r.Output.Add("M30");
  r.Output.Add("%");
  return r;
}

}  // namespace kelvan::tools
