// The MySQL catalog extractor: reads the CREATE texts of the tables and
// views (SHOW FULL TABLES, SHOW CREATE TABLE), the stored routines
// (information_schema.ROUTINES, SHOW CREATE PROCEDURE/FUNCTION) and the
// triggers (SHOW TRIGGERS) of the connection's database and hands each text
// to the MySQL parser, which builds the columns, keys and parameters; the
// parser links the dependencies at the end. The statement texts are in
// qorMySQLCatalogQueries.h.
#pragma once

#include "extract/qorCustomExtract.h"

#include <memory>
#include <string>

namespace qor {

class TMySQLParser;
class TObjs;
class TQORCustomConnection;

class TMySQLDBExtract : public TCustomExtract {
 public:
  TMySQLDBExtract();
  ~TMySQLDBExtract() override;
  const char* ClassName() const override { return "TMySQLDBExtract"; }

  // Also makes a parser that takes the structure's MySQL options.
  void SetDBStructure(TCustomDBStructure* value) override;

  // The whole extraction: true when every step ran to its end; a failure
  // or a stop request gives false.
  bool ExtractDatabase() override;

  // The steps the progress counts: tables, (none), routines, triggers, the
  // five key and index steps, linking.
  static constexpr int kStepMax = 10;

  // The parser held between runs; none during and after a run.
  TMySQLParser* Parser() const { return parser_.get(); }

  // Fires OnLogNextLine when assigned.
  void LogLine(const std::string& text);

 protected:
  void PrepareExtraction() override;
  void RunExtractSteps() override;

  // ---- Steps ----
  void CopyConnectionParams();
  void ExtractTables();
  void ExtractProcedures();
  void ExtractTriggers();
  void LinkDependencies();

 private:
  TObjs* GetObjs() const;
  bool CaseSensitive() const;
  // A name as the model keeps it: upper-cased unless identifiers are
  // case-sensitive. The server is always sent its own spelling.
  std::string ModelName(const std::string& serverName) const;
  // The steps in their order (qorMySQLDatabaseExtract.cpp).
  static const TExtractStep<TMySQLDBExtract> kSteps[];
  std::unique_ptr<TMySQLParser> NewParser();

  std::unique_ptr<TMySQLParser> parser_;
};

}  // namespace qor
