// The replay helper itself: a script the engine accepts succeeds, the first
// error stops the run and is reported, and each run gets a database of its
// own.
#include "tests/support/qorFirebirdReplay.h"

#include <gtest/gtest.h>

namespace qor::test {
namespace {

TEST(FirebirdReplay, AcceptedScriptSucceedsOnAFreshDatabase) {
  ASSERT_FALSE(FindIsql().empty()) << "isql-fb is missing: run scripts/install-deps.sh";
  // The same table in two runs: each starts from an empty database.
  for (int run = 0; run < 2; ++run) {
    const TFirebirdReplayResult r = RunFirebirdScript(
        "CREATE TABLE T (A INTEGER NOT NULL, B VARCHAR(10));\n"
        "SELECT 'DIALECT ' || MON$SQL_DIALECT FROM MON$DATABASE;");
    ASSERT_TRUE(r.Ok) << r.Errors;
    EXPECT_NE(r.Output.find("DIALECT 3"), std::string::npos) << r.Output;
  }
}

TEST(FirebirdReplay, FirstErrorStopsTheRunAndIsReported) {
  const TFirebirdReplayResult r = RunFirebirdScript(
      "CREATE TABLE T (A INTEGER);\n"
      "CREATE TABLE T (A INTEGER);\n"
      "SELECT 'REACHED' FROM RDB$DATABASE;");
  EXPECT_FALSE(r.Ok);
  EXPECT_FALSE(r.TimedOut);
  EXPECT_NE(r.Errors.find("Statement failed"), std::string::npos) << r.Errors;
  EXPECT_NE(r.Errors.find("Table T already exists"), std::string::npos) << r.Errors;
  EXPECT_EQ(r.Output.find("REACHED"), std::string::npos) << r.Output;
}

TEST(FirebirdReplay, ARunOutOfTimeIsStoppedAndReported) {
  TFirebirdReplayOptions o;
  o.Timeout = std::chrono::seconds(0);
  const TFirebirdReplayResult r = RunFirebirdScript("CREATE TABLE T (A INTEGER);", o);
  EXPECT_FALSE(r.Ok);
  EXPECT_TRUE(r.TimedOut);
  EXPECT_NE(r.Errors.find("did not finish in time"), std::string::npos) << r.Errors;
}

TEST(FirebirdReplay, DialectOneDatabase) {
  TFirebirdReplayOptions o;
  o.Dialect = 1;
  o.CharSet = "UTF8";
  const TFirebirdReplayResult r = RunFirebirdScript(
      "CREATE TABLE T (D DATE);\n"
      "SELECT 'DIALECT ' || MON$SQL_DIALECT FROM MON$DATABASE;\n"
      "SELECT 'CS ' || TRIM(RDB$CHARACTER_SET_NAME) FROM RDB$DATABASE;",
      o);
  ASSERT_TRUE(r.Ok) << r.Errors;
  EXPECT_NE(r.Output.find("DIALECT 1"), std::string::npos) << r.Output;
  EXPECT_NE(r.Output.find("CS UTF8"), std::string::npos) << r.Output;
}

}  // namespace
}  // namespace qor::test
