// Procedures, packages, DDL triggers and grants read from the real
// Firebird 3 engine, embedded: the forms of
// tests/data/extract/ib_every_kind.sql one by one, and the catalog codes the
// grant reader decodes.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "model/qorComp_Fld.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Trg.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/extract/qorIBExtractFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qor {
namespace {

using test::ExtractRun;

class IBExtractRoutines : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    db = test::EveryKindDatabase(why);
    ASSERT_FALSE(db.empty()) << why;
    run.Embedded(db);
    run.Objs().IBServerOptions.SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
    ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
    EXPECT_TRUE(run.errors.empty());
  }
  std::string db;
  ExtractRun run;
};

TEST_F(IBExtractRoutines, ProcedureParametersWithDefaultsAndTypeOf) {
  TObjs& o = run.Objs();
  TPrcData* p = o.FindProcedure("P_DEFAULTS");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->GetDescription(), "defaults");
  EXPECT_NE(p->GetText().find("SUSPEND;"), std::string::npos);
  // Procedures and PSQL functions read their parameters by one reader.
  TPrcData* typed = o.FindProcedure("F_TYPED");
  ASSERT_NE(typed, nullptr);
  ASSERT_TRUE(typed->IsFunction);
  struct Case {
    TPrcData* routine;
    const char* name;
    bool out;
    const char* def;
    bool typeOf;
    const char* domain;
    const char* table;
    const char* column;
    bool nullable;
  } const cases[] = {
      {p, "A", false, "5", false, "", "", "", true},
      {p, "B", false, "'x'", false, "", "", "", true},
      {p, "C", false, "'c'", true, "", "KEY_PARENT", "CODE", true},
      {p, "D", false, "3", true, "D_POSITIVE", "", "", true},
      {p, "R", true, "", true, "", "ITEMS", "A", true},
      {p, "S", true, "", false, "D_MONEY", "", "", true},
      {p, "N", true, "", false, "", "", "", false},
      {typed, "A", false, "", true, "D_POSITIVE", "", "", true},
      {typed, "B", false, "'b'", true, "", "KEY_PARENT", "CODE", true},
      {typed, "C", false, "", false, "D_MONEY", "", "", true},
      {typed, "D", false, "", false, "", "", "", false},
      {typed, "", true, "", true, "", "ITEMS", "A", true},  // the result
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.routine->GetName() + "." + c.name);
    TFldData* f = (c.out ? c.routine->OutParams : c.routine->InParams).FindObject(c.name);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->ParamDirection, c.out ? 2 : 1);
    EXPECT_EQ(f->DefaultValue, c.def);
    EXPECT_EQ(f->TypeOf, c.typeOf);
    if (*c.domain || c.typeOf) {
      EXPECT_EQ(f->DataType, dt::UserType);
    }
    if (*c.domain) {
      EXPECT_EQ(f->DomainName, c.domain);
    }
    EXPECT_EQ(f->TypeOfTable, c.table);
    EXPECT_EQ(f->TypeOfColumn, c.column);
    EXPECT_EQ(f->Nullable, c.nullable);
  }
  EXPECT_EQ(p->InParams.FindObject("A")->GetDescription(), "the a");
  EXPECT_EQ(p->InParams.FindObject("B")->CharSet, "UTF8");

  // A PSQL function keeps its argument defaults too.
  TPrcData* f = o.FindProcedure("F_DEF");
  ASSERT_NE(f, nullptr);
  ASSERT_TRUE(f->IsFunction);
  ASSERT_NE(f->InParams.FindObject("Y"), nullptr);
  EXPECT_EQ(f->InParams.FindObject("Y")->DefaultValue, "2");
  EXPECT_EQ(f->InParams.FindObject("X")->DefaultValue, "");

  // Packaged routines belong to their package, not to the lists.
  EXPECT_EQ(o.FindProcedure("PP"), nullptr);
  EXPECT_EQ(o.FindProcedure("PF"), nullptr);
}

TEST_F(IBExtractRoutines, PackagesWithTheirDescriptions) {
  TPkgData* p = run.Objs().FindPackage("PKG");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->GetDescription(), "the package");
  EXPECT_NE(p->HeaderText.find("PROCEDURE PP (X INTEGER);"), std::string::npos) << p->HeaderText;
  EXPECT_NE(p->GetText().find("RETURN X;"), std::string::npos) << p->GetText();
  EXPECT_EQ(run.Objs().Packages.Count(), 2);  // PKG and STOCK
}

TEST_F(IBExtractRoutines, RoutinesCalledBeforeTheirCallers) {
  TObjs& o = run.Objs();
  TPrcData* caller = o.FindProcedure("P Q'");
  ASSERT_NE(caller, nullptr);
  // "P Q'" reads a sequence only: no routine edge; none invented.
  for (int i = 0; i < caller->DependsOn().Count(); ++i)
    EXPECT_EQ(dynamic_cast<TPrcData*>(caller->DependsOn().Value(i)->Target), nullptr);
}

TEST_F(IBExtractRoutines, GrantsOfEveryFormFoldedAsTheEngineHoldsThem) {
  std::vector<std::string> got;
  for (int i = 0; i < run.Objs().Grants.Count(); ++i)
    got.push_back(run.Objs().Grants.Value(i)->GetCreateSQL());
  std::sort(got.begin(), got.end());
  // As `isql-fb -x` lists them, in our writer's form.
  std::vector<std::string> want = {
      "GRANT SELECT ON ITEMS TO ROLE READER",
      "GRANT UPDATE (A, B) ON ITEMS TO USER U_COLS",
      "GRANT REFERENCES (A) ON ITEMS TO USER U_COLS",
      "GRANT SELECT ON ITEMS TO VIEW V_CHECKED",
      "GRANT SELECT ON KEY_CHILD TO TRIGGER KEY_CHILD_BI",
      // A database trigger's grants, through no relation of its own.
      "GRANT EXECUTE ON PROCEDURE P_DEFAULTS TO TRIGGER ON_CONNECT",
      "GRANT USAGE ON SEQUENCE SEQ_PLAIN TO TRIGGER ON_CONNECT",
      // And DDL triggers'.
      "GRANT SELECT ON ITEMS TO TRIGGER ANY_DDL",
      "GRANT USAGE ON SEQUENCE G_LOG TO TRIGGER DDL_AFTER_ANY",
      "GRANT ALL ON KEY_PARENT TO USER U_ALL WITH GRANT OPTION",
      "GRANT SELECT ON \"NAME WITH BLANKS\" TO USER \"U Q'\"",
      "GRANT DELETE, INSERT ON \"T'Q\" TO PUBLIC",
      "GRANT \"R'Q\" TO USER U_ADMIN WITH ADMIN OPTION",
      "GRANT READER TO USER U_MEMBER",
      "GRANT EXECUTE ON PROCEDURE P_DEFAULTS TO PROCEDURE \"P Q'\"",
      "GRANT EXECUTE ON PROCEDURE P_DEFAULTS TO USER U_EXEC",
      "GRANT EXECUTE ON PACKAGE PKG TO USER U_EXEC",
      "GRANT EXECUTE ON FUNCTION \"F'Q\" TO ROLE READER",
      "GRANT USAGE ON SEQUENCE SEQ_PLAIN TO PUBLIC",
      "GRANT USAGE ON SEQUENCE SEQ_PLAIN TO ROLE READER",
      "GRANT USAGE ON SEQUENCE SEQ_STEP TO PROCEDURE \"P Q'\"",
      "GRANT USAGE ON SEQUENCE SEQ_STEP TO PACKAGE PKG",
      "GRANT USAGE ON EXCEPTION \"E'Q\" TO FUNCTION G_AFTER",
      // DDL privileges, on each kind and to each kind of grantee.
      "GRANT CREATE TABLE TO USER U_DDL",
      "GRANT CREATE, ALTER ANY, DROP ANY VIEW TO USER U_DDL WITH GRANT OPTION",
      "GRANT CREATE, ALTER ANY, DROP ANY PROCEDURE TO ROLE READER",
      "GRANT ALTER ANY FUNCTION TO PROCEDURE \"P Q'\"",
      "GRANT DROP ANY PACKAGE TO PUBLIC",
      "GRANT CREATE SEQUENCE TO TRIGGER KEY_CHILD_BI",
      "GRANT ALTER ANY SEQUENCE TO VIEW V_CHECKED",
      "GRANT CREATE DOMAIN TO FUNCTION G_AFTER",
      "GRANT DROP ANY EXCEPTION TO PACKAGE PKG",
      "GRANT ALTER ANY ROLE TO USER \"U Q'\"",
      "GRANT CREATE CHARACTER SET TO USER U_DDL",
      "GRANT ALTER ANY COLLATION TO USER U_DDL",
      "GRANT DROP ANY FILTER TO USER U_DDL",
      "GRANT ALTER, DROP DATABASE TO USER U_DBA",
      // A grantor other than the database's owner is named; the same
      // privilege from two grantors is two grants.
      "GRANT SELECT ON KEY_PARENT TO USER U_BY GRANTED BY U_ALL",
      "GRANT INSERT ON KEY_PARENT TO USER U_BY",
      "GRANT UPDATE (CODE) ON KEY_PARENT TO USER U_BY WITH GRANT OPTION GRANTED BY U_ALL",
      "GRANT \"R'Q\" TO USER U_BY GRANTED BY U_ADMIN",
      "GRANT CREATE VIEW TO USER U_BY GRANTED BY U_DDL",
      "GRANT CREATE VIEW TO USER U_BY",
      "GRANT EXECUTE ON PROCEDURE P_DEFAULTS TO USER U_BY GRANTED BY U_EXEC",
  };
  std::sort(want.begin(), want.end());
  EXPECT_EQ(got, want);
}

// Each header as `isql-fb -x` writes it: events in the engine's order
// whatever order the source named them in.
TEST_F(IBExtractRoutines, DDLTriggersOfEveryForm) {
  struct Case {
    const char* name;
    const char* header;
    const char* description;
  } const cases[] = {
      {"DDL_GUARD",
       "ACTIVE BEFORE CREATE TABLE OR ALTER PROCEDURE OR ALTER CHARACTER SET OR DROP PACKAGE BODY"
       " POSITION 5 ",
       "keeps FORBIDDEN"},
      {"DDL_AFTER_ANY", "INACTIVE AFTER ANY DDL STATEMENT POSITION 2 ", ""},
      {"DDL_DROPS",
       "INACTIVE AFTER DROP TABLE OR DROP VIEW OR DROP SEQUENCE OR DROP MAPPING POSITION 0 ", ""},
      {"ANY_DDL", "INACTIVE BEFORE ANY DDL STATEMENT POSITION 0 ", "every statement"},
      {"ON_CREATE_TABLE", "INACTIVE AFTER CREATE TABLE POSITION 0 ", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTrgData* t = run.Objs().FindTrigger(c.name);
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->IsIBDDLTrigger());
    EXPECT_EQ(t->GetTableName(), "DATABASE");
    EXPECT_EQ(t->GetDescription(), c.description);
    const std::string text = t->GetCreateSQL();
    EXPECT_EQ(text.substr(0, text.find("\r\nAS")),
              std::string("CREATE TRIGGER ") + c.name + "\r\n" + c.header);
  }
  TTrgData* guard = run.Objs().FindTrigger("DDL_GUARD");
  ASSERT_NE(guard, nullptr);
  EXPECT_NE(guard->GetText().find("EXCEPTION E_EMPTY;"), std::string::npos) << guard->GetText();
}

TEST(IBCatalogCodes, ObjectKindsAndPrivileges) {
  // clang-format off
  struct KindCase {
    std::int64_t code;
    TDbObject kind;
  } const kinds[] = {
      {0, TDbObject::dboTable},      {1, TDbObject::dboView},      {2, TDbObject::dboTrigger},
      {5, TDbObject::dboProcedure},  {7, TDbObject::dboException}, {8, TDbObject::dboUser},
      {13, TDbObject::dboRole},      {14, TDbObject::dboGenerator}, {15, TDbObject::dboFunction},
      {16, TDbObject::dboUnknown},   {17, TDbObject::dboUnknown},  {18, TDbObject::dboPackage},
      {19, TDbObject::dboUnknown},   {-1, TDbObject::dboUnknown},
  };
  // clang-format on
  for (const KindCase& c : kinds) EXPECT_EQ(CatalogTypeToObjKind(c.code), c.kind) << c.code;

  using P = TPrivilege;
  // clang-format off
  struct PrivilegeCase {
    const char* letter;
    TPrivileges set;
  } const privileges[] = {
      {"I", {P::prInsert}},  {"U", {P::prUpdate}},     {"D", {P::prDelete}},
      {"S", {P::prSelect}},  {"X", {P::prExecute}},    {"R", {P::prReferences}},
      {"G", {P::prUsage}},   {"M", {}},                {"", {}},
      {"C", {P::prDDLCreate}}, {"L", {P::prDDLAlter}}, {"O", {P::prDDLDrop}},
  };
  // clang-format on
  for (const PrivilegeCase& c : privileges)
    EXPECT_TRUE(DecodePrivilege(c.letter) == c.set) << c.letter;
}

}  // namespace
}  // namespace qor
