// Packages: header text, and the body in Text.
#pragma once

#include "model/qorClasses.h"

#include <string>

namespace qor {

class TPkgData : public TDbObj {
 public:
  explicit TPkgData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboPackage; }
  const char* ClassName() const override { return "TPkgData"; }

  bool IsBody = false;  // the parsed statement was the package body
  std::string HeaderText;
};

}  // namespace qor
