// Procedures and functions: the list key, the parameter list and RETURNS
// clause of each dialect, CREATE, ALTER and DROP, the stub body with the
// CREATE text built on it, and the routine's part of the dependency walk.
// Oracle type members render their member line.
#include "model/qorComp_Prc.h"

#include "model/qorComp_Tbl.h"
#include "model/qorComp_Viw.h"
#include "model/qorScriptWriter.h"
#include "platform/qorStrings.h"

namespace qor {

namespace {

using DB = TDatabaseType;
using SD = TScriptDialect;

// Entries of a parameter list. Joined, never cut after the fact, so that an
// empty list stays empty.
std::string JoinParams(const std::vector<std::string>& entries) {
  return JoinLines(entries, ",\r\n");
}

// A MySQL parameter's or result's whole type: without its character set a
// string routine converts its text to the database's set, without
// UNSIGNED or its width a number changes its range or its display.
std::string MySQLParamType(TFldData& p) {
  return p.DataType == dt::UserType && !p.TypeOfTable.empty() ? p.GetDataTypeSQL()
                                                              : p.MySQLTypeSQL();
}

// The first dollar-quote tag that cannot end the body early: "$$" unless
// the body holds it (or ends in "$", which would run into it).
std::string DollarTag(const std::string& body) {
  std::string tag = "$$";
  for (int n = 0; (body + tag).find(tag) != body.size(); ++n)
    tag = "$body" + (n ? IntToStr(n) : std::string()) + "$";
  return tag;
}

bool IsMSSQLKind(DB st) { return st == DB::dbMSSQL || st == DB::dbSybaseASE; }

}  // namespace

std::string CreateToAlter(std::string_view text) {
  if (UpperAscii(Copy(text, 0, 6)) != "CREATE") return std::string(text);
  return "ALTER" + std::string(text.substr(6));
}

TPrcData::TPrcData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboProcedure; }

TPrcData::~TPrcData() = default;

std::string TPrcData::GetKeyName() {
  const TDatabaseType st = GetServerType();
  if (st == TDatabaseType::dbPostgreSQL) {
    // Overloads differ by their input types.
    std::string key = GetParentName().empty() ? std::string() : GetParentName() + ".";
    key += GetName() + "(";
    bool first = true;
    for (auto& p : InParams) {
      if (!p.Value) continue;
      if (!first) key += ", ";
      key += LowerLocale(p.Value->GetDataTypeSQL());
      first = false;
    }
    return key + ")";
  }
  std::string key = TDbObj::GetKeyName();
  if (st == TDatabaseType::dbMSSQL && GroupNumber != 0) key += ";" + IntToStr(GroupNumber);
  // MySQL keeps procedures and functions apart: one of each may share a name.
  if (st == TDatabaseType::dbMySQL && IsFunction) key += "()";
  return key;
}

void TPrcData::GetSubObjects(std::vector<TDbObj*>& out) {
  AppendFields(InParams, out);
  AppendFields(OutParams, out);
}

void TPrcData::ClearParams() {
  InParams.Clear();
  OutParams.Clear();
}

bool TPrcData::HasTableResult() const {
  if (TableResult) return true;
  return OutParams.Count() > 0 && OutParams.Object(0) && OutParams.Object(0)->DataType == dt::TABLE;
}

void TPrcData::SetBodyEmptied(bool value) {
  BodyEmptied = value;
  if (auto* other = dynamic_cast<TPrcData*>(Counterpart)) other->BodyEmptied = value;
}

TFldData* TPrcData::FindParam(std::string_view name) const {
  if (TFldData* p = InParams.FindObject(name)) return p;
  return OutParams.FindObject(name);
}

// --------------------------------------------------------- Parameter lists

std::string TPrcData::GetParamsSQL(bool full) {
  const DB st = GetServerType();
  std::vector<std::string> in, out;
  auto params = [](const TFieldList& list) {
    std::vector<TFldData*> v;
    for (const auto& e : list)
      if (e.Value) v.push_back(e.Value.get());
    return v;
  };
  const std::vector<TFldData*> inputs = params(InParams);
  const std::vector<TFldData*> outputs = params(OutParams);

  switch (ScriptDialect(st)) {
    case SD::sdASA: {
      for (TFldData* p : inputs) {
        const char* dir = p->ParamDirection == pdIn      ? "In "
                          : p->ParamDirection == pdOut   ? "Out "
                          : p->ParamDirection == pdInOut ? "InOut "
                                                         : "";
        in.push_back(dir + QuoteName(p->GetName()) + " " + p->GetDataTypeSQL());
      }
      std::string s = "(" + JoinParams(in) + ")\r\n";
      if (outputs.empty()) return s;
      // The line break keeps the body that follows off the type.
      if (IsFunction) return s + "RETURNS " + outputs[0]->GetDataTypeSQL() + kCrlf;
      for (TFldData* p : outputs)
        out.push_back(QuoteName(p->GetName()) + " " + p->GetDataTypeSQL());
      return s + " Result(" + JoinParams(out) + ")\r\n";
    }
    case SD::sdPostgreSQL:
    case SD::sdMySQL: {
      const bool pg = st == DB::dbPostgreSQL;
      for (TFldData* p : inputs) {
        std::string e;
        switch (p->ParamDirection) {
          case pdIn: e = "IN "; break;
          case pdOut: e = "OUT "; break;
          case pdInOut: e = "INOUT "; break;
          case pdVariadic:
            if (pg) e = "VARIADIC ";
            break;
          default: break;  // no direction given
        }
        if (!p->GetName().empty()) e += QuoteName(p->GetName()) + " ";
        in.push_back(e + (pg ? p->GetDataTypeSQL() : MySQLParamType(*p)));
      }
      // A MySQL procedure returns nothing: what another dialect keeps as
      // its outputs are OUT parameters here (RETURNS would be refused).
      const bool outParams = !pg && !IsFunction;
      if (outParams)
        for (TFldData* p : outputs)
          in.push_back("OUT " +
                       (p->GetName().empty() ? std::string() : QuoteName(p->GetName()) + " ") +
                       MySQLParamType(*p));
      std::string s = "(" + JoinParams(in) + ")";
      if (!full) return s;
      // RETURNS with nothing after it would not parse.
      std::string returns;
      if (pg && !ReturnsText.empty()) returns = ReturnsText;
      else if (!outputs.empty() && !outParams)
        returns = pg ? outputs[0]->GetDataTypeSQL() : MySQLParamType(*outputs[0]);
      if (returns.empty()) return s;
      return s + "\r\nRETURNS " + (pg && SetOf ? "SETOF " : "") + returns;
    }
    case SD::sdMSSQL:
    case SD::sdASE: {
      const bool paren = IsFunction || !Language.empty();
      for (TFldData* p : inputs) in.push_back(p->GetCreateSQL());
      std::string s = " ";
      if (paren) s += "(";
      s += JoinParams(in);
      if (paren) s += ")";
      s += kCrlf;
      if (TableResult) {
        // A multi-statement function names its result table, which its
        // body fills: RETURNS @t TABLE (...).
        if (outputs.size() == 1 && StartsWith(outputs[0]->GetName(), "@") &&
            outputs[0]->TableType) {
          std::string columns;
          for (const auto& e : outputs[0]->TableType->Fields)
            if (e.Value) columns += (columns.empty() ? "" : ",\r\n") + e.Value->GetCreateSQL();
          return s + " RETURNS " + outputs[0]->GetName() + " TABLE (" + columns + ")\r\n";
        }
        return s + " RETURNS TABLE\r\n";
      }
      if (outputs.size() == 1) return s + " RETURNS " + outputs[0]->GetCreateSQL() + kCrlf;
      return s;
    }
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdOracle:
    case SD::sdDB2: break;
  }
  std::string s;
  for (TFldData* p : inputs) in.push_back(p->GetCreateSQL());
  if (!in.empty()) s += "(" + JoinParams(in) + ")\r\n";
  if (outputs.empty()) return s;
  // A Firebird function's result has no name: "RETURNS RESULT INTEGER"
  // would not parse.
  const bool unnamedResult = IsFunction && st == DB::dbInterBase;
  for (TFldData* p : outputs)
    out.push_back((unnamedResult ? p->GetColumnSQL() : p->GetCreateSQL()) +
                  (p->Deterministic ? " DETERMINISTIC" : ""));
  s += " RETURNS";
  s += IsFunction ? " " : "(";
  s += JoinParams(out);
  if (!IsFunction) s += ")";
  return s + kCrlf;
}

// ---------------------------------------------------------- Routine texts

std::string TPrcData::MSSQLRoutineText() {
  std::string s = GetQualifiedName();
  if (GroupNumber != 0) s += ";" + IntToStr(GroupNumber);
  s += GetParamsSQL(/*full=*/true);
  if (!Language.empty()) {
    // An external routine: its options, then where it lives.
    if (ModifiesSqlData) s += "  modifies sql data\r\n";
    if (Strict) s += "  returns null on null input\r\n";
    if (DynamicResultSets > 0) s += "  dynamic result sets " + IntToStr(DynamicResultSets) + kCrlf;
    if (Deterministic) s += "  deterministic\r\n";
    if (Exportable) s += "  exportable\r\n";
    return s + "  language " + Language + "\r\n  parameter style " + ParameterStyle + kCrlf +
           "  external name " + QuotedStr(ExternalName);
  }
  if (!WithText.empty()) s += " WITH " + WithText + kCrlf;
  if (HasEmptyBody()) return s + " AS " + TrimCtlLeft(GetEmptyBody());
  return s + " " + GetText();
}

std::string TPrcData::PGRoutineText() {
  std::string s;
  if (!GetParentName().empty()) s += QuoteName(GetParentName()) + ".";
  s += QuoteName(GetName()) + GetParamsSQL(/*full=*/true);
  const DB st = GetServerType();
  if (!GetText().empty()) {
    const std::string tag = DollarTag(GetText());
    s += "\r\nAS " + tag + GetText() + tag;
  } else {
    s += "\r\nAS " + QuoteStringLiteral(ObjectFile, st) + ", " + QuoteStringLiteral(LinkSymbol, st);
  }
  if (!Language.empty()) s += "\r\nLANGUAGE " + QuotedStr(Language);
  if (!Volatility.empty()) s += " " + Volatility;
  if (Strict) s += " STRICT";
  return s;
}

std::string TPrcData::RoutineText() {
  const std::string kind = IsFunction ? "FUNCTION " : "PROCEDURE ";
  switch (ScriptDialect(GetServerType())) {
    case SD::sdASA: return kind + GetQualifiedName() + GetParamsSQL(true) + GetText();
    case SD::sdMySQL: {
      std::string s = kind + GetQualifiedName() + GetParamsSQL(true) + kCrlf;
      // Through MySQL literal quoting: a quote or backslash in the comment
      // cannot end the literal.
      if (!GetDescription().empty())
        s += "     COMMENT " + QuoteStringLiteral(GetDescription(), DB::dbMySQL) + kCrlf;
      // clang-format off
      static constexpr const char* kCharacteristics[9] = {
          "     LANGUAGE SQL", "     DETERMINISTIC", "     NOT DETERMINISTIC", nullptr,
          "     NO SQL", "     READS SQL DATA", "     MODIFIES SQL DATA",
          "     SQL SECURITY DEFINER", "     SQL SECURITY INVOKER"};
      // clang-format on
      for (int bit = 0; bit < 9; ++bit)
        if (kCharacteristics[bit] && (MySQLCharacteristics >> bit) & 1u)
          s += std::string(kCharacteristics[bit]) + kCrlf;
      return s + GetText();
    }
    case SD::sdMSSQL:
    case SD::sdASE: return kind + MSSQLRoutineText();
    case SD::sdOracle: return kind + QuoteName(GetName()) + kCrlf + GetText();
    case SD::sdPostgreSQL: return kind + PGRoutineText();
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdDB2: break;
  }
  return kind + QuoteName(GetName()) + GetParamsSQL(true) + " AS\r\n" + GetText();
}

std::string TPrcData::GetCreateSQL() {
  switch (ScriptDialect(GetServerType())) {
    case SD::sdInterBase:
    case SD::sdASA:
    case SD::sdMySQL:
    case SD::sdPostgreSQL: return "CREATE " + RoutineText();
    case SD::sdMSSQL:
    case SD::sdASE:
      // Nothing was read but the server's own definition text.
      if (GetText().empty() && Language.empty()) return ObjectSource;
      return "CREATE " + RoutineText();
    case SD::sdOracle: return "CREATE OR REPLACE " + RoutineText();
    case SD::sdGeneric:
    case SD::sdDB2: return {};
  }
  return {};
}

std::string TPrcData::GetAlterSQL() {
  switch (ScriptDialect(GetServerType())) {
    case SD::sdInterBase:
    case SD::sdASA:
    case SD::sdMySQL: return "ALTER " + RoutineText();
    case SD::sdOracle: return "CREATE OR REPLACE " + RoutineText();
    case SD::sdPostgreSQL:
      if (TScriptWriter* w = GetScriptWriter()) w->SetCurrentSchema(GetParentName());
      return "CREATE OR REPLACE " + RoutineText();
    case SD::sdMSSQL:
    case SD::sdASE:
      if (GetText().empty() && Language.empty()) return CreateToAlter(ObjectSource);
      if (UpperAscii(Copy(GetText(), 0, 6)) == "CREATE") return CreateToAlter(GetText());
      return "ALTER " + RoutineText();
    case SD::sdGeneric:
    case SD::sdDB2: return TDbObj::GetAlterSQL();
  }
  return TDbObj::GetAlterSQL();
}

std::string TPrcData::GetDropSQL() {
  if (Suppressed) return {};
  const DB st = GetServerType();
  std::string s = IsFunction ? "DROP FUNCTION " : "DROP PROCEDURE ";
  if (st == DB::dbMySQL) s += " IF EXISTS ";
  auto schema = [this](const std::string& name) {
    return name.empty() ? std::string() : QuoteName(name) + ".";
  };
  const std::string name = QuoteName(GetName());
  switch (ScriptDialect(st)) {
    case SD::sdASA: return s + schema(OwnerQualifier) + name;
    case SD::sdPostgreSQL: return s + schema(GetParentName()) + name + GetParamsSQL(/*full=*/false);
    case SD::sdOracle:
    case SD::sdMSSQL: return s + schema(GetParentName()) + name;
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdMySQL:
    case SD::sdDB2:
    case SD::sdASE: break;
  }
  return s + name;
}

// -------------------------------------------------------------- Stub body

std::string TPrcData::GetEmptyBody() const {
  const DB st = GetServerType();
  if (IsMSSQLKind(st)) {
    if (TableResult) return "Return (select 0 as Result)";
    if (OutParams.Count() == 1 && OutParams.Object(0)) {
      const std::uint8_t t = OutParams.Object(0)->DataType;
      if (t == dt::TABLE) return "begin Return end";
      if (t == dt::UNIQUEIDENTIFIER) return "begin Return Null end";
    }
    return "begin Return 0 end";
  }
  if (st == DB::dbSybaseASA) return " begin Return end";
  if (st == DB::dbMySQL) return " BEGIN END";
  std::string s;
  if (IsFunction) s = " BEGIN RETURN NULL; END";
  else s = OutParams.Empty() ? " BEGIN EXIT; END" : " BEGIN SUSPEND; END";
  if (st == DB::dbOracle) s += ";";
  return s;
}

bool TPrcData::HasEmptyBody() const { return GetText() == TrimCtl(GetEmptyBody()); }

std::string TPrcData::GetCreateEmptySQL() {
  if (Suppressed) return {};
  const DB st = GetServerType();
  const std::string stub = GetEmptyBody();
  const std::string params = GetParamsSQL(/*full=*/true);
  const std::string asaName =
      (OwnerQualifier.empty() ? std::string() : QuoteName(OwnerQualifier) + ".") +
      QuoteName(GetName());
  if (IsFunction) {
    std::string s = "CREATE FUNCTION ";
    if (IsMSSQLKind(st)) return s + GetQualifiedName() + params + "as\r\n" + stub;
    if (st == DB::dbSybaseASA) {
      // The parameter list carries the RETURNS clause when there is a result.
      return s + asaName + params + (OutParams.Empty() ? "returns integer as" : "as") + kCrlf +
             stub;
    }
    return s + QuoteName(GetName()) + params + " AS\r\n" + stub;
  }
  std::string s = st == DB::dbOracle ? "CREATE OR REPLACE PROCEDURE " : "CREATE PROCEDURE ";
  if (st == DB::dbSybaseASA) return s + asaName + params + "as\r\n" + stub;
  if (st == DB::dbMySQL) return s + GetQualifiedName() + params + kCrlf + stub;
  return s + GetQualifiedName() + params + " AS\r\n" + stub;
}

void TPrcData::ReplaceWithEmptyBody(bool write) {
  if (!GetSelected() || HasEmptyBody()) return;
  SetText(GetEmptyBody());
  // The stub reads nothing.
  for (const auto& e : DependsOn())
    if (e.Value) e.Value->Active = false;
  if (TCustomObjs* owner = Owner())
    if (TCustomObjs* src = owner->GetSourceObjs())
      if (TPrcData* same = src->Procedures.FindObject(GetKeyName())) same->SetBodyEmptied(true);
  if (!write) return;
  if (TScriptWriter* w = GetScriptWriter())
    w->AddStatement(GetAlterSQL(), kStmtRoutine, GetName(), TDbObject::dboProcedure,
                    kActionEmptyBody, {}, 0);
}

// ---------------------------------------------------------------- The walk

bool TPrcData::ServesUserWithStub(const TDbObj& user) {
  TCustomObjs* dst = user.Owner() ? user.Owner()->GetTargetObjs() : nullptr;
  if (dst && dst->Procedures.FindObject(GetKeyName())) return true;
  const DB st = user.GetServerType();
  return st != DB::dbPostgreSQL && st != DB::dbSybaseASE &&
         !(st == DB::dbMSSQL && HasTableResult());
}

TWalk TPrcData::DoBeforeCreateWalk() {
  co_await TDbObj::DoBeforeCreateWalk();
  co_await WriteRestingObjects(*this, " for procedure: ");
}

TWalk TPrcData::DoBeforeDropWalk() {
  // Computed columns that call the routine go before it. A table never goes
  // because of a routine: its columns answer for it through their own edges.
  for (int i = 0; i < UsedBy().Count(); ++i) {
    TDependObj* e = UsedBy().Object(i);
    if (!e || !e->Active || !e->Target) continue;
    if (auto* column = dynamic_cast<TFldData*>(e->Target)) {
      if (column->GetText().empty()) continue;
      co_await column->WriteDropWalk();
      e->Active = false;
    } else if (auto* table = dynamic_cast<TTblData*>(e->Target)) {
      TFldData* named = e->FieldName.empty() ? nullptr : table->FindField(e->FieldName);
      if (named && !named->GetText().empty()) co_await named->WriteDropWalk();
      e->Active = false;
    }
  }
  co_await DropPresentUsers(/*activeOnly=*/true);
}

// ------------------------------------------------------------ TMemberPrcData

std::string TMemberPrcData::GetCreateSQL() {
  std::string directives = Directives.GetText();
  if (!directives.empty() && directives.back() != ' ') directives += ' ';  // "NOT FINAL"
  std::string s = "   " + directives + "MEMBER " + (IsFunction ? "FUNCTION " : "PROCEDURE ") +
                  GetName() + ParamText;
  // RETURN with nothing after it would not parse.
  if (IsFunction && OutParams.Count() > 0 && OutParams.Object(0))
    s += " RETURN " + OutParams.Object(0)->GetCreateSQL();
  return s;
}

// -------------------------------------------------------------- Kind words

const char* TPrcData::KindWord(TKindWordUse use) const {
  using U = TKindWordUse;
  // PostgreSQL refuses ALTER FUNCTION and COMMENT ON FUNCTION for a
  // routine created as PROCEDURE: the word follows the kind.
  if (IsFunction && (use == U::kwIBComment || use == U::kwASAComment || use == U::kwOracleComment ||
                     use == U::kwMSSQLLevel1 || use == U::kwPGComment || use == U::kwPGOwner))
    return "FUNCTION";
  return TDbObj::KindWord(use);
}

}  // namespace qor
