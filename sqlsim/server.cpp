#include "sqlsim/server.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "sqlsim/engine.h"

namespace sqlsim {

Server::Server() : engine_(std::make_unique<Engine>()) {}
Server::~Server() = default;

std::vector<std::string> SplitBatches(const std::string& script) {
  std::vector<std::string> out;
  std::string cur;
  std::istringstream in(script);
  std::string line;
  bool inComment = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string t = line;
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.pop_back();
    std::size_t a = 0;
    while (a < t.size() && (t[a] == ' ' || t[a] == '\t')) ++a;
    t = t.substr(a);
    if (!inComment && Upper(t) == "GO") {
      out.push_back(cur);
      cur.clear();
      continue;
    }
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
      if (!inComment && line[i] == '-' && line[i + 1] == '-') break;
      if (!inComment && line[i] == '/' && line[i + 1] == '*') inComment = true, ++i;
      else if (inComment && line[i] == '*' && line[i + 1] == '/') inComment = false, ++i;
    }
    if (!cur.empty()) cur += "\r\n";
    cur += line;
  }
  out.push_back(cur);
  std::vector<std::string> r;
  for (auto& b : out) {
    bool blank = true;
    for (char c : b)
      if (!std::isspace((unsigned char)c)) blank = false;
    if (!blank) r.push_back(b);
  }
  return r;
}

static std::string Unquote(std::istringstream& in) {
  in >> std::ws;
  if (in.peek() != '"') {
    std::string w;
    in >> w;
    return w;
  }
  in.get();
  std::string r;
  char c;
  while (in.get(c) && c != '"') r += c;
  return r;
}

void Server::Load(const std::string& script) {
  std::istringstream lines(script);
  std::string line;
  while (std::getline(lines, line)) {
    std::size_t p = line.find("-- sim:");
    if (p == std::string::npos || line.find_first_not_of(" \t") != p) continue;
    std::istringstream in(line.substr(p + 7));
    std::string kw;
    in >> kw;
    kw = Upper(kw);
    if (kw == "VERSION") in >> dirs_.version;
    else if (kw == "REFUSE-LOGIN") dirs_.refuseLogin = true;
    else if (kw == "LOGIN") {
      dirs_.login = Unquote(in);
      dirs_.password = Unquote(in);
    } else if (kw == "FAIL") {
      FailureRule f;
      in >> f.nth;
      f.match = Unquote(in);
      in >> f.number;
      f.message = Unquote(in);
      dirs_.failures.push_back(f);
    } else if (kw == "LOSE-CONNECTION-AFTER") in >> dirs_.loseConnectionAfter;
    else if (kw == "LATENCY-MS") in >> dirs_.latencyMs;
    else throw SqlError(50002, "Unknown simulator directive: " + line);
  }
  engine_->majorVersion = dirs_.version;
  engine_->loading = true;
  int n = 0;
  try {
    for (const std::string& b : SplitBatches(script)) {
      ++n;
      engine_->RunBatch(b, {});
    }
  } catch (const SqlError& e) {
    engine_->loading = false;
    std::vector<SqlMessage> m = e.messages();
    m.push_back({50003, 16, "Script batch " + std::to_string(n) + " failed."});
    throw SqlError(m);
  }
  engine_->loading = false;
  engine_->current = engine_->Find("master");
  engine_->quotedIdentifier = true;
  engine_->dayFirst = true;
  ResetCounters();
}

void Server::Login(const std::string& user, const std::string& password) {
  bool ok = !dirs_.refuseLogin && (dirs_.login.empty() || (FoldCase(user) == FoldCase(dirs_.login) && password == dirs_.password));
  if (!ok) throw SqlError(18456, "Login failed for user '" + user + "'.", 14);
  engine_->loginName = user.empty() ? "sa" : user;
}

db::ResultSet Server::Execute(const std::string& batch, const std::vector<db::Value>& params) {
  if (dirs_.loseConnectionAfter >= 0 && served_ >= dirs_.loseConnectionAfter) throw ConnectionLost();
  ++served_;
  if (dirs_.latencyMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(dirs_.latencyMs));
  std::string folded = FoldCase(batch);
  for (FailureRule& f : dirs_.failures) {
    if (folded.find(FoldCase(f.match)) == std::string::npos) continue;
    if (++f.seen == f.nth) {
      ++engine_->roundTrips;
      if (engine_->trace) engine_->trace(batch);
      throw SqlError(f.number, f.message);
    }
  }
  return engine_->RunBatch(batch, params);
}

void Server::BeginTrans() { engine_->RunBatch("BEGIN TRANSACTION", {}); }
void Server::CommitTrans() { engine_->RunBatch("COMMIT TRANSACTION", {}); }
void Server::RollbackTrans() { engine_->RunBatch("ROLLBACK TRANSACTION", {}); }

std::string Server::CurrentDatabase() const { return engine_->current->name(); }
void Server::SetLanguage(const std::string& language) {
  std::string l = FoldCase(language);
  if (l.empty()) return;
  engine_->dayFirst = l == "polish" || l == "polski";
  engine_->language = engine_->dayFirst ? "polski" : "us_english";
  engine_->dateFirst = engine_->dayFirst ? 1 : 7;
}

const std::vector<SqlMessage>& Server::InfoMessages() const { return engine_->infoMessages; }

std::uint64_t Server::RoundTrips() const { return engine_->roundTrips; }
std::uint64_t Server::Statements() const { return engine_->statements; }
void Server::ResetCounters() {
  engine_->roundTrips = 0;
  engine_->statements = 0;
  served_ = 0;
}
void Server::SetTrace(std::function<void(const std::string&)> trace) { engine_->trace = std::move(trace); }

std::uint32_t OleCodeFor(const SqlError& e) {
  switch (e.number()) {
    case 547: case 2601: case 2627: case 1505: case 515: return db::code::kIntegrity;
    case 18456: return db::code::kLoginFailed;
    default: return db::code::kCommandError;
  }
}

// --- the db::Connection adapter ---

namespace {
class SimConnection : public db::Connection {
 public:
  SimConnection(std::string script, bool fromText) : script_(std::move(script)), fromText_(fromText) {}

  Server* server() { return server_.get(); }

  void Open(const db::ConnectParams& p) override {
    if (open_) throw db::OleError(db::code::kAlreadyOpen, "[Sim]The connection is already open.");
    std::string text = script_;
    if (!fromText_) {
      file_ = p.dataSource;
      if (file_.rfind("sim:", 0) == 0) file_ = file_.substr(4);
      std::ifstream in(file_, std::ios::binary);
      if (!in)
        throw db::OleError(db::code::kUnreachable, "[Sim]The simulated server cannot be reached: the script '" + file_ +
                                                       "' does not exist or cannot be read.");
      std::ostringstream ss;
      ss << in.rdbuf();
      text = ss.str();
    }
    if (!server_ || !fromText_) {
      server_ = std::make_unique<Server>();
      try {
        server_->Load(text);
      } catch (const SqlError& e) {
        server_.reset();
        throw db::OleError(db::code::kUnreachable, "[Sim]The simulator script could not be loaded: " + FormatMessages(e.messages()));
      }
    }
    try {
      server_->Login(p.userId, p.password);
      server_->SetLanguage(p.language);
      if (!p.initialCatalog.empty()) server_->Execute("USE [" + p.initialCatalog + "]");
      server_->ResetCounters();
    } catch (const SqlError& e) {
      throw db::OleError(OleCodeFor(e), FormatMessages(e.messages()));
    }
    lost_ = false;
    open_ = true;
  }

  void Close() override {
    if (!open_) return;
    open_ = false;
    if (!fromText_ && server_ && !file_.empty()) {
      std::ofstream out(file_, std::ios::binary | std::ios::trunc);
      out << server_->Canonical();
    }
  }

  bool IsOpen() const override { return open_; }

  void BeginTrans() override { Run([&] { server_->BeginTrans(); }); }
  void CommitTrans() override { Run([&] { server_->CommitTrans(); }); }
  void RollbackTrans() override { Run([&] { server_->RollbackTrans(); }); }

  db::ResultSet Execute(const db::Statement& st) override {
    db::ResultSet rs;
    Run([&] { rs = server_->Execute(st.text, st.params); });
    return rs;
  }

 private:
  template <class F>
  void Run(F f) {
    if (!open_ || lost_) {
      db::OleError e(db::code::kUnreachable, "[Sim]Communication link failure: the connection is not open.");
      if (lost_) e.MarkConnectionLost();
      throw e;
    }
    try {
      f();
    } catch (const SqlError& e) {
      throw db::OleError(OleCodeFor(e), FormatMessages(e.messages()));
    } catch (const ConnectionLost& e) {
      lost_ = true;
      db::OleError oe(db::code::kUnreachable, e.what());
      oe.MarkConnectionLost();
      throw oe;
    }
  }

  std::string script_;
  bool fromText_;
  std::string file_;
  std::unique_ptr<Server> server_;
  bool open_ = false, lost_ = false;
};
}  // namespace

std::unique_ptr<db::Connection> MakeSimConnection() { return std::make_unique<SimConnection>("", false); }

std::unique_ptr<db::Connection> MakeSimConnectionFromText(const std::string& script, Server** server) {
  auto c = std::make_unique<SimConnection>(script, true);
  if (server) {
    db::ConnectParams p;
    c->Open(p);
    c->Close();
    *server = c->server();
  }
  return c;
}

}  // namespace sqlsim
