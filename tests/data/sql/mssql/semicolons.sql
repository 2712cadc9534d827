-- One script of ";"-ended statements and no GO, as projects ship for
-- several engines. A statement in error is skipped up to the next
-- statement, and the note names what was skipped; every object after it
-- is read. Statements the model has no place for are passed over.
-- qor: roundtrip=no
:setvar DatabaseName "Shop"
:on error exit
CREATE TABLE dbo.A (Id int NOT NULL PRIMARY KEY, Name varchar(20) NULL);
CREATE TABLE dbo.Broken (Id int, Bad 12, Other int);
CREATE TABLE dbo.B (Id int NOT NULL, AId int NULL, Note varchar(10) NULL,);
ALTER TABLE dbo.B ADD CONSTRAINT PK_B PRIMARY KEY (Id)
ALTER TABLE dbo.B ADD CONSTRAINT FK_B_A FOREIGN KEY (AId) REFERENCES dbo.A (Id)
ALTER TABLE dbo.B ADD COLUMN Extra int;
ALTER TABLE dbo.B ADD Later int NULL;
INSERT INTO dbo.A (Id, Name)
SELECT 1, 'one';
BULK INSERT dbo.A FROM 'a.csv' WITH (FIELDTERMINATOR = ',');
UPDATE dbo.A
SET Name = 'x'
WHERE Id = 1;
CREATE VIEW dbo.VA AS SELECT Id, Name FROM dbo.A;
ALTER XML SCHEMA COLLECTION dbo.Docs ADD '<schema/>';
CREATE TABLE dbo.Person (Id int NOT NULL PRIMARY KEY, Name nvarchar(50)) AS NODE;
CREATE TABLE dbo.Knows AS EDGE;
CREATE TABLE dbo.Likes (Since date NULL,
  CONSTRAINT EC_Likes CONNECTION (dbo.Person TO dbo.Person) ON DELETE CASCADE) AS EDGE;
CREATE INDEX IX_B_A ON dbo.B (AId)
  WITH (DATA_COMPRESSION = PAGE, OPTIMIZE_FOR_SEQUENTIAL_KEY = ON, MAXDOP = 4,
        RESUMABLE = ON, ONLINE = ON (WAIT_AT_LOW_PRIORITY (MAX_DURATION = 1 MINUTES, ABORT_AFTER_WAIT = SELF)));
CREATE TABLE dbo.C (Id int NOT NULL,
  CONSTRAINT PK_C PRIMARY KEY (Id) WITH (DATA_COMPRESSION = ROW, XML_COMPRESSION = OFF));
CREATE TABLE dbo.D (Id int NOT NULL, CId int NULL REFERENCES dbo.C (Id))
CREATE TABLE dbo.E (Id int NOT NULL)
GO
CREATE PROCEDURE dbo.BadParams @a 12 AS
BEGIN
  CREATE TABLE dbo.InsideTheBody (a int)
  INSERT INTO dbo.A (Id) VALUES (2)
END
GO
CREATE TABLE dbo.AfterTheProcedure (a int)
