// Constraints: primary key, unique, foreign key, check, MS SQL default,
// Oracle NOT NULL and column-level references.
#pragma once

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qor {

// Constraint types.
namespace ct {
inline constexpr std::uint8_t PrimaryKey = 0, Unique = 1, ForeignKey = 2, Check = 3, Other = 4,
                              Default = 5, NotNull = 6, References = 7;
}

// Name is empty for an unnamed constraint; ParentName is the table's schema,
// OwnerQualifier the ASA table owner, Text the check expression or default.
class TCtrData : public TDbObj {
 public:
  explicit TCtrData(TCustomObjs* owner);
  ~TCtrData() override;
  const char* ClassName() const override { return "TCtrData"; }
  TDbObject GetKind() const override { return TDbObject::dboConstraint; }
  std::string FilterName() const override { return GetTableName(); }
  TDbObject FilterKind() const override { return TDbObject::dboTable; }

  std::string GetDisplayName() override;
  // A named constraint: the base key. An unnamed one: its CREATE text, for
  // InterBase written with unquoted names.
  std::string GetKeyName() override;
  // ALTER TABLE ... ADD with the clause (Oracle NOT NULL: MODIFY).
  std::string GetCreateSQL() override;
  // Primary and unique keys: the foreign keys that reference them go first.
  TWalk DoBeforeDropWalk() override;
  // The table and columns the constraint names come first.
  TWalk DoBeforeCreateWalk() override;
  std::string GetDropSQL() override;
  void GetSubObjects(std::vector<TDbObj*>& out) override;

  // The quoted names of Columns / RefColumns, separated by ", ".
  std::string GetFieldsText();
  std::string GetRefFieldsText();
  // The constraint clause; `forColumn` when it is written inside a column
  // definition.
  std::string GetConstraintText(bool forColumn);
  // Oracle: the NOT NULL constraint as a column modification.
  std::string GetNotNullText();
  // MySQL: a check without name on one column is that column's own check
  // (a table check gets a name from the server). Added as a table check it
  // would take a generated name that a named one of the script may hold;
  // so it is written with the column, as " MODIFY COLUMN ...". Empty for
  // any other constraint.
  std::string GetMySQLColumnCheckText();
  // "ALTER TABLE ... ADD" and the constraint (Oracle NOT NULL: MODIFY).
  std::string GetAddSQL();
  // A default constraint written where the dialect has none, as its
  // column's DEFAULT: the expression without the parentheses MS SQL stores
  // around it, in the dialect's words. Empty when its meaning there is not
  // sure (a function other than the current timestamp, an expression):
  // the script then names it in a comment instead.
  std::string ColumnDefaultText() const;

  std::uint8_t GetConstraintType() const { return constraintType_; }
  // Stores the type and sets the kind code that belongs to it.
  void SetConstraintType(std::uint8_t value);
  const std::string& GetTableName() const { return tableName_; }
  // Upper-cased for MS SQL unless its identifiers are case-sensitive.
  void SetTableName(std::string_view value);
  const std::string& GetRefTableName() const { return refTableName_; }
  void SetRefTableName(std::string_view value);
  const std::string& GetRefSchema() const { return refSchema_; }
  void SetRefSchemaName(std::string_view value);

  TTableSpace StorageOptions;
  TFieldList Columns;
  std::string RefOwner;
  std::string RoleName;
  TFieldList RefColumns;
  std::uint8_t MatchType = 0;   // 1 FULL, 2 PARTIAL
  std::uint8_t UpdateRule = 0;  // 1 RESTRICT, 2 CASCADE, 3 SET DEFAULT, 4 SET NULL
  std::uint8_t DeleteRule = 0;
  bool DescIndex = false;
  std::string IndexName;
  bool CheckOnCommit = false;
  bool Clustered = false;
  bool NotForReplication = false;
  bool Deferrable = false;
  bool InitiallyDeferred = false;
  bool DeferredAll = false;
  TIndexOptions IndexOptions;

  bool CheckSystemConstraintName() override;

 protected:
  // The statement names the constraint's table.
  bool PGCommentTarget(std::string& word, std::string& target) override;

 private:
  std::string CaseFolded(std::string_view value) const;
  // The quoted names of a column list.
  std::string ListText(const TFieldList& list);
  // The constrained table after ALTER TABLE, in CREATE and DROP.
  std::string TableText();
  // The referenced table of a foreign key.
  std::string RefTableText();
  // USING [DESC] INDEX and its siblings.
  std::string IndexClause();

  std::uint8_t constraintType_ = ct::ForeignKey;
  std::string tableName_;
  std::string refTableName_;
  std::string refSchema_;
};

}  // namespace qor
