// The Firebird grant and revoke texts of DDL privileges and of grants made
// by another user, run by the real engine (embedded Firebird 3): the grants
// leave exactly the privilege rows meant, and each revoke takes back its
// grantor's own grant, or only its option.
#include "model/qorComp_Rol.h"
#include "tests/model/qorKindFixture.h"
#include "tests/support/qorFirebirdReplay.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace qor {
namespace {

using K = TDbObject;
using P = TPrivilege;
using GrantSpec = test::TModelBuilder::TGrantSpec;

// The "ROW ..." lines of the output after `marker`, up to the next marker.
std::set<std::string> Rows(const std::string& output, const std::string& marker) {
  std::set<std::string> rows;
  std::istringstream in(output.substr(output.find(marker) + marker.size()));
  for (std::string line; std::getline(in, line);) {
    if (line.find("MARK") != std::string::npos) break;
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (line.rfind("ROW ", 0) == 0) rows.insert(line);
  }
  return rows;
}

// The privilege rows that `rowsQuery` (lines "ROW ...") reads after the
// grants of `specs` and again after their revokes, on a database made by
// `setup`.
struct TGrantRows {
  std::set<std::string> Granted, Revoked;
  std::string Script;
};

class GntFirebirdReplay : public test::KindTest {
 protected:
  TGrantRows GrantThenRevoke(const std::vector<GrantSpec>& specs, const std::string& setup,
                             const std::string& rowsQuery) {
    std::string grants, revokes;
    for (const GrantSpec& s : specs) {
      std::unique_ptr<TGntData> g = build.NewGrant(s);
      grants += g->GetCreateSQL() + ";\n";
      revokes += g->GetDropSQL() + ";\n";
    }
    TGrantRows out;
    out.Script = setup + "COMMIT;\n" + grants +
                 "COMMIT;\nSELECT 'MARK GRANTED' FROM RDB$DATABASE;\n" + rowsQuery + revokes +
                 "COMMIT;\nSELECT 'MARK REVOKED' FROM RDB$DATABASE;\n" + rowsQuery;
    const test::TFirebirdReplayResult r = test::RunFirebirdScript(out.Script);
    EXPECT_TRUE(r.Ok) << r.Errors << "\n" << out.Script;
    out.Granted = Rows(r.Output, "MARK GRANTED");
    out.Revoked = Rows(r.Output, "MARK REVOKED");
    return out;
  }
};

TEST_F(GntFirebirdReplay, GrantsAndRevokesLeaveTheRowsMeant) {
  Objs().SetServerType(TDatabaseType::dbInterBase);
  IB().SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
  const std::vector<GrantSpec> specs = {
      {"U",
       K::dboUser,
       "",
       K::dboUnknown,
       {P::prDDLCreate, P::prDDLAlter, P::prDDLDrop},
       1,
       {},
       "",
       TDDLKind::Table},
      {"U",
       K::dboUser,
       "",
       K::dboUnknown,
       {P::prDDLAlter, P::prDDLDrop},
       0,
       {},
       "",
       TDDLKind::Database},
      {"R", K::dboRole, "", K::dboUnknown, {P::prDDLCreate}, 1, {}, "", TDDLKind::Sequence, "U1"},
      {"U Q2", K::dboUser, "", K::dboUnknown, {P::prDDLCreate}, 0, {}, "", TDDLKind::CharacterSet},
      {"U", K::dboUser, "T", K::dboTable, {P::prSelect, P::prInsert}, 0, {}, "", {}, "u q'"},
      {"U", K::dboUser, "R", K::dboRole, {}, 1, {}, "", {}, "ADM"},
  };
  const std::string rows =
      "SELECT 'ROW ' || TRIM(RDB$USER) || ' ' || TRIM(RDB$GRANTOR) || ' ' || TRIM(RDB$PRIVILEGE) ||"
      " ' ' || RDB$GRANT_OPTION || ' ' || TRIM(RDB$RELATION_NAME) FROM RDB$USER_PRIVILEGES"
      " WHERE RDB$USER IN ('U', 'R', 'U Q2');\n";
  const TGrantRows r =
      GrantThenRevoke(specs, "CREATE ROLE R;\nCREATE TABLE T (A INTEGER);\n", rows);
  EXPECT_EQ(r.Granted,
            (std::set<std::string>{"ROW U SYSDBA C 1 SQL$TABLES", "ROW U SYSDBA L 1 SQL$TABLES",
                                   "ROW U SYSDBA O 1 SQL$TABLES", "ROW U SYSDBA L 0 SQL$DATABASE",
                                   "ROW U SYSDBA O 0 SQL$DATABASE", "ROW R U1 C 1 SQL$GENERATORS",
                                   "ROW U Q2 SYSDBA C 0 SQL$CHARSETS", "ROW U u q' S 0 T",
                                   "ROW U u q' I 0 T", "ROW U ADM M 2 R"}))
      << r.Script;
  // A grant with its option loses the option only.
  EXPECT_EQ(r.Revoked,
            (std::set<std::string>{"ROW U SYSDBA C 0 SQL$TABLES", "ROW U SYSDBA L 0 SQL$TABLES",
                                   "ROW U SYSDBA O 0 SQL$TABLES", "ROW R U1 C 0 SQL$GENERATORS",
                                   "ROW U ADM M 0 R"}))
      << r.Script;
}

// A user who shares a role's name keeps a user's grant: a bare name would
// be read as the role, and the user would get the role's privileges.
TEST_F(GntFirebirdReplay, UserNamedLikeARoleStaysAUser) {
  Objs().SetServerType(TDatabaseType::dbInterBase);
  IB().SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
  const std::vector<GrantSpec> specs = {
      {"R", K::dboUser, "T", K::dboTable, {P::prSelect}},
      {"R", K::dboRole, "T", K::dboTable, {P::prInsert}},
      {"R", K::dboUser, "", K::dboUnknown, {P::prDDLCreate}, 0, {}, "", TDDLKind::Table},
      {"R", K::dboUser, "Q", K::dboRole, {}},
      {"PUBLIC", K::dboUser, "T", K::dboTable, {P::prUpdate}},
  };
  const std::string rows =
      "SELECT 'ROW ' || TRIM(RDB$USER) || ' ' || RDB$USER_TYPE || ' ' || TRIM(RDB$PRIVILEGE) ||"
      " ' ' || TRIM(RDB$RELATION_NAME) FROM RDB$USER_PRIVILEGES"
      " WHERE RDB$USER IN ('R', 'PUBLIC') AND RDB$RELATION_NAME IN ('T', 'Q', 'SQL$TABLES');\n";
  const TGrantRows r =
      GrantThenRevoke(specs, "CREATE ROLE R;\nCREATE ROLE Q;\nCREATE TABLE T (A INTEGER);\n", rows);
  // 8 a user, 13 a role.
  EXPECT_EQ(r.Granted, (std::set<std::string>{"ROW R 8 S T", "ROW R 13 I T", "ROW R 8 C SQL$TABLES",
                                              "ROW R 8 M Q", "ROW PUBLIC 8 U T"}))
      << r.Script;
  // Each revoke takes back the user's grant, not the role's.
  EXPECT_EQ(r.Revoked, std::set<std::string>{}) << r.Script;
}

}  // namespace
}  // namespace qor
