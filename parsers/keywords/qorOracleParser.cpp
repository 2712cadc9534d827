// Oracle keyword data and quoting.
#include "parsers/keywords/qorOracleParser.h"

#include <algorithm>
#include <array>

#include "platform/qorStrings.h"

namespace qor {

namespace {

// Kinds only tell keywords from identifiers here: one per record from 30.
// clang-format off
constexpr std::array<TResWordSymb, 112> kKeywords = {{
    {"ACCESS", 30}, {"ADD", 31}, {"ALL", 32}, {"ALTER", 33}, {"AND", 34}, {"ANY", 35},
    {"ARRAYLEN", 36}, {"AS", 37}, {"ASC", 38}, {"AUDIT", 39}, {"BETWEEN", 40}, {"BY", 41},
    {"CHAR", 42}, {"CHECK", 43}, {"CLUSTER", 44}, {"COLUMN", 45}, {"COMMENT", 46},
    {"COMPRESS", 47}, {"CONNECT", 48}, {"CREATE", 49}, {"CURRENT", 50}, {"DATE", 51},
    {"DECIMAL", 52}, {"DEFAULT", 53}, {"DELETE", 54}, {"DESC", 55}, {"DISTINCT", 56},
    {"DROP", 57}, {"ELSE", 58}, {"EXCLUSIVE", 59}, {"EXISTS", 60}, {"FILE", 61},
    {"FLOAT", 62}, {"FOR", 63}, {"FROM", 64}, {"GRANT", 65}, {"GROUP", 66}, {"HAVING", 67},
    {"IDENTIFIER", 68}, {"IMMEDIATE", 69}, {"IN", 70}, {"INCREMENT", 71}, {"INDEX", 72},
    {"INITIAL", 73}, {"INSERT", 74}, {"INTEGER", 75}, {"INTERSECT", 76}, {"INTO", 77},
    {"IS", 78}, {"LEVEL", 79}, {"LIKE", 80}, {"LOCK", 81}, {"LONG", 82}, {"MAXEXTENTS", 83},
    {"MINUS", 84}, {"MODE", 85}, {"MODIFY", 86}, {"NOAUDIT", 87}, {"NOCOMPRESS", 88},
    {"NOT", 89}, {"NOTFOUND", 90}, {"NOWAIT", 91}, {"NULL", 92}, {"NUMBER", 93}, {"OF", 94},
    {"OFFLINE", 95}, {"ON", 96}, {"ONLINE", 97}, {"OPTION", 98}, {"OR", 99}, {"ORDER", 100},
    {"PCTFREE", 101}, {"PRIOR", 102}, {"PRIVILEGES", 103}, {"PUBLIC", 104}, {"RAW", 105},
    {"RENAME", 106}, {"RESOURCE", 107}, {"REVOKE", 108}, {"ROW", 109}, {"ROWID", 110},
    {"ROWLABEL", 111}, {"ROWNUM", 112}, {"ROWS", 113}, {"SELECT", 114}, {"SESSION", 115},
    {"SET", 116}, {"SHARE", 117}, {"SIZE", 118}, {"SMALLINT", 119}, {"SQLBUF", 120},
    {"START", 121}, {"SUCCESSFUL", 122}, {"SYNONYM", 123}, {"SYSDATE", 124}, {"TABLE", 125},
    {"THEN", 126}, {"TO", 127}, {"TRIGGER", 128}, {"UID", 129}, {"UNION", 130},
    {"UNIQUE", 131}, {"UPDATE", 132}, {"USER", 133}, {"VALIDATE", 134}, {"VALUES", 135},
    {"VARCHAR", 136}, {"VARCHAR2", 137}, {"VIEW", 138}, {"WHENEVER", 139}, {"WHERE", 140},
    {"WITH", 141},
}};
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
  if (BreaksIdentifierRule(name) || kIndex.KindOfUpper(name) != kIdentKind)
    return QuotedStr(name, '"');
  return std::string(name);
}

}  // namespace qor
