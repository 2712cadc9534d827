// PostgreSQL keyword data and quoting.
#include "parsers/keywords/qorPGSQLParser.h"

#include <algorithm>
#include <array>

#include "platform/qorStrings.h"

namespace qor {

namespace {

// Kinds only tell keywords from identifiers here: one per record from 30.
// clang-format off
constexpr std::array<TResWordSymb, 98> kKeywords = {{
    {"..", 30}, {"::", 31}, {":=", 32}, {"<<", 33}, {">>", 34}, {"ALL", 35}, {"ANALYSE", 36},
    {"ANALYZE", 37}, {"AND", 38}, {"ANY", 39}, {"ARRAY", 40}, {"AS", 41}, {"ASC", 42},
    {"ASYMMETRIC", 43}, {"AUTHORIZATION", 44}, {"BETWEEN", 45}, {"BINARY", 46}, {"BOTH", 47},
    {"CASE", 48}, {"CAST", 49}, {"CHECK", 50}, {"COLLATE", 51}, {"COLUMN", 52},
    {"CONSTRAINT", 53}, {"CREATE", 54}, {"CROSS", 55}, {"CURRENT_DATE", 56},
    {"CURRENT_ROLE", 57}, {"CURRENT_TIME", 58}, {"CURRENT_TIMESTAMP", 59},
    {"CURRENT_USER", 60}, {"DEFAULT", 61}, {"DEFERRABLE", 62}, {"DESC", 63}, {"DISTINCT", 64},
    {"DO", 65}, {"ELSE", 66}, {"END", 67}, {"EXCEPT", 68}, {"FALSE", 69}, {"FOR", 70},
    {"FOREIGN", 71}, {"FREEZE", 72}, {"FROM", 73}, {"FULL", 74}, {"GRANT", 75}, {"GROUP", 76},
    {"HAVING", 77}, {"ILIKE", 78}, {"IN", 79}, {"INITIALLY", 80}, {"INNER", 81},
    {"INTERSECT", 82}, {"INTO", 83}, {"IS", 84}, {"ISNULL", 85}, {"JOIN", 86},
    {"LEADING", 87}, {"LEFT", 88}, {"LIKE", 89}, {"LIMIT", 90}, {"LOCALTIME", 91},
    {"LOCALTIMESTAMP", 92}, {"NATURAL", 93}, {"NEW", 94}, {"NOT", 95}, {"NOTNULL", 96},
    {"NULL", 97}, {"OFF", 98}, {"OFFSET", 99}, {"OLD", 100}, {"ON", 101}, {"ONLY", 102},
    {"OR", 103}, {"ORDER", 104}, {"OUTER", 105}, {"OVERLAPS", 106}, {"PLACING", 107},
    {"PRIMARY", 108}, {"REFERENCES", 109}, {"RIGHT", 110}, {"SELECT", 111},
    {"SESSION_USER", 112}, {"SIMILAR", 113}, {"SOME", 114}, {"SYMMETRIC", 115},
    {"TABLE", 116}, {"THEN", 117}, {"TO", 118}, {"TRAILING", 119}, {"TRUE", 120},
    {"UNION", 121}, {"UNIQUE", 122}, {"USER", 123}, {"USING", 124}, {"VERBOSE", 125},
    {"WHEN", 126}, {"WHERE", 127},
}};
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
  return LookupPGKeyword(name) != kIdentKind;
}

std::string QuotePGIdentifier(std::string_view name) {
  return PGNameNeedsQuotes(name) ? QuotedStr(name, '"') : std::string(name);
}

}  // namespace qor
