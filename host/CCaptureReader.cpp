#include "host/CCaptureReader.h"

#include <pcap/pcap.h>

#include <array>
#include <cstring>
#include <fstream>

#include "class_a/standard/Fail.h"

namespace qvt::host {

namespace {

constexpr std::uint16_t kEtherIPv4 = 0x0800;
constexpr std::uint16_t kEtherIPv6 = 0x86DD;
constexpr std::uint16_t kEtherVlan = 0x8100;
constexpr std::uint16_t kEtherQinQ = 0x88A8;
constexpr std::uint16_t kEtherQinQOld = 0x9100;
constexpr std::uint16_t kEtherPPPoESession = 0x8864;
constexpr int kLinkTypeRawAlias = 101;  // LINKTYPE_RAW, should a file report it unmapped
constexpr int kMaxVlanTags = 8;
constexpr int kMaxIPv6ExtensionHeaders = 16;

// CFrameBytes: a non-throwing view that shrinks from the front; every read
// reports whether the bytes were there.
struct CFrameBytes {
  const unsigned char* data;
  std::size_t size;

  bool has(std::size_t count) const { return count <= size; }
  std::uint16_t u16(std::size_t at) const {
    return static_cast<std::uint16_t>((data[at] << 8) | data[at + 1]);
  }
  bool drop(std::size_t count) {
    if (!has(count)) return false;
    data += count;
    size -= count;
    return true;
  }
};

bool isDhcp4Port(std::uint16_t port) {
  return port == 67 || port == 68;
}
bool isDhcp6Port(std::uint16_t port) {
  return port == 546 || port == 547;
}

bool fromUdp(CFrameBytes bytes, CCapturedPacket& packet) {
  if (!bytes.has(8)) return false;
  const std::uint16_t source = bytes.u16(0);
  const std::uint16_t destination = bytes.u16(2);
  const std::uint16_t udpLength = bytes.u16(4);
  int family = 0;
  if (isDhcp4Port(source) || isDhcp4Port(destination)) {
    family = 4;
  } else if (isDhcp6Port(source) || isDhcp6Port(destination)) {
    family = 6;
  } else {
    return false;
  }
  bytes.drop(8);
  // The UDP length bounds the payload (Ethernet pads short frames); a length
  // beyond the captured bytes leaves the payload as captured, and the DHCP
  // decoder then reports what is missing.
  std::size_t length = bytes.size;
  if (udpLength >= 8 && udpLength - 8u < length) length = udpLength - 8u;
  packet.family = family;
  packet.sourcePort = source;
  packet.destinationPort = destination;
  packet.payload.assign(bytes.data, bytes.data + length);
  return true;
}

bool fromIPv4(CFrameBytes bytes, CCapturedPacket& packet) {
  if (!bytes.has(20) || (bytes.data[0] >> 4) != 4) return false;
  const std::size_t headerLength = (bytes.data[0] & 0x0Fu) * 4u;
  const std::size_t totalLength = bytes.u16(2);
  const std::uint16_t fragment = bytes.u16(6);
  if (headerLength < 20 || !bytes.has(headerLength)) return false;
  // A total length of 0 is what segmentation offload leaves in captures.
  if (totalLength != 0 && totalLength < headerLength) return false;
  if ((fragment & 0x3FFFu) != 0) return false;  // more fragments, or not the first one
  if (bytes.data[9] != 17) return false;
  if (totalLength != 0 && totalLength < bytes.size) bytes.size = totalLength;
  bytes.drop(headerLength);
  return fromUdp(bytes, packet);
}

bool fromIPv6(CFrameBytes bytes, CCapturedPacket& packet) {
  if (!bytes.has(40) || (bytes.data[0] >> 4) != 6) return false;
  const std::size_t payloadLength = bytes.u16(4);
  std::uint8_t next = bytes.data[6];
  bytes.drop(40);
  if (payloadLength != 0 && payloadLength < bytes.size) bytes.size = payloadLength;
  for (int i = 0; i < kMaxIPv6ExtensionHeaders; ++i) {
    switch (next) {
      case 17:
        return fromUdp(bytes, packet);
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
        return false;
    }
  }
  return false;
}

bool fromIP(CFrameBytes bytes, CCapturedPacket& packet) {
  if (!bytes.has(1)) return false;
  switch (bytes.data[0] >> 4) {
    case 4:
      return fromIPv4(bytes, packet);
    case 6:
      return fromIPv6(bytes, packet);
    default:
      return false;
  }
}

bool fromEtherType(std::uint16_t type, CFrameBytes bytes, CCapturedPacket& packet) {
  switch (type) {
    case kEtherIPv4:
      return fromIPv4(bytes, packet);
    case kEtherIPv6:
      return fromIPv6(bytes, packet);
    default:
      return false;
  }
}

bool fromPPPoESession(CFrameBytes bytes, CCapturedPacket& packet) {
  // PPPoE header (6 bytes), then the PPP protocol number.
  if (!bytes.has(8)) return false;
  const std::uint16_t protocol = bytes.u16(6);
  bytes.drop(8);
  if (protocol == 0x0021) return fromIPv4(bytes, packet);
  if (protocol == 0x0057) return fromIPv6(bytes, packet);
  return false;
}

bool fromEthernet(CFrameBytes bytes, CCapturedPacket& packet) {
  if (!bytes.has(14)) return false;
  std::uint16_t type = bytes.u16(12);
  bytes.drop(14);
  for (int tags = 0; type == kEtherVlan || type == kEtherQinQ || type == kEtherQinQOld; ++tags) {
    if (tags == kMaxVlanTags || !bytes.has(4)) return false;
    type = bytes.u16(2);
    bytes.drop(4);
  }
  if (type == kEtherPPPoESession) return fromPPPoESession(bytes, packet);
  return fromEtherType(type, bytes, packet);
}

bool fromLoopback(CFrameBytes bytes, CCapturedPacket& packet) {
  // A 4-byte address family in the capturing host's byte order; the IP
  // version nibble that follows says the same more reliably.
  if (!bytes.drop(4)) return false;
  return fromIP(bytes, packet);
}

}  // namespace

void CCaptureReader::CPcapClose::operator()(pcap* handle) const noexcept {
  pcap_close(handle);
}

CCaptureReader::CCaptureReader(const std::string& path) : path_(path) {
  std::array<char, PCAP_ERRBUF_SIZE> error{};
  handle_.reset(pcap_open_offline(path.c_str(), error.data()));
  if (!handle_) {
    fail(CRaiser::of(*this), "host", "CCaptureReader::CCaptureReader",
         {"Cannot open capture file '%1'.", path}, std::string(error.data()));
  }
  linkType_ = pcap_datalink(handle_.get());
}

CCaptureReader::~CCaptureReader() = default;

bool CCaptureReader::next(CCapturedPacket& packet) {
  for (;;) {
    pcap_pkthdr* header = nullptr;
    const u_char* data = nullptr;
    const int status = pcap_next_ex(handle_.get(), &header, &data);
    if (status == PCAP_ERROR_BREAK) return false;
    if (status != 1) {
      fail(CRaiser::of(*this), "host", "CCaptureReader::next",
           {"Cannot read capture file '%1'.", path_}, std::string(pcap_geterr(handle_.get())));
    }
    ++frames_;
    if (extract(linkType_, data, header->caplen, packet)) {
      packet.frame = frames_;
      return true;
    }
  }
}

bool CCaptureReader::extract(int linkType, const unsigned char* frame, std::size_t length,
                             CCapturedPacket& packet) {
  CFrameBytes bytes{frame, length};
  switch (linkType) {
    case DLT_EN10MB:
      return fromEthernet(bytes, packet);
    case DLT_LINUX_SLL:
      // Packet type, address type and length, 8 address bytes, protocol.
      if (!bytes.has(16)) return false;
      return fromEtherType(bytes.u16(14), CFrameBytes{frame + 16, length - 16}, packet);
    case DLT_LINUX_SLL2:
      // Protocol first, then 18 bytes of interface and address data.
      if (!bytes.has(20)) return false;
      return fromEtherType(bytes.u16(0), CFrameBytes{frame + 20, length - 20}, packet);
    case DLT_NULL:
    case DLT_LOOP:
      return fromLoopback(bytes, packet);
    case DLT_RAW:
    case kLinkTypeRawAlias:
      return fromIP(bytes, packet);
    case DLT_IPV4:
      return fromIPv4(bytes, packet);
    case DLT_IPV6:
      return fromIPv6(bytes, packet);
    default:
      return false;
  }
}

bool CCaptureReader::isCaptureFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::array<unsigned char, 4> magic{};
  if (!file.read(reinterpret_cast<char*>(magic.data()), magic.size())) return false;
  static const std::array<std::array<unsigned char, 4>, 3> kMagics = {{
      {0xA1, 0xB2, 0xC3, 0xD4},  // pcap, microseconds
      {0xA1, 0xB2, 0x3C, 0x4D},  // pcap, nanoseconds
      {0x0A, 0x0D, 0x0D, 0x0A},  // pcapng section header
  }};
  for (const auto& m : kMagics) {
    if (magic == m) return true;
    const std::array<unsigned char, 4> swapped = {m[3], m[2], m[1], m[0]};
    if (m[0] != 0x0A && magic == swapped) return true;
  }
  return false;
}

}  // namespace qvt::host
