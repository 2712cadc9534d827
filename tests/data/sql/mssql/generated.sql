-- A schema in the form the server's own script generator writes it: every
-- name and system type bracketed, SET batches, index options, filegroups,
-- defaults and checks added by ALTER TABLE. generated_plain.sql is the same
-- schema written bare; both give one model.
USE [Shop]
GO
/****** Object:  UserDefinedDataType [dbo].[Phone] ******/
CREATE TYPE [dbo].[Phone] FROM [nvarchar](20) NULL
GO
/****** Object:  Table [dbo].[Customer] ******/
SET ANSI_NULLS ON
GO
SET QUOTED_IDENTIFIER ON
GO
CREATE TABLE [dbo].[Customer](
	[Id] [int] IDENTITY(1,1) NOT NULL,
	[Name] [nvarchar](50) NOT NULL,
	[Phone] [dbo].[Phone] NULL,
	[Notes] [nvarchar](max) NULL,
	[Created] [datetime2](7) NOT NULL,
	[Balance] [numeric](18, 2) NULL,
	[Rate] [float] NULL,
	[Flags] [tinyint] NOT NULL,
	[Code] [char](3) NULL,
	[Photo] [varbinary](max) NULL,
	[RowId] [uniqueidentifier] ROWGUIDCOL  NOT NULL,
	[Name2] [sysname] NULL,
 CONSTRAINT [PK_Customer] PRIMARY KEY CLUSTERED 
(
	[Id] ASC
)WITH (PAD_INDEX = OFF, STATISTICS_NORECOMPUTE = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS = ON, ALLOW_PAGE_LOCKS = ON, OPTIMIZE_FOR_SEQUENTIAL_KEY = OFF) ON [PRIMARY],
 CONSTRAINT [UQ_Customer_Name] UNIQUE NONCLUSTERED 
(
	[Name] ASC
)WITH (PAD_INDEX = OFF, STATISTICS_NORECOMPUTE = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS = ON, ALLOW_PAGE_LOCKS = ON, OPTIMIZE_FOR_SEQUENTIAL_KEY = OFF) ON [PRIMARY]
) ON [PRIMARY] TEXTIMAGE_ON [PRIMARY]
GO
/****** Object:  Table [dbo].[Orders] ******/
SET ANSI_NULLS ON
GO
SET QUOTED_IDENTIFIER ON
GO
CREATE TABLE [dbo].[Orders](
	[Id] [bigint] IDENTITY(1,1) NOT NULL,
	[CustomerId] [int] NOT NULL,
	[Total] [money] NOT NULL,
	[Paid] [bit] NOT NULL,
	[OrderedOn] [date] NULL,
	[Lines] [xml] NULL,
	[Memo] [varchar] (200) NULL ,
) ON [PRIMARY]
GO
ALTER TABLE [dbo].[Orders] ADD  CONSTRAINT [PK_Orders] PRIMARY KEY CLUSTERED 
(
	[Id] ASC
)WITH (PAD_INDEX = OFF, STATISTICS_NORECOMPUTE = OFF, SORT_IN_TEMPDB = OFF, IGNORE_DUP_KEY = OFF, ONLINE = OFF, ALLOW_ROW_LOCKS = ON, ALLOW_PAGE_LOCKS = ON, OPTIMIZE_FOR_SEQUENTIAL_KEY = OFF) ON [PRIMARY]
GO
/****** Object:  Index [IX_Orders_Customer] ******/
CREATE NONCLUSTERED INDEX [IX_Orders_Customer] ON [dbo].[Orders]
(
	[CustomerId] ASC
)
INCLUDE([Total]) WITH (PAD_INDEX = OFF, STATISTICS_NORECOMPUTE = OFF, SORT_IN_TEMPDB = OFF, DROP_EXISTING = OFF, ONLINE = OFF, ALLOW_ROW_LOCKS = ON, ALLOW_PAGE_LOCKS = ON, OPTIMIZE_FOR_SEQUENTIAL_KEY = OFF) ON [PRIMARY]
GO
ALTER TABLE [dbo].[Customer] ADD  CONSTRAINT [DF_Customer_Flags]  DEFAULT ((0)) FOR [Flags]
GO
ALTER TABLE [dbo].[Customer] ADD  CONSTRAINT [DF_Customer_Created]  DEFAULT (sysdatetime()) FOR [Created]
GO
ALTER TABLE [dbo].[Customer] ADD  CONSTRAINT [DF_Customer_RowId]  DEFAULT (newid()) FOR [RowId]
GO
ALTER TABLE [dbo].[Orders] ADD  CONSTRAINT [DF_Orders_Paid]  DEFAULT ((0)) FOR [Paid]
GO
ALTER TABLE [dbo].[Orders]  WITH CHECK ADD  CONSTRAINT [FK_Orders_Customer] FOREIGN KEY([CustomerId])
REFERENCES [dbo].[Customer] ([Id])
ON DELETE CASCADE
GO
ALTER TABLE [dbo].[Orders] CHECK CONSTRAINT [FK_Orders_Customer]
GO
ALTER TABLE [dbo].[Orders]  WITH CHECK ADD  CONSTRAINT [CK_Orders_Total] CHECK  (([Total]>=(0)))
GO
ALTER TABLE [dbo].[Orders] CHECK CONSTRAINT [CK_Orders_Total]
GO
/****** Object:  View [dbo].[CustomerOrders] ******/
SET ANSI_NULLS ON
GO
SET QUOTED_IDENTIFIER ON
GO
CREATE VIEW [dbo].[CustomerOrders]
AS
SELECT c.[Id], c.[Name], o.[Total]
FROM [dbo].[Customer] AS c
INNER JOIN [dbo].[Orders] AS o ON o.[CustomerId] = c.[Id]
GO
/****** Object:  UserDefinedFunction [dbo].[CustomerCode] ******/
SET ANSI_NULLS ON
GO
SET QUOTED_IDENTIFIER ON
GO
CREATE FUNCTION [dbo].[CustomerCode](@Id [int])
RETURNS [nvarchar](16)
AS
BEGIN
	DECLARE @Code [nvarchar](16)
	SELECT @Code = CAST([Code] AS [nvarchar](16)) FROM [dbo].[Customer] WHERE [Id] = @Id
	RETURN CONVERT([nvarchar](16), @Code)
END
GO
/****** Object:  StoredProcedure [dbo].[OrdersOf] ******/
SET ANSI_NULLS ON
GO
SET QUOTED_IDENTIFIER ON
GO
CREATE PROCEDURE [dbo].[OrdersOf]
	@CustomerId [int],
	@Title [nvarchar](50) = NULL OUTPUT
AS
BEGIN
	SET NOCOUNT ON;
	SELECT @Title = [dbo].[CustomerCode](@CustomerId);
	SELECT [Id], [Total] FROM [dbo].[Orders] WHERE [CustomerId] = @CustomerId;
END
GO
