#include "sqlite/jet_dialect.h"

#include <algorithm>
#include <vector>

#include "sqlite/sql_scan.h"

namespace sqlite {

namespace {

using scan::Tok;
using scan::Token;

std::string DoubleQuotedToSingle(const std::string& text) {
  std::string out;
  std::size_t copied = 0;
  for (const Token& t : scan::Tokenize(text)) {
    if (t.kind != Tok::DQuoted) continue;
    out.append(text, copied, t.begin - copied);
    out += '\'';
    for (char c : scan::NameOf(text, t)) {
      if (c == '\'') out += '\'';
      out += c;
    }
    out += '\'';
    copied = t.end;
  }
  out.append(text, copied, std::string::npos);
  return out;
}

struct Edit {
  std::size_t pos, removeLen;
  std::string insert;
};

std::string TopToLimit(const std::string& text) {
  const std::vector<Token> toks = scan::Tokenize(text);
  std::vector<int> depth(toks.size());
  int d = 0;
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (scan::IsPunct(text, toks[i], ')')) --d;
    depth[i] = d;
    if (scan::IsPunct(text, toks[i], '(')) ++d;
  }
  std::vector<Edit> edits;
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (!scan::IsWord(text, toks[i], "SELECT")) continue;
    std::size_t j = i + 1;
    if (j < toks.size() && (scan::IsWord(text, toks[j], "DISTINCT") || scan::IsWord(text, toks[j], "ALL"))) ++j;
    if (j + 1 >= toks.size() || !scan::IsWord(text, toks[j], "TOP") || toks[j + 1].kind != Tok::Number) continue;
    const Token& top = toks[j];
    const Token& num = toks[j + 1];
    // Where this SELECT ends: the ')' that closes its level, or the ';' (or
    // the last token) of its statement.
    std::size_t endPos = toks.back().end;
    for (std::size_t k = j + 2; k < toks.size(); ++k) {
      if (depth[k] < depth[i]) {  // the closing parenthesis of a subquery
        endPos = toks[k - 1].end;
        break;
      }
      if (depth[k] == depth[i] && scan::IsPunct(text, toks[k], ';')) {
        endPos = k > 0 ? toks[k - 1].end : toks[k].begin;
        break;
      }
    }
    // Remove "TOP n" and the blanks after it.
    std::size_t removeEnd = num.end;
    while (removeEnd < text.size() && (text[removeEnd] == ' ' || text[removeEnd] == '\t')) ++removeEnd;
    edits.push_back({top.begin, removeEnd - top.begin, ""});
    edits.push_back({endPos, 0, " LIMIT " + text.substr(num.begin, num.end - num.begin)});
  }
  if (edits.empty()) return text;
  std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.pos > b.pos; });
  std::string out = text;
  for (const Edit& e : edits) out.replace(e.pos, e.removeLen, e.insert);
  return out;
}

}  // namespace

std::string JetToSqlite(const std::string& text) {
  return TopToLimit(DoubleQuotedToSingle(text));
}

}  // namespace sqlite
