// The InterBase/Firebird extractor through the suite's Firebird server on
// 127.0.0.1:3050 (CTest fixture "fbserver"): the employee sample over TCP,
// a refused login, and the server dropping the extractor's attachment in
// the middle of a run.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "tests/extract/qorIBExtractFixture.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorModelDump.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace qor {
namespace {

using test::ExtractRun;

// The employee sample on the server, built once per process.
const std::string& ServerEmployee(std::string& error) {
  static std::string path, failure;
  static bool done = false;
  if (!done) {
    done = true;
    const std::string file = test::ServerDatabasePath("employee");
    const test::TFirebirdReplayResult r =
        test::BuildFirebirdDatabase(std::string(test::kServerHost) + "/3050:" + file,
                                    test::EmployeeSampleScript(), test::ServerPassword());
    if (r.Ok) path = file;
    else failure = r.Errors;
  }
  error = failure;
  return path;
}

TEST(FbServerExtract, EmployeeSampleOverTcpReadsAsTheEngineHoldsIt) {
  std::string why;
  const std::string db = ServerEmployee(why);
  ASSERT_FALSE(db.empty()) << why;
  ExtractRun run;
  run.Server(db, test::ServerPassword());
  TQORConnection reader;
  reader.SetConnectionType(TconnectionType::cnIBX);
  reader.SetDatabaseType(TDatabaseType::dbInterBase);
  reader.Assign(run.connection);
  const test::TCatalog catalog = test::ReadCatalog(reader);
  ASSERT_EQ(catalog.tables.size(), 10u);

  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  EXPECT_TRUE(run.errors.empty());
  EXPECT_FALSE(run.connection.GetConnected());
  test::ExpectMatchesCatalog(run.Objs(), catalog);
}

TEST(FbServerExtract, WrongPasswordFailsCleanly) {
  std::string why;
  const std::string db = ServerEmployee(why);
  ASSERT_FALSE(db.empty()) << why;
  ExtractRun run;
  run.Server(db, "not-the-password");
  EXPECT_FALSE(run.extract.ExtractDatabase());
  EXPECT_FALSE(run.connection.GetConnected());
  ASSERT_FALSE(run.connectionErrors.empty());
  EXPECT_NE(run.connectionErrors[0].find("password"), std::string::npos) << run.connectionErrors[0];
  ASSERT_FALSE(run.errors.empty());
  EXPECT_TRUE(run.extract.GetMsgManager()->HasErrors());
  EXPECT_EQ(run.Objs().Tables.Count(), 0);
}

// The server ends the attachment between two steps (as it does when it is
// shut down or an administrator disconnects it): the next catalog query
// fails, the run reports it and ends closed, keeping what it read.
TEST(FbServerExtract, AttachmentDroppedBetweenStepsEndsTheRun) {
  std::string why;
  const std::string db = ServerEmployee(why);
  ASSERT_FALSE(db.empty()) << why;
  ExtractRun run;
  run.Server(db, test::ServerPassword());
  TQORConnection admin;
  admin.SetConnectionType(TconnectionType::cnIBX);
  admin.SetDatabaseType(TDatabaseType::dbInterBase);
  admin.Assign(run.connection);
  bool dropped = false;
  run.extract.OnProgressStep = [&](TObject*, int mode, const std::string& caption, int, int) {
    if (mode != 0) return;
    run.steps.push_back(caption);
    if (caption != "Views" || dropped) return;
    dropped = true;
    std::unique_ptr<TQORQuery> own = run.connection.CreateQuery();
    own->GetSQL()->SetText("select current_connection from rdb$database");
    own->Open();
    const std::string id = own->GetFields()->Fields(0)->AsString();
    own->Close();
    admin.SetConnected(true);
    std::unique_ptr<TQORQuery> kill = admin.CreateQuery();
    kill->GetSQL()->SetText("delete from mon$attachments where mon$attachment_id = " + id);
    kill->ExecSQL();
    admin.Commit();
    admin.SetConnected(false);
  };
  EXPECT_FALSE(run.extract.ExtractDatabase());
  EXPECT_TRUE(dropped);
  EXPECT_FALSE(run.connection.GetConnected());
  ASSERT_FALSE(run.errors.empty());
  EXPECT_TRUE(run.extract.GetMsgManager()->HasErrors());
  EXPECT_EQ(std::find(run.steps.begin(), run.steps.end(), "Finished"), run.steps.end());
  EXPECT_EQ(run.Objs().Tables.Count(), 10);  // read before the drop
  EXPECT_EQ(run.Objs().Views.Count(), 0);

  // The same extractor and connection run again afterwards.
  run.extract.OnProgressStep = nullptr;
  run.errors.clear();
  EXPECT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  EXPECT_EQ(run.Objs().Views.Count(), 1);
}

// The every-kind fixture built on the server and read over TCP gives the
// model the embedded engine gives for the same script.
TEST(FbServerExtract, EveryKindOverTcpGivesTheEmbeddedModel) {
  std::string why;
  const std::string embedded = test::EveryKindDatabase(why);
  ASSERT_FALSE(embedded.empty()) << why;
  const std::string file = test::ServerDatabasePath("every_kind");
  const test::TFirebirdReplayResult built =
      test::BuildFirebirdDatabase(std::string(test::kServerHost) + "/3050:" + file,
                                  test::EveryKindScript(), test::ServerPassword());
  ASSERT_TRUE(built.Ok) << built.Errors;

  ExtractRun local, remote;
  local.Embedded(embedded);
  remote.Server(file, test::ServerPassword());
  for (ExtractRun* run : {&local, &remote}) {
    run->Objs().IBServerOptions.SQLServerVersion = TIBSQLServerVersionType::st_Firebird_30;
    ASSERT_TRUE(run->extract.ExtractDatabase()) << (run->errors.empty() ? "" : run->errors[0]);
    EXPECT_TRUE(run->errors.empty());
  }
  EXPECT_GT(remote.Objs().Procedures.Count(), 0);
  EXPECT_GT(remote.Objs().Grants.Count(), 0);
  EXPECT_EQ(test::DumpModel(remote.Objs()), test::DumpModel(local.Objs()));
}

}  // namespace
}  // namespace qor
