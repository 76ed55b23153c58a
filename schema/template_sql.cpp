#include "schema/template_sql.h"

namespace schema {

namespace {

std::string Dec(std::int64_t v) {
  return std::to_string(v);
}

std::string DoubleQuoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string SingleQuoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

std::string TrimBlanks(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

const char* const kColumnsSelect =
    "SELECT tblColumnDef.*, tblCheck_And_Default.Type As IsDefValue, tblCheck_And_Default.Text ";
const char* const kColumnsFrom =
    "FROM tblColumnDef LEFT JOIN tblCheck_And_Default ON (tblColumnDef.Name = tblCheck_And_Default.ColName) AND "
    "(tblColumnDef.ID = tblCheck_And_Default.id) ";

}  // namespace

Lines ObjectsTableSql() {
  return {"SELECT * FROM tblObjects"};
}

Lines TemplateUsedSql() {
  return {"SELECT (SUM(Sprawdzone+ObiektIstnieje)) AS Ilosc from tblObjects"};
}

Lines TemplateVersionSql() {
  return {"SELECT TOP 1 * from toolSysVersion"};
}

Lines MissingObjectsSql(const std::string& type, int phase) {
  return {"SELECT * FROM tblObjects WHERE (Sprawdzone = 0) And (ObiektIstnieje = 0) And (xtype =" + DoubleQuoted(type) +
          ") and Priorytet = " + Dec(phase)};
}

Lines ObjectTextSql(std::int64_t objectId) {
  return {"SELECT * FROM tblObjectText WHERE ID = " + Dec(objectId) + " ORDER BY ID, ROWID"};
}

Lines ColumnsSql(std::int64_t tableId) {
  return {kColumnsSelect, kColumnsFrom,
          "WHERE (tblColumnDef.ID = " + Dec(tableId) + ") ORDER BY tblColumnDef.ColOrder"};
}

Lines ColumnsToAddSql(std::int64_t tableId) {
  return {kColumnsSelect, kColumnsFrom,
          "WHERE (tblColumnDef.Sprawdzone = 0) And (tblColumnDef.PoleIstnieje = 0) And (tblColumnDef.ID = " +
              Dec(tableId) + ") ORDER BY tblColumnDef.ColOrder"};
}

Lines CreateTableColumnsSql(std::int64_t tableId) {
  return {kColumnsSelect, kColumnsFrom,
          "WHERE ((tblCheck_And_Default.Type)=\"D\" Or (tblCheck_And_Default.Type) Is Null) AND (tblColumnDef.ID = " +
              Dec(tableId) + ") ORDER BY tblColumnDef.ColOrder"};
}

Lines IndexesSql(std::int64_t tableId) {
  return {"Select * from tblIndexes WHERE ID = " + Dec(tableId) + " ORDER BY indname"};
}

Lines MissingPrimaryKeySql(std::int64_t tableId) {
  return {"SELECT * FROM tblIndexes WHERE IndeksIstnieje = 0 And IsPrimaryKey = 1 And ID = " + Dec(tableId)};
}

Lines MissingIndexesSql(std::int64_t tableId) {
  return {"SELECT * FROM tblIndexes WHERE IndeksIstnieje = 0 And IsPrimaryKey = 0 And ID = " + Dec(tableId)};
}

Lines IndexKeysSql(std::int64_t tableId, const std::string& indexName) {
  return {"SELECT * FROM tblIndexKeys WHERE ID = " + Dec(tableId) + " AND INDNAME = " + DoubleQuoted(indexName) +
          " ORDER BY IndexColumnID"};
}

Lines IndexKeyColumnsSql(std::int64_t tableId, const std::string& indexName, bool included) {
  return {"SELECT * FROM tblIndexKeys WHERE ID = " + Dec(tableId) +
          " AND indName = " + SingleQuoted(TrimBlanks(indexName)) +
          (included ? "AND IsIncluded=1 ORDER BY IndexColumnID" : "AND IsIncluded=0 ORDER BY KeyNo")};
}

Lines CheckAndDefaultSql(std::int64_t tableId) {
  return {"SELECT * from tblCheck_And_Default WHERE ID = " + Dec(tableId)};
}

Lines MissingCheckAndDefaultSql(std::int64_t tableId) {
  return {"SELECT * from tblCheck_And_Default WHERE (Sprawdzone = 0) And (ObiektIstnieje = 0) And (ID = " +
          Dec(tableId) + ")"};
}

Lines ForeignKeyForCreationSql(std::int64_t foreignKeyId) {
  return {
      "SELECT tblForeignKeys.id, tblObjects.Name, tblObjects_1.Name AS fName, tblForeignKeys.fcolname, "
      "tblObjects_2.Name AS rName, tblForeignKeys.rcolname, tblForeignKeys.keyno, tblForeignKeys.IsDeleteCascade, ",
      "tblForeignKeys.IsUpdateCascade, tblForeignKeys.IsNotForRepl,tblForeignKeys.IsDisabled ",
      "FROM tblObjects INNER JOIN (tblObjects AS tblObjects_2 INNER JOIN (tblObjects AS tblObjects_1 INNER JOIN "
      "tblForeignKeys ON tblObjects_1.id = tblForeignKeys.fkeyid) ON tblObjects_2.id = tblForeignKeys.rkeyid) ON "
      "tblObjects.id = tblForeignKeys.id ",
      "WHERE tblForeignKeys.id = " + Dec(foreignKeyId) + " ",
      "ORDER BY tblObjects_1.Name, tblObjects_2.Name, tblForeignKeys.keyno"};
}

}  // namespace schema
