// Generators and sequences: the value setters, CREATE and DROP in every
// dialect, and the options of a DB2 identity column.
#include "model/qorComp_Gnr.h"

#include "tests/model/qorDDLFixture.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace qor::test {
namespace {

using GnrTest = DDLTest;

TEST_F(GnrTest, Setters) {
  Server(DB::dbOracle);
  TGnrData* g = Scratch<TGnrData>("G");
  EXPECT_EQ(g->GetCache(), "20");
  EXPECT_FALSE(g->GetNoCache());
  EXPECT_TRUE(g->NoMaxValue);
  g->SetCache("0");
  EXPECT_EQ(g->GetCache(), "");
  EXPECT_TRUE(g->GetNoCache());
  g->SetCache("50");
  g->SetNoCache(true);
  EXPECT_EQ(g->GetCache(), "");
  g->NoMaxValue = false;
  g->SetMaxValue("999999999999999999999999999");
  EXPECT_EQ(g->GetMaxValue(), "");
  EXPECT_TRUE(g->NoMaxValue);
  g->SetMaxValue("100");
  EXPECT_EQ(g->GetMaxValue(), "100");
  ASSERT_NE(g->SequenceType, nullptr);
  EXPECT_EQ(g->SequenceType->OwnerObj, g);
}

TEST_F(GnrTest, CreateAndDropPerDialect) {
  struct Case {
    const char* label;
    DB server;
    IBV version;
    std::function<void(TGnrData&)> setup;
    const char* create;
    const char* drop;
  };
  const IBV v = IBV::st_Firebird_30;
  const Case cases[] = {
      {"Firebird", DB::dbInterBase, v, [](TGnrData&) {}, "CREATE GENERATOR SEQ_A",
       "DROP GENERATOR SEQ_A"},
      {"Firebird 1.5 drops", DB::dbInterBase, IBV::st_FireBird_15, [](TGnrData&) {},
       "CREATE GENERATOR SEQ_A", "DROP GENERATOR SEQ_A"},
      {"InterBase 5 deletes the catalog row", DB::dbInterBase, IBV::st_InterBase_5x,
       [](TGnrData&) {}, "CREATE GENERATOR SEQ_A",
       "/* Drop generator: SEQ_A */\r\nDELETE FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = 'SEQ_A'"},
      {"Oracle defaults go unsaid", DB::dbOracle, v,
       [](TGnrData& g) { g.MinValue = "1", g.IncrementBy = "1"; },
       "CREATE SEQUENCE SEQ_A\r\ncache 20", "DROP SEQUENCE SEQ_A"},
      {"Oracle with every option", DB::dbOracle, v,
       [](TGnrData& g) {
         g.SetParentName("S");
         g.MinValue = "10", g.SetMaxValue("1000"), g.IncrementBy = "5";
         g.StartWith = "500";  // where the sequence stood
         g.SetCache("0");
         g.Order = true, g.Cycle = true;
       },
       "CREATE SEQUENCE S.SEQ_A\r\nstart with 500\r\nminvalue 10\r\nmaxvalue 1000\r\nincrement by 5\r\nnocache"
       "\r\norder\r\ncycle",
       "DROP SEQUENCE S.SEQ_A"},
      {"DB2 has sequences", DB::dbDB2, v,
       [](TGnrData& g) { g.StartWith = "100", g.IncrementBy = "10", g.Cycle = true; },
       "CREATE SEQUENCE SEQ_A START WITH 100 INCREMENT BY 10 CACHE 20 CYCLE",
       "DROP SEQUENCE SEQ_A"},
      {"MS SQL", DB::dbMSSQL, v,
       [](TGnrData& g) {
         g.SetParentName("DBO");
         g.SequenceType->DataType = dt::BIGINT;
         g.StartWith = "1", g.IncrementBy = "2", g.MinValue = "1";
         g.Cycle = true;
       },
       "CREATE SEQUENCE DBO.SEQ_A\r\n    AS BIGINT\r\n    START WITH 1\r\n    INCREMENT BY 2"
       "\r\n    CYCLE\r\n    CACHE 20",
       ""},
      {"MS SQL without a type or cache", DB::dbMSSQL, v, [](TGnrData& g) { g.SetNoCache(true); },
       "CREATE SEQUENCE SEQ_A\r\n    NO CACHE", ""},
      {"PostgreSQL writes 1 too", DB::dbPostgreSQL, v,
       [](TGnrData& g) {
         g.SetName("seq_a"), g.SetParentName("s");
         g.Temporary = true, g.IncrementBy = "1", g.MinValue = "1", g.StartWith = "1";
         g.OwnedBy = "s.t.id";
       },
       "CREATE TEMPORARY SEQUENCE s.seq_a INCREMENT BY 1 MINVALUE 1 START WITH 1 CACHE 20"
       " OWNED BY s.t.id",
       "DROP SEQUENCE s.seq_a"},
      {"other dialects", DB::dbSybaseASA, v, [](TGnrData&) {}, "CREATE GENERATOR SEQ_A", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Server(c.server, c.version);
    TGnrData* g = Scratch<TGnrData>("SEQ_A");
    c.setup(*g);
    EXPECT_EQ(g->GetCreateSQL(), c.create);
    EXPECT_EQ(g->GetDropSQL(), c.drop);
  }
}

TEST_F(GnrTest, DB2IdentityOptions) {
  Server(DB::dbDB2);
  TGnrData* g = Scratch<TGnrData>("G");
  g->StartWith = "100";
  g->IncrementBy = "10";
  EXPECT_EQ(g->GetDB2IdentityOptions(), "(START WITH 100, INCREMENT BY 10, CACHE 20)");
  // Options without a value are the server's to choose.
  g->StartWith.clear();
  g->SetNoCache(true);
  EXPECT_EQ(g->GetDB2IdentityOptions(), "(INCREMENT BY 10)");
  g->IncrementBy.clear();
  EXPECT_EQ(g->GetDB2IdentityOptions(), "");
  Server(DB::dbInterBase);
  TGnrData* ib = Scratch<TGnrData>("G");
  ib->StartWith = "1";
  EXPECT_EQ(ib->GetDB2IdentityOptions(), "");
}

}  // namespace
}  // namespace qor::test
