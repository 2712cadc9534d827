// The InterBase/Firebird body parser with its dependency linking, beside
// the scanner alone over the same texts, in the same run:
// - the bodies of the employee sample (its `isql-fb -x` extract);
// - a generated schema of 200 procedures and 300 triggers of realistic size
//   over 40 tables with domains and foreign keys, once and ten times over
//   (the cost per object must stay the same: linking scans no list per link);
// - one query nested 5 to 50 deep in its select lists (the cost per level
//   must stay the same: a select list is read once, not once per pass).
// Counters: MB/s of the body parse with linking and of the scanner, their
// ratio (parse_link_per_scan), what resolving and linking add to the
// grammar alone (linking_per_parse; the goal is at most 1), microseconds per
// object and per level.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/qorComp_Fld.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "parsers/ib/qorIBExParser.h"
#include "tests/parsers/ib/qorIBNestedQuery.h"

namespace {

using namespace qor;
using Clock = std::chrono::steady_clock;

std::string EmployeeExtract() {
  std::ifstream in(QOR_TEST_DATA_DIR "/sql/ib/employee_extract.sql", std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// `multiple` times: 40 tables with domains and keys, 200 procedures and
// 300 triggers.
std::string GeneratedSchema(int multiple) {
  std::ostringstream s;
  s << "CREATE DOMAIN D_ID AS INTEGER NOT NULL;\nCREATE DOMAIN D_AMOUNT AS NUMERIC(15,2);\n"
       "CREATE DOMAIN D_TEXT AS VARCHAR(60);\nCREATE GENERATOR G_ID;\n"
       "CREATE EXCEPTION E_STATE 'wrong state';\n";
  const int tables = 40 * multiple;
  for (int t = 0; t < tables; ++t) {
    s << "CREATE TABLE T" << t << " (ID D_ID PRIMARY KEY, PARENT_ID INTEGER, CODE D_TEXT,"
      << " AMOUNT D_AMOUNT, QTY INTEGER, STATE SMALLINT, CREATED TIMESTAMP, NOTE D_TEXT";
    if (t > 0)
      s << ", CONSTRAINT FK_T" << t << " FOREIGN KEY (PARENT_ID) REFERENCES T" << t - 1 << " (ID)";
    s << ");\n";
  }
  s << "SET TERM ^;\n";
  const int procedures = 200 * multiple;
  for (int p = 0; p < procedures; ++p) {
    const int a = p % tables, b = (p * 7 + 3) % tables;
    s << "CREATE PROCEDURE P" << p
      << " (AID INTEGER, LIM NUMERIC(15,2)) RETURNS (CODE VARCHAR(60), TOTAL NUMERIC(15,2)) AS\n"
      << "  DECLARE VARIABLE N INTEGER = 0;\n  DECLARE VARIABLE S SMALLINT;\nBEGIN\n"
      << "  SELECT STATE FROM T" << a << " WHERE ID = :AID INTO :S;\n"
      << "  IF (S IS NULL OR S > 3) THEN EXCEPTION E_STATE;\n"
      << "  FOR SELECT X.CODE, SUM(Y.AMOUNT * Y.QTY) FROM T" << a << " X\n"
      << "      JOIN T" << b << " Y ON Y.PARENT_ID = X.ID AND Y.STATE = X.STATE\n"
      << "      WHERE X.CREATED > CURRENT_TIMESTAMP - 30 AND X.CODE STARTING WITH 'A'\n"
      << "      GROUP BY X.CODE HAVING SUM(Y.AMOUNT) > :LIM ORDER BY 2 DESC\n"
      << "      INTO :CODE, :TOTAL DO\n  BEGIN\n"
      << "    N = N + 1;\n"
      << "    UPDATE T" << b << " SET NOTE = :CODE || ' ' || CAST(:TOTAL AS VARCHAR(20)),\n"
      << "      QTY = COALESCE(QTY, 0) + 1 WHERE PARENT_ID = :AID AND STATE = :S;\n"
      << "    IF (N > 100) THEN LEAVE;\n    SUSPEND;\n  END\n"
      << "  INSERT INTO T" << a << " (ID, PARENT_ID, CODE, AMOUNT, QTY, STATE, CREATED)\n"
      << "    VALUES (GEN_ID(G_ID, 1), :AID, 'generated', 0, 0, 1, CURRENT_TIMESTAMP);\n";
    if (p > 0)
      s << "  EXECUTE PROCEDURE P" << p - 1 << " :AID, :LIM RETURNING_VALUES :CODE, :TOTAL;\n";
    s << "  WHEN ANY DO EXCEPTION E_STATE;\nEND^\n";
  }
  const int triggers = 300 * multiple;
  for (int g = 0; g < triggers; ++g) {
    const int a = g % tables, b = (g + 1) % tables;
    s << "CREATE TRIGGER TR" << g << " FOR T" << a << " ACTIVE BEFORE INSERT OR UPDATE POSITION "
      << g % 5 << " AS\n"
      << "BEGIN\n  IF (NEW.ID IS NULL) THEN NEW.ID = GEN_ID(G_ID, 1);\n"
      << "  IF (UPDATING AND NEW.STATE <> OLD.STATE) THEN\n"
      << "    INSERT INTO T" << b
      << " (ID, PARENT_ID, CODE, STATE) VALUES (GEN_ID(G_ID, 1), NEW.ID, NEW.CODE, NEW.STATE);\n"
      << "  NEW.AMOUNT = (SELECT MAX(AMOUNT) FROM T" << b << " WHERE PARENT_ID = NEW.ID);\n"
      << "  NEW.CREATED = COALESCE(NEW.CREATED, CURRENT_TIMESTAMP);\nEND^\n";
  }
  s << "SET TERM ;^\n";
  return s.str();
}

// A model whose bodies are kept as text (the DDL parser alone), and the
// objects whose texts the body parser reads.
struct TModel {
  explicit TModel(const std::string& script) {
    objs.SetServerType(TDatabaseType::dbInterBase);
    objs.IBServerOptions.SQLServerVersion = TIBSQLServerVersionType::st_Firebird_25;
    TIbParser ddl(nullptr);
    ddl.OnLogNextLine = [](TObject*, const std::string&) {};
    ddl.OnErrorMessage = [](TObject*, const std::string&) {};
    ddl.ParseScript({script}, &objs);
    for (int i = 0; i < objs.Procedures.Count(); ++i) bodies.push_back(objs.Procedures.Object(i));
    for (int i = 0; i < objs.Triggers.Count(); ++i) bodies.push_back(objs.Triggers.Object(i));
    for (int i = 0; i < objs.Views.Count(); ++i) bodies.push_back(objs.Views.Object(i));
    for (int i = 0; i < objs.Tables.Count(); ++i)
      for (int j = 0; j < objs.Tables.Object(i)->Fields.Count(); ++j)
        if (TFldData* f = objs.Tables.Object(i)->Fields.Object(j); f && f->IsComputed())
          bodies.push_back(f);
    for (TDbObj* b : bodies) bytes += b->GetText().size();
  }
  TObjs objs;
  std::vector<TDbObj*> bodies;
  std::size_t bytes = 0;
};

// Scans every body text with the body parser's own scanner.
double ScanSeconds(const TModel& m) {
  TIbExParser p(nullptr);
  p.OnErrorMessage = [](TObject*, const std::string&) {};
  p.SetTerminator("^");
  long tokens = 0;
  const auto t0 = Clock::now();
  for (TDbObj* b : m.bodies) {
    p.SetSource(b->GetText());
    for (p.NextToken(); p.TokenKind() != tk::EOFKind; p.NextToken()) ++tokens;
  }
  benchmark::DoNotOptimize(tokens);
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// The same parse with no collection to resolve names in: the grammar alone.
double ParseOnlySeconds(const TModel& m) {
  TIbExParser p(nullptr);
  p.ShowProgress = false;
  p.OnErrorMessage = [](TObject*, const std::string&) {};
  const auto t0 = Clock::now();
  for (TDbObj* b : m.bodies) p.ParseObjectText(b);
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Parses every body and links what the script holds, as the extractor's
// "Parsing bodies..." and "Linking dependencies..." steps do.
double ParseAndLinkSeconds(const TModel& m, double& linkSeconds) {
  TIbExParser p(nullptr);
  p.SetObjs(const_cast<TObjs*>(&m.objs));
  p.ShowProgress = false;
  p.OnErrorMessage = [](TObject*, const std::string&) {};
  p.OnLogNextLine = [](TObject*, const std::string&) {};
  const auto t0 = Clock::now();
  for (TDbObj* b : m.bodies) p.ParseObjectText(b);
  const auto t1 = Clock::now();
  p.AfterParse();
  const auto t2 = Clock::now();
  linkSeconds += std::chrono::duration<double>(t2 - t1).count();
  return std::chrono::duration<double>(t2 - t0).count();
}

void Report(benchmark::State& state, const TModel& m, double scan, double grammar, double parse,
            double link) {
  const double mb = static_cast<double>(m.bytes) * static_cast<double>(state.iterations()) / 1e6;
  state.counters["parse_link_MBps"] = mb / parse;
  state.counters["scan_MBps"] = mb / scan;
  state.counters["parse_link_per_scan"] = scan / parse;
  state.counters["us_per_object"] =
      1e6 * parse / static_cast<double>(m.bodies.size() * state.iterations());
  state.counters["objects"] = static_cast<double>(m.bodies.size());
  state.counters["after_parse_share"] = link / parse;
  // What name resolution and linking add, as a share of the grammar alone.
  state.counters["linking_per_parse"] = (parse - grammar) / grammar;
}

void Run(benchmark::State& state, const std::string& script) {
  double scan = 0, grammar = 0, parse = 0, link = 0;
  std::unique_ptr<TModel> last;
  for (auto _ : state) {
    state.PauseTiming();
    auto m = std::make_unique<TModel>(script);  // fresh edges each round
    state.ResumeTiming();
    scan += ScanSeconds(*m);
    grammar += ParseOnlySeconds(*m);
    parse += ParseAndLinkSeconds(*m, link);
    state.PauseTiming();
    last = std::move(m);  // freed outside the timing
    state.ResumeTiming();
  }
  if (last) Report(state, *last, scan, grammar, parse, link);
}

void BM_EmployeeBodies(benchmark::State& state) { Run(state, EmployeeExtract()); }
BENCHMARK(BM_EmployeeBodies)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GeneratedBodies(benchmark::State& state) {
  Run(state, GeneratedSchema(static_cast<int>(state.range(0))));
}
// Long enough that the larger model runs on warm memory too.
BENCHMARK(BM_GeneratedBodies)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_NestingDepth(benchmark::State& state) {
  const int depth = static_cast<int>(state.range(0));
  TModel m(test::NestedTablesDDL(depth));
  TViwData* v = m.objs.FindView("V");
  v->SetText(test::NestedQuery(depth));
  TIbExParser p(nullptr);
  p.SetObjs(&m.objs);
  p.OnErrorMessage = [](TObject*, const std::string&) {};
  double seconds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    p.ParseObjectText(v);
    seconds += std::chrono::duration<double>(Clock::now() - t0).count();
  }
  state.counters["us_per_level"] =
      1e6 * seconds / static_cast<double>(depth) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_NestingDepth)
    ->Arg(5)
    ->Arg(10)
    ->Arg(20)
    ->Arg(25)
    ->Arg(50)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
