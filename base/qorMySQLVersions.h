// What each MySQL or MariaDB generation can do, one row per
// TMySQLServerVersionType. The enumeration ends with MariaDB, a product
// line of its own, so its order says little: every version decision reads
// a flag here, as the InterBase ones read qorIBVersions.h.
#pragma once

#include <array>
#include <cstddef>

#include "base/qorTypes.h"

namespace qor {

struct TMySQLVersionCaps {
  TMySQLServerVersionType version;
  bool routines;         // stored procedures and functions
  bool triggers;         // CREATE TRIGGER
  bool mariaDbComments;  // /*M! ... */ executable comments run
};

namespace mysqlcaps_detail {
using V = TMySQLServerVersionType;
constexpr bool o = false, X = true;
}  // namespace mysqlcaps_detail

// clang-format off
inline constexpr std::array<TMySQLVersionCaps, kMySQLVersionCount> kMySQLVersionCaps = [] {
  using namespace mysqlcaps_detail;
  return std::array<TMySQLVersionCaps, kMySQLVersionCount>{{
    //                    rout trig mariaCmt
    {V::st_MySQL_3x,      o,   o,   o},
    {V::st_MySQL_4x,      o,   o,   o},
    {V::st_MySQL_5x,      X,   X,   o},
    {V::st_MySQL_8x,      X,   X,   o},
    {V::st_MariaDB_10x,   X,   X,   X},
  }};
}();
// clang-format on

// A value beyond the enumeration gets the last row, as IBCaps does.
constexpr const TMySQLVersionCaps& MySQLCaps(TMySQLServerVersionType v) {
  const auto i = static_cast<std::size_t>(v);
  return kMySQLVersionCaps[i < kMySQLVersionCount ? i : kMySQLVersionCount - 1];
}

}  // namespace qor
