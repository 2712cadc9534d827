// Types every layer shares: server kinds and versions, connection kinds,
// object-kind codes and sets, the Oracle and index option records, the event
// types, and the small routines for terminators, literals and names.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/qorObject.h"
#include "platform/qorSets.h"

namespace qor {

class TDbObj;

// Server kind. The number is what every dialect decision tests.
// clang-format off
enum class TDatabaseType : std::uint8_t {
  dbAbstract, dbInterBase, dbSybaseASA, dbMySQL, dbOracle, dbMSSQL, dbPostgreSQL,
  dbDB2, dbSybaseASE, dbPervasiveSQL, dbMSAccess, dbParadox, dbDBASE, dbCustomOLEDB
};
// clang-format on
inline constexpr std::size_t kDatabaseTypeCount = 14;
using TDatabaseSetType = TEnumSet<TDatabaseType, kDatabaseTypeCount>;

// The dialect that writes a server kind's text. The kinds that write no DDL
// of their own (abstract, Pervasive, Access, Paradox, dBase, custom OLE DB)
// share sdGeneric, so a switch over the dialect names each text once and,
// without a default label, the compiler flags a dialect added later.
// clang-format off
enum class TScriptDialect : std::uint8_t {
  sdGeneric, sdInterBase, sdASA, sdMySQL, sdOracle, sdMSSQL, sdPostgreSQL, sdDB2, sdASE
};
// clang-format on
TScriptDialect ScriptDialect(TDatabaseType serverType);

// Access binding.
// clang-format off
enum class TconnectionType : std::uint8_t {
  cnAbstract, cnIBX, cnFIB, cnIBO, cnADO, cnZEOS, cnBDE, cnDBX, cnAnyDAC, cnUIB,
  cnODAC, cnSAVCL, cnMyDAC, cnPostgresDAC, cnIBDAC, cnFireDAC, cnUniDAC
};
// clang-format on
using TConnectionType = TconnectionType;
using TConnectionSetType = TEnumSet<TconnectionType, 17>;

enum class TQORProtocol : std::uint8_t { ptTCP, ptSPX, ptNamedPipe, ptLocal };

// The object kinds that can be selected for extraction and scripting.
// clang-format off
enum class TCmpObjType : std::uint8_t {
  coDomain, coFunction, coGenerator, coException, coTable, coView, coProcedure,
  coTrigger, coIndex, coRole, coGrant, coRoleGrant, coUserGrant, coObjGrant,
  coPrimaryKey, coForeignKey, coUnique, coCheck, coRule, coDefault, coCtrDefault,
  coPackage, coDescription
};
// clang-format on
// Stored as a 23-bit mask; the default is every kind (TCmpObjSetType::All()).
using TCmpObjSetType = TEnumSet<TCmpObjType, 23>;

enum class TUpdateDescriptionType : std::uint8_t { udSysTables, udDescribe, udComment };

// Server versions. Their order is not what a server can do (InterBase 7
// sits between two Firebird releases, MariaDB after MySQL 8): a version
// decision reads a named flag of the version's row in base/qorIBVersions.h,
// qorMSSQLVersions.h or qorMySQLVersions.h and never compares enumerators.
// The other servers' versions decide nothing yet.
// clang-format off
enum class TIBSQLServerVersionType : std::uint8_t {
  st_InterBase_4x, st_InterBase_5x, st_InterBase_6x, st_FireBird_1x, st_Yaffil_1x,
  st_FireBird_15, st_InterBase_7x, st_InterBase_75, st_Firebird_20, st_Firebird_21,
  st_Firebird_25, st_Firebird_30, st_Firebird_40, st_InterBase_2020
};
// clang-format on
inline constexpr std::size_t kIBVersionCount = 14;
enum class TASAServerVersionType : std::uint8_t { st_ASA5, st_ASA6, st_ASA7, st_ASA8, st_ASA9 };
// clang-format off
enum class TMySQLServerVersionType : std::uint8_t {
  st_MySQL_3x, st_MySQL_4x, st_MySQL_5x, st_MySQL_8x, st_MariaDB_10x
};
// clang-format on
inline constexpr std::size_t kMySQLVersionCount = 5;
// clang-format off
enum class TOracleServerVersionType : std::uint8_t {
  st_Oracle_7x, st_Oracle_8x, st_Oracle_9x, st_Oracle_10x, st_Oracle_11x, st_Oracle_12x,
  st_Oracle_18x, st_Oracle_19x, st_Oracle_21x
};
// clang-format on
// clang-format off
enum class TMSSQLServerVersionType : std::uint8_t {
  st_MSSQL2000, st_MSSQL2005, st_MSSQL2008, st_MSSQL2012, st_MSSQL2014, st_MSSQL2016,
  st_MSSQL2017, st_MSSQL2019
};
// clang-format on
inline constexpr std::size_t kMSSQLVersionCount = 8;
// clang-format off
enum class TPGSQLServerVersionType : std::uint8_t {
  st_PostgreSQL_7x, st_PostgreSQL_8x, st_PostgreSQL_9x, st_PostgreSQL_10x, st_PostgreSQL_11x,
  st_PostgreSQL_12x, st_PostgreSQL_13x, st_PostgreSQL_14x
};
// clang-format on
enum class TDB2ServerVersionType : std::uint8_t { st_DB2_8x, st_DB2_9x, st_DB2_10x, st_DB2_11x };
enum class TASEServerVersionType : std::uint8_t { st_ASE12 };

// SQL dialect of InterBase/Firebird, 1 to 3.
using TIBSQLDialectType = std::uint8_t;

// Object-type code of every schema object: 0..41 kinds, 42..70 list kinds.
// clang-format off
enum class TDbObject : std::uint8_t {
  dboUnknown, dboTable, dboProcedure, dboTrigger, dboFunction, dboException, dboIndex,
  dboDomain, dboView, dboGenerator, dboEvent, dboField, dboParam, dboDatabase,
  dboBlobFilter, dboCollation, dboConstraint, dboPKey, dboFKey, dboUnique, dboCheck,
  dboReferences, dboCtrDefault, dboRole, dboGrant, dboRule, dboDefault, dboPackage,
  dboPackageBody, dboPublication, dboSchema, dboOperator, dboOperatorClass, dboExtension,
  dboConversion, dboUser, dboUserGroup, dboValidation, dboExprIndex, dboCount, dboComputed,
  dboDepend, dboPrkList, dboFrkList, dboUnqList, dboChkList, dboDefList, dboRefList,
  dboIdxList, dboExcList, dboRolList, dboGntList, dboCdfList, dboPrcList, dboTrgList,
  dboFncList, dboRulList, dboGnrList, dboPkgList, dboDmnList, dboViwList, dboFldList,
  dboTblLIst, dboPblList, dboOprList, dboOpcList, dboCnvList, dboEvtList, dboCltList,
  dboUseInList, dboUseOfList
};
// clang-format on
inline constexpr std::size_t kDbObjectCount = 71;
using TDbObjectSet = TEnumSet<TDbObject, kDbObjectCount>;

// The small number a dialect decision tests (1 InterBase ... 8 ASE).
constexpr int ServerNo(TDatabaseType t) { return static_cast<int>(t); }

// Oracle physical attributes of a table or index.
struct TTableSpace {
  std::int32_t PctFree = 0;
  std::int32_t PctUsed = 0;
  std::int32_t IniTrans = 0;
  std::int32_t MaxTrans = 0;
  std::string Storage;
  std::string TableSpace;
  std::string GetStorageSQL() const;
};

// Directives of an Oracle object type or type member.
struct TTypeDirective {
  bool NotInstantiable = false;
  bool NotFinal = false;
  bool Final = false;
  bool Instantiable = false;
  bool Overriding = false;
  std::string GetText() const;
};

// MS SQL index WITH options.
struct TIndexOptions {
  std::int32_t PadIndex = 0;
  std::int32_t FillFactor = 0;
  bool IgnoreDupKey = false;
  bool StatisticsNoRecompute = false;
  bool AllowRowLocks = false;
  bool AllowPageLocks = false;
  bool SortInTempDb = false;
  bool DropExisting = false;
  bool Online = false;
  std::int32_t Reserved1 = 0;  // carried, set by nothing
  std::int32_t Reserved2 = 0;
  void Clear() { *this = TIndexOptions{}; }
};

// WITH options of an MS SQL full-text index.
struct TFullTextIndexOptions {
  std::string ChangeTracking;
  bool Reserved = false;  // carried, set by nothing
  bool StopListOff = false;
  bool SystemStopList = false;
  std::string StopListName;
  std::string SearchPropertyList;
};

// Events, sender first. "Assigned" means the std::function is not empty.
using TLogNextLineEvent = std::function<void(TObject* Sender, const std::string& LogText)>;
using TErrorMessageEvent = std::function<void(TObject* Sender, const std::string& ErrText)>;
using TProgressUpdateEvent = std::function<void(TObject* Sender, int Value, int MaxValue)>;
using TAcceptObjEvent =
    std::function<void(TObject* Sender, const std::string& ObjName, TDbObject Kind, bool& Accept)>;
using TAccept_ObjEvent = std::function<void(TObject* Sender, TDbObj* Obj, bool& Accept)>;

// True when the low 8 bits of `value` are in `charSet`.
bool IsInCharSet(unsigned value, const TCharSet& charSet);

// Optional sign and decimal digits in the 32-bit range, the whole text only.
bool StrToIntOk(std::string_view text, std::int32_t& value);

// Owner "." Name, or Name when Owner is empty. No quoting.
std::string QualifyName(std::string_view owner, std::string_view name);

// The text written after a statement in a single-table script.
std::string GetStatementTerminator(TDatabaseType serverType);

// Text as a string literal of the dialect.
std::string QuoteStringLiteral(std::string_view text, TDatabaseType serverType);

// Whether what is written after `text` on its line would fall into a line
// comment of its last line ("--", or MySQL's "#"). Taken broadly, as a line
// break there does no harm; a text of comments only (a statement named, not
// written) is none.
bool EndsInLineComment(std::string_view text);

// `text` with a line break after it where it ends in a line comment: a
// default, check or body that something follows on the same line.
std::string LineCommentClosed(std::string_view text);

}  // namespace qor
