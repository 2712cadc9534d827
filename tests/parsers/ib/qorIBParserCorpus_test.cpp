// The corpora: every tests/data/sql/ib/<topic>.sql (the DDL parser) and
// tests/data/sql/ib_bodies/<topic>.sql (the body parser, whose dumps carry
// the dependency edges of the bodies) is parsed under each server version
// its "-- qor: versions=..." line names (2.5 and 3.0 when it names none),
// and the model with the messages must equal <topic>.dump. A file with a
// "-- qor: engine=fb3" line is first built by isql-fb on Firebird 3. Adding
// a case is adding the two files; QOR_UPDATE_GOLDEN=1 writes the dump.
#include "tests/parsers/ib/qorIBParserFixture.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorModelDump.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qor::test {

TIBSQLServerVersionType IbVersionByName(const std::string& name) {
  static const std::pair<const char*, TIBSQLServerVersionType> kNames[] = {
      {"st_InterBase_6x", TIBSQLServerVersionType::st_InterBase_6x},
      {"st_FireBird_15", TIBSQLServerVersionType::st_FireBird_15},
      {"st_Firebird_20", TIBSQLServerVersionType::st_Firebird_20},
      {"st_Firebird_21", TIBSQLServerVersionType::st_Firebird_21},
      {"st_Firebird_25", TIBSQLServerVersionType::st_Firebird_25},
      {"st_Firebird_30", TIBSQLServerVersionType::st_Firebird_30},
      {"st_Firebird_40", TIBSQLServerVersionType::st_Firebird_40},
      {"st_InterBase_2020", TIBSQLServerVersionType::st_InterBase_2020},
  };
  for (const auto& [n, v] : kNames)
    if (name == n) return v;
  ADD_FAILURE() << "unknown version name " << name;
  return TIBSQLServerVersionType::st_Firebird_25;
}

namespace {

void ExpectCorpusCase(const TCorpusCase& c, bool bodies) {
  const std::string script = ReadTextFile(c.ScriptPath);
  ASSERT_FALSE(script.empty()) << c.ScriptPath;
  // The engine is the judge: a file marked for it must first build there.
  if (CorpusDirective(script, "engine") == "fb3") {
    const TFirebirdReplayResult built =
        BuildFirebirdDatabase(FreshTestFile(c.Name + ".fdb"), script);
    ASSERT_TRUE(built.Ok) << "Firebird 3 refuses " << c.ScriptPath << ":\n" << built.Errors;
  }
  std::istringstream versions(CorpusDirective(script, "versions", "st_Firebird_25,st_Firebird_30"));
  std::string first;
  for (std::string v; std::getline(versions, v, ',');) {
    SCOPED_TRACE(c.Name + " under " + v);
    TIbParse p(IbVersionByName(v), bodies);
    p.parser->ScriptName = c.Name + ".sql";
    p.Run(script);
    const std::string text =
        DumpModel(p.objs) + "-- messages\n" + DumpMessages(p.parser->Messages());
    if (first.empty()) {
      first = text;
      const std::string diff = CompareWithExpected(text, c.ExpectedPath);
      EXPECT_EQ(diff, "");
    } else {
      EXPECT_EQ(text, first) << "the versions read the script differently";
    }
  }
}

class IbCorpus : public ::testing::TestWithParam<TCorpusCase> {};
class IbBodyCorpus : public ::testing::TestWithParam<TCorpusCase> {};

TEST_P(IbCorpus, ParsesIntoTheExpectedModel) { ExpectCorpusCase(GetParam(), /*bodies=*/false); }
TEST_P(IbBodyCorpus, ParsesIntoTheExpectedModel) { ExpectCorpusCase(GetParam(), /*bodies=*/true); }

std::string CaseName(const ::testing::TestParamInfo<TCorpusCase>& info) {
  std::string n;
  for (char ch : info.param.Name) n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return n;
}

INSTANTIATE_TEST_SUITE_P(Ib, IbCorpus,
                         ::testing::ValuesIn(CorpusCases(QOR_TEST_DATA_DIR "/sql/ib")), CaseName);
INSTANTIATE_TEST_SUITE_P(IbBodies, IbBodyCorpus,
                         ::testing::ValuesIn(CorpusCases(QOR_TEST_DATA_DIR "/sql/ib_bodies")),
                         CaseName);

}  // namespace
}  // namespace qor::test
