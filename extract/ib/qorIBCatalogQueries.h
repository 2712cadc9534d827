// The catalog queries of the InterBase/Firebird extractor. One text per
// query; the selected columns are numbered by the enumeration beside it and
// read by those numbers. Where a catalog generation lacks a column, the
// text selects a typed NULL in its place, so the positions never move. Every
// name a query is about is a parameter, never part of the text.
#pragma once

#include "extract/ib/qorIBDatabaseExtract.h"

#include <string>
#include <string_view>

namespace qor::ibq {

// Which rows a child query reads (the columns of a table, the parameters
// of a procedure ...): those of the one parent its parameter names, or
// those of every parent, each row naming its parent, in the parents' own
// order where they are read beside the parents' query (ibread::TChildRows).
// One text serves both, so the two reads cannot drift apart.
enum class TRowScope { OneObject, AllObjects };
inline constexpr TRowScope kOneObject = TRowScope::OneObject;
inline constexpr TRowScope kAllObjects = TRowScope::AllObjects;

// ---- Capability probe ----
// One row per test: Typ 1 is the database character set and its default
// collation; every other Typ says that its column or relation exists.
extern const std::string_view kProbe;
enum ProbeCol { prTyp, prVal1, prVal2 };

// ---- The database's comment ----
extern const std::string_view kDatabaseDescription;
enum DatabaseDescriptionCol { ddDescription };

// ---- Functions ----
// Non-system functions outside packages.
std::string Functions(const TIBCatalogCaps& caps);
// clang-format off
enum FunctionCol {
  fnName, fnDescription, fnModuleName, fnEntryPoint, fnReturnArgument, fnSource
};
// clang-format on

// The arguments of the function :NAME, by position; all objects: of every
// function of Functions that is not read through FunctionParameters.
std::string FunctionArguments(const TIBCatalogCaps& caps, TRowScope scope);
// clang-format off
enum FunctionArgCol {
  faFieldType, faFieldLength, faFieldScale, faFieldSubType, faCharSetId, faMechanism, faPosition,
  faPrecision, faArgumentName, faFieldSource, faDescription, faCharSetName, faBytesPerCharacter,
  faDefaultSource, faFunctionName
};
// clang-format on

// ---- Domains ----
std::string Domains(const TIBCatalogCaps& caps);
// clang-format off
enum DomainCol {
  dmName, dmFieldType, dmSubType, dmDefaultSource, dmLength, dmCharLength, dmComputedSource,
  dmNullFlag, dmPrecision, dmScale, dmSegmentLength, dmCharSetId, dmCharSetName, dmCollationName,
  dmCollationId, dmDescription, dmValidationSource, dmDimensions
};
// clang-format on

// ---- Tables and columns ----
// The number of tables; `ignoreIBE` leaves out the "IBE$" tables.
std::string TableCount(bool ignoreIBE);
enum TableCountCol { tcCount };

std::string Tables(const TIBCatalogCaps& caps, bool ignoreIBE);
enum TableCol { tbName, tbDescription, tbExternalFile, tbRelationType };

// The columns of the table :NAME, by position; all objects: of every
// table of Tables.
std::string TableColumns(const TIBCatalogCaps& caps, TRowScope scope, bool ignoreIBE);
// clang-format off
enum TableColumnCol {
  clName, clPosition, clHasDefault, clDefaultSource, clNullFlag, clCollationId, clCharSetId,
  clDescription, clFieldSource, clFieldType, clLength, clCharLength, clSubType, clSegmentLength,
  clValidationSource, clDomainDefaultSource, clComputedSource, clPrecision,
  clScale, clDimensions, clGeneratorName, clIdentityType, clIdentityStart, clCollationName,
  clCharSetName, clRelationName
};
// clang-format on

// The bounds of the array field :FIELD_NAME, by dimension; all objects:
// of every array field, its name the first column.
std::string ArrayDimensions(TRowScope scope);
enum ArrayDimensionCol { adLower, adUpper };
enum AllArrayDimensionCol { aaFieldName, aaLower, aaUpper };

// ---- Views ----
std::string Views(bool ignoreIBE);
enum ViewCol { vwName, vwSource, vwDescription };

// The columns of the view :NAME, by position; all objects: of every view
// of Views, in its order.
std::string ViewColumns(TRowScope scope, bool ignoreIBE);
enum ViewColumnCol { vcName, vcPosition, vcFieldSource, vcDescription, vcRelationName };

// The tables and views the view :NAME reads, with the columns it reads of
// them (NULL for the relation as a whole), as the engine records them; all
// objects: of every view.
std::string ViewDependencies(TRowScope scope);
enum ViewDependencyCol { vdRelationName, vdFieldName, vdViewName };

// ---- Indices and constraints ----
// Indices that back no constraint and whose names were not generated.
std::string Indices(bool ignoreIBE);
// clang-format off
enum IndexCol {
  ixName, ixRelationName, ixUniqueFlag, ixDescription, ixInactive, ixIndexType,
  ixExpressionSource, ixSegmentCount
};
// clang-format on

// The columns of the index :INDEX_NAME, by position (primary, unique and
// foreign keys and plain indices alike); all objects: of every index.
std::string IndexSegments(TRowScope scope);
enum IndexSegmentCol { isFieldName, isIndexName };

// The primary keys (Count: their number, for the progress events).
std::string PrimaryKeyCount(bool ignoreIBE);
std::string PrimaryKeys(bool ignoreIBE);
enum KeyCol { kyConstraintName, kyRelationName, kyIndexName, kyIndexType };

// The unique constraints, in the columns of KeyCol. A NULL system flag
// (older servers) is a user relation.
std::string UniqueConstraints(bool ignoreIBE);

std::string ForeignKeyCount(bool ignoreIBE);
std::string ForeignKeys(const TIBCatalogCaps& caps, bool ignoreIBE);
// clang-format off
enum ForeignKeyCol {
  fkConstraintName, fkRelationName, fkIndexName, fkUpdateRule, fkDeleteRule,
  fkRefRelationName, fkRefIndexName, fkIndexType, fkRefIndexType
};
// clang-format on

// The columns of the key that the foreign key's index :INDEX_NAME refers to.
extern const std::string_view kReferencedSegments;
enum ReferencedSegmentCol { rsFieldName };

// Check constraints, each by the text of its before-insert trigger.
std::string CheckConstraints(bool ignoreIBE);
enum CheckCol { ckConstraintName, ckTriggerName, ckTriggerSource, ckRelationName };

// ---- Generators, exceptions, collations ----
std::string GeneratorCount(bool ignoreIBE);
std::string Generators(const TIBCatalogCaps& caps, bool ignoreIBE);
enum GeneratorCol { gnName, gnDescription, gnIncrement, gnInitialValue };

extern const std::string_view kExceptions;
enum ExceptionCol { exName, exMessage, exDescription };

// User collations; only catalogs with base collations (where CREATE
// COLLATION exists) have them.
std::string Collations();
// clang-format off
enum CollationCol {
  coName, coDescription, coBaseCollation, coCharSetName, coAttributes, coSpecificAttributes,
  coBaseAttributes
};
// clang-format on

// ---- Triggers ----
// The triggers of tables and views (Count: those of relations, for the
// progress events) and the database and DDL triggers. The type is read as
// a 64-bit value: DDL trigger codes pass 2^31.
std::string TriggerCount(bool ignoreIBE);
std::string Triggers(bool ignoreIBE);
// clang-format off
enum TriggerCol {
  trName, trRelationName, trSource, trDescription, trType, trSequence, trInactive
};
// clang-format on

// ---- Procedures and packages ----
// Non-system procedures outside packages.
std::string Procedures(const TIBCatalogCaps& caps, bool ignoreIBE);
enum ProcedureCol { pcName, pcDescription, pcSource };

// Which columns of a routine's parameter query the catalog fills (the
// others are typed NULLs).
struct TRoutineParamColumns {
  bool precision, mechanism, defaults, collation, relation, nullFlag;
};
TRoutineParamColumns ProcedureParamColumns(const TIBCatalogCaps& caps);
TRoutineParamColumns FunctionParamColumns(const TIBCatalogCaps& caps);

// The parameters of the procedure :RDB$PROCEDURE_NAME, inputs first, each
// with its field source's type; all objects: of every procedure of
// Procedures.
std::string ProcedureParameters(const TIBCatalogCaps& caps, TRowScope scope, bool ignoreIBE);
// The arguments of the PSQL function :NAME in the same columns, the result
// as the one output (type 1); for catalogs with argument names. All
// objects: of every PSQL function.
std::string FunctionParameters(const TIBCatalogCaps& caps, TRowScope scope);
// clang-format off
enum ProcedureParamCol {
  ppName, ppType, ppNumber, ppDescription, ppFieldSource, ppFieldType, ppFieldLength,
  ppCharLength, ppSubType, ppSegmentLength, ppFieldDefaultSource, ppPrecision, ppMechanism,
  ppDefaultSource, ppCollationId, ppNullFlag, ppScale, ppCharSetId, ppFieldCollationId,
  ppCollationName, ppParamCollationName, ppRelationName, ppFieldName, ppCharSetName, ppRoutineName
};
// clang-format on

// Which stored routine calls which, as the engine records it: the order
// the script must create them in.
extern const std::string_view kRoutineDependencies;
enum RoutineDependencyCol { rdDependent, rdDependedOn };

extern const std::string_view kPackages;
enum PackageCol { pkName, pkDescription, pkHeaderSource, pkBodySource };

// ---- Roles ----
std::string Roles(const TIBCatalogCaps& caps);
enum RoleCol { rlName, rlOwnerName, rlDescription };

// ---- Grants ----
// The grant queries in the order they run; a query whose catalog lacks
// what it reads is left out (empty text).
inline constexpr int kGrantQueryCount = 13;
std::string GrantQuery(int index, const TIBCatalogCaps& caps, bool ignoreIBE);
// clang-format off
enum GrantCol {
  gtUser, gtGrantor, gtPrivilege, gtGrantOption, gtRelationName, gtFieldName, gtUserType,
  gtObjectType
};
// clang-format on

// Who owns the database: a grant this user made is the script's own and
// needs no GRANTED BY.
extern const std::string_view kDatabaseOwner;
enum DatabaseOwnerCol { doOwnerName };

}  // namespace qor::ibq
