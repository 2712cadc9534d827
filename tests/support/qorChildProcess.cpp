// Runs a child with posix_spawn: no shell, the arguments as given.
#include "tests/support/qorChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>

extern char** environ;

namespace qor::test {

namespace fs = std::filesystem;

namespace {

bool IsExecutable(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindProgram(std::string_view name) {
  if (const char* path = std::getenv("PATH")) {
    std::string_view rest(path);
    while (!rest.empty()) {
      const std::size_t colon = rest.find(':');
      const std::string_view dir = rest.substr(0, colon);
      if (!dir.empty() && IsExecutable(fs::path(dir) / name))
        return (fs::path(dir) / name).string();
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  const fs::path usr = fs::path("/usr/bin") / name;
  return IsExecutable(usr) ? usr.string() : std::string();
}

TTempFolder::TTempFolder(std::string_view prefix) {
  std::error_code ec;
  fs::path base = fs::temp_directory_path(ec);
  if (ec) base = "/tmp";
  std::string pattern = (base / (std::string(prefix) + "XXXXXX")).string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (::mkdtemp(buf.data())) path_ = buf.data();
}

TTempFolder::~TTempFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  fs::remove_all(path_, ec);
}

bool WriteFile(const fs::path& p, const std::string& text) {
  std::ofstream f(p, std::ios::binary);
  f << text;
  return static_cast<bool>(f);
}

std::vector<std::string> ChildEnvironment(const std::vector<std::string_view>& dropped,
                                          const std::vector<std::string>& added) {
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e) {
    std::string_view v(*e);
    bool drop = false;
    for (std::string_view d : dropped) drop = drop || v.substr(0, d.size()) == d;
    if (!drop) env.emplace_back(v);
  }
  env.insert(env.end(), added.begin(), added.end());
  return env;
}

TChildRun RunChild(const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const std::string& input, std::chrono::seconds timeout) {
  TChildRun run;
  int outPipe[2], errPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0) {
    run.Failure = std::string("pipe: ") + std::strerror(errno);
    return run;
  }
  if (::pipe2(errPipe, O_CLOEXEC) != 0) {
    run.Failure = std::string("pipe: ") + std::strerror(errno);
    ::close(outPipe[0]);
    ::close(outPipe[1]);
    return run;
  }
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, input.empty() ? "/dev/null" : input.c_str(), O_RDONLY,
                                   0);
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
    run.Failure = "cannot start " + args[0] + ": " + std::strerror(rc);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    return run;
  }

  const auto deadline = std::chrono::steady_clock::now() + timeout;
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&run.Out, &run.Err};
  int open = 2;
  while (open > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      run.TimedOut = true;
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
    if (run.TimedOut) {
      ::kill(pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      break;
    }
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) break;
    if (std::chrono::steady_clock::now() >= deadline) run.TimedOut = true;
    else ::usleep(10000);
  }
  if (!run.TimedOut && WIFEXITED(status)) run.ExitCode = WEXITSTATUS(status);
  return run;
}

}  // namespace qor::test
