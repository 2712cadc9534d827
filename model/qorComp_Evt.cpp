// Scheduled events: the CREATE EVENT text with its schedule clauses, and the
// DROP text.
#include "model/qorComp_Evt.h"

#include "platform/qorStrings.h"

namespace qor {

std::string TEvtSdlData::GetText() const {
  const TDatabaseType st = Event ? Event->GetServerType() : TDatabaseType::dbAbstract;
  auto literal = [st](const std::string& v) { return QuoteStringLiteral(v, st); };
  std::string s = "SCHEDULE";
  if (!Name.empty()) s += " " + (Event ? Event->QuoteName(Name) : Name);
  if (!StartTime.empty() && !EndTime.empty())
    s += " BETWEEN " + literal(StartTime) + " AND " + literal(EndTime);
  else if (!StartTime.empty()) s += " START TIME " + literal(StartTime);
  if (EveryHours != 0) s += " EVERY " + IntToStr(EveryHours) + " HOURS";
  else if (EveryMinutes != 0) s += " EVERY " + IntToStr(EveryMinutes) + " MINUTES";
  else if (EverySeconds != 0) s += " EVERY " + IntToStr(EverySeconds) + " SECONDS";
  if (OnDays != 0) {
    // Day 0 (the last day of the month) sits in the top bit.
    std::string days = (OnDays & 0x80000000u) ? "0, " : "";
    for (int d = 1; d <= 31; ++d)
      if (OnDays & (1u << (d - 1))) days += IntToStr(d) + ", ";
    days.resize(days.size() - 2);
    s += " ON(" + days + ")";
  }
  if (!StartDate.empty()) s += " START DATE " + literal(StartDate);
  return s;
}

std::string TEvtData::GetCreateSQL() {
  const std::string crlf(CRLF);
  std::string s = "CREATE EVENT " + QuoteName(GetName());
  if (!EventType.empty()) s += crlf + " TYPE " + EventType;
  if (!WhereCondition.empty()) s += crlf + " WHERE " + WhereCondition;
  bool first = true;
  for (const auto& entry : Schedules) {
    if (!entry) continue;
    s += (first ? crlf : "," + crlf) + " " + entry->GetText();
    first = false;
  }
  s += crlf + " " + (Enabled ? "ENABLE" : "DISABLE");
  if (!AtLocation.empty()) s += " AT " + AtLocation;
  if (!GetText().empty()) s += crlf + "HANDLER" + crlf + GetText();
  return s;
}

std::string TEvtData::GetDropSQL() { return "DROP EVENT " + QuoteName(GetName()); }

}  // namespace qor
