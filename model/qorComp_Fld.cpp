// Columns: construction, ownership of the identity generator and row type,
// and the data-type text.
#include "model/qorComp_Fld.h"

#include "model/qorComp_Dmn.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "platform/qorStrings.h"

#include <array>

namespace qor {

namespace {

constexpr std::array<std::string_view, dt::Count> kTypeNames = {
    "? DataType", "INTEGER", "BIGINT", "FLOAT", "DOUBLE PRECISION", "FLOAT4", "FLOAT8",
    "DECFLOAT", "TINYINT", "REAL", "DOUBLE", "NUMBER", "LONG", "LONG RAW", "VARCHAR", "CHAR",
    "LONG VARCHAR", "VARCHAR2", "DATE", "TIME", "TIMESTAMP", "TIME", "TIMESTAMP", "DATETIME",
    "DATETIME2", "SMALLDATETIME", "DATETIMEOFFSET", "GRAPHIC", "VARGRAPHIC", "Geometry", "Point",
    "Curve", "LineString", "Surface", "Polygon", "GeometryCollection", "MultiPoint",
    "MultiCurve", "MultiLineString", "MultiSurface", "MultiPolygon", "BLOB", "CLOB", "DBCLOB",
    "BINARY", "LONG BINARY", "NUMERIC", "DECIMAL", "TEXT", "NCHAR", "NVARCHAR", "NVARCHAR2",
    "NTEXT", "NCLOB", "SMALLINT", "QUAD", "CSTRING", "NATIONAL CHAR", "RAW", "ROWID", "UROWID",
    "MEDIUMINT", "YEAR", "TINYBLOB", "MEDIUMBLOB", "LONGBLOB", "TINYTEXT", "MEDIUMTEXT",
    "LONGTEXT", "ENUM", "SET", "BIT", "VARBIT", "MONEY", "SMALLMONEY", "GUID", "VARBINARY",
    "IMAGE", "BFILE", "UNIQUEIDENTIFIER", "SYSNAME", "SQL_VARIANT", "CURSOR", "CURSOR VARYING",
    "TABLE", "XML", "INTERVAL YEAR TO MONTH", "INTERVAL DAY TO SECOND", "SERIAL", "BIGSERIAL",
    "BYTEA", "INTERVAL", "INT2", "INT4", "INT8", "OID", "BOOLEAN"};

std::string Paren(std::int64_t n) { return "(" + IntToStr(n) + ")"; }

}  // namespace

std::string_view DataTypeName(int index) {
  if (index < 0 || index >= dt::Count) return {};
  return kTypeNames[static_cast<std::size_t>(index)];
}

TFldData::TFldData(TCustomObjs* owner, TDbObj* ownerObj) : TDbObj(owner), OwnerObj(ownerObj) {
  ObjType = TDbObject::dboField;
  if (dynamic_cast<TTblData*>(ownerObj)) IdentityGenerator = std::make_unique<TGnrData>(owner);
}

TFldData::~TFldData() = default;

void TFldData::GetSubObjects(std::vector<TDbObj*>& out) {
  if (IdentityGenerator) out.push_back(IdentityGenerator.get());
  if (TableType) out.push_back(TableType.get());
}

void TFldData::ClearLinksTo(const TDbObj* gone) {
  if (OwnerObj == gone) OwnerObj = nullptr;
  TDbObj::ClearLinksTo(gone);
}

std::string TFldData::GetTableName() const {
  if (dynamic_cast<TTblData*>(OwnerObj) || dynamic_cast<TViwData*>(OwnerObj))
    return OwnerObj->GetName();
  return TableName;
}

TDmnData* TFldData::GetDomain() const {
  if (DataType != dt::UserType || !Owner()) return nullptr;
  return Owner()->Domains.FindObject(DomainName);
}

bool TFldData::UsesModePrefix() const {
  auto* prc = dynamic_cast<TPrcData*>(OwnerObj);
  return prc && !prc->Language.empty();
}

std::string TFldData::GetColumnSQL() { return GetDataTypeSQL(); }

std::string TFldData::GetDataTypeSQL() {
  if (ReturnParamNo != 0) return "PARAMETER " + IntToStr(ReturnParamNo);
  if (DataType == dt::UserType) {
    std::string s = TypeOf ? "TYPE OF " : "";
    if (!TypeOfTable.empty() && !TypeOfColumn.empty())
      return s + "COLUMN " + QuoteName(TypeOfTable) + "." + QuoteName(TypeOfColumn);
    return s + QuoteName(DomainName);
  }
  const TDatabaseType st = GetServerType();
  if (!GetText().empty())
    return (st == TDatabaseType::dbMSSQL ? "AS " : "COMPUTED BY ") + GetText();

  const TIBServerOptions* ib = GetServerOptions();
  const auto version = ib ? ib->SQLServerVersion : TIBSQLServerVersionType::st_Firebird_25;
  const int dialect = ib ? ib->SQLDialect : 3;
  const std::uint8_t t = DataType;
  std::string s(DataTypeName(t));
  if (st == TDatabaseType::dbPostgreSQL) {
    s = LowerAscii(s);
    if (t == dt::TIME_TZ || t == dt::TIMESTAMP_TZ) {
      if (Precision != 0) s += Paren(Precision);
      s += " with time zone";
    }
  }
  if (st != TDatabaseType::dbInterBase) {
    if (t == dt::VARCHAR || t == dt::CHAR || t == dt::VARCHAR2 || t == dt::BINARY || t == dt::NCHAR ||
        t == dt::NVARCHAR || t == dt::CSTRING || t == dt::VARBINARY) {
      if (Length > 1) s += Paren(Length);
      else if (Length == -1) s += "(MAX)";
    }
  } else {
    if (t == dt::BIGINT && version == TIBSQLServerVersionType::st_InterBase_2020) s = "INTEGER";
    if ((t == dt::CHAR || t == dt::NCHAR) && Length > 1) s += Paren(Length);
    if ((t == dt::VARCHAR || t == dt::NVARCHAR || t == dt::CSTRING) && Length > 0) s += Paren(Length);
    if (version == TIBSQLServerVersionType::st_Firebird_40) {
      if (t == dt::BINARY || t == dt::VARBINARY) s += Paren(Length);
      if ((t == dt::TIME || t == dt::TIMESTAMP) && WithTimeZone) s += " WITH TIME ZONE";
    }
    if (!ArrayBounds.empty()) {
      s += " [";
      for (std::size_t i = 0; i < ArrayBounds.size(); ++i) {
        if (i) s += ", ";
        s += IntToStr(ArrayBounds[i].first) + ":" + IntToStr(ArrayBounds[i].second);
      }
      s += "]";
    }
  }
  if (t == dt::BLOB) {
    if (SubType != 0) s += " SUB_TYPE " + IntToStr(SubType);
    if (SegmentSize != 0 && SegmentSize != 80 && !dynamic_cast<TUdfData*>(OwnerObj))
      s += " SEGMENT SIZE " + IntToStr(SegmentSize);
  }
  if ((t == dt::NUMBER || t == dt::NUMERIC || t == dt::DECIMAL) && Precision != 0) {
    s += "(" + IntToStr(Precision);
    if (Scale != 0) s += "," + IntToStr(Scale);
    s += ")";
  }
  if (t == dt::DECFLOAT && Precision != 0 && Precision != 34) s += Paren(Precision);
  if (st == TDatabaseType::dbInterBase && dialect != 3 && (t == dt::TIME || t == dt::TIMESTAMP))
    s = "DATE";
  return s;
}

void AppendFields(const TFieldList& list, std::vector<TDbObj*>& out) {
  for (const auto& e : list)
    if (e.Value) out.push_back(e.Value.get());
}

}  // namespace qor
