// Defaults: the CREATE DEFAULT text per dialect, the stored server text of
// MS SQL, the bracketed MS SQL name and the script and drop texts.
#include "model/qorComp_Def.h"
#include "tests/model/qorKindFixture.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using DB = TDatabaseType;

class DefTest : public test::KindTest {};

TEST_F(DefTest, CreateTexts) {
  struct Case {
    const char* label;
    DB server;
    const char* name;
    const char* expression;
    const char* source;
    const char* expected;
  };
  const Case cases[] = {
      {"ASE", DB::dbSybaseASE, "d_zero", "0", "", "CREATE DEFAULT d_zero AS 0"},
      {"MS SQL with expression", DB::dbMSSQL, "D_TODAY", "getdate()", "",
       "CREATE DEFAULT [D_TODAY] AS getdate()"},
      {"MS SQL bracket in the name is doubled", DB::dbMSSQL, "A]B", "1", "",
       "CREATE DEFAULT [A]]B] AS 1"},
      {"MS SQL without expression: the server's text", DB::dbMSSQL, "D_OLD", "",
       "create default D_OLD as 42", "create default D_OLD as 42"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto* d = Make<TDefData>(c.server, c.name);
    d->Expression = c.expression;
    d->ObjectSource = c.source;
    EXPECT_EQ(d->GetCreateSQL(), c.expected);
  }
}

TEST_F(DefTest, ScriptIgnoresSuppressionAndDropIsTheBaseText) {
  auto* d = Make<TDefData>(DB::dbMSSQL, "D1");
  d->Expression = "0";
  d->Suppressed = true;
  EXPECT_EQ(d->GetScriptSQL(), "CREATE DEFAULT [D1] AS 0");
  EXPECT_EQ(d->GetDropSQL(), "/* Drop: D1 (TDefData) */\r\nDROP DEFAULT D1");
}

}  // namespace
}  // namespace qor
