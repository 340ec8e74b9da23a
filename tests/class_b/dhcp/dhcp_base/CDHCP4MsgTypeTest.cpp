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
  using Row = std::pair<std::int32_t, std::string>;
  std::vector<Row> rows = {{253, "bootp-request"}, {254, "bootp-reply"}};
  const char* const names[] = {"discover",    "offer",       "request",          "decline",
                               "ack",         "nak",         "release",          "inform",
                               "force-renew", "lease-query", "lease-unassigned", "lease-unknown",
                               "lease-active"};
  for (std::int32_t value = 1; value <= 13; ++value)
    rows.emplace_back(value, names[value - 1]);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.second);
    EXPECT_EQ(CDHCP4MsgType(row.first).string(), row.second);
    CDHCP4MsgType type;
    type = row.second;
    EXPECT_EQ(type.value(), row.first);
  }
  CDHCP4MsgType upper;
  upper = "Bootp-Reply";  // names are read ignoring case
  EXPECT_EQ(upper.value(), 254);
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
  for (const std::int32_t value : {0, 14, 252, 256, -1}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(errorText([&] { CDHCP4MsgType{value}; }),
              "Cannot set dhcpv4 message type. (Invalid or unknown value '" +
                  std::to_string(value) + "'.)");
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
