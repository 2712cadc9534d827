// The "Roles" step of the InterBase/Firebird extractor.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "engine/qorDBEngine.h"
#include "extract/ib/qorIBCatalogQueries.h"
#include "extract/ib/qorIBExtractRead.h"
#include "model/qorComp_Rol.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

using namespace ibread;

void TIBDBExtract::ReadRoles() {
  if (!caps_.HasRoles) return;
  LogLine("Extracting roles...");
  TObjs* o = Collection();
  TQORQuery& q = *CatalogQuery();
  q.Close();
  q.GetSQL()->SetText(ibq::Roles(caps_));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto r = std::make_unique<TRolData>(o);
    const std::string name = Trimmed(q, ibq::rlName);
    r->SetName(name);
    r->RoleOwner = Trimmed(q, ibq::rlOwnerName);
    if (caps_.HasRoleDescription) r->SetDescription(Str(q, ibq::rlDescription));
    if (ShowFullLog) LogLine("--- " + name);
    o->AddObject(r, true);
    if (StopAfterRow()) break;
  }
  q.Close();
  q.GetSQL()->Clear();
}

}  // namespace qor
