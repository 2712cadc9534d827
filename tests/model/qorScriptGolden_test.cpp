// The golden scripts: the shop fixture written as the whole script and as
// the script of its ORDERS table (with the header) in each of the eight
// dialects, compared with the reviewed files in tests/data/golden. A change
// to them is deliberate: QOR_UPDATE_GOLDEN=1 writes the files anew.
#include "platform/qorStrings.h"
#include "tests/model/qorScriptFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace qor::test {
namespace {

using DB = TDatabaseType;

struct GoldenCase {
  DB st;
  const char* file;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.file; }

// clang-format off
const GoldenCase kGoldenCases[] = {
    {DB::dbInterBase, "interbase.sql"}, {DB::dbSybaseASA, "asa.sql"},
    {DB::dbMySQL, "mysql.sql"},         {DB::dbOracle, "oracle.sql"},
    {DB::dbMSSQL, "mssql.sql"},         {DB::dbPostgreSQL, "postgresql.sql"},
    {DB::dbDB2, "db2.sql"},             {DB::dbSybaseASE, "ase.sql"},
};
// clang-format on

std::string GoldenPath(const char* file) {
  return std::string(QOR_TEST_DATA_DIR) + "/golden/" + file;
}

bool UpdateGolden() {
  const char* v = std::getenv("QOR_UPDATE_GOLDEN");
  return v && std::string(v) == "1";
}

class GoldenScript : public ::testing::TestWithParam<GoldenCase> {
 protected:
  TObjs& Objs() { return *structure.GetObjs(); }

  // The whole script, a marker line, then the ORDERS table on its own.
  std::string Render() {
    TShopFixture shop(Objs());
    shop.Build(GetParam().st);
    std::vector<std::string> lines;
    Objs().GetScript(lines);
    lines.emplace_back("-- ---- table ORDERS ----");
    // By its key, which carries the schema where the dialect has one.
    Objs().GenerateTableScript(lines, shop.Orders()->GetKeyName(), /*withHeader=*/true,
                               TCmpObjSetType::All());
    return JoinLines(lines) + "\r\n";
  }

  TDBStructure structure;
};

TEST_P(GoldenScript, MatchesTheReviewedFile) {
  const std::string path = GoldenPath(GetParam().file);
  const std::string got = Render();
  if (UpdateGolden()) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << got;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
    GTEST_SKIP() << "rewrote " << path;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in.good()) << "missing " << path << " (QOR_UPDATE_GOLDEN=1 writes it)";
  const std::string want{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // Line by line, so that a difference shows where it is.
  EXPECT_THAT(SplitLines(got), ::testing::ElementsAreArray(SplitLines(want)));
  EXPECT_EQ(got, want) << "line breaks differ";
}

TEST_P(GoldenScript, SameTextOnASecondRun) {
  const std::string first = Render();
  EXPECT_EQ(Render(), first);
}

INSTANTIATE_TEST_SUITE_P(Dialects, GoldenScript, ::testing::ValuesIn(kGoldenCases),
                         [](const auto& info) {
                           std::string n = info.param.file;
                           return n.substr(0, n.find('.'));
                         });

}  // namespace
}  // namespace qor::test
