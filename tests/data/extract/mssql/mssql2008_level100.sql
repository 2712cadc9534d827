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
TOTAL AS ([Qty]*[Price]),
PARENTID INTEGER NULL)
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Sales orders', @level0type=N'SCHEMA', @level0name=N'SALES', @level1type=N'TABLE', @level1name=N'ORDERS'
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Replication key', @level0type=N'SCHEMA', @level0name=N'SALES', @level1type=N'TABLE', @level1name=N'ORDERS', @level2type=N'COLUMN', @level2name=N'ROWID'
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'The order this one amends', @level0type=N'SCHEMA', @level0name=N'SALES', @level1type=N'TABLE', @level1name=N'ORDERS', @level2type=N'COLUMN', @level2name=N'PARENTID'
go

CREATE INDEX IX_ORDERS_DUE ON DBO.Orders(DUE)
WHERE ([Due] IS NOT NULL)
ON [PRIMARY]
go
exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Open orders', @level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'TABLE', @level1name=N'Orders', @level2type=N'INDEX', @level2name=N'IX_ORDERS_DUE'
go

CREATE UNIQUE INDEX IX_ORDERS_QTY ON SALES.Orders(QTY DESC, ORDERID)
  INCLUDE (PRICE)
ON FG_SALES
go
/* DF__ORDERS__QTY__2B3F6F97 */
ALTER TABLE SALES.ORDERS ADD DEFAULT (1) FOR QTY
go

/* DF_ORDERS_PLACED */
ALTER TABLE DBO.ORDERS ADD CONSTRAINT DF_ORDERS_PLACED DEFAULT (sysdatetime()) FOR PLACED
go

/* PK_ORDERS */
ALTER TABLE DBO.ORDERS ADD CONSTRAINT PK_ORDERS PRIMARY KEY (ORDERID)
go

/* PK_SALESORDERS */
ALTER TABLE SALES.ORDERS ADD CONSTRAINT PK_SALESORDERS PRIMARY KEY NONCLUSTERED (ORDERID)
go

/* UQ__ORDERS__97A9E3C1A4C0E0B7 */
ALTER TABLE SALES.ORDERS ADD UNIQUE (ROWID)
go

/* FK_ORDERS_PARENT */
ALTER TABLE SALES.ORDERS ADD CONSTRAINT FK_ORDERS_PARENT FOREIGN KEY (PARENTID) REFERENCES SALES.ORDERS (ORDERID) NOT FOR REPLICATION
go

/* CK_ORDERS_QTY */
ALTER TABLE SALES.ORDERS ADD CONSTRAINT CK_ORDERS_QTY CHECK NOT FOR REPLICATION([Qty]>(0))
go



CREATE VIEW SALES.VURGENT
 AS 
SELECT OrderID, Qty FROM Sales.Orders WHERE Urgent = 1
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Urgent orders', @level0type=N'SCHEMA', @level0name=N'SALES', @level1type=N'VIEW', @level1name=N'VURGENT'
go

CREATE FUNCTION SALES.FN_COUNTFOR (@QTY INTEGER)
 RETURNS TABLE
 AS
RETURN (SELECT COUNT(*) AS n FROM Sales.Orders WHERE Qty >= @qty)
go

CREATE PROCEDURE SALES.P_PLACE @QTY INTEGER,
@PRICE DECIMAL(10,2)
 AS
SET NOCOUNT ON;
INSERT INTO Sales.Orders (Rowid, Qty, Price) VALUES (NEWID(), @qty, @price);
INSERT INTO dbo.Orders (Placed) VALUES (SYSDATETIME());
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Places an order', @level0type=N'SCHEMA', @level0name=N'SALES', @level1type=N'PROCEDURE', @level1name=N'P_PLACE'
go

CREATE TRIGGER SALES.TR_ORDERS_LOG ON SALES.ORDERS
 AFTER INSERT, UPDATE, DELETE
 NOT FOR REPLICATION
 AS
UPDATE dbo.Orders SET Due = NULL WHERE 1 = 0
go

CREATE TRIGGER TRG_NODROP ON DATABASE
 FOR DROP_TABLE
 AS
ROLLBACK
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Keeps the tables', @level0type=N'TRIGGER', @level0name=N'TRG_NODROP'
go


SET QUOTED_IDENTIFIER OFF
go

SET ANSI_NULLS OFF
go

exec sp_addapprole N'POSAPP', N''
go
exec sp_addrole N'SELLERS'
go
exec sp_grantdbaccess @loginame = N'AUDITOR', @name_in_db = N'AUDITOR'
go
exec sp_grantdbaccess @loginame = N'SELLER', @name_in_db = N'SELLER'
go

exec sp_addrolemember N'SELLERS', N'SELLER'
go
GRANT CREATE VIEW TO SELLERS
go
GRANT EXECUTE ON SALES.P_PLACE TO SELLER
go
GRANT INSERT, SELECT ON SALES.ORDERS TO SELLERS
go
GRANT SELECT ON DBO.ORDERS TO SELLERS WITH GRANT OPTION
go
GRANT SELECT ON SALES.FN_COUNTFOR TO AUDITOR
go
DENY UPDATE (PRICE) ON SALES.ORDERS TO SELLER
go

