// The headless front end's command line: the program's switches ("/S",
// "/L", "/P", "/D", compared by their first two characters upper-cased) and
// long options. Parsing never exits; the caller prints errors.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/login.h"

namespace cli {

struct Options {
  std::vector<std::string> params;          // every argument as given (the switches' count rule)
  app::LoginSwitches switches;              // "/S" "/L" "/P" merged with the long options
  std::optional<std::string> database;      // --database, or "/D"
  std::string templatePath, reportsFolder, prefsFile;
  bool listQueries = false, run = false, help = false, version = false;
};

// Fills `out` from argv[1..]. Returns "" on success, else the usage error.
// Long options take their value as the next argument or after "=".
// "/S", "/L", "/P" and "/D" are honoured only with at least two arguments,
// as in the windowed program; the long options always. A password comes
// from --password, else "/P", else the environment variable
// ZURARARUDUD_PASSWORD.
std::string ParseOptions(const std::vector<std::string>& args, const char* passwordEnv, Options& out);

// The --help text.
std::string UsageText();

}  // namespace cli
