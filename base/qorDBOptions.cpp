#include "base/qorDBOptions.h"

#include <array>
#include <span>
#include <string_view>

#include "base/qorIBVersions.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

using SD = TScriptDialect;

// clang-format off
constexpr std::array<std::string_view, kIBVersionCount> kIBNames = {
    "InterBase 4.x", "InterBase 5.x", "InterBase 6.x", "FireBird 1.x",  "Yaffil 1.x",
    "FireBird 1.5",  "InterBase 7.x", "InterBase 7.5", "FireBird 2.0",  "FireBird 2.1",
    "FireBird 2.5",  "FireBird 3.0",  "FireBird 4.0",  "InterBase 2020"};
// clang-format on
// clang-format off
constexpr std::array<std::string_view, 5> kASANames = {"ASA 5", "ASA 6", "ASA 7", "ASA 8",
                                                       "ASA 9"};
// clang-format on
constexpr std::array<std::string_view, kMySQLVersionCount> kMySQLNames = {
    "My SQL 3.x", "My SQL 4.x", "My SQL 5.x", "My SQL 8.x", "MariaDB 10.x"};
constexpr std::array<std::string_view, 9> kOracleNames = {
    "Oracle 7.x",  "Oracle 8.x",  "Oracle 9.x",  "Oracle 10.x", "Oracle 11.x",
    "Oracle 12.x", "Oracle 18.x", "Oracle 19.x", "Oracle 21.x"};
constexpr std::array<std::string_view, kMSSQLVersionCount> kMSSQLNames = {
    "MS SQL 2000", "MS SQL 2005", "MS SQL 2008", "MS SQL 2012",
    "MS SQL 2014", "MS SQL 2016", "MS SQL 2017", "MS SQL 2019"};
constexpr std::array<std::string_view, 8> kPGNames = {
    "PostgreSQL 7.x",  "PostgreSQL 8.x",  "PostgreSQL 9.x",  "PostgreSQL 10.x",
    "PostgreSQL 11.x", "PostgreSQL 12.x", "PostgreSQL 13.x", "PostgreSQL 14.x"};
constexpr std::array<std::string_view, 4> kDB2Names = {"DB2 8.x", "DB2 9.x", "DB2 10.x",
                                                       "DB2 11.x"};
constexpr std::array<std::string_view, 1> kASENames = {"ASE 12"};

std::span<const std::string_view> VersionNames(TDatabaseType t) {
  switch (ScriptDialect(t)) {
    case SD::sdInterBase: return kIBNames;
    case SD::sdASA: return kASANames;
    case SD::sdMySQL: return kMySQLNames;
    case SD::sdOracle: return kOracleNames;
    case SD::sdMSSQL: return kMSSQLNames;
    case SD::sdPostgreSQL: return kPGNames;
    case SD::sdDB2: return kDB2Names;
    case SD::sdASE: return kASENames;
    case SD::sdGeneric: return {};
  }
  return {};
}

constexpr std::array<std::string_view, kASEDBOptionCount> kASEOptionNames = {
    "abort tran on log full",
    "allow nulls by default",
    "async log service",
    "auto identity",
    "dbo use only",
    "ddl in tran",
    "disable alias access",
    "identity in nonunique index",
    "no chkpt on recovery",
    "no free space acctg",
    "read only",
    "select into/bulkcopy/pllsort",
    "single user",
    "trunc log on chkpt",
    "unique auto_identity index"};

}  // namespace

std::string GetServerVersionName(TDatabaseType DatabaseType, int Index) {
  const auto names = VersionNames(DatabaseType);
  if (Index < 0 || static_cast<std::size_t>(Index) >= names.size()) return {};
  return std::string(names[static_cast<std::size_t>(Index)]);
}

// Each Assign copies what its class knows and hands any other source to the
// base, which raises the assignment error.

void TConnectionOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TConnectionOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  *this = *s;
}

// ---------------------------------------------------------------- InterBase

void TIBCompareOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TIBCompareOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  const bool keep = UseRECONNECT;
  *this = *s;
  UseRECONNECT = keep;
}

void TIBDatabaseOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TIBDatabaseOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  *this = *s;
}

void TIBDatabaseOptions::Clear() { *this = TIBDatabaseOptions(); }

void TIBServerOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TIBServerOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  SQLServerVersion = s->SQLServerVersion;
  SQLDialect = s->SQLDialect;
  SetDBCharSet(s->dbCharSet_);
  IBCompareOptions.Assign(s->IBCompareOptions);
  IBDatabaseOptions.Assign(s->IBDatabaseOptions);
}

void TIBServerOptions::Clear() {
  SQLServerVersion = TIBSQLServerVersionType::st_Firebird_25;
  SQLDialect = 3;
  dbCharSet_.clear();
}

void TIBServerOptions::SetDBCharSet(std::string_view Value) { dbCharSet_ = UpperLocale(Value); }

bool TIBServerOptions::IsIB6OrLater() const {
  if (IBDatabaseOptions.ODSMajorVersion >= 10) return true;
  return IBCaps(SQLServerVersion).sqlDialect3;
}

std::string TIBServerOptions::GetSetNamesSQL() const {
  if (dbCharSet_.empty() || dbCharSet_ == "NONE") return {};
  return "SET NAMES " + dbCharSet_;
}

// ------------------------------------------------------------------- MS SQL

void TMSSQLCompareOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TMSSQLCompareOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  *this = *s;
}

void TMSSQLCompareOptions::Clear() {
  const bool keep = UpdateColumnPosition;
  *this = TMSSQLCompareOptions();
  UpdateColumnPosition = keep;
}

void TMSSQLDatabaseOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TMSSQLDatabaseOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  *this = *s;
}

void TMSSQLDatabaseOptions::Clear() {
  const std::int32_t keep = CompatibilityLevel;
  *this = TMSSQLDatabaseOptions();
  CompatibilityLevel = keep;
}

void TMSSQLServerOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TMSSQLServerOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  SQLServerVersion = s->SQLServerVersion;
  DBCharSet = s->DBCharSet;
  Collation = s->Collation;
  MSSQLCompareOptions.Assign(s->MSSQLCompareOptions);
  MSSQLDatabaseOptions.Assign(s->MSSQLDatabaseOptions);
}

void TMSSQLServerOptions::Clear() {
  SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2000;
  DBCharSet.clear();
  Collation.clear();
  MSSQLCompareOptions.Clear();
  MSSQLDatabaseOptions.Clear();
}

// -------------------------------------------------------------------- MySQL

void TMySQLCompareOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TMySQLCompareOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  *this = *s;
}

void TMySQLServerOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TMySQLServerOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  SQLServerVersion = s->SQLServerVersion;
  CharSet = s->CharSet;
  Names = s->Names;
  MySQLCompareOptions.Assign(s->MySQLCompareOptions);
}

void TMySQLServerOptions::Clear() {
  SQLServerVersion = TMySQLServerVersionType::st_MySQL_5x;
  CharSet.clear();
  Names.clear();
  MySQLCompareOptions.Clear();
}

void TMySQLTableOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TMySQLTableOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  *this = *s;
}

std::string TMySQLTableOptions::GetOptionsSQL() const {
  std::string s;
  const auto text = [&s](std::string_view keyword, const std::string& value) {
    if (!value.empty()) s.append(CRLF).append(keyword).append(value);
  };
  const auto quoted = [&s](std::string_view keyword, const std::string& value) {
    if (!value.empty()) s.append(CRLF).append(keyword).append(QuotedStr(value, '\''));
  };
  const auto number = [&s](std::string_view keyword, std::int32_t value) {
    if (value > 0) s.append(CRLF).append(keyword).append(IntToStr(value));
  };
  text("ENGINE=", Engine);
  text("AUTO_INCREMENT=", AutoIncrement);
  if (AvgRowLength != 0) s.append(CRLF).append("AVG_ROW_LENGTH=").append(IntToStr(AvgRowLength));
  text("DEFAULT CHARSET=", defaultCharset_);
  number("CHECKSUM=", Checksum);
  text("DEFAULT COLLATE=", DefaultCollate);
  quoted("COMMENT=", Comment);
  quoted("CONNECTION=", Connection);
  quoted("DATA DIRECTORY=", DataDirectory);
  number("DELAY_KEY_WRITE=", DelayKeyWrite);
  quoted("INDEX DIRECTORY=", IndexDirectory);
  text("INSERT_METHOD=", InsertMethod);
  number("KEY_BLOCK_SIZE=", KeyBlockSize);
  number("MAX_ROWS=", MaxRows);
  number("MIN_ROWS=", MinRows);
  text("PACK_KEYS=", PackKeys);
  quoted("PASSWORD=", Password);
  text("ROW_FORMAT=", RowFormat);
  text("", Clauses);
  return s;
}

// -------------------------------------------------------------- Sybase ASA

void TASACompareOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TASACompareOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  *this = *s;
}

void TASADatabaseOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TASADatabaseOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  *this = *s;
}

void TASAServerOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TASAServerOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  SQLServerVersion = s->SQLServerVersion;
  ASACompareOptions.Assign(s->ASACompareOptions);
  ASADatabaseOptions.Assign(s->ASADatabaseOptions);
}

void TASAServerOptions::Clear() { SQLServerVersion = TASAServerVersionType::st_ASA9; }

// -------------------------------------------------------------- Sybase ASE

void TASECompareOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TASECompareOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  const bool keep = CompareDBOptions;
  *this = *s;
  CompareDBOptions = keep;
}

void TASEDatabaseOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TASEDatabaseOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  *this = *s;
}

void TASEDatabaseOptions::Clear() { *this = TASEDatabaseOptions(); }

std::string TASEDatabaseOptions::GetOptionName(int Index) {
  if (Index < 0 || static_cast<std::size_t>(Index) >= kASEOptionNames.size()) return {};
  return std::string(kASEOptionNames[static_cast<std::size_t>(Index)]);
}

void TASEServerOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TASEServerOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  SQLServerVersion = s->SQLServerVersion;
  ASECompareOptions.Assign(s->ASECompareOptions);
  ASEDatabaseOptions.Assign(s->ASEDatabaseOptions);
}

void TASEServerOptions::Clear() { SQLServerVersion = TASEServerVersionType::st_ASE12; }

// ---------------------------------------------- Oracle, PostgreSQL and DB2

void TOracleCompareOptions::Assign(const TPersistent& Source) {
  if (!dynamic_cast<const TOracleCompareOptions*>(&Source)) TPersistent::Assign(Source);
}

void TPgSQLCompareOptions::Assign(const TPersistent& Source) {
  if (!dynamic_cast<const TPgSQLCompareOptions*>(&Source)) TPersistent::Assign(Source);
}

void TDB2CompareOptions::Assign(const TPersistent& Source) {
  if (!dynamic_cast<const TDB2CompareOptions*>(&Source)) TPersistent::Assign(Source);
}

void TOracleServerOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TOracleServerOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  SQLServerVersion = s->SQLServerVersion;
  OracleCompareOptions.Assign(s->OracleCompareOptions);
}

void TOracleServerOptions::Clear() { SQLServerVersion = TOracleServerVersionType::st_Oracle_10x; }

void TPGSQLServerOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TPGSQLServerOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  SQLServerVersion = s->SQLServerVersion;
  PGSQLCompareOptions.Assign(s->PGSQLCompareOptions);
}

void TPGSQLServerOptions::Clear() { SQLServerVersion = TPGSQLServerVersionType::st_PostgreSQL_8x; }

void TDB2ServerOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TDB2ServerOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  SQLServerVersion = s->SQLServerVersion;
  DB2CompareOptions.Assign(s->DB2CompareOptions);
}

void TDB2ServerOptions::Clear() { SQLServerVersion = TDB2ServerVersionType::st_DB2_8x; }

// ------------------------------------------------------------------ Scripts

void TScriptOptions::Assign(const TPersistent& Source) {
  const auto* s = dynamic_cast<const TScriptOptions*>(&Source);
  if (!s) return TPersistent::Assign(Source);
  *this = *s;
}

}  // namespace qor
