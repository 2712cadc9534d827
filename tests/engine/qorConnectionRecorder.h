// A connection component's events landing in lists, for the tests that
// check what a connect reported, logged and fired.
#pragma once

#include "engine/qorDBEngine.h"

#include <string>
#include <vector>

namespace qor::test {

struct Recorder {
  explicit Recorder(TQORCustomConnection& c) {
    c.OnErrorMessage = [this](TObject* s, const std::string& t) {
      errors.push_back(t);
      errorSenders.push_back(s);
    };
    c.OnLogNextLine = [this](TObject*, const std::string& t) { log.push_back(t); };
    c.OnBeforeConnect = [this](TObject*) { events.push_back("BeforeConnect"); };
    c.OnAfterConnect = [this](TObject*) { events.push_back("AfterConnect"); };
    c.OnBeforeDisconnect = [this](TObject*) { events.push_back("BeforeDisconnect"); };
    c.OnAfterDisconnect = [this](TObject*) { events.push_back("AfterDisconnect"); };
  }
  // Every error, one per line, for a failure message.
  std::string AllErrors() const {
    std::string all;
    for (const std::string& e : errors) all += e + "\n";
    return all;
  }
  std::vector<std::string> errors, log, events;
  std::vector<TObject*> errorSenders;
};

}  // namespace qor::test
