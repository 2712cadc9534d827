// Sybase ASA keyword data and quoting.
#include "parsers/keywords/qorASAParser.h"

#include <algorithm>
#include <array>

#include "platform/qorStrings.h"

namespace qor {

namespace {

// Kinds only tell keywords from identifiers here.
// REMAME stands in the table spelled so.
// clang-format off
constexpr auto kASAKeywords = NumberedKeywords({
    "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "BEGIN", "BETWEEN", "BIGINT", "BINARY", "BIT",
    "BY", "CALL", "CASCADE", "CHAR", "CHARACTER", "CHECK", "CLOSE", "COMMENT", "COMMIT", "CONNECT",
    "CONSTRAINT", "CREATE", "CURRENT", "CURRENT_TIMESTAMP", "CURRENT_USER", "DATE", "DBSPACE",
    "DEC", "DECIMAL", "DECLARE", "DEFAULT", "DELETE", "DESC", "DOUBLE", "DROP", "ENCRYPTED", "END",
    "EXCEPTION", "EXEC", "EXECUTE", "FLOAT", "FOR", "FOREIGN", "FROM", "GRANT", "GROUP",
    "IDENTIFIED", "IF", "IN", "INDEX", "INOUT", "INSERT", "INT", "INTEGER", "INTO", "IS", "KEY",
    "LONG", "MEMBERSHIP", "MESSAGE", "MODE", "MODIFY", "NATURAL", "NO", "NOT", "NOTIFY", "NULL",
    "NUMERIC", "OF", "OFF", "ON", "OPEN", "OPTION", "OPTIONS", "OR", "ORDER", "OUT", "OUTER",
    "PRECISION", "PRIMARY", "PRIVILEGES", "PROC", "PROCEDURE", "PUBLICATION", "REAL", "REFERENCES",
    "REMAME", "REMOTE", "RESOURCE", "RESTORE", "RESTRICT", "REVOKE", "SELECT", "SET", "SETUSER",
    "SMALLINT", "START", "TABLE", "TEMPORARY", "TIME", "TIMESTAMP", "TINYINT", "TO", "TRAN",
    "TRANSACTION", "TRIGGER", "TRUNCATE", "UNIQUE", "UNIQUEIDENTIFIER", "UNKNOWN", "UNSIGNED",
    "UPDATE", "USER", "USING", "VALUES", "VARBINARY", "VARCHAR", "VARIABLE", "VARYING", "VIEW",
    "WHEN", "WITH", "WORK",
});
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
  if (kIndex.KindOfUpper(upper) != tk::Ident || kReserved.Contains(upper))
    return QuotedStr(upper, '"');
  // The server folds case, so the character rule is applied to the upper case.
  if (!IsFirstChar(upper.front()) || !std::all_of(upper.begin() + 1, upper.end(), IsTailChar))
    return QuotedStr(name, '"');
  return std::string(name);
}

}  // namespace qor
