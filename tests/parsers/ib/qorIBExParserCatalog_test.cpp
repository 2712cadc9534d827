// The engine knows the answer: Firebird records in RDB$DEPENDENCIES what
// every procedure, function, trigger, view, computed column, check,
// expression index and package uses. Each database below is built by
// isql-fb, its model read from the engine's own `isql-fb -x` extract by the
// DDL parser, and every stored body (the catalog's own source text) parsed
// by the body parser with ParseObjectText. Every relation, column,
// procedure, function, generator, exception, index, domain and package the
// engine lists must be among our edges, and every edge of ours must be in
// the engine's table, apart from the short reviewed lists below.
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
#include "tests/parsers/ib/qorIBParserFixture.h"
#include "tests/support/qorDependencyAgreement.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorModelDump.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace qor::test {
namespace {

// Engine rows we do not reproduce.
const TReviewedEdge kEngineOnly[] = {
    {"procedure:DEPT_BUDGET -> proc:DEPT_BUDGET",
     "a procedure calling itself gets no edge: the dependency walk would loop on it"},
    // Their bodies use no relation or domain; these edges come from their
    // headers (TYPE OF, domain-typed parameters), which a stored body does
    // not hold: the extractor links them from the catalog's parameters.
    {"procedure:P_DEFAULTS -> dom:", "parameters typed by domains"},
    {"procedure:P_DEFAULTS -> rel:", "parameters typed by TYPE OF COLUMN"},
    {"function:F_TYPED -> dom:", "arguments typed by domains"},
    {"function:F_TYPED -> rel:", "arguments and result typed by TYPE OF COLUMN"},
};

// Our edges the engine does not list: kinds of reference the engine
// records elsewhere or not at all.
// clang-format off
const TReviewedEdge kOursOnly[] = {
    {"view: -> dom:", "a view reading a table column depends on the domains of that table's "
                      "columns, which the engine records for the table alone"},
    {"procedure:P_FORMS -> rel:LOG_ROWS.WHAT",
     "a named cursor's column the body never reads: the engine compiles it away, the text still "
     "names it"},
};
// clang-format on

struct TCase {
  const char* Name;
  std::string (*Script)();
};

std::string CatalogFixtureScript() {
  return ReadTextFile(std::string(QOR_TEST_DATA_DIR) + "/extract/ib_catalog.sql");
}
// The extractor's every-kind fixture: ib_catalog.sql followed by
// ib_every_kind.sql, and one more view over a selectable procedure, one
// that calls a packaged function.
std::string EveryKindScript() {
  const std::string extra =
      ReadTextFile(std::string(QOR_TEST_DATA_DIR) + "/extract/ib_every_kind.sql");
  if (extra.empty()) return extra;
  return CatalogFixtureScript() + "\n" + extra +
         "CREATE VIEW V_REPORT AS SELECT R.NAME, R.ON_HAND FROM REPORT R;\n";
}

// The body corpus of forms the engine takes that the parsers once refused.
std::string EngineFormsScript() {
  return ReadTextFile(std::string(QOR_TEST_DATA_DIR) + "/sql/ib_bodies/engine_forms.sql");
}

struct TAgreement {
  std::set<std::string> engine, ours;
};

class IbBodyDependencies : public ::testing::TestWithParam<TCase> {};

TEST_P(IbBodyDependencies, AgreeWithTheEnginesDependencyTable) {
  const TCase& c = GetParam();
  std::string database, extract;
  if (std::string(c.Name) == "employee") {
    const TEmployee& e = Employee();
    ASSERT_TRUE(e.failure.empty()) << e.failure;
    database = e.database;
    extract = e.extract;
  } else {
    const std::string script = c.Script();
    ASSERT_FALSE(script.empty()) << c.Name;
    database = FreshTestFile(std::string(c.Name) + ".fdb");
    const TFirebirdReplayResult built = BuildFirebirdDatabase(database, script);
    ASSERT_TRUE(built.Ok) << built.Errors;
    const TFirebirdReplayResult x = ExtractFirebirdDDL(database);
    ASSERT_TRUE(x.Ok) << x.Errors;
    extract = x.Output;
  }

  // The model from the engine's own script; its bodies are replaced by the
  // catalog's sources below, as the extractor reads them.
  TIbParse model(TIBSQLServerVersionType::st_Firebird_30);
  model.Run(extract, /*afterParse=*/false);
  ASSERT_EQ(model.Errors(), 0) << model.FirstError();
  TObjs& o = model.objs;

  Catalog cat(database);
  ASSERT_TRUE(cat.Connected()) << cat.Errors();
  const std::string user = " coalesce(rdb$system_flag, 0) = 0 ";
  // dependent key ("procedure:NAME") -> the object that stands for it
  std::map<std::string, TDbObj*> dependents;
  std::vector<std::unique_ptr<TCtrData>> checks;
  auto body = [&](const std::string& key, TDbObj* obj, const std::string& source) {
    ASSERT_NE(obj, nullptr) << key << " is not in the model";
    obj->SetText(source);
    dependents[key] = obj;
  };
  // clang-format off
  for (auto& r : cat.Rows("select rdb$procedure_name n, rdb$procedure_source s from rdb$procedures"
                          " where" + user + "and rdb$package_name is null", {"N", "S"}))
    body("procedure:" + r["N"], o.FindProcedure(r["N"]), r["S"]);
  for (auto& r : cat.Rows("select rdb$function_name n, rdb$function_source s from rdb$functions"
                          " where" + user + "and rdb$package_name is null"
                          " and rdb$function_source is not null", {"N", "S"}))
    body("function:" + r["N"], o.FindProcedure(r["N"]), r["S"]);
  for (auto& r : cat.Rows("select rdb$trigger_name n, rdb$trigger_source s from rdb$triggers"
                          " where" + user, {"N", "S"}))
    body("trigger:" + r["N"], o.FindTrigger(r["N"]), r["S"]);
  for (auto& r : cat.Rows("select rdb$relation_name n, rdb$view_source s from rdb$relations"
                          " where" + user + "and rdb$view_blr is not null", {"N", "S"}))
    body("view:" + r["N"], o.FindView(r["N"]), r["S"]);
  for (auto& r : cat.Rows("select rdb$index_name n, rdb$expression_source s from rdb$indices"
                          " where" + user + "and rdb$expression_source is not null", {"N", "S"}))
    body("index:" + r["N"], o.FindIndex(r["N"]), r["S"]);
  for (auto& r : cat.Rows("select rdb$package_name n, rdb$package_header_source h,"
                          " rdb$package_body_source b from rdb$packages where" + user,
                          {"N", "H", "B"})) {
    TPkgData* p = o.FindPackage(r["N"]);
    ASSERT_NE(p, nullptr) << r["N"];
    p->HeaderText = r["H"];
    body("package:" + r["N"], p, r["B"]);
  }
  // clang-format on
  // A computed column of a table is its own dependent; one of a view (an
  // expression in its select list) stands for the view.
  std::map<std::string, std::string> fieldSources;  // RDB$n -> dependent key
  for (auto& r : cat.Rows("select rf.rdb$relation_name r, rf.rdb$field_name n, f.rdb$field_name s,"
                          " f.rdb$computed_source c, iif(rl.rdb$view_blr is null, 0, 1) v"
                          " from rdb$relation_fields rf"
                          " join rdb$fields f on f.rdb$field_name = rf.rdb$field_source"
                          " join rdb$relations rl on rl.rdb$relation_name = rf.rdb$relation_name"
                          " where coalesce(rl.rdb$system_flag, 0) = 0"
                          " and f.rdb$field_name starting 'RDB$' order by 5",
                          {"R", "N", "S", "C", "V"})) {
    // A view column that passes a table's column on shares its source.
    if (r["V"] == "1") {
      fieldSources.emplace(r["S"], "view:" + r["R"]);
      continue;
    }
    if (r["C"].empty()) continue;
    const std::string key = "column:" + r["R"] + "." + r["N"];
    fieldSources[r["S"]] = key;
    body(key, o.FindField(r["R"], r["N"]), r["C"]);
  }
  // Checks: each constraint is read through its triggers' source, "CHECK" cut.
  std::map<std::string, std::string> checkTriggers;  // CHECK_n -> dependent key
  for (auto& r : cat.Rows(
           "select cc.rdb$constraint_name n, cc.rdb$trigger_name t,"
           " rc.rdb$relation_name r, tr.rdb$trigger_source s"
           " from rdb$check_constraints cc"
           " join rdb$relation_constraints rc on rc.rdb$constraint_name = cc.rdb$constraint_name"
           " join rdb$triggers tr on tr.rdb$trigger_name = cc.rdb$trigger_name"
           " where rc.rdb$constraint_type = 'CHECK'",
           {"N", "T", "R", "S"})) {
    const std::string key = "check:" + r["N"];
    checkTriggers[r["T"]] = key;
    if (dependents.count(key)) continue;
    auto ctr = std::make_unique<TCtrData>(&o);
    ctr->SetConstraintType(3);
    ctr->SetName(r["N"]);
    ctr->SetTableName(r["R"]);
    ctr->SetText(TrimCtl(r["S"].substr(std::min<std::size_t>(5, r["S"].size()))));
    dependents[key] = ctr.get();
    checks.push_back(std::move(ctr));
  }

  TIbExParser parser(nullptr);
  parser.SetObjs(&o);
  parser.OnErrorMessage = [](TObject*, const std::string&) {};
  for (const auto& [key, obj] : dependents) parser.ParseObjectText(obj);
  EXPECT_EQ(DumpMessages(parser.Messages()), "");

  TAgreement a;
  std::set<const TDbObj*> views;
  for (const auto& [key, obj] : dependents) {
    for (int i = 0; i < obj->DependsOn().Count(); ++i) {
      const TDependObj* e = obj->DependsOn().Object(i);
      if (e && e->Target) a.ours.insert(key + " -> " + ModelTargetKey(*e->Target, e->FieldName));
    }
  }
  const std::vector<std::string> edgeColumns(std::begin(kEngineDependenciesColumns),
                                             std::end(kEngineDependenciesColumns));
  for (auto& r : cat.Rows(kEngineDependenciesQuery, edgeColumns)) {
    const TEngineEdge edge = EngineEdgeLine(r, checkTriggers, fieldSources);
    if (!edge.Line.empty() && dependents.count(edge.Dependent)) a.engine.insert(edge.Line);
  }

  int found = 0, reviewedMissing = 0, extras = 0;
  for (const std::string& line : a.engine) {
    if (EdgeCovered(line, a.ours)) ++found;
    else if (EdgeReviewed(line, kEngineOnly)) ++reviewedMissing;
    else ADD_FAILURE() << c.Name << ": the engine lists, we miss: " << line;
  }
  for (const std::string& line : a.ours) {
    if (EdgeCovered(line, a.engine)) continue;
    if (EdgeReviewed(line, kOursOnly)) ++extras;
    else ADD_FAILURE() << c.Name << ": we add, the engine does not list: " << line;
  }
  std::printf(
      "[ agreement ] %s: %d of %zu engine dependencies found (%d reviewed as ours to "
      "differ), %d reviewed edges of ours beyond them, %zu bodies\n",
      c.Name, found, a.engine.size(), reviewedMissing, extras, dependents.size());
}

const TCase kCases[] = {
    {"employee", nullptr},
    {"every_kind", &EveryKindScript},
    {"catalog_fixture", &CatalogFixtureScript},
    {"engine_forms", &EngineFormsScript},
};

INSTANTIATE_TEST_SUITE_P(Ib, IbBodyDependencies, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TCase>& info) {
                           return std::string(info.param.Name);
                         });

}  // namespace
}  // namespace qor::test
