// The keyword record that every dialect table is made of, the 30 token kinds
// all dialects share, and the compile-time sorted indexes through which the
// quoting rules and scanners look words up without a linear scan.
#pragma once

#include <algorithm>
#include <array>
#include <bitset>
#include <cstddef>
#include <span>
#include <string_view>

namespace qor {

// One keyword of a dialect table. Plain data so that tables are constant
// arrays built at compile time.
struct TResWordSymb {
  const char* Name;
  int Kind;
};

using TResWordTable = std::span<const TResWordSymb>;

// A token kind is one byte, so a set of kinds is 256 bits.
using TKindSet = std::bitset<256>;

// Token kinds shared by every dialect; dialect keywords start at 30.
inline constexpr int kEOFKind = 0;
inline constexpr int kIdentKind = 1;
inline constexpr int kTerminatorKind = 12;
inline constexpr int kFirstKeywordKind = 30;
inline constexpr std::size_t kSharedKindCount = 30;

// The shared kinds with the display texts that messages print. The texts of
// kinds 18 to 21 carry their double quotes; kind 27 is one backslash.
inline constexpr std::array<TResWordSymb, kSharedKindCount> kSharedTokenKinds = {{
    {"<EOF>", 0}, {"<Ident>", 1}, {"<Float value>", 2}, {"<String value>", 3},
    {"<Integer value>", 4}, {"<(>", 5}, {"<)>", 6}, {"<,>", 7}, {"<->", 8}, {"<+>", 9},
    {"<*>", 10}, {"</>", 11}, {"<Terminator>", 12}, {"<;>", 13}, {"<=>", 14}, {"<.>", 15},
    {"<:>", 16}, {"<||>", 17}, {"\"<\"", 18}, {"\">\"", 19}, {"\"<=\"", 20}, {"\">=\"", 21},
    {"[<>]", 22}, {"<==>", 23}, {"<[>", 24}, {"<]>", 25}, {"<@>", 26}, {"\\", 27}, {"%", 28},
    {"<&>", 29},
}};

// No keyword of any table is longer; a longer word is never a keyword, which
// lets lookups upper-case into a fixed buffer instead of allocating.
inline constexpr std::size_t kMaxKeywordLength = 31;

// A word upper-cased (ASCII letters only) for a table lookup.
class TKeywordKey {
 public:
  constexpr explicit TKeywordKey(std::string_view word) {
    if (word.size() > kMaxKeywordLength) return;
    for (std::size_t i = 0; i < word.size(); ++i) {
      const char c = word[i];
      buf_[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    len_ = word.size();
    fits_ = true;
  }
  // False when the word is too long to be any keyword.
  constexpr bool Fits() const { return fits_; }
  constexpr std::string_view View() const { return {buf_.data(), len_}; }

 private:
  std::array<char, kMaxKeywordLength> buf_{};
  std::size_t len_ = 0;
  bool fits_ = false;
};

namespace keywords_detail {

constexpr std::string_view NameOf(const TResWordSymb& s) { return s.Name; }
constexpr std::string_view NameOf(std::string_view s) { return s; }

// Stable insertion sort: equal names keep their table order, so the first
// record of a name is the one found, as a scan in table order would find it.
template <class T, std::size_t N>
constexpr std::array<T, N> StableSorted(std::array<T, N> a) {
  for (std::size_t i = 1; i < N; ++i) {
    T v = a[i];
    std::size_t j = i;
    while (j > 0 && NameOf(v) < NameOf(a[j - 1])) {
      a[j] = a[j - 1];
      --j;
    }
    a[j] = v;
  }
  return a;
}

}  // namespace keywords_detail

// For a static_assert beside each table: every name fits TKeywordKey.
template <class T, std::size_t N>
constexpr bool AllNamesFitKey(const std::array<T, N>& a) {
  for (const T& s : a)
    if (keywords_detail::NameOf(s).size() > kMaxKeywordLength) return false;
  return true;
}

// A keyword table sorted by name for binary search.
template <std::size_t N>
class TResWordIndex {
 public:
  constexpr explicit TResWordIndex(const std::array<TResWordSymb, N>& table)
      : sorted_(keywords_detail::StableSorted(table)) {}

  // The kind of a word already upper-cased, or kIdentKind.
  constexpr int KindOfUpper(std::string_view upper) const {
    const auto it = std::lower_bound(
        sorted_.begin(), sorted_.end(), upper,
        [](const TResWordSymb& s, std::string_view w) { return std::string_view(s.Name) < w; });
    if (it == sorted_.end() || std::string_view(it->Name) != upper) return kIdentKind;
    return it->Kind;
  }

  // The kind of a word in any case (upper-cased as ASCII), or kIdentKind.
  constexpr int KindOf(std::string_view word) const {
    const TKeywordKey key(word);
    return key.Fits() ? KindOfUpper(key.View()) : kIdentKind;
  }

 private:
  std::array<TResWordSymb, N> sorted_;
};

// A plain word list (reserved words without kinds) sorted for binary search.
template <std::size_t N>
class TWordIndex {
 public:
  constexpr explicit TWordIndex(const std::array<std::string_view, N>& words)
      : sorted_(keywords_detail::StableSorted(words)) {}

  // Exact comparison: callers pass the word upper-cased as their rule says.
  constexpr bool Contains(std::string_view word) const {
    return std::binary_search(sorted_.begin(), sorted_.end(), word);
  }
  constexpr std::span<const std::string_view> Words() const { return sorted_; }

 private:
  std::array<std::string_view, N> sorted_;
};

}  // namespace qor
