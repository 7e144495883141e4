// The script engine's two hot paths: integer arithmetic in a loop, and calls of a host
// function with Float arguments (what an NC-generating script does per block).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "scriptengine/ScriptEngine.h"

namespace kelvan::bench {
namespace {

using namespace kelvan::scriptengine;

std::shared_ptr<Program> CompileOrDie(const Engine& engine, const std::string& text) {
  std::vector<Message> messages;
  auto program = engine.Compile(text, messages);
  if (!program) std::abort();
  return program;
}

// for i := 1 to 10,000,000 do s := s + i: one iteration of the benchmark is the whole loop.
void BM_ScriptIntegerLoop(benchmark::State& state) {
  Engine engine;
  auto program = CompileOrDie(engine, "var s, i: Integer;\nbegin\n  for i := 1 to 10000000 do s := s + i;\nend.");
  std::vector<Message> messages;
  for (auto _ : state) {
    if (!engine.Run(*program, {}, messages)) state.SkipWithError("run failed");
  }
  state.SetItemsProcessed(state.iterations() * 10000000);
}
BENCHMARK(BM_ScriptIntegerLoop)->Unit(benchmark::kMillisecond);

// 100,000 calls of a host function with three Float arguments; the handler only reads them.
void BM_ScriptHostCalls(benchmark::State& state) {
  Engine engine;
  HostUnit unit;
  unit.Name = "Nc";
  HostFunction move;
  move.Name = "MoveTo";
  move.Params = {{"X", HostType::Float}, {"Y", HostType::Float}, {"Z", HostType::Float}};
  double sink = 0;
  move.Handler = [&sink](CallContext& c) { sink += c.Float("X") + c.Float("Y") + c.Float("Z"); };
  unit.Functions.push_back(move);
  engine.AddUnit(std::move(unit));
  auto program = CompileOrDie(engine,
                              "var i: Integer;\nbegin\n  for i := 1 to 100000 do MoveTo(i * 0.5, i, 2.5);\nend.");
  std::vector<Message> messages;
  for (auto _ : state) {
    if (!engine.Run(*program, {}, messages)) state.SkipWithError("run failed");
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_ScriptHostCalls)->Unit(benchmark::kMillisecond);

// Recursive calls of a script function: fib(25), about 240,000 calls.
void BM_ScriptRecursion(benchmark::State& state) {
  Engine engine;
  auto program = CompileOrDie(engine,
                              "var r: Integer;\nfunction Fib(n: Integer): Integer;\nbegin\n"
                              "  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2);\nend;\n"
                              "begin\n  r := Fib(25);\nend.");
  std::vector<Message> messages;
  for (auto _ : state) {
    if (!engine.Run(*program, {}, messages)) state.SkipWithError("run failed");
  }
}
BENCHMARK(BM_ScriptRecursion)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvan::bench
