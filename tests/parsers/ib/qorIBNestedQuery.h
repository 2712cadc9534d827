// The deep nesting that the body parser's test and its benchmark share:
// tables T1..Tn of columns C<i> and D<i>, a view V over T1, and a query
// nested n deep in select lists.
#pragma once

#include <string>

namespace qor::test {

// The tables and the view V whose text the nested query replaces.
inline std::string NestedTablesDDL(int depth) {
  std::string ddl;
  for (int i = 1; i <= depth; ++i) {
    const std::string n = std::to_string(i);
    ddl += "CREATE TABLE T" + n + " (C" + n + " INTEGER, D" + n + " INTEGER);\n";
  }
  return ddl + "CREATE VIEW V AS SELECT C1 FROM T1;\n";
}

// Level i reads C<i> of T<i> and, one level down, D<i-1> of the level
// above it.
inline std::string NestedQuery(int depth) {
  std::string q;
  for (int i = depth; i >= 1; --i) {
    const std::string n = std::to_string(i);
    std::string s = "SELECT C" + n;
    if (!q.empty()) s += ", (" + q + ")";
    s += " FROM T" + n;
    if (i > 1) s += " WHERE D" + std::to_string(i - 1) + " = C" + n;
    q = s;
  }
  return q;
}

}  // namespace qor::test
