// Round trip of the T-SQL parser and the MS SQL writer: a script that reads
// without an error is written back, and our own script must read back to
// the same objects, then to a fixed point (fuzz/qorFuzzRoundTrip.h).
#include "fuzz/qorFuzzRoundTrip.h"
#include "parsers/mssql/qorMSSQLParser.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  const bool v2016 = (data[0] & 1) != 0;
  qor::fuzz::TRoundTrip rt;
  rt.configure = [v2016](qor::TObjs& objs) {
    objs.SetServerType(qor::TDatabaseType::dbMSSQL);
    if (v2016)
      objs.MSSQLServerOptions.SQLServerVersion = qor::TMSSQLServerVersionType::st_MSSQL2016;
    objs.MSSQLServerOptions.Collation = "SQL_Latin1_General_CP1_CI_AS";
  };
  rt.read = qor::fuzz::ReadScript<qor::TMSSQLParser, false>;
  // The whole script has no section for rule and default objects.
  rt.objectLine = [](const std::string& line) {
    return !line.empty() && line[0] != ' ' && !qor::StartsWith(line, "rule ") &&
           !qor::StartsWith(line, "default ");
  };
  rt.Check(text);
  return 0;
}
