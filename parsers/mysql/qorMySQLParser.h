// The MySQL DDL parser: scripts with DELIMITER lines, and the CREATE texts
// that the MySQL extractor reads from the server (SHOW CREATE TABLE, VIEW,
// PROCEDURE, FUNCTION and TRIGGER). It builds tables with their columns,
// keys, indices, foreign keys, checks and options, views, triggers and
// routines into the attached collection. Executable comments of dumps are
// read as the SQL they hold. View texts and routine and trigger bodies are
// kept as text; AfterParse links keys and indices to their tables, and
// views and triggers to the tables, views and functions their texts use.
//
// The sources are split by statement family: qorMySQLParser.cpp (scanner,
// statement loop, CREATE/DROP/SET, re-parsing stored texts, errors),
// qorMySQLParser_Tables.cpp (tables, columns, keys, indices, options, ALTER
// TABLE) and qorMySQLParser_Routines.cpp (views, triggers, routines and
// the references of their texts).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/qorDBOptions.h"
#include "model/qorComp_Fld.h"
#include "parsers/keywords/qorMySQLKeywords.h"
#include "parsers/qorSQLParser.h"

namespace qor {

// Where the literal, quoted name or comment that starts at `i` ends (the
// index after it), or `i` when none starts there. `open`, when given, says
// whether it is left open to the end of `src`.
std::size_t PassLiteralOrComment(const std::string& src, std::size_t i, bool* open = nullptr);

class TCtrData;
class TDbObj;
class TFldData;
class TIdxData;
class TPrcData;
class TTblData;
class TTrgData;
class TViwData;

class TMySQLParser : public TCustomSQLParser {
 public:
  explicit TMySQLParser(TExtractorHost* owner);
  ~TMySQLParser() override;
  const char* ClassName() const override { return "TMySQLParser"; }

  // The var result handed to every statement notification.
  int StatementResult = 0;
  // The parser's own MySQL options; the collection's decide the case rule
  // when a collection is attached.
  TMySQLServerOptions& ServerOptions() { return *serverOptions_; }

  // ---- Entries ----
  void ParseText() override;
  // Re-parses one object's stored CREATE text (or a trigger's body) into
  // that object: the MySQL extractor's entry.
  void ParseObjectSource(TDbObj* obj) override;
  // The inherited linking, then the tables, views and stored functions
  // that each view's query and each trigger's body use.
  void AfterParse() override;
  // Names the object being re-parsed in front of the text. Messages point
  // at the token where the fault was found, so a script reads the same
  // with either line end.
  void Error(const std::string& text) override;
  std::string PositionText() override;
  // A plain word only: a backticked name is never a keyword or a word of
  // the grammar (a column may be called `period` or `check`).
  bool IsWord(std::string_view word) override;

  // ---- Grammar rules, each named after its rule ----
  // `table`: the table to fill (a re-parse), or none for a new one.
  void ParseCreateTable(TTblData* table);
  // A column (or parameter, or a function's result when `result`) starting
  // at its name.
  std::unique_ptr<TFldData> ParseColumnDef(TDbObj* holder, bool param, bool result);
  // The type at the current token, with its length, precision and scale
  // or its ENUM/SET values; false, with an error, when no type is there.
  bool ParseDataType(TFldData& column);
  bool ParseTypeArguments(TFldData& column);
  // An ENUM or SET value: a string, or hexadecimal (0x61, X'61').
  bool ReadEnumValue(std::string& value);
  // Character set, collation, UNSIGNED ... and, in a table, nullability,
  // default, keys, checks, generation and comment; a routine's parameter
  // or result (`routineItem`) takes only the type attributes.
  void ParseColumnAttributes(TFldData& column, TTblData* table, bool routineItem);
  // A column's UNIQUE: a unique index named after the column.
  void AddColumnUnique(TTblData& table, TFldData& column);
  void ParsePrimaryKey(TTblData& table, const std::string& name);
  void ParseUniqueKey(TTblData& table, const std::string& name);
  void ParseIndexKey(TTblData& table);
  void ParseForeignKey(TTblData& table, const std::string& name);
  void ParseReferences(TTblData& table);
  void ParseCheck(TTblData& table, const std::string& name, const std::string& column);
  // CREATE INDEX and the index items of a table. `table` is none for
  // CREATE INDEX, which names its table after ON.
  void ParseCreateIndex(TTblData* table, bool unique, bool fullText, bool spatial);
  void ParseTableOptions(TTblData& table);
  // The columns, keys and checks between the parentheses of CREATE TABLE.
  void ParseTableItems(TTblData& table);
  // CREATE TABLE ... LIKE: the columns, options, keys and indices of the
  // table `source`; false, with a note, when the model has no such table.
  bool CopyTableDefinition(const std::string& source, TTblData& table);
  // What a column definition says, from one column onto another: MODIFY
  // and LIKE.
  static void CopyColumnDefinition(const TFldData& from, TFldData& to);
  void ParseAlterTable();
  void ParseCreateView(TViwData* view);
  void ParseCreateTrigger(TTrgData* trigger);
  void ParseCreateRoutine(TPrcData* routine);

 protected:
  bool ScanToken() override;
  bool SkipWhite() override;
  bool SkipComment() override;
  void InitResWords() override;
  void AfterToken() override;

 private:
  // ---- Scanning helpers ----
  bool CaseSensitive() const;
  // A name read from a string or a keyword, folded by the case rule.
  std::string FoldName(std::string_view name) const;
  void ScanBacktickName();
  // Whether the next character that is not a blank is `c`.
  bool NextCharIs(char c) const;
  // The raw text from the start of the current token up to the terminator,
  // string literals and comments passed whole; the terminator is then the
  // current token. Line breaks CR LF, trimmed.
  std::string ReadRawBody();
  // A query's raw text (a view's, CREATE TABLE ... AS): a ";" at its end
  // ended the statement under another delimiter, and the server keeps it
  // out of the query; one before its end is an error.
  std::string ReadQueryText();
  // The parenthesised text that starts at the next character, outer
  // parentheses included; then the token after it is read.
  std::string ReadParenthesised();
  // The current token as written: values (engines, character sets,
  // collations) keep their spelling whatever the case rule does to names.
  std::string RawTokenText() const {
    return tokenEnd_ > TokenStart() ? GetText(TokenStart(), tokenEnd_ - TokenStart())
                                    : std::string();
  }
  // Gives a foreign key without referenced columns its table's primary key.
  void ReferencePrimaryKeys();
  // Links `user` to the tables and views its text reads from or writes to
  // and the stored functions it calls.
  void LinkBodyReferences(TDbObj& user, const std::string& text);

  // ---- Executable comments ----
  // "/*!NNNNN ... */" and "/*M!NNNNNN ... */": where one opens, where its
  // SQL starts and where its "*/" stands.
  struct TExecComment {
    std::size_t Open = 0, Text = 0, Close = 0;
  };
  // Finds the executable comments of the source: those the server version
  // option runs are read as the SQL they hold, the others are passed as
  // comments, each with a note.
  void FindExecComments();
  // The highest version number the server version option runs.
  std::uint32_t ExecVersionLimit() const;
  bool MariaDBVersion() const;
  // The comment read as SQL that opens at `open`, or none.
  const TExecComment* ExecCommentAt(std::size_t open) const;
  // The comment read as SQL whose text holds index `at`, or none.
  const TExecComment* ExecCommentAround(std::size_t at) const;
  // Passes the opening or the "*/" of an executable comment at the
  // current character; false when none stands there.
  bool PassExecComment();

  // Where the token before the current one ended.
  std::size_t PrevTokenEnd() const { return prevTokenEnd_; }

  // ---- Grammar helpers ----
  bool AtStatementEnd() const;
  // Whether the token after the current one is the plain word `word`.
  bool NextWordIs(std::string_view word);
  // Whether a query, not a column list, starts at the current "(".
  bool SelectFollows();
  // A name: an identifier or a keyword used as one; a dotted name gives
  // its last part. Moves past it. False, with an error, when none is there.
  bool ReadName(std::string& name);
  bool IsNameToken() const;
  // Passes [IF NOT EXISTS] / [IF EXISTS].
  void SkipIfExists(bool withNot);
  // Passes DEFINER = user[@host].
  void SkipDefiner();
  // "(" col ["(" n ")"] [ASC|DESC] {"," ...} ")" into `list`; column
  // objects carry the prefix length and the sort order.
  void ParseKeyColumns(TFieldList& list, bool withObjects);
  // USING, COMMENT and the other index options after a key's columns.
  void ParseIndexOptions(TIdxData* index);
  // ON UPDATE / ON DELETE actions of a foreign key.
  void ParseReferentialActions(TCtrData& fk);
  // The value of a DEFAULT (or ON UPDATE) clause at the current token.
  std::string ParseDefaultValue();
  // PRIMARY KEY, UNIQUE, FOREIGN KEY, FULLTEXT, SPATIAL, KEY, INDEX,
  // CONSTRAINT and CHECK items of CREATE and ALTER TABLE; false, with
  // nothing read, when none starts here.
  bool ParseKeyItem(TTblData& table, const std::string& where);
  // A clause the grammar does not read: passed up to the next "," or ")"
  // of the enclosing list, with a note naming it.
  void SkipItem(const std::string& where);
  // A table option value: its text (string, number or name).
  std::string ReadOptionValue();
  // A body statement's new objects go to AddObject; objects found in the
  // collection are never handed on again.
  TDbObj* HandOn(std::unique_ptr<TDbObj> obj);
  // A note at the current token.
  void NoteHere(const std::string& text);
  bool LogWanted() const;
  void LogObject(const std::string& label, TDbObj& obj);
  void Notify(std::uint8_t code, const std::string& name, std::uint8_t byte1, std::uint8_t byte2);

  // ---- Statements (qorMySQLParser.cpp) ----
  // One statement of a script, its terminator included.
  void ParseScriptStatement();
  // Passes CREATE, OR REPLACE and DEFINER = user@host.
  void SkipCreatePrefix();
  void ParseCreate();
  void ParseCreateDatabase();
  void ParseDrop();
  // The view, routine or trigger `name` (`kind` as DROP names it) leaves
  // the collection, if it is there.
  void DropNamed(const std::string& kind, const std::string& name);
  void ParseSet();
  void ParseDelimiter();
  void ParseUse();
  // INSERT, UPDATE, DELETE: the table named, the rest passed.
  void ParseDml(std::uint8_t code, std::uint8_t sub);
  // A statement of data, transactions or maintenance, passed whole.
  bool BuildsNothing();

  // The routine or trigger body at the current token, read raw.
  std::string ReadBody() { return ReadRawBody(); }

  // A look-ahead that can be undone, the token ends included.
  class TLookahead {
   public:
    explicit TLookahead(TMySQLParser& parser)
        : parser_(parser),
          saved_(&parser),
          prev_(parser.prevTokenEnd_),
          end_(parser.tokenEnd_),
          line_(parser.tokenLine_),
          column_(parser.tokenColumn_) {}
    void Undo() {
      TParseContext::Restore(parser_, saved_);
      parser_.prevTokenEnd_ = prev_;
      parser_.tokenEnd_ = end_;
      parser_.tokenLine_ = line_;
      parser_.tokenColumn_ = column_;
    }

   private:
    TMySQLParser& parser_;
    TParseContext saved_;
    std::size_t prev_, end_;
    std::int32_t line_, column_;
  };

  std::unique_ptr<TMySQLServerOptions> serverOptions_;
  std::vector<TExecComment> execComments_;     // read as SQL, by position
  std::vector<TExecComment> skippedComments_;  // passed as comments, by position
  bool serial_ = false;                        // the type just read was SERIAL
  TDbObj* reparsed_ = nullptr;                 // the object whose stored text is parsed; not owned
  std::size_t prevTokenEnd_ = 0;
  std::size_t tokenEnd_ = 0;
  std::int32_t tokenLine_ = 1;    // 1-based line of the current token
  std::int32_t tokenColumn_ = 1;  // 1-based column of the current token
};

}  // namespace qor
