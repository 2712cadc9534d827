// Reading catalog rows, the part every extractor shares: the statement text
// set and cleared, a whole number narrowed to the model's 32 bits. How a
// column is found (by number or by name) stays with each dialect.
#pragma once

#include "engine/qorDBEngine.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qor::xread {

// Sets the statement text, changed only when it differs so that a repeated
// query stays prepared.
inline void SetSQL(TQORQuery& q, std::string_view sql) {
  q.Close();
  TStrings* text = q.GetSQL();
  if (text->Text() != sql) text->SetText(sql);
}

// Closes the query and clears its text, as every reader leaves it.
inline void Done(TQORQuery& q) {
  q.Close();
  q.GetSQL()->Clear();
}

// A value the model keeps in 32 bits; a larger one is an error naming the
// column and the value instead of a silently wrong number.
inline std::int32_t Narrow32(std::int64_t v, const std::string& column) {
  if (v < INT32_MIN || v > INT32_MAX)
    throw EQorError("Catalog value " + std::to_string(v) + " of " + column +
                    " is out of the 32-bit range");
  return static_cast<std::int32_t>(v);
}

}  // namespace qor::xread
