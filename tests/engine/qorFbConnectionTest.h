// The fixture both real-engine suites start from: an IBX connection to
// InterBase/Firebird whose errors, log lines and connect events land in lists.
#pragma once

#include "engine/qorDBEngine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class FbConnectionTest : public ::testing::Test {
 protected:
  FbConnectionTest() {
    c.OnErrorMessage = [this](TObject*, const std::string& t) { errors.push_back(t); };
    c.OnLogNextLine = [this](TObject*, const std::string& t) { log.push_back(t); };
    c.OnAfterConnect = [this](TObject*) { events.push_back("AfterConnect"); };
    c.OnAfterDisconnect = [this](TObject*) { events.push_back("AfterDisconnect"); };
    c.SetConnectionType(TconnectionType::cnIBX);
    c.SetDatabaseType(TDatabaseType::dbInterBase);
  }

  TQORConnection c;
  std::vector<std::string> errors, log, events;
};

}  // namespace qor
