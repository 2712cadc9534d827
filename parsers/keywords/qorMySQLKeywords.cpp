// MySQL keyword data and quoting. The parser's table is small: it holds only
// the words the statement rules branch on, with kinds the parser tests by
// number; the reserved-word list is the server's and drives quoting alone.
#include "parsers/keywords/qorMySQLKeywords.h"

#include <algorithm>
#include <array>

#include "platform/qorStrings.h"

namespace qor {

namespace {

// Synonyms share a kind (INT/INTEGER, BOOL/TINYINT, DEC/DECIMAL,
// CHAR/CHARACTER). Parsers test these numbers, so never renumber a word.
// clang-format off
constexpr std::array<TResWordSymb, 75> kMySQLKeywords = {{
    {"INT", 30}, {"INTEGER", 30}, {"BOOL", 31}, {"TINYINT", 31}, {"SMALLINT", 32},
    {"MEDIUMINT", 33}, {"BIGINT", 34}, {"REAL", 35}, {"DOUBLE", 36}, {"FLOAT", 37},
    {"DEC", 38}, {"DECIMAL", 38}, {"NUMERIC", 39}, {"CHAR", 40}, {"CHARACTER", 40},
    {"VARCHAR", 41}, {"DATE", 42}, {"TIME", 43}, {"DATETIME", 44}, {"_<charset>", 45},
    {"TINYBLOB", 46}, {"BLOB", 47}, {"MEDIUMBLOB", 48}, {"LONGBLOB", 49}, {"TINYTEXT", 50},
    {"TEXT", 51}, {"MEDIUMTEXT", 52}, {"LONGTEXT", 53}, {"ENUM", 54}, {"SET", 55},
    {"YEAR", 56}, {"PRECISION", 57}, {"UNSIGNED", 58}, {"ZEROFILL", 59}, {"NATIONAL", 60},
    {"BINARY", 61}, {"NULL", 62}, {"DEFAULT", 63}, {"SPATIAL", 64}, {"PRIMARY", 65},
    {"KEY", 66}, {"INDEX", 67}, {"FOREIGN", 68}, {"UNIQUE", 69}, {"CREATE", 70}, {"DROP", 71},
    {"TABLE", 72}, {"IF", 73}, {"NOT", 74}, {"EXISTS", 75}, {"TEMPORARY", 76}, {"INSERT", 77},
    {"UPDATE", 78}, {"DELETE", 79}, {"SELECT", 80}, {"DATABASE", 81}, {"USE", 82},
    {"REFERENCES", 83}, {"ALTER", 84}, {"ADD", 85}, {"CONSTRAINT", 86}, {"ON", 87},
    {"COLLATE", 88}, {"INTO", 89}, {"FROM", 90}, {"CASCADE", 91}, {"RESTRICT", 92},
    {"CALL", 93}, {"FULLTEXT", 94}, {"REPLACE", 95}, {"OR", 96}, {"SQL", 97}, {"AS", 98},
    {"VARBINARY", 99}, {"BIT", 100},
}};
// clang-format on
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
