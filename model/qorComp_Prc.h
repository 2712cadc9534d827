// Stored procedures and functions (TPrcData) with their parameter lists, and
// the member routines of Oracle object types (TMemberPrcData).
#pragma once

#include "model/qorClasses.h"
#include "model/qorComp_Fld.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qor {

// Text is the body as stored, ParentName the schema, OwnerQualifier the ASA
// owner; Description is also written as the MySQL COMMENT.
class TPrcData : public TDbObj {
 public:
  explicit TPrcData(TCustomObjs* owner);
  ~TPrcData() override;
  const char* ClassName() const override { return "TPrcData"; }

  std::string GetDisplayName() override { return GetKeyName(); }
  // PostgreSQL: the signature, so that overloads are kept apart; MS SQL:
  // the group number after ";".
  std::string GetKeyName() override;
  void GetSubObjects(std::vector<TDbObj*>& out) override;

  // Frees the parameters of both lists and empties them.
  void ClearParams();
  // TableResult, or a first output of type TABLE.
  bool HasTableResult() const;
  // Also sets the counterpart's flag.
  void SetBodyEmptied(bool value);
  // The input parameter, else the output parameter, named `name`.
  TFldData* FindParam(std::string_view name) const;

  // The parameter list and RETURNS clause; without RETURNS when not `full`.
  // Written with the routine texts; empty until then.
  std::string GetParamsSQL(bool full);
  // The CREATE text with a stub body. Written with the routine texts;
  // empty until then.
  std::string GetCreateEmptySQL();

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
};

class TMemberPrcData : public TPrcData {
 public:
  using TPrcData::TPrcData;
  const char* ClassName() const override { return "TMemberPrcData"; }

  std::string ParamText;
  TTypeDirective Directives;
};

}  // namespace qor
