// T-SQL keyword data and bracket quoting.
#include "parsers/keywords/qorMSSQLKeywords.h"

#include "platform/qorStrings.h"

#include <algorithm>
#include <array>

namespace qor {

namespace {

#define QOR_KEYWORD_LIST "parsers/keywords/qorMSSQLKeywords.def"
#define QOR_KEYWORD_NS msk
constexpr auto kMSSQLKeywords = std::to_array<TResWordSymb>({
#include "parsers/keywords/qorKeywordRecords.inc"
});
static_assert(AllNamesFitKey(kMSSQLKeywords));

constexpr TResWordIndex<kMSSQLKeywords.size()> kIndex(kMSSQLKeywords);

// clang-format off
constexpr TWordIndex<174> kReserved(std::array<std::string_view, 174>{{
    "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "AUTHORIZATION", "BACKUP", "BEGIN",
    "BETWEEN", "BREAK", "BROWSE", "BULK", "BY", "CASCADE", "CASE", "CHECK", "CHECKPOINT",
    "CLOSE", "CLUSTERED", "COALESCE", "COLLATE", "COLUMN", "COMMIT", "COMPUTE", "CONSTRAINT",
    "CONTAINS", "CONTAINSTABLE", "CONTINUE", "CONVERT", "CREATE", "CROSS", "CURRENT",
    "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR", "DATABASE",
    "DBCC", "DEALLOCATE", "DECLARE", "DEFAULT", "DELETE", "DENY", "DESC", "DISK", "DISTINCT",
    "DISTRIBUTED", "DOUBLE", "DROP", "DUMMY", "DUMP", "ELSE", "END", "ERRLVL", "ESCAPE",
    "EXCEPT", "EXEC", "EXECUTE", "EXISTS", "EXIT", "FETCH", "FILE", "FILLFACTOR", "FOR",
    "FOREIGN", "FREETEXT", "FREETEXTTABLE", "FROM", "FULL", "FUNCTION", "GOTO", "GRANT",
    "GROUP", "HAVING", "HOLDLOCK", "IDENTITY", "IDENTITYCOL", "IDENTITY_INSERT", "IF", "IN",
    "INDEX", "INNER", "INSERT", "INTERSECT", "INTO", "IS", "JOIN", "KEY", "KILL", "LEFT",
    "LIKE", "LINENO", "LOAD", "NATIONAL", "NOCHECK", "NONCLUSTERED", "NOT", "NULL", "NULLIF",
    "OF", "OFF", "OFFSETS", "ON", "OPEN", "OPENDATASOURCE", "OPENQUERY", "OPENROWSET",
    "OPENXML", "OPTION", "OR", "ORDER", "OUTER", "OVER", "PERCENT", "PLAN", "PRECISION",
    "PRIMARY", "PRINT", "PROC", "PROCEDURE", "PUBLIC", "RAISERROR", "READ", "READTEXT",
    "RECONFIGURE", "REFERENCES", "REPLICATION", "RESTORE", "RESTRICT", "RETURN", "REVOKE",
    "RIGHT", "ROLLBACK", "ROWCOUNT", "ROWGUIDCOL", "RULE", "SAVE", "SCHEMA", "SELECT",
    "SESSION_USER", "SET", "SETUSER", "SHUTDOWN", "SOME", "STATISTICS", "SYSTEM_USER",
    "TABLE", "TEXTSIZE", "THEN", "TO", "TOP", "TRAN", "TRANSACTION", "TRIGGER", "TRUNCATE",
    "TSEQUAL", "UNION", "UNIQUE", "UPDATE", "UPDATETEXT", "USE", "USER", "VALUES", "VARYING",
    "VIEW", "WAITFOR", "WHEN", "WHERE", "WHILE", "WITH", "WRITETEXT",
}});

// Adaptive Server's reserved words that T-SQL leaves free.
constexpr TWordIndex<77> kASEReserved(std::array<std::string_view, 77>{{
    "ARITH_OVERFLOW", "CHAR_CONVERT", "CONFIRM", "CONTROLROW", "DECRYPT", "DETERMINISTIC",
    "DUAL_CONTROL", "ENCRYPT", "ENDTRAN", "ERRORDATA", "ERROREXIT", "EXCLUSIVE", "EXP_ROW_SIZE",
    "EXTERNAL", "IDENTITY_GAP", "IDENTITY_START", "INOUT", "INSENSITIVE", "INSTALL",
    "ISOLATION", "JAR", "LEVEL", "LOCK", "LOB_COMPRESSION", "MATERIALIZED", "MAX",
    "MAX_ROWS_PER_PAGE", "MIN", "MIRROR", "MIRROREXIT", "MODIFY", "NEW", "NOHOLDLOCK",
    "NONSCROLLABLE", "NON_SENSITIVE", "NUMERIC_TRUNCATION", "ONCE", "ONLINE", "ONLY", "OUT",
    "OUTPUT", "PARTITION", "PERM", "PERMANENT", "PREPARE", "PRIVILEGES", "PROCESSEXIT",
    "PROXY_TABLE", "QUIESCE", "READPAST", "RELEASE", "REMOVE", "REORG", "REPLACE",
    "RESERVEPAGEGAP", "RETURNS", "ROLE", "ROWS", "SCROLL", "SCROLLABLE", "SEMI_SENSITIVE",
    "SHARED", "STRINGSIZE", "STRIPE", "SYB_IDENTITY", "SYB_RESTREE", "SYB_TERMINATE", "TEMP",
    "TEMPORARY", "TRACEFILE", "UNPARTITION", "USER_OPTION", "USING", "WORK", "XMLEXTRACT",
    "XMLPARSE", "XMLVALIDATE",
}});
// clang-format on

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// "$" may follow the first character only: $A would not parse bare.
bool IsFirstChar(char c) { return IsLetter(c) || c == '#' || c == '_'; }
bool IsTailChar(char c) { return IsFirstChar(c) || (c >= '0' && c <= '9') || c == '@' || c == '$'; }

}  // namespace

TResWordTable MSSQLKeywordTable() { return kMSSQLKeywords; }

int LookupMSSQLKeyword(std::string_view word) { return kIndex.KindOf(word); }

std::span<const std::string_view> MSSQLReservedWords() { return kReserved.Words(); }

bool MSSQLNameNeedsQuotes(std::string_view name) {
  if (name.empty() || name.front() == '<') return false;
  if (!IsFirstChar(name.front())) return true;
  if (!std::all_of(name.begin() + 1, name.end(), IsTailChar)) return true;
  // The name is plain ASCII here, where the locale's upper case is ASCII's.
  const TKeywordKey upper(name);
  if (!upper.Fits()) return false;
  if (kIndex.KindOfUpper(upper.View()) != tk::Ident) return true;
  // A bare GO would end the batch for a script reader.
  if (upper.View() == "GO") return true;
  return kReserved.Contains(upper.View());
}

std::string QuoteMSSQLIdentifier(std::string_view name) {
  return MSSQLNameNeedsQuotes(name) ? BracketedStr(name) : std::string(name);
}

bool ASENameNeedsQuotes(std::string_view name) {
  if (MSSQLNameNeedsQuotes(name)) return true;
  const TKeywordKey upper(name);
  return upper.Fits() && kASEReserved.Contains(upper.View());
}

std::string QuoteASEIdentifier(std::string_view name) {
  return ASENameNeedsQuotes(name) ? BracketedStr(name) : std::string(name);
}

}  // namespace qor
