// Child processes for the tests that hold our scripts against a real
// engine's own client (isql-fb, psql, mariadb): a program found on PATH, a
// private temporary folder, and a run with its output collected and a time
// limit after which the child is killed.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qor::test {

// `name` on PATH, else in /usr/bin; empty when missing.
std::string FindProgram(std::string_view name);

// A folder that exists until the object goes, whatever happens in between.
class TTempFolder {
 public:
  explicit TTempFolder(std::string_view prefix = "qor-");
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  // Empty when the folder could not be made.
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

bool WriteFile(const std::filesystem::path& p, const std::string& text);

// The caller's environment without the variables whose names start with
// one of `dropped` (each given with its "="), plus `added`.
std::vector<std::string> ChildEnvironment(const std::vector<std::string_view>& dropped,
                                          const std::vector<std::string>& added);

struct TChildRun {
  int ExitCode = -1;  // -1 when killed, signalled or not started
  bool TimedOut = false;
  std::string Out, Err;
  std::string Failure;  // why the child could not be started
};

// Runs args[0] (a path) with stdin from `input` (a file; /dev/null when
// empty), stdout and stderr read through pipes until both close or the
// time is up.
TChildRun RunChild(const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const std::string& input, std::chrono::seconds timeout);

}  // namespace qor::test
