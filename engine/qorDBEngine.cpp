#include "engine/qorDBEngine.h"

#include "base/qorMsgMngr.h"
#include "platform/qorStrings.h"

#include <cmath>
#include <exception>

namespace qor {

// ================================================================== registry

namespace {

using SD = TScriptDialect;

constinit std::unique_ptr<TConnectionRegistry> registry;

}  // namespace

void InitConnectionRegistry() {
  if (!registry) registry = std::make_unique<TConnectionRegistry>(/*sorted=*/true);
}

void DoneConnectionRegistry() {
  if (!registry) return;
  // Bindings are freed in list order, then the list.
  std::unique_ptr<TConnectionRegistry> list = std::move(registry);
  for (auto& entry : *list) entry.Value.reset();
  list.reset();
}

TConnectionRegistry* RegisteredConnections() { return registry.get(); }

bool RegisterConnection(std::string name, std::unique_ptr<TQORAbstractConnection> binding) {
  if (!registry || !binding) return false;
  int index;
  if (registry->Find(name, index)) return false;  // the newcomer is freed on return
  registry->Add(std::move(name), std::move(binding));
  return true;
}

std::unique_ptr<TQORAbstractConnection> UnregisterConnection(std::string_view name) {
  if (!registry) return nullptr;
  const int index = registry->IndexOf(name);
  if (index < 0) return nullptr;
  return registry->Extract(index);
}

// =================================================================== binding

// Links between bindings and connections are only ever added: several
// connections may hold the same binding, and a link shared by both sides
// must stay while either side still points at the other.
void TQORAbstractConnection::SetOwningConnection(TQORCustomConnection* connection) {
  owningConnection_ = connection;
  if (owningConnection_) FreeNotification(owningConnection_);
}

void TQORAbstractConnection::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == owningConnection_)
    owningConnection_ = nullptr;
}

bool TQORAbstractConnection::CreateDatabase() {
  DoErrorMessage("CREATE DATABASE not implemented (TQORAbstractConnection).");
  return false;
}

void TQORAbstractConnection::DoErrorMessage(const std::string& text) {
  if (owningConnection_ && owningConnection_->OnErrorMessage) {
    owningConnection_->OnErrorMessage(this, text);
    return;
  }
  ShowMsg(text);
}

// ===================================================================== query

TQORQuery::~TQORQuery() {
  SetConnection(nullptr);
  if (database_) RemoveFreeNotification(database_);
  database_ = nullptr;
}

void TQORQuery::SetConnection(TQORCustomConnection* connection) {
  if (connection == connection_) return;
  if (connection_) RemoveFreeNotification(connection_);
  connection_ = connection;
  if (connection_) FreeNotification(connection_);
}

void TQORQuery::SetDatabase(TQORDatabase* database) {
  if (database == database_) return;
  if (database_) RemoveFreeNotification(database_);
  database_ = database;
  if (database_) FreeNotification(database_);
}

void TQORQuery::Notification(TComponent* component, TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  // A connection type change frees the database object the query was
  // handed; the query then works on nothing instead of a freed object.
  if (component == database_) SetDatabase(nullptr);
  if (component == connection_) connection_ = nullptr;
}

// ====================================================== TQORCustomConnection

namespace {

bool SameTextAscii(const std::string& a, std::string_view b) { return UpperAscii(a) == b; }

}  // namespace

void TQORCustomConnection::DoLogNextLine(const std::string& text) {
  if (OnLogNextLine) OnLogNextLine(this, text);
}

void TQORCustomConnection::DoErrorMessage(const std::string& text) {
  if (OnErrorMessage) {
    OnErrorMessage(this, text);
    return;
  }
  ShowMsg(text);
}

bool TQORCustomConnection::CreateDatabase() {
  DoErrorMessage(std::string("CREATE DATABASE not implemented (") + ClassName() + ").");
  return false;
}

std::string TQORCustomConnection::GetConnectString() const {
  const TConnectionOptions& o = ConnectionOptions;
  if (DatabaseType() != TDatabaseType::dbInterBase || o.HostName.empty()) return o.DatabaseName;
  switch (o.Protocol) {
    case TQORProtocol::ptSPX: return o.HostName + "@" + o.DatabaseName;
    case TQORProtocol::ptNamedPipe: return "\\\\" + o.HostName + "\\" + o.DatabaseName;
    case TQORProtocol::ptTCP:
    case TQORProtocol::ptLocal:
      if (o.Port == 0) return o.HostName + ":" + o.DatabaseName;
      return o.HostName + "/" + IntToStr(o.Port) + ":" + o.DatabaseName;
  }
  return o.DatabaseName;
}

void TQORCustomConnection::DoBeforeConnect() {
  const std::string path = GetConnectString();
  if (!path.empty()) DoLogNextLine("Connect to: " + QuotedStr(path) + "...");
  if (OnBeforeConnect) OnBeforeConnect(this);
}

void TQORCustomConnection::DoBeforeDisconnect() {
  if (OnBeforeDisconnect) OnBeforeDisconnect(this);
}

void TQORCustomConnection::DoAfterDisconnect() {
  if (OnAfterDisconnect) OnAfterDisconnect(this);
}

void TQORCustomConnection::DoAfterConnect() {
  const std::string info = TrimCtl(GetServerInfo(/*brief=*/true));
  if (!info.empty()) DoLogNextLine("Server version: " + info);
  std::unique_ptr<TQORQuery> q = CreateQuery();
  if (q && q->GetSQL()) {
    if (DatabaseType() == TDatabaseType::dbMySQL && GetConnected() &&
        !MySQLServerOptions.CharSet.empty()) {
      const std::string sql = "SET CHARACTER SET " + MySQLServerOptions.CharSet;
      DoLogNextLine(sql);
      q->GetSQL()->SetText(sql);
      q->ExecSQL();
    }
    const TConnectionOptions& o = ConnectionOptions;
    if (DatabaseType() == TDatabaseType::dbOracle && GetConnected() && !o.DatabaseName.empty() &&
        o.DatabaseName != o.HostName &&
        (SameTextAscii(o.UserName, "SYSTEM") || SameTextAscii(o.UserName, "SYS"))) {
      const std::string sql = "ALTER SESSION SET CURRENT_SCHEMA = " + o.DatabaseName;
      DoLogNextLine(sql);
      q->GetSQL()->Clear();
      q->GetSQL()->Add(sql);
      try {
        q->ExecSQL();
      } catch (const std::exception& e) {
        // The session keeps its default schema; the connection stays open.
        DoErrorMessage(std::string(e.what()) + "\r\n" + sql);
      }
    }
  }
  q.reset();
  if (OnAfterConnect) OnAfterConnect(this);
}

std::string TQORCustomConnection::GetServerInfo(bool brief) {
  std::string text;
  if (!GetConnected()) return text;
  const std::string crlf(CRLF);
  const TConnectionOptions& o = ConnectionOptions;

  if (DatabaseType() == TDatabaseType::dbInterBase) {
    const TIBDatabaseOptions& d = IBServerOptions.IBDatabaseOptions;
    if (d.Version.empty()) return text;
    text = d.Version;
    if (!d.ServerImplementation.empty()) text += " (" + d.ServerImplementation + ")";
    text += crlf;
    if (!o.ClientLibrary.empty()) text += "Client library: " + o.ClientLibrary + crlf;
    if (brief) return text;
    text += "Database name : " + o.DatabaseName + crlf;
    if (!IBServerOptions.GetDBCharSet().empty())
      text += "Character set : " + IBServerOptions.GetDBCharSet() + crlf;
    text +=
        "ODS version   : " + IntToStr(d.ODSMajorVersion) + "." + IntToStr(d.ODSMinorVersion) + crlf;
    text += "SQL Dialect   : " + IntToStr(d.DBSQLDialect) + crlf;
    text += "Sweep interval: " + IntToStr(d.SweepInterval) + crlf;
    text += "Page size     : " + IntToStr(d.PageSize) + crlf;
    text += std::string("Read-only     : ") + (d.ReadOnly != 0 ? "True" : "False") + crlf;
    text += std::string("Forced writes : ") + (d.ForcedWrites != 0 ? "On" : "Off") + crlf;
    const auto kb = std::llround(static_cast<double>(d.NumBuffers) * d.PageSize / 1024.0);
    text += "Buffers       : " + IntToStr(d.NumBuffers) + " pages " + "(" + IntToStr(kb) + " Kb)" +
            crlf;
    return text;
  }

  std::unique_ptr<TQORQuery> q = CreateQuery();
  if (!q || !q->GetSQL()) return text;
  auto open = [&](const std::string& sql) {
    q->Close();
    q->GetSQL()->SetText(sql);
    q->Open();
  };
  auto exec = [&](const std::string& sql) {
    q->Close();
    q->GetSQL()->SetText(sql);
    q->ExecSQL();
  };
  auto field = [&](const char* name) {
    TField* f = q->FieldByName(name);
    return f ? f->AsString() : std::string();
  };
  auto first = [&]() {
    TFields* fs = q->GetFields();
    return fs && fs->Count() > 0 ? fs->Fields(0)->AsString() : std::string();
  };

  switch (ScriptDialect(DatabaseType())) {
    case SD::sdASA:
      open(
          "SELECT\r\nxp_msver( 'ProductName') PN,\r\nxp_msver( 'ProductVersion') PV,\r\n"
          "xp_msver( 'CompanyName') CN,\r\nxp_msver('FileDescription') FD,\r\n"
          "xp_msver('LegalCopyright') LC,\r\nxp_msver('LegalTrademarks') LT,\r\n"
          "xp_msver('Language') LG");
      text = field("PN") + " v." + field("PV");
      if (!brief)
        text += crlf + field("CN") + crlf + field("FD") + crlf + field("LC") + crlf + field("LT");
      break;
    case SD::sdMySQL:
      open("Select version()");
      text = "MySQL " + first();
      break;
    case SD::sdOracle:
      open("select * from v$version");
      while (!q->Eof()) {
        text += first() + crlf;
        q->Next();
      }
      break;
    case SD::sdMSSQL: {
      exec("Use master");
      open("xp_msver " + QuotedStr("ProductName"));
      text = field("CHARACTER_VALUE");
      open(
          "Select ServerProperty('Edition') Edition, ServerProperty('ProductLevel') ProductLevel, "
          "ServerProperty('ProductVersion') ProductVersion, ServerProperty('Collation') Collation");
      text += " [" + field("EDITION") + "] " + " v." + field("PRODUCTVERSION");
      if (const std::string level = field("PRODUCTLEVEL"); !level.empty())
        text += " (" + level + ")";
      if (const std::string coll = field("COLLATION"); !coll.empty())
        text += crlf + "Default collation: " + coll;
      open("xp_msver " + QuotedStr("Language"));
      text += crlf + "Language: " + field("CHARACTER_VALUE");
      if (!o.DatabaseName.empty()) {
        if (!brief) {
          open("sp_helpdb " + QuotedStr(o.DatabaseName));
          text += crlf + "Database: " + field("NAME");
          text += crlf + "Owner   : " + field("OWNER");
          text += crlf + "Size    : " + TrimCtl(field("DB_SIZE"));
          text += crlf + "Created : " + field("CREATED");
          text += crlf + "Options : " + field("STATUS");
        }
        // Bracketed, so a name with blanks or brackets can neither break nor
        // extend the statement.
        exec("Use " + BracketedStr(o.DatabaseName));
      }
      break;
    }
    case SD::sdPostgreSQL:
      open("select version()");
      text = first();
      break;
    case SD::sdASE:
      exec("Use master");
      open("select @@version");
      text = first();
      if (!o.DatabaseName.empty()) {
        if (!brief) {
          open("exec sp_helpdb " + QuotedStr(o.DatabaseName));
          text += crlf + "  Database: " + field("NAME");
          text += crlf + "  Size    : " + TrimCtl(field("DB_SIZE"));
          text += crlf + "  Owner   : " + field("OWNER");
          text += crlf + "  Created : " + field("CREATED");
          text += crlf + "  Status  : " + field("STATUS");
        }
        exec("Use " + BracketedStr(o.DatabaseName));
      }
      break;
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdDB2: break;
  }
  q->Close();
  return text;
}

TQORAbstractConnection* TQORCustomConnection::FindRegisteredConnection(TconnectionType value) {
  TConnectionRegistry* list = RegisteredConnections();
  if (!list) return nullptr;
  for (auto& entry : *list)
    if (entry.Value && entry.Value->ConnectionType() == value) return entry.Value.get();
  return nullptr;
}

std::string TQORCustomConnection::GetConnectionUnitName(TconnectionType value) {
  switch (value) {
    case TconnectionType::cnIBX: return "qorConnection_IBXDB";
    case TconnectionType::cnFIB: return "qorConnection_FIBDB";
    case TconnectionType::cnIBO: return "qorConnection_IBODB";
    case TconnectionType::cnADO: return "qorConnection_ADODB";
    case TconnectionType::cnZEOS: return "qorConnection_ZEOSDB";
    case TconnectionType::cnBDE: return "qorConnection_BDEDB";
    case TconnectionType::cnDBX: return "qorConnection_DBXDB";
    case TconnectionType::cnAnyDAC: return "qorConnection_AnyDACDB";
    case TconnectionType::cnUIB: return "qorConnection_UIBDB";
    case TconnectionType::cnODAC: return "qorConnection_ODACDB";
    case TconnectionType::cnSAVCL: return "qorConnection_SAVCLDB";
    case TconnectionType::cnMyDAC: return "qorConnection_MyDACDB";
    case TconnectionType::cnPostgresDAC: return "qorConnection_PGDACDB";
    case TconnectionType::cnIBDAC: return "qorConnection_IBDACDB";
    case TconnectionType::cnFireDAC: return "qorConnection_FireDACDB";
    case TconnectionType::cnAbstract:
    case TconnectionType::cnUniDAC: return "qorConnection_XXXDB";
  }
  return "qorConnection_XXXDB";
}

void TQORCustomConnection::Assign(const TQORCustomConnection& source) {
  if (&source == this) return;
  SetConnectionType(source.ConnectionType());
  SetDatabaseType(source.DatabaseType());
  ConnectionOptions.Assign(source.ConnectionOptions);
#define QOR_ASSIGN(Type, Name) Name.Assign(source.Name);
  QOR_PER_SERVER_OPTIONS(QOR_ASSIGN, TIBEngineOptions)
#undef QOR_ASSIGN
}

// ============================================================ TQORConnection

TQORConnection::~TQORConnection() { FreeDatabaseObject(); }

void TQORConnection::FreeDatabaseObject() {
  if (!database_) return;
  try {
    // Disconnects (committing) before the object goes.
    database_->SetConnected(false);
  } catch (const std::exception& e) {
    DoErrorMessage(e.what());
  }
  database_.reset();
}

void TQORConnection::Notification(TComponent* component, TOperation operation) {
  TQORCustomConnection::Notification(component, operation);
  if (operation == TOperation::opRemove && component == binding_) binding_ = nullptr;
}

void TQORConnection::SetDatabaseType(TDatabaseType value) {
  TQORCustomConnection::SetDatabaseType(value);
  if (binding_) binding_->SetDatabaseType(value);
}

void TQORConnection::SetConnectionType(TconnectionType value) {
  if (value == ConnectionType()) return;
  TQORAbstractConnection* found = FindRegisteredConnection(value);
  if (!found) {
    const std::string unit = GetConnectionUnitName(value);
    const std::string crlf(CRLF);
    throw EQorError(crlf + "Not supported connection select." + crlf + "Include unit \"" + unit +
                    "\" in Your project (app/main.cpp)." + crlf + "Uses " + unit + ";" + crlf);
  }
  binding_ = nullptr;
  TQORCustomConnection::SetConnectionType(value);
  binding_ = found;
  FreeNotification(binding_);
  binding_->SetOwningConnection(this);
  FreeDatabaseObject();
  binding_->SetDatabaseType(DatabaseType());
  database_ = binding_->CreateDatabaseObject();
  if (database_) database_->SetConnection(this);
}

TDatabaseSetType TQORConnection::GetSupportedDatabases() const {
  TDatabaseSetType s;
  for (auto t = static_cast<int>(TDatabaseType::dbInterBase);
       t <= static_cast<int>(TDatabaseType::dbSybaseASE); ++t)
    s.Include(static_cast<TDatabaseType>(t));
  s.Include(TDatabaseType::dbParadox);
  s.Include(TDatabaseType::dbDBASE);
  return s;
}

TConnectionSetType TQORConnection::GetSupportedConnections() const {
  TConnectionSetType s = TConnectionSetType::All();
  s.Exclude(TconnectionType::cnAbstract);
  s.Exclude(TconnectionType::cnUIB);
  s.Exclude(TconnectionType::cnUniDAC);
  return s;
}

bool TQORConnection::GetConnected() { return database_ && database_->GetConnected(); }

void TQORConnection::SetConnected(bool value) {
  if (!database_) return;
  if (value == database_->GetConnected()) return;
  if (value) DoBeforeConnect();
  else DoBeforeDisconnect();
  try {
    database_->SetConnected(value);
  } catch (const std::exception& e) {
    DoErrorMessage(e.what());
  }
  if (!database_->GetConnected()) {
    DoAfterDisconnect();
    return;
  }
  try {
    DoAfterConnect();
  } catch (const std::exception& e) {
    // The after-connect work failed: reported, and the connection closed
    // rather than left half set up.
    DoErrorMessage(e.what());
    try {
      database_->SetConnected(false);
    } catch (const std::exception& e2) {
      DoErrorMessage(e2.what());
    }
    DoAfterDisconnect();
  }
}

std::unique_ptr<TQORQuery> TQORConnection::CreateQuery() {
  if (!binding_) return nullptr;
  std::unique_ptr<TQORQuery> q = binding_->CreateQuery();
  if (!q) return nullptr;
  q->SetConnection(this);
  q->SetDatabase(database_.get());
  return q;
}

void TQORConnection::StartTransaction() {
  if (database_) database_->StartTransaction();
}

void TQORConnection::Commit() {
  if (database_) database_->Commit();
}

void TQORConnection::Rollback() {
  if (database_) database_->Rollback();
}

bool TQORConnection::InTransaction() { return database_ && database_->InTransaction(); }

bool TQORConnection::CreateDatabase() { return binding_ && binding_->CreateDatabase(); }

void TQORConnection::SetCharSet(const std::string& charSet) {
  if (database_) database_->SetCharSet(charSet);
}

// ===================================================== SQL parameter parser

bool IsParamNameDelimiter(char c) {
  // clang-format off
  switch (c) {
    case '\t': case '\n': case '\r': case ' ': case '!': case '"': case '%': case '&':
    case '\'': case '(': case ')': case '*': case '+': case ',': case '-': case '/':
    case ';': case '<': case '=': case '>': case '?': case '[': case '\\': case ']':
    case '^': case '`': case '|': case '~':
      return true;
    default:
      return false;
  }
  // clang-format on
}

bool IsLiteralQuote(char c) { return c == '\'' || c == '"' || c == '`'; }

namespace {

bool IsBlank(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) {
  const char u = UpperAsciiChar(c);
  return IsDigit(u) || (u >= 'A' && u <= 'Z') || u == '_';
}
bool NotAllowedAfterColon(char c) { return c == '\0' || IsBlank(c) || c == ':'; }

}  // namespace

bool IsDigitsBeforeColon(std::string_view sql, std::size_t colonPos) {
  if (colonPos == 0 || colonPos > sql.size() || !IsDigit(sql[colonPos - 1])) return false;
  for (std::size_t i = 0; i < colonPos; ++i)
    if (!IsDigit(sql[i]) && !IsBlank(sql[i])) return false;
  return true;
}

std::string StripQuotes(std::string_view name) {
  if (!name.empty() && IsLiteralQuote(name.front())) name.remove_prefix(1);
  if (!name.empty() && IsLiteralQuote(name.back())) name.remove_suffix(1);
  return std::string(name);
}

std::string StripLiterals(std::string_view name) { return StripQuotes(name); }

std::string ParseSQLParams(TParams& Params, std::string_view SQL, bool DoCreate) {
  std::string text(SQL);
  if (DoCreate) Params.Clear();
  auto at = [&text](std::size_t i) { return i < text.size() ? text[i] : '\0'; };
  bool literal = false;
  bool embedded = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    const bool isParam = c == ':' && !literal && !NotAllowedAfterColon(at(pos + 1)) && pos != 0 &&
                         (IsDigitsBeforeColon(text, pos) || !IsWordChar(text[pos - 1]));
    if (isParam) {
      const std::size_t start = pos;
      std::size_t p = pos;
      while (p < text.size()) {
        if (!literal && IsParamNameDelimiter(text[p])) break;
        ++p;
        if (IsLiteralQuote(at(p))) {
          literal = !literal;
          if (p == start + 1) embedded = true;
        }
      }
      // The quote that closes a quoted name belongs to the name, so that
      // the whole quoted name becomes the marker.
      if (embedded && !literal && p < text.size() && p > start + 1 && IsLiteralQuote(text[p])) ++p;
      std::string name = text.substr(start + 1, p - start - 1);
      if (embedded) {
        name = StripLiterals(name);
        embedded = false;
      }
      if (DoCreate) Params.CreateParam(std::move(name));
      text[start] = '?';
      text.erase(start + 1, p - start - 1);
      // The character that ended the name is passed over.
      pos = start + 2;
      continue;
    }
    if (c == ':' && !literal && at(pos + 1) == ':') {
      text.erase(pos, 1);
      pos += 1;
      continue;
    }
    if (IsLiteralQuote(c)) literal = !literal;
    ++pos;
  }
  return text;
}

}  // namespace qor
