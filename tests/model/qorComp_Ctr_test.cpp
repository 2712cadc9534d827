// Constraints: each kind's clause and ALTER TABLE ADD in each dialect, the
// referenced table and its schema, referential actions (also on old
// on-disk structures and with unknown values), the supporting index, the
// drop statements, the keys of unnamed constraints, and the constraint's
// part of the dependency-ordered walk.
#include "model/qorComp_Ctr.h"

#include "model/qorScriptWriter.h"
#include "tests/model/qorDDLFixture.h"
#include "tests/model/qorModelFakes.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace qor::test {
namespace {

class CtrTest : public DDLTest {
 public:
  TCtrData* Constraint(std::uint8_t type, const std::string& name, const std::string& table,
                       std::initializer_list<const char*> columns, const std::string& schema = {}) {
    TCtrData* c = Scratch<TCtrData>(name, schema);
    c->SetConstraintType(type);
    c->SetTableName(table);
    for (const char* col : columns) c->Columns.Add(col, nullptr);
    return c;
  }
  TCtrData* ForeignKey(const std::string& name, const std::string& table, const std::string& ref,
                       const std::string& schema = {}) {
    TCtrData* c = Constraint(ct::ForeignKey, name, table, {"A_ID"}, schema);
    c->SetRefTableName(ref);
    c->RefColumns.Add("ID", nullptr);
    return c;
  }
};

struct Case {
  const char* label;
  DB server;
  std::function<TCtrData*(CtrTest&)> build;
  const char* create;
  const char* drop;
};

void RunCases(CtrTest& t, const Case* begin, const Case* end) {
  for (const Case* c = begin; c != end; ++c) {
    SCOPED_TRACE(c->label);
    t.Server(c->server);
    TCtrData* ctr = c->build(t);
    EXPECT_EQ(ctr->GetCreateSQL(), c->create);
    EXPECT_EQ(ctr->GetDropSQL(), c->drop);
  }
}

TEST_F(CtrTest, KeysAndChecksPerDialect) {
  const Case cases[] = {
      {"InterBase named primary key", DB::dbInterBase,
       [](CtrTest& t) { return t.Constraint(ct::PrimaryKey, "PK_T", "T", {"ID"}); },
       "ALTER TABLE T ADD CONSTRAINT PK_T PRIMARY KEY (ID)", "ALTER TABLE T DROP CONSTRAINT PK_T"},
      {"InterBase unnamed primary key", DB::dbInterBase,
       [](CtrTest& t) {
         return t.Constraint(ct::PrimaryKey, "", "T", {"ID", "CODE"});
       },
       "ALTER TABLE T ADD PRIMARY KEY (ID, CODE)",
       "Delete from Rdb$Relation_Constraints\r\nwhere Rdb$Relation_Name = 'T'\r\n"
       "and Rdb$Constraint_Type = 'PRIMARY KEY'"},
      {"InterBase supporting index", DB::dbInterBase,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Unique, "UQ_T", "T", {"CODE"});
         c->IndexName = "IX_CODE";
         c->DescIndex = true;
         return c;
       },
       "ALTER TABLE T ADD CONSTRAINT UQ_T UNIQUE (CODE)\r\nUSING DESC INDEX IX_CODE",
       "ALTER TABLE T DROP CONSTRAINT UQ_T"},
      {"InterBase check", DB::dbInterBase,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Check, "CK_T", "T", {});
         c->SetText("(QTY > 0)");
         return c;
       },
       "ALTER TABLE T ADD CONSTRAINT CK_T CHECK(QTY > 0)", "ALTER TABLE T DROP CONSTRAINT CK_T"},
      {"InterBase unnamed check: dropped as a comment", DB::dbInterBase,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Check, "", "T", {});
         c->SetText("(A > 0) /* pos */");
         return c;
       },
       "ALTER TABLE T ADD CHECK(A > 0) /* pos */",
       "/* drop constraint: ALTER TABLE T ADD CHECK(A > 0) / * pos * / */\r\n"},
      {"quoted table name", DB::dbInterBase,
       [](CtrTest& t) { return t.Constraint(ct::PrimaryKey, "PK", "Order", {"id"}); },
       "ALTER TABLE \"Order\" ADD CONSTRAINT PK PRIMARY KEY (\"id\")",
       "ALTER TABLE \"Order\" DROP CONSTRAINT PK"},
      {"MS SQL nonclustered primary key in a schema", DB::dbMSSQL,
       [](CtrTest& t) { return t.Constraint(ct::PrimaryKey, "PK_T", "T", {"ID"}, "DBO"); },
       "ALTER TABLE DBO.T ADD CONSTRAINT PK_T PRIMARY KEY NONCLUSTERED (ID)",
       "ALTER TABLE DBO.T DROP CONSTRAINT PK_T"},
      {"MS SQL clustered unique with index text", DB::dbMSSQL,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Unique, "UQ_T", "T", {"CODE"});
         c->Clustered = true;
         c->IndexName = "WITH (FILLFACTOR = 90) ON [PRIMARY]";
         return c;
       },
       "ALTER TABLE T ADD CONSTRAINT UQ_T UNIQUE CLUSTERED (CODE) WITH (FILLFACTOR = 90) ON [PRIMARY]",
       "ALTER TABLE T DROP CONSTRAINT UQ_T"},
      {"MS SQL table name with a space", DB::dbMSSQL,
       [](CtrTest& t) { return t.Constraint(ct::PrimaryKey, "PK", "ORDER LINES", {"ID"}, "DBO"); },
       "ALTER TABLE DBO.[ORDER LINES] ADD CONSTRAINT PK PRIMARY KEY NONCLUSTERED (ID)",
       "ALTER TABLE DBO.[ORDER LINES] DROP CONSTRAINT PK"},
      {"MS SQL system-named primary key", DB::dbMSSQL,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::PrimaryKey, "", "T", {"ID"});
         c->SystemName = "PK__T__0123ABCD";
         c->Clustered = true;
         return c;
       },
       "ALTER TABLE T ADD PRIMARY KEY (ID)", "ALTER TABLE T DROP CONSTRAINT PK__T__0123ABCD"},
      {"MS SQL check not for replication", DB::dbMSSQL,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Check, "CK", "T", {});
         c->NotForReplication = true;
         c->SetText("([A]>(0))");
         return c;
       },
       "ALTER TABLE T ADD CONSTRAINT CK CHECK NOT FOR REPLICATION([A]>(0))",
       "ALTER TABLE T DROP CONSTRAINT CK"},
      {"MS SQL default on its own", DB::dbMSSQL,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Default, "DF_A", "T", {"A"});
         c->SetText("((0))");
         return c;
       },
       "ALTER TABLE T ADD CONSTRAINT DF_A DEFAULT ((0)) FOR A",
       "ALTER TABLE T DROP CONSTRAINT DF_A"},
      {"ASE default", DB::dbSybaseASE,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Default, "DF_A", "T", {"A"});
         c->SetText("0");
         return c;
       },
       "ALTER TABLE T ADD CONSTRAINT DF_A DEFAULT 0 FOR A", "ALTER TABLE T DROP CONSTRAINT DF_A"},
      {"ASA clustered primary key, unnamed", DB::dbSybaseASA,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::PrimaryKey, "", "T", {"ID"});
         c->OwnerQualifier = "DBA";
         c->Clustered = true;
         return c;
       },
       "ALTER TABLE DBA.T ADD PRIMARY KEY CLUSTERED (ID)", "ALTER TABLE DBA.T DROP PRIMARY KEY"},
      {"ASA unnamed unique", DB::dbSybaseASA,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Unique, "", "T", {"A", "B"});
         c->OwnerQualifier = "DBA";
         return c;
       },
       "ALTER TABLE DBA.T ADD UNIQUE (A, B)", "ALTER TABLE DBA.T DROP UNIQUE(A, B)"},
      {"ASA unnamed check", DB::dbSybaseASA,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Check, "", "T", {});
         c->OwnerQualifier = "DBA";
         c->SetText("(A > 0)");
         return c;
       },
       "ALTER TABLE DBA.T ADD CHECK(A > 0)", "ALTER TABLE DBA.T DROP CHECK"},
      {"MySQL unique with its key name", DB::dbMySQL,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Unique, "", "T", {"A"});
         c->IndexName = "UK_A";
         return c;
       },
       "ALTER TABLE T ADD UNIQUE UK_A (A)", "ALTER TABLE T DROP KEY UK_A"},
      {"MySQL unnamed unique without key", DB::dbMySQL,
       [](CtrTest& t) { return t.Constraint(ct::Unique, "", "T", {"A"}); },
       "ALTER TABLE T ADD UNIQUE (A)", "ALTER TABLE T DROP UNIQUE"},
      {"MySQL named unique", DB::dbMySQL,
       [](CtrTest& t) { return t.Constraint(ct::Unique, "UQ", "T", {"A"}); },
       "ALTER TABLE T ADD CONSTRAINT UQ UNIQUE (A)", "ALTER TABLE T DROP CONSTRAINT UQ"},
      {"MySQL primary key", DB::dbMySQL,
       [](CtrTest& t) { return t.Constraint(ct::PrimaryKey, "", "T", {"ID"}); },
       "ALTER TABLE T ADD PRIMARY KEY (ID)", "ALTER TABLE T DROP PRIMARY KEY"},
      {"MySQL check", DB::dbMySQL,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Check, "CK", "T", {});
         c->SetText("(A > 0)");
         return c;
       },
       "ALTER TABLE T ADD CONSTRAINT CK CHECK(A > 0)", "ALTER TABLE T DROP CONSTRAINT CK"},
      {"PostgreSQL deferrable unique in a schema", DB::dbPostgreSQL,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Unique, "uq", "t", {"a"}, "s");
         c->Deferrable = true, c->InitiallyDeferred = true;
         return c;
       },
       "ALTER TABLE s.t ADD CONSTRAINT uq UNIQUE (a) DEFERRABLE INITIALLY DEFERRED",
       "ALTER TABLE s.t DROP CONSTRAINT uq"},
      {"Oracle primary key with storage", DB::dbOracle,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::PrimaryKey, "PK_T", "T", {"ID"}, "S");
         c->StorageOptions.TableSpace = "USING INDEX TABLESPACE IDX";
         return c;
       },
       "ALTER TABLE S.T ADD CONSTRAINT PK_T PRIMARY KEY (ID)\r\nUSING INDEX TABLESPACE IDX",
       "ALTER TABLE S.T DROP CONSTRAINT PK_T"},
      {"Oracle NOT NULL", DB::dbOracle,
       [](CtrTest& t) { return t.Constraint(ct::NotNull, "NN_A", "T", {"A"}, "S"); },
       "ALTER TABLE S.T MODIFY (A CONSTRAINT NN_A NOT NULL)",
       "ALTER TABLE S.T DROP CONSTRAINT NN_A"},
      {"Oracle NOT NULL without columns", DB::dbOracle,
       [](CtrTest& t) { return t.Constraint(ct::NotNull, "", "T", {}); }, "ALTER TABLE T",
       "/* drop constraint: ALTER TABLE T */\r\n"},
      {"deferred on its own line", DB::dbOracle,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::Unique, "UQ", "T", {"A"});
         c->DeferredAll = true;
         return c;
       },
       "ALTER TABLE T ADD CONSTRAINT UQ UNIQUE (A)\r\nDEFERRABLE INITIALLY DEFERRED",
       "ALTER TABLE T DROP CONSTRAINT UQ"},
      {"column-level references", DB::dbOracle,
       [](CtrTest& t) {
         TCtrData* c = t.Constraint(ct::References, "", "T", {"A"});
         c->SetRefTableName("U");
         c->RefColumns.Add("ID", nullptr);
         return c;
       },
       "ALTER TABLE T ADD REFERENCES U(ID)",
       "/* drop constraint: ALTER TABLE T ADD REFERENCES U(ID) */\r\n"},
  };
  RunCases(*this, std::begin(cases), std::end(cases));
}

TEST_F(CtrTest, ForeignKeysPerDialect) {
  const Case cases[] = {
      {"InterBase with actions", DB::dbInterBase,
       [](CtrTest& t) {
         TCtrData* c = t.ForeignKey("FK_B_A", "B", "A");
         c->UpdateRule = 2, c->DeleteRule = 4;
         return c;
       },
       "ALTER TABLE B ADD CONSTRAINT FK_B_A FOREIGN KEY (A_ID) REFERENCES A (ID) ON UPDATE CASCADE"
       " ON DELETE SET NULL",
       "ALTER TABLE B DROP CONSTRAINT FK_B_A"},
      {"InterBase quoted referenced table", DB::dbInterBase,
       [](CtrTest& t) {
         TCtrData* c = t.ForeignKey("FK", "Lines", "Order");
         c->DeleteRule = 1;
         c->IndexName = "IX_FK";
         return c;
       },
       "ALTER TABLE \"Lines\" ADD CONSTRAINT FK FOREIGN KEY (A_ID) REFERENCES \"Order\" (ID)"
       " ON DELETE NO ACTION\r\nUSING INDEX IX_FK",
       "ALTER TABLE \"Lines\" DROP CONSTRAINT FK"},
      {"an unknown action writes nothing", DB::dbInterBase,
       [](CtrTest& t) {
         TCtrData* c = t.ForeignKey("FK", "B", "A");
         c->UpdateRule = 9, c->DeleteRule = 3;
         return c;
       },
       "ALTER TABLE B ADD CONSTRAINT FK FOREIGN KEY (A_ID) REFERENCES A (ID) ON DELETE SET DEFAULT",
       "ALTER TABLE B DROP CONSTRAINT FK"},
      {"MS SQL referenced schema", DB::dbMSSQL,
       [](CtrTest& t) {
         TCtrData* c = t.ForeignKey("FK", "B", "A", "SALES");
         c->SetRefSchemaName("DBO");
         c->NotForReplication = true;
         return c;
       },
       "ALTER TABLE SALES.B ADD CONSTRAINT FK FOREIGN KEY (A_ID) REFERENCES DBO.A (ID)"
       " NOT FOR REPLICATION",
       "ALTER TABLE SALES.B DROP CONSTRAINT FK"},
      {"MS SQL referenced table in the constraint's schema", DB::dbMSSQL,
       [](CtrTest& t) {
         TCtrData* c = t.ForeignKey("FK", "B", "A", "SALES");
         c->UpdateRule = 1;
         return c;
       },
       "ALTER TABLE SALES.B ADD CONSTRAINT FK FOREIGN KEY (A_ID) REFERENCES SALES.A (ID)"
       " ON UPDATE NO ACTION",
       "ALTER TABLE SALES.B DROP CONSTRAINT FK"},
      {"PostgreSQL match and referenced schema", DB::dbPostgreSQL,
       [](CtrTest& t) {
         TCtrData* c = t.ForeignKey("fk", "b", "Accounts", "s");
         c->SetRefSchemaName("ref");
         c->MatchType = 1;
         c->DeleteRule = 2;
         return c;
       },
       "ALTER TABLE s.b ADD CONSTRAINT fk FOREIGN KEY (\"A_ID\") REFERENCES ref.\"Accounts\""
       " (\"ID\") MATCH FULL ON DELETE CASCADE",
       "ALTER TABLE s.b DROP CONSTRAINT fk"},
      {"Oracle referenced table in the constraint's schema", DB::dbOracle,
       [](CtrTest& t) { return t.ForeignKey("FK", "B", "A", "S"); },
       "ALTER TABLE S.B ADD CONSTRAINT FK FOREIGN KEY (A_ID) REFERENCES S.A (ID)",
       "ALTER TABLE S.B DROP CONSTRAINT FK"},
      {"ASA role and check on commit", DB::dbSybaseASA,
       [](CtrTest& t) {
         TCtrData* c = t.ForeignKey("", "B", "A");
         c->OwnerQualifier = "DBA", c->RefOwner = "DBA", c->RoleName = "A_ROLE";
         c->CheckOnCommit = true;
         return c;
       },
       "ALTER TABLE DBA.B ADD FOREIGN KEY A_ROLE (A_ID) REFERENCES DBA.A (ID) CHECK ON COMMIT",
       "ALTER TABLE DBA.B DROP FOREIGN KEY A_ROLE"},
      {"ASA without a role drops by referenced table", DB::dbSybaseASA,
       [](CtrTest& t) {
         TCtrData* c = t.ForeignKey("", "B", "A");
         c->OwnerQualifier = "DBA", c->RefOwner = "DBA";
         return c;
       },
       "ALTER TABLE DBA.B ADD FOREIGN KEY (A_ID) REFERENCES DBA.A (ID)",
       "ALTER TABLE DBA.B DROP FOREIGN KEY A"},
      {"MySQL", DB::dbMySQL,
       [](CtrTest& t) {
         TCtrData* c = t.ForeignKey("FK", "B", "A");
         c->IndexName = "IX";  // MySQL names no index here
         c->DeleteRule = 1;
         return c;
       },
       "ALTER TABLE B ADD CONSTRAINT FK FOREIGN KEY (A_ID) REFERENCES A (ID) ON DELETE RESTRICT",
       "ALTER TABLE B DROP FOREIGN KEY FK"},
      // The tables are created in their schema: bare, both would be looked
      // for in the connection's current schema.
      {"DB2 names the schema of both tables", DB::dbDB2,
       [](CtrTest& t) { return t.ForeignKey("FK", "B", "A", "S"); },
       "ALTER TABLE S.B ADD CONSTRAINT FK FOREIGN KEY (A_ID) REFERENCES S.A (ID)",
       "ALTER TABLE S.B DROP CONSTRAINT FK"},
      {"DB2 without a schema", DB::dbDB2, [](CtrTest& t) { return t.ForeignKey("FK", "B", "A"); },
       "ALTER TABLE B ADD CONSTRAINT FK FOREIGN KEY (A_ID) REFERENCES A (ID)",
       "ALTER TABLE B DROP CONSTRAINT FK"},
  };
  RunCases(*this, std::begin(cases), std::end(cases));
}

TEST_F(CtrTest, OldOnDiskStructureHasNoReferentialActions) {
  TObjs target;
  target.Role = 2;
  target.SetServerType(DB::dbInterBase);
  struct Case {
    int ods;
    const char* tail;
  };
  // clang-format off
  const Case cases[] = {{8, ""}, {9, " ON DELETE CASCADE"}, {0, " ON DELETE CASCADE"},
                        {12, " ON DELETE CASCADE"}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ods);
    Server(DB::dbInterBase);
    Objs().LinkedObjs = &target;
    target.IBServerOptions.IBDatabaseOptions.ODSMajorVersion = c.ods;
    TCtrData* fk = ForeignKey("FK", "B", "A");
    fk->DeleteRule = 2;
    EXPECT_EQ(fk->GetConstraintText(false),
              std::string("CONSTRAINT FK FOREIGN KEY (A_ID) REFERENCES A (ID)") + c.tail);
  }
  Objs().LinkedObjs = nullptr;
}

TEST_F(CtrTest, UnnamedConstraintsAreKeyedByTheirText) {
  Server(DB::dbInterBase);
  TCtrData* a = Constraint(ct::PrimaryKey, "", "Order", {"id"});
  TCtrData* b = Constraint(ct::PrimaryKey, "", "Order", {"id"});
  // Keys are written with unquoted names, and the dialect is back afterwards.
  EXPECT_EQ(a->GetKeyName(), "ALTER TABLE Order ADD PRIMARY KEY (id)");
  EXPECT_EQ(a->GetKeyName(), b->GetKeyName());
  EXPECT_EQ(IB().SQLDialect, 3);
  EXPECT_EQ(a->GetCreateSQL(), "ALTER TABLE \"Order\" ADD PRIMARY KEY (\"id\")");
  // The display name falls back the same way.
  EXPECT_EQ(a->GetDisplayName(), "ALTER TABLE \"Order\" ADD PRIMARY KEY (\"id\")");
  TCtrData* named = Constraint(ct::PrimaryKey, "PK", "T", {"ID"});
  EXPECT_EQ(named->GetKeyName(), "PK");
}

class CtrWalkTest : public CtrTest {
 public:
  void SetUp() override {
    Server(DB::dbInterBase);
    Objs().ScriptWriter = &writer;
  }
  void TearDown() override { Objs().ScriptWriter = nullptr; }
  TCtrData* HeldConstraint(std::uint8_t type, const std::string& name, const std::string& table) {
    auto c = std::make_unique<TCtrData>(&Objs());
    c->SetName(name);
    c->SetConstraintType(type);
    c->SetTableName(table);
    c->Columns.Add("ID", nullptr);
    return Objs().AddObject(c, true);
  }
  RecordingWriter writer;
};

TEST_F(CtrWalkTest, CreateWritesItsTablesFirst) {
  TTblData* a = Held<TTblData>("A");
  TFldData* id = Column(a, "ID");
  TTblData* b = Held<TTblData>("B");
  TCtrData* fk = HeldConstraint(ct::ForeignKey, "FK_B_A", "B");
  fk->SetRefTableName("A");
  fk->RefColumns.Add("ID", nullptr);
  Objs().AddDependency(fk, b, 0, 0);
  Objs().AddDependency(fk, a, 0, 0, "ID");  // lands on the column
  ASSERT_EQ(fk->DependsOn().Object(1)->Target, id);
  a->Deselect();
  id->Deselect();
  b->Deselect();
  fk->Deselect();
  fk->WriteCreate();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"B:1", "A:1", "FK_B_A:1"}));
  EXPECT_EQ(writer.calls.back().text,
            "ALTER TABLE B ADD CONSTRAINT FK_B_A FOREIGN KEY (ID) REFERENCES A (ID)");
}

TEST_F(CtrWalkTest, KeysDropTheirForeignKeysFirst) {
  TCtrData* pk = HeldConstraint(ct::PrimaryKey, "PK_A", "A");
  TCtrData* fk = HeldConstraint(ct::ForeignKey, "FK_B_A", "B");
  TCtrData* ck = HeldConstraint(ct::Check, "CK_A", "A");
  Objs().AddDependency(fk, pk, 0, 0);
  Objs().AddDependency(ck, pk, 0, 0);  // not a foreign key: left alone
  pk->WriteDrop();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"FK_B_A:3", "PK_A:3"}));
  EXPECT_TRUE(ck->GetSelected());
  // Other kinds drop only themselves.
  writer.calls.clear();
  Objs().AddDependency(fk, ck, 0, 0);
  fk->Select();
  ck->WriteDrop();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"CK_A:3"}));
}

// An MS SQL default as another dialect's column DEFAULT: the stored
// parentheses off, only what means the same there kept.
TEST_F(CtrTest, MSSQLDefaultAsAColumnDefault) {
  struct DefaultCase {
    const char* stored;
    const char* written;  // empty: not written
    DB server = DB::dbInterBase;
    IBV version = IBV::st_Firebird_30;
  };
  const DefaultCase cases[] = {
      {"((0))", "0"},
      {" ( (-12.50) ) ", "-12.50"},
      {"((1.5E-3))", "1.5E-3"},
      {"((1e))", ""},
      {"(N'a''b')", "'a''b'"},
      {"('(x)')", "'(x)'"},
      {"('a)(b')", "'a)(b'"},
      {"('a')+('b')", ""},
      {"('a' + 'b')", ""},
      {"(NULL)", "NULL"},
      {"(getdate())", "CURRENT_TIMESTAMP"},
      {"(SYSDATETIME())", "CURRENT_TIMESTAMP", DB::dbPostgreSQL},
      {"(getdate())", "CURRENT TIMESTAMP", DB::dbDB2},
      {"(getdate())", "getdate()", DB::dbSybaseASE},
      // InterBase before 6 has no CURRENT_TIMESTAMP.
      {"(getdate())", "", DB::dbInterBase, IBV::st_InterBase_5x},
      {"(getutcdate())", ""},
      {"(newid())", ""},
      {"([dbo].[f]())", ""},
      {"(0x00)", ""},
      {"((1)", ""},
      {"()", ""},
      {"", ""},
  };
  for (const DefaultCase& c : cases) {
    SCOPED_TRACE(c.stored);
    Server(c.server, c.version);
    TCtrData* d = Constraint(ct::Default, "DF_A", "T", {"A"});
    d->SetText(c.stored);
    EXPECT_EQ(d->ColumnDefaultText(), c.written);
  }
  Server(DB::dbInterBase);
  TCtrData* check = Constraint(ct::Check, "CK_A", "T", {"A"});
  check->SetText("(0)");
  EXPECT_EQ(check->ColumnDefaultText(), "") << "only a default constraint";
}

}  // namespace
}  // namespace qor::test
