#include "engine/qorConnection_IBXDB.h"

#include "engine/qorDB_IBX.h"
#include "platform/ibx/qorIBX.h"
#include "platform/qorStrings.h"

#include <exception>

namespace qor {

TConnectionIBX::TConnectionIBX()
    : TQORAbstractConnection(TDatabaseType::dbInterBase, TconnectionType::cnIBX,
                             TDatabaseSetType().Include(TDatabaseType::dbInterBase)) {}

std::unique_ptr<TQORDatabase> TConnectionIBX::CreateDatabaseObject() {
  return std::make_unique<TQORIBXDatabase>();
}

std::unique_ptr<TQORQuery> TConnectionIBX::CreateQuery() {
  auto q = std::make_unique<TQORIBXQuery>();
  q->SetConnection(OwningConnection());
  return q;
}

bool TConnectionIBX::CreateDatabase() {
  TQORCustomConnection* c = OwningConnection();
  if (!c) return false;
  if (c->DatabaseType() != TDatabaseType::dbInterBase) {
    DoErrorMessage("Not supported DatabaseType select.");
    return false;
  }
  const TConnectionOptions& o = c->ConnectionOptions;
  const TIBEngineOptions& s = c->IBServerOptions;
  auto db = std::make_unique<TIBDatabase>();
  db->DatabaseName = c->GetConnectString();
  db->SQLDialect = s.SQLDialect;
  db->Params.Clear();
  db->LoginPrompt = o.UserName.empty() || o.Password.empty();
  if (!o.UserName.empty()) db->Params.Add("USER " + QuotedStr(o.UserName));
  if (!o.Password.empty()) db->Params.Add("PASSWORD " + QuotedStr(o.Password));
  if (s.IBDatabaseOptions.PageSize != 0)
    db->Params.Add("PAGE_SIZE " + IntToStr(s.IBDatabaseOptions.PageSize));
  if (!s.GetDBCharSet().empty()) db->Params.Add("DEFAULT CHARACTER SET " + s.GetDBCharSet());
  bool ok = true;
  try {
    CheckIBProtocol(o);
    db->CreateDatabase();
    db->Close();
  } catch (const std::exception& e) {
    DoErrorMessage(e.what());
    ok = false;
  }
  return ok;
}

void RegisterIBXConnection() { RegisterConnection("IBX", std::make_unique<TConnectionIBX>()); }

}  // namespace qor
