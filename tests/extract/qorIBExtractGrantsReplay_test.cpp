// The grants of the every-kind fixture through the whole road: extracted,
// written as the InterBase script, replayed into a fresh embedded database,
// and the replay's RDB$USER_PRIVILEGES held row by row against the
// source's: no privilege lost, none widened, each grantor kept.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "model/qorComp_Rol.h"
#include "platform/qorStrings.h"
#include "tests/extract/qorIBExtractFixture.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qor {
namespace {

using test::ReadPrivileges;
using test::TPrivilegeRow;

// Rows that cannot be equal in the two databases, each with its reason.
struct TReviewedRow {
  std::function<bool(const TPrivilegeRow&)> matches;
  const char* reason;
};

// The owner's rights on a column's implicit domain: the engine names those
// domains RDB$n anew in each database (their number is held apart).
bool OnImplicitDomain(const TPrivilegeRow& r) {
  return r.objectType == 9 && r.relation.rfind("RDB$", 0) == 0 && r.user == "SYSDBA" &&
         r.grantor == "SYSDBA";
}

const std::vector<TReviewedRow> kReviewedRows = {
    {OnImplicitDomain, "the engine-made name of an implicit domain"},
};

// The rows of `a` that `b` lacks (as multisets), less the reviewed ones.
std::vector<std::string> Missing(const std::vector<TPrivilegeRow>& a,
                                 const std::vector<TPrivilegeRow>& b) {
  std::map<std::string, int> have;
  for (const TPrivilegeRow& r : b) ++have[r.Text()];
  std::vector<std::string> out;
  for (const TPrivilegeRow& r : a) {
    if (have[r.Text()]-- > 0) continue;
    if (std::any_of(kReviewedRows.begin(), kReviewedRows.end(),
                    [&r](const TReviewedRow& rv) { return rv.matches(r); }))
      continue;
    out.push_back(r.Text());
  }
  return out;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

TEST(IBExtractGrantsReplay, ReplayHoldsTheSourcePrivilegesRowForRow) {
  std::string why;
  const std::string source = test::EveryKindDatabase(why);
  ASSERT_FALSE(source.empty()) << why;
  test::ExtractRun run;
  run.Embedded(source);
  // The generation the server reports; DDL privileges are Firebird 3's.
  run.Objs().IBServerOptions.SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
  run.Objs().IBServerOptions.IBCompareOptions.FldCharsetCompare = true;
  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  std::vector<std::string> lines;
  run.Objs().GetScript(lines);
  std::string script;
  for (const std::string& l : lines) script += l + "\n";

  const std::string replay = test::FreshTestFile("grants_replayed.fdb");
  const test::TFirebirdReplayResult r =
      test::BuildFirebirdDatabase(replay, test::WithoutDatabaseHeader(script));
  ASSERT_TRUE(r.Ok) << r.Errors << "\n" << script;

  const std::vector<TPrivilegeRow> before = ReadPrivileges(source);
  const std::vector<TPrivilegeRow> after = ReadPrivileges(replay);
  // The fixture's own forms are there to be compared.
  const auto has = [&before](const char* user, const char* grantor, const char* privilege) {
    return std::any_of(before.begin(), before.end(), [&](const TPrivilegeRow& row) {
      return row.user == user && row.grantor == grantor && row.privilege == privilege;
    });
  };
  ASSERT_TRUE(has("U_DDL", "SYSDBA", "C"));
  ASSERT_TRUE(has("U_DBA", "SYSDBA", "O"));
  ASSERT_TRUE(has("U_BY", "U_ALL", "S"));
  ASSERT_TRUE(has("U_BY", "U_DDL", "C"));

  const std::vector<std::string> lost = Missing(before, after);
  const std::vector<std::string> widened = Missing(after, before);
  EXPECT_TRUE(lost.empty()) << "lost in the replay:\n" << Joined(lost);
  EXPECT_TRUE(widened.empty()) << "only in the replay:\n" << Joined(widened);
  EXPECT_EQ(std::count_if(before.begin(), before.end(), OnImplicitDomain),
            std::count_if(after.begin(), after.end(), OnImplicitDomain));
}

}  // namespace
}  // namespace qor
