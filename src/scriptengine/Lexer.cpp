#include "scriptengine/Lexer.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include "scriptengine/Messages.h"

namespace kelvan::scriptengine {

namespace {

struct KeywordEntry {
  const char* Word;
  Tok Kind;
};

constexpr KeywordEntry kKeywords[] = {
    {"and", Tok::And},       {"array", Tok::Array},   {"begin", Tok::Begin},   {"case", Tok::Case},
    {"const", Tok::Const},   {"div", Tok::Div},       {"do", Tok::Do},         {"downto", Tok::Downto},
    {"else", Tok::Else},     {"end", Tok::End},       {"for", Tok::For},       {"function", Tok::Function},
    {"if", Tok::If},         {"in", Tok::In},         {"mod", Tok::Mod},       {"not", Tok::Not},
    {"of", Tok::Of},         {"or", Tok::Or},         {"packed", Tok::Packed}, {"procedure", Tok::Procedure},
    {"program", Tok::Program}, {"record", Tok::Record}, {"repeat", Tok::Repeat}, {"shl", Tok::Shl},
    {"shr", Tok::Shr},       {"then", Tok::Then},     {"to", Tok::To},         {"type", Tok::Type},
    {"until", Tok::Until},   {"uses", Tok::Uses},     {"var", Tok::Var},       {"while", Tok::While},
    {"with", Tok::With},     {"xor", Tok::Xor},
};

// Reserved by Pascal but without a meaning here; naming one is a clear fault rather
// than a puzzling syntax error further on.
constexpr const char* kUnusableWords[] = {"goto", "label", "file", "nil", "set", "unit"};

const std::unordered_map<std::string, Tok>& Keywords() {
  static const std::unordered_map<std::string, Tok> map = [] {
    std::unordered_map<std::string, Tok> m;
    for (const auto& k : kKeywords) m.emplace(k.Word, k.Kind);
    return m;
  }();
  return map;
}

bool IsIdentStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool IsIdentChar(unsigned char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x100) {
    out += static_cast<char>(code);  // #128..#255 stay single bytes, as in an 8-bit string
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | ((code >> 12) & 0x0F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::string LowerKey(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

const char* TokName(Tok t) {
  switch (t) {
    case Tok::Eof: return "テキストの終わり";
    case Tok::Ident: return "名前";
    case Tok::Int: case Tok::Float: return "数値";
    case Tok::String: return "文字列";
    case Tok::Plus: return "'+'";
    case Tok::Minus: return "'-'";
    case Tok::Star: return "'*'";
    case Tok::Slash: return "'/'";
    case Tok::Eq: return "'='";
    case Tok::Ne: return "'<>'";
    case Tok::Lt: return "'<'";
    case Tok::Le: return "'<='";
    case Tok::Gt: return "'>'";
    case Tok::Ge: return "'>='";
    case Tok::Assign: return "':='";
    case Tok::Colon: return "':'";
    case Tok::Semi: return "';'";
    case Tok::Comma: return "','";
    case Tok::Dot: return "'.'";
    case Tok::DotDot: return "'..'";
    case Tok::LParen: return "'('";
    case Tok::RParen: return "')'";
    case Tok::LBrack: return "'['";
    case Tok::RBrack: return "']'";
    default: break;
  }
  static std::unordered_map<Tok, std::string> quoted = [] {
    std::unordered_map<Tok, std::string> m;
    for (const auto& k : kKeywords) m.emplace(k.Kind, std::string("'") + k.Word + "'");
    return m;
  }();
  return quoted[t].c_str();
}

Lexer::Lexer(std::string_view text, std::function<bool(const std::string&)> isHostName)
    : text_(text), isHostName_(std::move(isHostName)) {}

void Lexer::Fail(const std::string& text, SrcPos at) const { throw CompileError{text, at}; }

void Lexer::Advance() {
  if (text_[pos_] == '\n') {
    ++line_;
    lineStart_ = pos_ + 1;
  }
  ++pos_;
}

void Lexer::SkipBlanks() {
  for (;;) {
    const char c = Peek();
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
      Advance();
    } else if (c == '/' && Peek(1) == '/') {
      while (pos_ < text_.size() && text_[pos_] != '\n') Advance();
    } else if (c == '{' || (c == '(' && Peek(1) == '*')) {
      const SrcPos start = Here();
      const bool brace = c == '{';
      Advance();
      if (!brace) Advance();
      for (;;) {
        if (pos_ >= text_.size()) Fail(msg::kOpenComment, start);
        if (brace ? Peek() == '}' : (Peek() == '*' && Peek(1) == ')')) break;
        Advance();
      }
      Advance();
      if (!brace) Advance();
    } else {
      return;
    }
  }
}

void Lexer::Number(Token& t) {
  const size_t start = pos_;
  if (Peek() == '$') {
    Advance();
    uint64_t v = 0;
    size_t digits = 0;
    while (std::isxdigit(static_cast<unsigned char>(Peek()))) {
      const char c = Peek();
      const int d = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
      if (v >> 60) Fail(msg::kBadNumber, t.Pos);
      v = v * 16 + static_cast<uint64_t>(d);
      ++digits;
      Advance();
    }
    if (digits == 0) Fail(msg::kBadNumber, t.Pos);
    t.Kind = Tok::Int;
    t.Int = static_cast<int64_t>(v);
    return;
  }
  while (std::isdigit(static_cast<unsigned char>(Peek()))) Advance();
  bool isFloat = false;
  if (Peek() == '.' && std::isdigit(static_cast<unsigned char>(Peek(1)))) {
    isFloat = true;
    Advance();
    while (std::isdigit(static_cast<unsigned char>(Peek()))) Advance();
  }
  if ((Peek() == 'e' || Peek() == 'E') &&
      (std::isdigit(static_cast<unsigned char>(Peek(1))) ||
       ((Peek(1) == '+' || Peek(1) == '-') && std::isdigit(static_cast<unsigned char>(Peek(2)))))) {
    isFloat = true;
    Advance();
    if (Peek() == '+' || Peek() == '-') Advance();
    while (std::isdigit(static_cast<unsigned char>(Peek()))) Advance();
  }
  const std::string digits(text_.substr(start, pos_ - start));
  if (isFloat) {
    t.Kind = Tok::Float;
    t.Float = std::strtod(digits.c_str(), nullptr);
    if (!std::isfinite(t.Float)) Fail(msg::kBadNumber, t.Pos);
    return;
  }
  uint64_t v = 0;
  for (char c : digits) {
    const uint64_t d = static_cast<uint64_t>(c - '0');
    if (v > (static_cast<uint64_t>(INT64_MAX) - d) / 10) Fail(msg::kBadNumber, t.Pos);
    v = v * 10 + d;
  }
  t.Kind = Tok::Int;
  t.Int = static_cast<int64_t>(v);
}

// 'it''s' #13#10 'next': quoted pieces and character codes written together are one string.
void Lexer::StringLiteral(Token& t) {
  t.Kind = Tok::String;
  for (;;) {
    if (Peek() == '\'') {
      const SrcPos open = Here();
      Advance();
      for (;;) {
        if (pos_ >= text_.size() || Peek() == '\n' || Peek() == '\r') Fail(msg::kOpenString, open);
        if (Peek() == '\'') {
          if (Peek(1) != '\'') break;
          Advance();
        }
        t.Text += Peek();
        Advance();
      }
      Advance();
    } else if (Peek() == '#') {
      const SrcPos at = Here();
      Advance();
      Token code;
      code.Pos = at;
      if (!std::isdigit(static_cast<unsigned char>(Peek())) && Peek() != '$') Fail(msg::kBadNumber, at);
      Number(code);
      if (code.Kind != Tok::Int || code.Int > 0xFFFF) Fail(msg::kBadNumber, at);
      AppendUtf8(t.Text, static_cast<uint32_t>(code.Int));
    } else {
      return;
    }
  }
}

void Lexer::Word(Token& t) {
  const size_t start = pos_;
  while (pos_ < text_.size() && IsIdentChar(static_cast<unsigned char>(Peek()))) Advance();
  t.Text = std::string(text_.substr(start, pos_ - start));
  t.Key = LowerKey(t.Text);
  if (isHostName_ && isHostName_(t.Key)) {
    t.Kind = Tok::Ident;
    return;
  }
  const auto& keywords = Keywords();
  if (auto it = keywords.find(t.Key); it != keywords.end()) {
    t.Kind = it->second;
    return;
  }
  for (const char* w : kUnusableWords)
    if (t.Key == w) Fail(msg::Unusable(t.Text), t.Pos);
  t.Kind = Tok::Ident;
}

Token Lexer::Next() {
  SkipBlanks();
  Token t;
  t.Pos = Here();
  if (pos_ >= text_.size()) return t;
  const char c = Peek();
  if (IsIdentStart(static_cast<unsigned char>(c))) {
    Word(t);
    return t;
  }
  if (std::isdigit(static_cast<unsigned char>(c)) || c == '$') {
    Number(t);
    return t;
  }
  if (c == '\'' || c == '#') {
    StringLiteral(t);
    return t;
  }
  auto two = [&](Tok k) {
    Advance();
    Advance();
    t.Kind = k;
    return t;
  };
  const char n = Peek(1);
  if (c == ':' && n == '=') return two(Tok::Assign);
  if (c == '<' && n == '>') return two(Tok::Ne);
  if (c == '<' && n == '=') return two(Tok::Le);
  if (c == '>' && n == '=') return two(Tok::Ge);
  if (c == '.' && n == '.') return two(Tok::DotDot);
  Tok k;
  switch (c) {
    case '+': k = Tok::Plus; break;
    case '-': k = Tok::Minus; break;
    case '*': k = Tok::Star; break;
    case '/': k = Tok::Slash; break;
    case '=': k = Tok::Eq; break;
    case '<': k = Tok::Lt; break;
    case '>': k = Tok::Gt; break;
    case ':': k = Tok::Colon; break;
    case ';': k = Tok::Semi; break;
    case ',': k = Tok::Comma; break;
    case '.': k = Tok::Dot; break;
    case '(': k = Tok::LParen; break;
    case ')': k = Tok::RParen; break;
    case '[': k = Tok::LBrack; break;
    case ']': k = Tok::RBrack; break;
    default: Fail(msg::kBadChar, t.Pos);
  }
  Advance();
  t.Kind = k;
  return t;
}

}  // namespace kelvan::scriptengine
