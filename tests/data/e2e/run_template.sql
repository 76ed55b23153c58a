-- Template for a whole run over a scripted server: two tables joined by a
-- foreign key, a view and a procedure of phase 1, a view of phase 2.
-- Version 5.12.0.

INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja)
VALUES (5, 12, 0, '2026-12-01');

INSERT INTO tblObjects (ID, Name, xtype, Priorytet) VALUES
  (1, 'toolSysVersion', 'U', 1),
  (2, 'Klienci', 'U', 1),
  (3, 'Zam', 'U', 1),
  (4, 'FK_Zam_Klienci', 'F', 1),
  (5, 'vKlienci', 'V', 1),
  (6, 'pDodaj', 'P', 1),
  (7, 'vFaza2', 'V', 2);

INSERT INTO tblObjectText (ID, ROWID, Text) VALUES
  (5, 1, '-- lista klientow'),
  (5, 2, 'CREATE VIEW vKlienci AS'),
  (5, 3, 'SELECT Id, Nazwa FROM Klienci'),
  (6, 1, 'CREATE PROCEDURE pDodaj @Nazwa nvarchar(50) AS'),
  (6, 2, 'INSERT INTO Klienci (Nazwa) VALUES (@Nazwa)'),
  (7, 1, 'CREATE VIEW vFaza2 AS'),
  (7, 2, 'SELECT Id FROM vKlienci');

INSERT INTO tblForeignKeys (id, fkeyid, rkeyid, fcolname, rcolname, keyno) VALUES
  (4, 3, 2, 'IdKlienta', 'Id', 1);
