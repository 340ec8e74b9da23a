// CGuard: holds a lock for the lifetime of a scope.
//
//   CGuard<CNRMutex> guard(mutex);  // acquired here, released at scope end
#pragma once

namespace qvt {

template <class Lock>
class CGuard {
 public:
  // Acquires lock (and passes on what its acquire() raises).
  explicit CGuard(Lock& lock) : lock_(lock) { lock_.acquire(); }
  CGuard(const CGuard&) = delete;
  CGuard& operator=(const CGuard&) = delete;
  ~CGuard() { lock_.release(); }

 private:
  Lock& lock_;
};

}  // namespace qvt
