// A whole MySQL script parse in the form the server prints its CREATE texts
// (backticked names, function-call defaults, keys, a foreign key, a check,
// table options, a routine under DELIMITER) beside the bare scanner over the
// same text, at two sizes: the parse should stay within a small factor of
// the scanner and grow linearly with the script. Debian's world sample
// (mariadb-test-data), a script of INSERT statements, is measured the same
// way when it is installed.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "model/qorDBStructure.h"
#include "parsers/mysql/qorMySQLParser.h"
#include "platform/qorStrings.h"

namespace {

using namespace qor;

std::string Script(int objects) {
  std::string s = "DELIMITER $$\n";
  for (int i = 0; i < objects; ++i) {
    const std::string n = std::to_string(i);
    s +=
        "CREATE TABLE `orders" + n +
        "` (\n  `id` bigint(20) NOT NULL AUTO_INCREMENT,\n"
        "  `customer_id` int(10) unsigned DEFAULT NULL,\n"
        "  `name` varchar(60) NOT NULL DEFAULT 'O''Brien' COMMENT 'Shown on invoices',\n"
        "  `amount` decimal(12,2) NOT NULL DEFAULT 0.00 CHECK (`amount` >= 0),\n"
        "  `placed` timestamp NOT NULL DEFAULT current_timestamp() ON UPDATE current_timestamp(),\n"
        "  PRIMARY KEY (`id`),\n  KEY `ix_customer" +
        n +
        "` (`customer_id`),\n"
        "  CONSTRAINT `fk_orders" +
        n +
        "` FOREIGN KEY (`customer_id`) REFERENCES `customers` (`id`) ON DELETE CASCADE\n"
        ") ENGINE=InnoDB AUTO_INCREMENT=1001 DEFAULT CHARSET=utf8mb4 "
        "COLLATE=utf8mb4_general_ci\n$$\n"
        "CREATE DEFINER=`root`@`localhost` PROCEDURE `p" +
        n +
        "`(IN cust INT, OUT n INT)\n    READS SQL DATA\nBEGIN\n"
        "  SELECT count(*) INTO n FROM orders" +
        n + " WHERE customer_id = cust; -- 'x'\nEND\n$$\n";
  }
  return s + "DELIMITER ;\n";
}

const std::string& ScriptOf(int objects) {
  static const std::string small = Script(250);
  static const std::string large = Script(1000);
  return objects == 250 ? small : large;
}

const std::string& World() {
  static const std::string text = [] {
    std::ifstream in("/usr/share/mysql/mysql-test/include/world.inc", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }();
  return text;
}

void Scan(benchmark::State& state, const std::string& text) {
  TMySQLParser p(nullptr);
  long tokens = 0;
  for (auto _ : state) {
    p.SetTerminator("$$");
    p.SetSource(text);
    for (p.NextToken(); p.TokenKind() != tk::EOFKind; p.NextToken()) ++tokens;
  }
  benchmark::DoNotOptimize(tokens);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void Parse(benchmark::State& state, const std::string& text) {
  const std::vector<std::string> lines = SplitLines(text);
  for (auto _ : state) {
    TDBStructure structure;
    structure.GetObjs()->SetServerType(TDatabaseType::dbMySQL);
    TMySQLParser p(nullptr);
    p.ParseScript(lines, structure.GetObjs());
    benchmark::DoNotOptimize(structure.GetObjs()->Tables.Count());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_MySQLScan(benchmark::State& state) {
  Scan(state, ScriptOf(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_MySQLScan)->Arg(250)->Arg(1000);

void BM_MySQLParse(benchmark::State& state) {
  Parse(state, ScriptOf(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_MySQLParse)->Arg(250)->Arg(1000);

void BM_MySQLWorldScan(benchmark::State& state) {
  if (World().empty()) state.SkipWithError("mariadb-test-data is not installed");
  Scan(state, World());
}
BENCHMARK(BM_MySQLWorldScan);

void BM_MySQLWorldParse(benchmark::State& state) {
  if (World().empty()) state.SkipWithError("mariadb-test-data is not installed");
  Parse(state, World());
}
BENCHMARK(BM_MySQLWorldParse);

}  // namespace
