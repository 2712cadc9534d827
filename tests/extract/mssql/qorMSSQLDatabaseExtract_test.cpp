// The MS SQL extractor on recorded catalog replies: no MS SQL Server runs
// here, so every test reads a replay fixture (tests/data/extract/mssql)
// whose rows are what the server's catalog returns for each query text, one
// fixture per catalog generation: the 2000 system tables, 2005 at
// compatibility level 80 (descriptions by one query per object), 2008 at
// level 100 (subselects, schemas) and 2019 at level 130. Matching is strict:
// a statement the fixture does not hold fails the run, and a fixture
// statement never asked for fails the test.
#include "extract/mssql/qorMSSQLDatabaseExtract.h"

#include "engine/qorDBEngine.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"
#include "tests/support/qorModelDump.h"
#include "tests/support/qorReplay.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace qor {
namespace {

using MSV = TMSSQLServerVersionType;

std::string DataPath(const std::string& file) {
  return std::string(QOR_TEST_DATA_DIR) + "/extract/mssql/" + file;
}

// An extractor over a replay binding standing in for the ADO connection,
// with every event recorded.
class ReplayRun {
 public:
  explicit ReplayRun(test::TReplayScript script)
      : scope_(TconnectionType::cnADO,
               std::make_unique<test::TReplayConnection>(
                   TconnectionType::cnADO, TDatabaseType::dbMSSQL, std::move(script))) {
    replay = static_cast<test::TReplayConnection*>(scope_.StandIn());
    connection.SetConnectionType(TconnectionType::cnADO);
    connection.SetDatabaseType(TDatabaseType::dbMSSQL);
    connection.ConnectionOptions.DatabaseName = "Shop";
    connection.ConnectionOptions.HostName = "sqlhost";
    connection.ConnectionOptions.UserName = "sa";
    connection.OnErrorMessage = [this](TObject*, const std::string& t) {
      connectionErrors.push_back(t);
    };
    extract.SetQORConnection(&connection);
    extract.SetDBStructure(&structure);
    extract.OnLogNextLine = [this](TObject*, const std::string& t) { log.push_back(t); };
    extract.OnErrorMessage = [this](TObject*, const std::string& t) { errors.push_back(t); };
    extract.OnProgressUpdate = [this](TObject*, int p, int m) {
      progress.emplace_back(p, m);
      if (OnProgress) OnProgress(p);
    };
    extract.OnProgressStep = [this](TObject*, int mode, const std::string& c, int p, int) {
      if (mode == 0) steps.push_back(c + "@" + std::to_string(p));
    };
  }
  static test::TReplayScript Load(const std::string& fixture) {
    return test::TReplayScript::Load(DataPath(fixture + ".json"));
  }

  TObjs& Objs() { return *structure.GetObjs(); }
  TMSSQLServerOptions& Options() { return Objs().MSSQLServerOptions; }

  // The events of the run as one reviewed text: log lines, step captions
  // with their positions, progress updates.
  std::string Events() const {
    std::string s = "-- log\n";
    for (const auto& l : log) s += l + "\n";
    s += "-- steps\n";
    for (const auto& l : steps) s += l + "\n";
    s += "-- progress\n";
    for (const auto& [p, m] : progress) s += std::to_string(p) + "/" + std::to_string(m) + "\n";
    return s;
  }
  std::string Script() {
    std::vector<std::string> lines;
    Objs().GetScript(lines);
    return JoinLines(lines) + "\r\n";
  }

 private:
  test::TBindingScope scope_;

 public:
  test::TReplayConnection* replay = nullptr;
  TQORConnection connection;
  TDBStructure structure;
  TMSSQLDBExtract extract;
  std::vector<std::string> log, errors, steps, connectionErrors;
  std::vector<std::pair<int, int>> progress;
  std::function<void(int)> OnProgress;
};

// ------------------------------------------------------------ generations

struct Generation {
  const char* fixture;
  MSV configured;  // what the caller set
  MSV readAs;      // what the run reads the catalog as
  std::int32_t level;
};

void PrintTo(const Generation& g, std::ostream* os) { *os << g.fixture; }

const Generation kGenerations[] = {
    {"mssql2000", MSV::st_MSSQL2000, MSV::st_MSSQL2000, 80},
    {"mssql2005_level80", MSV::st_MSSQL2000, MSV::st_MSSQL2005, 80},
    {"mssql2008_level100", MSV::st_MSSQL2000, MSV::st_MSSQL2008, 100},
    {"mssql2019_level130", MSV::st_MSSQL2016, MSV::st_MSSQL2019, 130},
};

class MSSQLExtractGeneration : public ::testing::TestWithParam<Generation> {};

// Recorded stand-in: no MS SQL Server runs here.
TEST_P(MSSQLExtractGeneration, ReadsItsCatalogToTheReviewedScript) {
  const Generation& g = GetParam();
  ReplayRun run(ReplayRun::Load(g.fixture));
  run.Options().SQLServerVersion = g.configured;
  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  EXPECT_THAT(run.errors, ::testing::IsEmpty());
  EXPECT_THAT(run.connectionErrors, ::testing::IsEmpty());
  EXPECT_THAT(run.replay->Mismatches(), ::testing::IsEmpty());
  EXPECT_THAT(run.replay->UnusedStatements(), ::testing::IsEmpty());
  EXPECT_FALSE(run.connection.GetConnected());
  EXPECT_EQ(run.Options().SQLServerVersion, g.readAs);
  EXPECT_EQ(run.Options().MSSQLDatabaseOptions.CompatibilityLevel, g.level);
  const std::string messages = test::DumpMessages(*run.extract.GetMsgManager());
  EXPECT_EQ(messages.find("error"), std::string::npos) << messages;

  const std::string stem = DataPath(g.fixture);
  EXPECT_EQ(test::CompareWithExpected(run.Events(), stem + ".events"), "");
  EXPECT_EQ(test::CompareWithExpected(test::DumpModel(run.Objs()), stem + ".dump"), "");
  EXPECT_EQ(test::CompareWithExpected(run.Script(), stem + ".sql"), "");
}

INSTANTIATE_TEST_SUITE_P(Generations, MSSQLExtractGeneration, ::testing::ValuesIn(kGenerations),
                         [](const auto& info) { return std::string(info.param.fixture); });

// Recorded stand-in: no MS SQL Server runs here. Tables and views are keyed
// by schema: each trigger of a table or view is linked to the one of its
// schema.
TEST_P(MSSQLExtractGeneration, EachTriggerIsLinkedToItsTableOrView) {
  const Generation& g = GetParam();
  ReplayRun run(ReplayRun::Load(g.fixture));
  run.Options().SQLServerVersion = g.configured;
  ASSERT_TRUE(run.extract.ExtractDatabase());
  TObjs& o = run.Objs();
  int linked = 0;
  for (int i = 0; i < o.Triggers.Count(); ++i) {
    TTrgData* t = o.Triggers.Object(i);
    if (t->GetTableName() == "DATABASE") continue;
    ASSERT_NE(t->GetTableObj(), nullptr) << t->GetQualifiedName();
    EXPECT_TRUE(SameText(t->GetTableObj()->GetName(), t->GetTableName())) << t->GetQualifiedName();
    EXPECT_TRUE(SameText(t->GetTableObj()->GetParentName(), t->GetParentName()))
        << t->GetQualifiedName();
    ++linked;
  }
  EXPECT_GT(linked, 0);
}

// ----------------------------------------------------------- the mended faults

// Recorded stand-in: no MS SQL Server runs here.
TEST(MSSQLExtract, AReportedLaterVersionIsUsedAndLoggedUnlessTheCallerKeepsHis) {
  {
    ReplayRun run(ReplayRun::Load("mssql2008_level100"));
    ASSERT_TRUE(run.extract.ExtractDatabase());
    EXPECT_THAT(run.log, ::testing::Contains("Server version reported by the server: MS SQL 2008 "
                                             "(configured: MS SQL 2000)"));
    // Read through the catalog views: the schema of each table is its own.
    EXPECT_NE(run.Objs().FindTable("SALES.ORDERS"), nullptr);
    EXPECT_NE(run.Objs().FindTable("DBO.ORDERS"), nullptr);
  }
  // A caller who keeps his version is obeyed: 2016 reads as the 2019 server
  // would be read, without the line.
  ReplayRun run(ReplayRun::Load("mssql2019_level130"));
  run.Options().SQLServerVersion = MSV::st_MSSQL2016;
  run.extract.KeepServerVersion = true;
  ASSERT_TRUE(run.extract.ExtractDatabase());
  EXPECT_EQ(run.Options().SQLServerVersion, MSV::st_MSSQL2016);
  for (const std::string& l : run.log)
    EXPECT_EQ(l.find("reported by the server"), std::string::npos) << l;
  EXPECT_THAT(run.replay->Mismatches(), ::testing::IsEmpty());
}

TEST(MSSQLExtract, ProductVersionsMapToServerVersions) {
  struct Case {
    const char* text;
    std::optional<MSV> version;
  };
  // clang-format off
  const Case cases[] = {
      {"8.00.2039", MSV::st_MSSQL2000},     {"9.00.5000.00", MSV::st_MSSQL2005},
      {"10.50.6000.34", MSV::st_MSSQL2008}, {"11.0.7001.0", MSV::st_MSSQL2012},
      {"12.0.6024.0", MSV::st_MSSQL2014},   {"13.0.5026.0", MSV::st_MSSQL2016},
      {"14.0.3436.1", MSV::st_MSSQL2017},   {"15.0.2000.5", MSV::st_MSSQL2019},
      {"16.0.1000.6", MSV::st_MSSQL2019},   {"7.00.623", std::nullopt},
      {"", std::nullopt},                   {"abc", std::nullopt},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TMSSQLDBExtract::VersionOfProduct(c.text), c.version);
  }
}

// Recorded stand-in: no MS SQL Server runs here.
TEST(MSSQLExtract, ColumnsKeepTheirOwnRowGuidFlagIdentityAndNames) {
  ReplayRun run(ReplayRun::Load("mssql2000"));
  ASSERT_TRUE(run.extract.ExtractDatabase());
  TObjs& o = run.Objs();
  // Only the column the server marks is the ROWGUIDCOL.
  ASSERT_NE(o.FindField("DBO.CUSTOMER", "ROWGUID"), nullptr);
  EXPECT_TRUE(o.FindField("DBO.CUSTOMER", "ROWGUID")->RowGuidCol);
  EXPECT_FALSE(o.FindField("DBO.CUSTOMER", "EXTERNALREF")->RowGuidCol);
  // A sysname column names its type and no schema.
  TFldData* login = o.FindField("DBO.CUSTOMER", "LOGINNAME");
  EXPECT_EQ(login->DataType, dt::UserType);
  EXPECT_EQ(login->DomainName, "SYSNAME");
  EXPECT_EQ(login->DomainSchema, "");
  // The owner's table outside dbo, read with its identity and computed text.
  TFldData* id = o.FindField("SALES.ORDERS", "ORDERID");
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->IdentitySeed, 1000);
  EXPECT_EQ(id->IdentityIncrement, 10);
  EXPECT_EQ(o.FindField("SALES.ORDERS", "TOTAL")->GetText(), "([Qty] * [Price])");
  EXPECT_EQ(o.FindField("SALES.ORDERS", "NOTE")->Length, 100);
  EXPECT_EQ(o.FindTable("SALES.ORDERS")->FileGroup, "FG_DATA");
  // A stored text split over syscomments rows is joined, with CR LF breaks.
  ASSERT_NE(o.Rules.FindObject("DBO.R_POSITIVE"), nullptr);
  EXPECT_EQ(o.Rules.FindObject("DBO.R_POSITIVE")->ObjectSource,
            "CREATE RULE r_positive\r\nAS\r\n@value > 0");

  ReplayRun modern(ReplayRun::Load("mssql2008_level100"));
  ASSERT_TRUE(modern.extract.ExtractDatabase());
  TFldData* big = modern.Objs().FindField("DBO.ORDERS", "ORDERID");
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(big->IdentitySeed, 3000000000LL);  // past 2^31
  EXPECT_EQ(modern.Objs().FindField("DBO.ORDERS", "PLACED")->DataType, dt::DATETIME2);
  EXPECT_EQ(modern.Objs().FindField("DBO.ORDERS", "PLACED")->Precision, 3);
  // The clustered index's file group, not that of another index.
  EXPECT_EQ(modern.Objs().FindTable("SALES.ORDERS")->FileGroup, "FG_SALES");
}

// Recorded stand-in: no MS SQL Server runs here. With case-sensitive
// identifiers the names stay as the catalog spells them; either way the
// server is asked with its own spelling (the fixture's parameters).
TEST(MSSQLExtract, CaseSensitiveIdentifiersKeepTheCatalogSpelling) {
  ReplayRun run(ReplayRun::Load("mssql2005_level80"));
  run.Options().MSSQLCompareOptions.CaseSensitiveIdentifiers = true;
  ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
  EXPECT_THAT(run.replay->UnusedStatements(), ::testing::IsEmpty());
  TTblData* t = run.Objs().FindTable("dbo.O'Brien Notes");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->GetName(), "O'Brien Notes");
  EXPECT_EQ(t->Fields.Value(1)->GetDescription(), "Note's text");
}

// Recorded stand-in: no MS SQL Server runs here.
TEST(MSSQLExtract, IgnoringFileGroupsAsksNoFileGroupQuery) {
  ReplayRun run(ReplayRun::Load("mssql2008_level100"));
  run.Options().MSSQLCompareOptions.IgnoreFileGroup = true;
  ASSERT_TRUE(run.extract.ExtractDatabase());
  EXPECT_EQ(run.Objs().FindTable("SALES.ORDERS")->FileGroup, "");
  const std::vector<std::string> unused = run.replay->UnusedStatements();
  ASSERT_EQ(unused.size(), 2u);
  for (const std::string& u : unused) EXPECT_NE(u.find("FILEGROUP_NAME"), std::string::npos);
}

// ------------------------------------------------------- readers of 25 kinds

// The key columns of a list as "A desc, B".
std::string KeyText(const TFieldList& list) {
  std::string s;
  for (int i = 0; i < list.Count(); ++i) {
    if (i) s += ", ";
    s += list.Name(i);
    if (const TFldData* f = list.Object(i); f && f->SortOrder == 2) s += " desc";
  }
  return s;
}

TCtrData* FindConstraint(TObjs& o, const std::string& name) {
  for (int i = 0; i < o.Constraints.Count(); ++i)
    if (TCtrData* c = o.Constraints.Object(i); c && (c->GetName() == name || c->SystemName == name))
      return c;
  return nullptr;
}

TIdxData* FindIndex(TObjs& o, const std::string& name) {
  for (int i = 0; i < o.Indices.Count(); ++i)
    if (TIdxData* x = o.Indices.Object(i); x && x->GetName() == name) return x;
  return nullptr;
}

// Recorded stand-in: no MS SQL Server runs here. The 2000 tables give a
// descending column as "(-)" after its name in sp_helpindex; the catalog
// views as is_descending_key. Either way the order reaches the script.
TEST(MSSQLExtract, DescendingKeyColumnsKeepTheirOrder) {
  struct Case {
    const char* fixture;
    const char* name;  // an index, else a key constraint
    const char* keys;
    const char* included;
    const char* scripted;
  };
  const Case cases[] = {
      {"mssql2000", "IX_ORDERS_QTY", "QTY desc, ORDERID", "", "(QTY DESC, ORDERID)"},
      {"mssql2005_level80", "IX_CUSTOMER_NAME", "NAME desc, CUSTOMERID", "PHONE",
       "(NAME DESC, CUSTOMERID)"},
      {"mssql2005_level80", "PK__O'BRIEN __3214EC0707020F21", "ID desc", "",
       "PRIMARY KEY (ID DESC)"},
      {"mssql2008_level100", "IX_ORDERS_QTY", "QTY desc, ORDERID", "PRICE", "(QTY DESC, ORDERID)"},
      {"mssql2019_level130", "UQ_CANDIDATE_NAME", "FULLNAME, ID desc", "",
       "UNIQUE (FULLNAME, ID DESC)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.fixture) + " " + c.name);
    ReplayRun run(ReplayRun::Load(c.fixture));
    ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
    TIdxData* idx = FindIndex(run.Objs(), c.name);
    TCtrData* ctr = idx ? nullptr : FindConstraint(run.Objs(), c.name);
    ASSERT_TRUE(idx || ctr);
    EXPECT_EQ(KeyText(idx ? idx->Columns : ctr->Columns), c.keys);
    if (idx) {
      EXPECT_EQ(KeyText(idx->IncludeColumns), c.included);
    }
    EXPECT_NE(run.Script().find(c.scripted), std::string::npos);
  }
}

// Recorded stand-in: no MS SQL Server runs here. Every privilege is scripted
// as the catalog holds it or not at all: a DENY as DENY (after the grants,
// which would lift a column's DENY), a column grant with its columns (with
// the all-columns bit, the listed ones excepted), the object with its
// schema; an unknown action code is reported, never taken for SELECT.
TEST(MSSQLExtract, PrivilegesAreNeverScriptedWiderThanTheCatalogHoldsThem) {
  struct Case {
    const char* fixture;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  };
  const Case cases[] = {
      {"mssql2000",
       {"DENY DELETE ON SALES.ORDERS TO MARY", "DENY CREATE VIEW TO BOB",
        "GRANT UPDATE (NOTE, DISCOUNT) ON SALES.ORDERS TO BOB",
        "GRANT SELECT (CUSTOMERID, NAME, PHONE, ROWGUID, LOGINNAME) ON DBO.CUSTOMER TO BOB",
        "GRANT INSERT, SELECT ON SALES.ORDERS TO CLERKS",
        "GRANT EXECUTE ON DBO.P_ADDORDER TO MARY WITH GRANT OPTION"},
       {"GRANT DELETE", "GRANT CREATE VIEW", "GRANT SELECT ON SALES.ORDERS TO BOB", "ON ORDERS",
        "EXTERNALREF) ON"}},
      {"mssql2005_level80",
       {"DENY SELECT (PROFILE) ON DBO.CUSTOMER TO CLERK",
        "GRANT UPDATE (NAME, PHONE) ON DBO.CUSTOMER TO CLERK"},
       {"GRANT SELECT (PROFILE)", "GRANT UPDATE ON"}},
      {"mssql2008_level100",
       {"DENY UPDATE (PRICE) ON SALES.ORDERS TO SELLER",
        "GRANT SELECT ON SALES.FN_COUNTFOR TO AUDITOR",
        "GRANT SELECT ON DBO.ORDERS TO SELLERS WITH GRANT OPTION"},
       {"GRANT UPDATE"}},
      {"mssql2019_level130",
       {"DENY BACKUP DATABASE TO RECRUITER", "DENY SELECT (RESUME) ON HR.CANDIDATE TO RECRUITER"},
       {"SYSDIAGRAMS", "GRANT BACKUP"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    ReplayRun run(ReplayRun::Load(c.fixture));
    ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
    const std::string script = run.Script();
    for (const std::string& p : c.present)
      EXPECT_NE(script.find(p + "\r\n"), std::string::npos) << p;
    for (const std::string& a : c.absent) EXPECT_EQ(script.find(a), std::string::npos) << a;
    const std::size_t lastGrant = script.rfind("\r\nGRANT ");
    const std::size_t firstDeny = script.find("\r\nDENY ");
    ASSERT_NE(firstDeny, std::string::npos);
    EXPECT_LT(lastGrant, firstDeny);
  }
  ReplayRun run(ReplayRun::Load("mssql2000"));
  ASSERT_TRUE(run.extract.ExtractDatabase());
  const std::string messages = test::DumpMessages(*run.extract.GetMsgManager());
  EXPECT_NE(messages.find("Unknown privilege code on grant decode: 999"), std::string::npos)
      << messages;
}

// Recorded stand-in: no MS SQL Server runs here. A column bitmap naming a
// column the table does not have (or a table not extracted) leaves the
// privilege out with a note rather than granting it on the whole table.
TEST(MSSQLExtract, AColumnGrantWhoseColumnsAreUnknownIsLeftOut) {
  test::TReplayScript script = ReplayRun::Load("mssql2000");
  bool changed = false;
  for (test::TReplayStatement& st : script.Statements) {
    if (st.SQL.find("from sysprotects p") == std::string::npos || st.Params.size() != 0 ||
        st.Columns.size() < 8)
      continue;
    for (auto& row : st.Rows)
      if (std::get<std::string>(row[5]) == "bob" && std::get<std::int64_t>(row[1]) == 197) {
        row[7] = std::string("\xC0\x00\x00\x40", 4);  // columns 6, 7 and 30
        changed = true;
      }
  }
  ASSERT_TRUE(changed);
  ReplayRun run(std::move(script));
  ASSERT_TRUE(run.extract.ExtractDatabase());
  EXPECT_EQ(run.Script().find("ON SALES.ORDERS TO BOB"), std::string::npos);
  EXPECT_NE(
      test::DumpMessages(*run.extract.GetMsgManager())
          .find("Column privilege on sales.Orders to bob left out: its columns are not known"),
      std::string::npos);
}

TEST(MSSQLExtract, DecodePrivilegeKnowsTheActionCodesAndNoOthers) {
  TDBStructure structure;
  TMSSQLDBExtract extract;
  extract.SetDBStructure(&structure);
  using P = TPrivilege;
  // clang-format off
  const std::pair<std::int32_t, P> known[] = {
      {26, P::prReferences},      {178, P::prCreateFunction}, {193, P::prSelect},
      {195, P::prInsert},         {196, P::prDelete},         {197, P::prUpdate},
      {198, P::prCreateTable},    {203, P::prCreateDatabase}, {207, P::prCreateView},
      {222, P::prCreateProcedure}, {224, P::prExecute},       {228, P::prBackupDatabase},
      {233, P::prCreateDefault},  {235, P::prBackupLog},      {236, P::prCreateRule},
  };
  // clang-format on
  for (const auto& [code, privilege] : known)
    EXPECT_EQ(extract.DecodePrivilege(code), privilege) << code;
  EXPECT_EQ(extract.GetMsgManager()->Count(), 0);
  for (const std::int32_t code : {0, 194, 206, 999})
    EXPECT_EQ(extract.DecodePrivilege(code), std::nullopt) << code;
  EXPECT_NE(test::DumpMessages(*extract.GetMsgManager())
                .find("Unknown privilege code on grant decode: 194"),
            std::string::npos);
}

// Recorded stand-in: no MS SQL Server runs here. Only what sp_helprole calls
// an application role is one; the fixed roles and public are not read; a
// user's memberships (one sp_helpuser row each) become sp_addrolemember.
TEST(MSSQLExtract, RolesUsersAndMemberships) {
  ReplayRun run(ReplayRun::Load("mssql2000"));
  ASSERT_TRUE(run.extract.ExtractDatabase());
  TObjs& o = run.Objs();
  std::vector<std::string> names;
  for (int i = 0; i < o.Roles.Count(); ++i) names.push_back(o.Roles.Name(i));
  EXPECT_THAT(names,
              ::testing::ElementsAre("Role: CLERKS", "Role: REPORTAPP", "User: BOB", "User: MARY"));
  EXPECT_EQ(o.Roles.FindObject("Role: CLERKS")->AppRole, "");
  EXPECT_NE(o.Roles.FindObject("Role: REPORTAPP")->AppRole, "");
  EXPECT_EQ(o.Roles.FindObject("User: MARY")->LoginName, "SHOP\\MARY");
  const std::string script = run.Script();
  for (const char* line : {"exec sp_addrole N'CLERKS'", "exec sp_addapprole N'REPORTAPP', N''",
                           "exec sp_addrolemember N'CLERKS', N'MARY'",
                           "exec sp_addrolemember N'DB_DATAREADER', N'MARY'"})
    EXPECT_NE(script.find(std::string(line) + "\r\n"), std::string::npos) << line;
  EXPECT_EQ(script.find("sp_addapprole N'CLERKS'"), std::string::npos);
  EXPECT_EQ(script.find("PUBLIC'"), std::string::npos);
}

// Recorded stand-in: no MS SQL Server runs here. On the 2000 tables the key
// columns come from sp_helpindex, asked with the table's own spelling in
// brackets (a case-sensitive database, a name with blanks); a failing
// query is reported with both query texts and fails the run, while the
// other constraints are still read.
TEST(MSSQLExtract, UniqueKeyColumnsAreAskedByTheCatalogSpellingAndAFailureIsReported) {
  {
    ReplayRun run(ReplayRun::Load("mssql2000"));
    run.Options().MSSQLCompareOptions.CaseSensitiveIdentifiers = true;
    ASSERT_TRUE(run.extract.ExtractDatabase()) << (run.errors.empty() ? "" : run.errors[0]);
    EXPECT_THAT(run.replay->Mismatches(), ::testing::IsEmpty());
    TCtrData* uq = FindConstraint(run.Objs(), "UQ_Customer_Phone");
    ASSERT_NE(uq, nullptr);
    EXPECT_EQ(KeyText(uq->Columns), "Phone");
  }
  test::TReplayScript script = ReplayRun::Load("mssql2000");
  for (test::TReplayStatement& st : script.Statements)
    if (st.SQL == "exec sp_helpindex :TABLE" &&
        std::get<std::string>(st.Params[0].second) == "[dbo].[Customer]")
      st.Error = "Could not find stored procedure 'sp_helpindex'.";
  ReplayRun run(std::move(script));
  // The unique constraints are the first to ask for the key columns.
  run.extract.SetExtractObjects(
      TCmpObjSetType::All().Exclude(TCmpObjType::coIndex).Exclude(TCmpObjType::coPrimaryKey));
  EXPECT_FALSE(run.extract.ExtractDatabase());
  EXPECT_EQ(run.errors,
            std::vector<std::string>{"Could not find stored procedure 'sp_helpindex'."});
  EXPECT_THAT(run.log, ::testing::Contains("exec sp_helpindex :TABLE"));
  EXPECT_EQ(FindConstraint(run.Objs(), "UQ_CUSTOMER_PHONE"), nullptr);
  // The steps after it ran.
  EXPECT_NE(FindConstraint(run.Objs(), "FK_ORDERS_CUSTOMER"), nullptr);
  EXPECT_THAT(run.log, ::testing::Contains("Parsing bodies..."));
}

// Recorded stand-in: no MS SQL Server runs here. An index whose key columns
// sp_helpindex does not report would be written as CREATE INDEX with no
// columns: it is left out with a note instead.
TEST(MSSQLExtract, AnIndexWithoutKeyColumnsIsLeftOutWithANote) {
  test::TReplayScript script = ReplayRun::Load("mssql2000");
  for (test::TReplayStatement& st : script.Statements)
    if (st.SQL == "exec sp_helpindex :TABLE")
      std::erase_if(st.Rows, [](const auto& row) {
        return std::get<std::string>(row[0]) == "IX_Customer_Name";
      });
  ReplayRun run(std::move(script));
  ASSERT_TRUE(run.extract.ExtractDatabase());
  EXPECT_EQ(FindIndex(run.Objs(), "IX_CUSTOMER_NAME"), nullptr);
  EXPECT_NE(FindIndex(run.Objs(), "IX_ORDERS_QTY"), nullptr);
  EXPECT_THAT(run.log, ::testing::Contains(
                           "Index DBO.IX_CUSTOMER_NAME of Customer: no key columns found; it is "
                           "not scripted"));
}

// Recorded stand-in: no MS SQL Server runs here. On the 2000 tables an index
// row is joined to a key constraint by table and name: a name alone finds
// another table's index of that name (duplicate rows, a wrong clustered
// flag). The reviewed statements of the fixture hold the joins.
TEST(MSSQLExtract, The2000KeyQueriesJoinIndexRowsByTableAndName) {
  ReplayRun run(ReplayRun::Load("mssql2000"));
  ASSERT_TRUE(run.extract.ExtractDatabase());
  std::vector<std::string> joins;
  for (const test::TReplayStatement& st : run.replay->Script().Statements) {
    if (st.Uses == 0) continue;
    for (const char* join : {"join dbo.sysindexes i on i.id = o.parent_obj and i.name = o.name",
                             "join sysindexes i on i.id = o.parent_obj and i.name = o.name",
                             "where c.parent_obj = i.id and c.name = i.name"})
      if (st.SQL.find(join) != std::string::npos) joins.push_back(join);
    EXPECT_EQ(st.SQL.find("on i.name = "), std::string::npos) << st.SQL;
  }
  EXPECT_EQ(joins.size(), 3u);
}

// Recorded stand-in: no MS SQL Server runs here. A sysdepends row becomes an
// edge when both of its objects were read; a row naming an object the run
// did not read (filtered or of a kind left out) adds nothing.
TEST(MSSQLExtract, SysdependsRowsLinkTheObjectsThatWereRead) {
  auto edges = [](TDbObj* obj) {
    std::vector<std::string> out;
    for (int i = 0; i < obj->DependsOn().Count(); ++i)
      if (const TDependObj* d = obj->DependsOn().Object(i); d && d->Target)
        out.push_back(d->Target->GetQualifiedName());
    std::sort(out.begin(), out.end());
    return out;
  };
  ReplayRun run(ReplayRun::Load("mssql2000"));
  run.extract.SetExtractObjects(TCmpObjSetType::All().Exclude(TCmpObjType::coProcedure));
  ASSERT_TRUE(run.extract.ExtractDatabase());
  TObjs& o = run.Objs();
  EXPECT_EQ(o.Procedures.Count(), 0);
  EXPECT_THAT(edges(o.FindView("DBO.VORDERS")),
              ::testing::IsSupersetOf({"DBO.CUSTOMER", "SALES.ORDERS"}));
  EXPECT_THAT(edges(o.FindView("DBO.VCUSTOMERNAMES")), ::testing::Contains("DBO.CUSTOMER"));
}

// Recorded stand-in: no MS SQL Server runs here. The same model written for
// InterBase and PostgreSQL names every object: written, or left out with a
// comment; a column default constraint, which neither has, goes with its
// column as its DEFAULT (or in a comment naming it); a DENY, which neither
// has, is never written as a GRANT.
TEST_P(MSSQLExtractGeneration, WrittenForAnotherDialectEveryObjectIsNamed) {
  const Generation& g = GetParam();
  for (const TDatabaseType dialect : {TDatabaseType::dbInterBase, TDatabaseType::dbPostgreSQL}) {
    SCOPED_TRACE(static_cast<int>(dialect));
    ReplayRun run(ReplayRun::Load(g.fixture));
    run.Options().SQLServerVersion = g.configured;
    ASSERT_TRUE(run.extract.ExtractDatabase());
    TObjs& o = run.Objs();
    o.SetServerType(dialect);
    const std::string script = UpperAscii(run.Script());
    auto named = [&script](const std::string& name) {
      return script.find(UpperAscii(name)) != std::string::npos;
    };
    auto check = [&](auto& list) {
      for (int i = 0; i < list.Count(); ++i)
        if (TDbObj* obj = list.Object(i)) {
          EXPECT_TRUE(named(obj->GetName().empty() ? obj->SystemName : obj->GetName()))
              << obj->ClassName() << " " << obj->GetQualifiedName();
        }
    };
    check(o.Tables);
    check(o.Views);
    check(o.Procedures);
    check(o.Triggers);
    check(o.Indices);
    check(o.Roles);
    int defaults = 0;
    for (int i = 0; i < o.Constraints.Count(); ++i) {
      TCtrData* c = o.Constraints.Object(i);
      if (!c) continue;
      const std::string name = c->GetName().empty() ? c->SystemName : c->GetName();
      if (c->GetConstraintType() != ct::Default) {
        EXPECT_TRUE(named(name)) << c->GetQualifiedName();
        continue;
      }
      ++defaults;
      ASSERT_EQ(c->Columns.Count(), 1) << name;
      TTblData* table = nullptr;
      for (int t = 0; t < o.Tables.Count() && !table; ++t)
        if (TTblData* tb = o.Tables.Object(t);
            tb->GetName() == c->GetTableName() && tb->GetParentName() == c->GetParentName())
          table = tb;
      ASSERT_NE(table, nullptr) << name;
      TFldData* column = table->FindField(c->Columns.Name(0));
      ASSERT_NE(column, nullptr) << name;
      const std::string def = c->ColumnDefaultText();
      if (def.empty()) {
        EXPECT_TRUE(named("DEFAULT NOT WRITTEN, ITS EXPRESSION IS MS SQL'S OWN: " + name)) << name;
      } else {
        EXPECT_EQ(column->GetDefaultText(), def) << name;
        EXPECT_TRUE(named(column->GetCreateSQL())) << name << ": " << column->GetCreateSQL();
      }
    }
    EXPECT_GT(defaults, 0);
    int denies = 0;
    for (int i = 0; i < o.Grants.Count(); ++i) {
      TGntData* gr = o.Grants.Object(i);
      if (!gr->Deny) continue;
      ++denies;
      EXPECT_TRUE(gr->GetCreateSQL().empty());
    }
    std::size_t comments = 0;
    for (std::size_t at = script.find("THIS DIALECT HAS NO DENY"); at != std::string::npos;
         at = script.find("THIS DIALECT HAS NO DENY", at + 1))
      ++comments;
    EXPECT_EQ(comments, static_cast<std::size_t>(denies));
    EXPECT_GT(denies, 0);
  }
}

// Recorded stand-in: no MS SQL Server runs here. The 2019 fixture's stored
// definitions rewritten as the server's script generator writes them, with
// every name and system type bracketed: each is re-parsed to the same
// parameters, result and edges as its bare form.
TEST(MSSQLExtract, StoredDefinitionsWithBracketedTypesReparseWithTheirEdges) {
  test::TReplayScript script = ReplayRun::Load("mssql2019_level130");
  const std::pair<const char*, const char*> rewritten[] = {
      {"p_Hire",
       "CREATE PROCEDURE [hr].[p_Hire] @id [int], @note [nvarchar](50) = NULL OUTPUT\r\nAS\r\n"
       "BEGIN\r\n  DELETE FROM [hr].[Candidate] WHERE [Id] = CAST(@id AS [int]);\r\nEND"},
      {"fn_Grade",
       "CREATE FUNCTION [hr].[fn_Grade] (@score [decimal](5, 2))\r\nRETURNS [char](1)\r\n"
       "WITH SCHEMABINDING\r\nAS\r\nBEGIN\r\n  DECLARE @g [varchar](max) = 'B'\r\n"
       "  RETURN CASE WHEN @score >= 90 THEN 'A' ELSE CONVERT([char](1), @g) END\r\nEND"},
  };
  int replaced = 0;
  for (test::TReplayStatement& st : script.Statements) {
    const auto def = std::find(st.Columns.begin(), st.Columns.end(), "definition");
    const auto name = std::find(st.Columns.begin(), st.Columns.end(), "name");
    if (def == st.Columns.end() || name == st.Columns.end()) continue;
    for (auto& row : st.Rows)
      for (const auto& [object, text] : rewritten)
        if (const auto* n = std::get_if<std::string>(&row[name - st.Columns.begin()]);
            n && *n == object) {
          row[def - st.Columns.begin()] = std::string(text);
          ++replaced;
        }
  }
  ASSERT_EQ(replaced, 2);
  ReplayRun run(std::move(script));
  run.Options().SQLServerVersion = MSV::st_MSSQL2016;
  ASSERT_TRUE(run.extract.ExtractDatabase());
  const std::string messages = test::DumpMessages(*run.extract.GetMsgManager());
  EXPECT_EQ(messages.find("error"), std::string::npos) << messages;
  TObjs& o = run.Objs();

  TPrcData* hire = o.FindProcedure("HR.P_HIRE");
  ASSERT_NE(hire, nullptr);
  ASSERT_EQ(hire->InParams.Count(), 2);
  EXPECT_EQ(hire->InParams.Object(0)->DataType, dt::INTEGER);
  const TFldData* note = hire->InParams.Object(1);
  EXPECT_EQ(note->DataType, dt::NVARCHAR);
  EXPECT_EQ(note->Length, 50);
  EXPECT_EQ(note->ParamDirection, 2);
  std::vector<std::string> edges;
  for (int i = 0; i < hire->DependsOn().Count(); ++i)
    if (const TDependObj* d = hire->DependsOn().Object(i); d && d->Target)
      edges.push_back(d->Target->GetQualifiedName());
  EXPECT_THAT(edges, ::testing::Contains("HR.CANDIDATE"));

  TPrcData* grade = o.FindProcedure("HR.FN_GRADE");
  ASSERT_NE(grade, nullptr);
  ASSERT_EQ(grade->InParams.Count(), 1);
  EXPECT_EQ(grade->InParams.Object(0)->DataType, dt::DECIMAL);
  EXPECT_EQ(grade->InParams.Object(0)->Precision, 5);
  EXPECT_EQ(grade->InParams.Object(0)->Scale, 2);
  ASSERT_EQ(grade->OutParams.Count(), 1);
  EXPECT_EQ(grade->OutParams.Object(0)->DataType, dt::CHAR);
  EXPECT_EQ(grade->OutParams.Object(0)->Length, 1);
}

// ------------------------------------------------------------------ errors

TEST(MSSQLExtract, EachMissingPropertyIsReportedWithItsText) {
  struct Case {
    const char* name;
    bool connection, type, structure;
    const char* text;
  };
  const Case cases[] = {
      {"no connection", false, true, true,
       "TMSSQLDBExtract.ExtractDatabase(): Connection property not assigned."},
      {"abstract connection", true, false, true,
       "TMSSQLDBExtract.ExtractDatabase(): ConnectionType in Connection not specified."},
      {"no structure", true, true, false,
       "TMSSQLDBExtract.ExtractDatabase(): DBStructure not assigned."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReplayRun run(ReplayRun::Load("mssql2000"));
    TQORConnection plain;  // no binding chosen: abstract
    if (!c.connection) run.extract.SetQORConnection(nullptr);
    if (!c.type) run.extract.SetQORConnection(&plain);
    if (!c.structure) run.extract.SetDBStructure(nullptr);
    EXPECT_FALSE(run.extract.ExtractDatabase());
    EXPECT_EQ(run.errors, std::vector<std::string>{c.text});
    EXPECT_NE(test::DumpMessages(*run.extract.GetMsgManager()).find(c.text), std::string::npos);
    EXPECT_FALSE(run.connection.GetConnected());
    // Nothing was asked of the server.
    EXPECT_EQ(run.replay->UnusedStatements().size(), run.replay->Script().Statements.size());
    run.extract.SetQORConnection(nullptr);
  }
}

// Recorded stand-in: no MS SQL Server runs here.
TEST(MSSQLExtract, AQueryFailingInsideAStepEndsTheRunDisconnected) {
  test::TReplayScript script = ReplayRun::Load("mssql2008_level100");
  // The columns of the second table.
  int failing = -1;
  for (std::size_t i = 0; i < script.Statements.size(); ++i) {
    const test::TReplayStatement& st = script.Statements[i];
    if (st.SQL.find("from sys.columns c") != std::string::npos && !st.Params.empty() &&
        std::get<std::string>(st.Params[0].second) == "Sales")
      failing = static_cast<int>(i);
  }
  ASSERT_GE(failing, 0);
  const std::string message = "Invalid column name 'is_persisted'.";
  script.Statements[static_cast<std::size_t>(failing)].Error = message;
  ReplayRun run(std::move(script));
  EXPECT_FALSE(run.extract.ExtractDatabase());
  EXPECT_EQ(run.errors, std::vector<std::string>{message});
  EXPECT_FALSE(run.connection.GetConnected());
  // What was read before stays; the step went no further.
  EXPECT_NE(run.Objs().FindTable("DBO.ORDERS"), nullptr);
  EXPECT_EQ(run.Objs().FindTable("SALES.ORDERS"), nullptr);
  EXPECT_EQ(run.steps.back(), "Tables@2");
  EXPECT_THAT(run.log, ::testing::Not(::testing::Contains("Parsing bodies...")));
}

// Recorded stand-in: no MS SQL Server runs here. A stop requested inside a
// step ends the run after that step, and the run reports false.
TEST(MSSQLExtract, AStopEndsTheRunAfterTheCurrentStep) {
  struct Case {
    int stopAt;            // the progress position at which the stop is asked
    const char* lastStep;  // the last step begun
  };
  for (const Case c : {Case{1, "Types@0"}, Case{3, "Tables@2"}, Case{7, "Indexes@6"}}) {
    SCOPED_TRACE(c.lastStep);
    ReplayRun run(ReplayRun::Load("mssql2008_level100"));
    run.OnProgress = [&c](int p) {
      if (p == c.stopAt) StopRequested = true;
    };
    EXPECT_FALSE(run.extract.ExtractDatabase());
    StopRequested = false;
    EXPECT_THAT(run.errors, ::testing::IsEmpty());
    EXPECT_EQ(run.steps.back(), c.lastStep);
    EXPECT_EQ(run.log.back(), "Extraction stopped.");
    EXPECT_THAT(run.log, ::testing::Not(::testing::Contains("Parsing bodies...")));
    EXPECT_FALSE(run.connection.GetConnected());
    EXPECT_EQ(run.progress.back().first, c.stopAt);
  }
}

// Recorded stand-in: no MS SQL Server runs here. The body parser gives up
// the remaining texts once a stop is asked for, so a stop during the last
// step leaves a half-linked model: the run is no success.
TEST(MSSQLExtract, AStopWhileTheBodiesAreParsedFailsTheRun) {
  ReplayRun run(ReplayRun::Load("mssql2008_level100"));
  run.extract.OnLogNextLine = [&run](TObject*, const std::string& t) {
    run.log.push_back(t);
    if (t == "Parsing bodies...") StopRequested = true;
  };
  EXPECT_FALSE(run.extract.ExtractDatabase());
  StopRequested = false;
  EXPECT_THAT(run.errors, ::testing::IsEmpty());
  EXPECT_EQ(run.steps.back(), "Dependencies@13");
  EXPECT_EQ(run.log.back(), "Extraction stopped.");
  EXPECT_FALSE(run.connection.GetConnected());
}

// -------------------------------------------------------- shared operations

TEST(MSSQLExtract, DataTypesMapFromTheCatalogNames) {
  TDBStructure structure;
  TMSSQLDBExtract extract;
  extract.SetDBStructure(&structure);
  TObjs& o = *structure.GetObjs();
  o.SetServerType(TDatabaseType::dbMSSQL);
  auto domain = std::make_unique<TDmnData>(&o);
  domain->SetName("Money2");
  o.AddObject(domain.release(), true);
  struct Case {
    const char* type;
    std::int32_t length, precision, scale;
    std::uint8_t dataType;
    std::int32_t wantLength, wantPrecision, wantScale;
  };
  // clang-format off
  const Case cases[] = {
      {"nvarchar", -1, 0, 0, dt::NVARCHAR, -1, 0, 0},      // MAX
      {"nvarchar", 40, 0, 0, dt::NVARCHAR, 20, 0, 0},      // bytes, two a character
      {"nchar", 10, 0, 0, dt::NCHAR, 5, 0, 0},
      {"varbinary", -1, 0, 0, dt::VARBINARY, -1, 0, 0},
      {"varchar", 30, 0, 0, dt::VARCHAR, 30, 0, 0},
      {"decimal", 9, 12, 3, dt::DECIMAL, 0, 12, 3},
      {"float", 8, 53, 0, dt::FLOAT, 0, 53, 0},
      {"datetime2", 8, 27, 7, dt::DATETIME2, 0, 7, 0},
      {"time", 3, 8, 0, dt::TIME, 0, 0, 0},
      {"datetimeoffset", 10, 34, 7, dt::DATETIMEOFFSET, 0, 7, 0},
      {"int", 4, 10, 0, dt::INTEGER, 0, 0, 0},
      {"xml", -1, 0, 0, dt::XML, 0, 0, 0},
      {"Money2", 8, 19, 4, dt::UserType, 0, 0, 0},         // a domain of the collection
      {"geography", -1, 0, 0, dt::Unknown, 0, 0, 0},       // neither: left as it was
      {"INT", 4, 10, 0, dt::Unknown, 0, 0, 0},             // the catalog spells it lower case
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + std::to_string(c.length));
    TFldData f(&o, nullptr);
    extract.MapDataType(f, c.type, c.length, c.precision, c.scale, /*nullable=*/false);
    EXPECT_EQ(f.DataType, c.dataType);
    EXPECT_EQ(f.Length, c.wantLength);
    EXPECT_EQ(f.Precision, c.wantPrecision);
    EXPECT_EQ(f.Scale, c.wantScale);
    EXPECT_FALSE(f.Nullable);
  }
  // Every code the table maps to writes the server's own type name.
  for (const char* name : {"bigint", "binary", "bit", "char", "datetime", "image", "money", "ntext",
                           "real", "smalldatetime", "smallint", "smallmoney", "sql_variant",
                           "sysname", "text", "timestamp", "tinyint", "uniqueidentifier", "date"}) {
    TFldData f(&o, nullptr);
    extract.MapDataType(f, name, 0, 0, 0, true);
    EXPECT_EQ(DataTypeName(f.DataType), UpperAscii(name)) << name;
  }
}

TEST(MSSQLExtract, ObjectsAreFoundByCatalogIdInListOrder) {
  TDBStructure structure;
  TMSSQLDBExtract extract;
  extract.SetDBStructure(&structure);
  TObjs& o = *structure.GetObjs();
  o.SetServerType(TDatabaseType::dbMSSQL);
  auto add = [&o](std::unique_ptr<TDbObj> obj, const char* name, std::int32_t id) {
    obj->SetName(name);
    obj->ObjectId = id;
    TDbObj* raw = obj.release();
    EXPECT_TRUE(o.AddObject(raw, true));
    return raw;
  };
  TDbObj* table = add(std::make_unique<TTblData>(&o), "T", 7);
  TDbObj* rule = add(std::make_unique<TRulData>(&o), "R", 7);  // ids of two kinds may meet
  TDbObj* def = add(std::make_unique<TDefData>(&o), "D", 9);
  EXPECT_EQ(extract.FindObjectById(7), rule);  // rules come first
  EXPECT_EQ(extract.FindObjectById(9), def);
  EXPECT_EQ(TMSSQLDBExtract::FindObjectInList(o.Tables, 7), table);
  EXPECT_EQ(extract.FindObjectById(0), nullptr);
  EXPECT_EQ(extract.FindObjectById(8), nullptr);
}

TEST(MSSQLExtract, ToolsSupportFilterIsALineFromLevel90) {
  TDBStructure structure;
  TMSSQLDBExtract extract;
  extract.SetDBStructure(&structure);
  TMSSQLDatabaseOptions& d = structure.GetObjs()->MSSQLServerOptions.MSSQLDatabaseOptions;
  d.CompatibilityLevel = 80;
  EXPECT_EQ(extract.ToolsSupportFilter("o", "s"), "");
  d.CompatibilityLevel = 90;
  EXPECT_EQ(extract.ToolsSupportFilter("o", "s"),
            "AND (isnull((select value from [fn_listextendedproperty] "
            "('microsoft_database_tools_support', 'SCHEMA', s.name, 'TABLE', o.name, null, null)), "
            "0) = 0)");
  EXPECT_FALSE(extract.IsCompatibilityLevel130());
  d.CompatibilityLevel = 130;
  EXPECT_TRUE(extract.IsCompatibilityLevel130());
}

}  // namespace
}  // namespace qor
