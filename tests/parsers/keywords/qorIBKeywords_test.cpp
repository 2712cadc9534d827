// The InterBase/Firebird keyword table, its per-version reserved sets, the
// extra reserved words and the dialect-3 quoting test.
#include "parsers/keywords/qorIBKeywords.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace qor {
namespace {

using V = TIBSQLServerVersionType;

constexpr std::string_view kIntroducer = "_<charset>";

// clang-format off
const V kAllVersions[] = {
    V::st_InterBase_4x,  V::st_InterBase_5x, V::st_InterBase_6x, V::st_FireBird_1x,
    V::st_Yaffil_1x,     V::st_FireBird_15,  V::st_InterBase_7x, V::st_InterBase_75,
    V::st_Firebird_20,   V::st_Firebird_21,  V::st_Firebird_25,  V::st_Firebird_30,
    V::st_Firebird_40,   V::st_InterBase_2020,
};
// clang-format on

// A value past the enumeration, as a newer settings file could carry.
const V kUnknownVersion = static_cast<V>(kIBVersionCount);

int KindOf(std::string_view word) {
  for (const TResWordSymb& s : IbKeywordTable())
    if (word == s.Name) return s.Kind;
  return tk::Ident;
}

TEST(IbKeywordTable, DistinctWordsAndTheIntroducer) {
  const TResWordTable table = IbKeywordTable();
  std::set<std::string> names;
  for (const TResWordSymb& s : table) names.insert(s.Name);
  // Every word is listed once: 193 words and the introducer pseudo-word.
  EXPECT_EQ(table.size(), 194u);
  EXPECT_EQ(names.size(), 194u);
  EXPECT_EQ(names.count(std::string(kIntroducer)), 1u);
  EXPECT_EQ(KindOf(kIntroducer), ibk::CharsetIntroducer);
  EXPECT_EQ(ibk::CharsetIntroducer, 44);
}

TEST(IbKeywordTable, SynonymsShareAKindAndNothingElseDoes) {
  // clang-format off
  const std::set<std::pair<std::string, std::string>> synonyms = {
      {"INT", "INTEGER"}, {"CHAR", "CHARACTER"}, {"DEC", "DECIMAL"},
      {"ASC", "ASCENDING"}, {"DESC", "DESCENDING"}};
  // clang-format on
  for (const auto& [a, b] : synonyms) {
    SCOPED_TRACE(a);
    EXPECT_NE(KindOf(a), tk::Ident);
    EXPECT_EQ(KindOf(a), KindOf(b));
  }
  std::map<int, std::set<std::string>> byKind;
  for (const TResWordSymb& s : IbKeywordTable()) byKind[s.Kind].insert(s.Name);
  EXPECT_EQ(byKind.size(), 194u - synonyms.size());
  for (const auto& [kind, words] : byKind) {
    SCOPED_TRACE(kind);
    EXPECT_GE(kind, kFirstKeywordKind);
    EXPECT_LE(kind, 255);
    if (words.size() > 1) {
      ASSERT_EQ(words.size(), 2u);
      EXPECT_EQ(synonyms.count({*words.begin(), *words.rbegin()}), 1u);
    }
  }
  // The scanner gives 116 to ":="; no word may carry it.
  EXPECT_EQ(byKind.count(ibk::Assign), 0u);
}

TEST(IbKeywordTable, KindsFollowTheWordOrder) {
  // Numbered from 30 upward in table order, synonyms not advancing, 116 skipped.
  int expected = kFirstKeywordKind - 1;
  std::set<int> seen;
  for (const TResWordSymb& s : IbKeywordTable()) {
    SCOPED_TRACE(s.Name);
    if (seen.count(s.Kind)) continue;
    ++expected;
    if (expected == ibk::Assign) ++expected;
    EXPECT_EQ(s.Kind, expected);
    seen.insert(s.Kind);
  }
  EXPECT_EQ(KindOf("ACTION"), 30);
  EXPECT_EQ(KindOf("AVG"), 43);
  EXPECT_EQ(KindOf("BEFORE"), 45);
}

// How many distinct table words (the introducer aside) each version reserves.
TEST(IbReservedKinds, ReservedWordCountPerVersion) {
  // clang-format off
  const std::map<V, int> expected = {
      {V::st_InterBase_4x, 157}, {V::st_InterBase_5x, 162},  {V::st_InterBase_6x, 173},
      {V::st_FireBird_1x, 173},  {V::st_Yaffil_1x, 169},     {V::st_FireBird_15, 177},
      {V::st_InterBase_7x, 182}, {V::st_InterBase_75, 182},  {V::st_Firebird_20, 178},
      {V::st_Firebird_21, 178},  {V::st_Firebird_25, 178},   {V::st_Firebird_30, 136},
      {V::st_Firebird_40, 140},  {V::st_InterBase_2020, 182},
  };
  // clang-format on
  for (V v : kAllVersions) {
    SCOPED_TRACE(static_cast<int>(v));
    int reserved = 0;
    for (const TResWordSymb& s : IbKeywordTable())
      if (s.Name != kIntroducer && IbReservedKind(s.Name, v) != tk::Ident) ++reserved;
    EXPECT_EQ(reserved, expected.at(v));
  }
}

TEST(IbReservedKinds, NotReservedWordsPerVersion) {
  struct Case {
    V version;
    const char* word;
    bool reserved;
  };
  // clang-format off
  const Case cases[] = {
      {V::st_InterBase_4x, "ACTION", false},   {V::st_InterBase_4x, "ADMIN", false},
      {V::st_InterBase_4x, "ROLE", false},     {V::st_InterBase_4x, "YEARDAY", false},
      {V::st_InterBase_4x, "SELECT", true},    {V::st_InterBase_4x, "ACTIVE", true},
      {V::st_InterBase_5x, "ACTION", true},    {V::st_InterBase_5x, "ROLE", true},
      {V::st_InterBase_5x, "COLUMN", false},   {V::st_InterBase_5x, "YEAR", false},
      {V::st_InterBase_6x, "COLUMN", true},    {V::st_InterBase_6x, "TIMESTAMP", true},
      {V::st_InterBase_6x, "ROWS", true},      {V::st_InterBase_6x, "RECREATE", false},
      {V::st_InterBase_6x, "VARBINARY", false},
      {V::st_FireBird_1x, "RECREATE", true},   {V::st_FireBird_1x, "ROWS", false},
      {V::st_FireBird_1x, "GLOBAL", false},
      {V::st_Yaffil_1x, "BINARY", true},       {V::st_Yaffil_1x, "CASE", true},
      {V::st_Yaffil_1x, "VARBINARY", true},    {V::st_Yaffil_1x, "TYPE", false},
      {V::st_Yaffil_1x, "CURRENT_TIME", false}, {V::st_Yaffil_1x, "BIGINT", false},
      {V::st_FireBird_15, "BIGINT", true},     {V::st_FireBird_15, "RELEASE", true},
      {V::st_FireBird_15, "ROWS", false},      {V::st_FireBird_15, "VARBINARY", false},
      {V::st_InterBase_7x, "BOOLEAN", true},   {V::st_InterBase_7x, "GLOBAL", true},
      {V::st_InterBase_7x, "BIGINT", false},   {V::st_InterBase_7x, "RECREATE", false},
      {V::st_InterBase_75, "TEMPORARY", true}, {V::st_InterBase_75, "USING", false},
      {V::st_Firebird_20, "BIGINT", true},     {V::st_Firebird_20, "CLOSE", true},
      {V::st_Firebird_20, "CACHE", false},     {V::st_Firebird_20, "CHECK_POINT_LENGTH", false},
      {V::st_Firebird_21, "CASCADE", false},   {V::st_Firebird_21, "USING", true},
      {V::st_Firebird_25, "TYPE", true},       {V::st_Firebird_25, "FREE_IT", false},
      {V::st_Firebird_30, "ACTIVE", false},    {V::st_Firebird_30, "ASC", false},
      {V::st_Firebird_30, "ASCENDING", false}, {V::st_Firebird_30, "DESCENDING", false},
      {V::st_Firebird_30, "YEARDAY", false},   {V::st_Firebird_30, "BINARY", false},
      {V::st_Firebird_30, "TABLE", true},      {V::st_Firebird_30, "CACHE", true},
      {V::st_Firebird_40, "BINARY", true},     {V::st_Firebird_40, "VARBINARY", true},
      {V::st_Firebird_40, "KEY", true},        {V::st_Firebird_40, "PRIVILEGES", true},
      {V::st_Firebird_40, "WORK", false},      {V::st_Firebird_40, "SEGMENT", false},
      {V::st_InterBase_2020, "BIGINT", false}, {V::st_InterBase_2020, "BOOLEAN", true},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.word) + " in version " +
                 std::to_string(static_cast<int>(c.version)));
    EXPECT_EQ(IbReservedKind(c.word, c.version) != tk::Ident, c.reserved);
  }
}

TEST(IbReservedKinds, DescribeAndDescriptorAreNeverReserved) {
  for (V v : kAllVersions) {
    SCOPED_TRACE(static_cast<int>(v));
    EXPECT_EQ(IbReservedKind("DESCRIBE", v), tk::Ident);
    EXPECT_EQ(IbReservedKind("DESCRIPTOR", v), tk::Ident);
  }
}

TEST(IbReservedKinds, LookupIsAsciiCaseInsensitiveAndGivesTheKind) {
  const V v = V::st_Firebird_25;
  EXPECT_EQ(IbReservedKind("select", v), KindOf("SELECT"));
  EXPECT_EQ(IbReservedKind("Integer", v), KindOf("INT"));
  EXPECT_EQ(IbReservedKind("NOTAWORD", v), tk::Ident);
  EXPECT_EQ(IbReservedKind("", v), tk::Ident);
}

TEST(IbReservedKinds, UnknownVersionReservesEveryTableWord) {
  EXPECT_NE(IbReservedKind("BIGINT", kUnknownVersion), tk::Ident);
  EXPECT_NE(IbReservedKind("DESCRIBE", kUnknownVersion), tk::Ident);
  EXPECT_TRUE(IbExtraReservedWords(kUnknownVersion).empty());
}

TEST(IbScannerKeywordKinds, InterBase2020KeepsEveryWordAKeyword) {
  const auto bigint = static_cast<std::size_t>(KindOf("BIGINT"));
  EXPECT_TRUE(IbScannerKeywordKinds(V::st_InterBase_2020).test(bigint));
  EXPECT_FALSE(IbReservedKinds(V::st_InterBase_2020).test(bigint));
  for (const TResWordSymb& s : IbKeywordTable())
    EXPECT_TRUE(IbScannerKeywordKinds(V::st_InterBase_2020).test(static_cast<std::size_t>(s.Kind)))
        << s.Name;
  // Before it the scanner demotes the same words the quoting test ignores.
  for (V v : kAllVersions) {
    if (v == V::st_InterBase_2020) continue;
    SCOPED_TRACE(static_cast<int>(v));
    EXPECT_EQ(IbScannerKeywordKinds(v), IbReservedKinds(v));
  }
  EXPECT_FALSE(
      IbScannerKeywordKinds(V::st_Firebird_40).test(static_cast<std::size_t>(KindOf("ACTIVE"))));
}

TEST(IbExtraReservedWords, ListSizePerVersion) {
  // Each list is its predecessor's plus the words that version added.
  // clang-format off
  const std::map<V, std::size_t> expected = {
      {V::st_InterBase_4x, 35}, {V::st_InterBase_5x, 36},  {V::st_InterBase_6x, 44},
      {V::st_FireBird_1x, 52},  {V::st_Yaffil_1x, 0},      {V::st_FireBird_15, 54},
      {V::st_InterBase_7x, 49}, {V::st_InterBase_75, 49},  {V::st_Firebird_20, 60},
      {V::st_Firebird_21, 60},  {V::st_Firebird_25, 61},   {V::st_Firebird_30, 91},
      {V::st_Firebird_40, 96},  {V::st_InterBase_2020, 53},
  };
  // clang-format on
  for (V v : kAllVersions) {
    SCOPED_TRACE(static_cast<int>(v));
    const auto words = IbExtraReservedWords(v);
    EXPECT_EQ(words.size(), expected.at(v));
    EXPECT_TRUE(std::is_sorted(words.begin(), words.end()));
  }
}

TEST(IbNameNeedsQuotes, Cases) {
  struct Case {
    V version;
    const char* name;
    bool quoted;
  };
  // clang-format off
  const Case cases[] = {
      // Characters: only A-Z may start, then A-Z 0-9 _ $.
      {V::st_Firebird_25, "", false},
      {V::st_Firebird_25, "CUSTOMER", false},
      {V::st_Firebird_25, "A$1_B", false},
      {V::st_Firebird_25, "Name", true},  // lower case always quotes
      {V::st_Firebird_25, "name", true},
      {V::st_Firebird_25, "NAME", false},
      {V::st_Firebird_25, "1ABC", true},
      {V::st_Firebird_25, "_ABC", true},
      {V::st_Firebird_25, "$ABC", true},
      {V::st_Firebird_25, "MY COL", true},
      {V::st_Firebird_25, "MY-COL", true},
      {V::st_Firebird_25, "A\"B", true},
      {V::st_Firebird_25, "\xC3\x84" "B", true},
      // Table words by version.
      {V::st_Firebird_25, "SELECT", true},
      {V::st_Firebird_25, "TYPE", true},
      {V::st_Firebird_30, "TYPE", false},
      {V::st_Firebird_30, "ACTIVE", false},
      {V::st_Firebird_25, "ACTIVE", true},
      {V::st_InterBase_2020, "BIGINT", false},
      {V::st_Firebird_40, "DESCRIBE", false},
      // Extra words by version.
      {V::st_Firebird_25, "DAY", true},
      {V::st_Firebird_25, "OVER", true},
      {V::st_Firebird_21, "OVER", false},
      {V::st_Firebird_30, "RETURN", true},
      {V::st_Firebird_25, "RETURN", false},
      {V::st_Firebird_30, "BOOLEAN", true},  // unreserved in the table, yet extra
      {V::st_Firebird_40, "WITHOUT", true},
      {V::st_Firebird_30, "WITHOUT", false},
      {V::st_Firebird_40, "TIMEZONE_HOUR", true},
      {V::st_InterBase_4x, "BASE_NAME", true},
      {V::st_InterBase_4x, "STARTS", true},
      {V::st_InterBase_4x, "RESTRICT", false},
      {V::st_InterBase_5x, "RESTRICT", true},
      {V::st_InterBase_5x, "WEEKDAY", false},
      {V::st_InterBase_6x, "WEEKDAY", true},
      {V::st_InterBase_6x, "SKIP", false},
      {V::st_FireBird_1x, "SKIP", true},
      {V::st_FireBird_1x, "DESCRIPTOR", true},  // no table set holds it, the list does
      {V::st_FireBird_15, "DESCRIPTOR", false},
      {V::st_FireBird_15, "ROW_COUNT", true},
      {V::st_FireBird_15, "BIGINT", true},
      {V::st_InterBase_7x, "COALESCE", true},
      {V::st_InterBase_75, "UNKNOWN", true},
      {V::st_InterBase_7x, "NAME", false},
      {V::st_InterBase_2020, "NAME", true},
      {V::st_InterBase_2020, "SUBSCRIBE", true},
      {V::st_InterBase_2020, "WEEKDAY", true},
      {V::st_Firebird_20, "WEEKDAY", false},
      {V::st_Firebird_20, "CHAR_LENGTH", true},
      {V::st_Firebird_20, "BASE_NAME", false},
      // Yaffil has no extra list at all.
      {V::st_Yaffil_1x, "BASE_NAME", false},
      {V::st_Yaffil_1x, "DAY", false},
      {V::st_Yaffil_1x, "SELECT", true},
      // A newer version than this build knows: table words quote, extras do not.
      {kUnknownVersion, "BIGINT", true},
      {kUnknownVersion, "DAY", false},
      {kUnknownVersion, "Name", true},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " in version " +
                 std::to_string(static_cast<int>(c.version)));
    EXPECT_EQ(IbNameNeedsQuotes(c.name, c.version), c.quoted);
  }
}

TEST(IbNameNeedsQuotes, EveryExtraWordQuotesInItsVersion) {
  for (V v : kAllVersions) {
    SCOPED_TRACE(static_cast<int>(v));
    for (std::string_view w : IbExtraReservedWords(v)) EXPECT_TRUE(IbNameNeedsQuotes(w, v)) << w;
  }
}

}  // namespace
}  // namespace qor
