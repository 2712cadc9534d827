// The keyword tables and reserved-word lists of the dialects other than
// InterBase: sizes, kind numbering that the parsers rely on, and lookups.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "parsers/keywords/qorASAParser.h"
#include "parsers/keywords/qorDB2Parser.h"
#include "parsers/keywords/qorLocalSQLParser.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "parsers/keywords/qorMySQLKeywords.h"
#include "parsers/keywords/qorOracleParser.h"
#include "parsers/keywords/qorPGSQLParser.h"
#include "parsers/keywords/qorResWord.h"

namespace qor {
namespace {

std::map<std::string, std::set<int>> KindsByName(TResWordTable table) {
  std::map<std::string, std::set<int>> m;
  for (const TResWordSymb& s : table) m[s.Name].insert(s.Kind);
  return m;
}

std::map<int, std::set<std::string>> NamesByKind(TResWordTable table) {
  std::map<int, std::set<std::string>> m;
  for (const TResWordSymb& s : table) m[s.Kind].insert(s.Name);
  return m;
}

TEST(DialectTables, SizesAndDistinctNames) {
  struct Case {
    const char* dialect;
    TResWordTable table;
    std::size_t records;
    std::size_t names;
  };
  const Case cases[] = {
      {"ASA", ASAKeywordTable(), 125, 125},
      {"DB2", DB2KeywordTable(), 82, 82},
      {"Local SQL", LocalSQLKeywordTable(), 215, 215},
      {"PostgreSQL", PGKeywordTable(), 98, 98},
      {"Oracle", OracleKeywordTable(), 112, 112},
      {"MySQL", MySQLKeywordTable(), 75, 75},
      // TO has two records; "<*=>" names two different operators.
      {"MS SQL", MSSQLKeywordTable(), 194, 192},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialect);
    EXPECT_EQ(c.table.size(), c.records);
    EXPECT_EQ(KindsByName(c.table).size(), c.names);
    for (const TResWordSymb& s : c.table) EXPECT_GE(s.Kind, kFirstKeywordKind) << s.Name;
  }
}

TEST(DialectTables, ReservedListsAreDistinctAndSorted) {
  struct Case {
    const char* dialect;
    std::span<const std::string_view> words;
    std::size_t size;
  };
  const Case cases[] = {
      {"ASA", ASAReservedWords(), 105},
      {"MySQL", MySQLReservedWords(), 215},
      {"MS SQL", MSSQLReservedWords(), 174},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialect);
    EXPECT_EQ(c.words.size(), c.size);
    EXPECT_EQ(std::set<std::string_view>(c.words.begin(), c.words.end()).size(), c.size);
    EXPECT_TRUE(std::is_sorted(c.words.begin(), c.words.end()));
  }
}

TEST(MySQLKeywordTable, KindsTheParserTests) {
  const auto byKind = NamesByKind(MySQLKeywordTable());
  // Every kind from 30 to 100 is used, and only those.
  ASSERT_EQ(byKind.size(), 71u);
  EXPECT_EQ(byKind.begin()->first, 30);
  EXPECT_EQ(byKind.rbegin()->first, 100);
  // clang-format off
  const std::map<int, std::set<std::string>> expected = {
      {30, {"INT", "INTEGER"}}, {31, {"BOOL", "TINYINT"}}, {38, {"DEC", "DECIMAL"}},
      {40, {"CHAR", "CHARACTER"}}, {44, {"DATETIME"}}, {45, {"_<charset>"}},
      {55, {"SET"}}, {62, {"NULL"}}, {72, {"TABLE"}}, {82, {"USE"}},
      {95, {"REPLACE"}}, {99, {"VARBINARY"}}, {100, {"BIT"}},
  };
  // clang-format on
  for (const auto& [kind, names] : expected) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(byKind.at(kind), names);
  }
  EXPECT_EQ(myk::CharsetIntroducer, 45);
  // Only the four synonym pairs share a kind.
  int shared = 0;
  for (const auto& [kind, names] : byKind) shared += names.size() > 1;
  EXPECT_EQ(shared, 4);
}

TEST(MSSQLKeywordTable, KindsRunFrom30To220Without180) {
  const TResWordTable table = MSSQLKeywordTable();
  const auto byKind = NamesByKind(table);
  EXPECT_EQ(byKind.size(), 190u);
  for (int k = 30; k <= 220; ++k) EXPECT_EQ(byKind.count(k), k == 180 ? 0u : 1u) << k;
  // Records stand in kind order.
  for (std::size_t i = 1; i < table.size(); ++i)
    EXPECT_LE(table[i - 1].Kind, table[i].Kind) << table[i].Name;
}

TEST(MSSQLKeywordTable, NamedKinds) {
  const auto byName = KindsByName(MSSQLKeywordTable());
  struct Case {
    const char* name;
    std::set<int> kinds;
  };
  // clang-format off
  const Case cases[] = {
      {"SET", {30}},        {"ON", {31}},        {"EXEC", {41}},       {"EXECUTE", {41}},
      {"TO", {82}},         {"PROC", {92}},      {"PROCEDURE", {92}},  {"TRAN", {131}},
      {"TRANSACTION", {131}}, {"ORDER", {149}}, {"<|>", {150}},       {"\"!<\"", {153}},
      {"\"!>\"", {154}},    {"<=*>", {155}},     {"<*=>", {156, 215}}, {"READ", {157}},
      {"DOUBLE", {179}},    {"ERRLVL", {181}},   {"SCHEMA", {207}},    {"<Label:>", {208}},
      {"END CONVERSATION", {212}}, {"<|=>", {220}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(byName.count(c.name), 1u);
    EXPECT_EQ(byName.at(c.name), c.kinds);
  }
  int toRecords = 0;
  for (const TResWordSymb& s : MSSQLKeywordTable()) toRecords += std::string_view(s.Name) == "TO";
  EXPECT_EQ(toRecords, 2);
}

TEST(DialectLookups, UpperCaseAsciiAndFirstRecord) {
  EXPECT_EQ(LookupMSSQLKeyword("execute"), LookupMSSQLKeyword("EXEC"));
  EXPECT_EQ(LookupMSSQLKeyword("Set"), 30);
  EXPECT_EQ(LookupMSSQLKeyword("to"), 82);
  EXPECT_EQ(LookupMSSQLKeyword("<*=>"), 156);  // the first of the two
  EXPECT_EQ(LookupMSSQLKeyword("TEXT"), tk::Ident);
  EXPECT_EQ(LookupMSSQLKeyword(""), tk::Ident);
  EXPECT_NE(LookupASAKeyword("remame"), tk::Ident);  // kept as the server spells it
  EXPECT_EQ(LookupASAKeyword("RENAME"), tk::Ident);
  EXPECT_NE(LookupLocalSQLKeyword("iactive"), tk::Ident);
  EXPECT_NE(LookupLocalSQLKeyword("Commited"), tk::Ident);
  EXPECT_NE(LookupPGKeyword("::"), tk::Ident);
  EXPECT_NE(LookupPGKeyword("ilike"), tk::Ident);
  EXPECT_NE(LookupDB2Keyword("db2sql"), tk::Ident);
  EXPECT_NE(LookupOracleKeyword("varchar2"), tk::Ident);
  EXPECT_EQ(LookupOracleKeyword("VARCHAR3"), tk::Ident);
  // Lookups fold ASCII only.
  EXPECT_EQ(LookupOracleKeyword("\xC3\xA9"), tk::Ident);
}

// A scanner keys a word from the bytes it reads, with the bytes after the
// word in the same buffer: the key must find what the word finds, whatever
// follows it and whether eight bytes may be read or not.
TEST(ResWordHash, ScannedKeyFindsWhatTheWordFinds) {
  TResWordHash hash;
  for (const TResWordSymb& s : MSSQLKeywordTable()) hash.Add(s.Name, s.Kind);
  std::vector<std::string> words = {"", "x", "Set", "execute", "to", "TEXT", "current_timestamp"};
  const std::string accented = "\xC3\xA9";
  words.insert(words.end(), {accented, "A" + accented + "B", std::string(31, 'Z')});
  words.push_back(std::string(32, 'Z'));  // longer than any keyword
  for (const TResWordSymb& s : MSSQLKeywordTable()) {
    std::string lower = s.Name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    words.push_back(s.Name);
    words.push_back(lower);
  }
  for (const std::string& w : words) {
    SCOPED_TRACE(w);
    const int want = hash.KindOf(w);
    for (const std::string tail : {"", "_next", "xxxxxxxxxxxxxxxx"}) {
      const std::string buffer = w + tail;
      for (std::size_t readable : {w.size(), buffer.size()}) {
        TResWordHash::TWordKey key;
        if (!TResWordHash::MakeKey(buffer.data(), w.size(), readable, key)) {
          EXPECT_GT(w.size(), kMaxKeywordLength);
          EXPECT_EQ(want, tk::Ident);
          continue;
        }
        const bool ascii = std::all_of(w.begin(), w.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        EXPECT_EQ(key.Ascii, ascii);
        if (key.Ascii) {
          EXPECT_EQ(hash.KindOfKey(key), want) << "tail " << tail;
        }
      }
    }
  }
}

}  // namespace
}  // namespace qor
