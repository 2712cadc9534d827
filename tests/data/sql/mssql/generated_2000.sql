-- The forms an older script generator wrote: lower-case system words,
-- types bracketed with a blank before the size, WITH NOCHECK keys, the
-- old index options without parentheses, sp_addtype and guarded drops.
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[FK_Orders_Customer]') and OBJECTPROPERTY(id, N'IsForeignKey') = 1)
ALTER TABLE [dbo].[Orders] DROP CONSTRAINT FK_Orders_Customer
GO
if exists (select * from dbo.sysobjects where id = object_id(N'[dbo].[Orders]') and OBJECTPROPERTY(id, N'IsUserTable') = 1)
drop table [dbo].[Orders]
GO
setuser
GO
EXEC sp_addtype N'Phone', N'nvarchar (20)', N'null'
GO
setuser
GO
CREATE TABLE [dbo].[Customer] (
	[Id] [int] IDENTITY (1, 1) NOT NULL ,
	[Name] [varchar] (50) COLLATE SQL_Latin1_General_CP1_CI_AS NOT NULL ,
	[Phone] [Phone] NULL ,
	[Notes] [text] COLLATE SQL_Latin1_General_CP1_CI_AS NULL 
) ON [PRIMARY] TEXTIMAGE_ON [PRIMARY]
GO
CREATE TABLE [dbo].[Orders] (
	[Id] [int] IDENTITY (1, 1) NOT NULL ,
	[CustomerId] [int] NOT NULL ,
	[Total] [money] NOT NULL ,
	[Placed] [datetime] NULL ,
	[Stamp] [timestamp] NULL 
) ON [PRIMARY]
GO
ALTER TABLE [dbo].[Customer] WITH NOCHECK ADD 
	CONSTRAINT [PK_Customer] PRIMARY KEY  CLUSTERED 
	(
		[Id]
	) WITH  FILLFACTOR = 90  ON [PRIMARY] 
GO
ALTER TABLE [dbo].[Orders] WITH NOCHECK ADD 
	CONSTRAINT [PK_Orders] PRIMARY KEY  CLUSTERED 
	(
		[Id]
	)  ON [PRIMARY] 
GO
ALTER TABLE [dbo].[Orders] ADD 
	CONSTRAINT [DF_Orders_Total] DEFAULT (0) FOR [Total],
	CONSTRAINT [IX_Orders_Placed] UNIQUE  NONCLUSTERED 
	(
		[Placed],
		[Id]
	)  ON [PRIMARY] ,
	CONSTRAINT [CK_Orders_Total] CHECK ([Total] >= 0)
GO
 CREATE  INDEX [IX_Orders_Customer] ON [dbo].[Orders]([CustomerId]) WITH  FILLFACTOR = 90 ON [PRIMARY]
GO
ALTER TABLE [dbo].[Orders] ADD 
	CONSTRAINT [FK_Orders_Customer] FOREIGN KEY 
	(
		[CustomerId]
	) REFERENCES [dbo].[Customer] (
		[Id]
	) ON DELETE CASCADE 
GO
SET QUOTED_IDENTIFIER ON 
GO
SET ANSI_NULLS ON 
GO
CREATE PROCEDURE dbo.OrdersOf
	@CustomerId [int],
	@Since [datetime] = NULL
AS
SELECT [Id], [Total] FROM [dbo].[Orders]
WHERE [CustomerId] = @CustomerId AND ([Placed] >= @Since OR @Since IS NULL)
GO
SET QUOTED_IDENTIFIER OFF 
GO
SET ANSI_NULLS ON 
GO
