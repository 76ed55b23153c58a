-- Starsza wersja bazy DEMO (5.1.0) dla pokazu aktualizacji.
-- sim: version 15
CREATE LOGIN [kasa] WITH PASSWORD = N'Kasa#2024'
CREATE LOGIN [raporty] WITH PASSWORD = N'Rap0rty!'
GO
CREATE DATABASE DEMO
GO
USE DEMO
GO
CREATE ROLE Kasjerzy
CREATE ROLE Ksiegowosc
CREATE USER [kasa] FOR LOGIN [kasa]
CREATE USER [raporty] FOR LOGIN [raporty]
EXEC sp_addrolemember N'Kasjerzy', N'kasa'
GO
CREATE TABLE toolSysVersion (
  NrGlowny int NOT NULL,
  NrPodrzedny_1 int NOT NULL,
  NrPodrzedny_2 int NOT NULL,
  Aktualizacja datetime NULL,
  DEL int NOT NULL CONSTRAINT DF_toolSysVersion_DEL DEFAULT 0
)
GO
INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja, DEL) VALUES (4, 9, 2, '20220110', 1)
INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja) VALUES (5, 1, 0, '20230315')
GO
CREATE TABLE Kraje (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_Kraje_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_Kraje PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_Kraje_Kod ON Kraje (Kod)
GO
INSERT INTO Kraje (Kod, Nazwa) VALUES ('A0', N'Pierwszy wpis – zażółć')
INSERT INTO Kraje (Kod, Nazwa) VALUES ('B0', N'Drugi wpis: gęślą jaźń')
INSERT INTO Kraje (Kod, Nazwa) VALUES ('C0', N'Trzeci')
GO
CREATE TABLE Wojewodztwa (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_Wojewodztwa_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_Wojewodztwa PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_Wojewodztwa_Kod ON Wojewodztwa (Kod)
GO
INSERT INTO Wojewodztwa (Kod, Nazwa) VALUES ('A1', N'Pierwszy wpis – zażółć')
INSERT INTO Wojewodztwa (Kod, Nazwa) VALUES ('B1', N'Drugi wpis: gęślą jaźń')
INSERT INTO Wojewodztwa (Kod, Nazwa) VALUES ('C1', N'Trzeci')
GO
CREATE TABLE Miasta (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_Miasta_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_Miasta PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_Miasta_Kod ON Miasta (Kod)
GO
INSERT INTO Miasta (Kod, Nazwa) VALUES ('A2', N'Pierwszy wpis – zażółć')
INSERT INTO Miasta (Kod, Nazwa) VALUES ('B2', N'Drugi wpis: gęślą jaźń')
INSERT INTO Miasta (Kod, Nazwa) VALUES ('C2', N'Trzeci')
GO
CREATE TABLE JednostkiMiary (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_JednostkiMiary_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_JednostkiMiary PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_JednostkiMiary_Kod ON JednostkiMiary (Kod)
GO
INSERT INTO JednostkiMiary (Kod, Nazwa) VALUES ('A3', N'Pierwszy wpis – zażółć')
INSERT INTO JednostkiMiary (Kod, Nazwa) VALUES ('B3', N'Drugi wpis: gęślą jaźń')
INSERT INTO JednostkiMiary (Kod, Nazwa) VALUES ('C3', N'Trzeci')
GO
CREATE TABLE StawkiVAT (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_StawkiVAT_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_StawkiVAT PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_StawkiVAT_Kod ON StawkiVAT (Kod)
GO
INSERT INTO StawkiVAT (Kod, Nazwa) VALUES ('A4', N'Pierwszy wpis – zażółć')
INSERT INTO StawkiVAT (Kod, Nazwa) VALUES ('B4', N'Drugi wpis: gęślą jaźń')
INSERT INTO StawkiVAT (Kod, Nazwa) VALUES ('C4', N'Trzeci')
GO
CREATE TABLE Waluty (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_Waluty_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_Waluty PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_Waluty_Kod ON Waluty (Kod)
GO
INSERT INTO Waluty (Kod, Nazwa) VALUES ('A5', N'Pierwszy wpis – zażółć')
INSERT INTO Waluty (Kod, Nazwa) VALUES ('B5', N'Drugi wpis: gęślą jaźń')
INSERT INTO Waluty (Kod, Nazwa) VALUES ('C5', N'Trzeci')
GO
CREATE TABLE FormyPlatnosci (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_FormyPlatnosci_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_FormyPlatnosci PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_FormyPlatnosci_Kod ON FormyPlatnosci (Kod)
GO
INSERT INTO FormyPlatnosci (Kod, Nazwa) VALUES ('A6', N'Pierwszy wpis – zażółć')
INSERT INTO FormyPlatnosci (Kod, Nazwa) VALUES ('B6', N'Drugi wpis: gęślą jaźń')
INSERT INTO FormyPlatnosci (Kod, Nazwa) VALUES ('C6', N'Trzeci')
GO
CREATE TABLE GrupyTowarowe (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_GrupyTowarowe_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_GrupyTowarowe PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_GrupyTowarowe_Kod ON GrupyTowarowe (Kod)
GO
INSERT INTO GrupyTowarowe (Kod, Nazwa) VALUES ('A7', N'Pierwszy wpis – zażółć')
INSERT INTO GrupyTowarowe (Kod, Nazwa) VALUES ('B7', N'Drugi wpis: gęślą jaźń')
INSERT INTO GrupyTowarowe (Kod, Nazwa) VALUES ('C7', N'Trzeci')
GO
CREATE TABLE Magazyny (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_Magazyny_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_Magazyny PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_Magazyny_Kod ON Magazyny (Kod)
GO
INSERT INTO Magazyny (Kod, Nazwa) VALUES ('A8', N'Pierwszy wpis – zażółć')
INSERT INTO Magazyny (Kod, Nazwa) VALUES ('B8', N'Drugi wpis: gęślą jaźń')
INSERT INTO Magazyny (Kod, Nazwa) VALUES ('C8', N'Trzeci')
GO
CREATE TABLE Dzialy (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_Dzialy_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_Dzialy PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_Dzialy_Kod ON Dzialy (Kod)
GO
INSERT INTO Dzialy (Kod, Nazwa) VALUES ('A9', N'Pierwszy wpis – zażółć')
INSERT INTO Dzialy (Kod, Nazwa) VALUES ('B9', N'Drugi wpis: gęślą jaźń')
INSERT INTO Dzialy (Kod, Nazwa) VALUES ('C9', N'Trzeci')
GO
CREATE TABLE Stanowiska (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_Stanowiska_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_Stanowiska PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_Stanowiska_Kod ON Stanowiska (Kod)
GO
INSERT INTO Stanowiska (Kod, Nazwa) VALUES ('A10', N'Pierwszy wpis – zażółć')
INSERT INTO Stanowiska (Kod, Nazwa) VALUES ('B10', N'Drugi wpis: gęślą jaźń')
INSERT INTO Stanowiska (Kod, Nazwa) VALUES ('C10', N'Trzeci')
GO
CREATE TABLE RodzajeDokumentow (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_RodzajeDokumentow_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_RodzajeDokumentow PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_RodzajeDokumentow_Kod ON RodzajeDokumentow (Kod)
GO
INSERT INTO RodzajeDokumentow (Kod, Nazwa) VALUES ('A11', N'Pierwszy wpis – zażółć')
INSERT INTO RodzajeDokumentow (Kod, Nazwa) VALUES ('B11', N'Drugi wpis: gęślą jaźń')
INSERT INTO RodzajeDokumentow (Kod, Nazwa) VALUES ('C11', N'Trzeci')
GO
CREATE TABLE Banki (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_Banki_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_Banki PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_Banki_Kod ON Banki (Kod)
GO
INSERT INTO Banki (Kod, Nazwa) VALUES ('A12', N'Pierwszy wpis – zażółć')
INSERT INTO Banki (Kod, Nazwa) VALUES ('B12', N'Drugi wpis: gęślą jaźń')
INSERT INTO Banki (Kod, Nazwa) VALUES ('C12', N'Trzeci')
GO
CREATE TABLE Oddzialy (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_Oddzialy_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_Oddzialy PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_Oddzialy_Kod ON Oddzialy (Kod)
GO
INSERT INTO Oddzialy (Kod, Nazwa) VALUES ('A13', N'Pierwszy wpis – zażółć')
INSERT INTO Oddzialy (Kod, Nazwa) VALUES ('B13', N'Drugi wpis: gęślą jaźń')
INSERT INTO Oddzialy (Kod, Nazwa) VALUES ('C13', N'Trzeci')
GO
CREATE TABLE KategorieKlientow (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_KategorieKlientow_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_KategorieKlientow PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_KategorieKlientow_Kod ON KategorieKlientow (Kod)
GO
INSERT INTO KategorieKlientow (Kod, Nazwa) VALUES ('A14', N'Pierwszy wpis – zażółć')
INSERT INTO KategorieKlientow (Kod, Nazwa) VALUES ('B14', N'Drugi wpis: gęślą jaźń')
INSERT INTO KategorieKlientow (Kod, Nazwa) VALUES ('C14', N'Trzeci')
GO
CREATE TABLE Producenci (
  Id int NOT NULL IDENTITY(1, 1),
  Kod varchar(10) NOT NULL,
  Nazwa nvarchar(60) NOT NULL,
  Aktywny bit NOT NULL CONSTRAINT DF_Producenci_Aktywny DEFAULT (1),
  Uwagi nvarchar(200) NULL,
  CONSTRAINT PK_Producenci PRIMARY KEY CLUSTERED (Id)
)
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_Producenci_Kod ON Producenci (Kod)
GO
INSERT INTO Producenci (Kod, Nazwa) VALUES ('A15', N'Pierwszy wpis – zażółć')
INSERT INTO Producenci (Kod, Nazwa) VALUES ('B15', N'Drugi wpis: gęślą jaźń')
INSERT INTO Producenci (Kod, Nazwa) VALUES ('C15', N'Trzeci')
GO
CREATE TABLE Klienci (
  Id int NOT NULL IDENTITY(1, 1),
  Symbol varchar(20) NOT NULL,
  Nazwa nvarchar(120) NOT NULL,
  NIP varchar(13) NULL,
  IdMiasta int NULL,
  IdKategorii int NULL,
  Rabat decimal(5, 2) NOT NULL CONSTRAINT DF_Klienci_Rabat DEFAULT (0),
  DataDodania datetime NOT NULL CONSTRAINT DF_Klienci_DataDodania DEFAULT (getdate()),
  Uwagi ntext NULL,
  CONSTRAINT PK_Klienci PRIMARY KEY CLUSTERED (Id)
)
GO
ALTER TABLE Klienci ADD CONSTRAINT CK_Klienci_Rabat CHECK (Rabat >= 0 AND Rabat <= 100)
ALTER TABLE Klienci ADD CONSTRAINT FK_Klienci_Miasta FOREIGN KEY (IdMiasta) REFERENCES Miasta (Id)
ALTER TABLE Klienci ADD CONSTRAINT FK_Klienci_Kategorie FOREIGN KEY (IdKategorii) REFERENCES KategorieKlientow (Id)
CREATE NONCLUSTERED INDEX IX_Klienci_Nazwa ON Klienci (Nazwa) INCLUDE (Symbol)
GO
INSERT INTO Klienci (Symbol, Nazwa, NIP, IdMiasta, IdKategorii, Rabat, DataDodania) VALUES ('ZAB', N'Żabka Łódź Sp. z o.o.', '7251234567', 1, 1, 5, '20230301')
INSERT INTO Klienci (Symbol, Nazwa, NIP, IdMiasta, IdKategorii, Rabat, DataDodania) VALUES ('SRP', N'Sierpień i Syn', NULL, 2, NULL, 0, '20230302')
INSERT INTO Klienci (Symbol, Nazwa, NIP, IdMiasta, IdKategorii, Rabat, DataDodania) VALUES ('GES', N'Gęś Pomorska', '5830001122', NULL, 2, 12.5, '20230303')
GO
CREATE TABLE Towary (
  Id int NOT NULL IDENTITY(1, 1),
  Indeks varchar(30) NOT NULL,
  Nazwa nvarchar(100) NOT NULL,
  IdGrupy int NOT NULL,
  IdJm int NOT NULL,
  IdVat int NOT NULL,
  CenaNetto money NOT NULL CONSTRAINT DF_Towary_CenaNetto DEFAULT (0),
  Opis varchar(500) NULL,
  KodKreskowy char(13) NULL,
  Guid uniqueidentifier ROWGUIDCOL NOT NULL CONSTRAINT DF_Towary_Guid DEFAULT (newid()),
  CONSTRAINT PK_Towary PRIMARY KEY CLUSTERED (Id)
)
GO
ALTER TABLE Towary ADD CONSTRAINT CK_Towary_Cena CHECK (CenaNetto >= 0)
ALTER TABLE Towary ADD CONSTRAINT FK_Towary_Grupy FOREIGN KEY (IdGrupy) REFERENCES GrupyTowarowe (Id)
ALTER TABLE Towary ADD CONSTRAINT FK_Towary_Jm FOREIGN KEY (IdJm) REFERENCES JednostkiMiary (Id)
ALTER TABLE Towary ADD CONSTRAINT FK_Towary_Vat FOREIGN KEY (IdVat) REFERENCES StawkiVAT (Id)
CREATE UNIQUE NONCLUSTERED INDEX IX_Towary_Indeks ON Towary (Indeks)
CREATE NONCLUSTERED INDEX IX_Towary_Grupa ON Towary (IdGrupy, Nazwa DESC)
GO
INSERT INTO Towary (Indeks, Nazwa, IdGrupy, IdJm, IdVat, CenaNetto, KodKreskowy, Guid) VALUES ('MLK-1', N'Mleko 3,2% 1 l', 1, 1, 1, 3.49, '5900000000011', '6F9619FF-8B86-D011-B42D-00C04FC964FF')
INSERT INTO Towary (Indeks, Nazwa, IdGrupy, IdJm, IdVat, CenaNetto, KodKreskowy, Guid) VALUES ('CHL-2', N'Chleb żytni', 2, 2, 2, 5.20, NULL, '7F9619FF-8B86-D011-B42D-00C04FC964FF')
GO
CREATE TABLE Dokumenty (
  Id int NOT NULL IDENTITY(1, 1),
  Numer nvarchar(30) NOT NULL,
  IdRodzaju int NOT NULL,
  IdKlienta int NULL,
  IdMagazynu int NOT NULL,
  Data datetime NOT NULL,
  Wartosc money NULL,
  Status char(1) NOT NULL CONSTRAINT DF_Dokumenty_Status DEFAULT ('N'),
  CONSTRAINT PK_Dokumenty PRIMARY KEY CLUSTERED (Id)
)
GO
ALTER TABLE Dokumenty ADD CONSTRAINT CK_Dokumenty_Status CHECK (Status IN ('N', 'Z', 'A'))
ALTER TABLE Dokumenty ADD CONSTRAINT FK_Dokumenty_Klienci FOREIGN KEY (IdKlienta) REFERENCES Klienci (Id)
ALTER TABLE Dokumenty ADD CONSTRAINT FK_Dokumenty_Rodzaje FOREIGN KEY (IdRodzaju) REFERENCES RodzajeDokumentow (Id)
ALTER TABLE Dokumenty ADD CONSTRAINT FK_Dokumenty_Magazyny FOREIGN KEY (IdMagazynu) REFERENCES Magazyny (Id)
CREATE UNIQUE NONCLUSTERED INDEX IX_Dokumenty_Numer ON Dokumenty (Numer, IdRodzaju)
GO
INSERT INTO Dokumenty (Numer, IdRodzaju, IdKlienta, IdMagazynu, Data, Wartosc, Status) VALUES (N'FV/1/2023', 1, 1, 1, '20230310', 120.50, 'Z')
INSERT INTO Dokumenty (Numer, IdRodzaju, IdKlienta, IdMagazynu, Data, Wartosc, Status) VALUES (N'FV/2/2023', 1, 3, 1, '20230311', 80, 'N')
GO
CREATE TABLE PozycjeDokumentow (
  IdDokumentu int NOT NULL,
  Lp smallint NOT NULL,
  IdTowaru int NOT NULL,
  Ilosc decimal(12, 3) NOT NULL CONSTRAINT DF_PozycjeDokumentow_Ilosc DEFAULT (1),
  Cena money NOT NULL,
  CONSTRAINT PK_PozycjeDokumentow PRIMARY KEY CLUSTERED (IdDokumentu, Lp)
)
GO
ALTER TABLE PozycjeDokumentow ADD CONSTRAINT CK_PozycjeDokumentow_Ilosc CHECK (Ilosc > 0)
ALTER TABLE PozycjeDokumentow ADD CONSTRAINT FK_PozycjeDokumentow_Dokumenty FOREIGN KEY (IdDokumentu) REFERENCES Dokumenty (Id) ON DELETE CASCADE
ALTER TABLE PozycjeDokumentow ADD CONSTRAINT FK_PozycjeDokumentow_Towary FOREIGN KEY (IdTowaru) REFERENCES Towary (Id)
GO
INSERT INTO PozycjeDokumentow (IdDokumentu, Lp, IdTowaru, Ilosc, Cena) VALUES (1, 1, 1, 10, 3.49)
INSERT INTO PozycjeDokumentow (IdDokumentu, Lp, IdTowaru, Ilosc, Cena) VALUES (1, 2, 2, 5, 5.2)
INSERT INTO PozycjeDokumentow (IdDokumentu, Lp, IdTowaru, Ilosc, Cena) VALUES (2, 1, 1, 2.5, 3.49)
GO
CREATE TABLE Pracownicy (
  Id int NOT NULL IDENTITY(100, 1),
  Imie nvarchar(40) NOT NULL,
  Nazwisko nvarchar(60) NOT NULL,
  IdDzialu int NULL,
  IdStanowiska int NULL,
  Pensja decimal(10, 2) NULL,
  DataZatrudnienia smalldatetime NULL,
  CONSTRAINT PK_Pracownicy PRIMARY KEY CLUSTERED (Id)
)
GO
ALTER TABLE Pracownicy ADD CONSTRAINT FK_Pracownicy_Dzialy FOREIGN KEY (IdDzialu) REFERENCES Dzialy (Id)
ALTER TABLE Pracownicy ADD CONSTRAINT FK_Pracownicy_Stanowiska FOREIGN KEY (IdStanowiska) REFERENCES Stanowiska (Id)
ALTER TABLE Pracownicy NOCHECK CONSTRAINT FK_Pracownicy_Stanowiska
GO
INSERT INTO Pracownicy (Imie, Nazwisko, IdDzialu, IdStanowiska, Pensja, DataZatrudnienia) VALUES (N'Łukasz', N'Wróbel', 1, 2, 5400, '20200201')
INSERT INTO Pracownicy (Imie, Nazwisko, IdDzialu, IdStanowiska, Pensja, DataZatrudnienia) VALUES (N'Małgorzata', N'Źródlana', 2, NULL, 6100.5, '20210915')
GO
CREATE TABLE Dziennik (
  Id bigint NOT NULL IDENTITY(1, 1),
  Kiedy datetime NOT NULL CONSTRAINT DF_Dziennik_Kiedy DEFAULT (getdate()),
  Kto sysname NOT NULL,
  Opis nvarchar(400) NULL,
  CONSTRAINT PK_Dziennik PRIMARY KEY NONCLUSTERED (Id)
)
GO
CREATE CLUSTERED INDEX IX_Dziennik_Kiedy ON Dziennik (Kiedy DESC)
GO
CREATE TABLE Ustawienia (
  Klucz varchar(50) NOT NULL,
  Wartosc nvarchar(max) NULL,
  CONSTRAINT PK_Ustawienia PRIMARY KEY CLUSTERED (Klucz)
)
GO
INSERT INTO Ustawienia (Klucz, Wartosc) VALUES ('NazwaFirmy', N'Przykładowa Firma Handlowa')
INSERT INTO Ustawienia (Klucz, Wartosc) VALUES ('Waluta', N'PLN')
GO
EXEC sp_addextendedproperty @name=N'MS_Description', @value=N'Kartoteka klientów', @level0type=N'SCHEMA', @level0name=N'dbo', @level1type=N'TABLE', @level1name=N'Klienci'
GO
CREATE FUNCTION dbo.fnBrutto (@netto money, @stawka decimal(5, 2))
RETURNS money
AS
BEGIN
  RETURN @netto * (1 + @stawka / 100)
END
GO
CREATE FUNCTION dbo.fnDokumentyKlienta (@IdKlienta int)
RETURNS TABLE
AS
RETURN (SELECT Id, Numer, Data, Wartosc FROM Dokumenty WHERE IdKlienta = @IdKlienta)
GO
CREATE FUNCTION dbo.fnStanMagazynu (@IdMagazynu int)
RETURNS @wynik TABLE (IdTowaru int, Ilosc decimal(12, 3))
AS
BEGIN
  INSERT INTO @wynik SELECT p.IdTowaru, SUM(p.Ilosc) FROM PozycjeDokumentow p GROUP BY p.IdTowaru
  RETURN
END
GO
CREATE VIEW vKlienci
AS
SELECT k.Id, k.Symbol, k.Nazwa, m.Nazwa AS Miasto
FROM Klienci k LEFT JOIN Miasta m ON m.Id = k.IdMiasta
GO
CREATE VIEW vDokumenty
AS
SELECT d.Id, d.Numer, d.Data, d.Wartosc, k.Nazwa AS Klient
FROM Dokumenty d LEFT JOIN Klienci k ON k.Id = d.IdKlienta
GO
-- Zestawienie sprzedaży według klientów
CREATE VIEW vSprzedazKlientow
AS
SELECT Klient, COUNT(*) AS Liczba, SUM(Wartosc) AS Razem FROM vDokumenty GROUP BY Klient
GO
CREATE PROCEDURE dbo.pDodajKlienta
  @Symbol varchar(20),
  @Nazwa nvarchar(120)
AS
BEGIN
  SET NOCOUNT ON
  INSERT INTO Klienci (Symbol, Nazwa) VALUES (@Symbol, @Nazwa)
  SELECT SCOPE_IDENTITY() AS Id
END
GO
CREATE PROCEDURE dbo.pRaportSprzedazy
  @Od datetime,
  @Do datetime
AS
SELECT d.Numer, d.Data, d.Wartosc FROM Dokumenty d WHERE d.Data BETWEEN @Od AND @Do ORDER BY d.Data
GO
CREATE PROCEDURE dbo.pUsunStareWpisy
AS
DELETE FROM Dziennik WHERE Kiedy < DATEADD(year, -1, GETDATE())
GO
CREATE TRIGGER trDokumentyDziennik ON Dokumenty
FOR INSERT, UPDATE
AS
INSERT INTO Dziennik (Kto, Opis) SELECT SUSER_SNAME(), N'Zmiana dokumentu ' + i.Numer FROM inserted i
GO
CREATE TRIGGER trKlienciUsun ON Klienci
FOR DELETE
AS
INSERT INTO Dziennik (Kto, Opis) SELECT SUSER_SNAME(), N'Usunięto klienta ' + d.Nazwa FROM deleted d
GO
GRANT EXECUTE ON [dbo].[pDodajKlienta] TO [Kasjerzy]
GRANT SELECT ON [dbo].[vKlienci] TO [Ksiegowosc]
GO
