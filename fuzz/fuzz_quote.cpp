// Fuzzes identifier quoting in every dialect and InterBase version: any
// bytes must come back without a crash, and a wrapped name must keep its
// quote characters doubled so it stays one identifier.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "parsers/keywords/qorQuoteIdentifier.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto type = static_cast<qor::TDatabaseType>(data[0] % qor::kDatabaseTypeCount);
  const auto version = static_cast<qor::TIBSQLServerVersionType>(data[1] % (qor::kIBVersionCount + 1));
  const std::string name(reinterpret_cast<const char*>(data + 2), size - 2);
  for (int dialect = 1; dialect <= 3; ++dialect) {
    const std::string q = qor::QuoteIdentifier(name, type, version, dialect);
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
  return 0;
}
