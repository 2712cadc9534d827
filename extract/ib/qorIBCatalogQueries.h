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

// ---- Capability probe ----
// One row per test: Typ 1 is the database character set and its default
// collation; every other Typ says that its column or relation exists.
extern const std::string_view kProbe;
enum ProbeCol { prTyp, prVal1, prVal2 };

// ---- Functions ----
// Non-system functions outside packages.
std::string Functions(const TIBCatalogCaps& caps);
enum FunctionCol {
  fnName, fnDescription, fnModuleName, fnEntryPoint, fnReturnArgument, fnSource
};

// The arguments of the function :NAME, by position.
std::string FunctionArguments(const TIBCatalogCaps& caps);
enum FunctionArgCol {
  faFieldType, faFieldLength, faFieldScale, faFieldSubType, faCharSetId, faMechanism, faPosition,
  faPrecision, faArgumentName, faFieldSource, faDescription, faCharSetName, faBytesPerCharacter
};

// ---- Domains ----
std::string Domains(const TIBCatalogCaps& caps);
enum DomainCol {
  dmName, dmFieldType, dmSubType, dmDefaultSource, dmLength, dmCharLength, dmComputedSource,
  dmNullFlag, dmPrecision, dmScale, dmSegmentLength, dmCharSetId, dmCharSetName, dmCollationName,
  dmCollationId, dmDescription, dmValidationSource, dmDimensions
};

// ---- Tables and columns ----
// The number of tables; `ignoreIBE` leaves out the "IBE$" tables.
std::string TableCount(bool ignoreIBE);
enum TableCountCol { tcCount };

std::string Tables(const TIBCatalogCaps& caps, bool ignoreIBE);
enum TableCol { tbName, tbDescription, tbExternalFile, tbRelationType };

// The columns of the table :NAME, by position.
std::string TableColumns(const TIBCatalogCaps& caps);
enum TableColumnCol {
  clName, clPosition, clHasDefault, clDefaultSource, clNullFlag, clCollationId, clCharSetId,
  clDescription, clFieldSource, clFieldType, clLength, clCharLength, clSubType, clSegmentLength,
  clValidationSource, clDomainDefaultSource, clComputedSource, clPrecision,
  clScale, clDimensions, clGeneratorName, clIdentityType, clCollationName, clCharSetName
};

// The bounds of the array field :FIELD_NAME, by dimension.
extern const std::string_view kArrayDimensions;
enum ArrayDimensionCol { adLower, adUpper };

// ---- Views ----
std::string Views(bool ignoreIBE);
enum ViewCol { vwName, vwSource, vwDescription };

// The columns of the view :NAME, by position.
extern const std::string_view kViewColumns;
enum ViewColumnCol { vcName, vcPosition, vcFieldSource, vcDescription };

// The tables and views the view :NAME reads, with the columns it reads of
// them (NULL for the relation as a whole), as the engine records them.
extern const std::string_view kViewDependencies;
enum ViewDependencyCol { vdRelationName, vdFieldName };

}  // namespace qor::ibq
