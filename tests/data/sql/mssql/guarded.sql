-- Generated scripts guard their statements; the guarded objects are kept.
IF NOT EXISTS (SELECT * FROM sys.objects WHERE object_id = OBJECT_ID(N'[dbo].[Guarded]') AND type in (N'U'))
CREATE TABLE dbo.Guarded (Id int NOT NULL)
GO
IF NOT EXISTS (SELECT * FROM sys.objects WHERE name = 'G2')
BEGIN
  CREATE TABLE dbo.G2 (Id int)
  CREATE INDEX IX_G2 ON dbo.G2 (Id)
END
GO
IF OBJECT_ID('dbo.V_G') IS NULL
  EXEC dbo.sp_executesql @statement = N'CREATE VIEW dbo.V_G AS SELECT 1 AS one'
GO
IF NOT EXISTS (SELECT 1 FROM sys.procedures WHERE name = N'P_G')
  EXEC ('CREATE PROCEDURE dbo.P_G AS SELECT 1')
GO
IF 1 = 0 CREATE TABLE dbo.A1 (a int) ELSE CREATE TABLE dbo.A2 (a int)
GO
DECLARE @x int
SET @x = 1
CREATE TABLE dbo.AfterDeclare (a int)
GO
INSERT INTO dbo.Guarded VALUES (1)
CREATE TABLE dbo.AfterInsert (a int)
GO
PRINT 'done'
GO
