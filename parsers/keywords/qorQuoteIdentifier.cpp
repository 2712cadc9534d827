// The one place that maps a server kind to its identifier quoting rule.
#include "parsers/keywords/qorQuoteIdentifier.h"

#include "parsers/keywords/qorASAParser.h"
#include "parsers/keywords/qorDB2Parser.h"
#include "parsers/keywords/qorIBKeywords.h"
#include "parsers/keywords/qorLocalSQLParser.h"
#include "parsers/keywords/qorMSSQLKeywords.h"
#include "parsers/keywords/qorMySQLKeywords.h"
#include "parsers/keywords/qorOracleParser.h"
#include "parsers/keywords/qorPGSQLParser.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

// Dialects 1 and 2 have no delimited identifiers: a quoted name would be a
// string literal there.
std::string QuoteIBIdentifier(std::string_view name, TIBSQLServerVersionType version,
                              int sqlDialect) {
  if (sqlDialect == 3 && IbNameNeedsQuotes(name, version)) return QuotedStr(name, '"');
  return std::string(name);
}

}  // namespace

std::string QuoteIdentifier(std::string_view name, TDatabaseType serverType,
                            TIBSQLServerVersionType ibVersion, int sqlDialect) {
  switch (serverType) {
    case TDatabaseType::dbInterBase: return QuoteIBIdentifier(name, ibVersion, sqlDialect);
    case TDatabaseType::dbSybaseASA: return QuoteASAIdentifier(name);
    case TDatabaseType::dbMySQL: return QuoteMySQLIdentifier(name);
    case TDatabaseType::dbOracle: return QuoteOracleIdentifier(name);
    case TDatabaseType::dbMSSQL: return QuoteMSSQLIdentifier(name);
    case TDatabaseType::dbSybaseASE: return QuoteASEIdentifier(name);
    case TDatabaseType::dbPostgreSQL: return QuotePGIdentifier(name);
    case TDatabaseType::dbDB2: return QuoteDB2Identifier(name);
    case TDatabaseType::dbParadox:
    case TDatabaseType::dbDBASE: return QuoteLocalSQLIdentifier(name);
    case TDatabaseType::dbAbstract:
    case TDatabaseType::dbPervasiveSQL:
    case TDatabaseType::dbMSAccess:
    case TDatabaseType::dbCustomOLEDB: break;
  }
  return std::string(name);
}

}  // namespace qor
