// The concrete collection TObjs (lookups by key, stored sources, the script)
// and the structure component TDBStructure that owns one and publishes its
// per-server options. Also the process-wide stop flag that long extraction
// and parsing loops test, and the hook for file-writing errors.
#pragma once

#include "model/qorClasses.h"

#include <string>
#include <string_view>
#include <vector>

namespace qor {

class TObjs : public TCustomObjs {
 public:
  TObjs() = default;
  const char* ClassName() const override { return "TObjs"; }

  // Stores the CREATE text of every view, routine and trigger as its
  // SourceSQL.
  void StoreSourceSQL() override;

  // Lookups by exact key, with the list's case rule; none when absent.
  TDmnData* FindDomain(std::string_view key) const;
  TTblData* FindTable(std::string_view key) const;
  TViwData* FindView(std::string_view key) const;
  TPrcData* FindProcedure(std::string_view key) const;
  TTrgData* FindTrigger(std::string_view key) const;
  TGnrData* FindGenerator(std::string_view key) const;
  TExcData* FindException(std::string_view key) const;
  TIdxData* FindIndex(std::string_view key) const;
  TUdfData* FindUdf(std::string_view key) const;
  TPkgData* FindPackage(std::string_view key) const;
  TCtrData* FindConstraint(std::string_view key) const;
  TSchData* FindSchema(std::string_view key) const;
  // A column of the table, of the view, a parameter of the routine (inputs
  // first).
  TFldData* FindField(std::string_view tableKey, std::string_view columnName) const;
  TFldData* FindField2(std::string_view viewKey, std::string_view columnName) const;
  TFldData* FindParam(std::string_view routineKey, std::string_view paramName) const;
  // The first role, login or user in list order whose Name equals `name`
  // exactly.
  TRolData* FindRole(std::string_view name) const;
  TRolData* FindLogin(std::string_view name) const;
  TRolData* FindUser(std::string_view name) const;

  bool CurQuotedIdentifier = false;
  bool CurAnsiNulls = false;
  TScriptOptions ScriptOptions;
  std::string OutputDirectory;

 private:
  TRolData* FindRoleOfKind(std::string_view name, std::uint8_t kind) const;
};

class TDBStructure : public TCustomDBStructure {
 public:
  TDBStructure();
  ~TDBStructure() override;
  const char* ClassName() const override { return "TDBStructure"; }

  TObjs* GetObjs() const;

  // Reading gives the collection's own option object; writing copies the
  // values into it.
  TIBServerOptions* IBServerOptions() const;
  void SetIBServerOptions(const TIBServerOptions& value);
  TASAServerOptions* ASAServerOptions() const;
  void SetASAServerOptions(const TASAServerOptions& value);
  TASEServerOptions* ASEServerOptions() const;
  void SetASEServerOptions(const TASEServerOptions& value);
  TMySQLServerOptions* MySQLServerOptions() const;
  void SetMySQLServerOptions(const TMySQLServerOptions& value);
  TMSSQLServerOptions* MSSQLServerOptions() const;
  void SetMSSQLServerOptions(const TMSSQLServerOptions& value);
  TOracleServerOptions* OracleServerOptions() const;
  void SetOracleServerOptions(const TOracleServerOptions& value);
  TPGSQLServerOptions* PGSQLServerOptions() const;
  void SetPGSQLServerOptions(const TPGSQLServerOptions& value);
  TDB2ServerOptions* DB2ServerOptions() const;
  void SetDB2ServerOptions(const TDB2ServerOptions& value);
};

// Tested by the extraction and parsing loops, which leave at once when it
// is set. Set and cleared by the caller that runs them.
extern bool StopRequested;

// Receives the message of a failed per-object file write; the script goes
// on. Does nothing until set.
using TFileErrorHandler = void (*)(const std::string& message);
extern TFileErrorHandler FileErrorHandler;

}  // namespace qor
