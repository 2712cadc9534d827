// Defaults (CREATE DEFAULT objects of MS SQL, ASA and ASE).
#pragma once

#include "model/qorClasses.h"

#include <string>

namespace qor {

class TDefData : public TDbObj {
 public:
  explicit TDefData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboDefault; }
  const char* ClassName() const override { return "TDefData"; }
  TDbObject GetKind() const override { return TDbObject::dboDefault; }

  // MS SQL without an expression: the server's own text (ObjectSource).
  std::string GetCreateSQL() override;
  // GetCreateSQL, also for a suppressed default.
  std::string GetScriptSQL() override;

  std::string Expression;
};

}  // namespace qor
