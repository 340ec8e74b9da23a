// CObjectLockPolicy: the pointee as a whole can be locked by its users.
//
// All copies of one pointer share a recursive CMutex (created when the pointer
// is bound to a non-null object). Hold it over a series of calls:
//
//   ptr.lockObject();  ... several calls ...  ptr.unlockObject();
//
// Calls through "->" do not take it by themselves.
#pragma once

#include <memory>
#include <utility>

#include "class_a/standard/CMutex.h"

namespace qvt {

template <class T>
class CObjectLockPolicy {
 public:
  // lockObject: acquires the object's mutex; nothing for a null pointer.
  void lockObject() const {
    if (mutex_) mutex_->acquire();
  }
  // unlockObject: releases one lockObject().
  void unlockObject() const noexcept {
    if (mutex_) mutex_->release();
  }

 protected:
  CObjectLockPolicy() = default;
  CObjectLockPolicy(const CObjectLockPolicy&) = default;
  template <class U>
  CObjectLockPolicy(const CObjectLockPolicy<U>& other) : mutex_(other.mutex_) {}
  CObjectLockPolicy& operator=(const CObjectLockPolicy&) = default;
  ~CObjectLockPolicy() = default;

  void _bind(T*) { mutex_ = std::make_shared<CMutex>(); }
  void _unbind() noexcept { mutex_.reset(); }
  void _swap(CObjectLockPolicy& other) noexcept { std::swap(mutex_, other.mutex_); }

 private:
  template <class>
  friend class CObjectLockPolicy;
  std::shared_ptr<CMutex> mutex_;
};

}  // namespace qvt
