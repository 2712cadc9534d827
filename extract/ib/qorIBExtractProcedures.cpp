// The "Procedures" step of the InterBase/Firebird extractor: stored
// procedures with their parameters, then the packages.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "engine/qorDBEngine.h"
#include "extract/ib/qorIBCatalogQueries.h"
#include "extract/ib/qorIBExtractRead.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

namespace qor {

using namespace ibread;

namespace {

bool IsCharStorageType(std::uint8_t t) {
  return t == dt::CHAR || t == dt::VARCHAR || t == dt::CSTRING || t == dt::BINARY ||
         t == dt::VARBINARY;
}

std::string CrLfText(TQORQuery& q, int col) { return TrimCtl(NormalizeLineBreaks(Str(q, col))); }

}  // namespace

void TIBDBExtract::LinkParameterSource(TPrcData& prc, const TFldData& f) {
  TObjs* o = Collection();
  // The routine uses the domain or column its parameter is typed by.
  if (!f.TypeOfTable.empty()) {
    TDbObj* table = o->FindTable(f.TypeOfTable);
    if (!table) table = o->FindView(f.TypeOfTable);
    o->AddDependency(&prc, table, 0, 0, f.TypeOfColumn);
  } else if (!f.DomainName.empty()) {
    o->AddDependency(&prc, o->FindDomain(f.DomainName), 0, 0);
  }
}

void TIBDBExtract::ReadRoutineParameter(TQORQuery& q, TPrcData& prc,
                                        const ibq::TRoutineParamColumns& has) {
  TObjs* o = Collection();
  auto f = std::make_unique<TFldData>(o, &prc);
  f->ObjType = TDbObject::dboParam;
  const std::string name = CatalogName(q, ibq::ppName);
  f->SetName(name);
  f->SetParentName(prc.GetName());
  f->TableName = prc.GetName();
  f->SetDescriptionAsStored(Str(q, ibq::ppDescription));
  const int type = Int32(q, ibq::ppFieldType);
  const int subType = Int32(q, ibq::ppSubType);
  f->SetIBFieldType(type, Int32(q, ibq::ppCharSetId));
  f->Length = Int32(q, ibq::ppFieldLength);
  if (IsCharStorageType(f->DataType) && Int32(q, ibq::ppCharLength) > 0)
    f->Length = Int32(q, ibq::ppCharLength);
  f->SubType = subType;
  f->SegmentSize = Int32(q, ibq::ppSegmentLength);
  ReadNumericPrecision(*f, type, subType, has.precision,
                       has.precision ? OptInt32(q, ibq::ppPrecision) : std::nullopt,
                       OptInt32(q, ibq::ppScale), o->IBServerOptions.IsIB6OrLater());
  const std::string source = CatalogName(q, ibq::ppFieldSource);
  const bool ownField = StartsWith(source, "RDB$");
  if (!ownField) {
    f->DataType = dt::UserType;
    f->DomainName = source;
  }
  // The parameter's own default where the catalog keeps one; else that of
  // its field, but a domain's default is the domain's, not the parameter's.
  if (has.defaults) {
    if (!IsNull(q, ibq::ppDefaultSource))
      f->DefaultValue = NormalizeDefaultSource(Str(q, ibq::ppDefaultSource));
    else if (ownField && !IsNull(q, ibq::ppFieldDefaultSource))
      f->DefaultValue = NormalizeDefaultSource(Str(q, ibq::ppFieldDefaultSource));
  } else if (ownField) {
    f->DefaultValue = NormalizeDefaultSource(Str(q, ibq::ppFieldDefaultSource));
  }
  if (has.collation && !IsNull(q, ibq::ppCollationId))
    f->SetCharSetCollation(Trimmed(q, ibq::ppCharSetName), Int32(q, ibq::ppCharSetId),
                           Trimmed(q, ibq::ppParamCollationName), Int32(q, ibq::ppCollationId));
  else
    f->SetCharSetCollation(Trimmed(q, ibq::ppCharSetName), Int32(q, ibq::ppCharSetId),
                           Trimmed(q, ibq::ppCollationName), Int32(q, ibq::ppFieldCollationId));
  if (has.mechanism && IntOr0(q, ibq::ppMechanism) != 0) {
    f->TypeOf = true;
    f->DataType = dt::UserType;
    // The type, character set included, is the domain's or column's.
    f->CharSet.clear();
    f->CharSetId = 0;
    f->Collation.clear();
    f->CollationId = 0;
    if (has.relation) {
      const std::string table = CatalogName(q, ibq::ppRelationName);
      const std::string column = CatalogName(q, ibq::ppFieldName);
      if (!table.empty() && !column.empty()) {
        f->TypeOfTable = table;
        f->TypeOfColumn = column;
      }
    }
  }
  if (has.nullFlag && IntOr0(q, ibq::ppNullFlag) != 0) f->Nullable = false;
  // Functions are read before the domains and tables: theirs are linked
  // once everything is read.
  if (!prc.IsFunction) LinkParameterSource(prc, *f);
  switch (IntOr0(q, ibq::ppType)) {
    case 0:
      f->ParamDirection = pdIn;
      prc.InParams.Add(name, std::move(f));
      break;
    case 1:
      f->ParamDirection = pdOut;
      prc.OutParams.Add(name, std::move(f));
      break;
    default: break;  // in neither list
  }
}

void TIBDBExtract::ReadProcedures() {
  LogLine("Extracting procedures...");
  TObjs* o = Collection();
  const bool ignoreIBE = o->IBServerOptions.IBCompareOptions.IgnoreIBEObjects;
  std::unique_ptr<TQORQuery> procs = NewQuery();
  std::unique_ptr<TQORQuery> paramsQuery = NewQuery();
  TChildRows params(*paramsQuery, ibq::ProcedureParameters(caps_, ibq::kOneObject, ignoreIBE),
                    "RDB$PROCEDURE_NAME",
                    ibq::ProcedureParameters(caps_, ibq::kAllObjects, ignoreIBE),
                    ibq::ppRoutineName, BatchedReads);
  const ibq::TRoutineParamColumns has = ibq::ProcedureParamColumns(caps_);
  procs->GetSQL()->SetText(ibq::Procedures(caps_, ignoreIBE));
  procs->Open();
  for (; !procs->Eof(); procs->Next()) {
    const std::string raw = Str(*procs, ibq::pcName);
    const std::string name = TrimBlanksRight(raw);
    auto p = std::make_unique<TPrcData>(o);
    p->SetName(name);
    p->SetDescriptionAsStored(Str(*procs, ibq::pcDescription));
    p->SetText(CrLfText(*procs, ibq::pcSource));
    params.Start(raw);
    for (; params.More(); params.Next()) ReadRoutineParameter(params.Query(), *p, has);
    if (ShowFullLog) LogLine("---" + name);
    if (AcceptObjName(name, TDbObject::dboProcedure)) o->AddObject(p, true);
    if (StopAfterRow()) break;
  }
  procs->Close();
  if (StopRequested) return;
  // Packaged routines are not in the list: their rows find no routine.
  procs->GetSQL()->SetText(ibq::kRoutineDependencies);
  procs->Open();
  for (; !procs->Eof(); procs->Next()) {
    TPrcData* user = o->FindProcedure(CatalogName(*procs, ibq::rdDependent));
    TPrcData* used = o->FindProcedure(CatalogName(*procs, ibq::rdDependedOn));
    if (user && used && user != used) o->AddDependency(user, used, 0, 0);
  }
  procs->Close();
  if (caps_.HasPackages && !StopRequested) ReadPackages();
}

void TIBDBExtract::ReadPackages() {
  TObjs* o = Collection();
  TQORQuery& q = *CatalogQuery();
  q.Close();
  q.GetSQL()->SetText(ibq::kPackages);
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto p = std::make_unique<TPkgData>(o);
    const std::string name = CatalogName(q, ibq::pkName);
    p->SetName(name);
    // The engine keeps a description of packages like any other object's.
    p->SetDescriptionAsStored(Str(q, ibq::pkDescription));
    p->HeaderText = CrLfText(q, ibq::pkHeaderSource);
    p->SetText(CrLfText(q, ibq::pkBodySource));
    if (ShowFullLog) LogLine("---" + name);
    if (AcceptObjName(name, TDbObject::dboPackage)) o->AddObject(p, true);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
}

}  // namespace qor
