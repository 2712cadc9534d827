// Sybase ASA keyword data and quoting.
#include "parsers/keywords/qorASAParser.h"

#include <algorithm>
#include <array>

#include "platform/qorStrings.h"

namespace qor {

namespace {

// Kinds only tell keywords from identifiers here: one per record from 30.
// REMAME stands in the table spelled so.
// clang-format off
constexpr std::array<TResWordSymb, 125> kASAKeywords = {{
    {"ADD", 30}, {"ALL", 31}, {"ALTER", 32}, {"AND", 33}, {"ANY", 34}, {"AS", 35},
    {"ASC", 36}, {"BEGIN", 37}, {"BETWEEN", 38}, {"BIGINT", 39}, {"BINARY", 40}, {"BIT", 41},
    {"BY", 42}, {"CALL", 43}, {"CASCADE", 44}, {"CHAR", 45}, {"CHARACTER", 46}, {"CHECK", 47},
    {"CLOSE", 48}, {"COMMENT", 49}, {"COMMIT", 50}, {"CONNECT", 51}, {"CONSTRAINT", 52},
    {"CREATE", 53}, {"CURRENT", 54}, {"CURRENT_TIMESTAMP", 55}, {"CURRENT_USER", 56},
    {"DATE", 57}, {"DBSPACE", 58}, {"DEC", 59}, {"DECIMAL", 60}, {"DECLARE", 61},
    {"DEFAULT", 62}, {"DELETE", 63}, {"DESC", 64}, {"DOUBLE", 65}, {"DROP", 66},
    {"ENCRYPTED", 67}, {"END", 68}, {"EXCEPTION", 69}, {"EXEC", 70}, {"EXECUTE", 71},
    {"FLOAT", 72}, {"FOR", 73}, {"FOREIGN", 74}, {"FROM", 75}, {"GRANT", 76}, {"GROUP", 77},
    {"IDENTIFIED", 78}, {"IF", 79}, {"IN", 80}, {"INDEX", 81}, {"INOUT", 82}, {"INSERT", 83},
    {"INT", 84}, {"INTEGER", 85}, {"INTO", 86}, {"IS", 87}, {"KEY", 88}, {"LONG", 89},
    {"MEMBERSHIP", 90}, {"MESSAGE", 91}, {"MODE", 92}, {"MODIFY", 93}, {"NATURAL", 94},
    {"NO", 95}, {"NOT", 96}, {"NOTIFY", 97}, {"NULL", 98}, {"NUMERIC", 99}, {"OF", 100},
    {"OFF", 101}, {"ON", 102}, {"OPEN", 103}, {"OPTION", 104}, {"OPTIONS", 105}, {"OR", 106},
    {"ORDER", 107}, {"OUT", 108}, {"OUTER", 109}, {"PRECISION", 110}, {"PRIMARY", 111},
    {"PRIVILEGES", 112}, {"PROC", 113}, {"PROCEDURE", 114}, {"PUBLICATION", 115},
    {"REAL", 116}, {"REFERENCES", 117}, {"REMAME", 118}, {"REMOTE", 119}, {"RESOURCE", 120},
    {"RESTORE", 121}, {"RESTRICT", 122}, {"REVOKE", 123}, {"SELECT", 124}, {"SET", 125},
    {"SETUSER", 126}, {"SMALLINT", 127}, {"START", 128}, {"TABLE", 129}, {"TEMPORARY", 130},
    {"TIME", 131}, {"TIMESTAMP", 132}, {"TINYINT", 133}, {"TO", 134}, {"TRAN", 135},
    {"TRANSACTION", 136}, {"TRIGGER", 137}, {"TRUNCATE", 138}, {"UNIQUE", 139},
    {"UNIQUEIDENTIFIER", 140}, {"UNKNOWN", 141}, {"UNSIGNED", 142}, {"UPDATE", 143},
    {"USER", 144}, {"USING", 145}, {"VALUES", 146}, {"VARBINARY", 147}, {"VARCHAR", 148},
    {"VARIABLE", 149}, {"VARYING", 150}, {"VIEW", 151}, {"WHEN", 152}, {"WITH", 153},
    {"WORK", 154},
}};
// clang-format on
static_assert(AllNamesFitKey(kASAKeywords));

constexpr TResWordIndex<kASAKeywords.size()> kIndex(kASAKeywords);

// clang-format off
constexpr TWordIndex<105> kReserved(std::array<std::string_view, 105>{{
    "BACKUP", "BETWEEN", "BOTTOM", "BREAK", "CAPABILITY", "CASE", "CAST", "CHAR_CONVERT",
    "CHECKPOINT", "CONFLICT", "CONTAINS", "CONTINUE", "CONVERT", "CROSS", "CUBE", "CURSOR",
    "DBSPACE", "DEALLOCATE", "DELETING", "DISTINCT", "DO", "DYNAMIC", "ELSE", "ELSEIF",
    "ENDIF", "ESCAPE", "EXCEPT", "EXISTING", "EXISTS", "EXTERNLOGIN", "FETCH", "FIRST",
    "FORCE", "FORWARD", "FULL", "GOTO", "HAVING", "HOLDLOCK", "INDEX_LPAREN", "INNER",
    "INSENSITIVE", "INSERTING", "INSTALL", "INSTEAD", "INTEGRATED", "INTERSECT", "IQ",
    "ISOLATION", "JOIN", "LATERAL", "LEFT", "LIKE", "LOCK", "LOGIN", "MATCH", "NEW",
    "NOHOLDLOCK", "OTHERS", "OVER", "PASSTHROUGH", "PREPARE", "PRINT", "PUBLICATION",
    "RAISERROR", "READTEXT", "REFERENCE", "RELEASE", "REORGANIZE", "RETURN", "RIGHT",
    "ROLLBACK", "ROLLUP", "SAVE", "SAVEPOINT", "SCROLL", "SENSITIVE", "SESSION", "SHARE",
    "SOME", "SQLCODE", "SQLSTATE", "START", "STOP", "SUBTRANS", "SUBTRANSACTION",
    "SYNCHRONIZE", "SYNTAX_ERROR", "THEN", "TOP", "TRAN", "TSEQUAL", "UNBOUNDED", "UNION",
    "UPDATING", "VALIDATE", "WAIT", "WAITFOR", "WHERE", "WHILE", "WINDOW", "WITHIN",
    "WITH_CUBE", "WITH_LPAREN", "WITH_ROLLUP", "WRITETEXT",
}});
// clang-format on

bool IsFirstChar(char c) {
  return (c >= 'A' && c <= 'Z') || c == '#' || c == '$' || c == '@' || c == '_';
}
bool IsTailChar(char c) { return IsFirstChar(c) || (c >= '0' && c <= '9'); }

}  // namespace

TResWordTable ASAKeywordTable() { return kASAKeywords; }

std::span<const std::string_view> ASAReservedWords() { return kReserved.Words(); }

int LookupASAKeyword(std::string_view word) { return kIndex.KindOf(word); }

std::string QuoteASAIdentifier(std::string_view name) {
  if (name.empty()) return {};
  const std::string upper = UpperAscii(name);
  if (kIndex.KindOfUpper(upper) != kIdentKind || kReserved.Contains(upper))
    return QuotedStr(upper, '"');
  // The server folds case, so the character rule is applied to the upper case.
  if (!IsFirstChar(upper.front()) || !std::all_of(upper.begin() + 1, upper.end(), IsTailChar))
    return QuotedStr(name, '"');
  return std::string(name);
}

}  // namespace qor
