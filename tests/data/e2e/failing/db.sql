-- Database Firma at version 5.11.0 whose server refuses the text of one
-- procedure (the simulator's injected failure stands for an object the
-- text of which the server cannot compile).
-- sim: fail 1 "CREATE PROCEDURE pZly" 207 "Invalid column name 'Brak'."
CREATE DATABASE Firma
GO
USE Firma
GO
CREATE TABLE toolSysVersion (NrGlowny int NOT NULL, NrPodrzedny_1 int NOT NULL, NrPodrzedny_2 int NOT NULL,
  Aktualizacja datetime NULL, DEL int NOT NULL CONSTRAINT DF_toolSysVersion_DEL DEFAULT (0))
GO
CREATE TABLE Klienci (Id int NOT NULL CONSTRAINT PK_Klienci PRIMARY KEY, Nazwa nvarchar(50) NULL)
GO
