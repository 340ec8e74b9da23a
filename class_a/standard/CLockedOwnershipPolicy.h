// CLockedOwnershipPolicy: thread-safe counted ownership for CGeneralPtr.
//
// All copies of a pointer share one CLockedCount block (a count and its
// mutex). With Owning = 1 the last release deletes the pointee
// (CMTOwnerPolicy); with Owning = 0 it only frees the block
// (CMTNotOwnerPolicy). Protocol as in CSTOwnerPolicy.h.
#pragma once

#include <cstdint>
#include <utility>

#include "class_a/standard/CLockedCount.h"

namespace qvt {

template <class T, int Owning>
class CLockedOwnershipPolicy {
 public:
  // useCount: the number of pointers sharing the pointee; 0 when null.
  std::uint32_t useCount() const { return block_ ? CLockedCount::count(block_) : 0; }

 protected:
  CLockedOwnershipPolicy() = default;
  CLockedOwnershipPolicy(const CLockedOwnershipPolicy&) = default;
  template <class U>
  CLockedOwnershipPolicy(const CLockedOwnershipPolicy<U, Owning>& other) : block_(other.block_) {}
  CLockedOwnershipPolicy& operator=(const CLockedOwnershipPolicy&) = default;
  ~CLockedOwnershipPolicy() = default;

  // _bind: a block with count 0. If it cannot be allocated an owning policy
  // deletes the pointee it was handed and bad_alloc passes on.
  void _bind(T* pointee) {
    try {
      block_ = CLockedCount::create();
    } catch (...) {
      if (Owning) delete pointee;
      throw;
    }
  }
  void _acquire() { CLockedCount::acquire(block_); }
  void _release(T* pointee) noexcept {
    if (CLockedCount::release(block_) && Owning) delete pointee;
  }
  void _forget() noexcept { block_ = nullptr; }
  void _swap(CLockedOwnershipPolicy& other) noexcept { std::swap(block_, other.block_); }

 private:
  template <class, int>
  friend class CLockedOwnershipPolicy;
  CLockedCount::Block* block_ = nullptr;
};

}  // namespace qvt
