// The scanner runs over every stored body an extraction re-parses, so its
// cost per byte shows on large databases. Measured on a generated DDL
// script with the InterBase keyword table, beside two floors over the same
// bytes: a plain sum (vectorised; no scanner can come near it) and a scalar
// pass that looks each byte up in a 256-entry class table and branches on
// the class, the least any table-driven scanner does per byte.
// BM_ScannerVsClassifying times the scanner and that pass in turn, in
// processor time of the thread, keeping each one's best round so that load
// on the machine cancels out, and shows the scanner's speed as a share of
// the pass's (scanner_share): the goal is at least 0.25.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include <time.h>

#include "parsers/keywords/qorIBKeywords.h"
#include "parsers/qorSQLParser.h"

namespace {

using namespace qor;

class IbTokenizer : public TCustomSQLParser {
 public:
  IbTokenizer() : TCustomSQLParser(nullptr, TDatabaseType::dbInterBase) {}

 protected:
  void InitResWords() override {
    TCustomSQLParser::InitResWords();
    ResWords().AddWords(IbKeywordTable());
  }
};

const std::string& Script() {
  static const std::string text = [] {
    std::string s;
    for (int i = 0; i < 2000; ++i) {
      const std::string n = std::to_string(i);
      s += "/* table " + n + " */\r\nCREATE TABLE CUSTOMER_" + n +
           " (\r\n  ID INTEGER NOT NULL,\r\n  NAME VARCHAR(80) DEFAULT 'none',\r\n"
           "  AMOUNT NUMERIC(15, 2) -- money\r\n);\r\n"
           "SELECT C.ID, C.NAME || 'x' FROM CUSTOMER_" +
           n + " C WHERE C.AMOUNT >= 1.5E3;\r\n";
    }
    return s;
  }();
  return text;
}

long ScanOnce(IbTokenizer& p) {
  long tokens = 0;
  p.SetSource(Script());
  for (p.NextToken(); p.TokenKind() != tk::EOFKind; p.NextToken()) ++tokens;
  return tokens;
}

// The byte classes of the classifying floor.
// clang-format off
enum TByteClass : std::uint8_t {
  bcOther,   // control characters and bytes beyond ASCII
  bcBlank,   // space, TAB, CR
  bcLine,    // LF
  bcWord,    // letters, "_", "$"
  bcDigit,   // 0-9
  bcQuote,   // ' " `
  bcPunct,   // any other printable ASCII character
};
// clang-format on

constexpr std::array<std::uint8_t, 256> kByteClass = [] {
  std::array<std::uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    std::uint8_t k = bcOther;
    if (c == ' ' || c == '\t' || c == '\r') k = bcBlank;
    else if (c == '\n') k = bcLine;
    else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '$') k = bcWord;
    else if (c >= '0' && c <= '9') k = bcDigit;
    else if (c == '\'' || c == '"' || c == '`') k = bcQuote;
    else if (c > ' ' && c < 127) k = bcPunct;
    t[static_cast<std::size_t>(c)] = k;
  }
  return t;
}();

std::size_t ClassifyOnce() {
  std::size_t blanks = 0, lines = 0, words = 0, digits = 0, quotes = 0, puncts = 0, others = 0;
  for (char ch : Script()) {
    switch (kByteClass[static_cast<unsigned char>(ch)]) {
      case bcBlank: ++blanks; break;
      case bcLine: ++lines; break;
      case bcWord: ++words; break;
      case bcDigit: ++digits; break;
      case bcQuote: ++quotes; break;
      case bcPunct: ++puncts; break;
      default: ++others; break;
    }
  }
  return blanks + lines * 3 + words * 5 + digits * 7 + quotes * 11 + puncts * 13 + others * 17;
}

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Script().size()));
}

void BM_ScanScript(benchmark::State& state) {
  IbTokenizer p;
  long tokens = 0;
  for (auto _ : state) tokens += ScanOnce(p);
  benchmark::DoNotOptimize(tokens);
  SetBytes(state);
}
BENCHMARK(BM_ScanScript);

// The first floor: one look at each byte.
void BM_PlainPass(benchmark::State& state) {
  for (auto _ : state) {
    unsigned sum = 0;
    for (char c : Script()) sum += static_cast<unsigned char>(c);
    benchmark::DoNotOptimize(sum);
  }
  SetBytes(state);
}
BENCHMARK(BM_PlainPass);

// The second floor: a class-table lookup and a branch per byte.
void BM_ClassifyingPass(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ClassifyOnce());
  SetBytes(state);
}
BENCHMARK(BM_ClassifyingPass);

// The processor time of this thread, so that time spent waiting for a
// busy machine counts for neither pass.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

template <class F>
double Seconds(F&& f) {
  const double t0 = ThreadSeconds();
  f();
  return ThreadSeconds() - t0;
}

void BM_ScannerVsClassifying(benchmark::State& state) {
  IbTokenizer p;
  const auto scan = [&] { benchmark::DoNotOptimize(ScanOnce(p)); };
  // The pass runs as many times per round as makes a round as long as the
  // scanner's, so that both are equally exposed to a busy machine.
  const int repeats =
      std::max(1, static_cast<int>(Seconds(scan) / Seconds([] { ClassifyOnce(); }) + 0.5));
  const auto classify = [&] {
    for (int i = 0; i < repeats; ++i) benchmark::DoNotOptimize(ClassifyOnce());
  };
  double bestScan = 1e9, bestClassify = 1e9;
  for (auto _ : state) {
    bestScan = std::min(bestScan, Seconds(scan));
    bestClassify = std::min(bestClassify, Seconds(classify) / repeats);
  }
  state.counters["scanner_share"] = bestClassify / bestScan;
  state.counters["goal"] = 0.25;
}
BENCHMARK(BM_ScannerVsClassifying)->MinTime(2.0);

}  // namespace
