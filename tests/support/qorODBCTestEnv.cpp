#include "tests/support/qorODBCTestEnv.h"

#include "tests/support/qorTestEnv.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace qor::test {

void PrepareODBCEnvironment() {
  static bool done = false;
  if (done) return;
  const std::filesystem::path dir = std::filesystem::path(TestFolder()) / "odbc";
  std::filesystem::create_directories(dir);
  {
    std::ofstream ini(dir / "odbcinst.ini");
    ini << "[" << kSQLiteDriver << "]\nDriver=" << QOR_ODBC_SQLITE_DRIVER << "\n\n"
        << "[" << kFreeTDSDriver << "]\nDriver=" << QOR_ODBC_FREETDS_DRIVER << "\n\n"
        << "[" << kMariaDBDriver << "]\nDriver=" << QOR_ODBC_MARIADB_DRIVER << "\n";
    if (!ini) throw std::runtime_error("cannot write the test odbcinst.ini");
  }
  std::ofstream(dir / "odbc.ini").flush();
  std::ofstream(dir / "freetds.conf") << "[global]\n";
  setenv("ODBCSYSINI", dir.c_str(), /*overwrite=*/1);
  setenv("ODBCINSTINI", "odbcinst.ini", 1);
  setenv("ODBCINI", (dir / "odbc.ini").c_str(), 1);
  setenv("FREETDSCONF", (dir / "freetds.conf").c_str(), 1);
  done = true;
}

std::string FreshSQLiteConnectionString(const std::string& fileName) {
  PrepareODBCEnvironment();
  return std::string("Driver=") + kSQLiteDriver + ";Database=" + FreshTestFile(fileName) + ";";
}

}  // namespace qor::test
