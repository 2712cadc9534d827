// The catalog queries of the MS SQL extractor. One text per query and
// catalog generation, built line by line as the server receives it; the
// columns a reader takes are named by the enumeration beside the text and
// read by name, because the generations place them apart (a description
// subselect is there only from compatibility level 90). Every name or id of
// an object that a query is about is a parameter, never part of the text;
// the database name of the connection goes in as a quoted literal.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qor::msq {

// What decides a query's form: the catalog views from SQL Server 2005 on
// (else the 2000 system tables), and descriptions as subselects from
// compatibility level 90 on.
struct TCatalogForm {
  bool Views = false;
  bool Subselects = false;
  bool Filters = false;      // filtered indexes: from SQL Server 2008
  bool AutoCreated = false;  // i.auto_created of key indexes: level 130 on
};

// The name a column enumeration gives its member.
template <class E, std::size_t N>
const char* NameOf(const std::array<const char*, N>& names, E c) {
  const auto i = static_cast<std::size_t>(c);
  return i < N ? names[i] : "";
}

// The lines joined by CR LF, as the server receives them.
std::string Lines(std::initializer_list<std::string_view> lines);
std::string Lines(const std::vector<std::string_view>& lines);

// ---- Database properties ----
std::string CharSet(const std::string& databaseName);
enum class CharSetCol { DefaultCharacterSetName };

std::string DatabaseProperties(const std::string& databaseName);
// clang-format off
enum class DatabaseCol {
  Collation, AnsiNullDefault, AnsiNullsEnabled, QuotedIdentifiersEnabled,
  RecursiveTriggersEnabled, Version
};
// clang-format on

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
// clang-format off
enum class TypeCol {
  UserTypeId, Name, SchName, IsNullable, SysName, MaxLength, Precision, Scale, Description,
  CollationName
};
// clang-format on

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
// clang-format off
enum class ColumnCol {
  ColId, ColumnName, TypeName, Nullable, Length, IsRowGuidCol, SystemTypeId, UserTypeId,
  TypeSchema, Description, IsIdentity, IsComputed, Seed, Incr, CPrec, CScale, IsXmlDocument,
  XmlCollectionId, XmlColName, XmlSchema, ComputedExpr, IsPersisted, Status
};
// clang-format on

// The file group of the table :ID: the row of its heap or clustered index.
extern const std::string_view kTableFileGroup;
enum class FileGroupCol { FileGroupName };

// ---- Views, procedures and functions, triggers ----
std::string Views(const TCatalogForm& form);
enum class ViewCol { Id, Name, SchName, Definition, Description, QI, AN };

// Procedures and the three kinds of function (FN, TF, IF).
std::string Routines(const TCatalogForm& form);
enum class RoutineCol { Id, Name, Type, Definition, SchName, Description, MsTools, QI, AN };

std::string Triggers(const TCatalogForm& form);
// clang-format off
enum class TriggerCol {
  Id, TrgName, TblName, ParentClass, SchName, Description, Definition, NR, QI, AN
};
// clang-format on

// ---- Indexes ----
// Every index of a table or view but those behind key constraints.
std::string Indexes(const TCatalogForm& form);
// clang-format off
enum class IndexCol {
  IdxName, TblName, SchName, Id, ObjectId, OrigFillFactor, Type, OType, QI, AN, IsPadIndex,
  IsUnique, Description, FileGroupName, SecondaryType, Idx1Name, IgnoreDupKey, AllowRowLocks,
  AllowPageLocks, HasFilter, FilterDefinition
};
// clang-format on

// The key columns, then the included ones, of the index :INDEX_ID of the
// object :OBJECT_ID (catalog views).
extern const std::string_view kIndexColumns;
enum class IndexColumnCol { Name, IsIncludedColumn, IsDescendingKey };

// The indexes of the table :TABLE, its owner-qualified bracketed name (the
// 2000 tables keep no key order of their own): "a, b(-)" per index.
extern const std::string_view kHelpIndex;
enum class HelpIndexCol { IndexName, IndexKeys };

// ---- Constraints ----
// `toolsFilter` is the extractor's ToolsSupportFilter line (may be empty).
std::string PrimaryKeys(const TCatalogForm& form);
std::string Uniques(const TCatalogForm& form, std::string_view toolsFilter);
// clang-format off
enum class KeyCol {
  Id, TableName, PkName, UqName, SchName, FillFactor, Type, QI, AN, IsPadded, IgnoreDupKey,
  AllowRowLocks, AllowPageLocks, MsTools, IsSystemNamed, ParentObjectId, UniqueIndexId
};
// clang-format on

std::string ForeignKeys(const TCatalogForm& form, std::string_view toolsFilter);
// clang-format off
enum class ForeignKeyCol {
  Id, FkName, FtName, RtName, FkSchema, FrSchema, QI, AN, NR, UpdateRule, DeleteRule,
  UpdateReferentialAction, DeleteReferentialAction
};
// clang-format on
// The column pairs of the foreign key :ID in key order.
std::string ForeignKeyColumns(const TCatalogForm& form);
enum class ForeignKeyColumnCol { FcName, RcName };

std::string Checks(const TCatalogForm& form, std::string_view toolsFilter);
enum class CheckCol { Id, TableName, PkName, SchName, QI, AN, NR, Definition };

std::string DefaultConstraints(const TCatalogForm& form, std::string_view toolsFilter);
enum class DefaultConstraintCol {
  Id,
  CtrName,
  TblName,
  ColName,
  Definition,
  SchName,
  NoCheck,
  QI,
  AN
};

// ---- Roles, users, privileges ----
extern const std::string_view kHelpRole;
enum class RoleCol { RoleName, RoleId, IsAppRole };
extern const std::string_view kHelpUser;
enum class UserCol { UserName, GroupName, RoleName, LoginName };

// Object privileges: each sysprotects row with its object and grantee and
// the bitmap of the columns it is limited to.
std::string ObjectPrivileges(const TCatalogForm& form);
enum class PrivilegeCol {
  Id,
  Action,
  ProtectType,
  XType,
  ObjName,
  MsTools,
  SchemaName,
  UserName,
  Columns
};
extern const std::string_view kStatementPrivileges;

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
const char* ColumnName(ViewCol c);
const char* ColumnName(RoutineCol c);
const char* ColumnName(TriggerCol c);
const char* ColumnName(IndexCol c);
const char* ColumnName(IndexColumnCol c);
const char* ColumnName(HelpIndexCol c);
const char* ColumnName(KeyCol c);
const char* ColumnName(ForeignKeyCol c);
const char* ColumnName(ForeignKeyColumnCol c);
const char* ColumnName(CheckCol c);
const char* ColumnName(DefaultConstraintCol c);
const char* ColumnName(RoleCol c);
const char* ColumnName(UserCol c);
const char* ColumnName(PrivilegeCol c);

}  // namespace qor::msq
