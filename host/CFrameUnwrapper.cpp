#include "host/CFrameUnwrapper.h"

#include <pcap/pcap.h>

#include <utility>

namespace qvt::host {

namespace {

constexpr std::uint16_t kEtherIPv4 = 0x0800;
constexpr std::uint16_t kEtherIPv6 = 0x86DD;
constexpr std::uint16_t kEtherVlan = 0x8100;
constexpr std::uint16_t kEtherQinQ = 0x88A8;
constexpr std::uint16_t kEtherQinQOld = 0x9100;
constexpr std::uint16_t kEtherPPPoESession = 0x8864;
constexpr std::uint16_t kGreEthernet = 0x6558;  // transparent Ethernet bridging
constexpr std::uint16_t kGreErspan2 = 0x88BE;   // also type I, without a header
constexpr std::uint16_t kGreErspan3 = 0x22EB;
constexpr std::uint8_t kProtocolUdp = 17;
constexpr std::uint8_t kProtocolGre = 47;
constexpr std::uint16_t kVxlanPort = 4789;
constexpr std::uint16_t kCapwapDataPort = 5247;
constexpr int kLinkTypeRawAlias = 101;  // LINKTYPE_RAW, should a file report it unmapped
constexpr int kMaxVlanTags = 8;
constexpr int kMaxIPv6ExtensionHeaders = 16;
constexpr int kMaxGreRoutes = 16;

bool isDhcp4Port(std::uint16_t port) {
  return port == 67 || port == 68;
}
bool isDhcp6Port(std::uint16_t port) {
  return port == 546 || port == 547;
}

// 802.11 frame control, first byte: protocol version 0 and type 2 (data).
bool isDataFrameControl(unsigned char first) {
  return (first & 0x0Fu) == 0x08u;
}

}  // namespace

bool CFrameUnwrapper::unwrap(int linkType, const unsigned char* frame, std::size_t length) {
  CBytes bytes{frame, length};
  switch (linkType) {
    case DLT_EN10MB:
      return ethernet(bytes);
    case DLT_LINUX_SLL:
      // Packet type, address type and length, 8 address bytes, protocol.
      if (!bytes.has(16)) return false;
      return etherType(bytes.u16(14), CBytes{frame + 16, length - 16});
    case DLT_LINUX_SLL2:
      // Protocol first, then 18 bytes of interface and address data.
      if (!bytes.has(20)) return false;
      return etherType(bytes.u16(0), CBytes{frame + 20, length - 20});
    case DLT_NULL:
    case DLT_LOOP:
      // A 4-byte address family in the capturing host's byte order; the IP
      // version nibble that follows says the same more reliably.
      return bytes.drop(4) && ip(bytes);
    case DLT_RAW:
    case kLinkTypeRawAlias:
      return ip(bytes);
    case DLT_IPV4:
      return ipv4(bytes);
    case DLT_IPV6:
      return ipv6(bytes);
    case DLT_IEEE802_11:
      return ieee80211(bytes, false, false);
    case DLT_IEEE802_11_RADIO:
      return radiotap(bytes);
    default:
      return false;
  }
}

bool CFrameUnwrapper::ethernet(CBytes bytes) {
  if (!bytes.has(14)) return false;
  const std::uint16_t type = bytes.u16(12);
  bytes.drop(14);
  return etherType(type, bytes);
}

bool CFrameUnwrapper::etherType(std::uint16_t type, CBytes bytes) {
  for (int tags = 0; type == kEtherVlan || type == kEtherQinQ || type == kEtherQinQOld; ++tags) {
    if (tags == kMaxVlanTags || !bytes.has(4)) return false;
    type = bytes.u16(2);
    bytes.drop(4);
  }
  switch (type) {
    case kEtherIPv4:
      return ipv4(bytes);
    case kEtherIPv6:
      return ipv6(bytes);
    case kEtherPPPoESession:
      return pppoeSession(bytes);
    default:
      return false;
  }
}

bool CFrameUnwrapper::pppoeSession(CBytes bytes) {
  // PPPoE header (6 bytes), then the PPP protocol number.
  if (!bytes.has(8)) return false;
  const std::uint16_t protocol = bytes.u16(6);
  bytes.drop(8);
  if (protocol == 0x0021) return ipv4(bytes);
  if (protocol == 0x0057) return ipv6(bytes);
  return false;
}

bool CFrameUnwrapper::llcSnap(CBytes bytes) {
  // DSAP and SSAP 0xAA, UI, then an OUI of RFC 1042 (00-00-00) or 802.1H
  // (00-00-F8) before the EtherType.
  if (!bytes.has(8) || bytes.data[0] != 0xAA || bytes.data[1] != 0xAA || bytes.data[2] != 0x03 ||
      bytes.data[3] != 0 || bytes.data[4] != 0 || (bytes.data[5] != 0 && bytes.data[5] != 0xF8))
    return false;
  const std::uint16_t type = bytes.u16(6);
  bytes.drop(8);
  return etherType(type, bytes);
}

bool CFrameUnwrapper::radiotap(CBytes bytes) {
  if (!bytes.has(8) || bytes.data[0] != 0) return false;
  const std::size_t length = bytes.u16le(2);
  if (length < 8 || !bytes.has(length)) return false;
  // Only the flags field matters here (FCS at the end, padding after the
  // 802.11 header). Its data follows every presence word, after the TSFT
  // field when that is present, which is 8 bytes aligned to 8.
  const unsigned char present = bytes.data[4];
  std::size_t at = 4;
  while (bytes.data[at + 3] & 0x80u) {  // another presence word follows
    at += 4;
    if (at + 4 > length) return false;
  }
  at += 4;
  if (present & 0x01u) at = (at + 7) / 8 * 8 + 8;
  unsigned char flags = 0;
  if (present & 0x02u) {
    if (at >= length) return false;
    flags = bytes.data[at];
  }
  bytes.drop(length);
  if (flags & 0x10u) {  // the frame ends in its FCS
    if (!bytes.has(4)) return false;
    bytes.size -= 4;
  }
  return ieee80211(bytes, false, (flags & 0x20u) != 0);
}

bool CFrameUnwrapper::ieee80211(CBytes bytes, bool swappedControl, bool padded) {
  if (!bytes.has(24)) return false;
  unsigned char control = bytes.data[0];
  unsigned char flags = bytes.data[1];
  if (swappedControl) std::swap(control, flags);
  if (!isDataFrameControl(control)) return false;
  const unsigned subtype = control >> 4u;
  if (subtype & 0x4u) return false;  // null function and CF-only: no body
  // A fragment with more to follow, or a protected body, cannot be read
  // alone. A later fragment fails the LLC/SNAP check; some access points send
  // whole frames with a fragment number, which packet analysers read whole.
  if (flags & 0x44u) return false;
  std::size_t header = (flags & 0x03u) == 0x03u ? 30 : 24;  // address 4 between two DSs
  if (subtype & 0x8u) {  // QoS data: QoS control, maybe HT control
    if (!bytes.has(header + 2) || (bytes.data[header] & 0x80u)) return false;  // A-MSDU
    header += (flags & 0x80u) ? 6 : 2;
  }
  if (padded) header = (header + 3) / 4 * 4;
  return bytes.drop(header) && llcSnap(bytes);
}

bool CFrameUnwrapper::ip(CBytes bytes) {
  if (!bytes.has(1)) return false;
  switch (bytes.data[0] >> 4) {
    case 4:
      return ipv4(bytes);
    case 6:
      return ipv6(bytes);
    default:
      return false;
  }
}

bool CFrameUnwrapper::ipv4(CBytes bytes) {
  if (!bytes.has(20) || (bytes.data[0] >> 4) != 4) return false;
  const std::size_t headerLength = (bytes.data[0] & 0x0Fu) * 4u;
  const std::size_t totalLength = bytes.u16(2);
  const std::uint16_t fragment = bytes.u16(6);
  const std::uint8_t protocol = bytes.data[9];
  if (headerLength < 20 || !bytes.has(headerLength)) return false;
  // A total length of 0 is what segmentation offload leaves in captures.
  if (totalLength != 0 && totalLength < headerLength) return false;
  if ((fragment & 0x3FFFu) != 0) return false;  // more fragments, or not the first one
  if (totalLength != 0 && totalLength < bytes.size) bytes.size = totalLength;
  bytes.drop(headerLength);
  return ipPayload(protocol, bytes);
}

bool CFrameUnwrapper::ipv6(CBytes bytes) {
  if (!bytes.has(40) || (bytes.data[0] >> 4) != 6) return false;
  const std::size_t payloadLength = bytes.u16(4);
  std::uint8_t next = bytes.data[6];
  bytes.drop(40);
  if (payloadLength != 0 && payloadLength < bytes.size) bytes.size = payloadLength;
  for (int i = 0; i < kMaxIPv6ExtensionHeaders; ++i) {
    switch (next) {
      case 0:    // hop-by-hop options
      case 43:   // routing
      case 60:   // destination options
      case 135:  // mobility
        if (!bytes.has(2)) return false;
        next = bytes.data[0];
        if (!bytes.drop((bytes.data[1] + 1u) * 8u)) return false;
        break;
      case 44:  // fragment: only an unfragmented datagram can be read
        if (!bytes.has(8) || (bytes.u16(2) & 0xFFF9u) != 0) return false;
        next = bytes.data[0];
        bytes.drop(8);
        break;
      case 51:  // authentication header
        if (!bytes.has(2)) return false;
        next = bytes.data[0];
        if (!bytes.drop((bytes.data[1] + 2u) * 4u)) return false;
        break;
      default:
        return ipPayload(next, bytes);
    }
  }
  return false;
}

bool CFrameUnwrapper::ipPayload(std::uint8_t protocol, CBytes bytes) {
  switch (protocol) {
    case kProtocolUdp:
      return udp(bytes);
    case kProtocolGre:
      return gre(bytes);
    default:
      return false;
  }
}

bool CFrameUnwrapper::udp(CBytes bytes) {
  if (!bytes.has(8)) return false;
  const std::uint16_t source = bytes.u16(0);
  const std::uint16_t destination = bytes.u16(2);
  const std::uint16_t udpLength = bytes.u16(4);
  bytes.drop(8);
  // The UDP length bounds the payload (Ethernet pads short frames); a length
  // beyond the captured bytes leaves the payload as captured, and the DHCP
  // decoder then reports what is missing.
  if (udpLength >= 8 && udpLength - 8u < bytes.size) bytes.size = udpLength - 8u;
  int family = 0;
  if (isDhcp4Port(source) || isDhcp4Port(destination)) {
    family = 4;
  } else if (isDhcp6Port(source) || isDhcp6Port(destination)) {
    family = 6;
  } else if (source == kVxlanPort || destination == kVxlanPort) {
    return vxlan(bytes);
  } else if (source == kCapwapDataPort || destination == kCapwapDataPort) {
    return capwap(bytes);
  } else {
    return false;
  }
  packet_.family = family;
  packet_.sourcePort = source;
  packet_.destinationPort = destination;
  packet_.payload.assign(bytes.data, bytes.data + bytes.size);
  return true;
}

bool CFrameUnwrapper::gre(CBytes bytes) {
  if (!enterTunnel() || !bytes.has(4)) return false;
  const std::uint16_t flags = bytes.u16(0);
  const std::uint16_t protocol = bytes.u16(2);
  if ((flags & 0x0007u) != 0) return false;  // version 1 is PPTP's, carrying PPP
  const bool checksumOrRouting = (flags & 0xC000u) != 0;
  const bool routing = (flags & 0x4000u) != 0;
  const bool key = (flags & 0x2000u) != 0;
  const bool sequence = (flags & 0x1000u) != 0;
  const std::size_t header =
      4u + (checksumOrRouting ? 4u : 0u) + (key ? 4u : 0u) + (sequence ? 4u : 0u);
  if (!bytes.drop(header)) return false;
  // Source route entries (RFC 1701) up to the empty one: family 0, length 0.
  for (int routes = 0; routing; ++routes) {
    if (routes == kMaxGreRoutes || !bytes.has(4)) return false;
    const bool last = bytes.u16(0) == 0 && bytes.data[3] == 0;
    if (!bytes.drop(4u + bytes.data[3])) return false;
    if (last) break;
  }
  switch (protocol) {
    case kGreEthernet:
      return ethernet(bytes);
    case kGreErspan2:
      // Type I has no sequence number and no ERSPAN header.
      return sequence ? erspan2(bytes) : ethernet(bytes);
    case kGreErspan3:
      return erspan3(bytes);
    default:
      return etherType(protocol, bytes);
  }
}

bool CFrameUnwrapper::erspan2(CBytes bytes) {
  // Version 1, VLAN, COS, encapsulation, truncation, session, index: 8 bytes.
  if (!bytes.has(8) || (bytes.data[0] >> 4) != 1) return false;
  bytes.drop(8);
  return ethernet(bytes);
}

bool CFrameUnwrapper::erspan3(CBytes bytes) {
  // Version 2, VLAN, COS, BSO, truncation, session, timestamp, SGT, then the
  // frame type and the flag of an 8-byte platform-specific subheader.
  if (!bytes.has(12) || (bytes.data[0] >> 4) != 2) return false;
  const unsigned frameType = (bytes.data[10] >> 2) & 0x1Fu;
  const bool platformHeader = (bytes.data[11] & 0x01u) != 0;
  bytes.drop(12);
  if (platformHeader && !bytes.drop(8)) return false;
  // Only frame type 0 (Ethernet) is read; packet analysers show other types
  // as data too.
  return frameType == 0 && ethernet(bytes);
}

bool CFrameUnwrapper::vxlan(CBytes bytes) {
  // Flags, VNI and reserved bytes: 8 bytes before the Ethernet frame.
  return enterTunnel() && bytes.drop(8) && ethernet(bytes);
}

bool CFrameUnwrapper::capwap(CBytes bytes) {
  if (!enterTunnel() || !bytes.has(8)) return false;
  // Preamble: version 0, type 0 (type 1 is a DTLS record).
  if (bytes.data[0] != 0) return false;
  const std::size_t headerLength = (bytes.data[1] >> 3) * 4u;  // in 4-byte words, options included
  const unsigned binding = (bytes.data[2] >> 1) & 0x1Fu;
  const bool native = (bytes.data[2] & 0x01u) != 0;
  const unsigned char flags = bytes.data[3];
  if (flags & 0x88u) return false;  // a fragment, or a keep-alive without a frame
  if (headerLength < 8 || !bytes.drop(headerLength)) return false;
  if (!native) return ethernet(bytes);
  if (binding != 1 || !bytes.has(2)) return false;  // only the 802.11 binding
  // Some access points send the frame control field byte-swapped; packet
  // analysers swap it by default. Read it swapped where that makes a data
  // frame, else as sent.
  return ieee80211(bytes, isDataFrameControl(bytes.data[1]), false);
}

}  // namespace qvt::host
