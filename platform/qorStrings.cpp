#include "platform/qorStrings.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

namespace qor {

namespace {

bool IsCtl(char c) { return static_cast<unsigned char>(c) < 33; }

// Decodes one UTF-8 sequence at s[i]. Returns its length, or 0 when the bytes
// there are not a valid, shortest-form sequence.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t len;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2;
    cp = b0 & 0x1F;
    min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3;
    cp = b0 & 0x0F;
    min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4;
    cp = b0 & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

void EncodeUtf8Impl(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The Unicode tables of the C library, through a UTF-8 locale object that
// leaves the process locale alone. Created once, on first use.
locale_t UnicodeLocale() {
  static const locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (!l) l = newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(nullptr));
    return l;
  }();
  return loc;
}

char32_t MapUpper(char32_t cp) {
  if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
  locale_t loc = UnicodeLocale();
  if (!loc) return cp;
  const auto up = static_cast<char32_t>(towupper_l(static_cast<wint_t>(cp), loc));
  return up == 0 ? cp : up;
}

char32_t MapLower(char32_t cp) {
  if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
  locale_t loc = UnicodeLocale();
  if (!loc) return cp;
  const auto lo = static_cast<char32_t>(towlower_l(static_cast<wint_t>(cp), loc));
  return lo == 0 ? cp : lo;
}

template <class Map>
std::string MapCase(std::string_view s, Map map) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    char32_t cp;
    const std::size_t len = DecodeUtf8(s, i, cp);
    if (len == 0) {
      out += s[i++];
      continue;
    }
    EncodeUtf8Impl(map(cp), out);
    i += len;
  }
  return out;
}

// Next code point for comparison; invalid bytes count as themselves, placed
// above every valid code point so the order stays total.
char32_t NextFolded(std::string_view s, std::size_t& i) {
  char32_t cp;
  const std::size_t len = DecodeUtf8(s, i, cp);
  if (len == 0) return 0x110000 + static_cast<unsigned char>(s[i++]);
  i += len;
  return MapUpper(cp);
}

}  // namespace

std::string TrimCtl(std::string_view s) { return TrimCtlRight(TrimCtlLeft(s)); }

std::string TrimCtlLeft(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && IsCtl(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string TrimCtlRight(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && IsCtl(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

std::string TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return std::string(s.substr(b, e - b));
}

std::string TrimBlanksRight(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && s[e - 1] == ' ') --e;
  return std::string(s.substr(0, e));
}

char UpperAsciiChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

std::size_t HashUpperAscii(std::string_view s) {
  std::uint64_t h = 14695981039346656037ull;  // FNV-1a
  for (char c : s) {
    h ^= static_cast<unsigned char>(UpperAsciiChar(c));
    h *= 1099511628211ull;
  }
  // The low bits pick a slot: fold the high ones in.
  h ^= h >> 32;
  h *= 0x9e3779b97f4a7c15ull;
  return static_cast<std::size_t>(h ^ (h >> 29));
}

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperAsciiChar(c);
  return out;
}

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

std::string UpperLocale(std::string_view s) { return MapCase(s, MapUpper); }
std::string LowerLocale(std::string_view s) { return MapCase(s, MapLower); }

int CompareText(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t ca = NextFolded(a, i);
    const char32_t cb = NextFolded(b, j);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

int CompareStr(std::string_view a, std::string_view b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool SameText(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool StartsText(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

std::string Copy(std::string_view s, std::int64_t start, std::int64_t count) {
  if (start < 0) {
    count += start;
    start = 0;
  }
  if (count <= 0 || start >= static_cast<std::int64_t>(s.size())) return {};
  return std::string(s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count)));
}

std::string NormalizeLineBreaks(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 16);
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      out += "\r\n";
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else if (s[i] == '\n') {
      out += "\r\n";
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t hit = s.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(s.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(s.substr(pos));
  return out;
}

std::string QuotedStr(std::string_view s, char quote) {
  std::string out;
  out.reserve(s.size() + 2);
  out += quote;
  for (char c : s) {
    out += c;
    if (c == quote) out += quote;
  }
  out += quote;
  return out;
}

std::string BracketedStr(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 2);
  out += '[';
  for (char c : s) {
    out += c;
    if (c == ']') out += ']';
  }
  out += ']';
  return out;
}

std::vector<std::string> SplitLines(std::string_view s) {
  std::vector<std::string> lines;
  std::size_t b = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\r' && s[i] != '\n') continue;
    lines.emplace_back(s.substr(b, i - b));
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    b = i + 1;
  }
  if (b < s.size()) lines.emplace_back(s.substr(b));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, std::string_view sep) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) out += sep;
    out += lines[i];
  }
  return out;
}

std::string IntToStr(std::int64_t v) { return std::to_string(v); }

std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  if (i >= s.size()) return 0;
  char32_t cp;
  return DecodeUtf8(s, i, cp);
}

void AppendUtf8(std::string& out, char32_t cp) { EncodeUtf8Impl(cp, out); }

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    char32_t cp = 0xFFFD;
    const std::size_t n = DecodeUtf8(s, i, cp);
    if (n == 0) cp = 0xFFFD;
    i += n == 0 ? 1 : n;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

bool OuterParensEncloseAll(std::string_view s) {
  int depth = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\'' || c == '"' || c == '[') {
      const char close = c == '[' ? ']' : c;
      for (++i; i < s.size(); ++i) {
        if (s[i] != close) continue;
        if (i + 1 < s.size() && s[i + 1] == close) {
          ++i;
          continue;
        }
        break;
      }
      continue;
    }
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) return i == s.size() - 1;
    }
  }
  return false;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace qor
