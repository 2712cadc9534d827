// The InterBase components over the Firebird client library (libfbclient):
// a database attachment, a transaction, a forward-only query, a one-statement
// reader, the database-information and the services version reader.
//
// Every client-library error is raised as EIBError carrying the server's
// message text. Nothing here opens a dialog: LoginPrompt is kept for the
// callers that set it, and a connect uses exactly the parameters given (the
// embedded engine needs no password).
//
// A database path without a host opens the embedded engine of the client
// library; "host[/port]:path" goes over TCP.
#pragma once

#include "platform/dataset/qorDataSet.h"
#include "platform/qorObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qor {

class EIBError : public EQorError {
 public:
  EIBError(const std::string& message, std::int32_t sqlCode, std::int64_t ibErrorCode)
      : EQorError(message), SQLCode(sqlCode), IBErrorCode(ibErrorCode) {}
  std::int32_t SQLCode;
  std::int64_t IBErrorCode;  // the first error code of the status vector
};

class TIBDatabase;
class TIBTransaction;
class TIBStatement;

// Seconds a server has to answer a new attachment before the client gives
// up (the client's own default is three minutes, with the window frozen).
inline constexpr int kIBConnectTimeout = 15;

// Link of a component to the database and transaction it works on, so that
// the component hears before the database disconnects or the transaction
// ends (and frees its statement or closes its cursor in time), and loses the
// pointer when either is destroyed.
class TIBLink {
 public:
  TIBLink() = default;
  TIBLink(const TIBLink&) = delete;
  TIBLink& operator=(const TIBLink&) = delete;
  ~TIBLink();

  TIBDatabase* Database() const { return database_; }
  void SetDatabase(TIBDatabase* database);
  TIBTransaction* Transaction() const { return transaction_; }
  void SetTransaction(TIBTransaction* transaction);

  std::function<void()> OnDatabaseClosing;
  std::function<void()> OnTransactionEnding;

 private:
  friend class TIBDatabase;
  friend class TIBTransaction;
  TIBDatabase* database_ = nullptr;
  TIBTransaction* transaction_ = nullptr;
};

class TIBDatabase : public TComponent {
 public:
  TIBDatabase() = default;
  ~TIBDatabase() override;
  const char* ClassName() const override { return "TIBDatabase"; }

  std::string DatabaseName;
  // "user_name=", "password=", "sql_role_name=", "lc_ctype=" lines for a
  // connect; the clauses after the file name for CreateDatabase.
  TStrings Params;
  int SQLDialect = 3;
  bool LoginPrompt = false;
  // 0: the client library's own.
  int ConnectTimeout = kIBConnectTimeout;

  bool Connected() const { return handle_ != 0; }
  void SetConnected(bool value) { value ? Open() : Close(); }
  void Open();
  // Ends the active transactions (committing them), frees the statements of
  // the linked components, then detaches.
  void Close();
  // "CREATE DATABASE '<name>' " followed by the Params lines; the new
  // database stays connected.
  void CreateDatabase();

  // The database's own dialect, read at connect; the dialect of every
  // statement is the lower of it and SQLDialect.
  int DBSQLDialect() const { return dbDialect_; }
  int StatementDialect() const;

  std::uint32_t* Handle() { return &handle_; }

 private:
  friend class TIBLink;
  void AfterAttach();
  std::uint32_t handle_ = 0;
  int dbDialect_ = 0;
  std::vector<TIBLink*> links_;
};

class TIBTransaction : public TComponent {
 public:
  TIBTransaction();
  ~TIBTransaction() override;
  const char* ClassName() const override { return "TIBTransaction"; }

  // One isolation or lock option per line: "concurrency", "consistency",
  // "read_committed", "rec_version", "no_rec_version", "wait", "nowait",
  // "read", "write".
  TStrings Params;

  TIBDatabase* DefaultDatabase() const { return link_.Database(); }
  void SetDefaultDatabase(TIBDatabase* database) { link_.SetDatabase(database); }

  bool Active() const { return handle_ != 0; }
  bool InTransaction() const { return Active(); }
  void SetActive(bool value);
  void StartTransaction();
  // Commit and Rollback close the cursors of the linked components first.
  void Commit();
  void Rollback();

  std::uint32_t* Handle() { return &handle_; }

 private:
  friend class TIBLink;
  void End(bool commit);
  std::uint32_t handle_ = 0;
  TIBLink link_;
  std::vector<TIBLink*> links_;
};

// A forward-only query. Parameters are bound by position: the i-th marker
// "?" of the statement takes Params[i], or, when that one was never given a
// value, the first same-named parameter that was. The prepared statement is
// kept until the SQL text changes. An inactive transaction is started.
class TIBQuery : public TDataSet {
 public:
  TIBQuery();
  ~TIBQuery() override;
  const char* ClassName() const override { return "TIBQuery"; }

  TIBDatabase* Database() const { return link_.Database(); }
  void SetDatabase(TIBDatabase* database);
  TIBTransaction* Transaction() const { return link_.Transaction(); }
  void SetTransaction(TIBTransaction* transaction);

  TStrings& SQL() { return sql_; }
  TParams& Params() { return params_; }
  bool ParamCheck = true;
  bool Unidirectional = true;  // the only mode there is

  bool Prepared() const;
  void Prepare();
  void Unprepare();
  void ExecSQL();
  // The text last prepared, as sent to the server.
  const std::string& PreparedText() const { return preparedText_; }

 protected:
  // Runs after every change of the SQL text: closes and unprepares.
  virtual void SQLChanged();
  // The statement text sent to the server for the current SQL text.
  virtual std::string StatementText() { return sql_.Text(); }

  void InternalOpen() override;
  void InternalClose() override;
  bool InternalFetch() override;

 private:
  TIBStatement& Statement();
  TIBLink link_;
  TStrings sql_;
  TParams params_;
  std::unique_ptr<TIBStatement> stmt_;
  std::string preparedText_;
};

// One statement without parameters, read field by field.
class TIBSQL : public TComponent {
 public:
  TIBSQL();
  ~TIBSQL() override;
  const char* ClassName() const override { return "TIBSQL"; }

  TIBDatabase* Database() const { return link_.Database(); }
  void SetDatabase(TIBDatabase* database) { link_.SetDatabase(database); }
  TIBTransaction* Transaction() const { return link_.Transaction(); }
  void SetTransaction(TIBTransaction* transaction) { link_.SetTransaction(transaction); }

  TStrings SQL;
  // Runs the statement; a select lands on its first row.
  void ExecQuery();
  bool Eof() const { return eof_; }
  void Next();
  void Close();
  TFields& Fields() { return fields_; }
  TField* FieldByName(std::string_view name) { return fields_.FieldByName(name); }

 private:
  TIBLink link_;
  std::unique_ptr<TIBStatement> stmt_;
  TFields fields_;
  bool eof_ = true;
};

// Facts of the connected database, each read from the server when asked.
class TIBDatabaseInfo : public TComponent {
 public:
  const char* ClassName() const override { return "TIBDatabaseInfo"; }
  TIBDatabase* Database() const { return link_.Database(); }
  void SetDatabase(TIBDatabase* database) { link_.SetDatabase(database); }

  std::string Version();
  std::int32_t ODSMajorVersion();
  std::int32_t ODSMinorVersion();
  std::int32_t PageSize();
  std::int32_t ForcedWrites();
  std::int32_t SweepInterval();
  std::int32_t ReadOnly();
  std::int32_t NumBuffers();
  std::int32_t DBImplementationNo();
  std::int32_t DBImplementationClass();
  std::int32_t DBSQLDialect();

 private:
  std::vector<std::uint8_t> Info(std::uint8_t item);
  std::int32_t InfoInt(std::uint8_t item);
  TIBLink link_;
};

enum class TIBProtocol : std::uint8_t { TCP, SPX, NamedPipe, Local };

struct TIBVersionInfo {
  std::string ServerVersion;
  std::string ServerImplementation;
  std::int32_t ServiceVersion = 0;
};

// The services manager: "host[/port]:service_mgr" over TCP, "service_mgr"
// of the embedded engine for Local. SPX and named pipes do not exist on
// this platform and are refused with an error.
class TIBServerProperties : public TComponent {
 public:
  ~TIBServerProperties() override;
  const char* ClassName() const override { return "TIBServerProperties"; }

  std::string ServerName;
  TIBProtocol Protocol = TIBProtocol::Local;
  TStrings Params;  // "user_name=", "password="
  bool LoginPrompt = false;
  int ConnectTimeout = kIBConnectTimeout;  // 0: the client library's own

  bool Active() const { return handle_ != 0; }
  void SetActive(bool value);
  void FetchVersionInfo();
  const TIBVersionInfo& VersionInfo() const { return versionInfo_; }
  // The name handed to the client library.
  std::string ServiceName() const;

 private:
  std::uint32_t handle_ = 0;
  TIBVersionInfo versionInfo_;
};

// Stops the client library's threads and the embedded engine; for the end
// of the program, after every component here has been freed.
void IBClientShutdown();

}  // namespace qor
