// PostgreSQL keyword data and quoting.
#include "parsers/keywords/qorPGSQLParser.h"

#include <algorithm>
#include <array>

#include "platform/qorStrings.h"

namespace qor {

namespace {

// Kinds only tell keywords from identifiers here.
// clang-format off
constexpr auto kKeywords = NumberedKeywords({
    "..", "::", ":=", "<<", ">>", "ALL", "ANALYSE", "ANALYZE", "AND", "ANY", "ARRAY", "AS", "ASC",
    "ASYMMETRIC", "AUTHORIZATION", "BETWEEN", "BINARY", "BOTH", "CASE", "CAST", "CHECK", "COLLATE",
    "COLUMN", "CONSTRAINT", "CREATE", "CROSS", "CURRENT_DATE", "CURRENT_ROLE", "CURRENT_TIME",
    "CURRENT_TIMESTAMP", "CURRENT_USER", "DEFAULT", "DEFERRABLE", "DESC", "DISTINCT", "DO", "ELSE",
    "END", "EXCEPT", "FALSE", "FOR", "FOREIGN", "FREEZE", "FROM", "FULL", "GRANT", "GROUP",
    "HAVING", "ILIKE", "IN", "INITIALLY", "INNER", "INTERSECT", "INTO", "IS", "ISNULL", "JOIN",
    "LEADING", "LEFT", "LIKE", "LIMIT", "LOCALTIME", "LOCALTIMESTAMP", "NATURAL", "NEW", "NOT",
    "NOTNULL", "NULL", "OFF", "OFFSET", "OLD", "ON", "ONLY", "OR", "ORDER", "OUTER", "OVERLAPS",
    "PLACING", "PRIMARY", "REFERENCES", "RIGHT", "SELECT", "SESSION_USER", "SIMILAR", "SOME",
    "SYMMETRIC", "TABLE", "THEN", "TO", "TRAILING", "TRUE", "UNION", "UNIQUE", "USER", "USING",
    "VERBOSE", "WHEN", "WHERE",
});
// clang-format on
static_assert(AllNamesFitKey(kKeywords));

constexpr TResWordIndex<kKeywords.size()> kIndex(kKeywords);

bool IsFirstChar(char c) { return (c >= 'a' && c <= 'z') || c == '_'; }
bool IsTailChar(char c) { return IsFirstChar(c) || (c >= '0' && c <= '9') || c == '$'; }

}  // namespace

TResWordTable PGKeywordTable() { return kKeywords; }

int LookupPGKeyword(std::string_view word) { return kIndex.KindOf(word); }

bool PGNameNeedsQuotes(std::string_view name) {
  if (name.empty()) return false;
  if (!IsFirstChar(name.front())) return true;
  if (!std::all_of(name.begin() + 1, name.end(), IsTailChar)) return true;
  return LookupPGKeyword(name) != tk::Ident;
}

std::string QuotePGIdentifier(std::string_view name) {
  return PGNameNeedsQuotes(name) ? QuotedStr(name, '"') : std::string(name);
}

}  // namespace qor
