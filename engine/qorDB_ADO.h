// The database and query objects of the ADO binding, over the ADO components
// of platform/odbc, and the OLE DB connection string built for each database
// type from the connection parameters.
//
// Every value in a built string is quoted by the OLE DB rules, so that a ";"
// in a password cannot end it early and add keys of its own; a value that no
// connection string can carry is refused with an error.
#pragma once

#include "engine/qorDBEngine.h"
#include "platform/odbc/qorADO.h"

#include <cstdint>
#include <memory>
#include <string>

namespace qor {

// The OLE DB connection string for a database type. With `HidePassword` the
// password shows as "*******". Raises EQorError for a value that cannot be
// carried (a NUL character).
std::string BuildADOConnectionString(TDatabaseType DatabaseType, const std::string& HostName,
                                     const std::string& DatabaseName, TQORProtocol Protocol,
                                     std::int32_t Port, bool HidePassword,
                                     bool UseWindowsAuthentication, const std::string& Password,
                                     const std::string& UserName);

// A TADOQuery with its own SQL list and its own parameter list: a change of
// its own SQL is copied into the ADO query's SQL and, with ParamCheck, the
// own parameters are rebuilt from the text by the engine's parameter parser,
// which also turns the ":NAME" markers into "?" for the driver.
class TADO_Query : public TADOQuery {
 public:
  TADO_Query();
  const char* ClassName() const override { return "TADO_Query"; }

  TStrings& OwnSQL() { return ownSQL_; }
  TParams& OwnParams() { return ownParams_; }

 protected:
  void SQLChanged() override;
  std::string StatementText() override;

 private:
  void OwnSQLChanged();
  TStrings ownSQL_;
  TParams ownParams_;
};

class TQORADODatabase : public TQORDatabase {
 public:
  TQORADODatabase();
  ~TQORADODatabase() override;
  const char* ClassName() const override { return "TQORADODatabase"; }

  bool GetConnected() override;
  // Reports an unsupported database type and goes on; logs the connection
  // string with its password masked; connects.
  void SetConnected(bool value) override;
  void StartTransaction() override;
  void Commit() override;
  void Rollback() override;
  bool InTransaction() override;

  TADOConnection* ADOConnection() const { return connection_; }

 private:
  void Disconnect();
  TADOConnection* connection_;
};

class TQORADOQuery : public TQORQuery {
 public:
  explicit TQORADOQuery(TCursorLocation cursorLocation = TCursorLocation::clUseClient);
  ~TQORADOQuery() override;
  const char* ClassName() const override { return "TQORADOQuery"; }

  TStrings* GetSQL() override { return &query_->OwnSQL(); }
  bool Eof() const override { return query_->Eof(); }
  void SetParamCheck(bool value) override { query_->ParamCheck = value; }
  bool GetParamCheck() override { return query_->ParamCheck; }
  TParams* GetParams() override { return &query_->OwnParams(); }
  bool GetActive() const override { return query_ && query_->Active(); }
  TFields* GetFields() override { return query_->GetFields(); }
  void SetDatabase(TQORDatabase* database) override;
  void Prepare() override {}
  void First() override { query_->First(); }
  void Last() override { query_->Last(); }
  void Next() override { query_->Next(); }
  TField* FieldByName(std::string_view name) override { return query_->FieldByName(name); }
  TParam* ParamByName(std::string_view name) override {
    return query_->OwnParams().ParamByName(name);
  }
  void Open() override;
  void Close() override { query_->Close(); }
  void ExecSQL() override;

  TADO_Query* ADOQuery() const { return query_.get(); }

 private:
  void CopyParams();
  std::unique_ptr<TADO_Query> query_;
};

}  // namespace qor
