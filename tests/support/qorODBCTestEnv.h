// The ODBC environment of the tests: a private odbcinst.ini (ODBCSYSINI) that
// names the Debian drivers by the files CMake found, so that the tests need
// no system or user configuration and change none. FreeTDS also gets a
// configuration file of its own.
#pragma once

#include <string>

namespace qor::test {

// Before the first driver-manager call; idempotent. Uses TestFolder().
void PrepareODBCEnvironment();

// The driver names in the private odbcinst.ini. "FreeTDS" is the name an
// OLE DB string's SQLOLEDB provider goes to by default.
inline constexpr const char* kSQLiteDriver = "QorSQLite3";
inline constexpr const char* kFreeTDSDriver = "FreeTDS";
inline constexpr const char* kMariaDBDriver = "QorMariaDB";

// "Driver=QorSQLite3;Database=<file>;" for a fresh file in the test folder.
std::string FreshSQLiteConnectionString(const std::string& fileName);

}  // namespace qor::test
