// Rules: MS SQL rule objects, PostgreSQL rewrite rules and the plain form of
// the other dialects, with their drop texts.
#include "model/qorComp_Rul.h"
#include "tests/model/qorKindFixture.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using DB = TDatabaseType;

class RulTest : public test::KindTest {};

TEST_F(RulTest, CreateTexts) {
  struct Case {
    const char* label;
    DB server;
    const char* name;
    const char* schema;
    void (*fill)(TRulData&);
    const char* expected;
  };
  const Case cases[] = {
      {"MS SQL rule", DB::dbMSSQL, "R_POSITIVE", "", [](TRulData& r) { r.RuleText = "@v > 0"; },
       "CREATE RULE [R_POSITIVE] AS @v > 0"},
      {"MS SQL bracket doubled", DB::dbMSSQL, "R]1", "", [](TRulData& r) { r.RuleText = "@v > 0"; },
       "CREATE RULE [R]]1] AS @v > 0"},
      {"MS SQL without text: the server's text", DB::dbMSSQL, "R2", "",
       [](TRulData& r) { r.ObjectSource = "create rule R2 as @v < 9"; },
       "create rule R2 as @v < 9"},
      {"PostgreSQL instead of insert", DB::dbPostgreSQL, "r_ins", "public",
       [](TRulData& r) {
         r.RuleEvent = 1;
         r.RuleTable = "orders";
         r.RuleTableSchema = "sales";
         r.DoKind = "INSTEAD";
         r.RuleText = "INSERT INTO log VALUES (NEW.id)";
       },
       "CREATE RULE r_ins AS ON INSERT TO sales.orders DO INSTEAD\r\n"
       " INSERT INTO log VALUES (NEW.id)"},
      {"PostgreSQL select do nothing, table without schema", DB::dbPostgreSQL, "r_sel", "",
       [](TRulData& r) {
         r.RuleEvent = 5;
         r.RuleTable = "t";
         r.DoNothing = true;
       },
       "CREATE RULE r_sel AS ON SELECT TO t DO NOTHING"},
      {"PostgreSQL delete and update words", DB::dbPostgreSQL, "r_del", "",
       [](TRulData& r) {
         r.RuleEvent = 3;
         r.RuleTable = "t";
       },
       "CREATE RULE r_del AS ON DELETE TO t DO"},
      {"Oracle qualified name", DB::dbOracle, "R", "S", [](TRulData& r) { r.RuleText = "x"; },
       "CREATE RULE S.R AS x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto* r = Make<TRulData>(c.server, c.name, c.schema);
    c.fill(*r);
    EXPECT_EQ(r->GetCreateSQL(), c.expected);
    r->Suppressed = true;
    EXPECT_EQ(r->GetScriptSQL(), c.expected);
  }
}

TEST_F(RulTest, DropTexts) {
  auto* pg = Make<TRulData>(DB::dbPostgreSQL, "r_ins", "sales");
  pg->RuleTable = "orders";
  EXPECT_EQ(pg->GetDropSQL(), "DROP RULE IF EXISTS r_ins ON sales.orders");
  auto* ms = Make<TRulData>(DB::dbMSSQL, "R1");
  EXPECT_EQ(ms->GetDropSQL(), "/* Drop: R1 (TRulData) */\r\nDROP RULE R1");
}

}  // namespace
}  // namespace qor
