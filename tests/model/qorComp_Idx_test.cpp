// Indices: CREATE INDEX with its options and DROP INDEX in every dialect,
// the column list with sort order and MySQL prefix lengths, and the key.
#include "model/qorComp_Idx.h"

#include "tests/model/qorDDLFixture.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace qor::test {
namespace {

class IdxTest : public DDLTest {
 public:
  TIdxData* Index(const std::string& name, const std::string& table,
                  std::initializer_list<const char*> columns, const std::string& schema = {}) {
    // The table is part of the MySQL key: set before the index is added.
    auto obj = std::make_unique<TIdxData>(&Objs());
    obj->SetName(name);
    obj->SetParentName(schema);
    obj->TableName = table;
    TIdxData* ix = Objs().AddObject(obj, true);
    EXPECT_NE(ix, nullptr) << table << "." << name;
    if (!ix) return Scratch<TIdxData>(name, schema);
    for (const char* c : columns) Column(ix->Columns, ix, c);
    return ix;
  }
};

TEST_F(IdxTest, CreateAndDropPerDialect) {
  struct Case {
    const char* label;
    DB server;
    std::function<TIdxData*(IdxTest&)> build;
    const char* create;
    const char* drop;
  };
  const Case cases[] = {
      {"InterBase unique descending", DB::dbInterBase,
       [](IdxTest& t) {
         TIdxData* ix = t.Index("IX_A", "T", {"A", "B"});
         ix->Unique = true, ix->Descending = true;
         return ix;
       },
       "CREATE UNIQUE DESC INDEX IX_A ON T(A, B)",
       "/* Drop: IX_A (TIdxData) */\r\nDROP INDEX IX_A"},
      {"InterBase expression", DB::dbInterBase,
       [](IdxTest& t) {
         TIdxData* ix = t.Index("IX_UP", "T", {});
         ix->SetText("(UPPER(NAME))");
         return ix;
       },
       "CREATE INDEX IX_UP ON T COMPUTED BY(UPPER(NAME))",
       "/* Drop: IX_UP (TIdxData) */\r\nDROP INDEX IX_UP"},
      {"MS SQL with every option", DB::dbMSSQL,
       [](IdxTest& t) {
         TIdxData* ix = t.Index("IX_A", "T", {"A"}, "DBO");
         ix->Clustered = true;
         t.Column(ix->IncludeColumns, ix, "B");
         t.Column(ix->IncludeColumns, ix, "C");
         ix->FilterText = "A > 0";
         ix->WithText = "WITH (FILLFACTOR = 80)";
         ix->FileGroup = "PRIMARY";
         return ix;
       },
       "CREATE CLUSTERED INDEX IX_A ON DBO.T(A)\r\n  INCLUDE (B, C)\r\nWHERE A > 0"
       "\r\n   WITH (FILLFACTOR = 80)\r\nON [PRIMARY]",
       "DROP INDEX DBO.T.IX_A"},
      {"MS SQL primary XML", DB::dbMSSQL,
       [](IdxTest& t) {
         TIdxData* ix = t.Index("IX_X", "T", {"X"});
         ix->PrimaryXml = true, ix->Xml = true;
         return ix;
       },
       "CREATE PRIMARY XML INDEX IX_X ON T(X)", "DROP INDEX T.IX_X"},
      {"PostgreSQL", DB::dbPostgreSQL, [](IdxTest& t) { return t.Index("ix_a", "t", {"a"}, "s"); },
       "CREATE INDEX ix_a ON s.t(a)", "DROP INDEX s.ix_a"},
      {"PostgreSQL without a schema", DB::dbPostgreSQL,
       [](IdxTest& t) { return t.Index("ix_a", "t", {"a"}); }, "CREATE INDEX ix_a ON t(a)",
       "DROP INDEX ix_a"},
      {"ASA", DB::dbSybaseASA,
       [](IdxTest& t) {
         TIdxData* ix = t.Index("IX_A", "T", {"A"});
         ix->OwnerQualifier = "DBA";
         return ix;
       },
       "CREATE INDEX IX_A ON DBA.T(A)", "DROP INDEX DBA.T.IX_A"},
      {"ASE", DB::dbSybaseASE, [](IdxTest& t) { return t.Index("IX_A", "T", {"A"}); },
       "CREATE INDEX IX_A ON T(A)", "DROP INDEX T.IX_A"},
      {"Oracle in a schema with options", DB::dbOracle,
       [](IdxTest& t) {
         TIdxData* ix = t.Index("IX_A", "T", {"A"}, "S");
         ix->Bitmap = true, ix->Compress = true, ix->NoLogging = true;
         ix->TablespaceName = "IDX";
         ix->StorageOptions.PctFree = 5;
         return ix;
       },
       "CREATE BITMAP INDEX S.IX_A ON S.T(A)\r\nCOMPRESS\r\nNOLOGGING\r\nTABLESPACE IDX\r\npctfree 5",
       "/* Drop: IX_A (TIdxData) */\r\nDROP INDEX IX_A"},
      {"Oracle domain index", DB::dbOracle,
       [](IdxTest& t) {
         TIdxData* ix = t.Index("IX_TXT", "T", {"DOC"});
         ix->IndexTypeName = "CTXSYS.CONTEXT";
         ix->Parameters = "('SYNC (ON COMMIT)')";
         ix->NoCompress = true;
         return ix;
       },
       "CREATE INDEX IX_TXT ON T(DOC)\r\n   INDEXTYPE IS CTXSYS.CONTEXT"
       "\r\n   PARAMETERS ('SYNC (ON COMMIT)')\r\nNOCOMPRESS",
       "/* Drop: IX_TXT (TIdxData) */\r\nDROP INDEX IX_TXT"},
      {"Oracle function-based", DB::dbOracle,
       [](IdxTest& t) {
         TIdxData* ix = t.Index("IX_UP", "T", {});
         ix->SetText("(UPPER(NAME))");
         return ix;
       },
       "CREATE INDEX IX_UP ON T(UPPER(NAME))", "/* Drop: IX_UP (TIdxData) */\r\nDROP INDEX IX_UP"},
      {"MySQL full-text with type and prefix", DB::dbMySQL,
       [](IdxTest& t) {
         TIdxData* ix = t.Index("IX_A", "T", {"A", "B"});
         ix->FullText = true;
         ix->MySQLIndexOptions.IndexType = "BTREE";
         ix->Columns.Object(0)->Length = 10;
         ix->Columns.Object(1)->SortOrder = 2;
         return ix;
       },
       "CREATE FULLTEXT INDEX IX_A USING BTREE ON T(A(10), B DESC)", "DROP INDEX IX_A ON T"},
      {"MySQL keeps the description with the index", DB::dbMySQL,
       [](IdxTest& t) {
         TIdxData* ix = t.Index("IX_A", "T", {"A"});
         ix->SetDescription("it's \\ here");
         return ix;
       },
       "CREATE INDEX IX_A ON T(A) COMMENT 'it\\'s \\\\ here'", "DROP INDEX IX_A ON T"},
      {"MySQL prefix length 0 adds nothing", DB::dbMySQL,
       [](IdxTest& t) { return t.Index("IX_A", "T", {"A"}); }, "CREATE INDEX IX_A ON T(A)",
       "DROP INDEX IX_A ON T"},
      {"DB2 reverse scans", DB::dbDB2,
       [](IdxTest& t) {
         TIdxData* ix = t.Index("IX_A", "T", {"A"});
         ix->AllowReverseScans = true, ix->Spatial = false;
         return ix;
       },
       "CREATE INDEX IX_A ON T(A)\r\n  ALLOW REVERSE SCANS",
       "/* Drop: IX_A (TIdxData) */\r\nDROP INDEX IX_A"},
      {"DB2 index and table in their schema", DB::dbDB2,
       [](IdxTest& t) { return t.Index("IX_A", "T", {"A"}, "S"); }, "CREATE INDEX S.IX_A ON S.T(A)",
       "/* Drop: IX_A (TIdxData) */\r\nDROP INDEX S.IX_A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Server(c.server);
    TIdxData* ix = c.build(*this);
    EXPECT_EQ(ix->GetCreateSQL(), c.create);
    EXPECT_EQ(ix->GetDropSQL(), c.drop);
  }
}

TEST_F(IdxTest, MySQLIndexNamesAreUniquePerTable) {
  Server(DB::dbMySQL);
  TIdxData* a = Index("IX", "A", {"X"});
  TIdxData* b = Index("IX", "B", {"X"});
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->GetKeyName(), "A.IX");
  EXPECT_EQ(Objs().Indices.Count(), 2);
  Server(DB::dbInterBase);
  TIdxData* ib = Scratch<TIdxData>("IX");
  ib->TableName = "A";
  EXPECT_EQ(ib->GetKeyName(), "IX");
}

TEST_F(IdxTest, ColumnTexts) {
  Server(DB::dbInterBase);
  TIdxData* ix = Index("IX", "T", {"A", "b"});
  ix->Columns.Object(1)->SortOrder = 2;
  ix->Columns.Object(0)->Length = 10;  // a prefix length counts for MySQL only
  ix->Columns.Add("C", nullptr);       // an entry without a column object
  EXPECT_EQ(ix->GetFieldsText(), "A, \"b\" DESC, C");
  Column(ix->IncludeColumns, ix, "X");
  Column(ix->IncludeColumns, ix, "y");
  EXPECT_EQ(ix->GetIncludeText(), "X, \"y\"");
  ix->ClearFields();
  EXPECT_EQ(ix->GetFieldsText(), "");
  EXPECT_EQ(ix->GetCreateSQL(), "CREATE INDEX IX ON T()");
}

}  // namespace
}  // namespace qor::test
