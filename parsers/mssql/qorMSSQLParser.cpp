// The T-SQL lexer (brackets, N'' and 0x literals, labels, the GO rule,
// nested comments), dotted names, the batch loop and statement dispatcher,
// the script and definition entries, the prefixed errors and the linking
// after parsing.
#include "parsers/mssql/qorMSSQLParser.h"

#include "base/qorMsgMngr.h"
#include "model/qorClasses.h"
#include "model/qorComp_Ctr.h"
#include "model/qorComp_Def.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Rol.h"
#include "model/qorComp_Rul.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Trg.h"
#include "model/qorComp_Viw.h"
#include "model/qorDBStructure.h"
#include "model/qorExtractorHost.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "platform/qorScopedValue.h"
#include "platform/qorStrings.h"

#include <algorithm>
#include <limits>

namespace qor {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  return (c | 0x20) - 'a' + 10;
}
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

// ------------------------------------------------------------ construction

TMSSQLParser::TMSSQLParser(TExtractorHost* owner)
    : TCustomSQLParser(owner, TDatabaseType::dbMSSQL) {
  SetServerType(TDatabaseType::dbMSSQL);
  SetTerminator("\r\nGO");
  IdentChars.Include('#').Include('@');
  if (!owner) return;
  // The nested parser has no owner of its own to spare: one level only.
  NestedParser = std::make_unique<TMSSQLParser>(nullptr);
  NestedParser->BodyMode = BodyMode;
  NestedParser->SetObjs(Objs());
  NestedParser->OwnerParser = this;
  NestedParser->ReportInto(this);
}

TMSSQLParser::~TMSSQLParser() = default;

void TMSSQLParser::InitResWords() {
  TCustomParser::InitResWords();
  ResWords().AddWords(MSSQLKeywordTable());
}

bool TMSSQLParser::CaseSensitive() const {
  const TObjs* objs = Objs();
  return objs && objs->MSSQLServerOptions.MSSQLCompareOptions.CaseSensitiveIdentifiers;
}

std::string TMSSQLParser::FormatName(std::string_view name) { return QuoteMSSQLIdentifier(name); }

// ---------------------------------------------------------------- scanning

bool TMSSQLParser::IsBatchTerminatorAt(std::string_view text, std::size_t pos) {
  if (pos + 2 > text.size()) return false;
  if ((text[pos] | 0x20) != 'g' || (text[pos + 1] | 0x20) != 'o') return false;
  // Only blanks before it on its line.
  for (std::size_t i = pos; i > 0; --i) {
    const char c = text[i - 1];
    if (c == '\n') break;
    if (c != ' ' && c != '\t') return false;
  }
  if (pos + 2 == text.size()) return true;
  const char after = text[pos + 2];
  // GOTO, GO: and GOX are no terminators.
  return after == '\0' || IsSpace(after);
}

std::size_t TMSSQLParser::FindBatchTerminator(std::string_view text, std::size_t from) {
  std::size_t lineStart = from;
  // The line `from` stands on counts when only blanks precede `from`.
  while (lineStart < text.size()) {
    std::size_t i = lineStart;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= from && IsBatchTerminatorAt(text, i)) return i;
    const std::size_t lf = text.find('\n', lineStart);
    if (lf == std::string_view::npos) break;
    lineStart = lf + 1;
  }
  return text.size();
}

bool TMSSQLParser::NextCharIs(char c) const {
  const std::string& src = Source();
  std::size_t i = CurIndex();
  while (i < src.size() && IsSpace(src[i])) ++i;
  return i < src.size() && src[i] == c;
}

void TMSSQLParser::MoveTo(std::size_t pos) {
  while (!AtEnd() && CurIndex() < pos) NextChar();
}

bool TMSSQLParser::SkipComment() {
  if (AtEnd() || CurChar() != '/' || PeekChar() != '*') return TCustomSQLParser::SkipComment();
  // Block comments nest.
  LastCommentText.clear();
  const std::string& src = Source();
  const std::int32_t line = GetLine(), col = GetColumn();
  const std::size_t start = CurIndex() + 2;
  std::size_t i = start;
  int depth = 1;
  while (i < src.size() && depth > 0) {
    if (src[i] == '/' && i + 1 < src.size() && src[i + 1] == '*') {
      ++depth;
      i += 2;
    } else if (src[i] == '*' && i + 1 < src.size() && src[i + 1] == '/') {
      --depth;
      i += 2;
    } else {
      ++i;
    }
  }
  if (depth > 0) {
    LastCommentText = src.substr(start);
    MoveTo(src.size());
    ScanError("Unterminated comment (opened at line " + IntToStr(line) + ", column " +
              IntToStr(col) + ").");
  } else {
    LastCommentText = src.substr(start, i - 2 - start);
    MoveTo(i);
  }
  if (Trace.Contains(TParserTrace::trComments)) DoLog("Comment: " + LastCommentText);
  return true;
}

bool TMSSQLParser::ScanToken() {
  auto& s = scan_;
  identQuoted_ = false;
  tokenLine_ = GetLine();
  tokenColumn_ = GetColumn();
  s.TokenStart = CurIndex();
  s.Quote = 0;
  const std::string& src = Source();
  if (IsBatchTerminatorAt(src, CurIndex())) {
    NextChar();
    NextChar();
    s.Kind = tk::Terminator;
    return true;
  }
  const char c = s.Cur;
  const char next = PeekChar();
  auto skipSpaceAfter = [&]() {
    std::size_t j = s.Pos;
    while (j < src.size() && IsSpace(src[j])) ++j;
    return j;
  };
  auto consumeThrough = [&](std::size_t j) { MoveTo(j + 1); };
  auto identifier = [&]() {
    s.Kind = tk::Ident;
    ScanIdent();
    s.Kind = LookupKeyword();
    if (s.Kind == tk::Ident && !CaseSensitive()) IdentBuffer() = UpperLocale(IdentText());
    return true;
  };
  switch (c) {
    case '!': {
      const std::size_t j = skipSpaceAfter();
      const char d = j < src.size() ? src[j] : '\0';
      if (d == '=' || d == '<' || d == '>') {
        consumeThrough(j);
        s.Kind = d == '=' ? tk::NotEqual : d == '<' ? msk::NotLess : msk::NotGreater;
        return true;
      }
      InvalidChar();
      return false;
    }
    case '#':
      if (IdentChars.Contains(static_cast<unsigned char>(next))) {
        // Temporary objects keep their signs; never a keyword.
        s.Kind = tk::Ident;
        ScanIdent();
        if (!CaseSensitive()) IdentBuffer() = UpperLocale(IdentText());
        return true;
      }
      InvalidChar();
      return false;
    case 'N':
    case 'n':
      if (next == '\'') {
        NextChar();
        s.Kind = tk::String;
        s.Quote = '\'';
        ScanQuoted(TextBuffer());
        UnicodeLiteral = true;
        return true;
      }
      return identifier();
    case '$':
      if (IsDigit(next)) {
        NextChar();
        ScanNumber();
        return true;
      }
      return identifier();
    case '_':
    case '@': return identifier();
    // clang-format off
    case '+': case '-': case '/': case '%': case '&': case '^': case '|':
      // clang-format on
      if (next == '=') {
        NextChar();
        NextChar();
        switch (c) {
          case '+': s.Kind = msk::PlusAssign; break;
          case '-': s.Kind = msk::MinusAssign; break;
          case '/': s.Kind = msk::SlashAssign; break;
          case '%': s.Kind = msk::PercentAssign; break;
          case '&': s.Kind = msk::AmpAssign; break;
          case '^': s.Kind = msk::CaretAssign; break;
          default: s.Kind = msk::PipeAssign; break;
        }
        return true;
      }
      if (c == '^') {
        NextChar();
        s.Kind = msk::Caret;
        return true;
      }
      if (c == '|' && next != '|') {
        NextChar();
        s.Kind = msk::Pipe;
        return true;
      }
      break;
    case '\'':
      s.Kind = tk::String;
      s.Quote = '\'';
      ScanQuoted(TextBuffer());
      UnicodeLiteral = false;
      return true;
    case '*': {
      const std::size_t j = skipSpaceAfter();
      if (j < src.size() && src[j] == '=') {
        consumeThrough(j);
        s.Kind = msk::StarEqual;
      } else {
        NextChar();
        s.Kind = tk::Star;
      }
      return true;
    }
    case '0':
      if (next == 'x' || next == 'X') {
        NextChar();
        NextChar();
        std::string digits;
        while (!s.AtEnd && IsHex(s.Cur)) {
          digits += s.Cur;
          NextChar();
        }
        if (digits.size() % 2) digits.insert(digits.begin(), '0');
        std::string& bytes = TextBuffer();
        bytes.clear();
        for (std::size_t i = 0; i < digits.size(); i += 2)
          bytes += static_cast<char>(HexValue(digits[i]) * 16 + HexValue(digits[i + 1]));
        s.Kind = tk::String;
        return true;
      }
      break;
    case ':':
      if (next == ':') {
        NextChar();
        NextChar();
        s.Kind = msk::ColonColon;
        return true;
      }
      break;
    case '=': {
      const std::size_t j = skipSpaceAfter();
      const char d = j < src.size() ? src[j] : '\0';
      if (d == '*' || d == '=') {
        consumeThrough(j);
        s.Kind = d == '*' ? msk::EqualStar : tk::DoubleEqual;
      } else {
        NextChar();
        s.Kind = tk::Equal;
      }
      return true;
    }
    case '[': {
      // Everything up to the closing bracket, as written; "]]" is one "]".
      const std::int32_t line = GetLine(), col = GetColumn();
      std::string text;
      NextChar();
      for (;;) {
        if (s.AtEnd) {
          ScanError("Unterminated bracket Identifier (opened at line " + IntToStr(line) +
                    ", column " + IntToStr(col) + ").");
          // The rest of the text is no name.
          s.Kind = tk::EOFKind;
          IdentBuffer().clear();
          return true;
        }
        if (s.Cur == ']') {
          if (PeekChar() == ']' && s.Pos < src.size()) {
            text += ']';
            NextChar();
            NextChar();
            continue;
          }
          NextChar();
          break;
        }
        text += s.Cur;
        NextChar();
      }
      s.Kind = tk::Ident;
      IdentBuffer() = std::move(text);
      identQuoted_ = true;
      return true;
    }
    case '{':
      NextChar();
      s.Kind = msk::LBrace;
      return true;
    case '}':
      NextChar();
      s.Kind = msk::RBrace;
      return true;
    case '~':
      NextChar();
      s.Kind = msk::Tilde;
      return true;
    default: break;
  }
  if (IsLetter(c)) return identifier();
  if (IsDigit(c) && ScanWideInteger()) return true;
  return TCustomSQLParser::ScanToken();
}

bool TMSSQLParser::ScanWideInteger() {
  // The server reads a whole number beyond bigint as a decimal literal
  // (a bigint sequence's MINVALUE -9223372036854775808): no error, the
  // digits kept as the token's text.
  constexpr std::string_view kLargest = "9223372036854775807";
  const std::string& src = Source();
  const std::size_t start = CurIndex();
  // Most numbers are short: one look decides.
  if (start + kLargest.size() > src.size() || !IsDigit(src[start + kLargest.size() - 1]))
    return false;
  std::size_t j = start;
  while (j < src.size() && IsDigit(src[j])) ++j;
  if (j < src.size() && (src[j] == '.' || (src[j] | 0x20) == 'e' || IsLetter(src[j]))) return false;
  std::size_t first = start;
  while (first + 1 < j && src[first] == '0') ++first;
  const std::string_view digits(src.data() + first, j - first);
  if (digits.size() < kLargest.size() || (digits.size() == kLargest.size() && digits <= kLargest))
    return false;
  MoveTo(j);
  auto& s = scan_;
  s.Kind = tk::Integer;
  s.IntValue = std::numeric_limits<std::int64_t>::max();
  s.FloatValue = 0.0;
  s.TextState = TParseContext::TScanState::TText::Source;
  s.TextAt = start;
  s.TextLength = j - start;
  return true;
}

void TMSSQLParser::AfterToken() {
  auto& s = scan_;
  if (s.Kind == tk::Ident && !identQuoted_) {
    // A plain word "GO" ends the batch wherever it stands.
    if (SameText(IdentText(), "GO")) {
      s.Kind = tk::Terminator;
      return;
    }
    while (SkipWhite()) {
    }
    if (!s.AtEnd && s.Cur == ':' && PeekChar() != ':') {
      NextChar();
      s.Kind = msk::Label;
    }
    return;
  }
  if (s.Kind == tk::String && s.Quote == '"' && QuotedIdentifiers) {
    s.Kind = tk::Ident;
    IdentBuffer() = TokenText();
    identQuoted_ = true;
    return;
  }
  if (s.Kind == msk::End) {
    while (SkipWhite()) {
    }
    const std::string& src = Source();
    const std::size_t at = CurIndex();
    if (at + 12 <= src.size() && SameText(std::string_view(src).substr(at, 12), "CONVERSATION") &&
        (at + 12 == src.size() || !IdentChars.Contains(static_cast<unsigned char>(src[at + 12])))) {
      MoveTo(at + 12);
      s.Kind = msk::EndConversation;
    }
  }
}

bool TMSSQLParser::IsPlainWord(std::string_view word) const {
  return scan_.Kind == tk::Ident && !identQuoted_ && SameText(IdentText(), word);
}

std::string TMSSQLParser::FoldName(std::string_view name) const {
  return CaseSensitive() ? std::string(name) : UpperLocale(name);
}

std::string TMSSQLParser::ReadBatchText() {
  rawLine_ = tokenLine_;
  rawColumn_ = tokenColumn_;
  const std::string& src = Source();
  const std::size_t start = TokenStart();
  const std::size_t stop = FindBatchTerminator(src, start);
  std::string text = TrimCtl(GetText(start, stop - start));
  MoveTo(stop);
  NextToken();
  return text;
}

std::string TMSSQLParser::ReadStatementText() {
  rawLine_ = tokenLine_;
  rawColumn_ = tokenColumn_;
  const std::size_t start = TokenStart();
  while (!AtStatementBoundary()) NextToken();
  return TrimCtl(GetText(start, TokenStart() - start));
}

bool TMSSQLParser::ErrorsSince(int count) const {
  const TMsgManager& m = Messages();
  for (int i = count; i < m.Count(); ++i)
    if (m[i].Kind == kMsgError) return true;
  return false;
}

bool TMSSQLParser::AtStatementEnd() const {
  return scan_.Kind == tk::EOFKind || scan_.Kind == tk::Terminator;
}

void TMSSQLParser::SkipToBatchEnd() {
  while (!AtStatementEnd()) NextToken();
}

bool TMSSQLParser::BeginsLine() const {
  const std::string& src = Source();
  for (std::size_t i = std::min(TokenStart(), src.size()); i > 0; --i) {
    const char c = src[i - 1];
    if (c == '\n') return true;
    if (c != ' ' && c != '\t' && c != '\r') return false;
  }
  return true;
}

bool TMSSQLParser::AtStatementBoundary() const {
  // clang-format off
  switch (scan_.Kind) {
    case tk::EOFKind: case tk::Terminator: case tk::Semicolon:
      return true;
    // Words that begin a statement and nothing else when they begin a
    // line; SELECT, SET, UPDATE and DELETE continue other statements there.
    case msk::Create: case msk::Alter: case msk::Drop: case msk::Grant: case msk::Revoke:
    case msk::Deny: case msk::Use: case msk::Exec: case msk::Insert: case msk::Declare:
    case msk::Print: case msk::Truncate: case msk::If: case msk::Bulk: case tk::Colon:
      return BeginsLine();
    default:
      return false;
  }
  // clang-format on
}

void TMSSQLParser::SkipStatementRest() {
  while (!AtStatementBoundary()) NextToken();
}

std::string TMSSQLParser::Excerpt(std::size_t start, std::size_t end) const {
  constexpr std::size_t kLongest = 60;
  std::string out;
  const std::string& src = Source();
  end = std::min(end, src.size());
  for (std::size_t i = start; i < end; ++i) {
    const char c = IsSpace(src[i]) ? ' ' : src[i];
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  if (out.size() > kLongest) out = out.substr(0, kLongest) + "...";
  return out;
}

void TMSSQLParser::PassTokens(const std::string& what, bool batch) {
  // The note points at the start of what is passed over.
  const std::int32_t line = tokenLine_, column = tokenColumn_;
  std::vector<std::string> created;
  bool first = true;
  while (!AtStatementEnd() && (batch || first || !AtStatementBoundary())) {
    first = false;
    if (scan_.Kind != msk::Create) {
      NextToken();
      continue;
    }
    NextToken();
    std::string word = "CREATE " + (scan_.Kind == tk::Ident ? IdentText() : CurTokenName());
    NextToken();
    std::string name;
    while (scan_.Kind == tk::Ident || scan_.Kind == tk::Dot) {
      name += scan_.Kind == tk::Dot ? std::string(".") : IdentText();
      NextToken();
    }
    created.push_back(name.empty() ? word : word + " " + name);
  }
  std::string text = what;
  if (!created.empty()) {
    text += " (";
    for (std::size_t i = 0; i < created.size(); ++i) text += (i ? ", " : "") + created[i];
    text += " not read)";
  }
  tokenLine_ = line;
  tokenColumn_ = column;
  NoteMsg(text);
}

void TMSSQLParser::SkipBatch(const std::string& what) { PassTokens(what, /*batch=*/true); }

void TMSSQLParser::PassOver(const std::string& what) { PassTokens(what, /*batch=*/false); }

void TMSSQLParser::SkipSqlCmdLine() {
  // :setvar, :r, :on error ...: commands of the script runner, one line.
  const std::int32_t line = tokenLine_, column = tokenColumn_;
  const std::string& src = Source();
  const std::size_t start = TokenStart();
  std::size_t lf = src.find('\n', start);
  if (lf == std::string::npos) lf = src.size();
  const std::string text = Excerpt(start, lf);
  MoveTo(lf);
  NextToken();
  tokenLine_ = line;
  tokenColumn_ = column;
  NoteMsg("Script runner command not read: " + text);
}

bool TMSSQLParser::LogWanted() const {
  if (OnLogNextLine) return true;
  const TExtractorHost* ext = LinkedExtractor();
  return ext && ext->LogAssigned();
}

std::string TMSSQLParser::ObjectPrefix() const {
  TDbObj* obj = CurrentObject;
  if (!obj) return {};
  if (dynamic_cast<TPrcData*>(obj)) return "Procedure " + obj->GetName() + ": ";
  if (dynamic_cast<TTrgData*>(obj)) return "Trigger " + obj->GetName() + ": ";
  if (dynamic_cast<TViwData*>(obj)) return "View " + obj->GetName() + ": ";
  if (dynamic_cast<TIdxData*>(obj)) return "Index " + obj->GetName() + ": ";
  if (auto* c = dynamic_cast<TCtrData*>(obj); c && c->GetConstraintType() == ct::Check)
    return "Check-constraint " + obj->GetName() + ": ";
  if (auto* f = dynamic_cast<TFldData*>(obj); f && !f->GetName().empty())
    return "Field " + f->GetTableName() + "/" + f->GetName() + ": ";
  return obj->GetName() + ": ";
}

std::string TMSSQLParser::PositionText() {
  return "\r\nScript: " + ScriptName + " Line:" + IntToStr(tokenLine_) +
         " Pos:" + IntToStr(tokenColumn_) + "\r\n";
}

void TMSSQLParser::MessagePlace(std::string& text, std::int32_t& line, std::int32_t& column) const {
  line = tokenLine_;
  column = tokenColumn_;
  if (nestedLine_ > 0) {
    // The text of sp_executesql: the message stands where the string
    // starts and says where in the string it arose.
    text = "sp_executesql text, line " + IntToStr(tokenLine_) + ", column " +
           IntToStr(tokenColumn_) + ": " + text;
    line = nestedLine_;
    column = nestedColumn_;
  } else if (bodyLine_ > 0) {
    // A body a script kept as text: its place in the script.
    line = bodyLine_ + tokenLine_ - 1;
    if (tokenLine_ == 1) column = bodyColumn_ + tokenColumn_ - 1;
  }
  text = ObjectPrefix() + text;
}

void TMSSQLParser::Error(const std::string& text) {
  // Past the nesting limit the rest of the batch is passed over; what the
  // unwinding rules would say adds nothing.
  if (tooDeep_) return;
  if (errorAt_ == std::string::npos) {
    errorAt_ = TokenStart();
    errorLine_ = tokenLine_;
    errorColumn_ = tokenColumn_;
  }
  std::string msg = text;
  std::int32_t line = 0, column = 0;
  MessagePlace(msg, line, column);
  TScopedValue<std::int32_t> atLine(tokenLine_, line), atColumn(tokenColumn_, column);
  TMsgManager& m = Messages();
  if (!m.HasErrors()) DoError(msg + PositionText());
  if (!CurrentObject || !ScriptName.empty()) m.AddMsg(msg, ScriptName, column, line, kMsgError);
  else m.AddObjMsg(msg + PositionText(), CurrentObject, column, line, kMsgError);
}

void TMSSQLParser::NoteMsg(const std::string& text) {
  std::string msg = text;
  std::int32_t line = 0, column = 0;
  MessagePlace(msg, line, column);
  if (!CurrentObject || !ScriptName.empty())
    Messages().AddMsg(msg, ScriptName, column, line, kMsgNote);
  else Messages().AddObjMsg(msg, CurrentObject, column, line, kMsgNote);
}

void TMSSQLParser::RememberBodyStart(TDbObj* obj) {
  if (!BodyMode && obj) bodyStarts_[obj] = {rawLine_, rawColumn_};
}

// ------------------------------------------------------------------- names

std::string TMSSQLParser::ParseNamePart() {
  if (scan_.Kind == tk::Ident) {
    std::string part = IdentText();
    NextToken();
    return part;
  }
  if (scan_.Kind == tk::Star) {
    NextToken();
    return "*";
  }
  if (scan_.Kind == tk::Less) {
    // A template placeholder such as <table_name, sysname, t>.
    const std::size_t start = TokenStart();
    while (scan_.Kind != tk::Greater && !AtStatementEnd()) NextToken();
    std::string part;
    if (scan_.Kind == tk::Greater) {
      part = GetText(start, CurIndex() - start);
      NextToken();
    }
    return part;
  }
  Expect(tk::Dot);
  return {};
}

void TMSSQLParser::ParseObjectName(TDbObject kind, bool defaultOwner) {
  NameServer.clear();
  NameDatabase.clear();
  NameOwner.clear();
  NameObject.clear();
  NameSubObject.clear();
  NameObject = ParseNamePart();
  int dots = 0;
  while (scan_.Kind == tk::Dot && dots < 3) {
    NextToken();
    NameServer = NameDatabase;
    NameDatabase = NameOwner;
    NameOwner = NameObject;
    // db..name leaves the owner empty.
    NameObject = scan_.Kind == tk::Dot ? std::string() : ParseNamePart();
    ++dots;
  }
  if (kind == TDbObject::dboIndex || kind == TDbObject::dboField) {
    if (scan_.Kind == tk::Dot) {
      NextToken();
      NameSubObject = ParseNamePart();
    } else {
      NameSubObject = NameObject;
      NameObject = NameOwner;
      NameOwner = NameDatabase;
      NameDatabase = NameServer;
      NameServer.clear();
    }
  }
  ownerWritten_ = !NameOwner.empty();
  if (NameOwner.empty() && defaultOwner) NameOwner = "dbo";
  if (!CaseSensitive()) {
    for (std::string* p : {&NameServer, &NameDatabase, &NameOwner, &NameObject, &NameSubObject})
      *p = UpperLocale(*p);
  }
}

void TMSSQLParser::ParseThreePartName(std::string& database, std::string& owner,
                                      std::string& name) {
  database.clear();
  owner.clear();
  name = ParseNamePart();
  for (int dots = 0; scan_.Kind == tk::Dot && dots < 2; ++dots) {
    NextToken();
    database = owner;
    owner = name;
    name = scan_.Kind == tk::Dot ? std::string() : ParseNamePart();
  }
}

std::string TMSSQLParser::QualifiedName() const {
  return NameOwner.empty() ? NameObject : NameOwner + "." + NameObject;
}

// ------------------------------------------------------------- expressions

void TMSSQLParser::SkipBalanced() {
  int depth = 0;
  do {
    if (scan_.Kind == tk::LParen) ++depth;
    else if (scan_.Kind == tk::RParen) --depth;
    NextToken();
  } while (depth > 0 && !AtStatementEnd());
  if (depth > 0) Expect(tk::RParen);
}

std::string TMSSQLParser::ReadParenthesised() {
  const std::size_t start = TokenStart();
  if (!Expect(tk::LParen)) return {};
  SkipBalanced();
  return TextFrom(start);
}

// --------------------------------------------------------- statement loop

void TMSSQLParser::ParseText() {
  NextToken();
  while (scan_.Kind != tk::EOFKind) {
    if (StopRequested) break;
    StatementStart = TokenStart();
    tooDeep_ = false;
    if (scan_.Kind == tk::Terminator) {
      NextToken();
      continue;
    }
    ParseStatementList([&] { return AtStatementEnd(); },
                       [&] {
                         if (StopRequested) return false;
                         const int messagesBefore = Messages().Count();
                         errorAt_ = std::string::npos;
                         inBodyStatement_ = false;
                         const bool recognised = ParseStatement(nullptr);
                         // After an error the rest of the statement would
                         // only add follow-up errors: it is skipped up to
                         // the next statement, and the skipped text named.
                         if (!recognised || ErrorsSince(messagesBefore)) SkipAfterError();
                         while (scan_.Kind == tk::Semicolon) NextToken();
                         return true;
                       });
  }
}

void TMSSQLParser::SkipAfterError() {
  std::int32_t line = tokenLine_, column = tokenColumn_;
  std::size_t from = TokenStart();
  // The rest of a routine or trigger in error is its body: statements
  // inside it are none of the script's.
  if (inBodyStatement_) SkipToBatchEnd();
  else SkipStatementRest();
  // What the rules passed over after the error counts as skipped too.
  if (errorAt_ < from) {
    from = errorAt_;
    line = errorLine_;
    column = errorColumn_;
  }
  const std::string text = Excerpt(from, TokenStart());
  if (text.empty()) return;
  const std::int32_t endLine = tokenLine_, endColumn = tokenColumn_;
  tokenLine_ = line;
  tokenColumn_ = column;
  NoteMsg("Skipped to the next statement: " + text);
  tokenLine_ = endLine;
  tokenColumn_ = endColumn;
}

void TMSSQLParser::ResetStatement() {
  StatementCode = 6;
  StatementObjectName.clear();
  StatementObjectKind = TDbObject::dboUnknown;
  StatementAction = 0;
  StatementParentName.clear();
}

void TMSSQLParser::SetStatement(TDbObject kind, const std::string& name, std::uint8_t action,
                                const std::string& parent) {
  StatementObjectKind = kind;
  StatementObjectName = name;
  StatementAction = action;
  StatementParentName = parent;
}

void TMSSQLParser::ReportStatement() {
  const std::size_t end = TokenStart();
  LastStatementText =
      end > StatementStart ? TrimCtl(GetText(StatementStart, end - StatementStart)) : std::string();
  if (BodyMode) return;
  int result = 0;
  NotifyStatement(StatementCode, StatementObjectName, result, StatementParentName, StatementAction,
                  static_cast<std::uint8_t>(StatementObjectKind));
}

bool TMSSQLParser::CanStartStatement() const {
  // clang-format off
  switch (scan_.Kind) {
    case tk::Ident: case tk::LParen: case msk::Label: case msk::Set: case msk::Insert:
    case msk::Delete: case msk::Update: case msk::Select: case msk::Begin:
    case msk::Reconfigure: case msk::Shutdown: case msk::Checkpoint: case msk::Break:
    case msk::Continue: case msk::Create: case msk::Alter: case msk::Drop: case msk::Grant:
    case msk::Revoke: case msk::Deny: case msk::Exec: case msk::If: case msk::Declare:
    case msk::Truncate: case msk::Dump: case msk::Save: case msk::Open: case msk::Goto:
    case msk::Deallocate: case msk::Close: case msk::Use: case msk::Rollback: case msk::Commit:
    case msk::Print: case msk::Setuser: case msk::Raiserror: case msk::Waitfor:
    case msk::Return: case msk::While: case msk::Fetch: case msk::Backup: case msk::Restore:
    case msk::Dbcc: case msk::Updatetext: case msk::Readtext: case msk::Writetext:
    case msk::With: case msk::EndConversation: case msk::Bulk:
      return true;
    case tk::Colon:
      return BeginsLine();
    default:
      return false;
  }
  // clang-format on
}

bool TMSSQLParser::ParseStatement(TDbObj* context) {
  TNestingGuard guard(*this);
  if (!Deeper(guard)) return false;
  if (!context) StatementStart = TokenStart();
  ResetStatement();
  // Aliases and common table expressions live for one statement.
  const std::size_t locals = localTables_.size();
  const bool recognised = DispatchStatement(context);
  localTables_.resize(locals);
  return recognised;
}

bool TMSSQLParser::DispatchStatement(TDbObj* context) {
  const TTokenKind k = scan_.Kind;
  // IF, WHILE and BEGIN report the statements inside them.
  bool report = true;
  // Data statements are read in bodies and passed over in scripts.
  auto data = [&](std::uint8_t code, void (TMSSQLParser::*rule)(TDbObj*)) {
    StatementCode = code;
    if (BodyMode) (this->*rule)(context);
    else PassStatement(context, CurTokenName() + " statement");
  };
  switch (k) {
    case tk::EOFKind:
    case tk::Terminator: return false;
    case tk::Ident:
      if (identQuoted_) {
        ParseProcedureCall(context, /*viaExec=*/false);
        break;
      }
      if (IsPlainWord("SEND")) {
        ParseSend(context);
      } else if (IsPlainWord("RECEIVE")) {
        ParseReceive(context);
      } else if (IsPlainWord("ENABLE") || IsPlainWord("DISABLE")) {
        ParseEnableTrigger();
      } else if (IsPlainWord("MERGE")) {
        data(6, &TMSSQLParser::ParseMerge);
      } else if (IsPlainWord("THROW")) {
        ParseThrow(context);
      } else if (IsPlainWord("REVERT")) {
        NextToken();
        if (scan_.Kind == msk::With) {
          NextToken();
          if (IsPlainWord("COOKIE")) NextToken();
          if (scan_.Kind == tk::Equal) NextToken();
          ParseExpression(context);
        }
      } else {
        ParseProcedureCall(context, /*viaExec=*/false);
      }
      break;
    case tk::LParen:
      if (BodyMode) {
        ParseQuery(context);
      } else {
        PassStatement(context, "Query");
      }
      break;
    case msk::Set: ParseSet(context); break;
    case msk::Insert: data(15, &TMSSQLParser::ParseInsert); break;
    case msk::Delete: data(17, &TMSSQLParser::ParseDelete); break;
    case msk::Select: data(14, &TMSSQLParser::ParseQuery); break;
    case msk::Update:
      StatementCode = 16;
      if (BodyMode) {
        NextToken();
        ParseUpdate(context);
      } else {
        PassStatement(context, "UPDATE statement");
      }
      break;
    case msk::With:
      // Common table expressions, then the statement that reads them.
      if (!BodyMode) {
        PassStatement(context, "WITH statement");
        break;
      }
      ParseWithList(context);
      // clang-format off
      switch (scan_.Kind) {
        case msk::Select: case tk::LParen: ParseQuery(context); break;
        case msk::Insert: ParseInsert(context); break;
        case msk::Delete: ParseDelete(context); break;
        case msk::Update: NextToken(); ParseUpdate(context); break;
        default:
          if (IsPlainWord("MERGE")) ParseMerge(context);
          else Expect(msk::Select);
          break;
      }
      // clang-format on
      break;
    case msk::Begin:
      report = false;
      ParseBlock(context);
      break;
    // clang-format off
    case msk::Reconfigure: case msk::Shutdown:
      // clang-format on
      NextToken();
      if (scan_.Kind == msk::With) {
        NextToken();
        if (scan_.Kind == tk::Ident) NextToken();
      }
      break;
    // clang-format off
    case msk::Checkpoint: case msk::Break: case msk::Continue: case msk::Label:
      // clang-format on
      NextToken();
      break;
    case msk::Create: ParseCreate(context); break;
    case msk::Alter: ParseAlter(context); break;
    case msk::Drop: ParseDrop(); break;
    case msk::Grant: ParseGrant(); break;
    case msk::Revoke: ParseRevoke(); break;
    case msk::Deny: ParseDeny(); break;
    case msk::Exec: ParseExecute(context); break;
    case msk::If:
      report = false;
      ParseIf(context);
      break;
    case msk::While:
      report = false;
      ParseWhile(context);
      break;
    case msk::Declare:
      if (BodyMode) ParseDeclare(context);
      else PassStatement(context, "DECLARE statement");
      break;
    case msk::Truncate: {
      NextToken();
      if (scan_.Kind == msk::Table) NextToken();
      std::string db, owner, name;
      ParseThreePartName(db, owner, name);
      break;
    }
    case msk::Dump:
    case msk::Save:
      NextToken();
      if (scan_.Kind == msk::Tran) NextToken();
      if (scan_.Kind == tk::Ident) NextToken();
      if (k == msk::Dump && scan_.Kind == msk::With) {
        NextToken();
        if (scan_.Kind == tk::Ident) NextToken();
      }
      break;
    // clang-format off
    case msk::Open: case msk::Goto: case msk::Deallocate: case msk::Close:
      // clang-format on
      NextToken();
      if ((k == msk::Deallocate && scan_.Kind == msk::Cursor) || IsPlainWord("GLOBAL")) NextToken();
      if (scan_.Kind == tk::Ident) NextToken();
      break;
    case msk::Use:
      NextToken();
      ParseObjectName(TDbObject::dboDatabase, false);
      StatementCode = 0;
      SetStatement(TDbObject::dboDatabase, NameObject, 0);
      break;
    case msk::Rollback:
    case msk::Commit:
      NextToken();
      if (IsPlainWord("WORK")) {
        NextToken();
      } else if (scan_.Kind == msk::Tran) {
        NextToken();
        if (scan_.Kind == tk::Ident) NextToken();
      }
      break;
    case msk::Print:
      NextToken();
      ParseConditionList(context);
      break;
    case msk::Raiserror: ParseRaiseError(context); break;
    case msk::Return:
      NextToken();
      if (IsExpressionStart()) ParseCondition(context);
      break;
    case msk::Setuser:
      NextToken();
      if (scan_.Kind == tk::Ident || scan_.Kind == tk::String) {
        NextToken();
        if (scan_.Kind == msk::With) {
          NextToken();
          WordAndNext("NORESET");
        }
      }
      break;
    case msk::Waitfor: ParseWaitFor(context); break;
    case msk::Fetch: ParseFetch(context); break;
    case msk::Backup:
    case msk::Restore: ParseBackupRestore(k == msk::Backup); break;
    case msk::Dbcc: ParseDbcc(); break;
    // clang-format off
    case msk::Updatetext: case msk::Readtext: case msk::Writetext:
      // clang-format on
      ParseTextPointerStatement();
      break;
    case msk::Bulk:
      // BULK INSERT loads rows: nothing of the schema.
      PassOver("BULK INSERT is not read: passed over");
      break;
    case tk::Colon:
      if (!BeginsLine()) {
        Error("Missing / unknown: DDL-statement: " + CurTokenName());
        NextToken();
        return false;
      }
      SkipSqlCmdLine();
      break;
    case msk::EndConversation:
      NextToken();
      ParseExpression(context);
      if (scan_.Kind == msk::With) {
        // WITH ERROR = n DESCRIPTION = 'x' / WITH CLEANUP
        NextToken();
        while (scan_.Kind == tk::Ident) {
          NextToken();
          if (scan_.Kind == tk::Equal) {
            NextToken();
            ParseExpression(context);
          }
        }
      }
      break;
    default:
      Error("Missing / unknown: DDL-statement: " + CurTokenName());
      NextToken();
      return false;
  }
  if (report && !context) ReportStatement();
  return true;
}

// ------------------------------------------------------------------ modes

void TMSSQLParser::ParseScript(const std::vector<std::string>& lines, TObjs* collection) {
  QuotedIdentifiers = false;
  BodyMode = false;
  TCustomSQLParser::ParseScript(lines, collection);
  FinishScript();
}

bool TMSSQLParser::ParseFile(const std::string& fileName, TObjs* collection) {
  QuotedIdentifiers = false;
  BodyMode = false;
  const bool ok = TCustomSQLParser::ParseFile(fileName, collection);
  FinishScript();
  return ok;
}

void TMSSQLParser::FinishScript() {
  BodyMode = true;
  // The addresses are only good while the script's objects are.
  struct TClear {
    std::map<const TDbObj*, std::pair<std::int32_t, std::int32_t>>& Starts;
    ~TClear() { Starts.clear(); }
  } clear{bodyStarts_};
  if (TObjs* objs = Objs()) {
    for (int i = 0; i < objs->Views.Count(); ++i) {
      ParseObjectText(objs->Views.Object(i));
      ProcessMessages();
    }
    for (int i = 0; i < objs->Procedures.Count(); ++i) {
      ParseObjectText(objs->Procedures.Object(i));
      ProcessMessages();
    }
    for (int i = 0; i < objs->Triggers.Count(); ++i) {
      ParseObjectText(objs->Triggers.Object(i));
      ProcessMessages();
    }
  }
  AfterParse();
}

void TMSSQLParser::ParseObjectText(TDbObj* obj) {
  if (!obj) return;
  SetTerminator("\r\nGO");
  CurrentObject = obj;
  tooDeep_ = false;
  const auto start = bodyStarts_.find(obj);
  if (start != bodyStarts_.end()) {
    bodyLine_ = start->second.first;
    bodyColumn_ = start->second.second;
  }
  if (!obj->GetText().empty()) {
    SetSource(obj->GetText());
    NextToken();
    if (auto* v = dynamic_cast<TViwData*>(obj)) {
      ParseViewQuery(*v);
    } else if (dynamic_cast<TPrcData*>(obj) || dynamic_cast<TTrgData*>(obj)) {
      // The bodies a script kept as text are read for what they use too:
      // a routine's text starts at its AS, a trigger's after it.
      if (scan_.Kind == msk::As) NextToken();
      ReadBody(*obj);
    }
    if (!AtStatementEnd()) Error("Unknown statement: " + CurTokenName());
    SetSource({});
  }
  bodyLine_ = bodyColumn_ = 0;
  CurrentObject = nullptr;
}

void TMSSQLParser::ParseObject(TDbObj* obj) {
  if (!obj) return;
  SetTerminator("\r\nGO");
  CurrentObject = obj;
  tooDeep_ = false;
  // A stored column list "[A] ASC, [B] DESC" is read back into entries.
  // An entry that carries its order was read as one column (the catalog
  // readers give it): read again, a name with blanks would break apart.
  auto reparseList = [&](TFieldList& list) {
    if (list.Count() != 1 || (list.Value(0) && list.Value(0)->SortOrder != 0)) return;
    std::string text = list.Name(0);
    list.Clear();
    SetSource(std::move(text));
    NextToken();
    const bool parens = scan_.Kind == tk::LParen;
    if (parens) {
      ParseColumnList(&list);
    } else {
      // The same items without the parentheses.
      SetSource("(" + std::string(Source()) + ")");
      NextToken();
      ParseColumnList(&list);
    }
    SetSource({});
  };
  if (auto* idx = dynamic_cast<TIdxData*>(obj)) {
    reparseList(idx->Columns);
  } else if (auto* ctr = dynamic_cast<TCtrData*>(obj)) {
    if (ctr->GetConstraintType() == ct::Default) {
      const std::string& t = ctr->GetText();
      if (StartsWith(t, "((") && EndsWith(t, "))") && StripOuterParens(t) != t)
        ctr->SetText(t.substr(1, t.size() - 2));
    }
    reparseList(ctr->Columns);
    reparseList(ctr->RefColumns);
  } else if (!obj->ObjectSource.empty()) {
    SetSource(obj->ObjectSource);
    NextToken();
    if (Expect(msk::Create)) {
      NextToken();
      // CREATE OR ALTER is CREATE.
      if (scan_.Kind == msk::Or) {
        NextToken();
        if (scan_.Kind == msk::Alter) NextToken();
      }
      if (auto* r = dynamic_cast<TRulData*>(obj)) {
        ParseCreateRule(r);
      } else if (auto* d = dynamic_cast<TDefData*>(obj)) {
        ParseCreateDefault(d);
      } else if (auto* p = dynamic_cast<TPrcData*>(obj)) {
        ParseCreateRoutine(nullptr, p, p->IsFunction, /*alter=*/false);
      } else if (auto* t = dynamic_cast<TTrgData*>(obj)) {
        ParseCreateTrigger(nullptr, t, /*alter=*/false);
      } else if (auto* v = dynamic_cast<TViwData*>(obj)) {
        ParseCreateView(v, /*alter=*/false);
      }
    }
    SetSource({});
  }
  CurrentObject = nullptr;
}

// ----------------------------------------------------------------- linking

void TMSSQLParser::AfterParse() {
  TCustomSQLParser::AfterParse();
  TObjs* objs = Objs();
  if (!objs) return;
  for (int i = 0; i < objs->Tables.Count(); ++i) {
    TTblData* t = objs->Tables.Object(i);
    for (int c = 0; c < t->Fields.Count(); ++c) {
      TFldData* f = t->Fields.Object(c);
      if (!f) continue;
      if (!f->DomainName.empty()) {
        TDmnData* d = f->DomainSchema.empty()
                          ? nullptr
                          : objs->FindDomain(f->DomainSchema + "." + f->DomainName);
        if (d) LinkDependency(f, d, {});
        else LinkDepend(f, f->DomainName, {TDbObject::dboDomain});
      }
      if (!f->DefaultValue.empty()) LinkDepend(f, f->DefaultValue, {TDbObject::dboDefault});
    }
  }
  // Grants keep the schema of their object apart from its name; the common
  // pass looks the bare name up.
  for (int i = 0; i < objs->Grants.Count(); ++i) {
    TGntData* g = objs->Grants.Object(i);
    if (g->GetParentName().empty()) continue;
    const std::string key = g->GetParentName() + "." + g->ObjectName;
    switch (g->ObjectKind) {
      case TDbObject::dboTable: LinkDependency(g, objs->FindTable(key), {}); break;
      case TDbObject::dboView: LinkDependency(g, objs->FindView(key), {}); break;
      case TDbObject::dboProcedure: LinkDependency(g, objs->FindProcedure(key), {}); break;
      default: break;
    }
  }
  for (int i = 0; i < objs->Triggers.Count(); ++i) {
    TTrgData* trg = objs->Triggers.Object(i);
    const std::string key = trg->GetParentName().empty()
                                ? trg->GetTableName()
                                : trg->GetParentName() + "." + trg->GetTableName();
    if (TTblData* t = objs->FindTable(key)) LinkDependency(trg, t, {});
  }
  for (int i = 0; i < objs->Indices.Count(); ++i) {
    TIdxData* idx = objs->Indices.Object(i);
    const std::string key =
        idx->GetParentName().empty() ? idx->TableName : idx->GetParentName() + "." + idx->TableName;
    if (TViwData* v = objs->FindView(key)) LinkDependency(idx, v, {});
  }
}

}  // namespace qor
