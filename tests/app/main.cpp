// Test main of the window: the Firebird environment first (the lock folder
// before the client library starts), the private ODBC configuration, a Qt
// application on the offscreen platform, and the engine's start-up.
#include "engine/qorEngineInit.h"
#include "tests/support/qorODBCTestEnv.h"
#include "tests/support/qorTestEnv.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  qor::test::PrepareFirebirdEnvironment();
  qor::test::PrepareODBCEnvironment();
  setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/1);
  ::testing::InitGoogleTest(&argc, argv);
  int rc = 0;
  {
    QApplication app(argc, argv);
    qor::InitializeEngine();
    rc = RUN_ALL_TESTS();
    qor::FinalizeEngine();
  }
  qor::test::RemoveTestFolder();
  return rc;
}
