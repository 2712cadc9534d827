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
  void SetBodyEmptied(bool value);

  bool BodyEmptied = false;
  std::string SourceText;
  bool Active = true;
  std::uint8_t Timing = 0;  // 1 before, 2 after, 4 for, 5 instead of
  std::uint8_t Events = 0;  // 2 insert, 4 update, 8 delete
  std::int32_t Position = 0;
  std::int32_t TriggerType = 0;
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
