// Packages: the header and body statements by InterBase/Firebird version
// (the Oracle form below Firebird 3), and the DROP text. The name is written
// as stored.
#include "model/qorComp_Pkg.h"

#include "base/qorIBVersions.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

const TIBVersionCaps& Caps(const TDbObj& obj) {
  const TIBServerOptions* ib = obj.GetServerOptions();
  return IBCaps(ib ? ib->SQLServerVersion : TIBServerOptions{}.SQLServerVersion);
}

}  // namespace

std::string TPkgData::GetHeaderSQL() {
  const std::string crlf(CRLF);
  if (!Caps(*this).packageHeaderAs)
    return "CREATE OR REPLACE PACKAGE " + GetName() + crlf + HeaderText;
  return "CREATE OR ALTER PACKAGE " + GetName() + crlf + "    AS" + crlf + HeaderText;
}

std::string TPkgData::GetBodySQL() {
  if (GetText().empty()) return {};
  const std::string crlf(CRLF);
  // Firebird 4 reads packages as Firebird 3 does; the Oracle statement would
  // be refused there.
  if (Caps(*this).packageBodyRecreate)
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
