// The whole job (catalog read, body parsing, dependency linking and the
// whole script) beside the engine's own extract (`isql-fb -x`) of the same
// database, in the same run: the employee sample, the every-kind fixture
// and a large generated database at 1x and 10x, each embedded and over TCP
// through the test suite's server (when it runs). Both sides run as a
// process of their own, started the same way, so that wall time and peak
// memory (the child's peak resident set) compare like for like. Reports
// both wall times and peaks, their ratios, the statements the extractor
// sends and the seconds of each step; on the 10x database also its time
// against the 1x one.
//
// The job side is this program started again as
//   bench_IBExtract --job <database> <password or -> <mode 0|1|2>
// which prints "step <caption> <seconds>" lines (mode 0), or instead of
// timing the statements it sent ("statements <n>"), with the batched reads
// (1) or the reads by one query per object (2).
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/qorEngineInit.h"
#include "extract/ib/qorIBDatabaseExtract.h"
#include "model/qorDBStructure.h"
#include "tests/support/qorChildProcess.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorReplay.h"
#include "tests/support/qorTestEnv.h"

extern char** environ;

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

TSchemaSize Times(int k) {
  TSchemaSize n;
  n.tables *= k;
  n.views *= k;
  n.domains *= k;
  n.functions *= k;
  n.procedures *= k;
  return n;
}

// Domains of every kind of type, tables whose columns use them and plain
// types (defaults, NOT NULL, a computed column, an array), views over the
// tables, external and PSQL functions, procedures and triggers.
std::string GenerateSchemaScript(const TSchemaSize& n) {
  // clang-format off
  static const char* kTypes[] = {"INTEGER", "VARCHAR(40) CHARACTER SET UTF8", "NUMERIC(15,2)",
                                 "TIMESTAMP", "CHAR(3)", "BIGINT", "DOUBLE PRECISION",
                                 "BLOB SUB_TYPE TEXT", "DATE", "SMALLINT"};
  // clang-format on
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
    s += "CREATE PROCEDURE SP_" + std::to_string(p) +
         " (A INTEGER = 1) RETURNS (N INTEGER) AS"
         " BEGIN SELECT COUNT(*) FROM " +
         t + " WHERE ID > :A INTO :N; SUSPEND; END^\n";
    s += "CREATE TRIGGER TR_" + std::to_string(p) + " FOR " + t +
         " BEFORE INSERT AS BEGIN IF (NEW.ID IS NULL) THEN NEW.ID = 0; END^\n";
  }
  s += "SET TERM ;^\n";
  return s;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// ---------------------------------------------------------------- The job

// One extraction of `db` and the whole script of what it read; false on
// failure. `steps` gets the seconds of each step, "Script" the script's.
bool ExtractOnce(const std::string& db, const std::string& password,
                 std::map<std::string, double>* steps, bool batched = true) {
  TDBStructure structure;
  TQORConnection connection;
  connection.SetConnectionType(TconnectionType::cnIBX);
  connection.SetDatabaseType(TDatabaseType::dbInterBase);
  TConnectionOptions& o = connection.ConnectionOptions;
  o.UserName = test::kServerUser;
  // "host/port:path" is a database on the server.
  const std::size_t colon = db.find(':');
  const std::size_t slash = db.find('/');
  if (colon != std::string::npos && slash != std::string::npos && slash < colon && slash > 0) {
    o.Protocol = TQORProtocol::ptTCP;
    o.HostName = db.substr(0, slash);
    o.Port = std::stoi(db.substr(slash + 1, colon - slash - 1));
    o.Password = password;
    o.DatabaseName = db.substr(colon + 1);
  } else {
    o.Protocol = TQORProtocol::ptLocal;
    o.DatabaseName = db;
  }
  // The server generation is the user's choice, as in the tests: the
  // engine here is 3.0, whose PSQL the bodies use.
  structure.GetObjs()->IBServerOptions.SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
  TIBDBExtract x;
  x.ShowFullLog = false;
  x.BatchedReads = batched;
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

// `mode` 0 times the job; 1 counts its statements, 2 those of the reads by
// one query per object.
int RunJob(const std::string& db, const std::string& password, int mode) {
  InitializeEngine();
  int rc = 0;
  if (mode != 0) {
    // The statements sent, through the recording binding: each statement
    // text with its parameter values once, so every per-object query
    // counts once per object.
    auto recording = std::make_unique<test::TRecordingConnection>(
        TQORCustomConnection::FindRegisteredConnection(TconnectionType::cnIBX));
    test::TRecordingConnection* rec = recording.get();
    test::TBindingScope scope(TconnectionType::cnIBX, std::move(recording));
    if (ExtractOnce(db, password, nullptr, /*batched=*/mode == 1))
      std::printf("statements %zu\n", rec->Script().Statements.size());
    else rc = 1;
  } else {
    std::map<std::string, double> steps;
    if (ExtractOnce(db, password, &steps)) {
      for (const auto& [caption, seconds] : steps) {
        std::string name = caption;
        for (char& c : name)
          if (c == ' ') c = '_';
        std::printf("step %s %.6f\n", name.c_str(), seconds);
      }
    } else {
      rc = 1;
    }
  }
  FinalizeEngine();
  return rc;
}

// ------------------------------------------------------- Child processes

struct TProcessRun {
  bool ok = false;
  double seconds = 0;
  double peakMB = 0;
  std::string out;
};

// Runs `args` with stdout into a file, the caller's environment, and
// measures its wall time and its own peak resident set.
TProcessRun RunMeasured(const std::vector<std::string>& args) {
  TProcessRun r;
  const std::string outFile = test::FreshTestFile("bench-child.out");
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int err = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  if (err != 0) return r;
  // The peak is sampled from the child's own VmHWM while it runs: the
  // maximum resident set that wait4 reports starts from this process's
  // own, which the spawned child shares until its exec.
  int status = 0;
  double peakKB = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0) return r;
    std::ifstream proc("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(proc, line))
      if (line.rfind("VmHWM:", 0) == 0) peakKB = std::max(peakKB, std::atof(line.c_str() + 6));
    usleep(2000);
  }
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.peakMB = peakKB / 1024.0;
  r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  r.out = ReadFile(outFile);
  return r;
}

std::string SelfPath() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

// ------------------------------------------------------------ Databases

struct TDatabase {
  std::string path, password, failure;
};

using TScriptFn = std::string (*)();

std::string EmployeeScript() { return test::EmployeeSampleScript(); }
std::string EveryKindScript() {
  const std::string dir = std::string(QOR_TEST_DATA_DIR) + "/extract/";
  const std::string extra = ReadFile(dir + "ib_every_kind.sql");
  return extra.empty() ? extra : ReadFile(dir + "ib_catalog.sql") + "\n" + extra;
}
std::string Generated1x() { return GenerateSchemaScript(Times(1)); }
std::string Generated10x() { return GenerateSchemaScript(Times(10)); }

bool ServerUp() {
  // The suite's server listens on its port.
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(3050);
  inet_pton(AF_INET, test::kServerHost, &addr.sin_addr);
  const bool up = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  ::close(fd);
  return up;
}

const TDatabase& Database(const std::string& name, TScriptFn script, bool tcp) {
  static std::map<std::string, TDatabase> built;
  const std::string key = name + (tcp ? "@tcp" : "");
  auto it = built.find(key);
  if (it != built.end()) return it->second;
  TDatabase d;
  const std::string text = script();
  test::TFirebirdReplayOptions options;
  // Ten thousand tables take isql a while to create on a busy machine.
  options.Timeout = std::chrono::seconds(3600);
  if (text.empty()) {
    d.failure = "no script for " + name;
  } else if (tcp) {
    static const bool up = ServerUp();
    if (!up) {
      d.failure = "the test server on 127.0.0.1:3050 does not answer (run through ctest)";
    } else {
      d.path =
          std::string(test::kServerHost) + "/3050:" + test::ServerDatabasePath("bench_" + name);
      d.password = test::ServerPassword();
      const test::TFirebirdReplayResult r =
          test::BuildFirebirdDatabase(d.path, text, d.password, options);
      if (!r.Ok) d.failure = "building " + key + " failed: " + r.Errors;
    }
  } else {
    d.path = test::FreshTestFile("bench_" + name + ".fdb");
    const test::TFirebirdReplayResult r = test::BuildFirebirdDatabase(d.path, text, {}, options);
    if (!r.Ok) d.failure = "building " + key + " failed: " + r.Errors;
  }
  return built.emplace(key, std::move(d)).first->second;
}

// The job's best wall time per database and protocol, for the 10x ratio.
std::map<std::string, double>& JobSeconds() {
  static std::map<std::string, double> m;
  return m;
}

struct TCase {
  const char* name;
  TScriptFn script;
  bool tcp;
  int repeats;
  const char* oneX;  // the 1x case this one is 10x of
};

void BM_WholeJobBesideIsql(benchmark::State& state, TCase c) {
  const TDatabase& db = Database(c.name, c.script, c.tcp);
  if (!db.failure.empty()) {
    state.SkipWithError(db.failure.c_str());
    for (auto _ : state) {
    }
    return;
  }
  const std::string isql = test::FindIsql();
  std::vector<std::string> isqlArgs = {isql, "-x", "-user", test::kServerUser};
  if (!db.password.empty()) isqlArgs.insert(isqlArgs.end(), {"-password", db.password});
  isqlArgs.push_back(db.path);
  const std::vector<std::string> jobArgs = {SelfPath(), "--job", db.path,
                                            db.password.empty() ? "-" : db.password, "0"};
  TProcessRun bestIsql, bestJob;
  std::map<std::string, double> steps;
  for (auto _ : state) {
    // The best of a few runs of each side, alternating, so that a busy
    // moment of the machine costs both alike.
    for (int i = 0; i < c.repeats; ++i) {
      const TProcessRun x = RunMeasured(isqlArgs);
      if (!x.ok) {
        state.SkipWithError("isql-fb -x failed");
        return;
      }
      if (!bestIsql.ok || x.seconds < bestIsql.seconds) bestIsql = x;
      const TProcessRun j = RunMeasured(jobArgs);
      if (!j.ok) {
        state.SkipWithError("the extraction failed");
        return;
      }
      if (!bestJob.ok || j.seconds < bestJob.seconds) {
        bestJob = j;
        steps.clear();
        std::istringstream in(j.out);
        std::string word, caption;
        double seconds = 0;
        while (in >> word >> caption >> seconds)
          if (word == "step") steps[caption] = seconds;
      }
    }
  }
  std::size_t statements = 0, perObject = 0;
  for (const char* mode : {"1", "2"}) {
    const TProcessRun count =
        RunMeasured({SelfPath(), "--job", db.path, db.password.empty() ? "-" : db.password, mode});
    std::sscanf(count.out.c_str(), "statements %zu", *mode == '1' ? &statements : &perObject);
  }

  const std::string key = std::string(c.name) + (c.tcp ? "@tcp" : "");
  JobSeconds()[key] = bestJob.seconds;
  state.counters["isql_x_s"] = bestIsql.seconds;
  state.counters["job_s"] = bestJob.seconds;
  state.counters["time_ratio"] = bestJob.seconds / bestIsql.seconds;
  state.counters["isql_peak_MB"] = bestIsql.peakMB;
  state.counters["job_peak_MB"] = bestJob.peakMB;
  state.counters["mem_ratio"] = bestJob.peakMB / bestIsql.peakMB;
  state.counters["statements"] = static_cast<double>(statements);
  state.counters["statements_per_object"] = static_cast<double>(perObject);
  for (const auto& [caption, seconds] : steps) state.counters["s_" + caption] = seconds;
  if (c.oneX) {
    const auto one = JobSeconds().find(std::string(c.oneX) + (c.tcp ? "@tcp" : ""));
    if (one != JobSeconds().end() && one->second > 0)
      state.counters["vs_1x"] = bestJob.seconds / one->second;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--job") == 0)
    return RunJob(argv[2], std::strcmp(argv[3], "-") == 0 ? "" : argv[3], std::atoi(argv[4]));
  test::PrepareFirebirdEnvironment();
  static const TCase kCases[] = {
      {"employee", &EmployeeScript, false, 5, nullptr},
      {"every_kind", &EveryKindScript, false, 5, nullptr},
      {"generated_1x", &Generated1x, false, 3, nullptr},
      {"generated_10x", &Generated10x, false, 1, "generated_1x"},
      {"employee", &EmployeeScript, true, 5, nullptr},
      {"every_kind", &EveryKindScript, true, 5, nullptr},
      {"generated_1x", &Generated1x, true, 3, nullptr},
      {"generated_10x", &Generated10x, true, 1, "generated_1x"},
  };
  for (const TCase& c : kCases) {
    const std::string name =
        std::string("WholeJobBesideIsql/") + c.name + (c.tcp ? "/tcp" : "/embedded");
    benchmark::RegisterBenchmark(name.c_str(), BM_WholeJobBesideIsql, c)
        ->Iterations(1)
        ->Unit(benchmark::kSecond)
        ->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  test::RemoveTestFolder();
  return 0;
}
