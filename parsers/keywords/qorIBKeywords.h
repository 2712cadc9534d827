// The InterBase/Firebird keyword table, the keyword kinds each server version
// reserves, the extra words each version reserves outside the table, and the
// dialect-3 test of whether a name must be written in double quotes.
#pragma once

#include <span>
#include <string_view>

#include "base/qorTypes.h"
#include "parsers/keywords/qorResWord.h"

namespace qor {

// The kinds of the table by word, as qorIBKeywords.def names them; besides
// the words, CharsetIntroducer ("_" + charset name) and Assign (":=").
namespace ibk {
#define QOR_KEYWORD_LIST "parsers/keywords/qorIBKeywords.def"
#include "parsers/keywords/qorKeywordKinds.inc"
}  // namespace ibk

// The keyword table, loaded by the InterBase parsers.
TResWordTable IbKeywordTable();

// The kinds of the table words that `version` reserves: the set the quoting
// test applies. A version beyond the enumeration reserves every table word.
const TKindSet& IbReservedKinds(TIBSQLServerVersionType version);

// The kinds the InterBase scanner recognises as keywords for `version`; any
// other table word scans as a plain identifier. From st_InterBase_2020 on the
// scanner keeps every table word a keyword, unlike the quoting test.
const TKindSet& IbScannerKeywordKinds(TIBSQLServerVersionType version);

// The words outside the table that `version` reserves as well (sorted); empty
// for st_Yaffil_1x and for a version beyond the enumeration.
std::span<const std::string_view> IbExtraReservedWords(TIBSQLServerVersionType version);

// The kind of `word` (any case) in the table, or 1 when it is absent or its
// kind is not reserved in `version`.
int IbReservedKind(std::string_view word, TIBSQLServerVersionType version);

// Whether `name` needs double quotes in SQL dialect 3: a character outside
// the plain identifier rule (lower case included), a reserved table word, or
// one of the version's extra reserved words.
bool IbNameNeedsQuotes(std::string_view name, TIBSQLServerVersionType version);

}  // namespace qor
