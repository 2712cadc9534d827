// The SQL parameter parser: which colons start a parameter, the rewritten
// text, and the parameter list it builds.
#include "engine/qorDBEngine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

std::vector<std::string> Names(const TParams& p) {
  std::vector<std::string> out;
  for (int i = 0; i < p.Count(); ++i) out.push_back(p[i]->Name());
  return out;
}

TEST(ParamParser, RewritesParametersAndListsThemInOrder) {
  struct Case {
    const char* name;
    const char* sql;
    const char* rewritten;
    std::vector<std::string> params;
  };
  // clang-format off
  const Case cases[] = {
      {"two conditions", "select * from t where A = :A and B = :B",
       "select * from t where A = ? and B = ?", {"A", "B"}},
      {"name ended by a comma and a parenthesis", "insert into t values (:X,:Y)",
       "insert into t values (?,?)", {"X", "Y"}},
      {"colon inside a quoted literal", "select * from t where c = '10:30' and d = :D",
       "select * from t where c = '10:30' and d = ?", {"D"}},
      {"colon inside a double-quoted name", "select \"a:b\" from t", "select \"a:b\" from t", {}},
      {"digit before the colon, unquoted time", "select * from t where c = 10:30",
       "select * from t where c = 10:30", {}},
      {"letter before the colon", "select a:b from t", "select a:b from t", {}},
      {"underscore before the colon", "select a_:b from t", "select a_:b from t", {}},
      {"doubled colon becomes one", "select a::b, c from t", "select a:b, c from t", {}},
      {"colon first in the text", ":A = 1", ":A = 1", {}},
      {"colon before a blank", "select * from t where a = : b", "select * from t where a = : b", {}},
      {"colon before a line break", "select a = :\r\nb", "select a = :\r\nb", {}},
      {"colon at the end", "select a = :", "select a = :", {}},
      {"quoted parameter name", "select * from t where a = :\"My Name\" and b = 1",
       "select * from t where a = ? and b = 1", {"My Name"}},
      {"quoted parameter name at the end", "where a = :\"x y\"", "where a = ?", {"x y"}},
      {"parameter used twice", "where a = :P or b = :P", "where a = ? or b = ?", {"P", "P"}},
      {"name stops at an operator", "where a=:A||'x'", "where a=?||'x'", {"A"}},
      {"digits-only text before the colon", "12:30", "12?", {"30"}},
      {"multi-byte text around a parameter", "where n = 'é:x' and m = :M",
       "where n = 'é:x' and m = ?", {"M"}},
      {"parameter after a line break", "select *\r\nfrom t\r\nwhere a =\r\n:A",
       "select *\r\nfrom t\r\nwhere a =\r\n?", {"A"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TParams params;
    EXPECT_EQ(ParseSQLParams(params, c.sql, /*DoCreate=*/true), c.rewritten);
    EXPECT_EQ(Names(params), c.params);
  }
}

TEST(ParamParser, WithoutDoCreateTheListStaysAsItWas) {
  TParams params;
  params.CreateParam("KEPT")->SetAsInteger(7);
  EXPECT_EQ(ParseSQLParams(params, "where a = :A", /*DoCreate=*/false), "where a = ?");
  ASSERT_EQ(params.Count(), 1);
  EXPECT_EQ(params[0]->Name(), "KEPT");
  EXPECT_EQ(params[0]->AsString(), "7");

  ParseSQLParams(params, "where a = :A", /*DoCreate=*/true);
  EXPECT_EQ(Names(params), std::vector<std::string>{"A"});
}

TEST(ParamParser, Predicates) {
  EXPECT_TRUE(IsDigitsBeforeColon("12 30:", 5));
  EXPECT_FALSE(IsDigitsBeforeColon("a 30:", 4));
  EXPECT_FALSE(IsDigitsBeforeColon("30 :", 3));  // a blank right before the colon
  EXPECT_FALSE(IsDigitsBeforeColon(":", 0));
  for (char c : std::string("\t\n\r !\"%&'()*+,-/;<=>?[\\]^`|~"))
    EXPECT_TRUE(IsParamNameDelimiter(c)) << c;
  for (char c : std::string("A_z0.:$#@{}")) EXPECT_FALSE(IsParamNameDelimiter(c)) << c;
  EXPECT_EQ(StripQuotes("\"ab\""), "ab");
  EXPECT_EQ(StripQuotes("'ab"), "ab");
  EXPECT_EQ(StripQuotes("ab`"), "ab");
  EXPECT_EQ(StripQuotes("ab"), "ab");
  EXPECT_EQ(StripLiterals("\"\""), "");
}

}  // namespace
}  // namespace qor
