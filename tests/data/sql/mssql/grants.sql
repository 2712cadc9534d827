-- Grants with columns and schemas; revokes and denies are read only.
CREATE TABLE dbo.Orders (Id int, Amount money)
GO
CREATE TABLE Sales.Orders (Id int)
GO
CREATE VIEW Sales.V_Orders AS SELECT Id FROM Sales.Orders
GO
CREATE PROCEDURE Sales.P_Count AS SELECT 1
GO
GRANT SELECT, INSERT ON dbo.Orders TO Clerk
GO
GRANT SELECT ON Orders TO Clerk
GO
GRANT UPDATE (Amount) ON dbo.Orders TO Auditor
GO
GRANT SELECT ON [Sales].[Orders] (Id) TO Auditor, Clerk WITH GRANT OPTION
GO
GRANT SELECT ON Sales.V_Orders TO PUBLIC
GO
GRANT EXECUTE ON P_Count TO Clerk
GO
GRANT ALL PRIVILEGES ON dbo.Orders TO PUBLIC
GO
GRANT ALL ON dbo.Orders TO PUBLIC
GO
GRANT CREATE TABLE, CREATE VIEW, CREATE PROCEDURE TO Developer
GO
GRANT SELECT ON OBJECT::Sales.Orders TO Reporter
GO
REVOKE INSERT ON dbo.Orders FROM Clerk
GO
DENY DELETE ON dbo.Orders TO Clerk CASCADE
GO
GRANT Clerk TO Mary
GO
EXEC sp_addrolemember N'Clerk', N'Ann'
GO
exec sp_addrolemember @membername = N'Bob', @rolename = N'Clerk'
GO
EXEC sp_addrolemember N'Clerk'
GO
