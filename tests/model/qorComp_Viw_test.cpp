// View texts: CREATE with and without a column list in every dialect, the
// view options of Oracle, MS SQL and MySQL, DROP, and the view's part of
// the dependency walk (its triggers after it, a changed view it rests on
// dropped and created again, the bodies of its readers emptied before it
// is dropped) against a recording writer.
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorScriptWriter.h"
#include "tests/model/qorDDLFixture.h"
#include "tests/model/qorModelFakes.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace qor::test {
namespace {

class ViewTest : public DDLTest {
 protected:
  TViwData* View(DB st, const std::string& name = "V", const std::string& parent = {}) {
    Server(st);
    TViwData* v = Held<TViwData>(name, parent);
    v->SetText("SELECT A, B FROM T");
    return v;
  }
  void AddColumns(TViwData* v, std::initializer_list<const char*> names) {
    for (const char* n : names) Column(v->Columns, v, n);
  }
};

TEST_F(ViewTest, CreateTextPerDialect) {
  struct Case {
    const char* name;
    DB st;
    std::function<void(TViwData&)> setup;
    const char* expected;
  };
  const Case cases[] = {
      {"InterBase without columns", DB::dbInterBase, [](TViwData&) {},
       "CREATE VIEW V\r\n AS \r\nSELECT A, B FROM T"},
      {"InterBase with columns, each on a line", DB::dbInterBase,
       [this](TViwData& v) {
         AddColumns(&v, {"X", "Y"});
       },
       "CREATE VIEW V(\r\nX,\r\nY)\r\n AS \r\nSELECT A, B FROM T"},
      {"InterBase quotes a column that needs it", DB::dbInterBase,
       [this](TViwData& v) { AddColumns(&v, {"x"}); },
       "CREATE VIEW V(\r\n\"x\")\r\n AS \r\nSELECT A, B FROM T"},
      {"ASA", DB::dbSybaseASA, [this](TViwData& v) { AddColumns(&v, {"X"}); },
       "CREATE VIEW V(\r\nX)\r\n AS \r\nSELECT A, B FROM T"},
      {"Oracle object view", DB::dbOracle,
       [](TViwData& v) {
         v.SetParentName("S");
         v.OfType = "T_OBJ";
         v.ObjectIdColumns = {"ID"};
       },
       "CREATE OR REPLACE VIEW S.V OF T_OBJ\r\n   WITH OBJECT IDENTIFIER(ID)\r\n   AS \r\nSELECT A, B FROM T"},
      {"Oracle with an object-id kind and columns", DB::dbOracle,
       [this](TViwData& v) {
         v.ObjectIdKind = "OID";
         v.ObjectIdColumns = {"ID", "ID2"};
         AddColumns(&v, {"X"});
       },
       "CREATE OR REPLACE VIEW V\r\n   WITH OBJECT OID(ID, ID2)(\r\nX)\r\n   AS \r\nSELECT A, B FROM T"},
      {"MS SQL plain", DB::dbMSSQL, [](TViwData& v) { v.SetParentName("dbo"); },
       "CREATE VIEW DBO.V\r\n AS \r\nSELECT A, B FROM T"},
      {"MS SQL schema binding alone", DB::dbMSSQL, [](TViwData& v) { v.SchemaBinding = true; },
       "CREATE VIEW V\r\n  WITH SCHEMABINDING\r\n AS \r\nSELECT A, B FROM T"},
      {"MS SQL all three options", DB::dbMSSQL,
       [this](TViwData& v) {
         v.WithEncryption = v.SchemaBinding = v.ViewMetadata = true;
         AddColumns(&v, {"X"});
       },
       "CREATE VIEW V(\r\nX)\r\n  WITH ENCRYPTION, SCHEMABINDING, VIEW_METADATA\r\n AS \r\nSELECT A, B FROM T"},
      {"MS SQL metadata without encryption", DB::dbMSSQL,
       [](TViwData& v) { v.ViewMetadata = true; },
       "CREATE VIEW V\r\n  WITH VIEW_METADATA\r\n AS \r\nSELECT A, B FROM T"},
      {"MS SQL without a body is its stored definition", DB::dbMSSQL,
       [](TViwData& v) {
         v.SetText("");
         v.ObjectSource = "create view V as select 1 as A";
       },
       "create view V as select 1 as A"},
      {"MySQL with algorithm and security", DB::dbMySQL,
       [this](TViwData& v) {
         v.Algorithm = "MERGE";
         v.SqlSecurity = "DEFINER";
         AddColumns(&v, {"X"});
       },
       "CREATE ALGORITHM=MERGE SQL SECURITY DEFINER VIEW V(\r\nX)\r\n AS \r\nSELECT A, B FROM T"},
      {"MySQL plain", DB::dbMySQL, [](TViwData&) {}, "CREATE VIEW V\r\n AS \r\nSELECT A, B FROM T"},
      {"PostgreSQL qualified", DB::dbPostgreSQL,
       [](TViwData& v) {
         v.SetName("v");
         v.SetParentName("s");
       },
       "CREATE VIEW s.v\r\n AS \r\nSELECT A, B FROM T"},
      {"DB2 qualified", DB::dbDB2, [](TViwData& v) { v.SetParentName("S"); },
       "CREATE VIEW S.V\r\n AS \r\nSELECT A, B FROM T"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TViwData* v = View(c.st);
    c.setup(*v);
    EXPECT_EQ(v->GetCreateSQL(), c.expected);
  }
}

TEST_F(ViewTest, DropAndTheOneLineForm) {
  TViwData* v = View(DB::dbMSSQL, "V", "dbo");
  EXPECT_EQ(v->GetDropSQL(), "DROP VIEW DBO.V");
  v->Suppressed = true;
  EXPECT_EQ(v->GetDropSQL(), "");
  v = View(DB::dbInterBase);
  EXPECT_EQ(v->GetDropSQL(), "DROP VIEW V");
  v = View(DB::dbPostgreSQL, "v");
  v->SetText("SELECT a,\r\n       b  FROM t");
  EXPECT_EQ(v->GetCreateSQLNormalized(), "CREATE VIEW v AS SELECT a, b FROM t");
}

class ViewWalkTest : public ViewTest {
 protected:
  void TearDown() override { Objs().ScriptWriter = nullptr; }
  void Walk(DB st) {
    Server(st);
    Objs().ScriptWriter = &writer;
  }
  void AllAbsent() {
    Objs().ForEachObject([](TDbObj& o) { o.Deselect(); });
  }
  RecordingWriter writer;
};

TEST_F(ViewWalkTest, CreateWritesTheViewThenItsTriggers) {
  Walk(DB::dbInterBase);
  TTblData* t = Held<TTblData>("T");
  Column(t, "A");
  TViwData* v = Held<TViwData>("V");
  v->SetText("SELECT A FROM T");
  TTrgData* trg = Held<TTrgData>("TR");
  trg->SetTableName("V");
  trg->TriggerType = 1;
  Objs().AddDependency(v, t, 0, 0);
  AllAbsent();
  v->WriteCreate();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"T:1", "V:1", "TR:1"}));
  EXPECT_EQ(writer.calls[1].text, "CREATE VIEW V\r\n AS \r\nSELECT A FROM T");
  EXPECT_EQ(writer.comments,
            (std::vector<std::string>{"/* Create view: V (ViwData.CreateDependDef) */"}));
  writer.calls.clear();
  v->WriteCreate();  // present: nothing
  EXPECT_TRUE(writer.calls.empty());
}

TEST_F(ViewWalkTest, DB2SetsTheSchemaFirst) {
  Walk(DB::dbDB2);
  TViwData* v = Held<TViwData>("V", "S");
  v->Deselect();
  v->WriteCreate();
  ASSERT_EQ(writer.calls.size(), 2u);
  EXPECT_EQ(writer.calls[0].text, "SET CURRENT SCHEMA = S");
  EXPECT_EQ(writer.calls[0].action, kActionNone);
  EXPECT_EQ(writer.calls[1].name, "S.V");
}

TEST_F(ViewWalkTest, AChangedViewUnderneathIsDroppedAndCreatedAgain) {
  // A comparison: the source holds the new text of A, the target the old
  // one; B rests on A and is being created in the target.
  Walk(DB::dbInterBase);
  TObjs& target = Objs();
  TObjs source;
  source.SetServerType(DB::dbInterBase);
  source.Role = 1;
  target.Role = 2;
  source.LinkedObjs = &target;
  target.LinkedObjs = &source;
  source.ScriptWriter = &writer;
  auto make = [](TObjs& objs, const std::string& name, const std::string& copy) {
    auto v = std::make_unique<TViwData>(&objs);
    v->SetName(name);
    v->SourceCopy = copy;
    return objs.AddObject(v, true);
  };
  TViwData* aSrc = make(source, "A", "new");
  TViwData* bSrc = make(source, "B", "b");
  TViwData* aDst = make(target, "A", "old");
  aSrc->Counterpart = aDst;
  aDst->Counterpart = aSrc;
  source.AddDependency(bSrc, aSrc, 0, 0);
  bSrc->Deselect();

  bSrc->WriteCreate();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"A:3", "A:1", "B:1"}));
  EXPECT_EQ(writer.comments,
            (std::vector<std::string>{"/* Alter view (drop/create): A for view: B */",
                                      "/* Alter view (drop): A for view: B */",
                                      "/* Alter view (create): A for view: B */",
                                      "/* Create view: A (ViwData.CreateDependDef) */",
                                      "/* Create view: B (ViwData.CreateDependDef) */"}));
  EXPECT_EQ(aDst->SourceCopy, "new");
  // Once taken over, the texts agree and nothing is repeated.
  writer.calls.clear();
  bSrc->Deselect();
  bSrc->WriteCreate();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"B:1"}));

  source.ScriptWriter = nullptr;
  source.LinkedObjs = nullptr;
  target.LinkedObjs = nullptr;
  target.Role = 0;
}

TEST_F(ViewWalkTest, SelectMakesTheEdgesOfItsUsersActiveAgain) {
  Walk(DB::dbInterBase);
  TViwData* v = Held<TViwData>("V");
  TViwData* w = Held<TViwData>("W");
  TPrcData* p = Held<TPrcData>("P");
  Objs().AddDependency(w, v, 0, 0);
  Objs().AddDependency(p, v, 0, 0);
  for (TDbObj* o : std::vector<TDbObj*>{v, w, p}) {
    for (const auto& e : o->DependsOn()) e.Value->Active = false;
    for (const auto& e : o->UsedBy()) e.Value->Active = false;
  }
  v->Select();
  EXPECT_TRUE(w->DependsOn().Object(0)->Active);
  EXPECT_TRUE(v->UsedBy().Object(0)->Active);   // to W
  EXPECT_FALSE(v->UsedBy().Object(1)->Active);  // to a routine: left
  EXPECT_FALSE(p->DependsOn().Object(0)->Active);
}

TEST_F(ViewWalkTest, DropEmptiesItsReadersAndDropsTheRest) {
  struct Case {
    DB st;
    std::vector<std::string> trace;
  };
  const Case cases[] = {
      {DB::dbInterBase, {"TR:6", "P:6", "CHK:3", "ON_V:3", "W:3", "V:3"}},
      // ASE cannot alter them: it drops them.
      {DB::dbSybaseASE, {"TR:3", "P:3", "CHK:3", "ON_V:3", "W:3", "V:3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.st));
    writer.calls.clear();
    Walk(c.st);
    TViwData* v = Held<TViwData>("V");
    TTrgData* reader = Held<TTrgData>("TR");
    reader->SetTableName("T2");
    reader->SetText("AS BEGIN SELECT COUNT(*) FROM V INTO :I; END");
    TPrcData* p = Held<TPrcData>("P");
    p->SetText("BEGIN SELECT COUNT(*) FROM V INTO :I; END");
    auto chk = std::make_unique<TCtrData>(&Objs());
    chk->SetName("CHK");
    TCtrData* ctr = Objs().AddObject(chk, true);
    TViwData* w = Held<TViwData>("W");
    TTrgData* onView = Held<TTrgData>("ON_V");
    onView->SetTableName("V");
    auto grant = std::make_unique<TGntData>(&Objs());
    grant->ObjectName = "V";
    grant->Grantee = "PUBLIC";
    TGntData* g = Objs().AddObject(grant, true);
    ASSERT_NE(g, nullptr);
    for (TDbObj* user : std::vector<TDbObj*>{reader, p, ctr, w})
      Objs().AddDependency(user, v, 0, 0);
    Objs().AddDependency(v, v, 0, 0);  // an edge to itself is only served

    v->WriteDrop();
    EXPECT_EQ(writer.Trace(), c.trace);
    EXPECT_FALSE(v->GetSelected());
    EXPECT_FALSE(g->GetSelected());  // the grants on the view go with it
    if (c.st == DB::dbInterBase) {
      EXPECT_TRUE(p->GetSelected());
      EXPECT_TRUE(p->HasEmptyBody());
      EXPECT_TRUE(reader->HasEmptyBody());
    }
  }
}

}  // namespace
}  // namespace qor::test
