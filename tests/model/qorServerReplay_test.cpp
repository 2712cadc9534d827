// The replay on the suite's PostgreSQL and MariaDB servers must itself be
// trusted: a refused statement comes back with the engine's message and
// the statement's text, the statements after it still run, and the
// catalog reads back what the script made.
#include "tests/support/qorServerReplay.h"

#include <gtest/gtest.h>

#include <string>

namespace qor::test {
namespace {

TEST(PostgresReplay, ReportsEveryRefusedStatementAndGoesOn) {
  TPostgresReplayDatabase db;
  ASSERT_TRUE(db.Ready()) << db.Error();
  const TServerReplayResult r = db.Run(
      "create table a (x int);\n"
      "create table b (\n  x intt,\n  y int);\n"
      "create function f() returns int as $$\nbegin\n  return 1;\nend $$ language plpgsql;\n"
      "selec 1;\n"
      "create table c (x int, y text);\n"
      "revoke select on a from public;\n");
  ASSERT_TRUE(r.Ran) << r.Errors;
  ASSERT_EQ(r.Failures.size(), 2u) << r.Report();
  EXPECT_EQ(r.Failures[0].Line, 4);
  EXPECT_EQ(r.Failures[0].Statement, "create table b (\n  x intt,\n  y int);");
  EXPECT_EQ(r.Failures[0].Message.substr(0, 26), "type \"intt\" does not exist");
  EXPECT_EQ(r.Failures[1].Statement, "selec 1;");
  EXPECT_NE(r.Failures[1].Message.find("syntax error"), std::string::npos);
  std::string error;
  const TCatalogRows rows = db.Query(
      "select table_name, column_name, data_type from information_schema.columns "
      "where table_schema = 'public' order by 1, ordinal_position",
      &error);
  ASSERT_TRUE(error.empty()) << error;
  const TCatalogRows want = {{"a", "x", "integer"}, {"c", "x", "integer"}, {"c", "y", "text"}};
  EXPECT_EQ(rows, want);
  EXPECT_TRUE(db.Query("selec", &error).empty());
  EXPECT_FALSE(error.empty());
}

TEST(MariaDbReplay, ReportsEveryRefusedStatementAndGoesOn) {
  TMariaDbReplayDatabase db;
  ASSERT_TRUE(db.Ready()) << db.Error();
  const TServerReplayResult r = db.Run(
      "create table a (x int);\n"
      "create table b (\n  x intt,\n  y int);\n"
      "DELIMITER ^\n"
      "create procedure p()\nbegin\n  selec 1;\nend^\n"
      "create procedure q()\nbegin\n  select 1;\nend^\n"
      "DELIMITER ;\n"
      "create table c (x int, y text comment 'tab\\there');\n");
  ASSERT_TRUE(r.Ran) << r.Errors;
  ASSERT_EQ(r.Failures.size(), 2u) << r.Report();
  EXPECT_EQ(r.Failures[0].Line, 2);
  // The client echoes the statement as it sent it, without its delimiter.
  EXPECT_EQ(r.Failures[0].Statement, "create table b (\n  x intt,\n  y int)");
  EXPECT_NE(r.Failures[0].Message.find("Unknown data type"), std::string::npos)
      << r.Failures[0].Message;
  EXPECT_EQ(r.Failures[1].Line, 6);
  EXPECT_EQ(r.Failures[1].Statement, "create procedure p()\nbegin\n  selec 1;\nend");
  EXPECT_EQ(r.Failures[1].Message.substr(0, 16), "ERROR 1064 (4200");
  std::string error;
  const TCatalogRows rows = db.Query(
      "select table_name, column_name, column_comment from information_schema.columns "
      "where table_schema = database() order by 1, ordinal_position",
      &error);
  ASSERT_TRUE(error.empty()) << error;
  const TCatalogRows want = {{"a", "x", ""}, {"c", "x", ""}, {"c", "y", "tab\there"}};
  EXPECT_EQ(rows, want);
  EXPECT_EQ(db.Query("select routine_name from information_schema.routines "
                     "where routine_schema = database()"),
            TCatalogRows{{"q"}});
}

}  // namespace
}  // namespace qor::test
