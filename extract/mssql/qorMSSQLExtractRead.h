// Reading catalog rows by the column names of qorMSSQLCatalogQueries.h,
// shared by the reader files of the MS SQL extractor. Whole numbers are read
// as 64-bit values, then narrowed with a check where the model holds 32
// bits.
#pragma once

#include "engine/qorDBEngine.h"
#include "extract/mssql/qorMSSQLCatalogQueries.h"
#include "platform/qorStrings.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qor::msread {

template <class E>
TField& Col(TQORQuery& q, E c) {
  const char* name = msq::ColumnName(c);
  TField* f = q.FieldByName(name);
  if (!f) throw EQorError("Field '" + std::string(name) + "' not found");
  return *f;
}

template <class E>
bool IsNull(TQORQuery& q, E c) {
  return Col(q, c).IsNull();
}

template <class E>
std::string Str(TQORQuery& q, E c) {
  return Col(q, c).AsString();
}

template <class E>
std::int64_t Int64(TQORQuery& q, E c) {
  return Col(q, c).AsLargeInt();
}

// A value the model keeps in 32 bits; a larger one is an error naming the
// column and the value instead of a silently wrong number.
template <class E>
std::int32_t Int32(TQORQuery& q, E c) {
  const std::int64_t v = Int64(q, c);
  if (v < INT32_MIN || v > INT32_MAX)
    throw EQorError("Catalog value " + std::to_string(v) + " of " + msq::ColumnName(c) +
                    " is out of the 32-bit range");
  return static_cast<std::int32_t>(v);
}

// A flag column: set when its value is not 0; null is 0.
template <class E>
bool Flag(TQORQuery& q, E c) {
  return Int64(q, c) != 0;
}

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

}  // namespace qor::msread
