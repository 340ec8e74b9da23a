#include "integrations/kea/CFailureThrottle.h"

namespace qvt::kea {

bool CFailureThrottle::admit(Clock::time_point now, std::uint64_t& held) {
  const Clock::rep at = now.time_since_epoch().count();
  Clock::rep next = next_.load(std::memory_order_relaxed);
  // Of several threads failing at once, the one that moves next_ logs.
  while (at >= next) {
    if (next_.compare_exchange_weak(next, at + interval_, std::memory_order_relaxed)) {
      held = held_.exchange(0, std::memory_order_relaxed);
      return true;
    }
  }
  held_.fetch_add(1, std::memory_order_relaxed);
  return false;
}

}  // namespace qvt::kea
