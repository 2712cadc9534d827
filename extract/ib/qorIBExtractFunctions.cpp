// The "Functions" and "Domains" steps of the InterBase/Firebird extractor
// and the exact-numeric rule the column readers share.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "engine/qorDBEngine.h"
#include "extract/ib/qorIBCatalogQueries.h"
#include "extract/ib/qorIBExtractRead.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Udf.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <algorithm>
#include <exception>

namespace qor {

using namespace ibread;

namespace {

// The largest precision a storage type holds; 0 for other types.
int PrecisionCap(int t) {
  switch (t) {
    case 7: return 4;
    case 8: return 9;
    case 16: return 18;
    case 27: return 15;
    default: return 0;
  }
}

bool IsCharStorage(std::uint8_t dataType) {
  return dataType == dt::CHAR || dataType == dt::VARCHAR || dataType == dt::CSTRING ||
         dataType == dt::BINARY || dataType == dt::VARBINARY;
}

}  // namespace

void ReadNumericPrecision(TFldData& f, int t, int s, bool withPrecision, std::optional<int> p,
                          std::optional<int> scale, bool ib6) {
  const bool exact = t == 7 || t == 8 || t == 27 || (ib6 && t == 16);
  int precision = p.value_or(0);
  if (withPrecision) {
    f.Precision = precision;
    if (exact && precision > 0) {
      precision = std::min(precision, PrecisionCap(t));
      if (s == 1 || s == 2) {
        f.DataType = s == 1 ? dt::NUMERIC : dt::DECIMAL;
        f.Precision = precision;
        f.Scale = -scale.value_or(0);
        return;
      }
    }
  } else {
    f.Precision = 0;
  }
  if (scale && *scale < 0) {
    if (const int cap = PrecisionCap(t)) f.Precision = cap;
    f.Scale = -*scale;
    // A scaled integer is an exact numeric whatever its sub type says.
    if (s == 0 || s == 1) f.DataType = dt::NUMERIC;
    if (s == 2) f.DataType = dt::DECIMAL;
  }
}

// ------------------------------------------------------------------ Functions

void TIBDBExtract::ReadFunctionArgument(TQORQuery& q, TFldData& f) {
  if (caps_.HasArgumentName) f.SetName(CatalogName(q, ibq::faArgumentName));
  if (caps_.HasArgumentDescription) f.SetDescriptionAsStored(Str(q, ibq::faDescription));
  const int type = Int32(q, ibq::faFieldType);
  const int subType = Int32(q, ibq::faFieldSubType);
  f.SetIBFieldType(type, subType);
  f.Length = Int32(q, ibq::faFieldLength);
  if (IsCharStorage(f.DataType)) {
    // The model counts characters; the catalog stores bytes.
    const std::int64_t perChar = std::max<std::int64_t>(1, IntOr0(q, ibq::faBytesPerCharacter));
    f.Length = static_cast<std::int32_t>(f.Length / perChar);
  }
  ReadNumericPrecision(f, type, subType, caps_.HasArgumentPrecision,
                       caps_.HasArgumentPrecision ? OptInt32(q, ibq::faPrecision) : std::nullopt,
                       OptInt32(q, ibq::faFieldScale),
                       Collection()->IBServerOptions.IsIB6OrLater());
  f.SubType = subType;
  f.SetCharSetCollation(Trimmed(q, ibq::faCharSetName), Int32(q, ibq::faCharSetId), "", 0);
}

void TIBDBExtract::ReadFunctionArguments(TChildRows& rows, TUdfData* udf, TPrcData* prc,
                                         std::int64_t returnArg) {
  TObjs* o = Collection();
  TDbObj* owner = udf ? static_cast<TDbObj*>(udf) : prc;
  TQORQuery& args = rows.Query();
  for (; rows.More(); rows.Next()) {
    const std::int64_t position = IntOr0(args, ibq::faPosition);
    const std::int64_t mechanism = IntOr0(args, ibq::faMechanism);
    if (prc) {
      auto f = std::make_unique<TFldData>(o, prc);
      f->SetParentName(prc->GetName());
      f->TableName = prc->GetName();
      ReadFunctionArgument(args, *f);
      if (position != returnArg) {
        f->ParamDirection = pdIn;
        f->DefaultValue = NormalizeDefaultSource(Str(args, ibq::faDefaultSource));
      }
      const std::string name = f->GetName();
      (position != returnArg ? prc->InParams : prc->OutParams).Add(name, std::move(f));
      continue;
    }
    if (position == returnArg) {
      TFldData& r = *udf->ResultField;
      r.TableName = udf->GetName();
      ReadFunctionArgument(args, r);
      if (mechanism == 0) r.ByValue = true;
      if (mechanism == 2) r.ByDescriptor = true;
      if (mechanism == -1) udf->FreeIt = true;
      if (returnArg != 0) r.ReturnParamNo = static_cast<std::int32_t>(returnArg);
    }
    if (position != 0) {
      auto f = std::make_unique<TFldData>(o, owner);
      f->TableName = udf->GetName();
      ReadFunctionArgument(args, *f);
      if (mechanism == 2) f->ByDescriptor = true;
      udf->Args.Add("", std::move(f));
    }
  }
}

void TIBDBExtract::ReadFunctions() {
  LogLine("Extracting functions...");
  TObjs* o = Collection();
  TQORQuery& q = *CatalogQuery();
  // A failure here costs the functions, not the extraction.
  try {
    std::unique_ptr<TQORQuery> argsQuery = NewQuery();
    std::unique_ptr<TQORQuery> paramsQuery = NewQuery();
    TChildRows args(*argsQuery, ibq::FunctionArguments(caps_, ibq::kOneObject), "NAME",
                    ibq::FunctionArguments(caps_, ibq::kAllObjects), ibq::faFunctionName,
                    BatchedReads);
    // PSQL arguments are declared as procedure parameters are (TYPE OF,
    // domains, NOT NULL, defaults) and read by the same rows.
    const bool psqlParams = caps_.HasArgumentName;
    TChildRows params(
        *paramsQuery, psqlParams ? ibq::FunctionParameters(caps_, ibq::kOneObject) : std::string(),
        "NAME", psqlParams ? ibq::FunctionParameters(caps_, ibq::kAllObjects) : std::string(),
        ibq::ppRoutineName, BatchedReads);
    const ibq::TRoutineParamColumns has = ibq::FunctionParamColumns(caps_);
    q.Close();
    q.GetSQL()->SetText(ibq::Functions(caps_));
    q.Open();
    for (; !q.Eof(); q.Next()) {
      const std::string name = CatalogName(q, ibq::fnName);
      const std::int64_t returnArg = IntOr0(q, ibq::fnReturnArgument);
      const bool psql = caps_.HasFunctionSource && Trimmed(q, ibq::fnEntryPoint).empty() &&
                        Trimmed(q, ibq::fnModuleName).empty();
      if (psql) {
        auto prc = std::make_unique<TPrcData>(o);
        prc->IsFunction = true;
        prc->SetName(name);
        prc->SetDescriptionAsStored(Str(q, ibq::fnDescription));
        prc->SetText(Trimmed(q, ibq::fnSource));
        if (psqlParams) {
          params.Start(name);
          for (; params.More(); params.Next()) ReadRoutineParameter(params.Query(), *prc, has);
        } else {
          args.Start(name);
          ReadFunctionArguments(args, nullptr, prc.get(), returnArg);
        }
        if (ShowFullLog) LogLine("---" + name);
        if (AcceptObjName(name, TDbObject::dboFunction)) o->AddObject(prc, true);
      } else {
        auto udf = std::make_unique<TUdfData>(o);
        udf->SetName(name);
        udf->EntryPoint = Trimmed(q, ibq::fnEntryPoint);
        udf->ModuleName = Trimmed(q, ibq::fnModuleName);
        udf->SetDescriptionAsStored(Str(q, ibq::fnDescription));
        args.Start(name);
        ReadFunctionArguments(args, udf.get(), nullptr, returnArg);
        if (ShowFullLog) LogLine("---" + name);
        if (AcceptObjName(name, TDbObject::dboFunction)) o->AddObject(udf, true);
      }
      if (StopAfterRow()) break;
    }
  } catch (const std::exception& e) {
    // The other steps still run, but the functions are incomplete: an
    // error, and the run is not a success.
    LogLine(e.what());
    DoErrorMessage(e.what());
    StepFailed = true;
  }
  xread::Done(q);
}

// -------------------------------------------------------------------- Domains

void TIBDBExtract::ReadDomains() {
  LogLine("Extracting domains...");
  TObjs* o = Collection();
  TQORQuery& q = *CatalogQuery();
  std::unique_ptr<TQORQuery> dims;
  q.Close();
  q.GetSQL()->SetText(ibq::Domains(caps_));
  q.Open();
  const bool ib6 = o->IBServerOptions.IsIB6OrLater();
  for (; !q.Eof(); q.Next()) {
    auto d = std::make_unique<TDmnData>(o);
    const std::string name = CatalogName(q, ibq::dmName);
    d->SetName(name);
    TFldData& f = *d->TypeHolder;
    f.SystemName = name;
    const int type = Int32(q, ibq::dmFieldType);
    const int subType = Int32(q, ibq::dmSubType);
    f.SetIBFieldType(type, subType);
    f.DefaultValue = NormalizeDefaultSource(Str(q, ibq::dmDefaultSource));
    f.Length = Int32(q, ibq::dmLength);
    if (IsCharStorage(f.DataType) && Int32(q, ibq::dmCharLength) > 0)
      f.Length = Int32(q, ibq::dmCharLength);
    f.SetText(Trimmed(q, ibq::dmComputedSource));
    f.Nullable = IntOr0(q, ibq::dmNullFlag) == 0;
    ReadNumericPrecision(f, type, subType, caps_.HasFieldPrecision,
                         caps_.HasFieldPrecision ? OptInt32(q, ibq::dmPrecision) : std::nullopt,
                         OptInt32(q, ibq::dmScale), ib6);
    f.SubType = subType;
    f.SegmentSize = Int32(q, ibq::dmSegmentLength);
    if (!IsNull(q, ibq::dmCharSetId))
      f.SetCharSetCollation(Trimmed(q, ibq::dmCharSetName), Int32(q, ibq::dmCharSetId),
                            Trimmed(q, ibq::dmCollationName), Int32(q, ibq::dmCollationId));
    d->SetDescriptionAsStored(Str(q, ibq::dmDescription));
    f.CheckText = CheckCondition(Str(q, ibq::dmValidationSource));
    // An array domain keeps its bounds, as an array column does.
    if (!IsNull(q, ibq::dmDimensions)) {
      if (!dims) dims = NewQuery();
      ReadArrayDimensions(*dims, f, name);
    }
    if (ShowFullLog) LogLine("---" + name);
    if (AcceptObjName(name, TDbObject::dboDomain)) o->AddObject(d, true);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
}

}  // namespace qor
