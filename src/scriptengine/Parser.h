#pragma once
// Recursive descent over the tokens into the tree; the first syntax fault ends it with a
// CompileError at the token where it was found.

#include <functional>
#include <string>
#include <string_view>

#include "scriptengine/Ast.h"
#include "scriptengine/Lexer.h"

namespace kelvan::scriptengine {

// How deep statements, expressions and types may nest. The passes after the parser
// recurse over the tree, so the bound keeps them far from the end of any thread's stack
// (100,000 nested parentheses are a fault, not a crash).
inline constexpr int kMaxNesting = 256;

class Parser {
 public:
  Parser(std::string_view text, std::function<bool(const std::string&)> isHostName);
  // The whole script; throws CompileError.
  ProgramAst ParseProgram();

 private:
  struct DepthGuard {
    explicit DepthGuard(Parser& p);
    ~DepthGuard() { --p_.depth_; }
    Parser& p_;
  };

  void Take() {
    prevEnd_ = lexer_.TokenEnd();
    tok_ = lexer_.Next();
  }
  bool Accept(Tok k);
  void Expect(Tok k);
  Ident ExpectIdent();
  [[noreturn]] void Fail(const std::string& text) const;
  [[noreturn]] void Fail(const std::string& text, SrcPos at) const;

  void ParseBlock(Block& block);
  void ParseConsts(Block& block);
  void ParseTypes(Block& block);
  void ParseVars(Block& block);
  std::unique_ptr<RoutineDecl> ParseRoutine();
  void ParseParams(RoutineDecl& r);
  TypeNodePtr ParseType();
  void ParseRecordFields(TypeNode& t);

  StmtPtr ParseStatement();
  StmtPtr ParseCompound();
  void ParseStatementList(std::vector<StmtPtr>& out, Tok end1, Tok end2);
  StmtPtr ParseIf();
  StmtPtr ParseCase();
  StmtPtr ParseFor();
  StmtPtr ParseWhile();
  StmtPtr ParseRepeat();
  StmtPtr ParseWith();

  ExprPtr ParseExpression();
  ExprPtr ParseSimple();
  ExprPtr ParseTerm();
  ExprPtr ParseFactor();
  ExprPtr ParseDesignator();
  ExprPtr ParseSetConstructor();
  void ParseArgs(Expr& call, Tok close);
  ExprPtr MakeNode(Ex k, SrcPos at) const;
  ExprPtr MakeBinary(Tok op, SrcPos at, ExprPtr l, ExprPtr r) const;
  void Adopt(Expr& parent, ExprPtr child) const;

  Lexer lexer_;
  Token tok_;
  SrcPos prevEnd_;  // just after the token before tok_: where a missing ';' belongs
  int depth_ = 0;
};

}  // namespace kelvan::scriptengine
