// Views: the CREATE text of each dialect with the optional column list, the
// DROP text, and the view's part of the dependency-ordered walk, which
// re-creates the views a changed view rests on and empties the bodies of
// the routines and triggers that read a dropped one.
#include "model/qorComp_Viw.h"

#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorScriptWriter.h"
#include "platform/qorScopedValue.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

using DB = TDatabaseType;
using SD = TScriptDialect;

void Comment(TDbObj& obj, const std::string& text) {
  if (TScriptWriter* w = obj.GetScriptWriter()) w->AddComment(obj.MakeComment(text));
}

// A view the user rests on: created when absent, dropped and created again
// when the comparison's two sides hold different texts of it.
TWalk WriteRestingView(TDbObj& user, TViwData& view, std::string_view forText) {
  const std::string tail = view.GetName() + std::string(forText) + user.GetName();
  if (!view.GetSelected() && !view.InWalk()) {
    Comment(user, "Create view: " + tail);
    co_await view.WriteCreateWalk();
  }
  TCustomObjs* src = WalkSourceObjs(view);
  TCustomObjs* dst = WalkTargetObjs(view);
  if (!src || !dst || src == dst) co_return;
  TViwData* srcView = src->Views.FindObject(view.GetKeyName());
  TViwData* dstView = dst->Views.FindObject(view.GetKeyName());
  if (!srcView || !dstView || srcView->SourceCopy == dstView->SourceCopy) co_return;
  if (srcView->InWalk() || dstView->InWalk()) co_return;
  // Taken over first, so that a cycle of changed views ends.
  dstView->SourceCopy = srcView->SourceCopy;
  Comment(user, "Alter view (drop/create): " + tail);
  Comment(user, "Alter view (drop): " + tail);
  co_await dstView->WriteDropWalk();
  Comment(user, "Alter view (create): " + tail);
  co_await srcView->WriteCreateWalk();
}

// A table column the user names: written when the other side lacks it.
TWalk WriteRestingColumn(TDbObj& user, TTblData& table, TFldData* column,
                         const std::string& columnName) {
  TCustomObjs* owner = user.Owner();
  TCustomObjs* other = owner ? owner->LinkedObjs : nullptr;
  if (!other) co_return;
  TTblData* otherTable = other->Tables.FindObject(table.GetKeyName());
  TFldData* otherColumn = otherTable ? otherTable->FindField(columnName) : nullptr;
  if (!otherColumn || otherColumn->GetSelected() || otherColumn->DependsOn().Count() != 0)
    co_return;
  co_await otherColumn->WriteCreateWalk();
  otherColumn->SetSelected(true);
  if (column) column->SetSelected(true);
}

}  // namespace

TCustomObjs* WalkSourceObjs(const TDbObj& obj) {
  TCustomObjs* owner = obj.Owner();
  if (!owner) return nullptr;
  TCustomObjs* src = owner->GetSourceObjs();
  return src ? src : owner;
}

TCustomObjs* WalkTargetObjs(const TDbObj& obj) {
  TCustomObjs* owner = obj.Owner();
  if (!owner) return nullptr;
  TCustomObjs* dst = owner->GetTargetObjs();
  return dst ? dst : owner;
}

TWalk WriteRestingObjects(TDbObj& user, std::string_view forText) {
  // Re-read on every step: the writes below may change the list.
  for (int i = 0; i < user.DependsOn().Count(); ++i) {
    TDependObj* e = user.DependsOn().Object(i);
    if (!e || !e->Target || e->Target == &user) continue;
    TDbObj* target = e->Target;
    if (auto* view = dynamic_cast<TViwData*>(target)) {
      co_await WriteRestingView(user, *view, forText);
    } else if (auto* column = dynamic_cast<TFldData*>(target)) {
      if (auto* table = dynamic_cast<TTblData*>(column->OwnerObj))
        co_await WriteRestingColumn(user, *table, column, column->GetName());
    } else if (auto* table = dynamic_cast<TTblData*>(target)) {
      if (!e->FieldName.empty())
        co_await WriteRestingColumn(user, *table, table->FindField(e->FieldName), e->FieldName);
    } else if (target->ObjType == TDbObject::dboGenerator) {
      co_await target->WriteCreateWalk();
    }
  }
}

// ------------------------------------------------------------------ TViwData

TViwData::TViwData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboView; }

TViwData::~TViwData() = default;

void TViwData::GetSubObjects(std::vector<TDbObj*>& out) { AppendFields(Columns, out); }

void TViwData::DeselectColumns() {
  for (auto& f : Columns)
    if (f.Value) f.Value->SetSelected(false);
}

std::string TViwData::GetColumnsText() {
  if (Columns.Empty()) return {};
  std::string s;
  for (int i = 0; i < Columns.Count(); ++i) {
    if (i) s += ",";
    s += std::string(CRLF) + QuoteName(Columns.Name(i));
  }
  return "(" + s + ")";
}

std::string TViwData::MSSQLText() {
  // No body was read, only the server's own definition text.
  if (GetText().empty()) return ObjectSource;
  const std::string crlf(CRLF);
  std::string s = "CREATE VIEW " + GetQualifiedName() + GetColumnsText() + crlf;
  std::string options;
  if (WithEncryption) options = "  WITH ENCRYPTION";
  for (const auto& [set, word] :
       {std::pair{SchemaBinding, "SCHEMABINDING"}, std::pair{ViewMetadata, "VIEW_METADATA"}}) {
    if (!set) continue;
    options += options.empty() ? "  WITH " : ", ";
    options += word;
  }
  if (!options.empty()) s += options + crlf;
  return s + " AS " + crlf + GetText();
}

std::string TViwData::GetCreateSQL() {
  const std::string crlf(CRLF);
  const std::string tail = crlf + " AS " + crlf + GetText();
  switch (ScriptDialect(GetServerType())) {
    case SD::sdOracle: {
      std::string s = "CREATE OR REPLACE VIEW " + GetQualifiedName();
      if (!OfType.empty()) s += " OF " + OfType;
      if (!ObjectIdColumns.empty())
        s += crlf + "   WITH OBJECT " + (ObjectIdKind.empty() ? "IDENTIFIER" : ObjectIdKind) + "(" +
             JoinLines(ObjectIdColumns, ", ") + ")";
      return s + GetColumnsText() + crlf + "   AS " + crlf + GetText();
    }
    case SD::sdMSSQL: return MSSQLText();
    case SD::sdMySQL: {
      std::string s = "CREATE";
      if (!Algorithm.empty()) s += " ALGORITHM=" + Algorithm;
      if (!SqlSecurity.empty()) s += " SQL SECURITY " + SqlSecurity;
      return s + " VIEW " + QuoteName(GetName()) + GetColumnsText() + tail;
    }
    case SD::sdPostgreSQL:
    case SD::sdDB2: return "CREATE VIEW " + GetQualifiedName() + GetColumnsText() + tail;
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdASA:
    case SD::sdASE: break;
  }
  return "CREATE VIEW " + QuoteName(GetName()) + GetColumnsText() + tail;
}

std::string TViwData::GetDropSQL() {
  if (Suppressed) return {};
  return "DROP VIEW " + GetQualifiedName();
}

// ---------------------------------------------------------------- The walk

TWalk TViwData::DoBeforeCreateWalk() {
  co_await TDbObj::DoBeforeCreateWalk();
  co_await WriteRestingObjects(*this, " for view: ");
}

TWalk TViwData::WriteCreateWalk() {
  // Unlike the base, the view acts only while it is absent.
  if (GetSelected() || walking_) co_return;
  TScopedValue<bool> flag(walking_, true);
  co_await DoBeforeCreateWalk();
  if (GetSelected()) co_return;
  TScriptWriter* w = GetScriptWriter();
  if (w && GetServerType() == DB::dbDB2 && !GetParentName().empty())
    w->AddStatement("SET CURRENT SCHEMA = " + QuoteName(GetParentName()), kStmtObject,
                    GetParentName(), TDbObject::dboSchema, kActionNone, {}, 0);
  Comment(*this, "Create view: " + GetName() + " (ViwData.CreateDependDef)");
  const std::string text = GetScriptSQL();
  if (w) w->AddStatement(text, kStmtObject, GetQualifiedName(), ObjType, kActionCreate, {}, 0);
  SetSelected(true);
  if (w && GetObjFilter().Contains(TCmpObjType::coDescription) && !GetDescription().empty())
    w->AddDescription(*this);
  // The triggers on the view can only follow it.
  if (TCustomObjs* src = WalkSourceObjs(*this))
    for (int i = 0; i < src->Triggers.Count(); ++i)
      if (TTrgData* t = src->Triggers.Object(i); t && t->GetTableName() == GetName())
        co_await t->WriteCreateWalk();
}

void TViwData::Select() {
  TDbObj::Select();
  for (const auto& e : UsedBy()) {
    TDbObj* user = e.Value ? e.Value->Target : nullptr;
    if (!user || !(dynamic_cast<TViwData*>(user) || dynamic_cast<TDmnData*>(user))) continue;
    e.Value->Active = true;
    for (const auto& back : user->DependsOn())
      if (back.Value && back.Value->Target == this) back.Value->Active = true;
  }
}

TWalk TViwData::DoBeforeDropWalk() {
  const bool ase = GetServerType() == DB::dbSybaseASE;
  for (int i = 0; i < UsedBy().Count(); ++i) {
    TDependObj* e = UsedBy().Object(i);
    if (!e || !e->Target) continue;
    if (e->Target == this) {
      e->Active = false;
      continue;
    }
    if (!e->Active) continue;
    // Routines and triggers that read the view keep existing with an empty
    // body (ASE cannot alter them and drops them instead).
    if (auto* t = dynamic_cast<TTrgData*>(e->Target)) {
      if (ase) co_await t->WriteDropWalk();
      else if (t->GetSelected() && !t->HasEmptyBody()) t->ReplaceWithEmptyBody();
    } else if (auto* p = dynamic_cast<TPrcData*>(e->Target)) {
      if (ase) co_await p->WriteDropWalk();
      else p->ReplaceWithEmptyBody(/*write=*/true);
    } else if (dynamic_cast<TCtrData*>(e->Target)) {
      co_await e->Target->WriteDropWalk();
    } else {
      continue;
    }
    e->Active = false;
  }
  if (TCustomObjs* dst = WalkTargetObjs(*this))
    for (int i = 0; i < dst->Triggers.Count(); ++i)
      if (TTrgData* t = dst->Triggers.Object(i);
          t && t->GetSelected() && t->GetTableName() == GetName())
        co_await t->WriteDropWalk();
  co_await DropPresentUsers(/*activeOnly=*/true);
}

void TViwData::Deselect() {
  TDbObj::Deselect();
  if (TCustomObjs* src = WalkSourceObjs(*this))
    for (const auto& g : src->Grants)
      if (g.Value && g.Value->ObjectName == GetName()) g.Value->Deselect();
}

}  // namespace qor
