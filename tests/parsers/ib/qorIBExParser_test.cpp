// The body parser on stored texts (ParseObjectText) and on scripts: the
// faults it mends and the edge cases of its entry points, each on a small
// model. The corpus (tests/data/sql/ib_bodies) covers the grammar at large.
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "tests/parsers/ib/qorIBNestedQuery.h"
#include "tests/parsers/ib/qorIBParserFixture.h"
#include "tests/support/qorModelDump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qor::test {
namespace {

const char* const kTables =
    "CREATE GENERATOR G_ORDER;\n"
    "CREATE TABLE ORDERS (ID INTEGER, QTY INTEGER, CUST INTEGER, D DATE);\n"
    "CREATE TABLE CUSTOMERS (ID INTEGER, NAME VARCHAR(20));\n";

// Counts the tokens the parser scans: the measure of its work.
class TCountingExParser : public TIbExParser {
 public:
  using TIbExParser::TIbExParser;
  std::size_t Tokens = 0;

 protected:
  void AfterToken() override { ++Tokens; }
};

// A model from DDL (bodies kept as text), and a body parser over it.
struct TBodies {
  explicit TBodies(const std::string& ddl,
                   TIBSQLServerVersionType version = TIBSQLServerVersionType::st_Firebird_25)
      : model(version) {
    model.Run(ddl, /*afterParse=*/false);
    parser.SetObjs(&model.objs);
    parser.OnErrorMessage = [this](TObject*, const std::string& t) { events.push_back(t); };
  }
  // The object's edges as the model dump writes them, sorted.
  static std::vector<std::string> Edges(TDbObj& obj) {
    std::vector<std::string> out;
    const std::string dump = DumpObject(obj);
    for (std::size_t at = dump.find("depends: "); at != std::string::npos;
         at = dump.find("depends: ", at + 1))
      out.push_back(dump.substr(at + 9, dump.find('\n', at) - at - 9));
    return out;
  }
  std::string Messages() const { return DumpMessages(parser.Messages()); }

  TIbParse model;
  TCountingExParser parser{nullptr};
  std::vector<std::string> events;
};

using Lines = std::vector<std::string>;

TEST(IbExParser, AnErrorInOneBodyKeepsTheSelectListEdgesOfTheNext) {
  TBodies b(std::string(kTables) +
            "CREATE VIEW V_BAD AS SELECT ID FROM ORDERS;\n"
            "CREATE VIEW V_GOOD AS SELECT O.QTY, C.NAME FROM ORDERS O JOIN CUSTOMERS C "
            "ON C.ID = O.CUST;\n");
  TViwData* bad = b.model.objs.FindView("V_BAD");
  TViwData* good = b.model.objs.FindView("V_GOOD");
  ASSERT_TRUE(bad && good);
  bad->SetText("SELECT ID, FROM ORDERS");  // an error before its FROM
  b.parser.ParseObjectText(bad);
  ASSERT_TRUE(b.parser.Messages().HasErrors());
  EXPECT_EQ(b.parser.Messages()[0].Text.rfind("View V_BAD: ", 0), 0u) << b.Messages();
  b.parser.ParseObjectText(good);
  EXPECT_EQ(TBodies::Edges(*good),
            (Lines{"table CUSTOMERS", "table ORDERS", "table-column CUSTOMERS.ID",
                   "table-column CUSTOMERS.NAME", "table-column ORDERS.CUST",
                   "table-column ORDERS.QTY"}));
  // The first error alone reached the event, with its position.
  ASSERT_EQ(b.events.size(), 1u);
  EXPECT_NE(b.events[0].find("View V_BAD: "), std::string::npos);
}

TEST(IbExParser, NestedQueriesCostOneReadingPerLevelAndKeepEveryEdge) {
  TBodies b(NestedTablesDDL(25));
  TViwData* v = b.model.objs.FindView("V");
  ASSERT_NE(v, nullptr);
  v->SetText(NestedQuery(25));
  b.parser.ParseObjectText(v);
  EXPECT_EQ(b.Messages(), "");
  Lines want;
  for (int i = 1; i <= 25; ++i) {
    const std::string n = std::to_string(i);
    want.push_back("table T" + n);
    want.push_back("table-column T" + n + ".C" + n);
    if (i < 25) want.push_back("table-column T" + n + ".D" + n);
  }
  std::sort(want.begin(), want.end());
  EXPECT_EQ(TBodies::Edges(*v), want);
  // Each token of the text is scanned once; re-reading select lists per
  // level would scan 2^25 times as many.
  std::size_t tokens = 0;
  for (char ch : v->GetText()) tokens += ch == ' ' || ch == '(' || ch == ')' || ch == ',';
  EXPECT_LE(b.parser.Tokens, 2 * tokens + 4);
}

TEST(IbExParser, GeneratorsLinkInsideQueriesAndDml) {
  struct Case {
    const char* name;
    const char* body;
  } const cases[] = {
      {"NEXT VALUE FOR in INSERT",
       "BEGIN INSERT INTO ORDERS (ID) VALUES (NEXT VALUE FOR G_ORDER); END"},
      {"GEN_ID in INSERT", "BEGIN INSERT INTO ORDERS (ID) VALUES (GEN_ID(G_ORDER, 1)); END"},
      {"NEXT VALUE FOR in SELECT",
       "BEGIN SELECT NEXT VALUE FOR G_ORDER FROM CUSTOMERS INTO :X; END"},
      {"GEN_ID in UPDATE", "BEGIN UPDATE ORDERS SET ID = GEN_ID(G_ORDER, 1) WHERE ID IS NULL; END"},
      {"in an assignment", "BEGIN X = NEXT VALUE FOR G_ORDER; END"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBodies b(std::string(kTables) +
              "SET TERM ^;\nCREATE PROCEDURE P RETURNS (X INTEGER) AS BEGIN END^\nSET TERM ;^\n");
    TPrcData* p = b.model.objs.FindProcedure("P");
    ASSERT_NE(p, nullptr);
    p->SetText(c.body);
    b.parser.ParseObjectText(p);
    EXPECT_EQ(b.Messages(), "");
    const Lines edges = TBodies::Edges(*p);
    EXPECT_NE(std::find(edges.begin(), edges.end(), "generator G_ORDER"), edges.end());
  }
}

TEST(IbExParser, ABodyMissingItsEndStopsAtTheTerminator) {
  TIbParse p(TIBSQLServerVersionType::st_Firebird_25, /*bodies=*/true);
  p.Run(std::string(kTables) +
        "SET TERM ^;\n"
        "CREATE PROCEDURE BROKEN AS BEGIN DELETE FROM ORDERS;^\n"
        "CREATE PROCEDURE NEXT_ONE AS BEGIN DELETE FROM CUSTOMERS; END^\n"
        "SET TERM ;^\n");
  ASSERT_NE(p.objs.FindProcedure("NEXT_ONE"), nullptr) << DumpMessages(p.parser->Messages());
  EXPECT_EQ(p.Errors(), 1) << DumpMessages(p.parser->Messages());
  EXPECT_NE(p.FirstError().find("Procedure BROKEN: "), std::string::npos) << p.FirstError();
  EXPECT_EQ(p.objs.FindProcedure("BROKEN")->GetText(), "BEGIN DELETE FROM ORDERS;");
  EXPECT_EQ(TBodies::Edges(*p.objs.FindProcedure("NEXT_ONE")), Lines{"table CUSTOMERS"});
}

// A chain of ELSE IF, a long CASE and a long statement list are read in
// loops: far past the nesting limit they read clean and keep the edge at
// their end. Real nesting past the limit is still stopped, with one error.
TEST(IbExParser, ChainsAreIterationAndOnlyNestingIsDepth) {
  constexpr int kLong = 3 * TCustomParser::kMaxNesting;
  std::string chain = "BEGIN IF (:X = 0) THEN X = 0;\n";
  std::string cases = "BEGIN X = CASE :X";
  std::string list = "BEGIN\n";
  std::string nested;
  for (int i = 1; i < kLong; ++i) {
    chain += "ELSE IF (:X = " + std::to_string(i) + ") THEN X = " + std::to_string(i) + ";\n";
    cases += " WHEN " + std::to_string(i) + " THEN " + std::to_string(i);
    list += "X = " + std::to_string(i) + ";\n";
    nested += "BEGIN ";
  }
  chain += "ELSE DELETE FROM ORDERS; END";
  cases += " ELSE (SELECT COUNT(*) FROM ORDERS) END; END";
  list += "DELETE FROM ORDERS; END";
  nested = "BEGIN " + nested + "DELETE FROM ORDERS;";
  for (int i = 0; i < kLong; ++i) nested += " END";
  struct Case {
    const char* name;
    std::string body;
    int errors;
  };
  const Case cases_[] = {
      {"an ELSE IF chain", chain, 0},
      {"a long CASE", cases, 0},
      {"a long statement list", list, 0},
      {"blocks nested past the limit", nested, 1},
  };
  for (const Case& c : cases_) {
    SCOPED_TRACE(c.name);
    TBodies b(kTables);
    TPrcData proc(&b.model.objs);
    proc.SetName("P");
    proc.SetText("DECLARE X INTEGER;\n" + c.body);
    b.parser.ParseObjectText(&proc);
    int errors = 0;
    for (int i = 0; i < b.parser.Messages().Count(); ++i)
      if (b.parser.Messages()[i].Kind == kMsgError) ++errors;
    EXPECT_EQ(errors, c.errors) << b.Messages();
    if (c.errors == 0) {
      EXPECT_EQ(TBodies::Edges(proc), Lines{"table ORDERS"});
    } else {
      EXPECT_NE(b.Messages().find("nested too deeply"), std::string::npos) << b.Messages();
    }
  }
}

TEST(IbExParser, DeclarationsTakeAnyExpressionAsTheirValue) {
  TBodies b(std::string(kTables) +
            "SET TERM ^;\nCREATE PROCEDURE P (N INTEGER) AS BEGIN END^\nSET TERM ;^\n");
  TPrcData* p = b.model.objs.FindProcedure("P");
  p->SetText(
      "DECLARE K INT = N + 1;\n"
      "DECLARE VARIABLE M INTEGER NOT NULL DEFAULT (SELECT MAX(QTY) FROM ORDERS);\n"
      "DECLARE S VARCHAR(10) CHARACTER SET UTF8 COLLATE UNICODE = 'a' || 'b';\n"
      "BEGIN K = K + M; END");
  b.parser.ParseObjectText(p);
  EXPECT_EQ(b.Messages(), "");
  EXPECT_EQ(TBodies::Edges(*p), (Lines{"table ORDERS", "table-column ORDERS.QTY"}));
}

TEST(IbExParser, ARoutineCallingItselfGetsNoSelfEdge) {
  TBodies b(std::string(kTables) +
                "SET TERM ^;\n"
                "CREATE PROCEDURE WALK (N INTEGER) AS BEGIN END^\n"
                "CREATE FUNCTION FACT (N INTEGER) RETURNS INTEGER AS BEGIN RETURN 1; END^\n"
                "SET TERM ;^\n",
            TIBSQLServerVersionType::st_Firebird_30);
  TPrcData* walk = b.model.objs.FindProcedure("WALK");
  TPrcData* fact = b.model.objs.FindProcedure("FACT");
  ASSERT_TRUE(walk && fact);
  walk->SetText("BEGIN IF (N > 0) THEN EXECUTE PROCEDURE WALK N - 1; END");
  fact->SetText("BEGIN RETURN IIF(N < 2, 1, N * FACT(N - 1)); END");
  b.parser.ParseObjectText(walk);
  b.parser.ParseObjectText(fact);
  EXPECT_EQ(b.Messages(), "");
  EXPECT_EQ(TBodies::Edges(*walk), Lines{});
  EXPECT_EQ(TBodies::Edges(*fact), Lines{});
}

TEST(IbExParser, ObjectTextsResolveAgainstTheirOwnTable) {
  TBodies b(std::string(kTables) +
            "CREATE DOMAIN D_Q AS INTEGER DEFAULT 0;\n"
            "CREATE DOMAIN D_R AS INTEGER CHECK (VALUE > 0);\n"
            "ALTER TABLE ORDERS ADD TOTAL COMPUTED BY (QTY * 2);\n"
            "ALTER TABLE ORDERS ADD BROKEN COMPUTED BY (QTY);\n"
            "ALTER TABLE ORDERS ADD CONSTRAINT CK_QTY CHECK (QTY > 0);\n"
            "ALTER TABLE ORDERS ADD CONSTRAINT UQ_ID UNIQUE (ID);\n"
            "SET TERM ^;\n"
            "CREATE TRIGGER ORDERS_BU FOR ORDERS BEFORE UPDATE AS BEGIN END^\n"
            "SET TERM ;^\n");
  TObjs& o = b.model.objs;
  TFldData* total = o.FindField("ORDERS", "TOTAL");
  TCtrData* check = o.FindConstraint("CK_QTY");
  TTrgData* trg = o.FindTrigger("ORDERS_BU");
  ASSERT_TRUE(total && check && trg);
  b.parser.ParseObjectText(total);
  b.parser.ParseObjectText(check);
  trg->SetText("AS BEGIN NEW.QTY = OLD.QTY + NEW.QTY; END");
  b.parser.ParseObjectText(trg);
  EXPECT_EQ(b.Messages(), "");
  EXPECT_EQ(TBodies::Edges(*total), Lines{"table-column ORDERS.QTY"});
  EXPECT_EQ(TBodies::Edges(*check), Lines{"table-column ORDERS.QTY"});
  EXPECT_EQ(TBodies::Edges(*trg), Lines{"table-column ORDERS.QTY"});

  // A computed text without its parenthesis, and a constraint that is no check.
  TFldData* broken = o.FindField("ORDERS", "BROKEN");
  broken->SetText("QTY");
  b.parser.ParseObjectText(broken);
  b.parser.ParseObjectText(o.FindConstraint("UQ_ID"));
  const std::string m = b.Messages();
  EXPECT_NE(m.find("Field ORDERS/BROKEN: Missing: "), std::string::npos) << m;
  EXPECT_NE(m.find("Body parsing for DB-Obj: (TCtrData) not implemented."), std::string::npos) << m;
}

TEST(IbExParser, BuiltInFunctionsFollowTheServerVersion) {
  struct Case {
    const char* name;
    TIBSQLServerVersionType version;
    const char* expression;
    const char* error;  // a part of the one message expected, or ""
  } const cases[] = {
      {"ROUND is built in on 2.5", TIBSQLServerVersionType::st_Firebird_25, "(ROUND(QTY, 2))", ""},
      {"ROUND is an external call on 7.5", TIBSQLServerVersionType::st_InterBase_75,
       "(ROUND(QTY, 2))", ""},
      {"EXTRACT(WEEK) before 2.1", TIBSQLServerVersionType::st_Firebird_20,
       "(EXTRACT(WEEK FROM D))", "Invalid <part> in EXTRACT(part FROM value) function."},
      {"EXTRACT(WEEK) on 2.5", TIBSQLServerVersionType::st_Firebird_25, "(EXTRACT(WEEK FROM D))",
       ""},
      {"DATEADD and DATEDIFF", TIBSQLServerVersionType::st_Firebird_25,
       "(DATEDIFF(DAY FROM D TO DATEADD(1 MONTH TO D)) + DATEDIFF(DAY, D, D))", ""},
      {"DATEDIFF with a bad part", TIBSQLServerVersionType::st_Firebird_25,
       "(DATEDIFF(CENTURY FROM D TO D))", "Invalid timestamp part in DATEDIFF function."},
      {"an unknown function still reads its arguments", TIBSQLServerVersionType::st_Firebird_25,
       "(NO_SUCH_FUNCTION(QTY))", ""},
      {"IS NULL compared on", TIBSQLServerVersionType::st_Firebird_30, "(QTY IS NULL = TRUE)", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBodies b(std::string(kTables) + "ALTER TABLE ORDERS ADD X COMPUTED BY (QTY);\n", c.version);
    TFldData* x = b.model.objs.FindField("ORDERS", "X");
    ASSERT_NE(x, nullptr);
    x->SetText(c.expression);
    b.parser.ParseObjectText(x);
    const std::string m = b.Messages();
    if (*c.error) {
      EXPECT_NE(m.find(c.error), std::string::npos) << m;
    } else {
      EXPECT_EQ(m, "");
    }
    // The columns inside the arguments are read all the same.
    if (!*c.error) {
      EXPECT_FALSE(TBodies::Edges(*x).empty());
    }
  }
}

TEST(IbExParser, RowsIsAnAliasOnlyWhereTheVersionHasNoRowsClause) {
  for (auto [version, edges] :
       {std::pair{TIBSQLServerVersionType::st_Firebird_20, Lines{"table ORDERS"}},
        std::pair{TIBSQLServerVersionType::st_InterBase_5x,
                  Lines{"table ORDERS", "table-column ORDERS.QTY"}}}) {
    TBodies b(std::string(kTables) + "CREATE VIEW V AS SELECT ID FROM ORDERS;\n", version);
    TViwData* v = b.model.objs.FindView("V");
    // On 2.0 ROWS limits the rows; on 5.x it names ORDERS, so ROWS.QTY is its column.
    v->SetText(b.model.objs.IBServerOptions.SQLServerVersion ==
                       TIBSQLServerVersionType::st_Firebird_20
                   ? "SELECT 1 FROM ORDERS ROWS 10"
                   : "SELECT ROWS.QTY FROM ORDERS ROWS");
    b.parser.ParseObjectText(v);
    EXPECT_EQ(b.Messages(), "");
    EXPECT_EQ(TBodies::Edges(*v), edges);
  }
}

TEST(IbExParser, DomainTextsAreBothRead) {
  TBodies b(std::string(kTables) + "CREATE DOMAIN D_ID AS INTEGER DEFAULT 0;\n");
  TDmnData* d = b.model.objs.FindDomain("D_ID");
  ASSERT_NE(d, nullptr);
  // An empty check and a default that reads a generator by its bare name.
  d->TypeHolder->DefaultValue = "(GEN_ID(G_ORDER, 0))";
  b.parser.ParseObjectText(d);
  EXPECT_EQ(b.Messages(), "");
  EXPECT_EQ(TBodies::Edges(*d), Lines{"generator G_ORDER"});
}

// ALTER TRIGGER in a script: the stored trigger takes the new body and its
// edges; without a body it keeps the old ones.
TEST(IbExParser, AlterTriggerMovesTheEdgesToTheNewBody) {
  const std::string create = std::string(kTables) +
                             "SET TERM ^;\n"
                             "CREATE TRIGGER T FOR ORDERS BEFORE INSERT AS\n"
                             "BEGIN INSERT INTO CUSTOMERS (ID) VALUES (NEW.ID); END^\n";
  struct TCase {
    const char* alter;
    Lines edges;
  } cases[] = {
      {"ALTER TRIGGER T AS BEGIN NEW.ID = GEN_ID(G_ORDER, 1); END^\n",
       Lines{"generator G_ORDER", "table-column ORDERS.ID"}},
      {"ALTER TRIGGER T INACTIVE^\n",
       Lines{"table CUSTOMERS", "table-column CUSTOMERS.ID", "table-column ORDERS.ID"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.alter);
    TIbParse p(TIBSQLServerVersionType::st_Firebird_25, /*bodies=*/true);
    p.Run(create + c.alter + "SET TERM ;^\n");
    EXPECT_EQ(p.Errors(), 0) << p.FirstError();
    TTrgData* t = p.objs.FindTrigger("T");
    ASSERT_NE(t, nullptr);
    std::vector<std::string> edges = TBodies::Edges(*t);
    std::sort(edges.begin(), edges.end());
    EXPECT_EQ(edges, c.edges);
  }
}

}  // namespace
}  // namespace qor::test
