// Connection strings: reading both forms, quoting values so that they come
// back intact, masking passwords, and the translation of an OLE DB string
// into the ODBC string of the configured driver.
#include "platform/odbc/qorConnString.h"
#include "platform/qorObject.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs Read(const std::string& text, TConnStringSyntax syntax) {
  Pairs out;
  for (const TConnStringPair& p : ParseConnectionString(text, syntax))
    out.emplace_back(p.Key, p.Value);
  return out;
}

TEST(ConnString, ReadsBothForms) {
  struct Case {
    const char* name;
    TConnStringSyntax syntax;
    std::string text;
    Pairs expected;
  };
  // clang-format off
  const Case cases[] = {
      {"plain", TConnStringSyntax::OLEDB, "Provider=SQLOLEDB;Data Source=srv;",
       {{"Provider", "SQLOLEDB"}, {"Data Source", "srv"}}},
      {"blanks around keys and values, no final ;", TConnStringSyntax::OLEDB, "  User ID = sa ;Password= x y ",
       {{"User ID", "sa"}, {"Password", "x y"}}},
      {"double-quoted value with ; and doubled quote", TConnStringSyntax::OLEDB, "Password=\"a;\"\"b\";UID=u",
       {{"Password", "a;\"b"}, {"UID", "u"}}},
      {"single-quoted value", TConnStringSyntax::OLEDB, "Password='x\"y;z'", {{"Password", "x\"y;z"}}},
      {"== is = in an OLE DB key", TConnStringSyntax::OLEDB, "a==b=c", {{"a=b", "c"}}},
      {"empty value and stray ;;", TConnStringSyntax::OLEDB, ";;Password=;;X=1", {{"Password", ""}, {"X", "1"}}},
      {"braces with }} in ODBC", TConnStringSyntax::ODBC, "DRIVER={My Driver};PWD={a;b}}c=d};",
       {{"DRIVER", "My Driver"}, {"PWD", "a;b}c=d"}}},
      {"quotes are plain text in ODBC", TConnStringSyntax::ODBC, "PWD=\"a\";", {{"PWD", "\"a\""}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(c.text, c.syntax), c.expected);
  }
}

TEST(ConnString, UnreadableTextIsAnErrorNamingThePlace) {
  const std::pair<TConnStringSyntax, std::string> cases[] = {
      {TConnStringSyntax::OLEDB, "Password=\"abc"},
      {TConnStringSyntax::OLEDB, "Password=\"abc\"def;"},
      {TConnStringSyntax::OLEDB, "Provider;Password=x"},
      {TConnStringSyntax::OLEDB, "=x"},
      {TConnStringSyntax::ODBC, "PWD={abc;"},
  };
  for (const auto& [syntax, text] : cases) {
    SCOPED_TRACE(text);
    EXPECT_THROW(ParseConnectionString(text, syntax), EQorError);
  }
}

// Every value, quoted and read back, is the value; and it never adds a key.
TEST(ConnString, QuotedValuesComeBackIntact) {
  // clang-format off
  const std::string values[] = {"plain", "", "a;b;Database=x", "}", "{x}", "a}}b", "=x", "a=b",
                                " lead", "trail ", "\"", "'", "both\"and'", "x\"y", "é ü"};
  // clang-format on
  for (const std::string& v : values) {
    SCOPED_TRACE(v);
    const Pairs oledb =
        Read("Password=" + QuoteOLEDBValue(v, "password") + ";Next=1", TConnStringSyntax::OLEDB);
    EXPECT_EQ(oledb, (Pairs{{"Password", v}, {"Next", "1"}}));
    const Pairs odbc =
        Read("PWD=" + QuoteODBCValue(v, "password") + ";Next=1", TConnStringSyntax::ODBC);
    EXPECT_EQ(odbc, (Pairs{{"PWD", v}, {"Next", "1"}}));
  }
  EXPECT_EQ(QuoteOLEDBValue("plain", "x"), "plain");
  EXPECT_EQ(QuoteODBCValue("plain", "x"), "plain");
}

TEST(ConnString, ANulCharacterIsRefusedNamingTheValue) {
  const std::string v("a\0b", 3);
  for (auto quote : {&QuoteOLEDBValue, &QuoteODBCValue}) {
    try {
      quote(v, "password");
      ADD_FAILURE() << "no error";
    } catch (const EQorError& e) {
      EXPECT_EQ(std::string(e.what()),
                "The password holds a NUL character, which a connection string cannot carry.");
    }
  }
}

TEST(ConnString, MaskHidesEveryPasswordAndKeepsTheRest) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"Provider=SQLOLEDB;User ID=sa;Password=secret;", "Provider=SQLOLEDB;User ID=sa;Password=*******;"},
      {"Provider=X;password=\"se;cret\";Data Source=h", "Provider=X;password=*******;Data Source=h"},
      {"Driver=QorSQLite3;PWD={a;b}}c};UID=u;Pwd=2", "Driver=QorSQLite3;PWD=*******;UID=u;Pwd=*******"},
      {"Provider=X;Password=;", "Provider=X;Password=;"},
      {"Provider=X;User ID=sa", "Provider=X;User ID=sa"},
  };
  // clang-format on
  for (const auto& [text, masked] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(MaskConnectionStringPassword(text), masked);
  }
  const std::string unreadable = MaskConnectionStringPassword("Provider=X;Password=\"secret");
  EXPECT_EQ(unreadable.find("secret"), std::string::npos) << unreadable;
}

TEST(ConnString, TranslatesOLEDBToTheConfiguredDriver) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"Provider=SQLOLEDB;Initial Catalog=db;Data Source=srv;Network Library=DBMSSOCN;"
       "Persist Security Info=True;User ID=sa;Password=pw;",
       "Driver=FreeTDS;Database=db;Server=srv;UID=sa;PWD=pw;"},
      {"Provider=SQLOLEDB.1;Data Source=srv;Integrated Security=SSPI;Persist Security Info=False;",
       "Driver=FreeTDS;Server=srv;Trusted_Connection=Yes;"},
      // FreeTDS: braces only where a ";" or a leading "{" needs them.
      {"Provider=SQLOLEDB;User ID=\"a;b\";Password='x\"}y';Initial Catalog={db",
       "Driver=FreeTDS;UID={a;b};PWD=x\"}y;Database={{db};"},
      // Any other driver: braces with "}" doubled.
      {"Provider=MyProvider;User ID=\"a;b\";Password='x\"}y';Initial Catalog=\" db\"",
       "Driver=My Driver;UID={a;b};PWD={x\"}}y};Database={ db};"},
      // Without a provider only the translated keys remain: the driver
      // manager then says what is missing.
      {"User ID=u;Password=p;", "UID=u;PWD=p;"},
      // A string for a driver or a data source is the driver manager's.
      {"Driver={QorSQLite3};Database=/tmp/x.db;Password=\"p\"", "Driver={QorSQLite3};Database=/tmp/x.db;Password=\"p\""},
      {"DSN=mine;UID=u", "DSN=mine;UID=u"},
  };
  // clang-format on
  SetProviderDriver("MyProvider", "My Driver");
  for (const auto& [text, odbc] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(TranslateConnectionString(text).Text, odbc);
  }
  SetProviderDriver("MyProvider", "");
  try {
    TranslateConnectionString("Provider=SQLOLEDB;Password=\"a;b}\"");
    ADD_FAILURE() << "no error";
  } catch (const EQorError& e) {
    EXPECT_EQ(
        std::string(e.what()),
        "The password holds \"}\" together with \";\" or a leading \"{\", which the FreeTDS driver cannot "
        "receive.");
  }
  EXPECT_EQ(TranslateConnectionString("Provider=SQLOLEDB;Connect Timeout=7").LoginTimeout, 7);
  EXPECT_FALSE(TranslateConnectionString("Provider=SQLOLEDB").LoginTimeout.has_value());
  EXPECT_THROW(TranslateConnectionString("Provider=SQLOLEDB;Connect Timeout=soon"), EQorError);
}

TEST(ConnString, AProviderWithoutADriverIsAnErrorAndTheDriverIsConfigurable) {
  try {
    TranslateConnectionString("Provider=OraOLEDB.Oracle;Data Source=h;");
    ADD_FAILURE() << "no error";
  } catch (const EQorError& e) {
    EXPECT_EQ(std::string(e.what()),
              "No ODBC driver is configured for the OLE DB provider 'OraOLEDB.Oracle'.");
  }
  SetProviderDriver("OraOLEDB.Oracle", "Oracle 19 ODBC driver");
  EXPECT_EQ(TranslateConnectionString("Provider=OraOLEDB.Oracle;Data Source=h;").Text,
            "Driver=Oracle 19 ODBC driver;Server=h;");
  SetProviderDriver("OraOLEDB.Oracle", "");
  EXPECT_EQ(ProviderDriver("OraOLEDB.Oracle"), "");
  EXPECT_EQ(ProviderDriver("sqloledb"), "FreeTDS");
}

}  // namespace
}  // namespace qor
