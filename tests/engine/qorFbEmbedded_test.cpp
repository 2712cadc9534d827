// The InterBase-client binding on the real embedded Firebird engine: a
// local database path opens the engine inside the test process.
#include "engine/qorDB_IBX.h"
#include "engine/qorDBEngine.h"
#include "tests/engine/qorFbConnectionTest.h"
#include "tests/support/qorReplay.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qor {
namespace {

class FbEmbedded : public FbConnectionTest {
 protected:
  FbEmbedded() { c.ConnectionOptions.Protocol = TQORProtocol::ptLocal; }

  // A new database with the given default character set and dialect; the
  // request is then reset to "nothing known" for the connect.
  void Create(const std::string& file, const std::string& charSet, int dialect, int pageSize = 0) {
    c.ConnectionOptions.DatabaseName = test::FreshTestFile(file);
    c.IBServerOptions.SetDBCharSet(charSet);
    c.IBServerOptions.SQLDialect = static_cast<TIBSQLDialectType>(dialect);
    c.IBServerOptions.IBDatabaseOptions.PageSize = pageSize;
    ASSERT_TRUE(c.CreateDatabase()) << (errors.empty() ? "" : errors.back());
    c.IBServerOptions.SetDBCharSet("");
    c.IBServerOptions.SQLDialect = 3;
    c.IBServerOptions.IBDatabaseOptions.Clear();
  }

  void Connect() {
    c.SetConnected(true);
    for (const std::string& e : errors) ADD_FAILURE() << e;
    ASSERT_TRUE(c.Connected());
  }

  void Exec(const std::string& sql, bool paramCheck = true) {
    std::unique_ptr<TQORQuery> q = c.CreateQuery();
    q->SetParamCheck(paramCheck);
    q->GetSQL()->SetText(sql);
    q->ExecSQL();
  }

  TQORIBXDatabase& Db() { return *static_cast<TQORIBXDatabase*>(c.DatabaseObject()); }
  const std::vector<std::string>& DatabaseParams() { return Db().IBDatabase()->Params.Lines(); }
};

TEST_F(FbEmbedded, CreatesDatabasesAndReconnectsToTheirCharacterSetAndDialect) {
  struct Case {
    const char* name;
    const char* charSet;  // "" creates without a default character set
    int dialect;
    int pageSize;
    const char* expectedCharSet;
  };
  const Case cases[] = {
      {"UTF8, dialect 3", "UTF8", 3, 8192, "UTF8"},
      {"single-byte WIN1252, dialect 3", "WIN1252", 3, 4096, "WIN1252"},
      {"UTF8, dialect 1", "UTF8", 1, 16384, "UTF8"},
      {"single-byte ISO8859_1, dialect 1", "ISO8859_1", 1, 8192, "ISO8859_1"},
      {"no default character set", "", 3, 8192, "NONE"},
  };
  int n = 0;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Create("create" + std::to_string(n++) + ".fdb", k.charSet, k.dialect, k.pageSize);
    Connect();
    EXPECT_EQ(c.IBServerOptions.GetDBCharSet(), k.expectedCharSet);
    EXPECT_EQ(c.IBServerOptions.SQLDialect, k.dialect);
    // The reconnection asked for the database's own character set.
    const auto& params = DatabaseParams();
    EXPECT_NE(std::find(params.begin(), params.end(), std::string("lc_ctype=") + k.expectedCharSet),
              params.end());
    EXPECT_EQ(Db().IBDatabase()->SQLDialect, k.dialect);

    const TIBDatabaseOptions& d = c.IBServerOptions.IBDatabaseOptions;
    EXPECT_TRUE(Contains(d.Version, "Firebird 3.0")) << d.Version;
    EXPECT_TRUE(Contains(d.ServerImplementation, "Firebird/Linux")) << d.ServerImplementation;
    EXPECT_EQ(d.ODSMajorVersion, 12);
    EXPECT_EQ(d.PageSize, k.pageSize);
    EXPECT_EQ(d.DBSQLDialect, k.dialect);
    EXPECT_EQ(d.ReadOnly, 0);
    EXPECT_GT(d.NumBuffers, 0);
    EXPECT_EQ(d.SweepInterval, 20000);
    EXPECT_GT(d.DBImplementationNo, 0);
    EXPECT_TRUE(c.InTransaction());

    c.SetConnected(false);
    EXPECT_FALSE(c.Connected());
    EXPECT_FALSE(c.InTransaction());
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(FbEmbedded, MatchingRequestConnectsOnceWithWhatWasAsked) {
  Create("match.fdb", "WIN1252", 3);
  c.IBServerOptions.SetDBCharSet("win1252");
  c.ConnectionOptions.UserName = "SYSDBA";
  Connect();
  EXPECT_EQ(DatabaseParams(), (std::vector<std::string>{"user_name=SYSDBA", "lc_ctype=WIN1252"}));
  // No password: the login prompt is on, yet nothing waits for a dialog;
  // the services still get both lines.
  EXPECT_TRUE(Db().IBDatabase()->LoginPrompt);
  EXPECT_EQ(Db().IBServerProperties()->Params.Lines(),
            (std::vector<std::string>{"user_name=SYSDBA", "password="}));
  std::unique_ptr<TQORQuery> q = c.CreateQuery();
  q->GetSQL()->SetText(
      "select current_user, c.rdb$character_set_name from mon$attachments a "
      "join rdb$character_sets c on c.rdb$character_set_id = a.mon$character_set_id "
      "where a.mon$attachment_id = current_connection");
  q->Open();
  EXPECT_EQ(TrimCtl(q->GetFields()->Fields(0)->AsString()), "SYSDBA");
  EXPECT_EQ(TrimCtl(q->GetFields()->Fields(1)->AsString()), "WIN1252");
}

TEST_F(FbEmbedded, SetCharSetReconnectsWithThatCharacterSet) {
  // A quote in the file name stays inside the CREATE DATABASE literal.
  Create("o'brien.fdb", "UTF8", 3);
  Connect();
  auto clientCharSet = [this] {
    std::unique_ptr<TQORQuery> q = c.CreateQuery();
    q->GetSQL()->SetText(
        "select c.rdb$character_set_name from mon$attachments a "
        "join rdb$character_sets c on c.rdb$character_set_id = a.mon$character_set_id "
        "where a.mon$attachment_id = current_connection");
    q->Open();
    return TrimCtl(q->GetFields()->Fields(0)->AsString());
  };
  EXPECT_EQ(clientCharSet(), "UTF8");
  c.SetCharSet("WIN1252");
  ASSERT_TRUE(c.Connected());
  EXPECT_EQ(clientCharSet(), "WIN1252");
  EXPECT_EQ(c.IBServerOptions.GetDBCharSet(), "UTF8");
  c.SetConnected(false);
  EXPECT_TRUE(errors.empty());
}

TEST_F(FbEmbedded, ServerDescriptionTexts) {
  Create("describe.fdb", "UTF8", 3, 16384);
  c.ConnectionOptions.ClientLibrary = "libfbclient.so.2";
  Connect();
  const TIBDatabaseOptions& d = c.IBServerOptions.IBDatabaseOptions;
  const std::string first = d.Version + " (" + d.ServerImplementation + ")\r\n";
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], "Connect to: '" + c.ConnectionOptions.DatabaseName + "'...");
  EXPECT_EQ(log[1], "Server version: " + first + "Client library: libfbclient.so.2");
  EXPECT_EQ(c.GetServerInfo(/*brief=*/true), first + "Client library: libfbclient.so.2\r\n");
  const std::string kb = std::to_string(d.NumBuffers * 16);
  EXPECT_EQ(c.GetServerInfo(/*brief=*/false),
            first + "Client library: libfbclient.so.2\r\n" +
                "Database name : " + c.ConnectionOptions.DatabaseName + "\r\n" +
                "Character set : UTF8\r\n"
                "ODS version   : 12." +
                std::to_string(d.ODSMinorVersion) + "\r\n" +
                "SQL Dialect   : 3\r\n"
                "Sweep interval: 20000\r\n"
                "Page size     : 16384\r\n"
                "Read-only     : False\r\n" +
                std::string("Forced writes : ") + (d.ForcedWrites ? "On" : "Off") + "\r\n" +
                "Buffers       : " + std::to_string(d.NumBuffers) + " pages (" + kb + " Kb)\r\n");
  c.SetConnected(false);
  EXPECT_EQ(c.GetServerInfo(/*brief=*/false), "");
}

TEST_F(FbEmbedded, ParameterisedCatalogQueryReadsNullsAndTextBlobs) {
  Create("catalog.fdb", "UTF8", 3);
  Connect();
  Exec(
      "create table T_ONE (ID integer not null, NAME varchar(20), NOTE blob sub_type text, "
      "PAD char(4), AMOUNT numeric(9,2), FLAG boolean)");
  Exec("comment on table T_ONE is 'The first table: ÄÖÜ'");
  c.Commit();
  // A text BLOB of several segments, built by the server.
  std::string longNote;
  for (int i = 0; i < 7; ++i) longNote += std::string(9999, static_cast<char>('a' + i)) + "\n";
  {
    std::unique_ptr<TQORQuery> ins = c.CreateQuery();
    ins->GetSQL()->SetText(
        "insert into T_ONE (ID, NAME, PAD, AMOUNT, FLAG, NOTE) values (:ID, :NAME, :PAD, :AMT, :F, :NOTE)");
    ins->ParamByName("NOTE")->SetAsString("short note");
    ins->ParamByName("ID")->SetAsInteger(1);
    ins->ParamByName("NAME")->SetAsString("Ölfass");
    ins->ParamByName("PAD")->SetAsString("ab");
    ins->ParamByName("AMT")->SetAsString("12.50");
    ins->ParamByName("F")->SetAsBoolean(true);
    ins->ExecSQL();
    // Same statement, next values: the values of the list are replaced.
    ins->ParamByName("ID")->SetAsInteger(2);
    ins->ParamByName("NAME")->Clear();
    ins->ParamByName("PAD")->Clear();
    ins->ParamByName("AMT")->SetAsFloat(-0.05);
    ins->ParamByName("F")->Clear();
    ins->ParamByName("NOTE")->Clear();
    ins->ExecSQL();
  }
  std::string block = "execute block as declare b blob sub_type text = ''; begin\n";
  for (int i = 0; i < 7; ++i)
    block +=
        "b = b || '" + std::string(9999, static_cast<char>('a' + i)) + "' || ascii_char(10);\n";
  block += "update T_ONE set NOTE = :b where ID = 1; end";
  Exec(block, /*paramCheck=*/false);
  c.Commit();

  std::unique_ptr<TQORQuery> q = c.CreateQuery();
  q->GetSQL()->Add("select r.rdb$relation_name, r.rdb$description, r.rdb$system_flag");
  q->GetSQL()->Add("from rdb$relations r");
  q->GetSQL()->Add("where r.rdb$relation_name = :NAME or r.rdb$relation_name = :OTHER");
  ASSERT_EQ(q->GetParams()->Count(), 2);
  q->ParamByName("NAME")->SetAsString("T_ONE");
  q->ParamByName("OTHER")->SetAsString("RDB$ROLES");
  q->Open();
  int rows = 0;
  for (; !q->Eof(); q->Next(), ++rows) {
    const std::string name = TrimCtl(q->FieldByName("RDB$RELATION_NAME")->AsString());
    TField* desc = q->FieldByName("rdb$description");
    if (name == "T_ONE") {
      EXPECT_EQ(desc->AsString(), "The first table: ÄÖÜ");
      EXPECT_EQ(desc->DataType(), TFieldType::ftMemo);
      EXPECT_EQ(q->FieldByName("RDB$SYSTEM_FLAG")->AsInteger(), 0);
    } else {
      EXPECT_EQ(name, "RDB$ROLES");
      EXPECT_TRUE(desc->IsNull());
      EXPECT_EQ(desc->AsString(), "");
      EXPECT_EQ(desc->AsInteger(), 0);
      EXPECT_FALSE(desc->AsBoolean());
      EXPECT_EQ(q->FieldByName("RDB$SYSTEM_FLAG")->AsInteger(), 1);
    }
  }
  EXPECT_EQ(rows, 2);
  q->Close();

  q->GetSQL()->SetText(
      "select ID, NAME, NOTE, PAD, AMOUNT, FLAG, NAME from T_ONE where ID = :ID or ID + 0 = :ID order by ID");
  // A name used twice needs one value.
  q->ParamByName("ID")->SetAsInteger(1);
  q->Open();
  ASSERT_FALSE(q->Eof());
  EXPECT_EQ(q->FieldByName("NAME")->AsString(), "Ölfass");
  EXPECT_EQ(q->FieldByName("NOTE")->AsString(), longNote);
  // CHAR keeps the padding the server sends (in bytes of the connection's
  // character set); readers trim.
  EXPECT_EQ(q->FieldByName("PAD")->AsString().rfind("ab  ", 0), 0u);
  EXPECT_EQ(TrimCtlRight(q->FieldByName("PAD")->AsString()), "ab");
  EXPECT_EQ(q->FieldByName("AMOUNT")->AsString(), "12.50");
  EXPECT_EQ(q->FieldByName("AMOUNT")->AsInteger(), 12);
  EXPECT_TRUE(q->FieldByName("FLAG")->AsBoolean());
  EXPECT_EQ(q->GetFields()->Count(), 7);
  q->Next();
  EXPECT_TRUE(q->Eof());
  q->Close();

  q->ParamByName("ID")->SetAsInteger(2);
  q->Open();
  ASSERT_FALSE(q->Eof());
  for (const char* f : {"NAME", "NOTE", "PAD", "FLAG"}) {
    SCOPED_TRACE(f);
    EXPECT_TRUE(q->FieldByName(f)->IsNull());
    EXPECT_EQ(q->FieldByName(f)->AsString(), "");
    EXPECT_FALSE(q->FieldByName(f)->AsBoolean());
  }
  EXPECT_EQ(q->FieldByName("AMOUNT")->AsString(), "-0.05");
  EXPECT_THROW(q->FieldByName("MISSING"), EQorError);
}

TEST_F(FbEmbedded, TheQueryKeepsItsStatementAndParameterValuesWhileTheTextStays) {
  Create("prepare.fdb", "UTF8", 3);
  Connect();
  std::unique_ptr<TQORQuery> q = c.CreateQuery();
  auto* ibx = static_cast<TQORIBXQuery*>(q.get());
  q->GetSQL()->SetText(
      "select count(*) from rdb$relations where rdb$relation_name starting with :P");
  q->ParamByName("P")->SetAsString("RDB$");
  q->Open();
  EXPECT_TRUE(q->GetActive());
  const int all = q->GetFields()->Fields(0)->AsInteger();
  EXPECT_GT(all, 10);
  q->Close();
  EXPECT_FALSE(q->GetActive());
  EXPECT_TRUE(ibx->IBQuery()->Prepared());
  EXPECT_EQ(ibx->IBQuery()->PreparedText(),
            "select count(*) from rdb$relations where rdb$relation_name starting with ?");

  // A new line: unprepared, and the value of P is carried over.
  q->GetSQL()->Add("and rdb$system_flag = :FLAG");
  EXPECT_FALSE(ibx->IBQuery()->Prepared());
  ASSERT_EQ(q->GetParams()->Count(), 2);
  EXPECT_EQ(q->ParamByName("P")->AsString(), "RDB$");
  q->ParamByName("FLAG")->SetAsInteger(1);
  q->Open();
  EXPECT_EQ(q->GetFields()->Fields(0)->AsInteger(), all);

  // Without ParamCheck the text goes to the server as it is.
  q->SetParamCheck(false);
  q->GetSQL()->SetText("select 'a:b' from rdb$database");
  q->Open();
  EXPECT_EQ(TrimCtlRight(q->GetFields()->Fields(0)->AsString()), "a:b");
}

TEST_F(FbEmbedded, DisconnectingCommitsAndServerErrorsCarryTheServerText) {
  Create("commit.fdb", "UTF8", 3);
  Connect();
  Exec("create table T (ID integer)");
  c.Commit();
  Exec("insert into T values (42)");
  c.SetConnected(false);
  Connect();
  std::unique_ptr<TQORQuery> q = c.CreateQuery();
  q->GetSQL()->SetText("select ID from T");
  q->Open();
  ASSERT_FALSE(q->Eof());
  EXPECT_EQ(q->FieldByName("ID")->AsInteger(), 42);
  q->Close();

  q->GetSQL()->SetText("select no_such_column from T");
  try {
    q->Open();
    FAIL() << "no exception";
  } catch (const EQorError& e) {
    EXPECT_TRUE(Contains(e.what(), "Column unknown")) << e.what();
    EXPECT_TRUE(Contains(e.what(), "NO_SUCH_COLUMN")) << e.what();
  }
  EXPECT_FALSE(q->GetActive());
  q->GetSQL()->SetText("insert into T values (1)");
  EXPECT_THROW(q->Open(), EQorError);  // a statement without rows does not open
}

TEST_F(FbEmbedded, AMissingDatabaseEndsInTheErrorEvent) {
  c.ConnectionOptions.DatabaseName = test::FreshTestFile("never-created.fdb");
  EXPECT_NO_THROW(c.SetConnected(true));
  EXPECT_FALSE(c.Connected());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(Contains(errors[0], "I/O error")) << errors[0];
  EXPECT_TRUE(Contains(errors[0], "never-created.fdb")) << errors[0];
  EXPECT_EQ(events, std::vector<std::string>{"AfterDisconnect"});
  EXPECT_TRUE(c.IBServerOptions.IBDatabaseOptions.Version.empty());
}

TEST_F(FbEmbedded, ProtocolsThatDoNotExistHereFailWithoutHanging) {
  Create("protocols.fdb", "UTF8", 3);
  struct Case {
    TQORProtocol protocol;
    const char* text;
  };
  const Case cases[] = {
      {TQORProtocol::ptSPX,
       "The SPX protocol is not available on this platform; connect over TCP/IP."},
      {TQORProtocol::ptNamedPipe,
       "Named pipes are not available on this platform; connect over TCP/IP."},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    errors.clear();
    events.clear();
    c.ConnectionOptions.HostName = "127.0.0.1";
    c.ConnectionOptions.Protocol = k.protocol;
    c.SetConnected(true);
    EXPECT_FALSE(c.Connected());
    EXPECT_EQ(errors, std::vector<std::string>{k.text});
    EXPECT_EQ(events, std::vector<std::string>{"AfterDisconnect"});
    errors.clear();
    EXPECT_FALSE(c.CreateDatabase());
    EXPECT_EQ(errors, std::vector<std::string>{k.text});
  }
  // The services step alone, for a database reached some other way.
  TIBServerProperties svc;
  svc.ServerName = "127.0.0.1";
  svc.Protocol = TIBProtocol::SPX;
  try {
    svc.SetActive(true);
    FAIL() << "no exception";
  } catch (const EQorError& e) {
    EXPECT_TRUE(Contains(e.what(), "SPX protocol is not available")) << e.what();
  }
  EXPECT_FALSE(svc.Active());
}

TEST_F(FbEmbedded, ARecordedSessionReplaysTheSameRows) {
  Create("record.fdb", "UTF8", 3);
  const std::string file = test::FreshTestFile("recorded.json");
  const std::string sql =
      "select rdb$relation_name, rdb$system_flag, rdb$description\r\nfrom rdb$relations\r\n"
      "where rdb$relation_name starting with :P order by 1";
  auto run = [&](TQORConnection& conn) {
    std::vector<std::string> out;
    conn.SetConnected(true);
    if (!conn.Connected()) return out;
    std::unique_ptr<TQORQuery> q = conn.CreateQuery();
    q->GetSQL()->SetText(sql);
    q->ParamByName("P")->SetAsString("RDB$RO");
    q->Open();
    for (; !q->Eof(); q->Next())
      out.push_back(q->FieldByName("RDB$RELATION_NAME")->AsString() + "|" +
                    q->FieldByName("RDB$SYSTEM_FLAG")->AsString() + "|" +
                    (q->FieldByName("RDB$DESCRIPTION")->IsNull() ? "NULL" : "set"));
    q->Close();
    q->GetSQL()->SetText("select count(*) from no_such_table");
    try {
      q->Open();
      out.push_back("no error");
    } catch (const EQorError& e) {
      out.push_back(std::string("error: ") + e.what());
    }
    conn.SetConnected(false);
    return out;
  };

  std::vector<std::string> recorded;
  {
    test::TBindingScope scope(
        TconnectionType::cnIBX,
        std::make_unique<test::TRecordingConnection>(
            TQORCustomConnection::FindRegisteredConnection(TconnectionType::cnIBX)));
    TQORConnection live;
    live.SetConnectionType(TconnectionType::cnIBX);
    live.SetDatabaseType(TDatabaseType::dbInterBase);
    live.ConnectionOptions.DatabaseName = c.ConnectionOptions.DatabaseName;
    recorded = run(live);
    static_cast<test::TRecordingConnection*>(scope.StandIn())->Save(file);
  }
  ASSERT_EQ(recorded.size(), 2u);
  EXPECT_EQ(recorded[0].rfind("RDB$ROLES", 0), 0u);
  EXPECT_TRUE(Contains(recorded.back(), "Table unknown")) << recorded.back();

  test::TBindingScope scope(
      TconnectionType::cnIBX,
      test::TReplayConnection::FromFile(TconnectionType::cnIBX, TDatabaseType::dbInterBase, file));
  auto* replay = static_cast<test::TReplayConnection*>(scope.StandIn());
  TQORConnection replayed;
  replayed.SetConnectionType(TconnectionType::cnIBX);
  replayed.SetDatabaseType(TDatabaseType::dbInterBase);
  EXPECT_EQ(run(replayed), recorded);
  EXPECT_TRUE(replay->Mismatches().empty());
  EXPECT_TRUE(replay->UnusedStatements().empty());
  // The connect facts came back too.
  ASSERT_TRUE(replay->Script().IBFacts.has_value());
  EXPECT_EQ(replay->Script().IBFacts->Database.ODSMajorVersion, 12);
  EXPECT_EQ(replay->Script().IBFacts->DBCharSet, "UTF8");
}

}  // namespace
}  // namespace qor
