// Collations.
#pragma once

#include "model/qorClasses.h"

#include <string>

namespace qor {

class TCltData : public TDbObj {
 public:
  explicit TCltData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboCollation; }
  const char* ClassName() const override { return "TCltData"; }

  std::string CharacterSet;
  std::string FromCollation;
  std::string ExternalName;
  bool PadSpace = false;
  bool CaseSensitive = true;
  bool AccentSensitive = true;
  std::string SpecificAttributes;
};

}  // namespace qor
