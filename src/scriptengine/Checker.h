#pragma once
// Resolves every name of the parsed tree to a slot, a constant or a routine, gives every
// expression its type and reports the first fault (undeclared name, type mismatch,
// wrong argument count, a var argument that is no variable...) as a CompileError.

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "scriptengine/Ast.h"
#include "scriptengine/Builtins.h"
#include "scriptengine/Program.h"

namespace kelvan::scriptengine {

class Checker {
 public:
  Checker(Program& program, const HostTable& hosts) : p_(program), hosts_(hosts) {}
  // Checks program.Ast in place; throws CompileError.
  void Check();

 private:
  struct Symbol {
    enum Kinds : uint8_t { Var, Const, TypeName, Proc, WithField } K = Var;
    const Type* T = nullptr;
    int32_t Level = 0;
    int32_t Slot = 0;
    bool ByRef = false;
    int32_t FieldIndex = 0;
    int64_t I = 0;  // a constant's value
    double F = 0;
    std::string S;
    Routine* Fn = nullptr;
    const Type* RecT = nullptr;  // a with field's record
  };
  struct Scope {
    std::unordered_map<std::string, Symbol> Names;
    Routine* Owner = nullptr;  // whose frame new slots go to
  };

  // Declarations (Checker.cpp).
  void CheckBlock(Block& block);
  void DeclareConst(Decl& d, std::vector<StmtPtr>& inits);
  void DeclareVars(Decl& d, std::vector<StmtPtr>& inits);
  void CheckRoutine(RoutineDecl& decl);
  const Type* ResolveType(const TypeNode& node);
  const Type* ArrayType(const TypeNode& node, size_t range);
  void Declare(const Ident& id, Symbol s);
  const Symbol* Lookup(const std::string& key) const;
  int32_t NewSlot(const Type* t);
  Routine& Current() const { return *scopes_.back().Owner; }
  StmtPtr InitAssign(const Symbol& var, ExprPtr value, SrcPos at);

  // Statements (Checker.cpp).
  void CheckStmt(Stmt& s);
  void CheckAssign(Stmt& s);
  void CheckCallStmt(Stmt& s);
  void CheckFor(Stmt& s);
  void CheckCase(Stmt& s);
  void CheckWith(Stmt& s);

  // Expressions (CheckExpr.cpp).
  void CheckExpr(ExprPtr& e);
  void CheckValue(ExprPtr& e);  // an expression that must have a value
  void CheckLValue(ExprPtr& e);
  void CheckName(ExprPtr& e, bool asStatement, bool asTarget);
  void CheckCall(ExprPtr& e, const Symbol* sym, bool asStatement);
  void CheckHostCall(ExprPtr& e, const HostFunction& f, bool asStatement);
  void CheckArgs(Expr& call, const std::vector<Routine::Param>& params);
  void CheckIndex(ExprPtr& e);
  void CheckField(ExprPtr& e);
  void CheckUnary(ExprPtr& e);
  void CheckBinary(ExprPtr& e);
  void CheckIn(ExprPtr& e);
  void CheckComparison(ExprPtr& e);
  void Coerce(ExprPtr& e, const Type* to);
  bool IsLValue(const Expr& e) const;
  void MakeConst(Expr& e, const Symbol& c);
  // A checked expression folded to one constant node; throws when it is no constant.
  void Fold(ExprPtr& e);
  int64_t FoldOrdinal(ExprPtr& e);

  // Builtins.cpp. The arguments of a built-in call being checked.
  struct BuiltinArgs {
    Checker& c;
    Expr& e;
    // The argument count within [lo, hi]; every argument checked as a value.
    void Count(size_t lo, size_t hi);
    void Want(size_t i, const Type* t) { c.Coerce(e.Args[i], t); }
    void Numeric(size_t i);   // Integer or Float
    void Variable(size_t i);  // a variable, for a routine that changes it
  };
  void CheckBuiltin(ExprPtr& e, Bi id, bool asStatement);
  const Type* CheckTextBuiltin(ExprPtr& e, Bi id);
  const Type* CheckConvertBuiltin(ExprPtr& e, Bi id);

  [[noreturn]] void Fail(const std::string& text, SrcPos at) const;
  void Wrap(ExprPtr& e, Ex k, const Type* t);

  Program& p_;
  const HostTable& hosts_;
  std::vector<Scope> scopes_;
  std::vector<Routine*> functions_;  // the routines being checked, innermost last
  int loops_ = 0;                    // loops around the statement being checked
  std::unordered_set<const HostFunction*> keptHosts_;
};

}  // namespace kelvan::scriptengine
