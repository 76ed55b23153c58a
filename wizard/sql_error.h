// Helpers of the failed-statement handling (TF_Main::ReportSqlError, in
// sql_error.cpp): the repair editor's "&Ponów" and "&Zapisz", and the saved
// statement files in the reports folder.
#pragma once

#include <string>
#include <vector>

#include "wizard/main_form.h"

namespace wizard {

// UTF-8 to Windows code page 1250 (the ANSI code page of Polish Windows):
// every character without a cp1250 form, and every malformed byte, becomes
// '?'.
std::string Utf8ToCp1250(const std::string& utf8);

// "Obiekt_bazy_" + "dd-MM-yyyy HH:mm:ss" + ".SQL" with every ":" and blank
// turned into "_", e.g. "Obiekt_bazy_09-12-2026_14_05_33.SQL".
std::string StatementFileName(const db::DateTime& now);

// Writes `lines` to `path`, each ended by CR LF, in cp1250, replacing a file
// of that name. Throws std::runtime_error with the system's reason.
void WriteStatementFile(const std::string& path, const std::vector<std::string>& lines);

// "&Zapisz": writes the statement as StatementFileName(now) in `folder`
// (replacing a file of the same name) and returns the path. Throws
// std::runtime_error when the file cannot be written.
std::string SaveStatement(const std::string& folder, const db::DateTime& now, const std::vector<std::string>& lines);

// The same under a name that never replaces an existing file: the first
// free of NAME.SQL, NAME_2.SQL, NAME_3.SQL ... Used by the headless front end.
std::string SaveStatementUnique(const std::string& folder, const db::DateTime& now,
                                const std::vector<std::string>& lines);

// "&Ponów": runs `lines` on a query object of its own on the server
// connection; nothing for a text that is empty or blank. Shows "Poprawnie
// uaktualniono dany obiekt" (warning) on success, "(%x) %s" or the error's
// message (error) on failure. Returns true when the statement ran.
bool RetryStatement(TF_Main& f, const std::vector<std::string>& lines);

}  // namespace wizard
