#include "class_a/standard/CBitShift.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/CHexStore.h"

namespace qvt {
namespace {

struct ShiftRow {
  std::string input;
  bool toLeft;
  std::int64_t n;
  std::string expected;
};

TEST(CBitShiftTest, ShiftsTheArrayAsOneBigEndianNumber) {
  const std::vector<ShiftRow> rows = {
      {"01-80", true, 1, "03-00"},        {"01-80", false, 1, "00-C0"},
      {"01-80", true, 16, "00-00"},       {"01-80", false, 16, "00-00"},
      {"01-80", true, 0, "01-80"},        {"01-80", false, 0, "01-80"},
      {"01-80", true, 8, "80-00"},        {"01-80", false, 8, "00-01"},
      {"01-80", true, 9, "00-00"},        {"01-80", false, 9, "00-00"},
      {"12-34-56", true, 4, "23-45-60"},  {"12-34-56", false, 12, "00-01-23"},
      {"FF-FF-FF", true, 23, "80-00-00"}, {"FF-FF-FF", false, 1000000000000, "00-00-00"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.input + (row.toLeft ? " << " : " >> ") + std::to_string(row.n));
    CHexStore bytes(row.input);
    if (row.toLeft) {
      CBitShift::left(bytes.data(), bytes.size(), row.n);
    } else {
      CBitShift::right(bytes.data(), bytes.size(), row.n);
    }
    EXPECT_EQ(bytes.string(), row.expected);
  }
}

TEST(CBitShiftTest, RefusesNegativeShifts) {
  unsigned char bytes[] = {0x01};
  EXPECT_EQ(qvt_test::errorWhere([&] { CBitShift::left(bytes, 1, -3); }),
            "CBitShift::left: Cannot left shift by -3 bits. (Negative shift is not supported.)");
  EXPECT_EQ(qvt_test::errorWhere([&] { CBitShift::right(bytes, 1, -1); }),
            "CBitShift::right: Cannot right shift by -1 bits. (Negative shift is not "
            "supported.)");
  EXPECT_EQ(bytes[0], 0x01);
}

}  // namespace
}  // namespace qvt
