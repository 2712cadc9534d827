// The whole InterBase script of a fixture holding every kind that Firebird
// has, written for Firebird 3 with COMMENT ON descriptions and replayed by
// the real Firebird 3 engine (embedded, dialect 3) into a fresh database:
// the script must run without an error, and the objects, descriptions and
// privileges the database then holds are read back from the catalog and
// compared with the fixture by kind and name. Schemas, events and packages
// stay out: the InterBase script writes the first two, which Firebird does
// not have, and leaves packages to Oracle.
#include "model/qorComp_Clt.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "tests/support/qorModelBuilder.h"
#include "platform/qorStrings.h"
#include "tests/support/qorFirebirdReplay.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace qor {
namespace {

using DB = TDatabaseType;
using IBV = TIBSQLServerVersionType;
using K = TDbObject;
using P = TPrivilege;

// One column per type code Firebird 3 takes, as the extractor fills them.
struct TypeColumn {
  const char* name;
  int code;  // RDB$FIELD_TYPE
  int charSetId = 0;
  int length = 0, precision = 0, scale = 0, subType = 0, segment = 0;
};
// clang-format off
const TypeColumn kTypes[] = {
    {"C_SMALLINT", 7},         {"C_INTEGER", 8},
    {"C_FLOAT", 10},           {"C_DATE", 12},
    {"C_TIME", 13},            {"C_CHAR", 14, 0, 10},
    {"C_BINARY", 14, 1, 16},   {"C_BIGINT", 16},
    {"C_BOOLEAN", 23},         {"C_NUMERIC", 26, 0, 0, 18, 2},
    {"C_DECIMAL", 26, 0, 0, 9, 3}, {"C_DOUBLE", 27},
    {"C_TIMESTAMP", 35},       {"C_VARCHAR", 37, 0, 60},
    {"C_VARBINARY", 37, 1, 32}, {"C_TEXT", 261, 0, 0, 0, 0, 1, 80},
    {"C_BLOB", 261, 0, 0, 0, 0, 0, 4096},
};
// clang-format on

class ScriptReplay : public ::testing::Test {
 protected:
  TObjs& Objs() { return *structure.GetObjs(); }

  void SetUp() override {
    Objs().SetServerType(DB::dbInterBase);
    TIBServerOptions& ib = Objs().IBServerOptions;
    ib.SQLServerVersion = IBV::st_Firebird_30;
    ib.SQLDialect = 3;
    ib.SetDBCharSet("UTF8");
    ib.IBCompareOptions.FldCharsetCompare = true;
    ib.IBCompareOptions.UpdateDescriptionMode = TUpdateDescriptionType::udComment;
    // The replay makes the database itself.
    Objs().ScriptOptions.Connect = false;
    BuildFixture();
  }

  template <class T>
  T* Add(const std::string& name, const char* description = nullptr) {
    T* raw = test::TModelBuilder(Objs()).Add<T>(name);
    if (raw && description) raw->SetDescription(description);
    return raw;
  }
  TFldData* Field(TFieldList& list, TDbObj* holder, const std::string& name,
                  std::uint8_t type = dt::INTEGER, int length = 0) {
    return test::TModelBuilder(Objs()).Field(list, holder, name, type, length);
  }
  TFldData* Field(TTblData* t, const std::string& name, std::uint8_t type = dt::INTEGER,
                  int length = 0) {
    return Field(t->Fields, t, name, type, length);
  }
  TCtrData* Key(std::uint8_t type, const std::string& name, const std::string& table,
                std::initializer_list<const char*> columns) {
    auto c = std::make_unique<TCtrData>(&Objs());
    c->SetName(name);
    c->SetConstraintType(type);
    c->SetTableName(table);
    for (const char* col : columns) c->Columns.Add(col, nullptr);
    TCtrData* raw = Objs().AddObject(c, true);
    EXPECT_NE(raw, nullptr) << name;
    return raw;
  }
  TIdxData* Index(const std::string& name, const std::string& table,
                  std::initializer_list<const char*> columns, const char* description = nullptr) {
    TIdxData* ix = Add<TIdxData>(name, description);
    ix->TableName = table;
    for (const char* col : columns) ix->Columns.Add(col, nullptr);
    return ix;
  }
  TTrgData* Trigger(const std::string& name, const std::string& table, int type,
                    const std::string& body, const char* description = nullptr) {
    TTrgData* t = Add<TTrgData>(name, description);
    t->SetTableName(table);
    t->TriggerType = type;
    t->SetText(body);
    return t;
  }
  void Grant(const std::string& grantee, K granteeKind, const std::string& object, K objectKind,
             TPrivileges privileges, int option = 0, std::vector<std::string> columns = {}) {
    auto g = std::make_unique<TGntData>(&Objs());
    g->Grantee = grantee;
    g->GranteeKind = granteeKind;
    g->ObjectName = object;
    g->ObjectKind = objectKind;
    g->Privileges = privileges;
    g->GrantOption = option;
    g->Columns = std::move(columns);
    Objs().AddGrant(g);
  }

  void BuildFixture() {
    TUdfData* udf = Add<TUdfData>("STRLEN", "Length of a C string");
    Field(udf->Args, udf, "", dt::CSTRING, 255);
    udf->ResultField->DataType = dt::INTEGER;
    udf->ResultField->ByValue = true;
    udf->EntryPoint = "IB_UDF_strlen";
    udf->ModuleName = "ib_udf";

    TCltData* coll = Add<TCltData>("NAME_CI", "Names compare without case");
    coll->CharacterSet = "UTF8";
    coll->FromCollation = "UNICODE";
    coll->CaseSensitive = false;

    TDmnData* money = Add<TDmnData>("D_MONEY", "An amount of money");
    money->TypeHolder->DataType = dt::NUMERIC;
    money->TypeHolder->Precision = 12;
    money->TypeHolder->Scale = 2;
    money->TypeHolder->DefaultValue = "0";
    money->TypeHolder->Nullable = false;
    money->TypeHolder->CheckText = "(VALUE >= 0)";
    TDmnData* name = Add<TDmnData>("D_NAME");
    name->TypeHolder->DataType = dt::VARCHAR;
    name->TypeHolder->Length = 40;
    name->TypeHolder->CharSet = "UTF8";
    name->TypeHolder->Collation = "NAME_CI";

    // Every type, an identity, an array, a computed column.
    TTblData* all = Add<TTblData>("ALL_TYPES", "One column of each type");
    TFldData* id = Field(all, "ID");
    id->Identity = true;
    id->Nullable = false;
    id->SetDescription("Numbered by the engine");
    for (const TypeColumn& t : kTypes) {
      TFldData* f = Field(all, t.name, dt::Unknown);
      f->SetIBFieldType(t.code, t.charSetId);
      f->Length = t.length, f->Precision = t.precision, f->Scale = t.scale;
      f->SubType = t.subType, f->SegmentSize = t.segment;
    }
    Field(all, "C_ARRAY")->ArrayBounds = {{1, 3}, {0, 4}};
    Field(all, "C_CALC", dt::Unknown)->SetText("(C_INTEGER * 2)");

    TTblData* customers = Add<TTblData>("CUSTOMERS", "Who buys");
    Field(customers, "ID")->Nullable = false;
    TFldData* cname = Field(customers, "NAME", dt::UserType);
    cname->DomainName = "D_NAME";
    cname->SetDescription("Shown on invoices");
    TFldData* code = Field(customers, "CODE", dt::CHAR, 8);
    code->DefaultValue = "'NEW'";
    Field(customers, "BALANCE", dt::UserType)->DomainName = "D_MONEY";
    Field(customers, "Mixed Case", dt::INTEGER);

    TTblData* orders = Add<TTblData>("ORDERS");
    Field(orders, "ID", dt::BIGINT)->Nullable = false;
    Field(orders, "CUSTOMER_ID")->Nullable = false;
    Field(orders, "QTY");
    TFldData* price = Field(orders, "PRICE", dt::NUMERIC);
    price->Precision = 10, price->Scale = 2;
    Field(orders, "TOTAL", dt::Unknown)->SetText("(QTY * PRICE)");

    TTblData* log = Add<TTblData>("LOG_LINES");
    Field(log, "MSG", dt::VARCHAR, 100);

    Key(ct::PrimaryKey, "PK_ALL_TYPES", "ALL_TYPES", {"ID"});
    Key(ct::PrimaryKey, "PK_CUSTOMERS", "CUSTOMERS", {"ID"});
    Key(ct::PrimaryKey, "PK_ORDERS", "ORDERS", {"ID"});
    Key(ct::Unique, "UQ_CUSTOMERS_CODE", "CUSTOMERS", {"CODE"});
    TCtrData* fk = Key(ct::ForeignKey, "FK_ORDERS_CUSTOMER", "ORDERS", {"CUSTOMER_ID"});
    fk->SetRefTableName("CUSTOMERS");
    fk->RefColumns.Add("ID", nullptr);
    fk->DeleteRule = 2, fk->UpdateRule = 2;
    Key(ct::Check, "CK_ORDERS_QTY", "ORDERS", {})->SetText("(QTY > 0)");

    Index("IX_CUSTOMERS_NAME", "CUSTOMERS", {"NAME"}, "Look-up by name");
    TIdxData* desc = Index("IX_ORDERS_QTY", "ORDERS", {"QTY"});
    desc->Descending = true;
    Index("IX_ORDERS_UPPER", "LOG_LINES", {})->SetText("(UPPER(MSG))");

    Add<TExcData>("E_NO_CUSTOMER", "Raised for an unknown customer")->Message = "It's gone";
    Add<TGnrData>("G_ORDERS", "Order numbers");

    // The second view rests on the first, which comes before it.
    TViwData* big = Add<TViwData>("V_BIG_ORDERS", "Orders worth a look");
    Field(big->Columns, big, "ORDER_ID");
    Field(big->Columns, big, "AMOUNT");
    big->SetText("SELECT ID, TOTAL FROM ORDERS WHERE TOTAL > 100");
    TViwData* huge = Add<TViwData>("V_HUGE_ORDERS");
    Field(huge->Columns, huge, "ORDER_ID");
    huge->SetText("SELECT ORDER_ID FROM V_BIG_ORDERS WHERE AMOUNT > 1000");
    Objs().AddDependency(huge, big, 0, 0, "AMOUNT");
    // Its key sorts first, yet it rests on the view above: the section
    // writes it after what it uses.
    TViwData* allHuge = Add<TViwData>("V_ALL_HUGE");
    Field(allHuge->Columns, allHuge, "ORDER_ID");
    allHuge->SetText("SELECT ORDER_ID FROM V_HUGE_ORDERS");
    Objs().AddDependency(allHuge, huge, 0, 0, "ORDER_ID");

    // Routines in an order where each uses only those before it.
    TPrcData* twice = Add<TPrcData>("F_TWICE", "Doubles");
    twice->IsFunction = true;
    Field(twice->InParams, twice, "X");
    Field(twice->OutParams, twice, "");
    twice->SetText("BEGIN\r\n  RETURN X * 2;\r\nEND");
    TPrcData* count = Add<TPrcData>("P_ORDER_COUNT", "How many orders");
    Field(count->InParams, count, "CUST")->SetDescription("The customer");
    Field(count->OutParams, count, "N")->SetDescription("Their orders");
    count->SetText(
        "BEGIN\r\n  IF (NOT EXISTS(SELECT 1 FROM CUSTOMERS WHERE ID = :CUST)) THEN\r\n"
        "    EXCEPTION E_NO_CUSTOMER;\r\n"
        "  SELECT COUNT(*) FROM ORDERS WHERE CUSTOMER_ID = :CUST INTO :N;\r\n"
        "  N = F_TWICE(N) / 2;\r\n  SUSPEND;\r\nEND");
    TPrcData* note = Add<TPrcData>("P_NOTE");
    Field(note->InParams, note, "MSG", dt::VARCHAR, 100);
    note->SetText("BEGIN\r\n  INSERT INTO LOG_LINES (MSG) VALUES (:MSG);\r\nEND");

    Trigger("ORDERS_BI", "ORDERS", 1,
            "AS\r\nBEGIN\r\n  IF (NEW.ID IS NULL) THEN NEW.ID = NEXT VALUE FOR G_ORDERS;\r\nEND",
            "Numbers new orders");
    TTrgData* every = Trigger("ORDERS_AIUD", "ORDERS", 114,
                              "AS\r\nBEGIN\r\n  EXECUTE PROCEDURE P_NOTE 'changed';\r\nEND");
    every->Position = 5;
    TTrgData* off = Trigger("LOG_BD", "LOG_LINES", 5, "AS\r\nBEGIN\r\n  EXIT;\r\nEND");
    off->Active = false;
    Trigger("ON_CONNECT", "DATABASE", 0, "AS\r\nBEGIN\r\n  EXIT;\r\nEND")->EventText = "CONNECT";

    Add<TRolData>("R_CLERK", "Enters orders")->RoleOwner = "SYSDBA";
    Add<TRolData>("R_AUDIT");

    Grant("R_CLERK", K::dboRole, "ORDERS", K::dboTable, {P::prSelect, P::prInsert});
    Grant("R_AUDIT", K::dboRole, "CUSTOMERS", K::dboTable,
          {P::prInsert, P::prUpdate, P::prDelete, P::prSelect, P::prReferences}, 1);
    Grant("U1", K::dboUser, "CUSTOMERS", K::dboTable, {P::prUpdate}, 0, {"NAME", "CODE"});
    Grant("R_AUDIT", K::dboRole, "V_BIG_ORDERS", K::dboView, {P::prSelect});
    Grant("R_CLERK", K::dboRole, "P_ORDER_COUNT", K::dboProcedure, {P::prExecute});
    Grant("ORDERS_AIUD", K::dboTrigger, "P_NOTE", K::dboProcedure, {P::prExecute});
    Grant("P_NOTE", K::dboProcedure, "LOG_LINES", K::dboTable, {P::prInsert});
    Grant("R_CLERK", K::dboRole, "G_ORDERS", K::dboGenerator, {P::prUsage});
    Grant("U1", K::dboUser, "R_CLERK", K::dboRole, {}, 1);
    Objs().RekeyGrants();
  }

  // "KIND:NAME" of every object of the fixture, and "KIND:NAME" of those
  // with a description, in the words of the catalog query below.
  void Expected(std::vector<std::string>& objects, std::vector<std::string>& described) {
    auto add = [&](const std::string& kind, const std::string& name, const TDbObj& obj) {
      objects.push_back(kind + ":" + name);
      if (!obj.GetDescription().empty()) described.push_back(kind + ":" + name);
    };
    auto columns = [&](const std::string& owner, const TFieldList& list, const char* kind) {
      for (const auto& e : list) add(kind, owner + "." + e.Value->GetName(), *e.Value);
    };
    for (auto& e : Objs().Udfs) add("UDF", e.Value->GetName(), *e.Value);
    for (auto& e : Objs().Collations) add("COLLATION", e.Value->GetName(), *e.Value);
    for (auto& e : Objs().Domains) add("DOMAIN", e.Value->GetName(), *e.Value);
    for (auto& e : Objs().Tables) {
      add("TABLE", e.Value->GetName(), *e.Value);
      columns(e.Value->GetName(), e.Value->Fields, "COLUMN");
    }
    for (auto& e : Objs().Views) {
      add("VIEW", e.Value->GetName(), *e.Value);
      columns(e.Value->GetName(), e.Value->Columns, "COLUMN");
    }
    for (auto& e : Objs().Indices) add("INDEX", e.Value->GetName(), *e.Value);
    for (auto& e : Objs().Constraints) {
      static const char* const kWords[] = {"PRIMARY_KEY", "UNIQUE", "FOREIGN_KEY", "CHECK"};
      add(kWords[e.Value->GetConstraintType()], e.Value->GetName(), *e.Value);
    }
    for (auto& e : Objs().Exceptions) add("EXCEPTION", e.Value->GetName(), *e.Value);
    for (auto& e : Objs().Generators) add("GENERATOR", e.Value->GetName(), *e.Value);
    for (auto& e : Objs().Procedures) {
      TPrcData& p = *e.Value;
      add(p.IsFunction ? "FUNCTION" : "PROCEDURE", p.GetName(), p);
      if (p.IsFunction) continue;
      columns(p.GetName(), p.InParams, "PARAMETER");
      columns(p.GetName(), p.OutParams, "PARAMETER");
    }
    for (auto& e : Objs().Triggers) add("TRIGGER", e.Value->GetName(), *e.Value);
    for (auto& e : Objs().Roles) add("ROLE", e.Value->GetName(), *e.Value);
  }

  TDBStructure structure;
};

// Every user object of the database as "O:KIND:NAME", the described ones
// as "D:KIND:NAME", the fixture's privileges as "G:..." lines. isql keeps
// one snapshot until a commit, so the queries follow one.
const char* const kCatalogQueries = R"(
COMMIT;
SET HEADING OFF;
SELECT 'O:' || TRIM(K) || ':' || N, IIF(D IS NULL, '', 'D:' || TRIM(K) || ':' || N) FROM (
  SELECT IIF(RDB$VIEW_BLR IS NULL, 'TABLE', 'VIEW') K, TRIM(RDB$RELATION_NAME) N,
         RDB$DESCRIPTION D
    FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0
  UNION ALL SELECT 'COLUMN', TRIM(RDB$RELATION_NAME) || '.' || TRIM(RDB$FIELD_NAME), RDB$DESCRIPTION
    FROM RDB$RELATION_FIELDS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0
  UNION ALL SELECT 'DOMAIN', TRIM(RDB$FIELD_NAME), RDB$DESCRIPTION FROM RDB$FIELDS
    WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$FIELD_NAME NOT STARTING WITH 'RDB$'
  UNION ALL SELECT 'INDEX', TRIM(I.RDB$INDEX_NAME), I.RDB$DESCRIPTION FROM RDB$INDICES I
    WHERE COALESCE(I.RDB$SYSTEM_FLAG, 0) = 0 AND NOT EXISTS (
      SELECT 1 FROM RDB$RELATION_CONSTRAINTS C WHERE C.RDB$INDEX_NAME = I.RDB$INDEX_NAME)
  UNION ALL SELECT REPLACE(TRIM(C.RDB$CONSTRAINT_TYPE), ' ', '_'), TRIM(C.RDB$CONSTRAINT_NAME), NULL
    FROM RDB$RELATION_CONSTRAINTS C
    JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = C.RDB$RELATION_NAME
    WHERE C.RDB$CONSTRAINT_TYPE <> 'NOT NULL' AND COALESCE(R.RDB$SYSTEM_FLAG, 0) = 0
  UNION ALL SELECT 'EXCEPTION', TRIM(RDB$EXCEPTION_NAME), RDB$DESCRIPTION FROM RDB$EXCEPTIONS
    WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0
  UNION ALL SELECT 'GENERATOR', TRIM(RDB$GENERATOR_NAME), RDB$DESCRIPTION FROM RDB$GENERATORS
    WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0
  UNION ALL SELECT 'PROCEDURE', TRIM(RDB$PROCEDURE_NAME), RDB$DESCRIPTION FROM RDB$PROCEDURES
    WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0
  UNION ALL SELECT 'PARAMETER', TRIM(RDB$PROCEDURE_NAME) || '.' || TRIM(RDB$PARAMETER_NAME),
         RDB$DESCRIPTION FROM RDB$PROCEDURE_PARAMETERS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0
  UNION ALL SELECT IIF(RDB$MODULE_NAME IS NULL, 'FUNCTION', 'UDF'), TRIM(RDB$FUNCTION_NAME),
         RDB$DESCRIPTION FROM RDB$FUNCTIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0
  UNION ALL SELECT 'TRIGGER', TRIM(RDB$TRIGGER_NAME), RDB$DESCRIPTION FROM RDB$TRIGGERS
    WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0
  UNION ALL SELECT 'ROLE', TRIM(RDB$ROLE_NAME), RDB$DESCRIPTION FROM RDB$ROLES
    WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0
  UNION ALL SELECT 'COLLATION', TRIM(RDB$COLLATION_NAME), RDB$DESCRIPTION FROM RDB$COLLATIONS
    WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0
);
SELECT 'G:' || TRIM(RDB$USER) || ':' || TRIM(RDB$PRIVILEGE) || ':' || TRIM(RDB$RELATION_NAME)
       || ':' || COALESCE(TRIM(RDB$FIELD_NAME), '') || ':' || COALESCE(RDB$GRANT_OPTION, 0)
  FROM RDB$USER_PRIVILEGES
  WHERE RDB$USER IN ('R_CLERK', 'R_AUDIT', 'U1', 'ORDERS_AIUD', 'P_NOTE');
COMMIT;
)";

// The words of `output` (isql pads its columns with blanks) that start
// with `prefix`.
std::vector<std::string> Tagged(const std::string& output, const std::string& prefix) {
  std::vector<std::string> out;
  std::string word;
  for (char c : output + " ") {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
      word += c;
      continue;
    }
    if (StartsWith(word, prefix)) out.push_back(word);
    word.clear();
  }
  return out;
}

std::vector<std::string> Prefixed(const std::string& prefix, const std::vector<std::string>& v) {
  std::vector<std::string> out;
  for (const std::string& s : v) out.push_back(prefix + s);
  return out;
}

TEST_F(ScriptReplay, Firebird3RunsTheWholeScriptAndHoldsTheFixture) {
  ASSERT_FALSE(test::FindIsql().empty()) << "isql-fb is missing: run scripts/install-deps.sh";
  std::vector<std::string> lines;
  Objs().GetScript(lines);
  const std::string script = JoinLines(lines);
  test::TFirebirdReplayOptions options;
  options.CharSet = "UTF8";
  const test::TFirebirdReplayResult r = test::RunFirebirdScript(script + kCatalogQueries, options);
  ASSERT_TRUE(r.Ok) << r.Errors << "\n--- script ---\n" << script;

  std::vector<std::string> objects, described;
  Expected(objects, described);
  // Names with a blank would be cut by Tagged; the one the fixture has is
  // compared on its own.
  std::vector<std::string> got = Tagged(r.Output, "O:");
  EXPECT_THAT(got, ::testing::Contains("O:COLUMN:CUSTOMERS.Mixed"));
  std::erase(got, "O:COLUMN:CUSTOMERS.Mixed");
  std::erase(objects, "COLUMN:CUSTOMERS.Mixed Case");
  EXPECT_THAT(got, ::testing::UnorderedElementsAreArray(Prefixed("O:", objects)));
  EXPECT_THAT(Tagged(r.Output, "D:"),
              ::testing::UnorderedElementsAreArray(Prefixed("D:", described)));
  EXPECT_THAT(
      Tagged(r.Output, "G:"),
      ::testing::UnorderedElementsAre(
          "G:R_CLERK:S:ORDERS::0", "G:R_CLERK:I:ORDERS::0", "G:R_AUDIT:S:CUSTOMERS::1",
          "G:R_AUDIT:I:CUSTOMERS::1", "G:R_AUDIT:U:CUSTOMERS::1", "G:R_AUDIT:D:CUSTOMERS::1",
          "G:R_AUDIT:R:CUSTOMERS::1", "G:U1:U:CUSTOMERS:NAME:0", "G:U1:U:CUSTOMERS:CODE:0",
          "G:R_CLERK:X:P_ORDER_COUNT::0", "G:ORDERS_AIUD:X:P_NOTE::0", "G:P_NOTE:I:LOG_LINES::0",
          "G:R_CLERK:G:G_ORDERS::0", "G:U1:M:R_CLERK::2", "G:R_AUDIT:S:V_BIG_ORDERS::0"));
}

// The default description mode, preset for Firebird 3, gives statements
// the engine takes.
TEST_F(ScriptReplay, DefaultDescriptionModeRunsOnFirebird3) {
  ASSERT_FALSE(test::FindIsql().empty()) << "isql-fb is missing: run scripts/install-deps.sh";
  Objs().IBServerOptions.IBCompareOptions.UpdateDescriptionMode =
      TUpdateDescriptionType::udSysTables;
  std::vector<std::string> lines;
  Objs().GenerateTableScript(lines, "CUSTOMERS", /*withHeader=*/false, TCmpObjSetType::All());
  const std::string script = JoinLines(lines);
  test::TFirebirdReplayOptions options;
  options.CharSet = "UTF8";
  std::string prelude;
  for (auto& e : Objs().Collations) prelude += e.Value->GetScriptSQL() + ";\r\n";
  for (auto& e : Objs().Domains) prelude += e.Value->GetCreateSQL() + ";\r\n";
  const test::TFirebirdReplayResult r = test::RunFirebirdScript(
      prelude + script +
          "\r\nCOMMIT;\r\nSELECT 'DESC:' || CAST(RDB$DESCRIPTION AS VARCHAR(100))"
          " FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'CUSTOMERS';\r\n",
      options);
  ASSERT_TRUE(r.Ok) << r.Errors << "\n--- script ---\n" << script;
  EXPECT_THAT(r.Output, ::testing::HasSubstr("DESC:Who buys")) << r.Output;
}

// Defaults, checks and trigger bodies that end in a line comment, as a
// hand-written script leaves them: what the writer puts after them on
// their line (NOT NULL, the next column, the terminator) must not fall
// into the comment, in the whole script and in the table's own.
TEST_F(ScriptReplay, TextsEndingInLineCommentsKeepWhatFollowsThem) {
  ASSERT_FALSE(test::FindIsql().empty()) << "isql-fb is missing: run scripts/install-deps.sh";
  TDmnData* d = Add<TDmnData>("D_NOTED");
  d->TypeHolder->DataType = dt::INTEGER;
  d->TypeHolder->DefaultValue = "1 -- one";
  d->TypeHolder->CheckText = "(VALUE > 0) -- positive";
  TTblData* t = Add<TTblData>("T_NOTED");
  TFldData* a = Field(t, "A");
  a->DefaultValue = "0 -- zero";
  a->Nullable = false;
  Field(t, "B")->DomainName = "D_NOTED";
  TFldData* c = Field(t, "C");
  c->CheckText = "(C <> 7) -- not seven";
  TCtrData* k = Key(ct::Check, "CK_NOTED", "T_NOTED", {});
  k->SetText("(A >= 0) -- not negative");
  Trigger("T_NOTED_BI", "T_NOTED", 1, "AS\r\nBEGIN\r\n  NEW.C = 1;\r\nEND -- last line");

  const auto holds = [](const std::string& output) {
    for (const char* want : {"COL:A:0:1", "COL:B:1:0", "COL:C:1:0", "TRG:T_NOTED_BI", "CHK:2"})
      EXPECT_THAT(output, ::testing::HasSubstr(want)) << output;
  };
  const std::string queries =
      "\r\nCOMMIT;\r\nSET HEADING OFF;\r\n"
      "SELECT 'COL:' || TRIM(RDB$FIELD_NAME) || ':' || IIF(RDB$DEFAULT_SOURCE IS NULL, 1, 0) || "
      "':' || COALESCE(RDB$NULL_FLAG, 0) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = "
      "'T_NOTED' ORDER BY RDB$FIELD_POSITION;\r\n"
      "SELECT 'TRG:' || TRIM(RDB$TRIGGER_NAME) FROM RDB$TRIGGERS WHERE RDB$TRIGGER_NAME = "
      "'T_NOTED_BI';\r\n"
      "SELECT 'CHK:' || COUNT(*) FROM RDB$RELATION_CONSTRAINTS WHERE RDB$RELATION_NAME = "
      "'T_NOTED' AND RDB$CONSTRAINT_TYPE = 'CHECK';\r\n";
  test::TFirebirdReplayOptions options;
  options.CharSet = "UTF8";

  std::vector<std::string> lines;
  Objs().GetScript(lines);
  const std::string whole = JoinLines(lines);
  test::TFirebirdReplayResult r = test::RunFirebirdScript(whole + queries, options);
  ASSERT_TRUE(r.Ok) << r.Errors << "\n--- script ---\n" << whole;
  holds(r.Output);

  lines.clear();
  Objs().GenerateTableScript(lines, "T_NOTED", /*withHeader=*/false, TCmpObjSetType::All());
  const std::string table = d->GetCreateSQL() + ";\r\n" + JoinLines(lines);
  r = test::RunFirebirdScript(table + queries, options);
  ASSERT_TRUE(r.Ok) << r.Errors << "\n--- script ---\n" << table;
  holds(r.Output);
}

}  // namespace
}  // namespace qor
