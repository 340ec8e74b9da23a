#include "class_a/standard/CIPAddress.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"
#include "class_a/standard/DataFile.h"

namespace qvt {
namespace {

using qvt_test::errorText;
using qvt_test::errorWhere;

CIPAddress ip(const char* text) {
  return CIPAddress(std::string(text));
}

// The rows of data/ip-addresses.txt.
TEST(CIPAddressTest, Table) {
  const auto rows = qvt_test::dataLines("class_a/standard/data/ip-addresses.txt");
  ASSERT_EQ(rows.size(), 78u) << "data/ip-addresses.txt could not be read whole";
  for (const auto& row : rows) {
    const std::string& section = row.section;
    if (section == "endpoint") continue;  // CEndpointTest reads these
    SCOPED_TRACE(row.text);
    const std::string text = row.input();
    const std::string expected = row.expected();
    if (section == "parse") {
      CIPAddress parsed;
      EXPECT_EQ(CIPAddress::tryParse(text, parsed), expected != "invalid");
      if (expected != "invalid") {
        EXPECT_EQ(parsed.string(), expected);
        EXPECT_EQ(CIPAddress(text), parsed);
      } else {
        EXPECT_EQ(parsed.addressType(), CIPAddress::kNone);
        EXPECT_EQ(errorWhere([&] { CIPAddress{text}; }),
                  "CIPAddress::_set: Cannot create an ip address. (Text '" + text +
                      "' is not a valid IP address.)");
      }
    } else if (section == "arithmetic") {
      const std::size_t blank = text.find(' ');
      const CIPAddress left(text.substr(0, blank));
      const CIPAddress right(text.substr(blank + 3));
      const char op = text[blank + 1];
      const CIPAddress result = op == '+'   ? left + right
                                : op == '-' ? left - right
                                : op == '&' ? left & right
                                : op == '|' ? left | right
                                            : left ^ right;
      EXPECT_EQ(result.string(), expected);
    } else if (section == "prefix") {
      const std::size_t slash = text.find('/');
      const CIPAddress address(text.substr(0, slash));
      EXPECT_EQ(address.createPrefix(std::stoul(text.substr(slash + 1))).string(), expected);
    } else if (expected == "invalid") {
      EXPECT_EQ(errorWhere([&] { (void)CIPAddress::prefixLenFromMask(CIPAddress(text)); }),
                "CIPAddress::prefixLenFromMask: Cannot calculate prefix length from subnet mask. "
                "(Subnet mask is invalid.)");
    } else {
      EXPECT_EQ(CIPAddress::prefixLenFromMask(CIPAddress(text)), std::stoul(expected));
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

// Edges beside the table: carries of ++, inversion, prefixes longer than
// the address, no address as a mask.
TEST(CIPAddressTest, EdgesBesideTheTable) {
  for (const auto& [from, to] :
       std::vector<std::pair<const char*, const char*>>{{"10.0.0.255", "10.0.1.0"},
                                                        {"::ffff:ffff", "::1:0:0"},
                                                        {"255.255.255.255", "0.0.0.0"}}) {
    CIPAddress a = ip(from);
    EXPECT_EQ((++a).string(), to);
  }
  EXPECT_EQ((~ip("255.255.255.0")).string(), "0.0.0.255");
  EXPECT_EQ((~ip("::")).string(), "ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff");
  EXPECT_EQ(errorWhere([] { (void)ip("10.1.2.3").createPrefix(33); }),
            "CIPAddress::createPrefix: Cannot create prefix from ip address. (Address contains "
            "less than 33 bits.)");
  EXPECT_EQ(errorText([] { (void)ip("::").createPrefix(129); }),
            "Cannot create prefix from ip address. (Address contains less than 129 bits.)");
  EXPECT_EQ(errorText([] { (void)CIPAddress::prefixLenFromMask(CIPAddress()); }),
            "Cannot calculate prefix length from subnet mask. (Subnet mask is invalid.)");
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

TEST(CIPAddressTest, Multicast) {
  for (const char* text : {"224.0.0.0", "239.255.255.255", "ff02::1:2"})
    EXPECT_TRUE(ip(text).isMulticast()) << text;
  for (const char* text : {"223.255.255.255", "240.0.0.0", "fe80::1"})
    EXPECT_FALSE(ip(text).isMulticast()) << text;
  EXPECT_FALSE(CIPAddress().isMulticast());
}

}  // namespace
}  // namespace qvt
