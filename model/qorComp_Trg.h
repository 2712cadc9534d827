// Triggers on tables and views, and InterBase and MS SQL database or server
// triggers.
#pragma once

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

// When a trigger runs against its statement, as TTrgData::Timing holds it.
enum TTriggerTiming : std::uint8_t { ttBefore = 1, ttAfter = 2, ttFor = 4, ttInsteadOf = 5 };
// The bits of TTrgData::Events: a trigger may fire on several.
enum TTriggerEvent : std::uint8_t { teInsert = 2, teUpdate = 4, teDelete = 8 };

// One row of the InterBase trigger-type table.
struct TIBTriggerType {
  std::int32_t Code;
  std::uint16_t Mask;  // events in the high byte, timing in the low byte
  const char* Name;
};
inline constexpr TIBTriggerType kIBTriggerTypes[14] = {
    {1, 0x201, "BEFORE INSERT"},
    {2, 0x202, "AFTER INSERT"},
    {3, 0x401, "BEFORE UPDATE"},
    {4, 0x402, "AFTER UPDATE"},
    {5, 0x801, "BEFORE DELETE"},
    {6, 0x802, "AFTER DELETE"},
    {17, 0x601, "BEFORE INSERT OR UPDATE"},
    {18, 0x602, "AFTER INSERT OR UPDATE"},
    {25, 0xA01, "BEFORE INSERT OR DELETE"},
    {26, 0xA02, "AFTER INSERT OR DELETE"},
    {27, 0xC01, "BEFORE UPDATE OR DELETE"},
    {28, 0xC02, "AFTER UPDATE OR DELETE"},
    {113, 0xE01, "BEFORE INSERT OR UPDATE OR DELETE"},
    {114, 0xE02, "AFTER INSERT OR UPDATE OR DELETE"},
};

// The kind bits of an InterBase trigger-type code: neither set for a trigger
// of a table or view, 0x2000 for a database trigger (the code is 0x2000
// plus its event), 0x4000 for a Firebird DDL trigger (bit 0 set for AFTER,
// one bit per event above it, as below).
inline constexpr std::int64_t kIBTriggerKindMask = 0x6000;
inline constexpr std::int64_t kIBDatabaseTrigger = 0x2000;
inline constexpr std::int64_t kIBDDLTrigger = 0x4000;
// ANY DDL STATEMENT sets every bit but the kind and timing bits, also those
// no event has yet.
inline constexpr std::int64_t kIBAnyDDLEvents = 0x7FFFFFFFFFFFFFFF & ~(kIBTriggerKindMask | 1);

// One event of a DDL trigger: the bit it sets in the type code.
struct TIBDDLEvent {
  std::uint8_t Bit;
  const char* Name;
};
// In the order of their bits, which is the order a script names them in.
inline constexpr TIBDDLEvent kIBDDLEvents[] = {
    {1, "CREATE TABLE"},         {2, "ALTER TABLE"},        {3, "DROP TABLE"},
    {4, "CREATE PROCEDURE"},     {5, "ALTER PROCEDURE"},    {6, "DROP PROCEDURE"},
    {7, "CREATE FUNCTION"},      {8, "ALTER FUNCTION"},     {9, "DROP FUNCTION"},
    {10, "CREATE TRIGGER"},      {11, "ALTER TRIGGER"},     {12, "DROP TRIGGER"},
    {16, "CREATE EXCEPTION"},    {17, "ALTER EXCEPTION"},   {18, "DROP EXCEPTION"},
    {19, "CREATE VIEW"},         {20, "ALTER VIEW"},        {21, "DROP VIEW"},
    {22, "CREATE DOMAIN"},       {23, "ALTER DOMAIN"},      {24, "DROP DOMAIN"},
    {25, "CREATE ROLE"},         {26, "ALTER ROLE"},        {27, "DROP ROLE"},
    {28, "CREATE INDEX"},        {29, "ALTER INDEX"},       {30, "DROP INDEX"},
    {31, "CREATE SEQUENCE"},     {32, "ALTER SEQUENCE"},    {33, "DROP SEQUENCE"},
    {34, "CREATE USER"},         {35, "ALTER USER"},        {36, "DROP USER"},
    {37, "CREATE COLLATION"},    {38, "DROP COLLATION"},    {39, "ALTER CHARACTER SET"},
    {40, "CREATE PACKAGE"},      {41, "ALTER PACKAGE"},     {42, "DROP PACKAGE"},
    {43, "CREATE PACKAGE BODY"}, {44, "DROP PACKAGE BODY"}, {45, "CREATE MAPPING"},
    {46, "ALTER MAPPING"},       {47, "DROP MAPPING"},
};

// Whether an InterBase trigger-type code is that of a DDL trigger.
constexpr bool IsIBDDLTriggerType(std::int64_t type) {
  return (type & kIBTriggerKindMask) == kIBDDLTrigger;
}
// Whether an InterBase trigger-type code is that of a database trigger (ON
// CONNECT, ON TRANSACTION COMMIT ...).
constexpr bool IsIBDatabaseTriggerType(std::int64_t type) {
  return (type & kIBTriggerKindMask) == kIBDatabaseTrigger;
}
// The events of a DDL trigger's type code as its header names them: "ANY
// DDL STATEMENT", or the events joined by " OR "; empty when the code sets
// no event or a bit no event has.
std::string IBDDLEventText(std::int64_t type);
// The type-code bit of a DDL event named as in kIBDDLEvents ("CREATE
// TABLE"); 0 for any other text.
std::int64_t IBDDLEventBit(std::string_view name);

// Text is the body, ParentName the schema, OwnerQualifier the ASA owner.
class TTrgData : public TDbObj {
 public:
  explicit TTrgData(TCustomObjs* owner);
  ~TTrgData() override;
  const char* ClassName() const override { return "TTrgData"; }
  TDbObject GetKind() const override { return TDbObject::dboTrigger; }

  void GetSubObjects(std::vector<TDbObj*>& out) override;
  void ClearLinksTo(const TDbObj* gone) override;

  // The header of the dialect followed by the body.
  std::string GetCreateSQL() override;
  // Empties the bodies of the other triggers on the same view first.
  TWalk DoBeforeDropWalk() override;
  std::string GetDropSQL() override;
  std::string GetAlterSQL() override;
  int StatementKind() const override { return kStmtTrigger; }
  std::string GetStubSQL() override { return GetEmptyCreateSQL(); }
  bool BodyOwed() const override { return BodyEmptied; }
  // The CREATE text with SourceText as the body (taken from the body the
  // first time).
  std::string GetSourceSQL() override;

  // The smallest body the dialect accepts.
  std::string GetEmptyBody() const;
  // The CREATE text with the empty body; the trigger keeps its own.
  std::string GetEmptyCreateSQL();
  // The body is the empty body already.
  bool HasEmptyBody() const;
  // Gives the trigger the empty body for good, marks the source
  // collection's trigger of that name, and writes the ALTER when selected.
  void ReplaceWithEmptyBody();

  const std::string& GetTableName() const { return tableName_; }
  // Stores the name and links TableObj to the table, else the view, of
  // that name in the owner collection (MS SQL, PostgreSQL: in the
  // trigger's schema first). The schema is set before.
  void SetTableName(std::string_view name);
  TDbObj* GetTableObj() const { return tableObj_; }
  // Also sets the counterpart's flag.
  void SetBodyEmptied(bool value) override;
  // A Firebird DDL trigger, by its type code: only the InterBase dialect
  // has a text for it.
  bool IsIBDDLTrigger() const { return IsIBDDLTriggerType(TriggerType); }
  // A Firebird database trigger, by its type code (an MS SQL database or
  // server trigger has none).
  bool IsIBDatabaseTrigger() const { return IsIBDatabaseTriggerType(TriggerType); }

  bool BodyEmptied = false;
  std::string SourceText;
  bool Active = true;
  std::uint8_t Timing = 0;  // a TTriggerTiming, 0 when none was read
  std::uint8_t Events = 0;  // TTriggerEvent bits
  std::int32_t Position = 0;
  // InterBase trigger-type code as the catalog stores it (a DDL trigger's
  // passes 32 bits).
  std::int64_t TriggerType = 0;
  TFieldList Columns;  // UPDATE OF
  std::string NewAlias;
  std::string OldAlias;
  std::string RemoteAlias;
  std::string NewTableAlias;
  std::string OldTableAlias;
  std::string ParentAlias;
  std::string WhenCondition;
  bool ForEachRow = false;
  bool ForEachStatement = false;
  std::string Mode;
  std::uint8_t SyntaxMode = 0;  // ASA: 1 Transact-SQL form
  bool WithAppend = false;
  bool NotForReplication = false;
  std::string EventText;

 protected:
  // The statement names the trigger's table.
  void MSSQLPropertyLevels(TPropertyLevel (&levels)[3]) override;
  bool PGCommentTarget(std::string& word, std::string& target) override;

 private:
  // The key of the table or view in the collection's lists.
  std::string TableKey() const;
  // The table, else the view, the trigger is on in `objs` (views only: the
  // view); none when absent.
  TDbObj* FindTableIn(const TCustomObjs& objs, bool viewsOnly) const;
  bool OnDatabase() const;  // DATABASE or ALL SERVER (MS SQL)
  // The header and `body` in the dialect's form.
  std::string CreateText(const std::string& body);
  std::string InterBaseText(const std::string& body);
  std::string MySQLText(const std::string& body);
  std::string MSSQLText(const std::string& body, bool alter);
  std::string ASAText(const std::string& body);
  std::string OracleText(const std::string& body);
  std::string PGText(const std::string& body);
  std::string DB2Text(const std::string& body);

  std::string tableName_;
  TDbObj* tableObj_ = nullptr;  // a TTblData or TViwData; not owned
};

}  // namespace qor
