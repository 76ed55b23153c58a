// Test helpers: a temporary folder that is removed afterwards, the small
// template of tests/data/templates built into it, and a snapshot of a
// table's rows for checking exactly which rows a write changed.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "db/db.h"
#include "sqlite/template_builder.h"
#include "sqlite/template_connection.h"

namespace testutil {

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("zr_h1_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(File(name), std::ios::binary) << content;
  }

 private:
  std::filesystem::path path_;
};

inline std::string SmallScript() {
  return std::string(ZR_SOURCE_DIR) + "/tests/data/templates/small.sql";
}

// Builds the small template at `path` and returns an open connection to it.
inline std::unique_ptr<db::Connection> OpenSmallTemplate(const std::string& path) {
  sqlite::BuildTemplate(SmallScript(), path);
  auto conn = sqlite::MakeTemplateConnection();
  db::ConnectParams p;
  p.dataSource = path;
  conn->Open(p);
  return conn;
}

// Every row of `table` keyed by its SQLite row number, each as column ->
// text (NULL as "<null>").
using Snapshot = std::map<std::int64_t, std::map<std::string, std::string>>;
inline Snapshot TakeSnapshot(db::Connection& conn, const std::string& table) {
  db::Statement st;
  st.text = "SELECT _rowid_ AS zr_rid, * FROM " + table;
  db::ResultSet rs = conn.Execute(st);
  Snapshot snap;
  for (const auto& row : rs.rows) {
    auto& cols = snap[row[0].AsInteger()];
    for (std::size_t c = 1; c < row.size(); ++c) cols[rs.columns[c]] = row[c].IsNull() ? "<null>" : row[c].AsString();
  }
  return snap;
}

// The cells that differ between two snapshots of one table, as
// "rowid.column: old -> new".
inline std::vector<std::string> Changes(const Snapshot& before, const Snapshot& after) {
  std::vector<std::string> out;
  for (const auto& [rid, cols] : after) {
    auto b = before.find(rid);
    for (const auto& [col, val] : cols) {
      std::string old = b == before.end() ? "<no row>" : b->second.at(col);
      if (old != val) out.push_back(std::to_string(rid) + "." + col + ": " + old + " -> " + val);
    }
  }
  for (const auto& [rid, cols] : before)
    if (!after.count(rid)) out.push_back(std::to_string(rid) + ": deleted");
  return out;
}

}  // namespace testutil

namespace db {
// Readable values in test failure messages.
inline void PrintTo(const Value& v, std::ostream* os) {
  static const char* const kinds[] = {"Null", "Int", "Real", "Str", "Date"};
  *os << kinds[static_cast<int>(v.kind())] << "(" << v.AsString() << ")";
}
}  // namespace db
