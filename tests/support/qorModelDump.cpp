// The model dump: a line writer that leaves out defaults, one function per
// object kind, and the corpus file helpers of the parser tests.
#include "tests/support/qorModelDump.h"

#include "base/qorMsgMngr.h"
#include "model/qorClasses.h"
#include "model/qorComp_Clt.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Evt.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Opr.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qor::test {

namespace {

namespace fs = std::filesystem;

// CR LF and lone CR made LF.
std::string Unix(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      s += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      continue;
    }
    s += text[i];
  }
  return s;
}

// A value on one line: line breaks as "\n", backslashes doubled so the two
// cannot be confused.
std::string OneLine(std::string_view text) {
  std::string s;
  for (char c : Unix(text)) {
    if (c == '\n') s += "\\n";
    else if (c == '\\') s += "\\\\";
    else s += c;
  }
  return s;
}

// The attributes of one line: "a b=1 c='x'"; empty values are left out.
class TAttrs {
 public:
  TAttrs& Word(std::string_view w, bool on = true) {
    if (on) Sep() += w;
    return *this;
  }
  TAttrs& Text(std::string_view key, std::string_view value) {
    if (!value.empty()) Sep().append(key).append("=").append(OneLine(value));
    return *this;
  }
  // Texts that may hold blanks are bracketed so the line stays readable.
  TAttrs& Quoted(std::string_view key, std::string_view value) {
    if (!value.empty()) Sep().append(key).append("=[").append(OneLine(value)).append("]");
    return *this;
  }
  TAttrs& Int(std::string_view key, long long value, long long unless = 0) {
    if (value != unless) Sep().append(key).append("=").append(std::to_string(value));
    return *this;
  }
  const std::string& Str() const { return s_; }

 private:
  std::string& Sep() {
    if (!s_.empty()) s_ += ' ';
    return s_;
  }
  std::string s_;
};

class TDumper {
 public:
  explicit TDumper(const TModelDumpOptions& options) : opt_(options) {}

  std::string Result() const { return out_.str(); }

  void Object(TDbObj& obj) {
    out_ << KindLabel(obj) << ' ' << Key(obj) << '\n';
    Common(obj);
    if (auto* o = dynamic_cast<TTblData*>(&obj)) Table(*o);
    else if (auto* o = dynamic_cast<TDmnData*>(&obj)) Domain(*o);
    else if (auto* o = dynamic_cast<TCtrData*>(&obj)) Constraint(*o);
    else if (auto* o = dynamic_cast<TIdxData*>(&obj)) Index(*o);
    else if (auto* o = dynamic_cast<TViwData*>(&obj)) View(*o);
    else if (auto* o = dynamic_cast<TPrcData*>(&obj)) Routine(*o);
    else if (auto* o = dynamic_cast<TTrgData*>(&obj)) Trigger(*o);
    else if (auto* o = dynamic_cast<TGnrData*>(&obj)) Generator(*o);
    else if (auto* o = dynamic_cast<TExcData*>(&obj)) Line("message", OneLine(o->Message));
    else if (auto* o = dynamic_cast<TUdfData*>(&obj)) Udf(*o);
    else if (auto* o = dynamic_cast<TRolData*>(&obj)) Role(*o);
    else if (auto* o = dynamic_cast<TGntData*>(&obj)) Grant(*o);
    else if (auto* o = dynamic_cast<TPkgData*>(&obj)) Package(*o);
    else if (auto* o = dynamic_cast<TCltData*>(&obj)) Collation(*o);
    else if (auto* o = dynamic_cast<TRulData*>(&obj)) Rule(*o);
    else if (auto* o = dynamic_cast<TDefData*>(&obj)) Line("expression", OneLine(o->Expression));
    else if (auto* o = dynamic_cast<TSchData*>(&obj)) Line("authorization", o->Authorization);
    else if (auto* o = dynamic_cast<TEvtData*>(&obj)) Event(*o);
    else if (auto* o = dynamic_cast<TOprData*>(&obj)) Operator(*o);
    else if (auto* o = dynamic_cast<TOpcData*>(&obj)) OperatorClass(*o);
    Depends(obj, "  ");
  }

  std::string Field(TFldData& f) {
    TAttrs a;
    if (f.DataType == dt::UserType) a.Text("domain", f.DomainName);
    else if (f.DataType != dt::Unknown) a.Word(DataTypeName(f.DataType));
    if (f.DataType != dt::UserType) a.Text("domain", f.DomainName);
    a.Text("domain-schema", f.DomainSchema)
        .Int("length", f.Length)
        .Int("precision", f.Precision)
        .Int("scale", f.Scale)
        .Int("subtype", f.SubType)
        .Int("segment", f.SegmentSize)
        .Text("charset", f.CharSet)
        .Text("collate", f.Collation);
    if (!f.ArrayBounds.empty()) {
      std::string b;
      for (const auto& [lo, hi] : f.ArrayBounds) {
        if (!b.empty()) b += ',';
        b += std::to_string(lo) + ':' + std::to_string(hi);
      }
      a.Text("array", "[" + b + "]");
    }
    a.Word("with-time-zone", f.WithTimeZone)
        .Word("with-local-time-zone", f.WithLocalTimeZone)
        .Word("not-null", !f.Nullable)
        .Word("unsigned", f.Unsigned)
        .Word("zerofill", f.ZeroFill)
        .Word("binary", f.BinaryAttr)
        .Word("auto-increment", f.AutoIncrement)
        .Word("identity", f.Identity)
        .Int("identity-seed", f.IdentitySeed)
        .Int("identity-increment", f.IdentityIncrement);
    if (!f.EnumValues.empty()) {
      std::string v;
      for (const std::string& e : f.EnumValues) v += (v.empty() ? "" : ",") + e;
      a.Quoted("values", v);
    }
    if (f.GeneratedKind) a.Text("generated", std::string(1, f.GeneratedKind));
    a.Quoted("generated-expr", f.GeneratedExpr)
        .Word("type-of", f.TypeOf)
        .Text("type-of-table", f.TypeOfTable)
        .Text("type-of-column", f.TypeOfColumn)
        .Int("direction", f.ParamDirection)
        .Word("by-value", f.ByValue)
        .Word("by-descriptor", f.ByDescriptor)
        .Int("return-param", f.ReturnParamNo)
        .Word("deterministic", f.Deterministic)
        .Int("sort", f.SortOrder)
        .Word("rowguidcol", f.RowGuidCol)
        .Word("persisted", f.Persisted)
        .Quoted("default", f.DefaultValue)
        .Text("check-name", f.CheckName)
        .Quoted("check", f.CheckText);
    if (opt_.Bodies) a.Quoted("computed", f.GetText());
    if (opt_.Descriptions) a.Quoted("description", f.GetDescription());
    return a.Str();
  }

 private:
  static std::string Key(TDbObj& obj) {
    const std::string k = obj.GetKeyName();
    return k.empty() ? "<unnamed>" : OneLine(k);
  }

  void Line(std::string_view key, std::string_view value) {
    if (!value.empty()) out_ << "  " << key << ": " << value << '\n';
  }

  void Block(std::string_view key, std::string_view text) {
    if (!opt_.Bodies || text.empty()) return;
    out_ << "  " << key << ":\n";
    std::istringstream in(Unix(text));
    std::string line;
    while (std::getline(in, line)) out_ << "    | " << line << '\n';
  }

  void Common(TDbObj& obj) {
    if (obj.GetName() != obj.GetKeyName()) Line("name", OneLine(obj.GetName()));
    Line("schema", obj.GetParentName());
    Line("owner", obj.OwnerQualifier);
    Line("system-name", obj.SystemName);
    if (obj.Suppressed) Line("suppressed", "yes");
    if (opt_.Descriptions) Line("description", OneLine(obj.GetDescription()));
  }

  // A column list: "name" for plain entries, "name: field" when the entry's
  // object says more than its name.
  void Fields(std::string_view label, const TFieldList& list) {
    for (int i = 0; i < list.Count(); ++i) {
      TFldData* f = list.Object(i);
      out_ << "  " << label << ' ' << i << ' ' << list.Name(i);
      if (f) {
        if (f->GetName() != list.Name(i)) out_ << " (" << f->GetName() << ')';
        const std::string text = Field(*f);
        if (!text.empty()) out_ << ": " << text;
      }
      out_ << '\n';
      if (f) Depends(*f, "    ");
    }
  }

  void Table(TTblData& t) {
    Line("external-file", t.ExternalFile);
    if (t.GlobalTemporary)
      Line("global-temporary", t.OnCommit == 1   ? "on commit delete rows"
                               : t.OnCommit == 2 ? "on commit preserve rows"
                                                 : "yes");
    Line("of-type", t.OfType);
    Line("as-query", OneLine(t.AsQuery));
    Line("tablespace", t.TablespaceName);
    Line("file-group", t.FileGroup);
    const TMySQLTableOptions& m = t.MySQLOptions;
    TAttrs my;
    my.Text("engine", m.Engine)
        .Text("auto-increment", m.AutoIncrement)
        .Text("charset", m.GetDefaultCharset())
        .Text("collate", m.DefaultCollate)
        .Text("pack-keys", m.PackKeys)
        .Text("row-format", m.RowFormat)
        .Int("avg-row-length", m.AvgRowLength)
        .Int("checksum", m.Checksum)
        .Int("delay-key-write", m.DelayKeyWrite)
        .Int("key-block-size", m.KeyBlockSize)
        .Int("max-rows", m.MaxRows)
        .Int("min-rows", m.MinRows)
        .Quoted("connection", m.Connection)
        .Quoted("data-directory", m.DataDirectory)
        .Quoted("index-directory", m.IndexDirectory)
        .Text("insert-method", m.InsertMethod);
    Line("mysql", my.Str());
    Line("mysql-clauses", OneLine(m.Clauses));
    Fields("column", t.Fields);
  }

  void Domain(TDmnData& d) {
    Line("base-type", d.BaseTypeText);
    if (d.TypeHolder) {
      Line("type", Field(*d.TypeHolder));
      Depends(*d.TypeHolder, "    ");
    }
    if (d.TypeKind) Line("type-kind", std::to_string(d.TypeKind));
    Fields("attribute", d.Attributes);
  }

  static const char* ConstraintType(std::uint8_t t) {
    switch (t) {
      case ct::PrimaryKey: return "primary-key";
      case ct::Unique: return "unique";
      case ct::ForeignKey: return "foreign-key";
      case ct::Check: return "check";
      case ct::Other: return "other";
      case ct::Default: return "default";
      case ct::NotNull: return "not-null";
      case ct::References: return "references";
      default: return "?";
    }
  }

  static const char* RuleName(std::uint8_t r) {
    switch (r) {
      case 0: return "";
      case 1: return "restrict";
      case 2: return "cascade";
      case 3: return "set-default";
      case 4: return "set-null";
      default: return "?";
    }
  }

  static std::string Names(const TFieldList& list) {
    std::string s;
    for (int i = 0; i < list.Count(); ++i) {
      if (i) s += ',';
      s += list.Name(i);
      if (TFldData* f = list.Object(i); f && f->SortOrder == 2) s += " desc";
    }
    return s;
  }

  void Constraint(TCtrData& c) {
    TAttrs a;
    a.Word(ConstraintType(c.GetConstraintType()))
        .Text("table", c.GetTableName())
        .Text("columns", Names(c.Columns));
    Line("is", a.Str());
    if (c.GetConstraintType() == ct::ForeignKey || c.GetConstraintType() == ct::References ||
        !c.GetRefTableName().empty()) {
      TAttrs r;
      r.Text("table", c.GetRefTableName())
          .Text("schema", c.GetRefSchema())
          .Text("owner", c.RefOwner)
          .Text("columns", Names(c.RefColumns))
          .Text("on-update", RuleName(c.UpdateRule))
          .Text("on-delete", RuleName(c.DeleteRule))
          .Int("match", c.MatchType);
      Line("references", r.Str());
    }
    if (opt_.Bodies) Line("text", OneLine(c.GetText()));
    TAttrs x;
    x.Text("index", c.IndexName)
        .Word("desc-index", c.DescIndex)
        .Word("clustered", c.Clustered)
        .Word("not-for-replication", c.NotForReplication)
        .Word("deferrable", c.Deferrable)
        .Word("initially-deferred", c.InitiallyDeferred);
    Line("options", x.Str());
  }

  void Index(TIdxData& i) {
    TAttrs a;
    a.Text("table", i.TableName)
        .Word("unique", i.Unique)
        .Word("descending", i.Descending)
        .Word("inactive", !i.Active)
        .Word("clustered", i.Clustered)
        .Word("bitmap", i.Bitmap)
        .Word("fulltext", i.FullText)
        .Word("spatial", i.Spatial)
        .Text("columns", Names(i.Columns))
        .Text("include", Names(i.IncludeColumns))
        .Quoted("filter", i.FilterText)
        .Text("filegroup", i.FileGroup)
        .Text("using", i.MySQLIndexOptions.IndexType);
    Line("is", a.Str());
    if (opt_.Bodies) Line("expression", OneLine(i.GetText()));
  }

  void View(TViwData& v) {
    TAttrs a;
    a.Text("algorithm", v.Algorithm).Text("security", v.SqlSecurity);
    Line("is", a.Str());
    Fields("column", v.Columns);
    Block("body", v.GetText());
  }

  void Routine(TPrcData& p) {
    TAttrs a;
    a.Word(p.IsFunction ? "function" : "procedure")
        .Word("deterministic", p.Deterministic)
        .Word("table-result", p.TableResult)
        .Text("language", p.Language)
        .Text("external-name", p.ExternalName)
        .Quoted("returns", p.ReturnsText)
        .Int("mysql-characteristics", p.MySQLCharacteristics);
    Line("is", a.Str());
    Fields("in", p.InParams);
    Fields("out", p.OutParams);
    Block("body", p.GetText());
  }

  void Trigger(TTrgData& t) {
    TAttrs a;
    a.Text("table", t.GetTableName())
        .Word("inactive", !t.Active)
        .Int("timing", t.Timing)
        .Int("events", t.Events)
        .Int("type", t.TriggerType)
        .Int("position", t.Position)
        .Quoted("event", t.EventText)
        .Quoted("ddl-events", t.IsIBDDLTrigger() ? IBDDLEventText(t.TriggerType) : "")
        .Quoted("when", t.WhenCondition)
        .Word("for-each-row", t.ForEachRow);
    Line("is", a.Str());
    Fields("update-of", t.Columns);
    Block("body", t.GetText());
  }

  void Generator(TGnrData& g) {
    TAttrs a;
    a.Text("start", g.StartWith)
        .Text("increment", g.IncrementBy)
        .Text("min", g.MinValue)
        .Text("max", g.GetMaxValue())
        .Word("cycle", g.Cycle);
    Line("is", a.Str());
  }

  void Udf(TUdfData& u) {
    TAttrs a;
    a.Text("entry", u.EntryPoint).Text("module", u.ModuleName).Word("free-it", u.FreeIt);
    Line("is", a.Str());
    Fields("arg", u.Args);
    if (u.ResultField) Line("result", Field(*u.ResultField));
  }

  void Role(TRolData& r) {
    TAttrs a;
    a.Int("kind", r.RoleKind)
        .Text("role-owner", r.RoleOwner)
        .Text("login", r.LoginName)
        .Text("role", r.RoleName)
        .Text("app-role", r.AppRole);
    Line("is", a.Str());
  }

  void Grant(TGntData& g) {
    std::string privs;
    for (std::size_t p = 0; p < kPrivilegeCount; ++p) {
      if (!g.Privileges.Contains(static_cast<TPrivilege>(p))) continue;
      if (!privs.empty()) privs += ',';
      const std::string kw = PrivilegeKeyword(static_cast<TPrivilege>(p));
      privs += kw.empty() ? "#" + std::to_string(p) : kw;
    }
    std::string cols;
    for (const auto& c : g.Columns) cols += (cols.empty() ? "" : ",") + c;
    TAttrs a;
    a.Int("grant-kind", static_cast<int>(g.GrantKind), -1)
        .Text("privileges", privs)
        .Text("object", g.ObjectName)
        .Int("object-kind", static_cast<int>(g.ObjectKind))
        .Text("columns", cols)
        .Text("grantee", g.Grantee)
        .Int("grantee-kind", static_cast<int>(g.GranteeKind))
        .Word("with-grant-option", g.GrantOption != 0)
        .Int("ddl-kind", static_cast<int>(g.DDLKind))
        .Quoted("grantor", g.Grantor);
    Line("is", a.Str());
  }

  void Package(TPkgData& p) {
    if (p.IsBody) Line("is", "body");
    Block("header", p.HeaderText);
    Block("body", p.GetText());
  }

  void Collation(TCltData& c) {
    TAttrs a;
    a.Text("charset", c.CharacterSet)
        .Text("from", c.FromCollation)
        .Quoted("external", c.ExternalName)
        .Word("pad-space", c.PadSpace)
        .Word("case-insensitive", !c.CaseSensitive)
        .Word("accent-insensitive", !c.AccentSensitive)
        .Quoted("attributes", c.SpecificAttributes);
    Line("is", a.Str());
  }

  void Rule(TRulData& r) {
    TAttrs a;
    a.Text("table", r.RuleTable).Text("do", r.DoKind).Word("do-nothing", r.DoNothing);
    Line("is", a.Str());
    Line("text", OneLine(r.RuleText));
  }

  void Event(TEvtData& e) {
    TAttrs a;
    a.Text("type", e.EventType).Word("enabled", e.Enabled).Text("at", e.AtLocation);
    Line("is", a.Str());
    Block("body", e.GetText());
  }

  void Operator(TOprData& o) {
    TAttrs a;
    a.Text("procedure", o.Procedure).Text("left", o.LeftArg).Text("right", o.RightArg);
    Line("is", a.Str());
  }

  void OperatorClass(TOpcData& o) {
    TAttrs a;
    a.Text("for", o.ForType).Text("using", o.AccessMethod).Word("default", o.IsDefault);
    Line("is", a.Str());
  }

  // A column is named with its holder: "table-column T.C".
  static std::string Target(TDbObj& t) {
    if (auto* f = dynamic_cast<TFldData*>(&t); f && f->OwnerObj)
      return KindLabel(t) + " " + Key(*f->OwnerObj) + "." + f->GetName();
    return KindLabel(t) + " " + Key(t);
  }

  // The DependsOn edges, sorted, so the order of linking does not matter.
  void Depends(TDbObj& obj, std::string_view indent) {
    if (!opt_.Dependencies) return;
    std::vector<std::string> lines;
    const TDependList& deps = obj.DependsOn();
    for (int i = 0; i < deps.Count(); ++i) {
      const TDependObj* d = deps.Object(i);
      if (!d) continue;
      std::string s = d->Target ? Target(*d->Target) : "<none>";
      if (!d->FieldName.empty()) s += "." + d->FieldName;
      if (!d->Active) s += " (inactive)";
      lines.push_back(std::move(s));
    }
    std::sort(lines.begin(), lines.end());
    for (const auto& l : lines) out_ << indent << "depends: " << l << '\n';
  }

  const TModelDumpOptions& opt_;
  std::ostringstream out_;
};

template <class T>
void DumpList(TDumper& d, const TOwnedNameList<T>& list) {
  for (int i = 0; i < list.Count(); ++i)
    if (T* o = list.Object(i)) d.Object(*o);
}

}  // namespace

std::string KindLabel(const TDbObj& obj) {
  if (dynamic_cast<const TMemberPrcData*>(&obj)) return "member";
  if (auto* p = dynamic_cast<const TPrcData*>(&obj))
    return p->IsFunction ? "function" : "procedure";
  if (dynamic_cast<const TTblData*>(&obj)) return "table";
  if (dynamic_cast<const TDmnData*>(&obj)) return "domain";
  if (dynamic_cast<const TCtrData*>(&obj)) return "constraint";
  if (dynamic_cast<const TIdxData*>(&obj)) return "index";
  if (dynamic_cast<const TViwData*>(&obj)) return "view";
  if (dynamic_cast<const TTrgData*>(&obj)) return "trigger";
  if (dynamic_cast<const TGnrData*>(&obj)) return "generator";
  if (dynamic_cast<const TExcData*>(&obj)) return "exception";
  if (dynamic_cast<const TUdfData*>(&obj)) return "external-function";
  if (auto* r = dynamic_cast<const TRolData*>(&obj))
    return r->RoleKind == rk::Login ? "login" : r->RoleKind == rk::User ? "user" : "role";
  if (dynamic_cast<const TGntData*>(&obj)) return "grant";
  if (dynamic_cast<const TPkgData*>(&obj)) return "package";
  if (dynamic_cast<const TCltData*>(&obj)) return "collation";
  if (dynamic_cast<const TRulData*>(&obj)) return "rule";
  if (dynamic_cast<const TDefData*>(&obj)) return "default";
  if (dynamic_cast<const TSchData*>(&obj)) return "schema";
  if (dynamic_cast<const TPblData*>(&obj)) return "publication";
  if (dynamic_cast<const TEvtData*>(&obj)) return "event";
  if (dynamic_cast<const TOprData*>(&obj)) return "operator";
  if (dynamic_cast<const TOpcData*>(&obj)) return "operator-class";
  if (auto* f = dynamic_cast<const TFldData*>(&obj)) {
    if (f->OwnerObj) return KindLabel(*f->OwnerObj) + "-column";
    return "column";
  }
  return obj.ClassName();
}

std::string DumpModel(TCustomObjs& objs, const TModelDumpOptions& options) {
  TDumper d(options);
  DumpList(d, objs.Schemas);
  DumpList(d, objs.Collations);
  DumpList(d, objs.Domains);
  DumpList(d, objs.Udfs);
  DumpList(d, objs.Generators);
  DumpList(d, objs.Exceptions);
  DumpList(d, objs.Tables);
  DumpList(d, objs.Constraints);
  DumpList(d, objs.Indices);
  DumpList(d, objs.Views);
  DumpList(d, objs.Packages);
  DumpList(d, objs.Procedures);
  DumpList(d, objs.Triggers);
  DumpList(d, objs.Rules);
  DumpList(d, objs.Defaults);
  DumpList(d, objs.Roles);
  DumpList(d, objs.Grants);
  DumpList(d, objs.Publications);
  DumpList(d, objs.Operators);
  DumpList(d, objs.OperatorClasses);
  DumpList(d, objs.Events);
  return d.Result();
}

std::string DumpObject(TDbObj& obj, const TModelDumpOptions& options) {
  TDumper d(options);
  d.Object(obj);
  return d.Result();
}

std::string DumpField(TFldData& field, const TModelDumpOptions& options) {
  TDumper d(options);
  return d.Field(field);
}

std::string DumpMessages(const TMsgManager& messages) {
  std::string s;
  for (int i = 0; i < messages.Count(); ++i) {
    const TMsgData& m = messages[i];
    s += m.Kind == kMsgError ? "error " : m.Kind == kMsgNote ? "note " : "message ";
    s += std::to_string(m.Line) + ":" + std::to_string(m.Column) + " " + OneLine(m.Text) + "\n";
  }
  return s;
}

std::vector<TCorpusCase> CorpusCases(const std::string& folder) {
  std::vector<TCorpusCase> cases;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    if (!e.is_regular_file() || e.path().extension() != ".sql") continue;
    fs::path expected = e.path();
    expected.replace_extension(".dump");
    cases.push_back({e.path().stem().string(), e.path().string(), expected.string()});
  }
  std::sort(cases.begin(), cases.end(),
            [](const TCorpusCase& a, const TCorpusCase& b) { return a.Name < b.Name; });
  return cases;
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string CorpusDirective(std::string_view script, std::string_view key,
                            std::string_view fallback) {
  std::size_t pos = 0;
  while (pos < script.size()) {
    std::size_t end = script.find('\n', pos);
    if (end == std::string_view::npos) end = script.size();
    std::string_view line = script.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (line.empty()) continue;
    if (line.substr(0, 2) != "--") break;
    constexpr std::string_view kTag = "-- qor:";
    if (line.substr(0, kTag.size()) != kTag) continue;
    std::istringstream words{std::string(line.substr(kTag.size()))};
    std::string w;
    while (words >> w) {
      const auto eq = w.find('=');
      if (eq != std::string::npos && std::string_view(w).substr(0, eq) == key)
        return w.substr(eq + 1);
    }
  }
  return std::string(fallback);
}

std::string CompareWithExpected(const std::string& actual, const std::string& expectedPath) {
  const char* update = std::getenv("QOR_UPDATE_GOLDEN");
  if (update && std::string_view(update) == "1") {
    std::ofstream out(expectedPath, std::ios::binary | std::ios::trunc);
    out << actual;
    return out ? std::string() : "cannot write " + expectedPath;
  }
  std::error_code ec;
  if (!fs::exists(expectedPath, ec))
    return expectedPath + " is missing (QOR_UPDATE_GOLDEN=1 writes it); the text is:\n" + actual;
  const std::string expected = ReadTextFile(expectedPath);
  if (expected == actual) return {};
  std::istringstream a(actual), e(expected);
  std::string la, le;
  for (int line = 1;; ++line) {
    const bool ha = static_cast<bool>(std::getline(a, la));
    const bool he = static_cast<bool>(std::getline(e, le));
    if (!ha && !he) break;
    if (ha != he || la != le)
      return expectedPath + ":" + std::to_string(line) +
             " differs\n  expected: " + (he ? le : "<end>") +
             "\n  actual:   " + (ha ? la : "<end>");
  }
  return expectedPath + ": the texts differ in line endings only";
}

}  // namespace qor::test
