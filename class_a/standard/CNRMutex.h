// CNRMutex: the framework's non-recursive mutex, built on ACE's ACE_Mutex.
//
// A thread that acquires it twice without releasing deadlocks; use CMutex where
// the same thread may lock again. Pair acquire() and release() through
// CGuard<CNRMutex>.
#pragma once

#include <ace/Mutex.h>

namespace qvt {

class CNRMutex {
 public:
  CNRMutex() = default;
  CNRMutex(const CNRMutex&) = delete;
  CNRMutex& operator=(const CNRMutex&) = delete;
  ~CNRMutex() = default;

  // acquire: waits until the mutex is free and takes it. Raises "Cannot
  // acquire mutex." with the system's reason when the lock fails.
  void acquire();
  // release: gives the mutex back; the caller must hold it.
  void release() noexcept;

 private:
  ACE_Mutex mutex_;
};

}  // namespace qvt
