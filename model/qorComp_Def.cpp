// Defaults: the CREATE DEFAULT text per dialect.
#include "model/qorComp_Def.h"

#include "platform/qorStrings.h"

namespace qor {

std::string TDefData::GetCreateSQL() {
  if (GetServerType() != TDatabaseType::dbMSSQL)
    return "CREATE DEFAULT " + QuoteName(GetName()) + " AS " + Expression;
  if (Expression.empty()) return ObjectSource;
  return "CREATE DEFAULT " + BracketedStr(GetName()) + " AS " + Expression;
}

std::string TDefData::GetScriptSQL() { return GetCreateSQL(); }

}  // namespace qor
