-- Template 5.12.0 for the database of db.sql.
INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja)
VALUES (5, 12, 0, '2026-12-01');

INSERT INTO tblObjects (ID, Name, xtype, Priorytet) VALUES
  (1, 'toolSysVersion', 'U', 1),
  (2, 'Klienci', 'U', 1),
  (3, 'Zam', 'U', 1),
  (4, 'Inna', 'U', 1),
  (10, 'FK_Zam_Klienci', 'F', 1),
  (20, 'vKlienci', 'V', 1),
  (21, 'pInna', 'P', 1),
  (22, 'fnJeden', 'FN', 1),
  (23, 'trKlienci', 'TR', 1),
  (25, 'pDobry', 'P', 1),
  (26, 'vFaza2', 'V', 2);

INSERT INTO tblForeignKeys (id, fkeyid, rkeyid, fcolname, rcolname, keyno) VALUES
  (10, 3, 2, 'IdKlienta', 'Id', 1);

INSERT INTO tblObjectText (ID, ROWID, Text) VALUES
  (20, 1, 'CREATE VIEW vKlienci AS'),
  (20, 2, '-- klienci'),
  (20, 3, 'SELECT Id, Nazwa FROM Klienci'),
  (21, 1, 'CREATE PROCEDURE pInna AS'),
  (21, 2, 'SELECT 2 AS Nowa_wersja'),
  (22, 1, 'CREATE FUNCTION fnJeden() RETURNS int'),
  (22, 2, 'AS'),
  (22, 3, 'BEGIN'),
  (22, 4, 'RETURN 1'),
  (22, 5, 'END'),
  (23, 1, 'CREATE TRIGGER trKlienci ON Klienci FOR INSERT AS'),
  (23, 2, 'SET NOCOUNT ON'),
  (25, 1, 'CREATE PROCEDURE pDobry AS'),
  (25, 2, 'SELECT Id FROM Klienci'),
  (26, 1, 'CREATE VIEW vFaza2 AS'),
  (26, 2, 'SELECT Id FROM vKlienci');
