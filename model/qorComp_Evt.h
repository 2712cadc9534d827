// Scheduled events (TEvtData) with their schedule entries (TEvtSdlData).
#pragma once

#include "model/qorClasses.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qor {

class TEvtData;

class TEvtSdlData : public TObject {
 public:
  explicit TEvtSdlData(TEvtData* event) : Event(event) {}
  const char* ClassName() const override { return "TEvtSdlData"; }

  // The SCHEDULE clause of this entry.
  std::string GetText() const;

  TEvtData* Event;  // the owning event, used for quoting; not owned
  std::string Name;
  std::string StartTime;
  std::string EndTime;
  std::string StartDate;
  std::int32_t EveryHours = 0;
  std::int32_t EveryMinutes = 0;
  std::int32_t EverySeconds = 0;
  std::uint32_t OnDays = 0;  // bit d-1 = day d; bit 31 = day 0
};

// Text is the handler body.
class TEvtData : public TDbObj {
 public:
  explicit TEvtData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboEvent; }
  const char* ClassName() const override { return "TEvtData"; }
  TDbObject GetKind() const override { return TDbObject::dboEvent; }

  std::string GetCreateSQL() override;
  std::string GetDropSQL() override;

  std::vector<std::unique_ptr<TEvtSdlData>> Schedules;
  std::string AtLocation;
  bool Enabled = false;
  std::string EventType;
  std::string WhereCondition;
};

}  // namespace qor
