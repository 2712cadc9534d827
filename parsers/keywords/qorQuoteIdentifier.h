// Identifier quoting for every dialect: the free dispatch that schema objects
// call through TDbObj::QuoteName.
#pragma once

#include <string>
#include <string_view>

#include "base/qorTypes.h"

namespace qor {

// The name quoted as `serverType` requires. `ibVersion` and `sqlDialect`
// matter only for InterBase/Firebird. Custom OLE DB is handled by the caller.
std::string QuoteIdentifier(std::string_view name, TDatabaseType serverType,
                            TIBSQLServerVersionType ibVersion, int sqlDialect);

}  // namespace qor
