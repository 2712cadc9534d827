// Runs isql-fb as a child process: stdin from /dev/null, stdout and stderr
// read through pipes until both close or the time is up, a lock and a temp
// folder of its own so that neither the user nor a running server matters.
#include "tests/support/qorFirebirdReplay.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <vector>

extern char** environ;

namespace qor::test {

namespace {

namespace fs = std::filesystem;

bool IsExecutable(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

// A folder that exists until the object goes, whatever happens in between.
class TTempFolder {
 public:
  TTempFolder() {
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec) base = "/tmp";
    std::string pattern = (base / "qor-fb-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (::mkdtemp(buf.data())) path_ = buf.data();
  }
  ~TTempFolder() {
    if (path_.empty()) return;
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

// The caller's environment without the variables that would tie the run
// to a user or an installation's lock area, plus our own.
std::vector<std::string> ChildEnvironment(const fs::path& folder) {
  static constexpr std::string_view kDropped[] = {"FIREBIRD_LOCK=", "FIREBIRD_TMP=", "ISC_USER=",
                                                  "ISC_PASSWORD=", "ISC_ROLE="};
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e) {
    std::string_view v(*e);
    bool drop = false;
    for (std::string_view d : kDropped) drop = drop || v.substr(0, d.size()) == d;
    if (!drop) env.emplace_back(v);
  }
  env.push_back("FIREBIRD_LOCK=" + (folder / "lock").string());
  env.push_back("FIREBIRD_TMP=" + (folder / "tmp").string());
  return env;
}

struct TRun {
  int exitCode = -1;
  bool timedOut = false;
  std::string out, err;
  std::string failure;  // the child could not be started
};

TRun Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
           std::chrono::seconds timeout) {
  TRun run;
  int outPipe[2], errPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0) {
    run.failure = std::string("pipe: ") + std::strerror(errno);
    return run;
  }
  if (::pipe2(errPipe, O_CLOEXEC) != 0) {
    run.failure = std::string("pipe: ") + std::strerror(errno);
    ::close(outPipe[0]);
    ::close(outPipe[1]);
    return run;
  }
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&fa, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&fa, errPipe[1], 2);

  std::vector<char*> argv, envp;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&fa);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  if (rc != 0) {
    run.failure = "cannot start " + args[0] + ": " + std::strerror(rc);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    return run;
  }

  const auto deadline = std::chrono::steady_clock::now() + timeout;
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&run.out, &run.err};
  int open = 2;
  while (open > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      run.timedOut = true;
      break;
    }
    const int n = ::poll(fds, 2, static_cast<int>(left.count()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buf[4096];
      const ssize_t got = ::read(fds[i].fd, buf, sizeof buf);
      if (got > 0) {
        sinks[i]->append(buf, static_cast<std::size_t>(got));
      } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (auto& f : fds)
    if (f.fd >= 0) ::close(f.fd);
  // The child may outlive its pipes; it gets the rest of the time, then it
  // is stopped.
  int status = 0;
  for (;;) {
    if (run.timedOut) {
      ::kill(pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      break;
    }
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) break;
    if (std::chrono::steady_clock::now() >= deadline) run.timedOut = true;
    else ::usleep(10000);
  }
  if (!run.timedOut && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

bool WriteFile(const fs::path& p, const std::string& text) {
  std::ofstream f(p, std::ios::binary);
  f << text;
  return static_cast<bool>(f);
}

}  // namespace

std::string FindIsql() {
  if (const char* path = std::getenv("PATH")) {
    std::string_view rest(path);
    while (!rest.empty()) {
      const std::size_t colon = rest.find(':');
      const std::string_view dir = rest.substr(0, colon);
      if (!dir.empty() && IsExecutable(fs::path(dir) / "isql-fb"))
        return (fs::path(dir) / "isql-fb").string();
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  return IsExecutable("/usr/bin/isql-fb") ? std::string("/usr/bin/isql-fb") : std::string();
}

namespace {

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
bool Absorb(const TRun& run, TFirebirdReplayResult& result) {
  result.ExitCode = run.exitCode;
  result.TimedOut = run.timedOut;
  result.Output += run.out;
  result.Errors += run.failure + run.err;
  if (run.timedOut) result.Errors += "\nisql-fb did not finish in time and was stopped";
  // Some failures leave the exit code at 0; the engine's report decides.
  return run.failure.empty() && !run.timedOut && run.exitCode == 0 &&
         run.err.find("Statement failed") == std::string::npos;
}

}  // namespace

TFirebirdReplayResult RunFirebirdScript(const std::string& script,
                                        const TFirebirdReplayOptions& options) {
  TFirebirdReplayResult result;
  TTempFolder folder;
  std::string isql;
  if (!PrepareIsqlRun(folder, isql, result)) return result;
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
  const std::vector<std::string> env = ChildEnvironment(folder.Path());
  if (!Absorb(Spawn({isql, "-q", "-bail", "-i", createFile.string()}, env, options.Timeout), result))
    return result;
  result.Ok = Absorb(Spawn({isql, "-q", "-bail", "-sql_dialect", dialect, "-user", "SYSDBA", "-i",
                            scriptFile.string(), db.string()},
                           env, options.Timeout),
                     result);
  if (result.Ok && options.Extract) {
    const TRun x = Spawn({isql, "-x", "-user", "SYSDBA", db.string()}, env, options.Timeout);
    result.Extract = x.out;
    result.Ok = Absorb(x, result);
  }
  if (result.Ok && !options.KeepDatabaseAs.empty()) {
    std::error_code ec;
    fs::copy_file(db, options.KeepDatabaseAs, fs::copy_options::overwrite_existing, ec);
    if (ec) {
      result.Ok = false;
      result.Errors += "cannot copy the database to " + options.KeepDatabaseAs + ": " + ec.message();
    }
  }
  return result;
}

TFirebirdReplayResult BuildFirebirdDatabase(const std::string& database, const std::string& script,
                                            const std::string& password,
                                            const TFirebirdReplayOptions& options) {
  TFirebirdReplayResult result;
  TTempFolder folder;
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
                           ChildEnvironment(folder.Path()), options.Timeout),
                     result);
  return result;
}

TFirebirdReplayResult ExtractFirebirdDDL(const std::string& database, const std::string& password,
                                         std::chrono::seconds timeout) {
  TFirebirdReplayResult result;
  TTempFolder folder;
  std::string isql;
  if (!PrepareIsqlRun(folder, isql, result)) return result;
  std::vector<std::string> args = {isql, "-x", "-user", "SYSDBA"};
  if (!password.empty()) {
    args.push_back("-password");
    args.push_back(password);
  }
  args.push_back(database);
  result.Ok = Absorb(Spawn(args, ChildEnvironment(folder.Path()), timeout), result);
  return result;
}

std::string EmployeeSampleScript() {
  static const fs::path kSample =
      "/usr/share/doc/firebird3.0-common-doc/examples/employee.sql.gz";
  std::error_code ec;
  if (!fs::exists(kSample, ec)) return {};
  const std::string gzip = IsExecutable("/usr/bin/gzip") ? "/usr/bin/gzip" : "/bin/gzip";
  const TRun run = Spawn({gzip, "-dc", kSample.string()}, {}, std::chrono::seconds(60));
  if (!run.failure.empty() || run.exitCode != 0) return {};
  // The sample creates its database under a fixed name; the caller's
  // CREATE DATABASE takes its place, and so does the caller's dialect.
  std::string out;
  std::size_t start = 0;
  const std::string& text = run.out;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    std::string lower;
    for (char c : line) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool skip = lower.rfind("create database", 0) == 0 || lower.rfind("set sql dialect", 0) == 0;
    if (!skip) out += line + "\n";
    start = end + 1;
  }
  return out;
}

}  // namespace qor::test
