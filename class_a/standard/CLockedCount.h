// CLockedCount: the shared block of the multi-thread ownership policies.
//
// A block holds a 32-bit count and a CNRMutex; every change of the count is
// made under that mutex, so copies of one pointer may be made and dropped on
// any thread. A block starts with a count of 0 and is freed by the release
// that brings the count back to 0. The block is defined in the source file, so
// CGeneralPtr's headers need no ACE include.
#pragma once

#include <cstdint>

namespace qvt {

class CLockedCount {
 public:
  struct Block;

  // create: a new block with count 0 (bad_alloc when memory is short).
  static Block* create();
  // acquire: adds one reference.
  static void acquire(Block* block);
  // release: drops one reference; at 0 the block is freed and true returned.
  static bool release(Block* block) noexcept;
  // count: the current count.
  static std::uint32_t count(Block* block);
};

}  // namespace qvt
