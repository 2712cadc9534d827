// Rules: the CREATE RULE text of MS SQL, of PostgreSQL and of the other
// dialects, and the PostgreSQL DROP RULE.
#include "model/qorComp_Rul.h"

#include "platform/qorStrings.h"

namespace qor {

namespace {

const char* EventWord(std::uint8_t event) {
  switch (event) {
    case 1: return "INSERT ";
    case 2: return "UPDATE ";
    case 3: return "DELETE ";
    case 5: return "SELECT ";
    default: return "";
  }
}

}  // namespace

std::string TRulData::GetCreateSQL() {
  const TDatabaseType st = GetServerType();
  if (st == TDatabaseType::dbMSSQL) {
    if (RuleText.empty()) return ObjectSource;
    return "CREATE RULE " + BracketedStr(GetName()) + " AS " + RuleText;
  }
  if (st != TDatabaseType::dbPostgreSQL)
    return "CREATE RULE " + GetQualifiedName() + " AS " + RuleText;
  std::string s = "CREATE RULE " + QuoteName(GetName()) + " AS ON " + EventWord(RuleEvent) + "TO " +
                  QualifyName(RuleTableSchema, RuleTable) + " DO";
  if (!DoKind.empty()) s += " " + DoKind;
  if (DoNothing) s += " NOTHING";
  if (!RuleText.empty()) s += std::string(CRLF) + " " + RuleText;
  return s;
}

std::string TRulData::GetScriptSQL() { return GetCreateSQL(); }

std::string TRulData::GetDropSQL() {
  if (GetServerType() != TDatabaseType::dbPostgreSQL) return TDbObj::GetDropSQL();
  return "DROP RULE IF EXISTS " + QuoteName(GetName()) + " ON " +
         QualifyName(GetParentName(), RuleTable);
}

}  // namespace qor
