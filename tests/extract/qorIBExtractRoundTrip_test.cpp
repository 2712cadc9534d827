// The whole InterBase/Firebird extraction proved on the real engine: the
// procedures, packages and grants of the every-kind fixture as declared,
// and the round trip extract -> whole script -> replay into a fresh
// embedded database -> extract again, for that fixture and the employee
// sample, held against `isql-fb -x` of both databases.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "engine/qorDBEngine.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "platform/qorStrings.h"
#include "tests/extract/qorIBExtractFixture.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorModelDump.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace qor {
namespace {

using test::ExtractRun;

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
  return s;
}

struct TExtracted {
  bool ok = false;
  std::string why, script;
};

TExtracted ExtractWhole(ExtractRun& run) {
  TExtracted r;
  r.ok = run.extract.ExtractDatabase();
  if (!run.errors.empty()) r.why = run.errors.front();
  std::vector<std::string> lines;
  run.Objs().GetScript(lines);
  r.script = Joined(lines);
  return r;
}

TExtracted ExtractWhole(const std::string& path, bool batched = true,
                        std::string* model = nullptr) {
  ExtractRun run;
  run.Embedded(path);
  run.extract.BatchedReads = batched;
  // The generation is left as the window leaves it: the extractor takes
  // the engine's own (3.0).
  // Character sets and collations are written only when asked for.
  run.Objs().IBServerOptions.IBCompareOptions.FldCharsetCompare = true;
  TExtracted r = ExtractWhole(run);
  if (model) *model = test::DumpModel(run.Objs());
  return r;
}

using test::TReviewedDifference;
using test::UnexplainedDifferences;
using test::WithoutDatabaseHeader;

std::string IsqlExtract(const std::string& path) {
  const test::TFirebirdReplayResult x = test::ExtractFirebirdDDL(path);
  EXPECT_TRUE(x.Ok) << x.Errors;
  return x.Output;
}

// Differences between `isql-fb -x` of the source and of the replayed
// database that are known, each with its reason.
const std::vector<TReviewedDifference> kReviewedIsql = {
    {"CREATE DATABASE", "the database file name"},
};

// Differences between the first and the second extraction's scripts.
const std::vector<TReviewedDifference> kReviewedScript = {
    {"CREATE DATABASE '", "the database file name"},
    {"/* INTEG_", "the engine names unnamed constraints anew in each database"},
};

// What the engine numbers in creation order, in that order: the views by
// RDB$RELATION_ID, and each table's checks by their CHECK_n triggers, which
// the engine counts up as it creates them (INTEG_n names count the same way
// but also count other constraints, and only unnamed ones have them).
std::vector<std::string> CreationOrder(const std::string& path) {
  ExtractRun run;
  run.Embedded(path);
  TQORConnection& c = run.connection;
  c.SetConnected(true);
  EXPECT_TRUE(c.GetConnected()) << path;
  if (!c.GetConnected()) return {};
  std::vector<std::string> out;
  std::unique_ptr<TQORQuery> q = c.CreateQuery();
  q->GetSQL()->SetText(
      "select rdb$relation_name n from rdb$relations"
      " where rdb$view_blr is not null and coalesce(rdb$system_flag, 0) = 0"
      " order by rdb$relation_id");
  for (q->Open(); !q->Eof(); q->Next())
    out.push_back("view " + TrimCtl(q->FieldByName("N")->AsString()));
  q->Close();
  std::map<std::string, std::vector<std::pair<int, std::string>>> checks;
  q->GetSQL()->SetText(
      "select t.rdb$relation_name r, t.rdb$trigger_name n, t.rdb$trigger_source s"
      " from rdb$check_constraints c join rdb$triggers t on t.rdb$trigger_name = c.rdb$trigger_name"
      " where t.rdb$trigger_type = 1 and t.rdb$trigger_name starting with 'CHECK_'");
  for (q->Open(); !q->Eof(); q->Next())
    // The text without its keyword: how the blank after it is kept is
    // another matter.
    checks[TrimCtl(q->FieldByName("R")->AsString())].emplace_back(
        std::atoi(TrimCtl(q->FieldByName("N")->AsString()).substr(6).c_str()),
        TrimCtl(TrimCtl(q->FieldByName("S")->AsString()).substr(5)));
  q->Close();
  c.SetConnected(false);
  for (auto& [table, list] : checks) {
    std::sort(list.begin(), list.end());
    for (const auto& [number, source] : list) out.push_back(table + " " + source);
  }
  return out;
}

// The CREATE VIEW lines of `isql-fb -x`, in its order.
std::vector<std::string> IsqlViewOrder(const std::string& isql) {
  std::vector<std::string> out;
  for (const std::string& line : SplitLines(isql))
    if (StartsWith(line, "CREATE VIEW ")) out.push_back(line);
  return out;
}

void RoundTrip(const std::string& source, const char* replayName) {
  const TExtracted first = ExtractWhole(source);
  ASSERT_TRUE(first.ok) << first.why;
  const std::string replayed = test::FreshTestFile(replayName);
  const test::TFirebirdReplayResult r =
      test::BuildFirebirdDatabase(replayed, WithoutDatabaseHeader(first.script));
  ASSERT_TRUE(r.Ok) << r.Errors << "\n" << first.script;

  const TExtracted second = ExtractWhole(replayed);
  ASSERT_TRUE(second.ok) << second.why;
  const std::vector<std::string> scriptDiff =
      UnexplainedDifferences(first.script, second.script, kReviewedScript);
  EXPECT_TRUE(scriptDiff.empty()) << Joined(scriptDiff);

  const std::string sourceIsql = IsqlExtract(source), replayedIsql = IsqlExtract(replayed);
  const std::vector<std::string> diff =
      UnexplainedDifferences(sourceIsql, replayedIsql, kReviewedIsql);
  EXPECT_TRUE(diff.empty()) << Joined(diff);

  // The replay numbers and lists what the engine numbers as the source does.
  const std::vector<std::string> created = CreationOrder(source);
  EXPECT_FALSE(created.empty());
  EXPECT_EQ(CreationOrder(replayed), created);
  EXPECT_EQ(IsqlViewOrder(replayedIsql), IsqlViewOrder(sourceIsql));
}

TEST(IBExtractRoundTrip, EveryKindFixture) {
  std::string why;
  const std::string db = test::EveryKindDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  // Made out of name order on purpose.
  const std::vector<std::string> created = CreationOrder(db);
  for (const std::vector<std::string>& inOrder :
       {std::vector<std::string>{"view ORD_A_OVER_PROC", "view ORD_Z", "view ORD_M", "view ORD_B"},
        std::vector<std::string>{"ORD_CHECKED (C > 0)", "ORD_CHECKED (A > 0)",
                                 "ORD_CHECKED (A < 100)", "ORD_CHECKED (B > 0)"}}) {
    auto at = created.begin();
    for (const std::string& item : inOrder) {
      at = std::find(at, created.end(), item);
      ASSERT_NE(at, created.end()) << item << "\n" << Joined(created);
    }
  }
  RoundTrip(db, "every_kind_replayed.fdb");
}

TEST(IBExtractRoundTrip, EmployeeSample) {
  std::string why;
  const std::string db = test::EmployeeDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  RoundTrip(db, "employee_replayed.fdb");
}

int CreatedTables(const std::string& isqlExtract) {
  int n = 0;
  for (std::size_t at = 0; (at = isqlExtract.find("\nCREATE ", at)) != std::string::npos; ++at) {
    const std::string_view rest = std::string_view(isqlExtract).substr(at + 8);
    if (rest.starts_with("TABLE ") || rest.starts_with("GLOBAL TEMPORARY TABLE ")) ++n;
  }
  return n;
}

// The script goes into a database of another default character set: every
// table is built, and the columns and domains of a set of their own keep
// it with their collations.
TEST(IBExtractRoundTrip, AnotherDefaultCharacterSetStillBuildsEveryTable) {
  std::string why;
  const std::string everyKind = test::EveryKindDatabase(why);
  ASSERT_FALSE(everyKind.empty()) << why;
  // A UTF8 database whose columns take the default set with a collation of
  // their own, beside one of a set of its own.
  const std::string utf8 = test::FreshTestFile("utf8_default.fdb");
  test::TFirebirdReplayOptions utf8Options;
  utf8Options.CharSet = "UTF8";
  const test::TFirebirdReplayResult built = test::BuildFirebirdDatabase(
      utf8,
      "CREATE DOMAIN D_CI AS VARCHAR(6) COLLATE UNICODE_CI;\n"
      "CREATE TABLE T_CI (A VARCHAR(5) COLLATE UNICODE_CI, B D_CI, C D_CI COLLATE UTF8,"
      " D VARCHAR(4) CHARACTER SET WIN1252 COLLATE PXW_SPAN, E VARCHAR(3));",
      "", utf8Options);
  ASSERT_TRUE(built.Ok) << built.Errors;

  struct Case {
    const char* name;
    std::string source;
    const char* into;
    std::vector<std::string> kept;  // lines of the replay's `isql-fb -x`
  };
  const Case cases[] = {
      {"every kind into UTF8",
       everyKind,
       "UTF8",
       {"CREATE DOMAIN D_LATIN AS VARCHAR(12) CHARACTER SET ISO8859_1 COLLATE DE_DE;",
        "        W VARCHAR(5) CHARACTER SET WIN1251 COLLATE PXW_CYRL,",
        "        U2 D_UTF COLLATE UNICODE_CI,"}},
      {"UTF8 into WIN1252",
       utf8,
       "WIN1252",
       {"CREATE DOMAIN D_CI AS VARCHAR(6) CHARACTER SET UTF8 COLLATE UNICODE_CI;",
        "CREATE TABLE T_CI (A VARCHAR(5) CHARACTER SET UTF8 COLLATE UNICODE_CI,",
        "        D VARCHAR(4) CHARACTER SET WIN1252 COLLATE PXW_SPAN,"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExtractRun run;
    run.Embedded(c.source);
    run.Objs().IBServerOptions.IBCompareOptions.FldCharsetCompare = true;
    const TExtracted x = ExtractWhole(run);
    ASSERT_TRUE(x.ok) << x.why;
    test::TFirebirdReplayOptions into;
    into.CharSet = c.into;
    into.Extract = true;
    const test::TFirebirdReplayResult r =
        test::RunFirebirdScript(WithoutDatabaseHeader(x.script), into);
    ASSERT_TRUE(r.Ok) << r.Errors << "\n" << x.script;
    EXPECT_EQ(CreatedTables(r.Extract), run.Objs().Tables.Count()) << r.Extract;
    for (const std::string& line : c.kept)
      EXPECT_NE(("\n" + r.Extract).find("\n" + line + "\n"), std::string::npos) << line << "\n"
                                                                                << r.Extract;
  }
}

// What belongs to each object is read by one query per kind for all
// objects, or by one query per object: the model and the script are the
// same, byte for byte.
TEST(IBExtractRoundTrip, BatchedAndPerObjectReadsGiveTheSameModelAndScript) {
  struct Case {
    const char* name;
    const std::string& (*database)(std::string&);
  } const cases[] = {{"every kind", &test::EveryKindDatabase},
                     {"employee", &test::EmployeeDatabase}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string why;
    const std::string db = c.database(why);
    ASSERT_FALSE(db.empty()) << why;
    std::string batchedModel, perObjectModel;
    const TExtracted batched = ExtractWhole(db, /*batched=*/true, &batchedModel);
    const TExtracted perObject = ExtractWhole(db, /*batched=*/false, &perObjectModel);
    ASSERT_TRUE(batched.ok) << batched.why;
    ASSERT_TRUE(perObject.ok) << perObject.why;
    EXPECT_EQ(batched.script, perObject.script);
    EXPECT_EQ(batchedModel, perObjectModel);
  }
}

// Each employee table's own script (the table with its keys, checks,
// indices and triggers) replays on a database that holds the rest: the
// domains, generators and exceptions and the other tables with their keys.
TEST(IBExtractRoundTrip, EmployeeTableScriptsReplayBesideTheRest) {
  std::string why;
  const std::string db = test::EmployeeDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  ExtractRun run;
  run.Embedded(db);
  run.Objs().IBServerOptions.SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
  ASSERT_TRUE(run.extract.ExtractDatabase());
  TObjs& o = run.Objs();
  ASSERT_EQ(o.Tables.Count(), 10);

  std::string prelude;
  auto add = [&prelude](TDbObj* obj) {
    const std::string text = obj ? obj->GetCreateSQL() : std::string();
    if (!text.empty()) prelude += text + ";\n";
  };
  for (int i = 0; i < o.Domains.Count(); ++i) add(o.Domains.Value(i).get());
  for (int i = 0; i < o.Generators.Count(); ++i) add(o.Generators.Value(i).get());
  for (int i = 0; i < o.Exceptions.Count(); ++i) add(o.Exceptions.Value(i).get());

  TCmpObjSetType keys;
  keys.Include(TCmpObjType::coPrimaryKey);
  keys.Include(TCmpObjType::coUnique);
  const TCmpObjSetType all = TCmpObjSetType::All();
  for (int i = 0; i < o.Tables.Count(); ++i) {
    const std::string name = o.Tables.Name(i);
    SCOPED_TRACE(name);
    std::vector<std::string> lines;
    for (int j = 0; j < o.Tables.Count(); ++j)
      if (j != i) o.GenerateTableScript(lines, o.Tables.Name(j), false, keys);
    const std::string rest = prelude + Joined(lines);
    lines.clear();
    o.GenerateTableScript(lines, name, false, all);
    const std::string own = Joined(lines);
    EXPECT_NE(own.find("CREATE TABLE " + name), std::string::npos) << own;
    const test::TFirebirdReplayResult r = test::RunFirebirdScript(rest + own);
    EXPECT_TRUE(r.Ok) << r.Errors << "\n" << own;
  }
}

}  // namespace
}  // namespace qor
