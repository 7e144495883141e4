#pragma once
// A tiny host for the engine's tests: a unit with Print(s) collecting lines, and a run
// that gives the output or the first fault as "error LINE:COLUMN TEXT".

#include <string>
#include <vector>

#include "scriptengine/ScriptEngine.h"

namespace kelvan::scriptengine::test {

class Harness {
 public:
  Harness() {
    HostUnit unit;
    unit.Name = "TestIo";
    HostFunction print;
    print.Name = "Print";
    print.Params = {{"s", HostType::String, false}};
    print.Handler = [this](CallContext& c) { lines_.push_back(c.String("S")); };
    unit.Functions.push_back(print);
    engine.AddUnit(std::move(unit));
  }

  // The printed lines joined by '\n', or the first message as "error L:C text".
  std::string Run(const std::string& text, RunOptions options = {}) {
    lines_.clear();
    messages.clear();
    program = engine.Compile(text, messages);
    if (!program) return Error();
    if (!engine.Run(*program, options, messages)) return Error();
    return Output();
  }

  std::string Output() const {
    std::string out;
    for (size_t i = 0; i < lines_.size(); ++i) out += (i ? "\n" : "") + lines_[i];
    return out;
  }

  std::string Error() const {
    if (messages.empty()) return "error without a message";
    const Message& m = messages.front();
    return "error " + std::to_string(m.Line) + ":" + std::to_string(m.Column) + " " + m.Text;
  }

  Engine engine;
  std::vector<Message> messages;
  std::shared_ptr<Program> program;

 private:
  std::vector<std::string> lines_;
};

}  // namespace kelvan::scriptengine::test
