// Tables, publications and schemas: the table text with its column list in
// each dialect and the table options (external file, temporary tables,
// OIDS, the Oracle clauses), the MySQL statement with its keys inline, DROP,
// publications, schemas, and the table's part of the dependency-ordered walk.
#include "model/qorComp_Tbl.h"

#include "model/qorComp_Trg.h"
#include "model/qorScriptWriter.h"
#include "tests/model/qorDDLFixture.h"
#include "tests/model/qorModelFakes.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace qor::test {
namespace {

class TblTest : public DDLTest {
 public:
  // T(A INTEGER NOT NULL, B VARCHAR(10)) under the dialect's name rules.
  TTblData* TwoColumns(const std::string& name, const std::string& a, const std::string& b,
                       const std::string& schema = {}) {
    TTblData* t = Held<TTblData>(name, schema);
    Column(t, a)->Nullable = false;
    TFldData* f = Column(t, b, dt::VARCHAR);
    f->Length = 10;
    return t;
  }
};

TEST_F(TblTest, TableAndColumnListPerDialect) {
  struct Case {
    const char* label;
    DB server;
    std::function<TTblData*(TblTest&)> build;
    const char* create;
    const char* drop;
  };
  const Case cases[] = {
      {"InterBase", DB::dbInterBase, [](TblTest& t) { return t.TwoColumns("T", "A", "B"); },
       "CREATE TABLE T(A INTEGER NOT NULL,\r\nB VARCHAR(10))", "DROP TABLE T"},
      {"InterBase external file", DB::dbInterBase,
       [](TblTest& t) {
         TTblData* x = t.Held<TTblData>("EXT");
         t.Column(x, "A", dt::CHAR)->Length = 10;
         x->ExternalFile = "/data/o'hara.txt";
         return x;
       },
       "CREATE TABLE EXT\r\nEXTERNAL FILE '/data/o''hara.txt'\r\n(A CHAR(10))", "DROP TABLE EXT"},
      {"global temporary, rows kept", DB::dbInterBase,
       [](TblTest& t) {
         TTblData* x = t.TwoColumns("T", "A", "B");
         x->GlobalTemporary = true, x->OnCommit = 2;
         return x;
       },
       "CREATE GLOBAL TEMPORARY TABLE T(A INTEGER NOT NULL,\r\nB VARCHAR(10))\r\n ON COMMIT PRESERVE ROWS",
       "DROP TABLE T"},
      {"global temporary, rows deleted", DB::dbOracle,
       [](TblTest& t) {
         TTblData* x = t.Held<TTblData>("T");
         t.Column(x, "A");
         x->GlobalTemporary = true, x->OnCommit = 1;
         return x;
       },
       "CREATE GLOBAL TEMPORARY TABLE T(A INTEGER)\r\n ON COMMIT DELETE ROWS", "DROP TABLE T"},
      {"ASA never writes ON COMMIT DELETE ROWS", DB::dbSybaseASA,
       [](TblTest& t) {
         TTblData* x = t.Held<TTblData>("T");
         t.Column(x, "A");
         x->GlobalTemporary = true, x->OnCommit = 1;
         return x;
       },
       "CREATE GLOBAL TEMPORARY TABLE DBA.T(A INTEGER NULL)", "DROP TABLE DBA.T"},
      {"MS SQL in a schema", DB::dbMSSQL,
       [](TblTest& t) { return t.TwoColumns("T", "A", "B", "DBO"); },
       "CREATE TABLE DBO.T(A INTEGER NOT NULL,\r\nB VARCHAR(10) NULL)", "DROP TABLE DBO.T"},
      {"PostgreSQL with OIDS", DB::dbPostgreSQL,
       [](TblTest& t) {
         TTblData* x = t.TwoColumns("t", "a", "b", "s");
         x->WithOids = true;
         return x;
       },
       "CREATE TABLE s.t(a integer not null,\r\nb varchar(10)) WITH OIDS", "DROP TABLE s.t"},
      {"DB2", DB::dbDB2, [](TblTest& t) { return t.TwoColumns("T", "A", "B", "S"); },
       "CREATE TABLE S.T(A INTEGER NOT NULL,\r\nB VARCHAR(10))", "DROP TABLE S.T"},
      {"ASE", DB::dbSybaseASE, [](TblTest& t) { return t.TwoColumns("T", "A", "B"); },
       "CREATE TABLE T(A INTEGER NOT NULL,\r\nB VARCHAR(10) NULL)", "DROP TABLE T"},
      {"Oracle physical clauses", DB::dbOracle,
       [](TblTest& t) {
         TTblData* x = t.Held<TTblData>("T", "S");
         t.Column(x, "A");
         x->StorageOptions.PctFree = 10;
         x->TablespaceName = "USERS";
         x->Compress = true, x->NoLogging = true;
         x->StorageClause = "(INITIAL 64K)";
         x->LobClause = "(B) STORE AS SECUREFILE";
         x->ExtraClause = "PARALLEL 4";
         x->PartitionColumns = "(A)";
         x->PartitionText = "(PARTITION P1 VALUES LESS THAN (10))";
         return x;
       },
       "CREATE TABLE S.T(A INTEGER)\r\npctfree 10\r\nTABLESPACE USERS\r\nCOMPRESS\r\nNOLOGGING"
       "\r\nSTORAGE(INITIAL 64K)\r\nLOB(B) STORE AS SECUREFILE\r\nPARALLEL 4"
       "\r\nPARTITION BY RANGE (A) (PARTITION P1 VALUES LESS THAN (10))",
       "DROP TABLE S.T"},
      {"Oracle object table", DB::dbOracle,
       [](TblTest& t) {
         TTblData* x = t.Held<TTblData>("T");
         x->OfType = "PERSON_T";
         return x;
       },
       "CREATE TABLE T OF PERSON_T", "DROP TABLE T"},
      {"CREATE TABLE AS", DB::dbOracle,
       [](TblTest& t) {
         TTblData* x = t.Held<TTblData>("T");
         x->AsQuery = "SELECT * FROM U";
         return x;
       },
       "CREATE TABLE T\r\nAS SELECT * FROM U", "DROP TABLE T"},
      {"no columns, no parentheses", DB::dbInterBase,
       [](TblTest& t) { return t.Held<TTblData>("T"); }, "CREATE TABLE T", "DROP TABLE T"},
      {"computed columns left out", DB::dbInterBase,
       [](TblTest& t) {
         TTblData* x = t.TwoColumns("T", "A", "B");
         t.Column(x, "C")->SetText("(A + 1)");
         x->SetSkipComputed(true);
         return x;
       },
       "CREATE TABLE T(A INTEGER NOT NULL,\r\nB VARCHAR(10))", "DROP TABLE T"},
      {"only computed columns, all left out", DB::dbInterBase,
       [](TblTest& t) {
         TTblData* x = t.Held<TTblData>("T");
         t.Column(x, "C")->SetText("(1)");
         x->SetSkipComputed(true);
         return x;
       },
       "CREATE TABLE T", "DROP TABLE T"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Server(c.server);
    TTblData* t = c.build(*this);
    EXPECT_EQ(t->GetCreateSQL(), c.create);
    EXPECT_EQ(t->GetScriptSQL(), c.create);
    EXPECT_EQ(t->GetDropSQL(), c.drop);
  }
  Server(DB::dbInterBase);
  TTblData* s = TwoColumns("T", "A", "B");
  s->Suppressed = true;
  EXPECT_EQ(s->GetScriptSQL(), "");
}

TEST_F(TblTest, MySQLStatementWithKeysInline) {
  Server(DB::dbMySQL);
  TTblData* t = TwoColumns("T", "A", "B");
  t->MySQLOptions.Engine = "InnoDB";
  auto pk = std::make_unique<TCtrData>(&Objs());
  pk->SetConstraintType(ct::PrimaryKey);
  pk->SetTableName("T");
  pk->Columns.Add("A", nullptr);
  TCtrData* pkHeld = Objs().AddObject(pk, true);
  auto uq = std::make_unique<TCtrData>(&Objs());
  uq->SetName("UQ_B");
  uq->SetConstraintType(ct::Unique);
  uq->SetTableName("T");
  uq->Columns.Add("B", nullptr);
  TCtrData* uqHeld = Objs().AddObject(uq, true);
  // Another table's key, and one whose table differs only in case.
  auto fk = std::make_unique<TCtrData>(&Objs());
  fk->SetName("FK_X");
  fk->SetConstraintType(ct::ForeignKey);
  fk->SetTableName("T");
  TCtrData* fkHeld = Objs().AddObject(fk, true);
  auto lower = std::make_unique<TCtrData>(&Objs());
  lower->SetName("UQ_LOWER");
  lower->SetConstraintType(ct::Unique);
  lower->SetTableName("t");
  TCtrData* lowerHeld = Objs().AddObject(lower, true);
  TIdxData* ix = Held<TIdxData>("IX_B");
  ix->TableName = "T";
  ix->MySQLIndexOptions.IndexType = "BTREE";
  Column(ix->Columns, ix, "B")->Length = 5;
  for (TDbObj* o : std::vector<TDbObj*>{pkHeld, uqHeld, fkHeld, lowerHeld, ix}) o->Deselect();

  EXPECT_EQ(t->GetCreateSQL(),
            "CREATE TABLE T(A INTEGER NOT NULL,\r\n"
            "B VARCHAR(10),\r\n"
            "PRIMARY KEY(A),\r\n"
            "CONSTRAINT UQ_B UNIQUE(B),\r\n"
            "KEY IX_B USING BTREE (B(5)))\r\n"
            "ENGINE=InnoDB");
  EXPECT_TRUE(pkHeld->GetSelected());
  EXPECT_TRUE(uqHeld->GetSelected());
  EXPECT_TRUE(ix->GetSelected());
  EXPECT_FALSE(fkHeld->GetSelected());
  EXPECT_FALSE(lowerHeld->GetSelected());

  // Without columns: keys alone, or nothing at all, are still well formed.
  TTblData* bare = Held<TTblData>("BARE");
  bare->MySQLOptions.Engine = "MyISAM";
  EXPECT_EQ(bare->GetCreateSQL(), "CREATE TABLE BARE\r\nENGINE=MyISAM");
  TIdxData* onBare = Held<TIdxData>("IX_BARE");
  onBare->TableName = "BARE";
  onBare->Unique = true;
  Column(onBare->Columns, onBare, "X");
  EXPECT_EQ(bare->GetCreateSQL(), "CREATE TABLE BARE(UNIQUE KEY IX_BARE (X))\r\nENGINE=MyISAM");
  // Without keys the column list closes after the last column.
  TTblData* plain = Held<TTblData>("PLAIN");
  Column(plain, "A");
  EXPECT_EQ(plain->GetCreateSQL(), "CREATE TABLE PLAIN(A INTEGER)");
  EXPECT_EQ(plain->GetDropSQL(), "DROP TABLE PLAIN");
  // A table-valued type names the keys its columns declare.
  plain->Fields.Object(0)->KeyName = "K_A";
  EXPECT_EQ(plain->GetTableSQL(), "TABLE PLAIN(A INTEGER,\r\nKEY K_A(A))");
}

TEST_F(TblTest, Publications) {
  Server(DB::dbSybaseASA);
  TPblData* p = Held<TPblData>("PUB");
  p->OwnerQualifier = "DBA";
  auto a1 = std::make_unique<TPblArtData>(p);
  a1->TableOwner = "DBA";
  a1->TableName = "T";
  EXPECT_EQ(a1->GetText(), "    TABLE DBA.T");
  p->Articles.push_back(std::move(a1));
  EXPECT_EQ(p->GetCreateSQL(), "CREATE PUBLICATION DBA.PUB (\r\n    TABLE DBA.T\r\n)");
  auto a2 = std::make_unique<TPblArtData>(p);
  a2->TableOwner = "DBA";
  a2->TableName = "U";
  a2->Columns.Add("A", nullptr);
  a2->Columns.Add("B", nullptr);
  p->Articles.push_back(std::move(a2));
  EXPECT_EQ(p->GetCreateSQL(),
            "CREATE PUBLICATION DBA.PUB (\r\n    TABLE DBA.T, \r\n    TABLE DBA.U(A, B)\r\n)");
  EXPECT_EQ(p->GetDropSQL(), "DROP PUBLICATION DBA.PUB");
}

TEST_F(TblTest, Schemas) {
  struct Case {
    DB server;
    const char* name;
    const char* authorization;
    const char* create;
  };
  const Case cases[] = {
      {DB::dbMSSQL, "SALES", "BOB", "CREATE SCHEMA SALES AUTHORIZATION BOB"},
      {DB::dbMSSQL, "SALES", "SALES", "CREATE SCHEMA SALES"},
      {DB::dbMSSQL, "SALES", "", "CREATE SCHEMA SALES"},
      {DB::dbPostgreSQL, "sales", "bob", "CREATE SCHEMA sales"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + "/" + c.authorization);
    Server(c.server);
    TSchData* s = Held<TSchData>(c.name);
    s->Authorization = c.authorization;
    EXPECT_EQ(s->GetCreateSQL(), c.create);
    EXPECT_EQ(s->GetDropSQL(), std::string("DROP SCHEMA ") + c.name);
  }
}

class TblWalkTest : public TblTest {
 public:
  void SetUp() override {
    Server(DB::dbInterBase);
    Objs().ScriptWriter = &writer;
  }
  void TearDown() override { Objs().ScriptWriter = nullptr; }
  RecordingWriter writer;
};

TEST_F(TblWalkTest, CreateWritesDomainsFirstAndTheTableOnce) {
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t, "C", dt::UserType);
  c->DomainName = "D_AMOUNT";
  TDmnData* d = Domain("D_AMOUNT", dt::INTEGER);
  Objs().AddDependency(t, d, 0, 0, "C");
  d->Deselect();
  t->Deselect();
  c->Deselect();
  t->WriteCreate();
  ASSERT_EQ(writer.calls.size(), 2u);
  EXPECT_EQ(writer.calls[0].name, "D_AMOUNT");
  EXPECT_EQ(writer.calls[1].text, "CREATE TABLE T(C D_AMOUNT)\r\n");
  EXPECT_EQ(writer.calls[1].objKind, TDbObject::dboTable);
  EXPECT_EQ(writer.calls[1].action, kActionCreate);
  EXPECT_TRUE(t->GetSelected());
  EXPECT_TRUE(c->GetSelected());
  writer.calls.clear();
  t->WriteCreate();  // present, nothing pending
  EXPECT_TRUE(writer.calls.empty());
}

TEST_F(TblWalkTest, ComputedColumnsComeLater) {
  TTblData* t = Held<TTblData>("T");
  Column(t, "A");
  TFldData* calc = Column(t, "CALC");
  calc->SetText("(A * 2)");
  t->Deselect();
  for (const auto& e : t->Fields) e.Value->Deselect();
  t->SetSkipComputed(true);
  t->WriteCreate();
  ASSERT_EQ(writer.calls.size(), 1u);
  EXPECT_EQ(writer.calls[0].text, "CREATE TABLE T(A INTEGER)\r\n");
  EXPECT_FALSE(calc->GetSelected());

  // Once the table stands, the pending computed column is added.
  writer.calls.clear();
  t->SetSkipComputed(false);
  t->WriteCreate();
  ASSERT_EQ(writer.calls.size(), 1u);
  EXPECT_EQ(writer.calls[0].text, "ALTER TABLE T ADD CALC COMPUTED BY (A * 2)");
  EXPECT_TRUE(calc->GetSelected());
  EXPECT_TRUE(t->ComputedPending);

  // A computed column whose dependency is still absent waits.
  writer.calls.clear();
  TGnrData* g = Held<TGnrData>("G");
  Objs().AddDependency(calc, g, 0, 0);
  g->Deselect();
  calc->Deselect();
  t->WriteCreate();
  EXPECT_TRUE(writer.calls.empty());
}

TEST_F(TblWalkTest, DropTakesTriggersIndicesConstraintsAndComputedColumnsFirst) {
  TTblData* t = Held<TTblData>("T");
  TFldData* a = Column(t, "A");
  // A computed column of another table that reads this one.
  TTblData* u = Held<TTblData>("U");
  TFldData* calc = Column(u, "CALC");
  calc->SetText("((SELECT COUNT(*) FROM T))");
  TTrgData* trg = Held<TTrgData>("TRG_T");
  trg->SetTableName("T");
  TIdxData* ix = Held<TIdxData>("IX_T");
  ix->TableName = "T";
  TIdxData* elsewhere = Held<TIdxData>("IX_U");
  elsewhere->TableName = "U";
  auto fk = std::make_unique<TCtrData>(&Objs());
  fk->SetName("FK_T");
  fk->SetTableName("U");
  TCtrData* fkHeld = Objs().AddObject(fk, true);
  Objs().AddDependency(fkHeld, t, 0, 0);
  Objs().AddDependency(calc, t, 0, 0);
  Objs().AddDependency(t, t, 0, 0);
  t->WriteDrop();
  EXPECT_EQ(writer.Trace(),
            (std::vector<std::string>{"TRG_T:3", "IX_T:3", "FK_T:3", "CALC:3", "T:3"}));
  EXPECT_EQ(writer.calls[3].text, "ALTER TABLE U DROP CALC");
  EXPECT_EQ(writer.calls.back().text, "DROP TABLE T");
  EXPECT_TRUE(elsewhere->GetSelected());
  EXPECT_TRUE(u->GetSelected());
  EXPECT_FALSE(a->GetSelected());
}

TEST_F(TblWalkTest, PublicationCreatesItsTablesFirst) {
  Server(DB::dbSybaseASA);
  TTblData* t = Held<TTblData>("T");
  Column(t, "A");
  TPblData* p = Held<TPblData>("PUB");
  Objs().AddDependency(p, t, 0, 0);
  t->Deselect();
  p->Deselect();
  p->WriteCreate();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"DBA.T:1", "PUB:1"}));
}

}  // namespace
}  // namespace qor::test
