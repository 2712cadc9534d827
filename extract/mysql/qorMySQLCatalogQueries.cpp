// The statement texts of the MySQL extractor, as the server receives them.
#include "extract/mysql/qorMySQLCatalogQueries.h"

#include "platform/qorStrings.h"

namespace qor::myq {

const std::string_view kFullTables = "SHOW FULL TABLES";

std::string BacktickName(std::string_view name) { return "`" + ReplaceAll(name, "`", "``") + "`"; }

std::string ShowCreateTable(std::string_view name) {
  return "SHOW CREATE TABLE " + BacktickName(name);
}

std::string ShowCreateRoutine(std::string_view name, bool isFunction) {
  return std::string(isFunction ? "SHOW CREATE FUNCTION " : "SHOW CREATE PROCEDURE ") +
         BacktickName(name);
}

// The routines of the database the connection is in, the one SHOW TABLES
// and SHOW TRIGGERS read, whatever the connection options name.
const std::string_view kRoutines =
    "SELECT r.ROUTINE_NAME, r.ROUTINE_NAME, r.ROUTINE_TYPE, r.DATA_TYPE, r.ROUTINE_BODY,\r\n"
    "r.ROUTINE_DEFINITION, r.SQL_DATA_ACCESS, r.ROUTINE_COMMENT,\r\n"
    "r.SECURITY_TYPE, r.DEFINER, r.SQL_MODE\r\n"
    "FROM information_schema.ROUTINES r\r\n"
    "WHERE r.ROUTINE_SCHEMA=DATABASE()\r\n"
    "ORDER BY r.ROUTINE_NAME";

const std::string_view kTriggers = "SHOW TRIGGERS";

}  // namespace qor::myq
