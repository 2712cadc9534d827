// The text and number rules of the InterBase/Firebird readers, and the
// probe and domain reader on catalogs of generations before Firebird 3.
// No engine of those generations runs here: those cases run on replies of
// the replay binding that stand in for such a server, and say so.
#include "extract/ib/qorIBCatalogQueries.h"
#include "extract/ib/qorIBDatabaseExtract.h"

#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "tests/extract/qorIBExtractFixture.h"
#include "tests/support/qorReplay.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace qor {
namespace {

TEST(IBExtractText, StripSqlComments) {
  // clang-format off
  struct Case {
    const char* text;
    bool dropLine;
    const char* want;
  } const cases[] = {
      {"DEFAULT 'abc' /* note */", false, "DEFAULT 'abc' "},
      {"'a/*b*/c' /* x */", false, "'a/*b*/c' "},         // quoted text is kept whole
      {"\"x--y\" -- rest", true, "\"x--y\" "},
      {"a -- rest\r\nb", false, "a -- rest\r\nb"},        // line comments kept
      {"a -- rest\r\nb", true, "a \r\nb"},                // ... or dropped; the break stays
      {"'it''s /* not */ a comment'", false, "'it''s /* not */ a comment'"},
      {"a /* never closed", false, "a "},
      {"'never closed", false, "'never closed"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StripSqlComments(c.text, c.dropLine), c.want);
  }
}

TEST(IBExtractText, NormalizeDefaultSource) {
  struct Case {
    const char* text;
    const char* want;
  } const cases[] = {
      {"DEFAULT 'abc' /* literal */", "'abc'"},
      {"default 0", "0"},
      {"DEFAULT\r\n  CURRENT_TIMESTAMP", "CURRENT_TIMESTAMP"},
      {"= 0", "0"},
      {"  DEFAULT 'DEFAULT x'  ", "'DEFAULT x'"},
      {"DEFAULTS", "DEFAULTS"},  // a word that only begins like the keyword
      {"", ""},
      {"/* only a comment */", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(NormalizeDefaultSource(c.text), c.want);
  }
  EXPECT_EQ(SqlCharAt("abc", 1), 'a');
  EXPECT_EQ(SqlCharAt("abc", 3), 'c');
  EXPECT_EQ(SqlCharAt("abc", 4), '\0');
  EXPECT_EQ(SqlCharAt("abc", 0), '\0');
}

TEST(IBExtractText, ReadNumericPrecision) {
  struct Case {
    const char* name;
    int type, subType;
    bool withPrecision;
    std::optional<int> precision, scale;
    bool ib6;
    std::uint8_t dataType;
    int wantPrecision, wantScale;
  } const cases[] = {
      {"DECIMAL(9,2) as INTEGER", 8, 2, true, 9, -2, true, dt::DECIMAL, 9, 2},
      {"NUMERIC(4,1) as SMALLINT", 7, 1, true, 4, -1, true, dt::NUMERIC, 4, 1},
      {"NUMERIC(18,4) as BIGINT", 16, 1, true, 18, -4, true, dt::NUMERIC, 18, 4},
      {"precision past the storage", 8, 1, true, 12, -2, true, dt::NUMERIC, 9, 2},
      {"plain INTEGER", 8, 0, true, 0, 0, true, dt::INTEGER, 0, 0},
      {"NUMERIC(15,2) as DOUBLE, no precision column", 27, 0, false, std::nullopt, -2, false,
       dt::NUMERIC, 15, 2},
      {"scaled BIGINT before InterBase 6", 16, 0, false, std::nullopt, -2, false, dt::NUMERIC, 18,
       2},
      {"DECIMAL without a precision column", 8, 2, false, std::nullopt, -2, true, dt::DECIMAL, 9,
       2},
      {"NULL scale", 8, 0, true, std::nullopt, std::nullopt, true, dt::INTEGER, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFldData f(nullptr, nullptr);
    f.SetIBFieldType(c.type, 0);
    ReadNumericPrecision(f, c.type, c.subType, c.withPrecision, c.precision, c.scale, c.ib6);
    EXPECT_EQ(f.DataType, c.dataType);
    EXPECT_EQ(f.Precision, c.wantPrecision);
    EXPECT_EQ(f.Scale, c.wantScale);
  }
}

// The writer puts "CHECK" back in front: what follows it must be the
// stored text, spacing included, or the replay stores another text.
TEST(IBExtractText, CheckCondition) {
  struct Case {
    const char* source;
    const char* condition;
  };
  const Case cases[] = {
      {"CHECK (VALUE > 0)", " (VALUE > 0)"},
      {"check(value>0)", "(value>0)"},
      {"CHECK\n  (A > 0)", "\n  (A > 0)"},
      {"\r\n  CHECK (A > 0)", " (A > 0)"},       // before the keyword: not the condition's
      {"CONSTRAINT CHECK (A > 0)", " (A > 0)"},  // older catalogs
      {"", ""},
      {"(A > 0)", "(A > 0)"},  // no keyword: the whole text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(CheckCondition(c.source), c.condition);
  }
}

TEST(IBExtractText, VersionOfServer) {
  using V = TIBSQLServerVersionType;
  struct Case {
    const char* text;
    std::optional<V> version;
  };
  // clang-format off
  const Case cases[] = {
      {"LI-V3.0.11.33637 Firebird 3.0", V::st_Firebird_30},
      {"LI-V6.3.11.33637 Firebird 3.0", V::st_Firebird_30},  // as this engine reports it
      {"WI-V6.2.972 Firebird 1.0", V::st_FireBird_1x},  // the InterBase-style number
      {"WI-V1.5.6.5026 Firebird 1.5", V::st_FireBird_15},
      {"LI-V2.0.7.13318 Firebird 2.0", V::st_Firebird_20},
      {"WI-V2.1.7.18553 Firebird 2.1", V::st_Firebird_21},
      {"LI-V2.5.9.27139 Firebird 2.5", V::st_Firebird_25},
      {"LI-V4.0.4.3010 Firebird 4.0", V::st_Firebird_40},
      {"LI-V5.0.1.1469 Firebird 5.0", V::st_Firebird_40},  // and every later one
      {"WI-V4.2.1", V::st_InterBase_4x},     {"WI-V5.6", V::st_InterBase_5x},
      {"WI-V6.0.1.6", V::st_InterBase_6x},   {"WI-V7.1.0.131", V::st_InterBase_7x},
      {"WI-V7.5.1.80", V::st_InterBase_75},  {"WI-V10.0.2.474", V::st_InterBase_75},
      {"WI-V14.0.4.123", V::st_InterBase_2020},
      {"WI-V1.1.0 Yaffil", V::st_Yaffil_1x},
      {"", std::nullopt},                    {"Firebird", std::nullopt},
      {"LI-V Firebird x", std::nullopt},     {"WI-V3.3", std::nullopt},
      {"garbage", std::nullopt},             {"WI-V99999999999999999999", V::st_InterBase_2020},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TIBDBExtract::VersionOfServer(c.text), c.version);
  }
}

TEST(IBExtractText, RaisesToComparesInsideOneProductLineOnly) {
  using V = TIBSQLServerVersionType;
  struct Case {
    V configured, reported;
    bool raises;
  };
  const Case cases[] = {
      {V::st_Firebird_25, V::st_Firebird_30, true},
      {V::st_FireBird_15, V::st_Firebird_21, true},
      {V::st_Firebird_40, V::st_Firebird_30, false},  // a later target of the caller's
      {V::st_Firebird_30, V::st_Firebird_30, false},
      {V::st_InterBase_7x, V::st_InterBase_75, true},
      {V::st_InterBase_2020, V::st_InterBase_75, false},
      // The enumeration puts InterBase 7.5 before Firebird 2.0 and 2020
      // after Firebird 4.0: neither order holds across the lines.
      {V::st_InterBase_2020, V::st_Firebird_30, true},
      {V::st_Firebird_40, V::st_InterBase_75, true},
      {V::st_Firebird_25, V::st_Yaffil_1x, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.configured) * 100 + static_cast<int>(c.reported));
    EXPECT_EQ(TIBDBExtract::RaisesTo(c.configured, c.reported), c.raises);
  }
}

// ---- Older catalogs, on replies standing in for their servers ----

test::TReplayStatement Rows(std::string sql, std::vector<std::string> columns,
                            std::vector<std::vector<TFieldValue>> rows) {
  test::TReplayStatement s;
  s.SQL = std::move(sql);
  s.HasRows = true;
  s.Columns = std::move(columns);
  s.Rows = std::move(rows);
  return s;
}

// An InterBase 5 catalog (ODS 9): no precision, relation type, identity,
// package or function-source columns; a NUMERIC(15,2) domain stored as a
// double. The probe row with a 64-bit type code is not one we know.
test::TReplayScript InterBase5Catalog() {
  test::TReplayScript s;
  test::TReplayIBFacts facts;
  facts.Database.Version = "WI-V5.6";
  facts.Database.ODSMajorVersion = 9;
  facts.Database.DBSQLDialect = 1;
  facts.SQLDialect = 1;
  s.IBFacts = facts;
  s.Statements.push_back(
      Rows(std::string(ibq::kProbe), {"TYP", "VAL1", "VAL2"},
           {{std::int64_t{1}, std::string("WIN1252"), std::string("WIN1252")},
            {std::int64_t{10}, std::string("RDB$ROLES"), std::string(" ")},
            {std::int64_t{11}, std::string("RDB$REF_CONSTRAINTS"), std::string("RDB$UPDATE_RULE")},
            {std::numeric_limits<std::int64_t>::max(), std::string("X"), std::string("Y")}}));
  s.Statements.push_back(Rows(std::string(ibq::kDatabaseDescription), {"RDB$DESCRIPTION"},
                              {{std::string("sales\n")}}));
  // clang-format off
  std::vector<TFieldValue> money = {
      std::string("MONEY"), std::int64_t{27}, {}, std::string("DEFAULT 0"), std::int64_t{8}, {},
      {}, std::int64_t{1}, {}, std::int64_t{-2}, {}, {}, {}, {}, {}, {},
      std::string("CHECK (VALUE >= 0)"), {}};
  // clang-format on
  // clang-format off
  std::vector<TFieldValue> name = {
      std::string("NAME"), std::int64_t{37}, std::int64_t{0}, {}, std::int64_t{20}, {}, {},
      {}, {}, std::int64_t{0}, {}, std::int64_t{53}, std::string("WIN1252"),
      std::string("WIN1252"), std::int64_t{0}, {}, {}, {}};
  // clang-format on
  s.Statements.push_back(
      Rows(ibq::Domains(TIBCatalogCaps{}),
           {"RDB$FIELD_NAME", "RDB$FIELD_TYPE", "RDB$FIELD_SUB_TYPE", "RDB$DEFAULT_SOURCE",
            "RDB$FIELD_LENGTH", "RDB$CHARACTER_LENGTH", "RDB$COMPUTED_SOURCE", "RDB$NULL_FLAG",
            "RDB$FIELD_PRECISION", "RDB$FIELD_SCALE", "RDB$SEGMENT_LENGTH", "RDB$CHARACTER_SET_ID",
            "RDB$CHARACTER_SET_NAME", "RDB$COLLATION_NAME", "RDB$COLLATION_ID", "RDB$DESCRIPTION",
            "RDB$VALIDATION_SOURCE", "RDB$DIMENSIONS"},
           {money, name}));
  return s;
}

TEST(IBExtractOlderCatalogs, InterBase5DomainsOnStandInReplies) {
  // Stand-in replies: no InterBase 5 server runs here.
  test::TBindingScope scope(
      TconnectionType::cnIBX,
      std::make_unique<test::TReplayConnection>(TconnectionType::cnIBX, TDatabaseType::dbInterBase,
                                                InterBase5Catalog()));
  auto* replay = static_cast<test::TReplayConnection*>(scope.StandIn());
  test::ExtractRun run;
  run.Embedded("ib5.gdb");
  TCmpObjSetType kinds;
  kinds.Include(TCmpObjType::coDomain);
  run.extract.SetExtractObjects(kinds);
  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  EXPECT_TRUE(replay->Mismatches().empty());

  const TIBCatalogCaps& caps = run.extract.Caps();
  EXPECT_TRUE(caps.HasRoles);
  EXPECT_TRUE(caps.HasUpdateRule);
  EXPECT_FALSE(caps.HasFieldPrecision);
  EXPECT_FALSE(caps.HasIdentityType);
  EXPECT_FALSE(caps.HasPackages);

  TObjs& o = run.Objs();
  TDmnData* money = o.FindDomain("MONEY");
  ASSERT_NE(money, nullptr);
  EXPECT_EQ(money->TypeHolder->DataType, dt::NUMERIC);
  EXPECT_EQ(money->TypeHolder->Precision, 15);
  EXPECT_EQ(money->TypeHolder->Scale, 2);
  EXPECT_EQ(money->TypeHolder->DefaultValue, "0");
  EXPECT_EQ(money->TypeHolder->CheckText, " (VALUE >= 0)");
  EXPECT_FALSE(money->TypeHolder->Nullable);
  TDmnData* name = o.FindDomain("NAME");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->TypeHolder->DataType, dt::VARCHAR);
  EXPECT_EQ(name->TypeHolder->Length, 20);
  EXPECT_EQ(name->TypeHolder->GetEffectiveCharSet(), "WIN1252");
  // Before COMMENT ON, the database's comment goes into its catalog row.
  EXPECT_EQ(o.IBServerOptions.IBDatabaseOptions.Description, "sales\n");
  EXPECT_EQ(o.IBDatabaseDescriptionSQL("sales\n"),
            "UPDATE RDB$DATABASE SET RDB$DESCRIPTION =\r\n'sales\n'");
}

TEST(IBExtractOlderCatalogs, AFailedFunctionsStepIsReportedAndTheRunGoesOn) {
  // Stand-in replies: no InterBase 5 server runs here.
  test::TReplayScript script = InterBase5Catalog();
  test::TReplayStatement failing;
  failing.SQL = ibq::Functions(TIBCatalogCaps{});
  failing.HasRows = true;
  failing.Error = "Dynamic SQL Error: column unknown";
  script.Statements.push_back(failing);
  test::TBindingScope scope(TconnectionType::cnIBX,
                            std::make_unique<test::TReplayConnection>(
                                TconnectionType::cnIBX, TDatabaseType::dbInterBase, script));
  test::ExtractRun run;
  run.Embedded("ib5.gdb");
  TCmpObjSetType kinds;
  kinds.Include(TCmpObjType::coFunction);
  kinds.Include(TCmpObjType::coDomain);
  run.extract.SetExtractObjects(kinds);
  EXPECT_FALSE(run.extract.ExtractDatabase());
  ASSERT_EQ(run.errors.size(), 1u);
  EXPECT_NE(run.errors[0].find("column unknown"), std::string::npos) << run.errors[0];
  EXPECT_EQ(run.Objs().Domains.Count(), 2);  // the next step ran
  EXPECT_EQ(run.steps.back(), "Finished");
  EXPECT_FALSE(run.connection.GetConnected());
}

TEST(IBExtractOlderCatalogs, NoFlagOutlivesTheProbeOfANewerCatalog) {
  // Stand-in replies for the older catalog: no such server runs here. The
  // newer one is the real Firebird 3 fixture.
  std::string why;
  const std::string db = test::CatalogFixtureDatabase(why);
  ASSERT_FALSE(db.empty()) << why;
  TDBStructure structure;
  TIBDBExtract x;
  x.SetDBStructure(&structure);
  TCmpObjSetType kinds;
  kinds.Include(TCmpObjType::coDomain);
  x.SetExtractObjects(kinds);
  {
    TQORConnection fb3;
    fb3.SetConnectionType(TconnectionType::cnIBX);
    fb3.SetDatabaseType(TDatabaseType::dbInterBase);
    fb3.ConnectionOptions.Protocol = TQORProtocol::ptLocal;
    fb3.ConnectionOptions.DatabaseName = db;
    x.SetQORConnection(&fb3);
    ASSERT_TRUE(x.ExtractDatabase());
    EXPECT_TRUE(x.Caps().HasIdentityType);
    EXPECT_EQ(structure.GetObjs()->Domains.Count(), 5);
  }
  test::TBindingScope scope(
      TconnectionType::cnIBX,
      std::make_unique<test::TReplayConnection>(TconnectionType::cnIBX, TDatabaseType::dbInterBase,
                                                InterBase5Catalog()));
  TQORConnection ib5;
  ib5.SetConnectionType(TconnectionType::cnIBX);
  ib5.SetDatabaseType(TDatabaseType::dbInterBase);
  x.SetQORConnection(&ib5);
  ASSERT_TRUE(x.ExtractDatabase());
  EXPECT_FALSE(x.Caps().HasIdentityType);
  EXPECT_FALSE(x.Caps().HasFieldPrecision);
  EXPECT_FALSE(x.Caps().HasFunctionSource);
  EXPECT_EQ(structure.GetObjs()->Domains.Count(), 2);  // the earlier run's are gone
}

}  // namespace
}  // namespace qor
