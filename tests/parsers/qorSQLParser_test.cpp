// The SQL parser base on a small collection: name resolution and dependency
// edges (LinkDepend, LinkDependency, AddColumnRef over the scope stack), the
// linking after parsing (indices, constraints, foreign keys, grants, users),
// the script's connection options, and the raw-text helpers.
#include "parsers/qorSQLParser.h"

#include "model/qorComp_Ctr.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qor {
namespace {

class LinkTest : public ::testing::Test {
 protected:
  explicit LinkTest(TDatabaseType type = TDatabaseType::dbInterBase) : parser(nullptr, type) {
    Objs().SetServerType(type);
    parser.SetObjs(&Objs());
  }

  TObjs& Objs() { return *structure.GetObjs(); }

  template <class T>
  T* Held(const std::string& name, const std::string& parent = {}) {
    auto obj = std::make_unique<T>(&Objs());
    obj->SetName(name);
    if (!parent.empty()) obj->SetParentName(parent);
    T* raw = Objs().AddObject(obj, true);
    EXPECT_NE(raw, nullptr) << name;
    return raw;
  }
  TFldData* Column(TFieldList& list, TDbObj* holder, const std::string& name,
                   const std::string& domain = {}) {
    auto f = std::make_unique<TFldData>(&Objs(), holder);
    f->SetName(name);
    f->DomainName = domain;
    TFldData* raw = f.get();
    list.Add(name, std::move(f));
    return raw;
  }
  TTblData* Table(const std::string& name, std::vector<std::string> columns,
                  const std::string& parent = {}) {
    TTblData* t = Held<TTblData>(name, parent);
    for (const std::string& c : columns) Column(t->Fields, t, c);
    return t;
  }
  TCtrData* Constraint(const std::string& name, std::uint8_t type, const std::string& table,
                       std::vector<std::string> columns, const std::string& refTable = {},
                       std::vector<std::string> refColumns = {}, const std::string& parent = {}) {
    auto c = std::make_unique<TCtrData>(&Objs());
    c->SetName(name);
    if (!parent.empty()) c->SetParentName(parent);
    c->SetConstraintType(type);
    c->SetTableName(table);
    c->SetRefTableName(refTable);
    for (const std::string& n : columns) Column(c->Columns, c.get(), n);
    for (const std::string& n : refColumns) Column(c->RefColumns, c.get(), n);
    TCtrData* raw = Objs().AddObject(c, true);
    EXPECT_NE(raw, nullptr) << name;
    return raw;
  }

  // Each edge of DependsOn as "TARGET" or "TABLE.COLUMN", with "/field"
  // when the edge names a column it could not resolve to an object.
  static std::vector<std::string> Deps(const TDbObj& o) {
    std::vector<std::string> out;
    for (const auto& e : o.DependsOn()) {
      const TDependObj& d = *e.Value;
      std::string s;
      if (auto* f = dynamic_cast<TFldData*>(d.Target))
        s = (f->OwnerObj ? f->OwnerObj->GetName() : std::string("?")) + "." + f->GetName();
      else s = d.Target ? d.Target->GetName() : std::string("(none)");
      if (!d.FieldName.empty()) s += "/" + d.FieldName;
      out.push_back(s);
    }
    return out;
  }

  TDBStructure structure;
  TCustomSQLParser parser;
};

using Strings = std::vector<std::string>;

TEST_F(LinkTest, ViewDependsOnTableColumnAndAllItsDomains) {
  for (const char* d : {"D1", "D2", "D3"}) Held<TDmnData>(d);
  TTblData* t = Held<TTblData>("T");
  Column(t->Fields, t, "A", "D1");
  Column(t->Fields, t, "B", "D2");
  Column(t->Fields, t, "C", "D3");
  Column(t->Fields, t, "E");
  Column(t->Fields, t, "F", "NO_SUCH_DOMAIN");
  TViwData* v = Held<TViwData>("V");

  parser.LinkDependency(v, t, "A");
  EXPECT_EQ(Deps(*v), (Strings{"T.A", "D1", "D2", "D3"}));
  // The column's own list holds the other half.
  ASSERT_EQ(t->FindField("A")->UsedBy().Count(), 1);
  EXPECT_EQ(t->FindField("A")->UsedBy().Object(0)->Target, v);

  parser.LinkDependency(v, t, "A");
  parser.LinkDependency(v, t, "B");
  EXPECT_EQ(Deps(*v), (Strings{"T.A", "D1", "D2", "D3", "T.B"})) << "no edge twice";
  parser.LinkDependency(v, nullptr, "A");
  parser.LinkDependency(nullptr, t, "A");
  EXPECT_EQ(Deps(*v).size(), 5u);
}

TEST_F(LinkTest, LinkDependRespectsKindsSystemNamesAndSelf) {
  Table("ORDERS", {"ID"});
  Table("RDB$RELATIONS", {});
  Table("X", {});
  Held<TViwData>("V_ORD");
  Held<TPrcData>("P");
  Held<TTrgData>("TRG");
  Held<TGnrData>("G");
  Held<TIdxData>("IX");
  Held<TExcData>("E");
  Held<TDmnData>("DOM");
  Held<TUdfData>("UDF");
  Held<TRulData>("X");
  Held<TDefData>("DEF");
  using K = TDbObject;
  struct Case {
    const char* name;
    TDbObjectSet kinds;
    Strings deps;
  };
  const std::vector<Case> cases = {
      {"ORDERS", {K::dboTable}, {"ORDERS"}},
      {"ORDERS", {K::dboView}, {}},
      {"V_ORD", {K::dboTable, K::dboView, K::dboProcedure}, {"V_ORD"}},
      {"P", {K::dboTable, K::dboProcedure}, {"P"}},
      {"TRG", {K::dboTrigger}, {"TRG"}},
      {"G", {K::dboGenerator}, {"G"}},
      {"IX", {K::dboIndex}, {"IX"}},
      {"E", {K::dboException}, {"E"}},
      {"DOM", {K::dboDomain}, {"DOM"}},
      {"UDF", {K::dboFunction}, {"UDF"}},
      {"DEF", {K::dboDefault}, {"DEF"}},
      // A rule of the same name wins, but only when rules are asked for.
      {"X", {K::dboTable}, {"X"}},
      {"X", {K::dboTable, K::dboRule}, {"X"}},
      {"orders", {K::dboTable}, {}},  // InterBase names compare exactly
      {"NOWHERE", TDbObjectSet::All(), {}},
      {"RDB$RELATIONS", {K::dboTable}, {}},  // a system table
      {"rdb$relations", {K::dboTable}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTrgData dependent(&Objs());
    dependent.SetName("DEP");
    parser.LinkDepend(&dependent, c.name, c.kinds);
    EXPECT_EQ(Deps(dependent), c.deps);
  }
  // Which of the two X objects was it?
  TTrgData dep(&Objs());
  parser.LinkDepend(&dep, "X", {K::dboTable, K::dboRule});
  ASSERT_EQ(dep.DependsOn().Count(), 1);
  EXPECT_NE(dynamic_cast<TRulData*>(dep.DependsOn().Object(0)->Target), nullptr);

  // The system-name rule is InterBase's alone.
  TCustomSQLParser other(nullptr, TDatabaseType::dbMySQL);
  other.SetObjs(&Objs());
  TTrgData dep2(&Objs());
  other.LinkDepend(&dep2, "RDB$RELATIONS", {K::dboTable});
  EXPECT_EQ(Deps(dep2), (Strings{"RDB$RELATIONS"}));

  // A procedure never resolves to itself, but may use a table of its name.
  TPrcData* p = Objs().FindProcedure("P");
  Table("P", {});
  parser.LinkDepend(p, "P", {K::dboTable, K::dboProcedure});
  ASSERT_EQ(p->DependsOn().Count(), 1);
  EXPECT_NE(dynamic_cast<TTblData*>(p->DependsOn().Object(0)->Target), nullptr);

  parser.LinkDepend(nullptr, "ORDERS", {K::dboTable});  // nothing, no crash
  TCustomSQLParser unbound(nullptr, TDatabaseType::dbInterBase);
  TTrgData dep3(&Objs());
  unbound.LinkDepend(&dep3, "ORDERS", {K::dboTable});
  EXPECT_EQ(dep3.DependsOn().Count(), 0);
}

TEST_F(LinkTest, ColumnReferencesResolveThroughTheScopeStack) {
  Table("ORDERS", {"ID", "QTY"});
  TViwData* v = Held<TViwData>("V_CUST");
  Column(v->Columns, v, "NAME");
  TPrcData* src = Held<TPrcData>("P_OUT");
  Column(src->OutParams, src, "TOTAL");
  Held<TGnrData>("G1");

  struct Scope {
    std::vector<std::pair<std::string, std::string>> relations;  // name, alias
    bool active;
  };
  struct Case {
    const char* name;
    std::vector<Scope> scopes;  // outermost first
    const char* relation;
    const char* column;
    Strings deps;
  };
  const Scope orders{{{"ORDERS", "O"}}, true};
  const Scope outer{{{"V_CUST", ""}, {"P_OUT", "PO"}}, true};
  const std::vector<Case> cases = {
      {"bare name outside a query", {}, "", "G1", {"G1"}},
      {"bare name, empty active scope", {{{}, true}}, "", "G1", {"G1"}},
      {"alias", {orders}, "O", "QTY", {"ORDERS.QTY"}},
      {"relation name", {orders}, "ORDERS", "ID", {"ORDERS.ID"}},
      {"alias any case", {orders}, "o", "ID", {"ORDERS.ID"}},
      {"unknown alias", {orders}, "Z", "ID", {}},
      {"unqualified, innermost", {outer, orders}, "", "QTY", {"ORDERS.QTY"}},
      {"unqualified, outer level", {outer, orders}, "", "NAME", {"V_CUST.NAME"}},
      {"unqualified output parameter", {outer, orders}, "", "TOTAL", {"P_OUT"}},
      {"alias of an outer level", {outer, orders}, "PO", "TOTAL", {"P_OUT"}},
      {"unqualified, no such column", {outer, orders}, "", "NOPE", {}},
      {"star with alias", {orders}, "O", "*", {"ORDERS"}},
      {"star, every relation of the top level", {orders, outer}, "", "*", {"V_CUST", "P_OUT"}},
      {"inactive top level", {{{{"ORDERS", "O"}}, false}}, "O", "QTY", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const Scope& s : c.scopes) {
      TParseContext& level = parser.PushScope();
      for (const auto& [name, alias] : s.relations) level.AddRelation(name, alias);
      level.Active = s.active;
    }
    TTrgData dependent(&Objs());
    dependent.SetName("DEP");
    parser.AddColumnRef(&dependent, c.relation, c.column);
    EXPECT_EQ(Deps(dependent), c.deps);
    while (parser.ScopeCount() > 0) parser.PopScope();
  }

  // A local variable is never a schema object.
  parser.LocalNames.Add("G1", 0);
  TTrgData dependent(&Objs());
  parser.AddColumnRef(&dependent, "", "g1");
  EXPECT_EQ(dependent.DependsOn().Count(), 0);
}

TEST_F(LinkTest, AfterParseLinksIndicesConstraintsForeignKeysGrantsAndUsers) {
  Table("ORDERS", {"ID", "CUST_ID"});
  Table("CUSTOMERS", {"ID", "CODE"});
  Held<TPrcData>("P");
  TIdxData* ix = Held<TIdxData>("IX_ORD");
  ix->TableName = "ORDERS";
  Column(ix->Columns, ix, "CUST_ID");
  Column(ix->Columns, ix, "NOPE");
  TCtrData* pk = Constraint("PK_CUST", ct::PrimaryKey, "CUSTOMERS", {"ID"});
  Constraint("UQ_CUST", ct::Unique, "CUSTOMERS", {"ID"});
  Constraint("UQ_CODE", ct::Unique, "CUSTOMERS", {"CODE"});
  TCtrData* fk = Constraint("FK_ORD", ct::ForeignKey, "ORDERS", {"CUST_ID"}, "CUSTOMERS", {"ID"});

  auto role = std::make_unique<TRolData>(&Objs());
  role->SetName("R1");
  Objs().AddObject(role, true);
  auto user = std::make_unique<TRolData>(&Objs());
  user->SetName("U1");
  user->RoleKind = rk::User;
  user->LoginName = "L1";
  TRolData* u = Objs().AddObject(user, true);
  auto login = std::make_unique<TRolData>(&Objs());
  login->SetName("L1");
  login->RoleKind = rk::Login;
  Objs().AddObject(login, true);

  auto grant = [&](TPrivilege pr, const char* object, TDbObject objectKind, const char* grantee,
                   TDbObject granteeKind) {
    auto g = std::make_unique<TGntData>(&Objs());
    g->Privileges.Include(pr);
    g->ObjectName = object;
    g->ObjectKind = objectKind;
    g->Grantee = grantee;
    g->GranteeKind = granteeKind;
    TGntData* raw = Objs().AddGrant(g);
    EXPECT_NE(raw, nullptr);
    return raw;
  };
  TGntData* g1 =
      grant(TPrivilege::prSelect, "ORDERS", TDbObject::dboTable, "R1", TDbObject::dboRole);
  TGntData* g2 =
      grant(TPrivilege::prExecute, "P", TDbObject::dboProcedure, "U1", TDbObject::dboUser);
  // A table is never a grantee; an unknown object links nothing.
  TGntData* g3 =
      grant(TPrivilege::prSelect, "NOPE", TDbObject::dboView, "ORDERS", TDbObject::dboTable);

  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run == 0 ? "first run" : "second run adds nothing");
    parser.AfterParse();
    EXPECT_EQ(Deps(*ix), (Strings{"ORDERS", "ORDERS.CUST_ID"}));
    EXPECT_EQ(Deps(*pk), (Strings{"CUSTOMERS", "CUSTOMERS.ID"}));
    // Both keys on the referenced columns, not the one on another column.
    EXPECT_EQ(Deps(*fk), (Strings{"ORDERS", "ORDERS.CUST_ID", "CUSTOMERS", "CUSTOMERS.ID",
                                  "PK_CUST", "UQ_CUST"}));
    EXPECT_EQ(Deps(*g1), (Strings{"ORDERS", "R1"}));
    EXPECT_EQ(Deps(*g2), (Strings{"P", "U1"}));
    EXPECT_EQ(Deps(*g3), Strings{});
    EXPECT_EQ(Deps(*u), (Strings{"L1"}));
  }
}

class MSSQLLinkTest : public LinkTest {
 protected:
  MSSQLLinkTest() : LinkTest(TDatabaseType::dbMSSQL) {}
};

// Table keys carry the schema there; references without one use the
// constraint's own schema.
TEST_F(MSSQLLinkTest, AfterParseQualifiesTablesBySchema) {
  Table("ORDERS", {"ID", "CUST_ID"}, "dbo");
  Table("CUSTOMERS", {"ID"}, "sales");
  Table("CUSTOMERS", {"ID"}, "dbo");
  auto ix = std::make_unique<TIdxData>(&Objs());
  ix->SetName("IX_ORD");
  ix->SetParentName("dbo");
  ix->TableName = "ORDERS";
  Column(ix->Columns, ix.get(), "CUST_ID");
  TIdxData* idx = Objs().AddObject(ix, true);
  ASSERT_NE(idx, nullptr);

  TCtrData* own =
      Constraint("FK_OWN", ct::ForeignKey, "ORDERS", {"CUST_ID"}, "CUSTOMERS", {"ID"}, "dbo");
  TCtrData* other =
      Constraint("FK_OTHER", ct::ForeignKey, "ORDERS", {"CUST_ID"}, "CUSTOMERS", {"ID"}, "dbo");
  other->SetRefSchemaName("sales");
  parser.AfterParse();
  EXPECT_EQ(Deps(*idx), (Strings{"ORDERS", "ORDERS.CUST_ID"}));
  ASSERT_EQ(own->DependsOn().Count(), 4);
  EXPECT_EQ(own->DependsOn().Object(2)->Target->GetParentName(), "DBO");
  ASSERT_EQ(other->DependsOn().Count(), 4);
  EXPECT_EQ(other->DependsOn().Object(2)->Target->GetParentName(), "SALES");
}

// Stands for a dialect whose CONNECT statement fills the options.
struct ConnectParser : TCustomSQLParser {
  ConnectParser() : TCustomSQLParser(nullptr, TDatabaseType::dbInterBase) {}
  void ParseText() override {
    for (NextToken(); TokenKind() != tk::EOFKind; NextToken())
      if (IsWord("CONNECT")) {
        NextToken();
        ConnectionOptions.DatabaseName = TokenText();
      }
  }
};

TEST(SQLParserScript, ConnectionOptionsSetByTheScriptOnly) {
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  objs.ConnectionOptions.HostName = "srv";
  objs.ConnectionOptions.DatabaseName = "old.fdb";
  const std::string user = objs.ConnectionOptions.UserName;
  ConnectParser p;
  p.ParseScript({"select 1;"}, &objs);
  EXPECT_EQ(objs.ConnectionOptions.DatabaseName, "old.fdb") << "a script without CONNECT";
  p.ParseScript({"connect 'new.fdb';"}, &objs);
  EXPECT_EQ(objs.ConnectionOptions.DatabaseName, "new.fdb");
  EXPECT_EQ(objs.ConnectionOptions.HostName, "srv");
  EXPECT_EQ(objs.ConnectionOptions.UserName, user);
}

TEST(SQLParserText, ReadUntil) {
  struct Case {
    std::string text;
    std::vector<std::string_view> stops;
    bool found;
    std::string read;
    char cur;
  };
  const std::vector<Case> cases = {
      {"body ; end $$ rest", {"$$"}, true, "body ; end ", '$'},
      {"x end y", {"END"}, true, "x ", 'e'},
      {"a\r\n/* c */\r\n/\r\nz", {"\r\n/"}, true, "a\r\n/* c */", '\r'},
      {"no stop here", {"//", ""}, false, "no stop here", '\0'},
      {"", {"x"}, false, "", '\0'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    TCustomSQLParser p(nullptr, TDatabaseType::dbMySQL);
    p.SetSource(c.text);
    std::string read;
    EXPECT_EQ(p.ReadUntil(read, c.stops), c.found);
    EXPECT_EQ(read, c.read);
    EXPECT_EQ(p.CurChar(), c.cur);
  }
}

TEST(SQLParserText, SkipToTextFromAndQualifyName) {
  TCustomSQLParser p(nullptr);
  p.SetSource("create  view v as select 1 ; next");
  p.NextToken();
  const std::size_t start = p.TokenStart();
  p.SkipTo(KindSet({tk::Terminator}));
  EXPECT_EQ(p.TokenKind(), tk::Terminator);
  p.SkipTo(KindSet({tk::Terminator}));
  EXPECT_EQ(p.TokenKind(), tk::Terminator) << "already there";
  EXPECT_EQ(p.TextFrom(start), "create  view v as select 1");
  p.SkipTo(KindSet({tk::Comma}));
  EXPECT_EQ(p.TokenKind(), tk::EOFKind);

  struct Case {
    TDatabaseType type;
    const char* owner;
    bool useDefault;
    const char* result;
  };
  const Case cases[] = {
      {TDatabaseType::dbMSSQL, "", true, "dbo.T"},
      {TDatabaseType::dbSybaseASE, "", true, "dbo.T"},
      {TDatabaseType::dbSybaseASA, "", true, "DBA.T"},
      {TDatabaseType::dbPostgreSQL, "", true, "public.T"},
      {TDatabaseType::dbInterBase, "", true, "T"},
      {TDatabaseType::dbMSSQL, "", false, "T"},
      {TDatabaseType::dbMSSQL, "sales", true, "sales.T"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    TCustomSQLParser q(nullptr, c.type);
    EXPECT_EQ(q.QualifyName("T", c.owner, c.useDefault), c.result);
  }
}

// The statement-list rule the dialects' blocks and bodies share: a round
// that reads nothing still moves the list on, and the list stops where its
// end test or the round says.
TEST(SQLParserText, StatementListMovesOnAndStopsWhereTold) {
  struct Case {
    const char* name;
    const char* text;
    int reads;      // tokens a round reads: 0 (a rule that reads nothing) or 1
    int stopAt;     // the round that says stop (1-based); 0 for none
    int rounds;     // rounds run
    TTokenKind at;  // the token current afterwards
  };
  const Case cases[] = {
      {"a round that reads nothing passes the token", "a b c", 0, 0, 3, tk::EOFKind},
      {"a round that reads a token is not passed again", "a b c", 1, 0, 3, tk::EOFKind},
      {"the end test stops before the terminator", "a b ; c", 0, 0, 2, tk::Terminator},
      {"a round says stop", "a b c", 1, 2, 2, tk::Ident},
      {"an empty list runs no round", "; a", 0, 0, 0, tk::Terminator},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TCustomSQLParser p(nullptr);
    p.SetSource(c.text);
    p.NextToken();
    int rounds = 0;
    p.ParseStatementList(
        [&] { return p.TokenKind() == tk::EOFKind || p.TokenKind() == tk::Terminator; },
        [&] {
          ++rounds;
          if (rounds == c.stopAt) return false;
          for (int i = 0; i < c.reads; ++i) p.NextToken();
          return true;
        });
    EXPECT_EQ(rounds, c.rounds);
    EXPECT_EQ(p.TokenKind(), c.at);
  }
}

TEST(SQLParserText, CommentTextCannotEndEarly) {
  TCustomSQLParser p(nullptr);
  const std::string c = p.CommentText("a */ drop table t; /* b");
  EXPECT_EQ(c.find("*/"), c.size() - 2) << c;
  EXPECT_EQ(c.rfind("/* ", 0), 0u);
}

}  // namespace
}  // namespace qor
