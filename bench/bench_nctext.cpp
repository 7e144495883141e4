// Opening and converting a large NC program: the time a user waits for a file to appear.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ProgramGenerator.h"
#include "nc/Cp932.h"
#include "nc/NcText.h"

namespace kelvan::bench {
namespace {

constexpr size_t kProgramBytes = 40u << 20;

// Generated once per run and shared by the benchmarks below.
const std::string& Program(bool japaneseComments) {
  static const auto make = [](bool japanese) {
    ProgramOptions options;
    options.japaneseComments = japanese;
    const size_t sample = GenerateProgram(10000, 1, options).size();
    return GenerateProgram(kProgramBytes / sample * 10000, 1, options);
  };
  static const std::string ascii = make(false);
  static const std::string japanese = make(true);
  return japaneseComments ? japanese : ascii;
}

void BM_NcTextLoad(benchmark::State& state) {
  const std::string& program = Program(false);
  char path[] = "/tmp/kelvan-bench-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0 || write(fd, program.data(), program.size()) != static_cast<ssize_t>(program.size())) {
    state.SkipWithError("cannot write the temporary program");
    if (fd >= 0) close(fd), unlink(path);
    return;
  }
  close(fd);
  std::string error;
  for (auto _ : state) {
    nc::NcText text;
    if (!nc::NcText::Load(path, text, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(text.LineCount());
  }
  unlink(path);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * program.size()));
  state.counters["lines"] = static_cast<double>(nc::NcText::FromBytes(program).LineCount());
}
BENCHMARK(BM_NcTextLoad)->Unit(benchmark::kMillisecond);

void BM_DecodeToUtf8(benchmark::State& state) {
  const std::string& program = Program(state.range(0) != 0);
  for (auto _ : state) {
    std::string utf8 = nc::DecodeToUtf8(program, nc::TextEncoding::Cp932);
    benchmark::DoNotOptimize(utf8.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * program.size()));
  state.SetLabel(state.range(0) ? "Shift-JIS comments" : "ASCII");
}
BENCHMARK(BM_DecodeToUtf8)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EncodeFromUtf8(benchmark::State& state) {
  const std::string utf8 = nc::DecodeToUtf8(Program(state.range(0) != 0), nc::TextEncoding::Cp932);
  for (auto _ : state) {
    std::string bytes = nc::EncodeFromUtf8(utf8, nc::TextEncoding::Cp932);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * utf8.size()));
  state.SetLabel(state.range(0) ? "Shift-JIS comments" : "ASCII");
}
BENCHMARK(BM_EncodeFromUtf8)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvan::bench
