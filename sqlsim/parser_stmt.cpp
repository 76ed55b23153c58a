// Statements of a batch.
#include <algorithm>

#include "sqlsim/compile.h"
#include "sqlsim/errors.h"
#include "sqlsim/parser.h"

namespace sqlsim {

struct StmtParser {
  Parser& p;
  bool first = true;

  StmtP Make(Stmt::Kind k, std::size_t pos) {
    auto s = std::make_shared<Stmt>();
    s->kind = k;
    s->pos = pos;
    return s;
  }

  bool StatementEnd() {
    return p.AtEnd() || p.IsOp(";");
  }

  std::vector<std::pair<std::string, bool>> KeyCols() {
    std::vector<std::pair<std::string, bool>> cols;
    p.ExpectOp("(");
    do {
      std::string c = p.Name();
      bool desc = false;
      if (p.AcceptKw("DESC")) desc = true;
      else p.AcceptKw("ASC");
      cols.push_back({c, desc});
    } while (p.AcceptOp(","));
    p.ExpectOp(")");
    return cols;
  }

  void SkipWithOptions() {
    if (p.Kw("WITH") && p.IsOp("(", 1)) {
      p.Next();
      p.Next();
      int depth = 1;
      while (depth > 0 && !p.AtEnd()) {
        if (p.IsOp("(")) ++depth;
        if (p.IsOp(")")) --depth;
        p.Next();
      }
    }
  }

  std::string OnFilegroup() {
    if (p.Kw("ON") && (p.Peek(1).kind == Tok::QIdent || p.Peek(1).kind == Tok::Ident) && !p.IsOp("(", 2)) {
      p.Next();
      return p.Next().text;
    }
    return "";
  }

  void RefActions(ConstraintDef& c) {
    for (;;) {
      if (p.Kw("ON") && (p.Kw("DELETE", 1) || p.Kw("UPDATE", 1))) {
        p.Next();
        bool del = p.Kw("DELETE");
        p.Next();
        bool cascade = false;
        if (p.AcceptKw("CASCADE")) cascade = true;
        else if (p.AcceptKw("NO")) p.ExpectKw("ACTION");
        else ThrowUnsupported("ON DELETE/UPDATE SET NULL or SET DEFAULT");
        (del ? c.deleteCascade : c.updateCascade) = cascade;
      } else if (p.Kw("NOT") && p.Kw("FOR", 1)) {
        p.Next();
        p.Next();
        p.ExpectKw("REPLICATION");
        c.notForRepl = true;
      } else {
        return;
      }
    }
  }

  // A table constraint, or a column constraint when `column` is given.
  ConstraintDef Constraint(const std::string& column) {
    ConstraintDef c;
    c.column = column;
    if (p.AcceptKw("CONSTRAINT")) c.name = p.Name();
    if (p.AcceptKw("PRIMARY")) {
      p.ExpectKw("KEY");
      c.kind = ConstraintDef::PrimaryKey;
    } else if (p.AcceptKw("UNIQUE")) {
      c.kind = ConstraintDef::Unique;
    } else if (p.Kw("FOREIGN") || p.Kw("REFERENCES")) {
      c.kind = ConstraintDef::ForeignKey;
      if (p.AcceptKw("FOREIGN")) {
        p.ExpectKw("KEY");
        if (p.IsOp("(")) c.cols = KeyCols();
      }
      p.ExpectKw("REFERENCES");
      c.refTable = p.MultiName();
      if (p.IsOp("(")) {
        for (auto& rc : KeyCols()) c.refCols.push_back(rc.first);
      }
      RefActions(c);
      if (c.cols.empty() && !column.empty()) c.cols.push_back({column, false});
      return c;
    } else if (p.AcceptKw("CHECK")) {
      c.kind = ConstraintDef::Check;
      if (p.Kw("NOT") && p.Kw("FOR", 1)) {
        p.Next();
        p.Next();
        p.ExpectKw("REPLICATION");
        c.notForRepl = true;
      }
      p.ExpectOp("(");
      c.expr = p.Expression();
      p.ExpectOp(")");
      return c;
    } else if (p.AcceptKw("DEFAULT")) {
      c.kind = ConstraintDef::Default;
      c.expr = p.Expression();
      if (p.AcceptKw("FOR")) c.column = p.Name();
      if (p.Kw("WITH") && p.Kw("VALUES", 1)) {
        p.Next();
        p.Next();
        c.withValues = true;
      }
      return c;
    } else {
      p.Fail();
    }
    if (p.AcceptKw("CLUSTERED")) c.clusteredSet = c.clustered = true;
    else if (p.AcceptKw("NONCLUSTERED")) c.clusteredSet = true;
    if (p.IsOp("(")) c.cols = KeyCols();
    else if (!column.empty()) c.cols.push_back({column, false});
    SkipWithOptions();
    c.filegroup = OnFilegroup();
    return c;
  }

  bool ConstraintStart() {
    return p.Kw("CONSTRAINT") || p.Kw("PRIMARY") || p.Kw("UNIQUE") || p.Kw("FOREIGN") || p.Kw("CHECK") ||
           (p.Kw("DEFAULT") && false);
  }

  ColumnDef Column() {
    ColumnDef c;
    c.name = p.Name();
    if (p.AcceptKw("AS")) {
      c.computed = p.Expression();
      return c;
    }
    c.type = p.Type();
    for (;;) {
      if (p.AcceptKw("COLLATE")) {
        c.collation = p.Name();
      } else if (p.Kw("NOT") && p.Kw("NULL", 1)) {
        p.Next();
        p.Next();
        c.nullable = 0;
      } else if (p.AcceptKw("NULL")) {
        c.nullable = 1;
      } else if (p.AcceptKw("IDENTITY")) {
        c.identity = true;
        if (p.AcceptOp("(")) {
          if (p.Peek().kind != Tok::Number) p.Fail();
          c.seed = std::stoll(p.Next().text);
          p.ExpectOp(",");
          if (p.Peek().kind != Tok::Number) p.Fail();
          c.incr = std::stoll(p.Next().text);
          p.ExpectOp(")");
        }
      } else if (p.Kw("NOT") && p.Kw("FOR", 1)) {
        p.Next();
        p.Next();
        p.ExpectKw("REPLICATION");
      } else if (p.AcceptKw("ROWGUIDCOL")) {
        c.rowguid = true;
      } else if (p.Kw("DEFAULT") || p.Kw("CONSTRAINT") || p.Kw("PRIMARY") || p.Kw("UNIQUE") ||
                 p.Kw("REFERENCES") || p.Kw("FOREIGN") || p.Kw("CHECK")) {
        c.constraints.push_back(Constraint(c.name));
      } else {
        return c;
      }
    }
  }

  StmtP CreateTable(std::size_t pos) {
    auto s = Make(Stmt::CreateTable, pos);
    s->name = p.MultiName();
    p.ExpectOp("(");
    if (!p.IsOp(")")) {
      do {
        if (ConstraintStart()) s->constraints.push_back(Constraint(""));
        else s->columns.push_back(Column());
      } while (p.AcceptOp(","));
    }
    p.ExpectOp(")");
    s->index.filegroup = OnFilegroup();
    if (p.AcceptKw("TEXTIMAGE_ON")) p.Next();
    return s;
  }

  StmtP CreateIndex(std::size_t pos, bool unique) {
    auto s = Make(Stmt::CreateIndex, pos);
    s->index.unique = unique;
    if (p.AcceptKw("CLUSTERED")) s->index.clustered = true;
    else p.AcceptKw("NONCLUSTERED");
    p.ExpectKw("INDEX");
    s->index.name = p.Name();
    p.ExpectKw("ON");
    s->index.table = p.MultiName();
    s->index.cols = KeyCols();
    if (p.AcceptKw("INCLUDE")) {
      for (auto& c : KeyCols()) s->index.include.push_back(c.first);
    }
    SkipWithOptions();
    s->index.filegroup = OnFilegroup();
    return s;
  }

  // CREATE/ALTER VIEW, PROCEDURE, FUNCTION, TRIGGER: the rest of the batch.
  StmtP Module(std::size_t pos, bool alter) {
    auto s = Make(Stmt::CreateModule, pos);
    s->alter = alter;
    s->alterPos = pos;
    if (p.AcceptKw("VIEW")) {
      s->moduleType = "V";
      s->name = p.MultiName();
      if (p.IsOp("(")) {
        p.Next();
        do s->names.push_back(p.Name());
        while (p.AcceptOp(","));
        p.ExpectOp(")");
      }
      if (p.AcceptKw("WITH")) {
        do {
          std::string o = Upper(p.Next().text);
          if (o == "SCHEMABINDING") s->flag = true;
          if (o == "ENCRYPTION") s->flag2 = true;
        } while (p.AcceptOp(","));
      }
      p.ExpectKw("AS");
      s->select = p.ParseSelect();
      if (p.Kw("WITH") && p.Kw("CHECK", 1)) {
        p.Next();
        p.Next();
        p.ExpectKw("OPTION");
      }
      p.AcceptOp(";");
      if (!p.AtEnd()) p.Fail();
    } else if (p.AcceptKw("PROCEDURE") || p.AcceptKw("PROC")) {
      s->name = p.MultiName();
      ModuleBody(*s, CheckModuleSyntax(p.toks_, p.i_, "P"));
    } else if (p.AcceptKw("FUNCTION")) {
      s->name = p.MultiName();
      ModuleBody(*s, CheckModuleSyntax(p.toks_, p.i_, "FN"));
    } else if (p.AcceptKw("TRIGGER")) {
      s->name = p.MultiName();
      p.ExpectKw("ON");
      if (p.Kw("DATABASE") || p.Kw("ALL")) ThrowUnsupported("DDL triggers");
      s->parent = p.MultiName();
      ModuleHeader h = CheckModuleSyntax(p.toks_, p.i_, "TR");
      s->keyword = h.insteadOf ? "INSTEAD OF" : "AFTER";
      ModuleBody(*s, h);
    } else {
      p.Fail();
    }
    // The body is kept as text; skip its tokens.
    while (!p.AtEnd()) p.Next();
    return s;
  }

  // Records what the module's body is compiled with at creation: the names
  // of its parameters and variables in `names`, and in `body` the statements
  // at its top levels that this parser understands completely.
  void ModuleBody(Stmt& s, const ModuleHeader& h) {
    s.moduleType = h.type;
    // WITH ENCRYPTION among the header's options.
    for (std::size_t j = p.i_; j < h.body && j < p.toks_.size(); ++j)
      if (IsKw(p.toks_[j], "ENCRYPTION") && j > 0 && (IsKw(p.toks_[j - 1], "WITH") || p.toks_[j - 1].text == ",")) s.flag2 = true;
    for (std::size_t j = 0; j < p.toks_.size(); ++j)
      if (p.toks_[j].kind == Tok::Var) {
        std::string v = Upper(p.toks_[j].text);
        if (std::find(s.names.begin(), s.names.end(), v) == s.names.end()) s.names.push_back(v);
      }
    std::size_t save = p.i_;
    int params = p.params_;
    for (std::size_t at : StatementStarts(p.toks_, h.body)) {
      p.i_ = at;
      try {
        StmtP st;
        if (p.Kw("IF") || p.Kw("WHILE") || p.Kw("RETURN")) {
          // Only the condition or the returned value: the statements under
          // IF/WHILE have starts of their own.
          bool ret = p.Kw("RETURN");
          p.Next();
          if (ret && EndsStatement(p.toks_, p.i_)) continue;
          st = ValueQuery(p.toks_[at].pos, p.Expression());
        } else {
          st = One();
          if (st->kind == Stmt::SetVar) st = ValueQuery(st->pos, st->exprs[0]);
        }
        if (EndsStatement(p.toks_, p.i_)) s.body.push_back(st);
      } catch (const std::exception&) {
        // Not understood here: the syntax check alone judges it.
      }
    }
    p.i_ = save;
    p.params_ = params;
  }

  // A query that reads what an expression reads: a parenthesised SELECT
  // itself, else SELECT <expression>.
  StmtP ValueQuery(std::size_t pos, const ExprP& e) {
    auto q = Make(Stmt::Query, pos);
    if (e->kind == Expr::Subquery) {
      q->select = e->sub;
    } else {
      q->select = std::make_shared<Select>();
      q->select->items.push_back({e, "", false});
    }
    return q;
  }

  StmtP AlterTable(std::size_t pos) {
    auto s = Make(Stmt::AlterTable, pos);
    s->name = p.MultiName();
    if (p.Kw("WITH") && (p.Kw("NOCHECK", 1) || p.Kw("CHECK", 1))) {
      p.Next();
      s->flag = p.Kw("NOCHECK");
      s->flag2 = true;  // WITH given
      s->name2 = s->flag ? "WITH NOCHECK" : "WITH CHECK";
      p.Next();
    }
    if (p.AcceptKw("ADD")) {
      s->keyword = "ADD";
      do {
        if (ConstraintStart() || p.Kw("DEFAULT")) s->constraints.push_back(Constraint(""));
        else s->columns.push_back(Column());
      } while (p.AcceptOp(","));
    } else if (p.Kw("NOCHECK") || p.Kw("CHECK")) {
      s->keyword = "CHECKCNST";
      s->flag = p.Kw("NOCHECK");
      p.Next();
      p.ExpectKw("CONSTRAINT");
      if (p.AcceptKw("ALL")) {
        s->names = {};
        s->flag2 = true;
      } else {
        do s->names.push_back(p.Name());
        while (p.AcceptOp(","));
        s->flag2 = false;
      }
    } else if (p.AcceptKw("DROP")) {
      s->keyword = "DROP";
      do {
        if (p.AcceptKw("COLUMN")) {
          do {
            s->names.push_back("C:" + p.Name());
          } while (p.IsOp(",") && !(p.Kw("CONSTRAINT", 1) || p.Kw("COLUMN", 1)) && (p.Next(), true));
        } else {
          p.AcceptKw("CONSTRAINT");
          s->names.push_back("K:" + p.Name());
        }
      } while (p.AcceptOp(","));
    } else if (p.AcceptKw("ALTER")) {
      p.ExpectKw("COLUMN");
      s->keyword = "ALTERCOL";
      if (p.IsNameToken() && (p.Kw("ADD", 1) || p.Kw("DROP", 1)) && p.Kw("ROWGUIDCOL", 2)) {
        s->name2 = p.Name();
        s->keyword = p.Kw("ADD") ? "ADDROWGUID" : "DROPROWGUID";
        p.Next();
        p.Next();
      } else {
        ColumnDef c;
        c.name = p.Name();
        c.type = p.Type();
        for (;;) {
          if (p.AcceptKw("COLLATE")) c.collation = p.Name();
          else if (p.Kw("NOT") && p.Kw("NULL", 1)) {
            p.Next();
            p.Next();
            c.nullable = 0;
          } else if (p.AcceptKw("NULL")) c.nullable = 1;
          else if (p.Kw("ROWGUIDCOL") || p.Kw("IDENTITY") || p.Kw("DEFAULT") || p.Kw("CONSTRAINT"))
            ThrowSyntax(p.Peek().text);
          else break;
        }
        s->columns.push_back(c);
      }
    } else if (p.Kw("ENABLE") || p.Kw("DISABLE")) {
      s->keyword = "TRIGGER";
      s->flag = p.Kw("ENABLE");
      p.Next();
      p.ExpectKw("TRIGGER");
      if (p.AcceptKw("ALL")) s->flag2 = true;
      else {
        do s->names.push_back(p.Name());
        while (p.AcceptOp(","));
      }
    } else {
      p.Fail();
    }
    return s;
  }

  StmtP Exec(std::size_t pos) {
    if (p.IsOp("(")) {
      auto s = Make(Stmt::ExecString, pos);
      p.Next();
      s->exprs.push_back(p.Expression());
      p.ExpectOp(")");
      return s;
    }
    auto s = Make(Stmt::Exec, pos);
    if (p.Peek().kind == Tok::Var && p.IsOp("=", 1)) ThrowUnsupported("EXEC @result = procedure");
    s->name = p.MultiName();
    if (StatementEnd() || !ArgStart()) return s;
    do {
      std::string argName;
      if (p.Peek().kind == Tok::Var && p.IsOp("=", 1)) {
        argName = Upper(p.Next().text);
        p.Next();
      }
      ExprP v;
      if (p.Peek().kind == Tok::QIdent || (p.Peek().kind == Tok::Ident && !IsReserved(p.Peek().text) && !p.IsOp("(", 1))) {
        v = std::make_shared<Expr>();
        v->kind = Expr::String;
        v->text = p.Next().text;
      } else if (p.Kw("DEFAULT")) {
        p.Next();
        v = std::make_shared<Expr>();
      } else {
        v = p.Expression();
      }
      p.AcceptKw("OUTPUT");
      s->names.push_back(argName);
      s->exprs.push_back(v);
    } while (p.AcceptOp(","));
    return s;
  }

  bool ArgStart() {
    const Token& t = p.Peek();
    if (t.kind == Tok::Ident) return !IsReserved(t.text) || IsKw(t, "NULL") || IsKw(t, "DEFAULT");
    return t.kind != Tok::End && !(t.kind == Tok::Op && t.text != "-" && t.text != "(");
  }

  StmtP One() {
    bool wasFirst = first;
    first = false;
    const Token& t = p.Peek();
    std::size_t pos = t.pos;
    if (p.Kw("SELECT") || p.IsOp("(")) {
      auto s = Make(Stmt::Query, pos);
      s->select = p.ParseSelect();
      return s;
    }
    if (p.AcceptKw("USE")) {
      auto s = Make(Stmt::Use, pos);
      s->name2 = p.Name();
      return s;
    }
    if (p.AcceptKw("SET")) {
      if (p.Peek().kind == Tok::Var) {
        auto s = Make(Stmt::SetVar, pos);
        s->name2 = Upper(p.Next().text);
        if (p.IsOp("+=")) {
          p.Next();
          s->flag = true;
        } else {
          p.ExpectOp("=");
        }
        s->exprs.push_back(p.Expression());
        return s;
      }
      if (p.AcceptKw("IDENTITY_INSERT")) {
        auto s = Make(Stmt::SetIdentityInsert, pos);
        s->name = p.MultiName();
        if (p.AcceptKw("ON")) s->flag = true;
        else p.ExpectKw("OFF");
        return s;
      }
      auto s = Make(Stmt::SetOption, pos);
      while (!StatementEnd()) {
        const Token& o = p.Peek();
        if (IsKw(o, "ON") || IsKw(o, "OFF")) {
          s->flag = IsKw(o, "ON");
          p.Next();
          break;
        }
        if (o.kind == Tok::Op && o.text == ",") {
          p.Next();
          continue;
        }
        if (IsReserved(o.text) && o.kind == Tok::Ident && !IsKw(o, "TRANSACTION") ) break;
        s->names.push_back(Upper(o.text));
        p.Next();
        if (s->names.size() == 1 && (s->names[0] == "DATEFORMAT" || s->names[0] == "LANGUAGE" ||
                                      s->names[0] == "LOCK_TIMEOUT" || s->names[0] == "ROWCOUNT" ||
                                      s->names[0] == "DATEFIRST" || s->names[0] == "DEADLOCK_PRIORITY")) {
          s->name2 = p.Next().text;
          break;
        }
      }
      if (s->names.empty()) p.Fail();
      return s;
    }
    if (p.AcceptKw("DECLARE")) {
      if (p.Peek().kind == Tok::Var) {
        auto s = Make(Stmt::Declare, pos);
        do {
          s->names.push_back(Upper(p.Next().text));
          p.AcceptKw("AS");
          if (p.Kw("TABLE")) ThrowUnsupported("DECLARE @table TABLE");
          s->types.push_back(p.Type());
          s->exprs.push_back(p.AcceptOp("=") ? p.Expression() : ExprP());
        } while (p.AcceptOp(",") && p.Peek().kind == Tok::Var);
        return s;
      }
      auto s = Make(Stmt::DeclareCursor, pos);
      s->name2 = p.Name();
      while (!p.Kw("CURSOR") && !p.AtEnd()) p.Next();
      p.ExpectKw("CURSOR");
      while (!p.Kw("FOR") && !p.AtEnd()) p.Next();
      p.ExpectKw("FOR");
      s->select = p.ParseSelect();
      if (p.AcceptKw("FOR")) {
        if (p.AcceptKw("READ")) p.ExpectKw("ONLY");
        else if (p.AcceptKw("UPDATE")) {
          if (p.AcceptKw("OF")) {
            do p.Name();
            while (p.AcceptOp(","));
          }
        } else p.Fail();
      }
      return s;
    }
    if (p.AcceptKw("OPEN")) {
      auto s = Make(Stmt::Open, pos);
      s->name2 = p.Name();
      return s;
    }
    if (p.AcceptKw("CLOSE")) {
      auto s = Make(Stmt::Close, pos);
      s->name2 = p.Name();
      return s;
    }
    if (p.AcceptKw("DEALLOCATE")) {
      auto s = Make(Stmt::Deallocate, pos);
      s->name2 = p.Name();
      return s;
    }
    if (p.AcceptKw("FETCH")) {
      auto s = Make(Stmt::Fetch, pos);
      if (p.Kw("NEXT") || p.Kw("PRIOR") || p.Kw("FIRST") || p.Kw("LAST")) s->keyword = Upper(p.Next().text);
      else s->keyword = "NEXT";
      p.AcceptKw("FROM");
      s->name2 = p.Name();
      if (p.AcceptKw("INTO")) {
        do {
          if (p.Peek().kind != Tok::Var) p.Fail();
          s->names.push_back(Upper(p.Next().text));
        } while (p.AcceptOp(","));
      }
      return s;
    }
    if (p.AcceptKw("WHILE")) {
      auto s = Make(Stmt::While, pos);
      s->cond = p.Expression();
      s->body.push_back(One());
      return s;
    }
    if (p.AcceptKw("IF")) {
      auto s = Make(Stmt::If, pos);
      s->cond = p.Expression();
      s->body.push_back(One());
      p.AcceptOp(";");
      if (p.AcceptKw("ELSE")) s->body.push_back(One());
      return s;
    }
    if (p.AcceptKw("BEGIN")) {
      if (p.AcceptKw("TRAN") || p.AcceptKw("TRANSACTION")) {
        auto s = Make(Stmt::Begin, pos);
        if (p.IsNameToken()) p.Next();
        return s;
      }
      if (p.Kw("TRY")) ThrowUnsupported("BEGIN TRY");
      auto s = Make(Stmt::Block, pos);
      while (!p.Kw("END")) {
        if (p.AtEnd()) p.Fail();
        if (p.AcceptOp(";")) continue;
        s->body.push_back(One());
      }
      p.ExpectKw("END");
      return s;
    }
    if (p.AcceptKw("COMMIT") || p.AcceptKw("ROLLBACK")) {
      bool commit = IsKw(t, "COMMIT");
      auto s = Make(commit ? Stmt::Commit : Stmt::Rollback, pos);
      if (p.AcceptKw("TRAN") || p.AcceptKw("TRANSACTION") || p.AcceptKw("WORK")) {
        if (p.IsNameToken()) p.Next();
      }
      return s;
    }
    if (p.AcceptKw("EXEC") || p.AcceptKw("EXECUTE")) return Exec(pos);
    if (p.AcceptKw("PRINT")) {
      auto s = Make(Stmt::Print, pos);
      s->exprs.push_back(p.Expression());
      return s;
    }
    if (p.AcceptKw("RETURN")) return Make(Stmt::Return, pos);
    if (p.AcceptKw("CREATE")) {
      if (p.AcceptKw("DATABASE")) {
        auto s = Make(Stmt::CreateDatabase, pos);
        s->name2 = p.Name();
        if (p.AcceptKw("COLLATE")) s->keyword = p.Name();
        return s;
      }
      if (p.AcceptKw("TABLE")) return CreateTable(pos);
      if (p.AcceptKw("UNIQUE")) return CreateIndex(pos, true);
      if (p.Kw("CLUSTERED") || p.Kw("NONCLUSTERED") || p.Kw("INDEX")) return CreateIndex(pos, false);
      if (p.AcceptKw("STATISTICS")) {
        auto s = Make(Stmt::CreateIndex, pos);
        s->index.statistics = true;
        s->index.name = p.Name();
        p.ExpectKw("ON");
        s->index.table = p.MultiName();
        s->index.cols = KeyCols();
        SkipWithOptions();
        return s;
      }
      if (p.AcceptKw("ROLE")) {
        auto s = Make(Stmt::CreateRole, pos);
        s->name2 = p.Name();
        if (p.AcceptKw("AUTHORIZATION")) p.Name();
        return s;
      }
      if (p.AcceptKw("LOGIN")) {
        auto s = Make(Stmt::CreateLogin, pos);
        s->name2 = p.Name();
        p.ExpectKw("WITH");
        do {
          std::string opt = Upper(p.Name());
          p.ExpectOp("=");
          const Token& v = p.Next();
          if (opt == "PASSWORD") s->keyword = v.text;
          else if (opt == "DEFAULT_DATABASE") s->names.push_back(v.text);
          if (opt == "PASSWORD") {
            while (p.Kw("MUST_CHANGE") || p.Kw("HASHED")) p.Next();
          }
        } while (p.AcceptOp(","));
        return s;
      }
      if (p.AcceptKw("USER")) {
        auto s = Make(Stmt::CreateUser, pos);
        s->name2 = p.Name();
        if (p.AcceptKw("FOR") || p.AcceptKw("FROM")) {
          p.ExpectKw("LOGIN");
          s->keyword = p.Name();
        } else if (p.AcceptKw("WITHOUT")) {
          p.ExpectKw("LOGIN");
        }
        if (p.AcceptKw("WITH")) {
          p.Name();
          p.ExpectOp("=");
          p.Name();
        }
        return s;
      }
      if (p.Kw("VIEW") || p.Kw("PROCEDURE") || p.Kw("PROC") || p.Kw("FUNCTION") || p.Kw("TRIGGER")) {
        if (!wasFirst) {
          throw SqlError(111, "'CREATE " + Upper(p.Peek().text) + "' must be the first statement in a query batch.", 15);
        }
        return Module(pos, false);
      }
      ThrowUnsupported("CREATE " + p.Peek().text);
    }
    if (p.AcceptKw("ALTER")) {
      if (p.AcceptKw("TABLE")) return AlterTable(pos);
      if (p.Kw("VIEW") || p.Kw("PROCEDURE") || p.Kw("PROC") || p.Kw("FUNCTION") || p.Kw("TRIGGER")) {
        if (!wasFirst) {
          throw SqlError(111, "'ALTER " + Upper(p.Peek().text) + "' must be the first statement in a query batch.", 15);
        }
        return Module(pos, true);
      }
      ThrowUnsupported("ALTER " + p.Peek().text);
    }
    if (p.AcceptKw("DROP")) {
      if (p.AcceptKw("INDEX")) {
        auto s = Make(Stmt::DropIndex, pos);
        do {
          std::vector<std::string> n = p.MultiName();
          if (p.AcceptKw("ON")) {
            std::vector<std::string> t2 = p.MultiName();
            t2.push_back(n.back());
            n = t2;
          }
          if (n.size() < 2) throw SqlError(159, "Must specify the table name and index name for the DROP INDEX statement.", 15);
          s->rows.push_back({});
          for (auto& part : n) {
            auto e = std::make_shared<Expr>();
            e->text = part;
            s->rows.back().push_back(e);
          }
        } while (p.AcceptOp(","));
        return s;
      }
      auto s = Make(Stmt::Drop, pos);
      std::string kind = Upper(p.Next().text);
      if (kind == "PROC") kind = "PROCEDURE";
      if (kind != "TABLE" && kind != "VIEW" && kind != "PROCEDURE" && kind != "FUNCTION" && kind != "TRIGGER" &&
          kind != "ROLE" && kind != "USER" && kind != "LOGIN" && kind != "DATABASE" && kind != "STATISTICS")
        ThrowUnsupported("DROP " + kind);
      s->keyword = kind;
      if (p.Kw("IF") && p.Kw("EXISTS", 1)) {
        p.Next();
        p.Next();
        s->flag = true;
      }
      do {
        std::vector<std::string> n = p.MultiName();
        s->rows.push_back({});
        for (auto& part : n) {
          auto e = std::make_shared<Expr>();
          e->text = part;
          s->rows.back().push_back(e);
        }
      } while (p.AcceptOp(","));
      return s;
    }
    if (p.AcceptKw("INSERT")) {
      auto s = Make(Stmt::Insert, pos);
      p.AcceptKw("INTO");
      s->name = p.MultiName();
      if (p.IsOp("(")) {
        p.Next();
        do s->names.push_back(p.Name());
        while (p.AcceptOp(","));
        p.ExpectOp(")");
      }
      if (p.AcceptKw("VALUES")) {
        do {
          p.ExpectOp("(");
          std::vector<ExprP> row;
          do {
            if (p.AcceptKw("DEFAULT")) row.push_back(nullptr);
            else row.push_back(p.Expression());
          } while (p.AcceptOp(","));
          p.ExpectOp(")");
          s->rows.push_back(std::move(row));
        } while (p.AcceptOp(","));
      } else if (p.Kw("SELECT")) {
        s->select = p.ParseSelect();
      } else if (p.AcceptKw("DEFAULT")) {
        p.ExpectKw("VALUES");
        s->rows.push_back({});
      } else {
        p.Fail();
      }
      return s;
    }
    if (p.AcceptKw("UPDATE")) {
      auto s = Make(Stmt::Update, pos);
      s->name = p.MultiName();
      p.ExpectKw("SET");
      do {
        if (p.Peek().kind == Tok::Var) ThrowUnsupported("UPDATE ... SET @variable");
        std::vector<std::string> col = p.MultiName();
        s->names.push_back(col.back());
        p.ExpectOp("=");
        s->exprs.push_back(p.Expression());
      } while (p.AcceptOp(","));
      if (p.Kw("FROM")) ThrowUnsupported("UPDATE ... FROM");
      if (p.AcceptKw("WHERE")) s->cond = p.Expression();
      return s;
    }
    if (p.AcceptKw("DELETE")) {
      auto s = Make(Stmt::Delete, pos);
      p.AcceptKw("FROM");
      s->name = p.MultiName();
      if (p.Kw("FROM")) ThrowUnsupported("DELETE ... FROM ... FROM");
      if (p.AcceptKw("WHERE")) s->cond = p.Expression();
      return s;
    }
    if (p.AcceptKw("GRANT")) {
      auto s = Make(Stmt::Grant, pos);
      std::string perm;
      while (!p.Kw("ON") && !p.Kw("TO") && !p.AtEnd()) {
        const Token& w = p.Next();
        if (w.kind == Tok::Op && w.text == ",") perm += ",";
        else perm += (perm.empty() || perm.back() == ',' ? "" : " ") + Upper(w.text);
      }
      s->keyword = perm;
      if (p.AcceptKw("ON")) {
        if (p.Kw("OBJECT") && p.IsOp("::", 1)) {
          p.Next();
          p.Next();
        }
        s->name = p.MultiName();
      }
      p.ExpectKw("TO");
      do s->names.push_back(p.Name());
      while (p.AcceptOp(","));
      if (p.Kw("WITH")) {
        p.Next();
        p.Next();
        p.Next();
      }
      return s;
    }
    if (p.Kw("ENABLE") || p.Kw("DISABLE")) {
      auto s = Make(Stmt::EnableTrigger, pos);
      s->flag = p.Kw("ENABLE");
      p.Next();
      p.ExpectKw("TRIGGER");
      if (p.AcceptKw("ALL")) s->flag2 = true;
      else {
        do s->names.push_back(p.Name());
        while (p.AcceptOp(","));
      }
      p.ExpectKw("ON");
      if (p.Kw("DATABASE") || p.Kw("ALL")) ThrowUnsupported("DDL triggers");
      s->name = p.MultiName();
      return s;
    }
    if (wasFirst && p.IsNameToken()) return Exec(pos);  // a procedure call without EXEC
    if (t.kind == Tok::Ident) ThrowUnsupported(t.text);
    p.Fail();
  }
};

std::vector<StmtP> Parser::Statements() {
  StmtParser sp{*this};
  std::vector<StmtP> out;
  while (!AtEnd()) {
    if (AcceptOp(";")) continue;
    StmtP s = sp.One();
    s->end = Peek().pos;
    out.push_back(s);
  }
  return out;
}

Batch ParseBatch(const std::string& text, bool quotedIdentifier) {
  Parser p(text, quotedIdentifier);
  Batch b;
  b.text = text;
  b.stmts = p.Statements();
  b.paramCount = p.ParamCount();
  return b;
}

}  // namespace sqlsim
