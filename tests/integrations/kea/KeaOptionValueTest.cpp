#include "integrations/kea/KeaOptionValue.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "class_a/standard/CHexStore.h"
#include "class_a/standard/CIPAddress.h"

namespace qvt::kea {
namespace {

using isc::dhcp::Option;

struct COptionRow {
  Option::Universe universe;
  std::uint16_t code;
  CVariant value;
  std::string expected;  // the option with its header, or the error text
};

void PrintTo(const COptionRow& row, std::ostream* out) {
  *out << (row.universe == Option::V4 ? "v4 option " : "v6 option ") << row.code;
}

class KeaOptionValueTest : public ::testing::TestWithParam<COptionRow> {};

TEST_P(KeaOptionValueTest, WireFormOrError) {
  const COptionRow& row = GetParam();
  std::string got;
  const auto error = qvt_test::caught([&] {
    const std::vector<std::uint8_t> bytes =
        keaOption(row.universe, row.code, row.value)->toBinary(true);
    got = qvt_test::toHex(bytes.data(), bytes.size());
  });
  EXPECT_EQ(error ? error->text() : got, row.expected)
      << "option " << row.code << " from "
      << (row.value.isKnown() ? row.value.string() : "unknown");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeaOptionValueTest,
    ::testing::Values(
        // Kea's definitions: an address, an address array from the text form
        // split at commas, a string, a 32-bit number, a boolean.
        COptionRow{Option::V4, 6, CVariant(CIPAddress("192.0.2.53")), "0604C0000235"},
        COptionRow{Option::V4, 6, CVariant::fromString("192.0.2.1, 192.0.2.2"),
                   "0608C0000201C0000202"},
        COptionRow{Option::V4, 12, CVariant::fromString("host-1"), "0C06686F73742D31"},
        COptionRow{Option::V4, 51, CVariant(std::uint64_t{3600}), "330400000E10"},
        COptionRow{Option::V4, 19, CVariant(true), "130101"},
        // Bytes as the option's data, read by the definition (43 holds sub-options).
        COptionRow{Option::V4, 43, CVariant(CHexStore("01-01-AA")), "2B030101AA"},
        // No definition: the bytes of the text form.
        COptionRow{Option::V4, 224, CVariant::fromString("abc"), "E003616263"},
        COptionRow{Option::V6, 23, CVariant(CIPAddress("2001:db8::1")),
                   "0017001020010DB8000000000000000000000001"},
        COptionRow{Option::V4, 6, CVariant::fromString("not-an-ip"),
                   "Cannot set option 6 from the value 'not-an-ip'. (Failed to convert string to "
                   "address 'not-an-ip': Invalid argument)"},
        COptionRow{Option::V4, 12, CVariant(),
                   "Cannot set option 12 from the value ''. (The value is unknown.)"},
        COptionRow{Option::V4, 224, CVariant::fromString(std::string(256, 'a')),
                   "Cannot set option 224 from the value '" + std::string(256, 'a') +
                       "'. (The option's data are longer than 255 bytes.)"}));

}  // namespace
}  // namespace qvt::kea
