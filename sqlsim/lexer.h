// T-SQL tokenizer of the simulator.
//
// Turns a batch into tokens (names, bracketed or quoted names, numbers,
// strings, @variables, `?` markers, operators). Comments and blanks are
// skipped; every token keeps its byte range in the batch so that module
// texts can be stored exactly as sent.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sqlsim {

enum class Tok { End, Ident, QIdent, Number, String, Var, SysVar, Param, Op };

struct Token {
  Tok kind = Tok::End;
  std::string text;   // name without brackets, string contents unescaped, operator text
  bool national = false;  // N'...'
  std::size_t pos = 0, end = 0;
};

// Splits `text` into tokens, always ending with one Tok::End token. With
// quotedIdentifier off, "..." is a string literal; on, a quoted name.
// Throws SqlError 102/105 for an unclosed quote or comment.
std::vector<Token> Tokenize(const std::string& text, bool quotedIdentifier);

// ASCII upper-casing, used for keyword tests.
std::string Upper(const std::string& s);
// True when `t` is a plain (unquoted) name equal to `kw` ignoring case.
bool IsKw(const Token& t, const char* kw);

}  // namespace sqlsim
