#include "integrations/kea/CFailureThrottle.h"

#include <gtest/gtest.h>

namespace qvt::kea {
namespace {

using std::chrono::seconds;

TEST(CFailureThrottleTest, OneMessageAMinuteCountingTheOthers) {
  CFailureThrottle throttle;
  const CFailureThrottle::Clock::time_point start{seconds(1000)};
  std::uint64_t held = 99;
  EXPECT_TRUE(throttle.admit(start, held));
  EXPECT_EQ(held, 0u);
  EXPECT_FALSE(throttle.admit(start + seconds(1), held));
  EXPECT_FALSE(throttle.admit(start + seconds(59), held));
  EXPECT_TRUE(throttle.admit(start + seconds(60), held));
  EXPECT_EQ(held, 2u);
  EXPECT_FALSE(throttle.admit(start + seconds(119), held));
  EXPECT_TRUE(throttle.admit(start + seconds(500), held));
  EXPECT_EQ(held, 1u);
}

}  // namespace
}  // namespace qvt::kea
