-- The demo's older database: DEMO at version 5.1.0 of 15 March 2024, and a
-- second database KADRY so the list has more than one entry. Plain T-SQL:
-- the same script loads on a real SQL Server.
CREATE DATABASE DEMO
GO
CREATE DATABASE KADRY
GO
USE KADRY
GO
CREATE TABLE Pracownicy (
  Id int NOT NULL,
  Nazwisko nvarchar(60) COLLATE Polish_CI_AS NOT NULL,
  CONSTRAINT PK_Pracownicy PRIMARY KEY CLUSTERED (Id)
)
GO
USE DEMO
GO
CREATE TABLE toolSysVersion (
  ID int IDENTITY(1,1) NOT NULL,
  NrGlowny int NOT NULL,
  NrPodrzedny_1 int NOT NULL,
  NrPodrzedny_2 int NOT NULL,
  Aktualizacja datetime NULL,
  DEL int NOT NULL CONSTRAINT DF_toolSysVersion_DEL DEFAULT ((0)),
  CONSTRAINT PK_toolSysVersion PRIMARY KEY CLUSTERED (ID)
)
GO
CREATE TABLE Klienci (
  Id int IDENTITY(1,1) NOT NULL,
  Nazwa nvarchar(50) COLLATE Polish_CI_AS NOT NULL,
  Miasto nvarchar(30) COLLATE Polish_CI_AS NULL,
  Telefon varchar(20) COLLATE Polish_CI_AS NULL,
  CONSTRAINT PK_Klienci PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE TABLE Zamowienia (
  Id int IDENTITY(1,1) NOT NULL,
  IdKlienta int NOT NULL,
  Data datetime NULL CONSTRAINT DF_Zamowienia_Data DEFAULT (getdate()),
  Kwota decimal(10,2) NULL,
  CONSTRAINT PK_Zamowienia PRIMARY KEY CLUSTERED (Id)
)
GO
ALTER TABLE Zamowienia ADD CONSTRAINT FK_Zamowienia_Klienci FOREIGN KEY (IdKlienta) REFERENCES Klienci (Id)
GO
-- Dropped by the newer version.
CREATE TABLE Archiwum (
  Id int NOT NULL,
  Opis nvarchar(100) COLLATE Polish_CI_AS NULL
)
GO
CREATE VIEW vKlienci AS
SELECT Id, Nazwa FROM Klienci
GO
CREATE PROCEDURE pDodajKlienta @Nazwa nvarchar(50) AS
INSERT INTO Klienci (Nazwa) VALUES (@Nazwa)
GO
INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja) VALUES (5, 1, 0, '20240315')
GO
INSERT INTO Klienci (Nazwa, Miasto, Telefon) VALUES (N'Kowalski i Syn', N'Kraków', '12 345 67 89')
INSERT INTO Klienci (Nazwa, Miasto, Telefon) VALUES (N'Zakład Stolarski Bąk', N'Łódź', NULL)
GO
INSERT INTO Zamowienia (IdKlienta, Data, Kwota) VALUES (1, '20240401', 1250.50)
INSERT INTO Zamowienia (IdKlienta, Data, Kwota) VALUES (2, '20240402', 99.99)
GO
INSERT INTO Archiwum (Id, Opis) VALUES (1, N'stary wpis')
GO
