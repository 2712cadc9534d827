// Round trip of the InterBase/Firebird parser and writer under each server
// version: a script that reads without an error is written back, and our
// own script must read back to the same objects, then to a fixed point
// (fuzz/qorFuzzRoundTrip.h).
#include "fuzz/qorFuzzRoundTrip.h"
#include "base/qorIBVersions.h"
#include "parsers/ib/qorIBParser.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  // INPUT would read files of this machine.
  if (qor::UpperAscii(text).find("INPUT") != std::string::npos) return 0;
  const auto version = static_cast<qor::TIBSQLServerVersionType>(data[0] % qor::kIBVersionCount);
  qor::fuzz::TRoundTrip rt;
  rt.configure = [version](qor::TObjs& objs) {
    objs.SetServerType(qor::TDatabaseType::dbInterBase);
    objs.IBServerOptions.SQLServerVersion = version;
  };
  rt.read = qor::fuzz::ReadScript<qor::TIbParser, true>;
  // A version without packages names them and their grants in comments.
  if (!qor::IBCaps(version).packageHeaderAs)
    rt.written = [](const std::string& block) {
      const std::string package = std::to_string(static_cast<int>(qor::TDbObject::dboPackage));
      auto has = [&block](const std::string& attr) {
        return block.find(attr + " ") != std::string::npos ||
               block.find(attr + "\n") != std::string::npos;
      };
      return !qor::StartsWith(block, "package ") && !has("object-kind=" + package) &&
             !has("grantee-kind=" + package);
    };
  rt.Check(text);
  return 0;
}
