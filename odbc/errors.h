// Turning ODBC diagnostics into the program's OLE DB result codes.
//
// This is the one place where SQLSTATEs and server error numbers are known:
// the rest of the program sees only db::OleError with a code of db::code.
// Pure functions, testable without a driver.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/db.h"

namespace odbc {

// One diagnostic record of a failed or partly failed ODBC call.
struct DiagRecord {
  std::string sqlstate;     // five characters, e.g. "42S02"
  std::int32_t native = 0;  // the server's error number, 0 when none
  int severity = -1;        // the server's severity, -1 when the driver does not tell
  std::string message;      // UTF-8, e.g. "[FreeTDS][SQL Server]Invalid object name 'x'."
};

// Whether the connection was established when the call failed: a broken
// link after opening means the connection is lost, before it the server was
// not reached.
enum class Phase { Connecting, Connected };

// True for a record that only informs (SQLSTATE class 01, severity 10 or
// less, "Changed database context" and its like); such records are never
// errors.
bool IsInformation(const DiagRecord& r);

// The result code for one error record (the mapping table):
//   IM002, IM003 (driver missing or not loadable)          -> kNoProvider
//   28000, numbers 18456 and other login refusals          -> kLoginFailed
//   08002 (connection name in use)                         -> kAlreadyOpen
//   other 08xxx, HYT00, HYT01 (not reached, link lost,
//   time-out)                                              -> kUnreachable
//   23xxx and numbers 547, 515, 1505, 2601, 2627           -> kIntegrity
//     except 544, 3725, 3726 (rejected statements that the
//     driver files under 23000)                            -> kCommandError
//   anything else                                          -> kCommandError
std::uint32_t MapCode(const std::string& sqlstate, std::int32_t native, int severity);

// The OleError for the records of a failed call. Information records are
// skipped. The code is that of the first error record, except that a login
// refusal or a missing driver anywhere among them wins (drivers follow those
// with a generic "cannot connect"). The message lists every distinct error
// record as "<message> (<native>)" ("(n)" left out when 0), one per line.
// After opening, a broken link (08S01, 08003, 08007) marks the error as a
// lost connection. With no error record at all the call never reached a
// driver while connecting (unixODBC reports a missing driver library only
// as a 01000 note): kNoProvider with the notes as the message; after
// opening it is kCommandError. `fallback` is the message when nothing was
// said at all.
db::OleError MakeOleError(const std::vector<DiagRecord>& records, Phase phase, const std::string& fallback);

// True when the records of a call that reported success with information
// hold a real error (some drivers report a failed statement of a batch
// that way).
bool HasError(const std::vector<DiagRecord>& records);

}  // namespace odbc
