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

}  // namespace
}  // namespace qor
