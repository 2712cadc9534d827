// The ADO binding: its registration, the connection string per database
// type with its masked form, and connecting through the real ODBC driver
// manager: SQLite's driver for queries and transactions, FreeTDS against a
// closed port and against a listener of our own that records the login the
// server receives, and MariaDB's driver against the suite's MariaDB server.
#include "engine/qorConnection_ADODB.h"
#include "engine/qorDB_ADO.h"

#include "platform/odbc/qorConnString.h"
#include "platform/qorStrings.h"
#include "tests/engine/qorConnectionRecorder.h"
#include "tests/support/qorODBCTestEnv.h"
#include "tests/support/qorServerReplay.h"
#include "tests/support/qorTDSListener.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

using DB = TDatabaseType;

using test::Recorder;

// ------------------------------------------------------------ registration

TEST(ADOBinding, IsRegisteredAndCreatesItsObjects) {
  TQORAbstractConnection* ado = RegisteredConnections()->FindObject("ADO");
  ASSERT_NE(ado, nullptr);
  EXPECT_STREQ(ado->ClassName(), "TConnectionADO");
  EXPECT_EQ(ado->ConnectionType(), TconnectionType::cnADO);
  EXPECT_EQ(TQORCustomConnection::FindRegisteredConnection(TconnectionType::cnADO), ado);
  EXPECT_EQ(ado->SupportedDatabases(),
            (TDatabaseSetType{DB::dbSybaseASA, DB::dbOracle, DB::dbMSSQL, DB::dbPostgreSQL,
                              DB::dbDB2, DB::dbSybaseASE, DB::dbCustomOLEDB}));

  TQORConnection c;
  Recorder r(c);
  c.SetDatabaseType(DB::dbSybaseASE);
  c.SetConnectionType(TconnectionType::cnADO);
  auto* db = dynamic_cast<TQORADODatabase*>(c.DatabaseObject());
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(db->ADOConnection()->IsolationLevel, TIsolationLevel::ilReadCommitted);
  EXPECT_EQ(db->ADOConnection()->CommandTimeout, 0);
  EXPECT_EQ(db->ADOConnection()->Mode, TConnectMode::cmReadWrite);
  std::unique_ptr<TQORQuery> q = c.CreateQuery();
  auto* adoQuery = dynamic_cast<TQORADOQuery*>(q.get());
  ASSERT_NE(adoQuery, nullptr);
  EXPECT_EQ(adoQuery->ADOQuery()->CursorLocation, TCursorLocation::clUseServer);
  EXPECT_EQ(adoQuery->ADOQuery()->CommandTimeout, 0);
  EXPECT_EQ(adoQuery->ADOQuery()->Connection(), db->ADOConnection());
  EXPECT_FALSE(q->GetActive());
  c.SetDatabaseType(DB::dbMSSQL);
  EXPECT_EQ(dynamic_cast<TQORADOQuery*>(c.CreateQuery().get())->ADOQuery()->CursorLocation,
            TCursorLocation::clUseClient);

  EXPECT_FALSE(c.CreateDatabase());
  EXPECT_EQ(r.errors,
            std::vector<std::string>{"CREATE DATABASE not implemented (TQORAbstractConnection)."});
}

// --------------------------------------------------------- connection strings

struct BuildCase {
  const char* name;
  DB type;
  std::string host, database;
  TQORProtocol protocol;
  int port;
  bool windowsAuth;
  std::string password, user;
  std::string expected;        // with the real password
  std::string expectedMasked;  // with the hide-password flag; empty: the same
};

TEST(ADOConnectionString, IsBuiltForEveryDatabaseType) {
  const auto tcp = TQORProtocol::ptTCP;
  const auto local = TQORProtocol::ptLocal;
  const BuildCase cases[] = {
      {"MS SQL, Windows authentication over TCP", DB::dbMSSQL, "srv", "sales", tcp, 0, true, "pw",
       "sa",
       "Provider=SQLOLEDB;Initial Catalog=sales;Data Source=srv;Network Library=DBMSSOCN;"
       "Integrated Security=SSPI;Persist Security Info=False;",
       ""},
      {"MS SQL, user and password, local", DB::dbMSSQL, "srv", "sales", local, 0, false, "pw", "sa",
       "Provider=SQLOLEDB;Initial Catalog=sales;Data Source=srv;Persist Security Info=True;User ID=sa;Password=pw;",
       "Provider=SQLOLEDB;Initial Catalog=sales;Data Source=srv;Persist Security Info=True;User ID=sa;"
       "Password=*******;"},
      {"MS SQL, nothing given", DB::dbMSSQL, "", "", local, 0, false, "", "",
       "Provider=SQLOLEDB;Initial Catalog=;Data Source=;Persist Security Info=True;", ""},
      {"ASA, host and database name", DB::dbSybaseASA, "asahost", "demo", tcp, 0, false, "sql",
       "dba",
       "Provider=ASAProv;Extended Properties=\"ServerName=asahost\";DBN=demo;User ID=dba;Password=sql;",
       "Provider=ASAProv;Extended Properties=\"ServerName=asahost\";DBN=demo;User ID=dba;Password=*******;"},
      {"ASA, database file", DB::dbSybaseASA, "", "C:\\data\\demo.db", tcp, 0, false, "", "dba",
       "Provider=ASAProv;DBF=C:\\data\\demo.db;User ID=dba;", ""},
      {"ASA, file name with extension only", DB::dbSybaseASA, "", "demo.db", tcp, 0, false, "", "",
       "Provider=ASAProv;DBF=demo.db;", ""},
      {"Oracle, host wins over database", DB::dbOracle, "orahost", "orcl", tcp, 0, false, "",
       "scott", "Provider=OraOLEDB.Oracle;Data Source=orahost;User ID=scott;", ""},
      {"Oracle, database without host", DB::dbOracle, "", "orcl", tcp, 0, false, "tiger", "scott",
       "Provider=OraOLEDB.Oracle;Data Source=orcl;User ID=scott;Password=tiger;",
       "Provider=OraOLEDB.Oracle;Data Source=orcl;User ID=scott;Password=*******;"},
      {"PostgreSQL", DB::dbPostgreSQL, "pghost", "pgdb", tcp, 5432, false, "", "",
       "Provider=PostgreSQL;Data Source=pghost;Location=pgdb;", ""},
      {"DB2, port 0 is 50000", DB::dbDB2, "db2host", "SAMPLE", tcp, 0, false, "", "",
       "Provider=IBMDADB2;Location=db2host:50000;Persist Security Info=True;Data Source=SAMPLE;",
       ""},
      {"DB2, port given", DB::dbDB2, "db2host", "", tcp, 50001, false, "", "",
       "Provider=IBMDADB2;Location=db2host:50001;Persist Security Info=True;", ""},
      {"ASE, empty password is written out", DB::dbSybaseASE, "asehost", "pubs2", tcp, 5000, false,
       "", "sa",
       "Provider=Sybase.ASEOLEDBProvider;Server Name=asehost,5000;Initial Catalog=pubs2;Optimize Prepare=Partial;"
       "Select Method=Direct;Raise Error Behavior=MS Compatible;Print Statement Behavior=MS Compatible;"
       "Extended ErrorInfo=FALSE;Stored Proc Row Count=Last Statement Only;User ID=sa;Password=\"\";",
       ""},
      {"Pervasive", DB::dbPervasiveSQL, "psqlhost", "DEMODATA", tcp, 0, false, "", "",
       "Provider=PervasiveOLEDB;Location=psqlhost;Data Source=DEMODATA;Persist Security Info=False;",
       ""},
      {"custom OLE DB: the database name is the whole string", DB::dbCustomOLEDB, "h",
       "Provider=X;Data Source=y;Password=z", tcp, 0, false, "pw", "sa",
       "Provider=X;Data Source=y;Password=z", ""},
      {"MS Access likewise", DB::dbMSAccess, "",
       "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a.mdb", tcp, 0, false, "pw", "sa",
       "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a.mdb", ""},
      {"MySQL: only the user and password pairs", DB::dbMySQL, "myhost", "db", tcp, 3306, false,
       "pw", "root", "User ID=root;Password=pw;", "User ID=root;Password=*******;"},
      // Values that would end a pair early are quoted.
      {"a password with ; cannot add keys", DB::dbMSSQL, "srv", "sales", local, 0, false,
       "a;b;Database=x", "sa",
       "Provider=SQLOLEDB;Initial Catalog=sales;Data Source=srv;Persist Security Info=True;User ID=sa;"
       "Password=\"a;b;Database=x\";",
       "Provider=SQLOLEDB;Initial Catalog=sales;Data Source=srv;Persist Security Info=True;User ID=sa;"
       "Password=*******;"},
      {"quotes, = and blanks", DB::dbMSSQL, "srv", " my db", local, 0, false, "=\"x'", "o\"brien",
       "Provider=SQLOLEDB;Initial Catalog=\" my db\";Data Source=srv;Persist Security Info=True;"
       "User ID='o\"brien';Password=\"=\"\"x'\";",
       "Provider=SQLOLEDB;Initial Catalog=\" my db\";Data Source=srv;Persist Security Info=True;"
       "User ID='o\"brien';Password=*******;"},
      {"ASA host with a quote inside the extended properties", DB::dbSybaseASA, "a\"b", "", tcp, 0,
       false, "", "", "Provider=ASAProv;Extended Properties=\"ServerName='a\"\"b'\";", ""},
  };
  for (const BuildCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string built =
        BuildADOConnectionString(c.type, c.host, c.database, c.protocol, c.port,
                                 /*HidePassword=*/false, c.windowsAuth, c.password, c.user);
    EXPECT_EQ(built, c.expected);
    const std::string masked =
        BuildADOConnectionString(c.type, c.host, c.database, c.protocol, c.port,
                                 /*HidePassword=*/true, c.windowsAuth, c.password, c.user);
    EXPECT_EQ(masked, c.expectedMasked.empty() ? c.expected : c.expectedMasked);
    if (c.type == DB::dbMSAccess || c.type == DB::dbCustomOLEDB) continue;
    // Read back, every value is the one given and no key is added.
    std::vector<TConnStringPair> pairs;
    ASSERT_NO_THROW(pairs = ParseConnectionString(built, TConnStringSyntax::OLEDB));
    for (const TConnStringPair& p : pairs) {
      if (p.Key == "Password" && !c.password.empty()) {
        EXPECT_EQ(p.Value, c.password);
      }
      if (p.Key == "User ID") {
        EXPECT_EQ(p.Value, c.user);
      }
      if (p.Key == "Initial Catalog" && c.type == DB::dbMSSQL) {
        EXPECT_EQ(p.Value, c.database);
      }
      EXPECT_NE(p.Key, "Database");
    }
  }
}

TEST(ADOConnectionString, AValueThatCannotBeCarriedIsRefused) {
  EXPECT_THROW(BuildADOConnectionString(DB::dbMSSQL, "srv", "db", TQORProtocol::ptTCP, 0, false,
                                        false, std::string("a\0b", 3), "sa"),
               EQorError);
  // Through the binding: reported, not connected, nothing escapes.
  TQORConnection c;
  Recorder r(c);
  c.SetDatabaseType(DB::dbMSSQL);
  c.SetConnectionType(TconnectionType::cnADO);
  c.ConnectionOptions.UserName = std::string("s\0a", 3);
  c.SetConnected(true);
  EXPECT_FALSE(c.Connected());
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0],
            "The user name holds a NUL character, which a connection string cannot carry.");
}

// ------------------------------------------------- through SQLite's driver

class ADOBindingSQLite : public ::testing::Test {
 protected:
  void SetUp() override {
    connection.SetDatabaseType(DB::dbCustomOLEDB);
    connection.SetConnectionType(TconnectionType::cnADO);
    connection.ConnectionOptions.ConnectionString =
        test::FreshSQLiteConnectionString("binding.db") + "UID=u;PWD={se;cret};";
    connection.SetConnected(true);
    ASSERT_TRUE(connection.Connected()) << recorder.AllErrors();
    Exec("CREATE TABLE obj (id INTEGER, name VARCHAR(30), kind VARCHAR(10))");
    Exec("INSERT INTO obj VALUES (1, 'T1', 'table'), (2, 'V1', 'view'), (3, 'T2', 'table')");
  }

  void Exec(const std::string& sql) {
    std::unique_ptr<TQORQuery> q = connection.CreateQuery();
    q->GetSQL()->SetText(sql);
    q->ExecSQL();
  }

  std::vector<std::string> Names(TQORQuery& q) {
    std::vector<std::string> names;
    for (q.Open(); !q.Eof(); q.Next()) names.push_back(q.FieldByName("name")->AsString());
    q.Close();
    return names;
  }

  TQORConnection connection;
  Recorder recorder{connection};
};

TEST_F(ADOBindingSQLite, TheGivenStringIsUsedAndLoggedWithoutItsPassword) {
  ASSERT_FALSE(recorder.log.empty());
  const std::string& line = recorder.log.back();
  EXPECT_NE(line.find("Driver=QorSQLite3;"), std::string::npos) << line;
  EXPECT_NE(line.find("PWD=*******;"), std::string::npos) << line;
  for (const std::string& l : recorder.log) EXPECT_EQ(l.find("se;cret"), std::string::npos) << l;
  EXPECT_TRUE(recorder.errors.empty()) << recorder.AllErrors();
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"BeforeConnect", "AfterConnect"}));
}

TEST_F(ADOBindingSQLite, NamedParametersReachTheDriverAsMarkers) {
  std::unique_ptr<TQORQuery> q = connection.CreateQuery();
  q->GetSQL()->Add("SELECT name FROM obj");
  q->GetSQL()->Add("WHERE kind = :KIND AND id >= :MINID AND name <> ':KIND' ORDER BY id");
  ASSERT_EQ(q->GetParams()->Count(), 2);
  q->ParamByName("KIND")->SetAsString("table");
  q->ParamByName("MINID")->SetAsInteger(2);
  EXPECT_EQ(Names(*q), std::vector<std::string>{"T2"});
  auto* ado = dynamic_cast<TQORADOQuery*>(q.get())->ADOQuery();
  EXPECT_EQ(ado->StatementSent(),
            "SELECT name FROM obj\r\nWHERE kind = ? AND id >= ? AND name <> ':KIND' ORDER BY id");

  // A parameter used twice is set once by name.
  q->GetSQL()->SetText("SELECT name FROM obj WHERE name = :N OR (kind = 'view' AND :N = 'V')");
  ASSERT_EQ(q->GetParams()->Count(), 2);
  q->ParamByName("N")->SetAsString("V");
  EXPECT_EQ(Names(*q), std::vector<std::string>{"V1"});

  // Without ParamCheck the text goes as it stands.
  q->SetParamCheck(false);
  q->GetSQL()->SetText("SELECT name FROM obj WHERE id = 1 AND name <> ':N'");
  EXPECT_EQ(Names(*q), std::vector<std::string>{"T1"});

  // ExecSQL copies the values too.
  q->SetParamCheck(true);
  q->GetSQL()->SetText("UPDATE obj SET name = :NEW WHERE id = :ID");
  q->ParamByName("NEW")->SetAsString("T1;x'");
  q->ParamByName("ID")->SetAsInteger(1);
  q->ExecSQL();
  q->GetSQL()->SetText("SELECT name FROM obj WHERE id = 1");
  EXPECT_EQ(Names(*q), std::vector<std::string>{"T1;x'"});
}

TEST_F(ADOBindingSQLite, CatalogReadersKeepOneQueryOpenWhileRunningOthers) {
  std::unique_ptr<TQORQuery> outer = connection.CreateQuery();
  std::unique_ptr<TQORQuery> inner = connection.CreateQuery();
  outer->GetSQL()->SetText("SELECT id, name FROM obj ORDER BY id");
  inner->GetSQL()->SetText(
      "SELECT COUNT(*) AS n FROM obj WHERE kind = (SELECT kind FROM obj WHERE id = :ID)");
  std::vector<std::string> seen;
  for (outer->Open(); !outer->Eof(); outer->Next()) {
    inner->ParamByName("ID")->SetAsInteger(outer->FieldByName("id")->AsInteger());
    inner->Open();
    seen.push_back(outer->FieldByName("name")->AsString() + "=" +
                   inner->FieldByName("n")->AsString());
    inner->Close();
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"T1=2", "V1=1", "T2=2"}));
  EXPECT_TRUE(outer->GetActive());
  outer->Close();
  EXPECT_FALSE(outer->GetActive());
}

TEST_F(ADOBindingSQLite, TransactionsAndDisconnectCommit) {
  connection.StartTransaction();
  EXPECT_TRUE(connection.InTransaction());
  Exec("DELETE FROM obj WHERE id = 1");
  connection.Rollback();
  EXPECT_FALSE(connection.InTransaction());

  connection.StartTransaction();
  Exec("DELETE FROM obj WHERE id = 2");
  connection.Commit();

  // Disconnecting commits the open transaction.
  connection.StartTransaction();
  Exec("DELETE FROM obj WHERE id = 3");
  connection.SetConnected(false);
  EXPECT_FALSE(connection.Connected());
  connection.SetConnected(true);
  ASSERT_TRUE(connection.Connected());
  std::unique_ptr<TQORQuery> q = connection.CreateQuery();
  q->GetSQL()->SetText("SELECT name FROM obj ORDER BY id");
  EXPECT_EQ(Names(*q), std::vector<std::string>{"T1"});
}

TEST_F(ADOBindingSQLite, AQueryOutlivesTheDatabaseObjectOfItsBinding) {
  std::unique_ptr<TQORQuery> q = connection.CreateQuery();
  q->GetSQL()->SetText("SELECT name FROM obj ORDER BY id");
  q->Open();
  connection.SetConnectionType(TconnectionType::cnIBX);  // frees the ADO database object
  EXPECT_EQ(q->Database(), nullptr);
  EXPECT_EQ(dynamic_cast<TQORADOQuery*>(q.get())->ADOQuery()->Connection(), nullptr);
  EXPECT_EQ(q->FieldByName("name")->AsString(), "T1");  // the rows already read stay
  q->Close();
  EXPECT_THROW(q->Open(), EQorError);
}

TEST_F(ADOBindingSQLite, AStatementErrorCarriesTheDriversText) {
  std::unique_ptr<TQORQuery> q = connection.CreateQuery();
  q->GetSQL()->SetText("SELECT x FROM nowhere");
  try {
    q->Open();
    ADD_FAILURE() << "no error";
  } catch (const EQorError& e) {
    EXPECT_NE(std::string(e.what()).find("no such table: nowhere"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(q->GetActive());
  EXPECT_TRUE(connection.Connected());
}

TEST(ADOBinding, ARefusedConnectReportsTheDriversTextAndStaysClosed) {
  TQORConnection c;
  Recorder r(c);
  c.SetDatabaseType(DB::dbCustomOLEDB);
  c.SetConnectionType(TconnectionType::cnADO);
  c.ConnectionOptions.ConnectionString = std::string("Driver=") + test::kSQLiteDriver +
                                         ";Database=/nonexistent-folder/x.db;NoCreat=1;";
  EXPECT_NO_THROW(c.SetConnected(true));
  EXPECT_FALSE(c.Connected());
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_NE(r.errors[0].find("SQLite"), std::string::npos) << r.errors[0];
  EXPECT_EQ(r.events, (std::vector<std::string>{"BeforeConnect", "AfterDisconnect"}));
}

// ------------------------------------------------ unsupported database types

TEST(ADOBinding, AnUnsupportedTypeIsReportedAndABuiltStringReachesNothing) {
  TQORConnection c;
  Recorder r(c);
  c.SetDatabaseType(DB::dbMySQL);
  c.SetConnectionType(TconnectionType::cnADO);
  c.ConnectionOptions.UserName = "root";
  c.ConnectionOptions.Password = "secret";
  EXPECT_NO_THROW(c.SetConnected(true));
  EXPECT_FALSE(c.Connected());
  ASSERT_EQ(r.errors.size(), 2u) << r.AllErrors();
  EXPECT_EQ(r.errors[0], "Not supported DatabaseType select.");
  EXPECT_NE(r.errors[1].find("Driver Manager"), std::string::npos) << r.errors[1];
  EXPECT_EQ(r.log.back(), "User ID=root;Password=*******;");
  EXPECT_EQ(r.events, (std::vector<std::string>{"BeforeConnect", "AfterDisconnect"}));
}

TEST(ADOBinding, AnUnsupportedTypeWithAGivenDriverStringStillConnects) {
  TQORConnection c;
  Recorder r(c);
  c.SetDatabaseType(DB::dbParadox);
  c.SetConnectionType(TconnectionType::cnADO);
  c.ConnectionOptions.ConnectionString = test::FreshSQLiteConnectionString("paradox.db");
  c.SetConnected(true);
  EXPECT_TRUE(c.Connected());
  EXPECT_EQ(r.errors, std::vector<std::string>{"Not supported DatabaseType select."});
}

// ------------------------------------------------------------ FreeTDS

// The window's MS SQL settings: a host, a database, a user and a password.
void SetMSSQL(TQORConnection& c, const std::string& host, const std::string& database,
              const std::string& user, const std::string& password) {
  c.SetDatabaseType(DB::dbMSSQL);
  c.SetConnectionType(TconnectionType::cnADO);
  c.ConnectionOptions.HostName = host;
  c.ConnectionOptions.DatabaseName = database;
  c.ConnectionOptions.UserName = user;
  c.ConnectionOptions.Password = password;
  c.ConnectionOptions.Protocol = TQORProtocol::ptTCP;
  dynamic_cast<TQORADODatabase*>(c.DatabaseObject())->ADOConnection()->ConnectionTimeout = 5;
}

TEST(ADOBindingFreeTDS, AClosedPortEndsInTheDriversErrorAndNothingEscapes) {
  TQORConnection c;
  Recorder r(c);
  SetMSSQL(c, "127.0.0.1," + std::to_string(test::ClosedLocalPort()), "master", "sa", "pw;x");
  EXPECT_NO_THROW(c.SetConnected(true));
  EXPECT_FALSE(c.Connected());
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_NE(r.errors[0].find("[FreeTDS]"), std::string::npos) << r.errors[0];
  EXPECT_EQ(r.events, (std::vector<std::string>{"BeforeConnect", "AfterDisconnect"}));
  ASSERT_EQ(r.log.size(), 2u);
  EXPECT_EQ(r.log[0], "Connect to: 'master'...");
  EXPECT_NE(r.log[1].find("Password=*******;"), std::string::npos) << r.log[1];
  EXPECT_EQ(r.log[1].find("pw;x"), std::string::npos) << r.log[1];
}

TEST(ADOBindingFreeTDS, TheServerReceivesEveryValueIntact) {
  struct Case {
    const char* name;
    std::string user, password, database;
  };
  const Case cases[] = {
      {"plain", "sa", "secret", "sales"},
      {"; and a key inside the password", "sa", "a;b;Database=x", "sales"},
      {"braces", "u}ser", "}{p}}w{", "d}b"},
      {"leading brace and ;", "{user", "{a;b", "x;{y"},
      {"= and blanks", "my user", " =pw= ", "my db"},
      {"quotes", "o'brien", "\"q\"'s'", "d\"b"},
      {"non-ASCII", "jürgen", "pässwört", "bücher"},
  };
  test::TTDSLoginListener listener;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const std::size_t before = listener.Logins().size();
    TQORConnection c;
    Recorder r(c);
    SetMSSQL(c, "127.0.0.1," + std::to_string(listener.Port()), k.database, k.user, k.password);
    EXPECT_NO_THROW(c.SetConnected(true));
    EXPECT_FALSE(c.Connected());
    const std::vector<test::TTDSLogin> logins = listener.Logins();
    ASSERT_GT(logins.size(), before) << r.AllErrors();
    const test::TTDSLogin& login = logins[before];
    EXPECT_EQ(login.UserName, k.user);
    EXPECT_EQ(login.Password, k.password);
    EXPECT_EQ(login.Database, k.database);
    ASSERT_FALSE(r.errors.empty());
    EXPECT_NE(r.AllErrors().find(test::kTDSLoginRefusal), std::string::npos) << r.AllErrors();
    for (const std::string& l : r.log) EXPECT_EQ(l.find(k.password), std::string::npos) << l;
  }

  // A value FreeTDS cannot receive is refused before anything is sent.
  const std::size_t before = listener.Logins().size();
  TQORConnection c;
  Recorder r(c);
  SetMSSQL(c, "127.0.0.1," + std::to_string(listener.Port()), "db", "sa", "a;b}");
  EXPECT_NO_THROW(c.SetConnected(true));
  EXPECT_FALSE(c.Connected());
  EXPECT_EQ(r.errors, std::vector<std::string>{
                          "The password holds \"}\" together with \";\" or a leading \"{\", "
                          "which the FreeTDS driver cannot receive."});
  EXPECT_EQ(listener.Logins().size(), before);
}

// ------------------------------------------------------------ MariaDB

// The suite's MariaDB server through Debian's MariaDB ODBC driver, reached
// by a given connection string, as the MySQL extractor's live test does.
class MariaDbADO : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Ready()) << server.Error();
    ASSERT_TRUE(server.Execute(
        "CREATE TABLE parts (id INT PRIMARY KEY, name VARCHAR(40), note TEXT);"
        "INSERT INTO parts VALUES (1, 'bolt', NULL), (2, 'nüt', 'x'), (3, 'gear', '');"))
        << server.Error();
    connection.SetDatabaseType(DB::dbMySQL);
    connection.SetConnectionType(TconnectionType::cnADO);
    connection.ConnectionOptions.ConnectionString =
        std::string("Driver=") + test::kMariaDBDriver +
        ";Server=127.0.0.1;Port=" + std::to_string(QOR_MARIADB_PORT) +
        ";Database=" + server.Name() + ";UID=" + QOR_MARIADB_USER + ";PWD=" + QOR_MARIADB_PASSWORD +
        ";CHARSET=utf8mb4;";
  }

  test::TMariaDbReplayDatabase server;
  TQORConnection connection;
  Recorder recorder{connection};
};

TEST_F(MariaDbADO, OpensRunsACatalogQueryAndAParameterisedQuery) {
  connection.SetConnected(true);
  ASSERT_TRUE(connection.Connected()) << recorder.AllErrors();
  // The type is not one the binding builds strings for: reported once, and
  // the given string still reaches the server.
  EXPECT_EQ(recorder.errors, std::vector<std::string>{"Not supported DatabaseType select."});
  ASSERT_GE(recorder.log.size(), 2u);
  EXPECT_NE(recorder.log[0].find("PWD=*******;"), std::string::npos) << recorder.log[0];
  EXPECT_EQ(recorder.log[0].find(QOR_MARIADB_PASSWORD), std::string::npos);
  EXPECT_TRUE(StartsWith(recorder.log[1], "Server version: MySQL ")) << recorder.log[1];

  std::unique_ptr<TQORQuery> tables = connection.CreateQuery();
  tables->GetSQL()->SetText("SHOW TABLES");
  tables->Open();
  ASSERT_FALSE(tables->Eof());
  EXPECT_EQ(tables->GetFields()->Fields(0)->AsString(), "parts");

  std::unique_ptr<TQORQuery> q = connection.CreateQuery();
  q->GetSQL()->SetText(
      "SELECT id, name, note FROM parts WHERE id >= :FROMID AND name <> :SKIP ORDER BY id");
  q->ParamByName("FROMID")->SetAsInteger(1);
  q->ParamByName("SKIP")->SetAsString("gear");
  std::vector<std::string> rows;
  for (q->Open(); !q->Eof(); q->Next())
    rows.push_back(
        q->FieldByName("id")->AsString() + ":" + q->FieldByName("name")->AsString() + ":" +
        (q->FieldByName("note")->IsNull() ? "<null>" : q->FieldByName("note")->AsString()));
  EXPECT_EQ(rows, (std::vector<std::string>{"1:bolt:<null>", "2:nüt:x"}));
  EXPECT_TRUE(tables->GetActive());

  connection.SetConnected(false);
  EXPECT_FALSE(connection.Connected());
}

TEST_F(MariaDbADO, AWrongPasswordIsTheServersErrorAndStaysClosed) {
  connection.ConnectionOptions.ConnectionString =
      std::string("Driver=") + test::kMariaDBDriver +
      ";Server=127.0.0.1;Port=" + std::to_string(QOR_MARIADB_PORT) + ";UID=" + QOR_MARIADB_USER +
      ";PWD={not;the password};";
  EXPECT_NO_THROW(connection.SetConnected(true));
  EXPECT_FALSE(connection.Connected());
  ASSERT_EQ(recorder.errors.size(), 2u) << recorder.AllErrors();
  EXPECT_NE(recorder.errors[1].find("Access denied"), std::string::npos) << recorder.errors[1];
  for (const std::string& l : recorder.log) EXPECT_EQ(l.find("not;the"), std::string::npos) << l;
}

}  // namespace
}  // namespace qor
