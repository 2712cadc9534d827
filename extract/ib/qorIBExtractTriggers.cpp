// The "Triggers" step of the InterBase/Firebird extractor.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "engine/qorDBEngine.h"
#include "extract/ib/qorIBCatalogQueries.h"
#include "extract/ib/qorIBExtractRead.h"
#include "model/qorComp_Trg.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

using namespace ibread;

TIBTriggerKind DecodeIBTriggerType(std::int64_t type, std::uint8_t& timing, std::uint8_t& events,
                                   std::string& databaseEvent) {
  timing = 0;
  events = 0;
  databaseEvent.clear();
  switch (type & kIBTriggerKindMask) {
    case kIBDatabaseTrigger: {
      static constexpr const char* kEvents[] = {"CONNECT", "DISCONNECT", "TRANSACTION START",
                                                "TRANSACTION COMMIT", "TRANSACTION ROLLBACK"};
      const std::int64_t n = type - kIBDatabaseTrigger;
      if (n >= 0 && n < 5) databaseEvent = kEvents[n];
      return TIBTriggerKind::Database;
    }
    case kIBDDLTrigger:
      // Bit 0 is the timing; the events are in the bits above it.
      timing = (type & 1) ? ttAfter : ttBefore;
      return TIBTriggerKind::DDL;
    case 0:
      for (const TIBTriggerType& t : kIBTriggerTypes) {
        if (t.Code != type) continue;
        timing = static_cast<std::uint8_t>(t.Mask & 0xFF);
        events = static_cast<std::uint8_t>(t.Mask >> 8);
        return TIBTriggerKind::DML;
      }
      return TIBTriggerKind::Unknown;
    default: return TIBTriggerKind::Unknown;
  }
}

void TIBDBExtract::ReadTriggers() {
  LogLine("Extracting triggers...");
  TObjs* o = Collection();
  const bool ignoreIBE = o->IBServerOptions.IBCompareOptions.IgnoreIBEObjects;
  int count = 0;
  if (OnProgressStep) {
    count = CountRows(ibq::TriggerCount(ignoreIBE));
    DoProgressStep(1, "Triggers", 0, count);
  }
  TQORQuery& q = *CatalogQuery();
  q.Close();
  q.GetSQL()->SetText(ibq::Triggers(ignoreIBE));
  q.Open();
  int read = 0;
  for (; !q.Eof(); q.Next()) {
    const std::string name = CatalogName(q, ibq::trName);
    const std::int64_t type = IntOr0(q, ibq::trType);
    std::uint8_t timing = 0, events = 0;
    std::string databaseEvent;
    const TIBTriggerKind kind = DecodeIBTriggerType(type, timing, events, databaseEvent);
    ++read;
    if (OnProgressStep) DoProgressStep(1, name, read, count);
    // A code the model has no form for: a line the engine refuses would be
    // worse than none.
    if (kind == TIBTriggerKind::Unknown ||
        (kind == TIBTriggerKind::Database && databaseEvent.empty()) ||
        (kind == TIBTriggerKind::DDL && IBDDLEventText(type).empty())) {
      LogLine("Trigger " + name + " of type " + std::to_string(type) +
              " is not scripted: its kind is not supported.");
      unscriptedTriggers_.Add(name, 0);
      if (StopAfterRow()) break;
      continue;
    }
    auto t = std::make_unique<TTrgData>(o);
    t->SetName(name);
    t->SetTableName(kind == TIBTriggerKind::DML ? CatalogName(q, ibq::trRelationName) : "DATABASE");
    t->Position = Int32(q, ibq::trSequence);
    const std::string body = TrimCtl(NormalizeLineBreaks(Str(q, ibq::trSource)));
    t->SetText(body);
    t->SourceText = body;
    t->Active = IntOr0(q, ibq::trInactive) == 0;
    t->SetDescriptionAsStored(Str(q, ibq::trDescription));
    t->TriggerType = type;
    t->Timing = timing;
    t->Events = events;
    t->EventText = databaseEvent;
    if (ShowFullLog) LogLine("---" + name);
    if (AcceptObjName(name, TDbObject::dboTrigger)) o->AddObject(t, true);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
}

}  // namespace qor
