// Test main of the MS SQL extractor: the engine's start-up registers its
// bindings (the replay binding takes the ADO one's place per test); the
// shut-down runs after the last test.
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
