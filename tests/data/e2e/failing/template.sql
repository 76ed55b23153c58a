-- Template 5.12.0: a procedure the server refuses, then one it accepts.
INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja)
VALUES (5, 12, 0, '2026-12-01');

INSERT INTO tblObjects (ID, Name, xtype, Priorytet) VALUES
  (1, 'toolSysVersion', 'U', 1),
  (2, 'Klienci', 'U', 1),
  (24, 'pZly', 'P', 1),
  (25, 'pDobry', 'P', 1);

INSERT INTO tblObjectText (ID, ROWID, Text) VALUES
  (24, 1, 'CREATE PROCEDURE pZly AS'),
  (24, 2, 'SELECT Brak FROM Klienci'),
  (25, 1, 'CREATE PROCEDURE pDobry AS'),
  (25, 2, 'SELECT Id FROM Klienci');
