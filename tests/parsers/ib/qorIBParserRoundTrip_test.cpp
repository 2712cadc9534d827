// The model we write is the model we read: the InterBase script of a model
// parsed back and written again gives the same text, for the kinds this
// parser builds (domains, tables, keys, checks, indices).
#include "platform/qorStrings.h"
#include "tests/model/qorScriptFixture.h"
#include "tests/parsers/ib/qorIBParserFixture.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorModelDump.h"

#include <gtest/gtest.h>

namespace qor::test {
namespace {

// Only the kinds the parser reads: the others are passed over with a note.
template <class T>
void Drop(TObjs& objs, TOwnedNameList<T>& list) {
  for (int i = 0; i < list.Count(); ++i) objs.DetachObject(list.Object(i));
  list.Clear();
}

void KeepReadKinds(TObjs& objs) {
  Drop(objs, objs.Schemas);
  Drop(objs, objs.Udfs);
  Drop(objs, objs.Collations);
  Drop(objs, objs.Exceptions);
  Drop(objs, objs.Generators);
  Drop(objs, objs.Views);
  Drop(objs, objs.Procedures);
  Drop(objs, objs.Triggers);
  Drop(objs, objs.Packages);
  Drop(objs, objs.Events);
  Drop(objs, objs.Grants);
  Drop(objs, objs.Roles);
  objs.ConnectionOptions.DatabaseName.clear();
  // Descriptions come as COMMENT ON, a statement not read yet.
  objs.ForEachObject([](TDbObj& o) {
    o.SetDescription("");
    std::vector<TDbObj*> subs;
    o.GetSubObjects(subs);
    for (TDbObj* s : subs) s->SetDescription("");
  });
}

std::string Script(TObjs& objs) {
  std::vector<std::string> lines;
  objs.GetScript(lines);
  return JoinLines(lines) + "\r\n";
}

// Parses `script` into a fresh collection of the same version and writes it.
std::string Again(const std::string& script, TIBSQLServerVersionType v, std::string& messages) {
  TIbParse p(v);
  p.Run(script);
  messages = DumpMessages(p.parser->Messages());
  return Script(p.objs);
}

TEST(IbRoundTrip, ShopFixtureScriptReadsBackToTheSameText) {
  for (TIBSQLServerVersionType v :
       {TIBSQLServerVersionType::st_Firebird_25, TIBSQLServerVersionType::st_Firebird_30}) {
    SCOPED_TRACE(static_cast<int>(v));
    TObjs objs;
    TShopFixture(objs).Build(TDatabaseType::dbInterBase);
    objs.IBServerOptions.SQLServerVersion = v;
    KeepReadKinds(objs);
    const std::string first = Script(objs);
    ASSERT_NE(first.find("CREATE TABLE"), std::string::npos) << first;
    std::string messages;
    const std::string second = Again(first, v, messages);
    EXPECT_EQ(second, first);
    EXPECT_EQ(messages, "");
  }
}

// Every column type of the corpus, written, read and written again.
TEST(IbRoundTrip, EveryColumnTypeReadsBackToTheSameText) {
  for (TIBSQLServerVersionType v :
       {TIBSQLServerVersionType::st_Firebird_25, TIBSQLServerVersionType::st_Firebird_30}) {
    SCOPED_TRACE(static_cast<int>(v));
    TIbParse p(v);
    p.Run(ReadTextFile(QOR_TEST_DATA_DIR "/sql/ib/types.sql") +
          ReadTextFile(QOR_TEST_DATA_DIR "/sql/ib/domains.sql") +
          ReadTextFile(QOR_TEST_DATA_DIR "/sql/ib/tables.sql"));
    ASSERT_EQ(p.Errors(), 0) << p.FirstError();
    const std::string first = Script(p.objs);
    std::string messages;
    const std::string second = Again(first, v, messages);
    EXPECT_EQ(second, first);
    EXPECT_EQ(messages.find("error"), std::string::npos) << messages;
  }
}

// A body whose comment or literal is left open would take the rest of the
// script, our own terminator and SET TERM lines included, and grow with
// every round trip: it is an error where it opens, and the statements
// after it are not read into the body silently.
TEST(IbRoundTrip, ABodyLeftOpenIsAnErrorWhereItOpens) {
  struct Case {
    const char* name;
    const char* script;
    const char* error;  // reported at the end of the script
  };
  const Case cases[] = {
      {"a package body's comment", "SET TERM ^ ;\nCREATE PACKAGE BODY N AS BEGIN END /* x^\n",
       "Unterminated comment (opened at line 2, column 36)."},
      {"a procedure's comment after the terminator it hides",
       "SET TERM ^ ;\nCREATE PROCEDURE P AS\nBEGIN /* ^\nEND^\nSET TERM ; ^\n",
       "Unterminated comment (opened at line 3, column 7)."},
      {"a trigger's string",
       "CREATE TABLE T (A INTEGER);\nSET TERM ^ ;\n"
       "CREATE TRIGGER TR FOR T BEFORE INSERT AS BEGIN NEW.A = 'x; END^\n",
       "Unterminated string (opened at line 3, column 56)."},
      {"a view's quoted name", "CREATE VIEW V AS SELECT 1 AS \"A FROM RDB$DATABASE;\n",
       "Unterminated string (opened at line 1, column 30)."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TIbParse p(TIBSQLServerVersionType::st_Firebird_30);
    p.Run(c.script);
    EXPECT_EQ(p.Errors(), 1);
    EXPECT_NE(DumpMessages(p.parser->Messages()).find(c.error), std::string::npos)
        << DumpMessages(p.parser->Messages());
  }
}

// A view is one query: under another terminator, a ";" with more after it
// would end the view where our script writes it, so the rest came back as a
// statement of its own. Found by the round-trip fuzz target. A ";" that
// only closes the query is no error, and, as the engine does, is kept out
// of it with what follows (we wrote it back doubled).
TEST(IbRoundTrip, AViewsQueryGoingOnAfterItsSemicolonIsAnError) {
  struct Case {
    const char* name;
    const char* script;
    const char* error;  // none when empty
  };
  const Case cases[] = {
      {"more query", "SET TERM ^ ;\nCREATE VIEW V AS SELECT 1 AS A FROM RDB$DATABASE; X)^\n",
       "error 2:49 The query goes on after its \";\": ; X)"},
      {"a terminator that never comes",
       "SET TERM ^ ;\nSET TERM ;IN^\nCREATE VIEW V AS SELECT 1 AS A FROM RDB$DATABASE;\nEGER);\n",
       "error 3:49 The query goes on after its \";\""},
      {"a closing \";\" and a comment",
       "SET TERM ^ ;\nCREATE VIEW V AS SELECT 1 AS A FROM RDB$DATABASE; -- done\n^\n", ""},
      {"a \";\" in a string and a comment",
       "SET TERM ^ ;\nCREATE VIEW V AS SELECT ';' AS A /* ; */ FROM RDB$DATABASE^\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TIbParse p(TIBSQLServerVersionType::st_Firebird_30);
    p.Run(c.script);
    const std::string messages = DumpMessages(p.parser->Messages());
    if (*c.error) {
      EXPECT_EQ(p.Errors(), 1);
      EXPECT_NE(messages.find(c.error), std::string::npos) << messages;
      continue;
    }
    ASSERT_EQ(p.Errors(), 0) << messages;
    ASSERT_NE(p.objs.FindView("V"), nullptr);
    EXPECT_EQ(p.objs.FindView("V")->GetText().find("; --"), std::string::npos);
    const std::string first = Script(p.objs);
    std::string again;
    EXPECT_EQ(Again(first, TIBSQLServerVersionType::st_Firebird_30, again), first);
    EXPECT_EQ(again, "");
  }
}

// A script starts in dialect 1, which has no delimited names: a domain
// named in double quotes there was kept as any text, and our script wrote
// it bare ("B Grö NOT NULL"), which no dialect reads back. Found by the
// round-trip fuzz target.
TEST(IbRoundTrip, ADialectOneDomainInQuotesIsAPlainNameOrAnError) {
  TIbParse odd(TIBSQLServerVersionType::st_Firebird_30);
  odd.Run("CREATE TABLE T (B \"Gr\xC3\xB6\" NOT NULL);\n");
  EXPECT_NE(DumpMessages(odd.parser->Messages())
                .find("A domain name in double quotes needs SQL dialect 3: Gr\xC3\xB6"),
            std::string::npos)
      << DumpMessages(odd.parser->Messages());
  TIbParse plain(TIBSQLServerVersionType::st_Firebird_30);
  plain.Run("CREATE DOMAIN DOM INTEGER;\nCREATE TABLE T (B \"DOM\" NOT NULL);\n");
  ASSERT_EQ(plain.Errors(), 0) << plain.FirstError();
  const std::string first = Script(plain.objs);
  EXPECT_NE(first.find("B DOM NOT NULL"), std::string::npos) << first;
  std::string messages;
  EXPECT_EQ(Again(first, TIBSQLServerVersionType::st_Firebird_30, messages), first);
  EXPECT_EQ(messages, "");
}

// Comments and literals that do close, at the end of a package's header
// and body and of a view's query, and a "^" inside them: the script we
// write reads back to itself, and the engine runs it.
TEST(IbRoundTrip, TextsEndingInCommentsReadBackAndReplay) {
  const std::string source =
      "SET TERM ^ ;\n"
      "CREATE PACKAGE PK AS\nBEGIN\n  FUNCTION F RETURNS INTEGER; /* ^ */\nEND -- ^\n^\n"
      "CREATE PACKAGE BODY PK AS\nBEGIN\n  FUNCTION F RETURNS INTEGER AS BEGIN RETURN 1; END\n"
      "END /* closed ^ */^\n"
      "CREATE PROCEDURE P_HAT AS BEGIN /* a ^ */ EXIT; END^\n"
      "SET TERM ; ^\n"
      "CREATE TABLE AFTER_THEM (A VARCHAR(5) DEFAULT '^');\n"
      // Our ";" after the view would fall into its comment.
      "CREATE VIEW V_LAST AS SELECT A FROM AFTER_THEM -- the last line\n;\n"
      "CREATE VIEW V_NEXT AS SELECT A FROM V_LAST;\n";
  TIbParse p(TIBSQLServerVersionType::st_Firebird_30);
  p.Run(source);
  ASSERT_EQ(p.Errors(), 0) << p.FirstError();
  const std::string first = Script(p.objs);
  std::string messages;
  EXPECT_EQ(Again(first, TIBSQLServerVersionType::st_Firebird_30, messages), first);
  EXPECT_EQ(messages, "");
  ASSERT_NE(p.objs.FindTable("AFTER_THEM"), nullptr);
  ASSERT_NE(p.objs.FindView("V_NEXT"), nullptr);
  // The texts hold "^": isql would end them there.
  EXPECT_NE(first.find("SET TERM ^^ ;"), std::string::npos) << first;
  EXPECT_EQ(first.find("SET TERM ^ ;"), std::string::npos) << first;
  if (FindIsql().empty()) GTEST_SKIP() << "isql-fb is not installed";
  const TFirebirdReplayResult r = RunFirebirdScript(WithoutDatabaseHeader(first));
  EXPECT_TRUE(r.Ok) << r.Errors << "\n--- script ---\n" << first;
}

// A server version without packages: what the script cannot hold is named
// in a comment, each package and the grants on and to it, and the rest
// reads back.
TEST(IbRoundTrip, PackagesOfAVersionWithoutThemAreNamedNotLost) {
  for (TIBSQLServerVersionType v :
       {TIBSQLServerVersionType::st_InterBase_5x, TIBSQLServerVersionType::st_Firebird_25}) {
    SCOPED_TRACE(static_cast<int>(v));
    TIbParse p(v);
    p.Run(
        "CREATE TABLE T (A INTEGER);\n"
        "CREATE PACKAGE N AS BEGIN END;\n"
        "GRANT EXECUTE ON PACKAGE N TO U;\n"
        "GRANT SELECT ON T TO PACKAGE N;\n"
        "GRANT SELECT ON T TO U;\n");
    ASSERT_EQ(p.Errors(), 0) << p.FirstError();
    const std::string script = Script(p.objs);
    EXPECT_EQ(script.find("CREATE OR"), std::string::npos) << script;
    for (const char* line : {"-- package N: not written, this server version has no packages\r\n",
                             "-- not written with its package: GRANT EXECUTE ON PACKAGE N TO",
                             "-- not written with its package: GRANT SELECT ON T TO PACKAGE N",
                             "\r\nGRANT SELECT ON T TO"})
      EXPECT_NE(script.find(line), std::string::npos) << line << "\n" << script;
    std::string messages;
    const std::string again = Again(script, v, messages);
    EXPECT_EQ(messages, "");
    EXPECT_NE(again.find("\r\nGRANT SELECT ON T TO"), std::string::npos) << again;
  }
}

}  // namespace
}  // namespace qor::test
