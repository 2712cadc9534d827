// TBlockPool: equal-sized blocks for the one class whose objects a schema
// holds by the hundred thousand (columns, dependency edges).
//
// The blocks are cut from slabs that grow with the pool up to 2 MB, and a
// freed block goes on a free list for the next object of the class, so
// such an object costs neither a heap call nor a heap header. A request of
// another size (a class derived from the pooled one) goes to the heap.
// When the last block of a pool is freed, its slabs go back to the heap: a
// collection that is cleared gives its memory back, and nothing stays
// behind at exit.
//
// The class-level pools pass everything to the heap in a sanitizer build,
// so that a use after free or a leak of such an object is still reported
// with the object's own allocation. A pool made with `pooling` on (its own
// tests) poisons its free and unused blocks under the address sanitizer.
#pragma once

#include <cstddef>
#include <mutex>

namespace qor {

class TBlockPool {
 public:
  // Whether the class-level pools pool: not in a sanitizer build.
#if defined(__SANITIZE_ADDRESS__)
  static constexpr bool kPoolByDefault = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  static constexpr bool kPoolByDefault = false;
#else
  static constexpr bool kPoolByDefault = true;
#endif
#else
  static constexpr bool kPoolByDefault = true;
#endif

  explicit constexpr TBlockPool(std::size_t blockSize, bool pooling = kPoolByDefault)
      : size_(blockSize), stride_(RoundUp(blockSize)), pooling_(pooling) {}
  TBlockPool(const TBlockPool&) = delete;
  TBlockPool& operator=(const TBlockPool&) = delete;

  // A block for an object of `size` bytes: pooled when `size` is the
  // pool's, else from the heap.
  void* Allocate(std::size_t size);
  // Takes back what Allocate gave for `size`; null is ignored.
  void Free(void* p, std::size_t size) noexcept;

  // The pooled blocks handed out and not freed.
  std::size_t LiveBlocks() const;
  // The slabs the pool holds.
  std::size_t Slabs() const;

 private:
  struct TFreeBlock {
    TFreeBlock* next;
  };
  struct TSlab {
    TSlab* next;
    std::size_t bytes;  // the whole slab, this header included
  };
  static constexpr std::size_t kAlign = alignof(std::max_align_t);
  // The first slab's blocks; each new slab doubles, up to kMaxSlabBytes.
  static constexpr std::size_t kFirstSlabBlocks = 32;
  static constexpr std::size_t kMaxSlabBytes = std::size_t{2} << 20;

  static constexpr std::size_t RoundUp(std::size_t n) {
    const std::size_t min = n < sizeof(TFreeBlock) ? sizeof(TFreeBlock) : n;
    return (min + kAlign - 1) / kAlign * kAlign;
  }
  // A new slab, its blocks left untouched for the bump pointer.
  void AddSlab();
  // Every slab back to the heap; the pool starts over.
  void ReleaseSlabs() noexcept;

  const std::size_t size_;    // what the class asks for
  const std::size_t stride_;  // what a block takes in its slab, aligned
  const bool pooling_;
  mutable std::mutex mutex_;
  TFreeBlock* free_ = nullptr;
  TSlab* slabs_ = nullptr;
  std::size_t slabCount_ = 0;
  char* next_ = nullptr;  // the newest slab's untouched blocks
  char* end_ = nullptr;
  std::size_t nextSlabBlocks_ = kFirstSlabBlocks;
  std::size_t live_ = 0;
};

}  // namespace qor
