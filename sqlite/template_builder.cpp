#include "sqlite/template_builder.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "sqlite/sql_scan.h"
#include "sqlite/template_schema.h"

namespace sqlite {

namespace {

struct DbCloser {
  void operator()(sqlite3* d) const { sqlite3_close_v2(d); }
};
using DbPtr = std::unique_ptr<sqlite3, DbCloser>;

struct StmtDeleter {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

void Exec(sqlite3* d, const std::string& sql, const std::string& what) {
  char* err = nullptr;
  if (sqlite3_exec(d, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errmsg(d);
    sqlite3_free(err);
    throw std::runtime_error(what + ": " + msg);
  }
}

int LineAt(const std::string& text, std::size_t offset) {
  int line = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i)
    if (text[i] == '\n') ++line;
  return line;
}

void RunScript(sqlite3* d, const std::string& script, const std::string& name) {
  const char* base = script.c_str();
  const char* p = base;
  const char* end = base + script.size();
  while (p < end) {
    // Locate the statement's first word for the line number and the check.
    const std::string rest(p, end);
    const auto toks = scan::Tokenize(rest);
    if (toks.empty()) break;
    const std::size_t start = static_cast<std::size_t>(p - base) + toks[0].begin;
    const std::string where = name + ":" + std::to_string(LineAt(script, start));
    const auto& first = toks[0];
    if (!scan::IsWord(rest, first, "INSERT") && !scan::IsWord(rest, first, "UPDATE") &&
        !scan::IsWord(rest, first, "DELETE") && !scan::IsWord(rest, first, "REPLACE") &&
        !scan::IsPunct(rest, first, ';'))
      throw std::runtime_error(where + ": only INSERT, UPDATE and DELETE statements may describe a template, not '" +
                               rest.substr(first.begin, first.end - first.begin) + "'");
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(d, p, static_cast<int>(end - p), &raw, &tail) != SQLITE_OK)
      throw std::runtime_error(where + ": " + sqlite3_errmsg(d));
    StmtPtr s(raw);
    p = tail;
    if (!raw) continue;
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) throw std::runtime_error(where + ": " + sqlite3_errmsg(d));
  }
}

void CheckFresh(sqlite3* d, const std::string& name) {
  for (const auto& wc : WorkStateColumns()) {
    std::string sql = std::string("SELECT count(*) FROM ") + wc.table + " WHERE " + wc.column + " <> 0";
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(d, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK)
      throw std::runtime_error(name + ": " + sqlite3_errmsg(d));
    StmtPtr s(raw);
    if (sqlite3_step(raw) == SQLITE_ROW && sqlite3_column_int64(raw, 0) > 0)
      throw std::runtime_error(name + ": a fresh template holds 0 in every work-state column, but " + wc.table + "." +
                               wc.column + " is set in " + std::to_string(sqlite3_column_int64(raw, 0)) + " row(s)");
  }
}

}  // namespace

void BuildTemplate(const std::string& scriptPath, const std::string& outPath, bool overwrite) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(outPath, ec) && !overwrite)
    throw std::runtime_error("'" + outPath + "' already exists; it is not overwritten");
  if (fs::exists(outPath, ec) && !fs::is_regular_file(outPath, ec))
    throw std::runtime_error("'" + outPath + "' is not a regular file");

  std::ifstream in(scriptPath, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read the template description '" + scriptPath + "'");
  std::stringstream buf;
  buf << in.rdbuf();
  const std::string script = buf.str();

  const std::string part = outPath + ".part";
  fs::remove(part, ec);
  try {
    {
      sqlite3* raw = nullptr;
      int rc = sqlite3_open_v2(part.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
      DbPtr d(raw);
      if (rc != SQLITE_OK)
        throw std::runtime_error("cannot create '" + part + "': " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
      // One transaction for tables and content: one commit writes the file.
      Exec(d.get(), "BEGIN", part);
      for (const auto& stmt : TemplateDdl()) Exec(d.get(), stmt, "template tables");
      RunScript(d.get(), script, scriptPath);
      CheckFresh(d.get(), scriptPath);
      Exec(d.get(), "COMMIT", part);
    }
    fs::rename(part, outPath);
  } catch (...) {
    fs::remove(part, ec);
    throw;
  }
}

}  // namespace sqlite
