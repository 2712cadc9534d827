// The Firebird texts of tables, columns, keys, checks, indices and
// generators, written for Firebird 3 in dialect 3, run on a real embedded
// Firebird 3 engine in a fresh database: the engine is the judge of what a
// Firebird text must look like. Every column type code is in the fixture
// unless the engine generation it is written for lacks it; those carry
// their reason below.
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Tbl.h"
#include "tests/model/qorDDLFixture.h"
#include "tests/support/qorFirebirdReplay.h"

#include <gtest/gtest.h>
#include <string>

namespace qor::test {
namespace {

// One column of the all-types table, as the InterBase extractor fills it.
struct TypeColumn {
  const char* name;
  int code;  // RDB$FIELD_TYPE
  int charSetId;
  int length = 0;
  int precision = 0;
  int scale = 0;
  int subType = 0;
  int segment = 0;
  const char* leftOut = nullptr;  // why the engine generation cannot take it
};

const TypeColumn kTypes[] = {
    {"C_SMALLINT", 7, 0},
    {"C_INTEGER", 8, 0},
    {"C_QUAD", 9, 0, 0, 0, 0, 0, 0,
     "QUAD is a type of InterBase 4 catalogs, not a column type of Firebird 3"},
    {"C_FLOAT", 10, 0},
    {"C_DATE", 12, 0},
    {"C_TIME", 13, 0},
    {"C_CHAR", 14, 0, 10},
    {"C_CHAR1", 14, 0, 1},
    {"C_BINARY", 14, 1, 16},
    {"C_BIGINT", 16, 0},
    {"C_BOOLEAN", 23, 0},
    {"C_DECFLOAT", 24, 0, 0, 16, 0, 0, 0, "DECFLOAT arrives with Firebird 4"},
    {"C_NUMERIC", 26, 0, 0, 18, 2},
    {"C_DOUBLE", 27, 0},
    {"C_TIME_TZ", 28, 0},
    {"C_TIMESTAMP_TZ", 29, 0},
    {"C_TIMESTAMP", 35, 0},
    {"C_VARCHAR", 37, 0, 60},
    {"C_VARBINARY", 37, 1, 32},
    {"C_CSTRING", 40, 0, 20, 0, 0, 0, 0, "CSTRING exists for external-function arguments only"},
    {"C_TEXT", 261, 0, 0, 0, 0, 1, 80},
    {"C_BLOB", 261, 0, 0, 0, 0, 0, 4096},
};

class FirebirdReplayTest : public DDLTest {
 public:
  void SetUp() override {
    Server(DB::dbInterBase, IBV::st_Firebird_30, 3);
    IB().SetDBCharSet("UTF8");
    IB().IBCompareOptions.FldCharsetCompare = true;
  }

  TCtrData* Key(std::uint8_t type, const std::string& name, const std::string& table,
                std::initializer_list<const char*> columns) {
    auto c = std::make_unique<TCtrData>(&Objs());
    c->SetName(name);
    c->SetConstraintType(type);
    c->SetTableName(table);
    for (const char* col : columns) c->Columns.Add(col, nullptr);
    return Objs().AddObject(c, true);
  }
  TIdxData* Index(const std::string& name, const std::string& table,
                  std::initializer_list<const char*> columns) {
    TIdxData* ix = Held<TIdxData>(name);
    ix->TableName = table;
    for (const char* col : columns) Column(ix->Columns, ix, col);
    return ix;
  }

  void BuildFixture() {
    // Every type code.
    TTblData* all = Held<TTblData>("ALL_TYPES");
    TFldData* id = Column(all, "ID");
    id->Identity = true;
    id->Nullable = false;
    id->DefaultValue = "0";  // an identity takes none: left out
    for (const TypeColumn& t : kTypes) {
      if (t.leftOut) continue;
      TFldData* f = Column(all, t.name, dt::Unknown);
      f->SetIBFieldType(t.code, t.charSetId);
      f->Length = t.length, f->Precision = t.precision, f->Scale = t.scale;
      f->SubType = t.subType, f->SegmentSize = t.segment;
    }
    TFldData* grid = Column(all, "C_ARRAY");
    grid->ArrayBounds = {{1, 3}, {0, 4}};
    TFldData* lat = Column(all, "C_WIN1252", dt::VARCHAR);
    lat->Length = 20;
    lat->CharSet = "WIN1252";
    lat->Collation = "PXW_INTL";
    TFldData* calc = Column(all, "C_CALC", dt::Unknown);
    calc->SetText("(C_INTEGER * 2)");

    // Defaults, NOT NULL, column checks and a name that needs quotes.
    TTblData* customers = Held<TTblData>("CUSTOMERS");
    TFldData* cid = Column(customers, "ID");
    cid->Nullable = false;
    TFldData* name = Column(customers, "NAME", dt::VARCHAR);
    name->Length = 60;
    name->Nullable = false;
    name->DefaultValue = "\"it's\"";
    TFldData* score = Column(customers, "SCORE", dt::SMALLINT);
    score->DefaultValue = "0";
    score->CheckText = "(SCORE >= 0)";
    TFldData* created = Column(customers, "CREATED", dt::TIMESTAMP);
    created->DefaultValue = "CURRENT_TIMESTAMP";
    TFldData* active = Column(customers, "ACTIVE", dt::BOOLEAN);
    active->DefaultValue = "TRUE";
    Column(customers, "Mixed Case", dt::INTEGER);
    Column(customers, "CODE", dt::CHAR)->Length = 8;

    // A reserved word as a table name, referenced by a foreign key.
    TTblData* order = Held<TTblData>("ORDER");
    Column(order, "ID", dt::BIGINT)->Nullable = false;
    Column(order, "CUSTOMER_ID")->Nullable = false;
    Column(order, "QTY");
    TTblData* lines = Held<TTblData>("ORDER_LINES");
    Column(lines, "ORDER_ID", dt::BIGINT)->Nullable = false;
    Column(lines, "LINE_NO")->Nullable = false;

    TTblData* session = Held<TTblData>("SESSION_DATA");
    Column(session, "K")->Nullable = false;
    session->GlobalTemporary = true;
    session->OnCommit = 2;

    // Keys and checks, named and unnamed.
    Key(ct::PrimaryKey, "", "ALL_TYPES", {"ID"});
    TCtrData* pk = Key(ct::PrimaryKey, "PK_CUSTOMERS", "CUSTOMERS", {"ID"});
    pk->IndexName = "IX_PK_CUSTOMERS";
    Key(ct::PrimaryKey, "PK_ORDER", "ORDER", {"ID"});
    Key(ct::PrimaryKey, "PK_ORDER_LINES", "ORDER_LINES", {"ORDER_ID", "LINE_NO"});
    Key(ct::PrimaryKey, "PK_SESSION", "SESSION_DATA", {"K"});
    TCtrData* uq = Key(ct::Unique, "UQ_CUSTOMERS_CODE", "CUSTOMERS", {"CODE"});
    uq->IndexName = "IX_UQ_CODE";
    uq->DescIndex = true;
    TCtrData* fk = Key(ct::ForeignKey, "FK_ORDER_CUSTOMER", "ORDER", {"CUSTOMER_ID"});
    fk->SetRefTableName("CUSTOMERS");
    fk->RefColumns.Add("ID", nullptr);
    fk->UpdateRule = 2, fk->DeleteRule = 4;
    TCtrData* fk2 = Key(ct::ForeignKey, "", "ORDER_LINES", {"ORDER_ID"});
    fk2->SetRefTableName("ORDER");
    fk2->RefColumns.Add("ID", nullptr);
    fk2->DeleteRule = 2;
    fk2->UpdateRule = 1;  // RESTRICT elsewhere, NO ACTION here
    TCtrData* fk3 = Key(ct::ForeignKey, "FK_LINES_CUSTOMER", "ORDER_LINES", {"LINE_NO"});
    fk3->SetRefTableName("CUSTOMERS");
    fk3->RefColumns.Add("ID", nullptr);
    fk3->UpdateRule = 3;
    TCtrData* ck = Key(ct::Check, "CK_ORDER_QTY", "ORDER", {});
    ck->SetText("(QTY > 0)");
    TCtrData* ck2 = Key(ct::Check, "", "CUSTOMERS", {});
    ck2->SetText("(NAME <> '')");

    // Indices.
    Index("IX_CUSTOMERS_NAME", "CUSTOMERS", {"NAME", "CREATED"});
    TIdxData* desc = Index("IX_ORDER_QTY", "ORDER", {"QTY"});
    desc->Unique = true, desc->Descending = true;
    TIdxData* expr = Index("IX_CUSTOMERS_UPPER", "CUSTOMERS", {});
    expr->SetText("(UPPER(NAME))");

    Held<TGnrData>("SEQ_ORDER");
  }

  // The script as the kind-by-kind writer orders it: tables, indices,
  // constraints by type, generators.
  std::string Script() {
    std::string s;
    auto add = [&s](const std::string& text) { s += text + ";\r\n\r\n"; };
    for (const auto& e : Objs().Tables) add(e.Value->GetCreateSQL());
    for (const auto& e : Objs().Indices) add(e.Value->GetCreateSQL());
    for (std::uint8_t type : {ct::PrimaryKey, ct::Unique, ct::ForeignKey, ct::Check})
      for (const auto& e : Objs().Constraints)
        if (e.Value->GetConstraintType() == type) add(e.Value->GetCreateSQL());
    for (const auto& e : Objs().Generators) add(e.Value->GetCreateSQL());
    return s;
  }
};

TEST_F(FirebirdReplayTest, Firebird3AcceptsTheFixture) {
  BuildFixture();
  std::string script = Script();
  // What the engine made of it: the octets columns kept their length, the
  // identity and the defaults work, the keys hold.
  // The commit starts a new snapshot, which sees the new catalog rows.
  script +=
      "COMMIT;\r\n"
      "INSERT INTO CUSTOMERS (ID, CODE) VALUES (1, 'A');\r\n"
      "INSERT INTO ALL_TYPES (C_INTEGER) VALUES (21);\r\n"
      "SELECT 'ROW ' || ID || ' ' || C_CALC FROM ALL_TYPES;\r\n"
      "SELECT 'NAME ' || NAME || ' ' || SCORE || ' ' || ACTIVE FROM CUSTOMERS;\r\n"
      "SELECT 'OCTETS ' || TRIM(RF.RDB$FIELD_NAME) || ' ' || F.RDB$FIELD_LENGTH || ' ' ||\r\n"
      "  F.RDB$CHARACTER_SET_ID FROM RDB$RELATION_FIELDS RF\r\n"
      "  JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE\r\n"
      "  WHERE RF.RDB$RELATION_NAME = 'ALL_TYPES' AND RF.RDB$FIELD_NAME IN ('C_BINARY', 'C_VARBINARY')\r\n"
      "  ORDER BY 1;\r\n"
      "SELECT 'KEYS ' || COUNT(*) FROM RDB$RELATION_CONSTRAINTS\r\n"
      "  WHERE RDB$CONSTRAINT_TYPE IN ('PRIMARY KEY', 'UNIQUE', 'FOREIGN KEY')\r\n"
      "  AND RDB$RELATION_NAME NOT STARTING WITH 'RDB$'\r\n"
      "  AND RDB$RELATION_NAME NOT STARTING WITH 'MON$'\r\n"
      "  AND RDB$RELATION_NAME NOT STARTING WITH 'SEC$';\r\n";
  const TFirebirdReplayResult r = RunFirebirdScript(script, {3, "UTF8"});
  ASSERT_TRUE(r.Ok) << r.Errors << "\n--- script ---\n" << script;
  for (const char* line : {"ROW 1 42", "NAME it's 0 TRUE", "OCTETS C_BINARY 16 1",
                           "OCTETS C_VARBINARY 32 1", "KEYS 9"})
    EXPECT_NE(r.Output.find(line), std::string::npos) << line << "\n" << r.Output;
}

}  // namespace
}  // namespace qor::test
