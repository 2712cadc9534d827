#include "base/qorMySQLVersions.h"

#include "base/qorDBOptions.h"

#include <gtest/gtest.h>

#include <iterator>

namespace qor {
namespace {

using V = TMySQLServerVersionType;

// Every flag of a row; the size check below fails when a flag is added to
// the row and not here.
constexpr bool TMySQLVersionCaps::*kFlags[] = {
    &TMySQLVersionCaps::routines,
    &TMySQLVersionCaps::triggers,
    &TMySQLVersionCaps::mariaDbComments,
};
static_assert(sizeof(TMySQLVersionCaps) == 1 + std::size(kFlags),
              "a flag of TMySQLVersionCaps is missing from kFlags");

TEST(MySQLVersionCaps, OneRowPerNamedVersionInEnumerationOrder) {
  for (std::size_t i = 0; i < kMySQLVersionCount; ++i) {
    EXPECT_EQ(static_cast<std::size_t>(kMySQLVersionCaps[i].version), i) << "row " << i;
    EXPECT_NE(GetServerVersionName(TDatabaseType::dbMySQL, static_cast<int>(i)), "") << i;
  }
  EXPECT_EQ(GetServerVersionName(TDatabaseType::dbMySQL, static_cast<int>(kMySQLVersionCount)), "");
}

// Within MySQL a release keeps what the one before could do; MariaDB 10,
// the fork of MySQL 5, keeps all that MySQL 5 could. Only MariaDB runs its
// own /*M! comments.
TEST(MySQLVersionCaps, EachLineKeepsItsCapabilities) {
  const V mysql[] = {V::st_MySQL_3x, V::st_MySQL_4x, V::st_MySQL_5x, V::st_MySQL_8x};
  auto keeps = [](V from, V to) {
    for (std::size_t f = 0; f < std::size(kFlags); ++f)
      EXPECT_TRUE(!(MySQLCaps(from).*kFlags[f]) || MySQLCaps(to).*kFlags[f])
          << "flag " << f << " of ordinal " << static_cast<int>(from) << " lost in ordinal "
          << static_cast<int>(to);
  };
  for (std::size_t i = 1; i < std::size(mysql); ++i) keeps(mysql[i - 1], mysql[i]);
  keeps(V::st_MySQL_5x, V::st_MariaDB_10x);
  for (V v : mysql) EXPECT_FALSE(MySQLCaps(v).mariaDbComments) << static_cast<int>(v);
  EXPECT_TRUE(MySQLCaps(V::st_MariaDB_10x).mariaDbComments);
}

TEST(MySQLVersionCaps, UnknownVersionReadsTheLastRow) {
  for (std::size_t i : {kMySQLVersionCount, std::size_t{255}})
    EXPECT_EQ(&MySQLCaps(static_cast<V>(i)), &kMySQLVersionCaps.back()) << "ordinal " << i;
}

}  // namespace
}  // namespace qor
