// Constraints: construction, the type and its kind code, the table names
// and the list key.
#include "model/qorComp_Ctr.h"

#include "platform/qorStrings.h"

namespace qor {

TCtrData::TCtrData(TCustomObjs* owner) : TDbObj(owner) {
  SetConstraintType(ct::ForeignKey);
  ObjType = TDbObject::dboConstraint;  // generic until the type is set again
}

TCtrData::~TCtrData() = default;

void TCtrData::SetConstraintType(std::uint8_t value) {
  constraintType_ = value;
  switch (value) {
    case ct::PrimaryKey: ObjType = TDbObject::dboPKey; break;
    case ct::Unique: ObjType = TDbObject::dboUnique; break;
    case ct::ForeignKey: ObjType = TDbObject::dboFKey; break;
    case ct::Check: ObjType = TDbObject::dboCheck; break;
    case ct::Default: ObjType = TDbObject::dboDefault; break;
    case ct::References: ObjType = TDbObject::dboReferences; break;
    default: break;  // 4, 6 and others keep the kind
  }
}

std::string TCtrData::CaseFolded(std::string_view value) const {
  const bool fold = GetServerType() == TDatabaseType::dbMSSQL && Owner() &&
                    !Owner()->MSSQLServerOptions.MSSQLCompareOptions.CaseSensitiveIdentifiers;
  return fold ? UpperLocale(value) : std::string(value);
}

void TCtrData::SetTableName(std::string_view value) { tableName_ = CaseFolded(value); }

void TCtrData::SetRefTableName(std::string_view value) { refTableName_ = CaseFolded(value); }

void TCtrData::SetRefSchemaName(std::string_view value) { refSchema_ = CaseFolded(value); }

std::string TCtrData::GetDisplayName() {
  if (!GetName().empty()) return GetName();
  if (!SystemName.empty()) return SystemName;
  return GetCreateSQL();
}

std::string TCtrData::GetKeyName() {
  if (!GetName().empty()) return TDbObj::GetKeyName();
  if (GetServerType() != TDatabaseType::dbInterBase) return GetCreateSQL();
  // Dialect 1 writes names unquoted, so equal constraints share a key.
  TIBDialectScope scope(GetServerOptions(), 1);
  return GetCreateSQL();
}

void TCtrData::GetSubObjects(std::vector<TDbObj*>& out) {
  AppendFields(Columns, out);
  AppendFields(RefColumns, out);
}

}  // namespace qor
