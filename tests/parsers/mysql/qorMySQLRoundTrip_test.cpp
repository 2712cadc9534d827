// Our own MySQL script writer's golden output (tests/data/golden/mysql.sql,
// the shop fixture of tests/model written as the whole script) parses back
// into the model it came from: every table with its columns and options,
// every key, index, foreign key and check, the view, the routines and the
// trigger, with what the script says of them.
//
// What a MySQL script cannot say is left out of the comparison, each for its
// reason: schemas and owners (MySQL writes none), the types and description
// of view columns and the descriptions of parameters (not written), the
// names of routine results (a result has none in MySQL), where a
// procedure's outputs stand (they are its OUT parameters), and the MS SQL
// style default constraint (its column's default there). The fixture's
// kinds that MySQL has no statement for (external functions, domains,
// exceptions, generators, events, roles, grants) are written in other
// dialects' words: each of those statements may give messages, and nothing
// else may.
#include "parsers/mysql/qorMySQLParser.h"

#include "base/qorMsgMngr.h"
#include "model/qorComp_Prc.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/model/qorScriptFixture.h"
#include "tests/support/qorModelDump.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace qor {
namespace {

// The objects of the kinds a MySQL script carries, as dump text with what
// it cannot carry taken out.
std::string Comparable(TObjs& objs) {
  test::TModelDumpOptions options;
  options.Dependencies = false;
  std::string out;
  auto add = [&](TDbObj& obj) {
    if (auto* c = dynamic_cast<TCtrData*>(&obj); c && c->GetConstraintType() == ct::Default) return;
    const bool view = dynamic_cast<TViwData*>(&obj) != nullptr;
    auto* routine = dynamic_cast<TPrcData*>(&obj);
    const bool procedure = routine && !routine->IsFunction;
    for (std::string line : SplitLines(test::DumpObject(obj, options))) {
      if (StartsWith(line, "  schema: ") || StartsWith(line, "  owner: ")) continue;
      if (view && StartsWith(line, "  description: ")) continue;
      if (view && StartsWith(line, "  column ")) line = line.substr(0, line.find(':'));
      if (StartsWith(line, "  in ") || StartsWith(line, "  out "))
        line = std::regex_replace(line, std::regex(R"( description=\[[^\]]*\])"), "");
      if (StartsWith(line, "  out "))
        line = std::regex_replace(line, std::regex(R"(^  out (\d+) [^:]*)"), "  out $1");
      // A procedure's outputs are its OUT parameters in MySQL.
      if (procedure) {
        line = std::regex_replace(line, std::regex(R"(^  in \d+ [^:]*: (.*) direction=2$)"),
                                  "  out: $1");
        line = std::regex_replace(line, std::regex(R"(^  out \d+: )"), "  out: ");
      }
      out += line + "\n";
    }
  };
  for (auto& e : objs.Tables) add(*e.Value);
  for (auto& e : objs.Constraints) add(*e.Value);
  for (auto& e : objs.Indices) add(*e.Value);
  for (auto& e : objs.Views) add(*e.Value);
  for (auto& e : objs.Procedures) add(*e.Value);
  for (auto& e : objs.Triggers) add(*e.Value);
  return out;
}

// The lines of the statements in other dialects' words: from a line that
// starts one of them to the next empty line.
std::vector<bool> ForeignLines(const std::vector<std::string>& lines) {
  static const char* const kForeign[] = {
      "DECLARE ",     "CREATE DOMAIN ", "CREATE EXCEPTION ", "CREATE GENERATOR ", "CREATE EVENT ",
      "CREATE ROLE ", "GRANT "};
  std::vector<bool> foreign(lines.size() + 2, false);
  bool inside = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (TrimCtl(lines[i]).empty()) inside = false;
    for (const char* f : kForeign)
      if (StartsWith(lines[i], f)) inside = true;
    foreign[i + 1] = inside;  // messages count lines from 1
  }
  return foreign;
}

TEST(MySQLRoundTrip, OurGoldenScriptParsesBackIntoTheShopModel) {
  std::string golden = test::ReadTextFile(std::string(QOR_TEST_DATA_DIR) + "/golden/mysql.sql");
  ASSERT_FALSE(golden.empty());
  // The whole script only; the single-table script after it repeats ORDERS.
  golden = golden.substr(0, golden.find("-- ---- table ORDERS ----"));

  TDBStructure source;
  test::TShopFixture(*source.GetObjs()).Build(TDatabaseType::dbMySQL);
  // The MS SQL style default constraint is written as its column's default.
  for (auto& e : source.GetObjs()->Constraints)
    if (TCtrData* c = e.Value.get(); c && c->GetConstraintType() == ct::Default)
      source.GetObjs()->FindField(c->GetTableName(), c->Columns.Name(0))->DefaultValue =
          c->ColumnDefaultText();

  TDBStructure target;
  TObjs& objs = *target.GetObjs();
  objs.SetServerType(TDatabaseType::dbMySQL);
  TMySQLParser parser(nullptr);
  parser.OnErrorMessage = [](TObject*, const std::string&) {};
  parser.ScriptName = "mysql.sql";
  const std::vector<std::string> lines = SplitLines(golden);
  parser.ParseScript(lines, &objs);
  parser.AfterParse();

  EXPECT_EQ(Comparable(objs), Comparable(*source.GetObjs()));
  EXPECT_EQ(objs.ConnectionOptions.DatabaseName, "SHOP");
  const std::vector<bool> foreign = ForeignLines(lines);
  const TMsgManager& msgs = parser.Messages();
  for (int i = 0; i < msgs.Count(); ++i) {
    const std::size_t line = static_cast<std::size_t>(msgs[i].Line);
    EXPECT_TRUE(line < foreign.size() && foreign[line]) << "line " << line << ": " << msgs[i].Text;
  }
}

}  // namespace
}  // namespace qor
