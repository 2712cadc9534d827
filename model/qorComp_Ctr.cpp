// Constraints: construction, the type and its kind code, the table names
// and the list key, the constraint clause of every dialect, ALTER TABLE ADD
// and the drop statements, and the walk overrides.
#include "model/qorComp_Ctr.h"

#include "base/qorIBVersions.h"
#include "model/qorComp_Tbl.h"
#include "platform/qorScopedValue.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

using DB = TDatabaseType;
using SD = TScriptDialect;

// The referential action words; a value outside them has none. InterBase,
// Firebird and MS SQL know no RESTRICT: their NO ACTION is the same rule.
const char* ActionWord(std::uint8_t rule, DB st) {
  switch (rule) {
    case 1: return st == DB::dbInterBase || st == DB::dbMSSQL ? "NO ACTION" : "RESTRICT";
    case 2: return "CASCADE";
    case 3: return "SET DEFAULT";
    case 4: return "SET NULL";
    default: return nullptr;
  }
}

bool HasSchemas(DB st) {
  return st == DB::dbOracle || st == DB::dbMSSQL || st == DB::dbPostgreSQL || st == DB::dbDB2;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A signed decimal number, with an exponent or without.
bool IsNumber(std::string_view s) {
  std::size_t i = 0, digits = 0;
  if (i < s.size() && s[i] == '-') ++i;
  for (; i < s.size() && IsDigit(s[i]); ++i) ++digits;
  if (i < s.size() && s[i] == '.')
    for (++i; i < s.size() && IsDigit(s[i]); ++i) ++digits;
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    if (i == s.size() || !IsDigit(s[i])) return false;
    while (i < s.size() && IsDigit(s[i])) ++i;
  }
  return i == s.size();
}

// One string literal, '' inside it doubled, and nothing after it.
bool IsStringLiteral(std::string_view s) {
  if (s.size() < 2 || s.front() != '\'') return false;
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (s[i] != '\'') continue;
    if (i + 1 < s.size() && s[i + 1] == '\'') ++i;
    else return i + 1 == s.size();
  }
  return false;
}

// The current timestamp in the dialect's words; empty where it has none
// that the writer knows.
std::string_view CurrentTimestampWord(DB st) {
  switch (ScriptDialect(st)) {
    case SD::sdInterBase:
    case SD::sdPostgreSQL:
    case SD::sdOracle:
    case SD::sdMySQL: return "CURRENT_TIMESTAMP";
    case SD::sdDB2:
    case SD::sdASA: return "CURRENT TIMESTAMP";
    case SD::sdASE: return "getdate()";
    case SD::sdMSSQL:
    case SD::sdGeneric: return {};
  }
  return {};
}

}  // namespace

TCtrData::TCtrData(TCustomObjs* owner) : TDbObj(owner) {
  SetConstraintType(ct::ForeignKey);
  ObjType = TDbObject::dboConstraint;  // generic until the type is set again
}

TCtrData::~TCtrData() = default;

void TCtrData::SetConstraintType(std::uint8_t value) {
  if (value == ct::Default && constraintType_ != value)
    if (TCustomObjs* held = HeldBy()) held->ConstraintTypeChanged();
  constraintType_ = value;
  switch (value) {
    case ct::PrimaryKey: ObjType = TDbObject::dboPKey; break;
    case ct::Unique: ObjType = TDbObject::dboUnique; break;
    case ct::ForeignKey: ObjType = TDbObject::dboFKey; break;
    case ct::Check: ObjType = TDbObject::dboCheck; break;
    case ct::Default: ObjType = TDbObject::dboDefault; break;
    case ct::References: ObjType = TDbObject::dboReferences; break;
    default: break;  // 4, 6 and others keep the kind
  }
}

std::string TCtrData::CaseFolded(std::string_view value) const {
  const bool fold = GetServerType() == TDatabaseType::dbMSSQL && Owner() &&
                    !Owner()->MSSQLServerOptions.MSSQLCompareOptions.CaseSensitiveIdentifiers;
  return fold ? UpperLocale(value) : std::string(value);
}

void TCtrData::SetTableName(std::string_view value) { tableName_ = CaseFolded(value); }

void TCtrData::SetRefTableName(std::string_view value) { refTableName_ = CaseFolded(value); }

void TCtrData::SetRefSchemaName(std::string_view value) { refSchema_ = CaseFolded(value); }

std::string TCtrData::GetDisplayName() {
  if (!GetName().empty()) return GetName();
  if (!SystemName.empty()) return SystemName;
  return GetAddSQL();
}

std::string TCtrData::GetKeyName() {
  // MySQL constraint names, like index names, are unique per table only
  // (the server names every unnamed check CONSTRAINT_1 ...).
  if (!GetName().empty() && GetServerType() == TDatabaseType::dbMySQL)
    return tableName_ + "." + TDbObj::GetKeyName();
  if (!GetName().empty()) return TDbObj::GetKeyName();
  // The key of a constraint without name is its own text, which does not
  // change with the table it is written with.
  if (GetServerType() != TDatabaseType::dbInterBase) return GetAddSQL();
  // Dialect 1 writes names unquoted, so equal constraints share a key.
  TIBServerOptions* ib = GetServerOptions();
  TScopedValue<TIBSQLDialectType> dialect(ib ? &ib->SQLDialect : nullptr, 1);
  return GetAddSQL();
}

void TCtrData::GetSubObjects(std::vector<TDbObj*>& out) {
  AppendFields(Columns, out);
  AppendFields(RefColumns, out);
}

std::string TCtrData::ListText(const TFieldList& list) {
  std::string s;
  for (int i = 0; i < list.Count(); ++i) {
    if (i) s += ", ";
    s += QuoteName(list.Name(i));
  }
  return s;
}

std::string TCtrData::GetFieldsText() {
  // An MS SQL key keeps a descending column's order; the other dialects
  // take none in a constraint.
  if (GetServerType() != DB::dbMSSQL ||
      (constraintType_ != ct::PrimaryKey && constraintType_ != ct::Unique))
    return ListText(Columns);
  std::string s;
  for (int i = 0; i < Columns.Count(); ++i) {
    if (i) s += ", ";
    s += QuoteName(Columns.Name(i));
    if (const TFldData* f = Columns.Object(i); f && f->SortOrder == 2) s += " DESC";
  }
  return s;
}

std::string TCtrData::GetRefFieldsText() { return ListText(RefColumns); }

std::string TCtrData::TableText() {
  const DB st = GetServerType();
  const std::string table = QuoteName(tableName_);
  if (st == DB::dbSybaseASA && !OwnerQualifier.empty())
    return QuoteName(OwnerQualifier) + "." + table;
  if (HasSchemas(st) && !GetParentName().empty()) return QuoteName(GetParentName()) + "." + table;
  return table;
}

std::string TCtrData::RefTableText() {
  const DB st = GetServerType();
  const std::string table = QuoteName(refTableName_);
  if (st == DB::dbSybaseASA) return RefOwner.empty() ? table : QuoteName(RefOwner) + "." + table;
  if (!HasSchemas(st)) return table;
  // The referenced table lives in its own schema when one is given, else in
  // the constraint's.
  const std::string& schema = refSchema_.empty() ? GetParentName() : refSchema_;
  return schema.empty() ? table : QuoteName(schema) + "." + table;
}

std::string TCtrData::IndexClause() {
  if (IndexName.empty()) return {};
  switch (ScriptDialect(GetServerType())) {
    case SD::sdInterBase:
      return (DescIndex ? "\r\nUSING DESC INDEX " : "\r\nUSING INDEX ") + QuoteName(IndexName);
    case SD::sdMySQL: return {};
    case SD::sdGeneric:
    case SD::sdASA:
    case SD::sdOracle:
    case SD::sdMSSQL:
    case SD::sdPostgreSQL:
    case SD::sdDB2:
    case SD::sdASE: return " " + IndexName;
  }
  return {};
}

std::string TCtrData::GetConstraintText(bool forColumn) {
  const DB st = GetServerType();
  std::string s;
  if (!GetName().empty()) s += "CONSTRAINT " + QuoteName(GetName()) + " ";
  switch (constraintType_) {
    case ct::ForeignKey: {
      s += "FOREIGN KEY ";
      if (st == DB::dbSybaseASA && !RoleName.empty()) s += QuoteName(RoleName) + " ";
      s += "(" + GetFieldsText() + ")" + " REFERENCES " + RefTableText();
      if (!RefColumns.Empty()) s += " (" + GetRefFieldsText() + ")";
      if (st == DB::dbPostgreSQL) {
        if (MatchType == 1) s += " MATCH FULL";
        else if (MatchType == 2) s += " MATCH PARTIAL";
      }
      // Databases of on-disk structure 8 and older have no referential actions.
      const std::int32_t ods = Owner() ? Owner()->GetTargetODSVersion() : 0;
      if (!(st == DB::dbInterBase && ods >= 1 && ods <= 8)) {
        if (const char* a = ActionWord(UpdateRule, st)) s += std::string(" ON UPDATE ") + a;
        if (const char* a = ActionWord(DeleteRule, st)) s += std::string(" ON DELETE ") + a;
      }
      if (NotForReplication) s += " NOT FOR REPLICATION";
      s += IndexClause();
      if (CheckOnCommit) s += " CHECK ON COMMIT";
      break;
    }
    case ct::Check:
      s += "CHECK";
      if (NotForReplication) s += " NOT FOR REPLICATION";
      s += LineCommentClosed(GetText());
      break;
    case ct::PrimaryKey:
      s += "PRIMARY KEY ";
      if (st == DB::dbSybaseASA && Clustered) s += "CLUSTERED ";
      if (st == DB::dbMSSQL && !Clustered) s += "NONCLUSTERED ";
      s += "(" + GetFieldsText() + ")" + IndexClause();
      break;
    case ct::Unique:
      s += "UNIQUE ";
      if (st == DB::dbMSSQL && Clustered) s += "CLUSTERED ";
      if (st == DB::dbMySQL && !IndexName.empty()) s += QuoteName(IndexName) + " ";
      s += "(" + GetFieldsText() + ")" + IndexClause();
      break;
    case ct::References:
      s += "REFERENCES " + QuoteName(refTableName_);
      if (!RefColumns.Empty()) s += "(" + GetRefFieldsText() + ")";
      break;
    default: break;  // the other types have only the shared pieces
  }
  if (DeferredAll) s += "\r\nDEFERRABLE INITIALLY DEFERRED";
  if (constraintType_ == ct::Default && (st == DB::dbMSSQL || st == DB::dbSybaseASE)) {
    s += "DEFAULT " + LineCommentClosed(GetText());
    if (!Columns.Empty() && !(forColumn && Columns.Count() == 1)) s += " FOR " + GetFieldsText();
  }
  if (st == DB::dbPostgreSQL) {
    if (Deferrable) s += " DEFERRABLE";
    if (InitiallyDeferred) s += " INITIALLY DEFERRED";
  }
  if (const std::string storage = StorageOptions.GetStorageSQL(); !storage.empty())
    s += kCrlf + storage;
  return s;
}

std::string TCtrData::ColumnDefaultText() const {
  if (constraintType_ != ct::Default) return {};
  const DB st = GetServerType();
  std::string t = TrimCtl(GetText());
  while (t.size() >= 2 && t.front() == '(' && OuterParensEncloseAll(t))
    t = TrimCtl(std::string_view(t).substr(1, t.size() - 2));
  if (t.empty()) return {};
  if (IsNumber(t) || SameText(t, "NULL")) return t;
  // The column's type decides the character set, in MS SQL as elsewhere.
  if ((t.front() == 'N' || t.front() == 'n') && IsStringLiteral(std::string_view(t).substr(1)))
    t.erase(0, 1);
  if (IsStringLiteral(t)) return t;
  const std::string lower = LowerAscii(t);
  if (lower == "getdate()" || lower == "sysdatetime()" || lower == "current_timestamp") {
    // InterBase before 6 knows only the 'NOW' string.
    const TIBServerOptions* ib = GetServerOptions();
    if (st == DB::dbInterBase && ib && !IBCaps(ib->SQLServerVersion).sqlDialect3) return {};
    return std::string(CurrentTimestampWord(st));
  }
  return {};
}

std::string TCtrData::GetNotNullText() {
  if (Columns.Empty()) return {};
  std::string s = " MODIFY (" + QuoteName(Columns.Name(0));
  if (!GetName().empty()) s += " CONSTRAINT " + QuoteName(GetName());
  return s + " NOT NULL)";
}

std::string TCtrData::GetMySQLColumnCheckText() {
  if (GetServerType() != DB::dbMySQL || constraintType_ != ct::Check || !GetName().empty() ||
      Columns.Count() != 1)
    return {};
  TCustomObjs* objs = Owner();
  int at = -1;
  if (!objs || !objs->Tables.Find(tableName_, at)) return {};
  TFldData* column = objs->Tables.Value(at)->FindField(Columns.Name(0));
  if (!column) return {};
  std::string s = " MODIFY COLUMN " + QuoteName(column->GetName()) + " " + column->GetColumnSQL() +
                  " CHECK" + LineCommentClosed(GetText());
  if (!column->GetDescription().empty())
    s += " COMMENT " + QuoteStringLiteral(column->GetDescription(), DB::dbMySQL);
  return s;
}

std::string TCtrData::GetAddSQL() {
  std::string s = "ALTER TABLE " + TableText();
  if (GetServerType() == DB::dbOracle && constraintType_ == ct::NotNull)
    return s + GetNotNullText();
  return s + " ADD " + GetConstraintText(/*forColumn=*/false);
}

std::string TCtrData::GetCreateSQL() {
  if (std::string column = GetMySQLColumnCheckText(); !column.empty())
    return "ALTER TABLE " + TableText() + column;
  return GetAddSQL();
}

std::string TCtrData::GetDropSQL() {
  const DB st = GetServerType();
  const std::string prefix = "ALTER TABLE " + TableText();
  const std::string& name = GetName();
  if (st == DB::dbMySQL) {
    std::string what;
    switch (constraintType_) {
      case ct::PrimaryKey: what = "PRIMARY KEY"; break;
      case ct::Unique:
        if (!name.empty()) what = "CONSTRAINT " + QuoteName(name);
        else if (!IndexName.empty()) what = "KEY " + QuoteName(IndexName);
        else what = "UNIQUE";
        break;
      case ct::ForeignKey: what = "FOREIGN KEY " + QuoteName(name); break;
      default: what = "CONSTRAINT " + QuoteName(name); break;
    }
    return prefix + " DROP " + what;
  }
  if (!name.empty() || !SystemName.empty())
    return prefix + " DROP CONSTRAINT " + QuoteName(name.empty() ? SystemName : name);
  if (st == DB::dbSybaseASA) {
    switch (constraintType_) {
      case ct::PrimaryKey: return prefix + " DROP PRIMARY KEY";
      case ct::Unique: return prefix + " DROP UNIQUE(" + GetFieldsText() + ")";
      case ct::ForeignKey:
        return prefix + " DROP FOREIGN KEY" + " " +
               QuoteName(RoleName.empty() ? refTableName_ : RoleName);
      case ct::Check: return prefix + " DROP CHECK";
      default: break;
    }
  }
  if (st == DB::dbInterBase && constraintType_ == ct::PrimaryKey)
    return "Delete from Rdb$Relation_Constraints\r\nwhere Rdb$Relation_Name = " +
           QuotedStr(tableName_) + "\r\nand Rdb$Constraint_Type = " + QuotedStr("PRIMARY KEY");
  return "/* drop constraint: " + BlockCommentText(GetCreateSQL()) + " */\r\n";
}

TWalk TCtrData::DoBeforeCreateWalk() {
  for (int i = 0; i < DependsOn().Count(); ++i) {
    TDependObj* e = DependsOn().Object(i);
    TDbObj* t = e ? e->Target : nullptr;
    if (!t || t == this) continue;
    auto* f = dynamic_cast<TFldData*>(t);
    if (dynamic_cast<TTblData*>(t) || (f && dynamic_cast<TTblData*>(f->OwnerObj)))
      co_await t->WriteCreateWalk();
  }
}

TWalk TCtrData::DoBeforeDropWalk() {
  if (constraintType_ != ct::PrimaryKey && constraintType_ != ct::Unique) co_return;
  for (int i = 0; i < UsedBy().Count(); ++i) {
    TDependObj* e = UsedBy().Object(i);
    auto* fk = e ? dynamic_cast<TCtrData*>(e->Target) : nullptr;
    if (fk && fk != this && fk->GetConstraintType() == ct::ForeignKey) co_await fk->WriteDropWalk();
  }
}

bool TCtrData::CheckSystemConstraintName() {
  if (GetServerType() != TDatabaseType::dbMSSQL) return false;
  const std::string& name = GetName();
  const char* prefix = nullptr;
  switch (GetConstraintType()) {
    case ct::PrimaryKey: prefix = "PK__"; break;
    case ct::Unique: prefix = "UQ__"; break;
    case ct::ForeignKey: prefix = "FK__"; break;
    case ct::Default: prefix = "DF__"; break;
    default: return false;
  }
  if (!StartsWith(name, prefix) || name.size() < 10) return false;
  const std::string_view tail = std::string_view(name).substr(name.size() - 10);
  if (tail.substr(0, 2) != "__") return false;
  for (char c : tail.substr(2))
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  SystemName = name;
  SetName("");
  return true;
}

bool TCtrData::PGCommentTarget(std::string& word, std::string& target) {
  word = "CONSTRAINT";
  target = QuoteName(GetName()) + " ON " + SchemaPrefix(GetParentName()) + QuoteName(tableName_);
  return true;
}

}  // namespace qor
