// The ADO components on the real ODBC driver manager with SQLite's ODBC
// driver: reading, parameters, statements without rows, transactions,
// NULLs, long text, driver errors and two queries open on one connection.
#include "platform/odbc/qorADO.h"

#include "tests/support/qorODBCTestEnv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

class ADOSQLite : public ::testing::Test {
 protected:
  void SetUp() override {
    connection.ConnectionString = test::FreshSQLiteConnectionString("ado.db");
    connection.Open();
    ASSERT_TRUE(connection.Connected());
    Exec("CREATE TABLE t (id INTEGER PRIMARY KEY, name VARCHAR(40), amount DOUBLE, note TEXT)");
    Exec("INSERT INTO t VALUES (1, 'one', 1.5, NULL)");
    Exec("INSERT INTO t VALUES (2, 'two', NULL, 'second')");
    Exec("INSERT INTO t VALUES (3, NULL, -2.25, '')");
  }

  std::int64_t Exec(const std::string& sql) {
    TADOQuery q;
    q.SetConnection(&connection);
    q.SQL().SetText(sql);
    return q.ExecSQL();
  }

  // Every row of a query, its fields as text ("<null>" for NULL).
  std::vector<std::string> Rows(TADOQuery& q) {
    std::vector<std::string> rows;
    q.Close();
    for (q.Open(); !q.Eof(); q.Next()) {
      std::string row;
      for (int i = 0; i < q.GetFields()->Count(); ++i) {
        const TField* f = q.GetFields()->Fields(i);
        row += (i ? "|" : "") + (f->IsNull() ? std::string("<null>") : f->AsString());
      }
      rows.push_back(row);
    }
    return rows;
  }

  TADOConnection connection;
};

TEST_F(ADOSQLite, ReadsRowsFieldsAndNulls) {
  TADOQuery q;
  q.SetConnection(&connection);
  q.SQL().SetText("SELECT id, name, amount, note FROM t ORDER BY id");
  EXPECT_EQ(Rows(q), (std::vector<std::string>{"1|one|1.5|<null>", "2|two|<null>|second",
                                               "3|<null>|-2.25|"}));
  EXPECT_TRUE(q.Active());
  EXPECT_TRUE(q.Eof());
  // The last row's values stay after the end; a NULL reads as the dataset
  // classes say.
  EXPECT_EQ(q.FieldByName("ID")->AsInteger(), 3);
  EXPECT_TRUE(q.FieldByName("name")->IsNull());
  EXPECT_EQ(q.FieldByName("name")->AsString(), "");
  EXPECT_DOUBLE_EQ(q.FieldByName("amount")->AsFloat(), -2.25);
  EXPECT_FALSE(q.FieldByName("note")->IsNull());
  EXPECT_EQ(q.GetFields()->Fields(0)->DataType(), TFieldType::ftInteger);
  q.Close();
  EXPECT_FALSE(q.Active());
  EXPECT_TRUE(q.Eof());

  q.SQL().SetText("SELECT id FROM t WHERE id > 10");
  q.Open();
  EXPECT_TRUE(q.Eof());
}

TEST_F(ADOSQLite, ParametersAreBoundByPosition) {
  TADOQuery q;
  q.SetConnection(&connection);
  q.SQL().SetText("INSERT INTO t (id, name, amount, note) VALUES (?, ?, ?, ?)");
  for (const char* n : {"id", "name", "amount", "note"}) q.Parameters().CreateParam(n);
  q.Parameters()[0]->SetAsInteger(10);
  q.Parameters()[1]->SetAsString("it's \"ten\"; DROP TABLE t");
  q.Parameters()[2]->SetAsFloat(0.125);
  // note never given a value: NULL
  EXPECT_EQ(q.ExecSQL(), 1);

  TADOQuery r;
  r.SetConnection(&connection);
  r.SQL().SetText("SELECT name, amount, note FROM t WHERE id = ? AND name = ?");
  r.Parameters().CreateParam("id")->SetAsInteger(10);
  r.Parameters().CreateParam("name")->SetAsString("it's \"ten\"; DROP TABLE t");
  EXPECT_EQ(Rows(r), std::vector<std::string>{"it's \"ten\"; DROP TABLE t|0.125|<null>"});

  r.Parameters()[1]->Clear();  // NULL matches nothing
  EXPECT_TRUE(Rows(r).empty());
}

TEST_F(ADOSQLite, ExecSQLCountsRowsAndOpenRefusesAStatementWithoutRows) {
  EXPECT_EQ(Exec("UPDATE t SET note = 'x' WHERE id >= 2"), 2);
  EXPECT_EQ(Exec("DELETE FROM t WHERE id = 99"), 0);
  TADOQuery q;
  q.SetConnection(&connection);
  q.SQL().SetText("UPDATE t SET note = 'y'");
  EXPECT_THROW(q.Open(), EQorError);
  EXPECT_FALSE(q.Active());
}

TEST_F(ADOSQLite, LongTextArrivesWhole) {
  std::string text;
  for (int i = 0; text.size() < 100000; ++i) text += "line " + std::to_string(i) + " ü\n";
  TADOQuery q;
  q.SetConnection(&connection);
  q.SQL().SetText("UPDATE t SET note = ? WHERE id = 1");
  q.Parameters().CreateParam("note")->SetAsString(text);
  EXPECT_EQ(q.ExecSQL(), 1);
  q.SQL().SetText("SELECT note FROM t WHERE id = 1");
  q.Parameters().Clear();
  q.Open();
  ASSERT_FALSE(q.Eof());
  EXPECT_EQ(q.FieldByName("note")->AsString(), text);
}

TEST_F(ADOSQLite, TransactionsCommitAndRollBack) {
  connection.BeginTrans();
  EXPECT_TRUE(connection.InTransaction());
  Exec("INSERT INTO t (id, name) VALUES (20, 'kept')");
  connection.CommitTrans();
  EXPECT_FALSE(connection.InTransaction());

  connection.BeginTrans();
  Exec("INSERT INTO t (id, name) VALUES (21, 'gone')");
  connection.RollbackTrans();
  EXPECT_FALSE(connection.InTransaction());

  TADOQuery q;
  q.SetConnection(&connection);
  q.SQL().SetText("SELECT id FROM t WHERE id >= 20");
  EXPECT_EQ(Rows(q), std::vector<std::string>{"20"});
  EXPECT_THROW(connection.CommitTrans(), EQorError);

  // Closing with an open transaction rolls it back.
  connection.BeginTrans();
  Exec("INSERT INTO t (id, name) VALUES (22, 'open')");
  connection.Close();
  connection.Open();
  EXPECT_EQ(Rows(q), std::vector<std::string>{"20"});
}

TEST_F(ADOSQLite, ASecondQueryRunsWhileTheFirstIsOpen) {
  TADOQuery outer, inner;
  outer.SetConnection(&connection);
  inner.SetConnection(&connection);
  outer.SQL().SetText("SELECT id FROM t ORDER BY id");
  inner.SQL().SetText("SELECT COUNT(*) AS n FROM t WHERE id <= ?");
  inner.Parameters().CreateParam("id");
  std::vector<std::string> seen;
  for (outer.Open(); !outer.Eof(); outer.Next()) {
    inner.Parameters()[0]->SetAsInteger(outer.FieldByName("id")->AsInteger());
    inner.Close();
    inner.Open();
    seen.push_back(outer.FieldByName("id")->AsString() + ":" + inner.FieldByName("n")->AsString());
    Exec("UPDATE t SET note = 'seen' WHERE id = " + outer.FieldByName("id")->AsString());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"1:1", "2:2", "3:3"}));
}

TEST_F(ADOSQLite, DriverErrorsCarryTheDriversText) {
  TADOQuery q;
  q.SetConnection(&connection);
  q.SQL().SetText("SELECT * FROM no_such_table");
  try {
    q.Open();
    ADD_FAILURE() << "no error";
  } catch (const EADOError& e) {
    EXPECT_NE(std::string(e.what()).find("no such table"), std::string::npos) << e.what();
    EXPECT_FALSE(e.SQLState.empty());
  }
  EXPECT_FALSE(q.Active());
  EXPECT_THROW(Exec("INSERT INTO t (id) VALUES (1)"), EADOError);  // duplicate key
}

TEST(ADOConnection, ClosedOrMissingConnectionAndBadStringsAreErrors) {
  TADOQuery q;
  q.SQL().SetText("SELECT 1");
  EXPECT_THROW(q.Open(), EQorError);
  TADOConnection c;
  q.SetConnection(&c);
  EXPECT_THROW(q.Open(), EQorError);
  EXPECT_THROW(c.BeginTrans(), EQorError);

  // No driver named: the driver manager's own error.
  c.ConnectionString = "User ID=u;Password=p;";
  try {
    c.Open();
    ADD_FAILURE() << "no error";
  } catch (const EADOError& e) {
    EXPECT_NE(std::string(e.what()).find("Driver Manager"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(c.Connected());
  c.ConnectionString = "Driver=NoSuchDriverHere;Database=x";
  EXPECT_THROW(c.Open(), EADOError);
  EXPECT_FALSE(c.Connected());
}

TEST(ADOConnection, AQueryOutlivesItsConnection) {
  TADOQuery q;
  {
    TADOConnection c;
    c.ConnectionString = test::FreshSQLiteConnectionString("outlive.db");
    c.Open();
    q.SetConnection(&c);
    q.SQL().SetText("SELECT 1 AS one");
    q.Open();
    EXPECT_EQ(q.FieldByName("one")->AsInteger(), 1);
  }
  EXPECT_EQ(q.Connection(), nullptr);
  q.Close();
  EXPECT_THROW(q.Open(), EQorError);
}

}  // namespace
}  // namespace qor
