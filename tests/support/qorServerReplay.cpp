// The clients run with no configuration of the user's (psql -X, mariadb
// --no-defaults, the PG* and MYSQL_* variables dropped), the password in
// the environment, never on the command line.
#include "tests/support/qorServerReplay.h"

#include "tests/support/qorChildProcess.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string_view>

namespace qor::test {

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool StartsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

std::string TrimRight(std::string s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
  return s;
}

std::string TrimLeft(std::string s) {
  std::size_t i = 0;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  return s.substr(i);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A name unique to this process and call, for databases and the roles a
// test makes.
std::string NextSuffix() {
  static std::atomic<int> counter{0};
  return "_" + std::to_string(static_cast<long>(::getpid())) + "_" + std::to_string(++counter);
}

std::string PgIdent(const std::string& name) {
  std::string q = "\"";
  for (char c : name) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

std::string MyIdent(const std::string& name) {
  std::string q = "`";
  for (char c : name) q += c == '`' ? std::string("``") : std::string(1, c);
  return q + "`";
}

}  // namespace

std::string TServerReplayResult::Report() const {
  std::string r = Errors;
  for (const TReplayFailure& f : Failures)
    r += "\nline " + std::to_string(f.Line) + ": " + f.Message + "\n    in: " + f.Statement;
  for (const std::string& w : Warnings) r += "\nwarning: " + w;
  return r;
}

std::string StatementAtLine(const std::string& script, int line) {
  const std::vector<std::string> lines = SplitLines(script);
  std::string delimiter = ";";
  auto delimiterOf = [](const std::string& l, std::string& d) {
    const std::string t = TrimLeft(l);
    if (Lower(t.substr(0, 10)) != "delimiter ") return false;
    d = TrimRight(TrimLeft(t.substr(10)));
    return true;
  };
  for (int i = 0; i < line - 1 && i < static_cast<int>(lines.size()); ++i) {
    std::string d;
    if (delimiterOf(lines[static_cast<std::size_t>(i)], d) && !d.empty()) delimiter = d;
  }
  std::string statement;
  for (int i = line - 1; i >= 0 && i < static_cast<int>(lines.size()); ++i) {
    const std::string& l = lines[static_cast<std::size_t>(i)];
    statement += (statement.empty() ? "" : "\n") + l;
    const std::string t = TrimRight(l);
    if (t.size() >= delimiter.size() &&
        t.compare(t.size() - delimiter.size(), delimiter.size(), delimiter) == 0)
      break;
  }
  return statement;
}

TServerReplayDatabase::TServerReplayDatabase(std::string program) : program_(std::move(program)) {
  suffix_ = NextSuffix();
  name_ = "qor_replay" + suffix_;
}

void TServerReplayDatabase::Create() {
  if (program_.empty()) {
    error_ = "the database client is not installed";
    return;
  }
  created_ = RunAdmin(CreateSQL(), false);
  ready_ = created_;
}

void TServerReplayDatabase::Drop() {
  if (created_) RunAdmin(DropSQL(), false);
  for (const std::string& r : roles_) RunAdmin(DropRoleSQL(r), false);
  for (const std::string& u : users_) RunAdmin(DropUserSQL(u), false);
  created_ = ready_ = false;
}

bool TServerReplayDatabase::RunAdmin(const std::string& sql, bool ours) {
  std::vector<std::string> args = Connect(ours);
  for (std::string& a : ExecuteArgs(sql)) args.push_back(std::move(a));
  const TChildRun run = RunChild(args, Environment(), "", Timeout);
  if (run.Failure.empty() && !run.TimedOut && run.ExitCode == 0) return true;
  error_ = sql + ": " + run.Failure + run.Err + (run.TimedOut ? " (timed out)" : "");
  return false;
}

bool TServerReplayDatabase::Execute(const std::string& sql) {
  return ready_ && RunAdmin(sql, true);
}

TServerReplayResult TServerReplayDatabase::Run(const std::string& script) {
  TServerReplayResult result;
  if (!ready_) {
    result.Errors = "no database: " + error_;
    return result;
  }
  TTempFolder folder("qor-replay-");
  const std::string file = (folder.Path() / "script.sql").string();
  if (folder.Path().empty() || !WriteFile(file, script + "\n")) {
    result.Errors = "cannot write the script file";
    return result;
  }
  std::vector<std::string> args = Connect(true);
  const TClientCall call = ScriptCall(file);
  args.insert(args.end(), call.Args.begin(), call.Args.end());
  const TChildRun run = RunChild(args, Environment(), call.Input, Timeout);
  result.Output = run.Out;
  result.Errors = run.Failure;
  if (run.TimedOut) result.Errors += "the client did not finish in time and was stopped";
  ParseScriptOutput(file, script, run.Err, result);
  // Both clients end with 1 when a statement failed and they went on.
  result.Ran = run.Failure.empty() && !run.TimedOut && (run.ExitCode == 0 || run.ExitCode == 1) &&
               result.Errors.empty();
  if (!result.Ran && result.Errors.empty()) result.Errors = run.Err;
  return result;
}

TCatalogRows TServerReplayDatabase::Query(const std::string& sql, std::string* error) {
  std::vector<std::string> args = Connect(true);
  for (std::string& a : QueryArgs(sql)) args.push_back(std::move(a));
  const TChildRun run = RunChild(args, Environment(), "", Timeout);
  if (!ready_ || !run.Failure.empty() || run.TimedOut || run.ExitCode != 0) {
    if (error) *error = "query failed: " + sql + "\n" + error_ + run.Failure + run.Err;
    return {};
  }
  if (error) error->clear();
  return ParseRows(run.Out);
}

// --- PostgreSQL -------------------------------------------------------------

TPostgresReplayDatabase::TPostgresReplayDatabase() : TServerReplayDatabase(FindProgram("psql")) {
  Create();
}

TPostgresReplayDatabase::~TPostgresReplayDatabase() { Drop(); }

std::vector<std::string> TPostgresReplayDatabase::Environment() const {
  return ChildEnvironment(
      {"PG"}, {"PGPASSWORD=" QOR_PG_PASSWORD, "PGCONNECT_TIMEOUT=20", "PGCLIENTENCODING=UTF8",
               "PGOPTIONS=-c client_min_messages=warning"});
}

std::vector<std::string> TPostgresReplayDatabase::Connect(bool ours) const {
  return {program_,
          "-X",
          "-q",
          "-h",
          "127.0.0.1",
          "-p",
          std::to_string(QOR_PG_PORT),
          "-U",
          QOR_PG_USER,
          "-d",
          ours ? Name() : std::string("postgres")};
}

TServerReplayDatabase::TClientCall TPostgresReplayDatabase::ScriptCall(
    const std::string& file) const {
  // -b echoes each refused statement after the engine's message.
  return {{"-b", "-v", "ON_ERROR_STOP=0", "-v", "VERBOSITY=default", "-f", file}, ""};
}

std::vector<std::string> TPostgresReplayDatabase::QueryArgs(const std::string& sql) const {
  return {"-v", "ON_ERROR_STOP=1", "-A", "-t", "-F", "\x1f", "-R", "\x1e", "-c", sql};
}

std::vector<std::string> TPostgresReplayDatabase::ExecuteArgs(const std::string& sql) const {
  return {"-v", "ON_ERROR_STOP=1", "-c", sql};
}

std::string TPostgresReplayDatabase::CreateSQL() const {
  return "create database " + PgIdent(Name());
}
std::string TPostgresReplayDatabase::DropSQL() const {
  return "drop database if exists " + PgIdent(Name()) + " with (force)";
}
std::string TPostgresReplayDatabase::DropRoleSQL(const std::string& role) const {
  return "drop role if exists " + PgIdent(role);
}
std::string TPostgresReplayDatabase::DropUserSQL(const std::string& user) const {
  return DropRoleSQL(user);
}

void TPostgresReplayDatabase::ParseScriptOutput(const std::string& file, const std::string&,
                                                const std::string& err,
                                                TServerReplayResult& result) const {
  // "psql:<file>:<line>: <LEVEL>:  text", continued on the lines that follow;
  // with -b the refused statement follows its error as "STATEMENT:".
  const std::string prefix = "psql:" + file + ":";
  enum class TKind { Other, Failure, Statement, Warning } kind = TKind::Other;
  for (const std::string& l : SplitLines(err)) {
    if (StartsWith(l, prefix)) {
      const std::string rest = l.substr(prefix.size());
      const std::size_t colon = rest.find(": ");
      const int line = std::atoi(rest.c_str());
      const std::string tail = colon == std::string::npos ? rest : rest.substr(colon + 2);
      auto level = [&tail](std::string_view word) { return StartsWith(tail, word); };
      if (level("ERROR:") || level("FATAL:") || level("PANIC:") || level("error:")) {
        kind = TKind::Failure;
        result.Failures.push_back({line, "", TrimLeft(tail.substr(tail.find(':') + 1))});
      } else if (level("STATEMENT:") && !result.Failures.empty()) {
        kind = TKind::Statement;
        result.Failures.back().Statement = TrimLeft(tail.substr(10));
      } else if (level("WARNING:")) {
        kind = TKind::Warning;
        result.Warnings.push_back(TrimLeft(tail.substr(8)));
      } else {
        kind = TKind::Other;
      }
      continue;
    }
    switch (kind) {
      case TKind::Failure: result.Failures.back().Message += "\n" + l; break;
      case TKind::Statement: result.Failures.back().Statement += "\n" + l; break;
      case TKind::Warning: result.Warnings.back() += "\n" + l; break;
      case TKind::Other:
        // Anything else on stderr (the connection went) is a failure of the run.
        if (!l.empty()) result.Errors += l + "\n";
        break;
    }
  }
}

TCatalogRows TPostgresReplayDatabase::ParseRows(const std::string& out) const {
  TCatalogRows rows;
  std::string text = out;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (text.empty()) return rows;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\x1e', start);
    const std::string record =
        text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::vector<std::string> row;
    std::size_t f = 0;
    for (;;) {
      const std::size_t g = record.find('\x1f', f);
      row.push_back(record.substr(f, g == std::string::npos ? std::string::npos : g - f));
      if (g == std::string::npos) break;
      f = g + 1;
    }
    rows.push_back(std::move(row));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return rows;
}

// --- MariaDB ----------------------------------------------------------------

TMariaDbReplayDatabase::TMariaDbReplayDatabase() : TServerReplayDatabase(FindProgram("mariadb")) {
  Create();
}

TMariaDbReplayDatabase::~TMariaDbReplayDatabase() { Drop(); }

std::vector<std::string> TMariaDbReplayDatabase::Environment() const {
  return ChildEnvironment({"MYSQL_", "MARIADB_"}, {"MYSQL_PWD=" QOR_MARIADB_PASSWORD});
}

std::vector<std::string> TMariaDbReplayDatabase::Connect(bool ours) const {
  std::vector<std::string> args = {program_,
                                   "--no-defaults",
                                   "--protocol=tcp",
                                   "-h",
                                   "127.0.0.1",
                                   "-P",
                                   std::to_string(QOR_MARIADB_PORT),
                                   "-u",
                                   QOR_MARIADB_USER,
                                   "--default-character-set=utf8mb4",
                                   "--connect-timeout=20"};
  if (ours) args.push_back("--database=" + Name());
  return args;
}

TServerReplayDatabase::TClientCall TMariaDbReplayDatabase::ScriptCall(
    const std::string& file) const {
  return {{"--force", "--unbuffered", "--show-warnings"}, file};
}

std::vector<std::string> TMariaDbReplayDatabase::QueryArgs(const std::string& sql) const {
  return {"--batch", "--skip-column-names", "-e", sql};
}

std::vector<std::string> TMariaDbReplayDatabase::ExecuteArgs(const std::string& sql) const {
  return {"--batch", "-e", sql};
}

std::string TMariaDbReplayDatabase::CreateSQL() const {
  return "create database " + MyIdent(Name()) + " character set utf8mb4";
}
std::string TMariaDbReplayDatabase::DropSQL() const {
  return "drop database if exists " + MyIdent(Name());
}
std::string TMariaDbReplayDatabase::DropRoleSQL(const std::string& role) const {
  return "drop role if exists " + MyIdent(role);
}
std::string TMariaDbReplayDatabase::DropUserSQL(const std::string& user) const {
  return "drop user if exists " + MyIdent(user);
}

void TMariaDbReplayDatabase::ParseScriptOutput(const std::string&, const std::string& script,
                                               const std::string& err,
                                               TServerReplayResult& result) const {
  // With --show-warnings the client writes a refused statement between two
  // lines of dashes, then "ERROR <code> (<state>) at line <n>: text" (or,
  // for its own errors, "ERROR at line <n>: text"), continued on the lines
  // that follow; <n> is the line where the statement began.
  static constexpr std::string_view kRule = "--------------";
  bool inFailure = false, inEcho = false;
  std::string echo;
  for (const std::string& l : SplitLines(err)) {
    const std::size_t at = l.find(" at line ");
    if (l == kRule) {
      inEcho = !inEcho;
      if (inEcho) echo.clear();
      inFailure = false;
    } else if (inEcho) {
      echo += (echo.empty() ? "" : "\n") + l;
    } else if (StartsWith(l, "ERROR ") && at != std::string::npos) {
      const int line = std::atoi(l.c_str() + at + 9);
      const std::size_t colon = l.find(": ", at);
      std::string message = l.substr(0, at);
      if (colon != std::string::npos) message += ": " + l.substr(colon + 2);
      result.Failures.push_back(
          {line, echo.empty() ? StatementAtLine(script, line) : echo, message});
      echo.clear();
      inFailure = true;
    } else if (inFailure) {
      result.Failures.back().Message += "\n" + l;
    } else if (!l.empty()) {
      result.Errors += l + "\n";
    }
  }
  for (const std::string& l : SplitLines(result.Output))
    if (StartsWith(l, "Warning (Code ")) result.Warnings.push_back(l);
}

TCatalogRows TMariaDbReplayDatabase::ParseRows(const std::string& out) const {
  // Batch mode: a tab between values, a line per row, and \t \n \\ \0 for
  // the characters inside a value.
  TCatalogRows rows;
  for (const std::string& line : SplitLines(out)) {
    std::vector<std::string> row(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (c == '\t') {
        row.emplace_back();
      } else if (c == '\\' && i + 1 < line.size()) {
        const char n = line[++i];
        row.back() += n == 't' ? '\t' : n == 'n' ? '\n' : n == '0' ? '\0' : n;
      } else {
        row.back() += c;
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace qor::test
