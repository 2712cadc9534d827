// Reading catalog rows by column number, shared by the reader files of the
// InterBase/Firebird extractor. Whole numbers are read as 64-bit values
// (catalog values pass 2^31), then narrowed with a check where the model
// holds 32 bits.
#pragma once

#include "engine/qorDBEngine.h"
#include "platform/qorStrings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qor::ibread {

inline TField& Col(TQORQuery& q, int col) {
  TFields* fields = q.GetFields();
  if (!fields || col < 0 || col >= fields->Count())
    throw EQorError("Catalog query returned no column " + std::to_string(col));
  return *fields->Fields(col);
}

inline bool IsNull(TQORQuery& q, int col) { return Col(q, col).IsNull(); }
inline std::string Str(TQORQuery& q, int col) { return Col(q, col).AsString(); }
inline std::string Trimmed(TQORQuery& q, int col) { return TrimCtl(Col(q, col).AsString()); }

inline std::optional<std::int64_t> Int(TQORQuery& q, int col) {
  TField& f = Col(q, col);
  if (f.IsNull()) return std::nullopt;
  return f.AsLargeInt();
}

inline std::int64_t IntOr0(TQORQuery& q, int col) { return Int(q, col).value_or(0); }

// A value the model keeps in 32 bits; a larger one is an error naming the
// column and the value instead of a silently wrong number.
inline std::int32_t Int32(TQORQuery& q, int col) {
  const std::int64_t v = IntOr0(q, col);
  if (v < INT32_MIN || v > INT32_MAX)
    throw EQorError("Catalog value " + std::to_string(v) + " of " + Col(q, col).FieldName() +
                    " is out of the 32-bit range");
  return static_cast<std::int32_t>(v);
}

inline std::optional<int> OptInt32(TQORQuery& q, int col) {
  if (IsNull(q, col)) return std::nullopt;
  return Int32(q, col);
}

// Runs the statement in `sql` (changed only when it differs, so a repeated
// query stays prepared) with one parameter.
inline void OpenWith(TQORQuery& q, std::string_view sql, std::string_view param,
                     const std::string& value) {
  q.Close();
  TStrings* text = q.GetSQL();
  if (text->Text() != sql) text->SetText(sql);
  if (!param.empty()) q.ParamByName(param)->SetAsString(value);
  q.Open();
}

}  // namespace qor::ibread
