// CFrameUnwrapper: the DHCP message inside one captured frame, found by
// taking off its layers one after the other.
//
// Link layers: Ethernet (802.1Q/802.1ad tags, PPPoE sessions), Linux cooked
// capture (SLL, SLL2), BSD loopback, raw IP, 802.11 with or without a
// radiotap header. Network: IPv4 (with options) and IPv6 (over its extension
// headers); UDP ports 67 and 68 carry DHCPv4, 546 and 547 DHCPv6 (either end).
// Tunnels are followed to the frame they carry, through the same layers:
//
//   GRE (IP protocol 47)    transparent Ethernet bridging, IPv4, IPv6,
//                           ERSPAN type I, II (0x88BE) and III (0x22EB, its
//                           Ethernet frame type, platform subheader or not)
//   VXLAN (UDP port 4789)   an Ethernet frame
//   CAPWAP data (UDP 5247)  an 802.11 frame, or Ethernet when the T flag is clear
//
// 802.11 data frames (plain and QoS, with the fourth address when both DS
// bits are set) are read through LLC/SNAP. Frames that can only be read with
// others (IP, 802.11 and CAPWAP fragments), encrypted 802.11 frames, A-MSDU
// aggregates and DTLS-protected CAPWAP are skipped.
//
//   CCapturedPacket packet;
//   if (CFrameUnwrapper(packet).unwrap(DLT_EN10MB, data, length)) use(packet.payload);
//
// Every length is checked against the captured bytes, and a frame nested more
// than kMaxTunnels tunnels deep is skipped, so a hostile capture can neither
// read past its frame nor recurse without end.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/CCapturedPacket.h"

namespace qvt::host {

class CFrameUnwrapper {
 public:
  static constexpr int kMaxTunnels = 8;

  // CFrameUnwrapper: fills packet's family, ports and payload when unwrap
  // finds DHCP (its frame number is left alone).
  explicit CFrameUnwrapper(CCapturedPacket& packet) : packet_(packet) {}

  // unwrap: whether the frame of link type `linkType` (a libpcap DLT_ value)
  // carries DHCP. False for frames without DHCP, too short to tell, of an
  // unknown link type, or nested too deep. Use one unwrapper per frame.
  bool unwrap(int linkType, const unsigned char* frame, std::size_t length);

 private:
  // CBytes: a view that shrinks from the front; reads past its end are
  // refused by has() and drop() before they happen.
  struct CBytes {
    const unsigned char* data;
    std::size_t size;

    bool has(std::size_t count) const { return count <= size; }
    std::uint16_t u16(std::size_t at) const {
      return static_cast<std::uint16_t>((data[at] << 8) | data[at + 1]);
    }
    std::uint16_t u16le(std::size_t at) const {
      return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
    }
    bool drop(std::size_t count) {
      if (!has(count)) return false;
      data += count;
      size -= count;
      return true;
    }
  };

  bool ethernet(CBytes bytes);
  bool etherType(std::uint16_t type, CBytes bytes);
  bool pppoeSession(CBytes bytes);
  bool llcSnap(CBytes bytes);
  bool radiotap(CBytes bytes);
  bool ieee80211(CBytes bytes, bool swappedControl, bool padded);
  bool ip(CBytes bytes);
  bool ipv4(CBytes bytes);
  bool ipv6(CBytes bytes);
  bool ipPayload(std::uint8_t protocol, CBytes bytes);
  bool udp(CBytes bytes);
  bool gre(CBytes bytes);
  bool erspan2(CBytes bytes);
  bool erspan3(CBytes bytes);
  bool vxlan(CBytes bytes);
  bool capwap(CBytes bytes);
  // enterTunnel: counts one more tunnel; false beyond kMaxTunnels.
  bool enterTunnel() { return ++tunnels_ <= kMaxTunnels; }

  CCapturedPacket& packet_;
  int tunnels_ = 0;
};

}  // namespace qvt::host
