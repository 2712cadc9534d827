// Operators and operator classes: their signature keys.
#include "model/qorComp_Opr.h"

namespace qor {

std::string TOprData::GetArgsText() const {
  std::string s = "(" + (LeftArg.empty() ? std::string("NONE") : LeftArg);
  return s + (RightArg.empty() ? std::string(", NONE)") : ", " + RightArg + ")");
}

std::string TOprData::GetKeyName() {
  return GetParentName() + "." + GetName() + " " + GetArgsText();
}

std::string TOpcData::GetKeyName() { return GetName() + "(" + AccessMethod + ")"; }

}  // namespace qor
