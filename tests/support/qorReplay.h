// The replay binding: a stand-in for a server that cannot run here (MS SQL,
// older InterBase/Firebird generations, MySQL). It serves the result sets
// of a fixture file to the connection engine, matching each statement by
// its exact text and parameter values. An unmatched statement fails loudly,
// naming the nearest fixture statement; fixture statements never asked for
// are reported. The recording binding wraps a real binding and writes such
// fixture files.
//
// Fixture file (JSON):
//   {
//     "databaseType": "dbMSSQL",            optional: the binding's database type
//     "connectError": "text",               optional: connecting fails with it
//     "ibOptions": { "Version": ..., "ODSMajorVersion": ..., ...,
//                    "DBCharSet": ..., "SQLDialect": ... },
//                                           optional: what an InterBase connect
//                                           reads into the connection's options
//     "statements": [
//       { "sql": "one line" or ["line 1", "line 2"],   lines joined by CR LF
//         "params": [["NAME", value], ...],             in statement order
//         "columns": ["COL1", "COL2"],                  a result set ...
//         "rows": [[value, value], ...],
//         "error": "text" },                            ... or the server's error
//     ]
//   }
// A value is null, a string, an integer, a floating number, a boolean, or
// {"hex": "..."} for bytes that are not UTF-8. A statement without
// "columns" is one that returns no rows (ExecSQL). Statements of the same
// text and parameters are served in file order, the last one repeating.
#pragma once

#include "engine/qorDBEngine.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace qor::test {

struct TReplayStatement {
  std::string SQL;
  std::vector<std::pair<std::string, TFieldValue>> Params;
  bool HasRows = false;
  std::vector<std::string> Columns;
  std::vector<std::vector<TFieldValue>> Rows;
  std::optional<std::string> Error;
  int Uses = 0;
};

// What connecting to an InterBase/Firebird database puts into the
// connection's IBServerOptions.
struct TReplayIBFacts {
  TIBDatabaseOptions Database;
  std::string DBCharSet;
  std::int32_t SQLDialect = 3;

  static TReplayIBFacts Capture(const TQORCustomConnection& connection);
  void Apply(TQORCustomConnection& connection) const;
};

struct TReplayScript {
  std::optional<TDatabaseType> DatabaseType;
  std::optional<std::string> ConnectError;
  std::optional<TReplayIBFacts> IBFacts;
  std::vector<TReplayStatement> Statements;

  // Raises EQorError naming the file and what is wrong with it.
  static TReplayScript Load(const std::string& path);
  void Save(const std::string& path) const;
};

class TReplayConnection : public TQORAbstractConnection {
 public:
  // Stands in for the bindings of `standsFor`; its database type comes from
  // the fixture, else from `databaseType`.
  TReplayConnection(TconnectionType standsFor, TDatabaseType databaseType, TReplayScript script);
  static std::unique_ptr<TReplayConnection> FromFile(TconnectionType standsFor,
                                                     TDatabaseType databaseType,
                                                     const std::string& path);
  const char* ClassName() const override { return "TReplayConnection"; }

  std::unique_ptr<TQORDatabase> CreateDatabaseObject() override;
  std::unique_ptr<TQORQuery> CreateQuery() override;

  // The statement served for this text and these parameters; raises
  // EQorError (and records the text) when nothing matches.
  const TReplayStatement& Match(const std::string& sql, const TParams* params);
  // Every statement that did not match, in the order they were asked for.
  const std::vector<std::string>& Mismatches() const { return mismatches_; }
  // Fixture statements that were never served.
  std::vector<std::string> UnusedStatements() const;
  const TReplayScript& Script() const { return script_; }

 private:
  TReplayScript script_;
  std::vector<std::string> mismatches_;
  // The statements by text and parameters, so that a fixture of many
  // thousand statements is served in constant time per statement.
  std::unordered_map<std::string, std::vector<std::size_t>> byKey_;
};

class TRecordingConnection : public TQORAbstractConnection {
 public:
  // Records what goes through `inner` (not owned; it stays registered).
  explicit TRecordingConnection(TQORAbstractConnection* inner);
  const char* ClassName() const override { return "TRecordingConnection"; }

  std::unique_ptr<TQORDatabase> CreateDatabaseObject() override;
  std::unique_ptr<TQORQuery> CreateQuery() override;
  bool CreateDatabase() override;

  void Record(TReplayStatement statement);
  void RecordConnect(const TQORCustomConnection* connection, const std::string* error);
  // The recorded statements; exact repetitions are kept once.
  const TReplayScript& Script() const { return script_; }
  void Save(const std::string& path) const { script_.Save(path); }

 private:
  void SyncInner();
  TQORAbstractConnection* inner_;
  TReplayScript script_;
};

// For one scope, a binding takes the place of every registered binding of
// its connection type (under the first one's name); the originals come
// back at the end of the scope.
class TBindingScope {
 public:
  TBindingScope(TconnectionType type, std::unique_ptr<TQORAbstractConnection> standIn);
  ~TBindingScope();
  TBindingScope(const TBindingScope&) = delete;
  TBindingScope& operator=(const TBindingScope&) = delete;

  TQORAbstractConnection* StandIn() const { return standIn_; }
  // The registered binding of the type before the scope began, if any.
  TQORAbstractConnection* Original() const;

 private:
  std::string name_;
  TQORAbstractConnection* standIn_ = nullptr;
  std::vector<std::pair<std::string, std::unique_ptr<TQORAbstractConnection>>> saved_;
};

// The names of the enumerations as fixture files write them.
std::string DatabaseTypeName(TDatabaseType type);
std::optional<TDatabaseType> DatabaseTypeByName(const std::string& name);

}  // namespace qor::test
