// CMutex: an operating-system mutex (a recursive POSIX mutex).
//
// The owning thread may acquire it again; each acquire() needs its release().
// It serialises the calls made through a CGeneralPtr with CMethodLockPolicy,
// where a call may reach the same object again through another pointer.
#pragma once

#include <pthread.h>

namespace qvt {

class CMutex {
 public:
  // Creates the mutex, not owned. Raises "Cannot create mutex." with the
  // system's reason when the system refuses.
  CMutex();
  CMutex(const CMutex&) = delete;
  CMutex& operator=(const CMutex&) = delete;
  ~CMutex();

  // acquire: waits without limit until the mutex is free (or already held by
  // this thread) and takes it. Raises "Cannot acquire mutex." on failure.
  void acquire();
  // release: gives one acquisition back; the caller must hold the mutex.
  void release() noexcept;

 private:
  pthread_mutex_t mutex_;
};

}  // namespace qvt
