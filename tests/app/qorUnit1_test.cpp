// The main window, offscreen, driven through its own controls: start-up
// from the settings file, the server-kind switches, the settings written
// back, the three commands on the real embedded engine with the employee
// sample, and the error paths that must leave the window usable.
#include "app/Unit1.h"

#include "app/qorIniFile.h"
#include "app/qorOffscreenRun.h"
#include "base/qorMsgMngr.h"
#include "platform/ibx/qorIBX.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorODBCTestEnv.h"
#include "tests/support/qorReplay.h"
#include "tests/support/qorServerReplay.h"
#include "tests/support/qorTDSListener.h"
#include "tests/support/qorTestEnv.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace qor {
namespace {

namespace fs = std::filesystem;

const char* kAbnormal = "< Extracting finished abnormally! >";
const char* kFinished = "< Extracting finished. >";

std::string NewIni(const char* text) {
  const std::string path = test::FreshTestFile("Quorvane.Ini");
  if (text) std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::vector<std::string> Lines(const QPlainTextEdit* pane) {
  std::vector<std::string> out;
  std::istringstream in(pane->toPlainText().toStdString());
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  for (const auto& l : lines)
    if (l == line) return true;
  return false;
}

std::string Text(const QLineEdit* e) { return e->text().toStdString(); }

// Every input and command of the window, for "all usable" and "all off".
std::vector<QWidget*> Inputs(TForm1& f) {
  return {f.rbMIB,      f.rbMMS,        f.EditDBNameM,  f.EditServerM,
          f.EditTableM, f.BtnExtractDb, f.BtnTessarind, f.BtnExtractTable};
}

// Records message boxes, and runs `during` each time the library lets
// window events run.
struct THooks {
  std::vector<std::string> shown;
  std::function<void()> during;
  int pumped = 0;
  TUIHookGuard guard{[this](const std::string& t) { shown.push_back(t); },
                     [this] {
                       ++pumped;
                       if (during) during();
                     }};
};

// The employee sample, built once per test process on the embedded engine.
const std::string& EmployeeDatabase() {
  static const std::string path = [] {
    const std::string db = test::FreshTestFile("employee.fdb");
    const std::string script = test::EmployeeSampleScript();
    if (script.empty()) return std::string();
    const auto r = test::BuildFirebirdDatabase(db, script);
    return r.Ok ? db : std::string();
  }();
  return path;
}

// Settings for an InterBase database: a path on the embedded engine, or
// host[/port]:path with `host` given.
std::string InterBaseIni(const std::string& database, const char* table = "EMPLOYEE",
                         const std::string& host = {}) {
  const std::string text = "[Databases]\r\nDatabaseTypeM=1\r\nDBNameM=" + database +
                           "\r\nHostNameM=" + host +
                           "\r\nUserNameM=SYSDBA\r\nPasswordM=x\r\n"
                           "WinAuthenticationM=0\r\nTableNameM=" +
                           table + "\r\n";
  return NewIni(text.c_str());
}

std::string EmployeeIni(const char* table = "EMPLOYEE") {
  return InterBaseIni(EmployeeDatabase(), table);
}

// ------------------------------------------------------------- start-up

TEST(WindowStartUp, ControlsAndCaptions) {
  TForm1 f(NewIni(nullptr));
  EXPECT_EQ(f.size(), QSize(800, 540));
  EXPECT_EQ(f.rbMIB->text(), "InterBase");
  EXPECT_EQ(f.rbMMS->text(), "MS SQL");
  EXPECT_EQ(f.rbMMY->text(), "MySQL");
  EXPECT_TRUE(f.rbMMY->isHidden());
  EXPECT_EQ(f.Label3->text(), "Database name");
  EXPECT_EQ(f.LabelUserM->text(), "User");
  EXPECT_EQ(f.LabelPswdM->text(), "Password");
  EXPECT_EQ(f.EditPswdM->echoMode(), QLineEdit::Normal);
  EXPECT_EQ(f.LabelServerM->text(), "Server name");
  EXPECT_EQ(f.Label11->text(), "Table name");
  EXPECT_EQ(f.cbAuthM->text(), "Windows authentication");
  EXPECT_EQ(f.BtnExtractDb->text(), "Extract database");
  EXPECT_EQ(f.BtnTessarind->text(), "Extract metadata");
  EXPECT_EQ(f.BtnExtractTable->text(), "Extract table");
  EXPECT_TRUE(f.BtnExtractDb->isEnabled());
  EXPECT_FALSE(f.BtnTessarind->isEnabled());
  EXPECT_FALSE(f.BtnExtractTable->isEnabled());
  EXPECT_NE(f.ProgressBarM, nullptr);
  EXPECT_EQ(Lines(f.MemoLog), std::vector<std::string>{"< Log >"});
  EXPECT_TRUE(f.MemoLog->isReadOnly());
  EXPECT_EQ(f.MemoLog->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(Lines(f.MemoScript), std::vector<std::string>{"< Script is empty >"});
  EXPECT_FALSE(f.MemoScript->isReadOnly());
  EXPECT_EQ(f.MemoScript->lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST(WindowStartUp, FromTheSettingsFile) {
  struct Case {
    const char* name;
    const char* ini;  // none: no file
    TDatabaseType type;
    const char* user;
    const char* password;
    bool credentialsOn;
    bool authChecked;
    bool authOn;
    const char* dbName;
    const char* host;
    const char* table;
  };
  const Case cases[] = {
      {"no settings file", nullptr, TDatabaseType::dbInterBase, "", "", true, false, false, "", "",
       ""},
      {"InterBase",
       "[Databases]\r\nDatabaseTypeM=1\r\nDBNameM=C:\\Data\\EMPLOYEE.FDB\r\nHostNameM=srv\r\n"
       "UserNameM=SYSDBA\r\nPasswordM=pw\r\nWinAuthenticationM=0\r\nTableNameM=EMPLOYEE\r\n",
       TDatabaseType::dbInterBase, "SYSDBA", "pw", true, false, false, "C:\\Data\\EMPLOYEE.FDB",
       "srv", "EMPLOYEE"},
      // The check box's handler empties user and password; loading must
      // not run it.
      {"MS SQL with SQL authentication",
       "[Databases]\r\nDatabaseTypeM=5\r\nDBNameM=shop\r\nHostNameM=srv\\SQLEXPRESS\r\n"
       "UserNameM=sa\r\nPasswordM=s3cret\r\nWinAuthenticationM=0\r\nTableNameM=dbo.Orders\r\n",
       TDatabaseType::dbMSSQL, "sa", "s3cret", true, false, true, "shop", "srv\\SQLEXPRESS",
       "dbo.Orders"},
      {"MS SQL with Windows authentication",
       "[Databases]\r\nDatabaseTypeM=5\r\nDBNameM=shop\r\nHostNameM=srv\r\nUserNameM=\r\n"
       "PasswordM=\r\nWinAuthenticationM=1\r\n",
       TDatabaseType::dbMSSQL, "", "", false, true, true, "shop", "srv", ""},
      {"MySQL", "[Databases]\r\nDatabaseTypeM=3\r\nUserNameM=root\r\n", TDatabaseType::dbMySQL,
       "root", "", true, false, false, "", "", ""},
      {"unreadable type", "[Databases]\r\nDatabaseTypeM=five\r\n", TDatabaseType::dbInterBase, "",
       "", true, false, false, "", "", ""},
      {"unknown type", "[Databases]\r\nDatabaseTypeM=7\r\n", TDatabaseType::dbInterBase, "", "",
       true, false, false, "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TForm1 f(NewIni(c.ini));
    EXPECT_EQ(f.GetDatabaseType(), c.type);
    EXPECT_EQ(f.rbMIB->isChecked(), c.type == TDatabaseType::dbInterBase);
    EXPECT_EQ(f.rbMMS->isChecked(), c.type == TDatabaseType::dbMSSQL);
    EXPECT_EQ(f.rbMMY->isChecked(), c.type == TDatabaseType::dbMySQL);
    EXPECT_EQ(Text(f.EditUserM), c.user);
    EXPECT_EQ(Text(f.EditPswdM), c.password);
    EXPECT_EQ(f.EditUserM->isEnabled(), c.credentialsOn);
    EXPECT_EQ(f.EditPswdM->isEnabled(), c.credentialsOn);
    EXPECT_EQ(f.LabelUserM->isEnabled(), c.credentialsOn);
    EXPECT_EQ(f.cbAuthM->isChecked(), c.authChecked);
    EXPECT_EQ(f.cbAuthM->isEnabled(), c.authOn);
    EXPECT_TRUE(f.EditServerM->isEnabled());
    EXPECT_EQ(Text(f.EditDBNameM), c.dbName);
    EXPECT_EQ(Text(f.EditServerM), c.host);
    EXPECT_EQ(Text(f.EditTableM), c.table);
  }
}

// ------------------------------------------------------------- log pane

// Wherever a long line stands, the pane shows the start of the line just
// added, and that line is in view.
TEST(WindowLog, ShowsTheStartOfEachNewLine) {
  const std::string wide(400, 'W');
  struct Case {
    const char* name;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"short after long", {wide, "short"}},
      {"long after short", {"short", wide + " end"}},
      {"two long ones", {wide, "x" + wide}},
      {"several lines in one text", {wide, "first\r\nsecond"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TForm1 f(NewIni(nullptr));
    f.show();
    // Enough lines that the pane scrolls down as well.
    for (int i = 0; i < 30; ++i) f.AddLog("line " + std::to_string(i));
    for (const std::string& line : c.lines) f.LogNextLine(nullptr, line);
    QCoreApplication::processEvents();
    const QScrollBar* across = f.MemoLog->horizontalScrollBar();
    EXPECT_GT(across->maximum(), 0);
    EXPECT_EQ(across->value(), across->minimum());
    QTextCursor last(f.MemoLog->document()->lastBlock());
    const QRect at = f.MemoLog->cursorRect(last);
    EXPECT_TRUE(f.MemoLog->viewport()->rect().contains(at)) << at.y();
    EXPECT_GT(f.MemoLog->verticalScrollBar()->value(), 0);
  }
}

// ------------------------------------------------------------- server kind

TEST(WindowServerKind, SwitchesFillAndEnableTheCredentials) {
  TForm1 f(NewIni(nullptr));
  f.rbMMS->click();
  EXPECT_EQ(f.GetDatabaseType(), TDatabaseType::dbMSSQL);
  EXPECT_TRUE(f.cbAuthM->isChecked());
  EXPECT_TRUE(f.cbAuthM->isEnabled());
  EXPECT_FALSE(f.EditUserM->isEnabled());
  EXPECT_FALSE(f.LabelPswdM->isEnabled());
  EXPECT_EQ(Text(f.EditUserM), "");

  f.cbAuthM->click();  // SQL authentication
  EXPECT_FALSE(f.cbAuthM->isChecked());
  EXPECT_TRUE(f.EditUserM->isEnabled());
  EXPECT_TRUE(f.EditPswdM->isEnabled());
  EXPECT_EQ(Text(f.EditUserM), "");
  EXPECT_EQ(Text(f.EditPswdM), "");

  f.EditUserM->setText("sa");
  f.cbAuthM->click();  // back to Windows authentication: the user goes
  EXPECT_EQ(Text(f.EditUserM), "");
  EXPECT_FALSE(f.EditUserM->isEnabled());

  f.rbMIB->click();
  EXPECT_EQ(f.GetDatabaseType(), TDatabaseType::dbInterBase);
  EXPECT_EQ(Text(f.EditUserM), "SYSDBA");
  EXPECT_EQ(Text(f.EditPswdM), kDefaultAdminPassword);
  EXPECT_FALSE(f.cbAuthM->isChecked());
  EXPECT_FALSE(f.cbAuthM->isEnabled());
  EXPECT_TRUE(f.EditUserM->isEnabled());
  EXPECT_TRUE(f.EditServerM->isEnabled());

  // A change made by code runs the same handler.
  f.rbMMS->setChecked(true);
  EXPECT_TRUE(f.cbAuthM->isChecked());
  f.cbAuthM->setChecked(false);
  EXPECT_TRUE(f.EditUserM->isEnabled());
}

TEST(WindowServerKind, SetAndGetDatabaseType) {
  TForm1 f(NewIni(nullptr));
  const TDatabaseType types[] = {TDatabaseType::dbMSSQL, TDatabaseType::dbMySQL,
                                 TDatabaseType::dbInterBase};
  for (TDatabaseType t : types) {
    f.SetDatabaseType(t);
    EXPECT_EQ(f.GetDatabaseType(), t);
  }
  f.SetDatabaseType(TDatabaseType::dbOracle);  // anything else is InterBase
  EXPECT_EQ(f.GetDatabaseType(), TDatabaseType::dbInterBase);
}

// ------------------------------------------------------------- settings

unsigned Mode(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 0777u) : 0u;
}

TEST(WindowSettings, WrittenOnDestroyAndReadBack) {
  const std::string ini = NewIni("; kept\r\n[Other]\r\nX=1\r\n[Databases]\r\nDatabaseTypeM=1\r\n");
  ::chmod(ini.c_str(), 0644);
  {
    TForm1 f(ini);
    f.rbMMS->click();
    f.cbAuthM->click();
    f.EditUserM->setText("sa");
    f.EditPswdM->setText(" pa\\ss ");
    f.EditDBNameM->setText("shop");
    f.EditServerM->setText("srv\\SQLEXPRESS");
    f.EditTableM->setText("dbo.Orders");
  }
  EXPECT_EQ(Mode(ini), 0600u);
  const TIniFile file(ini);
  EXPECT_EQ(file.ReadString("Other", "X", ""), "1");
  EXPECT_EQ(file.ReadInteger(kIniSection, kIniDatabaseType, 0), 5);
  EXPECT_EQ(file.ReadString(kIniSection, kIniHostName, ""), "srv\\SQLEXPRESS");
  EXPECT_EQ(file.ReadString(kIniSection, kIniPassword, ""), " pa\\ss ");
  EXPECT_FALSE(file.ReadBool(kIniSection, kIniWinAuthentication, true));

  TForm1 again(ini);
  EXPECT_EQ(again.GetDatabaseType(), TDatabaseType::dbMSSQL);
  EXPECT_FALSE(again.cbAuthM->isChecked());
  EXPECT_EQ(Text(again.EditUserM), "sa");
  EXPECT_EQ(Text(again.EditPswdM), " pa\\ss ");
  EXPECT_EQ(Text(again.EditDBNameM), "shop");
  EXPECT_EQ(Text(again.EditServerM), "srv\\SQLEXPRESS");
  EXPECT_EQ(Text(again.EditTableM), "dbo.Orders");
  EXPECT_TRUE(again.EditPswdM->isEnabled());
}

TEST(WindowSettings, UnwritableFileIsReported) {
  const std::string dir = test::FreshTestFile("gone");
  TForm1 f(dir + "/Quorvane.Ini");
  std::string error;
  EXPECT_FALSE(f.FormDestroy(&error));
  EXPECT_NE(error.find("Quorvane.Ini"), std::string::npos) << error;
}

// ------------------------------------------------------------- MS SQL

// Recorded stand-in: no MS SQL Server runs here; the ADO binding is replaced
// by the replay of a 2008 database. The MS SQL choice runs the MS SQL
// extractor through every step, and the script shows what it read.
TEST(WindowMSSQL, TheMSSQLChoiceRunsTheMSSQLExtractor) {
  test::TBindingScope scope(
      TconnectionType::cnADO,
      test::TReplayConnection::FromFile(
          TconnectionType::cnADO, TDatabaseType::dbMSSQL,
          std::string(QOR_TEST_DATA_DIR) + "/extract/mssql/mssql2008_level100.json"));
  THooks hooks;
  TForm1 f(NewIni(nullptr));
  f.rbMMS->click();
  f.EditDBNameM->setText("Shop");
  f.EditServerM->setText("sqlhost");
  f.BtnExtractDb->click();
  const auto log = Lines(f.MemoLog);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), kFinished) << f.MemoLog->toPlainText().toStdString();
  for (const char* step : {"Extracting views...", "Extracting indexes...",
                           "Extracting privileges...", "Linking dependencies..."})
    EXPECT_NE(std::find(log.begin(), log.end(), step), log.end()) << step;
  f.BtnTessarind->click();
  const std::string script = f.MemoScript->toPlainText().toStdString();
  EXPECT_NE(script.find("CREATE VIEW SALES.VURGENT"), std::string::npos);
  EXPECT_NE(script.find("DENY UPDATE (PRICE) ON SALES.ORDERS TO SELLER"), std::string::npos);
}

// ------------------------------------------------------------- errors

TEST(WindowErrors, FailedRunsLeaveTheWindowUsable) {
  struct Case {
    const char* name;
    std::function<void(TForm1&)> set;
    const char* expectedInLog;  // a part of some line; none: only the final line
  };
  const Case cases[] = {
      // MS SQL goes through the ADO binding; the server refuses.
      {"MS SQL server refused",
       [](TForm1& f) {
         f.rbMMS->click();
         f.EditServerM->setText(
             QString::fromStdString("127.0.0.1," + std::to_string(test::ClosedLocalPort())));
       },
       "[FreeTDS]"},
      {"InterBase database missing",
       [](TForm1& f) {
         f.EditDBNameM->setText(QString::fromStdString(test::FreshTestFile("missing.fdb")));
       },
       "missing.fdb"},
      // First run: the connection type is still abstract, nothing opens.
      {"MySQL on the first run", [](TForm1& f) { f.SetDatabaseType(TDatabaseType::dbMySQL); },
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    THooks hooks;
    TForm1 f(NewIni(nullptr));
    c.set(f);
    f.BtnExtractDb->click();
    const auto log = Lines(f.MemoLog);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), kAbnormal);
    if (c.expectedInLog) {
      bool found = false;
      for (const auto& l : log) found = found || l.find(c.expectedInLog) != std::string::npos;
      EXPECT_TRUE(found) << f.MemoLog->toPlainText().toStdString();
    }
    EXPECT_TRUE(hooks.shown.empty()) << hooks.shown.front();
    EXPECT_FALSE(f.Busy());
    EXPECT_FALSE(f.QORConnection.Connected());
    for (QWidget* w : {static_cast<QWidget*>(f.rbMIB), static_cast<QWidget*>(f.rbMMS),
                       static_cast<QWidget*>(f.EditDBNameM), static_cast<QWidget*>(f.EditServerM),
                       static_cast<QWidget*>(f.EditTableM), static_cast<QWidget*>(f.BtnExtractDb)})
      EXPECT_TRUE(w->isEnabled()) << w->metaObject()->className();
    EXPECT_FALSE(f.BtnTessarind->isEnabled());
    EXPECT_FALSE(f.BtnExtractTable->isEnabled());
    // And it runs again.
    f.BtnExtractDb->click();
    EXPECT_EQ(Lines(f.MemoLog).back(), kAbnormal);
  }
}

// A server that takes the connection and never answers: the attach gives
// up after the connect timeout (ctest's timeout guards the run), the log
// says why, and the window is usable again.
TEST(WindowErrors, ServerThatNeverAnswers) {
  test::TSilentListener server;
  THooks hooks;
  TForm1 f(InterBaseIni("/data/never.fdb", "T", "127.0.0.1/" + std::to_string(server.Port())));
  f.BtnExtractDb->click();
  const auto log = Lines(f.MemoLog);
  EXPECT_GE(server.Accepted(), 1);
  ASSERT_GE(log.size(), 3u) << f.MemoLog->toPlainText().toStdString();
  EXPECT_EQ(log.back(), kAbnormal);
  const std::string why = f.MemoLog->toPlainText().toStdString();
  const std::string note = "The server of \"127.0.0.1/" + std::to_string(server.Port()) +
                           ":/data/never.fdb\" did not answer within " +
                           std::to_string(kIBConnectTimeout) + " seconds";
  EXPECT_NE(why.find(note), std::string::npos) << why;
  EXPECT_TRUE(hooks.shown.empty());
  EXPECT_FALSE(f.Busy());
  EXPECT_FALSE(f.QORConnection.Connected());
  for (QWidget* w : {static_cast<QWidget*>(f.rbMIB), static_cast<QWidget*>(f.EditDBNameM),
                     static_cast<QWidget*>(f.EditServerM), static_cast<QWidget*>(f.BtnExtractDb)})
    EXPECT_TRUE(w->isEnabled()) << w->metaObject()->className();
}

TEST(WindowErrors, ProtocolFollowsTheServerName) {
  struct Case {
    const char* server;
    TQORProtocol expected;
  };
  const Case cases[] = {{"", TQORProtocol::ptLocal}, {"127.0.0.1", TQORProtocol::ptTCP}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.server);
    THooks hooks;
    TForm1 f(NewIni(nullptr));
    f.EditDBNameM->setText(QString::fromStdString(test::FreshTestFile("absent.fdb")));
    f.EditServerM->setText(c.server);
    f.BtnExtractDb->click();
    EXPECT_EQ(f.QORConnection.ConnectionOptions.Protocol, c.expected);
    EXPECT_EQ(f.QORConnection.ConnectionOptions.HostName, c.server);
    EXPECT_EQ(Lines(f.MemoLog).back(), kAbnormal);
  }
}

// ------------------------------------------------------------- end to end

// The script without its database header: the replay makes a database of
// its own.
std::string WithoutDatabaseHeader(std::string script) {
  const auto create = script.find("CREATE DATABASE");
  if (create != std::string::npos) {
    const auto end = script.find(';', create);
    script.erase(create, end == std::string::npos ? std::string::npos : end - create + 1);
  }
  const auto dialect = script.find("SET SQL DIALECT");
  if (dialect != std::string::npos) script.erase(dialect, script.find(';', dialect) - dialect + 1);
  return script;
}

// Log lines must appear in this order (others may stand between).
void ExpectInOrder(const std::vector<std::string>& log, const std::vector<std::string>& wanted) {
  std::size_t at = 0;
  for (const auto& line : log)
    if (at < wanted.size() && line == wanted[at]) ++at;
  EXPECT_EQ(at, wanted.size()) << "missing from the log in order: "
                               << (at < wanted.size() ? wanted[at] : "");
}

TEST(WindowEndToEnd, EmployeeThroughTheWindow) {
  ASSERT_FALSE(EmployeeDatabase().empty()) << "the employee sample could not be built";
  THooks hooks;
  TForm1 f(EmployeeIni());
  f.show();

  // While the run lets events run, every input is off and no second run
  // can start, whatever is pressed.
  int whileBusy = 0, inputsOn = 0;
  hooks.during = [&] {
    if (!f.Busy()) return;
    ++whileBusy;
    for (QWidget* w : Inputs(f)) inputsOn += w->isEnabled() ? 1 : 0;
    f.BtnExtractDb->click();
    f.BtnTessarind->click();
    f.BtnExtractDbClick();
    f.BtnTessarindClick();
    f.BtnExtractTableClick();
  };
  f.BtnExtractDb->click();
  hooks.during = nullptr;

  const auto log = Lines(f.MemoLog);
  EXPECT_GT(whileBusy, 10);
  EXPECT_EQ(inputsOn, 0);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "< Log >");
  EXPECT_EQ(log.back(), kFinished) << f.MemoLog->toPlainText().toStdString();
  ExpectInOrder(
      log, {"< Log >", "---EMPLOYEE", "Parsing bodies...", "Linking dependencies...", kFinished});
  int finished = 0;
  for (const auto& l : log) finished += (l == kFinished || l == kAbnormal) ? 1 : 0;
  EXPECT_EQ(finished, 1);
  EXPECT_TRUE(hooks.shown.empty());
  EXPECT_TRUE(f.MemoScript->toPlainText().isEmpty());
  for (QWidget* w : Inputs(f)) EXPECT_TRUE(w->isEnabled());
  EXPECT_FALSE(f.QORConnection.Connected());

  // The whole script, and it replays on a fresh database.
  f.BtnTessarind->click();
  const std::string script = f.MemoScript->toPlainText().toStdString();
  EXPECT_NE(script.find("CREATE TABLE EMPLOYEE"), std::string::npos);
  EXPECT_NE(script.find("CREATE TABLE COUNTRY"), std::string::npos);
  const auto replay = test::RunFirebirdScript(WithoutDatabaseHeader(script));
  EXPECT_TRUE(replay.Ok) << replay.Errors;

  // One table.
  f.BtnExtractTable->click();
  const std::string table = f.MemoScript->toPlainText().toStdString();
  EXPECT_NE(table.find("CREATE TABLE EMPLOYEE"), std::string::npos);
  EXPECT_EQ(table.find("CREATE TABLE COUNTRY"), std::string::npos);

  // No name: a message, and the pane stays as it was.
  f.EditTableM->setText("  ");
  f.BtnExtractTable->click();
  EXPECT_EQ(hooks.shown, std::vector<std::string>{"Table name not specified."});
  EXPECT_EQ(f.MemoScript->toPlainText().toStdString(), table);
  EXPECT_TRUE(f.BtnExtractTable->isEnabled());

  // A name the database does not have.
  f.EditTableM->setText("NO_SUCH_TABLE");
  f.BtnExtractTable->click();
  EXPECT_NE(
      f.MemoScript->toPlainText().toStdString().find("/* Table \"NO_SUCH_TABLE\" not found */"),
      std::string::npos);

  // A second run replaces the objects of the first.
  f.BtnExtractDb->click();
  EXPECT_EQ(Lines(f.MemoLog).back(), kFinished);
  f.BtnTessarind->click();
  EXPECT_EQ(f.MemoScript->toPlainText().toStdString(), script);

  // MySQL keeps the connection type of the run before, whose binding
  // refuses MySQL. The objects read before stay and so do the script
  // commands.
  f.SetDatabaseType(TDatabaseType::dbMySQL);
  f.BtnExtractDb->click();
  const auto mysqlLog = Lines(f.MemoLog);
  EXPECT_EQ(mysqlLog.back(), kAbnormal);
  EXPECT_TRUE(Contains(mysqlLog, "Not supported DatabaseType select."))
      << f.MemoLog->toPlainText().toStdString();
  EXPECT_FALSE(f.QORConnection.Connected());
  EXPECT_TRUE(f.BtnTessarind->isEnabled());
  f.BtnTessarind->click();
  EXPECT_EQ(f.MemoScript->toPlainText().toStdString(), script);
}

// Columns and a domain in character sets other than the database's, with
// and without collations: the window's script keeps them, so the replay
// (into a database of the same default) has them as the source has.
TEST(WindowEndToEnd, ScriptKeepsCharacterSetsAndCollations) {
  const char* ddl =
      "CREATE DOMAIN D_LATIN VARCHAR(8) CHARACTER SET ISO8859_1 COLLATE DE_DE;\n"
      "CREATE TABLE T_CS (ID INTEGER NOT NULL,\n"
      "  NAME VARCHAR(10) CHARACTER SET WIN1250 COLLATE PXW_CSY,\n"
      "  CODE CHAR(2) CHARACTER SET ISO8859_1,\n"
      "  NOTE VARCHAR(20) COLLATE UNICODE_CI,\n"
      "  PLAIN VARCHAR(5));\n";
  test::TFirebirdReplayOptions utf8;
  utf8.CharSet = "UTF8";
  const std::string db = test::FreshTestFile("charsets.fdb");
  const auto built = test::BuildFirebirdDatabase(db, ddl, {}, utf8);
  ASSERT_TRUE(built.Ok) << built.Errors;
  THooks hooks;
  TForm1 f(InterBaseIni(db, "T_CS"));
  f.BtnExtractDb->click();
  ASSERT_EQ(Lines(f.MemoLog).back(), kFinished) << f.MemoLog->toPlainText().toStdString();
  f.BtnTessarind->click();
  const std::string script = f.MemoScript->toPlainText().toStdString();
  for (const char* text : {"CHARACTER SET WIN1250 COLLATE PXW_CSY", "CHARACTER SET ISO8859_1",
                           "COLLATE DE_DE", "COLLATE UNICODE_CI"})
    EXPECT_NE(script.find(text), std::string::npos) << text << "\n" << script;

  // The engine's own view of both databases: every line that names a
  // character set or a collation comes back.
  const auto source = test::ExtractFirebirdDDL(db);
  ASSERT_TRUE(source.Ok) << source.Errors;
  test::TFirebirdReplayOptions replayOptions = utf8;
  replayOptions.Extract = true;
  const auto replay = test::RunFirebirdScript(test::WithoutDatabaseHeader(script), replayOptions);
  ASSERT_TRUE(replay.Ok) << replay.Errors;
  std::istringstream in(source.Output);
  int named = 0;
  for (std::string line; std::getline(in, line);) {
    // The database header is a comment naming the file.
    if (line.rfind("/*", 0) == 0) continue;
    if (line.find("CHARACTER SET") == std::string::npos &&
        line.find("COLLATE") == std::string::npos)
      continue;
    ++named;
    EXPECT_NE(replay.Extract.find(line), std::string::npos) << line << "\n" << replay.Extract;
  }
  EXPECT_GE(named, 4) << source.Output;
}

// A run that stops midway has cleared the objects of the run before and
// read only a part of the database: no script is offered until a run
// finishes again.
TEST(WindowEndToEnd, AnUnfinishedRunWithdrawsTheScriptCommands) {
  ASSERT_FALSE(EmployeeDatabase().empty()) << "the employee sample could not be built";
  THooks hooks;
  TForm1 f(EmployeeIni());
  f.BtnExtractDb->click();
  ASSERT_EQ(Lines(f.MemoLog).back(), kFinished);
  f.BtnTessarind->click();
  const std::string script = f.MemoScript->toPlainText().toStdString();

  const std::size_t logBefore = Lines(f.MemoLog).size();
  hooks.during = [&] {
    // Tables read, views being read.
    if (!f.Busy()) return;
    const auto now = Lines(f.MemoLog);
    if (std::find(now.begin() + static_cast<std::ptrdiff_t>(logBefore), now.end(),
                  "Extracting views...") != now.end())
      StopRequested = true;
  };
  f.BtnExtractDb->click();
  hooks.during = nullptr;
  const auto log = Lines(f.MemoLog);
  const std::vector<std::string> run(log.begin() + static_cast<std::ptrdiff_t>(logBefore),
                                     log.end());
  EXPECT_TRUE(Contains(run, "Extraction stopped.")) << f.MemoLog->toPlainText().toStdString();
  EXPECT_TRUE(Contains(run, "Extracting tables..."));
  EXPECT_FALSE(Contains(run, "Linking dependencies..."));
  EXPECT_EQ(run.back(), kAbnormal);
  EXPECT_FALSE(f.BtnTessarind->isEnabled());
  EXPECT_FALSE(f.BtnExtractTable->isEnabled());
  EXPECT_TRUE(f.BtnExtractDb->isEnabled());
  // Nor do the handlers, called all the same, write the half-read model.
  const std::string shown = f.MemoScript->toPlainText().toStdString();
  f.BtnTessarindClick();
  f.BtnExtractTableClick();
  EXPECT_EQ(f.MemoScript->toPlainText().toStdString(), shown);

  // The next finished run offers the whole script again.
  f.BtnExtractDb->click();
  EXPECT_EQ(Lines(f.MemoLog).back(), kFinished);
  ASSERT_TRUE(f.BtnTessarind->isEnabled());
  EXPECT_TRUE(f.BtnExtractTable->isEnabled());
  f.BtnTessarind->click();
  EXPECT_EQ(f.MemoScript->toPlainText().toStdString(), script);
}

TEST(WindowEndToEnd, ClosingDuringARunStopsItAndClosesAfter) {
  ASSERT_FALSE(EmployeeDatabase().empty()) << "the employee sample could not be built";
  const std::string ini = EmployeeIni();
  THooks hooks;
  auto f = std::make_unique<TForm1>(ini);
  f->show();
  bool closedAtOnce = true;
  int pumpedAtClose = 0;
  hooks.during = [&] {
    if (pumpedAtClose) return;
    pumpedAtClose = hooks.pumped;
    f->close();
    closedAtOnce = !f->isVisible();
  };
  f->BtnExtractDb->click();
  EXPECT_FALSE(closedAtOnce);
  EXPECT_FALSE(f->isVisible());
  EXPECT_FALSE(f->Busy());
  EXPECT_FALSE(f->QORConnection.Connected());
  const auto log = Lines(f->MemoLog);
  EXPECT_FALSE(Contains(log, "Linking dependencies...")) << f->MemoLog->toPlainText().toStdString();
  EXPECT_LT(hooks.pumped - pumpedAtClose, 5);
  f.reset();
  EXPECT_EQ(Mode(ini), 0600u);
  EXPECT_EQ(TIniFile(ini).ReadString(kIniSection, kIniDBName, ""), EmployeeDatabase());
  StopRequested = false;
}

TEST(WindowOffscreenRun, WritesScreenshotAndScript) {
  ASSERT_FALSE(EmployeeDatabase().empty()) << "the employee sample could not be built";
  THooks hooks;
  const std::string dir = test::FreshTestFile("offscreen");
  fs::create_directory(dir);
  {
    TForm1 f(EmployeeIni());
    const auto r = RunOffscreen(f, dir);
    EXPECT_TRUE(r.Extracted);
    EXPECT_TRUE(r.Error.empty()) << r.Error;
    ASSERT_EQ(r.ScreenshotPath, dir + "/quorvane-window.png");
    ASSERT_EQ(r.ScriptPath, dir + "/quorvane-script.sql");
    std::ifstream png(r.ScreenshotPath, std::ios::binary);
    char magic[4] = {};
    png.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
    std::ifstream sql(r.ScriptPath);
    std::stringstream text;
    text << sql.rdbuf();
    EXPECT_NE(text.str().find("CREATE TABLE EMPLOYEE"), std::string::npos);
    // The table script is what the window shows last.
    EXPECT_EQ(f.MemoScript->toPlainText().toStdString().find("CREATE TABLE COUNTRY"),
              std::string::npos);
  }
  {
    // A run that fails still shows what happened; there is no script.
    const std::string failing = test::FreshTestFile("offscreen-failing");
    fs::create_directory(failing);
    TForm1 f(NewIni("[Databases]\r\nDatabaseTypeM=5\r\n"));
    const auto r = RunOffscreen(f, failing);
    EXPECT_FALSE(r.Extracted);
    EXPECT_FALSE(r.ScreenshotPath.empty());
    EXPECT_TRUE(r.ScriptPath.empty());
    EXPECT_FALSE(fs::exists(failing + "/quorvane-script.sql"));
  }
}

// The hidden MySQL choice runs the MySQL extractor: with the ADO binding
// left from an earlier run and a connection string naming the MariaDB
// driver, the suite's MariaDB server is read and scripted.
TEST(MariaDbWindow, TheMySQLChoiceRunsTheMySQLExtractor) {
  test::TMariaDbReplayDatabase db;
  ASSERT_TRUE(db.Ready()) << db.Error();
  ASSERT_TRUE(db.Execute("CREATE TABLE `order` (id int NOT NULL PRIMARY KEY);")) << db.Error();
  THooks hooks;
  TForm1 f(NewIni(nullptr));
  f.QORConnection.SetConnectionType(TconnectionType::cnADO);
  f.QORConnection.ConnectionOptions.ConnectionString =
      std::string("Driver=") + test::kMariaDBDriver +
      ";Server=127.0.0.1;Port=" + std::to_string(QOR_MARIADB_PORT) + ";Database=" + db.Name() +
      ";UID=" + QOR_MARIADB_USER + ";PWD=" + QOR_MARIADB_PASSWORD + ";";
  f.SetDatabaseType(TDatabaseType::dbMySQL);
  f.BtnExtractDb->click();
  const auto log = Lines(f.MemoLog);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), kFinished) << f.MemoLog->toPlainText().toStdString();
  EXPECT_TRUE(Contains(log, "Table: order")) << f.MemoLog->toPlainText().toStdString();
  f.BtnTessarind->click();
  EXPECT_NE(f.MemoScript->toPlainText().toStdString().find("CREATE TABLE `order`"),
            std::string::npos)
      << f.MemoScript->toPlainText().toStdString();
  EXPECT_TRUE(hooks.shown.empty());
}

}  // namespace
}  // namespace qor
