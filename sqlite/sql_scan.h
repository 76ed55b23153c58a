// A small SQL tokenizer shared by the template adapter's rewriting steps
// (the Jet-dialect layer and the row-key planner). It knows just enough of
// the lexical rules to tell literals, quoted names and comments from the
// words and punctuation around them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sqlite::scan {

enum class Tok {
  Word,     // bare identifier or keyword
  Ident,    // [bracketed] or `back-quoted` name
  String,   // '...' literal (doubled quotes inside)
  DQuoted,  // "..." (doubled quotes inside)
  Number,   // 123, 1.5, 1e3
  Punct,    // any other single character, '?' included
};

struct Token {
  Tok kind;
  std::size_t begin, end;  // byte range in the text, delimiters included
};

// Splits `text` into tokens; white space and -- and /* */ comments are
// skipped. An unterminated literal or comment runs to the end of the text.
std::vector<Token> Tokenize(const std::string& text);

// True when the token is a bare word equal to `keyword` ignoring ASCII case.
bool IsWord(const std::string& text, const Token& t, const char* keyword);
// True when the token is the punctuation character `c`.
bool IsPunct(const std::string& text, const Token& t, char c);
// The token's text; for Ident and DQuoted tokens without their delimiters
// (doubled delimiters undone).
std::string NameOf(const std::string& text, const Token& t);

}  // namespace sqlite::scan
