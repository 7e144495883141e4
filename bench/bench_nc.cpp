// Tokenizing and analysing a large program: what every redraw, step and report costs.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>

#include "ProgramGenerator.h"
#include "nc/AnalyseProgram.h"
#include "nc/NcText.h"
#include "nc/NcTextLineSource.h"
#include "nc/RowMarks.h"
#include "nc/PathList.h"
#include "nc/TEasyCalc.h"
#include "nc/TokenizeBlock.h"

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// Every heap allocation of the process is counted, so that the benchmarks can show that
// the hot loops allocate nothing per block.
namespace {
std::atomic<long> g_allocations{0};
}
void* operator new(size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace kelvan::bench {
namespace {

constexpr size_t kBlocks = 1000000;

// The generated program with a subprogram called in a loop: every 500 blocks a call of
// O9000, which stands after M30 as shop programs keep them.
const nc::NcText& Program() {
  static const nc::NcText text = [] {
    std::string program = GenerateProgram(kBlocks, 7);
    const size_t end = program.rfind("M30");
    std::string body = program.substr(0, end);
    std::string out;
    out.reserve(program.size() + program.size() / 20);
    size_t pos = 0;
    for (size_t n = 0; pos < body.size(); ++n) {
      const size_t eol = body.find('\n', pos);
      const size_t next = eol == std::string::npos ? body.size() : eol + 1;
      out.append(body, pos, next - pos);
      if (n % 500 == 499) out += "M98 P9000 L2\n";
      pos = next;
    }
    out +=
        "M30\nO9000 (SUB)\nG91 G01 X1. Y1. F800\nG03 X2. Y0 R1.\nG02 X-1. Y-1. I-1. J0\n"
        "G01 X-2.\nG90\nM99\n%\n";  // a loop that ends where it began
    return nc::NcText::FromBytes(std::move(out));
  }();
  return text;
}

long VmKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
  }
  return -1;
}

void BM_TokenizeBlocks(benchmark::State& state) {
  const nc::NcText& text = Program();
  nc::TokenizeOptions options;
  nc::TEasyCalc calc;
  nc::MachineState machine;
  nc::NcWordTable words;
  nc::TokenizeError error;
  nc::BlockAttributes attrs;
  long allocations = 0;
  for (auto _ : state) {
    const long before = g_allocations.load();
    for (int32_t i = 0; i < text.LineCount(); ++i) {
      nc::TokenizeBlock(text.Line(i), options, calc, machine, words, error, attrs);
      benchmark::DoNotOptimize(words.WordCount);
    }
    allocations = g_allocations.load() - before;
  }
  state.SetItemsProcessed(state.iterations() * text.LineCount());
  state.counters["allocs_per_pass"] = static_cast<double>(allocations);
  state.counters["blocks"] = text.LineCount();
}
BENCHMARK(BM_TokenizeBlocks)->Unit(benchmark::kMillisecond);

void BM_AnalyseProgram(benchmark::State& state) {
  const nc::NcText& text = Program();
  nc::NcTextLineSource lines(text);
  nc::AnalyseOptions options;
  nc::TEasyCalc calc;
  nc::MachineState machine;
  nc::RowMarks marks;
  const long rssBefore = VmKb("VmRSS:");
  nc::PathList path(nc::CapacityFromBufSize(2000000));
  long firstRunKb = 0;
  long allocations = 0;
  bool first = true;
  for (auto _ : state) {
    const long before = g_allocations.load();
    const nc::AnalysisResult r = nc::AnalyseProgram(lines, options, calc, path, machine, marks);
    allocations = g_allocations.load() - before;
    if (!r.Ok()) state.SkipWithError("the generated program does not analyse");
    if (first) firstRunKb = VmKb("VmRSS:") - rssBefore;
    first = false;
  }
  const double listKb = path.Count * sizeof(nc::PathItem) / 1024.0;
  state.SetItemsProcessed(state.iterations() * text.LineCount());
  state.counters["items"] = path.Count;
  state.counters["allocs_per_run"] = static_cast<double>(allocations);
  state.counters["list_MB"] = listKb / 1024;
  state.counters["rss_growth_MB"] = firstRunKb / 1024.0;
  state.counters["rss_over_list_pct"] = (firstRunKb - listKb) * 100.0 / listKb;
}
BENCHMARK(BM_AnalyseProgram)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvan::bench

int main(int argc, char** argv) {
  std::printf("sizeof(PathItem) = %zu bytes\n", sizeof(kelvan::nc::PathItem));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
