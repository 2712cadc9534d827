// The MS SQL extractor: the component, the run and its steps, the database
// properties with the version rules, and the operations the readers share
// (data types, extended properties, stored texts, lookup by catalog id,
// dependencies, body parsing).
#include "extract/mssql/qorMSSQLDatabaseExtract.h"

#include "base/qorDBOptions.h"
#include "base/qorMSSQLVersions.h"
#include "engine/qorDBEngine.h"
#include "extract/mssql/qorMSSQLCatalogQueries.h"
#include "extract/mssql/qorMSSQLExtractRead.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "parsers/mssql/qorMSSQLParser.h"
#include "platform/qorStrings.h"

#include <vector>

namespace qor {

using namespace msread;
using MSV = TMSSQLServerVersionType;

namespace {

// The server's type names (compared case-sensitively, as the catalog
// spells them) and the type codes they map to.
struct TTypeCode {
  std::string_view name;
  std::uint8_t code;
};

// clang-format off
constexpr TTypeCode kTypeCodes[] = {
    {"bigint", dt::BIGINT},       {"binary", dt::BINARY},
    {"bit", 71},                  {"char", dt::CHAR},
    {"datetime", dt::DATETIME},   {"datetime2", dt::DATETIME2},
    {"datetimeoffset", dt::DATETIMEOFFSET},
    {"decimal", dt::DECIMAL},     {"float", dt::FLOAT},
    {"image", 77},                {"int", dt::INTEGER},
    {"money", 73},                {"nchar", dt::NCHAR},
    {"ntext", 52},                {"numeric", dt::NUMERIC},
    {"nvarchar", dt::NVARCHAR},   {"real", 9},
    {"smalldatetime", 25},        {"smallint", dt::SMALLINT},
    {"smallmoney", 74},           {"sql_variant", 81},
    {"sysname", 80},              {"text", 48},
    {"timestamp", dt::TIMESTAMP}, {"tinyint", 8},
    {"uniqueidentifier", dt::UNIQUEIDENTIFIER},
    {"varbinary", dt::VARBINARY}, {"varchar", dt::VARCHAR},
    {"xml", dt::XML},             {"time", dt::TIME},
    {"date", dt::DATE},
};
// clang-format on

bool OneOfCodes(std::uint8_t t, std::initializer_list<std::uint8_t> codes) {
  for (std::uint8_t c : codes)
    if (t == c) return true;
  return false;
}

}  // namespace

// ---------------------------------------------------------- TMSSQLDBExtract

// The schemas and the types share the first two positions; the
// dependencies end the bar. A stop is honoured after them too: the parser
// gives up the remaining texts once one is asked for, which leaves the
// model half-linked.
// clang-format off
const TExtractStep<TMSSQLDBExtract> TMSSQLDBExtract::kSteps[] = {
    {"Schemas",      std::nullopt,              &TMSSQLDBExtract::ExtractSchemas, 0},
    {"Types",        TCmpObjType::coDomain,     &TMSSQLDBExtract::ExtractDomainKinds, 2},
    {"Tables",       TCmpObjType::coTable,      &TMSSQLDBExtract::ExtractTables},
    {"Views",        TCmpObjType::coView,       &TMSSQLDBExtract::ExtractViews},
    {"Procedures",   TCmpObjType::coProcedure,  &TMSSQLDBExtract::ExtractProcedures},
    {"Triggers",     TCmpObjType::coTrigger,    &TMSSQLDBExtract::ExtractTriggers},
    {"Indexes",      TCmpObjType::coIndex,      &TMSSQLDBExtract::ExtractIndexes},
    {"Primary keys", TCmpObjType::coPrimaryKey, &TMSSQLDBExtract::ExtractPrimaryKeys},
    {"Unique's",     TCmpObjType::coUnique,     &TMSSQLDBExtract::ExtractUniques},
    {"Foreign keys", TCmpObjType::coForeignKey, &TMSSQLDBExtract::ExtractForeignKeys},
    {"Checks",       TCmpObjType::coCheck,      &TMSSQLDBExtract::ExtractCheckKinds},
    {"Roles",        TCmpObjType::coRole,       &TMSSQLDBExtract::ExtractRoles},
    {"Grants",       TCmpObjType::coGrant,      &TMSSQLDBExtract::ExtractGrants},
    {"Dependencies", std::nullopt,              &TMSSQLDBExtract::ExtractDependenciesAndBodies,
     kStepToEnd},
};
// clang-format on

TMSSQLDBExtract::TMSSQLDBExtract() {
  Max = kStepMax;
  Position = 0;
  SetDatabaseType(TDatabaseType::dbMSSQL);
}

TMSSQLDBExtract::~TMSSQLDBExtract() = default;

void TMSSQLDBExtract::LogLine(const std::string& text) {
  if (OnLogNextLine) OnLogNextLine(this, text);
}

TObjs* TMSSQLDBExtract::GetObjs() const {
  return DBStructure() ? dynamic_cast<TObjs*>(DBStructure()->Objs()) : nullptr;
}

std::unique_ptr<TQORQuery> TMSSQLDBExtract::NewQuery() {
  TQORCustomConnection* c = RunConnection() ? RunConnection() : connection_;
  std::unique_ptr<TQORQuery> q = c ? c->CreateQuery() : nullptr;
  if (!q || !q->GetSQL())
    throw EQorError("TMSSQLDBExtract: the connection makes no query objects.");
  return q;
}

TMSSQLServerVersionType TMSSQLDBExtract::GetServerVersion() const {
  const TCustomObjs* o = DBStructure() ? DBStructure()->Objs() : nullptr;
  return o ? o->MSSQLServerOptions.SQLServerVersion : MSV::st_MSSQL2000;
}

std::int32_t TMSSQLDBExtract::GetCompatibilityLevel() const {
  const TCustomObjs* o = DBStructure() ? DBStructure()->Objs() : nullptr;
  return o ? o->MSSQLServerOptions.MSSQLDatabaseOptions.CompatibilityLevel : 0;
}

msq::TCatalogForm TMSSQLDBExtract::Form() const {
  msq::TCatalogForm f;
  f.Views = MSSQLCaps(GetServerVersion()).catalogViews;
  f.Subselects = f.Views && GetCompatibilityLevel() >= 90;
  f.Filters = MSSQLCaps(GetServerVersion()).filteredIndexes;
  f.AutoCreated = f.Views && GetCompatibilityLevel() >= 130;
  return f;
}

bool TMSSQLDBExtract::CaseSensitive() const {
  const TCustomObjs* o = DBStructure() ? DBStructure()->Objs() : nullptr;
  return o && o->MSSQLServerOptions.MSSQLCompareOptions.CaseSensitiveIdentifiers;
}

// -------------------------------------------------------------------- Run

bool TMSSQLDBExtract::ExtractDatabase() {
  Max = kStepMax;
  return RunExtraction(connection_, "TMSSQLDBExtract", /*stepEvents=*/true);
}

void TMSSQLDBExtract::PrepareExtraction() {
  if (!GetObjs())
    throw EQorError("TMSSQLDBExtract.ExtractDatabase(): DBStructure holds no collection.");
}

void TMSSQLDBExtract::RunExtractSteps() {
  ReadDatabaseProperties();
  if (!RunSteps(*this, kSteps)) return;
  DoProgressUpdate(Max, Max);
}

void TMSSQLDBExtract::ExtractDomainKinds() {
  ExtractRules();
  ExtractDefaults();
  ExtractTypes();
}

void TMSSQLDBExtract::ExtractCheckKinds() {
  ExtractChecks();
  ExtractDefaultConstraints();
}

void TMSSQLDBExtract::ExtractDependenciesAndBodies() {
  ExtractDependencies();
  ParseBodies();
}

// ---------------------------------------------------- Database properties

std::optional<TMSSQLServerVersionType> TMSSQLDBExtract::VersionOfProduct(
    std::string_view productVersion) {
  const std::string text = TrimCtl(productVersion);
  const std::size_t dot = text.find('.');
  std::int32_t major = 0;
  if (!StrToIntOk(text.substr(0, dot), major)) return std::nullopt;
  if (major < 8) return std::nullopt;
  switch (major) {
    case 8: return MSV::st_MSSQL2000;
    case 9: return MSV::st_MSSQL2005;
    case 10: return MSV::st_MSSQL2008;  // 10.50 is 2008 R2
    case 11: return MSV::st_MSSQL2012;
    case 12: return MSV::st_MSSQL2014;
    case 13: return MSV::st_MSSQL2016;
    case 14: return MSV::st_MSSQL2017;
    default: return MSV::st_MSSQL2019;  // and every later one
  }
}

void TMSSQLDBExtract::ApplyReportedVersion(const std::string& productVersion) {
  const std::optional<MSV> reported = VersionOfProduct(productVersion);
  TMSSQLServerOptions& ms = GetObjs()->MSSQLServerOptions;
  if (!reported || KeepServerVersion ||
      MSSQLCaps(*reported).major <= MSSQLCaps(ms.SQLServerVersion).major)
    return;
  const std::string configured =
      GetServerVersionName(TDatabaseType::dbMSSQL, static_cast<int>(ms.SQLServerVersion));
  ms.SQLServerVersion = *reported;
  LogLine("Server version reported by the server: " +
          GetServerVersionName(TDatabaseType::dbMSSQL, static_cast<int>(*reported)) +
          " (configured: " + configured + ")");
}

void TMSSQLDBExtract::ReadDatabaseProperties() {
  TObjs* o = GetObjs();
  TQORCustomConnection* c = RunConnection();
  TQORQuery& q = *CatalogQuery();
  TConnectionOptions& co = o->ConnectionOptions;
  co.DatabaseName = c->ConnectionOptions.DatabaseName;
  co.HostName = c->ConnectionOptions.HostName;
  co.Port = c->ConnectionOptions.Port;
  co.UserName = c->ConnectionOptions.UserName;
  co.Password = c->ConnectionOptions.Password;
  const std::string& db = c->ConnectionOptions.DatabaseName;
  TMSSQLServerOptions& ms = o->MSSQLServerOptions;
  TMSSQLDatabaseOptions& dbo = ms.MSSQLDatabaseOptions;

  SetSQL(q, msq::CharSet(db));
  q.Open();
  ms.DBCharSet.clear();
  if (!q.Eof() && !IsNull(q, msq::CharSetCol::DefaultCharacterSetName))
    ms.DBCharSet = UpperLocale(Str(q, msq::CharSetCol::DefaultCharacterSetName));
  Done(q);

  SetSQL(q, msq::DatabaseProperties(db));
  q.Open();
  using DC = msq::DatabaseCol;
  const bool row = !q.Eof();
  auto byte = [&](DC col) -> std::uint8_t { return row && Flag(q, col) ? 1 : 0; };
  ms.Collation =
      row && !IsNull(q, DC::Collation) ? UpperLocale(Str(q, DC::Collation)) : std::string();
  dbo.DatabaseCollation = ms.Collation;
  dbo.AnsiNullDefault = byte(DC::AnsiNullDefault);
  dbo.AnsiNullsEnabled = byte(DC::AnsiNullsEnabled);
  dbo.QuotedIdentifiersEnabled = byte(DC::QuotedIdentifiersEnabled);
  dbo.RecursiveTriggersEnabled = byte(DC::RecursiveTriggersEnabled);
  dbo.Version = row ? Int32(q, DC::Version) : 0;
  Done(q);

  SetSQL(q, msq::kCompatibilityLevel);
  q.ParamByName("NAME")->SetAsString(co.DatabaseName);
  q.Open();
  dbo.CompatibilityLevel = 0;
  if (!q.Eof()) {
    const std::int64_t level = q.GetFields()->Fields(0)->AsLargeInt();
    dbo.CompatibilityLevel = static_cast<std::int32_t>(level);
  }
  Done(q);

  SetSQL(q, msq::kProductName);
  q.Open();
  const std::string product = q.Eof() ? std::string() : Str(q, msq::ProductNameCol::CharacterValue);
  Done(q);
  SetSQL(q, msq::kServerProperties);
  q.Open();
  std::string line = product;
  std::string productVersion;
  if (!q.Eof()) {
    productVersion = Str(q, msq::ServerCol::ProductVersion);
    line += " [" + Str(q, msq::ServerCol::Edition) + "] v." + productVersion;
    if (const std::string level = Str(q, msq::ServerCol::ProductLevel); !level.empty())
      line += " (" + level + ")";
  }
  Done(q);
  LogLine(line + ", CompatibilityLevel = " + IntToStr(dbo.CompatibilityLevel));
  ApplyReportedVersion(productVersion);
}

// ---------------------------------------------------------------- Types

void TMSSQLDBExtract::MapDataType(TFldData& column, const std::string& typeName,
                                  std::int32_t length, std::int32_t precision, std::int32_t scale,
                                  bool nullable) {
  bool known = false;
  for (const TTypeCode& t : kTypeCodes) {
    if (t.name != typeName) continue;
    column.DataType = t.code;
    known = true;
    break;
  }
  if (!known) {
    if (TObjs* o = GetObjs(); o && o->FindDomain(typeName)) {
      column.DataType = dt::UserType;
      column.DomainName = typeName;
    }
  }
  const std::uint8_t t = column.DataType;
  if (OneOfCodes(t, {dt::VARCHAR, dt::CHAR, dt::BINARY, dt::NCHAR, dt::NVARCHAR, dt::VARBINARY})) {
    // The catalog counts bytes; a national character takes two.
    if (length == -1) column.Length = -1;
    else column.Length = OneOfCodes(t, {dt::NCHAR, dt::NVARCHAR}) ? length / 2 : length;
  } else if (OneOfCodes(t, {dt::TIME, dt::DATETIME2, dt::DATETIMEOFFSET})) {
    column.Precision = scale;  // the fractional-second digits
  } else if (OneOfCodes(t, {dt::FLOAT, dt::NUMERIC, dt::DECIMAL})) {
    column.Precision = precision;
    column.Scale = scale;
  }
  column.Nullable = nullable;
}

// ------------------------------------------------------ Extended properties

std::string TMSSQLDBExtract::ExtendedPropertyValue(
    std::string_view property, bool& isNull, std::string_view level0Type,
    std::string_view level0Name, std::string_view level1Type, std::string_view level1Name,
    std::string_view level2Type, std::string_view level2Name) {
  std::unique_ptr<TQORQuery> q = NewQuery();
  q->GetSQL()->SetText(msq::ExtendedProperty(property, level0Type, level1Type, level2Type));
  const std::string_view names[] = {level0Name, level1Name, level2Name};
  const std::string_view types[] = {level0Type, level1Type, level2Type};
  for (int level = 0; level < 3; ++level)
    if (!types[level].empty())
      q->ParamByName("LEVEL" + std::to_string(level) + "NAME")
          ->SetAsString(std::string(names[level]));
  q->Open();
  isNull = true;
  std::string value;
  if (!q->Eof()) {
    TField* f = q->GetFields()->Fields(0);
    isNull = f->IsNull();
    value = isNull ? std::string() : f->AsString();
  }
  q->Close();
  return value;
}

std::string TMSSQLDBExtract::ReadDescription(
    std::string_view level0Type, std::string_view level0Name, std::string_view level1Type,
    std::string_view level1Name, std::string_view level2Type, std::string_view level2Name) {
  bool isNull = true;
  return ExtendedPropertyValue("MS_Description", isNull, level0Type, level0Name, level1Type,
                               level1Name, level2Type, level2Name);
}

bool TMSSQLDBExtract::ReadToolsSupport(std::string_view level0Type, std::string_view level0Name,
                                       std::string_view level1Type, std::string_view level1Name,
                                       std::string_view level2Type, std::string_view level2Name) {
  bool isNull = true;
  const std::string value =
      ExtendedPropertyValue("microsoft_database_tools_support", isNull, level0Type, level0Name,
                            level1Type, level1Name, level2Type, level2Name);
  if (isNull) return false;
  // The marker is a number (1); a text value counts unless it says no.
  const std::string v = TrimCtl(value);
  return !(v.empty() || v == "0" || SameText(v, "false"));
}

std::string TMSSQLDBExtract::ToolsSupportFilter(std::string_view tableAlias,
                                                std::string_view schemaAlias) const {
  if (GetCompatibilityLevel() < 90) return {};
  return "AND (isnull((select value from [fn_listextendedproperty] "
         "('microsoft_database_tools_support', 'SCHEMA', " +
         std::string(schemaAlias) + ".name," + " 'TABLE', " + std::string(tableAlias) +
         ".name, null, null))" + ", 0) = 0)";
}

// -------------------------------------------------------------- Stored text

void TMSSQLDBExtract::ReadCommentsText(TDbObj* obj) {
  if (!obj) return;
  auto* column = dynamic_cast<TFldData*>(obj);
  std::unique_ptr<TQORQuery> q = NewQuery();
  q->GetSQL()->SetText(msq::CommentsText(column != nullptr));
  if (column) {
    q->ParamByName("ID")->SetAsInteger(column->OwnerObj ? column->OwnerObj->ObjectId : 0);
    q->ParamByName("NUMBER")->SetAsInteger(column->ObjectId);
  } else {
    q->ParamByName("ID")->SetAsInteger(obj->ObjectId);
  }
  q->Open();
  std::string text;
  for (; !q->Eof(); q->Next()) text += Str(*q, msq::CommentsCol::Text);
  q->Close();
  text = TrimCtl(NormalizeLineBreaks(text));
  if (column) column->SetText(text);
  else obj->ObjectSource = text;
}

// ----------------------------------------------------------- Lookup by id

TDbObj* TMSSQLDBExtract::FindObjectById(std::int32_t id) const {
  if (id == 0) return nullptr;
  TObjs* o = GetObjs();
  if (!o) return nullptr;
  if (TDbObj* x = FindObjectInList(o->Rules, id)) return x;
  if (TDbObj* x = FindObjectInList(o->Defaults, id)) return x;
  if (TDbObj* x = FindObjectInList(o->Domains, id)) return x;
  if (TDbObj* x = FindObjectInList(o->Tables, id)) return x;
  if (TDbObj* x = FindObjectInList(o->Indices, id)) return x;
  if (TDbObj* x = FindObjectInList(o->Views, id)) return x;
  if (TDbObj* x = FindObjectInList(o->Procedures, id)) return x;
  if (TDbObj* x = FindObjectInList(o->Triggers, id)) return x;
  return FindObjectInList(o->Constraints, id);
}

}  // namespace qor
