// Runs isql-fb as a child process: stdin from /dev/null, stdout and stderr
// read through pipes until both close or the time is up, a lock and a temp
// folder of its own so that neither the user nor a running server matters.
#include "tests/support/qorFirebirdReplay.h"

#include "tests/support/qorChildProcess.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

namespace qor::test {

namespace fs = std::filesystem;

std::string FindIsql() { return FindProgram("isql-fb"); }

namespace {

// The caller's environment without the variables that would tie the run
// to a user or an installation's lock area, plus our own.
std::vector<std::string> IsqlEnvironment(const fs::path& folder) {
  return ChildEnvironment(
      {"FIREBIRD_LOCK=", "FIREBIRD_TMP=", "ISC_USER=", "ISC_PASSWORD=", "ISC_ROLE="},
      {"FIREBIRD_LOCK=" + (folder / "lock").string(), "FIREBIRD_TMP=" + (folder / "tmp").string()});
}

TChildRun Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
                std::chrono::seconds timeout) {
  return RunChild(args, env, "", timeout);
}

// Finds isql-fb and readies `folder` (lock and temporary files of the
// child); on failure `result` says why.
bool PrepareIsqlRun(const TTempFolder& folder, std::string& isql, TFirebirdReplayResult& result) {
  isql = FindIsql();
  if (isql.empty()) {
    result.Errors = "isql-fb not found (Debian package firebird3.0-utils)";
    return false;
  }
  if (folder.Path().empty()) {
    result.Errors = std::string("cannot make a temporary folder: ") + std::strerror(errno);
    return false;
  }
  std::error_code ec;
  fs::create_directory(folder.Path() / "lock", ec);
  fs::create_directory(folder.Path() / "tmp", ec);
  return true;
}

// Adds what one isql run did to `result`; true when it succeeded.
bool Absorb(const TChildRun& run, TFirebirdReplayResult& result) {
  result.ExitCode = run.ExitCode;
  result.TimedOut = run.TimedOut;
  result.Output += run.Out;
  result.Errors += run.Failure + run.Err;
  if (run.TimedOut) result.Errors += "\nisql-fb did not finish in time and was stopped";
  // Some failures leave the exit code at 0; the engine's report decides.
  return run.Failure.empty() && !run.TimedOut && run.ExitCode == 0 &&
         run.Err.find("Statement failed") == std::string::npos;
}

}  // namespace

TFirebirdReplayResult RunFirebirdScript(const std::string& script,
                                        const TFirebirdReplayOptions& options) {
  TFirebirdReplayResult result;
  TTempFolder folder("qor-fb-");
  std::string isql;
  if (!PrepareIsqlRun(folder, isql, result)) return result;
  const fs::path db = folder.Path() / "replay.fdb";
  const fs::path createFile = folder.Path() / "create.sql";
  const fs::path scriptFile = folder.Path() / "script.sql";
  const std::string dialect = std::to_string(options.Dialect);

  std::string create =
      "SET SQL DIALECT " + dialect + ";\nCREATE DATABASE '" + db.string() + "' USER 'SYSDBA'";
  if (!options.CharSet.empty()) create += " DEFAULT CHARACTER SET " + options.CharSet;
  create += ";\n";
  // isql reads a statement only once its terminator is seen.
  if (!WriteFile(createFile, create) || !WriteFile(scriptFile, script + "\n")) {
    result.Errors = "cannot write the script files in " + folder.Path().string();
    return result;
  }
  const std::vector<std::string> env = IsqlEnvironment(folder.Path());
  if (!Absorb(Spawn({isql, "-q", "-bail", "-i", createFile.string()}, env, options.Timeout),
              result))
    return result;
  result.Ok = Absorb(Spawn({isql, "-q", "-bail", "-sql_dialect", dialect, "-user", "SYSDBA", "-i",
                            scriptFile.string(), db.string()},
                           env, options.Timeout),
                     result);
  if (result.Ok && options.Extract) {
    const TChildRun x = Spawn({isql, "-x", "-user", "SYSDBA", db.string()}, env, options.Timeout);
    result.Extract = x.Out;
    result.Ok = Absorb(x, result);
  }
  if (result.Ok && !options.KeepDatabaseAs.empty()) {
    std::error_code ec;
    fs::copy_file(db, options.KeepDatabaseAs, fs::copy_options::overwrite_existing, ec);
    if (ec) {
      result.Ok = false;
      result.Errors +=
          "cannot copy the database to " + options.KeepDatabaseAs + ": " + ec.message();
    }
  }
  return result;
}

TFirebirdReplayResult BuildFirebirdDatabase(const std::string& database, const std::string& script,
                                            const std::string& password,
                                            const TFirebirdReplayOptions& options) {
  TFirebirdReplayResult result;
  TTempFolder folder("qor-fb-");
  std::string isql;
  if (!PrepareIsqlRun(folder, isql, result)) return result;
  const fs::path scriptFile = folder.Path() / "build.sql";
  std::string text = "SET SQL DIALECT " + std::to_string(options.Dialect) + ";\nCREATE DATABASE '" +
                     database + "' USER 'SYSDBA'";
  if (!password.empty()) text += " PASSWORD '" + password + "'";
  if (!options.CharSet.empty()) text += " DEFAULT CHARACTER SET " + options.CharSet;
  text += ";\n" + script + "\nCOMMIT;\n";
  if (!WriteFile(scriptFile, text)) {
    result.Errors = "cannot write " + scriptFile.string();
    return result;
  }
  result.Ok = Absorb(Spawn({isql, "-q", "-bail", "-i", scriptFile.string()},
                           IsqlEnvironment(folder.Path()), options.Timeout),
                     result);
  return result;
}

TFirebirdReplayResult ExtractFirebirdDDL(const std::string& database, const std::string& password,
                                         std::chrono::seconds timeout) {
  TFirebirdReplayResult result;
  TTempFolder folder("qor-fb-");
  std::string isql;
  if (!PrepareIsqlRun(folder, isql, result)) return result;
  std::vector<std::string> args = {isql, "-x", "-user", "SYSDBA"};
  if (!password.empty()) {
    args.push_back("-password");
    args.push_back(password);
  }
  args.push_back(database);
  result.Ok = Absorb(Spawn(args, IsqlEnvironment(folder.Path()), timeout), result);
  return result;
}

namespace {

std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c != '\n') {
      line += c;
      continue;
    }
    out.push_back(line);
    line.clear();
  }
  if (!line.empty()) out.push_back(line);
  return out;
}

std::string CheckSpacing(std::string line) {
  for (std::size_t at = line.find("CHECK ("); at != std::string::npos;
       at = line.find("CHECK (", at))
    line.erase(at + 5, 1);
  return line;
}

bool Blank(const std::string& line) {
  return std::all_of(line.begin(), line.end(), [](unsigned char c) { return c <= ' '; });
}

}  // namespace

std::vector<std::string> UnexplainedDifferences(const std::string& a, const std::string& b,
                                                const std::vector<TReviewedDifference>& reviewed) {
  std::map<std::string, int> count;
  for (const std::string& l : TextLines(a)) ++count[CheckSpacing(l)];
  for (const std::string& l : TextLines(b)) --count[CheckSpacing(l)];
  std::vector<std::string> out;
  for (const auto& [line, n] : count) {
    if (n == 0 || Blank(line)) continue;
    const bool known = std::any_of(
        reviewed.begin(), reviewed.end(),
        [&](const TReviewedDifference& r) { return line.find(r.Text) != std::string::npos; });
    if (!known) out.push_back((n > 0 ? "source only: " : "replay only: ") + line);
  }
  return out;
}

std::string WithoutDatabaseHeader(std::string script) {
  for (const char* head : {"CREATE DATABASE", "SET SQL DIALECT"}) {
    const auto at = script.find(head);
    if (at == std::string::npos) continue;
    const auto end = script.find(';', at);
    script.erase(at, end == std::string::npos ? std::string::npos : end - at + 1);
  }
  return script;
}

std::string EmployeeSampleScript() {
  static const fs::path kSample = "/usr/share/doc/firebird3.0-common-doc/examples/employee.sql.gz";
  std::error_code ec;
  if (!fs::exists(kSample, ec)) return {};
  std::string gzip = FindProgram("gzip");
  if (gzip.empty()) gzip = "/bin/gzip";
  const TChildRun run = Spawn({gzip, "-dc", kSample.string()}, {}, std::chrono::seconds(60));
  if (!run.Failure.empty() || run.ExitCode != 0) return {};
  // The sample creates its database under a fixed name; the caller's
  // CREATE DATABASE takes its place, and so does the caller's dialect.
  std::string out;
  std::size_t start = 0;
  const std::string& text = run.Out;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    std::string lower;
    for (char c : line) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool skip =
        lower.rfind("create database", 0) == 0 || lower.rfind("set sql dialect", 0) == 0;
    if (!skip) out += line + "\n";
    start = end + 1;
  }
  return out;
}

}  // namespace qor::test
