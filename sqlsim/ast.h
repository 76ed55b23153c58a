// Syntax tree of the T-SQL subset the simulator understands: expressions,
// SELECT, and the statements of a batch.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace sqlsim {

struct Expr;
struct Select;
struct Stmt;
using ExprP = std::shared_ptr<Expr>;
using SelectP = std::shared_ptr<Select>;
using StmtP = std::shared_ptr<Stmt>;

// A data type as written: name in lower case ("int", "nvarchar", "sysname").
struct TypeSpec {
  std::string name;
  bool hasLength = false;
  int length = 0;       // characters or bytes as written; -1 for MAX
  bool hasPrec = false;
  int prec = 0, scale = 0;
};

struct Expr {
  enum Kind {
    Number, String, Null, Column, Star, Var, SysVar, Param, Unary, Binary, Func,
    Case, Cast, In, Like, Between, IsNull, Exists, Subquery, Paren
  };
  Kind kind = Null;
  std::string text;                 // literal text, operator, function name, variable name
  bool national = false;            // N'..'
  bool negated = false;             // NOT IN / NOT LIKE / IS NOT NULL / NOT BETWEEN
  std::vector<std::string> parts;   // column reference parts / star qualifier
  std::vector<ExprP> args;          // operands, arguments, IN list, CASE parts
  ExprP caseOperand, caseElse;      // CASE x WHEN ...; ELSE
  SelectP sub;                      // IN (SELECT), EXISTS, scalar subquery
  TypeSpec type;                    // CAST/CONVERT target
  int param = 0;                    // 0-based index of a `?` marker
};

struct SelectItem {
  ExprP expr;                       // Star expression for * and t.*
  std::string alias;
  bool hasAlias = false;
};

struct TableRef;
using TableRefP = std::shared_ptr<TableRef>;
struct TableRef {
  enum Kind { Named, Derived, Join } kind = Named;
  std::vector<std::string> name;    // [db.][schema.]object
  std::string alias;
  SelectP sub;
  std::string joinType;             // INNER, LEFT, RIGHT, FULL, CROSS
  TableRefP left, right;
  ExprP on;
};

struct Select {
  bool distinct = false;
  ExprP top;
  bool topPercent = false;
  std::vector<SelectItem> items;
  std::vector<TableRefP> from;      // comma-separated sources
  ExprP where;
  std::vector<ExprP> groupBy;
  ExprP having;
  std::vector<std::pair<ExprP, bool>> orderBy;  // expression, descending
  SelectP unionNext;
  bool unionAll = false;
};

struct ConstraintDef {
  enum Kind { PrimaryKey, Unique, ForeignKey, Check, Default } kind = Check;
  std::string name;                 // empty: the server makes one up
  bool clusteredSet = false, clustered = false;
  std::vector<std::pair<std::string, bool>> cols;  // key columns with DESC; FK columns
  std::vector<std::string> refTable;
  std::vector<std::string> refCols;
  bool deleteCascade = false, updateCascade = false, notForRepl = false;
  ExprP expr;                       // CHECK condition / DEFAULT value
  std::string column;               // DEFAULT ... FOR column; column of an inline constraint
  bool withValues = false;          // DEFAULT ... WITH VALUES: a new nullable column's rows get it too
  std::string filegroup;
};

struct ColumnDef {
  std::string name;
  TypeSpec type;
  std::string collation;
  int nullable = -1;                // -1 not said, 0 NOT NULL, 1 NULL
  bool identity = false;
  long long seed = 1, incr = 1;
  bool rowguid = false;
  ExprP computed;                   // AS expression
  std::vector<ConstraintDef> constraints;
};

struct IndexDef {
  std::string name;
  bool unique = false, clustered = false;
  std::vector<std::string> table;
  std::vector<std::pair<std::string, bool>> cols;
  std::vector<std::string> include;
  std::string filegroup;
  bool statistics = false;
};

struct Stmt {
  enum Kind {
    Query, Use, SetOption, SetVar, SetIdentityInsert, Declare, DeclareCursor, Open, Fetch, Close,
    Deallocate, While, If, Block, Exec, ExecString, Print, CreateDatabase, CreateTable, CreateIndex,
    CreateModule, CreateRole, CreateLogin, CreateUser, AlterTable, Drop, DropIndex, Insert, Update,
    Delete, Grant, Begin, Commit, Rollback, EnableTrigger, Return, Noop
  };
  Kind kind = Noop;
  std::size_t pos = 0, end = 0;     // byte range in the batch
  std::string keyword;              // sub-kind: option name, DROP object kind, ALTER TABLE action...
  std::vector<std::string> name;    // object name parts
  std::string name2;                // second name: cursor, column, constraint, principal...
  bool flag = false;                // ON/OFF, NOCHECK, ENABLE, ...
  bool flag2 = false;               // ...; a module WITH ENCRYPTION
  SelectP select;
  ExprP cond;                       // WHILE/IF condition, WHERE of UPDATE/DELETE
  std::vector<ExprP> exprs;         // SET values, EXEC arguments, FETCH targets...
  std::vector<std::string> names;   // column list, variable names, argument names...
  std::vector<TypeSpec> types;      // DECLARE types
  std::vector<std::vector<ExprP>> rows;  // INSERT VALUES
  std::vector<ColumnDef> columns;
  std::vector<ConstraintDef> constraints;
  IndexDef index;
  std::vector<StmtP> body;          // block / loop body; IF: body[0] then, body[1] else; module: statements to compile
  std::string moduleType;           // V, P, FN, TF, IF, TR
  bool alter = false;
  std::vector<std::string> parent;  // trigger table
  std::size_t alterPos = 0;         // where the word ALTER stands in the batch
};

}  // namespace sqlsim
