// The names the fuzz targets give objects.
#pragma once

#include "platform/qorStrings.h"

#include <cstddef>
#include <string>

namespace qor::fuzz {

// Names a user can give an object: not empty, no control characters, valid
// UTF-8, not a "<placeholder>" (which the writers leave as it is).
inline bool PlausibleName(const std::string& name) {
  if (name.empty() || name.size() > 63 || name.front() == '<') return false;
  for (char c : name)
    if (static_cast<unsigned char>(c) < 32 || c == 127) return false;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t n = Utf8SequenceLength(name, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace qor::fuzz
