// Exceptions.
#pragma once

#include "model/qorClasses.h"

#include <string>

namespace qor {

class TExcData : public TDbObj {
 public:
  explicit TExcData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboException; }
  const char* ClassName() const override { return "TExcData"; }

  std::string Message;
};

}  // namespace qor
