// InterBase/Firebird external functions: arguments, result, entry point and
// module.
#pragma once

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"

#include <memory>
#include <string>
#include <vector>

namespace qor {

class TUdfData : public TDbObj {
 public:
  explicit TUdfData(TCustomObjs* owner);
  ~TUdfData() override;
  const char* ClassName() const override { return "TUdfData"; }

  void GetSubObjects(std::vector<TDbObj*>& out) override;

  TFieldList Args;  // ByValue, ByDescriptor and ReturnParamNo apply
  std::unique_ptr<TFldData> ResultField;
  std::string EntryPoint;
  std::string ModuleName;
  bool FreeIt = false;
};

}  // namespace qor
