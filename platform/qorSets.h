// Sets of enumeration values and 256-bit byte sets.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace qor {

// A set over an `enum class` whose values run from 0 to N-1.
template <class E, std::size_t N>
class TEnumSet {
 public:
  constexpr TEnumSet() = default;
  TEnumSet(std::initializer_list<E> values) {
    for (E v : values) Include(v);
  }

  static TEnumSet All() {
    TEnumSet s;
    s.bits_.set();
    return s;
  }

  // Conversion to and from the stored bit mask (bit n = value n).
  static TEnumSet FromMask(std::uint64_t mask) {
    static_assert(N <= 64);
    TEnumSet s;
    for (std::size_t i = 0; i < N; ++i)
      if (mask & (std::uint64_t{1} << i)) s.bits_.set(i);
    return s;
  }
  std::uint64_t ToMask() const {
    static_assert(N <= 64);
    std::uint64_t m = 0;
    for (std::size_t i = 0; i < N; ++i)
      if (bits_.test(i)) m |= std::uint64_t{1} << i;
    return m;
  }

  bool Contains(E v) const { return Valid(v) && bits_.test(Index(v)); }
  TEnumSet& Include(E v) {
    if (Valid(v)) bits_.set(Index(v));
    return *this;
  }
  TEnumSet& Exclude(E v) {
    if (Valid(v)) bits_.reset(Index(v));
    return *this;
  }
  bool Empty() const { return bits_.none(); }
  std::size_t Count() const { return bits_.count(); }
  void Clear() { bits_.reset(); }

  TEnumSet operator|(const TEnumSet& o) const { return TEnumSet(bits_ | o.bits_); }
  TEnumSet operator&(const TEnumSet& o) const { return TEnumSet(bits_ & o.bits_); }
  TEnumSet operator-(const TEnumSet& o) const { return TEnumSet(bits_ & ~o.bits_); }
  TEnumSet& operator|=(const TEnumSet& o) {
    bits_ |= o.bits_;
    return *this;
  }
  TEnumSet& operator&=(const TEnumSet& o) {
    bits_ &= o.bits_;
    return *this;
  }
  TEnumSet& operator-=(const TEnumSet& o) {
    bits_ &= ~o.bits_;
    return *this;
  }
  bool operator==(const TEnumSet& o) const { return bits_ == o.bits_; }

  static constexpr std::size_t Size() { return N; }

 private:
  explicit TEnumSet(const std::bitset<N>& b) : bits_(b) {}
  static std::size_t Index(E v) { return static_cast<std::size_t>(v); }
  static bool Valid(E v) { return Index(v) < N; }
  std::bitset<N> bits_;
};

// A set of byte values, as the scanners and quoting rules test characters.
class TCharSet {
 public:
  TCharSet() = default;
  // Every character of `chars`, plus the ranges "A-Z" style given as pairs.
  static TCharSet Of(std::string_view chars) {
    TCharSet s;
    for (char c : chars) s.Include(c);
    return s;
  }
  TCharSet& Include(char c) {
    bits_.set(static_cast<unsigned char>(c));
    return *this;
  }
  TCharSet& Exclude(char c) {
    bits_.reset(static_cast<unsigned char>(c));
    return *this;
  }
  TCharSet& IncludeRange(char first, char last) {
    for (unsigned v = static_cast<unsigned char>(first); v <= static_cast<unsigned char>(last); ++v)
      bits_.set(v);
    return *this;
  }
  bool Contains(unsigned value) const { return bits_.test(value & 0xFF); }
  TCharSet operator|(const TCharSet& o) const {
    TCharSet s;
    s.bits_ = bits_ | o.bits_;
    return s;
  }
  bool operator==(const TCharSet& o) const { return bits_ == o.bits_; }

 private:
  std::bitset<256> bits_;
};

}  // namespace qor
