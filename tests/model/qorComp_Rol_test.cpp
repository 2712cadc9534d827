// Roles, logins and users, and grants: the role texts per dialect, the GRANT
// and REVOKE texts per dialect with their privilege, grantee and column
// parts, the empty texts of grants that have nothing to write, and the
// merging of grants in the collection.
#include "model/qorComp_Rol.h"
#include "tests/model/qorKindFixture.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using DB = TDatabaseType;
using P = TPrivilege;
using K = TDbObject;

class RolTest : public test::KindTest {
 protected:
  TRolData* Role(DB server, const std::string& name, std::uint8_t kind) {
    auto* r = Make<TRolData>(server, name);
    r->RoleKind = kind;
    return r;
  }
};

TEST_F(RolTest, KeysByKind) {
  EXPECT_EQ(Role(DB::dbInterBase, "R", rk::Role)->GetKeyName(), "Role: R");
  EXPECT_EQ(Role(DB::dbInterBase, "R", rk::Login)->GetKeyName(), "Login: R");
  EXPECT_EQ(Role(DB::dbInterBase, "R", rk::User)->GetKeyName(), "User: R");
}

TEST_F(RolTest, RoleTextsPerDialect) {
  struct Case {
    const char* label;
    DB server;
    std::uint8_t kind;
    const char* name;
    const char* login;
    const char* appRole;
    const char* owner;
    const char* create;
    const char* script;  // nullptr: the CREATE text
    const char* drop;
  };
  const Case cases[] = {
      {"Firebird role", DB::dbInterBase, rk::Role, "R_SALES", "", "", "", "CREATE ROLE R_SALES",
       nullptr, "DROP ROLE R_SALES"},
      {"Firebird role with owner", DB::dbInterBase, rk::Role, "R_SALES", "", "", "SYSDBA",
       "/* Role: R_SALES, Owner: SYSDBA */\r\nCREATE ROLE R_SALES", nullptr, "DROP ROLE R_SALES"},
      {"comment end inside the owner is broken up", DB::dbInterBase, rk::Role, "R1", "", "", "A*/B",
       "/* Role: R1, Owner: A* /B */\r\nCREATE ROLE R1", nullptr, "DROP ROLE R1"},
      {"mixed-case role quoted in dialect 3", DB::dbInterBase, rk::Role, "Sales", "", "", "",
       "CREATE ROLE \"Sales\"", nullptr, "DROP ROLE \"Sales\""},
      {"MS SQL role", DB::dbMSSQL, rk::Role, "O'ROLE", "", "", "", "exec sp_addrole N'O''ROLE'",
       nullptr, "exec sp_droprole @rolename = N'O''ROLE'"},
      {"MS SQL application role", DB::dbMSSQL, rk::Role, "APP", "", "1", "",
       "exec sp_addapprole N'APP', N''", nullptr, "exec sp_dropapprole @rolename = N'APP'"},
      {"MS SQL user from its login", DB::dbMSSQL, rk::User, "BOB", "CORP\\BOB", "", "",
       "exec sp_grantdbaccess @loginame = N'CORP\\BOB', @name_in_db = N'BOB'", nullptr,
       "exec sp_revokedbaccess @name_in_db = N'BOB'"},
      {"MS SQL login", DB::dbMSSQL, rk::Login, "L1", "", "", "",
       "exec sp_addlogin @loginame = N'L1'", nullptr, "exec sp_droplogin @loginame = N'L1'"},
      {"ASE login", DB::dbSybaseASE, rk::Login, "L1", "", "", "",
       "if (not exists(select name from master.dbo.syslogins where name = 'L1'))\r\n  begin\r\n"
       "    use master\r\n    exec sp_addlogin L1, '      '\r\n  end",
       "if (not exists(select name from master.dbo.syslogins where name = 'L1'))\r\n  begin\r\n"
       "    use master\r\n    exec sp_addlogin L1, '      '\r\n    use SALES\r\n  end",
       "DROP ROLE L1"},
      {"ASE user", DB::dbSybaseASE, rk::User, "U1", "L1", "", "",
       "if (not exists(select name from dbo.sysusers where name = 'U1'))\r\n"
       "  exec sp_adduser L1, U1",
       nullptr, "DROP ROLE U1"},
      {"ASE role", DB::dbSybaseASE, rk::Role, "R1", "", "", "",
       "if (not exists(select name from master.dbo.syssrvroles where name = 'R1'))\r\n  begin\r\n"
       "    use master\r\n    create role R1\r\n  end",
       "if (not exists(select name from master.dbo.syssrvroles where name = 'R1'))\r\n  begin\r\n"
       "    use master\r\n    create role R1\r\n    use SALES\r\n  end",
       "DROP ROLE R1"},
  };
  Objs().ConnectionOptions.DatabaseName = "SALES";
  Objs().MSSQLServerOptions.MSSQLCompareOptions.CaseSensitiveIdentifiers = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto* r = Role(c.server, c.name, c.kind);
    r->LoginName = c.login;
    r->AppRole = c.appRole;
    r->RoleOwner = c.owner;
    EXPECT_EQ(r->GetCreateSQL(), c.create);
    r->Suppressed = true;  // the script text does not look at it
    EXPECT_EQ(r->GetScriptSQL(), c.script ? c.script : c.create);
    EXPECT_EQ(r->GetDropSQL(), c.drop);
  }
}

TEST_F(RolTest, MSSQLUserWithoutLoginAndBuiltInUsers) {
  auto* u = Role(DB::dbMSSQL, "CAROL", rk::User);
  EXPECT_EQ(u->GetCreateSQL(),
            "exec sp_grantdbaccess @loginame = N'CAROL', @name_in_db = N'CAROL'");
  EXPECT_EQ(u->LoginName, "CAROL");

  struct Case {
    const char* name;
    TMSSQLServerVersionType version;
    bool dropped;
  };
  const Case cases[] = {
      {"GUEST", TMSSQLServerVersionType::st_MSSQL2005, false},
      {"guest", TMSSQLServerVersionType::st_MSSQL2019, false},
      {"INFORMATION_SCHEMA", TMSSQLServerVersionType::st_MSSQL2008, false},
      {"SYS", TMSSQLServerVersionType::st_MSSQL2012, false},
      {"GUEST", TMSSQLServerVersionType::st_MSSQL2000, true},
      {"GUESTS", TMSSQLServerVersionType::st_MSSQL2019, true},
  };
  Objs().MSSQLServerOptions.MSSQLCompareOptions.CaseSensitiveIdentifiers = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Objs().MSSQLServerOptions.SQLServerVersion = c.version;
    auto* r = Role(DB::dbMSSQL, c.name, rk::User);
    EXPECT_EQ(r->GetDropSQL().empty(), !c.dropped) << r->GetDropSQL();
  }
}

TEST_F(RolTest, RoleDescription) {
  auto* r = Role(DB::dbInterBase, "R1", rk::Role);
  r->SetDescription("x");
  IB().IBCompareOptions.UpdateDescriptionMode = TUpdateDescriptionType::udComment;
  EXPECT_EQ(r->GetDescriptionSQL(), "COMMENT ON ROLE R1 IS\r\n'x'");
}

// ------------------------------------------------------------------ grants

using GrantSpec = test::TModelBuilder::TGrantSpec;

class GntTest : public test::KindTest {
 protected:
  TGntData* Grant(DB server, const GrantSpec& s) {
    auto* g = Make<TGntData>(server, "");
    test::TModelBuilder::FillGrant(*g, s);
    return g;
  }
  std::unique_ptr<TGntData> New(const GrantSpec& s) { return build.NewGrant(s); }
};

TEST_F(GntTest, GrantAndRevokeTextsPerDialect) {
  struct Case {
    const char* label;
    DB server;
    GrantSpec spec;
    const char* grant;
    const char* revoke;
  };
  const TPrivileges five{P::prInsert, P::prUpdate, P::prDelete, P::prSelect, P::prReferences};
  // clang-format off
  const Case cases[] = {
      // InterBase/Firebird
      {"usage on a generator", DB::dbInterBase,
       {"U", K::dboUser, "G", K::dboGenerator, {P::prUsage}},
       "GRANT USAGE ON SEQUENCE G TO USER U", "REVOKE USAGE ON SEQUENCE G FROM USER U"},
      {"usage on an exception", DB::dbInterBase,
       {"U", K::dboUser, "E", K::dboException, {P::prUsage}}, "GRANT USAGE ON EXCEPTION E TO USER U",
       "REVOKE USAGE ON EXCEPTION E FROM USER U"},
      {"execute on a package to a package", DB::dbInterBase,
       {"Q", K::dboPackage, "P", K::dboPackage, {P::prExecute}},
       "GRANT EXECUTE ON PACKAGE P TO PACKAGE Q", "REVOKE EXECUTE ON PACKAGE P FROM PACKAGE Q"},
      {"execute on a procedure to a trigger", DB::dbInterBase,
       {"TR", K::dboTrigger, "P", K::dboProcedure, {P::prExecute}},
       "GRANT EXECUTE ON PROCEDURE P TO TRIGGER TR",
       "REVOKE EXECUTE ON PROCEDURE P FROM TRIGGER TR"},
      {"select on a view to a role, grant option", DB::dbInterBase,
       {"R", K::dboRole, "V", K::dboView, {P::prSelect}, 1},
       "GRANT SELECT ON V TO ROLE R WITH GRANT OPTION",
       "REVOKE GRANT OPTION FOR SELECT ON V FROM ROLE R"},
      {"column grant", DB::dbInterBase,
       {"U", K::dboUser, "T", K::dboTable, {P::prUpdate, P::prReferences}, 0, {"A", "b"}},
       "GRANT UPDATE, REFERENCES (A, \"b\") ON T TO USER U",
       "REVOKE UPDATE, REFERENCES (A, \"b\") ON T FROM USER U"},
      {"role membership", DB::dbInterBase, {"U", K::dboUser, "R", K::dboRole, {}}, "GRANT R TO USER U",
       "REVOKE R FROM USER U"},
      {"role membership with admin option", DB::dbInterBase,
       {"U", K::dboUser, "R", K::dboRole, {}, 1}, "GRANT R TO USER U WITH ADMIN OPTION",
       "REVOKE ADMIN OPTION FOR R FROM USER U"},
      {"ALL and then execute", DB::dbInterBase,
       {"U", K::dboUser, "T", K::dboTable, {P::prAll, P::prSelect}}, "GRANT ALL ON T TO USER U",
       "REVOKE ALL ON T FROM USER U"},
      {"a double quote in a name is doubled", DB::dbInterBase,
       {"U", K::dboUser, "my\"tab", K::dboTable, {P::prSelect}},
       "GRANT SELECT ON \"my\"\"tab\" TO USER U", "REVOKE SELECT ON \"my\"\"tab\" FROM USER U"},
      {"stored statement without object kind", DB::dbInterBase,
       {"U", K::dboUser, "", K::dboUnknown, {}, 0, {}, "GRANT CREATE TABLE TO U"},
       "GRANT CREATE TABLE TO U", ""},
      // PostgreSQL and MySQL: a role is named like a user, a routine or a
      // sequence by its kind word, a column list after each privilege.
      {"PostgreSQL role grantee", DB::dbPostgreSQL,
       {"r", K::dboRole, "t", K::dboTable, {P::prSelect, P::prInsert}},
       "GRANT INSERT, SELECT ON t TO r", "REVOKE INSERT, SELECT ON t FROM r"},
      {"PostgreSQL columns bind to each privilege", DB::dbPostgreSQL,
       {"u", K::dboUser, "t", K::dboTable, {P::prInsert, P::prUpdate}, 0, {"a", "B"}},
       "GRANT INSERT (a, \"B\"), UPDATE (a, \"B\") ON t TO u",
       "REVOKE INSERT (a, \"B\"), UPDATE (a, \"B\") ON t FROM u"},
      {"PostgreSQL execute on a procedure", DB::dbPostgreSQL,
       {"u", K::dboUser, "p", K::dboProcedure, {P::prExecute}}, "GRANT EXECUTE ON PROCEDURE p TO u",
       "REVOKE EXECUTE ON PROCEDURE p FROM u"},
      {"PostgreSQL execute on a function to a role", DB::dbPostgreSQL,
       {"r", K::dboRole, "f", K::dboFunction, {P::prExecute}, 1},
       "GRANT EXECUTE ON FUNCTION f TO r WITH GRANT OPTION",
       "REVOKE GRANT OPTION FOR EXECUTE ON FUNCTION f FROM r"},
      {"PostgreSQL usage on a sequence", DB::dbPostgreSQL,
       {"u", K::dboUser, "s", K::dboGenerator, {P::prUsage}}, "GRANT USAGE ON SEQUENCE s TO u",
       "REVOKE USAGE ON SEQUENCE s FROM u"},
      {"PostgreSQL role membership", DB::dbPostgreSQL, {"u", K::dboUser, "r", K::dboRole, {}},
       "GRANT r TO u", "REVOKE r FROM u"},
      {"MySQL role grantee", DB::dbMySQL, {"R", K::dboRole, "T", K::dboTable, {P::prSelect}},
       "GRANT SELECT ON T TO R", "REVOKE SELECT ON T FROM R"},
      {"MySQL execute on a procedure", DB::dbMySQL,
       {"R", K::dboRole, "P", K::dboProcedure, {P::prExecute}}, "GRANT EXECUTE ON PROCEDURE P TO R",
       "REVOKE EXECUTE ON PROCEDURE P FROM R"},
      {"MySQL execute on a function", DB::dbMySQL,
       {"U", K::dboUser, "F", K::dboFunction, {P::prExecute}}, "GRANT EXECUTE ON FUNCTION F TO U",
       "REVOKE EXECUTE ON FUNCTION F FROM U"},
      {"MySQL columns bind to each privilege", DB::dbMySQL,
       {"U", K::dboUser, "T", K::dboTable, {P::prSelect, P::prUpdate}, 0, {"A"}},
       "GRANT SELECT (A), UPDATE (A) ON T TO U", "REVOKE SELECT (A), UPDATE (A) ON T FROM U"},
      // DB2 reads a bare name as a table's as well.
      {"DB2 execute on a procedure to a role", DB::dbDB2,
       {"R", K::dboRole, "P", K::dboProcedure, {P::prExecute}},
       "GRANT EXECUTE ON PROCEDURE P TO ROLE R", "REVOKE EXECUTE ON PROCEDURE P FROM ROLE R"},
      {"DB2 execute on a function", DB::dbDB2,
       {"U", K::dboUser, "F", K::dboFunction, {P::prExecute}}, "GRANT EXECUTE ON FUNCTION F TO U",
       "REVOKE EXECUTE ON FUNCTION F FROM U"},
      {"DB2 usage on a sequence", DB::dbDB2, {"U", K::dboUser, "S", K::dboGenerator, {P::prUsage}},
       "GRANT USAGE ON SEQUENCE S TO U", "REVOKE USAGE ON SEQUENCE S FROM U"},
      // MS SQL and ASE
      {"MS SQL object privileges with grant option", DB::dbMSSQL,
       {"U", K::dboUser, "Order Details", K::dboTable, {P::prSelect, P::prInsert}, 1},
       "GRANT INSERT, SELECT ON [Order Details] TO U WITH GRANT OPTION",
       "REVOKE GRANT OPTION FOR INSERT, SELECT ON [Order Details] FROM U"},
      {"MS SQL closing bracket doubled", DB::dbMSSQL,
       {"U", K::dboUser, "a]b", K::dboTable, {P::prSelect}}, "GRANT SELECT ON [a]]b] TO U",
       "REVOKE SELECT ON [a]]b] FROM U"},
      {"MS SQL five table privileges are ALL", DB::dbMSSQL,
       {"U", K::dboUser, "T", K::dboTable, five},
       "GRANT ALL ON T TO U", "REVOKE ALL ON T FROM U"},
      {"ASE five table privileges are listed", DB::dbSybaseASE,
       {"U", K::dboUser, "T", K::dboTable, five},
       "GRANT DELETE, INSERT, SELECT, UPDATE, REFERENCES ON T TO U",
       "REVOKE DELETE, INSERT, SELECT, UPDATE, REFERENCES ON T FROM U"},
      {"MS SQL statement privileges", DB::dbMSSQL,
       {"U", K::dboUser, "", K::dboUnknown,
        {P::prBackupDatabase, P::prCreateView, P::prCreateTable, P::prTruncateTable}, 1},
       "GRANT CREATE TABLE, CREATE VIEW, BACKUP DATABASE, TRUNCATE TABLE TO U WITH GRANT OPTION",
       "REVOKE CREATE TABLE, CREATE VIEW, BACKUP DATABASE FROM U"},
      {"MS SQL connect", DB::dbMSSQL, {"dbo", K::dboUnknown, "U", K::dboUnknown, {P::prConnect}},
       "GRANT CONNECT TO U AS dbo", "REVOKE CONNECT FROM U"},
      // T-SQL has no GRANT role TO user; a database role no admin option.
      {"MS SQL role membership", DB::dbMSSQL, {"U", K::dboUser, "R", K::dboRole, {}, 1},
       "exec sp_addrolemember N'R', N'U'", "exec sp_droprolemember N'R', N'U'"},
      {"MS SQL role membership, quote doubled", DB::dbMSSQL,
       {"O'Neil", K::dboUser, "R", K::dboRole, {}}, "exec sp_addrolemember N'R', N'O''Neil'",
       "exec sp_droprolemember N'R', N'O''Neil'"},
      {"ASE role membership", DB::dbSybaseASE, {"U", K::dboUser, "R", K::dboRole, {}},
       "GRANT ROLE R TO U", "REVOKE ROLE R FROM U"},
      {"MS SQL object of no known kind", DB::dbMSSQL,
       {"U", K::dboUser, "FN", K::dboUnknown, {P::prExecute}}, "GRANT EXECUTE ON FN TO U",
       "REVOKE EXECUTE ON FN FROM U"},
      {"MS SQL stored statement", DB::dbMSSQL,
       {"U", K::dboUser, "T", K::dboTable, {P::prSelect}, 0, {}, "GRANT SELECT ON T TO U AS X"},
       "GRANT SELECT ON T TO U AS X", "REVOKE SELECT ON T FROM U"},
      // Oracle: names as stored, no grant option
      {"Oracle object privileges", DB::dbOracle,
       {"scott", K::dboUser, "hr.emp", K::dboTable, {P::prExecute, P::prSelect, P::prDelete}, 1},
       "GRANT DELETE, SELECT, EXECUTE ON hr.emp TO scott", nullptr},
      {"Oracle column grant keeps its columns", DB::dbOracle,
       {"scott", K::dboUser, "hr.emp", K::dboTable, {P::prUpdate, P::prReferences}, 0, {"sal", "comm"}},
       "GRANT UPDATE (sal, comm), REFERENCES (sal, comm) ON hr.emp TO scott", nullptr},
      {"Oracle role to a user", DB::dbOracle, {"scott", K::dboUser, "DBA", K::dboRole, {}},
       "GRANT DBA TO scott", nullptr},
      {"Oracle system privileges", DB::dbOracle,
       {"scott", K::dboUser, "", K::dboUnknown,
        {P::prUnlimitedTablespace, P::prCreateTable, P::prCreateSession}},
       "GRANT CREATE SESSION, CREATE TABLE, UNLIMITED TABLESPACE TO scott", nullptr},
      {"Oracle stored statement", DB::dbOracle,
       {"scott", K::dboUser, "", K::dboUnknown, {}, 0, {}, "SELECT ANY TABLE TO scott"},
       "GRANT SELECT ANY TABLE TO scott", nullptr},
      {"Oracle without grantee", DB::dbOracle,
       {"", K::dboUser, "T", K::dboTable, {P::prSelect}}, "", nullptr},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TGntData* g = Grant(c.server, c.spec);
    EXPECT_EQ(g->GetCreateSQL(), c.grant);
    EXPECT_EQ(g->GetScriptSQL(), c.grant);
    if (c.revoke) {
      EXPECT_EQ(g->GetDropSQL(), c.revoke);
    }
  }
}

// A privilege list that comes out empty writes no statement at all, never
// "GRANT  TO" or "REVOKE  FROM".
TEST_F(GntTest, NothingToWriteGivesEmptyTexts) {
  struct Case {
    const char* label;
    DB server;
    GrantSpec spec;
    bool grantEmpty;
  };
  // clang-format off
  const Case cases[] = {
      {"statement revoke of TRUNCATE TABLE alone", DB::dbMSSQL,
       {"U", K::dboUser, "", K::dboUnknown, {P::prTruncateTable}}, false},
      {"statement grant of a privilege MS SQL has no word for", DB::dbMSSQL,
       {"U", K::dboUser, "", K::dboUnknown, {P::prCreateSequence}}, true},
      {"table grant of a system privilege", DB::dbInterBase,
       {"U", K::dboUser, "T", K::dboTable, {P::prCreateTable}}, true},
      {"no privileges at all on a procedure", DB::dbInterBase,
       {"U", K::dboUser, "P", K::dboProcedure, {}}, true},
      {"members without a keyword", DB::dbMSSQL,
       {"U", K::dboUser, "T", K::dboTable, TPrivileges{P::pr8, P::pr44}}, true},
      {"Oracle object grant of connect only", DB::dbOracle,
       {"U", K::dboUser, "T", K::dboTable, {P::prConnect}}, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TGntData* g = Grant(c.server, c.spec);
    EXPECT_EQ(g->GetCreateSQL().empty(), c.grantEmpty) << g->GetCreateSQL();
    if (c.server != DB::dbOracle) {
      EXPECT_EQ(g->GetDropSQL(), "");
    }
  }
}

// Firebird's DDL privileges name a kind of objects, and a grant made by
// another user than the script's names its grantor; the texts follow the
// target generation.
TEST_F(GntTest, FirebirdDDLPrivilegesAndGrantorTexts) {
  using V = TIBSQLServerVersionType;
  using D = TDDLKind;
  const TPrivileges cad{P::prDDLCreate, P::prDDLAlter, P::prDDLDrop};
  struct Case {
    const char* label;
    V version;
    GrantSpec spec;
    const char* grant;
    const char* revoke;
  };
  // clang-format off
  const Case cases[] = {
      {"every action on tables", V::st_Firebird_30,
       {"U", K::dboUser, "", K::dboUnknown, cad, 0, {}, "", D::Table},
       "GRANT CREATE, ALTER ANY, DROP ANY TABLE TO USER U",
       "REVOKE CREATE, ALTER ANY, DROP ANY TABLE FROM USER U"},
      {"the database is altered and dropped as itself", V::st_Firebird_30,
       {"U", K::dboUser, "", K::dboUnknown, cad, 0, {}, "", D::Database},
       "GRANT ALTER, DROP DATABASE TO USER U", "REVOKE ALTER, DROP DATABASE FROM USER U"},
      {"a two-word kind to a role, grant option", V::st_Firebird_40,
       {"R", K::dboRole, "", K::dboUnknown, {P::prDDLAlter}, 1, {}, "", D::CharacterSet},
       "GRANT ALTER ANY CHARACTER SET TO ROLE R WITH GRANT OPTION",
       "REVOKE GRANT OPTION FOR ALTER ANY CHARACTER SET FROM ROLE R"},
      {"to a procedure, granted by another user", V::st_Firebird_30,
       {"P", K::dboProcedure, "", K::dboUnknown, {P::prDDLCreate}, 1, {}, "", D::Sequence, "U1"},
       "GRANT CREATE SEQUENCE TO PROCEDURE P WITH GRANT OPTION GRANTED BY U1",
       "REVOKE GRANT OPTION FOR CREATE SEQUENCE FROM PROCEDURE P GRANTED BY U1"},
      {"CREATE DATABASE alone has nothing to write", V::st_Firebird_30,
       {"U", K::dboUser, "", K::dboUnknown, {P::prDDLCreate}, 0, {}, "", D::Database}, "", ""},
      {"no DDL privileges before Firebird 3", V::st_Firebird_25,
       {"U", K::dboUser, "", K::dboUnknown, cad, 0, {}, "", D::Table}, "", ""},
      {"nor in InterBase", V::st_InterBase_2020,
       {"U", K::dboUser, "", K::dboUnknown, cad, 0, {}, "", D::Table}, "", ""},
      {"grantor of an object grant, quoted", V::st_Firebird_25,
       {"U", K::dboUser, "T", K::dboTable, {P::prSelect}, 0, {}, "", D::None, "u q'"},
       "GRANT SELECT ON T TO USER U GRANTED BY \"u q'\"", "REVOKE SELECT ON T FROM USER U GRANTED BY \"u q'\""},
      {"grantor of a role membership after the admin option", V::st_Firebird_30,
       {"U", K::dboUser, "R", K::dboRole, {}, 1, {}, "", D::None, "ADM"},
       "GRANT R TO USER U WITH ADMIN OPTION GRANTED BY ADM",
       "REVOKE ADMIN OPTION FOR R FROM USER U GRANTED BY ADM"},
      // Older generations have no GRANTED BY: the grant stays, the runner's.
      {"no grantor before Firebird 2.5", V::st_Firebird_21,
       {"U", K::dboUser, "T", K::dboTable, {P::prSelect}, 0, {}, "", D::None, "U1"},
       "GRANT SELECT ON T TO USER U", "REVOKE SELECT ON T FROM USER U"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TGntData* g = Grant(DB::dbInterBase, c.spec);
    IB().SQLServerVersion = c.version;
    EXPECT_EQ(g->GetCreateSQL(), c.grant);
    EXPECT_EQ(g->GetDropSQL(), c.revoke);
  }
}

// A DDL privilege has no words in the other dialects: nothing is written,
// never a statement or system privilege that reaches further. The grantor
// is Firebird's alone too; the grant itself is written without it.
TEST_F(GntTest, OtherDialectsWriteNoDDLPrivilegeAndNoGrantor) {
  IB().SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
  const TPrivileges cad{P::prDDLCreate, P::prDDLAlter, P::prDDLDrop};
  const DB others[] = {DB::dbSybaseASA,  DB::dbMySQL, DB::dbOracle,   DB::dbMSSQL,
                       DB::dbPostgreSQL, DB::dbDB2,   DB::dbSybaseASE};
  for (DB server : others) {
    SCOPED_TRACE(ServerNo(server));
    for (TDDLKind kind : {TDDLKind::Table, TDDLKind::View, TDDLKind::Procedure, TDDLKind::Function,
                          TDDLKind::Sequence, TDDLKind::Database}) {
      TGntData* g =
          Grant(server, {"U", K::dboUser, "", K::dboUnknown, cad, 1, {}, "", kind, "ADM"});
      EXPECT_EQ(g->GetCreateSQL(), "");
      EXPECT_EQ(g->GetDropSQL(), "");
    }
    TGntData* byOther =
        Grant(server, {"U", K::dboUser, "T", K::dboTable, {P::prSelect}, 0, {}, "", {}, "ADM"});
    EXPECT_EQ(byOther->GetCreateSQL().find("ADM"), std::string::npos) << byOther->GetCreateSQL();
    EXPECT_NE(byOther->GetCreateSQL(), "");
  }

  // The whole script of each dialect, as a library caller writes it.
  auto ddl = New({"U_DDL", K::dboUser, "", K::dboUnknown, cad, 1, {}, "", TDDLKind::Table});
  ASSERT_NE(Objs().AddGrant(ddl), nullptr);
  for (DB server : others) {
    SCOPED_TRACE(ServerNo(server));
    Objs().SetServerType(server);
    std::vector<std::string> lines;
    Objs().GetScript(lines);
    for (const std::string& l : lines) EXPECT_EQ(l.find("U_DDL"), std::string::npos) << l;
  }
}

TEST_F(GntTest, PrivilegeGranteeAndColumnTexts) {
  TGntData* g =
      Grant(DB::dbInterBase,
            {"TR", K::dboTrigger, "T", K::dboTable, {P::prSelect, P::prUpdate}, 0, {"A", "B"}});
  // Read in any order, written DELETE, INSERT, SELECT, UPDATE, REFERENCES.
  EXPECT_EQ(g->GetPrivilegesText(), "SELECT, UPDATE (A, B) ON T");
  EXPECT_EQ(g->GetColumnsText(), " (A, B)");
  EXPECT_EQ(g->GetGranteeText(), "TRIGGER TR");
  g->Columns.clear();
  EXPECT_EQ(g->GetColumnsText(), "");
  // clang-format off
  const struct {
    K kind;
    const char* text;
  } grantees[] = {{K::dboProcedure, "PROCEDURE X"}, {K::dboFunction, "FUNCTION X"},
                  {K::dboView, "VIEW X"},           {K::dboRole, "ROLE X"},
                  {K::dboPackage, "PACKAGE X"},     {K::dboUser, "USER X"},
                  {K::dboTable, "X"}};
  // clang-format on
  for (const auto& c : grantees) {
    g->Grantee = "X";
    g->GranteeKind = c.kind;
    EXPECT_EQ(g->GetGranteeText(), c.text);
  }
  // PUBLIC is everyone, not a user of that name.
  g->Grantee = "PUBLIC";
  g->GranteeKind = K::dboUser;
  EXPECT_EQ(g->GetGranteeText(), "PUBLIC");
}

TEST_F(GntTest, MergingInTheCollection) {
  Objs().SetServerType(DB::dbInterBase);
  // Same grantee and object, different privileges: one grant with both.
  auto a = New({"U", K::dboUser, "T", K::dboTable, {P::prUpdate}});
  TGntData* held = Objs().AddGrant(a);
  ASSERT_NE(held, nullptr);
  auto b = New({"U", K::dboUser, "T", K::dboTable, {P::prSelect, P::prDelete}});
  EXPECT_EQ(Objs().AddGrant(b), nullptr);
  // The same role membership twice: one grant; with admin option: another.
  auto r1 = New({"U", K::dboUser, "R", K::dboRole, {}});
  ASSERT_NE(Objs().AddGrant(r1), nullptr);
  auto r2 = New({"U", K::dboUser, "R", K::dboRole, {}});
  EXPECT_EQ(Objs().AddGrant(r2), nullptr);
  auto r3 = New({"U", K::dboUser, "R", K::dboRole, {}, 1});
  ASSERT_NE(Objs().AddGrant(r3), nullptr);
  // Column grants of different privileges stay apart.
  auto c1 = New({"U", K::dboUser, "T", K::dboTable, {P::prUpdate}, 0, {"A"}});
  ASSERT_NE(Objs().AddGrant(c1), nullptr);
  auto c2 = New({"U", K::dboUser, "T", K::dboTable, {P::prReferences}, 0, {"A"}});
  ASSERT_NE(Objs().AddGrant(c2), nullptr);
  // The same privilege from two grantors is two grants, as the engine
  // holds it; DDL privileges of two kinds are two grants as well.
  auto g1 = New({"U", K::dboUser, "T", K::dboTable, {P::prInsert}, 0, {}, "", {}, "ADM"});
  ASSERT_NE(Objs().AddGrant(g1), nullptr);
  auto d1 = New({"U", K::dboUser, "", K::dboUnknown, {P::prDDLCreate}, 0, {}, "", TDDLKind::Table});
  ASSERT_NE(Objs().AddGrant(d1), nullptr);
  auto d2 = New({"U", K::dboUser, "", K::dboUnknown, {P::prDDLDrop}, 0, {}, "", TDDLKind::Table});
  EXPECT_EQ(Objs().AddGrant(d2), nullptr);
  auto d3 = New({"U", K::dboUser, "", K::dboUnknown, {P::prDDLCreate}, 0, {}, "", TDDLKind::View});
  ASSERT_NE(Objs().AddGrant(d3), nullptr);
  // Two grants with nothing to write, on different objects, are both kept.
  auto e1 = New({"U", K::dboUser, "P1", K::dboProcedure, {}});
  ASSERT_NE(Objs().AddGrant(e1), nullptr);
  auto e2 = New({"U", K::dboUser, "P2", K::dboProcedure, {}});
  ASSERT_NE(Objs().AddGrant(e2), nullptr);

  IB().SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
  Objs().RekeyGrants();
  std::vector<std::string> texts;
  for (const auto& e : Objs().Grants)
    if (!e.Value->GetCreateSQL().empty()) texts.push_back(e.Value->GetCreateSQL());
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "GRANT CREATE VIEW TO USER U", "GRANT CREATE, DROP ANY TABLE TO USER U",
                       "GRANT DELETE, SELECT, UPDATE ON T TO USER U",
                       "GRANT INSERT ON T TO USER U GRANTED BY ADM", "GRANT R TO USER U",
                       "GRANT R TO USER U WITH ADMIN OPTION", "GRANT REFERENCES (A) ON T TO USER U",
                       "GRANT UPDATE (A) ON T TO USER U"}));
  EXPECT_EQ(Objs().Grants.Count(), 10);
}

}  // namespace
}  // namespace qor
