// The catalog queries of the MS SQL extractor. One text per query and
// catalog generation, built line by line as the server receives it; the
// columns a reader takes are named by the enumeration beside the text and
// read by name, because the generations place them apart (a description
// subselect is there only from compatibility level 90). Every name or id of
// an object that a query is about is a parameter, never part of the text;
// the database name of the connection goes in as a quoted literal.
#pragma once

#include <string>
#include <string_view>

namespace qor::msq {

// What decides a query's form: the catalog views from SQL Server 2005 on
// (else the 2000 system tables), and descriptions as subselects from
// compatibility level 90 on.
struct TCatalogForm {
  bool Views = false;
  bool Subselects = false;
};

// The lines joined by CR LF, as the server receives them.
std::string Lines(std::initializer_list<std::string_view> lines);

// ---- Database properties ----
std::string CharSet(const std::string& databaseName);
enum class CharSetCol { DefaultCharacterSetName };

std::string DatabaseProperties(const std::string& databaseName);
enum class DatabaseCol {
  Collation, AnsiNullDefault, AnsiNullsEnabled, QuotedIdentifiersEnabled,
  RecursiveTriggersEnabled, Version
};

// The level of the database :NAME; the first column.
extern const std::string_view kCompatibilityLevel;

extern const std::string_view kProductName;
enum class ProductNameCol { CharacterValue };

extern const std::string_view kServerProperties;
enum class ServerCol { Edition, ProductLevel, ProductVersion };

// ---- Extended properties of one object ----
// `property` is "MS_Description" or "microsoft_database_tools_support"; a
// level whose type is empty is written as null, its name as the parameter
// :LEVEL<n>NAME otherwise.
std::string ExtendedProperty(std::string_view property, std::string_view level0Type,
                             std::string_view level1Type, std::string_view level2Type);

// ---- Stored text ----
// The text rows of the object :ID; `column` narrows them to the computed
// column :NUMBER of that table.
std::string CommentsText(bool column);
enum class CommentsCol { Id, ColId, Text };

// ---- Dependencies ----
extern const std::string_view kDependencies;
enum class DependencyCol { Id, DepId };

// ---- Schemas (catalog views, level 90 on) ----
extern const std::string_view kSchemas;
enum class SchemaCol { Name, SchemaId, PrincipalId, Description, PName };

// ---- User types ----
// The 2000 user datatypes.
extern const std::string_view kUserDatatypes;
enum class UserDatatypeCol { Name, TypeName, Length, Prec, Scale, Nullable, SchName };

std::string Types(const TCatalogForm& form);
enum class TypeCol {
  UserTypeId, Name, SchName, IsNullable, SysName, MaxLength, Precision, Scale, Description,
  CollationName
};

std::string XmlSchemaCollections(const TCatalogForm& form);
enum class XmlCollectionCol { Id, Name, SchName, Description, XmlExpr };

// ---- Defaults and rules ----
// Bound defaults (not column default constraints) and rules; on the
// catalog views with their schema, on 2000 with their owner.
std::string Defaults(const TCatalogForm& form);
std::string Rules(const TCatalogForm& form);
enum class BoundObjectCol { Id, Name, SchName, QI, AN };

// ---- Tables and columns ----
std::string Tables(const TCatalogForm& form);
enum class TableCol { Id, Name, SchemaName, Description, MsTools, QI, AN, RG };

// The columns of the table :ID. On 2000 the identity functions take the
// table's quoted owner-qualified name :NAME1 and :NAME2; on the views at
// level 90 the description subselect takes :SNAME and :TNAME.
std::string TableColumns(const TCatalogForm& form);
enum class ColumnCol {
  ColId, ColumnName, TypeName, Nullable, Length, IsRowGuidCol, SystemTypeId, UserTypeId,
  TypeSchema, Description, IsIdentity, IsComputed, Seed, Incr, CPrec, CScale, IsXmlDocument,
  XmlCollectionId, XmlColName, XmlSchema, ComputedExpr, IsPersisted, Status
};

// The file group of the table :ID: the row of its heap or clustered index.
extern const std::string_view kTableFileGroup;
enum class FileGroupCol { FileGroupName };

// The column name a reader asks for.
const char* ColumnName(CharSetCol c);
const char* ColumnName(DatabaseCol c);
const char* ColumnName(ProductNameCol c);
const char* ColumnName(ServerCol c);
const char* ColumnName(CommentsCol c);
const char* ColumnName(DependencyCol c);
const char* ColumnName(SchemaCol c);
const char* ColumnName(UserDatatypeCol c);
const char* ColumnName(TypeCol c);
const char* ColumnName(XmlCollectionCol c);
const char* ColumnName(BoundObjectCol c);
const char* ColumnName(TableCol c);
const char* ColumnName(ColumnCol c);
const char* ColumnName(FileGroupCol c);

}  // namespace qor::msq
