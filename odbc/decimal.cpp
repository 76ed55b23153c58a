#include "odbc/decimal.h"

#include <charconv>

namespace odbc {

db::Value DecimalValue(const std::string& text, int scale) {
  const char* b = text.data();
  const char* e = b + text.size();
  if (scale == 0) {
    std::int64_t i = 0;
    const auto r = std::from_chars(b, e, i);
    if (r.ec == std::errc() && r.ptr == e) return db::Value::Int(i);
  }
  std::string digits;
  for (char ch : text)
    if (ch >= '0' && ch <= '9') digits += ch;
  const std::size_t first = digits.find_first_not_of('0');
  std::size_t significant = first == std::string::npos ? 0 : digits.size() - first;
  if (text.find('.') != std::string::npos)
    for (std::size_t k = text.size(); k > 0 && text[k - 1] == '0' && significant > 0; --k) --significant;
  double d = 0;
  const auto r = std::from_chars(b, e, d);
  if (significant <= 15 && r.ec == std::errc() && r.ptr == e) return db::Value::Real(d);
  return db::Value::Str(text);
}

}  // namespace odbc
