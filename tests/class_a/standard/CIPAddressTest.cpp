#include "class_a/standard/CIPAddress.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"

namespace qvt {
namespace {

using qvt_test::errorText;
using qvt_test::errorWhere;

CIPAddress ip(const char* text) {
  return CIPAddress(std::string(text));
}

TEST(CIPAddressTest, ParsesTextStrictly) {
  struct Row {
    const char* text;
    bool valid;
    const char* printed;
  };
  const std::vector<Row> rows = {
      {"10.0.0.1", true, "10.0.0.1"},
      {"010.000.000.001", true, "10.0.0.1"},
      {"0.0.0.0", true, "0.0.0.0"},
      {"255.255.255.255", true, "255.255.255.255"},
      {"1.2.3.04", true, "1.2.3.4"},
      {"10.0.0", false, ""},
      {"10.0.0.1.2", false, ""},
      {"256.1.1.1", false, ""},
      {"1..1.1", false, ""},
      {" 1.1.1.1", false, ""},
      {"0x1.1.1.1", false, ""},
      {"1.1.1.0001", false, ""},
      {"0010.0.0.1", false, ""},
      {"010.000.000.0010", false, ""},  // 16 characters
      {"-1.1.1.1", false, ""},
      {"", false, ""},
      {"::", true, "::"},
      {"::1", true, "::1"},
      {"::ffff:10.0.0.1", true, "::ffff:10.0.0.1"},
      {"FE80:0:0:0:0:0:0:1", true, "fe80::1"},
      {"2001:db8:0:0:1:0:0:1", true, "2001:db8::1:0:0:1"},
      {"1:2:3:4:5:6:7:8", true, "1:2:3:4:5:6:7:8"},
      {"1:2:3:4:5:6:7:8:9", false, ""},
      {"::g", false, ""},
      {"[::1]", false, ""},
      {"fe80::1%eth0", false, ""},
      {":", false, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    CIPAddress parsed;
    EXPECT_EQ(CIPAddress::tryParse(row.text, parsed), row.valid);
    if (row.valid) {
      EXPECT_EQ(parsed.string(), row.printed);
      EXPECT_EQ(ip(row.text), parsed);
    } else {
      EXPECT_EQ(parsed.addressType(), CIPAddress::kNone);
      EXPECT_EQ(errorWhere([&] { ip(row.text); }),
                std::string("CIPAddress::_set: Cannot create an ip address. (Text '") + row.text +
                    "' is not a valid IP address.)");
    }
  }
}

TEST(CIPAddressTest, ReadsTheViewOnlyAndRefusesNul) {
  CIPAddress parsed;
  EXPECT_FALSE(CIPAddress::tryParse(std::string("::1\0x", 5), parsed));
  EXPECT_FALSE(CIPAddress::tryParse(std::string("1.1.1.1\0", 8), parsed));
  // A view into longer text: the characters after it do not count.
  ASSERT_TRUE(CIPAddress::tryParse(std::string_view("10.0.0.12", 8), parsed));
  EXPECT_EQ(parsed.string(), "10.0.0.1");
  ASSERT_TRUE(CIPAddress::tryParse(std::string_view("fe80::1:2", 7), parsed));
  EXPECT_EQ(parsed.string(), "fe80::1");

  CIPAddress a = ip("10.0.0.1");  // a failed _set leaves no address
  EXPECT_NE(errorText([&] { a._set("x"); }), "no error");
  EXPECT_EQ(a.addressType(), CIPAddress::kNone);
}

TEST(CIPAddressTest, ConstructionAndRawBytes) {
  EXPECT_EQ(CIPAddress(htonl(0x0a000001u), CIPAddress::kIPv4).string(), "10.0.0.1");
  const unsigned char bytes[4] = {10, 0, 0, 1};
  CIPAddress fromBytes;
  fromBytes.set(bytes, 4);
  EXPECT_EQ(fromBytes.string(), "10.0.0.1");
  EXPECT_EQ(fromBytes.v4value(), 0x0a000001u);
  EXPECT_EQ(fromBytes.addr_family(), AF_INET);
  EXPECT_EQ(CIPAddress(htonl(0x0a000001u), CIPAddress::kIPv6).string(), "::10.0.0.1");
  EXPECT_EQ(CIPAddress(CIPAddress::kIPv6).string(), "::");
  EXPECT_EQ(CIPAddress(CIPAddress::kIPv6).addr_family(), AF_INET6);
  EXPECT_EQ(CIPAddress(CIPAddress::kIPv6).raw_len(), 16u);
  EXPECT_EQ(CIPAddress().raw_len(), 0u);
  EXPECT_EQ(CIPAddress(7u).addressType(), CIPAddress::kNone);
}

TEST(CIPAddressTest, TextForms) {
  EXPECT_EQ(ip("10.0.0.1").fat_string(), "010.000.000.001");
  EXPECT_EQ(ip("fe80::1").fat_string(), "fe80:0000:0000:0000:0000:0000:0000:0001");
  EXPECT_EQ(ip("0:0:1:0:0:0:0:0").string(), "0:0:1::");
  CIPAddress any(CIPAddress::kIPv4);
  any.setLoopback();
  EXPECT_EQ(any.string(), "127.0.0.1");
  any.set_inaddr_any();
  EXPECT_EQ(any.string(), "0.0.0.0");
  CIPAddress v6 = ip("fe80::5");
  v6.setLoopback();
  EXPECT_EQ(v6.string(), "::1");
}

TEST(CIPAddressTest, NoAddressTypeErrors) {
  const CIPAddress none;
  CIPAddress mutableNone;
  struct Row {
    std::function<void()> action;
    const char* operation;
    const char* text;
  };
  const std::vector<Row> rows = {
      {[&] { (void)none.string(); }, "CIPAddress::string",
       "Illegal operation. (Unknown address types cannot be serialized.)"},
      {[&] { (void)none.fat_string(); }, "CIPAddress::fat_string",
       "Illegal operation. (Unknown address types cannot be serialized.)"},
      {[&] { (void)none.addr_family(); }, "CIPAddress::addr_family",
       "Illegal operation. (Unknown address types do not have an address family.)"},
      {[&] { (void)none.raw_addr(); }, "CIPAddress::raw_addr",
       "Illegal operation. (Unknown address types cannot provide raw address values.)"},
      {[&] { mutableNone.set_inaddr_any(); }, "CIPAddress::set_inaddr_any",
       "Illegal operation. (Unknown address types do not have an 'any' value.)"},
      {[&] { mutableNone.setLoopback(); }, "CIPAddress::setLoopback",
       "Illegal operation. (Unknown address types do not have a loopback value.)"},
      {[&] { (void)(none < ip("10.0.0.1")); }, "CIPAddress::operator>",
       "Illegal operation. (Cannot compare ip addresses of unknown type.)"},
      {[&] { (void)(ip("::1") >= none); }, "CIPAddress::operator>",
       "Illegal operation. (Cannot compare ip addresses of unknown type.)"},
      {[&] { mutableNone.mapTo(CIPAddress::kIPv4); }, "CIPAddress::mapTo",
       "Illegal operation. (Unknown address type cannot be mapped to another type.)"},
      {[&] { mutableNone.set(reinterpret_cast<const unsigned char*>("12345"), 5); },
       "CIPAddress::set",
       "Illegal operation. (Address length does not match any known address type.)"},
      {[&] { (void)(ip("10.0.0.1") + ip("::1")); },
       "CIPAddress::operator+=", "Illegal operation. (Type mismatch between ip addresses.)"},
      {[&] { (void)(ip("::1") - ip("10.0.0.1")); },
       "CIPAddress::operator-=", "Illegal operation. (Type mismatch between ip addresses.)"},
      {[&] { (void)(ip("::1") | ip("10.0.0.1")); },
       "CIPAddress::operator|=", "Illegal operation. (Type mismatch between ip addresses.)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.operation);
    EXPECT_EQ(errorWhere(row.action), std::string(row.operation) + ": " + row.text);
  }
  EXPECT_EQ(none, CIPAddress());
  EXPECT_NE(none, CIPAddress(CIPAddress::kIPv4));
}

TEST(CIPAddressTest, Ordering) {
  EXPECT_TRUE(ip("255.255.255.255") < ip("::"));  // v4 before v6
  EXPECT_TRUE(ip("::") > ip("255.255.255.255"));
  EXPECT_TRUE(ip("9.255.255.255") < ip("10.0.0.0"));  // bytes unsigned, first byte decides
  EXPECT_TRUE(ip("128.0.0.0") > ip("127.255.255.255"));
  EXPECT_TRUE(ip("fe80::1") > ip("fe7f:ffff::"));
  EXPECT_FALSE(ip("10.0.0.1") < ip("10.0.0.1"));
  EXPECT_TRUE(ip("10.0.0.1") <= ip("10.0.0.1") && ip("10.0.0.1") >= ip("10.0.0.1"));
  EXPECT_FALSE(ip("10.0.0.1") >= ip("10.0.0.2"));
  EXPECT_NE(ip("::10.0.0.1"), ip("10.0.0.1"));
}

TEST(CIPAddressTest, Arithmetic) {
  struct Row {
    const char* left;
    char op;
    const char* right;
    const char* result;
  };
  const std::vector<Row> rows = {
      {"10.0.0.255", '+', "0.0.0.1", "10.0.1.0"},
      {"255.255.255.255", '+', "0.0.0.1", "0.0.0.0"},
      {"10.0.1.0", '-', "0.0.0.1", "10.0.0.255"},
      {"0.0.0.0", '-', "0.0.0.1", "255.255.255.255"},
      {"1.2.3.4", '+', "1.1.1.1", "2.3.4.5"},
      {"1::ffff", '+', "::1", "1::1:0"},
      {"::ffff:ffff:ffff:ffff", '+', "::1", "0:0:0:1::"},
      {"ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff", '+', "::1", "::"},
      {"1::1:0", '-', "::1", "1::ffff"},
      {"::", '-', "::1", "ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.left) + row.op + row.right);
    const CIPAddress result =
        row.op == '+' ? ip(row.left) + ip(row.right) : ip(row.left) - ip(row.right);
    EXPECT_EQ(result.string(), row.result);
  }
  for (const auto& [from, to] :
       std::vector<std::pair<const char*, const char*>>{{"10.0.0.255", "10.0.1.0"},
                                                        {"::ffff:ffff", "::1:0:0"},
                                                        {"255.255.255.255", "0.0.0.0"}}) {
    CIPAddress a = ip(from);
    EXPECT_EQ((++a).string(), to);
  }
}

TEST(CIPAddressTest, Bitwise) {
  EXPECT_EQ((ip("10.1.2.3") & ip("255.255.0.0")).string(), "10.1.0.0");
  EXPECT_EQ((ip("10.1.0.0") | ip("0.0.2.3")).string(), "10.1.2.3");
  EXPECT_EQ((ip("10.1.2.3") ^ ip("10.0.2.0")).string(), "0.1.0.3");
  EXPECT_EQ((~ip("255.255.255.0")).string(), "0.0.0.255");
  EXPECT_EQ((~ip("::")).string(), "ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff");
  EXPECT_EQ((ip("fe80::1:2") & ip("ffff:ffff::")).string(), "fe80::");
}

TEST(CIPAddressTest, Prefix) {
  struct Row {
    const char* address;
    std::uint32_t bits;
    const char* result;
  };
  const std::vector<Row> rows = {
      {"10.1.2.3", 24, "10.1.2.0"},        {"10.1.2.3", 32, "10.1.2.3"},
      {"10.1.2.255", 28, "10.1.2.240"},    {"10.1.2.3", 0, "0.0.0.0"},
      {"fe80::1:2", 64, "fe80::"},         {"2001:db8:ffff::1", 35, "2001:db8:e000::"},
      {"2001:db8::1", 128, "2001:db8::1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.address);
    EXPECT_EQ(ip(row.address).createPrefix(row.bits).string(), row.result);
  }
  EXPECT_EQ(errorWhere([] { (void)ip("10.1.2.3").createPrefix(33); }),
            "CIPAddress::createPrefix: Cannot create prefix from ip address. (Address contains "
            "less than 33 bits.)");
  EXPECT_EQ(errorText([] { (void)ip("::").createPrefix(129); }),
            "Cannot create prefix from ip address. (Address contains less than 129 bits.)");
}

TEST(CIPAddressTest, Mapping) {
  CIPAddress mapped = ip("::ffff:10.0.0.1");
  EXPECT_TRUE(mapped.isV4Mapped());
  mapped.mapTo(CIPAddress::kIPv4);
  EXPECT_EQ(mapped.addressType(), CIPAddress::kIPv4);
  EXPECT_EQ(mapped.string(), "10.0.0.1");
  mapped.mapTo(CIPAddress::kIPv4);
  EXPECT_EQ(mapped.string(), "10.0.0.1");
  mapped.mapTo(CIPAddress::kIPv6);
  EXPECT_EQ(mapped.string(), "::ffff:10.0.0.1");
  EXPECT_FALSE(ip("::10.0.0.1").isV4Mapped());
  EXPECT_FALSE(ip("10.0.0.1").isV4Mapped());
  EXPECT_FALSE(ip("1::ffff:10.0.0.1").isV4Mapped());

  CIPAddress loop = ip("::1");
  EXPECT_EQ(errorWhere([&] { loop.mapTo(CIPAddress::kIPv4); }),
            "CIPAddress::mapTo: Cannot map address ::1 to ipv4. (Address is not a v6-mapped-v4 "
            "address.)");
  EXPECT_EQ(loop.string(), "::1");
  EXPECT_EQ(errorText([&] { loop.mapTo(CIPAddress::kNone); }),
            "Illegal operation. (Unknown address type cannot be mapped to another type.)");
}

TEST(CIPAddressTest, PrefixLengthFromMask) {
  struct Row {
    const char* mask;
    bool valid;
    std::uint32_t length;
  };
  const std::vector<Row> rows = {
      {"255.255.255.0", true, 24},
      {"0.0.0.0", true, 0},
      {"255.255.255.255", true, 32},
      {"255.255.254.0", true, 23},
      {"255.0.255.0", false, 0},
      {"0.0.0.255", false, 0},
      {"255.255.255.254", true, 31},
      {"ffff:ffff:ffff:ffff::", true, 64},
      {"::", true, 0},
      {"ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff", true, 128},
      {"ffff:fe00::", true, 23},
      {"ffff::ffff", false, 0},
      {"::ffff:255.255.255.0", false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.mask);
    if (row.valid) {
      EXPECT_EQ(CIPAddress::prefixLenFromMask(ip(row.mask)), row.length);
    } else {
      EXPECT_EQ(errorWhere([&] { (void)CIPAddress::prefixLenFromMask(ip(row.mask)); }),
                "CIPAddress::prefixLenFromMask: Cannot calculate prefix length from subnet mask. "
                "(Subnet mask is invalid.)");
    }
  }
  EXPECT_EQ(errorText([] { (void)CIPAddress::prefixLenFromMask(CIPAddress()); }),
            "Cannot calculate prefix length from subnet mask. (Subnet mask is invalid.)");
}

TEST(CIPAddressTest, Multicast) {
  for (const char* text : {"224.0.0.0", "239.255.255.255", "ff02::1:2"})
    EXPECT_TRUE(ip(text).isMulticast()) << text;
  for (const char* text : {"223.255.255.255", "240.0.0.0", "fe80::1"})
    EXPECT_FALSE(ip(text).isMulticast()) << text;
  EXPECT_FALSE(CIPAddress().isMulticast());
}

}  // namespace
}  // namespace qvt
