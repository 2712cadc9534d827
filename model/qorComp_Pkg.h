// Packages: header text, and the body in Text.
#pragma once

#include "model/qorClasses.h"

#include <string>

namespace qor {

class TPkgData : public TDbObj {
 public:
  explicit TPkgData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboPackage; }
  const char* ClassName() const override { return "TPkgData"; }
  TDbObject GetKind() const override { return TDbObject::dboPackage; }

  // The header statement, then, when there is a body, a separator line and
  // the body statement.
  std::string GetCreateSQL() override;
  std::string GetDropSQL() override;

  // The two statements on their own, for writers that separate them.
  std::string GetHeaderSQL();
  // Empty without a body.
  std::string GetBodySQL();

  bool IsBody = false;  // the parsed statement was the package body
  std::string HeaderText;
};

}  // namespace qor
