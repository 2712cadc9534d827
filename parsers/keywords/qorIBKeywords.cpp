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

#define QOR_KEYWORD_LIST "parsers/keywords/qorIBKeywords.def"
#define QOR_KEYWORD_NS ibk
constexpr auto kIbKeywords = std::to_array<TResWordSymb>({
#include "parsers/keywords/qorKeywordRecords.inc"
});
static_assert(AllNamesFitKey(kIbKeywords));

constexpr TResWordIndex<kIbKeywords.size()> kIbIndex(kIbKeywords);

constexpr bool AllInTable(std::span<const std::string_view> words) {
  for (std::string_view w : words)
    if (kIbIndex.KindOfUpper(w) == tk::Ident) return false;
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
  if (kind == tk::Ident) return tk::Ident;
  return IbReservedKinds(version).test(static_cast<std::size_t>(kind)) ? kind : tk::Ident;
}

bool IbNameNeedsQuotes(std::string_view name, TIBSQLServerVersionType version) {
  if (name.empty()) return false;
  if (!IsUpperLetter(name.front())) return true;
  if (!std::all_of(name.begin() + 1, name.end(), IsPlainTail)) return true;
  // Only A-Z, 0-9, _ and $ remain, so the name is its own upper-case form.
  if (IbReservedKind(name, version) != tk::Ident) return true;
  const auto extra = IbExtraReservedWords(version);
  return std::binary_search(extra.begin(), extra.end(), name);
}

}  // namespace qor
