// The tables and columns of a template file, in one place: the DDL that
// the template builder runs on a new file, and the names of the work-state
// columns that a fresh template holds at 0.
#pragma once

#include <string>
#include <vector>

namespace sqlite {

// CREATE TABLE and CREATE INDEX statements for every template table, one
// statement per item, each runnable on its own.
const std::vector<std::string>& TemplateDdl();

// A work-state column of a template table.
struct WorkStateColumn {
  const char* table;
  const char* column;
};
// Every work-state column (Sprawdzone, ObiektIstnieje, PoleIstnieje,
// IndeksIstnieje of the tables that carry them).
const std::vector<WorkStateColumn>& WorkStateColumns();

}  // namespace sqlite
