// The scanner runs over every stored body an extraction re-parses, so its
// cost per byte shows on large databases. Measured on a generated DDL
// script with the InterBase keyword table, beside a plain pass over the
// same bytes as the floor no scanner can beat.
#include <benchmark/benchmark.h>

#include <string>

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
           "SELECT C.ID, C.NAME || 'x' FROM CUSTOMER_" + n + " C WHERE C.AMOUNT >= 1.5E3;\r\n";
    }
    return s;
  }();
  return text;
}

void BM_ScanScript(benchmark::State& state) {
  IbTokenizer p;
  long tokens = 0;
  for (auto _ : state) {
    p.SetSource(Script());
    for (p.NextToken(); p.TokenKind() != tk::EOFKind; p.NextToken()) ++tokens;
  }
  benchmark::DoNotOptimize(tokens);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Script().size()));
}
BENCHMARK(BM_ScanScript);

// The floor: one look at each byte.
void BM_PlainPass(benchmark::State& state) {
  for (auto _ : state) {
    unsigned sum = 0;
    for (char c : Script()) sum += static_cast<unsigned char>(c);
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Script().size()));
}
BENCHMARK(BM_PlainPass);

}  // namespace
