// CMTOwnerPolicy: thread-safe shared ownership; the last pointer deletes the
// pointee. Exceptions on the exception stack are held this way.
#pragma once

#include "class_a/standard/CLockedOwnershipPolicy.h"

namespace qvt {

template <class T>
class CMTOwnerPolicy : public CLockedOwnershipPolicy<T, 1> {
 protected:
  CMTOwnerPolicy() = default;
  CMTOwnerPolicy(const CMTOwnerPolicy&) = default;
  template <class U>
  CMTOwnerPolicy(const CMTOwnerPolicy<U>& other) : CLockedOwnershipPolicy<T, 1>(other) {}
  CMTOwnerPolicy& operator=(const CMTOwnerPolicy&) = default;
  ~CMTOwnerPolicy() = default;
};

}  // namespace qvt
