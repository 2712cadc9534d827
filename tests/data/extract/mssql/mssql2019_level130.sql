USE Shop
go

SET QUOTED_IDENTIFIER OFF
go

SET ANSI_NULLS OFF
go


CREATE SCHEMA HR AUTHORIZATION dbo
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Human resources', @level0type=N'SCHEMA', @level0name=N'HR'
go




CREATE XML SCHEMA COLLECTION HR.RESUMESCHEMA AS N'<xsd:schema xmlns:xsd="http://www.w3.org/2001/XMLSchema" targetNamespace="urn:hr"><xsd:element name="resume" type="xsd:string" /></xsd:schema>'
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Resume XML', @level0type=N'SCHEMA', @level0name=N'HR', @level1type=N'XML SCHEMA COLLECTION', @level1name=N'RESUMESCHEMA'
go

SET QUOTED_IDENTIFIER ON
go

SET ANSI_NULLS ON
go

CREATE TABLE HR.CANDIDATE(ID INTEGER IDENTITY (1, 1) NOT NULL,
RESUME XML (DOCUMENT hr.ResumeSchema) NULL,
FULLNAME NVARCHAR(100) NOT NULL,
SCORE DECIMAL(5,2) NULL,
WEIGHTED AS ([Score]*(2)) PERSISTED)
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Job candidates', @level0type=N'SCHEMA', @level0name=N'HR', @level1type=N'TABLE', @level1name=N'CANDIDATE'
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'CV as submitted', @level0type=N'SCHEMA', @level0name=N'HR', @level1type=N'TABLE', @level1name=N'CANDIDATE', @level2type=N'COLUMN', @level2name=N'RESUME'
go






