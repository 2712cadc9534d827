// Domains and user-defined types: construction and ownership of the type
// holder, the Oracle parts and the PostgreSQL type options.
#include "model/qorComp_Dmn.h"

namespace qor {

TDmnData::TDmnData(TCustomObjs* owner) : TDbObj(owner) {
  TypeHolder = std::make_unique<TFldData>(owner, this);
  ObjType = TDbObject::dboDomain;
  PGOptions = std::make_unique<TPGTypeOptions>(this);
}

TDmnData::~TDmnData() = default;

void TDmnData::GetSubObjects(std::vector<TDbObj*>& out) {
  if (TypeHolder) out.push_back(TypeHolder.get());
  AppendFields(Attributes, out);
  for (const auto& m : Methods)
    if (m.Value) out.push_back(m.Value.get());
  AppendFields(AddedAttributes, out);
  if (PGOptions) AppendFields(PGOptions->Fields, out);
}

void TDmnData::ClearLinksTo(const TDbObj* gone) {
  if (PGOptions && PGOptions->Element == gone) PGOptions->Element = nullptr;
  TDbObj::ClearLinksTo(gone);
}

}  // namespace qor
