// Packages: the header and body statements by server version, the separator
// line per dialect and the DROP text.
#include "model/qorComp_Pkg.h"
#include "tests/model/qorKindFixture.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using DB = TDatabaseType;
using V = TIBSQLServerVersionType;

class PkgTest : public test::KindTest {};

TEST_F(PkgTest, CreateTextsByVersion) {
  struct Case {
    const char* label;
    DB server;
    V version;
    const char* body;
    const char* expected;
  };
  const Case cases[] = {
      {"Oracle form before Firebird 3, with the slash", DB::dbOracle, V::st_Firebird_25,
       "PROCEDURE P IS BEGIN NULL; END;",
       "CREATE OR REPLACE PACKAGE PK\r\nHDR\r\n/\r\n\r\n"
       "CREATE OR REPLACE PACKAGE BODY PK\r\nPROCEDURE P IS BEGIN NULL; END;"},
      {"Firebird 3", DB::dbInterBase, V::st_Firebird_30, "BEGIN END",
       "CREATE OR ALTER PACKAGE PK\r\n    AS\r\nHDR\r\n^\r\n\r\n"
       "RECREATE PACKAGE BODY PK\r\n    AS\r\nBEGIN END"},
      // Firebird 4 reads the same package statements as Firebird 3.
      {"Firebird 4", DB::dbInterBase, V::st_Firebird_40, "BEGIN END",
       "CREATE OR ALTER PACKAGE PK\r\n    AS\r\nHDR\r\n^\r\n\r\n"
       "RECREATE PACKAGE BODY PK\r\n    AS\r\nBEGIN END"},
      // No packages there, but header and body in one form, which reads
      // back: the body came in the Oracle form. Found by the round-trip
      // fuzz target.
      {"InterBase 2020", DB::dbInterBase, V::st_InterBase_2020, "BEGIN END",
       "CREATE OR ALTER PACKAGE PK\r\n    AS\r\nHDR\r\n^\r\n\r\n"
       "RECREATE PACKAGE BODY PK\r\n    AS\r\nBEGIN END"},
      {"header only", DB::dbInterBase, V::st_Firebird_30, "",
       "CREATE OR ALTER PACKAGE PK\r\n    AS\r\nHDR"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto* p = Make<TPkgData>(c.server, "PK");
    IB().SQLServerVersion = c.version;
    p->HeaderText = "HDR";
    p->SetText(c.body);
    EXPECT_EQ(p->GetCreateSQL(), c.expected);
    EXPECT_EQ(p->GetBodySQL().empty(), std::string(c.body).empty());
  }
}

TEST_F(PkgTest, NameAsStoredDropAndDescription) {
  auto* p = Make<TPkgData>(DB::dbInterBase, "PK_A");
  EXPECT_EQ(p->GetDropSQL(), "DROP PACKAGE PK_A");
  EXPECT_EQ(p->GetHeaderSQL(), "CREATE OR REPLACE PACKAGE PK_A\r\n");
  auto* asa = Make<TPkgData>(DB::dbSybaseASA, "PK_B");
  asa->SetDescription("it's");
  EXPECT_EQ(asa->GetDescriptionSQL(), "COMMENT ON PACKAGE PK_B IS\r\n'it''s'");
}

}  // namespace
}  // namespace qor
