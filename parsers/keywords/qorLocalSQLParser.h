// Local SQL (Paradox and dBASE tables): the keyword table and identifier
// quoting.
#pragma once

#include <string>
#include <string_view>

#include "parsers/keywords/qorResWord.h"

namespace qor {

TResWordTable LocalSQLKeywordTable();

// The kind of `word` (upper-cased as ASCII) in the table, 1 when absent.
int LookupLocalSQLKeyword(std::string_view word);

// Double quotes (each inside doubled) only for a keyword; characters are not
// tested, so a name with blanks stays bare.
std::string QuoteLocalSQLIdentifier(std::string_view name);

}  // namespace qor
