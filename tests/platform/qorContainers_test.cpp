#include <gtest/gtest.h>

#include "platform/qorNameList.h"
#include "platform/qorObject.h"
#include "platform/qorSets.h"

namespace qor {
namespace {

struct Item {
  explicit Item(int v, int* alive = nullptr) : v(v), alive(alive) { if (alive) ++*alive; }
  ~Item() { if (alive) --*alive; }
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
  explicit Probe(std::vector<std::string>* log, std::string tag) : log_(log), tag_(std::move(tag)) {}
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
