// Indices: construction, ownership of the column lists and the list key.
#include "model/qorComp_Idx.h"

namespace qor {

TIdxData::TIdxData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboIndex; }

TIdxData::~TIdxData() = default;

std::string TIdxData::GetKeyName() {
  if (GetServerType() == TDatabaseType::dbMySQL) return TableName + "." + GetName();
  return TDbObj::GetKeyName();
}

void TIdxData::GetSubObjects(std::vector<TDbObj*>& out) {
  AppendFields(Columns, out);
  AppendFields(IncludeColumns, out);
}

void TIdxData::ClearFields() {
  Columns.Clear();
  IncludeColumns.Clear();
}

}  // namespace qor
