// External functions: construction and ownership of arguments and result.
#include "model/qorComp_Udf.h"

namespace qor {

TUdfData::TUdfData(TCustomObjs* owner) : TDbObj(owner) {
  ResultField = std::make_unique<TFldData>(owner, nullptr);
  ObjType = TDbObject::dboFunction;
}

TUdfData::~TUdfData() = default;

void TUdfData::GetSubObjects(std::vector<TDbObj*>& out) {
  AppendFields(Args, out);
  if (ResultField) out.push_back(ResultField.get());
}

}  // namespace qor
