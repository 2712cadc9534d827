// Scheduled events: the CREATE EVENT text with its schedule clauses, the day
// mask, and the DROP text.
#include "model/qorComp_Evt.h"
#include "tests/model/qorKindFixture.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using DB = TDatabaseType;

class EvtTest : public test::KindTest {
 protected:
  TEvtSdlData& AddSchedule(TEvtData* e) {
    e->Schedules.push_back(std::make_unique<TEvtSdlData>(e));
    return *e->Schedules.back();
  }
};

TEST_F(EvtTest, ScheduleClauses) {
  struct Case {
    const char* label;
    void (*fill)(TEvtSdlData&);
    const char* expected;
  };
  const Case cases[] = {
      {"bare", [](TEvtSdlData&) {}, "SCHEDULE"},
      {"named, between two times, every hour",
       [](TEvtSdlData& s) {
         s.Name = "nightly";
         s.StartTime = "1:00AM";
         s.EndTime = "5:00AM";
         s.EveryHours = 1;
         s.EveryMinutes = 30;  // only the first non-zero counts
       },
       "SCHEDULE nightly BETWEEN '1:00AM' AND '5:00AM' EVERY 1 HOURS"},
      {"start time alone, minutes",
       [](TEvtSdlData& s) {
         s.StartTime = "12:00";
         s.EveryMinutes = 15;
       },
       "SCHEDULE START TIME '12:00' EVERY 15 MINUTES"},
      {"end time alone is not written, seconds",
       [](TEvtSdlData& s) {
         s.EndTime = "5:00";
         s.EverySeconds = 10;
       },
       "SCHEDULE EVERY 10 SECONDS"},
      {"days 1 and 15 and the last day",
       [](TEvtSdlData& s) { s.OnDays = (1u << 0) | (1u << 14) | 0x80000000u; },
       "SCHEDULE ON(0, 1, 15)"},
      {"day 31", [](TEvtSdlData& s) { s.OnDays = 1u << 30; }, "SCHEDULE ON(31)"},
      {"start date, quote doubled",
       [](TEvtSdlData& s) {
         s.OnDays = 1u << 1;
         s.StartDate = "2024-01-01'";
       },
       "SCHEDULE ON(2) START DATE '2024-01-01'''"},
  };
  auto* e = Make<TEvtData>(DB::dbSybaseASA, "E");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TEvtSdlData s(e);
    c.fill(s);
    EXPECT_EQ(s.GetText(), c.expected);
  }
}

TEST_F(EvtTest, CreateAndDrop) {
  auto* e = Make<TEvtData>(DB::dbSybaseASA, "Cleanup");
  EXPECT_EQ(e->GetCreateSQL(), "CREATE EVENT Cleanup\r\n DISABLE");

  e->EventType = "GlobalAutoincrement";
  e->WhereCondition = "event_condition('RemainingValues') < 10";
  AddSchedule(e).EveryHours = 2;
  TEvtSdlData& second = AddSchedule(e);
  second.Name = "s2";
  second.OnDays = 1;
  e->Enabled = true;
  e->AtLocation = "CONSOLIDATED";
  e->SetText("BEGIN\n  CALL sp_cleanup();\nEND");
  EXPECT_EQ(e->GetCreateSQL(),
            "CREATE EVENT Cleanup\r\n"
            " TYPE GlobalAutoincrement\r\n"
            " WHERE event_condition('RemainingValues') < 10\r\n"
            " SCHEDULE EVERY 2 HOURS,\r\n"
            " SCHEDULE s2 ON(1)\r\n"
            " ENABLE AT CONSOLIDATED\r\n"
            "HANDLER\r\n"
            "BEGIN\r\n  CALL sp_cleanup();\r\nEND");
  EXPECT_EQ(e->GetDropSQL(), "DROP EVENT Cleanup");
}

}  // namespace
}  // namespace qor
