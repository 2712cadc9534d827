USE Shop
go

SET QUOTED_IDENTIFIER OFF
go

SET ANSI_NULLS OFF
go


CREATE SCHEMA SALES AUTHORIZATION SalesUser
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Sales department', @level0type=N'SCHEMA', @level0name=N'SALES'
go




CREATE TYPE SALES.FLAG FROM BIT NOT NULL
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Flags of the sales schema', @level0type=N'SCHEMA', @level0name=N'SALES', @level1type=N'TYPE', @level1name=N'FLAG'
go

SET QUOTED_IDENTIFIER ON
go

SET ANSI_NULLS ON
go

CREATE TABLE DBO.ORDERS(ORDERID BIGINT IDENTITY (3000000000, 1) NOT NULL,
PLACED DATETIME2(3) NOT NULL,
PLACEDAT DATETIMEOFFSET NULL,
DUE DATE NULL,
AT TIME(0) NULL)
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'When the order came in', @level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'TABLE', @level1name=N'ORDERS', @level2type=N'COLUMN', @level2name=N'PLACED'
go

CREATE TABLE SALES.ORDERS(ORDERID INTEGER IDENTITY (1, 1) NOT NULL,
ROWID UNIQUEIDENTIFIER ROWGUIDCOL NOT NULL,
URGENT Sales.Flag NULL,
QTY INTEGER NOT NULL,
PRICE DECIMAL(10,2) NOT NULL,
TOTAL AS ([Qty]*[Price]))
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Sales orders', @level0type=N'SCHEMA', @level0name=N'SALES', @level1type=N'TABLE', @level1name=N'ORDERS'
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Replication key', @level0type=N'SCHEMA', @level0name=N'SALES', @level1type=N'TABLE', @level1name=N'ORDERS', @level2type=N'COLUMN', @level2name=N'ROWID'
go






