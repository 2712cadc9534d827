// Fuzzes identifier quoting in every dialect and InterBase version: any
// bytes must come back without a crash, and a wrapped name must keep its
// quote characters doubled so it stays one identifier. For the dialects the
// parsers read (InterBase/Firebird in SQL dialect 3, MS SQL, MySQL) a round
// trip is the oracle: the quoted form, scanned with that dialect's keyword
// table and quoting, must be exactly one name token whose text is the
// name, whether it came back quoted or bare.
// Input: a byte choosing the server type, a byte choosing the InterBase
// version, then the name.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/qorIBVersions.h"
#include "fuzz/qorFuzzNames.h"
#include "parsers/keywords/qorIBKeywords.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "parsers/keywords/qorMySQLKeywords.h"
#include "parsers/keywords/qorQuoteIdentifier.h"
#include "parsers/qorSQLParser.h"
#include "platform/qorStrings.h"

namespace {

using namespace qor;
using fuzz::PlausibleName;

// The scanner of one dialect as far as names go: its keyword table (for
// InterBase only the words the version makes keywords), its quoted names
// ("..." in InterBase dialect 3, `...` in MySQL, [...] and "..." in
// MS SQL) read as name tokens with their case kept, a bare name
// upper-cased, and in MS SQL a name starting with "_" or "#" and going on
// with "@" or "#" as well.
class NameScanner : public TCustomSQLParser {
 public:
  NameScanner(TDatabaseType type, TIBSQLServerVersionType version)
      : TCustomSQLParser(nullptr, type), version_(version) {
    OnErrorMessage = [](TObject*, const std::string&) {};
    // T-SQL names go on with "@" and "#" as well.
    if (type == TDatabaseType::dbMSSQL) IdentChars.Include('@').Include('#');
  }

 protected:
  void InitResWords() override {
    TCustomSQLParser::InitResWords();
    switch (GetServerType()) {
      case TDatabaseType::dbInterBase: ResWords().AddWords(IbKeywordTable()); break;
      case TDatabaseType::dbMSSQL: ResWords().AddWords(MSSQLKeywordTable()); break;
      default: ResWords().AddWords(MySQLKeywordTable()); break;
    }
  }
  TTokenKind LookupKeyword() override {
    const TTokenKind kind = TCustomSQLParser::LookupKeyword();
    if (GetServerType() != TDatabaseType::dbInterBase || kind < kFirstKeywordKind) return kind;
    return IbScannerKeywordKinds(version_).test(static_cast<std::size_t>(kind)) ? kind : tk::Ident;
  }
  bool ScanToken() override {
    const bool mssql = GetServerType() == TDatabaseType::dbMSSQL;
    if (mssql && CurChar() == '[') return ScanBracketed(']');
    // A backslash in a MySQL back-quoted name is an ordinary character.
    if (GetServerType() == TDatabaseType::dbMySQL && CurChar() == '`') return ScanBracketed('`');
    // A T-SQL or MySQL name may start with "_", a temporary object's with "#".
    if (mssql || GetServerType() == TDatabaseType::dbMySQL) {
      if (CurChar() == '_' || (mssql && CurChar() == '#')) {
        scan_.TokenStart = ReadPos() - 1;
        scan_.Kind = tk::Ident;
        ScanIdent();
        scan_.Kind = LookupKeyword();
        if (scan_.Kind == tk::Ident) UpperIdent();
        return true;
      }
    }
    const bool produced = TCustomSQLParser::ScanToken();
    const char nameQuote = GetServerType() == TDatabaseType::dbMySQL ? '`' : '"';
    if (produced && TokenKind() == tk::String && QuoteChar() == nameQuote) {
      scan_.Kind = tk::Ident;
      IdentBuffer() = TokenText();
    }
    return true;
  }

 private:
  // A name up to `close`, which is doubled inside it.
  bool ScanBracketed(char close) {
    std::string name;
    NextChar();
    while (!AtEnd()) {
      if (CurChar() == close) {
        if (PeekChar() != close || ReadPos() >= GetLength()) break;
        NextChar();
      }
      name += CurChar();
      NextChar();
    }
    if (AtEnd()) ScanError("Unterminated name.");
    NextChar();
    scan_.Kind = tk::Ident;
    IdentBuffer() = name;
    return true;
  }

  TIBSQLServerVersionType version_;
};

void RoundTrip(const std::string& name, TDatabaseType type, TIBSQLServerVersionType version) {
  const std::string quoted = QuoteIdentifier(name, type, version, 3);
  NameScanner scanner(type, version);
  scanner.SetSource(quoted);
  scanner.NextToken();
  const TTokenKind kind = scanner.TokenKind();
  const std::string text = scanner.IdentText();
  scanner.NextToken();
  const bool bare = quoted == name;
  // MS SQL compares names without regard to case, as its scanner does.
  const bool sameText =
      bare && type == TDatabaseType::dbMSSQL ? SameText(text, name) : text == name;
  // A word the quoting leaves bare may still scan as a keyword where the
  // scanner keeps unreserved words keywords (MySQL, InterBase 2020); the
  // parsers take those as names where a name stands.
  const bool keepsKeywords =
      type == TDatabaseType::dbMySQL ||
      (type == TDatabaseType::dbInterBase && !IBCaps(version).keywordDemotion);
  const bool nameKind = kind == tk::Ident || (bare && keepsKeywords && kind >= kFirstKeywordKind);
  if (nameKind && sameText && scanner.TokenKind() == tk::EOFKind && !scanner.Messages().HasErrors())
    return;
  std::fprintf(stderr, "type %d version %d: %s written as %s reads back as kind %d \"%s\"%s\n",
               static_cast<int>(type), static_cast<int>(version), name.c_str(), quoted.c_str(),
               kind, text.c_str(), scanner.TokenKind() == tk::EOFKind ? "" : " and more");
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto type = static_cast<TDatabaseType>(data[0] % kDatabaseTypeCount);
  const auto version = static_cast<TIBSQLServerVersionType>(data[1] % (kIBVersionCount + 1));
  const std::string name(reinterpret_cast<const char*>(data + 2), size - 2);
  for (int dialect = 1; dialect <= 3; ++dialect) {
    const std::string q = QuoteIdentifier(name, type, version, dialect);
    if (q == name || q.size() < 2) continue;
    const char open = q.front();
    const char close = open == '[' ? ']' : open;
    if (q.back() != close) continue;
    // Inside the wrapper every close character must come in pairs.
    const std::string inner = q.substr(1, q.size() - 2);
    for (std::size_t i = 0; i < inner.size(); ++i) {
      if (inner[i] != close) continue;
      if (i + 1 >= inner.size() || inner[i + 1] != close) std::abort();
      ++i;
    }
  }
  const bool parsed = type == TDatabaseType::dbInterBase || type == TDatabaseType::dbMSSQL ||
                      type == TDatabaseType::dbMySQL;
  if (parsed && static_cast<std::size_t>(version) < kIBVersionCount && PlausibleName(name))
    RoundTrip(name, type, version);
  return 0;
}
