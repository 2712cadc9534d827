#include "tests/support/qorTestEnv.h"

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace qor::test {

namespace {

std::string& Folder() {
  static std::string folder;
  return folder;
}

}  // namespace

void PrepareFirebirdEnvironment() {
  if (!Folder().empty()) return;
  std::string pattern = (std::filesystem::temp_directory_path() / "qor-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a test folder");
  Folder() = pattern;
  const std::string lock = pattern + "/fblock";
  std::filesystem::create_directory(lock);
  setenv("FIREBIRD_LOCK", lock.c_str(), /*overwrite=*/1);
}

void RemoveTestFolder() {
  if (Folder().empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(Folder(), ec);
  Folder().clear();
}

const std::string& TestFolder() {
  PrepareFirebirdEnvironment();
  return Folder();
}

std::string FreshTestFile(std::string_view name) {
  const std::filesystem::path p = std::filesystem::path(TestFolder()) / name;
  std::error_code ec;
  std::filesystem::remove(p, ec);
  return p.string();
}

TScratchFile::TScratchFile(std::string_view name, std::string_view text) {
  static int counter = 0;
  path_ = (std::filesystem::temp_directory_path() /
           ("qor-" + std::to_string(static_cast<long>(getpid())) + "-" + std::to_string(++counter) +
            "-" + std::string(name)))
              .string();
  std::ofstream out(path_, std::ios::binary);
  out << text;
}

TScratchFile::~TScratchFile() {
  std::error_code ec;
  std::filesystem::remove(path_, ec);
}

std::string ServerPassword() { return QOR_FB_PASSWORD; }

std::string ServerDatabasePath(std::string_view name) {
  return std::string(QOR_FB_DATA_DIR) + "/" + std::string(name) + "-" +
         std::to_string(static_cast<long>(getpid())) + ".fdb";
}

}  // namespace qor::test
