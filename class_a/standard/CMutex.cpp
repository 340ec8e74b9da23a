#include "class_a/standard/CMutex.h"

#include "class_a/standard/Fail.h"

namespace qvt {

CMutex::CMutex() {
  pthread_mutexattr_t attributes;
  int result = pthread_mutexattr_init(&attributes);
  if (result == 0) {
    result = pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    if (result == 0) result = pthread_mutex_init(&mutex_, &attributes);
    pthread_mutexattr_destroy(&attributes);
  }
  // pthread functions return their error code instead of setting errno.
  if (result != 0) {
    failSystem(CRaiser::of(*this), "standard", "CMutex::CMutex", "Cannot create mutex.",
               static_cast<std::uint32_t>(result));
  }
}

CMutex::~CMutex() {
  pthread_mutex_destroy(&mutex_);
}

void CMutex::acquire() {
  const int result = pthread_mutex_lock(&mutex_);
  if (result != 0) {
    failSystem(CRaiser::of(*this), "standard", "CMutex::acquire", "Cannot acquire mutex.",
               static_cast<std::uint32_t>(result));
  }
}

void CMutex::release() noexcept {
  pthread_mutex_unlock(&mutex_);
}

}  // namespace qvt
