// The InterBase/Firebird parser core: scanner rules by server version, the
// statement dispatcher, SET and INPUT, default values and bodies, and the
// linking that runs once every object of a script exists.
#include "parsers/ib/qorIBParser.h"

#include "base/qorDBOptions.h"
#include "base/qorIBVersions.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "parsers/keywords/qorIBKeywords.h"
#include "platform/qorStrings.h"

#include <algorithm>
#include <map>
#include <filesystem>
#include <limits>

namespace qor {

namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return c - 'a' + 10;
}

}  // namespace

TIbParser::TIbParser(TExtractorHost* owner) : TCustomSQLParser(owner, TDatabaseType::dbInterBase) {}

TIbParser::~TIbParser() = default;

TIBServerOptions* TIbParser::GetServerOptions() const {
  return Objs() ? &Objs()->IBServerOptions : nullptr;
}

TIBSQLServerVersionType TIbParser::ServerVersion() const {
  const TIBServerOptions* o = GetServerOptions();
  return o ? o->SQLServerVersion : TIBSQLServerVersionType::st_Firebird_25;
}

int TIbParser::SQLDialect() const {
  const TIBServerOptions* o = GetServerOptions();
  return o ? o->SQLDialect : 3;
}

void TIbParser::InitResWords() {
  TCustomSQLParser::InitResWords();
  ResWords().AddWords(IbKeywordTable());
}

TTokenKind TIbParser::LookupKeyword() {
  const TTokenKind kind = TCustomSQLParser::LookupKeyword();
  if (kind < static_cast<TTokenKind>(kSharedKindCount)) return kind;
  const TIBSQLServerVersionType v = ServerVersion();
  if (!IBCaps(v).keywordDemotion) return kind;
  return IbScannerKeywordKinds(v).test(static_cast<std::size_t>(kind)) ? kind : tk::Ident;
}

// ---- Scanner

bool TIbParser::ScanIntroducer() {
  // "_" + charset name introduces a string in that character set.
  if (scan_.Cur != '_' || !IdentChars.Contains(static_cast<unsigned char>(PeekChar())))
    return false;
  scan_.TokenStart = CurIndex();
  NextChar();
  ScanIdent();
  std::string name = "_";
  name += UpperAscii(IdentText());
  IdentBuffer() = std::move(name);
  scan_.Kind = ibk::CharsetIntroducer;
  return true;
}

bool TIbParser::ScanHexNumber() {
  NextChar();  // the 0
  NextChar();  // the x
  std::string& digits = TextBuffer();
  while (!AtEnd() && IsHexDigit(scan_.Cur)) {
    digits += scan_.Cur;
    NextChar();
  }
  scan_.Kind = tk::Integer;
  scan_.IntValue = 0;
  if (digits.empty()) {
    ScanError("Missing hexadecimal digits after 0x.");
    return true;
  }
  // Firebird reads up to 16 digits as a 64-bit two's complement value.
  if (digits.size() > 16) {
    ScanError("Hexadecimal value out of range: 0x" + digits);
    return true;
  }
  std::uint64_t v = 0;
  for (char c : digits) v = (v << 4) | static_cast<std::uint64_t>(HexValue(c));
  scan_.IntValue = static_cast<std::int64_t>(v);
  return true;
}

bool TIbParser::ScanHexString() {
  NextChar();  // the X; the quote is current
  std::string hex;
  ScanQuoted(hex);
  scan_.Kind = tk::String;
  scan_.Quote = '\'';
  std::string bytes;
  bool ok = hex.size() % 2 == 0;
  for (std::size_t i = 0; ok && i < hex.size(); i += 2) {
    if (!IsHexDigit(hex[i]) || !IsHexDigit(hex[i + 1])) {
      ok = false;
      break;
    }
    bytes += static_cast<char>(HexValue(hex[i]) * 16 + HexValue(hex[i + 1]));
  }
  if (!ok) {
    ScanError("Invalid binary string literal: X'" + hex + "'");
    bytes.clear();
  }
  TextBuffer() = std::move(bytes);
  return true;
}

bool TIbParser::ScanToken() {
  scan_.TokenStart = CurIndex();
  if (CheckTerminator()) return true;
  const char c = scan_.Cur;
  if (c == '_' && ScanIntroducer()) return true;
  if (IBCaps(ServerVersion()).hexLiterals) {
    const char d = PeekChar();
    if (c == '0' && (d == 'x' || d == 'X')) return ScanHexNumber();
    if ((c == 'x' || c == 'X') && d == '\'') return ScanHexString();
    if (c == ':' && d == '=') {
      NextChar();
      NextChar();
      scan_.Kind = ibk::Assign;
      return true;
    }
  }
  const bool produced = TCustomSQLParser::ScanToken();
  // Dialect 3: a double-quoted text is a name, its case kept.
  if (produced && scan_.Kind == tk::String && scan_.Quote == '"' && !TokenText().empty() &&
      SQLDialect() == 3) {
    scan_.Kind = tk::Ident;
    IdentBuffer() = TokenText();
  }
  return produced;
}

// ---- Grammar helpers

TTokenKind TIbParser::TableKind() {
  // Cached per token: grammar rules ask several words of one token.
  if (tableKindAt_ == TokenStart() && tableKindOf_ == TokenKind()) return tableKind_;
  tableKindAt_ = TokenStart();
  tableKindOf_ = TokenKind();
  tableKind_ = TokenKind();
  if (TokenKind() == tk::Ident && QuoteChar() == 0) tableKind_ = ResWords().Lookup(IdentText());
  return tableKind_;
}

bool TIbParser::IsKw(TTokenKind kind) { return TokenKind() == kind || TableKind() == kind; }

bool TIbParser::ExpectKw(TTokenKind kind) { return IsKw(kind) || Expect(kind); }

bool TIbParser::NextAndExpectKw(TTokenKind kind) {
  NextToken();
  return ExpectKw(kind);
}

bool TIbParser::ReadName(std::string& name) {
  name.clear();
  if (!Expect(tk::Ident)) return false;
  name = IdentText();
  return true;
}

bool TIbParser::ParseQualifiedName() {
  Qualifier.clear();
  QName.clear();
  Name3.clear();
  if (!ReadName(QName)) return false;
  NextToken();
  if (TokenKind() == tk::Dot) {
    Qualifier = QName;
    NextToken();
    if (!ReadName(QName)) return false;
    NextToken();
  }
  return true;
}

bool TIbParser::ParseColumnList(TFieldList& list, TDbObj* holder) {
  if (!ExpectAndNext(tk::LParen)) return false;
  for (;;) {
    std::string name;
    if (!ReadName(name)) return false;
    auto f = std::make_unique<TFldData>(Objs(), holder);
    f->SetName(name);
    list.Add(name, std::move(f));
    NextToken();
    if (TokenKind() != tk::Comma) break;
    NextToken();
  }
  return ExpectAndNext(tk::RParen);
}

bool TIbParser::ReadParenText(std::string& text) {
  // The expression starts at the next character; comments before it go.
  while (SkipWhite()) {
  }
  if (AtEnd() || CurChar() != '(') {
    NextToken();
    text.clear();
    return Expect(tk::LParen);
  }
  ScanExpression(text);
  NextToken();
  return !text.empty() && text.back() == ')';
}

std::string TIbParser::FormatName(std::string_view name) {
  std::string s(name);
  if (SQLDialect() != 3 || !IbNameNeedsQuotes(s, ServerVersion())) return s;
  std::string q = "\"";
  for (char c : s) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + '"';
}

std::string TIbParser::PositionText() {
  std::string s = TCustomSQLParser::PositionText();
  if (!CurrentTable.empty() && !CurrentColumn.empty())
    s += " Table:" + CurrentTable + " Field:" + CurrentColumn + " ";
  return s;
}

int TIbParser::ErrorCount() {
  // Counted on from where the last call stopped: a script with a note per
  // statement must not cost a walk of the whole list per statement.
  const TMsgManager& m = Messages();
  if (m.Count() < msgsSeen_) msgsSeen_ = errorsSeen_ = 0;  // the list was cleared
  for (; msgsSeen_ < m.Count(); ++msgsSeen_)
    if (m[msgsSeen_].Kind == kMsgError) ++errorsSeen_;
  return errorsSeen_;
}

void TIbParser::NotifyObject(std::uint8_t sub, TDbObject kind, const std::string& name,
                             const std::string& extra) {
  NotifyStatement(ibs::Object, name, StatementResult, extra, sub, static_cast<std::uint8_t>(kind));
}

// ---- Scripts

void TIbParser::ParseScript(const std::vector<std::string>& lines, TObjs* collection) {
  AutoDDL = true;
  primaryKeysBuilt_ = false;
  // No terminator is carried over from an earlier script or object text.
  SetTerminator(";");
  if (collection) collection->IBServerOptions.SQLDialect = 1;
  TCustomSQLParser::ParseScript(lines, collection);
}

namespace {

// The head of a passed-over text for its note: the first line, cut short.
std::string SkippedText(const std::string& text) {
  constexpr std::size_t kMax = 60;
  std::size_t end = std::min(text.find_first_of("\r\n"), kMax);
  return end < text.size() ? text.substr(0, end) + " ..." : text;
}

}  // namespace

void TIbParser::ParseText() {
  NextToken();
  ParseStatementList([this] { return TokenKind() == tk::EOFKind || StopRequested; },
                     [this] {
                       ParseScriptStatement();
                       return true;
                     });
}

void TIbParser::ParseScriptStatement() {
  StatementStart = TokenStart();
  CurrentTable.clear();
  CurrentColumn.clear();
  if (TokenKind() == tk::Terminator) {  // an empty statement
    NextToken();
    return;
  }
  const int errors = ErrorCount();
  if (IsKw(ibk::Create) || IsKw(ibk::Recreate)) {
    ParseCreate();
  } else if (IsKw(ibk::Alter)) {
    ParseAlter();
  } else if (IsKw(ibk::Commit)) {
    NextToken();
    if (IsKw(ibk::Work)) NextToken();
  } else if (IsKw(ibk::Set)) {
    ParseSet();
  } else if (IsKw(ibk::Delete) || IsKw(ibk::Insert) || IsKw(ibk::Update)) {
    const bool del = IsKw(ibk::Delete), ins = IsKw(ibk::Insert);
    NextToken();
    bool ok = true;
    if (del || ins) {
      ok = ExpectKw(del ? ibk::From : ibk::Into);
      if (ok) NextToken();
    }
    std::string table;
    if (ok && ReadName(table)) {
      SkipTo(KindSet({tk::Terminator}));
      NotifyStatement(del   ? ibs::Delete
                      : ins ? ibs::Insert
                            : ibs::Update,
                      table, StatementResult, {},
                      del   ? 14
                      : ins ? 12
                            : 13,
                      static_cast<std::uint8_t>(TDbObject::dboTable));
    }
  } else if (IsKw(ibk::Select) || IsWord("WITH") || IsKw(ibk::With)) {
    SkipTo(KindSet({tk::Terminator}));
    NotifyStatement(ibs::Select, {}, StatementResult, {}, 0, 0);
  } else if (IsKw(ibk::Execute)) {
    NextToken();
    if (IsWord("BLOCK")) ParseExecuteBlock();
    else SkipTo(KindSet({tk::Terminator}));
  } else if (IsKw(ibk::Declare)) {
    if (TParseContext saved(this); NextToken(), IsKw(ibk::External)) {
      TParseContext::Restore(*this, saved);
      ParseDeclareExternalFunction();
    } else {
      SkipStatement("DECLARE");
    }
  } else if (IsKw(ibk::Drop)) {
    ParseDrop();
  } else if (IsKw(ibk::Grant)) {
    ParseGrant();
  } else if (IsKw(ibk::Revoke)) {
    ParseRevoke();
  } else if (IsKw(ibk::Describe)) {
    SkipStatement("DESCRIBE");
  } else if (IsWord("CONNECT")) {
    NextToken();
    if (IsKw(ibk::Database)) NextToken();
    ParseDatabase(false);
  } else if (IsWord("RECONNECT")) {
    NextToken();
    NotifyStatement(ibs::Reconnect, {}, StatementResult, {}, 0, 0);
  } else if (IsWord("COMMENT")) {
    ParseComment();
  } else if (IsWord("REINSERT")) {
    SkipTo(KindSet({tk::Terminator}));
  } else if (IsWord("INPUT")) {
    ParseInput();
  } else if (TokenKind() == tk::Ident) {
    Error("Unknown statement: " + IdentText());
  } else {
    Error("Missing/unknown: DDL-statement: " + CurTokenName());
  }
  EndStatement(errors);
}

void TIbParser::EndStatement(int errorsBefore) {
  if (resumeHere_) {  // the statement ended without its terminator
    resumeHere_ = false;
    return;
  }
  if (TokenKind() == tk::Terminator) {
    NextToken();
    return;
  }
  if (TokenKind() == tk::EOFKind) return;
  // Something stands where the statement should end: report it once, then
  // pass the rest of the statement so the next one is read from its start.
  if (ErrorCount() == errorsBefore) Expect(tk::Terminator);
  const std::size_t from = TokenStart();
  const std::int32_t line = GetLine(), column = GetColumn();
  SkipTo(KindSet({tk::Terminator}));
  // Noted where the passed-over text starts.
  Messages().AddMsg("Passed over to the next statement: " + SkippedText(TextFrom(from)), ScriptName,
                    column, line, kMsgNote);
  if (TokenKind() == tk::Terminator) NextToken();
}

void TIbParser::SkipStatement(const std::string& what) {
  Note("Statement not read (" + what + "): passed over to its terminator");
  SkipTo(KindSet({tk::Terminator}));
}

// ---- CREATE and ALTER dispatch

void TIbParser::ParseCreate() {
  NextToken();
  const bool fb3 = IBCaps(ServerVersion()).psqlFunctions;
  if (IsKw(ibk::Table)) {
    ParseCreateTable(false);
  } else if (IsKw(ibk::Global)) {
    NextToken();
    if (IsWord("MAPPING")) {
      Note("Unknown CREATE-statement passed over: CREATE GLOBAL MAPPING");
      SkipTo(KindSet({tk::Terminator}));
      return;
    }
    if (!IsKw(ibk::Temporary)) {
      Error("TEMPORARY expected, but " +
            UpperAscii(TokenKind() == tk::Ident ? IdentText() : CurTokenName()) + " found.");
      return;
    }
    if (!NextAndExpectKw(ibk::Table)) return;
    ParseCreateTable(true);
  } else if (IsKw(ibk::Asc) || IsKw(ibk::Desc) || IsKw(ibk::Index) || IsKw(ibk::Unique)) {
    ParseCreateIndex();
  } else if (IsKw(ibk::Domain)) {
    ParseCreateDomain();
  } else if (IsKw(ibk::Procedure) || (IsKw(ibk::Function) && fb3)) {
    ParseCreateRoutine(IsKw(ibk::Function), false);
  } else if (IsKw(ibk::Trigger)) {
    ParseCreateTrigger(false);
  } else if (IsKw(ibk::View)) {
    ParseCreateView();
  } else if (IsKw(ibk::Role)) {
    ParseCreateRole();
  } else if (IsKw(ibk::Generator) || IsWord("SEQUENCE")) {
    ParseCreateGenerator();
  } else if (IsKw(ibk::Exception)) {
    ParseCreateException(false);
  } else if (IsKw(ibk::Or)) {
    NextToken();
    if (!ExpectKw(ibk::Alter)) return;
    NextToken();
    if (IsKw(ibk::Procedure) || IsKw(ibk::Function)) ParseCreateRoutine(IsKw(ibk::Function), true);
    else if (IsKw(ibk::Trigger)) ParseCreateTrigger(true);
    else if (IsKw(ibk::View)) ParseCreateView();
    else if (IsKw(ibk::Exception)) ParseCreateException(true);
    else if (IsKw(ibk::Generator) || IsWord("SEQUENCE")) ParseCreateGenerator();
    else if (IsWord("PACKAGE")) ParseCreatePackage();
    else Error("Unknown ALTER-statement");
  } else if (IsWord("PACKAGE")) {
    ParseCreatePackage();
  } else if (IsKw(ibk::Database)) {
    NextToken();
    ParseDatabase(true);
  } else if (IsWord("COLLATION")) {
    ParseCreateCollation();
  } else {
    // CREATE USER, CREATE GLOBAL MAPPING and the like: never a table.
    Note("Unknown CREATE-statement passed over: CREATE " +
         (TokenKind() == tk::Ident ? IdentText() : CurTokenName()));
    SkipTo(KindSet({tk::Terminator}));
  }
}

void TIbParser::ParseAlter() {
  NextToken();
  if (IsKw(ibk::Table)) {
    ParseAlterTable();
  } else if (IsKw(ibk::Index)) {
    ParseAlterIndex();
  } else if (IsKw(ibk::Domain)) {
    ParseAlterDomain();
  } else if (IsKw(ibk::Procedure) || IsKw(ibk::Function)) {
    ParseCreateRoutine(IsKw(ibk::Function), true);
  } else if (IsKw(ibk::Trigger)) {
    ParseCreateTrigger(true);
  } else if (IsKw(ibk::Exception)) {
    ParseCreateException(true);
  } else if (IsWord("SEQUENCE") || IsKw(ibk::Generator)) {
    ParseAlterSequence();
  } else if (IsWord("PACKAGE")) {
    ParseCreatePackage();
  } else if (IsWord("SESSION") || IsKw(ibk::Database) || IsKw(ibk::View) || IsKw(ibk::Role) ||
             IsKw(ibk::External) || IsWord("CHARACTER") || IsKw(ibk::Character) ||
             IsWord("MAPPING") || IsKw(ibk::Global) || IsKw(ibk::User)) {
    SkipStatement("ALTER " + (TokenKind() == tk::Ident ? IdentText() : CurTokenName()));
  } else {
    Error("Unknown ALTER statement.");
  }
}

// ---- SET

void TIbParser::ParseSet() {
  NextToken();
  if (IsWord("TERM")) {
    // The new terminator is read character by character: it may be any
    // text, "^" and "!!" included, that the scanner would not make a token.
    while (SkipWhite()) {
    }
    std::string term;
    const char stop = Terminator().empty() ? '\0' : Terminator()[0];
    while (!AtEnd() && !IsBlank(CurChar()) && CurChar() != stop) {
      term += CurChar();
      NextChar();
    }
    if (term.empty()) {
      NextAndExpect(tk::Terminator);
      Error("Missing: new terminator in SET TERM");
      return;
    }
    if (!NextAndExpect(tk::Terminator)) {
      // SET TERM ^ with its own terminator left out: the switch is what the
      // script means, and without it every body after it falls apart at its
      // first ";". The next statement starts at the current token.
      SetTerminator(term);
      resumeHere_ = true;
      return;
    }
    // The token after the statement is read with the new terminator.
    SetTerminator(term);
    return;
  }
  if (IsWord("AUTODDL")) {
    NextToken();
    if (IsKw(ibk::On)) AutoDDL = true;
    else if (IsWord("OFF")) AutoDDL = false;
    else Error("Missing: ON/OFF in \"SET AUTODDL...\"");
    NextToken();
    NotifyStatement(ibs::Set, {}, StatementResult, {}, 8, 0);
    return;
  }
  if (IsWord("SQL")) {
    NextToken();
    if (!ExpectWord("DIALECT")) return;
    NextToken();
    if (TokenKind() == tk::Equal) NextToken();
    std::int32_t d = 0;
    if (!Expect(tk::Integer) || !Int32Value(d)) return;
    if (d < 1 || d > 3) {
      Error("SQL dialect must be 1, 2 or 3: " + TokenText());
      return;
    }
    if (TIBServerOptions* o = GetServerOptions()) o->SQLDialect = static_cast<TIBSQLDialectType>(d);
    NextToken();
    NotifyStatement(ibs::SetDialect, IntToStr(d), StatementResult, {}, 8, 0);
    return;
  }
  if (IsWord("BLOBFILE")) {
    if (!NextAndExpect(tk::String)) return;
    const std::string file = TokenText();
    NextToken();
    NotifyStatement(ibs::SetBlobFile, file, StatementResult, {}, 8, 0);
    return;
  }
  if (IsKw(ibk::Generator)) {
    std::string name;
    NextToken();
    if (!ReadName(name)) return;
    DoLog("Generator: " + name);
    if (!NextAndExpectKw(ibk::To)) return;
    const int errors = ErrorCount();
    NextToken();
    const bool negative = TokenKind() == tk::Minus;
    // A value the scanner refused is reported there and set nowhere.
    if (!Expect(tk::Integer) || ErrorCount() > errors) return;
    // Generators are 64-bit: the value is kept whole, never cut to 32 bits.
    std::int64_t value = IntValue();
    if (negative) {
      if (value == std::numeric_limits<std::int64_t>::min()) {
        Error("Integer value out of range: " + TokenText());
        return;
      }
      value = -value;
    }
    if (TObjs* objs = Objs())
      if (TGnrData* g = objs->FindGenerator(name)) g->StartWith = std::to_string(value);
    NextToken();
    NotifyObject(ibs::Alter, TDbObject::dboGenerator, name);
    return;
  }
  if (IsWord("NAMES")) {
    std::string cs;
    NextToken();
    if (!ReadName(cs)) return;
    if (TIBServerOptions* o = GetServerOptions()) o->SetDBCharSet(cs);
    NextToken();
    NotifyStatement(ibs::SetNames, cs, StatementResult, {}, 8, 0);
    return;
  }
  if (IsKw(ibk::Statistics)) {
    std::string name;
    if (!NextAndExpectKw(ibk::Index)) return;
    NextToken();
    if (!ReadName(name)) return;
    NextToken();
    NotifyObject(ibs::Statistics, TDbObject::dboIndex, name);
    return;
  }
  // SET TRANSACTION, SET HEADING and the like change nothing here.
  SkipTo(KindSet({tk::Terminator}));
  NotifyStatement(ibs::Set, {}, StatementResult, {}, 8, 0);
}

// ---- INPUT

bool TIbParser::ParseFile(const std::string& fileName, TObjs* collection) {
  fileName_ = fileName;
  primaryKeysBuilt_ = false;
  if (ScriptName.empty()) ScriptName = fileName;
  if (!parent_) {
    AutoDDL = true;
    SetTerminator(";");
    if (collection) collection->IBServerOptions.SQLDialect = 1;
  }
  // A file on its own is a script: what its CREATE DATABASE or CONNECT
  // says reaches the collection, as after ParseScript.
  if (!parent_ && collection) ConnectionOptions.Assign(collection->ConnectionOptions);
  const bool ok = TCustomSQLParser::ParseFile(fileName, collection);
  if (!parent_ && collection) collection->ConnectionOptions.Assign(ConnectionOptions);
  return ok;
}

void TIbParser::ParseInput() {
  if (!NextAndExpect(tk::String)) return;
  std::string name = TokenText();
  NextToken();
  if (name.empty()) {
    Error("INPUT needs a file name.");
    return;
  }
  if (!Objs()) {
    Error("INPUT " + name + ": no collection to read the file into.");
    return;
  }
  namespace fs = std::filesystem;
  fs::path path(name);
  if (!path.has_parent_path()) {
    const std::string& here = !fileName_.empty() ? fileName_ : ScriptName;
    path = fs::path(here).parent_path() / path;
  }
  std::error_code ec;
  const fs::path canon = fs::weakly_canonical(path, ec);
  const std::string key = ec ? path.lexically_normal().string() : canon.string();
  if (inputDepth_ + 1 > kMaxInputDepth) {
    Error("INPUT " + name + ": files nested deeper than " + IntToStr(kMaxInputDepth) + " levels.");
    return;
  }
  for (const TIbParser* p = this; p; p = p->parent_) {
    if (p->fileName_.empty()) continue;
    std::error_code e2;
    const fs::path pc = fs::weakly_canonical(p->fileName_, e2);
    if ((e2 ? fs::path(p->fileName_).lexically_normal() : pc).string() == key) {
      Error("INPUT " + name + ": the file includes itself.");
      return;
    }
  }
  if (!nested_) {
    nested_ = NewNestedParser();
    nested_->parent_ = this;
  }
  TIbParser& n = *nested_;
  n.inputDepth_ = inputDepth_ + 1;
  PrepareNested(n);
  n.OnStatement = OnStatement;
  n.Trace = Trace;
  n.AutoDDL = AutoDDL;
  n.ScriptName = path.string();
  // The included file is read as if typed at this point of the script.
  n.SetTerminator(Terminator());
  n.ParseFile(path.string(), Objs());
  n.SetSource({});
  n.fileName_.clear();
}

std::unique_ptr<TIbParser> TIbParser::NewNestedParser() {
  return std::make_unique<TIbParser>(Owner());
}

// ---- Defaults and bodies

bool TIbParser::ParseDefault(TFldData& /*column*/, std::string& text) {
  const std::size_t start = TokenStart();
  auto cut = [&] {
    text = TrimCtl(GetText(start, CurIndex() - start));
    NextToken();
    return true;
  };
  const TTokenKind k = TokenKind();
  if (k == tk::Ident || k == tk::Float || k == tk::String || k == tk::Integer ||
      IsKw(ibk::CurrentDate) || IsKw(ibk::Null) || IsKw(ibk::User))
    return cut();
  if (IsKw(ibk::CurrentTime) || IsKw(ibk::CurrentTimestamp)) {
    // A precision in parentheses belongs to the value.
    std::size_t i = CurIndex();
    while (i < GetLength() && IsBlank(CharAt(i))) ++i;
    if (CharAt(i) == '(') {
      NextToken();
      NextToken();
      if (!Expect(tk::Integer)) return false;
      if (!NextAndExpect(tk::RParen)) return false;
    }
    return cut();
  }
  if (k == tk::Minus || k == tk::Plus) {
    NextToken();
    if (TokenKind() != tk::Integer && TokenKind() != tk::Float) {
      Error("DEFAUT <value> error...");
      return false;
    }
    return cut();
  }
  if (k == ibk::CharsetIntroducer) {
    if (!NextAndExpect(tk::String)) return false;
    return cut();
  }
  Error("DEFAUT <value> error...");
  return false;
}

void TIbParser::ReadBody(TDbObj& obj, std::size_t start) {
  // Copies raw characters: the body's own ";" are no terminator here.
  if (start == kReadPosition) start = CurIndex();
  const std::string& term = Terminator();
  start = std::min(start, GetLength());
  std::size_t i = std::max(start, CurIndex());
  const std::size_t n = GetLength();
  std::size_t end = n;
  // A comment or a literal left open runs to the end of the script and
  // would take every statement after it, our own terminator included.
  std::size_t open = std::string::npos;
  const char* openWhat = "";
  // A view is one query: a ";" with more after it (under another
  // terminator) is a statement end the engine refuses there.
  const bool query = dynamic_cast<TViwData*>(&obj) != nullptr;
  std::size_t semicolon = std::string::npos, stray = std::string::npos;
  // Called for what is neither comment nor terminator.
  auto queryText = [&](char c) {
    if (!query) return;
    if (semicolon == std::string::npos) {
      if (c == ';') semicolon = i;
    } else if (stray == std::string::npos && !(c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
      stray = semicolon;
    }
  };
  while (i < n) {
    const char c = CharAt(i);
    if (c == '/' && CharAt(i + 1) == '*') {
      const std::size_t close = Source().find("*/", i + 2);
      if (close == std::string::npos) {
        open = i;
        openWhat = "comment";
      }
      i = close == std::string::npos ? n : close + 2;
      continue;
    }
    if (c == '-' && CharAt(i + 1) == '-') {
      const std::size_t lf = Source().find('\n', i + 2);
      i = lf == std::string::npos ? n : lf + 1;
      continue;
    }
    if (c == '\'' || c == '"') {
      queryText(c);
      std::size_t j = i + 1;
      while (j < n) {
        if (CharAt(j) == c) {
          if (CharAt(j + 1) == c) {
            j += 2;
            continue;
          }
          break;
        }
        ++j;
      }
      if (j >= n) {
        open = i;
        openWhat = "string";
      }
      i = j < n ? j + 1 : n;
      continue;
    }
    if (Source().compare(i, term.size(), term) == 0) {
      end = i;
      break;
    }
    queryText(c);
    ++i;
  }
  // A ";" that only closes the query the engine keeps out of it, with what
  // follows it.
  const std::size_t textEnd = query && stray == std::string::npos ? std::min(semicolon, end) : end;
  StoreBodyText(obj, TrimCtl(GetText(start, textEnd - start)));
  if (stray != std::string::npos && (open == std::string::npos || stray < open)) {
    while (!AtEnd() && CurIndex() < stray) NextChar();
    ScanError("The query goes on after its \";\": " + Source().substr(stray, 40));
  }
  std::int32_t openLine = 0, openColumn = 0;
  if (open != std::string::npos) {
    while (!AtEnd() && CurIndex() < open) NextChar();
    openLine = GetLine();
    openColumn = GetColumn();
  }
  while (!AtEnd() && CurIndex() < end) NextChar();
  if (open != std::string::npos)
    ScanError("Unterminated " + std::string(openWhat) + " (opened at line " + IntToStr(openLine) +
              ", column " + IntToStr(openColumn) + ").");
  NextToken();
}

void TIbParser::StoreBodyText(TDbObj& obj, std::string text) {
  if (auto* pkg = dynamic_cast<TPkgData*>(&obj); pkg && ReadingPackageHeader)
    pkg->HeaderText = TrimCtl(NormalizeLineBreaks(text));
  else obj.SetText(text);
}

// ---- After the script

void TIbParser::AfterParse() {
  ClassifyGrants();
  RemoveConstraintIndexes();
  TCustomSQLParser::AfterParse();
  LinkColumnDomains();
}

void TIbParser::ClassifyGrants() {
  TObjs* objs = Objs();
  if (!objs) return;
  for (int i = 0; i < objs->Grants.Count(); ++i) {
    TGntData* g = objs->Grants.Object(i);
    if (!g || g->GrantKind != TCmpObjType::coGrant) continue;
    if (objs->FindRole(g->Grantee)) g->GrantKind = TCmpObjType::coRoleGrant;
    else if (objs->FindTable(g->Grantee) || objs->FindView(g->Grantee) ||
             objs->FindProcedure(g->Grantee) || objs->FindTrigger(g->Grantee))
      g->GrantKind = TCmpObjType::coObjGrant;
    else g->GrantKind = TCmpObjType::coUserGrant;
  }
}

void TIbParser::RemoveConstraintIndexes() {
  TObjs* objs = Objs();
  if (!objs) return;
  // The keys by name, so each index looks at its namesakes only.
  std::multimap<std::string, TCtrData*> keys;
  for (int j = 0; j < objs->Constraints.Count(); ++j) {
    TCtrData* c = objs->Constraints.Object(j);
    if (!c) continue;
    const std::uint8_t t = c->GetConstraintType();
    if (t == ct::PrimaryKey || t == ct::Unique || t == ct::ForeignKey)
      keys.emplace(c->GetName(), c);
  }
  for (int i = objs->Indices.Count() - 1; i >= 0; --i) {
    TIdxData* idx = objs->Indices.Object(i);
    if (!idx) continue;
    const auto [from, to] = keys.equal_range(idx->GetName());
    for (auto it = from; it != to; ++it) {
      TCtrData* c = it->second;
      if (c->GetTableName() != idx->TableName) continue;
      if (c->GetFieldsText() != idx->GetFieldsText()) continue;
      DoLog("Remove index: " + idx->GetCreateSQL() + "\r\n" +
            "for constraint: " + c->GetCreateSQL());
      objs->DetachObject(idx);
      objs->Indices.Delete(i);
      break;
    }
  }
}

void TIbParser::LinkColumnDomains() {
  TObjs* objs = Objs();
  if (!objs) return;
  // One walk over the columns, each domain found by its key; a view that
  // reads a domain-typed column depends on the domain too.
  for (int t = 0; t < objs->Tables.Count(); ++t) {
    TTblData* tbl = objs->Tables.Object(t);
    if (!tbl) continue;
    for (int c = 0; c < tbl->Fields.Count(); ++c) {
      TFldData* f = tbl->Fields.Object(c);
      if (!f || f->DataType != dt::UserType) continue;
      TDmnData* dom = objs->FindDomain(f->DomainName);
      if (!dom || dom->GetName() != f->DomainName) continue;
      LinkDependency(f, dom, {});
      for (const TDependList* users : {&f->UsedBy(), &tbl->UsedBy()})
        for (int u = 0; u < users->Count(); ++u) {
          const TDependObj* e = users->Object(u);
          if (!e || !e->Target || !dynamic_cast<TViwData*>(e->Target)) continue;
          if (users == &tbl->UsedBy() && e->FieldName != f->GetName()) continue;
          LinkDependency(e->Target, dom, {});
        }
    }
  }
}

}  // namespace qor
