// The T-SQL parser on small texts: the lexer and the GO rule with both line
// ends, dotted names, the definition entry of the extractor (stored texts
// read in body mode), the statement reports, and the faults whose fixtures
// are clearer here than in the corpus.
#include "parsers/mssql/qorMSSQLParser.h"

#include "base/qorMsgMngr.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/model/qorScriptFixture.h"
#include "tests/support/qorModelDump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace qor {
namespace {

class MSSQLParserTest : public testing::Test {
 protected:
  MSSQLParserTest() : parser(nullptr) {
    Objs().SetServerType(TDatabaseType::dbMSSQL);
    parser.SetObjs(&Objs());
    parser.OnErrorMessage = [](TObject*, const std::string&) {};
  }

  TObjs& Objs() { return *structure.GetObjs(); }

  // Reads `text` as a script, exactly as it stands (no line-end change).
  void ParseScriptText(const std::string& text) {
    parser.BodyMode = false;
    parser.SetSource(text);
    parser.ParseText();
    parser.BodyMode = true;
    parser.AfterParse();
  }

  // The tokens of `text`: kind and, for names and strings, the text.
  std::vector<std::string> Tokens(const std::string& text) {
    parser.SetSource(text);
    std::vector<std::string> out;
    for (int guard = 0; guard < 100; ++guard) {
      parser.NextToken();
      const TTokenKind k = parser.TokenKind();
      if (k == tk::EOFKind) break;
      std::string t = parser.CurTokenName();
      if (k == tk::Ident) t += ":" + parser.IdentText();
      if (k == tk::String) t += ":" + parser.TokenText();
      out.push_back(t);
    }
    return out;
  }

  std::string Messages() { return test::DumpMessages(parser.Messages()); }

  TDBStructure structure;
  TMSSQLParser parser;
};

// ------------------------------------------------------------------ lexer

struct TLexCase {
  const char* Name;
  const char* Text;
  std::vector<std::string> Tokens;
};

TEST_F(MSSQLParserTest, LexerCases) {
  const std::vector<TLexCase> cases = {
      {"GO on its own line, CR LF", "a\r\nGO\r\nb", {"<Ident>:A", "<Terminator>", "<Ident>:B"}},
      {"GO on its own line, LF", "a\nGO\nb", {"<Ident>:A", "<Terminator>", "<Ident>:B"}},
      {"lower-case go at the end", "a\ngo", {"<Ident>:A", "<Terminator>"}},
      {"GO with a count", "a\nGO 2\n", {"<Ident>:A", "<Terminator>", "<Integer value>"}},
      {"GOTO at a line start", "a\nGOTO x", {"<Ident>:A", "GOTO", "<Ident>:X"}},
      {"GO further on a line", "a GO b", {"<Ident>:A", "<Terminator>", "<Ident>:B"}},
      {"bracketed GO is a name", "[GO]\n[go]", {"<Ident>:GO", "<Ident>:go"}},
      {"]] inside brackets", "[a]]b] [x]]]", {"<Ident>:a]b", "<Ident>:x]"}},
      {"blank and case kept in brackets", "[My Col]", {"<Ident>:My Col"}},
      {"temporary names", "#tmp ##glob", {"<Ident>:#TMP", "<Ident>:##GLOB"}},
      {"unicode and plain strings", "N'a''b' 'c'", {"<String value>:a'b", "<String value>:c"}},
      {"binary literal, odd digits",
       "0x1 0xABC",
       {"<String value>:\x01", "<String value>:\x0A\xBC"}},
      {"old outer joins", "a * = b =* c", {"<Ident>:A", "<*=>", "<Ident>:B", "<=*>", "<Ident>:C"}},
      {"label and ::", "lbl: a::b", {"<Label:>", "<Ident>:A", "<::>", "<Ident>:B"}},
      {"END CONVERSATION", "END CONVERSATION @h", {"END CONVERSATION", "<Ident>:@H"}},
      {"END CONVERSATIONS is no", "END CONVERSATIONS", {"END", "<Ident>:CONVERSATIONS"}},
      {"nested comments", "/* a /* b */ c */ x -- y\nz", {"<Ident>:X", "<Ident>:Z"}},
      {"spaced not-operators", "! = !< !>", {"[<>]", "\"!<\"", "\"!>\""}},
      {"compound assignments", "+= -= |=", {"<+=>", "<-=>", "<|=>"}},
      {"money literal", "$12", {"<Integer value>"}},
      {"keywords keep their text", "select From", {"SELECT", "FROM"}},
  };
  for (const TLexCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Tokens(c.Text), c.Tokens);
  }
}

TEST_F(MSSQLParserTest, DoubleQuotesAreNamesOnlyWithQuotedIdentifiers) {
  parser.QuotedIdentifiers = false;
  EXPECT_EQ(Tokens("\"GO\""), std::vector<std::string>{"<String value>:GO"});
  parser.QuotedIdentifiers = true;
  EXPECT_EQ(Tokens("\"GO\" \"a\"\"b\""), (std::vector<std::string>{"<Ident>:GO", "<Ident>:a\"b"}));
}

TEST_F(MSSQLParserTest, UnterminatedBracketIsReportedAndNamesNothing) {
  ParseScriptText("CREATE TABLE [oops (a int)\nGO\n");
  EXPECT_EQ(Objs().Tables.Count(), 0);
  EXPECT_NE(Messages().find("Unterminated bracket Identifier"), std::string::npos) << Messages();
}

struct TTerminatorCase {
  const char* Text;
  std::size_t From;
  std::size_t Found;
};

TEST(MSSQLBatchTerminator, OneRuleForBothLineEnds) {
  // clang-format off
  const std::vector<TTerminatorCase> cases = {
      {"a\r\nGO\r\nb", 0, 3}, {"a\nGO\nb", 0, 2},     {"a\n  go\tx", 0, 4}, {"a\nGOTO x\n", 0, 9},
      {"a GO\n", 0, 5},       {"GO", 0, 0},           {"a\nGO", 0, 2},      {"a\nGO:\nGO", 0, 6},
      {"x\nGO\ny\nGO", 3, 7}, {"a\n[GO]\n", 0, 7},
  };
  // clang-format on
  for (const TTerminatorCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(TMSSQLParser::FindBatchTerminator(c.Text, c.From), c.Found);
  }
}

// ------------------------------------------------------------------ names

struct TNameCase {
  const char* Text;
  TDbObject Kind;
  bool DefaultOwner;
  std::vector<std::string> Parts;  // server, database, owner, object, sub-object
};

TEST_F(MSSQLParserTest, DottedNames) {
  // clang-format off
  const std::vector<TNameCase> cases = {
      {"srv.db.own.obj", TDbObject::dboTable, false, {"SRV", "DB", "OWN", "OBJ", ""}},
      {"obj", TDbObject::dboTable, true, {"", "", "DBO", "OBJ", ""}},
      {"t.ix", TDbObject::dboIndex, true, {"", "", "DBO", "T", "IX"}},
      {"s.t.ix", TDbObject::dboIndex, false, {"", "", "S", "T", "IX"}},
      {"db..t", TDbObject::dboTable, false, {"", "DB", "", "T", ""}},
      {"[My Schema].[My]]Table]", TDbObject::dboTable, false, {"", "", "MY SCHEMA", "MY]TABLE", ""}},
      {"<schema, sysname, dbo>.t", TDbObject::dboTable, false,
       {"", "", "<SCHEMA, SYSNAME, DBO>", "T", ""}},
  };
  // clang-format on
  for (const TNameCase& c : cases) {
    SCOPED_TRACE(c.Text);
    parser.SetSource(c.Text);
    parser.NextToken();
    parser.ParseObjectName(c.Kind, c.DefaultOwner);
    EXPECT_EQ((std::vector<std::string>{parser.NameServer, parser.NameDatabase, parser.NameOwner,
                                        parser.NameObject, parser.NameSubObject}),
              c.Parts);
  }
}

// ----------------------------------------------------------------- faults

TEST_F(MSSQLParserTest, LfOnlyRawBodyEndsAtItsGoLine) {
  ParseScriptText(
      "CREATE PROCEDURE p AS\n  SELECT 1\nGO\nCREATE TABLE t (a int)\ngo\n"
      "CREATE RULE r AS @v > 0\nGO\nCREATE TABLE u (b int)\n");
  ASSERT_NE(Objs().FindProcedure("DBO.P"), nullptr);
  EXPECT_EQ(Objs().FindProcedure("DBO.P")->GetText(), "AS\r\n  SELECT 1");
  EXPECT_NE(Objs().FindTable("DBO.T"), nullptr);
  ASSERT_NE(Objs().Rules.FindObject("R"), nullptr);
  EXPECT_EQ(Objs().Rules.FindObject("R")->RuleText, "@v > 0");
  EXPECT_NE(Objs().FindTable("DBO.U"), nullptr);
  EXPECT_EQ(Messages(), "");
}

TEST_F(MSSQLParserTest, BodyLocalTablesLeaveNothingInTheCollection) {
  // Stored definitions as the extractor hands them over, read in body mode.
  auto proc = std::make_unique<TPrcData>(&Objs());
  proc->SetName("P");
  proc->ObjectSource =
      "CREATE PROCEDURE dbo.P AS\n"
      "CREATE TABLE #t (a int DEFAULT 0 PRIMARY KEY, b int CHECK (b > 0))\n"
      "CREATE TABLE dbo.InBody (c int DEFAULT 1 UNIQUE)\n"
      "CREATE INDEX IX_T ON #t (a)\n";
  TPrcData* p = Objs().AddObject(proc, true);
  auto fn = std::make_unique<TPrcData>(&Objs());
  fn->SetName("F");
  fn->IsFunction = true;
  fn->ObjectSource =
      "CREATE FUNCTION dbo.F () RETURNS @r TABLE (a int DEFAULT 0 PRIMARY KEY) AS BEGIN RETURN END";
  TPrcData* f = Objs().AddObject(fn, true);
  parser.ParseObject(p);
  parser.ParseObject(f);
  EXPECT_EQ(Objs().Constraints.Count(), 0);
  EXPECT_EQ(Objs().Tables.Count(), 0);
  EXPECT_EQ(Objs().Indices.Count(), 0);
  ASSERT_EQ(f->OutParams.Count(), 1);
  EXPECT_EQ(f->OutParams.Object(0)->GetName(), "@R");
  EXPECT_TRUE(f->TableResult);
  EXPECT_EQ(Messages(), "");
}

// ------------------------------------------------------------ type names

struct TTypeNameCase {
  const char* Written;  // the column's type as the script writes it
  const char* Bare;     // the same type unbracketed; none: a user type
  const char* Domain;   // schema.name of the user type
};

// A bracketed system type name is that type, size and all; qualified by a
// schema, or a name no system type has, it is a user type.
TEST_F(MSSQLParserTest, BracketedTypeNamesAreTheSystemTypes) {
  const TTypeNameCase cases[] = {
      {"[int] IDENTITY(1,1) NOT NULL", "int IDENTITY(1,1) NOT NULL", nullptr},
      {"[nvarchar](50) NOT NULL", "nvarchar(50) NOT NULL", nullptr},
      {"[varchar](max)", "varchar(max)", nullptr},
      {"[varbinary](MAX)", "varbinary(max)", nullptr},
      {"[char]", "char", nullptr},
      {"[numeric](18, 2)", "numeric(18, 2)", nullptr},
      {"[float](24)", "float(24)", nullptr},
      {"[DECIMAL] ( 9 , 3 )", "decimal(9,3)", nullptr},
      {"[xml]", "xml", nullptr},
      {"[sysname]", "sysname", nullptr},
      {"[timestamp] NOT NULL", "timestamp NOT NULL", nullptr},
      // Written with its precision a newer date type is no user type, on
      // any server version.
      {"[datetime2](3)", "datetime2(3)", nullptr},
      {"[dbo].[int]", nullptr, "DBO.INT"},
      {"[dbo] . [Phone] NULL", nullptr, "DBO.PHONE"},
      {"[Phone]", nullptr, ".PHONE"},
      {"dbo.Phone", nullptr, "DBO.PHONE"},
  };
  struct TShape {
    std::uint8_t DataType = 0;
    std::int32_t Length = 0, Precision = 0, Scale = 0;
    bool Nullable = false, Identity = false;
    std::string Domain;
    bool operator==(const TShape&) const = default;
  };
  for (const TTypeNameCase& c : cases) {
    SCOPED_TRACE(c.Written);
    auto column = [&](const std::string& type) {
      TShape shape;
      TDBStructure fresh;
      TMSSQLParser p(nullptr);
      TObjs& objs = *fresh.GetObjs();
      objs.SetServerType(TDatabaseType::dbMSSQL);
      p.SetObjs(&objs);
      p.OnErrorMessage = [](TObject*, const std::string&) {};
      p.ParseScript(SplitLines("CREATE TABLE dbo.T (c " + type + ", d int)\r\nGO\r\n"), &objs);
      EXPECT_EQ(test::DumpMessages(p.Messages()), "");
      const TTblData* t = objs.FindTable("DBO.T");
      if (!t || t->Fields.Count() != 2) {
        ADD_FAILURE() << "columns lost";
        return shape;
      }
      const TFldData& f = *t->Fields.Object(0);
      return TShape{f.DataType,
                    f.Length,
                    f.Precision,
                    f.Scale,
                    f.Nullable,
                    f.Identity,
                    f.DomainSchema + "." + f.DomainName};
    };
    const TShape got = column(c.Written);
    if (!c.Bare) {
      EXPECT_EQ(got.DataType, dt::UserType);
      EXPECT_EQ(got.Domain, c.Domain);
      continue;
    }
    EXPECT_NE(got.DataType, dt::UserType);
    EXPECT_TRUE(got == column(c.Bare));
  }
}

TEST_F(MSSQLParserTest, AlterTableOfAnAbsentTableIsReadAndReported) {
  ParseScriptText(
      "ALTER TABLE dbo.Absent ADD c int DEFAULT 0, CONSTRAINT PK_A PRIMARY KEY (c)\nGO\n"
      "ALTER TABLE dbo.Absent DROP COLUMN c\nGO\nCREATE TABLE dbo.After (a int)\n");
  EXPECT_EQ(Objs().Constraints.Count(), 0);
  EXPECT_NE(Objs().FindTable("DBO.AFTER"), nullptr);
  EXPECT_NE(Messages().find("note 1:13 ALTER TABLE of a table that is not in the collection: "
                            "DBO.ABSENT"),
            std::string::npos)
      << Messages();
}

TEST_F(MSSQLParserTest, GrantFindsItsObjectByTheFullName) {
  ParseScriptText(
      "CREATE TABLE Sales.Orders (Id int)\nGO\nCREATE TABLE dbo.Orders (Id int)\nGO\n"
      "GRANT SELECT ON Sales.Orders TO Clerk\nGO\nGRANT INSERT ON Orders TO Clerk\nGO\n");
  ASSERT_EQ(Objs().Grants.Count(), 2);
  for (int i = 0; i < 2; ++i) {
    TGntData* g = Objs().Grants.Object(i);
    SCOPED_TRACE(g->GetKeyName());
    EXPECT_EQ(g->ObjectKind, TDbObject::dboTable);
    EXPECT_EQ(g->ObjectName, "ORDERS");
    const bool sales = g->Privileges.Contains(TPrivilege::prSelect);
    EXPECT_EQ(g->GetParentName(), sales ? "SALES" : "DBO");
    // Linked to the table of its own schema.
    ASSERT_EQ(g->DependsOn().Count(), 1);
    EXPECT_EQ(g->DependsOn().Object(0)->Target,
              Objs().FindTable(sales ? "SALES.ORDERS" : "DBO.ORDERS"));
  }
}

TEST_F(MSSQLParserTest, BindRuleStripsTheBracketsOfEveryPart) {
  ParseScriptText(
      "CREATE RULE R AS @v > 0\nGO\nCREATE TABLE dbo.T ([C 1] int)\nGO\n"
      "EXEC sp_bindrule '[R]', '[dbo].[T].[C 1]'\nGO\n"
      "EXEC sp_addtype 'Pos', 'int'\nGO\nEXEC sp_bindrule N'[R]', N'[Pos]'\nGO\n");
  EXPECT_EQ(Messages(), "");
  TFldData* c = Objs().FindField("DBO.T", "C 1");
  ASSERT_NE(c, nullptr);
  ASSERT_EQ(c->DependsOn().Count(), 1);
  EXPECT_EQ(c->DependsOn().Object(0)->Target, Objs().Rules.FindObject("R"));
  TDmnData* d = Objs().FindDomain("POS");
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(d->TypeHolder->DependsOn().Count(), 1);
}

TEST_F(MSSQLParserTest, StoredDefaultLosesOnlyABalancedOuterPair) {
  struct TCase {
    const char* Stored;
    const char* Kept;
  };
  for (const TCase& c : {TCase{"((0))", "(0)"}, TCase{"((a)) + ((b))", "((a)) + ((b))"},
                         TCase{"(0)", "(0)"}, TCase{"(((1)))", "((1))"}}) {
    SCOPED_TRACE(c.Stored);
    TCtrData ctr(&Objs());
    ctr.SetConstraintType(ct::Default);
    ctr.SetText(c.Stored);
    parser.ParseObject(&ctr);
    EXPECT_EQ(ctr.GetText(), c.Kept);
  }
}

// ------------------------------------------------------- definition entry

TEST_F(MSSQLParserTest, StoredIndexColumnListIsReadBack) {
  TIdxData idx(&Objs());
  idx.Columns.Add("[A] ASC, [b c] DESC", nullptr);
  parser.ParseObject(&idx);
  ASSERT_EQ(idx.Columns.Count(), 2);
  EXPECT_EQ(idx.Columns.Name(0), "A");
  EXPECT_EQ(idx.Columns.Object(0)->SortOrder, 1);
  EXPECT_EQ(idx.Columns.Name(1), "B C");
  EXPECT_EQ(idx.Columns.Object(1)->SortOrder, 2);
}

TEST_F(MSSQLParserTest, StoredDefinitionsFillTheirObjects) {
  auto trg = std::make_unique<TTrgData>(&Objs());
  trg->SetName("TR");
  trg->ObjectSource =
      "CREATE OR ALTER TRIGGER dbo.TR ON dbo.T INSTEAD OF INSERT, DELETE AS\nRETURN";
  TTrgData* t = Objs().AddObject(trg, true);
  auto view = std::make_unique<TViwData>(&Objs());
  view->SetName("V");
  view->ObjectSource = "CREATE VIEW dbo.V (a) WITH SCHEMABINDING AS SELECT 1 AS a";
  TViwData* v = Objs().AddObject(view, true);
  auto def = std::make_unique<TDefData>(&Objs());
  def->SetName("D");
  def->ObjectSource = "create default D as 42 + 1";
  TDefData* d = Objs().AddObject(def, true);
  parser.ParseObject(t);
  parser.ParseObject(v);
  parser.ParseObject(d);
  EXPECT_EQ(Messages(), "");
  EXPECT_EQ(t->Timing, 5);
  EXPECT_EQ(t->Events, 2 | 8);
  EXPECT_EQ(t->GetText(), "RETURN");
  EXPECT_TRUE(v->SchemaBinding);
  EXPECT_EQ(v->Columns.Count(), 1);
  EXPECT_EQ(v->GetText(), "SELECT 1 AS a");
  EXPECT_EQ(d->Expression, "42 + 1");
  // Nothing new was added: the stored objects were filled.
  EXPECT_EQ(Objs().Triggers.Count() + Objs().Views.Count() + Objs().Defaults.Count(), 3);
}

TEST_F(MSSQLParserTest, StoredBodyErrorsNameTheirObject) {
  auto proc = std::make_unique<TPrcData>(&Objs());
  proc->SetName("P");
  proc->ObjectSource = "CREATE PROCEDURE dbo.P AS RETURN )";
  TPrcData* p = Objs().AddObject(proc, true);
  parser.ParseObject(p);
  ASSERT_GE(parser.Messages().Count(), 1);
  EXPECT_EQ(parser.Messages()[0].Text.substr(0, 32), "Procedure P: Unknown statement: ");
}

// A routine header with no AS has no body, and the script writer has no
// text for it: read silently, it was lost from our script. Found by the
// round-trip fuzz target.
TEST_F(MSSQLParserTest, ARoutineWithoutAsIsAnError) {
  struct Case {
    const char* name;
    const char* script;
  };
  const Case cases[] = {
      {"parameters, then the batch's end", "CREATE PROCEDURE dbo.p_No@id inO INT = @id\nGO\n"},
      {"a header alone", "CREATE PROCEDURE dbo.p\nGO\n"},
      {"a function's result, then a body",
       "CREATE FUNCTION dbo.f() RETURNS INT BEGIN RETURN 1 END\nGO\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    parser.Messages().Clear();
    ParseScriptText(c.script);
    EXPECT_TRUE(parser.Messages().HasErrors()) << Messages();
    EXPECT_NE(Messages().find("Missing: AS"), std::string::npos) << Messages();
  }
  parser.Messages().Clear();
  ParseScriptText("CREATE PROCEDURE dbo.q @a INT = 1 AS RETURN @a\nGO\n");
  EXPECT_FALSE(parser.Messages().HasErrors()) << Messages();
}

// A view of no query: the server refuses it, and our script left it out
// silently. Found by the round-trip fuzz target.
TEST_F(MSSQLParserTest, AViewOfNoQueryIsAnError) {
  for (const char* script : {"CREATE VIEW dbm.vCustomer\r\nAS\r \r\n",
                             "CREATE VIEW v AS\nGO\nCREATE TABLE t (a int)\nGO\n"}) {
    SCOPED_TRACE(script);
    parser.Messages().Clear();
    ParseScriptText(script);
    EXPECT_NE(Messages().find("Missing: the view's query"), std::string::npos) << Messages();
  }
  parser.Messages().Clear();
  ParseScriptText("CREATE VIEW v AS SELECT 1 AS a\nGO\n");
  EXPECT_FALSE(parser.Messages().HasErrors()) << Messages();
}

// A table-level key names its columns; one read without them was written
// as "PRIMARY KEY ()". A column's own key takes its column. Found by the
// round-trip fuzz target.
TEST_F(MSSQLParserTest, AKeyOfNoColumnIsAnError) {
  struct Case {
    const char* name;
    const char* statement;  // after CREATE TABLE dbo.T (a int, b int)
    int constraints;
  };
  const Case cases[] = {
      {"PRIMARY at the script's end", "ALTER TABLE dbo.T ADD PRIMARY", 0},
      {"a named unique key", "ALTER TABLE dbo.T ADD CONSTRAINT U UNIQUE NONCLUSTERED\nGO", 0},
      {"a foreign key", "ALTER TABLE dbo.T ADD FOREIGN KEY REFERENCES dbo.T (a)\nGO", 0},
      {"a column's own key", "CREATE TABLE dbo.U (c int PRIMARY KEY, d int UNIQUE)\nGO", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDBStructure fresh;
    TObjs& objs = *fresh.GetObjs();
    objs.SetServerType(TDatabaseType::dbMSSQL);
    TMSSQLParser p(nullptr);
    p.OnErrorMessage = [](TObject*, const std::string&) {};
    p.SetObjs(&objs);
    p.ScriptName = "test.sql";
    p.ParseScript(SplitLines(std::string("CREATE TABLE dbo.T (a int, b int)\nGO\n") + c.statement),
                  &objs);
    EXPECT_EQ(objs.Constraints.Count(), c.constraints);
    EXPECT_EQ(p.Messages().HasErrors(), c.constraints == 0) << test::DumpMessages(p.Messages());
  }
}

TEST_F(MSSQLParserTest, ADefaultEndsBeforeTheColumnsNotNull) {
  ParseScriptText(
      "CREATE TABLE dbo.T (a int DEFAULT 0 NOT NULL, b int DEFAULT 1 + 2 NULL,\n"
      "  c varchar(5) DEFAULT 'x' NOT NULL CHECK (c NOT LIKE 'y%'))\n");
  EXPECT_EQ(Messages(), "");
  TTblData* t = Objs().FindTable("DBO.T");
  ASSERT_NE(t, nullptr);
  EXPECT_FALSE(t->FindField("A")->Nullable);
  EXPECT_TRUE(t->FindField("B")->Nullable);
  EXPECT_FALSE(t->FindField("C")->Nullable);
  std::vector<std::string> defaults;
  for (int i = 0; i < Objs().Constraints.Count(); ++i)
    if (Objs().Constraints.Object(i)->GetConstraintType() == ct::Default)
      defaults.push_back(Objs().Constraints.Object(i)->GetText());
  std::sort(defaults.begin(), defaults.end());
  EXPECT_EQ(defaults, (std::vector<std::string>{"('x')", "(0)", "(1 + 2)"}));
}

TEST_F(MSSQLParserTest, CreateAndAlterDatabaseFillTheDatabaseOptions) {
  ParseScriptText(
      "CREATE DATABASE Shop CONTAINMENT = NONE\n"
      "ON PRIMARY (NAME = Shop, FILENAME = 'c:\\d\\shop.mdf', SIZE = 10MB, MAXSIZE = UNLIMITED,\n"
      "  FILEGROWTH = 10%), FILEGROUP fg2 (NAME = Shop2, FILENAME = 'c:\\d\\shop2.ndf')\n"
      "LOG ON (NAME = Shop_log, FILENAME = 'c:\\d\\shop.ldf', SIZE = 5 MB)\n"
      "COLLATE Latin1_General_CS_AS\nGO\n"
      "ALTER DATABASE Shop SET COMPATIBILITY_LEVEL = 130, ANSI_NULLS ON, RECURSIVE_TRIGGERS ON,\n"
      "  QUOTED_IDENTIFIER ON, RECOVERY FULL, READ_COMMITTED_SNAPSHOT ON\nGO\n"
      "ALTER DATABASE Shop SET FILESTREAM (NON_TRANSACTED_ACCESS = FULL, DIRECTORY_NAME = 'shop')\n"
      "GO\n"
      "ALTER DATABASE Shop SET TARGET_RECOVERY_TIME = 60 SECONDS, DELAYED_DURABILITY = FORCED\n"
      "  WITH ROLLBACK IMMEDIATE\nGO\n"
      "ALTER DATABASE Shop MODIFY FILE (NAME = Shop, SIZE = 20MB)\nGO\n"
      "ALTER DATABASE Shop MODIFY NAME = Shop3\nGO\n"
      "ALTER DATABASE Shop ADD FILE (NAME = x, FILENAME = 'c:\\x.ndf') TO FILEGROUP fg2\nGO\n"
      "CREATE TABLE t (a varchar(10) COLLATE Latin1_General_CS_AS,\n"
      "  b varchar(10) COLLATE Latin1_General_CI_AS)\n");
  EXPECT_EQ(Messages(), "");
  EXPECT_EQ(parser.ConnectionOptions.DatabaseName, "SHOP");
  const TMSSQLServerOptions& o = Objs().MSSQLServerOptions;
  EXPECT_EQ(o.Collation, "LATIN1_GENERAL_CS_AS");
  EXPECT_EQ(o.MSSQLDatabaseOptions.DatabaseCollation, "LATIN1_GENERAL_CS_AS");
  EXPECT_EQ(o.MSSQLDatabaseOptions.CompatibilityLevel, 130);
  EXPECT_EQ(o.MSSQLDatabaseOptions.AnsiNullsEnabled, 1);
  EXPECT_EQ(o.MSSQLDatabaseOptions.RecursiveTriggersEnabled, 1);
  EXPECT_EQ(o.MSSQLDatabaseOptions.QuotedIdentifiersEnabled, 1);
  // The database's collation is the one columns are compared with.
  TTblData* t = Objs().FindTable("DBO.T");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->FindField("A")->Collation, "");
  EXPECT_EQ(t->FindField("B")->Collation, "LATIN1_GENERAL_CI_AS");
}

// Schemas, CREATE TYPE types, sequences and XML schema collections: what
// our own writer makes of each parses back into the same object, down to
// what the dump does not show (table type columns, the XML text, cache).
TEST(MSSQLWrittenTypes, ReadBackAsTheSameObjects) {
  const std::string script =
      "CREATE SCHEMA Sales AUTHORIZATION Boss\nGO\n"
      "CREATE TYPE Sales.Code FROM nvarchar(10) NOT NULL\nGO\n"
      "CREATE TYPE dbo.IdList AS TABLE (Id int NOT NULL, Note nvarchar(20) NULL,\n"
      "  Amount decimal(10, 2) DEFAULT 0)\nGO\n"
      "CREATE SEQUENCE dbo.OrderNo AS bigint START WITH 1000 INCREMENT BY 5 MINVALUE 10\n"
      "  MAXVALUE 999999 CYCLE CACHE 50\nGO\n"
      "CREATE SEQUENCE Sales.Ticket START WITH -10 INCREMENT BY -1 NO CACHE\nGO\n"
      "CREATE XML SCHEMA COLLECTION dbo.OrderSchema AS N'<s a=\"it''s\"/>'\nGO\n";
  auto parse = [](const std::string& text, TDBStructure& into) {
    TObjs& objs = *into.GetObjs();
    objs.SetServerType(TDatabaseType::dbMSSQL);
    objs.MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2016;
    TMSSQLParser parser(nullptr);
    parser.OnErrorMessage = [](TObject*, const std::string&) {};
    parser.ParseScript(SplitLines(text), &objs);
    return test::DumpMessages(parser.Messages());
  };
  TDBStructure first;
  ASSERT_EQ(parse(script, first), "");
  TObjs& a = *first.GetObjs();
  ASSERT_EQ(a.Schemas.Count() + a.Domains.Count() + a.Generators.Count(), 6);
  // Each object's own CREATE text, one batch each.
  std::string written;
  for (TDbObj* o :
       std::vector<TDbObj*>{a.FindSchema("SALES"), a.FindDomain("SALES.CODE"),
                            a.FindDomain("DBO.IDLIST"), a.FindGenerator("DBO.ORDERNO"),
                            a.FindGenerator("SALES.TICKET"), a.FindDomain("DBO.ORDERSCHEMA")}) {
    ASSERT_NE(o, nullptr);
    written += o->GetCreateSQL() + "\r\nGO\r\n";
  }
  TDBStructure second;
  ASSERT_EQ(parse(written, second), "") << written;
  TObjs& b = *second.GetObjs();
  EXPECT_EQ(b.FindSchema("SALES")->Authorization, "BOSS");
  EXPECT_EQ(test::DumpModel(b), test::DumpModel(a)) << written;
  // What the dump leaves out.
  TDmnData* list = b.FindDomain("DBO.IDLIST");
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(list->TypeHolder->TableType);
  EXPECT_EQ(list->GetCreateSQL(), a.FindDomain("DBO.IDLIST")->GetCreateSQL());
  EXPECT_EQ(list->TypeHolder->TableType->Fields.Count(), 3);
  EXPECT_EQ(b.FindDomain("DBO.ORDERSCHEMA")->GetText(), "<s a=\"it's\"/>");
  for (const char* g : {"DBO.ORDERNO", "SALES.TICKET"}) {
    SCOPED_TRACE(g);
    EXPECT_EQ(b.FindGenerator(g)->GetCreateSQL(), a.FindGenerator(g)->GetCreateSQL());
  }
  EXPECT_EQ(b.FindGenerator("DBO.ORDERNO")->GetCache(), "50");
  EXPECT_TRUE(b.FindGenerator("SALES.TICKET")->GetNoCache());
}

TEST_F(MSSQLParserTest, StatementsAreReported) {
  struct TReport {
    int Code, Action, Kind;
    std::string Name;
  };
  std::vector<TReport> reports;
  parser.OnStatement = [&](TObject*, const std::string&, std::uint8_t code, int&,
                           const std::string&, std::uint8_t action, std::uint8_t kind,
                           const std::string& name) {
    reports.push_back({code, action, kind, name});
  };
  ParseScriptText(
      "USE Shop\nGO\nCREATE TABLE t (a int)\nGO\nDROP TABLE a, b\nGO\n"
      "ALTER PROCEDURE p AS SELECT 1\nGO\nIF 1 = 1 CREATE VIEW v AS SELECT 1 AS one\nGO\n");
  ASSERT_EQ(reports.size(), 5u);
  EXPECT_EQ(reports[0].Code, 0);
  EXPECT_EQ(reports[0].Name, "SHOP");
  EXPECT_EQ(reports[1].Name, "T");
  EXPECT_EQ(reports[1].Action, 1);
  EXPECT_EQ(reports[2].Name, "B");
  EXPECT_EQ(reports[2].Action, 3);
  EXPECT_EQ(reports[2].Kind, static_cast<int>(TDbObject::dboTable));
  // An ALTER of an absent procedure makes it and counts as a create.
  EXPECT_EQ(reports[3].Action, 1);
  EXPECT_NE(Objs().FindProcedure("DBO.P"), nullptr);
  // The statement under IF is reported once.
  EXPECT_EQ(reports[4].Name, "V");
}

TEST_F(MSSQLParserTest, ExecuteSqlTextIsReadByTheNestedParser) {
  ParseScriptText(
      "EXEC sp_executesql N'CREATE TABLE dbo.Inner1 (a int)'\nGO\n"
      "EXEC sys.sp_executesql @statement = N'CREATE VIEW dbo.V1 AS SELECT ''x'' AS s'\nGO\n"
      "EXEC sp_executesql N'CREATE TABLE dbo.Broken (a'\nGO\n");
  EXPECT_NE(Objs().FindTable("DBO.INNER1"), nullptr);
  ASSERT_NE(Objs().FindView("DBO.V1"), nullptr);
  EXPECT_EQ(Objs().FindView("DBO.V1")->GetText(), "SELECT 'x' AS s");
  // The nested parser reports into this one.
  EXPECT_NE(Messages().find("error"), std::string::npos) << Messages();
}

// ------------------------------------------------------------- golden shop

// The shop fixture written by our own MS SQL writer parses back into the
// objects it came from, as far as MS SQL has them (the fixture also holds
// Firebird-only kinds and bodies, which the parser reports).
TEST(MSSQLGoldenShop, ParsesBackIntoTheFixture) {
  TDBStructure expected;
  test::TShopFixture shop(*expected.GetObjs());
  shop.Build(TDatabaseType::dbMSSQL);
  std::vector<std::string> lines;
  expected.GetObjs()->GetScript(lines);

  TDBStructure parsed;
  TObjs& objs = *parsed.GetObjs();
  objs.SetServerType(TDatabaseType::dbMSSQL);
  TMSSQLParser parser(nullptr);
  parser.OnErrorMessage = [](TObject*, const std::string&) {};
  parser.ParseScript(lines, &objs);

  test::TModelDumpOptions opts;
  opts.Dependencies = false;
  TObjs& want = *expected.GetObjs();
  auto same = [&](TDbObj* w, TDbObj* got, const std::string& what) {
    ASSERT_NE(got, nullptr) << what;
    EXPECT_EQ(test::DumpObject(*got, opts), test::DumpObject(*w, opts)) << what;
  };
  same(want.FindSchema("APP"), objs.FindSchema("APP"), "schema");
  for (const char* t : {"APP.CUSTOMERS", "APP.ORDERS"}) {
    TTblData* w = want.FindTable(t);
    TTblData* got = objs.FindTable(t);
    ASSERT_NE(got, nullptr) << t;
    // Column by column: the table's own flags (quoted identifiers, owner)
    // are the writer's SET lines and comments, not statements.
    ASSERT_EQ(got->Fields.Count(), w->Fields.Count()) << t;
    for (int i = 0; i < w->Fields.Count(); ++i)
      EXPECT_EQ(test::DumpField(*got->Fields.Object(i), opts),
                test::DumpField(*w->Fields.Object(i), opts))
          << t << "." << w->Fields.Name(i);
    EXPECT_EQ(got->GetDescription(), w->GetDescription()) << t;
  }
  for (int i = 0; i < want.Constraints.Count(); ++i) {
    TCtrData* w = want.Constraints.Object(i);
    TCtrData* got = objs.FindConstraint(w->GetKeyName());
    // The fixture leaves a foreign key's referenced schema to the writer,
    // which names the constraint's own; the parser reads it as written.
    if (got && w->GetRefSchema().empty() && got->GetRefSchema() == got->GetParentName())
      got->SetRefSchemaName("");
    same(w, got, w->GetKeyName());
  }
  for (int i = 0; i < want.Indices.Count(); ++i) {
    TIdxData* w = want.Indices.Object(i);
    same(w, objs.FindIndex(w->GetKeyName()), w->GetKeyName());
  }
  TViwData* v = objs.FindView("APP.V_BIG_ORDERS");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->GetText(), want.FindView("APP.V_BIG_ORDERS")->GetText());
  EXPECT_EQ(v->GetDescription(), "Orders worth a look");
  EXPECT_EQ(v->Columns.Count(), 2);
  // Grants: the same privileges, objects and grantees.
  ASSERT_EQ(objs.Grants.Count(), want.Grants.Count());
  for (int i = 0; i < want.Grants.Count(); ++i) {
    TGntData* w = want.Grants.Object(i);
    TGntData* got = objs.Grants.Object(i);
    EXPECT_EQ(got->ObjectName, w->ObjectName);
    EXPECT_EQ(got->ObjectKind, w->ObjectKind) << w->ObjectName;
    EXPECT_EQ(got->Grantee, w->Grantee);
    EXPECT_EQ(got->Privileges, w->Privileges) << w->ObjectName;
  }
}

}  // namespace
}  // namespace qor
