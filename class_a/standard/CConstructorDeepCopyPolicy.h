// CConstructorDeepCopyPolicy: a CGeneralPtr's deep copy is made with the
// pointee's copy constructor (CGeneralPtr::deepCopy).
#pragma once

namespace qvt {

template <class T>
class CConstructorDeepCopyPolicy {
 public:
  // _copyOf: a new heap copy of object, owned by the caller.
  static T* _copyOf(const T& object) { return new T(object); }

 protected:
  CConstructorDeepCopyPolicy() = default;
  CConstructorDeepCopyPolicy(const CConstructorDeepCopyPolicy&) = default;
  template <class U>
  CConstructorDeepCopyPolicy(const CConstructorDeepCopyPolicy<U>&) {}
  CConstructorDeepCopyPolicy& operator=(const CConstructorDeepCopyPolicy&) = default;
  ~CConstructorDeepCopyPolicy() = default;

  void _bind(T*) noexcept {}
  void _unbind() noexcept {}
  void _swap(CConstructorDeepCopyPolicy&) noexcept {}
};

}  // namespace qvt
