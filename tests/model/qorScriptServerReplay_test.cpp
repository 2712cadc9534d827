// The whole script and the single-table script of an every-kind fixture,
// built the way the engine's own catalog holds it (PostgreSQL: lower-case
// names in a schema; MariaDB: the tables of one database), replayed on the
// suite's PostgreSQL and MariaDB servers through psql and mariadb: no
// statement may be refused, and the catalog must then hold every object,
// with its column types, identities, key and foreign key actions, checks,
// privileges (with their columns) and comments.
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/support/qorModelBuilder.h"
#include "tests/support/qorServerReplay.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qor::test {
namespace {

using DB = TDatabaseType;
using K = TDbObject;
using P = TPrivilege;

// The shop schema both servers replay, each in the forms its own catalog
// holds (PostgreSQL: lower-case names in a schema, identities, a domain,
// a sequence and a trigger function; MariaDB: the tables of one database,
// auto-increment columns, an OUT parameter).
struct TShop {
  TTblData* customers = nullptr;
  TTblData* orders = nullptr;
  TPrcData* touch = nullptr;
};

TShop BuildShop(TObjs& o, DB type, const std::string& database, const std::string& role,
                const std::string& user) {
  const bool pg = type == DB::dbPostgreSQL;
  o.Clear();
  o.SetServerType(type);
  o.ConnectionOptions.DatabaseName = database;
  TModelBuilder b(o);
  TShop shop;
  const std::string s = pg ? "shop" : "";
  if (pg) {
    b.Add<TSchData>(s, "");
    auto* email = b.AddDescribed<TDmnData>("d_email", s, "An e-mail address");
    email->TypeHolder->DataType = dt::VARCHAR;
    email->TypeHolder->Length = 80;
    email->TypeHolder->CheckText = "(VALUE LIKE '%@%')";
  }
  // PostgreSQL: one identity by default, one always; MariaDB: auto-increment.
  auto counted = [pg](TFldData* f, char kind) {
    f->Nullable = false;
    if (pg) {
      f->Identity = true;
      f->GeneratedKind = kind;
    } else {
      f->AutoIncrement = true;
    }
  };

  TTblData* customers = shop.customers = b.AddDescribed<TTblData>("customers", s, "Who buys");
  if (pg) customers->OwnerQualifier = QOR_PG_USER;
  counted(b.Column(customers, "id", dt::BIGINT), 'D');
  b.Column(customers, "name", dt::VARCHAR, 40)->Nullable = false;
  TFldData* mail = pg ? b.Column(customers, "email", dt::UserType)
                      : b.Column(customers, "email", dt::VARCHAR, 80);
  if (pg) mail->DomainName = "d_email";
  mail->SetDescription("Where invoices go");
  b.Column(customers, "created", pg ? dt::TIMESTAMP : dt::DATETIME)->DefaultValue =
      "CURRENT_TIMESTAMP";

  const std::uint8_t numeric = pg ? dt::NUMERIC : dt::DECIMAL;
  TTblData* orders = shop.orders = b.Add<TTblData>("orders", s);
  counted(b.Column(orders, "id", dt::INTEGER), 'A');
  b.Column(orders, "customer_id", dt::BIGINT)->Nullable = false;
  TFldData* amount = b.Column(orders, "amount", numeric);
  amount->Precision = 12;
  amount->Scale = 2;
  amount->DefaultValue = "0";
  b.Column(orders, "note", dt::VARCHAR, 200);

  // MariaDB names every primary key PRIMARY; the collection keys
  // constraints by name alone, so the fixture names them apart.
  b.Constraint("pk_customers", s, "customers", ct::PrimaryKey, {"id"});
  b.Constraint("uq_customers_email", s, "customers", ct::Unique, {"email"});
  b.Constraint("pk_orders", s, "orders", ct::PrimaryKey, {"id"});
  TCtrData* fk = b.Constraint("fk_orders_customer", s, "orders", ct::ForeignKey, {"customer_id"});
  fk->SetRefTableName("customers");
  fk->RefColumns.Add("id", nullptr);
  fk->DeleteRule = 2;  // cascade
  fk->UpdateRule = 1;  // restrict
  b.Constraint("ck_orders_amount", s, "orders", ct::Check, {})->SetText("(amount >= 0)");

  auto* ix = pg ? b.AddDescribed<TIdxData>("ix_orders_customer", s, "Orders by customer")
                : b.AddDescribed<TIdxData>("ix_orders_note", s, "Orders by note");
  ix->TableName = "orders";
  ix->Columns.Add(pg ? "customer_id" : "note", nullptr);

  if (pg) {
    auto* seq = b.AddDescribed<TGnrData>("invoice_no", s, "Invoice numbers");
    seq->StartWith = "1000";
    seq->IncrementBy = "1";
  }

  auto* view = pg ? b.AddDescribed<TViwData>("v_big_orders", s, "Orders worth a look")
                  : b.Add<TViwData>("v_big_orders", s);
  b.Field(view->Columns, view, "id", dt::INTEGER);
  b.Field(view->Columns, view, "amount", numeric);
  view->SetText(pg ? " SELECT id, amount FROM shop.orders WHERE amount > 100"
                   : "select id, amount from orders where amount > 100");

  auto* twice = b.AddDescribed<TPrcData>("f_twice", s, "Twice the value");
  twice->IsFunction = true;
  b.Field(twice->InParams, twice, "x", dt::INTEGER);
  b.Field(twice->OutParams, twice, "", dt::INTEGER);

  TPrcData* touch = shop.touch =
      b.AddDescribed<TPrcData>("p_touch", s, "Marks the orders of a customer");
  b.Field(touch->InParams, touch, "cust", dt::BIGINT);

  auto* trg = pg ? b.AddDescribed<TTrgData>("orders_bi", s, "Fills the note")
                 : b.Add<TTrgData>("orders_bi", s);
  trg->SetTableName("orders");
  trg->Timing = 1;  // before
  trg->Events = 2;  // insert
  trg->ForEachRow = true;

  if (pg) {
    twice->Language = "plpgsql";
    twice->SetText("\nBEGIN\n  RETURN x * 2;\nEND\n");
    touch->Language = "plpgsql";
    touch->OwnerQualifier = QOR_PG_USER;
    touch->SetText(
        "\nBEGIN\n  UPDATE shop.orders SET note = 'seen' WHERE customer_id = cust;\nEND\n");
    auto* fn = b.Add<TPrcData>("t_orders_bi", s);
    fn->IsFunction = true;
    fn->Language = "plpgsql";
    fn->ReturnsText = "trigger";
    fn->SetText("\nBEGIN\n  NEW.note := coalesce(NEW.note, '');\n  RETURN NEW;\nEND\n");
    trg->SetText("  EXECUTE FUNCTION shop.t_orders_bi()");
  } else {
    twice->SetText("BEGIN\n  RETURN x * 2;\nEND");
    // An output as other dialects keep it: an OUT parameter in MySQL.
    b.Field(touch->OutParams, touch, "touched", dt::INTEGER);
    touch->SetText(
        "BEGIN\n  UPDATE orders SET note = 'seen' WHERE customer_id = cust;\n"
        "  SET touched = ROW_COUNT();\nEND");
    trg->SetText("BEGIN\n  SET NEW.note = coalesce(NEW.note, '');\nEND");
  }

  b.Add<TRolData>(role, "");
  b.Grant({role, K::dboRole, "orders", K::dboTable, {P::prSelect, P::prInsert}});
  b.Grant({role, K::dboRole, "orders", K::dboTable, {P::prUpdate}, 0, {"note"}});
  b.Grant({role, K::dboRole, "f_twice", K::dboFunction, {P::prExecute}});
  b.Grant({role, K::dboRole, "p_touch", K::dboProcedure, {P::prExecute}});
  b.Grant({user, K::dboUser, role, K::dboRole, {}});
  o.RekeyGrants();
  return shop;
}

class ServerScript : public ::testing::Test {
 protected:
  TObjs& Objs() { return *structure.GetObjs(); }

  std::string WholeScript() {
    std::vector<std::string> lines;
    Objs().GetScript(lines);
    return JoinLines(lines, "\n");
  }
  std::string TableScript(TTblData* table) {
    std::vector<std::string> lines;
    Objs().GenerateTableScript(lines, table->GetKeyName(), /*withHeader=*/true,
                               TCmpObjSetType::All());
    return JoinLines(lines, "\n");
  }

  // Every row the query reads must be one of `want`, and all of them there.
  static void ExpectRows(TServerReplayDatabase& db, const std::string& what, const std::string& sql,
                         const TCatalogRows& want) {
    std::string error;
    const TCatalogRows got = db.Query(sql, &error);
    ASSERT_TRUE(error.empty()) << what << ": " << error;
    EXPECT_EQ(got, want) << what;
  }

  // The shop built for `db`, with a role and a user of this run's own; the
  // user is made on the server first (`createUser`, its name in place of
  // "%s"), since a grant to a user the server lacks fails.
  void Build(TServerReplayDatabase& db, DB type, std::string createUser) {
    role = "clerk" + db.Suffix();
    user = "cashier" + db.Suffix();
    db.DropRoleAfter(role);
    db.DropUserAfter(user);
    createUser.replace(createUser.find("%s"), 2, user);
    ASSERT_TRUE(db.Execute(createUser)) << db.Error();
    shop = BuildShop(Objs(), type, db.Name(), role, user);
  }

  // The whole script replayed, the orders table dropped by `dropOrders`,
  // then the single-table script of the orders run alone.
  TServerReplayResult ReplayOrdersAlone(TServerReplayDatabase& db, const std::string& dropOrders) {
    const std::string table = TableScript(shop.orders);
    EXPECT_TRUE(db.Run(WholeScript()).Ok());
    EXPECT_TRUE(db.Execute(dropOrders)) << db.Error();
    TServerReplayResult r = db.Run(table);
    EXPECT_TRUE(r.Ran) << r.Errors;
    EXPECT_TRUE(r.Failures.empty()) << r.Report() << "\n---\n" << table;
    return r;
  }

  TDBStructure structure;
  TShop shop;
  std::string role, user;
};

// ------------------------------------------------------------- PostgreSQL

class PostgresScript : public ServerScript {
 protected:
  void ExpectCatalog() {
    ExpectRows(
        db, "columns",
        "select table_name, column_name, data_type, coalesce(character_maximum_length::text, "
        "case when data_type = 'numeric' then numeric_precision || ',' || numeric_scale end, "
        "''), coalesce(domain_name, ''), is_nullable, is_identity, "
        "coalesce(identity_generation, ''), coalesce(column_default, '') "
        "from information_schema.columns where table_schema = 'shop' "
        "order by 1, ordinal_position",
        {{"customers", "id", "bigint", "", "", "NO", "YES", "BY DEFAULT", ""},
         {"customers", "name", "character varying", "40", "", "NO", "NO", "", ""},
         {"customers", "email", "character varying", "80", "d_email", "YES", "NO", "", ""},
         {"customers", "created", "timestamp without time zone", "", "", "YES", "NO", "",
          "CURRENT_TIMESTAMP"},
         {"orders", "id", "integer", "", "", "NO", "YES", "ALWAYS", ""},
         {"orders", "customer_id", "bigint", "", "", "NO", "NO", "", ""},
         {"orders", "amount", "numeric", "12,2", "", "YES", "NO", "", "0"},
         {"orders", "note", "character varying", "200", "", "YES", "NO", "", ""},
         {"v_big_orders", "id", "integer", "", "", "YES", "NO", "", ""},
         {"v_big_orders", "amount", "numeric", "12,2", "", "YES", "NO", "", ""}});
    ExpectRows(db, "constraints",
               "select conname, contype, confdeltype, confupdtype from pg_constraint c "
               "join pg_namespace n on n.oid = c.connamespace where nspname = 'shop' order by 1",
               {{"ck_orders_amount", "c", " ", " "},
                {"d_email_check", "c", " ", " "},
                {"fk_orders_customer", "f", "c", "r"},
                {"pk_customers", "p", " ", " "},
                {"pk_orders", "p", " ", " "},
                {"uq_customers_email", "u", " ", " "}});
    ExpectRows(db, "relations and their comments",
               "select c.relname, c.relkind, coalesce(obj_description(c.oid, 'pg_class'), '') "
               "from pg_class c join pg_namespace n on n.oid = c.relnamespace "
               "where nspname = 'shop' and c.relkind in ('r', 'v', 'S') or "
               "nspname = 'shop' and c.relname = 'ix_orders_customer' order by 1",
               {{"customers", "r", "Who buys"},
                {"customers_id_seq", "S", ""},  // the identities' own
                {"invoice_no", "S", "Invoice numbers"},
                {"ix_orders_customer", "i", "Orders by customer"},
                {"orders", "r", ""},
                {"orders_id_seq", "S", ""},
                {"v_big_orders", "v", "Orders worth a look"}});
    ExpectRows(db, "index, check and trigger definitions",
               "select pg_get_indexdef('shop.ix_orders_customer'::regclass) union all "
               "select pg_get_constraintdef(oid) from pg_constraint where conname = "
               "'ck_orders_amount' union all select pg_get_triggerdef(oid) from pg_trigger "
               "where tgname = 'orders_bi'",
               {{"CREATE INDEX ix_orders_customer ON shop.orders USING btree (customer_id)"},
                {"CHECK ((amount >= (0)::numeric))"},
                {"CREATE TRIGGER orders_bi BEFORE INSERT ON shop.orders FOR EACH ROW EXECUTE "
                 "FUNCTION shop.t_orders_bi()"}});
    ExpectRows(db, "sequence",
               "select start_value from pg_sequences where sequencename = 'invoice_no'",
               {{"1000"}});
    ExpectRows(db, "routines",
               "select p.proname, p.prokind, coalesce(obj_description(p.oid, 'pg_proc'), ''), "
               "pg_get_userbyid(p.proowner) from pg_proc p join pg_namespace n "
               "on n.oid = p.pronamespace where nspname = 'shop' order by 1",
               {{"f_twice", "f", "Twice the value", QOR_PG_USER},
                {"p_touch", "p", "Marks the orders of a customer", QOR_PG_USER},
                {"t_orders_bi", "f", "", QOR_PG_USER}});
    ExpectRows(db, "trigger",
               "select tgname, coalesce(obj_description(oid, 'pg_trigger'), '') from pg_trigger "
               "where not tgisinternal",
               {{"orders_bi", "Fills the note"}});
    ExpectRows(db, "comments on a column and a domain",
               "select col_description('shop.customers'::regclass, 3), "
               "obj_description(t.oid, 'pg_type') from pg_type t where typname = 'd_email'",
               {{"Where invoices go", "An e-mail address"}});
    ExpectRows(db, "table privileges",
               "select table_name, privilege_type from information_schema.table_privileges "
               "where grantee = '" +
                   role + "' order by 1, 2",
               {{"orders", "INSERT"}, {"orders", "SELECT"}});
    ExpectRows(db, "column privileges",
               "select table_name, column_name, privilege_type from "
               "information_schema.column_privileges where grantee = '" +
                   role + "' and privilege_type = 'UPDATE' order by 1, 2",
               {{"orders", "note", "UPDATE"}});
    ExpectRows(db, "routine privileges",
               "select routine_name from information_schema.routine_privileges where grantee = '" +
                   role + "' order by 1",
               {{"f_twice"}, {"p_touch"}});
    ExpectRows(db, "membership", "select pg_has_role('" + user + "', '" + role + "', 'member')",
               {{"t"}});
  }

  TPostgresReplayDatabase db;
};

TEST_F(PostgresScript, EveryKindReplaysAndTheCatalogHoldsIt) {
  ASSERT_TRUE(db.Ready()) << db.Error();
  ASSERT_NO_FATAL_FAILURE(Build(db, DB::dbPostgreSQL, "create role %s login"));
  const std::string script = WholeScript();
  const TServerReplayResult r = db.Run(script);
  ASSERT_TRUE(r.Ran) << r.Errors;
  EXPECT_TRUE(r.Failures.empty()) << r.Report() << "\n---\n" << script;
  EXPECT_TRUE(r.Warnings.empty()) << r.Report();
  ExpectCatalog();
}

TEST_F(PostgresScript, OneTableReplaysBesideTheRest) {
  ASSERT_TRUE(db.Ready()) << db.Error();
  ASSERT_NO_FATAL_FAILURE(Build(db, DB::dbPostgreSQL, "create role %s login"));
  if (!ReplayOrdersAlone(db, "drop table shop.orders cascade").Ok()) return;
  ExpectRows(db, "the table's own objects",
             "select conname from pg_constraint where conrelid = 'shop.orders'::regclass "
             "union all select relname from pg_class where relname = 'ix_orders_customer' "
             "union all select tgname from pg_trigger where tgrelid = 'shop.orders'::regclass "
             "and not tgisinternal order by 1",
             {{"ck_orders_amount"},
              {"fk_orders_customer"},
              {"ix_orders_customer"},
              {"orders_bi"},
              {"pk_orders"}});
  ExpectRows(db, "the table's identity and defaults",
             "select column_name, is_identity, coalesce(identity_generation, ''), "
             "coalesce(column_default, '') from information_schema.columns where table_schema = "
             "'shop' and table_name = 'orders' order by ordinal_position",
             {{"id", "YES", "ALWAYS", ""},
              {"customer_id", "NO", "", ""},
              {"amount", "NO", "", "0"},
              {"note", "NO", "", ""}});
}

// A trigger, a default and a check whose texts end in a line comment, as a
// hand-written script leaves them: the ";" after the trigger and what
// follows the default on its line must not fall into the comment, in the
// whole script and the table's own.
TEST_F(PostgresScript, TextsEndingInLineCommentsReplay) {
  ASSERT_TRUE(db.Ready()) << db.Error();
  ASSERT_NO_FATAL_FAILURE(Build(db, DB::dbPostgreSQL, "create role %s login"));
  for (auto& e : Objs().Triggers) e.Value->SetText(e.Value->GetText() + " -- fills the note");
  shop.orders->FindField("amount")->DefaultValue = "0 -- none yet";
  for (auto& e : Objs().Constraints)
    if (e.Value->GetConstraintType() == ct::Check)
      e.Value->SetText(e.Value->GetText() + " -- never below");
  if (!ReplayOrdersAlone(db, "drop table shop.orders cascade").Ok()) return;
  ExpectRows(db, "the trigger and the default",
             "select tgname from pg_trigger where tgrelid = 'shop.orders'::regclass and not "
             "tgisinternal union all select column_default from information_schema.columns "
             "where table_schema = 'shop' and table_name = 'orders' and column_name = 'amount'",
             {{"orders_bi"}, {"0"}});
}

// ---------------------------------------------------------------- MariaDB

class MariaDbScript : public ServerScript {
 protected:
  void ExpectCatalog() {
    const std::string here = "table_schema = database()";
    ExpectRows(db, "columns",
               "select table_name, column_name, column_type, is_nullable, extra, column_comment, "
               "coalesce(column_default, '') from information_schema.columns where " +
                   here + " order by 1, ordinal_position",
               {{"customers", "id", "bigint(20)", "NO", "auto_increment", "", ""},
                {"customers", "name", "varchar(40)", "NO", "", "", ""},
                {"customers", "email", "varchar(80)", "YES", "", "Where invoices go", "NULL"},
                {"customers", "created", "datetime", "YES", "", "", "current_timestamp()"},
                {"orders", "id", "int(11)", "NO", "auto_increment", "", ""},
                {"orders", "customer_id", "bigint(20)", "NO", "", "", ""},
                {"orders", "amount", "decimal(12,2)", "YES", "", "", "0.00"},
                {"orders", "note", "varchar(200)", "YES", "", "", "NULL"},
                {"v_big_orders", "id", "int(11)", "NO", "", "", "0"},
                {"v_big_orders", "amount", "decimal(12,2)", "YES", "", "", "0.00"}});
    ExpectRows(db, "tables",
               "select table_name, table_type, table_comment from information_schema.tables "
               "where " +
                   here + " order by 1",
               {{"customers", "BASE TABLE", "Who buys"},
                {"orders", "BASE TABLE", ""},
                {"v_big_orders", "VIEW", "VIEW"}});
    ExpectRows(db, "constraints",
               "select table_name, constraint_name, constraint_type from "
               "information_schema.table_constraints where constraint_schema = database() "
               "order by 1, 2",
               {{"customers", "PRIMARY", "PRIMARY KEY"},
                {"customers", "uq_customers_email", "UNIQUE"},
                {"orders", "ck_orders_amount", "CHECK"},
                {"orders", "fk_orders_customer", "FOREIGN KEY"},
                {"orders", "PRIMARY", "PRIMARY KEY"}});
    ExpectRows(db, "foreign key actions",
               "select constraint_name, update_rule, delete_rule from "
               "information_schema.referential_constraints where constraint_schema = database()",
               {{"fk_orders_customer", "RESTRICT", "CASCADE"}});
    ExpectRows(db, "indexes",
               "select table_name, index_name, column_name, index_comment from "
               "information_schema.statistics where " +
                   here + " and index_name like 'ix%'",
               {{"orders", "ix_orders_note", "note", "Orders by note"}});
    ExpectRows(
        db, "routines",
        "select routine_name, routine_type, routine_comment from information_schema.routines "
        "where routine_schema = database() order by 1",
        {{"f_twice", "FUNCTION", "Twice the value"},
         {"p_touch", "PROCEDURE", "Marks the orders of a customer"}});
    ExpectRows(
        db, "procedure parameters",
        "select parameter_mode, parameter_name, data_type from information_schema.parameters "
        "where specific_schema = database() and specific_name = 'p_touch' order by "
        "ordinal_position",
        {{"IN", "cust", "bigint"}, {"OUT", "touched", "int"}});
    ExpectRows(db, "trigger",
               "select trigger_name, action_timing, event_manipulation from "
               "information_schema.triggers where trigger_schema = database()",
               {{"orders_bi", "BEFORE", "INSERT"}});
    const std::string grantee = "grantee = \"'" + role + "'@''\"";
    ExpectRows(db, "table privileges",
               "select table_name, privilege_type from information_schema.table_privileges where " +
                   grantee + " order by 1, 2",
               {{"orders", "INSERT"}, {"orders", "SELECT"}});
    ExpectRows(db, "column privileges",
               "select table_name, column_name, privilege_type from "
               "information_schema.column_privileges where " +
                   grantee,
               {{"orders", "note", "UPDATE"}});
    ExpectRows(db, "routine privileges",
               "select routine_name, routine_type from mysql.procs_priv where user = '" + role +
                   "' order by 1",
               {{"f_twice", "FUNCTION"}, {"p_touch", "PROCEDURE"}});
    ExpectRows(db, "membership", "select role from mysql.roles_mapping where user = '" + user + "'",
               {{role}});
  }

  TMariaDbReplayDatabase db;
};

TEST_F(MariaDbScript, EveryKindReplaysAndTheCatalogHoldsIt) {
  ASSERT_TRUE(db.Ready()) << db.Error();
  ASSERT_NO_FATAL_FAILURE(Build(db, DB::dbMySQL, "create user %s"));
  const std::string script = WholeScript();
  const TServerReplayResult r = db.Run(script);
  ASSERT_TRUE(r.Ran) << r.Errors;
  EXPECT_TRUE(r.Failures.empty()) << r.Report() << "\n---\n" << script;
  // The server names every primary key PRIMARY and says so (1280);
  // nothing else may draw a warning.
  for (const std::string& w : r.Warnings) EXPECT_NE(w.find("(Code 1280)"), std::string::npos) << w;
  ExpectCatalog();
}

TEST_F(MariaDbScript, OneTableReplaysBesideTheRest) {
  ASSERT_TRUE(db.Ready()) << db.Error();
  ASSERT_NO_FATAL_FAILURE(Build(db, DB::dbMySQL, "create user %s"));
  if (!ReplayOrdersAlone(db, "drop table orders").Ok()) return;
  ExpectRows(db, "the table's own objects",
             "select constraint_name from information_schema.table_constraints where "
             "constraint_schema = database() and table_name = 'orders' union all "
             "select index_comment from information_schema.statistics where table_schema = "
             "database() and index_name = 'ix_orders_note' union all select trigger_name from "
             "information_schema.triggers where trigger_schema = database() order by 1",
             {{"ck_orders_amount"},
              {"fk_orders_customer"},
              {"Orders by note"},
              {"orders_bi"},
              {"PRIMARY"}});
  ExpectRows(db, "the table's auto-increment and defaults",
             "select column_name, extra, coalesce(column_default, '') from "
             "information_schema.columns where table_schema = database() and table_name = "
             "'orders' order by ordinal_position",
             {{"id", "auto_increment", ""},
              {"customer_id", "", ""},
              {"amount", "", "0.00"},
              {"note", "", "NULL"}});
}

// Names the client would split or misread unless quoted come back as
// they are.
TEST_F(MariaDbScript, OddNamesReplayAsTheyAre) {
  ASSERT_TRUE(db.Ready()) << db.Error();
  TObjs& o = Objs();
  o.SetServerType(DB::dbMySQL);
  o.ConnectionOptions.DatabaseName = db.Name();
  TModelBuilder b(o);
  const std::vector<std::string> names = {"MY COL", "A-B", "1E5", "ORDER", "A.B", "X$1", "lower"};
  TTblData* t = b.Add<TTblData>("ODD TABLE", "");
  for (const std::string& n : names) b.Column(t, n, dt::INTEGER);
  const TServerReplayResult r = db.Run(WholeScript());
  ASSERT_TRUE(r.Ran) << r.Errors;
  EXPECT_TRUE(r.Failures.empty()) << r.Report();
  TCatalogRows want;
  for (const std::string& n : names) want.push_back({"ODD TABLE", n});
  ExpectRows(db, "columns",
             "select table_name, column_name from information_schema.columns where "
             "table_schema = database() order by ordinal_position",
             want);
}

}  // namespace
}  // namespace qor::test
