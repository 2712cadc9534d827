// A structure to make objects of one kind in, for the tests of the object
// kinds' texts: the object stays with the test, the collection only gives it
// its server type and options.
#pragma once

#include "model/qorDBStructure.h"
#include "tests/support/qorModelBuilder.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace qor::test {

class KindTest : public ::testing::Test {
 protected:
  TObjs& Objs() { return *structure.GetObjs(); }

  // A new `T` named `name` in `parent`, on `server`.
  template <class T>
  T* Make(TDatabaseType server, const std::string& name, const std::string& parent = {}) {
    Objs().SetServerType(server);
    return build.Make<T>(name, parent);
  }

  TIBServerOptions& IB() { return Objs().IBServerOptions; }

  TDBStructure structure;
  TModelBuilder build{*structure.GetObjs()};
};

}  // namespace qor::test
