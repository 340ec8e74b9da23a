#include "class_a/standard/CLockedCount.h"

#include "class_a/standard/CGuard.h"
#include "class_a/standard/CNRMutex.h"

namespace qvt {

struct CLockedCount::Block {
  std::uint32_t count = 0;
  CNRMutex mutex;
};

CLockedCount::Block* CLockedCount::create() {
  return new Block();
}

void CLockedCount::acquire(Block* block) {
  CGuard<CNRMutex> guard(block->mutex);
  ++block->count;
}

bool CLockedCount::release(Block* block) noexcept {
  bool last = false;
  {
    CGuard<CNRMutex> guard(block->mutex);
    last = --block->count == 0;
  }
  // At 0 no other pointer refers to the block any more.
  if (last) delete block;
  return last;
}

std::uint32_t CLockedCount::count(Block* block) {
  CGuard<CNRMutex> guard(block->mutex);
  return block->count;
}

}  // namespace qvt
