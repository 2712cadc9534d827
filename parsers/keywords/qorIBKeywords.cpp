// The InterBase/Firebird keyword data: the table with its kinds, the words
// each server version leaves unreserved, and the extra reserved words per
// version; plus the lookups the quoting test and the scanner use.
#include "parsers/keywords/qorIBKeywords.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

#include "base/qorIBVersions.h"

namespace qor {

namespace {

// Kinds run from 30 in alphabetical word order; the second word of a synonym
// pair (INT/INTEGER, CHAR/CHARACTER, DEC/DECIMAL, ASC/ASCENDING,
// DESC/DESCENDING) shares the first one's kind. Kind 44 is the introducer
// pseudo-word, which lands after AVG, and 116 is skipped because the scanner
// gives it to ":=". Parsers test these numbers, so never renumber a word.
// clang-format off
constexpr std::array<TResWordSymb, 194> kIbKeywords = {{
    {"ACTION", 30}, {"ACTIVE", 31}, {"ADD", 32}, {"ADMIN", 33}, {"AFTER", 34}, {"ALL", 35},
    {"ALTER", 36}, {"AND", 37}, {"ANY", 38}, {"AS", 39}, {"ASC", 40}, {"ASCENDING", 40},
    {"AT", 41}, {"AUTO", 42}, {"AVG", 43}, {"_<charset>", 44}, {"BEFORE", 45}, {"BEGIN", 46},
    {"BETWEEN", 47}, {"BIGINT", 48}, {"BINARY", 49}, {"BLOB", 50}, {"BOOLEAN", 51},
    {"BY", 52}, {"CACHE", 53}, {"CASCADE", 54}, {"CASE", 55}, {"CAST", 56}, {"CHAR", 57},
    {"CHARACTER", 57}, {"CHECK", 58}, {"CHECK_POINT_LENGTH", 59}, {"CLOSE", 60},
    {"COLLATE", 61}, {"COLUMN", 62}, {"COMMIT", 63}, {"COMPUTED", 64}, {"CONDITIONAL", 65},
    {"CONSTRAINT", 66}, {"CONTAINING", 67}, {"COUNT", 68}, {"CREATE", 69}, {"CROSS", 70},
    {"CSTRING", 71}, {"CURRENT", 72}, {"CURRENT_DATE", 73}, {"CURRENT_TIME", 74},
    {"CURRENT_TIMESTAMP", 75}, {"CURSOR", 76}, {"DATABASE", 77}, {"DATE", 78}, {"DEC", 79},
    {"DECIMAL", 79}, {"DECLARE", 80}, {"DEFAULT", 81}, {"DELETE", 82}, {"DESC", 83},
    {"DESCENDING", 83}, {"DESCRIBE", 84}, {"DESCRIPTOR", 85}, {"DISTINCT", 86}, {"DO", 87},
    {"DOMAIN", 88}, {"DOUBLE", 89}, {"DROP", 90}, {"ELSE", 91}, {"END", 92},
    {"ENTRY_POINT", 93}, {"ESCAPE", 94}, {"EXCEPTION", 95}, {"EXECUTE", 96}, {"EXISTS", 97},
    {"EXIT", 98}, {"EXTERNAL", 99}, {"EXTRACT", 100}, {"FETCH", 101}, {"FILE", 102},
    {"FILTER", 103}, {"FLOAT", 104}, {"FOR", 105}, {"FOREIGN", 106}, {"FREE_IT", 107},
    {"FROM", 108}, {"FULL", 109}, {"FUNCTION", 110}, {"GDSCODE", 111}, {"GENERATOR", 112},
    {"GEN_ID", 113}, {"GLOBAL", 114}, {"GRANT", 115}, {"GROUP", 117}, {"HAVING", 118},
    {"IF", 119}, {"IN", 120}, {"INACTIVE", 121}, {"INDEX", 122}, {"INNER", 123},
    {"INSERT", 124}, {"INT", 125}, {"INTEGER", 125}, {"INTO", 126}, {"IS", 127},
    {"JOIN", 128}, {"KEY", 129}, {"LEFT", 130}, {"LIKE", 131}, {"MAX", 132}, {"MERGE", 133},
    {"MIN", 134}, {"MODULE_NAME", 135}, {"NAMES", 136}, {"NATIONAL", 137}, {"NATURAL", 138},
    {"NCHAR", 139}, {"NO", 140}, {"NOT", 141}, {"NULL", 142}, {"NUMERIC", 143}, {"OF", 144},
    {"ON", 145}, {"OPEN", 146}, {"OPTION", 147}, {"OR", 148}, {"ORDER", 149}, {"OUTER", 150},
    {"PAGE_SIZE", 151}, {"PARAMETER", 152}, {"PASSWORD", 153}, {"PERCENT", 154},
    {"PLAN", 155}, {"POSITION", 156}, {"POST_EVENT", 157}, {"PRECISION", 158},
    {"PRESERVE", 159}, {"PRIMARY", 160}, {"PRIVILEGES", 161}, {"PROCEDURE", 162},
    {"RDB$DB_KEY", 163}, {"REAL", 164}, {"RECREATE", 165}, {"REFERENCES", 166},
    {"RELEASE", 167}, {"RETURNING_VALUES", 168}, {"RETURNS", 169}, {"REVOKE", 170},
    {"RIGHT", 171}, {"ROLE", 172}, {"ROWS", 173}, {"SAVEPOINT", 174}, {"SEGMENT", 175},
    {"SELECT", 176}, {"SET", 177}, {"SIMILAR", 178}, {"SINGULAR", 179}, {"SIZE", 180},
    {"SMALLINT", 181}, {"SOME", 182}, {"SORT", 183}, {"SQLCODE", 184}, {"STARTING", 185},
    {"STARTS", 186}, {"STATISTICS", 187}, {"SUB_TYPE", 188}, {"SUM", 189}, {"SUSPEND", 190},
    {"TABLE", 191}, {"TEMPORARY", 192}, {"THEN", 193}, {"TIES", 194}, {"TIME", 195},
    {"TIMESTAMP", 196}, {"TO", 197}, {"TRIGGER", 198}, {"TYPE", 199}, {"UNION", 200},
    {"UNIQUE", 201}, {"UPDATE", 202}, {"UPPER", 203}, {"USER", 204}, {"USING", 205},
    {"VALUE", 206}, {"VALUES", 207}, {"VARBINARY", 208}, {"VARCHAR", 209}, {"VARIABLE", 210},
    {"VARYING", 211}, {"VIEW", 212}, {"WHEN", 213}, {"WHERE", 214}, {"WHILE", 215},
    {"WITH", 216}, {"WORK", 217}, {"YEAR", 218}, {"YEARDAY", 219},
}};
// clang-format on
static_assert(AllNamesFitKey(kIbKeywords));

constexpr TResWordIndex<kIbKeywords.size()> kIbIndex(kIbKeywords);

constexpr bool AllInTable(std::span<const std::string_view> words) {
  for (std::string_view w : words)
    if (kIbIndex.KindOfUpper(w) == kIdentKind) return false;
  return true;
}

// Table words that no version reserves.
constexpr std::array<std::string_view, 2> kFreeAlways = {{"DESCRIBE", "DESCRIPTOR"}};

// Table words each version leaves unreserved, besides kFreeAlways.
// clang-format off
constexpr std::array<std::string_view, 34> kFreeIB4x = {{
    "ACTION", "ADMIN", "BIGINT", "BINARY", "BOOLEAN", "CASCADE", "CASE", "CLOSE", "COLUMN",
    "CROSS", "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP", "EXTRACT", "FETCH",
    "FREE_IT", "GLOBAL", "OPEN", "PERCENT", "PRESERVE", "RECREATE", "RELEASE", "ROLE", "ROWS",
    "SAVEPOINT", "TEMPORARY", "TIES", "TIME", "TIMESTAMP", "TYPE", "USING", "VARBINARY",
    "YEAR", "YEARDAY",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 29> kFreeIB5x = {{
    "BIGINT", "BINARY", "BOOLEAN", "CASE", "CLOSE", "COLUMN", "CROSS", "CURRENT_DATE",
    "CURRENT_TIME", "CURRENT_TIMESTAMP", "EXTRACT", "FETCH", "GLOBAL", "OPEN", "PERCENT",
    "PRESERVE", "RECREATE", "RELEASE", "ROWS", "SAVEPOINT", "TEMPORARY", "TIES", "TIME",
    "TIMESTAMP", "TYPE", "USING", "VARBINARY", "YEAR", "YEARDAY",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 18> kFreeIB6x = {{
    "BIGINT", "BINARY", "BOOLEAN", "CASE", "CLOSE", "CROSS", "FETCH", "GLOBAL", "OPEN",
    "PERCENT", "PRESERVE", "RECREATE", "RELEASE", "SAVEPOINT", "TEMPORARY", "TIES", "USING",
    "VARBINARY",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 18> kFreeFB1x = {{
    "BIGINT", "BINARY", "BOOLEAN", "CASE", "CLOSE", "CROSS", "FETCH", "GLOBAL", "OPEN",
    "PERCENT", "PRESERVE", "RELEASE", "ROWS", "SAVEPOINT", "TEMPORARY", "TIES", "USING",
    "VARBINARY",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 22> kFreeYaffil = {{
    "BIGINT", "BOOLEAN", "CLOSE", "COLUMN", "CROSS", "CURRENT_DATE", "CURRENT_TIME",
    "CURRENT_TIMESTAMP", "EXTRACT", "FETCH", "GLOBAL", "OPEN", "PERCENT", "PRESERVE",
    "RECREATE", "RELEASE", "ROWS", "SAVEPOINT", "TEMPORARY", "TIES", "TYPE", "USING",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 14> kFreeFB15 = {{
    "BINARY", "BOOLEAN", "CLOSE", "CROSS", "FETCH", "GLOBAL", "OPEN", "PERCENT", "PRESERVE",
    "ROWS", "TEMPORARY", "TIES", "USING", "VARBINARY",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 9> kFreeIB7x = {{
    "BIGINT", "BINARY", "CLOSE", "CROSS", "FETCH", "OPEN", "RECREATE", "USING", "VARBINARY",
}};
// clang-format on
// st_InterBase_75: as st_InterBase_7x.
// clang-format off
constexpr std::array<std::string_view, 13> kFreeFB20 = {{
    "ACTION", "BINARY", "BOOLEAN", "CACHE", "CASCADE", "CHECK_POINT_LENGTH", "FREE_IT",
    "GLOBAL", "PERCENT", "ROLE", "TEMPORARY", "TIES", "VARBINARY",
}};
// clang-format on
// st_Firebird_21: as st_Firebird_20.
// st_Firebird_25: as st_Firebird_20.
// clang-format off
constexpr std::array<std::string_view, 55> kFreeFB30 = {{
    "ACTION", "ACTIVE", "AFTER", "ASC", "ASCENDING", "AUTO", "BEFORE", "BINARY", "BOOLEAN",
    "CASCADE", "COMPUTED", "CONDITIONAL", "CONTAINING", "CSTRING", "DATABASE", "DESC",
    "DESCENDING", "DO", "DOMAIN", "ENTRY_POINT", "EXCEPTION", "EXIT", "FILE", "FREE_IT",
    "GENERATOR", "GEN_ID", "IF", "INACTIVE", "KEY", "MODULE_NAME", "NAMES", "OPTION",
    "PAGE_SIZE", "PASSWORD", "PERCENT", "PRESERVE", "PRIVILEGES", "RELEASE", "ROLE",
    "SEGMENT", "SINGULAR", "SIZE", "SORT", "STARTING", "STARTS", "STATISTICS", "SUB_TYPE",
    "SUSPEND", "TEMPORARY", "TIES", "TYPE", "USING", "VARBINARY", "WORK", "YEARDAY",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 51> kFreeFB40 = {{
    "ACTION", "ACTIVE", "AFTER", "ASC", "ASCENDING", "AUTO", "BEFORE", "BOOLEAN", "CASCADE",
    "COMPUTED", "CONDITIONAL", "CONTAINING", "CSTRING", "DATABASE", "DESC", "DESCENDING",
    "DO", "DOMAIN", "ENTRY_POINT", "EXCEPTION", "EXIT", "FILE", "FREE_IT", "GENERATOR",
    "GEN_ID", "IF", "INACTIVE", "MODULE_NAME", "NAMES", "OPTION", "PAGE_SIZE", "PASSWORD",
    "PERCENT", "PRESERVE", "RELEASE", "ROLE", "SEGMENT", "SINGULAR", "SIZE", "SORT",
    "STARTING", "STARTS", "STATISTICS", "SUB_TYPE", "SUSPEND", "TEMPORARY", "TIES", "TYPE",
    "USING", "WORK", "YEARDAY",
}};
// clang-format on
// st_InterBase_2020: as st_InterBase_7x.

static_assert(AllInTable(kFreeAlways) && AllInTable(kFreeIB4x) && AllInTable(kFreeIB5x) &&
              AllInTable(kFreeIB6x) && AllInTable(kFreeFB1x) && AllInTable(kFreeYaffil) &&
              AllInTable(kFreeFB15) && AllInTable(kFreeIB7x) && AllInTable(kFreeFB20) &&
              AllInTable(kFreeFB30) && AllInTable(kFreeFB40));

// Indexed by version, in enumeration order.
// clang-format off
constexpr std::array<std::span<const std::string_view>, kIBVersionCount> kFreeByVersion = {{
    kFreeIB4x, kFreeIB5x, kFreeIB6x, kFreeFB1x, kFreeYaffil, kFreeFB15, kFreeIB7x, kFreeIB7x,
    kFreeFB20, kFreeFB20, kFreeFB20, kFreeFB30, kFreeFB40, kFreeIB7x,
}};
// clang-format on

// Words outside the table that a version reserves too. Each version's list
// builds on an older one, so the lists are kept as the steps between them.
// clang-format off
constexpr std::array<std::string_view, 35> kExtraIB4x = {{
    "BASE_NAME", "DEBUG", "INPUT_TYPE", "ISOLATION", "LENGTH", "LEVEL", "LOG_BUFFER_SIZE",
    "LOGFILE", "LONG", "MANUAL", "MAXIMUM_SEGMENT", "MESSAGE", "NUM_LOG_BUFFERS", "ONLY",
    "OUTPUT_TYPE", "OVERFLOW", "PAGE", "PAGES", "PROTECTED", "RAW_PARTITIONS", "READ",
    "RECORD_VERSION", "RESERV", "RESERVING", "RETAIN", "ROLLBACK", "SCHEMA", "SHADOW",
    "SHARED", "SNAPSHOT", "STABILITY", "STARTS", "TRANSACTION", "WAIT", "WRITE",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 1> kExtraIB5x = {{
    "RESTRICT",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 8> kExtraIB6x = {{
    "DAY", "HOUR", "MINUTE", "MONTH", "SECOND", "WEEKDAY", "YEAR", "YEARDAY",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 8> kExtraFB1x = {{
    "BREAK", "CURRENT_ROLE", "CURRENT_USER", "DESCRIPTOR", "FIRST", "RECREATE", "SKIP",
    "SUBSTRING",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 10> kExtraFB15 = {{
    "BIGINT", "CASE", "CURRENT_CONNECTION", "CURRENT_ROLE", "CURRENT_TRANSACTION",
    "CURRENT_USER", "RECREATE", "RELEASE", "ROW_COUNT", "SAVEPOINT",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 5> kExtraIB7x = {{
    "COALESCE", "FALSE", "NULLIF", "TRUE", "UNKNOWN",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 4> kExtraIB2020 = {{
    "NAME", "SUBSCRIBE", "DESCRIPTION", "SYSTEM",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 60> kExtraFB20 = {{
    "BIGINT", "BIT_LENGTH", "BOTH", "CASE", "CHAR_LENGTH", "CHARACTER_LENGTH", "CLOSE",
    "CROSS", "CURRENT_CONNECTION", "CURRENT_ROLE", "CURRENT_TRANSACTION", "CURRENT_USER",
    "DAY", "DEBUG", "FETCH", "HOUR", "INPUT_TYPE", "ISOLATION", "LEADING", "LENGTH", "LEVEL",
    "LONG", "LOWER", "MANUAL", "MESSAGE", "MINUTE", "MONTH", "OCTET_LENGTH", "ONLY", "OPEN",
    "OUTPUT_TYPE", "OVERFLOW", "PAGE", "PAGES", "PROTECTED", "READ", "RECORD_VERSION",
    "RECREATE", "RELEASE", "RESERV", "RESERVING", "RETAIN", "ROLLBACK", "SCHEMA", "SECOND",
    "SHADOW", "SHARED", "SNAPSHOT", "STABILITY", "STARTS", "TRANSACTION", "WAIT", "WRITE",
    "YEAR", "ROW_COUNT", "ROWS", "SAVEPOINT", "TRAILING", "TRIM", "USING",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 1> kExtraFB25 = {{
    "OVER",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 30> kExtraFB30 = {{
    "BOOLEAN", "CORR", "COVAR_POP", "COVAR_SAMP", "DELETING", "DETERMINISTIC", "FALSE",
    "INSERTING", "OFFSET", "RDB$RECORD_VERSION", "REGR_AVGX", "REGR_AVGY", "REGR_COUNT",
    "REGR_INTERCEPT", "REGR_R2", "REGR_SLOPE", "REGR_SXX", "REGR_SXY", "REGR_SYY", "RETURN",
    "ROW", "SCROLL", "SQLSTATE", "STDDEV_POP", "STDDEV_SAMP", "TRUE", "UNKNOWN", "UPDATING",
    "VAR_POP", "VAR_SAMP",
}};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 5> kExtraFB40 = {{
    "BINARY", "TIMEZONE_HOUR", "TIMEZONE_MINUTE", "VARBINARY", "WITHOUT",
}};
// clang-format on

using TWordSpan = std::span<const std::string_view>;
using TExtraSteps = std::initializer_list<TWordSpan>;

std::vector<std::string_view> JoinSorted(TExtraSteps steps) {
  std::vector<std::string_view> words;
  for (TWordSpan s : steps) words.insert(words.end(), s.begin(), s.end());
  std::sort(words.begin(), words.end());
  words.erase(std::unique(words.begin(), words.end()), words.end());
  return words;
}

const std::array<std::vector<std::string_view>, kIBVersionCount>& ExtraByVersion() {
  // clang-format off
  static const std::array<std::vector<std::string_view>, kIBVersionCount> lists = {
      JoinSorted({kExtraIB4x}),                                          // st_InterBase_4x
      JoinSorted({kExtraIB4x, kExtraIB5x}),                              // st_InterBase_5x
      JoinSorted({kExtraIB4x, kExtraIB5x, kExtraIB6x}),                  // st_InterBase_6x
      JoinSorted({kExtraIB4x, kExtraIB5x, kExtraIB6x, kExtraFB1x}),      // st_FireBird_1x
      JoinSorted({}),                                                    // st_Yaffil_1x
      JoinSorted({kExtraIB4x, kExtraIB5x, kExtraIB6x, kExtraFB15}),      // st_FireBird_15
      JoinSorted({kExtraIB4x, kExtraIB5x, kExtraIB6x, kExtraIB7x}),      // st_InterBase_7x
      JoinSorted({kExtraIB4x, kExtraIB5x, kExtraIB6x, kExtraIB7x}),      // st_InterBase_75
      JoinSorted({kExtraFB20}),                                          // st_Firebird_20
      JoinSorted({kExtraFB20}),                                          // st_Firebird_21
      JoinSorted({kExtraFB20, kExtraFB25}),                              // st_Firebird_25
      JoinSorted({kExtraFB20, kExtraFB25, kExtraFB30}),                  // st_Firebird_30
      JoinSorted({kExtraFB20, kExtraFB25, kExtraFB30, kExtraFB40}),      // st_Firebird_40
      JoinSorted({kExtraIB4x, kExtraIB5x, kExtraIB6x, kExtraIB7x, kExtraIB2020}),  // 2020
  };
  // clang-format on
  return lists;
}

std::size_t VersionIndex(TIBSQLServerVersionType v) { return static_cast<std::size_t>(v); }
bool KnownVersion(TIBSQLServerVersionType v) { return VersionIndex(v) < kIBVersionCount; }

const TKindSet& AllTableKinds() {
  static const TKindSet all = [] {
    TKindSet s;
    for (const TResWordSymb& w : kIbKeywords) s.set(static_cast<std::size_t>(w.Kind));
    return s;
  }();
  return all;
}

TKindSet ReservedKindsOf(TWordSpan freeWords) {
  TKindSet s = AllTableKinds();
  for (std::string_view w : kFreeAlways) s.reset(static_cast<std::size_t>(kIbIndex.KindOfUpper(w)));
  for (std::string_view w : freeWords) s.reset(static_cast<std::size_t>(kIbIndex.KindOfUpper(w)));
  return s;
}

bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool IsPlainTail(char c) {
  return IsUpperLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '$';
}

}  // namespace

TResWordTable IbKeywordTable() { return kIbKeywords; }

const TKindSet& IbReservedKinds(TIBSQLServerVersionType version) {
  static const std::array<TKindSet, kIBVersionCount> sets = [] {
    std::array<TKindSet, kIBVersionCount> a;
    for (std::size_t i = 0; i < kIBVersionCount; ++i) a[i] = ReservedKindsOf(kFreeByVersion[i]);
    return a;
  }();
  // An unknown (newer) version: quoting every table word is the safe side.
  if (!KnownVersion(version)) return AllTableKinds();
  return sets[VersionIndex(version)];
}

const TKindSet& IbScannerKeywordKinds(TIBSQLServerVersionType version) {
  if (!IBCaps(version).keywordDemotion) return AllTableKinds();
  return IbReservedKinds(version);
}

std::span<const std::string_view> IbExtraReservedWords(TIBSQLServerVersionType version) {
  if (!KnownVersion(version)) return {};
  return ExtraByVersion()[VersionIndex(version)];
}

int IbReservedKind(std::string_view word, TIBSQLServerVersionType version) {
  const int kind = kIbIndex.KindOf(word);
  if (kind == kIdentKind) return kIdentKind;
  return IbReservedKinds(version).test(static_cast<std::size_t>(kind)) ? kind : kIdentKind;
}

bool IbNameNeedsQuotes(std::string_view name, TIBSQLServerVersionType version) {
  if (name.empty()) return false;
  if (!IsUpperLetter(name.front())) return true;
  if (!std::all_of(name.begin() + 1, name.end(), IsPlainTail)) return true;
  // Only A-Z, 0-9, _ and $ remain, so the name is its own upper-case form.
  if (IbReservedKind(name, version) != kIdentKind) return true;
  const auto extra = IbExtraReservedWords(version);
  return std::binary_search(extra.begin(), extra.end(), name);
}

}  // namespace qor
