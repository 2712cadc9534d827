// The shared token kinds and the sorted keyword indexes every table uses.
#include "parsers/keywords/qorResWord.h"

#include <gtest/gtest.h>

#include <string>

namespace qor {
namespace {

TEST(SharedTokenKinds, EveryKindOnceInOrder) {
  ASSERT_EQ(kSharedTokenKinds.size(), 30u);
  for (std::size_t i = 0; i < kSharedTokenKinds.size(); ++i)
    EXPECT_EQ(kSharedTokenKinds[i].Kind, static_cast<int>(i)) << kSharedTokenKinds[i].Name;
}

TEST(SharedTokenKinds, DisplayTexts) {
  struct Case {
    int kind;
    const char* text;
  };
  // clang-format off
  const Case cases[] = {
      {0, "<EOF>"},  {1, "<Ident>"},       {2, "<Float value>"}, {3, "<String value>"},
      {4, "<Integer value>"},               {12, "<Terminator>"}, {13, "<;>"},
      {15, "<.>"},   {17, "<||>"},
      // The comparison operators are shown in double quotes, unlike the rest.
      {18, "\"<\""}, {19, "\">\""}, {20, "\"<=\""}, {21, "\">=\""},
      {22, "[<>]"},  {23, "<==>"},  {27, "\\"}, {28, "%"}, {29, "<&>"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(std::string(kSharedTokenKinds[static_cast<std::size_t>(c.kind)].Name), c.text);
  }
}

// clang-format off
constexpr std::array<TResWordSymb, 5> kSample = {{
    {"WHERE", 30}, {"AND", 31}, {"OR", 32}, {"AND", 33}, {"A_B", 34},
}};
// clang-format on
constexpr TResWordIndex<kSample.size()> kSampleIndex(kSample);

// The index must find what a scan in table order would, at compile time too.
static_assert(kSampleIndex.KindOf("and") == 31);
static_assert(kSampleIndex.KindOf("Where") == 30);

TEST(ResWordIndex, LooksUpLikeAScanInTableOrder) {
  struct Case {
    const char* word;
    int kind;
  };
  // clang-format off
  const Case cases[] = {
      {"WHERE", 30}, {"where", 30}, {"Or", 32},
      {"AND", 31},  // the first of two records wins
      {"a_b", 34},  {"", tk::Ident}, {"ANDX", tk::Ident}, {"AN", tk::Ident},
      {"wherе", tk::Ident},  // Cyrillic "е": only ASCII letters fold
      {"WHERE ", tk::Ident},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(kSampleIndex.KindOf(c.word), c.kind);
  }
}

TEST(ResWordIndex, OverlongWordIsNeverAKeyword) {
  const std::string longWord(kMaxKeywordLength + 1, 'A');
  constexpr std::array<TResWordSymb, 1> one = {{{"A", 30}}};
  constexpr TResWordIndex<1> idx(one);
  EXPECT_EQ(idx.KindOf(longWord), tk::Ident);
  EXPECT_FALSE(TKeywordKey(longWord).Fits());
  EXPECT_TRUE(TKeywordKey(std::string(kMaxKeywordLength, 'a')).Fits());
}

TEST(WordIndex, ExactComparison) {
  constexpr TWordIndex<3> words(std::array<std::string_view, 3>{{"ZED", "ALPHA", "MID"}});
  EXPECT_TRUE(words.Contains("ALPHA"));
  EXPECT_TRUE(words.Contains("ZED"));
  EXPECT_FALSE(words.Contains("alpha"));
  EXPECT_FALSE(words.Contains(""));
}

}  // namespace
}  // namespace qor
