-- Bracketed and quoted names with "]]", doubled double quotes and blanks;
-- [GO] is a name, not a batch end; nested comments; GOTO at a line start.
SET QUOTED_IDENTIFIER ON
GO
/* a comment /* nested */ still a comment
GO
*/
CREATE TABLE [odd]]schema].[a]]b] ([GO] int, "quoted ""name""" int, [with blank] int)
GO
CREATE TABLE "Quoted Table" (x int)
go
CREATE TABLE [GO] (id int) GO
CREATE PROCEDURE dbo.P_Goto AS
BEGIN
label1:
GOTO label1
END
GO
SET QUOTED_IDENTIFIER OFF
GO
CREATE TABLE t_strings (s varchar(10) DEFAULT "not a name")
GO
