// CMTNotOwnerPolicy: a thread-safe count that never deletes the pointee; the
// object's owner keeps it alive while pointers to it exist.
#pragma once

#include "class_a/standard/CLockedOwnershipPolicy.h"

namespace qvt {

template <class T>
class CMTNotOwnerPolicy : public CLockedOwnershipPolicy<T, 0> {
 protected:
  CMTNotOwnerPolicy() = default;
  CMTNotOwnerPolicy(const CMTNotOwnerPolicy&) = default;
  template <class U>
  CMTNotOwnerPolicy(const CMTNotOwnerPolicy<U>& other) : CLockedOwnershipPolicy<T, 0>(other) {}
  CMTNotOwnerPolicy& operator=(const CMTNotOwnerPolicy&) = default;
  ~CMTNotOwnerPolicy() = default;
};

}  // namespace qvt
