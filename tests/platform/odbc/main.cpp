// Test main of the ADO components: the private ODBC configuration comes
// before the first driver-manager call; the test folder goes after the last
// test.
#include "tests/support/qorODBCTestEnv.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  qor::test::PrepareODBCEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  const int rc = RUN_ALL_TESTS();
  qor::test::RemoveTestFolder();
  return rc;
}
