#include "class_a/standard/CEndpoint.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <sstream>
#include <string>

#include "TestSupport.h"
#include "class_a/standard/CException.h"
#include "class_a/standard/DataFile.h"

namespace qvt {
namespace {

using qvt_test::errorWhere;

CIPAddress ip(const char* text) {
  return CIPAddress(std::string(text));
}

// The [endpoint] rows of data/ip-addresses.txt; a failure leaves the
// endpoint as it was.
TEST(CEndpointTest, ReadsText) {
  std::size_t count = 0;
  for (const auto& row : qvt_test::dataLines("class_a/standard/data/ip-addresses.txt")) {
    if (row.section != "endpoint") continue;
    ++count;
    SCOPED_TRACE(row.text);
    const std::string text = row.input();
    std::istringstream expected(row.expected());
    std::string address, printed;
    std::uint16_t port = 0;
    expected >> address >> port >> printed;
    CEndpoint e(ip("10.0.0.9"), 9);
    if (address == "invalid") {
      EXPECT_EQ(errorWhere([&] { e.set(text); }),
                "CEndpoint::set: Cannot create endpoint. (Text '" + text +
                    "' is not a valid ip address or host name.)");
      EXPECT_EQ(e.string(), "10.0.0.9:9");
      continue;
    }
    const CEndpoint read{text};
    EXPECT_EQ(read.ip_address(), ip(address.c_str()));
    EXPECT_EQ(read.port(), port);
    EXPECT_EQ(read.string(), printed);
    EXPECT_EQ(CEndpoint(read.string()), read);
  }
  EXPECT_EQ(count, 17u) << "data/ip-addresses.txt could not be read whole";
}

TEST(CEndpointTest, ResolvesLocalhost) {
  // A bare chroot may have no /etc/hosts: then the system itself cannot
  // resolve the name and there is nothing to compare with.
  addrinfo* found = nullptr;
  if (getaddrinfo("localhost", nullptr, nullptr, &found) != 0) {
    GTEST_SKIP() << "the system resolver does not know localhost";
  }
  freeaddrinfo(found);
  const CEndpoint e(std::string("localhost:67"));
  EXPECT_EQ(e.port(), 67);
  const CIPAddress address = e.ip_address();
  EXPECT_TRUE(address == ip("127.0.0.1") || address == ip("::1")) << address.string();
}

TEST(CEndpointTest, UnresolvableNameRaises) {
  // A name with a NUL byte is refused before the resolver is asked, so the
  // test never reaches the network.
  const auto e = qvt_test::caught([] { CEndpoint(std::string("no\0host:67", 10)); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->operation(), "CEndpoint::set");
  EXPECT_EQ(e->description().templateText(), "Failed to resolve host name '%1'.");
  EXPECT_EQ(e->reason().text(), "Name does not resolve.");
}

TEST(CEndpointTest, EmptyEndpoint) {
  const CEndpoint empty;
  EXPECT_TRUE(empty.isEmpty());
  EXPECT_EQ(empty.string(), "");
  EXPECT_EQ(empty.rawSockaddrLen(), 0u);
  EXPECT_EQ(empty.port(), 0);
  EXPECT_EQ(empty, CEndpoint());
  EXPECT_NE(empty, CEndpoint(ip("0.0.0.0"), 0));
  EXPECT_EQ(errorWhere([&] { (void)empty.protocol_family(); }),
            "CEndpoint::protocol_family: Cannot resolve protocol family. (Unknown protocol "
            "family.)");
  EXPECT_EQ(errorWhere([&] { (void)empty.ip_address(); }),
            "CEndpoint::ip_address: Cannot resolve endpoint ip address. (Unknown protocol "
            "family.)");
  CEndpoint e;
  EXPECT_EQ(errorWhere([&] { e.ip_address(CIPAddress()); }),
            "CEndpoint::ip_address: Cannot set endpoint address. (Unknown ip address type.)");
}

TEST(CEndpointTest, AddressPortAndFamily) {
  CEndpoint e(ip("10.0.0.1"), 67);
  EXPECT_EQ(e.protocol_family(), AF_INET);
  EXPECT_EQ(e.rawSockaddrLen(), sizeof(sockaddr_in));
  const auto* in4 = static_cast<const sockaddr_in*>(e.rawSockaddr());
  EXPECT_EQ(in4->sin_family, AF_INET);
  EXPECT_EQ(ntohs(in4->sin_port), 67);
  EXPECT_EQ(ntohl(in4->sin_addr.s_addr), 0x0a000001u);

  e.ip_address(ip("fe80::1"));  // switches family, keeps the port
  EXPECT_EQ(e.protocol_family(), AF_INET6);
  EXPECT_EQ(e.rawSockaddrLen(), sizeof(sockaddr_in6));
  EXPECT_EQ(e.string(), "[fe80::1]:67");
  e.port(547);
  EXPECT_EQ(e.string(), "[fe80::1]:547");
  e.ip_address(ip("10.0.0.2"));
  EXPECT_EQ(e.string(), "10.0.0.2:547");

  CEndpoint copy(e);
  copy.port(548);
  EXPECT_NE(copy, e);
  EXPECT_NE(CEndpoint(ip("10.0.0.1"), 67), CEndpoint(ip("::ffff:10.0.0.1"), 67));
  EXPECT_NE(CEndpoint(ip("10.0.0.1"), 67), CEndpoint(ip("10.0.0.2"), 67));
}

TEST(CEndpointTest, FromSocketAddress) {
  sockaddr_in6 in6{};
  in6.sin6_family = AF_INET6;
  in6.sin6_port = htons(547);
  in6.sin6_addr.s6_addr[15] = 1;
  const CEndpoint e(reinterpret_cast<const sockaddr*>(&in6), sizeof in6);
  EXPECT_EQ(e.string(), "[::1]:547");

  sockaddr_in in4{};
  in4.sin_family = AF_INET;
  sockaddr other{};
  other.sa_family = AF_UNIX;
  const std::string unknown =
      "CEndpoint::CEndpoint: Cannot construct endpoint. (Unknown protocol family.)";
  EXPECT_EQ(errorWhere([&] { CEndpoint(reinterpret_cast<const sockaddr*>(&in4), sizeof in4 - 1); }),
            unknown);
  EXPECT_EQ(errorWhere([&] { CEndpoint(&other, sizeof other); }), unknown);
  EXPECT_EQ(errorWhere([] { CEndpoint(nullptr, 16); }), unknown);
}

}  // namespace
}  // namespace qvt
