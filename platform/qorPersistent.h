// Base of the small objects that are copied by assignment (option objects).
// A class copies what it knows in Assign and hands everything else to the
// base, which lets the source try AssignTo and otherwise raises the
// assignment error naming both classes.
#pragma once

#include "platform/qorObject.h"

namespace qor {

class TPersistent : public TObject {
 public:
  const char* ClassName() const override { return "TPersistent"; }

  // Copies Source into this object. Raises EQorError ("Cannot assign a
  // <source class> to a <target class>.") when neither class knows the other.
  virtual void Assign(const TPersistent& Source);

 protected:
  // An option class copies its values whole with a defaulted copy
  // assignment of its own (inside Assign and Clear); the base has no values
  // to copy.
  TPersistent& operator=(const TPersistent&) { return *this; }
  // Lets a source copy itself into a target class that does not know it.
  virtual void AssignTo(TPersistent& Dest) const;
  [[noreturn]] void AssignError(const TPersistent* Source) const;
};

}  // namespace qor
