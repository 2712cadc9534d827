// The keyword record that every dialect table is made of, the token kinds
// all dialects share (qorSharedKinds.def), the compile-time sorted indexes
// through which the quoting rules look words up without a linear scan, and
// the run-time hash index of the scanners' keyword lists.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// The token kinds every dialect shares, by name, for the grammar code.
namespace tk {
#define QOR_KEYWORD_LIST "parsers/keywords/qorSharedKinds.def"
#define QOR_KEYWORD_FIRST 0
#include "parsers/keywords/qorKeywordKinds.inc"
}  // namespace tk

// The shared kinds with the display texts that messages print; kind i is at
// index i.
#define QOR_KEYWORD_LIST "parsers/keywords/qorSharedKinds.def"
#define QOR_KEYWORD_NS tk
inline constexpr auto kSharedTokenKinds = std::to_array<TResWordSymb>({
#include "parsers/keywords/qorKeywordRecords.inc"
});
inline constexpr std::size_t kSharedKindCount = kSharedTokenKinds.size();

// A dialect's keyword kinds follow the shared ones.
inline constexpr int kFirstKeywordKind = static_cast<int>(kSharedKindCount);

// A table whose kinds only tell keywords from identifiers: the words of
// `names`, each its own kind, numbered from kFirstKeywordKind in list order.
template <std::size_t N>
constexpr std::array<TResWordSymb, N> NumberedKeywords(const char* const (&names)[N]) {
  static_assert(kFirstKeywordKind + N <= 256, "a token kind is one byte");
  std::array<TResWordSymb, N> table{};
  for (std::size_t i = 0; i < N; ++i)
    table[i] = {names[i], kFirstKeywordKind + static_cast<int>(i)};
  return table;
}

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

  // The kind of a word already upper-cased, or tk::Ident.
  constexpr int KindOfUpper(std::string_view upper) const {
    const auto it = std::lower_bound(
        sorted_.begin(), sorted_.end(), upper,
        [](const TResWordSymb& s, std::string_view w) { return std::string_view(s.Name) < w; });
    if (it == sorted_.end() || std::string_view(it->Name) != upper) return tk::Ident;
    return it->Kind;
  }

  // The kind of a word in any case (upper-cased as ASCII), or tk::Ident.
  constexpr int KindOf(std::string_view word) const {
    const TKeywordKey key(word);
    return key.Fits() ? KindOfUpper(key.View()) : tk::Ident;
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

// A keyword list filled at run time (a parser's list, which dialects grow
// word by word), looked up without allocating: keys are the names
// upper-cased as ASCII and compared as bytes, eight at a time, found through
// an open-addressing hash table so that a lookup costs one hash of the word
// and, nearly always, one comparison. A word of up to eight bytes (most
// words) is hashed and compared as a single 64-bit chunk.
class TResWordHash {
 public:
  // Adds `name` with `kind` unless a name equal to it in ASCII upper case is
  // there already; returns whether it was added (the first kind stays).
  bool Add(std::string_view name, int kind) {
    if (static_cast<std::size_t>(count_ + 1) * 2 > slots_.size()) Grow();
    bool ascii;
    const TKey key = KeyOf(name, ascii);
    std::size_t i = key.Hash & mask_;
    for (; slots_[i].Kind >= 0; i = (i + 1) & mask_)
      if (Matches(slots_[i], key, name)) return false;
    slots_[i] = {key.First, key.Hash, static_cast<std::uint32_t>(name.size()),
                 static_cast<std::uint32_t>(rest_.size()), kind};
    for (std::size_t off = 8; off < name.size(); off += 8) rest_.push_back(UpperChunk(name, off));
    if (name.size() > maxLength_) maxLength_ = name.size();
    ++count_;
    return true;
  }

  // The kind of `word` in any ASCII case, or tk::Ident. `ascii`, when
  // given, tells whether the word is all ASCII: a word with other bytes can
  // match only a name with the same bytes.
  int KindOf(std::string_view word, bool* ascii = nullptr) const {
    if (word.size() > maxLength_ || count_ == 0) {
      if (ascii) *ascii = IsAscii(word);
      return tk::Ident;
    }
    bool isAscii;
    const TKey key = KeyOf(word, isAscii);
    if (ascii) *ascii = isAscii;
    for (std::size_t i = key.Hash & mask_; slots_[i].Kind >= 0; i = (i + 1) & mask_)
      if (Matches(slots_[i], key, word)) return slots_[i].Kind;
    return tk::Ident;
  }

  // A word cut into its upper-cased eight-byte chunks while it is read,
  // so that a scanner hashes the bytes as scanned and, for a plain name,
  // takes its upper-case text from the chunks: no second pass over them.
  struct TWordKey {
    std::uint64_t Chunks[(kMaxKeywordLength + 8) / 8] = {};  // those of Length bytes count
    std::uint32_t Hash = 0;
    std::uint32_t Length = 0;
    bool Ascii = true;
  };
  // The key of the `n` bytes at `p`, of which `readable` (at least `n`)
  // may be read: where eight bytes may be read a chunk is one load and a
  // mask. False for a word too long to be any keyword.
  static bool MakeKey(const char* p, std::size_t n, std::size_t readable, TWordKey& key) {
    if (n > kMaxKeywordLength) return false;
    key.Length = static_cast<std::uint32_t>(n);
    std::uint64_t bytes = 0, h = 0;
    for (std::size_t off = 0, k = 0; off < n || k == 0; off += 8, ++k) {
      const std::size_t m = std::min<std::size_t>(n - off, 8);
      std::uint64_t v;
      if (off + 8 <= readable) {
        v = Load<std::uint64_t>(p + off);
        if (m < 8) v &= (std::uint64_t{1} << (8 * m)) - 1;
      } else {
        v = LoadChunk(p + off, m);
      }
      bytes |= v;
      const std::uint64_t c = UpperBytes(v);
      key.Chunks[k] = c;
      h = k == 0 ? (c ^ n) * kMul : (h ^ c) * kMul;
    }
    key.Ascii = (bytes & kHigh) == 0;
    key.Hash = static_cast<std::uint32_t>(h >> 32);
    return true;
  }
  // The kind of the word whose key this is, or tk::Ident; for an ASCII
  // key, the same answer KindOf gives for the word.
  int KindOfKey(const TWordKey& key) const {
    if (key.Length > maxLength_ || count_ == 0) return tk::Ident;
    for (std::size_t i = key.Hash & mask_; slots_[i].Kind >= 0; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.First != key.Chunks[0] || s.Hash != key.Hash || s.Length != key.Length) continue;
      bool same = true;
      for (std::size_t off = 8, k = s.Rest, c = 1; same && off < key.Length; off += 8, ++k, ++c)
        same = rest_[k] == key.Chunks[c];
      if (same) return s.Kind;
    }
    return tk::Ident;
  }

  int Count() const { return count_; }
  void Clear() {
    slots_.clear();
    mask_ = 0;
    rest_.clear();
    count_ = 0;
    maxLength_ = 0;
  }

 private:
  static constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  static constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;

  struct TKey {
    std::uint64_t First;  // the first eight bytes, upper-cased
    std::uint32_t Hash;
  };
  struct Slot {
    std::uint64_t First = 0;
    std::uint32_t Hash = 0;
    std::uint32_t Length = 0;
    std::uint32_t Rest = 0;  // index in rest_ of the chunks after the first
    int Kind = -1;           // below 0: an empty slot
  };

  static TKey KeyOf(std::string_view word, bool& ascii) {
    const std::uint64_t first = word.empty() ? 0 : UpperChunk(word, 0);
    std::uint64_t bytes = first, h = (first ^ word.size()) * kMul;
    for (std::size_t off = 8; off < word.size(); off += 8) {
      const std::uint64_t c = UpperChunk(word, off);
      bytes |= c;
      h = (h ^ c) * kMul;
    }
    ascii = (bytes & kHigh) == 0;
    return {first, static_cast<std::uint32_t>(h >> 32)};
  }
  static bool IsAscii(std::string_view word) {
    unsigned char bits = 0;
    for (char c : word) bits |= static_cast<unsigned char>(c);
    return bits < 0x80;
  }
  // Bytes off .. off+7 of `word` (zeros past its end) as one little-endian
  // word, ASCII a-z upper-cased in all eight bytes at once: a byte gets bit
  // 0x20 cleared when its low seven bits reach 'a' but not past 'z' and its
  // high bit is clear.
  static std::uint64_t UpperChunk(std::string_view word, std::size_t off) {
    return UpperBytes(LoadChunk(word.data() + off, std::min<std::size_t>(word.size() - off, 8)));
  }
  static std::uint64_t UpperBytes(std::uint64_t v) {
    const std::uint64_t low7 = v & ~kHigh;
    const std::uint64_t fromA = low7 + 0x1F1F1F1F1F1F1F1Full;  // 'a' + 0x1F = 0x80
    const std::uint64_t pastZ = low7 + 0x0505050505050505ull;  // '{' + 0x05 = 0x80
    return v ^ ((fromA & ~pastZ & ~v & kHigh) >> 2);
  }
  // `n` (1 to 8) bytes at `p`, zero-padded, in two loads that may overlap:
  // an overlapping byte is the same byte in both, so or-ing keeps it.
  static std::uint64_t LoadChunk(const char* p, std::size_t n) {
    static_assert(std::endian::native == std::endian::little, "chunks are little-endian");
    if (n == 8) return Load<std::uint64_t>(p);
    if (n >= 4) {
      const std::uint64_t lo = Load<std::uint32_t>(p), hi = Load<std::uint32_t>(p + n - 4);
      return lo | (hi << (8 * (n - 4)));
    }
    if (n >= 2) {
      const std::uint64_t lo = Load<std::uint16_t>(p), hi = Load<std::uint16_t>(p + n - 2);
      return lo | (hi << (8 * (n - 2)));
    }
    return n == 1 ? static_cast<unsigned char>(*p) : 0;
  }
  template <class T>
  static std::uint64_t Load(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  bool Matches(const Slot& s, const TKey& key, std::string_view word) const {
    if (s.First != key.First || s.Hash != key.Hash || s.Length != word.size()) return false;
    for (std::size_t off = 8, k = s.Rest; off < word.size(); off += 8, ++k)
      if (rest_[k] != UpperChunk(word, off)) return false;
    return true;
  }
  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    mask_ = slots_.size() - 1;
    for (const Slot& s : old) {
      if (s.Kind < 0) continue;
      std::size_t i = s.Hash & mask_;
      while (slots_[i].Kind >= 0) i = (i + 1) & mask_;
      slots_[i] = s;
    }
  }

  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::size_t mask_ = 0;
  std::vector<std::uint64_t> rest_;  // the upper-cased chunks of long names
  int count_ = 0;
  std::size_t maxLength_ = 0;
};

}  // namespace qor
