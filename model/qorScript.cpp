// Script generation: the whole database script of a collection, kind by
// kind, and the script of one table.
#include "model/qorClasses.h"

namespace qor {

void TCustomObjs::GenerateScript() {}

void TCustomObjs::GetScript(std::vector<std::string>& dest) {
  ScriptLines.clear();
  GenerateScript();
  dest.insert(dest.end(), ScriptLines.begin(), ScriptLines.end());
  ScriptLines.clear();
}

}  // namespace qor
