// UTF-8 <-> UTF-16 at the edge of the wide ODBC calls (SQLWCHAR is a 16-bit
// UTF-16 unit on unixODBC). Malformed input never throws: a bad UTF-8 byte
// or a lone surrogate becomes U+FFFD.
#pragma once

#include <string>

namespace odbc {

std::u16string Utf8ToUtf16(const std::string& s);
std::string Utf16ToUtf8(const std::u16string& s);

}  // namespace odbc
