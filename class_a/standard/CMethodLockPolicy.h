// CMethodLockPolicy: every call through "->" runs under a CMutex.
//
// All copies of one pointer share the mutex (it is created when the pointer
// is bound to a non-null object), so `p->f()` on any copy waits for a call in
// progress on another. The mutex is recursive: a call may reach the object
// again through the pointer on the same thread. A reference kept after the
// expression ends is not protected.
#pragma once

#include <memory>
#include <utility>

#include "class_a/standard/CMutex.h"

namespace qvt {

template <class T>
class CMethodLockPolicy {
 public:
  // _lockMethod: acquires the shared mutex (raises what CMutex raises).
  void _lockMethod() const {
    if (mutex_) mutex_->acquire();
  }
  void _unlockMethod() const noexcept {
    if (mutex_) mutex_->release();
  }

 protected:
  CMethodLockPolicy() = default;
  CMethodLockPolicy(const CMethodLockPolicy&) = default;
  template <class U>
  CMethodLockPolicy(const CMethodLockPolicy<U>& other) : mutex_(other.mutex_) {}
  CMethodLockPolicy& operator=(const CMethodLockPolicy&) = default;
  ~CMethodLockPolicy() = default;

  void _bind(T*) { mutex_ = std::make_shared<CMutex>(); }
  void _unbind() noexcept { mutex_.reset(); }
  void _swap(CMethodLockPolicy& other) noexcept { std::swap(mutex_, other.mutex_); }

 private:
  template <class>
  friend class CMethodLockPolicy;
  std::shared_ptr<CMutex> mutex_;
};

}  // namespace qvt
