// The Firebird texts of exceptions, generators, collations, external
// functions, packages, roles and grants (to users, roles, procedures and
// triggers, on tables, roles, procedures, packages, generators and
// exceptions) replayed on a real Firebird 3
// engine (dialect 3): a small fixture is created, its grants are read back
// from the catalog, then every grant is revoked and every object dropped,
// each through its own texts.
#include "model/qorComp_Clt.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorDBStructure.h"
#include "tests/support/qorModelBuilder.h"
#include "tests/support/qorFirebirdReplay.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace qor {
namespace {

using DB = TDatabaseType;
using P = TPrivilege;
using K = TDbObject;

class OtherKindsReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    Objs().SetServerType(DB::dbInterBase);
    Objs().IBServerOptions.SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
    Objs().IBServerOptions.SQLDialect = 3;
    BuildFixture();
  }

  TObjs& Objs() { return *structure.GetObjs(); }

  template <class T>
  T* Add(const std::string& name) {
    return test::TModelBuilder(Objs()).Add<T>(name);
  }

  void Column(TTblData* t, const std::string& name, std::uint8_t type, int length = 0) {
    test::TModelBuilder(Objs()).Field(t->Fields, t, name, type, length);
  }

  void Grant(const std::string& grantee, K granteeKind, const std::string& object, K objectKind,
             TPrivileges privileges, int option = 0, std::vector<std::string> columns = {}) {
    auto g = test::TModelBuilder(Objs()).NewGrant(
        {grantee, granteeKind, object, objectKind, privileges, option, std::move(columns)});
    Objs().AddGrant(g);  // a merged grant stays in `g` and goes with it
  }

  void BuildFixture() {
    TTblData* t = Add<TTblData>("T_ORDERS");
    Column(t, "ID", dt::INTEGER);
    Column(t, "QTY", dt::INTEGER);
    Column(t, "Note", dt::VARCHAR, 20);

    Add<TExcData>("E_NOT_FOUND")->Message = "It's gone";
    Add<TExcData>("e_mixed")->Message = "mixed";
    Add<TGnrData>("G_ORDERS");
    Add<TGnrData>("g_lower");

    TCltData* c = Add<TCltData>("UNICODE_NOCASE");
    c->CharacterSet = "UTF8";
    c->FromCollation = "UNICODE";
    c->CaseSensitive = false;
    c->SpecificAttributes = "NUMERIC-SORT=1";

    TUdfData* f = Add<TUdfData>("STRLEN");
    auto arg = std::make_unique<TFldData>(&Objs(), f);
    arg->DataType = dt::CSTRING;
    arg->Length = 32767;
    f->Args.Add("1", std::move(arg));
    f->ResultField->DataType = dt::INTEGER;
    f->ResultField->ByValue = true;
    f->EntryPoint = "IB_UDF_strlen";
    f->ModuleName = "ib_udf";

    TPkgData* pk = Add<TPkgData>("PK_UTIL");
    pk->HeaderText = "BEGIN\r\n  FUNCTION ONE RETURNS INTEGER;\r\nEND";
    pk->SetText("BEGIN\r\n  FUNCTION ONE RETURNS INTEGER AS BEGIN RETURN 1; END\r\nEND");

    Add<TPrcData>("P_TOUCH")->SetText("BEGIN\r\nEND");
    TTrgData* trg = Add<TTrgData>("TR_ORDERS_BI");
    trg->SetTableName("T_ORDERS");
    trg->TriggerType = 1;  // before insert
    trg->SetText("AS\r\nBEGIN\r\nEND");

    Add<TRolData>("R_CLERK")->RoleOwner = "SYSDBA";
    Add<TRolData>("Manager");

    // Two reads of one grant: merged into SELECT, UPDATE.
    Grant("U1", K::dboUser, "T_ORDERS", K::dboTable, {P::prUpdate});
    Grant("U1", K::dboUser, "T_ORDERS", K::dboTable, {P::prSelect});
    // Column grants of the same privilege: merged into one column list.
    Grant("R_CLERK", K::dboRole, "T_ORDERS", K::dboTable, {P::prUpdate}, 0, {"QTY"});
    Grant("R_CLERK", K::dboRole, "T_ORDERS", K::dboTable, {P::prUpdate}, 0, {"Note"});
    Grant("Manager", K::dboRole, "T_ORDERS", K::dboTable,
          {P::prInsert, P::prUpdate, P::prDelete, P::prSelect, P::prReferences}, 1);
    Grant("U3", K::dboUser, "T_ORDERS", K::dboTable, {P::prReferences}, 0, {"ID"});
    Grant("U2", K::dboUser, "R_CLERK", K::dboRole, {}, 1);
    Grant("U1", K::dboUser, "Manager", K::dboRole, {});
    Grant("U1", K::dboUser, "E_NOT_FOUND", K::dboException, {P::prUsage});
    Grant("R_CLERK", K::dboRole, "g_lower", K::dboGenerator, {P::prUsage});
    Grant("U1", K::dboUser, "PK_UTIL", K::dboPackage, {P::prExecute});
    Grant("U1", K::dboUser, "P_TOUCH", K::dboProcedure, {P::prExecute});
    Grant("TR_ORDERS_BI", K::dboTrigger, "P_TOUCH", K::dboProcedure, {P::prExecute});
    Grant("TR_ORDERS_BI", K::dboTrigger, "G_ORDERS", K::dboGenerator, {P::prUsage});
    Grant("P_TOUCH", K::dboProcedure, "T_ORDERS", K::dboTable, {P::prSelect});
    Objs().RekeyGrants();
  }

  // The creating script, kind by kind.
  std::string CreateScript() {
    std::string s;
    auto add = [&s](const std::string& text) {
      if (!text.empty()) s += text + ";\r\n";
    };
    for (auto& e : Objs().Udfs) add(e.Value->GetCreateSQL());
    for (auto& e : Objs().Collations) add(e.Value->GetScriptSQL());
    for (auto& e : Objs().Tables) add(e.Value->GetCreateSQL());
    for (auto& e : Objs().Exceptions) add(e.Value->GetCreateSQL());
    for (auto& e : Objs().Generators) add(e.Value->GetCreateSQL());
    s += "SET TERM ^ ;\r\n";
    for (auto& e : Objs().Packages) s += e.Value->GetCreateSQL() + "\r\n^\r\n";
    for (auto& e : Objs().Procedures) s += e.Value->GetCreateSQL() + "\r\n^\r\n";
    for (auto& e : Objs().Triggers) s += e.Value->GetCreateSQL() + "\r\n^\r\n";
    s += "SET TERM ; ^\r\n";
    for (auto& e : Objs().Roles) add(e.Value->GetScriptSQL());
    for (auto& e : Objs().Grants) add(e.Value->GetScriptSQL());
    return s;
  }

  std::string RevokeScript() {
    std::string s;
    for (auto& e : Objs().Grants)
      if (const std::string text = e.Value->GetDropSQL(); !text.empty()) s += text + ";\r\n";
    return s;
  }

  // The drops of everything but the table.
  std::string DropScript() {
    std::string s;
    auto add = [&s](const std::string& text) {
      if (!text.empty()) s += text + ";\r\n";
    };
    for (auto& e : Objs().Roles) add(e.Value->GetDropSQL());
    for (auto& e : Objs().Packages) add(e.Value->GetDropSQL());
    for (auto& e : Objs().Generators) add(e.Value->GetDropSQL());
    for (auto& e : Objs().Exceptions) add(e.Value->GetDropSQL());
    for (auto& e : Objs().Collations) add(e.Value->GetDropSQL());
    for (auto& e : Objs().Udfs) add(e.Value->GetDropSQL());
    return s;
  }

  TDBStructure structure;
};

// One line per privilege of the fixture's grantees: grantee, privilege
// letter, object, column and grant option. isql keeps one snapshot until a
// commit, so the query sits between two.
const char* const kPrivilegesQuery =
    "COMMIT;\r\n"
    "SELECT 'P:' || TRIM(RDB$USER) || ':' || TRIM(RDB$PRIVILEGE) || ':' || TRIM(RDB$RELATION_NAME)"
    " || ':' || COALESCE(TRIM(RDB$FIELD_NAME), '') || ':' || COALESCE(RDB$GRANT_OPTION, 0)"
    " AS L FROM RDB$USER_PRIVILEGES"
    " WHERE RDB$USER IN ('U1', 'U2', 'U3', 'R_CLERK', 'Manager', 'P_TOUCH', 'TR_ORDERS_BI')"
    " ORDER BY 1;\r\n"
    "COMMIT;\r\n";

std::string Stage(const char* name) {
  return std::string("SELECT 'STAGE:") + name + "' FROM RDB$DATABASE;\r\n";
}

TEST_F(OtherKindsReplay, CreateGrantRevokeAndDropOnFirebird3) {
  ASSERT_FALSE(test::FindIsql().empty()) << "isql-fb is missing: run scripts/install-deps.sh";
  const std::string create = CreateScript();
  // The catalog is read in a transaction of its own, after the DDL.
  const std::string objects =
      "COMMIT;\r\n"
      "SELECT 'O:' || COUNT(*) FROM RDB$EXCEPTIONS"
      " WHERE RDB$EXCEPTION_NAME IN ('E_NOT_FOUND', 'e_mixed');\r\n"
      "SELECT 'M:' || RDB$MESSAGE FROM RDB$EXCEPTIONS WHERE RDB$EXCEPTION_NAME = 'E_NOT_FOUND';\r\n"
      "SELECT 'G:' || COUNT(*) FROM RDB$GENERATORS"
      " WHERE RDB$GENERATOR_NAME IN ('G_ORDERS', 'g_lower');\r\n"
      "SELECT 'R:' || COUNT(*) FROM RDB$ROLES WHERE RDB$ROLE_NAME IN ('R_CLERK', 'Manager');\r\n"
      "SELECT 'K:' || PK_UTIL.ONE() FROM RDB$DATABASE;\r\n";
  const std::string revoke = RevokeScript();
  const std::string drop = DropScript();
  const test::TFirebirdReplayResult r =
      test::RunFirebirdScript(create + objects + kPrivilegesQuery + revoke + Stage("REVOKED") +
                              kPrivilegesQuery + drop + Stage("DROPPED") + kPrivilegesQuery);
  ASSERT_TRUE(r.Ok) << r.Errors << "\n--- script:\n" << create << revoke << drop;
  const std::size_t revoked = r.Output.find("STAGE:REVOKED");
  const std::size_t dropped = r.Output.find("STAGE:DROPPED");
  ASSERT_NE(revoked, std::string::npos) << r.Output;
  ASSERT_NE(dropped, std::string::npos) << r.Output;
  const std::string before = r.Output.substr(0, revoked);
  const std::string afterRevoke = r.Output.substr(revoked, dropped - revoked);
  const std::string afterDrop = r.Output.substr(dropped);

  for (const char* line : {"O:2", "M:It's gone", "G:2", "R:2", "K:1"})
    EXPECT_NE(before.find(line), std::string::npos) << line << "\n" << before;
  // What the grants gave, as the engine records it.
  // clang-format off
  const char* const granted[] = {
      "P:U1:S:T_ORDERS::0",        "P:U1:U:T_ORDERS::0",        "P:R_CLERK:U:T_ORDERS:QTY:0",
      "P:R_CLERK:U:T_ORDERS:Note:0", "P:Manager:S:T_ORDERS::1",   "P:Manager:R:T_ORDERS::1",
      "P:U3:R:T_ORDERS:ID:0",      "P:U2:M:R_CLERK::2",         "P:U1:M:Manager::0",
      "P:U1:G:E_NOT_FOUND::0",     "P:R_CLERK:G:g_lower::0",    "P:U1:X:PK_UTIL::0",
      "P:U1:X:P_TOUCH::0",         "P:TR_ORDERS_BI:X:P_TOUCH::0", "P:TR_ORDERS_BI:G:G_ORDERS::0",
      "P:P_TOUCH:S:T_ORDERS::0"};
  // clang-format on
  for (const char* line : granted)
    EXPECT_NE(before.find(line), std::string::npos) << line << "\n" << before;

  // A grant made with grant (or admin) option is revoked as the option
  // only; every other grant is gone.
  std::vector<std::string> left;
  for (std::size_t at = afterRevoke.find("P:"); at != std::string::npos;
       at = afterRevoke.find("P:", at + 2))
    left.push_back(afterRevoke.substr(at, afterRevoke.find_first_of(" \r\n", at) - at));
  EXPECT_EQ(left, (std::vector<std::string>{"P:Manager:D:T_ORDERS::0", "P:Manager:I:T_ORDERS::0",
                                            "P:Manager:R:T_ORDERS::0", "P:Manager:S:T_ORDERS::0",
                                            "P:Manager:U:T_ORDERS::0", "P:U2:M:R_CLERK::0"}));
  // Dropping the roles takes what was granted to them and their members.
  EXPECT_EQ(afterDrop.find("P:"), std::string::npos) << afterDrop;
}

}  // namespace
}  // namespace qor
