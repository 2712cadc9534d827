// The "Tables" and "Views" steps of the InterBase/Firebird extractor.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "engine/qorDBEngine.h"
#include "extract/ib/qorIBCatalogQueries.h"
#include "extract/ib/qorIBExtractRead.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <string>
#include <vector>

namespace qor {

using namespace ibread;

namespace {

bool IgnoreIBE(const TObjs& o) { return o.IBServerOptions.IBCompareOptions.IgnoreIBEObjects; }

// The relation type as the catalog spells it: Firebird numbers (4, 5) or the
// older texts.
void ReadRelationType(TTblData& t, const std::string& type) {
  if (type == "GLOBAL TEMPORARY") {
    t.GlobalTemporary = true;
  } else if (type == "GLOBAL TEMPORARY DELETE" || type == "5") {
    t.GlobalTemporary = true;
    t.OnCommit = 1;
  } else if (type == "GLOBAL TEMPORARY PRESERVE" || type == "4") {
    t.GlobalTemporary = true;
    t.OnCommit = 2;
  }
}

}  // namespace

void TIBDBExtract::ReadArrayDimensions(TQORQuery& dims, TFldData& f,
                                       const std::string& fieldSource) {
  f.ArrayBounds.clear();
  if (BatchedReads) {
    auto& bounds = batched_->bounds;
    if (!bounds) {
      bounds.emplace();
      OpenWith(dims, ibq::ArrayDimensions(ibq::kAllObjects), {}, {});
      for (; !dims.Eof(); dims.Next())
        (*bounds)[CatalogName(dims, ibq::aaFieldName)].emplace_back(Int32(dims, ibq::aaLower),
                                                                    Int32(dims, ibq::aaUpper));
      dims.Close();
    }
    const auto it = bounds->find(TrimBlanksRight(fieldSource));
    if (it != bounds->end()) f.ArrayBounds = it->second;
    return;
  }
  OpenWith(dims, ibq::ArrayDimensions(ibq::kOneObject), "field_name", fieldSource);
  for (; !dims.Eof(); dims.Next())
    f.ArrayBounds.emplace_back(Int32(dims, ibq::adLower), Int32(dims, ibq::adUpper));
  dims.Close();
}

void TIBDBExtract::ReadTableColumns(TChildRows& cols, TQORQuery& dims, TTblData& table) {
  TObjs* o = Collection();
  const bool ib6 = o->IBServerOptions.IsIB6OrLater();
  TQORQuery& q = cols.Query();
  for (; cols.More(); cols.Next()) {
    auto f = std::make_unique<TFldData>(o, &table);
    const std::string name = CatalogName(q, ibq::clName);
    const std::string source = CatalogName(q, ibq::clFieldSource);
    f->SetName(name);
    f->SystemName = source;
    f->TableName = table.GetName();
    const int type = Int32(q, ibq::clFieldType);
    const int subType = Int32(q, ibq::clSubType);
    f->SetIBFieldType(type, subType);
    f->SetDescriptionAsStored(Str(q, ibq::clDescription));
    f->DefaultValue = NormalizeDefaultSource(IntOr0(q, ibq::clHasDefault) != 0
                                                 ? Str(q, ibq::clDefaultSource)
                                                 : Str(q, ibq::clDomainDefaultSource));
    f->Nullable = IntOr0(q, ibq::clNullFlag) == 0;
    ReadNumericPrecision(*f, type, subType, caps_.HasFieldPrecision,
                         caps_.HasFieldPrecision ? OptInt32(q, ibq::clPrecision) : std::nullopt,
                         OptInt32(q, ibq::clScale), ib6);
    f->CheckText = CheckCondition(Str(q, ibq::clValidationSource));
    f->SetText(Trimmed(q, ibq::clComputedSource));
    f->SubType = subType;
    f->SegmentSize = Int32(q, ibq::clSegmentLength);
    f->Length = Int32(q, ibq::clLength);
    // The model counts the characters of a character type; the catalog's
    // length is in bytes.
    if (f->DataType == dt::CHAR || f->DataType == dt::VARCHAR || f->DataType == dt::CSTRING ||
        f->DataType == dt::BINARY || f->DataType == dt::VARBINARY) {
      const std::int32_t chars = Int32(q, ibq::clCharLength);
      if (chars > 0) f->Length = chars;
    }

    if (!StartsWith(source, "RDB$")) {
      f->DomainName = source;
      TDmnData* d = o->FindDomain(source);
      if (!d) {
        DoErrorMessage("Domain: " + source + " not found for: " + table.GetName() + "(" + name +
                       ").");
      } else if (IntOr0(q, ibq::clHasDefault) == 0) {
        // The domain's default, not one of the column's own.
        f->DefaultValue.clear();
      }
      f->DataType = dt::UserType;
      f->CheckText.clear();
    }
    // A column without a COLLATE of its own still has its character set.
    if (!IsNull(q, ibq::clCharSetId))
      f->SetCharSetCollation(Trimmed(q, ibq::clCharSetName), Int32(q, ibq::clCharSetId),
                             Trimmed(q, ibq::clCollationName), Int32(q, ibq::clCollationId));
    if (!IsNull(q, ibq::clDimensions)) ReadArrayDimensions(dims, *f, source);
    if (caps_.HasIdentityGenerator && caps_.HasIdentityType &&
        IntOr0(q, ibq::clIdentityType) == 1 && !IsNull(q, ibq::clGeneratorName)) {
      f->Identity = true;
      f->IdentitySeed = IntOr0(q, ibq::clIdentityStart);
    }
    table.Fields.Add(name, std::move(f));
  }
}

void TIBDBExtract::ReadTables() {
  TObjs* o = Collection();
  const bool ignoreIBE = IgnoreIBE(*o);
  TQORQuery& q = *CatalogQuery();
  int count = 0;
  if (OnProgressStep) {
    q.Close();
    q.GetSQL()->SetText(ibq::TableCount(ignoreIBE));
    q.Open();
    count = q.Eof() ? 0 : Int32(q, ibq::tcCount);
    q.Close();
    DoProgressStep(1, "Tables", 0, count);
  }
  LogLine("Extracting tables...");
  std::unique_ptr<TQORQuery> colsQuery = NewQuery();
  std::unique_ptr<TQORQuery> dims = NewQuery();
  TChildRows cols(*colsQuery, ibq::TableColumns(caps_, ibq::kOneObject, ignoreIBE), "NAME",
                  ibq::TableColumns(caps_, ibq::kAllObjects, ignoreIBE), ibq::clRelationName,
                  BatchedReads);
  q.Close();
  q.GetSQL()->SetText(ibq::Tables(caps_, ignoreIBE));
  q.Open();
  int read = 0;
  for (; !q.Eof(); q.Next()) {
    auto t = std::make_unique<TTblData>(o);
    const std::string name = CatalogName(q, ibq::tbName);
    t->SetName(name);
    const std::string description = Str(q, ibq::tbDescription);
    if (!description.empty()) t->SetDescriptionAsStored(description);
    t->ExternalFile = Trimmed(q, ibq::tbExternalFile);
    if (caps_.HasRelationType) ReadRelationType(*t, Trimmed(q, ibq::tbRelationType));
    cols.Start(name);
    ReadTableColumns(cols, *dims, *t);
    ++read;
    DoProgressStep(1, name, read, count);
    if (ShowFullLog) LogLine("---" + name);
    if (AcceptObj(t.get())) o->AddObject(t, true);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
}

// ---------------------------------------------------------------------- Views

void TIBDBExtract::ReadViewColumns(TChildRows& rows, TViwData& view) {
  TObjs* o = Collection();
  TQORQuery& cols = rows.Query();
  for (; rows.More(); rows.Next()) {
    const std::string name = CatalogName(cols, ibq::vcName);
    auto f = std::make_unique<TFldData>(o, &view);
    f->SetName(name);
    f->TableName = view.GetName();
    f->SetDescriptionAsStored(Str(cols, ibq::vcDescription));
    const std::string source = CatalogName(cols, ibq::vcFieldSource);
    view.Columns.Add(name, std::move(f));
    if (source.find("RDB$") == std::string::npos)
      if (TDmnData* d = o->FindDomain(source)) o->AddDependency(&view, d, 0, 0);
  }
}

void TIBDBExtract::ReadViewDependencies(TQORQuery& deps, TViwData& view) {
  TObjs* o = Collection();
  // The engine's own record of what the view reads: every relation and
  // column of it, including those behind a domain-typed column and those
  // only named in its conditions.
  auto add = [&](const std::string& relation, const std::string& field) {
    TDbObj* target = o->FindTable(relation);
    if (!target) target = o->FindView(relation);
    if (!target || target == &view) return;
    o->AddDependency(&view, target, 0, 0, field);
  };
  if (BatchedReads) {
    auto& reads = batched_->viewReads;
    if (!reads) {
      reads.emplace();
      OpenWith(deps, ibq::ViewDependencies(ibq::kAllObjects), {}, {});
      for (; !deps.Eof(); deps.Next())
        (*reads)[CatalogName(deps, ibq::vdViewName)].emplace_back(
            CatalogName(deps, ibq::vdRelationName), CatalogName(deps, ibq::vdFieldName));
      deps.Close();
    }
    const auto it = reads->find(view.GetName());
    if (it != reads->end())
      for (const auto& [relation, field] : it->second) add(relation, field);
    return;
  }
  OpenWith(deps, ibq::ViewDependencies(ibq::kOneObject), "NAME", view.GetName());
  for (; !deps.Eof(); deps.Next())
    add(CatalogName(deps, ibq::vdRelationName), CatalogName(deps, ibq::vdFieldName));
  deps.Close();
}

void TIBDBExtract::ReadViews() {
  LogLine("Extracting views...");
  TObjs* o = Collection();
  TQORQuery& q = *CatalogQuery();
  std::unique_ptr<TQORQuery> colsQuery = NewQuery();
  std::unique_ptr<TQORQuery> deps = NewQuery();
  TChildRows cols(*colsQuery, ibq::ViewColumns(ibq::kOneObject, IgnoreIBE(*o)), "NAME",
                  ibq::ViewColumns(ibq::kAllObjects, IgnoreIBE(*o)), ibq::vcRelationName,
                  BatchedReads);
  q.Close();
  q.GetSQL()->SetText(ibq::Views(IgnoreIBE(*o)));
  q.Open();
  std::vector<std::string> read;
  std::int32_t created = 0;
  for (; !q.Eof(); q.Next()) {
    auto v = std::make_unique<TViwData>(o);
    const std::string name = CatalogName(q, ibq::vwName);
    v->SetName(name);
    v->CatalogOrder = ++created;
    v->SetDescriptionAsStored(Str(q, ibq::vwDescription));
    std::string body = TrimCtl(NormalizeLineBreaks(Str(q, ibq::vwSource)));
    if (body.size() >= 10 && UpperAscii(body.substr(body.size() - 10)) == "WITH CHECK")
      body = body.substr(0, body.size() - 10) + "WITH CHECK OPTION";
    v->SetText(body);
    if (ShowFullLog) LogLine("---" + name);
    cols.Start(name);
    ReadViewColumns(cols, *v);
    if (AcceptObjName(name, TDbObject::dboView) && o->AddObject(v, true)) read.push_back(name);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
  // Once every view is there: a view reads views whose names sort after
  // its own.
  for (const std::string& name : read) {
    if (TViwData* v = o->FindView(name)) ReadViewDependencies(*deps, *v);
    if (StopAfterRow()) break;
  }
}

}  // namespace qor
