-- Rules and defaults bound to columns and types, user types.
EXEC sp_addtype 'PhoneNumber', 'varchar (20)', 'NOT NULL'
GO
EXEC sp_addtype N'Flag', N'bit', 'NULL', 'dbo'
GO
sp_addtype Code, 'char(4)', NONULL
GO
CREATE RULE dbo.R_Positive AS @value > 0
GO
CREATE RULE R_Range
AS
  @v BETWEEN 1 AND 10
GO
CREATE DEFAULT D_Zero AS 0
GO
CREATE DEFAULT dbo.D_Today AS getdate()
GO
CREATE TABLE dbo.Items (Id int NOT NULL, Qty int NULL, Phone PhoneNumber, [Weird Col] int)
GO
EXEC sp_bindrule 'R_Positive', 'Items.Qty'
GO
EXEC sp_bindrule '[dbo].[R_Range]', '[dbo].[Items].[Weird Col]'
GO
EXEC sp_bindrule R_Positive, 'PhoneNumber'
GO
EXEC sp_bindefault 'D_Zero', 'Items.Qty'
GO
EXEC sp_bindrule 'R_Missing', 'Items.Qty'
GO
EXEC sp_bindrule 'R_Positive', 'Items.NoSuchColumn'
GO
EXEC sp_bindrule 'R_Positive', 'NoSuchType'
GO
EXEC sp_dboption 'shop', 'select into/bulkcopy', 'true'
GO
