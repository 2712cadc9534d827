#include "platform/qorBlockPool.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define QOR_POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QOR_POOL_ASAN 1
#endif
#endif

#if defined(QOR_POOL_ASAN)
#include <sanitizer/asan_interface.h>
#define QOR_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define QOR_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define QOR_POISON(p, n) ((void)(p), (void)(n))
#define QOR_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace qor {

void* TBlockPool::Allocate(std::size_t size) {
  if (!pooling_ || size != size_) return ::operator new(size);
  std::lock_guard<std::mutex> lock(mutex_);
  void* block;
  if (free_) {
    block = free_;
    QOR_UNPOISON(block, stride_);
    free_ = free_->next;
  } else {
    if (next_ == end_) AddSlab();
    block = next_;
    next_ += stride_;
    QOR_UNPOISON(block, stride_);
  }
  ++live_;
  return block;
}

void TBlockPool::Free(void* p, std::size_t size) noexcept {
  if (!p) return;
  if (!pooling_ || size != size_) {
    ::operator delete(p);
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  if (--live_ == 0) {
    // The last block: the slabs go back whole, whatever the free list holds.
    ReleaseSlabs();
    return;
  }
  auto* f = static_cast<TFreeBlock*>(p);
  f->next = free_;
  free_ = f;
  QOR_POISON(p, stride_);
}

std::size_t TBlockPool::LiveBlocks() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return live_;
}

std::size_t TBlockPool::Slabs() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return slabCount_;
}

void TBlockPool::AddSlab() {
  // The header is rounded so that the blocks after it stay aligned.
  constexpr std::size_t header = (sizeof(TSlab) + kAlign - 1) / kAlign * kAlign;
  std::size_t blocks = nextSlabBlocks_;
  std::size_t bytes = header + blocks * stride_;
  const bool whole = bytes >= kMaxSlabBytes;
  if (whole) {
    bytes = kMaxSlabBytes;
    blocks = (bytes - header) / stride_;
    if (blocks == 0) {
      blocks = 1;
      bytes = header + stride_;
    }
  } else {
    nextSlabBlocks_ *= 2;
  }
  // Plain pages: large pages were tried, and on a virtual machine that hands
  // freed memory back to its host each new large page is cleared by the
  // host, at a cost per page that grew with the size of the schema.
  char* raw = static_cast<char*>(::operator new(bytes));
  auto* slab = reinterpret_cast<TSlab*>(raw);
  slab->next = slabs_;
  slab->bytes = bytes;
  slabs_ = slab;
  ++slabCount_;
  next_ = raw + header;
  end_ = next_ + blocks * stride_;
  QOR_POISON(next_, blocks * stride_);
}

void TBlockPool::ReleaseSlabs() noexcept {
  while (slabs_) {
    TSlab* s = slabs_;
    slabs_ = s->next;
    // The heap takes the slab back in the state it gave it.
    QOR_UNPOISON(s, s->bytes);
    ::operator delete(s);
  }
  free_ = nullptr;
  next_ = end_ = nullptr;
  slabCount_ = 0;
  nextSlabBlocks_ = kFirstSlabBlocks;
}

}  // namespace qor
