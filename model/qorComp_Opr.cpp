// Operators and operator classes: their signature keys and their CREATE and
// DROP texts in PostgreSQL syntax.
#include "model/qorComp_Opr.h"

#include "platform/qorStrings.h"

namespace qor {

namespace {

// Schema "." name; the name alone when there is no schema, where a leading
// dot would not parse.
std::string SchemaQualified(TDbObj& obj, const std::string& name) {
  if (obj.GetParentName().empty()) return name;
  return obj.QuoteName(obj.GetParentName()) + "." + name;
}

}  // namespace

// ---------------------------------------------------------------- TOprData

std::string TOprData::GetArgsText() const {
  std::string s = "(" + (LeftArg.empty() ? std::string("NONE") : LeftArg);
  return s + (RightArg.empty() ? std::string(", NONE)") : ", " + RightArg + ")");
}

std::string TOprData::GetKeyName() {
  return GetParentName() + "." + GetName() + " " + GetArgsText();
}

std::string TOprData::GetCreateSQL() {
  const std::string sep = "," + std::string(CRLF);
  std::string s = "CREATE OPERATOR " + SchemaQualified(*this, GetName()) + "(" + std::string(CRLF) +
                  "PROCEDURE = " + QuoteName(Procedure);
  auto option = [&](const char* word, const std::string& value) {
    if (!value.empty()) s += sep + word + value;
  };
  option("LEFTARG = ", LeftArg);
  option("RIGHTARG = ", RightArg);
  option("COMMUTATOR = ", Commutator);
  option("NEGATOR = ", Negator);
  option("RESTRICT = ", RestrictProc);
  option("JOIN = ", JoinProc);
  if (Hashes) s += sep + "HASHES";
  if (Merges) s += sep + "MERGES";
  option("SORT1 = ", Sort1);
  option("SORT2 = ", Sort2);
  option("LTCMP = ", LtCmp);
  option("GTCMP = ", GtCmp);
  return s + ")";
}

std::string TOprData::GetDropSQL() {
  return "DROP OPERATOR " + SchemaQualified(*this, GetName()) + GetArgsText();
}

// ------------------------------------------------------ operator class items

std::string TOpcOprData::GetText() const {
  std::string s = "OPERATOR " + IntToStr(Strategy) + " " + OperatorName;
  if (LeftType.empty() && RightType.empty()) return s;
  return s + " (" + (LeftType.empty() ? std::string("NONE") : LeftType) + ", " +
         (RightType.empty() ? std::string("NONE") : RightType) + ")";
}

std::string TOpcFncData::GetText() const {
  std::string args;
  for (const std::string& a : ArgTypes) {
    if (!args.empty()) args += ", ";
    args += a;
  }
  const std::string fn = OwnerClass ? OwnerClass->QuoteName(FunctionName) : FunctionName;
  return "FUNCTION " + IntToStr(Support) + " " + fn + "(" + args + ")";
}

// ---------------------------------------------------------------- TOpcData

std::string TOpcData::GetKeyName() { return GetName() + "(" + AccessMethod + ")"; }

std::string TOpcData::GetCreateSQL() {
  std::string s = "CREATE OPERATOR CLASS " + SchemaQualified(*this, QuoteName(GetName()));
  if (IsDefault) s += " DEFAULT";
  s += " FOR TYPE " + QuoteName(ForType) + " USING " + AccessMethod + " AS" + std::string(CRLF);
  std::vector<std::string> items;
  for (const auto& o : Operators)
    if (o) items.push_back(o->GetText());
  for (const auto& f : Functions)
    if (f) items.push_back(f->GetText());
  if (!StorageType.empty()) items.push_back("STORAGE " + StorageType);
  return s + JoinLines(items, "," + std::string(CRLF));
}

std::string TOpcData::GetDropSQL() {
  return "DROP OPERATOR CLASS " + SchemaQualified(*this, QuoteName(GetName())) + " USING " +
         AccessMethod;
}

}  // namespace qor
