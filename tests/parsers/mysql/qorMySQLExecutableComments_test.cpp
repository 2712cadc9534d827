// Executable comments ("/*!50001 ... */", "/*M!100100 ... */") hold a
// dump's views, triggers and many table options: the parser reads them as
// the SQL they hold for every version the server version option runs,
// passes the others with a note, and keeps in step with the text whatever
// quoted names and strings inside them hold.
#include "parsers/mysql/qorMySQLParser.h"

#include "base/qorMsgMngr.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/support/qorModelDump.h"

#include <gtest/gtest.h>

#include <string>

namespace qor {
namespace {

using V = TMySQLServerVersionType;

struct CommentCase {
  const char* name;
  V version;
  const char* text;
  const char* objects;   // the kinds and names the model holds, in list order
  const char* messages;  // test::DumpMessages
};

// The tables, views, triggers and routines of the collection by name, and
// what a table's options hold.
std::string Objects(TObjs& objs) {
  std::string out;
  for (auto& e : objs.Tables) {
    out += "table " + e.Value->GetName();
    const std::string options = e.Value->MySQLOptions.GetOptionsSQL();
    if (!options.empty()) out += " [" + TrimCtl(ReplaceAll(options, "\r\n", " ")) + "]";
    out += "; ";
  }
  for (auto& e : objs.Views)
    out += "view " + e.Value->GetName() + " = " + e.Value->GetText() + "; ";
  for (auto& e : objs.Triggers)
    out += "trigger " + e.Value->GetName() + " = " + e.Value->GetText() + "; ";
  for (auto& e : objs.Procedures)
    out += "routine " + e.Value->GetName() + " = " + e.Value->GetText() + "; ";
  return out;
}

// A collection of the version given and the parser that read `text` into it.
struct TParsed {
  TParsed(const std::string& text, V version) {
    objs.SetServerType(TDatabaseType::dbMySQL);
    objs.MySQLServerOptions.SQLServerVersion = version;
    parser.OnErrorMessage = [](TObject*, const std::string&) {};
    parser.SetObjs(&objs);
    parser.ParseScript(SplitLines(text), &objs);
    parser.AfterParse();
  }
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  TMySQLParser parser{nullptr};
};

// clang-format off
const CommentCase kCases[] = {
    {"a dump's view, after its stand-in", V::st_MySQL_5x,
     "/*!50001 CREATE VIEW `v` AS SELECT\n 1 AS `a` */;\n"
     "/*!50001 DROP VIEW IF EXISTS `v`*/;\n"
     "/*!50001 CREATE ALGORITHM=UNDEFINED */\n"
     "/*!50013 DEFINER=`root`@`localhost` SQL SECURITY DEFINER */\n"
     "/*!50001 VIEW `v` AS select 2 AS `a` */;\n",
     "view v = select 2 AS `a`; ", ""},
    {"a dump's trigger", V::st_MySQL_5x,
     "CREATE TABLE t (a varchar(9));\nDELIMITER ;;\n"
     "/*!50003 CREATE*/ /*!50017 DEFINER=`root`@`localhost`*/ /*!50003 TRIGGER tr BEFORE INSERT ON t "
     "FOR EACH ROW BEGIN SET NEW.a = 'x;;*/'; END */;;\nDELIMITER ;\n",
     "table t; trigger tr = BEGIN SET NEW.a = 'x;;*/'; END; ", ""},
    {"a quoted \"*/\" ends nothing", V::st_MySQL_5x,
     "/*!50001 DROP VIEW IF EXISTS `v*/`*/;\n/*!40101 SET @x = '*/' */;\n"
     "CREATE TABLE `t*/` (`c*/` int);\n",
     "table t*/; ", ""},
    {"table options inside one", V::st_MySQL_5x,
     "CREATE TABLE t (a int) ENGINE=InnoDB /*!40101 DEFAULT CHARSET=utf8mb4 */;",
     "table t [ENGINE=InnoDB DEFAULT CHARSET=utf8mb4]; ", ""},
    {"MySQL 5.7's partitions inside one", V::st_MySQL_5x,
     "CREATE TABLE t (y int) ENGINE=InnoDB\n/*!50100 PARTITION BY HASH (y)\nPARTITIONS 4 */;",
     "table t [ENGINE=InnoDB PARTITION BY HASH (y) PARTITIONS 4]; ", ""},
    {"a version above the option is noted, not read", V::st_MySQL_5x,
     "/*!80023 CREATE TABLE t8 (a int) */;\nCREATE TABLE t (a int /*!80023 INVISIBLE */);",
     "table t; ",
     "note 1:1 Not read: executable comment for server version 80023: CREATE TABLE t8 (a int)\n"
     "note 2:23 Not read: executable comment for server version 80023: INVISIBLE\n"},
    {"the same version read when the option runs it", V::st_MySQL_8x,
     "/*!80023 CREATE TABLE t8 (a int) */;\n",
     "table t8; ", ""},
    {"MariaDB's form is a plain comment to MySQL", V::st_MySQL_8x,
     "/*M!100100 CREATE TABLE m (a int) */;\n/*M!999999\\- enable the sandbox mode */\n",
     "", ""},
    {"MariaDB's form read by MariaDB, six digits and all", V::st_MariaDB_10x,
     "/*M!100100 CREATE TABLE m (a int) */;\n/*!100200 CREATE TABLE n (a int) */;\n"
     "/*M!999999\\- enable the sandbox mode */\n",
     "table m; table n; ",
     "note 3:1 Not read: executable comment for server version 999999: \\\\- enable the sandbox mode\n"},
    {"no version: always read", V::st_MySQL_3x,
     "/*! CREATE TABLE t (a int) */;", "table t; ", ""},
    {"a plain comment stays one", V::st_MySQL_5x,
     "/* CREATE TABLE x (a int) */ CREATE TABLE t (a int);", "table t; ", ""},
    {"a routine's body keeps its own executable comment as written", V::st_MySQL_5x,
     "DELIMITER //\nCREATE PROCEDURE p() BEGIN /*!50001 SELECT '*/'; */ END//\nDELIMITER ;\n",
     "routine p = BEGIN /*!50001 SELECT '*/'; */ END; ", ""},
};
// clang-format on

TEST(MySQLExecutableComments, AreReadAsTheSQLTheyHoldForTheServerVersion) {
  for (const CommentCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TParsed parsed(c.text, c.version);
    EXPECT_EQ(Objects(parsed.objs), c.objects);
    EXPECT_EQ(test::DumpMessages(parsed.parser.Messages()), c.messages);
  }
}

TEST(MySQLExecutableComments, AnUnterminatedOneIsAnError) {
  TParsed parsed("CREATE TABLE t (a int);\n/*!50001 CREATE VIEW v AS SELECT 1", V::st_MySQL_5x);
  EXPECT_EQ(Objects(parsed.objs), "table t; ");
  EXPECT_TRUE(parsed.parser.Messages().HasErrors()) << test::DumpMessages(parsed.parser.Messages());
}

}  // namespace
}  // namespace qor
