// A generated schema of 1,000, 10,000 and 100,000 tables built, linked and
// scripted in every dialect, in one run. Each table has 10 columns (one on a
// domain), a primary key, a foreign key to its neighbour and an index; every
// table gets two grants that merge into one; one view per ten tables, each
// reading the next in a single chain whose keys sort against the dependency
// order. The counters give the processor time of each phase (the work is
// single-threaded, and other processes on the machine do not count), the
// peak memory the size added to the process and its bytes per table, and
// from the second size on the ratio of each against the size ten times
// smaller of the same dialect in the same run (linear work shows about 10).
// With --benchmark_repetitions=N each figure is the least of the N runs of
// its size so far, and the ratios are taken between those: on a machine
// that others share, the least is the figure that their work disturbs
// least.
//
// QOR_SCALE_ROUNDS=N (an environment variable) runs the whole sequence N
// times, each figure the least so far: unlike back-to-back repetitions, a
// spell of a busy host then slows one round of every size rather than all
// runs of one size, which would tilt the ratios.
//
// QOR_SCALE_MAX_TABLES (an environment variable) leaves out the sizes above
// it, for runs of a build that does not scale.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "parsers/qorSQLParser.h"
#include "platform/qorStrings.h"

namespace {

using namespace qor;

constexpr int kDomains = 40;
constexpr int kRoles = 10;

struct TDialect {
  const char* name;
  TDatabaseType type;
};
// clang-format off
constexpr TDialect kDialects[] = {
    {"InterBase", TDatabaseType::dbInterBase}, {"ASA", TDatabaseType::dbSybaseASA},
    {"MySQL", TDatabaseType::dbMySQL},         {"Oracle", TDatabaseType::dbOracle},
    {"MSSQL", TDatabaseType::dbMSSQL},         {"PostgreSQL", TDatabaseType::dbPostgreSQL},
    {"DB2", TDatabaseType::dbDB2},             {"ASE", TDatabaseType::dbSybaseASE}};
// clang-format on
constexpr int kSizes[] = {1000, 10000, 100000};

// Processor time of the process, in seconds.
double CpuNow() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The resident set of the process and its peak since the last reset, in
// bytes, from /proc/self/status.
std::size_t StatusBytes(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string key;
  std::size_t kb = 0;
  while (in >> key) {
    if (key == field) {
      in >> kb;
      return kb * 1024;
    }
    in.ignore(1 << 16, '\n');
  }
  return 0;
}

// Starts a peak measurement: memory freed by the previous size goes back,
// and the kernel's high-water mark restarts from the current resident set.
std::size_t ResetPeak() {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
  return StatusBytes("VmRSS:");
}

std::string Num(int i, int width) {
  std::string s = IntToStr(i);
  return std::string(width > static_cast<int>(s.size()) ? width - s.size() : 0, '0') + s;
}

TFldData* AddColumn(TTblData& t, TObjs& objs, const std::string& name, std::uint8_t type,
                    int length = 0) {
  auto f = std::make_unique<TFldData>(&objs, &t);
  f->SetName(name);
  f->DataType = type;
  f->Length = length;
  TFldData* raw = f.get();
  t.Fields.Add(name, std::move(f));
  return raw;
}

void AddKeyColumn(TFieldList& list, TObjs& objs, TDbObj* holder, const std::string& name) {
  auto f = std::make_unique<TFldData>(&objs, holder);
  f->SetName(name);
  list.Add(name, std::move(f));
}

std::string TableName(int i) { return "TB_" + IntToStr(i); }
std::string ViewName(int v) { return "VW_" + Num(v, 6); }

// The objects, kind by kind as an extractor adds them.
void Build(TObjs& objs, int tables) {
  for (int d = 0; d < kDomains; ++d) {
    auto dm = std::make_unique<TDmnData>(&objs);
    dm->SetName("DM_" + IntToStr(d));
    dm->TypeHolder->DataType = d % 2 ? dt::VARCHAR : dt::INTEGER;
    dm->TypeHolder->Length = d % 2 ? 40 : 0;
    objs.AddObject(dm, /*freeOnFail=*/true);
  }
  static const std::uint8_t kTypes[] = {dt::VARCHAR, dt::NUMERIC, dt::TIMESTAMP, dt::CHAR,
                                        dt::BIGINT,  dt::DATE,    dt::SMALLINT};
  for (int i = 0; i < tables; ++i) {
    auto t = std::make_unique<TTblData>(&objs);
    t->SetName(TableName(i));
    AddColumn(*t, objs, "ID", dt::INTEGER)->Nullable = false;
    AddColumn(*t, objs, "PARENT_ID", dt::INTEGER);
    TFldData* typed = AddColumn(*t, objs, "KIND", dt::UserType);
    typed->DomainName = "DM_" + IntToStr(i % kDomains);
    for (int c = 3; c < 10; ++c) {
      const std::uint8_t type = kTypes[(i + c) % 7];
      TFldData* f = AddColumn(*t, objs, "C" + IntToStr(c), type,
                              type == dt::VARCHAR || type == dt::CHAR ? 40 : 0);
      if (type == dt::NUMERIC) f->Precision = 15, f->Scale = 2;
    }
    objs.AddObject(t, /*freeOnFail=*/true);
  }
  // View v reads view v + 1 and the last one a table: every view's key sorts
  // before the key of what it uses.
  const int views = tables / 10;
  for (int v = 0; v < views; ++v) {
    auto view = std::make_unique<TViwData>(&objs);
    view->SetName(ViewName(v));
    view->SetText("SELECT ID FROM " + (v + 1 < views ? ViewName(v + 1) : TableName(0)));
    AddKeyColumn(view->Columns, objs, view.get(), "ID");
    objs.AddObject(view, /*freeOnFail=*/true);
  }
  for (int i = 0; i < tables; ++i) {
    auto idx = std::make_unique<TIdxData>(&objs);
    idx->SetName("IX_" + TableName(i));
    idx->TableName = TableName(i);
    AddKeyColumn(idx->Columns, objs, idx.get(), "C3");
    objs.AddObject(idx, /*freeOnFail=*/true);
  }
  for (int i = 0; i < tables; ++i) {
    const std::string name = TableName(i);
    auto pk = std::make_unique<TCtrData>(&objs);
    pk->SetName("PK_" + name);
    pk->SetConstraintType(ct::PrimaryKey);
    pk->SetTableName(name);
    AddKeyColumn(pk->Columns, objs, pk.get(), "ID");
    objs.AddObject(pk, /*freeOnFail=*/true);

    auto fk = std::make_unique<TCtrData>(&objs);
    fk->SetName("FK_" + name);
    fk->SetConstraintType(ct::ForeignKey);
    fk->SetTableName(name);
    fk->SetRefTableName(TableName(i == 0 ? 0 : i - 1));
    AddKeyColumn(fk->Columns, objs, fk.get(), "PARENT_ID");
    AddKeyColumn(fk->RefColumns, objs, fk.get(), "ID");
    objs.AddObject(fk, /*freeOnFail=*/true);
  }
  for (int r = 0; r < kRoles; ++r) {
    auto role = std::make_unique<TRolData>(&objs);
    role->SetName("R_" + IntToStr(r));
    objs.AddObject(role, /*freeOnFail=*/true);
  }
  for (int i = 0; i < tables; ++i)
    for (TPrivilege p : {TPrivilege::prSelect, TPrivilege::prInsert}) {
      auto g = std::make_unique<TGntData>(&objs);
      g->Grantee = "R_" + IntToStr(i % kRoles);
      g->GranteeKind = TDbObject::dboRole;
      g->ObjectName = TableName(i);
      g->ObjectKind = TDbObject::dboTable;
      g->Privileges = TPrivileges{p};
      objs.AddGrant(g);  // the second merges; `g` keeps it and frees it
    }
}

// The edges a parser records: the view chain from the views' texts, then
// the links after a script (indices, constraints, foreign-key targets,
// grants, users).
void Link(TObjs& objs, TDatabaseType type, int tables) {
  TCustomSQLParser parser(nullptr, type);
  parser.SetObjs(&objs);
  const int views = tables / 10;
  for (int v = 0; v < views; ++v) {
    TViwData* view = objs.FindView(ViewName(v));
    if (v + 1 < views) parser.LinkDepend(view, ViewName(v + 1), TDbObjectSet{TDbObject::dboView});
    else parser.LinkDepend(view, TableName(0), TDbObjectSet{TDbObject::dboTable});
  }
  parser.AfterParse();
}

struct TResult {
  double build = 0, link = 0, script = 0;
  double peakBytes = 0;
};

// Results per dialect and size, for the ratios of the larger sizes.
std::map<std::pair<int, int>, TResult>& Results() {
  static std::map<std::pair<int, int>, TResult> results;
  return results;
}

void BM_Scale(benchmark::State& state, int dialect, int tables) {
  const TDatabaseType type = kDialects[dialect].type;
  TResult r;
  std::size_t lines = 0, bytes = 0;
  for (auto _ : state) {
    const std::size_t base = ResetPeak();
    {
      auto objs = std::make_unique<TObjs>();
      objs->SetServerType(type);
      double t0 = CpuNow();
      Build(*objs, tables);
      r.build = CpuNow() - t0;
      t0 = CpuNow();
      Link(*objs, type, tables);
      r.link = CpuNow() - t0;
      std::vector<std::string> script;
      t0 = CpuNow();
      objs->GetScript(script);
      r.script = CpuNow() - t0;
      lines = script.size();
      for (const std::string& s : script) bytes += s.size();
      benchmark::DoNotOptimize(script.data());
    }
    const std::size_t peak = StatusBytes("VmHWM:");
    r.peakBytes = peak > base ? static_cast<double>(peak - base) : 0;
  }
  if (const auto earlier = Results().find({dialect, tables}); earlier != Results().end()) {
    const TResult& e = earlier->second;
    r.build = std::min(r.build, e.build);
    r.link = std::min(r.link, e.link);
    r.script = std::min(r.script, e.script);
    r.peakBytes = std::min(r.peakBytes, e.peakBytes);
  }
  state.counters["build_s"] = r.build;
  state.counters["link_s"] = r.link;
  state.counters["script_s"] = r.script;
  state.counters["peak_MB"] = r.peakBytes / 1e6;
  state.counters["B_per_table"] = r.peakBytes / tables;
  state.counters["script_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["lines"] = static_cast<double>(lines);
  Results()[{dialect, tables}] = r;
  const auto smaller = Results().find({dialect, tables / 10});
  if (smaller == Results().end()) return;
  const TResult& s = smaller->second;
  auto ratio = [](double big, double small) { return small > 0 ? big / small : 0; };
  state.counters["x_build"] = ratio(r.build, s.build);
  state.counters["x_link"] = ratio(r.link, s.link);
  state.counters["x_script"] = ratio(r.script, s.script);
  state.counters["x_peak"] = ratio(r.peakBytes, s.peakBytes);
}

int EnvInt(const char* name, int otherwise) {
  const char* env = std::getenv(name);
  return env && *env ? std::atoi(env) : otherwise;
}

// Round by round, dialect by dialect, sizes in growing order, so that each
// size finds the one below it.
const bool kRegistered = [] {
  const int rounds = std::max(1, EnvInt("QOR_SCALE_ROUNDS", 1));
  for (int r = 1; r <= rounds; ++r)
    for (int d = 0; d < static_cast<int>(std::size(kDialects)); ++d)
      for (int n : kSizes) {
        if (n > EnvInt("QOR_SCALE_MAX_TABLES", kSizes[2])) continue;
        std::string name = std::string("BM_Scale/") + kDialects[d].name + "/" + IntToStr(n);
        if (rounds > 1) name += "/round:" + IntToStr(r);
        benchmark::RegisterBenchmark(name.c_str(),
                                     [d, n](benchmark::State& st) { BM_Scale(st, d, n); })
            ->Iterations(1)
            ->Unit(benchmark::kSecond)
            ->UseRealTime();
      }
  return true;
}();

}  // namespace
