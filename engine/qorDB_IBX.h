// The database and query objects of the InterBase-client binding, over the
// InterBase components of platform/ibx.
//
// Connecting reads the server and database facts into the connection's
// IBServerOptions and reconnects once when the database's character set or
// dialect differ from the requested ones. Every catalog query of one
// connection runs in the one transaction that connecting starts;
// disconnecting commits it.
#pragma once

#include "engine/qorDBEngine.h"
#include "platform/ibx/qorIBX.h"

#include <memory>
#include <string>

namespace qor {

// A TIBQuery whose parameter list follows its SQL text through the
// engine's parameter parser, keeping the values of same-named parameters.
class T_IBQuery : public TIBQuery {
 public:
  const char* ClassName() const override { return "T_IBQuery"; }

 protected:
  void SQLChanged() override;
  std::string StatementText() override;
};

// Raises EQorError when the options ask for a protocol that does not exist
// on this platform (SPX, named pipes): its path form would otherwise reach
// the client library as the name of a local file.
void CheckIBProtocol(const TConnectionOptions& options);

class TQORIBXDatabase : public TQORDatabase {
 public:
  TQORIBXDatabase();
  ~TQORIBXDatabase() override;
  const char* ClassName() const override { return "TQORIBXDatabase"; }

  bool GetConnected() override;
  void SetConnected(bool value) override;
  void StartTransaction() override;
  void Commit() override;
  void Rollback() override;
  bool InTransaction() override;
  void SetCharSet(const std::string& charSet) override;

  TIBDatabase* IBDatabase() const { return database_; }
  TIBTransaction* IBTransaction() const { return transaction_; }
  TIBDatabaseInfo* IBDatabaseInfo() const { return info_; }
  TIBServerProperties* IBServerProperties() const { return server_; }

 private:
  // Attaches, starts the transaction, reads the facts; returns the
  // database's default character set.
  std::string Connect(TQORCustomConnection& c);
  void ReadFacts(TQORCustomConnection& c);
  std::string ReadCharSet();
  void SetDatabaseParams(TQORCustomConnection& c, const std::string& charSet);
  void Disconnect();

  TIBDatabase* database_;
  TIBDatabaseInfo* info_;
  TIBServerProperties* server_;
  TIBTransaction* transaction_;
};

class TQORIBXQuery : public TQORQuery {
 public:
  TQORIBXQuery();
  const char* ClassName() const override { return "TQORIBXQuery"; }

  TStrings* GetSQL() override { return &query_->SQL(); }
  bool Eof() const override { return query_->Eof(); }
  void SetParamCheck(bool value) override { query_->ParamCheck = value; }
  bool GetParamCheck() override { return query_->ParamCheck; }
  TParams* GetParams() override { return &query_->Params(); }
  // The inner query's state: True while a result set is open.
  bool GetActive() const override { return query_->Active(); }
  TFields* GetFields() override { return query_->GetFields(); }
  void SetDatabase(TQORDatabase* database) override;
  void Prepare() override { query_->Prepare(); }
  void First() override { query_->First(); }
  void Last() override { query_->Last(); }
  void Next() override { query_->Next(); }
  TField* FieldByName(std::string_view name) override { return query_->FieldByName(name); }
  TParam* ParamByName(std::string_view name) override { return query_->Params().ParamByName(name); }
  void Open() override { query_->Open(); }
  void Close() override { query_->Close(); }
  void ExecSQL() override { query_->ExecSQL(); }

  T_IBQuery* IBQuery() const { return query_.get(); }

 private:
  std::unique_ptr<T_IBQuery> query_;
};

}  // namespace qor
