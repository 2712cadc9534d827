// The "Roles" and "Grants" steps of the InterBase/Firebird extractor.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "engine/qorDBEngine.h"
#include "extract/ib/qorIBCatalogQueries.h"
#include "extract/ib/qorIBExtractRead.h"
#include "model/qorComp_Rol.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

namespace qor {

using namespace ibread;

TDbObject CatalogTypeToObjKind(std::int64_t code) {
  static constexpr TDbObject kKinds[] = {
      TDbObject::dboTable,     TDbObject::dboView,       TDbObject::dboTrigger,
      TDbObject::dboComputed,  TDbObject::dboValidation, TDbObject::dboProcedure,
      TDbObject::dboExprIndex, TDbObject::dboException,  TDbObject::dboUser,
      TDbObject::dboField,     TDbObject::dboIndex,      TDbObject::dboCount,
      TDbObject::dboUserGroup, TDbObject::dboRole,       TDbObject::dboGenerator,
      TDbObject::dboFunction,  TDbObject::dboUnknown,    TDbObject::dboUnknown,
      TDbObject::dboPackage};
  if (code < 0 || code >= static_cast<std::int64_t>(std::size(kKinds)))
    return TDbObject::dboUnknown;
  return kKinds[code];
}

TPrivileges DecodePrivilege(std::string_view letter) {
  using P = TPrivilege;
  if (letter.empty()) return {};
  switch (letter.front()) {
    case 'I': return {P::prInsert};
    case 'U': return {P::prUpdate};
    case 'D': return {P::prDelete};
    case 'S': return {P::prSelect};
    case 'X': return {P::prExecute};
    case 'R': return {P::prReferences};
    case 'G': return {P::prUsage};
    // The DDL privileges of Firebird 3, on a kind of objects.
    case 'C': return {P::prDDLCreate};
    case 'L': return {P::prDDLAlter};
    case 'O': return {P::prDDLDrop};
    default: return {};
  }
}

TDDLKind CatalogNameToDDLKind(std::string_view name) {
  static constexpr std::pair<std::string_view, TDDLKind> kKinds[] = {
      {"SQL$DATABASE", TDDLKind::Database},
      {"SQL$TABLES", TDDLKind::Table},
      {"SQL$VIEWS", TDDLKind::View},
      {"SQL$PROCEDURES", TDDLKind::Procedure},
      {"SQL$FUNCTIONS", TDDLKind::Function},
      {"SQL$PACKAGES", TDDLKind::Package},
      {"SQL$GENERATORS", TDDLKind::Sequence},
      {"SQL$DOMAINS", TDDLKind::Domain},
      {"SQL$EXCEPTIONS", TDDLKind::Exception},
      {"SQL$ROLES", TDDLKind::Role},
      {"SQL$CHARSETS", TDDLKind::CharacterSet},
      {"SQL$COLLATIONS", TDDLKind::Collation},
      {"SQL$FILTERS", TDDLKind::Filter}};
  for (const auto& [catalogName, kind] : kKinds)
    if (name == catalogName) return kind;
  return TDDLKind::None;
}

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
    const std::string name = CatalogName(q, ibq::rlName);
    r->SetName(name);
    r->RoleOwner = CatalogName(q, ibq::rlOwnerName);
    if (caps_.HasRoleDescription) r->SetDescriptionAsStored(Str(q, ibq::rlDescription));
    if (ShowFullLog) LogLine("--- " + name);
    o->AddObject(r, true);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
}

namespace {

// Hands a pending grant to the collection, which stores it or merges it
// into an equal one (then it is freed here).
void FlushGrant(TObjs& o, std::unique_ptr<TGntData>& pending) {
  if (pending && !pending->Grantee.empty()) o.AddGrant(pending);
  pending.reset();
}

}  // namespace

void TIBDBExtract::ReadGrantQuery(TQORQuery& q, const std::string& sql, const std::string& owner) {
  TObjs* o = Collection();
  q.Close();
  q.GetSQL()->SetText(sql);
  q.Open();
  std::unique_ptr<TGntData> pending;
  for (; !q.Eof(); q.Next()) {
    const std::string grantee = CatalogName(q, ibq::gtUser);
    const std::string object = CatalogName(q, ibq::gtRelationName);
    const TPrivileges privilege = DecodePrivilege(Trimmed(q, ibq::gtPrivilege));
    const std::int64_t userType = IntOr0(q, ibq::gtUserType);
    const std::int64_t objectType = IntOr0(q, ibq::gtObjectType);
    const std::string column = CatalogName(q, ibq::gtFieldName);
    std::string grantor = CatalogName(q, ibq::gtGrantor);
    if (grantor == owner) grantor.clear();
    const bool ddl = privilege.Contains(TPrivilege::prDDLCreate) ||
                     privilege.Contains(TPrivilege::prDDLAlter) ||
                     privilege.Contains(TPrivilege::prDDLDrop);
    const TDDLKind ddlKind = ddl ? CatalogNameToDDLKind(object) : TDDLKind::None;
    // A kind a newer engine added would be written as nothing, or wrongly.
    const bool unknownKind = ddl && ddlKind == TDDLKind::None;
    if (unknownKind)
      LogLine("Grant of " + Trimmed(q, ibq::gtPrivilege) + " on " + object + " to " + grantee +
              " not read: unknown kind of DDL privilege.");
    int unscripted = 0;
    if (unknownKind || (userType == 2 && unscriptedTriggers_.Find(grantee, unscripted))) {
      if (StopAfterRow()) break;
      continue;
    }
    // Firebird marks WITH ADMIN OPTION with 2; the model knows one option.
    const std::int32_t option = IntOr0(q, ibq::gtGrantOption) != 0 ? 1 : 0;
    // A DDL privilege names a kind of objects, not one.
    const std::string objectName = ddl ? std::string() : object;
    const bool same = pending && pending->Grantee == grantee && pending->ObjectName == objectName &&
                      pending->DDLKind == ddlKind && pending->GrantOption == option &&
                      pending->Grantor == grantor;
    if (same && column.empty() && pending->Columns.empty()) {
      pending->Privileges |= privilege;
    } else if (same && !column.empty() && privilege == pending->Privileges &&
               !pending->Columns.empty()) {
      if (std::find(pending->Columns.begin(), pending->Columns.end(), column) ==
          pending->Columns.end())
        pending->Columns.push_back(column);
    } else {
      FlushGrant(*o, pending);
      pending = std::make_unique<TGntData>(o);
      pending->Grantee = grantee;
      pending->ObjectName = objectName;
      pending->GranteeKind = CatalogTypeToObjKind(userType);
      pending->ObjectKind = ddl ? TDbObject::dboUnknown : CatalogTypeToObjKind(objectType);
      pending->DDLKind = ddlKind;
      pending->Grantor = grantor;
      pending->GrantOption = option;
      pending->GrantKind = userType == 8    ? TCmpObjType::coUserGrant
                           : userType == 13 ? TCmpObjType::coRoleGrant
                                            : TCmpObjType::coObjGrant;
      if (!column.empty()) pending->Columns.push_back(column);
      pending->Privileges = privilege;
    }
    if (StopAfterRow()) break;
  }
  FlushGrant(*o, pending);
}

void TIBDBExtract::ReadGrants() {
  LogLine("Extracting grants...");
  TObjs* o = Collection();
  const bool ignoreIBE = o->IBServerOptions.IBCompareOptions.IgnoreIBEObjects;
  TQORQuery& q = *CatalogQuery();
  std::string owner;
  q.Close();
  q.GetSQL()->SetText(std::string(ibq::kDatabaseOwner));
  q.Open();
  if (!q.Eof()) owner = Trimmed(q, ibq::doOwnerName);
  for (int i = 0; i < ibq::kGrantQueryCount && !StopRequested; ++i) {
    const std::string sql = ibq::GrantQuery(i, caps_, ignoreIBE);
    if (!sql.empty()) ReadGrantQuery(q, sql, owner);
  }
  xread::Done(q);
  o->RekeyGrants();
}

}  // namespace qor
