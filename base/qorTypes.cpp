#include "base/qorTypes.h"

#include <charconv>
#include <cstdio>

#include "platform/qorStrings.h"

namespace qor {

std::string TTableSpace::GetStorageSQL() const {
  std::string s;
  if (PctFree != 0) s += "   pctfree " + IntToStr(PctFree) + "\r\n";
  if (PctUsed != 0) s += "   pctused " + IntToStr(PctUsed) + "\r\n";
  if (IniTrans != 0) s += "   initrans " + IntToStr(IniTrans) + "\r\n";
  if (MaxTrans != 0) s += "   maxtrans " + IntToStr(MaxTrans) + "\r\n";
  if (!Storage.empty()) s += "   storage\r\n" + Storage;
  if (!TableSpace.empty()) s += "   " + TableSpace + "\r\n";
  return TrimCtl(s);
}

std::string TTypeDirective::GetText() const {
  std::string s;
  if (Overriding) s += "OVERRIDING ";
  if (NotInstantiable) s += "NOT INSTANTIABLE ";
  if (NotFinal) s += "NOT FINAL";
  // "NOT FINAL" ends without a blank; a word after it still needs one.
  if (NotFinal && (Instantiable || Final)) s += ' ';
  if (Instantiable) s += "INSTANTIABLE ";
  if (Final) s += "FINAL ";
  return s;
}

bool IsInCharSet(unsigned value, const TCharSet& charSet) { return charSet.Contains(value & 0xFF); }

bool StrToIntOk(std::string_view text, std::int32_t& value) {
  if (text.empty()) return false;
  std::string_view digits = text;
  // from_chars takes '-' but not '+'.
  if (digits.front() == '+') {
    digits.remove_prefix(1);
    if (digits.empty() || digits.front() == '-' || digits.front() == '+') return false;
  }
  std::int32_t v = 0;
  const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, 10);
  if (ec != std::errc() || ptr != digits.data() + digits.size()) return false;
  value = v;
  return true;
}

std::string QualifyName(std::string_view owner, std::string_view name) {
  if (owner.empty()) return std::string(name);
  std::string s(owner);
  s += '.';
  s += name;
  return s;
}

TScriptDialect ScriptDialect(TDatabaseType serverType) {
  using DB = TDatabaseType;
  using SD = TScriptDialect;
  switch (serverType) {
    case DB::dbInterBase: return SD::sdInterBase;
    case DB::dbSybaseASA: return SD::sdASA;
    case DB::dbMySQL: return SD::sdMySQL;
    case DB::dbOracle: return SD::sdOracle;
    case DB::dbMSSQL: return SD::sdMSSQL;
    case DB::dbPostgreSQL: return SD::sdPostgreSQL;
    case DB::dbDB2: return SD::sdDB2;
    case DB::dbSybaseASE: return SD::sdASE;
    case DB::dbAbstract:
    case DB::dbPervasiveSQL:
    case DB::dbMSAccess:
    case DB::dbParadox:
    case DB::dbDBASE:
    case DB::dbCustomOLEDB: return SD::sdGeneric;
  }
  // A value beyond the enumeration writes what the kinds without DDL write.
  return SD::sdGeneric;
}

std::string GetStatementTerminator(TDatabaseType serverType) {
  using SD = TScriptDialect;
  switch (ScriptDialect(serverType)) {
    case SD::sdASA:
    case SD::sdASE: return "\r\ngo\r\n";
    case SD::sdMSSQL: return "\r\nGO\r\n";
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdMySQL:
    case SD::sdOracle:
    case SD::sdPostgreSQL:
    case SD::sdDB2: break;
  }
  return ";\r\n";
}

namespace {

std::string QuoteMySQLLiteral(std::string_view text) {
  std::string s = "'";
  for (char c : text) {
    switch (c) {
      case '"': s += "\\\""; break;
      case '\'': s += "\\'"; break;
      case '\\': s += "\\\\"; break;
      case '\r': s += "\\r"; break;
      case '\n': s += "\\n"; break;
      case '\b': s += "\\b"; break;
      case '\x1a': s += "\\z"; break;
      case '\t': s += "\\t"; break;
      case '\0': s += "\\0"; break;
      default: s += c;
    }
  }
  return s + "'";
}

std::string QuotePGLiteral(std::string_view text) {
  std::string s = "'";
  for (char c : text) {
    switch (c) {
      case '\'': s += "''"; break;
      case '\\': s += "\\x5c"; break;
      case '\b': s += "\\b"; break;
      case '\t': s += "\\t"; break;
      case '\0': s += "\\x00"; break;
      default: s += c;
    }
  }
  return s + "'";
}

}  // namespace

std::string QuoteStringLiteral(std::string_view text, TDatabaseType serverType) {
  using SD = TScriptDialect;
  switch (ScriptDialect(serverType)) {
    case SD::sdMySQL: return QuoteMySQLLiteral(text);
    case SD::sdPostgreSQL: return QuotePGLiteral(text);
    case SD::sdGeneric:
    case SD::sdInterBase:
    case SD::sdASA:
    case SD::sdOracle:
    case SD::sdMSSQL:
    case SD::sdDB2:
    case SD::sdASE: break;
  }
  return QuotedStr(text, '\'');
}

bool EndsInLineComment(std::string_view text) {
  const std::size_t lastBreak = text.find_last_of('\n');
  const std::string_view last =
      lastBreak == std::string_view::npos ? text : text.substr(lastBreak + 1);
  if (last.find("--") == std::string_view::npos && last.find('#') == std::string_view::npos)
    return false;
  for (const std::string& line : SplitLines(text))
    if (const std::string t = TrimCtl(line); !t.empty() && !StartsWith(t, "--")) return true;
  return false;
}

std::string LineCommentClosed(std::string_view text) {
  std::string s(text);
  if (EndsInLineComment(text)) s += "\r\n";
  return s;
}

}  // namespace qor
