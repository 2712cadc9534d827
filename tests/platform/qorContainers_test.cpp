#include <gtest/gtest.h>

#include <random>

#include "platform/qorNameList.h"
#include "platform/qorObject.h"
#include "platform/qorSets.h"

namespace qor {
namespace {

struct Item {
  explicit Item(int v, int* alive = nullptr) : v(v), alive(alive) {
    if (alive) ++*alive;
  }
  ~Item() {
    if (alive) --*alive;
  }
  int v;
  int* alive;
};

TEST(NameList, SortedRejectsDuplicatesFirstWins) {
  TOwnedNameList<Item> list(/*sorted=*/true);
  int alive = 0;
  EXPECT_EQ(list.Add("b", std::make_unique<Item>(1, &alive)), 0);
  EXPECT_EQ(list.Add("A", std::make_unique<Item>(2, &alive)), 0);
  auto dup = std::make_unique<Item>(3, &alive);
  EXPECT_EQ(list.Add("B", std::move(dup)), -1);
  ASSERT_TRUE(dup);  // left with the caller
  EXPECT_EQ(list.FindObject("B")->v, 1);
  dup.reset();
  EXPECT_EQ(list.Name(0), "A");
  list.Delete(0);
  EXPECT_EQ(alive, 1);
  list.Clear();
  EXPECT_EQ(alive, 0);
}

TEST(NameList, CaseSensitiveSwitchResorts) {
  TBasicNameList<int> list(/*sorted=*/true);
  list.Add("b", 1);
  list.Add("C", 2);
  list.Add("a", 3);
  EXPECT_EQ(list.Name(0), "a");
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.Name(0), "C");  // upper case sorts first byte-wise
  EXPECT_EQ(list.IndexOf("c"), -1);
  EXPECT_EQ(list.Add("c", 4), 3);
}

TEST(NameList, UnsortedKeepsOrderAndEqualNames) {
  TNameList<Item> list;
  Item a(1), b(2);
  list.Add("x", &a);
  list.Add("X", &b);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.IndexOf("x"), 0);
  EXPECT_EQ(list.IndexOfObject(&b), 1);
  EXPECT_EQ(list.Extract(0), &a);
  EXPECT_EQ(list.Object(0), &b);
}

TEST(NameList, RenameKeepsOrderAndRefusesCollisions) {
  TBasicNameList<int> list(/*sorted=*/true);
  list.Add("a", 1);
  list.Add("m", 2);
  list.Add("z", 3);
  EXPECT_EQ(list.Rename(0, "q"), 1);
  EXPECT_EQ(list.Name(1), "q");
  EXPECT_EQ(list.Rename(1, "Z"), -1);
  EXPECT_EQ(list.Name(1), "q");
}

// The list's contract on a plain vector, to hold the list against through
// thousands of mixed operations that cross its internal block boundaries.
struct TReferenceList {
  bool sorted = false;
  bool cs = false;
  std::vector<std::pair<std::string, int>> items;

  int Cmp(const std::string& a, const std::string& b) const {
    return cs ? CompareStr(a, b) : CompareText(a, b);
  }
  int LowerBound(const std::string& name) const {
    const auto at = std::partition_point(items.begin(), items.end(),
                                         [&](const auto& e) { return Cmp(e.first, name) < 0; });
    return static_cast<int>(at - items.begin());
  }
  int IndexOf(const std::string& name) const {
    if (sorted) {
      const int i = LowerBound(name);
      return i < static_cast<int>(items.size()) && Cmp(items[i].first, name) == 0 ? i : -1;
    }
    for (std::size_t i = 0; i < items.size(); ++i)
      if (Cmp(items[i].first, name) == 0) return static_cast<int>(i);
    return -1;
  }
  int Add(const std::string& name, int v) {
    if (!sorted) {
      items.emplace_back(name, v);
      return static_cast<int>(items.size()) - 1;
    }
    if (IndexOf(name) >= 0) return -1;
    const int i = LowerBound(name);
    items.insert(items.begin() + i, {name, v});
    return i;
  }
  void Sort() {
    std::stable_sort(items.begin(), items.end(),
                     [this](const auto& a, const auto& b) { return Cmp(a.first, b.first) < 0; });
  }
  int Rename(int i, const std::string& name) {
    if (!sorted) {
      items[i].first = name;
      return i;
    }
    const int j = IndexOf(name);
    if (j >= 0 && j != i) return -1;
    const int v = items[i].second;
    items.erase(items.begin() + i);
    const int to = LowerBound(name);
    items.insert(items.begin() + to, {name, v});
    return to;
  }
};

void ExpectSame(const TBasicNameList<int>& list, const TReferenceList& ref) {
  ASSERT_EQ(list.Count(), static_cast<int>(ref.items.size()));
  std::size_t i = 0;
  for (const auto& e : list) {
    ASSERT_EQ(e.Name, ref.items[i].first) << i;
    ASSERT_EQ(e.Value, ref.items[i].second) << i;
    ++i;
  }
  for (int k = 0; k < list.Count(); k += 7) {
    ASSERT_EQ(list.Name(k), ref.items[k].first) << k;
    ASSERT_EQ(list.Value(k), ref.items[k].second) << k;
  }
}

TEST(NameList, LargeListsKeepTheContractThroughMixedOperations) {
  for (const bool sorted : {true, false}) {
    SCOPED_TRACE(sorted ? "sorted" : "unsorted");
    std::mt19937 rng(20);
    TBasicNameList<int> list(sorted);
    TReferenceList ref;
    ref.sorted = sorted;
    // Names that collide when case does not count.
    auto name = [&rng] {
      const int n = static_cast<int>(rng() % 1000);
      return std::string(rng() % 2 ? "k" : "K") + std::to_string(n);
    };
    for (int step = 0; step < 5000; ++step) {
      const unsigned op = rng() % 100;
      const int count = list.Count();
      if (op < 60 || count == 0) {
        const std::string n = name();
        ASSERT_EQ(list.Add(n, step), ref.Add(n, step)) << n;
      } else if (op < 70) {
        const int i = static_cast<int>(rng() % count);
        list.Delete(i);
        ref.items.erase(ref.items.begin() + i);
      } else if (op < 75) {
        const int i = static_cast<int>(rng() % count);
        ASSERT_EQ(list.Extract(i), ref.items[i].second);
        ref.items.erase(ref.items.begin() + i);
      } else if (op < 80) {
        const int i = static_cast<int>(rng() % count);
        const std::string n = name();
        ASSERT_EQ(list.Rename(i, n), ref.Rename(i, n)) << n;
      } else if (op < 83 && !sorted) {
        const int i = static_cast<int>(rng() % (count + 1));
        list.Insert(i, "ins", int(step));
        ref.items.insert(ref.items.begin() + i, {"ins", step});
      } else if (op < 84) {
        ref.cs = !ref.cs;
        list.SetCaseSensitive(ref.cs);
        if (sorted) ref.Sort();
      } else {
        const std::string n = name();
        int index = -2;
        const bool found = list.Find(n, index);
        ASSERT_EQ(list.IndexOf(n), ref.IndexOf(n)) << n;
        ASSERT_EQ(found, ref.IndexOf(n) >= 0) << n;
        if (sorted) {
          ASSERT_EQ(index, found ? ref.IndexOf(n) : ref.LowerBound(n)) << n;
        }
      }
      if (step % 500 == 0) ExpectSame(list, ref);
    }
    ExpectSame(list, ref);
    // Sorting an unsorted list (equal names stay, in their order) and back.
    list.SetSorted(true);
    ref.sorted = true;
    ref.Sort();
    ExpectSame(list, ref);
    while (list.Count() > 0) {
      list.Delete(list.Count() / 2);
      ref.items.erase(ref.items.begin() + static_cast<int>(ref.items.size()) / 2);
    }
    ExpectSame(list, ref);
    EXPECT_TRUE(list.begin() == list.end());
  }
}

enum class Color : std::uint8_t { Red, Green, Blue };

TEST(EnumSet, MaskRoundTrip) {
  using S = TEnumSet<Color, 3>;
  S s{Color::Red, Color::Blue};
  EXPECT_EQ(s.ToMask(), 5u);
  EXPECT_EQ(S::FromMask(5), s);
  EXPECT_EQ(S::All().ToMask(), 7u);
  EXPECT_EQ(S::FromMask(0xFF), S::All());  // bits beyond the enumeration ignored
  EXPECT_TRUE((s - S{Color::Red}).Contains(Color::Blue));
  EXPECT_FALSE(s.Contains(static_cast<Color>(9)));
}

TEST(CharSet, Membership) {
  TCharSet s = TCharSet::Of("$_");
  s.IncludeRange('A', 'Z');
  EXPECT_TRUE(s.Contains('Q'));
  EXPECT_TRUE(s.Contains(0x100 + '$'));  // only the low byte counts
  EXPECT_FALSE(s.Contains('a'));
  EXPECT_FALSE(s.Contains(0xE9));
}

class Probe : public TComponent {
 public:
  explicit Probe(std::vector<std::string>* log, std::string tag)
      : log_(log), tag_(std::move(tag)) {}
  ~Probe() override { log_->push_back("free " + tag_); }
  TComponent* link = nullptr;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::opRemove && c == link) link = nullptr;
  }

 private:
  std::vector<std::string>* log_;
  std::string tag_;
};

TEST(Component, OwnerFreesChildrenAndLinksAreCleared) {
  std::vector<std::string> log;
  auto owner = std::make_unique<Probe>(&log, "owner");
  Probe* a = owner->Own(std::make_unique<Probe>(&log, "a"));
  auto outside = std::make_unique<Probe>(&log, "outside");
  outside->link = a;
  a->FreeNotification(outside.get());
  owner.reset();
  EXPECT_EQ(outside->link, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"free owner", "free a"}));
}

TEST(Component, RemoveComponentHandsOwnershipBack) {
  std::vector<std::string> log;
  Probe owner(&log, "owner");
  Probe* a = owner.Own(std::make_unique<Probe>(&log, "a"));
  EXPECT_EQ(owner.ComponentCount(), 1);
  std::unique_ptr<TComponent> back = owner.RemoveComponent(a);
  EXPECT_EQ(back.get(), a);
  EXPECT_EQ(a->Owner(), nullptr);
  EXPECT_EQ(owner.ComponentCount(), 0);
}

}  // namespace
}  // namespace qor
