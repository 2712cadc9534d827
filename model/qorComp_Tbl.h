// Tables, publications and schemas: TTblData with its columns and the
// table options of each dialect, TPblData with its articles, TSchData.
#pragma once

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qor {

class TTblData : public TDbObj {
 public:
  explicit TTblData(TCustomObjs* owner);
  ~TTblData() override;
  const char* ClassName() const override { return "TTblData"; }

  void GetSubObjects(std::vector<TDbObj*>& out) override;

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
  std::string PartitionColumns;
  std::string PartitionText;
  bool WithOids = false;
};

class TPblData;

// One article of a publication: a table and, optionally, some of its columns.
class TPblArtData : public TObject {
 public:
  explicit TPblArtData(TPblData* publication) : Publication(publication) {}
  const char* ClassName() const override { return "TPblArtData"; }

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

  void GetSubObjects(std::vector<TDbObj*>& out) override;

  std::vector<std::unique_ptr<TPblArtData>> Articles;
};

class TSchData : public TDbObj {
 public:
  using TDbObj::TDbObj;
  const char* ClassName() const override { return "TSchData"; }

  std::string Authorization;  // the schema owner
};

}  // namespace qor
