// The schema object base: keys, display and qualified names per dialect,
// quoting through the object, name folding, system constraint names, the
// text normalisation, comments, the base drop text and the description
// statements.
#include "model/qorComp_Clt.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Opr.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "tests/support/qorModelBuilder.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace qor {
namespace {

using DB = TDatabaseType;

class DbObjTest : public ::testing::Test {
 protected:
  TObjs& Objs() { return *structure.GetObjs(); }

  template <class T>
  T* Make(DB server, const std::string& name, const std::string& parent = {}) {
    Objs().SetServerType(server);
    return build.Make<T>(name, parent);
  }

  // A column `name` in `holder`'s own list.
  TFldData* AddColumn(TFieldList& list, TDbObj* holder, const std::string& name) {
    return build.Field(list, holder, name);
  }

  TDBStructure structure;
  test::TModelBuilder build{*structure.GetObjs()};
};

TEST_F(DbObjTest, KeysAndNamesPerDialect) {
  struct Case {
    const char* label;
    std::function<TDbObj*()> build;
    const char* key;
    const char* display;
    const char* qualified;
  };
  // clang-format off
  const Case cases[] = {
      {"MS SQL index keyed by schema and table",
       [&] {
         auto* i = Make<TIdxData>(DB::dbMSSQL, "IX", "DBO");
         i->TableName = "T";
         return i;
       },
       "DBO.T.IX", "DBO.IX", "DBO.IX"},
      {"PostgreSQL table without schema", [&] { return Make<TTblData>(DB::dbPostgreSQL, "orders"); },
       "orders", "orders", "orders"},
      {"Oracle table in a schema", [&] { return Make<TTblData>(DB::dbOracle, "T", "S"); }, "S.T", "T",
       "S.T"},
      {"InterBase table under the structure's prefix",
       [&] {
         structure.NamePrefix = "P";
         return Make<TTblData>(DB::dbInterBase, "PTAB");
       },
       "TAB", "TAB", "PTAB"},
      {"MySQL index keyed by its table",
       [&] {
         auto* i = Make<TIdxData>(DB::dbMySQL, "IX");
         i->TableName = "T";
         return i;
       },
       "T.IX", "IX", "IX"},
      {"ASA table with an owner",
       [&] {
         auto* t = Make<TTblData>(DB::dbSybaseASA, "T");
         t->OwnerQualifier = "O";
         return t;
       },
       "T", "O.T", "O.T"},
      {"ASA view without an owner", [&] { return Make<TViwData>(DB::dbSybaseASA, "V"); }, "V", "V",
       "DBA.V"},
      {"ASA index is not owner-qualified",
       [&] {
         auto* i = Make<TIdxData>(DB::dbSybaseASA, "IX");
         i->OwnerQualifier = "O";
         return i;
       },
       "IX", "O.IX", "IX"},
      {"MS SQL column shows its bare name",
       [&] { return Make<TFldData>(DB::dbMSSQL, "C", "DBO"); }, "DBO.C", "C", "C"},
      {"DB2 table", [&] { return Make<TTblData>(DB::dbDB2, "T", "S"); }, "S.T", "S.T", "S.T"},
      {"PostgreSQL routine keyed by its input types",
       [&] {
         auto* p = Make<TPrcData>(DB::dbPostgreSQL, "f", "s");
         AddColumn(p->InParams, p, "a")->DataType = dt::INTEGER;
         TFldData* b = AddColumn(p->InParams, p, "b");
         b->DataType = dt::VARCHAR;
         b->Length = 10;
         return p;
       },
       "s.f(integer, varchar(10))", "s.f(integer, varchar(10))", "s.f"},
      {"MS SQL procedure group",
       [&] {
         auto* p = Make<TPrcData>(DB::dbMSSQL, "P", "DBO");
         p->GroupNumber = 2;
         return p;
       },
       "DBO.P;2", "DBO.P;2", "DBO.P"},
      {"login", [&] {
         auto* r = Make<TRolData>(DB::dbMSSQL, "L");
         r->RoleKind = rk::Login;
         return r;
       },
       "Login: L", "L", "L"},
      {"user", [&] {
         auto* r = Make<TRolData>(DB::dbInterBase, "U");
         r->RoleKind = rk::User;
         return r;
       },
       "User: U", "U", "U"},
      {"prefix operator",
       [&] {
         auto* o = Make<TOprData>(DB::dbPostgreSQL, "-", "public");
         o->RightArg = "int4";
         return o;
       },
       "public.- (NONE, int4)", "public.- (NONE, int4)", "public.\"-\""},
      {"postfix operator",
       [&] {
         auto* o = Make<TOprData>(DB::dbPostgreSQL, "!", "public");
         o->LeftArg = "int4";
         return o;
       },
       "public.! (int4, NONE)", "public.! (int4, NONE)", "public.\"!\""},
      {"operator class", [&] {
         auto* c = Make<TOpcData>(DB::dbPostgreSQL, "c");
         c->AccessMethod = "btree";
         return c;
       },
       "c(btree)", "c(btree)", "c"},
      {"MS SQL constraint whose name went to SystemName",
       [&] {
         auto* c = Make<TCtrData>(DB::dbMSSQL, "");
         c->SystemName = "PK__T__0123ABCD";
         c->SetConstraintType(ct::PrimaryKey);
         c->SetTableName("T");
         return c;
       },
       // Unnamed: keyed by its text.
       "ALTER TABLE T ADD PRIMARY KEY NONCLUSTERED ()", "PK__T__0123ABCD", ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    structure.NamePrefix.clear();
    TDbObj* obj = c.build();
    EXPECT_EQ(obj->GetKeyName(), c.key);
    EXPECT_EQ(obj->GetDisplayName(), c.display);
    EXPECT_EQ(obj->GetQualifiedName(), c.qualified);
  }
}

TEST_F(DbObjTest, MSSQLNamesFoldUnlessCaseSensitive) {
  TTblData* t = Make<TTblData>(DB::dbMSSQL, "Orders", "dbo");
  EXPECT_EQ(t->GetName(), "ORDERS");
  EXPECT_EQ(t->GetParentName(), "DBO");
  Objs().MSSQLServerOptions.MSSQLCompareOptions.CaseSensitiveIdentifiers = true;
  t->SetName("Orders");
  EXPECT_EQ(t->GetName(), "Orders");
  TTblData* ib = Make<TTblData>(DB::dbInterBase, "Orders");
  EXPECT_EQ(ib->GetName(), "Orders");
  TTblData loose(nullptr);
  loose.SetName("Orders");
  EXPECT_EQ(loose.GetName(), "Orders");
}

TEST_F(DbObjTest, QuoteNameFollowsTheOwner) {
  TTblData loose(nullptr);
  EXPECT_EQ(loose.QuoteName("my table"), "my table");  // no owner: as it stands

  TTblData* t = Make<TTblData>(DB::dbInterBase, "T");
  EXPECT_EQ(t->QuoteName("Mixed"), "\"Mixed\"");
  EXPECT_EQ(t->QuoteName("PLAIN"), "PLAIN");
  Objs().IBServerOptions.SQLDialect = 1;
  EXPECT_EQ(t->QuoteName("Mixed"), "Mixed");  // dialect 1 has no delimited names

  Objs().SetServerType(DB::dbCustomOLEDB);
  struct Case {
    std::uint8_t style;
    const char* expected;
  };
  const Case cases[] = {{2, "'a''b'"}, {3, "\"a'b\""}, {4, "[a'b]"}, {0, "a'b"}, {5, "a'b"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    Objs().QuoteStyle = c.style;
    EXPECT_EQ(t->QuoteName("a'b"), c.expected);
  }
  Objs().QuoteStyle = 4;
  EXPECT_EQ(t->QuoteName("a]b"), "[a]]b]");  // the bracket cannot close the name early
}

TEST_F(DbObjTest, SystemConstraintNames) {
  struct Case {
    const char* label;
    DB server;
    std::uint8_t type;
    const char* name;
    bool moved;
  };
  const Case cases[] = {
      {"primary key", DB::dbMSSQL, ct::PrimaryKey, "PK__ORDERS__0123ABCD", true},
      {"unique", DB::dbMSSQL, ct::Unique, "UQ__T__FFFF0000", true},
      {"foreign key", DB::dbMSSQL, ct::ForeignKey, "FK__A__B__12345678", true},
      {"default", DB::dbMSSQL, ct::Default, "DF__T__C__9ABCDEF0", true},
      {"prefix of another type", DB::dbMSSQL, ct::Unique, "PK__T__0123ABCD", false},
      {"lower-case hex digit", DB::dbMSSQL, ct::PrimaryKey, "PK__T__0123abCD", false},
      {"no double underscore before the hex", DB::dbMSSQL, ct::PrimaryKey, "PK__T_X0123ABCD",
       false},
      {"check constraints keep their names", DB::dbMSSQL, ct::Check, "CK__T__0123ABCD", false},
      {"other servers", DB::dbInterBase, ct::PrimaryKey, "PK__T__0123ABCD", false},
  };
  // Names keep their case, so that a lower-case digit can be tested.
  Objs().MSSQLServerOptions.MSSQLCompareOptions.CaseSensitiveIdentifiers = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto* ctr = Make<TCtrData>(c.server, c.name);
    ctr->SetConstraintType(c.type);
    EXPECT_EQ(ctr->CheckSystemConstraintName(), c.moved);
    EXPECT_EQ(ctr->GetName(), c.moved ? "" : c.name);
    EXPECT_EQ(ctr->SystemName, c.moved ? c.name : "");
    if (c.moved) {
      EXPECT_EQ(ctr->GetDisplayName(), c.name);
    }
  }
  EXPECT_FALSE(Make<TTblData>(DB::dbMSSQL, "PK__T__0123ABCD")->CheckSystemConstraintName());
}

TEST_F(DbObjTest, TextAndDescriptionAreNormalised) {
  auto* v = Make<TViwData>(DB::dbInterBase, "V");
  v->SetText("\n  select 1\nfrom t\r\rwhere x \t\r\n");
  EXPECT_EQ(v->GetText(), "select 1\r\nfrom t\r\n\r\nwhere x");
  v->SetDescription(" \x01line1\rline2 ");
  EXPECT_EQ(v->GetDescription(), "line1\r\nline2");
}

TEST_F(DbObjTest, CommentsCannotBeEndedByTheirText) {
  auto* t = Make<TTblData>(DB::dbInterBase, "T");
  EXPECT_EQ(t->MakeComment("plain"), "/* plain */");
  EXPECT_EQ(t->MakeComment("x */ DROP TABLE T; /* y"), "/* x * / DROP TABLE T; / * y */");
  Objs().SetServerType(DB::dbSybaseASA);
  EXPECT_EQ(t->MakeComment("T"), "% T");
  // A line comment covers one line: every line carries the prefix.
  EXPECT_EQ(t->MakeComment("first\nsecond\r\nthird"), "% first\r\n% second\r\n% third");
}

TEST_F(DbObjTest, BaseDropTextPerKind) {
  struct Case {
    const char* label;
    std::function<TDbObj*()> build;
    const char* expected;
  };
  const Case cases[] = {
      {"external function", [&] { return Make<TUdfData>(DB::dbInterBase, "F"); },
       "/* Drop: F (TUdfData) */\r\nDROP EXTERNAL FUNCTION F"},
      {"exception", [&] { return Make<TExcData>(DB::dbInterBase, "E"); },
       "/* Drop: E (TExcData) */\r\nDROP EXCEPTION E"},
      {"index", [&] { return Make<TIdxData>(DB::dbInterBase, "IX"); },
       "/* Drop: IX (TIdxData) */\r\nDROP INDEX IX"},
      {"domain", [&] { return Make<TDmnData>(DB::dbInterBase, "Dm"); },
       "/* Drop: Dm (TDmnData) */\r\nDROP DOMAIN \"Dm\""},
      {"collation", [&] { return Make<TCltData>(DB::dbInterBase, "CL"); },
       "/* Drop: CL (TCltData) */\r\nDROP COLLATION CL"},
      {"rule", [&] { return Make<TRulData>(DB::dbMSSQL, "R"); },
       "/* Drop: R (TRulData) */\r\nDROP RULE R"},
      // Kinds with a drop statement of their own (tables, columns, ...)
      // override the base text; an edge keeps it.
      {"other kinds: the comment only", [&] { return Make<TDependObj>(DB::dbInterBase, "T"); },
       "/* Drop: T (TDependObj) */\r\n"},
      {"a name holding the comment end", [&] { return Make<TDependObj>(DB::dbInterBase, "A*/B"); },
       "/* Drop: A* /B (TDependObj) */\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.build()->GetDropSQL(), c.expected);
  }
}

TEST_F(DbObjTest, ScriptTextAndSelection) {
  auto* t = Make<TTblData>(DB::dbInterBase, "T");
  auto* other = Make<TTblData>(DB::dbInterBase, "T");
  t->Counterpart = other;
  EXPECT_TRUE(t->GetSelected());
  t->Deselect();
  EXPECT_FALSE(other->GetSelected());
  t->Select();
  EXPECT_TRUE(other->GetSelected());
  EXPECT_EQ(t->GetAlterSQL(), "/* Alter <...> */");
  t->SourceSQL = "stored";
  EXPECT_EQ(t->GetSourceSQL(), "stored");
}

TEST_F(DbObjTest, PostgreSQLViewTextOnOneLine) {
  struct ViewText : TViwData {
    using TViwData::TViwData;
    std::string GetCreateSQL() override {
      return "CREATE VIEW v\r\n AS \r\nselect  a,\n  b\rfrom t";
    }
  };
  Objs().SetServerType(DB::dbPostgreSQL);
  ViewText v(&Objs());
  EXPECT_EQ(v.GetCreateSQLNormalized(), "CREATE VIEW v AS select a, b from t");
  Objs().SetServerType(DB::dbInterBase);
  EXPECT_EQ(v.GetCreateSQLNormalized(), v.GetCreateSQL());
}

class DescriptionTest : public DbObjTest {
 protected:
  template <class T>
  T* Described(DB server, const std::string& name, const std::string& parent = {}) {
    T* obj = Make<T>(server, name, parent);
    obj->SetDescription("it's");
    return obj;
  }
  void Mode(TUpdateDescriptionType m) {
    Objs().IBServerOptions.IBCompareOptions.UpdateDescriptionMode = m;
  }
};

TEST_F(DescriptionTest, InterBaseByMode) {
  using U = TUpdateDescriptionType;
  struct Case {
    const char* label;
    U mode;
    std::function<TDbObj*()> build;
    const char* expected;
  };
  const Case cases[] = {
      {"table, system tables", U::udSysTables,
       [&] { return Described<TTblData>(DB::dbInterBase, "T"); },
       "UPDATE RDB$RELATIONS SET RDB$DESCRIPTION = \r\n'it''s'\r\nWHERE RDB$RELATION_NAME = 'T'"},
      {"name written as a literal, not quoted", U::udSysTables,
       [&] { return Described<TGnrData>(DB::dbInterBase, "Gen"); },
       "UPDATE RDB$GENERATORS SET RDB$DESCRIPTION = \r\n'it''s'\r\nWHERE RDB$GENERATOR_NAME = 'Gen'"},
      {"parameter, system tables", U::udSysTables,
       [&] {
         auto* p = Make<TPrcData>(DB::dbInterBase, "P");
         TFldData* a = AddColumn(p->InParams, p, "A");
         a->SetDescription("it's");
         return a;
       },
       "UPDATE RDB$PROCEDURE_PARAMETERS SET RDB$DESCRIPTION = \r\n'it''s'\r\n"
       "WHERE RDB$PROCEDURE_NAME = 'P' AND RDB$PARAMETER_NAME = 'A'"},
      {"kind without a system table", U::udSysTables,
       [&] {
         auto* c = Make<TCltData>(DB::dbInterBase, "CL");
         c->SetDescription("a */ b");
         return c;
       },
       "/* a * / b */"},
      {"domain, DESCRIBE", U::udDescribe, [&] { return Described<TDmnData>(DB::dbInterBase, "D"); },
       "DESCRIBE DOMAIN D\r\n'it''s'"},
      {"view column, DESCRIBE", U::udDescribe,
       [&] {
         auto* v = Make<TViwData>(DB::dbInterBase, "V");
         TFldData* c = AddColumn(v->Columns, v, "C");
         c->SetDescription("it's");
         return c;
       },
       "DESCRIBE FIELD C VIEW V\r\n'it''s'"},
      {"external function, DESCRIBE", U::udDescribe,
       [&] { return Described<TUdfData>(DB::dbInterBase, "F"); }, "DESCRIBE FUNCTION F\r\n'it''s'"},
      {"function, COMMENT", U::udComment,
       [&] {
         auto* p = Described<TPrcData>(DB::dbInterBase, "F");
         p->IsFunction = true;
         return p;
       },
       "COMMENT ON FUNCTION F IS\r\n'it''s'"},
      {"table column, COMMENT", U::udComment,
       [&] {
         auto* t = Make<TTblData>(DB::dbInterBase, "T");
         TFldData* c = AddColumn(t->Fields, t, "Col");
         c->SetDescription("it's");
         return c;
       },
       "COMMENT ON COLUMN T.\"Col\" IS\r\n'it''s'"},
      {"external function, COMMENT", U::udComment,
       [&] { return Described<TUdfData>(DB::dbInterBase, "F"); },
       "COMMENT ON EXTERNAL FUNCTION F IS\r\n'it''s'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Mode(c.mode);
    EXPECT_EQ(c.build()->GetDescriptionSQL(), c.expected);
  }
}

TEST_F(DescriptionTest, InterBase2020WhateverTheMode) {
  Objs().IBServerOptions.SQLServerVersion = TIBSQLServerVersionType::st_InterBase_2020;
  Mode(TUpdateDescriptionType::udSysTables);
  EXPECT_EQ(Described<TTblData>(DB::dbInterBase, "T")->GetDescriptionSQL(),
            "ALTER DESCRIPTION FOR TABLE T SET\r\n'it''s'");
  auto* t = Make<TTblData>(DB::dbInterBase, "T");
  TFldData* c = AddColumn(t->Fields, t, "C");
  c->SetDescription("x");
  EXPECT_EQ(c->GetDescriptionSQL(), "ALTER DESCRIPTION FOR COLUMN T.C SET\r\n'x'");
  // Functions included, a routine is a PROCEDURE there.
  auto* f = Described<TPrcData>(DB::dbInterBase, "F");
  f->IsFunction = true;
  EXPECT_EQ(f->GetDescriptionSQL(), "ALTER DESCRIPTION FOR PROCEDURE F SET\r\n'it''s'");
  EXPECT_EQ(Described<TUdfData>(DB::dbInterBase, "U")->GetDescriptionSQL(),
            "ALTER DESCRIPTION FOR EXTERNAL FUNCTION U SET\r\n'it''s'");
}

TEST_F(DescriptionTest, OtherDialects) {
  struct Case {
    const char* label;
    std::function<TDbObj*()> build;
    const char* expected;
  };
  // clang-format off
  const Case cases[] = {
      {"ASA table", [&] { return Described<TTblData>(DB::dbSybaseASA, "T"); },
       "COMMENT ON TABLE T IS\r\n'it''s'"},
      {"ASA column", [&] {
         auto* t = Make<TTblData>(DB::dbSybaseASA, "T");
         TFldData* c = AddColumn(t->Fields, t, "C");
         c->SetDescription("x");
         return c;
       },
       "COMMENT ON COLUMN T.C IS\r\n'x'"},
      {"ASA exception has no kind word", [&] { return Described<TExcData>(DB::dbSybaseASA, "E"); }, ""},
      {"MySQL table", [&] { return Described<TTblData>(DB::dbMySQL, "T"); },
       "ALTER TABLE T COMMENT = 'it\\'s'"},
      {"Oracle table", [&] { return Described<TTblData>(DB::dbOracle, "T", "S"); },
       "COMMENT ON TABLE S.T IS\r\n'it''s'"},
      {"Oracle view is commented as a table", [&] { return Described<TViwData>(DB::dbOracle, "V", "S"); },
       "COMMENT ON TABLE S.V IS\r\n'it''s'"},
      // Oracle takes comments on tables, views and columns only.
      {"Oracle domain (a type) has none", [&] { return Described<TDmnData>(DB::dbOracle, "D"); }, ""},
      {"Oracle exception has none", [&] { return Described<TExcData>(DB::dbOracle, "E"); }, ""},
      {"Oracle index has none", [&] { return Described<TIdxData>(DB::dbOracle, "I", "S"); }, ""},
      {"Oracle sequence has none", [&] { return Described<TGnrData>(DB::dbOracle, "G", "S"); }, ""},
      {"Oracle procedure has none", [&] { return Described<TPrcData>(DB::dbOracle, "P", "S"); }, ""},
      {"Oracle role has none", [&] { return Described<TRolData>(DB::dbOracle, "R"); }, ""},
      {"Oracle trigger of a table in a schema has none",
       [&] {
         Objs().SetServerType(DB::dbOracle);
         auto t = std::make_unique<TTblData>(&Objs());
         t->SetName("T");
         t->SetParentName("S");
         Objs().AddObject(t.release(), true);
         auto* trg = Described<TTrgData>(DB::dbOracle, "TR");
         trg->SetTableName("S.T");
         return trg;
       },
       ""},
      {"MS SQL 2000 writes none",
       [&] {
         Objs().MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2000;
         return Described<TTblData>(DB::dbMSSQL, "T", "DBO");
       },
       ""},
      {"MS SQL table",
       [&] {
         Objs().MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2017;
         return Described<TTblData>(DB::dbMSSQL, "T", "DBO");
       },
       "exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'it''s', "
       "@level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'TABLE', @level1name=N'T'"},
      {"MS SQL column, old compatibility level",
       [&] {
         Objs().MSSQLServerOptions.MSSQLDatabaseOptions.CompatibilityLevel = 80;
         auto* t = Make<TTblData>(DB::dbMSSQL, "T", "DBO");
         TFldData* c = AddColumn(t->Fields, t, "C");
         c->SetDescription("x");
         return c;
       },
       "exec dbo.sp_addextendedproperty @name=N'MS_Description', @value=N'x', "
       "@level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'TABLE', @level1name=N'T', "
       "@level2type=N'COLUMN', @level2name=N'C'"},
      {"MS SQL index of a view",
       [&] {
         Objs().MSSQLServerOptions.MSSQLDatabaseOptions.CompatibilityLevel = 0;
         Objs().SetServerType(DB::dbMSSQL);
         auto v = std::make_unique<TViwData>(&Objs());
         v->SetName("V");
         v->SetParentName("DBO");
         Objs().AddObject(v.release(), true);
         auto* i = Described<TIdxData>(DB::dbMSSQL, "IX", "DBO");
         i->TableName = "V";
         return i;
       },
       "exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'it''s', "
       "@level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'VIEW', @level1name=N'V', "
       "@level2type=N'INDEX', @level2name=N'IX'"},
      {"MS SQL trigger of a view",
       [&] {
         Objs().SetServerType(DB::dbMSSQL);
         auto v = std::make_unique<TViwData>(&Objs());
         v->SetName("V");
         v->SetParentName("DBO");
         Objs().AddObject(v.release(), true);
         auto* t = Described<TTrgData>(DB::dbMSSQL, "TR", "DBO");
         t->SetTableName("V");
         return t;
       },
       "exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'it''s', "
       "@level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'VIEW', @level1name=N'V', "
       "@level2type=N'TRIGGER', @level2name=N'TR'"},
      {"MS SQL trigger of a table",
       [&] {
         Objs().SetServerType(DB::dbMSSQL);
         auto* t = Described<TTrgData>(DB::dbMSSQL, "TR", "DBO");
         t->SetTableName("T");
         return t;
       },
       "exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'it''s', "
       "@level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'TABLE', @level1name=N'T', "
       "@level2type=N'TRIGGER', @level2name=N'TR'"},
      {"MS SQL database trigger", [&] { return Described<TTrgData>(DB::dbMSSQL, "TR"); },
       "exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'it''s', "
       "@level0type=N'TRIGGER', @level0name=N'TR'"},
      {"PostgreSQL table", [&] { return Described<TTblData>(DB::dbPostgreSQL, "t", "s"); },
       "COMMENT ON TABLE s.t IS 'it''s'"},
      {"PostgreSQL constraint", [&] {
         auto* c = Described<TCtrData>(DB::dbPostgreSQL, "c", "s");
         c->SetTableName("t");
         return c;
       },
       "COMMENT ON CONSTRAINT c ON s.t IS 'it''s'"},
      {"PostgreSQL trigger without a known table", [&] {
         auto* t = Described<TTrgData>(DB::dbPostgreSQL, "tr", "s");
         t->SetTableName("t");
         return t;
       },
       "COMMENT ON TRIGGER tr ON s.t IS 'it''s'"},
      {"PostgreSQL view column is not described", [&] {
         auto* v = Make<TViwData>(DB::dbPostgreSQL, "v");
         TFldData* c = AddColumn(v->Columns, v, "c");
         c->SetDescription("x");
         return c;
       },
       ""},
      // The words that depend on the object rather than its class.
      {"ASA function", [&] {
         auto* p = Described<TPrcData>(DB::dbSybaseASA, "F");
         p->IsFunction = true;
         return p;
       },
       "COMMENT ON FUNCTION F IS\r\n'it''s'"},
      {"Oracle package has none", [&] { return Described<TPkgData>(DB::dbOracle, "PK"); }, ""},
      {"MS SQL function",
       [&] {
         Objs().MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2017;
         Objs().MSSQLServerOptions.MSSQLDatabaseOptions.CompatibilityLevel = 0;
         auto* p = Described<TPrcData>(DB::dbMSSQL, "F", "DBO");
         p->IsFunction = true;
         return p;
       },
       "exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'it''s', "
       "@level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'FUNCTION', @level1name=N'F'"},
      {"MS SQL parameter of a procedure",
       [&] {
         auto* p = Make<TPrcData>(DB::dbMSSQL, "P", "DBO");
         TFldData* a = AddColumn(p->InParams, p, "@A");
         a->SetDescription("x");
         return a;
       },
       "exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'x', "
       "@level0type=N'SCHEMA', @level0name=N'DBO', @level1type=N'PROCEDURE', @level1name=N'P', "
       "@level2type=N'PARAMETER', @level2name=N'@A'"},
      {"MS SQL XML schema collection",
       [&] {
         auto* d = Described<TDmnData>(DB::dbMSSQL, "X", "DBO");
         d->BaseTypeText = "XML SCHEMA COLLECTION";
         return d;
       },
       "exec sys.sp_addextendedproperty @name=N'MS_Description', @value=N'it''s', "
       "@level0type=N'SCHEMA', @level0name=N'DBO', "
       "@level1type=N'XML SCHEMA COLLECTION', @level1name=N'X'"},
      {"PostgreSQL sequence", [&] { return Described<TGnrData>(DB::dbPostgreSQL, "g", "s"); },
       "COMMENT ON SEQUENCE s.g IS 'it''s'"},
      {"PostgreSQL schema", [&] { return Described<TSchData>(DB::dbPostgreSQL, "s"); },
       "COMMENT ON SCHEMA s IS 'it''s'"},
      {"PostgreSQL operator has no comment word",
       [&] { return Described<TOprData>(DB::dbPostgreSQL, "+", "s"); }, ""},
      {"DB2", [&] { return Described<TTblData>(DB::dbDB2, "T"); }, ""},
      {"ASE", [&] { return Described<TTblData>(DB::dbSybaseASE, "T"); }, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.build()->GetDescriptionSQL(), c.expected);
  }
}

TEST_F(DescriptionTest, FilterAndSuppressionSilenceIt) {
  TTblData* t = Described<TTblData>(DB::dbInterBase, "T");
  ASSERT_FALSE(t->GetDescriptionSQL().empty());
  t->Suppressed = true;
  EXPECT_EQ(t->GetDescriptionSQL(), "");
  t->Suppressed = false;
  Objs().ObjFilter.Exclude(TCmpObjType::coDescription);
  EXPECT_EQ(t->GetDescriptionSQL(), "");
}

}  // namespace
}  // namespace qor
