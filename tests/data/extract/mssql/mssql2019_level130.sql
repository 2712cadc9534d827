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
WEIGHTED AS ([Score]*(2)) PERSISTED,
REFERREDBY INTEGER NULL)
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Job candidates', @level0type=N'SCHEMA', @level0name=N'HR', @level1type=N'TABLE', @level1name=N'CANDIDATE'
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'CV as submitted', @level0type=N'SCHEMA', @level0name=N'HR', @level1type=N'TABLE', @level1name=N'CANDIDATE', @level2type=N'COLUMN', @level2name=N'RESUME'
go

CREATE PRIMARY XML INDEX PXML_RESUME ON HR.Candidate(RESUME)
go
exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Resume paths', @level0type=N'SCHEMA', @level0name=N'HR', @level1type=N'TABLE', @level1name=N'Candidate', @level2type=N'INDEX', @level2name=N'PXML_RESUME'
go

CREATE XML INDEX IXML_RESUME_VALUE ON HR.Candidate(RESUME)
   USING XML INDEX PXML_RESUME FOR VALUE
go
CREATE INDEX IX_CANDIDATE_SCORE ON HR.Candidate(SCORE DESC)
  INCLUDE (FULLNAME)
WHERE ([Score]>(0))
ON [PRIMARY]
go
/* DF_CANDIDATE_SCORE */
ALTER TABLE HR.CANDIDATE ADD CONSTRAINT DF_CANDIDATE_SCORE DEFAULT (0) FOR SCORE
go

/* PK_CANDIDATE */
ALTER TABLE HR.CANDIDATE ADD CONSTRAINT PK_CANDIDATE PRIMARY KEY (ID)
go

/* UQ_CANDIDATE_NAME */
ALTER TABLE HR.CANDIDATE ADD CONSTRAINT UQ_CANDIDATE_NAME UNIQUE (FULLNAME, ID DESC)
go

/* FK_CANDIDATE_REFERREDBY */
ALTER TABLE HR.CANDIDATE ADD CONSTRAINT FK_CANDIDATE_REFERREDBY FOREIGN KEY (REFERREDBY) REFERENCES HR.CANDIDATE (ID)
go

/* CK_CANDIDATE_SCORE */
ALTER TABLE HR.CANDIDATE ADD CONSTRAINT CK_CANDIDATE_SCORE CHECK([Score]>=(0) AND [Score]<=(100))
go



CREATE VIEW HR.VSHORTLIST
  WITH SCHEMABINDING
 AS 
SELECT Id, FullName, Score FROM hr.Candidate WHERE Score > 50
go

CREATE UNIQUE CLUSTERED INDEX IX_VSHORTLIST ON HR.vShortlist(ID)
ON [PRIMARY]
go
CREATE FUNCTION HR.FN_GRADE (@SCORE DECIMAL(5,2))
 RETURNS CHAR(1)
 WITH SCHEMABINDING
 AS
BEGIN
  RETURN CASE WHEN @score >= 90 THEN 'A' ELSE 'B' END
END
go

CREATE PROCEDURE HR.P_HIRE @ID INTEGER
 AS
BEGIN
  DELETE FROM hr.Candidate WHERE Id = @id;
END
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Hires a candidate', @level0type=N'SCHEMA', @level0name=N'HR', @level1type=N'PROCEDURE', @level1name=N'P_HIRE'
go

CREATE TRIGGER HR.TR_CANDIDATE_ADDED ON HR.CANDIDATE
 AFTER INSERT
 AS
UPDATE hr.Candidate SET Score = 0 WHERE Score IS NULL AND Id IN (SELECT Id FROM inserted)
go

exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'Scores new candidates', @level0type=N'SCHEMA', @level0name=N'HR', @level1type=N'TABLE', @level1name=N'CANDIDATE', @level2type=N'TRIGGER', @level2name=N'TR_CANDIDATE_ADDED'
go

CREATE TRIGGER HR.TR_VSHORTLIST_DELETE ON HR.VSHORTLIST
 INSTEAD OF DELETE
 AS
UPDATE hr.Candidate SET Score = 0 WHERE Id IN (SELECT Id FROM deleted)
go


SET QUOTED_IDENTIFIER OFF
go

SET ANSI_NULLS OFF
go

exec sp_addapprole N'HRPORTAL', N''
go
exec sp_addrole N'RECRUITERS'
go
exec sp_grantdbaccess @loginame = N'RECRUITER', @name_in_db = N'RECRUITER'
go

exec sp_addrolemember N'DB_DATAREADER', N'RECRUITER'
go
exec sp_addrolemember N'RECRUITERS', N'RECRUITER'
go
GRANT CREATE TABLE TO RECRUITERS
go
GRANT EXECUTE ON HR.FN_GRADE TO RECRUITERS
go
GRANT EXECUTE ON HR.P_HIRE TO RECRUITERS WITH GRANT OPTION
go
GRANT SELECT ON HR.CANDIDATE TO RECRUITERS
go
GRANT SELECT ON HR.VSHORTLIST TO [PUBLIC]
go
DENY BACKUP DATABASE TO RECRUITER
go
DENY SELECT (RESUME) ON HR.CANDIDATE TO RECRUITER
go

