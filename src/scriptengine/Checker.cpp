#include "scriptengine/Checker.h"

#include <algorithm>

#include "scriptengine/Messages.h"

namespace kelvan::scriptengine {

void Checker::Fail(const std::string& text, SrcPos at) const { throw CompileError{text, at}; }

void Checker::Check() {
  for (const Ident& u : p_.Ast.Uses)
    if (!hosts_.Units.count(u.Key) && !IsBuiltinUnit(u.Key)) Fail(msg::UnknownUnit(u.Text), u.Pos);
  auto main = std::make_unique<Routine>();
  main->Name = "main";
  p_.Routines.push_back(std::move(main));
  scopes_.push_back(Scope{{}, &p_.Main()});
  CheckBlock(p_.Ast.Main);
  p_.Main().Body = p_.Ast.Main.Body.get();
}

void Checker::Declare(const Ident& id, Symbol s) {
  auto& names = scopes_.back().Names;
  if (!names.emplace(id.Key, std::move(s)).second) Fail(msg::Redeclared(id.Text), id.Pos);
}

const Checker::Symbol* Checker::Lookup(const std::string& key) const {
  for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it)
    if (auto f = it->Names.find(key); f != it->Names.end()) return &f->second;
  return nullptr;
}

int32_t Checker::NewSlot(const Type* t) {
  Routine& r = Current();
  r.SlotTypes.push_back(t);
  return static_cast<int32_t>(r.SlotTypes.size() - 1);
}

void Checker::CheckBlock(Block& block) {
  std::vector<StmtPtr> inits;
  for (Decl& d : block.Decls) {
    switch (d.K) {
      case Decl::Const: DeclareConst(d, inits); break;
      case Decl::Var: DeclareVars(d, inits); break;
      case Decl::Proc: CheckRoutine(*d.Routine); break;
      case Decl::TypeDef: {
        Symbol s;
        s.K = Symbol::TypeName;
        s.T = ResolveType(*d.DeclType);
        Declare(d.Names[0], s);
        break;
      }
    }
  }
  CheckStmt(*block.Body);
  auto& body = block.Body->Body;
  body.insert(body.begin(), std::make_move_iterator(inits.begin()), std::make_move_iterator(inits.end()));
}

StmtPtr Checker::InitAssign(const Symbol& var, ExprPtr value, SrcPos at) {
  auto s = std::make_unique<Stmt>();
  s->K = St::Assign;
  s->Pos = at;
  s->A = std::make_unique<Expr>();
  s->A->K = Ex::Var;
  s->A->T = var.T;
  s->A->Level = var.Level;
  s->A->Slot = var.Slot;
  s->A->Pos = at;
  s->B = std::move(value);
  s->AssignType = var.T;
  return s;
}

// An untyped constant is folded into every use; a typed one is a variable with a first
// value, as in Delphi.
void Checker::DeclareConst(Decl& d, std::vector<StmtPtr>& inits) {
  if (d.DeclType) {
    DeclareVars(d, inits);
    return;
  }
  CheckValue(d.Value);
  Fold(d.Value);
  Symbol s;
  s.K = Symbol::Const;
  s.T = d.Value->T;
  s.I = d.Value->I;
  s.F = d.Value->F;
  s.S = d.Value->S;
  Declare(d.Names[0], s);
}

void Checker::DeclareVars(Decl& d, std::vector<StmtPtr>& inits) {
  const Type* t = ResolveType(*d.DeclType);
  if (d.Value) {
    if (!t->IsScalar()) Fail(msg::kTypeMismatch, d.Value->Pos);
    CheckValue(d.Value);
    Coerce(d.Value, t);
    Fold(d.Value);
  }
  for (const Ident& id : d.Names) {
    Symbol s;
    s.T = t;
    s.Level = Current().Level;
    s.Slot = NewSlot(t);
    Declare(id, s);
    if (d.Value) {
      auto copy = std::make_unique<Expr>();  // a folded constant: its value is all there is
      copy->K = d.Value->K;
      copy->T = d.Value->T;
      copy->Pos = d.Value->Pos;
      copy->I = d.Value->I;
      copy->F = d.Value->F;
      copy->S = d.Value->S;
      inits.push_back(InitAssign(s, std::move(copy), id.Pos));
    }
  }
}

void Checker::CheckRoutine(RoutineDecl& decl) {
  auto owned = std::make_unique<Routine>();
  Routine* fn = owned.get();
  p_.Routines.push_back(std::move(owned));
  fn->Name = decl.Name.Text;
  fn->Level = Current().Level + 1;
  p_.MaxLevel = std::max(p_.MaxLevel, fn->Level);
  std::vector<const Type*> paramTypes;
  for (const ParamGroup& g : decl.Params) paramTypes.push_back(ResolveType(*g.ParamType));
  if (decl.IsFunction) fn->Result = ResolveType(*decl.Result);
  Symbol self;
  self.K = Symbol::Proc;
  self.Fn = fn;
  Declare(decl.Name, self);  // before the body, so that the routine may call itself

  scopes_.push_back(Scope{{}, fn});
  for (size_t g = 0; g < decl.Params.size(); ++g) {
    for (const Ident& id : decl.Params[g].Names) {
      Symbol s;
      s.T = paramTypes[g];
      s.ByRef = decl.Params[g].ByRef;
      s.Level = fn->Level;
      s.Slot = NewSlot(s.T);
      fn->Params.push_back({s.T, s.ByRef});
      Declare(id, s);
    }
  }
  if (fn->Result) {
    Symbol r;
    r.T = fn->Result;
    r.Level = fn->Level;
    r.Slot = fn->ResultSlot = NewSlot(fn->Result);
    Declare(Ident{"Result", "result", decl.Name.Pos}, r);
  }
  functions_.push_back(fn);
  const int outerLoops = loops_;
  loops_ = 0;
  CheckBlock(*decl.Body);
  loops_ = outerLoops;
  functions_.pop_back();
  scopes_.pop_back();
  fn->Body = decl.Body->Body.get();
}

const Type* Checker::ResolveType(const TypeNode& node) {
  switch (node.K) {
    case TypeNode::Named: {
      if (const Symbol* s = Lookup(node.Name.Key)) {
        if (s->K != Symbol::TypeName) Fail(msg::NotAType(node.Name.Text), node.Pos);
        return s->T;
      }
      const std::string& k = node.Name.Key;
      if (k == "integer" || k == "int64" || k == "longint" || k == "cardinal" || k == "word" || k == "smallint")
        return p_.IntegerT;
      if (k == "byte") return p_.ByteT;
      if (k == "float" || k == "double" || k == "real" || k == "extended" || k == "single") return p_.FloatT;
      if (k == "boolean") return p_.BooleanT;
      if (k == "char") return p_.CharT;
      if (k == "string") return p_.StringT;
      if (IsUnusableName(k)) Fail(msg::Unusable(node.Name.Text), node.Pos);
      Fail(msg::NotDeclared(node.Name.Text), node.Pos);
    }
    case TypeNode::Array: return ArrayType(node, 0);
    case TypeNode::DynArray: {
      Type t;
      t.K = Kind::DynArray;
      t.Elem = ResolveType(*node.Elem);
      return p_.NewType(std::move(t));
    }
    case TypeNode::Record: {
      Type t;
      t.K = Kind::Record;
      for (const FieldDecl& f : node.Fields) {
        const Type* ft = ResolveType(*f.FieldType);
        for (const Ident& id : f.Names) {
          for (const Field& other : t.Fields)
            if (other.Key == id.Key) Fail(msg::Redeclared(id.Text), id.Pos);
          t.Fields.push_back(Field{id.Key, id.Text, ft});
        }
      }
      return p_.NewType(std::move(t));
    }
  }
  return p_.VoidT;
}

namespace {

// Every variable of a static array or record type holds all its cells from the start;
// past this many a declaration is a slip that would take all memory.
constexpr int64_t kMaxStaticCells = 10000000;

int64_t CellsOf(const Type* t) {
  if (t->K == Kind::Array) return t->Count() * CellsOf(t->Elem);
  if (t->K != Kind::Record) return 1;
  int64_t n = 1;
  for (const Field& f : t->Fields) n = std::min(kMaxStaticCells, n + CellsOf(f.FieldType));
  return n;
}

}  // namespace

// array[1..3, 0..2] of T is array[1..3] of array[0..2] of T.
const Type* Checker::ArrayType(const TypeNode& node, size_t range) {
  auto& bounds = const_cast<TypeNode&>(node).Ranges[range];
  CheckValue(bounds.first);
  CheckValue(bounds.second);
  Type t;
  t.K = Kind::Array;
  t.Low = FoldOrdinal(bounds.first);
  t.High = FoldOrdinal(bounds.second);
  // Past some ten million elements a static array is a typing slip, not a plan.
  if (t.High < t.Low || t.High - t.Low >= 10000000) Fail(msg::kBadRange, bounds.first->Pos);
  t.Elem = range + 1 < node.Ranges.size() ? ArrayType(node, range + 1) : ResolveType(*node.Elem);
  if (t.Count() > kMaxStaticCells / CellsOf(t.Elem)) Fail(msg::kBadRange, bounds.first->Pos);
  return p_.NewType(std::move(t));
}

// ---- statements

void Checker::CheckStmt(Stmt& s) {
  switch (s.K) {
    case St::Empty: case St::Break: case St::Continue: case St::Exit: break;
    case St::Compound:
      for (auto& c : s.Body) CheckStmt(*c);
      break;
    case St::Assign: CheckAssign(s); break;
    case St::Call: CheckCallStmt(s); break;
    case St::If:
      CheckValue(s.A);
      Coerce(s.A, p_.BooleanT);
      CheckStmt(*s.Then);
      if (s.Else) CheckStmt(*s.Else);
      break;
    case St::While:
      CheckValue(s.A);
      Coerce(s.A, p_.BooleanT);
      ++loops_;
      CheckStmt(*s.Then);
      --loops_;
      break;
    case St::Repeat:
      ++loops_;
      for (auto& c : s.Body) CheckStmt(*c);
      --loops_;
      CheckValue(s.A);
      Coerce(s.A, p_.BooleanT);
      break;
    case St::For: CheckFor(s); break;
    case St::Case: CheckCase(s); break;
    case St::With: CheckWith(s); break;
  }
}

void Checker::CheckAssign(Stmt& s) {
  CheckLValue(s.A);
  CheckValue(s.B);
  Coerce(s.B, s.A->T);
  s.AssignType = s.A->T;
}

void Checker::CheckCallStmt(Stmt& s) {
  Expr& e = *s.A;
  if (e.K != Ex::Name) Fail(msg::kNotAStatement, e.Pos);
  if (!Lookup(e.Key) && !hosts_.Functions.count(e.Key)) {
    const Bi b = FindBuiltin(e.Key);
    if (b == Bi::Break || b == Bi::Continue) {
      if (e.Parens) Fail(msg::kArgCount, e.Pos);
      if (loops_ == 0) Fail(msg::kOutsideLoop, e.Pos);
      s.K = b == Bi::Break ? St::Break : St::Continue;
      return;
    }
    if (b == Bi::Exit) {
      s.K = St::Exit;
      if (e.Args.size() > 1 || (e.Args.size() == 1 && (functions_.empty() || !functions_.back()->Result)))
        Fail(msg::kArgCount, e.Pos);
      if (e.Args.size() == 1) {
        // Exit(value) sets the result and leaves.
        Routine* fn = functions_.back();
        ExprPtr value = std::move(e.Args[0]);
        CheckValue(value);
        Coerce(value, fn->Result);
        Symbol r;
        r.T = fn->Result;
        r.Level = fn->Level;
        r.Slot = fn->ResultSlot;
        auto assign = InitAssign(r, std::move(value), s.Pos);
        s.A = std::move(assign->A);
        s.B = std::move(assign->B);
        s.AssignType = fn->Result;
      } else {
        s.A.reset();
      }
      return;
    }
  }
  CheckName(s.A, true, false);
}

void Checker::CheckFor(Stmt& s) {
  CheckName(s.A, false, true);
  if (s.A->K != Ex::Var && s.A->K != Ex::VarRef) Fail(msg::kNotAssignable, s.A->Pos);
  if (s.A->T->K != Kind::Integer && s.A->T->K != Kind::Char) Fail(msg::kOrdinal, s.A->Pos);
  CheckValue(s.B);
  Coerce(s.B, s.A->T);
  CheckValue(s.C);
  Coerce(s.C, s.A->T);
  ++loops_;
  CheckStmt(*s.Then);
  --loops_;
}

void Checker::CheckCase(Stmt& s) {
  CheckValue(s.A);
  if (!s.A->T->IsOrdinal()) Fail(msg::kOrdinal, s.A->Pos);
  for (CaseBranch& b : s.Branches) {
    for (ExprPtr& label : b.Labels) {
      ExprPtr* lo = &label;
      ExprPtr* hi = &label;
      if (label->K == Ex::Range) {
        lo = &label->Args[0];
        hi = &label->Args[1];
      }
      CheckValue(*lo);
      Coerce(*lo, s.A->T);
      const int64_t l = FoldOrdinal(*lo);
      int64_t h = l;
      if (hi != lo) {
        CheckValue(*hi);
        Coerce(*hi, s.A->T);
        h = FoldOrdinal(*hi);
      }
      b.Ranges.emplace_back(l, h);
    }
    CheckStmt(*b.Body);
  }
  if (s.Else) CheckStmt(*s.Else);
}

// `with r do`: r is taken once into a hidden slot that refers to it; the fields' names
// then resolve to fields of that slot, innermost with first.
void Checker::CheckWith(Stmt& s) {
  const size_t scopesBefore = scopes_.size();
  s.WithLevel = Current().Level;
  for (ExprPtr& rec : s.WithRecs) {
    CheckLValue(rec);
    if (rec->T->K != Kind::Record || rec->K == Ex::IndexStr) Fail(msg::kNotARecord, rec->Pos);
    const int32_t slot = NewSlot(nullptr);
    s.WithSlots.push_back(slot);
    Scope scope{{}, &Current()};
    for (size_t i = 0; i < rec->T->Fields.size(); ++i) {
      Symbol f;
      f.K = Symbol::WithField;
      f.T = rec->T->Fields[i].FieldType;
      f.Level = s.WithLevel;
      f.Slot = slot;
      f.FieldIndex = static_cast<int32_t>(i);
      f.RecT = rec->T;
      scope.Names.emplace(rec->T->Fields[i].Key, f);
    }
    scopes_.push_back(std::move(scope));
  }
  CheckStmt(*s.Then);
  scopes_.resize(scopesBefore);
}

}  // namespace kelvan::scriptengine
