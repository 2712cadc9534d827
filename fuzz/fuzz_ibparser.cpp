// Fuzzes the InterBase/Firebird parser on whole scripts under each server
// version and SQL dialect: no input may crash it, make it loop or recurse
// without bound. The tokens scanned stay within a fixed multiple of the
// input length, and the collection it fills stays consistent.
#include "model/qorDBStructure.h"
#include "fuzz/qorFuzzCounting.h"
#include "parsers/ib/qorIBParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using qor::fuzz::Check;

using TCountingParser = qor::fuzz::TTokenCounting<qor::TIbParser>;

bool MentionsInput(const std::string& text) {
  for (std::size_t i = 0; i + 5 <= text.size(); ++i) {
    bool eq = true;
    for (std::size_t j = 0; j < 5 && eq; ++j) eq = (text[i + j] & ~0x20) == "INPUT"[j];
    if (eq) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  qor::TObjs objs;
  objs.SetServerType(qor::TDatabaseType::dbInterBase);
  objs.IBServerOptions.SQLServerVersion =
      static_cast<qor::TIBSQLServerVersionType>(data[0] % qor::kIBVersionCount);
  TCountingParser p(nullptr);
  p.OnErrorMessage = [](qor::TObject*, const std::string&) {};
  p.OnLogNextLine = [](qor::TObject*, const std::string&) {};
  // INPUT would read files of this machine: a parser without a collection
  // refuses it, and a script that names it runs only that way.
  const bool withCollection = !MentionsInput(text);
  p.SetObjs(withCollection ? &objs : nullptr);
  p.ParseScript({text}, withCollection ? &objs : nullptr);
  if (data[0] & 0x80) p.ParseScript({text}, withCollection ? &objs : nullptr);
  p.AfterParse();
  // Look-aheads scan a few tokens twice; nothing scans more.
  Check(p.Tokens <= 4 * (2 * text.size() + 2) + 16);
  return 0;
}
