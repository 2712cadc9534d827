// The MS SQL extractor over a generated catalog on the replay binding (no
// MS SQL Server runs here): 1,000 and 10,000 tables, each with its
// columns, file group, primary key, index, foreign key to the table before,
// check, default and two grants, a view over every tenth table with its
// sysdepends row. Prints the time of each step and the statements sent at
// both sizes and their ratio: a linear extractor keeps both near 10.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/qorDBEngine.h"
#include "engine/qorEngineInit.h"
#include "extract/mssql/qorMSSQLCatalogQueries.h"
#include "extract/mssql/qorMSSQLDatabaseExtract.h"
#include "model/qorDBStructure.h"
#include "tests/support/qorReplay.h"

namespace {

using namespace qor;

// A result set row by column name; the columns not named are null.
std::vector<TFieldValue> Row(const std::vector<std::string>& columns,
                             const std::map<std::string, TFieldValue>& values) {
  std::vector<TFieldValue> row;
  for (const std::string& c : columns) {
    const auto it = values.find(c);
    row.push_back(it == values.end() ? TFieldValue{} : it->second);
  }
  return row;
}

test::TReplayStatement Statement(std::string sql, std::vector<std::string> columns,
                                 std::vector<std::pair<std::string, TFieldValue>> params = {}) {
  test::TReplayStatement st;
  st.SQL = std::move(sql);
  st.Params = std::move(params);
  st.HasRows = true;
  st.Columns = std::move(columns);
  return st;
}

// The 2008 fixture's connect and database statements, then a generated
// catalog of `tables` tables.
test::TReplayScript Generate(int tables) {
  test::TReplayScript base = test::TReplayScript::Load(std::string(QOR_TEST_DATA_DIR) +
                                                       "/extract/mssql/mssql2008_level100.json");
  test::TReplayScript s;
  s.DatabaseType = base.DatabaseType;
  for (const test::TReplayStatement& st : base.Statements) {
    if (st.SQL.rfind("Select o.object_id as id, o.name, s.name schemaname", 0) == 0) break;
    s.Statements.push_back(st);
  }
  msq::TCatalogForm form;
  form.Views = form.Subselects = form.Filters = true;
  const std::string tools =
      "AND (isnull((select value from [fn_listextendedproperty] "
      "('microsoft_database_tools_support', 'SCHEMA', s.name, 'TABLE', "
      "t.name, null, null)), 0) = 0)";
  const std::string ftools =
      "AND (isnull((select value from [fn_listextendedproperty] "
      "('microsoft_database_tools_support', 'SCHEMA', fs.name, 'TABLE', "
      "ft.name, null, null)), 0) = 0)";
  auto id = [](int t, int k) { return static_cast<std::int64_t>(100000 + t * 16 + k); };
  auto name = [](int t) { return "T" + std::to_string(t); };

  auto tablesSt = Statement(msq::Tables(form), {"id", "name", "schemaname", "schema_id",
                                                "description", "ms_tools", "QI", "AN", "RG"});
  // clang-format off
  const std::vector<std::string> colCols = {"colid", "COLUMN_NAME", "TYPE_NAME", "NULLABLE", "length",
                                            "is_rowguidcol", "system_type_id", "user_type_id",
                                            "type_schema", "description", "is_identity", "is_computed",
                                            "SEED", "INCR", "cprec", "cscale", "is_xml_document",
                                            "xml_collection_id", "computed_expr", "is_persisted"};
  // clang-format on
  std::vector<test::TReplayStatement> perTable;
  for (int t = 0; t < tables; ++t) {
    tablesSt.Rows.push_back(Row(tablesSt.Columns, {{"id", id(t, 0)},
                                                   {"name", name(t)},
                                                   {"schemaname", std::string("dbo")},
                                                   {"QI", std::int64_t{1}},
                                                   {"AN", std::int64_t{1}},
                                                   {"RG", std::int64_t{0}}}));
    auto fg = Statement(std::string(msq::kTableFileGroup),
                        {"FileGroupName", "TableName", "IndexName"}, {{"ID", id(t, 0)}});
    fg.Rows.push_back({std::string("PRIMARY"), name(t), std::string("PK_") + name(t)});
    perTable.push_back(std::move(fg));
    auto cols = Statement(msq::TableColumns(form), colCols,
                          {{"SNAME", std::string("dbo")}, {"TNAME", name(t)}, {"ID", id(t, 0)}});
    for (int c = 1; c <= 10; ++c) {
      const bool text = c % 2 == 0;
      cols.Rows.push_back(Row(colCols, {{"colid", std::int64_t{c}},
                                        {"COLUMN_NAME", "C" + std::to_string(c)},
                                        {"TYPE_NAME", std::string(text ? "varchar" : "int")},
                                        {"NULLABLE", std::int64_t{c > 1}},
                                        {"length", std::int64_t{text ? 40 : 4}},
                                        {"is_rowguidcol", false},
                                        {"system_type_id", std::int64_t{text ? 167 : 56}},
                                        {"user_type_id", std::int64_t{text ? 167 : 56}},
                                        {"type_schema", std::string("sys")},
                                        {"is_identity", std::int64_t{c == 1}},
                                        {"SEED", std::int64_t{1}},
                                        {"INCR", std::int64_t{1}},
                                        {"cprec", std::int64_t{text ? 0 : 10}},
                                        {"cscale", std::int64_t{0}},
                                        {"is_computed", false},
                                        {"is_xml_document", false},
                                        {"xml_collection_id", std::int64_t{0}}}));
    }
    perTable.push_back(std::move(cols));
  }
  s.Statements.push_back(std::move(tablesSt));
  for (auto& st : perTable) s.Statements.push_back(std::move(st));

  auto views = Statement(msq::Views(form),
                         {"id", "name", "sch_name", "definition", "description", "QI", "AN"});
  auto deps = Statement(std::string(msq::kDependencies),
                        {"id", "depid", "xtype", "xtype", "o1name", "o2name"});
  for (int t = 0; t < tables; t += 10) {
    const std::string v = "V" + std::to_string(t);
    views.Rows.push_back(
        Row(views.Columns,
            {{"id", id(t, 1)},
             {"name", v},
             {"sch_name", std::string("dbo")},
             {"definition", "CREATE VIEW dbo." + v + " AS SELECT C1, C2 FROM dbo." + name(t)},
             {"QI", std::int64_t{1}},
             {"AN", std::int64_t{1}}}));
    deps.Rows.push_back({id(t, 1), id(t, 0), std::string("V "), std::string("U "), v, name(t)});
  }
  s.Statements.push_back(std::move(views));
  s.Statements.push_back(Statement(msq::Routines(form), {"id"}));
  s.Statements.push_back(Statement(msq::Triggers(form), {"id"}));

  const std::vector<std::string> icCols = {"column_id", "is_included_column", "key_ordinal", "name",
                                           "is_descending_key"};
  auto indexColumns = [&](int t, std::int64_t index, const char* column, bool desc) {
    auto st = Statement(std::string(msq::kIndexColumns), icCols,
                        {{"OBJECT_ID", id(t, 0)}, {"INDEX_ID", index}});
    st.Rows.push_back({std::int64_t{1}, std::int64_t{0}, std::int64_t{1}, std::string(column),
                       std::int64_t{desc}});
    return st;
  };
  auto idx = Statement(msq::Indexes(form), {"idx_name",
                                            "tbl_name",
                                            "sch_name",
                                            "id",
                                            "object_id",
                                            "OrigFillFactor",
                                            "type",
                                            "otype",
                                            "QI",
                                            "AN",
                                            "IsPadIndex",
                                            "is_unique",
                                            "description",
                                            "FileGroupName",
                                            "secondary_type",
                                            "idx1_name",
                                            "ignore_dup_key",
                                            "allow_row_locks",
                                            "allow_page_locks",
                                            "has_filter",
                                            "filter_definition"});
  auto pks = Statement(msq::PrimaryKeys(form),
                       {"id", "table_name", "pk_name", "sch_name", "fill_factor", "type", "QI",
                        "AN", "is_padded", "ignore_dup_key", "allow_row_locks", "allow_page_locks",
                        "ms_tools", "is_system_named", "parent_object_id", "unique_index_id"});
  auto fks =
      Statement(msq::ForeignKeys(form, ftools),
                {"id", "fk_name", "ft_name", "rt_name", "fk_schema", "fr_schema",
                 "update_referential_action", "delete_referential_action", "QI", "AN", "NR"});
  auto checks = Statement(msq::Checks(form, tools), {"id", "table_name", "pk_name", "sch_name",
                                                     "QI", "AN", "NR", "definition"});
  auto defaults = Statement(
      msq::DefaultConstraints(form, tools),
      {"id", "ctr_name", "tbl_name", "col_name", "definition", "sch_name", "no_check", "QI", "AN"});
  auto grants = Statement(msq::ObjectPrivileges(form),
                          {"id", "action", "protecttype", "xtype", "obj_name", "ms_tools",
                           "schemaname", "schema_id", "user_name", "columns"});
  std::vector<test::TReplayStatement> keyColumns, fkColumns;
  const std::int64_t one = 1;
  for (int t = 0; t < tables; ++t) {
    const std::string n = name(t);
    idx.Rows.push_back(Row(idx.Columns, {{"idx_name", "IX_" + n},
                                         {"tbl_name", n},
                                         {"sch_name", std::string("dbo")},
                                         {"id", std::int64_t{2}},
                                         {"object_id", id(t, 0)},
                                         {"OrigFillFactor", std::int64_t{0}},
                                         {"type", std::int64_t{2}},
                                         {"otype", std::string("U ")},
                                         {"QI", one},
                                         {"AN", one},
                                         {"IsPadIndex", std::int64_t{0}},
                                         {"is_unique", std::int64_t{0}},
                                         {"FileGroupName", std::string("PRIMARY")},
                                         {"ignore_dup_key", false},
                                         {"allow_row_locks", true},
                                         {"allow_page_locks", true},
                                         {"has_filter", false}}));
    keyColumns.push_back(indexColumns(t, 2, "C2", true));
    pks.Rows.push_back(Row(pks.Columns, {{"id", id(t, 2)},
                                         {"table_name", n},
                                         {"pk_name", "PK_" + n},
                                         {"sch_name", std::string("dbo")},
                                         {"fill_factor", std::int64_t{0}},
                                         {"type", one},
                                         {"QI", one},
                                         {"AN", one},
                                         {"is_padded", false},
                                         {"ignore_dup_key", false},
                                         {"allow_row_locks", true},
                                         {"allow_page_locks", true},
                                         {"is_system_named", false},
                                         {"parent_object_id", id(t, 0)},
                                         {"unique_index_id", one}}));
    keyColumns.push_back(indexColumns(t, 1, "C1", false));
    if (t > 0) {
      fks.Rows.push_back(Row(fks.Columns, {{"id", id(t, 3)},
                                           {"fk_name", "FK_" + n},
                                           {"ft_name", n},
                                           {"rt_name", name(t - 1)},
                                           {"fk_schema", std::string("dbo")},
                                           {"fr_schema", std::string("dbo")},
                                           {"update_referential_action", std::int64_t{0}},
                                           {"delete_referential_action", std::int64_t{1}},
                                           {"QI", one},
                                           {"AN", one},
                                           {"NR", std::int64_t{0}}}));
      auto fc = Statement(msq::ForeignKeyColumns(form), {"constid", "fc_name", "rc_name"},
                          {{"ID", id(t, 3)}});
      fc.Rows.push_back({one, std::string("C3"), std::string("C1")});
      fkColumns.push_back(std::move(fc));
    }
    checks.Rows.push_back(Row(checks.Columns, {{"id", id(t, 4)},
                                               {"table_name", n},
                                               {"pk_name", "CK_" + n},
                                               {"sch_name", std::string("dbo")},
                                               {"QI", one},
                                               {"AN", one},
                                               {"NR", std::int64_t{0}},
                                               {"definition", std::string("([C1]>(0))")}}));
    defaults.Rows.push_back(Row(defaults.Columns, {{"id", id(t, 5)},
                                                   {"ctr_name", "DF_" + n},
                                                   {"tbl_name", n},
                                                   {"col_name", std::string("C4")},
                                                   {"definition", std::string("('')")},
                                                   {"sch_name", std::string("dbo")},
                                                   {"no_check", std::int64_t{0}},
                                                   {"QI", one},
                                                   {"AN", one}}));
    for (const std::int64_t action : {std::int64_t{193}, std::int64_t{195}})
      grants.Rows.push_back(Row(grants.Columns, {{"id", id(t, 0)},
                                                 {"action", action},
                                                 {"protecttype", std::int64_t{205}},
                                                 {"xtype", std::string("U ")},
                                                 {"obj_name", n},
                                                 {"schemaname", std::string("dbo")},
                                                 {"schema_id", one},
                                                 {"user_name", std::string("clerk")},
                                                 {"columns", std::string("\x01")}}));
  }
  s.Statements.push_back(std::move(idx));
  s.Statements.push_back(std::move(pks));
  for (auto& st : keyColumns) s.Statements.push_back(std::move(st));
  s.Statements.push_back(Statement(msq::Uniques(form, tools), {"id"}));
  s.Statements.push_back(std::move(fks));
  for (auto& st : fkColumns) s.Statements.push_back(std::move(st));
  s.Statements.push_back(std::move(checks));
  s.Statements.push_back(std::move(defaults));
  auto roles = Statement(std::string(msq::kHelpRole), {"RoleName", "RoleId", "IsAppRole"});
  roles.Rows.push_back({std::string("Clerks"), std::int64_t{5}, std::int64_t{0}});
  s.Statements.push_back(std::move(roles));
  auto users = Statement(std::string(msq::kHelpUser), {"UserName", "RoleName", "LoginName"});
  users.Rows.push_back({std::string("clerk"), std::string("Clerks"), std::string("clerk")});
  s.Statements.push_back(std::move(users));
  s.Statements.push_back(std::move(grants));
  s.Statements.push_back(
      Statement(std::string(msq::kStatementPrivileges), {"action", "protecttype", "user_name"}));
  s.Statements.push_back(std::move(deps));
  return s;
}

struct TRunResult {
  std::map<std::string, double> stepSeconds;
  std::map<std::string, int> stepStatements;
  double totalSeconds = 0;
  int statements = 0;
  int objects = 0;
  bool ok = false;
};

int StatementsServed(const test::TReplayConnection& replay) {
  int n = 0;
  for (const test::TReplayStatement& st : replay.Script().Statements) n += st.Uses;
  return n;
}

TRunResult Extract(int tables) {
  test::TReplayScript script = Generate(tables);
  test::TBindingScope scope(TconnectionType::cnADO,
                            std::make_unique<test::TReplayConnection>(
                                TconnectionType::cnADO, TDatabaseType::dbMSSQL, std::move(script)));
  auto* replay = static_cast<test::TReplayConnection*>(scope.StandIn());
  TQORConnection connection;
  connection.SetConnectionType(TconnectionType::cnADO);
  connection.SetDatabaseType(TDatabaseType::dbMSSQL);
  connection.ConnectionOptions.DatabaseName = "Shop";
  TDBStructure structure;
  TMSSQLDBExtract extract;
  extract.SetQORConnection(&connection);
  extract.SetDBStructure(&structure);
  TRunResult r;
  using Clock = std::chrono::steady_clock;
  std::string step = "Connect";
  Clock::time_point mark = Clock::now();
  const Clock::time_point start = mark;
  int served = 0;
  auto close = [&](const std::string& next) {
    const Clock::time_point now = Clock::now();
    r.stepSeconds[step] += std::chrono::duration<double>(now - mark).count();
    const int total = StatementsServed(*replay);
    r.stepStatements[step] += total - served;
    served = total;
    mark = now;
    step = next;
  };
  extract.OnProgressStep = [&](TObject*, int mode, const std::string& caption, int, int) {
    if (mode == 0) close(caption);
  };
  r.ok = extract.ExtractDatabase();
  close("");
  r.totalSeconds = std::chrono::duration<double>(Clock::now() - start).count();
  r.statements = StatementsServed(*replay);
  r.objects = structure.GetObjs()->Tables.Count() + structure.GetObjs()->Indices.Count() +
              structure.GetObjs()->Constraints.Count() + structure.GetObjs()->Grants.Count();
  extract.SetQORConnection(nullptr);
  return r;
}

void BM_MSSQLExtractLinear(benchmark::State& state) {
  InitializeEngine();
  for (auto _ : state) {
    const TRunResult small = Extract(1000);
    const TRunResult large = Extract(10000);
    std::printf("%-14s %10s %8s %10s %8s %7s %7s\n", "step", "1x s", "1x stm", "10x s", "10x stm",
                "t ratio", "s ratio");
    for (const auto& [name, seconds] : large.stepSeconds) {
      if (name.empty()) continue;
      const double s1 = small.stepSeconds.count(name) ? small.stepSeconds.at(name) : 0;
      const int n1 = small.stepStatements.count(name) ? small.stepStatements.at(name) : 0;
      const int n10 = large.stepStatements.at(name);
      std::printf("%-14s %10.4f %8d %10.4f %8d %7.2f %7.2f\n", name.c_str(), s1, n1, seconds, n10,
                  s1 > 0 ? seconds / s1 : 0.0, n1 > 0 ? static_cast<double>(n10) / n1 : 0.0);
    }
    std::printf("%-14s %10.4f %8d %10.4f %8d %7.2f %7.2f\n", "whole run", small.totalSeconds,
                small.statements, large.totalSeconds, large.statements,
                large.totalSeconds / small.totalSeconds,
                static_cast<double>(large.statements) / small.statements);
    state.counters["ok"] = small.ok && large.ok ? 1 : 0;
    state.counters["time_ratio"] = large.totalSeconds / small.totalSeconds;
    state.counters["objects_10x"] = large.objects;
  }
  FinalizeEngine();
}
BENCHMARK(BM_MSSQLExtractLinear)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
