// Indices: TIdxData with its columns, included columns and the index
// options of each dialect.
#pragma once

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"

#include <string>
#include <vector>

namespace qor {

// The MySQL index options: the index record and the index type that the
// USING clause names.
struct TMySQLIndexOptions : TIndexOptions {
  std::string IndexType;
};

// ParentName is the index's schema, OwnerQualifier the ASA owner, Text an
// index expression.
class TIdxData : public TDbObj {
 public:
  explicit TIdxData(TCustomObjs* owner);
  ~TIdxData() override;
  const char* ClassName() const override { return "TIdxData"; }
  TDbObject GetKind() const override { return TDbObject::dboIndex; }
  std::string FilterName() const override { return TableName; }
  TDbObject FilterKind() const override { return TDbObject::dboTable; }

  // MySQL index names are unique per table only: TableName "." Name there.
  std::string GetKeyName() override;
  // CREATE INDEX in the owner's dialect.
  std::string GetCreateSQL() override;
  // DROP INDEX in the owner's dialect.
  std::string GetDropSQL() override;
  void GetSubObjects(std::vector<TDbObj*>& out) override;

  // The column list without parentheses: quoted names, " DESC", and for
  // MySQL the prefix length.
  std::string GetFieldsText();
  // The included columns, quoted and separated by ", ".
  std::string GetIncludeText();
  // " COMMENT '...'" with the description, for the MySQL index definitions
  // (the server keeps it with the index); empty elsewhere or without one.
  std::string MySQLCommentText();

  // Frees the column objects of both lists and empties them.
  void ClearFields();

  TTableSpace StorageOptions;
  bool Unique = false;
  bool Bitmap = false;
  bool Descending = false;
  std::string TableName;
  TFieldList Columns;  // SortOrder and, for MySQL, the prefix Length
  bool Active = true;
  bool Clustered = false;
  std::string FileGroup;
  bool PrimaryXml = false;
  bool Xml = false;
  TFieldList IncludeColumns;
  std::string WithText;
  TIndexOptions IndexOptions;
  std::string FilterText;
  std::string IndexTypeName;
  std::string Parameters;
  bool NoLogging = false;
  std::string TablespaceName;
  bool Compress = false;
  bool NoCompress = false;
  TMySQLIndexOptions MySQLIndexOptions;
  bool FullText = false;
  TFullTextIndexOptions FullTextOptions;
  bool Spatial = false;
  bool AllowReverseScans = false;

 protected:
  // The statement names the index's table or view.
  void MSSQLPropertyLevels(TPropertyLevel (&levels)[3]) override;
};

}  // namespace qor
