// T-SQL keyword data and bracket quoting.
#include "parsers/keywords/qorMSSQLKeywords.h"

#include <algorithm>
#include <array>

namespace qor {

namespace {

// Kinds run from 30 in the order the parser was written against; 180 is
// unused. Synonyms share a kind (EXEC/EXECUTE, PROC/PROCEDURE,
// TRAN/TRANSACTION) and TO has two records of one kind. The two "<*=>"
// entries are different tokens: the old outer-join operator and the
// compound assignment. Parsers test these numbers, so never renumber.
// clang-format off
constexpr std::array<TResWordSymb, 194> kMSSQLKeywords = {{
    {"SET", 30}, {"ON", 31}, {"OFF", 32}, {"INSERT", 33}, {"DELETE", 34}, {"RECONFIGURE", 35},
    {"CREATE", 36}, {"RULE", 37}, {"AS", 38}, {"DEFAULT", 39}, {"SETUSER", 40}, {"EXEC", 41},
    {"EXECUTE", 41}, {"TABLE", 42}, {"CONSTRAINT", 43}, {"PRIMARY", 44}, {"FOREIGN", 45},
    {"KEY", 46}, {"UNIQUE", 47}, {"DATABASE", 48}, {"COMPUTE", 49}, {"COALESCE", 50},
    {"TRUNCATE", 51}, {"EXISTS", 52}, {"AND", 53}, {"OR", 54}, {"IS", 55}, {"CONTAINS", 56},
    {"LIKE", 57}, {"TSEQUAL", 58}, {"IN", 59}, {"SHUTDOWN", 60}, {"UPDATETEXT", 61},
    {"WRITETEXT", 62}, {"UNION", 63}, {"BETWEEN", 64}, {"DISTINCT", 65}, {"ESCAPE", 66},
    {"ANY", 67}, {"SESSION_USER", 68}, {"SOME", 69}, {"NOT", 70}, {"NULL", 71},
    {"IDENTITY", 72}, {"ROWGUIDCOL", 73}, {"FOR", 74}, {"REPLICATION", 75}, {"GRANT", 76},
    {"REFERENCES", 77}, {"SELECT", 78}, {"BEGIN", 79}, {"UPDATE", 80}, {"REVOKE", 81},
    {"TO", 82}, {"TO", 82}, {"TEXTSIZE", 83}, {"CLUSTERED", 84}, {"NONCLUSTERED", 85},
    {"INDEX", 86}, {"USER", 87}, {"SYSTEM_USER", 88}, {"IF", 89}, {"VARYING", 90},
    {"VIEW", 91}, {"PROC", 92}, {"PROCEDURE", 92}, {"TRIGGER", 93}, {"DECLARE", 94},
    {"ALTER", 95}, {"DROP", 96}, {"ADD", 97}, {"COLUMN", 98}, {"COLLATE", 99}, {"WITH", 100},
    {"CHECK", 101}, {"NOCHECK", 102}, {"FILLFACTOR", 103}, {"FUNCTION", 104}, {"USE", 105},
    {"RAISERROR", 106}, {"OPEN", 107}, {"DEALLOCATE", 108}, {"DUMP", 109},
    {"CHECKPOINT", 110}, {"PRINT", 111}, {"IDENTITY_INSERT", 112}, {"ALL", 113},
    {"FROM", 114}, {"STATISTICS", 115}, {"INNER", 116}, {"OUTER", 117}, {"LEFT", 118},
    {"RIGHT", 119}, {"JOIN", 120}, {"WAITFOR", 121}, {"BY", 122}, {"FULL", 123},
    {"CROSS", 124}, {"WHERE", 125}, {"END", 126}, {"ASC", 127}, {"DESC", 128},
    {"DISTRIBUTED", 129}, {"PRECISION", 130}, {"TRAN", 131}, {"TRANSACTION", 131},
    {"ELSE", 132}, {"ROLLBACK", 133}, {"COMMIT", 134}, {"INTO", 135}, {"VALUES", 136},
    {"CONVERT", 137}, {"CURSOR", 138}, {"CASE", 139}, {"WHEN", 140}, {"THEN", 141},
    {"CASCADE", 142}, {"RETURN", 143}, {"NULLIF", 144}, {"WHILE", 145}, {"BREAK", 146},
    {"CONTINUE", 147}, {"GROUP", 148}, {"ORDER", 149}, {"<|>", 150}, {"<^>", 151},
    {"<~>", 152}, {"\"!<\"", 153}, {"\"!>\"", 154}, {"<=*>", 155}, {"<*=>", 156},
    {"READ", 157}, {"OF", 158}, {"FETCH", 159}, {"AUTHORIZATION", 160}, {"BACKUP", 161},
    {"BROWSE", 162}, {"BULK", 163}, {"HAVING", 164}, {"DBCC", 165}, {"GOTO", 166},
    {"SAVE", 167}, {"TOP", 168}, {"PERCENT", 169}, {"CLOSE", 170}, {"CONTAINSTABLE", 171},
    {"CURRENT", 172}, {"CURRENT_DATE", 173}, {"CURRENT_TIME", 174},
    {"CURRENT_TIMESTAMP", 175}, {"CURRENT_USER", 176}, {"DENY", 177}, {"DISK", 178},
    {"DOUBLE", 179}, {"ERRLVL", 181}, {"EXCEPT", 182}, {"EXIT", 183}, {"FILE", 184},
    {"FREETEXT", 185}, {"FREETEXTTABLE", 186}, {"HOLDLOCK", 187}, {"IDENTITYCOL", 188},
    {"INTERSECT", 189}, {"KILL", 190}, {"LINENO", 191}, {"LOAD", 192}, {"NATIONAL", 193},
    {"OFFSETS", 194}, {"OPENDATASOURCE", 195}, {"OPENQUERY", 196}, {"OPENROWSET", 197},
    {"OPENXML", 198}, {"OPTION", 199}, {"OVER", 200}, {"PLAN", 201}, {"PUBLIC", 202},
    {"READTEXT", 203}, {"RESTORE", 204}, {"RESTRICT", 205}, {"ROWCOUNT", 206},
    {"SCHEMA", 207}, {"<Label:>", 208}, {"<::>", 209}, {"<{>", 210}, {"<}>", 211},
    {"END CONVERSATION", 212}, {"<+=>", 213}, {"<-=>", 214}, {"<*=>", 215}, {"</=>", 216},
    {"<%=>", 217}, {"<^=>", 218}, {"<&=>", 219}, {"<|=>", 220},
}};
// clang-format on
static_assert(AllNamesFitKey(kMSSQLKeywords));

constexpr TResWordIndex<kMSSQLKeywords.size()> kIndex(kMSSQLKeywords);

// clang-format off
constexpr TWordIndex<174> kReserved(std::array<std::string_view, 174>{{
    "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "AUTHORIZATION", "BACKUP", "BEGIN",
    "BETWEEN", "BREAK", "BROWSE", "BULK", "BY", "CASCADE", "CASE", "CHECK", "CHECKPOINT",
    "CLOSE", "CLUSTERED", "COALESCE", "COLLATE", "COLUMN", "COMMIT", "COMPUTE", "CONSTRAINT",
    "CONTAINS", "CONTAINSTABLE", "CONTINUE", "CONVERT", "CREATE", "CROSS", "CURRENT",
    "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR", "DATABASE",
    "DBCC", "DEALLOCATE", "DECLARE", "DEFAULT", "DELETE", "DENY", "DESC", "DISK", "DISTINCT",
    "DISTRIBUTED", "DOUBLE", "DROP", "DUMMY", "DUMP", "ELSE", "END", "ERRLVL", "ESCAPE",
    "EXCEPT", "EXEC", "EXECUTE", "EXISTS", "EXIT", "FETCH", "FILE", "FILLFACTOR", "FOR",
    "FOREIGN", "FREETEXT", "FREETEXTTABLE", "FROM", "FULL", "FUNCTION", "GOTO", "GRANT",
    "GROUP", "HAVING", "HOLDLOCK", "IDENTITY", "IDENTITYCOL", "IDENTITY_INSERT", "IF", "IN",
    "INDEX", "INNER", "INSERT", "INTERSECT", "INTO", "IS", "JOIN", "KEY", "KILL", "LEFT",
    "LIKE", "LINENO", "LOAD", "NATIONAL", "NOCHECK", "NONCLUSTERED", "NOT", "NULL", "NULLIF",
    "OF", "OFF", "OFFSETS", "ON", "OPEN", "OPENDATASOURCE", "OPENQUERY", "OPENROWSET",
    "OPENXML", "OPTION", "OR", "ORDER", "OUTER", "OVER", "PERCENT", "PLAN", "PRECISION",
    "PRIMARY", "PRINT", "PROC", "PROCEDURE", "PUBLIC", "RAISERROR", "READ", "READTEXT",
    "RECONFIGURE", "REFERENCES", "REPLICATION", "RESTORE", "RESTRICT", "RETURN", "REVOKE",
    "RIGHT", "ROLLBACK", "ROWCOUNT", "ROWGUIDCOL", "RULE", "SAVE", "SCHEMA", "SELECT",
    "SESSION_USER", "SET", "SETUSER", "SHUTDOWN", "SOME", "STATISTICS", "SYSTEM_USER",
    "TABLE", "TEXTSIZE", "THEN", "TO", "TOP", "TRAN", "TRANSACTION", "TRIGGER", "TRUNCATE",
    "TSEQUAL", "UNION", "UNIQUE", "UPDATE", "UPDATETEXT", "USE", "USER", "VALUES", "VARYING",
    "VIEW", "WAITFOR", "WHEN", "WHERE", "WHILE", "WITH", "WRITETEXT",
}});
// clang-format on

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// "$" may follow the first character only: $A would not parse bare.
bool IsFirstChar(char c) { return IsLetter(c) || c == '#' || c == '_'; }
bool IsTailChar(char c) { return IsFirstChar(c) || (c >= '0' && c <= '9') || c == '@' || c == '$'; }

}  // namespace

TResWordTable MSSQLKeywordTable() { return kMSSQLKeywords; }

int LookupMSSQLKeyword(std::string_view word) { return kIndex.KindOf(word); }

std::span<const std::string_view> MSSQLReservedWords() { return kReserved.Words(); }

bool MSSQLNameNeedsQuotes(std::string_view name) {
  if (name.empty() || name.front() == '<') return false;
  if (!IsFirstChar(name.front())) return true;
  if (!std::all_of(name.begin() + 1, name.end(), IsTailChar)) return true;
  // The name is plain ASCII here, where the locale's upper case is ASCII's.
  const TKeywordKey upper(name);
  if (!upper.Fits()) return false;
  if (kIndex.KindOfUpper(upper.View()) != kIdentKind) return true;
  // A bare GO would end the batch for a script reader.
  if (upper.View() == "GO") return true;
  return kReserved.Contains(upper.View());
}

std::string QuoteMSSQLIdentifier(std::string_view name) {
  if (!MSSQLNameNeedsQuotes(name)) return std::string(name);
  std::string out;
  out.reserve(name.size() + 2);
  out += '[';
  for (char c : name) {
    out += c;
    if (c == ']') out += ']';  // doubled, so the bracket does not end the name
  }
  out += ']';
  return out;
}

}  // namespace qor
