#include "engine/qorDB_IBX.h"

#include "platform/qorStrings.h"

namespace qor {

namespace {

TIBProtocol ToIBProtocol(TQORProtocol p) {
  switch (p) {
    case TQORProtocol::ptTCP: return TIBProtocol::TCP;
    case TQORProtocol::ptSPX: return TIBProtocol::SPX;
    case TQORProtocol::ptNamedPipe: return TIBProtocol::NamedPipe;
    case TQORProtocol::ptLocal: return TIBProtocol::Local;
  }
  return TIBProtocol::TCP;
}

}  // namespace

void CheckIBProtocol(const TConnectionOptions& o) {
  if (o.HostName.empty()) return;  // a local path: the embedded engine
  switch (o.Protocol) {
    case TQORProtocol::ptSPX:
      throw EQorError("The SPX protocol is not available on this platform; connect over TCP/IP.");
    case TQORProtocol::ptNamedPipe:
      throw EQorError("Named pipes are not available on this platform; connect over TCP/IP.");
    case TQORProtocol::ptTCP:
    case TQORProtocol::ptLocal: return;
  }
}

// ------------------------------------------------------------------ T_IBQuery

void T_IBQuery::SQLChanged() {
  TIBQuery::SQLChanged();
  if (!ParamCheck) return;
  TParams fresh;
  ParseSQLParams(fresh, SQL().Text(), /*DoCreate=*/true);
  fresh.AssignValues(Params());
  Params().Clear();
  Params().MoveFrom(fresh);
}

std::string T_IBQuery::StatementText() {
  if (!ParamCheck) return SQL().Text();
  TParams unused;
  return ParseSQLParams(unused, SQL().Text(), /*DoCreate=*/false);
}

// ------------------------------------------------------------ TQORIBXDatabase

TQORIBXDatabase::TQORIBXDatabase() {
  database_ = Own(std::make_unique<TIBDatabase>());
  info_ = Own(std::make_unique<TIBDatabaseInfo>());
  info_->SetDatabase(database_);
  server_ = Own(std::make_unique<TIBServerProperties>());
  transaction_ = Own(std::make_unique<TIBTransaction>());
  transaction_->Params.Clear();
  transaction_->Params.Add("concurrency");
  transaction_->Params.Add("nowait");
  transaction_->SetDefaultDatabase(database_);
}

TQORIBXDatabase::~TQORIBXDatabase() {
  try {
    Disconnect();
  } catch (const EQorError&) {
    // Freed with its connection component: no one is left to tell.
  }
}

bool TQORIBXDatabase::GetConnected() { return database_->Connected(); }

void TQORIBXDatabase::SetDatabaseParams(TQORCustomConnection& c, const std::string& charSet) {
  const TConnectionOptions& o = c.ConnectionOptions;
  database_->Params.Clear();
  if (!o.UserName.empty()) database_->Params.Add("user_name=" + o.UserName);
  if (!o.Password.empty()) database_->Params.Add("password=" + o.Password);
  if (!o.RoleName.empty()) database_->Params.Add("sql_role_name=" + o.RoleName);
  if (!charSet.empty()) database_->Params.Add("lc_ctype=" + charSet);
}

// Commits an active transaction and detaches; the database is disconnected
// afterwards even when the commit or the detach fails.
void TQORIBXDatabase::Disconnect() {
  std::string error;
  if (transaction_->Active()) {
    try {
      transaction_->Commit();
    } catch (const EQorError& e) {
      error = e.what();
      try {
        transaction_->Rollback();
      } catch (const EQorError&) {
        // The handle is given up; the server rolls back.
      }
    }
  }
  try {
    database_->Close();
  } catch (const EQorError& e) {
    if (error.empty()) error = e.what();
  }
  if (!error.empty()) throw EQorError(error);
}

std::string TQORIBXDatabase::Connect(TQORCustomConnection& c) {
  const TConnectionOptions& o = c.ConnectionOptions;
  TIBEngineOptions& s = c.IBServerOptions;
  database_->DatabaseName = c.GetConnectString();
  database_->LoginPrompt = o.UserName.empty() || o.Password.empty();
  SetDatabaseParams(c, s.GetDBCharSet());
  database_->SQLDialect = s.SQLDialect;
  try {
    CheckIBProtocol(o);
    database_->Open();
    transaction_->StartTransaction();
    ReadFacts(c);
    return ReadCharSet();
  } catch (...) {
    // Nothing half-open: the database closes and its facts, which may be
    // those of an earlier connection or half read, are forgotten.
    s.IBDatabaseOptions.Clear();
    try {
      Disconnect();
    } catch (const EQorError&) {
      // The first failure is the one reported.
    }
    throw;
  }
}

std::string TQORIBXDatabase::ReadCharSet() {
  TIBSQL sql;
  sql.SetDatabase(database_);
  sql.SetTransaction(transaction_);
  sql.SQL.SetText("SELECT RDB$CHARACTER_SET_NAME FROM RDB$DATABASE");
  sql.ExecQuery();
  std::string name = TrimCtl(sql.FieldByName("RDB$CHARACTER_SET_NAME")->AsString());
  sql.Close();
  return name;
}

void TQORIBXDatabase::ReadFacts(TQORCustomConnection& c) {
  const TConnectionOptions& o = c.ConnectionOptions;
  TIBDatabaseOptions& d = c.IBServerOptions.IBDatabaseOptions;

  server_->ServerName = o.Port != 0 && o.Protocol == TQORProtocol::ptTCP
                            ? o.HostName + "/" + IntToStr(o.Port)
                            : o.HostName;
  server_->Params.Clear();
  server_->Params.Add("user_name=" + o.UserName);
  server_->Params.Add("password=" + o.Password);
  server_->LoginPrompt = false;
  server_->Protocol = ToIBProtocol(o.Protocol);
  server_->SetActive(true);
  try {
    server_->FetchVersionInfo();
  } catch (...) {
    try {
      server_->SetActive(false);
    } catch (const EQorError&) {
      // The first failure is the one reported.
    }
    throw;
  }
  d.ServerImplementation = server_->VersionInfo().ServerImplementation;
  server_->SetActive(false);

  d.Version = info_->Version();
  d.ODSMajorVersion = info_->ODSMajorVersion();
  d.ODSMinorVersion = info_->ODSMinorVersion();
  d.PageSize = info_->PageSize();
  d.ForcedWrites = info_->ForcedWrites();
  d.SweepInterval = info_->SweepInterval();
  d.ReadOnly = info_->ReadOnly();
  d.NumBuffers = info_->NumBuffers();
  d.DBImplementationNo = info_->DBImplementationNo();
  d.DBImplementationClass = info_->DBImplementationClass();
  d.DBSQLDialect = info_->DBSQLDialect();
}

void TQORIBXDatabase::SetConnected(bool value) {
  if (value == GetConnected()) return;
  if (!value) {
    Disconnect();
    return;
  }
  TQORCustomConnection* c = Connection();
  if (!c) throw EQorError("TQORIBXDatabase: no connection component");
  if (c->DatabaseType() != TDatabaseType::dbInterBase)
    throw EQorError("Not supported DatabaseType select.");
  TIBEngineOptions& s = c->IBServerOptions;
  const std::string charSet = Connect(*c);
  if (charSet == s.GetDBCharSet() && s.IBDatabaseOptions.DBSQLDialect == s.SQLDialect) return;

  // Once more with the database's own character set and dialect; the
  // second connection is kept whatever it reports.
  s.SetDBCharSet(charSet);
  s.SQLDialect = static_cast<TIBSQLDialectType>(s.IBDatabaseOptions.DBSQLDialect);
  try {
    Disconnect();
  } catch (...) {
    s.IBDatabaseOptions.Clear();
    throw;
  }
  Connect(*c);
}

void TQORIBXDatabase::StartTransaction() { transaction_->StartTransaction(); }
void TQORIBXDatabase::Commit() { transaction_->Commit(); }
void TQORIBXDatabase::Rollback() { transaction_->Rollback(); }
bool TQORIBXDatabase::InTransaction() { return transaction_->Active(); }

void TQORIBXDatabase::SetCharSet(const std::string& charSet) {
  if (database_->Connected()) database_->Close();
  if (!charSet.empty()) {
    if (TQORCustomConnection* c = Connection()) SetDatabaseParams(*c, charSet);
  }
  database_->Open();
}

// --------------------------------------------------------------- TQORIBXQuery

TQORIBXQuery::TQORIBXQuery() : query_(std::make_unique<T_IBQuery>()) {
  query_->Unidirectional = true;
}

void TQORIBXQuery::SetDatabase(TQORDatabase* database) {
  TQORQuery::SetDatabase(database);
  auto* ibx = dynamic_cast<TQORIBXDatabase*>(database);
  query_->SetDatabase(ibx ? ibx->IBDatabase() : nullptr);
  query_->SetTransaction(ibx ? ibx->IBTransaction() : nullptr);
}

}  // namespace qor
