// Domains and user-defined types: TDmnData with its type holder, the Oracle
// object-type parts and the PostgreSQL type options (TPGTypeOptions).
#pragma once

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Prc.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qor {

class TDmnData;

class TPGTypeOptions : public TObject {
 public:
  explicit TPGTypeOptions(TDmnData* ownerDomain) : OwnerDomain(ownerDomain) {}
  const char* ClassName() const override { return "TPGTypeOptions"; }

  // The option part of a PostgreSQL CREATE TYPE: the attributes of a
  // composite type, else the base-type options that are set.
  std::string GetText() const;

  TDmnData* OwnerDomain;
  bool IsType = false;  // CREATE TYPE rather than CREATE DOMAIN
  std::string Input;
  std::string Output;
  std::string Receive;
  std::string Send;
  std::string Analyze;
  std::int32_t InternalLength = -1;  // -1 = not given
  std::int32_t ExternalLength = -1;
  bool PassedByValue = false;
  std::uint8_t Alignment = dt::INT4;  // index into the type-name table
  std::string Storage = "plain";
  std::string DefaultValue;
  TFldData* Element = nullptr;  // not owned
  std::string Delimiter;
  TFieldList Fields;  // attributes of a composite type
};

// Text is the XML schema of an MS SQL XML schema collection; ParentName the
// schema.
class TDmnData : public TDbObj {
 public:
  explicit TDmnData(TCustomObjs* owner);
  ~TDmnData() override;
  const char* ClassName() const override { return "TDmnData"; }
  TDbObject GetKind() const override { return TDbObject::dboDomain; }
  // A PostgreSQL type and an MS SQL XML schema collection have words of
  // their own.
  const char* KindWord(TKindWordUse use) const override;

  std::string GetDisplayName() override { return GetName(); }
  void GetSubObjects(std::vector<TDbObj*>& out) override;
  void ClearLinksTo(const TDbObj* gone) override;

  std::string GetCreateSQL() override;
  // Drops the domains and views that use the domain first.
  TWalk DoBeforeDropWalk() override;
  // Also the domains it is built on.
  TWalk DoBeforeCreateWalk() override;
  std::string GetDropSQL() override;

  // Whether the domain is one the Oracle script can create: an object,
  // VARRAY or nested-table type, or a subtype. Any other is not written
  // there, and its columns take its base type.
  bool IsOracleType() const;
  // Empty for a domain that is no Oracle type.
  std::string GetOracleTypeSQL();
  std::string GetPGTypeSQL();

  std::unique_ptr<TFldData> TypeHolder;  // its OwnerObj is the domain
  std::string BaseTypeText;              // MS SQL, or "XML SCHEMA COLLECTION"
  std::uint8_t TypeKind = 0;             // Oracle: 2 object, 3 VARRAY, 4 table AS, 5 table IS
  std::int32_t VarrayLimit = 0;
  TFieldList Attributes;
  TOwnedNameList<TMemberPrcData> Methods;
  TFieldList AddedAttributes;
  bool Cascade = false;
  std::string TypeTimestamp;
  std::string TypeOid;
  std::string SuperType;
  TTypeDirective Directives;
  std::unique_ptr<TPGTypeOptions> PGOptions;
  bool CreateTypeFrom = false;

 private:
  std::string MSSQLTypeSQL();
  // The Oracle attribute list of `list`; `open` leaves it open for the
  // methods.
  std::string OracleAttributes(const TFieldList& list, bool open);
  std::string OracleMethods(bool opened);
};

}  // namespace qor
