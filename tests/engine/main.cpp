// Test main of the engine: the Firebird environment comes first (the lock
// folder must be set before the client library starts), then the engine's
// start-up registers its bindings; the shut-down runs after the last test.
#include "engine/qorEngineInit.h"
#include "tests/support/qorTestEnv.h"

#include <gtest/gtest.h>

// The leak checker stops the threads to scan them and crashes on the
// dynamic TLS blocks that the client library's engine threads leave behind;
// thread-local memory is not scanned for this executable.
extern "C" const char* __lsan_default_options() { return "use_tls=0"; }

int main(int argc, char** argv) {
  qor::test::PrepareFirebirdEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  qor::InitializeEngine();
  const int rc = RUN_ALL_TESTS();
  qor::FinalizeEngine();
  qor::test::RemoveTestFolder();
  return rc;
}
