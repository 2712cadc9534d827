// Forms that MariaDB prints in SHOW CREATE, read by our parser and written
// by our MySQL script writer, must be written back in a form that makes the
// same object: each row is a form our script once wrote as another one.
// The extractor's live round trip (tests/extract/mysql) holds the same
// forms against the server's own catalog.
#include "parsers/mysql/qorMySQLParser.h"

#include "base/qorMsgMngr.h"
#include "model/qorComp_Prc.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/support/qorModelDump.h"
#include "tests/support/qorServerReplay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

struct FormCase {
  const char* name;
  const char* text;        // a script as the server prints its objects
  const char* written;     // must be in our script
  const char* notWritten;  // must not be in it (none when empty)
};

// clang-format off
const FormCase kCases[] = {
    {"full-text index",
     "CREATE TABLE t (id int NOT NULL, note text, PRIMARY KEY (id), FULLTEXT KEY ft_note (note));",
     "FULLTEXT KEY `ft_note` (`note`)", ""},
    {"spatial index",
     "CREATE TABLE p (pos point NOT NULL, SPATIAL KEY sp_pos (pos));",
     "SPATIAL KEY `sp_pos` (`pos`)", ""},
    {"virtual generated column",
     "CREATE TABLE g (a int, b int GENERATED ALWAYS AS (a * 2) VIRTUAL);",
     "`b` INTEGER GENERATED ALWAYS AS (a * 2) VIRTUAL", ""},
    {"stored generated column",
     "CREATE TABLE g (a int, c varchar(10) AS (concat(a, 'x')) PERSISTENT);",
     "`c` VARCHAR(10) GENERATED ALWAYS AS (concat(a, 'x')) STORED", ""},
    {"a column's own check beside a table check the server named",
     "CREATE TABLE o (amount decimal(12,2) NOT NULL COMMENT 'net' CHECK (amount >= 0), qty int,"
     " CONSTRAINT CONSTRAINT_1 CHECK (qty > 0));",
     "ALTER TABLE `o` MODIFY COLUMN `amount` DECIMAL(12,2) NOT NULL CHECK(amount >= 0) COMMENT 'net'",
     "ADD CHECK"},
    {"character sets of a function's parameter and result",
     "DELIMITER //\nCREATE FUNCTION f(p varchar(8) CHARSET ascii) RETURNS varchar(20) CHARSET latin1"
     " COLLATE latin1_bin DETERMINISTIC RETURN p//\nDELIMITER ;",
     "(`p` VARCHAR(8) CHARACTER SET ascii)\nRETURNS VARCHAR(20) CHARACTER SET latin1 COLLATE latin1_bin",
     ""},
    {"an unsigned parameter and a BOOLEAN result",
     "DELIMITER //\nCREATE FUNCTION f(p TINYINT UNSIGNED) RETURNS tinyint(1) DETERMINISTIC"
     " RETURN p > 2//\nDELIMITER ;",
     "(`p` TINYINT UNSIGNED)\nRETURNS TINYINT(1)", ""},
    {"a procedure's zero-filled width and its OUT parameter's character set",
     "DELIMITER //\nCREATE PROCEDURE p(IN q INT(5) ZEROFILL, OUT r VARCHAR(10) CHARSET latin1)"
     " BEGIN SET r = 'a'; END//\nDELIMITER ;",
     "(IN `q` INTEGER(5) ZEROFILL,\nOUT `r` VARCHAR(10) CHARACTER SET latin1)", ""},
    {"the table's counter",
     "CREATE TABLE c (id int NOT NULL AUTO_INCREMENT PRIMARY KEY) ENGINE=InnoDB AUTO_INCREMENT=42;",
     "ENGINE=InnoDB\nAUTO_INCREMENT=42", ""},
    {"partitions",
     "CREATE TABLE r (id int, y int) ENGINE=InnoDB\n PARTITION BY RANGE (`y`)\n"
     "(PARTITION `p0` VALUES LESS THAN (10) ENGINE = InnoDB,\n"
     " PARTITION `p1` VALUES LESS THAN MAXVALUE ENGINE = InnoDB);",
     "ENGINE=InnoDB\nPARTITION BY RANGE (`y`)\n(PARTITION `p0` VALUES LESS THAN (10) ENGINE = "
     "InnoDB,\n PARTITION `p1` VALUES LESS THAN MAXVALUE ENGINE = InnoDB);", ""},
    {"system versioning",
     "CREATE TABLE s (id int) ENGINE=InnoDB WITH SYSTEM VERSIONING;",
     "ENGINE=InnoDB\nWITH SYSTEM VERSIONING;", ""},
    {"a table made from a query",
     "CREATE TABLE b (id int); CREATE TABLE q ENGINE=InnoDB AS SELECT id FROM b;",
     "CREATE TABLE `q`\nENGINE=InnoDB\nAS SELECT id FROM b;", ""},
    {"a query after the table's clauses",
     "CREATE TABLE b (id int); CREATE TABLE s ENGINE=InnoDB WITH SYSTEM VERSIONING AS SELECT id FROM b;",
     "ENGINE=InnoDB\nWITH SYSTEM VERSIONING AS SELECT id FROM b;", ""},
    {"an application-time period's key part left out with its period",
     "CREATE TABLE w (id int NOT NULL, s date NOT NULL, e date NOT NULL, PERIOD FOR p(s, e),"
     " PRIMARY KEY (id, p WITHOUT OVERLAPS));",
     "PRIMARY KEY(`id`))", "`p`"},
    // Written inline without its name, the key came back named after its
    // column. Found by the round-trip fuzz target.
    {"a unique key's own name",
     "CREATE TABLE c (id int NOT NULL, name varchar(40) NOT NULL, PRIMARY KEY (id),"
     " UNIQUE uq_name (name));",
     "UNIQUE `uq_name` (`name`)", "UNIQUE(`name`)"},
    {"a table like another",
     "CREATE TABLE b (id int unsigned NOT NULL, n varchar(5) DEFAULT 'x', PRIMARY KEY (id),"
     " KEY k_n (n)); CREATE TABLE l LIKE b;",
     "CREATE TABLE `l`(`id` INTEGER UNSIGNED NOT NULL,\n`n` VARCHAR(5) DEFAULT 'x',\nPRIMARY "
     "KEY(`id`),\nKEY `k_n` (`n`))", ""},
};
// clang-format on

// A MySQL collection that a script is parsed into and written back from.
struct TMySQLRound {
  TMySQLRound() {
    objs.SetServerType(TDatabaseType::dbMySQL);
    parser.OnErrorMessage = [](TObject*, const std::string&) {};
    parser.SetObjs(&objs);
  }
  void Parse(const std::string& text) {
    parser.ParseScript(SplitLines(text), &objs);
    parser.AfterParse();
  }
  std::string Script() {
    std::vector<std::string> lines;
    objs.GetScript(lines);
    return ReplaceAll(JoinLines(lines, "\n"), "\r\n", "\n");
  }

  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  TMySQLParser parser{nullptr};
};

TEST(MySQLScriptForms, AFormTheServerPrintsIsWrittenBackAsItself) {
  for (const FormCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TMySQLRound m;
    m.Parse(c.text);
    EXPECT_FALSE(m.parser.Messages().HasErrors()) << test::DumpMessages(m.parser.Messages());
    const std::string script = m.Script();
    EXPECT_NE(script.find(c.written), std::string::npos) << script;
    if (*c.notWritten) {
      EXPECT_EQ(script.find(c.notWritten), std::string::npos) << script;
    }
  }
}

// A body that holds our usual delimiter ("//", then "$$") must still run
// to its own end: written under that delimiter, it ended early on replay
// and each round added "//" lines. Found by the round-trip fuzz target.
TEST(MySQLScriptForms, ABodyHoldingTheDelimiterIsWrittenUnderAnother) {
  const char* const kBodies[] = {"BEGIN SELECT 1//2; END", "BEGIN SELECT 1//2, 3$$4; END"};
  for (const char* body : kBodies) {
    SCOPED_TRACE(body);
    std::string script =
        std::string("DELIMITER ~\nCREATE PROCEDURE p() ") + body + "~\nDELIMITER ;";
    std::string procedure;
    for (int round = 0; round < 2; ++round) {
      TMySQLRound m;
      m.Parse(script);
      ASSERT_FALSE(m.parser.Messages().HasErrors()) << script << "\n"
                                                    << test::DumpMessages(m.parser.Messages());
      ASSERT_EQ(m.objs.Procedures.Count(), 1) << script;
      std::string dump;
      for (auto& e : m.objs.Procedures) dump = test::DumpObject(*e.Value);
      if (round == 0) procedure = dump;
      EXPECT_EQ(dump, procedure) << script;
      script = m.Script();
    }
    EXPECT_EQ(script.find("//\nDELIMITER ;"), std::string::npos) << script;
  }
}

// Reads `script` into a fresh MySQL collection and writes it back; the
// dump of what was read and the parser's messages go to the out arguments.
std::string ReadAndWrite(const std::string& script, std::string& dump, std::string& messages) {
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  objs.SetServerType(TDatabaseType::dbMySQL);
  TMySQLParser parser(nullptr);
  parser.OnErrorMessage = [](TObject*, const std::string&) {};
  parser.SetObjs(&objs);
  parser.ScriptName = "test.sql";
  parser.ParseScript(SplitLines(script), &objs);
  parser.AfterParse();
  messages = test::DumpMessages(parser.Messages());
  dump = test::DumpModel(objs);
  std::vector<std::string> lines;
  objs.GetScript(lines);
  return ReplaceAll(JoinLines(lines, "\n"), "\r\n", "\n");
}

// A query's ";" under another delimiter ends the statement; the server
// keeps it out of the query. Kept in the text, each round trip wrote one
// more ";" after it. Found by the round-trip fuzz target.
const char* const kQueriesEndingInSemicolons =
    "DELIMITER //\n"
    "CREATE TABLE t (a INT)//\n"
    "CREATE VIEW v AS SELECT a FROM t;//\n"
    "CREATE VIEW w AS SELECT a FROM v ; ;\n//\n"
    "CREATE VIEW x AS SELECT a FROM t -- a line comment at the end\n//\n"
    "CREATE VIEW y AS SELECT a FROM t # and MySQL's own\n//\n"
    "CREATE TABLE t_copy AS SELECT a FROM t;//\n"
    "DELIMITER ;\n";

TEST(MySQLScriptForms, AQuerysClosingSemicolonIsNotPartOfIt) {
  std::string dump, messages;
  const std::string first = ReadAndWrite(kQueriesEndingInSemicolons, dump, messages);
  EXPECT_EQ(messages, "");
  for (const char* body : {"| SELECT a FROM t\n", "| SELECT a FROM v\n"})
    EXPECT_NE(dump.find(body), std::string::npos) << body << "\n" << dump;
  EXPECT_EQ(first.find(";;"), std::string::npos) << first;
  EXPECT_NE(first.find("AS SELECT a FROM t;\n"), std::string::npos) << first;
  std::string again, againMessages;
  EXPECT_EQ(ReadAndWrite(first, again, againMessages), first);
  EXPECT_EQ(again, dump);
  EXPECT_EQ(againMessages, "");
}

TEST(MariaDbScriptForms, QueriesEndingInSemicolonsReplay) {
  test::TMariaDbReplayDatabase db;
  ASSERT_TRUE(db.Ready()) << db.Error();
  std::string dump, messages;
  const std::string script = ReadAndWrite(kQueriesEndingInSemicolons, dump, messages);
  const test::TServerReplayResult r = db.Run(script);
  ASSERT_TRUE(r.Ran) << r.Errors;
  EXPECT_TRUE(r.Failures.empty()) << r.Report() << "\n---\n" << script;
  EXPECT_EQ(db.Query("select table_name from information_schema.views where table_schema = "
                     "database() order by 1"),
            (test::TCatalogRows{{"v"}, {"w"}, {"x"}, {"y"}}));
}

// A literal, name or comment left open in a raw body runs to the end of
// the script, and with it every statement after it and the terminator our
// script would write: an error where it opens. So is a query that goes on
// after a ";" of its own: our script would end it there.
TEST(MySQLScriptForms, ARawBodyThatCannotEndWhereItShouldIsAnError) {
  struct Case {
    const char* name;
    const char* script;
    const char* error;
  };
  const Case cases[] = {
      {"a view's quoted name", "CREATE VIEW v AS SELECT `a FROM t;\nCREATE TABLE u (a INT);\n",
       "Unterminated name (opened at line 1, column 25)."},
      {"a view's string", "CREATE VIEW v AS SELECT 'a FROM t;\n",
       "Unterminated string (opened at line 1, column 25)."},
      {"a query's comment", "CREATE TABLE c AS SELECT 1 /* x;\nCREATE TABLE u (a INT);\n",
       "Unterminated comment (opened at line 1, column 28)."},
      {"a procedure's string", "DELIMITER //\nCREATE PROCEDURE p() SELECT \"x//\n",
       "Unterminated string (opened at line 2, column 29)."},
      {"a view's query after its \";\"", "DELIMITER //\nCREATE VIEW v AS SELECT 1; SELECT 2//\n",
       "The query goes on after its \";\": ; SELECT 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string dump, messages;
    ReadAndWrite(c.script, dump, messages);
    EXPECT_NE(messages.find(c.error), std::string::npos) << messages;
  }
}

// A foreign key without the columns it references means the referenced
// table's primary key, also when that table comes later in the script: the
// key was kept without columns there, and our script then named none.
// Found by the round-trip fuzz target.
TEST(MySQLScriptForms, AForeignKeyWithoutColumnsReferencesTheLaterPrimaryKey) {
  std::string dump, messages;
  const std::string written = ReadAndWrite(
      "CREATE TABLE o (c INT, CONSTRAINT fk_c FOREIGN KEY (c) REFERENCES p ON DELETE CASCADE);\n"
      "CREATE TABLE p (id INT NOT NULL, PRIMARY KEY (id));\n",
      dump, messages);
  EXPECT_EQ(messages, "");
  EXPECT_NE(written.find("FOREIGN KEY (`c`) REFERENCES `p` (`id`) ON DELETE CASCADE"),
            std::string::npos)
      << written;
}

// A table of neither columns nor a query was written as "CREATE TABLE t;",
// which neither the server nor our parser takes. Found by the round-trip
// fuzz target.
TEST(MySQLScriptForms, ATableOfNoColumnNorQueryIsAnError) {
  // So is one whose parentheses hold no column (keys, or items passed over).
  for (const char* script :
       {"CREATE TABLE o I;", "CREATE TABLE o ENGINE=InnoDB;",
        "CREATE TABLE o COMMENT 'x' AUTO_INCREMENT=3;", "CREATE TABLE o ((`id`)) COLLATE=x;",
        "CREATE TABLE o (PRIMARY KEY (id));"}) {
    SCOPED_TRACE(script);
    std::string dump, messages;
    const std::string written = ReadAndWrite(script, dump, messages);
    EXPECT_NE(messages.find("error 1:"), std::string::npos) << messages;
    EXPECT_EQ(written.find("CREATE TABLE `o`;"), std::string::npos) << written;
  }
  // Nor is a copy of a table the model does not hold: noted, not kept.
  std::string dump, messages;
  const std::string written = ReadAndWrite("CREATE TABLE o LIKE elsewhere;", dump, messages);
  EXPECT_EQ(messages, "note 1:30 Table o: LIKE elsewhere, a table not in the model: not kept.\n");
  EXPECT_EQ(written.find("CREATE TABLE"), std::string::npos) << written;
  // Nor of one made by a query, whose columns the server derived: it was
  // written as "CREATE TABLE `o`;". Found by the round-trip fuzz target.
  const std::string copy = ReadAndWrite(
      "CREATE TABLE b (id INT);\nCREATE TABLE q AS SELECT id FROM b;\nCREATE TABLE o LIKE q;", dump,
      messages);
  EXPECT_EQ(messages,
            "note 3:22 Table o: LIKE q, a table whose columns the model does not hold: not "
            "kept.\n");
  EXPECT_EQ(copy.find("CREATE TABLE `o`"), std::string::npos) << copy;
}

}  // namespace
}  // namespace qor
