// Identifier quoting runs once per name written, so its cost shows on large
// scripts. Measured against the peer it replaces: a scan of the keyword table
// in array order on the upper-cased name.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "parsers/keywords/qorIBKeywords.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "parsers/keywords/qorQuoteIdentifier.h"
#include "platform/qorStrings.h"

namespace {

using namespace qor;

const std::vector<std::string>& Names() {
  // clang-format off
  static const std::vector<std::string> names = {
      "CUSTOMER", "ORDER_ID", "Name", "SELECT", "ZIP_CODE", "TYPE", "DAY", "AMOUNT",
      "CREATED_AT", "USER", "DESCRIPTION", "PK_ORDERS", "X", "ACTIVE", "RDB$DB_KEY", "VALUE"};
  // clang-format on
  return names;
}

void BM_QuoteIdentifier(benchmark::State& state, TDatabaseType db) {
  for (auto _ : state)
    for (const std::string& n : Names())
      benchmark::DoNotOptimize(QuoteIdentifier(n, db, TIBSQLServerVersionType::st_Firebird_30, 3));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Names().size()));
}
BENCHMARK_CAPTURE(BM_QuoteIdentifier, InterBase, TDatabaseType::dbInterBase);
BENCHMARK_CAPTURE(BM_QuoteIdentifier, MSSQL, TDatabaseType::dbMSSQL);
BENCHMARK_CAPTURE(BM_QuoteIdentifier, MySQL, TDatabaseType::dbMySQL);

int LinearKind(TResWordTable table, std::string_view word) {
  const std::string upper = UpperAscii(word);
  for (const TResWordSymb& s : table)
    if (upper == s.Name) return s.Kind;
  return tk::Ident;
}

void BM_KeywordLookup_Indexed(benchmark::State& state) {
  for (auto _ : state)
    for (const std::string& n : Names()) benchmark::DoNotOptimize(LookupMSSQLKeyword(n));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Names().size()));
}
BENCHMARK(BM_KeywordLookup_Indexed);

void BM_KeywordLookup_LinearPeer(benchmark::State& state) {
  const TResWordTable table = MSSQLKeywordTable();
  for (auto _ : state)
    for (const std::string& n : Names()) benchmark::DoNotOptimize(LinearKind(table, n));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Names().size()));
}
BENCHMARK(BM_KeywordLookup_LinearPeer);

}  // namespace
