// Script generation: the order of the sections and their separators, the
// header of each dialect, the MS SQL settings, SET TERM and DELIMITER, the
// owner and description statements, the single-table script, the MySQL
// keys that the table text carries, and the per-object files.
#include "model/qorComp_Clt.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "tests/support/qorModelBuilder.h"
#include "platform/qorStrings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace qor {
namespace {

namespace fs = std::filesystem;
using DB = TDatabaseType;
using IBV = TIBSQLServerVersionType;
using UD = TUpdateDescriptionType;
using K = TDbObject;
using P = TPrivilege;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Objects whose text is given by the test, so that the mechanism can be
// checked apart from the kinds' own texts.
template <class Base>
struct Texted : Base {
  explicit Texted(TCustomObjs* owner, std::string text) : Base(owner), text_(std::move(text)) {}
  std::string GetCreateSQL() override { return text_; }
  std::string text_;
};

using TextedProc = Texted<TPrcData>;

class ScriptTest : public ::testing::Test {
 protected:
  TObjs& Objs() { return *structure.GetObjs(); }

  void Server(DB st) {
    Objs().Clear();
    Objs().SetServerType(st);
    Objs().ConnectionOptions.DatabaseName.clear();
  }

  template <class T, class... Args>
  T* Add(const std::string& name, Args&&... args) {
    return test::TModelBuilder(Objs()).Add<T>(name, {}, std::forward<Args>(args)...);
  }

  TTblData* Table(const std::string& name, const std::string& schema = {}) {
    auto t = std::make_unique<TTblData>(&Objs());
    t->SetName(name);
    t->SetParentName(schema);
    auto f = std::make_unique<TFldData>(&Objs(), t.get());
    f->SetName("ID");
    f->DataType = dt::INTEGER;
    f->Nullable = false;
    t->Fields.Add("ID", std::move(f));
    TTblData* raw = Objs().AddObject(t, true);
    EXPECT_NE(raw, nullptr) << name;
    return raw;
  }

  TCtrData* Constraint(const std::string& name, const std::string& table, std::uint8_t type,
                       const std::string& schema = {}) {
    auto c = std::make_unique<TCtrData>(&Objs());
    c->SetName(name);
    c->SetParentName(schema);
    c->SetTableName(table);
    c->SetConstraintType(type);
    if (type == ct::Check) {
      c->SetText("ID > 0");
    } else {
      c->Columns.Add("ID", nullptr);
    }
    if (type == ct::ForeignKey) {
      c->SetRefTableName(table);
      c->RefColumns.Add("ID", nullptr);
    }
    TCtrData* raw = Objs().AddObject(c, true);
    EXPECT_NE(raw, nullptr) << name;
    return raw;
  }

  TIdxData* Index(const std::string& name, const std::string& table,
                  const std::string& schema = {}) {
    auto i = std::make_unique<TIdxData>(&Objs());
    i->SetName(name);
    i->SetParentName(schema);
    i->TableName = table;
    i->Columns.Add("ID", nullptr);
    TIdxData* raw = Objs().AddObject(i, true);
    EXPECT_NE(raw, nullptr) << name;
    return raw;
  }

  TTrgData* Trigger(const std::string& name, const std::string& table, const std::string& text) {
    auto t = std::make_unique<Texted<TTrgData>>(&Objs(), text);
    t->SetName(name);
    t->SetTableName(table);
    TTrgData* raw = Objs().AddObject(t, true);
    EXPECT_NE(raw, nullptr) << name;
    return raw;
  }

  std::vector<std::string> Script() {
    std::vector<std::string> out;
    Objs().GetScript(out);
    return out;
  }
  std::string Joined() { return JoinLines(Script()); }

  std::vector<std::string> TableScript(const std::string& name, bool withHeader = false,
                                       TCmpObjSetType filter = TCmpObjSetType::All()) {
    std::vector<std::string> out;
    Objs().GenerateTableScript(out, name, withHeader, filter);
    return out;
  }

  static std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
      ++n;
    return n;
  }

  TDBStructure structure;
};

// ----------------------------------------------------------------- order

TEST_F(ScriptTest, EmptyMSSQLCollectionGivesTheHeaderAndTheSectionBlanks) {
  Server(DB::dbMSSQL);
  Objs().ConnectionOptions.DatabaseName = "D";
  std::vector<std::string> expected = {"USE D\r\ngo\r\n", "SET QUOTED_IDENTIFIER OFF\r\ngo\r\n",
                                       "SET ANSI_NULLS OFF\r\ngo\r\n"};
  expected.insert(expected.end(), 9, "");
  EXPECT_EQ(Script(), expected);
  EXPECT_EQ(Objs().Terminator, "\r\ngo");
  EXPECT_FALSE(Objs().CurQuotedIdentifier || Objs().CurAnsiNulls);
  EXPECT_TRUE(Objs().ScriptLines.empty());
  // Lines already in the destination stay first.
  std::vector<std::string> more = {"-- before"};
  Objs().GetScript(more);
  expected.insert(expected.begin(), "-- before");
  EXPECT_EQ(more, expected);
  EXPECT_TRUE(Objs().ScriptLines.empty());
}

TEST_F(ScriptTest, SectionsFollowTheFixedOrder) {
  Server(DB::dbInterBase);
  Objs().ScriptOptions.SQLDialect = false;
  // Added in reverse order of the script, so list order cannot fake it.
  auto g = std::make_unique<TGntData>(&Objs());
  g->Privileges.Include(TPrivilege::prSelect);
  g->ObjectName = "T";
  g->ObjectKind = TDbObject::dboTable;
  g->Grantee = "PUBLIC";
  Objs().AddGrant(g);
  Add<Texted<TRolData>>("R", "CREATE ROLE R");
  Trigger("TRG", "T", "TRIGGER TEXT");
  Add<TextedProc>("P", "PROCEDURE TEXT");
  Add<Texted<TViwData>>("V", "VIEW TEXT");
  Add<Texted<TGnrData>>("G", "GENERATOR TEXT");
  Add<Texted<TExcData>>("E", "EXCEPTION TEXT");
  Constraint("PK_T", "T", ct::PrimaryKey);
  Index("IX_T", "T");
  Table("T");
  Add<Texted<TDmnData>>("D", "DOMAIN TEXT");
  const std::string s = Joined();
  // clang-format off
  const std::vector<std::string> order = {
      "DOMAIN TEXT;", "CREATE TABLE T", "CREATE INDEX IX_T", "/* PK_T */", "EXCEPTION TEXT;",
      "GENERATOR TEXT;", "VIEW TEXT;", "SET TERM ^ ;", "PROCEDURE TEXT\r\n^",
      "TRIGGER TEXT\r\n^", "CREATE ROLE R;", "GRANT SELECT ON T TO PUBLIC;"};
  // clang-format on
  std::size_t at = 0;
  for (const std::string& part : order) {
    SCOPED_TRACE(part);
    const std::size_t found = s.find(part, at);
    ASSERT_NE(found, std::string::npos) << s;
    at = found;
  }
}

TEST_F(ScriptTest, InterBaseRoutinesGoBetweenSetTermLines) {
  Server(DB::dbInterBase);
  Objs().ScriptOptions.SQLDialect = false;
  std::vector<std::string> expected(9, "");
  EXPECT_EQ(Script(), expected) << "no routine, no SET TERM";

  Add<TextedProc>("R", "CREATE PROCEDURE R AS BEGIN EXIT; END");
  const std::vector<std::string> s = Script();
  const auto term = std::find(s.begin(), s.end(), "SET TERM ^ ;\r\n");
  ASSERT_NE(term, s.end());
  EXPECT_THAT(std::vector<std::string>(term, term + 4),
              ElementsAre("SET TERM ^ ;\r\n", "CREATE PROCEDURE R AS BEGIN EXIT; END\r\n^", "",
                          "SET TERM ; ^\r\n"));
  EXPECT_EQ(Objs().Terminator, ";");
  EXPECT_EQ(std::count(s.begin(), s.end(), "SET TERM ^ ;\r\n"), 1) << "the trigger list is empty";
}

TEST_F(ScriptTest, ASectionWritesWhatAnObjectUsesBeforeIt) {
  Server(DB::dbInterBase);
  // A calls B, B calls C, D and E call each other; keys sort A first.
  TPrcData* a = Add<TextedProc>("A", "PROC A");
  TPrcData* b = Add<TextedProc>("B", "PROC B");
  TPrcData* c = Add<TextedProc>("C", "PROC C");
  TPrcData* d = Add<TextedProc>("D", "PROC D");
  TPrcData* e = Add<TextedProc>("E", "PROC E");
  Objs().AddDependency(a, b, 0, 0);
  Objs().AddDependency(b, c, 0, 0);
  Objs().AddDependency(d, e, 0, 0);
  Objs().AddDependency(e, d, 0, 0);
  auto routines = [this] {
    std::vector<std::string> procs;
    for (const std::string& line : Script())
      if (StartsWith(line, "PROC ")) procs.push_back(line.substr(0, 6));
    return procs;
  };
  // The cycle is broken in key order; every routine is written once.
  EXPECT_THAT(routines(), ElementsAre("PROC C", "PROC B", "PROC A", "PROC E", "PROC D"));
  // The walk leaves nothing behind in the objects: the next script is the same.
  EXPECT_THAT(routines(), ElementsAre("PROC C", "PROC B", "PROC A", "PROC E", "PROC D"));
  EXPECT_EQ(a->OrderMark, 0);
}

// Views and routines are written in one dependency order: a view over a
// selectable procedure (through the procedure it calls) after them, a
// procedure over that view after it, each run of one kind under that
// kind's separators; the rest keeps views before routines.
TEST_F(ScriptTest, ViewsAndRoutinesAreWrittenInOneDependencyOrder) {
  struct Case {
    DB st;
    std::string view, routine;  // what ends each kind's statement
    bool setTerm = false;       // each run of routines between SET TERM lines
    bool delimiter = false;     // each routine between DELIMITER lines
  };
  const Case cases[] = {
      {DB::dbInterBase, ";", "\r\n^", /*setTerm=*/true},
      {DB::dbMySQL, ";", "\r\n//", false, /*delimiter=*/true},
      {DB::dbOracle, ";", "\r\n/"},
      {DB::dbPostgreSQL, ";", ";"},
      {DB::dbMSSQL, "\r\ngo", "\r\ngo"},
      {DB::dbSybaseASE, "\r\ngo", "\r\ngo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.st));
    Server(c.st);
    Objs().ScriptOptions.SQLDialect = false;
    TPrcData* base = Add<TextedProc>("P_BASE", "P_BASE");
    Add<TextedProc>("P_FREE", "P_FREE");
    TPrcData* over = Add<TextedProc>("P_OVER", "P_OVER");
    TPrcData* sel = Add<TextedProc>("P_SEL", "P_SEL");
    sel->IsFunction = c.st == DB::dbMySQL;  // a MySQL view calls a function
    TViwData* view = Add<Texted<TViwData>>("V_A", "V_A");
    Add<Texted<TViwData>>("V_PLAIN", "V_PLAIN");
    Objs().AddDependency(view, sel, 0, 0);
    Objs().AddDependency(sel, base, 0, 0);
    Objs().AddDependency(over, view, 0, 0);
    // From the first of them to the last, with the separators and blanks.
    std::vector<std::string> written;
    for (const std::string& e : Script())
      if (StartsWith(e, "P_") || StartsWith(e, "V_") || StartsWith(e, "SET TERM") ||
          StartsWith(e, "DELIMITER") || (e.empty() && !written.empty()))
        written.push_back(e);
    while (!written.empty() && written.back().empty()) written.pop_back();
    std::vector<std::string> expected;
    auto routines = [&](std::initializer_list<const char*> names) {
      if (c.setTerm) expected.emplace_back("SET TERM ^ ;\r\n");
      for (const char* n : names) {
        if (c.delimiter) expected.emplace_back("DELIMITER //");
        expected.push_back(n + c.routine);
        if (c.delimiter) expected.emplace_back("DELIMITER ;");
        expected.emplace_back();
      }
      if (c.setTerm) expected.emplace_back("SET TERM ; ^\r\n");
    };
    routines({"P_BASE", "P_SEL"});
    for (const char* n : {"V_A", "V_PLAIN"}) {
      expected.push_back(n + c.view);
      expected.emplace_back();
    }
    routines({"P_FREE", "P_OVER"});
    while (!expected.empty() && expected.back().empty()) expected.pop_back();
    EXPECT_EQ(written, expected) << JoinLines(Script());
    EXPECT_EQ(Objs().Terminator, c.st == DB::dbMSSQL || c.st == DB::dbSybaseASE ? "\r\ngo" : ";");
  }
}

// An index on a view follows the last view, before the routines after it,
// wherever the dependency order puts the views.
TEST_F(ScriptTest, AnIndexOnAViewFollowsTheLastViewAndPrecedesTheRoutinesAfterIt) {
  Server(DB::dbMSSQL);
  Table("T", "DBO");
  TPrcData* f = test::TModelBuilder(Objs()).Add<TextedProc>("F", "DBO", "CREATE FUNCTION DBO.F");
  f->IsFunction = true;
  TPrcData* p = test::TModelBuilder(Objs()).Add<TextedProc>("P", "DBO", "CREATE PROCEDURE DBO.P");
  TViwData* v = test::TModelBuilder(Objs()).Add<Texted<TViwData>>("V", "DBO", "CREATE VIEW DBO.V");
  Index("IX_V", "V", "DBO");
  Objs().AddDependency(v, f, 0, 0);
  Objs().AddDependency(p, v, 0, 0);
  const std::string s = Joined();
  std::vector<std::size_t> at;
  for (const char* part :
       {"CREATE FUNCTION DBO.F", "CREATE VIEW DBO.V", "IX_V", "CREATE PROCEDURE"})
    at.push_back(s.find(part));
  for (std::size_t i = 0; i < at.size(); ++i) ASSERT_NE(at[i], std::string::npos) << i << s;
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << s;
}

// Views and checks come out in the order the source catalog created them
// (the engine numbers both as it creates them), not in name order; what a
// view reads still comes first, and objects of no known order keep key
// order before the others.
TEST_F(ScriptTest, ViewsAndChecksFollowTheSourceCreationOrder) {
  Server(DB::dbInterBase);
  Table("T");
  struct Made {
    const char* name;
    std::int32_t created;
  };
  std::vector<TViwData*> views;
  for (const Made m :
       {Made{"V_A", 3}, Made{"V_B", 1}, Made{"V_C", 2}, Made{"V_D", 0}, Made{"V_E", 4}}) {
    views.push_back(Add<Texted<TViwData>>(m.name, m.name));
    views.back()->CatalogOrder = m.created;
  }
  Objs().AddDependency(views[1], views[4], 0, 0);  // V_B reads V_E
  // Unnamed checks are keyed by their text.
  for (const Made m : {Made{"C > 0", 2}, Made{"A > 0", 3}, Made{"B > 0", 1}, Made{"D > 0", 0}}) {
    auto c = std::make_unique<TCtrData>(&Objs());
    c->SetTableName("T");
    c->SetConstraintType(ct::Check);
    c->SetText(std::string("(") + m.name + ")");
    c->CatalogOrder = m.created;
    ASSERT_NE(Objs().AddObject(c, true), nullptr);
  }
  std::vector<std::string> written;
  for (const std::string& e : Script()) {
    if (StartsWith(e, "V_")) written.push_back(e);
    if (const std::size_t at = e.find("CHECK"); at != std::string::npos)
      written.push_back(e.substr(e.find('(', at) + 1, 5));
  }
  EXPECT_THAT(written, ElementsAre("D > 0", "B > 0", "C > 0", "A > 0", "V_D;", "V_E;", "V_B;",
                                   "V_C;", "V_A;"));
}

TEST_F(ScriptTest, AChainOfAHundredThousandViewsIsWrittenWhatIsReadFirst) {
  Server(DB::dbInterBase);
  // V000000 reads V000001, which reads V000002, and so on: every key sorts
  // before what its view reads, so the walk goes the whole chain deep from
  // the first view. Every other link names a column of the next view.
  constexpr int kViews = 100000;
  auto name = [](int i) {
    const std::string n = IntToStr(i);
    return "V" + std::string(6 - n.size(), '0') + n;
  };
  std::vector<TViwData*> views;
  views.reserve(kViews);
  for (int i = 0; i < kViews; ++i) {
    TViwData* v = Add<Texted<TViwData>>(name(i), "VIEW " + name(i));
    auto id = std::make_unique<TFldData>(&Objs(), v);
    id->SetName("ID");
    v->Columns.Add("ID", std::move(id));
    views.push_back(v);
  }
  for (int i = 0; i + 1 < kViews; ++i)
    Objs().AddDependency(views[i], views[i + 1], 0, 0, i % 2 ? "ID" : "");
  ASSERT_NE(views[1]->DependsOn().Object(0)->Target, views[2]) << "the link names the column";
  std::vector<std::string> written;
  for (const std::string& line : Script())
    if (StartsWith(line, "VIEW ")) written.push_back(line);
  ASSERT_EQ(written.size(), static_cast<std::size_t>(kViews));
  for (int i = 0; i < kViews; ++i) ASSERT_EQ(written[i], "VIEW " + name(kViews - 1 - i) + ";") << i;
}

TEST_F(ScriptTest, RoutineSeparatorsPerDialect) {
  struct Case {
    DB st;
    std::string statement;      // the routine's entry
    std::string before, after;  // the entries around it, if any
  };
  const Case cases[] = {
      {DB::dbOracle, "BODY\r\n/", "", ""},
      {DB::dbMySQL, "BODY\r\n//", "DELIMITER //", "DELIMITER ;"},
      {DB::dbPostgreSQL, "BODY;", "", ""},
      {DB::dbMSSQL, "BODY\r\ngo", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.st));
    Server(c.st);
    TPrcData* p = Add<TextedProc>("R", "BODY");
    p->SetDescription("said");
    const std::vector<std::string> s = Script();
    const auto at = std::find(s.begin(), s.end(), c.statement);
    ASSERT_NE(at, s.end()) << JoinLines(s);
    if (!c.before.empty()) {
      EXPECT_EQ(*(at - 1), c.before);
      EXPECT_EQ(*(at + 1), c.after);
    }
    EXPECT_EQ(Objs().Terminator, c.st == DB::dbMSSQL ? "\r\ngo" : ";");
    // What follows the routine ends as the statements around it do.
    const std::string js = JoinLines(s);
    EXPECT_EQ(js.find("\r\n//", js.find("DELIMITER ;")), std::string::npos);
  }
}

// DB2's command-line client ends a statement at ";" unless the script sets
// another terminator: a trigger body holding ";" runs under "@", in the
// whole script and in the script of its table, and ";" is set back after.
TEST_F(ScriptTest, DB2BlocksRunUnderTheirOwnTerminator) {
  Server(DB::dbDB2);
  Table("T", "S");
  TTrgData* trg = test::TModelBuilder(Objs()).Add<TTrgData>("TR", "S");
  trg->SetTableName("T");
  trg->Timing = 1, trg->Events = 2, trg->ForEachRow = true;
  trg->SetText("BEGIN ATOMIC\r\n  SET N.ID = 1;\r\nEND");
  const std::string text =
      "CREATE TRIGGER S.TR\r\n  NO CASCADE BEFORE INSERT ON S.T\r\n  FOR EACH ROW\r\n"
      "BEGIN ATOMIC\r\n  SET N.ID = 1;\r\nEND";
  ASSERT_EQ(trg->GetCreateSQL(), text);
  const std::vector<std::string> s = Script();
  const auto at = std::find(s.begin(), s.end(), "--#SET TERMINATOR @");
  ASSERT_NE(at, s.end()) << JoinLines(s);
  EXPECT_THAT(std::vector<std::string>(at, at + 4),
              ElementsAre("--#SET TERMINATOR @", text + "\r\n@", "", "--#SET TERMINATOR ;"));
  EXPECT_EQ(std::count(s.begin(), s.end(), "--#SET TERMINATOR @"), 1) << "no routine, no switch";
  EXPECT_EQ(Objs().Terminator, ";");
  EXPECT_THAT(TableScript("S.T"),
              ElementsAre("CREATE TABLE S.T(ID INTEGER NOT NULL);\r\n", "", "--#SET TERMINATOR @",
                          text + "\r\n@", "--#SET TERMINATOR ;"));
}

// DB2 has no routine text: the script names each routine it leaves out,
// and keeps the grants on them as comments, which would otherwise fail
// on an object that is not there.
TEST_F(ScriptTest, DB2RoutinesLeftOutAreNamedWithTheirGrants) {
  Server(DB::dbDB2);
  Table("T", "S");
  test::TModelBuilder b(Objs());
  b.Add<TPrcData>("P", "S");
  b.Add<TPrcData>("F", "S")->IsFunction = true;
  for (auto spec :
       {test::TModelBuilder::TGrantSpec{"R", K::dboRole, "P", K::dboProcedure, {P::prExecute}},
        test::TModelBuilder::TGrantSpec{"U", K::dboUser, "F", K::dboFunction, {P::prExecute}},
        test::TModelBuilder::TGrantSpec{"R", K::dboRole, "T", K::dboTable, {P::prSelect}}}) {
    auto g = b.NewGrant(spec);
    Objs().AddGrant(g);
  }
  Objs().RekeyGrants();
  const std::vector<std::string> s = Script();
  const std::string js = JoinLines(s);
  EXPECT_THAT(s, ::testing::IsSupersetOf(
                     {"-- function S.F: not written, this dialect has no routine text",
                      "-- procedure S.P: not written, this dialect has no routine text",
                      "-- not written with its routine: GRANT EXECUTE ON FUNCTION S.F TO U;",
                      "-- not written with its routine: GRANT EXECUTE ON PROCEDURE S.P TO ROLE R;",
                      "GRANT SELECT ON S.T TO ROLE R;"}))
      << js;
  EXPECT_EQ(js.find("--#SET TERMINATOR"), std::string::npos) << "nothing ran under it";
}

TEST_F(ScriptTest, MSSQLSettingsAreWrittenWhenTheyChange) {
  Server(DB::dbMSSQL);
  for (const char* name : {"A", "B"}) {
    TTblData* t = Table(name);
    t->QuotedIdentifier = true;
  }
  Objs().Tables.FindObject("B")->AnsiNulls = true;
  const std::vector<std::string> s = Script();
  const std::string js = JoinLines(s);
  EXPECT_EQ(Count(js, "SET QUOTED_IDENTIFIER ON\r\ngo\r\n"), 1u);
  EXPECT_LT(js.find("SET QUOTED_IDENTIFIER ON"), js.find("CREATE TABLE A("));
  EXPECT_LT(js.find("CREATE TABLE A("), js.find("SET ANSI_NULLS ON"));
  EXPECT_LT(js.find("SET ANSI_NULLS ON"), js.find("CREATE TABLE B("));
  EXPECT_FALSE(Objs().CurQuotedIdentifier || Objs().CurAnsiNulls);
}

// An index on a view (MS SQL) needs its view: it comes after the views,
// an index on a table before them. The view is found by schema and name
// in any case; a table of that name in the schema keeps its index first.
TEST_F(ScriptTest, AnIndexOnAViewComesAfterItsView) {
  Server(DB::dbMSSQL);
  Table("T", "DBO");
  Table("V2", "SALES");
  auto view = [this](const std::string& name, const std::string& schema) {
    auto v = std::make_unique<Texted<TViwData>>(&Objs(), "CREATE VIEW " + schema + "." + name);
    v->SetName(name);
    v->SetParentName(schema);
    ASSERT_NE(Objs().AddObject(v, true), nullptr);
  };
  view("V", "DBO");
  view("V2", "DBO");
  Index("IX_T", "T", "DBO");
  Index("IX_V", "v", "DBO");      // the view, spelled otherwise
  Index("IX_V2", "V2", "SALES");  // the table of another schema
  const std::string s = Joined();
  const std::size_t createView = s.find("CREATE VIEW DBO.V\r");
  ASSERT_NE(createView, std::string::npos) << s;
  EXPECT_LT(s.find("IX_T"), s.find("CREATE VIEW")) << s;
  EXPECT_LT(s.find("IX_V2"), s.find("CREATE VIEW")) << s;
  EXPECT_GT(s.find("IX_V "), createView) << s;
}

TEST_F(ScriptTest, ConstraintsInPassesByType) {
  Server(DB::dbMSSQL);
  Table("T");
  // Keys chosen so that key order differs from pass order.
  Constraint("A_FK", "T", ct::ForeignKey);
  Constraint("B_CHECK", "T", ct::Check);
  Constraint("C_UQ", "T", ct::Unique);
  Constraint("D_PK", "T", ct::PrimaryKey);
  TCtrData* def = Constraint("E_DF", "T", ct::Default);
  def->SetText("0");
  Constraint("F_NN", "T", ct::NotNull);
  Constraint("G_OTHER", "T", ct::Other);
  TCtrData* sys = Constraint("PK__T__0123ABCD", "T", ct::PrimaryKey);
  ASSERT_TRUE(sys->CheckSystemConstraintName());

  const std::string s = Joined();
  std::vector<std::size_t> at;
  for (const char* c :
       {"/* E_DF */", "/* D_PK */", "/* PK__T__", "/* C_UQ */", "/* A_FK */", "/* B_CHECK */"})
    at.push_back(s.find(c));
  for (std::size_t i = 0; i < at.size(); ++i) ASSERT_NE(at[i], std::string::npos) << i << s;
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << s;
  EXPECT_EQ(s.find("F_NN"), std::string::npos);
  EXPECT_EQ(s.find("G_OTHER"), std::string::npos);

  Server(DB::dbInterBase);
  Table("T");
  Constraint("DF", "T", ct::Default)->SetText("0");
  EXPECT_EQ(Joined().find("/* DF */"), std::string::npos) << "defaults only for MS SQL";
}

TEST_F(ScriptTest, CommentsCannotEndEarly) {
  Server(DB::dbInterBase);
  Table("T");
  Constraint("X */ DROP TABLE T; /*", "T", ct::Unique);
  Add<TRolData>("R")->RoleOwner = "O */ DROP TABLE T; /*";
  for (const std::string& e : Script()) {
    SCOPED_TRACE(e);
    if (!StartsWith(e, "/*")) continue;
    // The comment closes only after the text it carries.
    const std::size_t drop = e.rfind("DROP");
    ASSERT_NE(drop, std::string::npos);
    EXPECT_GT(e.find("*/"), drop);
  }
}

TEST_F(ScriptTest, EmptyStatementsAreLeftOut) {
  // MySQL has no collations and cannot store a domain's or a parameter's
  // description; its client refuses a bare ";".
  Server(DB::dbMySQL);
  Add<Texted<TCltData>>("C", "");
  Add<Texted<TDmnData>>("D", "CREATE DOMAIN D INTEGER")->SetDescription("said");
  TPrcData* p = Add<TextedProc>("P", "CREATE PROCEDURE P() BEGIN END");
  auto in = std::make_unique<TFldData>(&Objs(), p);
  in->SetName("A");
  in->SetDescription("said");
  p->InParams.Add("A", std::move(in));
  Add<TextedProc>("Q", "")->SetDescription("said");
  const std::vector<std::string> s = Script();
  for (const std::string& e : s) {
    EXPECT_NE(e, ";");
    EXPECT_NE(e, "\r\n//");
  }
  EXPECT_EQ(std::count(s.begin(), s.end(), "DELIMITER //"), 1) << "none for the empty one";
}

// ---------------------------------------------------------------- header

TEST_F(ScriptTest, HeaderPerDialect) {
  struct Case {
    const char* name;
    DB st;
    std::function<void(TObjs&)> setup;
    std::vector<std::string> header;
  };
  // clang-format off
  const Case cases[] = {
      {"InterBase, everything", DB::dbInterBase,
       [](TObjs& o) {
         o.IBServerOptions.SetDBCharSet("utf8");
         o.IBServerOptions.IBDatabaseOptions.PageSize = 8192;
         o.IBServerOptions.IBDatabaseOptions.ODSMajorVersion = 12;
         o.IBServerOptions.IBDatabaseOptions.ODSMinorVersion = 0;
         o.IBServerOptions.IBDatabaseOptions.Version = "LI-V3.0.11 */ DROP";
       },
       {"SET NAMES UTF8;\r\n", "SET SQL DIALECT 3;\r\n",
        "CREATE DATABASE 'D.FDB'\r\n USER 'SYSDBA' PASSWORD 'quillbark'\r\nPAGE_SIZE 8192  "
        "DEFAULT CHARACTER SET UTF8;\r\n",
        "/* Server Version: LI-V3.0.11 * / DROP.  ODS Version: 12.0. */\r\n"}},
      {"InterBase, dialect 1, no connect", DB::dbInterBase,
       [](TObjs& o) {
         o.IBServerOptions.SQLDialect = 1;
         o.ScriptOptions.Connect = false;
       },
       {}},
      {"InterBase, no user", DB::dbInterBase,
       [](TObjs& o) {
         o.ConnectionOptions.UserName.clear();
         o.ConnectionOptions.Password.clear();
         o.ScriptOptions.SQLDialect = false;
       },
       {"CREATE DATABASE 'D.FDB';\r\n"}},
      {"Oracle hides the password", DB::dbOracle, [](TObjs&) {},
       {"-- CONNECT SYSDBA/*****@D.FDB;\r\n"}},
      {"MySQL quotes the database", DB::dbMySQL,
       [](TObjs& o) { o.ConnectionOptions.DatabaseName = "my `db"; }, {"USE `my ``db`;\r\n"}},
      {"MS SQL quotes the database", DB::dbMSSQL,
       [](TObjs& o) { o.ConnectionOptions.DatabaseName = "Sales DB"; }, {"USE [Sales DB]\r\ngo\r\n", "SET QUOTED_IDENTIFIER OFF\r\ngo\r\n",
        "SET ANSI_NULLS OFF\r\ngo\r\n"}},
      {"PostgreSQL", DB::dbPostgreSQL,
       [](TObjs& o) { o.ConnectionOptions.DatabaseName = "D */ x"; }, {"/* Database: D * / x */"}},
      {"ASE", DB::dbSybaseASE,
       [](TObjs& o) {
         TASEDatabaseOptions& a = o.ASEServerOptions.ASEDatabaseOptions;
         a.Text1 = "Script\r\nDROP";
         a.Text2 = "opts";
         a.Text3 = "10 MB";
         a.DBOptions.Include(TASEDBOption::aoDdlInTran);
         o.ConnectionOptions.DatabaseName = "D";
       },
       {"-- Script  DROP\r\n", "-- Database: D\r\n", "-- Size    : 10 MB\r\n",
        "-- Options : opts\r\n", "", "use D\r\ngo\r\n", "use master\r\ngo\r\n",
        "if exists( select 1 from master.dbo.sysdatabases where name = 'D')\r\n  drop database "
        "D\r\ngo\r\n",
        "create database D\r\ngo\r\n", "use D\r\ngo\r\n",
        "exec master.dbo.sp_dboption 'D', 'ddl in tran', True\r\ngo\r\n", "checkpoint\r\ngo\r\n"}},
      {"ASE brackets the database and passes it to sp_dboption as a literal", DB::dbSybaseASE,
       [](TObjs& o) {
         o.ASEServerOptions.ASEDatabaseOptions.DBOptions.Include(TASEDBOption::aoDdlInTran);
         o.ConnectionOptions.DatabaseName = "Sales DB";
       },
       {"-- Database: Sales DB\r\n", "use [Sales DB]\r\ngo\r\n", "use master\r\ngo\r\n",
        "if exists( select 1 from master.dbo.sysdatabases where name = 'Sales DB')\r\n  drop "
        "database [Sales DB]\r\ngo\r\n",
        "create database [Sales DB]\r\ngo\r\n", "use [Sales DB]\r\ngo\r\n",
        "exec master.dbo.sp_dboption 'Sales DB', 'ddl in tran', True\r\ngo\r\n",
        "checkpoint\r\ngo\r\n"}},
      {"DB2 has none", DB::dbDB2, [](TObjs&) {}, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDBStructure fresh;
    TObjs& o = *fresh.GetObjs();
    o.SetServerType(c.st);
    o.ConnectionOptions.DatabaseName = "D.FDB";
    c.setup(o);
    std::vector<std::string> s;
    o.GetScript(s);
    std::vector<std::string> expected = c.header;
    expected.insert(expected.end(), 9, "");
    EXPECT_EQ(s, expected);
  }
}

// ------------------------------------------------ owners and descriptions

TEST_F(ScriptTest, PostgreSQLOwnersAndBuiltInSchemas) {
  Server(DB::dbPostgreSQL);
  TSchData* pub = Add<TSchData>("public");
  pub->OwnerQualifier = "admin";
  Add<TSchData>("sales")->OwnerQualifier = "admin";
  Table("t")->OwnerQualifier = "Mixed Case";
  const std::vector<std::string> s = Script();
  const std::string js = JoinLines(s);
  EXPECT_EQ(js.find("CREATE SCHEMA public"), std::string::npos);
  EXPECT_EQ(js.find("ALTER SCHEMA public"), std::string::npos);
  EXPECT_NE(js.find("CREATE SCHEMA sales;"), std::string::npos);
  EXPECT_NE(std::find(s.begin(), s.end(), "ALTER SCHEMA sales OWNER TO admin;"), s.end());
  const auto owner = std::find(s.begin(), s.end(), "ALTER TABLE t OWNER TO \"Mixed Case\";");
  ASSERT_NE(owner, s.end()) << js;
  EXPECT_EQ(*(owner + 1), "");
}

// Each kind's owner statement names it with its own word, and a routine with
// the parameter types that tell it apart from its namesakes; a kind without
// an owner (an exception) gets none.
TEST_F(ScriptTest, PostgreSQLOwnerStatementPerKind) {
  Server(DB::dbPostgreSQL);
  Add<TViwData>("v")->OwnerQualifier = "admin";
  Add<TDmnData>("d")->OwnerQualifier = "admin";
  auto* f = Add<TPrcData>("f");
  f->IsFunction = true;
  f->OwnerQualifier = "admin";
  Add<TExcData>("e")->OwnerQualifier = "admin";
  const std::vector<std::string> s = Script();
  std::vector<std::string> owners;
  for (const std::string& line : s)
    if (line.find(" OWNER TO ") != std::string::npos) owners.push_back(line);
  EXPECT_THAT(owners, ::testing::UnorderedElementsAre("ALTER VIEW v OWNER TO admin;",
                                                      "ALTER DOMAIN d OWNER TO admin;",
                                                      "ALTER FUNCTION f() OWNER TO admin;"))
      << JoinLines(s);
}

TEST_F(ScriptTest, MSSQLSchemaNamedAsItsSystemNameIsNotCreated) {
  Server(DB::dbMSSQL);
  TSchData* dbo = Add<TSchData>("DBO");
  dbo->SystemName = "DBO";
  dbo->SetDescription("the default");
  Add<TSchData>("SALES");
  Objs().MSSQLServerOptions.SQLServerVersion = TMSSQLServerVersionType::st_MSSQL2017;
  const std::string s = Joined();
  EXPECT_EQ(s.find("CREATE SCHEMA DBO"), std::string::npos) << s;
  EXPECT_NE(s.find("CREATE SCHEMA SALES"), std::string::npos) << s;
  EXPECT_NE(s.find("@level0name=N'DBO'"), std::string::npos) << "its description stays";
}

TEST_F(ScriptTest, DescriptionsOfTablesColumnsAndParameters) {
  Server(DB::dbInterBase);
  Objs().IBServerOptions.SQLServerVersion = IBV::st_Firebird_30;
  Objs().IBServerOptions.IBCompareOptions.UpdateDescriptionMode = UD::udComment;
  TTblData* t = Table("T");
  t->SetDescription("table's");
  t->Fields.FindObject("ID")->SetDescription("column");
  TPrcData* p = Add<TextedProc>("P", "CREATE PROCEDURE P AS BEGIN EXIT; END");
  auto in = std::make_unique<TFldData>(&Objs(), p);
  in->SetName("A");
  in->SetDescription("input");
  p->InParams.Add("A", std::move(in));
  const std::vector<std::string> s = Script();
  EXPECT_THAT(s, ::testing::Contains("COMMENT ON TABLE T IS\r\n'table''s';"));
  EXPECT_THAT(s, ::testing::Contains("COMMENT ON COLUMN T.ID IS\r\n'column';"));
  // Inside SET TERM the statement ends with "^".
  EXPECT_THAT(s, ::testing::Contains("COMMENT ON PARAMETER P.A IS\r\n'input'\r\n^"));
}

TEST_F(ScriptTest, DescriptionModeIsPresetForTheRunAndRestored) {
  struct Case {
    IBV version;
    UD mode;
    std::string start;  // how the table's description begins
  };
  const Case cases[] = {
      {IBV::st_InterBase_75, UD::udSysTables, "DESCRIBE TABLE T"},
      {IBV::st_Firebird_25, UD::udSysTables, "COMMENT ON TABLE T"},
      {IBV::st_Firebird_30, UD::udSysTables, "COMMENT ON TABLE T"},
      {IBV::st_Firebird_40, UD::udSysTables, "COMMENT ON TABLE T"},
      {IBV::st_Firebird_30, UD::udDescribe, "DESCRIBE TABLE T"},
      {IBV::st_InterBase_2020, UD::udSysTables, "ALTER DESCRIPTION FOR TABLE T"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.version));
    Server(DB::dbInterBase);
    Objs().IBServerOptions.SQLServerVersion = c.version;
    Objs().IBServerOptions.IBCompareOptions.UpdateDescriptionMode = c.mode;
    Table("T")->SetDescription("d");
    EXPECT_THAT(Joined(), HasSubstr(c.start));
    EXPECT_THAT(JoinLines(TableScript("T")), HasSubstr(c.start));
    EXPECT_EQ(Objs().IBServerOptions.IBCompareOptions.UpdateDescriptionMode, c.mode);
  }
}

// ---------------------------------------------------------- single table

TEST_F(ScriptTest, TableScriptWithItsConstraintsIndicesAndTriggers) {
  Server(DB::dbInterBase);
  Objs().ScriptOptions.SQLDialect = false;
  Objs().ConnectionOptions.DatabaseName = "D.FDB";
  Table("T");
  Table("OTHER");
  Constraint("PK_T", "T", ct::PrimaryKey);
  Constraint("FK_T", "T", ct::ForeignKey);
  Constraint("PK_OTHER", "OTHER", ct::PrimaryKey);
  Index("IX_T", "T");
  Index("IX_OTHER", "OTHER");
  Trigger("TRG_T", "T", "CREATE TRIGGER TRG_T FOR T AS BEGIN END");

  const std::vector<std::string> body = {
      "CREATE TABLE T(ID INTEGER NOT NULL);\r\n",
      "",
      "ALTER TABLE T ADD CONSTRAINT PK_T PRIMARY KEY (ID);\r\n",
      "",
      "ALTER TABLE T ADD CONSTRAINT FK_T FOREIGN KEY (ID) REFERENCES T (ID);\r\n",
      "",
      "CREATE INDEX IX_T ON T(ID);\r\n",
      "",
      "SET TERM ^ ;",
      "",
      "CREATE TRIGGER TRG_T FOR T AS BEGIN END",
      "^",
      "",
      "SET TERM ; ^"};
  EXPECT_EQ(TableScript("T"), body);

  std::vector<std::string> withHeader = {
      "CREATE DATABASE 'D.FDB'\r\n USER 'SYSDBA' PASSWORD 'quillbark';\r\n"};
  withHeader.insert(withHeader.end(), body.begin(), body.end());
  EXPECT_EQ(TableScript("T", /*withHeader=*/true), withHeader);

  TCmpObjSetType onlyKeys;
  onlyKeys.Include(TCmpObjType::coPrimaryKey);
  EXPECT_THAT(TableScript("T", false, onlyKeys),
              ElementsAre(body[0], "", "ALTER TABLE T ADD CONSTRAINT PK_T PRIMARY KEY (ID);\r\n"));
}

TEST_F(ScriptTest, TableNotFoundGivesOneComment) {
  Server(DB::dbInterBase);
  Table("T");
  EXPECT_THAT(TableScript("MISSING", true), ElementsAre("/* Table \"MISSING\" not found */"));
  EXPECT_THAT(TableScript("x */ DROP TABLE T; /*"),
              ElementsAre("/* Table \"x * / DROP TABLE T; / *\" not found */"));
}

TEST_F(ScriptTest, TableFoundByTheUpperCaseRetryKeepsItsObjects) {
  Server(DB::dbInterBase);
  Table("ORDERS");
  Constraint("PK_ORDERS", "ORDERS", ct::PrimaryKey);
  Index("IX_ORDERS", "ORDERS");
  Trigger("TRG_ORDERS", "ORDERS", "CREATE TRIGGER TRG_ORDERS FOR ORDERS AS BEGIN END");
  const std::string s = JoinLines(TableScript("orders"));
  EXPECT_THAT(s, HasSubstr("CREATE TABLE ORDERS"));
  EXPECT_THAT(s, HasSubstr("PK_ORDERS"));
  EXPECT_THAT(s, HasSubstr("IX_ORDERS"));
  EXPECT_THAT(s, HasSubstr("TRG_ORDERS"));
}

TEST_F(ScriptTest, SchemaQualifiedTableKeepsItsOwnObjectsOnly) {
  Server(DB::dbMSSQL);
  Table("ORDERS", "DBO");
  Table("ORDERS", "SALES");
  Constraint("PK_DBO", "ORDERS", ct::PrimaryKey, "DBO");
  Constraint("PK_SALES", "ORDERS", ct::PrimaryKey, "SALES");
  Index("IX_DBO", "ORDERS", "DBO");
  Index("IX_SALES", "ORDERS", "SALES");
  const std::string s = JoinLines(TableScript("sales.orders"));
  EXPECT_THAT(s, HasSubstr("SALES.ORDERS("));
  EXPECT_THAT(s, HasSubstr("PK_SALES"));
  EXPECT_THAT(s, HasSubstr("IX_SALES"));
  EXPECT_EQ(s.find("_DBO"), std::string::npos) << s;
}

// ------------------------------------------------------- MySQL inline keys

TEST_F(ScriptTest, MySQLKeysInsideTheTableAreNotWrittenAgain) {
  Server(DB::dbMySQL);
  Table("t");
  Constraint("pk_t", "t", ct::PrimaryKey);
  Constraint("uq_t", "t", ct::Unique);
  Constraint("fk_t", "t", ct::ForeignKey);
  Index("ix_t", "t");
  // A key of a table the collection does not hold is written on its own.
  Constraint("pk_gone", "gone", ct::PrimaryKey);
  Index("ix_gone", "gone");

  for (const std::string& s : {Joined(), JoinLines(TableScript("t"))}) {
    SCOPED_TRACE(s);
    EXPECT_EQ(Count(s, "`pk_t`"), 1u);
    EXPECT_EQ(Count(s, "`uq_t`"), 1u);
    EXPECT_EQ(Count(s, "`ix_t`"), 1u);
    EXPECT_THAT(s, HasSubstr("ALTER TABLE `t` ADD CONSTRAINT `fk_t` FOREIGN KEY"));
  }
  const std::string whole = Joined();
  EXPECT_THAT(whole, HasSubstr("ALTER TABLE `gone` ADD CONSTRAINT `pk_gone`"));
  EXPECT_THAT(whole, HasSubstr("ix_gone"));
}

// ---------------------------------------------------------- object files

class ScriptFilesTest : public ScriptTest {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qor-script-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
    errors.clear();
    FileErrorHandler = [](const std::string& m) { errors.push_back(m); };
  }
  void TearDown() override {
    FileErrorHandler = [](const std::string&) {};
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir))
      out.push_back(fs::relative(e.path(), dir).string());
    std::sort(out.begin(), out.end());
    return out;
  }
  static std::string Read(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  }

  fs::path dir;
  static inline std::vector<std::string> errors;
};

TEST_F(ScriptFilesTest, OneFilePerObjectWithSafeUniqueNames) {
  Server(DB::dbInterBase);
  Objs().OutputDirectory = dir.string();
  Table("T");
  Table("../evil/x");
  Table("A/B");
  Table("A_B");
  Table("\xC3\x84T");  // one two-byte character
  Add<Texted<TRolData>>("R", "CREATE ROLE R");
  auto user = std::make_unique<Texted<TRolData>>(&Objs(), "CREATE USER R");
  user->SetName("R");
  user->RoleKind = rk::User;
  ASSERT_TRUE(Objs().AddObject(user, true));
  Add<Texted<TExcData>>("E", "");  // nothing to write

  const std::vector<std::string> script = Script();
  EXPECT_THAT(Files(), ElementsAre("role_R_2_body.sql", "role_R_body.sql", "table_A_B_2_body.sql",
                                   "table_A_B_body.sql", "table_T_body.sql", "table__T_body.sql",
                                   "table____evil_x_body.sql"));
  EXPECT_EQ(Read(dir / "table_A_B_body.sql"), "CREATE TABLE \"A/B\"(ID INTEGER NOT NULL)");
  EXPECT_EQ(Read(dir / "table_A_B_2_body.sql"), "CREATE TABLE A_B(ID INTEGER NOT NULL)");
  EXPECT_TRUE(errors.empty());

  // A second run writes the same names again, replacing the files.
  Script();
  EXPECT_EQ(Files().size(), 7u);
}

TEST_F(ScriptFilesTest, RoutinesAndTriggersGetAHeaderFile) {
  Server(DB::dbInterBase);
  Objs().OutputDirectory = dir.string();
  Table("T");
  TPrcData* p = Add<TPrcData>("P");
  p->SetText("BEGIN\r\n  INSERT INTO T (ID) VALUES (1);\r\nEND");
  TTrgData* trg = Add<TTrgData>("T_BI");
  trg->SetTableName("T");
  trg->TriggerType = 1;
  trg->SetText("AS\r\nBEGIN\r\n  NEW.ID = 1;\r\nEND");
  Script();
  EXPECT_THAT(Files(),
              ElementsAre("procedure_P_body.sql", "procedure_P_header.sql", "table_T_body.sql",
                          "trigger_T_BI_body.sql", "trigger_T_BI_header.sql"));
  EXPECT_EQ(Read(dir / "procedure_P_body.sql"), p->GetCreateSQL());
  EXPECT_EQ(Read(dir / "procedure_P_header.sql"), p->GetCreateEmptySQL());
  EXPECT_THAT(Read(dir / "procedure_P_header.sql"), HasSubstr("BEGIN EXIT; END"));
  EXPECT_EQ(Read(dir / "trigger_T_BI_header.sql"), trg->GetEmptyCreateSQL());
  EXPECT_NE(Read(dir / "trigger_T_BI_header.sql"), Read(dir / "trigger_T_BI_body.sql"));
}

TEST_F(ScriptFilesTest, FailedWriteIsReportedAndTheScriptGoesOn) {
  Server(DB::dbInterBase);
  Objs().OutputDirectory = (dir / "missing").string();
  Table("T");
  Table("U");
  const std::string s = Joined();
  EXPECT_THAT(s, HasSubstr("CREATE TABLE T"));
  EXPECT_THAT(s, HasSubstr("CREATE TABLE U"));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_THAT(errors[0], HasSubstr("table_T_body.sql"));
}

TEST_F(ScriptFilesTest, NoFolderNoFiles) {
  Server(DB::dbInterBase);
  Table("T");
  const fs::path cwd = fs::current_path();
  fs::current_path(dir);
  Script();
  fs::current_path(cwd);
  EXPECT_TRUE(Files().empty());
  EXPECT_TRUE(errors.empty());
}

TEST(WriteTextFile, WritesTheBytesAsTheyAre) {
  char pattern[] = "/tmp/qor-wtf-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const fs::path file = fs::path(pattern) / "f.sql";
  std::string error;
  ASSERT_TRUE(WriteTextFile(file.string(), "old text", error)) << error;
  ASSERT_TRUE(WriteTextFile(file.string(), std::string("A\r\nB\0C", 6), error)) << error;
  std::ifstream f(file, std::ios::binary);
  const std::string got{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  EXPECT_EQ(got, std::string("A\r\nB\0C", 6));
  EXPECT_FALSE(WriteTextFile((fs::path(pattern) / "no" / "f.sql").string(), "x", error));
  EXPECT_THAT(error, HasSubstr("no/f.sql"));
  fs::remove_all(pattern);
}

}  // namespace
}  // namespace qor
