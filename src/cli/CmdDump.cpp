#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/Output.h"
#include "cli/LoadProgram.h"
#include "nc/PathList.h"

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
      WriteOut(out);
      out.clear();
    }
  }
  WriteOut(out);
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
  const std::shared_ptr<const nc::NcText> text = LoadProgramText(options.Positional[0]);
  if (!text) return 2;
  CliBench cli(text, ResolveSettings(options));
  const nc::AnalysisResult result = cli.Analyse();
  const nc::PathList& path = cli.Bench().Path();
  const nc::MachineState& state = cli.Bench().Machine();

  if (options.Summary) PrintSummary(path); else PrintItems(path);
  std::printf("range %.4f %.4f %.4f %.4f %.4f %.4f\n", Tidy(state.RangeMinX), Tidy(state.RangeMaxX),
              Tidy(state.RangeMinY), Tidy(state.RangeMaxY), Tidy(state.RangeMinZ), Tidy(state.RangeMaxZ));
  std::printf("maxcutz %.4f\n", Tidy(state.MaxCutZ));
  if (result.Ok()) {
    std::puts("result ok");
    return 0;
  }
  std::printf("%s\n", AnalysisErrorText(result).c_str());
  return 1;
}

}  // namespace kelvan::cli
