#include "sqlsim/lexer.h"

#include <cctype>

#include "sqlsim/errors.h"

namespace sqlsim {

std::string Upper(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  return r;
}

bool IsKw(const Token& t, const char* kw) {
  if (t.kind != Tok::Ident) return false;
  std::size_t n = t.text.size(), i = 0;
  for (; i < n && kw[i]; ++i) {
    char a = t.text[i];
    if (a >= 'a' && a <= 'z') a = char(a - 32);
    if (a != kw[i]) return false;
  }
  return i == n && kw[i] == 0;
}

namespace {
bool IdentStart(unsigned char c) { return std::isalpha(c) || c == '_' || c == '#' || c >= 0x80; }
bool IdentPart(unsigned char c) { return std::isalnum(c) || c == '_' || c == '#' || c == '$' || c == '@' || c >= 0x80; }
}  // namespace

std::vector<Token> Tokenize(const std::string& s, bool quotedIdentifier) {
  std::vector<Token> out;
  std::size_t i = 0, n = s.size();
  auto quoted = [&](char close, std::size_t start) {
    std::string v;
    std::size_t j = start;
    for (;;) {
      if (j >= n) {
        // The server follows 105 with a syntax error at the same text.
        throw SqlError(105, "Unclosed quotation mark after the character string '" + v + "'.", 15)
            .Then(102, "Incorrect syntax near '" + v + "'.", 15);
      }
      if (s[j] == close) {
        if (j + 1 < n && s[j + 1] == close) {
          v += close;
          j += 2;
          continue;
        }
        return std::make_pair(v, j + 1);
      }
      v += s[j++];
    }
  };
  while (i < n) {
    unsigned char c = s[i];
    if (std::isspace(c)) {
      ++i;
      continue;
    }
    if (c == '-' && i + 1 < n && s[i + 1] == '-') {
      while (i < n && s[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && s[i + 1] == '*') {
      int depth = 0;
      std::size_t j = i;
      while (j < n) {
        if (s[j] == '/' && j + 1 < n && s[j + 1] == '*') {
          ++depth;
          j += 2;
        } else if (s[j] == '*' && j + 1 < n && s[j + 1] == '/') {
          j += 2;
          if (--depth == 0) break;
        } else {
          ++j;
        }
      }
      if (depth != 0) throw SqlError(113, "Missing end comment mark '*/'.", 15);
      i = j;
      continue;
    }
    Token t;
    t.pos = i;
    if ((c == 'N' || c == 'n') && i + 1 < n && s[i + 1] == '\'') {
      auto [v, e] = quoted('\'', i + 2);
      t.kind = Tok::String;
      t.national = true;
      t.text = v;
      i = e;
    } else if (c == '\'') {
      auto [v, e] = quoted('\'', i + 1);
      t.kind = Tok::String;
      t.text = v;
      i = e;
    } else if (c == '[') {
      auto [v, e] = quoted(']', i + 1);
      t.kind = Tok::QIdent;
      t.text = v;
      i = e;
    } else if (c == '"') {
      auto [v, e] = quoted('"', i + 1);
      t.kind = quotedIdentifier ? Tok::QIdent : Tok::String;
      t.text = v;
      i = e;
    } else if (c == '@') {
      std::size_t j = i + 1;
      bool sys = j < n && s[j] == '@';
      if (sys) ++j;
      while (j < n && IdentPart((unsigned char)s[j])) ++j;
      t.kind = sys ? Tok::SysVar : Tok::Var;
      t.text = s.substr(i, j - i);
      i = j;
    } else if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit((unsigned char)s[i + 1]))) {
      std::size_t j = i;
      if (c == '0' && j + 1 < n && (s[j + 1] == 'x' || s[j + 1] == 'X')) {
        j += 2;
        while (j < n && std::isxdigit((unsigned char)s[j])) ++j;
      } else {
        while (j < n && (std::isdigit((unsigned char)s[j]) || s[j] == '.')) ++j;
        if (j < n && (s[j] == 'e' || s[j] == 'E')) {
          std::size_t k = j + 1;
          if (k < n && (s[k] == '+' || s[k] == '-')) ++k;
          if (k < n && std::isdigit((unsigned char)s[k])) {
            j = k;
            while (j < n && std::isdigit((unsigned char)s[j])) ++j;
          }
        }
      }
      t.kind = Tok::Number;
      t.text = s.substr(i, j - i);
      i = j;
    } else if (IdentStart(c)) {
      std::size_t j = i;
      while (j < n && IdentPart((unsigned char)s[j])) ++j;
      t.kind = Tok::Ident;
      t.text = s.substr(i, j - i);
      i = j;
    } else if (c == '?') {
      t.kind = Tok::Param;
      t.text = "?";
      ++i;
    } else {
      static const char* two[] = {"<>", "!=", "<=", ">=", "!<", "!>", "+=", "-=", "*=", "/=", "::"};
      t.kind = Tok::Op;
      t.text = std::string(1, char(c));
      for (const char* op : two)
        if (i + 1 < n && s[i] == op[0] && s[i + 1] == op[1]) t.text = op;
      i += t.text.size();
    }
    t.end = i;
    out.push_back(std::move(t));
  }
  Token e;
  e.pos = e.end = n;
  out.push_back(e);
  return out;
}

}  // namespace sqlsim
