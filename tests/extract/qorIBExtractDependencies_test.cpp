// The engine knows the answer: every edge the extraction links (the
// catalog read, then the stored bodies parsed by the InterBase body parser
// in the "Parsing bodies..." step) is held against RDB$DEPENDENCIES of the
// source database, for the every-kind fixture, the employee sample and the
// body corpus of forms Firebird 3 builds; the
// differences are the short reviewed lists below.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "engine/qorDBEngine.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "platform/qorStrings.h"
#include "tests/extract/qorIBExtractFixture.h"
#include "tests/support/qorDependencyAgreement.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorModelDump.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qor {
namespace {

using test::EdgeCovered;
using test::EdgeReviewed;
using test::EngineDependentKey;
using test::EngineTargetKey;
using test::ExtractRun;
using test::ModelTargetKey;
using test::TReviewedEdge;

// Engine rows we do not reproduce.
const TReviewedEdge kEngineOnly[] = {
    {"procedure:DEPT_BUDGET -> proc:DEPT_BUDGET",
     "a procedure calling itself gets no edge: the dependency walk would loop on it"},
};

// Our edges the engine does not list.
// clang-format off
const TReviewedEdge kOursOnly[] = {
    {"view: -> dom:", "a view depends on the domains of its columns, which the engine records "
                      "for the table alone"},
    {"procedure:P_FORMS -> rel:LOG_ROWS.WHAT",
     "a named cursor's column the body never reads: the engine compiles it away, the text still "
     "names it"},
};
// clang-format on

using TRow = std::map<std::string, std::string>;

std::vector<TRow> Rows(TQORConnection& c, const std::string& sql,
                       const std::vector<std::string>& columns) {
  std::vector<TRow> out;
  std::unique_ptr<TQORQuery> q = c.CreateQuery();
  q->GetSQL()->SetText(sql);
  q->Open();
  for (; !q->Eof(); q->Next()) {
    TRow r;
    // Names as the engine holds them: only the padding goes.
    for (const std::string& col : columns)
      r[col] = TrimBlanksRight(q->FieldByName(col)->AsString());
    out.push_back(std::move(r));
  }
  q->Close();
  return out;
}

void Agree(const char* name, const std::string& database) {
  SCOPED_TRACE(name);
  ExtractRun run;
  run.Embedded(database);
  run.Objs().IBServerOptions.SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  EXPECT_TRUE(run.errors.empty()) << run.errors.front();
  TObjs& o = run.Objs();

  // Our dependents by their key.
  std::map<std::string, TDbObj*> dependents;
  for (auto& e : o.Procedures)
    if (e.Value)
      dependents[(e.Value->IsFunction ? "function:" : "procedure:") + e.Value->GetName()] =
          e.Value.get();
  for (auto& e : o.Triggers)
    if (e.Value) dependents["trigger:" + e.Value->GetName()] = e.Value.get();
  for (auto& e : o.Views)
    if (e.Value) dependents["view:" + e.Value->GetName()] = e.Value.get();
  for (auto& e : o.Packages)
    if (e.Value) dependents["package:" + e.Value->GetName()] = e.Value.get();
  for (auto& e : o.Indices)
    if (e.Value && !e.Value->GetText().empty())
      dependents["index:" + e.Value->GetName()] = e.Value.get();
  for (auto& e : o.Tables)
    for (auto& f : e.Value->Fields)
      if (f.Value && f.Value->IsComputed())
        dependents["column:" + e.Value->GetName() + "." + f.Value->GetName()] = f.Value.get();
  for (auto& e : o.Constraints) {
    TCtrData* c = e.Value.get();
    if (c && c->GetConstraintType() == 3)
      dependents["check:" + (c->GetName().empty() ? c->SystemName : c->GetName())] = c;
  }
  std::set<std::string> ours, engine;
  for (const auto& [key, obj] : dependents)
    for (int i = 0; i < obj->DependsOn().Count(); ++i) {
      const TDependObj* e = obj->DependsOn().Object(i);
      if (e && e->Target) ours.insert(key + " -> " + ModelTargetKey(*e->Target, e->FieldName));
    }

  TQORConnection c;
  c.SetConnectionType(TconnectionType::cnIBX);
  c.SetDatabaseType(TDatabaseType::dbInterBase);
  c.Assign(run.connection);
  c.SetConnected(true);
  ASSERT_TRUE(c.GetConnected());
  std::map<std::string, std::string> fieldSources;  // RDB$n -> dependent key
  for (TRow& r : Rows(c,
                      "select rf.rdb$relation_name r, rf.rdb$field_name n, f.rdb$field_name s,"
                      " f.rdb$computed_source cs, iif(rl.rdb$view_blr is null, 0, 1) v"
                      " from rdb$relation_fields rf"
                      " join rdb$fields f on f.rdb$field_name = rf.rdb$field_source"
                      " join rdb$relations rl on rl.rdb$relation_name = rf.rdb$relation_name"
                      " where coalesce(rl.rdb$system_flag, 0) = 0"
                      " and f.rdb$field_name starting 'RDB$' order by 5",
                      {"R", "N", "S", "CS", "V"})) {
    if (r["V"] == "1") fieldSources.emplace(r["S"], "view:" + r["R"]);
    else if (!r["CS"].empty()) fieldSources[r["S"]] = "column:" + r["R"] + "." + r["N"];
  }
  std::map<std::string, std::string> checkTriggers;  // CHECK_n -> dependent key
  for (TRow& r : Rows(c,
                      "select cc.rdb$constraint_name n, cc.rdb$trigger_name t"
                      " from rdb$check_constraints cc join rdb$relation_constraints rc"
                      " on rc.rdb$constraint_name = cc.rdb$constraint_name"
                      " where rc.rdb$constraint_type = 'CHECK'",
                      {"N", "T"}))
    checkTriggers[r["T"]] = "check:" + r["N"];
  const std::vector<std::string> edgeColumns(std::begin(test::kEngineDependenciesColumns),
                                             std::end(test::kEngineDependenciesColumns));
  for (TRow& r : Rows(c, test::kEngineDependenciesQuery, edgeColumns)) {
    const test::TEngineEdge edge = test::EngineEdgeLine(r, checkTriggers, fieldSources);
    if (!edge.Line.empty() && dependents.count(edge.Dependent)) engine.insert(edge.Line);
  }
  c.SetConnected(false);

  for (const std::string& line : engine)
    if (!EdgeCovered(line, ours) && !EdgeReviewed(line, kEngineOnly))
      ADD_FAILURE() << "the engine lists, we miss: " << line;
  for (const std::string& line : ours)
    if (!EdgeCovered(line, engine) && !EdgeReviewed(line, kOursOnly))
      ADD_FAILURE() << "we link, the engine does not list: " << line;
  EXPECT_GT(engine.size(), 10u);
}

TEST(IBExtractDependencies, EveryKindFixtureAgreesWithTheEngine) {
  std::string why;
  const std::string db = test::EveryKindDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  Agree("every_kind", db);
}

// Forms the parsers once refused: the standard's trigger header, calls as
// statements, cursors without INTO, RETURNING_VALUES in parentheses.
TEST(IBExtractDependencies, EngineFormsAgreeWithTheEngine) {
  const std::string script =
      test::ReadTextFile(std::string(QOR_TEST_DATA_DIR) + "/sql/ib_bodies/engine_forms.sql");
  ASSERT_FALSE(script.empty());
  const std::string db = test::FreshTestFile("engine_forms_extract.fdb");
  const test::TFirebirdReplayResult built = test::BuildFirebirdDatabase(db, script);
  ASSERT_TRUE(built.Ok) << built.Errors;
  Agree("engine_forms", db);
}

TEST(IBExtractDependencies, EmployeeSampleAgreesWithTheEngine) {
  std::string why;
  const std::string db = test::EmployeeDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  Agree("employee", db);
}

}  // namespace
}  // namespace qor
