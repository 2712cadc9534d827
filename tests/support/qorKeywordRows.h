// The records of the three parsers' keyword lists as rows a test can walk:
// the constant's name as the list spells it, the record's text and its kind.
// Header-only, so the keyword tests use it without the support library.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "parsers/keywords/qorIBKeywords.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "parsers/keywords/qorMySQLKeywords.h"
#include "platform/qorStrings.h"

namespace qor::test {

struct TKeywordRow {
  std::string_view constant;
  std::string_view text;
  int kind;
};

#define QOR_KEYWORD_ROW(constant, text, kind) TKeywordRow{constant, text, kind},
#define QOR_KEYWORD_LIST "parsers/keywords/qorIBKeywords.def"
#define QOR_KEYWORD_NS ibk
inline constexpr auto kIbKeywordRows = std::to_array<TKeywordRow>({
#include "parsers/keywords/qorKeywordRecords.inc"
});
#define QOR_KEYWORD_ROW(constant, text, kind) TKeywordRow{constant, text, kind},
#define QOR_KEYWORD_LIST "parsers/keywords/qorMSSQLKeywords.def"
#define QOR_KEYWORD_NS msk
inline constexpr auto kMSSQLKeywordRows = std::to_array<TKeywordRow>({
#include "parsers/keywords/qorKeywordRecords.inc"
});
#define QOR_KEYWORD_ROW(constant, text, kind) TKeywordRow{constant, text, kind},
#define QOR_KEYWORD_LIST "parsers/keywords/qorMySQLKeywords.def"
#define QOR_KEYWORD_NS myk
inline constexpr auto kMySQLKeywordRows = std::to_array<TKeywordRow>({
#include "parsers/keywords/qorKeywordRecords.inc"
});

// Whether a record's text is a word a script can hold (a letter, then
// letters, digits, "_", "$" or blanks), not the display text of an
// operator or of a pseudo-word such as "_<charset>".
inline bool IsWordText(std::string_view text) {
  if (text.empty() || text.front() < 'A' || text.front() > 'Z') return false;
  for (char c : text)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' || c == ' '))
      return false;
  return true;
}

// The constant a word is named by: its parts between "_", "$" and blanks,
// each capitalised ("RDB$DB_KEY" is RdbDbKey).
inline std::string ConstantOfWord(std::string_view word) {
  std::string out;
  bool start = true;
  for (char c : word) {
    if (c == '_' || c == '$' || c == ' ') {
      start = true;
      continue;
    }
    out += start ? c : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    start = false;
  }
  return out;
}

// The kind `parser` scans the whole of `text` as, or -1 when the text is
// more than one token.
template <class TParser>
int ScanOneToken(TParser& parser, const std::string& text) {
  parser.SetSource(text);
  parser.NextToken();
  const int kind = parser.TokenKind();
  parser.NextToken();
  return parser.TokenKind() == tk::EOFKind ? kind : -1;
}

// Expects `parser` to scan each word of `rows`, upper and lower case, as
// the kind `want` gives for its row.
template <class TParser, class TWant>
void ExpectEveryWordScansAs(TParser& parser, std::span<const TKeywordRow> rows, TWant want) {
  int words = 0;
  for (const TKeywordRow& r : rows) {
    if (!IsWordText(r.text)) continue;
    ++words;
    const int kind = want(r);
    EXPECT_EQ(ScanOneToken(parser, std::string(r.text)), kind) << r.text;
    EXPECT_EQ(ScanOneToken(parser, LowerAscii(r.text)), kind) << r.text;
  }
  EXPECT_GT(words, 60) << "the rows were read at all";
}

}  // namespace qor::test
