// The standard routines: their names, their typing (a part of the checker) and their
// work (a part of the interpreter), side by side so that each routine is read in one place.

#include "scriptengine/Builtins.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <unordered_map>

#include "scriptengine/Checker.h"
#include "scriptengine/Interpreter.h"
#include "scriptengine/Messages.h"

namespace kelvan::scriptengine {

namespace {

const std::unordered_map<std::string, Bi>& Names() {
  static const std::unordered_map<std::string, Bi> names = {
      {"abs", Bi::Abs}, {"sqr", Bi::Sqr}, {"sqrt", Bi::Sqrt}, {"sin", Bi::Sin}, {"cos", Bi::Cos},
      {"tan", Bi::Tan}, {"arctan", Bi::ArcTan}, {"atan", Bi::ArcTan}, {"exp", Bi::Exp}, {"ln", Bi::Ln},
      {"round", Bi::Round}, {"trunc", Bi::Trunc}, {"int", Bi::Int}, {"frac", Bi::Frac}, {"min", Bi::Min},
      {"max", Bi::Max}, {"pi", Bi::Pi}, {"degtorad", Bi::DegToRad}, {"radtodeg", Bi::RadToDeg},
      {"random", Bi::Random}, {"randomize", Bi::Randomize}, {"ord", Bi::Ord}, {"chr", Bi::Chr},
      {"length", Bi::Length}, {"copy", Bi::Copy}, {"pos", Bi::Pos}, {"delete", Bi::Delete},
      {"insert", Bi::Insert}, {"inttostr", Bi::IntToStr}, {"floattostr", Bi::FloatToStr},
      {"strtoint", Bi::StrToInt}, {"strtofloat", Bi::StrToFloat}, {"stringofchar", Bi::StringOfChar},
      {"uppercase", Bi::UpperCase}, {"lowercase", Bi::LowerCase}, {"trim", Bi::Trim}, {"inc", Bi::Inc},
      {"dec", Bi::Dec}, {"setarraylength", Bi::SetArrayLength}, {"setlength", Bi::SetArrayLength},
      {"changefileext", Bi::ChangeFileExt}, {"odd", Bi::Odd}, {"exit", Bi::Exit}, {"break", Bi::Break},
      {"continue", Bi::Continue},
  };
  return names;
}

// Largest dynamic array SetArrayLength makes; beyond it a script has run away.
constexpr int64_t kMaxArrayLength = 10000000;
constexpr int64_t kMaxStringLength = int64_t{64} << 20;

}  // namespace

Bi FindBuiltin(const std::string& key) {
  const auto& names = Names();
  const auto it = names.find(key);
  return it == names.end() ? Bi::None : it->second;
}

bool IsUnusableName(const std::string& key) {
  static const char* const names[] = {"goto", "label", "file", "nil", "set", "unit", "get", "put", "read",
                                      "readln", "reset", "rewrite", "input", "output", "newpage", "write"};
  return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return key == n; });
}

bool IsBuiltinUnit(const std::string& key) {
  return key == "classes" || key == "sysutils" || key == "math" || key == "stnd" || key == "nc";
}

bool IsPureBuiltin(Bi b) {
  return b != Bi::Random && b != Bi::Randomize && b != Bi::Delete && b != Bi::Insert && b != Bi::Inc &&
         b != Bi::Dec && b != Bi::SetArrayLength && b != Bi::StrToInt && b != Bi::StrToFloat;
}

// ---- typing

void Checker::BuiltinArgs::Count(size_t lo, size_t hi) {
  if (e.Args.size() < lo || e.Args.size() > hi) c.Fail(msg::kArgCount, e.Pos);
  for (ExprPtr& x : e.Args) c.CheckValue(x);
}

void Checker::BuiltinArgs::Numeric(size_t i) {
  const Kind k = e.Args[i]->T->K;
  if (k != Kind::Integer && k != Kind::Float) c.Fail(msg::kTypeMismatch, e.Args[i]->Pos);
}

void Checker::BuiltinArgs::Variable(size_t i) {
  const Expr& x = *e.Args[i];
  if (!c.IsLValue(x) || x.K == Ex::IndexStr) c.Fail(msg::kVarArg, StartOf(x));
}

void Checker::CheckBuiltin(ExprPtr& e, Bi id, bool asStatement) {
  auto& a = e->Args;
  BuiltinArgs args{*this, *e};
  const Type* result = p_.VoidT;
  switch (id) {
    case Bi::Abs: case Bi::Sqr:
      args.Count(1, 1);
      args.Numeric(0);
      result = a[0]->T->K == Kind::Float ? p_.FloatT : p_.IntegerT;
      break;
    case Bi::Sqrt: case Bi::Sin: case Bi::Cos: case Bi::Tan: case Bi::ArcTan: case Bi::Exp: case Bi::Ln:
    case Bi::Int: case Bi::Frac: case Bi::DegToRad: case Bi::RadToDeg:
      args.Count(1, 1);
      args.Want(0, p_.FloatT);
      result = p_.FloatT;
      break;
    case Bi::Round: case Bi::Trunc:
      args.Count(1, 1);
      args.Want(0, p_.FloatT);
      result = p_.IntegerT;
      break;
    case Bi::Min: case Bi::Max:
      args.Count(2, 2);
      args.Numeric(0);
      args.Numeric(1);
      result = a[0]->T->K == Kind::Integer && a[1]->T->K == Kind::Integer ? p_.IntegerT : p_.FloatT;
      args.Want(0, result);
      args.Want(1, result);
      break;
    case Bi::Pi:
      args.Count(0, 0);
      result = p_.FloatT;
      break;
    case Bi::Random:
      args.Count(0, 1);
      if (a.size() == 1) args.Want(0, p_.IntegerT);
      result = a.empty() ? p_.FloatT : p_.IntegerT;
      break;
    case Bi::Randomize: args.Count(0, 0); break;
    default: result = CheckTextBuiltin(e, id);
  }
  if (result == p_.VoidT && !asStatement) Fail(msg::NoValue(e->S), e->Pos);
  e->K = Ex::CallBuiltin;
  e->I = static_cast<int64_t>(id);
  e->T = result;
}

// The routines over characters, strings and variables.
const Type* Checker::CheckTextBuiltin(ExprPtr& e, Bi id) {
  auto& a = e->Args;
  BuiltinArgs args{*this, *e};
  const Type* result = p_.VoidT;
  switch (id) {
    case Bi::Ord:
      args.Count(1, 1);
      if (!a[0]->T->IsOrdinal()) Fail(msg::kOrdinal, a[0]->Pos);
      result = p_.IntegerT;
      break;
    case Bi::Chr:
      args.Count(1, 1);
      args.Want(0, p_.IntegerT);
      result = p_.CharT;
      break;
    case Bi::Length:
      args.Count(1, 1);
      if (a[0]->T->K == Kind::Char) args.Want(0, p_.StringT);
      if (a[0]->T->K != Kind::String && a[0]->T->K != Kind::Array && a[0]->T->K != Kind::DynArray)
        Fail(msg::kTypeMismatch, a[0]->Pos);
      result = p_.IntegerT;
      break;
    case Bi::Copy:
      args.Count(2, 3);
      args.Want(0, p_.StringT);
      args.Want(1, p_.IntegerT);
      if (a.size() == 3) args.Want(2, p_.IntegerT);
      result = p_.StringT;
      break;
    case Bi::Pos:
      args.Count(2, 2);
      args.Want(0, p_.StringT);
      args.Want(1, p_.StringT);
      result = p_.IntegerT;
      break;
    case Bi::Delete:
      args.Count(3, 3);
      args.Variable(0);
      if (a[0]->T->K != Kind::String) Fail(msg::kTypeMismatch, a[0]->Pos);
      args.Want(1, p_.IntegerT);
      args.Want(2, p_.IntegerT);
      break;
    case Bi::Insert:
      args.Count(3, 3);
      args.Want(0, p_.StringT);
      args.Variable(1);
      if (a[1]->T->K != Kind::String) Fail(msg::kTypeMismatch, a[1]->Pos);
      args.Want(2, p_.IntegerT);
      break;
    default: result = CheckConvertBuiltin(e, id);
  }
  return result;
}

// The conversions between numbers and text, and the routines that change a variable.
const Type* Checker::CheckConvertBuiltin(ExprPtr& e, Bi id) {
  auto& a = e->Args;
  BuiltinArgs args{*this, *e};
  const Type* result = p_.VoidT;
  switch (id) {
    case Bi::IntToStr: case Bi::FloatToStr:
      args.Count(1, 1);
      args.Want(0, id == Bi::IntToStr ? p_.IntegerT : p_.FloatT);
      result = p_.StringT;
      break;
    case Bi::StrToInt: case Bi::StrToFloat: case Bi::UpperCase: case Bi::LowerCase: case Bi::Trim:
      args.Count(1, 1);
      args.Want(0, p_.StringT);
      result = id == Bi::StrToInt ? p_.IntegerT : id == Bi::StrToFloat ? p_.FloatT : p_.StringT;
      break;
    case Bi::StringOfChar:
      args.Count(2, 2);
      args.Want(0, p_.CharT);
      args.Want(1, p_.IntegerT);
      result = p_.StringT;
      break;
    case Bi::Inc: case Bi::Dec:
      args.Count(1, 2);
      args.Variable(0);
      if (a[0]->T->K != Kind::Integer && a[0]->T->K != Kind::Char) Fail(msg::kOrdinal, a[0]->Pos);
      if (a.size() == 2) args.Want(1, p_.IntegerT);
      break;
    case Bi::SetArrayLength:
      args.Count(2, 2);
      args.Variable(0);
      if (a[0]->T->K != Kind::DynArray) Fail(msg::kTypeMismatch, a[0]->Pos);
      args.Want(1, p_.IntegerT);
      break;
    case Bi::ChangeFileExt:
      args.Count(2, 2);
      args.Want(0, p_.StringT);
      args.Want(1, p_.StringT);
      result = p_.StringT;
      break;
    case Bi::Odd:
      args.Count(1, 1);
      args.Want(0, p_.IntegerT);
      result = p_.BooleanT;
      break;
    default: Fail(msg::kInternal, e->Pos);
  }
  return result;
}

// ---- work

namespace {

std::mt19937_64& Rng() {
  // One generator per thread, seeded alike at start, so that a script without Randomize
  // gives the same numbers every run, as Pascal's does.
  thread_local std::mt19937_64 rng(0x4B656C76616EULL);
  return rng;
}

std::string TrimText(const std::string& s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

// 15 significant digits without trailing zeros; an exponent as "1E20", "1.5E-7".
std::string FormatFloat(double v) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  std::string s = buf;
  const size_t e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  std::string exp = s.substr(e + 1);
  const bool negative = exp[0] == '-';
  exp.erase(0, exp.find_first_not_of("+-0"));
  return mantissa + "E" + (negative ? "-" : "") + (exp.empty() ? "0" : exp);
}

bool ParseInteger(const std::string& text, int64_t& out) {
  const std::string s = TrimText(text);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const bool hex = i < s.size() && s[i] == '$';
  if (hex) ++i;
  if (i >= s.size()) return false;
  uint64_t v = 0;
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    int d;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (hex && std::isxdigit(static_cast<unsigned char>(c))) {
      d = (c | 0x20) - 'a' + 10;
    } else {
      return false;
    }
    const uint64_t base = hex ? 16 : 10;
    if (v > (limit - static_cast<uint64_t>(d)) / base) return false;
    v = v * base + static_cast<uint64_t>(d);
  }
  out = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
  return true;
}

bool ParseFloat(const std::string& text, double& out) {
  const std::string s = TrimText(text);
  if (s.empty() || s.find_first_not_of("0123456789+-.eE") != std::string::npos) return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size() && std::isfinite(out);
}

std::string NewExt(const std::string& name, const std::string& ext) {
  const size_t dot = name.rfind('.');
  const size_t sep = name.find_last_of("/\\:");
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return name + ext;
  return name.substr(0, dot) + ext;
}

}  // namespace

void Interpreter::Builtin(const Expr& e, Cell& out) {
  const auto& a = e.Args;
  auto real = [&](size_t i) { return EvalFloat(*a[i]); };
  auto integer = [&](size_t i) { return EvalInt(*a[i]); };
  auto checked = [&](double v) {
    if (!std::isfinite(v)) Fail(msg::kBadFloat);
    return v;
  };
  auto toInt = [&](double v) {
    // Beyond ±2^63 (or NaN) no Integer holds the value.
    if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0)) Fail(msg::kFloatRange);
    return static_cast<int64_t>(v);
  };
  switch (static_cast<Bi>(e.I)) {
    case Bi::Abs:
      if (e.T->K == Kind::Float) {
        out.F = std::fabs(real(0));
      } else {
        const int64_t v = integer(0);
        out.I = v < 0 ? static_cast<int64_t>(0 - static_cast<uint64_t>(v)) : v;
      }
      return;
    case Bi::Sqr:
      if (e.T->K == Kind::Float) {
        const double v = real(0);
        out.F = v * v;
      } else {
        const uint64_t v = static_cast<uint64_t>(integer(0));
        out.I = static_cast<int64_t>(v * v);
      }
      return;
    case Bi::Sqrt: out.F = checked(std::sqrt(real(0))); return;
    case Bi::Sin: out.F = std::sin(real(0)); return;
    case Bi::Cos: out.F = std::cos(real(0)); return;
    case Bi::Tan: out.F = std::tan(real(0)); return;
    case Bi::ArcTan: out.F = std::atan(real(0)); return;
    case Bi::Exp: out.F = checked(std::exp(real(0))); return;
    case Bi::Ln: out.F = checked(std::log(real(0))); return;
    case Bi::Round: out.I = toInt(std::nearbyint(real(0))); return;  // ties to even
    case Bi::Trunc: out.I = toInt(std::trunc(real(0))); return;
    case Bi::Int: out.F = std::trunc(real(0)); return;
    case Bi::Frac: {
      const double v = real(0);
      out.F = v - std::trunc(v);
      return;
    }
    case Bi::Min: case Bi::Max: {
      const bool isMax = static_cast<Bi>(e.I) == Bi::Max;
      if (e.T->K == Kind::Integer) {
        const int64_t x = integer(0), y = integer(1);
        out.I = isMax ? std::max(x, y) : std::min(x, y);
      } else {
        const double x = real(0), y = real(1);
        out.F = isMax ? std::max(x, y) : std::min(x, y);
      }
      return;
    }
    case Bi::Pi: out.F = M_PI; return;
    case Bi::DegToRad: out.F = real(0) * (M_PI / 180.0); return;
    case Bi::RadToDeg: out.F = real(0) * (180.0 / M_PI); return;
    case Bi::Random:
      if (a.empty()) {
        out.F = std::uniform_real_distribution<double>(0.0, 1.0)(Rng());
      } else {
        const int64_t n = integer(0);
        out.I = n <= 0 ? 0 : std::uniform_int_distribution<int64_t>(0, n - 1)(Rng());
      }
      return;
    case Bi::Randomize: Rng().seed(std::random_device{}()); return;
    default: BuiltinText(e, out); return;
  }
}

void Interpreter::BuiltinText(const Expr& e, Cell& out) {
  const auto& a = e.Args;
  auto integer = [&](size_t i) { return EvalInt(*a[i]); };
  switch (static_cast<Bi>(e.I)) {
    case Bi::FloatToStr: out.S = FormatFloat(EvalFloat(*a[0])); return;
    case Bi::Ord: out.I = integer(0); return;
    case Bi::Chr: out.I = integer(0) & 0xFF; return;
    case Bi::Length: {
      const Type* t = a[0]->T;
      Cell tmp;
      const Cell* c = Load(*a[0], tmp);
      if (t->K == Kind::String) out.I = static_cast<int64_t>(c->S.size());
      else if (t->K == Kind::Array) out.I = t->Count();
      else out.I = c->A ? static_cast<int64_t>(c->A->size()) : 0;
      return;
    }
    case Bi::Copy: {
      std::string s = EvalStr(*a[0]);
      int64_t from = integer(1);
      const int64_t len = static_cast<int64_t>(s.size());
      int64_t n = a.size() == 3 ? integer(2) : len;
      if (from < 1) from = 1;
      if (from > len || n <= 0) {
        out.S.clear();
      } else {
        out.S = s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(std::min(n, len - from + 1)));
      }
      return;
    }
    case Bi::Pos: {
      const std::string sub = EvalStr(*a[0]);
      const std::string s = EvalStr(*a[1]);
      const size_t at = sub.empty() ? std::string::npos : s.find(sub);
      out.I = at == std::string::npos ? 0 : static_cast<int64_t>(at) + 1;
      return;
    }
    case Bi::IntToStr: out.S = std::to_string(integer(0)); return;
    case Bi::StrToInt: {
      const std::string s = EvalStr(*a[0]);
      if (!ParseInteger(s, out.I)) Fail(msg::NotInteger(s));
      return;
    }
    case Bi::StrToFloat: {
      const std::string s = EvalStr(*a[0]);
      if (!ParseFloat(s, out.F)) Fail(msg::NotNumber(s));
      return;
    }
    case Bi::StringOfChar: {
      const char c = static_cast<char>(integer(0));
      const int64_t n = integer(1);
      if (n > kMaxStringLength) Fail(msg::kNoMemory);
      out.S.assign(n > 0 ? static_cast<size_t>(n) : 0, c);
      return;
    }
    case Bi::UpperCase: case Bi::LowerCase: {
      out.S = EvalStr(*a[0]);
      const bool up = static_cast<Bi>(e.I) == Bi::UpperCase;
      for (char& c : out.S) {
        if (up && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!up && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      }
      return;
    }
    case Bi::Trim: out.S = TrimText(EvalStr(*a[0])); return;
    case Bi::ChangeFileExt: {
      const std::string name = EvalStr(*a[0]);
      out.S = NewExt(name, EvalStr(*a[1]));
      return;
    }
    case Bi::Odd: out.I = integer(0) & 1; return;
    default: BuiltinVar(e); return;
  }
}

// The procedures that change a variable: the new values are computed before the
// variable is taken, so that an argument's own calls cannot move it away.
void Interpreter::BuiltinVar(const Expr& e) {
  const auto& a = e.Args;
  switch (static_cast<Bi>(e.I)) {
    case Bi::Inc: case Bi::Dec: {
      int64_t by = a.size() == 2 ? EvalInt(*a[1]) : 1;
      if (static_cast<Bi>(e.I) == Bi::Dec) by = static_cast<int64_t>(0 - static_cast<uint64_t>(by));
      Cell* c = Ref(*a[0]);
      int64_t v = static_cast<int64_t>(static_cast<uint64_t>(c->I) + static_cast<uint64_t>(by));
      if (a[0]->T->IsByte || a[0]->T->K == Kind::Char) v &= 0xFF;
      c->I = v;
      return;
    }
    case Bi::Delete: {
      const int64_t from = EvalInt(*a[1]);
      const int64_t n = EvalInt(*a[2]);
      std::string& s = Ref(*a[0])->S;
      const int64_t len = static_cast<int64_t>(s.size());
      if (from >= 1 && from <= len && n > 0)
        s.erase(static_cast<size_t>(from - 1), static_cast<size_t>(std::min(n, len - from + 1)));
      return;
    }
    case Bi::Insert: {
      const std::string sub = EvalStr(*a[0]);
      int64_t at = EvalInt(*a[2]);
      std::string& s = Ref(*a[1])->S;
      const int64_t len = static_cast<int64_t>(s.size());
      if (len + static_cast<int64_t>(sub.size()) > kMaxStringLength) Fail(msg::kNoMemory);
      at = std::clamp<int64_t>(at, 1, len + 1);
      s.insert(static_cast<size_t>(at - 1), sub);
      return;
    }
    case Bi::SetArrayLength: {
      const int64_t n = EvalInt(*a[1]);
      if (n < 0 || n > kMaxArrayLength) Fail(msg::kArrayLength);
      Cell* c = Ref(*a[0]);
      const Type* elem = a[0]->T->Elem;
      // Always a new array: a var parameter or with may still point into the old one,
      // and another variable sharing it keeps its length, as in Delphi.
      auto grown = std::make_shared<Agg>(static_cast<size_t>(n));
      const size_t keep = c->A ? std::min(c->A->size(), static_cast<size_t>(n)) : 0;
      for (size_t i = 0; i < keep; ++i) CopyCell(elem, (*c->A)[i], (*grown)[i]);
      for (size_t i = keep; i < grown->size(); ++i) InitCell(elem, (*grown)[i]);
      c->A = std::move(grown);
      return;
    }
    default: Fail(msg::kInternal);
  }
}

}  // namespace kelvan::scriptengine
