// What each MS SQL Server release can do, one row per
// TMSSQLServerVersionType. Every version decision of the writers, the
// parser and the extractor reads a flag here, as the InterBase ones read
// qorIBVersions.h, instead of comparing enumerators.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/qorTypes.h"
#include "base/qorVersionCaps.h"

namespace qor {

struct TMSSQLVersionCaps {
  TMSSQLServerVersionType version;
  std::uint8_t major;       // the product's major version (8 is 2000): releases compare by it
  bool catalogViews;        // the sys.* catalog views (else the 2000 system tables)
  bool typeStatements;      // DROP TYPE (else exec sp_droptype)
  bool descriptions;        // descriptions written as extended properties
  bool schemaUsers;         // SYS, GUEST, INFORMATION_SCHEMA live in every database
  bool filteredIndexes;     // sys.indexes has has_filter, filter_definition
  bool compoundAssignment;  // +=, -=, *= ... in SET and SELECT
  bool helpUserRoleName;    // sp_helpuser names the role in RoleName (else GroupName)
  bool dateTypeWords;       // SMALLDATETIME, DATETIME2, DATETIMEOFFSET are system types
                            // without a precision too (else a user type of that name)
};

// clang-format off
inline constexpr std::array<TMSSQLVersionCaps, kMSSQLVersionCount> kMSSQLVersionCaps = [] {
  using namespace vcaps;
  using V = TMSSQLServerVersionType;
  return std::array<TMSSQLVersionCaps, kMSSQLVersionCount>{{
    //                   major views type desc schU filt cAsg role date
    {V::st_MSSQL2000,    8,    o,    o,   o,   o,   o,   o,   o,   o},
    {V::st_MSSQL2005,    9,    X,    X,   X,   X,   o,   o,   o,   o},
    {V::st_MSSQL2008,    10,   X,    X,   X,   X,   X,   X,   X,   o},
    {V::st_MSSQL2012,    11,   X,    X,   X,   X,   X,   X,   X,   o},
    {V::st_MSSQL2014,    12,   X,    X,   X,   X,   X,   X,   X,   o},
    {V::st_MSSQL2016,    13,   X,    X,   X,   X,   X,   X,   X,   X},
    {V::st_MSSQL2017,    14,   X,    X,   X,   X,   X,   X,   X,   X},
    {V::st_MSSQL2019,    15,   X,    X,   X,   X,   X,   X,   X,   X},
  }};
}();
// clang-format on

constexpr const TMSSQLVersionCaps& MSSQLCaps(TMSSQLServerVersionType v) {
  return vcaps::RowOf(kMSSQLVersionCaps, v);
}

}  // namespace qor
