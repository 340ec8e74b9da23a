// CGeneralPtr: the framework's policy-based smart pointer.
//
// The pointer inherits its behaviour from five policies: who owns and deletes
// the pointee and whether the count is thread-safe (Ownership), whether each
// call through "->" is serialised (MethodLock), whether the pointee as a whole
// can be locked (ObjectLock), how a deep copy is made (Copy), and what "->"
// returns (Proxy). The default is a single-thread counted owner:
//
//   CGeneralPtr<COption> option(new COption(...));  // count 1
//   CGeneralPtr<COption> copy = option;             // count 2, same object
//   option->string();                               // raises on a null pointer
//
//   using CExceptionPtr = CGeneralPtr<CException, CMTOwnerPolicy, CNoMethodLockPolicy,
//                                     CNoObjectLockPolicy, CConstructorDeepCopyPolicy,
//                                     CLockProxy>;   // shared across threads
//
// Ownership policies: CSTOwnerPolicy, CMTOwnerPolicy, CMTNotOwnerPolicy,
// CSTNotOwnerPolicy. Method locks: CNoMethodLockPolicy, CMethodLockPolicy.
// Object locks: CNoObjectLockPolicy, CObjectLockPolicy. Copy:
// CConstructorDeepCopyPolicy. Proxy: CLockProxy.
//
// Binding a pointer allocates only the ownership count (and, for the locking
// policies, their shared mutex); copies and releases allocate nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "class_a/standard/CConstructorDeepCopyPolicy.h"
#include "class_a/standard/CLockProxy.h"
#include "class_a/standard/CMTNotOwnerPolicy.h"
#include "class_a/standard/CMTOwnerPolicy.h"
#include "class_a/standard/CMethodLockPolicy.h"
#include "class_a/standard/CNoMethodLockPolicy.h"
#include "class_a/standard/CNoObjectLockPolicy.h"
#include "class_a/standard/CObjectLockPolicy.h"
#include "class_a/standard/CSTNotOwnerPolicy.h"
#include "class_a/standard/CSTOwnerPolicy.h"
#include "class_a/standard/Fail.h"

namespace qvt {

// CGeneralPtrModule: the module named by a pointer's dereference errors.
// Modules specialise it for their pointee types:
//   template <> struct CGeneralPtrModule<CExpEval> { static const char* name() { return "exp_eval";
//   } };
template <class T>
struct CGeneralPtrModule {
  static const char* name() { return "standard"; }
};

template <class T, template <class> class Ownership = CSTOwnerPolicy,
          template <class> class MethodLock = CNoMethodLockPolicy,
          template <class> class ObjectLock = CNoObjectLockPolicy,
          template <class> class Copy = CConstructorDeepCopyPolicy,
          template <class, template <class> class> class Proxy = CLockProxy>
class CGeneralPtr : public Ownership<T>,
                    public MethodLock<T>,
                    public ObjectLock<T>,
                    public Copy<T> {
 public:
  using element_type = T;
  using ProxyType = Proxy<T, MethodLock>;

  // A null pointer; nothing is allocated.
  CGeneralPtr() noexcept = default;
  CGeneralPtr(std::nullptr_t) noexcept {}  // NOLINT(runtime/explicit)

  // Binds to pointee (count 1). An owning pointer takes the object over: it is
  // deleted with the last copy, and also when binding fails (bad_alloc).
  explicit CGeneralPtr(T* pointee) {
    if (pointee == nullptr) return;
    Ownership<T>::_bind(pointee);
    pointee_ = pointee;
    Ownership<T>::_acquire();
    try {
      MethodLock<T>::_bind(pointee);
      ObjectLock<T>::_bind(pointee);
      Copy<T>::_bind(pointee);
    } catch (...) {
      release();
      throw;
    }
  }

  // Shares the pointee (count + 1).
  CGeneralPtr(const CGeneralPtr& other)
      : Ownership<T>(other),
        MethodLock<T>(other),
        ObjectLock<T>(other),
        Copy<T>(other),
        pointee_(other.pointee_) {
    if (pointee_ != nullptr) Ownership<T>::_acquire();
  }

  // Shares the pointee of a pointer to a derived type (count + 1). T needs a
  // virtual destructor when this pointer may delete it.
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  CGeneralPtr(const CGeneralPtr<U, Ownership, MethodLock, ObjectLock, Copy, Proxy>& other)
      : Ownership<T>(other),
        MethodLock<T>(other),
        ObjectLock<T>(other),
        Copy<T>(other),
        pointee_(other.get()) {
    static_assert(std::has_virtual_destructor_v<T>,
                  "a pointer to a base class needs a virtual destructor in the base");
    if (pointee_ != nullptr) Ownership<T>::_acquire();
  }

  // Takes the other pointer's share; the other becomes null. The count is
  // unchanged.
  CGeneralPtr(CGeneralPtr&& other) noexcept : CGeneralPtr() { swap(other); }

  // Assignment: nothing happens when both point to the same object; otherwise
  // the new object is shared first, then the old one released.
  CGeneralPtr& operator=(const CGeneralPtr& other) {
    if (pointee_ == other.pointee_) return *this;
    CGeneralPtr copy(other);
    swap(copy);
    return *this;
  }
  CGeneralPtr& operator=(CGeneralPtr&& other) noexcept {
    if (this == &other) return *this;
    CGeneralPtr taken(std::move(other));
    swap(taken);
    return *this;
  }
  CGeneralPtr& operator=(std::nullptr_t) noexcept {
    release();
    return *this;
  }

  ~CGeneralPtr() { release(); }

  // release: drops this pointer's share (the last owner deletes the object)
  // and becomes null.
  void release() noexcept {
    if (pointee_ == nullptr) return;
    T* const pointee = pointee_;
    pointee_ = nullptr;
    Copy<T>::_unbind();
    ObjectLock<T>::_unbind();
    MethodLock<T>::_unbind();
    Ownership<T>::_release(pointee);
    Ownership<T>::_forget();
  }

  // operator->: a proxy to the object, holding the method lock for the call.
  // Raises "Cannot dereference pointer." ("Pointee is null.") when null.
  ProxyType operator->() const {
    if (pointee_ == nullptr) _failNull("CGeneralPtr::operator->");
    return ProxyType(pointee_, *this);
  }
  // operator*: the object itself (no method lock is held). Raises "Cannot
  // dereference pointer." ("Pointee is null.") when null.
  T& operator*() const {
    if (pointee_ == nullptr) _failNull("CGeneralPtr::operator*");
    return *pointee_;
  }

  // get: the raw address, possibly null; the pointer keeps its ownership.
  T* get() const noexcept { return pointee_; }
  bool isNull() const noexcept { return pointee_ == nullptr; }
  explicit operator bool() const noexcept { return pointee_ != nullptr; }

  // deepCopy: a new pointer owning a copy of the object made by the copy
  // policy; null for a null pointer.
  CGeneralPtr deepCopy() const {
    return pointee_ == nullptr ? CGeneralPtr() : CGeneralPtr(Copy<T>::_copyOf(*pointee_));
  }

  void swap(CGeneralPtr& other) noexcept {
    Ownership<T>::_swap(other);
    MethodLock<T>::_swap(other);
    ObjectLock<T>::_swap(other);
    Copy<T>::_swap(other);
    std::swap(pointee_, other.pointee_);
  }

 private:
  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] void _failNull(const char* operation) const {
    fail(CRaiser::of(*this), CGeneralPtrModule<std::remove_cv_t<T>>::name(), operation,
         "Cannot dereference pointer.", "Pointee is null.");
  }

  T* pointee_ = nullptr;
};

// Two pointers are equal when they point to the same object (or are both null).
template <class T1, template <class> class O1, template <class> class M1, template <class> class L1,
          template <class> class C1, template <class, template <class> class> class P1, class T2,
          template <class> class O2, template <class> class M2, template <class> class L2,
          template <class> class C2, template <class, template <class> class> class P2>
bool operator==(const CGeneralPtr<T1, O1, M1, L1, C1, P1>& a,
                const CGeneralPtr<T2, O2, M2, L2, C2, P2>& b) noexcept {
  return a.get() == b.get();
}
template <class T1, template <class> class O1, template <class> class M1, template <class> class L1,
          template <class> class C1, template <class, template <class> class> class P1, class T2,
          template <class> class O2, template <class> class M2, template <class> class L2,
          template <class> class C2, template <class, template <class> class> class P2>
bool operator!=(const CGeneralPtr<T1, O1, M1, L1, C1, P1>& a,
                const CGeneralPtr<T2, O2, M2, L2, C2, P2>& b) noexcept {
  return a.get() != b.get();
}

template <class T, template <class> class O, template <class> class M, template <class> class L,
          template <class> class C, template <class, template <class> class> class P>
bool operator==(const CGeneralPtr<T, O, M, L, C, P>& a, std::nullptr_t) noexcept {
  return a.isNull();
}
template <class T, template <class> class O, template <class> class M, template <class> class L,
          template <class> class C, template <class, template <class> class> class P>
bool operator!=(const CGeneralPtr<T, O, M, L, C, P>& a, std::nullptr_t) noexcept {
  return !a.isNull();
}

// makeGeneralPtr: a single-thread counted owner of a new T(args...).
template <class T, class... Args>
CGeneralPtr<T> makeGeneralPtr(Args&&... args) {
  return CGeneralPtr<T>(new T(std::forward<Args>(args)...));
}

}  // namespace qvt
