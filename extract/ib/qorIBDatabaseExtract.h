// The InterBase/Firebird catalog extractor: reads the system tables of a
// live database through the connection engine into the structure's
// collection. A capability probe tells the catalog generations apart by the
// columns and relations that exist; every reader chooses its query text by
// those flags alone. The readers of the object kinds live beside this unit
// (qorIBExtract*.cpp); the catalog texts are in qorIBCatalogQueries.h.
#pragma once

#include "extract/qorCustomExtract.h"
#include "model/qorComp_Rol.h"
#include "platform/qorNameList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

class TCtrData;
class TCustomSQLParser;
class TDmnData;
class TField;
class TFldData;
class TObjs;
class TPrcData;
class TQORCustomConnection;
class TQORQuery;
class TTblData;
class TUdfData;
class TViwData;
namespace ibq {
struct TRoutineParamColumns;
}
namespace ibread {
class TChildRows;
struct TBatchedRows;
}  // namespace ibread

// What the connected catalog has: each flag is set when its column or
// relation exists.
struct TIBCatalogCaps {
  bool HasFieldPrecision = false;        // RDB$FIELDS.RDB$FIELD_PRECISION
  bool HasRelationType = false;          // RDB$RELATIONS.RDB$RELATION_TYPE
  bool HasGeneratorDescription = false;  // RDB$GENERATORS.RDB$DESCRIPTION
  bool HasRoleDescription = false;       // RDB$ROLES.RDB$DESCRIPTION
  bool HasRoleSystemFlag = false;        // RDB$ROLES.RDB$SYSTEM_FLAG
  bool HasRoles = false;                 // relation RDB$ROLES
  bool HasUpdateRule = false;            // RDB$REF_CONSTRAINTS.RDB$UPDATE_RULE
  bool HasDeleteRule = false;            // RDB$REF_CONSTRAINTS.RDB$DELETE_RULE
  bool HasArgumentPrecision = false;     // RDB$FUNCTION_ARGUMENTS.RDB$FIELD_PRECISION
  bool HasParameterMechanism = false;    // RDB$PROCEDURE_PARAMETERS.RDB$PARAMETER_MECHANISM
  bool HasParameterDefault = false;      // RDB$PROCEDURE_PARAMETERS.RDB$DEFAULT_SOURCE
  bool HasParameterCollation = false;    // RDB$PROCEDURE_PARAMETERS.RDB$COLLATION_ID
  bool HasIdentityGenerator = false;     // RDB$RELATION_FIELDS.RDB$GENERATOR_NAME
  bool HasIdentityType = false;          // RDB$RELATION_FIELDS.RDB$IDENTITY_TYPE
  bool HasParameterRelation = false;     // RDB$PROCEDURE_PARAMETERS.RDB$RELATION_NAME
  bool HasGeneratorIncrement = false;    // RDB$GENERATORS.RDB$GENERATOR_INCREMENT
  bool HasParameterNullFlag = false;     // RDB$PROCEDURE_PARAMETERS.RDB$NULL_FLAG
  bool HasFunctionSource = false;        // RDB$FUNCTIONS.RDB$FUNCTION_SOURCE
  bool HasArgumentName = false;          // RDB$FUNCTION_ARGUMENTS.RDB$ARGUMENT_NAME
  bool HasArgumentDescription = false;   // RDB$FUNCTION_ARGUMENTS.RDB$DESCRIPTION
  bool HasPackages = false;              // relation RDB$PACKAGES
  bool HasProcedurePackage = false;      // RDB$PROCEDURES.RDB$PACKAGE_NAME
  bool HasBaseCollation = false;         // RDB$COLLATIONS.RDB$BASE_COLLATION_NAME
  bool HasFunctionOwner = false;         // RDB$FUNCTIONS.RDB$OWNER_NAME

  // The flag of a probe row number; none for numbers without one.
  bool* FlagOfRow(int typ);
};

class TIBDBExtract : public TCustomExtract {
 public:
  TIBDBExtract();
  ~TIBDBExtract() override;
  const char* ClassName() const override { return "TIBDBExtract"; }

  // The configured server generation is kept whatever the server reports.
  // Unset, the generation the server reports replaces the configured one
  // when it is a later one of the same product line, or of another line
  // (logged either way), so the script is written for the server it
  // came from.
  bool KeepServerVersion = false;

  // The whole extraction: true when every step ran to its end.
  bool ExtractDatabase() override;

  // The generation a server's version text ("LI-V3.0.11.33637 Firebird
  // 3.0", "WI-V7.5.1.80") names; none for a text it cannot place.
  static std::optional<TIBSQLServerVersionType> VersionOfServer(std::string_view version);
  // Whether an extraction configured for `configured` takes the reported
  // generation instead.
  static bool RaisesTo(TIBSQLServerVersionType configured, TIBSQLServerVersionType reported);

  // The body parser of ParseBodies, made for each run: the InterBase body
  // parser unless the owner sets another; none leaves the step at its log
  // lines.
  using TBodyParserFactory = std::function<std::unique_ptr<TCustomSQLParser>(TIBDBExtract&)>;
  TBodyParserFactory BodyParserFactory;

  const TIBCatalogCaps& Caps() const { return caps_; }

  // What belongs to each object (its columns, parameters, index columns,
  // array bounds, the relations a view reads) is read by one query per
  // kind for all objects, joined in memory; false reads it by one query
  // per object. The model is the same either way.
  bool BatchedReads = true;

  // The step captions in their order; the step total is their number.
  static constexpr int kStepCount = 17;
  static const char* StepCaption(int step);

  // Fires OnLogNextLine when assigned.
  void LogLine(const std::string& text);

 protected:
  void PrepareExtraction() override;
  void RunExtractSteps() override;

  // Sets the capability flags from the probe (all cleared first) and the
  // database character set when the collection has none.
  virtual void ProbeCatalog();
  // Copies the connection's options back into the collection.
  void SyncServerOptions();
  // Raises the collection's generation to the one the server reports
  // (see KeepServerVersion).
  void ApplyReportedVersion();
  // The database's own comment, into the collection's database options.
  void ReadDatabaseDescription();
  // Re-parses the stored texts and links the dependencies.
  void ParseBodies();

  // ---- Readers ----
  void ReadFunctions();
  void ReadDomains();
  void ReadTables();
  void ReadViews();
  void ReadCollations();
  void ReadGenerators();
  void ReadExceptions();
  void ReadTriggers();
  void ReadIndices();
  void ReadPrimaryKeys();
  void ReadUniqueConstraints();
  void ReadForeignKeys();
  void ReadCheckConstraints();
  void ReadRoles();
  void ReadProcedures();
  // Inside the procedures step, with HasPackages.
  void ReadPackages();
  void ReadGrants();

  TIBCatalogCaps caps_;

 private:
  // The steps in their order (qorIBDatabaseExtract.cpp).
  static const TExtractStep<TIBDBExtract> kSteps[];

  TObjs* Collection() const;
  std::unique_ptr<TQORQuery> NewQuery();
  // Window messages, then whether a stop was requested.
  bool StopAfterRow();

  void ReadFunctionArguments(ibread::TChildRows& args, TUdfData* udf, TPrcData* prc,
                             std::int64_t returnArg);
  void ReadFunctionArgument(TQORQuery& q, TFldData& f);
  // One row of a routine's parameter query (procedures and PSQL functions
  // alike), added to its input or output list; `has` names the columns
  // the catalog fills.
  void ReadRoutineParameter(TQORQuery& q, TPrcData& prc, const ibq::TRoutineParamColumns& has);
  // The routine's dependency on the domain or column its parameter `f` is
  // typed by, when that is in the collection.
  void LinkParameterSource(TPrcData& prc, const TFldData& f);
  // One grant query, its rows folded into grants handed to AddGrant; a
  // grantor other than `owner` (the database's) is kept with its grant.
  void ReadGrantQuery(TQORQuery& q, const std::string& sql, const std::string& owner);
  void ReadTableColumns(ibread::TChildRows& cols, TQORQuery& dims, TTblData& table);
  void ReadArrayDimensions(TQORQuery& dims, TFldData& f, const std::string& fieldSource);
  void ReadViewColumns(ibread::TChildRows& cols, TViwData& view);
  void ReadViewDependencies(TQORQuery& deps, TViwData& view);
  // The first column of the one row of `sql`.
  int CountRows(const std::string& sql);
  // Appends the columns `sql` reads for the index :INDEX_NAME (batched:
  // the columns of the index `segmentsOf`) to `list`, each a dependency on
  // that column of `table` when there is one.
  void ReadKeySegments(TQORQuery& segs, std::string_view sql, const std::string& index,
                       const std::string& segmentsOf, TCtrData& c, TOwnedNameList<TFldData>& list,
                       TDbObj* table);
  // Batched: the columns of every index, read through `segs` when first
  // asked for; those of `index`.
  const std::vector<std::string>& IndexSegments(TQORQuery& segs, const std::string& index);
  // By the constraint's name, or by its table's for a generated one.
  bool AcceptConstraint(TCtrData& c, TDbObject kind);

  // Triggers of a type code the model cannot script (an event it does not
  // know): what is granted to them is left out too, as it would name no
  // trigger.
  TBasicNameList<int> unscriptedTriggers_;
  // The rows the batched reads keep in memory, for one run.
  std::unique_ptr<ibread::TBatchedRows> batched_;
};

// ---- Text routines of the readers ----

// The object kind of an InterBase object or user type code of the catalog.
TDbObject CatalogTypeToObjKind(std::int64_t code);
// The privilege of the first letter of RDB$PRIVILEGE, as a set of one (empty
// for letters without one, "M" for role membership among them).
TPrivileges DecodePrivilege(std::string_view letter);
// The kind of objects a DDL privilege row covers, by its RDB$RELATION_NAME
// ("SQL$TABLES" ...); None for any other name.
TDDLKind CatalogNameToDDLKind(std::string_view name);

// What a trigger type code of the catalog is, by its bits: 0x2000 a
// database trigger, 0x4000 a DDL trigger, neither a trigger of a table or
// view (of a code of the model's trigger-type table, else Unknown).
enum class TIBTriggerKind { DML, Database, DDL, Unknown };
// Sets the timing and events of a DML trigger, the timing of a DDL trigger
// (its events stay in the code) and the event text of a database trigger
// ("" for a code without one); what is not set is 0 or "".
TIBTriggerKind DecodeIBTriggerType(std::int64_t type, std::uint8_t& timing, std::uint8_t& events,
                                   std::string& databaseEvent);

// The character at a 1-based index; '\0' outside the text.
char SqlCharAt(std::string_view text, std::size_t index);
// The text without its block comments, and without its line comments when
// `dropLineComments`; quoted literals are copied whole.
std::string StripSqlComments(std::string_view text, bool dropLineComments);
// What follows the CHECK keyword of a stored check source (a leading
// CONSTRAINT clause of older catalogs skipped), its spacing kept as
// stored: the writer puts the keyword back in front of it.
std::string CheckCondition(std::string_view source);
// The bare value of a stored default clause: comments stripped, a leading
// "DEFAULT " or "=" removed, trimmed.
std::string NormalizeDefaultSource(std::string_view text);
// Precision, scale and type of an exact numeric from its storage type `t`,
// sub type `s`, precision `p` (none when the catalog has no such column or
// holds NULL) and scale `scale` (none for NULL). `ib6` tells whether 16
// (64-bit) is an exact storage type.
void ReadNumericPrecision(TFldData& f, int t, int s, bool withPrecision, std::optional<int> p,
                          std::optional<int> scale, bool ib6);

}  // namespace qor
