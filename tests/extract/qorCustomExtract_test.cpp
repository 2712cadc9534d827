// The extractor base: name patterns, the accept chain, the structure link,
// the run checks and the reporting, with no server involved.
#include "extract/ib/qorIBDatabaseExtract.h"
#include "extract/qorCustomExtract.h"

#include "engine/qorDBEngine.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qor {
namespace {

TEST(MatchNamePattern, OneWildcardFirstOrLast) {
  // clang-format off
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  } const cases[] = {
      {"EMP*", "EMPLOYEE", true},
      {"EMP*", "EMP", true},          // the bare prefix
      {"EMP%", "EMPLOYEE", true},
      {"EMP*", "XEMPLOYEE", false},   // containing is not beginning
      {"emp*", "EMPLOYEE", false},    // case-sensitive
      {"%_LOG", "SALES_LOG", true},
      {"*_LOG", "SALES_LOG", true},
      {"%_LOG", "A_LOG_B_LOG", false},  // the first occurrence does not end the name
      {"%_LOG", "SALES_LOGS", false},
      {"EMPLOYEE", "EMPLOYEE", false},  // no wildcard matches nothing
      {"*", "EMPLOYEE", false},         // a lone wildcard matches nothing
      {"%", "", false},
      {"", "EMPLOYEE", false},
      {"E*E*", "EMPLOYEE", false},      // two wildcards
      {"E%E", "EMPLOYEE", false},       // a wildcard in the middle
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " / " + c.name);
    EXPECT_EQ(MatchNamePattern(c.name, c.pattern), c.match);
  }
}

class AcceptChain : public ::testing::Test {
 protected:
  AcceptChain() { x.SetDBStructure(&s); }
  TDBStructure s;
  TIBDBExtract x;
};

TEST_F(AcceptChain, NameListsPrefixAndEvent) {
  // clang-format off
  struct Case {
    const char* name;
    const char* include;
    const char* exclude;
    const char* prefix;
    TDbObject kind;
    bool accept;
  } const cases[] = {
      {"EMPLOYEE", "", "", "", TDbObject::dboTable, true},
      {"EMPLOYEE", "EMP*", "", "", TDbObject::dboTable, true},
      {"COUNTRY", "EMP*", "", "", TDbObject::dboTable, false},
      {"COUNTRY", "  \r\nEMP*\r\n\r\n%TRY  \r\n", "", "", TDbObject::dboTable, true},
      {"EMPLOYEE", "", "EMP*", "", TDbObject::dboTable, false},
      {"EMPLOYEE", "EMP*", "%YEE", "", TDbObject::dboTable, false},  // exclude wins
      {"EMPLOYEE", "", "*", "", TDbObject::dboTable, true},     // a lone * excludes nothing
      {"EMPLOYEE", "*", "", "", TDbObject::dboTable, false},    // ... and admits nothing
      {"EMPLOYEE", "EMPLOYEE", "", "", TDbObject::dboTable, false},
      {"X_EMPLOYEE", "", "", "X_", TDbObject::dboTable, true},
      {"EMPLOYEE", "", "", "X_", TDbObject::dboTable, false},
      {"EMPLOYEE", "", "", "X_", TDbObject::dboView, false},
      {"EMPLOYEE", "", "", "X_", TDbObject::dboTrigger, true},  // triggers carry no prefix
      {"EMPLOYEE", "", "", "X_", TDbObject::dboIndex, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " include=" + c.include + " exclude=" + c.exclude +
                 " prefix=" + c.prefix);
    x.SetIncludeObjsNames(std::string(c.include));
    x.SetExcludeObjsNames(std::string(c.exclude));
    s.NamePrefix = c.prefix;
    EXPECT_EQ(x.AcceptObjName(c.name, c.kind), c.accept);
  }
}

TEST_F(AcceptChain, OnAcceptObjSeesAndOverridesTheAnswer) {
  x.SetExcludeObjsNames(std::string("SECRET*"));
  std::vector<std::string> seen;
  x.OnAcceptObj = [&](TObject* sender, const std::string& name, TDbObject, bool& accept) {
    EXPECT_EQ(sender, &x);
    seen.push_back(name + (accept ? "+" : "-"));
    if (name == "SECRET_OK") accept = true;
    if (name == "PLAIN_NO") accept = false;
  };
  EXPECT_TRUE(x.AcceptObjName("SECRET_OK", TDbObject::dboTable));
  EXPECT_FALSE(x.AcceptObjName("PLAIN_NO", TDbObject::dboTable));
  EXPECT_FALSE(x.AcceptObjName("SECRET_X", TDbObject::dboTable));
  EXPECT_EQ(seen, (std::vector<std::string>{"SECRET_OK-", "PLAIN_NO+", "SECRET_X-"}));
}

TEST_F(AcceptChain, IndicesAndConstraintsAreJudgedByTheirTable) {
  x.SetIncludeObjsNames(std::string("EMP*"));
  TObjs* o = s.GetObjs();
  TIdxData idx(o);
  idx.SetName("RDB$PRIMARY1");
  idx.TableName = "EMPLOYEE";
  EXPECT_TRUE(x.AcceptObj(&idx));
  idx.TableName = "COUNTRY";
  EXPECT_FALSE(x.AcceptObj(&idx));
  TCtrData ctr(o);
  ctr.SetName("EMP_PK");
  ctr.SetTableName("COUNTRY");
  EXPECT_FALSE(x.AcceptObj(&ctr));
}

TEST_F(AcceptChain, EachKindIsFilteredUnderItsOwnKindAndColumnsAndGrantsNever) {
  TObjs* o = s.GetObjs();
  std::vector<std::unique_ptr<TDbObj>> objs;
  objs.push_back(std::make_unique<TTblData>(o));
  objs.push_back(std::make_unique<TViwData>(o));
  objs.push_back(std::make_unique<TTrgData>(o));
  objs.push_back(std::make_unique<TPrcData>(o));
  objs.push_back(std::make_unique<TMemberPrcData>(o));
  objs.push_back(std::make_unique<TDmnData>(o));
  objs.push_back(std::make_unique<TGnrData>(o));
  objs.push_back(std::make_unique<TRolData>(o));
  objs.push_back(std::make_unique<TFldData>(o, nullptr));
  objs.push_back(std::make_unique<TGntData>(o));
  const TDbObject expected[] = {TDbObject::dboTable,     TDbObject::dboView,
                                TDbObject::dboTrigger,   TDbObject::dboProcedure,
                                TDbObject::dboProcedure, TDbObject::dboDomain,
                                TDbObject::dboGenerator, TDbObject::dboRole,
                                TDbObject::dboUnknown,   TDbObject::dboUnknown};
  x.SetExcludeObjsNames(std::string("HID*"));
  for (std::size_t i = 0; i < objs.size(); ++i) {
    SCOPED_TRACE(objs[i]->ClassName());
    objs[i]->SetName("HIDDEN");
    TDbObject seen = TDbObject::dboUnknown;
    x.OnAcceptObj = [&](TObject*, const std::string&, TDbObject kind, bool&) { seen = kind; };
    // A kind the filter never judges passes whatever its name.
    EXPECT_EQ(x.AcceptObj(objs[i].get()), expected[i] == TDbObject::dboUnknown);
    EXPECT_EQ(seen, expected[i]);
  }
}

TEST_F(AcceptChain, OnAccept_ObjDecidesWholeObjectsButNotNames) {
  x.SetExcludeObjsNames(std::string("EMP*"));
  std::vector<std::string> asked;
  x.OnAccept_Obj = [&](TObject*, TDbObj* obj, bool& accept) {
    asked.push_back(obj->GetName());
    accept = obj->GetName() != "COUNTRY";
  };
  TObjs* o = s.GetObjs();
  TTblData employee(o);
  employee.SetName("EMPLOYEE");
  EXPECT_TRUE(x.AcceptObj(&employee));  // the name lists are not consulted

  // The collection's own test applies the name filter and the event.
  auto excluded = std::make_unique<TTblData>(o);
  excluded->SetName("EMPLOYEE");
  EXPECT_EQ(o->AddObject(excluded, true), nullptr);
  auto refused = std::make_unique<TTblData>(o);
  refused->SetName("COUNTRY");
  EXPECT_EQ(o->AddObject(refused, true), nullptr);
  auto kept = std::make_unique<TTblData>(o);
  kept->SetName("JOB");
  EXPECT_NE(o->AddObject(kept, true), nullptr);
  EXPECT_EQ(o->Tables.Count(), 1);
  EXPECT_NE(o->FindTable("JOB"), nullptr);

  // AddObjIfAccepted: the name filter first.
  auto* viaHost = new TTblData(o);
  viaHost->SetName("EMP_HISTORY");
  EXPECT_EQ(x.AddObjIfAccepted(viaHost), nullptr);  // freed
  EXPECT_EQ(o->Tables.Count(), 1);
}

TEST(StructureLink, BothWaysAndUndoneOnEitherSide) {
  TDBStructure a, b;
  {
    TIBDBExtract x;
    x.SetDBStructure(&a);
    EXPECT_EQ(a.Extractor(), &x);
    EXPECT_TRUE(static_cast<bool>(a.Objs()->AcceptCallback));
    x.SetDBStructure(&b);
    EXPECT_EQ(a.Extractor(), nullptr);
    EXPECT_FALSE(static_cast<bool>(a.Objs()->AcceptCallback));
    EXPECT_EQ(b.Extractor(), &x);
  }
  // The extractor went away: the structure forgets it.
  EXPECT_EQ(b.Extractor(), nullptr);
  EXPECT_FALSE(static_cast<bool>(b.Objs()->AcceptCallback));

  TIBDBExtract x;
  {
    auto gone = std::make_unique<TDBStructure>();
    x.SetDBStructure(gone.get());
  }
  EXPECT_EQ(x.DBStructure(), nullptr);

  auto connection = std::make_unique<TQORConnection>();
  x.SetQORConnection(connection.get());
  connection.reset();
  EXPECT_EQ(x.QORConnection(), nullptr);
}

class RunChecks : public ::testing::Test {
 protected:
  RunChecks() {
    x.OnErrorMessage = [this](TObject*, const std::string& t) { errors.push_back(t); };
    x.OnProgressUpdate = [this](TObject*, int v, int m) { progress.push_back({v, m}); };
    x.OnProgressStep = [this](TObject*, int mode, const std::string& caption, int, int) {
      steps.push_back(std::to_string(mode) + ":" + caption);
    };
  }
  TIBDBExtract x;
  TDBStructure s;
  std::vector<std::string> errors, steps;
  std::vector<std::pair<int, int>> progress;
};

TEST_F(RunChecks, EachMissingPropertyIsReportedAndTheStructureKept) {
  auto keep = std::make_unique<TTblData>(s.GetObjs());
  keep->SetName("KEPT");
  ASSERT_NE(s.GetObjs()->AddObject(keep, true), nullptr);

  TQORConnection untyped;  // cnAbstract
  TQORConnection typed;
  typed.SetConnectionType(TconnectionType::cnIBX);
  struct Case {
    TQORCustomConnection* connection;
    TDBStructure* structure;
    const char* text;
  } const cases[] = {
      {nullptr, &s, "TIBDBExtract.ExtractDatabase(): Connection property not assigned."},
      {&untyped, &s, "TIBDBExtract.ExtractDatabase(): ConnectionType in Connection not specified."},
      {&typed, nullptr, "TIBDBExtract.ExtractDatabase(): DBStructure not assigned."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    errors.clear();
    x.SetQORConnection(c.connection);
    x.SetDBStructure(c.structure);
    EXPECT_FALSE(x.ExtractDatabase());
    EXPECT_EQ(errors, std::vector<std::string>{c.text});
    ASSERT_EQ(x.GetMsgManager()->Count(), 1);
    EXPECT_EQ(x.GetMsgManager()->Items(0).Text, c.text);
    EXPECT_EQ(x.GetMsgManager()->Items(0).Kind, kMsgError);
    EXPECT_EQ(s.GetObjs()->Tables.Count(), 1);
  }
  EXPECT_EQ(steps.front(), "0:Starting");
  EXPECT_EQ(progress.front(), (std::pair<int, int>{0, TIBDBExtract::kStepCount}));
}

TEST_F(RunChecks, WithoutAnErrorEventTheTextGoesToTheMessageBox) {
  x.OnErrorMessage = nullptr;
  std::vector<std::string> shown;
  TUIHookGuard guard([&](const std::string& t) { shown.push_back(t); });
  EXPECT_FALSE(x.ExtractDatabase());
  EXPECT_EQ(shown, std::vector<std::string>{
                       "TIBDBExtract.ExtractDatabase(): Connection property not assigned."});
}

TEST(ServerVersionLog, NamesTheConfiguredVersion) {
  TDBStructure s;
  TIBDBExtract x;
  std::vector<std::string> log;
  x.OnLogNextLine = [&](TObject*, const std::string& t) { log.push_back(t); };
  x.LogServerVersion();  // no structure: nothing
  EXPECT_TRUE(log.empty());
  x.SetDBStructure(&s);
  s.GetObjs()->SetServerType(TDatabaseType::dbInterBase);
  s.GetObjs()->IBServerOptions.SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
  x.LogServerVersion();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "Server Version (user defined): " +
                        GetServerVersionName(TDatabaseType::dbInterBase, 11));
}

}  // namespace
}  // namespace qor
