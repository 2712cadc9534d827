// The model dump the parser tests compare against: it must name every kind
// of the shop fixture, be the same text for the same model whatever the
// order objects and edges were made in, and show a changed field.
#include "tests/support/qorModelDump.h"

#include "model/qorDBStructure.h"
#include "tests/model/qorScriptFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace qor::test {
namespace {

TEST(ModelDump, ShopFixtureNamesEveryKindItHolds) {
  TObjs objs;
  TShopFixture(objs).Build(TDatabaseType::dbInterBase);
  const std::string dump = DumpModel(objs);
  for (const char* head :
       {"schema APP\n", "domain D_MONEY\n", "table CUSTOMERS\n", "table ORDERS\n",
        "index IX_ORDERS_CUSTOMER\n", "package PKG_UTIL\n", "exception E_NO_CUSTOMER\n",
        "generator G_ORDERS\n", "view V_BIG_ORDERS\n", "procedure P_ORDER_COUNT\n",
        "function F_TWICE\n", "trigger ORDERS_BI\n", "event EV_NIGHTLY\n", "role Role: R_CLERK\n",
        "external-function UDF_ABS\n", "collation UNICODE_CI\n", "  message: No such customer\n"}) {
    EXPECT_NE(dump.find(head), std::string::npos) << head << "\nin\n" << dump;
  }
  EXPECT_EQ(dump.find('\r'), std::string::npos) << "bodies are written with LF only";
}

TEST(ModelDump, SameModelSameTextAndAChangedFieldShows) {
  TObjs a, b;
  TShopFixture(a).Build(TDatabaseType::dbInterBase);
  TShopFixture(b).Build(TDatabaseType::dbInterBase);
  EXPECT_EQ(DumpModel(a), DumpModel(b));

  TFldData* col = b.FindTable("ORDERS")->Fields.Object(0);
  ASSERT_NE(col, nullptr);
  col->Nullable = !col->Nullable;
  col->DefaultValue = "'a\r\nb'";
  const std::string changed = DumpModel(b);
  EXPECT_NE(DumpModel(a), changed);
  EXPECT_NE(changed.find("default=['a\\nb']"), std::string::npos) << changed;
}

TEST(ModelDump, EdgesAreWrittenSortedWhateverTheirOrder) {
  TObjs a, b;
  TShopFixture(a).Build(TDatabaseType::dbInterBase);
  TShopFixture(b).Build(TDatabaseType::dbInterBase);
  auto link = [](TObjs& o, bool reversed) {
    TDbObj* v = o.FindView("V_BIG_ORDERS");
    TDbObj* t1 = o.FindTable("ORDERS");
    TDbObj* t2 = o.FindTable("CUSTOMERS");
    if (reversed) std::swap(t1, t2);
    o.AddDependency(v, t1, 1, 1);
    o.AddDependency(v, t2, 1, 1, "ID");
  };
  link(a, false);
  link(b, true);
  // An edge to a column names the column with its table; lines are sorted.
  const std::string da = DumpModel(a), db = DumpModel(b);
  EXPECT_NE(da.find("  depends: table ORDERS\n  depends: table-column CUSTOMERS.ID\n"),
            std::string::npos)
      << da;
  EXPECT_NE(db.find("  depends: table CUSTOMERS\n  depends: table-column ORDERS.ID\n"),
            std::string::npos)
      << db;
}

TEST(ModelDump, CorpusDirectivesAreReadFromTheLeadingComments) {
  const std::string script =
      "-- a corpus file\r\n-- qor: versions=st_Firebird_25,st_Firebird_30 dialect=3\n\n"
      "CREATE TABLE T (A INT); -- qor: dialect=1\n";
  EXPECT_EQ(CorpusDirective(script, "versions"), "st_Firebird_25,st_Firebird_30");
  EXPECT_EQ(CorpusDirective(script, "dialect"), "3");
  EXPECT_EQ(CorpusDirective(script, "missing", "x"), "x");
  EXPECT_EQ(CorpusDirective("CREATE TABLE T (A INT);\n-- qor: dialect=1\n", "dialect"), "")
      << "a directive after the first statement is not a directive";
}

TEST(ModelDump, CompareWithExpectedNamesTheFirstDifferingLine) {
  if (const char* u = std::getenv("QOR_UPDATE_GOLDEN"); u && std::string_view(u) == "1")
    GTEST_SKIP() << "QOR_UPDATE_GOLDEN=1 rewrites instead of comparing";
  const std::string path =
      (std::filesystem::temp_directory_path() / "qor-dump-compare-test.dump").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << "table T\n  column 0 A: INTEGER\n";
  }
  EXPECT_EQ(CompareWithExpected("table T\n  column 0 A: INTEGER\n", path), "");
  const std::string diff = CompareWithExpected("table T\n  column 0 A: BIGINT\n", path);
  EXPECT_NE(diff.find(":2 differs"), std::string::npos) << diff;
  EXPECT_NE(diff.find("BIGINT"), std::string::npos) << diff;
  EXPECT_NE(CompareWithExpected("x", path + ".missing").find("is missing"), std::string::npos);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace qor::test
