#include "db/db.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace db {

Value Value::Int(std::int64_t v) {
  Value r;
  r.kind_ = Kind::Integer;
  r.i_ = v;
  return r;
}
Value Value::Real(double v) {
  Value r;
  r.kind_ = Kind::Float;
  r.f_ = v;
  return r;
}
Value Value::Str(std::string v) {
  Value r;
  r.kind_ = Kind::Text;
  r.s_ = std::move(v);
  return r;
}
Value Value::Date(DateTime v) {
  Value r;
  r.kind_ = Kind::DateTime;
  r.d_ = v;
  return r;
}

namespace {
bool IsBlank(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) > 32) return false;
  return true;
}
}  // namespace

std::int64_t Value::AsInteger() const {
  switch (kind_) {
    case Kind::Null:
      return 0;
    case Kind::Integer:
      return i_;
    case Kind::Float:
      return static_cast<std::int64_t>(f_);
    case Kind::DateTime:
      throw std::invalid_argument("a date cannot be read as a number");
    case Kind::Text: {
      if (IsBlank(s_)) return 0;
      const char* b = s_.c_str();
      char* e = nullptr;
      double d = std::strtod(b, &e);
      while (e && *e && static_cast<unsigned char>(*e) <= 32) ++e;
      if (e == b || (e && *e)) throw std::invalid_argument("'" + s_ + "' is not a valid integer value");
      return static_cast<std::int64_t>(d);
    }
  }
  return 0;
}

double Value::AsFloat() const {
  switch (kind_) {
    case Kind::Null:
      return 0;
    case Kind::Integer:
      return static_cast<double>(i_);
    case Kind::Float:
      return f_;
    case Kind::DateTime:
      throw std::invalid_argument("a date cannot be read as a number");
    case Kind::Text: {
      if (IsBlank(s_)) return 0;
      const char* b = s_.c_str();
      char* e = nullptr;
      double d = std::strtod(b, &e);
      if (e == b) throw std::invalid_argument("'" + s_ + "' is not a valid floating point value");
      return d;
    }
  }
  return 0;
}

std::string Value::AsString() const {
  switch (kind_) {
    case Kind::Null:
      return "";
    case Kind::Integer:
      return std::to_string(i_);
    case Kind::Float: {
      if (std::floor(f_) == f_ && std::fabs(f_) < 1e15) return std::to_string(static_cast<std::int64_t>(f_));
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.15g", f_);
      return buf;
    }
    case Kind::Text:
      return s_;
    case Kind::DateTime: {
      char buf[64];
      if (d_.hour == 0 && d_.minute == 0 && d_.second == 0)
        std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", d_.day, d_.month, d_.year);
      else
        std::snprintf(buf, sizeof buf, "%02d-%02d-%04d %02d:%02d:%02d", d_.day, d_.month, d_.year, d_.hour,
                      d_.minute, d_.second);
      return buf;
    }
  }
  return "";
}

DateTime Value::AsDateTime() const {
  if (kind_ != Kind::DateTime) throw std::invalid_argument("'" + AsString() + "' is not a date");
  return d_;
}

bool Value::operator==(const Value& o) const {
  if (kind_ != o.kind_) return false;
  switch (kind_) {
    case Kind::Null:
      return true;
    case Kind::Integer:
      return i_ == o.i_;
    case Kind::Float:
      return f_ == o.f_;
    case Kind::Text:
      return s_ == o.s_;
    case Kind::DateTime:
      return d_ == o.d_;
  }
  return false;
}

std::string FormatOleError(std::uint32_t code, const std::string& message) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(code));
  return "(" + std::string(buf) + ") " + message;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::vector<std::string> ParseParamMarkers(const std::string& text, std::string* replaced) {
  std::vector<std::string> names;
  std::string out;
  out.reserve(text.size());
  auto isNameChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    char c = text[i];
    if (c == '\'' || c == '"' || c == '[') {
      char close = c == '[' ? ']' : c;
      std::size_t j = i + 1;
      while (j < n) {
        if (text[j] == close) {
          if (close != ']' && j + 1 < n && text[j + 1] == close) {  // doubled quote inside a literal
            j += 2;
            continue;
          }
          break;
        }
        ++j;
      }
      std::size_t end = j < n ? j + 1 : n;
      out.append(text, i, end - i);
      i = end;
    } else if (c == '-' && i + 1 < n && text[i + 1] == '-') {
      std::size_t j = text.find('\n', i);
      std::size_t end = j == std::string::npos ? n : j;
      out.append(text, i, end - i);
      i = end;
    } else if (c == ':' && i + 1 < n && text[i + 1] == ':') {
      out += "::";
      i += 2;
    } else if (c == ':' && i + 1 < n && isNameChar(text[i + 1])) {
      std::size_t j = i + 1;
      while (j < n && isNameChar(text[j])) ++j;
      names.push_back(text.substr(i + 1, j - i - 1));
      out += '?';
      i = j;
    } else {
      out += c;
      ++i;
    }
  }
  if (replaced) *replaced = std::move(out);
  return names;
}

void Connection::UpdateRow(const ResultSet&, std::size_t, const std::vector<std::pair<std::string, Value>>&) {
  throw OleError(code::kCommandError, "This connection does not support editing rows.");
}

std::unique_ptr<Query> Connection::CreateQuery() { return std::make_unique<Query>(*this); }

void Query::Clear() {
  lines_.clear();
  params_.clear();
}

void Query::Add(const std::string& line) { lines_.push_back(line); }

void Query::SetLines(const std::vector<std::string>& lines) { lines_ = lines; }

std::string Query::Text() const {
  std::string t;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i) t += "\r\n";
    t += lines_[i];
  }
  return t;
}

std::vector<std::string> Query::ParamNames() const {
  if (!paramCheck_) return {};
  return ParseParamMarkers(Text(), nullptr);
}

void Query::SetParam(const std::string& name, const Value& v) {
  bool known = false;
  for (const auto& n : ParamNames())
    if (EqualsNoCase(n, name)) known = true;
  if (!known) throw OleError(code::kCommandError, "Parameter '" + name + "' not found");
  for (auto& p : params_)
    if (EqualsNoCase(p.first, name)) {
      p.second = v;
      return;
    }
  params_.emplace_back(name, v);
}

Statement Query::Build() const {
  Statement st;
  st.timeoutSeconds = timeout_;
  if (!paramCheck_) {
    st.text = Text();
    return st;
  }
  for (const auto& n : ParseParamMarkers(Text(), &st.text)) {
    const Value* found = nullptr;
    for (const auto& p : params_)
      if (EqualsNoCase(p.first, n)) found = &p.second;
    if (!found) throw OleError(code::kCommandError, "No value given for parameter '" + n + "'");
    st.params.push_back(*found);
  }
  return st;
}

void Query::Open() {
  Close();
  rs_ = conn_->Execute(Build());
  active_ = true;
  pos_ = 0;
}

void Query::ExecSQL() {
  Close();
  conn_->Execute(Build());
}

void Query::Close() {
  active_ = false;
  editing_ = false;
  pending_.clear();
  rs_ = ResultSet{};
  pos_ = 0;
}

void Query::First() { pos_ = 0; }
void Query::Next() {
  if (pos_ < rs_.rows.size()) ++pos_;
}
bool Query::Eof() const { return pos_ >= rs_.rows.size(); }
int Query::RecordCount() const { return static_cast<int>(rs_.rows.size()); }

int Query::ColumnIndex(const std::string& name) const {
  for (std::size_t i = 0; i < rs_.columns.size(); ++i)
    if (EqualsNoCase(rs_.columns[i], name)) return static_cast<int>(i);
  return -1;
}

bool Query::HasField(const std::string& name) const { return ColumnIndex(name) >= 0; }

const Value& Query::Field(const std::string& name) const {
  int c = ColumnIndex(name);
  if (c < 0) throw OleError(code::kCommandError, "Field '" + name + "' not found");
  if (pos_ >= rs_.rows.size()) throw OleError(code::kCommandError, "Either BOF or EOF is True, or the current record has been deleted");
  return rs_.rows[pos_][static_cast<std::size_t>(c)];
}

bool Query::Locate(const std::string& field, const std::string& text) {
  int c = ColumnIndex(field);
  if (c < 0) throw OleError(code::kCommandError, "Field '" + field + "' not found");
  for (std::size_t r = 0; r < rs_.rows.size(); ++r)
    if (EqualsNoCase(rs_.rows[r][static_cast<std::size_t>(c)].AsString(), text)) {
      pos_ = r;
      return true;
    }
  return false;
}

void Query::Edit() {
  if (pos_ >= rs_.rows.size()) throw OleError(code::kCommandError, "Either BOF or EOF is True, or the current record has been deleted");
  editing_ = true;
  pending_.clear();
}

void Query::SetField(const std::string& name, const Value& v) {
  if (!editing_) throw OleError(code::kCommandError, "Dataset not in edit or insert mode");
  if (ColumnIndex(name) < 0) throw OleError(code::kCommandError, "Field '" + name + "' not found");
  pending_.emplace_back(name, v);
}

void Query::Post() {
  if (!editing_) throw OleError(code::kCommandError, "Dataset not in edit or insert mode");
  std::vector<std::pair<std::string, Value>> changes;
  for (const auto& [name, v] : pending_) changes.emplace_back(rs_.columns[static_cast<std::size_t>(ColumnIndex(name))], v);
  editing_ = false;
  pending_.clear();
  if (changes.empty()) return;
  conn_->UpdateRow(rs_, pos_, changes);
  for (const auto& [name, v] : changes) rs_.rows[pos_][static_cast<std::size_t>(ColumnIndex(name))] = v;
}

}  // namespace db
