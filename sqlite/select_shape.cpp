#include "sqlite/select_shape.h"

#include "sqlite/sql_scan.h"

namespace sqlite {

namespace {

using scan::Tok;
using scan::Token;

bool IsAnyWord(const std::string& s, const Token& t, std::initializer_list<const char*> words) {
  for (const char* w : words)
    if (scan::IsWord(s, t, w)) return true;
  return false;
}

bool EndsFromClause(const std::string& s, const Token& t) {
  return IsAnyWord(s, t, {"WHERE", "GROUP", "HAVING", "ORDER", "LIMIT", "WINDOW", "UNION", "INTERSECT", "EXCEPT"}) ||
         scan::IsPunct(s, t, ';');
}

bool IsJoinWord(const std::string& s, const Token& t) {
  return IsAnyWord(s, t, {"JOIN", "INNER", "LEFT", "RIGHT", "FULL", "CROSS", "NATURAL", "OUTER"});
}

// Words that may follow a table reference and so are never its alias.
bool IsReserved(const std::string& s, const Token& t) {
  return IsJoinWord(s, t) || EndsFromClause(s, t) || IsAnyWord(s, t, {"ON", "USING", "INDEXED", "NOT", "AS"});
}

bool IsName(const Token& t) {
  return t.kind == Tok::Word || t.kind == Tok::Ident || t.kind == Tok::DQuoted;
}

// Index of the token after the ')' matching the '(' at `open`.
std::size_t SkipParens(const std::string& s, const std::vector<Token>& toks, std::size_t open) {
  int d = 0;
  for (std::size_t k = open; k < toks.size(); ++k) {
    if (scan::IsPunct(s, toks[k], '(')) ++d;
    if (scan::IsPunct(s, toks[k], ')') && --d == 0) return k + 1;
  }
  return toks.size();
}

}  // namespace

SelectShape AnalyzeSelect(const std::string& s) {
  SelectShape shape;
  const std::vector<Token> toks = scan::Tokenize(s);
  if (toks.empty() || !scan::IsWord(s, toks[0], "SELECT")) return shape;
  if (toks.size() > 1 && scan::IsWord(s, toks[1], "DISTINCT")) return shape;

  // Find the top-level FROM; refuse grouping and compound selects anywhere
  // at the top level.
  std::size_t from = 0;
  int d = 0;
  for (std::size_t i = 1; i < toks.size(); ++i) {
    if (scan::IsPunct(s, toks[i], '(')) ++d;
    if (scan::IsPunct(s, toks[i], ')')) --d;
    if (d != 0) continue;
    if (IsAnyWord(s, toks[i], {"GROUP", "UNION", "INTERSECT", "EXCEPT"})) return shape;
    if (!from && scan::IsWord(s, toks[i], "FROM")) from = i;
  }
  if (!from) return shape;

  bool expectTable = true;
  bool inCondition = false;  // inside an ON or USING part
  int condDepth = 0;
  std::size_t i = from + 1;
  int groupDepth = 0;  // parentheses that group joins
  while (i < toks.size()) {
    const Token& t = toks[i];
    if (groupDepth == 0 && EndsFromClause(s, t)) break;
    if (inCondition) {
      if (scan::IsPunct(s, t, '(')) {
        ++condDepth;
      } else if (scan::IsPunct(s, t, ')')) {
        if (condDepth > 0) {
          --condDepth;
        } else {  // closes a join group
          inCondition = false;
          --groupDepth;
        }
      } else if (condDepth == 0 && (IsJoinWord(s, t) || scan::IsPunct(s, t, ','))) {
        inCondition = false;
        expectTable = true;
      }
      ++i;
      continue;
    }
    if (scan::IsPunct(s, t, '(')) {
      if (i + 1 < toks.size() && (scan::IsWord(s, toks[i + 1], "SELECT") || scan::IsWord(s, toks[i + 1], "WITH") ||
                                  scan::IsWord(s, toks[i + 1], "VALUES"))) {
        i = SkipParens(s, toks, i);  // a subquery: its alias names no base table
        if (i < toks.size() && scan::IsWord(s, toks[i], "AS")) ++i;
        if (i < toks.size() && IsName(toks[i]) && !IsReserved(s, toks[i])) ++i;
        expectTable = false;
        continue;
      }
      ++groupDepth;
      expectTable = true;
      ++i;
      continue;
    }
    if (scan::IsPunct(s, t, ')')) {
      --groupDepth;
      expectTable = false;
      ++i;
      continue;
    }
    if (scan::IsPunct(s, t, ',') || scan::IsWord(s, t, "JOIN")) {
      expectTable = true;
      ++i;
      continue;
    }
    if (IsAnyWord(s, t, {"ON", "USING"})) {
      inCondition = true;
      condDepth = 0;
      expectTable = false;
      ++i;
      continue;
    }
    if (expectTable && IsName(t) && !IsReserved(s, t)) {
      FromTable ft;
      ft.table = scan::NameOf(s, t);
      ++i;
      if (i + 1 < toks.size() && scan::IsPunct(s, toks[i], '.') && IsName(toks[i + 1])) {
        ft.schema = ft.table;
        ft.table = scan::NameOf(s, toks[i + 1]);
        i += 2;
      }
      if (i < toks.size() && scan::IsPunct(s, toks[i], '(')) {  // a table-valued function
        i = SkipParens(s, toks, i);
        expectTable = false;
        continue;
      }
      if (i < toks.size() && scan::IsWord(s, toks[i], "AS")) ++i;
      if (i < toks.size() && IsName(toks[i]) && !IsReserved(s, toks[i])) {
        ft.alias = scan::NameOf(s, toks[i]);
        ++i;
      }
      shape.tables.push_back(ft);
      expectTable = false;
      continue;
    }
    ++i;
  }
  shape.fromPos = toks[from].begin;
  shape.keyable = !shape.tables.empty();
  return shape;
}

}  // namespace sqlite
