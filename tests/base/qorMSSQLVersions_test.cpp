#include "base/qorMSSQLVersions.h"

#include "base/qorDBOptions.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace qor {
namespace {

using V = TMSSQLServerVersionType;

// Every flag of a row; the size check below fails when a flag is added to
// the row and not here.
constexpr bool TMSSQLVersionCaps::*kFlags[] = {
    &TMSSQLVersionCaps::catalogViews,     &TMSSQLVersionCaps::typeStatements,
    &TMSSQLVersionCaps::descriptions,     &TMSSQLVersionCaps::schemaUsers,
    &TMSSQLVersionCaps::filteredIndexes,  &TMSSQLVersionCaps::compoundAssignment,
    &TMSSQLVersionCaps::helpUserRoleName, &TMSSQLVersionCaps::dateTypeWords,
};
static_assert(sizeof(TMSSQLVersionCaps) == 2 + std::size(kFlags),
              "a flag of TMSSQLVersionCaps is missing from kFlags");

// The window and the script header name each version by its ordinal: a
// version added to the enumeration gets a name, and with it a row here.
TEST(MSSQLVersionCaps, OneRowPerNamedVersionInEnumerationOrder) {
  for (std::size_t i = 0; i < kMSSQLVersionCount; ++i) {
    EXPECT_EQ(static_cast<std::size_t>(kMSSQLVersionCaps[i].version), i) << "row " << i;
    EXPECT_NE(GetServerVersionName(TDatabaseType::dbMSSQL, static_cast<int>(i)), "") << i;
  }
  EXPECT_EQ(GetServerVersionName(TDatabaseType::dbMSSQL, static_cast<int>(kMSSQLVersionCount)), "");
}

// One product line: each release is later than the one before it, and
// keeps what that one could do. A flag lost on the way is a row edited by
// mistake (the writers would drop a feature for a newer server).
TEST(MSSQLVersionCaps, ReleasesRiseAndKeepEveryCapability) {
  for (std::size_t i = 1; i < kMSSQLVersionCount; ++i) {
    const TMSSQLVersionCaps& before = kMSSQLVersionCaps[i - 1];
    const TMSSQLVersionCaps& row = kMSSQLVersionCaps[i];
    EXPECT_LT(before.major, row.major) << "row " << i;
    for (std::size_t f = 0; f < std::size(kFlags); ++f)
      EXPECT_TRUE(!(before.*kFlags[f]) || row.*kFlags[f]) << "row " << i << ", flag " << f;
  }
  // SQL Server 2000 is the only generation on the old system tables.
  for (std::size_t i = 0; i < kMSSQLVersionCount; ++i)
    EXPECT_EQ(kMSSQLVersionCaps[i].catalogViews, i != 0) << "row " << i;
}

TEST(MSSQLVersionCaps, UnknownVersionReadsTheNewestRow) {
  for (std::size_t i : {kMSSQLVersionCount, kMSSQLVersionCount + 1, std::size_t{255}})
    EXPECT_EQ(&MSSQLCaps(static_cast<V>(i)), &kMSSQLVersionCaps.back()) << "ordinal " << i;
  EXPECT_EQ(&MSSQLCaps(V::st_MSSQL2005), &kMSSQLVersionCaps[1]);
}

}  // namespace
}  // namespace qor
