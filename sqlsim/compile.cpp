// Syntax check and best-effort compile of procedure, function and trigger bodies.
#include "sqlsim/compile.h"

#include <set>

#include "sqlsim/engine.h"
#include "sqlsim/errors.h"
#include "sqlsim/parser.h"

namespace sqlsim {

namespace {

// --- syntax over tokens ---

struct TokCursor {
  const std::vector<Token>& t;
  std::size_t j;

  const Token& At(std::size_t k = 0) const { return j + k < t.size() ? t[j + k] : t.back(); }
  bool End() const { return At().kind == Tok::End; }
  bool Kw(const char* kw, std::size_t k = 0) const { return IsKw(At(k), kw); }
  bool Op(const char* op, std::size_t k = 0) const { return At(k).kind == Tok::Op && At(k).text == op; }
  bool Name() const { return At().kind == Tok::Ident || At().kind == Tok::QIdent; }

  [[noreturn]] void Fail() const {
    const Token& x = At();
    if (x.kind == Tok::End) ThrowSyntax(j > 0 ? t[j - 1].text : std::string());
    if (x.kind == Tok::Ident && IsReserved(x.text))
      throw SqlError(156, "Incorrect syntax near the keyword '" + x.text + "'.", 15);
    ThrowSyntax(x.text);
  }
  void ExpectKw(const char* kw) {
    if (!Kw(kw)) Fail();
    ++j;
  }
  void ExpectOp(const char* op) {
    if (!Op(op)) Fail();
    ++j;
  }
  // Steps over a parenthesised group starting at "(".
  void SkipGroup() {
    ExpectOp("(");
    for (int depth = 1; depth > 0; ++j) {
      if (End()) Fail();
      if (Op("(")) ++depth;
      else if (Op(")")) --depth;
    }
  }
  // WITH option [, option...]: RECOMPILE, ENCRYPTION, SCHEMABINDING, EXECUTE AS x,
  // RETURNS NULL ON NULL INPUT, INLINE = ON ...
  void SkipWithOptions() {
    if (!Kw("WITH")) return;
    ++j;
    do {
      if ((Kw("EXECUTE") || Kw("EXEC")) && Kw("AS", 1)) {
        j += 2;
        if (End()) Fail();
        ++j;
        continue;
      }
      if (!Name()) Fail();
      while (!End() && !Op(",") && !Kw("AS") && !Kw("BEGIN") && !Kw("RETURN") && !Kw("FOR") && !Kw("AFTER") &&
             !Kw("INSTEAD"))
        ++j;
    } while (Op(",") && (++j, true));
  }
};

// @name [AS] type [= default] [OUT|OUTPUT] [READONLY], ..., optionally in parentheses.
void ProcedureParams(TokCursor& c) {
  bool paren = c.Op("(");
  if (paren) ++c.j;
  while (c.At().kind == Tok::Var) {
    ++c.j;
    if (c.Kw("AS")) ++c.j;
    if (!c.Name()) c.Fail();
    while (!c.End() && !c.Op(",") && !c.Op(")") && !c.Kw("AS") && !c.Kw("WITH") && !c.Kw("FOR")) {
      if (c.At().kind == Tok::Var) c.Fail();  // a comma is missing
      if (c.Op("(")) c.SkipGroup();
      else ++c.j;
    }
    if (!c.Op(",")) break;
    ++c.j;
    if (c.At().kind != Tok::Var) c.Fail();
  }
  if (paren) c.ExpectOp(")");
}

void CheckBody(const std::vector<Token>& toks, std::size_t body) {
  TokCursor c{toks, body};
  int depth = 0;
  std::vector<char> blocks;  // B block, T TRY, C CATCH, K CASE
  for (; !c.End(); ++c.j) {
    if (c.Op("(")) ++depth;
    else if (c.Op(")") && depth-- == 0) c.Fail();
    if (c.At().kind != Tok::Ident) continue;
    if (c.Kw("CASE")) {
      blocks.push_back('K');
    } else if (c.Kw("BEGIN")) {
      if (c.Kw("TRAN", 1) || c.Kw("TRANSACTION", 1) || c.Kw("DISTRIBUTED", 1) || c.Kw("DIALOG", 1) ||
          c.Kw("CONVERSATION", 1))
        continue;
      if (c.Kw("TRY", 1) || c.Kw("CATCH", 1)) {
        blocks.push_back(c.Kw("TRY", 1) ? 'T' : 'C');
        ++c.j;
      } else {
        blocks.push_back('B');
      }
    } else if (c.Kw("END")) {
      if (c.Kw("CONVERSATION", 1)) continue;  // END CONVERSATION is a statement
      if (blocks.empty()) c.Fail();
      char top = blocks.back();
      blocks.pop_back();
      bool tryWord = c.Kw("TRY", 1), catchWord = c.Kw("CATCH", 1);
      if (top == 'T') {
        ++c.j;
        if (!tryWord) c.Fail();
        // A TRY block is followed at once by its CATCH block.
        std::size_t k = c.Op(";", 1) ? 2 : 1;
        if (!(c.Kw("BEGIN", k) && c.Kw("CATCH", k + 1))) {
          ++c.j;
          c.Fail();
        }
      } else if (top == 'C') {
        ++c.j;
        if (!catchWord) c.Fail();
      } else if (tryWord || catchWord) {
        ++c.j;
        c.Fail();
      }
    }
  }
  if (depth > 0 || !blocks.empty()) c.Fail();
}

}  // namespace

ModuleHeader CheckModuleSyntax(const std::vector<Token>& toks, std::size_t at, const std::string& kind) {
  TokCursor c{toks, at};
  ModuleHeader h;
  h.type = kind;
  if (kind == "P") {
    if (c.Op(";") && c.At(1).kind == Tok::Number) c.j += 2;  // numbered procedure
    ProcedureParams(c);
    c.SkipWithOptions();
    if (c.Kw("FOR") && c.Kw("REPLICATION", 1)) c.j += 2;
    c.ExpectKw("AS");
  } else if (kind == "FN") {
    c.SkipGroup();
    c.ExpectKw("RETURNS");
    if (c.At().kind == Tok::Var) {
      ++c.j;
      c.ExpectKw("TABLE");
      c.SkipGroup();
      h.type = "TF";
    } else if (c.Kw("TABLE")) {
      ++c.j;
      h.type = "IF";
    } else {
      if (!c.Name()) c.Fail();
      ++c.j;
      while (c.Op(".") && (c.At(1).kind == Tok::Ident || c.At(1).kind == Tok::QIdent)) c.j += 2;
      if (c.Op("(")) c.SkipGroup();
    }
    c.SkipWithOptions();
    if (c.Kw("AS")) ++c.j;
    if (c.End()) c.Fail();
    if (c.Kw("EXTERNAL")) {
      // CLR function: EXTERNAL NAME assembly.class.method
    } else if (h.type == "IF" ? !c.Kw("RETURN") : !c.Kw("BEGIN")) {
      c.Fail();
    }
  } else {
    c.SkipWithOptions();
    if (c.Kw("FOR") || c.Kw("AFTER")) {
      ++c.j;
    } else {
      c.ExpectKw("INSTEAD");
      c.ExpectKw("OF");
      h.insteadOf = true;
    }
    do {
      if (!c.Kw("INSERT") && !c.Kw("UPDATE") && !c.Kw("DELETE")) c.Fail();
      ++c.j;
    } while (c.Op(",") && (++c.j, true));
    if (c.Kw("WITH") && c.Kw("APPEND", 1)) c.j += 2;
    if (c.Kw("NOT") && c.Kw("FOR", 1) && c.Kw("REPLICATION", 2)) c.j += 3;
    c.ExpectKw("AS");
  }
  if (c.End()) c.Fail();  // nothing after AS
  h.body = c.j;
  CheckBody(toks, h.body);
  return h;
}

namespace {

// A word that starts a statement.
bool StatementWord(const Token& t) {
  static const std::set<std::string> starts = {
      "SELECT", "INSERT", "UPDATE", "DELETE", "IF", "WHILE", "BEGIN", "DECLARE", "SET", "EXEC", "EXECUTE",
      "RETURN", "PRINT", "RAISERROR", "OPEN", "FETCH", "CLOSE", "DEALLOCATE", "COMMIT", "ROLLBACK", "SAVE",
      "GOTO", "BREAK", "CONTINUE", "TRUNCATE", "CREATE", "DROP", "ALTER", "WAITFOR", "GRANT", "DENY",
      "REVOKE", "THROW", "MERGE", "BULK", "USE", "CHECKPOINT", "DBCC", "ENABLE", "DISABLE"};
  return t.kind == Tok::Ident && starts.count(Upper(t.text)) > 0;
}

}  // namespace

std::vector<std::size_t> StatementStarts(const std::vector<Token>& toks, std::size_t body) {
  static const std::set<std::string> continues = {"FOR", "THEN", "OF", "UNION", "ALL", "EXCEPT",
                                                  "INTERSECT", "BULK", "INSTEAD", "AFTER", "GRANT",
                                                  "DENY", "REVOKE", "TO", "INTO", "OUTPUT"};
  std::vector<std::size_t> out;
  int depth = 0;
  bool afterCte = false;
  std::string lastWord;  // the last statement word seen at depth 0
  for (std::size_t j = body; j < toks.size() && toks[j].kind != Tok::End; ++j) {
    const Token& t = toks[j];
    if (t.kind == Tok::Op && t.text == "(") ++depth;
    if (t.kind == Tok::Op && t.text == ")") --depth;
    if (depth != 0 || t.kind != Tok::Ident) continue;
    if (IsKw(t, "WITH") && j + 2 < toks.size() &&
        (toks[j + 1].kind == Tok::Ident || toks[j + 1].kind == Tok::QIdent) &&
        (IsKw(toks[j + 2], "AS") || (toks[j + 2].kind == Tok::Op && toks[j + 2].text == "("))) {
      afterCte = true;
      continue;
    }
    std::string word = StatementWord(t) ? Upper(t.text) : std::string();
    std::string statement = lastWord;
    if (!word.empty()) lastWord = word;
    bool sel = word == "SELECT";
    if (word == "SET") {
      // SET @v = ...; not the SET of an UPDATE (UPDATE t SET @v = col)
      if (statement == "UPDATE" || j + 1 >= toks.size() || toks[j + 1].kind != Tok::Var) continue;
    } else if (!sel && word != "INSERT" && word != "UPDATE" && word != "DELETE" && word != "EXEC" &&
               word != "EXECUTE" && word != "IF" && word != "WHILE" && word != "RETURN") {
      continue;
    }
    if (j > body) {
      const Token& prev = toks[j - 1];
      if (prev.kind == Tok::Op && (prev.text == "," || prev.text == "."))
        continue;
      // FOR SELECT is the query of a cursor declaration.
      if (prev.kind == Tok::Ident && continues.count(Upper(prev.text)) && !(sel && IsKw(prev, "FOR"))) continue;
    }
    if (afterCte) {
      afterCte = false;  // the statement that uses the common table expressions
      continue;
    }
    out.push_back(j);
  }
  return out;
}

bool EndsStatement(const std::vector<Token>& toks, std::size_t at) {
  if (at >= toks.size()) return true;
  const Token& t = toks[at];
  if (t.kind == Tok::End || (t.kind == Tok::Op && t.text == ";")) return true;
  if (t.kind != Tok::Ident) return false;
  if (at + 1 < toks.size() && toks[at + 1].kind == Tok::Op && toks[at + 1].text == ":") return true;  // label
  if (IsKw(t, "WITH")) {  // a common table expression, not a table hint
    return at + 1 < toks.size() && !(toks[at + 1].kind == Tok::Op && toks[at + 1].text == "(");
  }
  return StatementWord(t) || IsKw(t, "ELSE") || IsKw(t, "END") || IsKw(t, "FOR");
}

// --- compile against the catalog ---

namespace {

// Objects and output names a statement mentions.
struct Mentions {
  std::vector<std::vector<std::string>> tables;
  std::set<std::string> aliases;  // folded select-item and source aliases
};

void Walk(const Select& s, Mentions& m);

void Walk(const ExprP& e, Mentions& m) {
  if (!e) return;
  for (const ExprP& a : e->args) Walk(a, m);
  Walk(e->caseOperand, m);
  Walk(e->caseElse, m);
  if (e->sub) Walk(*e->sub, m);
}

void Walk(const TableRefP& t, Mentions& m) {
  if (!t) return;
  if (!t->alias.empty()) m.aliases.insert(FoldCase(t->alias));
  if (t->kind == TableRef::Named) m.tables.push_back(t->name);
  if (t->sub) Walk(*t->sub, m);
  Walk(t->left, m);
  Walk(t->right, m);
  Walk(t->on, m);
}

void Walk(const Select& s, Mentions& m) {
  Walk(s.top, m);
  for (const SelectItem& it : s.items) {
    if (it.hasAlias) m.aliases.insert(FoldCase(it.alias));
    Walk(it.expr, m);
  }
  for (const TableRefP& t : s.from) Walk(t, m);
  Walk(s.where, m);
  for (const ExprP& g : s.groupBy) Walk(g, m);
  Walk(s.having, m);
  for (const auto& o : s.orderBy) Walk(o.first, m);
  if (s.unionNext) Walk(*s.unionNext, m);
}

std::string JoinParts(const std::vector<std::string>& parts) {
  std::string r;
  for (std::size_t i = 0; i < parts.size(); ++i) r += (i ? "." : "") + parts[i];
  return r;
}

class BodyCompiler {
 public:
  BodyCompiler(Engine& eng, Database& d) : eng_(eng), d_(d) {}

  void Statement(const Stmt& st) {
    Mentions m;
    if (st.select) Walk(*st.select, m);
    for (const auto& row : st.rows)
      for (const ExprP& e : row) Walk(e, m);
    for (const ExprP& e : st.exprs) Walk(e, m);
    Walk(st.cond, m);
    std::optional<ObjInfo> target;
    if (st.kind == Stmt::Insert || st.kind == Stmt::Update || st.kind == Stmt::Delete) {
      m.tables.push_back(st.name);
      target = d_.Resolve(st.name);
    }
    known_.clear();
    for (const std::string& a : m.aliases) known_.insert(a);
    for (const auto& t : m.tables)
      if (!Known(t, 0, known_)) return;  // resolved when the module runs
    if (target && target->xtype == "U") {
      // Target columns are checked directly: another table's column of the same name does not excuse them.
      for (const std::string& c : st.names)
        if (!d_.Column(target->id, c)) ThrowInvalidColumn(c);
    }
    Select probe;
    const Select* q = st.select.get();
    if (st.kind == Stmt::Update || st.kind == Stmt::Delete) {
      for (const ExprP& e : st.exprs) probe.items.push_back({e, "", false});
      if (probe.items.empty()) {
        auto one = std::make_shared<Expr>();
        one->kind = Expr::Number;
        one->text = "1";
        probe.items.push_back({one, "", false});
      }
      auto src = std::make_shared<TableRef>();
      src->name = st.name;
      probe.from.push_back(src);
      probe.where = st.cond;
      q = &probe;
    }
    if (q) Probe(*q);
  }

 private:
  // True when the object exists here as a user table or view; adds the
  // names of the columns it offers to `cols`.
  bool Known(const std::vector<std::string>& name, int depth, std::set<std::string>& cols) {
    if (name.empty() || name.back().empty() || name.back()[0] == '#') return false;
    if (name.size() >= 3 && !name[name.size() - 3].empty() && FoldCase(name[name.size() - 3]) != FoldCase(d_.name()))
      return false;
    if (name.size() >= 2 && FoldCase(name[name.size() - 2]) == "sys") return false;
    auto o = d_.Resolve(name);
    if (!o) return false;
    if (o->xtype == "U") {
      for (const ColInfo& c : d_.Columns(o->id)) cols.insert(FoldCase(c.name));
      return true;
    }
    if (o->xtype != "V" || depth > 16) return false;
    SelectP vs = d_.ViewSelect(o->id);
    if (!vs) return false;
    Mentions m;
    Walk(*vs, m);
    std::set<std::string> inner;
    for (const auto& t : m.tables)
      if (!Known(t, depth + 1, inner)) return false;
    for (const SelectItem& it : vs->items) {
      if (it.hasAlias) cols.insert(FoldCase(it.alias));
      else if (it.expr && it.expr->kind == Expr::Column) cols.insert(FoldCase(it.expr->parts.back()));
      else if (it.expr && it.expr->kind == Expr::Star) cols.insert(inner.begin(), inner.end());
    }
    return true;
  }

  // Emits and prepares the query. A 207 stands only when the name is no
  // column of anything the statement reads: otherwise it comes from a
  // construct the simulator renders differently, and the body is accepted.
  void Probe(const Select& q) {
    try {
      std::string sql = EmitSelect(eng_, d_, q, nullptr, nullptr);
      d_.Prepare("SELECT * FROM (" + sql + ") LIMIT 0");
    } catch (const SqlError& e) {
      if (e.number() != 207) return;
      const std::string& text = e.messages().front().text;
      std::size_t a = text.find('\''), b = text.rfind('\'');
      std::string col = a == std::string::npos || b <= a ? std::string() : text.substr(a + 1, b - a - 1);
      static const std::set<std::string> niladic = {"current_timestamp", "current_user", "session_user",
                                                    "system_user", "user"};
      std::string f = FoldCase(col);
      if (col.empty() || known_.count(f) || niladic.count(f)) return;
      throw;
    } catch (const std::exception&) {
      // A construct the emitter cannot take: accepted.
    }
  }

  Engine& eng_;
  Database& d_;
  std::set<std::string> known_;
};

// Puts the module's parameters and variables in scope while its statements
// are compiled; the batch's own variables come back afterwards.
class VariableScope {
 public:
  VariableScope(Engine& eng, const std::vector<std::string>& names) : eng_(eng), saved_(std::move(eng.vars)) {
    eng_.vars.clear();
    for (const std::string& n : names)
      if (!n.empty() && n[0] == '@') eng_.vars[n] = Variable{};
  }
  ~VariableScope() { eng_.vars = std::move(saved_); }
  VariableScope(const VariableScope&) = delete;
  VariableScope& operator=(const VariableScope&) = delete;

 private:
  Engine& eng_;
  std::map<std::string, Variable> saved_;
};

}  // namespace

void CompileModule(Engine& eng, Database& d, const Stmt& s) {
  VariableScope scope(eng, s.names);
  BodyCompiler bc(eng, d);
  for (const StmtP& st : s.body) {
    if (st->kind == Stmt::Exec) {
      const auto& n = st->name;
      std::string last = FoldCase(n.back());
      bool otherDb = n.size() >= 3 && !n[n.size() - 3].empty() && FoldCase(n[n.size() - 3]) != FoldCase(d.name());
      bool system = last.rfind("sp_", 0) == 0 || last.rfind("xp_", 0) == 0;
      if (!otherDb && !system && !d.Resolve(n))
        eng.infoMessages.push_back({2007, 10, "The module '" + s.name.back() + "' depends on the missing object '" +
                                                  JoinParts(n) + "'. The module will still be created; however, it "
                                                  "cannot run successfully until the object exists."});
      continue;
    }
    bc.Statement(*st);
  }
}

}  // namespace sqlsim
