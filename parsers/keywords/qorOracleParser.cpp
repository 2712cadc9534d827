// Oracle keyword data and quoting.
#include "parsers/keywords/qorOracleParser.h"

#include <algorithm>
#include <array>

#include "platform/qorStrings.h"

namespace qor {

namespace {

// Kinds only tell keywords from identifiers here.
// clang-format off
constexpr auto kKeywords = NumberedKeywords({
    "ACCESS", "ADD", "ALL", "ALTER", "AND", "ANY", "ARRAYLEN", "AS", "ASC", "AUDIT", "BETWEEN",
    "BY", "CHAR", "CHECK", "CLUSTER", "COLUMN", "COMMENT", "COMPRESS", "CONNECT", "CREATE",
    "CURRENT", "DATE", "DECIMAL", "DEFAULT", "DELETE", "DESC", "DISTINCT", "DROP", "ELSE",
    "EXCLUSIVE", "EXISTS", "FILE", "FLOAT", "FOR", "FROM", "GRANT", "GROUP", "HAVING", "IDENTIFIER",
    "IMMEDIATE", "IN", "INCREMENT", "INDEX", "INITIAL", "INSERT", "INTEGER", "INTERSECT", "INTO",
    "IS", "LEVEL", "LIKE", "LOCK", "LONG", "MAXEXTENTS", "MINUS", "MODE", "MODIFY", "NOAUDIT",
    "NOCOMPRESS", "NOT", "NOTFOUND", "NOWAIT", "NULL", "NUMBER", "OF", "OFFLINE", "ON", "ONLINE",
    "OPTION", "OR", "ORDER", "PCTFREE", "PRIOR", "PRIVILEGES", "PUBLIC", "RAW", "RENAME",
    "RESOURCE", "REVOKE", "ROW", "ROWID", "ROWLABEL", "ROWNUM", "ROWS", "SELECT", "SESSION", "SET",
    "SHARE", "SIZE", "SMALLINT", "SQLBUF", "START", "SUCCESSFUL", "SYNONYM", "SYSDATE", "TABLE",
    "THEN", "TO", "TRIGGER", "UID", "UNION", "UNIQUE", "UPDATE", "USER", "VALIDATE", "VALUES",
    "VARCHAR", "VARCHAR2", "VIEW", "WHENEVER", "WHERE", "WITH",
});
// clang-format on
static_assert(AllNamesFitKey(kKeywords));

constexpr TResWordIndex<kKeywords.size()> kIndex(kKeywords);

bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool IsTailChar(char c) {
  return IsUpperLetter(c) || (c >= '0' && c <= '9') || c == '#' || c == '$' || c == '_';
}

bool BreaksIdentifierRule(std::string_view name) {
  return !IsUpperLetter(name.front()) || !std::all_of(name.begin() + 1, name.end(), IsTailChar);
}

}  // namespace

TResWordTable OracleKeywordTable() { return kKeywords; }

int LookupOracleKeyword(std::string_view word) { return kIndex.KindOf(word); }

std::string QuoteOracleIdentifier(std::string_view name) {
  if (name.empty()) return {};
  // A name that keeps the rule is plain upper-case ASCII, so its locale upper
  // case is itself and the keyword test can take it as it is.
  if (BreaksIdentifierRule(name) || kIndex.KindOfUpper(name) != tk::Ident)
    return QuotedStr(name, '"');
  return std::string(name);
}

}  // namespace qor
