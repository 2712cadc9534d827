// Round trip of the MySQL parser and writer: a script that reads without an
// error is written back, and our own script must read back to the same
// objects, then to a fixed point (fuzz/qorFuzzRoundTrip.h).
#include "fuzz/qorFuzzRoundTrip.h"
#include "parsers/mysql/qorMySQLParser.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  const bool caseSensitive = (data[0] & 1) != 0;
  qor::fuzz::TRoundTrip rt;
  rt.configure = [caseSensitive](qor::TObjs& objs) {
    objs.SetServerType(qor::TDatabaseType::dbMySQL);
    objs.MySQLServerOptions.MySQLCompareOptions.CaseSensitiveIdentifiers = caseSensitive;
  };
  rt.read = qor::fuzz::ReadScript<qor::TMySQLParser, true>;
  rt.Check(text);
  return 0;
}
