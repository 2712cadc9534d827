// Roles, logins and users (TRolData) and grants (TGntData).
#pragma once

#include "model/qorClasses.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qor {

// Roles, logins and users share one list, keyed apart by their kind.
namespace rk {
inline constexpr std::uint8_t Role = 0, Login = 1, User = 2;
}

class TRolData : public TDbObj {
 public:
  explicit TRolData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboRole; }
  const char* ClassName() const override { return "TRolData"; }
  TDbObject GetKind() const override { return TDbObject::dboRole; }

  // "Role: ", "Login: " or "User: " + Name.
  std::string GetKeyName() override;
  // An MS SQL user without a login name takes its own name as login.
  std::string GetCreateSQL() override;
  // ASE logins and roles switch back to the database; otherwise
  // GetCreateSQL, also for a suppressed role.
  std::string GetScriptSQL() override;
  std::string GetDropSQL() override;

  std::string RoleOwner;
  std::string AppRole;  // set: an MS SQL application role
  std::string LoginName;
  std::string RoleName;  // the role or group of a user
  std::uint8_t RoleKind = rk::Role;
};

// The privilege set members, by the numbers the extractors fill in.
// clang-format off
enum class TPrivilege : std::uint8_t {
  prAll, prInsert, prUpdate, prDelete, prSelect, prExecute, prReferences, prConnect, pr8,
  prCreateDatabaseLink, prCreateSequence, prCreateSession, prCreateTrigger, prCreateProcedure,
  prCreateType, prCreateSynonym, prCreatePublicSynonym, prDropSynonym, prDropPublicSynonym,
  prCreateTable, prCreateView, prCreateIndextype, prCreateRule, prCreateDefault,
  prCreateFunction, prCreateDatabase, prBackupDatabase, prBackupLog, prDumpDatabase,
  prDumpTransaction, prViewAnyDatabase, prTruncateTable, prUpdateStatistics,
  prDeleteStatistics, prUnlimitedTablespace, prDropTable, prDropView, prDropTrigger,
  prDropProcedure, prDropSequence, prDropType, prDropIndextype, prForceAnyTransaction,
  prUsage, pr44, prDDLCreate, prDDLAlter, prDDLDrop
};
// clang-format on
inline constexpr std::size_t kPrivilegeCount = 48;
using TPrivileges = TEnumSet<TPrivilege, kPrivilegeCount>;

// What a Firebird DDL privilege covers: every object of one kind (CREATE,
// ALTER ANY, DROP ANY) or the database itself (ALTER, DROP). Such a grant
// names no object, and only the InterBase dialect has words for it.
// clang-format off
enum class TDDLKind : std::uint8_t {
  None, Database, Table, View, Procedure, Function, Package, Sequence, Domain, Exception, Role,
  CharacterSet, Collation, Filter
};
// clang-format on

// The keyword a privilege is written with; "" for the members without one.
const char* PrivilegeKeyword(TPrivilege p);

class TGntData : public TDbObj {
 public:
  explicit TGntData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboGrant; }
  const char* ClassName() const override { return "TGntData"; }
  TDbObject GetKind() const override { return TDbObject::dboGrant; }
  TDbObject FilterKind() const override { return TDbObject::dboUnknown; }

  // The grant text with unquoted InterBase names, so equal grants share it.
  std::string GetKeyName() override;
  // Empty when no privilege of the set can be written for the grant.
  std::string GetCreateSQL() override;
  // The REVOKE text; empty on the same terms.
  std::string GetDropSQL() override;

  // The privilege clause, with its column list and ON part.
  std::string GetPrivilegesText();
  std::string GetGranteeText();
  // " (" quoted columns ")", or empty.
  std::string GetColumnsText();

  // Whether `other` names the same grantee and object with the same grant
  // option, so that the two can be merged.
  bool SameTarget(const TGntData& other) const;

  std::string StatementText;
  TPrivileges Privileges;
  std::string Grantee;
  TDbObject GranteeKind = TDbObject::dboUnknown;
  std::string ObjectName;
  TDbObject ObjectKind = TDbObject::dboUnknown;
  std::int32_t GrantOption = 0;  // 1 WITH GRANT (or ADMIN) OPTION
  // An MS SQL DENY: written as DENY there, and by no other dialect (none
  // has it), so that it never turns into a GRANT.
  bool Deny = false;
  std::vector<std::string> Columns;
  TCmpObjType GrantKind = TCmpObjType::coGrant;
  // Firebird: the grant is the DDL privilege on objects of this kind
  // (Privileges holds prDDLCreate, prDDLAlter, prDDLDrop).
  TDDLKind DDLKind = TDDLKind::None;
  // Firebird: who made the grant, when it was not the one who runs the
  // script (the database's owner); written as GRANTED BY.
  std::string Grantor;

 private:
  // The privilege keywords of the clause without columns and ON part; the
  // role for a role membership.
  std::string PrivilegeList();
  // A grant on a named object (a role included), as opposed to statement
  // or system privileges.
  bool OnObject() const;
  // The Firebird DDL privilege list with its kind: "CREATE, ALTER ANY TABLE".
  std::string DDLPrivilegesText();
  // " GRANTED BY grantor" where the InterBase target can say it, else "".
  std::string GrantedByText();
};

}  // namespace qor
