// Tables, publications and schemas: TTblData with its columns and the
// table options of each dialect, TPblData with its articles, TSchData.
#pragma once

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

class TTblData : public TDbObj {
 public:
  explicit TTblData(TCustomObjs* owner);
  ~TTblData() override;
  const char* ClassName() const override { return "TTblData"; }
  TDbObject GetKind() const override { return TDbObject::dboTable; }

  // The CREATE TABLE statement (GetScriptSQL).
  std::string GetCreateSQL() override;
  // Creates the table when it is absent, and its pending computed columns
  // when it is present.
  TWalk WriteCreateWalk() override;
  // Triggers, indices, constraints, publications and computed columns that
  // use the table go first.
  TWalk DoBeforeDropWalk() override;
  // Marks the columns present and creates what they need.
  TWalk DoBeforeCreateWalk() override;
  // CREATE TABLE; the MySQL statement with its keys inline.
  std::string GetScriptSQL() override;
  std::string GetDropSQL() override;
  void GetSubObjects(std::vector<TDbObj*>& out) override;
  void DeselectColumns() override;

  // The table text without "CREATE " (also the row type of a table-valued
  // parameter).
  std::string GetTableSQL();
  // The whole MySQL statement, with the table's primary key, unique
  // constraints and indices inline; marks those as written.
  std::string GetMySQLCreateSQL();

  // The column named `name`, by the list's case rule; none when absent.
  TFldData* FindField(std::string_view name) const { return Fields.FindObject(name); }
  void SetSkipComputed(bool value) { SkipComputed = value; }
  // Also sets the counterpart's flag.
  void SetComputedPending(bool value);

  bool SkipComputed = false;
  bool ComputedPending = false;
  TTableSpace StorageOptions;
  TMySQLTableOptions MySQLOptions;
  // Columns in table order; case-insensitive names for MS SQL only.
  TFieldList Fields;
  std::string ExternalFile;
  bool GlobalTemporary = false;
  std::uint8_t OnCommit = 0;  // 1 delete rows, 2 preserve rows
  std::string OfType;
  std::string AsQuery;
  std::string NestedTable;
  std::string ExtraClause;
  std::string StoreAs;
  std::string StorageClause;
  std::string ClusterName;
  std::string ClusterColumns;
  std::string LobClause;
  bool NoLogging = false;
  bool Compress = false;
  std::string TablespaceName;
  // MS SQL: the file group of the table's data (its heap or clustered
  // index), as the catalog names it.
  std::string FileGroup;
  std::string PartitionColumns;
  std::string PartitionText;
  bool WithOids = false;

 private:
  // Columns, keys and indices joined by "," CR LF inside parentheses;
  // nothing at all when there is no item.
  static std::string ItemList(const std::vector<std::string>& items);
  bool walking_ = false;  // inside this table's WriteCreate
};

class TPblData;

// One article of a publication: a table and, optionally, some of its columns.
class TPblArtData : public TObject {
 public:
  explicit TPblArtData(TPblData* publication) : Publication(publication) {}
  const char* ClassName() const override { return "TPblArtData"; }

  // The article line: TABLE owner.name and its column list.
  std::string GetText() const;

  TFieldList Columns;
  TPblData* Publication;  // used for quoting; not owned
  std::string TableName;
  std::string TableOwner;
};

// OwnerQualifier is the publication's owner.
class TPblData : public TDbObj {
 public:
  using TDbObj::TDbObj;
  const char* ClassName() const override { return "TPblData"; }
  TDbObject GetKind() const override { return TDbObject::dboPublication; }

  std::string GetCreateSQL() override;
  // Creates the tables and columns it publishes first.
  TWalk DoBeforeCreateWalk() override;
  std::string GetDropSQL() override;
  void GetSubObjects(std::vector<TDbObj*>& out) override;

  std::vector<std::unique_ptr<TPblArtData>> Articles;
};

class TSchData : public TDbObj {
 public:
  using TDbObj::TDbObj;
  const char* ClassName() const override { return "TSchData"; }
  TDbObject GetKind() const override { return TDbObject::dboSchema; }
  // The "public" schema is the server's own: nobody is made its owner.
  const char* KindWord(TKindWordUse use) const override;

  std::string GetCreateSQL() override;
  std::string GetDropSQL() override;

  std::string Authorization;  // the schema owner
};

}  // namespace qor
