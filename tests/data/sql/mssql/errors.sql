-- Statements in error: each gets its message, and parsing goes on with
-- the next batch. Error cases are not written back.
-- qor: roundtrip=no
CREATE VIEW dbo.V_Bad WITH NOTANOPTION AS SELECT 3 AS three
GO
CREATE TABLE dbo.T (Id int)
GO
CREATE TRIGGER dbo.TR_Bad ON dbo.T BEFORE INSERT AS RETURN
GO
GRANT FROBNICATE ON dbo.T TO Clerk
GO
CREATE TABLE dbo.BadType (a 12, b varchar(abc), c int)
GO
CREATE TABLE dbo.BadFk (a int REFERENCES dbo.T (Id) ON INSERT CASCADE, b int)
GO
CREATE TABLE dbo.BadAction (a int REFERENCES dbo.T (Id) ON DELETE SET WHATEVER)
GO
CREATE INDEX IX_Bad ON dbo.T (Id) WITH (NO_SUCH_OPTION = ON)
GO
CREATE WIDGET dbo.W
GO
ALTER TABLE dbo.T DROP NOTHING
GO
FROBNICATE
GO
CREATE TABLE [unterminated (a int)
GO
