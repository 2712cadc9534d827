// Procedures and functions: construction, parameters, the list key and the
// emptied-body flag.
#include "model/qorComp_Prc.h"

#include "platform/qorStrings.h"

namespace qor {

TPrcData::TPrcData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboProcedure; }

TPrcData::~TPrcData() = default;

std::string TPrcData::GetKeyName() {
  const TDatabaseType st = GetServerType();
  if (st == TDatabaseType::dbPostgreSQL) {
    // Overloads differ by their input types.
    std::string key = GetParentName().empty() ? std::string() : GetParentName() + ".";
    key += GetName() + "(";
    bool first = true;
    for (auto& p : InParams) {
      if (!p.Value) continue;
      if (!first) key += ", ";
      key += LowerLocale(p.Value->GetDataTypeSQL());
      first = false;
    }
    return key + ")";
  }
  std::string key = TDbObj::GetKeyName();
  if (st == TDatabaseType::dbMSSQL && GroupNumber != 0) key += ";" + IntToStr(GroupNumber);
  return key;
}

void TPrcData::GetSubObjects(std::vector<TDbObj*>& out) {
  AppendFields(InParams, out);
  AppendFields(OutParams, out);
}

void TPrcData::ClearParams() {
  InParams.Clear();
  OutParams.Clear();
}

bool TPrcData::HasTableResult() const {
  if (TableResult) return true;
  return OutParams.Count() > 0 && OutParams.Object(0) && OutParams.Object(0)->DataType == dt::TABLE;
}

void TPrcData::SetBodyEmptied(bool value) {
  BodyEmptied = value;
  if (auto* other = dynamic_cast<TPrcData*>(Counterpart)) other->BodyEmptied = value;
}

TFldData* TPrcData::FindParam(std::string_view name) const {
  if (TFldData* p = InParams.FindObject(name)) return p;
  return OutParams.FindObject(name);
}

std::string TPrcData::GetParamsSQL(bool) { return {}; }

std::string TPrcData::GetCreateEmptySQL() { return {}; }

}  // namespace qor
