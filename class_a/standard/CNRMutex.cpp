#include "class_a/standard/CNRMutex.h"

#include "class_a/standard/Fail.h"

namespace qvt {

void CNRMutex::acquire() {
  if (mutex_.acquire() != 0) {
    failSystem(CRaiser::of(*this), "standard", "CNRMutex::acquire", "Cannot acquire mutex.");
  }
}

void CNRMutex::release() noexcept {
  mutex_.release();
}

}  // namespace qvt
