// CNoObjectLockPolicy: the pointee as a whole cannot be locked;
// lockObject() and unlockObject() do nothing.
#pragma once

namespace qvt {

template <class T>
class CNoObjectLockPolicy {
 public:
  void lockObject() const noexcept {}
  void unlockObject() const noexcept {}

 protected:
  CNoObjectLockPolicy() = default;
  CNoObjectLockPolicy(const CNoObjectLockPolicy&) = default;
  template <class U>
  CNoObjectLockPolicy(const CNoObjectLockPolicy<U>&) {}
  CNoObjectLockPolicy& operator=(const CNoObjectLockPolicy&) = default;
  ~CNoObjectLockPolicy() = default;

  void _bind(T*) noexcept {}
  void _unbind() noexcept {}
  void _swap(CNoObjectLockPolicy&) noexcept {}
};

}  // namespace qvt
