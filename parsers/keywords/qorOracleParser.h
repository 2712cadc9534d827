// Oracle: the keyword table and identifier quoting.
#pragma once

#include <string>
#include <string_view>

#include "parsers/keywords/qorResWord.h"

namespace qor {

TResWordTable OracleKeywordTable();

// The kind of `word` (upper-cased as ASCII) in the table, 1 when absent.
int LookupOracleKeyword(std::string_view word);

// Double quotes (each inside doubled) for a keyword, or for a name that does
// not start with A-Z or has a later character outside # $ 0-9 A-Z _; so
// lower case forces quotes. An empty name stays empty.
std::string QuoteOracleIdentifier(std::string_view name);

}  // namespace qor
