#include "app/text.h"

namespace app {

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

std::string TrimRight(const std::string& s) {
  std::size_t e = s.size();
  while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(0, e);
}

std::string UpperAZ(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

bool SameText(const std::string& a, const std::string& b) { return UpperAZ(a) == UpperAZ(b); }

std::string QuotedStr(const std::string& s) {
  std::string r = "'";
  for (char c : s) {
    r += c;
    if (c == '\'') r += '\'';
  }
  return r + "'";
}

std::vector<std::string> SplitLines(const std::string& s) {
  std::vector<std::string> out;
  std::string cur;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\r' || c == '\n') {
      out.push_back(cur);
      cur.clear();
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  out.push_back(cur);
  return out;
}

}  // namespace app
