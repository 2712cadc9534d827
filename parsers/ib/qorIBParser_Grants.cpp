// The InterBase/Firebird GRANT statement in every form isql writes:
// privileges with column lists, ALL [PRIVILEGES], USAGE on sequences and
// exceptions, object kinds on both sides, role memberships, the DDL
// privileges of Firebird 3 (CREATE, ALTER ANY, DROP ANY of a kind), WITH
// GRANT or ADMIN OPTION and GRANTED BY.
#include "parsers/ib/qorIBParser.h"

#include "base/qorDBOptions.h"
#include "model/qorComp_Rol.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <utility>
#include <vector>

namespace qor {

namespace {

// One privilege and the columns it names.
struct TPrivilegeItem {
  TPrivilege privilege;
  std::vector<std::string> columns;
};

}  // namespace

bool TIbParser::ParseDDLKind(TDDLKind& kind) {
  kind = TDDLKind::None;
  if (IsKw(ibk::Table)) kind = TDDLKind::Table;
  else if (IsKw(ibk::View)) kind = TDDLKind::View;
  else if (IsKw(ibk::Procedure)) kind = TDDLKind::Procedure;
  else if (IsKw(ibk::Function)) kind = TDDLKind::Function;
  else if (IsWord("PACKAGE")) kind = TDDLKind::Package;
  else if (IsKw(ibk::Generator) || IsWord("SEQUENCE")) kind = TDDLKind::Sequence;
  else if (IsKw(ibk::Domain)) kind = TDDLKind::Domain;
  else if (IsKw(ibk::Exception)) kind = TDDLKind::Exception;
  else if (IsKw(ibk::Role)) kind = TDDLKind::Role;
  else if (IsWord("COLLATION")) kind = TDDLKind::Collation;
  else if (IsKw(ibk::Filter)) kind = TDDLKind::Filter;
  else if (IsKw(ibk::Database)) kind = TDDLKind::Database;
  else if (IsKw(ibk::Character)) {
    NextToken();
    if (!ExpectKw(ibk::Set)) return false;
    kind = TDDLKind::CharacterSet;
  } else {
    Error(
        "Must be: TABLE / VIEW / PROCEDURE / FUNCTION / PACKAGE / SEQUENCE / DOMAIN / "
        "EXCEPTION / ROLE / CHARACTER SET / COLLATION / FILTER / DATABASE");
    return false;
  }
  NextToken();
  return true;
}

bool TIbParser::ParseGrant() {
  NextToken();
  TObjs* objs = Objs();
  std::vector<TPrivilegeItem> items;
  std::vector<std::string> roles;
  // DDL privileges: CREATE, ALTER [ANY], DROP [ANY], then the kind.
  TPrivileges ddl;
  bool all = false, anyWord = false, bareWord = false;
  // A privilege word, else the name of a granted role: USAGE is a
  // privilege, never a role named so.
  auto privilegeOf = [&](TPrivilege& p) {
    if (IsKw(ibk::Select)) p = TPrivilege::prSelect;
    else if (IsKw(ibk::Insert)) p = TPrivilege::prInsert;
    else if (IsKw(ibk::Update)) p = TPrivilege::prUpdate;
    else if (IsKw(ibk::Delete)) p = TPrivilege::prDelete;
    else if (IsKw(ibk::References)) p = TPrivilege::prReferences;
    else if (IsKw(ibk::Execute)) p = TPrivilege::prExecute;
    else if (IsWord("USAGE")) p = TPrivilege::prUsage;
    else return false;
    return true;
  };
  for (;;) {
    TPrivilege p{};
    if (IsKw(ibk::All)) {
      all = true;
      NextToken();
      if (IsKw(ibk::Privileges)) NextToken();
      for (TPrivilege q : {TPrivilege::prInsert, TPrivilege::prUpdate, TPrivilege::prDelete,
                           TPrivilege::prSelect, TPrivilege::prReferences})
        items.push_back({q, {}});
    } else if (privilegeOf(p)) {
      NextToken();
      TPrivilegeItem item{p, {}};
      if (TokenKind() == tk::LParen) {
        NextToken();
        for (;;) {
          std::string c;
          if (!ReadName(c)) return false;
          item.columns.push_back(c);
          NextToken();
          if (TokenKind() != tk::Comma) break;
          NextToken();
        }
        if (!ExpectAndNext(tk::RParen)) return false;
      }
      items.push_back(std::move(item));
    } else if (items.empty() && roles.empty() &&
               (IsKw(ibk::Create) || IsKw(ibk::Alter) || IsKw(ibk::Drop))) {
      ddl.Include(IsKw(ibk::Create)  ? TPrivilege::prDDLCreate
                  : IsKw(ibk::Alter) ? TPrivilege::prDDLAlter
                                     : TPrivilege::prDDLDrop);
      const bool create = IsKw(ibk::Create);
      NextToken();
      if (!create && IsKw(ibk::Any)) {
        anyWord = true;
        NextToken();
      } else if (!create) {
        bareWord = true;
      }
    } else if (items.empty() && ddl.Empty() && TokenKind() == tk::Ident) {
      roles.push_back(IdentText());
      NextToken();
    } else {
      Error("Must be: SELECT / INSERT / UPDATE / DELETE / REFERENCES / EXECUTE / USAGE / ALL");
      return false;
    }
    if (TokenKind() != tk::Comma) break;
    NextToken();
  }

  TDDLKind ddlKind = TDDLKind::None;
  if (!ddl.Empty() || (all && roles.empty() && !IsKw(ibk::On))) {
    if (!ddl.Empty() && (!items.empty() || all)) {
      Error("Must be: DDL privileges alone");
      return false;
    }
    if (!ParseDDLKind(ddlKind)) return false;
    const bool database = ddlKind == TDDLKind::Database;
    // The database is altered and dropped as itself, other kinds ANY.
    if ((database && anyWord) || (!database && bareWord)) {
      Error(database ? "Must be: ALTER / DROP DATABASE" : "Must be: ALTER ANY / DROP ANY");
      return false;
    }
    if (all) {
      ddl = {TPrivilege::prDDLAlter, TPrivilege::prDDLDrop};
      if (!database) ddl.Include(TPrivilege::prDDLCreate);
      items.clear();
    }
    if (database && ddl.Contains(TPrivilege::prDDLCreate)) {
      // Kept by the server's security database, not by this database.
      Note("CREATE DATABASE is not kept with the database's grants");
      ddl.Exclude(TPrivilege::prDDLCreate);
    }
  }

  std::string object;
  TDbObject objectKind = TDbObject::dboRole;
  if (ddlKind != TDDLKind::None) {
    objectKind = TDbObject::dboUnknown;
  } else if (roles.empty()) {
    if (!ExpectKw(ibk::On)) return false;
    NextToken();
    objectKind = TDbObject::dboUnknown;
    if (IsKw(ibk::Table)) objectKind = TDbObject::dboTable;
    else if (IsKw(ibk::View)) objectKind = TDbObject::dboView;
    else if (IsKw(ibk::Procedure)) objectKind = TDbObject::dboProcedure;
    else if (IsKw(ibk::Function)) objectKind = TDbObject::dboFunction;
    else if (IsKw(ibk::Trigger)) objectKind = TDbObject::dboTrigger;
    else if (IsWord("PACKAGE")) objectKind = TDbObject::dboPackage;
    else if (IsWord("SEQUENCE") || IsKw(ibk::Generator)) objectKind = TDbObject::dboGenerator;
    else if (IsKw(ibk::Exception)) objectKind = TDbObject::dboException;
    if (objectKind != TDbObject::dboUnknown) NextToken();
    if (!ReadName(object)) return false;
    NextToken();
    if (objectKind == TDbObject::dboUnknown) {
      // Without a kind word: a table, else a view; system tables are tables.
      objectKind = TDbObject::dboTable;
      if (objs && !objs->FindTable(object) && objs->FindView(object))
        objectKind = TDbObject::dboView;
    }
  }

  if (!ExpectKw(ibk::To)) return false;
  NextToken();
  // Several grantees may follow, each with its kind word.
  std::vector<std::pair<std::string, TDbObject>> grantees;
  std::vector<TCmpObjType> grantKinds;
  for (;;) {
    TDbObject kind = TDbObject::dboUnknown;
    TCmpObjType grantKind = TCmpObjType::coGrant;
    if (IsKw(ibk::User)) {
      kind = TDbObject::dboUser;
      grantKind = TCmpObjType::coUserGrant;
    } else if (IsKw(ibk::Role)) {
      kind = TDbObject::dboRole;
      grantKind = TCmpObjType::coRoleGrant;
    } else if (IsKw(ibk::Procedure)) kind = TDbObject::dboProcedure;
    else if (IsKw(ibk::Function)) kind = TDbObject::dboFunction;
    else if (IsKw(ibk::Trigger)) kind = TDbObject::dboTrigger;
    else if (IsKw(ibk::View)) kind = TDbObject::dboView;
    else if (IsWord("PACKAGE")) kind = TDbObject::dboPackage;
    if (kind != TDbObject::dboUnknown && kind != TDbObject::dboUser && kind != TDbObject::dboRole)
      grantKind = TCmpObjType::coObjGrant;
    if (kind != TDbObject::dboUnknown) NextToken();
    std::string grantee;
    if (!ReadName(grantee)) return false;
    NextToken();
    if (kind == TDbObject::dboUnknown)
      kind = objs && objs->FindRole(grantee) ? TDbObject::dboRole : TDbObject::dboUser;
    grantees.emplace_back(grantee, kind);
    grantKinds.push_back(grantKind);
    if (TokenKind() != tk::Comma) break;
    NextToken();
  }

  int option = 0;
  std::string grantor;
  for (;;) {
    if (IsKw(ibk::With)) {
      NextToken();
      if (IsKw(ibk::Grant) || IsKw(ibk::Admin)) {
        NextToken();
        if (!ExpectKw(ibk::Option)) return false;
        option = 1;
        NextToken();
      } else {
        Error("Must be: with GRANT/ADMIN option");
        return false;
      }
    } else if (IsWord("GRANTED") || IsKw(ibk::As)) {
      if (IsWord("GRANTED")) {
        NextToken();
        if (!ExpectKw(ibk::By)) return false;
      }
      NextToken();
      if (IsKw(ibk::User) || IsKw(ibk::Role)) NextToken();
      if (!ReadName(grantor)) return false;
      NextToken();
    } else {
      break;
    }
  }

  const TIBServerOptions* o = GetServerOptions();
  const bool ignoreIbe = o && o->IBCompareOptions.IgnoreIBEObjects;
  // One grant per grantee and per column list: columns belong to the
  // privileges that name them.
  auto add = [&](const std::string& obj, TDbObject objKind, TPrivileges privs,
                 const std::vector<std::string>& columns, std::size_t g) {
    auto grant = std::make_unique<TGntData>(objs);
    grant->ObjectName = obj;
    grant->ObjectKind = objKind;
    grant->Privileges = privs;
    grant->Columns = columns;
    grant->Grantee = grantees[g].first;
    grant->GranteeKind = grantees[g].second;
    grant->GrantKind = grantKinds[g];
    grant->GrantOption = option;
    grant->DDLKind = ddlKind;
    grant->Grantor = grantor;
    DoLog("Grant: " + grant->GetCreateSQL());
    if (ignoreIbe && UpperAscii(obj.substr(0, 4)) == "IBE$") return;
    if (objs) objs->AddGrant(grant);
  };
  for (std::size_t g = 0; g < grantees.size(); ++g) {
    if (ddlKind != TDDLKind::None) {
      if (!ddl.Empty()) add({}, TDbObject::dboUnknown, ddl, {}, g);
      continue;
    }
    for (const std::string& role : roles) add(role, TDbObject::dboRole, {}, {}, g);
    TPrivileges plain;
    for (const TPrivilegeItem& it : items)
      if (it.columns.empty()) plain.Include(it.privilege);
    if (!plain.Empty()) add(object, objectKind, plain, {}, g);
    for (const TPrivilegeItem& it : items)
      if (!it.columns.empty()) add(object, objectKind, TPrivileges{it.privilege}, it.columns, g);
  }
  NotifyObject(ibs::Create, TDbObject::dboGrant, object);
  return true;
}

bool TIbParser::ParseRevoke() {
  // The grants of the collection stay as they are.
  SkipTo(KindSet({tk::Terminator}));
  NotifyObject(ibs::Drop, TDbObject::dboGrant, {});
  return true;
}

}  // namespace qor
