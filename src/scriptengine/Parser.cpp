#include "scriptengine/Parser.h"

#include <algorithm>

#include "scriptengine/Messages.h"

namespace kelvan::scriptengine {

namespace {

// A token as the user wrote it, for a message.
std::string Spelling(const Token& t) {
  if (t.Kind == Tok::Int || t.Kind == Tok::Float || t.Kind == Tok::String) return TokName(t.Kind);
  if (!t.Text.empty()) return t.Text;
  const std::string quoted = TokName(t.Kind);
  return quoted.size() > 2 ? quoted.substr(1, quoted.size() - 2) : quoted;
}

}  // namespace

Parser::DepthGuard::DepthGuard(Parser& p) : p_(p) {
  if (++p_.depth_ > kMaxNesting) {
    --p_.depth_;
    p_.Fail(msg::kTooDeep);
  }
}

Parser::Parser(std::string_view text, std::function<bool(const std::string&)> isHostName)
    : lexer_(text, std::move(isHostName)) {}

void Parser::Fail(const std::string& text) const { throw CompileError{text, tok_.Pos}; }
void Parser::Fail(const std::string& text, SrcPos at) const { throw CompileError{text, at}; }

bool Parser::Accept(Tok k) {
  if (tok_.Kind != k) return false;
  Take();
  return true;
}

void Parser::Expect(Tok k) {
  if (Accept(k)) return;
  // A missing ';' belongs at the end of what came before it, usually the line above.
  if (k == Tok::Semi) Fail(msg::Missing(TokName(k)), prevEnd_);
  Fail(msg::Missing(TokName(k)));
}

Ident Parser::ExpectIdent() {
  if (tok_.Kind != Tok::Ident) Fail(msg::kIdentifier);
  Ident id{tok_.Text, tok_.Key, tok_.Pos};
  Take();
  return id;
}

ProgramAst Parser::ParseProgram() {
  Take();
  ProgramAst program;
  if (Accept(Tok::Program)) {
    ExpectIdent();
    Expect(Tok::Semi);
  }
  if (Accept(Tok::Uses)) {
    do {
      program.Uses.push_back(ExpectIdent());
    } while (Accept(Tok::Comma));
    Expect(Tok::Semi);
  }
  ParseBlock(program.Main);
  Expect(Tok::Dot);  // what follows the final "end." is not read, as in Pascal
  return program;
}

void Parser::ParseBlock(Block& block) {
  DepthGuard guard(*this);
  for (;;) {
    if (Accept(Tok::Const)) {
      ParseConsts(block);
    } else if (Accept(Tok::Type)) {
      ParseTypes(block);
    } else if (Accept(Tok::Var)) {
      ParseVars(block);
    } else if (tok_.Kind == Tok::Procedure || tok_.Kind == Tok::Function) {
      Decl d;
      d.K = Decl::Proc;
      d.Routine = ParseRoutine();
      block.Decls.push_back(std::move(d));
    } else {
      break;
    }
  }
  if (tok_.Kind != Tok::Begin) Fail(msg::Missing("'begin'"));
  block.Body = ParseCompound();
}

void Parser::ParseConsts(Block& block) {
  do {
    Decl d;
    d.K = Decl::Const;
    d.Names.push_back(ExpectIdent());
    if (Accept(Tok::Colon)) d.DeclType = ParseType();
    Expect(Tok::Eq);
    d.Value = ParseExpression();
    Expect(Tok::Semi);
    block.Decls.push_back(std::move(d));
  } while (tok_.Kind == Tok::Ident);
}

void Parser::ParseTypes(Block& block) {
  do {
    Decl d;
    d.K = Decl::TypeDef;
    d.Names.push_back(ExpectIdent());
    Expect(Tok::Eq);
    d.DeclType = ParseType();
    Expect(Tok::Semi);
    block.Decls.push_back(std::move(d));
  } while (tok_.Kind == Tok::Ident);
}

void Parser::ParseVars(Block& block) {
  do {
    Decl d;
    d.K = Decl::Var;
    do {
      d.Names.push_back(ExpectIdent());
    } while (Accept(Tok::Comma));
    Expect(Tok::Colon);
    d.DeclType = ParseType();
    if (Accept(Tok::Eq)) d.Value = ParseExpression();
    Expect(Tok::Semi);
    block.Decls.push_back(std::move(d));
  } while (tok_.Kind == Tok::Ident);
}

std::unique_ptr<RoutineDecl> Parser::ParseRoutine() {
  auto r = std::make_unique<RoutineDecl>();
  r->IsFunction = tok_.Kind == Tok::Function;
  Take();
  r->Name = ExpectIdent();
  if (Accept(Tok::LParen)) ParseParams(*r);
  if (r->IsFunction) {
    Expect(Tok::Colon);
    r->Result = ParseType();
  }
  Expect(Tok::Semi);
  r->Body = std::make_unique<Block>();
  ParseBlock(*r->Body);
  Expect(Tok::Semi);
  return r;
}

void Parser::ParseParams(RoutineDecl& r) {
  if (Accept(Tok::RParen)) return;
  do {
    ParamGroup g;
    if (Accept(Tok::Var)) {
      g.ByRef = true;
    } else {
      Accept(Tok::Const);  // a const parameter is a value parameter the routine does not change
    }
    do {
      g.Names.push_back(ExpectIdent());
    } while (Accept(Tok::Comma));
    Expect(Tok::Colon);
    g.ParamType = ParseType();
    r.Params.push_back(std::move(g));
  } while (Accept(Tok::Semi));
  Expect(Tok::RParen);
}

TypeNodePtr Parser::ParseType() {
  DepthGuard guard(*this);
  auto t = std::make_unique<TypeNode>();
  Accept(Tok::Packed);  // packing changes nothing here
  t->Pos = tok_.Pos;
  if (tok_.Kind == Tok::Ident) {
    t->K = TypeNode::Named;
    t->Name = ExpectIdent();
  } else if (Accept(Tok::Array)) {
    if (Accept(Tok::LBrack)) {
      t->K = TypeNode::Array;
      do {
        ExprPtr lo = ParseExpression();
        Expect(Tok::DotDot);
        ExprPtr hi = ParseExpression();
        t->Ranges.emplace_back(std::move(lo), std::move(hi));
      } while (Accept(Tok::Comma));
      Expect(Tok::RBrack);
    } else {
      t->K = TypeNode::DynArray;
    }
    Expect(Tok::Of);
    t->Elem = ParseType();
  } else if (Accept(Tok::Record)) {
    t->K = TypeNode::Record;
    ParseRecordFields(*t);
    Expect(Tok::End);
  } else {
    Fail(msg::Missing("型"));
  }
  return t;
}

void Parser::ParseRecordFields(TypeNode& t) {
  while (tok_.Kind == Tok::Ident) {
    FieldDecl f;
    do {
      f.Names.push_back(ExpectIdent());
    } while (Accept(Tok::Comma));
    Expect(Tok::Colon);
    f.FieldType = ParseType();
    t.Fields.push_back(std::move(f));
    if (!Accept(Tok::Semi)) break;
  }
}

// ---- statements

StmtPtr Parser::ParseStatement() {
  DepthGuard guard(*this);
  switch (tok_.Kind) {
    case Tok::Begin: return ParseCompound();
    case Tok::If: return ParseIf();
    case Tok::Case: return ParseCase();
    case Tok::For: return ParseFor();
    case Tok::While: return ParseWhile();
    case Tok::Repeat: return ParseRepeat();
    case Tok::With: return ParseWith();
    case Tok::Semi: case Tok::End: case Tok::Until: case Tok::Else: case Tok::Eof: {
      auto s = std::make_unique<Stmt>();
      s->Pos = tok_.Pos;
      return s;
    }
    case Tok::Ident: break;
    default: Fail(msg::Unexpected(Spelling(tok_)));
  }
  auto s = std::make_unique<Stmt>();
  s->Pos = tok_.Pos;
  ExprPtr target = ParseDesignator();
  if (Accept(Tok::Assign)) {
    s->K = St::Assign;
    s->A = std::move(target);
    s->B = ParseExpression();
  } else {
    s->K = St::Call;
    s->A = std::move(target);
  }
  return s;
}

StmtPtr Parser::ParseCompound() {
  auto s = std::make_unique<Stmt>();
  s->K = St::Compound;
  s->Pos = tok_.Pos;
  Expect(Tok::Begin);
  ParseStatementList(s->Body, Tok::End, Tok::End);
  Expect(Tok::End);
  return s;
}

// Statements separated by ';' up to `end1` or `end2`, which are not taken.
void Parser::ParseStatementList(std::vector<StmtPtr>& out, Tok end1, Tok end2) {
  for (;;) {
    out.push_back(ParseStatement());
    if (Accept(Tok::Semi)) continue;
    if (tok_.Kind == end1 || tok_.Kind == end2) return;
    if (tok_.Kind == Tok::Eof) Fail(msg::Missing(TokName(end1)));
    Fail(msg::Missing(TokName(Tok::Semi)), prevEnd_);
  }
}

StmtPtr Parser::ParseIf() {
  auto s = std::make_unique<Stmt>();
  s->K = St::If;
  s->Pos = tok_.Pos;
  Take();
  s->A = ParseExpression();
  Expect(Tok::Then);
  s->Then = ParseStatement();
  if (Accept(Tok::Else)) s->Else = ParseStatement();
  return s;
}

StmtPtr Parser::ParseCase() {
  auto s = std::make_unique<Stmt>();
  s->K = St::Case;
  s->Pos = tok_.Pos;
  Take();
  s->A = ParseExpression();
  Expect(Tok::Of);
  while (tok_.Kind != Tok::Else && tok_.Kind != Tok::End) {
    CaseBranch b;
    do {
      ExprPtr lo = ParseExpression();
      if (tok_.Kind == Tok::DotDot) {
        const SrcPos at = tok_.Pos;
        Take();
        auto range = MakeNode(Ex::Range, at);
        Adopt(*range, std::move(lo));
        Adopt(*range, ParseExpression());
        lo = std::move(range);
      }
      b.Labels.push_back(std::move(lo));
    } while (Accept(Tok::Comma));
    Expect(Tok::Colon);
    b.Body = ParseStatement();
    s->Branches.push_back(std::move(b));
    if (!Accept(Tok::Semi)) break;
  }
  if (Accept(Tok::Else)) {
    auto e = std::make_unique<Stmt>();
    e->K = St::Compound;
    e->Pos = tok_.Pos;
    ParseStatementList(e->Body, Tok::End, Tok::End);
    s->Else = std::move(e);
  }
  Expect(Tok::End);
  return s;
}

StmtPtr Parser::ParseFor() {
  auto s = std::make_unique<Stmt>();
  s->K = St::For;
  s->Pos = tok_.Pos;
  Take();
  const Ident v = ExpectIdent();
  s->A = MakeNode(Ex::Name, v.Pos);
  s->A->S = v.Text;
  s->A->Key = v.Key;
  Expect(Tok::Assign);
  s->B = ParseExpression();
  if (Accept(Tok::Downto)) {
    s->Down = true;
  } else {
    Expect(Tok::To);
  }
  s->C = ParseExpression();
  Expect(Tok::Do);
  s->Then = ParseStatement();
  return s;
}

StmtPtr Parser::ParseWhile() {
  auto s = std::make_unique<Stmt>();
  s->K = St::While;
  s->Pos = tok_.Pos;
  Take();
  s->A = ParseExpression();
  Expect(Tok::Do);
  s->Then = ParseStatement();
  return s;
}

StmtPtr Parser::ParseRepeat() {
  auto s = std::make_unique<Stmt>();
  s->K = St::Repeat;
  s->Pos = tok_.Pos;
  Take();
  ParseStatementList(s->Body, Tok::Until, Tok::Until);
  Expect(Tok::Until);
  s->A = ParseExpression();
  return s;
}

StmtPtr Parser::ParseWith() {
  auto s = std::make_unique<Stmt>();
  s->K = St::With;
  s->Pos = tok_.Pos;
  Take();
  do {
    if (tok_.Kind != Tok::Ident) Fail(msg::kIdentifier);
    s->WithRecs.push_back(ParseDesignator());
  } while (Accept(Tok::Comma));
  Expect(Tok::Do);
  s->Then = ParseStatement();
  return s;
}

// ---- expressions

ExprPtr Parser::MakeNode(Ex k, SrcPos at) const {
  auto e = std::make_unique<Expr>();
  e->K = k;
  e->Pos = at;
  return e;
}

// Operator chains build deep trees without deep parsing (a + a + a ...), so the depth
// of every node is counted as well as the parser's own recursion.
void Parser::Adopt(Expr& parent, ExprPtr child) const {
  parent.Depth = std::max(parent.Depth, child->Depth + 1);
  if (parent.Depth > kMaxNesting) Fail(msg::kTooDeep, parent.Pos);
  parent.Args.push_back(std::move(child));
}

ExprPtr Parser::MakeBinary(Tok op, SrcPos at, ExprPtr l, ExprPtr r) const {
  auto e = MakeNode(Ex::Binary, at);
  e->Op = op;
  Adopt(*e, std::move(l));
  Adopt(*e, std::move(r));
  return e;
}

ExprPtr Parser::ParseExpression() {
  DepthGuard guard(*this);
  ExprPtr left = ParseSimple();
  switch (tok_.Kind) {
    case Tok::Eq: case Tok::Ne: case Tok::Lt: case Tok::Le: case Tok::Gt: case Tok::Ge: case Tok::In: {
      const Tok op = tok_.Kind;
      const SrcPos at = tok_.Pos;
      Take();
      return MakeBinary(op, at, std::move(left), ParseSimple());
    }
    default: return left;
  }
}

ExprPtr Parser::ParseSimple() {
  ExprPtr left = ParseTerm();
  while (tok_.Kind == Tok::Plus || tok_.Kind == Tok::Minus || tok_.Kind == Tok::Or || tok_.Kind == Tok::Xor) {
    const Tok op = tok_.Kind;
    const SrcPos at = tok_.Pos;
    Take();
    left = MakeBinary(op, at, std::move(left), ParseTerm());
  }
  return left;
}

ExprPtr Parser::ParseTerm() {
  ExprPtr left = ParseFactor();
  for (;;) {
    switch (tok_.Kind) {
      case Tok::Star: case Tok::Slash: case Tok::Div: case Tok::Mod: case Tok::And: case Tok::Shl: case Tok::Shr: {
        const Tok op = tok_.Kind;
        const SrcPos at = tok_.Pos;
        Take();
        left = MakeBinary(op, at, std::move(left), ParseFactor());
        break;
      }
      default: return left;
    }
  }
}

ExprPtr Parser::ParseFactor() {
  DepthGuard guard(*this);
  const SrcPos at = tok_.Pos;
  switch (tok_.Kind) {
    case Tok::Int: {
      auto e = MakeNode(Ex::IntLit, at);
      e->I = tok_.Int;
      Take();
      return e;
    }
    case Tok::Float: {
      auto e = MakeNode(Ex::FloatLit, at);
      e->F = tok_.Float;
      Take();
      return e;
    }
    case Tok::String: {
      auto e = MakeNode(Ex::StrLit, at);
      e->S = std::move(tok_.Text);
      Take();
      return e;
    }
    case Tok::LParen: {
      Take();
      ExprPtr e = ParseExpression();
      Expect(Tok::RParen);
      return e;
    }
    case Tok::Not: case Tok::Minus: case Tok::Plus: {
      auto e = MakeNode(Ex::Unary, at);
      e->Op = tok_.Kind;
      Take();
      Adopt(*e, ParseFactor());
      return e;
    }
    case Tok::LBrack: return ParseSetConstructor();
    case Tok::Ident: return ParseDesignator();
    default: Fail(msg::kExpression);
  }
}

ExprPtr Parser::ParseSetConstructor() {
  auto e = MakeNode(Ex::SetCons, tok_.Pos);
  Take();
  if (Accept(Tok::RBrack)) return e;
  do {
    ExprPtr lo = ParseExpression();
    if (tok_.Kind == Tok::DotDot) {
      auto range = MakeNode(Ex::Range, tok_.Pos);
      Take();
      Adopt(*range, std::move(lo));
      Adopt(*range, ParseExpression());
      lo = std::move(range);
    }
    Adopt(*e, std::move(lo));
  } while (Accept(Tok::Comma));
  Expect(Tok::RBrack);
  return e;
}

void Parser::ParseArgs(Expr& call, Tok close) {
  if (close == Tok::RParen && Accept(Tok::RParen)) return;
  do {
    Adopt(call, ParseExpression());
  } while (Accept(Tok::Comma));
  Expect(close);
}

// A name with its selectors: a.b, a[i, j], f(x).
ExprPtr Parser::ParseDesignator() {
  auto e = MakeNode(Ex::Name, tok_.Pos);
  e->S = tok_.Text;
  e->Key = tok_.Key;
  Take();
  if (tok_.Kind == Tok::LParen) {
    Take();
    e->Parens = true;
    ParseArgs(*e, Tok::RParen);
  }
  for (;;) {
    const SrcPos at = tok_.Pos;
    if (Accept(Tok::Dot)) {
      auto f = MakeNode(Ex::Field, at);
      const Ident name = ExpectIdent();
      f->S = name.Text;
      f->Key = name.Key;
      f->Pos = name.Pos;
      Adopt(*f, std::move(e));
      e = std::move(f);
    } else if (Accept(Tok::LBrack)) {
      auto ix = MakeNode(Ex::Index, at);
      Adopt(*ix, std::move(e));
      ParseArgs(*ix, Tok::RBrack);
      e = std::move(ix);
    } else {
      return e;
    }
  }
}

}  // namespace kelvan::scriptengine
