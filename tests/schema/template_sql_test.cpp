#include "schema/template_sql.h"

#include <gtest/gtest.h>

namespace {

using schema::Lines;

const char* const kSel = "SELECT tblColumnDef.*, tblCheck_And_Default.Type As IsDefValue, tblCheck_And_Default.Text ";
const char* const kFrom =
    "FROM tblColumnDef LEFT JOIN tblCheck_And_Default ON (tblColumnDef.Name = tblCheck_And_Default.ColName) AND "
    "(tblColumnDef.ID = tblCheck_And_Default.id) ";

TEST(TemplateSql, StatementsAreExact) {
  struct Case {
    const char* what;
    Lines got;
    Lines want;
  };
  const Case cases[] = {
      {"objects table", schema::ObjectsTableSql(), {"SELECT * FROM tblObjects"}},
      {"used", schema::TemplateUsedSql(), {"SELECT (SUM(Sprawdzone+ObiektIstnieje)) AS Ilosc from tblObjects"}},
      {"version", schema::TemplateVersionSql(), {"SELECT TOP 1 * from toolSysVersion"}},
      {"missing objects",
       schema::MissingObjectsSql("FN", 12),
       {"SELECT * FROM tblObjects WHERE (Sprawdzone = 0) And (ObiektIstnieje = 0) And (xtype =\"FN\") and Priorytet = "
        "12"}},
      {"object text", schema::ObjectTextSql(305), {"SELECT * FROM tblObjectText WHERE ID = 305 ORDER BY ID, ROWID"}},
      {"columns", schema::ColumnsSql(7), {kSel, kFrom, "WHERE (tblColumnDef.ID = 7) ORDER BY tblColumnDef.ColOrder"}},
      {"columns to add",
       schema::ColumnsToAddSql(7),
       {kSel, kFrom,
        "WHERE (tblColumnDef.Sprawdzone = 0) And (tblColumnDef.PoleIstnieje = 0) And (tblColumnDef.ID = 7) ORDER BY "
        "tblColumnDef.ColOrder"}},
      {"create table columns",
       schema::CreateTableColumnsSql(7),
       {kSel, kFrom,
        "WHERE ((tblCheck_And_Default.Type)=\"D\" Or (tblCheck_And_Default.Type) Is Null) AND (tblColumnDef.ID = 7) "
        "ORDER BY tblColumnDef.ColOrder"}},
      {"indexes", schema::IndexesSql(9), {"Select * from tblIndexes WHERE ID = 9 ORDER BY indname"}},
      {"missing pk",
       schema::MissingPrimaryKeySql(9),
       {"SELECT * FROM tblIndexes WHERE IndeksIstnieje = 0 And IsPrimaryKey = 1 And ID = 9"}},
      {"missing indexes",
       schema::MissingIndexesSql(9),
       {"SELECT * FROM tblIndexes WHERE IndeksIstnieje = 0 And IsPrimaryKey = 0 And ID = 9"}},
      {"index keys",
       schema::IndexKeysSql(9, "IX_A"),
       {"SELECT * FROM tblIndexKeys WHERE ID = 9 AND INDNAME = \"IX_A\" ORDER BY IndexColumnID"}},
      {"index keys, quote in name",
       schema::IndexKeysSql(9, "IX \"q\""),
       {"SELECT * FROM tblIndexKeys WHERE ID = 9 AND INDNAME = \"IX \"\"q\"\"\" ORDER BY IndexColumnID"}},
      {"key columns",
       schema::IndexKeyColumnsSql(9, "  IX_O'B \t", false),
       {"SELECT * FROM tblIndexKeys WHERE ID = 9 AND indName = 'IX_O''B'AND IsIncluded=0 ORDER BY KeyNo"}},
      {"included columns",
       schema::IndexKeyColumnsSql(9, "IX_A", true),
       {"SELECT * FROM tblIndexKeys WHERE ID = 9 AND indName = 'IX_A'AND IsIncluded=1 ORDER BY IndexColumnID"}},
      {"constraints", schema::CheckAndDefaultSql(4), {"SELECT * from tblCheck_And_Default WHERE ID = 4"}},
      {"missing constraints",
       schema::MissingCheckAndDefaultSql(4),
       {"SELECT * from tblCheck_And_Default WHERE (Sprawdzone = 0) And (ObiektIstnieje = 0) And (ID = 4)"}},
      {"foreign key for creation",
       schema::ForeignKeyForCreationSql(31),
       {"SELECT tblForeignKeys.id, tblObjects.Name, tblObjects_1.Name AS fName, tblForeignKeys.fcolname, "
        "tblObjects_2.Name AS rName, tblForeignKeys.rcolname, tblForeignKeys.keyno, tblForeignKeys.IsDeleteCascade, ",
        "tblForeignKeys.IsUpdateCascade, tblForeignKeys.IsNotForRepl,tblForeignKeys.IsDisabled ",
        "FROM tblObjects INNER JOIN (tblObjects AS tblObjects_2 INNER JOIN (tblObjects AS tblObjects_1 INNER JOIN "
        "tblForeignKeys ON tblObjects_1.id = tblForeignKeys.fkeyid) ON tblObjects_2.id = tblForeignKeys.rkeyid) ON "
        "tblObjects.id = tblForeignKeys.id ",
        "WHERE tblForeignKeys.id = 31 ", "ORDER BY tblObjects_1.Name, tblObjects_2.Name, tblForeignKeys.keyno"}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

}  // namespace
