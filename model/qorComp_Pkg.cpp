// Packages: the header and body statements by InterBase/Firebird version
// (the Oracle form below Firebird 3), and the DROP text. The name is written
// as stored.
#include "model/qorComp_Pkg.h"

#include "platform/qorStrings.h"

namespace qor {

namespace {

using V = TIBSQLServerVersionType;

V IBVersion(const TDbObj& obj) {
  const TIBServerOptions* ib = obj.GetServerOptions();
  return ib ? ib->SQLServerVersion : TIBServerOptions{}.SQLServerVersion;
}

}  // namespace

std::string TPkgData::GetHeaderSQL() {
  const std::string crlf(CRLF);
  if (IBVersion(*this) < V::st_Firebird_30)
    return "CREATE OR REPLACE PACKAGE " + GetName() + crlf + HeaderText;
  return "CREATE OR ALTER PACKAGE " + GetName() + crlf + "    AS" + crlf + HeaderText;
}

std::string TPkgData::GetBodySQL() {
  if (GetText().empty()) return {};
  const std::string crlf(CRLF);
  const V v = IBVersion(*this);
  // Firebird 4 reads packages as Firebird 3 does; the Oracle statement would
  // be refused there.
  if (v == V::st_Firebird_30 || v == V::st_Firebird_40)
    return "RECREATE PACKAGE BODY " + GetName() + crlf + "    AS" + crlf + GetText();
  return "CREATE OR REPLACE PACKAGE BODY " + GetName() + crlf + GetText();
}

std::string TPkgData::GetCreateSQL() {
  std::string s = GetHeaderSQL();
  if (GetText().empty()) return s;
  const std::string crlf(CRLF);
  const char* separator = GetServerType() == TDatabaseType::dbInterBase ? "^" : "/";
  return s + crlf + separator + crlf + crlf + GetBodySQL();
}

std::string TPkgData::GetDropSQL() { return "DROP PACKAGE " + GetName(); }

}  // namespace qor
