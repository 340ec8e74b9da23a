// CSTNotOwnerPolicy: a plain observer for CGeneralPtr.
//
// Keeps no count and never deletes the pointee; whoever owns the object must
// keep it alive while pointers to it exist. useCount() is always 0.
#pragma once

#include <cstdint>

namespace qvt {

template <class T>
class CSTNotOwnerPolicy {
 public:
  // useCount: always 0, as no count is kept.
  std::uint32_t useCount() const { return 0; }

 protected:
  CSTNotOwnerPolicy() = default;
  CSTNotOwnerPolicy(const CSTNotOwnerPolicy&) = default;
  template <class U>
  CSTNotOwnerPolicy(const CSTNotOwnerPolicy<U>&) {}
  CSTNotOwnerPolicy& operator=(const CSTNotOwnerPolicy&) = default;
  ~CSTNotOwnerPolicy() = default;

  void _bind(T*) noexcept {}
  void _acquire() noexcept {}
  void _release(T*) noexcept {}
  void _forget() noexcept {}
  void _swap(CSTNotOwnerPolicy&) noexcept {}
};

}  // namespace qvt
