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

struct TPrivilegeRow {
  std::string user, grantor, privilege, relation, field;
  int grantOption = 0, userType = 0, objectType = 0;
  std::string Text() const {
    return user + " <- " + grantor + " " + privilege + "/" + std::to_string(grantOption) + " " +
           relation + (field.empty() ? "" : "." + field) + " (user type " +
           std::to_string(userType) + ", object type " + std::to_string(objectType) + ")";
  }
};

// Every row, as the engine holds it, sorted by its text.
std::vector<TPrivilegeRow> ReadPrivileges(const std::string& path) {
  TQORConnection c;
  c.SetConnectionType(TconnectionType::cnIBX);
  c.SetDatabaseType(TDatabaseType::dbInterBase);
  c.ConnectionOptions.Protocol = TQORProtocol::ptLocal;
  c.ConnectionOptions.DatabaseName = path;
  c.ConnectionOptions.UserName = "SYSDBA";
  c.SetConnected(true);
  std::vector<TPrivilegeRow> rows;
  EXPECT_TRUE(c.GetConnected()) << path;
  if (!c.GetConnected()) return rows;
  std::unique_ptr<TQORQuery> q = c.CreateQuery();
  q->GetSQL()->SetText(
      "select rdb$user, rdb$grantor, rdb$privilege, rdb$grant_option, rdb$relation_name,"
      " rdb$field_name, rdb$user_type, rdb$object_type from rdb$user_privileges");
  q->Open();
  // Names as stored but for the engine's right-hand padding.
  auto text = [&q](const char* column) { return TrimCtlRight(q->FieldByName(column)->AsString()); };
  auto number = [&q](const char* column) {
    return static_cast<int>(q->FieldByName(column)->AsLargeInt());
  };
  for (; !q->Eof(); q->Next()) {
    TPrivilegeRow r{text("RDB$USER"), text("RDB$GRANTOR"), text("RDB$PRIVILEGE"),
                    text("RDB$RELATION_NAME"), text("RDB$FIELD_NAME")};
    r.grantOption = number("RDB$GRANT_OPTION");
    r.userType = number("RDB$USER_TYPE");
    r.objectType = number("RDB$OBJECT_TYPE");
    rows.push_back(r);
  }
  q->Close();
  c.SetConnected(false);
  std::sort(rows.begin(), rows.end(),
            [](const TPrivilegeRow& a, const TPrivilegeRow& b) { return a.Text() < b.Text(); });
  return rows;
}

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
