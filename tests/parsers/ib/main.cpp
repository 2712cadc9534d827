// Test main of the InterBase/Firebird parser: the employee tests read the
// catalog of a real database through our binding, so the Firebird
// environment comes first and the engine registers its bindings.
#include "engine/qorEngineInit.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  qor::test::PrepareFirebirdEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  qor::InitializeEngine();
  const int rc = RUN_ALL_TESTS();
  qor::FinalizeEngine();
  qor::test::RemoveTestFolder();
  return rc;
}
