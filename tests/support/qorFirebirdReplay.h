// Replays DDL on a real Firebird engine: a fresh embedded database in a
// private temporary folder, the script run through isql-fb with the first
// error stopping the run. Used by the tests that hold our Firebird texts
// against what the engine accepts.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace qor::test {

struct TFirebirdReplayOptions {
  int Dialect = 3;                    // SQL dialect of the new database and the session
  std::string CharSet;                // default character set of the database; none when empty
  std::chrono::seconds Timeout{120};  // per isql run; the run is killed after it
  bool Extract = false;             // after a clean run, `isql-fb -x` of the database into Extract
  std::string KeepDatabaseAs = {};  // after a clean run, the database file is copied here
};

struct TFirebirdReplayResult {
  bool Ok = false;  // database created and every statement accepted
  bool TimedOut = false;
  int ExitCode = -1;
  std::string Output;   // what isql wrote to stdout
  std::string Errors;   // what isql wrote to stderr, or why it could not run
  std::string Extract;  // the engine's own DDL of the database (options.Extract)
};

// The isql-fb program found on PATH (or in /usr/bin); empty when missing.
std::string FindIsql();

// Creates a new database and runs `script` against it as SYSDBA, embedded
// (no server), then removes the folder. The script needs no CONNECT or
// CREATE DATABASE of its own.
TFirebirdReplayResult RunFirebirdScript(const std::string& script,
                                        const TFirebirdReplayOptions& options = {});

// Creates the database `database` (a path for the embedded engine, or
// host/port:path on a server, which then needs the SYSDBA `password`) and
// runs `script` on it. Unlike RunFirebirdScript the database stays.
TFirebirdReplayResult BuildFirebirdDatabase(const std::string& database, const std::string& script,
                                            const std::string& password = {},
                                            const TFirebirdReplayOptions& options = {});

// `isql-fb -x` of the database: Output holds the DDL the engine's own tool
// extracts.
TFirebirdReplayResult ExtractFirebirdDDL(const std::string& database,
                                         const std::string& password = {},
                                         std::chrono::seconds timeout = std::chrono::seconds(120));

// A known difference between two DDL texts: lines containing `Text`, with
// the reason they may differ.
struct TReviewedDifference {
  const char* Text;
  const char* Reason;
};

// The lines of `a` not in `b` and of `b` not in `a` (counted as multisets;
// blank lines and the blank between CHECK and its condition, which the
// engine keeps as typed and the DDL parser's path does not keep yet, do not
// count; the main-road test holds the extractor's path to it strictly),
// less those a reviewed entry
// explains; each prefixed "source only: " or "replay only: ".
std::vector<std::string> UnexplainedDifferences(const std::string& a, const std::string& b,
                                                const std::vector<TReviewedDifference>& reviewed);

// The script without its database header (CREATE DATABASE, SET SQL
// DIALECT): the replay makes a database of its own.
std::string WithoutDatabaseHeader(std::string script);

// The employee sample script of Debian's firebird3.0-examples without its
// CREATE DATABASE; empty when the package is not installed.
std::string EmployeeSampleScript();

}  // namespace qor::test
