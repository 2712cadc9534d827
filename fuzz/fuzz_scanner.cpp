// Fuzzes the scanner and the parser core: on any bytes, in every scanner
// mode and with every kind of terminator, each token must move on, token
// positions stay inside the text, and the grammar helpers end.
#include "parsers/qorSQLParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

const qor::TDatabaseType kTypes[] = {qor::TDatabaseType::dbInterBase, qor::TDatabaseType::dbMySQL,
                                     qor::TDatabaseType::dbMSSQL, qor::TDatabaseType::dbSybaseASE,
                                     qor::TDatabaseType::dbAbstract};
const char* const kTerminators[] = {";", "^", "GO", "//", "\r\nGO", "$$"};

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  qor::TCustomSQLParser p(nullptr, kTypes[data[0] % 5]);
  p.OnErrorMessage = [](qor::TObject*, const std::string&) {};
  p.OnLogNextLine = [](qor::TObject*, const std::string&) {};
  p.SetTerminator(kTerminators[(data[0] / 5) % 6]);
  if (data[1] & 1) p.Trace = qor::TParserTraces::All();
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

  // Plain token loop: at most one token per character, positions in range.
  p.SetSource(text);
  std::size_t steps = 0, lastPos = 0;
  for (;;) {
    p.NextToken();
    Check(++steps <= text.size() + 1);
    Check(p.TokenStart() <= text.size());
    Check(p.ReadPos() >= lastPos && p.ReadPos() <= text.size());
    lastPos = p.ReadPos();
    if (p.TokenKind() == qor::tk::EOFKind) break;
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
      case 3: p.NextToken(); p.SkipTo(qor::KindSet({kind, qor::tk::Terminator})); break;
      case 4: p.ScanExpression(s); p.NextToken(); break;
      default: p.SkipLine(); p.NextToken(); break;
    }
  }
  return 0;
}
