// The InterBase/Firebird parser's scanner rules, its version handling, the
// script statements (SET TERM, SET GENERATOR, INPUT) and its recovery.
// Whole statements with their models are in the corpus (tests/data/sql/ib).
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "tests/parsers/ib/qorIBParserFixture.h"
#include "tests/support/qorModelDump.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace qor::test {
namespace {

using V = TIBSQLServerVersionType;

// The tokens of `text`: kind, and the text that matters for the kind.
std::vector<std::string> Tokens(TIbParse& p, const std::string& text, int dialect = 3) {
  p.objs.IBServerOptions.SQLDialect = static_cast<TIBSQLDialectType>(dialect);
  p.parser->SetSource(text);
  std::vector<std::string> out;
  for (int guard = 0; guard < 100; ++guard) {
    p.parser->NextToken();
    const TTokenKind k = p.parser->TokenKind();
    if (k == tk::EOFKind) break;
    std::string s = std::to_string(k);
    if (k == tk::Ident || k == ibk::CharsetIntroducer) s += " " + p.parser->IdentText();
    if (k == tk::Integer)
      s += " " + std::to_string(p.parser->IntValue()) + " " + p.parser->TokenText();
    if (k == tk::String) {
      s += " ";
      for (unsigned char c : p.parser->TokenText()) s += std::to_string(c) + ".";
    }
    out.push_back(s);
  }
  return out;
}

struct ScanCase {
  const char* name;
  V version;
  const char* text;
  std::vector<std::string> tokens;
  int errors;
};

TEST(IbScanner, VersionRulesForNumbersLiteralsAndWords) {
  // clang-format off
  const ScanCase cases[] = {
      {"hex number", V::st_Firebird_25, "0x1F", {"4 31 1F"}, 0},
      {"no hex before 2.5", V::st_Firebird_20, "0x1F", {"4 0 0", "1 X1F"}, 0},
      {"hex beyond 32 bits is kept", V::st_Firebird_30, "0xFFFFFFFFFF",
       {"4 1099511627775 FFFFFFFFFF"}, 0},
      {"16 hex digits are two's complement", V::st_Firebird_30, "0xFFFFFFFFFFFFFFFF",
       {"4 -1 FFFFFFFFFFFFFFFF"}, 0},
      {"17 hex digits are an error, never 0 silently", V::st_Firebird_30,
       "0x1FFFFFFFFFFFFFFFF", {"4 0 1FFFFFFFFFFFFFFFF"}, 1},
      {"0x without digits", V::st_Firebird_25, "0x;", {"4 0 ", "12"}, 1},
      {"binary string", V::st_Firebird_25, "X'0aFF'", {"3 10.255."}, 0},
      {"binary string, odd digit count", V::st_Firebird_25, "x'ABC'", {"3 "}, 1},
      {"binary string, not hex", V::st_Firebird_25, "X'ZZ'", {"3 "}, 1},
      {"binary string, unterminated at the end", V::st_Firebird_25, "X'AB", {"3 171."}, 1},
      {"assignment", V::st_Firebird_25, "a := 1", {"1 A", "116", "4 1 1"}, 0},
      {"no assignment before 2.5", V::st_Firebird_21, ":=", {"16", "14"}, 0},
      {"introducer", V::st_Firebird_25, "_utf8 'x'", {"44 _UTF8", "3 120."}, 0},
      {"words 2.5 leaves free are names", V::st_Firebird_25, "CASCADE ACTION KEY",
       {"1 CASCADE", "1 ACTION", "129"}, 0},
      {"words 3.0 leaves free are names", V::st_Firebird_30, "KEY COMPUTED SUB_TYPE work",
       {"1 KEY", "1 COMPUTED", "1 SUB_TYPE", "1 WORK"}, 0},
      {"InterBase 2020 keeps every word", V::st_InterBase_2020, "KEY CASCADE",
       {"129", "54"}, 0},
  };
  // clang-format on
  for (const ScanCase& c : cases) {
    SCOPED_TRACE(c.name);
    TIbParse p(c.version);
    EXPECT_EQ(Tokens(p, c.text), c.tokens);
    EXPECT_EQ(p.Errors(), c.errors) << p.FirstError();
  }
}

TEST(IbScanner, DoubleQuotesAreNamesInDialect3Only) {
  TIbParse p;
  EXPECT_EQ(Tokens(p, "\"My Table\"", 3), (std::vector<std::string>{"1 My Table"}));
  EXPECT_EQ(Tokens(p, "\"My Table\"", 1).front().substr(0, 2), "3 ");
}

TEST(IbParser, FormatNameQuotesItsArgumentAsTheDialectNeeds) {
  // clang-format off
  struct Case {
    int dialect;
    const char* name;
    const char* expected;
  } const cases[] = {
      {3, "NAME", "NAME"},
      {3, "Name", "\"Name\""},
      {3, "SELECT", "\"SELECT\""},
      {3, "A\"B", "\"A\"\"B\""},
      {1, "Name", "Name"},
  };
  // clang-format on
  TIbParse p;
  p.parser->SetSource("OTHER_WORD");
  p.parser->NextToken();
  for (const Case& c : cases) {
    p.objs.IBServerOptions.SQLDialect = static_cast<TIBSQLDialectType>(c.dialect);
    EXPECT_EQ(p.parser->FormatName(c.name), c.expected) << c.name;
  }
}

// The words each version leaves free are still read where the grammar
// wants them: keys, actions, computed columns, blob clauses, COMMIT WORK.
TEST(IbParser, DemotedWordsAreReadAsTheWordsTheGrammarWants) {
  const std::string script =
      "CREATE TABLE P (ID INTEGER NOT NULL PRIMARY KEY);\n"
      "CREATE TABLE C (A INTEGER NOT NULL,\n"
      "  B INTEGER REFERENCES P (ID) ON DELETE CASCADE ON UPDATE NO ACTION,\n"
      "  D COMPUTED BY (A + 1), E BLOB SUB_TYPE 1 SEGMENT SIZE 80,\n"
      "  CONSTRAINT FK_C FOREIGN KEY (A) REFERENCES P (ID) ON DELETE SET NULL);\n"
      "COMMIT WORK;\n";
  for (V v : {V::st_InterBase_6x, V::st_FireBird_15, V::st_Firebird_20, V::st_Firebird_21,
              V::st_Firebird_25, V::st_Firebird_30, V::st_Firebird_40, V::st_InterBase_2020}) {
    SCOPED_TRACE(static_cast<int>(v));
    TIbParse p(v);
    p.Run(script);
    EXPECT_EQ(p.Errors(), 0) << p.FirstError();
    TTblData* c = p.objs.FindTable("C");
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->Fields.Count(), 4);
    EXPECT_EQ(c->Fields.Object(2)->GetText(), "(A + 1)");
    EXPECT_EQ(c->Fields.Object(3)->SubType, 1);
    int fks = 0, pks = 0;
    for (int i = 0; i < p.objs.Constraints.Count(); ++i) {
      TCtrData* k = p.objs.Constraints.Object(i);
      if (k->GetConstraintType() == ct::PrimaryKey) ++pks;
      if (k->GetConstraintType() != ct::ForeignKey) continue;
      ++fks;
      if (k->GetName() == "FK_C") EXPECT_EQ(k->DeleteRule, 4);
      else EXPECT_EQ(k->DeleteRule, 2);
      EXPECT_EQ(k->UpdateRule, 0);
    }
    EXPECT_EQ(fks, 2);
    EXPECT_EQ(pks, 1);
  }
}

TEST(IbParser, SetGeneratorKeepsSixtyFourBitsAndRefusesWhatDoesNotFit) {
  struct Case {
    const char* value;
    const char* expected;
    int errors;
  } const cases[] = {
      {"-5", "-5", 0},
      {"9000000000", "9000000000", 0},
      {"-9223372036854775807", "-9223372036854775807", 0},
      {"99999999999999999999", "", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    TIbParse p;
    auto g = std::make_unique<TGnrData>(&p.objs);
    g->SetName("G");
    TGnrData* gen = p.objs.AddObject(g, true);
    ASSERT_NE(gen, nullptr);
    p.Run(std::string("SET GENERATOR G TO ") + c.value + ";\nCREATE TABLE AFTER_IT (A INTEGER);\n");
    EXPECT_EQ(gen->StartWith, c.expected);
    EXPECT_EQ(p.Errors(), c.errors) << p.FirstError();
    EXPECT_NE(p.objs.FindTable("AFTER_IT"), nullptr);
  }
}

TEST(IbParser, EachScriptStartsWithTheSemicolon) {
  TIbParse p;
  p.Run("SET TERM ^ ;\nCREATE TABLE A (X INTEGER)^\n");
  EXPECT_EQ(p.parser->Terminator(), "^");
  p.Run("CREATE TABLE B (X INTEGER);\n");
  EXPECT_EQ(p.Errors(), 0) << p.FirstError();
  EXPECT_NE(p.objs.FindTable("B"), nullptr);
}

TEST(IbParser, ErrorsSkipToTheTerminatorAndNameTheirPlace) {
  TIbParse p;
  p.Run(
      "CREATE TABLE T (A INTEGER, B INTEGER DEFAULT (1), C INTEGER);\n"
      "CREATE TABLE (A INTEGER);\n"
      "CREATE TABLE U (A INTEGER);\n");
  // One error per bad statement, where it went wrong.
  EXPECT_EQ(DumpMessages(p.parser->Messages()),
            "error 1:47 DEFAUT <value> error...\n"
            "note 1:47 Passed over to the next statement: (1), C INTEGER)\n"
            "error 2:15 Missing: <Ident> (<(>)\n"
            "note 2:15 Passed over to the next statement: (A INTEGER)\n");
  ASSERT_EQ(p.errorEvents.size(), 1u) << "only the first error reaches the event";
  EXPECT_NE(p.errorEvents[0].find("Table:T Field:B"), std::string::npos) << p.errorEvents[0];
  // T keeps what was read before the error; the nameless table is not added.
  ASSERT_NE(p.objs.FindTable("T"), nullptr);
  EXPECT_EQ(p.objs.Tables.Count(), 2);
  EXPECT_NE(p.objs.FindTable("U"), nullptr);
}

// RETURNS PARAMETER names an argument by its place from 1; one naming
// none was kept, and our script wrote its result as no type at all ("?").
// Found by the round-trip fuzz target.
TEST(IbParser, ReturnsParameterNamesAnArgument) {
  struct Case {
    const char* number;
    bool ok;
  };
  for (const Case& c : {Case{"0", false}, Case{"3", false}, Case{"2", true}}) {
    SCOPED_TRACE(c.number);
    TIbParse p;
    p.Run(std::string("DECLARE EXTERNAL FUNCTION F CSTRING(10), INTEGER RETURNS PARAMETER ") +
          c.number + " ENTRY_POINT 'fill' MODULE_NAME 'lib';\n");
    EXPECT_EQ(p.Errors(), c.ok ? 0 : 1) << DumpMessages(p.parser->Messages());
    if (c.ok) continue;
    EXPECT_NE(DumpMessages(p.parser->Messages())
                  .find(std::string("RETURNS PARAMETER ") + c.number + " names no argument of F"),
              std::string::npos);
  }
}

// One unreadable statement in the middle of a long script: one error, a
// note of what was passed over, and everything after it read as if the
// statement were not there, bodies included.
TEST(IbParser, OneBrokenStatementCostsOneErrorAndNothingAfterIt) {
  struct Case {
    const char* name;
    const char* broken;   // leaves the script with "^" as its terminator
    const char* skipped;  // the note's text; none when nothing is passed over
  };
  const Case cases[] = {
      {"a stray comma in a table", "CREATE TABLE BAD (A INTEGER,, B INTEGER);\nSET TERM ^ ;\n",
       ", B INTEGER)"},
      {"an unknown statement", "FROBNICATE THIS\n  AND THAT;\nSET TERM ^ ;\n",
       "FROBNICATE THIS ..."},
      {"SET TERM without its own terminator", "SET TERM ^\n", nullptr},
      {"a bad statement in a body", "SET TERM ^ ;\nCREATE PROCEDURE BAD AS BEGIN X = ; END^\n",
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TIbParse p(V::st_Firebird_30, /*bodies=*/true);
    p.Run(std::string("CREATE TABLE T1 (A INTEGER);\n") + c.broken +
          "CREATE PROCEDURE P1 AS DECLARE X INTEGER; BEGIN X = 1; X = 2; END^\n"
          "CREATE PROCEDURE P2 AS BEGIN DELETE FROM T1; END^\n"
          "SET TERM ; ^\n"
          "CREATE TABLE T2 (A INTEGER);\n");
    const std::string messages = DumpMessages(p.parser->Messages());
    EXPECT_EQ(p.Errors(), 1) << messages;
    EXPECT_EQ(messages.find("Passed over") != std::string::npos, c.skipped != nullptr) << messages;
    if (c.skipped) {
      EXPECT_NE(messages.find(std::string("Passed over to the next statement: ") + c.skipped),
                std::string::npos)
          << messages;
    }
    ASSERT_NE(p.objs.FindProcedure("P1"), nullptr) << messages;
    EXPECT_EQ(p.objs.FindProcedure("P1")->GetText(), "DECLARE X INTEGER; BEGIN X = 1; X = 2; END");
    ASSERT_NE(p.objs.FindProcedure("P2"), nullptr) << messages;
    EXPECT_NE(DumpObject(*p.objs.FindProcedure("P2")).find("depends: table T1"), std::string::npos);
    EXPECT_NE(p.objs.FindTable("T2"), nullptr) << messages;
    EXPECT_EQ(p.parser->Terminator(), ";");
  }
}

// Both header orders the engine takes, and ALTER TRIGGER giving only what
// it changes.
TEST(IbParser, TriggerHeadersInEveryOrderTheEngineTakes) {
  struct Case {
    const char* name;
    const char* statements;  // after TAB and a trigger T on it
    const char* header;      // the "is:" line of T's dump
  };
  const Case cases[] = {
      {"FOR first", "RECREATE TRIGGER T FOR TAB2 INACTIVE AFTER DELETE POSITION 4 AS BEGIN END^",
       "table=TAB2 inactive timing=2 events=8 type=6 position=4"},
      {"ON last",
       "CREATE OR ALTER TRIGGER T ACTIVE BEFORE INSERT OR UPDATE POSITION 7 ON TAB2 AS BEGIN END^",
       "table=TAB2 timing=1 events=6 type=17 position=7"},
      {"ON last without the flag", "RECREATE TRIGGER T AFTER DELETE ON TAB2 AS BEGIN END^",
       "table=TAB2 timing=2 events=8 type=6"},
      {"ALTER with the flag alone", "ALTER TRIGGER T INACTIVE^",
       "table=TAB inactive timing=1 events=2 type=1 position=3"},
      {"ALTER with the position alone", "ALTER TRIGGER T POSITION 9^",
       "table=TAB timing=1 events=2 type=1 position=9"},
      {"ALTER of a trigger the script does not hold", "ALTER TRIGGER ELSEWHERE INACTIVE^",
       "table=TAB timing=1 events=2 type=1 position=3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TIbParse p(V::st_Firebird_30);
    p.Run(std::string("CREATE TABLE TAB (A INTEGER);\nCREATE TABLE TAB2 (A INTEGER);\n"
                      "SET TERM ^ ;\n"
                      "CREATE TRIGGER T ACTIVE BEFORE INSERT POSITION 3 ON TAB AS BEGIN END^\n") +
          c.statements + "\nSET TERM ; ^\n");
    EXPECT_EQ(p.Errors(), 0) << DumpMessages(p.parser->Messages());
    // Nothing is made up for a trigger the script never defined.
    EXPECT_EQ(p.objs.FindTrigger("ELSEWHERE"), nullptr);
    TTrgData* t = p.objs.FindTrigger("T");
    ASSERT_NE(t, nullptr);
    const std::string dump = DumpObject(*t);
    const std::size_t at = dump.find("is: ");
    ASSERT_NE(at, std::string::npos) << dump;
    EXPECT_EQ(dump.substr(at + 4, dump.find('\n', at) - at - 4), c.header);
  }
}

TEST(IbParser, DefaultValuesAreCutFromTheSourceAsWritten) {
  struct Case {
    const char* value;
    const char* text;  // empty: an error
  } const cases[] = {
      {"'x'", "'x'"},
      {"-5", "-5"},
      {"-  2.5", "-  2.5"},
      {"CURRENT_DATE", "CURRENT_DATE"},
      {"CURRENT_TIMESTAMP ( 3 )", "CURRENT_TIMESTAMP ( 3 )"},
      {"CURRENT_TIME", "CURRENT_TIME"},
      {"NULL", "NULL"},
      {"USER", "USER"},
      {"CURRENT_USER", "CURRENT_USER"},
      {"_UTF8 'a''b'", "_UTF8 'a''b'"},
      {"0x1F", "0x1F"},
      {"(1)", ""},
      {"- 'x'", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    TIbParse p;
    p.Run(std::string("CREATE TABLE T (A INTEGER DEFAULT ") + c.value + " NOT NULL);");
    TTblData* t = p.objs.FindTable("T");
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->Fields.Count(), 1);
    EXPECT_EQ(t->Fields.Object(0)->DefaultValue, c.text);
    EXPECT_EQ(p.Errors(), *c.text ? 0 : 1) << p.FirstError();
    if (*c.text) {
      EXPECT_FALSE(t->Fields.Object(0)->Nullable);
    }
  }
}

TEST(IbParser, ReadBodyStopsAtTheTerminatorOutsideCommentsAndLiterals) {
  TIbParse p;
  p.parser->SetTerminator("^");
  p.parser->SetSource("AS\n BEGIN X = '^'; /* ^ */ -- ^\n Y = \"^\"; END ^ NEXT");
  p.parser->NextToken();
  TTblData body(&p.objs);
  p.parser->ReadBody(body);
  EXPECT_EQ(body.GetText(), "BEGIN X = '^'; /* ^ */ -- ^\r\n Y = \"^\"; END");
  EXPECT_EQ(p.parser->TokenKind(), tk::Terminator);
  p.parser->NextToken();
  EXPECT_EQ(p.parser->IdentText(), "NEXT");
}

// Counts the tokens a parse scans.
class TCountingParser : public TIbParser {
 public:
  using TIbParser::TIbParser;
  std::size_t Tokens = 0;

 protected:
  void AfterToken() override { ++Tokens; }
};

TEST(IbParser, WorkStaysBoundedOnHostileInput) {
  auto times = [](const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
  };
  const std::string inputs[] = {
      times("(", 20000),
      times("CREATE TABLE T (", 2000),
      "SET TERM " + times(" ", 1000),
      "CREATE TABLE T (A INTEGER DEFAULT",
      "CREATE INDEX I ON T COMPUTED BY " + times("(", 5000),
      times("CREATE DOMAIN D AS TYPE OF TYPE ", 500),
      "ALTER TABLE T " + times("ADD A INTEGER, ", 2000) + "ADD",
      times("CREATE TABLE T (A INTEGER [1:2, ", 1000),
      times("SET TERM ^ ;\nSET TERM ; ^\n", 1000),
      times("X'", 3000),
      times("CREATE TABLE T (A BLOB SUB_TYPE SEGMENT SIZE (", 500),
      "GRANT " + times("SELECT, UPDATE (A, ", 1000),
      "SET TERM ^ ;\nCREATE TRIGGER T FOR X BEFORE " + times("INSERT OR ", 2000),
      times("COMMENT ON COLUMN A.", 1000),
      times("CREATE PROCEDURE P (A INTEGER, ", 1000),
      times("DECLARE EXTERNAL FUNCTION F INTEGER, ", 1000),
      times("DROP TABLE T;\nCREATE TABLE T (A INTEGER);\n", 300),
  };
  for (const std::string& text : inputs) {
    SCOPED_TRACE(text.substr(0, 40));
    TObjs objs;
    TCountingParser p(nullptr);
    p.OnErrorMessage = [](TObject*, const std::string&) {};
    p.SetObjs(&objs);
    p.ParseScript({text}, &objs);
    p.AfterParse();
    EXPECT_LE(p.Tokens, 4 * (text.size() + 1) + 16);
  }
}

// ---- INPUT

class IbInput : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(TestFolder()) / ("input-" + std::to_string(++counter_));
    std::filesystem::create_directories(dir_ / "sub");
  }
  std::string Write(const std::string& rel, const std::string& text) {
    const auto path = dir_ / rel;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  std::filesystem::path dir_;
  static inline int counter_ = 0;
};

TEST_F(IbInput, ReadsAFileBesideTheScriptWithTheOuterTerminator) {
  Write("sub/part2.sql", "CREATE TABLE FROM_INPUT (A INTEGER)^\nCREATE TABLE BAD (A NOTYPE(");
  const std::string main = Write(
      "sub/main.sql", "SET TERM ^ ;\nINPUT 'part2.sql'^\nCREATE TABLE AFTER_INPUT (A INTEGER)^\n");
  TIbParse p;
  ASSERT_TRUE(p.parser->ParseFile(main, &p.objs));
  EXPECT_NE(p.objs.FindTable("FROM_INPUT"), nullptr);
  EXPECT_NE(p.objs.FindTable("AFTER_INPUT"), nullptr);
  // The included file's error lands in the outer list, naming that file.
  ASSERT_EQ(p.Errors(), 1);
  EXPECT_NE(p.parser->Messages()[0].ScriptName.find("part2.sql"), std::string::npos);
}

TEST_F(IbInput, CyclesDepthAndMissingCollectionAreErrors) {
  {
    const std::string self = Write("self.sql", "INPUT 'self.sql';\nCREATE TABLE S (A INTEGER);\n");
    TIbParse p;
    ASSERT_TRUE(p.parser->ParseFile(self, &p.objs));
    EXPECT_EQ(p.FirstError().find("includes itself") != std::string::npos, true) << p.FirstError();
    EXPECT_NE(p.objs.FindTable("S"), nullptr);
  }
  {
    // a0 includes a1 ... each one level deeper than the last.
    for (int i = 0; i < 30; ++i)
      Write("a" + std::to_string(i) + ".sql", "INPUT 'a" + std::to_string(i + 1) + ".sql';\n");
    Write("a30.sql", "CREATE TABLE DEEP (A INTEGER);\n");
    TIbParse p;
    ASSERT_TRUE(p.parser->ParseFile((dir_ / "a0.sql").string(), &p.objs));
    EXPECT_NE(p.FirstError().find("nested deeper"), std::string::npos) << p.FirstError();
    EXPECT_EQ(p.objs.FindTable("DEEP"), nullptr);
  }
  {
    Write("x.sql", "CREATE TABLE X (A INTEGER);\n");
    TIbParse p;
    p.parser->SetObjs(nullptr);
    p.parser->ScriptName = (dir_ / "main.sql").string();
    p.parser->ParseScript({"INPUT 'x.sql';"}, nullptr);
    EXPECT_NE(p.FirstError().find("no collection"), std::string::npos) << p.FirstError();
  }
  {
    TIbParse p;
    p.parser->ScriptName = (dir_ / "main.sql").string();
    p.Run("INPUT 'missing.sql';\nCREATE TABLE AFTER_MISSING (A INTEGER);\n");
    EXPECT_NE(p.FirstError().find("Cannot open file"), std::string::npos) << p.FirstError();
    EXPECT_NE(p.objs.FindTable("AFTER_MISSING"), nullptr);
  }
}

}  // namespace
}  // namespace qor::test
