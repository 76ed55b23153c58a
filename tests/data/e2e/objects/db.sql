-- Database Firma at version 5.11.0: objects that are equal to the template
-- but for letter case, blanks and comments; one procedure that differs; a
-- foreign key with another delete rule; obsolete objects of every type, one
-- of them a table referenced by a key of a table the template keeps; a role
-- and a disabled trigger.
CREATE DATABASE Firma
GO
USE Firma
GO
CREATE TABLE toolSysVersion (NrGlowny int NOT NULL, NrPodrzedny_1 int NOT NULL, NrPodrzedny_2 int NOT NULL,
  Aktualizacja datetime NULL, DEL int NOT NULL CONSTRAINT DF_toolSysVersion_DEL DEFAULT (0))
GO
INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja, DEL) VALUES (5, 11, 0, '20250101', 0)
GO
CREATE TABLE Klienci (Id int NOT NULL CONSTRAINT PK_Klienci PRIMARY KEY, Nazwa nvarchar(50) NULL)
GO
CREATE TABLE Zam (Id int NOT NULL CONSTRAINT PK_Zam PRIMARY KEY, IdKlienta int NULL)
GO
ALTER TABLE Zam ADD CONSTRAINT FK_Zam_Klienci FOREIGN KEY (IdKlienta) REFERENCES Klienci (Id) ON DELETE CASCADE
GO
CREATE TABLE Stara (Id int NOT NULL CONSTRAINT PK_Stara PRIMARY KEY)
GO
CREATE TABLE Inna (Id int NOT NULL, IdStarej int NULL)
GO
ALTER TABLE Inna ADD CONSTRAINT FK_Inna_Stara FOREIGN KEY (IdStarej) REFERENCES Stara (Id)
GO
create view vKlienci as

  select Id, Nazwa from Klienci
GO
CREATE PROCEDURE pInna AS
SELECT 1 AS Stara_wersja
GO
-- jeden
CREATE FUNCTION fnJeden() RETURNS int
AS
BEGIN
  -- stala
  RETURN 1
END
GO
CREATE TRIGGER trKlienci ON Klienci FOR INSERT AS
SET NOCOUNT ON
GO
ALTER TABLE Klienci DISABLE TRIGGER trKlienci
GO
CREATE VIEW vStary AS SELECT Id FROM Klienci
GO
CREATE PROCEDURE pStary AS SELECT 1 AS A
GO
CREATE FUNCTION fnStara() RETURNS int AS BEGIN RETURN 2 END
GO
CREATE FUNCTION tfStara() RETURNS @t TABLE (a int) AS BEGIN INSERT INTO @t VALUES (1) RETURN END
GO
CREATE FUNCTION ifStara() RETURNS TABLE AS RETURN (SELECT Id FROM Klienci)
GO
CREATE TRIGGER trStary ON Zam FOR INSERT AS SET NOCOUNT ON
GO
CREATE ROLE Kadry
GO
