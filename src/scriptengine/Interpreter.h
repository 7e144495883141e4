#pragma once
// Runs a checked program by walking its tree. Variables live in frames of cells indexed
// by the slots the checker gave them: a display (one frame pointer per nesting level)
// finds the frame of any enclosing routine without a lookup. Faults are thrown as
// RunError inside and end the run with a message at the statement that ran.

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "scriptengine/Ast.h"
#include "scriptengine/Program.h"
#include "scriptengine/ScriptEngine.h"

namespace kelvan::scriptengine {

struct RunError {
  std::string Text;
};

// Evaluates a constant expression at compile time (for const declarations, array bounds
// and case labels): false with the fault's text when it fails (a division by zero).
bool EvalConstant(const Program& program, const Expr& e, Cell& out, std::string& error);

class Interpreter {
 public:
  Interpreter(const Program& program, const RunOptions& options, const std::atomic<bool>* stop);
  // Runs the main program; false with the fault or the stop in `messages`.
  bool Run(std::vector<Message>& messages);

  int64_t EvalInt(const Expr& e);
  double EvalFloat(const Expr& e);
  std::string EvalStr(const Expr& e);
  void Eval(const Expr& e, Cell& out);

 private:
  friend bool EvalConstant(const Program&, const Expr&, Cell&, std::string&);
  enum class Flow : uint8_t { Normal, Break, Continue, Exit };

  Flow Exec(const Stmt& s);
  Flow ExecAssign(const Stmt& s);
  Flow ExecFor(const Stmt& s);
  Flow ExecCase(const Stmt& s);
  Flow ExecWith(const Stmt& s);
  void Tick();
  void PollNow();

  // The cell of a variable; `owner`, when given, gets the array or record holding it.
  Cell* Ref(const Expr& e, std::shared_ptr<Agg>* owner = nullptr);
  const Cell* Load(const Expr& e, Cell& tmp);
  const Cell& Element(const Expr& e, const Cell& base);
  int64_t StrIndex(const Expr& e, const std::string& s);
  int64_t IntOp(const Expr& e);
  int64_t Compare(const Expr& e);
  bool InSet(const Expr& e);
  void Call(const Expr& e, Cell& out);
  void CallUser(const Expr& e, Cell& out);
  void CallHost(const Expr& e, Cell& out);
  void Builtin(const Expr& e, Cell& out);  // Builtins.cpp
  void BuiltinText(const Expr& e, Cell& out);
  void BuiltinVar(const Expr& e);          // the standard procedures with var parameters
  Cell* Frame(size_t size);
  [[noreturn]] void Fail(std::string text) const;

  const Program& p_;
  RunOptions options_;
  const std::atomic<bool>* stop_;
  std::vector<Cell*> frames_;          // the display: the live frame of each level
  std::deque<std::vector<Cell>> pool_;  // frames by call depth, reused from call to call
  int32_t depth_ = 0;  // frames in use: routine calls and host calls' arguments
  int32_t calls_ = 0;  // routine calls in progress, which MaxDepth bounds
  const Stmt* cur_ = nullptr;
  int64_t countdown_ = 0;
  const char* stackLimit_ = nullptr;  // below this frame address a call is refused
};

}  // namespace kelvan::scriptengine
