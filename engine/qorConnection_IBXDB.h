// The InterBase-client binding, registered as "IBX".
#pragma once

#include "engine/qorDBEngine.h"

#include <memory>

namespace qor {

class TConnectionIBX : public TQORAbstractConnection {
 public:
  TConnectionIBX();
  const char* ClassName() const override { return "TConnectionIBX"; }

  std::unique_ptr<TQORDatabase> CreateDatabaseObject() override;
  std::unique_ptr<TQORQuery> CreateQuery() override;
  // Creates the database the owning connection names, with its user,
  // password, page size and default character set.
  bool CreateDatabase() override;
};

// The unit's start-up: registers a TConnectionIBX as "IBX".
void RegisterIBXConnection();

}  // namespace qor
