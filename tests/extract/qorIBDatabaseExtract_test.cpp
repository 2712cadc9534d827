// The InterBase/Firebird extractor on the real Firebird 3 engine, embedded
// in the test process: the employee sample of firebird3.0-examples and a
// catalog fixture of our own, each built by isql-fb, read by ExtractDatabase
// and held against the engine's catalog and against `isql-fb -x`.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "extract/ib/qorIBCatalogQueries.h"

#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "parsers/qorSQLParser.h"
#include "platform/qorStrings.h"
#include "tests/extract/qorIBExtractFixture.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorReplay.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace qor {
namespace {

using test::ExpectMatchesCatalog;
using test::ExtractRun;
using test::FunctionNames;
using test::Keys;
using test::TCatalog;

class IBExtractEmbedded : public ::testing::Test {
 protected:
  void Open(const std::string& path) {
    run.Embedded(path);
    TQORConnection reader;
    reader.SetConnectionType(TconnectionType::cnIBX);
    reader.SetDatabaseType(TDatabaseType::dbInterBase);
    reader.Assign(run.connection);
    catalog = test::ReadCatalog(reader);
  }
  ExtractRun run;
  TCatalog catalog;
};

TEST_F(IBExtractEmbedded, EmployeeSampleReadsAsTheEngineHoldsIt) {
  std::string why;
  const std::string db = test::EmployeeDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  Open(db);
  ASSERT_EQ(catalog.domains.size(), 15u);
  ASSERT_EQ(catalog.tables.size(), 10u);
  ASSERT_EQ(catalog.views.size(), 1u);

  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  EXPECT_TRUE(run.errors.empty());
  EXPECT_FALSE(run.connection.GetConnected());
  ExpectMatchesCatalog(run.Objs(), catalog);
  // The view over EMPLOYEE reads it through domain-typed columns too.
  EXPECT_FALSE(catalog.viewDependencies.at("PHONE_LIST").empty());
}

TEST_F(IBExtractEmbedded, EmployeeSampleAgreesWithIsqlExtract) {
  std::string why;
  const std::string db = test::EmployeeDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  const test::TFirebirdReplayResult x = test::ExtractFirebirdDDL(db);
  ASSERT_TRUE(x.Ok) << x.Errors;
  run.Embedded(db);
  ASSERT_TRUE(run.extract.ExtractDatabase());
  // Every domain, table and view isql writes, and no other.
  std::map<std::string, std::vector<std::string>> isql;
  static const std::regex kCreate(R"(^CREATE (DOMAIN|TABLE|VIEW) (\S+))");
  std::istringstream in(x.Output);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (!std::regex_search(line, m, kCreate)) continue;
    std::string name = m[2].str();
    if (name.size() > 1 && name.front() == '"')
      name = ReplaceAll(name.substr(1, name.size() - 2), "\"\"", "\"");
    isql[m[1].str()].push_back(name);
  }
  for (auto& [kind, names] : isql) std::sort(names.begin(), names.end());
  EXPECT_EQ(isql["DOMAIN"], Keys(run.Objs().Domains));
  EXPECT_EQ(isql["TABLE"], Keys(run.Objs().Tables));
  EXPECT_EQ(isql["VIEW"], Keys(run.Objs().Views));
  // Each array column with the bounds isql writes.
  static const std::regex kArray(R"(^\s*(?:CREATE TABLE \S+ \()?(\S+) \S+?\[([0-9:, ]+)\])");
  int arrays = 0;
  std::istringstream again(x.Output);
  std::string table;
  for (std::string line; std::getline(again, line);) {
    std::smatch m;
    if (std::regex_search(line, m, std::regex(R"(^CREATE TABLE (\S+) \()"))) table = m[1].str();
    if (!std::regex_search(line, m, kArray)) continue;
    ++arrays;
    TFldData* f = run.Objs().FindField(table, m[1].str());
    ASSERT_NE(f, nullptr) << line;
    std::string bounds;
    for (const auto& [lo, hi] : f->ArrayBounds)
      bounds += (bounds.empty() ? "" : ", ") + (lo == 1 ? "" : std::to_string(lo) + ":") +
                std::to_string(hi);
    EXPECT_EQ(bounds, m[2].str()) << line;
  }
  EXPECT_EQ(arrays, 2);  // JOB.LANGUAGE_REQ, PROJ_DEPT_BUDGET.QUART_HEAD_CNT
}

TEST_F(IBExtractEmbedded, CatalogFixtureReadsAsTheEngineHoldsIt) {
  std::string why;
  const std::string db = test::CatalogFixtureDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  Open(db);
  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  EXPECT_TRUE(run.errors.empty());
  TObjs& o = run.Objs();
  ExpectMatchesCatalog(o, catalog);

  // A character set named without COLLATE stays with its column.
  TFldData* a = o.FindField("ITEMS", "A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->CharSet, "WIN1252");
  EXPECT_EQ(a->Collation, "");
  EXPECT_EQ(o.FindField("ITEMS", "B")->Collation, "PXW_SPAN");
  EXPECT_EQ(o.FindField("ITEMS", "C")->Collation, "");         // the domain's
  EXPECT_EQ(o.FindField("ITEMS", "D")->Collation, "WIN1252");  // its own, over the domain's
  EXPECT_EQ(o.FindField("ITEMS", "M")->CharSet, "UTF8");
  EXPECT_EQ(o.FindField("ITEMS", "M")->Length, 30);
  EXPECT_EQ(o.FindField("ITEMS", "K")->DefaultValue, "1");  // its own, though the domain has it too
  EXPECT_EQ(o.FindField("ITEMS", "L")->DefaultValue, "7");
  EXPECT_EQ(o.FindField("ITEMS", "M")->DefaultValue, "'abc'");
  EXPECT_TRUE(o.FindField("ITEMS", "I")->Identity);
  EXPECT_EQ(o.FindField("ITEMS", "I")->IdentitySeed, 3000000000LL);  // past 2^31

  // Domains: type, default, check, character set and bounds.
  TDmnData* positive = o.FindDomain("D_POSITIVE");
  ASSERT_NE(positive, nullptr);
  EXPECT_EQ(positive->TypeHolder->DefaultValue, "1");
  EXPECT_EQ(positive->TypeHolder->CheckText, " (VALUE > 0)");
  TDmnData* money = o.FindDomain("D_MONEY");
  EXPECT_EQ(money->TypeHolder->DataType, dt::NUMERIC);
  EXPECT_EQ(money->TypeHolder->Precision, 15);
  EXPECT_EQ(money->TypeHolder->Scale, 2);
  EXPECT_FALSE(money->TypeHolder->Nullable);
  EXPECT_EQ(o.FindDomain("D_NAME")->TypeHolder->Collation, "PXW_SPAN");
  EXPECT_EQ(o.FindDomain("D_GRID")->TypeHolder->ArrayBounds,
            (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 3}, {1, 2}}));
  EXPECT_EQ(o.FindDomain("D'Q")->TypeHolder->Length, 4);

  // Temporary tables and their commit action.
  EXPECT_TRUE(o.FindTable("GTT_KEEP")->GlobalTemporary);
  EXPECT_EQ(o.FindTable("GTT_KEEP")->OnCommit, 2);
  EXPECT_EQ(o.FindTable("GTT_DROP")->OnCommit, 1);
  EXPECT_FALSE(o.FindTable("ITEMS")->GlobalTemporary);
  EXPECT_NE(o.FindField("T'Q", "C'Q"), nullptr);

  // Views: columns, body, and a view over a view.
  TViwData* items = o.FindView("V_ITEMS");
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(Keys(items->Columns), (std::vector<std::string>{"A", "C", "K"}));
  EXPECT_EQ(items->GetText(), "SELECT A, K, C FROM ITEMS WHERE E IS NULL");
  EXPECT_TRUE(EndsWith(o.FindView("V_CHECKED")->GetText(), "WITH CHECK OPTION"));
}

TEST_F(IBExtractEmbedded, FunctionsWhoseNamesNeedQuotingAndThoseAfterThem) {
  std::string why;
  const std::string db = test::CatalogFixtureDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  run.Embedded(db);
  ASSERT_TRUE(run.extract.ExtractDatabase());
  TObjs& o = run.Objs();
  TPrcData* fq = o.FindProcedure("F'Q");
  ASSERT_NE(fq, nullptr);
  EXPECT_TRUE(fq->IsFunction);
  ASSERT_EQ(fq->InParams.Count(), 1);
  EXPECT_EQ(fq->InParams.Name(0), "X");
  ASSERT_EQ(fq->OutParams.Count(), 1);
  EXPECT_EQ(fq->OutParams.Value(0)->DataType, dt::INTEGER);
  EXPECT_EQ(fq->GetText(), "BEGIN RETURN X + 1; END");
  TPrcData* after = o.FindProcedure("G_AFTER");
  ASSERT_NE(after, nullptr);
  ASSERT_EQ(after->InParams.Count(), 1);
  EXPECT_EQ(after->InParams.Value(0)->Length, 10);  // characters, not bytes
  EXPECT_EQ(after->InParams.Value(0)->CharSet, "UTF8");
  EXPECT_EQ(after->OutParams.Value(0)->Length, 20);

  TUdfData* addOne = o.FindUdf("ADD_ONE");
  ASSERT_NE(addOne, nullptr);
  EXPECT_EQ(addOne->EntryPoint, "add_one");
  EXPECT_EQ(addOne->ModuleName, "qor_udf");
  ASSERT_EQ(addOne->Args.Count(), 1);
  EXPECT_EQ(addOne->Args.Value(0)->DataType, dt::INTEGER);
  EXPECT_TRUE(addOne->ResultField->ByValue);
  TUdfData* pad = o.FindUdf("PAD_TEXT");
  ASSERT_NE(pad, nullptr);
  ASSERT_EQ(pad->Args.Count(), 2);
  EXPECT_EQ(pad->Args.Value(0)->DataType, dt::CSTRING);
  EXPECT_EQ(pad->Args.Value(0)->Length, 80);
  EXPECT_EQ(pad->ResultField->ReturnParamNo, 1);
  EXPECT_EQ(pad->ResultField->DataType, dt::CSTRING);
}

TEST_F(IBExtractEmbedded, StepsProgressAndLogLines) {
  std::string why;
  const std::string db = test::CatalogFixtureDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  run.Embedded(db);
  ASSERT_TRUE(run.extract.ExtractDatabase());
  std::vector<std::string> want = {"Starting"};
  for (int i = 0; i < TIBDBExtract::kStepCount; ++i) want.push_back(TIBDBExtract::StepCaption(i));
  want.push_back("Finished");
  EXPECT_EQ(run.steps, want);
  // The bar never passes its end and ends full.
  for (const auto& [value, max] : run.progress) {
    EXPECT_EQ(max, TIBDBExtract::kStepCount);
    EXPECT_LE(value, max);
  }
  EXPECT_EQ(run.progress.back(), (std::pair<int, int>{17, 17}));
  for (const char* line : {"Extracting functions...", "Extracting domains...",
                           "Extracting tables...", "Extracting views...", "Parsing bodies...",
                           "Linking dependencies...", "---ITEMS", "---V_OVER", "---D_GRID"})
    EXPECT_NE(std::find(run.log.begin(), run.log.end(), line), run.log.end()) << line;

  // Without the full log there is no line per object.
  run.log.clear();
  run.extract.ShowFullLog = false;
  ASSERT_TRUE(run.extract.ExtractDatabase());
  for (const std::string& line : run.log) EXPECT_FALSE(StartsWith(line, "---")) << line;
}

std::string WholeScript(TObjs& o) {
  std::vector<std::string> lines;
  o.GetScript(lines);
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

bool Logged(const std::vector<std::string>& log, const std::string& line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

// A structure left as it comes (as the window leaves it) is written for
// the engine it was read from: identity columns, sequences with their
// start and step, and packages.
TEST_F(IBExtractEmbedded, ADefaultStructureTakesTheGenerationTheServerReports) {
  std::string why;
  const std::string db = test::EveryKindDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  run.Embedded(db);
  ASSERT_EQ(run.Objs().IBServerOptions.SQLServerVersion, TIBSQLServerVersionType::st_Firebird_25);
  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  EXPECT_EQ(run.Objs().IBServerOptions.SQLServerVersion, TIBSQLServerVersionType::st_Firebird_30);
  EXPECT_TRUE(Logged(run.log, "Server Version (user defined): FireBird 2.5"));
  EXPECT_TRUE(Logged(run.log,
                     "Server version reported by the server: FireBird 3.0 (configured: "
                     "FireBird 2.5)"));
  const std::string script = WholeScript(run.Objs());
  for (const char* text : {"I BIGINT GENERATED BY DEFAULT AS IDENTITY (START WITH 3000000000)",
                           "CREATE GENERATOR SEQ_STEP START WITH 100 INCREMENT BY 10",
                           "CREATE GENERATOR SEQ_BIG START WITH 5000000000 INCREMENT BY 3",
                           "CREATE OR ALTER PACKAGE PKG", "RECREATE PACKAGE BODY PKG"})
    EXPECT_NE(script.find(text), std::string::npos) << text;
}

// Which configured generations the server's replaces, and the line that
// says so. Only domains are read: the generation is settled before any
// step.
TEST_F(IBExtractEmbedded, AConfiguredGenerationIsKeptWhenAskedOrWhenItIsALaterFirebird) {
  using V = TIBSQLServerVersionType;
  struct Case {
    V configured;
    bool keep;
    V after;
    const char* line;  // "" for none
  };
  const Case cases[] = {
      {V::st_Firebird_25, true, V::st_Firebird_25,
       "Server version reported by the server: FireBird 3.0 (configured: FireBird 2.5, kept)"},
      {V::st_Firebird_40, false, V::st_Firebird_40,
       "Server version reported by the server: FireBird 3.0 (configured: FireBird 4.0, kept)"},
      {V::st_Firebird_20, false, V::st_Firebird_30,
       "Server version reported by the server: FireBird 3.0 (configured: FireBird 2.0)"},
      // Another product line is not this server's.
      {V::st_InterBase_2020, false, V::st_Firebird_30,
       "Server version reported by the server: FireBird 3.0 (configured: InterBase 2020)"},
      {V::st_Firebird_30, false, V::st_Firebird_30, ""},
  };
  std::string why;
  const std::string db = test::CatalogFixtureDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  run.Embedded(db);
  TCmpObjSetType kinds;
  kinds.Include(TCmpObjType::coDomain);
  run.extract.SetExtractObjects(kinds);
  for (const Case& c : cases) {
    SCOPED_TRACE(GetServerVersionName(TDatabaseType::dbInterBase, static_cast<int>(c.configured)));
    run.log.clear();
    run.Objs().IBServerOptions.SQLServerVersion = c.configured;
    run.extract.KeepServerVersion = c.keep;
    ASSERT_TRUE(run.extract.ExtractDatabase());
    EXPECT_EQ(run.Objs().IBServerOptions.SQLServerVersion, c.after);
    const auto reported = std::find_if(run.log.begin(), run.log.end(), [](const std::string& l) {
      return StartsWith(l, "Server version reported");
    });
    EXPECT_EQ(reported == run.log.end() ? std::string() : *reported, c.line);
  }
}

// What the engine stores is what the model holds: names up to their
// padding, descriptions with their line breaks, checks spaced as typed,
// collations only where the column names its own, the database's comment.
TEST_F(IBExtractEmbedded, NamesTextsAndCollationsAsTheEngineStoresThem) {
  std::string why;
  const std::string db = test::EveryKindDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  run.Embedded(db);
  // As the window sets it: character sets and collations are written.
  run.Objs().IBServerOptions.IBCompareOptions.FldCharsetCompare = true;
  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  TObjs& o = run.Objs();
  TTblData* t = o.FindTable(" PADDED");
  ASSERT_NE(t, nullptr);
  ASSERT_NE(t->FindField(" LEAD"), nullptr);
  EXPECT_NE(o.FindConstraint(" PK_PADDED"), nullptr);
  EXPECT_NE(o.FindIndex(" IX_PADDED"), nullptr);

  EXPECT_EQ(t->GetDescription(), "ends in a line break\n");
  EXPECT_EQ(t->FindField(" LEAD")->GetDescription(), "\nbegins with one");
  EXPECT_EQ(o.FindDomain("D_UTF")->GetDescription(), "two\nlines");

  EXPECT_EQ(o.FindDomain("D_TIGHT")->TypeHolder->CheckText, "(VALUE>=0)");
  ASSERT_NE(o.FindConstraint("CK_TIGHT"), nullptr);
  EXPECT_EQ(o.FindConstraint("CK_TIGHT")->GetText(), "(\" LEAD\">0)");

  // A domain's column has the domain's set; its collation only where it
  // names one.
  struct Case {
    const char* column;
    const char* collation;
  };
  const Case cases[] = {
      {"L1", ""}, {"L2", "ISO8859_1"}, {"U1", ""}, {"U2", "UNICODE_CI"}, {"W", "PXW_CYRL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    const TFldData* f = t->FindField(c.column);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Collation, c.collation);
  }
  EXPECT_EQ(t->FindField("W")->CharSet, "WIN1251");
  // The employee sample's domain-typed columns carry no collation either.
  std::string whyEmployee;
  const std::string employee = test::EmployeeDatabase(whyEmployee);
  ASSERT_FALSE(employee.empty()) << whyEmployee;
  ExtractRun e;
  e.Embedded(employee);
  e.Objs().IBServerOptions.IBCompareOptions.FldCharsetCompare = true;
  ASSERT_TRUE(e.extract.ExtractDatabase());
  const std::string employeeScript = WholeScript(e.Objs());
  EXPECT_EQ(employeeScript.find("COLLATE NONE"), std::string::npos) << employeeScript;

  EXPECT_EQ(o.IBServerOptions.IBDatabaseOptions.Description, "the every-kind database");
  const std::string script = WholeScript(o);
  EXPECT_NE(script.find("COMMENT ON DATABASE IS\r\n'the every-kind database';"), std::string::npos);
  // A domain's column names only its own collation.
  EXPECT_NE(script.find("U2 D_UTF COLLATE UNICODE_CI"), std::string::npos) << script;
  // One table's script leaves the database's comment out.
  std::vector<std::string> own;
  o.GenerateTableScript(own, " PADDED", /*withHeader=*/true, TCmpObjSetType::All());
  for (const std::string& l : own) EXPECT_EQ(l.find("COMMENT ON DATABASE"), std::string::npos);
}

// Triggers, roles and grants keep their names up to the padding and their
// descriptions with their line breaks; the script replays them as stored.
TEST_F(IBExtractEmbedded, TriggerRoleAndGrantNamesAsStored) {
  const std::string db = test::FreshTestFile("names_as_stored.fdb");
  const test::TFirebirdReplayResult built = test::BuildFirebirdDatabase(db, R"(
CREATE TABLE " T" (" C" INTEGER);
SET TERM ^ ;
CREATE TRIGGER " TRG" FOR " T" BEFORE INSERT AS BEGIN END^
SET TERM ; ^
COMMENT ON TRIGGER " TRG" IS 'ends in a line break
';
CREATE ROLE " R";
COMMENT ON ROLE " R" IS '
begins with one';
GRANT UPDATE (" C") ON " T" TO ROLE " R";
COMMIT;
)");
  ASSERT_TRUE(built.Ok) << built.Errors;
  run.Embedded(db);
  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  TObjs& o = run.Objs();
  const TTrgData* trg = o.FindTrigger(" TRG");
  ASSERT_NE(trg, nullptr);
  EXPECT_EQ(trg->GetTableName(), " T");
  EXPECT_EQ(trg->GetDescription(), "ends in a line break\n");
  const TRolData* role = o.FindRole(" R");
  ASSERT_NE(role, nullptr);
  EXPECT_EQ(role->GetDescription(), "\nbegins with one");
  const auto grant = std::find_if(o.Grants.begin(), o.Grants.end(), [](const auto& g) {
    return g.Value->Grantee == " R" && g.Value->ObjectName == " T";
  });
  ASSERT_NE(grant, o.Grants.end());
  EXPECT_EQ(grant->Value->Columns, std::vector<std::string>{" C"});

  // A trimmed name would make the replay refuse the trigger and the grant.
  test::TFirebirdReplayOptions extract;
  extract.Extract = true;
  const test::TFirebirdReplayResult replay =
      test::RunFirebirdScript(test::WithoutDatabaseHeader(WholeScript(o)), extract);
  ASSERT_TRUE(replay.Ok) << replay.Errors << WholeScript(o);
  for (const char* line :
       {"CREATE TRIGGER \" TRG\" FOR \" T\"", "TO ROLE \" R\"",
        "\" TRG\" IS 'ends in a line break\n';", "\" R\" IS '\nbegins with one';"})
    EXPECT_NE(replay.Extract.find(line), std::string::npos) << line << "\n" << replay.Extract;
}

// The per-table events, and their count query, only for a listener.
TEST_F(IBExtractEmbedded, TableRowsReportedOnlyWhenSomeoneListens) {
  std::string why;
  const std::string db = test::CatalogFixtureDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  run.Embedded(db);
  const std::string countSQL = ibq::TableCount(/*ignoreIBE=*/true);
  for (const bool listen : {false, true}) {
    SCOPED_TRACE(listen ? "listening" : "not listening");
    auto recording = std::make_unique<test::TRecordingConnection>(
        TQORCustomConnection::FindRegisteredConnection(TconnectionType::cnIBX));
    test::TRecordingConnection* rec = recording.get();
    test::TBindingScope scope(TconnectionType::cnIBX, std::move(recording));
    TQORConnection connection;
    connection.Assign(run.connection);
    run.extract.SetQORConnection(&connection);
    std::vector<std::string> rows;
    run.extract.OnProgressStep = nullptr;
    std::string step;
    if (listen)
      run.extract.OnProgressStep = [&](TObject*, int mode, const std::string& caption, int pos,
                                       int max) {
        if (mode == 0) step = caption;
        if (mode == 1 && step == "Tables")
          rows.push_back(caption + " " + std::to_string(pos) + "/" + std::to_string(max));
      };
    ASSERT_TRUE(run.extract.ExtractDatabase());
    bool counted = false;
    for (const auto& st : rec->Script().Statements) counted = counted || st.SQL == countSQL;
    EXPECT_EQ(counted, listen);
    if (listen) {
      EXPECT_EQ(rows, (std::vector<std::string>{"Tables 0/7", "GTT_DROP 1/7", "GTT_KEEP 2/7",
                                                "ITEMS 3/7", "KEY_CHILD 4/7", "KEY_PARENT 5/7",
                                                "KEY_PLAIN 6/7", "T'Q 7/7"}));
    }
    run.extract.SetQORConnection(nullptr);
  }
}

TEST_F(IBExtractEmbedded, OnlyTheSelectedKindsAreRead) {
  std::string why;
  const std::string db = test::CatalogFixtureDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  run.Embedded(db);
  TCmpObjSetType kinds;
  kinds.Include(TCmpObjType::coTable);
  run.extract.SetExtractObjects(kinds);
  ASSERT_TRUE(run.extract.ExtractDatabase());
  TObjs& o = run.Objs();
  EXPECT_EQ(o.Domains.Count(), 0);
  EXPECT_EQ(o.Views.Count(), 0);
  EXPECT_EQ(o.Udfs.Count(), 0);
  EXPECT_EQ(o.Constraints.Count(), 0);
  EXPECT_EQ(o.Indices.Count(), 0);
  EXPECT_EQ(o.Tables.Count(), 7);
  // A column of a domain that was not read: reported, and still typed by it.
  EXPECT_EQ(o.FindField("ITEMS", "C")->DataType, dt::UserType);
  EXPECT_EQ(o.FindField("ITEMS", "C")->DomainName, "D_NAME");
  EXPECT_NE(
      std::find(run.errors.begin(), run.errors.end(), "Domain: D_NAME not found for: ITEMS(C)."),
      run.errors.end());
  // Every step still runs its caption and progress.
  EXPECT_EQ(run.steps.size(), static_cast<std::size_t>(TIBDBExtract::kStepCount + 2));

  run.extract.SetExtractObjects(TCmpObjSetType{});
  run.errors.clear();
  ASSERT_TRUE(run.extract.ExtractDatabase());
  EXPECT_EQ(o.Tables.Count(), 0);
  EXPECT_TRUE(run.errors.empty());
}

TEST_F(IBExtractEmbedded, NameFiltersOnARealCatalog) {
  std::string why;
  const std::string db = test::CatalogFixtureDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  run.Embedded(db);
  run.extract.SetIncludeObjsNames(std::string("V_*\r\nD_*\r\nITEMS*\r\nGTT*"));
  run.extract.SetExcludeObjsNames(std::string("%_DROP\r\n%_OVER"));
  ASSERT_TRUE(run.extract.ExtractDatabase());
  TObjs& o = run.Objs();
  EXPECT_EQ(Keys(o.Tables), (std::vector<std::string>{"GTT_KEEP", "ITEMS"}));
  EXPECT_EQ(Keys(o.Views), (std::vector<std::string>{"V_CHECKED", "V_ITEMS"}));
  EXPECT_EQ(Keys(o.Domains),
            (std::vector<std::string>{"D_GRID", "D_MONEY", "D_NAME", "D_POSITIVE"}));
  EXPECT_EQ(FunctionNames(o), std::vector<std::string>{});
}

// A stop request ends the run as a failure and is forgotten by the next run.
TEST_F(IBExtractEmbedded, StopRequestedMidwayFailsTheRun) {
  std::string why;
  const std::string db = test::CatalogFixtureDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  run.Embedded(db);
  run.extract.OnProgressStep = [&](TObject*, int mode, const std::string& caption, int, int) {
    if (mode == 0) run.steps.push_back(caption);
    if (caption == "Views") StopRequested = true;
  };
  EXPECT_FALSE(run.extract.ExtractDatabase());
  EXPECT_FALSE(run.connection.GetConnected());
  EXPECT_EQ(run.steps.back(), "Views");  // no step begins after the request
  EXPECT_EQ(std::find(run.steps.begin(), run.steps.end(), "Finished"), run.steps.end());
  EXPECT_NE(std::find(run.log.begin(), run.log.end(), "Extraction stopped."), run.log.end());
  EXPECT_NE(run.Objs().FindTable("ITEMS"), nullptr);  // what was read stays

  // The flag is still set: the next run clears it and reads everything.
  ASSERT_TRUE(StopRequested);
  run.extract.OnProgressStep = nullptr;
  EXPECT_TRUE(run.extract.ExtractDatabase());
  EXPECT_FALSE(StopRequested);
  EXPECT_NE(run.Objs().FindView("V_OVER"), nullptr);
}

// The body parser hook: the step hands it every stored body in its order
// and copies its messages.
class RecordingParser : public TCustomSQLParser {
 public:
  RecordingParser(TExtractorHost* owner, std::vector<std::string>& seen)
      : TCustomSQLParser(owner, TDatabaseType::dbInterBase), seen_(seen) {}
  void ParseObjectText(TDbObj* obj) override {
    seen_.push_back(std::string(obj->ClassName()) + ":" + obj->GetName());
  }
  void AfterParse() override {
    seen_.push_back("AfterParse");
    Messages().Add("parsed", kMsgNote);
  }

 private:
  std::vector<std::string>& seen_;
};

TEST_F(IBExtractEmbedded, ParseBodiesHandsTheStoredTextsToTheParser) {
  std::string why;
  const std::string db = test::CatalogFixtureDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  run.Embedded(db);
  std::vector<std::string> seen;
  run.extract.BodyParserFactory = [&](TIBDBExtract& x) {
    return std::make_unique<RecordingParser>(&x, seen);
  };
  ASSERT_TRUE(run.extract.ExtractDatabase());
  const std::vector<std::string> want = {
      "TDmnData:D'Q", "TDmnData:D_GRID", "TDmnData:D_MONEY", "TDmnData:D_NAME",
      "TDmnData:D_POSITIVE", "TPrcData:F'Q", "TPrcData:G_AFTER", "TTrgData:ANY_DDL",
      "TTrgData:KEY_CHILD_AIUD", "TTrgData:KEY_CHILD_BI", "TTrgData:ON_COMMIT",
      "TTrgData:ON_CREATE_TABLE", "TTrgData:V'CHK_BU", "TViwData:V_CHECKED", "TViwData:V_ITEMS",
      "TViwData:V_OVER", "TIdxData:IX_AMOUNT", "TIdxData:IX_EXPR", "TIdxData:IX_INACTIVE",
      "TFldData:J",
      // the check of a generated name, then the named one
      "TCtrData:", "TCtrData:CK_AMOUNT", "AfterParse"};
  EXPECT_EQ(seen, want);
  const TMsgManager& m = *run.extract.GetMsgManager();
  ASSERT_GT(m.Count(), 0);
  EXPECT_EQ(m.Items(m.Count() - 1).Text, "parsed");
}

// ---- Catalog generations: each capability turned off after the probe ----

class ForcedProbe : public TIBDBExtract {
 public:
  int forcedOff = 0;
  TIBCatalogCaps probed;

 protected:
  void ProbeCatalog() override {
    TIBDBExtract::ProbeCatalog();
    probed = caps_;
    if (bool* flag = caps_.FlagOfRow(forcedOff)) *flag = false;
  }
};

TEST(IBExtractGenerations, Firebird3SetsEveryFlag) {
  std::string why;
  const std::string db = test::CatalogFixtureDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  ExtractRun run;
  run.Embedded(db);
  ForcedProbe x;
  x.SetDBStructure(&run.structure);
  x.SetQORConnection(&run.connection);
  ASSERT_TRUE(x.ExtractDatabase());
  for (int row = 2; row <= 28; ++row) {
    TIBCatalogCaps caps = x.probed;
    if (bool* flag = caps.FlagOfRow(row)) {
      EXPECT_TRUE(*flag) << "probe row " << row;
    }
  }
}

TEST(IBExtractGenerations, EachReducedQueryRunsAndReadsWhatItCan) {
  std::string why;
  const std::string db = test::CatalogFixtureDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  // clang-format off
  struct Case {
    int row;
    const char* what;
  } const cases[] = {
      {2, "no field precision"},       {6, "no relation type"},
      {11, "no update rule"},          {12, "no delete rule"},
      {13, "no argument precision"},   {17, "no identity generator"},
      {18, "no identity type"},        {22, "no function source"},
      {23, "no argument names"},       {24, "no argument description"},
      {26, "no packaged routines"},    {20, "no generator increment or initial value"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExtractRun run;
    run.Embedded(db);
    ForcedProbe x;
    x.forcedOff = c.row;
    std::vector<std::string> errors;
    x.OnErrorMessage = [&](TObject*, const std::string& t) { errors.push_back(t); };
    x.SetDBStructure(&run.structure);
    x.SetQORConnection(&run.connection);
    ASSERT_TRUE(x.ExtractDatabase()) << (errors.empty() ? "" : errors[0]);
    EXPECT_TRUE(errors.empty());
    TObjs& o = run.Objs();
    EXPECT_EQ(o.Domains.Count(), 5);
    EXPECT_EQ(o.Tables.Count(), 7);
    EXPECT_EQ(o.Views.Count(), 3);
    EXPECT_EQ(FunctionNames(o),
              (std::vector<std::string>{"ADD_ONE", "F'Q", "G_AFTER", "PAD_TEXT"}));
    EXPECT_EQ(o.FindTable("ITEMS")->Fields.Count(), 20);
    const bool identity = c.row != 17 && c.row != 18;
    EXPECT_EQ(o.FindField("ITEMS", "I")->Identity, identity);
    EXPECT_EQ(o.FindField("ITEMS", "I")->IdentitySeed, identity && c.row != 20 ? 3000000000LL : 0);
    EXPECT_EQ(o.FindTable("GTT_KEEP")->GlobalTemporary, c.row != 6);
    // Without the function source a PSQL function reads as an external one.
    EXPECT_EQ(o.FindProcedure("F'Q") != nullptr, c.row != 22);
    if (c.row != 22) {
      const std::string arg = o.FindProcedure("F'Q")->InParams.Name(0);
      EXPECT_EQ(arg, c.row == 23 ? "" : "X");
    }
    // With the precision column NUMERIC(9,2) keeps its precision; without
    // it the scale alone makes it NUMERIC.
    TFldData* g = o.FindField("ITEMS", "G");
    EXPECT_EQ(g->DataType, dt::NUMERIC);
    EXPECT_EQ(g->Scale, 2);
    EXPECT_EQ(g->Precision, c.row == 2 ? 9 : 9);
    // Without a rule column that action keeps the constructor's value.
    TCtrData* fk = o.FindConstraint("FK_CHILD");
    ASSERT_NE(fk, nullptr);
    EXPECT_EQ(fk->UpdateRule, c.row == 11 ? 0 : 4);
    EXPECT_EQ(fk->DeleteRule, c.row == 12 ? 0 : 2);
  }
}

// ---- Failures on the embedded engine ----

TEST(IBExtractFailures, MissingAndNonDatabaseFiles) {
  const std::string random = test::FreshTestFile("random.fdb");
  {
    std::ofstream out(random, std::ios::binary);
    for (int i = 0; i < 40000; ++i) out.put(static_cast<char>((i * 7919 + 13) % 251));
  }
  struct Case {
    const char* name;
    std::string path;
  } const cases[] = {
      {"missing file", test::FreshTestFile("missing.fdb")},
      {"random bytes", random},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExtractRun run;
    run.Embedded(c.path);
    EXPECT_FALSE(run.extract.ExtractDatabase());
    EXPECT_FALSE(run.connection.GetConnected());
    EXPECT_FALSE(run.connectionErrors.empty());  // the connection's own report
    ASSERT_FALSE(run.errors.empty());
    EXPECT_TRUE(run.extract.GetMsgManager()->HasErrors());
    EXPECT_EQ(run.Objs().Tables.Count(), 0);
  }
}

}  // namespace
}  // namespace qor
