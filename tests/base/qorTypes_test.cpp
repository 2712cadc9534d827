// Shared types: the ordinals other layers store and compare, the literal
// quoting per dialect, terminators, integer parsing and the Oracle records.
#include "base/qorTypes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <utility>
#include <string>

namespace qor {
namespace {

using DT = TDatabaseType;

template <class E>
constexpr int Ord(E e) {
  return static_cast<int>(e);
}

// Dialect decisions test these numbers; settings and masks store them.
TEST(SharedTypes, OrdinalsThatOtherLayersDependOn) {
  EXPECT_EQ(Ord(DT::dbInterBase), 1);
  EXPECT_EQ(Ord(DT::dbSybaseASA), 2);
  EXPECT_EQ(Ord(DT::dbMySQL), 3);
  EXPECT_EQ(Ord(DT::dbOracle), 4);
  EXPECT_EQ(Ord(DT::dbMSSQL), 5);
  EXPECT_EQ(Ord(DT::dbPostgreSQL), 6);
  EXPECT_EQ(Ord(DT::dbDB2), 7);
  EXPECT_EQ(Ord(DT::dbSybaseASE), 8);
  EXPECT_EQ(Ord(DT::dbMSAccess), 10);
  EXPECT_EQ(Ord(DT::dbParadox), 11);
  EXPECT_EQ(Ord(DT::dbCustomOLEDB), 13);
  EXPECT_EQ(Ord(DT::dbCustomOLEDB) + 1, static_cast<int>(kDatabaseTypeCount));
  EXPECT_EQ(ServerNo(DT::dbMSSQL), 5);

  EXPECT_EQ(Ord(TconnectionType::cnIBX), 1);
  EXPECT_EQ(Ord(TconnectionType::cnADO), 4);
  EXPECT_EQ(Ord(TconnectionType::cnUniDAC), 16);
  EXPECT_EQ(TConnectionSetType::Size(), 17u);

  EXPECT_EQ(Ord(TQORProtocol::ptTCP), 0);
  EXPECT_EQ(Ord(TQORProtocol::ptLocal), 3);
  EXPECT_EQ(Ord(TUpdateDescriptionType::udComment), 2);

  EXPECT_EQ(Ord(TDbObject::dboTable), 1);
  EXPECT_EQ(Ord(TDbObject::dboField), 11);
  EXPECT_EQ(Ord(TDbObject::dboConstraint), 16);
  EXPECT_EQ(Ord(TDbObject::dboRole), 23);
  EXPECT_EQ(Ord(TDbObject::dboSchema), 30);
  EXPECT_EQ(Ord(TDbObject::dboDepend), 41);
  EXPECT_EQ(Ord(TDbObject::dboPrkList), 42);
  EXPECT_EQ(Ord(TDbObject::dboTblLIst), 62);
  EXPECT_EQ(Ord(TDbObject::dboUseOfList), 70);
  EXPECT_EQ(kDbObjectCount, 71u);

  EXPECT_EQ(Ord(TIBSQLServerVersionType::st_InterBase_6x), 2);
  EXPECT_EQ(Ord(TIBSQLServerVersionType::st_Firebird_25), 10);
  EXPECT_EQ(Ord(TIBSQLServerVersionType::st_InterBase_2020) + 1, static_cast<int>(kIBVersionCount));
  EXPECT_EQ(Ord(TMSSQLServerVersionType::st_MSSQL2017), 6);
  EXPECT_EQ(Ord(TMSSQLServerVersionType::st_MSSQL2019), 7);
  EXPECT_EQ(Ord(TPGSQLServerVersionType::st_PostgreSQL_14x), 7);
  EXPECT_EQ(Ord(TOracleServerVersionType::st_Oracle_21x), 8);
  EXPECT_EQ(Ord(TMySQLServerVersionType::st_MariaDB_10x), 4);
  EXPECT_EQ(Ord(TASAServerVersionType::st_ASA9), 4);
  EXPECT_EQ(Ord(TDB2ServerVersionType::st_DB2_11x), 3);
}

TEST(SharedTypes, CmpObjSetIsA23BitMask) {
  EXPECT_EQ(Ord(TCmpObjType::coDescription), 22);
  EXPECT_EQ(TCmpObjSetType::All().ToMask(), (std::uint64_t{1} << 23) - 1);
  const TCmpObjSetType some{TCmpObjType::coDomain, TCmpObjType::coTable,
                            TCmpObjType::coDescription};
  EXPECT_EQ(some.ToMask(), (1u << 0) | (1u << 4) | (1u << 22));
  // Bits beyond the 23 kinds are dropped when a stored mask is read back.
  EXPECT_EQ(TCmpObjSetType::FromMask(~std::uint64_t{0}), TCmpObjSetType::All());
}

TEST(SharedTypes, QuoteStringLiteralPerDialect) {
  struct Case {
    const char* name;
    DT type;
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"IB plain", DT::dbInterBase, "abc", "'abc'"},
      {"IB empty", DT::dbInterBase, "", "''"},
      {"IB quote doubled", DT::dbInterBase, "it's", "'it''s'"},
      {"IB backslash kept", DT::dbInterBase, "a\\b\r\n", "'a\\b\r\n'"},
      {"MSSQL quotes", DT::dbMSSQL, "''", "''''''"},
      {"Oracle quote", DT::dbOracle, "O'Neil", "'O''Neil'"},
      {"ASE double quote untouched", DT::dbSybaseASE, "say \"hi\"", "'say \"hi\"'"},
      {"abstract type doubles too", DT::dbAbstract, "'", "''''"},
      {"MySQL empty", DT::dbMySQL, "", "''"},
      {"MySQL backslash then line feed", DT::dbMySQL, "\\\n", "'\\\\\\n'"},
      {"MySQL quotes", DT::dbMySQL, "a'b\"c", "'a\\'b\\\"c'"},
      {"MySQL controls", DT::dbMySQL, std::string("\r\b\x1a\t\0x", 6), "'\\r\\b\\z\\t\\0x'"},
      {"MySQL other bytes kept", DT::dbMySQL, "\x01\xC3\xA9", "'\x01\xC3\xA9'"},
      {"PG backslash between letters", DT::dbPostgreSQL, "a\\b", "'a\\x5cb'"},
      {"PG quote doubled", DT::dbPostgreSQL, "it's", "'it''s'"},
      {"PG controls", DT::dbPostgreSQL, std::string("\b\t\0", 3), "'\\b\\t\\x00'"},
      {"PG line breaks and double quote kept", DT::dbPostgreSQL, "\r\n\"", "'\r\n\"'"},
      {"PG empty", DT::dbPostgreSQL, "", "''"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(QuoteStringLiteral(c.text, c.type), c.expected);
  }
}

TEST(SharedTypes, StatementTerminator) {
  EXPECT_EQ(GetStatementTerminator(DT::dbInterBase), ";\r\n");
  EXPECT_EQ(GetStatementTerminator(DT::dbSybaseASA), "\r\ngo\r\n");
  EXPECT_EQ(GetStatementTerminator(DT::dbSybaseASE), "\r\ngo\r\n");
  EXPECT_EQ(GetStatementTerminator(DT::dbMSSQL), "\r\nGO\r\n");
  EXPECT_EQ(GetStatementTerminator(DT::dbMySQL), ";\r\n");
  EXPECT_EQ(GetStatementTerminator(DT::dbPostgreSQL), ";\r\n");
  EXPECT_EQ(GetStatementTerminator(DT::dbAbstract), ";\r\n");
}

// Each server kind maps to the dialect that writes its text; the kinds with
// no DDL of their own all write the generic text.
TEST(SharedTypes, ScriptDialectOfEveryServerKind) {
  using SD = TScriptDialect;
  // clang-format off
  const std::pair<DT, SD> cases[] = {
      {DT::dbAbstract, SD::sdGeneric},     {DT::dbInterBase, SD::sdInterBase},
      {DT::dbSybaseASA, SD::sdASA},        {DT::dbMySQL, SD::sdMySQL},
      {DT::dbOracle, SD::sdOracle},        {DT::dbMSSQL, SD::sdMSSQL},
      {DT::dbPostgreSQL, SD::sdPostgreSQL}, {DT::dbDB2, SD::sdDB2},
      {DT::dbSybaseASE, SD::sdASE},        {DT::dbPervasiveSQL, SD::sdGeneric},
      {DT::dbMSAccess, SD::sdGeneric},     {DT::dbParadox, SD::sdGeneric},
      {DT::dbDBASE, SD::sdGeneric},        {DT::dbCustomOLEDB, SD::sdGeneric},
  };
  // clang-format on
  static_assert(std::size(cases) == kDatabaseTypeCount);
  for (const auto& [type, dialect] : cases)
    EXPECT_EQ(ScriptDialect(type), dialect) << "server kind " << Ord(type);
  EXPECT_EQ(ScriptDialect(static_cast<DT>(kDatabaseTypeCount)), SD::sdGeneric);
}

TEST(SharedTypes, StrToIntOkTakesWholeDecimalTextOnly) {
  struct Case {
    const char* text;
    bool ok;
    std::int32_t value;
  };
  const Case cases[] = {
      {"0", true, 0},
      {"42", true, 42},
      {"-17", true, -17},
      {"+17", true, 17},
      {"007", true, 7},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"99999999999999999999", false, 0},
      {"", false, 0},
      {"+", false, 0},
      {"-", false, 0},
      {"+-1", false, 0},
      {"-+1", false, 0},
      {"--1", false, 0},
      {"++1", false, 0},
      {" 1", false, 0},
      {"1 ", false, 0},
      {" ", false, 0},
      {"12abc", false, 0},
      {"1.5", false, 0},
      {"0x10", false, 0},
      {"$10", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\"");
    std::int32_t v = -99;
    EXPECT_EQ(StrToIntOk(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
}

TEST(SharedTypes, QualifyNameAndCharSet) {
  EXPECT_EQ(QualifyName("", "T"), "T");
  EXPECT_EQ(QualifyName("S", "T"), "S.T");
  EXPECT_EQ(QualifyName("dbo", "\"a b\""), "dbo.\"a b\"");

  const TCharSet digits = TCharSet().IncludeRange('0', '9');
  EXPECT_TRUE(IsInCharSet('5', digits));
  EXPECT_FALSE(IsInCharSet('a', digits));
  // Only the low 8 bits count.
  EXPECT_TRUE(IsInCharSet(0x100 + '5', digits));
}

TEST(SharedTypes, TableSpaceStorageSQL) {
  struct Case {
    const char* name;
    TTableSpace ts;
    std::string expected;
  };
  TTableSpace onlyMax;
  onlyMax.MaxTrans = 255;
  TTableSpace all;
  all.PctFree = 10;
  all.PctUsed = 40;
  all.IniTrans = 2;
  all.MaxTrans = -1;
  all.Storage = "(initial 64K)";
  all.TableSpace = "users";
  TTableSpace storageOnly;
  storageOnly.Storage = "(next 1M)  \r\n";
  const Case cases[] = {
      {"nothing set", TTableSpace{}, ""},
      {"only maxtrans", onlyMax, "maxtrans 255"},
      {"everything, in order", all,
       "pctfree 10\r\n   pctused 40\r\n   initrans 2\r\n   maxtrans -1\r\n"
       "   storage\r\n(initial 64K)   users"},
      {"trailing blanks of the storage text trimmed", storageOnly, "storage\r\n(next 1M)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.ts.GetStorageSQL(), c.expected);
  }
}

TEST(SharedTypes, TypeDirectiveText) {
  struct Case {
    bool notInst, notFinal, fin, inst, over;
    const char* expected;
  };
  const Case cases[] = {
      {false, false, false, false, false, ""},
      {false, false, true, false, true, "OVERRIDING FINAL "},
      {false, true, false, false, false, "NOT FINAL"},
      {true, true, false, false, false, "NOT INSTANTIABLE NOT FINAL"},
      {false, true, false, true, false, "NOT FINAL INSTANTIABLE "},
      {true, true, true, true, true, "OVERRIDING NOT INSTANTIABLE NOT FINAL INSTANTIABLE FINAL "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    TTypeDirective d;
    d.NotInstantiable = c.notInst;
    d.NotFinal = c.notFinal;
    d.Final = c.fin;
    d.Instantiable = c.inst;
    d.Overriding = c.over;
    EXPECT_EQ(d.GetText(), c.expected);
  }
}

TEST(SharedTypes, IndexOptionsClearZeroesEverything) {
  TIndexOptions o;
  o.PadIndex = 1;
  o.FillFactor = 80;
  o.IgnoreDupKey = o.StatisticsNoRecompute = o.AllowRowLocks = o.AllowPageLocks = true;
  o.SortInTempDb = o.DropExisting = o.Online = true;
  o.Reserved1 = o.Reserved2 = 7;
  o.Clear();
  EXPECT_EQ(o.PadIndex, 0);
  EXPECT_EQ(o.FillFactor, 0);
  EXPECT_FALSE(o.IgnoreDupKey || o.StatisticsNoRecompute || o.AllowRowLocks || o.AllowPageLocks ||
               o.SortInTempDb || o.DropExisting || o.Online);
  EXPECT_EQ(o.Reserved1, 0);
  EXPECT_EQ(o.Reserved2, 0);
}

}  // namespace
}  // namespace qor
