// Sybase ASA: the keyword table, the reserved words and identifier quoting.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "parsers/keywords/qorResWord.h"

namespace qor {

TResWordTable ASAKeywordTable();

// The reserved words outside the keyword table, upper case, sorted.
std::span<const std::string_view> ASAReservedWords();

// The kind of `word` (upper-cased as ASCII) in the table, 1 when absent.
int LookupASAKeyword(std::string_view word);

// A keyword or reserved word is written upper case in double quotes; a name
// breaking the identifier rule is double-quoted as written; any other name
// stays as written.
std::string QuoteASAIdentifier(std::string_view name);

}  // namespace qor
