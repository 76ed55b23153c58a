// Reads the shape of a SELECT so the template adapter can tell which base
// table row each result row came from: the tables named in its FROM clause
// (aliases included) and where extra result columns may be inserted.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sqlite {

// One table named in a FROM clause, names as written (delimiters removed):
// its schema when qualified, the table, and its alias when it has one.
struct FromTable {
  std::string schema;
  std::string table;
  std::string alias;
};

struct SelectShape {
  // False when the statement is no plain SELECT whose rows map one to one to
  // base rows (DISTINCT, GROUP BY, a compound SELECT, no FROM...).
  bool keyable = false;
  // Byte offset of the top-level FROM: extra select-list items go before it.
  std::size_t fromPos = 0;
  // Tables of the top-level FROM in order; subqueries are left out.
  std::vector<FromTable> tables;
};

// Analyses one statement (already in SQLite dialect). Never fails: anything
// it does not understand gives keyable = false.
SelectShape AnalyzeSelect(const std::string& sql);

}  // namespace sqlite
