// The MS SQL Server catalog extractor: reads the catalog of one database
// through the connection engine into the structure's collection, then
// re-parses the stored texts with the T-SQL parser, which links the
// dependencies. Two catalog generations are read: the SQL Server 2000
// system tables and the catalog views of 2005 and later; the configured
// server version (raised to the one the server reports) and the database's
// compatibility level choose between them. The readers live beside this
// unit (qorMSSQLExtract*.cpp); the catalog texts are in
// qorMSSQLCatalogQueries.h.
#pragma once

#include "base/qorTypes.h"
#include "extract/qorCustomExtract.h"
#include "model/qorComp_Fld.h"
#include "platform/qorNameList.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qor {

class TDbObj;
class TFldData;
class TObjs;
class TQORCustomConnection;
class TQORQuery;
class TTblData;
class TCtrData;
struct TIndexOptions;
enum class TPrivilege : std::uint8_t;

namespace msq {
struct TCatalogForm;
}

class TMSSQLDBExtract : public TCustomExtract {
 public:
  TMSSQLDBExtract();
  ~TMSSQLDBExtract() override;
  const char* ClassName() const override { return "TMSSQLDBExtract"; }

  // The configured server version is kept even when the server reports a
  // later one. Unset, a later version reported by the server is used and
  // logged, so a modern server is not read through the 2000 tables.
  bool KeepServerVersion = false;

  // The whole extraction: true when every step ran to its end; a failure
  // or a stop request gives false.
  bool ExtractDatabase() override;

  // The step total.
  static constexpr int kStepMax = 16;

  // The structure's collection; none without a structure.
  TObjs* GetObjs() const;

  // ---- Version rules ----
  // The collection's SQLServerVersion; st_MSSQL2000 without a structure.
  TMSSQLServerVersionType GetServerVersion() const;
  // The database's compatibility level; 0 without a structure.
  std::int32_t GetCompatibilityLevel() const;
  bool IsCompatibilityLevel130() const { return GetCompatibilityLevel() >= 130; }
  // The server version of a product version text ("15.0.2000.5"); none for
  // a text it cannot read or a server before 2000.
  static std::optional<TMSSQLServerVersionType> VersionOfProduct(std::string_view productVersion);

  // Fires OnLogNextLine when assigned.
  void LogLine(const std::string& text);

  // ---- Shared operations of the readers ----
  // Sets a column's data type from a catalog row.
  void MapDataType(TFldData& column, const std::string& typeName, std::int32_t length,
                   std::int32_t precision, std::int32_t scale, bool nullable);
  // The "MS_Description" extended property of one object ('' when none).
  // Level names go to the server as they are spelled in its catalog.
  std::string ReadDescription(std::string_view level0Type, std::string_view level0Name,
                              std::string_view level1Type, std::string_view level1Name,
                              std::string_view level2Type = {}, std::string_view level2Name = {});
  // The "microsoft_database_tools_support" marker of one object.
  bool ReadToolsSupport(std::string_view level0Type, std::string_view level0Name,
                        std::string_view level1Type, std::string_view level1Name,
                        std::string_view level2Type = {}, std::string_view level2Name = {});
  // A WHERE-clause line that drops the objects marked as designer-tool
  // objects; empty below compatibility level 90.
  std::string ToolsSupportFilter(std::string_view tableAlias, std::string_view schemaAlias) const;
  // The object's stored text from syscomments: a column's (its computed
  // expression) through SetText, any other object's into ObjectSource.
  void ReadCommentsText(TDbObj* obj);
  // Lookup by catalog id.
  template <class T>
  static T* FindObjectInList(const TOwnedNameList<T>& list, std::int32_t id);
  TDbObj* FindObjectById(std::int32_t id) const;

  // The privilege a sysprotects action code stands for; none (with a note
  // naming the code) for a code this reader does not know, so that an
  // unknown right is never scripted as another one.
  std::optional<TPrivilege> DecodePrivilege(std::int32_t actionCode);

 protected:
  void PrepareExtraction() override;
  void RunExtractSteps() override;

  // ---- Steps ----
  void ReadDatabaseProperties();
  // The rules, defaults and types of the "Types" step.
  void ExtractDomainKinds();
  // The checks and default constraints of the "Checks" step.
  void ExtractCheckKinds();
  void ExtractDependenciesAndBodies();
  void ExtractSchemas();
  void ExtractTypes();
  void ExtractDefaults();
  void ExtractRules();
  void ExtractTables();
  void ExtractViews();
  void ExtractProcedures();
  void ExtractTriggers();
  void ExtractIndexes();
  void ReadIndexOptions(TQORQuery& query, TIndexOptions& options);
  void ExtractPrimaryKeys();
  void ExtractUniques();
  void ExtractForeignKeys();
  void ExtractChecks();
  void ExtractDefaultConstraints();
  void ExtractRoles();
  void ExtractGrants();
  void ExtractDependencies();
  void ParseBodies();

 private:
  std::unique_ptr<TQORQuery> NewQuery();
  msq::TCatalogForm Form() const;
  bool CaseSensitive() const;
  // The steps in their order (qorMSSQLDatabaseExtract.cpp).
  static const TExtractStep<TMSSQLDBExtract> kSteps[];
  // Raises the configured version to the reported one (unless kept).
  void ApplyReportedVersion(const std::string& productVersion);
  void ReadDefaultsOrRules(bool rules);
  // `schema` and `tableName` as the catalog spells them.
  void ReadTableColumns(TQORQuery& cols, TTblData& table, const std::string& schema,
                        const std::string& tableName, const msq::TCatalogForm& form);
  // A note of the run: the message list and the log.
  void Note(const std::string& text);
  // The key columns of a primary key or unique constraint (`ctr` of the
  // catalog name `keyName`): on the catalog views from the index's columns,
  // on 2000 from sp_helpindex of its table. False when none was found.
  bool ReadKeyColumns(TQORQuery& cols, TCtrData& ctr, const std::string& keyName,
                      const std::string& schema, const std::string& table, std::int64_t objectId,
                      std::int64_t indexId);
  // The columns of one index on the catalog views: keys with their order,
  // then the included ones.
  void ReadIndexColumns(TQORQuery& cols, std::int64_t objectId, std::int64_t indexId,
                        TFieldList& keys, TFieldList* included);
  // The "INDEX_KEYS" text sp_helpindex gives the index `indexName` of the
  // table (2000); the rows of one table are asked for once. Empty when the
  // index is not among them.
  std::string HelpIndexKeys(TQORQuery& cols, const std::string& schema, const std::string& table,
                            const std::string& indexName);
  // Adds "a, b(-)" as key columns, "(-)" marking a descending one.
  void AddHelpIndexKeys(std::string_view keys, TFieldList& list);
  void AddKeyColumn(TFieldList& list, const std::string& name, bool descending);
  // Primary keys or unique constraints; a unique constraint whose columns
  // cannot be read is reported and left out, and the run fails.
  void ReadKeyConstraints(bool primary);
  // "---" with its text when ShowFullLog; accepted; the message pump.
  void OfferConstraint(std::unique_ptr<TCtrData> c);
  void ReadGrantRows(TQORQuery& q, bool onObjects);
  std::string ExtendedPropertyValue(std::string_view property, bool& isNull,
                                    std::string_view level0Type, std::string_view level0Name,
                                    std::string_view level1Type, std::string_view level1Name,
                                    std::string_view level2Type, std::string_view level2Name);

  // The sp_helpindex rows of the last table asked for.
  std::string helpIndexTable_;
  std::vector<std::pair<std::string, std::string>> helpIndexRows_;
};

template <class T>
T* TMSSQLDBExtract::FindObjectInList(const TOwnedNameList<T>& list, std::int32_t id) {
  for (int i = 0; i < list.Count(); ++i)
    if (T* o = list.Value(i).get(); o && o->ObjectId == id) return o;
  return nullptr;
}

}  // namespace qor
