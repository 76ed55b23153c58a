// A join filtered by an OR across two of its sources is run branch by
// branch; the answer must be the one the plain OR gives: same rows, same
// order, no row twice.
#include <gtest/gtest.h>

#include "sqlsim/server.h"

using db::Value;

namespace {

const char* kScript = R"SQL(CREATE DATABASE D
GO
USE D
GO
CREATE TABLE Osoby (Id int NOT NULL PRIMARY KEY, Nazwa nvarchar(20) NULL, IdSzefa int NULL)
CREATE TABLE Dzialy (Nr int NOT NULL, Rok int NOT NULL, Nazwa nvarchar(20) NULL, CONSTRAINT PK_Dzialy PRIMARY KEY (Nr, Rok))
CREATE TABLE Etaty (Id int NOT NULL PRIMARY KEY, IdOsoby int NULL, Nr int NULL, Rok int NULL)
GO
ALTER TABLE Osoby ADD CONSTRAINT FK_Osoby_Szef FOREIGN KEY (IdSzefa) REFERENCES Osoby (Id)
ALTER TABLE Etaty ADD CONSTRAINT FK_Etaty_Osoby FOREIGN KEY (IdOsoby) REFERENCES Osoby (Id)
ALTER TABLE Etaty ADD CONSTRAINT FK_Etaty_Dzialy FOREIGN KEY (Nr, Rok) REFERENCES Dzialy (Nr, Rok)
GO
INSERT INTO Osoby VALUES (1, N'Anna', NULL), (2, N'Bolek', 1), (3, NULL, 1)
INSERT INTO Dzialy VALUES (10, 2024, N'Kadry'), (11, 2024, N'anna')
INSERT INTO Etaty VALUES (1, 1, 10, 2024), (2, 2, 11, 2024), (3, 3, NULL, NULL), (4, NULL, 10, 2024)
GO
)SQL";

// Each query is run as written and with its OR hidden inside a CASE, which
// leaves the plain evaluation in place; both must agree exactly.
struct Case {
  const char* select;
  const char* alternatives;
  const char* tail;
};

std::string Render(const db::ResultSet& rs) {
  std::string r;
  for (auto& c : rs.columns) r += c + "|";
  r += "\n";
  for (auto& row : rs.rows) {
    for (auto& v : row) r += (v.IsNull() ? "NULL" : v.AsString()) + "|";
    r += "\n";
  }
  return r;
}

TEST(OrSplit, SameRowsAndOrderAsThePlainOr) {
  const Case cases[] = {
      // The program's keys-of-a-table query, on a table that is both sides of a key.
      {"SELECT sf.constid, so.name as fkeyname, sof.name as fname, scf.name as fcolname, sor.name as rname, scr.name as rcolname, sf.keyno "
       "FROM sysforeignkeys sf, syscolumns scf, syscolumns scr, sysobjects sof, sysobjects sor, sysobjects so "
       "WHERE sf.fkey = scf.colid and sf.fkeyid = scf.id and sf.rkey = scr.colid and sf.rkeyid = scr.id "
       "and sof.id = sf.fkeyid and sor.id = sf.rkeyid and so.id = sf.constid and ",
       "((sof.name = 'OSOBY') or (sor.name = 'osoby'))",
       " and OBJECTPROPERTY(sf.fkeyid,'IsMSShipped') = 0 ORDER BY sf.constid, sf.fkeyid, sf.rkeyid, sf.keyno"},
      // Overlapping alternatives, a NULL on one side, order by alias and by ordinal, descending.
      {"SELECT o.Nazwa AS Kto, d.Nazwa, e.Id FROM Etaty e LEFT JOIN Osoby o ON o.Id = e.IdOsoby LEFT JOIN Dzialy d ON d.Nr = e.Nr AND d.Rok = e.Rok WHERE ",
       "(o.Nazwa = N'anna' OR d.Nazwa = N'anna' OR e.Id = 3)", " ORDER BY Kto DESC, 3"},
      // TOP after the order; the order column is not in the select list.
      {"SELECT TOP 2 e.Id FROM Etaty e, Osoby o WHERE o.Id = e.IdOsoby AND ", "(o.IdSzefa = 1 OR e.Nr = 10)", " ORDER BY o.Nazwa DESC"},
  };
  sqlsim::Server s;
  s.Load(kScript);
  s.Execute("USE D");
  for (const Case& c : cases) {
    std::string split = std::string(c.select) + c.alternatives + c.tail;
    std::string plain = std::string(c.select) + "(CASE WHEN " + c.alternatives + " THEN 1 ELSE 0 END = 1)" + c.tail;
    db::ResultSet a = s.Execute(split), b = s.Execute(plain);
    EXPECT_FALSE(b.rows.empty()) << plain;
    EXPECT_EQ(Render(a), Render(b)) << split;
  }
}

TEST(OrSplit, KeysOfATableFoundFromEitherSide) {
  sqlsim::Server s;
  s.Load(kScript);
  s.Execute("USE D");
  const char* q =
      "SELECT so.name AS fkeyname, sf.keyno FROM sysforeignkeys sf, sysobjects sof, sysobjects sor, sysobjects so "
      "WHERE sof.id = sf.fkeyid AND sor.id = sf.rkeyid AND so.id = sf.constid AND ((sof.name = ?) OR (sor.name = ?)) "
      "ORDER BY so.name, sf.keyno";
  // The self-referencing key appears once, not once per side.
  EXPECT_EQ(Render(s.Execute(q, {Value::Str("Osoby"), Value::Str("Osoby")})),
            "fkeyname|keyno|\nFK_Etaty_Osoby|1|\nFK_Osoby_Szef|1|\n");
  EXPECT_EQ(Render(s.Execute(q, {Value::Str("Dzialy"), Value::Str("Dzialy")})),
            "fkeyname|keyno|\nFK_Etaty_Dzialy|1|\nFK_Etaty_Dzialy|2|\n");
}

}  // namespace
