// Triggers: the link to the table or view, the CREATE header of each
// dialect with the body appended, ALTER, DROP, the empty-body variant that
// breaks dependencies, and the trigger's part of the drop walk.
#include "model/qorComp_Trg.h"

#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "model/qorScriptWriter.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

using DB = TDatabaseType;
using SD = TScriptDialect;

// "INSERT", "UPDATE", "DELETE" as set, in that order.
std::vector<std::string> EventWords(std::uint8_t events) {
  std::vector<std::string> out;
  if (events & teInsert) out.emplace_back("INSERT");
  if (events & teUpdate) out.emplace_back("UPDATE");
  if (events & teDelete) out.emplace_back("DELETE");
  return out;
}

}  // namespace

std::string IBDDLEventText(std::int64_t type) {
  const std::int64_t events = type & ~(kIBTriggerKindMask | 1);
  if (events == kIBAnyDDLEvents) return "ANY DDL STATEMENT";
  std::string s;
  std::int64_t named = 0;
  for (const TIBDDLEvent& e : kIBDDLEvents) {
    const std::int64_t bit = std::int64_t{1} << e.Bit;
    if (!(events & bit)) continue;
    named |= bit;
    if (!s.empty()) s += " OR ";
    s += e.Name;
  }
  // An event this table does not know would be lost from the header.
  return named == events ? s : std::string();
}

std::int64_t IBDDLEventBit(std::string_view name) {
  for (const TIBDDLEvent& e : kIBDDLEvents)
    if (name == e.Name) return std::int64_t{1} << e.Bit;
  return 0;
}

TTrgData::TTrgData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboTrigger; }

TTrgData::~TTrgData() = default;

std::string TTrgData::TableKey() const {
  return GetServerType() == DB::dbSybaseASA ? OwnerQualifier + "." + tableName_ : tableName_;
}

bool TTrgData::OnDatabase() const { return tableName_ == "DATABASE" || tableName_ == "ALL SERVER"; }

TDbObj* TTrgData::FindTableIn(const TCustomObjs& objs, bool viewsOnly) const {
  auto find = [&](const std::string& key) -> TDbObj* {
    if (!viewsOnly)
      if (TTblData* t = objs.Tables.FindObject(key)) return t;
    return objs.Views.FindObject(key);
  };
  // Those key by schema, and a trigger is in the schema of its table.
  const DB st = GetServerType();
  if ((st == DB::dbMSSQL || st == DB::dbPostgreSQL) && !GetParentName().empty())
    if (TDbObj* o = find(GetParentName() + "." + tableName_)) return o;
  return find(TableKey());
}

void TTrgData::SetTableName(std::string_view name) {
  if (name == tableName_ && tableObj_) return;
  tableName_ = std::string(name);
  tableObj_ = nullptr;
  if (TCustomObjs* owner = Owner()) tableObj_ = FindTableIn(*owner, /*viewsOnly=*/false);
}

void TTrgData::SetBodyEmptied(bool value) {
  BodyEmptied = value;
  if (auto* other = dynamic_cast<TTrgData*>(Counterpart)) other->BodyEmptied = value;
}

void TTrgData::GetSubObjects(std::vector<TDbObj*>& out) { AppendFields(Columns, out); }

void TTrgData::ClearLinksTo(const TDbObj* gone) {
  if (tableObj_ == gone) tableObj_ = nullptr;
  TDbObj::ClearLinksTo(gone);
}

// ------------------------------------------------------------ CREATE texts

std::string TTrgData::InterBaseText(const std::string& body) {
  std::string s = "CREATE TRIGGER " + QuoteName(GetName());
  const bool ddl = IsIBDDLTrigger();
  const std::string ddlEvents = ddl ? IBDDLEventText(TriggerType) : std::string();
  // A code with an event the model does not know has no header to write.
  if (ddl && ddlEvents.empty()) return {};
  const bool database = ddl || tableName_ == "DATABASE";
  s += database ? std::string(CRLF) : " FOR " + QuoteName(tableName_) + std::string(CRLF);
  s += Active ? "ACTIVE " : "INACTIVE ";
  if (ddl) {
    s += (TriggerType & 1) ? "AFTER " : "BEFORE ";
    s += ddlEvents;
  } else if (database) {
    s += "ON " + EventText + std::string(CRLF);
  } else {
    // The type code plus one carries the timing in bit 0 and up to three
    // events in the two-bit groups above it.
    const std::int64_t c = TriggerType + 1;
    s += (c & 1) ? "AFTER " : "BEFORE ";
    static constexpr const char* kNames[4] = {nullptr, "INSERT", "UPDATE", "DELETE"};
    bool first = true;
    for (int shift : {1, 3, 5}) {
      const char* name = kNames[(c >> shift) & 3];
      if (!name) continue;
      if (!first) s += " OR ";
      s += name;
      first = false;
    }
  }
  s += " POSITION " + IntToStr(Position) + " " + std::string(CRLF);
  return s + body;
}

std::string TTrgData::MySQLText(const std::string& body) {
  std::string s = "CREATE TRIGGER " + QuoteName(GetName()) + " ";
  if (Timing == ttBefore) s += "BEFORE ";
  else if (Timing == ttAfter) s += "AFTER ";
  // MySQL has one event per trigger: the highest one set.
  if (Events & teDelete) s += "DELETE";
  else if (Events & teUpdate) s += "UPDATE";
  else if (Events & teInsert) s += "INSERT";
  s += " ON " + QuoteName(tableName_) + std::string(CRLF) + "     FOR EACH ROW" + std::string(CRLF);
  return s + body;
}

std::string TTrgData::MSSQLText(const std::string& body, bool alter) {
  if (body.empty()) {
    // Nothing was read but the server's own definition text.
    return alter ? CreateToAlter(ObjectSource) : ObjectSource;
  }
  std::string s = std::string(alter ? "ALTER " : "CREATE ") + "TRIGGER ";
  std::string events;
  if (OnDatabase()) {
    s += QuoteName(GetName()) + " ON " + tableName_;
    events = EventText;
  } else {
    s += GetQualifiedName() + " ON ";
    if (!GetParentName().empty()) s += QuoteName(GetParentName()) + ".";
    s += QuoteName(tableName_);
    events = JoinLines(EventWords(Events), ", ");
  }
  switch (Timing) {
    case ttAfter: s += std::string(CRLF) + " AFTER "; break;
    case ttFor: s += std::string(CRLF) + " FOR "; break;
    case ttInsteadOf: s += std::string(CRLF) + " INSTEAD OF "; break;
    // No timing word for other codes, but the events must not run into
    // the table name.
    default: s += std::string(CRLF) + " "; break;
  }
  s += events + std::string(CRLF);
  if (WithAppend) s += " WITH APPEND" + std::string(CRLF);
  if (NotForReplication) s += " NOT FOR REPLICATION" + std::string(CRLF);
  s += " AS" + std::string(CRLF);
  return s + body;
}

std::string TTrgData::ASAText(const std::string& body) {
  const std::string crlf(CRLF);
  std::string s = "CREATE TRIGGER " + crlf + QuoteName(GetName()) + " ";
  const std::string owner = OwnerQualifier.empty() ? std::string() : OwnerQualifier + ".";
  if (SyntaxMode == 1) {
    s += "ON " + owner + QuoteName(tableName_) + crlf + "  FOR " +
         JoinLines(EventWords(Events), ", ") + crlf + "  AS" + crlf;
    return s + body;
  }
  if (Timing == ttBefore) s += "BEFORE ";
  else if (Timing == ttAfter) s += "AFTER ";
  std::vector<std::string> events = EventWords(Events);
  for (auto& e : events) {
    // An UPDATE OF with no column would not parse.
    if (e != "UPDATE" || Columns.Empty()) continue;
    e += " OF";
    for (int i = 0; i < Columns.Count(); ++i) {
      if (i) e += ",";
      e += " " + QuoteName(Columns.Name(i));
    }
  }
  s += JoinLines(events, ", ");
  if (Position != 0) s += " ORDER " + IntToStr(Position);
  s += " ON" + crlf + owner + QuoteName(tableName_) + crlf;
  if (!OldAlias.empty() || !NewAlias.empty() || !RemoteAlias.empty()) {
    s += "REFERENCING";
    if (!OldAlias.empty()) s += " OLD AS " + QuoteName(OldAlias);
    if (!NewAlias.empty()) s += " NEW AS " + QuoteName(NewAlias);
    if (!RemoteAlias.empty()) s += " REMOTE AS " + QuoteName(RemoteAlias);
    s += crlf;
  }
  if (ForEachRow) s += "FOR EACH ROW" + crlf;
  if (ForEachStatement) s += "FOR EACH STATEMENT" + crlf;
  return s + body;
}

std::string TTrgData::OracleText(const std::string& body) {
  const std::string crlf(CRLF);
  const std::string parent =
      GetParentName().empty() ? std::string() : QuoteName(GetParentName()) + ".";
  std::string s = "CREATE OR REPLACE TRIGGER " + parent + QuoteName(GetName()) + crlf;
  if (Timing == ttBefore) s += "  BEFORE ";
  else if (Timing == ttAfter) s += "  AFTER ";
  else if (Timing == ttInsteadOf) s += "  INSTEAD OF ";
  std::vector<std::string> events = EventWords(Events);
  for (auto& e : events) {
    if (e != "UPDATE" || Columns.Empty()) continue;
    std::vector<std::string> cols;
    for (int i = 0; i < Columns.Count(); ++i) cols.push_back(QuoteName(Columns.Name(i)));
    e += "  OF " + JoinLines(cols, ", ");
  }
  s += JoinLines(events, " OR ");
  s += " ON " + parent + QuoteName(tableName_) + crlf;
  if (!NewAlias.empty() || !OldAlias.empty() || !ParentAlias.empty()) {
    s += "  REFERENCING";
    if (!NewAlias.empty()) s += " NEW AS " + QuoteName(NewAlias);
    if (!OldAlias.empty()) s += " OLD AS " + QuoteName(OldAlias);
    if (!ParentAlias.empty()) s += " PARENT AS " + QuoteName(ParentAlias);
    s += crlf;
  }
  if (ForEachRow) s += "  FOR EACH ROW" + crlf;
  if (ForEachStatement) s += "  FOR EACH STATEMENT" + crlf;
  if (!WhenCondition.empty()) s += "  WHEN " + WhenCondition + crlf;
  return s + body;
}

std::string TTrgData::PGText(const std::string& body) {
  const std::string crlf(CRLF);
  std::string s = "CREATE TRIGGER " + QuoteName(GetName()) + crlf;
  s += Timing == ttBefore ? "  BEFORE" : "  AFTER";
  s += " " + JoinLines(EventWords(Events), " OR ") + crlf;
  s += "  ON ";
  if (!GetParentName().empty()) s += QuoteName(GetParentName()) + ".";
  s += QuoteName(tableName_) + crlf;
  if (ForEachRow) s += "  FOR EACH ROW" + crlf;
  if (ForEachStatement) s += "  FOR EACH STATEMENT" + crlf;
  return s + body;
}

std::string TTrgData::DB2Text(const std::string& body) {
  const std::string crlf(CRLF);
  // In the schema of its table, which is named with it: bare, both would
  // be looked for in the connection's current schema.
  const std::string parent =
      GetParentName().empty() ? std::string() : QuoteName(GetParentName()) + ".";
  std::string s = "CREATE TRIGGER " + parent + QuoteName(GetName()) + crlf;
  s += Timing == ttBefore ? "  NO CASCADE BEFORE" : "  AFTER";
  s += " " + JoinLines(EventWords(Events), " OR ");
  if (!Columns.Empty()) {
    std::vector<std::string> cols;
    for (int i = 0; i < Columns.Count(); ++i) cols.push_back(Columns.Name(i));
    s += " OF " + JoinLines(cols, ", ");
  }
  s += " ON " + parent + QuoteName(tableName_) + crlf;
  if (!NewAlias.empty() || !OldAlias.empty() || !NewTableAlias.empty() || !OldTableAlias.empty()) {
    s += "  REFERENCING" + crlf;
    if (!NewAlias.empty()) s += "  NEW AS " + NewAlias + crlf;
    if (!OldAlias.empty()) s += "  OLD AS " + OldAlias + crlf;
    if (!NewTableAlias.empty()) s += "  NEW_TABLE AS " + NewTableAlias + crlf;
    if (!OldTableAlias.empty()) s += "  OLD_TABLE AS " + OldTableAlias + crlf;
  }
  if (ForEachRow) s += "  FOR EACH ROW";
  else if (ForEachStatement) s += "  FOR EACH STATEMENT";
  // MODE with no value would not parse; the line break stays.
  if (!Mode.empty()) s += " MODE " + Mode;
  s += crlf;
  if (!WhenCondition.empty()) s += "  WHEN " + WhenCondition + crlf;
  return s + body;
}

std::string TTrgData::CreateText(const std::string& body) {
  const SD dialect = ScriptDialect(GetServerType());
  // Only Firebird has DDL triggers and its kind of database triggers (the
  // kinds without DDL of their own write the InterBase form); the script
  // names what it leaves out.
  if ((IsIBDDLTrigger() || IsIBDatabaseTrigger()) && dialect != SD::sdInterBase &&
      dialect != SD::sdGeneric)
    return {};
  switch (dialect) {
    case SD::sdMSSQL:
    case SD::sdASE: return MSSQLText(body, /*alter=*/false);
    case SD::sdOracle: return OracleText(body);
    case SD::sdASA: return ASAText(body);
    case SD::sdPostgreSQL: return PGText(body);
    case SD::sdDB2: return DB2Text(body);
    case SD::sdMySQL: return MySQLText(body);
    case SD::sdGeneric:
    case SD::sdInterBase: return InterBaseText(body);
  }
  return InterBaseText(body);
}

std::string TTrgData::GetCreateSQL() { return CreateText(GetText()); }

std::string TTrgData::GetSourceSQL() {
  if (SourceText.empty()) SourceText = GetText();
  return CreateText(SourceText);
}

std::string TTrgData::GetAlterSQL() {
  const DB st = GetServerType();
  if (st == DB::dbMSSQL) return MSSQLText(GetText(), /*alter=*/true);
  return "ALTER TRIGGER " + QuoteName(GetName()) + std::string(CRLF) + GetText();
}

std::string TTrgData::GetDropSQL() {
  const DB st = GetServerType();
  const std::string name = QuoteName(GetName());
  auto qualified = [this](const std::string& schema) {
    return schema.empty() ? std::string() : QuoteName(schema) + ".";
  };
  switch (ScriptDialect(st)) {
    case SD::sdASA:
      return "DROP TRIGGER " + qualified(OwnerQualifier) + QuoteName(tableName_) + "." + name;
    case SD::sdPostgreSQL:
      return "DROP TRIGGER " + name + " ON " + qualified(GetParentName()) + QuoteName(tableName_);
    case SD::sdMSSQL:
      if (OnDatabase()) return "DROP TRIGGER " + name + " ON " + tableName_;
      return "DROP TRIGGER " + qualified(GetParentName()) + name;
    case SD::sdOracle:
    case SD::sdDB2: return "DROP TRIGGER " + qualified(GetParentName()) + name;
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdMySQL:
    case SD::sdASE: return "DROP TRIGGER " + name;
  }
  return "DROP TRIGGER " + name;
}

// ------------------------------------------------------------- Empty body

std::string TTrgData::GetEmptyBody() const {
  switch (ScriptDialect(GetServerType())) {
    case SD::sdMSSQL: return " declare @i integer;\r\nbegin set @i = 0; end";
    case SD::sdMySQL: return " BEGIN END";
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdASA:
    case SD::sdOracle:
    case SD::sdPostgreSQL:
    case SD::sdDB2:
    case SD::sdASE: break;
  }
  return " AS Declare variable I integer;\r\nBEGIN I = 0; END";
}

std::string TTrgData::GetEmptyCreateSQL() {
  // Built from the empty body directly: the trigger's own body is never
  // touched, so nothing needs restoring.
  return CreateText(GetEmptyBody());
}

void TTrgData::ReplaceWithEmptyBody() {
  // The body as read stays the source text.
  if (SourceText.empty()) SourceText = GetText();
  SetText(GetEmptyBody());
  if (TCustomObjs* owner = Owner())
    if (TCustomObjs* src = owner->GetSourceObjs())
      if (TTrgData* same = src->Triggers.FindObject(GetKeyName())) same->SetBodyEmptied(true);
  if (!GetSelected()) return;
  if (TScriptWriter* w = GetScriptWriter())
    w->AddStatement(GetAlterSQL(), kStmtTrigger, GetName(), ObjType, kActionEmptyBody, {}, 0);
}

TWalk TTrgData::DoBeforeDropWalk() {
  // The other triggers on the same view lose their bodies, which may read
  // what this one is dropped for.
  TCustomObjs* dst = WalkTargetObjs(*this);
  auto* view = dst ? static_cast<TViwData*>(FindTableIn(*dst, /*viewsOnly=*/true)) : nullptr;
  if (view) {
    for (int i = 0; i < view->UsedBy().Count(); ++i) {
      TDependObj* e = view->UsedBy().Object(i);
      auto* other = e ? dynamic_cast<TTrgData*>(e->Target) : nullptr;
      if (!other || !e->Active || other == this || other->GetName() == GetName()) continue;
      if (!other->GetSelected() || other->HasEmptyBody()) continue;
      other->ReplaceWithEmptyBody();
      e->Active = false;
    }
  }
  co_await TDbObj::DoBeforeDropWalk();
}

bool TTrgData::HasEmptyBody() const { return GetText() == TrimCtl(GetEmptyBody()); }

// ------------------------------------------------- Description statements

void TTrgData::MSSQLPropertyLevels(TPropertyLevel (&levels)[3]) {
  if (GetParentName().empty()) {
    levels[0].Assign("TRIGGER", GetName());
    return;
  }
  levels[0].Assign("SCHEMA", GetParentName());
  TDbObj* on = tableObj_;
  if (!on && Owner()) on = FindTableIn(*Owner(), /*viewsOnly=*/false);
  levels[1].Assign(dynamic_cast<TViwData*>(on) ? "VIEW" : "TABLE", tableName_);
  levels[2].Assign("TRIGGER", GetName());
}

bool TTrgData::PGCommentTarget(std::string& word, std::string& target) {
  word = "TRIGGER";
  const std::string schema = tableObj_ ? tableObj_->GetParentName() : GetParentName();
  target = QuoteName(GetName()) + " ON " + SchemaPrefix(schema) + QuoteName(tableName_);
  return true;
}

}  // namespace qor
