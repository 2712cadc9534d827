// TRareString reads as the std::string it stands for: empty until set,
// empty again when emptied, copies that do not share text, and assignment
// from a view into its own text.
#include "platform/qorRareString.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace qor {
namespace {

TEST(RareString, ReadsAsItsText) {
  TRareString s;
  EXPECT_TRUE(s.empty());
  EXPECT_EQ(s.str(), "");
  EXPECT_EQ(s, "");
  const std::string& ref = s;  // an unset member still gives a string
  EXPECT_TRUE(ref.empty());

  s = "ABC";
  EXPECT_EQ(s, "ABC");
  EXPECT_EQ(std::string("x") + s + "y", "xABCy");
  EXPECT_EQ(s + s, "ABCABC");
  EXPECT_EQ(s.size(), 3u);
  EXPECT_EQ(s.find('B'), 1u);
  EXPECT_TRUE(s.starts_with("AB"));
  EXPECT_TRUE(std::string_view("ABC") == s);
  s += "D";
  s.Mut().insert(0, "_");
  EXPECT_EQ(s, "_ABCD");

  s = std::string();
  EXPECT_TRUE(s.empty());
  s = "Z";
  s.clear();
  EXPECT_EQ(s, "");
}

TEST(RareString, CopiesOwnTheirText) {
  TRareString a;
  a = "one";
  TRareString b(a);
  TRareString c;
  c = a;
  a.Mut() += "!";
  EXPECT_EQ(a, "one!");
  EXPECT_EQ(b, "one");
  EXPECT_EQ(c, "one");
  const TRareString& same = c;
  c = same;  // assignment from itself keeps the text
  EXPECT_EQ(c, "one");
  TRareString moved(std::move(b));
  EXPECT_EQ(moved, "one");
}

TEST(RareString, AssignsFromAViewIntoItsOwnText) {
  TRareString s;
  s = "PREFIX.NAME";
  const std::string_view tail = std::string_view(s.str()).substr(7);
  s = tail;
  EXPECT_EQ(s, "NAME");
  s = std::string_view(s.str()).substr(0, 0);
  EXPECT_TRUE(s.empty());
}

}  // namespace
}  // namespace qor
