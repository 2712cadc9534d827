// Runs isql-fb as a child process: stdin from /dev/null, stdout and stderr
// read through pipes until both close or the time is up, a lock and a temp
// folder of its own so that neither the user nor a running server matters.
#include "tests/support/qorFirebirdReplay.h"

#include "tests/support/qorChildProcess.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

namespace qor::test {

namespace fs = std::filesystem;

std::string FindIsql() { return FindProgram("isql-fb"); }

TFirebirdReplayResult RunFirebirdScript(const std::string& script,
                                        const TFirebirdReplayOptions& options) {
  TFirebirdReplayResult result;
  const std::string isql = FindIsql();
  if (isql.empty()) {
    result.Errors = "isql-fb not found (Debian package firebird3.0-utils)";
    return result;
  }
  TTempFolder folder("qor-fb-");
  if (folder.Path().empty()) {
    result.Errors = std::string("cannot make a temporary folder: ") + std::strerror(errno);
    return result;
  }
  std::error_code ec;
  fs::create_directory(folder.Path() / "lock", ec);
  fs::create_directory(folder.Path() / "tmp", ec);
  const fs::path db = folder.Path() / "replay.fdb";
  const fs::path createFile = folder.Path() / "create.sql";
  const fs::path scriptFile = folder.Path() / "script.sql";
  const std::string dialect = std::to_string(options.Dialect);

  std::string create = "SET SQL DIALECT " + dialect + ";\nCREATE DATABASE '" + db.string() +
                       "' USER 'SYSDBA'";
  if (!options.CharSet.empty()) create += " DEFAULT CHARACTER SET " + options.CharSet;
  create += ";\n";
  // isql reads a statement only once its terminator is seen.
  if (!WriteFile(createFile, create) || !WriteFile(scriptFile, script + "\n")) {
    result.Errors = "cannot write the script files in " + folder.Path().string();
    return result;
  }
  // Neither the user nor an installation's lock area may tie the run.
  const std::vector<std::string> env = ChildEnvironment(
      {"FIREBIRD_LOCK=", "FIREBIRD_TMP=", "ISC_USER=", "ISC_PASSWORD=", "ISC_ROLE="},
      {"FIREBIRD_LOCK=" + (folder.Path() / "lock").string(),
       "FIREBIRD_TMP=" + (folder.Path() / "tmp").string()});

  auto finish = [&result](const TChildRun& run) {
    result.ExitCode = run.ExitCode;
    result.TimedOut = run.TimedOut;
    result.Output += run.Out;
    result.Errors += run.Failure + run.Err;
    if (run.TimedOut) result.Errors += "\nisql-fb did not finish in time and was stopped";
    // Some failures leave the exit code at 0; the engine's report decides.
    return run.Failure.empty() && !run.TimedOut && run.ExitCode == 0 &&
           run.Err.find("Statement failed") == std::string::npos;
  };

  if (!finish(RunChild({isql, "-q", "-bail", "-i", createFile.string()}, env, "", options.Timeout)))
    return result;
  result.Ok = finish(RunChild({isql, "-q", "-bail", "-sql_dialect", dialect, "-user", "SYSDBA", "-i",
                            scriptFile.string(), db.string()},
                           env, "", options.Timeout));
  return result;
}

}  // namespace qor::test
