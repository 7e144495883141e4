#include "scriptengine/ScriptEngine.h"

#include <new>

#include "scriptengine/Checker.h"
#include "scriptengine/Interpreter.h"
#include "scriptengine/Lexer.h"
#include "scriptengine/Messages.h"
#include "scriptengine/Parser.h"
#include "scriptengine/Program.h"

namespace kelvan::scriptengine {

namespace {

Type Scalar(Kind k, const char* name, bool isByte = false) {
  Type t;
  t.K = k;
  t.Name = name;
  t.IsByte = isByte;
  return t;
}

Message ToMessage(const CompileError& e) { return Message{e.Text, e.Pos.Line, e.Pos.Column, e.Pos.Offset + 1}; }

}  // namespace

Program::Program() {
  IntegerT = NewType(Scalar(Kind::Integer, "Integer"));
  ByteT = NewType(Scalar(Kind::Integer, "Byte", true));
  FloatT = NewType(Scalar(Kind::Float, "Float"));
  BooleanT = NewType(Scalar(Kind::Boolean, "Boolean"));
  CharT = NewType(Scalar(Kind::Char, "Char"));
  StringT = NewType(Scalar(Kind::String, "String"));
  VoidT = NewType(Scalar(Kind::Void, ""));
}

struct Engine::Impl {
  HostTable Hosts;
};

Engine::Engine() : impl_(std::make_unique<Impl>()) {}
Engine::~Engine() = default;

void Engine::AddUnit(HostUnit unit) {
  impl_->Hosts.Units.insert(LowerKey(unit.Name));
  for (HostFunction& f : unit.Functions) {
    const std::string key = LowerKey(f.Name);
    impl_->Hosts.Functions[key] = std::make_shared<const HostFunction>(std::move(f));
  }
}

std::shared_ptr<Program> Engine::Compile(std::string_view text, std::vector<Message>& messages) const {
  auto program = std::make_shared<Program>();
  const HostTable& hosts = impl_->Hosts;
  try {
    Parser parser(text, [&hosts](const std::string& key) { return hosts.Functions.count(key) > 0; });
    program->Ast = parser.ParseProgram();
    Checker(*program, hosts).Check();
    return program;
  } catch (const CompileError& e) {
    messages.push_back(ToMessage(e));
  } catch (const std::bad_alloc&) {
    messages.push_back(Message{msg::kNoMemory, 1, 1, 1});
  }
  return nullptr;
}

bool Engine::Run(Program& program, const RunOptions& options, std::vector<Message>& messages) const {
  stop_.store(false, std::memory_order_relaxed);
  if (program.Routines.empty() || !program.Main().Body) {
    messages.push_back(Message{msg::kInternal, 1, 1, 1});
    return false;
  }
  Interpreter interpreter(program, options, &stop_);
  return interpreter.Run(messages);
}

}  // namespace kelvan::scriptengine
