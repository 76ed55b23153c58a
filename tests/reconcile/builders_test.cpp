// Exact statement texts of the object, key and driver builders.
#include <gtest/gtest.h>

#include "reconcile/keys/fk_check.h"
#include "reconcile/objects/create.h"
#include "reconcile/objects/definition.h"
#include "reconcile/objects/sweep.h"
#include "wizard/driver.h"

using Lines = std::vector<std::string>;

TEST(ObjectList, CatalogViewFormForVersion9AndLater) {
  EXPECT_EQ(reconcile::ObjectListLines("V", 9),
            (Lines{"SELECT o.object_id AS id, o.name, o.type AS xtype ",
                   "FROM sys.objects o LEFT OUTER JOIN sys.extended_properties ep ",
                   "ON o.[object_id] = ep.major_id AND ep.class_desc = 'OBJECT_OR_COLUMN' ",
                   "AND ep.[name] = 'microsoft_database_tools_support' ",
                   "WHERE o.is_ms_shipped = 0 AND ep.major_id IS NULL ", "AND o.type = 'V' ORDER BY o.name "}));
  EXPECT_EQ(reconcile::ObjectListLines("FN", 12).back(), "AND o.type = 'FN' ORDER BY o.name ");
}

TEST(ObjectList, SystemTableFormForVersion8AndEarlier) {
  EXPECT_EQ(reconcile::ObjectListLines("TR", 8),
            (Lines{"SELECT * FROM sysobjects WHERE (OBJECTPROPERTY(id, 'IsMSShipped') = 0) And (xtype = 'TR')"}));
}

TEST(DropObject, KeywordLinePerType) {
  struct Case {
    std::string type, keyword;
  };
  for (const auto& c : std::vector<Case>{{"U", "TABLE "}, {"V", "VIEW "}, {"TR", "TRIGGER "}, {"P", "PROCEDURE "},
                                         {"FN", "FUNCTION "}, {"TF", "FUNCTION "}, {"IF", "FUNCTION "}})
    EXPECT_EQ(reconcile::DropObjectLines(c.type, "Obj 1"), (Lines{"DROP ", c.keyword, "[Obj 1]"})) << c.type;
  EXPECT_TRUE(reconcile::DropObjectLines("F", "FK_A").empty());
  EXPECT_EQ(reconcile::DropObjectLines("V", "a]b").back(), "[a]]b]");
}

TEST(LogWord, PerType) {
  EXPECT_EQ(reconcile::LogWord("U"), "tabel");
  EXPECT_EQ(reconcile::LogWord("V"), "widoków");
  EXPECT_EQ(reconcile::LogWord("TR"), "triggerów");
  EXPECT_EQ(reconcile::LogWord("P"), "procedur");
  EXPECT_EQ(reconcile::LogWord("IF"), "funkcji");
  EXPECT_EQ(reconcile::LogWord("F"), "kluczy obcych");
}

TEST(IsCreateTableLine, Cases) {
  struct Case {
    std::string line;
    bool expected;
  };
  for (const auto& c : std::vector<Case>{{"CREATE TABLE T1 (", true},
                                         {"create   table #x", true},
                                         {"CREATE TABLE", true},
                                         {"  declare @t int; create table #t (a int)", true},
                                         {"CREATE PROCEDURE P", false},
                                         {"CREATE\tTABLE T", false},
                                         {"CREATETABLE T", false},
                                         {"CREATE", false},
                                         {"SELECT 1", false}})
    EXPECT_EQ(reconcile::IsCreateTableLine(c.line), c.expected) << c.line;
}

TEST(AlterLines, FirstCreateAfterACommentBecomesAlter) {
  EXPECT_EQ(reconcile::AlterLines({"-- widok zamówień\r\n", "CREATE VIEW V1 AS\r\n", "SELECT 1 AS A\r\n"}),
            (Lines{"-- widok zamówień", "ALTER VIEW V1 AS", "SELECT 1 AS A"}));
}

TEST(AlterLines, OnlyTheFirstNonTableCreateChanges) {
  EXPECT_EQ(reconcile::AlterLines({"create procedure P", "AS", "CREATE TABLE #t (a int)", "create index i on #t(a)"}),
            (Lines{"ALTER procedure P", "AS", "CREATE TABLE #t (a int)", "create index i on #t(a)"}));
  // A CREATE TABLE line before the object's own CREATE is left alone.
  EXPECT_EQ(reconcile::AlterLines({"  CREATE TABLE x", "  Create Function F()", "CREATE VIEW W"}),
            (Lines{"  CREATE TABLE x", "  ALTER Function F()", "CREATE VIEW W"}));
}

TEST(SendableLine, TrimsTheEndAndRemovesBreaksInside) {
  EXPECT_EQ(reconcile::SendableLine("  SELECT a,\r\nb \t\r\n"), "  SELECT a,b");
  EXPECT_EQ(reconcile::CreateLines({"CREATE VIEW V AS \r\n", "SELECT ':x' AS c\n"}),
            (Lines{"CREATE VIEW V AS", "SELECT ':x' AS c"}));
}

TEST(DefinitionTexts, SetLinesHelpTextAndObjectText) {
  EXPECT_EQ(reconcile::SetLinesBefore(), (Lines{"SET QUOTED_IDENTIFIER OFF", "SET ANSI_NULLS OFF"}));
  EXPECT_EQ(reconcile::SetLinesAfter(), (Lines{"SET QUOTED_IDENTIFIER OFF", "SET ANSI_NULLS ON"}));
  EXPECT_EQ(reconcile::HelpTextLine("O'Brien"), "exec sp_helptext 'O''Brien'");
  EXPECT_EQ(reconcile::ObjectTextLine(42), "SELECT * FROM tblObjectText WHERE ID = 42 ORDER BY ID, ROWID");
  EXPECT_EQ(reconcile::MissingObjectsLine("TF", 3),
            "SELECT * FROM tblObjects WHERE (Sprawdzone = 0) And (ObiektIstnieje = 0) And (xtype =\"TF\") and "
            "Priorytet = 3");
}

TEST(NormalisedLine, TrimsAndFoldsOnlyAtoZ) {
  EXPECT_EQ(reconcile::NormalisedLine(" \tselect żółw\r\n"), "SELECT żółW");
  EXPECT_TRUE(reconcile::IsSkippableLine(""));
  EXPECT_TRUE(reconcile::IsSkippableLine("-- X"));
  EXPECT_FALSE(reconcile::IsSkippableLine("- -"));
}

TEST(ForeignKeyRemoval, StatementAndLogLine) {
  EXPECT_EQ(reconcile::DropForeignKeyLine("Pozycje", "FK_Pozycje_Zam"),
            "ALTER TABLE [Pozycje] DROP CONSTRAINT FK_Pozycje_Zam");
  EXPECT_EQ(reconcile::DropForeignKeyLogText("Pozycje", "FK_Pozycje_Zam"),
            "Usunąłem FOREIGN KEY FK_Pozycje_Zam tabeli Pozycje");
}

TEST(VersionStamp, DateInTheLanguageIndependentForm) {
  EXPECT_EQ(wizard::VersionStampLines({5, 12, 3}, {2026, 12, 9}),
            (Lines{"UPDATE toolSysVersion SET DEL=1 WHERE DEL=0",
                   "INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2,Aktualizacja)",
                   "VALUES (5,12,3,CAST('20261209' AS DATETIME))"}));
  EXPECT_EQ(wizard::VersionStampLines({1, 0, 0}, {2027, 1, 31}).back(),
            "VALUES (1,0,0,CAST('20270131' AS DATETIME))");
}

TEST(RoleGrants, Batches) {
  EXPECT_EQ(wizard::RoleListLines(),
            (Lines{"select 'RoleName' = name from sysusers where issqlrole =1 and islogin=0 ",
                   "and not (uid >= 16384 and uid <= 16393) and uid<>0 order By name"}));
  EXPECT_EQ(wizard::RoleMemberLines("Ksiegowosc"),
            (Lines{"exec sp_addrolemember 'db_datareader', 'Ksiegowosc'",
                   "exec sp_addrolemember 'db_datawriter', 'Ksiegowosc'"}));
  EXPECT_EQ(wizard::RoleExecuteGrantLines("Ksiegowosc"),
            (Lines{"DECLARE @sp_Name sysname",
                   "DECLARE @sp_type varchar(40)",
                   "DECLARE @sp_user sysname",
                   "DECLARE All_sp Scroll CURSOR",
                   "FOR SELECT name, type, USER_NAME(uid) FROM sysobjects WHERE type IN ('FN', 'P')",
                   "ORDER BY name FOR READ ONLY",
                   "OPEN All_sp",
                   "FETCH NEXT FROM All_sp INTO @sp_Name , @sp_type, @sp_user",
                   "WHILE @@FETCH_STATUS=0",
                   "BEGIN",
                   "exec('GRANT EXECUTE ON [' + @sp_user + '].' +@sp_Name + ' TO ' + '[Ksiegowosc]')",
                   "FETCH NEXT FROM All_sp INTO @sp_Name , @sp_type, @sp_user",
                   "END",
                   "CLOSE All_sp",
                   "DEALLOCATE All_sp"}));
  // A quote in a role name cannot end the literal early.
  EXPECT_EQ(wizard::RoleMemberLines("a'b")[0], "exec sp_addrolemember 'db_datareader', 'a''b'");
}

TEST(ClosingSteps, TriggerAndServerStateTexts) {
  EXPECT_EQ(wizard::EnableTriggersLines(), (Lines{"sp_msforeachtable \"ALTER TABLE ? ENABLE TRIGGER all\""}));
  EXPECT_EQ(wizard::GrantViewServerStateLines(),
            (Lines{"USE master", "", "DECLARE @Name SYSNAME", "DECLARE @sqlText VARCHAR(500)", "",
                   "DECLARE cr CURSOR LOCAL FOR ", "SELECT name", "FROM sys.server_principals ", "WHERE TYPE = 'S'",
                   "and (name not like '%##%') AND name <> 'SA'", "", "OPEN cr", "", "FETCH NEXT FROM cr INTO @Name",
                   "WHILE @@FETCH_STATUS = 0", "BEGIN", "\tSET @sqlText = 'GRANT VIEW SERVER STATE TO ' + @Name",
                   "\tEXEC (@sqlText)", "\tFETCH NEXT FROM cr INTO @Name", "END", "", "CLOSE cr", "DEALLOCATE cr"}));
}
