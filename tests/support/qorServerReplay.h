// Replays a script on the suite's PostgreSQL or MariaDB server through the
// engine's own client (psql, mariadb), the way a user would run it: every
// statement is tried, and each one the engine refuses comes back with the
// engine's message. The script runs in a database of its own, which the
// object drops when it goes; the catalog can be read back before that.
//
// The servers are started and stopped by the suite (CTest fixtures
// "postgres" and "mariadb", scripts/pg-test-server.sh and
// scripts/mariadb-test-server.sh): only the Postgres* and MariaDb* suites
// may use these classes.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace qor::test {

struct TReplayFailure {
  int Line = 0;           // line of the script the client reported
  std::string Statement;  // the refused statement
  std::string Message;    // the engine's message
};

struct TServerReplayResult {
  bool Ran = false;    // the client ran through the whole script
  std::string Errors;  // why it could not run (no client, no server, time-out)
  std::vector<TReplayFailure> Failures;
  std::vector<std::string>
      Warnings;  // what the engine warned of (a grant that granted nothing ...)
  std::string Output;
  bool Ok() const { return Ran && Failures.empty(); }
  // Every failure with its statement, for a test's failure message.
  std::string Report() const;
};

using TCatalogRows = std::vector<std::vector<std::string>>;

class TServerReplayDatabase {
 public:
  virtual ~TServerReplayDatabase() = default;
  TServerReplayDatabase(const TServerReplayDatabase&) = delete;
  TServerReplayDatabase& operator=(const TServerReplayDatabase&) = delete;

  // False when the database could not be made; Error() says why.
  bool Ready() const { return ready_; }
  const std::string& Error() const { return error_; }
  const std::string& Name() const { return name_; }
  // Roles and users live on the server, not in a database: a test names
  // its own with this suffix ("clerk" + Suffix()) so that runs in other
  // build trees do not meet them, and hands them to DropAfter.
  const std::string& Suffix() const { return suffix_; }
  void DropRoleAfter(const std::string& role) { roles_.push_back(role); }
  void DropUserAfter(const std::string& user) { users_.push_back(user); }

  // Runs `script` in the database as the suite's user.
  TServerReplayResult Run(const std::string& script);
  // Runs statements as the suite's user, in the database, stopping at the
  // first error; false and Error() when one fails.
  bool Execute(const std::string& sql);
  // The rows of a query in the database, each value as text; NULL reads as
  // "" (PostgreSQL) or "NULL" (MariaDB). On an error the test fails through
  // `error` (set) and the rows are empty.
  TCatalogRows Query(const std::string& sql, std::string* error = nullptr);

  std::chrono::seconds Timeout{120};

 protected:
  explicit TServerReplayDatabase(std::string program);
  // Creates the database; called by the derived constructor.
  void Create();
  // Drops the database and the roles and users handed in; called by the
  // derived destructor.
  void Drop();

  struct TClientCall {
    std::vector<std::string> Args;
    std::string Input;  // a file for stdin; none when empty
  };
  virtual std::vector<std::string> Environment() const = 0;
  // The client's command line without a database (the maintenance one) or
  // for ours.
  virtual std::vector<std::string> Connect(bool ours) const = 0;
  // Appended to Connect(true) to run the script file.
  virtual TClientCall ScriptCall(const std::string& file) const = 0;
  virtual std::vector<std::string> QueryArgs(const std::string& sql) const = 0;
  virtual std::vector<std::string> ExecuteArgs(const std::string& sql) const = 0;
  virtual std::string CreateSQL() const = 0;
  virtual std::string DropSQL() const = 0;
  virtual std::string DropRoleSQL(const std::string& role) const = 0;
  virtual std::string DropUserSQL(const std::string& user) const = 0;
  // Reads the refused statements and the warnings from what the client
  // wrote to stdout (result.Output) and `err`.
  virtual void ParseScriptOutput(const std::string& file, const std::string& script,
                                 const std::string& err, TServerReplayResult& result) const = 0;
  virtual TCatalogRows ParseRows(const std::string& out) const = 0;

  std::string program_;  // the client's path

 private:
  bool RunAdmin(const std::string& sql, bool ours);

  bool ready_ = false;
  bool created_ = false;
  std::string error_;
  std::string name_, suffix_;
  std::vector<std::string> roles_, users_;
};

// What each client defines of TServerReplayDatabase, listed once for the
// two clients below.
#define QOR_REPLAY_CLIENT_MEMBERS(Class)                                                      \
 public:                                                                                      \
  Class();                                                                                    \
  ~Class() override;                                                                          \
                                                                                              \
 protected:                                                                                   \
  std::vector<std::string> Environment() const override;                                      \
  std::vector<std::string> Connect(bool ours) const override;                                 \
  TClientCall ScriptCall(const std::string& file) const override;                             \
  std::vector<std::string> QueryArgs(const std::string& sql) const override;                  \
  std::vector<std::string> ExecuteArgs(const std::string& sql) const override;                \
  std::string CreateSQL() const override;                                                     \
  std::string DropSQL() const override;                                                       \
  std::string DropRoleSQL(const std::string& role) const override;                            \
  std::string DropUserSQL(const std::string& user) const override;                            \
  void ParseScriptOutput(const std::string& file, const std::string& script,                  \
                         const std::string& err, TServerReplayResult& result) const override; \
  TCatalogRows ParseRows(const std::string& out) const override

// A database on the suite's PostgreSQL server (127.0.0.1, QOR_PG_PORT),
// run through psql.
class TPostgresReplayDatabase : public TServerReplayDatabase {
  QOR_REPLAY_CLIENT_MEMBERS(TPostgresReplayDatabase);
};

// A database on the suite's MariaDB server (127.0.0.1, QOR_MARIADB_PORT),
// run through the mariadb client with --force.
class TMariaDbReplayDatabase : public TServerReplayDatabase {
  QOR_REPLAY_CLIENT_MEMBERS(TMariaDbReplayDatabase);
};

// The statement of `script` that starts on line `line` (1-based): up to
// the line that ends with the delimiter in force there (";" unless a
// DELIMITER line changed it). For a client that reports only where a
// refused statement began.
std::string StatementAtLine(const std::string& script, int line);

#undef QOR_REPLAY_CLIENT_MEMBERS

}  // namespace qor::test
