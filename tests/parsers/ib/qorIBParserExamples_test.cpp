// Scripts of Debian's firebird3.0-examples that nobody here wrote: the
// package example (read through INPUT from its test script, as isql would)
// and the external-function declarations, each parsed with no error into
// the objects they declare.
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Udf.h"
#include "platform/qorStrings.h"
#include "tests/parsers/ib/qorIBParserFixture.h"
#include "tests/support/qorModelDump.h"

#include <gtest/gtest.h>

namespace qor::test {
namespace {

constexpr const char* kExamples = "/usr/share/doc/firebird3.0-common-doc/examples";

std::string Errors(const TMsgManager& m) {
  std::string s;
  for (int i = 0; i < m.Count(); ++i)
    if (m[i].Kind == kMsgError)
      s += m[i].ScriptName + " " + std::to_string(m[i].Line) + ":" + std::to_string(m[i].Column) +
           " " + m[i].Text + "\n";
  return s;
}

TEST(IbExamples, PackageExampleReadsItsPartsThroughInput) {
  TIbParse p(TIBSQLServerVersionType::st_Firebird_30);
  p.parser->ScriptName.clear();
  ASSERT_TRUE(p.parser->ParseFile(std::string(kExamples) + "/package/fbout-test.sql", &p.objs));
  p.parser->AfterParse();
  EXPECT_EQ(Errors(p.parser->Messages()), "");
  TPkgData* pkg = p.objs.FindPackage("FB$OUT");
  ASSERT_NE(pkg, nullptr) << DumpModel(p.objs);
  EXPECT_NE(pkg->HeaderText.find("procedure get_lines returns (lines fb$out_type);"),
            std::string::npos)
      << pkg->HeaderText;
  EXPECT_TRUE(pkg->IsBody);
  EXPECT_FALSE(pkg->GetText().empty());
  EXPECT_NE(p.objs.FindTable("FB$OUT_TABLE"), nullptr);
  EXPECT_NE(p.objs.FindDomain("FB$OUT_TYPE"), nullptr);
  EXPECT_NE(p.objs.FindGenerator("FB$OUT_SEQ"), nullptr);
  EXPECT_NE(p.objs.FindProcedure("TEST"), nullptr);
  EXPECT_EQ(p.objs.Grants.Count(), 3);
  EXPECT_EQ(p.objs.ConnectionOptions.DatabaseName, "test.fdb");
}

TEST(IbExamples, ExternalFunctionScriptDeclaresEveryFunction) {
  const std::string text = ReadTextFile(std::string(kExamples) + "/udf/udf.sql");
  ASSERT_FALSE(text.empty());
  int declared = 0;
  const std::string upper = UpperAscii(text);
  for (std::size_t at = 0; (at = upper.find("DECLARE EXTERNAL FUNCTION", at)) != std::string::npos;
       ++at)
    ++declared;
  for (TIBSQLServerVersionType v :
       {TIBSQLServerVersionType::st_Firebird_25, TIBSQLServerVersionType::st_Firebird_30}) {
    TIbParse p(v);
    p.Run(text);
    EXPECT_EQ(Errors(p.parser->Messages()), "");
    EXPECT_EQ(p.objs.Udfs.Count(), declared);
    TUdfData* substr = p.objs.FindUdf("SUBSTR");
    ASSERT_NE(substr, nullptr);
    EXPECT_EQ(substr->Args.Count(), 3);
    EXPECT_EQ(substr->EntryPoint, "fn_substr");
    EXPECT_EQ(substr->ModuleName, "udflib");
    EXPECT_TRUE(substr->FreeIt);
  }
}

}  // namespace
}  // namespace qor::test
