#include "sqlite/sql_scan.h"

#include <cctype>

namespace sqlite::scan {

namespace {
bool IsNameStart(unsigned char c) {
  return std::isalpha(c) || c == '_' || c >= 0x80;
}
bool IsNameChar(unsigned char c) {
  return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80;
}

// End of a literal opened at `i` with `close`; a doubled `close` stays inside
// unless `close` is ']'.
std::size_t LiteralEnd(const std::string& s, std::size_t i, char close) {
  std::size_t j = i + 1;
  while (j < s.size()) {
    if (s[j] == close) {
      if (close != ']' && j + 1 < s.size() && s[j + 1] == close) {
        j += 2;
        continue;
      }
      return j + 1;
    }
    ++j;
  }
  return s.size();
}
}  // namespace

std::vector<Token> Tokenize(const std::string& s) {
  std::vector<Token> out;
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c <= 32) {
      ++i;
    } else if (c == '-' && i + 1 < n && s[i + 1] == '-') {
      std::size_t j = s.find('\n', i);
      i = j == std::string::npos ? n : j + 1;
    } else if (c == '/' && i + 1 < n && s[i + 1] == '*') {
      std::size_t j = s.find("*/", i + 2);
      i = j == std::string::npos ? n : j + 2;
    } else if (c == '\'') {
      std::size_t e = LiteralEnd(s, i, '\'');
      out.push_back({Tok::String, i, e});
      i = e;
    } else if (c == '"') {
      std::size_t e = LiteralEnd(s, i, '"');
      out.push_back({Tok::DQuoted, i, e});
      i = e;
    } else if (c == '[' || c == '`') {
      std::size_t e = LiteralEnd(s, i, c == '[' ? ']' : '`');
      out.push_back({Tok::Ident, i, e});
      i = e;
    } else if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
      std::size_t j = i;
      while (j < n && (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '.')) {
        if ((s[j] == 'e' || s[j] == 'E') && j + 1 < n && (s[j + 1] == '+' || s[j + 1] == '-')) ++j;
        ++j;
      }
      out.push_back({Tok::Number, i, j});
      i = j;
    } else if (IsNameStart(c)) {
      std::size_t j = i;
      while (j < n && IsNameChar(static_cast<unsigned char>(s[j]))) ++j;
      out.push_back({Tok::Word, i, j});
      i = j;
    } else {
      out.push_back({Tok::Punct, i, i + 1});
      ++i;
    }
  }
  return out;
}

bool IsWord(const std::string& text, const Token& t, const char* keyword) {
  if (t.kind != Tok::Word) return false;
  std::size_t k = 0;
  for (std::size_t i = t.begin; i < t.end; ++i, ++k) {
    if (!keyword[k]) return false;
    if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(keyword[k])))
      return false;
  }
  return keyword[k] == '\0';
}

bool IsPunct(const std::string& text, const Token& t, char c) {
  return t.kind == Tok::Punct && text[t.begin] == c;
}

std::string NameOf(const std::string& text, const Token& t) {
  if (t.kind != Tok::Ident && t.kind != Tok::DQuoted) return text.substr(t.begin, t.end - t.begin);
  char close = text[t.begin] == '[' ? ']' : text[t.begin];
  std::size_t stop = t.end;
  if (stop > t.begin + 1 && text[stop - 1] == close) --stop;
  std::string out;
  for (std::size_t i = t.begin + 1; i < stop; ++i) {
    out += text[i];
    if (close != ']' && text[i] == close && i + 1 < stop && text[i + 1] == close) ++i;
  }
  return out;
}

}  // namespace sqlite::scan
