#pragma once
// The script as a tree. The parser builds it with names as written; the checker then
// resolves every name in place (to a slot, a constant or a routine), gives every
// expression its type and turns operators into typed operations, so that the
// interpreter never looks a name up nor checks a type.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scriptengine/Lexer.h"
#include "scriptengine/Value.h"

namespace kelvan::scriptengine {

struct HostFunction;
struct Routine;

enum class Ex : uint8_t {
  // As parsed.
  Name, IntLit, FloatLit, StrLit, Call, Index, Field, Unary, Binary, SetCons, Range,
  // As checked.
  ConstI, ConstF, ConstS,
  Var,     // Frames[Level][Slot]
  VarRef,  // the cell Frames[Level][Slot] refers to: a var parameter, a with record
  IndexArr, IndexDyn, IndexStr, FieldOf,
  IntToFloat, CharToStr,
  CallUser, CallHost, CallBuiltin,
  NegI, NotI, AddI, SubI, MulI, DivI, ModI, AndI, OrI, XorI, ShlI, ShrI,
  NegF, AddF, SubF, MulF, DivF,
  NotB, AndB, OrB, XorB,
  Concat,
  EqI, NeI, LtI, LeI, GtI, GeI,
  EqF, NeF, LtF, LeF, GtF, GeF,
  EqS, NeS, LtS, LeS, GtS, GeS,
  InSet,  // Args[0] in the ranges Args[1..]: Range nodes or single values
};

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
  Ex K = Ex::Name;
  Tok Op = Tok::Eof;  // Unary and Binary as parsed
  const Type* T = nullptr;
  SrcPos Pos;
  int32_t Depth = 1;  // of the tree below; bounds the recursion of the later passes
  int64_t I = 0;      // IntLit, ConstI; CallBuiltin: the routine's id
  double F = 0;
  std::string S;      // Name and Field: as written; StrLit, ConstS: the bytes
  std::string Key;    // Name and Field: lower case
  int32_t Level = 0;  // Var, VarRef
  int32_t Slot = 0;   // Var, VarRef; FieldOf: the field's index
  bool Parens = false;  // Name: written with an argument list
  std::vector<ExprPtr> Args;  // operands, the indexed or selected base first
  const Routine* Fn = nullptr;
  const HostFunction* Host = nullptr;
};

// Where an expression begins as written: an operator's node sits at the operator, but
// a fault of the whole expression belongs at its first character.
inline SrcPos StartOf(const Expr& e) {
  if (e.Args.empty()) return e.Pos;
  const SrcPos first = StartOf(*e.Args[0]);
  return first.Offset < e.Pos.Offset ? first : e.Pos;
}

enum class St : uint8_t { Empty, Compound, Assign, Call, If, While, Repeat, For, Case, With, Break, Continue, Exit };

struct Stmt;
using StmtPtr = std::unique_ptr<Stmt>;

struct CaseBranch {
  std::vector<ExprPtr> Labels;                   // values or Range nodes
  std::vector<std::pair<int64_t, int64_t>> Ranges;  // the labels as checked
  StmtPtr Body;
};

struct Stmt {
  St K = St::Empty;
  SrcPos Pos;
  // Assign: target, value. If, While, Repeat: condition. For: variable, first, last.
  // Case: selector. Call: the call. Exit: the result, if written.
  ExprPtr A, B, C;
  bool Down = false;               // for ... downto
  std::vector<StmtPtr> Body;       // Compound, Repeat
  StmtPtr Then, Else;              // If; loops' body is Then; case's else is Else
  std::vector<CaseBranch> Branches;
  std::vector<ExprPtr> WithRecs;   // with r1, r2 do
  std::vector<int32_t> WithSlots;  // the hidden slots holding them, at WithLevel
  int32_t WithLevel = 0;
  const Type* AssignType = nullptr;  // the target's type, once checked
};

// Declarations as written; the checker turns them into slots, types and routines.
struct Ident {
  std::string Text;
  std::string Key;
  SrcPos Pos;
};

struct TypeNode;
using TypeNodePtr = std::unique_ptr<TypeNode>;

struct FieldDecl {
  std::vector<Ident> Names;
  TypeNodePtr FieldType;
};

struct TypeNode {
  enum Kinds : uint8_t { Named, Array, DynArray, Record } K = Named;
  SrcPos Pos;
  Ident Name;
  std::vector<std::pair<ExprPtr, ExprPtr>> Ranges;  // array[lo..hi, lo..hi]
  TypeNodePtr Elem;
  std::vector<FieldDecl> Fields;
};

struct ParamGroup {
  std::vector<Ident> Names;
  TypeNodePtr ParamType;
  bool ByRef = false;
};

struct Block;

struct RoutineDecl {
  Ident Name;
  bool IsFunction = false;
  std::vector<ParamGroup> Params;
  TypeNodePtr Result;
  std::unique_ptr<Block> Body;
};

struct Decl {
  enum Kinds : uint8_t { Const, TypeDef, Var, Proc } K = Var;
  std::vector<Ident> Names;
  TypeNodePtr DeclType;  // optional for a constant
  ExprPtr Value;         // constants; an initialised variable
  std::unique_ptr<RoutineDecl> Routine;
};

struct Block {
  std::vector<Decl> Decls;
  StmtPtr Body;
};

struct ProgramAst {
  std::vector<Ident> Uses;
  Block Main;
};

// A routine as the interpreter runs it: its frame layout and its checked body.
struct Routine {
  std::string Name;
  int32_t Level = 0;  // 0: the main program, whose frame holds the globals
  struct Param {
    const Type* T = nullptr;
    bool ByRef = false;
  };
  std::vector<Param> Params;    // in slots 0..n-1
  const Type* Result = nullptr;  // null for a procedure
  int32_t ResultSlot = -1;
  std::vector<const Type*> SlotTypes;  // null: a slot that refers to another cell
  Stmt* Body = nullptr;
};

}  // namespace kelvan::scriptengine
