// Parses InterBase/Firebird text into a fresh collection for one server
// version, with the messages and statement reports kept for the checks.
// With `bodies` the parser is the body parser, which also reads every body
// of the script for what it uses.
#pragma once

#include "model/qorDBStructure.h"
#include "parsers/ib/qorIBExParser.h"
#include "parsers/ib/qorIBParser.h"

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

// "st_Firebird_25" and its siblings by name; st_Firebird_25 for others.
TIBSQLServerVersionType IbVersionByName(const std::string& name);

}  // namespace qor::test
