// Defaults (CREATE DEFAULT objects).
#pragma once

#include <string>

#include "model/qorClasses.h"

namespace qor {

class TDefData : public TDbObj {
 public:
  explicit TDefData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboDefault; }
  const char* ClassName() const override { return "TDefData"; }

  std::string Expression;
};

}  // namespace qor
