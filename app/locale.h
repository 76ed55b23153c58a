// The process-wide number, date and time formats and the helpers that read
// them. The program always works with its own formats, whatever the
// machine's regional settings are: "," as decimal separator, dates as
// "dd-MM-yyyy", times as "HH:mm:ss".
#pragma once

#include <string>

#include "db/db.h"

namespace app {

struct FormatSettings {
  int currencyFormat = 3;  // amount, space, symbol
  int negCurrFormat = 15;  // (amount space symbol)
  char thousandSeparator = '.';
  char decimalSeparator = ',';
  int currencyDecimals = 2;
  char dateSeparator = '-';
  std::string shortDateFormat = "dd-MM-yyyy";
  std::string longDateFormat = "d MMMM yyyy";
  char timeSeparator = ':';
  std::string shortTimeFormat = "HH:mm:ss";
  std::string longTimeFormat = "HH:mm:ss";  // the system's; not changed by ApplyLocaleFormats
  bool updateFormatSettings = false;        // no reload when the user changes regional settings
  int hintHidePause = 10000;                // ms
};

// The settings in force. They start with the program's own values, so code
// (and tests) that run before start-up see the same formats as the program.
FormatSettings& Formats();

// Writes the program's formats (every field above except the long time
// format, which stays what the system gave).
void ApplyLocaleFormats();

// Formats `t` with a pattern: d dd (day), ddd dddd (Polish weekday, short
// and full), M MM (month number), MMM MMMM (Polish month name, short and
// full; the full name is in the genitive when the pattern has a day, as in
// "9 grudnia 2026"), yy yyyy, H HH h hh (hour, 24-hour clock), m mm
// (minute), s ss (second); "/" is the date separator, ":" the time
// separator; text in '...' or "..." is copied; anything else stands as it is.
std::string FormatDateTime(const std::string& pattern, const db::DateTime& t);

// The short date, e.g. "09-12-2026".
std::string FormatShortDate(const db::DateTime& t);
// The long time, e.g. "14:05:33".
std::string FormatLongTime(const db::DateTime& t);
// Short date, a blank and the long time; the time is left out when `t` is
// exactly midnight: "09-12-2026 14:05:33", "09-12-2026".
std::string DateTimeToStr(const db::DateTime& t);

// A number written with the decimal separator in force (no thousands
// separators; blanks around it and an exponent "E-3" are accepted).
// Throws std::invalid_argument "'<text>' is not a valid floating point
// value" for anything else.
double StrToFloat(const std::string& text);
// As StrToFloat; false (and `value` untouched) instead of throwing.
bool TryStrToFloat(const std::string& text, double& value);
// Up to 15 significant digits with the decimal separator in force, no
// trailing zeros: 2.5 -> "2,5", 2 -> "2", 1e20 -> "1E20", 1.5e-7 -> "1,5E-7".
std::string FloatToStr(double v);

}  // namespace app
