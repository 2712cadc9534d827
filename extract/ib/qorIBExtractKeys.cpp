// The "Indexes", "Unique's", "Primary keys", "Foreign keys" and "Checks"
// steps of the InterBase/Firebird extractor.
#include "extract/ib/qorIBDatabaseExtract.h"

#include "engine/qorDBEngine.h"
#include "extract/ib/qorIBCatalogQueries.h"
#include "extract/ib/qorIBExtractRead.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Tbl.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <charconv>
#include <cstdint>
#include <string_view>
#include <system_error>

namespace qor {

using namespace ibread;

namespace {

constexpr std::uint8_t kPrimaryKey = 0, kUnique = 1, kForeignKey = 2, kCheck = 3;

bool IgnoreIBE(const TObjs& o) { return o.IBServerOptions.IBCompareOptions.IgnoreIBEObjects; }

// A generated constraint name goes to the system name, so that a script
// lets the server generate it again.
void SetConstraintName(TCtrData& c, const std::string& name) {
  if (StartsWith(name, "INTEG_")) {
    c.SystemName = name;
    c.SetName("");
  } else {
    c.SetName(name);
  }
}

// The engine names a check's triggers CHECK_1, CHECK_2 ... as it creates
// them; the number is the check's place in creation order (0 unknown).
std::int32_t CheckCreationNumber(std::string_view triggerName) {
  constexpr std::string_view kPrefix = "CHECK_";
  if (!StartsWith(triggerName, kPrefix)) return 0;
  const std::string_view digits = triggerName.substr(kPrefix.size());
  std::int32_t n = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  return error == std::errc() && end == digits.data() + digits.size() && n > 0 ? n : 0;
}

// A user-named index is kept unless it only repeats the constraint's name
// in the default order.
void SetKeyIndex(TCtrData& c, const std::string& index, std::int64_t indexType) {
  if (StartsWith(index, "RDB$")) return;
  if (index == c.GetName() && indexType == 0) return;
  c.IndexName = index;
  if (indexType != 0) c.DescIndex = true;
}

std::uint8_t RuleAction(const std::string& rule, std::uint8_t keep) {
  if (rule == "CASCADE") return 2;
  if (rule == "SET DEFAULT") return 3;
  if (rule == "SET NULL") return 4;
  return keep;
}

}  // namespace

int TIBDBExtract::CountRows(const std::string& sql) {
  TQORQuery& q = *CatalogQuery();
  q.Close();
  q.GetSQL()->SetText(sql);
  q.Open();
  const int count = q.Eof() ? 0 : Int32(q, 0);
  q.Close();
  return count;
}

const std::vector<std::string>& TIBDBExtract::IndexSegments(TQORQuery& segs,
                                                            const std::string& index) {
  auto& all = batched_->segments;
  if (!all) {
    all.emplace();
    OpenWith(segs, ibq::IndexSegments(ibq::kAllObjects), {}, {});
    for (; !segs.Eof(); segs.Next())
      (*all)[CatalogName(segs, ibq::isIndexName)].push_back(CatalogName(segs, ibq::isFieldName));
    segs.Close();
  }
  static const std::vector<std::string> kNone;
  const auto it = all->find(index);
  return it == all->end() ? kNone : it->second;
}

void TIBDBExtract::ReadKeySegments(TQORQuery& segs, std::string_view sql, const std::string& index,
                                   const std::string& segmentsOf, TCtrData& c,
                                   TOwnedNameList<TFldData>& list, TDbObj* table) {
  TObjs* o = Collection();
  auto add = [&](const std::string& field) {
    list.Add(field, std::make_unique<TFldData>(o, &c));
    if (table) o->AddDependency(&c, table, 0, 0, field);
  };
  if (BatchedReads) {
    for (const std::string& field : IndexSegments(segs, segmentsOf)) add(field);
    return;
  }
  OpenWith(segs, sql, "INDEX_NAME", index);
  for (; !segs.Eof(); segs.Next()) add(CatalogName(segs, 0));
  segs.Close();
}

bool TIBDBExtract::AcceptConstraint(TCtrData& c, TDbObject kind) {
  return c.GetName().empty() ? AcceptObjName(c.GetTableName(), TDbObject::dboTable)
                             : AcceptObjName(c.GetName(), kind);
}

void TIBDBExtract::ReadIndices() {
  LogLine("Extracting indices...");
  TObjs* o = Collection();
  TQORQuery& q = *CatalogQuery();
  std::unique_ptr<TQORQuery> segs = NewQuery();
  q.Close();
  q.GetSQL()->SetText(ibq::Indices(IgnoreIBE(*o)));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto x = std::make_unique<TIdxData>(o);
    const std::string name = CatalogName(q, ibq::ixName);
    x->SetName(name);
    x->Unique = IntOr0(q, ibq::ixUniqueFlag) != 0;
    x->TableName = CatalogName(q, ibq::ixRelationName);
    x->SetDescriptionAsStored(Str(q, ibq::ixDescription));
    x->Active = IntOr0(q, ibq::ixInactive) == 0;
    x->Descending = IntOr0(q, ibq::ixIndexType) == 1;
    x->SetText(TrimCtl(NormalizeLineBreaks(Str(q, ibq::ixExpressionSource))));
    if (IntOr0(q, ibq::ixSegmentCount) > 0) {
      auto add = [&](const std::string& field) {
        x->Columns.Add(field, std::make_unique<TFldData>(o, x.get()));
      };
      if (BatchedReads) {
        for (const std::string& field : IndexSegments(*segs, name)) add(field);
      } else {
        OpenWith(*segs, ibq::IndexSegments(ibq::kOneObject), "INDEX_NAME", name);
        for (; !segs->Eof(); segs->Next()) add(CatalogName(*segs, ibq::isFieldName));
        segs->Close();
      }
    }
    if (ShowFullLog) LogLine("---" + name);
    if (AcceptObjName(name, TDbObject::dboIndex)) o->AddObject(x, true);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
}

void TIBDBExtract::ReadPrimaryKeys() {
  LogLine("Extracting primary keys...");
  TObjs* o = Collection();
  const bool ignoreIBE = IgnoreIBE(*o);
  int count = 0;
  if (OnProgressStep) {
    count = CountRows(ibq::PrimaryKeyCount(ignoreIBE));
    DoProgressStep(1, "Primary keys", 0, count);
  }
  TQORQuery& q = *CatalogQuery();
  std::unique_ptr<TQORQuery> segs = NewQuery();
  q.Close();
  q.GetSQL()->SetText(ibq::PrimaryKeys(ignoreIBE));
  q.Open();
  int read = 0;
  for (; !q.Eof(); q.Next()) {
    auto c = std::make_unique<TCtrData>(o);
    c->SetConstraintType(kPrimaryKey);
    c->SetTableName(CatalogName(q, ibq::kyRelationName));
    TTblData* table = o->FindTable(c->GetTableName());
    if (table) o->AddDependency(c.get(), table, 0, 0);
    const std::string index = CatalogName(q, ibq::kyIndexName);
    ReadKeySegments(*segs, ibq::IndexSegments(ibq::kOneObject), index, index, *c, c->Columns,
                    table);
    SetConstraintName(*c, CatalogName(q, ibq::kyConstraintName));
    SetKeyIndex(*c, index, IntOr0(q, ibq::kyIndexType));
    ++read;
    DoProgressStep(1, c->GetDisplayName(), read, count);
    if (ShowFullLog) LogLine("---" + c->GetCreateSQL());
    if (AcceptConstraint(*c, TDbObject::dboPKey)) o->AddObject(c, true);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
}

void TIBDBExtract::ReadUniqueConstraints() {
  LogLine("Extracting unique constraints...");
  TObjs* o = Collection();
  TQORQuery& q = *CatalogQuery();
  std::unique_ptr<TQORQuery> segs = NewQuery();
  q.Close();
  q.GetSQL()->SetText(ibq::UniqueConstraints(IgnoreIBE(*o)));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto c = std::make_unique<TCtrData>(o);
    c->SetConstraintType(kUnique);
    SetConstraintName(*c, CatalogName(q, ibq::kyConstraintName));
    c->SetTableName(CatalogName(q, ibq::kyRelationName));
    const std::string index = CatalogName(q, ibq::kyIndexName);
    SetKeyIndex(*c, index, IntOr0(q, ibq::kyIndexType));
    // The index name is a parameter: any name the engine allows is read.
    ReadKeySegments(*segs, ibq::IndexSegments(ibq::kOneObject), index, index, *c, c->Columns,
                    nullptr);
    if (ShowFullLog) LogLine(c->GetCreateSQL());
    if (AcceptConstraint(*c, TDbObject::dboUnique)) o->AddObject(c, true);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
}

void TIBDBExtract::ReadForeignKeys() {
  LogLine("Extracting foreign keys...");
  TObjs* o = Collection();
  const bool ignoreIBE = IgnoreIBE(*o);
  int count = 0;
  if (OnProgressStep) {
    count = CountRows(ibq::ForeignKeyCount(ignoreIBE));
    DoProgressStep(1, "Foreign keys", 0, count);
  }
  TQORQuery& q = *CatalogQuery();
  std::unique_ptr<TQORQuery> segs = NewQuery();
  std::unique_ptr<TQORQuery> refs = NewQuery();
  q.Close();
  q.GetSQL()->SetText(ibq::ForeignKeys(caps_, ignoreIBE));
  q.Open();
  int read = 0;
  for (; !q.Eof(); q.Next()) {
    auto c = std::make_unique<TCtrData>(o);
    c->SetConstraintType(kForeignKey);
    c->SetTableName(CatalogName(q, ibq::fkRelationName));
    TTblData* table = o->FindTable(c->GetTableName());
    if (table) o->AddDependency(c.get(), table, 0, 0);
    c->SetRefTableName(CatalogName(q, ibq::fkRefRelationName));
    TTblData* refTable = o->FindTable(c->GetRefTableName());
    if (refTable) o->AddDependency(c.get(), refTable, 0, 0);
    SetConstraintName(*c, CatalogName(q, ibq::fkConstraintName));
    const std::string index = CatalogName(q, ibq::fkIndexName);
    SetKeyIndex(*c, index, IntOr0(q, ibq::fkIndexType));
    ReadKeySegments(*segs, ibq::IndexSegments(ibq::kOneObject), index, index, *c, c->Columns,
                    table);
    ReadKeySegments(*refs, ibq::kReferencedSegments, index, CatalogName(q, ibq::fkRefIndexName), *c,
                    c->RefColumns, refTable);
    if (caps_.HasUpdateRule)
      c->UpdateRule = RuleAction(Trimmed(q, ibq::fkUpdateRule), c->UpdateRule);
    if (caps_.HasDeleteRule)
      c->DeleteRule = RuleAction(Trimmed(q, ibq::fkDeleteRule), c->DeleteRule);
    ++read;
    if (OnProgressStep) DoProgressStep(1, c->GetDisplayName(), read, count);
    if (ShowFullLog) LogLine("---" + c->GetCreateSQL());
    if (AcceptConstraint(*c, TDbObject::dboFKey)) o->AddObject(c, true);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
}

void TIBDBExtract::ReadCheckConstraints() {
  LogLine("Extracting check constraints...");
  TObjs* o = Collection();
  TQORQuery& q = *CatalogQuery();
  q.Close();
  q.GetSQL()->SetText(ibq::CheckConstraints(IgnoreIBE(*o)));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto c = std::make_unique<TCtrData>(o);
    c->SetConstraintType(kCheck);
    c->SetTableName(CatalogName(q, ibq::ckRelationName));
    c->SetTextAsStored(CheckCondition(Str(q, ibq::ckTriggerSource)));
    SetConstraintName(*c, CatalogName(q, ibq::ckConstraintName));
    c->CatalogOrder = CheckCreationNumber(CatalogName(q, ibq::ckTriggerName));
    if (ShowFullLog) LogLine(c->GetCreateSQL());
    o->AddObject(c, true);
    if (StopAfterRow()) break;
  }
  xread::Done(q);
}

}  // namespace qor
