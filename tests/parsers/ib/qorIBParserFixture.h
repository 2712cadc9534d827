// Parses InterBase/Firebird text into a fresh collection for one server
// version, with the messages and statement reports kept for the checks.
// With `bodies` the parser is the body parser, which also reads every body
// of the script for what it uses.
#pragma once

#include "engine/qorDBEngine.h"
#include "model/qorDBStructure.h"
#include "parsers/ib/qorIBExParser.h"
#include "parsers/ib/qorIBParser.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qor::test {

struct TIbParse {
  explicit TIbParse(TIBSQLServerVersionType version = TIBSQLServerVersionType::st_Firebird_25,
                    bool bodies = false) {
    objs.SetServerType(TDatabaseType::dbInterBase);
    objs.IBServerOptions.SQLServerVersion = version;
    if (bodies) parser = std::make_unique<TIbExParser>(nullptr);
    else parser = std::make_unique<TIbParser>(nullptr);
    parser->SetObjs(&objs);
    parser->ScriptName = "test.sql";
    parser->OnErrorMessage = [this](TObject*, const std::string& t) { errorEvents.push_back(t); };
    parser->OnStatement = [this](TObject*, const std::string& text, std::uint8_t code, int&,
                                 const std::string&, std::uint8_t sub, std::uint8_t kind,
                                 const std::string& name) {
      statements.push_back(std::to_string(code) + "/" + std::to_string(sub) + "/" +
                           std::to_string(kind) + " " + name + ": " + text);
    };
  }

  // Parses `text` as a script and links what it built.
  TIbParse& Run(const std::string& text, bool afterParse = true) {
    parser->ParseScript({text}, &objs);
    if (afterParse) parser->AfterParse();
    return *this;
  }

  int Errors() const {
    int n = 0;
    for (int i = 0; i < parser->Messages().Count(); ++i)
      if (parser->Messages()[i].Kind == kMsgError) ++n;
    return n;
  }
  std::string FirstError() const {
    for (int i = 0; i < parser->Messages().Count(); ++i)
      if (parser->Messages()[i].Kind == kMsgError) return parser->Messages()[i].Text;
    return {};
  }

  TObjs objs;
  std::unique_ptr<TIbParser> parser;
  std::vector<std::string> errorEvents;
  std::vector<std::string> statements;
};

// The employee sample of Debian's firebird3.0-examples, built once per test
// process into a database of the test folder, with the engine's own
// `isql-fb -x` extract of it; `failure` says why when that could not be done.
struct TEmployee {
  std::string sample, extract, database, failure;
};
const TEmployee& Employee();

// One catalog query's rows, each field trimmed.
using TRows = std::vector<std::map<std::string, std::string>>;

// A connection of its own to a database of the embedded engine, for the
// tests' own catalog queries.
class Catalog {
 public:
  explicit Catalog(const std::string& database);
  ~Catalog();
  bool Connected();
  const std::string& Errors() const { return errors_; }
  TRows Rows(const std::string& sql, const std::vector<std::string>& fields);

 private:
  TQORConnection c_;
  std::string errors_;
};

// "st_Firebird_25" and its siblings by name; st_Firebird_25 for others.
TIBSQLServerVersionType IbVersionByName(const std::string& name);

}  // namespace qor::test
