#include "class_b/dhcp/dhcp_base/CDHCP4MsgType.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace qvt {
namespace {

using qvt_test::errorText;

TEST(CDHCP4MsgTypeTest, NamesAndNumbers) {
  struct Row {
    std::int32_t value;
    std::string name;
  };
  const std::vector<Row> rows = {
      {1, "discover"},
      {2, "offer"},
      {3, "request"},
      {4, "decline"},
      {5, "ack"},
      {6, "nak"},
      {7, "release"},
      {8, "inform"},
      {9, "force-renew"},
      {10, "lease-query"},
      {11, "lease-unassigned"},
      {12, "lease-unknown"},
      {13, "lease-active"},
      {253, "bootp-request"},
      {254, "bootp-reply"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CDHCP4MsgType(row.value).string(), row.name);
    CDHCP4MsgType type;
    type = row.name;
    EXPECT_EQ(type.value(), row.value);
  }
  // Names are read ignoring case.
  for (const Row& row : std::vector<Row>{{5, "ACK"}, {1, "Discover"}, {254, "Bootp-Reply"}}) {
    CDHCP4MsgType type;
    type = row.name;
    EXPECT_EQ(type.value(), row.value) << row.name;
  }
  EXPECT_EQ(CDHCP4MsgType().value(), 255);
  EXPECT_EQ(CDHCP4MsgType().string(), "unknown");
  EXPECT_EQ(CDHCP4MsgType(std::int32_t{255}).string(), "unknown");
}

TEST(CDHCP4MsgTypeTest, RefusesOtherTextsAndNumbers) {
  for (const std::string text : {"unknown", "5", "", "ack ", "forcerenew"}) {
    SCOPED_TRACE(text);
    CDHCP4MsgType type(std::uint8_t{3});
    EXPECT_EQ(errorText([&] { type = text; }),
              "Cannot set dhcpv4 message type. (Invalid or unknown value '" + text + "'.)");
    EXPECT_EQ(type.value(), 3);
  }
  for (const std::int32_t value : {0, 14, 200, 252, 256, -1}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(errorText([&] { CDHCP4MsgType{value}; }),
              "Cannot set dhcpv4 message type. (Invalid or unknown value '" +
                  std::to_string(value) + "'.)");
  }
  for (const std::int32_t value : {1, 13, 253, 254, 255}) {
    EXPECT_EQ(CDHCP4MsgType(value).value(), value);
  }
  CDHCP4MsgType type(std::uint8_t{5});
  EXPECT_EQ(errorText([&] { type.set(252); }),
            "Cannot set dhcpv4 message type. (Invalid or unknown value '252'.)");
  EXPECT_EQ(type.value(), 5);  // a refused value is not kept
  type.set(253);
  EXPECT_EQ(type.string(), "bootp-request");
}

}  // namespace
}  // namespace qvt
