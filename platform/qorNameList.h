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
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
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

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  const std::string& Name(int i) const { return items_[Idx(i)].Name; }
  V& Value(int i) { return items_[Idx(i)].Value; }
  const V& Value(int i) const { return items_[Idx(i)].Value; }

  int Compare(std::string_view a, std::string_view b) const {
    return caseSensitive_ ? CompareStr(a, b) : CompareText(a, b);
  }

  // Sorted: the index where `name` is or would be; true when it is there.
  bool Find(std::string_view name, int& index) const {
    if (!sorted_) {
      index = IndexOf(name);
      return index >= 0;
    }
    auto it = std::lower_bound(items_.begin(), items_.end(), name,
                               [this](const Entry& e, std::string_view n) { return Compare(e.Name, n) < 0; });
    index = static_cast<int>(it - items_.begin());
    return it != items_.end() && Compare(it->Name, name) == 0;
  }

  int IndexOf(std::string_view name) const {
    if (sorted_) {
      int i;
      return Find(name, i) ? i : -1;
    }
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (Compare(items_[i].Name, name) == 0) return static_cast<int>(i);
    return -1;
  }

  // Adds an entry; returns its index, or -1 when a sorted list already has
  // the name (then `value` is left with the caller, untouched).
  int Add(std::string name, V&& value) {
    if (!sorted_) {
      items_.push_back(Entry{std::move(name), std::move(value)});
      return Count() - 1;
    }
    int i;
    if (Find(name, i)) return -1;
    items_.insert(items_.begin() + i, Entry{std::move(name), std::move(value)});
    return i;
  }
  int Add(std::string name, const V& value) requires std::is_copy_constructible_v<V> {
    V copy = value;
    return Add(std::move(name), std::move(copy));
  }

  // Unsorted lists only: insert at a position (clamped).
  void Insert(int index, std::string name, V&& value) {
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, Entry{std::move(name), std::move(value)});
  }

  void Delete(int i) { items_.erase(items_.begin() + i); }

  // Removes the entry and hands its value to the caller.
  V Extract(int i) {
    V v = std::move(items_[Idx(i)].Value);
    items_.erase(items_.begin() + i);
    return v;
  }

  // Changes an entry's name, keeping a sorted list in order. Returns the new
  // index, or -1 when a sorted list already holds the new name elsewhere
  // (then nothing changes).
  int Rename(int i, std::string name) {
    if (!sorted_) {
      items_[Idx(i)].Name = std::move(name);
      return i;
    }
    int j;
    if (Find(name, j) && j != i) return -1;
    Entry e{std::move(name), std::move(items_[Idx(i)].Value)};
    items_.erase(items_.begin() + i);
    Find(e.Name, j);
    items_.insert(items_.begin() + j, std::move(e));
    return j;
  }

  void Clear() { items_.clear(); }

  void Sort() {
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const Entry& a, const Entry& b) { return Compare(a.Name, b.Name) < 0; });
  }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 protected:
  static std::size_t Idx(int i) { return static_cast<std::size_t>(i); }
  std::vector<Entry> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
};

// Links objects owned elsewhere.
template <class T>
class TNameList : public TBasicNameList<T*> {
 public:
  using TBasicNameList<T*>::TBasicNameList;
  T* Object(int i) const { return this->items_[this->Idx(i)].Value; }
  int IndexOfObject(const T* obj) const {
    for (std::size_t i = 0; i < this->items_.size(); ++i)
      if (this->items_[i].Value == obj) return static_cast<int>(i);
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
  T* Object(int i) const { return this->items_[this->Idx(i)].Value.get(); }
  int IndexOfObject(const T* obj) const {
    for (std::size_t i = 0; i < this->items_.size(); ++i)
      if (this->items_[i].Value.get() == obj) return static_cast<int>(i);
    return -1;
  }
  T* FindObject(std::string_view name) const {
    const int i = this->IndexOf(name);
    return i < 0 ? nullptr : Object(i);
  }
};

}  // namespace qor
