// The SQL Server simulator (`sim:FILE`): the public face of sqlsim.
//
// Design: the T-SQL subset is parsed into a syntax tree by our own parser;
// SELECTs are emitted as SQLite SQL over a catalog kept in SQLite tables
// (indexed on ids, names and parent ids) with the system tables and catalog
// views as SQLite views; T-SQL functions are SQLite user functions, text
// compares without regard to case, `+` on text concatenates, TOP becomes
// LIMIT and `alias = expr` becomes `expr AS alias`. DDL, the catalog rules
// and SQL Server's refusals (numbers and messages) are C++ code working on
// the catalog tables. User-table rows live in SQLite tables as well.
//
// A script (see docs/simulator.md) loads a server: databases, logins,
// objects and rows, plus `-- sim:` directives. Canonical() writes the model
// back as a deterministic script that loads again to the same model.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/db.h"
#include "sqlsim/errors.h"

namespace sqlsim {

class Engine;

// An injected failure: the `nth` batch whose text contains `match`
// (ignoring case) fails with `number` and `message`.
struct FailureRule {
  int nth = 1;
  std::string match;
  int number = 50000;
  std::string message;
  int seen = 0;
};

struct Directives {
  int version = 15;               // server major version (8 selects the old catalog paths)
  bool refuseLogin = false;       // every login is refused (18456)
  std::string login, password;    // when set, only this login and password are accepted
  std::vector<FailureRule> failures;
  int loseConnectionAfter = -1;   // batches served before the link drops; -1 never
  int latencyMs = 0;              // added to every round trip
};

class Server {
 public:
  Server();
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Loads a script: directives, then its GO-separated batches run in order.
  // Throws SqlError naming the batch that failed. Counters start at 0 after.
  void Load(const std::string& script);
  // The whole server as a canonical script (databases, logins, then per
  // database its roles, tables, keys, indexes, rows, modules, grants).
  std::string Canonical() const;

  // Checks a login against the directives; throws SqlError 18456.
  void Login(const std::string& user, const std::string& password);
  // Runs one batch with `?` markers bound in order. Applies injected
  // failures, latency and the connection-loss directive (throws
  // ConnectionLost). Throws SqlError when the server refuses.
  db::ResultSet Execute(const std::string& batch, const std::vector<db::Value>& params = {});
  // Transactions on the current database.
  void BeginTrans();
  void CommitTrans();
  void RollbackTrans();

  // The messages of severity 10 or less that the last batch raised besides
  // its rows (USE 5701, SET LANGUAGE 5703, PRINT as number 0...), in order.
  // A real server sends them as information; they never make a batch fail.
  const std::vector<SqlMessage>& InfoMessages() const;

  std::string CurrentDatabase() const;
  void SetLanguage(const std::string& language);

  Directives& directives() { return dirs_; }
  std::uint64_t RoundTrips() const;
  std::uint64_t Statements() const;
  void ResetCounters();
  // Called with the text of every batch received (nullptr: no trace).
  void SetTrace(std::function<void(const std::string&)> trace);

  Engine& engine() { return *engine_; }

 private:
  std::unique_ptr<Engine> engine_;
  Directives dirs_;
  int served_ = 0;
};

// The link to the simulated server is gone (connection-loss directive).
class ConnectionLost : public std::runtime_error {
 public:
  ConnectionLost() : std::runtime_error("[Sim]Communication link failure: the connection to the server was lost.") {}
};

// Splits a script into batches at lines that hold only GO.
std::vector<std::string> SplitBatches(const std::string& script);

// The OLE DB code the program sees for a server refusal.
std::uint32_t OleCodeFor(const SqlError& e);

// Connections: `Open` with dataSource "sim:FILE" loads FILE (0x80004005 when
// missing, 0x80040E4D with 18456 when the directives refuse the login) and
// `Close` writes the canonical script back to FILE. Errors reach the caller
// as db::OleError with the message "[Sim][SQL Server]text (number)".
std::unique_ptr<db::Connection> MakeSimConnection();
// A connection to an in-memory server loaded from `script`; Open accepts
// any data source and Close writes nothing. `server` (optional) receives
// the server so that tests can read counters and the canonical script.
std::unique_ptr<db::Connection> MakeSimConnectionFromText(const std::string& script, Server** server = nullptr);

}  // namespace sqlsim
