// Test main of the MySQL extractor: the private ODBC configuration comes
// before the first driver-manager call (the live tests reach the suite's
// MariaDB server through Debian's MariaDB driver); then the engine's
// start-up registers its bindings; the shut-down runs after the last test.
#include "engine/qorEngineInit.h"
#include "tests/support/qorODBCTestEnv.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  qor::test::PrepareFirebirdEnvironment();
  qor::test::PrepareODBCEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  qor::InitializeEngine();
  const int rc = RUN_ALL_TESTS();
  qor::FinalizeEngine();
  qor::test::RemoveTestFolder();
  return rc;
}
