// Routine texts: parameter lists and RETURNS clauses (defaults, TYPE OF,
// empty lists), CREATE, ALTER, DROP and the stub-body CREATE in every
// dialect, MySQL characteristics and comment quoting, PostgreSQL keys and
// dollar quoting, Oracle type members, and the routine's part of the walk
// (stub headers first, bodies as ALTER once reached) against a recording
// writer.
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "model/qorScriptWriter.h"
#include "tests/model/qorDDLFixture.h"
#include "tests/model/qorModelFakes.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace qor::test {
namespace {

class RoutineTest : public DDLTest {
 protected:
  TPrcData* Routine(DB st, const std::string& name = "P", const std::string& parent = {}) {
    Server(st);
    return Held<TPrcData>(name, parent);
  }
  TFldData* In(TPrcData* p, const std::string& name, std::uint8_t type = dt::INTEGER,
               std::uint8_t dir = 0) {
    TFldData* f = Column(p->InParams, p, name, type);
    f->ParamDirection = dir;
    return f;
  }
  TFldData* Out(TPrcData* p, const std::string& name, std::uint8_t type = dt::INTEGER) {
    return Column(p->OutParams, p, name, type);
  }
  // A procedure P(A INTEGER default 0, B VARCHAR(10)) returning R INTEGER.
  TPrcData* Standard(DB st, const std::string& parent = {}) {
    TPrcData* p = Routine(st, "P", parent);
    In(p, "A", dt::INTEGER, 1)->DefaultValue = "0";
    In(p, "B", dt::VARCHAR)->Length = 10;
    Out(p, "R")->ParamDirection = 2;
    p->SetText("BEGIN END");
    return p;
  }
};

struct Case {
  const char* name;
  std::function<TPrcData*()> make;
  const char* create;
  const char* alter;  // not checked when null
  const char* drop;
  const char* createEmpty;
};

TEST_F(RoutineTest, TextsPerDialect) {
  // clang-format off
  const Case cases[] = {
      {"InterBase procedure", [this] { return Standard(DB::dbInterBase); },
       "CREATE PROCEDURE P(A INTEGER = 0,\r\nB VARCHAR(10))\r\n RETURNS(R INTEGER)\r\n AS\r\nBEGIN END",
       "ALTER PROCEDURE P(A INTEGER = 0,\r\nB VARCHAR(10))\r\n RETURNS(R INTEGER)\r\n AS\r\nBEGIN END",
       "DROP PROCEDURE P",
       "CREATE PROCEDURE P(A INTEGER = 0,\r\nB VARCHAR(10))\r\n RETURNS(R INTEGER)\r\n AS\r\n BEGIN SUSPEND; END"},
      {"InterBase procedure without parameters", [this] {
         TPrcData* p = Routine(DB::dbInterBase);
         p->SetText("BEGIN END");
         return p;
       },
       "CREATE PROCEDURE P AS\r\nBEGIN END", "ALTER PROCEDURE P AS\r\nBEGIN END", "DROP PROCEDURE P",
       "CREATE PROCEDURE P AS\r\n BEGIN EXIT; END"},
      {"InterBase TYPE OF parameters and two results", [this] {
         TPrcData* p = Routine(DB::dbInterBase);
         TFldData* d = In(p, "D", dt::UserType);
         d->DomainName = "D_POS";
         d->TypeOf = true;
         TFldData* c = In(p, "C", dt::UserType);
         c->TypeOf = true;
         c->TypeOfTable = "T";
         c->TypeOfColumn = "NAME";
         Out(p, "X");
         Out(p, "Y", dt::BIGINT);
         p->SetText("BEGIN SUSPEND; END");
         return p;
       },
       "CREATE PROCEDURE P(D TYPE OF D_POS,\r\nC TYPE OF COLUMN T.NAME)\r\n"
       " RETURNS(X INTEGER,\r\nY BIGINT)\r\n AS\r\nBEGIN SUSPEND; END",
       nullptr, "DROP PROCEDURE P",
       "CREATE PROCEDURE P(D TYPE OF D_POS,\r\nC TYPE OF COLUMN T.NAME)\r\n"
       " RETURNS(X INTEGER,\r\nY BIGINT)\r\n AS\r\n BEGIN SUSPEND; END"},
      {"InterBase function", [this] {
         TPrcData* f = Routine(DB::dbInterBase, "F");
         f->IsFunction = true;
         In(f, "X");
         Out(f, "")->Deterministic = true;
         f->SetText("BEGIN RETURN X; END");
         return f;
       },
       "CREATE FUNCTION F(X INTEGER)\r\n RETURNS INTEGER DETERMINISTIC\r\n AS\r\nBEGIN RETURN X; END",
       "ALTER FUNCTION F(X INTEGER)\r\n RETURNS INTEGER DETERMINISTIC\r\n AS\r\nBEGIN RETURN X; END",
       "DROP FUNCTION F",
       "CREATE FUNCTION F(X INTEGER)\r\n RETURNS INTEGER DETERMINISTIC\r\n AS\r\n BEGIN RETURN NULL; END"},
      {"ASA procedure with owner", [this] {
         TPrcData* p = Standard(DB::dbSybaseASA);
         p->OwnerQualifier = "DBA";
         return p;
       },
       "CREATE PROCEDURE DBA.P(In A INTEGER,\r\nB VARCHAR(10))\r\n Result(R INTEGER)\r\nBEGIN END",
       "ALTER PROCEDURE DBA.P(In A INTEGER,\r\nB VARCHAR(10))\r\n Result(R INTEGER)\r\nBEGIN END",
       "DROP PROCEDURE DBA.P",
       "CREATE PROCEDURE DBA.P(In A INTEGER,\r\nB VARCHAR(10))\r\n Result(R INTEGER)\r\nas\r\n begin Return end"},
      {"ASA without owner has no leading dot", [this] { return Standard(DB::dbSybaseASA); },
       "CREATE PROCEDURE DBA.P(In A INTEGER,\r\nB VARCHAR(10))\r\n Result(R INTEGER)\r\nBEGIN END",
       nullptr, "DROP PROCEDURE P",
       "CREATE PROCEDURE P(In A INTEGER,\r\nB VARCHAR(10))\r\n Result(R INTEGER)\r\nas\r\n begin Return end"},
      {"ASA function with a result", [this] {
         TPrcData* f = Routine(DB::dbSybaseASA, "F");
         f->IsFunction = true;
         In(f, "X", dt::INTEGER, 1);
         Out(f, "");
         f->SetText("BEGIN RETURN X END");
         return f;
       },
       "CREATE FUNCTION DBA.F(In X INTEGER)\r\nRETURNS INTEGER\r\nBEGIN RETURN X END", nullptr,
       "DROP FUNCTION F", "CREATE FUNCTION F(In X INTEGER)\r\nRETURNS INTEGER\r\nas\r\n begin Return end"},
      {"ASA function without a result", [this] {
         TPrcData* f = Routine(DB::dbSybaseASA, "F");
         f->IsFunction = true;
         return f;
       },
       "CREATE FUNCTION DBA.F()\r\n", nullptr, "DROP FUNCTION F",
       "CREATE FUNCTION F()\r\nreturns integer as\r\n begin Return end"},
      {"MySQL function with comment and characteristics", [this] {
         TPrcData* f = Routine(DB::dbMySQL, "F");
         f->IsFunction = true;
         In(f, "X", dt::INTEGER, 1);
         Out(f, "");
         f->SetDescription("it's a \\ test");
         f->MySQLCharacteristics = (1u << 1) | (1u << 3) | (1u << 5) | (1u << 8);
         f->SetText("BEGIN RETURN X; END");
         return f;
       },
       "CREATE FUNCTION F(IN X INTEGER)\r\nRETURNS INTEGER\r\n     COMMENT 'it\\'s a \\\\ test'\r\n"
       "     DETERMINISTIC\r\n     READS SQL DATA\r\n     SQL SECURITY INVOKER\r\nBEGIN RETURN X; END",
       nullptr, "DROP FUNCTION  IF EXISTS F",
       "CREATE FUNCTION F(IN X INTEGER)\r\nRETURNS INTEGER AS\r\n BEGIN END"},
      {"MySQL procedure", [this] {
         TPrcData* p = Routine(DB::dbMySQL);
         In(p, "A", dt::INTEGER, 1);
         In(p, "B", dt::INTEGER, 2);
         In(p, "C", dt::INTEGER, 3);
         p->MySQLCharacteristics = 1u | (1u << 6) | (1u << 7);
         p->SetText("BEGIN SET B = A; END");
         return p;
       },
       "CREATE PROCEDURE P(IN A INTEGER,\r\nOUT B INTEGER,\r\nINOUT C INTEGER)\r\n     LANGUAGE SQL\r\n"
       "     MODIFIES SQL DATA\r\n     SQL SECURITY DEFINER\r\nBEGIN SET B = A; END",
       nullptr, "DROP PROCEDURE  IF EXISTS P",
       "CREATE PROCEDURE P(IN A INTEGER,\r\nOUT B INTEGER,\r\nINOUT C INTEGER)\r\n BEGIN END"},
      {"MS SQL procedure in a group with options", [this] {
         TPrcData* p = Routine(DB::dbMSSQL, "P", "dbo");
         p->GroupNumber = 2;
         In(p, "@A")->DefaultValue = "0";
         In(p, "@B", dt::VARCHAR, 2)->Length = 10;
         p->WithText = "RECOMPILE";
         p->SetText("AS\r\nBEGIN RETURN END");
         return p;
       },
       "CREATE PROCEDURE DBO.P;2 @A INTEGER = 0,\r\n@B VARCHAR(10) OUTPUT\r\n WITH RECOMPILE\r\n"
       " AS\r\nBEGIN RETURN END",
       "ALTER PROCEDURE DBO.P;2 @A INTEGER = 0,\r\n@B VARCHAR(10) OUTPUT\r\n WITH RECOMPILE\r\n"
       " AS\r\nBEGIN RETURN END",
       "DROP PROCEDURE DBO.P",
       "CREATE PROCEDURE DBO.P @A INTEGER = 0,\r\n@B VARCHAR(10) OUTPUT\r\n AS\r\nbegin Return 0 end"},
      {"MS SQL function whose body is the stub", [this] {
         TPrcData* f = Routine(DB::dbMSSQL, "F", "dbo");
         f->IsFunction = true;
         In(f, "@X");
         Out(f, "");
         f->SetText("begin Return 0 end");
         return f;
       },
       "CREATE FUNCTION DBO.F (@X INTEGER)\r\n RETURNS INTEGER\r\n AS begin Return 0 end",
       "ALTER FUNCTION DBO.F (@X INTEGER)\r\n RETURNS INTEGER\r\n AS begin Return 0 end",
       "DROP FUNCTION DBO.F",
       "CREATE FUNCTION DBO.F (@X INTEGER)\r\n RETURNS INTEGER\r\nas\r\nbegin Return 0 end"},
      {"MS SQL table function", [this] {
         TPrcData* f = Routine(DB::dbMSSQL, "F");
         f->IsFunction = true;
         f->TableResult = true;
         f->SetText("AS RETURN (SELECT 1 AS A)");
         return f;
       },
       "CREATE FUNCTION F ()\r\n RETURNS TABLE\r\n AS RETURN (SELECT 1 AS A)", nullptr,
       "DROP FUNCTION F", "CREATE FUNCTION F ()\r\n RETURNS TABLE\r\nas\r\nReturn (select 0 as Result)"},
      {"MS SQL body stored with CREATE is altered in place", [this] {
         TPrcData* p = Routine(DB::dbMSSQL);
         p->SetText("create procedure P as select 1");
         return p;
       },
       "CREATE PROCEDURE P \r\n create procedure P as select 1", "ALTER procedure P as select 1",
       "DROP PROCEDURE P", "CREATE PROCEDURE P \r\n AS\r\nbegin Return 0 end"},
      {"MS SQL without body is its stored definition", [this] {
         TPrcData* p = Routine(DB::dbMSSQL);
         p->ObjectSource = "CREATE PROCEDURE P AS SELECT 1";
         return p;
       },
       "CREATE PROCEDURE P AS SELECT 1", "ALTER PROCEDURE P AS SELECT 1", "DROP PROCEDURE P", nullptr},
      {"ASE external routine", [this] {
         TPrcData* p = Routine(DB::dbSybaseASE);
         In(p, "X", dt::INTEGER, 1);
         p->Language = "java";
         p->ParameterStyle = "java";
         p->ExternalName = "pkg.Cls.m";
         p->ModifiesSqlData = p->Strict = p->Deterministic = p->Exportable = true;
         p->DynamicResultSets = 2;
         return p;
       },
       "CREATE PROCEDURE P (in X INTEGER)\r\n  modifies sql data\r\n  returns null on null input\r\n"
       "  dynamic result sets 2\r\n  deterministic\r\n  exportable\r\n  language java\r\n"
       "  parameter style java\r\n  external name 'pkg.Cls.m'",
       nullptr, "DROP PROCEDURE P", nullptr},
      {"Oracle procedure", [this] {
         TPrcData* p = Routine(DB::dbOracle, "P", "S");
         In(p, "A")->DefaultValue = "0";
         p->SetText("(A INTEGER) IS BEGIN NULL; END;");
         return p;
       },
       "CREATE OR REPLACE PROCEDURE P\r\n(A INTEGER) IS BEGIN NULL; END;",
       "CREATE OR REPLACE PROCEDURE P\r\n(A INTEGER) IS BEGIN NULL; END;", "DROP PROCEDURE S.P",
       "CREATE OR REPLACE PROCEDURE S.P(A INTEGER DEFAULT 0)\r\n AS\r\n BEGIN EXIT; END;"},
      {"PostgreSQL function", [this] {
         TPrcData* f = Routine(DB::dbPostgreSQL, "f", "s");
         f->IsFunction = true;
         In(f, "a", dt::INTEGER, 1);
         In(f, "", dt::VARCHAR);
         f->ReturnsText = "integer";
         f->SetOf = true;
         f->Language = "plpgsql";
         f->Volatility = "STABLE";
         f->Strict = true;
         f->SetText("BEGIN RETURN NEXT 1; END;");
         return f;
       },
       "CREATE FUNCTION s.f(IN a integer,\r\nvarchar)\r\nRETURNS SETOF integer\r\n"
       "AS $$BEGIN RETURN NEXT 1; END;$$\r\nLANGUAGE 'plpgsql' STABLE STRICT",
       "CREATE OR REPLACE FUNCTION s.f(IN a integer,\r\nvarchar)\r\nRETURNS SETOF integer\r\n"
       "AS $$BEGIN RETURN NEXT 1; END;$$\r\nLANGUAGE 'plpgsql' STABLE STRICT",
       "DROP FUNCTION s.f(IN a integer,\r\nvarchar)", nullptr},
      {"PostgreSQL C function without schema", [this] {
         TPrcData* f = Routine(DB::dbPostgreSQL, "f");
         f->IsFunction = true;
         f->ObjectFile = "/lib/f.so";
         f->LinkSymbol = "f_c";
         f->Language = "C";
         return f;
       },
       "CREATE FUNCTION f()\r\nAS '/lib/f.so', 'f_c'\r\nLANGUAGE 'C'", nullptr, "DROP FUNCTION f()",
       nullptr},
      {"DB2 writes no routine", [this] { return Standard(DB::dbDB2); }, "", "/* Alter <...> */",
       "DROP PROCEDURE P", nullptr},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPrcData* p = c.make();
    const std::string body = p->GetText();
    EXPECT_EQ(p->GetCreateSQL(), c.create);
    if (c.alter) {
      EXPECT_EQ(p->GetAlterSQL(), c.alter);
    }
    EXPECT_EQ(p->GetDropSQL(), c.drop);
    if (c.createEmpty) {
      EXPECT_EQ(p->GetCreateEmptySQL(), c.createEmpty);
    }
    EXPECT_EQ(p->GetText(), body);  // the stub text leaves the body alone
  }
}

TEST_F(RoutineTest, PostgreSQLBodiesCannotEndTheirQuoteEarly) {
  struct BodyCase {
    const char* body;
    const char* as;
  };
  const BodyCase cases[] = {
      {"SELECT 1", "AS $$SELECT 1$$"},
      {"SELECT $$a$$", "AS $body$SELECT $$a$$$body$"},
      {"SELECT $$a$$ || $body$b$body$", "AS $body1$SELECT $$a$$ || $body$b$body$$body1$"},
      {"SELECT 'x$'", "AS $$SELECT 'x$'$$"},
      {"SELECT 1 AS x$", "AS $body$SELECT 1 AS x$$body$"},
  };
  for (const BodyCase& c : cases) {
    SCOPED_TRACE(c.body);
    TPrcData* f = Routine(DB::dbPostgreSQL, "f");
    f->IsFunction = true;
    f->SetText(c.body);
    EXPECT_EQ(f->GetCreateSQL(), std::string("CREATE FUNCTION f()\r\n") + c.as);
  }
}

TEST_F(RoutineTest, KeysKeepOverloadsAndGroupsApart) {
  TPrcData* one = Routine(DB::dbPostgreSQL, "f", "s");
  In(one, "a", dt::INTEGER);
  In(one, "b", dt::VARCHAR);
  auto second = std::make_unique<TPrcData>(&Objs());
  second->SetName("f");
  second->SetParentName("s");
  Column(second->InParams, second.get(), "a", dt::INTEGER);
  EXPECT_EQ(one->GetKeyName(), "s.f(integer, varchar)");
  EXPECT_EQ(second->GetKeyName(), "s.f(integer)");
  EXPECT_NE(Objs().AddObject(second, true), nullptr);
  EXPECT_EQ(Objs().Procedures.Count(), 2);

  TPrcData* grouped = Routine(DB::dbMSSQL, "P", "dbo");
  grouped->GroupNumber = 2;
  EXPECT_EQ(grouped->GetKeyName(), "DBO.P;2");
}

TEST_F(RoutineTest, StubBodies) {
  struct StubCase {
    const char* name;
    DB st;
    std::function<void(TPrcData&)> setup;
    const char* stub;
  };
  const StubCase cases[] = {
      {"InterBase procedure without outputs", DB::dbInterBase, [](TPrcData&) {},
       " BEGIN EXIT; END"},
      {"InterBase procedure with outputs", DB::dbInterBase, [this](TPrcData& p) { Out(&p, "R"); },
       " BEGIN SUSPEND; END"},
      {"InterBase function", DB::dbInterBase, [](TPrcData& p) { p.IsFunction = true; },
       " BEGIN RETURN NULL; END"},
      {"Oracle ends with a semicolon", DB::dbOracle, [](TPrcData&) {}, " BEGIN EXIT; END;"},
      {"ASA", DB::dbSybaseASA, [](TPrcData&) {}, " begin Return end"},
      {"MySQL", DB::dbMySQL, [](TPrcData&) {}, " BEGIN END"},
      {"MS SQL", DB::dbMSSQL, [](TPrcData&) {}, "begin Return 0 end"},
      {"MS SQL table result", DB::dbMSSQL, [](TPrcData& p) { p.TableResult = true; },
       "Return (select 0 as Result)"},
      {"MS SQL only output a table", DB::dbMSSQL, [this](TPrcData& p) { Out(&p, "T", dt::TABLE); },
       "begin Return end"},
      {"MS SQL only output a uniqueidentifier", DB::dbSybaseASE,
       [this](TPrcData& p) { Out(&p, "G", dt::UNIQUEIDENTIFIER); }, "begin Return Null end"},
  };
  for (const StubCase& c : cases) {
    SCOPED_TRACE(c.name);
    TPrcData* p = Routine(c.st);
    c.setup(*p);
    EXPECT_EQ(p->GetEmptyBody(), c.stub);
  }
  TPrcData* p = Routine(DB::dbInterBase);
  p->Suppressed = true;
  EXPECT_EQ(p->GetCreateEmptySQL(), "");
  EXPECT_EQ(p->GetDropSQL(), "");
}

TEST_F(RoutineTest, OracleTypeMembers) {
  Server(DB::dbOracle);
  TMemberPrcData get(&Objs());
  get.SetName("GET_X");
  get.IsFunction = true;
  get.ParamText = "(SELF IN OUT T_OBJ)";
  get.Directives.Overriding = true;
  Column(get.OutParams, &get, "", dt::NUMBER);
  EXPECT_EQ(get.GetCreateSQL(),
            "   OVERRIDING MEMBER FUNCTION GET_X(SELF IN OUT T_OBJ) RETURN NUMBER");
  TMemberPrcData set(&Objs());
  set.SetName("SET_X");
  set.ParamText = "(X NUMBER)";
  EXPECT_EQ(set.GetCreateSQL(), "   MEMBER PROCEDURE SET_X(X NUMBER)");
  set.IsFunction = true;  // a function without a result writes no bare RETURN
  EXPECT_EQ(set.GetCreateSQL(), "   MEMBER FUNCTION SET_X(X NUMBER)");
  set.IsFunction = false;
  set.Directives.NotFinal = true;  // its text ends without a blank
  EXPECT_EQ(set.GetCreateSQL(), "   NOT FINAL MEMBER PROCEDURE SET_X(X NUMBER)");
}

class RoutineWalkTest : public RoutineTest {
 protected:
  void Walk(DB st) {
    Server(st);
    Objs().ScriptWriter = &writer;
  }
  void TearDown() override {
    Objs().ScriptWriter = nullptr;
    Objs().LinkedObjs = nullptr;
  }
  void AllAbsent() {
    Objs().ForEachObject([](TDbObj& o) { o.Deselect(); });
  }
  RecordingWriter writer;
};

TEST_F(RoutineWalkTest, ACycleGetsAStubHeaderAndTheBodyLater) {
  Walk(DB::dbInterBase);
  TPrcData* p = Held<TPrcData>("P");
  TPrcData* q = Held<TPrcData>("Q");
  Out(q, "R");
  q->SetText("BEGIN SELECT R FROM P INTO :R; SUSPEND; END");
  q->SetDescription("the second");
  p->SetText("BEGIN EXECUTE PROCEDURE Q; END");
  Objs().AddDependency(p, q, 0, 0);
  Objs().AddDependency(q, p, 0, 0);
  AllAbsent();
  p->WriteCreate();
  ASSERT_EQ(writer.Trace(), (std::vector<std::string>{"Q:6", "P:1"}));
  EXPECT_EQ(writer.calls[0].text, q->GetCreateEmptySQL());
  EXPECT_EQ(writer.calls[0].kind, kStmtRoutine);
  EXPECT_TRUE(q->BodyEmptied);
  EXPECT_TRUE(writer.descriptions.empty());  // the stub carries none

  q->WriteCreate();
  ASSERT_EQ(writer.Trace(), (std::vector<std::string>{"Q:6", "P:1", "Q:2"}));
  EXPECT_EQ(writer.calls[2].text,
            "ALTER PROCEDURE Q RETURNS(R INTEGER)\r\n AS\r\n"
            "BEGIN SELECT R FROM P INTO :R; SUSPEND; END");
  EXPECT_EQ(writer.calls[2].kind, kStmtRoutine);
  EXPECT_FALSE(q->BodyEmptied);
  EXPECT_EQ(writer.descriptions, (std::vector<std::string>{"Q"}));
  q->WriteCreate();  // the body is owed once only
  EXPECT_EQ(writer.calls.size(), 3u);
}

TEST_F(RoutineWalkTest, ReplaceWithEmptyBody) {
  Walk(DB::dbInterBase);
  TObjs source;
  source.SetServerType(DB::dbInterBase);
  source.Role = 1;
  auto same = std::make_unique<TPrcData>(&source);
  same->SetName("P");
  TPrcData* src = source.AddObject(same, true);
  Objs().LinkedObjs = &source;
  TPrcData* p = Held<TPrcData>("P");
  TTblData* t = Held<TTblData>("T");
  Objs().AddDependency(p, t, 0, 0);
  p->SetText("BEGIN DELETE FROM T; END");

  p->Deselect();
  p->ReplaceWithEmptyBody(/*write=*/true);  // absent: nothing happens
  EXPECT_EQ(p->GetText(), "BEGIN DELETE FROM T; END");
  EXPECT_TRUE(writer.calls.empty());

  p->Select();
  p->ReplaceWithEmptyBody(/*write=*/false);
  EXPECT_TRUE(p->HasEmptyBody());
  EXPECT_FALSE(p->DependsOn().Object(0)->Active);
  EXPECT_TRUE(src->BodyEmptied);
  EXPECT_TRUE(writer.calls.empty());

  p->SetText("BEGIN DELETE FROM T; END");
  p->ReplaceWithEmptyBody(/*write=*/true);
  ASSERT_EQ(writer.Trace(), (std::vector<std::string>{"P:6"}));
  EXPECT_EQ(writer.calls[0].text, "ALTER PROCEDURE P AS\r\nBEGIN EXIT; END");
  p->ReplaceWithEmptyBody(/*write=*/true);  // already the stub
  EXPECT_EQ(writer.calls.size(), 1u);
}

TEST_F(RoutineWalkTest, DropTakesComputedColumnsNotTables) {
  Walk(DB::dbInterBase);
  TPrcData* f = Held<TPrcData>("F");
  f->IsFunction = true;
  TTblData* t = Held<TTblData>("T");
  TFldData* computed = Column(t, "C");
  computed->SetText("(F(1))");
  TTblData* other = Held<TTblData>("T2");
  Column(other, "X");
  TViwData* v = Held<TViwData>("V");
  Objs().AddDependency(computed, f, 0, 0);
  Objs().AddDependency(other, f, 0, 0, "X");  // a routine is referenced as a whole
  Objs().AddDependency(v, f, 0, 0);
  f->WriteDrop();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"C:3", "V:3", "F:3"}));
  EXPECT_TRUE(t->GetSelected());
  EXPECT_TRUE(other->GetSelected());
}

TEST_F(RoutineWalkTest, ViewsItReadsComeFirstWithAComment) {
  Walk(DB::dbInterBase);
  TPrcData* p = Held<TPrcData>("P");
  TViwData* v = Held<TViwData>("V");
  Objs().AddDependency(p, v, 0, 0);
  AllAbsent();
  p->DependsOn().Object(0)->Active = false;  // already served once
  p->WriteCreate();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"V:1", "P:1"}));
  ASSERT_FALSE(writer.comments.empty());
  EXPECT_EQ(writer.comments[0], "/* Create view: V for procedure: P */");
}

}  // namespace
}  // namespace qor::test
