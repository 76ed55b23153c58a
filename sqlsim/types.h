// SQL Server's built-in data types as the simulator models them: catalog
// numbers, storage sizes, precision and scale, and value conversions with
// the server's refusals.
#pragma once

#include <string>

#include "db/db.h"
#include "sqlsim/ast.h"

namespace sqlsim {

enum class TypeClass { Int, Bit, Decimal, Money, Float, Char, Binary, Date, Guid, Lob, Timestamp, Xml, Variant };

struct TypeInfo {
  const char* name;   // lower case, as systypes lists it
  int xtype;          // system type id
  int length;         // fixed storage length (bytes); 0 for sized types
  int prec, scale;    // catalog precision and scale
  TypeClass cls;
  bool unicode;       // nchar, nvarchar, ntext
  bool variable;      // varchar, nvarchar, varbinary: may be MAX
};

// The built-in type of that name (case ignored), or nullptr. "sysname"
// gives nvarchar.
const TypeInfo* FindType(const std::string& name);
// All built-in types in systypes order; ends with a null name.
const TypeInfo* AllTypes();

// A column's resolved type, as the catalog stores it.
struct ColType {
  std::string name;       // base type, lower case ("nvarchar")
  std::string userType;   // as declared when it is a user type ("sysname"), else empty
  int maxLength = 0;      // bytes; -1 for MAX
  int prec = 0, scale = 0;
  const TypeInfo* info = nullptr;
  int Chars() const;      // length in characters for character types
  std::string Sql() const;  // "nvarchar(40)", "decimal(12,2)", "int"
};

// Resolves a written type: checks the name (2715 for an unknown type) and
// computes the catalog length, precision and scale SQL Server stores.
ColType ResolveType(const TypeSpec& spec);

// Session settings that conversions depend on.
struct ConvertContext {
  bool dayFirst = true;      // DATEFORMAT dmy (language Polish)
  int style = -1;            // CONVERT style; -1 none given (dates then read as style 0)
  bool polishMonths = true;  // month names of the session language (Polish: roman numerals)
};

// A date as CONVERT writes it in `style` (0 to 14, 20 to 23, 100 to 114,
// 120, 121, 126, 127); false for a style SQL Server does not know.
bool FormatDateStyle(const db::DateTime& d, int style, bool polishMonths, std::string* out);

// Converts a value to `to`. `implicitConv` selects the implicit rules (257)
// instead of the explicit ones (529); `storing` reports truncation of a
// character value as 8152 instead of cutting it. Throws SqlError 245, 241,
// 8114, 8115, 8152, 257, 529.
db::Value ConvertValue(const db::Value& v, const std::string& fromType, const ColType& to, bool implicitConv,
                       bool storing, const ConvertContext& ctx);

// The name of a value's natural type for messages ("varchar", "int").
std::string ValueTypeName(const db::Value& v);

// Whether a column of type `from` may be altered to `to` (ALTER COLUMN);
// returns 0 or the refusal number (257, 529, 4927...).
int AlterConversionRefusal(const ColType& from, const ColType& to);

// Text form of a stored date-time ("2026-12-09 00:00:00") and back.
std::string DateText(const db::DateTime& d);
// The first `chars` characters of UTF-8 text.
std::string Utf8Head(const std::string& s, std::size_t chars);
bool ParseDateText(const std::string& s, bool dayFirst, db::DateTime* out);

}  // namespace sqlsim
