// Indices: construction, ownership of the column lists, the list key, and
// CREATE INDEX and DROP INDEX of every dialect.
#include "model/qorComp_Idx.h"

#include "platform/qorStrings.h"

namespace qor {

namespace {
using DB = TDatabaseType;
using SD = TScriptDialect;
}  // namespace

TIdxData::TIdxData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboIndex; }

TIdxData::~TIdxData() = default;

std::string TIdxData::GetKeyName() {
  const TDatabaseType st = GetServerType();
  if (st == TDatabaseType::dbMySQL) return TableName + "." + GetName();
  // MS SQL and PostgreSQL name an index inside its table.
  if ((st == TDatabaseType::dbMSSQL || st == TDatabaseType::dbPostgreSQL) && !TableName.empty()) {
    const std::string key = TableName + "." + GetName();
    return GetParentName().empty() ? key : GetParentName() + "." + key;
  }
  return TDbObj::GetKeyName();
}

void TIdxData::GetSubObjects(std::vector<TDbObj*>& out) {
  AppendFields(Columns, out);
  AppendFields(IncludeColumns, out);
}

void TIdxData::ClearFields() {
  Columns.Clear();
  IncludeColumns.Clear();
}

std::string TIdxData::GetFieldsText() {
  const bool mysql = GetServerType() == DB::dbMySQL;
  std::string s;
  for (int i = 0; i < Columns.Count(); ++i) {
    if (i) s += ", ";
    s += QuoteName(Columns.Name(i));
    const TFldData* f = Columns.Object(i);
    if (!f) continue;
    if (f->SortOrder == 2) s += " DESC";
    if (mysql && f->Length >= 1) s += "(" + IntToStr(f->Length) + ")";
  }
  return s;
}

std::string TIdxData::GetIncludeText() {
  std::string s;
  for (int i = 0; i < IncludeColumns.Count(); ++i) {
    if (i) s += ", ";
    s += QuoteName(IncludeColumns.Name(i));
  }
  return s;
}

std::string TIdxData::MySQLCommentText() {
  if (GetServerType() != DB::dbMySQL || GetDescription().empty() ||
      !GetObjFilter().Contains(TCmpObjType::coDescription))
    return {};
  return " COMMENT " + QuoteStringLiteral(GetDescription(), DB::dbMySQL);
}

std::string TIdxData::GetCreateSQL() {
  const DB st = GetServerType();
  std::string s = "CREATE ";
  if (Unique) s += "UNIQUE ";
  if (Bitmap) s += "BITMAP ";
  if (st == DB::dbMSSQL) {
    if (Clustered) s += "CLUSTERED ";
    if (PrimaryXml) s += "PRIMARY ";
    if (Xml) s += "XML ";
  }
  if (FullText) s += "FULLTEXT ";
  if (Spatial) s += "SPATIAL ";
  if (Descending) s += "DESC ";

  const std::string name = QuoteName(GetName());
  const std::string table = QuoteName(TableName);
  const std::string& parent = GetParentName();
  switch (ScriptDialect(st)) {
    case SD::sdMSSQL:
    case SD::sdPostgreSQL:
      s += "INDEX " + name + " ON " + (parent.empty() ? "" : QuoteName(parent) + ".") + table;
      break;
    case SD::sdASA:
      s += "INDEX " + name + " ON " +
           (OwnerQualifier.empty() ? "" : QuoteName(OwnerQualifier) + ".") + table;
      break;
    // DB2 as Oracle: beside a table in a schema; bare, the index and its
    // table would be looked for in the connection's current schema.
    case SD::sdOracle:
    case SD::sdDB2:
      if (parent.empty()) s += "INDEX " + name + " ON " + table;
      else
        s += "INDEX " + QuoteName(parent) + "." + name + " ON " + QuoteName(parent) + "." + table;
      break;
    case SD::sdMySQL:
      s += "INDEX " + name;
      if (!MySQLIndexOptions.IndexType.empty()) s += " USING " + MySQLIndexOptions.IndexType;
      s += " ON " + table;
      break;
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdASE: s += "INDEX " + name + " ON " + table; break;
  }

  if (GetText().empty()) s += "(" + GetFieldsText() + ")";
  else if (st == DB::dbOracle) s += GetText();
  else s += " COMPUTED BY" + GetText();
  s += MySQLCommentText();

  if (!IncludeColumns.Empty()) s += "\r\n  INCLUDE (" + GetIncludeText() + ")";
  if (st == DB::dbMSSQL) {
    if (!FilterText.empty()) s += "\r\nWHERE " + FilterText;
    if (!WithText.empty()) s += "\r\n   " + WithText;
    if (!FileGroup.empty()) s += "\r\nON " + QuoteName(FileGroup);
  }
  if (st == DB::dbOracle) {
    if (!IndexTypeName.empty()) s += "\r\n   INDEXTYPE IS " + IndexTypeName;
    if (!Parameters.empty()) s += "\r\n   PARAMETERS " + Parameters;
    if (Compress) s += "\r\nCOMPRESS";
    if (NoCompress) s += "\r\nNOCOMPRESS";
    if (NoLogging) s += "\r\nNOLOGGING";
    if (!TablespaceName.empty()) s += "\r\nTABLESPACE " + TablespaceName;
  }
  if (const std::string storage = StorageOptions.GetStorageSQL(); !storage.empty())
    s += kCrlf + storage;
  if (st == DB::dbDB2 && AllowReverseScans) s += "\r\n  ALLOW REVERSE SCANS";
  return s;
}

std::string TIdxData::GetDropSQL() {
  const std::string name = QuoteName(GetName());
  const std::string table = QuoteName(TableName);
  const std::string& parent = GetParentName();
  switch (ScriptDialect(GetServerType())) {
    case SD::sdMSSQL:
      return "DROP INDEX " + (parent.empty() ? "" : QuoteName(parent) + ".") + table + "." + name;
    case SD::sdASE: return "DROP INDEX " + table + "." + name;
    case SD::sdASA:
      return "DROP INDEX " + (OwnerQualifier.empty() ? "" : QuoteName(OwnerQualifier) + ".") +
             table + "." + name;
    case SD::sdMySQL: return "DROP INDEX " + name + " ON " + table;
    // Without a schema the search path finds the index.
    case SD::sdPostgreSQL:
      return "DROP INDEX " + (parent.empty() ? "" : QuoteName(parent) + ".") + name;
    // In the schema it was created in.
    case SD::sdDB2:
      if (parent.empty()) return TDbObj::GetDropSQL();
      return DropComment() + "DROP INDEX " + QuoteName(parent) + "." + name;
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdOracle: return TDbObj::GetDropSQL();
  }
  return TDbObj::GetDropSQL();
}

void TIdxData::MSSQLPropertyLevels(TPropertyLevel (&levels)[3]) {
  levels[0].Assign("SCHEMA", GetParentName());
  const bool onView =
      Owner() && Owner()->Views.FindObject(GetParentName() + "." + TableName) != nullptr;
  levels[1].Assign(onView ? "VIEW" : "TABLE", TableName);
  levels[2].Assign("INDEX", GetName());
}

}  // namespace qor
