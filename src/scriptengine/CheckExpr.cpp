// The checker's half for expressions: names to slots and routines, operators to typed
// operations, implicit conversions made explicit.

#include "scriptengine/Checker.h"
#include "scriptengine/Interpreter.h"
#include "scriptengine/Messages.h"

namespace kelvan::scriptengine {

namespace {

bool IsNumeric(const Type* t) { return t->K == Kind::Integer || t->K == Kind::Float; }
bool IsText(const Type* t) { return t->K == Kind::String || t->K == Kind::Char; }


}  // namespace

void Checker::Wrap(ExprPtr& e, Ex k, const Type* t) {
  auto w = std::make_unique<Expr>();
  w->K = k;
  w->T = t;
  w->Pos = e->Pos;
  w->Depth = e->Depth + 1;
  w->Args.push_back(std::move(e));
  e = std::move(w);
}

void Checker::Coerce(ExprPtr& e, const Type* to) {
  const Type* from = e->T;
  if (SameType(from, to)) return;
  if (to->K == Kind::Float && from->K == Kind::Integer) {
    if (e->K == Ex::ConstI) {
      e->K = Ex::ConstF;
      e->F = static_cast<double>(e->I);
      e->T = to;
    } else {
      Wrap(e, Ex::IntToFloat, to);
    }
    return;
  }
  if (to->K == Kind::String && from->K == Kind::Char) {
    if (e->K == Ex::ConstI) {
      e->K = Ex::ConstS;
      e->S = std::string(1, static_cast<char>(e->I));
      e->T = to;
    } else {
      Wrap(e, Ex::CharToStr, to);
    }
    return;
  }
  Fail(msg::kTypeMismatch, StartOf(*e));
}

void Checker::CheckValue(ExprPtr& e) { CheckExpr(e); }

void Checker::CheckExpr(ExprPtr& e) {
  switch (e->K) {
    case Ex::IntLit:
      e->K = Ex::ConstI;
      e->T = p_.IntegerT;
      return;
    case Ex::FloatLit:
      e->K = Ex::ConstF;
      e->T = p_.FloatT;
      return;
    case Ex::StrLit:
      // 'a' is a Char, which becomes a String wherever one is wanted.
      if (e->S.size() == 1) {
        e->K = Ex::ConstI;
        e->I = static_cast<unsigned char>(e->S[0]);
        e->T = p_.CharT;
      } else {
        e->K = Ex::ConstS;
        e->T = p_.StringT;
      }
      return;
    case Ex::Name: CheckName(e, false, false); return;
    case Ex::Index: CheckIndex(e); return;
    case Ex::Field: CheckField(e); return;
    case Ex::Unary: CheckUnary(e); return;
    case Ex::Binary: CheckBinary(e); return;
    default: Fail(msg::kTypeMismatch, e->Pos);  // a set or a range outside `in` and `case`
  }
}

bool Checker::IsLValue(const Expr& e) const {
  switch (e.K) {
    case Ex::Var: case Ex::VarRef: return true;
    case Ex::IndexArr: case Ex::IndexDyn: case Ex::FieldOf: case Ex::IndexStr: return IsLValue(*e.Args[0]);
    default: return false;
  }
}

void Checker::CheckLValue(ExprPtr& e) {
  if (e->K == Ex::Name) {
    CheckName(e, false, true);
  } else if (e->K == Ex::Index || e->K == Ex::Field) {
    CheckExpr(e);
  } else {
    Fail(msg::kNotAssignable, e->Pos);
  }
  if (!IsLValue(*e)) Fail(msg::kNotAssignable, e->Pos);
}

void Checker::MakeConst(Expr& e, const Symbol& c) {
  e.T = c.T;
  e.Args.clear();
  if (c.T->K == Kind::Float) {
    e.K = Ex::ConstF;
    e.F = c.F;
  } else if (c.T->K == Kind::String) {
    e.K = Ex::ConstS;
    e.S = c.S;
  } else {
    e.K = Ex::ConstI;
    e.I = c.I;
  }
}

// Scopes of the script first, then the host's functions, then the predefined names
// (True, False), then the standard routines.
void Checker::CheckName(ExprPtr& e, bool asStatement, bool asTarget) {
  if (const Symbol* s = Lookup(e->Key)) {
    switch (s->K) {
      case Symbol::Var:
        if (e->Parens) Fail(msg::NotARoutine(e->S), e->Pos);
        e->K = s->ByRef ? Ex::VarRef : Ex::Var;
        e->T = s->T;
        e->Level = s->Level;
        e->Slot = s->Slot;
        return;
      case Symbol::Const:
        if (asTarget) Fail(msg::kNotAssignable, e->Pos);
        if (e->Parens) Fail(msg::NotARoutine(e->S), e->Pos);
        MakeConst(*e, *s);
        return;
      case Symbol::WithField: {
        if (e->Parens) Fail(msg::NotARoutine(e->S), e->Pos);
        auto base = std::make_unique<Expr>();
        base->K = Ex::VarRef;
        base->T = s->RecT;
        base->Pos = e->Pos;
        base->Level = s->Level;
        base->Slot = s->Slot;
        e->K = Ex::FieldOf;
        e->T = s->T;
        e->Slot = s->FieldIndex;
        e->Args.push_back(std::move(base));
        return;
      }
      case Symbol::TypeName: Fail(msg::NotAValue(e->S), e->Pos);
      case Symbol::Proc:
        if (asTarget && !e->Parens) {
          // `F := value` inside F (or a routine nested in it) sets F's result.
          for (auto it = functions_.rbegin(); it != functions_.rend(); ++it) {
            if (*it == s->Fn && s->Fn->Result) {
              e->K = Ex::Var;
              e->T = s->Fn->Result;
              e->Level = s->Fn->Level;
              e->Slot = s->Fn->ResultSlot;
              return;
            }
          }
          Fail(msg::kNotAssignable, e->Pos);
        }
        CheckCall(e, s, asStatement);
        return;
    }
  }
  if (asTarget) {
    if (hosts_.Functions.count(e->Key) || FindBuiltin(e->Key) != Bi::None || e->Key == "true" || e->Key == "false")
      Fail(msg::kNotAssignable, e->Pos);
  }
  if (auto h = hosts_.Functions.find(e->Key); h != hosts_.Functions.end()) {
    if (keptHosts_.insert(h->second.get()).second) p_.Hosts.push_back(h->second);
    CheckHostCall(e, *h->second, asStatement);
    return;
  }
  if (e->Key == "true" || e->Key == "false") {
    if (e->Parens) Fail(msg::NotARoutine(e->S), e->Pos);
    e->K = Ex::ConstI;
    e->I = e->Key == "true";
    e->T = p_.BooleanT;
    return;
  }
  const Bi b = FindBuiltin(e->Key);
  if (b == Bi::Exit || b == Bi::Break || b == Bi::Continue) Fail(msg::NoValue(e->S), e->Pos);
  if (b != Bi::None) {
    CheckBuiltin(e, b, asStatement);
    return;
  }
  if (IsUnusableName(e->Key)) Fail(msg::Unusable(e->S), e->Pos);
  Fail(msg::NotDeclared(e->S), e->Pos);
}

void Checker::CheckCall(ExprPtr& e, const Symbol* sym, bool asStatement) {
  Routine* fn = sym->Fn;
  if (!fn->Result && !asStatement) Fail(msg::NoValue(e->S), e->Pos);
  CheckArgs(*e, fn->Params);
  e->K = Ex::CallUser;
  e->Fn = fn;
  e->T = fn->Result ? fn->Result : p_.VoidT;
}

void Checker::CheckHostCall(ExprPtr& e, const HostFunction& f, bool asStatement) {
  if (!f.HasResult && !asStatement) Fail(msg::NoValue(e->S), e->Pos);
  auto typeOf = [&](HostType h) {
    switch (h) {
      case HostType::Integer: return p_.IntegerT;
      case HostType::Float: return p_.FloatT;
      case HostType::String: return p_.StringT;
      case HostType::Boolean: return p_.BooleanT;
    }
    return p_.IntegerT;
  };
  std::vector<Routine::Param> params;
  for (const HostParam& hp : f.Params) params.push_back({typeOf(hp.Type), hp.ByRef});
  CheckArgs(*e, params);
  e->K = Ex::CallHost;
  e->Host = &f;
  e->T = f.HasResult ? typeOf(f.Result) : p_.VoidT;
}

void Checker::CheckArgs(Expr& call, const std::vector<Routine::Param>& params) {
  if (call.Args.size() != params.size()) Fail(msg::kArgCount, call.Pos);
  for (size_t i = 0; i < params.size(); ++i) {
    ExprPtr& a = call.Args[i];
    CheckValue(a);
    if (params[i].ByRef) {
      // A var parameter stands for the caller's variable itself, so the types must be
      // one: a Float var parameter cannot take an Integer variable.
      if (!IsLValue(*a) || a->K == Ex::IndexStr) Fail(msg::kVarArg, StartOf(*a));
      if (!SameType(a->T, params[i].T)) Fail(msg::kTypeMismatch, StartOf(*a));
    } else {
      Coerce(a, params[i].T);
    }
  }
}

void Checker::CheckIndex(ExprPtr& e) {
  std::vector<ExprPtr> args = std::move(e->Args);
  ExprPtr node = std::move(args[0]);
  CheckValue(node);
  for (size_t i = 1; i < args.size(); ++i) {
    ExprPtr& ix = args[i];
    CheckValue(ix);
    const Type* t = node->T;
    auto step = std::make_unique<Expr>();
    step->Pos = ix->Pos;
    step->Depth = std::max(node->Depth, ix->Depth) + 1;
    if (t->K == Kind::String) {
      step->K = Ex::IndexStr;
      step->T = p_.CharT;
    } else if (t->K == Kind::Array) {
      step->K = Ex::IndexArr;
      step->T = t->Elem;
    } else if (t->K == Kind::DynArray) {
      step->K = Ex::IndexDyn;
      step->T = t->Elem;
    } else {
      Fail(msg::kNotIndexable, node->Pos);
    }
    if (t->K == Kind::Array ? !ix->T->IsOrdinal() : ix->T->K != Kind::Integer) Fail(msg::kTypeMismatch, ix->Pos);
    step->Args.push_back(std::move(node));
    step->Args.push_back(std::move(ix));
    node = std::move(step);
  }
  e = std::move(node);
}

void Checker::CheckField(ExprPtr& e) {
  CheckValue(e->Args[0]);
  const Type* t = e->Args[0]->T;
  if (t->K != Kind::Record) Fail(msg::kNotARecord, e->Args[0]->Pos);
  for (size_t i = 0; i < t->Fields.size(); ++i) {
    if (t->Fields[i].Key == e->Key) {
      e->K = Ex::FieldOf;
      e->Slot = static_cast<int32_t>(i);
      e->T = t->Fields[i].FieldType;
      return;
    }
  }
  Fail(msg::NoField(e->S), e->Pos);
}

void Checker::CheckUnary(ExprPtr& e) {
  CheckValue(e->Args[0]);
  const Type* t = e->Args[0]->T;
  switch (e->Op) {
    case Tok::Plus:
      if (!IsNumeric(t)) Fail(msg::kTypeMismatch, e->Pos);
      e = std::move(e->Args[0]);
      return;
    case Tok::Minus:
      if (!IsNumeric(t)) Fail(msg::kTypeMismatch, e->Pos);
      e->K = t->K == Kind::Integer ? Ex::NegI : Ex::NegF;
      break;
    default:  // not
      if (t->K == Kind::Boolean) {
        e->K = Ex::NotB;
      } else if (t->K == Kind::Integer) {
        e->K = Ex::NotI;
      } else {
        Fail(msg::kTypeMismatch, e->Pos);
      }
  }
  e->T = t->IsByte ? p_.IntegerT : t;
}

namespace {

// The typed operation of a comparison: Ex::EqI + offset, EqF + offset, EqS + offset.
int CompareOffset(Tok op) {
  switch (op) {
    case Tok::Eq: return 0;
    case Tok::Ne: return 1;
    case Tok::Lt: return 2;
    case Tok::Le: return 3;
    case Tok::Gt: return 4;
    default: return 5;
  }
}

Ex Offset(Ex base, int by) { return static_cast<Ex>(static_cast<int>(base) + by); }

}  // namespace

void Checker::CheckBinary(ExprPtr& e) {
  if (e->Op == Tok::In) {
    CheckIn(e);
    return;
  }
  ExprPtr& l = e->Args[0];
  ExprPtr& r = e->Args[1];
  CheckValue(l);
  CheckValue(r);
  const Type* lt = l->T;
  const Type* rt = r->T;
  const bool ints = lt->K == Kind::Integer && rt->K == Kind::Integer;
  const bool nums = IsNumeric(lt) && IsNumeric(rt);
  const bool bools = lt->K == Kind::Boolean && rt->K == Kind::Boolean;
  auto floats = [&] {
    Coerce(l, p_.FloatT);
    Coerce(r, p_.FloatT);
    e->T = p_.FloatT;
  };
  e->T = p_.IntegerT;
  switch (e->Op) {
    case Tok::Plus:
      if (IsText(lt) && IsText(rt)) {
        Coerce(l, p_.StringT);
        Coerce(r, p_.StringT);
        e->K = Ex::Concat;
        e->T = p_.StringT;
        return;
      }
      [[fallthrough]];
    case Tok::Minus: case Tok::Star:
      if (!nums) Fail(msg::kTypeMismatch, e->Pos);
      if (ints) {
        e->K = e->Op == Tok::Plus ? Ex::AddI : e->Op == Tok::Minus ? Ex::SubI : Ex::MulI;
      } else {
        floats();
        e->K = e->Op == Tok::Plus ? Ex::AddF : e->Op == Tok::Minus ? Ex::SubF : Ex::MulF;
      }
      return;
    case Tok::Slash:
      if (!nums) Fail(msg::kTypeMismatch, e->Pos);
      floats();
      e->K = Ex::DivF;
      return;
    case Tok::Div: case Tok::Mod: case Tok::Shl: case Tok::Shr:
      if (!ints) Fail(msg::kTypeMismatch, e->Pos);
      e->K = e->Op == Tok::Div ? Ex::DivI : e->Op == Tok::Mod ? Ex::ModI : e->Op == Tok::Shl ? Ex::ShlI : Ex::ShrI;
      return;
    case Tok::And: case Tok::Or: case Tok::Xor:
      if (bools) {
        e->K = e->Op == Tok::And ? Ex::AndB : e->Op == Tok::Or ? Ex::OrB : Ex::XorB;
        e->T = p_.BooleanT;
      } else if (ints) {
        e->K = e->Op == Tok::And ? Ex::AndI : e->Op == Tok::Or ? Ex::OrI : Ex::XorI;
      } else {
        Fail(msg::kTypeMismatch, e->Pos);
      }
      return;
    default: CheckComparison(e);
  }
}

// = <> < <= > >= over two checked operands: integers, Booleans and chars compare as
// integers, numbers as floats, text as strings.
void Checker::CheckComparison(ExprPtr& e) {
  ExprPtr& l = e->Args[0];
  ExprPtr& r = e->Args[1];
  const Type* lt = l->T;
  const Type* rt = r->T;
  const int off = CompareOffset(e->Op);
  e->T = p_.BooleanT;
  const bool sameOrdinal = lt->K == rt->K && (lt->K == Kind::Integer || lt->K == Kind::Boolean || lt->K == Kind::Char);
  if (sameOrdinal) {
    e->K = Offset(Ex::EqI, off);
  } else if (IsNumeric(lt) && IsNumeric(rt)) {
    Coerce(l, p_.FloatT);
    Coerce(r, p_.FloatT);
    e->K = Offset(Ex::EqF, off);
  } else if (IsText(lt) && IsText(rt)) {
    Coerce(l, p_.StringT);
    Coerce(r, p_.StringT);
    e->K = Offset(Ex::EqS, off);
  } else {
    Fail(msg::kTypeMismatch, e->Pos);
  }
}

// x in [a, b..c]: the set is never built; the test runs over its parts.
void Checker::CheckIn(ExprPtr& e) {
  CheckValue(e->Args[0]);
  const Type* xt = e->Args[0]->T;
  if (!xt->IsOrdinal()) Fail(msg::kOrdinal, e->Args[0]->Pos);
  if (e->Args[1]->K != Ex::SetCons) Fail(msg::kTypeMismatch, e->Args[1]->Pos);
  ExprPtr set = std::move(e->Args[1]);
  e->Args.pop_back();
  for (ExprPtr& part : set->Args) {
    if (part->K == Ex::Range) {
      for (ExprPtr& bound : part->Args) {
        CheckValue(bound);
        Coerce(bound, xt);
      }
      part->T = xt;
    } else {
      CheckValue(part);
      Coerce(part, xt);
    }
    e->Args.push_back(std::move(part));
  }
  e->K = Ex::InSet;
  e->T = p_.BooleanT;
}

namespace {

bool Foldable(const Expr& e) {
  switch (e.K) {
    case Ex::Var: case Ex::VarRef: case Ex::IndexArr: case Ex::IndexDyn: case Ex::IndexStr: case Ex::FieldOf:
    case Ex::CallUser: case Ex::CallHost:
      return false;
    case Ex::CallBuiltin:
      if (!IsPureBuiltin(static_cast<Bi>(e.I))) return false;
      break;
    default: break;
  }
  for (const ExprPtr& a : e.Args)
    if (!Foldable(*a)) return false;
  return true;
}

}  // namespace

void Checker::Fold(ExprPtr& e) {
  if (!e->T->IsScalar() || e->T->K == Kind::Void || !Foldable(*e)) Fail(msg::kConstExpected, e->Pos);
  Cell value;
  std::string error;
  if (!EvalConstant(p_, *e, value, error)) Fail(error, e->Pos);
  e->Args.clear();
  switch (e->T->K) {
    case Kind::Float:
      e->K = Ex::ConstF;
      e->F = value.F;
      break;
    case Kind::String:
      e->K = Ex::ConstS;
      e->S = std::move(value.S);
      break;
    default:
      e->K = Ex::ConstI;
      e->I = value.I;
  }
}

int64_t Checker::FoldOrdinal(ExprPtr& e) {
  if (!e->T->IsOrdinal()) Fail(msg::kOrdinal, e->Pos);
  Fold(e);
  return e->I;
}

}  // namespace kelvan::scriptengine
