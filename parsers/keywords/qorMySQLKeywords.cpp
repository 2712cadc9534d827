// MySQL keyword data and quoting. The parser's table is small: it holds only
// the words the statement rules branch on (qorMySQLKeywords.def); the
// reserved-word list is the server's and drives quoting alone.
#include "parsers/keywords/qorMySQLKeywords.h"

#include <algorithm>
#include <array>

#include "platform/qorStrings.h"

namespace qor {

namespace {

#define QOR_KEYWORD_LIST "parsers/keywords/qorMySQLKeywords.def"
#define QOR_KEYWORD_NS myk
constexpr auto kMySQLKeywords = std::to_array<TResWordSymb>({
#include "parsers/keywords/qorKeywordRecords.inc"
});
static_assert(AllNamesFitKey(kMySQLKeywords));

// clang-format off
constexpr TWordIndex<215> kReserved(std::array<std::string_view, 215>{{
    "ADD", "ALL", "ALTER", "ANALYZE", "AND", "AS", "ASC", "ASENSITIVE", "BEFORE", "BETWEEN",
    "BIGINT", "BINARY", "BLOB", "BOTH", "BY", "CALL", "CASCADE", "CASE", "CHANGE", "CHAR",
    "CHARACTER", "CHECK", "COLLATE", "COLUMN", "CONDITION", "CONNECTION", "CONSTRAINT",
    "CONTINUE", "CONVERT", "CREATE", "CROSS", "CURRENT_DATE", "CURRENT_TIME",
    "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR", "DATABASE", "DATABASES", "DAY_HOUR",
    "DAY_MICROSECOND", "DAY_MINUTE", "DAY_SECOND", "DEC", "DECIMAL", "DECLARE", "DEFAULT",
    "DELAYED", "DELETE", "DESC", "DESCRIBE", "DETERMINISTIC", "DISTINCT", "DISTINCTROW",
    "DIV", "DOUBLE", "DROP", "DUAL", "EACH", "ELSE", "ELSEIF", "ENCLOSED", "ESCAPED",
    "EXISTS", "EXIT", "EXPLAIN", "FALSE", "FETCH", "FIELD", "FLOAT", "FOR", "FORCE",
    "FOREIGN", "FROM", "FULLTEXT", "GOTO", "GRANT", "GROUP", "HAVING", "HIGH_PRIORITY",
    "HOUR_MICROSECOND", "HOUR_MINUTE", "HOUR_SECOND", "IF", "IGNORE", "IN", "INDEX", "INFILE",
    "INNER", "INOUT", "INSENSITIVE", "INSERT", "INT", "INTEGER", "INTERVAL", "INTO", "IS",
    "ITERATE", "JOIN", "KEY", "KEYS", "KILL", "LEADING", "LEAVE", "LEFT", "LIKE", "LIMIT",
    "LINES", "LOAD", "LOCALTIME", "LOCALTIMESTAMP", "LOCK", "LONG", "LONGBLOB", "LONGTEXT",
    "LOOP", "LOW_PRIORITY", "MATCH", "MEDIUMBLOB", "MEDIUMINT", "MEDIUMTEXT", "MIDDLEINT",
    "MINUTE_MICROSECOND", "MINUTE_SECOND", "MOD", "MODIFIES", "NATURAL", "NOT",
    "NO_WRITE_TO_BINLOG", "NULL", "NUMERIC", "ON", "OPTIMIZE", "OPTION", "OPTIONALLY", "OR",
    "ORDER", "OUT", "OUTER", "OUTFILE", "PRECISION", "PRIMARY", "PROCEDURE", "PURGE", "READ",
    "READS", "REAL", "REFERENCES", "REGEXP", "RELEASE", "RENAME", "REPEAT", "REPLACE",
    "REQUIRE", "RESTRICT", "RETURN", "REVOKE", "RIGHT", "RLIKE", "SCHEMA", "SCHEMAS",
    "SECOND_MICROSECOND", "SELECT", "SENSITIVE", "SEPARATOR", "SET", "SHOW", "SMALLINT",
    "SONAME", "SPATIAL", "SPECIFIC", "SQL", "SQLEXCEPTION", "SQLSTATE", "SQLWARNING",
    "SQL_BIG_RESULT", "SQL_CALC_FOUND_ROWS", "SQL_SMALL_RESULT", "SSL", "STARTING",
    "STRAIGHT_JOIN", "TABLE", "TERMINATED", "THEN", "TINYBLOB", "TINYINT", "TINYTEXT", "TO",
    "TRAILING", "TRIGGER", "TRUE", "UNDO", "UNION", "UNIQUE", "UNLOCK", "UNSIGNED", "UPDATE",
    "USAGE", "USE", "USING", "UTC_DATE", "UTC_TIME", "UTC_TIMESTAMP", "VALUES", "VARBINARY",
    "VARCHAR", "VARCHARACTER", "VARYING", "WHEN", "WHERE", "WHILE", "WITH", "WRITE", "XOR",
    "YEAR_MONTH", "ZEROFILL",
}});
// clang-format on

}  // namespace

TResWordTable MySQLKeywordTable() { return kMySQLKeywords; }

std::span<const std::string_view> MySQLReservedWords() { return kReserved.Words(); }

std::string QuoteMySQLIdentifier(std::string_view name) {
  // Bare only when the client reads it back as this one name: upper-case
  // letters, digits, "_" and "$", not starting with a digit (1E5 is a
  // number) or "$" (MySQL 8 deprecates it bare, and "$A" is no name to our
  // scanner) and not reserved. Any lower-case letter asks for backticks too.
  auto plain = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$';
  };
  const bool bare =
      std::all_of(name.begin(), name.end(), plain) &&
      (name.empty() || ((name.front() < '0' || name.front() > '9') && name.front() != '$'));
  if (bare && !kReserved.Contains(name)) return std::string(name);
  return QuotedStr(name, '`');
}

}  // namespace qor
