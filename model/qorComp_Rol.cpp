// Roles and grants: the role key, the privilege keywords, the grant text and
// the grant key that equal grants share.
#include "model/qorComp_Rol.h"

#include <initializer_list>

namespace qor {

namespace {

using P = TPrivilege;
using DB = TDatabaseType;

constexpr const char* kPrivilegeKeywords[kPrivilegeCount] = {
    "ALL", "INSERT", "UPDATE", "DELETE", "SELECT", "EXECUTE", "REFERENCES", "CONNECT", "",
    "CREATE DATABASE LINK", "CREATE SEQUENCE", "CREATE SESSION", "CREATE TRIGGER",
    "CREATE PROCEDURE", "CREATE TYPE", "CREATE SYNONYM", "CREATE PUBLIC SYNONYM", "DROP SYNONYM",
    "DROP PUBLIC SYNONYM", "CREATE TABLE", "CREATE VIEW", "CREATE INDEXTYPE", "CREATE RULE",
    "CREATE DEFAULT", "CREATE FUNCTION", "CREATE DATABASE", "BACKUP DATABASE", "BACKUP LOG",
    "DUMP DATABASE", "DUMP TRANSACTION", "VIEW ANY DATABASE", "TRUNCATE TABLE",
    "UPDATE STATISTICS", "DELETE STATISTICS", "UNLIMITED TABLESPACE", "DROP TABLE", "DROP VIEW",
    "DROP TRIGGER", "DROP PROCEDURE", "DROP SEQUENCE", "DROP TYPE", "DROP INDEXTYPE",
    "FORCE ANY TRANSACTION", "USAGE", "", "", "", ""};

// The keywords of the members of `set` found in `order`, joined by ", ".
std::string Keywords(const TPrivileges& set, std::initializer_list<P> order) {
  std::string s;
  for (P p : order)
    if (set.Contains(p)) s += std::string(PrivilegeKeyword(p)) + ", ";
  return s;
}

std::string DropLastSeparator(std::string s) {
  if (s.size() >= 2 && s.compare(s.size() - 2, 2, ", ") == 0) s.resize(s.size() - 2);
  return s;
}

constexpr std::initializer_list<P> kStatementPrivileges = {
    P::prCreateDatabase, P::prCreateDefault, P::prCreateFunction, P::prCreateProcedure,
    P::prCreateRule, P::prCreateTable, P::prCreateView, P::prBackupDatabase, P::prBackupLog,
    P::prDumpDatabase, P::prDumpTransaction, P::prViewAnyDatabase, P::prTruncateTable,
    P::prUpdateStatistics};

constexpr std::initializer_list<P> kOracleSystemPrivileges = {
    P::prCreateDatabaseLink, P::prCreateSession, P::prCreatePublicSynonym, P::prCreateSynonym,
    P::prCreateType, P::prCreateTable, P::prCreateView, P::prCreateTrigger, P::prCreateProcedure,
    P::prCreateSequence, P::prCreateIndextype, P::prDropPublicSynonym, P::prDropSynonym,
    P::prDropType, P::prDropTable, P::prDropView, P::prDropTrigger, P::prDropProcedure,
    P::prDropSequence, P::prDropIndextype, P::prUnlimitedTablespace, P::prForceAnyTransaction};

}  // namespace

const char* PrivilegeKeyword(TPrivilege p) {
  const auto i = static_cast<std::size_t>(p);
  return i < kPrivilegeCount ? kPrivilegeKeywords[i] : "";
}

std::string TRolData::GetKeyName() {
  const char* prefix = "Role: ";
  if (RoleKind == rk::Login) prefix = "Login: ";
  else if (RoleKind == rk::User) prefix = "User: ";
  return prefix + GetName();
}

bool TGntData::SameTarget(const TGntData& other) const {
  // The kinds and a stored statement count as well: a user and a procedure
  // may share a name, and two stored statements are two grants.
  return Grantee == other.Grantee && GranteeKind == other.GranteeKind &&
         ObjectName == other.ObjectName && ObjectKind == other.ObjectKind &&
         GrantOption == other.GrantOption && StatementText == other.StatementText;
}

std::string TGntData::GetColumnsText() {
  if (Columns.empty()) return {};
  std::string s;
  for (const std::string& c : Columns) {
    if (!s.empty()) s += ", ";
    s += QuoteName(c);
  }
  return " (" + s + ")";
}

std::string TGntData::GetPrivilegesText() {
  const DB st = GetServerType();
  if (ObjectKind == TDbObject::dboRole)
    return (st == DB::dbSybaseASE ? "ROLE " : "") + QuoteName(ObjectName);
  std::string s;
  if (Privileges.Contains(P::prAll)) {
    s = "ALL, ";
  } else if (ObjectKind == TDbObject::dboUnknown || ObjectKind == TDbObject::dboTable ||
             ObjectKind == TDbObject::dboView) {
    const TPrivileges full{P::prInsert, P::prUpdate, P::prDelete, P::prSelect, P::prReferences};
    if (Privileges == full && st != DB::dbSybaseASE)
      s = "ALL, ";
    else
      s = Keywords(Privileges, {P::prDelete, P::prInsert, P::prSelect, P::prUpdate, P::prReferences,
                                P::prTruncateTable, P::prUpdateStatistics, P::prDeleteStatistics});
  }
  s += Keywords(Privileges, {P::prConnect, P::prExecute, P::prUsage});
  s = DropLastSeparator(s) + GetColumnsText();
  if (ObjectName.empty()) return s;
  s += " ON ";
  if (st == DB::dbInterBase) {
    switch (ObjectKind) {
      case TDbObject::dboProcedure: s += "PROCEDURE "; break;
      case TDbObject::dboTrigger: s += "TRIGGER "; break;
      case TDbObject::dboFunction: s += "FUNCTION "; break;
      case TDbObject::dboException: s += "EXCEPTION "; break;
      case TDbObject::dboView: s += "VIEW "; break;
      case TDbObject::dboGenerator: s += "SEQUENCE "; break;
      case TDbObject::dboPackage: s += "PACKAGE "; break;
      default: break;  // tables and the rest have no kind word
    }
  }
  return s + QuoteName(ObjectName);
}

std::string TGntData::GetGranteeText() {
  const char* word = "";
  switch (GranteeKind) {
    case TDbObject::dboProcedure: word = "PROCEDURE "; break;
    case TDbObject::dboTrigger: word = "TRIGGER "; break;
    case TDbObject::dboFunction: word = "FUNCTION "; break;
    case TDbObject::dboView: word = "VIEW "; break;
    case TDbObject::dboRole: word = "ROLE "; break;
    case TDbObject::dboPackage: word = "PACKAGE "; break;
    default: break;  // users and the rest are named alone
  }
  return word + QuoteName(Grantee);
}

std::string TGntData::GetCreateSQL() {
  const DB st = GetServerType();
  const bool option = GrantOption == 1;
  if (st == DB::dbOracle) {
    if (!StatementText.empty()) return "GRANT " + StatementText;
    if (Grantee.empty()) return {};
    if (!ObjectName.empty() && Privileges.Empty())
      return "GRANT " + ObjectName + " TO " + Grantee;
    if (!ObjectName.empty())
      return "GRANT " +
             DropLastSeparator(Keywords(Privileges, {P::prDelete, P::prInsert, P::prSelect,
                                                     P::prUpdate, P::prReferences, P::prExecute})) +
             " ON " + ObjectName + " TO " + Grantee;
    return "GRANT " + DropLastSeparator(Keywords(Privileges, kOracleSystemPrivileges)) + " TO " +
           Grantee;
  }
  if (st == DB::dbMSSQL || st == DB::dbSybaseASE) {
    if (!StatementText.empty()) return StatementText;
    if (Privileges == TPrivileges{P::prConnect})
      return "GRANT CONNECT TO " + QuoteName(ObjectName) + " AS " + QuoteName(Grantee);
    if (ObjectKind == TDbObject::dboUnknown && ObjectName.empty())
      return "GRANT " + DropLastSeparator(Keywords(Privileges, kStatementPrivileges)) + " TO " +
             QuoteName(Grantee) + (option ? " WITH GRANT OPTION" : "");
    if (ObjectKind == TDbObject::dboRole)
      return std::string(st == DB::dbSybaseASE ? "GRANT ROLE " : "GRANT ") + QuoteName(ObjectName) +
             " TO " + QuoteName(Grantee) + (option ? " WITH ADMIN OPTION" : "");
    return "GRANT " + GetPrivilegesText() + " TO " + QuoteName(Grantee) +
           (option ? " WITH GRANT OPTION" : "");
  }
  if (ObjectKind == TDbObject::dboUnknown && !StatementText.empty()) return StatementText;
  std::string s = "GRANT " + GetPrivilegesText() + " TO " + GetGranteeText();
  if (option) s += ObjectKind == TDbObject::dboRole ? " WITH ADMIN OPTION" : " WITH GRANT OPTION";
  return s;
}

std::string TGntData::GetKeyName() {
  TIBDialectScope scope(GetServerOptions(), 1);
  return GetCreateSQL();
}

}  // namespace qor
