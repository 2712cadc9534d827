// Stored bodies as the MS SQL extractor hands them over (ParseObject, body
// mode): each case is a realistic procedure, function, trigger or view and
// the exact set of objects it must depend on afterwards. Temporary tables,
// table variables, common table expressions, aliases, names of other
// databases and the object itself are never targets. Then the faults of
// the body grammar: no input makes it spin, nesting is bounded with a
// message, and the text of sp_executesql reports where its errors are.
#include "parsers/mssql/qorMSSQLParser.h"

#include "base/qorMsgMngr.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/support/qorModelDump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace qor {
namespace {

// The objects the bodies use, read as a script.
const char* const kSchema =
    "CREATE SCHEMA Sales\nGO\n"
    "CREATE TABLE dbo.Orders (Id int PRIMARY KEY, CustomerId int, Amount money, Status int)\n"
    "CREATE TABLE dbo.Customers (Id int PRIMARY KEY, Name nvarchar(100))\n"
    "CREATE TABLE Sales.Orders (Id int, Total money)\n"
    "CREATE TABLE dbo.AuditLog (Id int IDENTITY, Msg nvarchar(200))\n"
    "CREATE TABLE dbo.Staging (Id int, Amount money)\nGO\n"
    "CREATE VIEW dbo.V_Big AS SELECT Id FROM dbo.Orders WHERE Amount > 100\nGO\n"
    "CREATE FUNCTION dbo.f_tax (@x money) RETURNS money AS BEGIN RETURN @x * 0.2 END\nGO\n"
    "CREATE FUNCTION dbo.f_orders (@c int) RETURNS TABLE AS\n"
    "RETURN (SELECT Id FROM dbo.Orders WHERE CustomerId = @c)\nGO\n"
    "CREATE PROCEDURE dbo.p_log @m nvarchar(200) AS INSERT dbo.AuditLog (Msg) VALUES (@m)\nGO\n"
    "CREATE PROCEDURE dbo.p_self @n int AS RETURN\nGO\n";

enum class TKind { Procedure, Function, Trigger, View };

struct TBodyCase {
  const char* Name;
  TKind Kind;
  const char* Schema;  // of the object whose body it is
  const char* Object;  // its name; an existing one is filled
  const char* Source;
  std::vector<std::string> Edges;  // "kind KEY", sorted
};

class MSSQLBody : public testing::Test {
 protected:
  MSSQLBody() : parser(nullptr) {
    Objs().SetServerType(TDatabaseType::dbMSSQL);
    Objs().MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2016;
    parser.SetObjs(&Objs());
    parser.OnErrorMessage = [](TObject*, const std::string&) {};
    parser.ParseScript(SplitLines(kSchema), &Objs());
  }

  TObjs& Objs() { return *structure.GetObjs(); }

  // The stored object of the case, as the extractor makes it.
  TDbObj* Stored(const TBodyCase& c) {
    std::unique_ptr<TDbObj> obj;
    switch (c.Kind) {
      case TKind::Procedure:
      case TKind::Function: {
        if (TPrcData* p = Objs().FindProcedure(std::string(c.Schema) + "." + c.Object)) {
          p->ObjectSource = c.Source;
          return p;
        }
        auto p = std::make_unique<TPrcData>(&Objs());
        p->IsFunction = c.Kind == TKind::Function;
        obj = std::move(p);
        break;
      }
      case TKind::Trigger: obj = std::make_unique<TTrgData>(&Objs()); break;
      case TKind::View: obj = std::make_unique<TViwData>(&Objs()); break;
    }
    obj->SetParentName(c.Schema);
    obj->SetName(c.Object);
    obj->ObjectSource = c.Source;
    return Objs().AddObject(obj, true);
  }

  static std::vector<std::string> Edges(TDbObj& obj) {
    std::vector<std::string> out;
    for (int i = 0; i < obj.DependsOn().Count(); ++i) {
      TDbObj* t = obj.DependsOn().Object(i)->Target;
      const char* kind = dynamic_cast<TTblData*>(t)   ? "table"
                         : dynamic_cast<TViwData*>(t) ? "view"
                         : dynamic_cast<TPrcData*>(t) ? "routine"
                                                      : "other";
      out.push_back(std::string(kind) + " " + t->GetKeyName());
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  TDBStructure structure;
  TMSSQLParser parser;
};

TEST_F(MSSQLBody, EachBodyDependsOnExactlyWhatItUses) {
  const std::vector<TBodyCase> cases = {
      {"cursor loop calling a procedure",
       TKind::Procedure,
       "DBO",
       "P_CURSOR",
       "CREATE PROCEDURE dbo.p_cursor AS\n"
       "SET NOCOUNT ON;\n"
       "DECLARE @id int, @amount money;\n"
       "DECLARE c CURSOR LOCAL FAST_FORWARD FOR\n"
       "  SELECT Id, Amount FROM dbo.Orders WITH (NOLOCK) WHERE Status = 0 ORDER BY Id;\n"
       "OPEN c;\n"
       "FETCH NEXT FROM c INTO @id, @amount;\n"
       "WHILE @@FETCH_STATUS = 0\n"
       "BEGIN\n"
       "  IF @amount > 1000 EXEC dbo.p_log N'big order';\n"
       "  ELSE PRINT 'small: ' + CAST(@id AS varchar(10));\n"
       "  FETCH NEXT FROM c INTO @id, @amount;\n"
       "END\n"
       "CLOSE c;\n"
       "DEALLOCATE c;\n",
       {"routine DBO.P_LOG", "table DBO.ORDERS"}},
      {"TRY/CATCH with a transaction",
       TKind::Procedure,
       "DBO",
       "P_TRY",
       "CREATE PROCEDURE dbo.p_try @id int AS\n"
       "BEGIN TRY\n"
       "  BEGIN TRANSACTION;\n"
       "  UPDATE dbo.Orders SET Status = 1, Amount += 1 WHERE Id = @id;\n"
       "  SAVE TRANSACTION s1;\n"
       "  COMMIT;\n"
       "END TRY\n"
       "BEGIN CATCH\n"
       "  IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION;\n"
       "  INSERT INTO dbo.AuditLog (Msg) SELECT ERROR_MESSAGE();\n"
       "  RAISERROR ('failed: %d', 16, 1, @id) WITH LOG;\n"
       "  THROW;\n"
       "END CATCH\n",
       {"table DBO.AUDITLOG", "table DBO.ORDERS"}},
      {"temporary tables and table variables",
       TKind::Procedure,
       "DBO",
       "P_TEMP",
       "CREATE PROCEDURE dbo.p_temp AS\n"
       "CREATE TABLE #t (Id int NOT NULL PRIMARY KEY, Amount money DEFAULT 0)\n"
       "DECLARE @t TABLE (Id int PRIMARY KEY, Total money NULL)\n"
       "INSERT #t (Id, Amount) SELECT Id, Amount FROM dbo.Orders\n"
       "INSERT INTO @t SELECT Id, SUM(Amount) FROM #t GROUP BY Id HAVING SUM(Amount) > 0\n"
       "SELECT t.Id, x.Amount INTO #u FROM @t t JOIN #t x ON x.Id = t.Id\n"
       "UPDATE @t SET Total = 0 WHERE Total IS NULL\n"
       "DELETE FROM #t WHERE Id NOT IN (SELECT Id FROM @t)\n"
       "DROP TABLE #t, #u\n",
       {"table DBO.ORDERS"}},
      {"a common table expression shadows a table",
       TKind::Procedure,
       "DBO",
       "P_CTE",
       "CREATE PROCEDURE dbo.p_cte AS\n"
       "WITH Customers (Id, Cnt) AS (\n"
       "  SELECT CustomerId, COUNT(*) FROM dbo.Orders GROUP BY CustomerId),\n"
       "Tree AS (SELECT Id, 0 AS Lvl FROM Customers UNION ALL\n"
       "         SELECT c.Id, t.Lvl + 1 FROM Customers c JOIN Tree t ON t.Id = c.Id)\n"
       "SELECT Id AS Orders, Lvl FROM Tree OPTION (MAXRECURSION 10);\n",
       {"table DBO.ORDERS"}},
      {"MERGE with OUTPUT INTO",
       TKind::Procedure,
       "DBO",
       "P_MERGE",
       "CREATE PROCEDURE dbo.p_merge AS\n"
       "MERGE INTO dbo.Orders WITH (HOLDLOCK) AS t\n"
       "USING (SELECT Id, Amount FROM dbo.Staging) AS s (Id, Amount) ON t.Id = s.Id\n"
       "WHEN MATCHED AND t.Amount <> s.Amount THEN UPDATE SET t.Amount = s.Amount\n"
       "WHEN NOT MATCHED BY TARGET THEN INSERT (Id, Amount) VALUES (s.Id, s.Amount)\n"
       "WHEN NOT MATCHED BY SOURCE THEN DELETE\n"
       "OUTPUT $action, inserted.Id INTO dbo.AuditLog (Msg);\n",
       {"table DBO.AUDITLOG", "table DBO.ORDERS", "table DBO.STAGING"}},
      {"APPLY, window functions and a table-valued function",
       TKind::Procedure,
       "DBO",
       "P_APPLY",
       "CREATE PROCEDURE dbo.p_apply AS\n"
       "SELECT c.Name, o.Id,\n"
       "  ROW_NUMBER() OVER (PARTITION BY c.Id ORDER BY o.Id DESC) AS rn,\n"
       "  SUM(x.Total) OVER (PARTITION BY c.Id ORDER BY o.Id\n"
       "    ROWS BETWEEN UNBOUNDED PRECEDING AND CURRENT ROW) AS running,\n"
       "  CASE WHEN EXISTS (SELECT 1 FROM dbo.V_Big b WHERE b.Id = o.Id) THEN 'big' END\n"
       "FROM dbo.Customers AS c\n"
       "CROSS APPLY dbo.f_orders(c.Id) AS o\n"
       "OUTER APPLY (SELECT TOP (1) so.Total FROM Sales.Orders so WHERE so.Id = o.Id\n"
       "             ORDER BY so.Id) AS x\n"
       "WHERE c.Name LIKE N'A%' ESCAPE '\\' AND o.Id BETWEEN 1 AND 10\n"
       "ORDER BY 1 OFFSET 0 ROWS FETCH NEXT 5 ROWS ONLY;\n",
       {"routine DBO.F_ORDERS", "table DBO.CUSTOMERS", "table SALES.ORDERS", "view DBO.V_BIG"}},
      {"an unqualified name is looked for in the body's own schema first",
       TKind::Function,
       "SALES",
       "F_TOTAL",
       "CREATE FUNCTION Sales.f_total (@id int) RETURNS money AS\n"
       "BEGIN\n"
       "  DECLARE @t money = (SELECT Total FROM Orders WHERE Id = @id);\n"
       "  SET @t = dbo.f_tax(@t) + ISNULL(@t, 0);\n"
       "  RETURN @t;\n"
       "END\n",
       {"routine DBO.F_TAX", "table SALES.ORDERS"}},
      {"dynamic SQL",
       TKind::Procedure,
       "DBO",
       "P_DYN",
       "CREATE PROCEDURE dbo.p_dyn @id int AS\n"
       "DECLARE @n int, @sql nvarchar(max) = N'SELECT 1';\n"
       "EXEC sp_executesql N'SELECT @n = COUNT(*) FROM dbo.Customers WHERE Id > @id',\n"
       "  N'@id int, @n int OUTPUT', @id = @id, @n = @n OUTPUT;\n"
       "EXEC (@sql);\n"
       "EXECUTE sys.sp_executesql @stmt = @sql;\n",
       {"table DBO.CUSTOMERS"}},
      {"a recursive procedure does not depend on itself",
       TKind::Procedure,
       "DBO",
       "P_SELF",
       "CREATE PROCEDURE dbo.p_self @n int AS\n"
       "IF @n > 0 EXEC dbo.p_self @n = @n - 1;\n"
       "ELSE EXEC p_self 0;\n",
       {}},
      {"a trigger reads inserted and deleted",
       TKind::Trigger,
       "DBO",
       "TR_ORDERS",
       "CREATE TRIGGER dbo.tr_orders ON dbo.Orders AFTER INSERT, UPDATE AS\n"
       "BEGIN\n"
       "  SET NOCOUNT ON;\n"
       "  IF UPDATE(Status)\n"
       "    INSERT dbo.AuditLog (Msg)\n"
       "    SELECT CONVERT(nvarchar(20), i.Id) FROM inserted i\n"
       "    JOIN deleted d ON d.Id = i.Id WHERE i.Status <> d.Status;\n"
       "END\n",
       {"table DBO.AUDITLOG"}},
      {"an inline function names a table twice, linked once",
       TKind::Function,
       "DBO",
       "F_BIG",
       "CREATE FUNCTION dbo.f_big () RETURNS TABLE WITH SCHEMABINDING AS\n"
       "RETURN SELECT o.Id FROM dbo.V_Big v JOIN dbo.Orders o ON o.Id = v.Id\n"
       "WHERE dbo.f_tax(o.Amount) > 10 AND o.Id IN (SELECT Id FROM dbo.Orders)\n",
       {"routine DBO.F_TAX", "table DBO.ORDERS", "view DBO.V_BIG"}},
      {"a multi-statement function",
       TKind::Function,
       "DBO",
       "F_MULTI",
       "CREATE FUNCTION dbo.f_multi () RETURNS @r TABLE (Id int NOT NULL) AS\n"
       "BEGIN\n"
       "  INSERT @r SELECT Id FROM dbo.Orders\n"
       "    WHERE Amount > (SELECT AVG(Amount) FROM dbo.Orders);\n"
       "  RETURN;\n"
       "END\n",
       {"table DBO.ORDERS"}},
      {"a derived table's alias is no table",
       TKind::View,
       "DBO",
       "V_ALL",
       "CREATE VIEW dbo.V_All AS\n"
       "SELECT Customers.Id FROM (SELECT Id FROM dbo.Orders) AS Customers\n"
       "UNION ALL SELECT Id FROM Sales.Orders\n"
       "UNION SELECT v.n FROM (VALUES (1), (2)) AS v (n)\n",
       {"table DBO.ORDERS", "table SALES.ORDERS"}},
      {"UPDATE through an alias named like a table",
       TKind::Procedure,
       "DBO",
       "P_ALIAS",
       "CREATE PROCEDURE dbo.p_alias AS\n"
       "UPDATE Staging SET Staging.Status = 2\n"
       "FROM dbo.Orders Staging JOIN dbo.Customers c ON c.Id = Staging.CustomerId;\n"
       "DELETE a FROM dbo.AuditLog AS a WHERE a.Id < 10;\n",
       {"table DBO.AUDITLOG", "table DBO.CUSTOMERS", "table DBO.ORDERS"}},
      {"other databases and servers are not this collection's",
       TKind::View,
       "DBO",
       "V_FAR",
       "CREATE VIEW dbo.V_Far AS\n"
       "SELECT Id FROM OtherDb.dbo.Orders UNION SELECT Id FROM srv.Db.dbo.Customers\n"
       "UNION SELECT Id FROM OPENQUERY(srv, 'SELECT Id FROM dbo.Staging') q\n",
       {}},
      {"XML, JSON and old-style syntax",
       TKind::Procedure,
       "DBO",
       "P_XML",
       "CREATE PROCEDURE dbo.p_xml @x xml AS\n"
       "SELECT n.value('(@id)[1]', 'int') AS id FROM @x.nodes('/r/o') AS t (n);\n"
       "SELECT Id, Name FROM dbo.Customers FOR XML PATH ('c'), ROOT ('all'), TYPE;\n"
       "SELECT Id FROM dbo.Orders FOR JSON AUTO;\n"
       "SELECT {fn CURDATE()}, GETDATE() AT TIME ZONE 'UTC', NEXT VALUE FOR dbo.Seq;\n"
       "WAITFOR DELAY '00:00:01';\n"
       "SELECT c.*, COUNT(*) AS n FROM dbo.Customers c GROUP BY c.Id, c.Name;\n",
       {"table DBO.CUSTOMERS", "table DBO.ORDERS"}},
      {"Service Broker, triggers switched, backups and text pointers",
       TKind::Procedure,
       "DBO",
       "P_BROKER",
       "CREATE PROCEDURE dbo.p_broker AS\n"
       "DECLARE @h uniqueidentifier, @b varbinary(max), @p varbinary(16);\n"
       "BEGIN DIALOG CONVERSATION @h FROM SERVICE [//Shop/Sender] TO SERVICE '//Shop/Receiver'\n"
       "  ON CONTRACT [//Shop/Contract] WITH ENCRYPTION = OFF, LIFETIME = 60;\n"
       "SEND ON CONVERSATION @h MESSAGE TYPE [//Shop/Order] (@b);\n"
       "WAITFOR (RECEIVE TOP (1) @h = conversation_handle, @b = message_body\n"
       "  FROM dbo.OrderQueue), TIMEOUT 1000;\n"
       "END CONVERSATION @h WITH CLEANUP;\n"
       "BEGIN CONVERSATION TIMER (@h) TIMEOUT = 120;\n"
       "DISABLE TRIGGER dbo.tr_orders ON dbo.Orders;\n"
       "ENABLE TRIGGER ALL ON DATABASE;\n"
       "BACKUP DATABASE Shop TO DISK = 'c:\\b\\shop.bak' WITH INIT, NAME = 'full';\n"
       "BACKUP LOG Shop TO DISK = 'c:\\b\\shop.trn';\n"
       "SET TRANSACTION ISOLATION LEVEL SNAPSHOT;\n"
       "UPDATE STATISTICS dbo.Orders WITH FULLSCAN, NORECOMPUTE;\n"
       "SELECT @p = TEXTPTR(Msg) FROM dbo.AuditLog WHERE Id = 1;\n"
       "READTEXT dbo.AuditLog.Msg @p 0 10;\n"
       "DBCC CHECKIDENT ('dbo.AuditLog', RESEED, 0) WITH NO_INFOMSGS;\n",
       {"table DBO.AUDITLOG"}},
  };
  for (const TBodyCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const int before = parser.Messages().Count();
    TDbObj* obj = Stored(c);
    ASSERT_NE(obj, nullptr);
    parser.ParseObject(obj);
    std::string messages;
    for (int i = before; i < parser.Messages().Count(); ++i)
      messages += parser.Messages()[i].Text + "\n";
    EXPECT_EQ(messages, "");
    std::vector<std::string> want = c.Edges;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(Edges(*obj), want);
    // The stored text is kept whole.
    EXPECT_FALSE(obj->GetText().empty());
  }
}

TEST_F(MSSQLBody, WhatABodyCreatesStaysOutOfTheCollection) {
  const int domains = Objs().Domains.Count(), views = Objs().Views.Count();
  const TBodyCase c = {
      "",
      TKind::Procedure,
      "DBO",
      "P_MAKER",
      "CREATE PROCEDURE dbo.p_maker AS\n"
      "CREATE SEQUENCE dbo.InBody START WITH 1;\n"
      "CREATE TYPE dbo.TInBody FROM int;\n"
      "CREATE XML SCHEMA COLLECTION dbo.XInBody AS N'<a/>';\n"
      "EXEC sp_executesql N'CREATE VIEW dbo.VInBody AS SELECT Id FROM dbo.Staging';\n"
      "SELECT Id FROM dbo.Customers;\n",
      {}};
  TDbObj* obj = Stored(c);
  parser.ParseObject(obj);
  EXPECT_EQ(Objs().Generators.Count(), 0);
  EXPECT_EQ(Objs().Domains.Count(), domains);
  EXPECT_EQ(Objs().Views.Count(), views);
  // The statements after them are still read.
  EXPECT_EQ(Edges(*obj), std::vector<std::string>{"table DBO.CUSTOMERS"});
  EXPECT_NE(test::DumpMessages(parser.Messages())
                .find("CREATE VIEW inside a body is not read: passed over to the end of the text"),
            std::string::npos)
      << test::DumpMessages(parser.Messages());
}

// ----------------------------------------------------------------- faults

// Counts the tokens the parser reads, nested parsers aside.
class TCountingParser : public TMSSQLParser {
 public:
  TCountingParser() : TMSSQLParser(nullptr) {}
  void NextToken() override {
    ++Tokens;
    TMSSQLParser::NextToken();
  }
  std::size_t Tokens = 0;
};

TEST(MSSQLBodyFaults, NoInputMakesTheBodyGrammarSpin) {
  // Texts that stop each rule where it could otherwise stand still.
  const std::vector<std::string> texts = {
      "SELECT",
      "SELECT FROM",
      "SELECT * FROM (",
      "SELECT a FROM t JOIN",
      "UPDATE SET",
      "UPDATE t SET a b c",
      "INSERT t",
      "MERGE t USING s ON WHEN",
      "CASE WHEN",
      "DECLARE",
      "DECLARE @a",
      "DECLARE c CURSOR FOR",
      "SET",
      "SET @a",
      "FETCH",
      "RAISERROR ( ( (",
      "IF",
      "WHILE 1 = 1",
      "BEGIN BEGIN BEGIN",
      "BEGIN TRY END",
      "EXEC",
      "EXEC (",
      "SELECT ) ) ) ,,, ;;;",
      "SELECT a FROM t PIVOT ( FOR",
      "SELECT a OVER (",
      "WITH a AS (",
      "SELECT * FROM t WITH ( INDEX (",
      "RECEIVE",
      "SEND ON",
      "BACKUP DATABASE",
      "END END END",
      "SELECT CAST(",
      "SELECT CONVERT(",
      "SELECT a.b.c.d.e.f",
      "SELECT 1 + - ~ + -",
      "ELSE ELSE",
      "SELECT 1 UNION UNION",
      "SELECT * FROM t OPTION (",
      "WAITFOR (",
  };
  for (const std::string& t : texts) {
    SCOPED_TRACE(t);
    TDBStructure structure;
    TObjs& objs = *structure.GetObjs();
    objs.SetServerType(TDatabaseType::dbMSSQL);
    TCountingParser p;
    p.OnErrorMessage = [](TObject*, const std::string&) {};
    p.SetObjs(&objs);
    auto proc = std::make_unique<TPrcData>(&objs);
    proc->SetName("P");
    proc->ObjectSource = "CREATE PROCEDURE P AS " + t;
    TPrcData* stored = objs.AddObject(proc, true);
    p.ParseObject(stored);
    // A few look-aheads rescan a token; a rule that spins reads without end.
    EXPECT_LE(p.Tokens, 8 * (t.size() + 30));
    p.BodyMode = false;
    p.Tokens = 0;
    p.SetSource(t + "\nGO\n" + t);
    p.ParseText();
    EXPECT_LE(p.Tokens, 8 * (2 * t.size() + 10));
  }
}

struct TDeepCase {
  const char* Name;
  const char* Open;
  const char* Close;
};

TEST(MSSQLBodyFaults, NestingIsBoundedWithAMessage) {
  // Far deeper than any real text; without the bound each level takes a
  // few frames of the stack.
  const int depth = 5000;
  const std::vector<TDeepCase> cases = {
      {"parentheses", "(", ")"},
      {"subqueries", "(SELECT 1 FROM dbo.T WHERE 1 IN ", ")"},
      {"blocks", "BEGIN IF 1 = 1 ", " END"},
      {"signs", "- ", ""},
      {"CASE", "CASE WHEN 1 = 1 THEN ", " END"},
  };
  for (const TDeepCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::string body;
    for (int i = 0; i < depth; ++i) body += c.Open;
    body += "1";
    for (int i = 0; i < depth; ++i) body += c.Close;
    const bool statement = std::string(c.Name) == "blocks";
    TDBStructure structure;
    TObjs& objs = *structure.GetObjs();
    objs.SetServerType(TDatabaseType::dbMSSQL);
    TMSSQLParser p(nullptr);
    p.OnErrorMessage = [](TObject*, const std::string&) {};
    p.SetObjs(&objs);
    auto proc = std::make_unique<TPrcData>(&objs);
    proc->SetName("P");
    proc->ObjectSource =
        "CREATE PROCEDURE P AS " + (statement ? body + " SELECT 1" : "SELECT " + body);
    TPrcData* stored = objs.AddObject(proc, true);
    p.ParseObject(stored);
    const std::string dump = test::DumpMessages(p.Messages());
    EXPECT_NE(dump.find("Text nested too deeply (more than 200 levels)."), std::string::npos)
        << dump.substr(0, 400);
    // One error, not one per level on the way out.
    int errors = 0;
    for (int i = 0; i < p.Messages().Count(); ++i)
      if (p.Messages()[i].Kind == kMsgError) ++errors;
    EXPECT_EQ(errors, 1) << dump.substr(0, 400);
  }
}

TEST(MSSQLBodyFaults, NestingBelowTheBoundReadsWithoutAMessage) {
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  objs.SetServerType(TDatabaseType::dbMSSQL);
  TMSSQLParser p(nullptr);
  p.SetObjs(&objs);
  std::string e = "1";
  for (int i = 0; i < 30; ++i) e = "(SELECT " + e + " AS x)";
  auto proc = std::make_unique<TPrcData>(&objs);
  proc->SetName("P");
  proc->ObjectSource = "CREATE PROCEDURE P AS SELECT " + e;
  TPrcData* stored = objs.AddObject(proc, true);
  p.ParseObject(stored);
  EXPECT_EQ(test::DumpMessages(p.Messages()), "");
}

TEST(MSSQLBodyFaults, ExecuteSqlErrorsComeThroughTheOuterParserWithTheirPlace) {
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  objs.SetServerType(TDatabaseType::dbMSSQL);
  TMSSQLParser p(nullptr);
  std::vector<std::string> events;
  p.OnErrorMessage = [&](TObject*, const std::string& text) { events.push_back(text); };
  p.ScriptName = "deploy.sql";
  p.SetObjs(&objs);
  p.ParseScript(SplitLines("SELECT 1\nGO\n"
                           "  EXEC sp_executesql N'CREATE TABLE dbo.A (a int)\n"
                           "CREATE TABLE dbo.B (b int,, c int)'\nGO\n"
                           "CREATE TABLE dbo.After (x int)\n"),
                &objs);
  EXPECT_NE(objs.FindTable("DBO.A"), nullptr);
  EXPECT_NE(objs.FindTable("DBO.AFTER"), nullptr);
  ASSERT_GE(p.Messages().Count(), 1);
  const TMsgData& m = p.Messages()[0];
  // Placed where the string starts in the script, saying where in the
  // string the error is.
  EXPECT_EQ(m.Kind, kMsgError);
  EXPECT_EQ(m.Line, 3);
  EXPECT_EQ(m.Column, 24);
  EXPECT_EQ(m.Text.substr(0, 38), "sp_executesql text, line 2, column 27:") << m.Text;
  ASSERT_EQ(events.size(), 1u);
  EXPECT_NE(events[0].find("Script: deploy.sql Line:3 Pos:24"), std::string::npos) << events[0];
}

TEST(MSSQLBodyFaults, CompoundAssignmentsOnlyFromSqlServer2008) {
  for (const bool newer : {false, true}) {
    SCOPED_TRACE(newer ? "2008" : "2005");
    TDBStructure structure;
    TObjs& objs = *structure.GetObjs();
    objs.SetServerType(TDatabaseType::dbMSSQL);
    objs.MSSQLServerOptions.SQLServerVersion =
        newer ? TMSSQLServerVersionType::st_MSSQL2008 : TMSSQLServerVersionType::st_MSSQL2005;
    TMSSQLParser p(nullptr);
    p.OnErrorMessage = [](TObject*, const std::string&) {};
    p.SetObjs(&objs);
    auto proc = std::make_unique<TPrcData>(&objs);
    proc->SetName("P");
    proc->ObjectSource = "CREATE PROCEDURE P @x int AS SET @x += 1; SET @x |= 2; RETURN @x";
    TPrcData* stored = objs.AddObject(proc, true);
    p.ParseObject(stored);
    EXPECT_EQ(p.Messages().HasErrors(), !newer) << test::DumpMessages(p.Messages());
  }
}

TEST(MSSQLBodyFaults, ExecuteSqlTextsNestOnlySoDeep) {
  std::string text = "SELECT 1";
  for (int i = 0; i < TMSSQLParser::kMaxExecuteSqlDepth + 2; ++i) {
    std::string quoted;
    for (char ch : text) quoted += ch == '\'' ? std::string("''") : std::string(1, ch);
    text = "EXEC sp_executesql N'" + quoted + "'";
  }
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  objs.SetServerType(TDatabaseType::dbMSSQL);
  TMSSQLParser p(nullptr);
  p.OnErrorMessage = [](TObject*, const std::string&) {};
  p.SetObjs(&objs);
  auto proc = std::make_unique<TPrcData>(&objs);
  proc->SetName("P");
  proc->ObjectSource = "CREATE PROCEDURE P AS " + text;
  TPrcData* stored = objs.AddObject(proc, true);
  p.ParseObject(stored);
  const std::string dump = test::DumpMessages(p.Messages());
  EXPECT_NE(dump.find("sp_executesql texts nested too deeply (more than 4 levels)"),
            std::string::npos)
      << dump;
}

}  // namespace
}  // namespace qor
