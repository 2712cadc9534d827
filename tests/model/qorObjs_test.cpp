// The object collection: routing by class, duplicates, the accept chain and
// the IBE$ rule, grant merging and re-keying, lookups, Clear, and the
// structure's link to its extractor through the host interface.
#include "model/qorComp_Clt.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Evt.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Opr.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "tests/support/qorModelBuilder.h"
#include "tests/model/qorModelFakes.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace qor {
namespace {

using DB = TDatabaseType;

// Counts the live instances of a table, so a test can tell freed from kept.
struct CountedTable : TTblData {
  CountedTable(TCustomObjs* owner, int& alive) : TTblData(owner), alive_(alive) { ++alive_; }
  ~CountedTable() override { --alive_; }
  int& alive_;
};

// A schema object of a class that has no list.
struct Stray : TDbObj {
  using TDbObj::TDbObj;
  const char* ClassName() const override { return "TStray"; }
};

class ObjsTest : public ::testing::Test {
 protected:
  TObjs& Objs() { return *structure.GetObjs(); }

  template <class T>
  std::unique_ptr<T> New(const std::string& name) {
    return test::TModelBuilder(Objs()).New<T>(name);
  }
  // A refusal is what some of these tests look for: no expectation here.
  template <class T>
  T* Add(const std::string& name) {
    auto obj = New<T>(name);
    return Objs().AddObject(obj, /*freeOnFail=*/true);
  }

  int alive = 0;  // live CountedTables; outlives the structure that frees them
  TDBStructure structure;
};

TEST_F(ObjsTest, EachClassGoesToItsList) {
  struct Case {
    const char* label;
    std::function<TDbObj*()> make;
    std::function<int()> count;
  };
  auto& o = Objs();
  const Case cases[] = {
      {"schema", [&] { return new TSchData(&o); }, [&] { return o.Schemas.Count(); }},
      {"domain", [&] { return new TDmnData(&o); }, [&] { return o.Domains.Count(); }},
      {"external function", [&] { return new TUdfData(&o); }, [&] { return o.Udfs.Count(); }},
      {"trigger", [&] { return new TTrgData(&o); }, [&] { return o.Triggers.Count(); }},
      {"routine", [&] { return new TPrcData(&o); }, [&] { return o.Procedures.Count(); }},
      {"member routine, a routine", [&] { return new TMemberPrcData(&o); },
       [&] { return o.Procedures.Count(); }},
      {"table", [&] { return new TTblData(&o); }, [&] { return o.Tables.Count(); }},
      {"exception", [&] { return new TExcData(&o); }, [&] { return o.Exceptions.Count(); }},
      {"generator", [&] { return new TGnrData(&o); }, [&] { return o.Generators.Count(); }},
      {"index", [&] { return new TIdxData(&o); }, [&] { return o.Indices.Count(); }},
      {"view", [&] { return new TViwData(&o); }, [&] { return o.Views.Count(); }},
      {"role", [&] { return new TRolData(&o); }, [&] { return o.Roles.Count(); }},
      {"grant", [&] { return new TGntData(&o); }, [&] { return o.Grants.Count(); }},
      {"constraint", [&] { return new TCtrData(&o); }, [&] { return o.Constraints.Count(); }},
      {"rule", [&] { return new TRulData(&o); }, [&] { return o.Rules.Count(); }},
      {"default", [&] { return new TDefData(&o); }, [&] { return o.Defaults.Count(); }},
      {"package", [&] { return new TPkgData(&o); }, [&] { return o.Packages.Count(); }},
      {"publication", [&] { return new TPblData(&o); }, [&] { return o.Publications.Count(); }},
      {"operator", [&] { return new TOprData(&o); }, [&] { return o.Operators.Count(); }},
      {"operator class", [&] { return new TOpcData(&o); },
       [&] { return o.OperatorClasses.Count(); }},
      {"event", [&] { return new TEvtData(&o); }, [&] { return o.Events.Count(); }},
      {"collation", [&] { return new TCltData(&o); }, [&] { return o.Collations.Count(); }},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TDbObj* obj = c.make();
    obj->SetName("N" + std::to_string(n++));
    const int before = c.count();
    ASSERT_TRUE(Objs().AddObject(obj, true));
    EXPECT_EQ(c.count(), before + 1);
  }
  int total = 0;
  Objs().ForEachObject([&total](TDbObj&) { ++total; });
  EXPECT_EQ(total, n);
}

TEST_F(ObjsTest, UnknownClassIsReportedAndFreed) {
  test::FakeExtractor ex;
  ex.Link(&structure);
  auto* stray = new Stray(&Objs());
  stray->SetName("S");
  EXPECT_FALSE(Objs().AddObject(stray, true));  // freed: the leak checker would tell
  ASSERT_EQ(ex.errors.size(), 1u);
  EXPECT_EQ(ex.errors[0], "Unknown DbObject to add (TStray)");
}

TEST_F(ObjsTest, DuplicateKeysKeepTheFirst) {
  auto* first = new CountedTable(&Objs(), alive);
  first->SetName("T");
  ASSERT_TRUE(Objs().AddObject(first, true));

  auto* freed = new CountedTable(&Objs(), alive);
  freed->SetName("T");
  EXPECT_FALSE(Objs().AddObject(freed, /*freeOnFail=*/true));
  EXPECT_EQ(alive, 1);

  auto kept = std::make_unique<CountedTable>(&Objs(), alive);
  kept->SetName("T");
  EXPECT_FALSE(Objs().AddObject(kept.get(), /*freeOnFail=*/false));
  EXPECT_EQ(alive, 2);  // still the caller's
  EXPECT_EQ(Objs().FindTable("T"), first);
  EXPECT_EQ(Objs().Tables.Count(), 1);
}

TEST_F(ObjsTest, AddingAHeldObjectAgainIsSuccess) {
  auto* t = new CountedTable(&Objs(), alive);
  t->SetName("T");
  ASSERT_TRUE(Objs().AddObject(t, true));
  // A re-parse of a stored text offers the same object again; the
  // collection must neither refuse nor free it.
  EXPECT_TRUE(Objs().AddObject(t, /*freeOnFail=*/true));
  EXPECT_EQ(alive, 1);
  t->SetName("RENAMED");  // found by identity, not by key
  EXPECT_TRUE(Objs().AddObject(t, true));
  EXPECT_EQ(alive, 1);
  EXPECT_EQ(Objs().Tables.Count(), 1);
}

TEST_F(ObjsTest, UniquePtrFormLeavesRejectedObjectsWithTheCaller) {
  auto a = New<TTblData>("T");
  EXPECT_NE(Objs().AddObject(a, true), nullptr);
  EXPECT_EQ(a, nullptr);
  auto b = New<TTblData>("T");
  EXPECT_EQ(Objs().AddObject(b, false), nullptr);
  EXPECT_NE(b, nullptr);
  EXPECT_EQ(Objs().AddObject(b, true), nullptr);
  EXPECT_EQ(b, nullptr);
}

TEST_F(ObjsTest, CaseRuleFollowsTheServerType) {
  Objs().SetServerType(DB::dbMSSQL);
  Add<TTblData>("ORDERS");
  EXPECT_NE(Objs().FindTable("orders"), nullptr);
  Objs().SetServerType(DB::dbInterBase);  // re-sorts case-sensitively
  EXPECT_EQ(Objs().FindTable("orders"), nullptr);
  EXPECT_NE(Objs().FindTable("ORDERS"), nullptr);

  // Schemas keep their rule whatever the server.
  Objs().SetServerType(DB::dbMSSQL);
  Add<TSchData>("S");
  EXPECT_EQ(Objs().FindSchema("s"), nullptr);
}

TEST_F(ObjsTest, InterBaseToolObjectsAreDropped) {
  Objs().SetServerType(DB::dbInterBase);
  EXPECT_EQ(Add<TTblData>("IBE$LOG"), nullptr);
  EXPECT_NE(Add<TTblData>("ibe$log"), nullptr);  // the prefix is case-sensitive
  Objs().IBServerOptions.IBCompareOptions.IgnoreIBEObjects = false;
  EXPECT_NE(Add<TTblData>("IBE$LOG"), nullptr);
  Objs().SetServerType(DB::dbMSSQL);
  Objs().IBServerOptions.IBCompareOptions.IgnoreIBEObjects = true;
  EXPECT_NE(Add<TTblData>("IBE$OTHER"), nullptr);
}

TEST_F(ObjsTest, NameFilterAndCallbackDecide) {
  test::FakeExtractor ex;
  ex.Link(&structure);
  ex.filteredName = "HIDDEN";
  ex.rejectName = "REFUSED";
  EXPECT_NE(Add<TTblData>("SHOWN"), nullptr);
  EXPECT_EQ(Add<TTblData>("HIDDEN"), nullptr);
  EXPECT_EQ(Add<TTblData>("REFUSED"), nullptr);
  EXPECT_EQ(ex.callbacks, 3);  // the callback sees what the filter refused too
  EXPECT_EQ(Objs().Tables.Count(), 1);

  // Without an extractor only the callback counts.
  TObjs loose;
  bool asked = false;
  loose.AcceptCallback = [&](TObject* sender, TDbObj*, bool& accept) {
    asked = sender == &loose;
    accept = false;
  };
  auto t = std::make_unique<TTblData>(&loose);
  EXPECT_EQ(loose.AddObject(t, false), nullptr);
  EXPECT_TRUE(asked);
  EXPECT_FALSE(loose.AcceptObj(nullptr));
}

TEST_F(ObjsTest, ExtractorObjectsGoThroughItsFilterToo) {
  test::FakeExtractor ex;
  ex.Link(&structure);
  ex.filteredName = "NO";
  auto* yes = new TTblData(&Objs());
  yes->SetName("YES");
  EXPECT_EQ(ex.AddObjIfAccepted(yes), yes);
  auto* no = new TTblData(&Objs());
  no->SetName("NO");
  EXPECT_EQ(ex.AddObjIfAccepted(no), nullptr);
  EXPECT_EQ(Objs().Tables.Count(), 1);
}

// A grant on `object` to `grantee` with `privileges` and `columns`.
std::unique_ptr<TGntData> Grant(TCustomObjs* objs, const std::string& grantee,
                                const std::string& object, TPrivileges privileges,
                                std::vector<std::string> columns = {},
                                TDbObject granteeKind = TDbObject::dboUser) {
  return test::TModelBuilder(*objs).NewGrant(
      {grantee, granteeKind, object, TDbObject::dboTable, privileges, 0, std::move(columns)});
}

TEST_F(ObjsTest, GrantsMerge) {
  using P = TPrivilege;
  Objs().SetServerType(DB::dbInterBase);
  auto first = Grant(&Objs(), "BOB", "T", {P::prSelect});
  TGntData* held = Objs().AddGrant(first);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(first, nullptr);

  // Same grantee and object without columns: the privileges are joined.
  auto more = Grant(&Objs(), "BOB", "T", {P::prUpdate});
  EXPECT_EQ(Objs().AddGrant(more), nullptr);
  EXPECT_NE(more, nullptr);  // merged: left with the caller
  EXPECT_EQ(held->Privileges, (TPrivileges{P::prSelect, P::prUpdate}));

  // Column grants of the same privileges: the columns are joined in order.
  auto c1 = Grant(&Objs(), "BOB", "T", {P::prUpdate}, {"A", "B"});
  TGntData* cols = Objs().AddGrant(c1);
  ASSERT_NE(cols, nullptr);
  auto c2 = Grant(&Objs(), "BOB", "T", {P::prUpdate}, {"B", "C"});
  EXPECT_EQ(Objs().AddGrant(c2), nullptr);
  EXPECT_EQ(cols->Columns, (std::vector<std::string>{"A", "B", "C"}));

  // A procedure of the same name is another grantee.
  auto proc = Grant(&Objs(), "BOB", "T", {P::prInsert}, {}, TDbObject::dboProcedure);
  EXPECT_NE(Objs().AddGrant(proc), nullptr);
  // So is a grant with grant option.
  auto opt = Grant(&Objs(), "BOB", "T", {P::prDelete});
  opt->GrantOption = 1;
  EXPECT_NE(Objs().AddGrant(opt), nullptr);
  EXPECT_EQ(Objs().Grants.Count(), 4);
  EXPECT_EQ(held->Privileges, (TPrivileges{P::prSelect, P::prUpdate}));
}

TEST_F(ObjsTest, GrantWithAHeldKeyIsNotLost) {
  using P = TPrivilege;
  Objs().SetServerType(DB::dbInterBase);
  auto a = Grant(&Objs(), "BOB", "T", {P::prSelect});
  a->StatementText = "one";  // keeps the two apart for the merge test
  ASSERT_NE(Objs().AddGrant(a), nullptr);
  auto b = Grant(&Objs(), "BOB", "T", {P::prSelect});
  b->StatementText = "two";
  // Same statement text for the key, but no merge: the list refuses it and
  // the caller keeps it rather than losing it.
  EXPECT_EQ(Objs().AddGrant(b), nullptr);
  EXPECT_NE(b, nullptr);
  EXPECT_EQ(Objs().Grants.Count(), 1);
}

TEST_F(ObjsTest, GrantKeysAndRekeying) {
  using P = TPrivilege;
  Objs().SetServerType(DB::dbInterBase);
  auto g = Grant(&Objs(), "Bob", "Orders", {P::prUpdate, P::prSelect});
  TGntData* held = Objs().AddGrant(g);
  ASSERT_NE(held, nullptr);
  // Dialect 3 quotes the mixed-case names; the key does not.
  EXPECT_EQ(held->GetCreateSQL(), "GRANT SELECT, UPDATE ON \"Orders\" TO USER \"Bob\"");
  EXPECT_EQ(Objs().Grants.Name(0), "GRANT SELECT, UPDATE ON Orders TO USER Bob");
  EXPECT_EQ(Objs().IBServerOptions.SQLDialect, 3);

  auto z = Grant(&Objs(), "ZED", "A", {P::prSelect});
  ASSERT_NE(Objs().AddGrant(z), nullptr);
  held->Grantee = "ALICE";
  Objs().RekeyGrants();
  EXPECT_TRUE(Objs().Grants.Sorted());
  EXPECT_EQ(Objs().Grants.Name(0), "GRANT SELECT ON A TO USER ZED");
  EXPECT_EQ(Objs().Grants.Name(1), "GRANT SELECT, UPDATE ON Orders TO USER ALICE");
  EXPECT_EQ(Objs().Grants.IndexOf("GRANT SELECT, UPDATE ON Orders TO USER ALICE"), 1);
}

TEST_F(ObjsTest, GrantTextsOfInterBase) {
  using P = TPrivilege;
  Objs().SetServerType(DB::dbInterBase);
  struct Case {
    const char* label;
    std::function<std::unique_ptr<TGntData>()> build;
    const char* expected;
  };
  const Case cases[] = {
      {"table privileges in their fixed order",
       [&] {
         return Grant(&Objs(), "U", "T", {P::prUpdate, P::prSelect, P::prDelete});
       },
       "GRANT DELETE, SELECT, UPDATE ON T TO USER U"},
      {"the five table privileges are ALL",
       [&] {
         return Grant(&Objs(), "U", "T",
                      {P::prInsert, P::prUpdate, P::prDelete, P::prSelect, P::prReferences});
       },
       "GRANT ALL ON T TO USER U"},
      {"execute on a procedure to a trigger",
       [&] {
         auto g = Grant(&Objs(), "TR", "P", {P::prExecute}, {}, TDbObject::dboTrigger);
         g->ObjectKind = TDbObject::dboProcedure;
         return g;
       },
       "GRANT EXECUTE ON PROCEDURE P TO TRIGGER TR"},
      {"column grant",
       [&] {
         return Grant(&Objs(), "U", "T", {P::prUpdate}, {"A", "B"});
       },
       "GRANT UPDATE (A, B) ON T TO USER U"},
      {"role membership with admin option",
       [&] {
         auto g = Grant(&Objs(), "U", "R", {});
         g->ObjectKind = TDbObject::dboRole;
         g->GrantOption = 1;
         return g;
       },
       "GRANT R TO USER U WITH ADMIN OPTION"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.build()->GetCreateSQL(), c.expected);
  }
}

TEST_F(ObjsTest, LookupsOfColumnsParametersAndRoles) {
  TTblData* t = Add<TTblData>("T");
  auto c = std::make_unique<TFldData>(&Objs(), t);
  c->SetName("C");
  t->Fields.Add("C", std::move(c));
  EXPECT_NE(Objs().FindField("T", "C"), nullptr);
  EXPECT_EQ(Objs().FindField("T", "X"), nullptr);
  EXPECT_EQ(Objs().FindField("NOPE", "C"), nullptr);

  TPrcData* p = Add<TPrcData>("P");
  auto in = std::make_unique<TFldData>(&Objs(), p);
  auto out = std::make_unique<TFldData>(&Objs(), p);
  TFldData* outRaw = out.get();
  p->OutParams.Add("R", std::move(out));
  p->InParams.Add("A", std::move(in));
  EXPECT_EQ(Objs().FindParam("P", "R"), outRaw);

  TRolData* role = Add<TRolData>("X");
  auto login = New<TRolData>("X");
  login->RoleKind = rk::Login;
  TRolData* loginRaw = Objs().AddObject(login, true);
  ASSERT_NE(loginRaw, nullptr);  // keyed apart from the role
  EXPECT_EQ(Objs().FindRole("X"), role);
  EXPECT_EQ(Objs().FindLogin("X"), loginRaw);
  EXPECT_EQ(Objs().FindUser("X"), nullptr);
  EXPECT_EQ(Objs().FindRole("x"), nullptr);

  // The lookups answer from an index of the list: it follows the list as
  // objects come and go after a lookup.
  auto user = New<TRolData>("X");
  user->RoleKind = rk::User;
  TRolData* userRaw = Objs().AddObject(user, true);
  ASSERT_NE(userRaw, nullptr);
  EXPECT_EQ(Objs().FindUser("X"), userRaw);
  auto gone = Objs().Roles.Extract(Objs().Roles.IndexOfObject(role));
  EXPECT_EQ(Objs().FindRole("X"), nullptr);
  EXPECT_EQ(Objs().FindLogin("X"), loginRaw);
}

TEST_F(ObjsTest, ClearFreesEverythingAndKeepsOptions) {
  auto* t = new CountedTable(&Objs(), alive);
  t->SetName("T");
  Objs().AddObject(t, true);
  Add<TPkgData>("PK");
  Add<TViwData>("V");
  Objs().Terminator = "^";
  Objs().ScriptLines.push_back("x");
  Objs().IBServerOptions.SQLDialect = 1;
  Objs().IBServerOptions.IBDatabaseOptions.ODSMajorVersion = 11;
  structure.NamePrefix = "P";
  structure.Clear();
  EXPECT_EQ(alive, 0);
  int left = 0;
  Objs().ForEachObject([&left](TDbObj&) { ++left; });
  EXPECT_EQ(left, 0);
  EXPECT_EQ(Objs().Terminator, ";");
  EXPECT_TRUE(Objs().ScriptLines.empty());
  EXPECT_EQ(Objs().IBServerOptions.SQLDialect, 1);
  EXPECT_EQ(Objs().IBServerOptions.IBDatabaseOptions.ODSMajorVersion, 0);
  EXPECT_EQ(structure.NamePrefix, "");

  // The base collection frees what it owns as well.
  TCustomObjs base;
  auto* u = new CountedTable(&base, alive);
  u->SetName("U");
  base.AddObject(u, true);
  base.Clear();
  EXPECT_EQ(alive, 0);
}

TEST_F(ObjsTest, GetScriptLeavesNoLines) {
  struct Scripted : TObjs {
    void GenerateScript() override { ScriptLines = {"a", "b"}; }
  } objs;
  std::vector<std::string> dest{"before"};
  objs.GetScript(dest);
  EXPECT_EQ(dest, (std::vector<std::string>{"before", "a", "b"}));
  EXPECT_TRUE(objs.ScriptLines.empty());
}

TEST_F(ObjsTest, LogAndErrorsReachTheExtractor) {
  test::FakeExtractor ex;
  Objs().Log("dropped");  // nobody listens yet
  Objs().Error("lost");
  ex.Link(&structure);
  Objs().Log("to the extractor");
  Objs().Error("broken");
  ASSERT_EQ(ex.logs, (std::vector<std::string>{"to the extractor"}));
  EXPECT_EQ(ex.logSenders[0], &Objs());  // the collection is the sender
  EXPECT_EQ(ex.errors, (std::vector<std::string>{"broken"}));

  // The collection's own event comes first, the script writer's last.
  std::vector<std::string> own;
  Objs().OnLog = [&own](TObject*, const std::string& t) { own.push_back(t); };
  Objs().Log("own");
  EXPECT_EQ(own, (std::vector<std::string>{"own"}));
  Objs().OnLog = nullptr;
  ex.logAssigned = false;
  test::RecordingWriter writer;
  std::vector<std::string> written;
  writer.OnLog = [&written](TObject*, const std::string& t) { written.push_back(t); };
  Objs().ScriptWriter = &writer;
  Objs().Log("writer");
  EXPECT_EQ(written, (std::vector<std::string>{"writer"}));
  EXPECT_EQ(ex.logs.size(), 1u);
  Objs().ScriptWriter = nullptr;
}

TEST_F(ObjsTest, ExtractorGoingAwayUnlinksTheStructure) {
  auto ex = std::make_unique<test::FakeExtractor>();
  ex->Link(&structure);
  EXPECT_EQ(structure.Extractor(), ex.get());
  EXPECT_EQ(ex->LinkedStructure(), &structure);
  ex.reset();
  EXPECT_EQ(structure.Extractor(), nullptr);
  // The accept callback called into the extractor: it must be gone too.
  EXPECT_FALSE(Objs().AcceptCallback);
  EXPECT_NE(Add<TTblData>("T"), nullptr);
}

TEST_F(ObjsTest, OptionPropertiesCopyValues) {
  TMSSQLServerOptions source;
  source.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2016;
  source.MSSQLCompareOptions.CaseSensitiveIdentifiers = true;
  structure.SetMSSQLServerOptions(source);
  source.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2019;
  EXPECT_EQ(structure.MSSQLServerOptions(), &Objs().MSSQLServerOptions);
  EXPECT_EQ(structure.MSSQLServerOptions()->SQLServerVersion,
            TMSSQLServerVersionType::st_MSSQL2016);
  EXPECT_TRUE(structure.MSSQLServerOptions()->MSSQLCompareOptions.CaseSensitiveIdentifiers);

  TIBServerOptions ib;
  ib.SQLDialect = 1;
  structure.SetIBServerOptions(ib);
  EXPECT_EQ(structure.IBServerOptions()->SQLDialect, 1);
}

TEST_F(ObjsTest, DefaultsOfANewCollection) {
  TCustomObjs objs;
  EXPECT_EQ(objs.Terminator, ";");
  EXPECT_EQ(objs.ObjFilter, TCmpObjSetType::All());
  EXPECT_EQ(objs.ConnectionOptions.UserName, "SYSDBA");
  EXPECT_EQ(objs.ConnectionOptions.Password, "quillbark");
  EXPECT_EQ(objs.GetServerType(), DB::dbAbstract);
  EXPECT_EQ(objs.GetTargetODSVersion(), 0);
  objs.Role = 2;
  objs.IBServerOptions.IBDatabaseOptions.ODSMajorVersion = 12;
  EXPECT_EQ(objs.GetTargetODSVersion(), 12);
  objs.SetServerType(DB::dbMSSQL);
  objs.MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2017;
  EXPECT_EQ(objs.GetServerVersionText(), "Server Version (user defined): MS SQL 2017");
  objs.SetServerType(DB::dbCustomOLEDB);
  EXPECT_EQ(objs.GetServerVersionText(), "");
}

TEST_F(ObjsTest, StopFlagAndFileHookStartQuiet) {
  EXPECT_FALSE(StopRequested);
  ASSERT_NE(FileErrorHandler, nullptr);
  FileErrorHandler("ignored");
}

}  // namespace
}  // namespace qor
