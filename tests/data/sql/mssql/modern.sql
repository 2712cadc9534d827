-- Statements newer than the grammar: a clear note, and nothing after them
-- is lost.
CREATE TABLE dbo.Compressed (Id int NOT NULL, Data varbinary(max)) WITH (DATA_COMPRESSION = PAGE)
GO
CREATE TABLE dbo.Blobs (Id int, B image) ON [PRIMARY] TEXTIMAGE_ON [PRIMARY]
GO
CREATE TABLE dbo.Temporal (
  Id int NOT NULL PRIMARY KEY,
  ValidFrom datetime2 GENERATED ALWAYS AS ROW START NOT NULL,
  ValidTo datetime2 GENERATED ALWAYS AS ROW END NOT NULL,
  PERIOD FOR SYSTEM_TIME (ValidFrom, ValidTo),
  INDEX IX_Inline NONCLUSTERED (Id)
)
GO
DROP TABLE IF EXISTS dbo.Old
GO
CREATE SEQUENCE dbo.S1 START WITH 1 INCREMENT BY 1
GO
CREATE TABLE dbo.AfterSequence (a int)
GO
CREATE TYPE dbo.Money2 FROM decimal(18,2) NOT NULL
GO
ALTER VIEW dbo.V AS SELECT 1 AS one
GO
CREATE TABLE dbo.AfterAlterView (a int)
GO
SET XACT_ABORT ON
SET ANSI_PADDING ON
SET NOCOUNT ON
GO
