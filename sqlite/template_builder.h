// Builds a template file from a readable description: a script of plain
// SQL statements (INSERT, and UPDATE or DELETE where that reads better)
// into the template tables, with -- and /* */ comments allowed. The script
// is SQLite's own SQL, not the template statements' dialect: texts stand in
// single quotes and the column "Collate" in double quotes.
#pragma once

#include <stdexcept>
#include <string>

namespace sqlite {

// Creates `outPath` as a new SQLite 3 file with the template DDL and runs
// the script at `scriptPath` on it in one transaction. The file is written
// under a temporary name and renamed at the end, so a failure leaves no
// half-built template (and an existing `outPath` untouched).
// Throws std::runtime_error with a clear message when `outPath` exists and
// `overwrite` is false, when the script cannot be read, when a statement
// fails or is not INSERT/UPDATE/DELETE/REPLACE (the message gives the
// script's name and the statement's line), or when the script leaves any
// work-state flag other than 0 (a fresh template holds 0 in all of them).
void BuildTemplate(const std::string& scriptPath, const std::string& outPath, bool overwrite = false);

}  // namespace sqlite
