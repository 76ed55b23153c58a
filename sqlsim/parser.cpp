// Expressions and SELECT.
#include "sqlsim/parser.h"

#include <set>

#include "sqlsim/errors.h"

namespace sqlsim {

bool IsReserved(const std::string& word) {
  static const std::set<std::string> kw = {
      "SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "ORDER", "GROUP", "BY", "HAVING", "UNION", "AS", "ON",
      "JOIN", "INNER", "LEFT", "RIGHT", "FULL", "OUTER", "CROSS", "WHEN", "THEN", "ELSE", "END", "IS", "IN",
      "LIKE", "BETWEEN", "INTO", "VALUES", "SET", "BEGIN", "TOP", "DISTINCT", "EXEC", "EXECUTE", "INSERT",
      "UPDATE", "DELETE", "CREATE", "ALTER", "DROP", "DECLARE", "WHILE", "IF", "OPEN", "FETCH", "CLOSE",
      "DEALLOCATE", "USE", "GRANT", "RETURN", "PRINT", "FOR", "WITH", "COLLATE", "ASC", "DESC", "CASE",
      "NULL", "EXISTS", "ALL", "COMMIT", "ROLLBACK", "ESCAPE", "TABLE", "PRIMARY", "FOREIGN", "KEY",
      "REFERENCES", "CONSTRAINT", "DEFAULT", "CHECK", "UNIQUE", "IDENTITY", "ENABLE", "DISABLE", "REVOKE",
      "DENY", "TRUNCATE", "GO", "OPTION"};
  return kw.count(Upper(word)) > 0;
}

Parser::Parser(const std::string& text, bool quotedIdentifier)
    : text_(text), toks_(Tokenize(text, quotedIdentifier)) {}

const Token& Parser::Peek(int k) const {
  std::size_t j = i_ + k;
  return j < toks_.size() ? toks_[j] : toks_.back();
}
const Token& Parser::Next() {
  const Token& t = Peek();
  if (i_ + 1 < toks_.size()) ++i_;
  return t;
}
bool Parser::AcceptKw(const char* kw) {
  if (!Kw(kw)) return false;
  Next();
  return true;
}
void Parser::ExpectKw(const char* kw) {
  if (!AcceptKw(kw)) Fail();
}
bool Parser::IsOp(const char* op, int k) const { return Peek(k).kind == Tok::Op && Peek(k).text == op; }
bool Parser::AcceptOp(const char* op) {
  if (!IsOp(op)) return false;
  Next();
  return true;
}
void Parser::ExpectOp(const char* op) {
  if (!AcceptOp(op)) Fail();
}
void Parser::Fail() const {
  const Token& t = Peek();
  if (t.kind == Tok::End) throw SqlError(102, "Incorrect syntax near '" + (i_ > 0 ? toks_[i_ - 1].text : std::string()) + "'.", 15);
  if (t.kind == Tok::Ident && IsReserved(t.text))
    throw SqlError(156, "Incorrect syntax near the keyword '" + t.text + "'.", 15);
  ThrowSyntax(t.text);
}
bool Parser::IsNameToken(int k) const {
  const Token& t = Peek(k);
  return t.kind == Tok::QIdent || (t.kind == Tok::Ident && !IsReserved(t.text));
}
std::string Parser::Name() {
  if (!IsNameToken()) Fail();
  return Next().text;
}
std::vector<std::string> Parser::MultiName() {
  std::vector<std::string> parts;
  parts.push_back(Name());
  while (IsOp(".")) {
    Next();
    if (IsOp(".")) {  // db..object
      parts.push_back("");
      continue;
    }
    parts.push_back(Name());
  }
  return parts;
}

TypeSpec Parser::Type() {
  TypeSpec t;
  std::vector<std::string> parts = MultiName();
  std::string n = parts.back();
  for (char& c : n)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  if (n == "integer") n = "int";
  if (n == "character") n = "char";
  if (n == "rowversion") n = "timestamp";
  if (n == "double" && Kw("PRECISION")) {
    Next();
    n = "float";
  }
  if (n == "dec") n = "decimal";
  t.name = n;
  if (AcceptOp("(")) {
    if (IsKw(Peek(), "MAX")) {
      Next();
      t.hasLength = true;
      t.length = -1;
    } else {
      if (Peek().kind != Tok::Number) Fail();
      int a = std::stoi(Next().text);
      if (AcceptOp(",")) {
        if (Peek().kind != Tok::Number) Fail();
        t.hasPrec = true;
        t.prec = a;
        t.scale = std::stoi(Next().text);
      } else if (n == "decimal" || n == "numeric") {
        t.hasPrec = true;
        t.prec = a;
      } else if (n == "float") {
        t.hasPrec = true;
        t.prec = a;
      } else {
        t.hasLength = true;
        t.length = a;
      }
    }
    ExpectOp(")");
  }
  return t;
}

ExprP Parser::Expression() { return Or(); }

static ExprP Bin(const std::string& op, ExprP a, ExprP b) {
  auto e = std::make_shared<Expr>();
  e->kind = Expr::Binary;
  e->text = op;
  e->args = {std::move(a), std::move(b)};
  return e;
}

ExprP Parser::Or() {
  ExprP l = And();
  while (AcceptKw("OR")) l = Bin("OR", l, And());
  return l;
}
ExprP Parser::And() {
  ExprP l = Not();
  while (AcceptKw("AND")) l = Bin("AND", l, Not());
  return l;
}
ExprP Parser::Not() {
  if (AcceptKw("NOT")) {
    auto e = std::make_shared<Expr>();
    e->kind = Expr::Unary;
    e->text = "NOT";
    e->args = {Not()};
    return e;
  }
  return Predicate();
}

ExprP Parser::Predicate() {
  if (Kw("EXISTS")) {
    Next();
    ExpectOp("(");
    auto e = std::make_shared<Expr>();
    e->kind = Expr::Exists;
    e->sub = ParseSelect();
    ExpectOp(")");
    return e;
  }
  ExprP l = Additive();
  for (;;) {
    const Token& t = Peek();
    if (t.kind == Tok::Op && (t.text == "=" || t.text == "<>" || t.text == "!=" || t.text == "<" || t.text == ">" ||
                              t.text == "<=" || t.text == ">=" || t.text == "!<" || t.text == "!>")) {
      std::string op = Next().text;
      if (op == "!=") op = "<>";
      if (op == "!<") op = ">=";
      if (op == "!>") op = "<=";
      l = Bin(op, l, Additive());
      continue;
    }
    if (Kw("IS")) {
      Next();
      auto e = std::make_shared<Expr>();
      e->kind = Expr::IsNull;
      e->negated = AcceptKw("NOT");
      ExpectKw("NULL");
      e->args = {l};
      l = e;
      continue;
    }
    bool neg = false;
    if (Kw("NOT") && (Kw("IN", 1) || Kw("LIKE", 1) || Kw("BETWEEN", 1))) {
      Next();
      neg = true;
    }
    if (AcceptKw("IN")) {
      auto e = std::make_shared<Expr>();
      e->kind = Expr::In;
      e->negated = neg;
      e->args = {l};
      ExpectOp("(");
      if (Kw("SELECT")) {
        e->sub = ParseSelect();
      } else {
        do e->args.push_back(Expression());
        while (AcceptOp(","));
      }
      ExpectOp(")");
      l = e;
      continue;
    }
    if (AcceptKw("LIKE")) {
      auto e = std::make_shared<Expr>();
      e->kind = Expr::Like;
      e->negated = neg;
      e->args = {l, Additive()};
      if (AcceptKw("ESCAPE")) e->args.push_back(Additive());
      l = e;
      continue;
    }
    if (AcceptKw("BETWEEN")) {
      auto e = std::make_shared<Expr>();
      e->kind = Expr::Between;
      e->negated = neg;
      ExprP lo = Additive();
      ExpectKw("AND");
      e->args = {l, lo, Additive()};
      l = e;
      continue;
    }
    if (neg) Fail();
    return l;
  }
}

ExprP Parser::Additive() {
  ExprP l = Multiplicative();
  for (;;) {
    const Token& t = Peek();
    if (t.kind == Tok::Op && (t.text == "+" || t.text == "-" || t.text == "&" || t.text == "|" || t.text == "^")) {
      std::string op = Next().text;
      l = Bin(op, l, Multiplicative());
    } else {
      return l;
    }
  }
}
ExprP Parser::Multiplicative() {
  ExprP l = Unary();
  for (;;) {
    const Token& t = Peek();
    if (t.kind == Tok::Op && (t.text == "*" || t.text == "/" || t.text == "%")) {
      std::string op = Next().text;
      l = Bin(op, l, Unary());
    } else {
      return l;
    }
  }
}
ExprP Parser::Unary() {
  if (IsOp("-") || IsOp("+") || IsOp("~")) {
    std::string op = Next().text;
    ExprP a = Unary();
    if (op == "+") return a;
    if (op == "-" && a->kind == Expr::Number) {
      a->text = "-" + a->text;
      return a;
    }
    auto e = std::make_shared<Expr>();
    e->kind = Expr::Unary;
    e->text = op;
    e->args = {a};
    return e;
  }
  ExprP e = Primary();
  if (Kw("COLLATE")) {  // COLLATE on an expression: comparisons ignore case anyway
    Next();
    Name();
  }
  return e;
}

ExprP Parser::Primary() {
  const Token& t = Peek();
  auto e = std::make_shared<Expr>();
  switch (t.kind) {
    case Tok::Number:
      e->kind = Expr::Number;
      e->text = Next().text;
      return e;
    case Tok::String:
      e->kind = Expr::String;
      e->national = t.national;
      e->text = Next().text;
      return e;
    case Tok::Var:
      e->kind = Expr::Var;
      e->text = Upper(Next().text);
      return e;
    case Tok::SysVar:
      e->kind = Expr::SysVar;
      e->text = Upper(Next().text);
      return e;
    case Tok::Param:
      Next();
      e->kind = Expr::Param;
      e->param = params_++;
      return e;
    case Tok::Op:
      if (t.text == "(") {
        Next();
        if (Kw("SELECT")) {
          e->kind = Expr::Subquery;
          e->sub = ParseSelect();
        } else {
          e->kind = Expr::Paren;
          e->args = {Expression()};
        }
        ExpectOp(")");
        return e;
      }
      if (t.text == "*") {
        Next();
        e->kind = Expr::Star;
        return e;
      }
      Fail();
    default:
      break;
  }
  if (Kw("NULL")) {
    Next();
    e->kind = Expr::Null;
    return e;
  }
  if (Kw("CASE")) {
    Next();
    e->kind = Expr::Case;
    if (!Kw("WHEN")) e->caseOperand = Expression();
    while (AcceptKw("WHEN")) {
      e->args.push_back(Expression());
      ExpectKw("THEN");
      e->args.push_back(Expression());
    }
    if (e->args.empty()) Fail();
    if (AcceptKw("ELSE")) e->caseElse = Expression();
    ExpectKw("END");
    return e;
  }
  if ((Kw("CAST") || Kw("TRY_CAST")) && IsOp("(", 1)) {
    Next();
    Next();
    e->kind = Expr::Cast;
    e->args = {Expression()};
    ExpectKw("AS");
    e->type = Type();
    ExpectOp(")");
    return e;
  }
  if (Kw("CONVERT") && IsOp("(", 1)) {
    Next();
    Next();
    e->kind = Expr::Cast;
    e->type = Type();
    ExpectOp(",");
    e->args = {Expression()};
    if (AcceptOp(",")) e->args.push_back(Expression());
    ExpectOp(")");
    return e;
  }
  if (t.kind == Tok::Ident && IsReserved(t.text) && !(Kw("LEFT") || Kw("RIGHT")) ) Fail();
  if (t.kind != Tok::Ident && t.kind != Tok::QIdent) Fail();
  std::vector<std::string> parts;
  parts.push_back(Next().text);
  while (IsOp(".")) {
    Next();
    if (IsOp("*")) {
      Next();
      e->kind = Expr::Star;
      e->parts = parts;
      return e;
    }
    if (Peek().kind != Tok::Ident && Peek().kind != Tok::QIdent) Fail();
    parts.push_back(Next().text);
  }
  if (IsOp("(")) {
    Next();
    e->kind = Expr::Func;
    e->text = Upper(parts.back());
    e->parts = parts;
    if (!IsOp(")")) {
      AcceptKw("DISTINCT");
      do e->args.push_back(Expression());
      while (AcceptOp(","));
    }
    ExpectOp(")");
    return e;
  }
  e->kind = Expr::Column;
  e->parts = parts;
  return e;
}

TableRefP Parser::Source() {
  auto r = std::make_shared<TableRef>();
  if (IsOp("(")) {
    Next();
    if (Kw("SELECT")) {
      r->kind = TableRef::Derived;
      r->sub = ParseSelect();
      ExpectOp(")");
    } else {
      r = JoinedSource();
      ExpectOp(")");
      return r;
    }
  } else {
    r->kind = TableRef::Named;
    r->name = MultiName();
  }
  if (AcceptKw("AS")) {
    r->alias = Name();
  } else if (IsNameToken() && !Kw("WITH")) {
    r->alias = Name();
  }
  if (Kw("WITH") && IsOp("(", 1)) {  // table hints
    Next();
    Next();
    while (!IsOp(")") && !AtEnd()) Next();
    ExpectOp(")");
  }
  return r;
}

TableRefP Parser::JoinedSource() {
  TableRefP l = Source();
  for (;;) {
    std::string type;
    if (Kw("JOIN")) {
      type = "INNER";
    } else if (Kw("INNER") && Kw("JOIN", 1)) {
      Next();
      type = "INNER";
    } else if ((Kw("LEFT") || Kw("RIGHT") || Kw("FULL")) && (Kw("JOIN", 1) || (Kw("OUTER", 1) && Kw("JOIN", 2)))) {
      type = Upper(Next().text);
      AcceptKw("OUTER");
    } else if (Kw("CROSS") && Kw("JOIN", 1)) {
      Next();
      type = "CROSS";
    } else {
      return l;
    }
    ExpectKw("JOIN");
    auto j = std::make_shared<TableRef>();
    j->kind = TableRef::Join;
    j->joinType = type;
    j->left = l;
    j->right = Source();
    if (type != "CROSS") {
      ExpectKw("ON");
      j->on = Expression();
    }
    l = j;
  }
}

SelectP Parser::ParseSelect() {
  auto s = std::make_shared<Select>();
  if (IsOp("(")) {  // (SELECT ...) UNION ...
    Next();
    s = ParseSelect();
    ExpectOp(")");
    return s;
  }
  ExpectKw("SELECT");
  if (AcceptKw("DISTINCT")) s->distinct = true;
  else AcceptKw("ALL");
  if (AcceptKw("TOP")) {
    if (AcceptOp("(")) {
      s->top = Expression();
      ExpectOp(")");
    } else {
      s->top = Primary();
    }
    if (AcceptKw("PERCENT")) s->topPercent = true;
  }
  do {
    SelectItem it;
    const Token& a = Peek();
    if ((a.kind == Tok::Ident || a.kind == Tok::QIdent || a.kind == Tok::String) && IsOp("=", 1) &&
        !(a.kind == Tok::Ident && IsReserved(a.text))) {
      it.alias = Next().text;
      it.hasAlias = true;
      Next();
      it.expr = Expression();
    } else if (a.kind == Tok::Var && IsOp("=", 1)) {
      ThrowUnsupported("SELECT @variable = expression");
    } else {
      it.expr = Expression();
      if (AcceptKw("AS")) {
        if (Peek().kind == Tok::String) it.alias = Next().text;
        else it.alias = Name();
        it.hasAlias = true;
      } else if (IsNameToken() || Peek().kind == Tok::String) {
        it.alias = Next().text;
        it.hasAlias = true;
      }
    }
    s->items.push_back(std::move(it));
  } while (AcceptOp(","));
  if (Kw("INTO")) ThrowUnsupported("SELECT ... INTO");
  if (AcceptKw("FROM")) {
    do s->from.push_back(JoinedSource());
    while (AcceptOp(","));
  }
  if (AcceptKw("WHERE")) s->where = Expression();
  if (Kw("GROUP") && Kw("BY", 1)) {
    Next();
    Next();
    do s->groupBy.push_back(Expression());
    while (AcceptOp(","));
  }
  if (AcceptKw("HAVING")) s->having = Expression();
  if (Kw("UNION")) {
    Next();
    s->unionAll = AcceptKw("ALL");
    s->unionNext = ParseSelect();
    // ORDER BY after a union belongs to the whole; keep it on the first part.
    SelectP last = s;
    while (last->unionNext) last = last->unionNext;
    if (!last->orderBy.empty()) {
      s->orderBy = std::move(last->orderBy);
      last->orderBy.clear();
    }
    return s;
  }
  if (Kw("ORDER") && Kw("BY", 1)) {
    Next();
    Next();
    do {
      ExprP e = Expression();
      bool desc = false;
      if (AcceptKw("DESC")) desc = true;
      else AcceptKw("ASC");
      s->orderBy.push_back({e, desc});
    } while (AcceptOp(","));
  }
  return s;
}

ExprP ParseExpression(const std::string& text) {
  Parser p(text, false);
  ExprP e = p.Expression();
  if (!p.AtEnd()) ThrowSyntax(text);
  return e;
}

TypeSpec ParseType(const std::string& text) {
  Parser p(text, true);
  TypeSpec t = p.Type();
  if (!p.AtEnd()) ThrowSyntax(text);
  return t;
}

}  // namespace sqlsim
