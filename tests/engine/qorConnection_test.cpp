// The connection component and the binding registry. The MS SQL, MySQL and
// Oracle cases cannot reach a real server here: they run on recorded rows
// through the replay binding, standing in for the binding of their type.
#include "engine/qorDBEngine.h"
#include "base/qorMsgMngr.h"
#include "tests/engine/qorConnectionRecorder.h"
#include "tests/support/qorReplay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

std::string Fixture(const char* name) { return std::string(QOR_TEST_DATA_DIR) + "/replay/" + name; }

using test::Recorder;

// A binding that says when it is freed.
class TProbeBinding : public TQORAbstractConnection {
 public:
  explicit TProbeBinding(bool* freed)
      : TQORAbstractConnection(TDatabaseType::dbInterBase, TconnectionType::cnIBX, {}),
        freed_(freed) {}
  ~TProbeBinding() override { *freed_ = true; }

 private:
  bool* freed_;
};

// ------------------------------------------------------------------ registry

TEST(Registry, IBXIsRegisteredAtStartUpAndASecondRegistrationIsRefused) {
  TConnectionRegistry* list = RegisteredConnections();
  ASSERT_NE(list, nullptr);
  TQORAbstractConnection* ibx = list->FindObject("IBX");
  ASSERT_NE(ibx, nullptr);
  EXPECT_STREQ(ibx->ClassName(), "TConnectionIBX");
  EXPECT_EQ(ibx->ConnectionType(), TconnectionType::cnIBX);
  EXPECT_EQ(TQORCustomConnection::FindRegisteredConnection(TconnectionType::cnIBX), ibx);

  bool freed = false;
  const int before = list->Count();
  EXPECT_FALSE(RegisterConnection("ibx", std::make_unique<TProbeBinding>(&freed)));
  EXPECT_TRUE(freed);
  EXPECT_EQ(list->Count(), before);
  EXPECT_EQ(list->FindObject("IBX"), ibx);
}

TEST(Registry, AnUnregisteredTypeRaisesTheErrorNamingTheUnitAndKeepsTheState) {
  TQORConnection c;
  c.SetConnectionType(TconnectionType::cnIBX);
  TQORDatabase* db = c.DatabaseObject();
  ASSERT_NE(db, nullptr);
  try {
    c.SetConnectionType(TconnectionType::cnFIB);
    FAIL() << "no exception";
  } catch (const EQorError& e) {
    EXPECT_EQ(std::string(e.what()),
              "\r\nNot supported connection select.\r\n"
              "Include unit \"qorConnection_FIBDB\" in Your project (app/main.cpp).\r\n"
              "Uses qorConnection_FIBDB;\r\n");
  }
  EXPECT_EQ(c.ConnectionType(), TconnectionType::cnIBX);
  EXPECT_EQ(c.DatabaseObject(), db);
  EXPECT_EQ(TQORCustomConnection::GetConnectionUnitName(TconnectionType::cnUniDAC),
            "qorConnection_XXXDB");
}

TEST(Registry, SelectingTheSameTypeTwiceKeepsTheDatabaseObject) {
  TQORConnection c;
  c.SetConnectionType(TconnectionType::cnIBX);
  TQORDatabase* db = c.DatabaseObject();
  c.SetConnectionType(TconnectionType::cnIBX);
  EXPECT_EQ(c.DatabaseObject(), db);
  EXPECT_EQ(db->Connection(), &c);
}

TEST(Registry, TheBindingReportsToTheConnectionThatSelectedItLast) {
  TQORConnection first, second;
  Recorder r1(first), r2(second);
  first.SetConnectionType(TconnectionType::cnIBX);
  second.SetConnectionType(TconnectionType::cnIBX);
  TQORAbstractConnection* ibx = second.Binding();
  ASSERT_EQ(first.Binding(), ibx);
  ibx->DoErrorMessage("binding error");
  EXPECT_TRUE(r1.errors.empty());
  ASSERT_EQ(r2.errors.size(), 1u);
  EXPECT_EQ(r2.errorSenders[0], ibx);
}

TEST(Registry, ABindingOutlivesNoConnection) {
  auto c = std::make_unique<TQORConnection>();
  c->SetConnectionType(TconnectionType::cnIBX);
  TQORAbstractConnection* ibx = c->Binding();
  EXPECT_EQ(ibx->OwningConnection(), c.get());
  c.reset();
  EXPECT_EQ(ibx->OwningConnection(), nullptr);
  // Reported through the message box now, not to a freed connection.
  std::vector<std::string> shown;
  TUIHookGuard guard([&](const std::string& t) { shown.push_back(t); });
  ibx->DoErrorMessage("nobody listens");
  EXPECT_EQ(shown, std::vector<std::string>{"nobody listens"});
}

// ----------------------------------------------------------- base classes

TEST(Connection, BaseClassesDoNothingAndSayWhat) {
  TQORQuery q;
  EXPECT_TRUE(q.Eof());
  EXPECT_TRUE(q.GetParamCheck());
  EXPECT_EQ(q.FieldByName("X"), nullptr);
  EXPECT_EQ(q.GetSQL(), nullptr);
  EXPECT_FALSE(q.GetActive());

  TQORCustomConnection base;
  Recorder r(base);
  EXPECT_FALSE(base.CreateDatabase());
  EXPECT_EQ(r.errors,
            std::vector<std::string>{"CREATE DATABASE not implemented (TQORCustomConnection)."});
  EXPECT_TRUE(base.GetSupportedDatabases().Empty());

  // No binding: nothing connects, no query, no database.
  TQORConnection c;
  Recorder rc(c);
  c.SetConnected(true);
  EXPECT_FALSE(c.Connected());
  EXPECT_EQ(c.CreateQuery(), nullptr);
  EXPECT_FALSE(c.CreateDatabase());
  EXPECT_TRUE(rc.events.empty());
  EXPECT_TRUE(rc.errors.empty());

  std::vector<std::string> shown;
  TUIHookGuard guard([&](const std::string& t) { shown.push_back(t); });
  TQORCustomConnection silent;
  silent.DoErrorMessage("to the message box");
  EXPECT_EQ(shown, std::vector<std::string>{"to the message box"});
}

TEST(Connection, SupportedSets) {
  TQORConnection c;
  const TDatabaseSetType db = c.SupportedDatabases();
  EXPECT_EQ(db.Count(), 10u);
  EXPECT_TRUE(db.Contains(TDatabaseType::dbInterBase));
  EXPECT_TRUE(db.Contains(TDatabaseType::dbSybaseASE));
  EXPECT_TRUE(db.Contains(TDatabaseType::dbDBASE));
  EXPECT_FALSE(db.Contains(TDatabaseType::dbPervasiveSQL));
  EXPECT_FALSE(db.Contains(TDatabaseType::dbCustomOLEDB));
  const TConnectionSetType cn = c.SupportedConnections();
  EXPECT_EQ(cn.Count(), 14u);
  EXPECT_FALSE(cn.Contains(TconnectionType::cnAbstract));
  EXPECT_FALSE(cn.Contains(TconnectionType::cnUIB));
  EXPECT_FALSE(cn.Contains(TconnectionType::cnUniDAC));
}

TEST(Connection, AssignCopiesTypesAndOptions) {
  TQORConnection a, b;
  a.SetConnectionType(TconnectionType::cnIBX);
  a.SetDatabaseType(TDatabaseType::dbInterBase);
  a.ConnectionOptions.HostName = "srv";
  a.IBServerOptions.SetDBCharSet("win1252");
  a.MSSQLServerOptions.Collation = "Latin1";
  b.Assign(a);
  EXPECT_EQ(b.ConnectionType(), TconnectionType::cnIBX);
  EXPECT_NE(b.DatabaseObject(), nullptr);
  EXPECT_EQ(b.Binding()->DatabaseType(), TDatabaseType::dbInterBase);
  EXPECT_EQ(b.ConnectionOptions.HostName, "srv");
  EXPECT_EQ(b.IBServerOptions.GetDBCharSet(), "WIN1252");
  EXPECT_EQ(b.MSSQLServerOptions.Collation, "Latin1");
}

TEST(Connection, ConnectStringAndItsLogLine) {
  struct Case {
    const char* name;
    TDatabaseType type;
    const char* host;
    int port;
    TQORProtocol protocol;
    const char* path;
  };
  const Case cases[] = {
      {"TCP with a port", TDatabaseType::dbInterBase, "srv", 3051, TQORProtocol::ptTCP,
       "srv/3051:/db/x.fdb"},
      {"TCP without a port", TDatabaseType::dbInterBase, "srv", 0, TQORProtocol::ptTCP,
       "srv:/db/x.fdb"},
      {"local with a host", TDatabaseType::dbInterBase, "srv", 0, TQORProtocol::ptLocal,
       "srv:/db/x.fdb"},
      {"named pipe", TDatabaseType::dbInterBase, "srv", 3051, TQORProtocol::ptNamedPipe,
       "\\\\srv\\/db/x.fdb"},
      {"SPX", TDatabaseType::dbInterBase, "srv", 3051, TQORProtocol::ptSPX, "srv@/db/x.fdb"},
      {"no host", TDatabaseType::dbInterBase, "", 3051, TQORProtocol::ptTCP, "/db/x.fdb"},
      {"MS SQL keeps the bare name", TDatabaseType::dbMSSQL, "srv", 3051, TQORProtocol::ptTCP,
       "/db/x.fdb"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TQORCustomConnection c;
    c.SetDatabaseType(k.type);
    c.ConnectionOptions.HostName = k.host;
    c.ConnectionOptions.Port = k.port;
    c.ConnectionOptions.Protocol = k.protocol;
    c.ConnectionOptions.DatabaseName = "/db/x.fdb";
    EXPECT_EQ(c.GetConnectString(), k.path);
  }

  TQORCustomConnection c;
  Recorder r(c);
  c.SetDatabaseType(TDatabaseType::dbInterBase);
  c.ConnectionOptions.HostName = "srv";
  c.ConnectionOptions.Port = 3051;
  c.ConnectionOptions.DatabaseName = "/db/it's.fdb";
  c.DoBeforeConnect();
  EXPECT_EQ(r.log, std::vector<std::string>{"Connect to: 'srv/3051:/db/it''s.fdb'..."});
  EXPECT_EQ(r.events, std::vector<std::string>{"BeforeConnect"});

  // Nothing to connect to: no line.
  TQORCustomConnection empty;
  Recorder re(empty);
  empty.DoBeforeConnect();
  EXPECT_TRUE(re.log.empty());
}

TEST(Connection, AnUnsupportedDatabaseTypeDoesNotOpen) {
  TQORConnection c;
  Recorder r(c);
  c.SetConnectionType(TconnectionType::cnIBX);
  c.SetDatabaseType(TDatabaseType::dbMSSQL);
  c.ConnectionOptions.DatabaseName = "/nonexistent/never-opened.fdb";
  c.SetConnected(true);
  EXPECT_FALSE(c.Connected());
  EXPECT_EQ(r.errors, std::vector<std::string>{"Not supported DatabaseType select."});
  EXPECT_EQ(r.events, (std::vector<std::string>{"BeforeConnect", "AfterDisconnect"}));
  r.errors.clear();
  EXPECT_FALSE(c.CreateDatabase());
  EXPECT_EQ(r.errors, std::vector<std::string>{"Not supported DatabaseType select."});
}

TEST(Connection, AQueryLosesItsDatabaseObjectWhenTheBindingChanges) {
  TQORConnection c;
  c.SetConnectionType(TconnectionType::cnIBX);
  std::unique_ptr<TQORQuery> q = c.CreateQuery();
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->Connection(), &c);
  EXPECT_EQ(q->Database(), c.DatabaseObject());
  test::TBindingScope scope(
      TconnectionType::cnADO,
      std::make_unique<test::TReplayConnection>(TconnectionType::cnADO, TDatabaseType::dbMSSQL,
                                                test::TReplayScript{}));
  c.SetConnectionType(TconnectionType::cnADO);
  EXPECT_EQ(q->Database(), nullptr);
  q->GetSQL()->SetText("select 1 from rdb$database");
  EXPECT_THROW(q->Open(), EQorError);
  c.SetConnectionType(TconnectionType::cnIBX);
  q.reset();
}

// ------------------------------------------------ server descriptions (replay)

// Connects a connection of `type` to the replay of `fixture`, standing in
// for the ADO binding.
struct ReplayCase {
  ReplayCase(TDatabaseType type, const char* fixture)
      : scope(TconnectionType::cnADO,
              test::TReplayConnection::FromFile(TconnectionType::cnADO, type, Fixture(fixture))),
        replay(static_cast<test::TReplayConnection*>(scope.StandIn())),
        events(connection) {
    connection.SetConnectionType(TconnectionType::cnADO);
    connection.SetDatabaseType(type);
  }
  test::TBindingScope scope;
  test::TReplayConnection* replay;
  TQORConnection connection;
  Recorder events;
};

TEST(ServerInfoReplay, MSSQLDescriptionQuotesTheDatabaseName) {
  ReplayCase rc(TDatabaseType::dbMSSQL, "mssql_server_info.json");
  TQORConnection& c = rc.connection;
  c.ConnectionOptions.DatabaseName = "my ]db's";
  EXPECT_EQ(c.GetServerInfo(/*brief=*/false), "");  // not connected: no statement
  c.SetConnected(true);
  ASSERT_TRUE(c.Connected());
  EXPECT_TRUE(rc.events.errors.empty());
  const std::string head =
      "Microsoft SQL Server [Developer Edition (64-bit)]  v.15.0.2000.5 (RTM)\r\n"
      "Default collation: SQL_Latin1_General_CP1_CI_AS\r\n"
      "Language: English (United States)";
  EXPECT_EQ(rc.events.log,
            (std::vector<std::string>{"Connect to: 'my ]db''s'...", "Server version: " + head}));
  // The brief text never asked for the database details.
  EXPECT_EQ(rc.replay->UnusedStatements().size(), 1u);

  EXPECT_EQ(c.GetServerInfo(/*brief=*/false),
            head +
                "\r\nDatabase: my ]db's\r\nOwner   : sa\r\nSize    : 16.00 MB\r\n"
                "Created : Dec 10 2026\r\nOptions : Status=ONLINE");
  EXPECT_TRUE(rc.replay->UnusedStatements().empty());
  EXPECT_TRUE(rc.replay->Mismatches().empty());
}

TEST(ServerInfoReplay, MSSQLWithoutADatabaseNameStaysInMaster) {
  ReplayCase rc(TDatabaseType::dbMSSQL, "mssql_server_info.json");
  rc.connection.SetConnected(true);
  ASSERT_TRUE(rc.connection.Connected());
  std::string text;
  EXPECT_NO_THROW(text = rc.connection.GetServerInfo(/*brief=*/false));
  EXPECT_EQ(text.find("Database:"), std::string::npos);
  EXPECT_TRUE(rc.replay->Mismatches().empty());
  // Neither the database details nor a change of database were asked for.
  const std::vector<std::string> unused = rc.replay->UnusedStatements();
  ASSERT_EQ(unused.size(), 2u);
  EXPECT_NE(unused[0].find("sp_helpdb"), std::string::npos);
  EXPECT_NE(unused[1].find("Use [my ]]db's]"), std::string::npos);
}

TEST(ServerInfoReplay, AFailedAfterConnectStatementClosesTheConnection) {
  ReplayCase rc(TDatabaseType::dbMySQL, "mysql_charset_fails.json");
  rc.connection.MySQLServerOptions.CharSet = "utf8x";
  EXPECT_NO_THROW(rc.connection.SetConnected(true));
  EXPECT_FALSE(rc.connection.Connected());
  EXPECT_EQ(rc.events.errors, std::vector<std::string>{"Unknown character set: 'utf8x'"});
  EXPECT_EQ(rc.events.log,
            (std::vector<std::string>{"Server version: MySQL 8.0.36", "SET CHARACTER SET utf8x"}));
  EXPECT_EQ(rc.events.events, (std::vector<std::string>{"BeforeConnect", "AfterDisconnect"}));
}

TEST(ServerInfoReplay, AFailedOracleSchemaSwitchIsReportedAndTheConnectionStays) {
  ReplayCase rc(TDatabaseType::dbOracle, "oracle_schema_fails.json");
  TConnectionOptions& o = rc.connection.ConnectionOptions;
  o.DatabaseName = "HR";
  o.HostName = "orahost";
  o.UserName = "system";
  rc.connection.SetConnected(true);
  EXPECT_TRUE(rc.connection.Connected());
  EXPECT_EQ(rc.events.errors,
            std::vector<std::string>{
                "ORA-01435: user does not exist\r\nALTER SESSION SET CURRENT_SCHEMA = HR"});
  EXPECT_EQ(rc.events.log,
            (std::vector<std::string>{
                "Connect to: 'HR'...",
                "Server version: Oracle Database 19c Enterprise Edition Release 19.0.0.0.0\r\n"
                "PL/SQL Release 19.0.0.0.0 - Production",
                "ALTER SESSION SET CURRENT_SCHEMA = HR"}));
  EXPECT_EQ(rc.events.events, (std::vector<std::string>{"BeforeConnect", "AfterConnect"}));
  rc.connection.SetConnected(false);
  EXPECT_EQ(rc.events.events.back(), "AfterDisconnect");
}

// ----------------------------------------------------------- replay itself

TEST(Replay, ServesRowsByTextAndParametersAndNamesTheNearestOnAMiss) {
  // DB2: no statements of its own at connect.
  ReplayCase rc(TDatabaseType::dbDB2, "catalog_lookup.json");
  rc.connection.SetConnected(true);
  ASSERT_TRUE(rc.connection.Connected());
  std::unique_ptr<TQORQuery> q = rc.connection.CreateQuery();
  q->GetSQL()->Add("select a");
  q->GetSQL()->Add("from t");
  q->GetSQL()->Add("where x = :X");
  q->ParamByName("X")->SetAsInteger(1);
  q->Open();
  ASSERT_FALSE(q->Eof());
  EXPECT_EQ(q->FieldByName("a")->AsString(), "first");
  q->Next();
  EXPECT_TRUE(q->FieldByName("A")->IsNull());
  q->Next();
  EXPECT_TRUE(q->Eof());
  q->Close();

  q->ParamByName("X")->SetAsInteger(2);
  try {
    q->Open();
    FAIL() << "no exception";
  } catch (const EQorError& e) {
    EXPECT_NE(
        std::string(e.what()).find("fixture statement #1, the same text with parameters [X=1]"),
        std::string::npos)
        << e.what();
  }
  q->GetSQL()->SetText("select bb from t");
  try {
    q->Open();
    FAIL() << "no exception";
  } catch (const EQorError& e) {
    EXPECT_NE(std::string(e.what()).find(
                  "Nearest: fixture statement #2, first difference at character 9"),
              std::string::npos)
        << e.what();
  }
  EXPECT_EQ(rc.replay->Mismatches().size(), 2u);
  const std::vector<std::string> unused = rc.replay->UnusedStatements();
  ASSERT_EQ(unused.size(), 2u);
  EXPECT_EQ(unused[0].rfind("#2: select b from t", 0), 0u);
}

TEST(Replay, AFixtureWithAConnectErrorFailsTheConnect) {
  test::TReplayScript script;
  script.ConnectError = "Login failed for user 'sa'.";
  test::TBindingScope scope(TconnectionType::cnADO,
                            std::make_unique<test::TReplayConnection>(
                                TconnectionType::cnADO, TDatabaseType::dbMSSQL, script));
  TQORConnection c;
  Recorder r(c);
  c.SetConnectionType(TconnectionType::cnADO);
  c.SetDatabaseType(TDatabaseType::dbMSSQL);
  c.SetConnected(true);
  EXPECT_FALSE(c.Connected());
  EXPECT_EQ(r.errors, std::vector<std::string>{"Login failed for user 'sa'."});
  EXPECT_EQ(r.events, (std::vector<std::string>{"BeforeConnect", "AfterDisconnect"}));
}

TEST(Replay, ABrokenFixtureFileIsReportedWithItsName) {
  EXPECT_THROW(test::TReplayScript::Load(Fixture("no_such_file.json")), EQorError);
  const std::string bad = ::testing::TempDir() + "/bad_fixture.json";
  {
    FILE* f = std::fopen(bad.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("{\"statements\": [{\"sql\": \"x\", \"columns\": [\"A\"], \"rows\": [[1, 2]]}]}", f);
    std::fclose(f);
  }
  try {
    test::TReplayScript::Load(bad);
    FAIL() << "no exception";
  } catch (const EQorError& e) {
    EXPECT_NE(std::string(e.what()).find("statement #1: a row has 2 values for 1 columns"),
              std::string::npos)
        << e.what();
  }
}

}  // namespace
}  // namespace qor
