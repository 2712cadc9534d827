// The ADO binding, registered as "ADO".
#pragma once

#include "engine/qorDBEngine.h"

#include <memory>

namespace qor {

class TConnectionADO : public TQORAbstractConnection {
 public:
  TConnectionADO();
  const char* ClassName() const override { return "TConnectionADO"; }

  std::unique_ptr<TQORDatabase> CreateDatabaseObject() override;
  // Server-side cursor for Sybase ASE, client-side otherwise.
  std::unique_ptr<TQORQuery> CreateQuery() override;
};

// The unit's start-up: registers a TConnectionADO as "ADO".
void RegisterADOConnection();

}  // namespace qor
