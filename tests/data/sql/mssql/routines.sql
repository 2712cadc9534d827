-- Procedures and functions of each kind; bodies are kept as text.
CREATE PROCEDURE dbo.P_Simple
AS
  SET NOCOUNT ON
  SELECT 1
GO
CREATE PROC P_Params @id int, @name varchar(50) = 'x', @total money OUTPUT, @flag bit = NULL OUT
WITH RECOMPILE, EXECUTE AS OWNER
AS
BEGIN
  SELECT @total = SUM(Amount) FROM dbo.Orders WHERE CustomerId = @id
END
GO
CREATE PROCEDURE dbo.P_Group;2 (@a int) AS RETURN @a
GO
CREATE FUNCTION dbo.F_Scalar (@x int, @y decimal(10,2) = 1.5)
RETURNS int
WITH SCHEMABINDING
AS
BEGIN
  RETURN @x * 2
END
GO
CREATE FUNCTION dbo.F_Inline (@id int)
RETURNS TABLE
AS
RETURN (SELECT Id, Amount FROM dbo.Orders WHERE CustomerId = @id)
GO
CREATE FUNCTION dbo.F_Multi (@id int)
RETURNS @result TABLE (Id int PRIMARY KEY, Amount money DEFAULT 0, CHECK (Amount >= 0))
AS
BEGIN
  INSERT @result SELECT Id, Amount FROM dbo.Orders
  RETURN
END
GO
CREATE PROCEDURE dbo.P_Temp
AS
  CREATE TABLE #t (a int DEFAULT 0 PRIMARY KEY)
  DECLARE @v TABLE (b int DEFAULT 1 UNIQUE)
  SELECT a FROM #t
GO
ALTER PROCEDURE dbo.P_Simple @n int = 0
AS
  SELECT @n
GO
ALTER PROCEDURE dbo.P_New AS SELECT 2
GO
CREATE OR ALTER PROCEDURE dbo.P_Modern AS SELECT 3
GO
