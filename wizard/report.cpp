#include "wizard/report.h"

#include "db/db.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "app/locale.h"
#include "wizard/sql_error.h"

namespace wizard {
namespace {

// Decodes one UTF-8 character at `i` (advancing it); a malformed byte
// decodes as U+FFFD.
char32_t NextChar(const std::string& s, std::size_t& i) {
  const unsigned char b = static_cast<unsigned char>(s[i]);
  const int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
  if (extra == 0) {
    ++i;
    return b;
  }
  if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t c = b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const unsigned char n = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    if ((n & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    c = (c << 6) | (n & 0x3F);
  }
  i += static_cast<std::size_t>(extra) + 1;
  return c;
}

std::string Utf8Of(char32_t c) {
  std::string out;
  db::AppendUtf8(out, c);
  return out;
}

// "\uN" (N as a signed 16-bit number) followed by the one fallback
// character that readers without Unicode show.
void PutUnicodeUnit(std::string& out, unsigned unit, const std::string& fallback) {
  out += "\\u" + std::to_string(static_cast<int>(static_cast<std::int16_t>(unit)));
  const unsigned char f = fallback.empty() ? '?' : static_cast<unsigned char>(fallback[0]);
  if (f >= 0x80) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\'%02x", f);
    out += buf;
  } else {
    out += static_cast<char>(f);
  }
}

void PutLine(std::string& out, const std::string& line) {
  std::size_t i = 0;
  while (i < line.size()) {
    const char32_t c = NextChar(line, i);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\t') {
      out += "\\tab ";
    } else if (c < 0x20 || c == 0x7F) {
      continue;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x10000) {
      PutUnicodeUnit(out, static_cast<unsigned>(c), Utf8ToCp1250(Utf8Of(c)));
    } else {
      const char32_t v = c - 0x10000;
      PutUnicodeUnit(out, 0xD800 + static_cast<unsigned>(v >> 10), "?");
      PutUnicodeUnit(out, 0xDC00 + static_cast<unsigned>(v & 0x3FF), "?");
    }
  }
}

}  // namespace

std::string ReportFileName(const db::DateTime& now) {
  std::string n = app::DateTimeToStr(now) + ".DOC";
  for (char& c : n)
    if (c == ':' || c == ' ') c = '_';
  return "Modyfikacja_bazy_" + n;
}

std::string ReportRtf(const std::vector<std::string>& lines) {
  std::string out =
      "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset238 Courier New;}}\r\n"
      "\\viewkind4\\uc1\\pard\\f0\\fs16 ";
  for (const std::string& line : lines) {
    PutLine(out, line);
    out += "\\par\r\n";
  }
  out += "}\r\n";
  return out;
}

std::string SaveReport(const std::vector<std::string>& lines, const std::string& reportsFolder, app::Clock& clock) {
  std::string path = reportsFolder;
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  path += ReportFileName(clock.Now());
  const std::string rtf = ReportRtf(lines);
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    const int err = errno;
    throw std::runtime_error("Nie można utworzyć pliku \"" + path +
                             "\": " + (err ? std::strerror(err) : "nieznany błąd"));
  }
  out.write(rtf.data(), static_cast<std::streamsize>(rtf.size()));
  out.close();
  if (!out) {
    const int err = errno;
    throw std::runtime_error("Nie można zapisać pliku \"" + path + "\": " + (err ? std::strerror(err) : "błąd zapisu"));
  }
  return path;
}

}  // namespace wizard
