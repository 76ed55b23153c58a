#include "odbc/wide.h"

#include "db/db.h"

namespace odbc {

std::u16string Utf8ToUtf16(const std::string& s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    char32_t c = 0xFFFD;
    std::size_t len = 1;
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra == 0) {
      c = b;
    } else if (extra > 0) {
      char32_t v = b & (0x3F >> extra);
      bool ok = i + static_cast<std::size_t>(extra) < s.size();
      for (int k = 1; ok && k <= extra; ++k) {
        const unsigned char n = static_cast<unsigned char>(s[i + k]);
        if ((n & 0xC0) != 0x80)
          ok = false;
        else
          v = (v << 6) | (n & 0x3F);
      }
      static const char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
      if (ok && v >= kMin[extra] && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF)) {
        c = v;
        len = static_cast<std::size_t>(extra) + 1;
      }
    }
    i += len;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

std::string Utf16ToUtf8(const std::u16string& s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    db::AppendUtf8(out, c);
  }
  return out;
}

}  // namespace odbc
