// Edges held against RDB$DEPENDENCIES: both sides written as lines
// "dependent -> target", where a target is "rel:T", "rel:T.C", "proc:P",
// "fn:F", "exc:E", "gen:G", "idx:I", "dom:D" or "pkg:P".
#pragma once

#include "model/qorClasses.h"

#include <map>
#include <set>
#include <string>

namespace qor::test {

// One known difference and its reason; a side ending in ":" stands for
// every name of that kind.
struct TReviewedEdge {
  const char* Line;
  const char* Why;
};

// The model's end of one edge.
std::string ModelTargetKey(const TDbObj& target, const std::string& field);
// The engine's end by RDB$DEPENDED_ON_TYPE; "" for kinds the model keeps
// no edge to (character sets, collations, users).
std::string EngineTargetKey(int type, const std::string& name, const std::string& field,
                            const std::string& package);
// The dependent's key by RDB$DEPENDENT_TYPE: a check's trigger stands for
// its constraint and a field source for its column or view (the maps the
// test built from the catalog); "" for kinds the test does not compare.
std::string EngineDependentKey(int type, const std::string& name,
                               const std::map<std::string, std::string>& checkTriggers,
                               const std::map<std::string, std::string>& fieldSources);
// The query whose rows EngineEdgeLine reads, with its column names.
inline constexpr const char* kEngineDependenciesQuery =
    "select rdb$dependent_name d, rdb$dependent_type dt,"
    " rdb$depended_on_name o, rdb$depended_on_type ot,"
    " coalesce(rdb$field_name, '') f, coalesce(rdb$package_name, '') p"
    " from rdb$dependencies";
inline constexpr const char* kEngineDependenciesColumns[] = {"D", "DT", "O", "OT", "F", "P"};
// One row of that query as a "dependent -> target" line, with the
// dependent's key apart; the line is "" when an end is of a kind not
// compared or the target is a part of the dependent itself (a package's
// own routines, a view's columns that its own expressions compute).
struct TEngineEdge {
  std::string Dependent, Line;
};
TEngineEdge EngineEdgeLine(const std::map<std::string, std::string>& row,
                           const std::map<std::string, std::string>& checkTriggers,
                           const std::map<std::string, std::string>& fieldSources);
// Found on the other side; a relation counts as found when the other side
// names one of its columns.
bool EdgeCovered(const std::string& line, const std::set<std::string>& other);
bool EdgeReviewed(const std::string& line, const TReviewedEdge* begin, const TReviewedEdge* end);

template <std::size_t N>
bool EdgeReviewed(const std::string& line, const TReviewedEdge (&list)[N]) {
  return EdgeReviewed(line, list, list + N);
}

}  // namespace qor::test
