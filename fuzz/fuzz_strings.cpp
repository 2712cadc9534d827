// Fuzzes the string toolkit: case mapping and comparison must accept any
// bytes, keep invalid UTF-8 as it is, and agree with each other.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/qorStrings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), size);
  const std::string up = qor::UpperLocale(s);
  (void)qor::LowerLocale(s);
  if (qor::CompareText(s, up) != 0) std::abort();
  if (qor::CompareText(s, s) != 0) std::abort();
  const std::string norm = qor::NormalizeLineBreaks(s);
  if (qor::NormalizeLineBreaks(norm) != norm) std::abort();
  (void)qor::TrimCtl(s);
  (void)qor::SplitLines(s);
  return 0;
}
