// PostgreSQL operators (TOprData) and operator classes (TOpcData) with their
// operator and support-function items.
#pragma once

#include "model/qorClasses.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qor {

// Name is the operator symbol, ParentName its schema.
class TOprData : public TDbObj {
 public:
  using TDbObj::TDbObj;
  const char* ClassName() const override { return "TOprData"; }
  TDbObject GetKind() const override { return TDbObject::dboOperator; }
  std::string GetSignatureText() override { return GetArgsText(); }

  std::string GetDisplayName() override { return GetKeyName(); }
  // ParentName "." Name " " and the argument text, so overloads differ.
  std::string GetKeyName() override;

  std::string GetCreateSQL() override;
  std::string GetDropSQL() override;

  // "(" left or NONE ", " right or NONE ")".
  std::string GetArgsText() const;

  std::string Procedure;
  std::string LeftArg;
  std::string RightArg;
  std::string Commutator;
  std::string Negator;
  std::string RestrictProc;
  std::string JoinProc;
  bool Hashes = false;
  bool Merges = false;
  std::string Sort1;
  std::string Sort2;
  std::string LtCmp;
  std::string GtCmp;
};

class TOpcData;

class TOpcOprData : public TObject {
 public:
  explicit TOpcOprData(TOpcData* ownerClass) : OwnerClass(ownerClass) {}
  const char* ClassName() const override { return "TOpcOprData"; }

  // "OPERATOR " strategy and operator, with the argument types when known.
  std::string GetText() const;

  TOpcData* OwnerClass;  // used for quoting; not owned
  std::int32_t Strategy = 0;
  std::string OperatorName;
  std::string LeftType;
  std::string RightType;
};

class TOpcFncData : public TObject {
 public:
  explicit TOpcFncData(TOpcData* ownerClass) : OwnerClass(ownerClass) {}
  const char* ClassName() const override { return "TOpcFncData"; }

  // "FUNCTION " support number, quoted function and argument types.
  std::string GetText() const;

  TOpcData* OwnerClass;  // used for quoting; not owned
  std::int32_t Support = 0;
  std::string FunctionName;
  std::vector<std::string> ArgTypes;
};

// Name is the class name, ParentName its schema.
class TOpcData : public TDbObj {
 public:
  using TDbObj::TDbObj;
  const char* ClassName() const override { return "TOpcData"; }
  TDbObject GetKind() const override { return TDbObject::dboOperatorClass; }
  std::string GetSignatureText() override { return " USING " + AccessMethod; }

  std::string GetDisplayName() override { return GetKeyName(); }
  // Name "(" AccessMethod ")".
  std::string GetKeyName() override;
  std::string GetCreateSQL() override;
  std::string GetDropSQL() override;

  bool IsDefault = false;
  std::string ForType;
  std::string AccessMethod;
  std::vector<std::unique_ptr<TOpcOprData>> Operators;
  std::vector<std::unique_ptr<TOpcFncData>> Functions;
  std::string StorageType;
};

}  // namespace qor
