// The MySQL keyword table of the MySQL parser, the server's reserved words,
// and the backtick quoting of identifiers.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "parsers/keywords/qorResWord.h"

namespace qor {

// The character-set introducer ("_" + charset name) is scanned as this kind.
inline constexpr int kMySQLCharsetIntroducerKind = 45;

// The keyword table, loaded by the MySQL parser.
TResWordTable MySQLKeywordTable();

// The reserved words of the server, upper case, sorted.
std::span<const std::string_view> MySQLReservedWords();

// The name in backticks (each backtick inside doubled) unless it is all
// upper case and not a reserved word.
std::string QuoteMySQLIdentifier(std::string_view name);

}  // namespace qor
