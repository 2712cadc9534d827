BEGIN TRY MERGE dbo.t AS t USING (VALUES (1)) s (a) ON t.a = s.a WHEN NOT MATCHED THEN INSERT (a) VALUES (s.a) OUTPUT $action INTO @log; END TRY BEGIN CATCH THROW; END CATCH
EXEC sp_executesql N'SELECT * FROM t WHERE a = @a', N'@a int', 1
