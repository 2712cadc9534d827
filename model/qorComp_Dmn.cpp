// Domains and user-defined types: the CREATE text of each dialect (domains,
// MS SQL alias types and XML schema collections, Oracle object and
// collection types, PostgreSQL base and composite types), DROP, and the
// domain's part of the dependency walk.
#include "model/qorComp_Dmn.h"

#include "base/qorMSSQLVersions.h"
#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

using DB = TDatabaseType;
using SD = TScriptDialect;

constexpr std::string_view kXmlSchemaCollection = "XML SCHEMA COLLECTION";

}  // namespace

// ---------------------------------------------------------- TPGTypeOptions

std::string TPGTypeOptions::GetText() const {
  if (!Fields.Empty()) {
    std::vector<std::string> fields;
    for (const auto& f : Fields)
      if (f.Value) fields.push_back(f.Value->GetCreateSQL());
    return " AS (\r\n" + JoinLines(fields, ",\r\n") + ")";
  }
  std::vector<std::string> o;
  auto add = [&o](const char* keyword, const std::string& value) {
    if (!value.empty()) o.push_back(keyword + value);
  };
  add("INPUT = ", Input);
  add("OUTPUT = ", Output);
  add("RECEIVE = ", Receive);
  add("SEND = ", Send);
  add("ANALYZE = ", Analyze);
  if (InternalLength >= 0) o.push_back("INTERNALLENGTH = " + IntToStr(InternalLength));
  if (ExternalLength >= 0) o.push_back("EXTERNALLENGTH = " + IntToStr(ExternalLength));
  if (PassedByValue) o.emplace_back("PASSEDBYVALUE");
  if (Alignment != 0) o.push_back("ALIGNMENT = " + LowerAscii(DataTypeName(Alignment)));
  add("STORAGE = ", Storage);
  add("DEFAULT = ", DefaultValue);
  if (Element) o.push_back("ELEMENT = " + Element->GetCreateSQL());
  if (!Delimiter.empty())
    o.push_back("DELIMITER = " + QuoteStringLiteral(Delimiter, DB::dbPostgreSQL));
  return "(\r\n" + JoinLines(o, ",\r\n") + ")";
}

// ---------------------------------------------------------------- TDmnData

TDmnData::TDmnData(TCustomObjs* owner) : TDbObj(owner) {
  TypeHolder = std::make_unique<TFldData>(owner, this);
  ObjType = TDbObject::dboDomain;
  PGOptions = std::make_unique<TPGTypeOptions>(this);
}

TDmnData::~TDmnData() = default;

void TDmnData::GetSubObjects(std::vector<TDbObj*>& out) {
  if (TypeHolder) out.push_back(TypeHolder.get());
  AppendFields(Attributes, out);
  for (const auto& m : Methods)
    if (m.Value) out.push_back(m.Value.get());
  AppendFields(AddedAttributes, out);
  if (PGOptions) AppendFields(PGOptions->Fields, out);
}

void TDmnData::ClearLinksTo(const TDbObj* gone) {
  if (PGOptions && PGOptions->Element == gone) PGOptions->Element = nullptr;
  TDbObj::ClearLinksTo(gone);
}

std::string TDmnData::MSSQLTypeSQL() {
  if (CreateTypeFrom) {
    std::string s = "CREATE TYPE ";
    if (!GetParentName().empty()) s += QuoteName(GetParentName()) + ".";
    s += QuoteName(GetName());
    // A table type lists its columns: FROM TABLE is no T-SQL.
    if (TypeHolder->DataType == dt::TABLE && TypeHolder->TableType) {
      std::string columns;
      for (const auto& e : TypeHolder->TableType->Fields)
        if (e.Value) columns += (columns.empty() ? "" : ",\r\n") + e.Value->GetCreateSQL();
      return s + " AS TABLE (" + columns + ")";
    }
    return s + " FROM " + TypeHolder->GetColumnSQL();
  }
  if (BaseTypeText != kXmlSchemaCollection)
    return "EXEC sp_addtype N" + QuotedStr(GetName()) + ", N" + QuotedStr(BaseTypeText) + ", N" +
           QuotedStr(TypeHolder->Nullable ? "NULL" : "NOT NULL");
  return "CREATE " + BaseTypeText + " " + GetQualifiedName() + " AS N" +
         QuoteStringLiteral(GetText(), DB::dbMSSQL);
}

std::string TDmnData::OracleAttributes(const TFieldList& list, bool open) {
  if (list.Empty()) return {};
  std::vector<std::string> attrs;
  for (const auto& a : list)
    if (a.Value) attrs.push_back((attrs.empty() ? "" : "   ") + a.Value->GetCreateSQL());
  std::string s = "  (" + JoinLines(attrs, ",\r\n");
  return s + (open ? ",\r\n" : ")");
}

std::string TDmnData::OracleMethods(bool opened) {
  if (Methods.Empty()) return {};
  std::vector<std::string> methods;
  for (const auto& m : Methods)
    if (m.Value) methods.push_back(m.Value->GetCreateSQL());
  // Without attributes nothing has opened the list yet.
  return (opened ? "" : "  (") + JoinLines(methods, ",\r\n") + ")";
}

bool TDmnData::IsOracleType() const {
  return !SuperType.empty() || (TypeKind >= 2 && TypeKind <= 5);
}

std::string TDmnData::GetOracleTypeSQL() {
  // Oracle has no domains: "CREATE TYPE D AS" with no body is no statement.
  if (!IsOracleType()) return {};
  const std::string name = QuoteName(GetName());
  std::string s = "CREATE OR REPLACE TYPE " + name;
  if (!TypeTimestamp.empty() || !TypeOid.empty()) {
    s += kCrlf;
    if (!TypeTimestamp.empty()) s += "   TIMESTAMP " + QuotedStr(TypeTimestamp);
    if (!TypeOid.empty()) s += " OID " + QuotedStr(TypeOid);
    s += kCrlf;
  }
  const bool withMethods = !Methods.Empty();
  auto members = [&] {
    return OracleAttributes(Attributes, withMethods) + OracleMethods(!Attributes.Empty());
  };
  if (!SuperType.empty()) {
    s += " UNDER " + SuperType + kCrlf + members();
  } else {
    s += TypeKind == 5 ? " IS " : " AS ";
    switch (TypeKind) {
      case 2: s += "OBJECT\r\n" + members(); break;
      case 3: s += "VARRAY(" + IntToStr(VarrayLimit) + ") OF " + TypeHolder->GetCreateSQL(); break;
      case 4:
      case 5: s += "TABLE OF " + TypeHolder->GetCreateSQL(); break;
      default: break;  // IsOracleType has let no other kind through
    }
  }
  const std::string directives = Directives.GetText();
  if (!directives.empty()) s += "\r\n   " + directives;
  // SQL*Plus reads everything up to the "/" line into the CREATE TYPE;
  // the ALTER TYPE that follows is a plain statement, ended by the "/"
  // line the writer puts after the whole text.
  if (!AddedAttributes.Empty()) {
    s += "\r\n/\r\n\r\nALTER TYPE " + name + " ADD ATTRIBUTE\r\n" +
         OracleAttributes(AddedAttributes, /*open=*/false);
    if (Cascade) s += "\r\n   CASCADE";
  }
  return s;
}

std::string TDmnData::GetPGTypeSQL() {
  return "CREATE TYPE " + GetQualifiedName() + PGOptions->GetText();
}

std::string TDmnData::GetCreateSQL() {
  switch (ScriptDialect(GetServerType())) {
    case SD::sdMSSQL:
    case SD::sdASE: return MSSQLTypeSQL();
    case SD::sdOracle: return GetOracleTypeSQL();
    case SD::sdPostgreSQL:
      if (PGOptions->IsType) return GetPGTypeSQL();
      return "CREATE DOMAIN " + GetQualifiedName() + " " + TypeHolder->GetCreateSQL();
    case SD::sdInterBase:
      return "CREATE DOMAIN " + QuoteName(GetName()) + " AS " + TypeHolder->GetCreateSQL();
    case SD::sdGeneric:
    case SD::sdASA:
    case SD::sdMySQL: break;
    case SD::sdDB2:
      // DB2 has no domains: a distinct type over the base type is what
      // its columns can be declared with (default and checks stay with
      // the columns).
      return "CREATE DISTINCT TYPE " + GetQualifiedName() + " AS " + TypeHolder->GetDataTypeSQL() +
             " WITH COMPARISONS";
  }
  return "CREATE DOMAIN " + QuoteName(GetName()) + " " + TypeHolder->GetCreateSQL();
}

std::string TDmnData::GetDropSQL() {
  switch (ScriptDialect(GetServerType())) {
    case SD::sdOracle: return "DROP TYPE " + QuoteName(GetName());
    case SD::sdDB2: return "DROP TYPE " + GetQualifiedName();
    case SD::sdASE: return "exec sp_droptype " + QuotedStr(GetName());
    case SD::sdPostgreSQL:
      return (PGOptions->IsType ? "DROP TYPE " : "DROP DOMAIN ") + GetQualifiedName();
    case SD::sdMSSQL:
      if (Owner() && !MSSQLCaps(Owner()->MSSQLServerOptions.SQLServerVersion).typeStatements)
        return "exec sp_droptype " + QuotedStr(GetName());
      if (BaseTypeText == kXmlSchemaCollection)
        return "DROP " + BaseTypeText + " " + GetQualifiedName();
      return "DROP TYPE " + GetQualifiedName();
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdASA:
    case SD::sdMySQL: break;
  }
  return TDbObj::GetDropSQL();
}

// ---------------------------------------------------------------- The walk

TWalk TDmnData::DoBeforeCreateWalk() {
  co_await TDbObj::DoBeforeCreateWalk();
  for (int i = 0; i < DependsOn().Count(); ++i) {
    TDependObj* e = DependsOn().Object(i);
    if (!e || !e->Active || e->Target == this || !dynamic_cast<TDmnData*>(e->Target)) continue;
    e->Active = false;
    co_await e->Target->WriteCreateWalk();
  }
}

TWalk TDmnData::DoBeforeDropWalk() {
  // Domains and views built on this one go first; columns of this type are
  // prepared for the change, never dropped with it, nor their tables.
  for (int i = 0; i < UsedBy().Count(); ++i) {
    TDependObj* e = UsedBy().Object(i);
    if (!e || !e->Active || !e->Target || e->Target == this) continue;
    TDbObj* user = e->Target;
    if (dynamic_cast<TDmnData*>(user) || dynamic_cast<TViwData*>(user)) {
      e->Active = false;
      co_await user->WriteDropWalk();
    } else if (auto* table = dynamic_cast<TTblData*>(user)) {
      e->Active = false;
      if (e->FieldName.empty()) continue;
      TCustomObjs* dst = WalkTargetObjs(*this);
      TTblData* target = dst ? dst->Tables.FindObject(table->GetKeyName()) : nullptr;
      if (TFldData* column = target ? target->FindField(e->FieldName) : nullptr)
        co_await column->DoBeforeDropWalk();
    } else if (dynamic_cast<TFldData*>(user)) {
      e->Active = false;
      co_await user->DoBeforeDropWalk();
    }
  }
  co_await DropPresentUsers(/*activeOnly=*/true);
}

const char* TDmnData::KindWord(TKindWordUse use) const {
  if (use == TKindWordUse::kwPGOwner && PGOptions && PGOptions->IsType) return "TYPE";
  if (use == TKindWordUse::kwMSSQLLevel1 && BaseTypeText == kXmlSchemaCollection)
    return "XML SCHEMA COLLECTION";
  return TDbObj::KindWord(use);
}

}  // namespace qor
