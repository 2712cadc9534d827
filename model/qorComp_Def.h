// Defaults (CREATE DEFAULT objects).
#pragma once

#include "model/qorClasses.h"

#include <string>

namespace qor {

class TDefData : public TDbObj {
 public:
  explicit TDefData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboDefault; }
  const char* ClassName() const override { return "TDefData"; }

  std::string Expression;
};

}  // namespace qor
