// kelvan-cli restart --line N FILE [-o OUT]: the program restarted at line N (1-based), after
// a preamble that restores the state the program had reached there; to OUT or to standard
// output, in the file's encoding and line ends.

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/LoadProgram.h"
#include "cli/Output.h"
#include "nc/Cp932.h"
#include "nc/NcText.h"
#include "nc/NcTextLineSource.h"
#include "tools/Restart.h"

namespace kelvan::cli {

namespace {

constexpr const char* kUsage = "usage: kelvan-cli restart [options] --line N FILE [-o OUT]\n";

tools::RestartOptions OptionsFor(const EffectiveSettings& s, const nc::NcText& text) {
  tools::RestartOptions o;
  o.Tool.Tokenize.ValueUnit = nc::ValueUnitForFloatPos(s.FloatPos);
  o.Tool.Tokenize.BlockSkipOn = s.BlockSkip;
  // The tokenizer compares the words with the line's bytes, in the file's encoding.
  for (const std::string& tag : s.ErrorTags)
    o.Tool.Tokenize.ErrorTags.push_back(nc::EncodeFromUtf8(tag, text.Encoding()));
  o.Tool.Decimals = nc::DecimalsForFloatPos(s.FloatPos);
  o.Tool.AtcHeight = s.AtcHeight;
  o.Tool.LineEnd = std::string(nc::LineEndBytes(text.DominantEnd()));
  o.WorkHeight = s.WorkHeight;
  o.Capacity = s.Capacity;
  return o;
}

}  // namespace

int RunRestart(const CliOptions& options) {
  if (options.Positional.size() != 1 || !options.Line) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::shared_ptr<const nc::NcText> text = LoadProgramText(options.Positional[0]);
  if (!text) return 2;
  const tools::RestartOptions o = OptionsFor(ResolveSettings(options), *text);
  const nc::NcTextLineSource lines(*text);
  tools::RestartResult r = tools::RestartFromLine(lines, *options.Line - 1, o);
  if (!r.Ok()) {
    // Nothing is written: a restart that is not exact is no restart.
    std::string where = "行 " + std::to_string(int64_t{r.FaultLine} + 1);
    if (r.Refusal == tools::RestartRefusal::Fault) where += " 桁 " + std::to_string(int64_t{r.FaultColumn} + 1);
    std::fprintf(stderr, "kelvan-cli: 再開できません（%s）: %s\n", where.c_str(), r.Message.c_str());
    return 1;
  }
  return WriteProgram(r.Output.Text(), o.Tool.LineEnd, *text, options.Output);
}

}  // namespace kelvan::cli
