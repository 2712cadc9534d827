// The MySQL scanner (backtick names, "@" variables and hosts, "#" comments,
// character-set introducers), the statement loop with DELIMITER, the CREATE,
// DROP and SET dispatchers, the re-parse entry of the extractor and the
// prefixed errors.
#include "parsers/mysql/qorMySQLParser.h"

#include <algorithm>

#include "base/qorMsgMngr.h"
#include "base/qorMySQLVersions.h"
#include "model/qorClasses.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "model/qorExtractorHost.h"
#include "parsers/keywords/qorMySQLKeywords.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsNameChar(char c) {
  return IsLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
         static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

// Quotes are doubled inside, and a backslash escapes the next character in
// a literal but not in a name.
std::size_t PassLiteralOrComment(const std::string& src, std::size_t i, bool* open) {
  const std::size_t n = src.size();
  const char c = src[i];
  if (c == '\'' || c == '"' || c == '`') {
    std::size_t j = i + 1;
    while (j < n) {
      if (src[j] == '\\' && c != '`') {
        j += 2;
        continue;
      }
      if (src[j] == c) {
        if (j + 1 < n && src[j + 1] == c) {
          j += 2;
          continue;
        }
        break;
      }
      ++j;
    }
    if (open) *open = j >= n;
    return std::min(j + 1, n);
  }
  const bool dashes = c == '-' && i + 1 < n && src[i + 1] == '-' &&
                      (i + 2 >= n || static_cast<unsigned char>(src[i + 2]) <= ' ');
  if (c == '#' || dashes) {
    const std::size_t lf = src.find('\n', i);
    return lf == std::string::npos ? n : lf;
  }
  if (c == '/' && i + 1 < n && src[i + 1] == '*') {
    const std::size_t close = src.find("*/", i + 2);
    if (open) *open = close == std::string::npos;
    return close == std::string::npos ? n : close + 2;
  }
  return i;
}

namespace {

// The "*/" that ends the executable comment whose text starts at `from`:
// literals, quoted names and comments inside are passed whole, so a "*/"
// in a quoted name ends nothing. npos when there is none.
std::size_t FindExecClose(const std::string& src, std::size_t from) {
  std::size_t i = from;
  while (i < src.size()) {
    if (src[i] == '*' && i + 1 < src.size() && src[i + 1] == '/') return i;
    const std::size_t past = PassLiteralOrComment(src, i);
    i = past > i ? past : i + 1;
  }
  return std::string::npos;
}

}  // namespace

// ------------------------------------------------------------ construction

TMySQLParser::TMySQLParser(TExtractorHost* owner)
    : TCustomSQLParser(owner, TDatabaseType::dbMySQL),
      serverOptions_(std::make_unique<TMySQLServerOptions>()) {
  SetServerType(TDatabaseType::dbMySQL);
  WhiteStarts.Include('#');
  // Unquoted names may hold any character beyond ASCII.
  IdentChars.IncludeRange(static_cast<char>(0x80), static_cast<char>(0xFF));
}

TMySQLParser::~TMySQLParser() = default;

void TMySQLParser::InitResWords() {
  TCustomParser::InitResWords();
  ResWords().AddWords(MySQLKeywordTable());
}

bool TMySQLParser::CaseSensitive() const {
  if (const TObjs* objs = Objs())
    return objs->MySQLServerOptions.MySQLCompareOptions.CaseSensitiveIdentifiers;
  return serverOptions_->MySQLCompareOptions.CaseSensitiveIdentifiers;
}

std::string TMySQLParser::FoldName(std::string_view name) const {
  return CaseSensitive() ? std::string(name) : UpperLocale(name);
}

// ------------------------------------------------------------------ scanner

bool TMySQLParser::ScanToken() {
  TParseContext::TScanState& s = scan_;
  s.TokenStart = CurIndex();
  s.Quote = 0;
  tokenLine_ = GetLine();
  tokenColumn_ = GetColumn();
  if (CheckTerminator()) return true;
  const char c = s.Cur;
  if (c == '`') {
    ScanBacktickName();
    return true;
  }
  if (IsLetter(c) || static_cast<unsigned char>(c) >= 0x80 ||
      (c == '_' && IsNameChar(PeekChar()))) {
    ScanIdent();
    s.Kind = tk::Ident;
    // "_latin1'text'": a character-set introducer before a literal.
    if (c == '_' && (NextCharIs('\'') || NextCharIs('"'))) {
      s.Kind = myk::CharsetIntroducer;
      return true;
    }
    if (c != '_') s.Kind = LookupKeyword();
    if (s.Kind == tk::Ident && !CaseSensitive()) UpperIdent();
    return true;
  }
  if (c == '@') {
    // @name, @@name, and the host part of user@host: one identifier.
    std::string prefix = "@";
    NextChar();
    if (!AtEnd() && s.Cur == '@') {
      prefix += '@';
      NextChar();
    }
    if (AtEnd() || !(IsNameChar(s.Cur) || s.Cur == '`' || s.Cur == '\'' || s.Cur == '"')) {
      s.Kind = prefix.size() == 1 ? tk::At : tk::Ident;
      IdentBuffer() = prefix;
      return true;
    }
    if (s.Cur == '`') {
      ScanBacktickName();
    } else if (s.Cur == '\'' || s.Cur == '"') {
      std::string& text = TextBuffer();
      ScanQuoted(text);
      IdentBuffer() = FoldName(text);
      text.clear();
    } else {
      ScanIdent();
      if (!CaseSensitive()) UpperIdent();
    }
    IdentBuffer().insert(0, prefix);
    s.Kind = tk::Ident;
    return true;
  }
  if ((c == '|' && PeekChar() != '|') || c == '^' || c == '~') {
    // The other bit operators: only ever inside expression texts, which
    // are kept as written, so they share the kind of "&".
    NextChar();
    s.Kind = tk::Ampersand;
    return true;
  }
  return TCustomSQLParser::ScanToken();
}

void TMySQLParser::ScanBacktickName() {
  // Backticks double a backtick inside; a backslash is an ordinary
  // character in a name.
  TParseContext::TScanState& s = scan_;
  const std::int32_t line = GetLine(), col = GetColumn();
  std::string& name = IdentBuffer();
  name.clear();
  NextChar();
  for (;;) {
    if (AtEnd()) {
      ScanError("Unterminated name (opened at line " + IntToStr(line) + ", column " +
                IntToStr(col) + ").");
      break;
    }
    if (s.Cur == '`') {
      if (PeekChar() == '`' && ReadPos() < GetLength()) {
        name += '`';
        NextChar();
        NextChar();
        continue;
      }
      NextChar();
      break;
    }
    name += s.Cur;
    NextChar();
  }
  s.Kind = tk::Ident;
  s.Quote = '`';
  if (!CaseSensitive()) UpperIdent();
}

void TMySQLParser::AfterToken() {
  prevTokenEnd_ = tokenEnd_;
  tokenEnd_ = CurIndex();
}

bool TMySQLParser::SkipWhite() {
  if (AtEnd()) return false;
  if (CurChar() == '#') return SkipComment();
  if (((CurChar() == '/' && PeekChar() == '*') || (CurChar() == '*' && PeekChar() == '/')) &&
      PassExecComment())
    return true;
  // "--" starts a comment only before a blank or a control character:
  // a--1 is a minus and a negative number.
  if (CurChar() == '-' && PeekChar() == '-' && static_cast<unsigned char>(PeekChar2()) > ' ' &&
      ReadPos() + 1 < GetLength())
    return TCustomParser::SkipWhite();
  return TCustomSQLParser::SkipWhite();
}

bool TMySQLParser::SkipComment() {
  if (AtEnd() || CurChar() != '#') return TCustomSQLParser::SkipComment();
  const std::string& src = Source();
  const std::size_t start = CurIndex() + 1;
  std::size_t lf = src.find('\n', start);
  if (lf == std::string::npos) lf = src.size();
  LastCommentText.assign(src, start, lf - start);
  // The scanner stops on the line feed.
  AdvanceTo(lf);
  if (Trace.Contains(TParserTrace::trComments)) DoLog("Comment: " + LastCommentText);
  return true;
}

bool TMySQLParser::NextCharIs(char c) const {
  const std::string& src = Source();
  for (std::size_t i = CurIndex(); i < src.size(); ++i) {
    const char d = src[i];
    if (d == ' ' || d == '\t' || d == '\r' || d == '\n') continue;
    return d == c;
  }
  return false;
}

std::string TMySQLParser::ReadParenthesised() {
  std::string text;
  ScanExpression(text);
  NextToken();
  return text;
}

std::string TMySQLParser::ReadRawBody() {
  if (TokenKind() == tk::Terminator || TokenKind() == tk::EOFKind) return {};
  const std::string& src = Source();
  const std::string& term = Terminator();
  const std::size_t start = TokenStart();
  std::size_t i = start, stop = src.size(), open = std::string::npos;
  // A body inside an executable comment ends where the comment does.
  std::size_t limit = src.size();
  if (const TExecComment* around = ExecCommentAround(start)) limit = around->Close;
  auto termAt = [&](std::size_t at) {
    if (at + term.size() > src.size()) return false;
    for (std::size_t k = 0; k < term.size(); ++k)
      if (UpperAsciiChar(src[at + k]) != UpperAsciiChar(term[k])) return false;
    return true;
  };
  while (i < src.size()) {
    if (i >= limit || termAt(i)) {
      stop = std::min(i, limit);
      break;
    }
    // A literal, a quoted name or a comment is passed whole: the
    // terminator inside one does not end the body.
    if (const TExecComment* inner = src[i] == '/' ? ExecCommentAt(i) : nullptr) {
      i = inner->Close + 2;
      continue;
    }
    bool unclosed = false;
    const std::size_t past = PassLiteralOrComment(src, i, &unclosed);
    if (unclosed) open = i;
    i = past > i ? past : i + 1;
  }
  if (stop > src.size()) stop = src.size();
  std::string body =
      TrimCtl(NormalizeLineBreaks(std::string_view(src).substr(start, stop - start)));
  // The scanner moves on to the terminator, which becomes the current token.
  if (stop >= CurIndex()) {
    // One left open ran to the end of the script, every statement after it
    // (and the terminator our own script would write) inside.
    if (open != std::string::npos && open >= CurIndex()) {
      AdvanceTo(open);
      const char c = src[open];
      const std::string what = c == '`' ? "name" : c == '/' ? "comment" : "string";
      const std::int32_t line = GetLine(), col = GetColumn();
      AdvanceTo(stop);
      ScanError("Unterminated " + what + " (opened at line " + IntToStr(line) + ", column " +
                IntToStr(col) + ").");
    }
    AdvanceTo(stop);
    NextToken();
  }
  return body;
}

std::string TMySQLParser::ReadQueryText() {
  std::string text = ReadRawBody();
  while (!text.empty() && text.back() == ';') text = TrimCtlRight(text.substr(0, text.size() - 1));
  // One further in it ends the statement there for the server, and would
  // end it there in our script.
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == ';') {
      Error("The query goes on after its \";\": " + text.substr(i, 40));
      break;
    }
    const std::size_t past = PassLiteralOrComment(text, i);
    i = past > i ? past : i + 1;
  }
  return text;
}

// ---------------------------------------------------- executable comments

std::uint32_t TMySQLParser::ExecVersionLimit() const {
  const TMySQLServerVersionType v =
      Objs() ? Objs()->MySQLServerOptions.SQLServerVersion : serverOptions_->SQLServerVersion;
  using V = TMySQLServerVersionType;
  switch (v) {
    case V::st_MySQL_3x: return 39999;
    case V::st_MySQL_4x: return 49999;
    case V::st_MySQL_5x: return 59999;
    case V::st_MySQL_8x: return 99999;
    case V::st_MariaDB_10x: return 109999;
  }
  return 59999;
}

bool TMySQLParser::MariaDBVersion() const {
  const TMySQLServerVersionType v =
      Objs() ? Objs()->MySQLServerOptions.SQLServerVersion : serverOptions_->SQLServerVersion;
  return MySQLCaps(v).mariaDbComments;
}

void TMySQLParser::FindExecComments() {
  execComments_.clear();
  skippedComments_.clear();
  const std::string& src = Source();
  const std::uint32_t limit = ExecVersionLimit();
  const bool maria = MariaDBVersion();
  std::size_t counted = 0;
  std::int32_t line = 1, lineStart = 0;
  auto noteAt = [&](std::size_t at, const std::string& text) {
    for (; counted < at; ++counted)
      if (src[counted] == '\n') {
        ++line;
        lineStart = static_cast<std::int32_t>(counted) + 1;
      }
    Messages().AddMsg(text, ScriptName, static_cast<std::int32_t>(at) - lineStart + 1, line,
                      kMsgNote);
  };
  std::size_t i = 0;
  while (i < src.size()) {
    const bool opens = src[i] == '/' && CharAt(i + 1) == '*' &&
                       (CharAt(i + 2) == '!' || (CharAt(i + 2) == 'M' && CharAt(i + 3) == '!'));
    if (!opens) {
      const std::size_t past = PassLiteralOrComment(src, i);
      i = past > i ? past : i + 1;
      continue;
    }
    // "/*!" with five digits runs from that MySQL version on, "/*M!" only
    // on MariaDB, whose versions may take six digits; no digits, always.
    const bool mariaOnly = CharAt(i + 2) == 'M';
    std::size_t text = i + (mariaOnly ? 4 : 3), digits = 0;
    while (digits < 6 && text + digits < src.size() && src[text + digits] >= '0' &&
           src[text + digits] <= '9')
      ++digits;
    if (digits < 5) digits = 0;
    else if (digits == 6 && !mariaOnly && !maria) digits = 5;
    std::uint32_t version = 0;
    for (std::size_t k = 0; k < digits; ++k)
      version = version * 10 + static_cast<std::uint32_t>(src[text + k] - '0');
    text += digits;
    const std::size_t close = FindExecClose(src, text);
    // Unterminated: the comment scanner reports it.
    if (close == std::string::npos) break;
    const bool read = (mariaOnly ? maria : true) && version <= limit;
    if (read) {
      execComments_.push_back({i, text, close});
    } else {
      skippedComments_.push_back({i, text, close});
    }
    // MySQL reads "/*M!" as a plain comment: nothing to say of it.
    if (!read && (!mariaOnly || maria)) {
      std::string shown =
          ReplaceAll(NormalizeLineBreaks(TrimCtl(std::string_view(src).substr(text, close - text))),
                     "\r\n", " ");
      if (shown.size() > 60) shown = shown.substr(0, 57) + "...";
      noteAt(i,
             "Not read: executable comment for server version " + IntToStr(version) + ": " + shown);
    }
    i = close + 2;
  }
  if (execComments_.empty()) WhiteStarts.Exclude('*');
  else WhiteStarts.Include('*');
}

const TMySQLParser::TExecComment* TMySQLParser::ExecCommentAt(std::size_t open) const {
  auto it = std::lower_bound(execComments_.begin(), execComments_.end(), open,
                             [](const TExecComment& c, std::size_t at) { return c.Open < at; });
  return it != execComments_.end() && it->Open == open ? &*it : nullptr;
}

const TMySQLParser::TExecComment* TMySQLParser::ExecCommentAround(std::size_t at) const {
  auto it = std::upper_bound(execComments_.begin(), execComments_.end(), at,
                             [](std::size_t a, const TExecComment& c) { return a < c.Open; });
  if (it == execComments_.begin()) return nullptr;
  --it;
  return it->Text <= at && at < it->Close ? &*it : nullptr;
}

bool TMySQLParser::PassExecComment() {
  const std::size_t at = CurIndex();
  if (CurChar() == '*') {
    // The "*/" of a comment that is read ends nothing but the comment.
    auto it = std::lower_bound(execComments_.begin(), execComments_.end(), at,
                               [](const TExecComment& c, std::size_t a) { return c.Close < a; });
    if (it == execComments_.end() || it->Close != at) return false;
    AdvanceTo(at + 2);
    return true;
  }
  if (const TExecComment* c = ExecCommentAt(at)) {
    AdvanceTo(c->Text);
    return true;
  }
  auto it = std::lower_bound(skippedComments_.begin(), skippedComments_.end(), at,
                             [](const TExecComment& c, std::size_t a) { return c.Open < a; });
  if (it == skippedComments_.end() || it->Open != at) return false;
  AdvanceTo(it->Close + 2);
  return true;
}

// ------------------------------------------------------------- grammar help

bool TMySQLParser::IsWord(std::string_view word) {
  return QuoteChar() != '`' && TCustomSQLParser::IsWord(word);
}

bool TMySQLParser::AtStatementEnd() const {
  return TokenKind() == tk::Terminator || TokenKind() == tk::EOFKind;
}

bool TMySQLParser::IsNameToken() const {
  const TTokenKind k = TokenKind();
  return k == tk::Ident || (k >= kFirstKeywordKind && k != myk::CharsetIntroducer);
}

bool TMySQLParser::ReadName(std::string& name) {
  if (!IsNameToken()) {
    Expect(tk::Ident);
    return false;
  }
  // A keyword used as a name keeps its spelling, folded by the case rule.
  name = TokenKind() == tk::Ident ? IdentText() : FoldName(IdentText());
  NextToken();
  // schema.name: the schema is dropped.
  while (TokenKind() == tk::Dot) {
    NextToken();
    if (!IsNameToken()) {
      Expect(tk::Ident);
      return false;
    }
    name = TokenKind() == tk::Ident ? IdentText() : FoldName(IdentText());
    NextToken();
  }
  return true;
}

void TMySQLParser::SkipIfExists(bool withNot) {
  if (TokenKind() != myk::If) return;
  NextToken();
  if (withNot && TokenKind() == myk::Not) NextToken();
  if (TokenKind() == myk::Exists) NextToken();
  else Expect(myk::Exists);
}

void TMySQLParser::SkipDefiner() {
  if (!IsWord("DEFINER")) return;
  NextToken();
  if (TokenKind() == tk::Equal) NextToken();
  // The user, then the host that the scanner joined into "@host".
  if (IsNameToken() || TokenKind() == tk::String) NextToken();
  if (TokenKind() == tk::Ident && StartsWith(IdentText(), "@")) NextToken();
}

TDbObj* TMySQLParser::HandOn(std::unique_ptr<TDbObj> obj) {
  if (!obj) return nullptr;
  return AddObject(obj, /*freeIfRejected=*/true);
}

bool TMySQLParser::LogWanted() const {
  if (OnLogNextLine) return true;
  TExtractorHost* ext = LinkedExtractor();
  return ext && ext->LogAssigned();
}

void TMySQLParser::LogObject(const std::string& label, TDbObj& obj) {
  if (LogWanted()) DoLog(label + obj.GetCreateSQL());
}

void TMySQLParser::Notify(std::uint8_t code, const std::string& name, std::uint8_t byte1,
                          std::uint8_t byte2) {
  NotifyStatement(code, name, StatementResult, {}, byte1, byte2);
}

// ------------------------------------------------------------ statement loop

void TMySQLParser::ParseText() {
  FindExecComments();
  NextToken();
  ParseStatementList([this] { return TokenKind() == tk::EOFKind; },
                     [this] {
                       ParseScriptStatement();
                       return true;
                     });
}

void TMySQLParser::ParseScriptStatement() {
  StatementStart = TokenStart();
  const TTokenKind k = TokenKind();
  if (k == tk::Terminator) {
    NextToken();
    return;
  }
  if (k == myk::Insert) {
    ParseDml(15, 12);
  } else if (k == myk::Update) {
    ParseDml(16, 13);
  } else if (k == myk::Delete) {
    ParseDml(17, 14);
  } else if (k == myk::Use) {
    ParseUse();
  } else if (k == myk::Alter) {
    NextToken();
    if (ExpectAndNext(myk::Table)) ParseAlterTable();
  } else if (k == myk::Set) {
    ParseSet();
  } else if (k == myk::Create) {
    ParseCreate();
  } else if (k == myk::Drop) {
    ParseDrop();
  } else if (IsWord("COMMIT")) {
    NextToken();
    Notify(5, {}, 0, 0);
  } else if (IsWord("LOCK") || IsWord("UNLOCK") || BuildsNothing()) {
    SkipTo(KindSet({tk::Terminator}));
  } else if (IsWord("DELIMITER")) {
    // Ends at the first token under the new terminator.
    ParseDelimiter();
    return;
  } else {
    Error("Missing: DDL-statement. <Proc: ParseText>");
    // One message for the statement, not one per token.
    SkipTo(KindSet({tk::Terminator}));
  }
  if (TokenKind() == tk::EOFKind) return;
  if (TokenKind() != tk::Terminator) {
    // What the statement's rule did not read: reported once, passed.
    Expect(tk::Terminator);
    SkipTo(KindSet({tk::Terminator}));
  }
  if (TokenKind() == tk::Terminator) NextToken();
}

bool TMySQLParser::BuildsNothing() {
  // Data, transaction and maintenance statements that scripts and dumps
  // hold between the DDL: nothing of the schema, so nothing to say.
  static constexpr std::string_view kWords[] = {
      "ANALYZE",   "OPTIMIZE", "REPAIR",   "CHECK", "FLUSH", "START", "BEGIN", "ROLLBACK",
      "SAVEPOINT", "RELEASE",  "TRUNCATE", "SHOW",  "DO",    "LOAD",  "XA"};
  const TTokenKind k = TokenKind();
  if (k == myk::Select || k == myk::Replace || k == myk::Call) return true;
  for (std::string_view w : kWords)
    if (IsWord(w)) return true;
  return false;
}

void TMySQLParser::ParseDml(std::uint8_t code, std::uint8_t sub) {
  NextToken();
  while (IsWord("IGNORE") || IsWord("LOW_PRIORITY") || IsWord("HIGH_PRIORITY") ||
         IsWord("DELAYED") || IsWord("QUICK"))
    NextToken();
  // INTO may be left out of an INSERT.
  if (code == 15 && TokenKind() == myk::Into) NextToken();
  if (code == 17 && !ExpectAndNext(myk::From)) return;
  std::string name;
  if (!ReadName(name)) return;
  SkipTo(KindSet({tk::Terminator}));
  Notify(code, name, sub, 1);
}

void TMySQLParser::ParseUse() {
  NextToken();
  std::string name;
  if (!ReadName(name)) return;
  ConnectionOptions.DatabaseName = name;
  Notify(0, name, 0, 0);
}

void TMySQLParser::ParseDelimiter() {
  // The delimiter is read as characters: anything up to a blank or a line
  // end, ";" and "//" alike.
  const std::string& src = Source();
  std::size_t i = CurIndex();
  while (i < src.size() && (src[i] == ' ' || src[i] == '\t')) ++i;
  std::size_t j = i;
  while (j < src.size() && src[j] != '\0' && src[j] != '\t' && src[j] != '\n' && src[j] != '\r' &&
         src[j] != ' ')
    ++j;
  if (j == i) {
    Error("Missing: DELIMITER text");
  } else {
    SetTerminator(std::string_view(src).substr(i, j - i));
  }
  if (j > CurIndex()) AdvanceTo(j);
  NextToken();
}

// ------------------------------------------------------------------- CREATE

void TMySQLParser::SkipCreatePrefix() {
  NextToken();
  // CREATE [OR REPLACE] [DEFINER = user@host] ...
  for (bool moved = true; moved;) {
    moved = false;
    if (TokenKind() == myk::Or) {
      NextToken();
      if (TokenKind() == myk::Replace) NextToken();
      else Expect(myk::Replace);
      moved = true;
    }
    if (IsWord("DEFINER")) {
      SkipDefiner();
      moved = true;
    }
  }
}

void TMySQLParser::ParseCreate() {
  SkipCreatePrefix();
  const TTokenKind k = TokenKind();
  if (k == myk::Table || k == myk::Temporary) {
    ParseCreateTable(nullptr);
  } else if (k == myk::Database || IsWord("SCHEMA")) {
    ParseCreateDatabase();
  } else if (k == myk::Sql || IsWord("ALGORITHM") || IsWord("VIEW")) {
    ParseCreateView(nullptr);
  } else if (IsWord("TRIGGER")) {
    ParseCreateTrigger(nullptr);
  } else if (IsWord("PROCEDURE") || IsWord("FUNCTION") || IsWord("AGGREGATE")) {
    ParseCreateRoutine(nullptr);
  } else if (k == myk::Index) {
    NextToken();
    ParseCreateIndex(nullptr, false, false, false);
  } else if (k == myk::Unique || k == myk::Fulltext || k == myk::Spatial) {
    NextToken();
    if (TokenKind() == myk::Index) NextToken();
    else Expect(myk::Index);
    ParseCreateIndex(nullptr, k == myk::Unique, k == myk::Fulltext, k == myk::Spatial);
  } else {
    Error("Invalid/Unknown CREATE-statement.");
    SkipTo(KindSet({tk::Terminator}));
  }
}

void TMySQLParser::ParseCreateDatabase() {
  NextToken();
  SkipIfExists(/*withNot=*/true);
  std::string name;
  if (!ReadName(name)) return;
  // Options are read and not kept.
  while (!AtStatementEnd()) {
    if (TokenKind() == myk::Default) {
      NextToken();
      continue;
    }
    if (TokenKind() == myk::Char || IsWord("CHARSET")) {
      if (TokenKind() == myk::Char) {
        NextToken();
        if (TokenKind() != myk::Set) {
          Expect(myk::Set);
          return;
        }
      }
      NextToken();
    } else if (TokenKind() == myk::Collate || IsWord("COMMENT")) {
      NextToken();
    } else {
      return;
    }
    if (TokenKind() == tk::Equal) NextToken();
    if (AtStatementEnd()) return;
    NextToken();
  }
}

// --------------------------------------------------------------------- DROP

void TMySQLParser::ParseDrop() {
  NextToken();
  if (TokenKind() == myk::Temporary) NextToken();
  const TTokenKind k = TokenKind();
  if (k == myk::Table || k == myk::Database) {
    NextToken();
    SkipIfExists(/*withNot=*/false);
    // DROP TABLE a, b: each of them.
    for (;;) {
      std::string name;
      if (!ReadName(name)) return;
      TObjs* objs = Objs();
      if (k == myk::Table && objs) {
        // The table goes with its keys, indices and triggers.
        if (TTblData* t = objs->FindTable(name)) objs->DropTable(t->GetKeyName(), t->GetName());
      }
      if (k != myk::Table || TokenKind() != tk::Comma) break;
      NextToken();
    }
    // RESTRICT / CASCADE are read and have no effect.
    if (TokenKind() == myk::Restrict || TokenKind() == myk::Cascade) NextToken();
    return;
  }
  if (IsWord("SCHEMA") || IsWord("FUNCTION") || IsWord("PROCEDURE") || IsWord("VIEW") ||
      IsWord("EVENT") || IsWord("TRIGGER")) {
    const std::string kind = UpperAscii(IdentText());
    NextToken();
    SkipIfExists(/*withNot=*/false);
    // DROP VIEW a, b: each of them. A dump drops the stand-in of each view
    // before it creates the view itself.
    for (;;) {
      std::string name;
      if (!ReadName(name)) return;
      DropNamed(kind, name);
      if (TokenKind() != tk::Comma) break;
      NextToken();
    }
    if (TokenKind() == myk::Restrict || TokenKind() == myk::Cascade) NextToken();
    return;
  }
  if (k == myk::Index) {
    NextToken();
    SkipIfExists(/*withNot=*/false);
    std::string name, table;
    if (!ReadName(name)) return;
    if (TokenKind() == myk::On) {
      NextToken();
      if (!ReadName(table)) return;
      if (TObjs* objs = Objs()) {
        if (TTblData* t = objs->FindTable(table)) table = t->GetName();
        objs->DropStored(TDbObject::dboIndex, table + "." + name);
      }
    }
    return;
  }
  if (k == tk::Ident) Error("Invalid DROP-statement (" + IdentText() + ")");
  else Error("Invalid DROP-statement (" + CurTokenName() + ")");
  SkipTo(KindSet({tk::Terminator}));
}

void TMySQLParser::DropNamed(const std::string& kind, const std::string& name) {
  TObjs* objs = Objs();
  if (!objs) return;
  TDbObj* found = nullptr;
  if (kind == "VIEW") {
    found = objs->FindView(name);
  } else if (kind == "FUNCTION" || kind == "PROCEDURE") {
    TPrcData probe(objs);
    probe.SetName(name);
    probe.IsFunction = kind == "FUNCTION";
    found = objs->FindProcedure(probe.GetKeyName());
  } else if (kind == "TRIGGER") {
    found = objs->FindTrigger(name);
  }
  if (found && found != reparsed_) objs->DropStored(found->GetKind(), found->GetKeyName());
}

// ---------------------------------------------------------------------- SET

void TMySQLParser::ParseSet() {
  NextToken();
  TMySQLServerOptions* options = Objs() ? &Objs()->MySQLServerOptions : serverOptions_.get();
  if (IsWord("FOREIGN_KEY_CHECKS")) {
    SkipTo(KindSet({tk::Terminator}));
    return;
  }
  if (IsWord("BLOBFILE")) {
    NextToken();
    if (!Expect(tk::String)) return;
    const std::string file = TokenText();
    NextToken();
    NotifyStatement(4, {}, StatementResult, file, 0, 0);
    return;
  }
  if (IsWord("NAMES")) {
    NextToken();
    if (TokenKind() == tk::String) {
      options->Names = QuotedStr(TokenText());
    } else if (IsNameToken()) {
      options->Names = IdentText();
    } else {
      Error("Unknown/Invalid SET NAMES-statement.");
      SkipTo(KindSet({tk::Terminator}));
      return;
    }
    NextToken();
    // SET NAMES x COLLATE y
    if (TokenKind() == myk::Collate) {
      NextToken();
      if (!AtStatementEnd()) NextToken();
    }
    Notify(10, options->Names, 0, 0);
    return;
  }
  if (TokenKind() == myk::Char) {
    NextToken();
    if (TokenKind() != myk::Set) {
      Error("Unknown/Invalid SET CHARACTER SET-statement.");
      SkipTo(KindSet({tk::Terminator}));
      return;
    }
    NextToken();
    if (TokenKind() == tk::String) {
      options->CharSet = TokenText();
    } else if (IsNameToken()) {
      options->CharSet = IdentText();
    } else {
      Error("Unknown/Invalid SET CHARACTER SET-statement.");
      SkipTo(KindSet({tk::Terminator}));
      return;
    }
    NextToken();
    Notify(11, options->CharSet, 0, 0);
    return;
  }
  if (IsNameToken()) {
    // name = value {, name = value}: session settings, not kept. The
    // values may be expressions, so the statement is passed whole.
    SkipTo(KindSet({tk::Terminator}));
    return;
  }
  Error("Unknown/Invalid SET-statement.");
  SkipTo(KindSet({tk::Terminator}));
}

// ---------------------------------------------------------- stored sources

void TMySQLParser::ParseObjectSource(TDbObj* obj) {
  if (!obj) return;
  auto* trigger = dynamic_cast<TTrgData*>(obj);
  if (obj->ObjectSource.empty() && (obj->GetText().empty() || !trigger)) return;
  const std::string savedTerminator = Terminator();
  SetTerminator(";");
  std::string source = obj->ObjectSource;
  if (trigger) {
    // A trigger's text is one statement whose body holds ";": it ends at
    // a terminator the text does not contain.
    std::string end = "$$";
    if (source.empty()) source = obj->GetText();
    while (source.find(end) != std::string::npos) end += '$';
    source += end;
    SetTerminator(end);
  }
  reparsed_ = obj;
  SetSource(std::move(source));
  const bool routine = dynamic_cast<TPrcData*>(obj) != nullptr;
  if (!routine) {
    // A routine's text goes through ParseText, which finds them.
    FindExecComments();
    NextToken();
    StatementStart = TokenStart();
  }
  auto skipCreate = [this]() {
    if (TokenKind() == myk::Create) SkipCreatePrefix();
  };
  if (auto* table = dynamic_cast<TTblData*>(obj)) {
    skipCreate();
    ParseCreateTable(table);
  } else if (auto* view = dynamic_cast<TViwData*>(obj)) {
    skipCreate();
    ParseCreateView(view);
  } else if (routine) {
    // The extractor wraps routine texts in DELIMITER lines.
    ParseText();
  } else if (trigger) {
    skipCreate();
    ParseCreateTrigger(trigger);
  }
  SetTerminator(savedTerminator);
  reparsed_ = nullptr;
}

// ------------------------------------------------------------------- errors

std::string TMySQLParser::PositionText() {
  return "\r\nScript: " + ScriptName + " Line:" + IntToStr(tokenLine_) +
         " Pos:" + IntToStr(tokenColumn_) + "\r\n";
}

void TMySQLParser::NoteHere(const std::string& text) {
  Messages().AddMsg(text, ScriptName, tokenColumn_, tokenLine_, kMsgNote);
}

void TMySQLParser::Error(const std::string& text) {
  TDbObj* o = reparsed_;
  if (!o) {
    if (!Messages().HasErrors()) DoError(text + PositionText());
    Messages().AddMsg(text, ScriptName, tokenColumn_, tokenLine_, kMsgError);
    return;
  }
  std::string prefix;
  if (dynamic_cast<TPrcData*>(o)) prefix = "Procedure " + o->GetName() + ": ";
  else if (dynamic_cast<TTrgData*>(o)) prefix = "Trigger " + o->GetName() + ": ";
  else if (dynamic_cast<TViwData*>(o)) prefix = "View " + o->GetName() + ": ";
  else if (dynamic_cast<TIdxData*>(o)) prefix = "Index " + o->GetName() + ": ";
  else if (auto* c = dynamic_cast<TCtrData*>(o); c && c->GetConstraintType() == ct::Check)
    prefix = "Check-constraint " + o->GetName() + ": ";
  else if (auto* f = dynamic_cast<TFldData*>(o); f && !f->GetText().empty())
    prefix = "Field " + f->GetTableName() + "/" + o->GetName() + ": ";
  else prefix = o->GetName() + ": ";
  if (!Messages().HasErrors()) DoError(prefix + text + PositionText());
  Messages().AddMsg(prefix + text, ScriptName.empty() ? o->GetName() : ScriptName, tokenColumn_,
                    tokenLine_, kMsgError);
}

}  // namespace qor
