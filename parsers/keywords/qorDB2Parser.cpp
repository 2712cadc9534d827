// DB2 keyword data and quoting.
#include "parsers/keywords/qorDB2Parser.h"

#include <algorithm>
#include <array>

#include "platform/qorStrings.h"

namespace qor {

namespace {

// Kinds only tell keywords from identifiers here.
// clang-format off
constexpr auto kKeywords = NumberedKeywords({
    "ADD", "AFTER", "ALIAS", "ALLOW", "ALTER", "AS", "AUTHORIZATION", "BEFORE", "BUFFERPOOL", "BY",
    "CACHE", "CAPTURE", "CARDINALITY", "CHAR", "CHARACTER", "CHECK", "CLUSTER", "COMMIT", "CONNECT",
    "CONSTRAINT", "CREATE", "CURRENT", "DATA", "DATABASE", "DB2SQL", "DEFAULT", "DELETE",
    "DISALLOW", "DOUBLE", "EACH", "FILE", "FOR", "FOREIGN", "GENERATED", "GRANT", "GRAPHIC",
    "GROUP", "IDENTITY", "IN", "INCREMENT", "INDEX", "INSERT", "KEY", "LONG", "MODE", "NEW",
    "NEW_TABLE", "NO", "NOT", "NULL", "OF", "OLD", "OLD_TABLE", "ON", "OPTIMIZATION", "OPTION",
    "PARTITION", "PATH", "PRIMARY", "RECOVERY", "REFERENCES", "REFERENCING", "RESET", "RESTRICT",
    "ROW", "SCHEMA", "SELECT", "SET", "START", "SYSTEM", "TABLE", "TABLESPACE", "TO", "TRIGGER",
    "UNIQUE", "UPDATE", "USER", "USING", "VIEW", "WHEN", "WITH", "YEARS",
});
// clang-format on
static_assert(AllNamesFitKey(kKeywords));

constexpr TResWordIndex<kKeywords.size()> kIndex(kKeywords);

bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool IsTailChar(char c) {
  return IsUpperLetter(c) || (c >= '0' && c <= '9') || c == '#' || c == '$' || c == '@' || c == '_';
}

bool BreaksIdentifierRule(std::string_view name) {
  return !IsUpperLetter(name.front()) || !std::all_of(name.begin() + 1, name.end(), IsTailChar);
}

}  // namespace

TResWordTable DB2KeywordTable() { return kKeywords; }

int LookupDB2Keyword(std::string_view word) { return kIndex.KindOf(word); }

std::string QuoteDB2Identifier(std::string_view name) {
  if (name.empty()) return {};
  // A name that keeps the rule is plain upper-case ASCII, so its locale upper
  // case is itself and the keyword test can take it as it is.
  if (BreaksIdentifierRule(name) || kIndex.KindOfUpper(name) != tk::Ident)
    return QuotedStr(name, '"');
  return std::string(name);
}

}  // namespace qor
