#include "class_b/dhcp/dhcp_base/COptionType.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_b/dhcp/dhcp_base/CUserDefinable.h"

namespace qvt {
namespace {

using qvt_test::errorText;

TEST(COptionTypeTest, AcceptsNamesAndAliasesIgnoringCase) {
  struct Row {
    std::string text;
    std::uint32_t code;
    std::string canonical;
  };
  const std::vector<Row> rows = {
      {"8bit", 0, "8bit"},
      {"16BIT", 1, "16bit"},
      {"24bit", 2, "24bit"},
      {"32bit", 3, "32bit"},
      {"64bit", 4, "64bit"},
      {"128Bit", 5, "128bit"},
      {"String", 6, "string"},
      {"ipaddress", 7, "ipaddress"},
      {"Ipaddr", 7, "ipaddress"},
      {"BOOL", 8, "boolean"},
      {"boolean", 8, "boolean"},
      {"time", 9, "time"},
      {"MAC", 10, "byte_sequence"},
      {"bytes", 10, "byte_sequence"},
      {"byte_seq", 10, "byte_sequence"},
      {"hardware_address", 10, "byte_sequence"},
      {"HexStore", 10, "byte_sequence"},
      {"subenc", 11, "subencoded"},
      {"topenc", 12, "topencoded"},
      {"dnsname", 13, "dnsname"},
      {"expression", 14, "expression"},
      {"control", 15, "control"},
      {"fixed_offset", 16, "fixed_offset"},
      {"SNMP_OID", 17, "snmp_oid"},
      {"ip_endpoint", 18, "ip_endpoint"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    COptionType type;
    type.string(row.text);
    EXPECT_EQ(type.code(), row.code);
    EXPECT_EQ(type.string(), row.canonical);
  }
}

TEST(COptionTypeTest, RefusesOtherNamesAndFallsBackToUnknown) {
  for (const std::string text : {"unknown", "fixed_offsets", "", " string", "8 bit", "ipv4"}) {
    SCOPED_TRACE(text);
    COptionType type(COptionType::eString);
    EXPECT_EQ(errorText([&] { type.string(text); }),
              "Cannot serialize option type. (Unknown option type '" + text + "'.)");
    EXPECT_EQ(type.code(), COptionType::eUnknown);
  }
  EXPECT_EQ(COptionType().string(), "unknown");
  EXPECT_EQ(COptionType(25).string(), "unknown");
}

TEST(COptionTypeTest, IntegerTypesAreTheCodesBelowSix) {
  for (std::uint32_t code = 0; code <= 19; ++code) {
    EXPECT_EQ(COptionType(code).isInteger(), code < 6) << code;
  }
}

TEST(CUserDefinableTest, ReadsStatesAndBooleans) {
  struct Row {
    std::string text;
    std::int32_t state;
    std::string written;
  };
  const std::vector<Row> rows = {
      {"allowed", 0, "allowed"}, {"Required", 1, "required"}, {"DISALLOWED", 2, "disallowed"},
      {"true", 0, "allowed"},    {"False", 2, "disallowed"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    CUserDefinable value(CUserDefinable::eRequired);
    value.string(row.text);
    EXPECT_EQ(value.state(), row.state);
    EXPECT_EQ(value.string(), row.written);
  }
}

TEST(CUserDefinableTest, RefusesUnknownTextAndStates) {
  CUserDefinable value(CUserDefinable::eRequired);
  EXPECT_EQ(errorText([&] { value.string("yes"); }),
            "Cannot deserialize 'user_definable' value 'yes'. (Illegal value.)");
  EXPECT_EQ(value.state(), CUserDefinable::eRequired);
  EXPECT_EQ(errorText([] { CUserDefinable(3).string(); }),
            "Cannot de-serialize user-definable object. (Unknown state.)");
}

}  // namespace
}  // namespace qvt
