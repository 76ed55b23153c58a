// The SQL Server adapter: a db::Connection over unixODBC (or any ODBC 3
// driver manager), FreeTDS driver by default.
//
// Texts cross the ODBC edge as UTF-16 through the wide calls; inside they
// are UTF-8. The driver is chosen when a connection opens (see
// connection_string.h): ZURARARUDUD_ODBC_DRIVER names another driver, and
// ZURARARUDUD_ODBC_OPTIONS adds raw keywords (e.g. "Encrypt=no").
//
// Behaviour:
// - Open: login time-out from ConnectParams::connectTimeoutSeconds; failures
//   are mapped by errors.h (kUnreachable for a server that cannot be reached,
//   kLoginFailed, kNoProvider for a missing driver); kAlreadyOpen when open.
// - Execute: statement time-out from Statement::timeoutSeconds; the `?`
//   values bound in order (text as wide text, integers as 64-bit, reals as
//   double, dates as timestamps, null as a null text); the whole batch is
//   drained, the first result with columns kept, the first error raised
//   after draining. A broken link marks the error ConnectionLost().
// - Result values: whole numbers (and decimals of scale 0 up to 18 digits)
//   -> Int, floating and other decimals up to 15 digits -> Real, longer
//   decimals, texts, GUIDs and times -> Str, dates -> Date, binary -> Str
//   "0x..." in hexadecimal, NULL -> Null.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "db/db.h"

namespace odbc {

// A new, closed SQL Server connection.
std::unique_ptr<db::Connection> MakeServerConnection();

// The installed driver manager's version as "major.minor" (e.g. "3.52"
// from unixODBC's "03.52.0002.0011"), or nothing when no driver manager
// answers. Stands in for the data-access library's version in the start-up
// check.
std::optional<std::string> DriverManagerVersionText();

}  // namespace odbc
