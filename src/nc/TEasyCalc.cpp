#include "nc/TEasyCalc.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <system_error>
#include <utility>

namespace kelvan::nc {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kE = 2.718281828459045;
// RANDOM draws from at most this many integers: every one of them is still
// exactly representable as a double.
constexpr double kRandomLimit = 9007199254740992.0;  // 2^53

enum class TokenKind { Operator, Number, Variable, Function, Constant, Semicolon, Other, End, Error };

enum class Func { Abs, ArcTan, ArcSin, ArcCos, Cos, Cotan, Exp, Ln, Log10, Log2, Random, Round, Sin, Sqr, Sqrt, Tan, Trunc };

struct FuncName {
  std::string_view name;
  Func func;
};

constexpr FuncName kFunctions[] = {
    {"ABS", Func::Abs},       {"ARCTAN", Func::ArcTan}, {"ARCSIN", Func::ArcSin}, {"ARCCOS", Func::ArcCos},
    {"COS", Func::Cos},       {"COTAN", Func::Cotan},   {"EXP", Func::Exp},       {"LN", Func::Ln},
    {"LOG10", Func::Log10},   {"LOG2", Func::Log2},     {"RANDOM", Func::Random}, {"ROUND", Func::Round},
    {"SIN", Func::Sin},       {"SQR", Func::Sqr},       {"SQRT", Func::Sqrt},     {"TAN", Func::Tan},
    {"TRUNC", Func::Trunc},
};

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Compares a name as written with an upper-case name.
bool SameName(std::string_view written, std::string_view upper) {
  if (written.size() != upper.size()) return false;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (ToUpper(written[i]) != upper[i]) return false;
  }
  return true;
}

// A tab ends a number as it ends a name: otherwise "1<TAB>+2" would read the
// number "1<TAB>", which does not convert, and give 2.
bool EndsNumber(char c) {
  switch (c) {
    case ' ': case '\t': case '%': case '(': case ')': case '*': case '+':
    case '-': case '/': case ';': case '=': case '\\': case '^':
      return true;
    default:
      return false;
  }
}

// A name runs on over "(": the part before it names a function.
bool EndsName(char c) { return c != '(' && EndsNumber(c); }

// A run that is not a plain decimal number (or does not fit a double) counts as 0.
double ConvertNumber(std::string_view run) {
  char buffer[TEasyCalc::kMaxLength + 2];
  if (run.empty() || run.size() > TEasyCalc::kMaxLength) return 0.0;
  std::size_t n = 0;
  if (run.front() == '.') buffer[n++] = '0';
  std::memcpy(buffer + n, run.data(), run.size());
  n += run.size();
  double value = 0.0;
  const auto [end, ec] = std::from_chars(buffer, buffer + n, value, std::chars_format::general);
  if (ec != std::errc() || end != buffer + n) return 0.0;
  return value;
}

// sign(a) * |a|^b: a negative base keeps its sign whatever the exponent,
// so that odd roots of negative numbers come out real.
double RaisePower(double a, double b) {
  if (a == 0.0) return b == 0.0 ? 1.0 : 0.0;
  const double magnitude = std::pow(std::fabs(a), b);
  return a < 0.0 ? -magnitude : magnitude;
}

// The integer remainder of the truncated operands, sign of the left one. fmod of
// two integral doubles is exact, so this needs no conversion to an integer type
// and behaves the same far beyond the 64-bit range. Infinite or undefined
// operands have no integer part: they fail like a divisor whose integer part is 0.
bool Remainder(double a, double b, double& result) {
  if (!std::isfinite(a) || !std::isfinite(b)) return false;
  const double divisor = std::trunc(b);
  if (divisor == 0.0) return false;
  result = std::fmod(std::trunc(a), divisor) + 0.0;  // + 0.0: no negative zero
  return true;
}

// Nearest integer, halves to the even neighbour, independent of the FPU's rounding mode.
double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  const double whole = std::trunc(x);
  const double fraction = std::fabs(x - whole);  // exact
  const double step = x < 0.0 ? -1.0 : 1.0;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) return whole + step;
  return whole + 0.0;
}

const FuncName* FindFunction(std::string_view name) {
  for (const FuncName& f : kFunctions) {
    if (SameName(name, f.name)) return &f;
  }
  return nullptr;
}

}  // namespace

// Recursive descent over one statement. The text is at most kMaxLength
// characters, which bounds the nesting and so the depth of the recursion.
class CalcParser {
 public:
  CalcParser(TEasyCalc& calc, std::string_view text) : calc_(calc), text_(text) {}

  bool Run(double& value) {
    Next();
    if (token_.kind != TokenKind::Other && token_.kind != TokenKind::End &&
        token_.kind != TokenKind::Semicolon) {
      value = Statement();
    }
    return !Failed();
  }

 private:
  struct Token {
    TokenKind kind = TokenKind::Other;
    char op = 0;
    double number = 0.0;
    std::string_view name;
  };

  bool Failed() const { return token_.kind == TokenKind::Error; }
  void Fail() { token_.kind = TokenKind::Error; }
  bool IsOp(char c) const { return token_.kind == TokenKind::Operator && token_.op == c; }

  void Next();
  void ReadName();
  // The operand after an operator: an operator that ends the text is an error.
  void NextOperand() {
    Next();
    if (token_.kind == TokenKind::End) Fail();
  }

  double Statement();
  double Expression();
  double Term();
  double Power();
  double Unary();
  double Factor();
  double Call();
  bool Apply(Func func, double x, double& result);

  TEasyCalc& calc_;
  std::string_view text_;
  std::size_t pos_ = 0;
  Token token_;
};

void CalcParser::Next() {
  if (Failed()) return;
  while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  token_ = Token{};
  if (pos_ >= text_.size()) {
    token_.kind = TokenKind::End;
    return;
  }
  const char c = text_[pos_];
  if (std::string_view("%()*+-/=^").find(c) != std::string_view::npos) {
    token_.kind = TokenKind::Operator;
    token_.op = c;
    ++pos_;
  } else if (c == ';') {
    token_.kind = TokenKind::Semicolon;
    ++pos_;
  } else if (IsDigit(c) || c == '.') {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !EndsNumber(text_[pos_])) ++pos_;
    token_.kind = TokenKind::Number;
    token_.number = ConvertNumber(text_.substr(start, pos_ - start));
  } else if (IsLetter(c)) {
    ReadName();
  }
  // Anything else stays "other" and is not consumed: the statement ends there.
}

void CalcParser::ReadName() {
  const std::size_t start = pos_;
  while (pos_ < text_.size() && !EndsName(text_[pos_])) ++pos_;
  const std::string_view run = text_.substr(start, pos_ - start);
  const std::size_t paren = run.find('(');
  if (paren != std::string_view::npos) {
    // The argument is read from just behind the "(".
    token_.kind = TokenKind::Function;
    token_.name = run.substr(0, paren);
    pos_ = start + paren + 1;
  } else {
    token_.kind = (SameName(run, "PI") || SameName(run, "E")) ? TokenKind::Constant : TokenKind::Variable;
    token_.name = run;
  }
}

double CalcParser::Statement() {
  if (token_.kind == TokenKind::Variable) {
    const std::size_t savedPos = pos_;
    const Token saved = token_;
    Next();
    if (IsOp('=')) {
      NextOperand();
      const double value = Expression();
      if (!Failed()) {
        calc_.VariableSlot(saved.name) = value;
        ++calc_.changes_;
      }
      return value;
    }
    // Not an assignment: read the name again as the first operand.
    pos_ = savedPos;
    token_ = saved;
  }
  return Expression();
}

double CalcParser::Expression() {
  double value = Term();
  while (IsOp('+') || IsOp('-')) {
    const char op = token_.op;
    NextOperand();
    const double right = Term();
    value = op == '+' ? value + right : value - right;
  }
  return value;
}

double CalcParser::Term() {
  double value = Power();
  while (IsOp('*') || IsOp('/') || IsOp('%')) {
    const char op = token_.op;
    NextOperand();
    const double right = Power();
    if (Failed()) break;
    if (op == '*') {
      value *= right;
    } else if (op == '/') {
      if (right == 0.0) Fail();
      else value /= right;
    } else if (!Remainder(value, right, value)) {
      Fail();
    }
  }
  return value;
}

double CalcParser::Power() {
  const double base = Unary();
  if (!IsOp('^')) return base;
  NextOperand();
  const double exponent = Power();
  return RaisePower(base, exponent);
}

// Signs may follow one another: with a single sign, "--5" would read as
// (-0) - 5 and "2*--3" as 2 * (-0) - 3, silently wrong.
double CalcParser::Unary() {
  if (IsOp('+') || IsOp('-')) {
    const bool negate = token_.op == '-';
    NextOperand();
    const double value = Unary();
    return negate ? 0.0 - value : value;  // 0 - x rather than -x: no negative zero
  }
  return Factor();
}

double CalcParser::Factor() {
  double value = 0.0;
  switch (token_.kind) {
    case TokenKind::Number:
      value = token_.number;
      Next();
      break;
    case TokenKind::Variable:
      value = calc_.VariableSlot(token_.name);
      Next();
      break;
    case TokenKind::Constant:
      value = SameName(token_.name, "PI") ? kPi : kE;
      Next();
      break;
    case TokenKind::Function:
      value = Call();
      break;
    case TokenKind::Operator:
      if (token_.op != '(') break;  // a missing operand counts as 0
      NextOperand();
      value = Statement();
      if (Failed()) break;
      if (!IsOp(')')) {
        Fail();
        break;
      }
      Next();
      break;
    default:
      break;  // a missing operand counts as 0
  }
  return value;
}

double CalcParser::Call() {
  const FuncName* func = FindFunction(token_.name);
  if (func == nullptr) {
    Fail();
    return 0.0;
  }
  Next();
  const double argument = Statement();
  if (Failed()) return argument;
  if (!IsOp(')')) {
    Fail();
    return argument;
  }
  Next();
  double result = 0.0;
  if (!Apply(func->func, argument, result)) Fail();
  return result;
}

bool CalcParser::Apply(Func func, double x, double& result) {
  switch (func) {
    case Func::Abs: result = std::fabs(x); return true;
    case Func::ArcTan: result = std::atan(x); return true;
    case Func::ArcSin:
      if (!(std::fabs(x) < 1.0)) return false;
      result = std::asin(x);
      return true;
    case Func::ArcCos:
      // The true principal value, also for negative x (an angle above pi/2).
      if (x == 0.0 || !(x >= -1.0 && x < 1.0)) return false;
      result = std::acos(x);
      return true;
    case Func::Cos: result = std::cos(x); return true;
    case Func::Cotan:
      if (std::sin(x) == 0.0) return false;
      result = std::cos(x) / std::sin(x);
      return true;
    case Func::Exp: result = std::exp(x); return true;
    case Func::Ln:
    case Func::Log10:
    case Func::Log2:
      if (!(x > 0.0)) return false;
      result = func == Func::Ln ? std::log(x) : func == Func::Log10 ? std::log10(x) : std::log2(x);
      return true;
    case Func::Random:
      // trunc(x) <= 0 (and an undefined x) draws nothing and gives 0.
      result = x >= 1.0 ? static_cast<double>(calc_.NextRandom(
                              static_cast<std::uint64_t>(std::fmin(std::trunc(x), kRandomLimit))))
                        : 0.0;
      return true;
    case Func::Round: result = RoundHalfEven(x); return true;
    case Func::Sin: result = std::sin(x); return true;
    case Func::Sqr: result = x * x; return true;
    case Func::Sqrt:
      if (x < 0.0) return false;
      result = std::sqrt(x);
      return true;
    case Func::Tan:
      if (std::cos(x) == 0.0) return false;
      result = std::sin(x) / std::cos(x);
      return true;
    case Func::Trunc: result = std::trunc(x) + 0.0; return true;
  }
  return false;
}

TEasyCalc::TEasyCalc() {
  std::uint64_t seed = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  try {
    std::random_device device;
    seed ^= (static_cast<std::uint64_t>(device()) << 32) ^ device();
  } catch (...) {
    // No entropy source: the clock alone seeds the sequence.
  }
  SeedRandom(seed);
}

bool TEasyCalc::Evaluate(std::string_view expression, double& value) {
  value = 0.0;
  if (expression.size() > kMaxLength) return false;
  CalcParser parser(*this, expression);
  return parser.Run(value);
}

void TEasyCalc::SeedRandom(std::uint64_t seed) { randomState_ = seed; }

bool TEasyCalc::GetVariable(std::string_view name, double& value) const {
  for (const Variable& v : variables_) {
    if (SameName(name, v.name)) {
      value = v.value;
      return true;
    }
  }
  return false;
}

double& TEasyCalc::VariableSlot(std::string_view name) {
  for (Variable& v : variables_) {
    if (SameName(name, v.name)) return v.value;
  }
  ++changes_;
  Variable entry;
  entry.name.reserve(name.size());
  for (char c : name) entry.name.push_back(ToUpper(c));
  variables_.push_back(std::move(entry));
  return variables_.back().value;
}

std::uint64_t TEasyCalc::NextRandom(std::uint64_t bound) {
  // splitmix64 steps, rejecting the few values that would favour small results.
  const std::uint64_t threshold = (0 - bound) % bound;
  ++changes_;
  for (;;) {
    randomState_ += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = randomState_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    if (z >= threshold) return z % bound;
  }
}

}  // namespace kelvan::nc
