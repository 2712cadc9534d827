// Local SQL keyword data and quoting.
#include "parsers/keywords/qorLocalSQLParser.h"

#include <array>

#include "platform/qorStrings.h"

namespace qor {

namespace {

// Kinds only tell keywords from identifiers here.
// IACTIVE and COMMITED stand in the table spelled so.
// clang-format off
constexpr auto kKeywords = NumberedKeywords({
    "ADD", "AFTER", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "ASCENDING", "AT", "AUTO", "AUTOINC",
    "AVG", "BASE_NAME", "BEFORE", "BEGIN", "BETWEEN", "BLOB", "BOOLEAN", "BOTH", "BY", "BYTES",
    "CACHE", "CAST", "CHAR", "CHARACTER", "CHECK", "CHECK_POINT_LENGTH", "COLLATE", "COLUMN",
    "COMMIT", "COMMITED", "COMPUTED", "CONDITIONAL", "CONSTRAINT", "CONTAINING", "COUNT", "CREATE",
    "CSTRING", "CURRENT", "CURSOR", "DATABASE", "DATE", "DAY", "DEBUG", "DEC", "DECIMAL", "DECLARE",
    "DEFAULT", "DELETE", "DESC", "DESCENDING", "DISTINCT", "DO", "DOMAIN", "DOUBLE", "DROP", "ELSE",
    "END", "ENTRY_POINT", "ESCAPE", "EXCEPTION", "EXECUTE", "EXISTS", "EXIT", "EXTERNAL", "EXTRACT",
    "FILE", "FILTER", "FLOAT", "FOR", "FOREIGN", "FROM", "FULL", "FUNCTION", "GDSCODE", "GENERATOR",
    "GEN_ID", "GRANT", "GROUP", "GROUP_COMMIT_WAIT_TIME", "HAVING", "HOUR", "IACTIVE", "IF", "IN",
    "INACTIVE", "INDEX", "INNER", "INPUT_TYPE", "INSERT", "INT", "INTEGER", "INTO", "IS",
    "ISOLATION", "JOIN", "KEY", "LEADING", "LEFT", "LENGTH", "LEVEL", "LIKE", "LOGFILE",
    "LOG_BUFFER_SIZE", "LONG", "LOWER", "MANUAL", "MAX", "MAXIMUM_SEGMENT", "MERGE", "MESSAGE",
    "MIN", "MINUTE", "MODULE_NAME", "MONEY", "MONTH", "NAMES", "NATIONAL", "NATURAL", "NCHAR", "NO",
    "NOT", "NULL", "NUMERIC", "NUM_LOG_BUFFERS", "OF", "ON", "ONLY", "OPTION", "OR", "ORDER",
    "OUTER", "OUTPUT_TYPE", "OVERFLOW", "PAGE", "PAGES", "PAGE_SIZE", "PARAMETER", "PASSWORD",
    "PLAN", "POSITION", "POST_EVENT", "PRECISION", "PRIMARY", "PRIVILEGES", "PROCEDURE",
    "PROTECTED", "RAW_PARTITIONS", "RDB$DB_KEY", "READ", "REAL", "RECORD_VERSION", "REFERENCES",
    "RESERV", "RESERVING", "RETAIN", "RETURNING_VALUES", "RETURNS", "REVOKE", "RIGHT", "ROLLBACK",
    "SCHEMA", "SECOND", "SEGMENT", "SELECT", "SET", "SHADOW", "SHARED", "SINGULAR", "SIZE",
    "SMALLINT", "SNAPSHOT", "SOME", "SORT", "SQLCODE", "STABILITY", "STARTING", "STARTS",
    "STATISTICS", "SUBSTRING", "SUB_TYPE", "SUM", "SUSPEND", "TABLE", "THEN", "TIME", "TIMESTAMP",
    "TIMEZONE_HOUR", "TIMEZONE_MINUTE", "TO", "TRAILING", "TRANSACTION", "TRIGGER", "TRIM",
    "UNCOMMITTED", "UNION", "UNIQUE", "UPDATE", "UPPER", "USER", "VALUE", "VALUES", "VARCHAR",
    "VARIABLE", "VARYING", "VIEW", "WAIT", "WHEN", "WHERE", "WHILE", "WITH", "WORK", "WRITE",
    "YEAR",
});
// clang-format on
static_assert(AllNamesFitKey(kKeywords));

constexpr TResWordIndex<kKeywords.size()> kIndex(kKeywords);

}  // namespace

TResWordTable LocalSQLKeywordTable() { return kKeywords; }

int LookupLocalSQLKeyword(std::string_view word) { return kIndex.KindOf(word); }

std::string QuoteLocalSQLIdentifier(std::string_view name) {
  // Characters are not tested, so the locale's upper case decides; a letter
  // outside ASCII may fold onto a keyword (dotless i onto I).
  if (LookupLocalSQLKeyword(UpperLocale(name)) != tk::Ident) return QuotedStr(name, '"');
  return std::string(name);
}

}  // namespace qor
