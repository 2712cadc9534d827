// The InterBase scanner against the keyword list: each word of the table is
// read as the constant the grammar names it by, in any case, wherever the
// server version keeps the word a keyword, and as a plain name elsewhere.
#include "parsers/keywords/qorIBKeywords.h"
#include "tests/parsers/ib/qorIBParserFixture.h"
#include "tests/support/qorKeywordRows.h"

#include <gtest/gtest.h>

namespace qor::test {
namespace {

using V = TIBSQLServerVersionType;

TEST(IbScannerKeywords, EveryWordScansToItsConstantWhereTheVersionKeepsIt) {
  for (std::size_t i = 0; i < kIBVersionCount; ++i) {
    const V version = static_cast<V>(i);
    SCOPED_TRACE(static_cast<int>(version));
    TIbParse p(version);
    const TKindSet& kept = IbScannerKeywordKinds(version);
    ExpectEveryWordScansAs(*p.parser, kIbKeywordRows, [&](const TKeywordRow& r) {
      const int want = kept.test(static_cast<std::size_t>(r.kind)) ? r.kind : tk::Ident;
      // The newest InterBase keeps every word of the table a keyword.
      EXPECT_TRUE(version != V::st_InterBase_2020 || want == r.kind) << r.text;
      return want;
    });
  }
}

}  // namespace
}  // namespace qor::test
