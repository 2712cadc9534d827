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






