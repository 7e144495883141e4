#pragma once
// The script language engine: compiles the Pascal-like script language and runs it.
//
// The engine knows nothing of NC programs or windows. A host registers units of
// functions (name, typed parameters by value or by reference, an optional result and a
// handler); scripts call them like built-in routines. Compile and run faults come back
// as messages with a text and a position; nothing is thrown across this interface.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelvan::scriptengine {

// The types a host function's parameters and result have.
enum class HostType { Integer, Float, String, Boolean };

// What a host handler sees of one call. Names are the parameters' names (any letter
// case); "Result" is the function's result.
class CallContext {
 public:
  virtual ~CallContext() = default;
  virtual int64_t Integer(std::string_view name) const = 0;
  virtual double Float(std::string_view name) const = 0;      // an Integer argument reads as Float too
  virtual std::string String(std::string_view name) const = 0;
  virtual bool Boolean(std::string_view name) const = 0;
  // The result, or a by-reference parameter.
  virtual void SetInteger(std::string_view name, int64_t value) = 0;
  virtual void SetFloat(std::string_view name, double value) = 0;
  virtual void SetString(std::string_view name, std::string value) = 0;
  virtual void SetBoolean(std::string_view name, bool value) = 0;
  // Ends the run with a run-time error at the call.
  virtual void Fail(std::string message) = 0;
};

struct HostParam {
  std::string Name;
  HostType Type = HostType::Integer;
  bool ByRef = false;  // a `var` parameter: the argument must be a variable
};

struct HostFunction {
  std::string Name;
  std::vector<HostParam> Params;
  bool HasResult = false;
  HostType Result = HostType::Integer;
  std::function<void(CallContext&)> Handler;
};

struct HostUnit {
  std::string Name;  // "Nc", "Math", "Stnd": `uses` may name it; its functions are visible anyway
  std::vector<HostFunction> Functions;
};

// A compile or run-time fault. Line and Column are 1-based (Column counts bytes of the
// UTF-8 text); Position is the 1-based byte offset in the script text. A run-time fault
// points at the statement that failed, inside the routine that ran it.
struct Message {
  std::string Text;
  int32_t Line = 0;
  int32_t Column = 0;
  int32_t Position = 0;
};

class Program;  // a compiled script

struct RunOptions {
  // Called every `PollEvery` statements while the program runs (the window lets its
  // messages through there); returning false stops the run as a stop request does.
  std::function<bool()> Poll;
  int64_t PollEvery = 4096;
  // Routine calls nested deeper than this are a run-time error, never a crash.
  int32_t MaxDepth = 2000;
};

class Engine {
 public:
  Engine();
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Host units win over the built-in routines of the same name.
  void AddUnit(HostUnit unit);

  // Compiles the whole script text (UTF-8). Null, with at least one message, when it
  // does not compile.
  std::shared_ptr<Program> Compile(std::string_view text, std::vector<Message>& messages) const;

  // Runs a compiled program from its first statement. True when it ran to its end;
  // false with the run-time fault (or the stop) in `messages`. Runs on the calling thread.
  bool Run(Program& program, const RunOptions& options, std::vector<Message>& messages) const;

  // A stop request that the running program honours before its next statement; from any
  // thread, or from a host handler or the Poll callback. Cleared when a run starts.
  void RequestStop() { stop_.store(true, std::memory_order_relaxed); }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  mutable std::atomic<bool> stop_{false};
};

// The message of a run the stop request ended.
inline constexpr const char* kStoppedMessage = "スクリプトを停止しました。";

}  // namespace kelvan::scriptengine
