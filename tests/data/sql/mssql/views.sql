-- Views with column lists and options.
CREATE VIEW dbo.V_Orders
AS
SELECT o.Id, o.Amount
  FROM dbo.Orders o
GO
CREATE VIEW [Sales].[V Big] (OrderId, Amount)
WITH SCHEMABINDING, VIEW_METADATA
AS SELECT Id, Amount FROM dbo.Orders WHERE Amount > 100
WITH CHECK OPTION
GO
create view v_enc with encryption as select 1 as one
go
CREATE OR ALTER VIEW dbo.V_Modern AS SELECT 2 AS two
GO
