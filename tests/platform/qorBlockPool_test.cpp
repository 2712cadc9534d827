// The block pool with pooling on, as the release build runs it for columns
// and edges: live blocks never overlap, freed blocks are handed out again,
// other sizes go to the heap, and the slabs go back when the last block
// does. Under the address sanitizer free blocks are poisoned, so a block
// handed out twice or written after its free fails here.
#include "platform/qorBlockPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

namespace qor {
namespace {

constexpr std::size_t kSize = 200;

// Fills a block with a byte of its own, so that two owners of one block
// show up when the first one's pattern is read back.
void Stamp(void* p, unsigned char mark) { std::memset(p, mark, kSize); }
bool Stamped(const void* p, unsigned char mark) {
  const auto* b = static_cast<const unsigned char*>(p);
  return std::all_of(b, b + kSize, [mark](unsigned char c) { return c == mark; });
}

TEST(BlockPool, LiveBlocksNeverShareMemoryAcrossSlabsAndReuse) {
  TBlockPool pool(kSize, /*pooling=*/true);
  std::vector<void*> live;
  // Past the first slabs, then every third freed and the same number made
  // again: the reused blocks must be the freed ones, not a live one.
  for (int i = 0; i < 1000; ++i) {
    live.push_back(pool.Allocate(kSize));
    Stamp(live.back(), static_cast<unsigned char>(i));
  }
  EXPECT_GT(pool.Slabs(), 1u);
  std::set<void*> freed;
  for (std::size_t i = 0; i < live.size(); i += 3) {
    freed.insert(live[i]);
    pool.Free(live[i], kSize);
    live[i] = nullptr;
  }
  const std::size_t slabs = pool.Slabs();
  for (void*& p : live) {
    if (p) continue;
    p = pool.Allocate(kSize);
    EXPECT_TRUE(freed.count(p)) << "a new slab while freed blocks wait";
  }
  EXPECT_EQ(pool.Slabs(), slabs);
  EXPECT_EQ(std::set<void*>(live.begin(), live.end()).size(), live.size());
  for (std::size_t i = 0; i < live.size(); ++i) {
    if (i % 3 == 0) continue;
    EXPECT_TRUE(Stamped(live[i], static_cast<unsigned char>(i))) << i;
  }
  EXPECT_EQ(pool.LiveBlocks(), live.size());
  for (void* p : live) pool.Free(p, kSize);
}

TEST(BlockPool, LastFreeGivesTheSlabsBackAndThePoolStartsOver) {
  TBlockPool pool(kSize, /*pooling=*/true);
  std::vector<void*> blocks;
  for (int i = 0; i < 300; ++i) blocks.push_back(pool.Allocate(kSize));
  for (void* p : blocks) pool.Free(p, kSize);
  EXPECT_EQ(pool.LiveBlocks(), 0u);
  EXPECT_EQ(pool.Slabs(), 0u);
  // Usable again, from a fresh slab.
  void* p = pool.Allocate(kSize);
  Stamp(p, 7);
  EXPECT_EQ(pool.Slabs(), 1u);
  pool.Free(p, kSize);
  EXPECT_EQ(pool.Slabs(), 0u);
}

TEST(BlockPool, OtherSizesAndUnpooledPoolsUseTheHeap) {
  TBlockPool pool(kSize, /*pooling=*/true);
  // A class derived from the pooled one asks for more.
  void* bigger = pool.Allocate(kSize + 16);
  std::memset(bigger, 1, kSize + 16);
  EXPECT_EQ(pool.LiveBlocks(), 0u);
  EXPECT_EQ(pool.Slabs(), 0u);
  pool.Free(bigger, kSize + 16);
  pool.Free(nullptr, kSize);

  TBlockPool off(kSize, /*pooling=*/false);
  void* p = off.Allocate(kSize);
  Stamp(p, 3);
  EXPECT_EQ(off.Slabs(), 0u);
  off.Free(p, kSize);
}

}  // namespace
}  // namespace qor
