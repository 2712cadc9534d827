// The whole InterBase/Firebird parse of a real script against the scanner
// alone over the same text, in the same run: the `isql-fb -x` extract of
// the employee sample repeated 1, 10 and 100 times. The counters give both
// speeds in MB/s and their ratio (parse / scan; the goal is at least 1/3),
// and the three sizes show whether the cost stays linear.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>

#include "model/qorDBStructure.h"
#include "parsers/ib/qorIBParser.h"

namespace {

using namespace qor;
using Clock = std::chrono::steady_clock;

const std::string& Extract() {
  static const std::string text = [] {
    std::ifstream in(QOR_TEST_DATA_DIR "/sql/ib/employee_extract.sql", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }();
  return text;
}

std::string Repeated(int times) {
  std::string s;
  s.reserve(Extract().size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) s += Extract();
  return s;
}

void BM_ParseAgainstScan(benchmark::State& state) {
  const std::string text = Repeated(static_cast<int>(state.range(0)));
  double scanSeconds = 0, parseSeconds = 0;
  long tokens = 0;
  for (auto _ : state) {
    {
      TObjs objs;
      TIbParser p(nullptr);
      p.SetObjs(&objs);
      p.OnErrorMessage = [](TObject*, const std::string&) {};
      const auto t0 = Clock::now();
      p.SetSource(text);
      for (p.NextToken(); p.TokenKind() != tk::EOFKind; p.NextToken()) ++tokens;
      scanSeconds += std::chrono::duration<double>(Clock::now() - t0).count();
    }
    {
      TObjs objs;
      objs.SetServerType(TDatabaseType::dbInterBase);
      TIbParser p(nullptr);
      p.OnLogNextLine = [](TObject*, const std::string&) {};
      p.OnErrorMessage = [](TObject*, const std::string&) {};
      const auto t0 = Clock::now();
      p.ParseScript({text}, &objs);
      parseSeconds += std::chrono::duration<double>(Clock::now() - t0).count();
      benchmark::DoNotOptimize(objs.Tables.Count());
    }
  }
  benchmark::DoNotOptimize(tokens);
  const double mb =
      static_cast<double>(text.size()) * static_cast<double>(state.iterations()) / 1e6;
  state.counters["scan_MBps"] = mb / scanSeconds;
  state.counters["parse_MBps"] = mb / parseSeconds;
  state.counters["parse_per_scan"] = scanSeconds / parseSeconds;
  state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_ParseAgainstScan)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace
