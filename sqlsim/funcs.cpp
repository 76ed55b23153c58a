// T-SQL functions, LIKE and the case-insensitive collation, registered as
// SQLite user functions.
#include <cmath>
#include <cstring>
#include <ctime>
#include <random>

#include "sqlsim/engine.h"

namespace sqlsim {

namespace {

std::uint32_t Decode(const unsigned char*& p, const unsigned char* e) {
  std::uint32_t c = *p++;
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  c &= (0x3F >> extra);
  while (extra-- > 0 && p < e && (*p & 0xC0) == 0x80) c = (c << 6) | (*p++ & 0x3F);
  return c;
}

void Encode(std::uint32_t c, std::string& out) {
  if (c < 0x80) out += char(c);
  else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

std::uint32_t Lower(std::uint32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE && c != 0xD7) return c + 32;
  if (c >= 0x100 && c <= 0x137) return c | 1;
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
  if (c >= 0x14A && c <= 0x177) return c | 1;
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
  return c;
}

std::uint32_t UpperCp(std::uint32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0xE0) return c;
  if (c <= 0xFE && c != 0xF7) return c - 32;
  if (c >= 0x100 && c <= 0x137) return c & ~1u;
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c : c - 1;
  if (c >= 0x14A && c <= 0x177) return c & ~1u;
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c : c - 1;
  return c;
}

// Sort weights of the Polish case-insensitive, accent-sensitive order:
// punctuation before digits before letters; letters of the Polish alphabet (ą ć ę ł ń ó ś ź ż) each sort after their
// base letter, other accented Latin letters sort with their base letter and
// differ only at the second level; the case is folded before.
struct Weight {
  std::uint32_t primary;
  std::uint32_t secondary;
};

Weight SortWeight(std::uint32_t c) {
  c = Lower(c);
  auto letter = [](char base, int rank) { return 0x1000u + std::uint32_t(base - 'a') * 4 + rank; };
  if (c < 0x80) {  // punctuation, then digits, then letters
    if (c >= 'a' && c <= 'z') return {letter(char(c), 0), 0};
    return {c >= '0' && c <= '9' ? 0x800u + c : c, 0};
  }
  switch (c) {
    case 0x105: return {letter('a', 1), 0};  // ą
    case 0x107: return {letter('c', 1), 0};  // ć
    case 0x119: return {letter('e', 1), 0};  // ę
    case 0x142: return {letter('l', 1), 0};  // ł
    case 0x144: return {letter('n', 1), 0};  // ń
    case 0xF3: return {letter('o', 1), 0};   // ó
    case 0x15B: return {letter('s', 1), 0};  // ś
    case 0x17A: return {letter('z', 1), 0};  // ź
    case 0x17C: return {letter('z', 2), 0};  // ż
    default: break;
  }
  // Latin-1 and Latin Extended-A letters by their base letter.
  static const char* latin1 = "aaaaaaaceeeeiiiidnooooo/ouuuuyty";  // U+00E0..U+00FF
  static const char* extA =
      "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiiijjkkkllllllllllnnnnnnnnnoooooooorrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
  char base = 0;
  if (c >= 0xE0 && c <= 0xFF) base = latin1[c - 0xE0];
  else if (c >= 0x100 && c <= 0x17F) base = extA[c - 0x100];
  if (base >= 'a' && base <= 'z') return {letter(base, 0), c};
  return {0x2000u + c, 0};
}

int CiCompare(void*, int n1, const void* v1, int n2, const void* v2) {
  const unsigned char *a = static_cast<const unsigned char*>(v1), *ae = a + n1;
  const unsigned char *b = static_cast<const unsigned char*>(v2), *be = b + n2;
  // Trailing blanks never count.
  while (ae > a && ae[-1] == ' ') --ae;
  while (be > b && be[-1] == ' ') --be;
  int second = 0;  // the first difference at the second level
  while (a < ae && b < be) {
    if (*a < 0x80 && *b < 0x80) {  // ASCII: no decoding
      unsigned char x = *a >= 'A' && *a <= 'Z' ? *a + 32 : *a, y = *b >= 'A' && *b <= 'Z' ? *b + 32 : *b;
      if (x != y) {
        Weight wx = SortWeight(x), wy = SortWeight(y);
        return wx.primary < wy.primary ? -1 : 1;
      }
      ++a;
      ++b;
      continue;
    }
    Weight x = SortWeight(Decode(a, ae)), y = SortWeight(Decode(b, be));
    if (x.primary != y.primary) return x.primary < y.primary ? -1 : 1;
    if (!second && x.secondary != y.secondary) second = x.secondary < y.secondary ? -1 : 1;
  }
  if (a < ae) return 1;
  if (b < be) return -1;
  return second;
}

std::vector<std::uint32_t> Cps(const std::string& s, bool fold) {
  std::vector<std::uint32_t> r;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
  const unsigned char* e = p + s.size();
  while (p < e) {
    std::uint32_t c = Decode(p, e);
    r.push_back(fold ? Lower(c) : c);
  }
  return r;
}

std::string FromCps(const std::vector<std::uint32_t>& v, std::size_t from, std::size_t n) {
  std::string out;
  for (std::size_t i = from; i < v.size() && i < from + n; ++i) Encode(v[i], out);
  return out;
}

// T-SQL LIKE: % _ [set] [^set] [a-z], escape character, case ignored.
bool LikeMatch(const std::vector<std::uint32_t>& p, std::size_t pi, const std::vector<std::uint32_t>& s,
               std::size_t si, std::uint32_t esc) {
  while (pi < p.size()) {
    std::uint32_t c = p[pi];
    if (esc && c == esc && pi + 1 < p.size()) {
      if (si >= s.size() || s[si] != p[pi + 1]) return false;
      pi += 2;
      ++si;
      continue;
    }
    if (c == '%') {
      while (pi < p.size() && p[pi] == '%') ++pi;
      if (pi == p.size()) return true;
      for (std::size_t k = si; k <= s.size(); ++k)
        if (LikeMatch(p, pi, s, k, esc)) return true;
      return false;
    }
    if (si >= s.size()) return false;
    if (c == '_') {
      ++pi;
      ++si;
      continue;
    }
    if (c == '[') {
      std::size_t j = pi + 1;
      bool neg = j < p.size() && p[j] == '^';
      if (neg) ++j;
      bool hit = false;
      std::size_t start = j;
      while (j < p.size() && (p[j] != ']' || j == start)) {
        if (j + 2 < p.size() && p[j + 1] == '-' && p[j + 2] != ']') {
          if (s[si] >= p[j] && s[si] <= p[j + 2]) hit = true;
          j += 3;
        } else {
          if (s[si] == p[j]) hit = true;
          ++j;
        }
      }
      if (j >= p.size()) return false;
      if (hit == neg) return false;
      pi = j + 1;
      ++si;
      continue;
    }
    if (c != s[si]) return false;
    ++pi;
    ++si;
  }
  return si == s.size();
}

Engine& Eng(sqlite3_context* ctx) { return static_cast<Database*>(sqlite3_user_data(ctx))->engine(); }
Database& Db(sqlite3_context* ctx) { return *static_cast<Database*>(sqlite3_user_data(ctx)); }

db::Value Val(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return db::Value::Int(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return db::Value::Real(sqlite3_value_double(v));
    case SQLITE_NULL: return db::Value();
    default: {
      const char* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
      return db::Value::Str(std::string(p ? p : "", sqlite3_value_bytes(v)));
    }
  }
}

std::string Text(sqlite3_value* v) {
  const char* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return std::string(p ? p : "", p ? sqlite3_value_bytes(v) : 0);
}

void Result(sqlite3_context* ctx, const db::Value& v) {
  switch (v.kind()) {
    case db::Value::Kind::Null: sqlite3_result_null(ctx); break;
    case db::Value::Kind::Integer: sqlite3_result_int64(ctx, v.AsInteger()); break;
    case db::Value::Kind::Float: sqlite3_result_double(ctx, v.AsFloat()); break;
    case db::Value::Kind::DateTime: {
      std::string s = DateText(v.AsDateTime());
      sqlite3_result_text(ctx, s.data(), (int)s.size(), SQLITE_TRANSIENT);
      break;
    }
    case db::Value::Kind::Text: {
      std::string s = v.AsString();
      sqlite3_result_text(ctx, s.data(), (int)s.size(), SQLITE_TRANSIENT);
      break;
    }
  }
}

void Fail(sqlite3_context* ctx, const SqlError& e) {
  Eng(ctx).pendingError = e;
  sqlite3_result_error(ctx, e.what(), -1);
}

bool AnyNull(int n, sqlite3_value** a) {
  for (int i = 0; i < n; ++i)
    if (sqlite3_value_type(a[i]) == SQLITE_NULL) return true;
  return false;
}

void FnLike(sqlite3_context* ctx, int n, sqlite3_value** a) {
  if (AnyNull(2, a)) return sqlite3_result_null(ctx);
  std::uint32_t esc = 0;
  if (n == 3) {
    auto e = Cps(Text(a[2]), true);
    if (!e.empty()) esc = e[0];
  }
  sqlite3_result_int(ctx, LikeMatch(Cps(Text(a[0]), true), 0, Cps(Text(a[1]), true), 0, esc));
}

void FnAdd(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (AnyNull(2, a)) return sqlite3_result_null(ctx);
  int ta = sqlite3_value_type(a[0]), tb = sqlite3_value_type(a[1]);
  bool sa = ta == SQLITE_TEXT || ta == SQLITE_BLOB, sb = tb == SQLITE_TEXT || tb == SQLITE_BLOB;
  if (sa && sb) {
    std::string r = Text(a[0]) + Text(a[1]);
    return sqlite3_result_text(ctx, r.data(), (int)r.size(), SQLITE_TRANSIENT);
  }
  try {
    db::Value x = Val(a[0]), y = Val(a[1]);
    ConvertContext cc;
    ColType ci = ResolveType(TypeSpec{"int"});
    ColType cf = ResolveType(TypeSpec{"float"});
    bool isFloat = ta == SQLITE_FLOAT || tb == SQLITE_FLOAT;
    if (sa) x = ConvertValue(x, "varchar", isFloat ? cf : ci, true, false, cc);
    if (sb) y = ConvertValue(y, "varchar", isFloat ? cf : ci, true, false, cc);
    if (x.kind() == db::Value::Kind::Integer && y.kind() == db::Value::Kind::Integer)
      return sqlite3_result_int64(ctx, x.AsInteger() + y.AsInteger());
    sqlite3_result_double(ctx, x.AsFloat() + y.AsFloat());
  } catch (const SqlError& e) {
    Fail(ctx, e);
  }
}

void FnCast(sqlite3_context* ctx, int n, sqlite3_value** a) {
  try {
    TypeSpec ts;
    ts.name = Text(a[1]);
    ColType t;
    t.info = FindType(ts.name);
    t.name = t.info ? t.info->name : ts.name;
    t.maxLength = sqlite3_value_int(a[2]);
    t.prec = sqlite3_value_int(a[3]);
    t.scale = sqlite3_value_int(a[4]);
    ConvertContext cc;
    Engine& eng = Eng(ctx);
    cc.dayFirst = eng.dayFirst;
    std::string lang = FoldCase(eng.language);
    cc.polishMonths = lang == "polish" || lang == "polski";
    db::Value v = Val(a[0]);
    std::string from;
    if (n >= 7) {
      // CONVERT's style, and the type the value comes from when it is a
      // date (kept as text in the data tables) or money.
      if (sqlite3_value_type(a[5]) != SQLITE_NULL) cc.style = sqlite3_value_int(a[5]);
      from = Text(a[6]);
      const TypeInfo* fi = FindType(from);
      db::DateTime d;
      if (fi && fi->cls == TypeClass::Date && v.kind() == db::Value::Kind::Text && ParseDateText(v.AsString(), false, &d))
        v = db::Value::Date(d);
      if (!fi || fi->cls != TypeClass::Money) from.clear();
    }
    Result(ctx, ConvertValue(v, from, t, false, false, cc));
  } catch (const SqlError& e) {
    Fail(ctx, e);
  }
}

void FnStore(sqlite3_context* ctx, int, sqlite3_value** a) {
  try {
    ColType t;
    t.info = FindType(Text(a[1]));
    t.name = t.info ? t.info->name : Text(a[1]);
    t.maxLength = sqlite3_value_int(a[2]);
    t.prec = sqlite3_value_int(a[3]);
    t.scale = sqlite3_value_int(a[4]);
    ConvertContext cc;
    cc.dayFirst = Eng(ctx).dayFirst;
    Result(ctx, ConvertValue(Val(a[0]), "", t, true, true, cc));
  } catch (const SqlError& e) {
    Fail(ctx, e);
  }
}

void FnRound(sqlite3_context* ctx, int n, sqlite3_value** a) {
  if (AnyNull(n, a)) return sqlite3_result_null(ctx);
  int digits = sqlite3_value_int(a[1]);
  bool trunc = n == 3 && sqlite3_value_int(a[2]) != 0;
  if (sqlite3_value_type(a[0]) == SQLITE_INTEGER) {
    long long v = sqlite3_value_int64(a[0]);
    if (digits >= 0) return sqlite3_result_int64(ctx, v);
    long long p = (long long)std::pow(10, -digits);
    long long r = trunc ? v / p * p : (long long)std::llround((double)v / p) * p;
    return sqlite3_result_int64(ctx, r);
  }
  double v = sqlite3_value_double(a[0]), p = std::pow(10.0, digits);
  sqlite3_result_double(ctx, trunc ? std::trunc(v * p) / p : std::round(v * p) / p);
}

void FnCharindex(sqlite3_context* ctx, int n, sqlite3_value** a) {
  if (AnyNull(2, a)) return sqlite3_result_null(ctx);
  auto needle = Cps(Text(a[0]), true), hay = Cps(Text(a[1]), true);
  std::size_t start = n == 3 && sqlite3_value_int(a[2]) > 1 ? sqlite3_value_int(a[2]) - 1 : 0;
  if (needle.empty()) return sqlite3_result_int(ctx, 0);
  for (std::size_t i = start; i + needle.size() <= hay.size(); ++i)
    if (std::equal(needle.begin(), needle.end(), hay.begin() + i)) return sqlite3_result_int64(ctx, i + 1);
  sqlite3_result_int(ctx, 0);
}

void FnSubstring(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (AnyNull(3, a)) return sqlite3_result_null(ctx);
  auto s = Cps(Text(a[0]), false);
  long long start = sqlite3_value_int64(a[1]), len = sqlite3_value_int64(a[2]);
  if (len < 0) {
    Fail(ctx, SqlError(537, "Invalid length parameter passed to the LEFT or SUBSTRING function."));
    return;
  }
  long long from = start - 1, to = start - 1 + len;
  if (from < 0) from = 0;
  if (to < from) to = from;
  std::string r = FromCps(s, (std::size_t)from, (std::size_t)(to - from));
  sqlite3_result_text(ctx, r.data(), (int)r.size(), SQLITE_TRANSIENT);
}

void FnLeftRight(sqlite3_context* ctx, int, sqlite3_value** a, bool left) {
  if (AnyNull(2, a)) return sqlite3_result_null(ctx);
  auto s = Cps(Text(a[0]), false);
  long long n = sqlite3_value_int64(a[1]);
  if (n < 0) n = 0;
  std::size_t k = std::min<std::size_t>(s.size(), (std::size_t)n);
  std::string r = left ? FromCps(s, 0, k) : FromCps(s, s.size() - k, k);
  sqlite3_result_text(ctx, r.data(), (int)r.size(), SQLITE_TRANSIENT);
}

void FnLen(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (AnyNull(1, a)) return sqlite3_result_null(ctx);
  auto s = Cps(Text(a[0]), false);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  sqlite3_result_int64(ctx, (long long)s.size());
}

void FnCase(sqlite3_context* ctx, sqlite3_value** a, bool up) {
  if (AnyNull(1, a)) return sqlite3_result_null(ctx);
  std::string r;
  for (auto c : Cps(Text(a[0]), false)) Encode(up ? UpperCp(c) : Lower(c), r);
  sqlite3_result_text(ctx, r.data(), (int)r.size(), SQLITE_TRANSIENT);
}

void FnGetdate(sqlite3_context* ctx, int, sqlite3_value**) {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  db::DateTime d{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  Result(ctx, db::Value::Date(d));
}

void FnNewid(sqlite3_context* ctx, int, sqlite3_value**) {
  static std::mt19937_64 rng(12345);
  char b[40];
  std::uint64_t x = rng(), y = rng();
  std::snprintf(b, sizeof b, "%08X-%04X-%04X-%04X-%012llX", (unsigned)(x >> 32), (unsigned)((x >> 16) & 0xFFFF),
                (unsigned)(x & 0xFFFF), (unsigned)(y >> 48), (unsigned long long)(y & 0xFFFFFFFFFFFFULL));
  sqlite3_result_text(ctx, b, -1, SQLITE_TRANSIENT);
}

std::string ProductVersion(int major) {
  switch (major) {
    case 8: return "8.00.2039";
    case 9: return "9.00.1399.06";
    case 10: return "10.0.1600.22";
    case 11: return "11.0.2100.60";
    case 12: return "12.0.2000.8";
    case 13: return "13.0.1601.5";
    case 14: return "14.0.1000.169";
    case 15: return "15.0.2000.5";
    default: return std::to_string(major) + ".0.1000.0";
  }
}

void FnServerProperty(sqlite3_context* ctx, int, sqlite3_value** a) {
  std::string p = Upper(Text(a[0]));
  Engine& e = Eng(ctx);
  std::string v;
  if (p == "PRODUCTVERSION") v = ProductVersion(e.majorVersion);
  else if (p == "PRODUCTLEVEL") v = "RTM";
  else if (p == "EDITION") v = "Developer Edition (64-bit)";
  else if (p == "SERVERNAME" || p == "MACHINENAME") v = "SIM";
  else if (p == "COLLATION") v = e.defaultCollation;
  else if (p == "ENGINEEDITION") return sqlite3_result_int(ctx, 3);
  else return sqlite3_result_null(ctx);
  sqlite3_result_text(ctx, v.data(), (int)v.size(), SQLITE_TRANSIENT);
}

void FnObjName(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (AnyNull(1, a)) return sqlite3_result_null(ctx);
  std::string s = Text(a[0]);
  // Keep only the last part of [db].[schema].[name] and drop the brackets.
  std::string last, cur;
  bool br = false;
  for (char c : s) {
    if (c == '[' && !br) br = true;
    else if (c == ']' && br) br = false;
    else if (c == '.' && !br) {
      last = cur;
      cur.clear();
    } else cur += c;
  }
  (void)last;
  sqlite3_result_text(ctx, cur.data(), (int)cur.size(), SQLITE_TRANSIENT);
}

void FnXor(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (AnyNull(2, a)) return sqlite3_result_null(ctx);
  sqlite3_result_int64(ctx, sqlite3_value_int64(a[0]) ^ sqlite3_value_int64(a[1]));
}

void FnFloorCeil(sqlite3_context* ctx, sqlite3_value** a, bool ceil) {
  if (AnyNull(1, a)) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(a[0]) == SQLITE_INTEGER) return sqlite3_result_int64(ctx, sqlite3_value_int64(a[0]));
  double v = sqlite3_value_double(a[0]);
  sqlite3_result_double(ctx, ceil ? std::ceil(v) : std::floor(v));
}

void FnReplicate(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (AnyNull(2, a)) return sqlite3_result_null(ctx);
  std::string s = Text(a[0]), r;
  for (long long i = 0; i < sqlite3_value_int64(a[1]) && r.size() < 100000; ++i) r += s;
  sqlite3_result_text(ctx, r.data(), (int)r.size(), SQLITE_TRANSIENT);
}

void FnDatalength(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (AnyNull(1, a)) return sqlite3_result_null(ctx);
  int t = sqlite3_value_type(a[0]);
  if (t == SQLITE_INTEGER) return sqlite3_result_int(ctx, 4);
  if (t == SQLITE_FLOAT) return sqlite3_result_int(ctx, 8);
  sqlite3_result_int64(ctx, sqlite3_value_bytes(a[0]));
}

void FnDatePart(sqlite3_context* ctx, sqlite3_value** a, int which) {
  if (AnyNull(1, a)) return sqlite3_result_null(ctx);
  db::DateTime d;
  if (!ParseDateText(Text(a[0]), Eng(ctx).dayFirst, &d)) {
    Fail(ctx, SqlError(241, "Conversion failed when converting date and/or time from character string."));
    return;
  }
  sqlite3_result_int(ctx, which == 0 ? d.year : which == 1 ? d.month : d.day);
}

// Days since 1970-01-01 of a civil date, and back.
long long DaysFromCivil(long long y, int m, int d) {
  y -= m <= 2;
  long long era = (y >= 0 ? y : y - 399) / 400;
  long long yoe = y - era * 400;
  long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

void CivilFromDays(long long z, db::DateTime* d) {
  z += 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  d->day = int(doy - (153 * mp + 2) / 5 + 1);
  d->month = int(mp < 10 ? mp + 3 : mp - 9);
  d->year = int(yoe + era * 400 + (d->month <= 2));
}

// A date argument: text read as a date, a number as days from 1900-01-01.
bool DateArg(sqlite3_context* ctx, sqlite3_value* v, db::DateTime* out) {
  if (sqlite3_value_type(v) == SQLITE_INTEGER || sqlite3_value_type(v) == SQLITE_FLOAT) {
    double f = sqlite3_value_double(v);
    long long days = (long long)std::floor(f);
    *out = db::DateTime{};
    CivilFromDays(DaysFromCivil(1900, 1, 1) + days, out);
    long long secs = (long long)std::llround((f - days) * 86400);
    out->hour = int(secs / 3600), out->minute = int(secs / 60 % 60), out->second = int(secs % 60);
    return true;
  }
  if (!ParseDateText(Text(v), Eng(ctx).dayFirst, out)) {
    Fail(ctx, SqlError(241, "Conversion failed when converting date and/or time from character string."));
    return false;
  }
  return true;
}

long long Seconds(const db::DateTime& d) {
  return DaysFromCivil(d.year, d.month, d.day) * 86400 + d.hour * 3600 + d.minute * 60 + d.second;
}

// DATEADD(part, n, date)
void FnDateAdd(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (AnyNull(3, a)) return sqlite3_result_null(ctx);
  std::string part = Text(a[0]);
  long long n = sqlite3_value_int64(a[1]);
  db::DateTime d;
  if (!DateArg(ctx, a[2], &d)) return;
  if (part == "year" || part == "quarter" || part == "month") {
    long long months = (long long)d.year * 12 + (d.month - 1) + n * (part == "year" ? 12 : part == "quarter" ? 3 : 1);
    d.year = int(months / 12);
    d.month = int(months % 12) + 1;
    static const int mdays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    d.day = std::min(d.day, mdays[d.month - 1] + (d.month == 2 && leap ? 1 : 0));
  } else {
    long long step = part == "week" ? 7 * 86400LL : part == "hour" ? 3600 : part == "minute" ? 60 : part == "second" ? 1
                     : part == "millisecond" ? 0 : 86400;
    long long t = Seconds(d) + n * step;
    long long days = t >= 0 ? t / 86400 : -((-t + 86399) / 86400);
    long long rest = t - days * 86400;
    CivilFromDays(days, &d);
    d.hour = int(rest / 3600), d.minute = int(rest / 60 % 60), d.second = int(rest % 60);
  }
  if (d.year < 1753 || d.year > 9999) {
    Fail(ctx, SqlError(517, "Adding a value to a 'datetime' column caused an overflow."));
    return;
  }
  Result(ctx, db::Value::Date(d));
}

long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// DATEDIFF(part, start, end): the part boundaries crossed; weeks start on Sunday.
void FnDateDiff(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (AnyNull(3, a)) return sqlite3_result_null(ctx);
  std::string part = Text(a[0]);
  db::DateTime x, y;
  if (!DateArg(ctx, a[1], &x) || !DateArg(ctx, a[2], &y)) return;
  long long r = 0, dx = DaysFromCivil(x.year, x.month, x.day), dy = DaysFromCivil(y.year, y.month, y.day);
  if (part == "year") r = y.year - x.year;
  else if (part == "quarter") r = (y.year * 4LL + (y.month - 1) / 3) - (x.year * 4LL + (x.month - 1) / 3);
  else if (part == "month") r = (y.year * 12LL + y.month) - (x.year * 12LL + x.month);
  else if (part == "week") r = FloorDiv(dy + 4, 7) - FloorDiv(dx + 4, 7);  // 1970-01-04 was a Sunday
  else if (part == "hour") r = FloorDiv(Seconds(y), 3600) - FloorDiv(Seconds(x), 3600);
  else if (part == "minute") r = FloorDiv(Seconds(y), 60) - FloorDiv(Seconds(x), 60);
  else if (part == "second") r = Seconds(y) - Seconds(x);
  else if (part == "millisecond") r = (Seconds(y) - Seconds(x)) * 1000;
  else r = dy - dx;
  sqlite3_result_int64(ctx, r);
}

// DATEPART(part, date); weekday and week follow SET DATEFIRST.
void FnDatePartOf(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (AnyNull(2, a)) return sqlite3_result_null(ctx);
  std::string part = Text(a[0]);
  db::DateTime d;
  if (!DateArg(ctx, a[1], &d)) return;
  long long days = DaysFromCivil(d.year, d.month, d.day);
  int first = Eng(ctx).dateFirst;
  auto iso = [](long long z) { return int(((z % 7 + 7) % 7 + 3) % 7 + 1); };  // 1 Monday .. 7 Sunday
  auto weekStart = [&](long long z) { return z - (iso(z) - first + 7) % 7; };
  long long r = 0;
  if (part == "year") r = d.year;
  else if (part == "quarter") r = (d.month - 1) / 3 + 1;
  else if (part == "month") r = d.month;
  else if (part == "dayofyear") r = days - DaysFromCivil(d.year, 1, 1) + 1;
  else if (part == "weekday") r = (iso(days) - first + 7) % 7 + 1;
  else if (part == "week") r = (weekStart(days) - weekStart(DaysFromCivil(d.year, 1, 1))) / 7 + 1;
  else if (part == "hour") r = d.hour;
  else if (part == "minute") r = d.minute;
  else if (part == "second") r = d.second;
  else if (part == "millisecond") r = 0;
  else r = d.day;
  sqlite3_result_int64(ctx, r);
}

// ISNUMERIC(x): 1 when the text reads as a number.
void FnIsNumeric(sqlite3_context* ctx, int, sqlite3_value** a) {
  int t = sqlite3_value_type(a[0]);
  if (t == SQLITE_NULL) return sqlite3_result_int(ctx, 0);
  if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) return sqlite3_result_int(ctx, 1);
  std::string s = Text(a[0]);
  while (!s.empty() && std::isspace((unsigned char)s.back())) s.pop_back();
  while (!s.empty() && std::isspace((unsigned char)s.front())) s.erase(s.begin());
  char* e = nullptr;
  if (!s.empty() && (s[0] == '$')) s = s.substr(1);
  std::strtod(s.c_str(), &e);
  sqlite3_result_int(ctx, !s.empty() && e && *e == 0 ? 1 : 0);
}

void FnVersion(sqlite3_context* ctx, int, sqlite3_value**) {
  Engine& e = Eng(ctx);
  std::string year = e.majorVersion <= 8 ? "2000" : e.majorVersion == 9 ? "2005" : e.majorVersion == 10 ? "2008"
                     : e.majorVersion == 11 ? "2012" : e.majorVersion == 12 ? "2014" : e.majorVersion == 13 ? "2016"
                     : e.majorVersion == 14 ? "2017" : e.majorVersion == 15 ? "2019" : "2022";
  std::string v = "Microsoft SQL Server " + year + " - " + ProductVersion(e.majorVersion) + " (X64) \n" +
                  "\tSep 24 2019 13:48:23 \n\tCopyright (C) 2019 Microsoft Corporation\n" +
                  "\tDeveloper Edition (64-bit) on Linux (Sim) <X64>";
  sqlite3_result_text(ctx, v.data(), (int)v.size(), SQLITE_TRANSIENT);
}

void FnDbName(sqlite3_context* ctx, int, sqlite3_value**) {
  Engine& e = Eng(ctx);
  std::string n = e.current ? e.current->name() : Db(ctx).name();
  sqlite3_result_text(ctx, n.data(), (int)n.size(), SQLITE_TRANSIENT);
}

}  // namespace

// The date part a DATEADD/DATEDIFF/DATEPART names, by its canonical name.
std::string DatePartName(const std::string& written) {
  static const std::pair<const char*, const char*> names[] = {
      {"year", "year"}, {"yy", "year"}, {"yyyy", "year"}, {"quarter", "quarter"}, {"qq", "quarter"}, {"q", "quarter"},
      {"month", "month"}, {"mm", "month"}, {"m", "month"}, {"dayofyear", "dayofyear"}, {"dy", "dayofyear"}, {"y", "dayofyear"},
      {"day", "day"}, {"dd", "day"}, {"d", "day"}, {"week", "week"}, {"wk", "week"}, {"ww", "week"},
      {"weekday", "weekday"}, {"dw", "weekday"}, {"w", "weekday"}, {"hour", "hour"}, {"hh", "hour"},
      {"minute", "minute"}, {"mi", "minute"}, {"n", "minute"}, {"second", "second"}, {"ss", "second"}, {"s", "second"},
      {"millisecond", "millisecond"}, {"ms", "millisecond"}};
  std::string w = FoldCase(written);
  for (auto& [n, c] : names)
    if (w == n) return c;
  return "";
}

std::string FoldCase(const std::string& s) {
  std::string r;
  for (auto c : Cps(s, true)) Encode(c, r);
  return r;
}

void RegisterFunctions(Database& d) {
  sqlite3* h = d.handle();
  sqlite3_create_collation(h, "CI", SQLITE_UTF8, nullptr, CiCompare);
  auto reg = [&](const char* name, int n, void (*f)(sqlite3_context*, int, sqlite3_value**), bool det = true) {
    sqlite3_create_function(h, name, n, SQLITE_UTF8 | (det ? SQLITE_DETERMINISTIC : 0), &d, f, nullptr, nullptr);
  };
  reg("like", 2, FnLike);
  reg("like", 3, FnLike);
  reg("tsql_add", 2, FnAdd);
  reg("tsql_cast", 5, FnCast);
  reg("tsql_cast", 7, FnCast);
  reg("tsql_store", 5, FnStore);
  reg("tsql_round", 2, FnRound);
  reg("tsql_round", 3, FnRound);
  reg("tsql_charindex", 2, FnCharindex);
  reg("tsql_charindex", 3, FnCharindex);
  reg("tsql_substring", 3, FnSubstring);
  reg("tsql_left", 2, [](sqlite3_context* c, int n, sqlite3_value** a) { FnLeftRight(c, n, a, true); });
  reg("tsql_right", 2, [](sqlite3_context* c, int n, sqlite3_value** a) { FnLeftRight(c, n, a, false); });
  reg("tsql_len", 1, FnLen);
  reg("tsql_upper", 1, [](sqlite3_context* c, int, sqlite3_value** a) { FnCase(c, a, true); });
  reg("tsql_lower", 1, [](sqlite3_context* c, int, sqlite3_value** a) { FnCase(c, a, false); });
  reg("tsql_getdate", 0, FnGetdate, false);
  reg("tsql_newid", 0, FnNewid, false);
  reg("tsql_serverproperty", 1, FnServerProperty, false);
  reg("tsql_version", 0, FnVersion, false);
  reg("tsql_objname", 1, FnObjName);
  reg("tsql_xor", 2, FnXor);
  reg("tsql_floor", 1, [](sqlite3_context* c, int, sqlite3_value** a) { FnFloorCeil(c, a, false); });
  reg("tsql_ceiling", 1, [](sqlite3_context* c, int, sqlite3_value** a) { FnFloorCeil(c, a, true); });
  reg("tsql_replicate", 2, FnReplicate);
  reg("tsql_datalength", 1, FnDatalength);
  reg("tsql_year", 1, [](sqlite3_context* c, int, sqlite3_value** a) { FnDatePart(c, a, 0); });
  reg("tsql_month", 1, [](sqlite3_context* c, int, sqlite3_value** a) { FnDatePart(c, a, 1); });
  reg("tsql_day", 1, [](sqlite3_context* c, int, sqlite3_value** a) { FnDatePart(c, a, 2); });
  reg("tsql_db_name", 0, FnDbName, false);
  reg("tsql_dateadd", 3, FnDateAdd);
  reg("tsql_datediff", 3, FnDateDiff);
  reg("tsql_datepart", 2, FnDatePartOf, false);  // follows SET DATEFIRST
  reg("tsql_isnumeric", 1, FnIsNumeric);
}

}  // namespace sqlsim
