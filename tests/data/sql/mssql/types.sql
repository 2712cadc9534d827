-- Schemas, CREATE TYPE types (alias and table types), sequences and XML
-- schema collections: built, and written back by our own writer into text
-- that reads as the same objects.
-- qor: version=2016
CREATE SCHEMA Sales AUTHORIZATION dbo
GO
CREATE SCHEMA AUTHORIZATION Clerk
GO
CREATE TYPE dbo.Money2 FROM decimal(18, 2) NOT NULL
GO
CREATE TYPE Sales.Code FROM nvarchar(10) NULL
GO
CREATE TYPE dbo.IdList AS TABLE (Id int NOT NULL PRIMARY KEY, Note nvarchar(20) NULL)
GO
CREATE SEQUENCE dbo.OrderNo AS bigint START WITH 1000 INCREMENT BY 5 MINVALUE 1000
  MAXVALUE 999999 CYCLE CACHE 50
GO
CREATE SEQUENCE Sales.Ticket START WITH -10 INCREMENT BY -1 NO MAXVALUE NO CYCLE NO CACHE
GO
CREATE XML SCHEMA COLLECTION dbo.OrderSchema AS N'<xsd:schema xmlns:xsd="http://www.w3.org/2001/XMLSchema"><xsd:element name="o" type="xsd:string"/></xsd:schema>'
GO
CREATE TABLE Sales.Orders (Id int NOT NULL, Amount dbo.Money2, Code Sales.Code, Doc xml (dbo.OrderSchema))
GO
