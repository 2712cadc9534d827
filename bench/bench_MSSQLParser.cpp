// A whole T-SQL script parse (tables with constraints, indexes, procedures
// with raw bodies, grants, GO batches) beside the bare scanner over the same
// text, at two sizes: the parse should stay within a small factor of the
// scanner and grow linearly with the script.
#include <benchmark/benchmark.h>

#include <string>

#include "model/qorDBStructure.h"
#include "parsers/mssql/qorMSSQLParser.h"
#include "platform/qorStrings.h"

namespace {

using namespace qor;

std::string Script(int objects) {
  std::string s;
  for (int i = 0; i < objects; ++i) {
    const std::string n = std::to_string(i);
    s +=
        "CREATE TABLE [dbo].[Customer" + n +
        "] (\r\n  [Id] int IDENTITY(1,1) NOT NULL,\r\n  [Name] nvarchar(80) NULL DEFAULT (N'none'),\r\n"
        "  [Amount] decimal(15, 2) NOT NULL CONSTRAINT [CK_Amount" +
        n + "] CHECK ([Amount] >= 0),\r\n  CONSTRAINT [PK_Customer" + n +
        "] PRIMARY KEY CLUSTERED ([Id] ASC) WITH (PAD_INDEX = OFF) ON [PRIMARY]\r\n) ON [PRIMARY]\r\nGO\r\n"
        "CREATE NONCLUSTERED INDEX [IX_Name" +
        n + "] ON [dbo].[Customer" + n +
        "] ([Name]) INCLUDE ([Amount]) WHERE [Name] IS NOT NULL\r\nGO\r\n"
        "CREATE PROCEDURE dbo.P" +
        n +
        " @id int, @name nvarchar(80) = NULL OUTPUT AS\r\nBEGIN\r\n  SET NOCOUNT ON\r\n"
        "  SELECT @name = Name FROM dbo.Customer" +
        n +
        " WHERE Id = @id -- one row\r\nEND\r\nGO\r\n"
        "GRANT SELECT, INSERT ON dbo.Customer" +
        n + " TO Clerk\r\nGO\r\n";
  }
  return s;
}

const std::string& ScriptOf(int objects) {
  static const std::string small = Script(250);
  static const std::string large = Script(1000);
  return objects == 250 ? small : large;
}

void BM_MSSQLScan(benchmark::State& state) {
  const std::string& text = ScriptOf(static_cast<int>(state.range(0)));
  TMSSQLParser p(nullptr);
  long tokens = 0;
  for (auto _ : state) {
    p.SetSource(text);
    for (p.NextToken(); p.TokenKind() != tk::EOFKind; p.NextToken()) ++tokens;
  }
  benchmark::DoNotOptimize(tokens);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_MSSQLScan)->Arg(250)->Arg(1000);

void BM_MSSQLParse(benchmark::State& state) {
  const std::string& text = ScriptOf(static_cast<int>(state.range(0)));
  const std::vector<std::string> lines = SplitLines(text);
  for (auto _ : state) {
    TDBStructure structure;
    TMSSQLParser p(nullptr);
    p.ParseScript(lines, structure.GetObjs());
    benchmark::DoNotOptimize(structure.GetObjs()->Tables.Count());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_MSSQLParse)->Arg(250)->Arg(1000);

}  // namespace
