-- A small template: two tables joined by a two-column foreign key, a view,
-- a procedure, and an object of an unknown type in phase 3.
-- Version 5.12.3 of 9 December 2026.

INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja)
VALUES (5, 12, 3, '2026-12-09');

-- Objects: ID, name, type code, phase.
INSERT INTO tblObjects (ID, Name, xtype, Priorytet) VALUES
  (1, 'Klienci', 'U', 1),
  (2, 'Zam', 'U', 1),
  (3, 'FK_Zam_Klienci', 'F', 1),
  (4, 'vKlienci', 'V', 2),
  (5, 'pDodajKlienta', 'P', 2),
  (6, 'Notatki', 'XX', 3);

-- Columns of Klienci (1) and Zam (2).
INSERT INTO tblColumnDef (ID, Name, ColOrder, Type, Length, Prec, Scale, IdentityInc, IdentitySeed, IsRowGUID,
                          "Collate", Nullable) VALUES
  (1, 'Id',        1, 'int',      4,   10, 0, 1,    1,    0, NULL,           0),
  (1, 'Nazwa',     2, 'nvarchar', 100, 0,  0, NULL, NULL, 0, 'Polish_CI_AS', 0),
  (1, 'Kraj',      3, 'nvarchar', 2,   0,  0, NULL, NULL, 0, 'Polish_CI_AS', 1),
  (1, 'Notatka',   4, 'NVARCHAR', 0,   0,  0, NULL, NULL, 0, 'Polish_CI_AS', 1),
  (2, 'Id',        1, 'int',      4,   10, 0, NULL, NULL, 0, NULL,           0),
  (2, 'IdKlienta', 2, 'int',      4,   10, 0, NULL, NULL, 0, NULL,           1),
  (2, 'KrajKlienta', 3, 'nvarchar', 2, 0,  0, NULL, NULL, 0, 'Polish_CI_AS', 1),
  (2, 'Data',      4, 'datetime', 8,   23, 3, NULL, NULL, 0, NULL,           1);

-- Kraj carries both a default and a check; Zam.Data a default; Zam a
-- table-level check without a column.
INSERT INTO tblCheck_And_Default (ID, name, type, ColName, text) VALUES
  (1, 'DF_Klienci_Kraj', 'D', 'Kraj', '(''PL'')'),
  (1, 'CK_Klienci_Kraj', 'C', 'Kraj', '([Kraj]<>'''')'),
  (2, 'DF_Zam_Data',     'D', 'Data', '(getdate())'),
  (2, 'CK_Zam_Id',       'C', NULL,   '([Id]>(0))');

INSERT INTO tblIndexes (ID, indname, IsPrimaryKey, IsUnique, IsClustered, GroupName) VALUES
  (1, 'PK_Klienci',         1, 1, 1, 'PRIMARY'),
  (1, 'UQ_Klienci_Id_Kraj', 0, 1, 0, 'PRIMARY'),
  (2, 'PK_Zam',             1, 1, 1, 'PRIMARY'),
  (2, 'IX_Zam_Data',        0, 0, 0, 'PRIMARY');

INSERT INTO tblIndexKeys (ID, indname, ColName, KeyNo, IndexColumnID, IsDescending, IsIncluded) VALUES
  (1, 'PK_Klienci',         'Id',          1, 1, 0, 0),
  (1, 'UQ_Klienci_Id_Kraj', 'Id',          1, 1, 0, 0),
  (1, 'UQ_Klienci_Id_Kraj', 'Kraj',        2, 2, 0, 0),
  (2, 'PK_Zam',             'Id',          1, 1, 0, 0),
  (2, 'IX_Zam_Data',        'Data',        1, 1, 1, 0),
  (2, 'IX_Zam_Data',        'IdKlienta',   0, 2, 0, 1);

-- FK_Zam_Klienci: Zam (IdKlienta, KrajKlienta) -> Klienci (Id, Kraj), cascading deletes.
INSERT INTO tblForeignKeys (id, fkeyid, rkeyid, fcolname, rcolname, keyno, IsDeleteCascade, IsUpdateCascade,
                            IsNotForRepl, IsDisabled) VALUES
  (3, 2, 1, 'KrajKlienta', 'Kraj', 2, 1, 0, 0, 0),
  (3, 2, 1, 'IdKlienta',   'Id',   1, 1, 0, 0, 0);

-- Source texts, one row per line as the server lists them.
INSERT INTO tblObjectText (ID, ROWID, Text) VALUES
  (4, 1, 'CREATE VIEW vKlienci AS' || char(13) || char(10)),
  (4, 2, 'SELECT Id, Nazwa FROM Klienci' || char(13) || char(10)),
  (5, 2, '  INSERT INTO Klienci (Nazwa) VALUES (@Nazwa)'),
  (5, 1, 'CREATE PROCEDURE pDodajKlienta @Nazwa NVARCHAR(100) AS');
