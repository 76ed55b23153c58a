// Checks of procedure, function and trigger texts at CREATE/ALTER.
//
// At parse time the module's tokens are checked as SQL Server's parser
// would: the header parts, balanced parentheses, BEGIN/END blocks (CASE
// consumes an END, BEGIN TRAN is no block, BEGIN TRY/CATCH end with END
// TRY/CATCH) and a body that is not empty. At creation the statements of the
// body that the simulator's own parser understands are compiled against the
// catalog: a statement whose tables all exist must name only their columns
// (207); a statement naming a missing or temporary table is left for run time,
// as SQL Server's deferred name resolution does. Anything the simulator cannot
// judge is accepted.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sqlsim/ast.h"
#include "sqlsim/lexer.h"

namespace sqlsim {

class Engine;
class Database;

struct ModuleHeader {
  std::size_t body = 0;   // index of the body's first token
  std::string type;       // P, FN, IF, TF or TR
  bool insteadOf = false; // a trigger declared INSTEAD OF
};

// Checks the header of a procedure (kind "P"), function ("FN") or trigger
// ("TR") from token `at`, the first token after the module's name (after the
// trigger's table for a trigger), and then its body up to the end of the
// batch. Returns where the body starts and the module type. Throws SqlError
// 102 (or 156 for a keyword) naming the token where the fault shows; at the end
// of the batch the last token is named.
ModuleHeader CheckModuleSyntax(const std::vector<Token>& toks, std::size_t at, const std::string& kind);

// Token indexes in the body (from `body` to the end) where a SELECT, INSERT,
// UPDATE, DELETE, EXEC, IF, WHILE, RETURN or SET @variable statement starts at
// parenthesis depth 0. Words that only continue another statement (INSERT
// after FOR/THEN/",", UPDATE in GRANT, SELECT after UNION, the SET of an
// UPDATE) are left out, and so is the statement that follows a WITH common
// table expression.
std::vector<std::size_t> StatementStarts(const std::vector<Token>& toks, std::size_t body);

// True when the token at `at` can follow a complete statement: the end of the
// batch, ";", a label, or a word that starts a statement or closes a block.
// A statement parsed up to any other token was only partly understood.
bool EndsStatement(const std::vector<Token>& toks, std::size_t at);

// Compiles the body statements the parser collected in `s.body` (queries,
// INSERT, UPDATE, DELETE and EXEC; IF/WHILE conditions, returned values and
// SET @v values as queries of their expression) with the
// module's variable names in `s.names`) against database `d`. Throws
// SqlError 207 for an unknown column of a statement whose tables all exist;
// adds message 2007 (severity 10) to the engine's information messages for a
// procedure the body runs that does not exist. Everything else is accepted.
void CompileModule(Engine& eng, Database& d, const Stmt& s);

}  // namespace sqlsim
