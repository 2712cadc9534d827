// Roles, logins, users and grants: the role texts per dialect, the privilege
// keywords, the GRANT and REVOKE texts and the grant key that equal grants
// share.
#include "model/qorComp_Rol.h"

#include "base/qorIBVersions.h"
#include "base/qorMSSQLVersions.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "platform/qorScopedValue.h"
#include "platform/qorStrings.h"

#include <initializer_list>

namespace qor {

namespace {

using P = TPrivilege;
using DB = TDatabaseType;

// clang-format off
constexpr const char* kPrivilegeKeywords[kPrivilegeCount] = {
    "ALL", "INSERT", "UPDATE", "DELETE", "SELECT", "EXECUTE", "REFERENCES", "CONNECT", "",
    "CREATE DATABASE LINK", "CREATE SEQUENCE", "CREATE SESSION", "CREATE TRIGGER",
    "CREATE PROCEDURE", "CREATE TYPE", "CREATE SYNONYM", "CREATE PUBLIC SYNONYM", "DROP SYNONYM",
    "DROP PUBLIC SYNONYM", "CREATE TABLE", "CREATE VIEW", "CREATE INDEXTYPE", "CREATE RULE",
    "CREATE DEFAULT", "CREATE FUNCTION", "CREATE DATABASE", "BACKUP DATABASE", "BACKUP LOG",
    "DUMP DATABASE", "DUMP TRANSACTION", "VIEW ANY DATABASE", "TRUNCATE TABLE",
    "UPDATE STATISTICS", "DELETE STATISTICS", "UNLIMITED TABLESPACE", "DROP TABLE", "DROP VIEW",
    "DROP TRIGGER", "DROP PROCEDURE", "DROP SEQUENCE", "DROP TYPE", "DROP INDEXTYPE",
    "FORCE ANY TRANSACTION", "USAGE", "", "CREATE", "ALTER", "DROP"};
// clang-format on

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

// clang-format off
constexpr std::initializer_list<P> kStatementPrivileges = {
    P::prCreateDatabase, P::prCreateDefault, P::prCreateFunction, P::prCreateProcedure,
    P::prCreateRule, P::prCreateTable, P::prCreateView, P::prBackupDatabase, P::prBackupLog,
    P::prDumpDatabase, P::prDumpTransaction, P::prViewAnyDatabase, P::prTruncateTable,
    P::prUpdateStatistics};
// clang-format on

// The statement privileges a REVOKE names: those of the grant but the last two.
// clang-format off
constexpr std::initializer_list<P> kRevokedStatementPrivileges = {
    P::prCreateDatabase, P::prCreateDefault, P::prCreateFunction, P::prCreateProcedure,
    P::prCreateRule, P::prCreateTable, P::prCreateView, P::prBackupDatabase, P::prBackupLog,
    P::prDumpDatabase, P::prDumpTransaction, P::prViewAnyDatabase};
// clang-format on

constexpr std::initializer_list<P> kOracleObjectPrivileges = {
    P::prDelete, P::prInsert, P::prSelect, P::prUpdate, P::prReferences, P::prExecute};

// clang-format off
constexpr std::initializer_list<P> kOracleSystemPrivileges = {
    P::prCreateDatabaseLink, P::prCreateSession, P::prCreatePublicSynonym, P::prCreateSynonym,
    P::prCreateType, P::prCreateTable, P::prCreateView, P::prCreateTrigger, P::prCreateProcedure,
    P::prCreateSequence, P::prCreateIndextype, P::prDropPublicSynonym, P::prDropSynonym,
    P::prDropType, P::prDropTable, P::prDropView, P::prDropTrigger, P::prDropProcedure,
    P::prDropSequence, P::prDropIndextype, P::prUnlimitedTablespace, P::prForceAnyTransaction};
// clang-format on

const TIBVersionCaps& Caps(const TDbObj& obj) {
  const TIBServerOptions* ib = obj.GetServerOptions();
  return IBCaps(ib ? ib->SQLServerVersion : TIBServerOptions{}.SQLServerVersion);
}

const char* DDLKindWord(TDDLKind k) {
  switch (k) {
    case TDDLKind::None: return "";
    case TDDLKind::Database: return "DATABASE";
    case TDDLKind::Table: return "TABLE";
    case TDDLKind::View: return "VIEW";
    case TDDLKind::Procedure: return "PROCEDURE";
    case TDDLKind::Function: return "FUNCTION";
    case TDDLKind::Package: return "PACKAGE";
    case TDDLKind::Sequence: return "SEQUENCE";
    case TDDLKind::Domain: return "DOMAIN";
    case TDDLKind::Exception: return "EXCEPTION";
    case TDDLKind::Role: return "ROLE";
    case TDDLKind::CharacterSet: return "CHARACTER SET";
    case TDDLKind::Collation: return "COLLATION";
    case TDDLKind::Filter: return "FILTER";
  }
  return "";
}

}  // namespace

const char* PrivilegeKeyword(TPrivilege p) {
  const auto i = static_cast<std::size_t>(p);
  return i < kPrivilegeCount ? kPrivilegeKeywords[i] : "";
}

// ---------------------------------------------------------------- TRolData

std::string TRolData::GetKeyName() {
  const char* prefix = "Role: ";
  if (RoleKind == rk::Login) prefix = "Login: ";
  else if (RoleKind == rk::User) prefix = "User: ";
  return prefix + GetName();
}

namespace {

// The ASE statements of a login and a role; `useDatabase` switches back from
// master to the database before the block ends.
std::string ASELoginOrRoleSQL(TRolData& r, const std::string& useDatabase) {
  const std::string crlf(CRLF);
  const std::string& name = r.GetName();
  std::string s;
  if (r.RoleKind == rk::Login)
    s = "if (not exists(select name from master.dbo.syslogins where name = " + QuotedStr(name) +
        "))" + crlf + "  begin" + crlf + "    use master" + crlf + "    exec sp_addlogin " +
        r.QuoteName(name) + ", " + QuotedStr("      ") + crlf;
  else
    s = "if (not exists(select name from master.dbo.syssrvroles where name = " + QuotedStr(name) +
        "))" + crlf + "  begin" + crlf + "    use master" + crlf + "    create role " +
        r.QuoteName(name) + crlf;
  if (!useDatabase.empty()) s += "    use " + useDatabase + crlf;
  return s + "  end";
}

}  // namespace

std::string TRolData::GetCreateSQL() {
  const DB st = GetServerType();
  const std::string& name = GetName();
  if (st == DB::dbMSSQL) {
    if (RoleKind == rk::User) {
      if (LoginName.empty()) LoginName = name;
      // The user of the database, made from its login; the DROP text takes
      // it away with the matching procedure.
      return "exec sp_grantdbaccess @loginame = N" + QuotedStr(LoginName) + ", @name_in_db = N" +
             QuotedStr(name);
    }
    if (RoleKind == rk::Login) return "exec sp_addlogin @loginame = N" + QuotedStr(name);
    if (!AppRole.empty()) return "exec sp_addapprole N" + QuotedStr(name) + ", N" + QuotedStr("");
    return "exec sp_addrole N" + QuotedStr(name);
  }
  if (st == DB::dbSybaseASE) {
    if (RoleKind == rk::User)
      return "if (not exists(select name from dbo.sysusers where name = " + QuotedStr(name) + "))" +
             std::string(CRLF) + "  exec sp_adduser " + QuoteName(LoginName) + ", " +
             QuoteName(name);
    return ASELoginOrRoleSQL(*this, {});
  }
  std::string s;
  if (!RoleOwner.empty())
    s = "/* Role: " + BlockCommentText(name) + ", Owner: " + BlockCommentText(RoleOwner) + " */" +
        std::string(CRLF);
  return s + "CREATE ROLE " + QuoteName(name);
}

std::string TRolData::GetScriptSQL() {
  if (GetServerType() == DB::dbSybaseASE && RoleKind != rk::User) {
    const std::string database = Owner() ? Owner()->ConnectionOptions.DatabaseName : std::string();
    return ASELoginOrRoleSQL(*this, database);
  }
  return GetCreateSQL();
}

std::string TRolData::GetDropSQL() {
  const std::string& name = GetName();
  if (GetServerType() != DB::dbMSSQL) return "DROP ROLE " + QuoteName(name);
  if (RoleKind == rk::User) {
    // Later servers keep these users in every database.
    const std::string upper = UpperAscii(name);
    const bool builtIn = upper == "SYS" || upper == "GUEST" || upper == "INFORMATION_SCHEMA";
    if (builtIn && Owner() && MSSQLCaps(Owner()->MSSQLServerOptions.SQLServerVersion).schemaUsers)
      return {};
    return "exec sp_revokedbaccess @name_in_db = N" + QuotedStr(name);
  }
  if (RoleKind == rk::Login) return "exec sp_droplogin @loginame = N" + QuotedStr(name);
  if (!AppRole.empty()) return "exec sp_dropapprole @rolename = N" + QuotedStr(name);
  return "exec sp_droprole @rolename = N" + QuotedStr(name);
}

// ---------------------------------------------------------------- TGntData

bool TGntData::SameTarget(const TGntData& other) const {
  // The kinds and a stored statement count as well: a user and a procedure
  // may share a name, and two stored statements are two grants.
  // The object's schema too: grants on two tables of one name in two
  // schemas are two grants.
  return Grantee == other.Grantee && GranteeKind == other.GranteeKind &&
         ObjectName == other.ObjectName && ObjectKind == other.ObjectKind &&
         GetParentName() == other.GetParentName() && GrantOption == other.GrantOption &&
         StatementText == other.StatementText && Deny == other.Deny && DDLKind == other.DDLKind &&
         Grantor == other.Grantor;
}

bool TGntData::OnObject() const {
  // A grant on an object whose kind is not known (the parsers leave it 0)
  // is still a grant on that object.
  return ObjectKind != TDbObject::dboUnknown || !ObjectName.empty();
}

std::string TGntData::DDLPrivilegesText() {
  // The database is altered and dropped as itself; CREATE DATABASE lives in
  // the server's security database, not in a database's script.
  const bool database = DDLKind == TDDLKind::Database;
  const std::string any = database ? "" : " ANY";
  std::string s;
  if (Privileges.Contains(P::prDDLCreate) && !database) s += "CREATE, ";
  if (Privileges.Contains(P::prDDLAlter)) s += "ALTER" + any + ", ";
  if (Privileges.Contains(P::prDDLDrop)) s += "DROP" + any + ", ";
  s = DropLastSeparator(s);
  if (s.empty()) return {};
  return s + " " + DDLKindWord(DDLKind);
}

std::string TGntData::GrantedByText() {
  if (Grantor.empty() || GetServerType() != DB::dbInterBase || !Caps(*this).grantedBy) return {};
  return " GRANTED BY " + QuoteName(Grantor);
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

std::string TGntData::PrivilegeList() {
  const DB st = GetServerType();
  if (ObjectKind == TDbObject::dboRole)
    return (st == DB::dbSybaseASE ? "ROLE " : "") + QuoteName(ObjectName);
  std::string s;
  if (Privileges.Contains(P::prAll)) {
    s = "ALL, ";
  } else if (ObjectKind == TDbObject::dboUnknown || ObjectKind == TDbObject::dboTable ||
             ObjectKind == TDbObject::dboView) {
    const TPrivileges full{P::prInsert, P::prUpdate, P::prDelete, P::prSelect, P::prReferences};
    if (Privileges == full && st != DB::dbSybaseASE) s = "ALL, ";
    else
      s = Keywords(Privileges, {P::prDelete, P::prInsert, P::prSelect, P::prUpdate, P::prReferences,
                                P::prTruncateTable, P::prUpdateStatistics, P::prDeleteStatistics});
  }
  s += Keywords(Privileges, {P::prConnect, P::prExecute, P::prUsage});
  return DropLastSeparator(s);
}

namespace {

// The schema of the object a PostgreSQL or DB2 grant names, from the
// collection: the grant holds the bare name, and the object is created in
// its schema.
std::string GrantObjectSchema(TCustomObjs* objs, const std::string& name, TDbObject kind) {
  if (!objs) return {};
  std::string found;
  int hits = 0;
  auto consider = [&](TDbObj* o) {
    if (!o || o->GetName() != name) return;
    if (hits++ == 0) found = o->GetParentName();
    else if (found != o->GetParentName())
      found.clear();  // two schemas: leave it to the search path
  };
  std::vector<TDbObj*> named;
  switch (kind) {
    case TDbObject::dboProcedure:
    case TDbObject::dboFunction: objs->ObjectsNamed(TDbObject::dboProcedure, name, named); break;
    case TDbObject::dboGenerator: objs->ObjectsNamed(TDbObject::dboGenerator, name, named); break;
    default:
      objs->ObjectsNamed(TDbObject::dboTable, name, named);
      objs->ObjectsNamed(TDbObject::dboView, name, named);
      break;
  }
  for (TDbObj* o : named) consider(o);
  return found;
}

}  // namespace

std::string TGntData::GetPrivilegesText() {
  if (DDLKind != TDDLKind::None) return DDLPrivilegesText();
  if (ObjectKind == TDbObject::dboRole) return PrivilegeList();
  const DB st = GetServerType();
  std::string s;
  if ((st == DB::dbPostgreSQL || st == DB::dbMySQL || st == DB::dbMSSQL) && !Columns.empty()) {
    // A column list binds to the privilege it follows: after the last one
    // only, the others would cover the whole table.
    const std::string list = PrivilegeList();
    std::size_t from = 0;
    for (;;) {
      const std::size_t comma = list.find(", ", from);
      s += list.substr(from, comma == std::string::npos ? std::string::npos : comma - from) +
           GetColumnsText();
      if (comma == std::string::npos) break;
      s += ", ";
      from = comma + 2;
    }
  } else {
    s = PrivilegeList() + GetColumnsText();
  }
  if (ObjectName.empty()) return s;
  s += " ON ";
  if (st == DB::dbInterBase) {
    switch (ObjectKind) {
      case TDbObject::dboProcedure: s += "PROCEDURE "; break;
      case TDbObject::dboTrigger: s += "TRIGGER "; break;
      case TDbObject::dboFunction: s += "FUNCTION "; break;
      case TDbObject::dboException: s += "EXCEPTION "; break;
      // Firebird names a view in GRANT ... ON like a table: "ON VIEW" is refused.
      case TDbObject::dboGenerator: s += "SEQUENCE "; break;
      case TDbObject::dboPackage: s += "PACKAGE "; break;
      default: break;  // tables and the rest have no kind word
    }
  } else if (st == DB::dbPostgreSQL || st == DB::dbMySQL || st == DB::dbDB2) {
    // All three read a bare name as a table's.
    switch (ObjectKind) {
      case TDbObject::dboProcedure: s += "PROCEDURE "; break;
      case TDbObject::dboFunction: s += "FUNCTION "; break;
      case TDbObject::dboGenerator:
        if (st != DB::dbMySQL) s += "SEQUENCE ";
        break;
      default: break;
    }
  }
  if (st == DB::dbPostgreSQL || st == DB::dbDB2) {
    std::string schema = GetParentName();
    if (schema.empty()) schema = GrantObjectSchema(Owner(), ObjectName, ObjectKind);
    if (!schema.empty()) s += QuoteName(schema) + ".";
  }
  // An MS SQL grant that knows its object's schema names it.
  if (GetServerType() == DB::dbMSSQL && !GetParentName().empty())
    s += QuoteName(GetParentName()) + ".";
  return s + QuoteName(ObjectName);
}

std::string TGntData::GetGranteeText() {
  const DB st = GetServerType();
  const char* word = "";
  switch (GranteeKind) {
    case TDbObject::dboProcedure: word = "PROCEDURE "; break;
    case TDbObject::dboTrigger: word = "TRIGGER "; break;
    case TDbObject::dboFunction: word = "FUNCTION "; break;
    case TDbObject::dboView: word = "VIEW "; break;
    // PostgreSQL and MySQL name a role like a user: "TO ROLE" does not parse.
    case TDbObject::dboRole:
      if (st != DB::dbPostgreSQL && st != DB::dbMySQL) word = "ROLE ";
      break;
    case TDbObject::dboPackage: word = "PACKAGE "; break;
    // Firebird reads a bare name as the role of that name when there is
    // one: a user sharing a role's name would get the role's grant.
    case TDbObject::dboUser:
      if (st == DB::dbInterBase && !SameText(Grantee, "PUBLIC")) word = "USER ";
      break;
    default: break;  // the rest are named alone
  }
  return word + QuoteName(Grantee);
}

std::string TGntData::GetCreateSQL() {
  const DB st = GetServerType();
  const bool option = GrantOption == 1;
  // Only Firebird has words for a DDL privilege; every other dialect writes
  // nothing rather than a grant that reaches further.
  if (DDLKind != TDDLKind::None) {
    if (st != DB::dbInterBase || Deny || !Caps(*this).ddlPrivileges || Grantee.empty()) return {};
    const std::string list = DDLPrivilegesText();
    if (list.empty()) return {};
    return "GRANT " + list + " TO " + GetGranteeText() + (option ? " WITH GRANT OPTION" : "") +
           GrantedByText();
  }
  if (Deny) {
    if (st != DB::dbMSSQL || !StatementText.empty()) return {};
    if (ObjectKind == TDbObject::dboUnknown && ObjectName.empty()) {
      const std::string list = DropLastSeparator(Keywords(Privileges, kStatementPrivileges));
      return list.empty() ? std::string() : "DENY " + list + " TO " + QuoteName(Grantee);
    }
    if (ObjectKind == TDbObject::dboRole || PrivilegeList().empty()) return {};
    return "DENY " + GetPrivilegesText() + " TO " + QuoteName(Grantee);
  }
  if (st == DB::dbOracle) {
    if (!StatementText.empty()) return "GRANT " + StatementText;
    if (Grantee.empty()) return {};
    if (!ObjectName.empty() && Privileges.Empty()) return "GRANT " + ObjectName + " TO " + Grantee;
    std::string list = DropLastSeparator(Keywords(
        Privileges, ObjectName.empty() ? kOracleSystemPrivileges : kOracleObjectPrivileges));
    if (list.empty()) return {};
    if (!ObjectName.empty() && !Columns.empty()) {
      // Each privilege keeps its columns: without them it covers the table.
      std::string cols;
      for (const std::string& c : Columns) cols += (cols.empty() ? "" : ", ") + c;
      std::string limited;
      for (P p : kOracleObjectPrivileges)
        if (Privileges.Contains(p))
          limited +=
              (limited.empty() ? "" : ", ") + std::string(PrivilegeKeyword(p)) + " (" + cols + ")";
      list = limited;
    }
    if (ObjectName.empty()) return "GRANT " + list + " TO " + Grantee;
    return "GRANT " + list + " ON " + ObjectName + " TO " + Grantee;
  }
  if (st == DB::dbMSSQL || st == DB::dbSybaseASE) {
    if (!StatementText.empty()) return StatementText;
    if (Privileges == TPrivileges{P::prConnect})
      return "GRANT CONNECT TO " + QuoteName(ObjectName) + " AS " + QuoteName(Grantee);
    if (ObjectKind == TDbObject::dboUnknown && ObjectName.empty()) {
      const std::string list = DropLastSeparator(Keywords(Privileges, kStatementPrivileges));
      if (list.empty()) return {};
      return "GRANT " + list + " TO " + QuoteName(Grantee) + (option ? " WITH GRANT OPTION" : "");
    }
    // T-SQL has no GRANT role TO: membership goes through the procedure,
    // which every version takes (ALTER ROLE ... ADD MEMBER only from 2012).
    // A database role has no admin option to give.
    if (ObjectKind == TDbObject::dboRole && st == DB::dbMSSQL)
      return "exec sp_addrolemember N" + QuotedStr(ObjectName) + ", N" + QuotedStr(Grantee);
    if (ObjectKind == TDbObject::dboRole)
      return "GRANT ROLE " + QuoteName(ObjectName) + " TO " + QuoteName(Grantee) +
             (option ? " WITH ADMIN OPTION" : "");
    if (PrivilegeList().empty()) return {};
    return "GRANT " + GetPrivilegesText() + " TO " + QuoteName(Grantee) +
           (option ? " WITH GRANT OPTION" : "");
  }
  if (ObjectKind == TDbObject::dboUnknown && !StatementText.empty()) return StatementText;
  if (PrivilegeList().empty()) return {};
  std::string s = "GRANT " + GetPrivilegesText() + " TO " + GetGranteeText();
  if (option) s += ObjectKind == TDbObject::dboRole ? " WITH ADMIN OPTION" : " WITH GRANT OPTION";
  return s + GrantedByText();
}

std::string TGntData::GetDropSQL() {
  const DB st = GetServerType();
  if (DDLKind != TDDLKind::None) {
    if (st != DB::dbInterBase || Deny || !Caps(*this).ddlPrivileges || Grantee.empty()) return {};
    const std::string list = DDLPrivilegesText();
    if (list.empty()) return {};
    return "REVOKE " + std::string(GrantOption == 1 ? "GRANT OPTION FOR " : "") + list + " FROM " +
           GetGranteeText() + GrantedByText();
  }
  // REVOKE takes a DENY back as well; elsewhere nothing was written.
  if (Deny && st != DB::dbMSSQL) return {};
  if (st == DB::dbMSSQL && StatementText.empty() && ObjectKind == TDbObject::dboRole)
    return "exec sp_droprolemember N" + QuotedStr(ObjectName) + ", N" + QuotedStr(Grantee);
  if ((st == DB::dbMSSQL || st == DB::dbSybaseASE) && StatementText.empty() &&
      Privileges == TPrivileges{P::prConnect})
    return "REVOKE CONNECT FROM " + QuoteName(ObjectName);  // the user of GRANT CONNECT TO
  if (!OnObject()) {
    const std::string list = DropLastSeparator(Keywords(Privileges, kRevokedStatementPrivileges));
    if (list.empty()) return {};
    return "REVOKE " + list + " FROM " + QuoteName(Grantee);
  }
  if (PrivilegeList().empty()) return {};
  std::string s = "REVOKE ";
  if (GrantOption == 1)
    s += ObjectKind == TDbObject::dboRole ? "ADMIN OPTION FOR " : "GRANT OPTION FOR ";
  // Only the grantor's own grant is taken back.
  return s + GetPrivilegesText() + " FROM " + GetGranteeText() + GrantedByText();
}

std::string TGntData::GetKeyName() {
  TIBServerOptions* ib = GetServerOptions();
  TScopedValue<TIBSQLDialectType> dialect(ib ? &ib->SQLDialect : nullptr, 1);
  std::string key = GetCreateSQL();
  if (!key.empty()) return key;
  // A grant with nothing to write still needs a key of its own, or the
  // list would refuse the next such grant as a duplicate.
  return std::string(Deny ? "DENY (" : "GRANT (") + IntToStr(static_cast<int>(ObjectKind)) + ") " +
         ObjectName + GetColumnsText() + " TO (" + IntToStr(static_cast<int>(GranteeKind)) + ") " +
         Grantee + (GrantOption == 1 ? " WITH OPTION" : "") +
         (DDLKind != TDDLKind::None ? " ON (" + IntToStr(static_cast<int>(DDLKind)) + ")" : "") +
         (Grantor.empty() ? std::string() : " BY " + Grantor);
}

}  // namespace qor
