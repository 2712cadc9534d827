// The Transact-SQL parser: whole scripts split into batches by GO lines, and
// the stored definitions of single objects that the MS SQL extractor reads.
// It builds tables, columns, constraints, indexes, views, routines,
// triggers, rules, defaults, user types, schemas, sequences, grants and
// descriptions into the attached collection, reads the bodies of views,
// routines and triggers statement by statement, and links each to the
// tables, views and routines it uses.
//
// The sources are split by statement family: qorMSSQLParser.cpp (lexer,
// batches, names, dispatcher, modes, linking), qorMSSQLParser_Expr.cpp
// (expressions, search conditions, queries, FROM items), _Body.cpp (SET,
// EXECUTE, control of flow, DECLARE, INSERT/UPDATE/DELETE/MERGE and the
// other procedural statements), _Server.cpp (the CREATE/ALTER/DROP
// dispatchers, schemas, types, sequences, XML schema collections,
// databases and server objects), _Tables.cpp (tables, columns,
// constraints, indexes), _Routines.cpp (views, routines, triggers, rules,
// defaults), _Grants.cpp (grants and the system procedures) and
// _Roles.cpp (role membership through sp_addrolemember).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/qorTypes.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Rol.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "parsers/qorSQLParser.h"

namespace qor {

class TCtrData;
class TDbObj;
class TDmnData;
class TFldData;
class TIdxData;
class TPrcData;
class TTblData;
class TTrgData;
class TViwData;
class TRulData;
class TDefData;
class TObjs;
struct TIndexOptions;
struct TFullTextIndexOptions;

class TMSSQLParser : public TCustomSQLParser {
 public:
  // `owner`: the extractor, or none. With an owner a nested parser is made
  // for the texts handed to sp_executesql.
  explicit TMSSQLParser(TExtractorHost* owner);
  // sp_executesql texts inside sp_executesql texts are read this deep.
  static constexpr int kMaxExecuteSqlDepth = 4;
  ~TMSSQLParser() override;
  const char* ClassName() const override { return "TMSSQLParser"; }

  // ---- State ----
  std::unique_ptr<TMSSQLParser> NestedParser;
  TMSSQLParser* OwnerParser = nullptr;  // in a nested parser; not owned
  std::string LastStatementText;
  // A double-quoted text is a name (SET QUOTED_IDENTIFIER ON).
  bool QuotedIdentifiers = false;
  bool AnsiNulls = false;
  // The last string literal was written N'...'.
  bool UnicodeLiteral = false;
  // The object whose stored text is parsed; names it in error texts.
  TDbObj* CurrentObject = nullptr;
  // True: bodies are read statement by statement for what they use. False
  // (while ParseScript reads the script): bodies are kept as text.
  bool BodyMode = true;
  // The parts of the last dotted name read by ParseObjectName.
  std::string NameServer, NameDatabase, NameOwner, NameObject, NameSubObject;
  // What the current statement does, for the statement report.
  std::uint8_t StatementCode = 6;
  std::string StatementObjectName;
  TDbObject StatementObjectKind = TDbObject::dboUnknown;
  std::uint8_t StatementAction = 0;  // 1 create, 2 alter, 3 drop, 8 SET BLOBFILE
  std::string StatementParentName;

  // ---- Entries ----
  void ParseScript(const std::vector<std::string>& lines, TObjs* collection) override;
  // A file is a script: read in script mode, then as ParseScript.
  bool ParseFile(const std::string& fileName, TObjs* collection) override;
  void ParseText() override;
  // Re-parses a stored body after a script: views are read as queries.
  void ParseObjectText(TDbObj* obj) override;
  // The extractor's entry: the stored definition of one object is parsed
  // into that object.
  void ParseObject(TDbObj* obj);
  void AfterParse() override;
  // Names the re-parsed object in front of the text.
  void Error(const std::string& text) override;
  // Where the current token starts; messages point there, so they read the
  // same whichever line ends the text has.
  std::string PositionText() override;
  // Brackets a name that needs them.
  std::string FormatName(std::string_view name) override;

  // ---- Names ----
  // A dotted name into the five name fields. For dboIndex and dboField the
  // last part is the sub-object. `defaultOwner`: an empty owner is "dbo".
  void ParseObjectName(TDbObject kind, bool defaultOwner);
  // One part: a name, a bracketed name, "*" or a <placeholder>.
  std::string ParseNamePart();
  void ParseThreePartName(std::string& database, std::string& owner, std::string& name);
  // Owner "." object of the last dotted name, the key of the object.
  std::string QualifiedName() const;

  // ---- Statements ----
  // One statement. `context` is the object whose body holds it, none at
  // batch level. True when the statement was recognised.
  bool ParseStatement(TDbObj* context);
  // The statement by its first token; ParseStatement wraps it.
  bool DispatchStatement(TDbObj* context);

  // One argument of a system procedure.
  struct TArg {
    std::string Name;   // lower case, with "@"
    std::string Value;  // the literal's text
    bool IsNull = false;
  };

  // ---- The batch-terminator rule ----
  // Whether a GO line starts at `pos`: only blanks before it on its line,
  // then "GO" in any case, then a blank, a line end or the end of the text.
  // CR LF and LF line ends alike.
  static bool IsBatchTerminatorAt(std::string_view text, std::size_t pos);
  // Where the next GO line at or after `from` starts; the text's length
  // when there is none.
  static std::size_t FindBatchTerminator(std::string_view text, std::size_t from);

 protected:
  bool ScanToken() override;
  void AfterToken() override;
  void InitResWords() override;
  bool SkipComment() override;

 private:
  // After a script: the stored bodies again in body mode, then linking.
  void FinishScript();

  // ---- Scanning helpers (qorMSSQLParser.cpp) ----
  bool CaseSensitive() const;
  // A plain identifier (not bracketed, not quoted) equal to `word`.
  bool IsPlainWord(std::string_view word) const;
  // The identifier text as written when it was bracketed or quoted,
  // folded otherwise.
  std::string FoldName(std::string_view name) const;
  // A whole number too large for bigint, as one integer token; false
  // (nothing read) for any other number.
  bool ScanWideInteger();
  // Whether the next token starts with `c` (blanks passed, nothing read).
  bool NextCharIs(char c) const;
  // Moves the scanner so that the character at `pos` is the next token's.
  void MoveTo(std::size_t pos);
  // The raw text from the current token to the next GO line, trimmed; the
  // scanner then stands on the terminator token.
  std::string ReadBatchText();
  // The raw text from the current token to the next statement boundary
  // (a view's query in a script of ";"-ended statements).
  std::string ReadStatementText();
  bool AtStatementEnd() const;
  // Whether an error was posted after the first `count` messages.
  bool ErrorsSince(int count) const;
  // Whether the current token can begin a statement.
  bool CanStartStatement() const;
  // Skips to the end of the batch (or of the stored text) with a note
  // saying what was passed over; a CREATE among the skipped tokens is named
  // so that no object is lost without a word.
  void SkipBatch(const std::string& what);
  // Script mode: skips a statement's tokens to the batch end.
  void SkipToBatchEnd();
  // Whether the current token is the first on its line.
  bool BeginsLine() const;
  // Where a statement may start again after an error: a ";", the end of
  // the batch, or a word that only begins statements at a line's start.
  bool AtStatementBoundary() const;
  // Passes the tokens up to the next statement boundary (none when the
  // current token is one).
  void SkipStatementRest();
  // After a statement in error: the rest of it passed, and what was
  // passed (from the first error on) named in a note.
  void SkipAfterError();
  // The source from `start` to `end` on one line, shortened.
  std::string Excerpt(std::size_t start, std::size_t end) const;
  // Passes a statement from its first token with a note: to the end of
  // its batch, or to the next statement boundary.
  void PassTokens(const std::string& what, bool batch);
  // Reports a statement the grammar does not read and passes it.
  void PassOver(const std::string& what);
  // A script runner command (":setvar", ":r"): its line passed with a note.
  void SkipSqlCmdLine();
  // Whether a log line reaches anyone; the CREATE texts some lines show
  // are only made then.
  bool LogWanted() const;
  // A note, prefixed like an error with the object being re-parsed.
  void NoteMsg(const std::string& text);
  // The text and place of a message: prefixed with the object being read;
  // inside a nested parser or a body a script kept as text, placed where
  // that text stands in the outer one.
  void MessagePlace(std::string& text, std::int32_t& line, std::int32_t& column) const;
  // Where the raw body just read for `obj` starts in the script.
  void RememberBodyStart(TDbObj* obj);
  // "Procedure P: " and its siblings while a stored text is parsed.
  std::string ObjectPrefix() const;

  // Reads "(" ... ")" and returns its text, parentheses included.
  std::string ReadParenthesised();
  void SkipBalanced();

  // ---- Expressions and queries (qorMSSQLParser_Expr.cpp) ----
  // Every rule takes the object whose body is read (none at batch level);
  // function calls and table sources found are linked to it.
  // One search condition; returns its trimmed source text. Nothing is
  // consumed when no expression starts here.
  std::string ReadExpression(TDbObj* context = nullptr);
  void ParseCondition(TDbObj* context);
  void ParsePredicate(TDbObj* context);
  // The operator after an operand and its right side; false when the
  // token continues no predicate.
  bool ParsePredicateTail(TDbObj* context);
  void ParseExpression(TDbObj* context);
  void ParseTerm(TDbObj* context);
  void ParseFactor(TDbObj* context);
  // A name in an expression: a column, a variable, or a function call.
  void ParseNameFactor(TDbObj* context);
  void ParseFunctionArgs(TDbObj* context);
  bool IsExpressionStart() const;
  bool IsAssignOperator() const;
  bool IsComparison() const;
  // SELECT terms joined by set operators, then ORDER BY, COMPUTE, FOR and
  // OPTION.
  void ParseQuery(TDbObj* context);
  void ParseQueryTerm(TDbObj* context);
  void ParseSelect(TDbObj* context);
  // WITH name [(columns)] AS (query), ...; the names stay known as common
  // table expressions until the statement ends.
  void ParseWithList(TDbObj* context);
  void ParseSelectList(TDbObj* context);
  void ParseFromList(TDbObj* context);
  void ParseTableSource(TDbObj* context);
  void ParseJoins(TDbObj* context);
  // [AS] alias [(columns)] after a table source.
  void ParseAlias(bool columnList);
  bool IsAliasWord() const;
  void ParseTableHints();
  bool IsTableHint() const;
  void ParseValuesList(TDbObj* context);
  void ParseOverClause(TDbObj* context);
  void ParseOrderBy(TDbObj* context);
  void ParseGroupBy(TDbObj* context);
  void ParseCompute(TDbObj* context);
  void ParseQueryHints(TDbObj* context);
  void ParseForClause();
  // A list of conditions separated by ",".
  void ParseConditionList(TDbObj* context);
  // Links `context` to the object named by the last dotted name, found by
  // its schema-qualified name among `kinds`. Temporary tables, table
  // variables, common table expressions, names of other servers and
  // databases and the context itself link nothing.
  void LinkUse(TDbObj* context, TDbObjectSet kinds);
  // One level of recursion; beyond the limit the rest of the batch is
  // passed over and follow-up errors are kept back.
  bool Deeper(const TNestingGuard& guard);
  // The kinds a FROM item and a function call can name.
  static TDbObjectSet TableSourceKinds();
  static TDbObjectSet RoutineKinds();

  // ---- Statements (qorMSSQLParser_Body.cpp) ----
  void ParseSet(TDbObj* context);
  void ParseExecute(TDbObj* context);
  // A procedure called by its name (after EXEC or at a batch start).
  void ParseProcedureCall(TDbObj* context, bool viaExec);
  void ParseArgumentList(TDbObj* context);
  void ParseIf(TDbObj* context);
  void ParseWhile(TDbObj* context);
  void ParseBlock(TDbObj* context);
  // Statements up to END (or the end of the text); true when END was met.
  bool ParseStatementsUntilEnd(TDbObj* context);
  // One round of a body's statement list: ";" passed, a token that cannot
  // start a statement reported with `unknownText` and passed, else the
  // statement. Always true (go on).
  bool ParseBodyStatement(TDbObj* context, std::string_view unknownText);
  void ParseExecuteSql(TDbObj* context);
  void ParseDeclare(TDbObj* context);
  // From the keyword CURSOR: options, FOR query, FOR READ ONLY / UPDATE.
  void ParseCursorDefinition(TDbObj* context);
  void ParseInsert(TDbObj* context);
  // After the keyword UPDATE.
  void ParseUpdate(TDbObj* context);
  void ParseUpdateStatistics();
  void ParseDelete(TDbObj* context);
  void ParseMerge(TDbObj* context);
  // The target of INSERT, UPDATE, DELETE or MERGE as read, for linking
  // after the statement, when it is known to be no alias of its FROM
  // clause.
  struct TDmlTarget {
    std::string Server, Database, Owner, Object;
    bool OwnerWritten = false;
  };
  TDmlTarget ParseDmlTarget();
  void LinkDmlTarget(TDbObj* context, const TDmlTarget& target, std::size_t localsBefore);
  void ParseOutputClause(TDbObj* context);
  // UPDATE and DELETE after their SET or target: OUTPUT, FROM, WHERE,
  // OPTION; then the target is linked.
  void ParseDmlTail(TDbObj* context, const TDmlTarget& target, std::size_t localsBefore);
  void ParseRaiseError(TDbObj* context);
  void ParseThrow(TDbObj* context);
  void ParseFetch(TDbObj* context);
  void ParseWaitFor(TDbObj* context);
  void ParseBackupRestore(bool backup);
  void ParseBackupOptions();
  void ParseSend(TDbObj* context);
  void ParseReceive(TDbObj* context);
  void ParseEnableTrigger();
  void ParseTextPointerStatement();
  void ParseDbcc();
  void ParseBeginDialog(TDbObj* context);
  // Script mode: passes a data statement up to the next statement; a
  // CREATE among its tokens is named in a note. `atKeyword`: the current
  // token is the statement's first.
  void PassStatement(TDbObj* context, const std::string& what, bool atKeyword = true);

  // ---- CREATE, ALTER, DROP and server objects (_Server.cpp) ----
  void ParseCreate(TDbObj* context);
  void ParseAlter(TDbObj* context);
  void ParseDrop();
  void ParseCreateSchema();
  // `add`: the object reaches the collection; not when a body creates it.
  void ParseCreateType(bool add);
  void ParseCreateSequence(bool add);
  void ParseCreateXmlSchemaCollection(bool add);
  // CREATE of a schema, view, routine, trigger, rule or default inside a
  // body:
  // passed over with a note; false at batch level.
  bool InBody(TDbObj* context, const std::string& kind);
  void ParseCreateDatabase();
  void ParseAlterDatabase();
  void ParseFileSpecs();
  void ParseCreateStatistics();
  void ParseAssembly(bool alter);
  void ParseMessageType();
  void ParseCertificate(bool alter);
  void ParseContract();
  void ParseQueue();
  void ParseService();
  void ParseCreateLogin();
  void ParseCreateUser();
  void ParseAlterRole();
  void ParseFullTextCatalog();
  // ON or OFF; "Must be: ON / OFF" otherwise.
  void ParseOnOff();
  // name = value, ... of server-object options.
  void ParseNamedValues();
  // The plain word `word`, passed; "Missing: " otherwise.
  bool WordAndNext(std::string_view word);
  // TOP (n) [PERCENT] of a data statement; WITH (hints) after its target.
  void ParseTop(TDbObj* context);
  void ParseTargetHints();
  // [AUTHORIZATION name]
  void ParseAuthorization();
  // A value after "=": a name, string, number, ON, OFF, or an expression.
  void ParseOptionValue();

  // ---- Tables (qorMSSQLParser_Tables.cpp) ----
  // `add`: the objects read reach the collection; false for temporary and
  // body-local tables.
  TTblData* ParseCreateTable(TTblData* table, TDbObj* context);
  void ParseTableElements(TTblData& table, bool add);
  TFldData* ParseColumn(TTblData& table, bool add);
  void ParseDataType(TFldData& column, bool add, bool allowComputed);
  void ParseColumnOptions(TFldData& column, bool add);
  void ParseComputed(TFldData& column, bool add);
  void ParseNamedConstraint(bool add, std::unique_ptr<TCtrData> ctr, bool withNoCheck,
                            bool withCheck, TFldData* column, TTblData* table);
  void ParseConstraint(bool add, std::unique_ptr<TCtrData> ctr, TTblData* table);
  std::unique_ptr<TCtrData> NewConstraint(std::uint8_t type, TTblData* table, TFldData* column);
  void ParseColumnList(TFieldList* target);
  std::uint8_t ParseFKAction();
  // `kept`: the statement's text keeps the options (CREATE INDEX); a key
  // constraint keeps only the record, and an option it has no place for
  // is noted.
  void ParseIndexWith(TIndexOptions& options, bool kept);
  void ParseIndexOptions(TIndexOptions& options, bool kept);
  void ParseFileGroup(std::string& fileGroup);
  // Index name, ON table, the column list and INCLUDE columns.
  void ParseIndexHead(TIdxData& idx);
  void ParseCreateIndex(bool unique, bool clustered, TDbObj* context);
  void ParseCreateXmlIndex(bool primary, TDbObj* context);
  void ParseCreateFullTextIndex(TDbObj* context);
  void ParseFullTextOptions(TFullTextIndexOptions& options);
  void ParseAlterTable(TDbObj* context);
  // The word after DROP names the kind of a DROP statement (TABLE, VIEW,
  // ...), not a part of ALTER TABLE ... DROP.
  bool IsDropKind() const;
  // Whether objects of a table named `name` read in `context` stay out of
  // the collection: temporary tables and everything inside a body.
  bool IsScratch(std::string_view name, TDbObj* context) const;
  // Hands a built object to AddObject; none when it was refused (and freed).
  // An object whose name could not be read is dropped (the error is
  // reported already); constraints and full-text indexes may be unnamed.
  template <class T>
  T* HandOver(std::unique_ptr<T> obj) {
    if (!obj || (obj->GetName().empty() && !MayBeUnnamed(*obj))) return nullptr;
    std::unique_ptr<TDbObj> base(std::move(obj));
    return static_cast<T*>(AddObject(base, /*freeIfRejected=*/true));
  }
  static bool MayBeUnnamed(const TDbObj& obj);
  // The integer token with the sign Expect joined to it.
  std::int32_t SignedInt();
  // The type word's code, or 0; respects the server version for the newer
  // date types.
  std::uint8_t TypeCode(TTokenKind kind, std::string_view ident) const;

  // ---- Views, routines, triggers, rules, defaults (_Routines.cpp) ----
  void ParseCreateView(TViwData* view, bool alter);
  // The query of a view with the view as context; WITH CHECK OPTION.
  void ParseViewQuery(TViwData& view);
  void ParseCreateRoutine(TDbObj* context, TPrcData* routine, bool function, bool alter);
  void ParseRoutineParams(TPrcData& routine);
  void ParseRoutineBody(TPrcData& routine);
  // The body of a routine or trigger starting at the current token: raw in
  // script mode, read statement by statement in body mode.
  std::string ReadBody(TDbObj& context);
  void ParseCreateTrigger(TDbObj* context, TTrgData* trigger, bool alter);
  void ParseCreateRule(TRulData* rule);
  void ParseCreateDefault(TDefData* def);
  // The expression of a rule or default: raw in script mode, read in body
  // mode.
  std::string ReadRuleBody();

  // ---- Grants and system procedures (_Grants.cpp) ----
  void ParseGrant();
  void ParseRevoke();
  void ParseDeny();
  // REVOKE and DENY: ON [class::] name [(columns)]; the grantees; CASCADE
  // and AS grantor.
  void ParseSecurable();
  void ParseGrantees();
  void ParseGranteeTail();
  TPrivileges ParsePrivileges(std::vector<std::string>* columns, bool& ok);
  void ParseAddType(bool parenthesised);
  void ParseBindRule(bool parenthesised, bool isDefault);
  void ParseDbOption();
  void ParseAddExtendedProperty();
  void ParseAddRoleMember();  // _Roles.cpp
  // Reads the arguments of a system procedure: strings, numbers, names,
  // NULL, with their @names. Unnamed ones get `positional`'s names.
  std::vector<TArg> ReadArguments(const std::vector<std::string>& positional);
  // The table, view or procedure of `owner.name` (bare when the owner was
  // not written and the name is unique among the schemas).
  TDbObj* FindGrantObject(const std::string& owner, const std::string& name, bool ownerWritten);

  void ResetStatement();
  void ReportStatement();
  // The object the current statement creates: kind, name, action.
  void SetStatement(TDbObject kind, const std::string& name, std::uint8_t action,
                    const std::string& parent = {});

  std::int32_t tokenLine_ = 1;    // 1-based line of the current token
  std::int32_t tokenColumn_ = 1;  // 1-based column of the current token
  bool identQuoted_ = false;      // the current identifier was bracketed or quoted
  bool ownerWritten_ = false;     // the last dotted name had an owner part
  // Where the first error of the current batch-level statement arose.
  std::size_t errorAt_ = std::string::npos;
  std::int32_t errorLine_ = 0, errorColumn_ = 0;
  // The current batch-level statement creates a routine or trigger.
  bool inBodyStatement_ = false;
  int skipNesting_ = 0;
  // The nesting limit was passed in this batch: follow-up errors are kept
  // back until the next batch or stored text.
  bool tooDeep_ = false;
  // Names of common table expressions and table aliases of the statements
  // being read; a name among them is no schema object.
  std::vector<std::string> localTables_;
  // Where the text a nested parser reads stands in the outer text, for
  // its messages; 0 outside a nested parser.
  std::int32_t nestedLine_ = 0, nestedColumn_ = 0;
  // Where the last raw text ReadBatchText took starts; where the bodies a
  // script kept as text start, for the messages of their second reading;
  // and the start of the one being read.
  std::int32_t rawLine_ = 0, rawColumn_ = 0;
  std::map<const TDbObj*, std::pair<std::int32_t, std::int32_t>> bodyStarts_;
  std::int32_t bodyLine_ = 0, bodyColumn_ = 0;
};

}  // namespace qor
