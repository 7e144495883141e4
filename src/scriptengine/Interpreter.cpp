#include "scriptengine/Interpreter.h"

#include <pthread.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <new>
#include <stdexcept>

#include "scriptengine/Messages.h"

namespace kelvan::scriptengine {

namespace {

const std::atomic<bool> kNeverStop{false};

// Integer arithmetic wraps around in 64 bits, as the machine does, rather than being
// undefined: a script cannot make the engine misbehave by overflowing.
int64_t Wrap(uint64_t v) { return static_cast<int64_t>(v); }
uint64_t U(int64_t v) { return static_cast<uint64_t>(v); }

// Strings beyond this are a runaway loop, not text; refusing them keeps the process alive.
constexpr size_t kMaxString = size_t{64} << 20;

}  // namespace

bool EvalConstant(const Program& program, const Expr& e, Cell& out, std::string& error) {
  Interpreter in(program, RunOptions{}, nullptr);
  try {
    in.Eval(e, out);
    return true;
  } catch (const RunError& err) {
    error = err.Text;
    return false;
  }
}

Interpreter::Interpreter(const Program& program, const RunOptions& options, const std::atomic<bool>* stop)
    : p_(program), options_(options), stop_(stop ? stop : &kNeverStop) {
  if (options_.PollEvery < 1) options_.PollEvery = 1;
  countdown_ = options_.PollEvery;
}

void Interpreter::Fail(std::string text) const { throw RunError{std::move(text)}; }

bool Interpreter::Run(std::vector<Message>& messages) {
  // The deepest call must leave room below it for a statement's own recursion and the
  // host's handlers; a call past that point is refused like one past MaxDepth.
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) == 0) {
    void* addr = nullptr;
    size_t size = 0;
    pthread_attr_getstack(&attr, &addr, &size);
    pthread_attr_destroy(&attr);
    stackLimit_ = static_cast<const char*>(addr) + std::max<size_t>(size_t{512} << 10, size / 8);
  }
  const Routine& main = *p_.Routines.front();
  frames_.assign(static_cast<size_t>(p_.MaxLevel) + 1, nullptr);
  try {
    Cell* globals = Frame(main.SlotTypes.size());
    for (size_t i = 0; i < main.SlotTypes.size(); ++i)
      if (main.SlotTypes[i]) InitCell(main.SlotTypes[i], globals[i]);
    frames_[0] = globals;
    Exec(*main.Body);
    return true;
  } catch (const RunError& err) {
    const SrcPos at = cur_ ? cur_->Pos : SrcPos{};
    messages.push_back(Message{err.Text, at.Line, at.Column, at.Offset + 1});
  } catch (const std::bad_alloc&) {
    const SrcPos at = cur_ ? cur_->Pos : SrcPos{};
    messages.push_back(Message{msg::kNoMemory, at.Line, at.Column, at.Offset + 1});
  } catch (const std::length_error&) {
    const SrcPos at = cur_ ? cur_->Pos : SrcPos{};
    messages.push_back(Message{msg::kNoMemory, at.Line, at.Column, at.Offset + 1});
  }
  return false;
}

// The frame of the call at depth_; the vectors stay where they are, so cells of the
// frames below keep their addresses while deeper calls come and go.
Cell* Interpreter::Frame(size_t size) {
  while (pool_.size() <= static_cast<size_t>(depth_)) pool_.emplace_back();
  std::vector<Cell>& f = pool_[static_cast<size_t>(depth_)];
  if (f.size() < size) f.resize(size);
  return f.data();
}

inline void Interpreter::Tick() {
  if (stop_->load(std::memory_order_relaxed)) Fail(kStoppedMessage);
  if (--countdown_ <= 0) PollNow();
}

void Interpreter::PollNow() {
  countdown_ = options_.PollEvery;
  if (options_.Poll && !options_.Poll()) Fail(kStoppedMessage);
  if (stop_->load(std::memory_order_relaxed)) Fail(kStoppedMessage);
}

// ---- statements

Interpreter::Flow Interpreter::Exec(const Stmt& s) {
  cur_ = &s;
  Tick();
  switch (s.K) {
    case St::Empty: return Flow::Normal;
    case St::Compound:
      for (const StmtPtr& c : s.Body) {
        const Flow f = Exec(*c);
        if (f != Flow::Normal) return f;
      }
      return Flow::Normal;
    case St::Assign: return ExecAssign(s);
    case St::Call: {
      Cell dropped;
      Call(*s.A, dropped);
      return Flow::Normal;
    }
    case St::If:
      if (EvalInt(*s.A)) return Exec(*s.Then);
      return s.Else ? Exec(*s.Else) : Flow::Normal;
    case St::While:
      for (;;) {
        cur_ = &s;
        if (!EvalInt(*s.A)) return Flow::Normal;
        const Flow f = Exec(*s.Then);
        if (f == Flow::Break) return Flow::Normal;
        if (f == Flow::Exit) return f;
      }
    case St::Repeat:
      for (;;) {
        for (const StmtPtr& c : s.Body) {
          const Flow f = Exec(*c);
          if (f == Flow::Break) return Flow::Normal;
          if (f == Flow::Exit) return f;
          if (f == Flow::Continue) break;
        }
        cur_ = &s;
        if (EvalInt(*s.A)) return Flow::Normal;
      }
    case St::For: return ExecFor(s);
    case St::Case: return ExecCase(s);
    case St::With: return ExecWith(s);
    case St::Break: return Flow::Break;
    case St::Continue: return Flow::Continue;
    case St::Exit:
      if (s.A) ExecAssign(s);
      return Flow::Exit;
  }
  return Flow::Normal;
}

Interpreter::Flow Interpreter::ExecAssign(const Stmt& s) {
  const Type* t = s.AssignType;
  const Expr& target = *s.A;
  switch (t->K) {
    case Kind::Integer: {
      const int64_t v = EvalInt(*s.B);
      Ref(target)->I = t->IsByte ? (v & 0xFF) : v;
      break;
    }
    case Kind::Boolean: case Kind::Char:
      if (target.K == Ex::IndexStr) {
        const int64_t v = EvalInt(*s.B);
        Cell* str = Ref(*target.Args[0]);
        str->S[static_cast<size_t>(StrIndex(*target.Args[1], str->S) - 1)] = static_cast<char>(v);
      } else {
        const int64_t v = EvalInt(*s.B);
        Ref(target)->I = v;
      }
      break;
    case Kind::Float: {
      const double v = EvalFloat(*s.B);
      Ref(target)->F = v;
      break;
    }
    case Kind::String: {
      const Expr& v = *s.B;
      // s := s + x appends in place, so that building a text in a loop is not quadratic.
      if (v.K == Ex::Concat && v.Args[0]->K == target.K && (target.K == Ex::Var || target.K == Ex::VarRef) &&
          v.Args[0]->Level == target.Level && v.Args[0]->Slot == target.Slot) {
        const std::string tail = EvalStr(*v.Args[1]);
        std::string& dst = Ref(target)->S;
        if (dst.size() + tail.size() > kMaxString) Fail(msg::kNoMemory);
        dst += tail;
      } else {
        std::string value = EvalStr(v);
        Ref(target)->S = std::move(value);
      }
      break;
    }
    default: {
      Cell value;
      Eval(*s.B, value);
      CopyCell(t, value, *Ref(target));
    }
  }
  return Flow::Normal;
}

// The bounds are taken once; the variable gets each value in turn, and the loop ends at
// the last one without stepping past it (no overflow at the ends of the range).
Interpreter::Flow Interpreter::ExecFor(const Stmt& s) {
  const int64_t first = EvalInt(*s.B);
  const int64_t last = EvalInt(*s.C);
  Cell* v = Ref(*s.A);
  if (s.Down ? first < last : first > last) return Flow::Normal;
  for (int64_t i = first;; s.Down ? --i : ++i) {
    v->I = i;
    const Flow f = Exec(*s.Then);
    if (f == Flow::Break) break;
    if (f == Flow::Exit) return f;
    if (i == last) break;
  }
  return Flow::Normal;
}

Interpreter::Flow Interpreter::ExecCase(const Stmt& s) {
  const int64_t v = EvalInt(*s.A);
  for (const CaseBranch& b : s.Branches)
    for (const auto& [lo, hi] : b.Ranges)
      if (v >= lo && v <= hi) return Exec(*b.Body);
  return s.Else ? Exec(*s.Else) : Flow::Normal;
}

Interpreter::Flow Interpreter::ExecWith(const Stmt& s) {
  Cell* frame = frames_[static_cast<size_t>(s.WithLevel)];
  for (size_t i = 0; i < s.WithRecs.size(); ++i) {
    Cell& slot = frame[s.WithSlots[i]];
    slot.Ref = Ref(*s.WithRecs[i], &slot.A);
  }
  return Exec(*s.Then);
}

// ---- places

int64_t Interpreter::StrIndex(const Expr& e, const std::string& s) {
  const int64_t i = EvalInt(e);
  if (i < 1 || i > static_cast<int64_t>(s.size())) Fail(msg::kStringIndex);
  return i;
}

const Cell& Interpreter::Element(const Expr& e, const Cell& base) {
  switch (e.K) {
    case Ex::IndexArr: {
      const Type* t = e.Args[0]->T;
      const int64_t i = EvalInt(*e.Args[1]);
      if (i < t->Low || i > t->High) Fail(msg::kArrayIndex);
      return (*base.A)[static_cast<size_t>(i - t->Low)];
    }
    case Ex::IndexDyn: {
      const int64_t i = EvalInt(*e.Args[1]);
      if (!base.A || i < 0 || i >= static_cast<int64_t>(base.A->size())) Fail(msg::kArrayIndex);
      return (*base.A)[static_cast<size_t>(i)];
    }
    default: return (*base.A)[static_cast<size_t>(e.Slot)];  // FieldOf
  }
}

Cell* Interpreter::Ref(const Expr& e, std::shared_ptr<Agg>* owner) {
  switch (e.K) {
    case Ex::Var:
      if (owner) owner->reset();
      return frames_[static_cast<size_t>(e.Level)] + e.Slot;
    case Ex::VarRef: {
      Cell& ref = frames_[static_cast<size_t>(e.Level)][e.Slot];
      if (owner) *owner = ref.A;
      return ref.Ref;
    }
    case Ex::IndexArr: case Ex::IndexDyn: case Ex::FieldOf: {
      Cell* base = Ref(*e.Args[0]);
      Cell* cell = const_cast<Cell*>(&Element(e, *base));
      if (owner) *owner = base->A;
      return cell;
    }
    default: Fail(msg::kInternal);
  }
}

// The cell an expression reads: a variable's own, or `tmp` holding a computed value.
const Cell* Interpreter::Load(const Expr& e, Cell& tmp) {
  switch (e.K) {
    case Ex::Var: return frames_[static_cast<size_t>(e.Level)] + e.Slot;
    case Ex::VarRef: return frames_[static_cast<size_t>(e.Level)][e.Slot].Ref;
    case Ex::IndexArr: case Ex::IndexDyn: case Ex::FieldOf: return &Element(e, *Load(*e.Args[0], tmp));
    default:
      Eval(e, tmp);
      return &tmp;
  }
}

// ---- values

int64_t Interpreter::EvalInt(const Expr& e) {
  switch (e.K) {
    case Ex::ConstI: return e.I;
    case Ex::Var: return frames_[static_cast<size_t>(e.Level)][e.Slot].I;
    case Ex::VarRef: return frames_[static_cast<size_t>(e.Level)][e.Slot].Ref->I;
    case Ex::AddI: return Wrap(U(EvalInt(*e.Args[0])) + U(EvalInt(*e.Args[1])));
    case Ex::SubI: return Wrap(U(EvalInt(*e.Args[0])) - U(EvalInt(*e.Args[1])));
    case Ex::MulI: return Wrap(U(EvalInt(*e.Args[0])) * U(EvalInt(*e.Args[1])));
    case Ex::NegI: return Wrap(0 - U(EvalInt(*e.Args[0])));
    case Ex::NotI: return ~EvalInt(*e.Args[0]);
    case Ex::NotB: return !EvalInt(*e.Args[0]);
    case Ex::AndB: return EvalInt(*e.Args[0]) && EvalInt(*e.Args[1]);  // short-circuit
    case Ex::OrB: return EvalInt(*e.Args[0]) || EvalInt(*e.Args[1]);
    case Ex::XorB: return (EvalInt(*e.Args[0]) != 0) != (EvalInt(*e.Args[1]) != 0);
    case Ex::EqI: return EvalInt(*e.Args[0]) == EvalInt(*e.Args[1]);
    case Ex::NeI: return EvalInt(*e.Args[0]) != EvalInt(*e.Args[1]);
    case Ex::LtI: return EvalInt(*e.Args[0]) < EvalInt(*e.Args[1]);
    case Ex::LeI: return EvalInt(*e.Args[0]) <= EvalInt(*e.Args[1]);
    case Ex::GtI: return EvalInt(*e.Args[0]) > EvalInt(*e.Args[1]);
    case Ex::GeI: return EvalInt(*e.Args[0]) >= EvalInt(*e.Args[1]);
    case Ex::IndexArr: case Ex::IndexDyn: case Ex::FieldOf: {
      Cell tmp;
      return Load(e, tmp)->I;
    }
    case Ex::IndexStr: {
      Cell tmp;
      const std::string& s = Load(*e.Args[0], tmp)->S;
      return static_cast<unsigned char>(s[static_cast<size_t>(StrIndex(*e.Args[1], s) - 1)]);
    }
    case Ex::InSet: return InSet(e);
    case Ex::CallUser: case Ex::CallHost: case Ex::CallBuiltin: {
      Cell out;
      Call(e, out);
      return out.I;
    }
    default:
      if (e.K >= Ex::EqF && e.K <= Ex::GeS) return Compare(e);
      return IntOp(e);
  }
}

// The integer operations that can fail or that need care beyond one machine instruction.
int64_t Interpreter::IntOp(const Expr& e) {
  const int64_t a = EvalInt(*e.Args[0]);
  const int64_t b = EvalInt(*e.Args[1]);
  switch (e.K) {
    case Ex::DivI:
      if (b == 0) Fail(msg::kDivByZero);
      return b == -1 ? Wrap(0 - U(a)) : a / b;
    case Ex::ModI:
      if (b == 0) Fail(msg::kDivByZero);
      return b == -1 ? 0 : a % b;
    case Ex::AndI: return a & b;
    case Ex::OrI: return a | b;
    case Ex::XorI: return a ^ b;
    case Ex::ShlI: return Wrap(U(a) << (b & 63));
    case Ex::ShrI: return Wrap(U(a) >> (b & 63));
    default: Fail(msg::kInternal);
  }
}

int64_t Interpreter::Compare(const Expr& e) {
  const int off = static_cast<int>(e.K) - static_cast<int>(e.K >= Ex::EqS ? Ex::EqS : Ex::EqF);
  int c;
  if (e.K >= Ex::EqS) {
    Cell ta, tb;
    c = Load(*e.Args[0], ta)->S.compare(Load(*e.Args[1], tb)->S);
  } else {
    const double a = EvalFloat(*e.Args[0]);
    const double b = EvalFloat(*e.Args[1]);
    switch (off) {  // NaN compares unequal to all, as IEEE says
      case 0: return a == b;
      case 1: return a != b;
      case 2: return a < b;
      case 3: return a <= b;
      case 4: return a > b;
      default: return a >= b;
    }
  }
  switch (off) {
    case 0: return c == 0;
    case 1: return c != 0;
    case 2: return c < 0;
    case 3: return c <= 0;
    case 4: return c > 0;
    default: return c >= 0;
  }
}

bool Interpreter::InSet(const Expr& e) {
  const int64_t v = EvalInt(*e.Args[0]);
  for (size_t i = 1; i < e.Args.size(); ++i) {
    const Expr& part = *e.Args[i];
    if (part.K == Ex::Range) {
      if (v >= EvalInt(*part.Args[0]) && v <= EvalInt(*part.Args[1])) return true;
    } else if (v == EvalInt(part)) {
      return true;
    }
  }
  return false;
}

double Interpreter::EvalFloat(const Expr& e) {
  switch (e.K) {
    case Ex::ConstF: return e.F;
    case Ex::Var: return frames_[static_cast<size_t>(e.Level)][e.Slot].F;
    case Ex::VarRef: return frames_[static_cast<size_t>(e.Level)][e.Slot].Ref->F;
    case Ex::IntToFloat: return static_cast<double>(EvalInt(*e.Args[0]));
    case Ex::AddF: return EvalFloat(*e.Args[0]) + EvalFloat(*e.Args[1]);
    case Ex::SubF: return EvalFloat(*e.Args[0]) - EvalFloat(*e.Args[1]);
    case Ex::MulF: return EvalFloat(*e.Args[0]) * EvalFloat(*e.Args[1]);
    case Ex::NegF: return -EvalFloat(*e.Args[0]);
    case Ex::DivF: {
      const double a = EvalFloat(*e.Args[0]);
      const double b = EvalFloat(*e.Args[1]);
      if (b == 0) Fail(msg::kDivByZero);  // as Pascal raises, rather than a silent inf
      return a / b;
    }
    case Ex::IndexArr: case Ex::IndexDyn: case Ex::FieldOf: {
      Cell tmp;
      return Load(e, tmp)->F;
    }
    default: {
      Cell out;
      Call(e, out);
      return out.F;
    }
  }
}

std::string Interpreter::EvalStr(const Expr& e) {
  switch (e.K) {
    case Ex::ConstS: return e.S;
    case Ex::CharToStr: return std::string(1, static_cast<char>(EvalInt(*e.Args[0])));
    case Ex::Concat: {
      std::string a = EvalStr(*e.Args[0]);
      Cell tmp;
      const std::string& b = Load(*e.Args[1], tmp)->S;
      if (a.size() + b.size() > kMaxString) Fail(msg::kNoMemory);
      a += b;
      return a;
    }
    case Ex::Var: case Ex::VarRef: case Ex::IndexArr: case Ex::IndexDyn: case Ex::FieldOf: {
      Cell tmp;
      return Load(e, tmp)->S;
    }
    default: {
      Cell out;
      Call(e, out);
      return std::move(out.S);
    }
  }
}

void Interpreter::Eval(const Expr& e, Cell& out) {
  switch (e.T->K) {
    case Kind::Integer: case Kind::Char: case Kind::Boolean: out.I = EvalInt(e); return;
    case Kind::Float: out.F = EvalFloat(e); return;
    case Kind::String: out.S = EvalStr(e); return;
    case Kind::Void: Call(e, out); return;
    default:
      if (e.K == Ex::CallUser) {
        Call(e, out);
      } else {
        const Cell* c = Load(e, out);
        if (c != &out) out.A = c->A;
      }
  }
}

// ---- calls

void Interpreter::Call(const Expr& e, Cell& out) {
  switch (e.K) {
    case Ex::CallUser: CallUser(e, out); return;
    case Ex::CallHost: CallHost(e, out); return;
    case Ex::CallBuiltin: Builtin(e, out); return;
    default: Fail(msg::kInternal);
  }
}

void Interpreter::CallUser(const Expr& e, Cell& out) {
  const Routine& r = *e.Fn;
  // Deep recursion ends with a message before the thread's stack would run out.
  if (calls_ >= options_.MaxDepth ||
      (stackLimit_ && static_cast<const char*>(__builtin_frame_address(0)) < stackLimit_))
    Fail(msg::kTooDeepCalls);
  ++depth_;
  ++calls_;
  Cell* f = Frame(r.SlotTypes.size());
  // The arguments are evaluated in the caller's frames, before the display changes.
  for (size_t i = 0; i < r.Params.size(); ++i) {
    const Expr& a = *e.Args[i];
    const Type* t = r.Params[i].T;
    if (r.Params[i].ByRef) {
      f[i].Ref = Ref(a, &f[i].A);
      continue;
    }
    switch (t->K) {
      case Kind::Integer: f[i].I = t->IsByte ? (EvalInt(a) & 0xFF) : EvalInt(a); break;
      case Kind::Char: case Kind::Boolean: f[i].I = EvalInt(a); break;
      case Kind::Float: f[i].F = EvalFloat(a); break;
      case Kind::String: f[i].S = EvalStr(a); break;
      default: {
        Cell value;
        Eval(a, value);
        f[i].A.reset();
        CopyCell(t, value, f[i]);
      }
    }
  }
  for (size_t i = r.Params.size(); i < r.SlotTypes.size(); ++i) {
    if (r.SlotTypes[i]) {
      InitCell(r.SlotTypes[i], f[i]);
    } else {
      f[i].Ref = nullptr;
      f[i].A.reset();
    }
  }
  const size_t level = static_cast<size_t>(r.Level);
  Cell* saved = frames_[level];
  const Stmt* savedStmt = cur_;
  frames_[level] = f;
  Exec(*r.Body);
  frames_[level] = saved;
  cur_ = savedStmt;
  --depth_;
  --calls_;
  if (r.Result) {
    Cell& result = f[r.ResultSlot];
    out.I = result.I;
    if (r.Result->K == Kind::String) out.S = std::move(result.S);
    if (r.Result->IsAggregate()) out.A = std::move(result.A);
  }
}

namespace {

// What a host handler sees: the arguments by parameter name, the result, and Fail.
class HostCall final : public CallContext {
 public:
  HostCall(const HostFunction& f, Cell* args, Cell& result) : f_(f), args_(args), result_(result) {}

  int64_t Integer(std::string_view name) const override {
    const auto [c, t] = Find(name);
    if (!c) return 0;
    return t == HostType::Float ? static_cast<int64_t>(c->F) : c->I;
  }
  double Float(std::string_view name) const override {
    const auto [c, t] = Find(name);
    if (!c) return 0;
    return t == HostType::Float ? c->F : static_cast<double>(c->I);
  }
  std::string String(std::string_view name) const override {
    const auto [c, t] = Find(name);
    return c && t == HostType::String ? c->S : std::string();
  }
  bool Boolean(std::string_view name) const override {
    const auto [c, t] = Find(name);
    return c && t != HostType::String && (t == HostType::Float ? c->F != 0 : c->I != 0);
  }
  void SetInteger(std::string_view name, int64_t value) override {
    if (auto [c, t] = Find(name, true); c) {
      if (t == HostType::Float) {
        c->F = static_cast<double>(value);
      } else {
        c->I = t == HostType::Boolean ? value != 0 : value;
      }
    }
  }
  void SetFloat(std::string_view name, double value) override {
    if (auto [c, t] = Find(name, true); c && t == HostType::Float) c->F = value;
  }
  void SetString(std::string_view name, std::string value) override {
    if (auto [c, t] = Find(name, true); c && t == HostType::String) c->S = std::move(value);
  }
  void SetBoolean(std::string_view name, bool value) override {
    if (auto [c, t] = Find(name, true); c && t == HostType::Boolean) c->I = value;
  }
  void Fail(std::string message) override {
    failed_ = true;
    message_ = std::move(message);
  }

  bool Failed() const { return failed_; }
  std::string& FailMessage() { return message_; }

 private:
  // A name the function does not have reads as zero and takes no value: the handler's
  // slip must not reach into the script's memory.
  std::pair<Cell*, HostType> Find(std::string_view name, bool writing = false) const {
    auto same = [](std::string_view a, std::string_view b) {
      if (a.size() != b.size()) return false;
      for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
          return false;
      return true;
    };
    for (size_t i = 0; i < f_.Params.size(); ++i) {
      if (!same(name, f_.Params[i].Name)) continue;
      if (f_.Params[i].ByRef) return {args_[i].Ref, f_.Params[i].Type};
      return {writing ? nullptr : &args_[i], f_.Params[i].Type};
    }
    if (f_.HasResult && same(name, "Result")) return {&result_, f_.Result};
    return {nullptr, HostType::Integer};
  }

  const HostFunction& f_;
  Cell* args_;
  Cell& result_;
  bool failed_ = false;
  std::string message_;
};

}  // namespace

void Interpreter::CallHost(const Expr& e, Cell& out) {
  const HostFunction& h = *e.Host;
  ++depth_;  // for a frame of its own to hold the arguments
  Cell* f = Frame(h.Params.size());
  for (size_t i = 0; i < h.Params.size(); ++i) {
    const Expr& a = *e.Args[i];
    if (h.Params[i].ByRef) {
      f[i].Ref = Ref(a, &f[i].A);
      continue;
    }
    switch (h.Params[i].Type) {
      case HostType::Float: f[i].F = EvalFloat(a); break;
      case HostType::String: f[i].S = EvalStr(a); break;
      default: f[i].I = EvalInt(a); break;
    }
  }
  out.I = 0;
  out.S.clear();
  HostCall call(h, f, out);
  try {
    if (h.Handler) h.Handler(call);
  } catch (const std::exception& ex) {
    call.Fail(ex.what());
  } catch (...) {
    call.Fail(msg::kInternal);
  }
  --depth_;
  if (call.Failed()) Fail(std::move(call.FailMessage()));
}

}  // namespace kelvan::scriptengine
