// Connection strings: the OLE DB form the ADO components take, the ODBC form
// the driver manager takes, quoting a value for each, hiding the password of
// either for a log line, and turning an OLE DB string into the ODBC string
// of the driver configured for its provider.
//
// Both forms are "key=value;" pairs. OLE DB encloses a value in double or
// single quotes (the enclosing quote doubled inside) and writes "=" in a key
// as "=="; ODBC encloses a value in braces ("}" doubled inside). A value is
// quoted only when it has to be, so plain strings stay as people write them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

enum class TConnStringSyntax : std::uint8_t { OLEDB, ODBC };

struct TConnStringPair {
  std::string Key;    // as written, blanks around it removed
  std::string Value;  // unquoted
  // Where the value stands in the text, quotes or braces included.
  std::size_t ValueStart = 0;
  std::size_t ValueLength = 0;
};

// Raises EQorError naming the place for an unterminated quote or brace, a
// pair without "=", or text after a closing quote.
std::vector<TConnStringPair> ParseConnectionString(std::string_view text, TConnStringSyntax syntax);

// The value as it may stand after "key=": unchanged when that is safe,
// otherwise quoted. Raises EQorError naming `what` when a value holds a NUL
// character, which no connection string can carry.
std::string QuoteOLEDBValue(std::string_view value, std::string_view what);
std::string QuoteODBCValue(std::string_view value, std::string_view what);

// True when the text, read as ODBC, names a driver or a data source
// ("Driver=", "DSN=", "FileDSN="): such a string goes to the driver manager
// as it stands.
bool NamesODBCDriver(std::string_view text);

// The text with the value of every password key ("Password", "PWD") shown
// as "*******", everything else as written. A text that cannot be read is
// not shown at all.
std::string MaskConnectionStringPassword(std::string_view text);

// The ODBC driver that an OLE DB provider is translated to (the name in
// odbcinst.ini or the path of the driver's library); empty when none is.
// "SQLOLEDB" and its successors go to "FreeTDS" unless the environment
// variable QOR_SQLOLEDB_DRIVER names another driver.
std::string ProviderDriver(std::string_view provider);
// Sets (or with an empty driver removes) the driver of a provider.
void SetProviderDriver(std::string_view provider, std::string driver);

struct TODBCConnectString {
  std::string Text;
  // From "Connect Timeout" of an OLE DB string, in seconds.
  std::optional<int> LoginTimeout;
};

// A string that names a driver or data source is kept. Otherwise it is read
// as OLE DB: Provider becomes the configured driver, Initial Catalog
// Database, Data Source Server, User ID and Password UID and PWD,
// Integrated Security Trusted_Connection; keys with no ODBC meaning are
// dropped. The FreeTDS driver keeps a doubled "}" in braces doubled: for it
// a value goes in braces only when it must (a ";" or a leading "{"), and
// such a value with a "}" is refused. Raises EQorError for a provider
// without a driver, a value that cannot be carried and text that cannot be
// read.
TODBCConnectString TranslateConnectionString(std::string_view text);

}  // namespace qor
