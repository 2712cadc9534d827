// What the real-engine extractor suites share: databases built by isql-fb
// from the employee sample and from tests/data/extract/ib_catalog.sql, an
// extractor wired to lists, and the engine's catalog read with the test's
// own queries as the measure of what the extraction must hold.
#pragma once

#include "engine/qorDBEngine.h"
#include "extract/ib/qorIBDatabaseExtract.h"
#include "model/qorDBStructure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qor::test {

// Built once per test process in the test folder; "" (with the reason in
// `error`) when that failed.
const std::string& EmployeeDatabase(std::string& error);
const std::string& CatalogFixtureDatabase(std::string& error);
std::string CatalogFixtureScript();
// ib_catalog.sql followed by ib_every_kind.sql: every object kind and grant
// form Firebird 3 has.
const std::string& EveryKindDatabase(std::string& error);
std::string EveryKindScript();

// One column as the engine's catalog holds it.
struct TCatalogColumn {
  std::string relation, name, fieldSource;
  int fieldType = 0, subType = 0, length = 0, charLength = 0, scale = 0, segmentLength = 0;
  std::optional<int> precision;
  bool notNull = false;
  std::string defaultSource;        // the column's own
  std::string domainDefaultSource;  // its field source's
  std::string computedSource;
  std::optional<std::string> charSet;  // none for types without one
  std::string collation;               // the column's, else its domain's
  std::vector<std::pair<int, int>> bounds;
  bool identity = false;
  std::int64_t identityStart = 0;  // its generator's initial value
};

struct TCatalog {
  std::vector<std::string> domains, tables, views, functions;
  std::vector<TCatalogColumn> columns;  // of tables, in position order
  // view -> the relations and relation columns it reads (column "" for the
  // relation itself)
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> viewDependencies;
  std::string dbCharSet;
  // "PRIMARY KEY T(A,B)", "FOREIGN KEY T(A)>P(B)", "UNIQUE T(A)", "CHECK T",
  // and "INDEX T(A,B)" for the indices that back no constraint, sorted.
  std::vector<std::string> keys;
};

// The same descriptions of the constraints and indices of the collection.
std::vector<std::string> KeyDescriptions(TObjs& o);

// Reads the catalog through a connection of its own (which ends closed).
TCatalog ReadCatalog(TQORConnection& connection);

template <class List>
std::vector<std::string> Keys(const List& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Name(i));
  std::sort(out.begin(), out.end());
  return out;
}

// External and PSQL functions, sorted.
std::vector<std::string> FunctionNames(TObjs& o);

// Every object and column `cat` holds is in the collection as the engine
// holds it (gtest expectations).
void ExpectMatchesCatalog(TObjs& o, const TCatalog& cat);

// One row of RDB$USER_PRIVILEGES, names as stored but for the engine's
// right-hand padding.
struct TPrivilegeRow {
  std::string user, grantor, privilege, relation, field;
  int grantOption = 0, userType = 0, objectType = 0;
  std::string Text() const {
    return user + " <- " + grantor + " " + privilege + "/" + std::to_string(grantOption) + " " +
           relation + (field.empty() ? "" : "." + field) + " (user type " +
           std::to_string(userType) + ", object type " + std::to_string(objectType) + ")";
  }
};

// Every privilege row of the embedded database at `path`, as the engine
// holds it, sorted by its text.
std::vector<TPrivilegeRow> ReadPrivileges(const std::string& path);

// An extractor over a structure whose events land in lists.
class ExtractRun {
 public:
  ExtractRun();
  TDBStructure structure;
  TIBDBExtract extract;
  TQORConnection connection;
  std::vector<std::string> errors, log, steps, connectionErrors;
  std::vector<std::pair<int, int>> progress;

  void Embedded(const std::string& path);
  void Server(const std::string& path, const std::string& password);
  TObjs& Objs() { return *structure.GetObjs(); }
};

}  // namespace qor::test
