// The connection engine: the binding, database and query abstractions, the
// registry of bindings, the connection component through which the rest of
// the system reaches a server, and the SQL parameter parser of the query
// objects.
//
// A binding (TQORAbstractConnection) exists once per process and is owned by
// the registry; it makes the database object that a connection component
// owns and the query objects that belong to their caller. The registry is
// created by InitConnectionRegistry and the bindings are registered by an
// explicit call at start-up (InitializeEngine, engine/qorEngineInit.h).
#pragma once

#include "base/qorDBOptions.h"
#include "base/qorTypes.h"
#include "platform/dataset/qorDataSet.h"
#include "platform/qorNameList.h"
#include "platform/qorObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qor {

class TQORCustomConnection;
class TQORDatabase;
class TQORQuery;

// ------------------------------------------------------------------ binding

class TQORAbstractConnection : public TComponent {
 public:
  const char* ClassName() const override { return "TQORAbstractConnection"; }

  TDatabaseType DatabaseType() const { return databaseType_; }
  void SetDatabaseType(TDatabaseType value) { databaseType_ = value; }
  TconnectionType ConnectionType() const { return connectionType_; }
  TDatabaseSetType SupportedDatabases() const { return supportedDatabases_; }

  // The connection component that last selected this binding; not owned.
  TQORCustomConnection* OwningConnection() const { return owningConnection_; }
  void SetOwningConnection(TQORCustomConnection* connection);

  // A new database object for the owning connection (base: none).
  virtual std::unique_ptr<TQORDatabase> CreateDatabaseObject() { return nullptr; }
  // Creates the database the owning connection names.
  virtual bool CreateDatabase();
  // OnErrorMessage of the owning connection, with the binding as sender;
  // otherwise a message box.
  virtual void DoErrorMessage(const std::string& text);
  // A new query object; it belongs to the caller (base: none).
  virtual std::unique_ptr<TQORQuery> CreateQuery() { return nullptr; }

 protected:
  TQORAbstractConnection(TDatabaseType databaseType, TconnectionType connectionType,
                         TDatabaseSetType supportedDatabases)
      : databaseType_(databaseType),
        connectionType_(connectionType),
        supportedDatabases_(supportedDatabases) {}
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TDatabaseType databaseType_;
  TconnectionType connectionType_;
  TDatabaseSetType supportedDatabases_;
  TQORCustomConnection* owningConnection_ = nullptr;
};

// The registry: sorted, case-insensitive, owning its bindings.
using TConnectionRegistry = TOwnedNameList<TQORAbstractConnection>;

// Creates the empty registry (the engine's start-up); frees every binding in
// list order, then the registry (its shut-down).
void InitConnectionRegistry();
void DoneConnectionRegistry();
// The registry, or null outside InitConnectionRegistry/DoneConnectionRegistry.
TConnectionRegistry* RegisteredConnections();

// False, adding nothing, when the name is taken (ignoring case) or there is
// no registry; the refused binding is freed.
bool RegisterConnection(std::string name, std::unique_ptr<TQORAbstractConnection> binding);
// Takes a binding out of the registry and hands it to the caller (for a
// test that stands a replay binding in for it); null when not registered.
std::unique_ptr<TQORAbstractConnection> UnregisterConnection(std::string_view name);

// --------------------------------------------------------- database object

class TQORDatabase : public TComponent {
 public:
  const char* ClassName() const override { return "TQORDatabase"; }

  TQORCustomConnection* Connection() const { return connection_; }
  void SetConnection(TQORCustomConnection* connection) { connection_ = connection; }

  virtual bool GetConnected() { return false; }
  virtual void SetConnected(bool) {}
  virtual void StartTransaction() {}
  virtual void Commit() {}
  virtual void Rollback() {}
  virtual bool InTransaction() { return false; }
  virtual void SetCharSet(const std::string&) {}

 private:
  TQORCustomConnection* connection_ = nullptr;
};

// ------------------------------------------------------------ query object

// The query protocol. The base class has no rows: Eof is True, the lists
// are null, FieldByName and ParamByName return null. Users: GetSQL (set or
// add the text), ParamByName and set values, Open or ExecSQL, then Eof,
// FieldByName or GetFields and Next in a loop, Close.
class TQORQuery : public TDataSet {
 public:
  ~TQORQuery() override;
  const char* ClassName() const override { return "TQORQuery"; }

  TQORCustomConnection* Connection() const { return connection_; }
  void SetConnection(TQORCustomConnection* connection);
  TQORDatabase* Database() const { return database_; }

  virtual TStrings* GetSQL() { return nullptr; }
  bool Eof() const override { return true; }
  virtual void SetParamCheck(bool) {}
  virtual bool GetParamCheck() { return true; }
  virtual TParams* GetParams() { return nullptr; }
  virtual bool GetActive() const { return false; }
  bool Active() const override { return GetActive(); }
  TFields* GetFields() override { return nullptr; }
  virtual void SetDatabase(TQORDatabase* database);
  void First() override {}
  void Last() override {}
  void Next() override {}
  TField* FieldByName(std::string_view) override { return nullptr; }
  void Open() override { TDataSet::Open(); }
  void Close() override { TDataSet::Close(); }
  virtual void ExecSQL() {}
  virtual TParam* ParamByName(std::string_view) { return nullptr; }
  virtual void Prepare() {}

 protected:
  // Linked components going away clear their pointer here.
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TQORCustomConnection* connection_ = nullptr;
  TQORDatabase* database_ = nullptr;
};

// ------------------------------------------------------- connection component

class TQORCustomConnection : public TComponent {
 public:
  TQORCustomConnection() = default;
  const char* ClassName() const override { return "TQORCustomConnection"; }

  TDatabaseType DatabaseType() const { return databaseType_; }
  virtual void SetDatabaseType(TDatabaseType value) { databaseType_ = value; }
  TconnectionType ConnectionType() const { return connectionType_; }
  virtual void SetConnectionType(TconnectionType value) { connectionType_ = value; }
  virtual TDatabaseSetType GetSupportedDatabases() const { return {}; }
  virtual TConnectionSetType GetSupportedConnections() const { return {}; }
  TDatabaseSetType SupportedDatabases() const { return GetSupportedDatabases(); }
  TConnectionSetType SupportedConnections() const { return GetSupportedConnections(); }

  virtual bool GetConnected() { return false; }
  virtual void SetConnected(bool) {}
  bool Connected() { return GetConnected(); }

  virtual void DoBeforeConnect();
  virtual void DoBeforeDisconnect();
  virtual void DoAfterConnect();
  virtual void DoAfterDisconnect();

  // A new query object for this connection; it belongs to the caller.
  virtual std::unique_ptr<TQORQuery> CreateQuery() { return nullptr; }
  virtual void StartTransaction() {}
  virtual void Commit() {}
  virtual void Rollback() {}
  virtual bool InTransaction() { return false; }
  virtual bool CreateDatabase();
  virtual void SetCharSet(const std::string&) {}
  virtual void DoErrorMessage(const std::string& text);
  // The server description: one line with `brief`, the full text otherwise.
  virtual std::string GetServerInfo(bool brief);

  void DoLogNextLine(const std::string& text);
  // The database path handed to the InterBase client.
  std::string GetConnectString() const;
  static TQORAbstractConnection* FindRegisteredConnection(TconnectionType value);
  static std::string GetConnectionUnitName(TconnectionType value);

  // Connection type (through its setter), database type (likewise), then
  // the nine option objects.
  void Assign(const TQORCustomConnection& source);

  TConnectionOptions ConnectionOptions;
  QOR_PER_SERVER_OPTIONS(QOR_OPTIONS_MEMBER, TIBEngineOptions)

  TNotifyEvent OnBeforeConnect;
  TNotifyEvent OnAfterConnect;
  TNotifyEvent OnBeforeDisconnect;
  TNotifyEvent OnAfterDisconnect;
  TErrorMessageEvent OnErrorMessage;
  TLogNextLineEvent OnLogNextLine;

 private:
  TDatabaseType databaseType_ = TDatabaseType::dbAbstract;
  TconnectionType connectionType_ = TconnectionType::cnAbstract;
};

class TQORConnection : public TQORCustomConnection {
 public:
  TQORConnection() = default;
  ~TQORConnection() override;
  const char* ClassName() const override { return "TQORConnection"; }

  void SetDatabaseType(TDatabaseType value) override;
  // Selects the binding registered for the type; raises EQorError naming
  // the unit to include when there is none (the type then stays).
  void SetConnectionType(TconnectionType value) override;
  TDatabaseSetType GetSupportedDatabases() const override;
  TConnectionSetType GetSupportedConnections() const override;
  bool GetConnected() override;
  void SetConnected(bool value) override;
  std::unique_ptr<TQORQuery> CreateQuery() override;
  void StartTransaction() override;
  void Commit() override;
  void Rollback() override;
  bool InTransaction() override;
  bool CreateDatabase() override;
  void SetCharSet(const std::string& charSet) override;

  TQORAbstractConnection* Binding() const { return binding_; }
  TQORDatabase* DatabaseObject() const { return database_.get(); }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void FreeDatabaseObject();
  TQORAbstractConnection* binding_ = nullptr;  // owned by the registry
  std::unique_ptr<TQORDatabase> database_;
};

// ------------------------------------------------------ SQL parameter parser

// Finds the named parameters of a statement (a colon and a name), rewrites
// each as "?" and a doubled colon as one colon; returns the new text. With
// `DoCreate` the list is cleared and receives one parameter per occurrence,
// in order. Text is UTF-8: its multi-byte sequences never hold an ASCII
// byte, so the scan goes byte by byte.
std::string ParseSQLParams(TParams& Params, std::string_view SQL, bool DoCreate);
bool IsParamNameDelimiter(char c);
bool IsLiteralQuote(char c);
// The character before the colon at `colonPos` is a digit and the text up
// to the colon holds only digits and blanks.
bool IsDigitsBeforeColon(std::string_view SQL, std::size_t colonPos);
// A leading and a trailing quote character removed, each when present.
std::string StripQuotes(std::string_view name);
std::string StripLiterals(std::string_view name);

}  // namespace qor
