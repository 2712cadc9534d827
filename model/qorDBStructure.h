// The concrete collection TObjs (lookups by key, stored sources, the script)
// and the structure component TDBStructure that owns one and publishes its
// per-server options. Also the process-wide stop flag that long extraction
// and parsing loops test, and the hook for file-writing errors. The script
// members of TObjs live in qorScript.cpp.
#pragma once

#include "model/qorClasses.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

class TObjs : public TCustomObjs {
 public:
  TObjs() = default;
  const char* ClassName() const override { return "TObjs"; }

  // Stores the CREATE text of every view, routine and trigger as its
  // SourceSQL.
  void StoreSourceSQL() override;

  // Lookups by exact key, with the list's case rule; none when absent.
  TDmnData* FindDomain(std::string_view key) const;
  TTblData* FindTable(std::string_view key) const;
  TViwData* FindView(std::string_view key) const;
  TPrcData* FindProcedure(std::string_view key) const;
  TTrgData* FindTrigger(std::string_view key) const;
  TGnrData* FindGenerator(std::string_view key) const;
  TExcData* FindException(std::string_view key) const;
  TIdxData* FindIndex(std::string_view key) const;
  TUdfData* FindUdf(std::string_view key) const;
  TPkgData* FindPackage(std::string_view key) const;
  TCtrData* FindConstraint(std::string_view key) const;
  TSchData* FindSchema(std::string_view key) const;
  // A column of the table, of the view, a parameter of the routine (inputs
  // first).
  TFldData* FindField(std::string_view tableKey, std::string_view columnName) const;
  TFldData* FindField2(std::string_view viewKey, std::string_view columnName) const;
  TFldData* FindParam(std::string_view routineKey, std::string_view paramName) const;
  // The first role, login or user in list order whose Name equals `name`
  // exactly.
  TRolData* FindRole(std::string_view name) const;
  TRolData* FindLogin(std::string_view name) const;
  TRolData* FindUser(std::string_view name) const;

  // ---- Script generation ----
  // The script that recreates the database, kind by kind, into
  // ScriptLines (emptied first). Every object of every list is written.
  void GenerateScript() override;
  // The script of one table with the constraints, indices and triggers of
  // the kinds in `filter`; a comment when the collection has no such table.
  void GenerateTableScript(std::vector<std::string>& dest, std::string_view tableName,
                           bool withHeader, TCmpObjSetType filter);
  // The database header of the dialect.
  void WriteHeader(std::vector<std::string>& dest);
  // The statement that stores the database's own comment.
  std::string IBDatabaseDescriptionSQL(const std::string& description) const;
  // MS SQL: a SET line for each setting that differs from the one written
  // last.
  void WriteMSSQLSetOptions(bool quotedIdentifier, bool ansiNulls);
  // What follows an object: the PostgreSQL owner, then the descriptions of
  // the object and of its columns or parameters.
  void WriteOwnerSQL(TDbObj& obj, std::vector<std::string>& dest);
  // The object's header and body files in OutputDirectory, when one is set.
  void WriteObjectFiles(TDbObj& obj);
  // The sections of the whole script, each over its list in key order.
  void WriteSchemas();
  void WriteUdfs();
  void WriteCollations();
  void WriteDomains();
  void WriteTables();
  // Writes the indices on tables; returns those on views, in their order,
  // for WriteViewsAndRoutines.
  std::vector<TIdxData*> WriteIndexes();
  void WriteViewIndexes(const std::vector<TIdxData*>& indexes);
  void WriteIndex(TIdxData& idx);
  void WritePackages();
  void WriteIBPackages(bool bodies);
  void WritePackageNotes(const char* why);
  void WriteConstraints();
  void WriteExceptions();
  void WriteGenerators();
  // Views and routines in one dependency order, views in the source's
  // creation order; `viewIndexes` after the last view.
  void WriteViewsAndRoutines(const std::vector<TIdxData*>& viewIndexes);
  void WriteTriggers();
  void WriteEvents();
  void WriteRoles();
  void WriteGrants();

  bool CurQuotedIdentifier = false;
  bool CurAnsiNulls = false;
  TScriptOptions ScriptOptions;
  std::string OutputDirectory;

 private:
  TRolData* FindRoleOfKind(std::string_view name, std::uint8_t kind) const;

  void WriteMSSQLSetOptions(bool quotedIdentifier, bool ansiNulls, std::vector<std::string>& dest);
  // One section: per object its files, the MS SQL settings when
  // `msSettings`, its text and terminator, a blank when `blankAfter`, and
  // what follows it.
  template <class List, class TextFn>
  void WriteSection(List& list, TextFn text, bool msSettings, bool blankAfter);
  template <class TextFn>
  void WriteObjects(const std::vector<TDbObj*>& objects, TextFn text, bool msSettings,
                    bool blankAfter);
  // The routine and trigger sections, between SET TERM, DELIMITER or "/".
  template <class List>
  void WriteBlockSection(List& list);
  void WriteBlockObjects(const std::vector<TDbObj*>& objects);
  // Remembers the keys and indices that a MySQL table's text carries
  // inline, so that their own sections leave them out.
  void MarkInlineKeys(TTblData& table, std::set<const TDbObj*>& marks);
  // `stem`, or stem_2, stem_3 ... when an earlier object of this run has
  // taken it (compared without case, as some file systems do).
  std::string UniqueFileStem(const std::string& stem);

  std::set<const TDbObj*> inlineKeys_;  // written inside a MySQL table this run
  bool tableHeader_ = false;            // the header of a single-table script is being written
  std::set<std::string> fileStems_;     // upper-cased, taken this run
};

// Creates or replaces `fileName` with the bytes of `text`, no line break
// added. On failure the result is false and `error` says why.
bool WriteTextFile(const std::string& fileName, std::string_view text, std::string& error);

class TDBStructure : public TCustomDBStructure {
 public:
  TDBStructure();
  ~TDBStructure() override;
  const char* ClassName() const override { return "TDBStructure"; }

  TObjs* GetObjs() const;

  // Reading gives the collection's own option object; writing copies the
  // values into it.
#define QOR_OPTIONS_ACCESSORS(Type, Name) \
  Type* Name() const;                     \
  void Set##Name(const Type& value);
  QOR_PER_SERVER_OPTIONS(QOR_OPTIONS_ACCESSORS, TIBServerOptions)
#undef QOR_OPTIONS_ACCESSORS
};

// Tested by the extraction and parsing loops, which leave at once when it
// is set. Set and cleared by the caller that runs them.
extern bool StopRequested;

// Receives the message of a failed per-object file write; the script goes
// on. Does nothing until set.
using TFileErrorHandler = void (*)(const std::string& message);
extern TFileErrorHandler FileErrorHandler;

}  // namespace qor
