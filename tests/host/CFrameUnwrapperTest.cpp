#include "host/CFrameUnwrapper.h"

#include <gtest/gtest.h>
#include <pcap/pcap.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "host/FrameBuilder.h"

namespace qvt::host {
namespace {

using namespace test;

const Bytes kV4 = {1, 1, 6, 0, 0xDE, 0xAD, 0xBE, 0xEF};
const Bytes kV6 = {1, 0x12, 0x34, 0x56};
const Bytes kDhcp4 = ipv4(udp(68, 67, kV4));
const Bytes kDhcp6 = ipv6(udp(546, 547, kV6));
constexpr std::uint8_t kGre = 47;

Bytes overGre(const Bytes& greBytes) {
  return ethernet(0x0800, ipv4(greBytes, 0, 0, kGre));
}

Bytes overUdp(std::uint16_t port, const Bytes& tunnelBytes) {
  return ethernet(0x0800, ipv4(udp(49152, port, tunnelBytes)));
}

// wlanWith: an 802.11 data frame of subtype and flags, the rest default.
Wlan wlanWith(std::uint8_t subtype, std::uint8_t flags) {
  Wlan w;
  w.subtype = subtype;
  w.flags = flags;
  return w;
}

struct Row {
  const char* name;
  int linkType;
  Bytes frame;
  int family;  // 0: no DHCP found
};

// The frames are built here the way the tunnels' senders write them.
std::vector<Row> tunnelRows() {
  const Bytes inner4 = ethernet(0x0800, kDhcp4);
  const Bytes inner6 = ethernet(0x86DD, kDhcp6, {0x8100});
  Wlan bridgeTunnel;
  bridgeTunnel.oui = 0xF8;
  bridgeTunnel.flags = 0x02;
  Wlan swapped;
  swapped.swapped = true;
  Wlan padded;
  padded.subtype = 8;
  padded.pad = 2;  // 26-byte QoS header padded to 28
  Wlan fragmentNumber;
  fragmentNumber.sequence = 0x11;
  Bytes management = wlan(0x0800, kDhcp4);
  management[0] = 0x80;  // a beacon
  Wlan aggregate;
  aggregate.subtype = 8;
  aggregate.qos = 0x80;
  return {
      {"gretap", DLT_EN10MB, overGre(gre(0, 0x6558, inner4)), 4},
      {"gre with checksum, key and sequence, IPv6 inside", DLT_EN10MB,
       overGre(gre(0xB000, 0x86DD, kDhcp6)), 6},
      {"gre with a source route", DLT_EN10MB, overGre(gre(0x4000, 0x0800, kDhcp4)), 4},
      {"gre over IPv6", DLT_EN10MB, ethernet(0x86DD, ipv6(gre(0x2000, 0x6558, inner4), true, kGre)),
       4},
      {"gre version 1 (PPTP)", DLT_EN10MB, overGre(gre(0x0001, 0x0800, kDhcp4)), 0},
      {"erspan type I", DLT_EN10MB, overGre(gre(0, 0x88BE, inner6)), 6},
      {"erspan type II", DLT_EN10MB, overGre(gre(0x1000, 0x88BE, erspan2(inner4))), 4},
      {"erspan type II of another version", DLT_EN10MB,
       overGre(gre(0x1000, 0x88BE, erspan2(inner4, 2))), 0},
      {"erspan type III", DLT_EN10MB, overGre(gre(0x1000, 0x22EB, erspan3(inner6))), 6},
      {"erspan type III, platform subheader", DLT_EN10MB,
       overGre(gre(0x1000, 0x22EB, erspan3(inner4, 0, true))), 4},
      {"erspan type III of an IP packet", DLT_EN10MB,
       overGre(gre(0x1000, 0x22EB, erspan3(kDhcp4, 2))), 0},
      {"vxlan", DLT_EN10MB, overUdp(4789, vxlan(inner4)), 4},
      {"vxlan from its port", DLT_LINUX_SLL2, sll2(0x86DD, ipv6(udp(4789, 4789, vxlan(inner6)))),
       6},
      {"capwap 802.11", DLT_EN10MB, overUdp(5247, capwap(wlan(0x0800, kDhcp4))), 4},
      {"capwap 802.11, swapped frame control", DLT_EN10MB,
       overUdp(5247, capwap(wlan(0x86DD, kDhcp6, swapped), true, 4, 0x20)), 6},
      {"capwap 802.3", DLT_EN10MB, overUdp(5247, capwap(inner4, false)), 4},
      {"capwap fragment", DLT_EN10MB, overUdp(5247, capwap(inner4, false, 2, 0x80)), 0},
      {"capwap keep-alive", DLT_EN10MB, overUdp(5247, capwap(inner4, false, 2, 0x08)), 0},
      {"capwap of another binding", DLT_EN10MB,
       overUdp(5247, capwap(wlan(0x0800, kDhcp4), true, 2, 0, 3)), 0},
      {"capwap dtls", DLT_EN10MB, overUdp(5247, cat({{0x01, 0, 0, 0}, capwap(inner4, false)})), 0},
      {"radiotap, qos data with four addresses and +HTC", DLT_IEEE802_11_RADIO,
       radiotap(wlan(0x0800, kDhcp4, wlanWith(8, 0x83))), 4},
      {"radiotap with TSFT, padding and FCS", DLT_IEEE802_11_RADIO,
       radiotap(cat({wlan(0x86DD, kDhcp6, padded), {1, 2, 3, 4}}), 0x30, true), 6},
      {"802.11, bridge tunnel SNAP", DLT_IEEE802_11, wlan(0x0800, kDhcp4, bridgeTunnel), 4},
      {"802.11 protected", DLT_IEEE802_11, wlan(0x0800, kDhcp4, wlanWith(0, 0x41)), 0},
      {"802.11 first fragment", DLT_IEEE802_11, wlan(0x0800, kDhcp4, wlanWith(0, 0x05)), 0},
      {"802.11 with a fragment number, no more fragments", DLT_IEEE802_11,
       wlan(0x0800, kDhcp4, fragmentNumber), 4},
      {"802.11 null function", DLT_IEEE802_11, wlan(0x0800, kDhcp4, wlanWith(4, 0x01)), 0},
      {"802.11 A-MSDU", DLT_IEEE802_11, wlan(0x0800, kDhcp4, aggregate), 0},
      {"802.11 management frame", DLT_IEEE802_11, management, 0},
      {"tunnels in tunnels", DLT_IEEE802_11_RADIO,
       radiotap(wlan(0x0800, ipv4(udp(5247, 5247,
                                      capwap(overGre(gre(0, 0x6558, overUdp(4789, vxlan(inner4)))),
                                             false))))),
       4},
  };
}

TEST(CFrameUnwrapperTest, FindsDhcpInsideTunnels) {
  for (const Row& row : tunnelRows()) {
    SCOPED_TRACE(row.name);
    CCapturedPacket packet;
    const bool found =
        CFrameUnwrapper(packet).unwrap(row.linkType, row.frame.data(), row.frame.size());
    ASSERT_EQ(found ? packet.family : 0, row.family);
    if (!found) continue;
    EXPECT_EQ(packet.payload, row.family == 4 ? kV4 : kV6);
    EXPECT_EQ(packet.sourcePort, row.family == 4 ? 68 : 546);
  }
}

TEST(CFrameUnwrapperTest, FrameCutBeforeTheMessageCarriesNone) {
  // Every header length is checked against the captured bytes: a frame cut
  // anywhere before the DHCP message yields nothing (and reads nothing past
  // its end, which the sanitizer runs check).
  for (const Row& row : tunnelRows()) {
    if (row.family == 0) continue;
    SCOPED_TRACE(row.name);
    const Bytes& message = row.family == 4 ? kV4 : kV6;
    const auto at = std::search(row.frame.begin(), row.frame.end(), message.begin(), message.end());
    ASSERT_NE(at, row.frame.end());
    for (std::size_t cut = 0; cut < static_cast<std::size_t>(at - row.frame.begin()); ++cut) {
      const Bytes head(row.frame.begin(), row.frame.begin() + static_cast<std::ptrdiff_t>(cut));
      CCapturedPacket packet;
      ASSERT_FALSE(CFrameUnwrapper(packet).unwrap(row.linkType, head.data(), head.size()))
          << "cut at " << cut;
    }
  }
}

TEST(CFrameUnwrapperTest, NestingIsBounded) {
  for (int depth : {CFrameUnwrapper::kMaxTunnels, CFrameUnwrapper::kMaxTunnels + 1}) {
    SCOPED_TRACE(depth);
    Bytes frame = ethernet(0x0800, kDhcp4);
    for (int i = 0; i < depth; ++i)
      frame = i % 2 ? overGre(gre(0, 0x6558, frame)) : overUdp(4789, vxlan(frame));
    CCapturedPacket packet;
    EXPECT_EQ(CFrameUnwrapper(packet).unwrap(DLT_EN10MB, frame.data(), frame.size()),
              depth <= CFrameUnwrapper::kMaxTunnels);
  }
}

}  // namespace
}  // namespace qvt::host
