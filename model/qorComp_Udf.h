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
  TDbObject GetKind() const override { return TDbObject::dboFunction; }

  // DECLARE EXTERNAL FUNCTION with arguments, result, entry point and module.
  std::string GetCreateSQL() override;
  // Views and computed columns that call the function go first.
  TWalk DoBeforeDropWalk() override;
  // Views and computed columns of the source that call the function are
  // written again.
  void Deselect() override;
  void GetSubObjects(std::vector<TDbObj*>& out) override;

  TFieldList Args;  // ByValue, ByDescriptor and ReturnParamNo apply
  std::unique_ptr<TFldData> ResultField;
  std::string EntryPoint;
  std::string ModuleName;
  bool FreeIt = false;
};

}  // namespace qor
