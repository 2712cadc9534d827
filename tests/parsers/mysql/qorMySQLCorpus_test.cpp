// The corpus of MySQL scripts under tests/data/sql/mysql: each script is
// parsed as a file, once with the line ends it is stored with (LF) and once
// with CR LF, and both must give the model and messages of the .dump file
// beside it. The recorded_*.sql files are what a real MariaDB returned for
// SHOW CREATE (scripts/record-mysql-corpus.sh); their texts are also read
// the way the MySQL extractor hands them over, one object at a time, and
// must give the same model.
#include "parsers/mysql/qorMySQLParser.h"

#include "base/qorMsgMngr.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/model/qorModelFakes.h"
#include "tests/support/qorModelDump.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace qor::test {
// Cases print as their topic.
void PrintTo(const TCorpusCase& c, std::ostream* os) { *os << c.Name; }
}  // namespace qor::test

namespace qor {
namespace {

const std::string kFolder = std::string(QOR_TEST_DATA_DIR) + "/sql/mysql";

void Configure(TObjs& objs, const std::string& script) {
  objs.SetServerType(TDatabaseType::dbMySQL);
  objs.MySQLServerOptions.MySQLCompareOptions.CaseSensitiveIdentifiers =
      test::CorpusDirective(script, "case") != "insensitive";
}

// Parses `text` as the file `name`; the collection and the messages.
std::string ParseAsFile(const std::string& text, const std::string& name,
                        const std::string& config) {
  const test::TScratchFile file(name, text);
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  Configure(objs, config);
  TMySQLParser parser(nullptr);
  parser.OnErrorMessage = [](TObject*, const std::string&) {};
  parser.ScriptName = name;
  parser.SetObjs(&objs);
  EXPECT_TRUE(parser.ParseFile(file.Path(), &objs));
  parser.AfterParse();
  return test::DumpModel(objs) + "-- messages\n" + test::DumpMessages(parser.Messages());
}

class MySQLCorpus : public testing::TestWithParam<test::TCorpusCase> {};

TEST_P(MySQLCorpus, ParsesToItsModelWithEitherLineEnd) {
  const test::TCorpusCase& c = GetParam();
  const std::string script = test::ReadTextFile(c.ScriptPath);
  ASSERT_FALSE(script.empty()) << c.ScriptPath;
  ASSERT_EQ(script.find('\r'), std::string::npos) << c.Name << ": stored with LF line ends";
  const std::string lf = ParseAsFile(script, c.Name + ".sql", script);
  EXPECT_EQ(test::CompareWithExpected(lf, c.ExpectedPath), "") << c.Name;
  const std::string crlf = ParseAsFile(NormalizeLineBreaks(script), c.Name + ".sql", script);
  EXPECT_EQ(crlf, lf) << c.Name << ": CR LF line ends read differently";
}

// The texts of a recorded file: each one ends with a "$$" line.
std::vector<std::string> RecordedTexts(const std::string& script) {
  std::vector<std::string> out;
  std::string current;
  bool inside = false;
  for (const std::string& line : SplitLines(script)) {
    if (line == "DELIMITER $$") {
      inside = true;
      continue;
    }
    if (!inside) continue;
    if (line == "$$") {
      out.push_back(current);
      current.clear();
      continue;
    }
    if (line == "DELIMITER ;") break;
    current += (current.empty() ? "" : "\n") + line;
  }
  return out;
}

// The routine's name as SHOW CREATE prints it: `name`(.
std::string RoutineName(const std::string& text) {
  static const std::regex kName(R"((PROCEDURE|FUNCTION) `((?:[^`]|``)*)`)");
  std::smatch m;
  return std::regex_search(text, m, kName) ? ReplaceAll(m[2].str(), "``", "`") : std::string();
}

// The extractor's way: each object is made (routines are named and added
// first, as information_schema.ROUTINES lists them), its stored text set,
// ParseObjectSource run on it, then the object offered to the collection.
// The extractor's name filter refuses the routines after they are listed,
// which must not free a routine the collection holds.
TEST_P(MySQLCorpus, TheExtractorsPathGivesTheSameModel) {
  const test::TCorpusCase& c = GetParam();
  if (!StartsWith(c.Name, "recorded_")) GTEST_SKIP() << "not a recorded file";
  const std::string script = test::ReadTextFile(c.ScriptPath);
  std::string expected = ParseAsFile(script, c.Name + ".sql", script);
  expected = expected.substr(0, expected.find("-- messages\n"));

  TDBStructure structure;
  test::FakeExtractor extractor;
  extractor.Link(&structure);
  // Unnamed keys pass the filter; only a routine's own name is refused.
  const std::string kNoName = "\x01";
  extractor.filteredName = kNoName;
  extractor.rejectName = kNoName;
  TObjs& objs = *structure.GetObjs();
  Configure(objs, script);
  TMySQLParser parser(&extractor);
  parser.OnErrorMessage = [](TObject*, const std::string&) {};
  ASSERT_EQ(parser.Objs(), &objs);
  for (const std::string& text : RecordedTexts(script)) {
    std::unique_ptr<TDbObj> obj;
    if (EndsWith(c.Name, "_tables")) obj = std::make_unique<TTblData>(&objs);
    else if (EndsWith(c.Name, "_views")) obj = std::make_unique<TViwData>(&objs);
    else if (EndsWith(c.Name, "_triggers")) obj = std::make_unique<TTrgData>(&objs);
    if (obj) {
      obj->ObjectSource = text;
      parser.ParseObjectSource(obj.get());
      objs.AddObject(obj, /*freeOnFail=*/true);
      continue;
    }
    auto routine = std::make_unique<TPrcData>(&objs);
    routine->SetName(RoutineName(text));
    routine->IsFunction = EndsWith(c.Name, "_functions");
    TPrcData* held = objs.AddObject(routine, true);
    ASSERT_NE(held, nullptr) << text;
    held->ObjectSource = "DELIMITER $$\r\n" + NormalizeLineBreaks(text) + "$$\r\nDELIMITER ;\r\n";
    extractor.filteredName = held->GetName();
    parser.ParseObjectSource(held);
    extractor.filteredName = kNoName;
  }
  parser.AfterParse();
  EXPECT_EQ(test::DumpModel(objs), expected) << c.Name;
}

std::string CaseName(const testing::TestParamInfo<test::TCorpusCase>& info) {
  std::string n = info.param.Name;
  for (char& ch : n)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
}

INSTANTIATE_TEST_SUITE_P(Scripts, MySQLCorpus, testing::ValuesIn(test::CorpusCases(kFolder)),
                         CaseName);

}  // namespace
}  // namespace qor
