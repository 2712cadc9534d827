// Exceptions: the user exceptions of InterBase/Firebird with their message.
#pragma once

#include "model/qorClasses.h"

#include <string>

namespace qor {

class TExcData : public TDbObj {
 public:
  explicit TExcData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboException; }
  const char* ClassName() const override { return "TExcData"; }
  TDbObject GetKind() const override { return TDbObject::dboException; }

  // "CREATE EXCEPTION " name and the message as a literal.
  std::string GetCreateSQL() override;
  // The same with ALTER, so a message can be changed in place.
  std::string GetAlterSQL() override;

  std::string Message;
};

}  // namespace qor
