-- Bodies a script keeps as text are read again after it for what they use:
-- each view, routine and trigger depends on the tables, views and routines
-- its statements name, found by their schema-qualified names, once each;
-- temporary tables, table variables, common table expressions and aliases
-- link nothing.
-- qor: version=2016
CREATE SCHEMA Sales
GO
CREATE TABLE dbo.Orders (Id int NOT NULL PRIMARY KEY, CustomerId int, Amount money)
CREATE TABLE dbo.Customers (Id int NOT NULL PRIMARY KEY, Name nvarchar(100))
CREATE TABLE Sales.Orders (Id int NOT NULL, Total money)
CREATE TABLE dbo.AuditLog (Id int IDENTITY, Msg nvarchar(200))
CREATE TABLE dbo.Totals (Id int)
GO
CREATE FUNCTION dbo.f_tax (@x money) RETURNS money
AS
BEGIN
  RETURN @x * 0.2
END
GO
CREATE VIEW dbo.V_Taxed
AS
SELECT o.Id, dbo.f_tax(o.Amount) AS Tax, c.Name
  FROM dbo.Orders o
  JOIN dbo.Customers c ON c.Id = o.CustomerId
GO
CREATE VIEW Sales.V_Totals
AS
WITH Totals AS (SELECT Id, Total FROM Orders)
SELECT Id, SUM(Total) AS Total FROM Totals GROUP BY Id
GO
CREATE PROCEDURE dbo.p_close @id int
AS
SET NOCOUNT ON
DECLARE @t TABLE (Id int)
CREATE TABLE #work (Id int)
BEGIN TRY
  BEGIN TRAN
  INSERT #work SELECT Id FROM dbo.V_Taxed WHERE Id = @id
  MERGE dbo.Orders AS t
  USING #work AS w ON t.Id = w.Id
  WHEN MATCHED THEN UPDATE SET t.Amount = 0
  OUTPUT inserted.Id INTO @t;
  COMMIT
END TRY
BEGIN CATCH
  ROLLBACK
  INSERT dbo.AuditLog (Msg) VALUES (ERROR_MESSAGE())
END CATCH
GO
CREATE TRIGGER dbo.tr_orders ON dbo.Orders AFTER DELETE
AS
INSERT dbo.AuditLog (Msg)
SELECT 'deleted ' + CONVERT(varchar(10), d.Id) FROM deleted d
EXEC dbo.p_close 0
GO
