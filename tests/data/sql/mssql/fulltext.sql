-- Full-text indexes. Our writer has no full-text form, so this script is
-- not written back.
-- qor: roundtrip=no
CREATE TABLE dbo.Docs (Id int NOT NULL CONSTRAINT PK_Docs PRIMARY KEY, Title nvarchar(200), Body xml, Kind int)
GO
CREATE FULLTEXT INDEX ON dbo.Docs (Title, Body TYPE COLUMN Kind LANGUAGE 1033)
  KEY INDEX PK_Docs ON (FILEGROUP [FT], DocsCatalog)
  WITH (CHANGE_TRACKING = AUTO, STOPLIST = SYSTEM)
GO
CREATE TABLE dbo.Notes (Id int NOT NULL CONSTRAINT PK_Notes PRIMARY KEY, Txt nvarchar(max))
GO
CREATE FULLTEXT INDEX ON dbo.Notes KEY INDEX PK_Notes ON NotesCatalog
  WITH CHANGE_TRACKING OFF, STOPLIST OFF
GO
CREATE FULLTEXT INDEX ON dbo.Notes (Txt) KEY INDEX PK_Notes WITH (STOPLIST = MyList, SEARCH PROPERTY LIST = Props, BOGUS)
GO
