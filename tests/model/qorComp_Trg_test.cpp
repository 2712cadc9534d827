// Trigger texts: the InterBase event text from the type code and the type
// table behind it, CREATE, ALTER and DROP in every dialect (multi-event,
// column lists, aliases, database and server triggers), the empty-body
// text that leaves the trigger's own body alone, and the trigger's part of
// the drop walk against a recording writer.
#include "model/qorComp_Trg.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Viw.h"
#include "model/qorScriptWriter.h"
#include "platform/qorStrings.h"
#include "tests/model/qorDDLFixture.h"
#include "tests/model/qorModelFakes.h"
#include "tests/support/qorModelBuilder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace qor::test {
namespace {

class TriggerTest : public DDLTest {
 protected:
  TTrgData* Trg(DB st, const std::string& name = "TR", const std::string& table = "T",
                const std::string& parent = {}) {
    Server(st);
    TTrgData* t = Held<TTrgData>(name, parent);
    t->SetTableName(table);
    return t;
  }
  void AddColumns(TTrgData* t, std::initializer_list<const char*> names) {
    for (const char* n : names) Column(t->Columns, t, n);
  }
};

// MS SQL and PostgreSQL key tables and views by schema: a trigger named
// with its table's bare name finds the one of its own schema (where two
// schemas hold that name, not the other); without a schema the bare key.
TEST_F(TriggerTest, LinksToTheTableOrViewOfItsSchema) {
  auto on = [this](const std::string& name, const std::string& table, const std::string& schema) {
    TTrgData* t = Held<TTrgData>(name, schema);
    t->SetTableName(table);
    return t->GetTableObj();
  };
  for (const DB st : {DB::dbMSSQL, DB::dbPostgreSQL}) {
    SCOPED_TRACE(static_cast<int>(st));
    Server(st);
    TTblData* dboT = Held<TTblData>("T", "DBO");
    TTblData* salesT = Held<TTblData>("T", "SALES");
    TViwData* v = Held<TViwData>("V", "SALES");
    TTblData* bare = Held<TTblData>("B");
    EXPECT_EQ(on("TR1", "T", "SALES"), salesT);
    EXPECT_EQ(on("TR2", "T", "DBO"), dboT);
    EXPECT_EQ(on("TR3", "V", "SALES"), v);
    EXPECT_EQ(on("TR4", "B", "SALES"), bare);
    EXPECT_EQ(on("TR5", "V", "DBO"), nullptr);
  }
  // Elsewhere the key is the bare name, as before.
  Server(DB::dbInterBase);
  TTblData* t = Held<TTblData>("T");
  EXPECT_EQ(on("TR", "T", ""), t);
}

TEST_F(TriggerTest, InterBaseEventsComeFromTheTypeCode) {
  for (const TIBTriggerType& row : kIBTriggerTypes) {
    SCOPED_TRACE(row.Name);
    TTrgData* t = Trg(DB::dbInterBase);
    t->TriggerType = row.Code;
    t->SetText("AS BEGIN END");
    EXPECT_EQ(t->GetCreateSQL(), std::string("CREATE TRIGGER TR FOR T\r\nACTIVE ") + row.Name +
                                     " POSITION 0 \r\nAS BEGIN END");
    // The table's mask says the same as its name.
    const std::string name = row.Name;
    EXPECT_EQ((row.Mask & 0xFF) == 1, name.rfind("BEFORE ", 0) == 0);
    EXPECT_EQ((row.Mask & 0x200) != 0, name.find("INSERT") != std::string::npos);
    EXPECT_EQ((row.Mask & 0x400) != 0, name.find("UPDATE") != std::string::npos);
    EXPECT_EQ((row.Mask & 0x800) != 0, name.find("DELETE") != std::string::npos);
  }
}

TEST_F(TriggerTest, InterBaseDatabaseTrigger) {
  TTrgData* t = Trg(DB::dbInterBase, "TR", "DATABASE");
  t->EventText = "TRANSACTION COMMIT";
  t->Active = false;
  t->Position = 3;
  t->SetText("AS BEGIN END");
  EXPECT_EQ(t->GetCreateSQL(),
            "CREATE TRIGGER TR\r\nINACTIVE ON TRANSACTION COMMIT\r\n POSITION 3 \r\nAS BEGIN END");
}

// The type codes are those Firebird 3 stores for each header; the events
// are named in the order of their bits, as `isql-fb -x` names them.
TEST_F(TriggerTest, InterBaseDDLTriggerEventsComeFromTheTypeCode) {
  struct DDLCase {
    const char* name;
    std::int64_t type;
    bool active;
    std::int32_t position;
    const char* header;  // empty: not written
  } const cases[] = {
      {"one event", 16386, true, 0, "ACTIVE BEFORE CREATE TABLE POSITION 0 "},
      {"after", 16387, false, 0, "INACTIVE AFTER CREATE TABLE POSITION 0 "},
      {"several events, one past 32 bits", 17592186060834, true, 3,
       "ACTIVE BEFORE CREATE TABLE OR ALTER PROCEDURE OR DROP PACKAGE BODY POSITION 3 "},
      {"the events above the kind bits", 841813676032, true, 0,
       "ACTIVE BEFORE DROP TRIGGER OR CREATE EXCEPTION OR CREATE USER OR DROP COLLATION"
       " OR ALTER CHARACTER SET POSITION 0 "},
      {"the last event", 35184372105217, true, 0, "ACTIVE AFTER CREATE MAPPING POSITION 0 "},
      {"any statement", 9223372036854767614, true, 0,
       "ACTIVE BEFORE ANY DDL STATEMENT POSITION 0 "},
      {"any statement after", 9223372036854767615, false, 7,
       "INACTIVE AFTER ANY DDL STATEMENT POSITION 7 "},
      {"no event", 0x4000, true, 0, ""},
      {"a bit no event has", 0x4000 | (std::int64_t{1} << 48), true, 0, ""},
      {"a known event beside an unknown bit", 0x4002 | (std::int64_t{1} << 15), true, 0, ""},
  };
  for (const DDLCase& c : cases) {
    SCOPED_TRACE(c.name);
    // The table name of a database trigger, or none: no FOR either way.
    for (const char* table : {"DATABASE", ""}) {
      TTrgData* t = Trg(DB::dbInterBase, "TR", table);
      t->TriggerType = c.type;
      t->Active = c.active;
      t->Position = c.position;
      t->SetText("AS BEGIN END");
      const std::string expected =
          *c.header ? std::string("CREATE TRIGGER TR\r\n") + c.header + "\r\nAS BEGIN END" : "";
      EXPECT_EQ(t->GetCreateSQL(), expected);
    }
  }
}

// Only Firebird has DDL triggers and its kind of database triggers: every
// other dialect writes none, and the whole script names it and keeps what
// is granted to it as a comment.
TEST_F(TriggerTest, FirebirdOnlyTriggersAreLeftOutOfOtherDialectsByName) {
  struct OnlyCase {
    std::int64_t type;
    const char* event;
    const char* header;
    const char* leftOut;
  };
  const OnlyCase cases[] = {
      {16386, "", "CREATE TRIGGER TR_FB\r\nACTIVE BEFORE CREATE TABLE",
       "-- trigger TR_FB: not written, this dialect has no DDL trigger"},
      {8192, "CONNECT", "CREATE TRIGGER TR_FB\r\nACTIVE ON CONNECT\r\n",
       "-- trigger TR_FB: not written, this dialect has no database trigger of its kind"},
      {8195, "TRANSACTION COMMIT", "CREATE TRIGGER TR_FB\r\nACTIVE ON TRANSACTION COMMIT\r\n",
       "-- trigger TR_FB: not written, this dialect has no database trigger of its kind"},
  };
  for (const OnlyCase& c : cases) {
    for (const DB st : {DB::dbSybaseASA, DB::dbMySQL, DB::dbOracle, DB::dbMSSQL, DB::dbPostgreSQL,
                        DB::dbDB2, DB::dbSybaseASE, DB::dbInterBase}) {
      SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(static_cast<int>(st)));
      TObjs& o = Objs();
      TModelBuilder b(o);
      TTrgData* trg = Trg(st, "TR_FB", "DATABASE");  // a fresh collection
      trg->TriggerType = c.type;
      trg->EventText = c.event;
      trg->SetText("AS BEGIN END");
      auto g = b.NewGrant(
          {"TR_FB", TDbObject::dboTrigger, "T", TDbObject::dboTable, {TPrivilege::prSelect}});
      o.AddGrant(g);
      o.RekeyGrants();
      std::vector<std::string> lines;
      o.GetScript(lines);
      const std::string script = JoinLines(lines);
      if (st == DB::dbInterBase) {
        EXPECT_THAT(script, ::testing::HasSubstr(c.header));
        EXPECT_THAT(script, ::testing::HasSubstr("GRANT SELECT ON T TO TRIGGER TR_FB;"));
        EXPECT_THAT(script, ::testing::Not(::testing::HasSubstr("not written")));
        continue;
      }
      EXPECT_EQ(trg->GetCreateSQL(), "");
      EXPECT_EQ(trg->GetEmptyCreateSQL(), "");
      EXPECT_THAT(lines, ::testing::Contains(c.leftOut));
      EXPECT_THAT(script, ::testing::HasSubstr("-- not written with its trigger: GRANT SELECT ON"));
      EXPECT_THAT(script, ::testing::Not(::testing::HasSubstr("CREATE TRIGGER")));
    }
  }
}

struct Case {
  const char* name;
  DB st;
  std::function<void(TTrgData&)> setup;
  const char* expected;
};

TEST_F(TriggerTest, CreateTextPerDialect) {
  const Case cases[] = {
      {"MySQL writes the highest event only", DB::dbMySQL,
       [](TTrgData& t) {
         t.Timing = 1;
         t.Events = 2 | 4 | 8;
       },
       "CREATE TRIGGER TR BEFORE DELETE ON T\r\n     FOR EACH ROW\r\nBEGIN END"},
      {"MySQL after update", DB::dbMySQL,
       [](TTrgData& t) {
         t.Timing = 2;
         t.Events = 2 | 4;
       },
       "CREATE TRIGGER TR AFTER UPDATE ON T\r\n     FOR EACH ROW\r\nBEGIN END"},
      {"MS SQL table trigger with options", DB::dbMSSQL,
       [](TTrgData& t) {
         t.SetParentName("dbo");
         t.Timing = 2;
         t.Events = 2 | 8;
         t.WithAppend = true;
         t.NotForReplication = true;
       },
       "CREATE TRIGGER DBO.TR ON DBO.T\r\n AFTER INSERT, DELETE\r\n WITH APPEND\r\n"
       " NOT FOR REPLICATION\r\n AS\r\nBEGIN END"},
      {"MS SQL database trigger", DB::dbMSSQL,
       [](TTrgData& t) {
         t.SetTableName("DATABASE");
         t.EventText = "CREATE_TABLE, DROP_TABLE";
         t.Timing = 4;
       },
       "CREATE TRIGGER TR ON DATABASE\r\n FOR CREATE_TABLE, DROP_TABLE\r\n AS\r\nBEGIN END"},
      {"MS SQL server trigger", DB::dbMSSQL,
       [](TTrgData& t) {
         t.SetTableName("ALL SERVER");
         t.EventText = "DDL_LOGIN_EVENTS";
         t.Timing = 2;
       },
       "CREATE TRIGGER TR ON ALL SERVER\r\n AFTER DDL_LOGIN_EVENTS\r\n AS\r\nBEGIN END"},
      {"MS SQL instead of", DB::dbMSSQL,
       [](TTrgData& t) {
         t.Timing = 5;
         t.Events = 4;
       },
       "CREATE TRIGGER TR ON T\r\n INSTEAD OF UPDATE\r\n AS\r\nBEGIN END"},
      {"MS SQL without a timing keeps the events off the table name", DB::dbMSSQL,
       [](TTrgData& t) { t.Events = 2; }, "CREATE TRIGGER TR ON T\r\n INSERT\r\n AS\r\nBEGIN END"},
      {"MS SQL without a body is its stored definition", DB::dbMSSQL,
       [](TTrgData& t) {
         t.SetText("");
         t.Timing = 2;
         t.ObjectSource = "CREATE TRIGGER TR ON T AFTER INSERT AS PRINT 1";
       },
       "CREATE TRIGGER TR ON T AFTER INSERT AS PRINT 1"},
      {"ASE uses the MS SQL form", DB::dbSybaseASE,
       [](TTrgData& t) {
         t.Timing = 4;
         t.Events = 2;
       },
       "CREATE TRIGGER TR ON T\r\n FOR INSERT\r\n AS\r\nBEGIN END"},
      {"ASA with UPDATE OF, order, owner and aliases", DB::dbSybaseASA,
       [this](TTrgData& t) {
         t.OwnerQualifier = "DBA";
         t.Timing = 2;
         t.Events = 2 | 4;
         AddColumns(&t, {"A", "B"});
         t.Position = 2;
         t.OldAlias = "OLD_ROW";
         t.NewAlias = "NEW_ROW";
         t.ForEachRow = true;
       },
       "CREATE TRIGGER \r\nTR AFTER INSERT, UPDATE OF A, B ORDER 2 ON\r\nDBA.T\r\n"
       "REFERENCING OLD AS OLD_ROW NEW AS NEW_ROW\r\nFOR EACH ROW\r\nBEGIN END"},
      {"ASA UPDATE without columns has no OF", DB::dbSybaseASA,
       [](TTrgData& t) {
         t.Timing = 1;
         t.Events = 4 | 8;
         t.ForEachStatement = true;
       },
       "CREATE TRIGGER \r\nTR BEFORE UPDATE, DELETE ON\r\nT\r\nFOR EACH STATEMENT\r\nBEGIN END"},
      {"ASA Transact-SQL form", DB::dbSybaseASA,
       [this](TTrgData& t) {
         t.SyntaxMode = 1;
         t.OwnerQualifier = "DBA";
         t.Events = 2 | 4;
         AddColumns(&t, {"A"});
       },
       "CREATE TRIGGER \r\nTR ON DBA.T\r\n  FOR INSERT, UPDATE\r\n  AS\r\nBEGIN END"},
      {"Oracle with UPDATE OF, aliases and WHEN", DB::dbOracle,
       [this](TTrgData& t) {
         t.SetParentName("S");
         t.Timing = 5;
         t.Events = 2 | 4;
         AddColumns(&t, {"A", "B"});
         t.NewAlias = "NEW_ROW";
         t.ParentAlias = "PARENT_ROW";
         t.ForEachRow = true;
         t.WhenCondition = "(NEW_ROW.A > 0)";
       },
       "CREATE OR REPLACE TRIGGER S.TR\r\n  INSTEAD OF INSERT OR UPDATE  OF A, B ON S.T\r\n"
       "  REFERENCING NEW AS NEW_ROW PARENT AS PARENT_ROW\r\n  FOR EACH ROW\r\n"
       "  WHEN (NEW_ROW.A > 0)\r\nBEGIN END"},
      {"Oracle list never ends in OR", DB::dbOracle,
       [](TTrgData& t) {
         t.Timing = 2;
         t.Events = 4 | 8;
         t.ForEachStatement = true;
       },
       "CREATE OR REPLACE TRIGGER TR\r\n  AFTER UPDATE OR DELETE ON T\r\n  FOR EACH STATEMENT\r\nBEGIN END"},
      {"Oracle without events cuts nothing", DB::dbOracle, [](TTrgData& t) { t.Timing = 1; },
       "CREATE OR REPLACE TRIGGER TR\r\n  BEFORE  ON T\r\nBEGIN END"},
      {"PostgreSQL in a schema", DB::dbPostgreSQL,
       [](TTrgData& t) {
         t.SetName("tr");
         t.SetParentName("s");
         t.SetTableName("t");
         t.Timing = 2;
         t.Events = 2 | 4 | 8;
         t.ForEachRow = true;
       },
       "CREATE TRIGGER tr\r\n  AFTER INSERT OR UPDATE OR DELETE\r\n  ON s.t\r\n  FOR EACH ROW\r\nBEGIN END"},
      {"PostgreSQL without a schema has no dot", DB::dbPostgreSQL,
       [](TTrgData& t) {
         t.SetName("tr");
         t.SetTableName("t");
         t.Timing = 1;
         t.Events = 8;
         t.ForEachStatement = true;
       },
       "CREATE TRIGGER tr\r\n  BEFORE DELETE\r\n  ON t\r\n  FOR EACH STATEMENT\r\nBEGIN END"},
      {"DB2 with UPDATE OF, aliases, MODE and WHEN", DB::dbDB2,
       [this](TTrgData& t) {
         t.Timing = 1;
         t.Events = 4;
         AddColumns(&t, {"A", "B"});
         t.NewAlias = "N";
         t.OldTableAlias = "OT";
         t.ForEachRow = true;
         t.Mode = "DB2SQL";
         t.WhenCondition = "(N.A > 0)";
       },
       "CREATE TRIGGER TR\r\n  NO CASCADE BEFORE UPDATE OF A, B ON T\r\n  REFERENCING\r\n"
       "  NEW AS N\r\n  OLD_TABLE AS OT\r\n  FOR EACH ROW MODE DB2SQL\r\n  WHEN (N.A > 0)\r\nBEGIN END"},
      {"DB2 without MODE writes no bare keyword", DB::dbDB2,
       [](TTrgData& t) {
         t.Timing = 2;
         t.Events = 2 | 8;
         t.ForEachStatement = true;
       },
       "CREATE TRIGGER TR\r\n  AFTER INSERT OR DELETE ON T\r\n  FOR EACH STATEMENT\r\nBEGIN END"},
      {"DB2 trigger and table in their schema", DB::dbDB2,
       [](TTrgData& t) {
         t.SetParentName("S");
         t.Timing = 2;
         t.Events = 2;
         t.ForEachRow = true;
       },
       "CREATE TRIGGER S.TR\r\n  AFTER INSERT ON S.T\r\n  FOR EACH ROW\r\nBEGIN END"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTrgData* t = Trg(c.st);
    t->SetText("BEGIN END");
    c.setup(*t);
    EXPECT_EQ(t->GetCreateSQL(), c.expected);
  }
}

TEST_F(TriggerTest, DropAndAlterPerDialect) {
  struct DropCase {
    const char* name;
    DB st;
    std::function<void(TTrgData&)> setup;
    const char* drop;
    const char* alter;
  };
  const DropCase cases[] = {
      {"InterBase", DB::dbInterBase, [](TTrgData&) {}, "DROP TRIGGER TR",
       "ALTER TRIGGER TR\r\nAS BEGIN END"},
      {"ASA with owner", DB::dbSybaseASA, [](TTrgData& t) { t.OwnerQualifier = "DBA"; },
       "DROP TRIGGER DBA.T.TR", "ALTER TRIGGER TR\r\nAS BEGIN END"},
      {"ASA without owner has no leading dot", DB::dbSybaseASA, [](TTrgData&) {},
       "DROP TRIGGER T.TR", "ALTER TRIGGER TR\r\nAS BEGIN END"},
      {"PostgreSQL in a schema", DB::dbPostgreSQL,
       [](TTrgData& t) {
         t.SetName("tr");
         t.SetParentName("s");
         t.SetTableName("t");
       },
       "DROP TRIGGER tr ON s.t", "ALTER TRIGGER tr\r\nAS BEGIN END"},
      {"PostgreSQL without a schema", DB::dbPostgreSQL,
       [](TTrgData& t) {
         t.SetName("tr");
         t.SetTableName("t");
       },
       "DROP TRIGGER tr ON t", "ALTER TRIGGER tr\r\nAS BEGIN END"},
      {"Oracle", DB::dbOracle, [](TTrgData& t) { t.SetParentName("S"); }, "DROP TRIGGER S.TR",
       "ALTER TRIGGER TR\r\nAS BEGIN END"},
      {"MS SQL", DB::dbMSSQL,
       [](TTrgData& t) {
         t.SetParentName("dbo");
         t.Timing = 2;
         t.Events = 2;
       },
       "DROP TRIGGER DBO.TR",
       "ALTER TRIGGER DBO.TR ON DBO.T\r\n AFTER INSERT\r\n AS\r\nAS BEGIN END"},
      {"MS SQL database trigger", DB::dbMSSQL,
       [](TTrgData& t) {
         t.SetTableName("DATABASE");
         t.EventText = "DROP_TABLE";
         t.Timing = 4;
       },
       "DROP TRIGGER TR ON DATABASE",
       "ALTER TRIGGER TR ON DATABASE\r\n FOR DROP_TABLE\r\n AS\r\nAS BEGIN END"},
      {"MS SQL server trigger", DB::dbMSSQL, [](TTrgData& t) { t.SetTableName("ALL SERVER"); },
       "DROP TRIGGER TR ON ALL SERVER", nullptr},
      {"MS SQL ALTER of a stored definition", DB::dbMSSQL,
       [](TTrgData& t) {
         t.SetText("");
         t.ObjectSource = "create trigger TR on T for insert as print 1";
       },
       "DROP TRIGGER TR", "ALTER trigger TR on T for insert as print 1"},
      {"MySQL", DB::dbMySQL, [](TTrgData&) {}, "DROP TRIGGER TR", nullptr},
      {"DB2", DB::dbDB2, [](TTrgData&) {}, "DROP TRIGGER TR", nullptr},
      {"DB2 in a schema", DB::dbDB2, [](TTrgData& t) { t.SetParentName("S"); }, "DROP TRIGGER S.TR",
       nullptr},
      {"ASE", DB::dbSybaseASE, [](TTrgData&) {}, "DROP TRIGGER TR",
       "ALTER TRIGGER TR\r\nAS BEGIN END"},
  };
  for (const DropCase& c : cases) {
    SCOPED_TRACE(c.name);
    TTrgData* t = Trg(c.st);
    t->SetText("AS BEGIN END");
    c.setup(*t);
    EXPECT_EQ(t->GetDropSQL(), c.drop);
    if (c.alter) {
      EXPECT_EQ(t->GetAlterSQL(), c.alter);
    }
  }
}

TEST_F(TriggerTest, EmptyBodyTextLeavesTheTriggerAlone) {
  struct EmptyCase {
    DB st;
    const char* expected;
  };
  const EmptyCase cases[] = {
      {DB::dbInterBase,
       "CREATE TRIGGER TR FOR T\r\nACTIVE AFTER INSERT POSITION 0 \r\n"
       " AS Declare variable I integer;\r\nBEGIN I = 0; END"},
      {DB::dbMySQL, "CREATE TRIGGER TR AFTER INSERT ON T\r\n     FOR EACH ROW\r\n BEGIN END"},
      {DB::dbMSSQL,
       "CREATE TRIGGER TR ON T\r\n AFTER INSERT\r\n AS\r\n declare @i integer;\r\nbegin set @i = 0; end"},
      {DB::dbOracle,
       "CREATE OR REPLACE TRIGGER TR\r\n  AFTER INSERT ON T\r\n"
       " AS Declare variable I integer;\r\nBEGIN I = 0; END"},
  };
  for (const EmptyCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.st));
    TTrgData* t = Trg(c.st);
    t->TriggerType = 2;
    t->Timing = 2;
    t->Events = 2;
    t->SetText("AS BEGIN INSERT INTO LOG VALUES (1); END");
    const std::string before = t->GetCreateSQL();
    EXPECT_EQ(t->GetEmptyCreateSQL(), c.expected);
    EXPECT_EQ(t->GetText(), "AS BEGIN INSERT INTO LOG VALUES (1); END");
    EXPECT_EQ(t->GetCreateSQL(), before);
    EXPECT_FALSE(t->HasEmptyBody());
  }
}

TEST_F(TriggerTest, SourceTextIsTakenFromTheBodyOnce) {
  TTrgData* t = Trg(DB::dbInterBase);
  t->TriggerType = 1;
  t->SetText("AS BEGIN END");
  const std::string first = t->GetSourceSQL();
  EXPECT_EQ(first, t->GetCreateSQL());
  EXPECT_EQ(t->SourceText, "AS BEGIN END");
  t->SetText("AS BEGIN EXIT; END");
  EXPECT_EQ(t->GetSourceSQL(), first);  // the source stays as first read
}

class TriggerWalkTest : public TriggerTest {
 protected:
  void TearDown() override {
    Objs().ScriptWriter = nullptr;
    Objs().LinkedObjs = nullptr;
  }
  RecordingWriter writer;
};

TEST_F(TriggerWalkTest, DropEmptiesTheOtherTriggersOnTheView) {
  Server(DB::dbInterBase);
  Objs().ScriptWriter = &writer;
  TViwData* v = Held<TViwData>("V");
  auto onView = [&](const std::string& name) {
    TTrgData* t = Held<TTrgData>(name);
    t->SetTableName("V");
    t->TriggerType = 1;
    t->SetText("AS BEGIN INSERT INTO T VALUES (NEW.A); END");
    Objs().AddDependency(t, v, 0, 0);
    return t;
  };
  TTrgData* a = onView("TA");
  TTrgData* b = onView("TB");
  TTrgData* c = onView("TC");
  c->Deselect();  // absent triggers are left alone
  a->WriteDrop();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"TB:6", "TA:3"}));
  EXPECT_EQ(writer.calls[0].kind, kStmtTrigger);
  EXPECT_EQ(writer.calls[0].text,
            "ALTER TRIGGER TB\r\nAS Declare variable I integer;\r\nBEGIN I = 0; END");
  EXPECT_TRUE(b->HasEmptyBody());
  EXPECT_EQ(b->SourceText, "AS BEGIN INSERT INTO T VALUES (NEW.A); END");  // kept
  EXPECT_FALSE(c->HasEmptyBody());
  EXPECT_FALSE(a->GetSelected());
}

TEST_F(TriggerWalkTest, AnEmptiedTriggerGetsItsBodyBackWhenWritten) {
  // The target's trigger is emptied; the source's, of the same name, owes
  // its body and writes it as ALTER when the walk reaches it.
  Server(DB::dbInterBase);
  TObjs source;
  source.SetServerType(DB::dbInterBase);
  source.Role = 1;
  auto own = std::make_unique<TTrgData>(&source);
  own->SetName("TB");
  own->TriggerType = 1;
  own->SetTableName("T");
  own->SetText("AS BEGIN NEW.A = 1; END");
  TTrgData* src = source.AddObject(own, true);
  ASSERT_NE(src, nullptr);
  TTrgData* b = Trg(DB::dbInterBase, "TB");
  Objs().LinkedObjs = &source;
  b->SetText("AS BEGIN NEW.A = 2; END");
  Objs().ScriptWriter = &writer;
  b->ReplaceWithEmptyBody();
  EXPECT_TRUE(src->BodyEmptied);
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"TB:6"}));

  RecordingWriter sourceWriter;
  source.ScriptWriter = &sourceWriter;
  src->WriteCreate();
  ASSERT_EQ(sourceWriter.Trace(), (std::vector<std::string>{"TB:2"}));
  EXPECT_EQ(sourceWriter.calls[0].text, "ALTER TRIGGER TB\r\nAS BEGIN NEW.A = 1; END");
  EXPECT_FALSE(src->BodyEmptied);
  src->WriteCreate();  // owed once only
  EXPECT_EQ(sourceWriter.calls.size(), 1u);
  source.ScriptWriter = nullptr;
}

}  // namespace
}  // namespace qor::test
