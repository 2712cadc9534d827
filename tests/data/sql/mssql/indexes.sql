-- Indexes: clustered, unique, descending, included columns, filtered,
-- options and filegroups, XML indexes.
CREATE TABLE dbo.Docs (Id int NOT NULL PRIMARY KEY, Title nvarchar(200), Body xml, Kind int, Created datetime)
GO
CREATE INDEX IX_Docs_Title ON dbo.Docs (Title)
GO
CREATE UNIQUE CLUSTERED INDEX IX_Docs_Created ON Docs (Created DESC, Id ASC)
GO
CREATE NONCLUSTERED INDEX IX_Docs_Kind ON dbo.Docs (Kind) INCLUDE (Title, Created)
  WHERE Kind IS NOT NULL AND Kind <> 3
  WITH (PAD_INDEX = OFF, SORT_IN_TEMPDB = ON, ALLOW_ROW_LOCKS = ON, ALLOW_PAGE_LOCKS = OFF, FILLFACTOR = 70)
  ON [INDEXES]
GO
CREATE UNIQUE NONCLUSTERED INDEX IX_Docs_Kind2 ON dbo.Docs (Kind) WITH IGNORE_DUP_KEY
GO
CREATE PRIMARY XML INDEX PXML_Docs_Body ON dbo.Docs (Body)
GO
CREATE XML INDEX IXML_Docs_Path ON dbo.Docs (Body) USING XML INDEX PXML_Docs_Body FOR PATH
GO
CREATE INDEX IX_Temp ON #work (a)
GO
