// What each MySQL or MariaDB generation can do, one row per
// TMySQLServerVersionType. The enumeration ends with MariaDB, a product
// line of its own, so its order says little: every version decision reads
// a flag here, as the InterBase ones read qorIBVersions.h.
#pragma once

#include <array>
#include <cstddef>

#include "base/qorTypes.h"
#include "base/qorVersionCaps.h"

namespace qor {

struct TMySQLVersionCaps {
  TMySQLServerVersionType version;
  bool routines;         // stored procedures and functions
  bool triggers;         // CREATE TRIGGER
  bool mariaDbComments;  // /*M! ... */ executable comments run
};

// clang-format off
inline constexpr std::array<TMySQLVersionCaps, kMySQLVersionCount> kMySQLVersionCaps = [] {
  using namespace vcaps;
  using V = TMySQLServerVersionType;
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

constexpr const TMySQLVersionCaps& MySQLCaps(TMySQLServerVersionType v) {
  return vcaps::RowOf(kMySQLVersionCaps, v);
}

}  // namespace qor
