// The InterBase/Firebird DDL parser: reads scripts as isql runs them
// (terminator switched by SET TERM, SET SQL DIALECT, INPUT of further files)
// and builds schema objects in the target collection, statement by statement.
//
// The scanner follows the configured server version (base/qorIBVersions.h):
// words the version does not reserve scan as plain names, and the grammar
// asks for such a word through IsKw, which accepts the keyword token or a
// plain name of the same text. Every statement ends at its terminator: after
// an error the rest of the statement is passed over, so one bad statement
// never eats the next one.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/qorTypes.h"
#include "model/qorComp_Fld.h"
#include "parsers/keywords/qorIBKeywords.h"
#include "parsers/qorSQLParser.h"

namespace qor {

class TCtrData;
class TDmnData;
class TGnrData;
class TFldData;
class TIBServerOptions;
class TIdxData;
class TTblData;
class TTrgData;
enum class TDDLKind : std::uint8_t;

// Statement codes of NotifyStatement.
namespace ibs {
inline constexpr std::uint8_t Reconnect = 1, Set = 3, SetBlobFile = 4, Object = 6, SetNames = 10,
                              SetDialect = 12, Describe = 13, Select = 14, Insert = 15, Update = 16,
                              Delete = 17;
// Sub-codes of Object.
inline constexpr std::uint8_t Create = 1, Alter = 2, Drop = 3, Statistics = 8;
}  // namespace ibs

class TIbParser : public TCustomSQLParser {
 public:
  // INPUT files nest no deeper than this.
  static constexpr int kMaxInputDepth = 16;

  explicit TIbParser(TExtractorHost* owner);
  ~TIbParser() override;
  const char* ClassName() const override { return "TIbParser"; }

  // The collection's InterBase options; none without a collection.
  TIBServerOptions* GetServerOptions() const;
  TIBSQLServerVersionType ServerVersion() const;
  int SQLDialect() const;

  // `name` as it is written back: in SQL dialect 3 double-quoted (inner
  // quotes doubled) when the version needs it.
  std::string FormatName(std::string_view name) override;
  std::string PositionText() override;
  void ParseScript(const std::vector<std::string>& lines, TObjs* collection) override;
  void ParseText() override;
  // A file read on its own starts like a script; one read by INPUT goes on
  // with the terminator of the script that includes it.
  bool ParseFile(const std::string& fileName, TObjs* collection) override;
  void AfterParse() override;

  // ReadBody's start when the body begins at the current character.
  static constexpr std::size_t kReadPosition = static_cast<std::size_t>(-1);
  // The source from `start` (the current character by default) up to the
  // next terminator outside comments and literals, trimmed, into the
  // object's text. The scanner is left on the terminator token.
  virtual void ReadBody(TDbObj& obj, std::size_t start = kReadPosition);
  // Set while ReadBody reads a package header (CREATE PACKAGE without BODY).
  bool ReadingPackageHeader = false;
  // A body's text into `obj`: a package header's into its HeaderText.
  void StoreBodyText(TDbObj& obj, std::string text);
  // The text of a DEFAULT value, cut from the source; then one NextToken.
  virtual bool ParseDefault(TFldData& column, std::string& text);

  // ---- State ----
  bool AutoDDL = true;
  std::string CurrentTable;
  std::string CurrentColumn;
  // Filled by ParseQualifiedName.
  std::string Qualifier, QName, Name3;
  TIbParser* Parent() const { return parent_; }

 protected:
  bool ScanToken() override;
  void InitResWords() override;
  TTokenKind LookupKeyword() override;

  // ---- Grammar helpers ----
  // The keyword `kind`, or a plain (unquoted) name of one of its words: the
  // form a word takes when the server version does not reserve it.
  bool IsKw(TTokenKind kind);
  // IsKw, else the Expect error for `kind`.
  bool ExpectKw(TTokenKind kind);
  bool NextAndExpectKw(TTokenKind kind);
  // A name: an identifier (quoted or not) into `name`; else an error.
  bool ReadName(std::string& name);
  bool ParseQualifiedName();
  // "(" name {"," name} ")" into `list`; the ")" is consumed.
  bool ParseColumnList(TFieldList& list, TDbObj* holder);
  // The parenthesised text that starts at the next character, then one
  // NextToken. The current token is the word before it.
  bool ReadParenText(std::string& text);

  // ---- Statements ----
  // One statement of a script, its terminator included.
  void ParseScriptStatement();
  // The dispatcher's end of every statement: passes the terminator, or
  // reports what stands in its place and skips to the next one.
  void EndStatement(int errorsBefore);
  // Passes a statement this parser does not build objects for, with a note.
  void SkipStatement(const std::string& what);
  void ParseCreate();
  void ParseAlter();
  void ParseSet();
  void ParseInput();
  // The parser that reads an INPUT file: one of this parser's own class.
  virtual std::unique_ptr<TIbParser> NewNestedParser();

  // Tables, columns, constraints, indices and domains.
  bool ParseCreateTable(bool globalTemporary);
  bool ParseAlterTable();
  bool ParseCreateIndex();
  bool ParseAlterIndex();
  bool ParseCreateDomain();
  bool ParseAlterDomain();
  // One column definition, its name the current token. `ok` is false after
  // an error; the column is returned whenever its name was read.
  std::unique_ptr<TFldData> ParseColumn(TTblData* table, const std::string& tableName, bool& ok);
  bool ParseDataType(TFldData& column);
  bool IsDataTypeStart();
  bool ParseArrayBounds(TFldData& column);
  // Column options; `domain` when the column is a domain's type holder.
  bool ParseColumnOptions(TFldData& column, TDmnData* domain, TTblData* table,
                          const std::string& tableName);
  // DEFAULT (or "=") value, and NOT NULL, at the current token, into `f`;
  // NOT NULL sets `nullable` (DROP NOT NULL reads the same words).
  bool ReadDefaultClause(TFldData& f);
  bool ReadNullClause(TFldData& f, bool nullable);
  // A table constraint at the current token (CONSTRAINT name, PRIMARY,
  // UNIQUE, FOREIGN, CHECK, or REFERENCES for a column).
  bool ParseTableConstraint(TFldData* column, const std::string& tableName, TTblData* table);
  bool ParseForeignKey(TCtrData& ctr, bool columnLevel);
  bool ParseReferentialAction(std::uint8_t& rule);
  bool ParseIndexClause(TCtrData& ctr);
  // Hands a finished constraint on (IBE$ rule, duplicate primary key).
  void AddConstraint(std::unique_ptr<TCtrData>& ctr, TTblData* table);
  // The primary key the collection holds for `table`, or none.
  TCtrData* PrimaryKeyOf(const std::string& table);

  // Routines, triggers, views and the other objects.
  // A new object, handed on in place of the one stored under its key.
  void StoreObject(std::unique_ptr<TDbObj> obj);
  bool ParseCreateGenerator();
  bool ParseSequenceOptions(TGnrData& gen);
  bool ParseAlterSequence();
  bool ParseCreateException(bool alter);
  bool ParseCreateRole();
  bool ParseCreateView();
  bool ParseParam(TFieldList& list, TDbObj* routine, std::uint8_t direction);
  bool ParseCreateRoutine(bool isFunction, bool alter);
  bool ParseCreateTrigger(bool alter);
  // The events of a DDL trigger after BEFORE or AFTER (ANY DDL STATEMENT,
  // or CREATE TABLE OR ALTER PROCEDURE ...) into its type code.
  bool ParseDDLTriggerEvents(TTrgData& t, bool after);
  // The header's end: ON table (when it did not start with FOR), SQL SECURITY.
  bool ParseTriggerRelationOn(std::string& table, bool forTable, const std::string& name);
  // At the words SQL SECURITY.
  bool AtSqlSecurity();
  // SQL SECURITY DEFINER | INVOKER, or after DROP (`drop`) the bare words:
  // read and noted, as the model keeps it for none of these kinds.
  bool ParseSqlSecurity(const std::string& name, bool drop);
  bool ParseComment();
  bool ParseGrant();
  // The kind word of a DDL privilege (TABLE, CHARACTER SET, DATABASE ...);
  // the token after it is current.
  bool ParseDDLKind(TDDLKind& kind);
  bool ParseDatabase(bool create);
  bool ParseDeclareExternalFunction();
  bool ParseCreateCollation();
  bool ParseCreatePackage();
  bool ParseExecuteBlock();
  bool ParseRevoke();
  bool ParseDrop();

  // Sends statement code 6 with the sub-code and kind.
  void NotifyObject(std::uint8_t sub, TDbObject kind, const std::string& name,
                    const std::string& extra = {});

  int StatementResult = 0;

 private:
  void ClassifyGrants();
  void RemoveConstraintIndexes();
  void LinkColumnDomains();
  bool ScanHexNumber();
  bool ScanHexString();
  bool ScanIntroducer();
  int ErrorCount();
  // The kind of the current token's word in the full table (demoted or
  // not); the token's own kind for everything else.
  TTokenKind TableKind();

  // Set where a statement ended before its terminator (SET TERM without
  // one): EndStatement then passes nothing.
  bool resumeHere_ = false;
  std::unique_ptr<TIbParser> nested_;
  TIbParser* parent_ = nullptr;
  int inputDepth_ = 0;
  int msgsSeen_ = 0, errorsSeen_ = 0;  // ErrorCount's place in the message list
  // The key of each table's primary key, for the duplicate test: built
  // from the collection once per text, then kept up to date here.
  std::map<std::string, std::string> primaryKeys_;
  bool primaryKeysBuilt_ = false;
  std::string fileName_;  // the file this parser reads, for the INPUT chain
  std::size_t tableKindAt_ = static_cast<std::size_t>(-1);
  TTokenKind tableKindOf_ = 0;
  TTokenKind tableKind_ = 0;
};

}  // namespace qor
