-- The demo's template: version 5.2.0 of 1 December 2026, the newer shape of
-- DEMO (demo_old.sql holds 5.1.0). Built with: zr-template template.sql Template.mdb
-- Changes against 5.1.0:
--   Klienci     Nazwa and Miasto longer, Telefon dropped, Email added
--   Zamowienia  Kwota decimal(12,2), Uwagi added, a check on Kwota, an index on Data
--   Produkty    new table
--   Archiwum    dropped (not listed here)
--   vKlienci    shows Miasto too; pDodajKlienta takes the city; fnLiczbaZamowien new

INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja)
VALUES (5, 2, 0, '2026-12-01');

-- Objects: ID, name, type code, phase.
INSERT INTO tblObjects (ID, Name, xtype, Priorytet) VALUES
  (1, 'toolSysVersion',        'U',  1),
  (2, 'Klienci',               'U',  1),
  (3, 'Zamowienia',            'U',  1),
  (4, 'Produkty',              'U',  1),
  (5, 'FK_Zamowienia_Klienci', 'F',  2),
  (6, 'vKlienci',              'V',  3),
  (7, 'pDodajKlienta',         'P',  3),
  (8, 'fnLiczbaZamowien',      'FN', 3);

INSERT INTO tblColumnDef (ID, Name, ColOrder, Type, Length, Prec, Scale, IdentityInc, IdentitySeed, IsRowGUID,
                          "Collate", Nullable) VALUES
  (1, 'ID',            1, 'int',      4,   10, 0, 1,    1,    0, NULL,           0),
  (1, 'NrGlowny',      2, 'int',      4,   10, 0, NULL, NULL, 0, NULL,           0),
  (1, 'NrPodrzedny_1', 3, 'int',      4,   10, 0, NULL, NULL, 0, NULL,           0),
  (1, 'NrPodrzedny_2', 4, 'int',      4,   10, 0, NULL, NULL, 0, NULL,           0),
  (1, 'Aktualizacja',  5, 'datetime', 8,   23, 3, NULL, NULL, 0, NULL,           1),
  (1, 'DEL',           6, 'int',      4,   10, 0, NULL, NULL, 0, NULL,           0),
  (2, 'Id',            1, 'int',      4,   10, 0, 1,    1,    0, NULL,           0),
  (2, 'Nazwa',         2, 'nvarchar', 100, 0,  0, NULL, NULL, 0, 'Polish_CI_AS', 0),
  (2, 'Miasto',        3, 'nvarchar', 60,  0,  0, NULL, NULL, 0, 'Polish_CI_AS', 1),
  (2, 'Email',         4, 'nvarchar', 100, 0,  0, NULL, NULL, 0, 'Polish_CI_AS', 1),
  (3, 'Id',            1, 'int',      4,   10, 0, 1,    1,    0, NULL,           0),
  (3, 'IdKlienta',     2, 'int',      4,   10, 0, NULL, NULL, 0, NULL,           0),
  (3, 'Data',          3, 'datetime', 8,   23, 3, NULL, NULL, 0, NULL,           1),
  (3, 'Kwota',         4, 'decimal',  9,   12, 2, NULL, NULL, 0, NULL,           1),
  (3, 'Uwagi',         5, 'nvarchar', 200, 0,  0, NULL, NULL, 0, 'Polish_CI_AS', 1),
  (4, 'Id',            1, 'int',      4,   10, 0, 1,    1,    0, NULL,           0),
  (4, 'Nazwa',         2, 'nvarchar', 100, 0,  0, NULL, NULL, 0, 'Polish_CI_AS', 0),
  (4, 'Cena',          3, 'decimal',  9,   12, 2, NULL, NULL, 0, NULL,           0);

INSERT INTO tblCheck_And_Default (ID, name, type, ColName, text) VALUES
  (1, 'DF_toolSysVersion_DEL', 'D', 'DEL',   '((0))'),
  (3, 'DF_Zamowienia_Data',    'D', 'Data',  '(getdate())'),
  (3, 'CK_Zamowienia_Kwota',   'C', 'Kwota', '([Kwota]>=(0))'),
  (4, 'CK_Produkty_Cena',      'C', 'Cena',  '([Cena]>=(0))');

INSERT INTO tblIndexes (ID, indname, IsPrimaryKey, IsUnique, IsClustered, GroupName) VALUES
  (1, 'PK_toolSysVersion', 1, 1, 1, 'PRIMARY'),
  (2, 'PK_Klienci',        1, 1, 1, 'PRIMARY'),
  (3, 'PK_Zamowienia',     1, 1, 1, 'PRIMARY'),
  (3, 'IX_Zamowienia_Data', 0, 0, 0, 'PRIMARY'),
  (4, 'PK_Produkty',       1, 1, 1, 'PRIMARY');

INSERT INTO tblIndexKeys (ID, indname, ColName, KeyNo, IndexColumnID, IsDescending, IsIncluded) VALUES
  (1, 'PK_toolSysVersion',  'ID',   1, 1, 0, 0),
  (2, 'PK_Klienci',         'Id',   1, 1, 0, 0),
  (3, 'PK_Zamowienia',      'Id',   1, 1, 0, 0),
  (3, 'IX_Zamowienia_Data', 'Data', 1, 1, 0, 0),
  (4, 'PK_Produkty',        'Id',   1, 1, 0, 0);

-- FK_Zamowienia_Klienci: Zamowienia (IdKlienta) -> Klienci (Id).
INSERT INTO tblForeignKeys (id, fkeyid, rkeyid, fcolname, rcolname, keyno, IsDeleteCascade, IsUpdateCascade,
                            IsNotForRepl, IsDisabled) VALUES
  (5, 3, 2, 'IdKlienta', 'Id', 1, 0, 0, 0, 0);

-- Source texts, one row per line as the server lists them.
INSERT INTO tblObjectText (ID, ROWID, Text) VALUES
  (6, 1, 'CREATE VIEW vKlienci AS' || char(13) || char(10)),
  (6, 2, 'SELECT Id, Nazwa, Miasto FROM Klienci' || char(13) || char(10)),
  (7, 1, 'CREATE PROCEDURE pDodajKlienta @Nazwa nvarchar(100), @Miasto nvarchar(60) = NULL AS' || char(13) || char(10)),
  (7, 2, 'INSERT INTO Klienci (Nazwa, Miasto) VALUES (@Nazwa, @Miasto)' || char(13) || char(10)),
  (8, 1, 'CREATE FUNCTION fnLiczbaZamowien (@IdKlienta int) RETURNS int AS' || char(13) || char(10)),
  (8, 2, 'BEGIN' || char(13) || char(10)),
  (8, 3, '  RETURN (SELECT COUNT(*) FROM Zamowienia WHERE IdKlienta = @IdKlienta)' || char(13) || char(10)),
  (8, 4, 'END' || char(13) || char(10));
