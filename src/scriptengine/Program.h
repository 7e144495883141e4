#pragma once
// A compiled script: the checked tree, its types and routines, and the host functions
// it calls (kept alive here, so that a program outlives a change of the engine's units).

#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "scriptengine/Ast.h"
#include "scriptengine/ScriptEngine.h"
#include "scriptengine/Value.h"

namespace kelvan::scriptengine {

// The host's functions by lower-case name (a later unit wins) and its unit names.
struct HostTable {
  std::unordered_map<std::string, std::shared_ptr<const HostFunction>> Functions;
  std::unordered_set<std::string> Units;
};

class Program {
 public:
  Program();
  ProgramAst Ast;
  std::deque<Type> Types;  // a deque: the checker hands out pointers while it adds types
  std::vector<std::unique_ptr<Routine>> Routines;  // [0] is the main program
  std::vector<std::shared_ptr<const HostFunction>> Hosts;
  std::vector<std::unique_ptr<Stmt>> ExtraStmts;  // statements the checker made
  int32_t MaxLevel = 0;
  const Type* IntegerT;
  const Type* ByteT;
  const Type* FloatT;
  const Type* BooleanT;
  const Type* CharT;
  const Type* StringT;
  const Type* VoidT;

  Routine& Main() { return *Routines.front(); }
  const Type* NewType(Type t) {
    Types.push_back(std::move(t));
    return &Types.back();
  }
};

}  // namespace kelvan::scriptengine
