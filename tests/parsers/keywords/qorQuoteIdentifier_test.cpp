// Identifier quoting through the dispatch, dialect by dialect: the character
// rules, the keyword and reserved-word tests, case handling, and quote
// characters inside a quoted name.
#include "parsers/keywords/qorQuoteIdentifier.h"

#include <gtest/gtest.h>

#include <utility>

#include <string>

#include "parsers/keywords/qorASAParser.h"
#include "parsers/keywords/qorDB2Parser.h"
#include "parsers/keywords/qorLocalSQLParser.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "parsers/keywords/qorMySQLKeywords.h"
#include "parsers/keywords/qorOracleParser.h"
#include "parsers/keywords/qorPGSQLParser.h"
#include "platform/qorStrings.h"

namespace qor {
namespace {

using DB = TDatabaseType;
using V = TIBSQLServerVersionType;

// The numbers dialect decisions are made on.
static_assert(ServerNo(DB::dbMSAccess) == 10);
static_assert(ServerNo(DB::dbParadox) == 11);
static_assert(ServerNo(DB::dbDBASE) == 12);
static_assert(ServerNo(DB::dbCustomOLEDB) == 13);

struct Case {
  DB server;
  const char* name;
  const char* quoted;
};

std::string Quote(DB server, std::string_view name) {
  return QuoteIdentifier(name, server, V::st_Firebird_25, 3);
}

std::string Bracketed(std::string_view w) {
  std::string out(1, '[');
  out.append(w);
  out.push_back(']');
  return out;
}

void RunCases(std::span<const Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(ServerNo(c.server)) + ": " + c.name);
    EXPECT_EQ(Quote(c.server, c.name), c.quoted);
  }
}

TEST(QuoteIdentifier, InterBaseDialect3) {
  struct IbCase {
    V version;
    const char* name;
    const char* quoted;
  };
  const IbCase cases[] = {
      {V::st_Firebird_25, "Name", "\"Name\""},
      {V::st_Firebird_25, "NAME", "NAME"},
      {V::st_Firebird_25, "DAY", "\"DAY\""},
      {V::st_Firebird_25, "SELECT", "\"SELECT\""},
      {V::st_Firebird_25, "", ""},
      {V::st_Firebird_25, "my col", "\"my col\""},
      {V::st_Firebird_25, "A\"B", "\"A\"\"B\""},  // stays one identifier
      {V::st_Firebird_25, "\"", "\"\"\"\""},
      {V::st_Firebird_30, "ACTIVE", "ACTIVE"},
      {V::st_Firebird_30, "RETURN", "\"RETURN\""},
      {V::st_InterBase_2020, "BIGINT", "BIGINT"},
      {V::st_InterBase_2020, "NAME", "\"NAME\""},
  };
  for (const IbCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(QuoteIdentifier(c.name, DB::dbInterBase, c.version, 3), c.quoted);
  }
}

TEST(QuoteIdentifier, InterBaseDialects1And2NeverQuote) {
  for (int dialect : {1, 2}) {
    SCOPED_TRACE(dialect);
    for (const char* name : {"SELECT", "Name", "my col", "A\"B", "DAY"})
      EXPECT_EQ(QuoteIdentifier(name, DB::dbInterBase, V::st_Firebird_25, dialect), name);
  }
}

TEST(QuoteIdentifier, SybaseASA) {
  // clang-format off
  const Case cases[] = {
      {DB::dbSybaseASA, "order", "\"ORDER\""},   // reserved: upper-cased, then quoted
      {DB::dbSybaseASA, "Backup", "\"BACKUP\""},  // reserved-word list
      {DB::dbSybaseASA, "remame", "\"REMAME\""},  // keyword table
      {DB::dbSybaseASA, "my-col", "\"my-col\""},  // character rule: case kept
      {DB::dbSybaseASA, "Customer", "Customer"},  // case alone needs no quotes
      {DB::dbSybaseASA, "#tmp", "#tmp"},
      {DB::dbSybaseASA, "@v", "@v"},
      {DB::dbSybaseASA, "$a1_b#", "$a1_b#"},
      {DB::dbSybaseASA, "1abc", "\"1abc\""},
      {DB::dbSybaseASA, "a@b", "a@b"},
      {DB::dbSybaseASA, "\xC3\xA4", "\"\xC3\xA4\""},
      {DB::dbSybaseASA, "a\"b", "\"a\"\"b\""},
      {DB::dbSybaseASA, "", ""},
  };
  // clang-format on
  RunCases(cases);
}

TEST(QuoteIdentifier, MySQL) {
  const Case cases[] = {
      {DB::dbMySQL, "orders", "`orders`"},
      {DB::dbMySQL, "ORDERS", "ORDERS"},
      {DB::dbMySQL, "ORDER", "`ORDER`"},
      {DB::dbMySQL, "Order", "`Order`"},
      {DB::dbMySQL, "TEXT", "TEXT"},  // a parser keyword, not a reserved word
      // Bare only when read back as the same one name.
      {DB::dbMySQL, "MY COL", "`MY COL`"},
      {DB::dbMySQL, "A-B", "`A-B`"},
      {DB::dbMySQL, "A\nB", "`A\nB`"},
      {DB::dbMySQL, "1E5", "`1E5`"},
      {DB::dbMySQL, "A.B", "`A.B`"},
      {DB::dbMySQL, "\xC3\x84", "`\xC3\x84`"},
      {DB::dbMySQL, "A_1$", "A_1$"},
      {DB::dbMySQL, "$A", "`$A`"},
      {DB::dbMySQL, "a`b", "`a``b`"},
      {DB::dbMySQL, "", ""},
  };
  RunCases(cases);
}

TEST(QuoteIdentifier, MSSQL) {
  // clang-format off
  const Case cases[] = {
      {DB::dbMSSQL, "<table name>", "<table name>"},  // a placeholder
      {DB::dbMSSQL, "<", "<"},
      {DB::dbMSSQL, "User", "[User]"},
      {DB::dbMSSQL, "#tmp", "#tmp"},
      {DB::dbMSSQL, "##global", "##global"},
      {DB::dbMSSQL, "Orders", "Orders"},
      {DB::dbMSSQL, "a@b$1", "a@b$1"},
      {DB::dbMSSQL, "@v", "[@v]"},  // @ may not start
      {DB::dbMSSQL, "$A", "[$A]"},  // nor may $
      {DB::dbMSSQL, "A B", "[A B]"},
      {DB::dbMSSQL, "GOTO_X", "GOTO_X"},
      {DB::dbMSSQL, "9lives", "[9lives]"},
      {DB::dbMSSQL, "my col", "[my col]"},
      {DB::dbMSSQL, "DUMMY", "[DUMMY]"},  // reserved, not in the keyword table
      {DB::dbMSSQL, "go", "[go]"},  // a bare GO would end the batch for a reader
      {DB::dbMSSQL, "TEXT", "TEXT"},
      {DB::dbMSSQL, "a]b", "[a]]b]"},  // stays one identifier
      {DB::dbMSSQL, "]", "[]]]"},
      {DB::dbMSSQL, "", ""},
  };
  // clang-format on
  RunCases(cases);
}

TEST(QuoteIdentifier, PostgreSQL) {
  // clang-format off
  const Case cases[] = {
      {DB::dbPostgreSQL, "orders", "orders"},
      {DB::dbPostgreSQL, "Orders", "\"Orders\""},
      {DB::dbPostgreSQL, "user", "\"user\""},
      {DB::dbPostgreSQL, "_a$1", "_a$1"},
      {DB::dbPostgreSQL, "$a", "\"$a\""},
      {DB::dbPostgreSQL, "1a", "\"1a\""},
      {DB::dbPostgreSQL, "a\"b", "\"a\"\"b\""},
      {DB::dbPostgreSQL, "", ""},
  };
  // clang-format on
  RunCases(cases);
}

TEST(QuoteIdentifier, DB2) {
  // clang-format off
  const Case cases[] = {
      {DB::dbDB2, "ALIAS", "\"ALIAS\""},
      {DB::dbDB2, "alias", "\"alias\""},
      {DB::dbDB2, "MY_TBL", "MY_TBL"},
      {DB::dbDB2, "A@B#$1", "A@B#$1"},
      {DB::dbDB2, "@A", "\"@A\""},
      {DB::dbDB2, "Emp", "\"Emp\""},
      {DB::dbDB2, "ORDER", "ORDER"},  // not a keyword of this table
      {DB::dbDB2, "A\"B", "\"A\"\"B\""},
      {DB::dbDB2, "", ""},
  };
  // clang-format on
  RunCases(cases);
}

TEST(QuoteIdentifier, Oracle) {
  const Case cases[] = {
      {DB::dbOracle, "ROWNUM", "\"ROWNUM\""},
      {DB::dbOracle, "EMP", "EMP"},
      {DB::dbOracle, "emp", "\"emp\""},
      {DB::dbOracle, "A#$_1", "A#$_1"},
      {DB::dbOracle, "A@B", "\"A@B\""},  // no @ in Oracle names
      {DB::dbOracle, "_A", "\"_A\""},
      {DB::dbOracle, "A\"B", "\"A\"\"B\""},
      {DB::dbOracle, "", ""},
  };
  RunCases(cases);
}

TEST(QuoteIdentifier, LocalSQLForParadoxAndDBase) {
  for (DB db : {DB::dbParadox, DB::dbDBASE}) {
    // clang-format off
    const Case cases[] = {
        {db, "my col", "my col"},  // characters are not tested
        {db, "order", "\"order\""},
        {db, "Order", "\"Order\""},
        {db, "IACTIVE", "\"IACTIVE\""},
        {db, "ACTIVE", "ACTIVE"},
        {db, "\xC4\xB1" "f", "\"\xC4\xB1" "f\""},  // dotless i folds onto IF
        {db, "", ""},
    };
    // clang-format on
    RunCases(cases);
  }
}

// Adaptive Server: the T-SQL rule and brackets, with its own reserved words.
TEST(QuoteIdentifier, AdaptiveServerBracketsWhatNeedsIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"ORDERS", "ORDERS"},   {"order", "[order]"}, {"LOCK", "[LOCK]"},
      {"my col", "[my col]"}, {"a]b", "[a]]b]"},    {"go", "[go]"},
  };
  for (const auto& [name, quoted] : cases) EXPECT_EQ(Quote(DB::dbSybaseASE, name), quoted) << name;
}

TEST(QuoteIdentifier, OtherServersKeepTheName) {
  for (DB db : {DB::dbAbstract, DB::dbPervasiveSQL, DB::dbMSAccess, DB::dbCustomOLEDB}) {
    SCOPED_TRACE(ServerNo(db));
    for (const char* name : {"order", "SELECT", "my col", "a]b\"c`", ""})
      EXPECT_EQ(Quote(db, name), name);
  }
}

// Whatever a table holds must come out quoted, in the case each rule tests.
TEST(QuoteIdentifier, EveryKeywordAndReservedWordIsQuoted) {
  auto isWord = [](std::string_view w) {
    return !w.empty() && std::all_of(w.begin(), w.end(), [](char c) {
      return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$';
    });
  };
  auto check = [&](DB db, TResWordTable table, bool lower) {
    SCOPED_TRACE(ServerNo(db));
    for (const TResWordSymb& s : table) {
      if (!isWord(s.Name)) continue;
      const std::string name = lower ? LowerAscii(s.Name) : std::string(s.Name);
      EXPECT_NE(Quote(db, name), name) << s.Name;
    }
  };
  check(DB::dbSybaseASA, ASAKeywordTable(), false);
  check(DB::dbMSSQL, MSSQLKeywordTable(), false);
  check(DB::dbDB2, DB2KeywordTable(), false);
  check(DB::dbParadox, LocalSQLKeywordTable(), false);
  check(DB::dbPostgreSQL, PGKeywordTable(), true);
  check(DB::dbOracle, OracleKeywordTable(), false);
  for (std::string_view w : ASAReservedWords())
    EXPECT_EQ(Quote(DB::dbSybaseASA, LowerAscii(w)), QuotedStr(w, '"'));
  for (std::string_view w : MySQLReservedWords())
    EXPECT_EQ(Quote(DB::dbMySQL, w), QuotedStr(w, '`'));
  for (std::string_view w : MSSQLReservedWords()) EXPECT_EQ(Quote(DB::dbMSSQL, w), Bracketed(w));
}

}  // namespace
}  // namespace qor
