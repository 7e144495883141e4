#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "nc/AnalyseProgram.h"
#include "nc/Cp932.h"
#include "nc/NcText.h"
#include "nc/NcTextLineSource.h"
#include "nc/PathList.h"
#include "nc/TEasyCalc.h"

namespace kelvan::cli {

namespace {

// "-0.0000" says nothing that "0.0000" does not.
double Tidy(double v) { return v == 0 ? 0.0 : v; }

void PrintItems(const nc::PathList& path) {
  std::string out;
  char buf[128];
  for (int32_t i = 0; i < path.Count; ++i) {
    const nc::PathItem& it = path[i];
    std::snprintf(buf, sizeof buf, "%d %d %d", i, it.Line, nc::KindCode(it.Kind));
    out += buf;
    for (float v : it.Values) {
      std::snprintf(buf, sizeof buf, " %.4f", Tidy(v));
      out += buf;
    }
    std::snprintf(buf, sizeof buf, " %.4f %.4f %.6f\n", Tidy(it.CutLength), Tidy(it.RapidLength),
                  Tidy(it.Time));
    out += buf;
    if (out.size() > (1u << 16)) {
      std::fputs(out.c_str(), stdout);
      out.clear();
    }
  }
  std::fputs(out.c_str(), stdout);
}

void PrintSummary(const nc::PathList& path) {
  double cut = 0, rapid = 0, time = 0;
  for (const nc::PathItem& it : path) {
    cut += it.CutLength;
    rapid += it.RapidLength;
    time += it.Time;
  }
  std::printf("items %d\ncut %.4f\nrapid %.4f\ntime %.6f\n", path.Count, Tidy(cut), Tidy(rapid), Tidy(time));
}

}  // namespace

int RunDump(const CliOptions& options) {
  if (options.Positional.size() != 1) {
    std::fputs("usage: kelvan-cli dump [options] [--summary] [--] FILE\n", stderr);
    return 2;
  }
  nc::NcText text;
  std::string error;
  if (!nc::NcText::Load(options.Positional[0], text, error)) {
    std::fprintf(stderr, "kelvan-cli: %s\n", error.c_str());
    return 2;
  }
  const EffectiveSettings s = ResolveSettings(options);
  nc::AnalyseOptions opt;
  opt.Tokenize.ValueUnit = nc::ValueUnitForFloatPos(s.FloatPos);
  opt.Tokenize.BlockSkipOn = s.BlockSkip;
  // The words are compared with the file's bytes, so they go into the file's encoding.
  for (const std::string& tag : s.ErrorTags)
    opt.Tokenize.ErrorTags.push_back(nc::EncodeFromUtf8(tag, text.Encoding()));
  opt.AtcHeight = s.AtcHeight;
  opt.WorkHeight = s.WorkHeight;

  nc::PathList path(s.Capacity);
  nc::MachineState state;
  nc::TEasyCalc calc;
  nc::NcTextLineSource lines(text);
  const nc::AnalysisResult result = nc::AnalyseProgram(lines, opt, calc, path, state);

  if (options.Summary) PrintSummary(path); else PrintItems(path);
  std::printf("range %.4f %.4f %.4f %.4f %.4f %.4f\n", Tidy(state.RangeMinX), Tidy(state.RangeMaxX),
              Tidy(state.RangeMinY), Tidy(state.RangeMaxY), Tidy(state.RangeMinZ), Tidy(state.RangeMaxZ));
  std::printf("maxcutz %.4f\n", Tidy(state.MaxCutZ));
  if (result.Ok()) {
    std::puts("result ok");
    return 0;
  }
  const std::string message(nc::AnalysisMessage(result.Code));
  std::printf("result error %d %d %d %s\n", result.Code, result.Line, result.Column, message.c_str());
  return 1;
}

}  // namespace kelvan::cli
