// Restart from a line and the path comparison on 1,000,000-line programs: seconds per run.

#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "ProgramGenerator.h"
#include "nc/NcText.h"
#include "nc/NcTextLineSource.h"
#include "nc/AnalyseProgram.h"
#include "nc/PathList.h"
#include "nc/RowMarks.h"
#include "nc/TEasyCalc.h"
#include "tools/ComparePaths.h"
#include "tools/Restart.h"
#include "tools/Tools.h"

namespace kelvan::bench {
namespace {

const nc::NcText& Program() {
  static const nc::NcText text = nc::NcText::FromBytes(GenerateProgram(1000000, 23));
  return text;
}

// The program rewritten by a conversion tool: 0 optimised (the same path), 1 turned by
// 0.01 degree (every point off but those near the origin).
const nc::NcText& Variant(int which) {
  static const std::array<nc::NcText, 2> variants = [] {
    const nc::NcTextLineSource lines(Program());
    const tools::ToolOptions options;
    return std::array<nc::NcText, 2>{nc::NcText::FromBytes(tools::Optimise(lines, options).Output.Text()),
                                     nc::NcText::FromBytes(tools::Rotate(lines, options, 0.01).Output.Text())};
  }();
  return variants[which];
}

// Restart at the last block (the M30 before the final "%"), in the middle, and at the top.
void BM_Restart(benchmark::State& state) {
  const nc::NcTextLineSource lines(Program());
  const int32_t count = lines.LineCount();
  const int32_t line = state.range(0) == 0 ? count - 2 : state.range(0) == 1 ? count / 2 : 3;
  tools::RestartOptions options;
  int64_t written = 0;
  for (auto _ : state) {
    const tools::RestartResult r = tools::RestartFromLine(lines, line, options);
    if (!r.Ok()) state.SkipWithError(r.Message.c_str());
    written = r.Output.LineCount();
  }
  state.SetLabel(state.range(0) == 0 ? "last block" : state.range(0) == 1 ? "middle" : "top");
  state.counters["lines"] = count;
  state.counters["lines_written"] = static_cast<double>(written);
}
BENCHMARK(BM_Restart)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Compare(benchmark::State& state) {
  const nc::NcTextLineSource a(Program());
  const nc::NcTextLineSource b(Variant(static_cast<int>(state.range(0))));
  const nc::AnalyseOptions options;
  size_t stretches = 0;
  double largest = 0;
  for (auto _ : state) {
    const tools::ProgramComparison c = tools::ComparePrograms(a, options, b, options, 0, tools::CompareOptions());
    if (!c.Ok()) state.SkipWithError("a program does not analyse");
    stretches = c.Result.Stretches.size();
    largest = c.Result.Largest;
  }
  state.SetLabel(state.range(0) == 0 ? "against its optimised form" : "against itself turned 0.01 deg");
  state.counters["stretches"] = static_cast<double>(stretches);
  state.counters["largest"] = largest;
}
BENCHMARK(BM_Compare)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The comparison alone, of paths analysed beforehand: what the window adds to the analysis
// it has already made, and the part of BM_Compare that is not the two analyses.
void BM_ComparePaths(benchmark::State& state) {
  struct Analysed {
    explicit Analysed(const nc::NcText& text) : Path(tools::PathCapacityFor(text.LineCount(), 0)) {
      nc::TEasyCalc calc;
      nc::MachineState machine;
      nc::RowMarks marks;
      Ok = nc::AnalyseProgram(nc::NcTextLineSource(text), nc::AnalyseOptions(), calc, Path, machine, marks).Ok();
    }
    nc::PathList Path;
    bool Ok = false;
  };
  static const Analysed a(Program());
  static const Analysed b0(Variant(0)), b1(Variant(1));
  const Analysed& b = state.range(0) == 0 ? b0 : b1;
  if (!a.Ok || !b.Ok) state.SkipWithError("a program does not analyse");
  size_t stretches = 0;
  for (auto _ : state) stretches = tools::ComparePaths(a.Path, b.Path, tools::CompareOptions()).Stretches.size();
  state.SetLabel(state.range(0) == 0 ? "against its optimised form" : "against itself turned 0.01 deg");
  state.counters["stretches"] = static_cast<double>(stretches);
}
BENCHMARK(BM_ComparePaths)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kelvan::bench
