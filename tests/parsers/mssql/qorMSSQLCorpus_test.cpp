// The corpus of T-SQL scripts under tests/data/sql/mssql: each script is
// parsed as a file, once with the line ends it is stored with (LF) and once
// with CR LF, and both must give the model and messages of the .dump file
// beside it. Then the model is written as an MS SQL script by our own
// writer, and that script must parse back to the same model.
#include "parsers/mssql/qorMSSQLParser.h"

#include "base/qorMsgMngr.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/support/qorModelDump.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace qor::test {
// Cases print as their topic.
void PrintTo(const TCorpusCase& c, std::ostream* os) { *os << c.Name; }
}  // namespace qor::test

namespace qor {
namespace {

const std::string kFolder = std::string(QOR_TEST_DATA_DIR) + "/sql/mssql";

struct TParsed {
  std::string Dump;    // model and messages
  std::string Script;  // the model written back by the MS SQL writer
};

void Configure(TObjs& objs, const std::string& script) {
  objs.SetServerType(TDatabaseType::dbMSSQL);
  if (test::CorpusDirective(script, "version") == "2016")
    objs.MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2016;
  objs.MSSQLServerOptions.Collation =
      test::CorpusDirective(script, "collation", "SQL_Latin1_General_CP1_CI_AS");
}

// Parses `text` as the file `name` and dumps the collection and messages.
TParsed ParseText(const std::string& text, const std::string& name, const std::string& config) {
  const test::TScratchFile file(name, text);
  TDBStructure structure;
  TObjs& objs = *structure.GetObjs();
  Configure(objs, config);
  TMSSQLParser parser(nullptr);
  parser.OnErrorMessage = [](TObject*, const std::string&) {};
  parser.ScriptName = name;
  parser.SetObjs(&objs);
  EXPECT_TRUE(parser.ParseFile(file.Path(), &objs));
  TParsed r;
  r.Dump = test::DumpModel(objs) + "-- messages\n" + test::DumpMessages(parser.Messages());
  std::vector<std::string> lines;
  objs.GetScript(lines);
  r.Script = JoinLines(lines);
  return r;
}

std::string WithCrLf(const std::string& lf) { return NormalizeLineBreaks(lf); }

class MSSQLCorpus : public testing::TestWithParam<test::TCorpusCase> {};

TEST_P(MSSQLCorpus, ParsesToItsModelWithEitherLineEnd) {
  const test::TCorpusCase& c = GetParam();
  const std::string script = test::ReadTextFile(c.ScriptPath);
  ASSERT_FALSE(script.empty()) << c.ScriptPath;
  ASSERT_EQ(script.find('\r'), std::string::npos) << c.Name << ": stored with LF line ends";
  const TParsed lf = ParseText(script, c.Name + ".sql", script);
  EXPECT_EQ(test::CompareWithExpected(lf.Dump, c.ExpectedPath), "") << c.Name;
  const TParsed crlf = ParseText(WithCrLf(script), c.Name + ".sql", script);
  EXPECT_EQ(crlf.Dump, lf.Dump) << c.Name << ": CR LF line ends read differently";
}

// The header lines of a dump: one per object, its kind and key.
std::vector<std::string> ObjectLines(const std::string& dump) {
  std::vector<std::string> out;
  // The whole script has no section for rules and defaults.
  for (const std::string& line : SplitLines(dump.substr(0, dump.find("-- messages\n"))))
    if (!line.empty() && line[0] != ' ' && !StartsWith(line, "rule ") &&
        !StartsWith(line, "default "))
      out.push_back(line);
  return out;
}

// The writer cannot say everything the parser reads (a column-level check
// is written at table level, a constraint's sort order is not written), so
// the first model and the re-parsed one are compared by their objects; from
// then on the script and the model are a fixed point.
TEST_P(MSSQLCorpus, OurOwnScriptParsesBackToTheSameModel) {
  const test::TCorpusCase& c = GetParam();
  const std::string script = test::ReadTextFile(c.ScriptPath);
  if (test::CorpusDirective(script, "roundtrip") == "no") GTEST_SKIP() << "not written back";
  const TParsed first = ParseText(script, c.Name + ".sql", script);
  const TParsed second = ParseText(first.Script, c.Name + ".written.sql", script);
  const TParsed third = ParseText(second.Script, c.Name + ".written2.sql", script);
  EXPECT_EQ(ObjectLines(second.Dump), ObjectLines(first.Dump)) << c.Name << "\n" << first.Script;
  EXPECT_EQ(second.Dump.substr(second.Dump.find("-- messages\n")), "-- messages\n")
      << c.Name << ": our own script reads with messages\n"
      << first.Script;
  EXPECT_EQ(third.Script, second.Script) << c.Name;
  EXPECT_EQ(third.Dump, second.Dump) << c.Name;
}

// Brackets dropped from every name: what is left of a model when the
// quoting of its names is set aside.
std::string WithoutBrackets(const std::string& dump) {
  std::string out;
  for (std::size_t i = 0; i < dump.size(); ++i) {
    if (dump[i] == '[') {
      const std::size_t close = dump.find(']', i);
      const std::string_view inner(dump.data() + i + 1,
                                   close == std::string::npos ? 0 : close - i - 1);
      if (close != std::string::npos &&
          std::all_of(inner.begin(), inner.end(),
                      [](unsigned char ch) { return std::isalnum(ch) || ch == '_'; })) {
        out.append(inner);
        i = close;
        continue;
      }
    }
    out += dump[i];
  }
  return out;
}

// A schema as the server's script generator writes it (generated.sql, every
// name and type bracketed) gives the model of the same schema written bare.
TEST(MSSQLCorpusForms, GeneratedScriptGivesTheModelOfItsBareForm) {
  const std::string generated = test::ReadTextFile(kFolder + "/generated.sql");
  const std::string bare = test::ReadTextFile(kFolder + "/generated_plain.sql");
  ASSERT_FALSE(generated.empty());
  ASSERT_FALSE(bare.empty());
  const TParsed g = ParseText(WithCrLf(generated), "generated.sql", generated);
  const TParsed b = ParseText(bare, "generated_plain.sql", bare);
  EXPECT_EQ(WithoutBrackets(g.Dump), WithoutBrackets(b.Dump));
  EXPECT_NE(g.Dump.find("column 11 NAME2: SYSNAME"), std::string::npos) << g.Dump;
  EXPECT_EQ(g.Dump.substr(g.Dump.find("-- messages\n")), "-- messages\n");
}

std::string CaseName(const testing::TestParamInfo<test::TCorpusCase>& info) {
  std::string n = info.param.Name;
  for (char& ch : n)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
}

INSTANTIATE_TEST_SUITE_P(Scripts, MSSQLCorpus, testing::ValuesIn(test::CorpusCases(kFolder)),
                         CaseName);

}  // namespace
}  // namespace qor
