// The security readers of the MS SQL extractor: roles and application
// roles, users with their role memberships, and privileges on objects and
// statements. A privilege is never scripted wider than the catalog holds
// it: a DENY stays a DENY, a column grant keeps its columns, an unknown
// action code is reported and left out.
#include "extract/mssql/qorMSSQLDatabaseExtract.h"

#include "base/qorMSSQLVersions.h"
#include "base/qorMsgMngr.h"
#include "engine/qorDBEngine.h"
#include "extract/mssql/qorMSSQLCatalogQueries.h"
#include "extract/mssql/qorMSSQLExtractRead.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <vector>

namespace qor {

using namespace msread;

namespace {

// sysprotects.protecttype.
constexpr std::int64_t kGrantWithGrant = 204, kGrant = 205, kDeny = 206;

// The fixed database roles (db_owner ... db_denydatawriter).
constexpr std::int64_t kFirstFixedRole = 16384, kLastFixedRole = 16393;

struct TActionCode {
  std::int32_t code;
  TPrivilege privilege;
};

// clang-format off
constexpr TActionCode kActionCodes[] = {
    {26, TPrivilege::prReferences},      {178, TPrivilege::prCreateFunction},
    {193, TPrivilege::prSelect},         {195, TPrivilege::prInsert},
    {196, TPrivilege::prDelete},         {197, TPrivilege::prUpdate},
    {198, TPrivilege::prCreateTable},    {203, TPrivilege::prCreateDatabase},
    {207, TPrivilege::prCreateView},     {222, TPrivilege::prCreateProcedure},
    {224, TPrivilege::prExecute},        {228, TPrivilege::prBackupDatabase},
    {233, TPrivilege::prCreateDefault},  {235, TPrivilege::prBackupLog},
    {236, TPrivilege::prCreateRule},
};
// clang-format on

TDbObject ObjectKindOfType(const std::string& xtype) {
  const std::string t = TrimCtl(xtype);
  if (t == "U") return TDbObject::dboTable;
  if (t == "V") return TDbObject::dboView;
  if (t == "P") return TDbObject::dboProcedure;
  // A table-valued function is granted SELECT like a view; a scalar one
  // EXECUTE like a procedure.
  if (t == "TF" || t == "IF") return TDbObject::dboView;
  if (t == "FN") return TDbObject::dboFunction;
  return TDbObject::dboUnknown;
}

// The column ids of a sysprotects columns bitmap: bit n of the bytes (the
// first byte's lowest bit is 0) stands for column n; bit 0 for all columns.
// With bit 0 and others set, the others are the columns excepted.
struct TColumnBits {
  bool All = false;
  std::vector<std::int32_t> Ids;
};

TColumnBits DecodeColumnBits(const std::string& bytes) {
  TColumnBits bits;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    for (int b = 0; b < 8; ++b) {
      if ((byte & (1u << b)) == 0) continue;
      const auto n = static_cast<std::int32_t>(i * 8 + static_cast<std::size_t>(b));
      if (n == 0) bits.All = true;
      else bits.Ids.push_back(n);
    }
  }
  return bits;
}

}  // namespace

// -------------------------------------------------------------- Roles, users

void TMSSQLDBExtract::ExtractRoles() {
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  LogLine("Extracting roles...");
  {
    using C = msq::RoleCol;
    SetSQL(q, msq::kHelpRole);
    q.Open();
    for (; !q.Eof(); q.Next()) {
      const std::string name = Str(q, C::RoleName);
      const std::int64_t id = Int64(q, C::RoleId);
      if ((id >= kFirstFixedRole && id <= kLastFixedRole) || SameText(name, "dbo") ||
          SameText(name, "public"))
        continue;
      auto r = std::make_unique<TRolData>(o);
      r->RoleKind = rk::Role;
      r->SetName(name);
      // Any text marks an application role: only a role the server calls
      // one gets it.
      if (Flag(q, C::IsAppRole)) r->AppRole = "1";
      AddObjIfAccepted(r.release());
    }
    Done(q);
  }

  LogLine("Extracting users...");
  using C = msq::UserCol;
  const bool views = Form().Views;
  const C roleColumn = MSSQLCaps(GetServerVersion()).helpUserRoleName ? C::RoleName : C::GroupName;
  SetSQL(q, msq::kHelpUser);
  q.Open();
  for (; !q.Eof(); q.Next()) {
    const std::string name = Str(q, C::UserName);
    // dbo, and on the catalog views the users every database has.
    if (SameText(name, "dbo")) continue;
    if (views &&
        (SameText(name, "guest") || SameText(name, "sys") || SameText(name, "INFORMATION_SCHEMA")))
      continue;
    const std::string role = Str(q, roleColumn);
    auto u = std::make_unique<TRolData>(o);
    u->RoleKind = rk::User;
    u->SetName(name);
    const std::string userName = u->GetName();
    // sp_helpuser gives a user one row per role it is a member of.
    if (!o->Roles.FindObject(u->GetKeyName())) {
      u->RoleName = UpperLocale(role);
      u->LoginName = UpperLocale(Str(q, C::LoginName));
      if (ShowFullLog) LogLine("---" + u->GetName());
      AddObjIfAccepted(u.release());
    }
    if (!role.empty() && !SameText(role, "public")) {
      auto g = std::make_unique<TGntData>(o);
      g->ObjectKind = TDbObject::dboRole;
      g->ObjectName = CaseSensitive() ? role : UpperLocale(role);
      g->Grantee = userName;
      o->AddGrant(g);
    }
    ProcessMessages();
  }
  Done(q);
}

// --------------------------------------------------------------- Privileges

std::optional<TPrivilege> TMSSQLDBExtract::DecodePrivilege(std::int32_t actionCode) {
  for (const TActionCode& a : kActionCodes)
    if (a.code == actionCode) return a.privilege;
  Note("Unknown privilege code on grant decode: " + IntToStr(actionCode) +
       "; the privilege is not scripted");
  return std::nullopt;
}

void TMSSQLDBExtract::ReadGrantRows(TQORQuery& q, bool onObjects) {
  TObjs* o = GetObjs();
  const msq::TCatalogForm form = Form();
  const bool exact = CaseSensitive();
  auto fold = [exact](const std::string& s) { return exact ? s : UpperLocale(s); };
  using C = msq::PrivilegeCol;
  for (; !q.Eof(); q.Next()) {
    if (onObjects && form.Subselects && !IsNull(q, C::MsTools) && Flag(q, C::MsTools)) continue;
    const std::string grantee = Str(q, C::UserName);
    const std::string objName = onObjects ? Str(q, C::ObjName) : std::string();
    const std::string schema = onObjects ? Str(q, C::SchemaName) : std::string();
    const std::string what =
        (onObjects ? (schema.empty() ? "" : schema + ".") + objName : std::string("the database")) +
        " to " + grantee;
    const std::optional<TPrivilege> privilege = DecodePrivilege(Int32(q, C::Action));
    if (!privilege) {
      Note("Privilege on " + what + " left out");
      continue;
    }
    const std::int64_t protect = Int64(q, C::ProtectType);
    if (protect != kGrant && protect != kGrantWithGrant && protect != kDeny) {
      Note("Privilege on " + what + " left out: unknown protect type " + IntToStr(protect));
      continue;
    }
    auto g = std::make_unique<TGntData>(o);
    g->Grantee = fold(grantee);
    g->GrantOption = protect == kGrantWithGrant ? 1 : 0;
    g->Deny = protect == kDeny;
    g->Privileges = TPrivileges{*privilege};
    if (onObjects) {
      g->ObjectName = fold(objName);
      g->SetParentName(schema);
      g->ObjectKind = ObjectKindOfType(Str(q, C::XType));
      if (!IsNull(q, C::Columns)) {
        const TColumnBits bits = DecodeColumnBits(Str(q, C::Columns));
        if (!bits.Ids.empty()) {
          // A privilege on some columns: named from the table's columns, or
          // left out; never widened to the whole table.
          TTblData* table = o->FindTable(g->GetParentName() + "." + g->ObjectName);
          std::vector<std::string> names;
          bool known = table != nullptr;
          if (table) {
            for (std::int32_t id : bits.Ids) {
              bool found = false;
              for (int i = 0; i < table->Fields.Count(); ++i)
                if (TFldData* f = table->Fields.Object(i); f && f->ObjectId == id) found = true;
              known = known && found;
            }
            for (int i = 0; i < table->Fields.Count(); ++i) {
              TFldData* f = table->Fields.Object(i);
              if (!f) continue;
              const bool listed =
                  std::find(bits.Ids.begin(), bits.Ids.end(), f->ObjectId) != bits.Ids.end();
              // With the all-columns bit the listed ones are excepted.
              if (listed != bits.All) names.push_back(f->GetName());
            }
          }
          if (!known || names.empty()) {
            Note("Column privilege on " + what + " left out: its columns are not known");
            continue;
          }
          g->Columns = std::move(names);
        }
      }
    }
    if (ShowFullLog) LogLine("---" + g->GetCreateSQL());
    if (onObjects) o->AddGrant(g);
    else AddObjIfAccepted(g.release());
    ProcessMessages();
  }
}

void TMSSQLDBExtract::ExtractGrants() {
  LogLine("Extracting privileges...");
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  SetSQL(q, msq::ObjectPrivileges(Form()));
  q.Open();
  ReadGrantRows(q, /*onObjects=*/true);
  Done(q);
  SetSQL(q, msq::kStatementPrivileges);
  q.Open();
  ReadGrantRows(q, /*onObjects=*/false);
  Done(q);
  o->RekeyGrants();
}

}  // namespace qor
