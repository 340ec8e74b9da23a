#include "class_b/dhcp/dhcp_base/COptionType.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "class_b/dhcp/dhcp_base/CUserDefinable.h"

namespace qvt {
namespace {

using qvt_test::errorText;

TEST(COptionTypeTest, AcceptsNamesAndAliasesIgnoringCase) {
  // Every accepted spelling of each code, the canonical name first.
  const std::vector<std::string> rows = {
      "8bit",
      "16bit",
      "24bit",
      "32bit",
      "64bit",
      "128bit",
      "string String",
      "ipaddress Ipaddr",
      "boolean BOOL",
      "time",
      "byte_sequence MAC bytes byte_seq hardware_address HexStore",
      "subencoded subenc",
      "topencoded topenc",
      "dnsname",
      "expression",
      "control",
      "fixed_offset",
      "snmp_oid",
      "ip_endpoint"};
  for (std::uint32_t code = 0; code < rows.size(); ++code) {
    std::istringstream spellings(rows[code]);
    std::string canonical;
    spellings >> canonical;
    for (std::string text = canonical; !text.empty(); text.clear(), spellings >> text) {
      SCOPED_TRACE(text);
      COptionType type;
      type.string(text);
      EXPECT_EQ(type.code(), code);
      EXPECT_EQ(type.string(), canonical);
      EXPECT_EQ(type.isInteger(), code < 6);
    }
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
