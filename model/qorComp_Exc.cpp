// Exceptions: the CREATE and ALTER texts.
#include "model/qorComp_Exc.h"

namespace qor {

std::string TExcData::GetCreateSQL() {
  return "CREATE EXCEPTION " + QuoteName(GetName()) + " " +
         QuoteStringLiteral(Message, GetServerType());
}

std::string TExcData::GetAlterSQL() {
  return "ALTER EXCEPTION " + QuoteName(GetName()) + " " +
         QuoteStringLiteral(Message, GetServerType());
}

}  // namespace qor
