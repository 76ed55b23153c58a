// Building the ODBC connection string for SQL Server from db::ConnectParams.
//
// Pure functions: no ODBC call is made here, so the rules can be tested
// without a driver. The driver is FreeTDS by default; ZURARARUDUD_ODBC_DRIVER
// names another one (a registered driver name such as "ODBC Driver 18 for
// SQL Server", or the path of a driver library) without a rebuild.
#pragma once

#include <string>

#include "db/db.h"

namespace odbc {

// How the driver is named in the connection string and which keyword
// dialect it speaks.
struct DriverChoice {
  std::string driver;   // a library path or a registered driver name
  bool freeTds = true;  // FreeTDS keywords (Port=, TDS_Version=) or Microsoft's
};

// A value as it may stand after "KEY=": unchanged when it is safe, else in
// braces with every '}' doubled. Values holding ';', '{', '}', '=' or a
// leading or trailing blank, and empty values, are braced, so any password
// reaches the driver as typed.
std::string QuoteValue(const std::string& value);

// The driver to use: `override` when not empty (normally the value of
// ZURARARUDUD_ODBC_DRIVER), else the first FreeTDS library found among the
// usual install paths, else the registered name "FreeTDS". A choice whose
// name or path mentions "tds" speaks the FreeTDS dialect.
DriverChoice ChooseDriver(const std::string& override);
// ChooseDriver with the environment variable's value.
DriverChoice DriverFromEnvironment();

// The full connection string: DRIVER (always braced), the server (for FreeTDS "host,port"
// becomes Server=host;Port=port, "host\instance" stays as it is), UID, PWD,
// DATABASE, Language, APP and, for FreeTDS, TDS_Version=7.2. UID and PWD
// always appear (an empty one as "{}"); an empty database, language or
// application is left out.
// `extra` (normally ZURARARUDUD_ODBC_OPTIONS) is appended unchanged.
std::string BuildConnectionString(const db::ConnectParams& params, const DriverChoice& driver,
                                  const std::string& extra = "");

}  // namespace odbc
