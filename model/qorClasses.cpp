// The schema object base: names, keys, quoting, the base drop and
// description texts, the dependency edges and the dependency-ordered walk.
#include "model/qorClasses.h"

#include "base/qorIBVersions.h"
#include "base/qorMSSQLVersions.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorScriptWriter.h"
#include "parsers/keywords/qorQuoteIdentifier.h"
#include "platform/qorBlockPool.h"
#include "platform/qorScopedValue.h"
#include "platform/qorStrings.h"

#include <algorithm>

namespace qor {

namespace {

using DB = TDatabaseType;
using SD = TScriptDialect;

bool IsKind(const TDbObj* obj, TDbObject kind) { return obj && obj->GetKind() == kind; }

}  // namespace

std::string BlockCommentText(std::string_view text) {
  // "/*" is broken up as well: some dialects nest block comments.
  return ReplaceAll(ReplaceAll(text, "*/", "* /"), "/*", "/ *");
}

// ---------------------------------------------------------------- TDbObj

TDbObj::TDbObj(TCustomObjs* owner) : owner_(owner) {}

TDbObj::~TDbObj() {
  // Each edge has its half at the other end; take those halves away so that
  // no object keeps an edge to this one once it is gone.
  DropHalvesElsewhere();
}

const TDependList& TDbObj::NoEdges() {
  static const TDependList none;
  return none;
}

TDependList& TDbObj::EdgesOf(bool usedBy) {
  if (!edges_) edges_ = std::make_unique<TEdges>();
  return usedBy ? edges_->usedBy : edges_->dependsOn;
}

void TDbObj::DropEdgesTo(const TDbObj* target) {
  if (!edges_) return;
  for (TDependList* list : {&edges_->dependsOn, &edges_->usedBy})
    for (int i = list->Count() - 1; i >= 0; --i)
      if (list->Object(i) && list->Object(i)->Target == target) list->Delete(i);
}

void TDbObj::DropHalvesElsewhere() {
  if (!edges_) return;
  std::vector<TDbObj*> others;
  for (const TDependList* list : {&edges_->dependsOn, &edges_->usedBy})
    for (const auto& e : *list)
      if (e.Value && e.Value->Target && e.Value->Target != this) others.push_back(e.Value->Target);
  // An object used by thousands is read once, not once per edge.
  std::sort(others.begin(), others.end());
  others.erase(std::unique(others.begin(), others.end()), others.end());
  for (TDbObj* o : others) o->DropEdgesTo(this);
}

void TDbObj::RemoveEdgesTo(const TDbObj* target) {
  if (!target) return;
  DropEdgesTo(target);
  if (target == this) return;
  const_cast<TDbObj*>(target)->DropEdgesTo(this);
}

bool TDbObj::GetSelected() { return selected_; }

void TDbObj::SetSelected(bool value) {
  selected_ = value;
  if (Counterpart) Counterpart->selected_ = value;
}

std::int32_t TDbObj::GetId() { return Id; }

TDatabaseType TDbObj::GetServerType() const {
  if (!owner_) return DB::dbAbstract;
  if (owner_->UseLinkedServerType && owner_->LinkedObjs) return owner_->LinkedObjs->GetServerType();
  return owner_->GetServerType();
}

TIBServerOptions* TDbObj::GetServerOptions() const {
  if (!owner_) return nullptr;
  if (owner_->UseLinkedServerType && owner_->LinkedObjs)
    return &owner_->LinkedObjs->IBServerOptions;
  return &owner_->IBServerOptions;
}

TCmpObjSetType TDbObj::GetObjFilter() const {
  return owner_ ? owner_->ObjFilter : TCmpObjSetType::All();
}

TScriptWriter* TDbObj::GetScriptWriter() const { return owner_ ? owner_->ScriptWriter : nullptr; }

TUpdateDescriptionType TDbObj::GetUpdateDescriptionMode() const {
  if (GetServerType() == DB::dbInterBase && GetServerOptions())
    return GetServerOptions()->IBCompareOptions.UpdateDescriptionMode;
  return TUpdateDescriptionType::udDescribe;
}

namespace {
bool FoldsMSSQLNames(const TDbObj& obj) {
  return obj.GetServerType() == DB::dbMSSQL && obj.Owner() &&
         !obj.Owner()->MSSQLServerOptions.MSSQLCompareOptions.CaseSensitiveIdentifiers;
}
}  // namespace

void TDbObj::SetName(std::string_view value) {
  name_ = FoldsMSSQLNames(*this) ? UpperLocale(value) : std::string(value);
}

void TDbObj::SetParentName(std::string_view value) {
  parentName_ = FoldsMSSQLNames(*this) ? UpperLocale(value) : std::string(value);
}

const std::string& TDbObj::NoText() {
  static const std::string none;
  return none;
}

void TDbObj::SetDescription(std::string_view value) {
  std::string s = TrimCtl(NormalizeLineBreaks(value));
  if (s.empty() && !texts_) return;
  if (!texts_) texts_ = std::make_unique<TTexts>();
  texts_->description = std::move(s);
}

void TDbObj::SetDescriptionAsStored(std::string_view value) {
  if (value.empty() && !texts_) return;
  if (!texts_) texts_ = std::make_unique<TTexts>();
  texts_->description = std::string(value);
}

void TDbObj::SetText(std::string_view value) {
  std::string s = TrimCtl(NormalizeLineBreaks(value));
  if (s.empty() && !texts_) return;
  if (!texts_) texts_ = std::make_unique<TTexts>();
  texts_->text = std::move(s);
}

void TDbObj::SetTextAsStored(std::string_view value) {
  if (value.empty() && !texts_) return;
  if (!texts_) texts_ = std::make_unique<TTexts>();
  texts_->text = std::string(value);
}

std::string TDbObj::GetNamePrefix() const {
  return owner_ ? owner_->GetStructureNamePrefix() : std::string();
}

std::string TDbObj::StripNamePrefix() const {
  const std::string prefix = GetNamePrefix();
  if (!prefix.empty() && StartsWith(name_, prefix)) return name_.substr(prefix.size());
  return name_;
}

std::string TDbObj::GetTargetName() const {
  std::string prefix;
  if (owner_ && owner_->LinkedObjs) prefix = owner_->LinkedObjs->GetStructureNamePrefix();
  return prefix + StripNamePrefix();
}

std::string TDbObj::GetKeyName() {
  const DB st = GetServerType();
  if (st == DB::dbMSSQL || st == DB::dbPostgreSQL) {
    if (parentName_.empty()) return name_;
    return parentName_ + "." + name_;
  }
  if (st == DB::dbSybaseASA || st == DB::dbOracle || st == DB::dbDB2)
    return QualifyName(parentName_, name_);
  return StripNamePrefix();
}

std::string TDbObj::GetDisplayName() {
  const std::string n = StripNamePrefix();
  if (n.empty()) return SystemName.empty() ? GetCreateSQL() : SystemName;
  const DB st = GetServerType();
  if (st == DB::dbSybaseASA) return OwnerQualifier.empty() ? n : OwnerQualifier + "." + n;
  if (st == DB::dbMSSQL || st == DB::dbPostgreSQL || st == DB::dbDB2)
    return GetKind() == TDbObject::dboField ? name_ : GetQualifiedName();
  return n;
}

std::string TDbObj::GetQualifiedName() {
  const DB st = GetServerType();
  if (st == DB::dbSybaseASA) {
    const TDbObject kind = GetKind();
    if (kind != TDbObject::dboTable && kind != TDbObject::dboProcedure &&
        kind != TDbObject::dboView)
      return QuoteName(name_);
    if (OwnerQualifier.empty()) return "DBA." + QuoteName(name_);
    return QuoteName(OwnerQualifier) + "." + QuoteName(name_);
  }
  if (st == DB::dbOracle || st == DB::dbMSSQL || st == DB::dbPostgreSQL || st == DB::dbDB2) {
    if (!parentName_.empty() && GetKind() != TDbObject::dboField)
      return QuoteName(parentName_) + "." + QuoteName(name_);
  }
  return QuoteName(name_);
}

std::string TDbObj::QuoteName(std::string_view name) {
  if (!owner_) return std::string(name);
  const DB st = GetServerType();
  if (st == DB::dbCustomOLEDB) {
    // The closing character is doubled inside, or a name holding it would
    // end the quoted identifier early.
    switch (owner_->QuoteStyle) {
      case 2: return QuotedStr(name, '\'');
      case 3: return QuotedStr(name, '"');
      case 4: return BracketedStr(name);
      default: return std::string(name);
    }
  }
  const TIBServerOptions* ib = GetServerOptions();
  return QuoteIdentifier(name, st, ib->SQLServerVersion, ib->SQLDialect);
}

std::string TDbObj::GetCreateSQL() { return {}; }

std::string TDbObj::GetCreateSQLNormalized() {
  std::string s = GetCreateSQL();
  if (GetKind() != TDbObject::dboView || GetServerType() != DB::dbPostgreSQL) return s;
  s = ReplaceAll(NormalizeLineBreaks(s), "\r\n", " ");
  while (s.find("  ") != std::string::npos) s = ReplaceAll(s, "  ", " ");
  return s;
}

std::string TDbObj::GetScriptSQL() {
  if (TScriptWriter* w = GetScriptWriter()) w->SetCurrentSchema(parentName_);
  if (Suppressed) return {};
  return GetCreateSQL();
}

std::string TDbObj::DropComment() {
  return "/* Drop: " + BlockCommentText(name_) + " (" + ClassName() + ")" + " */" +
         std::string(CRLF);
}

std::string TDbObj::GetDropSQL() {
  std::string s = DropComment();
  switch (ObjType) {
    case TDbObject::dboFunction: return s + "DROP EXTERNAL FUNCTION " + QuoteName(name_);
    case TDbObject::dboException: return s + "DROP EXCEPTION " + QuoteName(name_);
    case TDbObject::dboIndex: return s + "DROP INDEX " + QuoteName(name_);
    case TDbObject::dboDomain: return s + "DROP DOMAIN " + QuoteName(name_);
    case TDbObject::dboField:
      return s + "ALTER TABLE " + QuoteName(HolderTableName()) + " DROP " + QuoteName(name_);
    case TDbObject::dboCollation: return s + "DROP COLLATION " + QuoteName(name_);
    case TDbObject::dboRule: return s + "DROP RULE " + QuoteName(name_);
    case TDbObject::dboDefault: return s + "DROP DEFAULT " + QuoteName(name_);
    default: return s;  // the other kinds write the comment only
  }
}

std::string TDbObj::GetAlterSQL() { return "/* Alter <...> */"; }

std::string TDbObj::GetSourceSQL() { return SourceSQL.empty() ? GetCreateSQL() : SourceSQL; }

std::string TDbObj::MakeComment(std::string_view text) {
  if (GetServerType() != DB::dbSybaseASA) return "/* " + BlockCommentText(text) + " */";
  // A line comment covers one line only: every line gets the prefix.
  std::vector<std::string> lines = SplitLines(text);
  if (lines.empty()) lines.emplace_back();
  for (auto& l : lines) l = "% " + l;
  return JoinLines(lines);
}

bool TDbObj::HasDeselectedDependency() {
  for (const auto& e : DependsOn()) {
    const TDependObj* d = e.Value.get();
    if (d && d->Active && d->Target && d->Target != this && !d->Target->GetSelected()) return true;
  }
  return false;
}

void TDbObj::GetSubObjects(std::vector<TDbObj*>&) {}

void TDbObj::ClearLinksTo(const TDbObj* gone) {
  if (Counterpart == gone) Counterpart = nullptr;
}

// ------------------------------------------------------------ Kind words

namespace {

struct TKindWords {
  TDbObject kind;
  std::array<const char*, kKindWordUseCount> words;  // by TKindWordUse; null: none
};

constexpr const char* o = nullptr;

// One row per kind that has a word anywhere, columns in TKindWordUse order.
// clang-format off
constexpr TKindWords kKindWords[] = {
  //                             file         IB DESCRIBE  IB COMMENT ON        IB 2020              IB catalog table   IB name column         ASA          Oracle       MS SQL level 1  PG COMMENT   PG OWNER
  {TDbObject::dboDomain,        {"domain",    "DOMAIN",    "DOMAIN",            "DOMAIN",            "RDB$FIELDS",      "RDB$FIELD_NAME",      "DOMAIN",    "TYPE",      "TYPE",         "DOMAIN",    "DOMAIN"}},
  {TDbObject::dboTable,         {"table",     "TABLE",     "TABLE",             "TABLE",             "RDB$RELATIONS",   "RDB$RELATION_NAME",   "TABLE",     "TABLE",     "TABLE",        "TABLE",     "TABLE"}},
  {TDbObject::dboView,          {"view",      "VIEW",      "VIEW",              "VIEW",              "RDB$RELATIONS",   "RDB$RELATION_NAME",   "VIEW",      "VIEW",      "VIEW",         "VIEW",      "VIEW"}},
  {TDbObject::dboProcedure,     {"procedure", "PROCEDURE", "PROCEDURE",         "PROCEDURE",         "RDB$PROCEDURES",  "RDB$PROCEDURE_NAME",  "PROCEDURE", "PROCEDURE", "PROCEDURE",    "PROCEDURE", "PROCEDURE"}},
  {TDbObject::dboTrigger,       {"trigger",   "TRIGGER",   "TRIGGER",           "TRIGGER",           "RDB$TRIGGERS",    "RDB$TRIGGER_NAME",    "TRIGGER",   "TRIGGER",   o,              o,           o}},
  {TDbObject::dboException,     {"exception", "EXCEPTION", "EXCEPTION",         "EXCEPTION",         "RDB$EXCEPTIONS",  "RDB$EXCEPTION_NAME",  o,           o,           o,              o,           o}},
  {TDbObject::dboIndex,         {"index",     "INDEX",     "INDEX",             "INDEX",             "RDB$INDICES",     "RDB$INDEX_NAME",      "INDEX",     "INDEX",     o,              "INDEX",     o}},
  {TDbObject::dboFunction,      {"udf",       "FUNCTION",  "EXTERNAL FUNCTION", "EXTERNAL FUNCTION", "RDB$FUNCTIONS",   "RDB$FUNCTION_NAME",   o,           o,           o,              o,           o}},
  {TDbObject::dboGenerator,     {"generator", "GENERATOR", "GENERATOR",         "GENERATOR",         "RDB$GENERATORS",  "RDB$GENERATOR_NAME",  "SEQUENCE",  "SEQUENCE",  o,              "SEQUENCE",  o}},
  {TDbObject::dboRole,          {"role",      "ROLE",      "ROLE",              "ROLE",              "RDB$ROLES",       "RDB$ROLE_NAME",       "ROLE",      "ROLE",      o,              o,           o}},
  {TDbObject::dboCollation,     {"collation", o,           "COLLATION",         "COLLATION",         o,                 o,                     o,           o,           o,              o,           o}},
  {TDbObject::dboPackage,       {o,           o,           "PACKAGE",           o,                   "RDB$PACKAGES",    "RDB$PACKAGE_NAME",    "PACKAGE",   "PACKAGE",   o,              o,           o}},
  {TDbObject::dboEvent,         {"event",     o,           o,                   o,                   o,                 o,                     o,           o,           o,              o,           o}},
  {TDbObject::dboGrant,         {"grant",     o,           o,                   o,                   o,                 o,                     o,           o,           o,              o,           o}},
  {TDbObject::dboConstraint,    {"constraint", o,          o,                   o,                   o,                 o,                     o,           o,           o,              o,           o}},
  {TDbObject::dboSchema,        {o,           o,           o,                   o,                   o,                 o,                     o,           o,           o,              "SCHEMA",    "SCHEMA"}},
  {TDbObject::dboOperator,      {o,           o,           o,                   o,                   o,                 o,                     o,           o,           o,              o,           "OPERATOR"}},
  {TDbObject::dboOperatorClass, {o,           o,           o,                   o,                   o,                 o,                     o,           o,           o,              o,           "OPERATOR CLASS"}},
};
// clang-format on

}  // namespace

const char* TDbObj::KindWord(TKindWordUse use) const {
  const TDbObject kind = GetKind();
  for (const TKindWords& row : kKindWords)
    if (row.kind == kind) return row.words[static_cast<std::size_t>(use)];
  return nullptr;
}

// ------------------------------------------------- Description statements

std::string TDbObj::InterBaseDescriptionSQL() {
  const std::string& desc = GetDescription();
  const std::string qsDesc = QuotedStr(desc);
  const std::string crlf(CRLF);
  using U = TKindWordUse;
  const TIBServerOptions* ib = GetServerOptions();
  // The 2020 form names procedures PROCEDURE, functions included.
  const char* alterWord = KindWord(U::kwIBAlterDescription);
  if (ib && IBCaps(ib->SQLServerVersion).alterDescription && alterWord)
    return std::string("ALTER DESCRIPTION FOR ") + alterWord + " " + QuoteName(name_) + " SET" +
           crlf + qsDesc;
  switch (GetUpdateDescriptionMode()) {
    case TUpdateDescriptionType::udSysTables: {
      const char* sysTable = KindWord(U::kwIBSysTable);
      if (!sysTable) return MakeComment(desc);
      return std::string("UPDATE ") + sysTable + " SET RDB$DESCRIPTION = \r\n" + qsDesc + crlf +
             "WHERE " + KindWord(U::kwIBSysKey) + " = " + QuotedStr(name_);
    }
    case TUpdateDescriptionType::udDescribe: {
      const char* word = KindWord(U::kwIBDescribe);
      if (!word) return {};
      return std::string("DESCRIBE ") + word + " " + QuoteName(name_) + crlf + qsDesc;
    }
    case TUpdateDescriptionType::udComment: {
      const char* word = KindWord(U::kwIBComment);
      if (!word) return {};
      return std::string("COMMENT ON ") + word + " " + QuoteName(name_) + " IS" + crlf + qsDesc;
    }
  }
  return {};
}

std::string TDbObj::ASADescriptionSQL() {
  const char* word = KindWord(TKindWordUse::kwASAComment);
  if (!word) return {};
  return std::string("COMMENT ON ") + word + " " + QuoteName(name_) + " IS" + std::string(CRLF) +
         QuotedStr(GetDescription());
}

std::string TDbObj::MySQLDescriptionSQL() {
  if (GetKind() != TDbObject::dboTable) return {};
  return "ALTER TABLE " + QuoteName(name_) +
         " COMMENT = " + QuoteStringLiteral(GetDescription(), GetServerType());
}

std::string TDbObj::OracleDescriptionSQL() {
  // Oracle stores comments on tables, views (named as tables) and columns;
  // COMMENT ON INDEX, SEQUENCE, PROCEDURE, TRIGGER ... would be refused.
  if (!IsKind(this, TDbObject::dboTable) && !IsKind(this, TDbObject::dboView)) return {};
  return "COMMENT ON TABLE " + GetQualifiedName() + " IS" + std::string(CRLF) +
         QuotedStr(GetDescription());
}

void TDbObj::MSSQLPropertyLevels(TPropertyLevel (&levels)[3]) {
  if (GetKind() == TDbObject::dboSchema) {
    levels[0].Assign("SCHEMA", name_);
  } else if (const char* word = KindWord(TKindWordUse::kwMSSQLLevel1)) {
    levels[0].Assign("SCHEMA", parentName_);
    levels[1].Assign(word, name_);
  }
}

std::string TDbObj::MSSQLDescriptionSQL() {
  if (!owner_) return {};
  const TMSSQLServerOptions& ms = owner_->MSSQLServerOptions;
  if (!MSSQLCaps(ms.SQLServerVersion).descriptions) return {};
  TPropertyLevel l[3];
  MSSQLPropertyLevels(l);
  if (!l[0].Set) return {};

  const std::int32_t level = ms.MSSQLDatabaseOptions.CompatibilityLevel;
  std::string s = (level >= 1 && level <= 90) ? "exec dbo.sp_addextendedproperty "
                                              : "exec sys.sp_addextendedproperty ";
  s += "@name=N" + QuotedStr("MS_Description") + ", @value=N" + QuotedStr(GetDescription()) +
       ", @level0type=N" + QuotedStr(l[0].Type) + ", @level0name=N" + QuotedStr(l[0].Name);
  if (l[1].Set)
    s += ", @level1type=N" + QuotedStr(l[1].Type) + ", @level1name=N" + QuotedStr(l[1].Name);
  if (l[2].Set)
    s += ", @level2type=N" + QuotedStr(l[2].Type) + ", @level2name=N" + QuotedStr(l[2].Name);
  return s;
}

std::string TDbObj::SchemaPrefix(const std::string& schema) {
  return schema.empty() ? std::string() : QuoteName(schema) + ".";
}

bool TDbObj::PGCommentTarget(std::string& word, std::string& target) {
  const char* kind = KindWord(TKindWordUse::kwPGComment);
  if (!kind) return false;
  word = kind;
  target = GetQualifiedName() + GetSignatureText();
  return true;
}

std::string TDbObj::PGDescriptionSQL() {
  std::string word, target;
  if (!PGCommentTarget(word, target)) return {};
  return "COMMENT ON " + word + " " + target + " IS " +
         QuoteStringLiteral(GetDescription(), GetServerType());
}

std::string TDbObj::GetDescriptionSQL() {
  if (Suppressed || !GetObjFilter().Contains(TCmpObjType::coDescription)) return {};
  switch (ScriptDialect(GetServerType())) {
    case SD::sdInterBase: return InterBaseDescriptionSQL();
    case SD::sdASA: return ASADescriptionSQL();
    case SD::sdMySQL: return MySQLDescriptionSQL();
    case SD::sdOracle: return OracleDescriptionSQL();
    case SD::sdMSSQL: return MSSQLDescriptionSQL();
    case SD::sdPostgreSQL: return PGDescriptionSQL();
    case SD::sdGeneric:
    case SD::sdDB2:
    case SD::sdASE: return {};
  }
  return {};
}

// --------------------------------------------------- Dependency-ordered walk

void TDbObj::Select() { SetSelected(true); }

void TDbObj::Deselect() { SetSelected(false); }

TWalk TDbObj::DropPresentUsers(bool activeOnly) {
  // The list is re-read on every step: a user's own walk may change edges
  // of this object.
  for (int i = 0; i < UsedBy().Count(); ++i) {
    TDependObj* e = UsedBy().Object(i);
    if (!e || !e->Target || e->Target == this || !e->Target->GetSelected()) continue;
    if (activeOnly && !e->Active) continue;
    co_await e->Target->WriteDropWalk();
  }
}

void TDbObj::WriteCreate() { RunWalk(WriteCreateWalk()); }

void TDbObj::WriteDrop() { RunWalk(WriteDropWalk()); }

void TDbObj::DoBeforeCreate() { RunWalk(DoBeforeCreateWalk()); }

void TDbObj::DoBeforeDrop() { RunWalk(DoBeforeDropWalk()); }

TWalk TDbObj::DoBeforeDropWalk() { co_await DropPresentUsers(/*activeOnly=*/false); }

TWalk TDbObj::WriteDropWalk() {
  if (!GetSelected() || walking_) co_return;
  TScopedValue<bool> guard(walking_, true);
  const bool isTable = GetKind() == TDbObject::dboTable;
  if (isTable || ObjType == TDbObject::dboGenerator) {
    // Left alone when the source of the comparison holds it as well.
    TCustomObjs* src = owner_ ? owner_->GetSourceObjs() : nullptr;
    if (src) {
      const bool held = isTable ? src->Tables.FindObject(GetKeyName()) != nullptr
                                : src->Generators.FindObject(GetKeyName()) != nullptr;
      if (held) co_return;
    }
  }
  co_await DoBeforeDropWalk();
  if (GetSelected()) {
    DeselectColumns();
    std::string name = name_;
    if (name.empty() && GetKind() == TDbObject::dboConstraint) name = SystemName;
    if (TScriptWriter* w = GetScriptWriter())
      w->AddStatement(GetDropSQL(), kStmtObject, name, ObjType, kActionDrop, HolderTableName(), 0);
    SetSelected(false);
  }
  Deselect();
}

TWalk TDbObj::DoBeforeCreateWalk() {
  if (TDbObj* holder = HolderObj())
    for (auto& e : DependsOn())
      if (e.Value && e.Value->Target == holder) e.Value->Active = false;

  for (int i = 0; i < DependsOn().Count(); ++i) {
    TDependObj* e = DependsOn().Object(i);
    if (!e || !e->Active || !e->Target || e->Target == this || e->Target->GetSelected()) continue;
    TDbObj* target = e->Target;
    // Served before descending, so that a cycle of edges ends.
    e->Active = false;
    if (TDbObj* holder = target->HolderObj()) {
      // A table's own column.
      if (holder == this && GetKind() == TDbObject::dboTable) continue;
      // A column comes with its table.
      if (holder->GetKind() == TDbObject::dboTable && !holder->GetSelected()) target = holder;
    } else if (target->ServesUserWithStub(*this)) {
      // A stub body is enough to let this object be created; the target's
      // own body comes later.
      if (TScriptWriter* w = GetScriptWriter())
        w->AddStatement(target->GetStubSQL(), target->StatementKind(), target->GetName(),
                        target->GetKind(), kActionEmptyBody, {}, 0);
      target->SetBodyEmptied(true);
      target->SetSelected(true);
      continue;
    }
    co_await target->WriteCreateWalk();
  }
}

TWalk TDbObj::WriteCreateWalk() {
  if (walking_) co_return;
  TScopedValue<bool> guard(walking_, true);
  co_await DoBeforeCreateWalk();
  TScriptWriter* w = GetScriptWriter();
  if (w && GetServerType() == DB::dbPostgreSQL) w->SetCurrentSchema(parentName_);
  // A routine or trigger that went out with a stub body (to break a cycle,
  // or emptied for a drop) still owes its own body: it comes now, as ALTER.
  if (!GetSelected() || BodyOwed()) {
    const bool present = GetSelected();
    const int kind = StatementKind();
    if (kind == kStmtTrigger)
      for (auto& e : UsedBy())
        if (e.Value) e.Value->Active = false;
    const std::string name = kind != kStmtObject ? name_ : GetQualifiedName();
    std::string text;
    if (!present) text = GetScriptSQL();
    else if (!Suppressed) text = GetAlterSQL();
    if (w)
      w->AddStatement(text, kind, name, ObjType, present ? kActionAlter : kActionCreate,
                      HolderTableName(), 0);
    SetSelected(true);
    SetBodyEmptied(false);
    // Descriptions go with the statement they describe, only when the
    // object is written here.
    if (w && GetObjFilter().Contains(TCmpObjType::coDescription)) {
      if (!GetDescription().empty()) w->AddDescription(*this);
      std::vector<TDbObj*> params;
      GetDescribedParams(params);
      for (TDbObj* p : params)
        if (!p->GetDescription().empty()) w->AddDescription(*p);
    }
  }
  Select();
}

// -------------------------------------------------------------- TDependObj

TDependObj::TDependObj(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboDepend; }

// ------------------------------------------------ the pooled classes' blocks

namespace {
// Constant-initialised: no constructor runs before main, and the pools are
// there for objects freed at any time.
constinit TBlockPool edgePool(sizeof(TDependObj));
constinit TBlockPool fieldPool(sizeof(TFldData));
}  // namespace

void* TDependObj::operator new(std::size_t size) { return edgePool.Allocate(size); }
void TDependObj::operator delete(void* p, std::size_t size) noexcept { edgePool.Free(p, size); }
void* TFldData::operator new(std::size_t size) { return fieldPool.Allocate(size); }
void TFldData::operator delete(void* p, std::size_t size) noexcept { fieldPool.Free(p, size); }

std::string TDependObj::GetDisplayName() {
  if (!FieldName.empty()) return GetName() + " (field: " + FieldName + ")";
  if (Changed) return "(+/-) " + GetName();
  return Target ? Target->GetDisplayName() : GetName();
}

}  // namespace qor
