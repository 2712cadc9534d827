// The T-SQL keyword table of the MS SQL parser, the server's reserved words,
// and the bracket quoting of identifiers that the DDL writers and the
// parser's name formatting share.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "parsers/keywords/qorResWord.h"

namespace qor {

// The kinds of the table, as qorMSSQLKeywords.def names them: the words and
// the operator and special kinds.
namespace msk {
#define QOR_KEYWORD_LIST "parsers/keywords/qorMSSQLKeywords.def"
#include "parsers/keywords/qorKeywordKinds.inc"
}  // namespace msk

// The keyword table, loaded by the MS SQL parser. Besides words it carries
// the operator and special token kinds, named by their display texts.
TResWordTable MSSQLKeywordTable();

// The kind of `word` (upper-cased as ASCII) in the table, 1 when absent.
int LookupMSSQLKeyword(std::string_view word);

// The reserved words of the server, upper case, sorted.
std::span<const std::string_view> MSSQLReservedWords();

// Whether `name` must be written in brackets. An empty name and a
// placeholder starting with "<" never are.
bool MSSQLNameNeedsQuotes(std::string_view name);

// "[" + name + "]" (each "]" inside doubled) when needed, else the name.
std::string QuoteMSSQLIdentifier(std::string_view name);

// Adaptive Server shares the T-SQL rule and brackets (taken from 12.5.1
// on without any session setting), with reserved words of its own.
bool ASENameNeedsQuotes(std::string_view name);
std::string QuoteASEIdentifier(std::string_view name);

}  // namespace qor
