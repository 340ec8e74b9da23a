// CSTOwnerPolicy: single-thread shared ownership for CGeneralPtr.
//
// All copies of a pointer share one separately allocated 32-bit count; the
// last one to let go deletes the pointee. The count is not protected: keep
// such pointers inside one thread (or under their owner's lock).
//
// The ownership policies share one protocol with CGeneralPtr: _bind prepares
// the count for a new pointee (count 0), _acquire adds a reference, _release
// drops one and at zero frees the count (and, for an owner, the pointee),
// _swap exchanges the shared state of two pointers.
#pragma once

#include <cstdint>
#include <utility>

namespace qvt {

template <class T>
class CSTOwnerPolicy {
 public:
  // useCount: the number of pointers sharing the pointee; 0 when null.
  std::uint32_t useCount() const { return count_ ? *count_ : 0; }

 protected:
  CSTOwnerPolicy() = default;
  CSTOwnerPolicy(const CSTOwnerPolicy&) = default;
  template <class U>
  CSTOwnerPolicy(const CSTOwnerPolicy<U>& other) : count_(other.count_) {}
  CSTOwnerPolicy& operator=(const CSTOwnerPolicy&) = default;
  ~CSTOwnerPolicy() = default;

  // _bind: a count of 0 for a non-null pointee. If the count cannot be
  // allocated the pointee is deleted (it was handed over) and bad_alloc
  // passes on.
  void _bind(T* pointee) {
    try {
      count_ = new std::uint32_t(0);
    } catch (...) {
      delete pointee;
      throw;
    }
  }
  void _acquire() noexcept { ++*count_; }
  void _release(T* pointee) noexcept {
    if (--*count_ == 0) _destroy(count_, pointee);
  }
  void _forget() noexcept { count_ = nullptr; }
  void _swap(CSTOwnerPolicy& other) noexcept { std::swap(count_, other.count_); }

 private:
  template <class>
  friend class CSTOwnerPolicy;
  // _destroy: the last owner's clean-up. Out of line: the common path stays
  // small, and GCC's use-after-free check no longer takes one owner's freeing
  // branch as run before another owner's decrement of the same count.
  [[gnu::noinline]] static void _destroy(std::uint32_t* count, T* pointee) noexcept {
    delete count;
    delete pointee;
  }
  std::uint32_t* count_ = nullptr;
};

}  // namespace qvt
