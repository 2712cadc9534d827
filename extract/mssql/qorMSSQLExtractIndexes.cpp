// The index reader of the MS SQL extractor and the key-column readers it
// shares with the primary keys and unique constraints. Key columns carry
// their order (ascending or descending) as the catalog records it: on the
// catalog views is_descending_key, on the 2000 tables the "(-)" that
// sp_helpindex writes after a descending column.
#include "extract/mssql/qorMSSQLDatabaseExtract.h"

#include "base/qorMsgMngr.h"
#include "engine/qorDBEngine.h"
#include "extract/mssql/qorMSSQLCatalogQueries.h"
#include "extract/mssql/qorMSSQLExtractRead.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Idx.h"
#include "model/qorDBStructure.h"
#include "platform/qorStrings.h"

#include <utility>
#include <vector>

namespace qor {

using namespace msread;

// ----------------------------------------------------------- Key columns

void TMSSQLDBExtract::AddKeyColumn(TFieldList& list, const std::string& name, bool descending) {
  auto f = std::make_unique<TFldData>(GetObjs(), nullptr);
  f->SetName(name);
  // The order is known, so the entry is a column: the body parser leaves
  // it as it is instead of reading it as a stored column list.
  f->SortOrder = descending ? 2 : 1;
  const std::string key = f->GetName();
  list.Add(key, std::move(f));
}

void TMSSQLDBExtract::AddHelpIndexKeys(std::string_view keys, TFieldList& list) {
  std::size_t from = 0;
  while (from <= keys.size()) {
    const std::size_t comma = keys.find(',', from);
    std::string item = TrimCtl(
        keys.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from));
    const bool descending = EndsWith(item, "(-)");
    if (descending) item = TrimCtl(item.substr(0, item.size() - 3));
    if (!item.empty()) AddKeyColumn(list, item, descending);
    if (comma == std::string_view::npos) break;
    from = comma + 1;
  }
}

std::string TMSSQLDBExtract::HelpIndexKeys(TQORQuery& cols, const std::string& schema,
                                           const std::string& table, const std::string& indexName) {
  // The catalog's own spelling, bracketed: a case-sensitive database or a
  // name with blanks or dots is found as it is.
  const std::string target =
      (schema.empty() ? std::string() : BracketedStr(schema) + ".") + BracketedStr(table);
  if (target != helpIndexTable_) {
    // Remembered once read whole: a failed query is asked again.
    helpIndexTable_.clear();
    helpIndexRows_.clear();
    SetSQL(cols, msq::kHelpIndex);
    cols.ParamByName("TABLE")->SetAsString(target);
    cols.Open();
    for (; !cols.Eof(); cols.Next())
      helpIndexRows_.emplace_back(Str(cols, msq::HelpIndexCol::IndexName),
                                  Str(cols, msq::HelpIndexCol::IndexKeys));
    cols.Close();
    helpIndexTable_ = target;
  }
  const bool exact = CaseSensitive();
  for (const auto& [name, keys] : helpIndexRows_)
    if (exact ? name == indexName : SameText(name, indexName)) return keys;
  return {};
}

void TMSSQLDBExtract::ReadIndexColumns(TQORQuery& cols, std::int64_t objectId, std::int64_t indexId,
                                       TFieldList& keys, TFieldList* included) {
  using C = msq::IndexColumnCol;
  SetSQL(cols, msq::kIndexColumns);
  cols.ParamByName("OBJECT_ID")->SetAsInteger(objectId);
  cols.ParamByName("INDEX_ID")->SetAsInteger(indexId);
  cols.Open();
  for (; !cols.Eof(); cols.Next()) {
    const std::string name = Str(cols, C::Name);
    if (!Flag(cols, C::IsIncludedColumn)) AddKeyColumn(keys, name, Flag(cols, C::IsDescendingKey));
    else if (included) AddKeyColumn(*included, name, /*descending=*/false);
  }
  cols.Close();
}

// ------------------------------------------------------------------ Indexes

void TMSSQLDBExtract::ExtractIndexes() {
  LogLine("Extracting indexes...");
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  const msq::TCatalogForm form = Form();
  const bool ignoreFileGroup = o->MSSQLServerOptions.MSSQLCompareOptions.IgnoreFileGroup;
  std::unique_ptr<TQORQuery> cols = NewQuery();
  helpIndexTable_.clear();
  helpIndexRows_.clear();
  // Secondary xml indexes with the name of their primary one.
  std::vector<std::pair<TIdxData*, std::string>> secondaryXml;
  using C = msq::IndexCol;
  SetSQL(q, msq::Indexes(form));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto idx = std::make_unique<TIdxData>(o);
    const std::string name = Str(q, C::IdxName);
    const std::string table = Str(q, C::TblName);
    const std::string schema = Str(q, C::SchName);
    const std::int32_t id = Int32(q, C::Id);
    idx->ObjectId = id;
    idx->SetName(name);
    idx->TableName = table;
    idx->SetParentName(schema);
    idx->Clustered = id == 1;
    idx->IndexOptions.FillFactor = Int32(q, C::OrigFillFactor);
    idx->Unique = Flag(q, C::IsUnique);
    idx->QuotedIdentifier = Flag(q, C::QI);
    idx->AnsiNulls = Flag(q, C::AN);
    if (Flag(q, C::IsPadIndex)) idx->IndexOptions.PadIndex = 1;
    if (form.Views) {
      idx->IndexOptions.IgnoreDupKey = Flag(q, C::IgnoreDupKey);
      idx->IndexOptions.AllowRowLocks = Flag(q, C::AllowRowLocks);
      idx->IndexOptions.AllowPageLocks = Flag(q, C::AllowPageLocks);
      if (Int64(q, C::Type) == 3) {
        idx->Xml = true;
        idx->PrimaryXml = IsNull(q, C::SecondaryType);
        if (!idx->PrimaryXml) {
          const std::string kind = UpperAscii(TrimCtl(Str(q, C::SecondaryType)));
          const char* word = StartsWith(kind, "P")   ? "PATH"
                             : StartsWith(kind, "V") ? "VALUE"
                             : StartsWith(kind, "R") ? "PROPERTY"
                                                     : nullptr;
          // Named as the primary index itself is named in the model.
          const std::string primary = Str(q, C::Idx1Name);
          if (word)
            idx->WithText = "USING XML INDEX " +
                            idx->QuoteName(CaseSensitive() ? primary : UpperLocale(primary)) +
                            " FOR " + word;
          secondaryXml.emplace_back(idx.get(), primary);
        }
      }
      if (form.Subselects) {
        idx->SetDescription(Str(q, C::Description));
      } else {
        const bool onView = TrimCtl(Str(q, C::OType)) == "V";
        idx->SetDescription(
            ReadDescription("SCHEMA", schema, onView ? "VIEW" : "TABLE", table, "INDEX", name));
      }
    }
    if (!idx->Xml && !ignoreFileGroup) idx->FileGroup = UpperLocale(Str(q, C::FileGroupName));
    if (form.Filters && Flag(q, C::HasFilter))
      idx->FilterText = TrimCtl(Str(q, C::FilterDefinition));

    if (form.Views)
      ReadIndexColumns(*cols, Int64(q, C::ObjectId), id, idx->Columns, &idx->IncludeColumns);
    else AddHelpIndexKeys(HelpIndexKeys(*cols, schema, table, name), idx->Columns);
    if (idx->Columns.Count() == 0) {
      Note("Index " + idx->GetQualifiedName() + " of " + table +
           ": no key columns found; it is not scripted");
      continue;
    }
    if (ShowFullLog) LogLine("---" + idx->GetQualifiedName());
    TIdxData* raw = idx.get();
    if (!AddObjIfAccepted(idx.release()))
      std::erase_if(secondaryXml, [raw](const auto& e) { return e.first == raw; });
    ProcessMessages();
  }
  Done(q);
  cols->GetSQL()->Clear();
  // A secondary xml index is built on its primary one: it comes after it.
  for (const auto& [secondary, primaryName] : secondaryXml)
    for (int i = 0; i < o->Indices.Count(); ++i)
      if (TIdxData* p = o->Indices.Object(i);
          p && p->PrimaryXml && p->ObjectId != 0 && p->TableName == secondary->TableName &&
          p->GetParentName() == secondary->GetParentName() &&
          (CaseSensitive() ? p->GetName() == primaryName : SameText(p->GetName(), primaryName)))
        o->AddDependency(secondary, p, 0, 0);
}

}  // namespace qor
