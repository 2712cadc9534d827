// What the version capability tables (qorIBVersions.h, qorMSSQLVersions.h,
// qorMySQLVersions.h) share: the two marks their rows are written with and
// the lookup of a version's row.
#pragma once

#include <array>
#include <cstddef>

namespace qor::vcaps {

// A cell of a table: o lacks the capability, X has it.
inline constexpr bool o = false, X = true;

// The row of `v` in a table of one row per enumerator. A value beyond the
// enumeration (a newer server read from a stored setting) gets the last,
// newest row: the same side the keyword tables take.
template <class Row, std::size_t N, class Version>
constexpr const Row& RowOf(const std::array<Row, N>& table, Version v) {
  const auto i = static_cast<std::size_t>(v);
  return table[i < N ? i : N - 1];
}

}  // namespace qor::vcaps
