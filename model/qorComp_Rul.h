// Rules: MS SQL rule objects and PostgreSQL rewrite rules.
#pragma once

#include "model/qorClasses.h"

#include <cstdint>
#include <string>

namespace qor {

class TRulData : public TDbObj {
 public:
  explicit TRulData(TCustomObjs* owner) : TDbObj(owner) { ObjType = TDbObject::dboRule; }
  const char* ClassName() const override { return "TRulData"; }
  TDbObject GetKind() const override { return TDbObject::dboRule; }

  // MS SQL without a rule text: the server's own text (ObjectSource).
  std::string GetCreateSQL() override;
  // GetCreateSQL, also for a suppressed rule.
  std::string GetScriptSQL() override;
  // PostgreSQL names the table; the other dialects take the base text.
  std::string GetDropSQL() override;

  std::string RuleText;
  std::uint8_t RuleEvent = 0;  // 1 insert, 2 update, 3 delete, 5 select
  std::string RuleTable;
  std::string RuleTableSchema;
  std::string DoKind;
  bool DoNothing = false;
};

}  // namespace qor
