// PostgreSQL operators and operator classes: signature keys, CREATE and DROP
// texts, and the item lines of an operator class.
#include "model/qorComp_Opr.h"
#include "tests/model/qorKindFixture.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using DB = TDatabaseType;

class OprTest : public test::KindTest {};

TEST_F(OprTest, OperatorKeysAndDropBySignature) {
  struct Case {
    const char* label;
    const char* left;
    const char* right;
    const char* key;
    const char* drop;
  };
  const Case cases[] = {
      {"infix", "integer", "integer", "public.=== (integer, integer)",
       "DROP OPERATOR public.===(integer, integer)"},
      {"prefix", "", "bigint", "public.=== (NONE, bigint)",
       "DROP OPERATOR public.===(NONE, bigint)"},
      {"postfix", "bigint", "", "public.=== (bigint, NONE)",
       "DROP OPERATOR public.===(bigint, NONE)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto* o = Make<TOprData>(DB::dbPostgreSQL, "===", "public");
    o->LeftArg = c.left;
    o->RightArg = c.right;
    EXPECT_EQ(o->GetKeyName(), c.key);
    EXPECT_EQ(o->GetDisplayName(), c.key);
    EXPECT_EQ(o->GetDropSQL(), c.drop);
  }
}

TEST_F(OprTest, CreateOperator) {
  auto* o = Make<TOprData>(DB::dbPostgreSQL, "<->", "geo");
  o->Procedure = "point_distance";
  EXPECT_EQ(o->GetCreateSQL(), "CREATE OPERATOR geo.<->(\r\nPROCEDURE = point_distance)");

  o->LeftArg = "point";
  o->RightArg = "point";
  o->Commutator = "<->";
  o->Negator = "<!>";
  o->RestrictProc = "eqsel";
  o->JoinProc = "eqjoinsel";
  o->Hashes = true;
  o->Merges = true;
  o->Sort1 = "<";
  o->Sort2 = "<";
  o->LtCmp = "<";
  o->GtCmp = ">";
  EXPECT_EQ(o->GetCreateSQL(),
            "CREATE OPERATOR geo.<->(\r\nPROCEDURE = point_distance,\r\nLEFTARG = point,\r\n"
            "RIGHTARG = point,\r\nCOMMUTATOR = <->,\r\nNEGATOR = <!>,\r\nRESTRICT = eqsel,\r\n"
            "JOIN = eqjoinsel,\r\nHASHES,\r\nMERGES,\r\nSORT1 = <,\r\nSORT2 = <,\r\nLTCMP = <,\r\n"
            "GTCMP = >)");

  // Without a schema there is no leading dot.
  auto* bare = Make<TOprData>(DB::dbPostgreSQL, "+++");
  bare->Procedure = "f";
  bare->RightArg = "int4";
  EXPECT_EQ(bare->GetCreateSQL(), "CREATE OPERATOR +++(\r\nPROCEDURE = f,\r\nRIGHTARG = int4)");
  EXPECT_EQ(bare->GetDropSQL(), "DROP OPERATOR +++(NONE, int4)");
}

TEST_F(OprTest, OperatorClassTexts) {
  auto* c = Make<TOpcData>(DB::dbPostgreSQL, "int4_abs_ops", "public");
  c->IsDefault = true;
  c->ForType = "int4";
  c->AccessMethod = "btree";
  auto op = [&](int strategy, const char* name, const char* l, const char* r) {
    auto o = std::make_unique<TOpcOprData>(c);
    o->Strategy = strategy;
    o->OperatorName = name;
    o->LeftType = l;
    o->RightType = r;
    c->Operators.push_back(std::move(o));
  };
  op(1, "<#", "", "");
  op(3, "=#", "int4", "");
  EXPECT_EQ(c->GetKeyName(), "int4_abs_ops(btree)");
  // Operators only: the last line has no comma after it.
  EXPECT_EQ(c->GetCreateSQL(),
            "CREATE OPERATOR CLASS public.int4_abs_ops DEFAULT FOR TYPE int4 USING btree AS\r\n"
            "OPERATOR 1 <#,\r\nOPERATOR 3 =# (int4, NONE)");

  auto f = std::make_unique<TOpcFncData>(c);
  f->Support = 1;
  f->FunctionName = "int4_abs_cmp";
  f->ArgTypes = {"int4", "int4"};
  c->Functions.push_back(std::move(f));
  c->StorageType = "int4";
  c->IsDefault = false;
  EXPECT_EQ(c->GetCreateSQL(),
            "CREATE OPERATOR CLASS public.int4_abs_ops FOR TYPE int4 USING btree AS\r\n"
            "OPERATOR 1 <#,\r\nOPERATOR 3 =# (int4, NONE),\r\n"
            "FUNCTION 1 int4_abs_cmp(int4, int4),\r\nSTORAGE int4");
  EXPECT_EQ(c->GetDropSQL(), "DROP OPERATOR CLASS public.int4_abs_ops USING btree");
}

TEST_F(OprTest, NamesAreQuotedWhereTheDialectNeedsIt) {
  auto* c = Make<TOpcData>(DB::dbPostgreSQL, "My Ops", "My Schema");
  c->ForType = "my type";
  c->AccessMethod = "hash";
  auto f = std::make_unique<TOpcFncData>(c);
  f->Support = 2;
  f->FunctionName = "Hash\"Fn";
  c->Functions.push_back(std::move(f));
  EXPECT_EQ(c->GetCreateSQL(),
            "CREATE OPERATOR CLASS \"My Schema\".\"My Ops\" FOR TYPE \"my type\" USING hash AS\r\n"
            "FUNCTION 2 \"Hash\"\"Fn\"()");
}

}  // namespace
}  // namespace qor
