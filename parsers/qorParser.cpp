// The scanner and parser core: characters, tokens, errors with positions,
// the statement and log reports, and the two text routines of the unit.
#include "parsers/qorParser.h"

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"
#include "model/qorDBStructure.h"
#include "model/qorExtractorHost.h"
#include "platform/qorScopedValue.h"
#include "platform/qorStrings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <system_error>
#include <utility>

namespace qor {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// The name characters every parser starts with.
TCharSet DefaultIdentChars() {
  return TCharSet()
      .Include('$')
      .IncludeRange('0', '9')
      .IncludeRange('A', 'Z')
      .Include('_')
      .IncludeRange('a', 'z');
}

bool IsAsciiText(std::string_view s) {
  unsigned char bits = 0;
  for (char c : s) bits |= Byte(c);
  return bits < 0x80;
}

// Whether a byte reads as a blank: Ctrl-Z (26) is read as one.
bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 26; }

// The server types whose comparison operators may carry white space
// between their two characters ("! =", "< =").
bool SpacedOperators(TDatabaseType t) {
  return t == TDatabaseType::dbMSSQL || t == TDatabaseType::dbSybaseASE;
}

// What a character starts, for ScanToken: one table lookup instead of a
// chain of tests.
enum TCharClass : std::uint8_t {
  ccInvalid,  // starts no token
  ccLetter,   // A-Z, a-z: a name or a keyword
  ccDigit,    // 0-9: a number
  ccQuote,    // ' " `: a quoted text
  ccPoint,    // .: a number or a dot
  ccBang,     // !: "!=" or nothing
  ccLess,     // <: "<", "<=", "<>"
  ccEqual,    // =: "=", "=="
  ccGreater,  // >: ">", ">="
  // A one-character token: its kind is the class less this.
  ccFirstSingle,
};

constexpr std::array<std::uint8_t, 256> kCharClass = [] {
  std::array<std::uint8_t, 256> t{};
  for (int c = 'A'; c <= 'Z'; ++c) t[static_cast<std::size_t>(c)] = ccLetter;
  for (int c = 'a'; c <= 'z'; ++c) t[static_cast<std::size_t>(c)] = ccLetter;
  for (int c = '0'; c <= '9'; ++c) t[static_cast<std::size_t>(c)] = ccDigit;
  t['\''] = t['"'] = t['`'] = ccQuote;
  t['.'] = ccPoint;
  t['!'] = ccBang;
  t['<'] = ccLess;
  t['='] = ccEqual;
  t['>'] = ccGreater;
  // clang-format off
  const std::pair<char, TTokenKind> singles[] = {
      {'%', tk::Percent}, {'&', tk::Ampersand}, {'(', tk::LParen}, {')', tk::RParen},
      {'*', tk::Star},    {'+', tk::Plus},      {',', tk::Comma},  {'-', tk::Minus},
      {'/', tk::Slash},   {':', tk::Colon},     {';', tk::Semicolon}, {'@', tk::At},
      {'[', tk::LBracket}, {'\\', tk::Backslash}, {']', tk::RBracket},
  };
  // clang-format on
  for (const auto& [c, kind] : singles)
    t[static_cast<unsigned char>(c)] = static_cast<std::uint8_t>(ccFirstSingle + kind);
  return t;
}();
static_assert(ccFirstSingle + tk::Ampersand < 256);

std::string HexByte(unsigned char b) {
  static const char* digits = "0123456789ABCDEF";
  std::string r = "0x";
  r += digits[b >> 4];
  r += digits[b & 15];
  return r;
}

}  // namespace

TKindSet KindSet(std::initializer_list<TTokenKind> kinds) {
  TKindSet s;
  for (TTokenKind k : kinds)
    if (k >= 0 && k < 256) s.set(static_cast<std::size_t>(k));
  return s;
}

// ------------------------------------------------------------ TResWordList

const std::string& TResWordList::NameOfKind(TTokenKind kind) const {
  static const std::string unknown = "<\?\?\?>";
  if (kind < 0 || kind > 255) return unknown;
  if (!namesValid_) {
    names_.fill(unknown);
    // Sorted order, last one wins: a kind with several words is named by
    // the alphabetically last of them.
    for (const auto& e : words_) names_[static_cast<std::size_t>(e.Value)] = e.Name;
    namesValid_ = true;
  }
  return names_[static_cast<std::size_t>(kind)];
}

void TResWordList::AddWord(std::string name, TTokenKind kind) {
  if (kind < 0 || kind > 255) return;
  words_.Add(std::move(name), kind);
  namesValid_ = false;
  indexValid_ = false;
}

void TResWordList::AddWords(TResWordTable table) {
  for (const TResWordSymb& s : table) AddWord(s.Name, s.Kind);
}

TTokenKind TResWordList::Lookup(std::string_view word) const {
  if (!indexValid_) BuildIndex();
  if (asciiNames_) {
    bool ascii;
    const TTokenKind kind = index_.KindOf(word, &ascii);
    if (ascii) return kind;
  }
  // Beyond ASCII, folding may join a word to a name of other bytes.
  int i;
  return words_.Find(word, i) ? words_.Value(i) : tk::Ident;
}

TTokenKind TResWordList::LookupUnindexed(std::string_view word,
                                         const TResWordHash::TWordKey& key) const {
  if (!indexValid_) BuildIndex();
  if (asciiNames_ && key.Ascii) return index_.KindOfKey(key);
  return Lookup(word);
}

void TResWordList::BuildIndex() const {
  index_.Clear();
  asciiNames_ = true;
  for (const auto& e : words_) {
    if (!IsAsciiText(e.Name)) asciiNames_ = false;
    index_.Add(e.Name, e.Value);
  }
  indexValid_ = true;
}

void TResWordList::Clear() {
  words_.Clear();
  namesValid_ = false;
  indexValid_ = false;
}

// ----------------------------------------------------------- TParseContext

TParseContext::TParseContext(TCustomParser* owner) : Owner(owner) {
  if (owner) Save(*owner, *this);
}

void TParseContext::Save(const TCustomParser& parser, TParseContext& context) {
  // The texts are made first: a saved state never points into a source
  // that may be replaced before it is restored.
  parser.IdentText();
  parser.TokenText();
  context.State = parser.scan_;
}

void TParseContext::Restore(TCustomParser& parser, const TParseContext& context) {
  parser.scan_ = context.State;
  parser.tokenNameValid_ = false;
  parser.identKeyed_ = false;
}

void TParseContext::AddRelation(std::string name, std::string alias) {
  Relations.push_back(std::move(name));
  Aliases.push_back(std::move(alias));
}

// ----------------------------------------------------------- TCustomParser

TCustomParser::TCustomParser(TExtractorHost* owner, TDatabaseType serverType)
    : owner_(owner),
      serverType_(serverType),
      ownMsgs_(std::make_unique<TMsgManager>()),
      msgs_(ownMsgs_.get()),
      resWords_(std::make_unique<TResWordList>()) {
  IdentChars = DefaultIdentChars();
  WhiteStarts = TCharSet::Of(" \t\r\n").Include(26);
  if (owner_)
    if (TCustomDBStructure* st = owner_->LinkedStructure())
      objs_ = dynamic_cast<TObjs*>(st->Objs());
  // Not TokenName(0): that would load the keyword list before the dialect
  // part of the object exists.
  ResetTokenName();
}

TCustomParser::~TCustomParser() = default;

void TCustomParser::SetServerType(TDatabaseType value) {
  serverType_ = value;
  if (objs_) objs_->SetServerType(value);
}

bool TCustomParser::SetTerminator(std::string_view text) {
  if (text.empty()) {
    Error("The statement terminator must not be empty.");
    return false;
  }
  terminator_ = std::string(text);
  return true;
}

void TCustomParser::LoadResWords() {
  resWordsLoaded_ = true;
  resWords_->Clear();
  InitResWords();
}

void TCustomParser::InitResWords() { resWords_->AddWords(kSharedTokenKinds); }

std::string TCustomParser::TokenName(TTokenKind kind) { return ResWords().NameOfKind(kind); }

TTokenKind TCustomParser::LookupKeyword() {
  const std::string_view word = IdentBytes();
  if (IdentKeyFits(word.size())) return ResWords().Lookup(word, identKey_);
  return ResWords().Lookup(word);
}

std::string_view TCustomParser::IdentBytes() const {
  switch (scan_.IdentState) {
    case TText::Empty: return {};
    case TText::Source:
    case TText::SourceUpper:
      return std::string_view(source_).substr(scan_.IdentAt, scan_.IdentLength);
    case TText::Made: return scan_.IdentBuf;
  }
  return {};
}

void TCustomParser::MakeText(TText& state, std::string& buf, std::size_t at,
                             std::size_t length) const {
  const TText was = state;
  state = TText::Made;
  if (was == TText::Empty) {
    buf.clear();
    return;
  }
  SetTokenText(buf, at, length);
  if (was == TText::SourceUpper) UpperText(buf);
}

const std::string& TCustomParser::CurTokenName() const {
  if (!tokenNameValid_) {
    // TokenName is the dialects' virtual and may load the keyword list;
    // no parser object is ever const itself.
    tokenName_ = const_cast<TCustomParser*>(this)->TokenName(scan_.Kind);
    tokenNameValid_ = true;
  }
  return tokenName_;
}

// ---- Messages and reports

void TCustomParser::ReportInto(TCustomParser* outer) {
  msgs_ = outer ? &outer->Messages() : ownMsgs_.get();
}

void TCustomParser::Error(const std::string& text) {
  if (!msgs_->HasErrors()) DoError(text + PositionText());
  msgs_->AddMsg(text, ScriptName, GetColumn(), GetLine(), kMsgError);
}

void TCustomParser::ScanError(const std::string& text) {
  if (lookaheadErrors_) {
    lookaheadErrors_->push_back(text);
    return;
  }
  Error(text);
}

void TCustomParser::Note(const std::string& text) {
  msgs_->AddMsg(text, ScriptName, GetColumn(), GetLine(), kMsgNote);
}

std::string TCustomParser::PositionText() {
  return "\r\nScript: " + ScriptName + " Line:" + IntToStr(GetLine()) +
         " Pos:" + IntToStr(GetColumn()) + "\r\n";
}

TExtractorHost* TCustomParser::LinkedExtractor() const {
  return objs_ ? objs_->GetExtractor() : nullptr;
}

void TCustomParser::DoProgress() {
  if (!ShowProgress) return;
  if (OnProgressUpdate) {
    OnProgressUpdate(this, GetLine(), TotalLines);
    return;
  }
  if (TExtractorHost* ext = LinkedExtractor(); ext && ext->ProgressAssigned())
    ext->ProgressUpdate(ext->EventSender(), GetLine(), TotalLines);
}

void TCustomParser::DoLog(const std::string& text) {
  if (OnLogNextLine) {
    OnLogNextLine(this, text);
    return;
  }
  if (TExtractorHost* ext = LinkedExtractor(); ext && ext->LogAssigned())
    ext->LogNextLine(ext->EventSender(), text);
}

void TCustomParser::DoError(const std::string& text) {
  if (OnErrorMessage) {
    OnErrorMessage(this, text);
    return;
  }
  ShowMsg("Error: " + text);
}

void TCustomParser::DoWarning(const std::string& text) {
  if (OnWarning) OnWarning(this, text);
}

void TCustomParser::DoStatement(const std::string& statementText, std::uint8_t code, int& result,
                                const std::string& extraText, std::uint8_t byte1,
                                std::uint8_t byte2, const std::string& objectName) {
  if (OnStatement)
    OnStatement(this, statementText, code, result, extraText, byte1, byte2, objectName);
}

void TCustomParser::NotifyStatement(std::uint8_t code, const std::string& objectName, int& result,
                                    const std::string& extraText, std::uint8_t byte1,
                                    std::uint8_t byte2) {
  const std::size_t end = scan_.TokenStart;
  const std::string text =
      end > StatementStart ? TrimCtl(GetText(StatementStart, end - StatementStart)) : std::string();
  result = 0;
  DoStatement(text, code, result, extraText, byte1, byte2, objectName);
}

// ---- Source and characters

void TCustomParser::SetSource(std::string text) {
  source_ = std::move(text);
  scan_ = TParseContext::TScanState{};
  ResetTokenName();
  StatementStart = 0;
  nestingReported_ = false;
  NextChar();
}

std::string TCustomParser::GetText(std::size_t index, std::size_t count) const {
  if (index >= source_.size()) return {};
  return source_.substr(index, count);
}

char TCustomParser::PassSpecial(char c) {
  TParseContext::TScanState& s = scan_;
  if (c == '\n') {
    ++s.Line;
    s.Column = -1;
    s.Cur = c;
    DoProgress();
    return c;
  }
  // Ctrl-Z ends old text files; read as a blank.
  ++s.Column;
  s.Cur = ' ';
  return ' ';
}

void TCustomParser::AdvanceTo(std::size_t index) {
  TParseContext::TScanState& s = scan_;
  if (s.AtEnd || index < s.Pos) return;
  index = std::min(index, source_.size());
  // The characters before `index` each pass as the current one: a line feed
  // among them starts a line and reports progress as NextChar would.
  const char* text = source_.data();
  std::size_t i = s.Pos;
  while (i < index) {
    // Short runs (the blanks between tokens) are cheaper looked at here.
    const void* lf = index - i < 32 ? std::find(text + i, text + index, '\n')
                                    : std::memchr(text + i, '\n', index - i);
    if (lf == text + index) lf = nullptr;
    if (!lf) {
      s.Column += static_cast<std::int32_t>(index - i);
      break;
    }
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(lf) - text);
    s.Pos = at + 1;
    s.Cur = '\n';
    ++s.Line;
    s.Column = -1;
    DoProgress();
    i = at + 1;
  }
  s.Pos = index;
  NextChar();
}

namespace {

// ASCII a-z upper-cased in every byte of a word (of any width) holding no
// byte beyond ASCII: bit 0x20 cleared where a byte reaches 'a' but not '{'.
template <class T>
T UpperAsciiBytes(T v) {
  constexpr T kOnes = static_cast<T>(~T{0}) / 0xFF;
  const T fromA = v + kOnes * 0x1F, pastZ = v + kOnes * 0x05;
  return v ^ ((fromA & ~pastZ & kOnes * 0x80) >> 2);
}

// Upper-cases the unit of sizeof(T) bytes at `p`; false, with nothing
// changed, when a byte is beyond ASCII.
template <class T>
bool UpperUnit(char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  if (v & (static_cast<T>(~T{0}) / 0xFF * 0x80)) return false;
  v = UpperAsciiBytes(v);
  std::memcpy(p, &v, sizeof v);
  return true;
}

}  // namespace

void TCustomParser::UpperIdent() {
  switch (scan_.IdentState) {
    case TText::Empty:
    case TText::SourceUpper: return;
    case TText::Source: scan_.IdentState = TText::SourceUpper; return;
    case TText::Made: UpperText(scan_.IdentBuf); return;
  }
}

void TCustomParser::UpperText(std::string& t) const {
  char* p = t.data();
  const std::size_t n = t.size();
  if (IdentKeyFits(n) && identKey_.Ascii) {
    // The scanner upper-cased the name's chunks as it read them.
    std::memcpy(p, identKey_.Chunks, n);
    return;
  }
  // Whole units, the last one overlapping the one before where the length
  // is no multiple: upper-casing a byte twice changes nothing. A text
  // found not to be ASCII is mapped whole with the Unicode-aware mapping,
  // which reads what was upper-cased already as it was.
  bool ascii = true;
  if (n >= 8) {
    for (std::size_t i = 0; ascii && i + 8 <= n; i += 8) ascii = UpperUnit<std::uint64_t>(p + i);
    if (ascii && n % 8 != 0) ascii = UpperUnit<std::uint64_t>(p + n - 8);
  } else if (n >= 4) {
    ascii = UpperUnit<std::uint32_t>(p) && UpperUnit<std::uint32_t>(p + n - 4);
  } else {
    for (std::size_t i = 0; ascii && i < n; ++i) {
      ascii = Byte(p[i]) < 0x80;
      if (ascii && p[i] >= 'a' && p[i] <= 'z') p[i] = static_cast<char>(p[i] - 32);
    }
  }
  if (!ascii) t = UpperLocale(t);
}

// ---- Tokens

void TCustomParser::NextToken() {
  TParseContext::TScanState& s = scan_;
  auto endOfText = [&]() {
    s.TokenStart = source_.size();
    s.IdentState = TText::Empty;
    s.TextState = TText::Empty;
  };
  for (;;) {
    s.Kind = tk::EOFKind;
    if (s.AtEnd) {
      endOfText();
      break;
    }
    // Only where white space or a comment may begin is the dialect asked.
    while (WhiteStarts.Contains(Byte(s.Cur)) && SkipWhite()) {
    }
    if (s.AtEnd) {
      endOfText();
      break;
    }
    const std::size_t before = s.Pos;
    SkipBlanks();
    s.TokenStart = CurIndex();
    const bool produced = ScanToken();
    if (s.Pos == before && !s.AtEnd) ReportDeadlock();
    if (produced) {
      AfterToken();
      break;
    }
  }
  if (Trace.Contains(TParserTrace::trTokens)) TraceToken();
  tokenNameValid_ = false;
}

// Out of line, with TraceToken, to keep NextToken's frame small.
void TCustomParser::ReportDeadlock() {
  // A scanner that consumed nothing would loop for ever.
  ScanError(std::string("Parser ") + ClassName() + " deadlock.");
  NextChar();
}

void TCustomParser::TraceToken() {
  const TParseContext::TScanState& s = scan_;
  std::string line = "(" + IntToStr(GetLine()) + "," + IntToStr(GetColumn()) + ") " +
                     TokenName(s.Kind) + ": " + IntToStr(s.Kind);
  if (s.Kind == tk::Ident) line += " =" + IdentText();
  else if (s.Kind == tk::Integer) line += " =" + IntToStr(s.IntValue);
  else if (s.Kind == tk::String) line += " =" + std::string(1, s.Quote) + TokenText() + s.Quote;
  DoLog(line);
}

void TCustomParser::PassBlankRun() {
  TParseContext::TScanState& s = scan_;
  const char* text = source_.data();
  const std::size_t size = source_.size();
  std::size_t j = s.Pos;
  // Each line feed passes as the current character, as NextChar would
  // pass it: a new line, reported as progress.
  for (; j < size && IsBlankByte(text[j]); ++j) {
    if (text[j] != '\n') continue;
    s.Pos = j + 1;
    s.Cur = '\n';
    ++s.Line;
    s.Column = -1;
    DoProgress();
  }
  s.Column += static_cast<std::int32_t>(j - s.Pos);
  s.Pos = j;
  NextChar();
}

bool TCustomParser::PassTerminator() {
  const std::size_t at = scan_.Pos - 1;
  if (source_.compare(at, terminator_.size(), terminator_) != 0) return false;
  AdvanceTo(at + terminator_.size());
  scan_.Kind = tk::Terminator;
  return true;
}

void TCustomParser::InvalidChar() {
  const std::size_t at = scan_.Pos - 1;
  // Bytes that are not UTF-8 count one by one.
  const std::size_t n = std::max<std::size_t>(1, Utf8SequenceLength(source_, at));
  const unsigned char b = Byte(source_[at]);
  std::string shown;
  if (n > 1 || (b >= 32 && b < 127)) {
    shown += '"';
    shown.append(source_, at, n);
    shown += '"';
  } else {
    shown = HexByte(b);
  }
  ScanError("Invalid char in source text: " + shown + ".");
  for (std::size_t i = 0; i < n; ++i) NextChar();
}

bool TCustomParser::ScanToken() {
  TParseContext::TScanState& s = scan_;
  s.TokenStart = CurIndex();
  s.Quote = 0;
  const char c = s.Cur;
  const std::uint8_t cls = kCharClass[Byte(c)];
  if (cls >= ccFirstSingle) {
    s.Kind = cls - ccFirstSingle;
    NextChar();
    return true;
  }
  // The second character of a two-character operator; MS SQL and ASE allow
  // white space before it.
  auto secondAt = [&]() {
    std::size_t j = s.Pos;
    if (SpacedOperators(serverType_))
      while (j < source_.size() && IsBlank(source_[j])) ++j;
    return j;
  };
  auto consumeThrough = [&](std::size_t j) {
    while (!s.AtEnd && CurIndex() <= j) NextChar();
  };
  switch (cls) {
    case ccLetter:
      s.Kind = tk::Ident;
      ScanIdent();
      s.Kind = LookupKeyword();
      if (s.Kind == tk::Ident) UpperIdent();
      return true;
    case ccDigit:
      s.Kind = tk::Integer;
      ScanNumber();
      return true;
    case ccQuote:
      s.Kind = tk::String;
      s.Quote = c;
      ScanQuoted(TextBuffer());
      return true;
    case ccPoint:
      // After another point it is the second point of a range (1..10).
      if (IsDigit(PeekChar()) && !(s.TokenStart > 0 && source_[s.TokenStart - 1] == '.')) {
        ScanNumber();
      } else {
        s.Kind = tk::Dot;
        NextChar();
      }
      return true;
    case ccBang: {
      const std::size_t j = secondAt();
      if (CharAt(j) == '=' && j < source_.size()) {
        consumeThrough(j);
        s.Kind = tk::NotEqual;
        return true;
      }
      // A lone "!" is no token: reported, and scanning goes on after it.
      InvalidChar();
      return false;
    }
    case ccLess: {
      const std::size_t j = secondAt();
      const char d = CharAt(j);
      if (d == '=' || d == '>') {
        consumeThrough(j);
        s.Kind = d == '=' ? tk::LessEqual : tk::NotEqual;
      } else {
        s.Kind = tk::Less;
        NextChar();
      }
      return true;
    }
    case ccEqual: {
      const std::size_t j = secondAt();
      if (CharAt(j) == '=') {
        consumeThrough(j);
        s.Kind = tk::DoubleEqual;
      } else {
        s.Kind = tk::Equal;
        NextChar();
      }
      return true;
    }
    case ccGreater: {
      const std::size_t j = secondAt();
      if (CharAt(j) == '=') {
        consumeThrough(j);
        s.Kind = tk::GreaterEqual;
      } else {
        s.Kind = tk::Greater;
        NextChar();
      }
      return true;
    }
    default: InvalidChar(); return false;
  }
}

void TCustomParser::ScanIdent() {
  TParseContext::TScanState& s = scan_;
  const std::size_t start = CurIndex();
  if (!(identTableOf_ == IdentChars)) BuildIdentTable();
  // With neither a line feed, Ctrl-Z nor NUL a name character (no dialect
  // makes them one), the run is found on the bytes and passed in one step;
  // the NUL after the text's last byte ends it.
  // The byte that ends the run is then no name character either: no
  // character-by-character pass follows.
  if (!s.AtEnd && identRunPlain_) {
    const char* text = source_.data();
    std::size_t j = start;
    while (identTable_[Byte(text[j])]) ++j;
    if (j > start) {
      s.Column += static_cast<std::int32_t>(j - s.Pos);
      s.Pos = j;
      NextChar();
    }
  } else {
    while (!s.AtEnd && IdentChars.Contains(Byte(s.Cur))) NextChar();
  }
  const std::size_t n = CurIndex() - start;
  identKeyed_ = TResWordHash::MakeKey(source_.data() + start, n, source_.size() - start, identKey_);
  s.IdentState = TText::Source;
  s.IdentAt = start;
  s.IdentLength = n;
}

void TCustomParser::SetTokenText(std::string& dst, std::size_t start, std::size_t n) const {
  dst.clear();
  // A short text is copied as sixteen bytes and cut back, where sixteen
  // bytes of the source (its closing NUL included) remain: a fixed-size
  // copy needs no call. The buffer keeps its capacity, so neither way
  // allocates once it is large enough.
  if (n <= 16 && start + 16 <= source_.size() + 1) {
    dst.append(source_.data() + start, 16);
    dst.erase(n);
    return;
  }
  dst.append(source_.data() + start, n);
}

void TCustomParser::BuildIdentTable() {
  identTableOf_ = IdentChars;
  for (unsigned c = 0; c < 256; ++c) identTable_[c] = IdentChars.Contains(c);
  identRunPlain_ =
      !IdentChars.Contains('\n') && !IdentChars.Contains(26) && !IdentChars.Contains(0);
}

void TCustomParser::ScanNumber() {
  TParseContext::TScanState& s = scan_;
  s.TextState = TText::Empty;
  if (s.AtEnd) {
    ScanError("Missing: Integer(Float) value...");
    return;
  }
  // The number's characters are contiguous in the source: its text is
  // taken from there when asked for, and its value read from there.
  const std::size_t start = CurIndex();
  if (!PassPlainInteger()) {
    TCharSet accept = TCharSet::Of(".E").IncludeRange('0', '9');
    // A number never has two points: one at the start (.5) counts.
    if (s.Cur == '.') accept.Exclude('.');
    for (;;) {
      const char next = PeekChar();
      if (s.Pos >= source_.size() || !accept.Contains(Byte(UpperAsciiChar(next)))) break;
      if (next == '.' && PeekChar2() == '.') break;  // 1..2 is a range, not 1.
      if (next == '.') accept.Exclude('.');
      if (UpperAsciiChar(next) == 'E') accept.Include('+').Include('-').Exclude('.').Exclude('E');
      if (next == '+' || next == '-') accept.Exclude('+').Exclude('-');
      NextChar();
    }
    NextChar();
  }
  const std::string_view text(source_.data() + start, CurIndex() - start);
  s.TextState = TText::Source;
  s.TextAt = start;
  s.TextLength = text.size();

  s.IntValue = 0;
  s.FloatValue = 0.0;
  const bool isFloat = text.find_first_of(".eE") != std::string_view::npos;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (!isFloat) {
    s.Kind = tk::Integer;
    std::int64_t v = 0;
    const auto r = std::from_chars(first, last, v);
    if (r.ec == std::errc::result_out_of_range)
      ScanError("Integer value out of range: " + std::string(text));
    else s.IntValue = v;
    return;
  }
  s.Kind = tk::Float;
  // from_chars does not take a leading point; "1." and "1.e5" are fine.
  std::string withZero;
  if (text.front() == '.') {
    withZero = "0" + std::string(text);
    first = withZero.data();
    last = withZero.data() + withZero.size();
  }
  double v = 0.0;
  const auto r = std::from_chars(first, last, v, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range)
    ScanError("Float value out of range: " + std::string(text));
  else if (r.ec != std::errc() || r.ptr != last)
    ScanError("Invalid float value: " + std::string(text));
  else s.FloatValue = v;
}

bool TCustomParser::PassPlainInteger() {
  TParseContext::TScanState& s = scan_;
  if (!IsDigit(s.Cur)) return false;
  const char* text = source_.data();
  const std::size_t size = source_.size();
  std::size_t j = s.Pos;
  while (j < size && IsDigit(text[j])) ++j;
  // A point or an exponent after the digits: the general loop decides.
  if (j < size && (text[j] == '.' || text[j] == 'e' || text[j] == 'E')) return false;
  s.Column += static_cast<std::int32_t>(j - s.Pos);
  s.Pos = j;
  NextChar();
  return true;
}

void TCustomParser::ScanQuoted(std::string& result) {
  TParseContext::TScanState& s = scan_;
  const char q = s.Cur;
  const std::int32_t line = GetLine(), col = GetColumn();
  const bool backslashEscapes = serverType_ == TDatabaseType::dbMySQL;
  result.clear();
  NextChar();
  for (;;) {
    if (s.AtEnd) {
      ScanError("Unterminated string (opened at line " + IntToStr(line) + ", column " +
                IntToStr(col) + ").");
      return;
    }
    const char c = s.Cur;
    if (c == q) {
      if (PeekChar() == q && s.Pos < source_.size()) {
        result += q;
        NextChar();
        NextChar();
        continue;
      }
      NextChar();
      return;
    }
    if (backslashEscapes && c == '\\') {
      NextChar();
      if (s.AtEnd) continue;  // reported as unterminated above
      switch (s.Cur) {
        case 'r': result += '\r'; break;
        case 'n': result += '\n'; break;
        case 't': result += '\t'; break;
        case 'b': result += '\b'; break;
        case 'z': result += '\x1A'; break;
        case '0': result += '\0'; break;
        default: result += s.Cur; break;
      }
      NextChar();
      continue;
    }
    result += c;
    // The characters after it up to a quote, an escape, a line feed or
    // Ctrl-Z are copied and passed in one step.
    const char* text = source_.data();
    std::size_t j = s.Pos;
    while (j < source_.size() && text[j] != q && text[j] != '\n' && text[j] != 26 &&
           !(backslashEscapes && text[j] == '\\'))
      ++j;
    result.append(text + s.Pos, j - s.Pos);
    s.Column += static_cast<std::int32_t>(j - s.Pos);
    s.Pos = j;
    NextChar();
  }
}

void TCustomParser::ScanExpression(std::string& text) {
  TParseContext::TScanState& s = scan_;
  text.clear();
  while (!s.AtEnd && IsBlank(s.Cur)) NextChar();
  const bool backslashEscapes = serverType_ == TDatabaseType::dbMySQL;
  int depth = 0;
  while (!s.AtEnd) {
    const char c = s.Cur;
    if (c == '\'' || c == '"' || c == '`') {
      // A parenthesis inside a literal does not count.
      text += c;
      NextChar();
      while (!s.AtEnd) {
        const char d = s.Cur;
        text += d;
        NextChar();
        if (backslashEscapes && d == '\\' && !s.AtEnd) {
          text += s.Cur;
          NextChar();
          continue;
        }
        if (d == c) break;  // a doubled quote closes and reopens
      }
      if (depth == 0) break;
      continue;
    }
    text += c;
    if (c == '(') ++depth;
    else if (c == ')') --depth;
    NextChar();
    if (depth == 0) break;
  }
  if (depth != 0 && s.AtEnd) ScanError("Missing: " + TokenName(tk::RParen) + " (<EOF>)");
  if (Trace.Contains(TParserTrace::trExpressions)) DoLog("Expression: " + text);
}

void TCustomParser::SkipLine() {
  // Standing on a line feed already: the line is done once it is passed.
  if (!scan_.AtEnd && scan_.Cur == '\n') {
    NextChar();
    return;
  }
  while (!scan_.AtEnd && PeekChar() != '\n' && scan_.Pos < source_.size()) NextChar();
  NextChar();
  NextChar();
}

// ---- Grammar helpers

bool TCustomParser::Expect(TTokenKind kind) {
  TParseContext::TScanState& s = scan_;
  if ((kind == tk::Float || kind == tk::Integer) && (s.Kind == tk::Minus || s.Kind == tk::Plus)) {
    const std::string sign = s.Kind == tk::Minus ? "-" : "+";
    TParseContext saved(this);
    std::vector<std::string> pending;
    {
      TScopedValue<std::vector<std::string>*> held(lookaheadErrors_, &pending);
      NextToken();
    }
    if (s.Kind == kind) {
      TextBuffer().insert(0, sign);
      for (const std::string& e : pending) ScanError(e);
    } else {
      TParseContext::Restore(*this, saved);
    }
  }
  if (s.Kind == kind) return true;
  std::string msg = "Missing: ";
  msg += kind == tk::Terminator ? std::string("<TERM>") : TokenName(kind);
  if (s.Kind == tk::Ident) msg += " (" + TokenName(tk::Ident) + ": " + IdentText() + ")";
  else msg += " (" + TokenName(s.Kind) + ")";
  Error(msg);
  return false;
}

bool TCustomParser::ExpectAndNext(TTokenKind kind) {
  const bool ok = Expect(kind);
  NextToken();
  return ok;
}

bool TCustomParser::NextAndExpect(TTokenKind kind) {
  NextToken();
  return Expect(kind);
}

bool TCustomParser::IsWord(std::string_view word) {
  return scan_.Kind == tk::Ident && UpperLocale(IdentText()) == UpperLocale(word);
}

bool TCustomParser::ExpectWord(std::string_view word) {
  if (IsWord(word)) return true;
  Error("Must be: " + UpperLocale(word));
  return false;
}

bool TCustomParser::Int32Value(std::int32_t& value) {
  value = 0;
  if (scan_.Kind != tk::Integer) return false;
  if (scan_.IntValue < std::numeric_limits<std::int32_t>::min() ||
      scan_.IntValue > std::numeric_limits<std::int32_t>::max()) {
    Error("Integer value out of range: " + TokenText());
    return false;
  }
  value = static_cast<std::int32_t>(scan_.IntValue);
  return true;
}

void TCustomParser::ParseLengthScale(TFldData& column) {
  if (scan_.Kind != tk::LParen) {
    column.Length = 9;
    column.Scale = 0;
    return;
  }
  std::int32_t v;
  // The writers read a numeric's precision and a text type's length; the
  // number in parentheses is whichever the type has.
  if (NextAndExpect(tk::Integer) && Int32Value(v)) {
    column.Length = v;
    column.Precision = v;
  }
  NextToken();
  if (scan_.Kind == tk::Comma) {
    if (NextAndExpect(tk::Integer) && Int32Value(v)) column.Scale = v;
    NextToken();
  }
  ExpectAndNext(tk::RParen);
}

TDbObj* TCustomParser::AddObject(std::unique_ptr<TDbObj>& obj, bool freeIfRejected) {
  if (!obj) return nullptr;
  if (owner_) {
    if (freeIfRejected) return owner_->AddObjIfAccepted(obj.release());
    // The owner's add frees what it refuses; a caller that keeps rejected
    // objects gets the same two tests without losing the object.
    if (!owner_->AcceptObjName(obj->GetName(), obj->GetObjType())) return nullptr;
    TCustomDBStructure* st = owner_->LinkedStructure();
    TCustomObjs* target = st ? st->Objs() : nullptr;
    return target ? target->AddObject(obj, false) : nullptr;
  }
  if (objs_) return objs_->AddObject(obj, freeIfRejected);
  if (freeIfRejected) obj.reset();
  return nullptr;
}

// ---- Parsing

void TCustomParser::ParseText() {
  NextToken();
  while (scan_.Kind != tk::EOFKind) NextToken();
}

void TCustomParser::ParseScript(const std::vector<std::string>& lines, TObjs* collection) {
  objs_ = collection;
  SetSource(NormalizeLineBreaks(JoinLines(lines)));
  TotalLines = static_cast<int>(lines.size());
  DoProgress();
  DoLog("Parse Script: " + ScriptName);
  ParseText();
}

std::string TCustomParser::DecodeFileText(std::string bytes) {
  if (bytes.size() >= 3 && Byte(bytes[0]) == 0xEF && Byte(bytes[1]) == 0xBB &&
      Byte(bytes[2]) == 0xBF)
    return bytes.substr(3);
  if (bytes.size() < 2 || Byte(bytes[0]) != 0xFF || Byte(bytes[1]) != 0xFE) return bytes;
  // UTF-16 little-endian: the code units after the mark, a trailing odd
  // byte dropped.
  std::u16string units((bytes.size() - 2) / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(Byte(bytes[2 + 2 * i]) | (Byte(bytes[3 + 2 * i]) << 8));
  return Utf16ToUtf8(units);
}

bool TCustomParser::ParseFile(const std::string& fileName, TObjs* collection) {
  objs_ = collection;
  SetSource({});
  TotalLines = 0;
  std::FILE* f = std::fopen(fileName.c_str(), "rb");
  if (!f) {
    Error("Cannot open file: " + fileName);
    return false;
  }
  std::string bytes;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    Error("Cannot read file: " + fileName);
    return false;
  }
  std::string text = DecodeFileText(std::move(bytes));
  int lines = 0;
  for (char c : text)
    if (c == '\n') ++lines;
  TotalLines = lines;
  SetSource(std::move(text));
  DoProgress();
  DoLog("Parse file: " + fileName);
  ParseText();
  SetSource({});
  return true;
}

std::string TCustomParser::CommentText(std::string_view text) {
  return "/* " + BlockCommentText(text) + " */";
}

// ---- Scope stack and nesting

TParseContext& TCustomParser::PushScope() {
  scopes_.push_back(std::make_unique<TParseContext>(this));
  return *scopes_.back();
}

void TCustomParser::PopScope() {
  if (!scopes_.empty()) scopes_.pop_back();
}

TCustomParser::TNestingGuard::TNestingGuard(TCustomParser& parser) : parser_(parser) {
  ok_ = ++parser_.nesting_ <= kMaxNesting;
  if (!ok_ && !parser_.nestingReported_) {
    parser_.nestingReported_ = true;
    parser_.ScanError("Text nested too deeply (more than " + IntToStr(kMaxNesting) + " levels).");
  }
}

// ------------------------------------------------------------ Text routines

std::string NormalizeScriptText(std::string_view text) {
  std::string s = NormalizeLineBreaks(text);
  if (s.empty()) return s;
  std::vector<std::string> lines = SplitLines(s);
  for (std::string& l : lines) l = TrimCtlRight(l);
  return TrimCtl(JoinLines(lines));
}

std::string StripOuterParens(std::string_view text) {
  std::string_view s = text;
  while (StartsWith(s, "((") && EndsWith(s, "))") && OuterParensEncloseAll(s))
    s = s.substr(1, s.size() - 2);
  return std::string(s);
}

}  // namespace qor
