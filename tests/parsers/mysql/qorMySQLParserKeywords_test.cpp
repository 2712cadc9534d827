// The MySQL scanner against the keyword list: each word of the table is
// read in any case as the constant the grammar names it by.
#include "model/qorDBStructure.h"
#include "parsers/mysql/qorMySQLParser.h"
#include "tests/support/qorKeywordRows.h"

#include <gtest/gtest.h>

namespace qor::test {
namespace {

TEST(MySQLScannerKeywords, EveryWordScansToItsConstant) {
  TDBStructure structure;
  structure.GetObjs()->SetServerType(TDatabaseType::dbMySQL);
  TMySQLParser parser(nullptr);
  parser.SetObjs(structure.GetObjs());
  ExpectEveryWordScansAs(parser, kMySQLKeywordRows, [](const TKeywordRow& r) { return r.kind; });
}

}  // namespace
}  // namespace qor::test
