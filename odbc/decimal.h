// Reading a DECIMAL or NUMERIC value from the text the driver writes for
// it ("-12.3400"), so that no digit is lost silently.
#pragma once

#include <string>

#include "db/db.h"

namespace odbc {

// Scale 0 and fits in 64 bits -> Int; up to 15 significant digits (trailing
// fractional zeros do not count) -> Real; anything longer, or text that is
// not a number -> Str with the text unchanged.
db::Value DecimalValue(const std::string& text, int scale);

}  // namespace odbc
