// Every project include must point at the file's own layer or one below it.
// The matrix is the layering of docs/ARCHITECTURE.md; a folder that is not
// in it fails the test, so a new library has to say where it stands.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// folder -> the folders its files may include (its own is always allowed).
const std::map<std::string, std::set<std::string>>& Allowed() {
  static const std::map<std::string, std::set<std::string>> m = [] {
    std::map<std::string, std::set<std::string>> a;
    a["platform"] = {};
    a["platform/dataset"] = {"platform"};
    a["platform/ibx"] = {"platform", "platform/dataset"};
    a["platform/odbc"] = {"platform", "platform/dataset"};
    a["base"] = {"platform"};
    a["parsers/keywords"] = {"platform", "base"};
    a["model"] = {"platform", "base", "parsers/keywords"};
    a["engine"] = {"platform", "platform/dataset", "platform/ibx", "platform/odbc", "base"};
    a["parsers"] = {"platform", "base", "parsers/keywords", "model"};
    for (const char* d : {"ib", "mssql", "mysql"}) {
      // clang-format off
      a[std::string("parsers/") + d] = {"platform", "base", "parsers/keywords", "model",
                                        "parsers"};
      // clang-format on
    }
    // clang-format off
    a["extract"] = {"platform", "platform/dataset", "base", "parsers/keywords", "model",
                    "parsers", "engine"};
    // clang-format on
    for (const char* d : {"ib", "mssql", "mysql"}) {
      auto up = a["extract"];
      up.insert("extract");
      up.insert(std::string("parsers/") + d);
      a[std::string("extract/") + d] = up;
    }
    std::set<std::string> all;
    for (const auto& [k, v] : a) all.insert(k);
    a["app"] = all;
    return a;
  }();
  return m;
}

fs::path SourceRoot() { return fs::path(QOR_TEST_DATA_DIR).parent_path().parent_path(); }

bool IsSource(const fs::path& p) {
  const auto e = p.extension();
  return e == ".h" || e == ".cpp";
}

struct Violation {
  std::string file, include;
};

std::vector<Violation> Violations(std::vector<std::string>& unknownFolders, int& checked) {
  static const std::regex kInclude(R"(^\s*#\s*include\s+"([^"]+)\")");
  std::vector<Violation> out;
  const fs::path root = SourceRoot();
  for (const auto& [folder, allowed] : Allowed()) {
    const fs::path dir = root / folder;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (!entry.is_regular_file() || !IsSource(entry.path())) continue;
      ++checked;
      std::ifstream in(entry.path());
      std::string line;
      std::smatch m;
      while (std::getline(in, line)) {
        if (!std::regex_search(line, m, kInclude)) continue;
        const std::string target = fs::path(m[1].str()).parent_path().generic_string();
        if (target == folder || allowed.count(target)) continue;
        if (!Allowed().count(target)) unknownFolders.push_back(target);
        out.push_back({folder + "/" + entry.path().filename().string(), m[1].str()});
      }
    }
    // A subfolder with sources that the matrix does not know.
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (!entry.is_directory()) continue;
      const std::string sub = folder + "/" + entry.path().filename().string();
      if (Allowed().count(sub)) continue;
      for (const auto& f : fs::directory_iterator(entry.path())) {
        if (IsSource(f.path())) {
          unknownFolders.push_back(sub);
          break;
        }
      }
    }
  }
  return out;
}

TEST(IncludeLayers, NoFileIncludesALayerAboveItsOwn) {
  std::vector<std::string> unknown;
  int checked = 0;
  const auto violations = Violations(unknown, checked);
  EXPECT_GT(checked, 50) << "the source tree was not found under " << SourceRoot();
  for (const auto& v : violations) ADD_FAILURE() << v.file << " includes " << v.include;
  for (const auto& u : unknown)
    ADD_FAILURE() << "folder " << u << " has sources but no row in the layer matrix";
}

}  // namespace
