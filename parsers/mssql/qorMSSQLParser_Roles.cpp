// Role membership as our own MS SQL script writes it: exec sp_addrolemember
// role, member. T-SQL has no GRANT role TO member.
#include "parsers/mssql/qorMSSQLParser.h"

#include "model/qorComp_Rol.h"
#include "model/qorDBStructure.h"

#include <memory>

namespace qor {

void TMSSQLParser::ParseAddRoleMember() {
  const auto args = ReadArguments({"@rolename", "@membername"});
  std::string role, member;
  for (const TArg& a : args) {
    if (a.Name == "@rolename") role = FoldName(a.Value);
    else if (a.Name == "@membername") member = FoldName(a.Value);
  }
  if (role.empty() || member.empty()) {
    Error("Missing: sp_addrolemember role or member name");
    return;
  }
  SetStatement(TDbObject::dboGrant, {}, 1);
  TObjs* objs = Objs();
  if (!objs) return;
  auto g = std::make_unique<TGntData>(objs);
  g->ObjectName = role;
  g->ObjectKind = TDbObject::dboRole;
  g->GrantKind = TCmpObjType::coRoleGrant;
  g->Grantee = member;
  if (objs->FindRole(member)) g->GranteeKind = TDbObject::dboRole;
  else if (objs->FindUser(member)) g->GranteeKind = TDbObject::dboUser;
  if (LogWanted()) DoLog("Grant: " + g->GetCreateSQL());
  objs->AddGrant(g);  // a merged grant is freed with `g`
}

}  // namespace qor
