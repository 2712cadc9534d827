// Collations: the CREATE COLLATION text, one clause per line.
#include "model/qorComp_Clt.h"

#include "platform/qorStrings.h"

namespace qor {

std::string TCltData::GetCreateSQL() {
  const TDatabaseType st = GetServerType();
  if (st != TDatabaseType::dbInterBase) return {};
  const std::string crlf(CRLF);
  std::string s = "CREATE COLLATION " + QuoteName(GetName()) + crlf;
  s += "FOR " + CharacterSet + crlf;
  if (!FromCollation.empty()) s += "FROM " + FromCollation + crlf;
  else if (!ExternalName.empty())
    s += "FROM EXTERNAL(" + QuoteStringLiteral(ExternalName, st) + ")" + crlf;
  s += std::string(PadSpace ? "PAD SPACE" : "NO PAD") + crlf;
  s += std::string(CaseSensitive ? "CASE SENSITIVE" : "CASE INSENSITIVE") + crlf;
  s += std::string(AccentSensitive ? "ACCENT SENSITIVE" : "ACCENT INSENSITIVE") + crlf;
  if (!SpecificAttributes.empty()) s += QuoteStringLiteral(SpecificAttributes, st) + crlf;
  return s;
}

std::string TCltData::GetScriptSQL() { return GetCreateSQL(); }

}  // namespace qor
