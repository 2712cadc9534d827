// The scanner and parser core: every token kind, terminators, comments,
// strings and numbers, keyword lookup per dialect, error positions and the
// first-error rule, the grammar helpers, the message and log routing, file
// input, nesting limits, and the bounded-work property on generated input.
#include "parsers/qorParser.h"

#include "model/qorComp_Fld.h"
#include "model/qorComp_Tbl.h"
#include "model/qorDBStructure.h"
#include "parsers/keywords/qorASAParser.h"
#include "parsers/keywords/qorDB2Parser.h"
#include "parsers/keywords/qorIBKeywords.h"
#include "parsers/keywords/qorLocalSQLParser.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "parsers/keywords/qorMySQLKeywords.h"
#include "parsers/keywords/qorOracleParser.h"
#include "parsers/keywords/qorPGSQLParser.h"
#include "parsers/qorSQLParser.h"
#include "tests/model/qorModelFakes.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace qor {
namespace {

std::string RandomText(std::mt19937& rng);

// One scanned token: its kind and the text that goes with it (identifier
// or keyword text, string or number text).
struct Tok {
  TTokenKind kind;
  std::string text;
  bool operator==(const Tok&) const = default;
};

void PrintTo(const Tok& t, std::ostream* os) { *os << "{" << t.kind << ", \"" << t.text << "\"}"; }

// A scanner with the InterBase keyword table.
struct IbScanner : TCustomSQLParser {
  IbScanner() : TCustomSQLParser(nullptr, TDatabaseType::dbInterBase) {}
  void InitResWords() override {
    TCustomSQLParser::InitResWords();
    ResWords().AddWords(IbKeywordTable());
  }
};

class ScannerTest : public ::testing::Test {
 protected:
  ScannerTest() {
    p.OnErrorMessage = [this](TObject*, const std::string& t) { events.push_back(t); };
  }

  std::vector<Tok> Scan(TCustomParser& parser, const std::string& text) {
    parser.SetSource(text);
    std::vector<Tok> out;
    for (int guard = 0; guard < 10000; ++guard) {
      parser.NextToken();
      const TTokenKind k = parser.TokenKind();
      if (k == tk::EOFKind) break;
      const bool named = k == tk::Ident || k >= kFirstKeywordKind;
      out.push_back({k, named ? parser.IdentText() : parser.TokenText()});
    }
    return out;
  }
  std::vector<Tok> Scan(const std::string& text) { return Scan(p, text); }

  std::vector<std::string> Errors() const {
    std::vector<std::string> out;
    for (int i = 0; i < p.Messages().Count(); ++i)
      if (p.Messages()[i].Kind == kMsgError) out.push_back(p.Messages()[i].Text);
    return out;
  }

  TCustomSQLParser p{nullptr};
  std::vector<std::string> events;
};

TEST_F(ScannerTest, EverySharedKind) {
  struct Case {
    const char* text;
    TTokenKind kind;
  };
  // clang-format off
  const Case cases[] = {
      {"abc", tk::Ident}, {"1.5", tk::Float}, {"'s'", tk::String}, {"42", tk::Integer},
      {"(", tk::LParen}, {")", tk::RParen}, {",", tk::Comma}, {"-", tk::Minus},
      {"+", tk::Plus}, {"*", tk::Star}, {"/", tk::Slash}, {";", tk::Terminator},
      {"=", tk::Equal}, {".", tk::Dot}, {":", tk::Colon}, {"||", tk::Concat},
      {"<", tk::Less}, {">", tk::Greater}, {"<=", tk::LessEqual}, {">=", tk::GreaterEqual},
      {"<>", tk::NotEqual}, {"!=", tk::NotEqual}, {"==", tk::DoubleEqual},
      {"[", tk::LBracket}, {"]", tk::RBracket}, {"@", tk::At}, {"\\", tk::Backslash},
      {"%", tk::Percent}, {"&", tk::Ampersand}, {"\"q\"", tk::String}, {"`q`", tk::String},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto toks = Scan(c.text);
    ASSERT_EQ(toks.size(), 1u);
    EXPECT_EQ(toks[0].kind, c.kind);
    EXPECT_EQ(p.ReadPos(), std::string(c.text).size()) << "the whole text is one token";
  }
  EXPECT_TRUE(Errors().empty());
  // The display names are the shared table's texts.
  EXPECT_EQ(p.TokenName(tk::Concat), "<||>");
  EXPECT_EQ(p.TokenName(tk::Less), "\"<\"");
  EXPECT_EQ(p.TokenName(200), "<\?\?\?>");
}

TEST_F(ScannerTest, SequencesAndPositions) {
  struct Case {
    const char* text;
    std::vector<Tok> toks;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"", {}},
      {"  \r\n\t ", {}},
      {"a || b", {{tk::Ident, "A"}, {tk::Concat, ""}, {tk::Ident, "B"}}},
      {"a|| |b", {{tk::Ident, "A"}, {tk::Concat, ""}, {tk::Ident, "B"}}},  // lone | reported
      {"1..10", {{tk::Integer, "1"}, {tk::Dot, ""}, {tk::Dot, ""}, {tk::Integer, "10"}}},
      {"x.y", {{tk::Ident, "X"}, {tk::Dot, ""}, {tk::Ident, "Y"}}},
      {"a<b", {{tk::Ident, "A"}, {tk::Less, ""}, {tk::Ident, "B"}}},
      {"< =", {{tk::Less, ""}, {tk::Equal, ""}}},  // only MS SQL and ASE allow the blank
      {"Ab$1_c d", {{tk::Ident, "AB$1_C"}, {tk::Ident, "D"}}},
      {"x\x1Ay", {{tk::Ident, "X"}, {tk::Ident, "Y"}}},  // Ctrl-Z reads as a blank
      {"f(x,'a)b')", {{tk::Ident, "F"}, {tk::LParen, ""}, {tk::Ident, "X"}, {tk::Comma, ""},
                      {tk::String, "a)b"}, {tk::RParen, ""}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Scan(c.text), c.toks);
  }
}

TEST_F(ScannerTest, Numbers) {
  struct Case {
    const char* text;
    TTokenKind kind;
    std::int64_t intValue;
    double floatValue;
    const char* error;  // the error it reports, or none
  };
  const Case cases[] = {
      {"42", tk::Integer, 42, 0, nullptr},
      {"1.5E+3", tk::Float, 0, 1500, nullptr},
      {"1.5e-3", tk::Float, 0, 0.0015, nullptr},
      {".5", tk::Float, 0, 0.5, nullptr},
      {"2.", tk::Float, 0, 2, nullptr},
      {"1E5", tk::Float, 0, 1e5, nullptr},  // an exponent makes a float
      {"9223372036854775807", tk::Integer, INT64_MAX, 0, nullptr},
      {"3000000000", tk::Integer, 3000000000LL, 0, nullptr},
      {"9223372036854775808", tk::Integer, 0, 0, "Integer value out of range: 9223372036854775808"},
      {"1E999", tk::Float, 0, 0, "Float value out of range: 1E999"},
      {"1E", tk::Float, 0, 0, "Invalid float value: 1E"},
      {"1e+", tk::Float, 0, 0, "Invalid float value: 1e+"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    p.Messages().Clear();
    const auto toks = Scan(c.text);
    ASSERT_EQ(toks.size(), 1u);
    EXPECT_EQ(toks[0].kind, c.kind);
    EXPECT_EQ(toks[0].text, c.text);
    p.SetSource(c.text);
    p.NextToken();
    EXPECT_EQ(p.IntValue(), c.intValue);
    EXPECT_DOUBLE_EQ(p.FloatValue(), c.floatValue);
    if (c.error) {
      ASSERT_FALSE(Errors().empty());
      EXPECT_EQ(Errors()[0], c.error);
    } else {
      EXPECT_TRUE(Errors().empty());
    }
  }
  // ".5.3" is two numbers, not one with two points.
  EXPECT_EQ(Scan(".5.3"), (std::vector<Tok>{{tk::Float, ".5"}, {tk::Float, ".3"}}));
  EXPECT_EQ(Scan("1-2"),
            (std::vector<Tok>{{tk::Integer, "1"}, {tk::Minus, ""}, {tk::Integer, "2"}}));
}

TEST_F(ScannerTest, QuotedStrings) {
  struct Case {
    TDatabaseType type;
    std::string text;
    std::string value;
  };
  const Case cases[] = {
      {TDatabaseType::dbInterBase, "'it''s'", "it's"},
      {TDatabaseType::dbInterBase, "\"say \"\"hi\"\"\"", "say \"hi\""},
      {TDatabaseType::dbInterBase, "'a\\nb'", "a\\nb"},
      {TDatabaseType::dbMSSQL, "'a\\nb'", "a\\nb"},
      {TDatabaseType::dbMySQL, "'a\\nb'", "a\nb"},
      {TDatabaseType::dbMySQL, "'\\r\\t\\b\\z\\'\\\\\\q'", "\r\t\b\x1A'\\q"},
      {TDatabaseType::dbMySQL, "'\\0'", std::string(1, '\0')},
      {TDatabaseType::dbInterBase, "'two\r\nlines'", "two\r\nlines"},
      // Ctrl-Z reads as a blank, inside a text too.
      {TDatabaseType::dbInterBase,
       "'a\x1A"
       "b\x1A'",
       "a b "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TCustomSQLParser q(nullptr, c.type);
    const auto toks = Scan(q, c.text);
    ASSERT_EQ(toks.size(), 1u);
    EXPECT_EQ(toks[0].kind, tk::String);
    EXPECT_EQ(toks[0].text, c.value);
    EXPECT_FALSE(q.Messages().HasErrors());
  }
}

TEST_F(ScannerTest, IdentifiersAndKeywords) {
  IbScanner ib;
  const auto toks = Scan(ib, "select Name from tab");
  ASSERT_EQ(toks.size(), 4u);
  // A keyword keeps the text as written; a plain identifier is upper-cased.
  EXPECT_EQ(toks[0], (Tok{176, "select"}));
  EXPECT_EQ(toks[1], (Tok{tk::Ident, "NAME"}));
  EXPECT_EQ(ib.TokenName(176), "SELECT");
  EXPECT_TRUE(ib.Messages().Count() == 0);

  // The base scanner starts no name with "_" or "#".
  for (const char* bad : {"_x", "#x"}) {
    SCOPED_TRACE(bad);
    p.Messages().Clear();
    EXPECT_EQ(Scan(bad), (std::vector<Tok>{{tk::Ident, "X"}}));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], std::string("Invalid char in source text: \"") + bad[0] + "\".");
  }
}

// Both texts of every kind of token, asked in either order or not at all
// before the next token: each is made from the source when asked for, and
// a saved state keeps its texts even when the source is replaced before it
// is restored.
TEST(TokenTexts, MadeOnRequest) {
  IbScanner p;
  struct Case {
    const char* text;
    const char* ident;
    const char* tokenText;
  };
  const Case cases[] = {
      {"Name", "NAME", ""},
      {"a_Long_Name_Past_Sixteen_Bytes", "A_LONG_NAME_PAST_SIXTEEN_BYTES", ""},
      {"select", "select", ""},  // a keyword as written
      {"42", "", "42"},
      {"1.5e3", "", "1.5e3"},
      {"'it''s'", "", "it's"},
      {"(", "", ""},
  };
  for (const Case& c : cases) {
    for (bool identFirst : {true, false}) {
      SCOPED_TRACE(std::string(c.text) + (identFirst ? " ident first" : " text first"));
      p.SetSource(std::string("skipped ") + c.text + " tail");
      p.NextToken();  // texts never asked for
      p.NextToken();
      if (identFirst) {
        EXPECT_EQ(p.IdentText(), c.ident);
      }
      EXPECT_EQ(p.TokenText(), c.tokenText);
      EXPECT_EQ(p.IdentText(), c.ident);
      p.NextToken();
      EXPECT_EQ(p.IdentText(), "TAIL");
      EXPECT_EQ(p.TokenText(), "");
      p.NextToken();
      EXPECT_EQ(p.IdentText(), "");
    }
  }

  p.SetSource("alpha 7");
  p.NextToken();
  TParseContext name(&p);
  p.NextToken();
  TParseContext number(&p);
  p.SetSource("other 8");
  p.NextToken();
  TParseContext::Restore(p, name);
  EXPECT_EQ(p.IdentText(), "ALPHA");
  TParseContext::Restore(p, number);
  EXPECT_EQ(p.TokenText(), "7");
  EXPECT_EQ(p.IdentText(), "");
}

// Every dialect's table is loaded through the dialect's own InitResWords,
// even though the list is first needed after construction: each word of
// the table scans as the kind its first record gives.
TEST(KeywordLookup, EachDialectTable) {
  struct Dialect {
    const char* name;
    TResWordTable table;
  };
  // clang-format off
  const Dialect dialects[] = {
      {"InterBase", IbKeywordTable()}, {"MySQL", MySQLKeywordTable()},
      {"MSSQL", MSSQLKeywordTable()},  {"ASA", ASAKeywordTable()},
      {"DB2", DB2KeywordTable()},      {"LocalSQL", LocalSQLKeywordTable()},
      {"Oracle", OracleKeywordTable()}, {"PostgreSQL", PGKeywordTable()},
  };
  // clang-format on
  struct TableParser : TCustomSQLParser {
    explicit TableParser(TResWordTable t) : TCustomSQLParser(nullptr), table(t) {}
    void InitResWords() override {
      TCustomSQLParser::InitResWords();
      ResWords().AddWords(table);
    }
    TResWordTable table;
  };
  for (const Dialect& d : dialects) {
    SCOPED_TRACE(d.name);
    TableParser parser(d.table);
    std::map<std::string, TTokenKind> first;
    for (const TResWordSymb& s : d.table) first.emplace(s.Name, s.Kind);
    int checked = 0;
    for (const auto& [word, kind] : first) {
      const bool scannable =
          std::isalpha(static_cast<unsigned char>(word[0])) &&
          word.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_$") == std::string::npos;
      if (!scannable) continue;
      std::string lower = LowerAscii(word);
      parser.SetSource(lower);
      parser.NextToken();
      EXPECT_EQ(parser.TokenKind(), kind) << word;
      EXPECT_EQ(parser.IdentText(), lower);
      ++checked;
    }
    EXPECT_GT(checked, 20);
    // A word outside the table is a plain identifier.
    parser.SetSource("zzz_not_a_keyword");
    parser.NextToken();
    EXPECT_EQ(parser.TokenKind(), tk::Ident);
  }
}

TEST(ResWordList, NameOfKindAndDuplicates) {
  TResWordList list;
  list.AddWord("TIME", 40);
  list.AddWord("DATE", 40);
  list.AddWord("CHAR", 41);
  list.AddWord("char", 42);  // already there: the first kind stays
  list.AddWord("BIG", 300);  // no token can carry it
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.NameOfKind(40), "TIME");  // the alphabetically last word
  EXPECT_EQ(list.NameOfKind(41), "CHAR");
  EXPECT_EQ(list.NameOfKind(42), "<\?\?\?>");
  EXPECT_EQ(list.Lookup("Char"), 41);
  list.AddWord("ZONE", 40);
  EXPECT_EQ(list.NameOfKind(40), "ZONE");
  EXPECT_EQ(list.Lookup("nothing"), tk::Ident);
}

// The lookup compares ASCII upper-case bytes, eight at a time: only a-z
// fold, and the bytes next to them in the code table stay apart.
TEST(ResWordList, LookupFoldsAsciiLettersOnly) {
  TResWordList list;
  list.AddWord("A[B", 40);
  list.AddWord("A_B", 41);
  list.AddWord("Z@", 42);
  list.AddWord("SELECT", 43);
  list.AddWord("CHECK_POINT_LENGTH", 44);  // two chunks and a tail
  list.AddWord("RETURNING_VALUES", 45);    // exactly two chunks
  list.AddWord("ABCDEFGH", 46);            // exactly one chunk
  list.AddWord(std::string(40, 'Q'), 47);  // longer than any table word
  list.AddWord("\xC3\x89T\xC3\x89", 48);   // "ÉTÉ": not ASCII
  struct Case {
    std::string word;
    TTokenKind kind;
  };
  // clang-format off
  const Case cases[] = {
      {"a[b", 40}, {"a{b", tk::Ident},  // "{" is no lower-case "["
      {"a_b", 41}, {"a\x7F" "b", tk::Ident},
      {"z@", 42},  {"z`", tk::Ident}, {"Z`", tk::Ident},
      {"SeLeCt", 43}, {"selec", tk::Ident}, {"selects", tk::Ident}, {"SELECT ", tk::Ident},
      {"check_point_length", 44}, {"check_point_lengtH", 44}, {"check_point_lengthx", tk::Ident},
      {"check_point_lenGTX", tk::Ident},
      {"returning_values", 45}, {"returning_value", tk::Ident},
      {"abcdefgh", 46}, {"abcdefg", tk::Ident}, {"abcdefghi", tk::Ident},
      {std::string(40, 'q'), 47}, {std::string(41, 'q'), tk::Ident},
      {"", tk::Ident}, {std::string("SELECT\0", 7), tk::Ident},
      // Beyond ASCII the list's Unicode-aware comparison answers.
      {"\xC3\xA9t\xC3\xA9", 48}, {"\xC3\xA9T\xC3\xA9", 48}, {"s\xC3\xA9lect", tk::Ident},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.word));
    EXPECT_EQ(list.Lookup(c.word), c.kind);
  }
  // A word added after a lookup is found: the index follows the list.
  list.AddWord("ZONE", 49);
  EXPECT_EQ(list.Lookup("zone"), 49);
  list.Clear();
  EXPECT_EQ(list.Lookup("select"), tk::Ident);
}

// Against the list's own comparison, name by name: every table word in
// mixed case, with a byte changed, cut short or lengthened, and words
// around the letters' neighbours in the code table.
TEST(ResWordList, LookupAgreesWithTheListComparison) {
  // clang-format off
  const TResWordTable tables[] = {IbKeywordTable(), MySQLKeywordTable(), MSSQLKeywordTable(),
                                  ASAKeywordTable(), DB2KeywordTable(), LocalSQLKeywordTable(),
                                  OracleKeywordTable(), PGKeywordTable()};
  // clang-format on
  std::mt19937 rng(7);
  for (TResWordTable table : tables) {
    TResWordList list;
    list.AddWords(kSharedTokenKinds);
    list.AddWords(table);
    auto reference = [&](const std::string& w) {
      for (int i = 0; i < list.Count(); ++i)
        if (SameText(list.Name(i), w)) return list.KindOf(i);
      return tk::Ident;
    };
    const char neighbours[] = {'@', '[', '`', '{', '_', '\x7F', 'a', 'z', 'A', 'Z', '$', '0'};
    for (const TResWordSymb& s : table) {
      std::string w = s.Name;
      for (char& c : w)
        if (rng() & 1) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      std::vector<std::string> words = {w, w + "X", w.substr(0, w.size() - 1)};
      std::string changed = w;
      changed[rng() % changed.size()] = neighbours[rng() % std::size(neighbours)];
      words.push_back(changed);
      for (const std::string& word : words) {
        SCOPED_TRACE(::testing::PrintToString(word));
        EXPECT_EQ(list.Lookup(word), reference(word));
      }
    }
  }
}

TEST_F(ScannerTest, Terminators) {
  EXPECT_EQ(Scan("a;b")[1].kind, tk::Terminator);
  ASSERT_TRUE(p.SetTerminator("^"));
  // "^" is no character of the base scanner, yet as terminator it is one.
  EXPECT_EQ(Scan("a;b^"),
            (std::vector<Tok>{
                {tk::Ident, "A"}, {tk::Semicolon, ""}, {tk::Ident, "B"}, {tk::Terminator, ""}}));
  ASSERT_TRUE(p.SetTerminator("GO"));
  EXPECT_EQ(Scan("x GO"), (std::vector<Tok>{{tk::Ident, "X"}, {tk::Terminator, ""}}));
  ASSERT_TRUE(p.SetTerminator("//"));
  EXPECT_EQ(Scan("a//b/c"), (std::vector<Tok>{{tk::Ident, "A"},
                                              {tk::Terminator, ""},
                                              {tk::Ident, "B"},
                                              {tk::Slash, ""},
                                              {tk::Ident, "C"}}));
  EXPECT_TRUE(Errors().empty());

  // An empty terminator is refused and the old one stays.
  EXPECT_FALSE(p.SetTerminator(""));
  EXPECT_EQ(p.Terminator(), "//");
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0], "The statement terminator must not be empty.");
}

TEST_F(ScannerTest, Comments) {
  struct Case {
    const char* text;
    std::vector<Tok> toks;
    const char* lastComment;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"a /* x */ b", {{tk::Ident, "A"}, {tk::Ident, "B"}}, " x "},
      {"a -- rest\r\nb", {{tk::Ident, "A"}, {tk::Ident, "B"}}, " rest\r"},
      {"a --end", {{tk::Ident, "A"}}, "end"},
      {"/* a /* b */ c */", {{tk::Ident, "C"}, {tk::Star, ""}, {tk::Slash, ""}}, " a /* b "},
      {"/**/x", {{tk::Ident, "X"}}, ""},
      {"a-b/c", {{tk::Ident, "A"}, {tk::Minus, ""}, {tk::Ident, "B"}, {tk::Slash, ""},
                 {tk::Ident, "C"}}, ""},
  };
  // clang-format on
  p.Trace.Include(TParserTrace::trComments);
  std::vector<std::string> logs;
  p.OnLogNextLine = [&](TObject*, const std::string& t) { logs.push_back(t); };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    p.LastCommentText = "stale";
    EXPECT_EQ(Scan(c.text), c.toks);
    if (*c.lastComment) {
      EXPECT_EQ(p.LastCommentText, c.lastComment);
    }
  }
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(logs.front(), "Comment:  x ");
}

TEST_F(ScannerTest, UnterminatedTextsAreErrorsWithPositions) {
  struct Case {
    const char* text;
    const char* error;
    std::int32_t line, column;  // where the scan stood
  };
  const Case cases[] = {
      {"x\n  'abc", "Unterminated string (opened at line 2, column 3).", 2, 6},
      {"x\n\"ab", "Unterminated string (opened at line 2, column 1).", 2, 3},
      {"a /* never\nclosed", "Unterminated comment (opened at line 1, column 3).", 2, 6},
      {"a\nb\n  #", "Invalid char in source text: \"#\".", 3, 3},
      {"a ! b", "Invalid char in source text: \"!\".", 1, 3},
      {"\x01", "Invalid char in source text: 0x01.", 1, 1},
      {"\xC3\xA9", "Invalid char in source text: \"\xC3\xA9\".", 1, 1},  // one character
      {"\xFF", "Invalid char in source text: 0xFF.", 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    p.Messages().Clear();
    Scan(c.text);
    ASSERT_EQ(p.Messages().Count(), 1);
    const TMsgData& m = p.Messages()[0];
    EXPECT_EQ(m.Text, c.error);
    EXPECT_EQ(m.Kind, kMsgError);
    EXPECT_EQ(m.Line, c.line);
    EXPECT_EQ(m.Column, c.column);
  }
}

// A lone "!" is reported and the scan goes on, so a statement loop does not
// end there and silently drop the rest of the text.
TEST_F(ScannerTest, LoneBangIsAnErrorAndScanningGoesOn) {
  EXPECT_EQ(
      Scan("a ! b != c"),
      (std::vector<Tok>{{tk::Ident, "A"}, {tk::Ident, "B"}, {tk::NotEqual, ""}, {tk::Ident, "C"}}));
  EXPECT_EQ(Errors().size(), 1u);

  TCustomSQLParser ms(nullptr, TDatabaseType::dbMSSQL);
  ms.OnErrorMessage = [](TObject*, const std::string&) {};
  EXPECT_EQ(Scan(ms, "a ! = b < = c > = d = = e < > f"), (std::vector<Tok>{{tk::Ident, "A"},
                                                                           {tk::NotEqual, ""},
                                                                           {tk::Ident, "B"},
                                                                           {tk::LessEqual, ""},
                                                                           {tk::Ident, "C"},
                                                                           {tk::GreaterEqual, ""},
                                                                           {tk::Ident, "D"},
                                                                           {tk::DoubleEqual, ""},
                                                                           {tk::Ident, "E"},
                                                                           {tk::NotEqual, ""},
                                                                           {tk::Ident, "F"}}));
  EXPECT_EQ(Scan(ms, "!\n x"), (std::vector<Tok>{{tk::Ident, "X"}}));
  ASSERT_EQ(ms.Messages().Count(), 1);
  EXPECT_EQ(ms.Messages()[0].Line, 1) << "reported where the ! stands";
}

TEST_F(ScannerTest, OnlyTheFirstErrorReachesTheEvent) {
  p.ScriptName = "s.sql";
  Scan("a # b\n ? ~");
  ASSERT_EQ(Errors().size(), 3u);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0], "Invalid char in source text: \"#\".\r\nScript: s.sql Line:1 Pos:3\r\n");
  EXPECT_EQ(p.Messages()[0].ScriptName, "s.sql");
  // The list still holds an error, so the next text fires nothing either.
  Scan("#");
  EXPECT_EQ(events.size(), 1u);
  p.Messages().Clear();
  Scan("#");
  EXPECT_EQ(events.size(), 2u);
}

TEST(ParserErrors, WithoutAnEventAMessageBoxShows) {
  std::vector<std::string> shown;
  TUIHookGuard hooks([&](const std::string& t) { shown.push_back(t); });
  TCustomParser p(nullptr);
  p.SetSource("#");
  p.NextToken();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].rfind("Error: Invalid char in source text: \"#\".", 0), 0u) << shown[0];
  EXPECT_EQ(p.TokenKind(), tk::EOFKind);
}

TEST_F(ScannerTest, ExpectMessagesAndSigns) {
  p.SetSource("-12");
  p.NextToken();
  EXPECT_TRUE(p.Expect(tk::Integer));
  EXPECT_EQ(p.TokenText(), "-12");
  EXPECT_EQ(p.IntValue(), 12) << "the value stays as scanned";

  p.SetSource("+ 1.5");
  p.NextToken();
  EXPECT_TRUE(p.Expect(tk::Float));
  EXPECT_EQ(p.TokenText(), "+1.5");

  struct Case {
    const char* text;
    TTokenKind wanted;
    const char* error;
    TTokenKind after;  // the token still current afterwards
  };
  const Case cases[] = {
      {"orders", tk::RParen, "Missing: <)> (<Ident>: ORDERS)", tk::Ident},
      {"(", tk::Terminator, "Missing: <TERM> (<(>)", tk::LParen},
      {"- x", tk::Integer, "Missing: <Integer value> (<->)", tk::Minus},
      {"", tk::Ident, "Missing: <Ident> (<EOF>)", tk::EOFKind},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    p.Messages().Clear();
    p.SetSource(c.text);
    p.NextToken();
    EXPECT_FALSE(p.Expect(c.wanted));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], c.error);
    EXPECT_EQ(p.TokenKind(), c.after);
  }
  // The look-ahead is undone in full: the next token is read again and its
  // error is reported once, not once per look.
  p.Messages().Clear();
  p.SetSource("- # x");
  p.NextToken();
  EXPECT_FALSE(p.Expect(tk::Integer));
  EXPECT_EQ(p.TokenKind(), tk::Minus);
  p.NextToken();
  EXPECT_EQ(p.IdentText(), "X");
  EXPECT_EQ(Errors(), (std::vector<std::string>{"Missing: <Integer value> (<->)",
                                                "Invalid char in source text: \"#\"."}));
}

TEST_F(ScannerTest, WordsAndHelpers) {
  p.SetSource("Temporary select");
  p.NextToken();
  EXPECT_TRUE(p.IsWord("temporary"));
  EXPECT_TRUE(p.ExpectWord("TEMPORARY"));
  EXPECT_FALSE(p.IsWord("temp"));
  EXPECT_FALSE(p.ExpectWord("table"));
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0], "Must be: TABLE");

  struct Case {
    const char* text;
    const char* next;  // the first name after the skipped line
  };
  const Case cases[] = {
      {"first rest of line\nsecond", "SECOND"},
      {"first\nsecond", "SECOND"},  // standing on the line feed already
      {"first rest", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    p.SetSource(c.text);
    p.NextToken();
    p.SkipLine();
    p.NextToken();
    EXPECT_EQ(p.IdentText(), c.next);
  }
}

TEST_F(ScannerTest, ScanExpressionCountsParenthesesOutsideLiterals) {
  struct Case {
    const char* text;
    const char* expr;
    const char* rest;  // the identifier after it, if any
  };
  const Case cases[] = {
      {"  (a + (b)) next", "(a + (b))", "NEXT"},
      {"(x = ')' or y = \"(\") next", "(x = ')' or y = \"(\")", "NEXT"},
      {"('it''s)') next", "('it''s)')", "NEXT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    p.SetSource(c.text);
    std::string expr;
    p.ScanExpression(expr);
    EXPECT_EQ(expr, c.expr);
    p.NextToken();
    EXPECT_EQ(p.IdentText(), c.rest);
  }
  EXPECT_TRUE(Errors().empty());
  TCustomSQLParser my(nullptr, TDatabaseType::dbMySQL);
  my.SetSource("('a\\')b') z");
  std::string expr;
  my.ScanExpression(expr);
  EXPECT_EQ(expr, "('a\\')b')");

  p.SetSource("(a, (b)");
  p.ScanExpression(expr);
  EXPECT_EQ(expr, "(a, (b)");
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0], "Missing: <)> (<EOF>)");
}

TEST_F(ScannerTest, ParseLengthScale) {
  struct Case {
    const char* text;
    std::int32_t length, precision, scale;
    std::size_t errors;
  };
  const Case cases[] = {
      {"(10, 2) x", 10, 10, 2, 0},
      {"(18) x", 18, 18, 0, 0},
      {"x", 9, 0, 0, 0},
      {"(3000000000) x", 0, 0, 0, 1},  // does not fit the 32-bit field
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    p.Messages().Clear();
    TFldData col(nullptr, nullptr);
    p.SetSource(c.text);
    p.NextToken();
    p.ParseLengthScale(col);
    EXPECT_EQ(col.Length, c.length);
    EXPECT_EQ(col.Precision, c.precision);
    EXPECT_EQ(col.Scale, c.scale);
    EXPECT_EQ(Errors().size(), c.errors);
    EXPECT_EQ(p.IdentText(), "X");
  }
}

TEST_F(ScannerTest, TraceAndStatementReports) {
  std::vector<std::string> logs;
  p.OnLogNextLine = [&](TObject*, const std::string& t) { logs.push_back(t); };
  p.Trace.Include(TParserTrace::trTokens);
  Scan("id 7 'q'");
  EXPECT_EQ(logs, (std::vector<std::string>{"(1,3) <Ident>: 1 =ID", "(1,5) <Integer value>: 4 =7",
                                            "(1,8) <String value>: 3 ='q'", "(1,8) <EOF>: 0"}));
  p.Trace.Clear();

  std::string stmt, name;
  int result = -1;
  p.OnStatement = [&](TObject*, const std::string& text, std::uint8_t code, int& r,
                      const std::string&, std::uint8_t, std::uint8_t, const std::string& n) {
    stmt = text;
    name = n;
    result = r;
    r = code;
  };
  p.SetSource("  create table t (a int) ; next");
  p.NextToken();
  p.StatementStart = p.TokenStart();
  while (p.TokenKind() != tk::Terminator) p.NextToken();
  int res = 5;
  p.NotifyStatement(6, "T", res, "", 1, 1);
  EXPECT_EQ(stmt, "create table t (a int)");
  EXPECT_EQ(name, "T");
  EXPECT_EQ(result, 0) << "the result is cleared before the call";
  EXPECT_EQ(res, 6);
}

TEST_F(ScannerTest, ParseContextUndoesALookAhead) {
  p.SetSource("one\n two 3");
  p.NextToken();
  TParseContext saved(&p);
  p.NextToken();
  p.NextToken();
  EXPECT_EQ(p.IntValue(), 3);
  TParseContext::Restore(p, saved);
  EXPECT_EQ(p.IdentText(), "ONE");
  EXPECT_EQ(p.CurTokenName(), "<Ident>");
  // The scan stands on the line feed after ONE, which opens line 2.
  EXPECT_EQ(p.GetLine(), 2);
  EXPECT_EQ(p.GetColumn(), 0);
  p.NextToken();
  EXPECT_EQ(p.IdentText(), "TWO");
  EXPECT_EQ(p.GetLine(), 2);
  EXPECT_EQ(p.GetColumn(), 5);
}

// The scanner passes blanks, names, numbers, terminators and comments a run
// at a time; the position after every token and the progress reports must
// be those of reading the text character by character: the line is the
// number of line feeds up to the current character plus one, the column
// its distance from the last of them (0 on a line feed), and each line
// feed reports its new line once.
TEST(ScannerPositions, LinesColumnsAndProgressFollowTheText) {
  struct Where {
    std::int32_t line, column;
    bool operator==(const Where&) const = default;
  };
  auto expected = [](const std::string& text, std::size_t current) {
    if (text.empty()) return Where{1, 0};
    const std::size_t i = std::min(current, text.size() - 1);  // at the end: the last one
    Where w{1, 0};
    std::size_t lineStart = 0;
    for (std::size_t k = 0; k <= i; ++k)
      if (text[k] == '\n') {
        ++w.line;
        lineStart = k + 1;
      }
    w.column = static_cast<std::int32_t>(i + 1 - lineStart);
    return w;
  };
  // clang-format off
  std::vector<std::string> texts = {
      "a  b\r\n  c",
      "create table t1 (\r\n  id integer, -- the key\r\n  n varchar(10)\r\n);\r\n",
      "/* one\r\ntwo\r\nthree */ x /**/y\n\n\n z",
      "'a\r\nb' \"c\nd\" 12 1.5E3 .5 x.y 1..2",
      "GO\r\nGO x\x1A" "y \x1A\x1A z\n",
      "abc",
      "\n",
      "",
      "x -- open at the end",
      "x /* open\n at the end",
  };
  // clang-format on
  std::mt19937 rng(11);
  for (int i = 0; i < 300; ++i) texts.push_back(RandomText(rng));
  const char* const terminators[] = {";", "GO", "^", "//"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(::testing::PrintToString(text));
    TCustomSQLParser p(nullptr, TDatabaseType::dbMSSQL);
    p.OnErrorMessage = [](TObject*, const std::string&) {};
    p.SetTerminator(terminators[text.size() % std::size(terminators)]);
    std::vector<int> progress;
    p.OnProgressUpdate = [&](TObject*, int line, int) { progress.push_back(line); };
    p.SetSource(text);
    for (int guard = 0; guard <= static_cast<int>(text.size()); ++guard) {
      p.NextToken();
      const std::size_t current = p.AtEnd() ? text.size() : p.ReadPos() - 1;
      ASSERT_EQ((Where{p.GetLine(), p.GetColumn()}), expected(text, current))
          << "after the token at " << p.TokenStart();
      if (p.TokenKind() == tk::EOFKind) break;
    }
    ASSERT_TRUE(p.AtEnd());
    std::vector<int> lines;
    for (std::size_t k = 0, line = 1; k < text.size(); ++k)
      if (text[k] == '\n') lines.push_back(static_cast<int>(++line));
    EXPECT_EQ(progress, lines);
  }
}

// A dialect may widen the name characters at any time, a line feed among
// them; the scanner follows, and its positions stay right.
TEST_F(ScannerTest, NameCharactersChangedOnTheWay) {
  EXPECT_EQ(Scan("a#b"), (std::vector<Tok>{{tk::Ident, "A"}, {tk::Ident, "B"}}));
  p.IdentChars.Include('#');
  EXPECT_EQ(Scan("a#b c"), (std::vector<Tok>{{tk::Ident, "A#B"}, {tk::Ident, "C"}}));
  p.IdentChars.Include('\n');
  p.SetSource("ab\ncd e");
  p.NextToken();
  EXPECT_EQ(p.IdentText(), "AB\nCD");
  EXPECT_EQ(p.GetLine(), 2);
  EXPECT_EQ(p.GetColumn(), 3);
  p.IdentChars.Exclude('\n').Exclude('#');
  EXPECT_EQ(Scan("a#b"), (std::vector<Tok>{{tk::Ident, "A"}, {tk::Ident, "B"}}));
}

// A plain name is upper-cased by bytes, eight or four at a time with the
// last unit overlapping; a name with bytes beyond ASCII (possible once a
// dialect makes them name characters) through the Unicode-aware mapping,
// wherever in the name they stand.
TEST_F(ScannerTest, PlainNamesUpperCasedWhateverTheirLength) {
  struct Case {
    const char* text;
    const char* name;
  };
  // clang-format off
  const Case cases[] = {
      {"a", "A"}, {"ab", "AB"}, {"abc", "ABC"}, {"abcd", "ABCD"}, {"abcde", "ABCDE"},
      {"abcdefg", "ABCDEFG"}, {"abcdefgh", "ABCDEFGH"}, {"abcdefghi", "ABCDEFGHI"},
      {"a_z$09_aZz_yY_zzzzzzzzzzzzzzzzzzzzzzzzzzzz", "A_Z$09_AZZ_YY_ZZZZZZZZZZZZZZZZZZZZZZZZZZZZ"},
      {"t\xC3\xA9t\xC3\xA9", "T\xC3\x89T\xC3\x89"},
      {"ab\xC3\xA9", "AB\xC3\x89"},
      {"abcdefgh_\xC3\xA9_ijk", "ABCDEFGH_\xC3\x89_IJK"},
      {"abc\xC3\xA9" "defghijklmnop", "ABC\xC3\x89" "DEFGHIJKLMNOP"},
  };
  // clang-format on
  p.IdentChars.IncludeRange('\x80', '\xFF');
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Scan(c.text), (std::vector<Tok>{{tk::Ident, c.name}}));
  }
  // Names and numbers of every length up to past sixteen, at the end of
  // the text and with text after them: a short text is copied whole and
  // cut back where enough text follows.
  for (std::size_t n = 1; n <= 20; ++n) {
    const std::string name = std::string("abcdefghijklmnopqrst").substr(0, n);
    const std::string digits = std::string("12345678901234567890").substr(0, n);
    const std::vector<Tok> toks = {{tk::Ident, UpperAscii(name)}, {tk::Integer, digits}};
    for (const std::string& rest :
         {std::string(), std::string(" ,xyzzy; plenty of text after it")}) {
      SCOPED_TRACE(name + rest);
      auto got = Scan(name + " " + digits + rest);
      got.resize(std::min<std::size_t>(got.size(), 2));
      EXPECT_EQ(got, toks);
    }
  }
}

// The current token's name is built when asked for: after a token, after
// an undone look-ahead, and before any token, where it is "<EOF>" without
// the keyword list being loaded.
TEST(TokenNames, BuiltOnRequestForTheCurrentToken) {
  struct Counting : TCustomSQLParser {
    Counting() : TCustomSQLParser(nullptr, TDatabaseType::dbInterBase) {}
    void InitResWords() override {
      ++loads;
      TCustomSQLParser::InitResWords();
      ResWords().AddWords(IbKeywordTable());
    }
    int loads = 0;
  } p;
  p.SetSource("select 'x' ;");
  EXPECT_EQ(p.CurTokenName(), "<EOF>");
  EXPECT_EQ(p.loads, 0);
  p.NextToken();
  TParseContext saved(&p);
  EXPECT_EQ(p.CurTokenName(), "SELECT");
  p.NextToken();
  EXPECT_EQ(p.CurTokenName(), "<String value>");
  p.NextToken();
  EXPECT_EQ(p.CurTokenName(), "<Terminator>");
  TParseContext::Restore(p, saved);
  EXPECT_EQ(p.CurTokenName(), "SELECT");
  EXPECT_EQ(p.loads, 1);
}

// A recursive rule guarded like the dialect grammars guard theirs.
class NestingParser : public TCustomSQLParser {
 public:
  NestingParser() : TCustomSQLParser(nullptr) {}
  void ParseText() override {
    NextToken();
    while (TokenKind() != tk::EOFKind) Term(1);
  }
  int deepest = 0;

 private:
  void Term(int depth) {
    TNestingGuard guard(*this);
    if (!guard.Ok()) {
      NextToken();
      return;
    }
    deepest = std::max(deepest, depth);
    if (TokenKind() != tk::LParen) {
      NextToken();
      return;
    }
    NextToken();
    Term(depth + 1);
    ExpectAndNext(tk::RParen);
  }
};

TEST(Nesting, TooDeepATextIsAnErrorNotACrash) {
  for (int levels : {150, 5000}) {
    SCOPED_TRACE(levels);
    NestingParser p;
    p.OnErrorMessage = [](TObject*, const std::string&) {};
    p.SetSource(std::string(static_cast<std::size_t>(levels), '(') + "x" +
                std::string(static_cast<std::size_t>(levels), ')'));
    p.ParseText();
    int tooDeep = 0;
    for (int i = 0; i < p.Messages().Count(); ++i)
      if (p.Messages()[i].Text == "Text nested too deeply (more than 200 levels).") ++tooDeep;
    if (levels <= TCustomParser::kMaxNesting) {
      EXPECT_EQ(p.Messages().Count(), 0);
      EXPECT_EQ(p.deepest, levels + 1);
    } else {
      EXPECT_EQ(tooDeep, 1) << "reported once per text";
      EXPECT_EQ(p.deepest, TCustomParser::kMaxNesting);
    }
  }
}

TEST(MessageRouting, NestedParserReportsIntoTheOuterList) {
  TCustomSQLParser outer(nullptr), inner(nullptr);
  int outerEvents = 0, innerEvents = 0;
  outer.OnErrorMessage = [&](TObject*, const std::string&) { ++outerEvents; };
  inner.OnErrorMessage = [&](TObject*, const std::string&) { ++innerEvents; };
  inner.ReportInto(&outer);
  inner.ScriptName = "part2.sql";
  outer.SetSource("#");
  outer.NextToken();
  inner.SetSource("# #");
  inner.NextToken();
  ASSERT_EQ(outer.Messages().Count(), 3);
  EXPECT_EQ(outer.Messages()[2].ScriptName, "part2.sql");
  EXPECT_EQ(outerEvents, 1);
  EXPECT_EQ(innerEvents, 0) << "the outer list already held an error";
  inner.ReportInto(nullptr);
  inner.SetSource("#");
  inner.NextToken();
  EXPECT_EQ(inner.Messages().Count(), 1);
  EXPECT_EQ(outer.Messages().Count(), 3);
}

TEST(MessageRouting, LogAndProgressReachTheLinkedExtractor) {
  TDBStructure structure;
  test::FakeExtractor ext;
  ext.Link(&structure);
  TCustomSQLParser p(&ext);
  EXPECT_EQ(p.Objs(), structure.GetObjs());
  p.ScriptName = "x.sql";
  p.ParseScript({"a", "b"}, structure.GetObjs());
  ASSERT_EQ(ext.logs.size(), 1u);
  EXPECT_EQ(ext.logs[0], "Parse Script: x.sql");
  EXPECT_EQ(ext.logSenders[0], static_cast<TObject*>(&ext));
  // The parser's own event takes precedence.
  std::vector<std::string> own;
  std::vector<std::pair<int, int>> progress;
  p.OnLogNextLine = [&](TObject*, const std::string& t) { own.push_back(t); };
  p.OnProgressUpdate = [&](TObject*, int v, int m) { progress.emplace_back(v, m); };
  p.ParseScript({"a", "b", "c"}, structure.GetObjs());
  EXPECT_EQ(own, (std::vector<std::string>{"Parse Script: x.sql"}));
  EXPECT_EQ(ext.logs.size(), 1u);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), (std::pair<int, int>{3, 3}));
  p.ShowProgress = false;
  progress.clear();
  p.ParseScript({"a", "b"}, structure.GetObjs());
  EXPECT_TRUE(progress.empty());
}

TEST(AddObject, OwnerFilterAndRejectedObjectsKept) {
  TDBStructure structure;
  test::FakeExtractor ext;
  ext.Link(&structure);
  ext.filteredName = "NOPE";
  TCustomSQLParser p(&ext);
  TObjs& objs = *structure.GetObjs();

  std::unique_ptr<TDbObj> t = std::make_unique<TTblData>(&objs);
  t->SetName("T1");
  TDbObj* raw = t.get();
  EXPECT_EQ(p.AddObject(t, true), raw);
  EXPECT_EQ(static_cast<TDbObj*>(objs.FindTable("T1")), raw);

  std::unique_ptr<TDbObj> refused = std::make_unique<TTblData>(&objs);
  refused->SetName("NOPE");
  EXPECT_EQ(p.AddObject(refused, false), nullptr);
  ASSERT_NE(refused, nullptr) << "a caller that keeps rejected objects keeps them";
  EXPECT_EQ(p.AddObject(refused, true), nullptr);

  std::unique_ptr<TDbObj> dup = std::make_unique<TTblData>(&objs);
  dup->SetName("T1");
  EXPECT_EQ(p.AddObject(dup, false), nullptr);
  EXPECT_NE(dup, nullptr);

  TCustomSQLParser alone(nullptr);
  std::unique_ptr<TDbObj> loose = std::make_unique<TTblData>(nullptr);
  EXPECT_EQ(alone.AddObject(loose, true), nullptr);
  EXPECT_EQ(loose, nullptr);
}

class ParseFileTest : public ScannerTest {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const auto path = std::filesystem::path(::testing::TempDir()) / name;
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path.string();
  }
};

// Records the identifiers ParseText sees.
struct IdentCollector : TCustomSQLParser {
  IdentCollector() : TCustomSQLParser(nullptr) {}
  void ParseText() override {
    for (NextToken(); TokenKind() != tk::EOFKind; NextToken())
      if (TokenKind() == tk::Ident) idents.push_back(IdentText());
    lines = TotalLines;
  }
  std::vector<std::string> idents;
  int lines = 0;
};

TEST_F(ParseFileTest, Encodings) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> idents;
    int lines;
  };
  const std::string utf16 = std::string("\xFF\xFE", 2) + std::string("a\0\n\0\xE9\0b\0", 8) + "x";
  const std::vector<Case> cases = {
      {"plain.sql", "one\r\ntwo\n", {"ONE", "TWO"}, 2},
      {"utf8bom.sql", "\xEF\xBB\xBFone", {"ONE"}, 0},
      // a, LF, e-acute, b, then a stray odd byte; e-acute is not a name
      // character of the base scanner
      {"utf16.sql", utf16, {"A", "B"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IdentCollector q;
    q.OnErrorMessage = [](TObject*, const std::string&) {};
    EXPECT_TRUE(q.ParseFile(Write(c.name, c.bytes), nullptr));
    EXPECT_EQ(q.idents, c.idents);
    EXPECT_EQ(q.lines, c.lines);
  }
  IdentCollector q;
  q.OnErrorMessage = [](TObject*, const std::string&) {};
  q.ParseFile(Write("wide.sql", utf16), nullptr);
  ASSERT_EQ(q.Messages().Count(), 1);
  EXPECT_EQ(q.Messages()[0].Text, "Invalid char in source text: \"\xC3\xA9\".");
}

TEST_F(ParseFileTest, MissingFileIsAnError) {
  EXPECT_FALSE(p.ParseFile("/nonexistent/dir/script.sql", nullptr));
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0], "Cannot open file: /nonexistent/dir/script.sql");
  EXPECT_EQ(events.size(), 1u);
}

TEST(TextRoutines, NormalizeScriptText) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"", ""},
      {"  \r\n ", ""},
      {"\r\n  select 1  \n from t \t\r\n\r\n", "select 1\r\n from t"},
      {"a\rb", "a\r\nb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(NormalizeScriptText(c.in), c.out);
  }
}

TEST(TextRoutines, StripOuterParens) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"((0))", "(0)"},
      {"(((1)))", "(1)"},
      {"(0)", "(0)"},
      {"((1)+(2))", "(1)+(2)"},
      // The outer pair does not enclose the whole: stripping would break it.
      {"((a)) + ((b))", "((a)) + ((b))"},
      {"(('(a'))", "('(a')"},
      {"(([x)]))", "([x)])"},
      {"", ""},
      {"(())", "()"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(StripOuterParens(c.in), c.out);
  }
}

// ---------------------------------------------------------- bounded work

// Counts every token the scanner produces, look-aheads included.
class CountingParser : public TCustomSQLParser {
 public:
  explicit CountingParser(TDatabaseType t) : TCustomSQLParser(nullptr, t) {
    OnErrorMessage = [](TObject*, const std::string&) {};
  }
  long tokens = 0;

 protected:
  void AfterToken() override { ++tokens; }
};

std::string RandomText(std::mt19937& rng) {
  // clang-format off
  static const char* const pieces[] = {
      "'", "\"", "`", "/*", "*/", "--", "\n", "\r\n", "!", "=", "<", ">", "|", "||", "1",
      "42", ".", "..", "E", "e", "+", "-", "a", "Zz", "_", "#", "^", ";", "(", ")", "\\",
      "\x80", "\xC3\xA9", std::string_view("\0", 1).data(), " ", "\t", "\x1A", "GO", "//",
      "9999999999999999999999", "1E999", "$", "@", "%", "&", "[", "]", ",", "*", ":",
  };
  // clang-format on
  const std::size_t n = rng() % 120;
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t r = rng();
    if (r % 8 == 0) {
      s += static_cast<char>(rng() & 0xFF);
    } else {
      const char* piece = pieces[(r >> 3) % std::size(pieces)];
      s += *piece ? std::string(piece) : std::string(1, '\0');
    }
  }
  return s;
}

TEST(BoundedWork, TokensStayWithinAFixedMultipleOfTheInput) {
  std::mt19937 rng(20240611);
  const TDatabaseType types[] = {TDatabaseType::dbInterBase, TDatabaseType::dbMySQL,
                                 TDatabaseType::dbMSSQL, TDatabaseType::dbAbstract};
  const char* terminators[] = {";", "^", "GO", "//", "\r\n"};
  for (int run = 0; run < 3000; ++run) {
    const std::string text = RandomText(rng);
    SCOPED_TRACE(::testing::PrintToString(text));
    CountingParser p(types[rng() % 4]);
    p.SetTerminator(terminators[rng() % 5]);
    p.SetSource(text);
    const long budget = static_cast<long>(text.size()) + 3;
    long steps = 0;
    // A random mix of the consuming operations the grammars use, each
    // preceded by a look at the current token.
    while (!(p.AtEnd() && p.TokenKind() == tk::EOFKind)) {
      ASSERT_LE(++steps, budget) << "an operation did not move on";
      const TTokenKind kind = static_cast<TTokenKind>(rng() % 32);
      p.Expect(kind);
      std::string expr;
      switch (rng() % 6) {
        case 0: p.NextToken(); break;
        case 1: p.ExpectAndNext(kind); break;
        case 2: p.NextAndExpect(kind); break;
        case 3:
          p.NextToken();
          p.SkipTo(KindSet({kind, tk::Terminator}));
          break;
        case 4:
          p.ScanExpression(expr);
          p.NextToken();
          break;
        default:
          p.SkipLine();
          p.NextToken();
          break;
      }
    }
    EXPECT_LE(p.tokens, 3 * budget);
    EXPECT_LE(p.Messages().Count(), 4 * budget);
  }
}

}  // namespace
}  // namespace qor
