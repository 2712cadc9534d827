// The environment of the tests that reach Firebird: a private folder per
// test process for the embedded engine's lock files and the databases it
// creates (so that who runs the tests does not matter), and the server that
// scripts/fb-test-server.sh runs for the test suite on 127.0.0.1:3050.
#pragma once

#include <string>
#include <string_view>

namespace qor::test {

// First thing in a test main, before any client-library call: makes the
// folder and points FIREBIRD_LOCK at a folder inside it.
void PrepareFirebirdEnvironment();
// Last thing in a test main.
void RemoveTestFolder();

const std::string& TestFolder();
// A path in the test folder; the file is removed first when it exists.
std::string FreshTestFile(std::string_view name);

// `text` written to a file of its own in the system's temporary folder
// (CTest runs the cases of one test program in parallel processes), removed
// when the object goes.
class TScratchFile {
 public:
  TScratchFile(std::string_view name, std::string_view text);
  ~TScratchFile();
  TScratchFile(const TScratchFile&) = delete;
  TScratchFile& operator=(const TScratchFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

inline constexpr const char* kServerHost = "127.0.0.1";
inline constexpr const char* kServerUser = "SYSDBA";
std::string ServerPassword();
// A database path on the server for this process; the server creates the
// file, in a folder that belongs to user firebird.
std::string ServerDatabasePath(std::string_view name);

}  // namespace qor::test
