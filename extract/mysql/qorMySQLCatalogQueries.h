// The statements the MySQL extractor sends. SHOW statements answer with
// columns whose names change with the object (Create Table, Create View),
// so each text has an enumeration of its columns, read by position. A name
// sent inside a SHOW CREATE statement is always quoted with back quotes
// (inner ones doubled): a table may be called `order` or carry a blank.
#pragma once

#include <string>
#include <string_view>

namespace qor::myq {

// The tables and views of the current database with their kind.
extern const std::string_view kFullTables;
enum class FullTablesCol { Name, TableType };
// The TableType of a view.
inline constexpr std::string_view kViewType = "VIEW";

// `name` in back quotes, inner back quotes doubled.
std::string BacktickName(std::string_view name);

// "SHOW CREATE TABLE `name`"; views answer it too.
std::string ShowCreateTable(std::string_view name);
enum class ShowCreateTableCol { Name, CreateText };

// "SHOW CREATE FUNCTION `name`" or "SHOW CREATE PROCEDURE `name`".
std::string ShowCreateRoutine(std::string_view name, bool isFunction);
enum class ShowCreateRoutineCol { Name, SqlMode, CreateText };

// The stored routines of the current database, by name.
extern const std::string_view kRoutines;
// clang-format off
enum class RoutinesCol {
  RoutineName, SpecificName, RoutineType, DataType, RoutineBody, RoutineDefinition,
  SqlDataAccess, RoutineComment, SecurityType, Definer, SqlMode
};
// clang-format on

// The triggers of the current database.
extern const std::string_view kTriggers;
enum class TriggersCol { Trigger, Event, Table, Statement, Timing };

}  // namespace qor::myq
