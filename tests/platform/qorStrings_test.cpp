#include "platform/qorStrings.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

TEST(Strings, TrimCtlRemovesEveryCodeBelow33) {
  EXPECT_EQ(TrimCtl("\r\n\t  a b\x01\x1f "), "a b");
  EXPECT_EQ(TrimCtl("\x20\x21"), "!");
  EXPECT_EQ(TrimCtl(""), "");
}

TEST(Strings, LocaleUpperKeepsMultiByteCharactersWhole) {
  EXPECT_EQ(UpperLocale("straße é ö"), "STRAßE É Ö");
  EXPECT_EQ(UpperLocale("абв"), "АБВ");
  // An invalid sequence passes unchanged, the rest is still mapped.
  EXPECT_EQ(UpperLocale(std::string("a\xC3(b\xFF")), std::string("A\xC3(B\xFF"));
  // ASCII mapping leaves non-ASCII bytes alone.
  EXPECT_EQ(UpperAscii("éa"), "éA");
}

TEST(Strings, CompareTextIsCaseInsensitiveAndTotal) {
  EXPECT_EQ(CompareText("Tab", "TAB"), 0);
  EXPECT_EQ(CompareText("ÉTÉ", "été"), 0);
  EXPECT_LT(CompareText("A", "b"), 0);
  EXPECT_GT(CompareText("ab", "A"), 0);
  EXPECT_NE(CompareText(std::string("\xFF"), std::string("\xFE")), 0);
  EXPECT_NE(CompareStr("Tab", "TAB"), 0);
}

TEST(Strings, CopyClamps) {
  EXPECT_EQ(Copy("abcdef", 2, 2), "cd");
  EXPECT_EQ(Copy("abcdef", 4, 100), "ef");
  EXPECT_EQ(Copy("abcdef", 10, 1), "");
  EXPECT_EQ(Copy("abcdef", -2, 4), "ab");
  EXPECT_EQ(Copy("abcdef", 1, -1), "");
}

TEST(Strings, LineBreaksBecomeCrLf) {
  EXPECT_EQ(NormalizeLineBreaks("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(NormalizeLineBreaks("\r\r\n\n"), "\r\n\r\n\r\n");
  EXPECT_EQ(SplitLines("a\r\nb\nc\r"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(JoinLines({"a", "b"}), "a\r\nb");
}

TEST(Strings, QuotedStrDoublesTheQuote) {
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(QuotedStr("a]b", ']'), "]a]]b]");
  EXPECT_EQ(BracketedStr("a]b[c"), "[a]]b[c]");
  EXPECT_EQ(BracketedStr(""), "[]");
  EXPECT_EQ(ReplaceAll("a*/b*/", "*/", "* /"), "a* /b* /");
}

TEST(Strings, Utf16RoundTripsAndReplacesWhatIsNotText) {
  const std::string text = "a\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80";  // a, u-umlaut, euro, an emoji
  const std::u16string units = Utf8ToUtf16(text);
  EXPECT_EQ(units, (std::u16string{u'a', 0x00FC, 0x20AC, 0xD83D, 0xDE00}));
  EXPECT_EQ(Utf16ToUtf8(units), text);
  EXPECT_EQ(Utf8ToUtf16(std::string("x\xFFy")), (std::u16string{u'x', 0xFFFD, u'y'}));
  EXPECT_EQ(Utf8ToUtf16(std::string("\xE2\x82")), (std::u16string{0xFFFD, 0xFFFD}));
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD83D, u'z'}), "\xEF\xBF\xBDz");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDE00}), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace qor
