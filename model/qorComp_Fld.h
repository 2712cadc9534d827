// Columns and data types: TFldData is the one class that carries a data type
// (table or view column, routine parameter or result, external-function
// argument, domain type holder, index or constraint column entry).
#pragma once

#include "model/qorClasses.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qor {

// Indices into the type-name table that the code tests by name.
namespace dt {
// clang-format off
inline constexpr std::uint8_t Unknown = 0, INTEGER = 1, BIGINT = 2, FLOAT = 3,
    DOUBLE_PRECISION = 4, DECFLOAT = 7, DOUBLE = 10, NUMBER = 11, VARCHAR = 14, CHAR = 15,
    VARCHAR2 = 17, DATE = 18, TIME = 19, TIMESTAMP = 20, TIME_TZ = 21, TIMESTAMP_TZ = 22,
    DATETIME = 23, DATETIME2 = 24, DATETIMEOFFSET = 26, BLOB = 41, CLOB = 42, BINARY = 44, NUMERIC = 46,
    DECIMAL = 47, NCHAR = 49, NVARCHAR = 50, NVARCHAR2 = 51, SMALLINT = 54, QUAD = 55,
    CSTRING = 56, NATIONAL_CHAR = 57, RAW = 58, UROWID = 60, ENUM = 69, SET = 70,
    VARBINARY = 76, UNIQUEIDENTIFIER = 79, TABLE = 84, XML = 85, INTERVAL_YEAR_TO_MONTH = 86,
    INTERVAL_DAY_TO_SECOND = 87, INT4 = 93, BOOLEAN = 96,
    UserType = 97;  // a domain, named by DomainName
// clang-format on
inline constexpr int Count = 97;
}  // namespace dt

// The InterBase/Firebird field-type codes of RDB$FIELDS.RDB$FIELD_TYPE that
// SetIBFieldType maps, and the character set id of OCTETS.
namespace ibft {
inline constexpr int Short = 7, Long = 8, Quad = 9, Float = 10, Date = 12, Time = 13, Text = 14,
                     Int64 = 16, BooleanIB = 17, Boolean = 23, Dec16 = 24, Dec34 = 25, Int128 = 26,
                     Double = 27, TimeTz = 28, TimestampTz = 29, Timestamp = 35, Varying = 37,
                     CString = 40, Blob = 261;
inline constexpr std::int32_t kOctetsCharSetId = 1;
}  // namespace ibft

// The type-name text of `index`; "" outside the table.
std::string_view DataTypeName(int index);

// A routine parameter's TFldData::ParamDirection; 0 when none is given.
enum TParamDirection : std::uint8_t { pdIn = 1, pdOut = 2, pdInOut = 3, pdVariadic = 4 };

class TFldData : public TDbObj {
 public:
  // `ownerObj`: the table, view, routine, external function or domain that
  // holds the column, or none.
  TFldData(TCustomObjs* owner, TDbObj* ownerObj);
  ~TFldData() override;
  // Columns and key entries come by the hundred thousand: their blocks come
  // from a pool.
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size) noexcept;
  const char* ClassName() const override { return "TFldData"; }
  TDbObject GetKind() const override { return TDbObject::dboField; }
  TDbObject FilterKind() const override { return TDbObject::dboUnknown; }
  TDbObj* HolderObj() const override { return OwnerObj; }
  std::string HolderTableName() const override { return GetTableName(); }

  std::string GetDisplayName() override { return GetName(); }
  // The column or parameter definition: mode prefix, name, GetColumnSQL.
  std::string GetCreateSQL() override;
  TWalk DoBeforeDropWalk() override;
  // Also marks the owning table as having computed columns pending.
  void Deselect() override;
  TWalk DoBeforeCreateWalk() override;
  // ALTER TABLE ... ADD with the column definition.
  std::string GetScriptSQL() override;
  // ALTER TABLE ... DROP of the column.
  std::string GetDropSQL() override;
  void GetSubObjects(std::vector<TDbObj*>& out) override;
  void ClearLinksTo(const TDbObj* gone) override;

  // Maps an InterBase field-type code; `charSetId` 1 (octets) picks the
  // binary forms of the character types.
  void SetIBFieldType(int fieldType, std::int32_t charSetId);
  // Stores character set and collation for character types, leaving out
  // what the domain or the database already implies.
  void SetCharSetCollation(std::string_view charSet, std::int32_t charSetId,
                           std::string_view collation, std::int32_t collationId);
  // DefaultValue ready to write: a double-quoted text becomes a string literal.
  std::string GetDefaultText() const;
  // The data-type text.
  std::string GetDataTypeSQL();
  // The column definition without the name, in the owner's dialect.
  std::string GetColumnSQL();
  // The MySQL type with its width, character set, collation and UNSIGNED,
  // ZEROFILL and BINARY: a column's type, a parameter's, a result's.
  std::string MySQLTypeSQL() const;
  bool IsCharType() const;
  // The character set the column is stored in; empty for other types.
  std::string GetEffectiveCharSet() const;
  // The domain named by DomainName in the owner collection, for user types.
  TDmnData* GetDomain() const;
  // Parameters of an external routine carry in/out/inout prefixes.
  bool UsesModePrefix() const;
  // The holder's table name: TableName, or the owning table's name.
  std::string GetTableName() const;
  // A computed column (COMPUTED BY / AS expression in Text).
  bool IsComputed() const { return !GetText().empty(); }
  // A parameter or result of a stored routine.
  bool IsRoutineParam() const;

  // A database has columns by the million: the texts that most of them
  // leave empty are TRareString, one pointer until set.
  TRareString DefaultValue;
  std::uint8_t DataType = dt::Unknown;
  std::int32_t Length = 0;  // -1 = MAX
  std::int32_t Precision = 0;
  std::int32_t Scale = 0;
  bool Nullable = true;
  bool Unsigned = false;
  bool ZeroFill = false;
  bool BinaryAttr = false;
  bool AutoIncrement = false;
  TRareString DomainName;
  TRareString DomainSchema;
  TRareString TableName;
  TDbObj* OwnerObj = nullptr;  // not owned
  TRareString CharSet;
  std::int32_t CharSetId = 0;
  TRareString CheckText;
  TRareString CheckName;
  TRareString Collation;
  std::int32_t CollationId = 0;
  std::int32_t SubType = 0;
  std::int32_t SegmentSize = 0;
  bool TypeOf = false;
  TRareString TypeOfTable;
  TRareString TypeOfColumn;
  std::vector<std::pair<std::int32_t, std::int32_t>> ArrayBounds;  // lower, upper
  // A TParamDirection.
  std::uint8_t ParamDirection = 0;
  bool ByValue = false;
  bool ByDescriptor = false;
  std::int32_t ReturnParamNo = 0;
  bool Deterministic = false;
  std::int32_t SortOrder = 0;  // 2 = descending
  std::vector<std::string> EnumValues;
  bool Identity = false;
  // 64-bit: an MS SQL BIGINT identity starts and steps past 2^31.
  std::int64_t IdentitySeed = 0;
  std::int64_t IdentityIncrement = 0;
  char GeneratedKind = '\0';  // 'A' always, 'D' by default
  TRareString GeneratedExpr;
  bool RowGuidCol = false;
  bool Persisted = false;
  TRareString XmlSchema;
  bool IsRef = false;
  bool WithTimeZone = false;
  bool WithLocalTimeZone = false;
  TRareString KeyName;
  std::unique_ptr<TTblData> TableType;
  std::int32_t Logged = -1;  // -1 unspecified, 0 NOT, 1 on
  std::int32_t Compact = -1;
  bool ForBitData = false;
  bool JavaClass = false;
  TRareString JavaClassName;

  // The sequence options of an identity column of a table, made when first
  // asked for while the column is an identity: a database has columns by
  // the million and identities by the dozen. None for other columns.
  TGnrData* IdentityGenerator();
  bool HasIdentityGenerator() const { return identityGenerator_ != nullptr; }

 protected:
  // A column's statement names its table or view, a parameter's its
  // routine.
  std::string InterBaseDescriptionSQL() override;
  std::string ASADescriptionSQL() override;
  std::string OracleDescriptionSQL() override;
  std::string MySQLDescriptionSQL() override;
  void MSSQLPropertyLevels(TPropertyLevel (&levels)[3]) override;
  bool PGCommentTarget(std::string& word, std::string& target) override;

 private:
  std::unique_ptr<TGnrData> identityGenerator_;
  bool tableColumn_ = false;  // made for a table
  // One column writer per dialect; every other server type uses InterBase's.
  std::string IBColumnSQL();
  std::string ASAColumnSQL();
  std::string ASEColumnSQL();
  std::string MSSQLColumnSQL();
  std::string MySQLColumnSQL();
  std::string PGColumnSQL();
  // The domain name, qualified by its schema where one is known: PostgreSQL
  // and DB2 create the domain (a distinct type) in that schema, and a bare
  // name is looked up in the search path only.
  std::string QualifiedDomainSQL();
  std::string OracleColumnSQL();
  // The type part; `byDomain` names the domain where there is one.
  std::string OracleTypeSQL(bool byDomain) const;
  std::string DB2ColumnSQL();
  // The table named after ALTER TABLE in the ADD statement.
  std::string AddTableName();
  bool IsOutParam() const;
};

// A column list: names in order, each with an optional owned column object.
using TFieldList = TOwnedNameList<TFldData>;

// Adds every column object of `list` to `out`.
void AppendFields(const TFieldList& list, std::vector<TDbObj*>& out);

}  // namespace qor
