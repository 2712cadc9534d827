// The "Generators", "Exceptions" and "Collations" steps of the
// InterBase/Firebird extractor.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "base/qorIBVersions.h"
#include "engine/qorDBEngine.h"
#include "extract/ib/qorIBCatalogQueries.h"
#include "extract/ib/qorIBExtractRead.h"
#include "model/qorComp_Clt.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Gnr.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

using namespace ibread;

void TIBDBExtract::ReadGenerators() {
  LogLine("Extracting generators...");
  TObjs* o = Collection();
  const bool ignoreIBE = o->IBServerOptions.IBCompareOptions.IgnoreIBEObjects;
  int count = 0;
  if (OnProgressStep) {
    count = CountRows(ibq::GeneratorCount(ignoreIBE));
    DoProgressStep(1, "Generators", 0, count);
  }
  TQORQuery& q = *CatalogQuery();
  q.Close();
  q.GetSQL()->SetText(ibq::Generators(caps_, ignoreIBE));
  q.Open();
  int read = 0;
  for (; !q.Eof(); q.Next()) {
    auto g = std::make_unique<TGnrData>(o);
    const std::string name = CatalogName(q, ibq::gnName);
    g->SetName(name);
    if (caps_.HasGeneratorDescription) g->SetDescriptionAsStored(Str(q, ibq::gnDescription));
    if (caps_.HasGeneratorIncrement) {
      const std::int64_t step = IntOr0(q, ibq::gnIncrement);
      if (!IsNull(q, ibq::gnIncrement) && step != 1) g->IncrementBy = std::to_string(step);
      const std::int64_t start = IntOr0(q, ibq::gnInitialValue);
      if (start != 0) g->StartWith = std::to_string(start);
    }
    ++read;
    if (OnProgressStep) DoProgressStep(1, name, read, count);
    if (ShowFullLog) LogLine("---" + name);
    if (AcceptObjName(name, TDbObject::dboGenerator)) o->AddObject(g, true);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
}

void TIBDBExtract::ReadExceptions() {
  TObjs* o = Collection();
  // Older servers hand the message over in the connection's character set
  // only when that is NONE.
  const TIBServerOptions& ib = o->IBServerOptions;
  const std::string dbCharSet = ib.GetDBCharSet();
  const bool viaNone = IBCaps(ib.SQLServerVersion).exceptionTextAsNone && !dbCharSet.empty() &&
                       dbCharSet != "NONE" && connection_;
  if (viaNone) connection_->SetCharSet("NONE");
  LogLine("Extracting exceptions...");
  TQORQuery& q = *CatalogQuery();
  q.Close();
  q.GetSQL()->SetText(ibq::kExceptions);
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto e = std::make_unique<TExcData>(o);
    const std::string name = CatalogName(q, ibq::exName);
    e->SetName(name);
    e->Message = Str(q, ibq::exMessage);
    e->SetDescriptionAsStored(Str(q, ibq::exDescription));
    if (ShowFullLog) LogLine("---" + name);
    if (AcceptObjName(name, TDbObject::dboException)) o->AddObject(e, true);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
  if (viaNone) connection_->SetCharSet(dbCharSet);
}

void TIBDBExtract::ReadCollations() {
  LogLine("Extracting collations...");
  // Older catalogs hold only the engine's own collations.
  if (!caps_.HasBaseCollation) return;
  TObjs* o = Collection();
  TQORQuery& q = *CatalogQuery();
  const std::string sql = ibq::Collations();
  // A failure here costs the collations, not the extraction.
  try {
    q.Close();
    q.GetSQL()->SetText(sql);
    q.Open();
    for (; !q.Eof(); q.Next()) {
      auto c = std::make_unique<TCltData>(o);
      const std::string name = CatalogName(q, ibq::coName);
      c->SetName(name);
      c->SetDescriptionAsStored(Str(q, ibq::coDescription));
      c->FromCollation = Trimmed(q, ibq::coBaseCollation);
      c->CharacterSet = Trimmed(q, ibq::coCharSetName);
      const std::int64_t attributes = IntOr0(q, ibq::coAttributes);
      c->PadSpace = (attributes & 1) != 0;
      c->CaseSensitive = (attributes & 2) == 0;
      c->AccentSensitive = (attributes & 4) == 0;
      const std::string specific = Trimmed(q, ibq::coSpecificAttributes);
      if (specific != Trimmed(q, ibq::coBaseAttributes)) c->SpecificAttributes = specific;
      if (ShowFullLog) LogLine("---" + name);
      if (AcceptObjName(name, TDbObject::dboCollation)) o->AddObject(c, true);
      if (StopAfterRow()) break;
    }
  } catch (const std::exception& e) {
    LogLine(e.what());
    DoErrorMessage("\r\n" + sql);
    DoErrorMessage(e.what());
    StepFailed = true;
  }
  xread::Done(q);
}

}  // namespace qor
