// Procedure, function and trigger bodies at CREATE/ALTER: what a server
// accepts (deferred names, T-SQL the simulator does not run) and what it
// refuses (syntax, unknown columns of existing tables, a trigger's table).
#include <gtest/gtest.h>

#include "sqlsim/engine.h"
#include "sqlsim/server.h"
#include "tests/sqlsim/fixture.h"

namespace {

class Modules : public simtest::ShopTest {
 protected:
  // The first message of a refused batch; number 0 when it ran.
  sqlsim::SqlMessage Run(const std::string& sql) {
    try {
      s.Execute(sql);
    } catch (const sqlsim::SqlError& e) {
      return e.messages().front();
    }
    return {0, 0, ""};
  }
  bool Exists(const std::string& name) {
    return !s.Execute("SELECT OBJECT_ID('" + name + "') WHERE OBJECT_ID('" + name + "') IS NOT NULL").rows.empty();
  }
  std::string Text(const std::string& name) {
    std::string t;
    for (auto& row : s.Execute("exec sp_helptext '" + name + "'").rows) t += row[0].AsString();
    return t;
  }
};

TEST_F(Modules, AcceptsWhatTheServerAccepts) {
  const char* bodies[] = {
      // TRY/CATCH and RAISERROR, with END and parentheses inside a string
      "CREATE PROCEDURE pTry AS\n"
      "BEGIN TRY\n  UPDATE Zam SET Ilosc = Ilosc + 1 WHERE Nr = 1\nEND TRY\n"
      "BEGIN CATCH\n  RAISERROR('Błąd (END', 16, 1)\nEND CATCH",
      // variables and a cursor loop
      "CREATE PROCEDURE pKursor @Od int AS\n"
      "DECLARE @Id int, @Nazwa nvarchar(40)\n"
      "DECLARE c CURSOR LOCAL FAST_FORWARD FOR SELECT Id, Nazwa FROM Klienci WHERE Id > @Od\n"
      "OPEN c\nFETCH NEXT FROM c INTO @Id, @Nazwa\nWHILE @@FETCH_STATUS = 0\nBEGIN\n"
      "  PRINT @Nazwa\n  FETCH NEXT FROM c INTO @Id, @Nazwa\nEND\nCLOSE c\nDEALLOCATE c",
      // temporary tables are resolved when the procedure runs
      "CREATE PROCEDURE pTemp AS\nCREATE TABLE #t (X int)\nINSERT INTO #t (Zla) SELECT Nr FROM Zam\n"
      "SELECT Brak FROM #t\nDROP TABLE #t",
      // nested blocks, IF/ELSE, nested CASE ... END
      "CREATE PROCEDURE pBloki @x int = NULL OUTPUT AS\nBEGIN\n  IF @x IS NULL\n  BEGIN\n"
      "    SELECT CASE WHEN Ilosc > 0 THEN 'plus' ELSE CASE Ilosc WHEN 0 THEN 'zero' END END AS Znak FROM Zam\n"
      "  END\n  ELSE\n  BEGIN\n    SET @x = (SELECT COUNT(*) FROM Klienci)\n  END\nEND",
      // comments with quotes, END and parentheses; strings and names with END
      "CREATE PROCEDURE pKomentarze AS\n-- it's the END (of it\n/* 'END ( */\n"
      "SELECT N'END ) (' AS [Tekst END], 'it''s' AS b",
      // a table that does not exist yet defers the whole statement
      "CREATE PROCEDURE pPozniej AS SELECT Kolumna FROM NieMaJeszcze n JOIN Klienci k ON k.Id = n.Id",
      // a procedure that does not exist yet
      "CREATE PROCEDURE pWola AS EXEC pNieMa 1, 'a'",
      // a common table expression named like a table
      "CREATE PROCEDURE pCte WITH RECOMPILE, EXECUTE AS OWNER AS\nBEGIN TRANSACTION\n"
      ";WITH Klienci AS (SELECT Nr AS Inna FROM Zam) SELECT Inna FROM Klienci\nCOMMIT TRANSACTION",
      // statements the simulator parses only in part are not judged by that part
      "CREATE PROCEDURE pCzesc AS SET NOCOUNT ON\n"
      "SELECT a.Id, x.Poz FROM Klienci a OUTER APPLY (SELECT TOP 1 Poz FROM Zam z WHERE z.IdKlienta = a.Id) x\n"
      "SELECT Id FROM Klienci WITH (NOLOCK) WHERE Id = 1",
      // conditions and assignments: missing tables, UPDATE's and MERGE's SET @v = column
      "CREATE PROCEDURE pWarunki @n int AS\nIF EXISTS (SELECT 1 FROM NieMa WHERE x = 1) RETURN 1\n"
      "UPDATE Klienci SET @n = Id, Kod = 'a'\n"
      "MERGE Klienci t USING Zam s ON t.Id = s.Nr WHEN MATCHED THEN UPDATE SET @n = Ilosc;",
      // parameters in parentheses, AS before the type, a default holding "("
      "CREATE PROC pParam (@a AS int, @b varchar(10) = 'x(') AS SELECT @a AS a, @b AS b",
      // a niladic function and a column of a view
      "CREATE PROCEDURE pWidok AS SELECT CURRENT_TIMESTAMP AS Teraz, Nazwa FROM vKlienci",
      // functions: scalar, inline, multi-statement
      "CREATE FUNCTION fSuma (@a int, @b decimal(5, 2) = 1) RETURNS decimal(12, 2) WITH SCHEMABINDING AS\n"
      "BEGIN\n  DECLARE @r decimal(12, 2)\n  SELECT @r = SUM(Kwota) FROM dbo.Klienci WHERE Id = @a\n"
      "  RETURN @r * @b\nEND",
      "CREATE FUNCTION fPozycje (@Nr int) RETURNS TABLE AS RETURN (SELECT Poz, Ilosc FROM Zam WHERE Nr = @Nr)",
      "CREATE FUNCTION fLista () RETURNS @w TABLE (Id int, N nvarchar(40)) AS\n"
      "BEGIN\n  INSERT INTO @w SELECT Id, Nazwa FROM Klienci\n  RETURN\nEND",
      // triggers: UPDATE(), UPDATE ... FROM inserted, INSTEAD OF on a view
      "CREATE TRIGGER trNazwa ON Klienci AFTER INSERT, UPDATE NOT FOR REPLICATION AS\n"
      "IF UPDATE(Nazwa)\n  UPDATE k SET Kod = i.Kod FROM Klienci k JOIN inserted i ON i.Id = k.Id",
      "CREATE TRIGGER trWidok ON vKlienci INSTEAD OF DELETE AS\n"
      "DELETE FROM Klienci WHERE Id IN (SELECT Id FROM deleted)",
  };
  for (const char* body : bodies) {
    auto m = Run(body);
    EXPECT_EQ(m.number, 0) << body << "\n" << m.text;
  }
  EXPECT_TRUE(Exists("trWidok"));
  ASSERT_EQ(Run("CREATE PROCEDURE pWola2 AS\nEXEC pNieMa\nEXEC sp_helptext 'x'\nEXEC pLista").number, 0);
  const auto& info = s.engine().infoMessages;
  ASSERT_EQ(info.size(), 1u);
  EXPECT_EQ(info[0].number, 2007);
  EXPECT_EQ(info[0].severity, 10);
  EXPECT_EQ(info[0].text, "The module 'pWola2' depends on the missing object 'pNieMa'. The module will still be "
                          "created; however, it cannot run successfully until the object exists.");
}

TEST_F(Modules, RefusesWhatTheServerRefuses) {
  struct Case {
    const char* sql;
    int number;
    const char* text;  // nullptr: any text
  };
  const Case cases[] = {
      {"CREATE PROCEDURE pZle AS SELECT 'abc", 105, "Unclosed quotation mark after the character string 'abc'."},
      {"CREATE PROCEDURE pZle AS SELECT [abc FROM Klienci", 105,
       "Unclosed quotation mark after the character string 'abc FROM Klienci'."},
      {"CREATE PROCEDURE pZle AS\nBEGIN\n  SELECT 1 AS a", 102, "Incorrect syntax near 'a'."},
      {"CREATE PROCEDURE pZle AS\nBEGIN\n  SELECT CASE WHEN 1 = 1 THEN 1 END AS a\nEND\nEND", 156,
       "Incorrect syntax near the keyword 'END'."},
      {"CREATE PROCEDURE pZle AS SELECT (1 + 2", 102, "Incorrect syntax near '2'."},
      {"CREATE PROCEDURE pZle AS SELECT 1 + 2) AS a", 102, "Incorrect syntax near ')'."},
      {"CREATE PROCEDURE pZle AS BEGIN TRY SELECT 1 END TRY SELECT 2", 156,
       "Incorrect syntax near the keyword 'SELECT'."},
      {"CREATE PROCEDURE pZle AS BEGIN TRY SELECT 1 END BEGIN CATCH SELECT 2 END CATCH", 156,
       "Incorrect syntax near the keyword 'BEGIN'."},
      {"CREATE PROCEDURE pZle AS", 102, "Incorrect syntax near 'AS'."},
      {"CREATE PROCEDURE pZle AS -- nothing yet", 102, "Incorrect syntax near 'AS'."},
      {"CREATE PROCEDURE pZle SELECT 1", 156, "Incorrect syntax near the keyword 'SELECT'."},
      {"CREATE PROCEDURE pZle @a int @b int AS SELECT 1", 102, "Incorrect syntax near '@b'."},
      {"CREATE FUNCTION fZla (@a int) AS BEGIN RETURN 1 END", 156, "Incorrect syntax near the keyword 'AS'."},
      {"CREATE FUNCTION fZla () RETURNS int AS RETURN 1", 156, "Incorrect syntax near the keyword 'RETURN'."},
      {"CREATE TRIGGER trZly ON Zam AS SELECT 1", 156, "Incorrect syntax near the keyword 'AS'."},
      // unknown columns of existing tables, also inside blocks and behind variables
      {"CREATE PROCEDURE pZle @n int AS SET NOCOUNT ON\nSELECT Nazwa, Brak FROM Klienci WHERE Id = @n", 207,
       "Invalid column name 'Brak'."},
      {"CREATE PROCEDURE pZle AS DECLARE c CURSOR FOR SELECT Brak FROM Klienci\nOPEN c", 207,
       "Invalid column name 'Brak'."},
      {"CREATE PROCEDURE pZle AS INSERT INTO Klienci (Nazwa, Brak) VALUES (N'x', 1)", 207,
       "Invalid column name 'Brak'."},
      {"CREATE PROCEDURE pZle AS INSERT INTO Zam (Nr, Poz, Ilosc) SELECT Id, 1, Brak FROM Klienci", 207,
       "Invalid column name 'Brak'."},
      {"CREATE PROCEDURE pZle @v int AS IF @v > 0 UPDATE Zam SET Brak = @v WHERE Nr = 1", 207,
       "Invalid column name 'Brak'."},
      {"CREATE PROCEDURE pZle AS UPDATE Zam SET Ilosc = 1 WHERE Brak = 1", 207, "Invalid column name 'Brak'."},
      {"CREATE PROCEDURE pZle AS BEGIN DELETE FROM Zam WHERE Brak = 1 END", 207, "Invalid column name 'Brak'."},
      {"CREATE PROCEDURE pZle AS SELECT Kod FROM vKlienci", 207, "Invalid column name 'Kod'."},
      {"CREATE TRIGGER trZly ON Zam FOR INSERT AS IF @@ROWCOUNT > 0 BEGIN SELECT Brak FROM Klienci END", 207,
       "Invalid column name 'Brak'."},
      {"CREATE FUNCTION fZla (@Nr int) RETURNS TABLE AS RETURN SELECT Brak FROM Zam WHERE Nr = @Nr", 207,
       "Invalid column name 'Brak'."},
      // conditions, returned values and assigned values
      {"CREATE PROCEDURE pZle AS IF EXISTS (SELECT 1 FROM Klienci WHERE Brak = 1) RETURN 1", 207,
       "Invalid column name 'Brak'."},
      {"CREATE PROCEDURE pZle AS WHILE (SELECT MAX(Brak) FROM Zam) > 0 BREAK", 207, "Invalid column name 'Brak'."},
      {"CREATE FUNCTION fZla () RETURNS int AS BEGIN RETURN (SELECT MAX(Brak) FROM Zam) END", 207,
       "Invalid column name 'Brak'."},
      {"CREATE PROCEDURE pZle AS DECLARE @n int\nSET @n = (SELECT Brak FROM Klienci)", 207,
       "Invalid column name 'Brak'."},
      // a trigger's table must exist, and AFTER triggers need a table
      {"CREATE TRIGGER trZly ON dbo.NieMa FOR INSERT AS SELECT 1", 8197,
       "The object 'dbo.NieMa' does not exist or is invalid for this operation."},
      {"CREATE TRIGGER trZly ON vKlienci AFTER DELETE AS SELECT 1", 8197,
       "The object 'vKlienci' does not exist or is invalid for this operation."},
  };
  for (const Case& c : cases) {
    auto m = Run(c.sql);
    EXPECT_EQ(m.number, c.number) << c.sql << "\n" << m.text;
    if (c.text) {
      EXPECT_EQ(m.text, c.text) << c.sql;
    }
  }
  for (const char* name : {"pZle", "fZla", "trZly"}) EXPECT_FALSE(Exists(name)) << name;
}

TEST_F(Modules, RefusedAlterKeepsTheOldText) {
  std::string before = Text("pLista");
  EXPECT_EQ(Run("ALTER PROCEDURE pLista AS SELECT Brak FROM Klienci").number, 207);
  EXPECT_EQ(Run("ALTER PROCEDURE pLista AS BEGIN SELECT 1").number, 102);
  EXPECT_EQ(Text("pLista"), before);
  ASSERT_EQ(Run("ALTER PROCEDURE pLista AS SELECT Kod FROM Klienci").number, 0);
  EXPECT_EQ(Text("pLista"), "CREATE PROCEDURE pLista AS SELECT Kod FROM Klienci");
}

TEST_F(Modules, LoadingKeepsModulesThatNoLongerCompile) {
  // A saved server may hold a procedure whose column was dropped after it.
  sqlsim::Server other;
  std::string script = std::string(simtest::kScript) + "CREATE PROCEDURE pStary AS SELECT Usunieta FROM Klienci\nGO\n";
  ASSERT_NO_THROW(other.Load(script));
  other.Execute("USE SHOP");
  EXPECT_FALSE(other.Execute("SELECT OBJECT_ID('pStary')").rows.at(0).at(0).IsNull());
}

TEST_F(Modules, ViewThatLostItsColumnIsSavedAndLoadedAgain) {
  // SQL Server lets a column go from under a view that is not schema-bound;
  // the view stays, fails when read, and the saved server must still load.
  ASSERT_EQ(Run("CREATE VIEW vKody AS SELECT Id, Kod FROM Klienci").number, 0);
  ASSERT_EQ(Run("DROP INDEX Klienci.IX_Klienci_Nazwa").number, 0);  // it includes Kod
  ASSERT_EQ(Run("ALTER TABLE [Klienci] DROP COLUMN Kod").number, 0);
  EXPECT_EQ(Run("SELECT * FROM vKody").number, 207);
  sqlsim::Server other;
  ASSERT_NO_THROW(other.Load(s.Canonical()));
  other.Execute("USE SHOP");
  EXPECT_FALSE(other.Execute("SELECT OBJECT_ID('vKody')").rows.at(0).at(0).IsNull());
  EXPECT_EQ(other.Canonical(), s.Canonical());
}

TEST_F(Modules, EncryptedModulesHideTheirText) {
  ASSERT_EQ(Run("CREATE PROCEDURE pTajna @x int WITH ENCRYPTION AS SELECT Nazwa FROM Klienci WHERE Id = @x").number, 0);
  ASSERT_EQ(Run("CREATE VIEW vTajny WITH SCHEMABINDING, ENCRYPTION AS SELECT Id FROM dbo.Klienci").number, 0);
  for (const char* name : {"pTajna", "vTajny"}) {
    // sp_helptext: information and no rows; the catalog keeps no text.
    auto rs = s.Execute(std::string("exec sp_helptext '") + name + "'");
    EXPECT_TRUE(rs.rows.empty()) << name;
    ASSERT_EQ(s.InfoMessages().size(), 1u) << name;
    EXPECT_EQ(s.InfoMessages()[0].number, 15471);
    EXPECT_EQ(s.InfoMessages()[0].text, std::string("The text for object '") + name + "' is encrypted.");
    auto cat = s.Execute(std::string("SELECT OBJECTPROPERTY(OBJECT_ID('") + name + "'), 'IsEncrypted') AS e, "
                         "(SELECT COUNT(*) FROM syscomments WHERE id = OBJECT_ID('" + name + "') AND text IS NOT NULL) AS t, "
                         "(SELECT definition FROM sys.sql_modules WHERE object_id = OBJECT_ID('" + name + "')) AS d");
    EXPECT_EQ(cat.rows.at(0).at(0).AsInteger(), 1) << name;
    EXPECT_EQ(cat.rows.at(0).at(1).AsInteger(), 0) << name;
    EXPECT_TRUE(cat.rows.at(0).at(2).IsNull()) << name;
  }
  // A plain module still shows its text, and an ALTER without the option unhides it.
  EXPECT_FALSE(Text("pLista").empty());
  ASSERT_EQ(Run("ALTER PROCEDURE pTajna @x int AS SELECT Nazwa FROM Klienci WHERE Id = @x").number, 0);
  EXPECT_EQ(Text("pTajna"), "CREATE PROCEDURE pTajna @x int AS SELECT Nazwa FROM Klienci WHERE Id = @x");
  // The saved server keeps the encrypted view as it was written.
  sqlsim::Server other;
  other.Load(s.Canonical());
  other.Execute("USE SHOP");
  EXPECT_EQ(other.Execute("SELECT OBJECTPROPERTY(OBJECT_ID('vTajny'), 'IsEncrypted')").rows.at(0).at(0).AsInteger(), 1);
}

}  // namespace
