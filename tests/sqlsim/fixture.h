// A small database shared by the simulator tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sqlsim/server.h"

namespace simtest {

inline const char* kScript = R"SQL(-- sim: version 15
CREATE LOGIN [app] WITH PASSWORD = N'tajne'
GO
CREATE DATABASE SHOP
GO
USE SHOP
GO
CREATE ROLE Kasjer
GO
CREATE TABLE Klienci (
  Id int NOT NULL IDENTITY(1, 1),
  Nazwa nvarchar(40) NOT NULL,
  Opis nvarchar(max) NULL,
  Kod varchar(10) NULL,
  Guid uniqueidentifier ROWGUIDCOL NULL,
  Kwota decimal(12, 2) NULL,
  CONSTRAINT PK_Klienci PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE TABLE Zam (
  Nr int NOT NULL,
  Poz int NOT NULL,
  IdKlienta int NULL,
  Ilosc int NOT NULL CONSTRAINT DF_Zam_Ilosc DEFAULT (0),
  Data datetime NULL,
  CONSTRAINT PK_Zam PRIMARY KEY (Nr, Poz)
)
GO
ALTER TABLE Zam ADD CONSTRAINT CK_Zam_Ilosc CHECK (Ilosc >= 0)
ALTER TABLE Zam ADD CONSTRAINT FK_Zam_Klienci FOREIGN KEY (IdKlienta) REFERENCES Klienci (Id) ON DELETE CASCADE
CREATE UNIQUE NONCLUSTERED INDEX IX_Klienci_Nazwa ON Klienci (Nazwa DESC) INCLUDE (Kod)
GO
CREATE TABLE toolSysVersion (NrGlowny int, NrPodrzedny_1 int, NrPodrzedny_2 int, Aktualizacja datetime,
  DEL int NOT NULL CONSTRAINT DF_toolSysVersion_DEL DEFAULT 0)
GO
INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja, DEL) VALUES (5, 1, 0, '20240115', 1)
INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja) VALUES (5, 2, 3, '2025-03-01')
INSERT INTO Klienci (Nazwa, Kod) VALUES (N'Żółw', 'A1'), (N'Kot', 'B2')
INSERT INTO Zam (Nr, Poz, IdKlienta, Ilosc) VALUES (1, 1, 1, 5), (1, 2, 2, 3)
GO
CREATE VIEW vKlienci AS
SELECT Id, Nazwa FROM Klienci
GO
-- comment before
CREATE PROCEDURE pLista
AS
SELECT * FROM Klienci
GO
CREATE FUNCTION fDwa() RETURNS int AS BEGIN RETURN 2 END
GO
CREATE TRIGGER trZam ON Zam FOR INSERT AS
SELECT 1
GO
)SQL";

// A test with the server loaded from kScript and SHOP in use.
class ShopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    try {
      s.Load(kScript);
      s.Execute("USE SHOP");
    } catch (const sqlsim::SqlError& e) {
      FAIL() << sqlsim::FormatMessages(e.messages());
    }
  }
  sqlsim::Server s;
};

}  // namespace simtest
