// Server messages of the simulator: SQL Server's numbers, severities and texts.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace sqlsim {

struct SqlMessage {
  int number = 0;
  int severity = 16;
  std::string text;
};

// A statement refused by the simulated server; carries every message the
// server raised for it, in order (for example 1776 then 1750).
class SqlError : public std::runtime_error {
 public:
  explicit SqlError(std::vector<SqlMessage> msgs);
  SqlError(int number, std::string text, int severity = 16);
  const std::vector<SqlMessage>& messages() const { return msgs_; }
  int number() const { return msgs_.empty() ? 0 : msgs_.front().number; }
  // Adds a message after the others (a summary such as 1750 or 3621).
  SqlError& Then(int number, std::string text, int severity = 16);

 private:
  std::vector<SqlMessage> msgs_;
};

// "[Sim][SQL Server]text (number)" for each message, joined by line breaks.
std::string FormatMessages(const std::vector<SqlMessage>& msgs);

// Frequently raised refusals.
[[noreturn]] void ThrowInvalidObject(const std::string& name);            // 208
[[noreturn]] void ThrowInvalidColumn(const std::string& name);            // 207
[[noreturn]] void ThrowSyntax(const std::string& near);                   // 102
[[noreturn]] void ThrowUnsupported(const std::string& what);              // 50000

}  // namespace sqlsim
