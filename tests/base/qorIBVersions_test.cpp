#include "base/qorIBVersions.h"

#include <gtest/gtest.h>

namespace qor {
namespace {

using V = TIBSQLServerVersionType;

TEST(IBVersionCaps, OneRowPerVersionInEnumerationOrder) {
  for (std::size_t i = 0; i < kIBVersionCount; ++i) {
    EXPECT_EQ(static_cast<std::size_t>(kIBVersionCaps[i].version), i) << "row " << i;
    EXPECT_EQ(static_cast<std::size_t>(kIBBodyCaps[i].version), i) << "body row " << i;
  }
}

// The generations where each capability arrives are product facts; a row
// edited by mistake shows up here as a changed first or last version.
TEST(IBVersionCaps, CapabilitiesByGeneration) {
  struct Case {
    const char* name;
    bool TIBVersionCaps::*flag;
    std::initializer_list<V> with;
  };
  // clang-format off
  const Case cases[] = {
      {"sqlDialect3", &TIBVersionCaps::sqlDialect3,
       {V::st_InterBase_6x, V::st_FireBird_1x, V::st_Yaffil_1x, V::st_FireBird_15,
        V::st_InterBase_7x, V::st_InterBase_75, V::st_Firebird_20, V::st_Firebird_21,
        V::st_Firebird_25, V::st_Firebird_30, V::st_Firebird_40, V::st_InterBase_2020}},
      {"paramDefaults", &TIBVersionCaps::paramDefaults,
       {V::st_InterBase_7x, V::st_InterBase_75, V::st_Firebird_20, V::st_Firebird_21,
        V::st_Firebird_25, V::st_Firebird_30, V::st_Firebird_40, V::st_InterBase_2020}},
      {"identityColumns", &TIBVersionCaps::identityColumns,
       {V::st_Firebird_30, V::st_Firebird_40}},
      {"octetsTypes", &TIBVersionCaps::octetsTypes, {V::st_Firebird_40}},
      {"timeZones", &TIBVersionCaps::timeZones, {V::st_Firebird_40}},
      {"packageBodyRecreate", &TIBVersionCaps::packageBodyRecreate,
       {V::st_Firebird_30, V::st_Firebird_40, V::st_InterBase_2020}},
      {"commentOn", &TIBVersionCaps::commentOn,
       {V::st_Firebird_20, V::st_Firebird_21, V::st_Firebird_25, V::st_Firebird_30,
        V::st_Firebird_40}},
      {"alterDescription", &TIBVersionCaps::alterDescription, {V::st_InterBase_2020}},
      {"hexLiterals", &TIBVersionCaps::hexLiterals,
       {V::st_Firebird_25, V::st_Firebird_30, V::st_Firebird_40}},
      // Firebird 1.0 brought DROP GENERATOR; InterBase 6 and older lack it.
      {"dropGenerator", &TIBVersionCaps::dropGenerator,
       {V::st_FireBird_1x, V::st_Yaffil_1x, V::st_FireBird_15, V::st_InterBase_7x,
        V::st_InterBase_75, V::st_Firebird_20, V::st_Firebird_21, V::st_Firebird_25,
        V::st_Firebird_30, V::st_Firebird_40, V::st_InterBase_2020}},
      {"packageHeaderAs", &TIBVersionCaps::packageHeaderAs,
       {V::st_Firebird_30, V::st_Firebird_40, V::st_InterBase_2020}},
      {"psqlFunctions", &TIBVersionCaps::psqlFunctions, {V::st_Firebird_30, V::st_Firebird_40}},
      {"decfloatInt128", &TIBVersionCaps::decfloatInt128, {V::st_Firebird_40}},
      // Firebird 2.1 brought exception messages in the connection's
      // character set.
      {"exceptionTextAsNone", &TIBVersionCaps::exceptionTextAsNone,
       {V::st_InterBase_4x, V::st_InterBase_5x, V::st_InterBase_6x, V::st_FireBird_1x,
        V::st_Yaffil_1x, V::st_FireBird_15, V::st_InterBase_7x, V::st_InterBase_75,
        V::st_Firebird_20, V::st_InterBase_2020}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (std::size_t i = 0; i < kIBVersionCount; ++i) {
      const V v = static_cast<V>(i);
      bool expected = false;
      for (V w : c.with) expected = expected || w == v;
      EXPECT_EQ(IBCaps(v).*c.flag, expected) << "version ordinal " << i;
    }
  }
  // Every generation but InterBase 2020 has these two.
  for (std::size_t i = 0; i < kIBVersionCount; ++i) {
    const V v = static_cast<V>(i);
    EXPECT_EQ(IBCaps(v).bigintType, v != V::st_InterBase_2020) << "version ordinal " << i;
    EXPECT_EQ(IBCaps(v).keywordDemotion, v != V::st_InterBase_2020) << "version ordinal " << i;
  }
}

// A version beyond the enumeration reads the newest row instead of beyond
// the table.
TEST(IBVersionCaps, UnknownVersionReadsTheNewestRow) {
  for (std::size_t i : {kIBVersionCount, kIBVersionCount + 1, std::size_t{255}}) {
    const TIBVersionCaps& caps = IBCaps(static_cast<V>(i));
    EXPECT_EQ(&caps, &kIBVersionCaps.back()) << "ordinal " << i;
  }
}

}  // namespace
}  // namespace qor
