// Stored procedures and functions (TPrcData) with their parameter lists, and
// the member routines of Oracle object types (TMemberPrcData).
#pragma once

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

// `text` with a leading CREATE (in any case) turned into ALTER; unchanged
// when it does not start with CREATE.
std::string CreateToAlter(std::string_view text);

// Text is the body as stored, ParentName the schema, OwnerQualifier the ASA
// owner; Description is also written as the MySQL COMMENT.
class TPrcData : public TDbObj {
 public:
  explicit TPrcData(TCustomObjs* owner);
  ~TPrcData() override;
  const char* ClassName() const override { return "TPrcData"; }
  TDbObject GetKind() const override { return TDbObject::dboProcedure; }
  // A function is named FUNCTION where the statement tells the two apart.
  const char* KindWord(TKindWordUse use) const override;
  std::string GetSignatureText() override { return GetParamsSQL(/*full=*/false); }

  std::string GetDisplayName() override { return GetKeyName(); }
  // PostgreSQL: the signature, so that overloads are kept apart; MS SQL:
  // the group number after ";".
  std::string GetKeyName() override;
  void GetSubObjects(std::vector<TDbObj*>& out) override;

  std::string GetCreateSQL() override;
  // Drops the computed columns that call the routine first.
  TWalk DoBeforeDropWalk() override;
  // Also the views the routine reads, re-created when their source changed.
  TWalk DoBeforeCreateWalk() override;
  std::string GetDropSQL() override;
  std::string GetAlterSQL() override;
  int StatementKind() const override { return kStmtRoutine; }
  std::string GetStubSQL() override { return GetCreateEmptySQL(); }
  // Not where the dialect must see the whole routine first (a PostgreSQL
  // or ASE routine, an MS SQL table-valued function) and the target does
  // not hold it.
  bool ServesUserWithStub(const TDbObj& user) override;
  bool BodyOwed() const override { return BodyEmptied; }
  void GetDescribedParams(std::vector<TDbObj*>& out) override { GetSubObjects(out); }

  // Frees the parameters of both lists and empties them.
  void ClearParams();
  // TableResult, or a first output of type TABLE.
  bool HasTableResult() const;
  // Also sets the counterpart's flag.
  void SetBodyEmptied(bool value) override;
  // The input parameter, else the output parameter, named `name`.
  TFldData* FindParam(std::string_view name) const;

  // The parameter list and RETURNS clause; without the RETURNS part of
  // PostgreSQL and MySQL when not `full` (for keys and DROP).
  std::string GetParamsSQL(bool full);
  // The smallest body the dialect accepts for this routine.
  std::string GetEmptyBody() const;
  // The CREATE text with the stub body, which lets a script create every
  // header before any body; the routine keeps its own body. Empty when
  // suppressed.
  std::string GetCreateEmptySQL();
  // The body is the stub already.
  bool HasEmptyBody() const;
  // Gives a selected routine the stub body for good: its edges are served,
  // the source collection's routine of that name is marked, and with
  // `write` the ALTER goes to the script writer.
  void ReplaceWithEmptyBody(bool write);

  bool BodyEmptied = false;
  TFieldList InParams;
  TFieldList OutParams;
  bool TableResult = false;
  std::int32_t GroupNumber = 0;
  bool IsFunction = false;
  std::string ObjectFile;
  std::string LinkSymbol;
  std::string Language;
  std::string Volatility;
  bool Strict = false;
  std::string ReturnsText;
  bool SetOf = false;
  std::string WithText;
  bool ModifiesSqlData = false;
  std::int32_t DynamicResultSets = 0;
  bool Deterministic = false;
  bool Exportable = false;
  std::string ParameterStyle;
  std::string ExternalName;
  std::uint16_t MySQLCharacteristics = 0;  // bit n as listed by the MySQL writer

 private:
  // "FUNCTION " or "PROCEDURE " and the routine in the dialect's form; the
  // statement keyword in front comes from CREATE or ALTER.
  std::string RoutineText();
  std::string MSSQLRoutineText();
  std::string PGRoutineText();
};

class TMemberPrcData : public TPrcData {
 public:
  using TPrcData::TPrcData;
  const char* ClassName() const override { return "TMemberPrcData"; }

  // The member line inside its object type.
  std::string GetCreateSQL() override;

  std::string ParamText;
  TTypeDirective Directives;
};

}  // namespace qor
