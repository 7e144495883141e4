// The conversion tools' cores on a 1,000,000-line program: lines converted per second.

#include <benchmark/benchmark.h>

#include <string>

#include "ProgramGenerator.h"
#include "nc/NcText.h"
#include "nc/NcTextLineSource.h"
#include "tools/Tools.h"

namespace kelvan::bench {
namespace {

const nc::NcText& ToolProgram() {
  static const nc::NcText text = nc::NcText::FromBytes(GenerateProgram(1000000, 11));
  return text;
}

const char* const kNames[] = {"expand", "optimise", "incremental", "fixed", "noblank",
                              "rotate 30", "mirror x", "rough 3 passes"};

void BM_Tool(benchmark::State& state) {
  const nc::NcTextLineSource lines(ToolProgram());
  const tools::ToolOptions options;
  int64_t written = 0;
  for (auto _ : state) {
    tools::ToolResult r;
    switch (state.range(0)) {
      case 0: r = tools::ExpandCycles(lines, options); break;
      case 1: r = tools::Optimise(lines, options); break;
      case 2: r = tools::ToIncremental(lines, options); break;
      case 3: r = tools::RemoveDecimalPoints(lines, options); break;
      case 4: r = tools::RemoveBlankLines(lines, options); break;
      case 5: r = tools::Rotate(lines, options, 30); break;
      case 6: r = tools::Mirror(lines, options, tools::Axis::X); break;
      default: r = tools::Rough(lines, options, {0, -10, 5}); break;
    }
    if (!r.Ok()) state.SkipWithError(r.Error.Message.c_str());
    written = r.Output.LineCount();
  }
  state.SetLabel(kNames[state.range(0)]);
  state.SetItemsProcessed(state.iterations() * lines.LineCount());
  state.counters["lines_written"] = static_cast<double>(written);
}
BENCHMARK(BM_Tool)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvan::bench
