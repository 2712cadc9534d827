// Dependency edges: both halves of every reference, no duplicates, the
// redirection to columns, removal, the detaching of rejected objects (run
// under the sanitizers, so a dangling edge fails the suite), and the
// dependency-ordered walk against a recording writer.
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
#include "model/qorScriptWriter.h"
#include "tests/model/qorModelFakes.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace qor {
namespace {

class DependTest : public ::testing::Test {
 protected:
  TObjs& Objs() { return *structure.GetObjs(); }

  template <class T>
  T* Held(const std::string& name) {
    auto obj = std::make_unique<T>(&Objs());
    obj->SetName(name);
    T* raw = Objs().AddObject(obj, true);
    EXPECT_NE(raw, nullptr) << name;
    return raw;
  }
  TFldData* Column(TFieldList& list, TDbObj* holder, const std::string& name) {
    auto f = std::make_unique<TFldData>(&Objs(), holder);
    f->SetName(name);
    TFldData* raw = f.get();
    list.Add(name, std::move(f));
    return raw;
  }

  // Every edge of every object and sub-object has its other half, and no
  // edge leads to something the collection does not hold. Dereferences
  // every target, so a freed one shows up under the sanitizers.
  void ExpectConsistent() {
    std::vector<TDbObj*> all;
    Objs().ForEachObject([&all](TDbObj& o) {
      all.push_back(&o);
      std::vector<TDbObj*> stack{&o};
      while (!stack.empty()) {
        TDbObj* cur = stack.back();
        stack.pop_back();
        std::vector<TDbObj*> subs;
        cur->GetSubObjects(subs);
        for (TDbObj* s : subs) {
          all.push_back(s);
          stack.push_back(s);
        }
      }
    });
    auto known = [&all](const TDbObj* p) {
      return std::find(all.begin(), all.end(), p) != all.end();
    };
    for (TDbObj* o : all) {
      for (const auto& e : o->DependsOn()) {
        ASSERT_TRUE(known(e.Value->Target)) << o->GetName() << " -> " << e.Name;
        EXPECT_EQ(CountEdges(e.Value->Target->UsedBy(), o),
                  CountEdges(o->DependsOn(), e.Value->Target));
        EXPECT_EQ(e.Value->Target->GetName(), e.Name);
      }
      for (const auto& e : o->UsedBy()) {
        ASSERT_TRUE(known(e.Value->Target)) << o->GetName() << " <- " << e.Name;
        EXPECT_GE(CountEdges(e.Value->Target->DependsOn(), o), 1);
      }
    }
  }
  static int CountEdges(const TDependList& list, const TDbObj* target) {
    int n = 0;
    for (const auto& e : list) n += e.Value->Target == target;
    return n;
  }

  TDBStructure structure;
};

TEST_F(DependTest, EveryReferenceHasBothHalvesOnce) {
  TTblData* t = Held<TTblData>("T");
  TPrcData* p = Held<TPrcData>("P");
  Objs().AddDependency(p, t, 3, 7);
  Objs().AddDependency(p, t, 4, 1);  // the same reference again
  ASSERT_EQ(p->DependsOn().Count(), 1);
  ASSERT_EQ(t->UsedBy().Count(), 1);
  const TDependObj* e = p->DependsOn().Object(0);
  EXPECT_EQ(e->Target, t);
  EXPECT_EQ(e->ObjType, TDbObject::dboTable);
  EXPECT_EQ(e->Line, 3);
  EXPECT_EQ(e->Column, 7);
  EXPECT_TRUE(e->Active);
  EXPECT_EQ(t->UsedBy().Name(0), "P");
  EXPECT_EQ(t->UsedBy().Object(0)->Target, p);
  Objs().AddDependency(nullptr, t, 0, 0);
  Objs().AddDependency(p, nullptr, 0, 0);
  ExpectConsistent();
}

TEST_F(DependTest, ColumnReferencesLandOnTheColumn) {
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t->Fields, t, "C");
  TViwData* v = Held<TViwData>("V");
  Objs().AddDependency(v, t, 1, 1, "C");
  ASSERT_EQ(v->DependsOn().Count(), 1);
  EXPECT_EQ(v->DependsOn().Object(0)->Target, c);
  EXPECT_EQ(c->UsedBy().Object(0)->Target, v);
  EXPECT_EQ(t->UsedBy().Count(), 0);

  Objs().AddDependency(v, t, 1, 1, "NOT_A_COLUMN");
  EXPECT_EQ(v->DependsOn().Count(), 1);  // no edge at all

  // A view's columns are reached the same way.
  TFldData* vc = Column(v->Columns, v, "VC");
  TPrcData* p = Held<TPrcData>("P");
  Objs().AddDependency(p, v, 1, 1, "VC");
  EXPECT_EQ(p->DependsOn().Object(0)->Target, vc);
  // A routine named with a field is referenced as a whole.
  TPrcData* q = Held<TPrcData>("Q");
  Objs().AddDependency(p, q, 1, 1, "X");
  EXPECT_EQ(p->DependsOn().Object(1)->Target, q);
  EXPECT_EQ(p->DependsOn().Object(1)->FieldName, "");
  ExpectConsistent();
}

TEST_F(DependTest, TableUsingADomainThroughItsColumn) {
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t->Fields, t, "C");
  TDmnData* d = Held<TDmnData>("D");
  Objs().AddDependency(t, d, 1, 1, "C");
  ASSERT_EQ(t->DependsOn().Count(), 1);
  EXPECT_EQ(t->DependsOn().Object(0)->Target, d);
  ASSERT_EQ(c->DependsOn().Count(), 1);
  EXPECT_EQ(c->DependsOn().Object(0)->Target, d);
  EXPECT_EQ(d->UsedBy().Count(), 2);
  ExpectConsistent();
}

TEST_F(DependTest, RemoveDependenciesOnClearsEveryHolder) {
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t->Fields, t, "C");
  TViwData* v = Held<TViwData>("V");
  TFldData* vc = Column(v->Columns, v, "VC");
  TPrcData* p = Held<TPrcData>("P");
  TFldData* param = Column(p->InParams, p, "A");
  TGnrData* g = Held<TGnrData>("G");
  Objs().AddDependency(t, g, 0, 0);
  Objs().AddDependency(c, g, 0, 0);
  Objs().AddDependency(vc, g, 0, 0);
  Objs().AddDependency(param, g, 0, 0);
  Objs().AddDependency(g, p, 0, 0);
  Objs().AddDependency(v, t, 0, 0);
  Objs().RemoveDependenciesOn(g);
  for (TDbObj* o : std::vector<TDbObj*>{t, c, v, vc, p, param}) {
    SCOPED_TRACE(o->GetName());
    EXPECT_EQ(CountEdges(o->DependsOn(), g) + CountEdges(o->UsedBy(), g), 0);
  }
  EXPECT_EQ(g->DependsOn().Count() + g->UsedBy().Count(), 0);
  EXPECT_EQ(CountEdges(v->DependsOn(), t), 1);  // other edges stay
  ExpectConsistent();
}

TEST_F(DependTest, RejectedDuplicateLeavesNoEdgeBehind) {
  TTblData* kept = Held<TTblData>("T");
  TViwData* v = Held<TViwData>("V");
  TTrgData* trg = Held<TTrgData>("TR");
  TPrcData* p = Held<TPrcData>("P");
  TFldData* param = Column(p->InParams, p, "A");
  TDmnData* d = Held<TDmnData>("D");

  // A parser records the references of a new table before offering it.
  auto dup = std::make_unique<TTblData>(&Objs());
  dup->SetName("T");
  TFldData* dupCol = Column(dup->Fields, dup.get(), "C");
  Objs().AddDependency(v, dup.get(), 1, 1, "C");  // view -> its column
  Objs().AddDependency(trg, dup.get(), 1, 1);     // trigger -> table
  Objs().AddDependency(dup.get(), d, 1, 1, "C");  // table and column -> domain
  Objs().AddDependency(param, dupCol, 1, 1);      // parameter -> column
  Objs().AddDependency(dup.get(), p, 1, 1);       // table -> routine
  ASSERT_EQ(v->DependsOn().Count(), 1);
  ASSERT_EQ(d->UsedBy().Count(), 2);

  EXPECT_EQ(Objs().AddObject(dup, /*freeOnFail=*/true), nullptr);
  EXPECT_EQ(dup, nullptr);  // freed
  EXPECT_EQ(v->DependsOn().Count(), 0);
  EXPECT_EQ(trg->DependsOn().Count(), 0);
  EXPECT_EQ(d->UsedBy().Count(), 0);
  EXPECT_EQ(param->DependsOn().Count(), 0);
  EXPECT_EQ(p->UsedBy().Count(), 0);
  EXPECT_EQ(Objs().FindTable("T"), kept);
  ExpectConsistent();
  // The walk reads the edges: nothing may lead to the freed table.
  test::RecordingWriter w;
  Objs().ScriptWriter = &w;
  v->Deselect();
  v->WriteCreate();
  Objs().ScriptWriter = nullptr;
}

TEST_F(DependTest, FilteredObjectIsDetachedToo) {
  test::FakeExtractor ex;
  ex.Link(&structure);
  ex.filteredName = "SKIP";
  TViwData* v = Held<TViwData>("V");
  auto* t = new TTblData(&Objs());
  t->SetName("SKIP");
  Column(t->Fields, t, "C");
  Objs().AddDependency(v, t, 0, 0, "C");
  Objs().AddDependency(v, t, 0, 0);
  EXPECT_EQ(ex.AddObjIfAccepted(t), nullptr);
  EXPECT_EQ(v->DependsOn().Count(), 0);
  ExpectConsistent();
}

TEST_F(DependTest, FreeingAnObjectAnywhereTakesItsEdgesAlong) {
  TGnrData* g = Held<TGnrData>("G");
  {
    TPrcData scratch(&Objs());  // never offered to the collection
    scratch.SetName("SCRATCH");
    Objs().AddDependency(&scratch, g, 0, 0);
    ASSERT_EQ(g->UsedBy().Count(), 1);
  }
  EXPECT_EQ(g->UsedBy().Count(), 0);
  // And a collection full of edges frees cleanly in any order.
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t->Fields, t, "C");
  Objs().AddDependency(c, t, 0, 0);  // a column may use its own table
  Objs().AddDependency(t, t, 0, 0);  // and an object itself
  Objs().AddDependency(g, c, 0, 0);
  // An object that outlives the collection keeps no edge to what went,
  // while the edges among the objects that went are simply freed.
  TViwData stays(&Objs());
  stays.SetName("STAYS");
  Objs().AddDependency(&stays, t, 0, 0);
  Objs().AddDependency(&stays, c, 0, 0);
  Objs().AddDependency(g, &stays, 0, 0);
  Objs().Clear();
  EXPECT_EQ(stays.DependsOn().Count(), 0);
  EXPECT_EQ(stays.UsedBy().Count(), 0);
}

TEST_F(DependTest, FreedAndRemadeObjectsKeepNoStaleEdges) {
  // Enough columns and edges to fill several of their pools' slabs, every
  // other table dropped and made again: an object made in a block that a
  // freed column or edge held starts without edges, and the edges made
  // afterwards pair up as before.
  constexpr int kTables = 120;
  auto name = [](int i) { return "T" + std::to_string(i); };
  auto make = [&](int i) {
    TTblData* t = Held<TTblData>(name(i));
    for (int c = 0; c < 6; ++c) Column(t->Fields, t, "C" + std::to_string(c));
    return t;
  };
  auto link = [&](int i) {
    TTblData* t = Objs().FindTable(name(i));
    TTblData* parent = Objs().FindTable(name(i - 1));
    Objs().AddDependency(t, parent, 0, 0, "C0");
    Objs().AddDependency(t->FindField("C1"), parent->FindField("C2"), 0, 0);
  };
  for (int i = 0; i < kTables; ++i) make(i);
  for (int i = 1; i < kTables; ++i) link(i);
  for (int i = 1; i < kTables; i += 2) Objs().DropTable(name(i), name(i));
  ExpectConsistent();
  for (int i = 1; i < kTables; i += 2) {
    TTblData* t = make(i);
    EXPECT_TRUE(t->DependsOn().Empty() && t->UsedBy().Empty()) << name(i);
    for (const auto& f : t->Fields)
      EXPECT_TRUE(f.Value->DependsOn().Empty() && f.Value->UsedBy().Empty()) << name(i);
  }
  for (int i = 1; i < kTables; ++i) link(i);
  ExpectConsistent();
  for (int i = 0; i < kTables; ++i) {
    TTblData* t = Objs().FindTable(name(i));
    const int users = i + 1 < kTables ? 1 : 0;
    EXPECT_EQ(t->DependsOn().Count(), i > 0 ? 1 : 0) << name(i);
    EXPECT_EQ(t->FindField("C0")->UsedBy().Count(), users) << name(i);
    EXPECT_EQ(t->FindField("C2")->UsedBy().Count(), users) << name(i);
  }
}

TEST_F(DependTest, DetachedTableIsForgottenByTriggers) {
  TTblData* held = Held<TTblData>("T");
  TTrgData* trg = Held<TTrgData>("TR");
  trg->SetTableName("T");
  ASSERT_EQ(trg->GetTableObj(), held);
  trg->SetTableName("T");  // unchanged: the link stays
  EXPECT_EQ(trg->GetTableObj(), held);

  // A table taken out of its list and freed must not stay linked.
  std::unique_ptr<TTblData> out = Objs().Tables.Extract(Objs().Tables.IndexOfObject(held));
  Objs().DetachObject(out.get());
  EXPECT_EQ(trg->GetTableObj(), nullptr);
  out.reset();
  trg->SetTableName("T");
  EXPECT_EQ(trg->GetTableObj(), nullptr);
  Held<TViwData>("T");
  trg->SetTableName("T");  // a view of that name is the next choice
  EXPECT_NE(trg->GetTableObj(), nullptr);
}

TEST_F(DependTest, DeselectedDependency) {
  TViwData* v = Held<TViwData>("V");
  TTblData* t = Held<TTblData>("T");
  Objs().AddDependency(v, t, 0, 0);
  Objs().AddDependency(v, v, 0, 0);
  EXPECT_FALSE(v->HasDeselectedDependency());
  v->Deselect();
  EXPECT_FALSE(v->HasDeselectedDependency());  // itself does not count
  t->Deselect();
  EXPECT_TRUE(v->HasDeselectedDependency());
  for (const auto& e : v->DependsOn()) e.Value->Active = false;
  EXPECT_FALSE(v->HasDeselectedDependency());
}

TEST_F(DependTest, EdgeDisplayNames) {
  TTblData* t = Held<TTblData>("T");
  TDependObj e(&Objs());
  e.SetName("T");
  EXPECT_EQ(e.ObjType, TDbObject::dboDepend);
  EXPECT_EQ(e.GetDisplayName(), "T");
  e.Target = t;
  Objs().SetServerType(TDatabaseType::dbMSSQL);
  t->SetParentName("DBO");
  EXPECT_EQ(e.GetDisplayName(), "DBO.T");
  e.Changed = true;
  EXPECT_EQ(e.GetDisplayName(), "(+/-) T");
  e.FieldName = "C";
  EXPECT_EQ(e.GetDisplayName(), "T (field: C)");
}

class WalkTest : public DependTest {
 protected:
  void SetUp() override { Objs().ScriptWriter = &writer; }
  void TearDown() override { Objs().ScriptWriter = nullptr; }
  // Marks every object and column absent from the target.
  void AllAbsent() {
    Objs().ForEachObject([](TDbObj& o) {
      o.Deselect();
      std::vector<TDbObj*> subs;
      o.GetSubObjects(subs);
      for (TDbObj* s : subs) s->Deselect();
    });
  }
  test::RecordingWriter writer;
};

TEST_F(WalkTest, CreateWritesWhatIsUsedFirst) {
  TTblData* t = Held<TTblData>("T");
  TViwData* v = Held<TViwData>("V");
  TGnrData* g = Held<TGnrData>("G");
  TTrgData* trg = Held<TTrgData>("TR");
  Objs().AddDependency(v, t, 0, 0);
  Objs().AddDependency(trg, g, 0, 0);
  Objs().AddDependency(trg, v, 0, 0);
  AllAbsent();
  trg->WriteCreate();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"G:1", "T:1", "V:1", "TR:1"}));
  EXPECT_EQ(writer.calls.back().kind, kStmtTrigger);
  EXPECT_EQ(writer.calls[0].kind, kStmtObject);
  for (const auto& e : trg->DependsOn()) EXPECT_FALSE(e.Value->Active);
  EXPECT_TRUE(t->GetSelected());

  // Present objects are not written again.
  writer.calls.clear();
  trg->WriteCreate();
  v->WriteCreate();
  EXPECT_TRUE(writer.calls.empty());
}

TEST_F(WalkTest, ColumnEdgeCreatesItsTable) {
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t->Fields, t, "C");
  TViwData* v = Held<TViwData>("V");
  Objs().AddDependency(v, t, 0, 0, "C");
  Objs().AddDependency(c, t, 0, 0);  // a column's edge to its own table
  AllAbsent();
  v->WriteCreate();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"T:1", "V:1"}));
  // Creating the column alone serves its edge to the table without it.
  writer.calls.clear();
  AllAbsent();
  t->Select();
  for (const auto& e : c->DependsOn()) e.Value->Active = true;
  c->WriteCreate();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"C:1"}));
  EXPECT_EQ(writer.calls[0].table, "T");
}

TEST_F(WalkTest, CyclesEnd) {
  TViwData* a = Held<TViwData>("A");
  TViwData* b = Held<TViwData>("B");
  Objs().AddDependency(a, b, 0, 0);
  Objs().AddDependency(b, a, 0, 0);
  AllAbsent();
  a->WriteCreate();
  // B is reached first; its edge back to A finds A under way and leaves it.
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"B:1", "A:1"}));
  writer.calls.clear();
  a->WriteDrop();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"B:3", "A:3"}));
}

TEST_F(WalkTest, DropRemovesUsersFirstAndOnlyOnce) {
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t->Fields, t, "C");
  TViwData* v = Held<TViwData>("V");
  TPrcData* p = Held<TPrcData>("P");
  Objs().AddDependency(v, t, 0, 0);
  Objs().AddDependency(p, v, 0, 0);
  t->WriteDrop();
  // The routine that reads the view keeps existing with a stub body.
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"P:6", "V:3", "T:3"}));
  EXPECT_TRUE(p->GetSelected());
  EXPECT_FALSE(c->GetSelected());  // a dropped table takes its columns
  writer.calls.clear();
  t->WriteDrop();  // already absent: nothing
  EXPECT_TRUE(writer.calls.empty());

  // A constraint without a name is dropped under its system name.
  auto ctr = std::make_unique<TCtrData>(&Objs());
  ctr->SystemName = "SYS_1";
  TCtrData* held = Objs().AddObject(ctr, true);
  ASSERT_NE(held, nullptr);
  held->WriteDrop();
  EXPECT_EQ(writer.calls.back().name, "SYS_1");
}

TEST_F(WalkTest, RoutineUsedByAViewGetsAStubBody) {
  TViwData* v = Held<TViwData>("V");
  TPrcData* p = Held<TPrcData>("P");
  Objs().AddDependency(v, p, 0, 0);
  AllAbsent();
  v->WriteCreate();
  ASSERT_EQ(writer.calls.size(), 2u);
  EXPECT_EQ(writer.calls[0].name, "P");
  EXPECT_EQ(writer.calls[0].kind, kStmtRoutine);
  EXPECT_EQ(writer.calls[0].action, kActionEmptyBody);
  EXPECT_EQ(writer.calls[0].objKind, TDbObject::dboProcedure);
  EXPECT_TRUE(p->BodyEmptied);
  EXPECT_TRUE(p->GetSelected());

  // PostgreSQL creates the routine in full, in its schema.
  writer.calls.clear();
  Objs().SetServerType(TDatabaseType::dbPostgreSQL);
  AllAbsent();
  for (const auto& e : v->DependsOn()) e.Value->Active = true;
  p->SetParentName("s");
  v->WriteCreate();
  // A routine is named as it stands, other objects by their qualified name.
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"P:1", "\"V\":1"}));
  EXPECT_EQ(writer.calls[0].kind, kStmtRoutine);
  EXPECT_NE(std::find(writer.schemas.begin(), writer.schemas.end(), "s"), writer.schemas.end());
}

TEST_F(WalkTest, DescriptionsFollowTheirStatement) {
  TPrcData* p = Held<TPrcData>("P");
  p->SetDescription("routine");
  Column(p->InParams, p, "A")->SetDescription("input");
  Column(p->OutParams, p, "R");
  TTblData* t = Held<TTblData>("T");
  AllAbsent();
  p->WriteCreate();
  t->WriteCreate();
  EXPECT_EQ(writer.descriptions, (std::vector<std::string>{"P", "A"}));
  writer.descriptions.clear();
  Objs().ObjFilter.Exclude(TCmpObjType::coDescription);
  AllAbsent();
  p->WriteCreate();
  EXPECT_TRUE(writer.descriptions.empty());
}

TEST_F(WalkTest, WithoutAWriterOnlyTheStateMoves) {
  TTblData* t = Held<TTblData>("T");
  Objs().ScriptWriter = nullptr;
  t->Deselect();
  t->WriteCreate();
  EXPECT_TRUE(t->GetSelected());
  t->WriteDrop();
  EXPECT_FALSE(t->GetSelected());
}

TEST_F(WalkTest, TablesHeldByTheSourceAreNotDropped) {
  TObjs source;
  source.Role = 1;
  auto same = std::make_unique<TTblData>(&source);
  same->SetName("T");
  source.AddObject(same, true);
  Objs().LinkedObjs = &source;
  TTblData* t = Held<TTblData>("T");
  TTblData* other = Held<TTblData>("OTHER");
  t->WriteDrop();
  other->WriteDrop();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"OTHER:3"}));
  Objs().LinkedObjs = nullptr;
}

// A chain as long as a database makes it: views reading views down to a
// table, whose column is of a domain built on a domain, and so on. The walk
// goes the whole depth in both directions; a walk that recursed once per
// edge would run out of stack (under the sanitizers long before 60,000).
class WalkChainTest : public WalkTest {
 protected:
  static constexpr int kViews = 30000;
  static constexpr int kDomains = 30000;
  static std::string Name(char kind, int i) {
    const std::string n = std::to_string(i);
    return kind + std::string(6 - n.size(), '0') + n;
  }
  // V000000 reads V000001 ... the last view reads table T, whose column C
  // is of domain D000000, built on D000001 ... Keys sort before what they
  // use, so every walk goes the whole way down.
  void SetUp() override {
    WalkTest::SetUp();
    std::vector<TViwData*> views;
    for (int i = 0; i < kViews; ++i) views.push_back(Held<TViwData>(Name('V', i)));
    std::vector<TDmnData*> domains;
    for (int i = 0; i < kDomains; ++i) domains.push_back(Held<TDmnData>(Name('D', i)));
    table = Held<TTblData>("T");
    Column(table->Fields, table, "C");
    for (int i = 0; i + 1 < kViews; ++i) Objs().AddDependency(views[i], views[i + 1], 0, 0);
    Objs().AddDependency(views.back(), table, 0, 0);
    Objs().AddDependency(table, domains.front(), 0, 0, "C");
    for (int i = 0; i + 1 < kDomains; ++i) Objs().AddDependency(domains[i], domains[i + 1], 0, 0);
    first = views.front();
    last = domains.back();
  }
  std::vector<std::string> Expected(char firstKind, int firstCount, char lastKind, int lastCount,
                                    const std::string& middle, int action, bool down) {
    std::vector<std::string> out;
    const std::string a = ":" + std::to_string(action);
    for (int i = 0; i < firstCount; ++i)
      out.push_back(Name(firstKind, down ? firstCount - 1 - i : i) + a);
    if (!middle.empty()) out.push_back(middle + a);
    for (int i = 0; i < lastCount; ++i)
      out.push_back(Name(lastKind, down ? lastCount - 1 - i : i) + a);
    return out;
  }
  TTblData* table = nullptr;
  TViwData* first = nullptr;
  TDmnData* last = nullptr;
};

TEST_F(WalkChainTest, CreateGoesTheWholeChainDownFirst) {
  AllAbsent();
  first->WriteCreate();
  // The deepest domain first, then back up: each object after what it uses.
  const auto trace = writer.Trace();
  const auto expected = Expected('D', kDomains, 'V', kViews, "T", 1, /*down=*/true);
  ASSERT_EQ(trace.size(), expected.size());
  for (std::size_t i = 0; i < trace.size(); ++i) ASSERT_EQ(trace[i], expected[i]) << i;
  EXPECT_TRUE(first->GetSelected());
}

TEST_F(WalkChainTest, DropGoesTheWholeChainUpFirst) {
  last->WriteDrop();
  // The users of the column's domain chain go first, the first view first;
  // the table itself only loses the column's use, it is not dropped.
  const auto trace = writer.Trace();
  const auto expected = Expected('V', kViews, 'D', kDomains, "", 3, /*down=*/false);
  ASSERT_EQ(trace.size(), expected.size());
  for (std::size_t i = 0; i < trace.size(); ++i) ASSERT_EQ(trace[i], expected[i]) << i;
  EXPECT_FALSE(last->GetSelected());
  EXPECT_TRUE(table->GetSelected());
}

}  // namespace
}  // namespace qor
