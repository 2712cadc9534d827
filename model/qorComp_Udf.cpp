// External functions: ownership of arguments and result, the DECLARE text and
// the dependency walk of the views and computed columns that call them.
#include "model/qorComp_Udf.h"

#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

bool IsComputed(const TFldData& f) { return !f.GetText().empty(); }

// The column `field` of the table that `key` names in `objs`, or none.
TFldData* ColumnIn(TCustomObjs* objs, const std::string& key, const std::string& field) {
  if (!objs) return nullptr;
  TTblData* t = objs->Tables.FindObject(key);
  return t ? t->FindField(field) : nullptr;
}

}  // namespace

TUdfData::TUdfData(TCustomObjs* owner) : TDbObj(owner) {
  // The result belongs to the function as the arguments do, so that it is
  // written as an external-function type (no segment size).
  ResultField = std::make_unique<TFldData>(owner, this);
  ObjType = TDbObject::dboFunction;
}

TUdfData::~TUdfData() = default;

void TUdfData::GetSubObjects(std::vector<TDbObj*>& out) {
  AppendFields(Args, out);
  if (ResultField) out.push_back(ResultField.get());
}

std::string TUdfData::GetCreateSQL() {
  const std::string crlf(CRLF);
  const TDatabaseType st = GetServerType();
  std::string s = "DECLARE EXTERNAL FUNCTION " + QuoteName(GetName()) + crlf;
  std::string args;
  for (const auto& a : Args) {
    if (!a.Value) continue;
    if (!args.empty()) args += ", ";
    args += a.Value->GetCreateSQL();
  }
  if (!args.empty()) s += args + crlf;
  s += "RETURNS " + (ResultField ? ResultField->GetCreateSQL() : std::string());
  if (FreeIt) s += " FREE_IT";
  s += crlf;
  return s + "ENTRY_POINT " + QuoteStringLiteral(EntryPoint, st) + " MODULE_NAME " +
         QuoteStringLiteral(ModuleName, st);
}

TWalk TUdfData::DoBeforeDropWalk() {
  co_await TDbObj::DoBeforeDropWalk();
  TCustomObjs* target = Owner() ? Owner()->GetTargetObjs() : nullptr;
  // Re-read on every step: a user's own walk may change this list.
  for (int i = 0; i < UsedBy().Count(); ++i) {
    TDependObj* e = UsedBy().Object(i);
    if (!e || !e->Target) continue;
    if (auto* col = dynamic_cast<TFldData*>(e->Target)) {
      if (TViwData* v = target ? target->Views.FindObject(col->GetTableName()) : nullptr) {
        co_await v->WriteDropWalk();
        e->Active = false;
      }
      if (col->GetSelected() && IsComputed(*col)) {
        co_await col->WriteDropWalk();
        e->Active = false;
      }
      continue;
    }
    auto* table = dynamic_cast<TTblData*>(e->Target);
    if (!table || e->FieldName.empty()) continue;
    TFldData* col = ColumnIn(target, table->GetKeyName(), e->FieldName);
    if (col && IsComputed(*col) && col->GetSelected()) {
      co_await col->WriteDropWalk();
      e->Active = false;
    }
  }
}

void TUdfData::Deselect() {
  TDbObj::Deselect();
  TCustomObjs* source = Owner() ? Owner()->GetSourceObjs() : nullptr;
  if (!source) return;
  for (int i = 0; i < UsedBy().Count(); ++i) {
    TDependObj* e = UsedBy().Object(i);
    auto* col = e ? dynamic_cast<TFldData*>(e->Target) : nullptr;
    if (!col) continue;
    const std::string table = col->GetTableName();
    if (TViwData* v = source->Views.FindObject(table); v && !v->GetSelected()) v->WriteCreate();
    if (!IsComputed(*col)) continue;
    TTblData* holder = source->Tables.FindObject(table);
    TFldData* same = holder ? holder->FindField(col->GetName()) : nullptr;
    if (same && !same->GetSelected()) same->WriteCreate();
  }
}

}  // namespace qor
