#include "AllocationCounter.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace qvt::bench {
namespace {

thread_local CHeapUse tCounters;

constexpr std::size_t kDefault = alignof(std::max_align_t);

// Each block is preceded by a header of max(alignment, kDefault) bytes whose
// last word holds the size asked for, so that delete can count it.
std::size_t headerSize(std::size_t alignment) {
  return alignment > kDefault ? alignment : kDefault;
}

void* allocate(std::size_t size, std::size_t alignment) {
  const std::size_t header = headerSize(alignment);
  void* raw = nullptr;
  if (alignment <= kDefault) {
    raw = std::malloc(size + header);
  } else if (::posix_memalign(&raw, alignment, size + header) != 0) {
    raw = nullptr;
  }
  if (raw == nullptr) return nullptr;
  auto* block = static_cast<unsigned char*>(raw) + header;
  std::memcpy(block - sizeof size, &size, sizeof size);
  tCounters.liveBytes += static_cast<std::int64_t>(size);
  ++tCounters.allocations;
  return block;
}

void* allocateOrThrow(std::size_t size, std::size_t alignment) {
  void* block = allocate(size, alignment);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void release(void* block, std::size_t alignment) noexcept {
  if (block == nullptr) return;
  auto* bytes = static_cast<unsigned char*>(block);
  std::size_t size = 0;
  std::memcpy(&size, bytes - sizeof size, sizeof size);
  tCounters.liveBytes -= static_cast<std::int64_t>(size);
  std::free(bytes - headerSize(alignment));
}

void release(void* block) noexcept {
  release(block, kDefault);
}

}  // namespace

CHeapUse heapUse() noexcept {
  return tCounters;
}

}  // namespace qvt::bench

// The replacements are exported (the build hides symbols by default), so
// that the shared libraries the program loads (Kea's) allocate through them
// as well.
#pragma GCC visibility push(default)

using qvt::bench::allocate;
using qvt::bench::allocateOrThrow;
using qvt::bench::kDefault;
using qvt::bench::release;

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
void operator delete(void* block, std::align_val_t alignment) noexcept {
  release(block, static_cast<std::size_t>(alignment));
}
void operator delete[](void* block, std::align_val_t alignment) noexcept {
  release(block, static_cast<std::size_t>(alignment));
}
void operator delete(void* block, std::size_t, std::align_val_t alignment) noexcept {
  release(block, static_cast<std::size_t>(alignment));
}
void operator delete[](void* block, std::size_t, std::align_val_t alignment) noexcept {
  release(block, static_cast<std::size_t>(alignment));
}
void operator delete(void* block, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  release(block, static_cast<std::size_t>(alignment));
}
void operator delete[](void* block, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  release(block, static_cast<std::size_t>(alignment));
}

#pragma GCC visibility pop
