// Exceptions.
#pragma once

#include <string>

#include "model/qorClasses.h"

namespace qor {

class TExcData : public TDbObj {
 public:
  explicit TExcData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboException; }
  const char* ClassName() const override { return "TExcData"; }

  std::string Message;
};

}  // namespace qor
