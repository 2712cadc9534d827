-- Tables with every type word, identity, computed columns, ROWGUIDCOL,
-- column defaults and collations.
-- qor: version=2016
CREATE TABLE dbo.AllTypes (
  c_int INT NOT NULL,
  c_integer INTEGER NULL,
  c_bigint BIGINT,
  c_smallint SMALLINT,
  c_tinyint TINYINT,
  c_bit BIT DEFAULT 0,
  c_decimal DECIMAL(12, 2),
  c_dec DEC(5),
  c_numeric NUMERIC(18,4),
  c_money MONEY,
  c_smallmoney SMALLMONEY,
  c_float FLOAT,
  c_float10 FLOAT(10),
  c_float25 FLOAT(25),
  c_double DOUBLE PRECISION,
  c_real REAL,
  c_date DATE,
  c_datetime DATETIME DEFAULT (getdate()),
  c_time TIME(3),
  c_datetime2 DATETIME2,
  c_dto DATETIMEOFFSET(0),
  c_sdt SMALLDATETIME,
  c_char CHAR,
  c_character CHARACTER(10),
  c_charvar CHAR VARYING(20),
  c_varchar VARCHAR(50) COLLATE Latin1_General_CI_AS,
  c_varcharmax VARCHAR(MAX),
  c_text TEXT,
  c_nchar NCHAR(5),
  c_nvarchar NVARCHAR(100) DEFAULT N'none',
  c_ntext NTEXT,
  c_binary BINARY(8),
  c_varbinary VARBINARY(MAX),
  c_image IMAGE,
  c_uid UNIQUEIDENTIFIER ROWGUIDCOL DEFAULT newid(),
  c_sysname SYSNAME,
  c_variant SQL_VARIANT,
  c_xml XML,
  c_user dbo.PhoneNumber NOT NULL,
  c_user2 Email
)
GO

CREATE TABLE [Sales].[Order Lines] (
  [Line Id] int IDENTITY(1, 1) NOT NULL,
  OrderId int IDENTITY(0,0),
  Qty int NOT NULL CONSTRAINT DF_Qty DEFAULT ((1)),
  Price money NOT NULL,
  Total AS (Qty * Price) PERSISTED,
  Neg int IDENTITY(-5, 2),
  timestamp,
  [Weird]]Name] varchar(10) NULL,
  Flag bit NOT NULL DEFAULT ((0)) + ((1))
) ON [PRIMARY]
GO

create table #scratch (a int default 0 primary key, b int check (b > 0))
go
create table ##shared (a int)
go
