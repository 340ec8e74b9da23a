#include "class_a/standard/CTimeT.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"

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

TEST(CTimeTTest, ReadingUTCIsExactInEveryTimeZone) {
  const std::vector<const char*> zones = {"UTC0",
                                          "EST5EDT,M3.2.0,M11.1.0",
                                          "IST-5:30",
                                          "LHST-10:30LHDT-11,M10.1.0,M4.1.0",
                                          "America/New_York",
                                          "Asia/Kolkata",
                                          "Australia/Lord_Howe",
                                          "Europe/London"};
  struct Row {
    std::string text;
    std::int64_t expected;
  };
  const std::vector<Row> rows = {
      {"Thu Jan  1 00:00:00 1970", 0},
      {"thu jan 1 00:00:00 1970", 0},
      {"  FRI JAN 2 00:00:00 1970  ", 86400},
      {"Sun Jul  7 12:30:15 2024", 1720355415},  // summer time in the northern zones
      {"Sun Oct  6 02:30:00 2024", 1728181800},  // inside Lord Howe's switch
      {"Mon Feb 30 00:00:00 2023", 1677715200},  // normalises to Mar 2
      {"Mon Jan  1 24:00:00 2024", 1704153600},  // normalises to Jan 2
  };
  for (const char* zone : zones) {
    const ScopedTimeZone scoped(zone);
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(zone) + ": " + row.text);
      CTimeT t(42);
      ASSERT_TRUE(t.readUTC(row.text));
      EXPECT_EQ(t.seconds(), row.expected);
    }
  }
  // Only the viewed characters are read.
  CTimeT t;
  ASSERT_TRUE(t.readUTC(std::string_view("Thu Jan  1 00:00:05 1970 extra", 24)));
  EXPECT_EQ(t.seconds(), 5);
}

TEST(CTimeTTest, RefusesTextsThatAreNoDate) {
  const std::vector<std::string> rows = {
      "",
      "Thu Jan 1 00:00:00",
      "Xyz Jan 1 00:00:00 1970",
      "Thu Foo 1 00:00:00 1970",
      "Thu Jan x 00:00:00 1970",
      "Thu Jan 1 00:00 1970",
      "Thu Jan 1 00:00:00:00 1970",
      "Thu Jan 1 00::00 1970",
      "Thu Jan 1 00:00:00 1970 extra",
      "Thursday Jan 1 00:00:00 1970",
      "Thu\tJan 1 00:00:00 1970",
  };
  for (const auto& text : rows) {
    SCOPED_TRACE(text);
    CTimeT t(42);
    EXPECT_FALSE(t.readUTC(text));
    EXPECT_FALSE(t.readLocal(text));
    EXPECT_EQ(t.seconds(), 42);
  }
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

TEST(CTimeTTest, DurationTextAndReading) {
  EXPECT_EQ(CTimeT(90061).durationString(), "25:1:1");
  EXPECT_EQ(CTimeT(0).durationString(), "0:0:0");
  EXPECT_EQ(CTimeT(-1).durationString(), "infinite");

  struct Row {
    std::string text;
    bool accepted;
    std::int64_t seconds;
  };
  const std::vector<Row> rows = {
      {"90", true, 90},
      {"1:30", true, 90},
      {"1:1:1", true, 3661},
      {"1:0:0:0:0:0", true, 31536000},
      {"1:0:0:0:0", true, 2592000},
      {"Infinity", true, -1},
      {"", false, 42},
      {"1::5", false, 5},  // keeps what was read up to the empty part
      {":5", false, 5},
      {"5:", false, 0},
      {"1:2:3:4:5:6:7", false, 31536000 * 2 + 2592000 * 3 + 86400 * 4 + 3600 * 5 + 60 * 6 + 7},
      {"x", false, 0},
      {"1:3x", false, 0},
      {"69:0:0:0:0:0", false, 0},  // 69 years overflow 32 bits of seconds
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    CTimeT t(42);
    EXPECT_EQ(t.readDuration(row.text), row.accepted);
    EXPECT_EQ(t.seconds(), row.seconds);
  }
}

}  // namespace
}  // namespace qvt
