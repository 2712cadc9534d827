// The shared pieces of the InterBase/Firebird parser tests: the employee
// sample built into a database, and the tests' own catalog connection.
#include "tests/parsers/ib/qorIBParserFixture.h"

#include "platform/qorStrings.h"
#include "tests/support/qorFirebirdReplay.h"
#include "tests/support/qorTestEnv.h"

namespace qor::test {

const TEmployee& Employee() {
  static const TEmployee e = [] {
    TEmployee r;
    r.sample = EmployeeSampleScript();
    if (r.sample.empty()) {
      r.failure = "no employee sample (Debian package firebird3.0-examples)";
      return r;
    }
    r.database = FreshTestFile("employee.fdb");
    const TFirebirdReplayResult built = BuildFirebirdDatabase(r.database, r.sample);
    if (!built.Ok) {
      r.failure = "isql-fb could not build the sample: " + built.Errors;
      return r;
    }
    // The sample's own first line, which the build takes out for its own.
    r.sample = "set sql dialect 3;\n" + r.sample;
    const TFirebirdReplayResult x = ExtractFirebirdDDL(r.database);
    if (!x.Ok) {
      r.failure = "isql-fb -x failed: " + x.Errors;
      return r;
    }
    r.extract = x.Output;
    return r;
  }();
  return e;
}

Catalog::Catalog(const std::string& database) {
  c_.OnErrorMessage = [this](TObject*, const std::string& t) { errors_ += t + "\n"; };
  c_.SetConnectionType(TconnectionType::cnIBX);
  c_.SetDatabaseType(TDatabaseType::dbInterBase);
  c_.ConnectionOptions.Protocol = TQORProtocol::ptLocal;
  c_.ConnectionOptions.DatabaseName = database;
  c_.ConnectionOptions.UserName = "SYSDBA";
  c_.SetConnected(true);
}

Catalog::~Catalog() { c_.SetConnected(false); }

bool Catalog::Connected() { return c_.Connected(); }

TRows Catalog::Rows(const std::string& sql, const std::vector<std::string>& fields) {
  TRows rows;
  std::unique_ptr<TQORQuery> q = c_.CreateQuery();
  q->GetSQL()->SetText(sql);
  q->Open();
  for (; !q->Eof(); q->Next()) {
    auto& row = rows.emplace_back();
    // Names keep all but the padding on the right, as the engine stores them.
    for (const std::string& f : fields) row[f] = TrimCtlRight(q->FieldByName(f)->AsString());
  }
  return rows;
}

}  // namespace qor::test
