// Columns: construction, ownership of the identity generator and row type,
// the InterBase type mapping, the data-type text, the column definition of
// each dialect, ALTER TABLE ADD and DROP, and the column's part of the
// dependency-ordered walk.
#include "model/qorComp_Fld.h"

#include "base/qorIBVersions.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"
#include "model/qorScriptWriter.h"
#include "platform/qorStrings.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace qor {

namespace {

// clang-format off
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
// clang-format on

using DB = TDatabaseType;
using SD = TScriptDialect;
using IBV = TIBSQLServerVersionType;

std::string Paren(std::int64_t n) { return "(" + IntToStr(n) + ")"; }

bool OneOf(std::uint8_t t, std::initializer_list<std::uint8_t> types) {
  for (std::uint8_t x : types)
    if (t == x) return true;
  return false;
}

// "(p,s)" when both are set, "(p)" when only the precision is.
std::string PrecisionScale(std::int32_t precision, std::int32_t scale) {
  if (precision == 0) return {};
  if (scale == 0) return Paren(precision);
  return "(" + IntToStr(precision) + "," + IntToStr(scale) + ")";
}

// The octets types have no type name of their own before Firebird 4.0;
// there they are character types in the OCTETS character set.
bool OctetsAsCharacters(std::uint8_t t, const TIBVersionCaps& caps) {
  return (t == dt::BINARY || t == dt::VARBINARY) && !caps.octetsTypes;
}

// The text of a MySQL default that is stored as a quoted string, with its
// doubled quotes undone; the rest of the text after the closing quote is
// not part of the string.
std::string UnquoteSingle(std::string_view s) {
  std::string out;
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (s[i] == '\'') {
      if (i + 1 < s.size() && s[i + 1] == '\'') {
        out += '\'';
        ++i;
        continue;
      }
      break;
    }
    out += s[i];
  }
  return out;
}

// Hands a comment about the walk to the writer, ahead of the statement it
// explains.
void WriteWalkNote(TDbObj& about, const std::string& text, int action, const std::string& table) {
  if (TScriptWriter* w = about.GetScriptWriter())
    w->AddStatement(about.MakeComment(text), kStmtObject, about.GetName(), about.ObjType, action,
                    table, 0);
}

}  // namespace

std::string_view DataTypeName(int index) {
  if (index < 0 || index >= dt::Count) return {};
  return kTypeNames[static_cast<std::size_t>(index)];
}

TFldData::TFldData(TCustomObjs* owner, TDbObj* ownerObj) : TDbObj(owner), OwnerObj(ownerObj) {
  ObjType = TDbObject::dboField;
  tableColumn_ = dynamic_cast<TTblData*>(ownerObj) != nullptr;
}

TFldData::~TFldData() = default;

TGnrData* TFldData::IdentityGenerator() {
  if (!identityGenerator_ && tableColumn_ && Identity)
    identityGenerator_ = std::make_unique<TGnrData>(Owner());
  return identityGenerator_.get();
}

void TFldData::GetSubObjects(std::vector<TDbObj*>& out) {
  if (identityGenerator_) out.push_back(identityGenerator_.get());
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

bool TFldData::IsRoutineParam() const { return dynamic_cast<TPrcData*>(OwnerObj) != nullptr; }

bool TFldData::IsOutParam() const {
  if (ParamDirection == pdOut) return true;
  auto* prc = dynamic_cast<TPrcData*>(OwnerObj);
  return prc && prc->OutParams.IndexOfObject(this) >= 0;
}

// ------------------------------------------------------------ Type mapping

void TFldData::SetIBFieldType(int fieldType, std::int32_t charSetId) {
  const bool octets = charSetId == ibft::kOctetsCharSetId;
  switch (fieldType) {
    case ibft::Short: DataType = dt::SMALLINT; break;
    case ibft::Long: DataType = dt::INTEGER; break;
    case ibft::Quad: DataType = dt::QUAD; break;
    case ibft::Float: DataType = dt::FLOAT; break;
    case ibft::Date: DataType = dt::DATE; break;
    case ibft::Time: DataType = dt::TIME; break;
    case ibft::Text: DataType = octets ? dt::BINARY : dt::CHAR; break;
    case ibft::Int64: DataType = dt::BIGINT; break;
    case ibft::BooleanIB:
    case ibft::Boolean: DataType = dt::BOOLEAN; break;
    case ibft::Dec16:
    case ibft::Dec34: DataType = dt::DECFLOAT; break;
    case ibft::Int128: DataType = dt::NUMERIC; break;
    case ibft::Double: DataType = dt::DOUBLE_PRECISION; break;
    case ibft::TimeTz:
      DataType = dt::TIME;
      WithTimeZone = true;
      break;
    case ibft::TimestampTz:
      DataType = dt::TIMESTAMP;
      WithTimeZone = true;
      break;
    case ibft::Timestamp: {
      const TIBServerOptions* ib = GetServerOptions();
      DataType = (ib ? ib->SQLDialect : 3) == 3 ? dt::TIMESTAMP : dt::DATE;
      break;
    }
    case ibft::Varying: DataType = octets ? dt::VARBINARY : dt::VARCHAR; break;
    case ibft::CString: DataType = dt::CSTRING; break;
    case ibft::Blob: DataType = dt::BLOB; break;
    default: DataType = dt::Unknown; break;
  }
}

bool TFldData::IsCharType() const {
  switch (DataType) {
    case dt::VARCHAR:
    case dt::CHAR:
    case dt::NCHAR:
    case dt::CSTRING: return true;
    case dt::BLOB: return SubType == 1;
    case dt::UserType: {
      const TDmnData* d = GetDomain();
      return d && d->TypeHolder && d->TypeHolder->IsCharType();
    }
    default: return false;
  }
}

std::string TFldData::GetEffectiveCharSet() const {
  if (!IsCharType()) return {};
  if (!CharSet.empty()) return CharSet;
  if (const TDmnData* d = GetDomain(); d && d->TypeHolder && !d->TypeHolder->CharSet.empty())
    return d->TypeHolder->CharSet;
  if (GetServerType() == DB::dbInterBase && GetServerOptions())
    return GetServerOptions()->GetDBCharSet();
  return {};
}

void TFldData::SetCharSetCollation(std::string_view charSet, std::int32_t charSetId,
                                   std::string_view collation, std::int32_t collationId) {
  if (IsCharType()) {
    CharSet = std::string(charSet);
    CharSetId = charSetId;
    Collation = std::string(collation);
    CollationId = collationId;
    // A collation that the domain or the character set implies is not the
    // column's own.
    const TDmnData* d = DataType == dt::UserType ? GetDomain() : nullptr;
    const std::string implied =
        d && d->TypeHolder ? d->TypeHolder->Collation : GetEffectiveCharSet();
    if (SameText(Collation, implied)) {
      Collation.clear();
      CollationId = 0;
    }
    const std::string dbCharSet = GetServerOptions() ? GetServerOptions()->GetDBCharSet() : "";
    if (SameText(CharSet, dbCharSet) || (SameText(CharSet, "NONE") && dbCharSet.empty())) {
      CharSet.clear();
      CharSetId = 0;
    }
  } else {
    Collation.clear();
    CollationId = 0;
  }
  if (IsComputed()) {
    CharSet.clear();
    CharSetId = 0;
    Collation.clear();
    CollationId = 0;
  }
}

std::string TFldData::GetDefaultText() const {
  const std::string& d = DefaultValue;
  // MS SQL keeps a column's default as a constraint of its own, which the
  // other dialects do not have: there it is the column's.
  if (d.empty()) {
    TCustomObjs* objs = Owner();
    if (!objs || ScriptDialect(GetServerType()) == TScriptDialect::sdMSSQL) return d;
    const TCtrData* c = objs->DefaultConstraintOf(*this);
    return c ? c->ColumnDefaultText() : d;
  }
  if (d.size() >= 2 && d.front() == '"' && d.back() == '"')
    return QuotedStr(std::string_view(d).substr(1, d.size() - 2));
  // What follows on its line (NOT NULL, the next column's comma) must not
  // fall into a comment the text ends in.
  return LineCommentClosed(d);
}

// --------------------------------------------------------- Data-type text

std::string TFldData::GetDataTypeSQL() {
  if (ReturnParamNo != 0) return "PARAMETER " + IntToStr(ReturnParamNo);
  if (DataType == dt::UserType) {
    std::string s = TypeOf ? "TYPE OF " : "";
    if (!TypeOfTable.empty() && !TypeOfColumn.empty())
      return s + "COLUMN " + QuoteName(TypeOfTable) + "." + QuoteName(TypeOfColumn);
    if (GetServerType() == DB::dbPostgreSQL || GetServerType() == DB::dbDB2)
      return s + QualifiedDomainSQL();
    return s + QuoteName(DomainName);
  }
  const DB st = GetServerType();
  if (IsComputed())
    return (st == DB::dbMSSQL ? "AS " : "COMPUTED BY ") + LineCommentClosed(GetText());

  const TIBServerOptions* ib = GetServerOptions();
  const TIBVersionCaps& caps = IBCaps(ib ? ib->SQLServerVersion : IBV::st_Firebird_25);
  const int dialect = ib ? ib->SQLDialect : 3;
  const std::uint8_t t = DataType;
  std::string s(DataTypeName(t));
  if (st == DB::dbPostgreSQL) {
    s = LowerAscii(s);
    if (t == dt::TIME_TZ || t == dt::TIMESTAMP_TZ) {
      if (Precision != 0) s += Paren(Precision);
      s += " with time zone";
    }
  }
  bool octets = false;
  if (st != DB::dbInterBase) {
    if (OneOf(t, {dt::VARCHAR, dt::CHAR, dt::VARCHAR2, dt::BINARY, dt::NCHAR, dt::NVARCHAR,
                  dt::CSTRING, dt::VARBINARY})) {
      if (Length > 1) s += Paren(Length);
      else if (Length == -1) s += "(MAX)";
    }
  } else {
    // InterBase has no BIGINT; its 64-bit integer is NUMERIC(18,0).
    if (t == dt::BIGINT && !caps.bigintType) s = "NUMERIC(18,0)";
    if ((t == dt::CHAR || t == dt::NCHAR) && Length > 1) s += Paren(Length);
    if ((t == dt::VARCHAR || t == dt::NVARCHAR || t == dt::CSTRING) && Length > 0)
      s += Paren(Length);
    if (OctetsAsCharacters(t, caps)) {
      octets = true;
      s = t == dt::BINARY ? "CHAR" : "VARCHAR";
      if (Length > 0) s += Paren(Length);
    }
    if (caps.octetsTypes && (t == dt::BINARY || t == dt::VARBINARY)) s += Paren(Length);
    if (caps.timeZones && (t == dt::TIME || t == dt::TIMESTAMP) && WithTimeZone)
      s += " WITH TIME ZONE";
    if (!ArrayBounds.empty()) {
      s += " [";
      for (std::size_t i = 0; i < ArrayBounds.size(); ++i) {
        if (i) s += ", ";
        s += IntToStr(ArrayBounds[i].first) + ":" + IntToStr(ArrayBounds[i].second);
      }
      s += "]";
    }
    // After the array bounds, where the grammar puts a character set.
    if (octets) s += " CHARACTER SET OCTETS";
  }
  if (t == dt::BLOB) {
    if (SubType != 0) s += " SUB_TYPE " + IntToStr(SubType);
    if (SegmentSize != 0 && SegmentSize != 80 && !dynamic_cast<TUdfData*>(OwnerObj))
      s += " SEGMENT SIZE " + IntToStr(SegmentSize);
  }
  if (OneOf(t, {dt::NUMBER, dt::NUMERIC, dt::DECIMAL})) s += PrecisionScale(Precision, Scale);
  if (t == dt::DECFLOAT && Precision != 0 && Precision != 34) s += Paren(Precision);
  if (st == DB::dbInterBase && dialect != 3 && (t == dt::TIME || t == dt::TIMESTAMP)) s = "DATE";
  return s;
}

// ------------------------------------------------------ Column definitions

std::string TFldData::GetColumnSQL() {
  switch (ScriptDialect(GetServerType())) {
    case SD::sdASA: return ASAColumnSQL();
    case SD::sdMySQL: return MySQLColumnSQL();
    case SD::sdOracle: return OracleColumnSQL();
    case SD::sdMSSQL: return MSSQLColumnSQL();
    case SD::sdPostgreSQL: return PGColumnSQL();
    case SD::sdDB2: return DB2ColumnSQL();
    case SD::sdASE: return ASEColumnSQL();
    case SD::sdGeneric:
    case SD::sdInterBase: return IBColumnSQL();
  }
  return IBColumnSQL();
}

std::string TFldData::IBColumnSQL() {
  std::string s = GetDataTypeSQL();
  if (ReturnParamNo != 0) return s;
  if (ByDescriptor) s += " BY DESCRIPTOR";
  if (ByValue) s += " BY VALUE";

  const TIBServerOptions* ib = GetServerOptions();
  const TIBVersionCaps& caps = IBCaps(ib ? ib->SQLServerVersion : IBV::st_Firebird_25);
  const bool charsetCompare = ib && ib->IBCompareOptions.FldCharsetCompare;
  const std::string dbCharSet = ib ? ib->GetDBCharSet() : std::string();
  // The octets types carry their character set in the type text already.
  const bool binary = DataType == dt::BINARY || DataType == dt::VARBINARY;
  if (DomainName.empty() && !IsComputed() && charsetCompare && !binary) {
    if (!CharSet.empty() && !(SameText(CharSet, dbCharSet) && Collation.empty()))
      s += " CHARACTER SET " + CharSet;
    // A collation belongs to one character set: said without it, the
    // collation would be looked up in the default set of whatever database
    // the script runs in.
    else if (CharSet.empty() && !Collation.empty() && !GetEffectiveCharSet().empty())
      s += " CHARACTER SET " + GetEffectiveCharSet();
  }

  // Identity columns exist from Firebird 3.0 on, and take no default.
  const bool identity = Identity && caps.identityColumns;
  if (identity) {
    s += " GENERATED BY DEFAULT AS IDENTITY";
    // The engine's own start is 0; any other would be lost on replay.
    if (IdentitySeed != 0) s += " (START WITH " + IntToStr(IdentitySeed) + ")";
  }

  // A default of its own, also one that differs from its domain's (which
  // it overrides): leaving that out would lose it.
  const std::string def = GetDefaultText();
  if (!def.empty() && !identity) {
    if (!IsRoutineParam()) s += " DEFAULT " + def;
    else if (!IsOutParam() && caps.paramDefaults) s += " = " + def;
  }
  if (!Nullable) s += " NOT NULL";
  if (!CheckText.empty()) s += " CHECK" + LineCommentClosed(CheckText);
  if (charsetCompare && !Collation.empty()) s += " COLLATE " + Collation;
  return s;
}

std::string TFldData::ASAColumnSQL() {
  std::string s;
  if (DomainName.empty()) {
    s = std::string(DataTypeName(DataType));
    if (OneOf(DataType,
              {dt::VARCHAR, dt::CHAR, dt::BINARY, dt::NCHAR, dt::NVARCHAR, dt::VARBINARY}) &&
        Length > 1)
      s += Paren(Length);
    // Without them NUMERIC(15,2) would come back with the server's default
    // precision and no decimals.
    if (OneOf(DataType, {dt::NUMERIC, dt::DECIMAL})) s += PrecisionScale(Precision, Scale);
  } else {
    s = QuoteName(DomainName);
  }
  const std::string def = GetDefaultText();
  const bool param = IsRoutineParam();
  if (!def.empty()) s += (param ? " = " : " DEFAULT ") + def;
  if (ParamDirection == pdOut) s += " OUTPUT";
  if (!Collation.empty()) s += " COLLATE " + Collation;
  if (Identity)
    s += " IDENTITY (" + IntToStr(IdentitySeed) + ", " + IntToStr(IdentityIncrement) + ")";
  if (RowGuidCol) s += " ROWGUIDCOL";
  if (!param) s += Nullable ? " NULL" : " NOT NULL";
  // A domain's check is part of its definition there.
  if (dynamic_cast<TDmnData*>(OwnerObj) && !CheckText.empty())
    s += " CHECK" + LineCommentClosed(CheckText);
  return s;
}

std::string TFldData::ASEColumnSQL() {
  std::string s;
  const bool param = IsRoutineParam();
  if (JavaClass) {
    s = "java.lang." + JavaClassName;
    if (Precision != 0 && Scale != 0) s += "(" + IntToStr(Precision) + "," + IntToStr(Scale) + ")";
    else if (Precision != 0) s += Paren(Precision);
  } else if (DataType != dt::UserType) {
    if (IsComputed()) return "AS " + LineCommentClosed(GetText());
    if (DataType == dt::TABLE) return TableType ? TableType->GetTableSQL() : "TABLE";
    s = std::string(DataTypeName(DataType));
    if (OneOf(DataType,
              {dt::VARCHAR, dt::CHAR, dt::BINARY, dt::NCHAR, dt::NVARCHAR, dt::VARBINARY})) {
      if (Length >= 1) s += Paren(Length);
      else if (Length == -1) s += "(MAX)";
    }
    if (OneOf(DataType, {dt::FLOAT, dt::NUMERIC, dt::DECIMAL}))
      s += PrecisionScale(Precision, Scale);
  } else {
    s = QuoteName(DomainName);
  }
  const std::string def = GetDefaultText();
  if (!def.empty()) s += (param ? " = " : " DEFAULT ") + def;
  if (!Collation.empty()) s += " COLLATE " + Collation;
  if (Identity) s += " IDENTITY";
  if (!param) s += Nullable ? " NULL" : " NOT NULL";
  return s;
}

std::string TFldData::MSSQLColumnSQL() {
  std::string s;
  const bool param = IsRoutineParam();
  if (DataType == dt::UserType) {
    if (!DomainSchema.empty()) s = QuoteName(DomainSchema) + ".";
    s += QuoteName(DomainName);
  } else if (IsComputed()) {
    s = "AS " + GetText();
    if (Persisted) s += " PERSISTED";
  } else if (DataType == dt::XML) {
    s = "XML";
    if (!XmlSchema.empty()) s += " " + XmlSchema;
  } else if (DataType == dt::TABLE) {
    return TableType ? TableType->GetTableSQL() : "TABLE";
  } else {
    s = std::string(DataTypeName(DataType));
    if (OneOf(DataType,
              {dt::VARCHAR, dt::CHAR, dt::BINARY, dt::NCHAR, dt::NVARCHAR, dt::VARBINARY})) {
      if (Length >= 1) s += Paren(Length);
      else if (Length == -1) s += "(MAX)";
    }
    if (OneOf(DataType, {dt::TIME, dt::DATETIME2, dt::DATETIMEOFFSET})) {
      // Seven digits is the default fraction; zero digits must be said.
      if (!(Scale == 0 && Precision == 7)) {
        s += "(" + IntToStr(Precision);
        if (Scale != 0) s += "," + IntToStr(Scale);
        s += ")";
      }
    } else if (OneOf(DataType, {dt::FLOAT, dt::NUMERIC, dt::DECIMAL})) {
      s += PrecisionScale(Precision, Scale);
    }
  }
  const std::string def = GetDefaultText();
  if (!def.empty()) s += (param ? " = " : " DEFAULT ") + def;
  if (ParamDirection == pdOut) s += " OUTPUT";
  if (!Collation.empty() && !dynamic_cast<TDmnData*>(OwnerObj)) s += " COLLATE " + Collation;
  if (Identity) {
    s += " IDENTITY";
    if (IdentityIncrement != 0)
      s += " (" + IntToStr(IdentitySeed) + ", " + IntToStr(IdentityIncrement) + ")";
  }
  if (RowGuidCol) s += " ROWGUIDCOL";
  if (!IsComputed() && !param) s += Nullable ? " NULL" : " NOT NULL";
  return s;
}

std::string TFldData::MySQLColumnSQL() {
  std::string s = MySQLTypeSQL();
  // A generated column takes neither a default nor NOT NULL; without its
  // expression it would come back as a plain column.
  if (!GeneratedExpr.empty())
    return s + " GENERATED ALWAYS AS " + GeneratedExpr + (Persisted ? " STORED" : " VIRTUAL");
  if (!Nullable) s += " NOT NULL";
  const std::string def = GetDefaultText();
  if (!def.empty()) {
    if (def.front() == '\'') s += " DEFAULT " + QuoteStringLiteral(UnquoteSingle(def), DB::dbMySQL);
    else s += " DEFAULT " + def;
  }
  if (AutoIncrement) s += " AUTO_INCREMENT";
  return s;
}

std::string TFldData::MySQLTypeSQL() const {
  // A type the type table lacks (uuid, inet6) is kept by its name.
  std::string s = DataType == dt::UserType ? DomainName : std::string(DataTypeName(DataType));
  if (OneOf(DataType, {dt::VARCHAR, dt::CHAR, dt::BINARY, dt::NATIONAL_CHAR, dt::VARBINARY})) {
    if (Length != 0) s += Paren(Length);
  } else if (DataType == dt::ENUM || DataType == dt::SET) {
    std::string values;
    for (std::size_t i = 0; i < EnumValues.size(); ++i) values += (i ? ", " : "") + EnumValues[i];
    s += "(" + values + ")";
  } else if (OneOf(DataType, {dt::FLOAT, dt::DOUBLE, dt::NUMERIC, dt::DECIMAL})) {
    s += PrecisionScale(Precision, Scale);
  } else if (Precision != 0) {
    s += Paren(Precision);
  }
  if (!CharSet.empty()) s += " CHARACTER SET " + CharSet;
  if (!Collation.empty()) s += " COLLATE " + Collation;
  if (Unsigned) s += " UNSIGNED";
  if (ZeroFill) s += " ZEROFILL";
  if (BinaryAttr) s += " BINARY";
  return s;
}

std::string TFldData::PGColumnSQL() {
  std::string s;
  if (DataType != dt::UserType) {
    s = LowerAscii(DataTypeName(DataType));
    if ((DataType == dt::VARCHAR || DataType == dt::CHAR) && Length != 0) s += Paren(Length);
    if (DataType == dt::NUMERIC || DataType == dt::DECIMAL) s += PrecisionScale(Precision, Scale);
    if (DataType == dt::TIME_TZ || DataType == dt::TIMESTAMP_TZ) s += " with time zone";
    if (!CharSet.empty()) s += " character set " + CharSet;
    if (!Collation.empty()) s += " collate " + Collation;
  } else {
    s = QualifiedDomainSQL();
  }
  for (const auto& bounds : ArrayBounds)
    s += "[" + (bounds.second != 0 ? IntToStr(bounds.second) : std::string()) + "]";
  if (!Nullable) s += " not null";
  // An identity takes no default of its own; without the clause the column
  // would come back as a plain one.
  if (Identity && dynamic_cast<TTblData*>(OwnerObj)) {
    s += GeneratedKind == 'A' ? " generated always as identity"
                              : " generated by default as identity";
    return s;
  }
  const std::string def = GetDefaultText();
  if (!def.empty()) s += " default " + def;
  if (!CheckText.empty()) {
    if (!CheckName.empty()) s += " CONSTRAINT " + CheckName;
    s += " CHECK" + LineCommentClosed(CheckText);
  }
  return s;
}

std::string TFldData::QualifiedDomainSQL() {
  std::string schema = DomainSchema;
  if (schema.empty() && Owner()) {
    // Domains are keyed by schema and name; the holder's schema first.
    const std::string holderSchema = OwnerObj ? OwnerObj->GetParentName() : std::string();
    TDmnData* d = nullptr;
    if (!holderSchema.empty()) d = Owner()->Domains.FindObject(holderSchema + "." + DomainName);
    if (!d) d = Owner()->Domains.FindObject(DomainName);
    if (!d) {
      for (const auto& e : Owner()->Domains) {
        if (!e.Value || e.Value->GetName() != DomainName) continue;
        if (d) {  // two schemas hold one: the search path decides
          d = nullptr;
          break;
        }
        d = e.Value.get();
      }
    }
    if (d) schema = d->GetParentName();
  }
  return (schema.empty() ? std::string() : QuoteName(schema) + ".") + QuoteName(DomainName);
}

std::string TFldData::OracleColumnSQL() {
  // A domain that is no Oracle type is not in the script: its column takes
  // the domain's type, default and NOT NULL instead of naming it (the
  // domain's check stays behind, as it is written for VALUE).
  const TDmnData* d =
      DomainName.empty() || !Owner() ? nullptr : Owner()->Domains.FindObject(DomainName);
  const bool inlined = d && d->TypeHolder && !d->IsOracleType();
  const bool ownType = DataType != dt::UserType && DataType != dt::Unknown;
  const TFldData& type = inlined && !ownType ? *d->TypeHolder : *this;
  std::string s = (IsRef ? "REF " : "") + type.OracleTypeSQL(/*byDomain=*/!inlined);
  std::string def = GetDefaultText();
  if (def.empty() && inlined) def = d->TypeHolder->GetDefaultText();
  if (!def.empty()) s += (s.empty() ? "" : " ") + std::string("DEFAULT ") + def;
  if (!Nullable || (inlined && !d->TypeHolder->Nullable)) s += " NOT NULL";
  return s;
}

std::string TFldData::OracleTypeSQL(bool byDomain) const {
  std::string s;
  if (byDomain && !DomainName.empty()) s = DomainName;
  else if (DataType != dt::Unknown) s = std::string(DataTypeName(DataType));
  const std::uint8_t t = DataType;
  if (OneOf(t,
            {dt::VARCHAR, dt::CHAR, dt::VARCHAR2, dt::NCHAR, dt::NVARCHAR, dt::NVARCHAR2, dt::RAW}))
    s += Paren(Length);
  if (t == dt::INTERVAL_YEAR_TO_MONTH && Precision != 0)
    s = "INTERVAL YEAR(" + IntToStr(Precision) + ") TO MONTH";
  if (t == dt::INTERVAL_DAY_TO_SECOND && (Precision != 0 || Scale != 0)) {
    s = "INTERVAL DAY";
    if (Precision != 0) s += Paren(Precision);
    s += " TO SECOND";
    if (Scale != 0) s += Paren(Scale);
  }
  if (OneOf(t, {dt::FLOAT, dt::NUMBER, dt::NUMERIC, dt::DECIMAL, dt::UROWID}))
    s += PrecisionScale(Precision, Scale);
  if (t == dt::TIMESTAMP) {
    if (Precision != 0) s += Paren(Precision);
    if (WithTimeZone) s += " WITH TIME ZONE";
    else if (WithLocalTimeZone) s += " WITH LOCAL TIME ZONE";
  }
  return s;
}

std::string TFldData::DB2ColumnSQL() {
  std::string s;
  if (DataType == dt::UserType) {
    s = QualifiedDomainSQL();
  } else {
    if (DataType != dt::Unknown) s = std::string(DataTypeName(DataType));
    if (OneOf(DataType, {dt::VARCHAR, dt::CHAR, dt::BLOB, dt::CLOB}) && Length > 0)
      s += Paren(Length);
    if ((DataType == dt::NUMERIC || DataType == dt::DECIMAL) && Precision != 0)
      s += "(" + IntToStr(Precision) + "," + IntToStr(Scale) + ")";
  }
  if (ForBitData) s += " FOR BIT DATA";
  if (Logged == 0) s += " NOT LOGGED";
  else if (Logged == 1) s += " LOGGED";
  if (Compact == 0) s += " NOT COMPACT";
  else if (Compact == 1) s += " COMPACT";
  if (!Nullable) s += " NOT NULL";
  if (GeneratedKind != '\0' && GeneratedKind != ' ') {
    s += " GENERATED ";
    if (GeneratedKind == 'A') s += "ALWAYS ";
    else if (GeneratedKind == 'D') s += "BY DEFAULT ";
    if (Identity)
      s +=
          "AS IDENTITY" + (IdentityGenerator() ? IdentityGenerator()->GetDB2IdentityOptions() : "");
    else s += "AS(" + GeneratedExpr + ")";
  }
  const std::string def = GetDefaultText();
  if (!def.empty()) s += " WITH DEFAULT " + def;
  return s;
}

std::string TFldData::GetCreateSQL() {
  std::string s;
  const bool mode = UsesModePrefix();
  if (mode) {
    switch (ParamDirection) {
      case pdIn: s = "in "; break;
      case pdOut: s = "out "; break;
      case pdInOut: s = "inout "; break;
      default: break;
    }
  }
  const DB st = GetServerType();
  if (!GetName().empty()) {
    if (st == DB::dbMSSQL && IsRoutineParam()) s += GetName() + " ";
    else s += GetQualifiedName() + " ";
  }
  s += GetColumnSQL();
  if (st == DB::dbSybaseASE && !mode) {
    // An input parameter has no word there ("in" does not parse), and an
    // output one is read and written alike.
    switch (ParamDirection) {
      case pdOut: s += " out"; break;
      case pdInOut: s += " output"; break;
      default: break;
    }
  }
  return s;
}

// ------------------------------------------------- ALTER TABLE ADD / DROP

std::string TFldData::AddTableName() {
  if (!OwnerObj) return QuoteName(TableName);
  const DB st = GetServerType();
  const std::string target = QuoteName(OwnerObj->GetTargetName());
  if ((st == DB::dbOracle || st == DB::dbMSSQL || st == DB::dbPostgreSQL) &&
      !OwnerObj->GetParentName().empty())
    return QuoteName(OwnerObj->GetParentName()) + "." + target;
  // A missing owner would leave a bare "." before the name.
  if (st == DB::dbSybaseASA && !OwnerObj->OwnerQualifier.empty())
    return QuoteName(OwnerObj->OwnerQualifier) + "." + target;
  return target;
}

std::string TFldData::GetScriptSQL() {
  if (Suppressed) return {};
  std::string s = "ALTER TABLE " + AddTableName() + " ADD " + GetCreateSQL();
  if (GetServerType() != DB::dbMSSQL || Nullable) return s;
  // A NOT NULL column needs its default in the same statement when the
  // table has rows already.
  for (const auto& e : UsedBy()) {
    auto* c = e.Value ? dynamic_cast<TCtrData*>(e.Value->Target) : nullptr;
    if (!c || c->GetConstraintType() != ct::Default || c->Columns.Count() != 1) continue;
    if (!SameText(c->Columns.Name(0), GetName())) continue;
    s += " " + c->GetConstraintText(/*forColumn=*/true);
    c->SetSelected(true);
  }
  return s;
}

std::string TFldData::GetDropSQL() {
  const DB st = GetServerType();
  const std::string table = GetTableName();
  if (st == DB::dbMSSQL) {
    const std::string t = OwnerObj ? OwnerObj->GetQualifiedName() : QuoteName(TableName);
    return "ALTER TABLE " + t + " DROP COLUMN " + QuoteName(GetName());
  }
  if (st == DB::dbSybaseASA && dynamic_cast<TTblData*>(OwnerObj)) {
    std::string t = QuoteName(table);
    if (!OwnerObj->OwnerQualifier.empty()) t = QuoteName(OwnerObj->OwnerQualifier) + "." + t;
    return "ALTER TABLE " + t + " DROP " + QuoteName(GetName());
  }
  if (st == DB::dbOracle)
    return "ALTER TABLE " + QuoteName(table) + " DROP (" + QuoteName(GetName()) + ")";
  return "ALTER TABLE " + QuoteName(table) + " DROP " + QuoteName(GetName());
}

// ------------------------------------------------- Description statements

std::string TFldData::InterBaseDescriptionSQL() {
  const std::string qsDesc = QuotedStr(GetDescription());
  const std::string crlf(CRLF);
  const std::string& name = GetName();
  const bool param = IsRoutineParam();
  const std::string holder = param ? OwnerObj->GetName() : GetTableName();
  const bool ofView = OwnerObj && OwnerObj->GetKind() == TDbObject::dboView;
  const TIBServerOptions* ib = GetServerOptions();
  if (ib && IBCaps(ib->SQLServerVersion).alterDescription)
    return std::string("ALTER DESCRIPTION FOR ") + (param ? "PARAMETER " : "COLUMN ") +
           QuoteName(holder) + "." + QuoteName(name) + " SET" + crlf + qsDesc;
  switch (GetUpdateDescriptionMode()) {
    case TUpdateDescriptionType::udSysTables:
      if (param)
        return "UPDATE RDB$PROCEDURE_PARAMETERS SET RDB$DESCRIPTION = \r\n" + qsDesc + crlf +
               "WHERE RDB$PROCEDURE_NAME = " + QuotedStr(holder) +
               " AND RDB$PARAMETER_NAME = " + QuotedStr(name);
      return "UPDATE RDB$RELATION_FIELDS SET RDB$DESCRIPTION = \r\n" + qsDesc + crlf +
             "WHERE RDB$RELATION_NAME = " + QuotedStr(holder) +
             " AND RDB$FIELD_NAME = " + QuotedStr(name);
    case TUpdateDescriptionType::udDescribe:
      if (param)
        return "DESCRIBE PARAMETER " + QuoteName(name) + " PROCEDURE " + QuoteName(holder) + crlf +
               qsDesc;
      return "DESCRIBE FIELD " + QuoteName(name) + (ofView ? " VIEW " : " TABLE ") +
             QuoteName(holder) + crlf + qsDesc;
    case TUpdateDescriptionType::udComment:
      return std::string("COMMENT ON ") + (param ? "PARAMETER " : "COLUMN ") + QuoteName(holder) +
             "." + QuoteName(name) + " IS" + crlf + qsDesc;
  }
  return {};
}

std::string TFldData::ASADescriptionSQL() {
  const std::string table = GetTableName();
  if (table.empty()) return {};
  return "COMMENT ON COLUMN " + QuoteName(table) + "." + QuoteName(GetName()) + " IS" +
         std::string(CRLF) + QuoteStringLiteral(GetDescription(), GetServerType());
}

std::string TFldData::MySQLDescriptionSQL() {
  const std::string table = GetTableName();
  if (table.empty()) return {};
  return "ALTER TABLE " + QuoteName(table) + " MODIFY COLUMN " + QuoteName(GetName()) + " " +
         GetColumnSQL() + " COMMENT " + QuoteStringLiteral(GetDescription(), GetServerType());
}

std::string TFldData::OracleDescriptionSQL() {
  const std::string table = GetTableName();
  // A parameter: nothing stores its comment, and a "/" after a bare
  // comment would run the routine's text again.
  if (table.empty()) return {};
  std::string schema;
  if (OwnerObj) schema = OwnerObj->GetParentName();
  return "COMMENT ON COLUMN " + SchemaPrefix(schema) + QuoteName(table) + "." +
         QuoteName(GetName()) + " IS" + std::string(CRLF) +
         QuoteStringLiteral(GetDescription(), GetServerType());
}

void TFldData::MSSQLPropertyLevels(TPropertyLevel (&levels)[3]) {
  if (!OwnerObj) return;
  const TDbObject holder = OwnerObj->GetKind();
  if (holder == TDbObject::dboProcedure) {
    levels[0].Assign("SCHEMA", OwnerObj->GetParentName());
    levels[1].Assign(OwnerObj->KindWord(TKindWordUse::kwMSSQLLevel1), OwnerObj->GetName());
    levels[2].Assign("PARAMETER", GetName());
  } else if (holder == TDbObject::dboTable || holder == TDbObject::dboView) {
    levels[0].Assign("SCHEMA", OwnerObj->GetParentName());
    levels[1].Assign(holder == TDbObject::dboView ? "VIEW" : "TABLE", OwnerObj->GetName());
    levels[2].Assign("COLUMN", GetName());
  }
}

bool TFldData::PGCommentTarget(std::string& word, std::string& target) {
  auto* table = dynamic_cast<TTblData*>(OwnerObj);
  if (!table) return false;
  word = "COLUMN";
  target = SchemaPrefix(table->GetParentName()) + QuoteName(table->GetName()) + "." +
           QuoteName(GetName());
  return true;
}

// ------------------------------------------------------------------- Walk

TWalk TFldData::DoBeforeCreateWalk() {
  // A column of an absent table comes with its table; ALTER TABLE ADD on a
  // table that is not there yet would fail.
  if (auto* t = dynamic_cast<TTblData*>(OwnerObj); t && !t->GetSelected())
    co_await t->WriteCreateWalk();
  co_await TDbObj::DoBeforeCreateWalk();
  if (DataType == dt::UserType) {
    TCustomObjs* src = Owner() ? Owner()->GetSourceObjs() : nullptr;
    if (!src) src = Owner();
    TDmnData* d = src ? src->Domains.FindObject(DomainName) : nullptr;
    if (d && !d->GetSelected()) co_await d->WriteCreateWalk();
  }
  if (IsComputed()) {
    for (int i = 0; i < DependsOn().Count(); ++i) {
      TDependObj* e = DependsOn().Object(i);
      if (!e || !e->Active || !dynamic_cast<TUdfData*>(e->Target)) continue;
      e->Active = false;
      co_await e->Target->WriteCreateWalk();
    }
  }
}

TWalk TFldData::DoBeforeDropWalk() {
  const std::string table = GetTableName();
  const std::string here = table + "(" + GetName() + ")";
  for (int i = 0; i < UsedBy().Count(); ++i) {
    TDependObj* e = UsedBy().Object(i);
    if (!e || !e->Active || !e->Target) continue;
    TDbObj* user = e->Target;
    if (auto* prc = dynamic_cast<TPrcData*>(user)) {
      if (prc->HasEmptyBody()) continue;
      e->Active = false;
      // The routine exists, so it is altered, not created: it keeps its name
      // and signature but stops using the column.
      if (TScriptWriter* w = GetScriptWriter())
        w->AddComment(prc->MakeComment("Empty " + prc->GetName() + " for drop " + here));
      prc->ReplaceWithEmptyBody(/*write=*/true);
      prc->SetBodyEmptied(true);
    } else if (auto* f = dynamic_cast<TFldData*>(user); f && f->IsComputed()) {
      e->Active = false;
      WriteWalkNote(*f, "Drop " + f->GetTableName() + "(" + f->GetName() + ") for drop " + here,
                    kActionDrop, f->GetTableName());
      co_await f->WriteDropWalk();
    } else if (dynamic_cast<TIdxData*>(user) || dynamic_cast<TCtrData*>(user) ||
               dynamic_cast<TPblData*>(user)) {
      e->Active = false;
      co_await user->WriteDropWalk();
    }
  }
  // Views of the target that read the table go, so the column can. They
  // are the users of the tables of that name, taken in the views' list
  // order: a domain dropped under thousands of columns reads no view list.
  TCustomObjs* dst = Owner() ? Owner()->GetTargetObjs() : nullptr;
  if (!dst) dst = Owner();
  if (dst) {
    std::vector<TDbObj*> tables;
    dst->ObjectsNamed(TDbObject::dboTable, table, tables);
    if (auto* own = dynamic_cast<TTblData*>(OwnerObj);
        own && own->GetName() == table &&
        std::find(tables.begin(), tables.end(), own) == tables.end())
      tables.push_back(own);
    std::vector<std::pair<int, TViwData*>> readers;
    for (TDbObj* t : tables)
      for (const auto& u : t->UsedBy()) {
        auto* view = dynamic_cast<TViwData*>(u.Value ? u.Value->Target : nullptr);
        if (!view) continue;
        int at = -1;
        // A view renamed since it was stored is looked for by its object.
        if (!dst->Views.Find(view->GetKeyName(), at) || dst->Views.Object(at) != view)
          at = dst->Views.IndexOfObject(view);
        if (at >= 0) readers.emplace_back(at, view);
      }
    std::sort(readers.begin(), readers.end());
    readers.erase(std::unique(readers.begin(), readers.end()), readers.end());
    for (const auto& [at, view] : readers) {
      for (int i = 0; i < view->DependsOn().Count(); ++i) {
        TDependObj* e = view->DependsOn().Object(i);
        if (!e || !e->Active || !dynamic_cast<TTblData*>(e->Target)) continue;
        if (e->Target->GetName() != table) continue;
        e->Active = false;
        co_await view->WriteDropWalk();
        break;
      }
    }
  }
  co_await TDbObj::DoBeforeDropWalk();
}

void TFldData::Deselect() {
  TDbObj::Deselect();
  if (auto* t = dynamic_cast<TTblData*>(OwnerObj)) t->SetComputedPending(true);
}

void AppendFields(const TFieldList& list, std::vector<TDbObj*>& out) {
  for (const auto& e : list)
    if (e.Value) out.push_back(e.Value.get());
}

}  // namespace qor
