#include "odbc/errors.h"

#include <algorithm>

namespace odbc {
namespace {

bool StartsWith(const std::string& s, const char* prefix) {
  return s.rfind(prefix, 0) == 0;
}

bool IsLoginNumber(std::int32_t n) {
  // Login failed, untrusted domain, account disabled, locked, expired, must change.
  return n == 18456 || n == 18452 || n == 18470 || n == 18486 || n == 18487 || n == 18488;
}

bool IsLinkLoss(const std::string& sqlstate) {
  return sqlstate == "08S01" || sqlstate == "08003" || sqlstate == "08007";
}

}  // namespace

bool IsInformation(const DiagRecord& r) {
  if (StartsWith(r.sqlstate, "01")) return true;
  if (r.severity >= 0 && r.severity <= 10) return true;
  // Changed database context, changed language setting.
  return r.native == 5701 || r.native == 5703;
}

std::uint32_t MapCode(const std::string& sqlstate, std::int32_t native, int /*severity*/) {
  using namespace db::code;
  if (sqlstate == "IM002" || sqlstate == "IM003") return kNoProvider;
  if (sqlstate == "28000" || IsLoginNumber(native)) return kLoginFailed;
  if (sqlstate == "08002") return kAlreadyOpen;
  if (StartsWith(sqlstate, "08") || sqlstate == "HYT00" || sqlstate == "HYT01") return kUnreachable;
  if (native == 544 || native == 3725 || native == 3726) return kCommandError;
  if (native == 547 || native == 515 || native == 1505 || native == 2601 || native == 2627) return kIntegrity;
  if (StartsWith(sqlstate, "23")) return kIntegrity;
  return kCommandError;
}

bool HasError(const std::vector<DiagRecord>& records) {
  return std::any_of(records.begin(), records.end(), [](const DiagRecord& r) { return !IsInformation(r); });
}

db::OleError MakeOleError(const std::vector<DiagRecord>& records, Phase phase, const std::string& fallback) {
  std::vector<const DiagRecord*> errors;
  for (const DiagRecord& r : records)
    if (!IsInformation(r)) errors.push_back(&r);
  if (errors.empty()) {
    if (phase == Phase::Connected) return db::OleError(db::code::kCommandError, fallback);
    // A connect that fails with nothing but notes never reached a driver:
    // unixODBC says only "Can't open lib ..." (01000) when the library or
    // the registered name is missing.
    std::string message;
    for (const DiagRecord& r : records) message += (message.empty() ? "" : "\n") + r.message;
    return db::OleError(db::code::kNoProvider, message.empty() ? fallback : message);
  }

  std::uint32_t code = MapCode(errors.front()->sqlstate, errors.front()->native, errors.front()->severity);
  for (const DiagRecord* r : errors) {
    const std::uint32_t c = MapCode(r->sqlstate, r->native, r->severity);
    if (c == db::code::kLoginFailed || c == db::code::kNoProvider) {
      code = c;
      break;
    }
  }

  std::vector<std::string> lines;
  bool lost = false;
  for (const DiagRecord* r : errors) {
    std::string line = r->message.empty() ? "SQLSTATE " + r->sqlstate : r->message;
    if (r->native != 0) line += " (" + std::to_string(r->native) + ")";
    if (std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(line);
    if (phase == Phase::Connected && IsLinkLoss(r->sqlstate)) lost = true;
  }
  std::string message;
  for (const std::string& l : lines) {
    if (!message.empty()) message += '\n';
    message += l;
  }
  db::OleError e(lost ? db::code::kUnreachable : code, message);
  if (lost) e.MarkConnectionLost();
  return e;
}

}  // namespace odbc
