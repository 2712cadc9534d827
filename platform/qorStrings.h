// The project's one string toolkit. Text is std::string holding UTF-8 bytes;
// DDL, log and message text use "\r\n" line breaks. Positions are 0-based.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

inline constexpr std::string_view CRLF = "\r\n";
// The same as a constant array, so that `kCrlf + std::string` and
// `std::string + kCrlf` read naturally with no constructor run at start-up;
// beside a literal, write the line break into the literal instead.
inline constexpr char kCrlf[] = "\r\n";

// Trimming of every character whose code is below 33 (blanks, line breaks,
// control characters), as the DDL writers and SetText/SetDescription need it.
std::string TrimCtl(std::string_view s);
std::string TrimCtlLeft(std::string_view s);
std::string TrimCtlRight(std::string_view s);

// Trimming of blanks only.
std::string TrimBlanks(std::string_view s);
std::string TrimBlanksRight(std::string_view s);

// ASCII case mapping: used for keyword lookups, where only A-Z/a-z count.
std::string UpperAscii(std::string_view s);
std::string LowerAscii(std::string_view s);
char UpperAsciiChar(char c);
// A hash of `s` that is the same for texts differing only in ASCII case,
// made without an upper-cased copy.
std::size_t HashUpperAscii(std::string_view s);

// The "locale" case mapping: Unicode simple case mapping applied to each
// UTF-8 code point. Bytes that are not valid UTF-8 are kept as they are, so
// a multi-byte character is never split or corrupted.
std::string UpperLocale(std::string_view s);
std::string LowerLocale(std::string_view s);

// The one case-insensitive comparison of the project: code points compared
// after simple upper-case mapping. CompareStr is the case-sensitive form.
int CompareText(std::string_view a, std::string_view b);
int CompareStr(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
bool StartsText(std::string_view s, std::string_view prefix);  // case-insensitive

// Clamping substring: a start beyond the end or a negative count yields ''.
std::string Copy(std::string_view s, std::int64_t start, std::int64_t count);

// Every CR LF, lone CR and lone LF becomes CR LF.
std::string NormalizeLineBreaks(std::string_view s);

// Replaces every occurrence of `from` (non-empty) by `to`.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// Text enclosed in `quote`, with each `quote` inside doubled.
std::string QuotedStr(std::string_view s, char quote = '\'');

// Text enclosed in "[" and "]", with each "]" inside doubled.
std::string BracketedStr(std::string_view s);

// Whether the parenthesis at the start of `s` closes at its last character.
// Literals, quoted and bracketed names may hold parentheses of their own.
bool OuterParensEncloseAll(std::string_view s);

// Lines split at CR LF, LF or CR; a final line break adds no empty line.
std::vector<std::string> SplitLines(std::string_view s);
std::string JoinLines(const std::vector<std::string>& lines, std::string_view sep = CRLF);

std::string IntToStr(std::int64_t v);

// Length of the valid UTF-8 sequence that starts at s[i] (shortest form, no
// surrogates), or 0 when the bytes there are not one.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i);
// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t cp);

// UTF-16 for the interfaces that take it (the ODBC driver manager's wide
// functions, the TDS protocol). A byte that is not valid UTF-8 becomes
// U+FFFD; so does an unpaired surrogate on the way back.
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

}  // namespace qor
