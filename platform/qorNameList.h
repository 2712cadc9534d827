// The name list with attached values, the project's one list type for
// name-keyed collections.
//
// Sorted mode keeps the entries ordered by name (case-insensitive by
// default, through CompareText; SetCaseSensitive switches to CompareStr and
// re-sorts). Adding a name that is already present is refused and the first
// entry wins. Unsorted mode keeps insertion order and allows equal names.
//
// The value type decides ownership: TNameList<T> links objects owned
// elsewhere, TOwnedNameList<T> owns them, TBasicNameList<int> stores numbers.
//
// A collection list holds one entry per table, constraint or grant of a
// database, and entries arrive in any key order, so the entries live in
// blocks of at most kMaxBlock: an insertion moves entries of one block only,
// and a count tree over the block sizes turns an index into its block in
// logarithmic time. Index access, Find and iteration keep their meaning.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/qorStrings.h"

namespace qor {

template <class V>
class TBasicNameList {
 public:
  struct Entry {
    std::string Name;
    V Value;
  };

 private:
  using TBlock = std::vector<Entry>;
  using TBlocks = std::vector<TBlock>;

 public:
  // Forward iteration over the entries in list order.
  template <bool Const>
  class TIterator {
    using Blocks = std::conditional_t<Const, const TBlocks, TBlocks>;

   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Entry;
    using difference_type = std::ptrdiff_t;
    using reference = std::conditional_t<Const, const Entry&, Entry&>;
    using pointer = std::conditional_t<Const, const Entry*, Entry*>;

    TIterator() = default;
    TIterator(Blocks* blocks, std::size_t block, std::size_t offset)
        : blocks_(blocks), block_(block), offset_(offset) {}
    operator TIterator<true>() const requires(!Const) { return {blocks_, block_, offset_}; }

    reference operator*() const { return (*blocks_)[block_][offset_]; }
    pointer operator->() const { return &(*blocks_)[block_][offset_]; }
    TIterator& operator++() {
      if (++offset_ == (*blocks_)[block_].size()) {
        ++block_;
        offset_ = 0;
      }
      return *this;
    }
    TIterator operator++(int) {
      TIterator old = *this;
      ++*this;
      return old;
    }
    bool operator==(const TIterator& o) const { return block_ == o.block_ && offset_ == o.offset_; }
    bool operator!=(const TIterator& o) const { return !(*this == o); }

   private:
    Blocks* blocks_ = nullptr;
    std::size_t block_ = 0;
    std::size_t offset_ = 0;
  };
  using iterator = TIterator<false>;
  using const_iterator = TIterator<true>;

  explicit TBasicNameList(bool sorted = false) : sorted_(sorted) {}
  TBasicNameList(TBasicNameList&&) noexcept = default;
  TBasicNameList& operator=(TBasicNameList&&) noexcept = default;

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted) {
    if (sorted && !sorted_) Sort();
    sorted_ = sorted;
  }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value) {
    if (value == caseSensitive_) return;
    caseSensitive_ = value;
    if (sorted_) Sort();
  }

  int Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  // Changes with every entry added, removed, renamed or moved; a caller
  // that keeps an index of the entries compares it to know that its index
  // still holds.
  std::uint64_t Version() const { return version_; }
  const std::string& Name(int i) const { return At(i).Name; }
  V& Value(int i) { return At(i).Value; }
  const V& Value(int i) const { return At(i).Value; }

  int Compare(std::string_view a, std::string_view b) const {
    return caseSensitive_ ? CompareStr(a, b) : CompareText(a, b);
  }

  // Sorted: the index where `name` is or would be; true when it is there.
  bool Find(std::string_view name, int& index) const {
    if (!sorted_) {
      index = IndexOf(name);
      return index >= 0;
    }
    const TPos p = LowerBound(name);
    index = IndexOfPos(p);
    return p.block < blocks_.size() && Compare(blocks_[p.block][p.offset].Name, name) == 0;
  }

  int IndexOf(std::string_view name) const {
    if (sorted_) {
      int i;
      return Find(name, i) ? i : -1;
    }
    int i = 0;
    for (const Entry& e : *this) {
      if (Compare(e.Name, name) == 0) return i;
      ++i;
    }
    return -1;
  }

  // Adds an entry; returns its index, or -1 when a sorted list already has
  // the name (then `value` is left with the caller, untouched).
  int Add(std::string name, V&& value) {
    if (!sorted_) {
      InsertAt(EndPos(), Entry{std::move(name), std::move(value)});
      return count_ - 1;
    }
    const TPos p = LowerBound(name);
    if (p.block < blocks_.size() && Compare(blocks_[p.block][p.offset].Name, name) == 0) return -1;
    return IndexOfPos(InsertAt(p, Entry{std::move(name), std::move(value)}));
  }
  int Add(std::string name, const V& value) requires std::is_copy_constructible_v<V> {
    V copy = value;
    return Add(std::move(name), std::move(copy));
  }

  // Unsorted lists only: insert at a position (clamped).
  void Insert(int index, std::string name, V&& value) {
    index = std::clamp(index, 0, count_);
    InsertAt(index == count_ ? EndPos() : PosOf(index), Entry{std::move(name), std::move(value)});
  }

  void Delete(int i) { EraseAt(PosOf(i)); }

  // Removes the entry and hands its value to the caller.
  V Extract(int i) {
    const TPos p = PosOf(i);
    V v = std::move(blocks_[p.block][p.offset].Value);
    EraseAt(p);
    return v;
  }

  // Changes an entry's name, keeping a sorted list in order. Returns the new
  // index, or -1 when a sorted list already holds the new name elsewhere
  // (then nothing changes).
  int Rename(int i, std::string name) {
    if (!sorted_) {
      At(i).Name = std::move(name);
      ++version_;
      return i;
    }
    int j;
    if (Find(name, j) && j != i) return -1;
    const TPos p = PosOf(i);
    Entry e{std::move(name), std::move(blocks_[p.block][p.offset].Value)};
    EraseAt(p);
    const TPos to = LowerBound(e.Name);
    return IndexOfPos(InsertAt(to, std::move(e)));
  }

  void Clear() {
    blocks_.clear();
    tree_.clear();
    count_ = 0;
    ++version_;
  }

  void Sort() {
    std::vector<Entry> all = TakeAll();
    std::stable_sort(all.begin(), all.end(), [this](const Entry& a, const Entry& b) {
      return Compare(a.Name, b.Name) < 0;
    });
    Refill(std::move(all));
  }

  iterator begin() { return {&blocks_, 0, 0}; }
  iterator end() { return {&blocks_, blocks_.size(), 0}; }
  const_iterator begin() const { return {&blocks_, 0, 0}; }
  const_iterator end() const { return {&blocks_, blocks_.size(), 0}; }

 protected:
  Entry& At(int i) {
    const TPos p = PosOf(i);
    return blocks_[p.block][p.offset];
  }
  const Entry& At(int i) const {
    const TPos p = PosOf(i);
    return blocks_[p.block][p.offset];
  }

 private:
  // Big enough that a block's own bookkeeping is small beside its entries,
  // small enough that moving half a block per insertion stays cheap.
  static constexpr std::size_t kMaxBlock = 128;

  // A place in the blocks; {blocks_.size(), 0} is the end. No block is ever
  // empty, so every other place names an entry.
  struct TPos {
    std::size_t block;
    std::size_t offset;
  };

  TPos EndPos() const { return {blocks_.size(), 0}; }

  // The place of index i (0 <= i < Count()).
  TPos PosOf(int i) const {
    auto rest = static_cast<std::size_t>(i);
    if (blocks_.size() == 1) return {0, rest};
    // Descend the count tree: the last block whose preceding entries are at
    // most i.
    std::size_t b = 0;
    std::size_t step = 1;
    while (step * 2 <= blocks_.size()) step *= 2;
    for (; step > 0; step /= 2)
      if (b + step <= blocks_.size() && tree_[b + step] <= rest) {
        b += step;
        rest -= tree_[b];
      }
    return {b, rest};
  }

  // The index of a place: the entries of the blocks before it, plus its
  // offset.
  int IndexOfPos(TPos p) const {
    if (p.block >= blocks_.size()) return count_;
    std::size_t before = 0;
    if (blocks_.size() > 1)
      for (std::size_t b = p.block; b > 0; b -= b & (~b + 1)) before += tree_[b];
    return static_cast<int>(before + p.offset);
  }

  // The first place whose name is not below `name` (sorted lists).
  TPos LowerBound(std::string_view name) const {
    const auto below = [this](std::string_view a, std::string_view b) { return Compare(a, b) < 0; };
    const auto block = std::partition_point(blocks_.begin(), blocks_.end(), [&](const TBlock& k) {
      return below(k.back().Name, name);
    });
    if (block == blocks_.end()) return EndPos();
    const auto at = std::partition_point(block->begin(), block->end(),
                                         [&](const Entry& e) { return below(e.Name, name); });
    return {static_cast<std::size_t>(block - blocks_.begin()),
            static_cast<std::size_t>(at - block->begin())};
  }

  // Inserts before place p; returns the entry's place.
  TPos InsertAt(TPos p, Entry&& e) {
    ++version_;
    if (p.block == blocks_.size()) {
      // At the end: the last block if it has room, else a new one.
      if (blocks_.empty() || blocks_.back().size() >= kMaxBlock) {
        // A list that grows past one block grows by appending.
        TBlock& fresh = blocks_.emplace_back();
        if (count_ > 0) fresh.reserve(kMaxBlock);
        fresh.push_back(std::move(e));
        p = {blocks_.size() - 1, 0};
        ++count_;
        RebuildTree();
        return p;
      }
      p = {blocks_.size() - 1, blocks_.back().size()};
    }
    TBlock& block = blocks_[p.block];
    block.insert(block.begin() + static_cast<std::ptrdiff_t>(p.offset), std::move(e));
    ++count_;
    if (block.size() <= kMaxBlock) {
      AddToTree(p.block, 1);
      return p;
    }
    // Full: split in halves.
    const std::size_t half = block.size() / 2;
    TBlock upper(std::make_move_iterator(block.begin() + static_cast<std::ptrdiff_t>(half)),
                 std::make_move_iterator(block.end()));
    block.erase(block.begin() + static_cast<std::ptrdiff_t>(half), block.end());
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(p.block) + 1, std::move(upper));
    RebuildTree();
    if (p.offset >= half) p = {p.block + 1, p.offset - half};
    return p;
  }

  void EraseAt(TPos p) {
    ++version_;
    TBlock& block = blocks_[p.block];
    block.erase(block.begin() + static_cast<std::ptrdiff_t>(p.offset));
    --count_;
    if (!block.empty()) {
      AddToTree(p.block, -1);
      return;
    }
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(p.block));
    RebuildTree();
  }

  // The count tree (a Fenwick tree, 1-based) over the block sizes; empty
  // while there is at most one block.
  void RebuildTree() {
    if (blocks_.size() <= 1) {
      tree_.clear();
      return;
    }
    tree_.assign(blocks_.size() + 1, 0);
    for (std::size_t b = 1; b <= blocks_.size(); ++b) {
      tree_[b] += blocks_[b - 1].size();
      if (const std::size_t up = b + (b & (~b + 1)); up <= blocks_.size()) tree_[up] += tree_[b];
    }
  }
  void AddToTree(std::size_t block, int delta) {
    if (tree_.empty()) return;
    for (std::size_t b = block + 1; b <= blocks_.size(); b += b & (~b + 1))
      tree_[b] = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(tree_[b]) + delta);
  }

  std::vector<Entry> TakeAll() {
    std::vector<Entry> all;
    all.reserve(static_cast<std::size_t>(count_));
    for (TBlock& b : blocks_)
      for (Entry& e : b) all.push_back(std::move(e));
    Clear();
    return all;
  }

  // Fills the emptied list with `all` in that order, blocks half full so
  // that the next insertions do not split at once.
  void Refill(std::vector<Entry>&& all) {
    const std::size_t chunk = all.size() <= kMaxBlock ? kMaxBlock : kMaxBlock / 2;
    for (std::size_t i = 0; i < all.size(); i += chunk) {
      const std::size_t n = std::min(chunk, all.size() - i);
      TBlock& b = blocks_.emplace_back();
      b.reserve(n);
      for (std::size_t k = i; k < i + n; ++k) b.push_back(std::move(all[k]));
    }
    count_ = static_cast<int>(all.size());
    ++version_;
    RebuildTree();
  }

  TBlocks blocks_;
  std::vector<std::size_t> tree_;
  int count_ = 0;
  std::uint64_t version_ = 0;
  bool sorted_ = false;
  bool caseSensitive_ = false;
};

// Links objects owned elsewhere.
template <class T>
class TNameList : public TBasicNameList<T*> {
 public:
  using TBasicNameList<T*>::TBasicNameList;
  T* Object(int i) const { return this->Value(i); }
  int IndexOfObject(const T* obj) const {
    int i = 0;
    for (const auto& e : *this) {
      if (e.Value == obj) return i;
      ++i;
    }
    return -1;
  }
  T* FindObject(std::string_view name) const {
    const int i = this->IndexOf(name);
    return i < 0 ? nullptr : Object(i);
  }
};

// Owns its objects: deleting or clearing an entry frees it.
template <class T>
class TOwnedNameList : public TBasicNameList<std::unique_ptr<T>> {
 public:
  using TBasicNameList<std::unique_ptr<T>>::TBasicNameList;
  T* Object(int i) const { return this->Value(i).get(); }
  int IndexOfObject(const T* obj) const {
    int i = 0;
    for (const auto& e : *this) {
      if (e.Value.get() == obj) return i;
      ++i;
    }
    return -1;
  }
  T* FindObject(std::string_view name) const {
    const int i = this->IndexOf(name);
    return i < 0 ? nullptr : Object(i);
  }
};

}  // namespace qor
