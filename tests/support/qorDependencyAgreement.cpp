#include "tests/support/qorDependencyAgreement.h"

#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Exc.h"
#include "model/qorComp_Fld.h"
#include "model/qorComp_Gnr.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Pkg.h"
#include "model/qorComp_Prc.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Udf.h"
#include "model/qorComp_Viw.h"

namespace qor::test {

std::string ModelTargetKey(const TDbObj& t, const std::string& field) {
  if (auto* f = dynamic_cast<const TFldData*>(&t); f && f->OwnerObj)
    return "rel:" + f->OwnerObj->GetName() + "." + f->GetName();
  std::string kind = "other";
  if (dynamic_cast<const TTblData*>(&t) || dynamic_cast<const TViwData*>(&t)) kind = "rel";
  else if (auto* p = dynamic_cast<const TPrcData*>(&t)) kind = p->IsFunction ? "fn" : "proc";
  else if (dynamic_cast<const TUdfData*>(&t)) kind = "fn";
  else if (dynamic_cast<const TExcData*>(&t)) kind = "exc";
  else if (dynamic_cast<const TGnrData*>(&t)) kind = "gen";
  else if (dynamic_cast<const TIdxData*>(&t)) kind = "idx";
  else if (dynamic_cast<const TCtrData*>(&t)) kind = "idx";  // a key stands for its index
  else if (dynamic_cast<const TDmnData*>(&t)) kind = "dom";
  else if (dynamic_cast<const TPkgData*>(&t)) kind = "pkg";
  return kind + ":" + t.GetName() + (field.empty() ? "" : "." + field);
}

std::string EngineTargetKey(int type, const std::string& name, const std::string& field,
                            const std::string& package) {
  if (!package.empty() && (type == 5 || type == 15)) return "pkg:" + package;
  switch (type) {
    case 0:
    case 1: return "rel:" + name + (field.empty() ? "" : "." + field);
    case 5: return "proc:" + name;
    case 7: return "exc:" + name;
    case 9: return "dom:" + name;
    case 10: return "idx:" + name;
    case 14: return "gen:" + name;
    case 15: return "fn:" + name;
    case 18:
    case 19: return "pkg:" + name;
    default: return {};
  }
}

TEngineEdge EngineEdgeLine(const std::map<std::string, std::string>& row,
                           const std::map<std::string, std::string>& checkTriggers,
                           const std::map<std::string, std::string>& fieldSources) {
  const int dt = std::stoi(row.at("DT")), ot = std::stoi(row.at("OT"));
  const std::string& dependent = row.at("D");
  TEngineEdge edge{EngineDependentKey(dt, dependent, checkTriggers, fieldSources), ""};
  if (edge.Dependent.empty()) return edge;
  const std::string target =
      EngineTargetKey(ot, row.at("O"), row.at("F"), dt == 18 || dt == 19 ? "" : row.at("P"));
  if (target.empty() || target == "pkg:" + dependent ||
      target.rfind("rel:" + dependent + ".", 0) == 0)
    return edge;
  edge.Line = edge.Dependent + " -> " + target;
  return edge;
}

bool EdgeCovered(const std::string& line, const std::set<std::string>& other) {
  if (other.count(line)) return true;
  const auto arrow = line.find(" -> rel:");
  if (arrow == std::string::npos || line.find('.', arrow) != std::string::npos) return false;
  const auto it = other.lower_bound(line + ".");
  return it != other.end() && it->compare(0, line.size() + 1, line + ".") == 0;
}

bool EdgeReviewed(const std::string& line, const TReviewedEdge* begin, const TReviewedEdge* end) {
  auto side = [](const std::string& entry, const std::string& text) {
    return entry == text || (!entry.empty() && entry.back() == ':' && text.rfind(entry, 0) == 0);
  };
  const std::size_t arrow = line.find(" -> ");
  for (const TReviewedEdge* r = begin; r != end; ++r) {
    const std::string entry = r->Line;
    const std::size_t e = entry.find(" -> ");
    if (side(entry.substr(0, e), line.substr(0, arrow)) &&
        side(entry.substr(e + 4), line.substr(arrow + 4)))
      return true;
  }
  return false;
}

std::string EngineDependentKey(int type, const std::string& name,
                               const std::map<std::string, std::string>& checkTriggers,
                               const std::map<std::string, std::string>& fieldSources) {
  auto mapped = [&name](const std::map<std::string, std::string>& m, std::string fallback) {
    const auto it = m.find(name);
    return it != m.end() ? it->second : fallback;
  };
  switch (type) {
    case 1: return "view:" + name;
    case 2: return mapped(checkTriggers, "trigger:" + name);
    case 3: return mapped(fieldSources, {});
    case 5: return "procedure:" + name;
    case 6: return "index:" + name;
    case 15: return "function:" + name;
    case 18:
    case 19: return "package:" + name;
    default: return {};
  }
}

}  // namespace qor::test
