// The test main of every test program that runs the engine: the Firebird
// environment comes first (the lock folder must be set before the client
// library starts), and the private ODBC configuration before the first
// driver-manager call; then the engine's start-up registers its bindings
// (the replay binding takes a real one's place per test); the shut-down
// runs after the last test.
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
