// Option objects: start values, the copy rules of Assign (partial copies,
// derived classes, the assignment error), version names and the rendered
// texts (SET NAMES, MySQL table options, ASE option names).
#include "base/qorDBOptions.h"

#include <gtest/gtest.h>

#include <string>

namespace qor {
namespace {

using DT = TDatabaseType;

// Runs Assign and returns the error text, or "" when it succeeded.
std::string AssignError(TPersistent& dest, const TPersistent& src) {
  try {
    dest.Assign(src);
  } catch (const EQorError& e) {
    return e.what();
  }
  return "";
}

TEST(OptionObjects, StartValues) {
  const TConnectionOptions co;
  EXPECT_EQ(co.Protocol, TQORProtocol::ptTCP);
  EXPECT_EQ(co.Port, 0);
  EXPECT_FALSE(co.UseWindowsAuthentication);
  EXPECT_TRUE(co.DatabaseName.empty() && co.HostName.empty() && co.ConnectionString.empty());

  const TIBServerOptions ib;
  EXPECT_EQ(ib.SQLServerVersion, TIBSQLServerVersionType::st_Firebird_25);
  EXPECT_EQ(ib.SQLDialect, 3);
  EXPECT_EQ(ib.GetDBCharSet(), "");
  const TIBCompareOptions& ic = ib.IBCompareOptions;
  EXPECT_FALSE(ic.DbCharsetCompare || ic.FldCharsetCompare || ic.ModifySystemTables ||
               ic.GenerateCOMMIT || ic.AllowDataTypeConversion);
  EXPECT_EQ(ic.UpdateDescriptionMode, TUpdateDescriptionType::udSysTables);
  EXPECT_TRUE(ic.UseRECONNECT && ic.UpdateFieldPosition && ic.ExtractOnlyComparedObjects &&
              ic.IgnoreIBEObjects);
  EXPECT_EQ(ib.IBDatabaseOptions.ODSMajorVersion, 0);
  EXPECT_EQ(TIBEngineOptions().SQLDialect, 3);

  // The stated defaults are st_MSSQL2017 and st_PostgreSQL_12x; new objects
  // start lower.
  const TMSSQLServerOptions ms;
  EXPECT_EQ(ms.SQLServerVersion, TMSSQLServerVersionType::st_MSSQL2000);
  EXPECT_FALSE(ms.MSSQLCompareOptions.IgnoreFileGroup);
  EXPECT_TRUE(ms.MSSQLCompareOptions.IgnoreSysName);
  EXPECT_FALSE(ms.MSSQLCompareOptions.CaseSensitiveIdentifiers);
  EXPECT_FALSE(ms.MSSQLCompareOptions.UpdateColumnPosition);
  EXPECT_EQ(TPGSQLServerOptions().SQLServerVersion, TPGSQLServerVersionType::st_PostgreSQL_8x);

  const TMySQLServerOptions my;
  EXPECT_EQ(my.SQLServerVersion, TMySQLServerVersionType::st_MySQL_5x);
  EXPECT_TRUE(my.MySQLCompareOptions.CaseSensitiveIdentifiers);

  const TASAServerOptions asa;
  EXPECT_EQ(asa.SQLServerVersion, TASAServerVersionType::st_ASA9);
  EXPECT_FALSE(asa.ASACompareOptions.CaseSensitiveIdentifiers);
  EXPECT_TRUE(asa.ASADatabaseOptions.Flag1 && asa.ASADatabaseOptions.Flag2);
  EXPECT_EQ(asa.ASADatabaseOptions.Number1, 0);

  const TASEServerOptions ase;
  EXPECT_EQ(ase.SQLServerVersion, TASEServerVersionType::st_ASE12);
  EXPECT_FALSE(ase.ASECompareOptions.IgnoreFileGroup);
  EXPECT_TRUE(ase.ASECompareOptions.IgnoreSysName);
  EXPECT_FALSE(ase.ASECompareOptions.CaseSensitiveIdentifiers);
  EXPECT_TRUE(ase.ASECompareOptions.CompareDBOptions);
  EXPECT_TRUE(ase.ASEDatabaseOptions.DBOptions.Empty());

  EXPECT_EQ(TOracleServerOptions().SQLServerVersion, TOracleServerVersionType::st_Oracle_10x);
  EXPECT_EQ(TDB2ServerOptions().SQLServerVersion, TDB2ServerVersionType::st_DB2_8x);

  const TScriptOptions so;
  EXPECT_TRUE(so.GenerateScript && so.Connect && so.SQLDialect && so.DBCharSet);
  EXPECT_FALSE(so.LocalSQL);
  EXPECT_TRUE(so.FloatFormat.empty() && so.DateTimeFormat.empty());
}

TEST(OptionObjects, ConnectionOptionsCopyEveryField) {
  TConnectionOptions src;
  src.DatabaseName = "db";
  src.UserName = "u";
  src.Password = "p";
  src.RoleName = "r";
  src.Reserved1 = "x1";
  src.Reserved2 = "x2";
  src.Reserved3 = "x3";
  src.Port = 3050;
  src.HostName = "h";
  src.Protocol = TQORProtocol::ptLocal;
  src.UseWindowsAuthentication = true;
  src.ConnectionString = "cs";
  src.ClientLibrary = "lib.so";
  TConnectionOptions dst;
  dst.Assign(src);
  EXPECT_EQ(dst.DatabaseName, "db");
  EXPECT_EQ(dst.UserName, "u");
  EXPECT_EQ(dst.Password, "p");
  EXPECT_EQ(dst.RoleName, "r");
  EXPECT_EQ(dst.Reserved1, "x1");
  EXPECT_EQ(dst.Reserved2, "x2");
  EXPECT_EQ(dst.Reserved3, "x3");
  EXPECT_EQ(dst.Port, 3050);
  EXPECT_EQ(dst.HostName, "h");
  EXPECT_EQ(dst.Protocol, TQORProtocol::ptLocal);
  EXPECT_TRUE(dst.UseWindowsAuthentication);
  EXPECT_EQ(dst.ConnectionString, "cs");
  EXPECT_EQ(dst.ClientLibrary, "lib.so");
}

TEST(OptionObjects, DBCharSetIsUpperCasedBySetterAndAssign) {
  TIBServerOptions a;
  a.SetDBCharSet("win1252");
  EXPECT_EQ(a.GetDBCharSet(), "WIN1252");
  a.SetDBCharSet("utf8_é");
  EXPECT_EQ(a.GetDBCharSet(), "UTF8_É");

  TIBServerOptions b;
  b.Assign(a);
  EXPECT_EQ(b.GetDBCharSet(), "UTF8_É");
}

// Fills every field so a copy can be told from a fresh object.
void FillIB(TIBServerOptions& o) {
  o.SQLServerVersion = TIBSQLServerVersionType::st_InterBase_75;
  o.SQLDialect = 1;
  o.SetDBCharSet("iso8859_1");
  TIBCompareOptions& c = o.IBCompareOptions;
  c.DbCharsetCompare = c.FldCharsetCompare = c.ModifySystemTables = true;
  c.GenerateCOMMIT = c.AllowDataTypeConversion = true;
  c.UpdateDescriptionMode = TUpdateDescriptionType::udComment;
  c.UseRECONNECT = c.UpdateFieldPosition = c.ExtractOnlyComparedObjects = false;
  c.IgnoreIBEObjects = false;
  TIBDatabaseOptions& d = o.IBDatabaseOptions;
  d.Version = "WI-V3.0";
  d.ServerImplementation = "impl";
  d.ODSMajorVersion = 12;
  d.ODSMinorVersion = 2;
  d.PageSize = 8192;
  d.ForcedWrites = 1;
  d.SweepInterval = 20000;
  d.ReadOnly = 1;
  d.NumBuffers = 2048;
  d.DBImplementationNo = 3;
  d.DBImplementationClass = 4;
  d.DBSQLDialect = 1;
}

void ExpectIBCopied(const TIBServerOptions& o) {
  EXPECT_EQ(o.SQLServerVersion, TIBSQLServerVersionType::st_InterBase_75);
  EXPECT_EQ(o.SQLDialect, 1);
  EXPECT_EQ(o.GetDBCharSet(), "ISO8859_1");
  const TIBCompareOptions& c = o.IBCompareOptions;
  EXPECT_TRUE(c.DbCharsetCompare && c.FldCharsetCompare && c.ModifySystemTables &&
              c.GenerateCOMMIT && c.AllowDataTypeConversion);
  EXPECT_EQ(c.UpdateDescriptionMode, TUpdateDescriptionType::udComment);
  EXPECT_FALSE(c.UpdateFieldPosition || c.ExtractOnlyComparedObjects || c.IgnoreIBEObjects);
  // Not copied: the target keeps its own.
  EXPECT_TRUE(c.UseRECONNECT);
  const TIBDatabaseOptions& d = o.IBDatabaseOptions;
  EXPECT_EQ(d.Version, "WI-V3.0");
  EXPECT_EQ(d.ServerImplementation, "impl");
  EXPECT_EQ(d.ODSMajorVersion, 12);
  EXPECT_EQ(d.ODSMinorVersion, 2);
  EXPECT_EQ(d.PageSize, 8192);
  EXPECT_EQ(d.ForcedWrites, 1);
  EXPECT_EQ(d.SweepInterval, 20000);
  EXPECT_EQ(d.ReadOnly, 1);
  EXPECT_EQ(d.NumBuffers, 2048);
  EXPECT_EQ(d.DBImplementationNo, 3);
  EXPECT_EQ(d.DBImplementationClass, 4);
  EXPECT_EQ(d.DBSQLDialect, 1);
}

TEST(OptionObjects, IBServerAndEngineOptionsAssignEachOther) {
  {
    SCOPED_TRACE("server to server");
    TIBServerOptions src, dst;
    FillIB(src);
    dst.Assign(src);
    ExpectIBCopied(dst);
  }
  {
    SCOPED_TRACE("engine to server");
    TIBEngineOptions src;
    TIBServerOptions dst;
    FillIB(src);
    dst.Assign(src);
    ExpectIBCopied(dst);
  }
  {
    SCOPED_TRACE("server to engine");
    TIBServerOptions src;
    TIBEngineOptions dst;
    FillIB(src);
    dst.Assign(src);
    ExpectIBCopied(dst);
  }
  {
    SCOPED_TRACE("target's UseRECONNECT false stays false");
    TIBServerOptions src, dst;
    dst.IBCompareOptions.UseRECONNECT = false;
    dst.Assign(src);
    EXPECT_FALSE(dst.IBCompareOptions.UseRECONNECT);
  }
}

TEST(OptionObjects, IBDatabaseOptionsClear) {
  TIBServerOptions o;
  FillIB(o);
  o.IBDatabaseOptions.Clear();
  const TIBDatabaseOptions& d = o.IBDatabaseOptions;
  EXPECT_TRUE(d.Version.empty() && d.ServerImplementation.empty());
  EXPECT_EQ(d.ODSMajorVersion | d.ODSMinorVersion | d.PageSize | d.ForcedWrites | d.SweepInterval |
                d.ReadOnly | d.NumBuffers | d.DBImplementationNo | d.DBImplementationClass |
                d.DBSQLDialect,
            0);
}

TEST(OptionObjects, AssignBetweenUnrelatedClassesRaises) {
  struct Case {
    const char* name;
    TPersistent& dest;
    const TPersistent& src;
    const char* message;
  };
  TIBServerOptions ib;
  TMSSQLServerOptions ms;
  TIBCompareOptions ibc;
  TOracleCompareOptions orc;
  TPgSQLCompareOptions pgc;
  TScriptOptions so;
  TConnectionOptions co;
  TMySQLTableOptions mto;
  const Case cases[] = {
      {"ms from ib", ms, ib, "Cannot assign a TIBServerOptions to a TMSSQLServerOptions."},
      {"server from its compare options", ib, ibc,
       "Cannot assign a TIBCompareOptions to a TIBServerOptions."},
      {"empty compare classes", orc, pgc,
       "Cannot assign a TPgSQLCompareOptions to a TOracleCompareOptions."},
      {"script from connection", so, co, "Cannot assign a TConnectionOptions to a TScriptOptions."},
      {"table options from script", mto, so,
       "Cannot assign a TScriptOptions to a TMySQLTableOptions."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AssignError(c.dest, c.src), c.message);
  }
  // The target is left as it was.
  EXPECT_EQ(ms.SQLServerVersion, TMSSQLServerVersionType::st_MSSQL2000);
  // Same-class assignment of a field-less class is fine.
  EXPECT_EQ(AssignError(orc, TOracleCompareOptions()), "");
}

TEST(OptionObjects, MSSQLAssignAndClear) {
  TMSSQLServerOptions src;
  src.DBCharSet = "cp1252";  // kept as given: only the InterBase setter upper-cases
  src.Collation = "Latin1_General_CI_AS";
  src.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2019;
  src.MSSQLCompareOptions.IgnoreFileGroup = true;
  src.MSSQLCompareOptions.IgnoreSysName = false;
  src.MSSQLCompareOptions.CaseSensitiveIdentifiers = true;
  src.MSSQLCompareOptions.UpdateColumnPosition = true;
  TMSSQLDatabaseOptions& d = src.MSSQLDatabaseOptions;
  d.DatabaseCollation = "Latin1_General_CI_AS";
  d.AnsiNullDefault = d.AnsiNullsEnabled = d.QuotedIdentifiersEnabled = 1;
  d.RecursiveTriggersEnabled = 1;
  d.Version = 904;
  d.CompatibilityLevel = 150;

  TMSSQLServerOptions dst;
  dst.Assign(src);
  EXPECT_EQ(dst.DBCharSet, "cp1252");
  EXPECT_EQ(dst.Collation, "Latin1_General_CI_AS");
  EXPECT_EQ(dst.SQLServerVersion, TMSSQLServerVersionType::st_MSSQL2019);
  EXPECT_TRUE(dst.MSSQLCompareOptions.IgnoreFileGroup);
  EXPECT_FALSE(dst.MSSQLCompareOptions.IgnoreSysName);
  EXPECT_TRUE(dst.MSSQLCompareOptions.CaseSensitiveIdentifiers);
  EXPECT_TRUE(dst.MSSQLCompareOptions.UpdateColumnPosition);
  EXPECT_EQ(dst.MSSQLDatabaseOptions.DatabaseCollation, "Latin1_General_CI_AS");
  EXPECT_EQ(dst.MSSQLDatabaseOptions.RecursiveTriggersEnabled, 1);
  EXPECT_EQ(dst.MSSQLDatabaseOptions.Version, 904);
  EXPECT_EQ(dst.MSSQLDatabaseOptions.CompatibilityLevel, 150);

  dst.Clear();
  EXPECT_EQ(dst.SQLServerVersion, TMSSQLServerVersionType::st_MSSQL2000);
  EXPECT_TRUE(dst.DBCharSet.empty() && dst.Collation.empty());
  EXPECT_FALSE(dst.MSSQLCompareOptions.IgnoreFileGroup);
  EXPECT_TRUE(dst.MSSQLCompareOptions.IgnoreSysName);
  EXPECT_FALSE(dst.MSSQLCompareOptions.CaseSensitiveIdentifiers);
  EXPECT_TRUE(dst.MSSQLCompareOptions.UpdateColumnPosition);  // Clear leaves it
  const TMSSQLDatabaseOptions& c = dst.MSSQLDatabaseOptions;
  EXPECT_TRUE(c.DatabaseCollation.empty());
  EXPECT_EQ(c.AnsiNullDefault | c.AnsiNullsEnabled | c.QuotedIdentifiersEnabled |
                c.RecursiveTriggersEnabled,
            0);
  EXPECT_EQ(c.Version, 0);
  EXPECT_EQ(c.CompatibilityLevel, 150);  // read anew by every extraction
}

TEST(OptionObjects, MySQLAssignAndClear) {
  TMySQLServerOptions src;
  src.SQLServerVersion = TMySQLServerVersionType::st_MariaDB_10x;
  src.CharSet = "utf8mb4";
  src.Names = "utf8mb4";
  src.MySQLCompareOptions.CaseSensitiveIdentifiers = false;
  TMySQLServerOptions dst;
  dst.Assign(src);
  EXPECT_EQ(dst.SQLServerVersion, TMySQLServerVersionType::st_MariaDB_10x);
  EXPECT_EQ(dst.CharSet, "utf8mb4");
  EXPECT_EQ(dst.Names, "utf8mb4");
  EXPECT_FALSE(dst.MySQLCompareOptions.CaseSensitiveIdentifiers);
  dst.Clear();
  EXPECT_EQ(dst.SQLServerVersion, TMySQLServerVersionType::st_MySQL_5x);
  EXPECT_TRUE(dst.CharSet.empty() && dst.Names.empty());
  EXPECT_TRUE(dst.MySQLCompareOptions.CaseSensitiveIdentifiers);
}

TEST(OptionObjects, SybaseAssignKeepsCompareDBOptions) {
  TASEServerOptions src;
  src.ASECompareOptions.IgnoreFileGroup = true;
  src.ASECompareOptions.IgnoreSysName = false;
  src.ASECompareOptions.CaseSensitiveIdentifiers = true;
  src.ASECompareOptions.CompareDBOptions = false;
  TASEDatabaseOptions& d = src.ASEDatabaseOptions;
  d.Text1 = "t1";
  d.Number1 = 1;
  d.Number2 = 2;
  d.Text2 = "t2";
  d.Text3 = "t3";
  d.Text4 = "t4";
  d.Text5 = "t5";
  d.Text6 = "t6";
  d.DBOptions = {TASEDBOption::aoDdlInTran, TASEDBOption::aoUniqueAutoIdentityIndex};
  d.Number3 = 3;

  TASEServerOptions dst;
  dst.Assign(src);
  EXPECT_TRUE(dst.ASECompareOptions.IgnoreFileGroup);
  EXPECT_FALSE(dst.ASECompareOptions.IgnoreSysName);
  EXPECT_TRUE(dst.ASECompareOptions.CaseSensitiveIdentifiers);
  EXPECT_TRUE(dst.ASECompareOptions.CompareDBOptions);  // the target's own
  const TASEDatabaseOptions& c = dst.ASEDatabaseOptions;
  EXPECT_EQ(c.Text1 + c.Text2 + c.Text3 + c.Text4 + c.Text5 + c.Text6, "t1t2t3t4t5t6");
  EXPECT_EQ(c.Number1 * 100 + c.Number2 * 10 + c.Number3, 123);
  EXPECT_EQ(c.DBOptions.ToMask(), (1u << 5) | (1u << 14));

  dst.ASEDatabaseOptions.Clear();
  EXPECT_TRUE(c.Text1.empty() && c.Text2.empty() && c.Text6.empty());
  EXPECT_EQ(c.Number1 | c.Number2 | c.Number3, 0);
  EXPECT_TRUE(c.DBOptions.Empty());

  TASAServerOptions asaSrc, asaDst;
  asaSrc.SQLServerVersion = TASAServerVersionType::st_ASA7;
  asaSrc.ASACompareOptions.CaseSensitiveIdentifiers = true;
  asaSrc.ASADatabaseOptions.Flag2 = false;
  asaSrc.ASADatabaseOptions.Text1 = "a";
  asaSrc.ASADatabaseOptions.Number1 = 9;
  asaSrc.ASADatabaseOptions.Text2 = "b";
  asaDst.Assign(asaSrc);
  EXPECT_EQ(asaDst.SQLServerVersion, TASAServerVersionType::st_ASA7);
  EXPECT_TRUE(asaDst.ASACompareOptions.CaseSensitiveIdentifiers);
  EXPECT_TRUE(asaDst.ASADatabaseOptions.Flag1);
  EXPECT_FALSE(asaDst.ASADatabaseOptions.Flag2);
  EXPECT_EQ(asaDst.ASADatabaseOptions.Text1 + asaDst.ASADatabaseOptions.Text2, "ab");
  EXPECT_EQ(asaDst.ASADatabaseOptions.Number1, 9);
}

TEST(OptionObjects, VersionOnlyServerOptionsAssign) {
  TOracleServerOptions o1, o2;
  o1.SQLServerVersion = TOracleServerVersionType::st_Oracle_19x;
  o2.Assign(o1);
  EXPECT_EQ(o2.SQLServerVersion, TOracleServerVersionType::st_Oracle_19x);
  TPGSQLServerOptions p1, p2;
  p1.SQLServerVersion = TPGSQLServerVersionType::st_PostgreSQL_14x;
  p2.Assign(p1);
  EXPECT_EQ(p2.SQLServerVersion, TPGSQLServerVersionType::st_PostgreSQL_14x);
  TDB2ServerOptions d1, d2;
  d1.SQLServerVersion = TDB2ServerVersionType::st_DB2_11x;
  d2.Assign(d1);
  EXPECT_EQ(d2.SQLServerVersion, TDB2ServerVersionType::st_DB2_11x);
}

TEST(OptionObjects, ScriptOptionsCopyAllNine) {
  TScriptOptions src;
  src.GenerateScript = src.Connect = src.SQLDialect = src.DBCharSet = false;
  src.LocalSQL = true;
  src.FloatFormat = "0.00";
  src.DateFormat = "yyyy-mm-dd";
  src.TimeFormat = "hh:nn";
  src.DateTimeFormat = "yyyy-mm-dd hh:nn";
  TScriptOptions dst;
  dst.Assign(src);
  EXPECT_FALSE(dst.GenerateScript || dst.Connect || dst.SQLDialect || dst.DBCharSet);
  EXPECT_TRUE(dst.LocalSQL);
  EXPECT_EQ(dst.FloatFormat, "0.00");
  EXPECT_EQ(dst.DateFormat, "yyyy-mm-dd");
  EXPECT_EQ(dst.TimeFormat, "hh:nn");
  EXPECT_EQ(dst.DateTimeFormat, "yyyy-mm-dd hh:nn");
}

TEST(OptionObjects, ServerVersionNames) {
  struct Case {
    DT type;
    int index;
    const char* expected;
  };
  // clang-format off
  const Case cases[] = {
      {DT::dbInterBase, 0, "InterBase 4.x"},   {DT::dbInterBase, 3, "FireBird 1.x"},
      {DT::dbInterBase, 4, "Yaffil 1.x"},      {DT::dbInterBase, 10, "FireBird 2.5"},
      {DT::dbInterBase, 13, "InterBase 2020"}, {DT::dbInterBase, 14, ""},
      {DT::dbSybaseASA, 0, "ASA 5"},           {DT::dbSybaseASA, 4, "ASA 9"},
      {DT::dbSybaseASA, 5, ""},                {DT::dbMySQL, 0, "My SQL 3.x"},
      {DT::dbMySQL, 4, "MariaDB 10.x"},        {DT::dbMySQL, 5, ""},
      {DT::dbOracle, 0, "Oracle 7.x"},         {DT::dbOracle, 8, "Oracle 21.x"},
      {DT::dbOracle, 9, ""},                   {DT::dbMSSQL, 0, "MS SQL 2000"},
      {DT::dbMSSQL, 6, "MS SQL 2017"},         {DT::dbMSSQL, 7, "MS SQL 2019"},
      {DT::dbMSSQL, 8, ""},                    {DT::dbMSSQL, -1, ""},
      {DT::dbPostgreSQL, 0, "PostgreSQL 7.x"}, {DT::dbPostgreSQL, 7, "PostgreSQL 14.x"},
      {DT::dbPostgreSQL, 8, ""},               {DT::dbDB2, 0, "DB2 8.x"},
      {DT::dbDB2, 3, "DB2 11.x"},              {DT::dbDB2, 4, ""},
      {DT::dbSybaseASE, 0, "ASE 12"},          {DT::dbSybaseASE, 1, ""},
      {DT::dbAbstract, 0, ""},                 {DT::dbPervasiveSQL, 0, ""},
      {DT::dbCustomOLEDB, 0, ""},              {DT::dbInterBase, -2147483647 - 1, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.type)) + "/" + std::to_string(c.index));
    EXPECT_EQ(GetServerVersionName(c.type, c.index), c.expected);
  }
  // One name per version value, in enumeration order.
  EXPECT_EQ(GetServerVersionName(DT::dbInterBase,
                                 static_cast<int>(TIBSQLServerVersionType::st_InterBase_2020)),
            "InterBase 2020");
  EXPECT_EQ(GetServerVersionName(DT::dbInterBase, static_cast<int>(kIBVersionCount)), "");
}

TEST(OptionObjects, IsIB6OrLater) {
  struct Case {
    std::int32_t ods;
    TIBSQLServerVersionType version;
    bool expected;
  };
  using V = TIBSQLServerVersionType;
  // clang-format off
  const Case cases[] = {
      {11, V::st_InterBase_4x, true}, {10, V::st_InterBase_5x, true},
      {9, V::st_InterBase_5x, false}, {0, V::st_InterBase_5x, false},
      {0, V::st_InterBase_6x, true},  {0, V::st_Firebird_25, true},
      {-1, V::st_InterBase_4x, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.ods) + "/" + std::to_string(static_cast<int>(c.version)));
    TIBServerOptions o;
    o.IBDatabaseOptions.ODSMajorVersion = c.ods;
    o.SQLServerVersion = c.version;
    EXPECT_EQ(o.IsIB6OrLater(), c.expected);
  }
}

TEST(OptionObjects, SetNamesSQL) {
  struct Case {
    const char* charset;
    const char* expected;
  };
  const Case cases[] = {
      {"", ""},
      {"NONE", ""},
      {"none", ""},  // stored upper-cased, so it is NONE too
      {"UTF8", "SET NAMES UTF8"},
      {"win1251", "SET NAMES WIN1251"},
      {"NONE2", "SET NAMES NONE2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.charset);
    TIBServerOptions o;
    o.SetDBCharSet(c.charset);
    EXPECT_EQ(o.GetSetNamesSQL(), c.expected);
  }
}

TEST(OptionObjects, MySQLTableOptionsSQL) {
  {
    SCOPED_TRACE("nothing set");
    EXPECT_EQ(TMySQLTableOptions().GetOptionsSQL(), "");
  }
  {
    SCOPED_TRACE("engine and pack keys");
    TMySQLTableOptions t;
    t.Engine = "InnoDB";
    t.PackKeys = "DEFAULT";
    EXPECT_EQ(t.GetOptionsSQL(), "\r\nENGINE=InnoDB\r\nPACK_KEYS=DEFAULT");
  }
  {
    SCOPED_TRACE("numbers: zero and negative left out, AVG_ROW_LENGTH when not zero");
    TMySQLTableOptions t;
    t.MaxRows = 0;
    t.MinRows = -5;
    t.Checksum = -1;
    t.AvgRowLength = -3;
    EXPECT_EQ(t.GetOptionsSQL(), "\r\nAVG_ROW_LENGTH=-3");
  }
  {
    SCOPED_TRACE("quoted comment");
    TMySQLTableOptions t;
    t.Comment = "it's";
    EXPECT_EQ(t.GetOptionsSQL(), "\r\nCOMMENT='it''s'");
  }
  {
    SCOPED_TRACE("every option, in order");
    TMySQLTableOptions t;
    t.Engine = "MyISAM";
    t.AvgRowLength = 100;
    t.SetDefaultCharset("utf8");
    t.Checksum = 1;
    t.DefaultCollate = "utf8_bin";
    t.Comment = "c";
    t.Connection = "mysql://x";
    t.DataDirectory = "/d";
    t.DelayKeyWrite = 1;
    t.IndexDirectory = "/i";
    t.InsertMethod = "LAST";
    t.KeyBlockSize = 8;
    t.MaxRows = 1000;
    t.MinRows = 10;
    t.PackKeys = "1";
    t.Password = "pw";
    t.RowFormat = "DYNAMIC";
    EXPECT_EQ(t.GetDefaultCharset(), "utf8");
    EXPECT_EQ(t.GetOptionsSQL(),
              "\r\nENGINE=MyISAM\r\nAVG_ROW_LENGTH=100\r\nDEFAULT CHARSET=utf8\r\nCHECKSUM=1"
              "\r\nDEFAULT COLLATE=utf8_bin\r\nCOMMENT='c'\r\nCONNECTION='mysql://x'"
              "\r\nDATA DIRECTORY='/d'\r\nDELAY_KEY_WRITE=1\r\nINDEX DIRECTORY='/i'"
              "\r\nINSERT_METHOD=LAST\r\nKEY_BLOCK_SIZE=8\r\nMAX_ROWS=1000\r\nMIN_ROWS=10"
              "\r\nPACK_KEYS=1\r\nPASSWORD='pw'\r\nROW_FORMAT=DYNAMIC");

    TMySQLTableOptions copy;
    copy.Assign(t);
    EXPECT_EQ(copy.GetOptionsSQL(), t.GetOptionsSQL());
  }
}

TEST(OptionObjects, ASEOptionNames) {
  struct Case {
    int index;
    const char* expected;
  };
  const Case cases[] = {
      {0, "abort tran on log full"},
      {1, "allow nulls by default"},
      {7, "identity in nonunique index"},
      {11, "select into/bulkcopy/pllsort"},
      {13, "trunc log on chkpt"},
      {14, "unique auto_identity index"},
      {15, ""},
      {-1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(TASEDatabaseOptions::GetOptionName(c.index), c.expected);
  }
  // The set's members line up with the names.
  EXPECT_EQ(TASEDatabaseOptions::GetOptionName(static_cast<int>(TASEDBOption::aoSingleUser)),
            "single user");
  EXPECT_EQ(TASEDBOptionSet::All().Count(), 15u);
}

}  // namespace
}  // namespace qor
