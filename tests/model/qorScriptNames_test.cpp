// Names that must be quoted where an object's statement names it: the whole
// script, split as its dialect's client splits it, has each statement where
// the writer put it and reads the object's name (and the table a trigger is
// on) back as the one written. Minimised from the writer fuzz target.
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorDBStructure.h"
#include "tests/support/qorScriptSplit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qor {
namespace {

enum class TKind { Procedure, Type, TypeBeforeTable, Trigger, Table };

struct TNameCase {
  const char* Label;
  TDatabaseType St;
  TKind Kind;
  const char* Name;
  const char* Table;  // the trigger's table
};

template <class T>
T* Add(TObjs& objs, const std::string& name) {
  auto obj = std::make_unique<T>(&objs);
  obj->SetName(name);
  return objs.AddObject(obj, /*freeOnFail=*/true);
}

// A table of one column.
TTblData* AddTable(TObjs& objs, const std::string& name) {
  auto* t = Add<TTblData>(objs, name);
  auto f = std::make_unique<TFldData>(&objs, t);
  f->SetName("ID");
  f->DataType = dt::INTEGER;
  t->Fields.Add("ID", std::move(f));
  return t;
}

// The object of the case, with the names its statement must read back.
TDbObj* Build(TObjs& objs, const TNameCase& c, std::vector<std::string>& names) {
  names = {c.Name};
  switch (c.Kind) {
    case TKind::Procedure: {
      auto* p = Add<TPrcData>(objs, c.Name);
      p->SetText("IS\r\nBEGIN\r\n  NULL;\r\nEND;");
      return p;
    }
    case TKind::TypeBeforeTable: AddTable(objs, c.Table); [[fallthrough]];
    case TKind::Type: {
      auto* d = Add<TDmnData>(objs, c.Name);
      d->TypeKind = 4;
      d->TypeHolder->DataType = dt::INTEGER;
      return d;
    }
    case TKind::Trigger: {
      auto* t = AddTable(objs, c.Table);
      auto* trg = Add<TTrgData>(objs, c.Name);
      trg->SetTableName(t->GetName());
      trg->Timing = 1;
      trg->Events = 2;
      trg->ForEachRow = true;
      trg->SetText("BEGIN\r\nEND");
      names.push_back(t->GetName());
      return trg;
    }
    case TKind::Table: return AddTable(objs, c.Name);
  }
  return nullptr;
}

// clang-format off
const TNameCase kNameCases[] = {
    {"OracleProcedureDot", TDatabaseType::dbOracle, TKind::Procedure, ".", ""},
    {"OracleProcedureMixedCase", TDatabaseType::dbOracle, TKind::Procedure, "Order Count", ""},
    {"OracleTypeDigit", TDatabaseType::dbOracle, TKind::Type, "8", ""},
    {"OracleTypeLowerCase", TDatabaseType::dbOracle, TKind::Type, "id list", ""},
    // SQL*Plus runs a CREATE TYPE on a "/" line only; without one the next
    // statement is read into it.
    {"OracleTypeEndsOnItsLine", TDatabaseType::dbOracle, TKind::TypeBeforeTable, "ID_LIST", "T"},
    {"ASATriggerBracket", TDatabaseType::dbSybaseASA, TKind::Trigger, "[", "T"},
    {"ASATriggerTableBlank", TDatabaseType::dbSybaseASA, TKind::Trigger, "TRG", "ORDER LINES"},
    {"ASETableBlank", TDatabaseType::dbSybaseASE, TKind::Table, "ORDER LINES", ""},
    {"ASETableReservedWord", TDatabaseType::dbSybaseASE, TKind::Table, "ORDER", ""},
    // Reserved in Adaptive Server, not in T-SQL.
    {"ASETableOwnReservedWord", TDatabaseType::dbSybaseASE, TKind::Table, "LOCK", ""},
    {"ASETableClosingBracket", TDatabaseType::dbSybaseASE, TKind::Table, "A]B", ""},
    {"ASETableGo", TDatabaseType::dbSybaseASE, TKind::Table, "go", ""},
    {"ASEProcedureBlank", TDatabaseType::dbSybaseASE, TKind::Procedure, "Order Count", ""},
    {"ASETriggerOnBracketTable", TDatabaseType::dbSybaseASE, TKind::Trigger, "TRG ]", "[T]"},
};
// clang-format on

class ScriptNames : public ::testing::TestWithParam<TNameCase> {};

TEST_P(ScriptNames, StatementReadsTheNameBack) {
  const TNameCase& c = GetParam();
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  objs.SetServerType(c.St);
  std::vector<std::string> names;
  TDbObj* obj = Build(objs, c, names);
  ASSERT_NE(obj, nullptr);
  std::vector<std::string> entries;
  objs.GetScript(entries);
  const test::TScriptCheck check(objs, entries);
  std::string why;
  EXPECT_TRUE(check.StatementsAsWritten(why)) << why << "\n" << check.Script();
  const std::string statement = obj->GetCreateSQL();
  ASSERT_FALSE(statement.empty());
  EXPECT_NE(check.Script().find(statement), std::string::npos) << check.Script();
  EXPECT_TRUE(check.NamesReadBack(statement, names, why)) << why << "\n" << check.Script();
}

// The ALTER TYPE ... ADD ATTRIBUTE written with its type is a statement of
// its own: the CREATE TYPE ends on its "/" line before it, the ALTER on
// one after it, and the table that follows is a statement again.
TEST(ScriptNamesOracle, AddedAttributesEndOnTheirOwnLine) {
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  objs.SetServerType(TDatabaseType::dbOracle);
  auto* d = Add<TDmnData>(objs, "T_OBJ");
  d->TypeKind = 2;
  for (auto [list, name] : {std::pair{&d->Attributes, "A"}, std::pair{&d->AddedAttributes, "B"}}) {
    auto f = std::make_unique<TFldData>(&objs, d);
    f->SetName(name);
    f->DataType = dt::INTEGER;
    list->Add(name, std::move(f));
  }
  AddTable(objs, "T");
  std::vector<std::string> entries;
  objs.GetScript(entries);
  const test::TScriptCheck check(objs, entries);
  const std::string& script = check.Script();
  const std::vector<std::size_t>& starts = check.Result().Starts;
  for (const char* statement :
       {"CREATE OR REPLACE TYPE T_OBJ", "ALTER TYPE T_OBJ", "CREATE TABLE T"}) {
    const std::size_t at = script.find(statement);
    ASSERT_NE(at, std::string::npos) << statement << "\n" << script;
    EXPECT_NE(std::find(starts.begin(), starts.end(), at), starts.end())
        << statement << " does not start a statement:\n"
        << script;
  }
  // The type's entry holds the two statements; every other one statement.
  EXPECT_EQ(starts.size(), check.ExpectedStarts().size() + 1) << script;
}

INSTANTIATE_TEST_SUITE_P(Writer, ScriptNames, ::testing::ValuesIn(kNameCases),
                         [](const auto& info) { return std::string(info.param.Label); });

}  // namespace
}  // namespace qor
