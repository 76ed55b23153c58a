// The Jet-dialect layer of the template adapter. The template statements
// are written in the Jet (Access) dialect; SQLite understands all of them
// once two things are rewritten, and nothing else is touched:
//  - a text in double quotes is a string literal: "..." becomes '...'
//    (a doubled "" inside stands for one ", a ' inside is doubled);
//  - SELECT [DISTINCT|ALL] TOP n ... becomes SELECT ... LIMIT n, the limit
//    placed at the end of that SELECT (its closing parenthesis when it is a
//    subquery, else the end of the statement).
#pragma once

#include <string>

namespace sqlite {

// Returns `text` rewritten as above. Single-quoted literals, [bracketed] and
// `quoted` names and comments pass unchanged. Never fails.
std::string JetToSqlite(const std::string& text);

}  // namespace sqlite
