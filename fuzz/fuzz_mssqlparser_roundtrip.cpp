// Round trip of the T-SQL parser and the MS SQL writer: a script that reads
// without an error is written back, and our own script must read back to
// the same objects, then to a fixed point (fuzz/qorFuzzRoundTrip.h).
#include "fuzz/qorFuzzRoundTrip.h"
#include "model/qorComp_Idx.h"
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
  // The writer has no full-text index form yet (README): a script holding
  // one is not written back, as its corpus case is not.
  rt.read = [](const std::string& script, qor::TObjs& objs, std::string& messages) {
    const bool errors = qor::fuzz::ReadScript<qor::TMSSQLParser, false>(script, objs, messages);
    for (auto& e : objs.Indices)
      if (e.Value && e.Value->FullText) return true;
    return errors;
  };
  // The whole script has no section for rule and default objects.
  rt.objectLine = [](const std::string& line) {
    return !line.empty() && line[0] != ' ' && !qor::StartsWith(line, "rule ") &&
           !qor::StartsWith(line, "default ");
  };
  rt.Check(text);
  return 0;
}
