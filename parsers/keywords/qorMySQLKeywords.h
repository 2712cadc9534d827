// The MySQL keyword table of the MySQL parser, the server's reserved words,
// and the backtick quoting of identifiers.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "parsers/keywords/qorResWord.h"

namespace qor {

// The kinds of the table by word, as qorMySQLKeywords.def names them;
// besides the words, CharsetIntroducer ("_" + charset name).
namespace myk {
#define QOR_KEYWORD_LIST "parsers/keywords/qorMySQLKeywords.def"
#include "parsers/keywords/qorKeywordKinds.inc"
}  // namespace myk

// The keyword table, loaded by the MySQL parser.
TResWordTable MySQLKeywordTable();

// The reserved words of the server, upper case, sorted.
std::span<const std::string_view> MySQLReservedWords();

// The name in backticks (each backtick inside doubled) unless it is all
// upper case and not a reserved word.
std::string QuoteMySQLIdentifier(std::string_view name);

}  // namespace qor
