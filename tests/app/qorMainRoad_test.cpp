// The user's own path, end to end: the window with nothing set but its
// settings file extracts a Firebird 3 database, "Extract metadata" writes
// the script, isql-fb replays it into a fresh database, and the engine's
// own `isql-fb -x` of source and replay must agree line for line, in
// order; the privileges of both must be the same rows; extracting the
// replay again must give the same script.
#include "app/Unit1.h"

#include "platform/qorStrings.h"
#include "tests/extract/qorIBExtractFixture.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorTestEnv.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace qor {
namespace {

const char* kFinished = "< Extracting finished. >";

std::string IniFor(const std::string& database) {
  const std::string path = test::FreshTestFile("Quorvane.Ini");
  std::ofstream(path, std::ios::binary) << "[Databases]\r\nDatabaseTypeM=1\r\nDBNameM=" << database
                                        << "\r\nHostNameM=\r\nUserNameM=SYSDBA\r\nPasswordM=x\r\n"
                                           "WinAuthenticationM=0\r\nTableNameM=\r\n";
  return path;
}

struct TWindowRun {
  bool finished = false;
  std::string log, script;
};

// "Extract database", then "Extract metadata", as a user presses them.
TWindowRun ThroughTheWindow(const std::string& database) {
  TForm1 f(IniFor(database));
  f.show();
  f.BtnExtractDb->click();
  TWindowRun r;
  r.log = f.MemoLog->toPlainText().toStdString();
  const std::vector<std::string> log = SplitLines(r.log);
  r.finished = !log.empty() && log.back() == kFinished;
  if (!r.finished || !f.BtnTessarind->isEnabled()) return r;
  f.BtnTessarind->click();
  r.script = f.MemoScript->toPlainText().toStdString();
  return r;
}

// A line that may differ between two texts, and why.
struct TExpectedDifference {
  const char* Text;
  const char* Reason;
};

bool Explained(const std::string& line, const std::vector<TExpectedDifference>& known) {
  return std::any_of(known.begin(), known.end(), [&](const TExpectedDifference& d) {
    return line.find(d.Text) != std::string::npos;
  });
}

// The first place where the two texts part, line for line and in order,
// with a few lines around it; "" when they agree. Lines a known difference
// explains are compared only for their presence on both sides.
std::string FirstDifference(const std::string& a, const std::string& b,
                            const std::vector<TExpectedDifference>& known) {
  const std::vector<std::string> la = SplitLines(a), lb = SplitLines(b);
  const std::size_t n = std::max(la.size(), lb.size());
  for (std::size_t i = 0; i < n; ++i) {
    const std::string x = i < la.size() ? la[i] : "<end>";
    const std::string y = i < lb.size() ? lb[i] : "<end>";
    if (x == y || (Explained(x, known) && Explained(y, known))) continue;
    std::string out = "line " + std::to_string(i + 1) + ":\n";
    for (std::size_t j = i >= 3 ? i - 3 : 0; j < std::min(n, i + 4); ++j) {
      out += "  source: " + (j < la.size() ? la[j] : "<end>") + "\n";
      out += "  replay: " + (j < lb.size() ? lb[j] : "<end>") + "\n";
    }
    return out;
  }
  return "";
}

// `isql-fb -x` lists the check constraints sorted by their names, and the
// engine names the unnamed ones from a counter the replay runs anew: the
// checks are compared as one sorted block where the first of them stands.
std::string ChecksInOneSortedBlock(const std::string& text) {
  const std::vector<std::string> lines = SplitLines(text);
  std::vector<std::string> checks, rest;
  std::size_t at = std::string::npos;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool check = i + 1 < lines.size() && lines[i].rfind("ALTER TABLE ", 0) == 0 &&
                       lines[i + 1].find("CHECK") != std::string::npos;
    if (!check) {
      rest.push_back(lines[i]);
      continue;
    }
    if (at == std::string::npos) at = rest.size();
    checks.push_back(lines[i] + "\n" + lines[i + 1]);
    ++i;
  }
  std::sort(checks.begin(), checks.end());
  if (at != std::string::npos) rest.insert(rest.begin() + at, checks.begin(), checks.end());
  std::string out;
  for (const std::string& l : rest) out += l + "\n";
  return out;
}

std::string IsqlExtract(const std::string& database) {
  const test::TFirebirdReplayResult x = test::ExtractFirebirdDDL(database);
  EXPECT_TRUE(x.Ok) << x.Errors;
  return ChecksInOneSortedBlock(x.Output);
}

// Every privilege row, grantor included, as the engine holds it, but for
// those on the engine's own objects and implicit domains ("RDB$12"), whose
// names the engine makes anew in each database.
std::string Privileges(const std::string& database) {
  std::string rows;
  for (const test::TPrivilegeRow& r : test::ReadPrivileges(database)) {
    const std::string& on = r.relation;
    if (on.rfind("RDB$", 0) == 0 || on.rfind("MON$", 0) == 0 || on.rfind("SEC$", 0) == 0) continue;
    rows += r.Text() + "\n";
  }
  return rows;
}

// What may differ between `isql-fb -x` of the source and of the replay.
const std::vector<TExpectedDifference> kIsqlDifferences = {
    {"CREATE DATABASE '", "the database file name"},
};

// What may differ between the scripts of the source and of the replay.
const std::vector<TExpectedDifference> kScriptDifferences = {
    {"CREATE DATABASE '", "the database file name"},
    // The engine numbers unnamed constraints from one counter that the NOT
    // NULL constraints share, so the numbers of a replay differ; the order
    // of the constraints stays and is compared.
    {"/* INTEG_", "the engine names unnamed constraints anew in each database"},
};

void MainRoad(const std::string& source, const char* replayName) {
  const TWindowRun first = ThroughTheWindow(source);
  ASSERT_TRUE(first.finished) << first.log;
  ASSERT_FALSE(first.script.empty());

  const std::string replayed = test::FreshTestFile(replayName);
  const test::TFirebirdReplayResult r =
      test::BuildFirebirdDatabase(replayed, test::WithoutDatabaseHeader(first.script));
  ASSERT_TRUE(r.Ok) << r.Errors << "\n" << first.script;

  EXPECT_EQ(FirstDifference(IsqlExtract(source), IsqlExtract(replayed), kIsqlDifferences), "");
  EXPECT_EQ(Privileges(source), Privileges(replayed));

  const TWindowRun second = ThroughTheWindow(replayed);
  ASSERT_TRUE(second.finished) << second.log;
  EXPECT_EQ(FirstDifference(first.script, second.script, kScriptDifferences), "");
}

TEST(MainRoad, EveryKindDatabaseReplaysAsItWas) {
  std::string why;
  const std::string db = test::EveryKindDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  MainRoad(db, "main_road_every_kind.fdb");
}

TEST(MainRoad, EmployeeSampleReplaysAsItWas) {
  std::string why;
  const std::string db = test::EmployeeDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  MainRoad(db, "main_road_employee.fdb");
}

// The script names each column's character set where the database default
// would give another: replayed into a database of another default, every
// table is still built.
TEST(MainRoad, ReplaysIntoADatabaseOfAnotherDefaultCharacterSet) {
  std::string why;
  const std::string db = test::EveryKindDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  const TWindowRun run = ThroughTheWindow(db);
  ASSERT_TRUE(run.finished) << run.log;
  for (const char* charset : {"UTF8", "WIN1252"}) {
    SCOPED_TRACE(charset);
    test::TFirebirdReplayOptions options;
    options.CharSet = charset;
    const std::string replayed = test::FreshTestFile("main_road_charset.fdb");
    const test::TFirebirdReplayResult r =
        test::BuildFirebirdDatabase(replayed, test::WithoutDatabaseHeader(run.script), {}, options);
    ASSERT_TRUE(r.Ok) << r.Errors;
  }
}

}  // namespace
}  // namespace qor
