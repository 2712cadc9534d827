// Option objects: connection parameters, one server-options object per
// server kind (each with its compare options and, for some kinds, the
// options read from the database), MySQL table options and script options.
// They are copied by Assign; a class accepts its own class and classes
// derived from it, anything else raises the assignment error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/qorTypes.h"
#include "platform/qorPersistent.h"
#include "platform/qorSets.h"

namespace qor {

// Display name of a server version ("MS SQL 2017"); empty for a kind
// without versions or an index outside the kind's list.
std::string GetServerVersionName(TDatabaseType DatabaseType, int Index);

class TConnectionOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TConnectionOptions"; }
  void Assign(const TPersistent& Source) override;

  std::string DatabaseName;
  std::string UserName;
  std::string Password;
  std::string RoleName;
  // Carried and copied; nothing gives them a role.
  std::string Reserved1;
  std::string Reserved2;
  std::string Reserved3;
  std::int32_t Port = 0;  // 0 = the server's default port
  std::string HostName;   // empty = local connection
  TQORProtocol Protocol = TQORProtocol::ptTCP;
  bool UseWindowsAuthentication = false;
  std::string ConnectionString;  // used unchanged as the ADO connection string when set
  std::string ClientLibrary;

 protected:
  // Assign and Clear copy the values whole.
  TConnectionOptions& operator=(const TConnectionOptions&) = default;
};

// ---------------------------------------------------------------- InterBase

class TIBCompareOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TIBCompareOptions"; }
  // Copies every flag but UseRECONNECT, which stays the target's own.
  void Assign(const TPersistent& Source) override;

  bool DbCharsetCompare = false;
  bool FldCharsetCompare = false;
  TUpdateDescriptionType UpdateDescriptionMode = TUpdateDescriptionType::udSysTables;
  bool ModifySystemTables = false;
  bool GenerateCOMMIT = false;
  bool UseRECONNECT = true;
  bool AllowDataTypeConversion = false;
  bool UpdateFieldPosition = true;
  bool ExtractOnlyComparedObjects = true;
  bool IgnoreIBEObjects = true;  // drop objects named "IBE$..."

 protected:
  // Assign and Clear copy the values whole.
  TIBCompareOptions& operator=(const TIBCompareOptions&) = default;
};

// What the server reports about the connected database.
class TIBDatabaseOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TIBDatabaseOptions"; }
  void Assign(const TPersistent& Source) override;
  void Clear();

  std::string Version;
  std::string ServerImplementation;
  std::int32_t ODSMajorVersion = 0;
  std::int32_t ODSMinorVersion = 0;
  std::int32_t PageSize = 0;
  std::int32_t ForcedWrites = 0;
  std::int32_t SweepInterval = 0;
  std::int32_t ReadOnly = 0;
  std::int32_t NumBuffers = 0;
  std::int32_t DBImplementationNo = 0;
  std::int32_t DBImplementationClass = 0;
  std::int32_t DBSQLDialect = 0;
  // The database's own comment (RDB$DATABASE), as stored; the extractor
  // reads it, the binding does not.
  std::string Description;

  // What the server reported is a plain value: copied whole, also by the
  // replay fixtures that record and restore it.
  TIBDatabaseOptions() = default;
  TIBDatabaseOptions(const TIBDatabaseOptions& other) : TPersistent() { *this = other; }
  TIBDatabaseOptions& operator=(const TIBDatabaseOptions&) = default;
};

class TIBServerOptions : public TPersistent {
 public:
  TIBServerOptions() { Clear(); }
  const char* ClassName() const override { return "TIBServerOptions"; }
  void Assign(const TPersistent& Source) override;
  // Version, dialect and character set back to their start values.
  void Clear();

  // Stored upper-cased.
  const std::string& GetDBCharSet() const { return dbCharSet_; }
  void SetDBCharSet(std::string_view Value);

  // ODS 10 or later, or (without an ODS) a version from InterBase 6 on.
  bool IsIB6OrLater() const;
  // "SET NAMES <charset>", empty for no character set or "NONE".
  std::string GetSetNamesSQL() const;

  TIBSQLServerVersionType SQLServerVersion = TIBSQLServerVersionType::st_Firebird_25;
  TIBSQLDialectType SQLDialect = 3;
  TIBCompareOptions IBCompareOptions;
  TIBDatabaseOptions IBDatabaseOptions;

 private:
  std::string dbCharSet_;
};

// The InterBase options as the connection component publishes them.
class TIBEngineOptions : public TIBServerOptions {
 public:
  const char* ClassName() const override { return "TIBEngineOptions"; }
};

// ------------------------------------------------------------------- MS SQL

class TMSSQLCompareOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TMSSQLCompareOptions"; }
  void Assign(const TPersistent& Source) override;
  // Resets the first three flags; UpdateColumnPosition stays.
  void Clear();

  bool IgnoreFileGroup = false;
  bool IgnoreSysName = true;
  bool CaseSensitiveIdentifiers = false;
  bool UpdateColumnPosition = false;

 protected:
  // Assign and Clear copy the values whole.
  TMSSQLCompareOptions& operator=(const TMSSQLCompareOptions&) = default;
};

// What the MS SQL extractor reads from the database.
class TMSSQLDatabaseOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TMSSQLDatabaseOptions"; }
  void Assign(const TPersistent& Source) override;
  // Empties the collation, zeroes the flags and Version; the compatibility
  // level stays (every extraction reads it anew).
  void Clear();

  std::string DatabaseCollation;
  std::uint8_t AnsiNullDefault = 0;
  std::uint8_t AnsiNullsEnabled = 0;
  std::uint8_t QuotedIdentifiersEnabled = 0;
  std::uint8_t RecursiveTriggersEnabled = 0;
  std::int32_t Version = 0;
  std::int32_t CompatibilityLevel = 0;

 protected:
  // Assign and Clear copy the values whole.
  TMSSQLDatabaseOptions& operator=(const TMSSQLDatabaseOptions&) = default;
};

class TMSSQLServerOptions : public TPersistent {
 public:
  TMSSQLServerOptions() { Clear(); }
  const char* ClassName() const override { return "TMSSQLServerOptions"; }
  void Assign(const TPersistent& Source) override;
  void Clear();

  std::string DBCharSet;
  std::string Collation;
  // Stated default st_MSSQL2017, but a new object starts at st_MSSQL2000.
  TMSSQLServerVersionType SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2000;
  TMSSQLCompareOptions MSSQLCompareOptions;
  TMSSQLDatabaseOptions MSSQLDatabaseOptions;
};

// -------------------------------------------------------------------- MySQL

class TMySQLCompareOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TMySQLCompareOptions"; }
  void Assign(const TPersistent& Source) override;
  void Clear() { *this = TMySQLCompareOptions(); }

  bool CaseSensitiveIdentifiers = true;

 protected:
  // Assign and Clear copy the values whole.
  TMySQLCompareOptions& operator=(const TMySQLCompareOptions&) = default;
};

class TMySQLServerOptions : public TPersistent {
 public:
  TMySQLServerOptions() { Clear(); }
  const char* ClassName() const override { return "TMySQLServerOptions"; }
  void Assign(const TPersistent& Source) override;
  void Clear();

  TMySQLServerVersionType SQLServerVersion = TMySQLServerVersionType::st_MySQL_5x;
  std::string CharSet;
  std::string Names;
  TMySQLCompareOptions MySQLCompareOptions;
};

// A table's options in the MySQL dialect. Texts count as set when not
// empty, numbers when above zero (AVG_ROW_LENGTH when not zero).
class TMySQLTableOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TMySQLTableOptions"; }
  void Assign(const TPersistent& Source) override;

  const std::string& GetDefaultCharset() const { return defaultCharset_; }
  void SetDefaultCharset(std::string_view Value) { defaultCharset_ = std::string(Value); }

  // One CR LF + "KEYWORD=value" line per option that is set.
  std::string GetOptionsSQL() const;

  std::string Engine;              // ENGINE=
  std::string AutoIncrement;       // AUTO_INCREMENT=, the table's next counter value
  std::int32_t AvgRowLength = 0;   // AVG_ROW_LENGTH=
  std::int32_t Checksum = 0;       // CHECKSUM=
  std::string DefaultCollate;      // DEFAULT COLLATE=
  std::string Comment;             // COMMENT='...'
  std::string Connection;          // CONNECTION='...'
  std::string DataDirectory;       // DATA DIRECTORY='...'
  std::int32_t DelayKeyWrite = 0;  // DELAY_KEY_WRITE=
  std::string IndexDirectory;      // INDEX DIRECTORY='...'
  std::string InsertMethod;        // INSERT_METHOD=
  std::int32_t KeyBlockSize = 0;   // KEY_BLOCK_SIZE=
  std::int32_t MaxRows = 0;        // MAX_ROWS=
  std::int32_t MinRows = 0;        // MIN_ROWS=
  std::string PackKeys;            // PACK_KEYS=
  std::string Password;            // PASSWORD='...'
  std::string RowFormat;           // ROW_FORMAT=
  // PARTITION BY ..., WITH SYSTEM VERSIONING: the clauses after the
  // options, as the table's text gives them.
  std::string Clauses;

 protected:
  // Assign and Clear copy the values whole.
  TMySQLTableOptions& operator=(const TMySQLTableOptions&) = default;

 private:
  std::string defaultCharset_;  // DEFAULT CHARSET=
};

// -------------------------------------------------------------- Sybase ASA

class TASACompareOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TASACompareOptions"; }
  void Assign(const TPersistent& Source) override;

  bool CaseSensitiveIdentifiers = false;

 protected:
  // Assign and Clear copy the values whole.
  TASACompareOptions& operator=(const TASACompareOptions&) = default;
};

// Carried and copied; nothing in the system gives these fields a role.
class TASADatabaseOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TASADatabaseOptions"; }
  void Assign(const TPersistent& Source) override;

  bool Flag1 = true;
  bool Flag2 = true;
  std::string Text1;
  std::int32_t Number1 = 0;
  std::string Text2;

 protected:
  // Assign and Clear copy the values whole.
  TASADatabaseOptions& operator=(const TASADatabaseOptions&) = default;
};

class TASAServerOptions : public TPersistent {
 public:
  TASAServerOptions() { Clear(); }
  const char* ClassName() const override { return "TASAServerOptions"; }
  void Assign(const TPersistent& Source) override;
  void Clear();

  TASAServerVersionType SQLServerVersion = TASAServerVersionType::st_ASA9;
  TASACompareOptions ASACompareOptions;
  TASADatabaseOptions ASADatabaseOptions;
};

// -------------------------------------------------------------- Sybase ASE

class TASECompareOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TASECompareOptions"; }
  // Copies the first three flags; CompareDBOptions stays the target's own.
  void Assign(const TPersistent& Source) override;

  bool IgnoreFileGroup = false;
  bool IgnoreSysName = true;
  bool CaseSensitiveIdentifiers = false;
  bool CompareDBOptions = true;

 protected:
  // Assign and Clear copy the values whole.
  TASECompareOptions& operator=(const TASECompareOptions&) = default;
};

// The ASE database options, in the order of their names
// (TASEDatabaseOptions::GetOptionName).
// clang-format off
enum class TASEDBOption : std::uint8_t {
  aoAbortTranOnLogFull, aoAllowNullsByDefault, aoAsyncLogService, aoAutoIdentity,
  aoDboUseOnly, aoDdlInTran, aoDisableAliasAccess, aoIdentityInNonuniqueIndex,
  aoNoChkptOnRecovery, aoNoFreeSpaceAcctg, aoReadOnly, aoSelectIntoBulkcopyPllsort,
  aoSingleUser, aoTruncLogOnChkpt, aoUniqueAutoIdentityIndex
};
// clang-format on
inline constexpr std::size_t kASEDBOptionCount = 15;
using TASEDBOptionSet = TEnumSet<TASEDBOption, kASEDBOptionCount>;

// What is known of an ASE database. The texts and numbers are carried in
// their order; the script header prints some of the texts.
class TASEDatabaseOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TASEDatabaseOptions"; }
  void Assign(const TPersistent& Source) override;
  void Clear();

  // The option's name as sp_dboption takes it; empty outside 0..14.
  static std::string GetOptionName(int Index);

  std::string Text1;
  std::int32_t Number1 = 0;
  std::int32_t Number2 = 0;
  std::string Text2;
  std::string Text3;
  std::string Text4;
  std::string Text5;
  std::string Text6;
  TASEDBOptionSet DBOptions;
  std::int32_t Number3 = 0;

 protected:
  // Assign and Clear copy the values whole.
  TASEDatabaseOptions& operator=(const TASEDatabaseOptions&) = default;
};

class TASEServerOptions : public TPersistent {
 public:
  TASEServerOptions() { Clear(); }
  const char* ClassName() const override { return "TASEServerOptions"; }
  void Assign(const TPersistent& Source) override;
  void Clear();

  TASEServerVersionType SQLServerVersion = TASEServerVersionType::st_ASE12;
  TASECompareOptions ASECompareOptions;
  TASEDatabaseOptions ASEDatabaseOptions;
};

// ---------------------------------------------- Oracle, PostgreSQL and DB2

class TOracleCompareOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TOracleCompareOptions"; }
  void Assign(const TPersistent& Source) override;
};

class TPgSQLCompareOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TPgSQLCompareOptions"; }
  void Assign(const TPersistent& Source) override;
};

class TDB2CompareOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TDB2CompareOptions"; }
  void Assign(const TPersistent& Source) override;
};

class TOracleServerOptions : public TPersistent {
 public:
  TOracleServerOptions() { Clear(); }
  const char* ClassName() const override { return "TOracleServerOptions"; }
  void Assign(const TPersistent& Source) override;
  void Clear();

  TOracleServerVersionType SQLServerVersion = TOracleServerVersionType::st_Oracle_10x;
  TOracleCompareOptions OracleCompareOptions;
};

class TPGSQLServerOptions : public TPersistent {
 public:
  TPGSQLServerOptions() { Clear(); }
  const char* ClassName() const override { return "TPGSQLServerOptions"; }
  void Assign(const TPersistent& Source) override;
  void Clear();

  // Stated default st_PostgreSQL_12x, but a new object starts at st_PostgreSQL_8x.
  TPGSQLServerVersionType SQLServerVersion = TPGSQLServerVersionType::st_PostgreSQL_8x;
  TPgSQLCompareOptions PGSQLCompareOptions;
};

class TDB2ServerOptions : public TPersistent {
 public:
  TDB2ServerOptions() { Clear(); }
  const char* ClassName() const override { return "TDB2ServerOptions"; }
  void Assign(const TPersistent& Source) override;
  void Clear();

  TDB2ServerVersionType SQLServerVersion = TDB2ServerVersionType::st_DB2_8x;
  TDB2CompareOptions DB2CompareOptions;
};

// ------------------------------------------------------------------ Scripts

class TScriptOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TScriptOptions"; }
  void Assign(const TPersistent& Source) override;

  bool GenerateScript = true;
  bool Connect = true;
  bool SQLDialect = true;
  bool DBCharSet = true;
  bool LocalSQL = false;
  // Carried for data scripts.
  std::string FloatFormat;
  std::string DateFormat;
  std::string TimeFormat;
  std::string DateTimeFormat;

 protected:
  // Assign and Clear copy the values whole.
  TScriptOptions& operator=(const TScriptOptions&) = default;
};

// The eight per-server option objects, listed once. The connection, the
// object collection and the structure each expand the list with an X(class,
// name) of their own (members, accessors, Assign). `IBClass` is the
// InterBase class: the connection publishes a TIBEngineOptions.
#define QOR_PER_SERVER_OPTIONS(X, IBClass)     \
  X(IBClass, IBServerOptions)                  \
  X(TMSSQLServerOptions, MSSQLServerOptions)   \
  X(TMySQLServerOptions, MySQLServerOptions)   \
  X(TASAServerOptions, ASAServerOptions)       \
  X(TASEServerOptions, ASEServerOptions)       \
  X(TOracleServerOptions, OracleServerOptions) \
  X(TPGSQLServerOptions, PGSQLServerOptions)   \
  X(TDB2ServerOptions, DB2ServerOptions)

// X for member declarations.
#define QOR_OPTIONS_MEMBER(Type, Name) Type Name;

}  // namespace qor
