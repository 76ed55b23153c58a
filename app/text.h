// Text rules shared by every comparison between the two databases.
#pragma once

#include <string>
#include <vector>

namespace app {

// Removes leading and trailing characters of code 32 or less.
std::string Trim(const std::string& s);
// Removes trailing characters of code 32 or less.
std::string TrimRight(const std::string& s);
// Upper-cases the letters a to z only; every other byte stays.
std::string UpperAZ(const std::string& s);
// Equal after folding a to z.
bool SameText(const std::string& a, const std::string& b);
// Doubles every single quote and wraps the text in single quotes.
std::string QuotedStr(const std::string& s);
// Splits at CR LF, CR or LF.
std::vector<std::string> SplitLines(const std::string& s);

}  // namespace app
