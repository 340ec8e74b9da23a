// CLockProxy: what CGeneralPtr's "->" returns.
//
// The proxy lives for one expression: it takes the method lock of the pointer
// when it is made and gives it back when it is destroyed, so `p->f()` runs f
// under CMethodLockPolicy's mutex (and without any lock under
// CNoMethodLockPolicy, where the proxy compiles away).
#pragma once

namespace qvt {

template <class T, template <class> class MethodLock>
class CLockProxy {
 public:
  CLockProxy(T* pointee, const MethodLock<T>& lock) : pointee_(pointee), lock_(lock) {
    lock_._lockMethod();
  }
  CLockProxy(const CLockProxy&) = delete;
  CLockProxy& operator=(const CLockProxy&) = delete;
  ~CLockProxy() { lock_._unlockMethod(); }

  T* operator->() const noexcept { return pointee_; }
  T& operator*() const noexcept { return *pointee_; }

 private:
  T* pointee_;
  const MethodLock<T>& lock_;
};

}  // namespace qvt
