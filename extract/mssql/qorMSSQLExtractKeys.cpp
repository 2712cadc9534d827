// The constraint readers of the MS SQL extractor: primary keys, unique
// constraints, foreign keys, checks and column default constraints.
#include "extract/mssql/qorMSSQLDatabaseExtract.h"

#include "base/qorMsgMngr.h"
#include "engine/qorDBEngine.h"
#include "extract/mssql/qorMSSQLCatalogQueries.h"
#include "extract/mssql/qorMSSQLExtractRead.h"
#include "model/qorComp_Ctr.h"
#include "model/qorDBStructure.h"
#include "parsers/qorParser.h"
#include "platform/qorStrings.h"

namespace qor {

using namespace msread;

namespace {

// A stored expression (check, default) as the catalog views give it.
std::string ExpressionText(const std::string& definition) {
  return StripOuterParens(TrimCtl(NormalizeLineBreaks(definition)));
}

// The stored expression of a check or default: the catalog view's
// definition, or on 2000 its syscomments text.
template <class E>
void SetExpression(TMSSQLDBExtract& extract, TCtrData& c, bool views, TQORQuery& q, E definition) {
  if (views) {
    c.SetText(ExpressionText(Str(q, definition)));
    return;
  }
  extract.ReadCommentsText(&c);
  c.SetText(c.ObjectSource);
}

// The 2000 rule names of INFORMATION_SCHEMA.REFERENTIAL_CONSTRAINTS; any
// other text leaves the rule as it was.
void SetRuleFromText(std::uint8_t& rule, const std::string& text) {
  if (text == "NO ACTION") rule = 0;
  else if (text == "CASCADE") rule = 2;
  else if (text == "SET NULL") rule = 4;
  else if (text == "SET DEFAULT") rule = 3;
}

// The referential actions of sys.foreign_keys.
void SetRuleFromAction(std::uint8_t& rule, std::int64_t action) {
  switch (action) {
    case 0: rule = 0; break;
    case 1: rule = 2; break;
    case 2: rule = 4; break;
    case 3: rule = 3; break;
    default: break;
  }
}

}  // namespace

void TMSSQLDBExtract::Note(const std::string& text) {
  GetMsgManager()->Add(text, kMsgNote);
  LogLine(text);
}

void TMSSQLDBExtract::OfferConstraint(std::unique_ptr<TCtrData> c) {
  if (ShowFullLog) LogLine("---" + c->GetCreateSQL());
  AddObjIfAccepted(c.release());
  ProcessMessages();
}

void TMSSQLDBExtract::ReadIndexOptions(TQORQuery& query, TIndexOptions& options) {
  if (!Form().Views) return;
  using C = msq::KeyCol;
  options.FillFactor = Int32(query, C::FillFactor);
  options.PadIndex = Flag(query, C::IsPadded) ? 1 : 0;
  options.IgnoreDupKey = Flag(query, C::IgnoreDupKey);
  options.AllowRowLocks = Flag(query, C::AllowRowLocks);
  options.AllowPageLocks = Flag(query, C::AllowPageLocks);
}

bool TMSSQLDBExtract::ReadKeyColumns(TQORQuery& cols, TCtrData& ctr, const std::string& keyName,
                                     const std::string& schema, const std::string& table,
                                     std::int64_t objectId, std::int64_t indexId) {
  if (Form().Views) ReadIndexColumns(cols, objectId, indexId, ctr.Columns, nullptr);
  else AddHelpIndexKeys(HelpIndexKeys(cols, schema, table, keyName), ctr.Columns);
  return ctr.Columns.Count() > 0;
}

// ------------------------------------------------------ Primary keys, uniques

void TMSSQLDBExtract::ReadKeyConstraints(bool primary) {
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  const msq::TCatalogForm form = Form();
  std::unique_ptr<TQORQuery> cols = NewQuery();
  helpIndexTable_.clear();
  helpIndexRows_.clear();
  using C = msq::KeyCol;
  SetSQL(q, primary ? msq::PrimaryKeys(form) : msq::Uniques(form, ToolsSupportFilter("t", "s")));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    if (form.Subselects && !IsNull(q, C::MsTools) && Flag(q, C::MsTools)) continue;
    auto c = std::make_unique<TCtrData>(o);
    const std::string name = Str(q, primary ? C::PkName : C::UqName);
    const std::string table = Str(q, C::TableName);
    const std::string schema = Str(q, C::SchName);
    c->SetConstraintType(primary ? ct::PrimaryKey : ct::Unique);
    c->ObjectId = Int32(q, C::Id);
    c->SetName(name);
    c->SetTableName(table);
    c->SetParentName(schema);
    c->Clustered = Int64(q, C::Type) == 1;
    c->QuotedIdentifier = Flag(q, C::QI);
    c->AnsiNulls = Flag(q, C::AN);
    ReadIndexOptions(q, c->IndexOptions);
    const std::int64_t objectId = form.Views ? Int64(q, C::ParentObjectId) : 0;
    const std::int64_t indexId = form.Views ? Int64(q, C::UniqueIndexId) : 0;
    bool found = false;
    if (primary) {
      found = ReadKeyColumns(*cols, *c, name, schema, table, objectId, indexId);
    } else {
      // A failed key-column query is reported with both query texts; the
      // other constraints are still read, and the run reports the failure.
      try {
        found = ReadKeyColumns(*cols, *c, name, schema, table, objectId, indexId);
      } catch (const std::exception& e) {
        cols->Close();
        LogLine(q.GetSQL()->Text());
        LogLine("---");
        LogLine(cols->GetSQL()->Text());
        LogLine("---");
        DoErrorMessage(e.what());
        StepFailed = true;
        continue;
      }
    }
    if (!found) {
      Note(std::string(primary ? "Primary key " : "Unique constraint ") + name + " of " + table +
           ": no key columns found; it is not scripted");
      continue;
    }
    if (form.Views) {
      if (Flag(q, C::IsSystemNamed)) {
        c->SystemName = c->GetName();
        c->SetName("");
      }
    } else {
      c->CheckSystemConstraintName();
    }
    OfferConstraint(std::move(c));
  }
  Done(q);
  cols->GetSQL()->Clear();
}

void TMSSQLDBExtract::ExtractPrimaryKeys() {
  LogLine("Extracting primary keys...");
  ReadKeyConstraints(/*primary=*/true);
}

void TMSSQLDBExtract::ExtractUniques() {
  LogLine("Extracting unique constraints...");
  ReadKeyConstraints(/*primary=*/false);
}

// ------------------------------------------------------------- Foreign keys

void TMSSQLDBExtract::ExtractForeignKeys() {
  LogLine("Extracting foreign keys...");
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  const msq::TCatalogForm form = Form();
  std::unique_ptr<TQORQuery> cols = NewQuery();
  const std::string colsSQL = msq::ForeignKeyColumns(form);
  using C = msq::ForeignKeyCol;
  SetSQL(q, msq::ForeignKeys(form, ToolsSupportFilter("ft", "fs")));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto c = std::make_unique<TCtrData>(o);
    c->SetConstraintType(ct::ForeignKey);
    c->ObjectId = Int32(q, C::Id);
    c->SetName(Str(q, C::FkName));
    c->SetTableName(Str(q, C::FtName));
    c->SetRefTableName(Str(q, C::RtName));
    c->QuotedIdentifier = Flag(q, C::QI);
    c->AnsiNulls = Flag(q, C::AN);
    c->NotForReplication = Flag(q, C::NR);
    c->SetParentName(Str(q, C::FkSchema));
    c->SetRefSchemaName(Str(q, C::FrSchema));
    if (form.Views) {
      SetRuleFromAction(c->UpdateRule, Int64(q, C::UpdateReferentialAction));
      SetRuleFromAction(c->DeleteRule, Int64(q, C::DeleteReferentialAction));
    } else {
      SetRuleFromText(c->UpdateRule, Str(q, C::UpdateRule));
      SetRuleFromText(c->DeleteRule, Str(q, C::DeleteRule));
    }
    SetSQL(*cols, colsSQL);
    cols->ParamByName("ID")->SetAsInteger(c->ObjectId);
    cols->Open();
    for (; !cols->Eof(); cols->Next()) {
      AddKeyColumn(c->Columns, Str(*cols, msq::ForeignKeyColumnCol::FcName), false);
      AddKeyColumn(c->RefColumns, Str(*cols, msq::ForeignKeyColumnCol::RcName), false);
    }
    cols->Close();
    c->CheckSystemConstraintName();
    OfferConstraint(std::move(c));
  }
  Done(q);
  cols->GetSQL()->Clear();
}

// ------------------------------------------------------- Checks, defaults

void TMSSQLDBExtract::ExtractChecks() {
  LogLine("Extracting check constraints...");
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  const msq::TCatalogForm form = Form();
  using C = msq::CheckCol;
  SetSQL(q, msq::Checks(form, ToolsSupportFilter("t", "s")));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto c = std::make_unique<TCtrData>(o);
    c->SetConstraintType(ct::Check);
    c->ObjectId = Int32(q, C::Id);
    c->SetName(Str(q, C::PkName));
    c->SetTableName(Str(q, C::TableName));
    c->SetParentName(Str(q, C::SchName));
    c->QuotedIdentifier = Flag(q, C::QI);
    c->AnsiNulls = Flag(q, C::AN);
    c->NotForReplication = Flag(q, C::NR);
    SetExpression(*this, *c, form.Views, q, C::Definition);
    c->CheckSystemConstraintName();
    OfferConstraint(std::move(c));
  }
  Done(q);
}

void TMSSQLDBExtract::ExtractDefaultConstraints() {
  LogLine("Extracting default constraints...");
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  const msq::TCatalogForm form = Form();
  using C = msq::DefaultConstraintCol;
  SetSQL(q, msq::DefaultConstraints(form, ToolsSupportFilter("t", "s")));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto c = std::make_unique<TCtrData>(o);
    c->SetConstraintType(ct::Default);
    c->ObjectId = Int32(q, C::Id);
    c->SetName(Str(q, C::CtrName));
    c->SetParentName(Str(q, C::SchName));
    c->SetTableName(Str(q, C::TblName));
    if (const std::string column = Str(q, C::ColName); !column.empty())
      AddKeyColumn(c->Columns, column, false);
    SetExpression(*this, *c, form.Views, q, C::Definition);
    c->CheckSystemConstraintName();
    c->QuotedIdentifier = Flag(q, C::QI);
    c->AnsiNulls = Flag(q, C::AN);
    OfferConstraint(std::move(c));
  }
  Done(q);
}

}  // namespace qor
