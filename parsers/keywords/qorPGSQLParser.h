// PostgreSQL: the keyword table and identifier quoting.
#pragma once

#include <string>
#include <string_view>

#include "parsers/keywords/qorResWord.h"

namespace qor {

// The keyword table, with the operator entries ".." "::" ":=" "<<" ">>".
TResWordTable PGKeywordTable();

// The kind of `word` (upper-cased as ASCII) in the table, 1 when absent.
int LookupPGKeyword(std::string_view word);

// Whether `name` needs double quotes: a first character outside _ a-z, a
// later one outside $ 0-9 _ a-z (so upper case forces quotes), or a keyword.
// An empty name never does.
bool PGNameNeedsQuotes(std::string_view name);

// The name in double quotes (each inside doubled) when needed, else the name.
std::string QuotePGIdentifier(std::string_view name);

}  // namespace qor
