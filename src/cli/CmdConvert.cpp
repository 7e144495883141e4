// kelvan-cli convert TOOL FILE [-o OUT]: a conversion tool on a program file, the result in
// the file's encoding and line ends, to OUT or to standard output.

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/LoadProgram.h"
#include "cli/Output.h"
#include "nc/Cp932.h"
#include "nc/NcText.h"
#include "nc/NcTextLineSource.h"
#include "tools/Tools.h"

namespace kelvan::cli {

namespace {

constexpr const char* kUsage =
    "usage: kelvan-cli convert [options] TOOL FILE [-o OUT]\n"
    "  TOOL: expand, optimise, incremental, fixed, noblank, rotate:DEG, mirror-x, mirror-y,\n"
    "        rough:START:END:STEP\n";

// "rotate:30" -> {"rotate", "30"}.
std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t colon = text.find(':', start);
    parts.push_back(text.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
    if (colon == std::string::npos) return parts;
    start = colon + 1;
  }
}

bool Number(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && !text.empty() && std::isfinite(value);
}

// Runs the named tool; false (with the usage) for a tool that does not exist or bad
// parameters, which the window's own checks would refuse too.
bool RunTool(const std::string& toolText, const nc::LineSource& lines, const tools::ToolOptions& options,
             tools::ToolResult& result) {
  const std::vector<std::string> p = Split(toolText);
  const std::string& name = p[0];
  if (p.size() == 1) {
    if (name == "expand") result = tools::ExpandCycles(lines, options);
    else if (name == "optimise") result = tools::Optimise(lines, options);
    else if (name == "incremental") result = tools::ToIncremental(lines, options);
    else if (name == "fixed") result = tools::RemoveDecimalPoints(lines, options);
    else if (name == "noblank") result = tools::RemoveBlankLines(lines, options);
    else if (name == "mirror-x") result = tools::Mirror(lines, options, tools::Axis::X);
    else if (name == "mirror-y") result = tools::Mirror(lines, options, tools::Axis::Y);
    else return false;
    return true;
  }
  double a = 0, b = 0, c = 0;
  if (name == "rotate" && p.size() == 2 && Number(p[1], a) && std::fabs(a) < 360) {
    result = tools::Rotate(lines, options, a);
    return true;
  }
  if (name == "rough" && p.size() == 4 && Number(p[1], a) && Number(p[2], b) && Number(p[3], c) &&
      tools::RoughPasses({a, b, c}) > 0) {
    result = tools::Rough(lines, options, {a, b, c});
    return true;
  }
  return false;
}

}  // namespace

int RunConvert(const CliOptions& options) {
  if (options.Positional.size() != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::shared_ptr<const nc::NcText> text = LoadProgramText(options.Positional[1]);
  if (!text) return 2;
  const EffectiveSettings s = ResolveSettings(options);
  tools::ToolOptions tool;
  tool.Tokenize.ValueUnit = nc::ValueUnitForFloatPos(s.FloatPos);
  tool.Tokenize.BlockSkipOn = s.BlockSkip;
  // The tokenizer compares the words with the line's bytes, in the file's encoding.
  for (const std::string& tag : s.ErrorTags) tool.Tokenize.ErrorTags.push_back(nc::EncodeFromUtf8(tag, text->Encoding()));
  tool.Decimals = nc::DecimalsForFloatPos(s.FloatPos);
  tool.AtcHeight = s.AtcHeight;
  tool.LineEnd = std::string(nc::LineEndBytes(text->DominantEnd()));
  const nc::NcTextLineSource lines(*text);
  tools::ToolResult result;
  if (!RunTool(options.Positional[0], lines, tool, result)) {
    std::fprintf(stderr, "kelvan-cli: unknown tool or bad parameters: %s\n", options.Positional[0].c_str());
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!result.Ok()) {
    // Nothing is written: a partial program is no result.
    std::fprintf(stderr, "%s %d %d\n", result.Error.Message.c_str(), result.Error.Line, result.Error.Column);
    return 1;
  }
  return WriteProgram(result.Output.Text(), tool.LineEnd, *text, options.Output);
}

}  // namespace kelvan::cli
