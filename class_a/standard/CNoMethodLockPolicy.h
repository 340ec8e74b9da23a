// CNoMethodLockPolicy: calls through a CGeneralPtr are not serialised.
//
// The method lock policies give the proxy _lockMethod and _unlockMethod, which
// it calls around one call through "->".
#pragma once

namespace qvt {

template <class T>
class CNoMethodLockPolicy {
 public:
  void _lockMethod() const noexcept {}
  void _unlockMethod() const noexcept {}

 protected:
  CNoMethodLockPolicy() = default;
  CNoMethodLockPolicy(const CNoMethodLockPolicy&) = default;
  template <class U>
  CNoMethodLockPolicy(const CNoMethodLockPolicy<U>&) {}
  CNoMethodLockPolicy& operator=(const CNoMethodLockPolicy&) = default;
  ~CNoMethodLockPolicy() = default;

  void _bind(T*) noexcept {}
  void _unbind() noexcept {}
  void _swap(CNoMethodLockPolicy&) noexcept {}
};

}  // namespace qvt
