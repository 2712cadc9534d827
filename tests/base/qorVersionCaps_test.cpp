// The MS SQL and MySQL capability tables, and what every table shares
// with the InterBase one (whose generations qorIBVersions_test.cpp holds).
#include "base/qorVersionCaps.h"

#include "base/qorDBOptions.h"
#include "base/qorIBVersions.h"
#include "base/qorMSSQLVersions.h"
#include "base/qorMySQLVersions.h"

#include <gtest/gtest.h>

#include <iterator>

namespace qor {
namespace {

using MSV = TMSSQLServerVersionType;
using MyV = TMySQLServerVersionType;

// Every flag of a row; the size checks fail when a flag is added to a row
// and not here.
constexpr bool TMSSQLVersionCaps::*kMSSQLFlags[] = {
    &TMSSQLVersionCaps::catalogViews,     &TMSSQLVersionCaps::typeStatements,
    &TMSSQLVersionCaps::descriptions,     &TMSSQLVersionCaps::schemaUsers,
    &TMSSQLVersionCaps::filteredIndexes,  &TMSSQLVersionCaps::compoundAssignment,
    &TMSSQLVersionCaps::helpUserRoleName, &TMSSQLVersionCaps::dateTypeWords,
};
static_assert(sizeof(TMSSQLVersionCaps) == 2 + std::size(kMSSQLFlags));
constexpr bool TMySQLVersionCaps::*kMySQLFlags[] = {
    &TMySQLVersionCaps::routines,
    &TMySQLVersionCaps::triggers,
    &TMySQLVersionCaps::mariaDbComments,
};
static_assert(sizeof(TMySQLVersionCaps) == 1 + std::size(kMySQLFlags));

// The window and the script header name each version by its ordinal: a
// version added to the enumeration gets a name, and with it a row.
template <class Row, std::size_t N>
void ExpectOneRowPerNamedVersion(const std::array<Row, N>& table, TDatabaseType db) {
  for (std::size_t i = 0; i < N; ++i) {
    EXPECT_EQ(static_cast<std::size_t>(table[i].version), i) << "row " << i;
    EXPECT_NE(GetServerVersionName(db, static_cast<int>(i)), "") << "row " << i;
  }
  EXPECT_EQ(GetServerVersionName(db, static_cast<int>(N)), "");
}

TEST(VersionCaps, OneRowPerNamedVersionInEnumerationOrder) {
  {
    SCOPED_TRACE("InterBase");
    ExpectOneRowPerNamedVersion(kIBVersionCaps, TDatabaseType::dbInterBase);
  }
  {
    SCOPED_TRACE("MS SQL");
    ExpectOneRowPerNamedVersion(kMSSQLVersionCaps, TDatabaseType::dbMSSQL);
  }
  {
    SCOPED_TRACE("MySQL");
    ExpectOneRowPerNamedVersion(kMySQLVersionCaps, TDatabaseType::dbMySQL);
  }
}

// A version beyond the enumeration reads the newest row instead of beyond
// the table.
TEST(VersionCaps, UnknownVersionReadsTheLastRow) {
  for (std::size_t i : {kMSSQLVersionCount, std::size_t{255}})
    EXPECT_EQ(&MSSQLCaps(static_cast<MSV>(i)), &kMSSQLVersionCaps.back()) << "ordinal " << i;
  for (std::size_t i : {kMySQLVersionCount, std::size_t{255}})
    EXPECT_EQ(&MySQLCaps(static_cast<MyV>(i)), &kMySQLVersionCaps.back()) << "ordinal " << i;
  EXPECT_EQ(&MSSQLCaps(MSV::st_MSSQL2005), &kMSSQLVersionCaps[1]);
}

// One product line: each release is later than the one before it and
// keeps what that one could do. A flag lost on the way is a row edited by
// mistake (a newer server would lose a feature in the script).
TEST(MSSQLVersionCaps, ReleasesRiseAndKeepEveryCapability) {
  for (std::size_t i = 1; i < kMSSQLVersionCount; ++i) {
    const TMSSQLVersionCaps& before = kMSSQLVersionCaps[i - 1];
    const TMSSQLVersionCaps& row = kMSSQLVersionCaps[i];
    EXPECT_LT(before.major, row.major) << "row " << i;
    for (std::size_t f = 0; f < std::size(kMSSQLFlags); ++f)
      EXPECT_TRUE(!(before.*kMSSQLFlags[f]) || row.*kMSSQLFlags[f])
          << "row " << i << ", flag " << f;
  }
  // SQL Server 2000 is the only generation on the old system tables.
  for (std::size_t i = 0; i < kMSSQLVersionCount; ++i)
    EXPECT_EQ(kMSSQLVersionCaps[i].catalogViews, i != 0) << "row " << i;
}

// Within MySQL a release keeps what the one before could do; MariaDB 10,
// the fork of MySQL 5, keeps all that MySQL 5 could. Only MariaDB runs its
// own /*M! comments.
TEST(MySQLVersionCaps, EachLineKeepsItsCapabilities) {
  const MyV mysql[] = {MyV::st_MySQL_3x, MyV::st_MySQL_4x, MyV::st_MySQL_5x, MyV::st_MySQL_8x};
  auto keeps = [](MyV from, MyV to) {
    for (std::size_t f = 0; f < std::size(kMySQLFlags); ++f)
      EXPECT_TRUE(!(MySQLCaps(from).*kMySQLFlags[f]) || MySQLCaps(to).*kMySQLFlags[f])
          << "flag " << f << " of ordinal " << static_cast<int>(from) << " lost in ordinal "
          << static_cast<int>(to);
  };
  for (std::size_t i = 1; i < std::size(mysql); ++i) keeps(mysql[i - 1], mysql[i]);
  keeps(MyV::st_MySQL_5x, MyV::st_MariaDB_10x);
  for (MyV v : mysql) EXPECT_FALSE(MySQLCaps(v).mariaDbComments) << static_cast<int>(v);
  EXPECT_TRUE(MySQLCaps(MyV::st_MariaDB_10x).mariaDbComments);
}

}  // namespace
}  // namespace qor
