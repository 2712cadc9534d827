// The first readers of the MS SQL extractor: schemas, user types and xml
// schema collections, bound defaults and rules, tables with their columns
// and file group. Names go into the model through the objects' setters
// (upper-cased unless identifiers are case-sensitive); what is sent back to
// the server keeps the catalog's own spelling.
#include "extract/mssql/qorMSSQLDatabaseExtract.h"

#include "base/qorMsgMngr.h"
#include "engine/qorDBEngine.h"
#include "extract/mssql/qorMSSQLCatalogQueries.h"
#include "extract/mssql/qorMSSQLExtractRead.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorDBStructure.h"
#include "parsers/qorParser.h"
#include "platform/qorStrings.h"

namespace qor {

using namespace msread;
using MSV = TMSSQLServerVersionType;

namespace {

bool IsBuiltInSchema(const std::string& name) {
  const std::string lower = LowerAscii(name);
  return lower == "dbo" || lower == "guest" || lower == "information_schema" || lower == "sys";
}

// The owner-qualified name as the 2000 identity functions take it.
std::string BracketedQualifiedName(const std::string& schema, const std::string& name) {
  return (schema.empty() ? std::string() : BracketedStr(schema) + ".") + BracketedStr(name);
}

}  // namespace

// ------------------------------------------------------------------ Schemas

void TMSSQLDBExtract::ExtractSchemas() {
  if (!Form().Subselects) return;
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  using C = msq::SchemaCol;
  SetSQL(q, msq::kSchemas);
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto s = std::make_unique<TSchData>(o);
    s->SetName(Str(q, C::Name));
    s->ObjectId = Int32(q, C::SchemaId);
    s->Authorization = Str(q, C::PName);
    s->SetDescription(Str(q, C::Description));
    if (Int64(q, C::PrincipalId) >= 16384 || IsBuiltInSchema(Str(q, C::Name)))
      s->SystemName = s->GetName();
    AddObjIfAccepted(s.release());
  }
  Done(q);
}

// --------------------------------------------------------------- User types

void TMSSQLDBExtract::ExtractTypes() {
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  const msq::TCatalogForm form = Form();
  if (!form.Views) {
    LogLine("Extracting user datatypes...");
    using C = msq::UserDatatypeCol;
    SetSQL(q, msq::kUserDatatypes);
    q.Open();
    for (; !q.Eof(); q.Next()) {
      auto d = std::make_unique<TDmnData>(o);
      d->SetName(Str(q, C::Name));
      d->SetParentName(Str(q, C::SchName));
      TFldData& f = *d->TypeHolder;
      const std::string typeName = Str(q, C::TypeName);
      MapDataType(f, typeName, Int32(q, C::Length), Int32(q, C::Prec), Int32(q, C::Scale),
                  Flag(q, C::Nullable));
      std::string base = UpperLocale(typeName);
      if (f.Length != 0) base += "(" + IntToStr(f.Length) + ")";
      if ((f.DataType == dt::NUMERIC || f.DataType == dt::DECIMAL) && f.Precision != 0)
        base += "(" + IntToStr(f.Precision) + "," + IntToStr(f.Scale) + ")";
      d->BaseTypeText = base;
      AddObjIfAccepted(d.release());
      ProcessMessages();
    }
    Done(q);
    return;
  }

  LogLine("Extracting types...");
  const std::string& serverCollation = o->MSSQLServerOptions.Collation;
  {
    using C = msq::TypeCol;
    SetSQL(q, msq::Types(form));
    q.Open();
    for (; !q.Eof(); q.Next()) {
      auto d = std::make_unique<TDmnData>(o);
      const std::string name = Str(q, C::Name);
      const std::string schema = Str(q, C::SchName);
      d->ObjectId = Int32(q, C::UserTypeId);
      d->SetName(name);
      d->SetParentName(schema);
      d->CreateTypeFrom = true;
      TFldData& f = *d->TypeHolder;
      MapDataType(f, Str(q, C::SysName), Int32(q, C::MaxLength), Int32(q, C::Precision),
                  Int32(q, C::Scale), Flag(q, C::IsNullable));
      f.Collation = Str(q, C::CollationName);
      if (SameText(f.Collation, serverCollation)) f.Collation.clear();
      d->SetDescription(form.Subselects ? Str(q, C::Description)
                                        : ReadDescription("SCHEMA", schema, "TYPE", name));
      AddObjIfAccepted(d.release());
      ProcessMessages();
    }
    Done(q);
  }

  LogLine("Extracting xml schema collections...");
  using C = msq::XmlCollectionCol;
  SetSQL(q, msq::XmlSchemaCollections(form));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto d = std::make_unique<TDmnData>(o);
    const std::string name = Str(q, C::Name);
    const std::string schema = Str(q, C::SchName);
    d->ObjectId = Int32(q, C::Id);
    d->SetName(name);
    d->SetParentName(schema);
    d->BaseTypeText = "XML SCHEMA COLLECTION";
    d->SetDescription(form.Subselects
                          ? Str(q, C::Description)
                          : ReadDescription("SCHEMA", schema, "XML SCHEMA COLLECTION", name));
    d->SetText(Str(q, C::XmlExpr));
    d->SetText(ReplaceAll(d->GetText(), "/>", " />"));
    AddObjIfAccepted(d.release());
    ProcessMessages();
    if (StopRequested) break;
  }
  Done(q);
}

// ---------------------------------------------------------- Defaults, rules

void TMSSQLDBExtract::ReadDefaultsOrRules(bool rules) {
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  using C = msq::BoundObjectCol;
  SetSQL(q, rules ? msq::Rules(Form()) : msq::Defaults(Form()));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    std::unique_ptr<TDbObj> obj;
    if (rules) obj = std::make_unique<TRulData>(o);
    else obj = std::make_unique<TDefData>(o);
    obj->ObjectId = Int32(q, C::Id);
    obj->SetName(Str(q, C::Name));
    obj->SetParentName(Str(q, C::SchName));
    obj->QuotedIdentifier = Flag(q, C::QI);
    obj->AnsiNulls = Flag(q, C::AN);
    ReadCommentsText(obj.get());
    // A default carries its text twice; a rule's is read from its source
    // when the bodies are parsed.
    if (!rules) obj->SetText(obj->ObjectSource);
    AddObjIfAccepted(obj.release());
    ProcessMessages();
  }
  Done(q);
}

void TMSSQLDBExtract::ExtractDefaults() {
  LogLine("Extracting defaults...");
  ReadDefaultsOrRules(/*rules=*/false);
}

void TMSSQLDBExtract::ExtractRules() {
  LogLine("Extracting rules...");
  ReadDefaultsOrRules(/*rules=*/true);
}

// ------------------------------------------------------------------- Tables

void TMSSQLDBExtract::ExtractTables() {
  LogLine("Extracting tables...");
  TObjs* o = GetObjs();
  TQORQuery& q = *CatalogQuery();
  const msq::TCatalogForm form = Form();
  const bool ignoreFileGroup = o->MSSQLServerOptions.MSSQLCompareOptions.IgnoreFileGroup;
  std::unique_ptr<TQORQuery> cols = NewQuery();
  std::unique_ptr<TQORQuery> groups = NewQuery();
  const std::string colsSQL = msq::TableColumns(form);

  using T = msq::TableCol;
  SetSQL(q, msq::Tables(form));
  q.Open();
  for (; !q.Eof(); q.Next()) {
    auto t = std::make_unique<TTblData>(o);
    const std::string name = Str(q, T::Name);
    const std::string schema = Str(q, T::SchemaName);
    t->ObjectId = Int32(q, T::Id);
    t->SetName(name);
    t->SetParentName(schema);
    t->QuotedIdentifier = Flag(q, T::QI);
    t->AnsiNulls = Flag(q, T::AN);
    bool toolsSupport = false;
    if (form.Subselects) {
      t->SetDescription(Str(q, T::Description));
      if (!IsNull(q, T::MsTools)) toolsSupport = Flag(q, T::MsTools);
    } else if (form.Views) {
      t->SetDescription(ReadDescription("SCHEMA", schema, "TABLE", name));
      toolsSupport = ReadToolsSupport("SCHEMA", schema, "TABLE", name);
    }

    if (!ignoreFileGroup) {
      SetSQL(*groups, msq::kTableFileGroup);
      groups->ParamByName("ID")->SetAsInteger(t->ObjectId);
      groups->Open();
      if (!groups->Eof())
        t->FileGroup = UpperLocale(Str(*groups, msq::FileGroupCol::FileGroupName));
      Done(*groups);
    }

    SetSQL(*cols, colsSQL);
    cols->ParamByName("ID")->SetAsInteger(t->ObjectId);
    if (!form.Views) {
      const std::string qualified = BracketedQualifiedName(schema, name);
      cols->ParamByName("NAME1")->SetAsString(qualified);
      cols->ParamByName("NAME2")->SetAsString(qualified);
    } else if (form.Subselects) {
      cols->ParamByName("SNAME")->SetAsString(schema);
      cols->ParamByName("TNAME")->SetAsString(name);
    }
    cols->Open();
    ReadTableColumns(*cols, *t, schema, name, form);
    cols->Close();

    // Designer-tool tables (diagrams) are not part of the schema.
    if (!toolsSupport) {
      if (ShowFullLog) LogLine("---" + t->GetQualifiedName());
      AddObjIfAccepted(t.release());
    }
    ProcessMessages();
    if (StopRequested) break;
  }
  Done(q);
  cols->GetSQL()->Clear();
  groups->GetSQL()->Clear();
  q.SetParamCheck(true);
}

void TMSSQLDBExtract::ReadTableColumns(TQORQuery& cols, TTblData& table, const std::string& schema,
                                       const std::string& tableName,
                                       const msq::TCatalogForm& form) {
  TObjs* o = GetObjs();
  using C = msq::ColumnCol;
  for (; !cols.Eof(); cols.Next()) {
    auto f = std::make_unique<TFldData>(o, nullptr);
    const std::string columnName = Str(cols, C::ColumnName);
    f->TableName = table.GetName();
    f->ObjectId = Int32(cols, C::ColId);
    f->OwnerObj = &table;
    f->SetName(columnName);
    std::string typeName = Str(cols, C::TypeName);
    const bool isSysname = SameText(typeName, "SYSNAME");
    if (isSysname) typeName = "SYSNAME";
    if (Int64(cols, C::SystemTypeId) != Int64(cols, C::UserTypeId)) {
      // An alias type, sysname included: the column names it.
      f->DataType = dt::UserType;
      f->DomainName = typeName;
      const std::string typeSchema = Str(cols, C::TypeSchema);
      if (!isSysname && !SameText(typeSchema, "sys")) f->DomainSchema = typeSchema;
      f->Nullable = Flag(cols, C::Nullable);
    } else {
      MapDataType(*f, typeName, Int32(cols, C::Length), Int32(cols, C::CPrec),
                  Int32(cols, C::CScale), Flag(cols, C::Nullable));
    }
    // The column's own property: a table with a ROWGUIDCOL may hold other
    // uniqueidentifier columns.
    f->RowGuidCol = Flag(cols, C::IsRowGuidCol);
    if (!form.Views) {
      if ((Int64(cols, C::Status) & 128) != 0) {
        f->Identity = true;
        f->IdentitySeed = Int64(cols, C::Seed);
        f->IdentityIncrement = Int64(cols, C::Incr);
      }
      if (Col(cols, C::IsComputed).AsBoolean()) ReadCommentsText(f.get());
    } else {
      if (Flag(cols, C::IsIdentity)) {
        f->Identity = true;
        f->IdentitySeed = Int64(cols, C::Seed);
        f->IdentityIncrement = Int64(cols, C::Incr);
      }
      if (Int64(cols, C::XmlCollectionId) != 0) {
        const std::string xmlSchema = Str(cols, C::XmlSchema);
        f->XmlSchema = "(" + std::string(Flag(cols, C::IsXmlDocument) ? "DOCUMENT " : "CONTENT ") +
                       (xmlSchema.empty() ? std::string() : table.QuoteName(xmlSchema) + ".") +
                       table.QuoteName(Str(cols, C::XmlColName)) + ")";
      }
      if (Flag(cols, C::IsComputed)) {
        f->SetText(StripOuterParens(TrimCtl(NormalizeLineBreaks(Str(cols, C::ComputedExpr)))));
        f->Persisted = Flag(cols, C::IsPersisted);
      }
      f->SetDescription(form.Subselects ? Str(cols, C::Description)
                                        : ReadDescription("SCHEMA", schema, "TABLE", tableName,
                                                          "COLUMN", columnName));
    }
    const std::string key = f->GetName();
    table.Fields.Add(key, std::move(f));
  }
}

}  // namespace qor
