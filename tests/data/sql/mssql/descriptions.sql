-- MS_Description properties on the objects the levels name.
CREATE SCHEMA Sales AUTHORIZATION dbo
GO
CREATE TABLE Sales.Orders (Id int NOT NULL CONSTRAINT PK_Orders PRIMARY KEY, Note varchar(10))
GO
CREATE INDEX IX_Note ON Sales.Orders (Note)
GO
CREATE VIEW Sales.V AS SELECT Id FROM Sales.Orders
GO
CREATE PROCEDURE Sales.P @a int AS SELECT @a
GO
CREATE TRIGGER Sales.TR ON Sales.Orders FOR INSERT AS RETURN
GO
EXEC sp_addextendedproperty N'MS_Description', N'Orders of the shop', N'SCHEMA', N'Sales', N'TABLE', N'Orders'
GO
EXEC sys.sp_addextendedproperty @name = N'MS_Description', @value = N'The note', @level0type = N'SCHEMA', @level0name = N'Sales', @level1type = N'TABLE', @level1name = N'Orders', @level2type = N'COLUMN', @level2name = N'Note'
GO
EXEC sp_addextendedproperty 'MS_Description', 'The schema', 'SCHEMA', 'Sales'
GO
EXEC sp_addextendedproperty 'MS_Description', 'The view', 'SCHEMA', 'Sales', 'VIEW', 'V'
GO
EXEC sp_addextendedproperty 'MS_Description', 'The procedure', 'SCHEMA', 'Sales', 'PROCEDURE', 'P'
GO
EXEC sp_addextendedproperty 'MS_Description', 'The parameter', 'SCHEMA', 'Sales', 'PROCEDURE', 'P', 'PARAMETER', '@a'
GO
EXEC sp_addextendedproperty 'MS_Description', 'The key', 'SCHEMA', 'Sales', 'TABLE', 'Orders', 'CONSTRAINT', 'PK_Orders'
GO
EXEC sp_addextendedproperty 'MS_Description', 'The index', 'SCHEMA', 'Sales', 'TABLE', 'Orders', 'INDEX', 'IX_Note'
GO
EXEC sp_addextendedproperty 'MS_Description', 'The trigger', 'SCHEMA', 'Sales', 'TABLE', 'Orders', 'TRIGGER', 'TR'
GO
EXEC sp_addextendedproperty 'MS_Description', 'Not ours', 'SCHEMA', 'Sales', 'TABLE', 'Nothing'
GO
EXEC sp_addextendedproperty 'Other', 'ignored', 'SCHEMA', 'Sales', 'TABLE', 'Orders'
GO
EXEC sp_addextendedproperty 'MS_Description', 'The database'
GO
EXEC sp_addextendedproperty 'MS_Description', 'Odd', 'USER', 'dbo', 'TABLE', 'Orders'
GO
