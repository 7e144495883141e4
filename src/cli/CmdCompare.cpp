// kelvan-cli compare A B [--tolerance T]: where the tool paths of two programs differ.
//   largest D A LINE B LINE            the largest distance and where it occurs
//   differ A L1-L2 B L3-L4 largest D [rapid/feed]   one line per differing stretch
//   result agree | result differ N
// Lines are 1-based ("-" for none), distances %.6f. Exit 0 when the paths agree within the
// tolerance, 1 when they differ, 2 on a usage or file error or a program that does not
// analyse.

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/LoadProgram.h"
#include "cli/Output.h"
#include "nc/Cp932.h"
#include "nc/NcText.h"
#include "nc/NcTextLineSource.h"
#include "tools/ComparePaths.h"

namespace kelvan::cli {

namespace {

constexpr const char* kUsage = "usage: kelvan-cli compare [options] A B [--tolerance T]\n";

nc::AnalyseOptions OptionsFor(const EffectiveSettings& s, const nc::NcText& text) {
  nc::AnalyseOptions o;
  o.Tokenize.ValueUnit = nc::ValueUnitForFloatPos(s.FloatPos);
  o.Tokenize.BlockSkipOn = s.BlockSkip;
  for (const std::string& tag : s.ErrorTags) o.Tokenize.ErrorTags.push_back(nc::EncodeFromUtf8(tag, text.Encoding()));
  o.AtcHeight = s.AtcHeight;
  o.WorkHeight = s.WorkHeight;
  return o;
}

std::string Line(int32_t line) { return line < 0 ? std::string("-") : std::to_string(int64_t{line} + 1); }

std::string Range(int32_t first, int32_t last) {
  if (first < 0) return "-";
  return first == last ? Line(first) : Line(first) + "-" + Line(last);
}

// "-0.000000" says nothing that "0.000000" does not.
double Tidy(double v) { return v == 0 ? 0.0 : v; }

}  // namespace

int RunCompare(const CliOptions& options) {
  if (options.Positional.size() != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::shared_ptr<const nc::NcText> a = LoadProgramText(options.Positional[0]);
  if (!a) return 2;
  const std::shared_ptr<const nc::NcText> b = LoadProgramText(options.Positional[1]);
  if (!b) return 2;
  const EffectiveSettings s = ResolveSettings(options);
  tools::CompareOptions compare;
  if (options.Tolerance) compare.Tolerance = *options.Tolerance;
  const nc::NcTextLineSource la(*a), lb(*b);
  const tools::ProgramComparison c =
      tools::ComparePrograms(la, OptionsFor(s, *a), lb, OptionsFor(s, *b), s.Capacity, compare);
  if (!c.Ok()) {
    const std::string& file = options.Positional[static_cast<size_t>(c.Failed - 1)];
    if (c.ListFull) {
      std::fprintf(stderr, "kelvan-cli: %s: 経路リストの容量が足りません（--capacity）\n", file.c_str());
    } else if (c.OutOfRange) {
      std::fprintf(stderr, "kelvan-cli: %s: 経路の座標が比べられる範囲を超えます\n", file.c_str());
    } else {
      std::fprintf(stderr, "kelvan-cli: %s: 行 %d 桁 %d: %s\n", file.c_str(), c.Error.Line + 1, c.Error.Column + 1,
                   std::string(nc::AnalysisMessage(c.Error.Code)).c_str());
    }
    return 2;
  }
  const tools::CompareResult& r = c.Result;
  std::string out;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6f", Tidy(r.Largest));
  out += "largest " + std::string(buf) + " A " + Line(r.LineA) + " B " + Line(r.LineB) + "\n";
  for (const tools::PathDifference& d : r.Stretches) {
    std::snprintf(buf, sizeof buf, "%.6f", Tidy(d.Largest));
    out += "differ A " + Range(d.FirstLineA, d.LastLineA) + " B " + Range(d.FirstLineB, d.LastLineB) + " largest " +
           buf + (d.RapidFeed ? " rapid/feed\n" : "\n");
  }
  out += r.Agree() ? "result agree\n" : "result differ " + std::to_string(r.Stretches.size()) + "\n";
  WriteOut(out);
  return r.Agree() ? 0 : 1;
}

}  // namespace kelvan::cli
