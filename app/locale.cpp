#include "app/locale.h"

#include <charconv>
#include <cstdio>
#include <stdexcept>

namespace app {
namespace {

const char* const kMonthsFull[12] = {"styczeń", "luty",     "marzec",   "kwiecień",    "maj",      "czerwiec",
                                     "lipiec",  "sierpień", "wrzesień", "październik", "listopad", "grudzień"};
const char* const kMonthsGenitive[12] = {"stycznia", "lutego",   "marca",    "kwietnia",     "maja",      "czerwca",
                                         "lipca",    "sierpnia", "września", "października", "listopada", "grudnia"};
const char* const kMonthsShort[12] = {"sty", "lut", "mar", "kwi", "maj", "cze",
                                      "lip", "sie", "wrz", "paź", "lis", "gru"};
const char* const kDaysFull[7] = {"niedziela", "poniedziałek", "wtorek", "środa", "czwartek", "piątek", "sobota"};
const char* const kDaysShort[7] = {"niedz.", "pon.", "wt.", "śr.", "czw.", "pt.", "sob."};

// 0 = Sunday.
int Weekday(int y, int m, int d) {
  static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 1 || m > 12) return 0;
  if (m < 3) y -= 1;
  int w = (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d) % 7;
  return w < 0 ? w + 7 : w;
}

std::string Num(int v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, v);
  return buf;
}

const char* Pick(const char* const* names, int month) {
  return month >= 1 && month <= 12 ? names[month - 1] : "";
}

}  // namespace

FormatSettings& Formats() {
  static FormatSettings settings;
  return settings;
}

void ApplyLocaleFormats() {
  FormatSettings& f = Formats();
  const std::string longTime = f.longTimeFormat;
  f = FormatSettings{};
  f.longTimeFormat = longTime;
}

std::string FormatDateTime(const std::string& pattern, const db::DateTime& t) {
  const FormatSettings& f = Formats();
  bool hasDay = false;
  for (std::size_t i = 0; i < pattern.size(); ++i)
    if (pattern[i] == 'd') hasDay = true;

  std::string out;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    std::size_t n = 1;
    while (i + n < pattern.size() && pattern[i + n] == c) ++n;
    switch (c) {
      case 'd':
        if (n == 1)
          out += std::to_string(t.day);
        else if (n == 2)
          out += Num(t.day, 2);
        else
          out += (n == 3 ? kDaysShort : kDaysFull)[Weekday(t.year, t.month, t.day)];
        break;
      case 'M':
        if (n == 1)
          out += std::to_string(t.month);
        else if (n == 2)
          out += Num(t.month, 2);
        else if (n == 3)
          out += Pick(kMonthsShort, t.month);
        else
          out += Pick(hasDay ? kMonthsGenitive : kMonthsFull, t.month);
        break;
      case 'y':
        out += n <= 2 ? Num(t.year % 100, 2) : Num(t.year, 4);
        break;
      case 'H':
      case 'h':
        out += n == 1 ? std::to_string(t.hour) : Num(t.hour, 2);
        break;
      case 'm':
        out += n == 1 ? std::to_string(t.minute) : Num(t.minute, 2);
        break;
      case 's':
        out += n == 1 ? std::to_string(t.second) : Num(t.second, 2);
        break;
      case '/':
        out.append(n, f.dateSeparator);
        break;
      case ':':
        out.append(n, f.timeSeparator);
        break;
      case '\'':
      case '"': {
        const std::size_t end = pattern.find(c, i + 1);
        const std::size_t stop = end == std::string::npos ? pattern.size() : end;
        out += pattern.substr(i + 1, stop - i - 1);
        i = end == std::string::npos ? pattern.size() : end + 1;
        continue;
      }
      default:
        out.append(n, c);
    }
    i += n;
  }
  return out;
}

std::string FormatShortDate(const db::DateTime& t) {
  return FormatDateTime(Formats().shortDateFormat, t);
}
std::string FormatLongTime(const db::DateTime& t) {
  return FormatDateTime(Formats().longTimeFormat, t);
}

std::string DateTimeToStr(const db::DateTime& t) {
  std::string s = FormatShortDate(t);
  if (t.hour != 0 || t.minute != 0 || t.second != 0) s += " " + FormatLongTime(t);
  return s;
}

bool TryStrToFloat(const std::string& text, double& value) {
  const char sep = Formats().decimalSeparator;
  std::size_t i = 0, e = text.size();
  while (i < e && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (e > i && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  std::string norm;
  if (i < e && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') norm += '-';
    ++i;
  }
  int digits = 0;
  while (i < e && text[i] >= '0' && text[i] <= '9') norm += text[i++], ++digits;
  if (i < e && text[i] == sep) {
    norm += '.';
    ++i;
    while (i < e && text[i] >= '0' && text[i] <= '9') norm += text[i++], ++digits;
  }
  if (digits == 0) return false;
  if (i < e && (text[i] == 'e' || text[i] == 'E')) {
    norm += 'e';
    ++i;
    if (i < e && (text[i] == '+' || text[i] == '-')) norm += text[i++];
    int expDigits = 0;
    while (i < e && text[i] >= '0' && text[i] <= '9') norm += text[i++], ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != e) return false;
  double v = 0;
  const auto r = std::from_chars(norm.data(), norm.data() + norm.size(), v);
  if (r.ec != std::errc() || r.ptr != norm.data() + norm.size()) return false;
  value = v;
  return true;
}

double StrToFloat(const std::string& text) {
  double v = 0;
  if (!TryStrToFloat(text, v)) throw std::invalid_argument("'" + text + "' is not a valid floating point value");
  return v;
}

std::string FloatToStr(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  std::string s(buf, r.ptr);
  std::string mantissa = s, exponent;
  const std::size_t epos = s.find('e');
  if (epos != std::string::npos) {
    mantissa = s.substr(0, epos);
    const int ex = std::stoi(s.substr(epos + 1));
    exponent = "E" + std::to_string(ex);
  }
  for (char& c : mantissa)
    if (c == '.') c = Formats().decimalSeparator;
  return mantissa + exponent;
}

}  // namespace app
