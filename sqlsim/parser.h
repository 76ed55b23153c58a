// Parser of the T-SQL subset: a batch into statements, a text into one
// expression. Syntax errors are raised as SqlError 102/156 naming the token.
#pragma once

#include <string>
#include <vector>

#include "sqlsim/ast.h"
#include "sqlsim/lexer.h"

namespace sqlsim {

struct Batch {
  std::string text;
  std::vector<StmtP> stmts;
  int paramCount = 0;  // number of `?` markers
};

// Parses every statement of `text`. Throws SqlError on a syntax error or on
// a statement kind the simulator does not know (50000, naming it).
Batch ParseBatch(const std::string& text, bool quotedIdentifier);

// Parses one expression (a stored default or check text, for instance).
ExprP ParseExpression(const std::string& text);

// Parses a data type ("nvarchar(40)", "decimal(12,2)").
TypeSpec ParseType(const std::string& text);

class Parser {
 public:
  Parser(const std::string& text, bool quotedIdentifier);
  std::vector<StmtP> Statements();
  ExprP Expression();
  SelectP ParseSelect();
  TypeSpec Type();
  bool AtEnd() const { return Peek().kind == Tok::End; }
  int ParamCount() const { return params_; }

 private:
  friend struct StmtParser;
  const Token& Peek(int k = 0) const;
  const Token& Next();
  bool Kw(const char* kw, int k = 0) const { return IsKw(Peek(k), kw); }
  bool AcceptKw(const char* kw);
  void ExpectKw(const char* kw);
  bool IsOp(const char* op, int k = 0) const;
  bool AcceptOp(const char* op);
  void ExpectOp(const char* op);
  [[noreturn]] void Fail() const;
  bool IsNameToken(int k = 0) const;  // a name that is not a reserved word
  std::string Name();                  // one name part
  std::vector<std::string> MultiName();

  ExprP Or();
  ExprP And();
  ExprP Not();
  ExprP Predicate();
  ExprP Additive();
  ExprP Multiplicative();
  ExprP Unary();
  ExprP Primary();
  TableRefP Source();
  TableRefP JoinedSource();

  std::string text_;
  std::vector<Token> toks_;
  std::size_t i_ = 0;
  int params_ = 0;
};

bool IsReserved(const std::string& word);

}  // namespace sqlsim
