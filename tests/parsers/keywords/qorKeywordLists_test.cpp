// What the keyword lists must keep true beyond what the compiler checks:
// each constant is named by its word, and no text is two kinds, since a
// lookup finds only the first record of a text.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "parsers/keywords/qorASAParser.h"
#include "parsers/keywords/qorDB2Parser.h"
#include "parsers/keywords/qorIBKeywords.h"
#include "parsers/keywords/qorLocalSQLParser.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "parsers/keywords/qorMySQLKeywords.h"
#include "parsers/keywords/qorOracleParser.h"
#include "parsers/keywords/qorPGSQLParser.h"
#include "platform/qorStrings.h"
#include "tests/support/qorKeywordRows.h"

namespace qor::test {
namespace {

struct TList {
  const char* dialect;
  std::span<const TKeywordRow> rows;
};
const TList kLists[] = {
    {"InterBase", kIbKeywordRows},
    {"MS SQL", kMSSQLKeywordRows},
    {"MySQL", kMySQLKeywordRows},
};

TEST(KeywordLists, AWordsConstantIsTheWordInCamelCase) {
  // A grammar rule that names ibk::Cascade reads CASCADE, whatever the row
  // order: a misnamed or swapped row fails here, not in a corpus far off.
  for (const TList& list : kLists) {
    SCOPED_TRACE(list.dialect);
    int words = 0;
    for (const TKeywordRow& r : list.rows) {
      if (!IsWordText(r.text)) {
        // Only a display text ("<|>", "\"!<\"", "_<charset>") names no word.
        EXPECT_NE(std::string_view("<\"_").find(r.text.front()), std::string_view::npos)
            << r.constant;
        continue;
      }
      ++words;
      EXPECT_EQ(r.constant, ConstantOfWord(r.text)) << r.text;
    }
    EXPECT_GT(words, 60);  // the rows were read at all
  }
}

TEST(KeywordTables, ATextIsOneKind) {
  struct Case {
    const char* dialect;
    TResWordTable table;
  };
  const Case cases[] = {
      {"InterBase", IbKeywordTable()},  {"MS SQL", MSSQLKeywordTable()},
      {"MySQL", MySQLKeywordTable()},   {"ASA", ASAKeywordTable()},
      {"DB2", DB2KeywordTable()},       {"Local SQL", LocalSQLKeywordTable()},
      {"Oracle", OracleKeywordTable()}, {"PostgreSQL", PGKeywordTable()},
      {"shared", kSharedTokenKinds},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialect);
    std::map<std::string, std::set<int>> kinds;
    for (const TResWordSymb& s : c.table) kinds[s.Name].insert(s.Kind);
    for (const auto& [text, k] : kinds) {
      // The scanner makes both "<*=>" kinds itself; neither is looked up.
      if (std::string_view(c.dialect) == "MS SQL" && text == "<*=>") continue;
      EXPECT_EQ(k.size(), 1u) << text;
    }
  }
}

// A lookup upper-cases its word, so it can never find a display text with
// lower case in it ("_<charset>", "<Label:>"); no script holds those.
bool Findable(const TKeywordRow& r) { return UpperAscii(r.text) == r.text; }

TEST(KeywordTables, TheLookupsFindEveryRecordsConstant) {
  // A version past the enumeration reserves every InterBase table word.
  const auto unknownVersion = static_cast<TIBSQLServerVersionType>(kIBVersionCount);
  for (const TKeywordRow& r : kIbKeywordRows) {
    if (!Findable(r)) continue;
    EXPECT_EQ(IbReservedKind(r.text, unknownVersion), r.kind) << r.text;
    EXPECT_EQ(IbReservedKind(LowerAscii(r.text), unknownVersion), r.kind) << r.text;
  }
  for (const TKeywordRow& r : kMSSQLKeywordRows) {
    if (!Findable(r) || r.constant == "StarAssign") continue;  // its "<*=>" is StarEqual's
    EXPECT_EQ(LookupMSSQLKeyword(r.text), r.kind) << r.text;
    EXPECT_EQ(LookupMSSQLKeyword(LowerAscii(r.text)), r.kind) << r.text;
  }
}

}  // namespace
}  // namespace qor::test
