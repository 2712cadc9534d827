// The SQL scanner additions (comments, terminator, "||"), name resolution
// against the target collection and the dependency linking after parsing.
#include "parsers/qorSQLParser.h"

#include "model/qorClasses.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Trg.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <functional>
#include <map>

namespace qor {

namespace {

bool InKinds(const TKindSet& kinds, TTokenKind k) {
  return k >= 0 && k < 256 && kinds.test(static_cast<std::size_t>(k));
}

// Column lists compare as their texts: the names in order.
bool SameColumnList(const TFieldList& a, const TFieldList& b) {
  if (a.Count() != b.Count()) return false;
  for (int i = 0; i < a.Count(); ++i)
    if (a.Name(i) != b.Name(i)) return false;
  return true;
}

}  // namespace

TCustomSQLParser::TCustomSQLParser(TExtractorHost* owner, TDatabaseType serverType)
    : TCustomParser(owner, serverType) {
  // "--" and "/*" comments.
  WhiteStarts.Include('-').Include('/');
}

TCustomSQLParser::~TCustomSQLParser() = default;

TFldData& TCustomSQLParser::ScratchColumn() {
  // Re-made when the target collection changed, so that the type parsed
  // into it reads the options of the collection being filled.
  if (!scratch_ || scratch_->Owner() != Objs())
    scratch_ = std::make_unique<TFldData>(Objs(), nullptr);
  return *scratch_;
}

void TCustomSQLParser::PrepareNested(TCustomSQLParser& nested) {
  nested.ReportInto(this);
  nested.OnErrorMessage = OnErrorMessage;
  nested.OnLogNextLine = OnLogNextLine;
  nested.OnWarning = OnWarning;
  nested.ShowProgress = false;
}

// ---- Scanning

bool TCustomSQLParser::ScanToken() {
  scan_.TokenStart = CurIndex();
  // The terminator comes first, so that "^" or "GO" is never read as
  // punctuation or a name.
  if (CheckTerminator()) return true;
  if (scan_.Cur == '|' && PeekChar() == '|') {
    NextChar();
    NextChar();
    scan_.Kind = tk::Concat;
    return true;
  }
  return TCustomParser::ScanToken();
}

bool TCustomSQLParser::SkipWhite() {
  if (!AtEnd() &&
      ((scan_.Cur == '-' && PeekChar() == '-') || (scan_.Cur == '/' && PeekChar() == '*')))
    return SkipComment();
  return TCustomParser::SkipWhite();
}

bool TCustomSQLParser::SkipComment() {
  LastCommentText.clear();
  if (AtEnd()) return false;
  const std::string& src = Source();
  const std::size_t at = CurIndex();
  if (scan_.Cur == '/' && PeekChar() == '*') {
    const std::int32_t line = GetLine(), col = GetColumn();
    const std::size_t start = at + 2;
    const std::size_t close = src.find("*/", start);
    // Assigned, not replaced, so the buffer is kept from comment to comment.
    if (close == std::string::npos) {
      LastCommentText.assign(src, start);
      AdvanceTo(src.size());
      ScanError("Unterminated comment (opened at line " + IntToStr(line) + ", column " +
                IntToStr(col) + ").");
    } else {
      LastCommentText.assign(src, start, close - start);
      AdvanceTo(close + 2);
    }
  } else if (scan_.Cur == '-' && PeekChar() == '-') {
    const std::size_t start = at + 2;
    std::size_t lf = src.find('\n', start);
    if (lf == std::string::npos) lf = src.size();
    LastCommentText.assign(src, start, lf - start);
    AdvanceTo(lf);
  } else {
    return false;
  }
  if (Trace.Contains(TParserTrace::trComments)) DoLog("Comment: " + LastCommentText);
  return true;
}

void TCustomSQLParser::SkipTo(const TKindSet& kinds) {
  if (InKinds(kinds, TokenKind())) return;
  do {
    NextToken();
  } while (TokenKind() != tk::EOFKind && !InKinds(kinds, TokenKind()));
}

std::string TCustomSQLParser::TextFrom(std::size_t start) {
  const std::size_t end = TokenStart();
  return end > start ? TrimCtl(GetText(start, end - start)) : std::string();
}

bool TCustomSQLParser::ReadUntil(std::string& text, std::span<const std::string_view> stops) {
  text.clear();
  const std::string& src = Source();
  while (!AtEnd()) {
    text += scan_.Cur;
    const std::size_t m = ReadPos();
    bool matched = false;
    for (std::string_view stop : stops) {
      if (stop.empty() || m + stop.size() > src.size()) continue;
      const char first = src[m];
      // Cheap test of the first character before the locale upper-casing.
      if (static_cast<unsigned char>(stop[0]) < 128 && static_cast<unsigned char>(first) < 128 &&
          UpperAsciiChar(first) != stop[0])
        continue;
      if (UpperLocale(std::string_view(src).substr(m, stop.size())) != stop) continue;
      // CR LF "/" followed by "*" is a comment that begins a line.
      if (stop == "\r\n/" && m + 3 < src.size() && src[m + 3] == '*') continue;
      matched = true;
      break;
    }
    NextChar();
    if (matched) return true;
  }
  return false;
}

// ---- Names

std::string TCustomSQLParser::QualifyName(std::string_view name, std::string_view owner,
                                          bool useDefault) const {
  std::string o(owner);
  if (o.empty() && useDefault) {
    using SD = TScriptDialect;
    switch (ScriptDialect(GetServerType())) {
      case SD::sdMSSQL:
      case SD::sdASE: o = "dbo"; break;
      case SD::sdASA: o = "DBA"; break;
      case SD::sdPostgreSQL: o = "public"; break;
      case SD::sdGeneric:
      case SD::sdInterBase:
      case SD::sdMySQL:
      case SD::sdOracle:
      case SD::sdDB2: break;
    }
  }
  return o.empty() ? std::string(name) : o + "." + std::string(name);
}

std::string TCustomSQLParser::FormatName(std::string_view name) { return std::string(name); }

// ---- Dependencies

std::size_t TCustomSQLParser::TLinkKeyHash::operator()(const TLinkKey& k) const {
  const std::size_t h = std::hash<const void*>()(k.From) * 31 + std::hash<const void*>()(k.To);
  return h * 31 + std::hash<std::string>()(k.Column);
}

void TCustomSQLParser::BeginLinkMemory() {
  said_.clear();
  edges_.clear();
  seeded_.clear();
  linkMemory_ = true;
}

void TCustomSQLParser::EndLinkMemory() {
  said_.clear();
  edges_.clear();
  seeded_.clear();
  linkMemory_ = false;
}

bool TCustomSQLParser::LinkRemembered(TDbObj* dependent, TDbObj* target, std::string_view column) {
  // The edge in the model's own terms: a column of a table or view is an
  // edge to the column object (none when there is no such column), an
  // output column of a procedure is an edge to the procedure.
  TDbObj* to = target;
  if (!column.empty()) {
    if (auto* t = dynamic_cast<TTblData*>(target)) to = t->FindField(column);
    else if (auto* v = dynamic_cast<TViwData*>(target)) to = v->FindField(column);
    else if (!dynamic_cast<TPrcData*>(target)) return false;  // the model's own rules
  }
  if (seeded_.insert(dependent).second)
    for (const auto& e : dependent->DependsOn())
      if (e.Value) edges_.insert({dependent, e.Value->Target, e.Value->FieldName});
  if (to && edges_.insert({dependent, to, {}}).second)
    Objs()->AddDependencyPair(dependent, to, GetLine(), GetColumn());
  return true;
}

void TCustomSQLParser::LinkDependency(TDbObj* dependent, TDbObj* target, std::string_view column) {
  TObjs* objs = Objs();
  if (!dependent || !target || !objs) return;
  bool done = false;
  if (linkMemory_) {
    if (!said_.insert({dependent, target, std::string(column)}).second) return;
    done = LinkRemembered(dependent, target, column);
  }
  if (!done) {
    bool known = false;
    for (const auto& e : dependent->DependsOn())
      if (e.Value && e.Value->Target == target && e.Value->FieldName == column) {
        known = true;
        break;
      }
    if (!known) objs->AddDependency(dependent, target, GetLine(), GetColumn(), std::string(column));
  }

  // A view reading a table column depends on the domains of the table's
  // domain-typed columns.
  if (column.empty()) return;
  if (!dynamic_cast<TViwData*>(dependent)) return;
  auto* table = dynamic_cast<TTblData*>(target);
  if (!table) return;
  // Once per view and table while a body is read.
  if (linkMemory_ && !said_.insert({dependent, target, "\x01domains"}).second) return;
  for (int i = 0; i < table->Fields.Count(); ++i) {
    TFldData* f = table->Fields.Object(i);
    if (!f || f->DomainName.empty()) continue;
    if (TDmnData* d = objs->FindDomain(f->DomainName)) LinkDependency(dependent, d, {});
  }
}

void TCustomSQLParser::LinkDepend(TDbObj* dependent, std::string_view name, TDbObjectSet kinds) {
  TObjs* objs = Objs();
  if (!objs || !dependent) return;
  if (GetServerType() == TDatabaseType::dbInterBase && name.size() >= 4 &&
      UpperAscii(name.substr(0, 4)) == "RDB$")
    return;
  // An object never resolves a reference to itself; a procedure named like
  // a table still links to the table.
  if (kinds.Contains(dependent->GetObjType()) && dependent->GetName() == name)
    kinds.Exclude(dependent->GetObjType());

  TDbObj* found = nullptr;
  auto tryKind = [&](TDbObject kind, auto find) {
    if (!found && kinds.Contains(kind)) found = find();
  };
  tryKind(TDbObject::dboTable, [&]() -> TDbObj* { return objs->FindTable(name); });
  tryKind(TDbObject::dboView, [&]() -> TDbObj* { return objs->FindView(name); });
  tryKind(TDbObject::dboProcedure, [&]() -> TDbObj* { return objs->FindProcedure(name); });
  tryKind(TDbObject::dboTrigger, [&]() -> TDbObj* { return objs->FindTrigger(name); });
  tryKind(TDbObject::dboGenerator, [&]() -> TDbObj* { return objs->FindGenerator(name); });
  tryKind(TDbObject::dboIndex, [&]() -> TDbObj* { return objs->FindIndex(name); });
  tryKind(TDbObject::dboException, [&]() -> TDbObj* { return objs->FindException(name); });
  tryKind(TDbObject::dboDomain, [&]() -> TDbObj* { return objs->FindDomain(name); });
  tryKind(TDbObject::dboFunction, [&]() -> TDbObj* { return objs->FindUdf(name); });
  // A rule or default of the name wins over an earlier hit.
  if (kinds.Contains(TDbObject::dboRule))
    if (TRulData* r = objs->Rules.FindObject(name)) found = r;
  if (kinds.Contains(TDbObject::dboDefault))
    if (TDefData* d = objs->Defaults.FindObject(name)) found = d;
  if (found) LinkDependency(dependent, found, {});
}

TDbObj* TCustomSQLParser::FindRelation(std::string_view name) const {
  TObjs* objs = Objs();
  if (!objs) return nullptr;
  if (TDbObj* t = objs->FindTable(name)) return t;
  if (TDbObj* v = objs->FindView(name)) return v;
  return objs->FindProcedure(name);
}

TDbObj* TCustomSQLParser::ResolveAlias(std::string_view relation) const {
  auto* self = const_cast<TCustomSQLParser*>(this);
  for (int level = self->ScopeCount() - 1; level >= 0; --level) {
    const TParseContext& sc = self->Scope(level);
    for (std::size_t i = 0; i < sc.Aliases.size(); ++i)
      if (!sc.Aliases[i].empty() && SameText(sc.Aliases[i], relation))
        return FindRelation(sc.Relations[i]);
    for (const std::string& r : sc.Relations)
      if (SameText(r, relation)) return FindRelation(r);
  }
  return nullptr;
}

bool TCustomSQLParser::RelationHasColumn(TDbObj* relation, std::string_view column) {
  if (auto* t = dynamic_cast<TTblData*>(relation)) return t->FindField(column) != nullptr;
  if (auto* v = dynamic_cast<TViwData*>(relation)) return v->FindField(column) != nullptr;
  if (auto* p = dynamic_cast<TPrcData*>(relation))
    return p->OutParams.FindObject(column) != nullptr;
  return false;
}

void TCustomSQLParser::AddColumnRef(TDbObj* dependent, std::string_view relation,
                                    std::string_view column) {
  if (!Objs()) return;
  TParseContext* top = TopScope();
  if (!top || (top->Active && top->Relations.empty())) {
    if (LocalNames.IndexOf(column) < 0) LinkDepend(dependent, column, {TDbObject::dboGenerator});
    return;
  }
  if (!top->Active || column.empty()) return;
  if (column != "*") {
    if (!relation.empty()) {
      if (TDbObj* r = ResolveAlias(relation)) LinkDependency(dependent, r, column);
      return;
    }
    for (int level = ScopeCount() - 1; level >= 0; --level)
      for (const std::string& name : Scope(level).Relations) {
        TDbObj* r = FindRelation(name);
        if (r && RelationHasColumn(r, column)) {
          LinkDependency(dependent, r, column);
          return;
        }
      }
    return;
  }
  if (!relation.empty()) {
    if (TDbObj* r = ResolveAlias(relation)) LinkDependency(dependent, r, {});
    return;
  }
  for (const std::string& name : top->Relations)
    if (TDbObj* r = FindRelation(name)) LinkDependency(dependent, r, {});
}

// ---- Scripts and linking after parsing

void TCustomSQLParser::ParseScript(const std::vector<std::string>& lines, TObjs* collection) {
  // Start from the collection's own values, so that what the script does
  // not set (no CONNECT, no CREATE DATABASE) is kept rather than reset.
  if (collection) ConnectionOptions.Assign(collection->ConnectionOptions);
  TCustomParser::ParseScript(lines, collection);
  if (collection) collection->ConnectionOptions.Assign(ConnectionOptions);
}

std::string TCustomSQLParser::TableKey(std::string_view table, std::string_view schema,
                                       std::string_view ownerQualifier) const {
  using SD = TScriptDialect;
  switch (ScriptDialect(GetServerType())) {
    case SD::sdOracle:
    case SD::sdMSSQL:
    case SD::sdPostgreSQL:
      if (!schema.empty()) return std::string(schema) + "." + std::string(table);
      break;
    case SD::sdASA:
      if (!ownerQualifier.empty()) return std::string(ownerQualifier) + "." + std::string(table);
      break;
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdMySQL:
    case SD::sdDB2:
    case SD::sdASE: break;
  }
  return std::string(table);
}

void TCustomSQLParser::AfterParse() {
  TObjs* objs = Objs();
  if (!objs) return;
  objs->RekeyGrants();
  TCustomParser::AfterParse();
  LinkIndices();
  LinkConstraints();
  LinkForeignKeyTargets();
  LinkGrants();
  LinkUsers();
}

void TCustomSQLParser::LinkIndices() {
  TObjs* objs = Objs();
  for (int i = 0; i < objs->Indices.Count(); ++i) {
    TIdxData* idx = objs->Indices.Object(i);
    TTblData* tbl =
        objs->FindTable(TableKey(idx->TableName, idx->GetParentName(), idx->OwnerQualifier));
    if (!tbl) continue;
    LinkDependency(idx, tbl, {});
    for (int c = 0; c < idx->Columns.Count(); ++c)
      if (tbl->FindField(idx->Columns.Name(c))) LinkDependency(idx, tbl, idx->Columns.Name(c));
  }
}

void TCustomSQLParser::LinkConstraints() {
  TObjs* objs = Objs();
  for (int i = 0; i < objs->Constraints.Count(); ++i) {
    TCtrData* ctr = objs->Constraints.Object(i);
    if (TTblData* tbl = objs->FindTable(
            TableKey(ctr->GetTableName(), ctr->GetParentName(), ctr->OwnerQualifier))) {
      LinkDependency(ctr, tbl, {});
      for (int c = 0; c < ctr->Columns.Count(); ++c)
        if (tbl->FindField(ctr->Columns.Name(c))) LinkDependency(ctr, tbl, ctr->Columns.Name(c));
    }
    const std::uint8_t type = ctr->GetConstraintType();
    if (type != ct::ForeignKey && type != ct::References) continue;
    const std::string& refSchema =
        ctr->GetRefSchema().empty() ? ctr->GetParentName() : ctr->GetRefSchema();
    const std::string& refOwner = ctr->RefOwner.empty() ? ctr->OwnerQualifier : ctr->RefOwner;
    TTblData* ref = objs->FindTable(TableKey(ctr->GetRefTableName(), refSchema, refOwner));
    if (!ref) continue;
    LinkDependency(ctr, ref, {});
    for (int c = 0; c < ctr->RefColumns.Count(); ++c)
      if (ref->FindField(ctr->RefColumns.Name(c)))
        LinkDependency(ctr, ref, ctr->RefColumns.Name(c));
  }
}

void TCustomSQLParser::LinkForeignKeyTargets() {
  TObjs* objs = Objs();
  // The primary and unique keys by table, in list order, so each foreign
  // key looks at its referenced table's keys only.
  std::map<std::string, std::vector<TCtrData*>> keys;
  for (int j = 0; j < objs->Constraints.Count(); ++j) {
    TCtrData* key = objs->Constraints.Object(j);
    const std::uint8_t t = key->GetConstraintType();
    if (t == ct::PrimaryKey || t == ct::Unique) keys[key->GetTableName()].push_back(key);
  }
  for (int i = 0; i < objs->Constraints.Count(); ++i) {
    TCtrData* fk = objs->Constraints.Object(i);
    if (fk->GetConstraintType() != ct::ForeignKey) continue;
    const auto it = keys.find(fk->GetRefTableName());
    if (it == keys.end()) continue;
    for (TCtrData* key : it->second)
      if (SameColumnList(key->Columns, fk->RefColumns)) LinkDependency(fk, key, {});
  }
}

void TCustomSQLParser::LinkGrants() {
  TObjs* objs = Objs();
  auto find = [objs](TDbObject kind, const std::string& name, bool tables) -> TDbObj* {
    switch (kind) {
      case TDbObject::dboRole: return objs->FindRole(name);
      case TDbObject::dboUser: return objs->FindUser(name);
      case TDbObject::dboView: return objs->FindView(name);
      case TDbObject::dboTable: return tables ? objs->FindTable(name) : nullptr;
      case TDbObject::dboProcedure: return objs->FindProcedure(name);
      case TDbObject::dboTrigger: return objs->FindTrigger(name);
      default: return nullptr;
    }
  };
  for (int i = 0; i < objs->Grants.Count(); ++i) {
    TGntData* g = objs->Grants.Object(i);
    LinkDependency(g, find(g->ObjectKind, g->ObjectName, /*tables=*/true), {});
    // A table is never a grantee.
    LinkDependency(g, find(g->GranteeKind, g->Grantee, /*tables=*/false), {});
  }
}

void TCustomSQLParser::LinkUsers() {
  TObjs* objs = Objs();
  for (int i = 0; i < objs->Roles.Count(); ++i) {
    TRolData* r = objs->Roles.Object(i);
    if (r->RoleKind != rk::User) continue;
    LinkDependency(r, objs->FindLogin(r->LoginName), {});
  }
}

}  // namespace qor
