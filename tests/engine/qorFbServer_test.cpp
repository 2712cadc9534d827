// The InterBase-client binding over TCP, against the Firebird server that
// scripts/fb-test-server.sh runs on 127.0.0.1:3050 for these suites (the
// CTest fixture "fbserver" starts it before them and stops it after).
#include "engine/qorDB_IBX.h"
#include "engine/qorDBEngine.h"
#include "tests/engine/qorFbConnectionTest.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

class FbServer : public FbConnectionTest {
 protected:
  FbServer() {
    TConnectionOptions& o = c.ConnectionOptions;
    o.HostName = test::kServerHost;
    o.Protocol = TQORProtocol::ptTCP;
    o.UserName = test::kServerUser;
    o.Password = test::ServerPassword();
  }
};

TEST_F(FbServer, CreatesAndReadsADatabaseOverTcp) {
  c.ConnectionOptions.DatabaseName = test::ServerDatabasePath("tcp");
  c.ConnectionOptions.Port = 3050;
  c.IBServerOptions.SetDBCharSet("UTF8");
  ASSERT_TRUE(c.CreateDatabase()) << (errors.empty() ? "" : errors.back());
  c.IBServerOptions.SetDBCharSet("");

  c.SetConnected(true);
  for (const std::string& e : errors) ADD_FAILURE() << e;
  ASSERT_TRUE(c.Connected());
  EXPECT_EQ(log.front(),
            "Connect to: '127.0.0.1/3050:" + c.ConnectionOptions.DatabaseName + "'...");
  EXPECT_EQ(c.IBServerOptions.GetDBCharSet(), "UTF8");
  const TIBDatabaseOptions& d = c.IBServerOptions.IBDatabaseOptions;
  EXPECT_TRUE(Contains(d.ServerImplementation, "Firebird/Linux")) << d.ServerImplementation;
  EXPECT_EQ(d.ODSMajorVersion, 12);
  // The services were asked at host/port, with the user's credentials.
  TIBServerProperties* svc =
      static_cast<TQORIBXDatabase*>(c.DatabaseObject())->IBServerProperties();
  EXPECT_EQ(svc->ServiceName(), "127.0.0.1/3050:service_mgr");
  EXPECT_FALSE(svc->Active());

  std::unique_ptr<TQORQuery> q = c.CreateQuery();
  q->GetSQL()->SetText(
      "select current_user, mon$remote_protocol from mon$attachments "
      "where mon$attachment_id = current_connection and rdb$get_context('SYSTEM', 'ENGINE_VERSION') "
      "starting with :V");
  q->ParamByName("V")->SetAsString("3.");
  q->Open();
  ASSERT_FALSE(q->Eof());
  EXPECT_EQ(TrimCtl(q->GetFields()->Fields(0)->AsString()), "SYSDBA");
  EXPECT_EQ(TrimCtl(q->GetFields()->Fields(1)->AsString()), "TCPv4");
  q.reset();
  c.SetConnected(false);
  EXPECT_EQ(events, (std::vector<std::string>{"AfterConnect", "AfterDisconnect"}));
}

TEST_F(FbServer, RefusedConnectsEndInTheErrorEventWithTheServerText) {
  // A database for the wrong-password case, created with the right one.
  const std::string existing = test::ServerDatabasePath("refused");
  c.ConnectionOptions.DatabaseName = existing;
  ASSERT_TRUE(c.CreateDatabase()) << (errors.empty() ? "" : errors.back());
  // The facts of this connection must not outlive a failed one.
  c.SetConnected(true);
  ASSERT_TRUE(c.Connected());
  ASSERT_FALSE(c.IBServerOptions.IBDatabaseOptions.Version.empty());
  c.SetConnected(false);

  struct Case {
    const char* name;
    std::string database;
    const char* password;
    int port;
    std::vector<const char*> text;
  };
  const Case cases[] = {
      {"wrong password",
       existing,
       "not-the-password",
       0,
       {"Your user name and password are not defined"}},
      {"missing database file",
       test::ServerDatabasePath("missing"),
       nullptr,
       0,
       {"I/O error", "missing-", "No such file or directory"}},
      {"closed port",
       existing,
       nullptr,
       3059,
       {"Unable to complete network request to host \"127.0.0.1\"",
        "Failed to establish a connection"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    errors.clear();
    events.clear();
    c.ConnectionOptions.DatabaseName = k.database;
    c.ConnectionOptions.Password = k.password ? k.password : test::ServerPassword();
    c.ConnectionOptions.Port = k.port;
    EXPECT_NO_THROW(c.SetConnected(true));
    EXPECT_FALSE(c.Connected());
    ASSERT_EQ(errors.size(), 1u);
    for (const char* part : k.text) EXPECT_TRUE(Contains(errors[0], part)) << errors[0];
    EXPECT_EQ(events, std::vector<std::string>{"AfterDisconnect"});
    EXPECT_TRUE(c.IBServerOptions.IBDatabaseOptions.Version.empty());
  }
}

}  // namespace
}  // namespace qor
