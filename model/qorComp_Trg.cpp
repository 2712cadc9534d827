// Triggers: construction, the link to the table or view and the
// emptied-body flag.
#include "model/qorComp_Trg.h"

#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"

namespace qor {

TTrgData::TTrgData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboTrigger; }

TTrgData::~TTrgData() = default;

void TTrgData::SetTableName(std::string_view name) {
  if (name == tableName_ && tableObj_) return;
  tableName_ = std::string(name);
  tableObj_ = nullptr;
  TCustomObjs* owner = Owner();
  if (!owner) return;
  const std::string key = GetServerType() == TDatabaseType::dbSybaseASA
                              ? OwnerQualifier + "." + tableName_
                              : tableName_;
  if (TTblData* t = owner->Tables.FindObject(key)) tableObj_ = t;
  else tableObj_ = owner->Views.FindObject(key);
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

}  // namespace qor
