// DB2 keyword data and quoting.
#include "parsers/keywords/qorDB2Parser.h"

#include <algorithm>
#include <array>

#include "platform/qorStrings.h"

namespace qor {

namespace {

// Kinds only tell keywords from identifiers here: one per record from 30.
// clang-format off
constexpr std::array<TResWordSymb, 82> kKeywords = {{
    {"ADD", 30}, {"AFTER", 31}, {"ALIAS", 32}, {"ALLOW", 33}, {"ALTER", 34}, {"AS", 35},
    {"AUTHORIZATION", 36}, {"BEFORE", 37}, {"BUFFERPOOL", 38}, {"BY", 39}, {"CACHE", 40},
    {"CAPTURE", 41}, {"CARDINALITY", 42}, {"CHAR", 43}, {"CHARACTER", 44}, {"CHECK", 45},
    {"CLUSTER", 46}, {"COMMIT", 47}, {"CONNECT", 48}, {"CONSTRAINT", 49}, {"CREATE", 50},
    {"CURRENT", 51}, {"DATA", 52}, {"DATABASE", 53}, {"DB2SQL", 54}, {"DEFAULT", 55},
    {"DELETE", 56}, {"DISALLOW", 57}, {"DOUBLE", 58}, {"EACH", 59}, {"FILE", 60}, {"FOR", 61},
    {"FOREIGN", 62}, {"GENERATED", 63}, {"GRANT", 64}, {"GRAPHIC", 65}, {"GROUP", 66},
    {"IDENTITY", 67}, {"IN", 68}, {"INCREMENT", 69}, {"INDEX", 70}, {"INSERT", 71},
    {"KEY", 72}, {"LONG", 73}, {"MODE", 74}, {"NEW", 75}, {"NEW_TABLE", 76}, {"NO", 77},
    {"NOT", 78}, {"NULL", 79}, {"OF", 80}, {"OLD", 81}, {"OLD_TABLE", 82}, {"ON", 83},
    {"OPTIMIZATION", 84}, {"OPTION", 85}, {"PARTITION", 86}, {"PATH", 87}, {"PRIMARY", 88},
    {"RECOVERY", 89}, {"REFERENCES", 90}, {"REFERENCING", 91}, {"RESET", 92},
    {"RESTRICT", 93}, {"ROW", 94}, {"SCHEMA", 95}, {"SELECT", 96}, {"SET", 97}, {"START", 98},
    {"SYSTEM", 99}, {"TABLE", 100}, {"TABLESPACE", 101}, {"TO", 102}, {"TRIGGER", 103},
    {"UNIQUE", 104}, {"UPDATE", 105}, {"USER", 106}, {"USING", 107}, {"VIEW", 108},
    {"WHEN", 109}, {"WITH", 110}, {"YEARS", 111},
}};
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
  if (BreaksIdentifierRule(name) || kIndex.KindOfUpper(name) != kIdentKind)
    return QuotedStr(name, '"');
  return std::string(name);
}

}  // namespace qor
