// The T-SQL scanner against the keyword list: each word of the table, END
// CONVERSATION included, is read in any case as the constant the grammar
// names it by.
#include "model/qorDBStructure.h"
#include "parsers/mssql/qorMSSQLParser.h"
#include "tests/support/qorKeywordRows.h"

#include <gtest/gtest.h>

namespace qor::test {
namespace {

TEST(MSSQLScannerKeywords, EveryWordScansToItsConstant) {
  TDBStructure structure;
  structure.GetObjs()->SetServerType(TDatabaseType::dbMSSQL);
  TMSSQLParser parser(nullptr);
  parser.SetObjs(structure.GetObjs());
  ExpectEveryWordScansAs(parser, kMSSQLKeywordRows, [](const TKeywordRow& r) { return r.kind; });
}

}  // namespace
}  // namespace qor::test
