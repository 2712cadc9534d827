// Collations (InterBase/Firebird CREATE COLLATION).
#pragma once

#include "model/qorClasses.h"

#include <string>

namespace qor {

class TCltData : public TDbObj {
 public:
  explicit TCltData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboCollation; }
  const char* ClassName() const override { return "TCltData"; }
  TDbObject GetKind() const override { return TDbObject::dboCollation; }

  // InterBase/Firebird only; empty for every other server type.
  std::string GetCreateSQL() override;
  // GetCreateSQL, also for a suppressed collation.
  std::string GetScriptSQL() override;

  std::string CharacterSet;
  std::string FromCollation;
  std::string ExternalName;
  bool PadSpace = false;
  bool CaseSensitive = true;
  bool AccentSensitive = true;
  std::string SpecificAttributes;
};

}  // namespace qor
