#pragma once
// The script text as tokens, each with where it starts.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kelvan::scriptengine {

enum class Tok : uint8_t {
  Eof, Ident, Int, Float, String,
  Plus, Minus, Star, Slash, Eq, Ne, Lt, Le, Gt, Ge, Assign, Colon, Semi, Comma, Dot, DotDot,
  LParen, RParen, LBrack, RBrack,
  // keywords
  And, Array, Begin, Case, Const, Div, Do, Downto, Else, End, For, Function, If, In, Mod, Not,
  Of, Or, Packed, Procedure, Program, Record, Repeat, Shl, Shr, Then, To, Type, Until, Uses,
  Var, While, With, Xor,
};

// Where something is: the 0-based byte offset and the 1-based line and byte column.
struct SrcPos {
  int32_t Offset = 0;
  int32_t Line = 1;
  int32_t Column = 1;
};

struct Token {
  Tok Kind = Tok::Eof;
  SrcPos Pos;
  std::string Text;  // an identifier as written, or a string literal's bytes
  std::string Key;   // an identifier in lower case
  int64_t Int = 0;
  double Float = 0;
};

// A fault of the script; the parts of the compiler throw it and Compile turns it into a
// message, so that the first fault ends the compile.
struct CompileError {
  std::string Text;
  SrcPos Pos;
};

// Lower case of the ASCII letters; names compare case-insensitively through it.
std::string LowerKey(std::string_view s);
// The spelling of a token kind for messages ("';'", "'end'").
const char* TokName(Tok t);

class Lexer {
 public:
  // `isHostName` tells a name a host registered: such a name is an identifier even where
  // the language reserves it (goto, file, set...).
  Lexer(std::string_view text, std::function<bool(const std::string&)> isHostName);
  // The next token; throws CompileError on a malformed one.
  Token Next();
  // Just after the token Next returned last.
  SrcPos TokenEnd() const { return Here(); }

 private:
  char Peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
  void Advance();
  void SkipBlanks();
  SrcPos Here() const { return {static_cast<int32_t>(pos_), line_, static_cast<int32_t>(pos_ - lineStart_) + 1}; }
  void Number(Token& t);
  void StringLiteral(Token& t);
  void Word(Token& t);
  [[noreturn]] void Fail(const std::string& text, SrcPos at) const;

  std::string_view text_;
  std::function<bool(const std::string&)> isHostName_;
  size_t pos_ = 0;
  int32_t line_ = 1;
  size_t lineStart_ = 0;
};

}  // namespace kelvan::scriptengine
