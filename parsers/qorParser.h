// The tokenizer and recursive-descent framework every dialect parser stands
// on: the keyword list, the scanner and parser base TCustomParser, the saved
// scanner state TParseContext (also one level of the alias scope stack), and
// two small text routines of the MS SQL extractor.
//
// A parser reads one source text at a time, held in memory as a string.
// Positions inside are 0-based character indexes; lines and columns are
// turned into the numbers people read only where they are shown (messages,
// traces, dependency edges). Reading beyond the end yields the end-of-text
// character 0 and never touches memory outside the text.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/qorMsgMngr.h"
#include "base/qorTypes.h"
#include "parsers/keywords/qorResWord.h"
#include "platform/qorNameList.h"
#include "platform/qorObject.h"
#include "platform/qorSets.h"

namespace qor {

class TCustomParser;
class TDbObj;
class TExtractorHost;
class TFldData;
class TObjs;

// A token kind: 0 to 29 shared (kSharedTokenKinds), 30 and above the keyword
// kinds of a dialect table. Always below 256, so a TKindSet can hold it.
using TTokenKind = int;

// A set of token kinds built from a list, for SkipTo.
TKindSet KindSet(std::initializer_list<TTokenKind> kinds);

// The keyword list of one parser: sorted, looked up case-insensitively, each
// word carrying its token kind. A word added twice keeps its first kind.
// Lookups of ASCII words go through a hash index of the ASCII upper-case
// names, compared as bytes, and allocate nothing; only a list or a word with
// other characters takes the Unicode-aware comparison the list is sorted by.
class TResWordList {
 public:
  TResWordList() = default;

  int Count() const { return words_.Count(); }
  const std::string& Name(int index) const { return words_.Name(index); }
  // The kind stored with the entry at `index`.
  TTokenKind KindOf(int index) const { return words_.Value(index); }
  // The name of the alphabetically last entry carrying `kind`, or "<???>".
  const std::string& NameOfKind(TTokenKind kind) const;
  // Kinds outside 0..255 are refused: no token could carry them.
  void AddWord(std::string name, TTokenKind kind);
  void AddWords(TResWordTable table);
  // The kind of `word` (compared case-insensitively), or 1 when absent.
  TTokenKind Lookup(std::string_view word) const;
  // The same for a word whose key its scanner made while reading it.
  // Inline: the scanner asks it for every name.
  TTokenKind Lookup(std::string_view word, const TResWordHash::TWordKey& key) const {
    if (indexValid_ && asciiNames_ && key.Ascii) return index_.KindOfKey(key);
    return LookupUnindexed(word, key);
  }
  void Clear();

 private:
  void BuildIndex() const;
  TTokenKind LookupUnindexed(std::string_view word, const TResWordHash::TWordKey& key) const;

  TBasicNameList<TTokenKind> words_{true};
  // NameOfKind answers from this table, rebuilt after a change, so naming
  // the current token costs no walk of the list.
  mutable std::array<std::string, 256> names_;
  mutable bool namesValid_ = false;
  // Lookup's index, rebuilt after a change; unused while a name has bytes
  // beyond ASCII, whose case folding bytes cannot decide.
  mutable TResWordHash index_;
  mutable bool indexValid_ = false;
  mutable bool asciiNames_ = true;
};

// Saved scanner state and one level of the alias scope stack. Everything a
// token scan changes is saved, so restoring a context fully undoes a
// look-ahead, token values included.
class TParseContext : public TObject {
 public:
  // Captures the state of `owner` (which may be none).
  explicit TParseContext(TCustomParser* owner);
  const char* ClassName() const override { return "TParseContext"; }

  static void Save(const TCustomParser& parser, TParseContext& context);
  static void Restore(TCustomParser& parser, const TParseContext& context);

  // Appends a relation and its alias (empty when none) at the same index.
  void AddRelation(std::string name, std::string alias);

  TCustomParser* Owner;
  std::vector<std::string> Relations;
  std::vector<std::string> Aliases;  // same index as the relation it names
  bool Active = false;

  // The saved scanner state; read-only to everyone but the parser.
  struct TScanState {
    std::size_t Pos = 0;       // index of the next character to read
    std::int32_t Line = 0;     // 0-based line of the current character
    std::int32_t Column = -1;  // 0-based column; -1 before the first
    char Cur = 0;              // current character, 0 at the end
    bool AtEnd = true;         // no current character
    TTokenKind Kind = 0;
    std::size_t TokenStart = 0;
    // The token's two texts. The scanner mostly leaves only their place in
    // the source (At, Length) and how to read it; the text is made in the
    // buffer when first asked for (IdentText, TokenText).
    enum class TText : std::uint8_t {
      Empty,        // no text
      Source,       // the source bytes as they stand
      SourceUpper,  // the source bytes upper-cased (a plain name)
      Made,         // the buffer holds it
    };
    mutable TText IdentState = TText::Empty;
    mutable TText TextState = TText::Empty;
    std::size_t IdentAt = 0, IdentLength = 0;
    std::size_t TextAt = 0, TextLength = 0;
    mutable std::string IdentBuf;
    mutable std::string TextBuf;
    std::int64_t IntValue = 0;
    double FloatValue = 0.0;
    char Quote = 0;
  };
  TScanState State;
};

// What the trace switches can show in the log.
enum class TParserTrace : std::uint8_t { trTokens, trComments, trExpressions };
using TParserTraces = TEnumSet<TParserTrace, 3>;

// A statement report: sender, statement text, statement code, result (0
// before the call), extra text, two bytes chosen by the caller, object name.
using TStatementEvent =
    std::function<void(TObject* Sender, const std::string& StatementText, std::uint8_t Code,
                       int& Result, const std::string& ExtraText, std::uint8_t Byte1,
                       std::uint8_t Byte2, const std::string& ObjectName)>;
using TWarningEvent = std::function<void(TObject* Sender, const std::string& Text)>;

class TCustomParser : public TObject {
 public:
  // Deeper nesting than this is refused by TNestingGuard with an error.
  static constexpr int kMaxNesting = 200;

  // `owner`: the extractor the parser works for, or none; with an owner
  // linked to a structure the target collection is that structure's.
  // `serverType`: the dialect's type, stored as it is (the collection's own
  // type is the extractor's to set).
  explicit TCustomParser(TExtractorHost* owner,
                         TDatabaseType serverType = TDatabaseType::dbAbstract);
  ~TCustomParser() override;
  const char* ClassName() const override { return "TCustomParser"; }

  // ---- Configuration ----
  TExtractorHost* Owner() const { return owner_; }
  TObjs* Objs() const { return objs_; }
  void SetObjs(TObjs* objs) { objs_ = objs; }
  TDatabaseType GetServerType() const { return serverType_; }
  // Also passes the type on to the target collection.
  virtual void SetServerType(TDatabaseType value);
  const std::string& Terminator() const { return terminator_; }
  // Refuses an empty text with an error (an empty terminator would match
  // everywhere) and keeps the current one; returns whether it was set.
  bool SetTerminator(std::string_view text);
  virtual std::string DefaultTerminator() { return ";"; }

  // The keyword list, loaded through InitResWords on first use, when the
  // object is complete and the dialect's own InitResWords is the one run.
  TResWordList& ResWords() {
    if (!resWordsLoaded_) LoadResWords();
    return *resWords_;
  }

  std::string ScriptName;
  TCharSet IdentChars;
  TParserTraces Trace;
  bool ShowProgress = true;
  int TotalLines = 0;

  TErrorMessageEvent OnErrorMessage;
  TLogNextLineEvent OnLogNextLine;
  TWarningEvent OnWarning;
  TProgressUpdateEvent OnProgressUpdate;
  TStatementEvent OnStatement;

  // ---- Messages ----
  // The list this parser reports into: its own, or the one of the parser it
  // was told to report into.
  TMsgManager& Messages() { return *msgs_; }
  const TMsgManager& Messages() const { return *msgs_; }
  // A nested parser (an included file, a text parsed inside a statement)
  // reports into the outer parser's list, so the first-error rule spans
  // both; none goes back to the own list. `outer` must outlive the link.
  void ReportInto(TCustomParser* outer);

  // Posts `text` as an error at the current position. Only the first error
  // of the message list also reaches DoError, with PositionText appended.
  virtual void Error(const std::string& text);
  // Posts `text` as a note at the current position; no event.
  void Note(const std::string& text);
  virtual std::string PositionText();

  virtual void DoProgress();
  virtual void DoLog(const std::string& text);
  virtual void DoError(const std::string& text);
  virtual void DoWarning(const std::string& text);
  virtual void DoStatement(const std::string& statementText, std::uint8_t code, int& result,
                           const std::string& extraText, std::uint8_t byte1, std::uint8_t byte2,
                           const std::string& objectName);
  // Reports the statement from StatementStart to the current token.
  virtual void NotifyStatement(std::uint8_t code, const std::string& objectName, int& result,
                               const std::string& extraText, std::uint8_t byte1,
                               std::uint8_t byte2);

  // ---- Source ----
  void SetSource(std::string text);
  // `count` characters from index `index`, clamped to the text.
  std::string GetText(std::size_t index, std::size_t count) const;
  std::size_t GetLength() const { return source_.size(); }
  // 1-based line of the current character.
  std::int32_t GetLine() const { return scan_.Line + 1; }
  // 1-based column of the current character; 0 on a line feed.
  std::int32_t GetColumn() const { return scan_.Column + 1; }

  // ---- Tokens ----
  TTokenKind TokenKind() const { return scan_.Kind; }
  // The display name of the current token's kind, built when first asked
  // for after each token.
  const std::string& CurTokenName() const;
  // Index of the current token's first character.
  std::size_t TokenStart() const { return scan_.TokenStart; }
  // The name text (a plain name upper-cased, a keyword as written) and the
  // literal text (a number's characters, a string's contents) of the
  // current token; each made from the source when first asked for after
  // the token was scanned, so the grammar pays only for what it reads.
  const std::string& IdentText() const {
    const TParseContext::TScanState& s = scan_;
    if (s.IdentState != TText::Made) MakeText(s.IdentState, s.IdentBuf, s.IdentAt, s.IdentLength);
    return scan_.IdentBuf;
  }
  const std::string& TokenText() const {
    const TParseContext::TScanState& s = scan_;
    if (s.TextState != TText::Made) MakeText(s.TextState, s.TextBuf, s.TextAt, s.TextLength);
    return scan_.TextBuf;
  }
  std::int64_t IntValue() const { return scan_.IntValue; }
  double FloatValue() const { return scan_.FloatValue; }
  char QuoteChar() const { return scan_.Quote; }
  char CurChar() const { return scan_.Cur; }
  bool AtEnd() const { return scan_.AtEnd; }
  // Index of the next character to read; the current one sits before it.
  std::size_t ReadPos() const { return scan_.Pos; }
  // Where the current statement began; set by the dialect statement loops.
  std::size_t StatementStart = 0;

  // The display name of `kind`.
  virtual std::string TokenName(TTokenKind kind);

  // ---- Scanning ----
  // Moves to the next character; returns it (0 at the end). Inline: the
  // scanner calls it for nearly every character.
  [[gnu::always_inline]] char NextChar() {
    TParseContext::TScanState& s = scan_;
    if (s.Pos >= source_.size()) return PassEnd();
    const char c = source_[s.Pos++];
    s.AtEnd = false;
    if (c == '\n' || c == 26) return PassSpecial(c);
    ++s.Column;
    s.Cur = c;
    return c;
  }
  char PeekChar() const { return CharAt(scan_.Pos); }
  char PeekChar2() const { return CharAt(scan_.Pos + 1); }
  // Scans the next token. Always moves on while text remains.
  virtual void NextToken();
  // The text of a parenthesised expression, outer parentheses included.
  virtual void ScanExpression(std::string& text);
  // Passes the rest of the line and its line feed.
  virtual void SkipLine();

  // ---- Grammar helpers ----
  // Whether the token is kind `kind`; otherwise an error "Missing: ...". For
  // a wanted number a leading sign is joined to the token text.
  virtual bool Expect(TTokenKind kind);
  virtual bool ExpectAndNext(TTokenKind kind);
  virtual bool NextAndExpect(TTokenKind kind);
  // A plain identifier (never a keyword) equal to `word`, any case.
  virtual bool IsWord(std::string_view word);
  virtual bool ExpectWord(std::string_view word);
  // The integer token's value when it fits 32 bits; otherwise an error.
  bool Int32Value(std::int32_t& value);
  // "(" length [, scale] ")" into the column; length 9, scale 0 without.
  virtual void ParseLengthScale(TFldData& column);

  // Hands a finished object on: to the owner's filter, else to the target
  // collection. Returns the object when it is held; a rejected object is
  // freed when `freeIfRejected`, else left in `obj`.
  virtual TDbObj* AddObject(std::unique_ptr<TDbObj>& obj, bool freeIfRejected);

  // ---- Parsing ----
  // Statement loop over the current source; dialects dispatch here.
  virtual void ParseText();
  virtual void ParseScript(const std::vector<std::string>& lines, TObjs* collection);
  // Reads the whole file into memory (UTF-16 with its byte-order mark is
  // converted) and parses it. False, with an error, when it cannot be read.
  virtual bool ParseFile(const std::string& fileName, TObjs* collection);
  virtual void AfterParse() {}
  virtual std::string CommentText(std::string_view text);

  // ---- Scope stack ----
  // Pushes a level holding the current scanner state.
  TParseContext& PushScope();
  // Pops and frees the top level; nothing when the stack is empty.
  void PopScope();
  int ScopeCount() const { return static_cast<int>(scopes_.size()); }
  TParseContext& Scope(int i) { return *scopes_[static_cast<std::size_t>(i)]; }
  TParseContext* TopScope() { return scopes_.empty() ? nullptr : scopes_.back().get(); }

  // Guards one level of a recursive grammar rule. Beyond kMaxNesting levels
  // Ok() is false and an error is reported (once per source text); the rule
  // must then return without descending.
  class TNestingGuard {
   public:
    explicit TNestingGuard(TCustomParser& parser);
    ~TNestingGuard() { --parser_.nesting_; }
    TNestingGuard(const TNestingGuard&) = delete;
    TNestingGuard& operator=(const TNestingGuard&) = delete;
    bool Ok() const { return ok_; }

   private:
    TCustomParser& parser_;
    bool ok_;
  };

 protected:
  friend class TParseContext;

  // The keyword kind of the identifier text (ASCII upper-cased), or 1.
  virtual TTokenKind LookupKeyword();
  // The two texts for a scanner that builds or changes them: made first,
  // then the caller's to edit in place.
  std::string& IdentBuffer() {
    IdentText();
    return scan_.IdentBuf;
  }
  std::string& TextBuffer() {
    TokenText();
    return scan_.TextBuf;
  }
  virtual void InitResWords();
  // Whether the terminator starts at the current character; if so the
  // token is kind 12 and the terminator is consumed. One byte decides for
  // nearly every token; the whole terminator is compared only where its
  // first character stands.
  bool CheckTerminator() {
    if (scan_.AtEnd || terminator_.empty() || source_[scan_.Pos - 1] != terminator_[0])
      return false;
    return PassTerminator();
  }
  // Scans one token at the current character. Returns false when nothing
  // was produced (a bad character was reported and skipped) so that
  // NextToken scans on.
  virtual bool ScanToken();
  // Reads a name at the current character; its text stays in the source
  // until asked for.
  void ScanIdent();
  void ScanNumber();
  void ScanQuoted(std::string& result);
  // Skips white space (and, in SQL, comments); true when it moved.
  // NextToken calls it only while the current character is in WhiteStarts:
  // an override that passes more adds the characters that begin it.
  virtual bool SkipWhite() { return PassBlanks(); }
  TCharSet WhiteStarts;
  // Clears the token values and skips blanks, TAB, CR and LF.
  void SkipBlanks() {
    identKeyed_ = false;
    scan_.IdentState = TText::Empty;
    scan_.TextState = TText::Empty;
    scan_.Quote = 0;
    PassBlanks();
  }
  // Runs once on every token NextToken produces.
  virtual void AfterToken() {}

  // Reports a character that starts no token and passes it (a whole UTF-8
  // sequence counts as one character).
  void InvalidChar();
  // Moves on until the character at `index` is the current one (the end
  // when `index` is the text's length or beyond): the same as calling
  // NextChar that often, line feeds passed included, without the calls.
  // Nothing happens when `index` is not after the current character.
  void AdvanceTo(std::size_t index);
  // Upper-cases the identifier text: ASCII by bytes, anything else with
  // the Unicode-aware mapping. Allocates nothing for ASCII; a text still
  // in the source is only marked to be made upper-cased.
  void UpperIdent();
  // An error of the scanner itself: held back while Expect looks ahead.
  void ScanError(const std::string& text);
  // The extractor of the target collection's structure, or none.
  TExtractorHost* LinkedExtractor() const;
  // Index of the current character; the text's length at the end.
  std::size_t CurIndex() const { return scan_.AtEnd ? source_.size() : scan_.Pos - 1; }
  bool IsBlank(char c) const { return InBits(c, kBlankBits); }
  char CharAt(std::size_t index) const { return index < source_.size() ? source_[index] : '\0'; }
  const std::string& Source() const { return source_; }
  // A ParseFile source may come with a byte-order mark.
  static std::string DecodeFileText(std::string bytes);

  TParseContext::TScanState scan_;
  using TText = TParseContext::TScanState::TText;

 private:
  // The current token's name is asked for far less often than tokens are
  // scanned, so it is built on request.
  void ResetTokenName() {
    tokenName_ = kSharedTokenKinds[0].Name;
    tokenNameValid_ = true;
  }
  char PassEnd() {
    scan_.Cur = '\0';
    scan_.AtEnd = true;
    return '\0';
  }
  // A line feed (a new line, reported as progress) or Ctrl-Z.
  char PassSpecial(char c);
  void LoadResWords();
  void BuildIdentTable();
  // Sets a token text buffer to `n` source bytes from `start`.
  void SetTokenText(std::string& dst, std::size_t start, std::size_t n) const;
  // Makes a token text in its buffer from what the scanner left of it.
  void MakeText(TText& state, std::string& buf, std::size_t at, std::size_t length) const;
  // Upper-cases a name text in place (see UpperIdent).
  void UpperText(std::string& t) const;
  // The bytes of the name text as it stands, made or not: for the keyword
  // lookup, which ignores case.
  std::string_view IdentBytes() const;

  // The digits of an integer with nothing after them that could make it a
  // float, passed in one step; false, with nothing passed, for any other
  // number.
  bool PassPlainInteger();

  // The terminator at the current character, whose first byte matched.
  bool PassTerminator();

  void ReportDeadlock();
  void TraceToken();

  // Bit c set for each byte c (below 64) of a class: one test instead of a
  // chain of compares.
  static constexpr std::uint64_t kBlankBits =
      (1ull << ' ') | (1ull << '\t') | (1ull << '\r') | (1ull << '\n');
  static bool InBits(char c, std::uint64_t bits) {
    const auto u = static_cast<unsigned char>(c);
    return u < 64 && ((bits >> u) & 1) != 0;
  }
  // Passes blanks (and Ctrl-Z) up to the next other character; true when
  // it moved.
  bool PassBlanks() {
    if (scan_.AtEnd || !IsBlank(scan_.Cur)) return false;
    PassBlankRun();
    return true;
  }
  void PassBlankRun();

  // The key of the name ScanIdent read last (identKeyed_ while it is the
  // current token's): the keyword lookup hashes it and a plain name takes
  // its upper-case text from it, neither reading the bytes again.
  TResWordHash::TWordKey identKey_;
  bool identKeyed_ = false;
  bool IdentKeyFits(std::size_t length) const { return identKeyed_ && identKey_.Length == length; }

  // IdentChars as a byte table for the name loop, rebuilt when it changed.
  std::array<bool, 256> identTable_{};
  TCharSet identTableOf_;
  bool identRunPlain_ = false;
  mutable std::string tokenName_;
  mutable bool tokenNameValid_ = true;

  TExtractorHost* owner_;
  TObjs* objs_ = nullptr;
  TDatabaseType serverType_;
  std::string terminator_ = ";";
  std::string source_;
  std::unique_ptr<TMsgManager> ownMsgs_;
  TMsgManager* msgs_;
  std::unique_ptr<TResWordList> resWords_;
  bool resWordsLoaded_ = false;
  std::vector<std::unique_ptr<TParseContext>> scopes_;
  int nesting_ = 0;
  bool nestingReported_ = false;
  // Errors met while Expect looks ahead: posted when the look-ahead is
  // kept, dropped when it is undone (the tokens are scanned again).
  std::vector<std::string>* lookaheadErrors_ = nullptr;
};

// Line breaks made CR LF; each line right-trimmed and the whole trimmed of
// characters below 33.
std::string NormalizeScriptText(std::string_view text);

// While the text is "((" ... "))" and its first parenthesis closes at its
// last character, one pair of outer parentheses is removed.
std::string StripOuterParens(std::string_view text);

}  // namespace qor
