// Collations: the InterBase/Firebird CREATE COLLATION text clause by clause,
// nothing for other dialects, and the comment statement of a collation.
#include "model/qorComp_Clt.h"
#include "tests/model/qorKindFixture.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using DB = TDatabaseType;

class CltTest : public test::KindTest {};

TEST_F(CltTest, CreateTexts) {
  struct Case {
    const char* label;
    void (*fill)(TCltData&);
    const char* expected;
  };
  const Case cases[] = {
      {"defaults: no pad, sensitive", [](TCltData&) {},
       "CREATE COLLATION C1\r\nFOR UTF8\r\nNO PAD\r\nCASE SENSITIVE\r\nACCENT SENSITIVE\r\n"},
      {"from a base collation, insensitive, attributes",
       [](TCltData& c) {
         c.FromCollation = "UNICODE";
         c.ExternalName = "ignored";
         c.PadSpace = true;
         c.CaseSensitive = false;
         c.AccentSensitive = false;
         c.SpecificAttributes = "NUMERIC-SORT=1";
       },
       "CREATE COLLATION C1\r\nFOR UTF8\r\nFROM UNICODE\r\nPAD SPACE\r\nCASE INSENSITIVE\r\n"
       "ACCENT INSENSITIVE\r\n'NUMERIC-SORT=1'\r\n"},
      {"from an external name with a quote", [](TCltData& c) { c.ExternalName = "O'NEIL"; },
       "CREATE COLLATION C1\r\nFOR UTF8\r\nFROM EXTERNAL('O''NEIL')\r\nNO PAD\r\nCASE SENSITIVE\r\n"
       "ACCENT SENSITIVE\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto* clt = Make<TCltData>(DB::dbInterBase, "C1");
    clt->CharacterSet = "UTF8";
    c.fill(*clt);
    EXPECT_EQ(clt->GetCreateSQL(), c.expected);
    clt->Suppressed = true;
    EXPECT_EQ(clt->GetScriptSQL(), c.expected);
  }
}

TEST_F(CltTest, OtherDialectsWriteNothing) {
  for (DB server : {DB::dbMSSQL, DB::dbPostgreSQL, DB::dbOracle}) {
    auto* c = Make<TCltData>(server, "C1");
    c->CharacterSet = "UTF8";
    EXPECT_EQ(c->GetCreateSQL(), "");
  }
}

TEST_F(CltTest, DropAndDescription) {
  auto* c = Make<TCltData>(DB::dbInterBase, "c_lower");
  EXPECT_EQ(c->GetDropSQL(), "/* Drop: c_lower (TCltData) */\r\nDROP COLLATION \"c_lower\"");
  c->SetDescription("d");
  IB().IBCompareOptions.UpdateDescriptionMode = TUpdateDescriptionType::udComment;
  EXPECT_EQ(c->GetDescriptionSQL(), "COMMENT ON COLLATION \"c_lower\" IS\r\n'd'");
}

}  // namespace
}  // namespace qor
