// The ADO components over the ODBC driver manager (unixODBC): a connection
// that takes an OLE DB connection string and opens the ODBC driver it
// translates to (platform/odbc/qorConnString.h), and a query on it.
//
// A query reads its whole result when it opens, as a client-side cursor
// does: catalog readers keep one query open while they run others on the
// same connection, and a driver may allow only one active result per
// connection. Statements hold no driver handle between calls.
//
// Every driver error is raised as EADOError carrying the driver's
// diagnostic text. Nothing here opens a dialog: LoginPrompt is kept for the
// callers that set it.
#pragma once

#include "platform/dataset/qorDataSet.h"
#include "platform/qorObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qor {

class EADOError : public EQorError {
 public:
  EADOError(const std::string& message, std::string sqlState, std::int32_t nativeError)
      : EQorError(message), SQLState(std::move(sqlState)), NativeError(nativeError) {}
  std::string SQLState;  // of the first diagnostic record
  std::int32_t NativeError;
};

// clang-format off
enum class TIsolationLevel : std::uint8_t {
  ilUnspecified, ilChaos, ilReadUncommitted, ilBrowse, ilCursorStability, ilReadCommitted,
  ilRepeatableRead, ilSerializable, ilIsolated
};
// clang-format on
// clang-format off
enum class TConnectMode : std::uint8_t {
  cmUnknown, cmRead, cmWrite, cmReadWrite, cmShareDenyRead, cmShareDenyWrite, cmShareExclusive,
  cmShareDenyNone
};
// clang-format on
enum class TCursorLocation : std::uint8_t { clUseServer, clUseClient };

class TADOQuery;

class TADOConnection : public TComponent {
 public:
  TADOConnection();
  ~TADOConnection() override;
  const char* ClassName() const override { return "TADOConnection"; }

  // OLE DB form, or an ODBC string that names a driver or data source.
  std::string ConnectionString;
  TIsolationLevel IsolationLevel = TIsolationLevel::ilCursorStability;
  TConnectMode Mode = TConnectMode::cmUnknown;
  int CommandTimeout = 30;     // seconds; 0: none
  int ConnectionTimeout = 15;  // seconds to log in; 0: the driver's own
  TCursorLocation CursorLocation = TCursorLocation::clUseClient;
  bool LoginPrompt = true;

  bool Connected() const { return dbc_ != nullptr; }
  void SetConnected(bool value) { value ? Open() : Close(); }
  void Open();
  // Rolls back an open transaction, then disconnects.
  void Close();

  // The transaction level, 1 while one is open.
  int BeginTrans();
  void CommitTrans();
  void RollbackTrans();
  bool InTransaction() const { return inTransaction_; }

  // The string handed to the driver manager at the last Open.
  const std::string& ODBCConnectionString() const { return odbcString_; }
  // The driver manager's connection handle; null when closed.
  void* Handle() const { return dbc_; }

 private:
  void EndTrans(bool commit);
  void* env_ = nullptr;
  void* dbc_ = nullptr;
  bool inTransaction_ = false;
  std::string odbcString_;
};

// A query. Parameters are bound by position: the i-th marker "?" of the
// statement takes Parameters[i]; one never given a value is NULL.
class TADOQuery : public TDataSet {
 public:
  TADOQuery();
  ~TADOQuery() override;
  const char* ClassName() const override { return "TADOQuery"; }

  TADOConnection* Connection() const { return connection_; }
  void SetConnection(TADOConnection* connection);

  TStrings& SQL() { return sql_; }
  TParams& Parameters() { return parameters_; }
  bool ParamCheck = true;
  int CommandTimeout = 30;
  TCursorLocation CursorLocation = TCursorLocation::clUseClient;

  // Runs a statement that returns no rows; the rows it changed, or -1.
  std::int64_t ExecSQL();
  // The text last sent to the driver.
  const std::string& StatementSent() const { return sent_; }
  // The number of rows read by the last Open.
  std::size_t RecordCount() const { return rows_.size(); }

 protected:
  // Runs after every change of the SQL text; the base closes the query.
  virtual void SQLChanged();
  // The statement text sent to the driver for the current SQL text.
  virtual std::string StatementText() { return sql_.Text(); }

  void InternalOpen() override;
  void InternalClose() override;
  bool InternalFetch() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  class TStatement;
  std::unique_ptr<TStatement> Execute();
  TADOConnection* connection_ = nullptr;
  TStrings sql_;
  TParams parameters_;
  std::string sent_;
  std::vector<std::vector<TFieldValue>> rows_;
  std::size_t next_ = 0;
};

}  // namespace qor
