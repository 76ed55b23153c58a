#include "sqlsim/types.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "sqlsim/errors.h"

namespace sqlsim {

namespace {
const TypeInfo kTypes[] = {
    {"image", 34, 16, 0, 0, TypeClass::Lob, false, false},
    {"text", 35, 16, 0, 0, TypeClass::Lob, false, false},
    {"uniqueidentifier", 36, 16, 0, 0, TypeClass::Guid, false, false},
    {"date", 40, 3, 10, 0, TypeClass::Date, false, false},
    {"time", 41, 5, 16, 7, TypeClass::Date, false, false},
    {"datetime2", 42, 8, 27, 7, TypeClass::Date, false, false},
    {"tinyint", 48, 1, 3, 0, TypeClass::Int, false, false},
    {"smallint", 52, 2, 5, 0, TypeClass::Int, false, false},
    {"int", 56, 4, 10, 0, TypeClass::Int, false, false},
    {"smalldatetime", 58, 4, 16, 0, TypeClass::Date, false, false},
    {"real", 59, 4, 24, 0, TypeClass::Float, false, false},
    {"money", 60, 8, 19, 4, TypeClass::Money, false, false},
    {"datetime", 61, 8, 23, 3, TypeClass::Date, false, false},
    {"float", 62, 8, 53, 0, TypeClass::Float, false, false},
    {"sql_variant", 98, 8016, 0, 0, TypeClass::Variant, false, false},
    {"ntext", 99, 16, 0, 0, TypeClass::Lob, true, false},
    {"bit", 104, 1, 1, 0, TypeClass::Bit, false, false},
    {"decimal", 106, 0, 18, 0, TypeClass::Decimal, false, false},
    {"numeric", 108, 0, 18, 0, TypeClass::Decimal, false, false},
    {"smallmoney", 122, 4, 10, 4, TypeClass::Money, false, false},
    {"bigint", 127, 8, 19, 0, TypeClass::Int, false, false},
    {"varbinary", 165, 0, 0, 0, TypeClass::Binary, false, true},
    {"varchar", 167, 0, 0, 0, TypeClass::Char, false, true},
    {"binary", 173, 0, 0, 0, TypeClass::Binary, false, false},
    {"char", 175, 0, 0, 0, TypeClass::Char, false, false},
    {"timestamp", 189, 8, 0, 0, TypeClass::Timestamp, false, false},
    {"nvarchar", 231, 0, 0, 0, TypeClass::Char, true, true},
    {"nchar", 239, 0, 0, 0, TypeClass::Char, true, false},
    {"xml", 241, -1, 0, 0, TypeClass::Xml, true, false},
    {nullptr, 0, 0, 0, 0, TypeClass::Int, false, false}};

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  return s;
}

std::size_t Utf8Len(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}
std::string Utf8Prefix(const std::string& s, std::size_t chars) {
  std::size_t n = 0, i = 0;
  for (; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (n == chars) break;
      ++n;
    }
  }
  return s.substr(0, i);
}

std::string Trim(const std::string& s) {
  std::size_t a = 0, b = s.size();
  while (a < b && std::isspace((unsigned char)s[a])) ++a;
  while (b > a && std::isspace((unsigned char)s[b - 1])) --b;
  return s.substr(a, b - a);
}
}  // namespace

const TypeInfo* AllTypes() { return kTypes; }

const TypeInfo* FindType(const std::string& name) {
  std::string n = Lower(name);
  if (n == "sysname") n = "nvarchar";
  if (n == "integer") n = "int";
  if (n == "rowversion") n = "timestamp";
  for (const TypeInfo* t = kTypes; t->name; ++t)
    if (n == t->name) return t;
  return nullptr;
}

int ColType::Chars() const {
  if (maxLength < 0) return -1;
  return info && info->unicode ? maxLength / 2 : maxLength;
}

std::string ColType::Sql() const {
  if (!userType.empty()) return userType;
  if (!info) return name;
  switch (info->cls) {
    case TypeClass::Char:
    case TypeClass::Binary:
      return name + "(" + (maxLength < 0 ? std::string("max") : std::to_string(Chars())) + ")";
    case TypeClass::Decimal:
      return name + "(" + std::to_string(prec) + "," + std::to_string(scale) + ")";
    default:
      return name;
  }
}

ColType ResolveType(const TypeSpec& spec) {
  ColType c;
  const TypeInfo* t = FindType(spec.name);
  if (!t) throw SqlError(2715, "Column, parameter, or variable #1: Cannot find data type " + spec.name + ".");
  c.info = t;
  c.name = t->name;
  if (Lower(spec.name) == "sysname") {
    c.userType = "sysname";
    c.maxLength = 256;
    return c;
  }
  c.prec = t->prec;
  c.scale = t->scale;
  c.maxLength = t->length;
  switch (t->cls) {
    case TypeClass::Char:
    case TypeClass::Binary: {
      int n = spec.hasLength ? spec.length : 1;
      if (n == -1 && !t->variable)
        throw SqlError(2717, "The size (max) given to the type '" + c.name + "' exceeds the maximum allowed (8000).");
      int limit = t->unicode ? 4000 : 8000;
      if (n > limit)
        throw SqlError(131, "The size (" + std::to_string(n) + ") given to the type '" + c.name +
                                "' exceeds the maximum allowed for any data type (" + std::to_string(limit) + ").", 15);
      if (n == 0) throw SqlError(1001, "Line 1: Length or precision 0 is invalid.", 15);
      c.maxLength = n < 0 ? -1 : (t->unicode ? 2 * n : n);
      c.prec = c.scale = 0;
      break;
    }
    case TypeClass::Decimal: {
      int p = spec.hasPrec ? spec.prec : 18, s = spec.hasPrec ? spec.scale : 0;
      if (p < 1 || p > 38) throw SqlError(2750, "Column or parameter #1: Specified column precision " + std::to_string(p) + " is greater than the maximum precision of 38.");
      if (s > p) throw SqlError(2751, "Column or parameter #1: Specified column scale " + std::to_string(s) + " is greater than the specified precision of " + std::to_string(p) + ".");
      c.prec = p;
      c.scale = s;
      c.maxLength = p <= 9 ? 5 : p <= 19 ? 9 : p <= 28 ? 13 : 17;
      break;
    }
    case TypeClass::Float:
      if (c.name == "float" && spec.hasPrec && spec.prec <= 24) {
        c.name = "real";
        c.info = FindType("real");
        c.maxLength = 4;
        c.prec = 24;
      }
      break;
    default:
      break;
  }
  return c;
}

std::string Utf8Head(const std::string& s, std::size_t chars) { return Utf8Prefix(s, chars); }

std::string DateText(const db::DateTime& d) {
  char b[32];
  std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second);
  return b;
}

bool FormatDateStyle(const db::DateTime& d, int style, bool polishMonths, std::string* out) {
  static const char* en[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  static const char* pl[] = {"I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X", "XI", "XII"};
  const char* mon = (polishMonths ? pl : en)[(d.month - 1) % 12];
  bool century = style >= 100 || style == 0 || style == 9 || style == 13 || style == 20 || style == 21 || style == 23;
  int base = style >= 100 ? style - 100 : style;
  char y[8], b[96];
  std::snprintf(y, sizeof y, century ? "%04d" : "%02d", century ? d.year : d.year % 100);
  int h12 = d.hour % 12 == 0 ? 12 : d.hour % 12;
  const char* ampm = d.hour < 12 ? "AM" : "PM";
  switch (style == 20 || style == 21 || style == 23 || style >= 120 ? style : base) {
    case 0: std::snprintf(b, sizeof b, "%s %2d %s %2d:%02d%s", mon, d.day, y, h12, d.minute, ampm); break;
    case 1: std::snprintf(b, sizeof b, "%02d/%02d/%s", d.month, d.day, y); break;
    case 2: std::snprintf(b, sizeof b, "%s.%02d.%02d", y, d.month, d.day); break;
    case 3: std::snprintf(b, sizeof b, "%02d/%02d/%s", d.day, d.month, y); break;
    case 4: std::snprintf(b, sizeof b, "%02d.%02d.%s", d.day, d.month, y); break;
    case 5: std::snprintf(b, sizeof b, "%02d-%02d-%s", d.day, d.month, y); break;
    case 6: std::snprintf(b, sizeof b, "%02d %s %s", d.day, mon, y); break;
    case 7: std::snprintf(b, sizeof b, "%s %02d, %s", mon, d.day, y); break;
    case 8: std::snprintf(b, sizeof b, "%02d:%02d:%02d", d.hour, d.minute, d.second); break;
    case 9: std::snprintf(b, sizeof b, "%s %2d %s %2d:%02d:%02d:000%s", mon, d.day, y, h12, d.minute, d.second, ampm); break;
    case 10: std::snprintf(b, sizeof b, "%02d-%02d-%s", d.month, d.day, y); break;
    case 11: std::snprintf(b, sizeof b, "%s/%02d/%02d", y, d.month, d.day); break;
    case 12: std::snprintf(b, sizeof b, "%s%02d%02d", y, d.month, d.day); break;
    case 13: std::snprintf(b, sizeof b, "%02d %s %s %02d:%02d:%02d:000", d.day, mon, y, d.hour, d.minute, d.second); break;
    case 14: std::snprintf(b, sizeof b, "%02d:%02d:%02d:000", d.hour, d.minute, d.second); break;
    case 20: case 120: std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second); break;
    case 21: case 121: std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d.000", d.year, d.month, d.day, d.hour, d.minute, d.second); break;
    case 23: std::snprintf(b, sizeof b, "%04d-%02d-%02d", d.year, d.month, d.day); break;
    case 126: case 127: std::snprintf(b, sizeof b, "%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second); break;
    default: return false;
  }
  *out = b;
  return true;
}

static bool ValidDate(int y, int m, int d) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1753 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  int md = days[m - 1] + ((m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) ? 1 : 0);
  return d <= md;
}

bool ParseDateText(const std::string& in, bool dayFirst, db::DateTime* out) {
  std::string s = Trim(in);
  db::DateTime d{};
  d.year = 0;
  int a = 0, b = 0, c = 0, n = 0;
  char sep1 = 0, sep2 = 0;
  std::size_t i = 0;
  auto digits = [&](int& v, int maxd) {
    int k = 0;
    v = 0;
    while (i < s.size() && std::isdigit((unsigned char)s[i]) && k < maxd) {
      v = v * 10 + (s[i] - '0');
      ++i;
      ++k;
    }
    return k;
  };
  if (s.size() >= 8 && std::all_of(s.begin(), s.begin() + 8, [](char ch) { return std::isdigit((unsigned char)ch); }) &&
      (s.size() == 8 || s[8] == ' ' || s[8] == 'T')) {
    d.year = std::stoi(s.substr(0, 4));
    d.month = std::stoi(s.substr(4, 2));
    d.day = std::stoi(s.substr(6, 2));
    i = 8;
  } else {
    int k1 = digits(a, 4);
    if (k1 == 0 || i >= s.size()) return false;
    sep1 = s[i++];
    if (sep1 != '-' && sep1 != '.' && sep1 != '/') return false;
    if (!digits(b, 2) || i >= s.size()) return false;
    sep2 = s[i++];
    if (sep2 != sep1) return false;
    int k3 = digits(c, 4);
    if (!k3) return false;
    if (k1 == 4) {
      d.year = a;
      d.month = b;
      d.day = c;
    } else {
      d.year = c < 100 && k3 <= 2 ? (c < 50 ? 2000 + c : 1900 + c) : c;
      d.day = dayFirst ? a : b;
      d.month = dayFirst ? b : a;
    }
  }
  (void)n;
  if (i < s.size()) {
    if (s[i] != ' ' && s[i] != 'T') return false;
    ++i;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i < s.size()) {
      if (!digits(d.hour, 2) || i >= s.size() || s[i++] != ':') return false;
      if (!digits(d.minute, 2)) return false;
      if (i < s.size() && s[i] == ':') {
        ++i;
        if (!digits(d.second, 2)) return false;
        if (i < s.size() && s[i] == '.') {
          ++i;
          int ms;
          digits(ms, 7);
        }
      }
      if (i != s.size()) return false;
    }
  }
  if (!ValidDate(d.year, d.month, d.day) || d.hour > 23 || d.minute > 59 || d.second > 59) return false;
  *out = d;
  return true;
}

std::string ValueTypeName(const db::Value& v) {
  switch (v.kind()) {
    case db::Value::Kind::Integer: return "int";
    case db::Value::Kind::Float: return "numeric";
    case db::Value::Kind::DateTime: return "datetime";
    default: return "varchar";
  }
}

static std::string FloatText(double f) {
  char b[64];
  std::snprintf(b, sizeof b, "%.15g", f);
  return b;
}

static std::string DecimalText(double f, int scale) {
  char b[80];
  std::snprintf(b, sizeof b, "%.*f", scale, f);
  return b;
}

// money as text: style 0 two decimals, 1 two decimals with thousands
// separated by commas, 2 four decimals.
static std::string MoneyText(double f, int style) {
  std::string t = DecimalText(f, style == 2 ? 4 : 2);
  if (style != 1) return t;
  std::size_t dot = t.find('.'), start = t[0] == '-' ? 1 : 0;
  for (std::size_t i = dot; i > start + 3; i -= 3) t.insert(i - 3, ",");
  return t;
}

db::Value ConvertValue(const db::Value& v, const std::string& fromType, const ColType& to, bool implicitConv,
                       bool storing, const ConvertContext& ctx) {
  if (v.IsNull() || !to.info) return v;
  std::string from = fromType.empty() ? ValueTypeName(v) : fromType;
  const TypeInfo* fi = FindType(from);
  TypeClass tc = to.info->cls;
  auto overflow = [&]() -> db::Value {
    throw SqlError(8115, "Arithmetic overflow error converting " + std::string(v.kind() == db::Value::Kind::Text ? "varchar" : "expression") +
                             " to data type " + to.name + ".");
  };
  // Conversions SQL Server never allows.
  if (fi) {
    TypeClass fc = fi->cls;
    bool refused = false;
    if (fc == TypeClass::Date && (tc == TypeClass::Int || tc == TypeClass::Decimal || tc == TypeClass::Money || tc == TypeClass::Float || tc == TypeClass::Bit) && implicitConv) refused = true;
    if ((fc == TypeClass::Guid) != (tc == TypeClass::Guid) && fc != TypeClass::Char && tc != TypeClass::Char &&
        fc != TypeClass::Binary && tc != TypeClass::Binary && fc != TypeClass::Lob && tc != TypeClass::Lob)
      refused = true;
    if (fc == TypeClass::Lob && tc != TypeClass::Lob && tc != TypeClass::Char && tc != TypeClass::Xml && tc != TypeClass::Binary) refused = true;
    if (refused) {
      if (implicitConv)
        throw SqlError(257, "Implicit conversion from data type " + from + " to " + to.name +
                                " is not allowed. Use the CONVERT function to run this query.");
      throw SqlError(529, "Explicit conversion from data type " + from + " to " + to.name + " is not allowed.");
    }
  }
  switch (tc) {
    case TypeClass::Int:
    case TypeClass::Bit: {
      long long r = 0;
      if (v.kind() == db::Value::Kind::Text) {
        std::string t = Trim(v.AsString());
        char* e = nullptr;
        errno = 0;
        r = t.empty() ? 0 : std::strtoll(t.c_str(), &e, 10);
        if (!t.empty() && (*e != 0 || errno)) {
          if (tc == TypeClass::Bit && (Lower(t) == "true" || Lower(t) == "false")) {
            r = Lower(t) == "true";
          } else {
            double dv = std::strtod(t.c_str(), &e);
            if (*e == 0 && !t.empty() && tc == TypeClass::Bit) r = dv != 0;
            else
              throw SqlError(245, "Conversion failed when converting the " + from + " value '" + v.AsString() +
                                      "' to data type " + to.name + ".");
          }
        }
      } else if (v.kind() == db::Value::Kind::Float) {
        double f = v.AsFloat();
        if (tc != TypeClass::Bit && (f > 9.2e18 || f < -9.2e18)) overflow();
        r = (long long)f;
        if (tc == TypeClass::Bit) r = f != 0;
      } else if (v.kind() == db::Value::Kind::DateTime) {
        db::DateTime d = v.AsDateTime();
        (void)d;
        r = 0;
      } else {
        r = v.AsInteger();
      }
      if (tc == TypeClass::Bit) return db::Value::Int(r != 0);
      long long lo = -2147483648LL, hi = 2147483647LL;
      if (to.name == "tinyint") lo = 0, hi = 255;
      else if (to.name == "smallint") lo = -32768, hi = 32767;
      else if (to.name == "bigint") lo = INT64_MIN, hi = INT64_MAX;
      if (r < lo || r > hi) {
        // A whole number too big for the small integer types names the value.
        if ((to.name == "tinyint" || to.name == "smallint") && v.kind() != db::Value::Kind::Float)
          throw SqlError(220, "Arithmetic overflow error for data type " + to.name + ", value = " + std::to_string(r) + ".");
        overflow();
      }
      return db::Value::Int(r);
    }
    case TypeClass::Decimal:
    case TypeClass::Money:
    case TypeClass::Float: {
      double f = 0;
      if (v.kind() == db::Value::Kind::Text) {
        std::string t = Trim(v.AsString());
        char* e = nullptr;
        f = t.empty() ? 0 : std::strtod(t.c_str(), &e);
        if (!t.empty() && *e != 0) {
          if (tc == TypeClass::Float)
            throw SqlError(8114, "Error converting data type " + from + " to float.");
          throw SqlError(8114, "Error converting data type " + from + " to " + (tc == TypeClass::Money ? "money" : "numeric") + ".");
        }
      } else {
        f = v.AsFloat();
      }
      if (tc == TypeClass::Decimal) {
        double limit = std::pow(10.0, to.prec - to.scale);
        double scaled = std::round(f * std::pow(10.0, to.scale)) / std::pow(10.0, to.scale);
        if (std::fabs(scaled) >= limit)
          throw SqlError(8115, "Arithmetic overflow error converting " + std::string(fi && fi->cls == TypeClass::Int ? "int" : "numeric") + " to data type numeric.");
        return db::Value::Real(scaled);
      }
      if (tc == TypeClass::Money) return db::Value::Real(std::round(f * 10000) / 10000);
      return db::Value::Real(f);
    }
    case TypeClass::Char:
    case TypeClass::Lob:
    case TypeClass::Xml:
    case TypeClass::Variant:
    case TypeClass::Guid: {
      std::string t;
      if (v.kind() == db::Value::Kind::Float) {
        const TypeInfo* src = fi;
        t = (src && src->cls == TypeClass::Decimal) ? DecimalText(v.AsFloat(), 0) : FloatText(v.AsFloat());
        if (src && (src->cls == TypeClass::Money)) t = MoneyText(v.AsFloat(), ctx.style);
        if (src && src->cls == TypeClass::Decimal) t = FloatText(v.AsFloat());
      } else if (v.kind() == db::Value::Kind::DateTime) {
        if (!FormatDateStyle(v.AsDateTime(), ctx.style < 0 ? 0 : ctx.style, ctx.polishMonths, &t))
          throw SqlError(281, std::to_string(ctx.style) + " is not a valid style number when converting from datetime to a character string.");
      } else {
        t = v.AsString();
      }
      if (tc == TypeClass::Guid) {
        std::string g = Trim(t);
        bool ok = g.size() == 36;
        for (std::size_t k = 0; ok && k < g.size(); ++k)
          ok = (k == 8 || k == 13 || k == 18 || k == 23) ? g[k] == '-' : std::isxdigit((unsigned char)g[k]) != 0;
        if (!ok) throw SqlError(8169, "Conversion failed when converting from a character string to uniqueidentifier.");
        return db::Value::Str(g);
      }
      if (tc == TypeClass::Char && to.maxLength >= 0) {
        int chars = to.Chars();
        std::string tt = t;
        if ((int)Utf8Len(tt) > chars) {
          std::string trimmed = tt;
          while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
          if (storing && (int)Utf8Len(trimmed) > chars)
            throw SqlError(8152, "String or binary data would be truncated.");
          tt = Utf8Prefix(tt, chars);
        }
        if (!to.info->variable) {
          std::size_t len = Utf8Len(tt);
          if ((int)len < chars) tt.append(chars - len, ' ');
        }
        return db::Value::Str(tt);
      }
      return db::Value::Str(t);
    }
    case TypeClass::Date: {
      if (v.kind() == db::Value::Kind::DateTime) return v;
      if (v.kind() == db::Value::Kind::Text) {
        db::DateTime d;
        // Styles that say the order of day and month override DATEFORMAT.
        int st = ctx.style >= 100 ? ctx.style - 100 : ctx.style;
        bool dayFirst = st == 3 || st == 4 || st == 5 || st == 6 || st == 13 ? true
                        : st == 1 || st == 10 || st == 7                  ? false
                                                                          : ctx.dayFirst;
        if (!ParseDateText(v.AsString(), dayFirst, &d))
          throw SqlError(241, "Conversion failed when converting date and/or time from character string.");
        if (to.name == "date") d.hour = d.minute = d.second = 0;
        return db::Value::Date(d);
      }
      // Numbers count days from 1900-01-01.
      long long days = (long long)std::floor(v.AsFloat());
      long long jd = days + 2415021;  // julian day of 1900-01-01
      long long l = jd + 68569, n = 4 * l / 146097;
      l = l - (146097 * n + 3) / 4;
      long long y = 4000 * (l + 1) / 1461001;
      l = l - 1461 * y / 4 + 31;
      long long m = 80 * l / 2447;
      db::DateTime d;
      d.day = int(l - 2447 * m / 80);
      l = m / 11;
      d.month = int(m + 2 - 12 * l);
      d.year = int(100 * (n - 49) + y + l);
      d.hour = d.minute = d.second = 0;
      return db::Value::Date(d);
    }
    case TypeClass::Binary:
    case TypeClass::Timestamp:
      return v;
  }
  return v;
}

int AlterConversionRefusal(const ColType& from, const ColType& to) {
  if (!from.info || !to.info) return 0;
  if (to.info->cls == TypeClass::Timestamp) return 4927;
  if (from.info->cls == TypeClass::Lob) {
    bool ok = (from.name != "image" && to.maxLength == -1 && (to.name == "varchar" || to.name == "nvarchar")) ||
              to.name == "xml" || (from.name == "image" && to.name == "varbinary" && to.maxLength == -1) ||
              from.name == to.name;
    return ok ? 0 : 257;
  }
  if (to.info->cls == TypeClass::Lob && from.info->cls != TypeClass::Char && from.info->cls != TypeClass::Binary) return 257;
  if (from.info->cls == TypeClass::Date && (to.info->cls == TypeClass::Int || to.info->cls == TypeClass::Decimal ||
                                            to.info->cls == TypeClass::Float || to.info->cls == TypeClass::Money || to.info->cls == TypeClass::Bit))
    return 257;
  if ((from.info->cls == TypeClass::Guid) != (to.info->cls == TypeClass::Guid) && from.info->cls != TypeClass::Char &&
      to.info->cls != TypeClass::Char && from.info->cls != TypeClass::Binary && to.info->cls != TypeClass::Binary)
    return 529;
  return 0;
}

}  // namespace sqlsim
