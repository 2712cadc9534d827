#include "engine/qorDB_ADO.h"

#include "platform/odbc/qorConnString.h"
#include "platform/qorStrings.h"

namespace qor {

// ================================================= BuildADOConnectionString

namespace {

constexpr const char* kHiddenPassword = "*******";

// "name" alone is a database name on the server (DBN); a path or a file
// name with an extension is a database file (DBF).
bool IsBareDatabaseName(std::string_view name) {
  if (name.find_first_of("/\\:") != std::string_view::npos) return false;
  return name.find('.') == std::string_view::npos;
}

}  // namespace

std::string BuildADOConnectionString(TDatabaseType DatabaseType, const std::string& HostName,
                                     const std::string& DatabaseName, TQORProtocol Protocol,
                                     std::int32_t Port, bool HidePassword,
                                     bool UseWindowsAuthentication, const std::string& Password,
                                     const std::string& UserName) {
  using DB = TDatabaseType;
  const std::string host = QuoteOLEDBValue(HostName, "host name");
  const std::string database = QuoteOLEDBValue(DatabaseName, "database name");
  const bool hasHost = !HostName.empty();
  const bool hasDatabase = !DatabaseName.empty();
  std::string s;
  switch (DatabaseType) {
    case DB::dbSybaseASA:
      s += "Provider=ASAProv;";
      // The extended properties are a connection string of their own,
      // carried as one double-quoted value.
      if (hasHost) s += "Extended Properties=" + QuotedStr("ServerName=" + host, '"') + ";";
      if (hasDatabase) s += (IsBareDatabaseName(DatabaseName) ? "DBN=" : "DBF=") + database + ";";
      break;
    case DB::dbOracle:
      s += "Provider=OraOLEDB.Oracle;";
      if (hasHost) s += "Data Source=" + host + ";";
      else if (hasDatabase) s += "Data Source=" + database + ";";
      break;
    case DB::dbMSSQL:
      s += "Provider=SQLOLEDB;Initial Catalog=" + database + ";" + "Data Source=" + host + ";";
      if (Protocol == TQORProtocol::ptTCP) s += "Network Library=DBMSSOCN;";
      break;
    case DB::dbPostgreSQL:
      s += "Provider=PostgreSQL;";
      if (hasHost) s += "Data Source=" + host + ";";
      if (hasDatabase) s += "Location=" + database + ";";
      break;
    case DB::dbDB2:
      s += "Provider=IBMDADB2;";
      if (hasHost) {
        // Host and port form one value.
        s += "Location=" +
             QuoteOLEDBValue(HostName + ":" + (Port != 0 ? IntToStr(Port) : "50000"), "host name") +
             ";";
      }
      s += "Persist Security Info=True;";
      if (hasDatabase) s += "Data Source=" + database + ";";
      break;
    case DB::dbSybaseASE:
      s += "Provider=Sybase.ASEOLEDBProvider;";
      if (hasHost)
        s += "Server Name=" +
             QuoteOLEDBValue(Port != 0 ? HostName + "," + IntToStr(Port) : HostName, "host name") +
             ";";
      if (hasDatabase) s += "Initial Catalog=" + database + ";";
      s += "Optimize Prepare=Partial;";
      s += "Select Method=Direct;Raise Error Behavior=MS Compatible;";
      s += "Print Statement Behavior=MS Compatible;";
      s += "Extended ErrorInfo=FALSE;Stored Proc Row Count=Last Statement Only;";
      break;
    case DB::dbPervasiveSQL:
      s += "Provider=PervasiveOLEDB;";
      if (hasHost) s += "Location=" + host + ";";
      if (hasDatabase) s += "Data Source=" + database + ";";
      s += "Persist Security Info=False;";
      break;
    case DB::dbMSAccess:
    case DB::dbCustomOLEDB:
      // The database name is the whole connection string.
      return DatabaseName;
    case DB::dbAbstract:
    case DB::dbInterBase:
    case DB::dbMySQL:
    case DB::dbParadox:
    case DB::dbDBASE: break;
  }

  if (DatabaseType == DB::dbMSSQL) {
    if (UseWindowsAuthentication)
      return s + "Integrated Security=SSPI;" + "Persist Security Info=False;";
    s += "Persist Security Info=True;";
  }
  if (!UserName.empty()) s += "User ID=" + QuoteOLEDBValue(UserName, "user name") + ";";
  if (Password.empty()) {
    if (DatabaseType == DB::dbSybaseASE) s += "Password=\"\";";
  } else {
    s += "Password=" +
         (HidePassword ? std::string(kHiddenPassword) : QuoteOLEDBValue(Password, "password")) +
         ";";
  }
  return s;
}

// ================================================================ TADO_Query

TADO_Query::TADO_Query() {
  CommandTimeout = 0;
  ownSQL_.OnChange = [this](TObject*) { OwnSQLChanged(); };
}

void TADO_Query::OwnSQLChanged() {
  SQL().Assign(ownSQL_);
  if (ParamCheck) ParseSQLParams(ownParams_, ownSQL_.Text(), /*DoCreate=*/true);
}

// The ADO query's own parameters follow its text the same way, one per
// marker, so that the copy by index lines up.
void TADO_Query::SQLChanged() {
  TADOQuery::SQLChanged();
  if (ParamCheck) ParseSQLParams(Parameters(), SQL().Text(), /*DoCreate=*/true);
}

std::string TADO_Query::StatementText() {
  if (!ParamCheck) return SQL().Text();
  TParams unused;
  return ParseSQLParams(unused, SQL().Text(), /*DoCreate=*/false);
}

// =========================================================== TQORADODatabase

namespace {

bool ConnectsTo(TDatabaseType t) {
  using DB = TDatabaseType;
  switch (t) {
    case DB::dbSybaseASA:
    case DB::dbOracle:
    case DB::dbMSSQL:
    case DB::dbPostgreSQL:
    case DB::dbDB2:
    case DB::dbSybaseASE:
    case DB::dbPervasiveSQL:
    case DB::dbMSAccess:
    case DB::dbCustomOLEDB: return true;
    case DB::dbAbstract:
    case DB::dbInterBase:
    case DB::dbMySQL:
    case DB::dbParadox:
    case DB::dbDBASE: return false;
  }
  return false;
}

}  // namespace

TQORADODatabase::TQORADODatabase() {
  connection_ = Own(std::make_unique<TADOConnection>());
  connection_->IsolationLevel = TIsolationLevel::ilReadCommitted;
  connection_->CommandTimeout = 0;
  connection_->Mode = TConnectMode::cmReadWrite;
}

TQORADODatabase::~TQORADODatabase() {
  try {
    Disconnect();
  } catch (const EQorError&) {
    // Freed with its connection component: no one is left to tell.
  }
}

bool TQORADODatabase::GetConnected() { return connection_->Connected(); }

// Commits an open transaction and closes; closed afterwards even when the
// commit fails (the open transaction is then rolled back).
void TQORADODatabase::Disconnect() {
  if (!connection_->Connected()) return;
  std::string error;
  if (connection_->InTransaction()) {
    try {
      connection_->CommitTrans();
    } catch (const EQorError& e) {
      error = e.what();
    }
  }
  try {
    connection_->Close();
  } catch (const EQorError& e) {
    if (error.empty()) error = e.what();
  }
  if (!error.empty()) throw EQorError(error);
}

void TQORADODatabase::SetConnected(bool value) {
  if (value == GetConnected()) return;
  if (!value) {
    Disconnect();
    return;
  }
  TQORCustomConnection* c = Connection();
  if (!c) throw EQorError("TQORADODatabase: no connection component");
  const TDatabaseType type = c->DatabaseType();
  // Reported, and the attempt goes on: a given ODBC string may still reach
  // a server of that kind.
  if (!ConnectsTo(type)) c->DoErrorMessage("Not supported DatabaseType select.");
  const TConnectionOptions& o = c->ConnectionOptions;
  const bool given = !o.ConnectionString.empty();
  auto build = [&](bool hide) {
    return BuildADOConnectionString(type, o.HostName, o.DatabaseName, o.Protocol, o.Port, hide,
                                    o.UseWindowsAuthentication, o.Password, o.UserName);
  };
  const std::string text = given ? o.ConnectionString : build(/*hide=*/false);
  c->DoLogNextLine(given ? MaskConnectionStringPassword(text) : build(/*hide=*/true));
  connection_->LoginPrompt =
      type == TDatabaseType::dbInterBase && (o.UserName.empty() || o.Password.empty());
  connection_->CursorLocation = type == TDatabaseType::dbSybaseASE ? TCursorLocation::clUseServer
                                                                   : TCursorLocation::clUseClient;
  connection_->ConnectionString = text;
  connection_->Open();
}

void TQORADODatabase::StartTransaction() { connection_->BeginTrans(); }
void TQORADODatabase::Commit() { connection_->CommitTrans(); }
void TQORADODatabase::Rollback() { connection_->RollbackTrans(); }
bool TQORADODatabase::InTransaction() { return connection_->InTransaction(); }

// ============================================================== TQORADOQuery

TQORADOQuery::TQORADOQuery(TCursorLocation cursorLocation)
    : query_(std::make_unique<TADO_Query>()) {
  query_->CursorLocation = cursorLocation;
}

TQORADOQuery::~TQORADOQuery() {
  query_->Close();
  query_.reset();
}

void TQORADOQuery::SetDatabase(TQORDatabase* database) {
  TQORQuery::SetDatabase(database);
  auto* ado = dynamic_cast<TQORADODatabase*>(database);
  query_->SetConnection(ado ? ado->ADOConnection() : nullptr);
}

// Index by index. A parameter that occurs twice in the text has two items;
// ParamByName finds the first, so an item never given a value takes the
// value of the first same-named item that was.
void TQORADOQuery::CopyParams() {
  TParams& own = query_->OwnParams();
  TParams& ado = query_->Parameters();
  for (int i = 0; i < own.Count() && i < ado.Count(); ++i) {
    const TParam* source = own.Items(i);
    if (!source->Bound()) {
      if (const TParam* named = own.FindParam(source->Name()); named && named->Bound())
        source = named;
    }
    ado.Items(i)->AssignValue(*source);
  }
}

void TQORADOQuery::Open() {
  CopyParams();
  query_->Open();
}

void TQORADOQuery::ExecSQL() {
  CopyParams();
  query_->ExecSQL();
}

}  // namespace qor
