// The whole job (catalog read, body parsing, dependency linking and the
// whole script) on a large generated Firebird database beside the engine's
// own extract (`isql-fb -x`) of the same database, both embedded, in the
// same run. Reports both wall times, their ratio, the statements the
// extractor sends, the peak memory of each side and the time of each step.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <map>
#include <vector>
#include <string>

#include "engine/qorEngineInit.h"
#include "extract/ib/qorIBDatabaseExtract.h"
#include "model/qorDBStructure.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorReplay.h"
#include "tests/support/qorTestEnv.h"

namespace {

using namespace qor;

struct TSchemaSize {
  int tables = 1000;
  int columnsPerTable = 10;
  int views = 100;
  int domains = 40;
  int functions = 40;
  int procedures = 100;  // each with a trigger on its table
};

// Domains of every kind of type, tables whose columns use them and plain
// types (defaults, NOT NULL, a computed column, an array), views over the
// tables, external and PSQL functions.
std::string GenerateSchemaScript(const TSchemaSize& n) {
  static const char* kTypes[] = {"INTEGER", "VARCHAR(40) CHARACTER SET UTF8", "NUMERIC(15,2)",
                                 "TIMESTAMP", "CHAR(3)", "BIGINT", "DOUBLE PRECISION",
                                 "BLOB SUB_TYPE TEXT", "DATE", "SMALLINT"};
  std::string s;
  for (int d = 0; d < n.domains; ++d)
    s += "CREATE DOMAIN DM_" + std::to_string(d) + " AS " + kTypes[d % 10] +
         (d % 3 == 0 ? " NOT NULL" : "") + ";\n";
  for (int t = 0; t < n.tables; ++t) {
    s += "CREATE TABLE TB_" + std::to_string(t) + " (ID INTEGER NOT NULL";
    for (int c = 1; c < n.columnsPerTable; ++c) {
      const std::string name = ", C" + std::to_string(c) + " ";
      if (c == n.columnsPerTable - 1) s += name + "COMPUTED BY (ID + 1)";
      else if (c % 4 == 0) s += name + "DM_" + std::to_string((t + c) % n.domains);
      else if (c % 7 == 0) s += name + "INTEGER [1:4]";
      else s += name + kTypes[(t + c) % 10] + (c % 3 == 0 ? " DEFAULT NULL" : "");
    }
    s += ");\n";
  }
  for (int v = 0; v < n.views; ++v)
    s += "CREATE VIEW VW_" + std::to_string(v) + " AS SELECT ID, C1 FROM TB_" +
         std::to_string(v * 7 % n.tables) + " WHERE ID > 0;\n";
  for (int f = 0; f < n.functions / 2; ++f)
    s += "DECLARE EXTERNAL FUNCTION UF_" + std::to_string(f) +
         " INTEGER, CSTRING(40) RETURNS INTEGER BY VALUE ENTRY_POINT 'f' MODULE_NAME 'm';\n";
  s += "SET TERM ^;\n";
  for (int f = 0; f < n.functions / 2; ++f)
    s += "CREATE FUNCTION PF_" + std::to_string(f) +
         " (A INTEGER, B VARCHAR(10)) RETURNS INTEGER AS BEGIN RETURN A; END^\n";
  for (int p = 0; p < n.procedures; ++p) {
    const std::string t = "TB_" + std::to_string(p % n.tables);
    s += "CREATE PROCEDURE SP_" + std::to_string(p) + " (A INTEGER = 1) RETURNS (N INTEGER) AS"
         " BEGIN SELECT COUNT(*) FROM " + t + " WHERE ID > :A INTO :N; SUSPEND; END^\n";
    s += "CREATE TRIGGER TR_" + std::to_string(p) + " FOR " + t +
         " BEFORE INSERT AS BEGIN IF (NEW.ID IS NULL) THEN NEW.ID = 0; END^\n";
  }
  s += "SET TERM ;^\n";
  return s;
}

using TStepTimes = std::map<std::string, double>;

// One extraction of `db` through the registered binding and the whole
// script of what it read; false on failure. `steps` gets the seconds of
// each step, "Script" the script's.
bool ExtractOnce(const std::string& db, TStepTimes* steps = nullptr) {
  TDBStructure structure;
  TQORConnection connection;
  connection.SetConnectionType(TconnectionType::cnIBX);
  connection.SetDatabaseType(TDatabaseType::dbInterBase);
  connection.ConnectionOptions.Protocol = TQORProtocol::ptLocal;
  connection.ConnectionOptions.DatabaseName = db;
  TIBDBExtract x;
  x.ShowFullLog = false;
  x.SetDBStructure(&structure);
  x.SetQORConnection(&connection);
  std::string current;
  auto since = std::chrono::steady_clock::now();
  auto close = [&] {
    const auto now = std::chrono::steady_clock::now();
    if (steps && !current.empty())
      (*steps)[current] += std::chrono::duration<double>(now - since).count();
    since = now;
  };
  x.OnProgressStep = [&](TObject*, int mode, const std::string& caption, int, int) {
    if (mode != 0) return;
    close();
    current = caption;
  };
  if (!x.ExtractDatabase()) return false;
  close();
  current = "Script";
  std::vector<std::string> lines;
  structure.GetObjs()->GetScript(lines);
  close();
  return !lines.empty();
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double PeakMB(int who) {
  rusage u{};
  getrusage(who, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

void BM_ExtractBesideIsql(benchmark::State& state) {
  test::PrepareFirebirdEnvironment();
  InitializeEngine();
  const std::string db = test::FreshTestFile("bench-extract.fdb");
  // A thousand tables take isql a while to create on a busy machine.
  test::TFirebirdReplayOptions options;
  options.Timeout = std::chrono::seconds(1800);
  const test::TFirebirdReplayResult built =
      test::BuildFirebirdDatabase(db, GenerateSchemaScript(TSchemaSize{}), {}, options);
  if (!built.Ok) {
    state.SkipWithError(("building the database failed: " + built.Errors).c_str());
    FinalizeEngine();
    return;
  }
  double isqlSeconds = 0, extractSeconds = 0;
  TStepTimes steps;
  std::size_t statements = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    const test::TFirebirdReplayResult isql = test::ExtractFirebirdDDL(db, {}, options.Timeout);
    isqlSeconds = Seconds(start);
    if (!isql.Ok) {
      state.SkipWithError(("isql-fb -x failed: " + isql.Errors).c_str());
      break;
    }
    start = std::chrono::steady_clock::now();
    steps.clear();
    const bool ok = ExtractOnce(db, &steps);
    extractSeconds = Seconds(start);
    if (!ok) {
      state.SkipWithError("ExtractDatabase failed");
      break;
    }
  }
  {
    // The statements sent, counted on a second run through the recording
    // binding (not timed: recording costs time of its own).
    auto recording = std::make_unique<test::TRecordingConnection>(
        TQORCustomConnection::FindRegisteredConnection(TconnectionType::cnIBX));
    test::TRecordingConnection* rec = recording.get();
    test::TBindingScope scope(TconnectionType::cnIBX, std::move(recording));
    ExtractOnce(db);
    // Each statement text with its parameter values once: every per-object
    // query carries its object's name, so this is what was sent.
    statements = rec->Script().Statements.size();
  }
  state.counters["isql_x_s"] = isqlSeconds;
  state.counters["extract_s"] = extractSeconds;
  state.counters["ratio"] = isqlSeconds > 0 ? extractSeconds / isqlSeconds : 0;
  state.counters["statements"] = static_cast<double>(statements);
  state.counters["peak_MB"] = PeakMB(RUSAGE_SELF);
  state.counters["isql_peak_MB"] = PeakMB(RUSAGE_CHILDREN);
  for (const auto& [caption, seconds] : steps) state.counters["s_" + caption] = seconds;
  FinalizeEngine();
}

BENCHMARK(BM_ExtractBesideIsql)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
