#include "AllocationCounter.h"

#include <malloc.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace keabench {
namespace {

thread_local CHeapUse tCounters;

void* allocate(std::size_t size, std::size_t alignment) {
  if (size == 0) size = 1;
  void* block = nullptr;
  if (alignment <= alignof(std::max_align_t)) {
    block = std::malloc(size);
  } else if (::posix_memalign(&block, alignment, size) != 0) {
    block = nullptr;
  }
  if (block != nullptr) {
    tCounters.liveBytes += static_cast<std::int64_t>(::malloc_usable_size(block));
    ++tCounters.allocations;
  }
  return block;
}

void* allocateOrThrow(std::size_t size, std::size_t alignment) {
  void* block = allocate(size, alignment);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void release(void* block) noexcept {
  if (block == nullptr) return;
  tCounters.liveBytes -= static_cast<std::int64_t>(::malloc_usable_size(block));
  std::free(block);
}

constexpr std::size_t kDefault = alignof(std::max_align_t);

}  // namespace

CHeapUse heapUse() noexcept {
  return tCounters;
}

}  // namespace keabench

// The replacements are exported (the build hides symbols by default), so
// that the shared libraries the program loads (Kea's) allocate through them
// as well.
#pragma GCC visibility push(default)

using keabench::allocate;
using keabench::allocateOrThrow;
using keabench::kDefault;
using keabench::release;

void* operator new(std::size_t size) {
  return allocateOrThrow(size, kDefault);
}
void* operator new[](std::size_t size) {
  return allocateOrThrow(size, kDefault);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return allocate(size, kDefault);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return allocate(size, kDefault);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return allocateOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return allocateOrThrow(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return allocate(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return allocate(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* block) noexcept {
  release(block);
}
void operator delete[](void* block) noexcept {
  release(block);
}
void operator delete(void* block, std::size_t) noexcept {
  release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  release(block);
}
void operator delete(void* block, std::align_val_t) noexcept {
  release(block);
}
void operator delete[](void* block, std::align_val_t) noexcept {
  release(block);
}
void operator delete(void* block, std::size_t, std::align_val_t) noexcept {
  release(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
  release(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  release(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  release(block);
}

#pragma GCC visibility pop
