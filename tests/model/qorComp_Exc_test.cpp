// Exceptions: CREATE, ALTER and DROP texts, the message as a literal of the
// dialect, and the description statement of an exception.
#include "model/qorComp_Exc.h"
#include "tests/model/qorKindFixture.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using DB = TDatabaseType;

class ExcTest : public test::KindTest {};

TEST_F(ExcTest, CreateAndAlterTexts) {
  struct Case {
    const char* label;
    DB server;
    int dialect;
    const char* name;
    const char* message;
    const char* create;
  };
  const Case cases[] = {
      {"plain", DB::dbInterBase, 3, "E_NOT_FOUND", "Not found",
       "CREATE EXCEPTION E_NOT_FOUND 'Not found'"},
      {"quote in the message is doubled", DB::dbInterBase, 3, "E1", "it's gone",
       "CREATE EXCEPTION E1 'it''s gone'"},
      {"mixed-case name quoted in dialect 3", DB::dbInterBase, 3, "eMixed", "m",
       "CREATE EXCEPTION \"eMixed\" 'm'"},
      {"dialect 1 never quotes", DB::dbInterBase, 1, "eMixed", "m", "CREATE EXCEPTION eMixed 'm'"},
      {"empty message", DB::dbInterBase, 3, "E2", "", "CREATE EXCEPTION E2 ''"},
      {"MySQL literal escapes the backslash", DB::dbMySQL, 3, "E3", "a\\b'",
       "CREATE EXCEPTION E3 'a\\\\b\\''"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto* e = Make<TExcData>(c.server, c.name);
    IB().SQLDialect = static_cast<TIBSQLDialectType>(c.dialect);
    e->Message = c.message;
    const std::string create = e->GetCreateSQL();
    EXPECT_EQ(create, c.create);
    EXPECT_EQ(e->GetAlterSQL(), "ALTER" + create.substr(6));
    EXPECT_EQ(e->GetScriptSQL(), create);
  }
}

TEST_F(ExcTest, DropAndDescription) {
  auto* e = Make<TExcData>(DB::dbInterBase, "E_X");
  EXPECT_EQ(e->GetDropSQL(), "/* Drop: E_X (TExcData) */\r\nDROP EXCEPTION E_X");
  e->SetDescription("What's wrong");
  IB().IBCompareOptions.UpdateDescriptionMode = TUpdateDescriptionType::udComment;
  EXPECT_EQ(e->GetDescriptionSQL(), "COMMENT ON EXCEPTION E_X IS\r\n'What''s wrong'");
  IB().IBCompareOptions.UpdateDescriptionMode = TUpdateDescriptionType::udSysTables;
  EXPECT_EQ(e->GetDescriptionSQL(),
            "UPDATE RDB$EXCEPTIONS SET RDB$DESCRIPTION = \r\n'What''s wrong'\r\n"
            "WHERE RDB$EXCEPTION_NAME = 'E_X'");
  e->Suppressed = true;
  EXPECT_EQ(e->GetScriptSQL(), "");
  EXPECT_EQ(e->GetDescriptionSQL(), "");
}

}  // namespace
}  // namespace qor
