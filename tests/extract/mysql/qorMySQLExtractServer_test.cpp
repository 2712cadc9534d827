// The MySQL extractor on the suite's MariaDB server (CTest fixture
// "mariadb"), reached through the ADO binding and Debian's MariaDB ODBC
// driver by a given connection string: a database of every form the
// parser reads (scripts/mysql-corpus-schema.sql, then
// tests/data/extract/mysql/schema.sql) extracts whole, its
// script replays on a fresh database of the same server, and extracting
// that database gives the same script. The errors of a run end it false
// and disconnected.
#include "extract/mysql/qorMySQLDatabaseExtract.h"

#include "extract/mysql/qorMySQLCatalogQueries.h"

#include "base/qorMsgMngr.h"
#include "engine/qorDBEngine.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "parsers/mysql/qorMySQLParser.h"
#include "platform/qorStrings.h"
#include "tests/support/qorChildProcess.h"
#include "tests/support/qorModelDump.h"
#include "tests/support/qorODBCTestEnv.h"
#include "tests/support/qorServerReplay.h"
#include "tests/support/qorTestEnv.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace qor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string ConnectionString(const std::string& database,
                             const std::string& password = QOR_MARIADB_PASSWORD) {
  return std::string("Driver=") + test::kMariaDBDriver +
         ";Server=127.0.0.1;Port=" + std::to_string(QOR_MARIADB_PORT) + ";Database=" + database +
         ";UID=" + QOR_MARIADB_USER + ";PWD=" + password + ";CHARSET=utf8mb4;";
}

template <class L>
std::vector<std::string> Names(const L& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Name(i));
  return out;
}

// One extraction of a database, with every event recorded.
class LiveRun {
 public:
  explicit LiveRun(const std::string& connectionString) {
    connection.SetDatabaseType(TDatabaseType::dbMySQL);
    connection.SetConnectionType(TconnectionType::cnADO);
    connection.ConnectionOptions.ConnectionString = connectionString;
    connection.OnErrorMessage = [this](TObject*, const std::string& t) {
      connectionErrors.push_back(t);
    };
    extract.SetQORConnection(&connection);
    extract.SetDBStructure(&structure);
    extract.OnLogNextLine = [this](TObject*, const std::string& t) {
      log.push_back(t);
      if (OnLog) OnLog(t);
    };
    extract.OnErrorMessage = [this](TObject*, const std::string& t) { errors.push_back(t); };
  }
  TObjs& Objs() { return *structure.GetObjs(); }
  std::string Script() {
    std::vector<std::string> lines;
    Objs().GetScript(lines);
    return JoinLines(lines) + "\r\n";
  }

  TQORConnection connection;
  TDBStructure structure;
  TMySQLDBExtract extract;
  std::vector<std::string> log, errors, connectionErrors;
  std::function<void(const std::string&)> OnLog;
};

// The parser's corpus schema (scripts/mysql-corpus-schema.sql), then what
// the extractor meets beside it (tests/data/extract/mysql/schema.sql).
std::string SchemaScript() {
  const std::string data = QOR_TEST_DATA_DIR;
  const std::string corpus = test::ReadTextFile(data + "/../../scripts/mysql-corpus-schema.sql");
  const std::string extra = test::ReadTextFile(data + "/extract/mysql/schema.sql");
  EXPECT_FALSE(corpus.empty());
  EXPECT_FALSE(extra.empty());
  return corpus + "\n" + extra;
}

TEST(MariaDbMySQLExtract, TheSchemaExtractsWholeReplaysAndExtractsToTheSameScript) {
  test::TMariaDbReplayDatabase source;
  ASSERT_TRUE(source.Ready()) << source.Error();
  const test::TServerReplayResult loaded = source.Run(SchemaScript());
  ASSERT_TRUE(loaded.Ok()) << loaded.Errors << loaded.Report();

  LiveRun first(ConnectionString(source.Name()));
  ASSERT_TRUE(first.extract.ExtractDatabase()) << JoinLines(first.errors);
  EXPECT_THAT(first.errors, IsEmpty());
  // What the model has no place for is noted, nothing else.
  EXPECT_EQ(test::DumpMessages(*first.extract.GetMsgManager()),
            "note 6:66 Table audit_log: option not kept: PAGE_CHECKSUM=1\n"
            "note 6:82 Table audit_log: option not kept: TRANSACTIONAL=1\n"
            "note 18:24 Column secret: INVISIBLE is not kept.\n");
  EXPECT_FALSE(first.connection.Connected());

  TObjs& o = first.Objs();
  EXPECT_THAT(Names(o.Tables), ElementsAre("Odd Names", "audit_log", "customers", "legacy",
                                           "line item", "order", "order_lines", "orders", "places",
                                           "prices", "readings", "sessions", "tick`ed"));
  EXPECT_THAT(Names(o.Views),
              ElementsAre("v order keys", "v_big_orders", "v_charsets", "v_customer_totals",
                          "v_distinct_places", "v_doubled", "v_top_customers"));
  EXPECT_THAT(Names(o.Triggers),
              ElementsAre("customers_bd", "order_bi", "orders_au", "orders_bi", "orders_bi_log"));
  std::vector<std::string> routines;
  for (int i = 0; i < o.Procedures.Count(); ++i) {
    TPrcData& p = *o.Procedures.Value(i);
    routines.push_back(std::string(p.IsFunction ? "function " : "procedure ") + p.GetName());
    EXPECT_FALSE(p.GetText().empty()) << p.GetName();
  }
  std::sort(routines.begin(), routines.end());
  EXPECT_THAT(routines,
              ElementsAre("function f_dollar", "function f_label", "function f_latin",
                          "function f_modifies", "function twice", "procedure p_no_characteristics",
                          "procedure p_order_count", "procedure select", "procedure twice"));
  for (int i = 0; i < o.Tables.Count(); ++i)
    EXPECT_GT(o.Tables.Value(i)->Fields.Count(), 0) << o.Tables.Name(i);

  const std::string script = first.Script();
  test::TMariaDbReplayDatabase copy;
  ASSERT_TRUE(copy.Ready()) << copy.Error();
  const test::TServerReplayResult replayed = copy.Run(script);
  EXPECT_TRUE(replayed.Ok()) << replayed.Errors << replayed.Report() << "\n" << script;

  // The server's own catalog of the copy agrees with the source's: each
  // query catches a form our script once lost (a full-text or spatial
  // index written as a plain key, a generated column written as a plain
  // one, a column's check added as a table check, the character set of a
  // routine's parameter or result).
  struct CatalogCheck {
    const char* what;
    const char* sql;
  };
  const CatalogCheck checks[] = {
      {"columns",
       "SELECT TABLE_NAME, COLUMN_NAME, COLUMN_TYPE, IS_NULLABLE, COLUMN_DEFAULT, EXTRA, "
       "IS_GENERATED, GENERATION_EXPRESSION, CHARACTER_SET_NAME, COLLATION_NAME, COLUMN_COMMENT "
       "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() "
       "AND NOT (TABLE_NAME = 'customers' AND COLUMN_NAME = 'secret') ORDER BY 1, 2"},
      {"indexes",
       "SELECT TABLE_NAME, INDEX_NAME, SEQ_IN_INDEX, COLUMN_NAME, NON_UNIQUE, SUB_PART, "
       "INDEX_TYPE, INDEX_COMMENT FROM information_schema.STATISTICS "
       "WHERE TABLE_SCHEMA = DATABASE() ORDER BY 1, 2, 3"},
      {"checks",
       "SELECT TABLE_NAME, CONSTRAINT_NAME, LEVEL, CHECK_CLAUSE FROM "
       "information_schema.CHECK_CONSTRAINTS WHERE CONSTRAINT_SCHEMA = DATABASE() ORDER BY 1, 2, "
       "4"},
      {"routines",
       "SELECT ROUTINE_NAME, ROUTINE_TYPE, DTD_IDENTIFIER, CHARACTER_SET_NAME, COLLATION_NAME, "
       "SQL_DATA_ACCESS, IS_DETERMINISTIC, SECURITY_TYPE, ROUTINE_COMMENT, ROUTINE_DEFINITION "
       "FROM information_schema.ROUTINES WHERE ROUTINE_SCHEMA = DATABASE() ORDER BY 1, 2"},
      {"parameters",
       "SELECT SPECIFIC_NAME, ROUTINE_TYPE, ORDINAL_POSITION, PARAMETER_MODE, PARAMETER_NAME, "
       "DTD_IDENTIFIER, CHARACTER_SET_NAME, COLLATION_NAME FROM information_schema.PARAMETERS "
       "WHERE SPECIFIC_SCHEMA = DATABASE() ORDER BY 1, 2, 3"},
      {"views",
       "SELECT TABLE_NAME, VIEW_DEFINITION, CHECK_OPTION, SECURITY_TYPE, ALGORITHM "
       "FROM information_schema.VIEWS WHERE TABLE_SCHEMA = DATABASE() ORDER BY 1"},
      {"triggers",
       "SELECT TRIGGER_NAME, EVENT_MANIPULATION, EVENT_OBJECT_TABLE, ACTION_STATEMENT, "
       "ACTION_TIMING, ACTION_ORDER FROM information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = "
       "DATABASE() ORDER BY 1"},
  };
  // A view's stored definition names its own database.
  auto rows = [](test::TMariaDbReplayDatabase& db, const char* sql) {
    std::string error;
    test::TCatalogRows r = db.Query(sql, &error);
    EXPECT_EQ(error, "");
    for (auto& row : r)
      for (std::string& v : row) v = ReplaceAll(v, "`" + db.Name() + "`.", "");
    return r;
  };
  for (const CatalogCheck& c : checks) {
    SCOPED_TRACE(c.what);
    const test::TCatalogRows want = rows(source, c.sql);
    EXPECT_FALSE(want.empty());
    EXPECT_EQ(rows(copy, c.sql), want);
  }

  LiveRun second(ConnectionString(copy.Name()));
  ASSERT_TRUE(second.extract.ExtractDatabase()) << JoinLines(second.errors);
  EXPECT_THAT(second.errors, IsEmpty());
  EXPECT_EQ(second.Script(), script);
}

// With identifiers that ignore case the model upper-cases names, while the
// server (case-sensitive table names on Linux) is asked in its own
// spelling: the mixed-case table is read with its columns and its trigger.
TEST(MariaDbMySQLExtract, NamesGoToTheServerInItsOwnSpelling) {
  test::TMariaDbReplayDatabase db;
  ASSERT_TRUE(db.Ready()) << db.Error();
  ASSERT_TRUE(
      db.Execute("CREATE TABLE `MixedCase` (Id int NOT NULL PRIMARY KEY, `Note` varchar(10));"
                 "CREATE TRIGGER `Mixed_BI` BEFORE INSERT ON `MixedCase` FOR EACH ROW "
                 "SET NEW.Note = 'x';"))
      << db.Error();
  LiveRun run(ConnectionString(db.Name()));
  run.Objs().MySQLServerOptions.MySQLCompareOptions.CaseSensitiveIdentifiers = false;
  ASSERT_TRUE(run.extract.ExtractDatabase()) << JoinLines(run.errors);
  EXPECT_THAT(run.errors, IsEmpty());
  ASSERT_THAT(Names(run.Objs().Tables), ElementsAre("MIXEDCASE"));
  EXPECT_EQ(run.Objs().Tables.Value(0)->Fields.Count(), 2);
  ASSERT_EQ(run.Objs().Triggers.Count(), 1);
  EXPECT_EQ(run.Objs().Triggers.Value(0)->GetTableName(), "MIXEDCASE");
}

// A run that cannot reach its database, or loses the server on the way,
// reports through the error event, returns false and leaves the
// connection closed.
TEST(MariaDbMySQLExtract, AFailedRunReportsReturnsFalseAndDisconnects) {
  test::TMariaDbReplayDatabase db;
  ASSERT_TRUE(db.Ready()) << db.Error();
  ASSERT_TRUE(db.Run(SchemaScript()).Ok());
  struct Case {
    const char* name;
    std::string connectionString;
    bool killMidway;   // the server ends the session while routines are read
    const char* said;  // in the extractor's or the connection's errors
  };
  const Case cases[] = {
      {"wrong password", ConnectionString(db.Name(), "not the password"), false, "Access denied"},
      {"unknown database", ConnectionString(db.Name() + "_missing"), false, "Unknown database"},
      {"server gone midway", ConnectionString(db.Name()), true, "Lost connection"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LiveRun run(c.connectionString);
    if (c.killMidway) {
      run.OnLog = [&run, &db](const std::string& line) {
        if (line != "Extracting procedures...") return;
        std::unique_ptr<TQORQuery> q = run.connection.CreateQuery();
        q->GetSQL()->SetText("SELECT CONNECTION_ID()");
        q->Open();
        const std::string id = q->GetFields()->Fields(0)->AsString();
        q->Close();
        ASSERT_TRUE(db.Execute("KILL CONNECTION " + id)) << db.Error();
      };
    }
    EXPECT_FALSE(run.extract.ExtractDatabase());
    EXPECT_FALSE(run.connection.Connected());
    ASSERT_FALSE(run.errors.empty());
    const std::string all = JoinLines(run.errors) + "\n" + JoinLines(run.connectionErrors);
    EXPECT_NE(all.find(c.said), std::string::npos) << all;
    EXPECT_TRUE(run.extract.GetMsgManager()->HasErrors());
  }
}

// ------------------------------------------------------------ dumps

// The schema of the dump tests (tests/data/extract/mysql/dump_schema.sql),
// with its views that call stored functions when `calls`.
std::string DumpSchemaScript(bool calls) {
  const std::string folder = std::string(QOR_TEST_DATA_DIR) + "/extract/mysql/";
  std::string script = test::ReadTextFile(folder + "dump_schema.sql");
  EXPECT_FALSE(script.empty());
  if (calls) script += "\n" + test::ReadTextFile(folder + "dump_schema_calls.sql");
  return script;
}

// A script read by the MySQL parser into a collection of its own, as a
// user's file is.
struct ParsedScript {
  explicit ParsedScript(const std::string& script) {
    objs.SetServerType(TDatabaseType::dbMySQL);
    parser.OnErrorMessage = [](TObject*, const std::string&) {};
    parser.ScriptName = "script.sql";
    parser.SetObjs(&objs);
    parser.ParseScript(SplitLines(script), &objs);
    parser.AfterParse();
  }
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  TMySQLParser parser{nullptr};
};

// What mariadb-dump --no-data --routines --triggers writes of `database`.
std::string DumpOf(const std::string& database) {
  const std::string program = test::FindProgram("mariadb-dump");
  EXPECT_FALSE(program.empty()) << "mariadb-dump is not installed";
  if (program.empty()) return {};
  const test::TChildRun run = test::RunChild(
      {program, "--no-defaults", "--protocol=tcp", "-h", "127.0.0.1", "-P",
       std::to_string(QOR_MARIADB_PORT), "-u", QOR_MARIADB_USER, "--default-character-set=utf8mb4",
       "--no-data", "--routines", "--triggers", database},
      test::ChildEnvironment({"MYSQL_", "MARIADB_"}, {"MYSQL_PWD=" QOR_MARIADB_PASSWORD}), "",
      std::chrono::seconds(120));
  EXPECT_EQ(run.ExitCode, 0) << run.Failure << run.Err;
  return run.Out;
}

// The model as dump text, without what a dump and the catalog say in
// different words: a routine's data-access characteristic (the extractor
// reads it from information_schema, where every routine has one; a dump
// states only what the routine's text states).
std::string ComparableModel(TObjs& objs) {
  return std::regex_replace(test::DumpModel(objs), std::regex(" mysql-characteristics=\\d+"), "");
}

// A dump of a schema with views, triggers and routines, all of them inside
// executable comments or holding "*/", ";" and "--" in their names, parses
// whole into the model the extractor reads from the same server, and
// creates nothing the server does not hold.
TEST(MariaDbMySQLDump, ADumpParsesIntoTheModelTheExtractorReads) {
  test::TMariaDbReplayDatabase source;
  ASSERT_TRUE(source.Ready()) << source.Error();
  const test::TServerReplayResult loaded = source.Run(DumpSchemaScript(/*calls=*/true));
  ASSERT_TRUE(loaded.Ok()) << loaded.Errors << loaded.Report();
  const std::string dump = DumpOf(source.Name());
  ASSERT_FALSE(dump.empty());

  ParsedScript parsed(dump);
  EXPECT_EQ(test::DumpMessages(parsed.parser.Messages()), "");

  LiveRun run(ConnectionString(source.Name()));
  ASSERT_TRUE(run.extract.ExtractDatabase()) << JoinLines(run.errors);
  EXPECT_EQ(ComparableModel(parsed.objs), ComparableModel(run.Objs()));
}

// SHOW CREATE of every table and view of `db`, by name, and the catalog's
// account of every routine and trigger. The server lists a table's indexes
// in the order they were made, which a script need not keep: those lines
// are sorted. It keeps a routine's and a trigger's header as it was typed
// (INT or INTEGER, the line breaks), so those compare by what the catalog
// says of their parameters, results, characteristics and bodies.
std::vector<std::string> ShowCreateAll(test::TMariaDbReplayDatabase& db) {
  std::vector<std::string> out;
  std::string error;
  auto rows = [&](const std::string& sql) {
    test::TCatalogRows r = db.Query(sql, &error);
    EXPECT_EQ(error, "") << sql;
    return r;
  };
  for (const auto& row : rows("SHOW FULL TABLES")) {
    const test::TCatalogRows shown = rows("SHOW CREATE TABLE " + myq::BacktickName(row[0]));
    if (shown.empty() || shown[0].size() < 2) {
      ADD_FAILURE() << row[0] << ": no SHOW CREATE";
      continue;
    }
    std::vector<std::string> lines = SplitLines(ReplaceAll(shown[0][1], "\\n", "\n"));
    std::vector<std::string> keys;
    for (auto it = lines.begin(); it != lines.end();) {
      const bool index = StartsWith(*it, "  ") && it->find("KEY ") != std::string::npos &&
                         !StartsWith(*it, "  PRIMARY KEY");
      if (!index) {
        ++it;
        continue;
      }
      keys.push_back(EndsWith(*it, ",") ? it->substr(0, it->size() - 1) : *it);
      it = lines.erase(it);
    }
    std::sort(keys.begin(), keys.end());
    out.push_back(row[0] + "\n" + JoinLines(lines, "\n") + "\n" + JoinLines(keys, "\n"));
  }
  const char* const kCatalog[] = {
      "SELECT ROUTINE_TYPE, ROUTINE_NAME, DTD_IDENTIFIER, CHARACTER_SET_NAME, COLLATION_NAME, "
      "SQL_DATA_ACCESS, IS_DETERMINISTIC, SECURITY_TYPE, ROUTINE_COMMENT, ROUTINE_DEFINITION "
      "FROM information_schema.ROUTINES WHERE ROUTINE_SCHEMA = DATABASE() ORDER BY 1, 2",
      "SELECT SPECIFIC_NAME, ROUTINE_TYPE, ORDINAL_POSITION, PARAMETER_MODE, PARAMETER_NAME, "
      "DTD_IDENTIFIER, CHARACTER_SET_NAME, COLLATION_NAME FROM information_schema.PARAMETERS "
      "WHERE SPECIFIC_SCHEMA = DATABASE() ORDER BY 1, 2, 3",
      "SELECT TRIGGER_NAME, EVENT_MANIPULATION, EVENT_OBJECT_TABLE, ACTION_STATEMENT, "
      "ACTION_TIMING, ACTION_ORIENTATION, ACTION_ORDER FROM information_schema.TRIGGERS "
      "WHERE TRIGGER_SCHEMA = DATABASE() ORDER BY 1",
  };
  for (const char* sql : kCatalog)
    for (const auto& row : rows(sql)) out.push_back(JoinLines(row, " | "));
  for (std::string& text : out) text = ReplaceAll(text, "`" + db.Name() + "`.", "");
  return out;
}

// Extract, write the MySQL script, replay it into a fresh database with no
// statement refused: every object's SHOW CREATE equals the source's, and
// extracting the copy gives the same script.
void ExpectRoundTrip(const std::string& schema) {
  test::TMariaDbReplayDatabase source;
  ASSERT_TRUE(source.Ready()) << source.Error();
  const test::TServerReplayResult loaded = source.Run(schema);
  ASSERT_TRUE(loaded.Ok()) << loaded.Errors << loaded.Report();

  LiveRun first(ConnectionString(source.Name()));
  ASSERT_TRUE(first.extract.ExtractDatabase()) << JoinLines(first.errors);
  const std::string script = first.Script();
  test::TMariaDbReplayDatabase copy;
  ASSERT_TRUE(copy.Ready()) << copy.Error();
  const test::TServerReplayResult replayed = copy.Run(script);
  EXPECT_TRUE(replayed.Ok()) << replayed.Errors << replayed.Report() << "\n" << script;
  EXPECT_EQ(ShowCreateAll(copy), ShowCreateAll(source));

  LiveRun second(ConnectionString(copy.Name()));
  ASSERT_TRUE(second.extract.ExtractDatabase()) << JoinLines(second.errors);
  EXPECT_EQ(second.Script(), script);
}

TEST(MariaDbMySQLDump, TheRoundTripKeepsEveryTableViewRoutineAndTrigger) {
  ExpectRoundTrip(DumpSchemaScript(/*calls=*/false));
}

TEST(MariaDbMySQLDump, TheRoundTripKeepsViewsThatCallStoredFunctions) {
  ExpectRoundTrip(DumpSchemaScript(/*calls=*/true));
}

// CREATE TABLE forms the parser once refused ("Missing: (", "Invalid
// field-type", a bad character): each is run on the server first, which
// takes it; then the same script is parsed without an error, and our
// script of what the parser made gives the table the server made.
TEST(MariaDbMySQLDump, EveryCreateTableFormTheServerTakesIsReadAndWrittenBack) {
  struct Form {
    const char* name;
    const char* sql;  // after the table src
    const char* table;
  };
  const char* const kSource =
      "CREATE TABLE src (id int NOT NULL, n varchar(5) DEFAULT 'x', PRIMARY KEY (id), "
      "KEY k_n (n));\n";
  // clang-format off
  const Form forms[] = {
      {"AS SELECT", "CREATE TABLE t AS SELECT id, n FROM src;", "t"},
      {"bare SELECT", "CREATE TABLE t SELECT id FROM src;", "t"},
      {"columns and SELECT", "CREATE TABLE t (extra int) SELECT id FROM src;", "t"},
      {"options and SELECT", "CREATE TABLE t ENGINE=InnoDB AS SELECT n FROM src;", "t"},
      {"LIKE", "CREATE TABLE t LIKE src;", "t"},
      {"(LIKE)", "CREATE TABLE t (LIKE src);", "t"},
      {"type synonyms",
       "CREATE TABLE t (a INT1, b INT2, c INT3, d INT4, e INT8, f MIDDLEINT, g FIXED(6,2), h LONG,"
       " i LONG VARCHAR, j BOOL, k DOUBLE PRECISION, l CHARACTER VARYING(9), m NATIONAL VARCHAR(4),"
       " o FLOAT8, p LONG VARBINARY, q NVARCHAR(5), r CHAR VARYING(3));", "t"},
      {"SERIAL", "CREATE TABLE t (id SERIAL, a int);", "t"},
      {"hexadecimal enum and set values",
       "CREATE TABLE t (e ENUM(0x61, 0x62), s SET(X'63', 'd'));", "t"},
      {"bit operators in defaults",
       "CREATE TABLE t (a int DEFAULT (1 | 2), b int DEFAULT (6 ^ 3), c int DEFAULT (~0 & 255),"
       " d int DEFAULT (1 << 4));", "t"},
      {"function defaults without parentheses",
       "CREATE TABLE t (e varchar(9) DEFAULT concat('a','b'), f varchar(5) DEFAULT left('abcdef', 2),"
       " g int DEFAULT abs(-3));", "t"},
      {"unquoted names beyond ASCII", "CREATE TABLE t\u00f6 (gr\u00f6\u00dfe int);", "t\u00f6"},
      {"the table counter",
       "CREATE TABLE t (id int NOT NULL AUTO_INCREMENT PRIMARY KEY) AUTO_INCREMENT=42;", "t"},
  };
  // clang-format on
  for (const Form& f : forms) {
    SCOPED_TRACE(f.name);
    const std::string script = std::string(kSource) + f.sql + "\n";
    test::TMariaDbReplayDatabase server;
    ASSERT_TRUE(server.Ready()) << server.Error();
    const test::TServerReplayResult taken = server.Run(script);
    ASSERT_TRUE(taken.Ok()) << taken.Errors << taken.Report();

    ParsedScript parsed(script);
    EXPECT_FALSE(parsed.parser.Messages().HasErrors())
        << test::DumpMessages(parsed.parser.Messages());
    std::vector<std::string> lines;
    parsed.objs.GetScript(lines);
    const std::string ours = JoinLines(lines) + "\r\n";

    test::TMariaDbReplayDatabase copy;
    ASSERT_TRUE(copy.Ready()) << copy.Error();
    const test::TServerReplayResult replayed = copy.Run(ours);
    EXPECT_TRUE(replayed.Ok()) << replayed.Errors << replayed.Report() << "\n" << ours;
    const std::string show = std::string("SHOW CREATE TABLE ") + myq::BacktickName(f.table);
    EXPECT_EQ(copy.Query(show), server.Query(show)) << ours;
  }
}

}  // namespace
}  // namespace qor
