// Tables, publications and schemas: construction and ownership.
#include "model/qorComp_Tbl.h"

namespace qor {

TTblData::TTblData(TCustomObjs* owner) : TDbObj(owner) {
  ObjType = TDbObject::dboTable;
  // MS SQL column names compare without case, every other dialect's with.
  Fields.SetCaseSensitive(GetServerType() != TDatabaseType::dbMSSQL);
}

TTblData::~TTblData() = default;

void TTblData::GetSubObjects(std::vector<TDbObj*>& out) { AppendFields(Fields, out); }

void TTblData::SetComputedPending(bool value) {
  ComputedPending = value;
  if (auto* other = dynamic_cast<TTblData*>(Counterpart)) other->ComputedPending = value;
}

void TPblData::GetSubObjects(std::vector<TDbObj*>& out) {
  for (const auto& a : Articles)
    if (a) AppendFields(a->Columns, out);
}

}  // namespace qor
