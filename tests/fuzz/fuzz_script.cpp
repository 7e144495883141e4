// The script engine on any text: compiled, and run when it compiles, with a statement
// budget and a shallow call limit. No crash; every message lies inside the text.

#include <string>
#include <vector>

#include "FuzzInput.h"
#include "scriptengine/ScriptEngine.h"

using namespace kelvan;

namespace {

void CheckMessages(const std::vector<scriptengine::Message>& messages, size_t size) {
  for (const scriptengine::Message& m : messages) {
    fuzz::Check(!m.Text.empty(), "a message has a text");
    fuzz::Check(m.Position >= 1 && static_cast<size_t>(m.Position) <= size + 1, "position inside the text");
    fuzz::Check(m.Line >= 1 && m.Column >= 1, "line and column from 1");
  }
}

scriptengine::HostUnit TestUnit() {
  scriptengine::HostUnit unit;
  unit.Name = "Stnd";
  scriptengine::HostFunction print;
  print.Name = "Print";
  print.Params = {{"S", scriptengine::HostType::String, false}};
  print.Handler = [](scriptengine::CallContext& c) { (void)c.String("s"); };
  scriptengine::HostFunction swap;
  swap.Name = "SwapF";
  swap.Params = {{"A", scriptengine::HostType::Float, true}, {"B", scriptengine::HostType::Float, true}};
  swap.HasResult = true;
  swap.Result = scriptengine::HostType::Integer;
  swap.Handler = [](scriptengine::CallContext& c) {
    const double a = c.Float("A");
    c.SetFloat("A", c.Float("B"));
    c.SetFloat("B", a);
    c.SetInteger("Result", 1);
  };
  unit.Functions = {print, swap};
  return unit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static scriptengine::Engine* engine = [] {
    auto* e = new scriptengine::Engine();
    e->AddUnit(TestUnit());
    return e;
  }();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<scriptengine::Message> messages;
  auto program = engine->Compile(text, messages);
  fuzz::Check(program != nullptr || !messages.empty(), "a failed compile says why");
  CheckMessages(messages, size);
  if (!program) return 0;
  messages.clear();
  int64_t statements = 0;
  scriptengine::RunOptions options;
  options.MaxDepth = 200;
  options.PollEvery = 1000;
  options.Poll = [&statements] { return (statements += 1000) < 100000; };
  const bool ok = engine->Run(*program, options, messages);
  fuzz::Check(ok == messages.empty(), "a failed run says why");
  CheckMessages(messages, size);
  return 0;
}
