#include "platform/qorPersistent.h"

#include <string>

namespace qor {

void TPersistent::Assign(const TPersistent& Source) { Source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& Dest) const { Dest.AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
  const std::string from = Source ? Source->ClassName() : "nil";
  throw EQorError("Cannot assign a " + from + " to a " + ClassName() + ".");
}

}  // namespace qor
