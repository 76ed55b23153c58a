#include "sqlsim/errors.h"

namespace sqlsim {

static std::string FirstText(const std::vector<SqlMessage>& m) { return m.empty() ? std::string() : m.front().text; }

SqlError::SqlError(std::vector<SqlMessage> msgs) : std::runtime_error(FirstText(msgs)), msgs_(std::move(msgs)) {}

SqlError::SqlError(int number, std::string text, int severity)
    : std::runtime_error(text), msgs_{{number, severity, std::move(text)}} {}

SqlError& SqlError::Then(int number, std::string text, int severity) {
  msgs_.push_back({number, severity, std::move(text)});
  return *this;
}

std::string FormatMessages(const std::vector<SqlMessage>& msgs) {
  std::string r;
  for (const auto& m : msgs) {
    if (!r.empty()) r += "\n";
    r += "[Sim][SQL Server]" + m.text + " (" + std::to_string(m.number) + ")";
  }
  return r;
}

void ThrowInvalidObject(const std::string& name) { throw SqlError(208, "Invalid object name '" + name + "'."); }
void ThrowInvalidColumn(const std::string& name) { throw SqlError(207, "Invalid column name '" + name + "'."); }
void ThrowSyntax(const std::string& near) {
  throw SqlError(102, "Incorrect syntax near '" + near + "'.", 15);
}
void ThrowUnsupported(const std::string& what) {
  throw SqlError(50000, "The simulator does not support this statement: " + what, 16);
}

}  // namespace sqlsim
