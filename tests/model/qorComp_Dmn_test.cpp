// Domain and user-defined type texts: domains of every dialect, MS SQL
// alias types and XML schema collections, Oracle object, VARRAY and
// nested-table types with members, PostgreSQL base and composite types,
// DROP per dialect, and the domain's part of the walk against a recording
// writer.
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "platform/qorStrings.h"
#include "tests/model/qorDDLFixture.h"
#include "tests/model/qorModelFakes.h"
#include "tests/support/qorModelBuilder.h"

#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qor::test {
namespace {

class DomainTest : public DDLTest {
 protected:
  TDmnData* Dmn(DB st, const std::string& name = "D", const std::string& parent = {}) {
    Server(st);
    // A version with DROP TYPE; the sp_droptype one has a test of its own.
    Objs().MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2005;
    TDmnData* d = Held<TDmnData>(name, parent);
    d->TypeHolder->DataType = dt::INTEGER;
    return d;
  }
  TFldData* Attr(TFieldList& list, TDmnData* d, const std::string& name, std::uint8_t type,
                 int length = 0) {
    TFldData* f = Column(list, d, name, type);
    f->Length = length;
    return f;
  }
  TMemberPrcData* Method(TDmnData* d, const std::string& name, bool function,
                         const std::string& params = {}) {
    auto m = std::make_unique<TMemberPrcData>(&Objs());
    m->SetName(name);
    m->IsFunction = function;
    m->ParamText = params;
    if (function) Column(m->OutParams, m.get(), "", dt::NUMBER);
    TMemberPrcData* raw = m.get();
    d->Methods.Add(name, std::move(m));
    return raw;
  }
  TFieldList elements;  // element types are not owned by the type that names them
};

struct Case {
  const char* name;
  DB st;
  std::function<void(TDmnData&)> setup;
  const char* create;
  const char* drop;
};

TEST_F(DomainTest, TextsPerDialect) {
  const Case cases[] = {
      {"InterBase domain", DB::dbInterBase,
       [](TDmnData& d) {
         d.TypeHolder->DefaultValue = "0";
         d.TypeHolder->Nullable = false;
         d.TypeHolder->CheckText = "(VALUE > 0)";
       },
       "CREATE DOMAIN D AS INTEGER DEFAULT 0 NOT NULL CHECK(VALUE > 0)",
       "/* Drop: D (TDmnData) */\r\nDROP DOMAIN D"},
      {"ASA domain", DB::dbSybaseASA, [](TDmnData& d) { d.TypeHolder->Nullable = false; },
       "CREATE DOMAIN D INTEGER NOT NULL", "/* Drop: D (TDmnData) */\r\nDROP DOMAIN D"},
      {"PostgreSQL domain", DB::dbPostgreSQL,
       [](TDmnData& d) {
         d.SetName("d");
         d.SetParentName("s");
         d.TypeHolder->DefaultValue = "0";
         d.TypeHolder->Nullable = false;
       },
       "CREATE DOMAIN s.d integer not null default 0", "DROP DOMAIN s.d"},
      {"PostgreSQL base type with the start values only", DB::dbPostgreSQL,
       [](TDmnData& d) {
         d.SetName("t");
         d.SetParentName("s");
         d.PGOptions->IsType = true;
       },
       "CREATE TYPE s.t(\r\nALIGNMENT = int4,\r\nSTORAGE = plain)", "DROP TYPE s.t"},
      {"PostgreSQL base type with every option", DB::dbPostgreSQL,
       [this](TDmnData& d) {
         d.SetName("t");
         TPGTypeOptions& o = *d.PGOptions;
         o.IsType = true;
         o.Input = "t_in";
         o.Output = "t_out";
         o.Receive = "t_recv";
         o.Send = "t_send";
         o.Analyze = "t_analyze";
         o.InternalLength = 16;
         o.ExternalLength = 0;
         o.PassedByValue = true;
         o.Alignment = dt::DOUBLE;
         o.Storage = "extended";
         o.DefaultValue = "0";
         o.Element = Column(elements, &d, "", dt::INTEGER);
         o.Delimiter = "'";
       },
       "CREATE TYPE t(\r\nINPUT = t_in,\r\nOUTPUT = t_out,\r\nRECEIVE = t_recv,\r\nSEND = t_send,\r\n"
       "ANALYZE = t_analyze,\r\nINTERNALLENGTH = 16,\r\nEXTERNALLENGTH = 0,\r\nPASSEDBYVALUE,\r\n"
       "ALIGNMENT = double,\r\nSTORAGE = extended,\r\nDEFAULT = 0,\r\nELEMENT = integer,\r\n"
       "DELIMITER = '''')",
       nullptr},
      {"PostgreSQL type with no option cuts nothing", DB::dbPostgreSQL,
       [](TDmnData& d) {
         d.SetName("t");
         d.PGOptions->IsType = true;
         d.PGOptions->Alignment = 0;
         d.PGOptions->Storage.clear();
       },
       "CREATE TYPE t(\r\n)", "DROP TYPE t"},
      {"PostgreSQL composite type", DB::dbPostgreSQL,
       [this](TDmnData& d) {
         d.SetName("t");
         d.SetParentName("s");
         d.PGOptions->IsType = true;
         Attr(d.PGOptions->Fields, &d, "a", dt::INTEGER);
         Attr(d.PGOptions->Fields, &d, "b", dt::VARCHAR, 10);
       },
       "CREATE TYPE s.t AS (\r\na integer,\r\nb varchar(10))", "DROP TYPE s.t"},
      {"MS SQL CREATE TYPE FROM", DB::dbMSSQL,
       [](TDmnData& d) {
         d.SetParentName("dbo");
         d.CreateTypeFrom = true;
         d.TypeHolder->DataType = dt::VARCHAR;
         d.TypeHolder->Length = 20;
         d.TypeHolder->Nullable = false;
       },
       "CREATE TYPE DBO.D FROM VARCHAR(20) NOT NULL", "DROP TYPE DBO.D"},
      {"MS SQL table type", DB::dbMSSQL,
       [this](TDmnData& d) {
         d.SetParentName("dbo");
         d.CreateTypeFrom = true;
         d.TypeHolder->DataType = dt::TABLE;
         d.TypeHolder->TableType = std::make_unique<TTblData>(&Objs());
         TTblData& t = *d.TypeHolder->TableType;
         for (const char* n : {"ID", "NOTE"}) {
           auto f = std::make_unique<TFldData>(&Objs(), &t);
           f->SetName(n);
           f->DataType = dt::INTEGER;
           f->Nullable = std::string(n) == "NOTE";
           t.Fields.Add(n, std::move(f));
         }
       },
       "CREATE TYPE DBO.D AS TABLE (ID INTEGER NOT NULL,\r\nNOTE INTEGER NULL)", "DROP TYPE DBO.D"},
      {"MS SQL alias type through sp_addtype", DB::dbMSSQL,
       [](TDmnData& d) {
         d.SetName("o'd");
         d.BaseTypeText = "varchar(20)";
       },
       "EXEC sp_addtype N'O''D', N'varchar(20)', N'NULL'", "DROP TYPE [O'D]"},
      {"MS SQL XML schema collection", DB::dbMSSQL,
       [](TDmnData& d) {
         d.SetParentName("dbo");
         d.BaseTypeText = "XML SCHEMA COLLECTION";
         d.SetText("<a b='x'/>");
       },
       "CREATE XML SCHEMA COLLECTION DBO.D AS N'<a b=''x''/>'", "DROP XML SCHEMA COLLECTION DBO.D"},
      {"ASE alias type", DB::dbSybaseASE,
       [](TDmnData& d) {
         d.BaseTypeText = "int";
         d.TypeHolder->Nullable = false;
       },
       "EXEC sp_addtype N'D', N'int', N'NOT NULL'", "exec sp_droptype 'D'"},
      {"Oracle object type with attributes and methods", DB::dbOracle,
       [this](TDmnData& d) {
         d.SetName("T_OBJ");
         d.TypeKind = 2;
         Attr(d.Attributes, &d, "A", dt::NUMBER);
         Attr(d.Attributes, &d, "B", dt::VARCHAR2, 10);
         Method(&d, "GET_A", true);
         Method(&d, "SET_A", false, "(X NUMBER)");
         d.Directives.NotFinal = true;
       },
       "CREATE OR REPLACE TYPE T_OBJ AS OBJECT\r\n  (A NUMBER,\r\n   B VARCHAR2(10),\r\n"
       "   MEMBER FUNCTION GET_A RETURN NUMBER,\r\n   MEMBER PROCEDURE SET_A(X NUMBER))\r\n   NOT FINAL",
       "DROP TYPE T_OBJ"},
      {"Oracle object type with attributes only", DB::dbOracle,
       [this](TDmnData& d) {
         d.SetName("T_OBJ");
         d.TypeKind = 2;
         Attr(d.Attributes, &d, "A", dt::NUMBER);
       },
       "CREATE OR REPLACE TYPE T_OBJ AS OBJECT\r\n  (A NUMBER)", "DROP TYPE T_OBJ"},
      {"Oracle object type with methods only opens the list itself", DB::dbOracle,
       [this](TDmnData& d) {
         d.SetName("T_OBJ");
         d.TypeKind = 2;
         Method(&d, "GET_A", true);
       },
       "CREATE OR REPLACE TYPE T_OBJ AS OBJECT\r\n  (   MEMBER FUNCTION GET_A RETURN NUMBER)",
       "DROP TYPE T_OBJ"},
      {"Oracle VARRAY", DB::dbOracle,
       [](TDmnData& d) {
         d.SetName("T_ARR");
         d.TypeKind = 3;
         d.VarrayLimit = 10;
         d.TypeHolder->DataType = dt::NUMBER;
       },
       "CREATE OR REPLACE TYPE T_ARR AS VARRAY(10) OF NUMBER", "DROP TYPE T_ARR"},
      {"Oracle nested table with IS", DB::dbOracle,
       [](TDmnData& d) {
         d.SetName("T_TAB");
         d.TypeKind = 5;
         d.TypeHolder->DataType = dt::VARCHAR2;
         d.TypeHolder->Length = 10;
       },
       "CREATE OR REPLACE TYPE T_TAB IS TABLE OF VARCHAR2(10)", "DROP TYPE T_TAB"},
      {"Oracle subtype with timestamp, OID and added attributes", DB::dbOracle,
       [this](TDmnData& d) {
         d.SetName("T_SUB");
         d.SuperType = "T_OBJ";
         d.TypeTimestamp = "2020-01-01:00:00:00";
         d.TypeOid = "ABC";
         Attr(d.Attributes, &d, "C", dt::NUMBER);
         Attr(d.AddedAttributes, &d, "E", dt::NUMBER);
         Attr(d.AddedAttributes, &d, "F", dt::NUMBER);
         d.Cascade = true;
       },
       "CREATE OR REPLACE TYPE T_SUB\r\n   TIMESTAMP '2020-01-01:00:00:00' OID 'ABC'\r\n"
       " UNDER T_OBJ\r\n  (C NUMBER)\r\n/\r\n\r\nALTER TYPE T_SUB ADD ATTRIBUTE\r\n"
       "  (E NUMBER,\r\n   F NUMBER)\r\n   CASCADE",
       "DROP TYPE T_SUB"},
      {"Oracle has no domains: one of no type kind writes nothing", DB::dbOracle,
       [](TDmnData& d) { d.TypeHolder->DataType = dt::NUMERIC; }, "", nullptr},
      {"DB2 domain is a distinct type", DB::dbDB2,
       [](TDmnData& d) {
         d.TypeHolder->DataType = dt::NUMERIC, d.TypeHolder->Precision = 12,
         d.TypeHolder->Scale = 2;
       },
       "CREATE DISTINCT TYPE D AS NUMERIC(12,2) WITH COMPARISONS", "DROP TYPE D"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDmnData* d = Dmn(c.st);
    c.setup(*d);
    EXPECT_EQ(d->GetCreateSQL(), c.create);
    if (c.drop) {
      EXPECT_EQ(d->GetDropSQL(), c.drop);
    }
  }
}

// A domain of InterBase's kind in an Oracle script: named in a note, its
// columns written with its type, default and NOT NULL (whether the column
// carries the base type, as the InterBase catalog gives it, or only the
// domain, as a parsed script does), its description and grant not written;
// an Oracle type keeps its name on its columns.
TEST_F(DomainTest, OracleScriptNamesADomainItCannotWrite) {
  Server(DB::dbOracle);
  TDmnData* money = Domain("D_MONEY", dt::NUMERIC, "0");
  money->TypeHolder->Precision = 12;
  money->TypeHolder->Scale = 2;
  money->TypeHolder->Nullable = false;
  money->TypeHolder->CheckText = "(VALUE >= 0)";
  money->SetDescription("An amount of money");
  TDmnData* list = Domain("T_LIST", dt::INTEGER);
  list->TypeKind = 4;
  TTblData* t = Held<TTblData>("T");
  TFldData* read = Column(t, "READ", dt::NUMERIC);
  read->Precision = 12;
  read->Scale = 2;
  read->DomainName = "D_MONEY";
  Column(t, "PARSED", dt::UserType)->DomainName = "D_MONEY";
  TFldData* own = Column(t, "OWN", dt::UserType);
  own->DomainName = "D_MONEY";
  own->DefaultValue = "1";
  Column(t, "ITEMS", dt::UserType)->DomainName = "T_LIST";
  TModelBuilder(Objs()).Grant(
      {"U", TDbObject::dboUser, "D_MONEY", TDbObject::dboDomain, {TPrivilege::prUsage}});
  std::vector<std::string> lines;
  Objs().GetScript(lines);
  const std::string script = JoinLines(lines);

  EXPECT_NE(script.find("-- domain D_MONEY: not written, this dialect has no domains\r\n"),
            std::string::npos)
      << script;
  EXPECT_NE(script.find("CREATE OR REPLACE TYPE T_LIST AS TABLE OF INTEGER\r\n/"),
            std::string::npos)
      << script;
  for (const char* column :
       {"READ NUMERIC(12,2) DEFAULT 0 NOT NULL", "PARSED NUMERIC(12,2) DEFAULT 0 NOT NULL",
        "OWN NUMERIC(12,2) DEFAULT 1 NOT NULL", "ITEMS T_LIST"})
    EXPECT_NE(script.find(column), std::string::npos) << column << "\n" << script;
  // Outside "--" lines nothing names the domain or its description.
  for (const std::string& line : SplitLines(script)) {
    if (StartsWith(TrimCtl(line), "--")) continue;
    EXPECT_EQ(line.find("D_MONEY"), std::string::npos) << line;
    EXPECT_EQ(line.find("An amount of money"), std::string::npos) << line;
  }
}

TEST_F(DomainTest, MSSQL2000DropsThroughSpDroptype) {
  TDmnData* d = Dmn(DB::dbMSSQL, "D", "dbo");
  Objs().MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2000;
  EXPECT_EQ(d->GetDropSQL(), "exec sp_droptype 'D'");
  Objs().MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2005;
  EXPECT_EQ(d->GetDropSQL(), "DROP TYPE DBO.D");
}

class DomainWalkTest : public DomainTest {
 protected:
  void TearDown() override { Objs().ScriptWriter = nullptr; }
  RecordingWriter writer;
};

TEST_F(DomainWalkTest, DomainsItIsBuiltOnComeFirst) {
  TDmnData* base = Dmn(DB::dbInterBase, "D1");
  Objs().ScriptWriter = &writer;
  TDmnData* d = Held<TDmnData>("D2");
  d->TypeHolder->DataType = dt::INTEGER;
  Objs().AddDependency(d, base, 0, 0);
  base->Deselect();
  d->Deselect();
  d->WriteCreate();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"D1:1", "D2:1"}));
  EXPECT_EQ(writer.calls[0].text, "CREATE DOMAIN D1 AS INTEGER");
}

TEST_F(DomainWalkTest, DropTakesDomainsAndViewsButNeverTables) {
  TDmnData* d = Dmn(DB::dbInterBase);
  Objs().ScriptWriter = &writer;
  TDmnData* d2 = Held<TDmnData>("D2");
  TViwData* v = Held<TViwData>("V");
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t, "C", dt::UserType);
  c->DomainName = "D";
  Objs().AddDependency(d2, d, 0, 0);
  Objs().AddDependency(v, d, 0, 0);
  Objs().AddDependency(t, d, 0, 0, "C");  // the table and its column
  ASSERT_EQ(d->UsedBy().Count(), 4);
  d->WriteDrop();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"D2:3", "V:3", "D:3"}));
  EXPECT_TRUE(t->GetSelected());
  EXPECT_TRUE(c->GetSelected());
  for (const auto& e : d->UsedBy()) EXPECT_FALSE(e.Value->Active) << e.Name;
}

}  // namespace
}  // namespace qor::test
