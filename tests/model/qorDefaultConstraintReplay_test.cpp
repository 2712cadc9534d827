// MS SQL column default constraints, as the MS SQL extractor reads them
// (the expression in the parentheses the server stores), written for
// dialects that have no default constraint: each goes with its column as
// the column's DEFAULT, or, where its meaning there is not sure, is named
// in a comment. The whole script runs on a real embedded Firebird 3 engine
// and on the suite's PostgreSQL server; a row inserted with every default
// then holds the same values on both.
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Tbl.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorModelBuilder.h"
#include "tests/support/qorServerReplay.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qor::test {
namespace {

using DB = TDatabaseType;

struct DefaultColumn {
  const char* column;
  std::uint8_t type;
  int length;
  const char* stored;  // the expression as MS SQL stores it
  const char* value;   // what a row inserted without the column holds
};

// "set" stands for a timestamp, "null" for no value. newid() and an
// arithmetic expression are MS SQL's own here: no default, so null.
const DefaultColumn kColumns[] = {
    {"N_ZERO", dt::INTEGER, 0, "((0))", "0"},
    {"N_NEG", dt::NUMERIC, 0, "((-1.5))", "-1.50"},
    {"S_NATIONAL", dt::VARCHAR, 20, "(N'it''s')", "it's"},
    {"S_EMPTY", dt::VARCHAR, 20, "('')", ""},
    {"S_PARENS", dt::VARCHAR, 20, "('(a)')", "(a)"},
    {"T_NOW", dt::TIMESTAMP, 0, "(getdate())", "set"},
    {"N_NULL", dt::INTEGER, 0, "(NULL)", "null"},
    {"S_GUID", dt::VARCHAR, 40, "(newid())", "null"},
    {"N_SUM", dt::INTEGER, 0, "((1)+(2))", "null"},
};

class DefaultConstraintScript : public ::testing::Test {
 protected:
  TObjs& Objs() { return *structure.GetObjs(); }

  void Build(DB st) {
    Objs().Clear();
    Objs().SetServerType(st);
    Objs().IBServerOptions.SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
    TModelBuilder b(Objs());
    auto* t = b.Add<TTblData>("T_DEFAULTS", "APP");
    b.Field(t->Fields, t, "ID", dt::INTEGER)->Nullable = false;
    for (const DefaultColumn& c : kColumns) {
      TFldData* f = b.Field(t->Fields, t, c.column, c.type, c.length);
      if (c.type == dt::NUMERIC) {
        f->Precision = 12;
        f->Scale = 2;
      }
      auto ctr = std::make_unique<TCtrData>(&Objs());
      ctr->SetName(std::string("DF_") + c.column);
      ctr->SetParentName("APP");
      ctr->SetTableName("T_DEFAULTS");
      ctr->SetConstraintType(ct::Default);
      ctr->Columns.Add(c.column, nullptr);
      ctr->SetText(c.stored);
      ASSERT_NE(Objs().AddObject(ctr, true), nullptr);
    }
  }

  std::string WholeScript() {
    std::vector<std::string> lines;
    Objs().GetScript(lines);
    return JoinLines(lines);
  }

  // The columns' values as "COLUMN=value" in kColumns order.
  static std::vector<std::string> Expected() {
    std::vector<std::string> out;
    for (const DefaultColumn& c : kColumns) out.push_back(std::string(c.column) + "=" + c.value);
    return out;
  }

  // One select item per column: "COLUMN=value", null and timestamps as in
  // kColumns; `cast` turns a value into text in the dialect.
  static std::string SelectList(const std::string& quote, const std::string& concat,
                                const std::string& textType) {
    std::string s;
    for (const DefaultColumn& c : kColumns) {
      const std::string col = quote + c.column + quote;
      std::string value = "CAST(" + col + " AS " + textType + ")";
      if (c.type == dt::TIMESTAMP) value = "'set'";
      if (!s.empty()) s += ", ";
      s += "'" + std::string(c.column) + "=' " + concat + " CASE WHEN " + col +
           " IS NULL THEN 'null' ELSE " + value + " END";
    }
    return s;
  }

  // The script names each default it leaves out.
  static void ExpectNotes(const std::string& script) {
    EXPECT_THAT(script, ::testing::HasSubstr("-- default not written, its expression is MS SQL's "
                                             "own: DF_S_GUID DEFAULT (newid()) FOR T_DEFAULTS."));
    EXPECT_THAT(script, ::testing::HasSubstr("-- default not written, its expression is MS SQL's "
                                             "own: DF_N_SUM DEFAULT ((1)+(2)) FOR T_DEFAULTS."));
    EXPECT_THAT(script, ::testing::Not(::testing::HasSubstr("DF_N_ZERO")));
  }

  TDBStructure structure;
};

TEST_F(DefaultConstraintScript, Firebird3TakesThemAsColumnDefaults) {
  ASSERT_FALSE(FindIsql().empty()) << "isql-fb is missing: run scripts/install-deps.sh";
  Build(DB::dbInterBase);
  const std::string script = WholeScript();
  ExpectNotes(script);
  std::string items;
  for (const DefaultColumn& c : kColumns) {
    std::string value = "COALESCE(CAST(" + std::string(c.column) + " AS VARCHAR(40)), 'null')";
    if (c.type == dt::TIMESTAMP)
      value = "IIF(" + std::string(c.column) + " IS NULL, 'null', 'set')";
    items += "SELECT 'V:" + std::string(c.column) + "=' || " + value + " FROM T_DEFAULTS;\n";
  }
  TFirebirdReplayOptions options;
  options.CharSet = "UTF8";
  const TFirebirdReplayResult r =
      RunFirebirdScript(script + "\nINSERT INTO T_DEFAULTS (ID) VALUES (1);\n" + items, options);
  ASSERT_TRUE(r.Ok) << r.Errors << "\n--- script ---\n" << script;
  std::vector<std::string> got;
  for (const std::string& line : SplitLines(r.Output)) {
    const std::string t = TrimCtl(line);
    if (StartsWith(t, "V:")) got.push_back(t.substr(2));
  }
  // isql pads the empty string; the value is still the empty string.
  for (std::string& g : got)
    if (StartsWith(g, "S_EMPTY=")) g = "S_EMPTY=" + TrimCtl(g.substr(8));
  EXPECT_EQ(got, Expected()) << r.Output;
}

TEST_F(DefaultConstraintScript, WrittenForEachDialectWithoutThem) {
  // Every dialect without default constraints: the column carries the
  // default in the dialect's words, a comment names what it cannot.
  struct Case {
    DB st;
    const char* zero;
    const char* now;
    const char* text;  // the string default in the dialect's quoting
  };
  const Case cases[] = {
      {DB::dbInterBase, "N_ZERO INTEGER DEFAULT 0", "T_NOW TIMESTAMP DEFAULT CURRENT_TIMESTAMP",
       "'it''s'"},
      {DB::dbPostgreSQL, "\"N_ZERO\" integer default 0",
       "\"T_NOW\" timestamp default CURRENT_TIMESTAMP", "'it''s'"},
      {DB::dbOracle, "N_ZERO INTEGER DEFAULT 0", "T_NOW TIMESTAMP DEFAULT CURRENT_TIMESTAMP",
       "'it''s'"},
      {DB::dbMySQL, "N_ZERO INTEGER DEFAULT 0", "T_NOW TIMESTAMP DEFAULT CURRENT_TIMESTAMP",
       "'it\\'s'"},
      {DB::dbDB2, "N_ZERO INTEGER WITH DEFAULT 0", "T_NOW TIMESTAMP WITH DEFAULT CURRENT TIMESTAMP",
       "'it''s'"},
      {DB::dbSybaseASA, "N_ZERO INTEGER DEFAULT 0", "T_NOW TIMESTAMP DEFAULT CURRENT TIMESTAMP",
       "'it''s'"},
      {DB::dbSybaseASE, "N_ZERO INTEGER DEFAULT 0", "T_NOW TIMESTAMP DEFAULT getdate()", "'it''s'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.st));
    Build(c.st);
    const std::string script = WholeScript();
    EXPECT_THAT(script, ::testing::HasSubstr(c.zero));
    EXPECT_THAT(script, ::testing::HasSubstr(c.now));
    EXPECT_THAT(UpperAscii(script),
                ::testing::HasSubstr(UpperAscii(std::string("DEFAULT ") + c.text)));
    EXPECT_THAT(script, ::testing::Not(::testing::HasSubstr("N'it''s'")));
    ExpectNotes(script);
    // The single-table script says the same.
    std::vector<std::string> lines;
    Objs().GenerateTableScript(lines, Objs().Tables.Object(0)->GetKeyName(), false,
                               TCmpObjSetType::All());
    const std::string table = JoinLines(lines);
    EXPECT_THAT(table, ::testing::HasSubstr(c.zero));
    ExpectNotes(table);
  }
  // MS SQL writes them as what they are.
  Build(DB::dbMSSQL);
  const std::string script = WholeScript();
  EXPECT_THAT(script, ::testing::HasSubstr("CONSTRAINT DF_N_ZERO DEFAULT ((0)) FOR N_ZERO"));
  EXPECT_THAT(script, ::testing::HasSubstr("N_ZERO INTEGER NULL"));
  EXPECT_THAT(script, ::testing::Not(::testing::HasSubstr("default not written")));
}

TEST_F(DefaultConstraintScript, AColumnDefaultOfItsOwnOrNoColumnIsNamed) {
  Build(DB::dbInterBase);
  TTblData* t = Objs().Tables.Object(0);
  t->FindField("N_ZERO")->DefaultValue = "7";
  auto ctr = std::make_unique<TCtrData>(&Objs());
  ctr->SetName("DF_GONE");
  ctr->SetParentName("APP");
  ctr->SetTableName("T_DEFAULTS");
  ctr->SetConstraintType(ct::Default);
  ctr->Columns.Add("NO_SUCH", nullptr);
  ctr->SetText("((1))");
  ASSERT_NE(Objs().AddObject(ctr, true), nullptr);
  const std::string script = WholeScript();
  EXPECT_THAT(script, ::testing::HasSubstr("N_ZERO INTEGER DEFAULT 7"));
  EXPECT_THAT(script,
              ::testing::HasSubstr("-- default not written, the column has a default of "
                                   "its own: DF_N_ZERO DEFAULT ((0)) FOR T_DEFAULTS.N_ZERO"));
  EXPECT_THAT(script, ::testing::HasSubstr("-- default not written, its column is not in the "
                                           "script: DF_GONE DEFAULT ((1)) FOR T_DEFAULTS.NO_SUCH"));
}

class PostgresDefaultConstraint : public DefaultConstraintScript {
 protected:
  TPostgresReplayDatabase db;
};

TEST_F(PostgresDefaultConstraint, TakesThemAsColumnDefaults) {
  ASSERT_TRUE(db.Ready()) << db.Error();
  Build(DB::dbPostgreSQL);
  TModelBuilder(Objs()).Add<TSchData>("APP");
  const std::string script = WholeScript();
  ExpectNotes(script);
  const TServerReplayResult r = db.Run(script);
  ASSERT_TRUE(r.Ran) << r.Errors;
  EXPECT_TRUE(r.Failures.empty()) << r.Report() << "\n---\n" << script;
  ASSERT_TRUE(db.Execute("insert into \"APP\".\"T_DEFAULTS\" (\"ID\") values (1)")) << db.Error();
  std::string error;
  const TCatalogRows rows =
      db.Query("select " + SelectList("\"", "||", "text") + " from \"APP\".\"T_DEFAULTS\"", &error);
  ASSERT_TRUE(error.empty()) << error;
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], Expected());
}

}  // namespace
}  // namespace qor::test
