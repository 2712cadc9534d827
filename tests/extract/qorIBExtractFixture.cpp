#include "tests/extract/qorIBExtractFixture.h"

#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "platform/qorStrings.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorTestEnv.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <memory>
#include <sstream>

namespace qor::test {

namespace {

const std::string& Build(const char* file, const std::string& script, std::string& error,
                         std::string& cachedPath, std::string& cachedError, bool& done) {
  if (!done) {
    done = true;
    if (script.empty()) {
      cachedError = std::string("no script for ") + file;
    } else {
      const std::string path = FreshTestFile(file);
      const TFirebirdReplayResult r = BuildFirebirdDatabase(path, script);
      if (r.Ok) cachedPath = path;
      else cachedError = r.Errors;
    }
  }
  error = cachedError;
  return cachedPath;
}

std::string Text(TQORQuery& q, const char* column) {
  return TrimCtl(q.FieldByName(column)->AsString());
}
int Int(TQORQuery& q, const char* column) {
  return static_cast<int>(q.FieldByName(column)->AsLargeInt());
}

template <class Fn>
void ForRows(TQORConnection& c, const std::string& sql, Fn fn) {
  std::unique_ptr<TQORQuery> q = c.CreateQuery();
  q->GetSQL()->SetText(sql);
  q->Open();
  for (; !q->Eof(); q->Next()) fn(*q);
  q->Close();
}

}  // namespace

namespace {

std::string DataFile(const char* name) {
  std::ifstream in(std::string(QOR_TEST_DATA_DIR) + "/extract/" + name);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

std::string CatalogFixtureScript() { return DataFile("ib_catalog.sql"); }

std::string EveryKindScript() {
  const std::string extra = DataFile("ib_every_kind.sql");
  if (extra.empty()) return extra;
  return CatalogFixtureScript() + "\n" + extra;
}

const std::string& EveryKindDatabase(std::string& error) {
  static std::string path, failure;
  static bool done = false;
  return Build("every_kind.fdb", EveryKindScript(), error, path, failure, done);
}

const std::string& EmployeeDatabase(std::string& error) {
  static std::string path, failure;
  static bool done = false;
  return Build("employee.fdb", EmployeeSampleScript(), error, path, failure, done);
}

const std::string& CatalogFixtureDatabase(std::string& error) {
  static std::string path, failure;
  static bool done = false;
  return Build("catalog.fdb", CatalogFixtureScript(), error, path, failure, done);
}

TCatalog ReadCatalog(TQORConnection& c) {
  TCatalog cat;
  c.SetConnected(true);
  if (!c.GetConnected()) return cat;
  const std::string user = " coalesce(rdb$system_flag, 0) = 0 ";
  ForRows(c, "select rdb$character_set_name n from rdb$database",
          [&](TQORQuery& q) { cat.dbCharSet = Text(q, "N"); });
  ForRows(c,
          "select rdb$field_name n from rdb$fields where" + user +
              "and rdb$field_name not starting 'RDB$' order by 1",
          [&](TQORQuery& q) { cat.domains.push_back(Text(q, "N")); });
  ForRows(c,
          "select rdb$relation_name n, rdb$view_blr is null t from rdb$relations where" + user +
              "order by 1",
          [&](TQORQuery& q) {
            (q.FieldByName("T")->AsBoolean() ? cat.tables : cat.views).push_back(Text(q, "N"));
          });
  ForRows(c,
          "select rdb$function_name n from rdb$functions where" + user +
              "and rdb$package_name is null order by 1",
          [&](TQORQuery& q) { cat.functions.push_back(Text(q, "N")); });
  ForRows(c,
          "select r.rdb$relation_name rel, r.rdb$field_name n, r.rdb$field_source src,"
          " f.rdb$field_type typ, coalesce(f.rdb$field_sub_type, 0) sub, f.rdb$field_length len,"
          " coalesce(f.rdb$character_length, 0) chars, coalesce(f.rdb$field_scale, 0) scale,"
          " coalesce(f.rdb$segment_length, 0) seg, f.rdb$field_precision prec,"
          " coalesce(r.rdb$null_flag, 0) nn,"
          " r.rdb$default_source def, f.rdb$default_source fdef,"
          " f.rdb$computed_source comp, cs.rdb$character_set_name cs,"
          " co.rdb$collation_name coll, r.rdb$identity_type ident,"
          " g.rdb$initial_value ident_start"
          " from rdb$relation_fields r"
          " join rdb$relations t on t.rdb$relation_name = r.rdb$relation_name"
          " join rdb$fields f on f.rdb$field_name = r.rdb$field_source"
          " left join rdb$character_sets cs on cs.rdb$character_set_id = f.rdb$character_set_id"
          " left join rdb$collations co on co.rdb$character_set_id = f.rdb$character_set_id"
          "  and co.rdb$collation_id = coalesce(r.rdb$collation_id, f.rdb$collation_id)"
          " left join rdb$generators g on g.rdb$generator_name = r.rdb$generator_name"
          " where coalesce(t.rdb$system_flag, 0) = 0 and t.rdb$view_blr is null"
          " order by r.rdb$relation_name, r.rdb$field_position",
          [&](TQORQuery& q) {
            TCatalogColumn col;
            col.relation = Text(q, "REL");
            col.name = Text(q, "N");
            col.fieldSource = Text(q, "SRC");
            col.fieldType = Int(q, "TYP");
            col.subType = Int(q, "SUB");
            col.length = Int(q, "LEN");
            col.charLength = Int(q, "CHARS");
            col.scale = Int(q, "SCALE");
            col.segmentLength = Int(q, "SEG");
            if (!q.FieldByName("PREC")->IsNull()) col.precision = Int(q, "PREC");
            col.notNull = Int(q, "NN") != 0;
            col.defaultSource = Text(q, "DEF");
            col.domainDefaultSource = Text(q, "FDEF");
            col.computedSource = Text(q, "COMP");
            if (!q.FieldByName("CS")->IsNull()) col.charSet = Text(q, "CS");
            col.collation = Text(q, "COLL");
            col.identity = !q.FieldByName("IDENT")->IsNull();
            if (col.identity) col.identityStart = q.FieldByName("IDENT_START")->AsLargeInt();
            cat.columns.push_back(std::move(col));
          });
  for (TCatalogColumn& col : cat.columns) {
    std::unique_ptr<TQORQuery> q = c.CreateQuery();
    q->GetSQL()->SetText(
        "select rdb$lower_bound lo, rdb$upper_bound hi from rdb$field_dimensions"
        " where rdb$field_name = :f order by rdb$dimension");
    q->ParamByName("f")->SetAsString(col.fieldSource);
    q->Open();
    for (; !q->Eof(); q->Next()) col.bounds.emplace_back(Int(*q, "LO"), Int(*q, "HI"));
  }
  ForRows(c,
          "select distinct d.rdb$dependent_name v, d.rdb$depended_on_name r,"
          " coalesce(d.rdb$field_name, '') f from rdb$dependencies d"
          " join rdb$relations x on x.rdb$relation_name = d.rdb$dependent_name"
          " where d.rdb$dependent_type = 1 and d.rdb$depended_on_type in (0, 1)"
          " and coalesce(x.rdb$system_flag, 0) = 0 order by 1, 2, 3",
          [&](TQORQuery& q) {
            cat.viewDependencies[Text(q, "V")].emplace_back(Text(q, "R"), Text(q, "F"));
          });
  // Key columns by index, then each constraint and free index described.
  std::map<std::string, std::string> segments;
  ForRows(c,
          "select rdb$index_name i, rdb$field_name f from rdb$index_segments"
          " order by rdb$index_name, rdb$field_position",
          [&](TQORQuery& q) {
            std::string& list = segments[Text(q, "I")];
            list += (list.empty() ? "" : ",") + Text(q, "F");
          });
  ForRows(c,
          "select rc.rdb$constraint_type typ, rc.rdb$relation_name rel, rc.rdb$index_name idx,"
          " i2.rdb$relation_name ref, i2.rdb$index_name refidx"
          " from rdb$relation_constraints rc"
          " join rdb$relations r on r.rdb$relation_name = rc.rdb$relation_name"
          " left join rdb$indices i1 on i1.rdb$index_name = rc.rdb$index_name"
          " left join rdb$indices i2 on i2.rdb$index_name = i1.rdb$foreign_key"
          " where coalesce(r.rdb$system_flag, 0) = 0"
          " and rc.rdb$constraint_type in ('PRIMARY KEY', 'UNIQUE', 'FOREIGN KEY', 'CHECK')",
          [&](TQORQuery& q) {
            const std::string typ = Text(q, "TYP");
            std::string d = typ + " " + Text(q, "REL");
            if (typ != "CHECK") d += "(" + segments[Text(q, "IDX")] + ")";
            if (typ == "FOREIGN KEY")
              d += ">" + Text(q, "REF") + "(" + segments[Text(q, "REFIDX")] + ")";
            cat.keys.push_back(d);
          });
  ForRows(c,
          "select i.rdb$index_name idx, i.rdb$relation_name rel from rdb$indices i"
          " join rdb$relations r on r.rdb$relation_name = i.rdb$relation_name"
          " where coalesce(r.rdb$system_flag, 0) = 0 and i.rdb$index_name not starting 'RDB$'"
          " and not exists (select 1 from rdb$relation_constraints rc"
          " where rc.rdb$index_name = i.rdb$index_name)",
          [&](TQORQuery& q) {
            cat.keys.push_back("INDEX " + Text(q, "REL") + "(" + segments[Text(q, "IDX")] + ")");
          });
  std::sort(cat.keys.begin(), cat.keys.end());
  c.SetConnected(false);
  return cat;
}

std::vector<std::string> KeyDescriptions(TObjs& o) {
  auto names = [](const TFieldList& list) {
    std::string s;
    for (int i = 0; i < list.Count(); ++i) s += (i ? "," : "") + list.Name(i);
    return s;
  };
  static const char* const kTypes[] = {"PRIMARY KEY", "UNIQUE", "FOREIGN KEY", "CHECK"};
  std::vector<std::string> out;
  for (int i = 0; i < o.Constraints.Count(); ++i) {
    TCtrData* k = o.Constraints.Value(i).get();
    const int t = k->GetConstraintType();
    if (t > 3) continue;
    std::string d = std::string(kTypes[t]) + " " + k->GetTableName();
    if (t != 3) d += "(" + names(k->Columns) + ")";
    if (t == 2) d += ">" + k->GetRefTableName() + "(" + names(k->RefColumns) + ")";
    out.push_back(d);
  }
  for (int i = 0; i < o.Indices.Count(); ++i) {
    TIdxData* x = o.Indices.Value(i).get();
    out.push_back("INDEX " + x->TableName + "(" + names(x->Columns) + ")");
  }
  std::sort(out.begin(), out.end());
  return out;
}

ExtractRun::ExtractRun() {
  extract.SetDBStructure(&structure);
  extract.SetQORConnection(&connection);
  extract.OnErrorMessage = [this](TObject*, const std::string& t) { errors.push_back(t); };
  extract.OnLogNextLine = [this](TObject*, const std::string& t) { log.push_back(t); };
  extract.OnProgressUpdate = [this](TObject*, int v, int m) { progress.push_back({v, m}); };
  extract.OnProgressStep = [this](TObject*, int mode, const std::string& caption, int, int) {
    if (mode == 0) steps.push_back(caption);
  };
  connection.OnErrorMessage = [this](TObject*, const std::string& t) {
    connectionErrors.push_back(t);
  };
  connection.SetConnectionType(TconnectionType::cnIBX);
  connection.SetDatabaseType(TDatabaseType::dbInterBase);
}

std::vector<TPrivilegeRow> ReadPrivileges(const std::string& path) {
  ExtractRun run;
  run.Embedded(path);
  TQORConnection& c = run.connection;
  c.SetConnected(true);
  std::vector<TPrivilegeRow> rows;
  EXPECT_TRUE(c.GetConnected()) << path;
  if (!c.GetConnected()) return rows;
  std::unique_ptr<TQORQuery> q = c.CreateQuery();
  q->GetSQL()->SetText(
      "select rdb$user, rdb$grantor, rdb$privilege, rdb$grant_option, rdb$relation_name,"
      " rdb$field_name, rdb$user_type, rdb$object_type from rdb$user_privileges");
  q->Open();
  // Names as stored but for the engine's right-hand padding.
  auto text = [&q](const char* column) { return TrimCtlRight(q->FieldByName(column)->AsString()); };
  auto number = [&q](const char* column) {
    return static_cast<int>(q->FieldByName(column)->AsLargeInt());
  };
  for (; !q->Eof(); q->Next()) {
    TPrivilegeRow r{text("RDB$USER"), text("RDB$GRANTOR"), text("RDB$PRIVILEGE"),
                    text("RDB$RELATION_NAME"), text("RDB$FIELD_NAME")};
    r.grantOption = number("RDB$GRANT_OPTION");
    r.userType = number("RDB$USER_TYPE");
    r.objectType = number("RDB$OBJECT_TYPE");
    rows.push_back(r);
  }
  q->Close();
  c.SetConnected(false);
  std::sort(rows.begin(), rows.end(),
            [](const TPrivilegeRow& a, const TPrivilegeRow& b) { return a.Text() < b.Text(); });
  return rows;
}

void ExtractRun::Embedded(const std::string& path) {
  connection.ConnectionOptions.Protocol = TQORProtocol::ptLocal;
  connection.ConnectionOptions.DatabaseName = path;
  connection.ConnectionOptions.UserName = "SYSDBA";
}

void ExtractRun::Server(const std::string& path, const std::string& password) {
  TConnectionOptions& o = connection.ConnectionOptions;
  o.HostName = kServerHost;
  o.Protocol = TQORProtocol::ptTCP;
  o.Port = 3050;
  o.UserName = kServerUser;
  o.Password = password;
  o.DatabaseName = path;
}

std::vector<std::string> FunctionNames(TObjs& o) {
  std::vector<std::string> out = Keys(o.Udfs);
  for (int i = 0; i < o.Procedures.Count(); ++i)
    if (o.Procedures.Value(i)->IsFunction) out.push_back(o.Procedures.Value(i)->GetName());
  std::sort(out.begin(), out.end());
  return out;
}

namespace {

// The default clause's value as a script writes it.
std::string BareDefault(std::string text) {
  text = TrimCtl(text);
  if (StartsText(text, "DEFAULT")) text = TrimCtl(text.substr(7));
  return text;
}

// The data type the catalog's codes stand for, worked out here on its own.
std::uint8_t ExpectedType(const TCatalogColumn& c) {
  const bool exactSub = c.subType == 1 || c.subType == 2;
  const std::uint8_t exact = c.subType == 2 ? dt::DECIMAL : dt::NUMERIC;
  switch (c.fieldType) {
    case 7: return exactSub ? exact : c.scale < 0 ? dt::NUMERIC : dt::SMALLINT;
    case 8: return exactSub ? exact : c.scale < 0 ? dt::NUMERIC : dt::INTEGER;
    case 16: return exactSub ? exact : c.scale < 0 ? dt::NUMERIC : dt::BIGINT;
    case 27: return c.scale < 0 ? dt::NUMERIC : dt::DOUBLE_PRECISION;
    case 10: return dt::FLOAT;
    case 12: return dt::DATE;
    case 13: return dt::TIME;
    case 35: return dt::TIMESTAMP;
    case 14: return c.charSet == "OCTETS" ? dt::BINARY : dt::CHAR;
    case 37: return c.charSet == "OCTETS" ? dt::VARBINARY : dt::VARCHAR;
    case 23: return dt::BOOLEAN;
    case 261: return dt::BLOB;
    default: return dt::Unknown;
  }
}

std::string EffectiveCollation(const TFldData& f) {
  if (!f.Collation.empty()) return f.Collation;
  if (const TDmnData* d = f.GetDomain(); d && !d->TypeHolder->Collation.empty())
    return d->TypeHolder->Collation;
  return f.GetEffectiveCharSet();
}

}  // namespace

// Every object and column the catalog holds, as the engine holds it.
void ExpectMatchesCatalog(TObjs& o, const TCatalog& cat) {
  EXPECT_EQ(Keys(o.Domains), cat.domains);
  EXPECT_EQ(Keys(o.Tables), cat.tables);
  EXPECT_EQ(Keys(o.Views), cat.views);
  EXPECT_EQ(FunctionNames(o), cat.functions);
  EXPECT_EQ(KeyDescriptions(o), cat.keys);
  std::map<std::string, int> columnsSeen;
  for (const TCatalogColumn& c : cat.columns) {
    SCOPED_TRACE(c.relation + "." + c.name);
    TTblData* t = o.FindTable(c.relation);
    ASSERT_NE(t, nullptr);
    const int ordinal = columnsSeen[c.relation]++;
    ASSERT_LT(ordinal, t->Fields.Count());
    EXPECT_EQ(t->Fields.Name(ordinal), c.name);  // in position order
    TFldData* f = t->FindField(c.name);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->SystemName, c.fieldSource);
    EXPECT_EQ(f->Nullable, !c.notNull);
    EXPECT_EQ(f->GetText(), NormalizeLineBreaks(c.computedSource));
    EXPECT_EQ(f->ArrayBounds, c.bounds);
    EXPECT_EQ(f->Identity, c.identity);
    EXPECT_EQ(f->IdentitySeed, c.identityStart);
    const bool ofDomain = !StartsWith(c.fieldSource, "RDB$");
    std::string def =
        BareDefault(c.defaultSource.empty() ? c.domainDefaultSource : c.defaultSource);
    if (ofDomain) {
      EXPECT_EQ(f->DataType, dt::UserType);
      EXPECT_EQ(f->DomainName, c.fieldSource);
      // The domain's own default is not repeated by its column; one the
      // column gives itself stays, even when it is the same.
      if (c.defaultSource.empty()) def.clear();
    } else {
      EXPECT_EQ(f->DataType, ExpectedType(c));
      if (f->DataType == dt::CHAR || f->DataType == dt::VARCHAR) {
        EXPECT_EQ(f->Length, c.charLength);
      }
      if (f->DataType == dt::NUMERIC || f->DataType == dt::DECIMAL) {
        EXPECT_EQ(f->Precision, c.precision.value_or(0));
        EXPECT_EQ(f->Scale, -c.scale);
      }
      if (f->DataType == dt::BLOB) {
        EXPECT_EQ(f->SubType, c.subType);
        EXPECT_EQ(f->SegmentSize, c.segmentLength);
      }
    }
    EXPECT_EQ(f->DefaultValue, def);
    if (f->IsCharType() && c.computedSource.empty()) {
      ASSERT_TRUE(c.charSet.has_value());
      EXPECT_EQ(f->GetEffectiveCharSet(), *c.charSet);
      EXPECT_EQ(EffectiveCollation(*f), c.collation);
    }
  }
  for (const auto& [name, count] : columnsSeen) {
    SCOPED_TRACE(name);
    EXPECT_EQ(o.FindTable(name)->Fields.Count(), count);
  }
  // The relations and columns each view reads, as the engine records them.
  for (int i = 0; i < o.Views.Count(); ++i) {
    TViwData* v = o.Views.Value(i).get();
    SCOPED_TRACE(v->GetName());
    std::set<std::pair<std::string, std::string>> got, want;
    for (int j = 0; j < v->DependsOn().Count(); ++j) {
      const TDependObj* e = v->DependsOn().Value(j).get();
      if (auto* col = dynamic_cast<TFldData*>(e->Target))
        got.insert({col->GetTableName(), col->GetName()});
      else if (dynamic_cast<TTblData*>(e->Target) || dynamic_cast<TViwData*>(e->Target))
        got.insert({e->Target->GetName(), e->FieldName});
    }
    auto it = cat.viewDependencies.find(v->GetName());
    if (it != cat.viewDependencies.end())
      for (const auto& d : it->second) want.insert(d);
    EXPECT_EQ(got, want);
  }
}

}  // namespace qor::test
