// The Firebird replay of the table kinds (qorComp_FirebirdReplay_test.cpp)
// carried on to the kinds written after them: the Firebird texts of
// domains, views, procedures, functions and triggers held against the real
// Firebird 3 engine (embedded, dialect 3). A small fixture with mutually
// recursive routines, TYPE OF parameters, defaults, a view with and one
// without a column list, multi-event, view and database triggers. The
// routines go out as empty-body headers first and get their bodies by
// ALTER, once written by hand in that order and once in the order the
// dependency walk chooses.
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorScriptWriter.h"
#include "tests/model/qorDDLFixture.h"
#include "tests/support/qorFirebirdReplay.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

namespace qor::test {
namespace {

// Statements end with ";", routine and trigger texts run under "^".
std::string Plain(const std::string& text) { return text + ";\r\n"; }
std::string Term(const std::string& text) {
  return "SET TERM ^ ;\r\n" + text + "\r\n^\r\nSET TERM ; ^\r\n";
}

class FirebirdRoutines : public DDLTest {
 protected:
  void SetUp() override {
    Server(DB::dbInterBase, IBV::st_Firebird_30, 3);

    TDmnData* pos = Domain("D_POS", dt::INTEGER, "0");
    pos->TypeHolder->Nullable = false;
    pos->TypeHolder->CheckText = " (VALUE >= 0)";
    TDmnData* name = Domain("D_NAME", dt::VARCHAR);
    name->TypeHolder->Length = 40;
    domains = {pos, name};

    items = Held<TTblData>("ITEMS");
    TFldData* id = Column(items, "ID", dt::UserType);
    id->DomainName = "D_POS";
    TFldData* itemName = Column(items, "NAME", dt::UserType);
    itemName->DomainName = "D_NAME";
    Column(items, "QTY");
    log = Held<TTblData>("LOG_LINES");
    Column(log, "MSG", dt::VARCHAR)->Length = 100;
    gen = Held<TGnrData>("G_ITEMS");

    // A view with its own column names, and one resting on it without.
    v = Held<TViwData>("V_ITEMS");
    Column(v->Columns, v, "ITEM_ID");
    Column(v->Columns, v, "ITEM_NAME", dt::VARCHAR);
    v->SetText("SELECT ID, NAME FROM ITEMS");
    v2 = Held<TViwData>("V_BIG");
    v2->SetText("SELECT ITEM_ID FROM V_ITEMS WHERE ITEM_ID > 10");

    // Two routines that call each other: neither can be created with its
    // body before the other exists.
    ping = Held<TPrcData>("P_PING");
    Column(ping->InParams, ping, "N");
    Column(ping->OutParams, ping, "R");
    ping->SetText(
        "BEGIN\r\n  IF (N <= 0) THEN R = 0;\r\n"
        "  ELSE EXECUTE PROCEDURE P_PONG(N - 1) RETURNING_VALUES R;\r\n  SUSPEND;\r\nEND");
    pong = Held<TPrcData>("P_PONG");
    Column(pong->InParams, pong, "N");
    Column(pong->OutParams, pong, "R");
    pong->SetText(
        "BEGIN\r\n  SELECT R FROM P_PING(:N) INTO :R;\r\n  R = R + 1;\r\n  SUSPEND;\r\nEND");

    // TYPE OF a domain and of a column, and trailing defaults.
    add = Held<TPrcData>("P_ADD");
    TFldData* a = Column(add->InParams, add, "A", dt::UserType);
    a->DomainName = "D_POS";
    a->TypeOf = true;
    TFldData* label = Column(add->InParams, add, "LABEL", dt::UserType);
    label->TypeOf = true;
    label->TypeOfTable = "ITEMS";
    label->TypeOfColumn = "NAME";
    label->DefaultValue = "'none'";
    Column(add->InParams, add, "B")->DefaultValue = "1";
    Column(add->OutParams, add, "TOTAL");
    Column(add->OutParams, add, "MSG", dt::VARCHAR)->Length = 60;
    add->SetText(
        "BEGIN\r\n  TOTAL = A + B + (SELECT COUNT(*) FROM V_BIG);\r\n"
        "  MSG = LABEL;\r\n  SUSPEND;\r\nEND");

    // A function, and a procedure with neither inputs nor outputs.
    twice = Held<TPrcData>("F_TWICE");
    twice->IsFunction = true;
    Column(twice->InParams, twice, "X");
    Column(twice->OutParams, twice, "")->Deterministic = true;
    twice->SetText("BEGIN\r\n  RETURN X * 2;\r\nEND");
    note = Held<TPrcData>("P_NOTE");
    note->SetText("BEGIN\r\n  INSERT INTO LOG_LINES (MSG) VALUES ('note');\r\nEND");

    // Triggers: two and three events, one on the view, one inactive, one on
    // the database.
    TTrgData* ids = Trigger("ITEMS_BIU", "ITEMS", 17, 0);
    ids->SetText(
        "AS\r\nBEGIN\r\n  IF (NEW.ID IS NULL) THEN NEW.ID = NEXT VALUE FOR G_ITEMS;\r\n"
        "  NEW.QTY = F_TWICE(COALESCE(NEW.QTY, 0));\r\nEND");
    TTrgData* all = Trigger("ITEMS_AIUD", "ITEMS", 114, 5);
    all->SetText("AS\r\nBEGIN\r\n  EXECUTE PROCEDURE P_NOTE;\r\nEND");
    TTrgData* onView = Trigger("V_ITEMS_BI", "V_ITEMS", 1, 0);
    onView->SetText(
        "AS\r\nBEGIN\r\n  INSERT INTO ITEMS (ID, NAME) VALUES (NEW.ITEM_ID, NEW.ITEM_NAME);\r\nEND");
    TTrgData* off = Trigger("LOG_BD", "LOG_LINES", 5, 0);
    off->Active = false;
    off->SetText("AS\r\nBEGIN\r\n  IF (OLD.MSG IS NULL) THEN EXIT;\r\nEND");
    TTrgData* connect = Trigger("ON_CONNECT", "DATABASE", 0, 0);
    connect->EventText = "CONNECT";
    connect->SetText("AS\r\nDECLARE VARIABLE I INTEGER;\r\nBEGIN\r\n  I = 1;\r\nEND");

    // What the bodies use, as a parser would record it.
    Objs().AddDependency(v, items, 0, 0);
    Objs().AddDependency(v2, v, 0, 0);
    Objs().AddDependency(ping, pong, 0, 0);
    Objs().AddDependency(pong, ping, 0, 0);
    Objs().AddDependency(add, v2, 0, 0);
    Objs().AddDependency(add, items, 0, 0);
    Objs().AddDependency(note, log, 0, 0);
    Objs().AddDependency(ids, gen, 0, 0);
    Objs().AddDependency(ids, twice, 0, 0);
    Objs().AddDependency(all, note, 0, 0);
    Objs().AddDependency(onView, items, 0, 0);
  }

  TTrgData* Trigger(const std::string& name, const std::string& table, int type, int position) {
    TTrgData* t = Held<TTrgData>(name);
    t->SetTableName(table);
    t->TriggerType = type;
    t->Position = position;
    return t;
  }

  // Exercises what was created, so that a body that only compiled but
  // reads the wrong thing shows up as well.
  static std::string Checks() {
    return "INSERT INTO V_ITEMS (ITEM_ID, ITEM_NAME) VALUES (20, 'twenty');\r\n"
           "INSERT INTO ITEMS (NAME, QTY) VALUES ('gen', 4);\r\n"
           "SELECT 'PING ' || R FROM P_PING(3);\r\n"
           "SELECT 'ADD ' || TOTAL || ' ' || MSG FROM P_ADD(2);\r\n"
           "SELECT 'QTY ' || QTY FROM ITEMS WHERE NAME = 'gen';\r\n"
           "SELECT 'NOTES ' || COUNT(*) FROM LOG_LINES;\r\n";
  }
  static void ExpectChecked(const TFirebirdReplayResult& r) {
    EXPECT_NE(r.Output.find("PING 3"), std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find("ADD 4 none"), std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find("QTY 8"), std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find("NOTES 2"), std::string::npos) << r.Output;
  }

  std::vector<TDmnData*> domains;
  TTblData* items = nullptr;
  TTblData* log = nullptr;
  TGnrData* gen = nullptr;
  TViwData* v = nullptr;
  TViwData* v2 = nullptr;
  TPrcData* ping = nullptr;
  TPrcData* pong = nullptr;
  TPrcData* add = nullptr;
  TPrcData* twice = nullptr;
  TPrcData* note = nullptr;
};

TEST_F(FirebirdRoutines, HeadersFirstThenBodies) {
  ASSERT_FALSE(FindIsql().empty()) << "isql-fb is missing: run scripts/install-deps.sh";
  std::string script;
  for (TDmnData* d : domains) script += Plain(d->GetCreateSQL());
  for (TTblData* t : {items, log}) script += Plain(t->GetCreateSQL());
  script += Plain(gen->GetCreateSQL());
  for (TViwData* view : {v, v2}) script += Plain(view->GetCreateSQL());
  std::string routines;
  for (const auto& p : Objs().Procedures) routines += p.Value->GetCreateEmptySQL() + "^\r\n";
  for (const auto& p : Objs().Procedures) routines += p.Value->GetAlterSQL() + "^\r\n";
  // One trigger also goes the header-first way.
  TTrgData* view = Objs().FindTrigger("V_ITEMS_BI");
  routines += view->GetEmptyCreateSQL() + "^\r\n" + view->GetAlterSQL() + "^\r\n";
  for (const auto& t : Objs().Triggers)
    if (t.Value.get() != view) routines += t.Value->GetCreateSQL() + "^\r\n";
  script += "SET TERM ^ ;\r\n" + routines + "SET TERM ; ^\r\n" + Checks();

  const TFirebirdReplayResult r = RunFirebirdScript(script);
  ASSERT_TRUE(r.Ok) << r.Errors << "\n--- script ---\n" << script;
  ExpectChecked(r);
}

// Collects the walk's statements into a script in the order they come.
class ScriptCollector : public TScriptWriter {
 public:
  void SetCurrentSchema(const std::string&) override {}
  void AddStatement(const std::string& text, int kind, const std::string& name, TDbObject,
                    int action, const std::string&, int) override {
    trace.push_back(name + ":" + std::to_string(action));
    if (text.empty()) return;
    script += kind == kStmtObject ? Plain(text) : Term(text);
  }
  void AddDescription(TDbObj&) override {}
  void AddComment(const std::string& text) override { script += text + "\r\n"; }

  std::string script;
  std::vector<std::string> trace;
};

TEST_F(FirebirdRoutines, InTheOrderOfTheWalk) {
  ASSERT_FALSE(FindIsql().empty()) << "isql-fb is missing: run scripts/install-deps.sh";
  ScriptCollector w;
  Objs().ScriptWriter = &w;
  Objs().ForEachObject([](TDbObj& o) { o.Deselect(); });
  // Columns of the tables come with their tables; domains first, as the
  // table texts name them and no edge says so here.
  for (TDmnData* d : domains) d->WriteCreate();
  for (const auto& p : Objs().Procedures) p.Value->WriteCreate();
  for (const auto& t : Objs().Triggers) t.Value->WriteCreate();
  Objs().ScriptWriter = nullptr;

  // The cycle is broken by a stub of the routine reached second, whose
  // body follows once the first exists.
  auto at = [&w](const std::string& step) {
    return std::find(w.trace.begin(), w.trace.end(), step) - w.trace.begin();
  };
  EXPECT_LT(at("P_PONG:6"), at("P_PING:1"));
  EXPECT_LT(at("P_PING:1"), at("P_PONG:2"));
  EXPECT_LT(at("P_PONG:2"), static_cast<long>(w.trace.size()));
  EXPECT_FALSE(pong->BodyEmptied);

  const std::string script = w.script + Checks();
  const TFirebirdReplayResult r = RunFirebirdScript(script);
  ASSERT_TRUE(r.Ok) << r.Errors << "\n--- script ---\n" << script;
  ExpectChecked(r);
}

}  // namespace
}  // namespace qor::test
