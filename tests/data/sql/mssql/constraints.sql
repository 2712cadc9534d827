-- Every constraint form: column and table level, named and unnamed, with
-- clustering, options, filegroups, referential actions and ALTER TABLE.
CREATE TABLE dbo.Customers (
  Id int NOT NULL CONSTRAINT PK_Customers PRIMARY KEY CLUSTERED,
  Code char(8) NULL UNIQUE NONCLUSTERED,
  Email varchar(100) NULL,
  Region int NULL CHECK NOT FOR REPLICATION (Region BETWEEN 1 AND 9),
  CONSTRAINT UQ_Customers_Email UNIQUE (Email DESC) WITH (IGNORE_DUP_KEY = ON, FILLFACTOR = 80) ON [INDEXES]
)
GO
CREATE TABLE dbo.Orders (
  Id int NOT NULL,
  CustomerId int NULL REFERENCES dbo.Customers (Id),
  ParentId int NULL,
  Amount decimal(10,2) NOT NULL CONSTRAINT CK_Orders_Amount CHECK (Amount >= 0),
  CONSTRAINT PK_Orders PRIMARY KEY NONCLUSTERED (Id) WITH FILLFACTOR = 90,
  CONSTRAINT FK_Orders_Parent FOREIGN KEY (ParentId) REFERENCES Orders (Id)
    ON DELETE NO ACTION ON UPDATE NO ACTION NOT FOR REPLICATION,
  CHECK ((Amount < 1000000))
)
GO
ALTER TABLE dbo.Orders WITH NOCHECK ADD CONSTRAINT FK_Orders_Customer
  FOREIGN KEY (CustomerId) REFERENCES dbo.Customers (Id) ON DELETE CASCADE ON UPDATE SET NULL
GO
ALTER TABLE dbo.Orders ADD CONSTRAINT DF_Orders_Amount DEFAULT (0) FOR Amount
GO
ALTER TABLE dbo.Orders ADD Note varchar(200) NULL, Extra int NULL
GO
ALTER TABLE dbo.Orders DROP COLUMN Extra
GO
ALTER TABLE dbo.Orders CHECK CONSTRAINT FK_Orders_Customer
GO
ALTER TABLE dbo.Orders NOCHECK CONSTRAINT ALL
GO
ALTER TABLE dbo.Orders ALTER COLUMN Note varchar(300) NOT NULL
GO
ALTER TABLE dbo.Missing ADD CONSTRAINT PK_Missing PRIMARY KEY (Id)
GO
CREATE TABLE dbo.Lines (
  OrderId int NOT NULL,
  LineNum int NOT NULL,
  PRIMARY KEY (OrderId, LineNum),
  FOREIGN KEY (OrderId) REFERENCES dbo.Orders ON DELETE SET DEFAULT
)
GO
