// Local SQL keyword data and quoting.
#include "parsers/keywords/qorLocalSQLParser.h"

#include <array>

#include "platform/qorStrings.h"

namespace qor {

namespace {

// Kinds only tell keywords from identifiers here: one per record from 30.
// IACTIVE and COMMITED stand in the table spelled so.
// clang-format off
constexpr std::array<TResWordSymb, 215> kKeywords = {{
    {"ADD", 30}, {"AFTER", 31}, {"ALL", 32}, {"ALTER", 33}, {"AND", 34}, {"ANY", 35},
    {"AS", 36}, {"ASC", 37}, {"ASCENDING", 38}, {"AT", 39}, {"AUTO", 40}, {"AUTOINC", 41},
    {"AVG", 42}, {"BASE_NAME", 43}, {"BEFORE", 44}, {"BEGIN", 45}, {"BETWEEN", 46},
    {"BLOB", 47}, {"BOOLEAN", 48}, {"BOTH", 49}, {"BY", 50}, {"BYTES", 51}, {"CACHE", 52},
    {"CAST", 53}, {"CHAR", 54}, {"CHARACTER", 55}, {"CHECK", 56}, {"CHECK_POINT_LENGTH", 57},
    {"COLLATE", 58}, {"COLUMN", 59}, {"COMMIT", 60}, {"COMMITED", 61}, {"COMPUTED", 62},
    {"CONDITIONAL", 63}, {"CONSTRAINT", 64}, {"CONTAINING", 65}, {"COUNT", 66},
    {"CREATE", 67}, {"CSTRING", 68}, {"CURRENT", 69}, {"CURSOR", 70}, {"DATABASE", 71},
    {"DATE", 72}, {"DAY", 73}, {"DEBUG", 74}, {"DEC", 75}, {"DECIMAL", 76}, {"DECLARE", 77},
    {"DEFAULT", 78}, {"DELETE", 79}, {"DESC", 80}, {"DESCENDING", 81}, {"DISTINCT", 82},
    {"DO", 83}, {"DOMAIN", 84}, {"DOUBLE", 85}, {"DROP", 86}, {"ELSE", 87}, {"END", 88},
    {"ENTRY_POINT", 89}, {"ESCAPE", 90}, {"EXCEPTION", 91}, {"EXECUTE", 92}, {"EXISTS", 93},
    {"EXIT", 94}, {"EXTERNAL", 95}, {"EXTRACT", 96}, {"FILE", 97}, {"FILTER", 98},
    {"FLOAT", 99}, {"FOR", 100}, {"FOREIGN", 101}, {"FROM", 102}, {"FULL", 103},
    {"FUNCTION", 104}, {"GDSCODE", 105}, {"GENERATOR", 106}, {"GEN_ID", 107}, {"GRANT", 108},
    {"GROUP", 109}, {"GROUP_COMMIT_WAIT_TIME", 110}, {"HAVING", 111}, {"HOUR", 112},
    {"IACTIVE", 113}, {"IF", 114}, {"IN", 115}, {"INACTIVE", 116}, {"INDEX", 117},
    {"INNER", 118}, {"INPUT_TYPE", 119}, {"INSERT", 120}, {"INT", 121}, {"INTEGER", 122},
    {"INTO", 123}, {"IS", 124}, {"ISOLATION", 125}, {"JOIN", 126}, {"KEY", 127},
    {"LEADING", 128}, {"LEFT", 129}, {"LENGTH", 130}, {"LEVEL", 131}, {"LIKE", 132},
    {"LOGFILE", 133}, {"LOG_BUFFER_SIZE", 134}, {"LONG", 135}, {"LOWER", 136},
    {"MANUAL", 137}, {"MAX", 138}, {"MAXIMUM_SEGMENT", 139}, {"MERGE", 140}, {"MESSAGE", 141},
    {"MIN", 142}, {"MINUTE", 143}, {"MODULE_NAME", 144}, {"MONEY", 145}, {"MONTH", 146},
    {"NAMES", 147}, {"NATIONAL", 148}, {"NATURAL", 149}, {"NCHAR", 150}, {"NO", 151},
    {"NOT", 152}, {"NULL", 153}, {"NUMERIC", 154}, {"NUM_LOG_BUFFERS", 155}, {"OF", 156},
    {"ON", 157}, {"ONLY", 158}, {"OPTION", 159}, {"OR", 160}, {"ORDER", 161}, {"OUTER", 162},
    {"OUTPUT_TYPE", 163}, {"OVERFLOW", 164}, {"PAGE", 165}, {"PAGES", 166},
    {"PAGE_SIZE", 167}, {"PARAMETER", 168}, {"PASSWORD", 169}, {"PLAN", 170},
    {"POSITION", 171}, {"POST_EVENT", 172}, {"PRECISION", 173}, {"PRIMARY", 174},
    {"PRIVILEGES", 175}, {"PROCEDURE", 176}, {"PROTECTED", 177}, {"RAW_PARTITIONS", 178},
    {"RDB$DB_KEY", 179}, {"READ", 180}, {"REAL", 181}, {"RECORD_VERSION", 182},
    {"REFERENCES", 183}, {"RESERV", 184}, {"RESERVING", 185}, {"RETAIN", 186},
    {"RETURNING_VALUES", 187}, {"RETURNS", 188}, {"REVOKE", 189}, {"RIGHT", 190},
    {"ROLLBACK", 191}, {"SCHEMA", 192}, {"SECOND", 193}, {"SEGMENT", 194}, {"SELECT", 195},
    {"SET", 196}, {"SHADOW", 197}, {"SHARED", 198}, {"SINGULAR", 199}, {"SIZE", 200},
    {"SMALLINT", 201}, {"SNAPSHOT", 202}, {"SOME", 203}, {"SORT", 204}, {"SQLCODE", 205},
    {"STABILITY", 206}, {"STARTING", 207}, {"STARTS", 208}, {"STATISTICS", 209},
    {"SUBSTRING", 210}, {"SUB_TYPE", 211}, {"SUM", 212}, {"SUSPEND", 213}, {"TABLE", 214},
    {"THEN", 215}, {"TIME", 216}, {"TIMESTAMP", 217}, {"TIMEZONE_HOUR", 218},
    {"TIMEZONE_MINUTE", 219}, {"TO", 220}, {"TRAILING", 221}, {"TRANSACTION", 222},
    {"TRIGGER", 223}, {"TRIM", 224}, {"UNCOMMITTED", 225}, {"UNION", 226}, {"UNIQUE", 227},
    {"UPDATE", 228}, {"UPPER", 229}, {"USER", 230}, {"VALUE", 231}, {"VALUES", 232},
    {"VARCHAR", 233}, {"VARIABLE", 234}, {"VARYING", 235}, {"VIEW", 236}, {"WAIT", 237},
    {"WHEN", 238}, {"WHERE", 239}, {"WHILE", 240}, {"WITH", 241}, {"WORK", 242},
    {"WRITE", 243}, {"YEAR", 244},
}};
// clang-format on
static_assert(AllNamesFitKey(kKeywords));

constexpr TResWordIndex<kKeywords.size()> kIndex(kKeywords);

}  // namespace

TResWordTable LocalSQLKeywordTable() { return kKeywords; }

int LookupLocalSQLKeyword(std::string_view word) { return kIndex.KindOf(word); }

std::string QuoteLocalSQLIdentifier(std::string_view name) {
  // Characters are not tested, so the locale's upper case decides; a letter
  // outside ASCII may fold onto a keyword (dotless i onto I).
  if (LookupLocalSQLKeyword(UpperLocale(name)) != kIdentKind) return QuotedStr(name, '"');
  return std::string(name);
}

}  // namespace qor
