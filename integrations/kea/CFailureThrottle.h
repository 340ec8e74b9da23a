// CFailureThrottle: lets through at most one log message per interval for
// one source of failures (a class, an option, packets that cannot be
// decoded), counting the failures it held back so the next message can say
// how many there were:
//
//   CFailureThrottle throttle;                      // one minute
//   std::uint64_t held = 0;
//   if (throttle.admit(std::chrono::steady_clock::now(), held)) log(..., held);
//
// Safe to call from several threads at once; it takes no lock.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace qvt::kea {

class CFailureThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  explicit CFailureThrottle(Clock::duration interval = std::chrono::minutes(1))
      : interval_(interval.count()) {}
  CFailureThrottle(const CFailureThrottle&) = delete;
  CFailureThrottle& operator=(const CFailureThrottle&) = delete;

  // admit: true when a failure at now may be logged (the first one, and
  // then the first one an interval or more after the last one let through);
  // held is then the number of failures held back since that one. False
  // counts the failure as held back.
  bool admit(Clock::time_point now, std::uint64_t& held);

 private:
  const Clock::rep interval_;
  // next_: when the next failure may be logged (ticks of Clock).
  std::atomic<Clock::rep> next_{Clock::duration::min().count()};
  std::atomic<std::uint64_t> held_{0};
};

}  // namespace qvt::kea
