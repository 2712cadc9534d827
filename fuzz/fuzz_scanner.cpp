// Fuzzes the scanner and the parser core: on any bytes, in every scanner
// mode, with a dialect's keyword table loaded and with every terminator a
// script may use, each token must move on, token positions stay inside the
// text, a name token carries its text and the grammar helpers end.
// Input: a byte choosing the dialect, a byte choosing the terminator (and
// the trace), then the text.
#include "parsers/keywords/qorIBKeywords.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "parsers/keywords/qorMySQLKeywords.h"
#include "parsers/keywords/qorPGSQLParser.h"
#include "parsers/qorSQLParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

namespace {

struct TDialect {
  qor::TDatabaseType type;
  qor::TResWordTable (*table)();
};

const TDialect kDialects[] = {
    {qor::TDatabaseType::dbInterBase, qor::IbKeywordTable},
    {qor::TDatabaseType::dbMySQL, qor::MySQLKeywordTable},
    {qor::TDatabaseType::dbMSSQL, qor::MSSQLKeywordTable},
    {qor::TDatabaseType::dbSybaseASE, qor::MSSQLKeywordTable},
    {qor::TDatabaseType::dbPostgreSQL, qor::PGKeywordTable},
    {qor::TDatabaseType::dbAbstract, nullptr},
};
// What the parsers set with SET TERM and what the writers end statements
// with, line breaks included.
const char* const kTerminators[] = {";",  "^",  "GO",    "go",     "/",
                                    "//", "$$", "\r\n^", "\r\ngo", "\r\n/"};

class DialectScanner : public qor::TCustomSQLParser {
 public:
  explicit DialectScanner(const TDialect& d) : TCustomSQLParser(nullptr, d.type), table_(d.table) {}

 protected:
  void InitResWords() override {
    TCustomSQLParser::InitResWords();
    if (table_) ResWords().AddWords(table_());
  }

 private:
  qor::TResWordTable (*table_)();
};

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  DialectScanner p(kDialects[data[0] % std::size(kDialects)]);
  p.OnErrorMessage = [](qor::TObject*, const std::string&) {};
  p.OnLogNextLine = [](qor::TObject*, const std::string&) {};
  p.SetTerminator(kTerminators[data[1] % std::size(kTerminators)]);
  if (data[1] & 0x80) p.Trace = qor::TParserTraces::All();
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

  // Plain token loop: at most one token per character, positions in range,
  // a name token's text is the source it was read from.
  p.SetSource(text);
  std::size_t steps = 0, lastPos = 0;
  for (;;) {
    p.NextToken();
    Check(++steps <= text.size() + 1);
    Check(p.TokenStart() <= text.size());
    Check(p.ReadPos() >= lastPos && p.ReadPos() <= text.size());
    lastPos = p.ReadPos();
    const qor::TTokenKind k = p.TokenKind();
    if (k == qor::tk::Ident || k >= qor::kFirstKeywordKind) {
      Check(!p.IdentText().empty());
      Check(p.TokenStart() + p.IdentText().size() <= text.size());
      if (k != qor::tk::Ident)
        Check(p.IdentText() == text.substr(p.TokenStart(), p.IdentText().size()));
    }
    (void)p.CurTokenName();
    if (k == qor::tk::EOFKind) break;
  }
  Check(p.AtEnd());

  // The helpers the grammars use, chosen by the input bytes.
  p.SetSource(text);
  std::size_t i = 0;
  steps = 0;
  while (!(p.AtEnd() && p.TokenKind() == qor::tk::EOFKind)) {
    Check(++steps <= text.size() + 3);
    const std::uint8_t b = i < size ? data[i++] : 0;
    const qor::TTokenKind kind = b % 32;
    p.Expect(kind);
    std::string s;
    switch ((b >> 5) % 6) {
      case 0: p.NextToken(); break;
      case 1: p.ExpectAndNext(kind); break;
      case 2: p.NextAndExpect(kind); break;
      case 3:
        p.NextToken();
        p.SkipTo(qor::KindSet({kind, qor::tk::Terminator}));
        break;
      case 4:
        p.ScanExpression(s);
        p.NextToken();
        break;
      default:
        p.SkipLine();
        p.NextToken();
        break;
    }
  }
  return 0;
}
