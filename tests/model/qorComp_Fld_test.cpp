// Columns and data types: the InterBase type codes, the data-type text, the
// column definition of every dialect (lengths, scale, character sets,
// collations, arrays, computed and identity columns, defaults of columns
// and parameters), ALTER TABLE ADD and DROP, and the column's part of the
// dependency-ordered walk.
#include "model/qorComp_Fld.h"

#include "model/qorComp_Viw.h"
#include "model/qorScriptWriter.h"
#include "tests/model/qorDDLFixture.h"
#include "tests/model/qorModelFakes.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace qor::test {
namespace {

class FldTest : public DDLTest {
 public:
  // Where the column lives.
  enum class Holder { Table, InParam, OutParam, Udf, Domain };

  TFldData* NewColumn(Holder h, const std::string& name = "C") {
    switch (h) {
      case Holder::Table: return Column(Scratch<TTblData>("T"), name);
      case Holder::InParam: {
        auto* p = Scratch<TPrcData>("P");
        return Column(p->InParams, p, name);
      }
      case Holder::OutParam: {
        auto* p = Scratch<TPrcData>("P");
        TFldData* f = Column(p->OutParams, p, name);
        f->ParamDirection = 2;
        return f;
      }
      case Holder::Udf: {
        auto* u = Scratch<TUdfData>("F");
        return Column(u->Args, u, name);
      }
      case Holder::Domain: {
        auto* d = Scratch<TDmnData>("D");
        d->TypeHolder->SetName(name);
        d->TypeHolder->DataType = dt::INTEGER;
        return d->TypeHolder.get();
      }
    }
    return nullptr;
  }
};

TEST_F(FldTest, InterBaseTypeCodes) {
  struct Case {
    int code;
    int charSetId;
    int dialect;
    std::uint8_t type;
    bool timeZone;
  };
  // clang-format off
  const Case cases[] = {
      {7, 0, 3, dt::SMALLINT, false},    {8, 0, 3, dt::INTEGER, false},
      {9, 0, 3, dt::QUAD, false},        {10, 0, 3, dt::FLOAT, false},
      {12, 0, 3, dt::DATE, false},       {13, 0, 3, dt::TIME, false},
      {14, 0, 3, dt::CHAR, false},       {14, 1, 3, dt::BINARY, false},
      {16, 0, 3, dt::BIGINT, false},     {17, 0, 3, dt::BOOLEAN, false},
      {23, 0, 3, dt::BOOLEAN, false},    {24, 0, 3, dt::DECFLOAT, false},
      {25, 0, 3, dt::DECFLOAT, false},   {26, 0, 3, dt::NUMERIC, false},
      {27, 0, 3, dt::DOUBLE_PRECISION, false}, {28, 0, 3, dt::TIME, true},
      {29, 0, 3, dt::TIMESTAMP, true},   {35, 0, 3, dt::TIMESTAMP, false},
      {35, 0, 1, dt::DATE, false},       {37, 0, 3, dt::VARCHAR, false},
      {37, 1, 3, dt::VARBINARY, false},  {40, 0, 3, dt::CSTRING, false},
      {261, 0, 3, dt::BLOB, false},      {999, 0, 3, dt::Unknown, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE("code " + std::to_string(c.code) + " charset " + std::to_string(c.charSetId));
    Server(DB::dbInterBase, IBV::st_Firebird_30, c.dialect);
    TFldData* f = NewColumn(Holder::Table);
    f->SetIBFieldType(c.code, c.charSetId);
    EXPECT_EQ(f->DataType, c.type);
    EXPECT_EQ(f->WithTimeZone, c.timeZone);
  }
}

struct TypeCase {
  const char* label;
  DB server;
  IBV version;
  int dialect;
  std::function<void(TFldData&)> setup;
  const char* expected;
};

TEST_F(FldTest, DataTypeText) {
  const IBV fb30 = IBV::st_Firebird_30;
  const TypeCase cases[] = {
      {"unknown code", DB::dbInterBase, fb30, 3, [](TFldData& f) { f.DataType = dt::Unknown; },
       "? DataType"},
      {"CHAR(1) has no length", DB::dbInterBase, fb30, 3,
       [](TFldData& f) { f.DataType = dt::CHAR, f.Length = 1; }, "CHAR"},
      {"CHAR(10)", DB::dbInterBase, fb30, 3,
       [](TFldData& f) { f.DataType = dt::CHAR, f.Length = 10; }, "CHAR(10)"},
      {"VARCHAR(1) keeps its length", DB::dbInterBase, fb30, 3,
       [](TFldData& f) { f.DataType = dt::VARCHAR, f.Length = 1; }, "VARCHAR(1)"},
      {"NUMERIC with scale", DB::dbInterBase, fb30, 3,
       [](TFldData& f) { f.DataType = dt::NUMERIC, f.Precision = 18, f.Scale = 2; },
       "NUMERIC(18,2)"},
      {"DECIMAL without scale", DB::dbInterBase, fb30, 3,
       [](TFldData& f) { f.DataType = dt::DECIMAL, f.Precision = 9; }, "DECIMAL(9)"},
      {"text BLOB with the default segment", DB::dbInterBase, fb30, 3,
       [](TFldData& f) { f.DataType = dt::BLOB, f.SubType = 1, f.SegmentSize = 80; },
       "BLOB SUB_TYPE 1"},
      {"BLOB with a segment size", DB::dbInterBase, fb30, 3,
       [](TFldData& f) { f.DataType = dt::BLOB, f.SegmentSize = 4096; }, "BLOB SEGMENT SIZE 4096"},
      {"array", DB::dbInterBase, fb30, 3,
       [](TFldData& f) {
         f.DataType = dt::INTEGER, f.ArrayBounds = {{1, 10}, {0, 5}};
       },
       "INTEGER [1:10, 0:5]"},
      {"BIGINT", DB::dbInterBase, fb30, 3, [](TFldData& f) { f.DataType = dt::BIGINT; }, "BIGINT"},
      {"InterBase 2020 keeps 64 bits", DB::dbInterBase, IBV::st_InterBase_2020, 3,
       [](TFldData& f) { f.DataType = dt::BIGINT; }, "NUMERIC(18,0)"},
      {"BINARY before Firebird 4", DB::dbInterBase, fb30, 3,
       [](TFldData& f) { f.DataType = dt::BINARY, f.Length = 16; },
       "CHAR(16) CHARACTER SET OCTETS"},
      {"VARBINARY before Firebird 4", DB::dbInterBase, IBV::st_Firebird_25, 3,
       [](TFldData& f) { f.DataType = dt::VARBINARY, f.Length = 100; },
       "VARCHAR(100) CHARACTER SET OCTETS"},
      {"VARBINARY on InterBase 2020", DB::dbInterBase, IBV::st_InterBase_2020, 3,
       [](TFldData& f) { f.DataType = dt::VARBINARY, f.Length = 8; },
       "VARCHAR(8) CHARACTER SET OCTETS"},
      {"octets array: the character set after the bounds", DB::dbInterBase, fb30, 3,
       [](TFldData& f) {
         f.DataType = dt::BINARY, f.Length = 4, f.ArrayBounds = {{1, 2}};
       },
       "CHAR(4) [1:2] CHARACTER SET OCTETS"},
      {"BINARY on Firebird 4", DB::dbInterBase, IBV::st_Firebird_40, 3,
       [](TFldData& f) { f.DataType = dt::BINARY, f.Length = 16; }, "BINARY(16)"},
      {"TIME WITH TIME ZONE on Firebird 4", DB::dbInterBase, IBV::st_Firebird_40, 3,
       [](TFldData& f) { f.DataType = dt::TIME, f.WithTimeZone = true; }, "TIME WITH TIME ZONE"},
      {"no time zones before Firebird 4", DB::dbInterBase, fb30, 3,
       [](TFldData& f) { f.DataType = dt::TIMESTAMP, f.WithTimeZone = true; }, "TIMESTAMP"},
      {"dialect 1 has DATE only", DB::dbInterBase, fb30, 1,
       [](TFldData& f) { f.DataType = dt::TIMESTAMP; }, "DATE"},
      {"DECFLOAT(16)", DB::dbInterBase, IBV::st_Firebird_40, 3,
       [](TFldData& f) { f.DataType = dt::DECFLOAT, f.Precision = 16; }, "DECFLOAT(16)"},
      {"DECFLOAT(34) is the default", DB::dbInterBase, IBV::st_Firebird_40, 3,
       [](TFldData& f) { f.DataType = dt::DECFLOAT, f.Precision = 34; }, "DECFLOAT"},
      {"computed", DB::dbInterBase, fb30, 3, [](TFldData& f) { f.SetText("(A + B)"); },
       "COMPUTED BY (A + B)"},
      {"computed, MS SQL", DB::dbMSSQL, fb30, 3, [](TFldData& f) { f.SetText("(A + B)"); },
       "AS (A + B)"},
      {"domain", DB::dbInterBase, fb30, 3,
       [](TFldData& f) { f.DataType = dt::UserType, f.DomainName = "D_AMOUNT"; }, "D_AMOUNT"},
      {"TYPE OF domain", DB::dbInterBase, fb30, 3,
       [](TFldData& f) { f.DataType = dt::UserType, f.DomainName = "D_AMOUNT", f.TypeOf = true; },
       "TYPE OF D_AMOUNT"},
      {"TYPE OF COLUMN", DB::dbInterBase, fb30, 3,
       [](TFldData& f) {
         f.DataType = dt::UserType, f.TypeOf = true, f.TypeOfTable = "T", f.TypeOfColumn = "c";
       },
       "TYPE OF COLUMN T.\"c\""},
      {"result through an argument", DB::dbInterBase, fb30, 3,
       [](TFldData& f) { f.ReturnParamNo = 2; }, "PARAMETER 2"},
      {"MAX length outside InterBase", DB::dbMSSQL, fb30, 3,
       [](TFldData& f) { f.DataType = dt::VARCHAR, f.Length = -1; }, "VARCHAR(MAX)"},
      {"PostgreSQL names in lower case", DB::dbPostgreSQL, fb30, 3,
       [](TFldData& f) { f.DataType = dt::VARCHAR, f.Length = 20; }, "varchar(20)"},
      {"PostgreSQL time zone type", DB::dbPostgreSQL, fb30, 3,
       [](TFldData& f) { f.DataType = dt::TIMESTAMP_TZ, f.Precision = 3; },
       "timestamp(3) with time zone"},
  };
  for (const TypeCase& c : cases) {
    SCOPED_TRACE(c.label);
    Server(c.server, c.version, c.dialect);
    TFldData* f = NewColumn(Holder::Table);
    c.setup(*f);
    EXPECT_EQ(f->GetDataTypeSQL(), c.expected);
  }
  // The segment size of an external function's argument is the caller's.
  Server(DB::dbInterBase);
  TFldData* arg = NewColumn(Holder::Udf);
  arg->DataType = dt::BLOB;
  arg->SegmentSize = 4096;
  EXPECT_EQ(arg->GetDataTypeSQL(), "BLOB");
}

struct ColumnCase {
  const char* label;
  DB server;
  IBV version;
  int holder;  // FldTest::Holder
  std::function<void(FldTest&, TFldData&)> setup;
  const char* expected;
};

class FldColumnTest : public FldTest {
 protected:
  template <std::size_t N>
  void Check(const ColumnCase (&cases)[N]) {
    for (const ColumnCase& c : cases) {
      SCOPED_TRACE(c.label);
      Server(c.server, c.version);
      TFldData* f = NewColumn(static_cast<Holder>(c.holder));
      c.setup(*this, *f);
      EXPECT_EQ(f->GetCreateSQL(), c.expected);
    }
  }
};

TEST_F(FldColumnTest, InterBaseColumnDefinition) {
  const int table = static_cast<int>(Holder::Table), in = static_cast<int>(Holder::InParam),
            out = static_cast<int>(Holder::OutParam), udf = static_cast<int>(Holder::Udf);
  const IBV fb30 = IBV::st_Firebird_30;
  auto varchar = [](TFldData& f) { f.DataType = dt::VARCHAR, f.Length = 10; };
  const ColumnCase cases[] = {
      {"NOT NULL", DB::dbInterBase, fb30, table, [](FldTest&, TFldData& f) { f.Nullable = false; },
       "C INTEGER NOT NULL"},
      {"default on the oldest version", DB::dbInterBase, IBV::st_InterBase_4x, table,
       [](FldTest&, TFldData& f) { f.DefaultValue = "0"; }, "C INTEGER DEFAULT 0"},
      {"default on Firebird 1.5", DB::dbInterBase, IBV::st_FireBird_15, table,
       [](FldTest&, TFldData& f) { f.DefaultValue = "0"; }, "C INTEGER DEFAULT 0"},
      {"double-quoted default becomes a literal", DB::dbInterBase, fb30, table,
       [&](FldTest&, TFldData& f) { varchar(f), f.DefaultValue = "\"it's\""; },
       "C VARCHAR(10) DEFAULT 'it''s'"},
      {"identity on Firebird 3 keeps NOT NULL and drops the default", DB::dbInterBase, fb30, table,
       [](FldTest&, TFldData& f) { f.Identity = true, f.Nullable = false, f.DefaultValue = "0"; },
       "C INTEGER GENERATED BY DEFAULT AS IDENTITY NOT NULL"},
      {"identity on Firebird 4", DB::dbInterBase, IBV::st_Firebird_40, table,
       [](FldTest&, TFldData& f) { f.Identity = true; },
       "C INTEGER GENERATED BY DEFAULT AS IDENTITY"},
      {"identity starting past 2^31", DB::dbInterBase, fb30, table,
       [](FldTest&, TFldData& f) {
         f.DataType = dt::BIGINT, f.Identity = true, f.IdentitySeed = 3000000000;
       },
       "C BIGINT GENERATED BY DEFAULT AS IDENTITY (START WITH 3000000000)"},
      {"identity starting below 0", DB::dbInterBase, fb30, table,
       [](FldTest&, TFldData& f) { f.Identity = true, f.IdentitySeed = -5; },
       "C INTEGER GENERATED BY DEFAULT AS IDENTITY (START WITH -5)"},
      {"no identity on InterBase 2020", DB::dbInterBase, IBV::st_InterBase_2020, table,
       [](FldTest&, TFldData& f) { f.Identity = true, f.Nullable = false; }, "C INTEGER NOT NULL"},
      {"no identity on Firebird 2.5: the default stays", DB::dbInterBase, IBV::st_Firebird_25,
       table, [](FldTest&, TFldData& f) { f.Identity = true, f.DefaultValue = "0"; },
       "C INTEGER DEFAULT 0"},
      {"character set only when compared", DB::dbInterBase, fb30, table,
       [&](FldTest&, TFldData& f) { varchar(f), f.CharSet = "WIN1252"; }, "C VARCHAR(10)"},
      {"character set other than the database's", DB::dbInterBase, fb30, table,
       [&](FldTest& t, TFldData& f) {
         varchar(f), f.CharSet = "WIN1252";
         t.IB().IBCompareOptions.FldCharsetCompare = true;
         t.IB().SetDBCharSet("UTF8");
       },
       "C VARCHAR(10) CHARACTER SET WIN1252"},
      {"the database's character set goes unsaid", DB::dbInterBase, fb30, table,
       [&](FldTest& t, TFldData& f) {
         varchar(f), f.CharSet = "UTF8";
         t.IB().IBCompareOptions.FldCharsetCompare = true;
         t.IB().SetDBCharSet("UTF8");
       },
       "C VARCHAR(10)"},
      {"... unless a collation goes with it", DB::dbInterBase, fb30, table,
       [&](FldTest& t, TFldData& f) {
         varchar(f), f.CharSet = "UTF8", f.Collation = "UNICODE_CI";
         t.IB().IBCompareOptions.FldCharsetCompare = true;
         t.IB().SetDBCharSet("UTF8");
       },
       "C VARCHAR(10) CHARACTER SET UTF8 COLLATE UNICODE_CI"},
      // As the extractor leaves it: the set is the database's, so the
      // column holds none; the collation alone would be looked up in the
      // default set of the database the script runs in.
      {"a collation names the database's character set it belongs to", DB::dbInterBase, fb30, table,
       [&](FldTest& t, TFldData& f) {
         varchar(f), f.Collation = "UNICODE_CI";
         t.IB().IBCompareOptions.FldCharsetCompare = true;
         t.IB().SetDBCharSet("UTF8");
       },
       "C VARCHAR(10) CHARACTER SET UTF8 COLLATE UNICODE_CI"},
      {"octets keep one character set", DB::dbInterBase, fb30, table,
       [](FldTest& t, TFldData& f) {
         f.DataType = dt::BINARY, f.Length = 16, f.CharSet = "OCTETS";
         t.IB().IBCompareOptions.FldCharsetCompare = true;
       },
       "C CHAR(16) CHARACTER SET OCTETS"},
      {"check", DB::dbInterBase, fb30, table,
       [](FldTest&, TFldData& f) { f.CheckText = "(C > 0)"; }, "C INTEGER CHECK(C > 0)"},
      {"domain with the domain's default", DB::dbInterBase, fb30, table,
       [](FldTest& t, TFldData& f) {
         t.Domain("D_AMOUNT", dt::INTEGER, "5");
         f.DataType = dt::UserType, f.DomainName = "D_AMOUNT", f.DefaultValue = "5";
       },
       "C D_AMOUNT DEFAULT 5"},
      // Left out, the column would come back with the domain's default.
      {"domain with a default of its own", DB::dbInterBase, fb30, table,
       [](FldTest& t, TFldData& f) {
         t.Domain("D_AMOUNT", dt::INTEGER, "1");
         f.DataType = dt::UserType, f.DomainName = "D_AMOUNT", f.DefaultValue = "5";
       },
       "C D_AMOUNT DEFAULT 5"},
      {"TYPE OF writes its own default", DB::dbInterBase, fb30, in,
       [](FldTest& t, TFldData& f) {
         t.Domain("D_AMOUNT", dt::INTEGER, "1");
         f.DataType = dt::UserType, f.DomainName = "D_AMOUNT", f.DefaultValue = "5",
         f.TypeOf = true;
       },
       "C TYPE OF D_AMOUNT = 5"},
      {"parameter default", DB::dbInterBase, fb30, in,
       [](FldTest&, TFldData& f) { f.DefaultValue = "1"; }, "C INTEGER = 1"},
      {"parameter default on Firebird 2.0", DB::dbInterBase, IBV::st_Firebird_20, in,
       [](FldTest&, TFldData& f) { f.DefaultValue = "1"; }, "C INTEGER = 1"},
      {"parameter default on Firebird 2.1", DB::dbInterBase, IBV::st_Firebird_21, in,
       [](FldTest&, TFldData& f) { f.DefaultValue = "1"; }, "C INTEGER = 1"},
      {"no parameter default on Firebird 1.5", DB::dbInterBase, IBV::st_FireBird_15, in,
       [](FldTest&, TFldData& f) { f.DefaultValue = "1"; }, "C INTEGER"},
      {"no default for an output", DB::dbInterBase, fb30, out,
       [](FldTest&, TFldData& f) { f.DefaultValue = "1"; }, "C INTEGER"},
      {"external function argument", DB::dbInterBase, fb30, udf,
       [](FldTest&, TFldData& f) { f.SetName(""), f.ByDescriptor = true, f.Nullable = false; },
       "INTEGER BY DESCRIPTOR NOT NULL"},
      {"result through an argument stops there", DB::dbInterBase, fb30, udf,
       [](FldTest&, TFldData& f) { f.SetName(""), f.ReturnParamNo = 1, f.ByValue = true; },
       "PARAMETER 1"},
      {"a name that needs quotes", DB::dbInterBase, fb30, table,
       [](FldTest&, TFldData& f) { f.SetName("Order"); }, "\"Order\" INTEGER"},
  };
  Check(cases);
}

TEST_F(FldColumnTest, ColumnDefinitionPerDialect) {
  const int table = static_cast<int>(Holder::Table), in = static_cast<int>(Holder::InParam),
            out = static_cast<int>(Holder::OutParam), domain = static_cast<int>(Holder::Domain);
  const IBV v = IBV::st_Firebird_30;
  const ColumnCase cases[] = {
      // Sybase ASA
      {"ASA column", DB::dbSybaseASA, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::VARCHAR, f.Length = 20, f.DefaultValue = "'x'"; },
       "C VARCHAR(20) DEFAULT 'x' NULL"},
      {"ASA identity", DB::dbSybaseASA, v, table,
       [](FldTest&, TFldData& f) {
         f.Identity = true, f.IdentitySeed = 1, f.IdentityIncrement = 1, f.Nullable = false;
       },
       "C INTEGER IDENTITY (1, 1) NOT NULL"},
      {"ASA output parameter", DB::dbSybaseASA, v, out, [](FldTest&, TFldData&) {}, "C INTEGER OUTPUT"},
      {"ASA numeric keeps precision and scale", DB::dbSybaseASA, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::NUMERIC, f.Precision = 15, f.Scale = 2; },
       "C NUMERIC(15,2) NULL"},
      {"ASA domain keeps its check", DB::dbSybaseASA, v, domain,
       [](FldTest&, TFldData& f) { f.CheckText = "(@C > 0)"; }, "C INTEGER NULL CHECK(@C > 0)"},
      {"ASA parameter default", DB::dbSybaseASA, v, in,
       [](FldTest&, TFldData& f) { f.DefaultValue = "0"; }, "C INTEGER = 0"},
      // Sybase ASE
      {"ASE Java class", DB::dbSybaseASE, v, table,
       [](FldTest&, TFldData& f) { f.JavaClass = true, f.JavaClassName = "String"; },
       "C java.lang.String NULL"},
      {"ASE computed", DB::dbSybaseASE, v, table, [](FldTest&, TFldData& f) { f.SetText("A + 1"); },
       "C AS A + 1"},
      {"ASE lengths and scale", DB::dbSybaseASE, v, table,
       [](FldTest&, TFldData& f) {
         f.DataType = dt::NUMERIC, f.Precision = 10, f.Scale = 2, f.Identity = true, f.Nullable = false;
       },
       "C NUMERIC(10,2) IDENTITY NOT NULL"},
      {"ASE CHAR(1) keeps its length", DB::dbSybaseASE, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::CHAR, f.Length = 1; }, "C CHAR(1) NULL"},
      {"ASE output parameter", DB::dbSybaseASE, v, out, [](FldTest&, TFldData&) {}, "C INTEGER out"},
      {"ASE input parameter has no word", DB::dbSybaseASE, v, in,
       [](FldTest&, TFldData& f) { f.ParamDirection = 1; }, "C INTEGER"},
      {"ASE in-out parameter is an output", DB::dbSybaseASE, v, in,
       [](FldTest&, TFldData& f) { f.ParamDirection = 3; }, "C INTEGER output"},
      // MS SQL
      {"MS SQL user type with schema", DB::dbMSSQL, v, table,
       [](FldTest&, TFldData& f) {
         f.DataType = dt::UserType, f.DomainSchema = "DBO", f.DomainName = "MONEY_T", f.Nullable = false;
       },
       "C DBO.MONEY_T NOT NULL"},
      {"MS SQL persisted computed column", DB::dbMSSQL, v, table,
       [](FldTest&, TFldData& f) { f.SetText("(A*2)"), f.Persisted = true; }, "C AS (A*2) PERSISTED"},
      {"MS SQL XML with a schema collection", DB::dbMSSQL, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::XML, f.XmlSchema = "(CONTENT S.X)"; },
       "C XML (CONTENT S.X) NULL"},
      {"MS SQL table type", DB::dbMSSQL, v, in, [](FldTest&, TFldData& f) { f.DataType = dt::TABLE; },
       "C TABLE"},
      {"MS SQL TIME(7) is the default", DB::dbMSSQL, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::TIME, f.Precision = 7; }, "C TIME NULL"},
      {"MS SQL TIME(0)", DB::dbMSSQL, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::TIME, f.Precision = 0; }, "C TIME(0) NULL"},
      {"MS SQL DATETIME2(3)", DB::dbMSSQL, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::DATETIME2, f.Precision = 3; }, "C DATETIME2(3) NULL"},
      {"MS SQL DECIMAL and FLOAT", DB::dbMSSQL, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::DECIMAL, f.Precision = 18, f.Scale = 4; },
       "C DECIMAL(18,4) NULL"},
      {"MS SQL FLOAT without precision", DB::dbMSSQL, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::FLOAT; }, "C FLOAT NULL"},
      {"MS SQL identity and ROWGUIDCOL", DB::dbMSSQL, v, table,
       [](FldTest&, TFldData& f) {
         f.Identity = true, f.IdentitySeed = 10, f.IdentityIncrement = 5, f.RowGuidCol = true;
         f.Nullable = false;
       },
       "C INTEGER IDENTITY (10, 5) ROWGUIDCOL NOT NULL"},
      {"MS SQL identity without step", DB::dbMSSQL, v, table,
       [](FldTest&, TFldData& f) { f.Identity = true; }, "C INTEGER IDENTITY NULL"},
      {"MS SQL parameter: name as it stands", DB::dbMSSQL, v, out,
       [](FldTest&, TFldData& f) { f.SetName("@P"), f.DefaultValue = "0"; }, "@P INTEGER = 0 OUTPUT"},
      {"MS SQL collation", DB::dbMSSQL, v, table,
       [](FldTest&, TFldData& f) {
         f.DataType = dt::NVARCHAR, f.Length = 50, f.Collation = "Latin1_General_CI_AS";
       },
       "C NVARCHAR(50) COLLATE Latin1_General_CI_AS NULL"},
      {"MS SQL domain type without collation", DB::dbMSSQL, v, domain,
       [](FldTest&, TFldData& f) { f.Collation = "Latin1_General_CI_AS"; }, "C INTEGER NULL"},
      // MySQL
      {"MySQL character set, collation, NOT NULL, re-escaped default", DB::dbMySQL, v, table,
       [](FldTest&, TFldData& f) {
         f.DataType = dt::VARCHAR, f.Length = 20, f.CharSet = "utf8", f.Collation = "utf8_bin";
         f.Nullable = false, f.DefaultValue = "'it''s'";
       },
       "C VARCHAR(20) CHARACTER SET utf8 COLLATE utf8_bin NOT NULL DEFAULT 'it\\'s'"},
      {"MySQL integer attributes", DB::dbMySQL, v, table,
       [](FldTest&, TFldData& f) {
         f.Precision = 11, f.Unsigned = true, f.ZeroFill = true, f.Nullable = false;
         f.AutoIncrement = true;
       },
       "C INTEGER(11) UNSIGNED ZEROFILL NOT NULL AUTO_INCREMENT"},
      {"MySQL ENUM", DB::dbMySQL, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::ENUM, f.EnumValues = {"'a'", "'b'"}; },
       "C ENUM('a', 'b')"},
      {"MySQL DOUBLE with precision only", DB::dbMySQL, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::DOUBLE, f.Precision = 10; }, "C DOUBLE(10)"},
      {"MySQL DECIMAL", DB::dbMySQL, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::DECIMAL, f.Precision = 10, f.Scale = 2; },
       "C DECIMAL(10,2)"},
      {"MySQL unquoted default", DB::dbMySQL, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::DATETIME, f.DefaultValue = "CURRENT_TIMESTAMP"; },
       "C DATETIME DEFAULT CURRENT_TIMESTAMP"},
      // PostgreSQL
      {"PostgreSQL column", DB::dbPostgreSQL, v, table,
       [](FldTest&, TFldData& f) {
         f.SetName("c"), f.DataType = dt::VARCHAR, f.Length = 20, f.Nullable = false;
         f.DefaultValue = "'x'";
       },
       "c varchar(20) not null default 'x'"},
      {"PostgreSQL array", DB::dbPostgreSQL, v, table,
       [](FldTest&, TFldData& f) { f.SetName("c"), f.ArrayBounds = {{1, 10}, {1, 0}}; },
       "c integer[10][]"},
      {"PostgreSQL named check", DB::dbPostgreSQL, v, table,
       [](FldTest&, TFldData& f) { f.SetName("c"), f.CheckText = "(c > 0)", f.CheckName = "c_pos"; },
       "c integer CONSTRAINT c_pos CHECK(c > 0)"},
      {"PostgreSQL time zone", DB::dbPostgreSQL, v, table,
       [](FldTest&, TFldData& f) { f.SetName("c"), f.DataType = dt::TIME_TZ; }, "c time with time zone"},
      {"PostgreSQL domain", DB::dbPostgreSQL, v, table,
       [](FldTest&, TFldData& f) { f.SetName("c"), f.DataType = dt::UserType, f.DomainName = "amount"; },
       "c amount"},
      {"PostgreSQL domain in a schema", DB::dbPostgreSQL, v, table,
       [](FldTest&, TFldData& f) {
         f.SetName("c"), f.DataType = dt::UserType, f.DomainName = "amount";
         f.DomainSchema = "shop";
       },
       "c shop.amount"},
      {"PostgreSQL identity by default takes no default", DB::dbPostgreSQL, v, table,
       [](FldTest&, TFldData& f) {
         f.SetName("c"), f.DataType = dt::BIGINT, f.Nullable = false, f.Identity = true;
         f.GeneratedKind = 'D', f.DefaultValue = "nextval('x')";
       },
       "c bigint not null generated by default as identity"},
      {"PostgreSQL identity always", DB::dbPostgreSQL, v, table,
       [](FldTest&, TFldData& f) {
         f.SetName("c"), f.Nullable = false, f.Identity = true, f.GeneratedKind = 'A';
       },
       "c integer not null generated always as identity"},
      // Oracle
      {"Oracle CHAR(1) keeps its length", DB::dbOracle, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::CHAR, f.Length = 1; }, "C CHAR(1)"},
      {"Oracle default and NOT NULL", DB::dbOracle, v, table,
       [](FldTest&, TFldData& f) {
         f.DataType = dt::VARCHAR2, f.Length = 30, f.DefaultValue = "'x'", f.Nullable = false;
       },
       "C VARCHAR2(30) DEFAULT 'x' NOT NULL"},
      {"Oracle NUMBER", DB::dbOracle, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::NUMBER, f.Precision = 10, f.Scale = 2; },
       "C NUMBER(10,2)"},
      {"Oracle INTERVAL DAY TO SECOND", DB::dbOracle, v, table,
       [](FldTest&, TFldData& f) {
         f.DataType = dt::INTERVAL_DAY_TO_SECOND, f.Precision = 2, f.Scale = 6;
       },
       "C INTERVAL DAY(2) TO SECOND(6)"},
      {"Oracle INTERVAL YEAR TO MONTH", DB::dbOracle, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::INTERVAL_YEAR_TO_MONTH, f.Precision = 4; },
       "C INTERVAL YEAR(4) TO MONTH"},
      {"Oracle TIMESTAMP WITH LOCAL TIME ZONE", DB::dbOracle, v, table,
       [](FldTest&, TFldData& f) {
         f.DataType = dt::TIMESTAMP, f.Precision = 6, f.WithLocalTimeZone = true;
       },
       "C TIMESTAMP(6) WITH LOCAL TIME ZONE"},
      {"Oracle REF to an object type", DB::dbOracle, v, table,
       [](FldTest&, TFldData& f) { f.IsRef = true, f.DataType = dt::UserType, f.DomainName = "PERSON_T"; },
       "C REF PERSON_T"},
      // DB2
      {"DB2 FOR BIT DATA", DB::dbDB2, v, table,
       [](FldTest&, TFldData& f) {
         f.DataType = dt::VARCHAR, f.Length = 10, f.ForBitData = true, f.Nullable = false;
       },
       "C VARCHAR(10) FOR BIT DATA NOT NULL"},
      {"DB2 LOB options", DB::dbDB2, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::CLOB, f.Length = 1000, f.Logged = 0, f.Compact = 1; },
       "C CLOB(1000) NOT LOGGED COMPACT"},
      {"DB2 DECIMAL writes a zero scale", DB::dbDB2, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::DECIMAL, f.Precision = 10; }, "C DECIMAL(10,0)"},
      {"DB2 identity", DB::dbDB2, v, table,
       [](FldTest&, TFldData& f) {
         f.Identity = true, f.GeneratedKind = 'A', f.Nullable = false;
         f.IdentityGenerator()->StartWith = "1";
         f.IdentityGenerator()->IncrementBy = "1";
       },
       "C INTEGER NOT NULL GENERATED ALWAYS AS IDENTITY(START WITH 1, INCREMENT BY 1, CACHE 20)"},
      {"DB2 identity keeps the sequence defaults", DB::dbDB2, v, table,
       [](FldTest&, TFldData& f) { f.Identity = true, f.GeneratedKind = 'D'; },
       "C INTEGER GENERATED BY DEFAULT AS IDENTITY(CACHE 20)"},
      {"DB2 generated expression and default", DB::dbDB2, v, table,
       [](FldTest&, TFldData& f) { f.GeneratedKind = 'D', f.GeneratedExpr = "A + 1"; },
       "C INTEGER GENERATED BY DEFAULT AS(A + 1)"},
      {"DB2 default", DB::dbDB2, v, table, [](FldTest&, TFldData& f) { f.DefaultValue = "0"; },
       "C INTEGER WITH DEFAULT 0"},
      // The distinct type is created in its schema; bare, the path would
      // not find it there.
      {"DB2 distinct type in a schema", DB::dbDB2, v, table,
       [](FldTest&, TFldData& f) {
         f.DataType = dt::UserType, f.DomainName = "D_MONEY", f.DomainSchema = "APP";
       },
       "C APP.D_MONEY"},
      {"DB2 distinct type without a schema", DB::dbDB2, v, table,
       [](FldTest&, TFldData& f) { f.DataType = dt::UserType, f.DomainName = "D_MONEY"; },
       "C D_MONEY"},
  };
  Check(cases);
}

// A column owns a generator only while it is an identity of a table, so
// that a million plain columns do not carry one each; scripting them in
// every dialect makes none.
TEST_F(FldTest, OnlyIdentityColumnsOfTablesOwnAGenerator) {
  // clang-format off
  const DB dialects[] = {DB::dbInterBase, DB::dbSybaseASA, DB::dbMySQL,  DB::dbOracle,
                         DB::dbMSSQL,     DB::dbPostgreSQL, DB::dbDB2,   DB::dbSybaseASE};
  // clang-format on
  for (const DB st : dialects) {
    SCOPED_TRACE(static_cast<int>(st));
    Server(st);
    TTblData* t = Scratch<TTblData>("T");
    TFldData* plain = Column(t, "P");
    TFldData* id = Column(t, "I");
    id->Identity = true, id->GeneratedKind = 'A', id->Nullable = false;
    TFldData* param = NewColumn(Holder::InParam, "A");
    param->Identity = true;
    for (TFldData* f : {plain, id, param}) f->GetCreateSQL();
    t->GetCreateSQL();
    EXPECT_FALSE(plain->HasIdentityGenerator());
    EXPECT_EQ(plain->IdentityGenerator(), nullptr);
    std::vector<TDbObj*> subs;
    plain->GetSubObjects(subs);
    EXPECT_TRUE(subs.empty());
    EXPECT_EQ(param->IdentityGenerator(), nullptr);
    ASSERT_NE(id->IdentityGenerator(), nullptr);
    EXPECT_EQ(id->IdentityGenerator(), id->IdentityGenerator());
    id->GetSubObjects(subs);
    EXPECT_EQ(subs, std::vector<TDbObj*>{id->IdentityGenerator()});
  }
}

TEST_F(FldTest, ModePrefixOfExternalRoutines) {
  Server(DB::dbMySQL);
  auto* p = Scratch<TPrcData>("P");
  p->Language = "C";
  TFldData* a = Column(p->InParams, p, "A");
  TFldData* b = Column(p->OutParams, p, "B");
  TFldData* c = Column(p->InParams, p, "C");
  a->ParamDirection = 1, b->ParamDirection = 2, c->ParamDirection = 3;
  EXPECT_EQ(a->GetCreateSQL(), "in A INTEGER");
  EXPECT_EQ(b->GetCreateSQL(), "out B INTEGER");
  EXPECT_EQ(c->GetCreateSQL(), "inout C INTEGER");
}

TEST_F(FldTest, DefaultText) {
  struct Case {
    const char* stored;
    const char* written;
  };
  // clang-format off
  const Case cases[] = {
      {"\"it's\"", "'it''s'"}, {"'kept'", "'kept'"}, {"0", "0"}, {"\"\"", "''"},
      {"\"", "\""},  // a lone double quote is not a quoted text
      {"", ""},
  };
  // clang-format on
  Server(DB::dbInterBase);
  TFldData* f = NewColumn(Holder::Table);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    f->DefaultValue = c.stored;
    EXPECT_EQ(f->GetDefaultText(), c.written);
  }
}

TEST_F(FldTest, CharacterSetAndCollationStored) {
  Server(DB::dbInterBase);
  IB().SetDBCharSet("UTF8");
  TFldData* f = NewColumn(Holder::Table);
  f->DataType = dt::VARCHAR;
  f->SetCharSetCollation("WIN1252", 53, "WIN1252", 0);  // the charset's own collation
  EXPECT_EQ(f->CharSet, "WIN1252");
  EXPECT_EQ(f->Collation, "");
  f->SetCharSetCollation("UTF8", 4, "UNICODE_CI", 3);  // the database's charset
  EXPECT_EQ(f->CharSet, "");
  EXPECT_EQ(f->CharSetId, 0);
  EXPECT_EQ(f->Collation, "UNICODE_CI");
  EXPECT_EQ(f->GetEffectiveCharSet(), "UTF8");

  // Not a character type: nothing stored, the collation cleared.
  TFldData* n = NewColumn(Holder::Table);
  n->Collation = "X";
  n->SetCharSetCollation("WIN1252", 53, "PXW_CSY", 1);
  EXPECT_EQ(n->CharSet, "");
  EXPECT_EQ(n->Collation, "");
  EXPECT_EQ(n->GetEffectiveCharSet(), "");

  // A domain's collation is the column's too.
  TDmnData* d = Domain("D_NAME", dt::VARCHAR);
  d->TypeHolder->CharSet = "WIN1250";
  d->TypeHolder->Collation = "PXW_CSY";
  TFldData* u = NewColumn(Holder::Table);
  u->DataType = dt::UserType;
  u->DomainName = "D_NAME";
  EXPECT_TRUE(u->IsCharType());
  EXPECT_EQ(u->GetEffectiveCharSet(), "WIN1250");
  u->SetCharSetCollation("WIN1250", 51, "PXW_CSY", 1);
  EXPECT_EQ(u->Collation, "");
  EXPECT_EQ(u->CharSet, "WIN1250");

  // Computed columns carry neither.
  TFldData* c = NewColumn(Holder::Table);
  c->DataType = dt::VARCHAR;
  c->SetText("(A || B)");
  c->SetCharSetCollation("WIN1252", 53, "PXW_INTL", 2);
  EXPECT_EQ(c->CharSet, "");
  EXPECT_EQ(c->Collation, "");

  // NONE without a database character set is the default as well.
  IB().SetDBCharSet("");
  TFldData* none = NewColumn(Holder::Table);
  none->DataType = dt::CHAR;
  none->SetCharSetCollation("NONE", 0, "", 0);
  EXPECT_EQ(none->CharSet, "");
  // A text BLOB is a character type; a binary one is not.
  none->DataType = dt::BLOB;
  none->SubType = 1;
  EXPECT_TRUE(none->IsCharType());
  none->SubType = 0;
  EXPECT_FALSE(none->IsCharType());
}

TEST_F(FldTest, AlterTableAddAndDrop) {
  struct Case {
    const char* label;
    DB server;
    std::function<TFldData*(FldTest&)> build;
    const char* add;
    const char* drop;
  };
  const Case cases[] = {
      {"InterBase", DB::dbInterBase,
       [](FldTest& t) { return t.Column(t.Scratch<TTblData>("T"), "C"); },
       "ALTER TABLE T ADD C INTEGER", "ALTER TABLE T DROP C"},
      {"no owner: the table name", DB::dbInterBase,
       [](FldTest& t) {
         auto* f = t.Column(t.Scratch<TTblData>("X")->Fields, nullptr, "C");
         f->TableName = "T";
         return f;
       },
       "ALTER TABLE T ADD C INTEGER", "ALTER TABLE T DROP C"},
      {"MS SQL in a schema", DB::dbMSSQL,
       [](FldTest& t) { return t.Column(t.Scratch<TTblData>("T", "DBO"), "C"); },
       "ALTER TABLE DBO.T ADD C INTEGER NULL", "ALTER TABLE DBO.T DROP COLUMN C"},
      {"PostgreSQL in a schema", DB::dbPostgreSQL,
       [](FldTest& t) { return t.Column(t.Scratch<TTblData>("t", "s"), "c"); },
       "ALTER TABLE s.t ADD c integer", "ALTER TABLE t DROP c"},
      {"Oracle", DB::dbOracle,
       [](FldTest& t) { return t.Column(t.Scratch<TTblData>("T", "S"), "C"); },
       "ALTER TABLE S.T ADD C INTEGER", "ALTER TABLE T DROP (C)"},
      {"ASA with an owner", DB::dbSybaseASA,
       [](FldTest& t) {
         auto* tbl = t.Scratch<TTblData>("T");
         tbl->OwnerQualifier = "DBA";
         return t.Column(tbl, "C");
       },
       "ALTER TABLE DBA.T ADD C INTEGER NULL", "ALTER TABLE DBA.T DROP C"},
      {"ASA without an owner has no bare dot", DB::dbSybaseASA,
       [](FldTest& t) { return t.Column(t.Scratch<TTblData>("T"), "C"); },
       "ALTER TABLE T ADD C INTEGER NULL", "ALTER TABLE T DROP C"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Server(c.server);
    TFldData* f = c.build(*this);
    EXPECT_EQ(f->GetScriptSQL(), c.add);
    EXPECT_EQ(f->GetDropSQL(), c.drop);
  }
  // A suppressed column writes nothing.
  Server(DB::dbInterBase);
  TFldData* s = Column(Scratch<TTblData>("T"), "C");
  s->Suppressed = true;
  EXPECT_EQ(s->GetScriptSQL(), "");
}

TEST_F(FldTest, MSSQLNotNullColumnCarriesItsDefaultInline) {
  Server(DB::dbMSSQL);
  TTblData* t = Held<TTblData>("T", "DBO");
  TFldData* c = Column(t, "C");
  c->Nullable = false;
  auto own = std::make_unique<TCtrData>(&Objs());
  own->SetName("DF_C");
  own->SetConstraintType(ct::Default);
  own->SetTableName("T");
  own->SetText("(0)");
  own->Columns.Add("c", nullptr);  // names compare without case
  TCtrData* df = Objs().AddObject(own, true);
  auto two = std::make_unique<TCtrData>(&Objs());
  two->SetName("DF_TWO");
  two->SetConstraintType(ct::Default);
  two->SetText("(1)");
  two->Columns.Add("C", nullptr);
  two->Columns.Add("D", nullptr);
  TCtrData* other = Objs().AddObject(two, true);
  Objs().AddDependency(df, c, 0, 0);
  Objs().AddDependency(other, c, 0, 0);
  df->Deselect();
  other->Deselect();
  EXPECT_EQ(c->GetScriptSQL(),
            "ALTER TABLE DBO.T ADD C INTEGER NOT NULL CONSTRAINT DF_C DEFAULT (0)");
  EXPECT_TRUE(df->GetSelected());
  EXPECT_FALSE(other->GetSelected());
  // On its own the default names its column.
  EXPECT_EQ(df->GetCreateSQL(), "ALTER TABLE T ADD CONSTRAINT DF_C DEFAULT (0) FOR c");
  c->Nullable = true;
  EXPECT_EQ(c->GetScriptSQL(), "ALTER TABLE DBO.T ADD C INTEGER NULL");
}

// The look-up is answered from an index: a constraint that becomes a
// default after the index was made, and a table named in another case, are
// still found.
TEST_F(FldTest, DefaultConstraintLookUpSeesLaterTypeChanges) {
  Server(DB::dbMSSQL);
  TFldData* c = Column(Held<TTblData>("Orders", "DBO"), "AMOUNT");
  auto own = std::make_unique<TCtrData>(&Objs());
  own->SetName("DF_AMOUNT");
  own->SetTableName("ORDERS");
  own->Columns.Add("amount", nullptr);
  TCtrData* ctr = Objs().AddObject(own, true);
  EXPECT_EQ(Objs().DefaultConstraintOf(*c), nullptr);
  ctr->SetConstraintType(ct::Default);
  EXPECT_EQ(Objs().DefaultConstraintOf(*c), ctr);
  ctr->SetConstraintType(ct::Check);
  EXPECT_EQ(Objs().DefaultConstraintOf(*c), nullptr);
}

class FldWalkTest : public FldTest {
 protected:
  void SetUp() override {
    Server(DB::dbInterBase);
    Objs().ScriptWriter = &writer;
  }
  void TearDown() override { Objs().ScriptWriter = nullptr; }
  RecordingWriter writer;
};

TEST_F(FldWalkTest, ColumnCreatesItsDomainFirst) {
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t, "C", dt::UserType);
  c->DomainName = "D_AMOUNT";
  TDmnData* d = Domain("D_AMOUNT", dt::INTEGER);
  d->Deselect();
  c->Deselect();
  EXPECT_TRUE(t->ComputedPending);  // a deselected column of a table
  c->WriteCreate();
  ASSERT_EQ(writer.calls.size(), 2u);
  EXPECT_EQ(writer.calls[0].name, "D_AMOUNT");
  EXPECT_EQ(writer.calls[1].text, "ALTER TABLE T ADD C D_AMOUNT");
  EXPECT_EQ(writer.calls[1].table, "T");
  EXPECT_TRUE(d->GetSelected());
}

TEST_F(FldWalkTest, ColumnOfAnAbsentTableComesWithItsTable) {
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t, "C");
  t->Deselect();
  c->Deselect();
  c->WriteCreate();
  ASSERT_EQ(writer.calls.size(), 1u);
  EXPECT_EQ(writer.calls[0].text, "CREATE TABLE T(C INTEGER)\r\n");
  EXPECT_TRUE(c->GetSelected());
}

TEST_F(FldWalkTest, ComputedColumnCreatesItsExternalFunctionsFirst) {
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t, "C");
  c->SetText("(F(A))");
  TUdfData* f = Held<TUdfData>("F");
  Objs().AddDependency(c, f, 0, 0);
  f->Deselect();
  c->Deselect();
  c->WriteCreate();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"F:1", "C:1"}));
  EXPECT_FALSE(c->DependsOn().Object(0)->Active);
}

TEST_F(FldWalkTest, DropTakesItsUsersAlong) {
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t, "C");
  TFldData* calc = Column(t, "CALC");
  calc->SetText("(C * 2)");
  TIdxData* idx = Held<TIdxData>("IX_C");
  idx->TableName = "T";
  TViwData* v = Held<TViwData>("V");
  TViwData* unrelated = Held<TViwData>("W");
  TTblData* other = Held<TTblData>("OTHER");
  Objs().AddDependency(idx, c, 0, 0);
  Objs().AddDependency(calc, c, 0, 0);
  Objs().AddDependency(v, t, 0, 0);
  Objs().AddDependency(unrelated, other, 0, 0);
  c->WriteDrop();
  // The index, the computed column with a note before it (whose own drop
  // takes the view of the table first), then the column itself.
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"IX_C:3", "CALC:3", "V:3", "CALC:3", "C:3"}));
  EXPECT_EQ(writer.calls[1].text, "/* Drop T(CALC) for drop T(C) */");
  EXPECT_EQ(writer.calls[3].text, "ALTER TABLE T DROP CALC");
  EXPECT_EQ(writer.calls.back().text, "ALTER TABLE T DROP C");
  EXPECT_EQ(writer.calls.back().table, "T");
  EXPECT_TRUE(unrelated->GetSelected());
  EXPECT_FALSE(c->GetSelected());
}

TEST_F(FldWalkTest, DropTakesTheViewsOfItsTableOnceInTheViewListsOrder) {
  // PostgreSQL keys a view by schema and name, while a table's users are
  // listed by bare name: "A" of schema "Z" is listed before "B" of schema
  // "A" among the users and after it among the views. Two tables share the
  // name T; the views of either go, each once, and no other view.
  Server(DB::dbPostgreSQL);
  TTblData* t = Held<TTblData>("T", "S");
  TTblData* twin = Held<TTblData>("T", "S2");
  TTblData* other = Held<TTblData>("OTHER", "S");
  TFldData* c = Column(t, "C");
  TViwData* a = Held<TViwData>("A", "Z");
  TViwData* b = Held<TViwData>("B", "A");
  TViwData* both = Held<TViwData>("M", "M");
  TViwData* unrelated = Held<TViwData>("N", "N");
  Objs().AddDependency(a, t, 0, 0);
  Objs().AddDependency(b, twin, 0, 0);
  Objs().AddDependency(both, other, 0, 0);
  Objs().AddDependency(both, t, 0, 0);
  Objs().AddDependency(both, twin, 0, 0);
  Objs().AddDependency(unrelated, other, 0, 0);
  c->WriteDrop();
  EXPECT_EQ(writer.Trace(), (std::vector<std::string>{"B:3", "M:3", "A:3", "C:3"}));
  EXPECT_TRUE(unrelated->GetSelected());
}

TEST_F(FldWalkTest, DropAltersARoutineThatReadsTheColumnToItsEmptyBody) {
  TTblData* t = Held<TTblData>("T");
  TFldData* c = Column(t, "C");
  TPrcData* p = Held<TPrcData>("P");
  p->SetText("AS\r\nBEGIN\r\n  SELECT C FROM T INTO :X;\r\nEND");
  Objs().AddDependency(p, c, 0, 0);
  c->WriteDrop();
  ASSERT_GE(writer.calls.size(), 2u);
  EXPECT_EQ(writer.calls[0].name, "P");
  EXPECT_EQ(writer.calls[0].action, kActionEmptyBody);
  // The routine already exists: it is altered, never created a second time.
  EXPECT_TRUE(StartsWith(writer.calls[0].text, "ALTER PROCEDURE P")) << writer.calls[0].text;
  EXPECT_EQ(writer.comments, std::vector<std::string>{"/* Empty P for drop T(C) */"});
  EXPECT_TRUE(p->HasEmptyBody());
  EXPECT_EQ(writer.calls.back().text, "ALTER TABLE T DROP C");
}

}  // namespace
}  // namespace qor::test
