// Writes a libFuzzer dictionary: the words of one dialect's keyword table
// ("ib", "mssql", "mysql"; every dialect's without an argument), the
// terminators the parsers accept and the writers emit, and the comment and
// quote marks. Made from the tables at build time, so it follows them.
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "parsers/keywords/qorASAParser.h"
#include "parsers/keywords/qorDB2Parser.h"
#include "parsers/keywords/qorIBKeywords.h"
#include "parsers/keywords/qorLocalSQLParser.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "parsers/keywords/qorMySQLKeywords.h"
#include "parsers/keywords/qorOracleParser.h"
#include "parsers/keywords/qorPGSQLParser.h"

namespace {

// A dictionary entry: printable ASCII as it is, anything else and the
// quote and backslash as \xNN.
std::string Entry(const std::string& word) {
  std::string out = "\"";
  for (unsigned char c : word) {
    if (c >= 32 && c < 127 && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  const char* dialect = argc > 1 ? argv[1] : "";
  std::vector<qor::TResWordTable> tables;
  if (std::strcmp(dialect, "ib") == 0) tables = {qor::IbKeywordTable()};
  else if (std::strcmp(dialect, "mssql") == 0) tables = {qor::MSSQLKeywordTable()};
  else if (std::strcmp(dialect, "mysql") == 0) tables = {qor::MySQLKeywordTable()};
  else if (*dialect != '\0') {
    std::fprintf(stderr, "dict_from_tables: unknown dialect %s (ib, mssql, mysql)\n", dialect);
    return 2;
  } else
    tables = {qor::IbKeywordTable(),     qor::MySQLKeywordTable(), qor::MSSQLKeywordTable(),
              qor::ASAKeywordTable(),    qor::DB2KeywordTable(),   qor::LocalSQLKeywordTable(),
              qor::OracleKeywordTable(), qor::PGKeywordTable()};
  std::set<std::string> words;
  for (qor::TResWordTable table : tables)
    for (const qor::TResWordSymb& s : table) words.insert(s.Name);
  for (const char* mark :
       {";",      "^",     "GO",           "go", "/",    "//",   "$$", "\r\n^", "\r\ngo",
        "\r\nGO", "\r\n/", "SET TERM ^ ;", "/*", "*/",   "--",   "'",  "\"",    "`",
        "[",      "]",     "||",           ":=", "\r\n", "\x1A", "!=", "<>",    "1.5E3"})
    words.insert(mark);
  for (const std::string& w : words) std::printf("%s\n", Entry(w).c_str());
  return 0;
}
