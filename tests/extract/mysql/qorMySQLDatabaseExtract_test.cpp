// The MySQL extractor on recorded replies (tests/data/extract/mysql/
// small.json, what MariaDB 10.11 answers for a small database), where a
// test holds the exact statements sent: names in back quotes, the name
// filter, the stop flag, the progress and the version gate. Matching is
// strict: a statement the fixture does not hold fails the run, and a
// fixture statement never asked for is reported. The live tests beside
// this file run the extractor on the suite's MariaDB server.
#include "extract/mysql/qorMySQLDatabaseExtract.h"

#include "engine/qorDBEngine.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/support/qorReplay.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The names of a list in key order.
template <class L>
std::vector<std::string> Names(const L& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Name(i));
  return out;
}

class ReplayRun {
 public:
  ReplayRun()
      : scope_(TconnectionType::cnADO,
               test::TReplayConnection::FromFile(
                   TconnectionType::cnADO, TDatabaseType::dbMySQL,
                   std::string(QOR_TEST_DATA_DIR) + "/extract/mysql/small.json")) {
    replay = static_cast<test::TReplayConnection*>(scope_.StandIn());
    connection.SetConnectionType(TconnectionType::cnADO);
    connection.SetDatabaseType(TDatabaseType::dbMySQL);
    connection.OnErrorMessage = [this](TObject*, const std::string& t) {
      connectionErrors.push_back(t);
    };
    extract.SetQORConnection(&connection);
    extract.SetDBStructure(&structure);
    // The fixture holds no CREATE text for the skip_me routines.
    extract.SetExcludeObjsNames("skip*");
    extract.OnLogNextLine = [this](TObject*, const std::string& t) { log.push_back(t); };
    extract.OnErrorMessage = [this](TObject*, const std::string& t) { errors.push_back(t); };
    extract.OnProgressUpdate = [this](TObject*, int p, int m) {
      progress.push_back(std::to_string(p) + "/" + std::to_string(m));
    };
  }
  TObjs& Objs() { return *structure.GetObjs(); }
  bool Logged(const std::string& line) const {
    for (const std::string& l : log)
      if (l == line) return true;
    return false;
  }

 private:
  test::TBindingScope scope_;

 public:
  test::TReplayConnection* replay = nullptr;
  TQORConnection connection;
  TDBStructure structure;
  TMySQLDBExtract extract;
  std::vector<std::string> log, errors, progress, connectionErrors;
};

// The statements sent are exactly the fixture's: every name in back
// quotes, a blank and a back quote (doubled) included; the filter keeps a
// refused routine from any SHOW CREATE; a view of any algorithm is a view,
// a sequence is nothing; with identifiers that ignore case the model names
// are upper-cased while the server is still asked in its own spelling; a
// routine's text holding "$$" is read whole.
TEST(MySQLExtract, SendsQuotedNamesInTheServersSpellingAndSkipsFilteredRoutines) {
  for (const bool caseSensitive : {true, false}) {
    SCOPED_TRACE(caseSensitive ? "case-sensitive" : "case-insensitive");
    ReplayRun run;
    run.Objs().MySQLServerOptions.MySQLCompareOptions.CaseSensitiveIdentifiers = caseSensitive;
    ASSERT_TRUE(run.extract.ExtractDatabase())
        << JoinLines(run.errors) << JoinLines(run.connectionErrors);
    EXPECT_THAT(run.errors, IsEmpty());
    EXPECT_THAT(run.replay->Mismatches(), IsEmpty());
    EXPECT_THAT(run.replay->UnusedStatements(), IsEmpty());
    EXPECT_FALSE(run.connection.Connected());

    TObjs& o = run.Objs();
    if (caseSensitive) {
      EXPECT_THAT(Names(o.Tables), ElementsAre("Mixed Case", "order", "tick`ed"));
      EXPECT_THAT(Names(o.Views), ElementsAre("v_merge", "v_temptable", "v_undefined"));
    } else {
      EXPECT_THAT(Names(o.Tables), ElementsAre("MIXED CASE", "ORDER", "TICK`ED"));
      EXPECT_THAT(Names(o.Views), ElementsAre("V_MERGE", "V_TEMPTABLE", "V_UNDEFINED"));
    }
    EXPECT_TRUE(run.Logged("Skipped: " + std::string(caseSensitive ? "seq_ids" : "SEQ_IDS") +
                           " (SEQUENCE)"));
    ASSERT_EQ(o.Procedures.Count(), 1);
    TPrcData& f = *o.Procedures.Value(0);
    EXPECT_TRUE(f.IsFunction);
    EXPECT_EQ(f.GetDescription(), "Doubles");
    EXPECT_EQ(f.InParams.Count(), 1);
    // "$$" in the text (in a name, in a comment) does not end it early.
    EXPECT_EQ(f.GetText(),
              "BEGIN\r\n  DECLARE twice$$ int DEFAULT x * 2;\r\n  # costs $$ here\r\n  RETURN "
              "twice$$;\r\nEND");
    ASSERT_EQ(o.Triggers.Count(), 1);
    TTrgData& t = *o.Triggers.Value(0);
    // The trigger names its table as the model does, and finds it.
    EXPECT_EQ(t.GetTableName(), caseSensitive ? "Mixed Case" : "MIXED CASE");
    EXPECT_NE(o.FindTable(t.GetTableName()), nullptr);
    EXPECT_EQ(t.Timing, 1);
    EXPECT_EQ(t.Events, 2);
  }
}

// Progress counts the steps it reports and ends full; a stop after the
// first step ends the run false, before any routine is read and before the
// dependencies are linked.
TEST(MySQLExtract, ProgressCountsItsStepsAndAStopEndsTheRunFalse) {
  {
    ReplayRun run;
    ASSERT_TRUE(run.extract.ExtractDatabase())
        << JoinLines(run.errors) << JoinLines(run.connectionErrors);
    EXPECT_THAT(run.progress, ElementsAre("0/10", "1/10", "2/10", "3/10", "4/10", "5/10", "6/10",
                                          "7/10", "8/10", "9/10", "10/10"));
    EXPECT_EQ(run.extract.Position, run.extract.Max);
    EXPECT_EQ(run.extract.Parser(), nullptr);
  }
  {
    ReplayRun run;
    run.extract.OnProgressUpdate = [&run](TObject*, int p, int m) {
      run.progress.push_back(std::to_string(p) + "/" + std::to_string(m));
      if (p == 1) StopRequested = true;
    };
    EXPECT_FALSE(run.extract.ExtractDatabase());
    StopRequested = false;
    EXPECT_THAT(run.progress, ElementsAre("0/10", "1/10"));
    EXPECT_TRUE(run.Logged("Extraction stopped."));
    EXPECT_FALSE(run.Logged("Extracting procedures..."));
    EXPECT_FALSE(run.Logged("Linking dependencies..."));
    EXPECT_FALSE(run.connection.Connected());
    EXPECT_EQ(run.Objs().Tables.Count(), 3);
  }
}

// A server before 5.0 has no routines and no triggers to read; their steps
// still count.
TEST(MySQLExtract, BeforeVersion5NoRoutineOrTriggerIsRead) {
  ReplayRun run;
  run.Objs().MySQLServerOptions.SQLServerVersion = TMySQLServerVersionType::st_MySQL_4x;
  ASSERT_TRUE(run.extract.ExtractDatabase())
      << JoinLines(run.errors) << JoinLines(run.connectionErrors);
  EXPECT_EQ(run.Objs().Procedures.Count(), 0);
  EXPECT_EQ(run.Objs().Triggers.Count(), 0);
  EXPECT_EQ(run.progress.size(), 11u);
  std::vector<std::string> unused = run.replay->UnusedStatements();
  EXPECT_EQ(unused.size(), 3u);  // the routines, one SHOW CREATE FUNCTION, SHOW TRIGGERS
}

}  // namespace
}  // namespace qor
