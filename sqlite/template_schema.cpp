#include "sqlite/template_schema.h"

namespace sqlite {

// Integers and 0/1 flags are INTEGER; names and texts are TEXT COLLATE
// NOCASE so that comparisons ignore letter case as the templates' original
// engine did. "Collate" is a keyword and stays quoted. Work-state columns
// default to 0. Object names are deliberately not unique: a template may
// hold two names that differ only in letter case, and lookups take the
// first in table order.
const std::vector<std::string>& TemplateDdl() {
  static const std::vector<std::string> ddl = {
      R"(CREATE TABLE tblObjects (
  ID INTEGER NOT NULL,
  Name TEXT COLLATE NOCASE NOT NULL,
  xtype TEXT COLLATE NOCASE NOT NULL,
  Priorytet INTEGER NOT NULL DEFAULT 1,
  Sprawdzone INTEGER NOT NULL DEFAULT 0,
  ObiektIstnieje INTEGER NOT NULL DEFAULT 0
))",
      "CREATE UNIQUE INDEX ixObjects_ID ON tblObjects (ID)",
      "CREATE INDEX ixObjects_Name ON tblObjects (Name)",

      R"(CREATE TABLE tblObjectText (
  ID INTEGER NOT NULL,
  ROWID INTEGER NOT NULL,
  Text TEXT COLLATE NOCASE
))",
      "CREATE INDEX ixObjectText_ID ON tblObjectText (ID, ROWID)",

      R"(CREATE TABLE tblColumnDef (
  ID INTEGER NOT NULL,
  Name TEXT COLLATE NOCASE NOT NULL,
  ColOrder INTEGER NOT NULL DEFAULT 0,
  Type TEXT COLLATE NOCASE NOT NULL,
  Length INTEGER NOT NULL DEFAULT 0,
  Prec INTEGER NOT NULL DEFAULT 0,
  Scale INTEGER NOT NULL DEFAULT 0,
  IdentityInc INTEGER,
  IdentitySeed INTEGER,
  IsRowGUID INTEGER NOT NULL DEFAULT 0,
  "Collate" TEXT COLLATE NOCASE,
  Nullable INTEGER NOT NULL DEFAULT 1,
  Sprawdzone INTEGER NOT NULL DEFAULT 0,
  PoleIstnieje INTEGER NOT NULL DEFAULT 0
))",
      "CREATE INDEX ixColumnDef_ID ON tblColumnDef (ID)",

      R"(CREATE TABLE tblCheck_And_Default (
  ID INTEGER NOT NULL,
  name TEXT COLLATE NOCASE NOT NULL,
  type TEXT COLLATE NOCASE NOT NULL,
  ColName TEXT COLLATE NOCASE,
  text TEXT COLLATE NOCASE,
  Sprawdzone INTEGER NOT NULL DEFAULT 0,
  ObiektIstnieje INTEGER NOT NULL DEFAULT 0
))",
      "CREATE INDEX ixCheck_And_Default_ID ON tblCheck_And_Default (ID)",

      R"(CREATE TABLE tblIndexes (
  ID INTEGER NOT NULL,
  indname TEXT COLLATE NOCASE NOT NULL,
  IsPrimaryKey INTEGER NOT NULL DEFAULT 0,
  IsUnique INTEGER NOT NULL DEFAULT 0,
  IsClustered INTEGER NOT NULL DEFAULT 0,
  GroupName TEXT COLLATE NOCASE,
  Sprawdzone INTEGER NOT NULL DEFAULT 0,
  IndeksIstnieje INTEGER NOT NULL DEFAULT 0
))",
      "CREATE INDEX ixIndexes_ID ON tblIndexes (ID)",

      R"(CREATE TABLE tblIndexKeys (
  ID INTEGER NOT NULL,
  indname TEXT COLLATE NOCASE NOT NULL,
  ColName TEXT COLLATE NOCASE NOT NULL,
  KeyNo INTEGER NOT NULL DEFAULT 0,
  IndexColumnID INTEGER NOT NULL DEFAULT 0,
  IsDescending INTEGER NOT NULL DEFAULT 0,
  IsIncluded INTEGER NOT NULL DEFAULT 0
))",
      "CREATE INDEX ixIndexKeys_ID ON tblIndexKeys (ID, indname)",

      R"(CREATE TABLE tblForeignKeys (
  id INTEGER NOT NULL,
  fkeyid INTEGER NOT NULL,
  rkeyid INTEGER NOT NULL,
  fcolname TEXT COLLATE NOCASE,
  rcolname TEXT COLLATE NOCASE,
  keyno INTEGER NOT NULL DEFAULT 1,
  IsDeleteCascade INTEGER NOT NULL DEFAULT 0,
  IsUpdateCascade INTEGER NOT NULL DEFAULT 0,
  IsNotForRepl INTEGER NOT NULL DEFAULT 0,
  IsDisabled INTEGER NOT NULL DEFAULT 0
))",
      "CREATE INDEX ixForeignKeys_id ON tblForeignKeys (id)",
      "CREATE INDEX ixForeignKeys_fkeyid ON tblForeignKeys (fkeyid)",
      "CREATE INDEX ixForeignKeys_rkeyid ON tblForeignKeys (rkeyid)",

      R"(CREATE TABLE toolSysVersion (
  NrGlowny INTEGER NOT NULL DEFAULT 0,
  NrPodrzedny_1 INTEGER NOT NULL DEFAULT 0,
  NrPodrzedny_2 INTEGER NOT NULL DEFAULT 0,
  Aktualizacja DATETIME
))",
  };
  return ddl;
}

const std::vector<WorkStateColumn>& WorkStateColumns() {
  static const std::vector<WorkStateColumn> cols = {
      {"tblObjects", "Sprawdzone"},           {"tblObjects", "ObiektIstnieje"},
      {"tblColumnDef", "Sprawdzone"},         {"tblColumnDef", "PoleIstnieje"},
      {"tblCheck_And_Default", "Sprawdzone"}, {"tblCheck_And_Default", "ObiektIstnieje"},
      {"tblIndexes", "Sprawdzone"},           {"tblIndexes", "IndeksIstnieje"},
  };
  return cols;
}

}  // namespace sqlite
