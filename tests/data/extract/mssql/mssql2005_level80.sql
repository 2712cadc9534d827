USE Shop
go

SET QUOTED_IDENTIFIER OFF
go

SET ANSI_NULLS OFF
go





CREATE XML SCHEMA COLLECTION DBO.ORDERSCHEMA AS N'<xsd:schema xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:t="urn:shop" targetNamespace="urn:shop" elementFormDefault="qualified"><xsd:element name="order" type="xsd:string" /></xsd:schema>'
go

CREATE TYPE DBO.PHONE FROM VARCHAR(20) NULL
go

exec dbo.sp_addextendedproperty @name=N'MS_Description', @value=N'Telephone number', @level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'TYPE', @level1name=N'PHONE'
go

SET QUOTED_IDENTIFIER ON
go

SET ANSI_NULLS ON
go

CREATE TABLE DBO.CUSTOMER(CUSTOMERID INTEGER IDENTITY (1, 1) NOT NULL,
NAME NVARCHAR(40) NOT NULL,
PHONE dbo.phone NULL,
NOTES NVARCHAR(MAX) NULL,
PROFILE XML (CONTENT dbo.OrderSchema) NULL)
go

exec dbo.sp_addextendedproperty @name=N'MS_Description', @value=N'Our customers', @level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'TABLE', @level1name=N'CUSTOMER'
go

exec dbo.sp_addextendedproperty @name=N'MS_Description', @value=N'Display name', @level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'TABLE', @level1name=N'CUSTOMER', @level2type=N'COLUMN', @level2name=N'NAME'
go

CREATE TABLE DBO.[O'BRIEN NOTES](ID INTEGER NOT NULL,
BODY TEXT NULL)
go

exec dbo.sp_addextendedproperty @name=N'MS_Description', @value=N'Note''s text', @level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'TABLE', @level1name=N'O''BRIEN NOTES', @level2type=N'COLUMN', @level2name=N'BODY'
go

CREATE PRIMARY XML INDEX PXML_CUSTOMER_PROFILE ON DBO.Customer(PROFILE)
go
CREATE XML INDEX IXML_CUSTOMER_PROFILE_PATH ON DBO.Customer(PROFILE)
   USING XML INDEX PXML_CUSTOMER_PROFILE FOR PATH
go
CREATE INDEX IX_CUSTOMER_NAME ON DBO.Customer(NAME DESC, CUSTOMERID)
  INCLUDE (PHONE)
ON [PRIMARY]
go
exec dbo.sp_addextendedproperty @name=N'MS_Description', @value=N'Lookup by name', @level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'TABLE', @level1name=N'Customer', @level2type=N'INDEX', @level2name=N'IX_CUSTOMER_NAME'
go

/* DF_CUSTOMER_NOTES */
ALTER TABLE DBO.CUSTOMER ADD CONSTRAINT DF_CUSTOMER_NOTES DEFAULT (N'') FOR NOTES
go

/* PK__O'BRIEN __3214EC0707020F21 */
ALTER TABLE DBO.[O'BRIEN NOTES] ADD PRIMARY KEY (ID DESC)
go

/* PK_CUSTOMER */
ALTER TABLE DBO.CUSTOMER ADD CONSTRAINT PK_CUSTOMER PRIMARY KEY (CUSTOMERID)
go

/* UQ_CUSTOMER_PHONE */
ALTER TABLE DBO.CUSTOMER ADD CONSTRAINT UQ_CUSTOMER_PHONE UNIQUE (PHONE)
go

/* FK_NOTES_CUSTOMER */
ALTER TABLE DBO.[O'BRIEN NOTES] ADD CONSTRAINT FK_NOTES_CUSTOMER FOREIGN KEY (ID) REFERENCES DBO.CUSTOMER (CUSTOMERID) ON UPDATE CASCADE ON DELETE CASCADE
go

/* CK_CUSTOMER_NAME */
ALTER TABLE DBO.CUSTOMER ADD CONSTRAINT CK_CUSTOMER_NAME CHECK(len([Name])>(0))
go



CREATE VIEW DBO.VCUSTOMER
 AS 
SELECT CustomerID, Name
FROM dbo.Customer
go

exec dbo.sp_addextendedproperty @name=N'MS_Description', @value=N'Customers by name', @level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'VIEW', @level1name=N'VCUSTOMER'
go

CREATE FUNCTION DBO.FN_INITIALS (@NAME NVARCHAR(40))
 RETURNS NCHAR(2)
 AS
BEGIN
  RETURN LEFT(@name, 2)
END
go

CREATE PROCEDURE DBO.P_NOTES @ID INTEGER
 AS
SELECT Id, Body FROM dbo.[O'Brien Notes] WHERE Id = @id
go

exec dbo.sp_addextendedproperty @name=N'MS_Description', @value=N'Notes of one customer', @level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'PROCEDURE', @level1name=N'P_NOTES'
go

CREATE TRIGGER DBO.TR_CUSTOMER_CHANGED ON DBO.CUSTOMER
 AFTER UPDATE, DELETE
 AS
DELETE FROM dbo.[O'Brien Notes] WHERE Id IN (SELECT CustomerID FROM deleted)
go

CREATE TRIGGER DBO.TR_VCUSTOMER_UPDATE ON DBO.VCUSTOMER
 INSTEAD OF UPDATE
 AS
UPDATE dbo.Customer SET Name = i.Name FROM inserted i WHERE i.CustomerID = dbo.Customer.CustomerID
go

exec dbo.sp_addextendedproperty @name=N'MS_Description', @value=N'Renames through the view', @level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'VIEW', @level1name=N'VCUSTOMER', @level2type=N'TRIGGER', @level2name=N'TR_VCUSTOMER_UPDATE'
go


SET QUOTED_IDENTIFIER OFF
go

SET ANSI_NULLS OFF
go

exec sp_addrole N'SUPPORT'
go
exec sp_grantdbaccess @loginame = N'CLERK', @name_in_db = N'CLERK'
go

exec sp_addrolemember N'SUPPORT', N'CLERK'
go
GRANT CREATE TABLE TO SUPPORT
go
GRANT EXECUTE ON DBO.P_NOTES TO SUPPORT WITH GRANT OPTION
go
GRANT SELECT ON DBO.CUSTOMER TO SUPPORT
go
GRANT UPDATE (NAME, PHONE) ON DBO.CUSTOMER TO CLERK
go
DENY SELECT (PROFILE) ON DBO.CUSTOMER TO CLERK
go

