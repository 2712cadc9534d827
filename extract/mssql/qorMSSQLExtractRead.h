// Reading catalog rows by the column names of qorMSSQLCatalogQueries.h,
// shared by the reader files of the MS SQL extractor. Whole numbers are read
// as 64-bit values, then narrowed with a check where the model holds 32
// bits.
#pragma once

#include "engine/qorDBEngine.h"
#include "extract/qorExtractRead.h"
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

template <class E>
std::int32_t Int32(TQORQuery& q, E c) {
  return xread::Narrow32(Int64(q, c), msq::ColumnName(c));
}

// A flag column: set when its value is not 0; null is 0.
template <class E>
bool Flag(TQORQuery& q, E c) {
  return Int64(q, c) != 0;
}

using xread::Done;
using xread::SetSQL;

}  // namespace qor::msread
