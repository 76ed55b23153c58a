// zr-sim: prints the canonical script of a simulator script, or runs one
// batch against it.
//   zr-sim --canonical FILE
//   zr-sim --query FILE "BATCH" ["BATCH"...]   (each batch in turn on one
//   connection; the rows of every batch that returns some, tab-separated;
//   information messages on standard error)
#include <fstream>
#include <iostream>
#include <sstream>

#include "sqlsim/server.h"

int main(int argc, char** argv) {
  if (argc < 3 || (std::string(argv[1]) != "--canonical" && std::string(argv[1]) != "--query") ||
      (std::string(argv[1]) == "--query" && argc < 4)) {
    std::cerr << "usage: zr-sim --canonical FILE | --query FILE \"BATCH\" [\"BATCH\"...]\n";
    return 2;
  }
  std::ifstream in(argv[2], std::ios::binary);
  if (!in) {
    std::cerr << "zr-sim: cannot read " << argv[2] << "\n";
    return 2;
  }
  std::ostringstream ss;
  ss << in.rdbuf();
  sqlsim::Server s;
  try {
    s.Load(ss.str());
    if (std::string(argv[1]) == "--canonical") {
      std::cout << s.Canonical();
      return 0;
    }
    for (int b = 3; b < argc; ++b) {
      db::ResultSet rs = s.Execute(argv[b]);
      for (auto& m : s.InfoMessages()) std::cerr << m.text << (m.number ? " (" + std::to_string(m.number) + ")" : "") << "\n";
      if (rs.columns.empty()) continue;
      for (std::size_t i = 0; i < rs.columns.size(); ++i) std::cout << (i ? "\t" : "") << rs.columns[i];
      std::cout << "\n";
      for (auto& r : rs.rows) {
        for (std::size_t i = 0; i < r.size(); ++i) std::cout << (i ? "\t" : "") << (r[i].IsNull() ? "NULL" : r[i].AsString());
        std::cout << "\n";
      }
    }
  } catch (const sqlsim::SqlError& e) {
    std::cerr << sqlsim::FormatMessages(e.messages()) << "\n";
    return 1;
  }
  return 0;
}
