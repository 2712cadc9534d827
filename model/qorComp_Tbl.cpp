// Tables, publications and schemas: construction and ownership, the table
// text of every dialect and the MySQL statement with its keys inline, the
// publication and schema statements, and the walk overrides.
#include "model/qorComp_Tbl.h"

#include "model/qorComp_Ctr.h"
#include "model/qorComp_Dmn.h"
#include "model/qorComp_Idx.h"
#include "model/qorComp_Trg.h"
#include "model/qorScriptWriter.h"
#include "platform/qorScopedValue.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

using DB = TDatabaseType;

// Owner "." name, both quoted by `quoter`; the name alone without an owner,
// which would otherwise leave a bare "." in front of it.
std::string OwnedName(TDbObj* quoter, const std::string& owner, const std::string& name) {
  auto q = [quoter](const std::string& s) { return quoter ? quoter->QuoteName(s) : s; };
  if (owner.empty()) return q(name);
  return q(owner) + "." + q(name);
}

}  // namespace

// ---------------------------------------------------------------- TTblData

TTblData::TTblData(TCustomObjs* owner) : TDbObj(owner) {
  ObjType = TDbObject::dboTable;
  // MS SQL column names compare without case, every other dialect's with.
  Fields.SetCaseSensitive(GetServerType() != TDatabaseType::dbMSSQL);
}

TTblData::~TTblData() = default;

void TTblData::GetSubObjects(std::vector<TDbObj*>& out) { AppendFields(Fields, out); }

void TTblData::DeselectColumns() {
  for (auto& f : Fields)
    if (f.Value) f.Value->SetSelected(false);
}

void TTblData::SetComputedPending(bool value) {
  ComputedPending = value;
  if (auto* other = dynamic_cast<TTblData*>(Counterpart)) other->ComputedPending = value;
}

std::string TTblData::ItemList(const std::vector<std::string>& items) {
  if (items.empty()) return {};
  std::string s = "(";
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) s += ",\r\n";
    s += items[i];
  }
  return s + ")";
}

std::string TTblData::GetTableSQL() {
  const DB st = GetServerType();
  std::string s;
  if (GlobalTemporary) s += "GLOBAL TEMPORARY ";
  s += "TABLE " + GetQualifiedName();
  if (st == DB::dbInterBase && !ExternalFile.empty())
    s += "\r\nEXTERNAL FILE " + QuotedStr(ExternalFile) + kCrlf;
  if (st == DB::dbOracle) {
    if (!OfType.empty()) s += " OF " + OfType;
    if (!NestedTable.empty()) s += "\r\nNESTED TABLE " + NestedTable;
  }
  std::vector<std::string> items;
  for (const auto& e : Fields) {
    TFldData* f = e.Value.get();
    if (!f || (SkipComputed && f->IsComputed())) continue;
    items.push_back(f->GetCreateSQL());
  }
  if (st == DB::dbMySQL)
    for (const auto& e : Fields)
      if (e.Value && !e.Value->KeyName.empty())
        items.push_back("KEY " + QuoteName(e.Value->KeyName) + "(" + QuoteName(e.Value->GetName()) +
                        ")");
  s += ItemList(items);
  if (!AsQuery.empty()) s += "\r\nAS " + AsQuery;
  if (WithOids) s += " WITH OIDS";
  if (OnCommit == 1 && st != DB::dbSybaseASA) s += "\r\n ON COMMIT DELETE ROWS";
  if (OnCommit == 2) s += "\r\n ON COMMIT PRESERVE ROWS";
  if (st == DB::dbOracle) {
    auto line = [&s](const std::string& text) {
      if (!text.empty()) s += kCrlf + text;
    };
    line(StorageOptions.GetStorageSQL());
    if (!TablespaceName.empty()) line("TABLESPACE " + TablespaceName);
    if (Compress) line("COMPRESS");
    if (NoLogging) line("NOLOGGING");
    if (!StorageClause.empty()) line("STORAGE" + StorageClause);
    if (!ClusterName.empty()) line("CLUSTER " + ClusterName + ClusterColumns);
    if (!LobClause.empty()) line("LOB" + LobClause);
    if (!StoreAs.empty()) line("STORE AS " + StoreAs);
    line(ExtraClause);
    if (!PartitionColumns.empty() || !PartitionText.empty())
      line("PARTITION BY RANGE " + PartitionColumns + " " + PartitionText);
  }
  return s;
}

std::string TTblData::GetMySQLCreateSQL() {
  std::vector<std::string> items;
  for (const auto& e : Fields)
    if (e.Value) items.push_back(e.Value->GetCreateSQL());
  if (TCustomObjs* objs = Owner()) {
    std::vector<TCtrData*> keys;
    std::vector<TIdxData*> indices;
    objs->InlineKeysOf(GetName(), keys, indices);
    for (TCtrData* c : keys) {
      const std::uint8_t type = c->GetConstraintType();
      const char* word = type == ct::PrimaryKey ? "PRIMARY KEY" : "UNIQUE";
      std::string item = c->GetName().empty()
                             ? std::string(word)
                             : "CONSTRAINT " + QuoteName(c->GetTargetName()) + " " + word;
      // The server names a unique key's index by it, else by its first column.
      if (type == ct::Unique && !c->IndexName.empty() && c->IndexName != c->GetName())
        item += " " + QuoteName(c->IndexName) + " ";
      items.push_back(item + "(" + c->GetFieldsText() + ")");
      c->SetSelected(true);
    }
    for (TIdxData* idx : indices) {
      // A full-text or spatial index written as a plain key would come
      // back as another index (a prefix key, or one the server refuses).
      std::string item = idx->Unique ? "UNIQUE " : "";
      if (idx->FullText) item += "FULLTEXT ";
      if (idx->Spatial) item += "SPATIAL ";
      item += "KEY " + QuoteName(idx->GetName());
      if (!idx->MySQLIndexOptions.IndexType.empty())
        item += " USING " + idx->MySQLIndexOptions.IndexType;
      items.push_back(item + " (" + idx->GetFieldsText() + ")" + idx->MySQLCommentText());
      idx->SetSelected(true);
    }
  }
  // A table made from a query: the server derives the columns it lacks.
  return "CREATE TABLE " + QuoteName(GetTargetName()) + ItemList(items) +
         MySQLOptions.GetOptionsSQL() + (AsQuery.empty() ? std::string() : "\r\nAS " + AsQuery);
}

std::string TTblData::GetScriptSQL() {
  if (TScriptWriter* w = GetScriptWriter()) w->SetCurrentSchema(GetParentName());
  if (Suppressed) return {};
  if (GetServerType() == DB::dbMySQL) return GetMySQLCreateSQL();
  return "CREATE " + GetTableSQL();
}

std::string TTblData::GetCreateSQL() { return GetScriptSQL(); }

std::string TTblData::GetDropSQL() { return "DROP TABLE " + GetQualifiedName(); }

TWalk TTblData::DoBeforeCreateWalk() {
  // What the columns use comes first: a column of a domain type cannot be
  // declared before its domain.
  for (const auto& e : Fields) {
    TFldData* f = e.Value.get();
    if (!f || (SkipComputed && f->IsComputed())) continue;
    f->SetSelected(true);
    co_await f->DoBeforeCreateWalk();
  }
}

TWalk TTblData::WriteCreateWalk() {
  if (walking_) co_return;
  TScopedValue<bool> guard(walking_, true);
  if (GetSelected()) {
    if (SkipComputed) co_return;
    for (const auto& e : Fields) {
      TFldData* f = e.Value.get();
      if (!f || !f->IsComputed() || f->GetSelected() || f->HasDeselectedDependency()) continue;
      co_await f->WriteCreateWalk();
      SetComputedPending(true);
    }
    co_return;
  }
  co_await DoBeforeCreateWalk();
  if (GetSelected()) co_return;  // created on the way, through a cycle of edges
  TScriptWriter* w = GetScriptWriter();
  const std::string text = GetScriptSQL();
  if (w)
    w->AddStatement(text + kCrlf, kStmtObject, GetQualifiedName(), ObjType, kActionCreate, {}, 0);
  SetSelected(true);
  if (w && GetObjFilter().Contains(TCmpObjType::coDescription) && !GetDescription().empty())
    w->AddDescription(*this);
  Select();
}

TWalk TTblData::DoBeforeDropWalk() {
  if (TCustomObjs* objs = Owner()) {
    for (const auto& e : objs->Triggers) {
      TTrgData* trg = e.Value.get();
      if (trg && trg->GetSelected() &&
          (trg->GetTableObj() == this || trg->GetTableName() == GetName()))
        co_await trg->WriteDropWalk();
    }
    for (const auto& e : objs->Indices) {
      TIdxData* idx = e.Value.get();
      if (idx && idx->TableName == GetName() && idx->GetParentName() == GetParentName())
        co_await idx->WriteDropWalk();
    }
  }
  for (int i = 0; i < UsedBy().Count(); ++i) {
    TDependObj* e = UsedBy().Object(i);
    if (!e || !e->Active || !e->Target) continue;
    TDbObj* user = e->Target;
    if (user == this) {
      e->Active = false;
    } else if (dynamic_cast<TCtrData*>(user) || dynamic_cast<TPblData*>(user)) {
      e->Active = false;
      co_await user->WriteDropWalk();
    } else if (auto* f = dynamic_cast<TFldData*>(user); f && f->IsComputed()) {
      e->Active = false;
      co_await f->WriteDropWalk();
    }
  }
  for (const auto& e : Fields)
    if (e.Value && e.Value->IsComputed() && e.Value->GetSelected())
      co_await e.Value->DoBeforeDropWalk();
  co_await TDbObj::DoBeforeDropWalk();
}

// ---------------------------------------------------------------- TPblData

std::string TPblArtData::GetText() const {
  std::string s = "    TABLE " + OwnedName(Publication, TableOwner, TableName);
  if (Columns.Empty()) return s;
  s += "(";
  for (int i = 0; i < Columns.Count(); ++i) {
    if (i) s += ", ";
    s += Publication ? Publication->QuoteName(Columns.Name(i)) : Columns.Name(i);
  }
  return s + ")";
}

void TPblData::GetSubObjects(std::vector<TDbObj*>& out) {
  for (const auto& a : Articles)
    if (a) AppendFields(a->Columns, out);
}

std::string TPblData::GetCreateSQL() {
  std::string s = "CREATE PUBLICATION " + OwnedName(this, OwnerQualifier, GetName()) + " (\r\n";
  for (std::size_t i = 0; i < Articles.size(); ++i) {
    if (Articles[i]) s += Articles[i]->GetText();
    if (i + 1 < Articles.size()) s += ", ";
    s += kCrlf;
  }
  return s + ")";
}

TWalk TPblData::DoBeforeCreateWalk() {
  co_await TDbObj::DoBeforeCreateWalk();
  for (int i = 0; i < DependsOn().Count(); ++i) {
    TDependObj* e = DependsOn().Object(i);
    TDbObj* t = e ? e->Target : nullptr;
    if (!t || t->GetSelected()) continue;
    if (dynamic_cast<TTblData*>(t) || dynamic_cast<TFldData*>(t)) co_await t->WriteCreateWalk();
  }
}

std::string TPblData::GetDropSQL() {
  return "DROP PUBLICATION " + OwnedName(this, OwnerQualifier, GetName());
}

// ---------------------------------------------------------------- TSchData

std::string TSchData::GetCreateSQL() {
  std::string s = "CREATE SCHEMA " + QuoteName(GetName());
  if (GetServerType() == DB::dbMSSQL && !Authorization.empty() && Authorization != GetName())
    s += " AUTHORIZATION " + QuoteName(Authorization);
  return s;
}

std::string TSchData::GetDropSQL() { return "DROP SCHEMA " + QuoteName(GetName()); }

const char* TSchData::KindWord(TKindWordUse use) const {
  if (use == TKindWordUse::kwPGOwner && GetName() == "public") return nullptr;
  return TDbObj::KindWord(use);
}

}  // namespace qor
