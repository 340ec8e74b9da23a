#include "class_a/standard/CTimeT.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/DataFile.h"

namespace qvt {
namespace {

// Sets TZ for the lifetime of the object and restores the previous value.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous_ = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (previous_) {
      ::setenv("TZ", previous_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }

 private:
  std::optional<std::string> previous_;
};

using qvt_test::errorWhere;

TEST(CTimeTTest, DateUTCUsesTheAsctimeLayout) {
  EXPECT_EQ(CTimeT(0).dateUTC(), "Thu Jan  1 00:00:00 1970");
  EXPECT_EQ(CTimeT(86400).dateUTC(), "Fri Jan  2 00:00:00 1970");
  EXPECT_EQ(CTimeT(1709638496).dateUTC(), "Tue Mar  5 11:34:56 2024");
  EXPECT_EQ(CTimeT(253402300799).dateUTC(), "Fri Dec 31 23:59:59 9999");
  EXPECT_EQ(errorWhere([] { CTimeT(-1).dateUTC(); }),
            "CTimeT::dateUTC: Cannot display time string. (Invalid time.)");
  EXPECT_EQ(errorWhere([] { CTimeT(253402300800).dateUTC(); }),
            "CTimeT::dateUTC: Cannot display time string. (Invalid time.)");
  EXPECT_EQ(errorWhere([] { CTimeT(-5).gmtime(); }),
            "CTimeT::gmtime: Cannot process gmtime. (Invalid time.)");
  EXPECT_EQ(qvt_test::caught([] { CTimeT(-1).gmtime(); })->className(), "qvt::CTimeT");
}

// The rows of data/times.txt, in several time zones: reading UTC is exact
// in every one, and durations do not depend on the zone.
TEST(CTimeTTest, ReadsTextsInEveryTimeZone) {
  const std::vector<const char*> zones = {"UTC0", "EST5EDT,M3.2.0,M11.1.0", "IST-5:30",
                                          "LHST-10:30LHDT-11,M10.1.0,M4.1.0"};
  const auto rows = qvt_test::dataLines("class_a/standard/data/times.txt");
  ASSERT_EQ(rows.size(), 32u) << "data/times.txt could not be read whole";
  for (const char* zone : zones) {
    const ScopedTimeZone scoped(zone);
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(zone) + ": " + row.text);
      const std::string& section = row.section;
      const std::string text = row.input();
      const std::string expected = row.expected();
      CTimeT t(42);
      if (section == "utc") {
        ASSERT_TRUE(t.readUTC(text));
        EXPECT_EQ(t.seconds(), std::stoll(expected));
      } else if (section == "refused") {
        EXPECT_FALSE(t.readUTC(text));
        EXPECT_FALSE(t.readLocal(text));
        EXPECT_EQ(t.seconds(), 42);
      } else {
        EXPECT_EQ(t.readDuration(text), expected.rfind("accepted", 0) == 0);
        EXPECT_EQ(t.seconds(), std::stoll(expected.substr(expected.find(' ') + 1)));
      }
    }
  }
  // Only the viewed characters are read.
  CTimeT t;
  ASSERT_TRUE(t.readUTC(std::string_view("Thu Jan  1 00:00:05 1970 extra", 24)));
  EXPECT_EQ(t.seconds(), 5);
}

TEST(CTimeTTest, ReadingLocalFollowsTheTimeZone) {
  const ScopedTimeZone scoped("IST-5:30");
  CTimeT t;
  ASSERT_TRUE(t.readLocal("Thu Jan  1 05:30:00 1970"));
  EXPECT_EQ(t.seconds(), 0);
  EXPECT_EQ(CTimeT(0).dateLocal(), "Thu Jan  1 05:30:00 1970");
  EXPECT_EQ(CTimeT(0).formatLocal("%H:%M"), "05:30");
}

TEST(CTimeTTest, FormatsWithStrftime) {
  EXPECT_EQ(CTimeT(1709638496).formatUTC("%Y%m%d %H%M"), "20240305 1134");
  std::tm tm = CTimeT(0).gmtime();
  EXPECT_EQ(CTimeT::_formattedTime("%Y", &tm), "1970");
  EXPECT_EQ(errorWhere([] { CTimeT::_formattedTime("%Y", nullptr); }),
            "CTimeT::_formattedTime: Cannot format time string. (Invalid time.)");
  EXPECT_EQ(errorWhere([&tm] { CTimeT::_formattedTime("", &tm); }),
            "CTimeT::_formattedTime: Cannot format time string. (Invalid format specifier.)");
  EXPECT_EQ(errorWhere([&tm] { CTimeT::_formattedTime(std::string(300, 'x'), &tm); }),
            "CTimeT::_formattedTime: Cannot format time string. (Invalid format specifier.)");
}

TEST(CTimeTTest, ArithmeticWrapsAndDivisionByZeroRaises) {
  EXPECT_EQ(CTimeT(10) - CTimeT(15), -5);
  EXPECT_EQ(CTimeT(-7) / 2, -3);
  EXPECT_EQ(CTimeT(INT64_MAX) + 1, INT64_MIN);
  EXPECT_EQ(-CTimeT(INT64_MIN), INT64_MIN);
  EXPECT_EQ(CTimeT(INT64_MAX) * 2, -2);
  CTimeT t(1);
  EXPECT_EQ(t++, 1);
  EXPECT_EQ(--t, 1);
  EXPECT_TRUE(CTimeT(-1) < CTimeT(0));
  const std::string refused = "CTimeT::operator/: Cannot divide time. (Invalid time.)";
  EXPECT_EQ(errorWhere([] { CTimeT(7) / 0; }), refused);
  EXPECT_EQ(errorWhere([] { CTimeT(INT64_MIN) / -1; }), refused);
}

TEST(CTimeTTest, DurationText) {
  EXPECT_EQ(CTimeT(90061).durationString(), "25:1:1");
  EXPECT_EQ(CTimeT(0).durationString(), "0:0:0");
  EXPECT_EQ(CTimeT(-1).durationString(), "infinite");
}

}  // namespace
}  // namespace qvt
