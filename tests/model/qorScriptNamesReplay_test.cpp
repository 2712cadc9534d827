// Names that must be quoted, replayed on the engines that run here: every
// kind of object named with blanks, lower and mixed case, reserved words,
// a quote of the engine's own inside, a leading digit, a dollar and
// non-ASCII letters, written in the engine's dialect and run by its own
// client (isql-fb on an embedded Firebird 3 database, psql and mariadb on
// the suite's servers). No statement may be refused, and the catalog must
// then hold each object under exactly the name written. The writer fuzz
// target checks the same names against our own splitter only.
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorModelBuilder.h"
#include "tests/support/qorServerReplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace qor::test {
namespace {

using DB = TDatabaseType;

// Names that need quoting on at least one of the engines here.
const std::vector<std::string> kCommonNames = {"ORDER LINES", "lower", "Order Count", "A\"B",
                                               "1ST",         "X$Y",   "Größe",       "名前",
                                               "SELECT",      "ORDER", "x]y"};

// The dialect's quoting of a name inside a text we write ourselves (view
// queries, checks, trigger bodies), as a user's stored text would hold it.
std::string Quoted(const std::string& name, DB type) {
  const char q = type == DB::dbMySQL ? '`' : '"';
  return q + ReplaceAll(name, std::string(1, q), std::string(2, q)) + q;
}

// Builds, per name N, a table N with a column N, and around it objects of
// every other kind the engine has, each named by a short prefix and N (so
// that kinds sharing a namespace do not collide). Returns what the catalog
// must then hold: rows of kind and name ("table/column" for a column).
TCatalogRows BuildOddNames(TObjs& o, DB type, const std::string& schema,
                           const std::vector<std::string>& names, std::size_t limit) {
  TModelBuilder b(o);
  TCatalogRows want;
  const bool fb = type == DB::dbInterBase, pg = type == DB::dbPostgreSQL;
  const std::string qualifier = pg ? Quoted(schema, type) + "." : std::string();
  for (const std::string& n : names) {
    const std::string q = Quoted(n, type);
    TTblData* t = b.Add<TTblData>(n, schema);
    b.Column(t, n, dt::INTEGER);
    want.push_back({"table", n});
    want.push_back({"column", n + "/" + n});
    if (n.size() + 2 > limit) continue;

    auto* v = b.Add<TViwData>("V " + n, schema);
    b.Field(v->Columns, v, n, dt::INTEGER);
    v->SetText("SELECT " + q + " FROM " + qualifier + q);
    want.push_back({"view", "V " + n});

    auto* ix = b.Add<TIdxData>("I " + n, schema);
    ix->TableName = n;
    ix->Columns.Add(n, nullptr);
    want.push_back({"index", "I " + n});

    b.Constraint("K " + n, schema, n, ct::Check, {})->SetText("(" + q + " > 0)");
    want.push_back({"check", "K " + n});

    auto* p = b.Add<TPrcData>("P " + n, schema);
    if (pg) {
      p->Language = "plpgsql";
      p->SetText("\nBEGIN\n  NULL;\nEND\n");
    } else {
      p->SetText(fb ? "BEGIN\r\n  EXIT;\r\nEND" : "BEGIN\nEND");
    }
    want.push_back({"routine", "P " + n});

    auto* trg = b.Add<TTrgData>("T " + n, schema);
    trg->SetTableName(n);
    if (fb) {
      trg->TriggerType = 1;  // before insert
      trg->SetText("AS\r\nBEGIN\r\n  NEW." + q + " = 1;\r\nEND");
    } else {
      trg->Timing = 1;  // before
      trg->Events = 2;  // insert
      trg->ForEachRow = true;
    }
    if (pg) {
      auto* fn = b.Add<TPrcData>("F " + n, schema);
      fn->IsFunction = true;
      fn->Language = "plpgsql";
      fn->ReturnsText = "trigger";
      fn->SetText("\nBEGIN\n  NEW." + q + " := 1;\n  RETURN NEW;\nEND\n");
      want.push_back({"routine", "F " + n});
      trg->SetText("  EXECUTE FUNCTION " + qualifier + Quoted("F " + n, type) + "()");
    } else if (!fb) {
      trg->SetText("SET NEW." + q + " = 1");
    }
    want.push_back({"trigger", "T " + n});

    if (fb || pg) {
      b.Add<TGnrData>("G " + n, schema);
      want.push_back({"sequence", "G " + n});
      b.Add<TDmnData>("D " + n, schema)->TypeHolder->DataType = dt::INTEGER;
      want.push_back({"domain", "D " + n});
    }
    if (fb) {
      b.Add<TExcData>("E " + n, schema)->Message = "odd";
      want.push_back({"exception", "E " + n});
    }
  }
  std::sort(want.begin(), want.end());
  return want;
}

// The rows of `want` the catalog lacks and those it holds beyond them.
std::string Differences(TCatalogRows got, const TCatalogRows& want) {
  std::sort(got.begin(), got.end());
  TCatalogRows missing, extra;
  std::set_difference(want.begin(), want.end(), got.begin(), got.end(),
                      std::back_inserter(missing));
  std::set_difference(got.begin(), got.end(), want.begin(), want.end(), std::back_inserter(extra));
  std::string s;
  for (const auto& r : missing) s += "missing: " + r[0] + " " + r[1] + "\n";
  for (const auto& r : extra) s += "extra: " + JoinLines(r, " ") + "\n";
  return s;
}

std::string WholeScript(TObjs& o, const char* lineBreak) {
  std::vector<std::string> lines;
  o.GetScript(lines);
  return JoinLines(lines, lineBreak);
}

// ------------------------------------------------------------- Firebird

// Rows of "|kind|name|" that isql prints, as kind and name.
TCatalogRows IsqlRows(const std::string& output) {
  TCatalogRows rows;
  for (const std::string& line : SplitLines(output)) {
    const std::size_t a = line.find("|");
    if (a == std::string::npos) continue;
    const std::size_t b = line.find('|', a + 1), c = line.rfind('|');
    if (b == std::string::npos || c <= b) continue;
    // A kind of IIF comes padded to the longer one.
    rows.push_back({TrimCtl(line.substr(a + 1, b - a - 1)), line.substr(b + 1, c - b - 1)});
  }
  return rows;
}

TEST(FirebirdNames, OddNamesReplayAsTheyAre) {
  ASSERT_FALSE(FindIsql().empty()) << "isql-fb is missing: run scripts/install-deps.sh";
  TDBStructure structure;
  TObjs& o = *structure.GetObjs();
  o.SetServerType(DB::dbInterBase);
  TIBServerOptions& ib = o.IBServerOptions;
  ib.SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
  ib.SQLDialect = 3;
  ib.SetDBCharSet("UTF8");
  o.ScriptOptions.Connect = false;  // the replay makes the database
  std::vector<std::string> names = kCommonNames;
  names.push_back("VALUE");
  names.push_back("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");  // 31 bytes, the limit
  const TCatalogRows want = BuildOddNames(o, DB::dbInterBase, "", names, 31);

  const std::string script = WholeScript(o, "\r\n");
  // Names are CHAR columns: the trailing blanks are the column's, not the name's.
  auto name = [](const char* column) { return std::string("TRIM(TRAILING FROM ") + column + ")"; };
  const std::string queries =
      "\r\nCOMMIT;\r\nSET HEADING OFF;\r\n"
      "SELECT '|' || IIF(RDB$VIEW_BLR IS NULL, 'table', 'view') || '|' || " +
      name("RDB$RELATION_NAME") +
      " || '|' FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG = 0;\r\n"
      "SELECT '|column|' || " +
      name("F.RDB$RELATION_NAME") + " || '/' || " + name("F.RDB$FIELD_NAME") +
      " || '|' FROM RDB$RELATION_FIELDS F JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = "
      "F.RDB$RELATION_NAME WHERE R.RDB$SYSTEM_FLAG = 0 AND R.RDB$VIEW_BLR IS NULL;\r\n"
      "SELECT '|index|' || " +
      name("RDB$INDEX_NAME") +
      " || '|' FROM RDB$INDICES WHERE RDB$SYSTEM_FLAG = 0;\r\n"
      "SELECT '|check|' || " +
      name("RDB$CONSTRAINT_NAME") +
      " || '|' FROM RDB$RELATION_CONSTRAINTS WHERE RDB$CONSTRAINT_TYPE = 'CHECK';\r\n"
      "SELECT '|routine|' || " +
      name("RDB$PROCEDURE_NAME") +
      " || '|' FROM RDB$PROCEDURES;\r\n"
      "SELECT '|trigger|' || " +
      name("RDB$TRIGGER_NAME") +
      " || '|' FROM RDB$TRIGGERS WHERE RDB$SYSTEM_FLAG = 0 AND RDB$TRIGGER_NAME NOT STARTING "
      "WITH 'CHECK_';\r\n"
      "SELECT '|sequence|' || " +
      name("RDB$GENERATOR_NAME") +
      " || '|' FROM RDB$GENERATORS WHERE RDB$SYSTEM_FLAG = 0;\r\n"
      "SELECT '|domain|' || " +
      name("RDB$FIELD_NAME") +
      " || '|' FROM RDB$FIELDS WHERE RDB$SYSTEM_FLAG = 0 AND RDB$FIELD_NAME NOT STARTING WITH "
      "'RDB$';\r\n"
      "SELECT '|exception|' || " +
      name("RDB$EXCEPTION_NAME") + " || '|' FROM RDB$EXCEPTIONS;\r\n";
  TFirebirdReplayOptions options;
  options.CharSet = "UTF8";
  const TFirebirdReplayResult r = RunFirebirdScript(script + queries, options);
  ASSERT_TRUE(r.Ok) << r.Errors << "\n--- script ---\n" << script;
  EXPECT_EQ(Differences(IsqlRows(r.Output), want), "") << r.Output;
}

// ------------------------------------------------------- PostgreSQL, MariaDB

// The odd names and `extra` built for `db`'s engine and replayed on it:
// no statement refused, and `catalog` (rows of kind and name) must then
// read exactly what was written.
void ReplayOnServer(TServerReplayDatabase& db, DB type, const std::string& schema,
                    const std::vector<std::string>& extra, std::size_t limit,
                    const std::string& catalog) {
  ASSERT_TRUE(db.Ready()) << db.Error();
  TDBStructure structure;
  TObjs& o = *structure.GetObjs();
  o.SetServerType(type);
  o.ConnectionOptions.DatabaseName = db.Name();
  if (!schema.empty()) TModelBuilder(o).Add<TSchData>(schema, "");
  std::vector<std::string> names = kCommonNames;
  names.insert(names.end(), extra.begin(), extra.end());
  const TCatalogRows want = BuildOddNames(o, type, schema, names, limit);

  const std::string script = WholeScript(o, "\n");
  const TServerReplayResult r = db.Run(script);
  ASSERT_TRUE(r.Ran) << r.Errors;
  EXPECT_TRUE(r.Failures.empty()) << r.Report() << "\n---\n" << script;
  std::string error;
  const TCatalogRows got = db.Query(catalog, &error);
  ASSERT_TRUE(error.empty()) << error;
  EXPECT_EQ(Differences(got, want), "");
}

TEST(PostgresNames, OddNamesReplayAsTheyAre) {
  TPostgresReplayDatabase db;
  ReplayOnServer(
      db, DB::dbPostgreSQL, "Odd Schema", {"user", std::string(63, 'n')}, 63,
      "with s as (select oid from pg_namespace where nspname = 'Odd Schema') "
      "select case c.relkind when 'r' then 'table' when 'v' then 'view' when 'i' then 'index' "
      "else 'sequence' end, c.relname::text from pg_class c where c.relnamespace in (table s) "
      "and c.relkind in ('r', 'v', 'i', 'S') "
      "union all select 'column', c.relname::text || '/' || a.attname::text from pg_attribute a "
      "join pg_class c on c.oid = a.attrelid where c.relnamespace in (table s) "
      "and c.relkind = 'r' and a.attnum > 0 and not a.attisdropped "
      "union all select 'check', conname from pg_constraint "
      "where connamespace in (table s) and contype = 'c' "
      "union all select 'routine', proname from pg_proc where pronamespace in (table s) "
      "union all select 'trigger', tgname from pg_trigger t join pg_class c on c.oid = t.tgrelid "
      "where c.relnamespace in (table s) and not t.tgisinternal "
      "union all select 'domain', typname from pg_type "
      "where typnamespace in (table s) and typtype = 'd'");
}

TEST(MariaDbNames, OddNamesReplayAsTheyAre) {
  TMariaDbReplayDatabase db;
  ReplayOnServer(
      db, DB::dbMySQL, "", {"A`B", std::string(64, 'n')}, 64,
      "select if(table_type = 'VIEW', 'view', 'table'), table_name from information_schema.tables "
      "where table_schema = database() "
      "union all select 'column', concat(c.table_name, '/', c.column_name) "
      "from information_schema.columns c join information_schema.tables t "
      "on t.table_schema = c.table_schema and t.table_name = c.table_name "
      "where t.table_type = 'BASE TABLE' and c.table_schema = database() "
      "union all select 'index', index_name from information_schema.statistics "
      "where table_schema = database() "
      "union all select 'check', constraint_name from information_schema.table_constraints "
      "where constraint_type = 'CHECK' and constraint_schema = database() "
      "union all select 'routine', routine_name from information_schema.routines "
      "where routine_schema = database() "
      "union all select 'trigger', trigger_name from information_schema.triggers "
      "where trigger_schema = database()");
}

}  // namespace
}  // namespace qor::test
