// Indices, keys, checks, generators, exceptions, collations, triggers and
// roles read from the real Firebird 3 engine, embedded: the forms of
// tests/data/extract/ib_catalog.sql one by one.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "model/qorComp_Clt.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "platform/qorStrings.h"
#include "tests/extract/qorIBExtractFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace qor {
namespace {

using test::ExtractRun;
using test::Keys;

std::vector<std::string> Names(const TFieldList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Name(i));
  return out;
}

// The constraint of `type` on `table`, whatever its key.
TCtrData* ConstraintOf(TObjs& o, int type, const std::string& table) {
  for (int i = 0; i < o.Constraints.Count(); ++i) {
    TCtrData* c = o.Constraints.Value(i).get();
    if (c->GetConstraintType() == type && c->GetTableName() == table) return c;
  }
  return nullptr;
}

// An edge to the table, or with `field` to that column of it.
bool DependsOn(TDbObj* user, TTblData* used, const std::string& field) {
  TDbObj* target = field.empty() ? static_cast<TDbObj*>(used) : used->FindField(field);
  const TDependList& list = user->DependsOn();
  for (int i = 0; i < list.Count(); ++i) {
    const TDependObj* d = list.Value(i).get();
    if (d && target && d->Target == target) return true;
  }
  return false;
}

class IBExtractKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    db = test::CatalogFixtureDatabase(why);
    ASSERT_FALSE(db.empty()) << why;
    run.Embedded(db);
  }
  std::string db;
  ExtractRun run;
};

TEST_F(IBExtractKeys, KeysAndTheirIndicesAsDeclared) {
  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  EXPECT_TRUE(run.errors.empty());
  TObjs& o = run.Objs();

  struct Case {
    const char* what;
    const char* key;
    const char* indexName;
    bool desc;
  } const cases[] = {
      {"named key, ascending index of its own name", "PK_PLAIN", "", false},
      {"named key, descending index of its own name", "PK_CHILD", "PK_CHILD", true},
      {"unique key on an index whose name needs quoting", "UQ_CODE", "IX'UQ", false},
      {"foreign key on an index of its own name", "FK_CHILD", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TCtrData* k = o.FindConstraint(c.key);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->IndexName, c.indexName);
    EXPECT_EQ(k->DescIndex, c.desc);
  }
  EXPECT_EQ(Names(o.FindConstraint("UQ_CODE")->Columns), (std::vector<std::string>{"CODE"}));

  // A generated key name and index: no name, no index name, the name kept
  // as the system name.
  TCtrData* pk = ConstraintOf(o, 0, "KEY_PARENT");
  ASSERT_NE(pk, nullptr);
  EXPECT_EQ(pk->GetName(), "");
  EXPECT_TRUE(StartsWith(pk->SystemName, "INTEG_")) << pk->SystemName;
  EXPECT_EQ(pk->IndexName, "");
  EXPECT_EQ(Names(pk->Columns), (std::vector<std::string>{"ID"}));

  // Foreign keys: columns on both sides, actions, and what they depend on.
  TCtrData* fk = o.FindConstraint("FK_CHILD");
  EXPECT_EQ(fk->GetRefTableName(), "KEY_PARENT");
  EXPECT_EQ(Names(fk->Columns), (std::vector<std::string>{"PARENT_ID"}));
  EXPECT_EQ(Names(fk->RefColumns), (std::vector<std::string>{"ID"}));
  EXPECT_EQ(fk->DeleteRule, 2);
  EXPECT_EQ(fk->UpdateRule, 4);
  TTblData* parent = o.FindTable("KEY_PARENT");
  TTblData* child = o.FindTable("KEY_CHILD");
  EXPECT_TRUE(DependsOn(fk, child, ""));
  EXPECT_TRUE(DependsOn(fk, child, "PARENT_ID"));
  EXPECT_TRUE(DependsOn(fk, parent, ""));
  EXPECT_TRUE(DependsOn(fk, parent, "ID"));
  TCtrData* fkCode = o.FindConstraint("FK_CODE");
  ASSERT_NE(fkCode, nullptr);
  EXPECT_EQ(Names(fkCode->RefColumns), (std::vector<std::string>{"CODE"}));
  EXPECT_EQ(fkCode->DeleteRule, 0);
  EXPECT_EQ(fkCode->UpdateRule, 0);
  EXPECT_TRUE(DependsOn(pk, parent, "ID"));

  // Checks: what follows the keyword, spaced as stored; a generated name
  // moves.
  EXPECT_EQ(o.FindConstraint("CK_AMOUNT")->GetText(), " (AMOUNT > 0)");
  TCtrData* ck = ConstraintOf(o, 3, "KEY_PARENT");
  ASSERT_NE(ck, nullptr);
  EXPECT_EQ(ck->GetName(), "");
  EXPECT_TRUE(StartsWith(ck->SystemName, "INTEG_"));
  EXPECT_EQ(ck->GetText(), " (CODE <> '')");

  // Indices of their own: none backing a key, none generated.
  EXPECT_EQ(Keys(o.Indices), (std::vector<std::string>{"IX_AMOUNT", "IX_EXPR", "IX_INACTIVE"}));
  TIdxData* amount = o.FindIndex("IX_AMOUNT");
  EXPECT_TRUE(amount->Descending);
  EXPECT_TRUE(amount->Active);
  EXPECT_FALSE(amount->Unique);
  EXPECT_EQ(amount->TableName, "KEY_CHILD");
  EXPECT_EQ(Names(amount->Columns), (std::vector<std::string>{"AMOUNT"}));
  TIdxData* expr = o.FindIndex("IX_EXPR");
  EXPECT_EQ(expr->Columns.Count(), 0);
  EXPECT_NE(expr->GetText().find("AMOUNT * 2"), std::string::npos) << expr->GetText();
  TIdxData* inactive = o.FindIndex("IX_INACTIVE");
  EXPECT_FALSE(inactive->Active);
  EXPECT_TRUE(inactive->Unique);
  EXPECT_EQ(Names(inactive->Columns), (std::vector<std::string>{"CODE", "ID"}));
}

TEST_F(IBExtractKeys, FullLogMarksPrimaryAndForeignKeysOnly) {
  run.extract.ShowFullLog = true;
  ASSERT_TRUE(run.extract.ExtractDatabase());
  auto logged = [&](const std::string& line) {
    for (const std::string& l : run.log)
      if (l == line) return true;
    return false;
  };
  const std::string pk = run.Objs().FindConstraint("PK_PLAIN")->GetCreateSQL();
  const std::string fk = run.Objs().FindConstraint("FK_CHILD")->GetCreateSQL();
  const std::string uq = run.Objs().FindConstraint("UQ_CODE")->GetCreateSQL();
  EXPECT_TRUE(logged("---" + pk)) << pk;
  EXPECT_TRUE(logged("---" + fk)) << fk;
  EXPECT_TRUE(logged(uq)) << uq;
  EXPECT_FALSE(logged("---" + uq));
  EXPECT_TRUE(logged("---IX_EXPR"));
}

TEST_F(IBExtractKeys, ConstraintsOfAFilteredTableFollowIt) {
  // A generated name is accepted by its table's name.
  std::vector<std::string> asked;
  run.extract.OnAcceptObj = [&](TObject*, const std::string& name, TDbObject kind, bool& accept) {
    asked.push_back(name);
    accept = !(kind == TDbObject::dboTable && name == "KEY_PARENT");
  };
  ASSERT_TRUE(run.extract.ExtractDatabase());
  TObjs& o = run.Objs();
  EXPECT_EQ(ConstraintOf(o, 0, "KEY_PARENT"), nullptr);
  EXPECT_NE(o.FindConstraint("UQ_CODE"), nullptr);  // named: asked by its own name
  EXPECT_NE(o.FindConstraint("PK_PLAIN"), nullptr);
}

TEST_F(IBExtractKeys, GeneratorsExceptionsAndCollations) {
  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  TObjs& o = run.Objs();
  // Identity generators belong to their columns, not to the list.
  EXPECT_EQ(Keys(o.Generators), (std::vector<std::string>{"SEQ_PLAIN", "SEQ_STEP"}));
  struct GenCase {
    const char* name;
    const char* start;
    const char* step;
  } const gens[] = {{"SEQ_PLAIN", "", ""}, {"SEQ_STEP", "100", "10"}};
  for (const GenCase& c : gens) {
    SCOPED_TRACE(c.name);
    TGnrData* g = o.FindGenerator(c.name);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->StartWith, c.start);
    EXPECT_EQ(g->IncrementBy, c.step);
  }

  TExcData* e = o.FindException("E'Q");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Message, "It's wrong: @1");

  TCltData* ci = o.Collations.FindObject("UNI_CI_AI");
  ASSERT_NE(ci, nullptr);
  EXPECT_EQ(ci->CharacterSet, "UTF8");
  EXPECT_EQ(ci->FromCollation, "UNICODE");
  EXPECT_FALSE(ci->CaseSensitive);
  EXPECT_FALSE(ci->AccentSensitive);
  EXPECT_NE(ci->SpecificAttributes.find("NUMERIC-SORT=1"), std::string::npos)
      << ci->SpecificAttributes;
  // Roles of the database, not the engine's own.
  EXPECT_EQ(Keys(o.Roles), (std::vector<std::string>{"Role: R'Q", "Role: READER"}));
  TRolData* reader = o.Roles.FindObject("Role: READER");
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->GetDescription(), "reads");
  EXPECT_FALSE(reader->RoleOwner.empty());

  // The base collation's own attributes are not repeated.
  TCltData* plain = o.Collations.FindObject("UNI_PLAIN");
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(plain->CaseSensitive);
  EXPECT_EQ(plain->SpecificAttributes, "");
}

TEST(IBTriggerTypes, DecodedByTheirBits) {
  struct Case {
    std::int64_t type;
    TIBTriggerKind kind;
    int timing, events;
    const char* databaseEvent;
  } const cases[] = {
      {1, TIBTriggerKind::DML, 1, 2, ""},
      {6, TIBTriggerKind::DML, 2, 8, ""},
      {17, TIBTriggerKind::DML, 1, 2 | 4, ""},
      {28, TIBTriggerKind::DML, 2, 4 | 8, ""},
      {114, TIBTriggerKind::DML, 2, 2 | 4 | 8, ""},
      {7, TIBTriggerKind::Unknown, 0, 0, ""},
      {8192, TIBTriggerKind::Database, 0, 0, "CONNECT"},
      {8195, TIBTriggerKind::Database, 0, 0, "TRANSACTION COMMIT"},
      {8196, TIBTriggerKind::Database, 0, 0, "TRANSACTION ROLLBACK"},
      {8197, TIBTriggerKind::Database, 0, 0, ""},
      {16386, TIBTriggerKind::DDL, 1, 0, ""},
      {0x7FFFFFFFFFFFDFFE, TIBTriggerKind::DDL, 1, 0, ""},  // before any DDL statement
      {0x7FFFFFFFFFFFDFFF, TIBTriggerKind::DDL, 2, 0, ""},  // after
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    std::uint8_t timing = 9, events = 9;
    std::string event = "x";
    EXPECT_EQ(DecodeIBTriggerType(c.type, timing, events, event), c.kind);
    EXPECT_EQ(timing, c.timing);
    EXPECT_EQ(events, c.events);
    EXPECT_EQ(event, c.databaseEvent);
  }
}

TEST_F(IBExtractKeys, TriggersOfEveryKindAndNoneTheEngineWouldRefuse) {
  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  TObjs& o = run.Objs();
  EXPECT_EQ(Keys(o.Triggers),
            (std::vector<std::string>{"ANY_DDL", "KEY_CHILD_AIUD", "KEY_CHILD_BI", "ON_COMMIT",
                                      "ON_CREATE_TABLE", "V'CHK_BU"}));
  EXPECT_EQ(std::find_if(run.log.begin(), run.log.end(),
                         [](const std::string& l) { return StartsWith(l, "Trigger "); }),
            run.log.end())
      << "no trigger is left out";
  struct Case {
    const char* name;
    const char* table;
    int timing, events;
    bool active;
    int position;
  } const cases[] = {
      {"KEY_CHILD_BI", "KEY_CHILD", 1, 2, true, 3},
      {"KEY_CHILD_AIUD", "KEY_CHILD", 2, 2 | 4 | 8, false, 0},
      {"V'CHK_BU", "V_CHECKED", 1, 4 | 8, true, 0},
      {"ON_COMMIT", "DATABASE", 0, 0, true, 1},
      {"ANY_DDL", "DATABASE", 1, 0, false, 0},
      {"ON_CREATE_TABLE", "DATABASE", 2, 0, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTrgData* t = o.Triggers.FindObject(c.name);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetTableName(), c.table);
    EXPECT_EQ(t->Timing, c.timing);
    EXPECT_EQ(t->Events, c.events);
    EXPECT_EQ(t->Active, c.active);
    EXPECT_EQ(t->Position, c.position);
  }
  EXPECT_EQ(o.Triggers.FindObject("ON_COMMIT")->EventText, "TRANSACTION COMMIT");
  EXPECT_EQ(o.Triggers.FindObject("KEY_CHILD_BI")->GetTableObj(), o.FindTable("KEY_CHILD"));
  EXPECT_NE(o.Triggers.FindObject("KEY_CHILD_BI")->GetText().find("COALESCE(NEW.AMOUNT, 1)"),
            std::string::npos);
  // Each is written the way the engine reads it back.
  EXPECT_NE(o.Triggers.FindObject("KEY_CHILD_AIUD")
                ->GetCreateSQL()
                .find("AFTER INSERT OR UPDATE OR DELETE"),
            std::string::npos);
  EXPECT_NE(o.Triggers.FindObject("ON_COMMIT")->GetCreateSQL().find("ON TRANSACTION COMMIT"),
            std::string::npos);
  EXPECT_NE(o.Triggers.FindObject("ANY_DDL")->GetCreateSQL().find(
                "CREATE TRIGGER ANY_DDL\r\nINACTIVE BEFORE ANY DDL STATEMENT POSITION 0 \r\nAS"),
            std::string::npos);
}

}  // namespace
}  // namespace qor
